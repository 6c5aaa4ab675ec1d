// Painters of the message boxes, dialogs (level won, high scores, in-game menu, players, options, credits, help,
// wallpapers), the tutorial and tip images and the end-of-campaign picture. Named by the table in inventory.cpp.
//
// [SECTION] Buttons and small widgets
// [SECTION] Message boxes and dialogs
// [SECTION] Tutorial and tips
// [SECTION] Help pages
// [SECTION] Wallpapers and the end picture
#include "assetgen_images/painters.h"
#include "assetlib/castles.h"
#include "assetgen_images/ui.h"

#include <algorithm>
#include <cmath>

namespace imagegen {

using namespace art;

namespace {
constexpr double Pi = 3.14159265358979323846;

void Divider(cairo_t* cr, double x0, double x1, double y) {
    cairo_move_to(cr, x0, y);
    cairo_line_to(cr, x1, y);
    GoldTrim(cr, 1.6);
    DrawGem(cr, Gem::Blue, (x0 + x1) / 2, y, 10);
}

void Darken(cairo_t* cr, double alpha) {
    SetColour(cr, WithAlpha(Hex(0x080a1c), alpha));
    cairo_paint(cr);
}

// A bar of dark wood with a gold edge along its top, filling the rectangle (the bottom bars of full screens).
void BottomBar(cairo_t* cr, double x, double y, double w, double h, uint32_t seed) {
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    StoneWall(cr, x, y, w, h, seed, 18, Hex(0x6a6276));
    cairo_rectangle(cr, x, y, w, h);
    FillVertical(cr, y, y + h, {WithAlpha(pal::Black, 0.1), WithAlpha(pal::Black, 0.5)});
    cairo_restore(cr);
    cairo_move_to(cr, x, y + 2);
    cairo_line_to(cr, x + w, y + 2);
    GoldTrim(cr, 3);
}

// The one check box of the intro page and the first help page switches the tutorial's introduction on or off; its
// label, right of the box the game puts at (246, 546).
constexpr const char* kIntroSwitchLabel = "Einführung anzeigen";
void IntroSwitchLabel(cairo_t* cr) {
    TextStyle label = TitleStyle(18);
    label.face = Face::Capitals;
    label.align = Align::Left;
    label.fill = Hex(0xe2e8ff);
    label.fillBottom = Hex(0xb9c2ea);
    DrawText(cr, kIntroSwitchLabel, 302, 577, label);
}

// The foot of a full-screen page: the bottom bar from y down, the check box's label when the page shows the box,
// and the frame's button slots cut.
void PageFoot(Canvas& c, const std::string& framePath, double y, uint32_t seed, bool switchLabel) {
    cairo_t* cr = c.cr();
    BottomBar(cr, 0, y, c.width(), c.height() - y, seed);
    if (switchLabel) IntroSwitchLabel(cr);
    CutSlots(c, framePath);
}

// The wallpaper scene of castle n at any size: the castle finished, in its own setting, with a soft near bank.
void WallScene(cairo_t* cr, double w, double h, int n) {
    const double scale = 1.3 * w / 1024.0, castleW = castles::Width * scale, groundY = h * 0.86;
    const double castleX = w * 0.42 - castleW / 2;
    castles::DrawScene(cr, n, w, h, castleX + castleW / 2, groundY);
    castles::DrawCastle(cr, n, castleX, groundY, scale);
    cairo_rectangle(cr, 0, h * 0.84, w, h * 0.16);
    FillVertical(cr, h * 0.84, h, {WithAlpha(pal::Black, 0), WithAlpha(pal::Black, 0.5)});
}
} // namespace

// [SECTION] Buttons and small widgets ------------------------------------------------------------------------------

void PaintPlaque(Canvas& c, const ImageRow& s, int) {
    static const Rgb colours[3] = {ButtonBlue, ButtonRed, ButtonGreen};
    ButtonPlaque(c, s.variant % 3, colours[(s.variant / 3) % 3]);
}

void PaintSliderKnob(Canvas& c, const ImageRow&, int) {
    cairo_t* cr = c.cr();
    const double w = c.width(), h = c.height();
    cairo_new_path(cr);
    cairo_move_to(cr, 2, 3);
    cairo_line_to(cr, w - 2, 3);
    cairo_line_to(cr, w - 2, h * 0.6);
    cairo_line_to(cr, w / 2, h - 2);
    cairo_line_to(cr, 2, h * 0.6);
    cairo_close_path(cr);
    FillVertical(cr, 3, h, {pal::GoldLight, pal::Gold, pal::GoldDark}, true);
    Stroke(cr, pal::Outline, 1.5);
    DrawGem(cr, Gem::Blue, w / 2, h * 0.4, w * 0.55);
}

void PaintCheckBox(Canvas& c, const ImageRow& s, int) {
    cairo_t* cr = c.cr();
    const double w = c.width(), h = c.height();
    PathRoundRect(cr, 5, 5, w - 10, h - 10, 8);
    FillVertical(cr, 5, h - 5, {pal::GoldLight, pal::Gold, pal::GoldDark});
    Recess(cr, 9, 9, w - 18, h - 18, 5);
    if (s.variant == 1) {
        Glow(cr, w / 2, h / 2, w * 0.5, WithAlpha(pal::Emerald, 0.7));
        cairo_move_to(cr, w * 0.26, h * 0.52);
        cairo_line_to(cr, w * 0.44, h * 0.7);
        cairo_line_to(cr, w * 0.8, h * 0.22);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        Stroke(cr, pal::Outline, 8, true);
        Stroke(cr, Lighter(pal::Emerald, 0.3), 5, true);
        Stroke(cr, WithAlpha(pal::White, 0.7), 1.5);
    }
}

void PaintCoin(Canvas& c, const ImageRow&, int) {
    cairo_t* cr = c.cr();
    const double cx = c.width() / 2.0, cy = c.height() / 2.0, r = c.width() / 2.0 - 2;
    cairo_arc(cr, cx + 1, cy + 1.5, r, 0, 2 * Pi);
    SetColour(cr, WithAlpha(pal::Black, 0.4));
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * Pi);
    FillRadial(cr, cx - r * 0.4, cy - r * 0.4, r * 1.8, pal::GoldLight, pal::GoldDark, true);
    Stroke(cr, pal::Bronze, 1.5);
    cairo_arc(cr, cx, cy, r * 0.75, 0, 2 * Pi);
    Stroke(cr, WithAlpha(pal::Bronze, 0.7), 1);
    // embossed crown
    const double s = r * 0.5;
    cairo_move_to(cr, cx - s, cy + s * 0.5);
    cairo_line_to(cr, cx - s, cy - s * 0.4);
    cairo_line_to(cr, cx - s * 0.5, cy + s * 0.05);
    cairo_line_to(cr, cx, cy - s * 0.6);
    cairo_line_to(cr, cx + s * 0.5, cy + s * 0.05);
    cairo_line_to(cr, cx + s, cy - s * 0.4);
    cairo_line_to(cr, cx + s, cy + s * 0.5);
    cairo_close_path(cr);
    SetColour(cr, pal::GoldDark);
    cairo_fill(cr);
    Twinkle(cr, cx - r * 0.45, cy - r * 0.45, r * 0.5, pal::White, 0.9);
}

