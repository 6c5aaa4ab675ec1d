// Shared pieces of the game's interface images: button plaques and their states, dialog frames with see-through
// button slots, dark velvet panels, gold filigree, ribbons and scenery. Used by every painter of this generator.
#pragma once

#include "assetgen_images/inventory.h"

namespace imagegen {

// The caption colours the game draws on buttons are pale (about 230, 232, 255), so buttons are dark jewel plaques.
constexpr art::Rgb ButtonBlue = art::Hex(0x23356e);
constexpr art::Rgb ButtonRed = art::Hex(0x6a1f2a);
constexpr art::Rgb ButtonGreen = art::Hex(0x1f5234);
constexpr art::Rgb Velvet = art::Hex(0x1a1d3f); // dialog interiors (white text reads on it)
constexpr art::Rgb VelvetLight = art::Hex(0x2c2f63);

// Turns a default-state drawing into the given state: hovered is lighter with a gold rim of light, pressed is
// darker and shifted one pixel right and down.
void ApplyButtonState(art::Canvas& c, int state);
// A rounded gem-coloured plaque with a gold rim filling the canvas (inset so that the hover glow fits).
void ButtonPlaque(art::Canvas& c, int state, const art::Rgb& base, double radius = -1);
// A round medallion button (gold ring, glass dome of the given colour, small gems around the ring).
void ButtonMedallion(art::Canvas& c, int state, const art::Rgb& dome, int studs);

// Midnight-blue velvet with a faint damask pattern filling the rectangle (clipped to rounded corners).
void VelvetPanel(cairo_t* cr, double x, double y, double w, double h, double radius, uint32_t seed);
// A complete dialog body: velvet inside an ornate stone frame with gold trims, filling the canvas.
// The body starts `top` pixels down the canvas (transparent above it).
void DialogBody(art::Canvas& c, uint32_t seed, double border, double radius, bool wood = false, double top = 0);
// Clears the frame's button slots (see FrameSlots) and draws a gold rim round each, outside the slot.
void CutSlots(art::Canvas& c, const std::string& framePath);
// A gold scroll ornament (two curls) centred at (x, y), size about s, turned by rotDeg.
void Filigree(cairo_t* cr, double x, double y, double s, double rotDeg);
// A heraldic shield of w x h centred at (cx, cy): an outline, a gold border and the field shaded from `light` at its
// top left to `dark`, each the shield grown by its amount in `grow` (negative: inset).
struct ShieldGrowth {
    double outline, gold, field;
};
void Shield(cairo_t* cr, double cx, double cy, double w, double h, const ShieldGrowth& grow, const art::Rgb& light,
            const art::Rgb& dark);
// A gold crown with five points round (cx, cy): its foot from -baseX to baseX at baseY, the outer points at +-tipX
// reaching tipY, the two valleys at +-valleyX and valleyY and the middle point at peakY (all relative to the centre).
struct CrownShape {
    double baseX, baseY, tipX, tipY, valleyX, valleyY, peakY;
};
void GoldCrown(cairo_t* cr, double cx, double cy, const CrownShape& k);
// A ribbon banner centred at (cx, cy) of width w and height h in the given colour with folded ends.
void Ribbon(cairo_t* cr, double cx, double cy, double w, double h, const art::Rgb& colour);
// A framed, inset recess (dark well) for lists and sliders.
void Recess(cairo_t* cr, double x, double y, double w, double h, double radius);
// The game's standard landscape: dusk sky, far mountains, hills, a castle and trees (for backdrops).
// castleStyle picks the castle's layout; detail 0..1 scales the amount of decoration.
void Landscape(cairo_t* cr, double w, double h, uint32_t seed, int castleStyle, double detail = 1.0,
               bool withCastle = true);
// Castle `style` (0..6) of the campaign, finished, standing on baseY with its left edge at x; 400 * scale wide
// (tools/assetlib/castles.h; the seed is not used: every picture of a castle shows the same castle).
void FancyCastle(cairo_t* cr, double x, double baseY, double scale, uint32_t seed, int style);
// A gold-edged parchment sheet with a drop shadow.
void ParchmentSheet(cairo_t* cr, double x, double y, double w, double h, uint32_t seed);
// Word-wraps text into lines that fit width at the style's size.
std::vector<std::string> WrapText(cairo_t* cr, const std::string& text, double width, const art::TextStyle& st);
// Draws wrapped text from (x, y) (first baseline) with the given line height; returns the y after the last line.
double DrawParagraph(cairo_t* cr, const std::string& text, double x, double y, double width, double lineH,
                     const art::TextStyle& st);

// Text styles used across the images.
art::TextStyle TitleStyle(double size); // gold display letters with a dark outline
art::TextStyle InkStyle(double size);   // dark ink on parchment (book face)
art::TextStyle InkHeading(double size); // dark red ink heading on parchment (display face)

} // namespace imagegen
