#!/usr/bin/env bash
# The frame budgets, measured on a Release build (default build-release, made here when missing). Each measure runs
# three times (RUNS=n for another count) and the median of the runs is printed beside its budget and whether it is
# met:
#   - per screen and open dialog of the campaign's way (tests/e2e E2eFrames: the real game headless on the fake
#     clock, played by the end-to-end level player), the CPU time of a whole frame, the flip included: at most 8 ms
#     on average and 16 ms at the 99th-percentile frame, a showing's first frame (which decodes its pictures)
#     excepted;
#   - the same for a busy 17 x 13 and 48 x 48 board, the fireball, the level end and the level-won dialog over it
#     (bench/screen_frames_bench), and the whole-board blast at the effects' cap there without a budget;
#   - the effects' update plus draw submission at the cap's worst frame (bench/effects_bench, the whole-board
#     blast): at most 2 ms; the level end, a cascade and the fireball beside it without a budget;
# then, once, the game frame with its heap allocations (bench/game_frame_bench), the level editor's frame and the
# time to the first frame and the peak memory at the main menu (tools/perfprobe). Needs jq. See README
# "Performance". What happened in each screen's slowest frames: BQ_E2E_FRAMES=slow build-release/bin/e2e_tests
# --gtest_filter='E2eFrames.*' and BQ_BENCH_SLOW=1 build-release/bin/screen_frames_bench.
set -euo pipefail
cd "$(dirname "$0")/.."
b=${1:-build-release}
runs=${RUNS:-3}
targets=(e2e_tests game_frame_bench editor_frame_bench effects_bench screen_frames_bench bq_perfprobe bq_perfbaseline
  brisquel2)
for t in "${targets[@]}"; do
  if [ ! -x "$b/bin/$t" ]; then
    cmake -S . -B "$b" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$b" -j4 --target "${targets[@]}"
    break
  fi
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
echo "load: $(uptime | sed 's/.*load average/load average/')"

