// The effect kinds: each kind's update rule (motion, trails, removal by motion) and draw rule (drawing state, then
// fades, growth, frames and turning, removal by time), side by side, and the table the passes look them up in.
// Called by the update pass (update.cpp) and the layer passes (draw.cpp).
#include "board/board.h"
#include "board/pieces.h"
#include "effects/fx_draw.h"
#include "effects/fx_internal.h"
#include "main/screens.h"

namespace {

// ---- Motion rules -------------------------------------------------------------------------------------------

void DrawnScreen(Gfx_Obj& o) {
    o.x = ToInt(o.posX);
    o.y = ToInt(o.posY);
}
void DrawnBoard(Gfx_Obj& o) {
    o.x = ToInt(o.posX - float(Board_OverflowX));
    o.y = ToInt(o.posY - float(Board_OverflowY));
}
bool OffScreen(const Gfx_Obj& o) { return o.x < 0 || o.x > Screen_Width || o.y < 0 || o.y > Screen_Height; }

// Falling: velocity (per frame, baked by the creator), then gravity; screen or board-relative drawn position.
void Falling(Gfx_Obj& o, bool board) {
    o.posX += o.velX;
    o.posY += o.velY;
    o.velY += o.gravity * Fx_Dt();
    board ? DrawnBoard(o) : DrawnScreen(o);
}
void FallingScreen(Gfx_Obj& o) { Falling(o, false); }
void FallingBoard(Gfx_Obj& o) { Falling(o, true); }

void Gliding(Gfx_Obj& o, bool board) {
    o.posX += o.velX;
    o.posY += o.velY;
    board ? DrawnBoard(o) : DrawnScreen(o);
}
void GlidingScreen(Gfx_Obj& o) { Gliding(o, false); }
void GlidingBoard(Gfx_Obj& o) { Gliding(o, true); }

// Drifting: the drift decays by the factor every frame.
void Drifting(Gfx_Obj& o, float factor) {
    o.posX += o.driftX;
    o.posY += o.driftY;
    DrawnBoard(o);
    o.driftX *= factor;
    o.driftY *= factor;
}

// Projected kinds: a point in front of the screen. An object that reaches the viewer's plane (z <= 1) is removed
// before anything divides by z.
bool Projected(Gfx_Obj& o, float k) {
    o.posX += o.velX * k;
    o.posY += o.velY * k;
    o.z += o.vz * k;
    if (!(o.z > 1.0f)) {
        Fx_Remove(o);
        return false;
    }
    o.x = ToInt(o.posX / o.z * 500.0f + float(Screen_CenterX));
    o.y = ToInt(o.posY / o.z * 500.0f + float(Screen_CenterY));
    return true;
}

// Runs a motion and tells whether the drawn position changed (the trail emitters' test).
template <typename Motion> bool Moved(Gfx_Obj& o, Motion motion) {
    const int32_t x = o.x, y = o.y;
    motion(o);
    return o.x != x || o.y != y;
}

// ---- Drawing helpers ----------------------------------------------------------------------------------------

void Draw(const Gfx_Obj& o) { Fx_Draw(o.image, float(o.x), float(o.y), ToInt(o.frame)); }
void SetAlphaScale(const Gfx_Obj& o) {
    Fx_SetAlpha(o.alpha);
    Fx_SetScale(o.scaleX, o.scaleY);
}
void SetColour(const Gfx_Obj& o) { Fx_SetColor(float(ToInt(o.colR)), float(ToInt(o.colG)), float(ToInt(o.colB))); }
// The common start of a draw: blend, alpha and scale, rotation when asked.
void Begin(const Gfx_Obj& o, int blend, bool rotated = false) {
    Fx_SetBlend(blend);
    SetAlphaScale(o);
    if (rotated) Fx_SetRotation(o.rotation);
}

// Turning with step s: the turn rate grows by the acceleration; the rotation grows by the step's turn, reduced.
void Turn(Gfx_Obj& o, float s, bool accelerate = true) {
    if (accelerate) o.turnRate += o.turnAccel * s;
    o.rotation += std::fmod(o.turnRate * s, 360.0f);
}

// Frame looping with rate v and limit m; true when the loops have run out (the fade applies).
bool LoopFrames(Gfx_Obj& o, float v, float m) {
    o.frame += v * Fx_Dt();
    if (o.frame > m) {
        o.frame = 0;
        o.counter -= 1;
    }
    return o.counter < 1;
}
// After a fade of the frame-looping kinds: gone when the loops are done and the alpha is spent.
void EndLoops(Gfx_Obj& o) {
    if (o.counter < 1 && o.alpha <= 0) Fx_Remove(o);
}

// Fading in and out by phases (counter 1 grows, counter 2 fades); removed in phase 2 once the alpha is spent.
void EndPhase2(Gfx_Obj& o, float limit = 0) {
    if (o.counter == 2 && o.alpha <= limit) Fx_Remove(o);
}
// The phases of the tile rings and colour trails: in to full strength at 0.001 a ms, out at 0.0007.
void RingPhases(Gfx_Obj& o, float ms) {
    if (o.counter == 1) {
        o.alpha += 0.001f * ms;
        if (o.alpha >= 1) {
            o.counter = 2;
            o.alpha = 1;
        }
    } else if (o.counter == 2) {
        o.alpha -= 0.0007f * ms;
    }
    EndPhase2(o);
}

// Sparkle test of kinds 5 and 21: a fresh glow sparkles almost every frame, a faded one rarely.
void SparkleTest(const Gfx_Obj& o) {
    if (Fx_Fps() <= 20) return;
    const int32_t r = Ri(1, 100);
    if ((1.0f - o.alpha) * 100.0f < float(r) && Fx_LayerShown(10)) Gfx_Sparkle(o.x, o.y);
}

// Glitter test of kinds 24, 25 and 34 (random number first, then the frame rate): a child of `kind` at the object.
void GlitterTest(const Gfx_Obj& o, int32_t above, const ImagePtr& img, int32_t kind, float alphaLo, float alphaHi,
                 float scale, int32_t turnRate, int32_t turnAccel, int32_t layer) {
    const int32_t r = Ri(1, 100);
    if (r > above && Fx_Fps() > 25 && Fx_LayerShown(layer))
        Gfx_CreateSimple(img, kind, o.x, o.y, Rf(alphaLo, alphaHi), scale, turnRate, turnAccel, layer);
}

// ---- 4 line blast: the beam grows to a spread of 16, fading once past 8; a core of n lines and three soft lines
// on each side, across the whole board.
void LineBlastUpdate(Gfx_Obj& o) {
    const float ms = Fx_Ms();
    if (o.spread > 8) {
        o.alpha -= 0.4f * ms / 1000.0f;
        if (o.alpha < 0) {
            Fx_Remove(o);
            return;
        }
    }
    o.spread = std::min(o.spread + 15.0f * ms / 1000.0f, 16.0f);
}
void LineBlastDraw(Gfx_Obj& o) {
    Fx_SetBlend(BLEND_ADDITIVE);
    Fx_SetColor(255, 200, 64);
    Fx_SetRotation(0);
    const int32_t n = o.spread <= 8 ? ToInt(o.spread) : ToInt(16.0f - o.spread);
    for (const bool horizontal : {true, false}) {
        const int32_t c = horizontal ? o.y : o.x;
        const auto line = [&](int32_t p, float a) {
            Fx_SetAlpha(a);
            if (horizontal)
                Fx_Line(float(Board_OriginX), float(p), float(Board_OriginX + Board_PixelWidth), float(p));
            else
                Fx_Line(float(p), float(Board_OriginY), float(p), float(Board_OriginY + Board_PixelHeight));
        };
        line(c, o.alpha);
        for (int32_t i = 2; i <= n; ++i)
            line(c + ((i & 1) ? -(i / 2) : i / 2), o.alpha);
        int32_t h = n / 2;
        static constexpr float kSoft[3] = {0.8f, 0.6f, 0.4f};
        for (int32_t k = 0; k < 3; ++k)
            line(c + 1 + k + h, o.alpha * kSoft[k]);
        if (n % 2 == 0) h -= 1;
        for (int32_t k = 0; k < 3; ++k)
            line(c - 1 - k - h, o.alpha * kSoft[k]);
    }
    Fx_SetAlpha(1.0f);
    Fx_SetColor(255, 255, 255);
}

// Changes the alpha and the (uniform) scale by the given steps; negative steps fade and shrink.
void Grow(Gfx_Obj& o, float alphaStep, float scaleStep) {
    o.alpha += alphaStep;
    o.scaleX += scaleStep;
    o.scaleY = o.scaleX;
}

// ---- 5 falling glow and 21 spinning glow: they sparkle while fresh, fade and shrink.
void FallingGlowDraw(Gfx_Obj& o) {
    const float ms = Fx_Ms();
    Begin(o, BLEND_ADDITIVE);
    Draw(o);
    SparkleTest(o);
    Grow(o, -(ms / 3000.0f), -(ms / 3000.0f));
    if (o.alpha <= 0 || o.scaleX <= 0.05f) Fx_Remove(o);
}
void SpinningGlowDraw(Gfx_Obj& o) {
    const float ms = Fx_Ms();
    Begin(o, BLEND_ADDITIVE);
    Turn(o, ms / 1000.0f);
    Fx_SetRotation(o.rotation);
    Draw(o);
    SparkleTest(o);
    Grow(o, -(ms / 2500.0f), -(ms / 2500.0f));
    if (o.alpha <= 0 || o.scaleX <= 0.05f) Fx_Remove(o);
}

// ---- 6 edge spark: violet, grows in, then fades and shrinks.
void EdgeSparkDraw(Gfx_Obj& o) {
    const float ms = Fx_Ms();
    Fx_SetBlend(BLEND_ADDITIVE);
    Fx_SetColor(175, 15, 200);
    SetAlphaScale(o);
    Fx_SetRotation(o.rotation);
    Draw(o);
    if (o.counter == 1) {
        Grow(o, ms / 500.0f, ms / 500.0f);
        if (o.alpha >= 1) o.counter = 2;
    } else if (o.counter == 2) {
        Grow(o, -(ms / 700.0f), -(ms / 1000.0f));
    }
    EndPhase2(o);
}

// ---- 7 rising spark (additive) and 10 blue spark (alpha, a colour drawn anew each frame): grow to 0.9, then fade.
void RisingPhases(Gfx_Obj& o, float growFade, float fade) {
    const float ms = Fx_Ms();
    Draw(o);
    if (o.counter == 1) {
        Grow(o, -(ms / growFade), Fx_Dt() * 1.5f);
        if (o.scaleX >= 0.9f) o.counter = 2;
    } else if (o.counter == 2) {
        o.alpha -= ms / fade;
    }
    EndPhase2(o);
}
void RisingSparkDraw(Gfx_Obj& o) {
    Begin(o, BLEND_ADDITIVE);
    RisingPhases(o, 1500.0f, 500.0f);
}
void BlueSparkDraw(Gfx_Obj& o) {
    Fx_SetBlend(BLEND_ALPHA);
    const float r = float(ToInt(Rf(0, 2) * 50)), g = float(ToInt(Rf(0, 50) + 20)), b = float(ToInt(Rf(0, 100) + 150));
    Fx_SetColor(r, g, b);
    SetAlphaScale(o);
    RisingPhases(o, 700.0f, 1000.0f);
}

// ---- 8 line dot: fades by the frame rate and its life; gone before anything divides by zero.
void LineDotDraw(Gfx_Obj& o) {
    Begin(o, BLEND_ADDITIVE);
    Draw(o);
    const float div = float(Fx_Fps()) * o.life;
    if (!(div > 0)) {
        Fx_Remove(o);
        return;
    }
    o.alpha -= Fx_Ms() / div;
    if (o.alpha <= 0) Fx_Remove(o);
}

// ---- 9 shard: dark blue, throws embers.
void ShardDraw(Gfx_Obj& o) {
    const float ms = Fx_Ms();
    Fx_SetBlend(BLEND_ALPHA);
    Fx_SetColor(50, 50, 100);
    SetAlphaScale(o);
    Draw(o);
    const int32_t r = Ri(1, 100);
    if (r > 50 && Fx_Fps() > 20 && Fx_LayerShown(10)) Gfx_Ember(o.x, o.y);
    Grow(o, -(ms / 2500.0f), -(ms / 1000.0f));
    if (o.alpha <= 0 || o.scaleX <= 0.1f) Fx_Remove(o);
}

// ---- 11 star streak: projected (factor 10), a warm colour drawn anew each frame, shrinking as it nears.
void StarStreakUpdate(Gfx_Obj& o) { Projected(o, 10); }
void StarStreakDraw(Gfx_Obj& o) {
    if (!(o.z > 1.0f)) {
        Fx_Remove(o);
        return;
    }
    const float ms = Fx_Ms();
    Fx_SetBlend(BLEND_ADDITIVE);
    Fx_SetAlpha(o.alpha);
    const float r = float(ToInt(Rf(0, 2) * 50 + 150)), g = float(ToInt(Rf(0, 2) * 50 + 200)),
                b = float(ToInt(Rf(0, 50) + 50));
    Fx_SetColor(r, g, b);
    o.scaleX += 0.0005f * ms;
    const float s = std::max(100.0f / o.z - o.scaleX, 0.0f);
    Fx_SetScale(s, s);
    Draw(o);
    o.alpha -= 0.0007f * ms;
    if (o.alpha <= 0) Fx_Remove(o);
}

// ---- 12 tile ring: projected (factor 5) with its frames stepping; grows as it nears, turns faster and faster.
void TileRingUpdate(Gfx_Obj& o) {
    if (!Projected(o, 5)) return;
    o.countdown = ToInt(float(o.countdown) - Fx_Ms());
    if (o.countdown < 0) {
        o.frame += 1;
        if (float(o.frameCount) <= o.frame) o.frame = 0;
        o.countdown = o.frameDelay;
    }
}
// The turning of kinds 12 and 40: by the turn acceleration per ms, which grows by 1 % a frame.
void RingTurn(Gfx_Obj& o, float ms) {
    o.rotation += o.turnAccel * ms;
    o.turnAccel *= 1.01f;
    Fx_SetRotation(o.rotation);
}
void TileRingDraw(Gfx_Obj& o) {
    if (!(o.z > 1.0f)) {
        Fx_Remove(o);
        return;
    }
    const float ms = Fx_Ms();
    Fx_SetBlend(BLEND_ADDITIVE);
    Fx_SetAlpha(o.alpha);
    o.scaleX += 0.0005f * ms;
    const float s = std::max(12.0f / o.z + o.scaleX, 0.0f);
    Fx_SetScale(s, s);
    RingTurn(o, ms);
    SetColour(o);
    Draw(o);
    RingPhases(o, ms);
}

// ---- 14 cell flyer: waits out its countdown, then flies off along its heading, accelerating and growing.
void CellFlyerUpdate(Gfx_Obj& o) {
    const float ms = Fx_Ms();
    o.countdown = ToInt(float(o.countdown) - ms);
    if (o.countdown >= 0) return;
    o.speed += o.gravity * ms / 1000.0f;
    const float d = o.speed * ms / 1000.0f;
    o.posX += d * float(Deg_Cos(o.heading));
    o.posY += d * float(Deg_Sin(o.heading));
    DrawnScreen(o);
    o.scaleX = std::min(o.scaleX + 0.0006f * ms, 2.0f);
    o.scaleY = o.scaleX;
}
void CellFlyerDraw(Gfx_Obj& o) {
    const float ms = Fx_Ms();
    Begin(o, BLEND_ALPHA);
    Fx_SetRotation(0);
    Draw(o);
    o.counter = ToInt(float(o.counter) - ms);
    o.alpha -= (o.counter < 1 ? 0.0006f : 0.0002f) * ms;
    if (o.alpha <= 0 || o.x < -60 || o.x > Screen_Width || o.y < -60 || o.y > Screen_Height) Fx_Remove(o);
}

// ---- 15 colour ring: a flying title in its own colour, growing; fades in, then out.
void ColourRingDraw(Gfx_Obj& o) {
    const float ms = Fx_Ms();
    Fx_SetBlend(BLEND_ALPHA);
    Fx_SetAlpha(o.alpha);
    o.scaleX += 0.0005f * ms;
    Fx_SetScale(o.scaleX, o.scaleX);
    Fx_SetColor(float(ToInt(o.TitleRed())), float(ToInt(o.TitleGreen())), float(ToInt(o.TitleBlue())));
    Fx_SetRotation(0);
    Draw(o);
    if (o.counter == 1) {
        o.alpha += 0.0015f * ms;
        if (o.alpha >= 1) {
            o.counter = 2;
            o.alpha = 1;
        }
    } else if (o.counter == 2) {
        o.alpha -= 0.0007f * ms;
    }
    EndPhase2(o, 0.01f);
}

// ---- 16 tile shard and 36 tile chip: thrown, falling, spinning faster and faster, drawn smaller as they fade.
void TileShardUpdate(Gfx_Obj& o) { Gfx_ShardUpdate(o); }
void TileShardDraw(Gfx_Obj& o) { Gfx_ShardDraw(o); }

// ---- 17 ray spark, 18 explosion spark, 35 destroy spark: slowing down along a heading, fading.
void RaySparkUpdate(Gfx_Obj& o) { Gfx_RaySparkUpdate(o); }
void RaySparkDraw(Gfx_Obj& o) { Gfx_RaySparkDraw(o); }
void SparkUpdate(Gfx_Obj& o) { Gfx_SparkUpdate(o); }
void SparkDraw(Gfx_Obj& o) { Gfx_SparkDraw(o); }

// ---- 19 charge trail and 20 chain link (steps below).
void ChargeTrailUpdate(Gfx_Obj& o) { Gfx_TrailUpdate(o); }
void ChargeTrailDraw(Gfx_Obj& o) { Gfx_TrailDraw(o); }
void ChainLinkUpdate(Gfx_Obj& o) { Gfx_ChainLinkUpdate(o); }
void ChainLinkDraw(Gfx_Obj& o) { Gfx_ChainLinkDraw(o); }

// ---- 22 flash strip: its frames run faster past the middle; gone at the strip's end or when faded.
void FlashStripDraw(Gfx_Obj& o) {
    const float dt = Fx_Dt();
    Begin(o, BLEND_ADDITIVE);
    Turn(o, Fx_Ms() / 1000.0f);
    Fx_SetRotation(o.rotation);
    Draw(o);
    Grow(o, -(dt * 0.7f), dt * 0.25f);
    o.frame += dt * (o.frame > 16 ? 70.0f : 50.0f);
    if (o.frame >= float(o.frameCount)) {
        o.frame = 0;
        Fx_Remove(o);
    } else if (o.alpha <= 0) {
        Fx_Remove(o);
    }
}

// ---- 23 small spark: turning, fading.
void SmallSparkDraw(Gfx_Obj& o) {
    const float dt = Fx_Dt();
    Begin(o, BLEND_ADDITIVE);
    Turn(o, dt);
    Fx_SetRotation(o.rotation);
    Draw(o);
    o.alpha -= dt * 0.85f;
    if (o.alpha <= 0) Fx_Remove(o);
}

// ---- 24 coin glitter: the coin's frames loop `counter` times, glittering under the pieces; then it fades.
void CoinGlitterDraw(Gfx_Obj& o) {
    GlitterTest(o, 80, Fx_Img.spark10, FX_SMALL_SPARK, 0.4f, 0.75f, 0.75f, 100, 100, -10); // may append
    Begin(o, BLEND_ALPHA, true);
    Draw(o);
    if (LoopFrames(o, 50.0f, 15.0f)) o.alpha -= Fx_Ms() / 300.0f;
    EndLoops(o);
}

// ---- 25 bottle glitter: turning and glittering; fades once its counter is spent (the main menu's glows never).
void BottleGlitterDraw(Gfx_Obj& o) {
    const float dt = Fx_Dt();
    GlitterTest(o, 80, Fx_Img.spark12, FX_SMALL_SPARK, 0.4f, 1.0f, 0.75f, 10, 500, 10);
    Begin(o, BLEND_ADDITIVE, true);
    Draw(o);
    Turn(o, dt);
    if (o.counter < 1) o.alpha -= dt * 0.35f;
    EndLoops(o);
}

// ---- 26 trail spark: leaves trail dots while it moves (fast machines only).
void TrailSparkUpdate(Gfx_Obj& o) {
    if (!Moved(o, FallingBoard) || Fx_Fps() <= 25) return;
    const ImagePtr img = o.image; // copies before the child is appended
    const int32_t x = o.x, y = o.y;
    const float a = Rf(0.5f, 0.7f), s = o.scaleX * Rf(0.6f, 0.76f);
    Gfx_Create(img, FX_TRAIL_DOT, x, y, 0, 0, 0, a, s, 10, 1);
}
void TrailSparkDraw(Gfx_Obj& o) {
    const float dt = Fx_Dt();
    Begin(o, BLEND_ADDITIVE, true);
    Draw(o);
    Turn(o, dt);
    o.alpha -= dt * 4.0f;
    if (o.alpha <= 0) Fx_Remove(o);
}

// ---- 27 trail dot: fades.
void TrailDotDraw(Gfx_Obj& o) {
    Begin(o, BLEND_ADDITIVE);
    Draw(o);
    o.alpha -= Fx_Dt() * 0.7f;
    if (o.alpha <= 0) Fx_Remove(o);
}

// ---- 28 ring emitter: coloured and turned, its frames loop; sheds ring sparks as it moves (fast machines only).
void RingEmitterUpdate(Gfx_Obj& o) {
    if (!Moved(o, FallingBoard) || Fx_Fps() <= 25 || Ri(1, 100) <= 90) return;
    const int32_t x = o.x, y = o.y;
    const float a = Rf(0.5f, 0.7f), s = Rf(0.6f, 0.76f);
    Gfx_Create(Fx_Img.spark8, FX_RING_SPARK, x, y, 0, 0, 0, a, s, 20, 1);
}
void RingEmitterDraw(Gfx_Obj& o) {
    Begin(o, BLEND_ADDITIVE, true);
    SetColour(o);
    Draw(o);
    if (LoopFrames(o, 50.0f, 15.0f)) o.alpha -= Fx_Ms() / 300.0f;
    EndLoops(o);
}

// ---- 29 ring spark: its frames loop `counter` times, then it fades.
void RingSparkDraw(Gfx_Obj& o) {
    Begin(o, BLEND_ADDITIVE);
    Draw(o);
    if (LoopFrames(o, 50.0f, 15.0f)) o.alpha -= Fx_Dt() * 0.3f;
    EndLoops(o);
}

// ---- 30 freeze spark: turning; fades once less than its share (counter, in percent) of the time stop is left.
float FreezePercent() {
    const float total = Effects_Hooks.Freeze_TimeTotal();
    return total > 0 ? Effects_Hooks.Freeze_TimeLeft() / total * 100.0f : 0.0f; // no spell counts as none left
}
void FreezeSparkDraw(Gfx_Obj& o) {
    const float dt = Fx_Dt();
    Begin(o, BLEND_ADDITIVE, true);
    Draw(o);
    Turn(o, dt);
    if (FreezePercent() < float(o.counter)) o.life += 1;
    if (o.life > 0) o.alpha -= dt * 0.3f;
    if (o.life > 0 && o.alpha <= 0) Fx_Remove(o);
}

// ---- 31 glow spark: drifts (0.98), sheds trail dots (fast machines only); a glow under its coloured picture.
void GlowSparkUpdate(Gfx_Obj& o) {
    if (!Moved(o, [](Gfx_Obj& g) { Drifting(g, 0.98f); }) || Fx_Fps() <= 25 || Ri(1, 100) <= 50) return;
    const int32_t x = o.x, y = o.y;
    const float a = Rf(0.5f, 1.0f), s = Rf(0.5f, 0.6f);
    Gfx_Create(Fx_Img.spark7, FX_TRAIL_DOT, x, y, 0, 0, 0, a, s, 10, 1);
}
void GlowSparkDraw(Gfx_Obj& o) {
    const float dt = Fx_Dt();
    Fx_SetAlpha(o.alpha);
    Fx_SetBlend(BLEND_ADDITIVE);
    Fx_Draw(Fx_Img.spark17, float(o.x), float(o.y), ToInt(o.frame));
    o.frame = std::fmod(o.frame + dt * 20.0f, 24.0f);
    Fx_SetBlend(BLEND_ALPHA);
    Fx_SetColor(float(ToInt(o.SparkRed())), float(ToInt(o.SparkGreen())), float(ToInt(o.SparkBlue())));
    Fx_SetScale(o.scaleX, o.scaleY);
    Fx_SetRotation(o.rotation);
    Fx_Draw(o.image, float(o.x), float(o.y), 0);
    o.life -= dt;
    if (o.life <= 0) o.alpha -= dt * 3.0f;
    if (o.life <= 0 && o.alpha <= 0) Fx_Remove(o);
}

// ---- 32 pop flash: white, grows in, then fades while still growing.
void PopFlashDraw(Gfx_Obj& o) {
    const float ms = Fx_Ms();
    Fx_SetBlend(BLEND_ADDITIVE);
    Fx_SetColor(255, 255, 255);
    SetAlphaScale(o);
    Fx_SetRotation(o.rotation);
    Draw(o);
    Turn(o, Fx_Dt());
    if (o.counter == 1) {
        Grow(o, ms / 700.0f, ms / 400.0f);
        if (o.scaleX >= 1) o.counter = 2;
    } else if (o.counter == 2) {
        Grow(o, -(ms / 500.0f), ms / 2000.0f);
    }
    EndPhase2(o);
}

// ---- 33 flame: drifts (0.95); its colour warms towards yellow; grows; fades after its life.
void FlameUpdate(Gfx_Obj& o) { Drifting(o, 0.95f); }
void FlameDraw(Gfx_Obj& o) {
    const float dt = Fx_Dt();
    Fx_SetBlend(BLEND_ADDITIVE);
    Fx_SetColor(float(ToInt(o.SparkRed())), float(ToInt(o.SparkGreen())), float(ToInt(o.SparkBlue())));
    o.SparkGreen() = std::min(o.SparkGreen() + 150.0f * dt, 255.0f);
    o.SparkRed() += (o.SparkGreen() - o.SparkRed()) * 0.5f;
    o.SparkBlue() *= 0.95f;
    Begin(o, BLEND_ADDITIVE, true);
    Draw(o);
    Turn(o, dt);
    o.scaleX += dt * 1.3f;
    o.scaleY = o.scaleX;
    o.life -= dt;
    if (o.life <= 0) o.alpha -= dt * 1.5f;
    if (o.life <= 0 && o.alpha <= 0) Fx_Remove(o);
}

// ---- 34 shard emitter: the tar piece spinning off, its frames looping, shedding shards under the pieces.
void ShardEmitterDraw(Gfx_Obj& o) {
    const float dt = Fx_Dt();
    GlitterTest(o, 50, Fx_Img.spark1, FX_SHARD, 0.74f, 1.0f, 1.0f, 100, 100, -10);
    Begin(o, BLEND_ALPHA, true);
    Draw(o);
    Turn(o, dt);
    if (LoopFrames(o, 70.0f, 32.0f)) o.alpha -= Fx_Ms() / 300.0f;
    EndLoops(o);
}

// ---- 37 piece glow: follows its piece while the piece lives and is on its way through the board.
void PieceGlowDraw(Gfx_Obj& o) {
    const std::shared_ptr<Piece> p = o.piece.lock();
    if (!p || p->Removing) {
        Fx_Remove(o);
        return;
    }
    Fx_SetBlend(BLEND_ADDITIVE);
    Fx_SetAlpha(p->FadeAlpha != 0 ? p->FadeAlpha : o.alpha);
    Fx_SetScale(o.scaleX, o.scaleY);
    Turn(o, Fx_Dt(), false);
    Fx_SetRotation(o.rotation);
    SetColour(o);
    Fx_Draw(o.image, float(p->ScreenX + Cell_HalfWidth), float(p->ScreenY + Cell_HalfHeight), ToInt(o.frame));
    if (o.alpha <= 0) Fx_Remove(o);
}

// ---- 40 colour trail emitter: falls and leaves coloured puffs on its own layer (while the screen draws it).
void ColourTrailUpdate(Gfx_Obj& o) {
    if (!Moved(o, FallingBoard) || Ri(1, 100) <= 20 || !Fx_LayerShown(o.layer)) return;
    const int32_t r = ToInt(o.colR), g = ToInt(o.colG), b = ToInt(o.colB), layer = o.layer, x = o.x, y = o.y;
    const float a = Rf(0.5f, 0.75f), s = Rf(0.1f, 0.25f);
    Gfx_CreateColoured(Fx_Img.spark4, FX_COLOUR_PUFF, x, y, r, g, b, a, s, 0, 0, layer);
}
void ColourTrailDraw(Gfx_Obj& o) {
    const float ms = Fx_Ms();
    Begin(o, BLEND_ADDITIVE);
    Fx_SetScale(o.scaleX, o.scaleX);
    RingTurn(o, ms);
    SetColour(o);
    Draw(o);
    RingPhases(o, ms);
}

// ---- 41 colour puff: grows to full size, fades.
void ColourPuffDraw(Gfx_Obj& o) {
    const float dt = Fx_Dt();
    Begin(o, BLEND_ALPHA, true);
    SetColour(o);
    Draw(o);
    o.scaleX = std::min(o.scaleX + dt * 0.3f, 1.0f);
    o.scaleY = o.scaleX;
    o.alpha -= dt * 0.25f;
    if (o.alpha <= 0) Fx_Remove(o);
}

void Nothing(Gfx_Obj&) {}

// The table: each kind's update and draw rule (kinds without a rule do nothing there).
std::array<FxKindRules, FX_KIND_END> MakeTable() {
    std::array<FxKindRules, FX_KIND_END> t;
    t.fill(FxKindRules{Nothing, Nothing});
    const auto set = [&](Fx_Kind k, FxRule update, FxRule draw) { t[size_t(k)] = FxKindRules{update, draw}; };
    set(FX_LINE_BLAST, LineBlastUpdate, LineBlastDraw);
    set(FX_FALLING_GLOW, FallingScreen, FallingGlowDraw);
    set(FX_EDGE_SPARK, GlidingBoard, EdgeSparkDraw);
    set(FX_RISING_SPARK, FallingBoard, RisingSparkDraw);
    set(FX_LINE_DOT, GlidingBoard, LineDotDraw);
    set(FX_SHARD, FallingScreen, ShardDraw);
    set(FX_BLUE_SPARK, FallingScreen, BlueSparkDraw);
    set(FX_STAR_STREAK, StarStreakUpdate, StarStreakDraw);
    set(FX_TILE_RING, TileRingUpdate, TileRingDraw);
    set(FX_CELL_FLYER, CellFlyerUpdate, CellFlyerDraw);
    set(FX_COLOUR_RING, GlidingScreen, ColourRingDraw);
    set(FX_TILE_SHARD, TileShardUpdate, TileShardDraw);
    set(FX_RAY_SPARK, RaySparkUpdate, RaySparkDraw);
    set(FX_EXPLOSION_SPARK, SparkUpdate, SparkDraw);
    set(FX_CHARGE_TRAIL, ChargeTrailUpdate, ChargeTrailDraw);
    set(FX_CHAIN_LINK, ChainLinkUpdate, ChainLinkDraw);
    set(FX_SPINNING_GLOW, FallingScreen, SpinningGlowDraw);
    set(FX_FLASH_STRIP, Nothing, FlashStripDraw);
    set(FX_SMALL_SPARK, FallingBoard, SmallSparkDraw);
    set(FX_COIN_GLITTER, FallingBoard, CoinGlitterDraw);
    set(FX_BOTTLE_GLITTER, FallingBoard, BottleGlitterDraw);
    set(FX_TRAIL_SPARK, TrailSparkUpdate, TrailSparkDraw);
    set(FX_TRAIL_DOT, Nothing, TrailDotDraw);
    set(FX_RING_EMITTER, RingEmitterUpdate, RingEmitterDraw);
    set(FX_RING_SPARK, FallingBoard, RingSparkDraw);
    set(FX_FREEZE_SPARK, FallingBoard, FreezeSparkDraw);
    set(FX_GLOW_SPARK, GlowSparkUpdate, GlowSparkDraw);
    set(FX_POP_FLASH, FallingBoard, PopFlashDraw);
    set(FX_FLAME, FlameUpdate, FlameDraw);
    set(FX_SHARD_EMITTER, FallingBoard, ShardEmitterDraw);
    set(FX_DESTROY_SPARK, SparkUpdate, SparkDraw);
    set(FX_TILE_CHIP, TileShardUpdate, TileShardDraw);
    set(FX_PIECE_GLOW, Nothing, PieceGlowDraw);
    set(FX_COLOUR_TRAIL_EMITTER, ColourTrailUpdate, ColourTrailDraw);
    set(FX_COLOUR_PUFF, Nothing, ColourPuffDraw);
    return t;
}

} // namespace

