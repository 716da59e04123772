#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a scratch root and checks it as a user would meet
# it: lintian, the version, composing the examples, the desktop entry, metainfo and manual page,
# bash completion, and the window, clicked as an unprivileged user: keeping a changed layout
# across starts and composing a packed sheet with its data file. Run by .ci/run after the tests;
# needs root (for runuser) or sudo.
set -euo pipefail
cd "$(dirname "$0")/.."

deb=$(scripts/package.sh | tail -n 1)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Runs a check quietly; its output is shown when it fails.
check() {
    local what=$1
    shift
    if ! "$@" >"$work/log" 2>&1; then
        fail "$what"
        cat "$work/log" >&2
    fi
}

as_nobody() {
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo runuser -u nobody -- "$@"
}

# ---- the package itself ----
check "lintian reports errors" lintian --fail-on error "$deb"
check "the dependencies cannot be met" apt-get install -s -q "$deb"
root=$work/root
dpkg -x "$deb" "$root"
tavrin=$root/usr/bin/tavrin
share=$root/usr/share
id=io.github.tavrin.Tavrin

# ---- the program ----
version=$(dpkg-deb -f "$deb" Version)
[ "$("$tavrin" --version)" = "Tavrin v$version" ] || fail "--version does not print version $version"
for layout in horizontal vertical multirow; do
    sheet=$work/sheet-$layout.png
    check "composing the examples in a $layout layout" \
        "$tavrin" -o "$sheet" --layout "$layout" --autocut examples
    file "$sheet" | grep -q 'PNG image data, .* 8-bit/color RGBA' ||
        fail "the $layout sheet is no RGBA PNG: $(file -b "$sheet")"
done

# The tests' hooks are built only into test builds.
for hook in TAVRIN_CLICK TAVRIN_TEST_STOP_WRITING; do
    if grep -q "$hook" "$tavrin"; then fail "the program holds the test hook $hook"; fi
done

# ---- installed files ----
check "desktop entry" desktop-file-validate "$share/applications/$id.desktop"
grep -qx 'Exec=tavrin %F' "$share/applications/$id.desktop" || fail "desktop entry: Exec"
check "metainfo" appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml"
for icon in scalable/apps/$id.svg 256x256/apps/$id.png; do
    [ -s "$share/icons/hicolor/$icon" ] || fail "icon $icon missing"
done
file "$share/icons/hicolor/256x256/apps/$id.png" | grep -q '256 x 256' || fail "icon is not 256 px"
python3 -c 'import json, sys; json.load(open(sys.argv[1]))' "$share/tavrin/tavrin-project.schema.json" ||
    fail "project schema missing or not JSON"
