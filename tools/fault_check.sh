#!/usr/bin/env bash
# Faults the game must survive, with the end-to-end player of tests/e2e (E2eSoak in a build's e2e_tests):
#  1. kills: the game playing a level, buying in the build menu and closing (shutdown save) is killed (SIGKILL) at a
#     random moment, then started again: the start, Start and the continue into the level must be clean (no file set
#     aside, no diagnostic line the game should not write, no ".bad" file);
#  2. a read-only data folder and a full disk (a small tmpfs, in a user namespace when not root): the game starts,
#     plays and closes, says so in a diagnostic line, and every file is byte for byte what it was;
#  3. each data file damaged in turn (cut in half, a byte flipped, replaced by a folder): the game starts and
#     continues, and a file it could not read is set aside;
#  4. no audio device: the game runs silently.
#   tools/fault_check.sh [-b build] [-k kills] [-p parallel loops] [-t max seconds before a kill]
# The full form is the default (200 kills over 4 loops); CI runs "-k 8 -p 4".
set -uo pipefail
cd "$(dirname "$0")/.."
build=build kills=200 loops=4 maxwait=8
while getopts "b:k:p:t:" o; do
  case $o in b) build=$OPTARG ;; k) kills=$OPTARG ;; p) loops=$OPTARG ;; t) maxwait=$OPTARG ;; *) sed -n 2,13p "$0"; exit 2 ;; esac
done
bin=$(realpath "$build/bin/e2e_tests") || { echo "no $build/bin/e2e_tests"; exit 2; }
work=$(realpath -m "$build/fault-check")
rm -rf "$work" && mkdir -p "$work"
export ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# Plays on (PlaysOn) or checks a start (StartsAndContinues) in data folder $2; output to $3.
game() { BQ_E2E_DATA=$2 BQ_E2E_APP=$work/app timeout 600 "$bin" --gtest_filter="E2eSoak.$1" >"$3" 2>&1; }
mkdir -p "$work/app"

# Every data file's name and checksum.
sums() { (cd "$1/Brisquel2" 2>/dev/null && find . -type f | sort | xargs -r sha1sum); }

# ---- 1. kills
kill_loop() {
  local loop=$1 n=$2 data="$work/kill-$1" i rc
  mkdir -p "$data"
  game PlaysOn "$data" "$data/first.log" || { echo "loop $loop: the first level failed"; tail -20 "$data/first.log"; return 1; }
  for ((i = 1; i <= n; i++)); do
    BQ_E2E_DATA=$data BQ_E2E_APP=$work/app "$bin" --gtest_filter=E2eSoak.PlaysOn >"$data/run.log" 2>&1 &
    local pid=$!
    sleep "$(awk -v s="$RANDOM" -v m="$maxwait" 'BEGIN { srand(s); printf "%.2f", 0.05 + rand() * m }')"
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    if ! game StartsAndContinues "$data" "$data/check-$i.log" || ls "$data/Brisquel2" | grep -q '\.bad$'; then
      echo "loop $loop kill $i: the next start was not clean"; grep -vE '^\[|^$|^Note' "$data/check-$i.log" | head -20
      ls -la "$data/Brisquel2"; return 1
    fi
    rm -f "$data/check-$i.log"
  done
  echo "loop $loop: $n kills, every next start clean"
}
echo "==== kills: $kills over $loops loops"
per=$(( (kills + loops - 1) / loops ))
for ((l = 1; l <= loops; l++)); do kill_loop "$l" "$per" >"$work/kill-$l.out" 2>&1 & done
wait
for ((l = 1; l <= loops; l++)); do cat "$work/kill-$l.out"; grep -q "every next start clean" "$work/kill-$l.out" || fail "kill loop $l"; done

# A data folder with a match in progress, for the other checks.
base="$work/base"; mkdir -p "$base"
game PlaysOn "$base" "$work/base.log" || { fail "a level in a fresh folder"; tail -20 "$work/base.log"; }

