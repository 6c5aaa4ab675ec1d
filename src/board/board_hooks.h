// The board's calls upward: every call the board's files (its rules, pieces, play loop, hammers and saved match) make
// into the sounds, the castle (gems, animations, spells, saved progress), the menus (tutorial events, tips, boxes,
// high scores), the effects and the level editor, as one table of plain function values. The runtime fills it at
// start-up; until then, and in programs that run the board alone (the level generator, the level fuzzer), every
// entry is a shared do-nothing function, never null. Tests replace single entries to watch what the board reports.
// The game screen (src/game) sits above every subsystem and calls them directly, not through this table.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/image.h"

#include "board/pieces.h"

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
    void (*Gfx_ExplosionRays)(int32_t x, int32_t y);               // a bomb went off (x, y: cell centre)
    void (*Gfx_Explosion16)(int32_t x, int32_t y);                 // a tile level went down (x, y: cell centre)
    void (*Gfx_BlockerHit16)(int32_t x, int32_t y);                // a crate lost a layer (x, y: cell centre)
    void (*Gfx_Sparks)(int32_t x, int32_t y);                      // a chain broke or a piece thawed (cell centre)
    void (*Gfx_BurstAtCell)(float x, float y, float factor);       // a piece left its cell (x, y: top-left)
    void (*Gfx_Kind21Burst)(float x, float y, float factor);       // a rocket's trail at its position
    void (*Gfx_Kind37Circle)(const PiecePtr& piece);               // circle around a new special piece
    void (*Gfx_CoinCollected)(float x, float y);                   // a coin was collected (x, y: its centre)
    void (*Gfx_BottleCollected)(float x, float y);                 // a mana bottle was collected (its centre)
    void (*Gfx_CollectRing)(int32_t x, int32_t y);                 // ring at the counter a collection goes to
    void (*Gfx_DestroySparks)(int32_t x, int32_t y);               // a removed piece is gone (x, y: its centre)
    void (*Gfx_MatchTrail)(float scale, int32_t n);                // comets from the matched cells to the hammers
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

    // The play loop's calls upward (play.cpp, hammers.cpp, match_file.cpp).
    // Castle: the castle's progress kept in the saved match.
    std::vector<int32_t> (*Castle_SaveState)();                   // its values (do-nothing: none)
    void (*Castle_LoadState)(const std::vector<int32_t>& values); // puts them back (an empty list: a fresh castle)
    void (*Castle_ResetProgress)();                               // a new match: nothing built, no gems
    // Castle: the spells. While a spell takes the board's clicks the board ignores them; while time stands still the
    // level time does not run.
    void (*Spells_LevelStart)();     // a level starts: no spell running
    int32_t (*Spells_TakesClicks)(); // 1 while a spell takes the board's clicks (do-nothing: 0)
    int32_t (*Spells_TimeStands)();  // 1 while the time stop runs (do-nothing: 0)
    // A hammer became available: particles fly from its icon (source) at screen (x, y); awayFromPoint picks the
    // second flight, one lit pixel in `thinning` makes a particle with the sprite (frames 0: a still picture).
    void (*Particles_HammerBurst)(const ImagePtr& source, int32_t awayFromPoint, int32_t thinning, int32_t x, int32_t y,
                                  const ImagePtr& sprite, int32_t frames, float startScale);
    // Boxes and dialogs of the menus the play loop opens.
    void (*MsgBox_Level_Open)();       // the time offer
    void (*MsgBox_LevelDone_Open)();   // "Level N" after the light sweep
    void (*MsgBox_LevelsEnded_Open)(); // no level left
    void (*MsgBox_HighScore_Open)();   // game over without a high-score place
    void (*MsgBox_CastlesDone_Open)(); // the castles are finished
    void (*Wallpapers_Open)();         // the wallpapers dialog
    void (*HighScores_Open)(int32_t highlight, int32_t mode);
    int32_t (*Highscores_FindRank)(int32_t score); // place 0..7, -1 none (do-nothing: -1)
    void (*Highscores_Add)(int32_t place);
    // A game-over entry with every field: player, score, start level, last level, playing time in seconds.
    void (*Highscores_Insert)(int32_t place, int32_t player, int32_t score, int32_t startLevel, int32_t lastLevel,
                              int32_t playSeconds);
    void (*Highscores_Save)();
    // Tutorial events and tips of the play loop.
    void (*Tutorial_OnEvent6)(int32_t n);                // hammer n became available
    void (*Tutorial_OnEvent7)(int32_t charge);           // the hammer charge grew
    int32_t (*Tutorial_OnEvent12)(int32_t x, int32_t y); // a board click; 0 swallows it (do-nothing: 1)
    int32_t (*Tutorial_OnEvent14)(int32_t x, int32_t y); // a hammer strike; 0 holds it (do-nothing: 1)
    void (*Tutorial_OnEvent15)();                        // the light sweep starts
    void (*Tutorial_ClearFlags)(int32_t all);            // a new match
    void (*Tips_CheckBoard)();                           // light sweep: tips about the new board
    // The level editor over the game screen while it test-plays.
    int32_t (*Editor_IsTesting)();
    void (*Editor_EndTest)(); // the level of a test run ended: the editor takes its board back
};

// The table in force. The runtime fills it at start-up; Board_HooksDefault() gives the do-nothing table.
extern BoardHooks Board_Hooks;
BoardHooks Board_HooksDefault();
