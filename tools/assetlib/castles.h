// The seven castles of the campaign as drawings: each castle is a list of parts (walls, towers, roofs, gates,
// flags...) in its own materials and setting, drawn one part at a time. The castle generator makes one picture per
// part and the price files from this table; the image generator draws whole castles (wallpapers, logo, menus) and
// the scenes behind them with the same functions, so every picture of castle n shows the same castle.
#pragma once

#include <cairo.h>

#include <string>
#include <vector>

#include "assetlib/art.h"

namespace art::castles {

// Castle space: 400 wide, 360 high, the ground line at y = 340.
constexpr double Width = 400, Height = 360, Ground = 340;
constexpr int Count = 7;

enum class Kind {
    Mound,       // the hill or rock the castle stands on
    Wall,        // curtain wall with battlements
    Palisade,    // wooden stake wall
    Gate,        // gatehouse with an arched gate
    RoundTower,  // round tower body with a corbelled top
    SquareTower, // square tower body
    Keep,        // the great hall or keep
    Hall,        // timber-framed hall
    Roof,        // roof over the part below (the castle's roof shape)
    Spire,       // needle roof
    Dome,        // dome or onion roof (by castle)
    Flag,        // pole and banner
    Bridge,      // arched bridge between towers
    Lantern,     // lighthouse lantern
    Chimney,     // chimney (smokes in the game)
};

struct Part {
    Kind kind;
    int storey;        // 0 first
    double x, y, w, h; // its shape in castle space
    int depth;         // 0 front .. 127 back
    const char* name;  // German, shown on its build-menu button
    double weight;     // share of the castle's price
};

struct Castle {
    const char* name;        // Castle_Names
    const char* setting;     // what kind of place (for the docs)
    std::vector<Part> parts; // in drawing order within equal depths
    int storeys;
};

const Castle& Get(int n); // n 0..6

// The picture rectangle of a part in castle space (its shape with room for outlines, overhangs and banners).
void PartBounds(const Part& p, double& x, double& y, double& w, double& h);
// Draws part p of castle n in castle space (the caller translates and scales).
void DrawPart(cairo_t* cr, int n, const Part& p);
// Draws castle n with its ground line at baseY and its left edge at x, `scale` times castle space; storeys below
// `upTo` only (-1: all, the completed castle).
void DrawCastle(cairo_t* cr, int n, double x, double baseY, double scale, int upTo = -1);
// The setting of castle n over the whole w x h canvas: sky, far land and the ground the castle stands on, laid out
// for a castle whose ground line is at groundY and whose centre is at castleCx.
void DrawScene(cairo_t* cr, int n, double w, double h, double castleCx, double groundY);

} // namespace art::castles