void PaintGemPicture(Canvas& c, const ImageRow& s, int) {
    DrawGem(c.cr(), static_cast<Gem>(s.variant % GemCount), c.width() / 2.0, c.height() / 2.0, c.width() * 0.82);
}

// [SECTION] Message boxes and dialogs ------------------------------------------------------------------------------

void PaintDlg2(Canvas& c, const ImageRow& s, int) {
    DialogBody(c, 202, 16, 16);
    DrawGem(c.cr(), Gem::Red, c.width() / 2.0, 9, 16);
    CutSlots(c, s.path);
}

void PaintDlg3(Canvas& c, const ImageRow& s, int) {
    cairo_t* cr = c.cr();
    DialogBody(c, 303, 18, 18);
    DrawGem(cr, Gem::Blue, c.width() / 2.0, 10, 18);
    // The game puts the two buttons at x 74 and 195 (99 pixels wide, from y 205), left of the box's middle: a
    // seal right of the second one closes the row, so buttons and seal stand centred in the box together.
    const double sx = 362, sy = 219, r = 19;
    cairo_move_to(cr, 300, sy);
    cairo_line_to(cr, sx - r, sy);
    Stroke(cr, WithAlpha(pal::Gold, 0.7), 2);
    Glow(cr, sx, sy, r * 1.7, WithAlpha(pal::MagicGold, 0.35));
    cairo_arc(cr, sx, sy, r, 0, 2 * Pi);
    FillRadial(cr, sx - r * 0.4, sy - r * 0.4, r * 1.8, pal::GoldLight, pal::GoldDark, true);
    Stroke(cr, pal::Outline, 1.5);
    DrawGem(cr, Gem::Blue, sx, sy, r * 1.15);
    CutSlots(c, s.path);
}

