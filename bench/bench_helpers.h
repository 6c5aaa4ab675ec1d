// Set-up shared by the benchmarks of this folder (bench_helpers.cpp): the boards they measure on.
#pragma once

#include <cstdint>

// Seeds the random numbers (42) and starts a level of cols x rows with six gem colours spawning alike from row 0;
// `extras` sets what else the level holds (coins, bombs, relaxed play) just before Level_Start. Every cell then
// holds a gem, in a colour pattern without a run of three in either direction.
void BenchBoard_Fill(int32_t cols, int32_t rows, void (*extras)());

// Fires at every cell of the board each creator a whole-board blast fires; with `listMatches` every cell also joins
// Match_List (Match_Count then counts the board's cells). On a 17 x 13 board or larger it runs into the effects' cap.
void BenchBoard_BlastEveryCell(bool listMatches);
