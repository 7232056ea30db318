#!/usr/bin/env bash
# The reliability gates CI runs after the test command: every fuzzer for
# 20 seconds (QLT_FUZZ_SECONDS to change), then the whole test suite built
# with the sanitizers, which includes the kill-safety test. Fails on any
# finding. Before a release run the fuzzers longer: scripts/fuzz.sh 600
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
start=$SECONDS
"$root/scripts/fuzz.sh" "${QLT_FUZZ_SECONDS:-20}"
echo "fuzzers took $((SECONDS - start)) s"
mark=$SECONDS
"$root/scripts/sanitize.sh"
echo "sanitizer suite took $((SECONDS - mark)) s"
echo "all gates passed in $((SECONDS - start)) s"