void PaintWlFrame(Canvas& c, const ImageRow& s, int) {
    cairo_t* cr = c.cr();
    DialogBody(c, 404, 18, 18);
    const double cx = c.width() / 2.0;
    // laurel wreath round a ruby at the top
    for (int side : {-1, 1}) {
        for (int i = 0; i < 7; ++i) {
            const double a = Pi / 2 + side * (0.35 + i * 0.3);
            const double lx = cx + std::cos(a) * 34, ly = 52 - std::sin(a) * 26;
            cairo_save(cr);
            cairo_translate(cr, lx, ly);
            cairo_rotate(cr, -a + side * 0.6);
            cairo_scale(cr, 1, 0.45);
            cairo_arc(cr, 0, 0, 8, 0, 2 * Pi);
            cairo_restore(cr);
            FillVertical(cr, ly - 6, ly + 6, {pal::GoldLight, pal::GoldDark}, true);
            Stroke(cr, pal::Outline, 0.8);
        }
    }
    Glow(cr, cx, 45, 40, WithAlpha(pal::MagicGold, 0.5));
    DrawGem(cr, Gem::Red, cx, 45, 30);
    Divider(cr, 40, c.width() - 40, 140);
    Divider(cr, 40, c.width() - 40, 230);
    CutSlots(c, s.path);
}

void PaintHsFrame(Canvas& c, const ImageRow& s, int) {
    cairo_t* cr = c.cr();
    // The frame stands at y 44 over the main menu, whose logo reaches down to y 114: the body starts 72 pixels down
    // (screen y 116), so the whole logo stays in sight; the title band sits just inside its top border.
    DialogBody(c, 505, 18, 16, false, 72);
    // the title band, centred on the game's title line (x 155, where "Highscores" and the reset button are
    // centred), not on the frame; it leaves room for its tails inside the border
    const double cx = 155;
    Glow(cr, cx, 114, 60, WithAlpha(pal::MagicGold, 0.3));
    Ribbon(cr, cx, 114, 146, 28, Hex(0x7a1f2a));
    Recess(cr, 28, 152, 222, 196, 8);
    // a faint goblet in the table's recess: an empty table is a cup waiting to be filled, not a blank box
    cairo_save(cr);
    cairo_translate(cr, 139, 250);
    cairo_scale(cr, 1.6, 1.6);
    cairo_move_to(cr, -24, -30);
    cairo_curve_to(cr, -24, 0, -10, 10, -4, 12);
    cairo_line_to(cr, -4, 22);
    cairo_line_to(cr, -16, 30);
    cairo_line_to(cr, 16, 30);
    cairo_line_to(cr, 4, 22);
    cairo_line_to(cr, 4, 12);
    cairo_curve_to(cr, 10, 10, 24, 0, 24, -30);
    cairo_close_path(cr);
    SetColour(cr, WithAlpha(pal::Gold, 0.1));
    cairo_fill(cr);
    cairo_restore(cr);
    // The buttons stand left of the frame's middle (back at x 43, reset at 104, both 99 wide): a gem on a gold
    // line beside each closes its row, so each row stands centred.
    const auto rowGem = [cr](double lineFrom, double lineTo, double gx, double gy) {
        cairo_move_to(cr, lineFrom, gy);
        cairo_line_to(cr, lineTo, gy);
        Stroke(cr, WithAlpha(pal::Gold, 0.7), 2);
        Glow(cr, gx, gy, 16, WithAlpha(pal::MagicGold, 0.35));
        DrawGem(cr, Gem::Green, gx, gy, 18);
    };
    rowGem(146, 206, 218, 470.5); // right of "Zurück"
    rowGem(72, 100, 64, 416.5);   // left of "Löschen"
    CutSlots(c, s.path);
}

void PaintIGMenuFrame(Canvas& c, const ImageRow& s, int) {
    cairo_t* cr = c.cr();
    DialogBody(c, 606, 20, 18);
    const double cx = c.width() / 2.0;
    // castle emblem in a round medallion
    cairo_arc(cr, cx, 110, 70, 0, 2 * Pi);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    DuskSky(cr, c.width(), 180, 150, 606, 0.6);
    Hills(cr, c.width(), 180, 150, 8, pal::HillFar, 607);
    FancyCastle(cr, cx - 62, 158, 0.31, 17, 1);
    cairo_rectangle(cr, 0, 156, c.width(), 30);
    FillVertical(cr, 156, 186, {pal::HillMid, pal::HillNear});
    cairo_restore(cr);
    cairo_arc(cr, cx, 110, 70, 0, 2 * Pi);
    GoldTrim(cr, 4);
    Ribbon(cr, cx, 200, 190, 30, Hex(0x23356e));
    TextStyle t = TitleStyle(22);
    DrawText(cr, "Spielmenü", cx, 207, t);
    CutSlots(c, s.path);
}

