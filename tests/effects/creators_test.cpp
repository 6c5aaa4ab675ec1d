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
        EXPECT_FLOAT_EQ(o.TrailScale(), 0.1f);
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

// Every creator's count at a given frame rate, as the game's rules give it (the counted bursts, floors and caps).
TEST_F(CreatorTest, EveryCreatorMakesItsCount) {
    Fx_SetBoard(4, 3, 48);
    auto piece = std::make_shared<Piece>();
    struct Row {
        const char* what;
        int fps, lowFps;
        void (*make)(const std::shared_ptr<Piece>&);
        int kind, count;
    };
    using P = const std::shared_ptr<Piece>&;
    static const Row rows[] = {
        {"burst at cell", 60, 0, [](P) { Gfx_BurstAtCell(100, 50, 0.1f); }, 5, 6},
        {"burst at cell, factor 0", 60, 0, [](P) { Gfx_BurstAtCell(100, 50, 0.0f); }, 5, 1},
        {"removed piece", 60, 0, [](P) { Gfx_RemovedPieceBurst(100, 50, 0.1f); }, 9, 6},
        {"coin", 60, 0, [](P) { Gfx_CoinCollected(100, 50); }, 24, 1},
        {"bottle", 60, 0, [](P) { Gfx_BottleCollected(100, 50); }, 25, 1},
        {"collect ring", 60, 0, [](P) { Gfx_CollectRing(700, 300); }, 29, 60},
        {"gem bag ring", 60, 0, [](P) { Gfx_Star360(700, 300); }, 29, 60},
        {"edge sparks", 60, 0, [](P) { Gfx_RectEdgeSparks(100, 50, 0.4f); }, 6, 48},
        {"hint dots", 60, 0, [](P) { Gfx_Kind8Line(100, 50, 1, 0); }, 8, 17},
        {"rocket", 60, 0, [](P) { Gfx_Kind21Burst(100, 50, 0.0005f); }, 21, 1},
        {"launcher made", 60, 0, [](P) { Gfx_Kind22Burst(100, 50, 0.2f); }, 22, 12},
        {"colour trails", 60, 0, [](P) { Gfx_Kind40Burst(100, 50, 0.1f, 10); }, 40, 6},
        {"explosion sparks", 60, 0, [](P) { Gfx_ExplosionSparks(300, 300); }, 18, 60},
        {"explosion sparks, slow", 30, 0, [](P) { Gfx_ExplosionSparks(300, 300); }, 18, 50},
        {"explosion rays: shards", 60, 0, [](P) { Gfx_ExplosionRays(300, 300); }, 16, 8},
        {"explosion rays: sparks", 60, 0, [](P) { Gfx_ExplosionRays(300, 300); }, 17, 30},
        {"explosion rays: sparks, fast", 120, 0, [](P) { Gfx_ExplosionRays(300, 300); }, 17, 50},
        {"tile chips", 60, 0, [](P) { Gfx_Explosion16(300, 300); }, 36, 16},
        {"crate chips", 60, 0, [](P) { Gfx_BlockerHit16(300, 300); }, 36, 16},
        {"chain links", 60, 0, [](P) { Gfx_Sparks(300, 300); }, 20, 20},
        {"chain links, fast", 100, 0, [](P) { Gfx_Sparks(300, 300); }, 20, 30},
        {"destroy sparks", 60, 0, [](P) { Gfx_DestroySparks(300, 300); }, 35, 10},
        {"destroy sparks, fast", 110, 0, [](P) { Gfx_DestroySparks(300, 300); }, 35, 11},
        {"piece glows", 60, 0, [](P p) { Gfx_Kind37Circle(p); }, 37, 3},
        {"level-end tiles", 60, 0, [](P) { Gfx_LevelEndTiles(); }, 14, 12},
        {"star streaks", 60, 0, [](P) { Gfx_Kind11Ring(); }, 11, 31},
        {"tile rings", 60, 0, [](P) { Gfx_Kind12Ring(); }, 12, 31},
        {"tile rings, mode 1", 60, 1, [](P) { Gfx_Kind12Ring(); }, 12, 22},
        {"tile rings, mode 2", 60, 2, [](P) { Gfx_Kind12Ring(); }, 12, 10},
        {"tile rings at the cap", 100, 0, [](P) { Gfx_Kind12Ring(); }, 12, 41},
        {"tile rings at the cap, mode 1", 250, 1, [](P) { Gfx_Kind12Ring(); }, 12, 41},
        {"tile rings at the cap, mode 2", 400, 2, [](P) { Gfx_Kind12Ring(); }, 12, 41},
        {"flying titles", 60, 0, [](P) { Gfx_Kind15Burst(); }, 15, 3},
        {"flying titles, slow", 14, 0, [](P) { Gfx_Kind15Burst(); }, 15, 1},
        {"flying titles, fast", 500, 0, [](P) { Gfx_Kind15Burst(); }, 15, 3},
        {"tar destroyer", 60, 0, [](P) { Gfx_Kind34At(100, 50); }, 34, 1},
        {"main menu glows", 60, 0, [](P) { Gfx_Kind25Circle(400, 300); }, 25, 3},
    };
    const int32_t mode = LowFps_Mode;
    for (const Row& r : rows) {
        Effects_Clear();
        Fx_SetClock(1000.0f / float(r.fps), r.fps);
        LowFps_Mode = r.lowFps;
        r.make(piece);
        EXPECT_EQ(Fx_CountKind(r.kind), r.count) << r.what;
    }
    LowFps_Mode = mode;
    // The charge comets: n + 1 per matched cell.
    Effects_Clear();
    Fx_SetClock(1000.0f / 60, 60);
    Match_Count = 3;
    Match_List[0] = Point{0, 0};
    Match_List[1] = Point{1, 0};
    Match_List[2] = Point{2, 0};
    Gfx_MatchTrail(1.0f, 3);
    EXPECT_EQ(Fx_CountKind(19), 12);
    // A tile set the level end did not choose makes no tile ring.
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
