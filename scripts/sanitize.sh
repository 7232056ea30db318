#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer
# (leak checking included) into build-asan/ and runs the tests there. Any
# report fails the test that made it. Tests that load LibreOffice into the
# process (label "office") run in the normal suite only: the office's own
# code is not clean under the sanitizers.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QLT_SANITIZE_BUILD_DIR:-$root/build-asan}
# shellcheck source=deps.sh
. "$root/scripts/deps.sh"
qlt_install_deps
# Unoptimised: the sanitizers find the same faults, and the build takes
# about half the time, which keeps CI within its budget.
QLT_BUILD_DIR=$build "$root/scripts/build.sh" -DQLT_WERROR=ON -DQLT_BUILD_TESTS=ON -DQLT_SANITIZE=ON \
  -DQLT_BUILD_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=Debug

cups_dir="$build/cups-test"
cleanup() { "$root/tests/cups/cups-server.sh" stop "$cups_dir"; }
trap cleanup EXIT
unset LPDEST PRINTER
eval "$("$root/tests/cups/cups-server.sh" start "$cups_dir")"

export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:strict_init_order=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
# Only third-party libraries are suppressed there; see the file.
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
# The kill-safety gate's full hundred kills per kind run in the normal
# suite; here every process starts several times slower, and a quarter of
# them still puts each kind of save under the sanitizers.
export QLT_KILLS_PER_KIND=25
cd "$build"
# The package test checks release binaries: a sanitized one links its runtime.
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 -LE "office|package"
