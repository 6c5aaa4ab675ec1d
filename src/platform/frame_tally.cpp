// The frame's counters (frame_tally.h) and their one-line description.
#include "platform/frame_tally.h"

#include <algorithm>
#include <cstdio>

FrameTally Frame_Tally;

void FrameTally_Reset() { Frame_Tally = FrameTally{}; }

std::string FrameTally_Line(const FrameTally& t) {
    std::string s;
    char part[96];
    const auto add = [&](const char* name, int64_t n) {
        if (n == 0) return;
        std::snprintf(part, sizeof part, " %s=%lld", name, static_cast<long long>(n));
        s += part;
    };
    const auto addPx = [&](const char* name, int64_t n, int64_t px) {
        if (n == 0) return;
        std::snprintf(part, sizeof part, " %s=%lld/%.2fMpx", name, static_cast<long long>(n), double(px) / 1e6);
        s += part;
    };
    add("fx_made", t.effectsMade);
    add("fx_at_cap", t.effectsAtCap);
    add("fx_blocks", t.poolBlocks);
    addPx("sprites", t.sprites, t.spritePx);
    addPx("add_sprites", t.addSprites, t.addPx);
    addPx("copies", t.copies, t.copyPx);
    addPx("sdl_stretched", t.stretches, t.stretchPx);
    addPx("stretch_cached", t.cachedStretches, t.cachedPx);
    add("decodes", t.decodes);
    add("textures_made", t.texturesMade);
    addPx("uploads", t.uploads, t.uploadPx);
    add("texts", t.texts);
    add("glyphs", t.glyphs);
    // The three kinds drawn most.
    std::array<int, 64> order{};
    for (int i = 0; i < 64; ++i)
        order[size_t(i)] = i;
    std::partial_sort(order.begin(), order.begin() + 3, order.end(),
                      [&](int a, int b) { return t.kindsDrawn[size_t(a)] > t.kindsDrawn[size_t(b)]; });
    for (int i = 0; i < 3 && t.kindsDrawn[size_t(order[size_t(i)])] > 0; ++i) {
        std::snprintf(part, sizeof part, " kind%d=%d", order[size_t(i)], t.kindsDrawn[size_t(order[size_t(i)])]);
        s += part;
    }
    return s.empty() ? s : s.substr(1);
}
