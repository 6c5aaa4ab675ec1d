// The sprite blitter behind sprite_blit.h. Per channel, as SDL's software blitter computes it: the source is tinted
// (c * mod / 255, alpha * amod / 255) and premultiplied (c * alpha / 255); alpha blending then gives
// src + dst * (255 - alpha) / 255 (alpha too), additive blending min(src + dst, 255) with the canvas alpha kept.
// Every shape gathers one row of source texels (copied, stretched or sampled) and blends it with one tight loop per
// blend mode. The inner loops come scalar, with SSE2 and with AVX2 (the widest the processor has is taken at start);
// all give the same pixels.
//
// [SECTION] Blending rows      [SECTION] Copies as SDL_BlitSurface makes them
// [SECTION] Placing: clip, copy, stretch, triangles      [SECTION] Entry points
#include "platform/sprite_blit.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#define BQ_BLIT_AVX2 1
#endif

namespace {

// ---- [SECTION] Blending rows ---------------------------------------------------------------------------------

// x / 255 for x in 0..65025, exact, without a division.
inline uint32_t Div255(uint32_t x) { return (x + 1 + (x >> 8)) >> 8; }

struct Tint {
    uint32_t r, g, b, a;
};

// The source pixel tinted and premultiplied: the channels in their places, alpha in the top byte.
inline uint32_t Tinted(uint32_t s, const Tint& t) {
    const uint32_t sa = Div255((s >> 24) * t.a);
    const uint32_t sr = Div255(Div255((s >> 16 & 255) * t.r) * sa);
    const uint32_t sg = Div255(Div255((s >> 8 & 255) * t.g) * sa);
    const uint32_t sb = Div255(Div255((s & 255) * t.b) * sa);
    return sa << 24 | sr << 16 | sg << 8 | sb;
}

void RowAlpha(uint32_t* d, const uint32_t* s, int n, const Tint& t) {
    for (int i = 0; i < n; ++i) {
        const uint32_t p = Tinted(s[i], t), sa = p >> 24;
        if (sa == 0) continue;
        const uint32_t inv = 255 - sa, q = d[i];
        const uint32_t da = (p >> 24) + Div255((q >> 24) * inv);
        const uint32_t dr = (p >> 16 & 255) + Div255((q >> 16 & 255) * inv);
        const uint32_t dg = (p >> 8 & 255) + Div255((q >> 8 & 255) * inv);
        const uint32_t db = (p & 255) + Div255((q & 255) * inv);
        d[i] = da << 24 | dr << 16 | dg << 8 | db;
    }
}

void RowAdditive(uint32_t* d, const uint32_t* s, int n, const Tint& t) {
    for (int i = 0; i < n; ++i) {
        const uint32_t p = Tinted(s[i], t);
        if ((p & 0xFFFFFFu) == 0) continue;
        const uint32_t q = d[i];
        const uint32_t dr = std::min<uint32_t>((p >> 16 & 255) + (q >> 16 & 255), 255);
        const uint32_t dg = std::min<uint32_t>((p >> 8 & 255) + (q >> 8 & 255), 255);
        const uint32_t db = std::min<uint32_t>((p & 255) + (q & 255), 255);
        d[i] = (q & 0xFF000000u) | dr << 16 | dg << 8 | db;
    }
}

#if defined(__SSE2__)
// Four pixels at a time: each channel widened to 16 bits, where c * m / 255 is exact and fits.
inline __m128i Div255x8(__m128i x) {
    const __m128i one = _mm_set1_epi16(1);
    return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, one), _mm_srli_epi16(x, 8)), 8);
}

// Two pixels (as 8 lanes b g r a b g r a) tinted and premultiplied; `alphaOut` gets their alpha in every lane.
inline __m128i TintedX2(__m128i px, __m128i tint, __m128i& alphaOut) {
    const __m128i m = Div255x8(_mm_mullo_epi16(px, tint));
    const __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(m, 0xFF), 0xFF);
    alphaOut = a;
    // The alpha lane is multiplied by 255, so it stays as it is.
    const __m128i alphaLane = _mm_set_epi16(255, 0, 0, 0, 255, 0, 0, 0);
    const __m128i colourLanes = _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1);
    return Div255x8(_mm_mullo_epi16(m, _mm_or_si128(_mm_and_si128(a, colourLanes), alphaLane)));
}

template <bool Additive> void RowWide(uint32_t* d, const uint32_t* s, int n, const Tint& t) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i tint =
        _mm_set_epi16(short(t.a), short(t.r), short(t.g), short(t.b), short(t.a), short(t.r), short(t.g), short(t.b));
    const __m128i full = _mm_set1_epi16(255);
    const __m128i noAlpha = _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1);
    const __m128i alphaMask = _mm_set1_epi32(int(0xFF000000u));
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i sp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(sp, alphaMask), zero)) == 0xFFFF) continue; // all clear
        const __m128i dp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        __m128i aLo, aHi;
        const __m128i pLo = TintedX2(_mm_unpacklo_epi8(sp, zero), tint, aLo);
        const __m128i pHi = TintedX2(_mm_unpackhi_epi8(sp, zero), tint, aHi);
        __m128i out;
        if constexpr (Additive) {
            // Saturating add of the colours; the canvas keeps its alpha.
            const __m128i add = _mm_packus_epi16(_mm_and_si128(pLo, noAlpha), _mm_and_si128(pHi, noAlpha));
            out = _mm_adds_epu8(dp, add);
        } else {
            const __m128i dLo = _mm_unpacklo_epi8(dp, zero), dHi = _mm_unpackhi_epi8(dp, zero);
            const __m128i oLo = _mm_add_epi16(pLo, Div255x8(_mm_mullo_epi16(dLo, _mm_sub_epi16(full, aLo))));
            const __m128i oHi = _mm_add_epi16(pHi, Div255x8(_mm_mullo_epi16(dHi, _mm_sub_epi16(full, aHi))));
            out = _mm_packus_epi16(oLo, oHi);
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), out);
    }
    if (i < n) {
        if constexpr (Additive)
            RowAdditive(d + i, s + i, n - i, t);
        else
            RowAlpha(d + i, s + i, n - i, t);
    }
}
#else
template <bool Additive> void RowWide(uint32_t* d, const uint32_t* s, int n, const Tint& t) {
    if constexpr (Additive)
        RowAdditive(d, s, n, t);
    else
        RowAlpha(d, s, n, t);
}
#endif

#if defined(BQ_BLIT_AVX2)
// Eight pixels at a time, the same arithmetic as RowWide (each 128-bit half of a register is one RowWide step).
#define BQ_AVX2 __attribute__((target("avx2")))
BQ_AVX2 inline __m256i Div255x16(__m256i x) {
    const __m256i one = _mm256_set1_epi16(1);
    return _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(x, one), _mm256_srli_epi16(x, 8)), 8);
}

BQ_AVX2 inline __m256i TintedX4(__m256i px, __m256i tint, __m256i& alphaOut) {
    const __m256i m = Div255x16(_mm256_mullo_epi16(px, tint));
    const __m256i a = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(m, 0xFF), 0xFF);
    alphaOut = a;
    const __m256i alphaLane = _mm256_set_epi16(255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0);
    const __m256i colourLanes = _mm256_set_epi16(0, -1, -1, -1, 0, -1, -1, -1, 0, -1, -1, -1, 0, -1, -1, -1);
    return Div255x16(_mm256_mullo_epi16(m, _mm256_or_si256(_mm256_and_si256(a, colourLanes), alphaLane)));
}

