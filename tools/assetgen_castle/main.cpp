// The castle generator: one picture per castle part, the seven price files, the scenes behind the castles (build
// menu and game screen), the build-menu and level-map pictures. Run by the build with the asset folder as its
// first argument (cmake/Assets.cmake); docs/castles.md explains the content and the economy.
//
// Sections: [Economy] [Parts and price files] [Scenes] [Build menu] [Level map]
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "assetgen_images/ui.h"
#include "assetlib/art.h"
#include "assetlib/castles.h"
#include "castle/castle.h"
#include "magic_art.h"

// The generator runs before the archive exists: it links the game's code but no packed archive.
extern "C" const uint8_t bq_assets_begin[1] = {0};
extern "C" const uint8_t bq_assets_end[1] = {0};

using namespace art;
namespace cs = art::castles;

namespace {

std::string g_out;
bool g_ok = true;

void Png(const std::string& path, const Canvas& c) { g_ok = WritePngRgba(g_out + "/" + path, c) && g_ok; }
void Jpg(const std::string& path, const Canvas& c) { g_ok = WriteJpeg(g_out + "/" + path, c, 90) && g_ok; }

// [SECTION] Economy
// ----------------------------------------------------------------------------------------------------

// The plan: the level after which each castle should stand when the player builds as soon as they can. The gaps
// grow, so the later castles take longer.
constexpr int kFinishPlan[cs::Count] = {12, 29, 48, 69, 92, 117, 142};
constexpr double kBagPerLevel = 88; // what a level brings with the bag at treasure level 0 (its limit is 90)
constexpr double kShare = 0.82;     // of that income a castle asks for (the rest is lost to uneven colours)

// Gem colours a level's board deals (as the level generator makes them): five up to level 20, purple from 21,
// white on the odd levels from 61.
bool ColourDealt(int level, int colour) {
    if (colour <= 4) return true;
    if (colour == 5) return level >= 21;
    return level >= 61 && level % 2 == 1;
}

// Colours castle n asks for: only those every level deals by the time a player can reach the castle. A player who
// buys the treasure chests gets there far earlier than the plan, so purple is asked from the third castle on and
// white only by the last; a colour that came later would leave such a player nothing to buy for many levels.
bool ColourAsked(int n, int colour) {
    if (colour <= 4) return true;
    if (colour == 5) return n >= 2;
    return n == cs::Count - 1;
}

// Expected gems of each colour the castle asks for over its planned levels (the other colours' gems are lost).
std::array<double, 7> ColourBudget(int n) {
    std::array<double, 7> b{};
    const int first = n == 0 ? 1 : kFinishPlan[n - 1] + 1;
    for (int l = first; l <= kFinishPlan[n]; ++l) {
        int dealt = 0;
        for (int c = 0; c < 7; ++c)
            dealt += ColourDealt(l, c);
        for (int c = 0; c < 7; ++c)
            if (ColourDealt(l, c) && ColourAsked(n, c)) b[static_cast<size_t>(c)] += kBagPerLevel * kShare / dealt;
    }
    return b;
}

// Prices of every part of castle n: each colour's budget spread over the parts by weight, each part asking for
// three colours (turning through the castle's colours so that every colour is wanted in every storey).
std::vector<std::array<int, 7>> Prices(int n) {
    const cs::Castle& castle = cs::Get(n);
    const std::array<double, 7> budget = ColourBudget(n);
    std::vector<int> colours;
    for (int c = 0; c < 7; ++c)
        if (budget[static_cast<size_t>(c)] > 1) colours.push_back(c);
    const size_t k = colours.size();
    std::vector<std::array<double, 7>> share(castle.parts.size());
    std::array<double, 7> sum{};
    for (size_t i = 0; i < castle.parts.size(); ++i) {
        for (size_t j = 0; j < 3; ++j) {
            const int c = colours[(i * 2 + j + static_cast<size_t>(n)) % k];
            share[i][static_cast<size_t>(c)] = castle.parts[i].weight * (j == 0 ? 1.3 : 1.0);
            sum[static_cast<size_t>(c)] += share[i][static_cast<size_t>(c)];
        }
    }
    std::vector<std::array<int, 7>> prices(castle.parts.size());
    for (size_t i = 0; i < castle.parts.size(); ++i)
        for (size_t c = 0; c < 7; ++c) {
            if (share[i][c] == 0) continue;
            double v = budget[c] * share[i][c] / sum[c];
            // the very first part is bought after the first level: keep it within its gems
            if (n == 0 && i == 0) v = std::min(v, 9.0);
            prices[i][c] = std::max(1, static_cast<int>(std::lround(v)));
        }
    return prices;
}

// [SECTION] Parts and price files
// --------------------------------------------------------------------------------------

std::string PartPath(int n, size_t i) {
    char name[64];
    std::snprintf(name, sizeof name, "Images/Castles/Castle%d/part%02zu.png", n + 1, i + 1);
    return name;
}

void WriteCastle(int n) {
    const cs::Castle& castle = cs::Get(n);
    const auto prices = Prices(n);
    std::ostringstream txt;
    txt << "# Castle " << n + 1 << ": " << castle.name << " - " << castle.setting << "\n"
        << "# level=<storey>, then one line per part:\n"
        << "# elem <red> <orange> <yellow> <green> <blue> <purple> <white> x= y= depth= img= [anim=] [needs=] name=\n";
    int storey = -1;
    std::vector<size_t> inStorey; // elem number (1-based within the storey) of each part index
    std::vector<size_t> storeyParts;
    for (size_t i = 0; i < castle.parts.size(); ++i) {
        const cs::Part& p = castle.parts[i];
        if (p.storey != storey) {
            storey = p.storey;
            storeyParts.clear();
            txt << "\nlevel=" << storey + 1 << "\n";
        }
        double bx, by, bw, bh;
        cs::PartBounds(p, bx, by, bw, bh);
        Canvas c(static_cast<int>(bw), static_cast<int>(bh));
        cairo_translate(c.cr(), -bx, -by);
        cs::DrawPart(c.cr(), n, p);
        Png(PartPath(n, i), c);
        txt << "elem";
        for (int g : prices[i])
            txt << " " << g;
        txt << " x=" << bx << " y=" << by << " depth=" << p.depth << " img=" << PartPath(n, i);
        if (p.kind == cs::Kind::Flag) txt << " anim=flag";
        if (p.kind == cs::Kind::Chimney) txt << " anim=smoke";
        // a roof, dome, spire, flag or lantern needs what it stands on: the parts of this storey under it
        std::string needs;
        const bool onTop = p.kind == cs::Kind::Roof || p.kind == cs::Kind::Dome || p.kind == cs::Kind::Spire ||
                           p.kind == cs::Kind::Flag || p.kind == cs::Kind::Lantern || p.kind == cs::Kind::Chimney;
        for (size_t k = 0; onTop && k < storeyParts.size(); ++k) {
            const cs::Part& q = castle.parts[storeyParts[k]];
            const bool under = q.x < p.x + p.w && p.x < q.x + q.w && q.y > p.y && q.y <= p.y + p.h + 12;
            if (!under) continue;
            if (!needs.empty()) needs += ',';
            needs += std::to_string(k + 1);
        }
        if (!needs.empty()) txt << " needs=" << needs;
        txt << " name=" << p.name << "\n";
        storeyParts.push_back(i);
    }
    std::ofstream f(g_out + "/Images/Castles/Castle" + std::to_string(n + 1) + ".txt", std::ios::binary);
    f << txt.str();
    g_ok = g_ok && static_cast<bool>(f);
}

// [SECTION] Scenes
// -----------------------------------------------------------------------------------------------------

// Behind the board the castle stands high, so that its towers and roofs rise above the board (castle.cpp).
constexpr double kGameCastleY = 10;

void WriteScenes(int n) {
    {
        // build menu: the castle stands left of the panel; the ground under it a little darker
        Canvas c(800, 600);
        cs::DrawScene(c.cr(), n, 800, 600, 30 + cs::Width / 2, 150 + cs::Ground);
        // a soft shadow where the castle will stand
        cairo_save(c.cr());
        cairo_translate(c.cr(), 230, 494);
        cairo_scale(c.cr(), 1, 0.12);
        cairo_arc(c.cr(), 0, 0, 230, 0, 6.3);
        cairo_restore(c.cr());
        SetColour(c.cr(), WithAlpha(pal::Black, 0.25));
        cairo_fill(c.cr());
        Jpg("Images/Castles/castle" + std::to_string(n + 1) + "_build.jpg", c);
    }
    {
        // behind the board: the same place, darker and calmer so that the board reads over it
        Canvas c(800, 600);
        cs::DrawScene(c.cr(), n, 800, 600, 400, kGameCastleY + cs::Ground);
        Adjust(c, 0.7, -0.28);
        Jpg("Images/Castles/castle" + std::to_string(n + 1) + "_game.jpg", c);
    }
}

void WriteSmoke() {
    Canvas c(24, 24);
    for (int i = 0; i < 3; ++i) {
        cairo_arc(c.cr(), 9 + i * 3, 13 - i * 2, 6 - i, 0, 6.3);
        FillRadial(c.cr(), 8 + i * 3, 11 - i * 2, 8, WithAlpha(Hex(0xd8d4d0), 0.8), WithAlpha(Hex(0x8a8480), 0.0));
    }
    Png("Images/Castles/smoke.png", c);
}

// [SECTION] Build menu
// -------------------------------------------------------------------------------------------------

void WriteBuildMenu() {
    // the panel: velvet in a stone frame, a title plaque and a rule above the four buttons
    {
        Canvas c(348, 600);
        PaintCastlePanel(c, 61, 46, 280, 44, {30, 480, 318, 480});
        Png("Images/GUI/BuildMenu/bm_panel.png", c);
    }
    {
        Canvas c(424, 60);
        cairo_t* cr = c.cr();
        PathRoundRect(cr, 3, 3, 418, 54, 14);
        FillVertical(cr, 3, 57, {WithAlpha(imagegen::VelvetLight, 0.92), WithAlpha(imagegen::Velvet, 0.92)}, true);
        GoldTrim(cr, 3);
        Png("Images/GUI/BuildMenu/bm_gembar.png", c);
    }
    WritePlaques(g_out, g_ok, "Images/GUI/BuildMenu/bm_part", 306, 62, Hex(0x2a2350));
    WritePlaques(g_out, g_ok, "Images/GUI/BuildMenu/bm_btn", 144, 42, imagegen::ButtonBlue);
    WritePlaques(g_out, g_ok, "Images/GUI/BuildMenu/lm_btn", 104, 36, imagegen::ButtonBlue);
    // the two treasure displays: the bag and the chest
    {
        Canvas c(60, 56);
        cairo_t* cr = c.cr();
        cairo_move_to(cr, 14, 20);
        cairo_curve_to(cr, 2, 34, 4, 52, 30, 52);
        cairo_curve_to(cr, 56, 52, 58, 34, 46, 20);
        cairo_close_path(cr);
        FillVertical(cr, 16, 52, {Hex(0xb08050), Hex(0x7a5030), Hex(0x4a2a14)}, true);
        Stroke(cr, pal::Outline, 2);
        cairo_move_to(cr, 14, 20);
        cairo_line_to(cr, 46, 20);
        GoldTrim(cr, 3);
        for (int g = 0; g < 3; ++g)
            DrawGem(cr, static_cast<Gem>(g * 2), 20 + g * 10, 12 + (g % 2) * 3, 13);
        Png("Images/GUI/BuildMenu/treasure_bag.png", c);
    }
    {
        Canvas c(64, 56);
        cairo_t* cr = c.cr();
        WoodPlanks(cr, 6, 24, 52, 28, 5);
        cairo_rectangle(cr, 6, 24, 52, 28);
        Stroke(cr, pal::Outline, 2);
        cairo_move_to(cr, 6, 24);
        cairo_curve_to(cr, 6, 6, 58, 6, 58, 24);
        cairo_close_path(cr);
        FillVertical(cr, 8, 24, {pal::WoodLight, pal::WoodDark}, true);
        Stroke(cr, pal::Outline, 2);
        for (double x : {14.0, 50.0}) {
            cairo_move_to(cr, x, 12);
            cairo_line_to(cr, x, 52);
            GoldTrim(cr, 3);
        }
        Rivet(cr, 32, 28, 4);
        DrawGem(cr, Gem::Blue, 32, 12, 12);
        Png("Images/GUI/BuildMenu/treasure_chest.png", c);
    }
}

// [SECTION] Level map
// --------------------------------------------------------------------------------------------------

void WriteLevelMap() {
    Canvas c(800, 600);
    cairo_t* cr = c.cr();
    Parchment(cr, 0, 0, 800, 600, 808, 0);
    // the seven lands: a wash of each castle's colour round its stretch of road
    static const Rgb kLand[cs::Count] = {Hex(0x6a9a5a), Hex(0x5a8aa8), Hex(0xd0a060), Hex(0x8a90a8),
                                         Hex(0x4a7a3a), Hex(0x9a90c8), Hex(0xd89ab0)};
    for (int l = 1; l <= kLevelsPlanned; ++l) {
        const MapPoint p = LevelMap_PointOf(l);
        cairo_arc(cr, p.x, p.y, 46, 0, 6.3);
        FillRadial(cr, p.x, p.y, 46, WithAlpha(kLand[LevelMap_CastleOf(l)], 0.16),
                   WithAlpha(kLand[LevelMap_CastleOf(l)], 0));
    }
    // the road, dashed in ink
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int l = 1; l < kLevelsPlanned; ++l) {
        const MapPoint a = LevelMap_PointOf(l), b = LevelMap_PointOf(l + 1);
        cairo_move_to(cr, a.x, a.y);
        cairo_line_to(cr, b.x, b.y);
    }
    SetColour(cr, WithAlpha(pal::Ink, 0.55));
    cairo_set_line_width(cr, 2.2);
    const double dash[2] = {5, 4};
    cairo_set_dash(cr, dash, 2, 0);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    // each land's name and a light patch where the game draws its castle (LevelMap_CastlePoint), finished or as a
    // faint sketch until it is rebuilt
    for (int n = 0; n < cs::Count; ++n) {
        const MapPoint at = LevelMap_CastlePoint(n);
        const double cx = at.x, base = at.y;
        cairo_arc(cr, cx, base - 4, 52, 0, 6.3);
        FillRadial(cr, cx, base - 4, 52, WithAlpha(pal::ParchLight, 0.9), WithAlpha(pal::ParchLight, 0));
        const bool above = base > 434 || (base < 184 && cx < 200); // clear of the road's bends and the buttons
        DrawText(cr, cs::Get(n).name, cx, above ? base - 88 : base + 46, imagegen::InkHeading(17));
        Canvas icon(96, 84);
        cs::DrawCastle(icon.cr(), n, 4, 79, 0.22);
        Png("Images/LevelMap/lm_castle" + std::to_string(n + 1) + ".png", icon);
    }
    // compass rose and a title cartouche
    {
        const double cx = 740, cy = 60;
        PathStar(cr, cx, cy, 30, 7, 4, -90);
        FillVertical(cr, cy - 30, cy + 30, {pal::GoldLight, pal::GoldDark}, true);
        Stroke(cr, pal::Ink, 1.2);
        PathStar(cr, cx, cy, 18, 4, 4, -45);
        SetColour(cr, WithAlpha(pal::Ink, 0.7));
        cairo_fill(cr);
    }
    OrnateFrame(cr, 0, 0, 800, 600, 12, 8, 809, true);
    Jpg("Images/LevelMap/levelmap.jpg", c);

