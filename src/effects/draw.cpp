// The three layer passes and the per-kind drawing: each object of the pass's layer is drawn in its kind's state,
// then its fades, growth, frames and turning advance and the object is removed when its time is over. Glows,
// shards and glitter kinds spawn their children here. Called by the game, level-intro, level-end and main-menu
// frames.
#include "board/board.h"
#include "board/pieces.h"
#include "effects/fx_draw.h"
#include "effects/fx_internal.h"
#include "main/screens.h"

namespace {

void Draw(const Gfx_Obj& o) { Fx_Draw(o.image, float(o.x), float(o.y), ToInt(o.frame)); }
void SetAlphaScale(const Gfx_Obj& o) {
    Fx_SetAlpha(o.alpha);
    Fx_SetScale(o.scaleX, o.scaleY);
}
void SetColour(const Gfx_Obj& o) { Fx_SetColor(float(ToInt(o.colR)), float(ToInt(o.colG)), float(ToInt(o.colB))); }

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

// Removes when in phase 2 and the alpha is spent.
void EndPhase2(Gfx_Obj& o, float limit = 0) {
    if (o.counter == 2 && o.alpha <= limit) Fx_Remove(o);
}

// Sparkle test of kinds 5 and 21: a fresh glow sparkles almost every frame, a faded one rarely.
void SparkleTest(const Gfx_Obj& o) {
    if (Fx_Fps() <= 20) return;
    const int32_t r = Ri(1, 100);
    if ((1.0f - o.alpha) * 100.0f < float(r) && Fx_LayerShown(10)) Gfx_Sparkle(o.x, o.y);
}

// Glitter tests of kinds 24, 25 and 34 (random number first, then the frame rate).
void GlitterTest(const Gfx_Obj& o) {
    const int32_t r = Ri(1, 100);
    const int32_t x = o.x, y = o.y;
    switch (o.kind) {
    case 24:
        if (r > 80 && Fx_Fps() > 25 && Fx_LayerShown(-10))
            Gfx_CreateSimple(Fx_Img.spark10, 23, x, y, Rf(0.4f, 0.75f), 0.75f, 100, 100, -10);
        break;
    case 25:
        if (r > 80 && Fx_Fps() > 25 && Fx_LayerShown(10))
            Gfx_CreateSimple(Fx_Img.spark12, 23, x, y, Rf(0.4f, 1.0f), 0.75f, 10, 500, 10);
        break;
    case 34:
        if (r > 50 && Fx_Fps() > 25 && Fx_LayerShown(-10))
            Gfx_CreateSimple(Fx_Img.spark1, 9, x, y, Rf(0.74f, 1.0f), 1.0f, 100, 100, -10);
        break;
    default:
        break;
    }
}

// The beam cross of kind 4: a core of n lines around the centre and three soft lines on each side.
void BeamCross(const Gfx_Obj& o) {
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
}

void GlowSpark(Gfx_Obj& o) {
    Fx_SetAlpha(o.alpha);
    Fx_SetBlend(BLEND_ADDITIVE);
    Fx_Draw(Fx_Img.spark17, float(o.x), float(o.y), ToInt(o.frame));
    o.frame = std::fmod(o.frame + Fx_Dt() * 20.0f, 24.0f);
    Fx_SetBlend(BLEND_ALPHA);
    Fx_SetColor(float(ToInt(o.velX)), float(ToInt(o.velY)), float(ToInt(o.vz)));
    Fx_SetScale(o.scaleX, o.scaleY);
    Fx_SetRotation(o.rotation);
    Fx_Draw(o.image, float(o.x), float(o.y), 0);
    o.life -= Fx_Dt();
    if (o.life <= 0) o.alpha -= Fx_Dt() * 3.0f;
    if (o.life <= 0 && o.alpha <= 0) Fx_Remove(o);
}

// The glow follows its piece while the piece lives and is on its way through the board.
void PieceGlow(Gfx_Obj& o) {
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

// The freeze spell's remaining share in percent; no spell (or a total of 0) counts as none left.
float FreezePercent() {
    const float total = Effects_Hooks.Freeze_TimeTotal();
    return total > 0 ? Effects_Hooks.Freeze_TimeLeft() / total * 100.0f : 0.0f;
}

void LayerPass(int32_t layer) {
    Fx_CountPass(layer);
    const float alpha = Fx.alpha;
    Fx_SetBlend(BLEND_ALPHA);
    for (size_t i = 0; i < Effects_List.size(); ++i) {
        Gfx_Obj& o = Effects_List[i];
        if (!o.dead && o.layer == layer) Effects_DrawOne(o);
    }
    Fx_SetAlpha(alpha);
    Fx_Sink().Flush();
    Fx_Compact();
}

} // namespace

void Effects_DrawBehind() { LayerPass(-10); }
void Effects_DrawAbove() { LayerPass(10); }
void Effects_DrawTop() { LayerPass(20); }

void Effects_DrawOne(Gfx_Obj& o) {
    const float ms = Fx_Ms(), dt = Fx_Dt();
    if (o.delay >= 1) {
        o.delay = ToInt(float(o.delay) - ms);
        return;
    }
    switch (o.kind) {
    case 4:
        Fx_SetBlend(BLEND_ADDITIVE);
        Fx_SetColor(255, 200, 64);
        Fx_SetRotation(0);
        BeamCross(o);
        Fx_SetAlpha(1.0f);
        Fx_SetColor(255, 255, 255);
        break;
    case 5:
        Fx_SetBlend(BLEND_ADDITIVE);
        SetAlphaScale(o);
        Draw(o);
        SparkleTest(o);
        o.alpha -= ms / 3000.0f;
        o.scaleX -= ms / 3000.0f;
        o.scaleY = o.scaleX;
        if (o.alpha <= 0 || o.scaleX <= 0.05f) Fx_Remove(o);
        break;
    case 6:
        Fx_SetBlend(BLEND_ADDITIVE);
        Fx_SetColor(175, 15, 200);
        SetAlphaScale(o);
        Fx_SetRotation(o.rotation);
        Draw(o);
        if (o.counter == 1) {
            o.alpha += ms / 500.0f;
            o.scaleX += ms / 500.0f;
            o.scaleY = o.scaleX;
            if (o.alpha >= 1) o.counter = 2;
        } else if (o.counter == 2) {
            o.alpha -= ms / 700.0f;
            o.scaleX -= ms / 1000.0f;
            o.scaleY = o.scaleX;
        }
        EndPhase2(o);
        break;
    case 7:
    case 10:
        if (o.kind == 7) {
            Fx_SetBlend(BLEND_ADDITIVE);
        } else {
            Fx_SetBlend(BLEND_ALPHA);
            const float r = float(ToInt(Rf(0, 2) * 50)), g = float(ToInt(Rf(0, 50) + 20)),
                        b = float(ToInt(Rf(0, 100) + 150));
            Fx_SetColor(r, g, b);
        }
        SetAlphaScale(o);
        Draw(o);
        if (o.counter == 1) {
            o.alpha -= ms / (o.kind == 7 ? 1500.0f : 700.0f);
            o.scaleX += dt * 1.5f;
            o.scaleY = o.scaleX;
            if (o.scaleX >= 0.9f) o.counter = 2;
        } else if (o.counter == 2) {
            o.alpha -= ms / (o.kind == 7 ? 500.0f : 1000.0f);
        }
        EndPhase2(o);
        break;
    case 8: {
        Fx_SetBlend(BLEND_ADDITIVE);
        SetAlphaScale(o);
        Draw(o);
        const float div = float(Fx_Fps()) * o.life;
        if (!(div > 0)) { // no frame rate or no life: gone before anything divides by it
            Fx_Remove(o);
            break;
        }
        o.alpha -= ms / div;
        if (o.alpha <= 0) Fx_Remove(o);
        break;
    }
    case 9: {
        Fx_SetBlend(BLEND_ALPHA);
        Fx_SetColor(50, 50, 100);
        SetAlphaScale(o);
        Draw(o);
        const int32_t r = Ri(1, 100);
        if (r > 50 && Fx_Fps() > 20 && Fx_LayerShown(10)) Gfx_Ember(o.x, o.y);
        o.alpha -= ms / 2500.0f;
        o.scaleX -= ms / 1000.0f;
        o.scaleY = o.scaleX;
        if (o.alpha <= 0 || o.scaleX <= 0.1f) Fx_Remove(o);
        break;
    }
    case 11: {
        if (!(o.z > 1.0f)) {
            Fx_Remove(o);
            break;
        }
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
        break;
    }
    case 12:
    case 40: {
        if (o.kind == 12 && !(o.z > 1.0f)) {
            Fx_Remove(o);
            break;
        }
        Fx_SetBlend(BLEND_ADDITIVE);
        Fx_SetAlpha(o.alpha);
        if (o.kind == 12) {
            o.scaleX += 0.0005f * ms;
            const float s = std::max(12.0f / o.z + o.scaleX, 0.0f);
            Fx_SetScale(s, s);
        } else {
            Fx_SetScale(o.scaleX, o.scaleX);
        }
        o.rotation += o.turnAccel * ms;
        o.turnAccel *= 1.01f;
        Fx_SetRotation(o.rotation);
        SetColour(o);
        Draw(o);
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
        break;
    }
    case 14:
        Fx_SetBlend(BLEND_ALPHA);
        SetAlphaScale(o);
        Fx_SetRotation(0);
        Draw(o);
        o.counter = ToInt(float(o.counter) - ms);
        o.alpha -= (o.counter < 1 ? 0.0006f : 0.0002f) * ms;
        if (o.alpha <= 0 || o.x < -60 || o.x > Screen_Width || o.y < -60 || o.y > Screen_Height) Fx_Remove(o);
        break;
    case 15:
        Fx_SetBlend(BLEND_ALPHA);
        Fx_SetAlpha(o.alpha);
        o.scaleX += 0.0005f * ms;
        Fx_SetScale(o.scaleX, o.scaleX);
        Fx_SetColor(float(ToInt(o.speed)), float(ToInt(o.gravity)), float(ToInt(o.heading)));
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
        break;
    case 16:
    case 36:
        Gfx_ShardDraw(o);
        break;
    case 17:
        Gfx_RaySparkDraw(o);
        break;
    case 18:
    case 35:
        Gfx_SparkDraw(o);
        break;
    case 19:
        Gfx_TrailDraw(o);
        break;
    case 20:
        Gfx_ChainLinkDraw(o);
        break;
    case 21:
        Fx_SetBlend(BLEND_ADDITIVE);
        SetAlphaScale(o);
        Turn(o, ms / 1000.0f);
        Fx_SetRotation(o.rotation);
        Draw(o);
        SparkleTest(o);
        o.alpha -= ms / 2500.0f;
        o.scaleX -= ms / 2500.0f;
        o.scaleY = o.scaleX;
        if (o.alpha <= 0 || o.scaleX <= 0.05f) Fx_Remove(o);
        break;
    case 22:
        Fx_SetBlend(BLEND_ADDITIVE);
        SetAlphaScale(o);
        Turn(o, ms / 1000.0f);
        Fx_SetRotation(o.rotation);
        Draw(o);
        o.alpha -= dt * 0.7f;
        o.scaleX += dt * 0.25f;
        o.scaleY = o.scaleX;
        o.frame += dt * (o.frame > 16 ? 70.0f : 50.0f);
        if (o.frame >= float(o.frameCount)) {
            o.frame = 0;
            Fx_Remove(o);
        } else if (o.alpha <= 0) {
            Fx_Remove(o);
        }
        break;
    case 23:
        Fx_SetBlend(BLEND_ADDITIVE);
        SetAlphaScale(o);
        Turn(o, dt);
        Fx_SetRotation(o.rotation);
        Draw(o);
        o.alpha -= dt * 0.85f;
        if (o.alpha <= 0) Fx_Remove(o);
        break;
    case 24:
    case 34:
        GlitterTest(o); // may append; o stays valid
        Fx_SetBlend(BLEND_ALPHA);
        SetAlphaScale(o);
        Fx_SetRotation(o.rotation);
        Draw(o);
        if (o.kind == 34) Turn(o, dt);
        if (LoopFrames(o, o.kind == 24 ? 50.0f : 70.0f, o.kind == 24 ? 15.0f : 32.0f)) o.alpha -= ms / 300.0f;
        if (o.counter < 1 && o.alpha <= 0) Fx_Remove(o);
        break;
    case 25:
        GlitterTest(o);
        Fx_SetBlend(BLEND_ADDITIVE);
        SetAlphaScale(o);
        Fx_SetRotation(o.rotation);
        Draw(o);
        Turn(o, dt);
        if (o.counter < 1) o.alpha -= dt * 0.35f;
        if (o.counter < 1 && o.alpha <= 0) Fx_Remove(o);
        break;
    case 26:
        Fx_SetBlend(BLEND_ADDITIVE);
        SetAlphaScale(o);
        Fx_SetRotation(o.rotation);
        Draw(o);
        Turn(o, dt);
        o.alpha -= dt * 4.0f;
        if (o.alpha <= 0) Fx_Remove(o);
        break;
    case 27:
        Fx_SetBlend(BLEND_ADDITIVE);
        SetAlphaScale(o);
        Draw(o);
        o.alpha -= dt * 0.7f;
        if (o.alpha <= 0) Fx_Remove(o);
        break;
    case 28:
    case 29:
        Fx_SetBlend(BLEND_ADDITIVE);
        SetAlphaScale(o);
        if (o.kind == 28) {
            Fx_SetRotation(o.rotation);
            SetColour(o);
        }
        Draw(o);
        if (LoopFrames(o, 50.0f, 15.0f)) o.alpha -= o.kind == 28 ? ms / 300.0f : dt * 0.3f;
        if (o.counter < 1 && o.alpha <= 0) Fx_Remove(o);
        break;
    case 30:
        Fx_SetBlend(BLEND_ADDITIVE);
        SetAlphaScale(o);
        Fx_SetRotation(o.rotation);
        Draw(o);
        Turn(o, dt);
        if (FreezePercent() < float(o.counter)) o.life += 1;
        if (o.life > 0) o.alpha -= dt * 0.3f;
        if (o.life > 0 && o.alpha <= 0) Fx_Remove(o);
        break;
    case 31:
        GlowSpark(o);
        break;
    case 32:
        Fx_SetBlend(BLEND_ADDITIVE);
        Fx_SetColor(255, 255, 255);
        SetAlphaScale(o);
        Fx_SetRotation(o.rotation);
        Draw(o);
        Turn(o, dt);
        if (o.counter == 1) {
            o.alpha += ms / 700.0f;
            o.scaleX += ms / 400.0f;
            o.scaleY = o.scaleX;
            if (o.scaleX >= 1) o.counter = 2;
        } else if (o.counter == 2) {
            o.alpha -= ms / 500.0f;
            o.scaleX += ms / 2000.0f;
            o.scaleY = o.scaleX;
        }
        EndPhase2(o);
        break;
    case 33:
        Fx_SetBlend(BLEND_ADDITIVE);
        Fx_SetColor(float(ToInt(o.velX)), float(ToInt(o.velY)), float(ToInt(o.vz)));
        o.velY = std::min(o.velY + 150.0f * dt, 255.0f);
        o.velX += (o.velY - o.velX) * 0.5f;
        o.vz *= 0.95f;
        SetAlphaScale(o);
        Fx_SetRotation(o.rotation);
        Draw(o);
        Turn(o, dt);
        o.scaleX += dt * 1.3f;
        o.scaleY = o.scaleX;
        o.life -= dt;
        if (o.life <= 0) o.alpha -= dt * 1.5f;
        if (o.life <= 0 && o.alpha <= 0) Fx_Remove(o);
        break;
    case 37:
        PieceGlow(o);
        break;
    case 41:
        Fx_SetBlend(BLEND_ALPHA);
        SetAlphaScale(o);
        Fx_SetRotation(o.rotation);
        SetColour(o);
        Draw(o);
        o.scaleX = std::min(o.scaleX + dt * 0.3f, 1.0f);
        o.scaleY = o.scaleX;
        o.alpha -= dt * 0.25f;
        if (o.alpha <= 0) Fx_Remove(o);
        break;
    default:
        break;
    }
    Fx_ResetState();
}

// ---- Kind steps: draw ------------------------------------------------------------------------------------------

void Gfx_ShardDraw(Gfx_Obj& o) {
    Fx_SetAlpha(o.alpha);
    const float s = 0.3f + 0.8f * o.alpha;
    Fx_SetScale(s, s);
    Fx_SetBlend(BLEND_ALPHA);
    Draw(o);
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

void Gfx_RaySparkDraw(Gfx_Obj& o) {
    Fx_SetAlpha(o.alpha);
    Fx_SetBlend(BLEND_ADDITIVE);
    const float s = std::max(o.alpha * 0.7f, 0.1f);
    Fx_SetScale(s, s);
    Draw(o);
}

void Gfx_TrailDraw(Gfx_Obj& o) {
    o.speed = 600;
    Fx_SetAlpha(o.alpha);
    Fx_SetBlend(BLEND_ADDITIVE);
    Fx_SetScale(o.extra, o.extra);
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

void Gfx_ChainLinkDraw(Gfx_Obj& o) {
    Fx_SetAlpha(o.alpha);
    Fx_SetBlend(BLEND_ALPHA);
    const float s =
        o.z >= 0 ? std::min(o.z, 700.0f) * 0.002f + 0.31f : 0.31f - std::fabs(std::max(o.z, -100.0f)) * 0.003f;
    Fx_SetScale(s, s);
    Fx_SetRotation(o.rotation);
    Draw(o);
}
