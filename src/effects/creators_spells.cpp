// Effect creators for the spells, the level end, the gem bag and the main menu, and the spell previews' immediate
// drawing (the four-layer glowing ring and the marching border). Called by the spells, the level-end screen, the
// gem bag and the main menu.
#include "board/board.h"
#include "board/pieces.h"
#include "effects/fx_draw.h"
#include "effects/fx_internal.h"
#include "main/runtime.h"
#include "main/screens.h"
#include "platform/sprite_batch.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {
void SetPos(Gfx_Obj& o) {
    o.posX = float(o.x);
    o.posY = float(o.y);
}
void Project(Gfx_Obj& o) {
    o.x = ToInt(o.posX / o.z * 500.0f + float(Screen_CenterX));
    o.y = ToInt(o.posY / o.z * 500.0f + float(Screen_CenterY));
}

// The level end's ring picture of a tile: the tile at a third of its size, dimmed to a glow that falls off steeply
// towards its rim, and clear (alpha 0) where nothing is left of it. Thousands of rings tinted pink and added over
// the sky behind the level-won dialog then sparkle instead of flooding it, and each blends a ninth of the pixels.
// Made once per tile picture (at the first level end that shows it).
constexpr float kRingBrightness = 0.3f;
ImagePtr RingPicture(const ImagePtr& tile) {
    static std::vector<std::pair<ImagePtr, ImagePtr>> made; // tile picture, its ring picture
    for (const auto& [from, ring] : made)
        if (from == tile) return ring;
    const int w = Image_Width(tile), h = Image_Height(tile), n = Image_Frames(tile);
    const int rw = std::max(1, w / 3), rh = std::max(1, h / 3);
    Pixmap strip = Pixmap_Create(rw * n, rh, PF_BGRA8888);
    for (int f = 0; f < n; ++f) {
        const Pixmap* pm = Image_Lock(tile, f, LOCK_READ);
        if (!pm) return tile;
        const Pixmap small = Pixmap_Resize(*pm, rw, rh);
        Image_Unlock(tile, f);
        for (int y = 0; y < rh; ++y)
            for (int x = 0; x < rw; ++x) {
                const float dx = (float(x) + 0.5f) / float(rw) * 2.0f - 1.0f;
                const float dy = (float(y) + 0.5f) / float(rh) * 2.0f - 1.0f;
                const float fall = std::max(0.0f, 1.0f - (dx * dx + dy * dy));
                const float k = kRingBrightness * fall * fall;
                const uint32_t c = Pixmap_ReadPixel(small, x, y);
                const auto dim = [k](uint32_t v) { return uint32_t(std::lround(float(v & 255) * k)); };
                const uint32_t rgb = dim(c >> 16) << 16 | dim(c >> 8) << 8 | dim(c);
                Pixmap_WritePixel(strip, f * rw + x, y, (rgb != 0 ? c & 0xFF000000u : 0u) | rgb);
            }
    }
    const ImagePtr ring = Image_FromPixmapAnim(strip, rw, rh, 0, n, Image_Flags(tile));
    if (!ring) return tile;
    Image_SetHandle(ring, Image_HandleX(tile) * float(rw) / float(w), Image_HandleY(tile) * float(rh) / float(h));
    made.emplace_back(tile, ring);
    return ring;
}
} // namespace

