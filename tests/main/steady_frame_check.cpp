// No heap allocation in a steady frame of the game screen: a busy board (bench/busy_board.h, the board the frame
// bench times) is played until its pieces, list nodes and effects have come and gone a few hundred times, then every
// allocation inside Game_Frame is counted over the next frames. Its own executable (tests/main/CMakeLists.txt): it
// replaces the global operator new to count.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <tuple>

#include "busy_board.h"
#include "effects/effects.h"

namespace {
std::atomic<long> g_allocs{0};
std::atomic<bool> g_counting{false};
} // namespace

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t n) {
    if (g_counting) g_allocs.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {
using namespace busy_board;

// Runs n frames of the busy board; returns the allocations made inside Game_Frame and the effect objects seen.
long Frames(int n, long& effects) {
    g_allocs = 0;
    for (int i = 0; i < n; ++i) {
        MoveIfIdle();
        g_counting = true;
        Game_Frame();
        g_counting = false;
        effects += Effects_LiveCount();
        Graphics_Flip(0);
        KeepGoing();
    }
    return g_allocs.load();
}

TEST(SteadyFrame, ResolvingBoardAllocatesNothing) {
    ASSERT_TRUE(Open());
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
