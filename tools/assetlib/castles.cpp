// The seven castles as drawings (see castles.h): the part table of each castle, the materials, the drawing of each
// kind of part, whole castles and their settings.
//
// Sections: [Materials] [Tables] [Part drawing] [Whole castles] [Settings]
#include "assetlib/castles.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace art::castles {

namespace {

constexpr double Pi = 3.14159265358979323846;

// [SECTION] Materials ------------------------------------------------------------------------------------------------

enum class RoofShape { Cone, SnowCone, Gable };
enum class DomeShape { Dome, Onion };

struct Style {
    Rgb stone;  // walls and towers
    Rgb roof;   // roofs, spires and domes
    Rgb trim;   // finials, bands
    Rgb banner; // flags
    Rgb mound;  // rock or earth under the castle
    Rgb mound2; // its second colour (grass, sand, snow, flowers)
    Rgb window; // lit windows
    RoofShape roofShape;
    DomeShape domeShape;
    double block; // stone block height, castle-space pixels
};

const Style kStyles[Count] = {
    // Gemunor: lilac hill castle, sapphire slate cones
    {Hex(0x9d92ad), Hex(0x3a52b8), pal::Gold, pal::Ruby, Hex(0x4d4a52), Hex(0x3f6a35), pal::SkyHaze, RoofShape::Cone,
     DomeShape::Dome, 9},
    // Saithar: limestone sea fortress, verdigris domes
    {Hex(0xd9d0ba), Hex(0x2f9a8e), Hex(0xe8e0c0), pal::Sapphire, Hex(0x343a46), Hex(0x1f4a5a), Hex(0xffe7a0),
     RoofShape::Cone, DomeShape::Dome, 10},
    // Mudiat: ochre mud-brick citadel, golden onions
    {Hex(0xc98d52), Hex(0xe8b33a), pal::GoldLight, pal::Emerald, Hex(0xa8743e), Hex(0xd9a560), Hex(0xfff0b0),
     RoofShape::Cone, DomeShape::Onion, 8},
    // Taykryn: granite mountain keep, steep slate with snow
    {Hex(0x6a6f7c), Hex(0x2c3550), Hex(0xc9cbd6), Hex(0xc0202e), Hex(0x4a4c58), Hex(0xe8eef8), Hex(0xffc870),
     RoofShape::SnowCone, DomeShape::Dome, 11},
    // Lagar'Mor: timber forest hall, moss roofs
    {Hex(0x8a6a4a), Hex(0x4f7030), pal::WoodLight, Hex(0xa02a34), Hex(0x3b3020), Hex(0x3d6a2a), Hex(0xffb860),
     RoofShape::Gable, DomeShape::Dome, 9},
    // Luor: moon-white marble, violet silver spires
    {Hex(0xe6e4f0), Hex(0x7a6ad0), Hex(0xdfe6ff), pal::Amethyst, Hex(0xb8b4c8), Hex(0x8a86a8), Hex(0xd8e8ff),
     RoofShape::Cone, DomeShape::Dome, 9},
    // Lohinril: rose stone elven towers, golden domes
    {Hex(0xd8a0a0), Hex(0xf0c040), pal::GoldLight, pal::Diamond, Hex(0x5a4a48), Hex(0x4f8a3f), Hex(0xfff4c0),
     RoofShape::Cone, DomeShape::Onion, 8},
};

// [SECTION] Tables ---------------------------------------------------------------------------------------------------

using K = Kind;
std::vector<Castle> MakeTable() {
    std::vector<Castle> t;
    t.push_back({"Gemunor",
                 "a hill castle of lilac stone with blue slate cones, on a green hill at dusk",
                 {{K::Mound, 0, 0, 296, 400, 64, 120, "Burghügel", 1.5},
                  {K::Wall, 0, 70, 246, 110, 62, 70, "Westmauer", 1.2},
                  {K::Wall, 0, 220, 246, 110, 62, 70, "Ostmauer", 1.2},
                  {K::Keep, 1, 140, 122, 120, 130, 95, "Bergfried", 2.4},
                  {K::Gate, 1, 168, 222, 64, 86, 60, "Torhaus", 1.6},
                  {K::RoundTower, 1, 34, 170, 56, 138, 55, "Westturm", 1.8},
                  {K::RoundTower, 1, 310, 170, 56, 138, 55, "Ostturm", 1.8},
                  {K::Roof, 2, 128, 40, 144, 86, 94, "Dach des Bergfrieds", 2.0},
                  {K::Roof, 2, 24, 96, 76, 78, 54, "Westdach", 1.3},
                  {K::Roof, 2, 300, 96, 76, 78, 54, "Ostdach", 1.3},
                  {K::Flag, 2, 198, 2, 46, 42, 93, "Banner", 0.8}},
                 3});
    t.push_back({"Saithar",
                 "a sea fortress of pale limestone with green copper domes and a lighthouse, on a reef",
                 {{K::Mound, 0, 0, 290, 400, 70, 120, "Felsenriff", 1.5},
                  {K::Wall, 0, 20, 252, 360, 56, 70, "Seemauer", 2.0},
                  {K::Gate, 0, 160, 228, 70, 80, 60, "Hafentor", 1.4},
                  {K::RoundTower, 1, 12, 200, 74, 108, 55, "Bastion West", 1.6},
                  {K::RoundTower, 1, 300, 200, 74, 108, 55, "Bastion Ost", 1.6},
                  {K::Keep, 1, 96, 150, 168, 110, 92, "Zitadelle", 2.2},
                  {K::RoundTower, 1, 274, 64, 40, 196, 98, "Leuchtturm", 1.8},
                  {K::Dome, 2, 8, 158, 82, 46, 54, "Westkuppel", 1.0},
                  {K::Dome, 2, 296, 158, 82, 46, 54, "Ostkuppel", 1.0},
                  {K::Dome, 2, 128, 86, 104, 68, 91, "Zitadellenkuppel", 1.5},
                  {K::Lantern, 2, 270, 20, 48, 46, 97, "Leuchtfeuer", 1.2},
                  {K::Flag, 2, 178, 44, 46, 44, 90, "Wimpel", 0.7}},
                 3});
    t.push_back({"Mudiat",
                 "a desert citadel of ochre mud-brick with golden onion domes and a minaret, among dunes",
                 {{K::Mound, 0, 0, 300, 400, 60, 120, "Sandsteinsockel", 1.2},
                  {K::Wall, 0, 40, 240, 130, 68, 70, "Lehmmauer West", 1.2},
                  {K::Wall, 0, 230, 240, 130, 68, 70, "Lehmmauer Ost", 1.2},
                  {K::Gate, 1, 160, 202, 80, 106, 60, "Großes Tor", 1.6},
                  {K::SquareTower, 1, 8, 182, 56, 126, 55, "Eckturm West", 1.4},
                  {K::SquareTower, 1, 336, 182, 56, 126, 55, "Eckturm Ost", 1.4},
                  {K::Keep, 2, 106, 132, 188, 118, 95, "Palast", 2.4},
                  {K::SquareTower, 2, 296, 46, 34, 214, 90, "Minarett", 1.6},
                  {K::Dome, 3, 146, 28, 108, 106, 94, "Palastkuppel", 2.0},
                  {K::Dome, 3, 288, 4, 50, 44, 89, "Minarettkuppel", 0.9},
                  {K::Dome, 3, 4, 138, 64, 46, 54, "Westkuppel", 0.9},
                  {K::Dome, 3, 332, 138, 64, 46, 54, "Ostkuppel", 0.9}},
                 4});
    t.push_back({"Taykryn",
                 "a mountain keep of dark granite with steep snowy slate roofs, high on a crag at night",
                 {{K::Mound, 0, 0, 262, 400, 98, 120, "Felsgrat", 1.5},
                  {K::Wall, 0, 24, 236, 160, 58, 70, "Zwingermauer", 1.3},
                  {K::Wall, 0, 214, 222, 160, 60, 70, "Obere Mauer", 1.3},
                  {K::Gate, 1, 88, 206, 62, 88, 60, "Felsentor", 1.4},
                  {K::SquareTower, 1, 328, 132, 52, 158, 55, "Wachturm", 1.7},
                  {K::Keep, 2, 150, 92, 92, 170, 92, "Hoher Bergfried", 2.6},
                  {K::RoundTower, 2, 16, 142, 48, 150, 56, "Flankenturm", 1.6},
                  {K::Roof, 3, 138, 6, 116, 90, 91, "Spitzdach", 1.8},
                  {K::Roof, 3, 320, 56, 68, 80, 54, "Wachturmdach", 1.1},
                  {K::Roof, 3, 8, 74, 64, 72, 55, "Flankendach", 1.1},
                  {K::Flag, 3, 352, 12, 46, 46, 53, "Kriegsbanner", 0.7}},
                 4});
    t.push_back({"Lagar'Mor",
                 "a timber hall of the forest folk with moss roofs, a palisade and smoking forges",
                 {{K::Mound, 0, 0, 304, 400, 56, 120, "Waldlichtung", 1.2},
                  {K::Palisade, 0, 8, 250, 156, 60, 65, "Palisade West", 1.2},
                  {K::Palisade, 0, 236, 250, 156, 60, 65, "Palisade Ost", 1.2},
                  {K::Gate, 1, 160, 220, 80, 90, 60, "Holztor", 1.4},
                  {K::Hall, 1, 90, 172, 220, 92, 95, "Langhaus", 2.6},
                  {K::Roof, 2, 76, 88, 248, 90, 94, "Langhausdach", 2.2},
                  {K::SquareTower, 2, 14, 152, 46, 108, 55, "Wachturm West", 1.3},
                  {K::SquareTower, 2, 340, 152, 46, 108, 55, "Wachturm Ost", 1.3},
                  {K::Roof, 3, 4, 100, 66, 56, 54, "Westturmdach", 0.9},
                  {K::Roof, 3, 330, 100, 66, 56, 54, "Ostturmdach", 0.9},
                  {K::Chimney, 3, 252, 98, 24, 50, 93, "Esse", 0.8},
                  {K::Flag, 3, 198, 36, 46, 54, 93, "Stammesbanner", 0.7}},
                 4});
    t.push_back({"Luor",
                 "a moon castle of white marble with slender violet spires, by a still lake at night",
                 {{K::Mound, 0, 0, 300, 400, 60, 120, "Mondterrasse", 1.3},
                  {K::Wall, 0, 40, 254, 320, 54, 70, "Marmormauer", 1.8},
                  {K::Gate, 1, 170, 220, 60, 88, 60, "Silbertor", 1.3},
                  {K::RoundTower, 1, 38, 150, 42, 158, 55, "Westlicher Turm", 1.5},
                  {K::RoundTower, 1, 320, 150, 42, 158, 55, "Östlicher Turm", 1.5},
                  {K::Keep, 2, 120, 142, 160, 118, 95, "Sternenhalle", 2.4},
                  {K::RoundTower, 2, 180, 56, 40, 110, 97, "Mondturm", 1.5},
                  {K::Spire, 3, 30, 54, 58, 98, 54, "Westnadel", 1.1},
                  {K::Spire, 3, 312, 54, 58, 98, 54, "Ostnadel", 1.1},
                  {K::Roof, 3, 110, 100, 180, 46, 94, "Hallendach", 1.4},
                  {K::Spire, 4, 172, 0, 56, 58, 96, "Mondspitze", 1.2},
                  {K::Bridge, 4, 80, 186, 40, 30, 60, "Westbrücke", 0.9},
                  {K::Bridge, 4, 280, 186, 40, 30, 60, "Ostbrücke", 0.9}},
                 5});
    t.push_back({"Lohinril",
                 "an elven castle of rose stone with many slender towers, golden domes and bridges, at dawn",
                 {{K::Mound, 0, 0, 296, 400, 64, 120, "Blütenhügel", 1.3},
                  {K::Wall, 0, 50, 252, 300, 56, 70, "Rosenmauer", 1.6},
                  {K::Gate, 1, 172, 214, 56, 94, 60, "Rosentor", 1.2},
                  {K::RoundTower, 1, 20, 170, 36, 138, 56, "Äußerer Westturm", 1.2},
                  {K::RoundTower, 1, 344, 170, 36, 138, 56, "Äußerer Ostturm", 1.2},
                  {K::RoundTower, 2, 100, 110, 40, 150, 80, "Innerer Westturm", 1.4},
                  {K::RoundTower, 2, 260, 110, 40, 150, 80, "Innerer Ostturm", 1.4},
                  {K::Keep, 2, 146, 130, 108, 130, 90, "Elbenhalle", 2.2},
                  {K::RoundTower, 3, 182, 46, 36, 96, 92, "Hoher Turm", 1.3},
                  {K::Bridge, 3, 56, 198, 44, 28, 62, "Westbogen", 0.9},
                  {K::Bridge, 3, 300, 198, 44, 28, 62, "Ostbogen", 0.9},
                  {K::Roof, 3, 140, 96, 120, 38, 89, "Hallendach", 1.1},
                  {K::Dome, 4, 14, 130, 48, 42, 55, "Westkuppel", 0.7},
                  {K::Dome, 4, 338, 130, 48, 42, 55, "Ostkuppel", 0.7},
                  {K::Dome, 4, 94, 66, 52, 46, 79, "Innere Westkuppel", 0.8},
                  {K::Dome, 4, 254, 66, 52, 46, 79, "Innere Ostkuppel", 0.8},
                  {K::Dome, 4, 176, 6, 48, 42, 91, "Hohe Kuppel", 0.9}},
                 5});
    return t;
}

const std::vector<Castle>& Table() {
    static const std::vector<Castle> t = MakeTable();
    return t;
}

// [SECTION] Part drawing ---------------------------------------------------------------------------------------------

// A horizontal light-to-shade band over a rectangle: lit on the left, shaded on the right (round = a cylinder).
void Shade(cairo_t* cr, double x, double y, double w, double h, bool round) {
    cairo_rectangle(cr, x, y, w, h);
    if (round)
        SourceLinear(
            cr, x, 0, x + w, 0,
            {{0, {0, 0, 0, 0.35}}, {0.22, {1, 0.93, 0.8, 0.16}}, {0.45, {0, 0, 0, 0.0}}, {1, {0, 0, 0, 0.55}}});
    else
        SourceLinear(cr, x, 0, x + w, 0, {{0, {1, 0.93, 0.8, 0.12}}, {0.7, {0, 0, 0, 0.05}}, {1, {0, 0, 0, 0.4}}});
    cairo_fill(cr);
}

// Stone (or timber for the forest castle) filling the rectangle.
void Masonry(cairo_t* cr, int n, double x, double y, double w, double h, uint32_t seed) {
    const Style& s = kStyles[n];
    if (n == 4) {
        WoodPlanks(cr, x, y, w, h, seed, true, 9);
        return;
    }
    StoneWall(cr, x, y, w, h, seed, s.block, s.stone);
    // a wash of the castle's own stone colour, so that every castle keeps its material under the weathering
    cairo_rectangle(cr, x, y, w, h);
    SetColour(cr, WithAlpha(s.stone, 0.38));
    cairo_fill(cr);
}

void Outline(cairo_t* cr, double w = 1.6) { Stroke(cr, pal::Outline, w); }

// Battlements along the top of a rectangle: merlons standing on y.
void Battlements(cairo_t* cr, int n, double x, double y, double w, double mh) {
    const Style& s = kStyles[n];
    const double mw = std::max(5.0, std::min(9.0, w / 7));
    const int count = std::max(2, static_cast<int>(std::floor((w + mw * 0.6) / (mw * 1.6))));
    const double gap = (w - count * mw) / std::max(1, count - 1);
    for (int i = 0; i < count; ++i) {
        const double mx = x + i * (mw + gap);
        cairo_rectangle(cr, mx, y - mh, mw, mh + 1);
        FillVertical(cr, y - mh, y, {Lighter(s.stone, 0.15), Darker(s.stone, 0.15)}, true);
        Outline(cr, 1.2);
    }
}

// An arched window; lit ones glow.
void Window(cairo_t* cr, const Style& s, double cx, double y, double w, double h, bool lit) {
    cairo_move_to(cr, cx - w / 2, y + h);
    cairo_line_to(cr, cx - w / 2, y + w / 2);
    cairo_arc(cr, cx, y + w / 2, w / 2, Pi, 2 * Pi);
    cairo_line_to(cr, cx + w / 2, y + h);
    cairo_close_path(cr);
    if (lit) {
        FillVertical(cr, y, y + h, {Lighter(s.window, 0.4), s.window, Darker(s.window, 0.25)}, true);
    } else {
        SetColour(cr, Hex(0x1a1424));
        cairo_fill_preserve(cr);
    }
    Outline(cr, 1.0);
    if (lit) Glow(cr, cx, y + h / 2, w * 1.8, WithAlpha(s.window, 0.35));
}

void WindowsColumn(cairo_t* cr, const Style& s, double cx, double y0, double y1, double ww, uint32_t seed) {
    Rng rng(seed);
    for (double y = y0; y + ww * 1.8 < y1; y += ww * 3.2)
        Window(cr, s, cx, y, ww, ww * 1.7, rng.Unit() < 0.7);
}

void DrawMoundBody(cairo_t* cr, int n, const Part& p);

// The mound fades out at its foot, so that it grows out of whatever land the scene has.
void DrawMound(cairo_t* cr, int n, const Part& p) {
    cairo_push_group(cr);
    DrawMoundBody(cr, n, p);
    cairo_pop_group_to_source(cr);
    cairo_pattern_t* fade = cairo_pattern_create_linear(0, p.y + p.h * 0.55, 0, p.y + p.h);
    cairo_pattern_add_color_stop_rgba(fade, 0, 0, 0, 0, 1);
    cairo_pattern_add_color_stop_rgba(fade, 1, 0, 0, 0, 0);
    cairo_mask(cr, fade);
    cairo_pattern_destroy(fade);
}

void DrawMoundBody(cairo_t* cr, int n, const Part& p) {
    const Style& s = kStyles[n];
    Rng rng(static_cast<uint64_t>(n) * 97 + 5);
    // the top edge: a gentle mound (a crag for the mountain keep), lower at both ends
    std::vector<std::pair<double, double>> top;
    for (int i = 0; i <= 40; ++i) {
        const double t = i / 40.0, x = p.x + p.w * t;
        const double hump = n == 3 ? std::pow(std::sin(t * Pi), 0.9) : std::pow(std::sin(t * Pi), 0.6);
        const double bump = (Noise2(t * 6, 0.5, 100 + n, 2) - 0.5) * (n == 3 ? 18 : 8);
        top.push_back({x, p.y + p.h * 0.8 * (1 - hump) + bump + 4});
    }
    cairo_move_to(cr, p.x, p.y + p.h);
    for (const auto& [x, y] : top)
        cairo_line_to(cr, x, y);
    cairo_line_to(cr, p.x + p.w, p.y + p.h);
    cairo_close_path(cr);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    FillVertical(cr, p.y, p.y + p.h, {Lighter(s.mound, 0.15), s.mound, Darker(s.mound, 0.5)});
    // rock strata and cracks
    for (int i = 0; i < 26; ++i) {
        const double x = rng.Range(p.x, p.x + p.w), y = rng.Range(p.y + 10, p.y + p.h);
        cairo_move_to(cr, x, y);
        cairo_curve_to(cr, x + 8, y + rng.Range(-4, 4), x + 16, y + rng.Range(-3, 6), x + rng.Range(20, 40), y + 2);
        SetColour(cr, WithAlpha(Darker(s.mound, 0.6), 0.5));
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
    }
    // the surface: grass, sand, snow, marble slabs or flowers along the top, fading into the rock below
    const auto topPath = [&] {
        cairo_new_path(cr);
        cairo_move_to(cr, top.front().first - 4, top.front().second);
        for (const auto& [x, y] : top)
            cairo_line_to(cr, x, y);
        cairo_line_to(cr, top.back().first + 4, top.back().second);
    };
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    const double band = n == 3 ? 14 : 22;
    for (const auto& [width, alpha, light] : {std::tuple{band * 2.6, 0.35, 0.0}, std::tuple{band * 1.6, 0.8, 0.05},
                                              std::tuple{band * 0.9, 1.0, 0.18}, std::tuple{band * 0.3, 1.0, 0.35}}) {
        topPath();
        SetColour(cr, WithAlpha(Lighter(s.mound2, light), alpha));
        cairo_set_line_width(cr, width);
        cairo_stroke(cr);
    }
    if (n == 0 || n == 4 || n == 6) {
        for (int i = 0; i < 90; ++i) {
            const auto& [x, y] = top[static_cast<size_t>(rng.Int(0, 40))];
            const double gx = x + rng.Range(-5, 5), gy = y + rng.Range(0, 6);
            cairo_move_to(cr, gx, gy + 3);
            cairo_line_to(cr, gx + rng.Range(-2, 2), gy - rng.Range(3, 7));
            SetColour(cr, Lighter(s.mound2, rng.Range(0.05, 0.35)));
            cairo_set_line_width(cr, 1.1);
            cairo_stroke(cr);
            if (n == 6 && i % 3 == 0) {
                cairo_arc(cr, gx, gy - 2, 1.6, 0, 2 * Pi);
                SetColour(cr, i % 2 ? Hex(0xffd0e0) : Hex(0xfff2a0));
                cairo_fill(cr);
            }
        }
    }
    if (n == 1) {
        // surf foaming round the reef
        for (int i = 0; i < 30; ++i) {
            const double x = rng.Range(p.x, p.x + p.w), y = p.y + p.h - rng.Range(2, 14);
            cairo_arc(cr, x, y, rng.Range(2, 6), 0, 2 * Pi);
            SetColour(cr, WithAlpha(pal::White, rng.Range(0.25, 0.6)));
            cairo_fill(cr);
        }
    }
    cairo_restore(cr);
    cairo_new_path(cr);
    cairo_move_to(cr, p.x, top.front().second);
    for (const auto& [x, y] : top)
        cairo_line_to(cr, x, y);
    Outline(cr, 1.4);
}

void DrawWall(cairo_t* cr, int n, const Part& p) {
    const double mh = 9;
    Battlements(cr, n, p.x, p.y + mh, p.w, mh);
    Masonry(cr, n, p.x, p.y + mh, p.w, p.h - mh, static_cast<uint32_t>(p.x * 7 + n));
    Shade(cr, p.x, p.y + mh, p.w, p.h - mh, false);
    // wall walk shadow and arrow slits
    cairo_rectangle(cr, p.x, p.y + mh, p.w, 3);
    SetColour(cr, WithAlpha(pal::Black, 0.3));
    cairo_fill(cr);
    for (double x = p.x + 22; x < p.x + p.w - 14; x += 38) {
        cairo_rectangle(cr, x, p.y + mh + 14, 3, 12);
        SetColour(cr, Hex(0x140e18));
        cairo_fill(cr);
    }
    cairo_rectangle(cr, p.x, p.y + mh, p.w, p.h - mh);
    Outline(cr);
}

void DrawPalisade(cairo_t* cr, int n, const Part& p) {
    const Style& s = kStyles[n];
    Rng rng(static_cast<uint64_t>(p.x) + 3);
    for (double x = p.x; x < p.x + p.w - 2; x += 10) {
        const double top = p.y + rng.Range(0, 6);
        cairo_move_to(cr, x, p.y + p.h);
        cairo_line_to(cr, x, top + 8);
        cairo_line_to(cr, x + 5, top);
        cairo_line_to(cr, x + 10, top + 8);
        cairo_line_to(cr, x + 10, p.y + p.h);
        cairo_close_path(cr);
        SourceLinear(cr, x, 0, x + 10, 0,
                     {{0, WithAlpha(Lighter(pal::WoodLight, 0.1), 1)}, {1, WithAlpha(pal::WoodDark, 1)}});
        cairo_fill_preserve(cr);
        Outline(cr, 1.1);
    }
    // two cross beams lashed with rope
    for (double y : {p.y + p.h * 0.35, p.y + p.h * 0.72}) {
        cairo_rectangle(cr, p.x - 1, y, p.w + 2, 5);
        FillVertical(cr, y, y + 5, {pal::Wood, pal::WoodDark}, true);
        Outline(cr, 1.0);
    }
    (void)s;
}

void DrawGate(cairo_t* cr, int n, const Part& p) {
    const Style& s = kStyles[n];
    const double mh = 10;
    if (n == 4) {
        // a timber gate frame with a little shingled roof
        WoodPlanks(cr, p.x, p.y + 20, p.w, p.h - 20, 77, true, 10);
        cairo_move_to(cr, p.x - 8, p.y + 24);
        cairo_line_to(cr, p.x + p.w / 2, p.y);
        cairo_line_to(cr, p.x + p.w + 8, p.y + 24);
        cairo_close_path(cr);
        FillVertical(cr, p.y, p.y + 24, {Lighter(s.roof, 0.2), Darker(s.roof, 0.3)}, true);
        Outline(cr);
    } else {
        Battlements(cr, n, p.x, p.y + mh, p.w, mh);
        Masonry(cr, n, p.x, p.y + mh, p.w, p.h - mh, 501 + static_cast<uint32_t>(n));
        Shade(cr, p.x, p.y + mh, p.w, p.h - mh, false);
        cairo_rectangle(cr, p.x, p.y + mh, p.w, p.h - mh);
        Outline(cr);
    }
    // the arch: dark passage, wooden doors, portcullis
    const double gw = p.w * 0.5, gx = p.x + p.w / 2, gy = p.y + p.h * 0.42, gb = p.y + p.h;
    auto arch = [&](double inset) {
        cairo_move_to(cr, gx - gw / 2 + inset, gb);
        cairo_line_to(cr, gx - gw / 2 + inset, gy + gw / 2);
        cairo_arc(cr, gx, gy + gw / 2, gw / 2 - inset, Pi, 2 * Pi);
        cairo_line_to(cr, gx + gw / 2 - inset, gb);
        cairo_close_path(cr);
    };
    arch(-3);
    SetColour(cr, Darker(s.stone, 0.35));
    cairo_fill(cr);
    arch(0);
    FillVertical(cr, gy, gb, {Hex(0x4a2e18), Hex(0x2a180a)}, true);
    Outline(cr, 1.2);
    cairo_save(cr);
    arch(0);
    cairo_clip(cr);
    for (double x = gx - gw / 2 + 4; x < gx + gw / 2; x += 6) {
        cairo_move_to(cr, x, gy);
        cairo_line_to(cr, x, gb);
    }
    for (double y = gy + 6; y < gb; y += 8) {
        cairo_move_to(cr, gx - gw / 2, y);
        cairo_line_to(cr, gx + gw / 2, y);
    }
    SetColour(cr, WithAlpha(Hex(0x0c0806), 0.7));
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);
    cairo_restore(cr);
    // torches either side
    for (double tx : {gx - gw / 2 - 7, gx + gw / 2 + 7}) {
        Glow(cr, tx, gy + 6, 12, WithAlpha(pal::SkyGlow, 0.7));
        cairo_arc(cr, tx, gy + 6, 2.2, 0, 2 * Pi);
        SetColour(cr, pal::MagicGold);
        cairo_fill(cr);
    }
}