void Gfx_LevelEndTiles() {
    const float cx =
        float(ToInt(float(Board_OriginX) + float(Board_Cols) * 0.5f * float(Cell_Width) - float(Board_OverflowX)));
    const float cy =
        float(ToInt(float(Board_OriginY) + float(Board_Rows) * 0.5f * float(Cell_Height) - float(Board_OverflowY)));
    const Rect vp = Fx_Sink().Viewport();
    Batch_AtlasAdd(Tile_Empty);
    for (int32_t r = 0; r < Board_Rows; ++r)
        for (int32_t c = 0; c < Board_Cols; ++c) {
            if (!Cell_Playable(c, r)) continue;
            const int32_t x = Board_OriginX + c * Cell_Width - Board_OverflowX;
            const int32_t y = Board_OriginY + r * Cell_Height - Board_OverflowY;
            // Strictly inside the view port, compared with its width and height as the level end always had it.
            if (!(x > vp.x && x < vp.w && y > vp.y && y < vp.h)) continue;
            const float dx = float(x) - cx, dy = float(y) - cy;
            Gfx_Obj& o = Gfx_New(FX_CELL_FLYER, x, y, 0, -10);
            SetPos(o);
            o.image = Tile_Empty;
            o.alpha = 1.0f;
            o.heading = float(Deg_ATan2(dy, dx));
            o.speed = (std::fabs(dy) + std::fabs(dx)) * 0.05f;
            o.countdown = ToInt(1500.0f + std::fabs(dx) - std::fabs(dy));
            o.counter = 2000;
            o.gravity = 500.0f;
            o.scaleX = Cell_ScaleX;
            o.scaleY = Cell_ScaleY;
        }
}

void Gfx_Kind11Ring() {
    const float ox = float(ToInt(Rf(-100, 100))), oy = float(ToInt(Rf(-100, 100)));
    const int32_t n = Fx_Room(ToInt(float(Fx_Fps()) * 0.5f) + 1);
    for (int32_t i = 0; i < n; ++i) {
        const float p = Rf(0, 360), q = Rf(0, 360);
        const int32_t delay = ToInt(Rf(0, 10));
        const float alpha = Rf(0, 0.25f) + 0.75f;
        Gfx_Obj& o = Gfx_New(FX_STAR_STREAK, 0, 0, delay, -10);
        o.velX = float(Deg_Cos(p) * Deg_Cos(q)) * 0.05f;
        o.velY = float(Deg_Cos(p) * Deg_Sin(q)) * 0.05f;
        o.vz = float(Deg_Sin(p)) * 0.1f;
        o.image = Fx_Img.spark4;
        o.posX = ox;
        o.posY = oy;
        o.z = 200;
        Project(o);
        o.alpha = alpha;
        o.counter = 1;
    }
}

void Gfx_Kind12Ring() {
    // Capped at 40 in every mode: the slow modes make fewer objects, never more (a fast machine in a slow mode
    // would otherwise make more rings than the fastest mode allows).
    const float fps = float(Fx_Fps());
    const float share = LowFps_Mode == 1 ? 0.35f : LowFps_Mode == 2 ? 0.15f : 0.5f;
    const int32_t n = Fx_Room(ToInt(std::min(fps * share, 40.0f)) + 1) - 1;
    const bool setOk = LevelEnd_Tileset >= 0 && size_t(LevelEnd_Tileset) < Tilesets.size();
    for (int32_t i = 0; i <= n; ++i) {
        const int32_t delay = ToInt(Rf(0, 1000));
        const float px = float(ToInt(Rf(-100, 100))), py = float(ToInt(Rf(-100, 100)));
        const float z = float(ToInt(Rf(0, 100) + 100));
        const int32_t entry = ToInt(Rf(0, 3));
        const float p = Rf(0, 359), q = Rf(0, 359);
        // A tile set or tile number the level end did not give makes no object.
        if (!setOk) continue;
        const Tileset& set = Tilesets[size_t(LevelEnd_Tileset)];
        const int32_t tile = LevelEnd_Tiles[entry];
        if (tile < 0 || size_t(tile) >= set.Tiles.size() || !set.Tiles[size_t(tile)].Image) continue;
        const ImagePtr ring = RingPicture(set.Tiles[size_t(tile)].Image);
        Batch_AtlasAdd(ring);
        Gfx_Obj& o = Gfx_New(FX_TILE_RING, 0, 0, delay, -10);
        o.posX = px;
        o.posY = py;
        o.z = z;
        o.image = ring;
        o.frameCount = Image_Frames(ring);
        o.velX = float(Deg_Cos(p) * Deg_Cos(q)) * 0.01f;
        o.velY = float(Deg_Cos(p) * Deg_Sin(q)) * 0.01f;
        o.vz = float(Deg_Sin(p)) * 0.05f;
        o.counter = 1;
        o.turnAccel = Rf(0, 100) <= 50 ? -0.01f : 0.01f;
        Project(o);
        o.frameDelay = Ri(10, 20);
        o.colR = float(Ri(1, 50) + 205);
        o.colG = float(Ri(1, 50));
        o.colB = float(Ri(1, 150) + 105);
    }
}

