#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that every file is
# where the package puts it, that the validators accept the installed
# desktop entry and AppStream data, and that the installed programs work
# through their links: QLT answers --version, the packaged SetupQLT installs
# into a home folder without touching the packaged tree and RemoveQLT takes
# it away again, both driven by keys on a virtual display, and none of the
# installed programs obeys a switch of the test builds.
# Usage: install-tree.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
# A program the installer started must not outlive the test, nor write
# into the folder being removed.
trap 'pkill -f "^$work/" || true; rm -rf "$work"' EXIT
prefix=$work/usr
cmake --install "$build" --prefix "$prefix" >/dev/null

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

libdir=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:[A-Z]*=//p' "$build/CMakeCache.txt")
private=$prefix/$libdir/quillmate
data=(QLT.txt Pointer.html Template.rtf "Sample Model.mod" "Sample Doc.rtf" "Sample Spreadsheet.xls")
expect_file() { [ -f "$1" ] || fail "missing $1"; }

for program in QLT SetupQLT RemoveQLT; do
  [ -L "$prefix/bin/$program" ] || fail "bin/$program is not a link"
  [ "$(readlink -f "$prefix/bin/$program")" = "$(readlink -f "$private/$program")" ] || fail "bin/$program points elsewhere"
  [ -x "$private/$program" ] || fail "$private/$program is not executable"
  expect_file "$prefix/share/man/man1/$program.1"
done
expect_file "$private/qltgui.so"
if [ -f "$build/app/qltcalc.so" ]; then
  expect_file "$private/qltcalc.so"
fi
for f in "${data[@]}"; do
  expect_file "$prefix/share/quillmate/$f"
  # The packaged folder is a complete installer folder.
  cmp -s "$private/$f" "$prefix/share/quillmate/$f" || fail "$private/$f does not lead to the shipped file"
done
expect_file "$prefix/share/applications/Quillmate.desktop"
expect_file "$prefix/share/metainfo/org.quillmate.Quillmate.metainfo.xml"
expect_file "$prefix/share/icons/hicolor/scalable/apps/quillmate.svg"
for size in 16 24 32 48 64 128 256; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/quillmate.png
  expect_file "$png"
  # Width and height from the PNG header.
  dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}')
  [ "$dims" = "${size}x${size}" ] || fail "$png is $dims"
done

desktop-file-validate "$prefix/share/applications/Quillmate.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$prefix/share/metainfo/org.quillmate.Quillmate.metainfo.xml" >/dev/null \
  || fail "appstreamcli validate"
