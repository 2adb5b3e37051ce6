#!/usr/bin/env bash
# check_install.sh prefix|deb <build folder> <version>
#   prefix: cmake --install into "<tmp>/설치 폴더/usr", then start the installed program
#           normally, with a read-only HOME, and a second time while a first copy runs.
#   deb:    cpack the Debian package, check its control fields, unpack it with dpkg -x
#           into "<tmp>/루트 폴더", and start the unpacked program.
set -uo pipefail
mode=$1 build=$(cd "$2" && pwd) version=$3
tmp=$(mktemp -d)
first_pid=""
cleanup() {
  [ -n "$first_pid" ] && kill "$first_pid" 2>/dev/null
  chmod -R u+w "$tmp" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }

export QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES='qt.qpa.*=false'
export LANG=C LC_ALL=C   # an English/C desktop must still give Korean dialogs

# Files every installation holds, relative to the prefix; every helper program built
# beside the executable (the screenshot tool is for the documentation only).
check_files() {
  local p=$1 f
  local need=(bin/memberdesk share/applications/memberdesk.desktop
    share/metainfo/memberdesk.metainfo.xml share/icons/hicolor/scalable/apps/memberdesk.svg
    share/doc/memberdesk/README.md share/doc/memberdesk/copyright
    share/doc/memberdesk/screenshots/login.png share/doc/memberdesk/changelog.gz
    share/man/man1/memberdesk.1.gz)
  for s in 16 22 24 32 48 64 128 256; do need+=("share/icons/hicolor/${s}x${s}/apps/memberdesk.png"); done
  for h in "$build"/bin/memberdesk-*; do
    f=$(basename "$h")
    [ "$f" = memberdesk-screenshots ] && continue
    need+=("libexec/memberdesk/$f")
  done
  for f in "${need[@]}"; do [ -e "$p/$f" ] || fail "missing $f"; done
  [ -e "$p/bin/memberdesk-floatmsg" ] && fail "a helper program is on PATH: bin/memberdesk-floatmsg"
  desktop-file-validate "$p/share/applications/memberdesk.desktop" || fail "desktop entry"
  appstreamcli validate --no-net "$p/share/metainfo/memberdesk.metainfo.xml" >/dev/null ||
    fail "metainfo"
  grep -q "release version=\"$version\"" "$p/share/metainfo/memberdesk.metainfo.xml" ||
    fail "metainfo release is not $version"
  grep -q "<screenshot" "$p/share/metainfo/memberdesk.metainfo.xml" &&
    fail "metainfo names screenshots that are not published"
  zcat "$p/share/man/man1/memberdesk.1.gz" | grep -qF -- 'copy\-database' || fail "man page"
  zcat "$p/share/doc/memberdesk/changelog.gz" | head -1 | grep -q "^memberdesk ($version)" ||
    fail "changelog is not for $version"
}

# Starts the installed program without a person: prints its ready line (or its messages)
# into $tmp/out and $tmp/err; returns its exit code.
start() {
  local exe=$1; shift
  env "$@" MEMBERDESK_STARTUP_PROBE=1 "$exe" >"$tmp/out" 2>"$tmp/err"
}

check_start() {
  local exe=$1 data="$tmp/데이터 폴더/MemberDesk"
  start "$exe" MEMBERDESK_HOME="$data" XDG_CONFIG_HOME="$tmp/설정" XDG_RUNTIME_DIR="$tmp"
  local rc=$?
  grep -q "^ready .* helpers=ok qt_ko=ok version=$version\$" "$tmp/out" ||
    fail "first start (rc $rc): $(cat "$tmp/out" "$tmp/err")"
  [ -f "$data/DBS/dbMain.db" ] || fail "no new database in the data folder"
}

case $mode in
prefix)
  prefix="$tmp/설치 폴더/usr"
  cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }
  check_files "$prefix"
  check_start "$prefix/bin/memberdesk"

  # HOME read-only: the data folder cannot be made. (root ignores the mode bits, so for
  # root a file stands where the folder would have to be created.)
  home="$tmp/home"; mkdir -p "$home"
  [ "$(id -u)" -eq 0 ] && : >"$home/.local"
  chmod 555 "$home"
  start "$prefix/bin/memberdesk" -u MEMBERDESK_HOME -u XDG_CONFIG_HOME -u XDG_DATA_HOME \
    HOME="$home" XDG_RUNTIME_DIR="$tmp"
  rc=$?
  [ $rc -eq 1 ] || fail "read-only HOME: exit code $rc (wanted 1): $(cat "$tmp/err")"
  grep -q "데이터 폴더를 만들거나 쓸 수 없어 프로그램을 종료합니다." "$tmp/err" ||
    fail "read-only HOME: no message about the data folder: $(cat "$tmp/err")"
  grep -q "$home/.local/share/MemberDesk" "$tmp/err" || fail "read-only HOME: folder not named"

  # Started twice on one data folder: the second copy says so and ends.
  data="$tmp/두 번"
  MEMBERDESK_HOME="$data" XDG_CONFIG_HOME="$tmp/설정" XDG_RUNTIME_DIR="$tmp" \
    "$prefix/bin/memberdesk" >/dev/null 2>&1 &
  first_pid=$!
  for _ in $(seq 100); do [ -f "$data/DBS/dbMain.db" ] && break; sleep 0.1; done
  sleep 0.5
  start "$prefix/bin/memberdesk" MEMBERDESK_HOME="$data" XDG_CONFIG_HOME="$tmp/설정" XDG_RUNTIME_DIR="$tmp"
  rc=$?
  [ $rc -eq 1 ] || fail "second copy: exit code $rc (wanted 1)"
  grep -q "이미 프로그램이 실행 중입니다." "$tmp/err" || fail "second copy: $(cat "$tmp/out" "$tmp/err")"
  kill -0 "$first_pid" 2>/dev/null || fail "the first copy ended"
  ;;
deb)
  (cd "$build" && cpack -G DEB -B "$tmp/out.pkg" >/dev/null) || { echo "FAIL: cpack"; exit 1; }
  deb=$(ls "$tmp"/out.pkg/memberdesk_*.deb 2>/dev/null | head -1)
  [ -n "$deb" ] || { echo "FAIL: no memberdesk_*.deb"; exit 1; }
  [ "$(dpkg-deb -f "$deb" Package)" = memberdesk ] || fail "package name"
  [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version"
  depends=$(dpkg-deb -f "$deb" Depends)
  for d in fonts-nanum qt6-translations-l10n libqt6widgets6 libsqlite3-0; do
    [[ $depends == *"$d"* ]] || fail "Depends lacks $d: $depends"
  done
  # Every dependency can be met from the configured Debian archive (when it is known).
  if [ -n "$(ls /var/lib/apt/lists/*Packages 2>/dev/null | head -1)" ]; then
    apt-get install -s -q "$deb" >"$tmp/apt" 2>&1 || fail "apt cannot install it: $(tail -5 "$tmp/apt")"
  fi
  [[ $(dpkg-deb -f "$deb" Recommends) == *"fcitx5-hangul | ibus-hangul"* ]] ||
    fail "Recommends lacks a Hangul input method"
  if command -v lintian >/dev/null; then
    lintian --fail-on error,warning "$deb" >"$tmp/lintian" 2>&1 || fail "lintian: $(cat "$tmp/lintian")"
  fi
  root="$tmp/루트 폴더"
  dpkg -x "$deb" "$root" || fail "dpkg -x"
  check_files "$root/usr"
  check_start "$root/usr/bin/memberdesk"
  ;;
esac
[ $fails -eq 0 ] && echo "ok ($mode)"
exit $fails
