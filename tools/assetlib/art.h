// Image helpers of the asset generators: the art direction's palette, Cairo drawing of panels, stone, wood,
// parchment, glows, stars and the seven gems, text through FreeType faces, and deterministic PNG/JPEG writers.
// Used by tools/assetgen_images and tools/assetgen_board; docs/art.md describes the look these helpers make.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace art {

// [SECTION] Colours and palette ------------------------------------------------------------------------------------

struct Rgb {
    double r = 0, g = 0, b = 0, a = 1; // channels 0..1, straight (not premultiplied) alpha
};

constexpr Rgb Hex(uint32_t rgb, double a = 1.0) {
    return Rgb{((rgb >> 16) & 0xff) / 255.0, ((rgb >> 8) & 0xff) / 255.0, (rgb & 0xff) / 255.0, a};
}
Rgb Mix(const Rgb& a, const Rgb& b, double t); // a + (b - a) * t, alpha included
Rgb Lighter(const Rgb& c, double t);           // towards white by t (0..1)
Rgb Darker(const Rgb& c, double t);            // towards black by t (0..1)
Rgb Desaturate(const Rgb& c, double t);        // towards its own grey by t (0..1)
Rgb WithAlpha(const Rgb& c, double a);

// The one palette every game image draws from (docs/art.md shows what each is for).
namespace pal {
// dusk sky, top to horizon
constexpr Rgb SkyNight = Hex(0x141a3a);
constexpr Rgb SkyDusk = Hex(0x3b2f6b);
constexpr Rgb SkyRose = Hex(0xb0577a);
constexpr Rgb SkyGlow = Hex(0xf2a65a);
constexpr Rgb SkyHaze = Hex(0xffd98e);
// hills and far land
constexpr Rgb HillFar = Hex(0x4a3f6e);
constexpr Rgb HillMid = Hex(0x2e3552);
constexpr Rgb HillNear = Hex(0x1b2233);
constexpr Rgb Forest = Hex(0x1d3a2c);
constexpr Rgb Grass = Hex(0x4f7a3a);
// stone
constexpr Rgb StoneLight = Hex(0xc9bfae);
constexpr Rgb Stone = Hex(0x8f8577);
constexpr Rgb StoneDark = Hex(0x554d45);
constexpr Rgb StoneDeep = Hex(0x2d2824);
// wood
constexpr Rgb WoodLight = Hex(0xa8703f);
constexpr Rgb Wood = Hex(0x7a4a26);
constexpr Rgb WoodDark = Hex(0x4a2a14);
// gold and bronze trim
constexpr Rgb GoldLight = Hex(0xfff0a8);
constexpr Rgb Gold = Hex(0xf2c24b);
constexpr Rgb GoldDark = Hex(0xa8741c);
constexpr Rgb Bronze = Hex(0x6b4316);
// parchment
constexpr Rgb ParchLight = Hex(0xfbf0d2);
constexpr Rgb Parch = Hex(0xeedcb0);
constexpr Rgb ParchDark = Hex(0xc9a86e);
constexpr Rgb Ink = Hex(0x3a2414);
// outline and shadow
constexpr Rgb Outline = Hex(0x1e120a);
constexpr Rgb Shadow = Hex(0x000000, 0.45);
// jewel tones (gems and accents)
constexpr Rgb Ruby = Hex(0xe0283a);
constexpr Rgb Amber = Hex(0xff8a1e);
constexpr Rgb Topaz = Hex(0xffd92e);
constexpr Rgb Emerald = Hex(0x2ec45a);
constexpr Rgb Sapphire = Hex(0x2f6cf0);
constexpr Rgb Amethyst = Hex(0xa23ee0);
constexpr Rgb Diamond = Hex(0xd8f6ff);
// magic
constexpr Rgb MagicBlue = Hex(0x7fd4ff);
constexpr Rgb MagicGold = Hex(0xffe38a);
constexpr Rgb White = Hex(0xffffff);
constexpr Rgb Black = Hex(0x000000);
// the toolkit's calmer editor style
constexpr Rgb EdFace = Hex(0xd6d9de);
constexpr Rgb EdFaceLight = Hex(0xf3f4f6);
constexpr Rgb EdFaceDark = Hex(0x9ea4ad);
constexpr Rgb EdLine = Hex(0x4b525c);
constexpr Rgb EdAccent = Hex(0x3a78c8);
constexpr Rgb EdAccentLight = Hex(0x8cb8ee);
constexpr Rgb EdText = Hex(0x1f242b);
} // namespace pal