void PaintPlayersBg(Canvas& c, const ImageRow& s, int) {
    cairo_t* cr = c.cr();
    const double w = c.width(), h = c.height();
    // hangs from the top of the screen: a banner with a pointed bottom
    auto banner = [&](double grow) {
        cairo_new_path(cr);
        cairo_move_to(cr, 6 - grow, 0);
        cairo_line_to(cr, w - 6 + grow, 0);
        cairo_line_to(cr, w - 6 + grow, h - 40);
        cairo_line_to(cr, w / 2, h - 2 + grow * 0.5);
        cairo_line_to(cr, 6 - grow, h - 40);
        cairo_close_path(cr);
    };
    banner(0);
    cairo_save(cr);
    cairo_clip(cr);
    VelvetPanel(cr, 0, 0, w, h, 0, 707);
    cairo_restore(cr);
    banner(-8);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    GoldTrim(cr, 2.5);
    banner(0);
    Stroke(cr, pal::Outline, 2.5);
    // crest and title
    // a sapphire shield with a gold crown, two gems at its sides
    const double sx = w / 2, sy = 96, sw = 74, sh = 92;
    Glow(cr, sx, sy, 90, WithAlpha(pal::MagicBlue, 0.3));
    Shield(cr, sx, sy, sw, sh, {5, 3.5, -1}, Lighter(pal::Sapphire, 0.15), Darker(pal::Sapphire, 0.6));
    const double cy = sy - 6;
    GoldCrown(cr, sx, cy, {22, 14, 25, -8, 11, 2, -16});
    DrawGem(cr, Gem::Red, sx, cy + 5, 11);
    DrawGem(cr, Gem::Orange, sx - 78, sy + 4, 30, GemStyle{0.4, 1, 0, true});
    DrawGem(cr, Gem::Green, sx + 78, sy + 4, 30, GemStyle{0.4, 1, 0, true});
    Ribbon(cr, w / 2, 180, 220, 36, Hex(0x7a1f2a));
    DrawText(cr, "Spieler", w / 2, 189, TitleStyle(28));
    // the well behind the name list (list at x +190, width 120)
    Recess(cr, 182, 238, 136, 236, 8);
    CutSlots(c, s.path);
}

void PaintOptFrame(Canvas& c, const ImageRow& s, int) {
    cairo_t* cr = c.cr();
    DialogBody(c, 808, 20, 18);
    // title ribbon where the game writes "OPTIONEN"
    Ribbon(cr, 364, 33, 230, 34, Hex(0x7a1f2a));
    // slider grooves: knobs at x 211..461 (24 wide), rows centred on y 98, 137, 176
    for (double y : {98.0, 137.0, 176.0}) {
        Recess(cr, 205, y - 5, 286, 10, 5);
        for (int k = 0; k <= 10; ++k) {
            const double x = 223 + k * 25;
            cairo_move_to(cr, x, y + 8);
            cairo_line_to(cr, x, y + (k % 5 == 0 ? 14 : 11));
            Stroke(cr, WithAlpha(pal::Gold, 0.7), 1.2);
        }
    }
    Divider(cr, 50, c.width() - 50, 258);
    CutSlots(c, s.path);
}

void PaintCreditsFrame(Canvas& c, const ImageRow& s, int) {
    cairo_t* cr = c.cr();
    DialogBody(c, 909, 20, 18);
    const double cx = c.width() / 2.0;
    // owl crest of the studio
    Glow(cr, cx, 62, 60, WithAlpha(pal::MagicBlue, 0.35));
    cairo_arc(cr, cx, 62, 36, 0, 2 * Pi);
    FillRadial(cr, cx - 10, 50, 50, Hex(0x39407a), Hex(0x10132c), true);
    GoldTrim(cr, 3);
    for (int side : {-1, 1}) {
        cairo_arc(cr, cx + side * 11, 56, 9, 0, 2 * Pi);
        SetColour(cr, pal::Gold);
        cairo_fill(cr);
        cairo_arc(cr, cx + side * 11, 56, 4, 0, 2 * Pi);
        SetColour(cr, pal::Outline);
        cairo_fill(cr);
    }
    cairo_move_to(cr, cx - 4, 66);
    cairo_line_to(cr, cx + 4, 66);
    cairo_line_to(cr, cx, 74);
    cairo_close_path(cr);
    SetColour(cr, pal::GoldDark);
    cairo_fill(cr);
    Ribbon(cr, cx, 124, 220, 34, Hex(0x23356e));
    Recess(cr, 112, 156, 236, 270, 8);
    CutSlots(c, s.path);
}

