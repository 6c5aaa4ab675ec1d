// Shared pieces of the interface images (see ui.h): button looks and states, dialog bodies, slots, ornaments,
// the standard landscape and text helpers. Called by the painters of this generator.
#include "assetgen_images/ui.h"

#include "assetlib/castles.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace imagegen {

using namespace art;

namespace {
constexpr double Pi = 3.14159265358979323846;
}

// [SECTION] Buttons ------------------------------------------------------------------------------------------------

void ApplyButtonState(Canvas& c, int state) {
    if (state == Hovered) {
        Adjust(c, 1.0, 0.14);
        AddRimGlow(c, WithAlpha(pal::MagicGold, 0.85), 2);
    } else if (state == Pressed) {
        c = Shifted(c, 1, 1);
        Adjust(c, 0.9, -0.2);
    }
}

void ButtonPlaque(Canvas& c, int state, const Rgb& base, double radius) {
    cairo_t* cr = c.cr();
    const double inset = 2.5;
    const double x = inset, y = inset, w = c.width() - 2 * inset, h = c.height() - 2 * inset;
    const double r = radius >= 0 ? radius : std::min(h * 0.4, 14.0);
    // gold rim
    PathRoundRect(cr, x, y, w, h, r);
    FillVertical(cr, y, y + h, {pal::GoldLight, pal::Gold, pal::GoldDark, pal::Bronze});
    // jewel face
    const double rim = std::max(2.0, std::min(4.0, h * 0.12));
    PathRoundRect(cr, x + rim, y + rim, w - 2 * rim, h - 2 * rim, std::max(1.0, r - rim));
    FillVertical(cr, y + rim, y + h - rim, {Lighter(base, 0.25), base, Darker(base, 0.45)}, true);
    cairo_save(cr);
    cairo_clip(cr);
    // faint gem sparkle texture
    Rng rng(static_cast<uint64_t>(c.width() * 131 + c.height()));
    for (int i = 0; i < w * h / 90; ++i) {
        cairo_arc(cr, rng.Range(x, x + w), rng.Range(y, y + h), rng.Range(0.3, 0.9), 0, 2 * Pi);
        SetColour(cr, WithAlpha(Lighter(base, 0.6), rng.Range(0.05, 0.25)));
        cairo_fill(cr);
    }
    // glassy highlight on the upper half
    PathRoundRect(cr, x + rim + 1, y + rim + 0.5, w - 2 * rim - 2, (h - 2 * rim) * 0.48, std::max(1.0, r - rim - 1));
    FillVertical(cr, y + rim, y + h * 0.5, {WithAlpha(pal::White, 0.38), WithAlpha(pal::White, 0.04)});
    // inner shadow along the bottom-right
    PathRoundRect(cr, x + rim, y + rim, w - 2 * rim, h - 2 * rim, std::max(1.0, r - rim));
    SourceLinear(cr, x, y, x + w * 0.2, y + h, {{0.55, {0, 0, 0, 0}}, {1, {0, 0, 0, 0.45}}});
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    cairo_restore(cr);
    // No end studs: a caption may use the whole face between the gold rims (the game keeps 7 pixels from each end).
    PathRoundRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, r);
    Stroke(cr, pal::Outline, 1.2);
    ApplyButtonState(c, state);
}

