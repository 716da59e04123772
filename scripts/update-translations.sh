#!/usr/bin/env bash
# Refreshes translations/tavrin_*.ts from the texts marked in src/: the calls of
# ULanguage_C::Translate and NS_Base::ShownText, and the message tables' TR_NOOP. With --check it
# changes nothing and fails when a file misses a text of the sources, or English leaves a text
# unfinished (a text already good English is finished with itself). The build target
# update_translations runs it.
set -euo pipefail
cd "$(dirname "$0")/.."

lupdate=${LUPDATE:-$(qtpaths6 --query QT_HOST_BINS)/lupdate}
# No line numbers: a file changes only where a text does.
options=(-tr-function-alias QT_TRANSLATE_NOOP+=TR_NOOP,translate+=Translate,translate+=ShownText
         -locations none -no-obsolete -silent)

if [ "${1:-}" != --check ]; then
    exec "$lupdate" "${options[@]}" src -ts translations/tavrin_*.ts
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp translations/tavrin_*.ts "$work/"
"$lupdate" "${options[@]}" src -ts "$work"/tavrin_*.ts
failures=0
for file in translations/tavrin_*.ts; do
    if ! cmp -s "$file" "$work/${file##*/}"; then
        echo "$file is not up to date with src/ (bash scripts/update-translations.sh):" >&2
        diff "$file" "$work/${file##*/}" | grep '^[<>] *<source>' >&2 || true
        failures=$((failures + 1))
    fi
done
unfinished=$(grep -B1 'type="unfinished"' "$work/tavrin_en.ts" | grep -c '<source>' || true)
if [ "$unfinished" -ne 0 ]; then
    echo "translations/tavrin_en.ts leaves $unfinished texts unfinished:" >&2
    grep -B1 'type="unfinished"' "$work/tavrin_en.ts" | grep '<source>' >&2
    failures=$((failures + 1))
fi
[ "$failures" -eq 0 ] || exit 1
echo "Translations: every marked text is in each file, and English finishes every one"
