// Painters of the effect sprites and strips (sparks, glows, coins, shards, chain links) and of the pixel-scan
// sources that the effects read as RGB (titles, hourglass, fireball, lightning). Named by inventory.cpp.
#include "assetgen_images/painters.h"
#include "assetgen_images/ui.h"

#include <algorithm>
#include <cmath>

namespace imagegen {

using namespace art;

namespace {
constexpr double Pi = 3.14159265358979323846;

// A soft spark: glow plus a bright core.
void SoftSpark(cairo_t* cr, double cx, double cy, double r, const Rgb& col, double core = 0.25) {
    Glow(cr, cx, cy, r, col, 1.0);
    cairo_arc(cr, cx, cy, r * core, 0, 2 * Pi);
    FillRadial(cr, cx, cy, r * core, pal::White, WithAlpha(Lighter(col, 0.6), 0));
}

void Rays(cairo_t* cr, double cx, double cy, double r0, double r1, int n, double rot, const Rgb& col, double width) {
    for (int i = 0; i < n; ++i) {
        const double a = rot + i * 2 * Pi / n;
        cairo_pattern_t* p = cairo_pattern_create_linear(cx + std::cos(a) * r0, cy + std::sin(a) * r0,
                                                         cx + std::cos(a) * r1, cy + std::sin(a) * r1);
        cairo_pattern_add_color_stop_rgba(p, 0, col.r, col.g, col.b, col.a);
        cairo_pattern_add_color_stop_rgba(p, 1, col.r, col.g, col.b, 0);
        cairo_set_source(cr, p);
        cairo_move_to(cr, cx + std::cos(a) * r0, cy + std::sin(a) * r0);
        cairo_line_to(cr, cx + std::cos(a) * r1, cy + std::sin(a) * r1);
        cairo_set_line_width(cr, width);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
        cairo_pattern_destroy(p);
    }
}

// The board's two busiest sprites are drawn additively hundreds to thousands of times a frame over the gems, so
// their light is kept low and gathered in a few pixels: overlaps build up a warm shimmer instead of white.
// A warm point with a soft halo, peak about half strength.
void EmberGlow(cairo_t* cr, double cx, double cy, double r) {
    // The halo ends at 0.8 of the square's half: its faint rim beyond added no light worth its pixels.
    const double rim = r * 0.8;
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, rim);
    cairo_pattern_add_color_stop_rgba(p, 0, 1.0, 0.96, 0.82, 0.55);
    cairo_pattern_add_color_stop_rgba(p, 0.22, 1.0, 0.88, 0.55, 0.38);
    cairo_pattern_add_color_stop_rgba(p, 0.56, 1.0, 0.78, 0.40, 0.12);
    cairo_pattern_add_color_stop_rgba(p, 0.85, 1.0, 0.72, 0.35, 0.03);
    cairo_pattern_add_color_stop_rgba(p, 1, 1.0, 0.72, 0.35, 0);
    cairo_set_source(cr, p);
    cairo_arc(cr, cx, cy, rim, 0, 2 * Pi);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

// A pin-point of light with four hair-thin rays and a faint warm halo.
void PinTwinkle(cairo_t* cr, double cx, double cy, double r) {
    Glow(cr, cx, cy, r * 0.55, {1.0, 0.85, 0.5, 0.16});
    PathStar(cr, cx, cy, r * 0.95, r * 0.09, 4, -90);
    FillRadial(cr, cx, cy, r * 0.95, {1.0, 0.97, 0.88, 0.6}, {1.0, 0.85, 0.5, 0});
    cairo_arc(cr, cx, cy, r * 0.2, 0, 2 * Pi);
    FillRadial(cr, cx, cy, r * 0.2, {1.0, 0.98, 0.92, 0.55}, {1.0, 0.9, 0.6, 0});
}

// Text of the pixel-scan titles: body colour, outline colour, and a bright band where the shine passes.
void ScanTitle(Canvas& c, const char* text, const Rgb& body, const Rgb& edge, double shineX) {
    cairo_t* cr = c.cr();
    TextStyle st;
    st.face = Face::Display;
    st.size = 27;
    st.fill = body;
    st.outline = edge;
    st.outlineWidth = 1.6;
    DrawTextIn(cr, text, 2, 0, c.width() - 4, c.height(), st);
    if (shineX > -100) {
        // brighten the letters under a slanted band
        cairo_save(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_ATOP);
        cairo_rectangle(cr, 0, 0, c.width(), c.height());
        SourceLinear(cr, shineX - 16, 0, shineX + 4, c.height() * 0.4,
                     {{0, {1, 1, 1, 0}}, {0.3, {1, 1, 1, 1}}, {0.7, {1, 1, 1, 1}}, {1, {1, 1, 1, 0}}});
        cairo_fill(cr);
        cairo_restore(cr);
    }
}
} // namespace

// [SECTION] Sparks -------------------------------------------------------------------------------------------------

void PaintSpark(Canvas& c, const ImageRow& s, int frame) {
    cairo_t* cr = c.cr();
    const double w = c.width(), cx = w / 2, cy = c.height() / 2.0, r = w / 2;
    const double t = s.frames > 1 ? static_cast<double>(frame) / s.frames : 0;
    switch (s.variant) {
    case 0: // shine1: a ring of light, bright enough to show at the main menu's faint alphas, with a clear middle: a
            // spell's preview adds four of these round the gems it aims at, and those must stay readable through it
        cairo_arc(cr, cx, cy, r * 0.66, 0, 2 * Pi);
        Stroke(cr, WithAlpha(pal::MagicGold, 0.3), r * 0.5);
        cairo_arc(cr, cx, cy, r * 0.66, 0, 2 * Pi);
        Stroke(cr, WithAlpha(pal::MagicGold, 0.8), r * 0.26);
        cairo_arc(cr, cx, cy, r * 0.66, 0, 2 * Pi);
        Stroke(cr, pal::White, r * 0.12);
        break;
    case 1: // the falling glow and the ember: a warm point fading into a faint halo
        EmberGlow(cr, cx, cy, r);
        break;
    case 2:
        Twinkle(cr, cx, cy, r, pal::MagicBlue);
        break;
    case 3:
        Glow(cr, cx, cy, r, WithAlpha(Hex(0xffd890), 0.85));
        break;
    case 4: // the rising sparkle: a pin-point with four thin rays, most of the square left clear
        PinTwinkle(cr, cx, cy, r);
        break;
    case 5:
        SoftSpark(cr, cx, cy, r, WithAlpha(pal::White, 0.9), 0.35);
        break;
    case 6: { // twinkle that grows, turns and fades over the strip
        const double life = std::sin(t * Pi);
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_rotate(cr, t * Pi);
        Twinkle(cr, 0, 0, r * (0.35 + 0.65 * life), Mix(pal::MagicBlue, pal::MagicGold, t), 0.3 + 0.7 * life);
        cairo_restore(cr);
        break;
    }
    case 7: // burst
        Glow(cr, cx, cy, r, WithAlpha(pal::Amber, 0.8));
        Rays(cr, cx, cy, r * 0.15, r * 0.95, 10, 0.2, WithAlpha(pal::GoldLight, 0.9), 2.2);
        SoftSpark(cr, cx, cy, r * 0.5, WithAlpha(pal::White, 0.9), 0.4);
        break;
    case 8: { // ring spark that widens and thins over its strip
        const double grow = 0.35 + 0.45 * t;
        cairo_arc(cr, cx, cy, r * grow, 0, 2 * Pi);
        Stroke(cr, WithAlpha(pal::White, 0.8 * (1.0 - 0.6 * t)), r * 0.22);
        Glow(cr, cx, cy, r, WithAlpha(pal::MagicBlue, 0.5));
        break;
    }
    case 9: { // trail glow, white so the game can colour it per gem; pulses along the strip
        const double pulse = 0.6 + 0.4 * std::cos(t * 2 * Pi);
        SoftSpark(cr, cx, cy, r * (0.55 + 0.45 * pulse), WithAlpha(pal::White, 0.9), 0.3);
        break;
    }
    case 10:
        Twinkle(cr, cx, cy, r, pal::MagicGold);
        break;
    case 11:
        Twinkle(cr, cx, cy, r, pal::MagicBlue);
        Glow(cr, cx, cy, r * 0.8, WithAlpha(pal::Sapphire, 0.5));
        break;
    case 12:
        SoftSpark(cr, cx, cy, r, WithAlpha(pal::MagicBlue, 0.9), 0.3);
        break;
    case 13: { // electric crackle
        Glow(cr, cx, cy, r, WithAlpha(pal::MagicBlue, 0.7));
        Rng rng(1313);
        for (int k = 0; k < 4; ++k) {
            double a = k * Pi / 2 + 0.4, px = cx, py = cy;
            cairo_move_to(cr, px, py);
            for (int j = 0; j < 4; ++j) {
                px += std::cos(a) * r * 0.25 + rng.Range(-2, 2);
                py += std::sin(a) * r * 0.25 + rng.Range(-2, 2);
                cairo_line_to(cr, px, py);
                a += rng.Range(-0.6, 0.6);
            }
        }
        Stroke(cr, WithAlpha(pal::White, 0.95), 1.3);
        break;
    }
    case 14:
        SoftSpark(cr, cx, cy, r, WithAlpha(Hex(0xa8ff9a), 0.85));
        break;
    case 15: // rainbow glow of the colour spell
        for (int g = 0; g < GemCount; ++g) {
            const double a = g * 2 * Pi / GemCount;
            Glow(cr, cx + std::cos(a) * r * 0.3, cy + std::sin(a) * r * 0.3, r * 0.6,
                 WithAlpha(GemColour(static_cast<Gem>(g)), 0.5));
        }
        SoftSpark(cr, cx, cy, r * 0.6, WithAlpha(pal::White, 0.9));
        break;
    case 17: { // swirling flame glow
        const double rot = t * 2 * Pi;
        Glow(cr, cx, cy, r, WithAlpha(pal::Amber, 0.55));
        for (int k = 0; k < 5; ++k) {
            const double a = rot + k * 2 * Pi / 5;
            cairo_save(cr);
            cairo_translate(cr, cx, cy);
            cairo_rotate(cr, a);
            cairo_move_to(cr, 0, 0);
            cairo_curve_to(cr, r * 0.3, -r * 0.2, r * 0.7, -r * 0.1, r * 0.85, r * 0.15);
            cairo_curve_to(cr, r * 0.5, r * 0.05, r * 0.25, r * 0.15, 0, 0);
            cairo_restore(cr);
            FillRadial(cr, cx, cy, r, WithAlpha(pal::GoldLight, 0.8), WithAlpha(pal::Ruby, 0.0));
        }
        SoftSpark(cr, cx, cy, r * 0.35, WithAlpha(pal::White, 0.9));
        break;
    }
    case 18: { // flickering sparkles
        Rng rng(1818);
        for (int k = 0; k < 9; ++k) {
            const double px = rng.Range(r * 0.3, w - r * 0.3), py = rng.Range(r * 0.3, w - r * 0.3);
            const double ph = rng.Unit();
            const double life = std::max(0.0, std::sin((t + ph) * 2 * Pi));
            if (life > 0.05) {
                Twinkle(cr, px, py, r * 0.35 * life + 2, pal::MagicGold, life);
            }
        }
        break;
    }
    case 19:
        SoftSpark(cr, cx, cy, r, WithAlpha(Hex(0xffb0e0), 0.8));
        break;
    case 20: // snowball
        Glow(cr, cx, cy, r, WithAlpha(Hex(0xbfe8ff), 0.7));
        cairo_arc(cr, cx, cy, r * 0.45, 0, 2 * Pi);
        FillRadial(cr, cx - r * 0.15, cy - r * 0.15, r * 0.6, pal::White, Hex(0x9ccff0));
        break;
    case 21: // rising star: its glow kept inside the star's reach, so the square's corners stay clear
        Glow(cr, cx, cy, r * 0.85, WithAlpha(pal::MagicGold, 0.6));
        PathStar(cr, cx, cy, r * 0.8, r * 0.35, 5, -90);
        FillVertical(cr, cy - r, cy + r, {pal::White, pal::GoldLight, pal::Gold}, true);
        Stroke(cr, WithAlpha(pal::GoldDark, 0.8), 1);
        break;
    default:
        SoftSpark(cr, cx, cy, r, WithAlpha(pal::White, 0.9));
        break;
    }
}

void PaintGoldCoin(Canvas& c, const ImageRow& s, int frame) {
    cairo_t* cr = c.cr();
    const double cx = c.width() / 2.0, cy = c.height() / 2.0, r = c.width() / 2.0 - 2;
    const double a = 2 * Pi * frame / s.frames;
    const double sx = std::max(0.08, std::fabs(std::cos(a)));
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, sx, 1);
    // rim (edge seen when turned)
    cairo_arc(cr, 0, 0, r, 0, 2 * Pi);
    FillVertical(cr, -r, r, {pal::GoldLight, pal::Gold, pal::GoldDark}, true);
    cairo_restore(cr);
    Stroke(cr, pal::Bronze, 1.2);
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, sx, 1);
    cairo_arc(cr, 0, 0, r * 0.72, 0, 2 * Pi);
    cairo_restore(cr);
    Stroke(cr, WithAlpha(pal::Bronze, 0.8), 1);
    // the face shows a crown, the back a star
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, sx, 1);
    if (std::cos(a) > 0) {
        const double k = r * 0.45;
        cairo_move_to(cr, -k, k * 0.5);
        cairo_line_to(cr, -k, -k * 0.4);
        cairo_line_to(cr, -k * 0.5, k * 0.05);
        cairo_line_to(cr, 0, -k * 0.6);
        cairo_line_to(cr, k * 0.5, k * 0.05);
        cairo_line_to(cr, k, -k * 0.4);
        cairo_line_to(cr, k, k * 0.5);
        cairo_close_path(cr);
    } else {
        PathStar(cr, 0, 0, r * 0.5, r * 0.22, 5, -90);
    }
    cairo_restore(cr);
    SetColour(cr, WithAlpha(pal::GoldDark, 0.9));
    cairo_fill(cr);
    if (sx > 0.5) {
        Twinkle(cr, cx - r * 0.35 * sx, cy - r * 0.4, r * 0.5, pal::White, (sx - 0.5) * 2);
    }
}