template <bool Additive> BQ_AVX2 void RowAvx2(uint32_t* d, const uint32_t* s, int n, const Tint& t) {
    const __m256i zero = _mm256_setzero_si256();
    const short ta = short(t.a), tr = short(t.r), tg = short(t.g), tb = short(t.b);
    const __m256i tint = _mm256_set_epi16(ta, tr, tg, tb, ta, tr, tg, tb, ta, tr, tg, tb, ta, tr, tg, tb);
    const __m256i full = _mm256_set1_epi16(255);
    const __m256i noAlpha = _mm256_set_epi16(0, -1, -1, -1, 0, -1, -1, -1, 0, -1, -1, -1, 0, -1, -1, -1);
    const __m256i alphaMask = _mm256_set1_epi32(int(0xFF000000u));
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    for (int i = 0; i < n; i += 8) {
        // The row's last pixels: only the lanes left are read and written (a lane not read is clear).
        const bool whole = i + 8 <= n;
        const __m256i live = whole ? _mm256_set1_epi32(-1) : _mm256_cmpgt_epi32(_mm256_set1_epi32(n - i), lane);
        const int* const from = reinterpret_cast<const int*>(s + i);
        int* const to = reinterpret_cast<int*>(d + i);
        const __m256i sp =
            whole ? _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from)) : _mm256_maskload_epi32(from, live);
        if (_mm256_testz_si256(sp, alphaMask)) continue; // all clear
        const __m256i dp =
            whole ? _mm256_loadu_si256(reinterpret_cast<const __m256i*>(to)) : _mm256_maskload_epi32(to, live);
        __m256i aLo, aHi;
        const __m256i pLo = TintedX4(_mm256_unpacklo_epi8(sp, zero), tint, aLo);
        const __m256i pHi = TintedX4(_mm256_unpackhi_epi8(sp, zero), tint, aHi);
        __m256i out;
        if constexpr (Additive) {
            const __m256i add = _mm256_packus_epi16(_mm256_and_si256(pLo, noAlpha), _mm256_and_si256(pHi, noAlpha));
            out = _mm256_adds_epu8(dp, add);
        } else {
            const __m256i dLo = _mm256_unpacklo_epi8(dp, zero), dHi = _mm256_unpackhi_epi8(dp, zero);
            const __m256i oLo = _mm256_add_epi16(pLo, Div255x16(_mm256_mullo_epi16(dLo, _mm256_sub_epi16(full, aLo))));
            const __m256i oHi = _mm256_add_epi16(pHi, Div255x16(_mm256_mullo_epi16(dHi, _mm256_sub_epi16(full, aHi))));
            out = _mm256_packus_epi16(oLo, oHi);
        }
        if (whole)
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(to), out);
        else
            _mm256_maskstore_epi32(to, live, out);
    }
}
#endif

// ---- [SECTION] Copies as SDL_BlitSurface makes them -------------------------------------------------------------
// SDL's software renderer copies an unscaled picture with SDL_BlitSurface, which picks one blit per blend mode and
// tint, each with arithmetic of its own (SDL 2.26, an ARGB8888 picture onto an ARGB8888 or XRGB8888 canvas):
//   plain     no blending, no tint: the texel as it is;
//   modulate  no blending, tinted: c * mod / 255 per channel, alpha a * amod / 255;
//   pixel     alpha blending, no tint (SDL's MMX blit): a texel of alpha 0 leaves the canvas as it is, one of 255
//             replaces it whole; otherwise c * a >> 8 plus canvas * (255 - a) >> 8 per channel, the alpha channel
//             a * 255 >> 8 plus canvas alpha * (255 - a) >> 8;
//   blend     alpha blending, tinted: the texel tinted and premultiplied (as Tinted), then s + canvas * (255 - a)
//             / 255, alpha too: the sprites' RowAlpha;
//   add       additive: the texel tinted and premultiplied, then min(s + canvas, 255) per colour, the canvas alpha
//             kept: the sprites' RowAdditive.
// On an XRGB canvas every kind but pixel writes each pixel it covers with its top byte cleared; pixel writes it as its
// formula gives. A copy row function's `Top` is the mask of the bits kept: kArgb or kXrgb.
enum CopyKind { kCopyPlain, kCopyModulate, kCopyPixel, kCopyRowKinds, kCopyBlend = kCopyRowKinds, kCopyAdd };
constexpr uint32_t kArgb = 0xFFFFFFFFu, kXrgb = 0x00FFFFFFu;

using CopyRow = void (*)(uint32_t*, const uint32_t*, int, const Tint&);

inline uint32_t PixelAlpha(uint32_t s, uint32_t d) {
    const uint32_t a = s >> 24;
    if (a == 0) return d;
    if (a == 255) return s;
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t weight = shift == 24 ? 255 : a;
        out |= (((s >> shift & 255) * weight >> 8) + ((d >> shift & 255) * (255 - a) >> 8)) << shift;
    }
    return out;
}

template <int Kind, uint32_t Top> void CopyRowScalar(uint32_t* d, const uint32_t* s, int n, const Tint& t) {
    for (int i = 0; i < n; ++i) {
        if constexpr (Kind == kCopyPixel) {
            d[i] = PixelAlpha(s[i], d[i]);
            continue;
        }
        uint32_t out = s[i];
        if constexpr (Kind == kCopyModulate) {
            const uint32_t p = s[i];
            out = Div255((p >> 24) * t.a) << 24 | Div255((p >> 16 & 255) * t.r) << 16 |
                  Div255((p >> 8 & 255) * t.g) << 8 | Div255((p & 255) * t.b);
        }
        d[i] = out & Top;
    }
}

#if defined(__SSE2__)
// Two pixels of the pixel kind (8 lanes b g r a b g r a of texel and canvas), before the choice for alpha 0 and 255.
inline __m128i PixelAlphaX2(__m128i s, __m128i d) {
    const __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF);
    const __m128i weight = _mm_or_si128(_mm_and_si128(a, _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1)),
                                        _mm_set_epi16(255, 0, 0, 0, 255, 0, 0, 0));
    return _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(s, weight), 8),
                         _mm_srli_epi16(_mm_mullo_epi16(d, _mm_xor_si128(a, _mm_set1_epi16(255))), 8));
}

// Four pixels at a time, each channel widened to 16 bits (as RowWide); the row's last pixels as CopyRowScalar.
template <int Kind, uint32_t Top> void CopyRowSse2(uint32_t* d, const uint32_t* s, int n, const Tint& t) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i tint =
        _mm_set_epi16(short(t.a), short(t.r), short(t.g), short(t.b), short(t.a), short(t.r), short(t.g), short(t.b));
    const __m128i alphaMask = _mm_set1_epi32(int(0xFF000000u));
    const __m128i keep = _mm_set1_epi32(int(Top));
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i sp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        __m128i* const to = reinterpret_cast<__m128i*>(d + i);
        const __m128i sLo = _mm_unpacklo_epi8(sp, zero), sHi = _mm_unpackhi_epi8(sp, zero);
        __m128i out = sp;
        if constexpr (Kind == kCopyModulate) {
            out = _mm_packus_epi16(Div255x8(_mm_mullo_epi16(sLo, tint)), Div255x8(_mm_mullo_epi16(sHi, tint)));
        } else if constexpr (Kind == kCopyPixel) {
            const __m128i alpha = _mm_and_si128(sp, alphaMask);
            const __m128i clear = _mm_cmpeq_epi32(alpha, zero), solid = _mm_cmpeq_epi32(alpha, alphaMask);
            if (_mm_movemask_epi8(clear) == 0xFFFF) continue;
            const __m128i dp = _mm_loadu_si128(to);
            const __m128i mixed = _mm_packus_epi16(PixelAlphaX2(sLo, _mm_unpacklo_epi8(dp, zero)),
                                                   PixelAlphaX2(sHi, _mm_unpackhi_epi8(dp, zero)));
            out = _mm_or_si128(_mm_and_si128(solid, sp), _mm_andnot_si128(solid, mixed));
            _mm_storeu_si128(to, _mm_or_si128(_mm_and_si128(clear, dp), _mm_andnot_si128(clear, out)));
            continue;
        }
        _mm_storeu_si128(to, Top == kArgb ? out : _mm_and_si128(out, keep));
    }
    CopyRowScalar<Kind, Top>(d + i, s + i, n - i, t);
}
#endif