// [SECTION] Tutorial and tips --------------------------------------------------------------------------------------

void PaintTutFrame(Canvas& c, const ImageRow&, int) {
    cairo_t* cr = c.cr();
    DialogBody(c, 1001, 14, 14);
    // two glowing gems in the side margins; the text box is 66..240 by 45..150
    for (double x : {36.0, 270.0}) {
        Glow(cr, x, 97, 26, WithAlpha(pal::MagicBlue, 0.5));
        DrawGem(cr, x < 100 ? Gem::Blue : Gem::Purple, x, 97, 28);
    }
}

void PaintTutIntro(Canvas& c, const ImageRow& s, int) {
    cairo_t* cr = c.cr();
    Landscape(cr, 800, 600, 1100, 3, 1.0, false);
    FancyCastle(cr, 480, 470, 0.7, 12, 3);
    Darken(cr, 0.35);
    ParchmentSheet(cr, 70, 40, 660, 480, 1101);
    DrawTextIn(cr, "Willkommen in Brisquel 2!", 150, 62, 500, 50, InkHeading(38));
    Filigree(cr, 118, 86, 40, 0);
    Filigree(cr, 682, 86, 40, 180);
    TextStyle body = InkStyle(19);
    double y = DrawParagraph(cr,
                             "Das Königreich liegt in Trümmern. Sammle Edelsteine, um die sieben Burgen wieder "
                             "aufzubauen!",
                             120, 145, 560, 25, body);
    y = DrawParagraph(cr,
                      "Tausche zwei benachbarte Steine, sodass drei oder mehr gleiche in einer Reihe liegen. "
                      "Die Reihe verschwindet, die Steine darüber fallen nach.",
                      120, y + 12, 560, 25, body);
    // a small board showing a swap that makes a row of three
    const double bx = 250, by = y + 10, cell = 44;
    PathRoundRect(cr, bx - 8, by - 8, cell * 7 + 16, cell * 2 + 16, 8);
    SetColour(cr, WithAlpha(Hex(0x1a1d3f), 0.85));
    cairo_fill(cr);
    const int row1[7] = {4, 0, 0, 3, 0, 5, 2};
    const int row2[7] = {1, 3, 5, 0, 6, 4, 1};
    for (int i = 0; i < 7; ++i) {
        DrawGem(cr, static_cast<Gem>(row1[i]), bx + cell * (i + 0.5), by + cell * 0.5, cell * 0.8,
                GemStyle{i >= 1 && i <= 2 ? 0.6 : 0.0, 1, 0, true});
        DrawGem(cr, static_cast<Gem>(row2[i]), bx + cell * (i + 0.5), by + cell * 1.5, cell * 0.8,
                GemStyle{i == 3 ? 0.8 : 0.0, 1, 0, true});
    }
    // the pair to swap: the fourth column, framed in gold
    PathRoundRect(cr, bx + cell * 3 + 1, by + 1, cell - 2, cell * 2 - 2, 8);
    Stroke(cr, WithAlpha(pal::GoldLight, 0.95), 3);
    TextStyle arrows = InkStyle(22);
    arrows.face = Face::SansBold;
    arrows.fill = pal::GoldLight;
    arrows.align = Align::Centre;
    DrawText(cr, "\u21C5", bx + cell * 3.5, by + cell + 8, arrows);
    y = by + cell * 2 + 40;
    DrawParagraph(cr, "Je länger die Reihe, desto mehr Punkte. Achte auf die Zeit – und viel Glück!", 120, y, 560, 25,
                  body);
    PageFoot(c, s.path, 536, 1102, true);
}

void PaintTutArrow(Canvas& c, const ImageRow&, int) {
    cairo_t* cr = c.cr();
    const double w = c.width(), h = c.height();
    Glow(cr, w - 12, h / 2, 14, WithAlpha(pal::MagicGold, 0.6));
    cairo_move_to(cr, 3, h / 2 - 5);
    cairo_line_to(cr, w - 22, h / 2 - 5);
    cairo_line_to(cr, w - 24, 3);
    cairo_line_to(cr, w - 2, h / 2);
    cairo_line_to(cr, w - 24, h - 3);
    cairo_line_to(cr, w - 22, h / 2 + 5);
    cairo_line_to(cr, 3, h / 2 + 5);
    cairo_close_path(cr);
    FillVertical(cr, 3, h - 3, {pal::GoldLight, pal::Gold, pal::GoldDark}, true);
    Stroke(cr, pal::Outline, 1.6);
}