void ButtonMedallion(Canvas& c, int state, const Rgb& dome, int studs) {
    cairo_t* cr = c.cr();
    const double cx = c.width() / 2.0, cy = c.height() / 2.0;
    const double R = std::min(c.width(), c.height()) / 2.0 - 4;
    // shadow
    cairo_arc(cr, cx + 1.5, cy + 2.5, R, 0, 2 * Pi);
    SetColour(cr, Rgb{0, 0, 0, 0.45});
    cairo_fill(cr);
    // gold ring
    cairo_arc(cr, cx, cy, R, 0, 2 * Pi);
    SourceLinear(cr, cx - R, cy - R, cx + R, cy + R,
                 {{0, WithAlpha(pal::GoldLight, 1)}, {0.45, WithAlpha(pal::Gold, 1)}, {1, WithAlpha(pal::Bronze, 1)}});
    cairo_fill_preserve(cr);
    Stroke(cr, pal::Outline, 1.5);
    // engraved groove
    cairo_arc(cr, cx, cy, R * 0.9, 0, 2 * Pi);
    Stroke(cr, WithAlpha(pal::Bronze, 0.8), std::max(1.0, R * 0.03));
    // studs: small gems round the ring
    for (int i = 0; i < studs; ++i) {
        const double a = -Pi / 2 + i * 2 * Pi / studs;
        const Gem g = static_cast<Gem>(i % GemCount);
        DrawGem(cr, g, cx + std::cos(a) * R * 0.89, cy + std::sin(a) * R * 0.89, R * 0.2, GemStyle{0, 1, 0, true});
    }
    // dome
    const double D = R * 0.76;
    cairo_arc(cr, cx, cy, D + 1.5, 0, 2 * Pi);
    SetColour(cr, pal::Outline);
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, D, 0, 2 * Pi);
    FillRadial(cr, cx - D * 0.3, cy - D * 0.35, D * 1.5, Lighter(dome, 0.3), Darker(dome, 0.55));
    // light caught in the bottom of the glass
    cairo_save(cr);
    cairo_arc(cr, cx, cy, D, 0, 2 * Pi);
    cairo_clip(cr);
    Glow(cr, cx + D * 0.2, cy + D * 0.75, D * 0.9, WithAlpha(Lighter(dome, 0.5), 0.7));
    cairo_restore(cr);
    // highlight
    cairo_save(cr);
    cairo_translate(cr, cx - D * 0.22, cy - D * 0.5);
    cairo_scale(cr, 1.0, 0.55);
    cairo_arc(cr, 0, 0, D * 0.55, 0, 2 * Pi);
    cairo_restore(cr);
    FillVertical(cr, cy - D * 0.8, cy - D * 0.2, {WithAlpha(pal::White, 0.55), WithAlpha(pal::White, 0.02)});
    ApplyButtonState(c, state);
}

// [SECTION] Panels and frames --------------------------------------------------------------------------------------

