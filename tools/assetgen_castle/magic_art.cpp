// The pictures of the shop, the spells and the in-game interface: the shop's panel, buttons and item icons, the
// gamble prizes, the eight spell icons (each readable at 48 pixels), the interface panel, mana bar, counters, hammer
// gauge and buttons. Called by the castle generator's main (main.cpp) with the asset folder.
#include <cmath>
#include <functional>
#include <string>

#include "assetgen_images/ui.h"
#include "assetlib/art.h"
#include "magic_art.h"

using namespace art;

namespace {

const std::string* g_dir = nullptr;
bool* g_good = nullptr;

void Png(const std::string& path, const Canvas& c) { *g_good = WritePngRgba(*g_dir + "/" + path, c) && *g_good; }

void Plaques(const std::string& base, int w, int h, const Rgb& colour, double radius, bool disabled) {
    WritePlaques(*g_dir, *g_good, base, w, h, colour, radius, disabled);
}

// ---- Icon shapes, drawn into a square of side s centred at (cx, cy)
// --------------------------------------------------

void Bolt(cairo_t* cr, double cx, double cy, double s, const Rgb& c) {
    const double k = s / 64;
    cairo_move_to(cr, cx + 6 * k, cy - 28 * k);
    cairo_line_to(cr, cx - 14 * k, cy + 4 * k);
    cairo_line_to(cr, cx - 1 * k, cy + 4 * k);
    cairo_line_to(cr, cx - 8 * k, cy + 28 * k);
    cairo_line_to(cr, cx + 16 * k, cy - 6 * k);
    cairo_line_to(cr, cx + 3 * k, cy - 6 * k);
    cairo_line_to(cr, cx + 12 * k, cy - 28 * k);
    cairo_close_path(cr);
    FillVertical(cr, cy - 28 * k, cy + 28 * k, {pal::White, c, Darker(c, 0.3)}, true);
    Stroke(cr, pal::Outline, 2.2 * k);
}

void Hourglass(cairo_t* cr, double cx, double cy, double s) {
    const double k = s / 64;
    cairo_move_to(cr, cx - 14 * k, cy - 22 * k);
    cairo_line_to(cr, cx + 14 * k, cy - 22 * k);
    cairo_curve_to(cr, cx + 14 * k, cy - 6 * k, cx + 3 * k, cy - 4 * k, cx + 3 * k, cy);
    cairo_curve_to(cr, cx + 3 * k, cy + 4 * k, cx + 14 * k, cy + 6 * k, cx + 14 * k, cy + 22 * k);
    cairo_line_to(cr, cx - 14 * k, cy + 22 * k);
    cairo_curve_to(cr, cx - 14 * k, cy + 6 * k, cx - 3 * k, cy + 4 * k, cx - 3 * k, cy);
    cairo_curve_to(cr, cx - 3 * k, cy - 4 * k, cx - 14 * k, cy - 6 * k, cx - 14 * k, cy - 22 * k);
    cairo_close_path(cr);
    FillVertical(cr, cy - 22 * k, cy + 22 * k, {WithAlpha(pal::MagicBlue, 0.7), WithAlpha(pal::Diamond, 0.5)}, true);
    Stroke(cr, pal::Outline, 2 * k);
    // sand: a heap below, a thin stream
    cairo_move_to(cr, cx - 12 * k, cy + 21 * k);
    cairo_curve_to(cr, cx - 6 * k, cy + 10 * k, cx + 6 * k, cy + 10 * k, cx + 12 * k, cy + 21 * k);
    cairo_close_path(cr);
    SetColour(cr, pal::Topaz);
    cairo_fill(cr);
    cairo_rectangle(cr, cx - 1 * k, cy - 2 * k, 2 * k, 13 * k);
    cairo_fill(cr);
    for (double y : {-24.0, 22.0}) {
        PathRoundRect(cr, cx - 18 * k, cy + y * k, 36 * k, 5 * k, 2 * k);
        FillVertical(cr, cy + y * k, cy + (y + 5) * k, {pal::GoldLight, pal::GoldDark}, true);
        Stroke(cr, pal::Outline, 1.5 * k);
    }
}

void Rainbow(cairo_t* cr, double cx, double cy, double s) {
    const Gem gems[4] = {Gem::Red, Gem::Yellow, Gem::Green, Gem::Blue};
    for (int i = 0; i < 4; ++i) {
        const double a = (i * 90 + 45) * M_PI / 180;
        DrawGem(cr, gems[i], cx + std::cos(a) * s * 0.2, cy + std::sin(a) * s * 0.2, s * 0.36);
    }
    Glow(cr, cx, cy, s * 0.22, pal::White, 1.2);
    PathStar(cr, cx, cy, s * 0.16, s * 0.06, 4);
    SetColour(cr, pal::White);
    cairo_fill(cr);
}

void Bomb(cairo_t* cr, double cx, double cy, double s) {
    const double k = s / 64;
    cairo_arc(cr, cx - 2 * k, cy + 4 * k, 20 * k, 0, 2 * M_PI);
    FillRadial(cr, cx - 9 * k, cy - 3 * k, 24 * k, Hex(0x5a5f73), Hex(0x14161f), true);
    Stroke(cr, pal::Outline, 2 * k);
    cairo_rectangle(cr, cx + 6 * k, cy - 20 * k, 9 * k, 8 * k);
    FillStroke(cr, pal::Stone, pal::Outline, 1.5 * k);
    cairo_move_to(cr, cx + 11 * k, cy - 20 * k);
    cairo_curve_to(cr, cx + 14 * k, cy - 28 * k, cx + 20 * k, cy - 24 * k, cx + 22 * k, cy - 28 * k);
    Stroke(cr, pal::Wood, 2.5 * k);
    Glow(cr, cx + 22 * k, cy - 28 * k, 9 * k, pal::SkyGlow, 1.5);
    PathStar(cr, cx + 22 * k, cy - 28 * k, 6 * k, 2.5 * k, 6);
    SetColour(cr, pal::Topaz);
    cairo_fill(cr);
}

void TarBreaker(cairo_t* cr, double cx, double cy, double s) {
    const double k = s / 64;
    cairo_move_to(cr, cx, cy - 24 * k);
    cairo_curve_to(cr, cx + 8 * k, cy - 8 * k, cx + 20 * k, cy + 2 * k, cx + 18 * k, cy + 12 * k);
    cairo_curve_to(cr, cx + 16 * k, cy + 26 * k, cx - 16 * k, cy + 26 * k, cx - 18 * k, cy + 12 * k);
    cairo_curve_to(cr, cx - 20 * k, cy + 2 * k, cx - 8 * k, cy - 8 * k, cx, cy - 24 * k);
    cairo_close_path(cr);
    FillRadial(cr, cx - 6 * k, cy + 2 * k, 26 * k, Hex(0x4a4038), Hex(0x0e0b09), true);
    Stroke(cr, pal::Outline, 2 * k);
    // the crack of light through it
    cairo_move_to(cr, cx - 14 * k, cy - 4 * k);
    cairo_line_to(cr, cx - 2 * k, cy + 6 * k);
    cairo_line_to(cr, cx - 6 * k, cy + 12 * k);
    cairo_line_to(cr, cx + 14 * k, cy + 22 * k);
    Stroke(cr, pal::MagicGold, 3.5 * k);
    Glow(cr, cx - 2 * k, cy + 8 * k, 12 * k, pal::MagicGold, 0.9);
}

void Fireball(cairo_t* cr, double cx, double cy, double s) {
    const double k = s / 64;
    cairo_move_to(cr, cx + 10 * k, cy - 10 * k);
    cairo_curve_to(cr, cx - 8 * k, cy - 22 * k, cx - 26 * k, cy - 26 * k, cx - 28 * k, cy - 28 * k);
    cairo_curve_to(cr, cx - 22 * k, cy - 12 * k, cx - 24 * k, cy, cx - 10 * k, cy + 10 * k);
    cairo_close_path(cr);
    FillVertical(cr, cy - 28 * k, cy + 10 * k, {WithAlpha(pal::Topaz, 0.2), pal::Amber}, true);
    Stroke(cr, WithAlpha(pal::Outline, 0.6), 1.5 * k);
    cairo_arc(cr, cx + 4 * k, cy + 4 * k, 17 * k, 0, 2 * M_PI);
    FillRadial(cr, cx + 1 * k, cy + 1 * k, 18 * k, pal::GoldLight, pal::Ruby, true);
    Stroke(cr, pal::Outline, 2 * k);
    Glow(cr, cx + 1 * k, cy + 1 * k, 10 * k, pal::White, 0.8);
}

void ChainBreaker(cairo_t* cr, double cx, double cy, double s) {
    const double k = s / 64;
    for (int i = 0; i < 2; ++i) {
        const double x = cx + (i ? 10 : -10) * k, y = cy + (i ? 8 : -8) * k;
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_rotate(cr, -M_PI / 4);
        cairo_scale(cr, 1.0, 0.55);
        cairo_arc(cr, 0, 0, 14 * k, i ? -M_PI * 0.15 : M_PI * 0.85, i ? M_PI * 1.15 : M_PI * 2.15);
        cairo_restore(cr);
        Stroke(cr, pal::Outline, 8 * k, true);
        Stroke(cr, pal::StoneLight, 4.5 * k);
    }
    PathStar(cr, cx, cy, 11 * k, 4 * k, 8);
    SetColour(cr, pal::MagicGold);
    cairo_fill(cr);
    Glow(cr, cx, cy, 12 * k, pal::MagicGold, 1.0);
}

void Shuffle(cairo_t* cr, double cx, double cy, double s) {
    const double k = s / 64;
    for (int i = 0; i < 2; ++i) {
        const double a0 = i ? M_PI * 0.1 : M_PI * 1.1;
        cairo_arc(cr, cx, cy, 20 * k, a0, a0 + M_PI * 0.75);
        Stroke(cr, pal::Outline, 8 * k, true);
        Stroke(cr, pal::MagicBlue, 4.5 * k);
        const double a = a0 + M_PI * 0.75;
        const double tx = cx + std::cos(a) * 20 * k, ty = cy + std::sin(a) * 20 * k;
        const double dx = -std::sin(a), dy = std::cos(a); // along the arc
        cairo_move_to(cr, tx + dx * 10 * k, ty + dy * 10 * k);
        cairo_line_to(cr, tx - dy * 8 * k, ty + dx * 8 * k);
        cairo_line_to(cr, tx + dy * 8 * k, ty - dx * 8 * k);
        cairo_close_path(cr);
        FillStroke(cr, pal::MagicBlue, pal::Outline, 1.5 * k);
    }
    DrawGem(cr, Gem::Purple, cx - 5 * k, cy - 4 * k, 16 * k);
    DrawGem(cr, Gem::Green, cx + 6 * k, cy + 5 * k, 16 * k);
}

void Heart(cairo_t* cr, double cx, double cy, double s) {
    const double k = s / 64;
    cairo_move_to(cr, cx, cy + 22 * k);
    cairo_curve_to(cr, cx - 30 * k, cy, cx - 22 * k, cy - 26 * k, cx, cy - 12 * k);
    cairo_curve_to(cr, cx + 22 * k, cy - 26 * k, cx + 30 * k, cy, cx, cy + 22 * k);
    cairo_close_path(cr);
    FillRadial(cr, cx - 8 * k, cy - 8 * k, 30 * k, Lighter(pal::Ruby, 0.4), Darker(pal::Ruby, 0.4), true);
    Stroke(cr, pal::Outline, 2 * k);
    Glow(cr, cx - 9 * k, cy - 8 * k, 5 * k, pal::White, 0.8);
}

void Coin(cairo_t* cr, double cx, double cy, double s) {
    const double k = s / 64;
    cairo_arc(cr, cx, cy, 24 * k, 0, 2 * M_PI);
    FillRadial(cr, cx - 8 * k, cy - 8 * k, 30 * k, pal::GoldLight, pal::GoldDark, true);
    Stroke(cr, pal::Outline, 2 * k);
    cairo_arc(cr, cx, cy, 17 * k, 0, 2 * M_PI);
    Stroke(cr, pal::Bronze, 2 * k);
    PathStar(cr, cx, cy, 10 * k, 4 * k, 5);
    SetColour(cr, pal::Bronze);
    cairo_fill(cr);
}

void Potion(cairo_t* cr, double cx, double cy, double s) {
    const double k = s / 64;
    cairo_move_to(cr, cx - 6 * k, cy - 24 * k);
    cairo_line_to(cr, cx + 6 * k, cy - 24 * k);
    cairo_line_to(cr, cx + 6 * k, cy - 10 * k);
    cairo_curve_to(cr, cx + 24 * k, cy - 4 * k, cx + 24 * k, cy + 26 * k, cx, cy + 26 * k);
    cairo_curve_to(cr, cx - 24 * k, cy + 26 * k, cx - 24 * k, cy - 4 * k, cx - 6 * k, cy - 10 * k);
    cairo_close_path(cr);
    FillVertical(cr, cy - 24 * k, cy + 26 * k, {WithAlpha(pal::Diamond, 0.6), pal::Emerald, Darker(pal::Emerald, 0.4)},
                 true);
    Stroke(cr, pal::Outline, 2 * k);
    cairo_rectangle(cr, cx - 7 * k, cy - 30 * k, 14 * k, 7 * k);
    FillStroke(cr, pal::Wood, pal::Outline, 1.5 * k);
    Glow(cr, cx - 7 * k, cy + 4 * k, 6 * k, pal::White, 0.7);
}

void Chest(cairo_t* cr, double cx, double cy, double s) {
    const double k = s / 64;
    WoodPlanks(cr, cx - 24 * k, cy - 4 * k, 48 * k, 26 * k, 11);
    cairo_rectangle(cr, cx - 24 * k, cy - 4 * k, 48 * k, 26 * k);
    Stroke(cr, pal::Outline, 2 * k);
    cairo_move_to(cr, cx - 24 * k, cy - 4 * k);
    cairo_curve_to(cr, cx - 24 * k, cy - 24 * k, cx + 24 * k, cy - 24 * k, cx + 24 * k, cy - 4 * k);
    cairo_close_path(cr);
    FillVertical(cr, cy - 22 * k, cy - 4 * k, {pal::WoodLight, pal::WoodDark}, true);
    Stroke(cr, pal::Outline, 2 * k);
    for (double x : {-16.0, 16.0}) {
        cairo_move_to(cr, cx + x * k, cy - 18 * k);
        cairo_line_to(cr, cx + x * k, cy + 22 * k);
        GoldTrim(cr, 3 * k);
    }
    Rivet(cr, cx, cy, 4 * k);
    DrawGem(cr, Gem::Green, cx, cy - 14 * k, 12 * k);
}

void GambleBox(cairo_t* cr, double cx, double cy, double s) {
    const double k = s / 64;
    PathRoundRect(cr, cx - 22 * k, cy - 18 * k, 44 * k, 42 * k, 4 * k);
    FillVertical(cr, cy - 18 * k, cy + 24 * k, {pal::Amethyst, Darker(pal::Amethyst, 0.5)}, true);
    Stroke(cr, pal::Outline, 2 * k);
    cairo_move_to(cr, cx, cy - 18 * k);
    cairo_line_to(cr, cx, cy + 24 * k);
    GoldTrim(cr, 4 * k);
    // the bow on top
    for (int i = -1; i <= 1; i += 2) {
        cairo_move_to(cr, cx, cy - 18 * k);
        cairo_curve_to(cr, cx + i * 18 * k, cy - 34 * k, cx + i * 22 * k, cy - 16 * k, cx, cy - 18 * k);
        FillStroke(cr, pal::Gold, pal::Outline, 1.5 * k);
    }
    TextStyle st = imagegen::TitleStyle(26 * k);
    DrawText(cr, "?", cx - 11 * k, cy + 12 * k, st);
    DrawText(cr, "?", cx + 11 * k, cy + 12 * k, st);
}

void Nothing(cairo_t* cr, double cx, double cy, double s) {
    const double k = s / 64;
    cairo_arc(cr, cx, cy, 20 * k, 0, 2 * M_PI);
    FillStroke(cr, WithAlpha(pal::StoneLight, 0.25), pal::StoneLight, 3 * k);
    Twinkle(cr, cx + 10 * k, cy - 10 * k, 6 * k, pal::MagicBlue, 0.6);
}

void Hammer(cairo_t* cr, double cx, double cy, double s) {
    const double k = s / 64;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, -M_PI / 5);
    cairo_rectangle(cr, -3 * k, -8 * k, 6 * k, 34 * k);
    FillStroke(cr, pal::Wood, pal::Outline, 1.5 * k);
    PathRoundRect(cr, -16 * k, -20 * k, 32 * k, 14 * k, 2 * k);
    FillVertical(cr, -20 * k, -6 * k, {pal::StoneLight, pal::StoneDark}, true);
    Stroke(cr, pal::Outline, 2 * k);
    cairo_restore(cr);
    Glow(cr, cx + 14 * k, cy - 14 * k, 10 * k, pal::MagicGold, 1.2);
}

