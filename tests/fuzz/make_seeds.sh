#!/usr/bin/env bash
# Remakes the fuzz targets' seed files in tests/fuzz/seeds/<target>/ from the game's generated assets (build/assets,
# or the folder given) and a short headless run of the game (build/bin/brisquel2), with Debian packages' tools:
# optipng, libjpeg-turbo-progs (cjpeg/djpeg), vorbis-tools (oggenc) and fonttools (pyftsubset). The seeds are
# committed; this script only documents and repeats how they were made. Font seeds carry one leading byte that
# font_fuzz reads as size and style.
set -euo pipefail
cd "$(dirname "$0")"
assets=${1:-../../build/assets}
game=${2:-../../build/bin/brisquel2}
out=seeds
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
rm -rf "$out" && mkdir -p "$out"/{png,jpeg,ogg,wav,level,script,font,config,progress,match,castle,highscore}_fuzz

# PNG: small generated pictures (RGBA), re-encoded by optipng (palette, grey and interlaced layouts where it can).
n=0
for f in PNO_Graphics/Default_Skin/Progress_Bar.png PNO_Graphics/Default_Skin/Combo_Bar_un.png \
         PNO_Graphics/Mouse01_Normal.png; do
  n=$((n + 1))
  cp "$assets/$f" "$out/png_fuzz/asset$n.png"
  optipng -quiet -o2 -out "$out/png_fuzz/optipng$n.png" "$assets/$f"
  optipng -quiet -o1 -i1 -out "$out/png_fuzz/interlaced$n.png" "$assets/$f"
done

# JPEG: a generated wallpaper preview scaled down by djpeg, then baseline, progressive and grey encodings.
djpeg -scale 1/8 -outfile "$tmp/small.ppm" "$assets/Images/Wallpapers/wall_preview0.jpg"
cjpeg -quality 60 -outfile "$out/jpeg_fuzz/baseline.jpg" "$tmp/small.ppm"
cjpeg -quality 60 -progressive -outfile "$out/jpeg_fuzz/progressive.jpg" "$tmp/small.ppm"
cjpeg -quality 60 -grayscale -outfile "$out/jpeg_fuzz/grey.jpg" "$tmp/small.ppm"
cjpeg -quality 90 -sample 1x1 -restart 1 -outfile "$out/jpeg_fuzz/restart.jpg" "$tmp/small.ppm"

# WAV: the smallest generated sounds.
cp "$assets/sounds/btn_hover.wav" "$assets/sounds/sfx_swap.wav" "$out/wav_fuzz/"

# Ogg: two short generated sounds encoded by oggenc (one also at 8 kHz), and chained (same rate, new rate).
oggenc -Q -q 0 -o "$out/ogg_fuzz/hover.ogg" "$assets/sounds/btn_hover.wav"
oggenc -Q -q 4 -o "$out/ogg_fuzz/swap.ogg" "$assets/sounds/sfx_swap.wav"
oggenc -Q -q 0 --resample 8000 -o "$tmp/low.ogg" "$assets/sounds/btn_hover.wav"
cat "$out/ogg_fuzz/hover.ogg" "$out/ogg_fuzz/hover.ogg" >"$out/ogg_fuzz/chained_same_rate.ogg"
cat "$out/ogg_fuzz/hover.ogg" "$tmp/low.ogg" >"$out/ogg_fuzz/chained_rate_change.ogg"

# Levels: three generated levels of different sizes.
cp "$assets/levels/BQ2_level_001.lev" "$assets/levels/BQ2_level_050.lev" "$assets/levels/BQ2_level_083.lev" \
  "$out/level_fuzz/"

# Input scripts: every verb, relative frames, comments, CR LF.
printf '# every verb\n1 mouse 400 300\n+1 down 1\n+1 up 1\n5 click 2 10 20\n6 key 65 down\n7 key 65 up\n8 key 13 press\n9 text M\xc3\xbcller ok\n10 wheel -1\n20 quit\n' \
  >"$out/script_fuzz/all_verbs.txt"
printf '3 key 16 down\r\n+1 key 66 press\r\n+2 key 16 up\r\nbad line\r\n' >"$out/script_fuzz/shift_crlf.txt"

# Fonts: two faces the game embeds, cut down by pyftsubset to a few letters (TrueType outlines, and CFF outlines
# with the name table left out), each behind a size byte (13 px smooth; 40 px bold).
pyftsubset /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf --text='Ab?09 äß€' --output-file="$tmp/dejavu.ttf"
pyftsubset /usr/share/fonts/opentype/quattrocento/Quattrocento-Regular.otf --text='Ab?09 äß' --name-IDs=0 \
  --output-file="$tmp/cff.otf"
{ printf '\x07'; cat "$tmp/dejavu.ttf"; } >"$out/font_fuzz/truetype_13px"
{ printf '\x62'; cat "$tmp/cff.otf"; } >"$out/font_fuzz/cff_40px_bold"