void PaintTipBox(Canvas& c, const ImageRow&, int) {
    cairo_t* cr = c.cr();
    const double w = c.width(), h = c.height();
    VelvetPanel(cr, 2, 2, w - 4, h - 4, 10, 1201);
    PathRoundRect(cr, 2, 2, w - 4, h - 4, 10);
    Stroke(cr, pal::Outline, 3, true);
    GoldTrim(cr, 2.2);
    PathRoundRect(cr, 8, 8, w - 16, h - 16, 6);
    Stroke(cr, WithAlpha(pal::Gold, 0.35), 1);
}

void PaintTipArrow(Canvas& c, const ImageRow&, int) {
    cairo_t* cr = c.cr();
    const double w = c.width(), h = c.height();
    Glow(cr, w / 2, h - 12, 16, WithAlpha(pal::Topaz, 0.6));
    cairo_move_to(cr, w / 2 - 7, 3);
    cairo_line_to(cr, w / 2 + 7, 3);
    cairo_line_to(cr, w / 2 + 7, h - 24);
    cairo_line_to(cr, w - 3, h - 26);
    cairo_line_to(cr, w / 2, h - 2);
    cairo_line_to(cr, 3, h - 26);
    cairo_line_to(cr, w / 2 - 7, h - 24);
    cairo_close_path(cr);
    SourceLinear(cr, 0, 0, w, 0, {{0, {1, 0.97, 0.6}}, {0.5, WithAlpha(pal::Topaz, 1)}, {1, {0.75, 0.5, 0.05}}});
    cairo_fill_preserve(cr);
    Stroke(cr, pal::Outline, 1.6);
}

void PaintIngameInterface(Canvas& c, const ImageRow&, int) {
    cairo_t* cr = c.cr();
    const double w = c.width(), h = c.height();
    StoneWall(cr, 0, 0, w, h, 1301, 24, Hex(0x7a7086));
    cairo_move_to(cr, 3, 0);
    cairo_line_to(cr, 3, h);
    GoldTrim(cr, 4);
    for (double y : {20.0, 150.0, 300.0, 450.0}) {
        Recess(cr, 18, y, w - 36, 110, 10);
    }
}

// [SECTION] Help pages ---------------------------------------------------------------------------------------------

void PaintHelpFrame(Canvas& c, const ImageRow& s, int) {
    cairo_t* cr = c.cr();
    StoneWall(cr, 0, 0, 800, 600, 1401, 30);
    SetColour(cr, WithAlpha(Hex(0x10122a), 0.35));
    cairo_paint(cr);
    ParchmentSheet(cr, 40, 22, 720, 508, 1402);
    for (double x : {30.0, 770.0}) {
        for (double y : {30.0, 520.0}) {
            Rivet(cr, x, y, 7);
        }
    }
    PageFoot(c, s.path, 538, 1403, false); // the label is on page 1, the only page with the check box
}

