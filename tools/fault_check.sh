#!/usr/bin/env bash
# Faults the game must survive, played by the end-to-end player of tests/e2e (a build's e2e_tests):
#  1. kills (SIGKILL) of the game while it
#       fresh  starts in an empty data folder: the name box, level 1, its end, the build menu (a part bought), the
#              map, the close and its save (E2eSoak.PlaysOn);
#       play   plays on in a played folder: the continue from the board snapshot, the level, its end, the build menu,
#              the map, the close (E2eSoak.PlaysOn);
#       quit   continues into the level and closes: the save on closing, with the board snapshot
#              (E2eSoak.StartsAndContinues);
#       saves  writes every file again and again: configuration, progress, saved match and snapshot, high scores,
#              wallpapers (E2eFaults.SavesOver);
#     each killed at a moment spread over the run, or (strace) just before its N-th rename or unlink (the moment a
#     save takes effect) or its N-th write, N spread over the ones the run makes. After each kill every file that was
#     there is the old version or a complete new one (none lost; a wallpaper is whole or absent), and the next start,
#     Start and the continue into the level are clean: no file set aside, no diagnostic line but the removal of a
#     cut save's temporary file (so each changed file is read back whole);
#  2. a read-only data folder and a full disk (a tmpfs filled up), each in a mount namespace of its own (`unshare -m`,
#     with -r when not root; the read-only one a bind remount): the game starts, continues and closes (the full form
#     plays on there too), says what it could not write, and no file is changed (read-only) or lost (full);
#  3. each data file damaged in turn (cut in half, a byte flipped, replaced by a folder): the game starts and
#     continues, and says what it set aside or repaired;
#  4. no audio device (SDL_AUDIODRIVER names none that exists): the game runs silently;
#  5. every way the game ends, on every screen where it can end that way (E2eFaults.EndsAt): the main menu (window
#     close, "Ende" and the quit box, the exit frame, a kill); each of its dialogs and the name box (window close, the
#     exit frame, a kill); the level (window close, the in-game menu's "Hauptmenü", the exit frame, a kill); the
#     game-flow boxes and the level end (window close, a kill); the build menu, the shop and the level map ("Menü"
#     where there is one, window close, a kill); with the developer keys the level editor, its level edited, and its
#     test run, played a little (window close, a kill); the boxes that need more than a played match (window close, a
#     kill, the exit frame where it comes): the name box given a taken name, with a second player chosen the players'
#     "Löschen" box and its "Ja" (the other player's match must stay whole), a castle completed, its wallpaper set and
#     the box when that fails, the last castle completed (its two boxes), a match past the last level, the shop's
#     gamble and, after the last life, the high-score list or box; the bag, the gold, the second player and the last
#     level are given by the game's own functions (E2eFaults.Prepares, the driver). Each from a match saved mid-level
#     and again from one saved between levels. Afterwards every file
#     is byte for byte as it was, unless the run did something the game keeps (Start, a move, the level won), and
#     then a continue shows exactly what the player left: level, score, gold, mana, lives, gems, castle, spells, what
#     a restart goes back to and the board.
# Every case runs in a data folder of its own, up to -j at once, from one prepared folder.
#   tools/fault_check.sh [-b build] [-k kills] [-j parallel runs] [-s seed]
# The full form is the default (200 kills, every data file damaged, every ending); CI runs the short form "-k 8"
# (each kind of kill and every fault once, one wallpaper damaged for all, each way of ending once; about 25 s on two
# cores). Needs strace for the kills at a rename or write (without it those become kills at a moment) and unshare
# for part 2 (skipped without it). The editor's endings need a build with -DBQ_DEV_KEYS=ON (skipped in others).
set -uo pipefail
cd "$(dirname "$0")/.."
build=build kills=200 jobs=$(nproc) seed=$RANDOM
while getopts "b:k:j:s:" o; do
  case $o in b) build=$OPTARG ;; k) kills=$OPTARG ;; j) jobs=$OPTARG ;; s) seed=$OPTARG ;; *) sed -n 2,43p "$0"; exit 2 ;; esac
