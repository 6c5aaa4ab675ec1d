// Map effects: pixel-scan emitters that sweep an image column by column (or ray by ray round its centre) and call
// a band's hook for each sampled pixel whose value falls in the band; the hooks draw a sprite at once or make one
// effect object. Called by the game and level-end frames (stepping), the level end, the hourglass and two spells.
#include <cmath>

#include "effects/fx_draw.h"
#include "effects/fx_internal.h"
#include "main/runtime.h"

std::deque<MapEffect_obj, Pool_Allocator<MapEffect_obj>> MapEffects_List;
int32_t Emitter_X = 0, Emitter_Y = 0;
float Emitter_Value = 0;
MapFxLevelEnd MapFx_LevelEnd;

namespace {
Emitter_Hook OrNothing(Emitter_Hook h) { return h ? h : Emitter_Nothing; }

void FireBands(const MapEffect_obj& e, int32_t v) {
    if (v > 0 && v < e.band1) {
        Emitter_Value = float(v) / float(e.band1);
        e.hook1();
    }
    if (v > e.band1 && v < e.band2) {
        Emitter_Value = float(v) / float(e.band2);
        e.hook2();
    }
    if (v > e.band2 && v <= e.band3) {
        Emitter_Value = float(v) / float(e.band3);
        e.hook3();
    }
}

bool Fires(const MapEffect_obj& e) { return e.thinning <= 1 || Ri(1, e.thinning) == 1; }

void End(MapEffect_obj& e) {
    e.endHook();
    e.dead = true;
}

// One hook draw at the emitter point in the given state.
void HookDraw(const ImagePtr& img, int frame, float alpha, float rot = 0, float scale = 1) {
    Fx_SetBlend(BLEND_ADDITIVE);
    Fx_SetAlpha(alpha);
    Fx_SetRotation(rot);
    Fx_SetScale(scale, scale);
    Fx_Draw(img, float(Emitter_X), float(Emitter_Y), frame);
    Fx_SetRotation(0);
    Fx_SetScale(1, 1);
}

void Wrap24(float& f) {
    if (f > 23) f = 0;
}
} // namespace

void MapEffect_Create(const ImagePtr& img, int32_t band1, int32_t band2, int32_t band3, Emitter_Hook hook1,
                      Emitter_Hook hook2, Emitter_Hook hook3, Emitter_Hook endHook, int32_t mode, float x, float y,
                      int32_t rotation, int32_t rotationSpeed, float scale, int32_t scaleGrowth, int32_t thinning,
                      int32_t extraPerStep, int32_t angleStep, int32_t interval, float stop) {
    MapEffect_obj& e = MapEffects_List.emplace_back();
    e.image = img;
    e.band1 = band1;
    e.band2 = band2;
    e.band3 = band3;
    e.hook1 = OrNothing(hook1);
    e.hook2 = OrNothing(hook2);
    e.hook3 = OrNothing(hook3);
    e.endHook = OrNothing(endHook);
    e.mode = mode;
    e.x = x;
    e.y = y;
    e.rotation = rotation;
    e.rotationSpeed = float(rotationSpeed);
    e.scale = scale;
    e.scaleGrowth = scaleGrowth;
    e.thinning = thinning;
    e.extraPerStep = extraPerStep;
    e.angleStep = angleStep;
    e.interval = interval;
    e.stop = stop;
}

void MapEffects_RunAll() {
    // Index walk: an effect that ends is marked and dropped after the walk, so the next one is never skipped.
    for (size_t i = 0; i < MapEffects_List.size(); ++i)
        if (!MapEffects_List[i].dead) MapEffect_Step(MapEffects_List[i]);
    MapEffects_List.erase(
        std::remove_if(MapEffects_List.begin(), MapEffects_List.end(), [](const MapEffect_obj& e) { return e.dead; }),
        MapEffects_List.end());
    Fx_ResetState();
    Fx_Sink().Flush();
}