void PaintComboFlash(Canvas& c, const ImageRow& s, int frame) {
    cairo_t* cr = c.cr();
    const double cx = c.width() / 2.0, cy = c.height() / 2.0, R = c.width() / 2.0;
    const double t = static_cast<double>(frame) / (s.frames - 1);
    const double fade = 1 - t;
    Glow(cr, cx, cy, R * (0.4 + 0.6 * t), WithAlpha(pal::MagicGold, 0.7 * fade));
    cairo_arc(cr, cx, cy, R * (0.15 + 0.75 * t), 0, 2 * Pi);
    Stroke(cr, WithAlpha(pal::White, 0.9 * fade), 2 + 6 * fade);
    Rays(cr, cx, cy, R * 0.1, R * (0.4 + 0.55 * t), 12, t * 1.2, WithAlpha(pal::GoldLight, fade), 2.5);
    if (t < 0.5) {
        SoftSpark(cr, cx, cy, R * 0.5 * (1 - 2 * t) + 4, WithAlpha(pal::White, 1.0), 0.4);
    }
}

void PaintChainLink(Canvas& c, const ImageRow& s, int frame) {
    cairo_t* cr = c.cr();
    const double cx = c.width() / 2.0, cy = c.height() / 2.0;
    const double a = Pi * frame / s.frames;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, a);
    cairo_scale(cr, 1, 0.55);
    cairo_arc(cr, 0, 0, 8.5, 0, 2 * Pi);
    cairo_restore(cr);
    Stroke(cr, pal::Outline, 5, true);
    SourceLinear(cr, 0, 0, c.width(), c.height(), {{0, {0.85, 0.86, 0.9}}, {1, {0.35, 0.37, 0.45}}});
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
}