void VelvetPanel(cairo_t* cr, double x, double y, double w, double h, double radius, uint32_t seed) {
    cairo_save(cr);
    PathRoundRect(cr, x, y, w, h, radius);
    FillVertical(cr, y, y + h, {VelvetLight, Velvet, Darker(Velvet, 0.35)}, true);
    cairo_clip(cr);
    // damask: a lattice of small lilies
    const double step = 26;
    for (double yy = y + step / 2; yy < y + h; yy += step) {
        const int row = static_cast<int>((yy - y) / step);
        for (double xx = x + (row % 2 ? step / 2 : 0); xx < x + w + step; xx += step) {
            cairo_save(cr);
            cairo_translate(cr, xx, yy);
            cairo_move_to(cr, 0, -6);
            cairo_curve_to(cr, 3, -3, 3, 1, 0, 5);
            cairo_curve_to(cr, -3, 1, -3, -3, 0, -6);
            cairo_move_to(cr, -6, 2);
            cairo_curve_to(cr, -3, 0, -1, 2, 0, 5);
            cairo_move_to(cr, 6, 2);
            cairo_curve_to(cr, 3, 0, 1, 2, 0, 5);
            cairo_restore(cr);
        }
    }
    SetColour(cr, WithAlpha(pal::MagicBlue, 0.06));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    Grain(cr, x, y, w, h, seed, 0.08);
    // vignette
    cairo_pattern_t* p = cairo_pattern_create_radial(x + w / 2, y + h * 0.4, std::min(w, h) * 0.2, x + w / 2,
                                                     y + h * 0.5, std::max(w, h) * 0.75);
    cairo_pattern_add_color_stop_rgba(p, 0, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgba(p, 1, 0, 0, 0, 0.55);
    cairo_set_source(cr, p);
    cairo_paint(cr);
    cairo_pattern_destroy(p);
    cairo_restore(cr);
}

void DialogBody(Canvas& c, uint32_t seed, double border, double radius, bool wood, double top) {
    cairo_t* cr = c.cr();
    const double w = c.width(), h = c.height();
    VelvetPanel(cr, border * 0.5, top + border * 0.5, w - border, h - top - border, radius * 0.6, seed);
    OrnateFrame(cr, 0, top, w, h - top, border, radius, seed + 1, wood);
    const double f = border * 1.6;
    Filigree(cr, border + f * 0.55, top + border + f * 0.55, f, 45);
    Filigree(cr, w - border - f * 0.55, top + border + f * 0.55, f, 135);
    Filigree(cr, border + f * 0.55, h - border - f * 0.55, f, -45);
    Filigree(cr, w - border - f * 0.55, h - border - f * 0.55, f, -135);
}

void CutSlots(Canvas& c, const std::string& framePath) {
    cairo_t* cr = c.cr();
    for (const Slot& s : FrameSlots()) {
        if (framePath != s.frame) {
            continue;
        }
        if (s.w < s.h * 1.5) {
            // a round button (medallion): a round socket with a gold ring, cut as a circle the size of its face
            const double cx = s.x + s.w / 2.0, cy = s.y + s.h / 2.0, r = std::min(s.w, s.h) / 2.0;
            cairo_arc(cr, cx, cy, r + 4, 0, 2 * Pi);
            SetColour(cr, WithAlpha(Hex(0x05060f), 0.9));
            cairo_fill(cr);
            cairo_arc(cr, cx, cy, r + 2, 0, 2 * Pi);
            GoldTrim(cr, 3);
            cairo_save(cr);
            cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
            cairo_arc(cr, cx, cy, r - 3.5, 0, 2 * Pi);
            cairo_fill(cr);
            cairo_restore(cr);
            continue;
        }
        // a dark socket with a gold rim; the hole matches the face of the plaque buttons (inset 2.5 pixels, rounded),
        // so the socket hides the buttons' transparent margin and the button shows through the hole
        const double r = std::min((s.h - 5) * 0.4, 14.0);
        PathRoundRect(cr, s.x - 3, s.y - 3, s.w + 6, s.h + 6, r + 3);
        SetColour(cr, WithAlpha(Hex(0x05060f), 0.9));
        cairo_fill(cr);
        PathRoundRect(cr, s.x - 1.5, s.y - 1.5, s.w + 3, s.h + 3, r + 2);
        GoldTrim(cr, 2.2);
        cairo_save(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        PathRoundRect(cr, s.x + 2.5, s.y + 2.5, s.w - 5, s.h - 5, r);
        cairo_fill(cr);
        cairo_restore(cr);
    }
}

void Filigree(cairo_t* cr, double x, double y, double s, double rotDeg) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, rotDeg * Pi / 180);
    cairo_new_path(cr);
    for (int side : {-1, 1}) {
        cairo_move_to(cr, 0, 0);
        cairo_curve_to(cr, s * 0.15, side * s * 0.05, s * 0.35, side * s * 0.35, s * 0.15, side * s * 0.42);
        cairo_curve_to(cr, 0.0, side * s * 0.46, -0.02 * s, side * s * 0.3, s * 0.1, side * s * 0.28);
    }
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, -s * 0.3, 0);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    GoldTrim(cr, std::max(1.2, s * 0.06));
    Rivet(cr, -s * 0.3, 0, std::max(1.5, s * 0.07));
    cairo_restore(cr);
}

void Shield(cairo_t* cr, double cx, double cy, double w, double h, const ShieldGrowth& grow, const Rgb& light,
            const Rgb& dark) {
    const auto path = [&](double g) {
        cairo_new_path(cr);
        cairo_move_to(cr, cx - w / 2 - g, cy - h / 2 - g);
        cairo_line_to(cr, cx + w / 2 + g, cy - h / 2 - g);
        cairo_line_to(cr, cx + w / 2 + g, cy);
        cairo_curve_to(cr, cx + w / 2 + g, cy + h * 0.3, cx + w * 0.2, cy + h * 0.45, cx, cy + h / 2 + g * 1.4);
        cairo_curve_to(cr, cx - w * 0.2, cy + h * 0.45, cx - w / 2 - g, cy + h * 0.3, cx - w / 2 - g, cy);
        cairo_close_path(cr);
    };
    path(grow.outline);
    SetColour(cr, pal::Outline);
    cairo_fill(cr);
    path(grow.gold);
    FillVertical(cr, cy - h / 2, cy + h / 2, {pal::GoldLight, pal::Gold, pal::GoldDark});
    path(grow.field);
    FillRadial(cr, cx - w * 0.2, cy - h * 0.25, h, light, dark);
}

void GoldCrown(cairo_t* cr, double cx, double cy, const CrownShape& k) {
    cairo_move_to(cr, cx - k.baseX, cy + k.baseY);
    cairo_line_to(cr, cx - k.tipX, cy + k.tipY);
    cairo_line_to(cr, cx - k.valleyX, cy + k.valleyY);
    cairo_line_to(cr, cx, cy + k.peakY);
    cairo_line_to(cr, cx + k.valleyX, cy + k.valleyY);
    cairo_line_to(cr, cx + k.tipX, cy + k.tipY);
    cairo_line_to(cr, cx + k.baseX, cy + k.baseY);
    cairo_close_path(cr);
    FillVertical(cr, cy + k.peakY, cy + k.baseY, {pal::GoldLight, pal::Gold, pal::GoldDark}, true);
    Stroke(cr, pal::Outline, 1.5);
}