void DrawTowerBody(cairo_t* cr, int n, const Part& p, bool round) {
    const Style& s = kStyles[n];
    const double ring = round ? 12 : 9;
    const double bx = p.x + (round ? 3 : 0), bw = p.w - (round ? 6 : 0);
    Masonry(cr, n, bx, p.y + ring, bw, p.h - ring, static_cast<uint32_t>(p.x * 13 + p.y + n));
    Shade(cr, bx, p.y + ring, bw, p.h - ring, round);
    cairo_rectangle(cr, bx, p.y + ring, bw, p.h - ring);
    Outline(cr);
    WindowsColumn(cr, s, p.x + p.w / 2, p.y + ring + 14, p.y + p.h - 16, std::max(6.0, std::min(11.0, p.w * 0.2)),
                  static_cast<uint32_t>(p.x + n));
    if (n == 4) {
        // a timber lookout platform on posts
        cairo_rectangle(cr, p.x - 4, p.y, p.w + 8, ring);
        FillVertical(cr, p.y, p.y + ring, {pal::WoodLight, pal::WoodDark}, true);
        Outline(cr, 1.2);
        return;
    }
    // corbelled crown with battlements
    cairo_rectangle(cr, p.x, p.y + ring * 0.5, p.w, ring * 0.5 + 2);
    FillVertical(cr, p.y, p.y + ring, {Lighter(s.stone, 0.2), Darker(s.stone, 0.2)}, true);
    Outline(cr, 1.2);
    for (double x = p.x + 3; x < p.x + p.w - 3; x += 7) {
        cairo_move_to(cr, x, p.y + ring + 2);
        cairo_line_to(cr, x + 2.5, p.y + ring + 6);
        cairo_line_to(cr, x + 5, p.y + ring + 2);
    }
    Stroke(cr, WithAlpha(pal::Outline, 0.6), 1.0);
    Battlements(cr, n, p.x, p.y + ring * 0.5, p.w, ring * 0.5);
}

