// The board's calls upward: every call the board and its play loop make into the sounds, the castle (gems), the
// menus (tutorial events, tips) and the effects, as one table of plain function values. The runtime fills it at
// start-up; until then, and in programs that run the board alone (the level generator, the level fuzzer), every
// entry is a shared do-nothing function, never null. Tests replace single entries to watch what the board reports.
#pragma once

#include <cstdint>

struct BoardHooks {
    // Sounds (main/audio.h): the board alone stays silent.
    void (*Snd_PlayIndex)(int32_t id, float pan);                  // one effect sound now
    void (*Snd_PlayGrouped)(int32_t id, float pan);                // one sound for many pieces in a frame
    void (*Snd_PlayDelayed)(int32_t id, float delayMs, float pan); // an effect sound after delayMs
    float (*Snd_PanAt)(int32_t x);                                 // pan for a screen x (do-nothing: 0, centred)
    // Castle: the gem bag.
    void (*Gems_Add)(int32_t colour, int32_t amount); // gems of a colour 0..6 won (or, negative, taken back)
    void (*Gems_LevelStart)();                        // level start: the level's own gem count back to 0
    // Castle: the part animations (settling parts, flags, smoke), at the end of the logic tick.
    void (*Castle_Animate)(float ms);
    // Effects and particles.
    void (*Gfx_Kind4At)(int32_t x, int32_t y);                     // beam cross through the cell at (x, y)
    void (*Gfx_RemovedPieceBurst)(float x, float y, float factor); // a piece left its cell (x, y: top-left)
    void (*Gfx_Kind22Burst)(float x, float y, float factor);       // a group left a special piece in the cell
    void (*Gfx_ExplosionSparks)(int32_t x, int32_t y);             // a cell exploded (x, y: its centre)
    void (*Particles_Reset)();                                     // level start: no particle left
    void (*Effects_Clear)();                                       // level start: no effect object left
    // Tutorial events (coordinates are board cell column and row) and tips.
    void (*Tutorial_OnEvent1)();                                        // a match group was scored and removed
    void (*Tutorial_OnEvent2)(int32_t x, int32_t y);                    // a cell with tile level >= 1 exploded
    void (*Tutorial_OnEvent3)(int32_t x, int32_t y);                    // a coin appeared
    void (*Tutorial_OnEvent4)(int32_t x, int32_t y);                    // a bottom-line piece (kind 16) was placed
    void (*Tutorial_OnEvent5)(int32_t x, int32_t y);                    // a mana bottle appeared
    void (*Tutorial_OnManaChanged)(int32_t amount, int32_t reachedCap); // event 17, after every change of Mana
    void (*Tutorial_ResetRun)();                                        // level start: steps may run again
    void (*Tips_Place)();                                               // level start: tips for the board
    void (*Tips_SetSnowballPoint)(int32_t x, int32_t y);                // a launcher was made at screen (x, y)
};

// The table in force. The runtime fills it at start-up; Board_HooksDefault() gives the do-nothing table.
extern BoardHooks Board_Hooks;
BoardHooks Board_HooksDefault();
