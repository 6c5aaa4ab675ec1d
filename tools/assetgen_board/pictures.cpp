// Pictures of the board: the two gem tile sets and tiles.txt, the board tiles, tar, the special pieces, coins,
// bottles, chains, crates, overlays and the three hammer icons (24-bit RGB for the particle emitter).
// Called by main.cpp; drawn with the shared art helpers so the board matches the rest of the game.
#include "pictures.h"

#include <cmath>
#include <cstdio>
#include <functional>

#include "assetlib/art.h"

namespace {

using art::Canvas;
using art::Rgb;
namespace pal = art::pal;

constexpr int kCell = 48; // the art is drawn for 48-pixel cells
constexpr double kPi = 3.14159265358979323846;

// One picture: archive path, size, painter, and whether it is written as RGB without alpha.
struct Picture {
    std::string path;
    int w, h;
    std::function<void(cairo_t*, int, int)> paint;
    bool rgb = false;
};

// [SECTION] Tile sets ------------------------------------------------------------------------------------------------

void PaintJewel(cairo_t* cr, int i) { art::DrawGem(cr, art::Gem(i), kCell / 2.0, kCell / 2.0, 45); }

// The second set: each gem set into a round slate medallion with a thin gold rim.
void PaintRune(cairo_t* cr, int i) {
    const double c = kCell / 2.0;
    cairo_arc(cr, c, c, 23, 0, 2 * kPi);
    art::FillRadial(cr, c - 6, c - 8, 27, art::Lighter(pal::StoneDark, 0.25), pal::StoneDeep, true);
    art::Stroke(cr, pal::GoldDark, 2.0);
    cairo_arc(cr, c, c, 20.5, 0, 2 * kPi);
    art::Stroke(cr, art::WithAlpha(pal::Gold, 0.6), 1.0);
    art::GemStyle style;
    style.brightness = 0.05;
    art::DrawGem(cr, art::Gem(i), c, c, 36, style);
}

// [SECTION] Board tiles and crates -----------------------------------------------------------------------------------

void PaintTileEmpty(cairo_t* cr, int w, int h) {
    cairo_rectangle(cr, 0, 0, w, h);
    art::FillVertical(cr, 0, h, {art::Darker(pal::HillNear, 0.1), pal::StoneDeep});
    art::PathRoundRect(cr, 2, 2, w - 4, h - 4, 4);
    art::Stroke(cr, art::WithAlpha(pal::StoneDark, 0.9), 1.5);
    art::Grain(cr, 0, 0, w, h, 48, 0.08);
}

void PaintPlate(cairo_t* cr, int w, int h, const Rgb& light, const Rgb& base, const Rgb& dark, uint32_t seed) {
    art::PathRoundRect(cr, 3, 3, w - 6, h - 6, 6);
    art::FillVertical(cr, 3, h - 3, {light, base, dark}, true);
    art::Stroke(cr, art::WithAlpha(pal::Outline, 0.55), 1.5);
    art::PathRoundRect(cr, 7, 7, w - 14, h - 14, 4);
    art::Stroke(cr, art::WithAlpha(art::Lighter(light, 0.4), 0.7), 1.0);
    art::Grain(cr, 3, 3, w - 6, h - 6, seed, 0.06);
    art::Twinkle(cr, 12, 11, 4, pal::White, 0.7);
}

// A crate by strength: 1 plain, 2 with stone bands and rivets, 3 (three hits and more) banded in iron all round.
void PaintCrate(cairo_t* cr, int w, int h, int strength) {
    const bool reinforced = strength >= 2;
    art::PathRoundRect(cr, 2, 2, w - 4, h - 4, 3);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    art::WoodPlanks(cr, 2, 2, w - 4, h - 4, reinforced ? 77 : 76, false, 11);
    cairo_restore(cr);
    art::Stroke(cr, pal::Outline, 2.0);
    // the braces of a crate: a frame and a diagonal
    cairo_rectangle(cr, 6, 6, w - 12, h - 12);
    art::Stroke(cr, pal::WoodDark, 3.0);
    cairo_move_to(cr, 7, h - 7);
    cairo_line_to(cr, w - 7, 7);
    art::Stroke(cr, pal::WoodDark, 3.0);
    if (reinforced) {
        for (const double y : {10.0, double(h) - 10}) {
            cairo_rectangle(cr, 3, y - 2.5, w - 6, 5);
            art::FillVertical(cr, y - 2.5, y + 2.5, {pal::StoneLight, pal::Stone, pal::StoneDark});
        }
        for (const double x : {8.0, double(w) - 8})
            for (const double y : {10.0, double(h) - 10})
                art::Rivet(cr, x, y, 1.8);
    }
    if (strength >= 3) {
        for (const double x : {10.0, double(w) - 10}) {
            cairo_rectangle(cr, x - 2.5, 3, 5, h - 6);
            art::FillVertical(cr, 3, h - 3, {pal::StoneDark, pal::StoneDeep});
        }
        art::PathRoundRect(cr, 2, 2, w - 4, h - 4, 3);
        art::Stroke(cr, pal::StoneDeep, 3.0);
        for (const double x : {10.0, double(w) - 10})
            for (const double y : {double(h) / 2})
                art::Rivet(cr, x, y, 2.0);
    }
}

// [SECTION] Pieces ---------------------------------------------------------------------------------------------------

void PaintTarFrame(cairo_t* cr, int frame) {
    const double c = kCell / 2.0;
    // a lumpy rock: a polygon with fixed bumps
    art::Rng rng(1515);
    cairo_new_path(cr);
    for (int i = 0; i < 11; ++i) {
        const double a = i * 2 * kPi / 11, r = 17 + rng.Range(-2.5, 2.5);
        if (i == 0)
            cairo_move_to(cr, c + r * std::cos(a), c + 2 + r * std::sin(a));
        else
            cairo_line_to(cr, c + r * std::cos(a), c + 2 + r * std::sin(a));
    }
    cairo_close_path(cr);
    art::FillRadial(cr, c - 6, c - 6, 24, art::Hex(0x4a4440), art::Hex(0x15110f), true);
    art::Stroke(cr, pal::Outline, 2.0);
    // a wet glint that wanders over the rock
    const double a = frame * 2 * kPi / 32;
    art::Glow(cr, c - 5 + 4 * std::cos(a), c - 5 + 3 * std::sin(a), 5, art::Hex(0xb8c4d0), 0.6);
}

void PaintMulticolor(cairo_t* cr, int, int) {
    const double c = kCell / 2.0;
    art::Glow(cr, c, c, 23, pal::White, 0.6);
    for (int i = 0; i < 7; ++i) {
        cairo_move_to(cr, c, c);
        cairo_arc(cr, c, c, 17, i * 2 * kPi / 7 - kPi / 2, (i + 1) * 2 * kPi / 7 - kPi / 2);
        cairo_close_path(cr);
        art::SetColour(cr, art::GemColour(art::Gem(i)));
        cairo_fill(cr);
    }
    cairo_arc(cr, c, c, 17, 0, 2 * kPi);
    art::FillRadial(cr, c - 6, c - 7, 18, art::WithAlpha(pal::White, 0.65), art::WithAlpha(pal::White, 0.0), true);
    art::Stroke(cr, pal::Outline, 2.0);
    art::Twinkle(cr, c - 6, c - 7, 6, pal::White);
}

void PaintLauncher(cairo_t* cr, int, int) {
    const double c = kCell / 2.0;
    art::Glow(cr, c, c, 22, pal::MagicBlue, 0.7);
    cairo_arc(cr, c, c, 16, 0, 2 * kPi);
    art::FillRadial(cr, c - 5, c - 6, 20, pal::White, art::Hex(0x9ccbe8), true);
    art::Stroke(cr, art::Hex(0x2a4a6a), 2.0);
    // the helix: a spiral swept around the ball
    cairo_new_path(cr);
    for (int i = 0; i <= 60; ++i) {
        const double t = i / 60.0, a = t * 3.2 * kPi, r = 2 + t * 13;
        if (i == 0)
            cairo_move_to(cr, c + r * std::cos(a), c + r * std::sin(a));
        else
            cairo_line_to(cr, c + r * std::cos(a), c + r * std::sin(a));
    }
    art::Stroke(cr, pal::Sapphire, 2.5);
}

void PaintRocket(cairo_t* cr, int w, int h) {
    const double cy = h / 2.0;
    for (int i = 0; i < 5; ++i)
        art::Glow(cr, 8 + i * 5, cy, 6 + i, pal::MagicBlue, 0.25);
    cairo_move_to(cr, w - 4, cy);
    cairo_line_to(cr, w - 18, cy - 9);
    cairo_line_to(cr, 14, cy - 5);
    cairo_line_to(cr, 14, cy + 5);
    cairo_line_to(cr, w - 18, cy + 9);
    cairo_close_path(cr);
    art::FillVertical(cr, cy - 9, cy + 9, {pal::White, art::Hex(0x9ccbe8), art::Hex(0x3f6f9a)}, true);
    art::Stroke(cr, art::Hex(0x1c3550), 1.5);
}

void PaintAmulet(cairo_t* cr, int, int) {
    const double c = kCell / 2.0;
    cairo_arc(cr, c, 8, 7, kPi, 2 * kPi); // the loop of its chain
    art::Stroke(cr, pal::GoldDark, 2.5);
    art::PathStar(cr, c, c + 4, 19, 14, 8, -90);
    art::FillRadial(cr, c - 5, c - 2, 22, pal::GoldLight, pal::GoldDark, true);
    art::Stroke(cr, pal::Outline, 2.0);
    cairo_arc(cr, c, c + 4, 11, 0, 2 * kPi);
    art::FillRadial(cr, c - 3, c + 1, 12, pal::Gold, pal::Bronze, true);
    art::Stroke(cr, pal::Bronze, 1.0);
    art::DrawGem(cr, art::Gem::Red, c, c + 4, 15);
}

void PaintStone(cairo_t* cr, const Rgb& colour, int sides, double rot) {
    const double c = kCell / 2.0;
    art::PathPolygon(cr, c, c, 18, sides, rot);
    art::FillRadial(cr, c - 6, c - 6, 24, art::Lighter(colour, 0.45), art::Darker(colour, 0.45), true);
    art::Stroke(cr, pal::Outline, 2.0);
    art::Twinkle(cr, c - 6, c - 6, 5, pal::White, 0.8);
}

void PaintBlob(cairo_t* cr, const Rgb& colour) {
    const double c = kCell / 2.0;
    for (int i = 0; i < 5; ++i) {
        const double a = i * 2 * kPi / 5;
        cairo_arc(cr, c + 8 * std::cos(a), c + 8 * std::sin(a), 9, 0, 2 * kPi);
        cairo_new_sub_path(cr);
    }
    cairo_arc(cr, c, c, 11, 0, 2 * kPi);
    art::FillRadial(cr, c - 4, c - 4, 20, art::Lighter(colour, 0.4), art::Darker(colour, 0.3), true);
    art::Stroke(cr, art::WithAlpha(pal::Outline, 0.8), 1.5);
}

void PaintCoin(cairo_t* cr, bool gold) {
    const double c = kCell / 2.0;
    const Rgb light = gold ? pal::GoldLight : art::Hex(0xf4f6fa);
    const Rgb base = gold ? pal::Gold : art::Hex(0xb8bec8);
    const Rgb dark = gold ? pal::GoldDark : art::Hex(0x6a707a);
    art::Glow(cr, c, c, 22, light, 0.5);
    cairo_arc(cr, c, c, 15, 0, 2 * kPi);
    art::FillRadial(cr, c - 5, c - 5, 20, light, dark, true);
    art::Stroke(cr, pal::Outline, 2.0);
    cairo_arc(cr, c, c, 11, 0, 2 * kPi);
    art::Stroke(cr, base, 1.5);
    art::PathStar(cr, c, c, 7, 3, 5);
    art::SetColour(cr, dark);
    cairo_fill(cr);
    art::Twinkle(cr, c - 6, c - 7, 5, pal::White);
}

void PaintBottle(cairo_t* cr, int, int) {
    const double c = kCell / 2.0;
    art::Glow(cr, c, c + 6, 20, pal::MagicBlue, 0.5);
    cairo_move_to(cr, c - 4, 8);
    cairo_line_to(cr, c + 4, 8);
    cairo_line_to(cr, c + 4, 18);
    cairo_curve_to(cr, c + 18, 22, c + 16, 42, c, 42);
    cairo_curve_to(cr, c - 16, 42, c - 18, 22, c - 4, 18);
    cairo_close_path(cr);
    art::FillVertical(cr, 8, 42, {art::WithAlpha(pal::White, 0.5), pal::MagicBlue, art::Hex(0x1f5fa0)}, true);
    art::Stroke(cr, pal::Outline, 2.0);
    cairo_rectangle(cr, c - 5, 4, 10, 5); // the cork
    art::SetColour(cr, pal::WoodLight);
    cairo_fill(cr);
    art::Twinkle(cr, c - 5, 27, 4, pal::White);
}

// [SECTION] Overlays -------------------------------------------------------------------------------------------------

void PaintChainLink(cairo_t* cr, double x, double y, double angle) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, angle);
    art::PathRoundRect(cr, -6, -3.5, 12, 7, 3.5);
    art::Stroke(cr, pal::Outline, 4.0, true);
    art::Stroke(cr, pal::StoneLight, 2.2);
    cairo_restore(cr);
}