void MapEffect_Step(MapEffect_obj& e) {
    e.countdown = ToInt(float(e.countdown) - Fx_Ms());
    if (e.countdown > 0) return;
    e.countdown = e.interval;
    if (!e.plane) {
        const ValuePlane* p = ValuePlane_Of(e.image);
        if (!p || p->v.empty()) { // a missing source: one line, then the effect ends as if swept
            static bool reported = false;
            if (!reported) Log_Print(u"effects: a map effect has no source picture");
            reported = true;
            End(e);
            return;
        }
        e.plane = std::shared_ptr<const ValuePlane>(std::shared_ptr<const ValuePlane>{}, p); // owned by the cache
    }
    const ValuePlane& pl = *e.plane;
    const int32_t w = pl.width, h = pl.height, hw = ToInt(float(w) * 0.5f), hh = ToInt(float(h) * 0.5f);
    e.rotation = ToInt(float(e.rotation) + e.rotationSpeed * Fx_Dt());
    if (e.mode == 1) {
        const int32_t r0 = Deg_Wrap(e.rotation), r90 = Deg_Wrap(e.rotation + 90);
        const float c0 = CosT(r0), s0 = SinT(r0), c90 = CosT(r90), s90 = SinT(r90);
        for (int32_t k = 0; k <= e.extraPerStep; ++k) {
            const int32_t c = ToInt(e.sweep);
            if (c >= 0 && c < w)
                for (int32_t y = 0; y < h; ++y) {
                    const int32_t v = pl.At(c, y);
                    Emitter_X = ToInt(float(c) * e.scale * c0 + float(y) * e.scale * c90 + e.x);
                    Emitter_Y = ToInt(float(c) * e.scale * s0 + float(y) * e.scale * s90 + e.y);
                    if (Fires(e)) FireBands(e, v);
                }
            e.sweep += 1.0f;
            if (e.sweep >= float(w) || (e.stop != 0 && e.sweep >= float(w) * e.stop)) {
                End(e);
                return;
            }
        }
    } else if (e.mode == 6) {
        for (int32_t k = 0; k <= e.extraPerStep; ++k) {
            float a = e.sweep + float(e.rotation);
            if (a > 360) a = std::fmod(a, 360.0f);
            const int32_t ai = Deg_Wrap(ToInt(a));
            for (int32_t r = 2; r <= hw - 1; ++r) {
                const int32_t px = ToInt(CosT(ai) * float(r) + float(hw)), py = ToInt(SinT(ai) * float(r) + float(hh));
                if (px < 0 || px >= w || py < 0 || py >= h) continue; // wider than tall: outside the image
                const int32_t v = pl.At(px, py);
                Emitter_X = ToInt(float(px) * e.scale + e.x - float(hw));
                Emitter_Y = ToInt(float(py) * e.scale + e.y - float(hh));
                if (Fires(e)) FireBands(e, v);
            }
            e.sweep += float(e.angleStep);
            if (e.sweep > 360 || (e.stop != 0 && e.sweep >= e.stop)) {
                End(e);
                break;
            }
        }
        e.scale += float(e.scaleGrowth) * Fx_Dt();
    }
}

void MapEffect_AddAnimated(float x, float y, float scale) {
    const int32_t f = std::clamp(ToInt(MapFx_AnimFrame), 0, 23);
    MapEffect_Create(Fx_Img.youWin[f], 80, 200, 255, MapEffect_GlowHook, MapEffect_FlickerHook, MapEffect_SparkleHook,
                     Emitter_Nothing, 1, float(ToInt(x - 64 * scale)), float(ToInt(y - 16 * scale)), 0, 0, scale, 0, 1,
                     4, 1, 0, 0);
    MapFx_AnimFrame += 12.0f * Fx_Dt();
    MapFx_FlickerFrame = MapFx_AnimFrame;
    if (MapFx_AnimFrame > 23) MapFx_AnimFrame = 0;
}

void MapEffect_AddSpinning(float x, float y, float scale) {
    MapEffect_Create(Fx_Img.youLose, 80, 255, 255, MapEffect_SpinBackHook, MapEffect_SpinHook, Emitter_Nothing,
                     Emitter_Nothing, 1, float(ToInt(x - 64 * scale)), float(ToInt(y - 16 * scale)), 0, 0, scale, 0, 1,
                     2, 1, 0, 0);
    MapFx_SpinAngle = ToInt(float(MapFx_SpinAngle) + float(Deg_Sin(Effect_PointF.v[3])) * 600.0f * Fx_Dt());
    MapFx_HookAngle = MapFx_SpinAngle;
    if (MapFx_SpinAngle > 360) MapFx_SpinAngle = 0;
}

void MapFx_LevelEndStart() {
    MapFx_LevelEnd = MapFxLevelEnd{};
    Effect_PointF = PointFloat{};
}

void MapFx_LevelEndAdvance(float seconds) {
    // The spin's swing: a full turn of its sine every four seconds.
    Effect_PointF.v[3] = std::fmod(Effect_PointF.v[3] + seconds * 90.0f, 360.0f);
}

// ---- Hooks ----------------------------------------------------------------------------------------------------

void MapEffect_GlowHook() { HookDraw(Fx_Img.spark3, 0, Emitter_Value * 0.75f); }

