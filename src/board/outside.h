// The board's calls into the other subsystems (sounds, gem bag, hammers, effects, tutorial, tips), in one place so
// that they can be switched off together while the board plays alone (Board_Notify 0: the asset generator and the
// level fuzzer, which run without the rest of the game set up). Private to src/board.
#pragma once

#include <cstdint>

#include "board/board.h"
#include "main/audio.h"
#include "main/entry_points.h"

namespace outside {

inline void Snd_PlayIndex(int32_t id, float pan = 0) {
    if (Board_Notify) ::Snd_PlayIndex(id, pan);
}
inline void Snd_PlayGrouped(int32_t id, float pan) {
    if (Board_Notify) ::Snd_PlayGrouped(id, pan);
}
inline void Snd_PlayDelayed(int32_t id, float delayMs, float pan) {
    if (Board_Notify) ::Snd_PlayDelayed(id, delayMs, pan);
}
inline float Snd_PanAt(int32_t x) { return Board_Notify ? ::Snd_PanAt(x) : 0.0f; }
inline void Gems_Add(int32_t colour, int32_t amount) {
    if (colour >= KIND_GEM_FIRST && colour <= KIND_GEM_LAST)
        Level_Gems[size_t(colour)] += amount; // a restart takes them back
    if (Board_Notify) ::Gems_Add(colour, amount);
}
inline void Hammer_AddCharge(int32_t charge) {
    if (Board_Notify) ::Hammer_AddCharge(charge);
}
inline void Gfx_Kind4At(int32_t x, int32_t y) {
    if (Board_Notify) ::Gfx_Kind4At(x, y);
}
inline void Gfx_RemovedPieceBurst(float x, float y, float factor) {
    if (Board_Notify) ::Gfx_RemovedPieceBurst(x, y, factor);
}
inline void Gfx_Kind22Burst(float x, float y, float factor) {
    if (Board_Notify) ::Gfx_Kind22Burst(x, y, factor);
}
inline void Gfx_ExplosionSparks(int32_t x, int32_t y) {
    if (Board_Notify) ::Gfx_ExplosionSparks(x, y);
}
inline void Tutorial_OnEvent1() {
    if (Board_Notify) ::Tutorial_OnEvent1();
}
inline void Tutorial_OnEvent2(int32_t x, int32_t y) {
    if (Board_Notify) ::Tutorial_OnEvent2(x, y);
}
inline void Tutorial_OnEvent3(int32_t x, int32_t y) {
    if (Board_Notify) ::Tutorial_OnEvent3(x, y);
}
inline void Tutorial_OnEvent4(int32_t x, int32_t y) {
    if (Board_Notify) ::Tutorial_OnEvent4(x, y);
}
inline void Tutorial_OnEvent5(int32_t x, int32_t y) {
    if (Board_Notify) ::Tutorial_OnEvent5(x, y);
}
inline void Tutorial_OnManaChanged(int32_t amount, int32_t reachedCap) {
    if (Board_Notify) ::Tutorial_OnManaChanged(amount, reachedCap);
}
inline void Tips_SetSnowballPoint(int32_t x, int32_t y) {
    if (Board_Notify) ::Tips_SetSnowballPoint(x, y);
}
// Level start: particles, effects, tutorial run and tips.
inline void LevelStarted() {
    if (!Board_Notify) return;
    ::Particles_Reset();
    ::Effects_Clear();
    ::Tutorial_ResetRun();
    ::Tips_Place();
}

} // namespace outside