void PaintChain(cairo_t* cr, int count) {
    for (int k = 0; k < count; ++k) {
        const bool down = k == 0;
        for (int i = 0; i < 5; ++i) {
            const double t = (i + 0.5) / 5.0;
            const double x = 4 + t * 40, y = down ? 4 + t * 40 : 44 - t * 40;
            PaintChainLink(cr, x, y, (down ? 1 : -1) * kPi / 4 + (i % 2 ? kPi / 2 : 0));
        }
    }
}

void PaintBombMark(cairo_t* cr, int, int) {
    cairo_arc(cr, 37, 37, 8, 0, 2 * kPi);
    art::FillRadial(cr, 34, 34, 10, art::Hex(0x5a5a66), art::Hex(0x101014), true);
    art::Stroke(cr, pal::Outline, 1.5);
    cairo_move_to(cr, 41, 30);
    cairo_curve_to(cr, 43, 26, 45, 27, 46, 24);
    art::Stroke(cr, pal::Wood, 1.5);
    art::Twinkle(cr, 46, 23, 4, pal::Amber);
}

// A cross of beams with a dark core line around each, so it reads on every gem colour, yellow and white included.
void PaintLaserMark(cairo_t* cr, int w, int h) {
    for (const bool vertical : {false, true}) {
        const double x = vertical ? w / 2.0 - 3 : 2, y = vertical ? 2 : h / 2.0 - 3;
        cairo_rectangle(cr, x, y, vertical ? 6 : w - 4, vertical ? h - 4 : 6);
        art::SetColour(cr, art::WithAlpha(pal::StoneDeep, 0.85));
        cairo_fill(cr);
    }
    for (const bool vertical : {false, true}) {
        cairo_rectangle(cr, vertical ? w / 2.0 - 1.5 : 3, vertical ? 3 : h / 2.0 - 1.5, vertical ? 3 : w - 6,
                        vertical ? h - 6 : 3);
        art::SetColour(cr, pal::MagicBlue);
        cairo_fill(cr);
    }
    cairo_arc(cr, w / 2.0, h / 2.0, 5, 0, 2 * kPi);
    art::SetColour(cr, pal::StoneDeep);
    cairo_fill(cr);
    cairo_arc(cr, w / 2.0, h / 2.0, 3.5, 0, 2 * kPi);
    art::SetColour(cr, pal::White);
    cairo_fill(cr);
}

