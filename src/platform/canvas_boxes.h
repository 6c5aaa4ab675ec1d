// Boxes of the canvas drawn again over a cached layer each frame (what moves over a picture that stands still). A
// box taken in is merged with every box it overlaps, so no two share a pixel and each pixel is drawn once per pass.
#pragma once

#include <algorithm>
#include <array>

#include "platform/graphics.h"

inline bool Rect_Overlap(const Rect& a, const Rect& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}
inline Rect Rect_Union(const Rect& a, const Rect& b) {
    const int l = std::min(a.x, b.x), t = std::min(a.y, b.y);
    return Rect{l, t, std::max(a.x + a.w, b.x + b.w) - l, std::max(a.y + a.h, b.y + b.h) - t};
}
// The common part; empty (w or h 0) when there is none.
inline Rect Rect_Intersect(const Rect& a, const Rect& b) {
    const int l = std::max(a.x, b.x), t = std::max(a.y, b.y);
    return Rect{l, t, std::max(std::min(a.x + a.w, b.x + b.w) - l, 0), std::max(std::min(a.y + a.h, b.y + b.h) - t, 0)};
}

template <int N> struct CanvasBoxes {
    std::array<Rect, N> box{};
    int count = 0;

    // Takes in the part of r on the canvas, merged with every box it overlaps (and with one more when all are used).
    void Add(const Rect& area) {
        Rect r = Rect_Intersect(area, Rect{0, 0, Graphics_Width(), Graphics_Height()});
        if (r.w <= 0 || r.h <= 0) return;
        for (int i = 0; i < count;) {
            if (Rect_Overlap(box[size_t(i)], r) || count == N) {
                r = Rect_Union(r, box[size_t(i)]);
                box[size_t(i)] = box[size_t(--count)];
                i = 0;
            } else {
                ++i;
            }
        }
        box[size_t(count++)] = r;
    }
    // The box that holds r whole (each part of a box taken in lies in exactly one), or null.
    const Rect* Holding(const Rect& area) const {
        const Rect r = Rect_Intersect(area, Rect{0, 0, Graphics_Width(), Graphics_Height()});
        for (int i = 0; i < count; ++i) {
            const Rect& b = box[size_t(i)];
            if (r.w > 0 && r.h > 0 && r.x >= b.x && r.y >= b.y && r.x + r.w <= b.x + b.w && r.y + r.h <= b.y + b.h)
                return &b;
        }
        return nullptr;
    }
};
