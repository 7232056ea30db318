#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given
# number of seconds (default 20), two seconds at most per input. Any crash,
# leak, sanitizer report, broken property or slow input fails the script;
# the input that found it is kept in $build/fuzz-findings/.
#   scripts/fuzz.sh [seconds] [target...]     e.g. scripts/fuzz.sh 600 rtfreader
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QLT_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-20}
shift || true
clang=${QLT_CLANG:-clang++-14}
# shellcheck source=deps.sh
. "$root/scripts/deps.sh"
qlt_install_deps

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -DQLT_FUZZ=ON -DCMAKE_CXX_COMPILER="$clang" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"

fuzzdir=$root/tests/fuzz
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$build"/tests/fuzz/fuzz_*; do
    [ -f "$f" ] && [ -x "$f" ] && targets+=("${f##*/fuzz_}")
  done
fi

dict_for() {
  case "$1" in
    rtfreader) echo rtf.dict ;;
    markers) echo markers.dict ;;
    csv) echo csv.dict ;;
    modelfile | settings | datasets) echo lines.dict ;;
    rtfmarkers) echo rtfmarkers.dict ;;
    xmlmarkers | packagedfill) echo xml.dict ;;
    nativeworkbook) echo sheets.dict ;;
    zippackage) echo zip.dict ;;
    *) echo "" ;;
  esac
}

findings="$build/fuzz-findings"
mkdir -p "$findings"
export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
# Runs one target; its outcome is its log and a "failed" mark.
fuzz_one() {
  local t=$1 exe="$build/tests/fuzz/fuzz_$1" work="$build/corpus/$1" dict
  # New inputs go to a working corpus in the build folder; the seeds in the
  # repository are only read.
  mkdir -p "$work"
  local args=(-max_total_time="$seconds" -timeout=2 -rss_limit_mb=2048 -print_final_stats=1
              -artifact_prefix="$findings/$t-")
  dict=$(dict_for "$t")
  [ -n "$dict" ] && args+=(-dict="$fuzzdir/dicts/$dict")
  local seeds=("$fuzzdir/corpus/$t")
  [ -d "$fuzzdir/regressions/$t" ] && seeds+=("$fuzzdir/regressions/$t")
  "$exe" "${args[@]}" "$work" "${seeds[@]}" >"$build/fuzz-$t.log" 2>&1 || touch "$build/fuzz-$t.failed"
}

for t in "${targets[@]}"; do
  [ -x "$build/tests/fuzz/fuzz_$t" ] || { echo "no fuzz target $t" >&2; exit 2; }
  rm -f "$build/fuzz-$t.failed"
done
# One target per processor at a time: each still gets its full time.
running=0
for t in "${targets[@]}"; do
  if [ "$running" -ge "$(nproc)" ]; then
    wait -n || true
    running=$((running - 1))
  fi
  echo "== fuzz_$t for ${seconds}s"
  fuzz_one "$t" &
  running=$((running + 1))
done
wait
failed=()
for t in "${targets[@]}"; do
  if [ -e "$build/fuzz-$t.failed" ]; then
    failed+=("$t")
    tail -n 60 "$build/fuzz-$t.log"
  else
    grep -E '^stat::number_of_executed_units' "$build/fuzz-$t.log" | sed "s/^/$t: /" || true
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing found problems in: ${failed[*]} (inputs in $findings)" >&2
  exit 1
fi
echo "Fuzzing: no findings in ${#targets[@]} targets, ${seconds}s each"