void PaintBonusTimeMark(cairo_t* cr, int, int) {
    cairo_arc(cr, 37, 11, 8, 0, 2 * kPi);
    art::FillRadial(cr, 35, 9, 9, pal::ParchLight, pal::ParchDark, true);
    art::Stroke(cr, pal::GoldDark, 1.5);
    cairo_move_to(cr, 37, 11);
    cairo_line_to(cr, 37, 6);
    cairo_move_to(cr, 37, 11);
    cairo_line_to(cr, 41, 12);
    art::Stroke(cr, pal::Ink, 1.3);
}

void PaintFrozen(cairo_t* cr, int w, int h) {
    art::PathRoundRect(cr, 3, 3, w - 6, h - 6, 7);
    art::FillVertical(cr, 3, h - 3, {art::Hex(0xe8f8ff, 0.65), art::Hex(0x9fd6f2, 0.45), art::Hex(0x5fa8d8, 0.55)},
                      true);
    art::Stroke(cr, art::Hex(0xe8f8ff, 0.9), 1.5);
    cairo_move_to(cr, 9, 16);
    cairo_line_to(cr, 18, 9);
    cairo_move_to(cr, 10, 24);
    cairo_line_to(cr, 25, 10);
    art::Stroke(cr, art::WithAlpha(pal::White, 0.8), 1.5);
}