manpage=$share/man/man1/tavrin.1.gz
zcat "$manpage" | groff -man -ww -z 2>"$work/groff" || fail "groff cannot render the manual page"
[ ! -s "$work/groff" ] || fail "groff warns about the manual page: $(cat "$work/groff")"
LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$manpage" 2>"$work/man" >"$work/man.txt" || fail "man -l"
[ ! -s "$work/man" ] || fail "man warns about the manual page: $(cat "$work/man")"
# Every option the installed program's usage names, as the page renders it.
for option in $("$tavrin" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
    grep -q -- "$option" "$work/man.txt" || fail "the manual page does not name $option"
done
grep -q 'EXIT STATUS' "$work/man.txt" || fail "the manual page has no exit status"

# ---- bash completion: the words offered for a command line that ends where the cursor is ----
mkdir -p "$work/pics/set"
touch "$work/pics/a.png" "$work/pics/B.GIF" "$work/pics/notes.txt"
complete_line() {
    (
        cd "$work/pics"
        # shellcheck disable=SC1091
        source /usr/share/bash-completion/bash_completion
        # shellcheck disable=SC1090
        source "$share/bash-completion/completions/tavrin"
        read -ra COMP_WORDS <<<"$1"
        [[ $1 == *" " ]] && COMP_WORDS+=("")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        COMP_LINE=$1
        COMP_POINT=${#1}
        _tavrin tavrin "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
    )
}
expect_completion() {
    local got
    got=$(complete_line "$1")
    [ "$got" = "$2" ] || fail "completing '$1' offers '$got', not '$2'"
}
expect_completion "tavrin --so" "--sort "
expect_completion "tavrin -o x.png --sort " "bytes natural "
expect_completion "tavrin --layout m" "multirow "
expect_completion "tavrin --compression " "best default fast "
expect_completion "tavrin --gif-frames " "all first "
expect_completion "tavrin --data-format " "array aseprite css godot godot3 hash libgdx melonjs phaser3 xml "
expect_completion "tavrin -o sheet.png " "B.GIF a.png set "

# ---- the window as an unprivileged user: settings in its own configuration folder ----
config=$work/config
mkdir -p "$config"
chown nobody "$config"
settings=$config/tavrin/Tavrin.uzn
# The package's program has no test hooks: the window is clicked with the mouse under a virtual
# display, as a user would click it.
start_window() {
    local config=$1
    shift
    as_nobody timeout 60 "$work/click-window.sh" "$tavrin" "$config" "$@" 2>"$work/window.err"
}
cp scripts/click-window.sh "$work/"
# The file a one-row layout leaves: the sign, format 1, one record "ComposeMode" = integer 0.
printf 'CUST\1\0\0\0\1\0\0\0ComposeMode\0\0\0\0\0\4\0\0\0\0\0\0\0' >"$work/one-row.uzn"

start_window "$config" horizontal end || fail "the window did not end after choosing one row"
cmp -s "$settings" "$work/one-row.uzn" || fail "the changed layout was not saved to $settings"
[ "$(stat -c %a "$config/tavrin")" = 700 ] || fail "the settings folder is open to others"
start_window "$config" end || fail "the window did not end on its second start"
# A start that had not read the file would have saved the default layout, deleting the file.
cmp -s "$settings" "$work/one-row.uzn" || fail "the second start did not keep the layout"
start_window "$config" vertical end || fail "the window did not end after choosing one column"
[ ! -e "$settings" ] || fail "back at the default layout, the settings file was kept"
[ ! -e "$root/usr/bin/Tavrin.uzn" ] || fail "the installed program wrote beside itself"
grep -q 'Settings file' "$work/window.err" && fail "a save was reported as failed"

# A folder the user cannot write: the changed layout is reported once, not lost in silence.
start_window "$root/usr/share" horizontal end || fail "the window did not end with a read-only folder"
[ "$(grep -c "Settings file $root/usr/share/tavrin/Tavrin.uzn: not saved" "$work/window.err")" = 1 ] ||
    fail "an unwritable settings folder was not reported once: $(cat "$work/window.err")"

# A new user's first sheet from the window alone: the examples listed, packed, each trimmed, a data
# file, composed through the save chooser; the files are those the command line writes.
clicked=$work/clicked
mkdir -p "$clicked/config" "$clicked/window" "$clicked/line"
cp -r examples "$clicked/pictures"
chown -R nobody "$clicked"
start_window "$clicked/config" packed trimeach datatab datafile compose \
    "type=$clicked/window/sheet.png" end -- "$clicked/pictures" ||
    fail "the window did not end after composing: $(cat "$work/window.err")"
mapfile -t pictures < <(find "$clicked/pictures" -name '*.png' | sort)
as_nobody "$tavrin" -o "$clicked/line/sheet.png" --layout packed --trim \
    --data "$clicked/line/sheet.json" "${pictures[@]}"
for name in sheet.png sheet.json; do
    cmp -s "$clicked/window/$name" "$clicked/line/$name" ||
        fail "the window's $name is not the command line's"
done

if [ "$failures" -ne 0 ]; then
    echo "$failures package checks failed" >&2
    exit 1
fi
echo "The package $deb passed every check."
