// The sprite blitter behind sprite_blit.h. Per channel, as SDL's software blitter computes it: the source is tinted
// (c * mod / 255, alpha * amod / 255) and premultiplied (c * alpha / 255); alpha blending then gives
// src + dst * (255 - alpha) / 255 (alpha too), additive blending min(src + dst, 255) with the canvas alpha kept.
#include "platform/sprite_blit.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

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
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i sp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
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

} // namespace

int64_t Blit_Sprite(const BlitPixels& dst, const Rect& clip, const BlitSource& src, int x, int y, uint8_t r, uint8_t g,
                    uint8_t b, uint8_t a, int blend) {
    if (!dst.pixels || !src.pixels || a == 0) return 0;
    const int left = std::max({x, clip.x, 0}), top = std::max({y, clip.y, 0});
    const int right = std::min({x + src.width, clip.x + clip.w, dst.width});
    const int bottom = std::min({y + src.height, clip.y + clip.h, dst.height});
    if (left >= right || top >= bottom) return 0;
    const Tint t{r, g, b, a};
    const int n = right - left;
    for (int row = top; row < bottom; ++row) {
        uint32_t* d = dst.pixels + size_t(row) * size_t(dst.pitch) + size_t(left);
        const uint32_t* s = src.pixels + size_t(row - y) * size_t(src.pitch) + size_t(left - x);
        if (blend == BLEND_ADDITIVE)
            RowWide<true>(d, s, n, t);
        else
            RowWide<false>(d, s, n, t);
    }
    return int64_t(n) * int64_t(bottom - top);
}
