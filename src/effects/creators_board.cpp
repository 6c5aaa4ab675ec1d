// Effect creators for the board and its pieces: counted bursts, coin and bottle collection, the collect ring, the
// cell-edge sparkle, the hint line, the hammer-charge comets, the spark makers of explosions, crates, chains and
// destroyed pieces, and the glows that follow a special piece. Called by the board rules, pieces, hammers and
// spells; none returns anything.
#include "board/board.h"
#include "board/rules.h"
#include "effects/fx_internal.h"

// Half a cell in pixels: the point a burst adds to a cell's top-left to reach its centre. (Half the cell scaled
// once more by the cell scale would only be the centre for 48-pixel cells.)
float Cell_CentreOffsetX() { return float(Cell_HalfWidth); }
float Cell_CentreOffsetY() { return float(Cell_HalfHeight); }

namespace {

int32_t Counted(float factor) { return Fx_Room(std::max(1, ToInt(float(Fx_Fps()) * factor))); }
void SetPos(Gfx_Obj& o) {
    o.posX = float(o.x);
    o.posY = float(o.y);
}

// A cell's centre plus a random offset of up to j pixels on each axis.
int32_t Around(float v, float offset, float j) { return ToInt(v + offset + Rf(-j, j)); }

// Spark makers: one object at (x, y) on layer 10 with a heading, speed and gravity.
Gfx_Obj& Maker(int32_t kind, const ImagePtr& img, int32_t x, int32_t y, float speed, float gravity) {
    Gfx_Obj& o = Gfx_New(kind, x, y, 0, 10);
    SetPos(o);
    o.image = img;
    o.speed = speed;
    o.gravity = gravity;
    return o;
}

// Kind 18 and 35 sparks: random heading, drift along it, slowing down.
void SparkMaker(int32_t kind, int32_t x, int32_t y, float speedMax, float gravMax) {
    const int32_t heading = Deg_Wrap(Ri(1, 360) - 1);
    const float speed = Rf(30, speedMax), gravity = -Rf(50, gravMax);
    Gfx_Obj& o = Maker(kind, Fx_Img.spark7, x, y, speed, gravity);
    o.heading = float(heading);
    o.driftX = CosT(heading);
    o.driftY = SinT(heading);
    o.alpha = float(Ri(8, 10)) * 0.1f;
    o.frameDelay = 30;
}

// Kind 16 and 36 tile chips: thrown along an angle, falling, spinning faster.
void ChipMaker(int32_t kind, const ImagePtr& img, int32_t x, int32_t y, bool randomFrame) {
    const int32_t angle = Deg_Wrap(Ri(1, 360) - 1);
    const float speed = Rf(50, 120), gravity = Rf(100, 200);
    Gfx_Obj& o = Maker(kind, img, x, y, speed, gravity);
    o.heading = float(angle);
    o.driftX = speed * CosT(angle);
    o.driftY = speed * SinT(angle);
    o.alpha = 1.0f;
    o.frame = randomFrame ? std::max(Rf(0, 16) - 1.0f, 0.0f) : 0.0f; // never frame -1
    o.frameDelay = 30;
}

void Ring60(int32_t x, int32_t y, float radius, bool bag) {
    for (int32_t a = 0; a < 360; a += 6) {
        Gfx_Obj& o = Gfx_New(FX_RING_SPARK, ToInt(float(x) + CosT(a) * radius), ToInt(float(y) + SinT(a) * radius),
                             Ri(1, 1000), 20);
        SetPos(o);
        o.image = Fx_Img.spark6;
        const float s = Rf(0, 0.1f) + 0.3f;
        o.velX = CosT(a) * s;
        o.velY = SinT(a) * s;
        o.scaleX = o.scaleY = Rf(0.5f, 0.75f);
        o.alpha = Rf(0, 0.5f) + 0.5f;
        o.gravity = 0;
        if (bag) {
            o.colR = float(Ri(1, 50) + 120);
            o.colG = float(Ri(1, 50) + 55);
            o.colB = 25;
        } else {
            o.colR = o.colG = o.colB = 255;
        }
        o.rotation = float(a + 90);
        o.counter = bag ? 4 : 3;
        o.life = 0.5f;
    }
}

} // namespace

