// A simple greedy player of the board rules: it picks the move that clears the most tiles (or comes nearest to
// them), fires launchers on tiled rows, and plays the level with a fixed frame time until it is won or the time
// runs out. Used by the level generator (to fit each level's time) and by the level-set test.
#pragma once

#include <cstdint>

#include "board/board.h"

struct SolveResult {
    bool won = false;         // Level_EndState reached 2
    int64_t timeMs = 0;       // game time played, ms
    int32_t moves = 0;        // swaps and launcher clicks made
    int32_t matchedCells = 0; // cells of every group resolved (hammer charge)
    int32_t score = 0;        // points the game scored (without the time bonus)
};

// Plays the loaded level. Stops after limitMs of game time. dtMs is the frame time of the simulation.
SolveResult Solver_Play(int64_t limitMs, float dtMs = 20.0f);
// The move the solver would make now, without making it (the play tests click it with the mouse).
bool Solver_ChooseMove(Point& a, Point& b);
// A launcher the solver would fire now.
bool Solver_ChooseLauncher(Point& at);
