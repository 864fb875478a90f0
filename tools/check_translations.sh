#!/usr/bin/env bash
# Reports the interface texts that a translation does not cover yet.
#
#   tools/check_translations.sh [LANGUAGE ...]     (default: every .ts file)
#
# The sources are scanned into a temporary copy of each catalogue, so texts
# added to the code since the catalogue was last updated count as well. Exits
# non-zero when any text is untranslated. To bring a catalogue up to date
# (then translate what it marks unfinished):
#
#   lupdate -locations none -no-obsolete src -ts src/resources/translations/tesselo.de.ts
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
lupdate=${LUPDATE:-$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)}
[ -x "$lupdate" ] || { echo "lupdate not found (Debian package qt6-l10n-tools)" >&2; exit 2; }

if [ $# -eq 0 ]; then
    set -- $(ls "$root"/src/resources/translations/tesselo.*.ts | sed -E 's/.*tesselo\.([^.]+)\.ts$/\1/')
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
for language in "$@"; do
    catalogue="$root/src/resources/translations/tesselo.$language.ts"
    copy="$scratch/tesselo.$language.ts"
    cp "$catalogue" "$copy"
    "$lupdate" -silent -locations none -no-obsolete "$root/src" -ts "$copy" >/dev/null
    # Each unfinished entry: print the source text above it.
    missing=$(awk '/<source>/ { source = $0; sub(/.*<source>/, "", source); sub(/<\/source>.*/, "", source) }
                   /type="unfinished"/ { print "  " source }' "$copy")
    if [ -n "$missing" ]; then
        echo "$language: $(echo "$missing" | wc -l) untranslated texts:"
        echo "$missing"
        status=1
    else
        echo "$language: complete"
    fi
done
exit $status