void SetColour(cairo_t* cr, const Rgb& c);

// [SECTION] Canvas -------------------------------------------------------------------------------------------------

// An ARGB32 Cairo surface with its context, transparent at start. Owns both.
class Canvas {
  public:
    Canvas(int width, int height);
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    Canvas(Canvas&&) noexcept = default;
    Canvas& operator=(Canvas&&) noexcept = default;

    cairo_t* cr() const { return cr_.get(); }
    cairo_surface_t* surface() const { return surface_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }

    // Straight-alpha RGBA pixel at (x, y) (for checks and pixel effects).
    void Pixel(int x, int y, uint8_t rgba[4]) const;
    // Makes every pixel inside the rectangle fully transparent.
    void Clear(double x, double y, double w, double h) const;
    // Draws another canvas into this one, scaled to fit the rectangle (bilinear).
    void Blit(const Canvas& src, double x, double y, double w, double h, double alpha = 1.0) const;

  private:
    struct SurfaceFree {
        void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
    };
    struct ContextFree {
        void operator()(cairo_t* c) const { cairo_destroy(c); }
    };
    int width_ = 0, height_ = 0;
    std::unique_ptr<cairo_surface_t, SurfaceFree> surface_;
    std::unique_ptr<cairo_t, ContextFree> cr_;
};

// [SECTION] Deterministic noise ------------------------------------------------------------------------------------

// Small seeded generator (splitmix64): the same seed gives the same textures on every run and machine.
class Rng {
  public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t Next();
    double Unit();                      // 0 <= x < 1
    double Range(double lo, double hi); // lo <= x < hi
    int Int(int lo, int hi);            // lo <= x <= hi

  private:
    uint64_t state_;
};

// Smooth value noise in 0..1 (octaves summed), for clouds, stains and grain.
double Noise2(double x, double y, uint32_t seed, int octaves = 4);

// [SECTION] Paths and fills ----------------------------------------------------------------------------------------

void PathRoundRect(cairo_t* cr, double x, double y, double w, double h, double r);
void PathStar(cairo_t* cr, double cx, double cy, double rOuter, double rInner, int points, double rotDeg = -90);
void PathPolygon(cairo_t* cr, double cx, double cy, double r, int sides, double rotDeg = -90);

// A linear gradient from (x0, y0) to (x1, y1) through the colour stops (offsets 0..1), made the source; the
// caller fills, strokes, paints or masks with it.
struct ColourStop {
    double at;
    Rgb colour;
};
void SourceLinear(cairo_t* cr, double x0, double y0, double x1, double y1, std::initializer_list<ColourStop> stops);
// Fills the current path with a vertical gradient (keeps the path when keep is true).
void FillVertical(cairo_t* cr, double y0, double y1, const std::vector<Rgb>& stops, bool keep = false);
// Fills the current path with a radial gradient centred at (cx, cy).
void FillRadial(cairo_t* cr, double cx, double cy, double r, const Rgb& inner, const Rgb& outer, bool keep = false);
// Strokes the current path; keeps it when keep is true.
void Stroke(cairo_t* cr, const Rgb& c, double width, bool keep = false);
// Fills the current path in `fill`, then strokes it in `line`, `width` wide.
void FillStroke(cairo_t* cr, const Rgb& fill, const Rgb& line, double width);