void DrawKeep(cairo_t* cr, int n, const Part& p) {
    const Style& s = kStyles[n];
    const double mh = 10;
    if (n != 5 && n != 6) Battlements(cr, n, p.x, p.y + mh, p.w, mh);
    Masonry(cr, n, p.x, p.y + mh, p.w, p.h - mh, static_cast<uint32_t>(900 + n));
    Shade(cr, p.x, p.y + mh, p.w, p.h - mh, false);
    cairo_rectangle(cr, p.x, p.y + mh, p.w, p.h - mh);
    Outline(cr);
    // rows of windows; the marble and rose halls get tall lancets
    const int cols = std::max(2, static_cast<int>(p.w / 34));
    const double ww = n >= 5 ? 9 : 10, wh = n >= 5 ? 30 : 17;
    Rng rng(static_cast<uint64_t>(p.w) + n);
    for (int c = 0; c < cols; ++c) {
        const double cx = p.x + p.w * (c + 0.5) / cols;
        for (double y = p.y + mh + 16; y + wh < p.y + p.h - 18; y += wh + 18)
            Window(cr, s, cx, y, ww, wh, rng.Unit() < 0.75);
    }
    // a string course band
    cairo_rectangle(cr, p.x, p.y + mh + 6, p.w, 3);
    SetColour(cr, WithAlpha(Lighter(s.trim, 0.1), 0.6));
    cairo_fill(cr);
}