void PaintTilePart(Canvas& c, const ImageRow& s, int frame) {
    cairo_t* cr = c.cr();
    const double cx = c.width() / 2.0, cy = c.height() / 2.0, r = c.width() * 0.38;
    Rng rng(static_cast<uint64_t>(s.variant) * 1000 + static_cast<uint64_t>(frame / 16));
    const double a = 2 * Pi * frame / 16.0; // each run of 16 frames turns one shape once; every run has its own shape
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, a);
    cairo_new_path(cr);
    const int n = rng.Int(4, 6);
    for (int i = 0; i < n; ++i) {
        const double pa = i * 2 * Pi / n + rng.Range(-0.3, 0.3);
        const double pr = r * rng.Range(0.5, 1.0) * (s.variant == 2 ? 1.0 : 1.0);
        const double sy = s.variant == 2 ? 0.35 : 1.0; // crate splinters are long and thin
        cairo_line_to(cr, std::cos(pa) * pr, std::sin(pa) * pr * sy);
    }
    cairo_close_path(cr);
    cairo_restore(cr);
    if (s.variant == 2) {
        FillVertical(cr, cy - r, cy + r, {pal::WoodLight, pal::Wood, pal::WoodDark}, true);
    } else if (s.variant == 1) {
        // a chip of the golden tile: bright gold catching the light as it turns, with a thin warm edge. Drawn small
        // and fading over the gems, a dark edge would swallow the fill and leave a grey pebble.
        const double shine = 0.5 + 0.5 * std::cos(a);
        FillVertical(cr, cy - r, cy + r,
                     {Mix(pal::GoldLight, pal::White, 0.45 * shine), Mix(pal::Gold, pal::GoldLight, shine), pal::Gold},
                     true);
        Stroke(cr, Mix(pal::GoldDark, pal::GoldLight, 0.35), 0.8);
        return;
    } else {
        FillVertical(cr, cy - r, cy + r, {pal::StoneLight, pal::Stone, pal::StoneDark}, true);
    }
    Stroke(cr, pal::Outline, 1.2);
}