# The configuration and progress files as the game writes them on a first start, and edited copies.
mkdir -p "$tmp/data"
env SDL_VIDEODRIVER=offscreen SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0 SDL_AUDIODRIVER=dummy \
  BQ_FRAME_MS=16 BQ_SEED=1 BQ_EXIT_AFTER=2 XDG_DATA_HOME="$tmp/data" "$game" >/dev/null 2>&1
cp "$tmp/data/Brisquel2/mm_config.txt" "$out/config_fuzz/first_start.txt"
sed 's/^PLAYER0=\r$/PLAYER0=J\xfcrgen\r/; s/^PLAYER_CRT=0/PLAYER_CRT=3/' "$tmp/data/Brisquel2/mm_config.txt" \
  >"$out/config_fuzz/named.txt"
printf '\xef\xbb\xbfPLAYER0=\xe2\x98\x83\nFX_VOL=1.5\nUNKNOWN=1\nLEVELS_COUNT=-3\n' >"$out/config_fuzz/utf8_lf.txt"
printf '\xff\xfeP\0L\0A\0Y\0E\0R\0001\0=\0\xa9\x03\r\0' >"$out/config_fuzz/utf16.txt"
cp "$tmp/data/Brisquel2/mm_config.bin" "$out/progress_fuzz/first_start.bin"
# Player 0 in use with castle 1 done, ease 3 at level 2, last level 7, a tip and a tutorial step shown.
cp "$out/progress_fuzz/first_start.bin" "$out/progress_fuzz/played.bin"
for at_value in 0:1 288:3 6360:7 6800:1 8960:1 9040:1; do
  printf "\\x$(printf %02x "${at_value#*:}")" |
    dd of="$out/progress_fuzz/played.bin" bs=1 seek="${at_value%%:*}" conv=notrunc status=none
done
head -c 10876 "$out/progress_fuzz/played.bin" >"$out/progress_fuzz/short.bin"

# The saved match as the game writes it when the window closes in level 1 (a name typed, Start, some frames of play):
# whole (first byte 0: taken as it is), and as the record's body behind first byte 3 (match_fuzz puts the header in
# front and the checksum behind, so mutations reach the range checks), and as version 2 with the checksum added.
mkdir -p "$tmp/play"
printf '40 text Anna\n45 key 13 press\n90 click 1 671 173\n' >"$tmp/script.txt"
env SDL_VIDEODRIVER=offscreen SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0 SDL_AUDIODRIVER=dummy \
  BQ_FRAME_MS=16 BQ_SEED=1 BQ_EXIT_AFTER=400 BQ_INPUT_SCRIPT="$tmp/script.txt" XDG_DATA_HOME="$tmp/play" "$game" \
  >/dev/null 2>&1
match="$tmp/play/Brisquel2/match_0.bqm"
size=$(stat -c %s "$match")
{ printf '\x00'; cat "$match"; } >"$out/match_fuzz/mid_level"
{ printf '\x03'; head -c $((size - 4)) "$match" | tail -c +13; } >"$out/match_fuzz/mid_level_body"
{ printf '\x01'; head -c 4 "$match"; printf '\x02\x00\x00\x00'; head -c $((size - 4)) "$match" | tail -c +9; } \
  >"$out/match_fuzz/version2"
# The castle: a price file of the game, and the castle's block of that saved match (its count at byte 208).
cp "$assets/Images/Castles/Castle1.txt" "$out/castle_fuzz/castle1.txt"
count=$(od -An -tu4 -j208 -N4 "$match" | tr -d ' ')
tail -c +213 "$match" | head -c $((count * 4)) >"$out/castle_fuzz/saved_block"
# High scores: the fresh table of that run, and one with a game-over entry in place 0 (player 0, score 4321,
# levels 1 to 3, 65 s).
cp "$tmp/play/Brisquel2/highscores.dat" "$out/highscore_fuzz/fresh.dat"
cp "$out/highscore_fuzz/fresh.dat" "$out/highscore_fuzz/entry.dat"
for at_value in 0:0 1:0 2:0 3:0 4:225 5:16 8:1 12:3 16:65 160:65 161:110 162:110 163:97; do
  printf "\\x$(printf %02x "${at_value#*:}")" |
    dd of="$out/highscore_fuzz/entry.dat" bs=1 seek="${at_value%%:*}" conv=notrunc status=none
done
echo "seeds written to $(pwd)/$out"
