// Image helpers of the asset generators (see art.h): palette arithmetic, Cairo materials, gems, FreeType text and
// the deterministic PNG/JPEG writers. Called by every image generator in tools/.
//
// [SECTION] Colours
// [SECTION] Canvas
// [SECTION] Noise
// [SECTION] Paths and fills
// [SECTION] Materials
// [SECTION] Scenery
// [SECTION] Gems
// [SECTION] Text
// [SECTION] Whole-image operations
// [SECTION] Writers
#include "assetlib/art.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <map>
#include <mutex>

namespace art {

namespace {
constexpr double Pi = 3.14159265358979323846;
double Clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
uint8_t ToByte(double v) { return static_cast<uint8_t>(std::lround(Clamp01(v) * 255.0)); }
double SmoothStep(double e0, double e1, double x) {
    const double t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}
} // namespace

// [SECTION] Colours ------------------------------------------------------------------------------------------------

Rgb Mix(const Rgb& a, const Rgb& b, double t) {
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}
Rgb Lighter(const Rgb& c, double t) { return Rgb{c.r + (1 - c.r) * t, c.g + (1 - c.g) * t, c.b + (1 - c.b) * t, c.a}; }
Rgb Darker(const Rgb& c, double t) { return Rgb{c.r * (1 - t), c.g * (1 - t), c.b * (1 - t), c.a}; }
Rgb Desaturate(const Rgb& c, double t) {
    const double grey = 0.3 * c.r + 0.59 * c.g + 0.11 * c.b;
    return Rgb{c.r + (grey - c.r) * t, c.g + (grey - c.g) * t, c.b + (grey - c.b) * t, c.a};
}
Rgb WithAlpha(const Rgb& c, double a) { return Rgb{c.r, c.g, c.b, a}; }
void SetColour(cairo_t* cr, const Rgb& c) { cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a); }

// [SECTION] Canvas -------------------------------------------------------------------------------------------------

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_.get())) {
    cairo_set_antialias(cr_.get(), CAIRO_ANTIALIAS_GOOD);
}

void Canvas::Pixel(int x, int y, uint8_t rgba[4]) const {
    cairo_surface_flush(surface_.get());
    const uint8_t* data = cairo_image_surface_get_data(surface_.get());
    const int stride = cairo_image_surface_get_stride(surface_.get());
    uint32_t v = 0;
    if (x >= 0 && y >= 0 && x < width_ && y < height_) {
        v = *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4);
    }
    const uint32_t a = v >> 24;
    auto un = [a](uint32_t c) { return static_cast<uint8_t>(a ? std::min<uint32_t>(255, (c * 255 + a / 2) / a) : 0); };
    rgba[0] = un((v >> 16) & 0xff);
    rgba[1] = un((v >> 8) & 0xff);
    rgba[2] = un(v & 0xff);
    rgba[3] = static_cast<uint8_t>(a);
}

void Canvas::Clear(double x, double y, double w, double h) const {
    cairo_t* c = cr_.get();
    cairo_save(c);
    cairo_set_operator(c, CAIRO_OPERATOR_CLEAR);
    cairo_rectangle(c, x, y, w, h);
    cairo_fill(c);
    cairo_restore(c);
}

void Canvas::Blit(const Canvas& src, double x, double y, double w, double h, double alpha) const {
    cairo_t* c = cr_.get();
    cairo_save(c);
    cairo_translate(c, x, y);
    cairo_scale(c, w / src.width(), h / src.height());
    cairo_set_source_surface(c, src.surface(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(c), CAIRO_FILTER_GOOD);
    cairo_rectangle(c, 0, 0, src.width(), src.height());
    cairo_clip(c);
    cairo_paint_with_alpha(c, alpha);
    cairo_restore(c);
}

namespace {
// Raw access to the premultiplied ARGB32 words of a canvas.
struct Pixels {
    uint32_t* data;
    int stride; // in words
    int w, h;
    explicit Pixels(const Canvas& c)
        : data(reinterpret_cast<uint32_t*>(
              (cairo_surface_flush(c.surface()), cairo_image_surface_get_data(c.surface())))),
          stride(cairo_image_surface_get_stride(c.surface()) / 4), w(c.width()), h(c.height()) {}
    uint32_t& at(int x, int y) const { return data[y * stride + x]; }
};
uint32_t Pack(double r, double g, double b, double a) {
    a = Clamp01(a);
    return (uint32_t(ToByte(a)) << 24) | (uint32_t(ToByte(r * a)) << 16) | (uint32_t(ToByte(g * a)) << 8) |
           uint32_t(ToByte(b * a));
}
void Unpack(uint32_t v, double& r, double& g, double& b, double& a) {
    a = (v >> 24) / 255.0;
    if (a <= 0) {
        r = g = b = 0;
        return;
    }
    r = Clamp01(((v >> 16) & 0xff) / 255.0 / a);
    g = Clamp01(((v >> 8) & 0xff) / 255.0 / a);
    b = Clamp01((v & 0xff) / 255.0 / a);
}
} // namespace

// [SECTION] Noise --------------------------------------------------------------------------------------------------

uint64_t Rng::Next() {
    uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
}
double Rng::Unit() { return (Next() >> 11) * (1.0 / 9007199254740992.0); }
double Rng::Range(double lo, double hi) { return lo + (hi - lo) * Unit(); }
int Rng::Int(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<uint64_t>(hi - lo + 1)); }

namespace {
double Lattice(int x, int y, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xffffff) / double(0xffffff);
}
double ValueNoise(double x, double y, uint32_t seed) {
    const int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
    const double fx = x - xi, fy = y - yi;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double a = Lattice(xi, yi, seed), b = Lattice(xi + 1, yi, seed);
    const double c = Lattice(xi, yi + 1, seed), d = Lattice(xi + 1, yi + 1, seed);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}
} // namespace

double Noise2(double x, double y, uint32_t seed, int octaves) {
    double sum = 0, amp = 1, norm = 0, f = 1;
    for (int i = 0; i < octaves; ++i) {
        sum += ValueNoise(x * f, y * f, seed + 131u * i) * amp;
        norm += amp;
        amp *= 0.5;
        f *= 2.03;
    }
    return sum / norm;
}

// [SECTION] Paths and fills ----------------------------------------------------------------------------------------

void PathRoundRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min({r, w / 2, h / 2});
    cairo_new_sub_path(cr);
    if (r <= 0) {
        cairo_rectangle(cr, x, y, w, h);
        return;
    }
    cairo_arc(cr, x + w - r, y + r, r, -Pi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, Pi / 2);
    cairo_arc(cr, x + r, y + h - r, r, Pi / 2, Pi);
    cairo_arc(cr, x + r, y + r, r, Pi, 3 * Pi / 2);
    cairo_close_path(cr);
}

void PathStar(cairo_t* cr, double cx, double cy, double rOuter, double rInner, int points, double rotDeg) {
    cairo_new_sub_path(cr);
    for (int i = 0; i < points * 2; ++i) {
        const double a = rotDeg * Pi / 180 + i * Pi / points;
        const double r = (i % 2) ? rInner : rOuter;
        cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    }
    cairo_close_path(cr);
}

void PathPolygon(cairo_t* cr, double cx, double cy, double r, int sides, double rotDeg) {
    cairo_new_sub_path(cr);
    for (int i = 0; i < sides; ++i) {
        const double a = rotDeg * Pi / 180 + i * 2 * Pi / sides;
        cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    }
    cairo_close_path(cr);
}

void FillVertical(cairo_t* cr, double y0, double y1, const std::vector<Rgb>& stops, bool keep) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    for (size_t i = 0; i < stops.size(); ++i) {
        const Rgb& c = stops[i];
        cairo_pattern_add_color_stop_rgba(p, stops.size() > 1 ? double(i) / (stops.size() - 1) : 0, c.r, c.g, c.b, c.a);
    }
    cairo_set_source(cr, p);
    keep ? cairo_fill_preserve(cr) : cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void SourceLinear(cairo_t* cr, double x0, double y0, double x1, double y1, std::initializer_list<ColourStop> stops) {
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
    for (const ColourStop& s : stops)
        cairo_pattern_add_color_stop_rgba(p, s.at, s.colour.r, s.colour.g, s.colour.b, s.colour.a);
    cairo_set_source(cr, p); // the context holds its own reference
    cairo_pattern_destroy(p);
}