const std::array<FxKindRules, FX_KIND_END> Fx_Kinds = MakeTable();

// ---- Kind steps of their own -----------------------------------------------------------------------------------

void Gfx_ShardUpdate(Gfx_Obj& o) {
    const float dt = Fx_Dt();
    o.driftY += o.gravity * dt;
    o.posX += o.driftX * dt;
    o.posY += o.driftY * dt;
    DrawnScreen(o);
    o.alpha -= 0.5f * dt;
    if (o.alpha <= 0 || OffScreen(o)) {
        Fx_Remove(o);
        return;
    }
    if (o.frameDelay < 1) return;
    o.countdown = ToInt(float(o.countdown) - 2.0f * Fx_Ms());
    if (o.countdown >= 0) return;
    o.frame += 1;
    if (o.frame >= 16) o.frame = 0;
    o.countdown = o.frameDelay;
    o.frameDelay = std::max(o.frameDelay - 5, 5);
}

void Gfx_ShardDraw(Gfx_Obj& o) {
    Fx_SetAlpha(o.alpha);
    const float s = 0.3f + 0.8f * o.alpha;
    Fx_SetScale(s, s);
    Fx_SetBlend(BLEND_ALPHA);
    Draw(o);
}

void Gfx_SparkUpdate(Gfx_Obj& o) {
    const float dt = Fx_Dt();
    o.speed = std::max(o.speed + o.gravity * dt, 0.0f);
    const float s = o.speed * dt;
    o.posX += o.driftX * s;
    o.posY += o.driftY * s;
    DrawnScreen(o);
    o.alpha -= 1.0f * dt;
    if (o.alpha <= 0 || OffScreen(o)) Fx_Remove(o);
}

