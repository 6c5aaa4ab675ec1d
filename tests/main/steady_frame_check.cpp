// No heap allocation in a steady frame of the game screen: a busy board (bench/busy_board.h, the board the frame
// bench times) is played until its pieces, list nodes and effects have come and gone a few hundred times, then every
// allocation inside Game_Frame is counted over the next frames. Its own executable (tests/main/CMakeLists.txt): it
// replaces the global operator new to count.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "alloc_counter.h"
#include "busy_board.h"
#include "effects/effects.h"

namespace {
using namespace busy_board;

// Runs n frames of the busy board; returns the allocations made inside Game_Frame and the effect objects seen.
long Frames(int n, long& effects) {
    Alloc_Count = 0;
    for (int i = 0; i < n; ++i) {
        MoveIfIdle();
        Alloc_Counting = true;
        Game_Frame();
        Alloc_Counting = false;
        effects += Effects_LiveCount();
        Graphics_Flip(0);
        KeepGoing();
    }
    return Alloc_Count.load();
}

TEST(SteadyFrame, ResolvingBoardAllocatesNothing) {
    ASSERT_TRUE(Open());
    { // the counter counts (a zero below means something)
        Alloc_Count = 0;
        Alloc_Counting = true;
        auto* probe = new std::string(100, 'x');
        Alloc_Counting = false;
        delete probe;
        ASSERT_GE(Alloc_Count.load(), 1);
    }
    // The 48 x 48 board's cascades now and then draw more sprites than ever before in the run: the sprite batch's
    // vertex and index buffers then grow (doubling, never shrinking), a few times a run at most.
    for (const auto& [cols, rows, most] : {std::tuple{17, 13, 0L}, std::tuple{48, 48, 4L}}) {
        Fill(cols, rows);
        long effects = 0;
        Frames(600, effects); // warm up: textures, first cascades
        effects = 0;
        const long allocs = Frames(600, effects);
        EXPECT_GT(effects, 600) << cols << "x" << rows << ": the board must really be resolving";
        EXPECT_LE(allocs, most) << cols << "x" << rows << ": heap allocations in 600 steady frames";
    }
}

} // namespace