void FillRadial(cairo_t* cr, double cx, double cy, double r, const Rgb& inner, const Rgb& outer, bool keep) {
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
    cairo_pattern_add_color_stop_rgba(p, 0, inner.r, inner.g, inner.b, inner.a);
    cairo_pattern_add_color_stop_rgba(p, 1, outer.r, outer.g, outer.b, outer.a);
    cairo_set_source(cr, p);
    keep ? cairo_fill_preserve(cr) : cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void Stroke(cairo_t* cr, const Rgb& c, double width, bool keep) {
    SetColour(cr, c);
    cairo_set_line_width(cr, width);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    keep ? cairo_stroke_preserve(cr) : cairo_stroke(cr);
}

void FillStroke(cairo_t* cr, const Rgb& fill, const Rgb& line, double width) {
    SetColour(cr, fill);
    cairo_fill_preserve(cr);
    Stroke(cr, line, width);
}

void Glow(cairo_t* cr, double cx, double cy, double r, const Rgb& c, double strength) {
    cairo_save(cr);
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
    const double a = c.a * strength;
    cairo_pattern_add_color_stop_rgba(p, 0, c.r, c.g, c.b, a);
    cairo_pattern_add_color_stop_rgba(p, 0.25, c.r, c.g, c.b, a * 0.6);
    cairo_pattern_add_color_stop_rgba(p, 0.6, c.r, c.g, c.b, a * 0.18);
    cairo_pattern_add_color_stop_rgba(p, 1, c.r, c.g, c.b, 0);
    cairo_set_source(cr, p);
    cairo_arc(cr, cx, cy, r, 0, 2 * Pi);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_restore(cr);
}

void Twinkle(cairo_t* cr, double cx, double cy, double r, const Rgb& c, double alpha) {
    Glow(cr, cx, cy, r * 0.7, c, 0.8 * alpha);
    cairo_save(cr);
    PathStar(cr, cx, cy, r, r * 0.12, 4, -90);
    FillRadial(cr, cx, cy, r, WithAlpha(pal::White, alpha), WithAlpha(c, 0));
    PathStar(cr, cx, cy, r * 0.5, r * 0.08, 4, -45);
    FillRadial(cr, cx, cy, r * 0.5, WithAlpha(pal::White, alpha * 0.8), WithAlpha(c, 0));
    cairo_restore(cr);
}

void SoftShadow(cairo_t* cr, double x, double y, double w, double h, double r, double spread, double alpha) {
    const int steps = 8;
    for (int i = steps; i >= 1; --i) {
        const double e = spread * i / steps;
        PathRoundRect(cr, x - e, y - e, w + 2 * e, h + 2 * e, r + e);
        SetColour(cr, Rgb{0, 0, 0, alpha / steps * 1.6});
        cairo_fill(cr);
    }
}

// [SECTION] Materials ----------------------------------------------------------------------------------------------

void BevelPanel(cairo_t* cr, double x, double y, double w, double h, double radius, const Rgb& base, double bevel,
                double outline) {
    cairo_save(cr);
    PathRoundRect(cr, x, y, w, h, radius);
    FillVertical(cr, y, y + h, {Lighter(base, 0.18), base, Darker(base, 0.22)}, true);
    cairo_clip(cr);
    // the bevel: light on the top-left edges, shade on the bottom-right ones
    PathRoundRect(cr, x + bevel / 2, y + bevel / 2, w - bevel, h - bevel, std::max(0.0, radius - bevel / 2));
    SourceLinear(cr, x, y, x + w * 0.35, y + h,
                 {{0, {1, 1, 1, 0.55}}, {0.5, {1, 1, 1, 0.0}}, {0.51, {0, 0, 0, 0.0}}, {1, {0, 0, 0, 0.55}}});
    cairo_set_line_width(cr, bevel);
    cairo_stroke(cr);
    cairo_restore(cr);
    if (outline > 0) {
        PathRoundRect(cr, x + outline / 2, y + outline / 2, w - outline, h - outline, radius);
        Stroke(cr, pal::Outline, outline);
    }
}

namespace {
// Paints a per-pixel texture into the rectangle; fn(px, py) returns straight RGBA for local coordinates.
template <class Fn> void PaintTexture(cairo_t* cr, double x, double y, double w, double h, Fn fn) {
    const int iw = std::max(1, static_cast<int>(std::ceil(w))), ih = std::max(1, static_cast<int>(std::ceil(h)));
    Canvas tex(iw, ih);
    {
        Pixels px(tex);
        for (int j = 0; j < ih; ++j) {
            for (int i = 0; i < iw; ++i) {
                const Rgb c = fn(i + 0.5, j + 0.5);
                px.at(i, j) = Pack(c.r, c.g, c.b, c.a);
            }
        }
        cairo_surface_mark_dirty(tex.surface());
    }
    cairo_save(cr);
    cairo_set_source_surface(cr, tex.surface(), x, y);
    cairo_rectangle(cr, x, y, iw, ih);
    cairo_fill(cr);
    cairo_restore(cr);
}
} // namespace

void Parchment(cairo_t* cr, double x, double y, double w, double h, uint32_t seed, double radius) {
    PaintTexture(cr, x, y, w, h, [&](double px, double py) {
        const double n = Noise2(px / 90.0, py / 90.0, seed, 4);
        const double fibre = Noise2(px / 3.0, py / 40.0, seed + 7, 2);
        const double stain = SmoothStep(0.62, 0.8, Noise2(px / 60.0, py / 60.0, seed + 19, 3));
        Rgb c = Mix(pal::ParchLight, pal::Parch, n * 1.3);
        c = Mix(c, pal::ParchDark, stain * 0.35 + (fibre - 0.5) * 0.12);
        // edges: burnt and darkened, ragged by noise, rounded at the corners
        const double dx = std::min(px, w - px), dy = std::min(py, h - py);
        double d = std::min(dx, dy);
        if (dx < radius && dy < radius) {
            d = radius - std::hypot(radius - dx, radius - dy);
        }
        const double ragged = Noise2(px / 7.0, py / 7.0, seed + 3, 2) * 3.0;
        const double edge = d - ragged;
        c = Mix(c, Darker(pal::ParchDark, 0.35), (1 - SmoothStep(0, 22, edge)) * 0.75);
        c.a = SmoothStep(-0.5, 1.2, edge);
        return c;
    });
}

void StoneWall(cairo_t* cr, double x, double y, double w, double h, uint32_t seed, double blockH, const Rgb& base) {
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    SetColour(cr, Darker(base, 0.65));
    cairo_paint(cr);
    Rng rng(seed);
    int row = 0;
    for (double by = y - rng.Range(0, blockH * 0.5); by < y + h; by += blockH, ++row) {
        double bx = x - rng.Range(0.2, 1.0) * blockH * (row % 2 ? 1.4 : 0.6);
        while (bx < x + w) {
            const double bw = blockH * rng.Range(1.3, 2.3);
            const Rgb tone = Mix(Darker(base, 0.12), Lighter(base, 0.1), rng.Unit());
            const Rgb tinted = Mix(tone, Hex(0x8a7a9a), rng.Range(0, 0.18)); // a little dusk violet in some stones
            BevelPanel(cr, bx + 1, by + 1, bw - 2, blockH - 2, blockH * 0.18, tinted, std::max(1.5, blockH * 0.1), 0);
            bx += bw;
        }
    }
    cairo_restore(cr);
    // weathering over the whole wall
    PaintTexture(cr, x, y, w, h, [&](double px, double py) {
        const double n = Noise2(px / 25.0, py / 25.0, seed + 11, 4);
        const double moss = SmoothStep(0.66, 0.85, Noise2(px / 70.0, py / 40.0, seed + 23, 3));
        Rgb c = n > 0.5 ? Rgb{1, 1, 1, (n - 0.5) * 0.18} : Rgb{0, 0, 0, (0.5 - n) * 0.35};
        if (moss > 0) {
            c = Mix(c, WithAlpha(Hex(0x3d5a2a), 0.45), moss);
        }
        return c;
    });
}

void WoodPlanks(cairo_t* cr, double x, double y, double w, double h, uint32_t seed, bool vertical, double plank) {
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    SetColour(cr, pal::Outline);
    cairo_paint(cr);
    Rng rng(seed);
    const double len = vertical ? w : h;
    for (double p = 0; p < len; p += plank) {
        const Rgb tone = Mix(pal::Wood, pal::WoodLight, rng.Range(0.0, 0.45));
        if (vertical) {
            BevelPanel(cr, x + p + 0.5, y - 4, plank - 1, h + 8, 2, tone, 2, 0);
        } else {
            BevelPanel(cr, x - 4, y + p + 0.5, w + 8, plank - 1, 2, tone, 2, 0);
        }
    }
    cairo_restore(cr);
    PaintTexture(cr, x, y, w, h, [&](double px, double py) {
        const double u = vertical ? py : px, v = vertical ? px : py;
        const double g = Noise2(u / 160.0, v / 3.0, seed + 5, 3);
        const double ring = 0.5 + 0.5 * std::sin(g * 40.0);
        return ring > 0.5 ? Rgb{1, 0.9, 0.7, (ring - 0.5) * 0.16} : Rgb{0.1, 0.05, 0, (0.5 - ring) * 0.3};
    });
}

void GoldTrim(cairo_t* cr, double width) {
    cairo_save(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    SetColour(cr, pal::Outline);
    cairo_set_line_width(cr, width + 2);
    cairo_stroke_preserve(cr);
    SetColour(cr, pal::GoldDark);
    cairo_set_line_width(cr, width);
    cairo_stroke_preserve(cr);
    SetColour(cr, pal::Gold);
    cairo_set_line_width(cr, width * 0.6);
    cairo_stroke_preserve(cr);
    SetColour(cr, WithAlpha(pal::GoldLight, 0.9));
    cairo_set_line_width(cr, std::max(0.8, width * 0.2));
    cairo_stroke(cr);
    cairo_restore(cr);
}

void Rivet(cairo_t* cr, double cx, double cy, double r) {
    cairo_arc(cr, cx + r * 0.2, cy + r * 0.25, r, 0, 2 * Pi);
    SetColour(cr, WithAlpha(pal::Black, 0.5));
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * Pi);
    FillRadial(cr, cx - r * 0.35, cy - r * 0.35, r * 1.4, pal::GoldLight, pal::GoldDark, true);
    Stroke(cr, pal::Outline, std::max(0.8, r * 0.25));
}

void OrnateFrame(cairo_t* cr, double x, double y, double w, double h, double t, double radius, uint32_t seed,
                 bool wood) {
    cairo_save(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    PathRoundRect(cr, x, y, w, h, radius);
    PathRoundRect(cr, x + t, y + t, w - 2 * t, h - 2 * t, std::max(2.0, radius - t * 0.6));
    cairo_clip(cr);
    if (wood) {
        WoodPlanks(cr, x, y, w, h, seed, false, std::max(8.0, t * 0.5));
    } else {
        StoneWall(cr, x, y, w, h, seed, std::max(8.0, t * 0.55));
    }
    // shading across the ring: light from the top-left
    SourceLinear(cr, x, y, x + w, y + h, {{0, {1, 0.95, 0.8, 0.18}}, {0.5, {0, 0, 0, 0.0}}, {1, {0, 0, 0, 0.3}}});
    cairo_paint(cr);
    cairo_restore(cr);
    // inner shadow line and gold trims
    PathRoundRect(cr, x + t + 1.5, y + t + 1.5, w - 2 * t - 3, h - 2 * t - 3, std::max(2.0, radius - t * 0.6));
    Stroke(cr, WithAlpha(pal::Black, 0.45), 3);
    PathRoundRect(cr, x + t - 1.5, y + t - 1.5, w - 2 * t + 3, h - 2 * t + 3, std::max(2.0, radius - t * 0.6));
    GoldTrim(cr, std::max(2.0, t * 0.16));
    PathRoundRect(cr, x + 1.5, y + 1.5, w - 3, h - 3, radius);
    GoldTrim(cr, std::max(2.0, t * 0.14));
    const double rr = std::max(2.5, t * 0.2);
    const double o = t * 0.5;
    for (const auto& [rx, ry] :
         {std::pair{x + o, y + o}, {x + w - o, y + o}, {x + o, y + h - o}, {x + w - o, y + h - o}}) {
        Rivet(cr, rx, ry, rr);
    }
}

void Grain(cairo_t* cr, double x, double y, double w, double h, uint32_t seed, double alpha) {
    PaintTexture(cr, x, y, w, h, [&](double px, double py) {
        const double n = Lattice(static_cast<int>(px), static_cast<int>(py), seed);
        return n > 0.5 ? Rgb{1, 1, 1, (n - 0.5) * alpha} : Rgb{0, 0, 0, (0.5 - n) * alpha};
    });
}

// [SECTION] Scenery ------------------------------------------------------------------------------------------------

void DuskSky(cairo_t* cr, double w, double h, double horizonY, uint32_t seed, double starAmount) {
    const std::vector<std::pair<double, Rgb>> stops = {
        {0.0, pal::SkyNight}, {0.35, pal::SkyDusk}, {0.7, pal::SkyRose}, {0.9, pal::SkyGlow}, {1.0, pal::SkyHaze}};
    auto sky = [&](double t) {
        t = Clamp01(t);
        for (size_t i = 1; i < stops.size(); ++i) {
            if (t <= stops[i].first) {
                return Mix(stops[i - 1].second, stops[i].second,
                           (t - stops[i - 1].first) / (stops[i].first - stops[i - 1].first));
            }
        }
        return stops.back().second;
    };
    PaintTexture(cr, 0, 0, w, h, [&](double px, double py) {
        const double t = py / horizonY;
        Rgb c = sky(t);
        // long thin clouds, lit rose and gold from below near the horizon
        const double n = Noise2(px / 220.0, py / 45.0, seed, 5);
        const double cloud = SmoothStep(0.5, 0.72, n) * SmoothStep(0.05, 0.45, t) * (1 - SmoothStep(0.92, 1.0, t));
        const double under = SmoothStep(0.0, 0.5, Noise2(px / 220.0, (py + 6) / 45.0, seed, 5) - n + 0.25);
        const Rgb cloudCol = Mix(Mix(Hex(0x4a3a78), Hex(0xe88aa0), Clamp01(t * 1.1)), pal::SkyHaze, under * t * 0.7);
        c = Mix(c, cloudCol, cloud * 0.85);
        // sun glow on the horizon, a little left of the centre
        const double gd = std::hypot((px - w * 0.42) / (w * 0.45), (py - horizonY) / (horizonY * 0.55));
        c = Mix(c, pal::SkyHaze, (1 - SmoothStep(0, 1, gd)) * 0.45);
        c.a = 1;
        return c;
    });
    Rng rng(seed * 7 + 1);
    const int stars = static_cast<int>(w * h / 2500 * starAmount);
    for (int i = 0; i < stars; ++i) {
        const double sx = rng.Range(0, w), sy = rng.Range(0, horizonY * 0.6);
        const double fade = 1 - sy / (horizonY * 0.6);
        const double r = rng.Range(0.4, 1.3);
        if (rng.Unit() < 0.06) {
            Twinkle(cr, sx, sy, r * 5, pal::MagicBlue, fade * 0.9);
        } else {
            cairo_arc(cr, sx, sy, r, 0, 2 * Pi);
            SetColour(cr, Rgb{1, 1, 0.95, fade * rng.Range(0.4, 1.0)});
            cairo_fill(cr);
        }
    }
}

void CastleSilhouette(cairo_t* cr, double x, double baseY, double w, double h, const Rgb& body, const Rgb& windows,
                      uint32_t seed) {
    Rng rng(seed);
    struct Tower {
        double cx, tw, th;
        bool roof;
    };
    std::vector<Tower> towers;
    const int n = rng.Int(4, 6);
    for (int i = 0; i < n; ++i) {
        const double cx = x + w * (i + 0.5) / n + rng.Range(-w * 0.04, w * 0.04);
        const bool keep = (i == n / 2);
        const double th = h * (keep ? 1.0 : rng.Range(0.5, 0.8));
        const double tw = w / n * (keep ? 0.75 : rng.Range(0.35, 0.55));
        towers.push_back({cx, tw, th, keep || rng.Unit() < 0.6});
    }
    SetColour(cr, body);
    // curtain wall with battlements
    const double wallH = h * 0.38;
    cairo_rectangle(cr, x + w * 0.04, baseY - wallH, w * 0.92, wallH + 2);
    cairo_fill(cr);
    const double merlon = std::max(3.0, w / 60);
    for (double mx = x + w * 0.04; mx < x + w * 0.96 - merlon; mx += merlon * 2) {
        cairo_rectangle(cr, mx, baseY - wallH - merlon, merlon, merlon + 1);
    }
    cairo_fill(cr);
    for (const Tower& t : towers) {
        SetColour(cr, body);
        cairo_rectangle(cr, t.cx - t.tw / 2, baseY - t.th, t.tw, t.th + 2);
        cairo_fill(cr);
        if (t.roof) {
            cairo_move_to(cr, t.cx - t.tw * 0.62, baseY - t.th + 1);
            cairo_line_to(cr, t.cx, baseY - t.th - t.tw * 1.5);
            cairo_line_to(cr, t.cx + t.tw * 0.62, baseY - t.th + 1);
            cairo_close_path(cr);
            cairo_fill(cr);
            // pennant
            cairo_move_to(cr, t.cx, baseY - t.th - t.tw * 1.5);
            cairo_line_to(cr, t.cx, baseY - t.th - t.tw * 1.5 - t.tw * 0.5);
            cairo_set_line_width(cr, std::max(1.0, t.tw * 0.05));
            cairo_stroke(cr);
            cairo_move_to(cr, t.cx, baseY - t.th - t.tw * 2.0);
            cairo_line_to(cr, t.cx + t.tw * 0.45, baseY - t.th - t.tw * 1.88);
            cairo_line_to(cr, t.cx, baseY - t.th - t.tw * 1.76);
            cairo_fill(cr);
        } else {
            const double m = t.tw / 5;
            for (int k = 0; k < 3; ++k) {
                cairo_rectangle(cr, t.cx - t.tw / 2 + k * 2 * m, baseY - t.th - m, m, m + 1);
            }
            cairo_fill(cr);
        }
        // lit windows: small arches
        const int rows = std::max(1, static_cast<int>(t.th / (t.tw * 1.2)));
        for (int r = 0; r < rows; ++r) {
            if (rng.Unit() < 0.45) {
                continue;
            }
            const double wy = baseY - t.th + t.tw * 0.5 + r * t.tw * 1.2;
            const double ww = std::max(1.5, t.tw * 0.16), wh = ww * 2;
            cairo_rectangle(cr, t.cx - ww / 2, wy + ww / 2, ww, wh - ww / 2);
            cairo_arc(cr, t.cx, wy + ww / 2, ww / 2, Pi, 2 * Pi);
            SetColour(cr, windows);
            cairo_fill(cr);
            Glow(cr, t.cx, wy + wh / 2, ww * 3, WithAlpha(windows, 0.35));
        }
    }
}

void Hills(cairo_t* cr, double w, double h, double y, double amp, const Rgb& c, uint32_t seed) {
    Rng rng(seed);
    const double f1 = rng.Range(1.0, 2.0), f2 = rng.Range(2.5, 4.5), f3 = rng.Range(6, 9);
    const double p1 = rng.Range(0, 6.28), p2 = rng.Range(0, 6.28), p3 = rng.Range(0, 6.28);
    cairo_move_to(cr, 0, h);
    for (double px = 0; px <= w + 4; px += 4) {
        const double u = px / w * 2 * Pi;
        const double yy = y - amp * (0.55 * std::sin(u * f1 / 2 + p1) + 0.3 * std::sin(u * f2 / 2 + p2) +
                                     0.15 * std::sin(u * f3 / 2 + p3));
        cairo_line_to(cr, px, yy);
    }
    cairo_line_to(cr, w, h);
    cairo_close_path(cr);
    SetColour(cr, c);
    cairo_fill(cr);
}

void TreeLine(cairo_t* cr, double w, double y, double treeH, const Rgb& c, uint32_t seed) {
    Rng rng(seed);
    SetColour(cr, c);
    for (double px = -treeH; px < w + treeH; px += treeH * rng.Range(0.25, 0.45)) {
        const double th = treeH * rng.Range(0.6, 1.15), tw = th * 0.32;
        const double base = y + rng.Range(-treeH * 0.1, treeH * 0.15);
        for (int k = 0; k < 3; ++k) {
            const double top = base - th + k * th * 0.22, bot = base - th * 0.25 + k * th * 0.12;
            cairo_move_to(cr, px, top);
            cairo_line_to(cr, px + tw * (0.6 + k * 0.25), bot);
            cairo_line_to(cr, px - tw * (0.6 + k * 0.25), bot);
            cairo_close_path(cr);
        }
        cairo_rectangle(cr, px - tw * 0.1, base - th * 0.3, tw * 0.2, th * 0.35);
    }
    cairo_rectangle(cr, 0, y, w, treeH * 4);
    cairo_fill(cr);
}

// [SECTION] Gems ---------------------------------------------------------------------------------------------------

Rgb GemColour(Gem g) {
    static const Rgb colours[GemCount] = {pal::Ruby,     pal::Amber,    pal::Topaz,  pal::Emerald,
                                          pal::Sapphire, pal::Amethyst, pal::Diamond};
    return colours[static_cast<int>(g) % GemCount];
}

const char* GemName(Gem g) {
    static const char* const names[GemCount] = {"red", "orange", "yellow", "green", "blue", "purple", "white"};
    return names[static_cast<int>(g) % GemCount];
}

namespace {
struct Pt {
    double x, y;
};
// Outline of each gem as a polygon around (0, 0) fitting radius 1.
std::vector<Pt> GemOutline(Gem g) {
    std::vector<Pt> pts;
    auto poly = [&](int sides, double rot, double rx, double ry, double dy) {
        for (int i = 0; i < sides; ++i) {
            const double a = (rot + 360.0 * i / sides) * Pi / 180;
            pts.push_back({rx * std::cos(a), ry * std::sin(a) + dy});
        }
    };
    switch (g) {
    case Gem::Red:
        poly(20, -90, 0.86, 0.86, 0);
        break;
    case Gem::Orange:
        poly(6, 0, 0.92, 0.84, 0);
        break;
    case Gem::Yellow:
        poly(3, -90, 1.08, 1.08, 0.16);
        break;
    case Gem::Green:
        pts = {{-0.55, -0.8}, {0.55, -0.8}, {0.8, -0.55}, {0.8, 0.55},
               {0.55, 0.8},   {-0.55, 0.8}, {-0.8, 0.55}, {-0.8, -0.55}};
        break;
    case Gem::Blue:
        pts = {{0, -0.98}, {0.72, 0}, {0, 0.98}, {-0.72, 0}};
        break;
    case Gem::Purple:
        // teardrop with its point up: a round bottom (arc) and two straight sides to the tip
        pts.push_back({0, -0.98});
        for (int i = 0; i <= 12; ++i) {
            const double a = (-30 + 240.0 * i / 12) * Pi / 180; // from upper right round the bottom to upper left
            pts.push_back({0.64 * std::cos(a), 0.28 + 0.64 * std::sin(a)});
        }
        break;
    case Gem::White:
        for (int i = 0; i < 16; ++i) {
            const double a = (-90 + 22.5 * i) * Pi / 180;
            const double r = (i % 2) ? 0.62 : 0.96;
            pts.push_back({r * std::cos(a), r * std::sin(a)});
        }
        break;
    }
    return pts;
}
} // namespace

void PathGem(cairo_t* cr, Gem g, double cx, double cy, double size) {
    const double s = size / 2;
    cairo_new_sub_path(cr);
    for (const Pt& p : GemOutline(g)) {
        cairo_line_to(cr, cx + p.x * s, cy + p.y * s);
    }
    cairo_close_path(cr);
}

void DrawGem(cairo_t* cr, Gem g, double cx, double cy, double size, const GemStyle& style) {
    Rgb base = GemColour(g);
    base = Desaturate(base, 1 - style.saturation);
    base = style.brightness >= 0 ? Lighter(base, style.brightness) : Darker(base, -style.brightness);
    const double s = size / 2;
    const std::vector<Pt> outer = GemOutline(g);
    cairo_save(cr);
    if (style.glow > 0) {
        Glow(cr, cx, cy, size * 0.75, WithAlpha(Lighter(base, 0.4), 1.0), style.glow);
    }
    // shadow below and right
    PathGem(cr, g, cx + s * 0.06, cy + s * 0.1, size);
    SetColour(cr, Rgb{0, 0, 0, 0.35});
    cairo_fill(cr);
    // body
    PathGem(cr, g, cx, cy, size);
    FillRadial(cr, cx - s * 0.3, cy - s * 0.35, s * 1.5, Lighter(base, 0.25), Darker(base, 0.45));
    // facets: a ring between the outline and the table, each shaded by how it faces the top-left light
    const double lx = -0.6, ly = -0.8;
    const double tableScale = (g == Gem::White) ? 0.42 : 0.55;
    const double tx = -0.05, ty = -0.06; // the table sits slightly towards the light
    const size_t n = outer.size();
    for (size_t i = 0; i < n; ++i) {
        const Pt& a = outer[i];
        const Pt& b = outer[(i + 1) % n];
        double nx = b.y - a.y, ny = -(b.x - a.x); // outward normal for clockwise screen order
        const double len = std::hypot(nx, ny);
        if (len <= 0) {
            continue;
        }
        nx /= len;
        ny /= len;
        const double lit = nx * lx + ny * ly; // -1..1
        cairo_move_to(cr, cx + a.x * s, cy + a.y * s);
        cairo_line_to(cr, cx + b.x * s, cy + b.y * s);
        cairo_line_to(cr, cx + (b.x * tableScale + tx) * s, cy + (b.y * tableScale + ty) * s);
        cairo_line_to(cr, cx + (a.x * tableScale + tx) * s, cy + (a.y * tableScale + ty) * s);
        cairo_close_path(cr);
        const Rgb facet = lit > 0 ? Lighter(base, lit * 0.5) : Darker(base, -lit * 0.45);
        SetColour(cr, WithAlpha(facet, 0.85));
        cairo_fill_preserve(cr);
        SetColour(cr, WithAlpha(Lighter(base, 0.5), 0.25));
        cairo_set_line_width(cr, std::max(0.4, size * 0.008));
        cairo_stroke(cr);
    }
    // table
    cairo_new_sub_path(cr);
    for (const Pt& p : outer) {
        cairo_line_to(cr, cx + (p.x * tableScale + tx) * s, cy + (p.y * tableScale + ty) * s);
    }
    cairo_close_path(cr);
    SourceLinear(cr, cx - s * 0.5, cy - s * 0.5, cx + s * 0.4, cy + s * 0.5,
                 {{0, WithAlpha(Lighter(base, 0.45), 1)}, {1, WithAlpha(Mix(base, Lighter(base, 0.1), 0.5), 1)}});
    cairo_fill(cr);
    // specular highlights
    cairo_save(cr);
    cairo_translate(cr, cx - s * 0.28, cy - s * 0.32);
    cairo_rotate(cr, -Pi / 4);
    cairo_scale(cr, 1.0, 0.5);
    cairo_arc(cr, 0, 0, s * 0.2, 0, 2 * Pi);
    cairo_restore(cr);
    SetColour(cr, Rgb{1, 1, 1, 0.7});
    cairo_fill(cr);
    Twinkle(cr, cx - s * 0.32, cy - s * 0.36, s * 0.3, pal::White, 0.9);
    // outline
    if (style.outline) {
        PathGem(cr, g, cx, cy, size);
        Stroke(cr, Darker(base, 0.7), std::max(1.0, size * 0.035));
    }
    cairo_restore(cr);
}

// [SECTION] Text ---------------------------------------------------------------------------------------------------

std::string FacePath(Face f) {
    // The game's own faces first (the families its font files come from), then DejaVu, which every build machine has.
    static const std::string kl = "/usr/share/fonts/truetype/klaudia-berenika/";
    static const std::string ll = "/usr/share/fonts/opentype/linux-libertine/";
    static const std::string dv = "/usr/share/fonts/truetype/dejavu/";
    static const std::map<Face, std::vector<std::string>> candidates = {
        {Face::Display, {kl + "Klaudia-Bold.ttf", kl + "Klaudia.ttf", dv + "DejaVuSerif-Bold.ttf"}},
        {Face::DisplayText, {kl + "Klaudia.ttf", dv + "DejaVuSerif.ttf"}},
        {Face::Capitals,
         {"/usr/share/fonts/opentype/quattrocento/Quattrocento-Regular.otf", ll + "LinLibertine_RB.otf",
          dv + "DejaVuSerif-Bold.ttf"}},
        {Face::Sans, {dv + "DejaVuSans.ttf"}},
        {Face::SansBold, {dv + "DejaVuSans-Bold.ttf"}},
        {Face::Book, {ll + "LinLibertine_R.otf", dv + "DejaVuSerif.ttf"}},
        {Face::BookBold, {ll + "LinLibertine_RB.otf", dv + "DejaVuSerif-Bold.ttf"}},
    };
    for (const std::string& p : candidates.at(f)) {
        std::error_code ec;
        if (std::filesystem::exists(p, ec)) {
            return p;
        }
    }
    return candidates.at(f).back();
}

namespace {
std::mutex g_fontMutex;
FT_Library g_ft = nullptr;
std::map<std::string, cairo_font_face_t*> g_faces; // font file -> face, kept for the whole run

cairo_font_face_t* FontFace(Face f) {
    const std::string path = FacePath(f);
    std::lock_guard<std::mutex> lock(g_fontMutex);
    if (!g_ft && FT_Init_FreeType(&g_ft) != 0) {
        std::fprintf(stderr, "art: FreeType failed to start\n");
        return nullptr;
    }
    auto it = g_faces.find(path);
    if (it != g_faces.end()) {
        return it->second;
    }
    FT_Face face = nullptr;
    if (FT_New_Face(g_ft, path.c_str(), 0, &face) != 0) {
        std::fprintf(stderr, "art: cannot open font %s\n", path.c_str());
        g_faces[path] = nullptr;
        return nullptr;
    }
    cairo_font_face_t* cf = cairo_ft_font_face_create_for_ft_face(face, 0);
    g_faces[path] = cf;
    return cf;
}

void SelectFont(cairo_t* cr, const TextStyle& st) {
    if (cairo_font_face_t* cf = FontFace(st.face)) {
        cairo_set_font_face(cr, cf);
    }
    cairo_set_font_size(cr, st.size);
    cairo_font_options_t* fo = cairo_font_options_create();
    cairo_font_options_set_antialias(fo, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, fo);
    cairo_font_options_destroy(fo);
}
} // namespace

void MeasureText(cairo_t* cr, std::string_view utf8, const TextStyle& style, double& width, double& height) {
    cairo_save(cr);
    SelectFont(cr, style);
    const std::string s(utf8);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, s.c_str(), &ext);
    width = ext.x_advance;
    height = ext.height;
    cairo_restore(cr);
}

void DrawText(cairo_t* cr, std::string_view utf8, double x, double y, const TextStyle& st) {
    const std::string s(utf8);
    cairo_save(cr);
    SelectFont(cr, st);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, s.c_str(), &ext);
    double left = x;
    if (st.align == Align::Centre) {
        left = x - ext.x_advance / 2;
    } else if (st.align == Align::Right) {
        left = x - ext.x_advance;
    }
    if (st.glow > 0) {
        for (int i = 0; i < 6; ++i) {
            cairo_new_path(cr);
            cairo_move_to(cr, left, y);
            cairo_text_path(cr, s.c_str());
            Stroke(cr, WithAlpha(st.glowColour, st.glowColour.a * 0.12), st.glow * (i + 1) / 3.0);
        }
    }
    if (st.shadow.a > 0) {
        cairo_new_path(cr);
        cairo_move_to(cr, left + st.size * 0.06, y + st.size * 0.08);
        cairo_text_path(cr, s.c_str());
        SetColour(cr, st.shadow);
        cairo_fill_preserve(cr);
        if (st.outlineWidth > 0) {
            Stroke(cr, st.shadow, st.outlineWidth);
        }
        cairo_new_path(cr);
    }
    cairo_move_to(cr, left, y);
    cairo_text_path(cr, s.c_str());
    if (st.outline.a > 0 && st.outlineWidth > 0) {
        Stroke(cr, st.outline, st.outlineWidth * 2, true);
    }
    if (st.fillBottom.a > 0) {
        FillVertical(cr, y + ext.y_bearing, y + ext.y_bearing + ext.height, {st.fill, st.fillBottom});
    } else {
        SetColour(cr, st.fill);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void DrawTextIn(cairo_t* cr, std::string_view utf8, double x, double y, double w, double h, TextStyle style) {
    double tw = 0, th = 0;
    for (int i = 0; i < 40; ++i) {
        MeasureText(cr, utf8, style, tw, th);
        if (tw <= w - 2 * style.outlineWidth || style.size < 6) {
            break;
        }
        style.size *= 0.94;
    }
    // centre on the cap height: ascent of a capital is about 0.7 em in the faces used
    style.align = Align::Centre;
    DrawText(cr, utf8, x + w / 2, y + h / 2 + style.size * 0.35, style);
}

// [SECTION] Whole-image operations ---------------------------------------------------------------------------------

void Adjust(const Canvas& c, double saturation, double brightness, const Rgb& tint) {
    Pixels px(c);
    for (int y = 0; y < px.h; ++y) {
        for (int x = 0; x < px.w; ++x) {
            double r, g, b, a;
            Unpack(px.at(x, y), r, g, b, a);
            if (a <= 0) {
                continue;
            }
            Rgb v = Desaturate(Rgb{r, g, b, a}, 1 - saturation);
            v = brightness >= 0 ? Lighter(v, brightness) : Darker(v, -brightness);
            if (tint.a > 0) {
                v = Mix(v, WithAlpha(tint, a), tint.a);
            }
            px.at(x, y) = Pack(v.r, v.g, v.b, a);
        }
    }
    cairo_surface_mark_dirty(c.surface());
}

Canvas Copy(const Canvas& c) { return Shifted(c, 0, 0); }

Canvas Shifted(const Canvas& c, double dx, double dy) {
    Canvas out(c.width(), c.height());
    cairo_set_source_surface(out.cr(), c.surface(), dx, dy);
    cairo_paint(out.cr());
    return out;
}

void AddRimGlow(const Canvas& c, const Rgb& colour, int radius) {
    const int w = c.width(), h = c.height();
    std::vector<double> alpha(static_cast<size_t>(w) * h), tmp(alpha.size());
    {
        Pixels px(c);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                alpha[static_cast<size_t>(y) * w + x] = (px.at(x, y) >> 24) / 255.0;
            }
        }
    }
    // three box blurs approximate a Gaussian: each a pass along the rows, then one along the columns (what lies
    // past the edge counts as clear)
    const auto boxBlur = [&](const std::vector<double>& in, std::vector<double>& out, bool alongRows) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                double s = 0;
                for (int k = -radius; k <= radius; ++k) {
                    const int xx = alongRows ? x + k : x, yy = alongRows ? y : y + k;
                    if (xx >= 0 && xx < w && yy >= 0 && yy < h) s += in[static_cast<size_t>(yy) * w + xx];
                }
                out[static_cast<size_t>(y) * w + x] = s / (2 * radius + 1);
            }
        }
    };
    for (int pass = 0; pass < 3; ++pass) {
        boxBlur(alpha, tmp, true);
        boxBlur(tmp, alpha, false);
    }
    Canvas original = Copy(c);
    {
        Pixels px(c);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const double a = Clamp01(alpha[static_cast<size_t>(y) * w + x] * 2.2) * colour.a;
                px.at(x, y) = Pack(colour.r, colour.g, colour.b, a);
            }
        }
        cairo_surface_mark_dirty(c.surface());
    }
    cairo_set_source_surface(c.cr(), original.surface(), 0, 0);
    cairo_paint(c.cr());
}