void Gfx_SparkDraw(Gfx_Obj& o) {
    Fx_SetAlpha(o.alpha);
    Fx_SetBlend(BLEND_ADDITIVE);
    const float s = std::max(o.alpha, 0.1f);
    Fx_SetScale(s, s);
    Fx_SetRotation(o.rotation);
    o.rotation += 3.0f * Fx_Dt();
    Draw(o);
}

void Gfx_RaySparkUpdate(Gfx_Obj& o) {
    Gfx_SparkUpdate(o);
    if (o.dead) return;
    o.countdown = ToInt(float(o.countdown) - 3.0f * Fx_Ms());
    if (o.countdown < 0) {
        o.frame += 1;
        if (o.frame >= 32) o.frame = 0;
        o.countdown = o.frameDelay;
    }
}

void Gfx_RaySparkDraw(Gfx_Obj& o) {
    Fx_SetAlpha(o.alpha);
    Fx_SetBlend(BLEND_ADDITIVE);
    const float s = std::max(o.alpha * 0.7f, 0.1f);
    Fx_SetScale(s, s);
    Draw(o);
}

void Gfx_TrailUpdate(Gfx_Obj& o) {
    const float s = o.speed * Fx_Dt();
    o.posX += o.driftX * s;
    o.posY += o.driftY * s;
    DrawnScreen(o);
    if (OffScreen(o)) {
        Fx_Remove(o);
        return;
    }
    o.alpha = std::min(float(std::abs(43 - o.x) + std::abs(90 - o.y)) * 0.0005f, 1.0f);
}

