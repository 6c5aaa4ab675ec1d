// The busy game screen that bench/game_frame_bench.cpp times and tests/main/steady_frame_check.cpp checks for heap
// allocations: the whole game headless behind the board, a board of gems with tile levels, spawners and random
// bombs and line blasts, and a move made whenever it rests. Header-only; included by those two files.
#pragma once

#include <cstdlib>

#include "board/board_hooks.h"
#include "board/play.h"
#include "castle/castle.h"
#include "effects/effects.h"
#include "main/assets.h"
#include "main/config.h"
#include "main/fonts.h"
#include "main/frame_timer.h"
#include "game/startup.h"
#include "main/screens.h"
#include "platform/graphics.h"
#include "platform/incbin.h"
#include "platform/input.h"
#include "platform/random.h"
#include "platform/system.h"

namespace busy_board {

// The offscreen window, the assets and the whole game behind the board (castle, effects, tips); once per process.
inline bool Open() {
    static bool ready = false;
    if (ready) return true;
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_RENDER_DRIVER", "software", 0);
    setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("BQ_HEADLESS", "1", 0);
    Sys_Init(0, nullptr);
    if (!Graphics_Open(800, 600, true)) return false;
    Incbin_RegisterBuiltin();
    Runtime_InstallHooks();
    Images_LoadAll(); // the effect images and their atlas, as at the game's start
    Fonts_Load();
    Board_Init();
    Hammers_Load();
    Castle_Init();
    ready = true;
    return true;
}

// A board of the size with gems of six colours, two tile levels everywhere, spawners in row 0, some bombs and line
// blasts, in relaxed play (the time stands still). The same board for the same size.
inline void Fill(int32_t cols, int32_t rows) {
    // Every hammer's bursts once, drawn once (the first burst reads its icon's pixels, the first draw of a sprite
    // makes its texture), then the level starts afresh.
    Hammer_AddCharge(Hammers[Hammer_Count - 1].Threshold);
    for (int i = 0; i < 120; ++i) { // two seconds of 16 ms frames: every particle has appeared
        Particles_Draw();
        Graphics_Flip(0);
    }
    Hammers_Reset();
    Rand_Seed(42);
    Relaxed_Mode = 1;
    Board_Cols = cols;
    Board_Rows = rows;
    for (int32_t& w : Spawn_Weights)
        w = 0;
    for (int32_t k = 1; k <= 6; ++k)
        Spawn_Weights[k] = 10;
    Level_BombPercent = Level_LaserPercent = 3;
    Level_SilverCoinInterval = 10;
    Level_BuildSpawnTable();
    Level_Start();
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t c = 0; c < cols; ++c) {
            Table_cell& cell = Board_Cells[c][r];
            cell.TileLevel = cell.BaseTileLevel = 2;
            PiecePtr p = Piece_CreateGem(Cell_PixelX(c), Cell_PixelY(r), 1 + (c + 2 * r) % 5);
            p->Col = c;
            p->Row = r;
            cell.Piece = p;
        }
    Play_ResetLevel();
    Level_Sweeping = 0;
    Screen_Current = kScreenGame;
    Game_Paused = 0;
}

// A move wherever one is found, so that the board keeps falling and matching.
inline void MoveIfIdle() {
    if (!Board_Idle()) return;
    for (int32_t c = 0; c < Board_Cols; ++c)
        for (int32_t r = 0; r < Board_Rows; ++r) {
            if (Board_FindMoves(c, r, c + 1, r) && Board_Swap(c, r, c + 1, r)) return;
            if (Board_FindMoves(c, r, c, r + 1) && Board_Swap(c, r, c, r + 1)) return;
        }
}

// Keeps the board busy for ever: when the level would end or half its tiles are gone, the tiles come back.
inline void KeepGoing() {
    if (Level_EndState > 0 || Board_TilesLeft() < Board_Cols * Board_Rows / 2) {
        for (int32_t c = 0; c < Board_Cols; ++c)
            for (int32_t r = 0; r < Board_Rows; ++r)
                Board_Cells[c][r].TileLevel = 2;
        Level_EndState = 0;
    }
}

} // namespace busy_board
