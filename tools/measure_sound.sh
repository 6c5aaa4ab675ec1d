#!/usr/bin/env bash
# Measures the game's sound as a player hears it: the end-to-end player (tests/e2e, E2eSound) records the main menu
# and level 1 three times (default volumes, effects only, music only), and bq_loudness meters the recordings and
# every generated short sound. Prints the figures docs/audio.md keeps; the files stay in <build>/sound-measure.
# -d also plays the default-volume run once more in real time through SDL's "disk" audio driver (the device path,
# about a minute and a half) and meters what the driver wrote (disk.raw).
#   tools/measure_sound.sh [-b build] [-d]
set -euo pipefail
cd "$(dirname "$0")/.."
build=build disk=0
while getopts "b:d" o; do
  case $o in
    b) build=$OPTARG ;;
    d) disk=1 ;;
    *) sed -n 2,7p "$0"; exit 2 ;;
  esac
done
for bin in e2e_tests bq_loudness; do
  [ -x "$build/bin/$bin" ] || { echo "no $build/bin/$bin: build it first"; exit 2; }
done
out="$build/sound-measure"
rm -rf "$out" && mkdir -p "$out"

record() { # name, "fx music" volumes ("" for the players' defaults)
  mkdir -p "$out/$1"
  if [ -n "$2" ]; then export BQ_E2E_SOUND_VOLUMES="$2"; else unset BQ_E2E_SOUND_VOLUMES; fi
  BQ_E2E_SOUND="$out/$1" "$build/bin/e2e_tests" --gtest_filter='E2eSound.*' >"$out/$1/log.txt" 2>&1 ||
    { echo "recording $1 failed:"; tail -20 "$out/$1/log.txt"; exit 1; }
}
record mix "" & record fx "0.8 0" & record music "0 0.8" & wait
grep -h '^level ' "$out/mix/log.txt"
if [ $disk = 1 ]; then
  SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$out/disk.raw" record device ""
fi

meter() { "$build/bin/bq_loudness" "$@"; }
{
  for r in mix fx music; do
    for f in menu play all; do cp "$out/$r/$f.raw" "$out/$r-$f.raw"; done
  done
  meter "$out"/mix-menu.raw "$out"/mix-play.raw "$out"/mix-all.raw "$out"/fx-play.raw "$out"/music-menu.raw \
    "$out"/music-play.raw
  [ $disk = 0 ] || meter "$out/disk.raw" | tail -n +2
} | tee "$out/recordings.txt"
meter "$build"/assets/sounds/*.wav "$build"/assets/*.wav >"$out/sounds.txt"

# Columns: 3 peak, 4 full-scale samples, 5 integrated loudness, 6 loudest 400 ms (the level of a short sound).
col() { awk -v f="$1" -v c="$2" '$1 == f { print $c }' "$3"; }
rec="$out/recordings.txt"
median=$(awk 'NR > 1 { print $6 }' "$out/sounds.txt" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }')
lose=$(col sfx_levellose.wav 6 "$out/sounds.txt")
echo
echo "full-scale samples in level 1 (default volumes): $(col mix-play.raw 4 "$rec") (peak $(col mix-play.raw 3 "$rec") dBFS)"
awk -v fx="$(col fx-play.raw 5 "$rec")" -v mu="$(col music-play.raw 5 "$rec")" -v menu="$(col mix-menu.raw 5 "$rec")" \
  -v play="$(col mix-play.raw 5 "$rec")" -v lose="$lose" -v med="$median" 'BEGIN {
  printf "effects above the music in play: %+.1f LU (effects %.1f, music %.1f LUFS)\n", fx - mu, fx, mu
  printf "main menu against play: %+.1f LU (menu %.1f, play %.1f LUFS)\n", menu - play, menu, play
  printf "sfx_levellose.wav against the median short sound: %+.1f dB (%.1f against %.1f LUFS)\n", lose - med, lose, med
}'