void Ribbon(cairo_t* cr, double cx, double cy, double w, double h, const Rgb& colour) {
    const double x0 = cx - w / 2, x1 = cx + w / 2;
    const double tail = h * 0.9;
    // folded tails behind
    for (int side : {-1, 1}) {
        const double ex = side < 0 ? x0 : x1;
        cairo_move_to(cr, ex - side * h * 0.3, cy - h * 0.2);
        cairo_line_to(cr, ex + side * tail, cy - h * 0.2);
        cairo_line_to(cr, ex + side * tail * 0.65, cy + h * 0.35);
        cairo_line_to(cr, ex + side * tail, cy + h * 0.9);
        cairo_line_to(cr, ex - side * h * 0.3, cy + h * 0.9);
        cairo_close_path(cr);
        FillStroke(cr, Darker(colour, 0.45), pal::Outline, 1.5);
    }
    // front band, slightly arched
    cairo_move_to(cr, x0, cy - h / 2);
    cairo_curve_to(cr, cx - w * 0.2, cy - h / 2 - h * 0.25, cx + w * 0.2, cy - h / 2 - h * 0.25, x1, cy - h / 2);
    cairo_line_to(cr, x1, cy + h / 2);
    cairo_curve_to(cr, cx + w * 0.2, cy + h / 2 - h * 0.25, cx - w * 0.2, cy + h / 2 - h * 0.25, x0, cy + h / 2);
    cairo_close_path(cr);
    FillVertical(cr, cy - h / 2, cy + h / 2, {Lighter(colour, 0.25), colour, Darker(colour, 0.3)}, true);
    Stroke(cr, pal::Outline, 1.5);
    for (double off : {-h / 2 + 3, h / 2 - 3}) {
        cairo_move_to(cr, x0 + 2, cy + off);
        cairo_curve_to(cr, cx - w * 0.2, cy + off - h * 0.25, cx + w * 0.2, cy + off - h * 0.25, x1 - 2, cy + off);
        Stroke(cr, WithAlpha(pal::Gold, 0.9), 1.4);
    }
}

void Recess(cairo_t* cr, double x, double y, double w, double h, double radius) {
    PathRoundRect(cr, x, y, w, h, radius);
    FillVertical(cr, y, y + h, {Hex(0x07081a, 0.92), Hex(0x12143a, 0.88)}, true);
    cairo_save(cr);
    cairo_clip(cr);
    PathRoundRect(cr, x - 1, y - 1, w + 2, h + 2, radius);
    SourceLinear(cr, x, y, x + w * 0.3, y + h, {{0, {0, 0, 0, 0.8}}, {0.5, {0, 0, 0, 0}}, {1, {1, 1, 1, 0.25}}});
    cairo_set_line_width(cr, 5);
    cairo_stroke(cr);
    cairo_restore(cr);
    PathRoundRect(cr, x - 1, y - 1, w + 2, h + 2, radius + 1);
    Stroke(cr, WithAlpha(pal::GoldDark, 0.9), 1.2);
}

void ParchmentSheet(cairo_t* cr, double x, double y, double w, double h, uint32_t seed) {
    SoftShadow(cr, x + 4, y + 6, w - 4, h - 4, 8, 8, 0.5);
    Parchment(cr, x, y, w, h, seed, 10);
}

// [SECTION] Scenery ------------------------------------------------------------------------------------------------