void Gfx_TrailDraw(Gfx_Obj& o) {
    o.speed = 600;
    Fx_SetAlpha(o.alpha);
    Fx_SetBlend(BLEND_ADDITIVE);
    Fx_SetScale(o.TrailScale(), o.TrailScale());
    SetColour(o);
    Draw(o);
    Fx_SetColor(255, 255, 255);
    o.countdown = ToInt(float(o.countdown) - Fx_Ms());
    if (o.countdown < 0) {
        o.frame += 1;
        if (o.frame >= float(o.frameCount)) o.frame = 0;
        o.countdown = o.frameDelay;
    }
}

void Gfx_ChainLinkUpdate(Gfx_Obj& o) {
    const float dt = Fx_Dt();
    o.speed = std::max(o.speed + o.gravity * dt, 0.0f);
    const float s = o.speed * dt;
    o.posX += o.velX * s;
    o.posY += o.velY * s;
    o.z += o.vz * s * 1.5f;
    o.posY += o.driftY * dt;
    o.driftY += 80.0f * dt;
    DrawnScreen(o);
    o.alpha -= 0.8f * dt;
    o.frame += std::max(std::fabs(o.z), 7.0f) * 0.75f * dt;
    if (o.frame > 14) o.frame = 0;
    o.rotation += std::max(std::fabs(o.z), 20.0f) * 3.0f * dt;
    if (o.alpha <= 0 || OffScreen(o)) Fx_Remove(o);
}

void Gfx_ChainLinkDraw(Gfx_Obj& o) {
    Fx_SetAlpha(o.alpha);
    Fx_SetBlend(BLEND_ALPHA);
    const float s =
        o.z >= 0 ? std::min(o.z, 700.0f) * 0.002f + 0.31f : 0.31f - std::fabs(std::max(o.z, -100.0f)) * 0.003f;
    Fx_SetScale(s, s);
    Fx_SetRotation(o.rotation);
    Draw(o);
}
