#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that every file is
# where the package puts it, that the validators accept the installed
# desktop entry and AppStream data, and that the installed programs work
# through their links: QLT answers --version, and the packaged SetupQLT
# installs into a home folder without touching the packaged tree.
# Usage: install-tree.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
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

# The packaged installer, run from another folder for a fresh home.
home=$work/home
mkdir -p "$home" "$work/elsewhere"
before=$(cd "$prefix" && find . -printf '%p %s %l\n' | sort)
( cd "$work/elsewhere" && env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
    QT_QPA_PLATFORM=offscreen QLT_SCRIPTED_ANSWERS=yes "$prefix/bin/SetupQLT" >/dev/null 2>&1 ) || fail "SetupQLT exited $?"
after=$(cd "$prefix" && find . -printf '%p %s %l\n' | sort)
[ "$before" = "$after" ] || fail "the packaged tree changed"
for f in QLT "${data[@]}"; do expect_file "$home/Quillmate/$f"; done
expect_file "$home/.local/bin/RemoveQLT"
expect_file "$home/.local/share/applications/Quillmate.desktop"
desktop-file-validate "$home/.local/share/applications/Quillmate.desktop" || fail "the per-user entry does not validate"

[ "$failures" -eq 0 ] && echo "install tree: all checks passed"
exit "$failures"
