#!/bin/sh
# Starts the real Tesselo under a virtual X server with a sample collage
# and takes screenshots of the editing window: the photo strip, then the
# Theme tab with its first property page open.
#
#     tools/screenshot_window.sh [BUILD_DIR] [OUTPUT_FOLDER] [mosaic|photodrop]
#
# Needs xvfb-run, xdotool and ImageMagick's import
# (apt-get install xvfb xdotool imagemagick).
set -eu

build=${1:-build}
out=${2:-screenshots}
theme=${3:-mosaic}
here=$(cd "$(dirname "$0")/.." && pwd)
case $build in /*) ;; *) build="$here/$build" ;; esac
mkdir -p "$out"
out=$(cd "$out" && pwd)

for tool in xvfb-run xdotool import; do
    command -v "$tool" >/dev/null 2>&1 || { echo "screenshot_window: $tool is missing" >&2; exit 1; }
done

cmake --build "$build" --target tesselo make_sample_collage >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/tools/make_sample_collage" "$work/sample.tsq" "$theme"

# A home of its own: no real settings are read or written.
mkdir -p "$work/home"
cat > "$work/session.sh" <<SESSION
#!/bin/sh
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache"
"$build/src/tesselo" "$work/sample.tsq" &
app=\$!
window=""
for i in \$(seq 1 100); do
    window=\$(xdotool search --name "sample" 2>/dev/null | head -n 1) && [ -n "\$window" ] && break
    sleep 0.1
done
[ -n "\$window" ] || { echo "screenshot_window: no window appeared" >&2; kill \$app; exit 1; }
xdotool windowmove "\$window" 40 30 windowsize "\$window" 1100 780
sleep 2
import -window root "$out/window-images.png"
# Theme tab: Ctrl+Tab from the photo strip, then open the first page.
eval \$(xdotool getwindowgeometry --shell "\$window")
xdotool mousemove \$((X + WIDTH - 120)) \$((Y + 120)) click 1
sleep 0.3
xdotool key ctrl+Tab
sleep 1
import -window root "$out/window-theme.png"
xdotool key Tab space
sleep 1.5
import -window root "$out/window-theme-open.png"
kill \$app
wait \$app 2>/dev/null || true
SESSION
chmod +x "$work/session.sh"
xvfb-run -a -s '-screen 0 1280x900x24' "$work/session.sh"
echo "screenshots in $out"
