#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer + UndefinedBehaviorSanitizer) and runs
# each in turn for the given number of seconds (default 600), starting from the corpus kept in the
# repository. New inputs go to a scratch corpus beside the build, so the repository corpus stays
# small; a crashing input is left as build-fuzz/findings/<target>/crash-* for a regression test.
# Usage: tools/fuzz.sh [seconds] [target...]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${JOULEMAP_FUZZ_BUILD_DIR:-$here/build-fuzz}"
seconds="${1:-600}"
shift || true
# Longer than any report the parsers meet in practice, short enough to keep executions fast.
max_len="${JOULEMAP_FUZZ_MAX_LEN:-8192}"

CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DJOULEMAP_FUZZ=ON -DJOULEMAP_BUILD_APP=OFF -DJOULEMAP_BUILD_TESTS=OFF -DJOULEMAP_BUILD_BENCH=OFF \
  -DJOULEMAP_BUILD_TOOLS=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  mapfile -t targets < <(find "$build/tests/fuzz" -maxdepth 1 -type f -name 'fuzz_*' -perm -u+x -printf '%f\n' | sed 's/^fuzz_//' | sort)
fi

status=0
for target in "${targets[@]}"; do
  work="$build/corpus/$target"
  findings="$build/findings/$target"
  mkdir -p "$work" "$findings"
  echo "== $target: ${seconds}s"
  # -print_final_stats gives the executions and coverage for the record.
  if ! "$build/tests/fuzz/fuzz_$target" "$work" "$here/tests/fuzz/corpus/$target" \
      -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$findings/" 2>"$build/$target.log"; then
    echo "!! $target: finding, see $build/$target.log and $findings/"
    status=1
  fi
  grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$build/$target.log" | sed 's/^/   /' || true
done
exit $status
