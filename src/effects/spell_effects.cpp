// The spells' effects that dissolve a picture into sparks (the fireball's flames, the chain lightning's bolts, the
// hourglass of the time stop) and the frost on the time bar while time stands still. Called by the castle's spells.
#include <cmath>

#include "board/board.h"
#include "effects/fx_internal.h"
#include "main/assets.h"
#include "platform/mathdeg.h"
#include "platform/random.h"

namespace {

// The pixel-scan sources, loaded on first use (RGB pictures: the value of a pixel is its red byte).
const ImagePtr& Source(const char16_t* path, ImagePtr& slot) {
    if (!slot) slot = Images_Get(path);
    return slot;
}
ImagePtr g_fireball, g_flash1, g_flash2, g_hourglass;

constexpr float kTimeBarX = 34, kTimeBarW = 22; // the board's time bar, left of the board

} // namespace

// One picture per direction the fireball flies: the comet's columns are swept from the cast cell's centre out
// along `rotation` degrees, every sampled pixel firing.
void MapEffect_Fireball(float x, float y, int32_t rotation, float scale) {
    const ImagePtr& img = Source(u"incbin::images/effects/Map_Fireball.png", g_fireball);
    if (!img) return;
    const float half = 32 * scale; // the picture is 64 pixels square; its middle row runs out from (x, y)
    const float left = x - half * float(Deg_Cos(rotation + 90));
    const float top = y - half * float(Deg_Sin(rotation + 90));
    MapEffect_Create(img, 110, 160, 255, Emitter_SpawnKind27, Emitter_SpawnKind27b, Emitter_Nothing, Emitter_Nothing, 1,
                     left, top, ((rotation % 360) + 360) % 360, 0, scale, 0, 1, 3, 1, 0, 0);
}

void MapEffect_Flash(int32_t which, float x, float y, int32_t rotation, float scale) {
    const ImagePtr& img = which == 2 ? Source(u"incbin::images/effects/Map_Flash2.png", g_flash2)
                                     : Source(u"incbin::images/effects/Map_Flash1.png", g_flash1);
    if (!img) return;
    const float half = 24 * scale; // the bolt runs down the middle of its 48 columns
    const int32_t rot = ((rotation % 360) + 360) % 360;
    MapEffect_Create(img, 160, 180, 255, Emitter_SpawnKind23, Emitter_SpawnKind8, Emitter_SpawnKind26,
                     Emitter_SpawnKind7, 1, x - half * float(Deg_Cos(rot)), y - half * float(Deg_Sin(rot)), rot, 0,
                     scale, 0, 1, 16, 1, 0, 0);
}

void Gfx_TimeStop() {
    const float cx = kTimeBarX + kTimeBarW / 2, cy = float(Board_AreaY + Board_AreaH / 2);
    if (const ImagePtr& img = Source(u"incbin::images/effects/map_hourglass2.png", g_hourglass))
        MapEffect_Create(img, 175, 200, 255, Emitter_SpawnA, Emitter_SpawnB, Emitter_Nothing, Emitter_Nothing, 1,
                         cx - 32, cy - 48, 0, 0, 1.0f, 0, 2, 8, 1, 0, 1.0f);
    // Frost up the bar: flake i fades once less than its share (in percent) of the stop is left.
    constexpr int32_t kFlakes = 24;
    for (int32_t i = 0; i < kFlakes; ++i) {
        const int32_t y = Board_AreaY + Board_AreaH * (kFlakes - i) / kFlakes;
        Gfx_Create(Fx_Img.spark2, FX_FREEZE_SPARK, int32_t(cx) + Rand_Int(-6, 6), y, 0, 0, Rand_Int(0, 300), 0.8f,
                   Rand_Float(0.6f, 1.0f), 10, 100 * i / kFlakes + 2);
    }
}