// A soft round glow (additive-looking halo) centred at (cx, cy).
void Glow(cairo_t* cr, double cx, double cy, double r, const Rgb& c, double strength = 1.0);
// A four-pointed twinkle with a glow at its centre.
void Twinkle(cairo_t* cr, double cx, double cy, double r, const Rgb& c, double alpha = 1.0);
// A drop shadow under a rounded rectangle (blurred by stacking).
void SoftShadow(cairo_t* cr, double x, double y, double w, double h, double r, double spread, double alpha);

// [SECTION] Materials ----------------------------------------------------------------------------------------------

// Light comes from the top-left everywhere: bevels are lighter on the top and left edges and darker on the bottom
// and right; every panel has a dark outline (pal::Outline) of about 2 px at 800x600.

// A bevelled, outlined panel of the given base colour.
void BevelPanel(cairo_t* cr, double x, double y, double w, double h, double radius, const Rgb& base, double bevel = 3.0,
                double outline = 2.0);
// Parchment with fibres, stains and darkened, slightly irregular edges.
void Parchment(cairo_t* cr, double x, double y, double w, double h, uint32_t seed, double radius = 6.0);
// Castle wall of mortared stone blocks filling the rectangle.
void StoneWall(cairo_t* cr, double x, double y, double w, double h, uint32_t seed, double blockH = 22.0,
               const Rgb& base = pal::Stone);
// Wooden planks (horizontal when vertical == false) filling the rectangle.
void WoodPlanks(cairo_t* cr, double x, double y, double w, double h, uint32_t seed, bool vertical = false,
                double plank = 24.0);
// A gold trim band along the current path (stroked three times for a bevelled metal look).
void GoldTrim(cairo_t* cr, double width);
// A small gold rivet / stud.
void Rivet(cairo_t* cr, double cx, double cy, double r);
// A frame of stone or wood with gold trim around the rectangle (ring of given thickness) and a transparent inside.
void OrnateFrame(cairo_t* cr, double x, double y, double w, double h, double thickness, double radius, uint32_t seed,
                 bool wood = false);
// Grain of noise over the current clip (subtle texture: alpha 0..1).
void Grain(cairo_t* cr, double x, double y, double w, double h, uint32_t seed, double alpha);
// A dusk sky from top to horizon with clouds and stars, filling the rectangle.
void DuskSky(cairo_t* cr, double w, double h, double horizonY, uint32_t seed, double starAmount = 1.0);
// A silhouette of a castle (towers, battlements, pointed roofs and lit windows) standing on baseY.
void CastleSilhouette(cairo_t* cr, double x, double baseY, double w, double h, const Rgb& body, const Rgb& windows,
                      uint32_t seed);
// Rolling hills silhouette from y (mean height) to the bottom.
void Hills(cairo_t* cr, double w, double h, double y, double amp, const Rgb& c, uint32_t seed);
// Conifer forest silhouette along y.
void TreeLine(cairo_t* cr, double w, double y, double treeH, const Rgb& c, uint32_t seed);

// [SECTION] Gems ---------------------------------------------------------------------------------------------------

// The seven gem colours; each has its own shape so that colour-blind players can tell them apart.
enum class Gem : int {
    Red = 0,    // ruby: round cabochon
    Orange = 1, // amber: hexagon
    Yellow = 2, // topaz: triangle (point up)
    Green = 3,  // emerald: square with cut corners
    Blue = 4,   // sapphire: diamond (rhombus)
    Purple = 5, // amethyst: teardrop (point up)
    White = 6,  // diamond: eight-pointed star
};
constexpr int GemCount = 7;
Rgb GemColour(Gem g);
const char* GemName(Gem g); // "red", "orange", ...

struct GemStyle {
    double glow = 0.0;       // 0..1 halo behind the gem (selected / hovered)
    double saturation = 1.0; // 0 = grey (disabled / locked), 1 = full colour
    double brightness = 0.0; // -1..1 darker / lighter
    bool outline = true;     // dark outline around the shape
};
// Draws gem g centred at (cx, cy), fitting a square of side size.
void DrawGem(cairo_t* cr, Gem g, double cx, double cy, double size, const GemStyle& style = {});
// The outline path of gem g (for masks and selection rims).
void PathGem(cairo_t* cr, Gem g, double cx, double cy, double size);

