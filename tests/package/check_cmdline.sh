#!/usr/bin/env bash
# check_cmdline.sh <memberdesk> <version> <man page source>
#   --help and --version print and end at once, in a fresh home, creating nothing there;
#   every option --help names is in the man page, and the reverse.
set -uo pipefail
exe=$1 version=$2 man=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }

home="$tmp/home"; mkdir -p "$home"
run() {
  env -u MEMBERDESK_HOME -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME \
    HOME="$home" QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$tmp" timeout 20 "$exe" "$@" \
    >"$tmp/out" 2>"$tmp/err"
}
run --help; rc=$?
[ $rc -eq 0 ] || fail "--help: exit code $rc: $(cat "$tmp/err")"
help=$(cat "$tmp/out")
run --version; rc=$?
[ $rc -eq 0 ] || fail "--version: exit code $rc"
[ "$(cat "$tmp/out")" = "memberdesk $version" ] || fail "--version printed: $(cat "$tmp/out")"
run --database "$tmp/x.db" --help; rc=$?
[ $rc -eq 0 ] && [ ! -e "$tmp/x.db" ] || fail "--help after --database started the program"
left=$(find "$home" "$tmp" -mindepth 1 -not -path "$home" -not -name out -not -name err)
[ -z "$left" ] || fail "created: $left"

opts_help=$(grep -o -- '--[a-z][a-z-]*' <<<"$help" | sort -u)
opts_man=$(sed 's/\\-/-/g' "$man" | grep -o -- '--[a-z][a-z-]*' | sort -u)
for o in --database --copy-database --help --version; do
  grep -qx -- "$o" <<<"$opts_help" || fail "--help lacks $o"
done
[ "$opts_help" = "$opts_man" ] || fail "options differ: help [$opts_help] man [$opts_man]"
[ $fails -eq 0 ] && echo "ok"
exit $fails