// [SECTION] Hammer icons (RGB on black: every lit pixel has a red value above 0) ------------------------------------

void PaintHammer(cairo_t* cr, int w, int h, int level) {
    const Rgb head = level == 1 ? pal::Stone : level == 2 ? art::Hex(0xd8dde6) : pal::Gold;
    const Rgb headDark = level == 1 ? pal::StoneDark : level == 2 ? art::Hex(0x7a808c) : pal::GoldDark;
    cairo_save(cr);
    cairo_translate(cr, w / 2.0, h / 2.0);
    cairo_rotate(cr, -kPi / 4);
    // a dark brown rim round handle and head first, so the hammer reads over any ground (a golden tile too); not
    // black, which the picture's black ground makes transparent
    cairo_rectangle(cr, -3, -4, 6, h * 0.42);
    art::PathRoundRect(cr, -w * 0.3, -h * 0.3, w * 0.6, h * 0.22, 3);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    art::Stroke(cr, art::Hex(0x2a1606), 6);
    cairo_rectangle(cr, -3, -4, 6, h * 0.42); // handle
    art::FillVertical(cr, -4, h * 0.4, {pal::WoodLight, pal::Wood});
    art::PathRoundRect(cr, -w * 0.3, -h * 0.3, w * 0.6, h * 0.22, 3); // head
    art::FillVertical(cr, -h * 0.3, -h * 0.08, {art::Lighter(head, 0.4), head, headDark}, true);
    art::Stroke(cr, art::Hex(0x402010), 1.5);
    cairo_restore(cr);
    if (level == 3) art::Twinkle(cr, w * 0.72, h * 0.24, 6, pal::GoldLight);
    if (level >= 2) art::Twinkle(cr, w * 0.28, h * 0.2, 4, pal::White);
}

