#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs the two form readers for
# FUZZ_SECONDS (60) seconds each from the seed corpus of real forms, and the
# PE reader for PE_FUZZ_SECONDS (5) from the 32-bit and 64-bit DLLs its tests build. A crash, a
# leak or a broken round trip fails the run and leaves the input in build/fuzz/.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${FUZZ_SECONDS:-60}
pe_seconds=${PE_FUZZ_SECONDS:-5}
build=build/fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DOMBRAL_FUZZ=ON -DOMBRAL_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target fuzz_binary_form fuzz_text_form fuzz_pe
mkdir -p "$build/pe-sample" "$build/pe-sample64"
# name, program, seconds, seeds
for run in "binary fuzz_binary_form $seconds tests/fuzz/corpus/binary" \
           "text fuzz_text_form $seconds tests/fuzz/corpus/text" \
           "pe fuzz_pe $pe_seconds $build/pe-sample $build/pe-sample64"; do
  read -r target program time seeds <<<"$run"
  corpus=$build/corpus-$target
  log=$build/$target.log
  mkdir -p "$corpus"
  echo "fuzzing the $target reader for $time s"
  status=0
  "$build/bin/$program" -max_total_time="$time" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$build/$target-" "$corpus" $seeds >"$log" 2>&1 || status=$?
  grep -E '^(stat::number_of_executed_units|stat::new_units_added|stat::peak_rss_mb)' "$log" || true
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$log"
    exit "$status"
  fi
done
