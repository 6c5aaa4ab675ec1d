// The creators of the board, spells, level end and main menu, and the spell previews' immediate drawing: counts,
// floors and caps, placements, guards against bad arguments and the frame time baked into velocities.
#include <cmath>

#include "board/board.h"
#include "board/rules.h"
#include "effects/fx_helpers.h"
#include "main/frame_timer.h"

namespace {

using CreatorTest = FxTest;

TEST_F(CreatorTest, CountedBurstsHaveTheirFloors) {
    Fx_SetClock(16, 0);
    Gfx_BurstAtCell(100, 50, 0.1f);
    EXPECT_EQ(Fx_CountKind(5), 1);
    Gfx_RemovedPieceBurst(100, 50, 0.0f);
    EXPECT_EQ(Fx_CountKind(9), 1);
    Gfx_ExplosionSparks(100, 100);
    EXPECT_EQ(Fx_CountKind(18), 50);
    Gfx_Sparks(100, 100);
    EXPECT_EQ(Fx_CountKind(20), 20);
    Gfx_DestroySparks(100, 100);
    EXPECT_EQ(Fx_CountKind(35), 10);
    Gfx_CollectRing(700, 300);
    Gfx_Star360(700, 300);
    EXPECT_EQ(Fx_CountKind(29), 120);
    Effects_Clear();
    Fx_SetClock(16, 60);
    Gfx_Kind22Burst(100, 50, 0.1f);
    ASSERT_EQ(Fx_CountKind(22), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Effects_List[size_t(i)].delay, (i + 1) * 100);
}

TEST_F(CreatorTest, EdgeSparksRunRoundTheCell) {
    Gfx_RectEdgeSparks(100, 50, 0.8f);
    ASSERT_EQ(Effects_List.size(), 48u);
    EXPECT_EQ(Effects_List[0].x, 101);
    EXPECT_EQ(Effects_List[11].x, 145);
    EXPECT_EQ(Effects_List[24].x, 148); // bottom edge from the right
    EXPECT_EQ(Effects_List[47].delay, 941);
    for (const Gfx_Obj& o : Effects_List)
        EXPECT_EQ(o.kind, 6);
}

TEST_F(CreatorTest, MatchTrailFollowsTheGroup) {
    Match_Count = 0;
    Gfx_MatchTrail(1.0f, 3);
    EXPECT_TRUE(Effects_List.empty());
    Match_Count = 2;
    Match_List[0] = Point{0, 0};
    Match_List[1] = Point{3, 4};
    Match_Kind = 2;
    Gfx_MatchTrail(1.0f, 0);
    EXPECT_EQ(Fx_CountKind(19), 2);
    Effects_Clear();
    Gfx_MatchTrail(0.1f, 2); // no scale reduction range: no trap
    ASSERT_EQ(Fx_CountKind(19), 6);
    for (const Gfx_Obj& o : Effects_List) {
        EXPECT_FLOAT_EQ(o.extra, 0.1f);
        EXPECT_EQ(o.layer, 20);
        EXPECT_GE(o.colR, 205);
        EXPECT_GE(o.delay, 1000);
    }
}

TEST_F(CreatorTest, AHitchFrameDoesNotBakeItsTimeIntoVelocities) {
    Frame_DeltaSec = 2.0f; // a two-second stall (a window drag)
    Frame_DeltaMs = 200;
    Gfx_BurstAtCell(100, 50, 0.5f);
    for (const Gfx_Obj& o : Effects_List) {
        EXPECT_LE(std::fabs(o.velX), 60 * 0.05f);
        EXPECT_LE(std::fabs(o.velY), 60 * 0.05f);
    }
}

TEST_F(CreatorTest, AnglesNeverLeaveTheTables) {
    Rand_Seed(1);
    for (int i = 0; i < 200; ++i) {
        Gfx_ExplosionRays(300, 300);
        Gfx_Explosion16(300, 300);
    }
    for (const Gfx_Obj& o : Effects_List) {
        EXPECT_GE(o.heading, 0.0f);
        EXPECT_LT(o.heading, 360.0f);
        EXPECT_GE(o.frame, 0.0f); // "random 0..16 minus 1" never gives frame -1
    }
}

TEST_F(CreatorTest, LevelEndTilesSkipVoidAndBorderCells) {
    Fx_SetBoard(4, 3, 48);
    Board_OriginX = 0; // column 0 lies on the view port's border
    Board_Cells[2][1].Void = 1;
    Gfx_LevelEndTiles();
    EXPECT_EQ(Fx_CountKind(14), 4 * 3 - 3 - 1); // column 0 lies on the border (x 0), one cell is void
    for (const Gfx_Obj& o : Effects_List)
        EXPECT_GT(o.x, 0);
    Board_Cells[2][1].Void = 0;
}

TEST_F(CreatorTest, LevelEndCountsAndCaps) {
    Fx_SetClock(16, 10);
    Gfx_Kind15Burst();
    EXPECT_EQ(Fx_CountKind(15), 1);
    Fx_SetClock(5, 200);
    Gfx_Kind15Burst();
    EXPECT_EQ(Fx_CountKind(15), 4);
    // Tile rings: at most 7 a frame in every slow mode, even at a high frame rate; a missing tile set makes none.
    const int32_t mode = LowFps_Mode;
    Fx_SetClock(4, 250);
    for (const int m : {0, 1, 2}) {
        Effects_Clear();
        LowFps_Mode = m;
        Gfx_Kind12Ring();
        EXPECT_LE(Fx_CountKind(12), 7) << m;
    }
    LowFps_Mode = mode;
    Effects_Clear();
    const int32_t set = LevelEnd_Tileset;
    LevelEnd_Tileset = -1;
    Gfx_Kind12Ring();
    EXPECT_EQ(Fx_CountKind(12), 0);
    LevelEnd_Tileset = set;
}

TEST_F(CreatorTest, SpellBurstMakes8To12) {
    for (int i = 0; i < 50; ++i) {
        Effects_Clear();
        Gfx_SpellBurst(100, 100, nullptr);
        EXPECT_GE(Fx_CountKind(31), 8);
        EXPECT_LE(Fx_CountKind(31), 12);
    }
}

TEST_F(CreatorTest, DrawStripWalksTheBorderAndRefusesBadCounts) {
    Gfx_DrawStrip(100, 100, 100, 50, Fx_Img.spark6, 5, 32, 10, 1, 0);
    int top = 0, bottom = 0;
    for (const FxDrawRec& d : sink.draws) {
        top += d.y == 100;
        bottom += d.y == 150;
    }
    EXPECT_EQ(top, 10 + 1); // x .. x+90, plus the right edge's first stop
    EXPECT_EQ(bottom, 10 + 1);
    EXPECT_EQ(sink.draws[0].frame, 5);
    EXPECT_EQ(sink.draws[1].frame, 6);
    sink.draws.clear();
    Gfx_DrawStrip(100, 100, 100, 50, Fx_Img.spark6, 0, 0, 10, 1, 0);
    Gfx_DrawStrip(100, 100, 100, 50, Fx_Img.spark6, 0, 32, 0, 1, 0);
    EXPECT_TRUE(sink.draws.empty());
}

TEST_F(CreatorTest, RingDrawsFourLayersClippedAndRestoresTheViewport) {
    Gfx_RingUpdate(1.0f);
    Gfx_Ring(10, 20, 30, 40, 25, 35, 0.5f);
    ASSERT_EQ(sink.draws.size(), 4u);
    ASSERT_EQ(sink.viewports.size(), 2u);
    EXPECT_EQ(sink.viewports[0].w, 30);
    EXPECT_EQ(sink.viewports[1].w, 800); // back to what it was
    EXPECT_EQ(sink.draws[0].s.blend, BLEND_ADDITIVE);
    EXPECT_EQ(Fx.rot, 0);
    EXPECT_TRUE(Effects_List.empty());
}

} // namespace