void Gfx_BurstAtCell(float x, float y, float factor) {
    const int32_t n = Counted(factor);
    const float dt = Fx_CreateDt();
    for (int32_t i = 0; i < n; ++i) {
        const int32_t px = Around(x, Cell_CentreOffsetX(), 8), py = Around(y, Cell_CentreOffsetY(), 8);
        const float vx = Rf(-60, 60) * dt, vy = Rf(-60, 60) * dt;
        const float gravity = Rf(0, 100) * 0.002f + 0.6f;
        const int32_t delay = ToInt(Rf(0, 50));
        const int32_t layer = Rf(0, 10) >= 7 ? -10 : 10;
        Gfx_Obj& o = Gfx_New(FX_FALLING_GLOW, px, py, delay, layer);
        SetPos(o);
        o.image = Fx_Img.spark1;
        o.velX = vx;
        o.velY = vy;
        o.gravity = gravity;
        o.scaleX = o.scaleY = 2.0f;
        o.alpha = 1.0f;
    }
}

void Gfx_RemovedPieceBurst(float x, float y, float factor) {
    const int32_t n = Counted(factor);
    const float dt = Fx_CreateDt();
    for (int32_t i = 0; i < n; ++i) {
        const int32_t px = Around(x, Cell_CentreOffsetX(), 2), py = Around(y, Cell_CentreOffsetY(), 2);
        const float vx = Rf(-30, 30) * dt, vy = Rf(-30, 30) * dt;
        const int32_t delay = ToInt(Rf(0, 20));
        Gfx_Obj& o = Gfx_New(FX_SHARD, px, py, delay, 10);
        SetPos(o);
        o.image = Fx_Img.spark1;
        o.velX = vx;
        o.velY = vy;
        o.scaleX = o.scaleY = 1.5f;
        o.alpha = 0.5f;
    }
}

void Gfx_CoinCollected(float x, float y) {
    const float dt = Fx_CreateDt();
    Gfx_Obj& o = Gfx_New(FX_COIN_GLITTER, ToInt(x), ToInt(y), 0, 10);
    SetPos(o);
    o.image = Fx_Img.goldCoin;
    o.velX = Rf(-50, 50) * dt;
    o.velY = (Rf(-40, 0) - 40) * dt;
    o.gravity = 2.0f;
    o.scaleX = o.scaleY = 0.6f;
    o.counter = 6;
    o.alpha = 1.0f;
    o.frame = Rf(0, 15);
}

void Gfx_BottleCollected(float x, float y) {
    const float dt = Fx_CreateDt();
    const float vx = Rf(-20, 20) * dt, vy = Rf(-3, 3) * dt, gravity = Rf(-1, 1);
    const float turnRate = float(Ri(1, 50) + 50);
    const int32_t delay = Ri(1, 10);
    Gfx_Obj& o = Gfx_New(FX_BOTTLE_GLITTER, ToInt(x), ToInt(y), delay, 10);
    SetPos(o);
    o.image = Fx_Img.spark11;
    o.velX = vx;
    o.velY = vy;
    o.gravity = gravity;
    o.turnRate = turnRate;
    o.turnAccel = 150;
    o.scaleX = o.scaleY = 0.6f;
    o.counter = 0;
    o.alpha = Rf(0.75f, 1.0f);
}

void Gfx_CollectRing(int32_t x, int32_t y) { Ring60(x, y, 7, false); }
void Gfx_Star360(int32_t x, int32_t y) { Ring60(x, y, 34, true); }

void Gfx_RectEdgeSparks(float x, float y, float scale) {
    const float ms = Fx_CreateDt() * 1000.0f; // the creation frame time, clamped like every creator's
    float d = 1.0f;
    const auto spark = [&](float px, float py, float vx, float vy) {
        Gfx_Create(Fx_Img.spark2, FX_EDGE_SPARK, ToInt(px), ToInt(py), vx, vy, ToInt(d), 0.0f, scale, -10, 1);
        d += 20.0f;
    };
    for (int32_t i = 1; i <= Cell_Width; i += 4)
        spark(x + float(i), y, ms * 0.01f, 0);
    for (int32_t i = 1; i <= Cell_Height; i += 4)
        spark(x + float(Cell_Width), y + float(i), 0, ms * 0.01f);
    for (int32_t i = Cell_Width; i > 0; i -= 4)
        spark(x + float(i), y + float(Cell_Height), -ms * 0.01f, 0);
    for (int32_t i = Cell_Height; i > 0; i -= 4)
        spark(x, y + float(i), 0, -ms * 0.01f);
}

void Gfx_Kind8Line(int32_t x, int32_t y, int32_t sx, int32_t sy) {
    for (int32_t i = 0; i <= Cell_Width; i += 3) {
        Gfx_Obj& o = Gfx_New(FX_LINE_DOT, x + sx * i, y + sy * i, ToInt(Rf(0, 1000)), -10);
        SetPos(o);
        o.image = Fx_Img.spark5;
        o.alpha = 1.0f;
        o.life = 32.0f;
        o.scaleX = o.scaleY = 0.75f;
        o.counter = 1;
    }
}