// [SECTION] The table ------------------------------------------------------------------------------------------------

std::vector<Picture> Pictures() {
    std::vector<Picture> list;
    for (int i = 0; i < art::GemCount; ++i) {
        list.push_back({"Images/pieces/jewel" + std::to_string(i) + ".png", kCell, kCell,
                        [i](cairo_t* cr, int, int) { PaintJewel(cr, i); }});
        list.push_back({"Images/pieces/rune" + std::to_string(i) + ".png", kCell, kCell,
                        [i](cairo_t* cr, int, int) { PaintRune(cr, i); }});
    }
    list.push_back({"Images/tiles/tile_empty.png", kCell, kCell, PaintTileEmpty});
    list.push_back({"Images/tiles/tile_golden.png", kCell, kCell, [](cairo_t* cr, int w, int h) {
                        PaintPlate(cr, w, h, pal::GoldLight, pal::Gold, pal::GoldDark, 1);
                    }});
    list.push_back({"Images/tiles/tile_silver.png", kCell, kCell, [](cairo_t* cr, int w, int h) {
                        PaintPlate(cr, w, h, art::Hex(0xf6f8fb), art::Hex(0xc4cad3), art::Hex(0x7c838f), 2);
                    }});
    list.push_back(
        {"Images/tiles/crate1.png", kCell, kCell, [](cairo_t* cr, int w, int h) { PaintCrate(cr, w, h, 1); }});
    list.push_back(
        {"Images/tiles/crate2.png", kCell, kCell, [](cairo_t* cr, int w, int h) { PaintCrate(cr, w, h, 2); }});
    list.push_back(
        {"Images/tiles/crate3.png", kCell, kCell, [](cairo_t* cr, int w, int h) { PaintCrate(cr, w, h, 3); }});
    list.push_back({"Images/pieces/tar.png", kCell * 32, kCell, [](cairo_t* cr, int, int) {
                        for (int f = 0; f < 32; ++f) {
                            cairo_save(cr);
                            cairo_translate(cr, f * kCell, 0);
                            PaintTarFrame(cr, f);
                            cairo_restore(cr);
                        }
                    }});
    list.push_back({"Images/pieces/multicolor.png", kCell, kCell, PaintMulticolor});
    list.push_back({"Images/pieces/launcher.png", kCell, kCell, PaintLauncher});
    list.push_back({"Images/pieces/rocket.png", kCell, kCell, PaintRocket});
    list.push_back({"Images/pieces/amulet.png", kCell, kCell, PaintAmulet});
    list.push_back(
        {"Images/pieces/new2.png", kCell, kCell, [](cairo_t* cr, int, int) { PaintStone(cr, pal::Forest, 5, -90); }});
    list.push_back(
        {"Images/pieces/new3.png", kCell, kCell, [](cairo_t* cr, int, int) { PaintStone(cr, pal::SkyDusk, 6, 0); }});
    list.push_back(
        {"Images/pieces/bacteria_red.png", kCell, kCell, [](cairo_t* cr, int, int) { PaintBlob(cr, pal::Ruby); }});
    list.push_back(
        {"Images/pieces/bacteria_gold.png", kCell, kCell, [](cairo_t* cr, int, int) { PaintBlob(cr, pal::Gold); }});
    list.push_back(
        {"Images/pieces/coin_silver.png", kCell, kCell, [](cairo_t* cr, int, int) { PaintCoin(cr, false); }});
    list.push_back({"Images/pieces/coin_gold.png", kCell, kCell, [](cairo_t* cr, int, int) { PaintCoin(cr, true); }});
    list.push_back({"Images/pieces/bottle.png", kCell, kCell, PaintBottle});
    list.push_back({"Images/pieces/chain1.png", kCell, kCell, [](cairo_t* cr, int, int) { PaintChain(cr, 1); }});
    list.push_back({"Images/pieces/chain2.png", kCell, kCell, [](cairo_t* cr, int, int) { PaintChain(cr, 2); }});
    list.push_back({"Images/pieces/bomb.png", kCell, kCell, PaintBombMark});
    list.push_back({"Images/pieces/laser.png", kCell, kCell, PaintLaserMark});
    list.push_back({"Images/pieces/bonus_time.png", kCell, kCell, PaintBonusTimeMark});
    list.push_back({"Images/pieces/frozen.png", kCell, kCell, PaintFrozen});
    const char* hammers[] = {"images/interface/map_hammer.png", "images/interface/map_hammer2.png",
                             "images/interface/map_hammer3.png"};
    for (int i = 0; i < 3; ++i)
        list.push_back({hammers[i], 48, 48, [i](cairo_t* cr, int w, int h) { PaintHammer(cr, w, h, i + 1); }, true});
    return list;
}

} // namespace

std::string TilesTxt() {
    std::string text;
    for (const char* set : {"jewel", "rune"})
        for (int i = 0; i < art::GemCount; ++i)
            text += std::string(set) + std::to_string(i) + "=48,48,1,0\r\n";
    return text;
}

bool Pictures_Write(const std::string& outDir) {
    bool ok = true;
    for (const Picture& p : Pictures()) {
        Canvas canvas(p.w, p.h);
        p.paint(canvas.cr(), p.w, p.h);
        cairo_surface_flush(canvas.surface());
        const std::string path = outDir + "/" + p.path;
        ok = (p.rgb ? art::WritePngRgb(path, canvas, pal::Black) : art::WritePngRgba(path, canvas)) && ok;
    }
    const std::string tiles = outDir + "/Images/pieces/tiles.txt";
    art::MakeParents(tiles);
    if (FILE* f = std::fopen(tiles.c_str(), "wb")) {
        const std::string text = TilesTxt();
        ok = std::fwrite(text.data(), 1, text.size(), f) == text.size() && ok;
        ok = std::fclose(f) == 0 && ok;
    } else {
        std::fprintf(stderr, "cannot write %s\n", tiles.c_str());
        ok = false;
    }
    return ok;
}
