// Shared inside src/effects: the effect images, the frame-time readings the rules use, small numeric helpers and
// the layer bookkeeping of the passes. Private to the effects sources (and their tests).
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "effects/effects.h"
#include "main/frame_timer.h"
#include "platform/image.h"
#include "platform/mathdeg.h"
#include "platform/random.h"

// Every image the effects draw, loaded once by EffectImages_Load (copies with their handles centred). Null when the
// file is missing: such objects draw nothing.
struct FxImages {
    ImagePtr spark1, spark2, spark3, spark4, spark5, spark7, spark8, spark10, spark11, spark12, spark13, spark14,
        spark15, spark19, shine1, skyStar2;
    ImagePtr spark6;      // 32 frames of 32x32
    ImagePtr spark9;      // 32 frames of 32x32
    ImagePtr spark17;     // 24 frames of 64x64
    ImagePtr spark18;     // 24 frames of 64x64
    ImagePtr goldCoin;    // 16 frames of 32x32
    ImagePtr combo;       // 32 frames of 96x96
    ImagePtr chainLink;   // 15 frames of 28x20
    ImagePtr youWinTitle; // "images/interface/youwin.png", the flying titles
    ImagePtr youWin[24];  // the you-win dissolve sources
    ImagePtr youLose;     // the you-lose dissolve source
};
extern FxImages Fx_Img;

// Frame time of the passes: dt in seconds (the measured time, at most 0.2 s like the ms value) and ms.
inline float Fx_Dt() { return std::clamp(Frame_DeltaSec, 0.0f, 0.2f); }
inline float Fx_Ms() { return Frame_DeltaMs; }
// Frame time a creator bakes into its velocities: clamped to 5..50 ms, so that a hitch frame does not give its
// objects a speed they keep for their whole life.
inline float Fx_CreateDt() { return std::clamp(Frame_DeltaSec, 0.005f, 0.05f); }
inline int32_t Fx_Fps() { return Fps_Instant; }

inline float Rf(float a, float b) { return Rand_Float(a, b); }
inline int32_t Ri(int32_t a, int32_t b) { return Rand_Int(a, b); }
inline int32_t ToInt(float v) { return std::isfinite(v) ? int32_t(std::clamp(v, -2.0e9f, 2.0e9f)) : 0; }
inline float CosT(int deg) { return Cos_Table[deg >= 0 && deg <= 360 ? deg : Deg_Wrap(deg)]; }
inline float SinT(int deg) { return Sin_Table[deg >= 0 && deg <= 360 ? deg : Deg_Wrap(deg)]; }

// True when the layer was drawn by one of the last three layer passes: the current screen draws it, so a child
// made for it will be seen (and retired). Children for layers no pass draws are not made.
bool Fx_LayerShown(int32_t layer);
void Fx_CountPass(int32_t layer);
// Marks an object removed during a walk; the walk's end drops it from the list.
void Fx_Remove(Gfx_Obj& o);
// True when enough removed objects have piled up to drop them: an eighth of the list (`always`: the update pass) or
// a quarter (the layer passes).
bool Fx_SweepDue(bool always);
// Drops the removed objects from the list, moving the others down in order, and calls `visit` on each of them (and
// on the children it appends) once it stands in its new place; one walk over the list instead of two.
void Fx_SweepWalk(void (*visit)(Gfx_Obj&));
// Drops removed objects from the list (stable) when Fx_SweepDue says so.
void Fx_Compact(bool always = false);
// The objects of a drawn layer (-10, 10, 20) in list order, removed ones included until their layer's pass drops
// them; null for a layer no pass draws. The list's compaction makes them anew.
std::vector<Gfx_Obj*>* Fx_LayerObjects(int32_t layer);
// How many of n objects a creator may still make under the cap; the rest count as dropped.
int32_t Fx_Room(int32_t n);

// Each kind's rules (kinds.cpp): the update rule (motion, trails, removal by motion) and the draw rule (drawing, then
// fades, growth, frames and turning, removal by time). Kinds without a rule have a do-nothing function there.
using FxRule = void (*)(Gfx_Obj&);
struct FxKindRules {
    FxRule update, draw;
};
extern const std::array<FxKindRules, FX_KIND_END> Fx_Kinds;
// The rules of a kind; null for a number outside the table.
inline const FxKindRules* Fx_RulesOf(int32_t kind) {
    return kind >= 0 && kind < FX_KIND_END ? &Fx_Kinds[size_t(kind)] : nullptr;
}