# The median of the numbers on standard input (one a line).
median() { sort -g | awk '{v[NR] = $1} END {if (NR == 0) print "-"; else if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
# "met" or "NOT met" for value <= limit.
verdict() { awk -v v="$1" -v l="$2" 'BEGIN {print (v != "-" && v <= l) ? "met" : "NOT met"}'; }

echo "== frames per screen (CPU of the main thread per frame, the flip included; median of $runs runs)"
for i in $(seq "$runs"); do
  BQ_E2E_FRAMES=1 "$b/bin/e2e_tests" --gtest_filter='E2eFrames.*' | grep -E '^screen [0-9]' >"$tmp/e2e.$i" || true
done
printf "%-34s %7s %9s %9s %9s   %s\n" "screen (+ dialog)" "frames" "mean ms" "p99 ms" "worst ms" "budget 8 / 16 ms"
cut -c1-34 "$tmp"/e2e.* | sed 's/ *$//' | sort -u | while read -r key; do
  rows=$(grep -h "^$key  *[0-9]" "$tmp"/e2e.* | cut -c35-)
  frames=$(awk '{print $1}' <<<"$rows" | median)
  mean=$(awk '{print $2}' <<<"$rows" | median)
  p99=$(awk '{print $3}' <<<"$rows" | median)
  worst=$(awk '{print $4}' <<<"$rows" | median)
  v="mean $(verdict "$mean" 8), p99 $(verdict "$p99" 16)"
  [ "${frames%%.*}" -le 1 ] && v="(only a first frame)"
  printf "%-34s %7s %9s %9s %9s   %s\n" "$key" "$frames" "$mean" "$p99" "$worst" "$v"
done

# Runs a benchmark binary $runs times (JSON into $tmp/<name>.<i>).
bench_runs() {
  local name=$1
  shift
  for i in $(seq "$runs"); do
    "$b/bin/$name" --benchmark_format=json "$@" 2>/dev/null >"$tmp/$name.$i"
  done
}
# The median over the runs of counter $3 (or "real_time") of benchmark $2 in $1's runs.
bench_median() {
  cat "$tmp/$1".* | jq -r --arg n "$2" --arg c "$3" '.benchmarks[] | select(.name == $n) | .[$c]' | median
}

echo "== whole game-screen frames (CPU per frame, the flip included; median of $runs runs)"
bench_runs screen_frames_bench
printf "%-40s %9s %9s %9s   %s\n" "screen" "mean ms" "p99 ms" "worst ms" "budget 8 / 16 ms"
for row in "busy 17 x 13 board|BM_Screen_BusyBoard/17/13/iterations:5/manual_time|1" \
  "busy 48 x 48 board|BM_Screen_BusyBoard/48/48/iterations:5/manual_time|1" \
  "fireball, 17 x 13|BM_Screen_Fireball/iterations:5/manual_time|1" \
  "level end, 17 x 13|BM_Screen_LevelEnd/iterations:5/manual_time|1" \
  "level-won dialog over it, 17 x 13|BM_Screen_LevelWon/iterations:3/manual_time|1" \
  "whole-board blast at the cap, 17 x 13|BM_Screen_BlastAtCap/iterations:3/manual_time|0"; do
  IFS='|' read -r label name budget <<<"$row"
  mean=$(bench_median screen_frames_bench "$name" frame_ms_mean)
  p99=$(bench_median screen_frames_bench "$name" frame_ms_p99)
  worst=$(bench_median screen_frames_bench "$name" frame_ms_worst)
  if [ "$budget" = 1 ]; then
    v="mean $(verdict "$mean" 8), p99 $(verdict "$p99" 16)"
  else
    v="(no budget)"
  fi
  printf "%-40s %9.2f %9.2f %9.2f   %s\n" "$label" "$mean" "$p99" "$worst" "$v"
done

echo "== effects: update and draw submission, no rasterising (ms; median of $runs runs)"
bench_runs effects_bench --benchmark_filter='BM_Fx_(LevelEnd/60|Cascade|Fireball|BoardWipe)'
printf "%-40s %8s %8s %8s %8s %8s %7s   %s\n" "scenario" "upd mean" "sub mean" "upd wst" "sub wst" "worst" "live" \
  "budget 2 ms at the cap's worst frame"
for row in "level end, 48 x 48, 60 fps|BM_Fx_LevelEnd/60/iterations:3/manual_time|0" \
  "cascade, 17 x 13|BM_Fx_Cascade/iterations:3/manual_time|0" \
  "fireball, 17 x 13|BM_Fx_Fireball/iterations:3/manual_time|0" \
  "whole-board blast at the cap, 17 x 13|BM_Fx_BoardWipe/17/13/iterations:5/manual_time|1" \
  "whole-board blast at the cap, 48 x 48|BM_Fx_BoardWipe/48/48/iterations:5/manual_time|1"; do
  IFS='|' read -r label name budget <<<"$row"
  worst=$(bench_median effects_bench "$name" real_time)
  v=""
  [ "$budget" = 1 ] && v=$(verdict "$worst" 2)
  printf "%-40s %8.3f %8.3f %8.3f %8.3f %8.3f %7.0f   %s\n" "$label" \
    "$(bench_median effects_bench "$name" update_mean_ms)" "$(bench_median effects_bench "$name" submit_mean_ms)" \
    "$(bench_median effects_bench "$name" update_worst_ms)" "$(bench_median effects_bench "$name" submit_worst_ms)" \
    "$worst" "$(bench_median effects_bench "$name" live_peak)" "$v"
done

echo "== game frame (once)"
"$b/bin/game_frame_bench" --benchmark_min_time=0.5
echo "== game frame with the level editor open (once)"
"$b/bin/editor_frame_bench" --benchmark_min_time=0.5
echo "== first frame and peak memory at the main menu (once)"
"$b/bin/bq_perfprobe" "$b/bin/brisquel2" --mode headless
echo "load: $(uptime | sed 's/.*load average/load average/')"