// [SECTION] Pixel-scan sources -------------------------------------------------------------------------------------

// The you-win title: red bands 80..199 outline, 200..254 letters, 255 the passing shine.
void PaintYouWinScan(Canvas& c, const ImageRow& s, int) {
    const double shine = 8 + (c.width() + 2) * s.variant / 23.0;
    ScanTitle(c, "GEWONNEN!", Hex(0xe6b428), Hex(0x8a4010), shine);
}

// The you-lose title: red 80..254 outline, 255 letters.
void PaintYouLoseScan(Canvas& c, const ImageRow&, int) {
    ScanTitle(c, "VERLOREN", Hex(0xff3c28), Hex(0x962018), -1000);
}

// The hourglass: red 175..199 glass, 200..254 sand, 255 gold frame.
void PaintHourglassScan(Canvas& c, const ImageRow&, int) {
    cairo_t* cr = c.cr();
    const double w = c.width(), h = c.height(), cx = w / 2;
    // glass
    cairo_move_to(cr, 10, 10);
    cairo_line_to(cr, w - 10, 10);
    cairo_curve_to(cr, w - 10, h * 0.35, cx + 4, h * 0.45, cx + 4, h / 2);
    cairo_curve_to(cr, cx + 4, h * 0.55, w - 10, h * 0.65, w - 10, h - 10);
    cairo_line_to(cr, 10, h - 10);
    cairo_curve_to(cr, 10, h * 0.65, cx - 4, h * 0.55, cx - 4, h / 2);
    cairo_curve_to(cr, cx - 4, h * 0.45, 10, h * 0.35, 10, 10);
    cairo_close_path(cr);
    SetColour(cr, Hex(0xb4c8f0));
    cairo_fill(cr);
    // sand: a heap below, the rest above
    cairo_move_to(cr, 12, h - 11);
    cairo_curve_to(cr, 20, h * 0.78, cx - 6, h * 0.72, cx, h * 0.7);
    cairo_curve_to(cr, cx + 6, h * 0.72, w - 20, h * 0.78, w - 12, h - 11);
    cairo_close_path(cr);
    cairo_move_to(cr, 16, h * 0.24);
    cairo_line_to(cr, w - 16, h * 0.24);
    cairo_curve_to(cr, w - 18, h * 0.36, cx + 3, h * 0.44, cx, h * 0.49);
    cairo_curve_to(cr, cx - 3, h * 0.44, 18, h * 0.36, 16, h * 0.24);
    cairo_close_path(cr);
    cairo_rectangle(cr, cx - 1, h * 0.48, 2, h * 0.23);
    SetColour(cr, Hex(0xdca850));
    cairo_fill(cr);
    // gold frame: caps and posts
    for (double y : {2.0, h - 10}) {
        PathRoundRect(cr, 2, y, w - 4, 8, 3);
    }
    cairo_rectangle(cr, 4, 8, 4, h - 16);
    cairo_rectangle(cr, w - 8, 8, 4, h - 16);
    SetColour(cr, Hex(0xffd24a));
    cairo_fill(cr);
}