void Landscape(cairo_t* cr, double w, double h, uint32_t seed, int castleStyle, double detail, bool withCastle) {
    const double horizon = h * 0.64;
    DuskSky(cr, w, h, horizon, seed, detail);
    // moon
    Rng rng(seed + 99);
    const double mx = w * rng.Range(0.12, 0.3), my = h * rng.Range(0.1, 0.2), mr = h * 0.035;
    Glow(cr, mx, my, mr * 5, WithAlpha(Hex(0xfff4d0), 0.35));
    cairo_arc(cr, mx, my, mr, 0, 2 * Pi);
    FillRadial(cr, mx - mr * 0.3, my - mr * 0.3, mr * 1.3, Hex(0xfffdf0), Hex(0xf0dca8));
    // far mountains with a hazy rim
    cairo_save(cr);
    Hills(cr, w, h, horizon - h * 0.07, h * 0.09, Mix(pal::HillFar, pal::SkyRose, 0.25), seed + 1);
    Hills(cr, w, h, horizon - h * 0.015, h * 0.06, pal::HillFar, seed + 2);
    // the castle on its hill
    const double cw = w * (0.34 + 0.04 * (castleStyle % 3));
    const double cx = w * (0.28 + 0.08 * (castleStyle % 4));
    const double hillTop = horizon + h * 0.03;
    cairo_move_to(cr, cx - cw * 0.85, horizon + h * 0.12);
    cairo_curve_to(cr, cx - cw * 0.4, hillTop - h * 0.02, cx + cw * 0.4, hillTop - h * 0.02, cx + cw * 0.85,
                   horizon + h * 0.12);
    cairo_close_path(cr);
    SetColour(cr, pal::HillMid);
    cairo_fill(cr);
    if (withCastle) {
        CastleSilhouette(cr, cx - cw / 2, hillTop + 2, cw, h * 0.3, Hex(0x2a2550), pal::GoldLight,
                         seed * 31 + static_cast<uint32_t>(castleStyle));
    }
    Hills(cr, w, h, horizon + h * 0.08, h * 0.05, pal::HillMid, seed + 3);
    // mist over the valley
    cairo_rectangle(cr, 0, horizon, w, h * 0.15);
    FillVertical(cr, horizon, horizon + h * 0.15,
                 {WithAlpha(pal::SkyHaze, 0.0), WithAlpha(pal::SkyRose, 0.22), WithAlpha(pal::SkyRose, 0.0)});
    TreeLine(cr, w, horizon + h * 0.2, h * 0.09, Hex(0x15202a), seed + 4);
    Hills(cr, w, h, horizon + h * 0.29, h * 0.03, pal::HillNear, seed + 5);
    cairo_restore(cr);
}

// [SECTION] Text ---------------------------------------------------------------------------------------------------

std::vector<std::string> WrapText(cairo_t* cr, const std::string& text, double width, const TextStyle& st) {
    std::vector<std::string> lines;
    std::istringstream paragraphs(text);
    std::string para;
    while (std::getline(paragraphs, para, '\n')) {
        std::istringstream words(para);
        std::string word, line;
        while (words >> word) {
            const std::string trial = line.empty() ? word : line + " " + word;
            double tw = 0, th = 0;
            MeasureText(cr, trial, st, tw, th);
            if (tw > width && !line.empty()) {
                lines.push_back(line);
                line = word;
            } else {
                line = trial;
            }
        }
        lines.push_back(line);
    }
    return lines;
}

double DrawParagraph(cairo_t* cr, const std::string& text, double x, double y, double width, double lineH,
                     const TextStyle& st) {
    for (const std::string& line : WrapText(cr, text, width, st)) {
        const double lx = st.align == Align::Centre ? x + width / 2 : (st.align == Align::Right ? x + width : x);
        DrawText(cr, line, lx, y, st);
        y += lineH;
    }
    return y;
}

TextStyle TitleStyle(double size) {
    TextStyle st;
    st.face = Face::Display;
    st.size = size;
    st.fill = pal::GoldLight;
    st.fillBottom = pal::GoldDark;
    st.outline = pal::Outline;
    st.outlineWidth = std::max(1.0, size * 0.06);
    st.shadow = Rgb{0, 0, 0, 0.6};
    return st;
}

TextStyle InkStyle(double size) {
    TextStyle st;
    st.face = Face::Book;
    st.size = size;
    st.fill = pal::Ink;
    st.align = Align::Left;
    return st;
}

TextStyle InkHeading(double size) {
    TextStyle st;
    st.face = Face::Display;
    st.size = size;
    st.fill = Hex(0x7a1b12);
    st.shadow = Rgb{1, 1, 1, 0.35};
    return st;
}

} // namespace imagegen

namespace imagegen {
using namespace art;

// The castles of the campaign (tools/assetlib/castles.h): style n is castle n, finished.
void FancyCastle(cairo_t* cr, double x, double baseY, double s, uint32_t, int style) {
    castles::DrawCastle(cr, ((style % castles::Count) + castles::Count) % castles::Count, x, baseY, s);
}

} // namespace imagegen