void Gfx_Kind15Burst() {
    const int32_t n = Fx_Room(ToInt(std::min(float(Fx_Fps()) * 0.07f, 2.0f)) + 1);
    for (int32_t i = 0; i < n; ++i) {
        const float r = Rf(0, 155) + 50, g = Rf(0, 155) + 50, b = Rf(0, 255);
        const int32_t x = ToInt(Rf(200, float(Screen_Width - 200))), y = ToInt(Rf(200, float(Screen_Height - 200)));
        const float a = float(Deg_ATan2(float(y - Screen_CenterY), float(x - Screen_CenterX)));
        const int32_t delay = ToInt(Rf(0, 1500));
        Gfx_Obj& o = Gfx_New(FX_COLOUR_RING, x, y, delay, -10);
        SetPos(o);
        o.counter = 1;
        o.TitleRed() = r;
        o.TitleGreen() = g;
        o.TitleBlue() = b;
        o.velX = float(Deg_Cos(a));
        o.velY = float(Deg_Sin(a));
        o.scaleX = 0.1f;
        o.image = Fx_Img.youWinTitle;
    }
}

void Gfx_SpellBurst(int32_t x, int32_t y, const std::shared_ptr<Piece>& piece) {
    for (int32_t a = 0; a < 360; a += Ri(1, 20) + 30) {
        const int32_t delay = Ri(1, 50);
        Gfx_Obj& o = Gfx_New(FX_GLOW_SPARK, x, y, delay, 10);
        SetPos(o);
        o.piece = piece;
        o.driftX = CosT(a) * 4;
        o.driftY = SinT(a) * 4;
        o.SparkRed() = float(Ri(1, 255));
        o.SparkGreen() = float(Ri(1, 255));
        o.SparkBlue() = float(Ri(1, 255));
        o.scaleX = o.scaleY = 0.8f;
        o.alpha = 1.0f;
        o.rotation = float(a + 90);
        o.counter = 1;
        o.life = 1.0f;
        o.image = Fx_Img.spark15;
    }
}

void Gfx_Circle360(int32_t x, int32_t y) {
    for (int32_t a = 0; a < 360;) {
        Gfx_Obj& o = Gfx_New(FX_RING_EMITTER, x, y, 0, 10);
        SetPos(o);
        if (Ri(1, 100) < 61) {
            o.image = Fx_Img.spark6;
            o.delay = Ri(1, 50);
            a += Ri(1, 45) + 45;
            const float s = Rf(0, 2) + 5;
            o.scaleX = Rf(1, 2) + 1;
            o.velX = CosT(a % 360) * s;
            o.velY = SinT(a % 360) * s;
            o.alpha = Rf(0, 0.3f) + 0.7f;
        } else {
            o.kind = FX_FLAME;
            o.image = Fx_Img.spark17;
            o.delay = 0;
            o.turnRate = float(Ri(1, 150) + 200);
            o.turnAccel = float(Ri(1, 150) + 200);
            a += Ri(1, 90) + 120;
            o.scaleX = Rf(0.25f, 0.5f);
            o.SparkRed() = float(Ri(1, 50) + 100);
            o.SparkGreen() = float(Ri(1, 25) + 30);
            o.SparkBlue() = float(Ri(1, 255));
            const float s = Rf(0, 0.5f) + 2;
            o.driftX = CosT(a % 360) * s;
            o.driftY = SinT(a % 360) * s;
            o.alpha = 1.0f;
        }
        o.scaleY = o.scaleX;
        o.rotation = float(a + 90);
        o.counter = 1;
        o.life = 0.5f;
    }
}