// The fireball: red 110..159 outer flame, 160..254 flame, 255 core.
void PaintFireballScan(Canvas& c, const ImageRow&, int) {
    cairo_t* cr = c.cr();
    const double cx = c.width() * 0.6, cy = c.height() / 2.0, r = c.width() * 0.3;
    // tail to the left
    cairo_move_to(cr, cx, cy - r);
    cairo_curve_to(cr, cx - r * 1.2, cy - r * 0.9, cx - r * 1.6, cy - r * 0.3, cx - r * 1.95, cy);
    cairo_curve_to(cr, cx - r * 1.6, cy + r * 0.3, cx - r * 1.2, cy + r * 0.9, cx, cy + r);
    cairo_close_path(cr);
    SetColour(cr, Hex(0x8c2a0a));
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, r * 1.05, 0, 2 * Pi);
    SetColour(cr, Hex(0x8c2a0a));
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, r * 0.8, 0, 2 * Pi);
    cairo_move_to(cr, cx, cy - r * 0.6);
    cairo_curve_to(cr, cx - r, cy - r * 0.5, cx - r * 1.2, cy, cx - r * 1.4, cy);
    cairo_curve_to(cr, cx - r * 1.2, cy, cx - r, cy + r * 0.5, cx, cy + r * 0.6);
    SetColour(cr, Hex(0xd2641a));
    cairo_fill(cr);
    cairo_arc(cr, cx + r * 0.1, cy, r * 0.42, 0, 2 * Pi);
    SetColour(cr, Hex(0xfff0b4));
    cairo_fill(cr);
}

