// Shared set-up of the board tests: boards drawn as text, an event recorder and a frame-stepping simulator.
// Used by every test of tests/board; implemented in board_helpers.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/level_file.h"
#include "board/rules.h"

namespace bt {

// Lays out a board from text rows (row 0 first), one character per cell:
//   '1'..'7' gem, '*' multicoloured, 'T' tar, 'A' amulet, 'L' launcher, 'o' silver coin,
//   '.' empty playable cell, '#' void cell, 'C' crate (one hit), 'D' crate (two hits).
// Every playable cell gets tile level `tile`; no spawners unless `spawners` (then row 0 spawns) and no spawn
// weights unless `colours` > 0 (then gems 1..colours weigh 1 each).
void Build(const std::vector<std::string>& rows, int32_t tile = 1, bool spawners = false, int32_t colours = 0);
// The board's pieces as text in the same notation ('.' empty, '#' void, '?' any other kind).
std::vector<std::string> Snapshot();
// Kind of the cell's piece, 0 when empty.
int32_t KindAt(int32_t c, int32_t r);
// Runs Board_Update with a fixed frame time until the board is idle (or maxFrames); returns the frames run.
int32_t Settle(int32_t maxFrames = 2000, float dtMs = 16.0f);

// Records the events the board reports.
struct Event {
    int32_t id, a, b;
    int32_t matchCount;              // Match_Count at the time
    std::vector<int32_t> matchKinds; // kinds of the pieces in the Match_List cells at the time (0 = empty)
    int32_t cellKind;                // kind of the piece in cell (a, b) at the time (0 = empty or no such cell)
};
extern std::vector<Event> Events;
void StartRecording(); // clears Events and puts recorders into the board's tutorial hooks
void StopRecording();  // the board's hook table back to its defaults

// The match's counters as a new match has them at `level`: no score, gold, mana or spells, mana cap 0, three lives.
void NewMatchCounters(int32_t level);

} // namespace bt
