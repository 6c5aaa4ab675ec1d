#!/usr/bin/env bash
# Plays levels of the 150 with the end-to-end level player (tests/e2e, E2eLevels) in a build's e2e_tests, in runs of
# a few levels each, several runs at once, and reports a line per level. Meant for the ASan+UBSan build (CI's
# sanitizer stage runs a share of it; see README "Testing"). Fails on a level not won in its time, a sanitizer
# report, a diagnostic line the game should not write, or a run that failed otherwise.
#   tools/play_all_levels.sh [-b build-asan] [-j 8] [-n 5] [-l first-last] [-s share/shares]
#     -b  build folder (bin/e2e_tests inside)         -j  runs at once (default: nproc)
#     -n  levels per run (default 5)                  -l  levels to play (default 1-150)
#     -s  K/N: only the K-th of N equal shares of the runs (CI plays one share; all N shares cover every level)
set -uo pipefail
cd "$(dirname "$0")/.."
build=build-asan jobs=$(nproc) per=5 range=1-150 share=1/1
while getopts "b:j:n:l:s:" o; do
  case $o in
    b) build=$OPTARG ;; j) jobs=$OPTARG ;; n) per=$OPTARG ;; l) range=$OPTARG ;; s) share=$OPTARG ;;
    *) sed -n 2,9p "$0"; exit 2 ;;
  esac
done
bin="$build/bin/e2e_tests"
[ -x "$bin" ] || { echo "no $bin: build it first"; exit 2; }
first=${range%-*} last=${range#*-} k=${share%/*} n=${share#*/}
logs="$build/play-all-levels"
rm -rf "$logs" && mkdir -p "$logs"

runs=() i=0
for ((a = first; a <= last; a += per)); do
  b=$((a + per - 1)); [ $b -gt "$last" ] && b=$last
  [ $((i % n)) -eq $((k - 1)) ] && runs+=("$a-$b")
  i=$((i + 1))
done
echo "playing ${#runs[@]} runs of up to $per levels (${runs[*]}) with $jobs at once"
start=$(date +%s)

one() {
  local r=$1 log="$2/levels-$1.log"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 BQ_E2E_LEVELS=$r \
    timeout 3600 "$3" --gtest_filter='E2eLevels.*' >"$log" 2>&1
  echo "$?" >"$2/levels-$1.rc"
}
export -f one
printf '%s\n' "${runs[@]}" | xargs -P "$jobs" -I{} bash -c 'one "$@"' _ {} "$logs" "$bin"

failed=0
for r in "${runs[@]}"; do
  log="$logs/levels-$r.log"
  grep -E '^level ' "$log"
  rc=$(cat "$logs/levels-$r.rc" 2>/dev/null || echo 99)
  if grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:' "$log"; then
    echo "levels $r: sanitizer report"; grep -E -m5 -A8 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$log"; failed=1
  elif [ "$rc" != 0 ]; then
    echo "levels $r: failed (exit $rc)"; grep -E -A4 'Failure|diagnostic line|time ran out' "$log" | head -40; failed=1
  fi
done
won=$(cat "$logs"/levels-*.log | grep -cE '^level +[0-9]+ won ')
total=$(cat "$logs"/levels-*.log | grep -cE '^level ')
frames=$(cat "$logs"/levels-*.log | awk '/^level /{f += $(NF)} END {print f + 0}')
echo "$won of $total levels won in their time, $frames frames, $(( $(date +%s) - start )) s"
exit $failed