done
bin=$(realpath "$build/bin/e2e_tests") || { echo "no $build/bin/e2e_tests"; exit 2; }
work=$(realpath -m "$build/fault-check")
rm -rf "$work" && mkdir -p "$work/app" "$work/results"
export ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 BQ_E2E_APP=$work/app
start=$(date +%s)
commits=rename,renameat,renameat2,unlink,unlinkat
writes=write,pwrite64,writev
havestrace=0
strace -qq -o /dev/null -e trace=$commits true 2>/dev/null && havestrace=1
# Rounds of E2eFaults.SavesOver (every file written once a round, after the start's own saves): three when it is
# measured, more when it is killed (a kill is meant to land among them, and a later round changes no earlier call).
saverounds=3

# The test of a run kind.
testof() {
  case $1 in fresh | play) echo E2eSoak.PlaysOn ;; quit) echo E2eSoak.StartsAndContinues ;; saves) echo E2eFaults.SavesOver ;; esac
}
# Runs test $1 in data folder $2, output to $3; the rest of the arguments go before the executable (strace).
game() {
  local t=$1 d=$2 log=$3
  shift 3
  BQ_E2E_DATA=$d BQ_E2E_SAVE_ROUNDS=$saverounds timeout 900 "$@" "$bin" --gtest_filter="$t" >"$log" 2>&1
}
# Every data file's name and checksum, temporary files of a cut save left out.
sums() { (cd "$1/Brisquel2" 2>/dev/null && find . -type f ! -name '.*.tmp*' | sort | xargs -r sha1sum); }
# Diagnostic lines of a run's output that a clean start does not write.
unexpected() {
  grep -vE '^\[|^$|^Note: |^Running main|^harness: |^removed [0-9]+ unfinished temporary files from ' "$1"
}
# A wallpaper file is whole: "BM", the size its header names, and the size of its width and height.
bmp_whole() {
  local f=$1 size
  size=$(stat -c %s "$f") || return 1
  [ "$size" -ge 54 ] && [ "$(head -c 2 "$f")" = BM ] || return 1
  local named w h
  read -r named < <(od -An -tu4 -j2 -N4 "$f")
  read -r w < <(od -An -tu4 -j18 -N4 "$f")
  read -r h < <(od -An -tu4 -j22 -N4 "$f")
  [ "$named" = "$size" ] && [ "$size" = $((54 + (w * 3 + 3) / 4 * 4 * h)) ]
}
# After a kill: each file that was there ($2: its checksums before) is still there, unless the game removes it in
# its course (the board snapshot, when the match is saved without one; a wallpaper, which SavesOver makes anew), and
# a wallpaper is whole. The other files' new versions are read by the start that follows.
old_or_new() {
  local d=$1/Brisquel2 sum f
  while read -r sum f; do
    f=${f#./}
    [ -e "$d/$f" ] || case $f in match_0.lev | match_0.lev.new | wallpaper_*.bmp) ;; *) echo "lost $f" ;; esac
  done <"$2"
  for f in "$d"/wallpaper_*.bmp; do
    [ -e "$f" ] || continue
    grep -q "^$(sha1sum <"$f" | cut -d' ' -f1)  ./$(basename "$f")\$" "$2" || bmp_whole "$f" || echo "$(basename "$f") cut short"
  done
}
# The start after a kill: start, Start, continue into the level; prints what was not clean.
check_start() { # $1 folder, $2 log
  BQ_E2E_DAMAGED=1 game E2eSoak.StartsAndContinues "$1" "$2" || { echo "the start failed:"; grep -E 'Failure|rror' -A4 "$2" | head -12; return 1; }
  local bad
  bad=$(cd "$1/Brisquel2" && ls -d ./*.bad* 2>/dev/null | tr '\n' ' ')
  [ -z "$bad" ] || { echo "set aside: $bad"; unexpected "$2" | head -5; return 1; }
  unexpected "$2" | grep . | head -5 | sed 's/^/said: /' | grep . && return 1
  return 0
}

# ---- preparation: a fresh folder played once, then every kind of file written (the base of the rest); each run
# measured: its length and (strace) every rename, unlink and write of its main thread, with the time it came
measure() { # $1 test, $2 folder, $3 name; writes $work/$3.points: "seconds syscall nth what" per call, and .seconds
  local t0 t1 log="$work/$3.log" tr="$work/$3.trace"
  t0=$(date +%s.%N)
  if [ $havestrace = 1 ]; then
    game "$1" "$2" "$log" strace -f -qq -ttt -o "$tr" -e trace=$commits,$writes
  else
    game "$1" "$2" "$log" && : >"$tr"
  fi || { echo "$3: the run failed"; tail -20 "$log"; : >"$work/$3.seconds"; return 1; }
  t1=$(date +%s.%N)
  : >"$work/$3.points"
  # strace counts each syscall of each thread on its own (when=N), so the points do too: the main thread's (the
  # first in the trace), numbered per syscall. A write names its file descriptor (1 is the output).
  awk -v t0="$t0" -v c="^(${commits//,/|})[(]" -v w="^(${writes//,/|})[(]" '
    NR == 1 { main = $1 }
    $1 != main { next }
    { split($3, s, "("); call = s[1] }
    $3 ~ c { n = split($0, q, "\""); f = n > 4 ? q[4] : q[2]; sub(/.*[/]/, "", f)
             printf "%.2f %s %d %s\n", $2 - t0, call, ++nth[call], f }
    $3 ~ w { fd = s[2]; sub(/,.*/, "", fd); what = "fd" fd
             if (index($0, "rounds of saves begin")) what = "rounds-begin"
             printf "%.2f %s %d %s\n", $2 - t0, call, ++nth[call], what }' "$tr" >"$work/$3.points"
  # Written last: the sign that the measurement is there.
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.1f\n", b - a }' >"$work/$3.seconds"
}
# ---- the cases, up to $jobs at once; each leaves "ok <line>", "FAIL <line>" or "skip <line>" in results/<id>
spawn() {
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
  "$@" &
}
result() { echo "$2" >"$work/results/$1"; }