void DrawHall(cairo_t* cr, int n, const Part& p) {
    const Style& s = kStyles[n];
    // plaster between dark beams
    cairo_rectangle(cr, p.x, p.y, p.w, p.h);
    FillVertical(cr, p.y, p.y + p.h, {Hex(0xe0d0a8), Hex(0xb89e74)}, true);
    Outline(cr);
    SetColour(cr, pal::WoodDark);
    cairo_set_line_width(cr, 5);
    for (double x = p.x + 2; x <= p.x + p.w; x += 36) {
        cairo_move_to(cr, x, p.y);
        cairo_line_to(cr, x, p.y + p.h);
    }
    cairo_move_to(cr, p.x, p.y + 3);
    cairo_line_to(cr, p.x + p.w, p.y + 3);
    cairo_move_to(cr, p.x, p.y + p.h * 0.5);
    cairo_line_to(cr, p.x + p.w, p.y + p.h * 0.5);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 3);
    for (double x = p.x + 2; x + 36 <= p.x + p.w + 1; x += 36) {
        cairo_move_to(cr, x, p.y + p.h * 0.5);
        cairo_line_to(cr, x + 36, p.y + 3);
    }
    cairo_stroke(cr);
    for (double x = p.x + 20; x < p.x + p.w - 10; x += 36)
        Window(cr, s, x, p.y + p.h * 0.58, 10, 16, true);
    Shade(cr, p.x, p.y, p.w, p.h, false);
}

