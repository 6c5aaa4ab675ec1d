// The effects' public services: effect objects and their passes, the creators the board, pieces, hammers, spells,
// the level end and the main menu call, map effects and image particles. Called by the runtime (start-up), the
// board's play loop (through board/board_hooks.h), the castle and the menus. The effects read the board directly;
// the one value they need from the castle comes through Effects_Hooks below.
#pragma once

#include <cstdint>

#include "board/pieces.h"
#include "platform/image.h"

struct Particle;                                                // one image particle (the particle module defines it)
using ParticleStartFn = void (*)();                             // run once before an emission
using ParticleCreateFn = Particle* (*)(int32_t px, int32_t py); // makes a particle for a lit source pixel (or null)
using ParticleStepFn = void (*)(Particle& p);                   // moves and fades one particle per frame

// ---- Passes and lists ------------------------------------------------------------------------------------------
void EffectImages_Load();                                   // from Images_LoadAll: the effect images
void Particles_InitTables();                                // start-up: sine/cosine and particle tables
void Particles_Reset();                                     // level start: removes every particle
void Particles_Draw();                                      // game frame
void Effects_Clear();                                       // level start: removes every effect object
void Effects_UpdateAll();                                   // per frame of screens 1, 5, 6
void Effects_DrawBehind();                                  // drawn before the pieces
void Effects_DrawAbove();                                   // drawn after the pieces
void Effects_DrawTop();                                     // drawn after the in-game interface
void MapEffects_RunAll();                                   // updates and draws the map effects
void Gfx_Kind4At(int32_t x, int32_t y);                     // beam cross through the cell at top-left (x, y)
void Gfx_RemovedPieceBurst(float x, float y, float factor); // a piece left its cell (x, y: its top-left)
void Gfx_Kind22Burst(float x, float y, float factor);       // a group left a special piece in the cell
void Gfx_ExplosionSparks(int32_t x, int32_t y);             // a cell exploded (x, y: its centre)

// ---- Creators: board and pieces (nothing is returned; each appends objects to the effect list) ------------------
void Gfx_Create(const ImagePtr& image, int32_t kind, int32_t x, int32_t y, float vx, float vy, int32_t delayMs,
                float alpha, float scale, int32_t layer, int32_t counter);
void Gfx_CreateSimple(const ImagePtr& image, int32_t kind, int32_t x, int32_t y, float alpha, float scale,
                      int32_t turnRate, int32_t turnAccel, int32_t layer);
void Gfx_BurstAtCell(float x, float y, float factor);   // a piece destroyed by a blast (x, y: cell top-left)
void Gfx_CoinCollected(float x, float y);               // a coin was collected
void Gfx_BottleCollected(float x, float y);             // a mana bottle was collected
void Gfx_CollectRing(int32_t x, int32_t y);             // a coin or bottle reached the bag
void Gfx_RectEdgeSparks(float x, float y, float scale); // sparks around a cell (x, y: its top-left)
void Gfx_Kind8Line(int32_t x, int32_t y, int32_t stepX, int32_t stepY); // the hint line between two cells
void Gfx_Kind21Burst(float x, float y, float factor);                   // a rocket moves
void Gfx_Kind40Burst(float x, float y, float factor, int32_t layer);    // colour trail (level end)
void Gfx_MatchTrail(float scale, int32_t perCell);                      // the hammer charge grows after a match
void Gfx_ExplosionRays(int32_t x, int32_t y);                           // a cell explodes (rays)
void Gfx_Explosion16(int32_t x, int32_t y);                             // a cell explodes (16 chips)
void Gfx_BlockerHit16(int32_t x, int32_t y);                            // a blocker is hit (x, y: the cell centre)
void Gfx_Sparks(int32_t x, int32_t y);                                  // sparks at a piece centre
void Gfx_DestroySparks(int32_t x, int32_t y);                           // a piece object is destroyed
void Gfx_Kind37Circle(const PiecePtr& piece);                           // glow that follows a special piece

// ---- Creators: spells, level end and main menu -----------------------------------------------------------------
void Gfx_LevelEndTiles(); // entering the level end: every playable cell takes off
void Gfx_Kind11Ring();    // level-end frame: star streaks
void Gfx_Kind12Ring();    // level-end frame: 3D tile rings
void Gfx_Kind15Burst();   // level-end frame: flying titles
void Gfx_SpellBurst(int32_t x, int32_t y, const PiecePtr& piece); // a spell hits a piece
void Gfx_Circle360(int32_t x, int32_t y);                         // the bomb spell
void Gfx_Kind34At(float x, float y);                              // the tar destroyer, per tar piece
void Gfx_Star360(int32_t x, int32_t y);                           // gems reach the bag
void Gfx_Kind25Circle(int32_t x, int32_t y);                      // entering the main menu
void Gfx_RingUpdate(float baseScale); // spell previews: advances the ring glow (adds nothing)
void Gfx_Ring(int32_t clipX, int32_t clipY, int32_t clipW, int32_t clipH, int32_t x, int32_t y, float alpha);
void Gfx_DrawStrip(int32_t x, int32_t y, int32_t w, int32_t h, const ImagePtr& image, int32_t frame, int32_t count,
                   int32_t step, float alpha, float rotation); // dots marching around a rectangle (adds nothing)

// ---- Image particles ---------------------------------------------------------------------------------------------
// Emits particles from the lit pixels of a source image (the hammer icons); see the particle module.
void Particles_FromImage(const ImagePtr& source, ParticleStartFn start, ParticleCreateFn create, ParticleStepFn step,
                         int32_t thinning, int32_t originX, int32_t originY, float scale, const ImagePtr& sprite,
                         int32_t frames, float startScale, int32_t frameDelay);
Particle* Particle_NewFromPixel(int32_t px, int32_t py);  // creation callback: flies in a fixed direction
Particle* Particle_NewFromPixel2(int32_t px, int32_t py); // creation callback: flies away from a point of the image
void Particle_Step(Particle& p);                          // the step function of both kinds

// ---- Calls upward (the castle's time-stop spell), filled by the runtime; do-nothing until then ---------------------
struct EffectsHooks {
    float (*Freeze_TimeLeft)();  // s left of the running time-stop spell (do-nothing: 0)
    float (*Freeze_TimeTotal)(); // its full duration, s (do-nothing: 0: no spell runs)
};
extern EffectsHooks Effects_Hooks;
EffectsHooks Effects_HooksDefault();
