#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QLT_BUILD_DIR:-$root/build}
# shellcheck source=deps.sh
. "$root/scripts/deps.sh"
qlt_install_deps
"$root/scripts/build.sh" -DQLT_WERROR=ON -DQLT_BUILD_TESTS=ON

# Services the tests use are started here and stopped when the script ends.
cleanup() { :; }
trap cleanup EXIT

cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