void RoofSlates(cairo_t* cr, const Rgb& c, double x, double y, double w, double h) {
    for (double yy = y + 6; yy < y + h; yy += 6) {
        cairo_move_to(cr, x, yy);
        cairo_line_to(cr, x + w, yy);
    }
    SetColour(cr, WithAlpha(Darker(c, 0.6), 0.45));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

void LitFill(cairo_t* cr, const Rgb& c, double x, double w) {
    SourceLinear(cr, x, 0, x + w, 0,
                 {{0, WithAlpha(Lighter(c, 0.35), 1)}, {0.4, WithAlpha(c, 1)}, {1, WithAlpha(Darker(c, 0.55), 1)}});
    cairo_fill_preserve(cr);
}

void Finial(cairo_t* cr, const Style& s, double cx, double y) {
    cairo_move_to(cr, cx, y);
    cairo_line_to(cr, cx, y - 8);
    Stroke(cr, pal::Outline, 2.2);
    cairo_move_to(cr, cx, y);
    cairo_line_to(cr, cx, y - 8);
    Stroke(cr, s.trim, 1.0);
    cairo_arc(cr, cx, y - 9, 2.6, 0, 2 * Pi);
    SetColour(cr, s.trim);
    cairo_fill_preserve(cr);
    Outline(cr, 0.9);
}

void DrawRoof(cairo_t* cr, int n, const Part& p) {
    const Style& s = kStyles[n];
    const double cx = p.x + p.w / 2, base = p.y + p.h;
    const bool gable = s.roofShape == RoofShape::Gable && p.w > 120;
    const bool low = p.h < p.w * 0.45; // the flat hall roofs of the marble and rose castles
    if (gable || low) {
        const double ridge = gable ? p.w * 0.32 : p.w * 0.7;
        cairo_move_to(cr, p.x, base);
        cairo_line_to(cr, cx - ridge / 2, p.y + 4);
        cairo_line_to(cr, cx + ridge / 2, p.y + 4);
        cairo_line_to(cr, p.x + p.w, base);
        cairo_close_path(cr);
    } else {
        cairo_move_to(cr, p.x, base);
        cairo_curve_to(cr, p.x + p.w * 0.2, base - p.h * 0.2, cx - p.w * 0.08, p.y + p.h * 0.3, cx, p.y + 8);
        cairo_curve_to(cr, cx + p.w * 0.08, p.y + p.h * 0.3, p.x + p.w * 0.8, base - p.h * 0.2, p.x + p.w, base);
        cairo_close_path(cr);
    }
    LitFill(cr, s.roof, p.x, p.w);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    RoofSlates(cr, s.roof, p.x, p.y, p.w, p.h);
    if (n == 4) {
        // moss and thatch streaks
        Rng rng(static_cast<uint64_t>(p.x) + 11);
        for (int i = 0; i < p.w * 0.8; ++i) {
            const double x = rng.Range(p.x, p.x + p.w), y = rng.Range(p.y, base);
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x + rng.Range(-2, 2), y + rng.Range(4, 9));
            SetColour(cr, WithAlpha(rng.Unit() < 0.5 ? Hex(0x86a84a) : Hex(0x2a3a14), 0.5));
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
        }
    }
    if (s.roofShape == RoofShape::SnowCone) {
        // snow on the upper slopes and along the eaves
        cairo_new_path(cr);
        cairo_move_to(cr, p.x, p.y);
        cairo_line_to(cr, p.x + p.w, p.y);
        cairo_line_to(cr, p.x + p.w, p.y + p.h * 0.42);
        for (int i = 10; i >= 0; --i)
            cairo_line_to(cr, p.x + p.w * i / 10.0, p.y + p.h * (0.36 + 0.08 * ((i * 7) % 3)));
        cairo_close_path(cr);
        FillVertical(cr, p.y, p.y + p.h * 0.5, {pal::White, Hex(0xc8d4ec)});
        cairo_rectangle(cr, p.x, base - 5, p.w, 5);
        SetColour(cr, Hex(0xe8eef8));
        cairo_fill(cr);
    }
    cairo_restore(cr);
    Outline(cr, 1.6);
    if (!gable && !low) Finial(cr, s, cx, p.y + 8);
}

void DrawSpire(cairo_t* cr, int n, const Part& p) {
    const Style& s = kStyles[n];
    const double cx = p.x + p.w / 2, base = p.y + p.h;
    cairo_move_to(cr, p.x, base);
    cairo_line_to(cr, p.x + p.w * 0.18, base - 6);
    cairo_line_to(cr, cx, p.y + 10);
    cairo_line_to(cr, p.x + p.w * 0.82, base - 6);
    cairo_line_to(cr, p.x + p.w, base);
    cairo_close_path(cr);
    LitFill(cr, s.roof, p.x, p.w);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    for (double y = p.y + 24; y < base; y += 14) {
        cairo_rectangle(cr, p.x, y, p.w, 2.5);
        SetColour(cr, WithAlpha(s.trim, 0.75));
        cairo_fill(cr);
    }
    cairo_restore(cr);
    Outline(cr, 1.4);
    // a crescent on the tip
    cairo_arc(cr, cx, p.y + 5, 5, 0, 2 * Pi);
    cairo_arc_negative(cr, cx + 2.5, p.y + 3.5, 4.2, 2 * Pi, 0);
    SetColour(cr, s.trim);
    cairo_fill(cr);
    Glow(cr, cx, p.y + 5, 10, WithAlpha(pal::MagicBlue, 0.4));
}