void Gfx_Kind34At(float x, float y) {
    const float dt = Fx_CreateDt();
    Batch_AtlasAdd(Piece_TarStrip);
    Gfx_Obj& o = Gfx_New(FX_SHARD_EMITTER, ToInt(x), ToInt(y), 0, 10);
    SetPos(o);
    o.turnRate = float(Ri(1, 150) + 200);
    o.turnAccel = float(Ri(1, 150) + 200);
    o.rotation = float(Ri(1, 360));
    o.velX = Rf(-70, 70) * dt;
    o.velY = (Rf(-40, 0) - 40) * dt;
    o.gravity = 1.5f;
    o.scaleX = o.scaleY = 0.5f;
    o.counter = 5;
    o.image = Piece_TarStrip;
    o.alpha = 0.5f;
    o.frame = Rf(0, 31);
}

void Gfx_Kind25Circle(int32_t x, int32_t y) {
    static constexpr float kRot[3] = {0, 120, 240}, kScale[3] = {1.0f, 1.3f, 1.6f}, kTurn[3] = {2, 7, 12};
    for (int32_t i = 0; i < 3; ++i) {
        Gfx_Obj& o = Gfx_New(FX_BOTTLE_GLITTER, x, y, 0, -10);
        SetPos(o);
        o.rotation = kRot[i];
        o.image = Fx_Img.shine1;
        o.alpha = Rf(0, 0.1f) + 0.1f;
        o.colR = o.colG = o.colB = 255;
        o.scaleX = o.scaleY = kScale[i];
        o.turnRate = kTurn[i];
        o.counter = 1000000;
    }
}

void Gfx_RingUpdate(float base) {
    const float dt = Fx_Dt();
    for (size_t i = 0; i < 4; ++i) {
        Ring_Angle[i] += Ring_Speed[i] * dt;
        if (Ring_Angle[i] >= 360) Ring_Angle[i] = std::fmod(Ring_Angle[i], 360.0f);
        const float s = float(Deg_Sin(Ring_Angle[i]));
        Ring_Scale[i] = s * Ring_WaveX[i] + base;
        Ring_Alpha[i] = s * Ring_WaveY[i] + Ring_WaveY[i] * 0.5f + 0.5f;
    }
}

void Gfx_Ring(int32_t cx, int32_t cy, int32_t cw, int32_t ch, int32_t x, int32_t y, float alpha) {
    FxSink& sink = Fx_Sink();
    const Rect before = sink.Viewport();
    sink.SetViewport(Rect{cx, cy, cw, ch});
    for (size_t i = 0; i < 4; ++i) {
        Fx_SetRotation(Ring_Angle[i]);
        Fx_SetScale(Ring_Scale[i], Ring_Scale[i]);
        Fx_SetAlpha(Ring_Alpha[i] * alpha);
        Fx_SetBlend(BLEND_ADDITIVE);
        Fx_Draw(Ring_Images[i], float(x), float(y), 0);
    }
    sink.SetViewport(before);
    Fx_SetRotation(0);
    Fx_SetColor(255, 255, 255);
}

void Gfx_DrawStrip(int32_t x, int32_t y, int32_t w, int32_t h, const ImagePtr& img, int32_t frame, int32_t count,
                   int32_t step, float alpha, float rotation) {
    if (count < 1 || step < 1) { // (frame + 1) mod 0, or a walk that never ends
        static bool reported = false;
        if (!reported) Log_Print(u"effects: a border strip needs a frame count and a step of at least 1");
        reported = true;
        return;
    }
    Fx_SetAlpha(alpha);
    Fx_SetBlend(BLEND_ADDITIVE);
    Fx_SetRotation(rotation);
    frame = ((frame % count) + count) % count;
    const auto stop = [&](int32_t px, int32_t py) {
        Fx_Draw(img, float(px), float(py), frame);
        frame = (frame + 1) % count;
    };
    for (int32_t px = x; px < x + w; px += step)
        stop(px, y);
    for (int32_t py = y; py < y + h; py += step)
        stop(x + w, py);
    for (int32_t px = x + w; px > x; px -= step)
        stop(px, y + h);
    for (int32_t py = y + h; py > y; py -= step)
        stop(x, py);
    Fx_SetRotation(0);
    Fx_Sink().Flush();
}