// [SECTION] Writers ------------------------------------------------------------------------------------------------

bool MakeParents(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) {
        std::filesystem::create_directories(parent, ec);
    }
    return !ec;
}

namespace {
// Rows of straight RGBA or RGB (composed over background) bytes.
std::vector<uint8_t> Rows(const Canvas& c, bool alpha, const Rgb& bg) {
    Pixels px(c);
    const int ch = alpha ? 4 : 3;
    std::vector<uint8_t> out(static_cast<size_t>(px.w) * px.h * ch);
    const double br = bg.r * 255, bgg = bg.g * 255, bb = bg.b * 255;
    for (int y = 0; y < px.h; ++y) {
        for (int x = 0; x < px.w; ++x) {
            const uint32_t v = px.at(x, y);
            const uint32_t a = v >> 24, r = (v >> 16) & 0xff, g = (v >> 8) & 0xff, b = v & 0xff;
            uint8_t* o = &out[(static_cast<size_t>(y) * px.w + x) * ch];
            if (alpha) {
                auto un = [a](uint32_t cc) {
                    return static_cast<uint8_t>(a ? std::min<uint32_t>(255, (cc * 255 + a / 2) / a) : 0);
                };
                o[0] = un(r);
                o[1] = un(g);
                o[2] = un(b);
                o[3] = static_cast<uint8_t>(a);
            } else {
                // premultiplied colour plus the background through the remaining coverage
                const double k = (255 - a) / 255.0;
                o[0] = static_cast<uint8_t>(std::min(255.0, std::lround(r + br * k) * 1.0));
                o[1] = static_cast<uint8_t>(std::min(255.0, std::lround(g + bgg * k) * 1.0));
                o[2] = static_cast<uint8_t>(std::min(255.0, std::lround(b + bb * k) * 1.0));
            }
        }
    }
    return out;
}

void PngWriteToVector(png_structp png, png_bytep data, png_size_t len) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + len);
}
void PngFlush(png_structp) {}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (bytes.empty() || !MakeParents(path)) {
        std::fprintf(stderr, "art: cannot write %s\n", path.c_str());
        return false;
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "art: cannot open %s for writing\n", path.c_str());
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return (std::fclose(f) == 0) && ok;
}

struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};
void JpegFail(j_common_ptr info) {
    auto* err = reinterpret_cast<JpegError*>(info->err);
    std::longjmp(err->jump, 1);
}
} // namespace

std::vector<uint8_t> EncodePng(const Canvas& c, bool alpha, const Rgb& background) {
    std::vector<uint8_t> out;
    const std::vector<uint8_t> rows = Rows(c, alpha, background);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return {};
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, PngWriteToVector, PngFlush);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, c.width(), c.height(), 8, alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const size_t stride = static_cast<size_t>(c.width()) * (alpha ? 4 : 3);
    for (int y = 0; y < c.height(); ++y) {
        png_write_row(png, const_cast<png_bytep>(&rows[y * stride]));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<uint8_t> EncodeJpeg(const Canvas& c, int quality, const Rgb& background) {
    const std::vector<uint8_t> rows = Rows(c, false, background);
    jpeg_compress_struct info{};
    JpegError err{};
    info.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = JpegFail;
    unsigned char* mem = nullptr;
    unsigned long memSize = 0;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&info);
        std::free(mem);
        return {};
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &mem, &memSize);
    info.image_width = static_cast<JDIMENSION>(c.width());
    info.image_height = static_cast<JDIMENSION>(c.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.optimize_coding = TRUE;
    jpeg_start_compress(&info, TRUE);
    const size_t stride = static_cast<size_t>(c.width()) * 3;
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&rows[info.next_scanline * stride]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> out(mem, mem + memSize);
    jpeg_destroy_compress(&info);
    std::free(mem);
    return out;
}

