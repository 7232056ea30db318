#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QLT_BUILD_DIR:-$root/build}
# shellcheck source=deps.sh
. "$root/scripts/deps.sh"
qlt_install_deps
"$root/scripts/build.sh" -DQLT_WERROR=ON -DQLT_BUILD_TESTS=ON

# Services the tests use are started here and stopped when the script ends:
# a private CUPS spooler whose one printer writes PDF files. ctest starts
# and stops the office that makes the fixtures; stopping it here too covers
# a run that was interrupted.
cups_dir="$build/cups-test"
cleanup() {
  "$root/tests/cups/cups-server.sh" stop "$cups_dir"
  "$root/tests/support/convert-office.sh" stop "$build/convert-office"
}
trap cleanup EXIT
unset LPDEST PRINTER
eval "$("$root/tests/cups/cups-server.sh" start "$cups_dir")"

cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