    {
        Canvas p(14, 14);
        cairo_arc(p.cr(), 7, 7, 4.5, 0, 6.3);
        FillRadial(p.cr(), 6, 6, 6, pal::ParchLight, pal::ParchDark, true);
        Stroke(p.cr(), pal::Ink, 1.3);
        Png("Images/LevelMap/lm_point.png", p);
    }
    {
        Canvas p(14, 14);
        cairo_arc(p.cr(), 7, 7, 5, 0, 6.3);
        FillRadial(p.cr(), 6, 5.5, 6, pal::GoldLight, pal::GoldDark, true);
        Stroke(p.cr(), pal::Outline, 1.3);
        Png("Images/LevelMap/lm_point_done.png", p);
    }
    {
        // a gem on a gold pin, its point at the bottom centre
        Canvas p(30, 44);
        cairo_t* pc = p.cr();
        cairo_move_to(pc, 15, 43);
        cairo_line_to(pc, 8, 22);
        cairo_line_to(pc, 22, 22);
        cairo_close_path(pc);
        FillVertical(pc, 22, 43, {pal::GoldLight, pal::GoldDark}, true);
        Stroke(pc, pal::Outline, 1.4);
        DrawGem(pc, Gem::Red, 15, 15, 24, GemStyle{0.6, 1, 0.05, true});
        Png("Images/LevelMap/lm_cursor.png", p);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <asset folder>\n", argv[0]);
        return 2;
    }
    g_out = argv[1];
    if (argc >= 3 && std::string(argv[2]) == "--preview") {
        // a look at every castle finished, in its build-menu setting, as one sheet (not part of the assets)
        Canvas sheet(1600, 1200);
        for (int n = 0; n < cs::Count + 1; ++n) {
            Canvas c(800, 600);
            if (n < cs::Count) {
                cs::DrawScene(c.cr(), n, 800, 600, 230, 490);
                cs::DrawCastle(c.cr(), n, 30, 490, 1.0);
            } else {
                Canvas m(1, 1);
                cs::DrawScene(c.cr(), 0, 800, 600, 230, 490);
                cs::DrawCastle(c.cr(), 0, 30, 490, 1.0, 2);
            }
            sheet.Blit(c, (n % 3) * 533.0, (n / 3) * 400.0, 533, 400);
        }
        return WritePngRgba(argc >= 4 ? argv[3] : "/tmp/castles.png", sheet) ? 0 : 1;
    }
    MakeParents(g_out + "/Images/Castles/x");
    for (int n = 0; n < cs::Count; ++n) {
        WriteCastle(n);
        WriteScenes(n);
    }
    WriteSmoke();
    WriteBuildMenu();
    WriteLevelMap();
    WriteMagic(g_out, g_ok);
    return g_ok ? 0 : 1;
}