bool WritePngRgba(const std::string& path, const Canvas& c) { return WriteFileBytes(path, EncodePng(c, true)); }
bool WritePngRgb(const std::string& path, const Canvas& c, const Rgb& background) {
    return WriteFileBytes(path, EncodePng(c, false, background));
}
bool WriteJpeg(const std::string& path, const Canvas& c, int quality, const Rgb& background) {
    return WriteFileBytes(path, EncodeJpeg(c, quality, background));
}

bool ReadPng(const std::string& path, std::unique_ptr<Canvas>& out) {
    png_image img{};
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&img, path.c_str())) {
        return false;
    }
    img.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> buf(PNG_IMAGE_SIZE(img));
    if (!png_image_finish_read(&img, nullptr, buf.data(), 0, nullptr)) {
        png_image_free(&img);
        return false;
    }
    out = std::make_unique<Canvas>(static_cast<int>(img.width), static_cast<int>(img.height));
    Pixels px(*out);
    for (int y = 0; y < px.h; ++y) {
        for (int x = 0; x < px.w; ++x) {
            const uint8_t* p = &buf[(static_cast<size_t>(y) * px.w + x) * 4];
            px.at(x, y) = Pack(p[0] / 255.0, p[1] / 255.0, p[2] / 255.0, p[3] / 255.0);
        }
    }
    cairo_surface_mark_dirty(out->surface());
    return true;
}

} // namespace art
