#!/usr/bin/env bash
# Makes the .deb and the .tar.gz and checks what they hold and declare:
# Qt 6 libraries as dependencies, LibreOffice only as a recommendation.
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

[ "$failures" -eq 0 ] && echo "packages: all checks passed"
exit "$failures"
