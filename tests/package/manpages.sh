#!/usr/bin/env bash
# Keeps the hand-written manual pages in step with the programs: every option and command a
# program's --help lists is in its page and every option its page describes is in --help, every
# exit code --help lists is under EXIT STATUS, the configurator's options (it has no --help)
# are those its main() reads, SEE ALSO names only pages we have, and groff finds nothing to
# warn about.
#   manpages.sh MAN_DIR SOURCE_DIR NAME=PROGRAM...    (MAN_DIR holds NAME.1.gz)
set -euo pipefail
man_dir="$1"
source_dir="$2"
shift 2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Plain text, one paragraph a line (no wrapping, no hyphenation), so that an option is one word.
# The header and footer lines go (the first line, the last that is not blank): only sections
# remain.
render() {
    groff -man -Tascii -rLL=5000n -rHY=0 -P -cbou "$1" 2>/dev/null |
        awk 'NR > 1 { line[++n] = $0 } END { while (n && line[n] == "") n--; for (i = 1; i < n; i++) print line[i] }'
}
# The lines of one section of a rendered page (headings are the lines at the left margin).
section() { awk -v want="$2" '/^[A-Z]/ { on = ($0 == want) } on && !/^[A-Z]/' "$1"; }
# The options named in a text, one a line: --long ones and one-letter -x ones (a word such as
# -port is another program's option, as in "the configurator: -port PATH").
options() {
    grep -oE -- '(^|[][ ,(|])(--[a-zA-Z][a-zA-Z0-9-]*|-[a-zA-Z])([^a-zA-Z0-9-]|$)' "$1" |
        grep -oE -- '--?[a-zA-Z][a-zA-Z0-9-]*' | sort -u
}
has_word() { grep -qE -- "(^|[^a-zA-Z0-9-])$1([^a-zA-Z0-9-]|\$)" "$2"; }

pages=()
for gz in "$man_dir"/*.1.gz; do
    name=$(basename "$gz" .1.gz)
    pages+=("$name")
    zcat "$gz" >"$scratch/$name.1"
    render "$scratch/$name.1" >"$scratch/$name.txt"
    warnings=$(groff -man -ww -z "$scratch/$name.1" 2>&1)
    [ -z "$warnings" ] || fail "$name.1: groff warns: $warnings"
    grep -q "^\.TH ${name^^} 1 " <(sed 's/\\-/-/g' "$scratch/$name.1") || fail "$name.1: no .TH ${name^^} 1"
done
[ ${#pages[@]} -ge 5 ] || fail "only ${#pages[@]} pages in $man_dir"

for name in "${pages[@]}"; do
    txt="$scratch/$name.txt"
    # SEE ALSO: every page with its section, and ours only when we have them.
    section "$txt" "SEE ALSO" | tr ',' '\n' | sed 's/^ *//; /^$/d' >"$scratch/seealso"
    [ -s "$scratch/seealso" ] || fail "$name.1: no SEE ALSO"
    while read -r ref; do
        [[ "$ref" =~ ^[a-z0-9.-]+\([1-8]\)$ ]] || fail "$name.1: SEE ALSO \"$ref\" has no section number"
        page=${ref%(*}
        if [[ "$page" == vexa7xx-* ]] && [ ! -f "$man_dir/$page.1.gz" ]; then
            fail "$name.1: SEE ALSO $ref, a page we do not have"
        fi
    done <"$scratch/seealso"
done

for arg in "$@"; do
    name=${arg%%=*}
    program=${arg#*=}
    txt="$scratch/$name.txt"
    [ -f "$txt" ] || { fail "no manual page for $name"; continue; }
    "$program" --help >"$scratch/help" || fail "$name --help failed"
    # Qt's parser names the program as it was started; any of its words is no option.
    sed -i "s|$program||g" "$scratch/help"
    section "$txt" OPTIONS >"$scratch/described"
    section "$txt" COMMANDS >>"$scratch/described"
    section "$txt" SYNOPSIS >>"$scratch/described"
    options "$scratch/help" >"$scratch/help-options"
    [ -s "$scratch/help-options" ] || fail "$name --help lists no option"
    while read -r opt; do
        has_word "$opt" "$scratch/described" || fail "$name.1 lacks $opt (in $name --help)"
    done <"$scratch/help-options"
    while read -r opt; do
        grep -qxF -- "$opt" "$scratch/help-options" || fail "$name.1 describes $opt, which $name --help does not list"
    done < <(options "$scratch/described")
    # Commands: the words at the start of the lines under "Commands:" of --help.
    section "$txt" COMMANDS >"$scratch/commands"
    while read -r cmd; do
        grep -qE "^ +$cmd( |\$)" "$scratch/commands" || fail "$name.1 lacks the command $cmd"
    done < <(awk '/^Commands:/ { on = 1; next } /^[^ ]/ { on = 0 } on' "$scratch/help" |
        grep -oE '^  [a-z]+' | sed 's/^ *//' | sort -u)
    # Exit codes: the "  N  ..." lines after "Exit codes" / "Exit status" of --help.
    section "$txt" "EXIT STATUS" >"$scratch/status"
    while read -r code; do
        grep -qE "^ +$code( |\$)" "$scratch/status" || fail "$name.1: exit code $code is not under EXIT STATUS"
    done < <(awk '/[Ee]xit (codes|status)/ { on = 1; next } on' "$scratch/help" |
        grep -oE '^  [0-9]+  ' | tr -d ' ' | sort -u)
done

# The configurator has no --help: its options are the ones main() compares the arguments with.
grep -oE 'QLatin1String\("-[a-z]+"\)' "$source_dir/app/main.cpp" | grep -oE -- '-[a-z]+' | sort -u >"$scratch/app-options"
[ -s "$scratch/app-options" ] || fail "no options found in app/main.cpp"
section "$scratch/vexa7xx-configurator.txt" OPTIONS >"$scratch/app-described"
while read -r opt; do
    has_word "$opt" "$scratch/app-described" || fail "vexa7xx-configurator.1 lacks $opt (read in app/main.cpp)"
done <"$scratch/app-options"

[ "$failures" -eq 0 ] || exit 1
echo "manual pages ok: ${pages[*]}"