#if defined(BQ_BLIT_AVX2)
BQ_AVX2 inline __m256i PixelAlphaX4(__m256i s, __m256i d) {
    const __m256i a = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(s, 0xFF), 0xFF);
    const __m256i weight = _mm256_or_si256(
        _mm256_and_si256(a, _mm256_set_epi16(0, -1, -1, -1, 0, -1, -1, -1, 0, -1, -1, -1, 0, -1, -1, -1)),
        _mm256_set_epi16(255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0));
    return _mm256_add_epi16(_mm256_srli_epi16(_mm256_mullo_epi16(s, weight), 8),
                            _mm256_srli_epi16(_mm256_mullo_epi16(d, _mm256_xor_si256(a, _mm256_set1_epi16(255))), 8));
}

// Eight pixels at a time, the arithmetic of CopyRowSse2; the row's last pixels as CopyRowSse2.
template <int Kind, uint32_t Top> BQ_AVX2 void CopyRowAvx2(uint32_t* d, const uint32_t* s, int n, const Tint& t) {
    const __m256i zero = _mm256_setzero_si256();
    const short ta = short(t.a), tr = short(t.r), tg = short(t.g), tb = short(t.b);
    const __m256i tint = _mm256_set_epi16(ta, tr, tg, tb, ta, tr, tg, tb, ta, tr, tg, tb, ta, tr, tg, tb);
    const __m256i alphaMask = _mm256_set1_epi32(int(0xFF000000u));
    const __m256i keep = _mm256_set1_epi32(int(Top));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i sp = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        __m256i* const to = reinterpret_cast<__m256i*>(d + i);
        const __m256i sLo = _mm256_unpacklo_epi8(sp, zero), sHi = _mm256_unpackhi_epi8(sp, zero);
        __m256i out = sp;
        if constexpr (Kind == kCopyModulate) {
            out =
                _mm256_packus_epi16(Div255x16(_mm256_mullo_epi16(sLo, tint)), Div255x16(_mm256_mullo_epi16(sHi, tint)));
        } else if constexpr (Kind == kCopyPixel) {
            if (_mm256_testz_si256(sp, alphaMask)) continue; // all clear
            const __m256i dp = _mm256_loadu_si256(to);
            const __m256i alpha = _mm256_and_si256(sp, alphaMask);
            const __m256i clear = _mm256_cmpeq_epi32(alpha, zero), solid = _mm256_cmpeq_epi32(alpha, alphaMask);
            const __m256i mixed = _mm256_packus_epi16(PixelAlphaX4(sLo, _mm256_unpacklo_epi8(dp, zero)),
                                                      PixelAlphaX4(sHi, _mm256_unpackhi_epi8(dp, zero)));
            _mm256_storeu_si256(to, _mm256_blendv_epi8(_mm256_blendv_epi8(mixed, sp, solid), dp, clear));
            continue;
        }
        _mm256_storeu_si256(to, Top == kArgb ? out : _mm256_and_si256(out, keep));
    }
    CopyRowSse2<Kind, Top>(d + i, s + i, n - i, t);
}
#endif

// Every kind's row for an ARGB canvas ([kind][0]) and an XRGB one ([kind][1]), of one instruction set.
struct CopyRows {
    CopyRow row[kCopyRowKinds][2];
};
#define BQ_COPY_ROWS(Row)                                                                                              \
    CopyRows {                                                                                                         \
        {{Row<kCopyPlain, kArgb>, Row<kCopyPlain, kXrgb>},                                                             \
         {Row<kCopyModulate, kArgb>, Row<kCopyModulate, kXrgb>},                                                       \
         {Row<kCopyPixel, kArgb>, Row<kCopyPixel, kXrgb>}},                                                            \
    }

// The inner loops in use: the widest the processor has, or the ones Blit_UsePath asked for.
struct Columns;
void StretchRowScalar(uint32_t* out, int n, const Columns& columns, const uint32_t* r0, const uint32_t* r1, int w1);
#if defined(__SSE2__)
void StretchRowSse2(uint32_t* out, int n, const Columns& columns, const uint32_t* r0, const uint32_t* r1, int w1);
#endif
#if defined(BQ_BLIT_AVX2)
BQ_AVX2 void StretchRowAvx2(uint32_t* out, int n, const Columns& columns, const uint32_t* r0, const uint32_t* r1,
                            int w1);
#endif

struct BlitLoops {
    BlitPath path = kBlitPathScalar;
    void (*alpha)(uint32_t*, const uint32_t*, int, const Tint&) = RowAlpha;
    void (*additive)(uint32_t*, const uint32_t*, int, const Tint&) = RowAdditive;
    void (*stretch)(uint32_t*, int, const Columns&, const uint32_t*, const uint32_t*, int) = StretchRowScalar;
    CopyRows copies = BQ_COPY_ROWS(CopyRowScalar);
};

BlitLoops LoopsFor(BlitPath wanted) {
    BlitLoops l;
#if defined(__SSE2__)
    if (wanted >= kBlitPathSse2)
        l = BlitLoops{kBlitPathSse2, RowWide<false>, RowWide<true>, StretchRowSse2, BQ_COPY_ROWS(CopyRowSse2)};
#endif
#if defined(BQ_BLIT_AVX2)
    if (wanted >= kBlitPathAvx2 && __builtin_cpu_supports("avx2"))
        l = BlitLoops{kBlitPathAvx2, RowAvx2<false>, RowAvx2<true>, StretchRowAvx2, BQ_COPY_ROWS(CopyRowAvx2)};
#endif
    return l;
}

BlitLoops g_loops = LoopsFor(kBlitPathAvx2);

void BlendRow(uint32_t* d, const uint32_t* s, int n, const Tint& t, int blend) {
    if (n <= 0) return;
    (blend == BLEND_ADDITIVE ? g_loops.additive : g_loops.alpha)(d, s, n, t);
}

// One row of gathered texels (grown, never shrunk).
uint32_t* RowBuffer(int n) {
    static std::vector<uint32_t> row;
    if (row.size() < size_t(n)) row.resize(size_t(n) * 2);
    return row.data();
}

// ---- [SECTION] Placing: clip, copy, stretch, triangles --------------------------------------------------------

// A half-open pixel box [l, r) x [t, b) on the canvas.
struct Box {
    int l = 0, t = 0, r = 0, b = 0;
    bool Empty() const { return l >= r || t >= b; }
};

Box Intersect(const Box& a, const Box& b) {
    return Box{std::max(a.l, b.l), std::max(a.t, b.t), std::min(a.r, b.r), std::min(a.b, b.b)};
}

// What SDL clips to: the clip rectangle within the canvas.
Box SdlClip(const BlitPixels& dst, const Rect& clip) {
    const int cw = dst.canvasWidth > 0 ? dst.canvasWidth : dst.left + dst.width;
    const int ch = dst.canvasHeight > 0 ? dst.canvasHeight : dst.top + dst.height;
    return Intersect(Box{clip.x, clip.y, clip.x + clip.w, clip.y + clip.h}, Box{0, 0, cw, ch});
}

Box Window(const BlitPixels& dst) { return Box{dst.left, dst.top, dst.left + dst.width, dst.top + dst.height}; }

uint32_t* At(const BlitPixels& dst, int x, int y) {
    return dst.pixels + size_t(y - dst.top) * size_t(dst.pitch) + size_t(x - dst.left);
}