# One kill: case id, kind, then "moment <seconds>" or "<syscall> <nth> <what>".
kill_case() {
  local id=$1 kind=$2 how=$3 n=$4 what=${5:-} d="$work/case-$1" rc line
  rm -rf "$d" && mkdir -p "$d"
  [ $kind = fresh ] || cp -a "$base/." "$d/"
  sums "$d" >"$d.before"
  if [ "$how" = moment ]; then
    line=$(printf '%-5s at %5.2f s' $kind "$n")
    BQ_E2E_DATA=$d BQ_E2E_SAVE_ROUNDS=100 "$bin" --gtest_filter="$(testof $kind)" >"$d.run" 2>&1 &
    local pid=$!
    sleep "$n"
    kill -KILL $pid 2>/dev/null
    wait $pid 2>/dev/null
    rc=$?
  else
    line=$(printf '%-5s before %s #%s (%s)' $kind "$how" "$n" "$what")
    saverounds=100 game "$(testof $kind)" "$d" "$d.run" strace -f -qq -o /dev/null -e trace="$how" \
      -e inject="$how":signal=SIGKILL:when="$n" 2>/dev/null
    rc=$?
  fi
  if [ $rc != 137 ]; then # ended before the kill (the run was quicker this time, or made fewer calls)
    result "$id" "skip $line: ran to its end (exit $rc)"
    rm -rf "$d" "$d".*
    return
  fi
  local lost
  lost=$(old_or_new "$d" "$d.before")
  [ -z "$lost" ] || { result "$id" "FAIL $line: $lost"; return; }
  local said
  said=$(check_start "$d" "$d.check")
  [ -z "$said" ] || { result "$id" "FAIL $line: next start: $(echo "$said" | tr '\n' ' ')"; return; }
  result "$id" "ok   $line"
  rm -rf "$d" "$d".*
}