void DrawDome(cairo_t* cr, int n, const Part& p) {
    const Style& s = kStyles[n];
    const double cx = p.x + p.w / 2, base = p.y + p.h;
    // drum ring
    cairo_rectangle(cr, p.x + 2, base - 6, p.w - 4, 6);
    FillVertical(cr, base - 6, base, {Lighter(s.stone, 0.2), Darker(s.stone, 0.3)}, true);
    Outline(cr, 1.1);
    const double top = p.y + 10, b = base - 6;
    if (s.domeShape == DomeShape::Onion) {
        cairo_move_to(cr, p.x + 4, b);
        cairo_curve_to(cr, p.x - p.w * 0.08, b - (b - top) * 0.55, cx - p.w * 0.1, top + (b - top) * 0.25, cx, top);
        cairo_curve_to(cr, cx + p.w * 0.1, top + (b - top) * 0.25, p.x + p.w * 1.08, b - (b - top) * 0.55,
                       p.x + p.w - 4, b);
    } else {
        cairo_move_to(cr, p.x + 3, b);
        cairo_curve_to(cr, p.x + 3, top + (b - top) * 0.1, cx - p.w * 0.25, top, cx, top);
        cairo_curve_to(cr, cx + p.w * 0.25, top, p.x + p.w - 3, top + (b - top) * 0.1, p.x + p.w - 3, b);
    }
    cairo_close_path(cr);
    LitFill(cr, s.roof, p.x, p.w);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    // ribs and a highlight
    for (int i = 1; i < 6; ++i) {
        const double t = i / 6.0;
        cairo_move_to(cr, p.x + p.w * t, b);
        cairo_curve_to(cr, p.x + p.w * (0.5 + (t - 0.5) * 0.9), top + (b - top) * 0.4, cx, top + 4, cx, top);
    }
    SetColour(cr, WithAlpha(Darker(s.roof, 0.5), 0.4));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_arc(cr, p.x + p.w * 0.32, top + (b - top) * 0.45, p.w * 0.1, 0, 2 * Pi);
    SetColour(cr, WithAlpha(pal::White, 0.35));
    cairo_fill(cr);
    cairo_restore(cr);
    Outline(cr, 1.5);
    Finial(cr, s, cx, top);
}

void DrawFlag(cairo_t* cr, int n, const Part& p) {
    const Style& s = kStyles[n];
    const double px = p.x + 3;
    cairo_move_to(cr, px, p.y + p.h);
    cairo_line_to(cr, px, p.y + 3);
    Stroke(cr, pal::Outline, 3);
    cairo_move_to(cr, px, p.y + p.h);
    cairo_line_to(cr, px, p.y + 3);
    Stroke(cr, pal::WoodLight, 1.4);
    cairo_arc(cr, px, p.y + 3, 2.4, 0, 2 * Pi);
    SetColour(cr, pal::Gold);
    cairo_fill_preserve(cr);
    Outline(cr, 0.8);
    // a swallow-tailed banner rippling to the right
    const double bx = px + 1, by = p.y + 6, bw = p.w - 8, bh = std::min(20.0, p.h * 0.45);
    cairo_move_to(cr, bx, by);
    cairo_curve_to(cr, bx + bw * 0.3, by - 4, bx + bw * 0.6, by + 4, bx + bw, by + 1);
    cairo_line_to(cr, bx + bw * 0.8, by + bh * 0.5);
    cairo_line_to(cr, bx + bw, by + bh);
    cairo_curve_to(cr, bx + bw * 0.6, by + bh + 3, bx + bw * 0.3, by + bh - 5, bx, by + bh);
    cairo_close_path(cr);
    FillVertical(cr, by, by + bh, {Lighter(s.banner, 0.25), s.banner, Darker(s.banner, 0.35)}, true);
    Outline(cr, 1.2);
    DrawGem(cr, static_cast<Gem>(n), bx + bw * 0.38, by + bh * 0.5, bh * 0.55);
}

void DrawBridge(cairo_t* cr, int n, const Part& p) {
    const Style& s = kStyles[n];
    cairo_move_to(cr, p.x, p.y);
    cairo_line_to(cr, p.x + p.w, p.y);
    cairo_line_to(cr, p.x + p.w, p.y + p.h);
    cairo_curve_to(cr, p.x + p.w * 0.75, p.y + p.h * 0.35, p.x + p.w * 0.25, p.y + p.h * 0.35, p.x, p.y + p.h);
    cairo_close_path(cr);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    Masonry(cr, n, p.x, p.y, p.w, p.h, 333 + static_cast<uint32_t>(p.x));
    cairo_restore(cr);
    Outline(cr, 1.3);
    // parapet rail
    cairo_rectangle(cr, p.x - 1, p.y - 4, p.w + 2, 4);
    SetColour(cr, Lighter(s.stone, 0.25));
    cairo_fill_preserve(cr);
    Outline(cr, 1.0);
}

void DrawLantern(cairo_t* cr, int n, const Part& p) {
    const Style& s = kStyles[n];
    const double cx = p.x + p.w / 2;
    Glow(cr, cx, p.y + p.h * 0.55, p.w * 0.9, WithAlpha(pal::SkyHaze, 0.8), 1.2);
    cairo_rectangle(cr, p.x + 8, p.y + p.h * 0.35, p.w - 16, p.h * 0.45);
    FillVertical(cr, p.y + p.h * 0.35, p.y + p.h * 0.8, {pal::GoldLight, pal::SkyHaze, pal::SkyGlow}, true);
    Outline(cr, 1.2);
    for (double x = p.x + 14; x < p.x + p.w - 10; x += 8) {
        cairo_move_to(cr, x, p.y + p.h * 0.35);
        cairo_line_to(cr, x, p.y + p.h * 0.8);
    }
    Stroke(cr, WithAlpha(pal::Outline, 0.7), 1.2);
    cairo_rectangle(cr, p.x + 4, p.y + p.h * 0.8, p.w - 8, p.h * 0.2);
    FillVertical(cr, p.y + p.h * 0.8, p.y + p.h, {Lighter(s.stone, 0.1), Darker(s.stone, 0.3)}, true);
    Outline(cr, 1.2);
    cairo_move_to(cr, p.x + 4, p.y + p.h * 0.36);
    cairo_line_to(cr, cx, p.y + 6);
    cairo_line_to(cr, p.x + p.w - 4, p.y + p.h * 0.36);
    cairo_close_path(cr);
    LitFill(cr, s.roof, p.x, p.w);
    Outline(cr, 1.3);
    Finial(cr, s, cx, p.y + 6);
}

void DrawChimney(cairo_t* cr, int n, const Part& p) {
    StoneWall(cr, p.x, p.y + 6, p.w, p.h - 6, 71, 6, Hex(0x7a7066));
    Shade(cr, p.x, p.y + 6, p.w, p.h - 6, false);
    cairo_rectangle(cr, p.x, p.y + 6, p.w, p.h - 6);
    Outline(cr, 1.2);
    cairo_rectangle(cr, p.x - 3, p.y, p.w + 6, 7);
    FillVertical(cr, p.y, p.y + 7, {Hex(0x9a8e80), Hex(0x4a423a)}, true);
    Outline(cr, 1.2);
    Glow(cr, p.x + p.w / 2, p.y + 2, 8, WithAlpha(pal::SkyGlow, 0.6));
    (void)n;
}

} // namespace

const Castle& Get(int n) { return Table()[static_cast<size_t>(std::clamp(n, 0, Count - 1))]; }

void PartBounds(const Part& p, double& x, double& y, double& w, double& h) {
    const double m = p.kind == Kind::Mound ? 2 : 6;
    x = std::floor(p.x - m - (p.kind == Kind::Gate ? 10 : 0) - (p.kind == Kind::Dome ? 6 : 0));
    y = std::floor(p.y - m - (p.kind == Kind::Roof || p.kind == Kind::Dome || p.kind == Kind::Lantern ? 8 : 0) -
                   (p.kind == Kind::Bridge ? 4 : 0));
    w = std::ceil(p.x + p.w + m + (p.kind == Kind::Gate ? 10 : 0) + (p.kind == Kind::Dome ? 6 : 0)) - x;
    h = std::ceil(p.y + p.h + m) - y;
    if (p.kind == Kind::Lantern) {
        x -= 20;
        w += 40;
        y -= 10;
        h += 10;
    }
}