Tint TintOf(const BlitTint& t) { return Tint{t.r, t.g, t.b, t.a}; }

// The frame copied whole with its top-left at (x, y).
int64_t Copy(const BlitPixels& dst, const Box& clip, const BlitSource& src, int x, int y, const Tint& t, int blend) {
    const Box box = Intersect(Intersect(clip, Window(dst)), Box{x, y, x + src.width, y + src.height});
    if (box.Empty()) return 0;
    const int n = box.r - box.l;
    for (int row = box.t; row < box.b; ++row)
        BlendRow(At(dst, box.l, row), src.pixels + size_t(row - y) * size_t(src.pitch) + size_t(box.l - x), n, t,
                 blend);
    return int64_t(n) * (box.b - box.t);
}

// SDL's bilinear stretch (its SSE2 path, 7-bit weights): the first destination pixel's centre maps to source
// position (step + 1) / 2 - 0.5 in 16.16 fixed point, each next one `step` further; positions before the first
// source centre or past the last take the edge pixel.
struct Scaler {
    int64_t start = 0;
    int64_t step = 0;
    int n = 0; // source pixels
};

Scaler ScalerOf(int srcN, int dstN) {
    const int64_t step = int64_t((uint32_t(srcN) << 16) / uint32_t(dstN));
    return Scaler{((step * 32768 + 0x8000) >> 16) - 32768, step, srcN};
}

// The two source pixels of destination pixel i and the weight (of 128) of the second.
struct Tap {
    int i0 = 0, i1 = 0, w1 = 0;
};

Tap TapOf(const Scaler& s, int i) {
    const int64_t fp = s.start + int64_t(i) * s.step;
    if (fp < 0) return Tap{0, 0, 0};
    const int index = int(fp >> 16);
    if (index > s.n - 2) return Tap{s.n - 1, s.n - 1, 0};
    return Tap{index, index + 1, int((fp >> 9) & 127)};
}

// The taps of a row's destination pixels, one array a field (the wide loops load eight of each at once).
struct Columns {
    const int32_t* i0 = nullptr;
    const int32_t* i1 = nullptr;
    const int32_t* w1 = nullptr;
};

// One stretched row: each destination pixel from two source rows' texels at two columns, weighted vertically
// (v0 + v1 = 128), then horizontally (h0 + h1 = 128), in SDL's order: the vertical sums kept whole, one shift by 14
// at the end. `columns` rise from left to right.
void StretchRowScalar(uint32_t* out, int n, const Columns& columns, const uint32_t* r0, const uint32_t* r1, int w1) {
    const uint32_t v1 = uint32_t(w1), v0 = 128 - v1;
    for (int i = 0; i < n; ++i) {
        const int i0 = columns.i0[i], i1 = columns.i1[i];
        const uint32_t h1 = uint32_t(columns.w1[i]), h0 = 128 - h1;
        const uint32_t a0 = r0[i0], b0 = r1[i0], a1 = r0[i1], b1 = r1[i1];
        uint32_t p = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const uint32_t c0 = (a0 >> shift & 255) * v0 + (b0 >> shift & 255) * v1;
            const uint32_t c1 = (a1 >> shift & 255) * v0 + (b1 >> shift & 255) * v1;
            p |= ((c0 * h0 + c1 * h1) >> 14) << shift;
        }
        out[i] = p;
    }
}

#if defined(__SSE2__)
// The same, the vertical sums made once per source column the row reaches (two columns at a time, four 16-bit
// channels each), then each destination pixel from its two columns' sums.
// One pixel of it from its four texels (when a row shrinks much, cheaper than sums of every column it spans).
inline uint32_t Bilinear(uint32_t a0, uint32_t a1, uint32_t b0, uint32_t b1, __m128i vRow0, __m128i vRow1,
                         __m128i hWeights) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i top =
        _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(int(a0)), _mm_cvtsi32_si128(int(a1))), zero);
    const __m128i bottom =
        _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(int(b0)), _mm_cvtsi32_si128(int(b1))), zero);
    const __m128i k = _mm_add_epi16(_mm_mullo_epi16(top, vRow0), _mm_mullo_epi16(bottom, vRow1));
    const __m128i pairs = _mm_unpacklo_epi16(k, _mm_srli_si128(k, 8)); // column 0 and 1 of each channel side by side
    const __m128i sum = _mm_srli_epi32(_mm_madd_epi16(pairs, hWeights), 14);
    const __m128i packed = _mm_packs_epi32(sum, sum);
    return uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(packed, packed)));
}

// Whether a row shrinks to less than half, so that each pixel is cheaper on its own than sums of every column.
bool ShrunkMuch(int n, const Columns& c) { return c.i1[n - 1] - c.i0[0] + 1 > 2 * n; }

// The vertical sums' store: one 64-bit slot per source column and four to spare (grown, never shrunk).
uint64_t* SumBuffer(int columns) {
    static std::vector<uint64_t> sums;
    if (sums.size() < size_t(columns + 4)) sums.resize(size_t(columns + 4) * 2);
    return sums.data();
}

void StretchRowSse2(uint32_t* out, int n, const Columns& columns, const uint32_t* r0, const uint32_t* r1, int w1) {
    const int lo = columns.i0[0], hi = columns.i1[n - 1];
    const auto hWeightsOf = [&](int i) {
        return _mm_set1_epi32(int(uint32_t(columns.w1[i]) << 16 | uint32_t(128 - columns.w1[i])));
    };
    if (ShrunkMuch(n, columns)) {
        const __m128i vRow0 = _mm_set1_epi16(short(128 - w1)), vRow1 = _mm_set1_epi16(short(w1));
        for (int i = 0; i < n; ++i) {
            const int i0 = columns.i0[i], i1 = columns.i1[i];
            out[i] = Bilinear(r0[i0], r0[i1], r1[i0], r1[i1], vRow0, vRow1, hWeightsOf(i));
        }
        return;
    }
    uint64_t* const sums = SumBuffer(hi - lo + 1);
    const __m128i zero = _mm_setzero_si128();
    const __m128i v0 = _mm_set1_epi16(short(128 - w1)), v1 = _mm_set1_epi16(short(w1));
    const auto vertical = [&](__m128i top, __m128i bottom) {
        return _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(top, zero), v0),
                             _mm_mullo_epi16(_mm_unpacklo_epi8(bottom, zero), v1));
    };
    int c = lo;
    for (; c + 1 <= hi; c += 2)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(sums + (c - lo)),
                         vertical(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(r0 + c)),
                                  _mm_loadl_epi64(reinterpret_cast<const __m128i*>(r1 + c))));
    if (c == hi)
        _mm_storel_epi64(reinterpret_cast<__m128i*>(sums + (c - lo)),
                         vertical(_mm_cvtsi32_si128(int(r0[c])), _mm_cvtsi32_si128(int(r1[c]))));
    const uint64_t* const k = sums - lo;
    // A pixel's four channels: its two columns' sums side by side, weighted and shifted.
    const auto pixel = [&](int i) {
        const __m128i pairs = _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(k + columns.i0[i])),
                                                 _mm_loadl_epi64(reinterpret_cast<const __m128i*>(k + columns.i1[i])));
        return _mm_srli_epi32(_mm_madd_epi16(pairs, hWeightsOf(i)), 14);
    };
    int i = 0;
    for (; i + 2 <= n; i += 2) {
        const __m128i packed = _mm_packs_epi32(pixel(i), pixel(i + 1));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(packed, packed));
    }
    if (i < n) {
        const __m128i sum = pixel(i);
        const __m128i packed = _mm_packs_epi32(sum, sum);
        out[i] = uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(packed, packed)));
    }
}
#endif