void PaintHelpPage(Canvas& c, const ImageRow& s, int) {
    cairo_t* cr = c.cr();
    // content only on the frame's parchment (40..760, 22..530); everything else stays transparent
    const double x0 = 90, width = 620;
    TextStyle body = InkStyle(19);
    TextStyle heading = InkHeading(38);
    auto gemRow = [&](double y, std::initializer_list<int> gems, double size) {
        double x = 400 - (gems.size() * size * 1.1) / 2 + size * 0.55;
        for (int g : gems) {
            DrawGem(cr, static_cast<Gem>(g), x, y, size);
            x += size * 1.1;
        }
    };
    if (s.variant == 1) {
        IntroSwitchLabel(cr);
        DrawText(cr, "Das Spiel", 400, 80, heading);
        double y = DrawParagraph(cr,
                                 "Tausche zwei benachbarte Steine mit der Maus. Liegen danach drei oder mehr gleiche "
                                 "Steine in einer Reihe oder Spalte, verschwinden sie und bringen Punkte.",
                                 x0, 130, width, 26, body);
        gemRow(y + 30, {0, 0, 0}, 44);
        y = DrawParagraph(cr,
                          "Jede Farbe hat ihre eigene Form: der rote Stein ist rund, der orange sechseckig, der "
                          "gelbe dreieckig, der grüne viereckig, der blaue eine Raute, der violette ein Tropfen und "
                          "der weiße ein Stern.",
                          x0, y + 80, width, 26, body);
        gemRow(y + 30, {0, 1, 2, 3, 4, 5, 6}, 44);
        DrawParagraph(cr,
                      "Ein Level ist geschafft, wenn unter keinem Feld mehr eine Kachel liegt. Läuft die Zeit ab, "
                      "verlierst du ein Leben.",
                      x0, y + 90, width, 26, body);
    } else if (s.variant == 2) {
        DrawText(cr, "Besondere Steine", 400, 80, heading);
        // the special pieces, drawn with the editor's piece pictures at a larger size
        auto icon = [&](const char* name, double x, double y) {
            ImageRow item;
            item.path = std::string("images/editor/") + name + ".png";
            item.width = item.height = 42;
            Canvas ic(42, 42);
            PaintEditorIcon(ic, item, 0);
            cairo_set_source_surface(cr, ic.surface(), x - 21, y - 21);
            cairo_paint(cr);
        };
        struct Item {
            const char* icons[2];
            const char* text;
        } items[] = {
            {{"multicolor", nullptr},
             "Vier gleiche in einer Reihe hinterlassen einen Zauberstein, der zu jeder Farbe passt."},
            {{"icon_bomb", "launcher_icon"},
             "Bomben sprengen ihre Nachbarn. Fünf oder mehr hinterlassen eine Spirale: ein Klick darauf schickt "
             "zwei Raketen durch ihre Reihe."},
            {{"icon_chain1", "frozen"},
             "Ketten und Eis halten Steine fest: bilde eine Reihe mit ihnen, um sie zu lösen."},
            {{"coin2", "bottle"}, "Münzen bringen Gold, Manaflaschen füllen die Zauberleiste."},
            {{"tar", nullptr}, "Teer breitet sich aus – entferne ihn schnell!"},
        };
        double y = 132;
        for (const Item& it : items) {
            icon(it.icons[0], x0 + 20, y + 4);
            if (it.icons[1]) {
                icon(it.icons[1], x0 + 66, y + 4);
            }
            y = DrawParagraph(cr, it.text, x0 + 100, y + 10, width - 100, 25, body) + 18;
        }
    } else {
        DrawText(cr, "Burgen und Zauber", 400, 80, heading);
        double y = DrawParagraph(cr,
                                 "Die Steine, die du sammelst, landen in deinem Beutel. Nach jedem Level kaufst du "
                                 "damit Mauern, Türme und Dächer für deine Burg.",
                                 x0, 130, width, 26, body);
        cairo_save(cr);
        cairo_rectangle(cr, 250, y, 300, 150);
        cairo_clip(cr);
        DuskSky(cr, 800, y + 150, y + 120, 1501, 0.4);
        FancyCastle(cr, 300, y + 140, 0.5, 31, 5);
        cairo_restore(cr);
        PathRoundRect(cr, 250, y, 300, 150, 4);
        GoldTrim(cr, 3);
        y = DrawParagraph(cr,
                          "Drei Hämmer laden sich mit jeder Reihe auf; ein voller Hammer zertrümmert Steine auf dem "
                          "Feld. Mana bezahlt mächtige Zauber. Sind alle sieben Burgen wieder aufgebaut, gehört "
                          "dir das Königreich!",
                          x0, y + 185, width, 26, body);
    }
    TextStyle page = InkStyle(16);
    page.align = Align::Centre;
    DrawText(cr, "– " + std::to_string(s.variant) + " –", 400, 512, page);
}

// [SECTION] Wallpapers and the end picture -------------------------------------------------------------------------

void PaintWallpaper(Canvas& c, const ImageRow& s, int) {
    cairo_t* cr = c.cr();
    const double w = c.width(), h = c.height();
    WallScene(cr, w, h, s.variant);
    TextStyle name = TitleStyle(34);
    name.align = Align::Right;
    DrawText(cr, castles::Get(s.variant % castles::Count).name, w - 30, h - 30, name);
    TextStyle small = TitleStyle(18);
    small.align = Align::Right;
    small.face = Face::Capitals;
    DrawText(cr, "Brisquel 2", w - 30, h - 72, small);
}