# ---- 2. read-only folder and full disk, on a tmpfs of their own (a user namespace when not root)
limited() { # $1: tmpfs size; $2: 1 read-only, 0 filled up; $3: log
  local mnt="$work/mnt"; mkdir -p "$mnt"
  local size=$1 ro=$2 log=$3
  local inner="mount -t tmpfs -o size=$size tmpfs '$mnt' && cp -a '$base/.' '$mnt/' && \
    if [ $ro = 1 ]; then mount -o remount,ro '$mnt'; else dd if=/dev/zero of='$mnt/filler' bs=4k 2>/dev/null; rm -f '$mnt/Brisquel2'/*.new; fi; \
    (cd '$mnt/Brisquel2' && find . -type f | sort | xargs -r sha1sum) >'$log.before'; \
    BQ_E2E_DATA='$mnt' BQ_E2E_APP='$work/app' BQ_E2E_DAMAGED=1 timeout 600 '$bin' --gtest_filter='E2eSoak.*' >'$log' 2>&1; echo \$? >'$log.rc'; \
    (cd '$mnt/Brisquel2' && find . -type f | sort | xargs -r sha1sum) >'$log.after'"
  if [ "$(id -u)" = 0 ]; then unshare -m sh -c "$inner"; else unshare -rm sh -c "$inner"; fi
}
for kind in readonly full; do
  echo "==== $kind data folder"
  log="$work/$kind.log"
  if [ $kind = readonly ]; then limited 8m 1 "$log"; else limited $(( $(du -sk "$base" | cut -f1) + 64 ))k 0 "$log"; fi
  [ -f "$log.rc" ] || { echo "no tmpfs could be mounted here: skipped"; continue; }
  if [ "$(cat "$log.rc")" != 0 ]; then fail "$kind: the game failed"; grep -E 'Failure|ERROR|runtime error' -A5 "$log" | head -20; fi
  grep -vE '^\[|^$|^Note|^Running|^Google' "$log" | grep -iE "cant|can't|write|save|full|read-only|space" | sort -u | head -5 | sed 's/^/  says: /'
  grep -qiE "cant|can't|write|save" "$log" || fail "$kind: no diagnostic line says what failed"
  if [ $kind = readonly ]; then
    diff -q "$log.before" "$log.after" >/dev/null || fail "readonly: files changed"
  else
    # Every file that was there is either untouched or a complete new version the game reads (the check run above).
    join -v1 "$log.before" "$log.after" | grep -q . && { echo "  files rewritten:"; diff "$log.before" "$log.after" | sed 's/^/    /'; }
    awk '{print $2}' "$log.before" | while read -r f; do grep -q " $f\$" "$log.after" || echo "lost $f"; done | grep . && fail "full: a file was lost"
  fi
done

# ---- 3. each data file damaged in turn
echo "==== damaged files"
for f in $(cd "$base/Brisquel2" && find . -maxdepth 1 -type f ! -name '*.bad' | sort); do
  for how in cut flip folder; do
    d="$work/damage"; rm -rf "$d"; cp -a "$base" "$d"; p="$d/Brisquel2/$f"
    case $how in
      cut) truncate -s $(( $(stat -c %s "$p") / 2 )) "$p" ;;
      flip) sz=$(stat -c %s "$p"); printf '\xa5' | dd of="$p" bs=1 seek=$(( sz / 2 )) conv=notrunc 2>/dev/null ;;
      folder) rm -f "$p"; mkdir -p "$p/inside" ;;
    esac
    BQ_E2E_DAMAGED=1 game StartsAndContinues "$d" "$work/damage.log"; rc=$?
    aside=$(cd "$d/Brisquel2" && ls -d ./*.bad* 2>/dev/null | tr '\n' ' ')
    said=$(grep -vE '^\[|^$|^Note|^Running|^Google|^harness' "$work/damage.log" | head -2 | tr '\n' '|')
    printf '  %-22s %-6s exit %s; set aside: %s; said: %s\n' "$f" "$how" "$rc" "${aside:-none}" "${said:-nothing}"
    [ "$rc" = 0 ] || { fail "$f $how: the game did not start and continue"; grep -E 'Failure|ERROR|runtime error' -A5 "$work/damage.log" | head; }
  done
done

# ---- 4. no audio device
echo "==== no audio device"
d="$work/noaudio"; rm -rf "$d"; cp -a "$base" "$d"
SDL_AUDIODRIVER=none-such BQ_E2E_DAMAGED=1 game StartsAndContinues "$d" "$work/noaudio.log" || fail "no audio: the game failed"
grep -iE "audio|sound" "$work/noaudio.log" | head -3 | sed 's/^/  says: /'

[ $failed = 0 ] && echo "fault check passed" || echo "fault check FAILED"
exit $failed