#if defined(BQ_BLIT_AVX2)
// Eight pixels a step, the same arithmetic as StretchRowSse2. A pixel's two columns are its tap's i0 and i0 + 1, or
// i0 alone with no weight on the second (at the frame's edges), so one 128-bit load of the vertical sums of column i0
// and the next, kept side by side per channel, gives all a pixel needs. The eight pixels are held in pairs 0 4,
// 1 5, 2 6 and 3 7 (one pixel per 128-bit half), the order in which packing lane by lane puts them back in line.

// Two pixels' channels from their columns' sums side by side, weighted by the lanes `which` of `weights`, shifted.
BQ_AVX2 inline __m256i WeighPair(__m256i pairs, __m256i weights, __m256i which) {
    return _mm256_srli_epi32(_mm256_madd_epi16(pairs, _mm256_permutevar8x32_epi32(weights, which)), 14);
}

// The eight pixels from the pairs 0 4, 1 5, 2 6, 3 7 and their horizontal weights (h1 << 16 | h0, pixels 0..7).
BQ_AVX2 inline __m256i Horizontal8(const __m256i (&pairs)[4], __m256i weights) {
    const __m256i p04 = WeighPair(pairs[0], weights, _mm256_setr_epi32(0, 0, 0, 0, 4, 4, 4, 4));
    const __m256i p15 = WeighPair(pairs[1], weights, _mm256_setr_epi32(1, 1, 1, 1, 5, 5, 5, 5));
    const __m256i p26 = WeighPair(pairs[2], weights, _mm256_setr_epi32(2, 2, 2, 2, 6, 6, 6, 6));
    const __m256i p37 = WeighPair(pairs[3], weights, _mm256_setr_epi32(3, 3, 3, 3, 7, 7, 7, 7));
    return _mm256_packus_epi16(_mm256_packs_epi32(p04, p15), _mm256_packs_epi32(p26, p37));
}

// 16-bit channels weighted vertically.
BQ_AVX2 inline __m256i Vertical(__m256i top, __m256i bottom, __m256i v0, __m256i v1) {
    return _mm256_add_epi16(_mm256_mullo_epi16(top, v0), _mm256_mullo_epi16(bottom, v1));
}

// The vertical sums of the four columns from `c`, widened to 16 bits; past the row's last `count` columns, 0.
BQ_AVX2 inline __m256i ColumnSums(const uint32_t* r0, const uint32_t* r1, int c, int count, __m256i v0, __m256i v1) {
    __m128i top, bottom;
    if (count >= 4) {
        top = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r0 + c));
        bottom = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r1 + c));
    } else {
        const __m128i live = _mm_cmpgt_epi32(_mm_set1_epi32(count), _mm_setr_epi32(0, 1, 2, 3));
        top = _mm_maskload_epi32(reinterpret_cast<const int*>(r0 + c), live);
        bottom = _mm_maskload_epi32(reinterpret_cast<const int*>(r1 + c), live);
    }
    return Vertical(_mm256_cvtepu8_epi16(top), _mm256_cvtepu8_epi16(bottom), v0, v1);
}

// Eight taps from `from`; on a row's last step the lanes not `live` take `fill`.
BQ_AVX2 inline __m256i LoadTaps(const int32_t* from, bool whole, __m256i live, __m256i fill) {
    return whole ? _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from))
                 : _mm256_blendv_epi8(fill, _mm256_maskload_epi32(from, live), live);
}

BQ_AVX2 void StretchRowAvx2(uint32_t* out, int n, const Columns& columns, const uint32_t* r0, const uint32_t* r1,
                            int w1) {
    if (ShrunkMuch(n, columns)) { // gathering each pixel's four texels costs more than the SSE2 loop's loads
        StretchRowSse2(out, n, columns, r0, r1, w1);
        return;
    }
    const int lo = columns.i0[0], hi = columns.i1[n - 1];
    const __m256i zero = _mm256_setzero_si256();
    const __m256i v0 = _mm256_set1_epi16(short(128 - w1)), v1 = _mm256_set1_epi16(short(w1));
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    // Column c's sums beside column c + 1's, at c - lo: four columns a step; the last step reads only the columns
    // left (the sums past `hi` are 0) and writes into the spare slots.
    __m128i* const pairSums = reinterpret_cast<__m128i*>(SumBuffer(2 * (hi - lo + 4)));
    __m256i k = ColumnSums(r0, r1, lo, hi - lo + 1, v0, v1);
    for (int c = lo; c <= hi; c += 4) {
        // The next four columns' sums, and the ones from c + 1 taken from both.
        const __m256i after = c + 4 <= hi ? ColumnSums(r0, r1, c + 4, hi - c - 3, v0, v1) : zero;
        const __m256i next = _mm256_alignr_epi8(_mm256_permute2x128_si256(k, after, 0x21), k, 8);
        const __m256i even = _mm256_unpacklo_epi16(k, next), odd = _mm256_unpackhi_epi16(k, next);
        __m256i* const to = reinterpret_cast<__m256i*>(pairSums + (c - lo));
        _mm256_storeu_si256(to, _mm256_permute2x128_si256(even, odd, 0x20));
        _mm256_storeu_si256(to + 1, _mm256_permute2x128_si256(even, odd, 0x31));
        k = after;
    }
    const __m256i first = _mm256_set1_epi32(lo), full = _mm256_set1_epi32(128);
    for (int i = 0; i < n; i += 8) {
        // The row's last pixels: lanes past its end take the first column and are not written.
        const bool whole = i + 8 <= n;
        const __m256i live = whole ? _mm256_set1_epi32(-1) : _mm256_cmpgt_epi32(_mm256_set1_epi32(n - i), lane);
        const __m256i i0 = LoadTaps(columns.i0 + i, whole, live, first);
        const __m256i h1 = LoadTaps(columns.w1 + i, whole, live, zero);
        const __m256i weights = _mm256_or_si256(_mm256_slli_epi32(h1, 16), _mm256_sub_epi32(full, h1));
        alignas(32) int32_t at[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(at), _mm256_sub_epi32(i0, first));
        __m256i pairs[4];
        for (int p = 0; p < 4; ++p)
            pairs[p] = _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(pairSums + at[p])),
                                               _mm_loadu_si128(pairSums + at[p + 4]), 1);
        const __m256i px = Horizontal8(pairs, weights);
        if (whole)
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), px);
        else
            _mm256_maskstore_epi32(reinterpret_cast<int*>(out + i), live, px);
    }
    _mm256_zeroupper(); // the caller's SSE2 code runs next
}
#endif

// The part `part` (destination pixels, relative to the stretch's top-left) of `src`'s rectangle `from` stretched
// to dw x dh, blended with the stretch's top-left at canvas point (x, y).
int64_t Stretch(const BlitPixels& dst, const BlitSource& src, const Rect& from, int dw, int dh, int x, int y,
                const Box& part, const Tint& t, int blend) {
    if (part.Empty()) return 0;
    const Scaler sx = ScalerOf(from.w, dw), sy = ScalerOf(from.h, dh);
    const int n = part.r - part.l;
    uint32_t* out = RowBuffer(n);
    static std::vector<int32_t> taps; // i0, i1 and w1 of every column, one after the other (grown, never shrunk)
    if (taps.size() < size_t(n) * 3) taps.resize(size_t(n) * 6);
    const Columns columns{taps.data(), taps.data() + n, taps.data() + 2 * n};
    for (int i = 0; i < n; ++i) {
        const Tap h = TapOf(sx, part.l + i);
        taps[size_t(i)] = h.i0;
        taps[size_t(n + i)] = h.i1;
        taps[size_t(2 * n + i)] = h.w1;
    }
    for (int j = part.t; j < part.b; ++j) {
        const Tap v = TapOf(sy, j);
        const uint32_t* r0 = src.pixels + size_t(from.y + v.i0) * size_t(src.pitch) + size_t(from.x);
        const uint32_t* r1 = src.pixels + size_t(from.y + v.i1) * size_t(src.pitch) + size_t(from.x);
        g_loops.stretch(out, n, columns, r0, r1, v.w1);
        BlendRow(At(dst, x + part.l, y + j), out, n, t, blend);
    }
    return int64_t(n) * (part.b - part.t);
}

