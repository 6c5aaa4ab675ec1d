#!/usr/bin/env bash
# The frame budgets, measured on a Release build (default build-release, made here when missing): the CPU time of a
# whole frame on each screen and dialog of the campaign's way (tests/e2e E2eFrames: the real game headless on the
# fake clock, played by the end-to-end level player), the game frame on a busy 17 x 13 and 48 x 48 board with and
# without the flip (bench/game_frame_bench, with the heap allocations of a steady frame), the game frame with the
# level editor open over a 17 x 13 board (bench/editor_frame_bench; it opens the editor itself, so any build does), and
# the time to the first frame and the peak memory of the game at its main menu (tools/perfprobe). See README
# "Performance".
set -euo pipefail
cd "$(dirname "$0")/.."
b=${1:-build-release}
if [ ! -x "$b/bin/e2e_tests" ] || [ ! -x "$b/bin/game_frame_bench" ] || [ ! -x "$b/bin/editor_frame_bench" ]; then
  cmake -S . -B "$b" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$b" -j4 --target e2e_tests game_frame_bench editor_frame_bench bq_perfprobe brisquel2
fi
echo "== frames per screen (CPU of the main thread per frame, the flip included)"
BQ_E2E_FRAMES=1 "$b/bin/e2e_tests" --gtest_filter='E2eFrames.*' | grep -vE '^\[|^$|^Running|^Note'
echo "== game frame"
"$b/bin/game_frame_bench" --benchmark_min_time=0.5
echo "== game frame with the level editor open"
"$b/bin/editor_frame_bench" --benchmark_min_time=0.5
echo "== first frame and peak memory at the main menu"
"$b/bin/bq_perfprobe" "$b/bin/brisquel2" --mode headless