// The lightning bolt: red 160..179 glow, 180..254 bolt, 255 core.
void PaintFlashScan(Canvas& c, const ImageRow& s, int) {
    cairo_t* cr = c.cr();
    const double w = c.width(), h = c.height();
    Rng rng(static_cast<uint64_t>(s.variant) * 77);
    std::vector<std::pair<double, double>> pts;
    double x = w / 2;
    for (double y = 2; y < h - 2; y += h / 12) {
        pts.push_back({x, y});
        x = std::clamp(x + rng.Range(-14, 14), 10.0, w - 10);
    }
    pts.push_back({w / 2 + rng.Range(-6, 6), h - 2});
    auto bolt = [&](double width, const Rgb& col) {
        cairo_move_to(cr, pts[0].first, pts[0].second);
        for (size_t i = 1; i < pts.size(); ++i) {
            cairo_line_to(cr, pts[i].first, pts[i].second);
        }
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
        Stroke(cr, col, width);
    };
    bolt(12, Hex(0xa8aaff));
    bolt(6, Hex(0xc8d0ff));
    bolt(2.2, Hex(0xffffff));
}

void PaintYouWinTitle(Canvas& c, const ImageRow&, int) {
    cairo_t* cr = c.cr();
    Glow(cr, c.width() / 2.0, c.height() / 2.0, c.width() * 0.45, WithAlpha(pal::MagicGold, 0.35));
    TextStyle st = TitleStyle(44);
    st.glow = 4;
    DrawTextIn(cr, "Geschafft!", 6, 2, c.width() - 12, c.height() - 4, st);
}

} // namespace imagegen