// A frame stretched onto the integer rectangle (x, y, w, h), as SDL's software renderer copies a scaled texture: a
// rectangle crossing the canvas's edge is stretched whole and then clipped; one inside it is clipped first, its
// source rectangle cut in proportion and rounded, and what is left stretched.
int64_t StretchRect(const BlitPixels& dst, const Box& clip, const BlitSource& src, int x, int y, int w, int h,
                    const Tint& t, int blend) {
    if (w <= 0 || h <= 0) return 0;
    const int cw = dst.canvasWidth > 0 ? dst.canvasWidth : dst.left + dst.width;
    const int ch = dst.canvasHeight > 0 ? dst.canvasHeight : dst.top + dst.height;
    const Box window = Intersect(clip, Window(dst));
    if (x < 0 || y < 0 || x + w > cw || y + h > ch) {
        const Box seen = Intersect(window, Box{x, y, x + w, y + h});
        return Stretch(dst, src, Rect{0, 0, src.width, src.height}, w, h, x, y,
                       Box{seen.l - x, seen.t - y, seen.r - x, seen.b - y}, t, blend);
    }
    const double scaleW = double(w) / src.width, scaleH = double(h) / src.height;
    double sx0 = 0, sy0 = 0, sx1 = src.width, sy1 = src.height;
    double dx0 = x - clip.l, dy0 = y - clip.t, dx1 = dx0 + w, dy1 = dy0 + h;
    const int clipW = clip.r - clip.l, clipH = clip.b - clip.t;
    if (dx0 < 0) {
        sx0 -= dx0 / scaleW;
        dx0 = 0;
    }
    if (dx1 > clipW) {
        sx1 -= (dx1 - clipW) / scaleW;
        dx1 = clipW;
    }
    if (dy0 < 0) {
        sy0 -= dy0 / scaleH;
        dy0 = 0;
    }
    if (dy1 > clipH) {
        sy1 -= (dy1 - clipH) / scaleH;
        dy1 = clipH;
    }
    const int fsx = int(std::round(sx0)), fsy = int(std::round(sy0));
    const Box from = Intersect(Box{0, 0, src.width, src.height},
                               Box{fsx, fsy, fsx + int(std::round(sx1 - sx0)), fsy + int(std::round(sy1 - sy0))});
    const int fdx = int(std::round(dx0 + clip.l)), fdy = int(std::round(dy0 + clip.t));
    const Box to = Intersect(clip, Box{fdx, fdy, fdx + int(std::round(dx1 - dx0)), fdy + int(std::round(dy1 - dy0))});
    if (to.Empty() || from.Empty()) return 0;
    const Box seen = Intersect(window, to);
    return Stretch(dst, src, Rect{from.l, from.t, from.r - from.l, from.b - from.t}, to.r - to.l, to.b - to.t, to.l,
                   to.t, Box{seen.l - to.l, seen.t - to.t, seen.r - to.l, seen.b - to.t}, t, blend);
}

// Triangles as SDL's software rasteriser fills them: corners at whole pixels (truncated, then doubled: one bit of
// fraction), a pixel drawn when its centre lies inside (edges by the top-left rule), its texel the nearest below
// the barycentric blend of the corners' texels (the largest texel coordinate taken one less). Each row's span is
// solved from the edge functions, and the texel coordinates advance as exact quotient and remainder.
struct Pt {
    int64_t x = 0, y = 0;
};

int64_t Cross(const Pt& a, const Pt& b, int64_t cx, int64_t cy) {
    return (b.x - a.x) * (cy - a.y) - (b.y - a.y) * (cx - a.x);
}

bool TopLeft(const Pt& a, const Pt& b, bool clockwise) {
    if (clockwise) return (a.y == b.y && a.x < b.x) || b.y < a.y;
    return (a.y == b.y && b.x < a.x) || a.y < b.y;
}