void MapEffect_FlickerHook() {
    const float alpha = Emitter_Value * 0.5f + Rf(0, 0.2f);
    MapFx_FlickerFrame += 2.0f * Fx_Dt();
    Wrap24(MapFx_FlickerFrame);
    HookDraw(Fx_Img.spark18, ToInt(MapFx_FlickerFrame), alpha);
    MapFx_FlickerFrame += 2.0f * Fx_Dt();
    Wrap24(MapFx_FlickerFrame);
}

void MapEffect_SparkleHook() {
    if (Ri(1, 100) > 50) return;
    HookDraw(Fx_Img.spark18, ToInt(MapFx_FlickerFrame), Rf(0, 0.1f) + Emitter_Value * 0.3f);
}

void MapEffect_SpinBackHook() {
    HookDraw(Fx_Img.spark1, 0, Emitter_Value * 0.75f, float(MapFx_HookAngle), Emitter_Value * 0.5f);
    MapFx_HookAngle = ToInt(float(MapFx_HookAngle) - 100.0f * Fx_Dt());
    if (MapFx_HookAngle < 0) MapFx_HookAngle = 360;
}

void MapEffect_SpinHook() {
    HookDraw(Fx_Img.spark17, 0, Rf(0, 0.2f) + Emitter_Value * 0.2f, float(MapFx_HookAngle), Emitter_Value * 0.8f);
    MapFx_HookAngle = ToInt(float(MapFx_HookAngle) + 100.0f * Fx_Dt());
    if (MapFx_HookAngle > 360) MapFx_HookAngle = 0;
}

void Emitter_SpawnKind23() {
    const int32_t delay = Ri(1, 2);
    const float scale = Rf(0, 0.25f) + 0.75f;
    Gfx_Create(Fx_Img.spark13, FX_SMALL_SPARK, Emitter_X, Emitter_Y, 0, 0, delay, Emitter_Value, scale, 10, 1);
}

void Emitter_SpawnKind8() {
    const int32_t delay = Ri(1, 2);
    const float scale = float(ToInt(Rf(0.75f, 1.0f))); // always 0, as it always was: these dots are not seen
    Gfx_Create(Fx_Img.spark4, FX_LINE_DOT, Emitter_X, Emitter_Y, 0, 0, delay, Emitter_Value, scale, -10, 1);
}

void Emitter_SpawnKind26() {
    const float vx = Rf(-2, 2), vy = Rf(-2, 2);
    Gfx_Create(Fx_Img.spark13, FX_TRAIL_SPARK, Emitter_X, Emitter_Y, vx, vy, 0, Emitter_Value, 1, 10, 1);
}

void Emitter_SpawnKind7() {
    Gfx_Create(Fx_Img.skyStar2, FX_RISING_SPARK, Emitter_X, Emitter_Y, 0, 0, 0, Emitter_Value, 2, -10, 1);
}

namespace {
void GaugeSpark(float scale, int32_t delay, float alpha, float turnRate, float turnAccel) {
    Gfx_Obj& o = Gfx_New(FX_FREEZE_SPARK, Emitter_X, Emitter_Y, delay, 20);
    o.posX = float(Emitter_X);
    o.posY = float(Emitter_Y);
    o.image = Fx_Img.spark14;
    o.scaleX = o.scaleY = scale;
    o.alpha = alpha;
    o.counter = Ri(1, 99) + 1;
    o.rotation = float(Ri(1, 360));
    o.turnRate = turnRate;
    o.turnAccel = turnAccel;
}
} // namespace

void Emitter_SpawnA() {
    const float scale = Rf(0, 0.2f) + Emitter_Value * 0.3f;
    const int32_t delay = Ri(1, 100);
    const float turnRate = float(Ri(1, 50) + 50), turnAccel = float(Ri(1, 100) + 50);
    GaugeSpark(scale, delay, Emitter_Value * 0.3f, turnRate, turnAccel);
}

void Emitter_SpawnB() {
    const float scale = Rf(0, 0.1f) + Emitter_Value * 0.55f;
    const int32_t delay = Ri(1, 300);
    const float turnAccel = float(Ri(1, 20) + 20);
    GaugeSpark(scale, delay, Emitter_Value * 0.25f, 20, turnAccel);
}

void Emitter_SpawnKind27() {
    const float scale = Rf(0, 0.2f) + 0.3f;
    Gfx_Create(Fx_Img.spark10, FX_TRAIL_DOT, Emitter_X, Emitter_Y, 0, 0, 0, Emitter_Value * 1.15f, scale, 10, 1);
}

void Emitter_SpawnKind27b() {
    const float scale = Rf(0.5f, 0.7f);
    Gfx_Create(Fx_Img.spark1, FX_TRAIL_DOT, Emitter_X, Emitter_Y, 0, 0, 0, Emitter_Value * 1.5f, scale, 10, 1);
}

void Emitter_Nothing() {}