using IconFn = std::function<void(cairo_t*, double, double, double)>;

// An icon on its own: the shape on a soft glow, for the shop's items and the prizes.
void Icon(const std::string& path, int size, const Rgb& glow, const IconFn& draw) {
    Canvas c(size, size);
    Glow(c.cr(), size / 2.0, size / 2.0, size * 0.45, WithAlpha(glow, 0.55), 0.8);
    draw(c.cr(), size / 2.0, size / 2.0, size * 0.9);
    Png(path, c);
}

// A spell icon: the shape on a round jewel-coloured disc with a gold ring, so it reads at 48 pixels.
void SpellIcon(int n, const Rgb& disc, const IconFn& draw) {
    const int size = 96;
    Canvas c(size, size);
    cairo_t* cr = c.cr();
    cairo_arc(cr, 48, 48, 44, 0, 2 * M_PI);
    FillRadial(cr, 36, 34, 60, Lighter(disc, 0.25), Darker(disc, 0.55), true);
    GoldTrim(cr, 5);
    draw(cr, 48, 50, 74);
    Png("Images/GUI/Interface/spell" + std::to_string(n) + ".png", c);
}

} // namespace

void WritePlaques(const std::string& dir, bool& ok, const std::string& base, int w, int h, const Rgb& colour,
                  double radius, bool disabled) {
    static const char* const kSuffix[3] = {"_default.png", "_hovered.png", "_pressed.png"};
    for (int s = 0; s < 3; ++s) {
        Canvas c(w, h);
        imagegen::ButtonPlaque(c, s, colour, radius);
        ok = WritePngRgba(dir + "/" + base + kSuffix[s], c) && ok;
    }
    if (disabled) {
        Canvas c(w, h);
        imagegen::ButtonPlaque(c, 0, Desaturate(Darker(colour, 0.35), 0.85), radius);
        ok = WritePngRgba(dir + "/" + base + "_disabled.png", c) && ok;
    }
}