int64_t FloorDiv(int64_t a, int64_t b) { // b > 0
    const int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

// A coordinate that advances by a fixed amount a step: floor(n / area) kept as quotient and remainder (in I when
// twice the area fits it).
template <class I> struct Stepper {
    I q = 0, r = 0, dq = 0, dr = 0, area = 1;
    Stepper(int64_t n, int64_t step, int64_t a) {
        const int64_t q0 = FloorDiv(n, a), dq0 = FloorDiv(step, a);
        area = I(a);
        q = I(q0);
        r = I(n - q0 * a);
        dq = I(dq0);
        dr = I(step - dq0 * a);
    }
    void Next() { // without a branch: the carry is as often taken as not
        r += dr;
        const I carry = I(r >= area);
        q += dq + carry;
        r -= area & -carry;
    }
};

// n texels of a triangle's row, from texel coordinates that start at nu / area and nv / area.
// Even and odd pixels step apart, two pixels at a time: two short carry chains instead of one long one.
template <class I, bool Clamp>
void SampleRow(uint32_t* out, int n, const BlitSource& src, Stepper<I> u0, Stepper<I> v0, Stepper<I> u1,
               Stepper<I> v1) {
    const I maxU = I(src.width - 1), maxV = I(src.height - 1);
    const uint32_t* const px = src.pixels;
    const size_t pitch = size_t(src.pitch);
    const auto texel = [&](const Stepper<I>& u, const Stepper<I>& v) {
        const I tx = Clamp ? std::clamp<I>(u.q, 0, maxU) : u.q, ty = Clamp ? std::clamp<I>(v.q, 0, maxV) : v.q;
        return px[size_t(ty) * pitch + size_t(tx)];
    };
    int i = 0;
    for (; i + 2 <= n; i += 2) {
        out[i] = texel(u0, v0);
        out[i + 1] = texel(u1, v1);
        u0.Next();
        v0.Next();
        u1.Next();
        v1.Next();
    }
    if (i < n) out[i] = texel(u0, v0);
}

#if defined(BQ_BLIT_AVX2)
// Eight texels a step: lane k walks pixels k, k + 8, ... with its own quotient and remainder (the same floors as
// the steppers above), the texel coordinates clamped to the frame (on a safe span they lie on it anyway) and read
// with one gather. Lanes past the span's end read nothing.
struct Lanes {
    __m256i q, r, dq, dr;
};

// Where lane k starts (pixel k) and what eight pixels add: worked out by the scalar stepper.
struct LaneStart {
    alignas(32) int32_t q[8], r[8], dq[8], dr[8];
};

// What one step and eight steps of the stepper add on an axis (the same floors as the stepper's). The rows of a
// triangle share their steps: each axis keeps its last ones, so a row costs one division per axis, not two and a
// loop.
struct LaneStep {
    int64_t step = 0, area = 0; // what they were worked out for (area 0: nothing yet)
    int32_t dq = 0, dr = 0, dq8 = 0, dr8 = 0;
};

const LaneStep& LaneStepOf(LaneStep& kept, int64_t step, int64_t area) {
    if (kept.area == area && kept.step == step) return kept;
    const int64_t dq = FloorDiv(step, area);
    kept = LaneStep{step, area, int32_t(dq), int32_t(step - dq * area), 0, 0};
    // Eight steps: eight times one step's quotient, plus the carries of eight times its remainder (at most seven).
    int64_t dq8 = int64_t(kept.dq) * 8, dr8 = int64_t(kept.dr) * 8;
    while (dr8 >= area) {
        dr8 -= area;
        ++dq8;
    }
    kept.dq8 = int32_t(dq8);
    kept.dr8 = int32_t(dr8);
    return kept;
}

// Lane k starts at pixel k: the stepper's quotient and remainder after k steps.
LaneStart LaneStartOf(int64_t n0, const LaneStep& s) {
    const int64_t q0 = FloorDiv(n0, s.area);
    const int32_t area = int32_t(s.area);
    int32_t q = int32_t(q0), r = int32_t(n0 - q0 * s.area);
    LaneStart l{};
    for (int k = 0; k < 8; ++k) {
        l.q[k] = q;
        l.r[k] = r;
        l.dq[k] = s.dq8;
        l.dr[k] = s.dr8;
        r += s.dr;
        const int32_t carry = int32_t(r >= area);
        q += s.dq + carry;
        r -= area & -carry;
    }
    return l;
}

BQ_AVX2 inline __m256i Load8(const int32_t* v) { return _mm256_load_si256(reinterpret_cast<const __m256i*>(v)); }

BQ_AVX2 inline Lanes LanesOf(const LaneStart& l) { return Lanes{Load8(l.q), Load8(l.r), Load8(l.dq), Load8(l.dr)}; }

BQ_AVX2 inline void NextLanes(Lanes& l, __m256i areaLess1, __m256i area) {
    l.r = _mm256_add_epi32(l.r, l.dr);
    const __m256i carry = _mm256_cmpgt_epi32(l.r, areaLess1); // -1 where r >= area
    l.q = _mm256_sub_epi32(_mm256_add_epi32(l.q, l.dq), carry);
    l.r = _mm256_sub_epi32(l.r, _mm256_and_si256(area, carry));
}

BQ_AVX2 void SampleAvx2(uint32_t* out, int n, const BlitSource& src, int64_t nu, int64_t nv, int64_t stepU,
                        int64_t stepV, int64_t area) {
    static LaneStep keptU, keptV;
    Lanes u = LanesOf(LaneStartOf(nu, LaneStepOf(keptU, stepU, area))),
          v = LanesOf(LaneStartOf(nv, LaneStepOf(keptV, stepV, area)));
    const __m256i a = _mm256_set1_epi32(int32_t(area)), aLess1 = _mm256_set1_epi32(int32_t(area - 1));
    const __m256i zero = _mm256_setzero_si256(), maxU = _mm256_set1_epi32(src.width - 1),
                  maxV = _mm256_set1_epi32(src.height - 1), pitch = _mm256_set1_epi32(src.pitch);
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const int* const base = reinterpret_cast<const int*>(src.pixels);
    for (int i = 0; i < n; i += 8) {
        const __m256i tx = _mm256_min_epi32(_mm256_max_epi32(u.q, zero), maxU);
        const __m256i ty = _mm256_min_epi32(_mm256_max_epi32(v.q, zero), maxV);
        const __m256i at = _mm256_add_epi32(_mm256_mullo_epi32(ty, pitch), tx);
        __m256i* const to = reinterpret_cast<__m256i*>(out + i);
        if (i + 8 <= n) {
            _mm256_storeu_si256(to, _mm256_i32gather_epi32(base, at, 4));
        } else {
            const __m256i live = _mm256_cmpgt_epi32(_mm256_set1_epi32(n - i), lane);
            const __m256i texels = _mm256_mask_i32gather_epi32(zero, base, at, live, 4);
            _mm256_maskstore_epi32(reinterpret_cast<int*>(to), live, texels);
        }
        NextLanes(u, aLess1, a);
        NextLanes(v, aLess1, a);
    }
}
#endif

template <class I>
void Sample(uint32_t* out, int n, const BlitSource& src, int64_t nu, int64_t nv, int64_t stepU, int64_t stepV,
            int64_t area) {
#if defined(BQ_BLIT_AVX2)
    if (std::is_same_v<I, int32_t> && g_loops.path == kBlitPathAvx2) {
        SampleAvx2(out, n, src, nu, nv, stepU, stepV, area);
        return;
    }
#endif
    // The texel coordinates are floors of affine functions: between the span's ends, so when both ends lie on the
    // frame every texel does (the rasteriser's arithmetic promises it; the check keeps a bad corner from reading
    // off the frame).
    const int64_t last = n - 1;
    const auto inside = [](int64_t n0, int64_t a, int64_t size) {
        const int64_t q = FloorDiv(n0, a);
        return q >= 0 && q < size;
    };
    const bool safe = inside(nu, area, src.width) && inside(nu + last * stepU, area, src.width) &&
                      inside(nv, area, src.height) && inside(nv + last * stepV, area, src.height);
    const Stepper<I> u0(nu, 2 * stepU, area), v0(nv, 2 * stepV, area), u1(nu + stepU, 2 * stepU, area),
        v1(nv + stepV, 2 * stepV, area);
    if (safe)
        SampleRow<I, false>(out, n, src, u0, v0, u1, v1);
    else
        SampleRow<I, true>(out, n, src, u0, v0, u1, v1);
}

int64_t Triangle(const BlitPixels& dst, const Box& clip, const BlitSource& src, const Pt (&d)[3], Pt (&s)[3],
                 const Tint& t, int blend) {
    int64_t area = Cross(d[0], d[1], d[2].x, d[2].y);
    if (area == 0) return 0;
    const int64_t minX = std::min({d[0].x, d[1].x, d[2].x}), maxX = std::max({d[0].x, d[1].x, d[2].x});
    const int64_t minY = std::min({d[0].y, d[1].y, d[2].y}), maxY = std::max({d[0].y, d[1].y, d[2].y});
    const Box bound{int(minX >> 1), int(minY >> 1), int((minX >> 1) + ((maxX - minX) >> 1)),
                    int((minY >> 1) + ((maxY - minY) >> 1))};
    const Box box = Intersect(Intersect(clip, Window(dst)), bound);
    if (box.Empty()) return 0;
    const int64_t sMaxX = std::max({s[0].x, s[1].x, s[2].x}), sMaxY = std::max({s[0].y, s[1].y, s[2].y});
    const bool wide = sMaxX > std::min({s[0].x, s[1].x, s[2].x}), tall = sMaxY > std::min({s[0].y, s[1].y, s[2].y});
    for (Pt& p : s) {
        if (wide && p.x == sMaxX) --p.x;
        if (tall && p.y == sMaxY) --p.y;
    }
    const bool clockwise = area > 0;
    const int64_t sign = clockwise ? 1 : -1;
    area = std::abs(area);
    // Edge k is the one opposite corner k; its function is k's barycentric weight (times the area).
    const Pt* const edge[3][2] = {{&d[1], &d[2]}, {&d[2], &d[0]}, {&d[0], &d[1]}};
    int64_t stepX[3], bias[3];
    for (int k = 0; k < 3; ++k) {
        stepX[k] = sign * (edge[k][0]->y - edge[k][1]->y) * 2;
        bias[k] = TopLeft(*edge[k][0], *edge[k][1], clockwise) ? 0 : -1;
    }
    const int64_t u0 = s[0].x - s[2].x, u1 = s[1].x - s[2].x, v0 = s[0].y - s[2].y, v1 = s[1].y - s[2].y;
    const int64_t stepU = stepX[0] * u0 + stepX[1] * u1, stepV = stepX[0] * v0 + stepX[1] * v1;
    uint32_t* out = RowBuffer(box.r - box.l);
    int64_t touched = 0;
    for (int y = box.t; y < box.b; ++y) {
        int64_t w[3];
        int64_t lo = 0, hi = box.r - box.l;
        for (int k = 0; k < 3; ++k) {
            w[k] = sign * Cross(*edge[k][0], *edge[k][1], int64_t(box.l) * 2 + 1, int64_t(y) * 2 + 1);
            const int64_t need = -bias[k] - w[k]; // stepX * i >= need
            if (stepX[k] > 0)
                lo = std::max(lo, -FloorDiv(-need, stepX[k]));
            else if (stepX[k] < 0)
                hi = std::min(hi, FloorDiv(-need, -stepX[k]) + 1);
            else if (need > 0)
                hi = 0;
        }
        if (lo >= hi) continue;
        const int64_t w0 = w[0] + stepX[0] * lo, w1 = w[1] + stepX[1] * lo;
        const int n = int(hi - lo);
        const int64_t nu = w0 * u0 + w1 * u1 + s[2].x * area, nv = w0 * v0 + w1 * v1 + s[2].y * area;
        if (area < (int64_t(1) << 29))
            Sample<int32_t>(out, n, src, nu, nv, stepU, stepV, area);
        else
            Sample<int64_t>(out, n, src, nu, nv, stepU, stepV, area);
        BlendRow(At(dst, box.l + int(lo), y), out, n, t, blend);
        touched += n;
    }
    return touched;
}

// SDL's reading of a quad drawn as triangles 0 1 2 and 0 2 3: an axis-aligned one (exact float equality of its
// corners) is copied as a rectangle from its top-left corner A to its bottom-right corner B.
struct QuadRect {
    bool rect = false;
    int a = 0, b = 0; // corners
};

QuadRect RectOf(const BlitQuad& q) {
    const auto corner = [&](int k0, int k1, int k2, bool topLeft) {
        const auto le = [&](int i, int j) {
            return topLeft ? (q.x[i] <= q.x[j] && q.y[i] <= q.y[j]) : (q.x[i] >= q.x[j] && q.y[i] >= q.y[j]);
        };
        if (le(k0, k1)) return le(k0, k2) ? k0 : k2;
        return le(k1, k2) ? k1 : k2;
    };
    QuadRect r;
    r.a = corner(0, 2, 3, true);
    r.b = corner(0, 2, 3, false);
    const auto other = [&](int k0, int k1, int k2) {
        if (k0 != r.a && k0 != r.b) return k0;
        return (k1 != r.a && k1 != r.b) ? k1 : k2;
    };
    const auto rightAngle = [&](int c) {
        return (q.x[r.a] == q.x[c] && q.y[r.b] == q.y[c]) || (q.y[r.a] == q.y[c] && q.x[r.b] == q.x[c]);
    };
    r.rect = rightAngle(other(0, 2, 3)) && rightAngle(other(0, 1, 2));
    return r;
}

} // namespace

