// Painters of the start-up pictures, the main menu's layers, panel, logo and buttons, and the birds' strips.
// Named by the table in inventory.cpp.
#include "assetgen_images/painters.h"
#include "assetlib/castles.h"
#include "assetgen_images/ui.h"

#include <algorithm>
#include <cmath>

namespace imagegen {

using namespace art;

namespace {
constexpr double Pi = 3.14159265358979323846;

// The game's name as a logo: gold uncial letters followed by a ruby crest carrying the "2", centred at (cx, cy).
void GameLogo(cairo_t* cr, double cx, double cy, double scale) {
    TextStyle name = TitleStyle(78 * scale);
    name.outlineWidth = 3.2 * scale;
    name.glow = 6 * scale;
    name.glowColour = WithAlpha(pal::SkyGlow, 0.9);
    name.align = Align::Left;
    // an illuminated Roman initial, then the rest of the name in uncials
    TextStyle initial = name;
    initial.face = Face::BookBold;
    initial.size = name.size * 1.12;
    double iw = 0, tw = 0, th = 0;
    MeasureText(cr, "B", initial, iw, th);
    MeasureText(cr, "risquel", name, tw, th);
    tw += iw;
    const double sw = 46 * scale, sh = 56 * scale, gap = 10 * scale;
    const double total = tw + gap + sw;
    const double left = cx - total / 2;
    Glow(cr, cx, cy, total * 0.6, WithAlpha(pal::MagicGold, 0.3));
    // crest behind the "2"
    const double shx = left + tw + gap + sw / 2, shy = cy - 4 * scale;
    Shield(cr, shx, shy, sw, sh, {4 * scale, 2.5 * scale, -1 * scale}, Lighter(pal::Ruby, 0.2), Darker(pal::Ruby, 0.6));
    TextStyle two = TitleStyle(50 * scale);
    two.face = Face::Capitals;
    DrawText(cr, "2", shx, shy + 17 * scale, two);
    DrawText(cr, "B", left, cy + 24 * scale, initial);
    DrawText(cr, "risquel", left + iw, cy + 24 * scale, name);
    // underline flourish with gems
    const double ux0 = left + 10 * scale, ux1 = left + tw - 20 * scale;
    cairo_move_to(cr, ux0, cy + 40 * scale);
    cairo_curve_to(cr, ux0 + (ux1 - ux0) * 0.3, cy + 52 * scale, ux0 + (ux1 - ux0) * 0.6, cy + 30 * scale, ux1,
                   cy + 42 * scale);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    GoldTrim(cr, 3 * scale);
    for (int i = 0; i < 5; ++i) {
        const double t = i / 4.0;
        DrawGem(cr, static_cast<Gem>((i * 2) % GemCount), ux0 + 15 * scale + t * (ux1 - ux0 - 30 * scale),
                cy + 44 * scale + std::sin(t * Pi * 1.6) * 4 * scale - t * 2 * scale, 13 * scale);
    }
    Twinkle(cr, left + 12 * scale, cy - 30 * scale, 16 * scale, pal::MagicGold);
    Twinkle(cr, shx + sw * 0.5, shy - sh * 0.5, 12 * scale, pal::MagicBlue);
}

void Vignette(cairo_t* cr, double w, double h, double strength) {
    cairo_pattern_t* p = cairo_pattern_create_radial(w / 2, h / 2, std::min(w, h) * 0.3, w / 2, h / 2, w * 0.72);
    cairo_pattern_add_color_stop_rgba(p, 0, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgba(p, 1, 0, 0, 0, strength);
    cairo_set_source(cr, p);
    cairo_paint(cr);
    cairo_pattern_destroy(p);
}

void Darken(cairo_t* cr, double alpha, const Rgb& tint = Hex(0x080a1c)) {
    SetColour(cr, WithAlpha(tint, alpha));
    cairo_paint(cr);
}

// The start-up pictures' backdrop: castle n finished in its own setting, centred on the canvas and standing on
// groundY at the scale, then darkened and vignetted by the amounts so that what stands in front reads.
void CastleBackdrop(Canvas& c, int n, double groundY, double scale, double darken, double vignette) {
    cairo_t* cr = c.cr();
    castles::DrawScene(cr, n, c.width(), c.height(), 400, groundY);
    FancyCastle(cr, 400 - castles::Width * scale / 2, groundY, scale, 0, n);
    Darken(cr, darken);
    Vignette(cr, c.width(), c.height(), vignette);
}
} // namespace

// [SECTION] Start-up -----------------------------------------------------------------------------------------------

void PaintLogoGame(Canvas& c, const ImageRow&, int) {
    cairo_t* cr = c.cr();
    // Gemunor on its hill, below the title and its subtitle
    CastleBackdrop(c, 0, 588, 0.55, 0.35, 0.8);
    GameLogo(cr, 400, 250, 1.55);
    TextStyle sub = TitleStyle(26);
    sub.face = Face::Capitals;
    sub.fill = Hex(0xe2e8ff);
    sub.fillBottom = Hex(0xa9b4e0);
    DrawText(cr, "Die Burgen des Königreichs", 400, 372, sub);
}

void PaintLogoStudio(Canvas& c, const ImageRow&, int) {
    cairo_t* cr = c.cr();
    cairo_rectangle(cr, 0, 0, c.width(), c.height());
    FillRadial(cr, 400, 260, 520, Hex(0x1e2350), Hex(0x05060f));
    const double cx = 400, cy = 250;
    // round emblem
    Glow(cr, cx, cy, 200, WithAlpha(pal::MagicBlue, 0.25));
    cairo_arc(cr, cx, cy, 120, 0, 2 * Pi);
    FillRadial(cr, cx - 30, cy - 40, 170, Hex(0x39407a), Hex(0x10132c), true);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, 120, 0, 2 * Pi);
    GoldTrim(cr, 7);
    cairo_arc(cr, cx, cy, 108, 0, 2 * Pi);
    Stroke(cr, WithAlpha(pal::Gold, 0.6), 1.5);
    // the moon behind the tower
    cairo_arc(cr, cx + 38, cy - 42, 34, 0, 2 * Pi);
    FillRadial(cr, cx + 30, cy - 50, 40, Hex(0xfffbe8), Hex(0xe8d49a));
    // a tower with battlements
    cairo_save(cr);
    cairo_arc(cr, cx, cy, 106, 0, 2 * Pi);
    cairo_clip(cr);
    const Rgb dark = Hex(0x0b0d1e);
    cairo_rectangle(cr, cx - 40, cy + 10, 80, 120);
    for (int k = 0; k < 4; ++k) {
        cairo_rectangle(cr, cx - 40 + k * 22, cy - 2, 14, 14);
    }
    SetColour(cr, dark);
    cairo_fill(cr);
    cairo_rectangle(cr, cx - 5, cy + 40, 10, 18);
    SetColour(cr, pal::GoldLight);
    cairo_fill(cr);
    // the owl on the battlement: body, ear tufts, eyes
    const double ox = cx - 4, oy = cy - 30;
    cairo_save(cr);
    cairo_translate(cr, ox, oy);
    cairo_scale(cr, 1.0, 1.3);
    cairo_arc(cr, 0, 0, 19, 0, 2 * Pi);
    cairo_restore(cr);
    cairo_move_to(cr, ox - 17, oy - 14);
    cairo_line_to(cr, ox - 14, oy - 34);
    cairo_line_to(cr, ox - 4, oy - 20);
    cairo_line_to(cr, ox + 4, oy - 20);
    cairo_line_to(cr, ox + 14, oy - 34);
    cairo_line_to(cr, ox + 17, oy - 14);
    cairo_close_path(cr);
    SetColour(cr, dark);
    cairo_fill(cr);
    for (int side : {-1, 1}) {
        cairo_arc(cr, ox + side * 7.5, oy - 10, 6, 0, 2 * Pi);
        SetColour(cr, pal::Gold);
        cairo_fill(cr);
        cairo_arc(cr, ox + side * 7.5, oy - 10, 2.6, 0, 2 * Pi);
        SetColour(cr, dark);
        cairo_fill(cr);
        Glow(cr, ox + side * 7.5, oy - 10, 14, WithAlpha(pal::MagicGold, 0.5));
    }
    cairo_move_to(cr, ox - 2.5, oy - 5);
    cairo_line_to(cr, ox + 2.5, oy - 5);
    cairo_line_to(cr, ox, oy + 1);
    cairo_close_path(cr);
    SetColour(cr, pal::GoldDark);
    cairo_fill(cr);
    cairo_restore(cr);
    // stars
    Rng rng(4242);
    for (int i = 0; i < 160; ++i) {
        const double sx = rng.Range(0, 800), sy = rng.Range(0, 600);
        if (std::hypot(sx - cx, sy - cy) < 135) {
            continue;
        }
        cairo_arc(cr, sx, sy, rng.Range(0.4, 1.2), 0, 2 * Pi);
        SetColour(cr, Rgb{1, 1, 0.95, rng.Range(0.2, 0.8)});
        cairo_fill(cr);
    }
    TextStyle name = TitleStyle(54);
    name.face = Face::Capitals;
    DrawText(cr, "Owlcastle Works", cx, 452, name);
    TextStyle tag = TitleStyle(20);
    tag.face = Face::Capitals;
    tag.fill = Hex(0xc9d2f5);
    tag.fillBottom = Hex(0x8e9acb);
    tag.outlineWidth = 0;
    DrawText(cr, "präsentiert", cx, 492, tag);
}

void PaintLoading(Canvas& c, const ImageRow&, int) {
    cairo_t* cr = c.cr();
    // Mudiat among its dunes, below the notice
    CastleBackdrop(c, 2, 592, 0.5, 0.45, 0.85);
    GameLogo(cr, 400, 170, 1.0);
    // the loading notice itself: the game shows this picture alone while it loads
    Ribbon(cr, 400, 340, 340, 46, Hex(0x23356e));
    TextStyle t = TitleStyle(30);
    DrawText(cr, "Wird geladen …", 400, 351, t);
    for (int i = 0; i < 3; ++i) {
        DrawGem(cr, static_cast<Gem>(i * 2 + 1), 370 + i * 30, 400, 18, GemStyle{0.5, 1, 0, true});
    }
}

void PaintPause(Canvas& c, const ImageRow&, int) {
    cairo_t* cr = c.cr();
    // Lagar'Mor in its forest, below the sheet
    CastleBackdrop(c, 4, 590, 0.55, 0.55, 0.9);
    ParchmentSheet(cr, 230, 210, 340, 170, 77);
    TextStyle title = InkHeading(64);
    DrawText(cr, "Pause", 400, 298, title);
    TextStyle sub = InkStyle(20);
    sub.align = Align::Centre;
    sub.face = Face::Book;
    DrawText(cr, "Das Spiel ist angehalten", 400, 340, sub);
    Filigree(cr, 270, 250, 40, 45);
    Filigree(cr, 530, 250, 40, 135);
}

void PaintIcon(Canvas& c, const ImageRow&, int) {
    cairo_t* cr = c.cr();
    PathRoundRect(cr, 2, 2, 60, 60, 12);
    FillRadial(cr, 24, 20, 60, Hex(0x3a4590), Hex(0x0e1130), true);
    GoldTrim(cr, 3);
    DrawGem(cr, Gem::Red, 32, 33, 40, GemStyle{0.6, 1, 0, true});
}

// [SECTION] Main menu ----------------------------------------------------------------------------------------------

void PaintMenuBackground(Canvas& c, const ImageRow&, int) {
    cairo_t* cr = c.cr();
    const double w = c.width(), h = c.height(), horizon = h * 0.66;
    DuskSky(cr, w, h, horizon, 2024, 1.2);
    // moon high on the left
    Glow(cr, 120, 95, 110, WithAlpha(Hex(0xfff4d0), 0.3));
    cairo_arc(cr, 120, 95, 24, 0, 2 * Pi);
    FillRadial(cr, 112, 88, 32, Hex(0xfffdf0), Hex(0xeed9a0));
    cairo_arc(cr, 128, 90, 5, 0, 2 * Pi);
    SetColour(cr, WithAlpha(Hex(0xc9b47a), 0.4));
    cairo_fill(cr);
    // far mountains, snow-capped and hazy
    Hills(cr, w, h, horizon - 70, 70, Mix(pal::HillFar, pal::SkyRose, 0.35), 11);
    Hills(cr, w, h, horizon - 35, 45, Mix(pal::HillFar, pal::SkyRose, 0.15), 12);
    // a far castle on the right ridge
    CastleSilhouette(cr, 600, horizon - 40, 120, 70, Mix(pal::HillFar, pal::SkyDusk, 0.4), pal::SkyHaze, 8);
    Hills(cr, w, h, horizon + 5, 25, pal::HillFar, 13);
    cairo_rectangle(cr, 0, horizon - 30, w, 90);
    FillVertical(cr, horizon - 30, horizon + 60,
                 {WithAlpha(pal::SkyHaze, 0), WithAlpha(pal::SkyRose, 0.3), WithAlpha(pal::SkyRose, 0)});
    // lake in the valley reflecting the sky
    cairo_rectangle(cr, 0, horizon + 30, w, h - horizon - 30);
    FillVertical(cr, horizon + 30, h, {Mix(pal::SkyGlow, pal::SkyRose, 0.5), pal::SkyDusk, pal::SkyNight});
    Rng rng(5);
    for (int i = 0; i < 90; ++i) {
        const double y = rng.Range(horizon + 34, h), x = rng.Range(0, w), len = rng.Range(10, 60);
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x + len, y);
        SetColour(cr, WithAlpha(pal::SkyHaze, rng.Range(0.05, 0.25) * (1 - (y - horizon) / (h - horizon))));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
}

void PaintMenuMiddle(Canvas& c, const ImageRow&, int) {
    cairo_t* cr = c.cr();
    const double w = c.width(), h = c.height();
    // the castle's hill on the left, the valley's near bank across the bottom
    cairo_move_to(cr, -20, h);
    cairo_line_to(cr, -20, 410);
    cairo_curve_to(cr, 60, 372, 160, 360, 250, 362);
    cairo_curve_to(cr, 360, 364, 430, 390, 520, 440);
    cairo_curve_to(cr, 600, 480, 700, 470, w + 20, 455);
    cairo_line_to(cr, w + 20, h);
    cairo_close_path(cr);
    FillVertical(cr, 360, h, {Hex(0x3b3560), Hex(0x232440), Hex(0x121522)});
    // rim light along the hill's crest
    cairo_move_to(cr, -20, 410);
    cairo_curve_to(cr, 60, 372, 160, 360, 250, 362);
    cairo_curve_to(cr, 360, 364, 430, 390, 520, 440);
    Stroke(cr, WithAlpha(pal::SkyGlow, 0.35), 2);
    FancyCastle(cr, 22, 372, 0.8, 2024, 0);
    // a winding road to the gate
    cairo_move_to(cr, 230, 372);
    cairo_curve_to(cr, 260, 420, 180, 450, 240, 500);
    cairo_curve_to(cr, 300, 550, 260, 580, 300, 610);
    Stroke(cr, WithAlpha(Hex(0xc9a86e), 0.35), 7);
    // trees on the slopes
    Rng rng(77);
    for (int i = 0; i < 26; ++i) {
        const double x = rng.Range(-10, 560), base = 380 + (x > 300 ? (x - 300) * 0.3 : 0) + rng.Range(20, 150);
        const double th = rng.Range(28, 55);
        for (int k = 0; k < 3; ++k) {
            cairo_move_to(cr, x, base - th + k * th * 0.2);
            cairo_line_to(cr, x + th * (0.22 + k * 0.08), base - th * 0.3 + k * th * 0.1);
            cairo_line_to(cr, x - th * (0.22 + k * 0.08), base - th * 0.3 + k * th * 0.1);
            cairo_close_path(cr);
        }
        FillVertical(cr, base - th, base, {Hex(0x2a4a3a), Hex(0x15261e)});
    }
    // mist in the valley
    cairo_rectangle(cr, 0, 430, w, 120);
    FillVertical(cr, 430, 550,
                 {WithAlpha(pal::SkyRose, 0), WithAlpha(Hex(0xd8a0b8), 0.18), WithAlpha(pal::SkyRose, 0)});
}

void PaintMenuFront(Canvas& c, const ImageRow&, int) {
    cairo_t* cr = c.cr();
    const double w = c.width(), h = c.height();
    // dark foreground bank with grass along the bottom
    cairo_move_to(cr, -10, h + 10);
    cairo_line_to(cr, -10, 520);
    cairo_curve_to(cr, 120, 540, 260, 575, 420, 572);
    cairo_curve_to(cr, 560, 570, 700, 560, w + 10, 575);
    cairo_line_to(cr, w + 10, h + 10);
    cairo_close_path(cr);
    FillVertical(cr, 520, h, {Hex(0x141a1c), Hex(0x07090b)});
    Rng rng(99);
    for (int i = 0; i < 260; ++i) {
        const double x = rng.Range(-10, w + 10);
        const double base = x < 420 ? 520 + (x + 10) / 430 * 52 + 6 : 572 + 6;
        const double len = rng.Range(8, 26);
        cairo_move_to(cr, x, base + 4);
        cairo_curve_to(cr, x + rng.Range(-3, 3), base - len * 0.5, x + rng.Range(-6, 6), base - len * 0.8,
                       x + rng.Range(-8, 8), base - len);
        SetColour(cr, Mix(Hex(0x0c1410), Hex(0x2a3a2a), rng.Unit()));
        cairo_set_line_width(cr, rng.Range(1, 2.2));
        cairo_stroke(cr);
    }
    // a few flowers in jewel colours
    for (int i = 0; i < 16; ++i) {
        const double x = rng.Range(10, 520), y = 532 + x / 520 * 40 + rng.Range(-4, 10);
        const Rgb col = GemColour(static_cast<Gem>(rng.Int(0, 6)));
        for (int k = 0; k < 5; ++k) {
            const double a = k * 2 * Pi / 5;
            cairo_arc(cr, x + std::cos(a) * 2.4, y + std::sin(a) * 2.4, 2, 0, 2 * Pi);
        }
        SetColour(cr, Darker(col, 0.25));
        cairo_fill(cr);
        cairo_arc(cr, x, y, 1.2, 0, 2 * Pi);
        SetColour(cr, pal::GoldLight);
        cairo_fill(cr);
    }
    // an oak branch reaching in from the top-left corner, with leaves
    cairo_move_to(cr, -10, 40);
    cairo_curve_to(cr, 60, 30, 110, 10, 190, -10);
    Stroke(cr, Hex(0x0d0a08), 12);
    cairo_move_to(cr, 40, 36);
    cairo_curve_to(cr, 80, 60, 110, 70, 150, 66);
    Stroke(cr, Hex(0x0d0a08), 5);
    cairo_move_to(cr, 100, 18);
    cairo_curve_to(cr, 130, 30, 170, 30, 210, 22);
    Stroke(cr, Hex(0x0d0a08), 4);
    for (int i = 0; i < 60; ++i) {
        const double t = rng.Unit();
        const bool low = rng.Unit() < 0.5;
        const double x = low ? 40 + t * 110 : 100 + t * 110;
        const double y = low ? 36 + t * 30 : 18 + t * 6;
        cairo_save(cr);
        cairo_translate(cr, x + rng.Range(-8, 8), y + rng.Range(-6, 10));
        cairo_rotate(cr, rng.Range(0, 2 * Pi));
        cairo_scale(cr, 1, 0.5);
        cairo_arc(cr, 0, 0, rng.Range(5, 8), 0, 2 * Pi);
        cairo_restore(cr);
        SetColour(cr, Mix(Hex(0x0b120c), Hex(0x1f2e1c), rng.Unit()));
        cairo_fill(cr);
    }
    // fireflies over the bank
    for (int i = 0; i < 14; ++i) {
        const double x = rng.Range(20, 520), y = rng.Range(470, 560);
        Glow(cr, x, y, 9, WithAlpha(Hex(0xd8ff8a), 0.6));
        cairo_arc(cr, x, y, 1.3, 0, 2 * Pi);
        SetColour(cr, Hex(0xf4ffd0));
        cairo_fill(cr);
    }
}

void PaintMenuPanel(Canvas& c, const ImageRow& s, int) {
    cairo_t* cr = c.cr();
    const double w = c.width(), h = c.height();
    const double x0 = 16, x1 = w - 16, top = 14, tip = h - 4, bottom = h - 48;
    auto banner = [&](double grow) {
        cairo_new_path(cr);
        cairo_move_to(cr, x0 - grow, top);
        cairo_line_to(cr, x1 + grow, top);
        cairo_line_to(cr, x1 + grow, bottom);
        cairo_line_to(cr, w / 2, tip + grow * 0.5);
        cairo_line_to(cr, x0 - grow, bottom);
        cairo_close_path(cr);
    };
    // shadow and cloth
    cairo_save(cr);
    cairo_translate(cr, 4, 6);
    banner(0);
    SetColour(cr, WithAlpha(pal::Black, 0.45));
    cairo_fill(cr);
    cairo_restore(cr);
    banner(0);
    cairo_save(cr);
    cairo_clip(cr);
    VelvetPanel(cr, x0, top, x1 - x0, tip - top, 0, 314);
    // folds of the cloth
    for (int i = 0; i < 7; ++i) {
        const double fx = x0 + (x1 - x0) * (i + 0.5) / 7;
        cairo_rectangle(cr, fx - 10, top, 20, tip - top);
        SourceLinear(cr, fx - 10, 0, fx + 10, 0, {{0, {0, 0, 0, 0}}, {0.5, {1, 1, 1, 0.05}}, {1, {0, 0, 0, 0.12}}});
        cairo_fill(cr);
    }
    cairo_restore(cr);
    // embroidered border
    banner(-7);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    GoldTrim(cr, 2.5);
    banner(0);
    Stroke(cr, pal::Outline, 2.5);
    // rod and finials
    PathRoundRect(cr, 2, 4, w - 4, 12, 6);
    FillVertical(cr, 4, 16, {pal::WoodLight, pal::Wood, pal::WoodDark}, true);
    Stroke(cr, pal::Outline, 1.5);
    for (double fx : {8.0, w - 8}) {
        cairo_arc(cr, fx, 10, 8, 0, 2 * Pi);
        FillRadial(cr, fx - 3, 7, 10, pal::GoldLight, pal::GoldDark, true);
        Stroke(cr, pal::Outline, 1.2);
    }
    // crown above the play button
    const double cx = w / 2, cy = 70;
    GoldCrown(cr, cx, cy, {34, 16, 38, -12, 18, 2, -22});
    DrawGem(cr, Gem::Red, cx, cy + 4, 14);
    DrawGem(cr, Gem::Blue, cx - 22, cy + 8, 9);
    DrawGem(cr, Gem::Green, cx + 22, cy + 8, 9);
    Glow(cr, cx, cy - 22, 10, WithAlpha(pal::White, 0.6));
    // small gems between the button rows
    for (double gy : {246.0, 302.0, 350.0, 398.0, 442.0}) {
        DrawGem(cr, Gem::White, 20 + 5, gy, 8);
        DrawGem(cr, Gem::White, w - 25, gy, 8);
    }
    CutSlots(c, s.path);
}

void PaintMenuLogo(Canvas& c, const ImageRow&, int) {
    // drawn at y -19: the visible part starts 19 pixels down
    GameLogo(c.cr(), 170, 19 + 50, 0.74);
}

void PaintMenuPlay(Canvas& c, const ImageRow& s, int) { ButtonMedallion(c, s.variant % 3, pal::Sapphire, 14); }

void PaintMenuExit(Canvas& c, const ImageRow& s, int) { ButtonMedallion(c, s.variant % 3, Darker(pal::Ruby, 0.1), 8); }

// [SECTION] Birds --------------------------------------------------------------------------------------------------

void PaintBird(Canvas& c, const ImageRow& s, int frame) {
    cairo_t* cr = c.cr();
    const int species = s.variant / 2;
    const bool left = s.variant % 2 == 1;
    const double size = c.width();
    cairo_save(cr);
    if (left) {
        cairo_translate(cr, size, 0);
        cairo_scale(cr, -1, 1);
    }
    cairo_translate(cr, size / 2, size / 2);
    cairo_scale(cr, size / 100.0, size / 100.0);
    const double phase = 2 * Pi * frame / s.frames;
    const double flap = std::sin(phase); // -1 wings down .. 1 wings up
    const bool large = species >= 2;
    const Rgb body = species == 2 ? Hex(0x1c1a2e) : (species == 3 ? Hex(0x241a1a) : Hex(0x14121f));
    const double span = large ? 46 : 42;
    const double bob = -flap * 3;
    // a wing seen from the side: from the shoulder its tip sweeps from high above the back to below the belly;
    // near the level position it is foreshortened
    auto wing = [&](double amp, double dx, double dy, const Rgb& col) {
        const double sx = 4 + dx, sy = bob - 2 + dy;
        const double tipX = sx - span * (0.45 + 0.15 * std::fabs(flap)), tipY = sy - flap * span * amp;
        const double chord = 11 + 5 * std::fabs(flap);
        cairo_move_to(cr, sx + 4, sy);
        cairo_curve_to(cr, sx - 4, sy - flap * span * amp * 0.55 - 3, tipX + 14, tipY - 2, tipX, tipY);
        // trailing edge with three feather notches back to the body
        for (int k = 1; k <= 3; ++k) {
            const double t = k / 3.0;
            const double ex = tipX + (sx - 14 - tipX) * t, ey = tipY + (sy + 2 - tipY) * t;
            cairo_line_to(cr, ex + chord * 0.35 * (1 - t) + 3, ey + chord * 0.4 * (flap >= 0 ? 1 : -1) * (1 - t) + 2);
            cairo_line_to(cr, ex, ey);
        }
        cairo_line_to(cr, sx - 6, sy + 4);
        cairo_close_path(cr);
        SetColour(cr, col);
        cairo_fill(cr);
    };
    wing(0.75, 5, -3, Darker(body, 0.35)); // the far wing, behind the body
    // body
    cairo_save(cr);
    cairo_translate(cr, 0, bob);
    cairo_scale(cr, 1.0, 0.42);
    cairo_arc(cr, 0, 0, 18, 0, 2 * Pi);
    cairo_restore(cr);
    SetColour(cr, body);
    cairo_fill(cr);
    // head and beak (flying right)
    if (species == 2) {
        // crane: long neck and bill
        cairo_move_to(cr, 12, bob - 2);
        cairo_curve_to(cr, 22, bob - 4, 28, bob - 6, 34, bob - 6);
        Stroke(cr, body, 4);
        cairo_arc(cr, 35, bob - 6, 3.5, 0, 2 * Pi);
        SetColour(cr, body);
        cairo_fill(cr);
        cairo_move_to(cr, 37, bob - 7);
        cairo_line_to(cr, 48, bob - 5);
        cairo_line_to(cr, 37, bob - 4);
        SetColour(cr, Hex(0x8a5a2a));
        cairo_fill(cr);
        // legs trailing
        cairo_move_to(cr, -14, bob + 3);
        cairo_line_to(cr, -40, bob + 6);
        Stroke(cr, body, 1.5);
    } else {
        cairo_arc(cr, 17, bob - 3, large ? 6 : 6.5, 0, 2 * Pi);
        SetColour(cr, body);
        cairo_fill(cr);
        cairo_move_to(cr, 22, bob - 4);
        cairo_line_to(cr, species == 3 ? 30 : 28, bob - 1);
        cairo_line_to(cr, 22, bob);
        SetColour(cr, species == 3 ? Hex(0xc89a30) : Hex(0x3a3040));
        cairo_fill(cr);
        // tail
        cairo_move_to(cr, -15, bob - 2);
        cairo_line_to(cr, -28, bob - 6);
        cairo_line_to(cr, -27, bob + 3);
        cairo_line_to(cr, -15, bob + 3);
        cairo_close_path(cr);
        SetColour(cr, body);
        cairo_fill(cr);
    }
    wing(1.0, 0, 0, body);
    // the sunset catches the top edge of the near wing and back
    cairo_move_to(cr, -12, bob - 6);
    cairo_curve_to(cr, -4, bob - 8, 6, bob - 8, 14, bob - 7);
    Stroke(cr, WithAlpha(pal::SkyGlow, 0.5), 1.2);
    cairo_restore(cr);
}

} // namespace imagegen
