#!/usr/bin/env bash
# Installs a build into a temporary DESTDIR and checks what a desktop needs:
# the program, its desktop entry, the collage MIME type, icons, thumbnailer
# and translations, and that the freedesktop validators accept the files.
#
#   tools/check_install.sh BUILD_DIR
set -euo pipefail

build=${1:?usage: check_install.sh BUILD_DIR}
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
root="$stage/usr"
status=0
expect() {
    if [ -e "$root/$1" ]; then echo "ok      $1"; else echo "MISSING $1"; status=1; fi
}
expect bin/tesselo
expect share/applications/com.quorvane.Tesselo.desktop
expect share/mime/packages/tesselo.xml
expect share/thumbnailers/tesselo.thumbnailer
expect share/tesselo/qm/tesselo.de.qm
for size in 16 32 48 64 128 256 512; do
    expect "share/icons/hicolor/${size}x${size}/apps/tesselo.png"
    expect "share/icons/hicolor/${size}x${size}/mimetypes/application-x-tesselo.png"
done

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/share/applications/com.quorvane.Tesselo.desktop" && echo "ok      desktop entry valid" || status=1
else
    echo "skipped desktop-file-validate (Debian package desktop-file-utils)"
fi
if command -v xmllint >/dev/null; then
    xmllint --noout "$root/share/mime/packages/tesselo.xml" && echo "ok      MIME file well-formed" || status=1
    schema=/usr/share/mime/shared-mime-info.xsd
    [ -f "$schema" ] || schema=/usr/share/xml/shared-mime-info/shared-mime-info.xsd
    if [ -f "$schema" ]; then
        xmllint --noout --schema "$schema" "$root/share/mime/packages/tesselo.xml" 2>&1 | tail -1
    fi
else
    echo "skipped xmllint (Debian package libxml2-utils)"
fi
if command -v update-mime-database >/dev/null; then
    # The installed type resolves by name and by content.
    update-mime-database "$root/share/mime" >/dev/null 2>&1 || { echo "update-mime-database failed"; status=1; }
    grep -q "application/x-tesselo" "$root/share/mime/globs2" && echo "ok      *.tsq registered" || status=1
fi
# The installed program starts from its new place.
if [ "$(QT_QPA_PLATFORM=offscreen "$root/bin/tesselo" --version 2>/dev/null | head -c 7)" != "Tesselo" ]; then
    echo "installed program does not start"; status=1
fi
exit $status