// ---- [SECTION] Entry points -----------------------------------------------------------------------------------

namespace {
constexpr float kFar = 1 << 20; // corners further out than this are not drawn (whole-pixel arithmetic stays exact)
} // namespace

int64_t Blit_Sprite(const BlitPixels& dst, const Rect& clip, const BlitSource& src, int x, int y, uint8_t r, uint8_t g,
                    uint8_t b, uint8_t a, int blend) {
    if (!dst.pixels || !src.pixels || a == 0) return 0;
    return Copy(dst, SdlClip(dst, clip), src, x, y, Tint{r, g, b, a}, blend);
}

int64_t Blit_Copy(const BlitPixels& dst, BlitCanvasFormat format, const Rect& clip, const BlitSource& src, int x, int y,
                  const BlitTint& tint) {
    const bool tinted = (tint.r & tint.g & tint.b & tint.a) != 255;
    CopyKind kind = kCopyPlain;
    switch (tint.blend) {
    case BLEND_SOLID:
        kind = tinted ? kCopyModulate : kCopyPlain;
        break;
    case BLEND_ALPHA:
        kind = tinted ? kCopyBlend : kCopyPixel;
        break;
    case BLEND_ADDITIVE:
        kind = kCopyAdd;
        break;
    default:
        return -1;
    }
    if (!dst.pixels || !src.pixels) return 0;
    const Box box = Intersect(Intersect(SdlClip(dst, clip), Window(dst)), Box{x, y, x + src.width, y + src.height});
    if (box.Empty()) return 0;
    const bool xrgb = format == kBlitCanvasXrgb;
    const Tint t = TintOf(tint);
    const int n = box.r - box.l;
    for (int at = box.t; at < box.b; ++at) {
        uint32_t* const d = At(dst, box.l, at);
        const uint32_t* const s = src.pixels + size_t(at - y) * size_t(src.pitch) + size_t(box.l - x);
        if (kind < kCopyRowKinds) {
            g_loops.copies.row[kind][xrgb ? 1 : 0](d, s, n, t);
            continue;
        }
        // Tinted blending and adding are the sprites' own arithmetic; on an XRGB canvas SDL then writes every pixel
        // it covers with its top byte cleared.
        BlendRow(d, s, n, t, tint.blend);
        if (xrgb)
            for (int i = 0; i < n; ++i)
                d[i] &= kXrgb;
    }
    return int64_t(n) * (box.b - box.t);
}

BlitPath Blit_UsePath(BlitPath wanted) {
    g_loops = LoopsFor(wanted);
    return g_loops.path;
}

BlitShape Blit_ShapeOf(const BlitQuad& q, int frameWidth, int frameHeight) {
    const QuadRect r = RectOf(q);
    if (!r.rect) return kBlitShapeTriangles;
    // The frame's corners 0..3 are (0, 0), (w, 0), (w, h), (0, h): the copy is upright only from corner 0 to 2.
    if (r.a != 0 || r.b != 2) return kBlitShapeOther;
    const int w = int(q.x[2] - q.x[0]), h = int(q.y[2] - q.y[0]);
    return (w == frameWidth && h == frameHeight) ? kBlitShapeCopy : kBlitShapeStretch;
}

int64_t Blit_Quad(const BlitPixels& dst, const Rect& clip, const BlitSource& src, const BlitQuad& q,
                  const BlitTint& tint) {
    if (!dst.pixels || !src.pixels || src.width <= 0 || src.height <= 0 || tint.a == 0) return 0;
    for (int k = 0; k < 4; ++k) // far off the canvas (or not a number): nothing of it is seen
        if (!(std::fabs(q.x[k]) < kFar && std::fabs(q.y[k]) < kFar)) return 0;
    const Box box = SdlClip(dst, clip);
    const Tint t = TintOf(tint);
    switch (Blit_ShapeOf(q, src.width, src.height)) {
    case kBlitShapeCopy:
        return Copy(dst, box, src, int(q.x[0]), int(q.y[0]), t, tint.blend);
    case kBlitShapeStretch:
        return StretchRect(dst, box, src, int(q.x[0]), int(q.y[0]), int(q.x[2] - q.x[0]), int(q.y[2] - q.y[0]), t,
                           tint.blend);
    case kBlitShapeTriangles: {
        Pt d[4], s[4];
        const int64_t fu[4] = {0, src.width, src.width, 0}, fv[4] = {0, 0, src.height, src.height};
        for (int k = 0; k < 4; ++k) {
            d[k] = Pt{int64_t(int(q.x[k])) * 2, int64_t(int(q.y[k])) * 2};
            s[k] = Pt{fu[k], fv[k]};
        }
        const Pt d1[3] = {d[0], d[1], d[2]}, d2[3] = {d[0], d[2], d[3]};
        Pt s1[3] = {s[0], s[1], s[2]}, s2[3] = {s[0], s[2], s[3]};
        return Triangle(dst, box, src, d1, s1, t, tint.blend) + Triangle(dst, box, src, d2, s2, t, tint.blend);
    }
    case kBlitShapeOther:
        break;
    }
    return 0;
}