void DrawPart(cairo_t* cr, int n, const Part& p) {
    cairo_save(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    switch (p.kind) {
    case Kind::Mound:
        DrawMound(cr, n, p);
        break;
    case Kind::Wall:
        DrawWall(cr, n, p);
        break;
    case Kind::Palisade:
        DrawPalisade(cr, n, p);
        break;
    case Kind::Gate:
        DrawGate(cr, n, p);
        break;
    case Kind::RoundTower:
        DrawTowerBody(cr, n, p, true);
        break;
    case Kind::SquareTower:
        DrawTowerBody(cr, n, p, false);
        break;
    case Kind::Keep:
        DrawKeep(cr, n, p);
        break;
    case Kind::Hall:
        DrawHall(cr, n, p);
        break;
    case Kind::Roof:
        DrawRoof(cr, n, p);
        break;
    case Kind::Spire:
        DrawSpire(cr, n, p);
        break;
    case Kind::Dome:
        DrawDome(cr, n, p);
        break;
    case Kind::Flag:
        DrawFlag(cr, n, p);
        break;
    case Kind::Bridge:
        DrawBridge(cr, n, p);
        break;
    case Kind::Lantern:
        DrawLantern(cr, n, p);
        break;
    case Kind::Chimney:
        DrawChimney(cr, n, p);
        break;
    }
    cairo_restore(cr);
}

// [SECTION] Whole castles --------------------------------------------------------------------------------------------

void DrawCastle(cairo_t* cr, int n, double x, double baseY, double scale, int upTo) {
    const Castle& c = Get(n);
    std::vector<const Part*> order;
    for (const Part& p : c.parts)
        if (upTo < 0 || p.storey < upTo) order.push_back(&p);
    std::stable_sort(order.begin(), order.end(), [](const Part* a, const Part* b) { return a->depth > b->depth; });
    cairo_save(cr);
    cairo_translate(cr, x, baseY - Ground * scale);
    cairo_scale(cr, scale, scale);
    for (const Part* p : order)
        DrawPart(cr, std::clamp(n, 0, Count - 1), *p);
    cairo_restore(cr);
}

// [SECTION] Settings -------------------------------------------------------------------------------------------------

namespace {

// The sky from the top down to h; below it the last colour goes on, so that no gap between the hills shows through.
void SkyGradient(cairo_t* cr, double w, double h, const std::vector<Rgb>& stops) {
    SetColour(cr, stops.back());
    cairo_paint(cr);
    cairo_rectangle(cr, 0, 0, w, h);
    FillVertical(cr, 0, h, stops);
}

void Stars(cairo_t* cr, double w, double h, uint32_t seed, int count) {
    Rng rng(seed);
    for (int i = 0; i < count; ++i) {
        const double x = rng.Range(0, w), y = rng.Range(0, h), r = rng.Range(0.4, 1.4);
        cairo_arc(cr, x, y, r, 0, 2 * Pi);
        SetColour(cr, WithAlpha(pal::White, rng.Range(0.3, 0.9)));
        cairo_fill(cr);
        if (r > 1.25) Twinkle(cr, x, y, r * 4, pal::White, 0.5);
    }
}

void Clouds(cairo_t* cr, double w, double y0, double y1, const Rgb& c, uint32_t seed) {
    Rng rng(seed);
    for (int i = 0; i < 14; ++i) {
        const double cx = rng.Range(-50, w + 50), cy = rng.Range(y0, y1), cw = rng.Range(80, 220);
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_scale(cr, 1, 0.22);
        cairo_arc(cr, 0, 0, cw / 2, 0, 2 * Pi);
        cairo_restore(cr);
        SetColour(cr, WithAlpha(c, rng.Range(0.12, 0.3)));
        cairo_fill(cr);
    }
}

// A range of peaks across the width.
void Peaks(cairo_t* cr, double w, double h, double baseY, double amp, const Rgb& c, uint32_t seed, bool snow) {
    Rng rng(seed);
    std::vector<std::pair<double, double>> pts;
    for (double x = -40; x < w + 80;) {
        pts.push_back({x, baseY - rng.Range(amp * 0.4, amp)});
        x += rng.Range(50, 120);
        pts.push_back({x, baseY - rng.Range(0, amp * 0.3)});
        x += rng.Range(40, 100);
    }
    cairo_move_to(cr, -40, h);
    for (const auto& [x, y] : pts)
        cairo_line_to(cr, x, y);
    cairo_line_to(cr, w + 80, h);
    cairo_close_path(cr);
    FillVertical(cr, baseY - amp, baseY + 40, {Lighter(c, 0.12), c});
    if (snow) {
        for (size_t i = 0; i + 1 < pts.size(); i += 2) {
            const auto [x, y] = pts[i];
            const double d = (baseY - y) * 0.28;
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x - d * 0.9, y + d);
            cairo_line_to(cr, x - d * 0.3, y + d * 0.8);
            cairo_line_to(cr, x + d * 0.2, y + d * 1.1);
            cairo_line_to(cr, x + d * 0.8, y + d * 0.9);
            cairo_close_path(cr);
            SetColour(cr, WithAlpha(Hex(0xdfe6f6), 0.85));
            cairo_fill(cr);
        }
    }
}

// Rounded deciduous trees (blossoms when bloom is set).
void Groves(cairo_t* cr, double w, double y, double size, const Rgb& c, uint32_t seed, bool bloom) {
    Rng rng(seed);
    for (double x = -20; x < w + 20; x += rng.Range(size * 0.6, size * 1.3)) {
        const double r = size * rng.Range(0.35, 0.6), ty = y - rng.Range(0, size * 0.2);
        cairo_rectangle(cr, x - 2, ty, 4, size * 0.4);
        SetColour(cr, Darker(c, 0.5));
        cairo_fill(cr);
        for (int k = 0; k < 4; ++k)
            cairo_arc(cr, x + rng.Range(-r, r) * 0.5, ty - rng.Range(0, r), r * rng.Range(0.6, 0.9), 0, 2 * Pi);
        SetColour(cr, c);
        cairo_fill(cr);
        if (bloom)
            for (int k = 0; k < 7; ++k) {
                cairo_arc(cr, x + rng.Range(-r, r), ty - rng.Range(0, r * 1.4), rng.Range(1.2, 2.4), 0, 2 * Pi);
                SetColour(cr, WithAlpha(k % 2 ? Hex(0xffc8dc) : pal::White, 0.85));
                cairo_fill(cr);
            }
    }
}

// Calm water from y to the bottom with glints and a mirrored glow.
void Water(cairo_t* cr, double w, double h, double y, const Rgb& top, const Rgb& bottom, const Rgb& glint,
           double glintX, uint32_t seed) {
    cairo_rectangle(cr, 0, y, w, h - y);
    FillVertical(cr, y, h, {top, bottom});
    Rng rng(seed);
    for (int i = 0; i < 160; ++i) {
        const double gy = rng.Range(y + 2, h), spread = (gy - y) * 0.9 + 20;
        const double gx = glintX + rng.Range(-spread, spread), len = rng.Range(6, 26) * (0.4 + (gy - y) / (h - y));
        cairo_move_to(cr, gx, gy);
        cairo_line_to(cr, gx + len, gy);
        SetColour(cr, WithAlpha(glint, rng.Range(0.15, 0.55) * (1 - std::abs(gx - glintX) / (spread + 1))));
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
    }
}

// The forest floor under a tree line, from y (within the trees) down to the bottom, so the trees never end in a
// hard edge against the sky behind them.
void Floor(cairo_t* cr, double w, double h, double y, const Rgb& c) {
    cairo_rectangle(cr, 0, y - 1, w, h - y + 1);
    FillVertical(cr, y - 1, y + h * 0.06, {WithAlpha(c, 0), c}); // fades in, never a ruled line
}

// A ground band from y to the bottom, with a soft top edge in the land's colour.
void Land(cairo_t* cr, double w, double h, double y, const Rgb& top, const Rgb& bottom, uint32_t seed) {
    cairo_move_to(cr, 0, h);
    for (double x = 0; x <= w + 10; x += 10)
        cairo_line_to(cr, x, y + (Noise2(x / 140.0, 0.3, seed, 3) - 0.5) * 24);
    cairo_line_to(cr, w, h);
    cairo_close_path(cr);
    FillVertical(cr, y - 12, h, {top, bottom});
}

} // namespace

