#!/usr/bin/env bash
# Makes the .deb and the .tar.gz and checks what they hold and declare:
# every library the programs and their modules link comes from a package that
# Depends pulls in, LibreOffice is only a recommendation, and the unpacked
# QLT starts.
# Usage: package.sh BUILD_DIR
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G "DEB;TGZ" -B "$out" >/dev/null)

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
deb=$(ls "$out"/*.deb)
tgz=$(ls "$out"/*.tar.gz)

depends=$(dpkg-deb -f "$deb" Depends)
recommends=$(dpkg-deb -f "$deb" Recommends)
for lib in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6pdf6 libqt6pdfwidgets6; do
  [[ $depends == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done
[[ $depends != *libreoffice* ]] || fail "LibreOffice must not be required: $depends"
[[ $recommends == *libreoffice-calc* ]] || fail "Recommends lacks libreoffice-calc: $recommends"

contents=$(dpkg-deb -c "$deb")
for path in ./usr/bin/QLT ./usr/bin/SetupQLT ./usr/bin/RemoveQLT ./usr/share/applications/Quillmate.desktop \
            ./usr/share/metainfo/org.quillmate.Quillmate.metainfo.xml ./usr/share/man/man1/QLT.1 \
            ./usr/share/icons/hicolor/scalable/apps/quillmate.svg "./usr/share/quillmate/Sample Model.mod"; do
  grep -qF " $path" <<<"$contents" || fail "the .deb lacks $path"
done
tar tzf "$tgz" | grep -q '/bin/QLT$' || fail "the .tar.gz lacks bin/QLT"

# Each library a binary needs, resolved as the loader finds it, must belong
# to a package in the closure of Depends.
root="$out/root"
dpkg-deb -x "$deb" "$root"
read -r -a wanted <<<"$(sed -E 's/\([^)]*\)//g; s/[|,]/ /g' <<<"$depends")"
closure=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks --no-replaces \
            --no-enhances "${wanted[@]}" | grep -E '^[a-z0-9]' | sort -u)
binaries=(QLT qltgui.so SetupQLT RemoveQLT qltcalc.so)
declare -A library_path # "binary library" -> the file the loader finds
candidates=()
for binary in "${binaries[@]}"; do
  file="$root/usr/lib/quillmate/$binary"
  [ -f "$file" ] || { fail "the .deb lacks /usr/lib/quillmate/$binary"; continue; }
  needed=$(readelf -d "$file" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
  [ -n "$needed" ] || fail "$binary needs no library at all?"
  resolved=$(ldd "$file")
  for lib in $needed; do
    path=$(awk -v lib="$lib" '$1 == lib && $2 == "=>" { print $3 }' <<<"$resolved")
    library_path["$binary $lib"]=$path
    # The file as dpkg may know it, seen through /usr merging.
    [ -n "$path" ] && candidates+=("$path" "$(readlink -f "$path")" "${path#/usr}" "/usr$path")
  done
done
# One query for every file: each dpkg start reads its whole database.
declare -A owner_of
while IFS= read -r line; do
  packages=${line%%: /*}
  package=${packages%%,*}
  owner_of[${line#"$packages: "}]=${package%%:*}
done < <(dpkg -S "${candidates[@]}" 2>/dev/null | grep ': /' || true)
owner() {
  local p
  for p in "$1" "$(readlink -f "$1")" "${1#/usr}" "/usr$1"; do
    [ -n "${owner_of[$p]:-}" ] && { echo "${owner_of[$p]}"; return; }
  done
}
for key in "${!library_path[@]}"; do
  binary=${key%% *} lib=${key#* } path=${library_path[$key]}
  package=$( [ -n "$path" ] && owner "$path" || true)
  if [ -z "$package" ]; then
    fail "$binary needs $lib, which no installed package provides"
  elif ! grep -qx "$package" <<<"$closure"; then
    fail "$binary needs $lib from $package, which Depends does not pull in: $depends"
  fi
done
version=$(env -i PATH=/usr/bin:/bin HOME="$out" QT_QPA_PLATFORM=offscreen "$root/usr/lib/quillmate/QLT" --version 2>&1) ||
  fail "the unpacked QLT --version failed: $version"
[[ $version == *[0-9].[0-9]* ]] || fail "the unpacked QLT --version printed no version: $version"

[ "$failures" -eq 0 ] && echo "packages: all checks passed"
exit "$failures"