if command -v groff >/dev/null; then
  for page in "$prefix"/share/man/man1/*.1; do
    out=$(groff -man -Tutf8 -ww -z "$page" 2>&1) && [ -z "$out" ] || fail "groff warns on $page: $out"
  done
fi

version=$("$prefix/bin/QLT" --version) || fail "QLT --version"
[[ $version == "QLT (Quillmate) "* ]] || fail "QLT --version said: $version"

# The installed programs as a user runs them, on a virtual display, with
# every switch the test builds know set: they must ignore them all. A
# scripted installer would finish without a window; this one waits for the
# user's Install, and the installed QLT looks for its office module only
# beside itself.
home=$work/home
mkdir -p "$home" "$work/elsewhere"
before=$(cd "$prefix" && find . -printf '%p %s %l\n' | sort)
cat >"$work/user.sh" <<'INNER'
set -uo pipefail
prefix=$1 home=$2 phase=$3
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share XDG_CACHE_HOME=$home/.cache
export QT_QPA_PLATFORM=xcb QLT_SCRIPTED_ANSWERS=yes,yes,ok,ok,ok,ok QLT_CALC_MODULE=/nonexistent/qltcalc.so
export QLT_TEST_LOCK_WAIT_MS=1
# A window that vanishes while xdotool looks (the wait window) makes it
# fail: it looks again.
window() {
  local id tries
  for tries in 1 2 3 4 5; do
    id=$(timeout 30 xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
  done
  return 1
}
press() { xdotool windowfocus --sync "$1" key "$2"; }
if [ "$phase" = remove ]; then
  timeout 60 "$home/.local/bin/RemoveQLT" >"$home/../remove.log" 2>&1 &
  remove=$!
  warning=$(window '\*\*\* WARNING \*\*\*') || { echo "RemoveQLT asked nothing"; exit 1; }
  [ -e "$home/Quillmate/QLT" ] || { echo "RemoveQLT removed before the user answered"; exit 1; }
  press "$warning" Return
  finished=$(window 'Finished\.') || { echo "RemoveQLT did not finish"; exit 1; }
  press "$finished" Return
  wait "$remove" || { echo "RemoveQLT exited $?"; cat "$home/../remove.log"; exit 1; }
  exit 0
fi
timeout 60 "$prefix/bin/SetupQLT" >"$home/../setup.log" 2>&1 &
setup=$!
info=$(window "Quillmate Information") || { echo "SetupQLT showed no information window"; exit 1; }
[ ! -e "$home/Quillmate" ] || { echo "SetupQLT installed before the user chose Install"; exit 1; }
press "$info" space
wait "$setup" || { echo "SetupQLT exited $?"; cat "$home/../setup.log"; exit 1; }
# The installer ends by starting the installed QLT.
window Quillmate >/dev/null || { echo "the installed QLT showed no window"; exit 1; }
pkill -f "^$home/Quillmate/QLT" || true
# The sample model's workbook is filled through the office module; without
# the installed module beside QLT, the problem names where it was looked for.
rm -f "$home/Quillmate/qltcalc.so"
out=$("$home/Quillmate/QLT" fill "Sample Model" --set "Last Name=Ann" --sheets 2>&1)
status=$?
[ "$status" -eq 1 ] || { echo "QLT fill without its module exited $status: $out"; exit 1; }
[[ $out == *"$home/Quillmate/qltcalc.so"* && $out != *nonexistent* ]] \
  || { echo "QLT fill did not look for its module beside itself: $out"; exit 1; }
# A fill that only saves copies needs no drawing, so it works without the
# windows' module; what needs the module says which file is missing.
rm -f "$home/Quillmate/qltgui.so"
mkdir -p "$home/out"
out=$("$home/Quillmate/QLT" fill "Sample Model" --set "Last Name=Ann" --save Ann --out "$home/out" 2>&1) \
  || { echo "QLT fill without drawing needed the windows' module: $out"; exit 1; }
compgen -G "$home/out/Ann-*" >/dev/null || { echo "QLT fill saved nothing: $out"; exit 1; }
for run in "fill|Sample Model|--set|Last Name=Bob|--save|Bob|--pdf|--out|$home/out" ""; do
  IFS='|' read -r -a args <<<"$run"
  out=$("$home/Quillmate/QLT" "${args[@]}" 2>&1)
  status=$?
  [ "$status" -eq 1 ] && [[ $out == *"$home/Quillmate/qltgui.so"* ]] \
    || { echo "QLT ${args[*]} without its windows' module exited $status: $out"; exit 1; }
done
INNER
( cd "$work/elsewhere" && xvfb-run -a bash "$work/user.sh" "$prefix" "$home" install ) || fail "installing as a user"
after=$(cd "$prefix" && find . -printf '%p %s %l\n' | sort)
[ "$before" = "$after" ] || fail "the packaged tree changed"
for f in QLT "${data[@]}"; do expect_file "$home/Quillmate/$f"; done
expect_file "$home/.local/bin/RemoveQLT"
expect_file "$home/.local/share/applications/Quillmate.desktop"
desktop-file-validate "$home/.local/share/applications/Quillmate.desktop" || fail "the per-user entry does not validate"
( cd "$work/elsewhere" && xvfb-run -a bash "$work/user.sh" "$prefix" "$home" remove ) || fail "removing as a user"
[ ! -e "$home/Quillmate" ] || fail "RemoveQLT left $home/Quillmate"
[ ! -e "$home/.local/share/applications/Quillmate.desktop" ] || fail "RemoveQLT left the menu entry"

[ "$failures" -eq 0 ] && echo "install tree: all checks passed"
exit "$failures"