void DrawScene(cairo_t* cr, int n, double w, double h, double castleCx, double groundY) {
    const uint32_t seed = 4200 + static_cast<uint32_t>(n) * 17;
    const double horizon = std::min(groundY - h * 0.12, h * 0.72);
    switch (n) {
    case 0: // dusk over rolling hills
        DuskSky(cr, w, h, horizon, seed, 0.7);
        Hills(cr, w, h, horizon - h * 0.02, h * 0.05, pal::HillFar, seed + 1);
        Hills(cr, w, h, horizon + h * 0.05, h * 0.04, Mix(pal::HillMid, pal::Forest, 0.4), seed + 2);
        TreeLine(cr, w, horizon + h * 0.09, h * 0.05, Hex(0x1a2a24), seed + 3);
        Floor(cr, w, h, horizon + h * 0.09 - h * 0.05 * 0.4, Hex(0x1a2a24));
        Land(cr, w, h, groundY - h * 0.04, Hex(0x3a5a30), Hex(0x14201a), seed + 4);
        break;
    case 1: { // sunset over the sea
        SkyGradient(cr, w, horizon, {Hex(0x2a2a5a), Hex(0x8a4a7a), Hex(0xf08a5a), Hex(0xffd090)});
        Clouds(cr, w, h * 0.1, horizon * 0.8, Hex(0xffb0a0), seed);
        Glow(cr, castleCx + w * 0.28, horizon - 8, h * 0.2, WithAlpha(pal::SkyHaze, 0.8), 1.3);
        cairo_arc(cr, castleCx + w * 0.28, horizon - 4, h * 0.045, Pi, 2 * Pi);
        SetColour(cr, pal::SkyHaze);
        cairo_fill(cr);
        Water(cr, w, h, horizon, Hex(0x5a5a8a), Hex(0x12203a), pal::SkyHaze, castleCx + w * 0.28, seed + 1);
        break;
    }
    case 2: // desert dusk over dunes
        SkyGradient(cr, w, horizon + 4, {Hex(0x3a2450), Hex(0xb0486a), Hex(0xf09040), Hex(0xffd070)});
        Glow(cr, w * 0.82, horizon - h * 0.06, h * 0.16, WithAlpha(pal::SkyHaze, 0.7), 1.2);
        cairo_arc(cr, w * 0.82, horizon - h * 0.06, h * 0.04, 0, 2 * Pi);
        SetColour(cr, Hex(0xfff0c0));
        cairo_fill(cr);
        Hills(cr, w, h, horizon, h * 0.04, Hex(0xb0704a), seed + 1);
        Hills(cr, w, h, horizon + h * 0.06, h * 0.05, Hex(0x9a5a36), seed + 2);
        Land(cr, w, h, groundY - h * 0.03, Hex(0xc08a50), Hex(0x5a3018), seed + 3);
        break;
    case 3: // night among snowy peaks
        SkyGradient(cr, w, h, {Hex(0x080c24), Hex(0x1a2450), Hex(0x3a4a7a)});
        Stars(cr, w, horizon, seed, 160);
        Peaks(cr, w, h, horizon, h * 0.3, Hex(0x3a4468), seed + 1, true);
        Peaks(cr, w, h, horizon + h * 0.08, h * 0.16, Hex(0x262c48), seed + 2, true);
        Land(cr, w, h, groundY - h * 0.02, Hex(0x2a2e40), Hex(0x0e1018), seed + 3);
        break;
    case 4: // twilight in the deep forest
        SkyGradient(cr, w, h, {Hex(0x1a2a3a), Hex(0x3a5a5a), Hex(0x8aa070)});
        TreeLine(cr, w, horizon - h * 0.04, h * 0.14, Hex(0x2a4a3a), seed + 1);
        Floor(cr, w, h, horizon - h * 0.04 - h * 0.14 * 0.4, Hex(0x2a4a3a));
        cairo_rectangle(cr, 0, horizon - h * 0.12, w, h * 0.2);
        FillVertical(cr, horizon - h * 0.12, horizon + h * 0.08,
                     {WithAlpha(Hex(0xc0d8c0), 0), WithAlpha(Hex(0xc0d8c0), 0.25), WithAlpha(Hex(0xc0d8c0), 0)});
        TreeLine(cr, w, horizon + h * 0.04, h * 0.2, Hex(0x16281e), seed + 2);
        Floor(cr, w, h, horizon + h * 0.04 - h * 0.2 * 0.4, Hex(0x16281e));
        Land(cr, w, h, groundY - h * 0.03, Hex(0x2a4420), Hex(0x0e160c), seed + 3);
        break;
    case 5: { // one great moon over a still lake
        SkyGradient(cr, w, horizon, {Hex(0x0a0a26), Hex(0x242060), Hex(0x4a3a8a)});
        Stars(cr, w, horizon, seed, 220);
        const double mx = castleCx + w * 0.3, my = h * 0.2, mr = h * 0.075;
        Glow(cr, mx, my, mr * 3.5, WithAlpha(Hex(0xd8e0ff), 0.6), 1.2);
        cairo_arc(cr, mx, my, mr, 0, 2 * Pi);
        FillRadial(cr, mx - mr * 0.3, my - mr * 0.3, mr * 1.3, Hex(0xffffff), Hex(0xc8ccf0));
        for (int i = 0; i < 5; ++i) {
            cairo_arc(cr, mx + std::cos(i * 2.1) * mr * 0.5, my + std::sin(i * 1.7) * mr * 0.45, mr * 0.13, 0, 2 * Pi);
            SetColour(cr, WithAlpha(Hex(0x9a9ec8), 0.45));
            cairo_fill(cr);
        }
        Hills(cr, w, h, horizon - h * 0.02, h * 0.04, Hex(0x2a2452), seed + 1);
        Water(cr, w, h, horizon + h * 0.02, Hex(0x2a2a60), Hex(0x0a0a20), Hex(0xe0e6ff), mx, seed + 2);
        break;
    }
    default: // dawn over a blossoming valley
        SkyGradient(cr, w, horizon + 10, {Hex(0x5a5a9a), Hex(0xe0a0b8), Hex(0xffd8b0), Hex(0xfff0c8)});
        Clouds(cr, w, h * 0.05, horizon * 0.7, pal::White, seed);
        Hills(cr, w, h, horizon - h * 0.03, h * 0.05, Hex(0x9a8ab8), seed + 1);
        Hills(cr, w, h, horizon + h * 0.04, h * 0.05, Hex(0x5a8a5a), seed + 2);
        Groves(cr, w, horizon + h * 0.1, h * 0.07, Hex(0x3a6a3a), seed + 3, true);
        Land(cr, w, h, groundY - h * 0.03, Hex(0x4a7a3a), Hex(0x1a2a14), seed + 4);
        break;
    }
}

} // namespace art::castles