void PaintWallPreview(Canvas& c, const ImageRow& s, int) {
    cairo_t* cr = c.cr();
    WallScene(cr, c.width(), c.height(), s.variant);
    // a faded sketch of the picture still to be won
    Adjust(c, 0.0, -0.25, Rgb{0.55, 0.42, 0.25, 0.45});
    cairo_rectangle(cr, 0, 0, c.width(), c.height());
    FillRadial(cr, 400, 300, 520, WithAlpha(pal::Black, 0.0), WithAlpha(pal::Black, 0.7));
    // a padlock in the middle
    const double cx = 400, cy = 300;
    cairo_arc(cr, cx, cy - 22, 26, Pi, 2 * Pi);
    Stroke(cr, pal::Outline, 13, true);
    Stroke(cr, pal::Stone, 8);
    PathRoundRect(cr, cx - 38, cy - 22, 76, 62, 8);
    FillVertical(cr, cy - 22, cy + 40, {pal::GoldLight, pal::Gold, pal::GoldDark}, true);
    Stroke(cr, pal::Outline, 2);
    cairo_arc(cr, cx, cy + 2, 7, 0, 2 * Pi);
    cairo_move_to(cr, cx - 4, cy + 4);
    cairo_line_to(cr, cx + 4, cy + 4);
    cairo_line_to(cr, cx + 2, cy + 24);
    cairo_line_to(cr, cx - 2, cy + 24);
    cairo_close_path(cr);
    SetColour(cr, pal::Outline);
    cairo_fill(cr);
}

void PaintWallFrame(Canvas& c, const ImageRow& s, int) {
    cairo_t* cr = c.cr();
    BottomBar(cr, 0, 8, c.width(), c.height() - 8, 1601);
    // a raised crest in the middle of the top edge
    cairo_arc(cr, 427, 14, 12, 0, 2 * Pi);
    FillRadial(cr, 423, 10, 14, pal::GoldLight, pal::GoldDark, true);
    Stroke(cr, pal::Outline, 1.5);
    DrawGem(cr, Gem::Red, 427, 14, 13);
    CutSlots(c, s.path);
}

void PaintWallHelp(Canvas& c, const ImageRow& s, int) {
    cairo_t* cr = c.cr();
    // Over the dialog's frame (from y 487) a bar of its own, so that the hidden back button's empty socket does not
    // show; its one socket holds the close-help button the game draws under this picture at (69, 552).
    PageFoot(c, s.path, 484, 1702, false);
    ParchmentSheet(cr, 150, 90, 500, 400, 1701);
    DrawText(cr, "Wallpaper", 400, 150, InkHeading(40));
    TextStyle body = InkStyle(19);
    double y = DrawParagraph(cr, "Für jede Burg, die du vollständig wieder aufbaust, erhältst du ein neues Bild.", 190,
                             200, 420, 26, body);
    y = DrawParagraph(cr,
                      "Mit < und > blätterst du durch die sieben Bilder. Noch verschlossene Bilder zeigen nur eine "
                      "Skizze.",
                      190, y + 12, 420, 26, body);
    DrawParagraph(cr, "„Wallpaper aktivieren“ legt das gewählte Bild als Hintergrund auf deinen Schreibtisch.", 190,
                  y + 12, 420, 26, body);
    Filigree(cr, 200, 140, 34, 0);
    Filigree(cr, 600, 140, 34, 180);
}

void PaintWinGame(Canvas& c, const ImageRow&, int) {
    cairo_t* cr = c.cr();
    Landscape(cr, 800, 600, 1801, 6, 1.0, false);
    // fireworks in the sky behind the castle
    Rng rng(1803);
    for (int i = 0; i < 7; ++i) {
        const double fx = rng.Range(60, 740), fy = rng.Range(70, 260), fr = rng.Range(40, 80);
        const Rgb col = GemColour(static_cast<Gem>(i % GemCount));
        Glow(cr, fx, fy, fr * 1.2, WithAlpha(col, 0.4));
        for (int k = 0; k < 24; ++k) {
            const double a = k * 2 * Pi / 24 + rng.Range(0, 0.1);
            const double r0 = fr * 0.2, r1 = fr * rng.Range(0.8, 1.0);
            cairo_move_to(cr, fx + std::cos(a) * r0, fy + std::sin(a) * r0);
            cairo_line_to(cr, fx + std::cos(a) * r1, fy + std::sin(a) * r1);
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            Stroke(cr, WithAlpha(Lighter(col, 0.4), 0.8), 2);
            cairo_arc(cr, fx + std::cos(a) * r1, fy + std::sin(a) * r1, 2, 0, 2 * Pi);
            SetColour(cr, pal::White);
            cairo_fill(cr);
        }
    }
    // the castle, small enough that its highest roof stays below the banner
    FancyCastle(cr, 210, 505, 0.95, 1802, 6);
    // banner across the top (the high-score frame covers the middle from y 44)
    cairo_rectangle(cr, 0, 0, 800, 44);
    FillVertical(cr, 0, 44, {WithAlpha(pal::Black, 0.7), WithAlpha(pal::Black, 0.0)});
    DrawTextIn(cr, "Alle sieben Burgen erstrahlen in neuem Glanz!", 20, 4, 760, 36, TitleStyle(30));
}

} // namespace imagegen