// [SECTION] Text ---------------------------------------------------------------------------------------------------

// The faces images use; each resolves to a font file: the families the game's own font files come from
// (docs/fonts.md) when installed, DejaVu otherwise.
enum class Face {
    Display,     // uncial display face, bold (logo, titles)
    DisplayText, // uncial display face, regular (the game's UnZialish)
    Capitals,    // Roman capitals (the game's Trinigan)
    Sans,        // clear sans
    SansBold,
    Book, // book face (help texts)
    BookBold,
};
std::string FacePath(Face f);

enum class Align { Left, Centre, Right };
struct TextStyle {
    Face face = Face::Capitals;
    double size = 20; // pixel size of the em
    Rgb fill = pal::Ink;
    Rgb fillBottom = {0, 0, 0, 0}; // when alpha > 0: vertical gradient from fill to fillBottom
    Rgb outline = {0, 0, 0, 0};    // alpha 0 = none
    double outlineWidth = 0;
    Rgb shadow = {0, 0, 0, 0}; // alpha 0 = none; offset (1.5, 2) scaled by size
    double glow = 0;           // radius of a soft glow in glowColour (0 = none)
    Rgb glowColour = pal::MagicGold;
    Align align = Align::Centre;
};
// Draws UTF-8 text with its baseline at y; x is the left, centre or right according to style.align.
void DrawText(cairo_t* cr, std::string_view utf8, double x, double y, const TextStyle& style);
// Draws the text centred (both ways) in the rectangle, shrinking the size until it fits the width.
void DrawTextIn(cairo_t* cr, std::string_view utf8, double x, double y, double w, double h, TextStyle style);
// Width and height of the text's ink in pixels at style.size.
void MeasureText(cairo_t* cr, std::string_view utf8, const TextStyle& style, double& width, double& height);

// [SECTION] Whole-image operations ---------------------------------------------------------------------------------

// Changes every pixel of the canvas: saturation (0..1 keep), brightness (-1..1) and a tint blend.
void Adjust(const Canvas& c, double saturation, double brightness, const Rgb& tint = {0, 0, 0, 0});
// Copies the canvas (for button states made from one drawing).
Canvas Copy(const Canvas& c);
// Copies the canvas moved by (dx, dy).
Canvas Shifted(const Canvas& c, double dx, double dy);
// A soft rim of light around the opaque parts of the canvas (hover glow), added below the image.
void AddRimGlow(const Canvas& c, const Rgb& colour, int radius);

// [SECTION] Writers ------------------------------------------------------------------------------------------------

// Every writer creates missing parent folders and returns false with a line on stderr on failure. The output is
// byte-for-byte the same on every run (no time or text chunks, fixed compression settings).
bool WritePngRgba(const std::string& path, const Canvas& c);
// 24-bit RGB PNG without alpha (colour type 2); transparent pixels are composed over background.
bool WritePngRgb(const std::string& path, const Canvas& c, const Rgb& background = pal::Black);
// Baseline JPEG at a fixed quality, composed over background.
bool WriteJpeg(const std::string& path, const Canvas& c, int quality = 92, const Rgb& background = pal::Black);
// Encodes to memory (same bytes the writers put in files).
std::vector<uint8_t> EncodePng(const Canvas& c, bool alpha, const Rgb& background = pal::Black);
std::vector<uint8_t> EncodeJpeg(const Canvas& c, int quality, const Rgb& background = pal::Black);
// Reads a PNG (any colour type) into a canvas; false when it cannot.
bool ReadPng(const std::string& path, std::unique_ptr<Canvas>& out);
// Creates the parent folders of a file path.
bool MakeParents(const std::string& path);

} // namespace art
