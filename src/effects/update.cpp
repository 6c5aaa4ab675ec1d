// The update pass: once per frame every effect object counts its delay down and moves by its kind's rule; trail
// emitters append their children; the kinds with steps of their own (16..20, 35, 36) move by those. Called by the
// game, level-intro and level-end frames.
#include "board/board.h"
#include "effects/fx_internal.h"
#include "main/screens.h"

namespace {

void DrawnScreen(Gfx_Obj& o) {
    o.x = ToInt(o.posX);
    o.y = ToInt(o.posY);
}
void DrawnBoard(Gfx_Obj& o) {
    o.x = ToInt(o.posX - float(Board_OverflowX));
    o.y = ToInt(o.posY - float(Board_OverflowY));
}

void Falling(Gfx_Obj& o, bool board) {
    o.posX += o.velX;
    o.posY += o.velY;
    o.velY += o.gravity * Fx_Dt();
    board ? DrawnBoard(o) : DrawnScreen(o);
}

void Gliding(Gfx_Obj& o, bool board) {
    o.posX += o.velX;
    o.posY += o.velY;
    board ? DrawnBoard(o) : DrawnScreen(o);
}

void Drifting(Gfx_Obj& o, float factor) {
    o.posX += o.driftX;
    o.posY += o.driftY;
    DrawnBoard(o);
    o.driftX *= factor;
    o.driftY *= factor;
}

// Projected kinds: a point in front of the screen. An object that reaches the viewer's plane (z <= 1) is
// removed before anything divides by z.
bool Projected(Gfx_Obj& o, float k) {
    o.posX += o.velX * k;
    o.posY += o.velY * k;
    o.z += o.vz * k;
    if (!(o.z > 1.0f)) return false;
    o.x = ToInt(o.posX / o.z * 500.0f + float(Screen_CenterX));
    o.y = ToInt(o.posY / o.z * 500.0f + float(Screen_CenterY));
    return true;
}

void BeamGrowth(Gfx_Obj& o) {
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

void Launch(Gfx_Obj& o) {
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

// Trails: copies of what the emitter needs are taken before a child is appended.
void Trail(const Gfx_Obj& o, bool moved) {
    if (!moved) return;
    const int32_t fps = Fx_Fps();
    const int32_t x = o.x, y = o.y;
    switch (o.kind) {
    case 26:
        if (fps > 25) {
            const ImagePtr img = o.image;
            const float a = Rf(0.5f, 0.7f), s = o.scaleX * Rf(0.6f, 0.76f);
            Gfx_Create(img, 27, x, y, 0, 0, 0, a, s, 10, 1);
        }
        break;
    case 28:
        if (fps > 25 && Ri(1, 100) > 90) {
            const float a = Rf(0.5f, 0.7f), s = Rf(0.6f, 0.76f);
            Gfx_Create(Fx_Img.spark8, 29, x, y, 0, 0, 0, a, s, 20, 1);
        }
        break;
    case 31:
        if (fps > 25 && Ri(1, 100) > 50) {
            const float a = Rf(0.5f, 1.0f), s = Rf(0.5f, 0.6f);
            Gfx_Create(Fx_Img.spark7, 27, x, y, 0, 0, 0, a, s, 10, 1);
        }
        break;
    case 40: // no puffs for a layer the screen has stopped drawing (the level end's upper layer under its dialog)
        if (Ri(1, 100) > 20 && Fx_LayerShown(o.layer)) {
            const int32_t r = ToInt(o.colR), g = ToInt(o.colG), b = ToInt(o.colB), layer = o.layer;
            const float a = Rf(0.5f, 0.75f), s = Rf(0.1f, 0.25f);
            Gfx_CreateColoured(Fx_Img.spark4, 41, x, y, r, g, b, a, s, 0, 0, layer);
        }
        break;
    default:
        break;
    }
}

bool OffScreen(const Gfx_Obj& o) { return o.x < 0 || o.x > Screen_Width || o.y < 0 || o.y > Screen_Height; }

} // namespace

void Effects_UpdateAll() {
    const float ms = Fx_Ms();
    // Children appended during the walk are visited by it too (their delay is 0, so they move this frame).
    for (size_t i = 0; i < Effects_List.size(); ++i) {
        Gfx_Obj& o = Effects_List[i];
        if (o.dead) continue;
        if (o.delay >= 1) {
            o.delay = ToInt(float(o.delay) - ms);
            continue;
        }
        const int32_t oldX = o.x, oldY = o.y;
        switch (o.kind) {
        case 4:
            BeamGrowth(o);
            break;
        case 5:
        case 9:
        case 10:
        case 21:
            Falling(o, false);
            break;
        case 6:
        case 8:
            Gliding(o, true);
            break;
        case 15:
            Gliding(o, false);
            break;
        case 7:
        case 23:
        case 24:
        case 25:
        case 26:
        case 28:
        case 29:
        case 30:
        case 32:
        case 34:
        case 40:
            Falling(o, true);
            break;
        case 31:
            Drifting(o, 0.98f);
            break;
        case 33:
            Drifting(o, 0.95f);
            break;
        case 11:
            if (!Projected(o, 10)) Fx_Remove(o);
            break;
        case 12:
            if (!Projected(o, 5)) {
                Fx_Remove(o);
                break;
            }
            o.countdown = ToInt(float(o.countdown) - ms);
            if (o.countdown < 0) {
                o.frame += 1;
                if (float(o.frameCount) <= o.frame) o.frame = 0;
                o.countdown = o.frameDelay;
            }
            break;
        case 14:
            Launch(o);
            break;
        case 16:
        case 36:
            Gfx_ShardUpdate(o);
            break;
        case 17:
            Gfx_RaySparkUpdate(o);
            break;
        case 18:
        case 35:
            Gfx_SparkUpdate(o);
            break;
        case 19:
            Gfx_TrailUpdate(o);
            break;
        case 20:
            Gfx_ChainLinkUpdate(o);
            break;
        default:
            break;
        }
        if (!o.dead && (o.kind == 26 || o.kind == 28 || o.kind == 31 || o.kind == 40))
            Trail(o, o.x != oldX || o.y != oldY); // may append: o stays valid (deque), but is not used after
    }
    Fx_Compact(true);
}

// ---- Kind steps: update ----------------------------------------------------------------------------------------

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