void PaintCastlePanel(Canvas& c, uint32_t seed, double ribbonY, double ribbonW, double ribbonH, const PanelRule& rule) {
    cairo_t* cr = c.cr();
    const double w = c.width(), h = c.height(), border = 14;
    OrnateFrame(cr, 0, 0, w, h, border, 10, seed);
    imagegen::VelvetPanel(cr, border, border, w - 2 * border, h - 2 * border, 6, seed + 1);
    imagegen::Ribbon(cr, w / 2, ribbonY, ribbonW, ribbonH, imagegen::ButtonRed);
    cairo_move_to(cr, rule.x0, rule.y0);
    cairo_line_to(cr, rule.x1, rule.y1);
    GoldTrim(cr, 3);
    for (double y : {border, h - border})
        for (double x : {border, w - border})
            Rivet(cr, x, y, 5);
}

void WriteMagic(const std::string& dir, bool& ok) {
    g_dir = &dir;
    g_good = &ok;
    MakeParents(dir + "/Images/GUI/Shop/x");
    MakeParents(dir + "/Images/GUI/Interface/x");

    // ---- The spells (by spell number) ----
    SpellIcon(0, pal::Sapphire, [](cairo_t* cr, double x, double y, double s) { Bolt(cr, x, y, s, pal::MagicBlue); });
    SpellIcon(1, Hex(0x2b5f8a), Hourglass);
    SpellIcon(2, pal::Amethyst, Rainbow);
    SpellIcon(3, Hex(0x8a3b2a), Bomb);
    SpellIcon(4, Hex(0x6b5a3a), TarBreaker);
    SpellIcon(5, Hex(0xa8341c), Fireball);
    SpellIcon(6, Hex(0x3f4a5e), ChainBreaker);
    SpellIcon(7, pal::Emerald, Shuffle);

    // ---- The shop ----
    {
        Canvas c(720, 560);
        cairo_t* cr = c.cr();
        PaintCastlePanel(c, 71, 40, 300, 46, {240, 84, 240, 470});
        imagegen::Filigree(cr, 120, 500, 40, 0);
        imagegen::Filigree(cr, 600, 500, 40, 180);
        Png("Images/GUI/Shop/shop_panel.png", c);
    }
    Plaques("Images/GUI/Shop/shop_btn", 210, 84, Hex(0x2a2350), 12, true);
    Icon("Images/GUI/Shop/item_life.png", 64, pal::Ruby, Heart);
    Icon("Images/GUI/Shop/item_chest.png", 64, pal::Gold, Chest);
    Icon("Images/GUI/Shop/item_potion.png", 64, pal::Emerald, Potion);
    Icon("Images/GUI/Shop/item_gamble.png", 64, pal::Amethyst, GambleBox);
    // the gamble prizes, shown in the shop box
    Icon("Images/GUI/Shop/prize_nothing.png", 96, pal::StoneLight, Nothing);
    Icon("Images/GUI/Shop/prize_gold.png", 96, pal::Gold, Coin);
    Icon("Images/GUI/Shop/prize_gems.png", 96, pal::MagicBlue, Rainbow);
    Icon("Images/GUI/Shop/prize_mana.png", 96, pal::Emerald, Potion);
    Icon("Images/GUI/Shop/prize_hammer.png", 96, pal::MagicGold, Hammer);
    Icon("Images/GUI/Shop/prize_life.png", 96, pal::Ruby, Heart);
    Icon("Images/GUI/Shop/prize_spell.png", 96, pal::MagicBlue,
         [](cairo_t* cr, double x, double y, double s) { Bolt(cr, x, y, s, pal::MagicGold); });

    // ---- The in-game interface ----
    {
        Canvas c(180, 600);
        cairo_t* cr = c.cr();
        OrnateFrame(cr, 0, 0, 180, 600, 10, 8, 81);
        imagegen::VelvetPanel(cr, 10, 10, 160, 580, 5, 82);
        for (double y : {100.0, 378.0, 540.0}) {
            cairo_move_to(cr, 20, y);
            cairo_line_to(cr, 160, y);
            GoldTrim(cr, 2);
        }
        Png("Images/GUI/Interface/igi_panel.png", c);
    }
    {
        Canvas c(298, 32);
        cairo_t* cr = c.cr();
        PathRoundRect(cr, 3, 3, 292, 26, 8);
        cairo_rectangle(cr, 10, 8, 278, 16); // the window the bar shows through
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        FillVertical(cr, 3, 29, {pal::StoneLight, pal::StoneDark}, true);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
        Stroke(cr, pal::Outline, 2);
        cairo_rectangle(cr, 10, 8, 278, 16);
        GoldTrim(cr, 2);
        Png("Images/GUI/Interface/igi_manaframe.png", c);
    }
    {
        Canvas c(278, 16);
        cairo_t* cr = c.cr();
        cairo_rectangle(cr, 0, 0, 278, 16);
        FillVertical(cr, 0, 16, {Lighter(pal::Emerald, 0.5), pal::Emerald, Darker(pal::Emerald, 0.45)});
        for (int x = 8; x < 278; x += 22)
            Twinkle(cr, x, 5, 3, pal::White, 0.35);
        Png("Images/GUI/Interface/igi_manafill.png", c);
    }
    Icon("Images/GUI/Interface/igi_gold.png", 26, pal::Gold, Coin);
    Icon("Images/GUI/Interface/igi_life.png", 26, pal::Ruby, Heart);
    {
        Canvas c(26, 72);
        cairo_t* cr = c.cr();
        PathRoundRect(cr, 2, 2, 22, 68, 4);
        Stroke(cr, pal::Outline, 3, true);
        GoldTrim(cr, 2);
        Png("Images/GUI/Interface/igi_gauge.png", c);
    }
    {
        Canvas c(64, 16); // four frames of the marching dot, 16 x 16
        cairo_t* cr = c.cr();
        for (int f = 0; f < 4; ++f) {
            Glow(cr, f * 16 + 8, 8, 7, pal::MagicGold, 0.7 + 0.1 * f);
            cairo_arc(cr, f * 16 + 8, 8, 2.0 + 0.5 * f, 0, 2 * M_PI);
            SetColour(cr, pal::GoldLight);
            cairo_fill(cr);
        }
        Png("Images/GUI/Interface/igi_dot.png", c);
    }
    Plaques("Images/GUI/Interface/igi_spell", 60, 60, Hex(0x1a1d3f), 10, true);
    Plaques("Images/GUI/Interface/igi_hammer", 64, 64, Hex(0x2a2350), 12, false);
    Plaques("Images/GUI/Interface/igi_menu", 120, 36, imagegen::ButtonBlue, -1, false);
}