void Gfx_Kind21Burst(float x, float y, float factor) {
    const int32_t n = Counted(factor);
    const float dt = Fx_CreateDt();
    for (int32_t i = 0; i < n; ++i) {
        const int32_t px = Around(x, Cell_CentreOffsetX(), 8), py = Around(y, Cell_CentreOffsetY(), 8);
        const float vx = Rf(-60, 60) * dt, vy = Rf(-60, 60) * dt;
        const float gravity = Rf(0, 100) * 0.002f + 0.6f;
        const float sx = Rf(1, 1.5f), sy = Rf(1, 1.5f);
        const int32_t delay = ToInt(Rf(0, 20));
        const int32_t layer = Rf(0, 10) >= 7 ? -10 : 10;
        Gfx_Obj& o = Gfx_New(FX_SPINNING_GLOW, px, py, delay, layer);
        SetPos(o);
        o.image = Img_SparkSnowball;
        o.velX = vx;
        o.velY = vy;
        o.gravity = gravity;
        o.scaleX = sx;
        o.scaleY = sy;
        o.turnRate = float(Ri(50, 100));
        o.turnAccel = Rf(100, 250);
        o.rotation = float(Ri(1, 360));
        o.alpha = Rf(0, 0.5f) + 0.5f;
    }
}

void Gfx_Kind22Burst(float x, float y, float factor) {
    const int32_t n = Counted(factor);
    for (int32_t i = 1; i <= n; ++i) {
        Gfx_Obj& o =
            Gfx_New(FX_FLASH_STRIP, ToInt(x + float(Cell_HalfWidth)), ToInt(y + float(Cell_HalfHeight)), i * 100, 10);
        SetPos(o);
        o.image = Fx_Img.combo;
        o.scaleX = o.scaleY = 0.8f;
        o.turnRate = 15;
        o.turnAccel = 15;
        o.rotation = float(Ri(1, 360));
        o.alpha = 1.0f;
        o.frameCount = 32;
    }
}

void Gfx_Kind40Burst(float x, float y, float factor, int32_t layer) {
    const int32_t n = Counted(factor);
    const float dt = Fx_CreateDt();
    for (int32_t i = 0; i < n; ++i) {
        const int32_t px = Around(x, Cell_CentreOffsetX(), 8), py = Around(y, Cell_CentreOffsetY(), 8);
        const int32_t r = Ri(1, 359);
        const float s = float(Ri(1, 50) + 30);
        const float cr = float(Ri(1, 255)), cg = float(Ri(1, 255)), cb = float(Ri(1, 255));
        const float gravity = Rf(0, 100) * 0.002f + 0.3f;
        const int32_t delay = ToInt(Rf(0, 50));
        Gfx_Obj& o = Gfx_New(FX_COLOUR_TRAIL_EMITTER, px, py, delay, layer);
        SetPos(o);
        o.image = Fx_Img.spark1;
        o.rotation = float(r);
        o.velX = CosT(r) * s * dt;
        o.velY = SinT(r) * s * dt;
        o.colR = cr;
        o.colG = cg;
        o.colB = cb;
        o.gravity = gravity;
        o.scaleX = o.scaleY = 1.0f;
        o.alpha = 1.0f;
        o.counter = 1; // the growing phase: with alpha 1 it turns to fading at once, so the emitter ends
    }
}

void Gfx_MatchTrail(float scale, int32_t n) {
    if (Match_Count < 1) return;
    constexpr float kTx = 43, kTy = 90;
    static constexpr int32_t kColours[8][3] = {{255, 255, 255}, {255, 255, 255}, {255, 60, 60}, {220, 150, 50},
                                               {220, 220, 50},  {50, 250, 70},   {22, 80, 250}, {250, 50, 250}};
    const int32_t* colour = kColours[Match_Kind >= 1 && Match_Kind <= 7 ? Match_Kind : 0];
    for (int32_t m = 0; m < Match_Count; ++m) {
        const Point cell = Match_List[m];
        const float cx = float(cell.x * Cell_Width + Board_OriginX + Cell_HalfWidth);
        const float cy = float(cell.y * Cell_Height + Board_OriginY + Cell_HalfHeight);
        const float heading = float(Deg_ATan2(kTy - cy, kTx - cx)) + float(Ri(-1, 1));
        for (int32_t k = 0; k <= n; ++k) {
            const float px = cx + float(Ri(-1, 1) * (16 + Ri(1, 16)));
            const float py = cy + float(Ri(-1, 1) * (16 + Ri(1, 16)));
            const float r = float(colour[0] + Ri(-50, 50)), g = float(colour[1] + Ri(-50, 50)),
                        b = float(colour[2] + Ri(-50, 50));
            const int32_t delay = ToInt(Rf(0, 500) + 1000);
            Gfx_Obj& o = Gfx_New(FX_CHARGE_TRAIL, ToInt(px), ToInt(py), delay, 20);
            o.posX = px;
            o.posY = py;
            o.image = Fx_Img.spark9;
            o.colR = r;
            o.colG = g;
            o.colB = b;
            o.heading = heading;
            o.driftX = float(Deg_Cos(heading));
            o.driftY = float(Deg_Sin(heading));
            o.speed = Rf(300, 400);
            o.alpha = float(Ri(1, 50)) * 0.01f + 0.5f;
            // A scale below 0.2 gives an empty range: the reduction is then 0.
            const int32_t top = ToInt(scale * 5.0f);
            o.TrailScale() = scale - float((top >= 1 ? Ri(1, top) : 0) / 7);
            o.frameCount = 32;
            o.frame = float(Ri(0, 31));
            o.countdown = 0;
            o.frameDelay = 5;
        }
    }
}

