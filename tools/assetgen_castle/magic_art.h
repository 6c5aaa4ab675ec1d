// The shop's, the spells' and the in-game interface's pictures (magic_art.cpp), written by the castle generator;
// and the pieces the build menu's pictures (main.cpp) share with them.
#pragma once

#include <string>

#include "assetlib/art.h"

void WriteMagic(const std::string& dir, bool& ok); // into the asset folder `dir`; ok becomes false on a failed file

// A plaque button's pictures base + "_default.png", "_hovered.png", "_pressed.png" and, with `disabled`, a greyed
// "_disabled.png", w x h in the colour (radius -1: the plaque's own), into `dir`; ok becomes false on a failed file.
void WritePlaques(const std::string& dir, bool& ok, const std::string& base, int w, int h, const art::Rgb& colour,
                  double radius = -1, bool disabled = false);

// A castle screen's panel filling the canvas: velvet in a 14-pixel stone frame (seeds `seed` and seed + 1), a red
// title ribbon of ribbonW x ribbonH centred at (width / 2, ribbonY), a gold rule and a rivet in each velvet corner.
struct PanelRule {
    double x0, y0, x1, y1;
};
void PaintCastlePanel(art::Canvas& c, uint32_t seed, double ribbonY, double ribbonW, double ribbonH,
                      const PanelRule& rule);
