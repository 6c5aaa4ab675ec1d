// Do-nothing stand-ins for the effect objects, map effects and particles until they land.
// Library bq_effects; callers reach them through main/entry_points.h.
// Landing: define a function in your own source and delete it here; delete this file when it is empty.
#include "main/entry_points.h"

void EffectImages_Load() {}
void Particles_InitTables() {}
void Particles_Reset() {}
void Particles_FromImage(const ImagePtr&, ParticleStartFn, ParticleCreateFn, ParticleStepFn, int32_t, int32_t, int32_t,
                         float, const ImagePtr&, int32_t, float, int32_t) {}
Particle* Particle_NewFromPixel(int32_t, int32_t) { return nullptr; }
Particle* Particle_NewFromPixel2(int32_t, int32_t) { return nullptr; }
void Particle_Step(Particle&) {}
void Particles_Draw() {}
void Effects_Clear() {}
void Effects_UpdateAll() {}
void Effects_DrawBehind() {}
void Effects_DrawAbove() {}
void Effects_DrawTop() {}
void MapEffects_RunAll() {}
void Gfx_Kind4At(int32_t, int32_t) {}
void Gfx_RemovedPieceBurst(float, float, float) {}
void Gfx_Kind22Burst(float, float, float) {}
void Gfx_ExplosionSparks(int32_t, int32_t) {}