void Gfx_ExplosionSparks(int32_t x, int32_t y) {
    const int32_t n = Fx_Room(std::max(Fx_Fps(), 50));
    for (int32_t i = 0; i < n; ++i)
        SparkMaker(FX_EXPLOSION_SPARK, x, y, 70, 100);
}

void Gfx_DestroySparks(int32_t x, int32_t y) {
    const int32_t n = Fx_Room(std::max(Fx_Fps() / 10, 10));
    for (int32_t i = 0; i < n; ++i)
        SparkMaker(FX_DESTROY_SPARK, x, y, 170, 300);
}

void Gfx_Sparks(int32_t x, int32_t y) {
    const int32_t n = Fx_Room(ToInt(std::max(float(Fx_Fps()) * 0.3f, 20.0f)));
    for (int32_t i = 0; i < n; ++i) {
        const int32_t h = 360 - (Ri(1, 90) + 90);
        const float speed = Rf(70, 130), gravity = -Rf(30, 50);
        Gfx_Obj& o = Maker(FX_CHAIN_LINK, Fx_Img.chainLink, x, y, speed, gravity);
        o.heading = float(h);
        const float p = Rf(0, float(h)), q = Rf(0, float(h));
        o.velX = float(Deg_Cos(q) * Deg_Cos(p));
        o.velY = float(Deg_Sin(q) * Deg_Cos(p));
        o.vz = float(Deg_Sin(p));
        o.alpha = 2.0f;
        o.frame = float(Ri(0, 14));
        o.rotation = float(Ri(1, 359));
        o.frameDelay = 30;
    }
}

void Gfx_ExplosionRays(int32_t x, int32_t y) {
    for (int32_t i = 0; i < 8; ++i)
        ChipMaker(FX_TILE_SHARD, Img_TilePart1, x, y, true);
    const int32_t n = ToInt(std::min(float(Fx_Fps()) * 0.5f, 50.0f));
    for (int32_t i = 0; i < n; ++i) {
        const int32_t heading = Deg_Wrap(Ri(1, 360) - 1);
        const float speed = Rf(50, 100), gravity = -Rf(100, 300);
        Gfx_Obj& o = Maker(FX_RAY_SPARK, Fx_Img.spark6, x, y, speed, gravity);
        o.heading = float(heading);
        o.driftX = CosT(heading);
        o.driftY = SinT(heading);
        o.alpha = float(Ri(5, 10)) * 0.1f;
        o.frameDelay = 30;
    }
}

void Gfx_Explosion16(int32_t x, int32_t y) {
    for (int32_t i = 0; i < 16; ++i)
        ChipMaker(FX_TILE_CHIP, Img_TilePart2, x, y, false);
}

void Gfx_BlockerHit16(int32_t x, int32_t y) {
    for (int32_t i = 0; i < 16; ++i)
        ChipMaker(FX_TILE_CHIP, Img_TilePartProxy, x, y, false);
}

void Gfx_Kind37Circle(const std::shared_ptr<Piece>& piece) {
    if (!piece) return;
    static constexpr float kRot[3] = {0, 120, 240}, kScale[3] = {0.2f, 0.3f, 0.4f}, kTurn[3] = {10, 25, 40};
    for (int32_t i = 0; i < 3; ++i) {
        Gfx_Obj& o = Gfx_New(FX_PIECE_GLOW, piece->ScreenX, piece->ScreenY, 0, -10);
        SetPos(o);
        o.image = Fx_Img.shine1;
        o.rotation = kRot[i];
        o.scaleX = o.scaleY = kScale[i];
        o.turnRate = kTurn[i];
        o.alpha = 1.0f;
        o.colR = o.colG = o.colB = 255;
        o.piece = piece;
    }
}
