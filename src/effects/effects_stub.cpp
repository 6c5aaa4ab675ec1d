// Do-nothing stand-ins for the effect objects, map effects and particles until they land.
// Library bq_effects; callers reach them through effects/effects.h.
// Landing: define a function in your own source and delete it here; delete this file when it is empty.
#include "effects/effects.h"

void EffectImages_Load() {}
void Particles_InitTables() {}
void Particles_Reset() {}
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

void Gfx_Create(const ImagePtr&, int32_t, int32_t, int32_t, float, float, int32_t, float, float, int32_t, int32_t) {}
void Gfx_CreateSimple(const ImagePtr&, int32_t, int32_t, int32_t, float, float, int32_t, int32_t, int32_t) {}
void Gfx_BurstAtCell(float, float, float) {}
void Gfx_CoinCollected(float, float) {}
void Gfx_BottleCollected(float, float) {}
void Gfx_CollectRing(int32_t, int32_t) {}
void Gfx_RectEdgeSparks(float, float, float) {}
void Gfx_Kind8Line(int32_t, int32_t, int32_t, int32_t) {}
void Gfx_Kind21Burst(float, float, float) {}
void Gfx_Kind40Burst(float, float, float, int32_t) {}
void Gfx_MatchTrail(float, int32_t) {}
void Gfx_ExplosionRays(int32_t, int32_t) {}
void Gfx_Explosion16(int32_t, int32_t) {}
void Gfx_BlockerHit16(int32_t, int32_t) {}
void Gfx_Sparks(int32_t, int32_t) {}
void Gfx_DestroySparks(int32_t, int32_t) {}
void Gfx_Kind37Circle(const PiecePtr&) {}
void Gfx_LevelEndTiles() {}
void Gfx_Kind11Ring() {}
void Gfx_Kind12Ring() {}
void Gfx_Kind15Burst() {}
void Gfx_SpellBurst(int32_t, int32_t, const PiecePtr&) {}
void Gfx_Circle360(int32_t, int32_t) {}
void Gfx_Kind34At(float, float) {}
void Gfx_Star360(int32_t, int32_t) {}
void Gfx_Kind25Circle(int32_t, int32_t) {}
void Gfx_RingUpdate(float) {}
void Gfx_Ring(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, float) {}
void Gfx_DrawStrip(int32_t, int32_t, int32_t, int32_t, const ImagePtr&, int32_t, int32_t, int32_t, float, float) {}
void Particles_FromImage(const ImagePtr&, ParticleStartFn, ParticleCreateFn, ParticleStepFn, int32_t, int32_t, int32_t,
                         float, const ImagePtr&, int32_t, float, int32_t) {}