# Kills per kind: the full form (20 kills or more) gives the played folder, whose runs take longest, three in ten;
# a short form one kill of it.
plan_kills() {
  local quit=$((kills / 5)) saves=$((kills / 4)) play=1
  [ $quit -ge 1 ] || quit=1
  [ $saves -ge 1 ] || saves=1
  [ "$kills" -ge 20 ] && play=$((kills * 3 / 10))
  local fresh=$((kills - quit - saves - play))
  [ $fresh -ge 1 ] || fresh=1
  echo "fresh $fresh play $play quit $quit saves $saves"
}
# The i-th of n picks, spread: a random one from the i-th of n equal stretches of 1..count.
spread() { # i n count
  awk -v i="$1" -v n="$2" -v c="$3" -v s="$seed$1$2$3" 'BEGIN { srand(s); v = int((i + rand()) / n * c) + 1; print (v > c ? c : v) }'
}
# The cases of one kind: $1 kind, $2 count. The ways of killing are taken in turn (a moment, a rename or unlink, a
# write to a file), each spread over the run's span or over its calls.
kill_cases() {
  local kind=$1 n=$2 i hows=(moment commit write)
  [ $kind = quit ] && hows=(commit moment write) # a short run: its saves first
  [ $kind = saves ] && hows=(commit write moment)
  [ $havestrace = 1 ] || hows=(moment)
  local pts="$work/$kind.points" span
  read -r -a span <"$work/$kind.span"
  grep -vE ' (write|pwrite64|writev) ' "$pts" >"$work/$kind.commit-points"
  grep -E ' (write|pwrite64|writev) [0-9]+ fd([3-9]|[1-9][0-9])' "$pts" >"$work/$kind.write-points"
  local -A of=() at=()
  for ((i = 0; i < n; i++)); do of[${hows[i % ${#hows[@]}]}]=$((${of[${hows[i % ${#hows[@]}]}]:-0} + 1)); done
  for ((i = 0; i < n; i++)); do
    local how=${hows[i % ${#hows[@]}]} j=${at[${hows[i % ${#hows[@]}]}]:-0}
    at[$how]=$((j + 1))
    if [ $how = moment ]; then
      local hundredths=$(awk -v a="${span[0]}" -v b="${span[1]}" 'BEGIN { printf "%d", (b - a) * 100 }')
      local t=$(awk -v a="${span[0]}" -v k="$(spread $j "${of[$how]}" "$hundredths")" 'BEGIN { printf "%.2f", a + k / 100 }')
      spawn kill_case "$kind-$i" $kind moment "$t"
    else
      local count p
      count=$(wc -l <"$work/$kind.$how-points")
      [ "$count" -gt 0 ] || { result "$kind-$i" "skip $kind: no $how calls seen"; continue; }
      p=$(sed -n "$(spread $j "${of[$how]}" "$count")p" "$work/$kind.$how-points")
      read -r _ call nth what <<<"$p"
      spawn kill_case "$kind-$i" $kind "$call" "$nth" "$what"
    fi
  done
}

# ---- 2. read-only folder and full disk, on a tmpfs of their own
limited() { # $1 kind (readonly, full)
  local kind=$1 mnt="$work/mnt-$1" log="$work/$1.log" size=$(($(du -sk "$base" | cut -f1) + 4096))k ro=1
  if [ $kind = full ]; then size=$(($(du -sk "$base" | cut -f1) + 64))k ro=0; fi
  # The full form plays on there too; the short form starts, continues and closes (the save on closing).
  local tests=E2eSoak.StartsAndContinues
  [ "$kills" -ge 20 ] && tests='E2eSoak.*'
  mkdir -p "$mnt"
  local inner="mount -t tmpfs -o size=$size tmpfs '$mnt' && cp -a '$base/.' '$mnt/' && \
    if [ $ro = 1 ]; then mount -o remount,bind,ro '$mnt'; else dd if=/dev/zero of='$mnt/filler' bs=4k 2>/dev/null; fi; \
    (cd '$mnt/Brisquel2' && find . -type f | sort | xargs -r sha1sum) >'$log.before'; \
    BQ_E2E_DATA='$mnt' BQ_E2E_DAMAGED=1 timeout 900 '$bin' --gtest_filter='$tests' >'$log' 2>&1; echo \$? >'$log.rc'; \
    (cd '$mnt/Brisquel2' && find . -type f ! -name '.*.tmp*' | sort | xargs -r sha1sum) >'$log.after'; \
    for f in '$mnt'/Brisquel2/wallpaper_*.bmp; do echo \"\$f\"; done >'$log.bmps'"
  if [ "$(id -u)" = 0 ]; then unshare -m sh -c "$inner"; else unshare -rm sh -c "$inner"; fi 2>"$log.unshare"
  [ -f "$log.rc" ] || { result "$kind" "skip $kind: no tmpfs could be mounted here ($(head -1 "$log.unshare"))"; return; }
  [ "$(cat "$log.rc")" = 0 ] || { result "$kind" "FAIL $kind: the game failed: $(grep -E 'Failure' -A3 "$log" | head -4 | tr '\n' ' ')"; return; }
  local says
  says=$(unexpected "$log" | grep -iE "cant|can't|write|full|read-only|space" | sort -u | head -3 | tr '\n' '|')
  [ -n "$says" ] || { result "$kind" "FAIL $kind: no diagnostic line says what failed"; return; }
  if [ $kind = readonly ]; then
    diff -q "$log.before" "$log.after" >/dev/null || { result "$kind" "FAIL $kind: files changed"; return; }
  else
    # Each file that was there is still there (old, or new and read back by the second run of the same game).
    local lost
    lost=$(awk '{print $2}' "$log.before" | while read -r f; do grep -q " $f\$" "$log.after" || echo "lost $f"; done)
    [ -z "$lost" ] || { result "$kind" "FAIL $kind: $lost"; return; }
  fi
  result "$kind" "ok   $kind: says $says"
}

# ---- 3. one data file damaged (cut in half, a byte flipped, replaced by a folder)
damage_case() { # $1 file, $2 how
  local f=$1 how=$2 d="$work/damage-$1-$2"
  rm -rf "$d" && cp -a "$base" "$d"
  local p="$d/Brisquel2/$f"
  case $how in
    cut) truncate -s $(($(stat -c %s "$p") / 2)) "$p" ;;
    flip) printf '\xa5' | dd of="$p" bs=1 seek=$(($(stat -c %s "$p") / 2)) conv=notrunc 2>/dev/null ;;
    folder) rm -f "$p" && mkdir -p "$p/inside" ;;
  esac
  BQ_E2E_DAMAGED=1 game E2eSoak.StartsAndContinues "$d" "$d.log"
  local rc=$? aside said
  aside=$(cd "$d/Brisquel2" && ls -d ./*.bad* 2>/dev/null | tr '\n' ' ')
  said=$(unexpected "$d.log" | head -2 | tr '\n' '|')
  local line
  line=$(printf '%-18s %-6s set aside: %s; said: %s' "$f" "$how" "${aside:-none}" "${said:-nothing}")
  if [ $rc != 0 ]; then result "damage-$f-$how" "FAIL $line: the game did not start and continue"; return; fi
  result "damage-$f-$how" "ok   $line"
  rm -rf "$d" "$d".*
}

# ---- 4. no audio device
noaudio_case() {
  local d="$work/noaudio"
  rm -rf "$d" && cp -a "$base" "$d"
  SDL_AUDIODRIVER=none-such BQ_E2E_DAMAGED=1 game E2eSoak.StartsAndContinues "$d" "$d.log" ||
    { result noaudio "FAIL no audio: the game failed"; return; }
  result noaudio "ok   no audio: says $(grep -iE "audio|sound" "$d.log" | head -2 | tr '\n' '|')"
}

# ---- 5. every way the game ends, on every screen where it can end so, from a match saved mid-level and from one
# saved between levels (E2eFaults.EndsAt; the places are the driver's, DriverGoal::endAt): "place way...", the ways
# close (the window), ende ("Ende" and the quit box's "Ja"), exit (the harness's exit frame), kill (SIGKILL), menu
# (the in-game menu's "Hauptmenü", the build menu's or the level map's "Menü"). editor and testrun need a build with
# the developer keys (-DBQ_DEV_KEYS=ON) and are skipped in others.
ends=(
  "menu close ende exit kill"
  "quitbox close exit kill" "options close exit kill" "highscores close exit kill" "hsreset close exit kill"
  "credits close exit kill" "help close exit kill" "players close exit kill" "lastplayer close exit kill"
  "name close exit kill" "wallpapers close exit kill"
  "game close menu exit kill"
  "continue close kill" "levelbox close kill" "offer close kill" "lost close kill" "gameover close kill"
  "levelend close kill" "won close kill"
  "build menu close kill" "shop close kill" "map menu close kill"
  "editor close kill" "testrun close kill"
  "nameexists close exit kill" "deleteplayer close exit kill" "playerdeleted close exit kill"
  "castledone close kill" "setwallpaper close kill" "wallpaperfailed close kill" "castlesdone close kill"
  "alldone close kill" "levelsended close kill" "gamble close kill" "hsgame close kill"
)
# Places whose folder is made ready first (E2eFaults.Prepares): a second player, chosen; a match at the last level.
prep_of() {
  case $1 in deleteplayer | playerdeleted) echo player2 ;; levelsended) echo level150 ;; esac
}
# The short form: each way of ending once ("base place way"), the first the plainest of all.
ends_short=("mid menu close" "between menu ende" "mid name exit" "between game menu" "mid game kill" "between map close")
# Places reached without an action the game keeps (the main menu, its dialogs, the name box): no file may change.
keeps_nothing=" menu quitbox options highscores hsreset credits help players lastplayer name wallpapers nameexists deleteplayer "

# The fields of the "left: " line $1 that the line $2 does not repeat, as "field left -> found".
state_diff() {
  awk -v a="$1" -v b="$2" 'BEGIN {
    n = split(b, f, " "); for (i = 1; i <= n; i++) { split(f[i], kv, "="); found[kv[1]] = kv[2] }
    n = split(a, f, " "); for (i = 1; i <= n; i++) { split(f[i], kv, "=")
      if (!(kv[1] in found)) printf "%s %s -> none; ", kv[1], kv[2]
      else if (found[kv[1]] != kv[2]) printf "%s %s -> %s; ", kv[1], kv[2], found[kv[1]] } }'
}
# One ending: $1 base (mid, between), $2 place, $3 way. Every file stays byte for byte, or (the run did something the
# game keeps) the next start continues into the level with the player's state as the run left it.
end_case() {
  local b=$1 at=$2 how=$3 id="end-$1-$2-$3" d="$work/end-$1-$2-$3" rc line
  line=$(printf 'ends %-7s %-10s %-5s' "$b" "$at" "$how")
  local p
  p=$(prep_of "$at")
  rm -rf "$d" && cp -a "$work/base-$b${p:+-$p}" "$d"
  sums "$d" >"$d.before"
  BQ_E2E_AT=$at BQ_E2E_END=$how game E2eFaults.EndsAt "$d" "$d.run"
  rc=$?
  if grep -q '^\[  SKIPPED \]' "$d.run"; then
    result "$id" "skip $line: $(grep -m1 -A1 ': Skipped$' "$d.run" | tail -1)"
    rm -rf "$d" "$d".*
    return
  fi
  local want=0
  [ "$how" = kill ] && want=137
  [ "$rc" = $want ] || { result "$id" "FAIL $line: exit $rc: $(grep -E 'Failure|rror|diagnostic' -A2 "$d.run" | head -6 | tr '\n' ' ')"; return; }
  local left
  left=$(grep -m1 '^left: ' "$d.run" | cut -c7-)
  [ -n "$left" ] || { result "$id" "FAIL $line: the place was never reached"; return; }
  local bad
  bad=$(cd "$d/Brisquel2" && ls -d ./*.bad* 2>/dev/null | tr '\n' ' ')
  [ -z "$bad" ] || { result "$id" "FAIL $line: set aside: $bad"; return; }
  sums "$d" >"$d.after"
  if cmp -s "$d.before" "$d.after"; then
    result "$id" "ok   $line: every file as it was"
    rm -rf "$d" "$d".*
    return
  fi
  local changed
  changed=$(diff "$d.before" "$d.after" | awk '/^[<>]/ { print $3 }' | sort -u | sed 's|^\./||' | tr '\n' ' ')
  case $keeps_nothing in *" $at "*) result "$id" "FAIL $line: nothing kept was done, yet changed: $changed"; return ;; esac
  # The continue: Start, "Weiterspielen", the level loaded; what shows at its box is what the player left (beyond
  # the last level: its box again). A player deleted leaves the other player's match as it was: what a continue
  # showed before that player was added.
  local checkat=levelbox
  [ "$at" = levelsended ] && checkat=levelsended
  if [ "$at" = playerdeleted ]; then
    rm -rf "$d.ref" && cp -a "$work/base-$b" "$d.ref" # the folder before the second player was added
    BQ_E2E_AT=$checkat BQ_E2E_END=kill game E2eFaults.EndsAt "$d.ref" "$d.refrun"
    left=$(grep -m1 '^left: ' "$d.refrun" | cut -c7-)
    [ -n "$left" ] || { result "$id" "FAIL $line: no continue before the run to compare with"; return; }
  fi
  BQ_E2E_AT=$checkat BQ_E2E_END=close game E2eFaults.EndsAt "$d" "$d.check" ||
    { result "$id" "FAIL $line: changed $changed; the continue failed: $(grep -E 'Failure' -A2 "$d.check" | head -4 | tr '\n' ' ')"; return; }
  local found lost
  found=$(grep -m1 '^left: ' "$d.check" | cut -c7-)
  lost=$(state_diff "$left" "$found")
  [ -z "$lost" ] || { result "$id" "FAIL $line: changed $changed; the continue shows $lost"; return; }
  result "$id" "ok   $line: changed $changed; the continue shows what was left"
  rm -rf "$d" "$d".*
}
# The prepared folders the endings in $@ ("base place way") need, each made once.
prepare_bases() {
  local entry w p
  for entry in "$@"; do
    read -r -a w <<<"$entry"
    p=$(prep_of "${w[1]}")
    [ -n "$p" ] && [ ! -d "$work/base-${w[0]}-$p" ] || continue
    cp -a "$work/base-${w[0]}" "$work/base-${w[0]}-$p"
    BQ_E2E_PREP=$p game E2eFaults.Prepares "$work/base-${w[0]}-$p" "$work/base-${w[0]}-$p.log" ||
      { echo "preparing $p from the match saved ${w[0]} failed"; tail -20 "$work/base-${w[0]}-$p.log"; exit 1; }
  done
}
end_cases() {
  local entry b w how
  if [ "$kills" -lt 20 ]; then
    prepare_bases "${ends_short[@]}"
    for entry in "${ends_short[@]}"; do spawn end_case $entry; done
    return
  fi
  local all=()
  for b in mid between; do
    for entry in "${ends[@]}"; do
      read -r -a w <<<"$entry"
      all+=("$b ${w[0]} x")
    done
  done
  prepare_bases "${all[@]}"
  for b in mid between; do
    for entry in "${ends[@]}"; do
      read -r -a w <<<"$entry"
      for how in "${w[@]:1}"; do spawn end_case "$b" "${w[0]}" "$how"; done
    done
  done
}

# Waits for the measurement of $1 (spawned), then writes its span: the stretch of its run where it is killed at a
# moment. The saves run's span and calls begin with its rounds (before them it starts and closes, as quit does).
measured() {
  while [ ! -e "$work/$1.seconds" ] && [ -n "$(jobs -rp)" ]; do wait -n; done
  [ -s "$work/$1.seconds" ] || { echo "the $1 run failed:"; tail -20 "$work/$1.log"; return 1; }
  local end
  end=$(awk '{ printf "%.2f", $1 * 0.9 }' "$work/$1.seconds")
  if [ $1 = saves ]; then
    local from
    from=$(awk '$4 == "rounds-begin" { print $1; exit }' "$work/saves.points")
    awk -v m="${from:=0}" '$1 > m' "$work/saves.points" >"$work/saves.rounds" && mv "$work/saves.rounds" "$work/saves.points"
    echo "$from $(awk -v f="$from" 'BEGIN { printf "%.2f", f + 1 }')" >"$work/$1.span" # 100 rounds take a second or more
  else
    echo "0 $end" >"$work/$1.span"
  fi
  # The quit kind's calls: the save on closing (from its board snapshot on); the start's saves are fresh's and play's.
  if [ $1 = quit ] && grep -q ' match_0.lev.new$' "$work/quit.points"; then
    awk '/ match_0.lev.new$/ { on = 1 } on' "$work/quit.points" >"$work/quit.close" && mv "$work/quit.close" "$work/quit.points"
  fi
  echo "  $1: seconds $(cat "$work/$1.span"), $(grep -cvE ' (write|pwrite64|writev) ' "$work/$1.points") renames and unlinks, $(grep -cE ' (write|pwrite64|writev) [0-9]+ fd([3-9]|[1-9][0-9])' "$work/$1.points") file writes"
}

read -r _ fresh _ play _ quit _ saves <<<"$(plan_kills)"
echo "==== kills: $fresh fresh, $play play, $quit quit, $saves saves (seed $seed); faults; $jobs at once"
[ $havestrace = 1 ] || echo "  (no strace: every kill is at a moment)"
base="$work/base"
mkdir -p "$base"
measure E2eSoak.PlaysOn "$base" fresh || exit 1
measured fresh || exit 1
kill_cases fresh "$fresh"
# The fresh run closed at the level map: a match saved between levels, the base of half the endings; continued
# into the next level, played a little and closed there, a match saved mid-level with its board, the other half's.
cp -a "$base" "$work/base-between"
cp -a "$base" "$work/base-mid"
game E2eSoak.StartsAndContinues "$work/base-mid" "$work/base-mid.log" || { echo "saving a match mid-level failed"; tail -20 "$work/base-mid.log"; exit 1; }
# The base of the rest: every kind of file written, a match saved with its board.
game E2eFaults.SavesOver "$base" "$work/base.log" || { echo "writing the base folder failed"; tail -20 "$work/base.log"; exit 1; }
echo "  base folder: $(cd "$base/Brisquel2" && ls | tr '\n' ' ')"
for k in quit saves play; do
  [ ${!k} -gt 0 ] || continue
  rm -rf "$work/measure-$k" && cp -a "$base" "$work/measure-$k"
  spawn measure "$(testof $k)" "$work/measure-$k" $k
done
spawn limited readonly
spawn limited full
spawn noaudio_case
files=$(cd "$base/Brisquel2" && ls)
[ "$kills" -ge 20 ] || files=$(echo "$files" | awk '!/^wallpaper_/ || !w++') # one wallpaper stands for all
for f in $files; do
  for how in cut flip folder; do spawn damage_case "$f" $how; done
done
end_cases
for k in quit saves play; do
  [ ${!k} -gt 0 ] || continue
  measured $k || exit 1
  kill_cases $k "${!k}"
done
wait

echo "==== results"
cd "$work/results" || exit 1
for k in fresh play quit saves; do grep -h . $k-* 2>/dev/null | sort -k2,2 -s; done
grep -h . readonly full noaudio damage-* end-* 2>/dev/null
done_kills=$(cat fresh-* play-* quit-* saves-* 2>/dev/null | grep -cvE '^skip')
failed=$(cat ./* | grep -c '^FAIL')
echo "$done_kills kills, $(cat ./* | grep -c '^skip') skipped, $failed failed, in $(($(date +%s) - start)) s"
[ "$done_kills" -ge "$kills" ] || echo "note: fewer kills than asked (runs that ended before their kill point)"
[ "$failed" = 0 ] && echo "fault check passed" || echo "fault check FAILED"
[ "$failed" = 0 ]
