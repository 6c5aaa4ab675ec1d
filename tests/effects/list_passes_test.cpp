// The effect list, the update pass and the layer passes: delays, walks that remove and append, the cap, the beam
// cross, the state after a pass, lifetimes that must end, clamping and frame checks.
#include <cmath>

#include <algorithm>
#include <tuple>

#include "board/board.h"
#include "board/pieces.h"
#include "board/rules.h"
#include "effects/fx_helpers.h"
#include "platform/random.h"

namespace {

using ListTest = FxTest;
using DrawTest = FxTest;

TEST_F(ListTest, DelayCountsDownInBothPassesOfTheGameButOnceOnTheMenu) {
    Gfx_Obj& o = Gfx_New(27, 100, 100, 250, -10);
    o.image = Fx_Img.spark1;
    o.alpha = 1;
    int frames = 0;
    while (sink.draws.empty() && frames < 100) {
        Fx_GameFrame();
        ++frames;
    }
    EXPECT_EQ(frames, 9); // 16 ms counted twice a frame: drawn in the frame after 128 ms
    Effects_Clear();
    sink.draws.clear();
    Gfx_Obj& m = Gfx_New(27, 100, 100, 250, -10);
    m.image = Fx_Img.spark1;
    m.alpha = 1;
    frames = 0;
    while (sink.draws.empty() && frames < 100) {
        Effects_DrawBehind(); // the main menu draws layer -10 only and runs no update
        ++frames;
    }
    EXPECT_EQ(frames, 17); // counted once: drawn in the frame after 256 ms
}

TEST_F(ListTest, WalksRemoveNeighboursAndVisitChildrenOnce) {
    // Two neighbours that end in the same walk, between two that live on.
    for (const float alpha : {1.0f, 0.001f, 0.001f, 1.0f}) {
        Gfx_Obj& o = Gfx_New(27, 10, 10, 0, 10);
        o.image = Fx_Img.spark1;
        o.alpha = alpha;
    }
    Fx_SetClock(16, 60);
    Effects_DrawAbove();
    EXPECT_EQ(sink.draws.size(), 4u); // each drawn exactly once
    EXPECT_EQ(Effects_LiveCount(), 2);
    EXPECT_EQ(Effects_List.size(), 2u);
    // A glitter emitter appends children while it is being drawn; the deque keeps it valid (ASan in CI).
    Effects_Clear();
    for (int i = 0; i < 50; ++i) {
        Gfx_Obj& o = Gfx_New(34, 200, 200, 0, 10);
        o.image = Fx_Img.spark1;
        o.alpha = 1;
        o.counter = 5;
    }
    for (int f = 0; f < 20; ++f)
        Fx_GameFrame();
    EXPECT_GT(Fx_CountKind(9), 0);
    EXPECT_EQ(Effects_LiveCount(), int(Effects_List.size()));
}

// A layer pass draws exactly its layer's live objects in list order, across the list's blocks and after removals and
// the sweeps that move the survivors: trail dots of three layers, one in six ending in its first pass (too few for
// the layer passes to sweep, enough for the next update pass, which sweeps while trail sparks append dots).
TEST_F(ListTest, LayerPassesDrawTheirLiveObjectsInListOrderAfterSweeps) {
    constexpr int32_t kLayers[3] = {-10, 10, 20};
    for (int i = 0; i < 1600; ++i) { // past three blocks
        Gfx_Obj& o = Gfx_New(FX_TRAIL_DOT, i % 800, i / 800, 0, kLayers[i % 3]);
        o.image = Fx_Img.spark1;
        o.alpha = (i / 3) % 6 == 0 ? 0.001f : 1.0f;
        if (i % 100 == 0) Gfx_Create(Fx_Img.spark1, FX_TRAIL_SPARK, 400, 300, 1, 1, 0, 1, 1, 10, 1);
    }
    Fx_SetClock(16, 60);
    for (int frame = 0; frame < 3; ++frame) {
        for (const int32_t layer : kLayers) {
            // What the pass must draw: this layer's live objects, in list order, where they stand.
            std::vector<std::pair<float, float>> expected;
            for (const Gfx_Obj& o : Effects_List)
                if (!o.dead && o.layer == layer) expected.emplace_back(float(o.x), float(o.y));
            sink.draws.clear();
            if (layer == -10) Effects_DrawBehind();
            if (layer == 10) Effects_DrawAbove();
            if (layer == 20) Effects_DrawTop();
            std::vector<std::pair<float, float>> drawn;
            for (const FxDrawRec& d : sink.draws)
                drawn.emplace_back(d.x, d.y);
            EXPECT_EQ(drawn, expected) << "layer " << layer << ", frame " << frame;
        }
        const size_t before = Effects_List.size();
        Effects_UpdateAll();
        if (frame == 0) {
            EXPECT_LT(Effects_List.size(), before) << "the update pass swept";
        }
        // Each layer's list holds its layer's objects once, where they now stand (removed ones may wait there).
        for (const int32_t layer : kLayers) {
            std::vector<const Gfx_Obj*> listed, expected;
            for (const Gfx_Obj* o : *Fx_LayerObjects(layer))
                if (!o->dead) listed.push_back(o);
            for (const Gfx_Obj& o : Effects_List)
                if (!o.dead && o.layer == layer) expected.push_back(&o);
            EXPECT_EQ(listed, expected) << "layer " << layer << " after the update of frame " << frame;
        }
    }
    EXPECT_EQ(int(Effects_List.size()), Effects_LiveCount());
}

TEST_F(ListTest, ClearEmptiesBothListsIncludingDelayedAndSweepingEffects) {
    Gfx_New(5, 1, 1, 100000, -10);
    MapEffect_Create(Fx_Img.youLose, 80, 255, 255, nullptr, nullptr, nullptr, nullptr, 1, 0, 0, 0, 0, 1, 0, 1, 0, 1, 0,
                     0);
    Effects_Clear();
    EXPECT_TRUE(Effects_List.empty());
    EXPECT_TRUE(MapEffects_List.empty());
    EXPECT_EQ(Effects_LiveCount(), 0);
    Effects_Clear(); // empty: nothing happens
}

TEST_F(ListTest, BeamCrossSitsAtTheCellCentreOnLayer10) {
    Fx_SetBoard(8, 8, 40); // not 48 px: the centre must still be half a cell in
    for (int i = 0; i < 50; ++i) {
        Effects_Clear();
        Gfx_Kind4At(100, 50);
        const Gfx_Obj& o = Effects_List.front();
        EXPECT_EQ(o.kind, 4);
        EXPECT_EQ(o.layer, 10);
        EXPECT_FLOAT_EQ(o.alpha, 0.75f);
        EXPECT_FLOAT_EQ(o.spread, 0.1f);
        EXPECT_LE(std::abs(o.x - 120), 5);
        EXPECT_LE(std::abs(o.y - 70), 5);
    }
}

TEST_F(ListTest, CapMakesNothingAndCountsTheDrop) {
    Effects_Cap = 100;
    const int64_t before = Effects_Dropped;
    Gfx_ExplosionSparks(300, 300); // 60 at 60 fps
    Gfx_ExplosionSparks(300, 300);
    EXPECT_EQ(Effects_LiveCount(), 100);
    EXPECT_EQ(int(Effects_List.size()), 100);
    EXPECT_EQ(Effects_Dropped - before, 20);
}

TEST_F(ListTest, SeededCreatorsGiveTheSameObjectsTwice) {
    const auto run = [] {
        Effects_Clear();
        Rand_Seed(77);
        Gfx_BurstAtCell(100, 50, 0.1f);
        Gfx_ExplosionRays(300, 200);
        Gfx_Circle360(400, 300);
        std::vector<float> v;
        for (const Gfx_Obj& o : Effects_List)
            for (const float f : {float(o.kind), float(o.x), float(o.y), o.velX, o.velY, o.alpha, o.rotation,
                                  float(o.delay), o.frame, o.scaleX})
                v.push_back(f);
        return v;
    };
    const std::vector<float> a = run();
    EXPECT_FALSE(a.empty());
    EXPECT_EQ(a, run());
}

// ---- Update pass ----

TEST_F(ListTest, FallingMovesBeforeGravityAndBoardKindsSubtractTheOverflow) {
    Gfx_Obj& o = Gfx_New(23, 100, 100, 0, 99); // a layer no pass draws: only the update moves it
    o.posX = 100;
    o.posY = 100;
    o.gravity = 2.0f;
    o.alpha = 1;
    Board_OverflowX = 7;
    Effects_UpdateAll();
    EXPECT_FLOAT_EQ(Effects_List.front().posY, 100.0f); // stays on its first frame
    EXPECT_EQ(Effects_List.front().x, 93);
    Effects_UpdateAll();
    EXPECT_GT(Effects_List.front().posY, 100.0f);
}

TEST_F(ListTest, BeamSpreadStopsAt16AndFadesOnlyPastEight) {
    Gfx_Kind4At(100, 50);
    Gfx_Obj* o = &Effects_List.front();
    float lastAlpha = o->alpha;
    for (int f = 0; f < 200 && !Effects_List.empty(); ++f) {
        o = &Effects_List.front();
        const float spreadBefore = o->spread;
        Effects_UpdateAll();
        if (Effects_List.empty()) break;
        o = &Effects_List.front();
        EXPECT_LE(o->spread, 16.0f);
        if (spreadBefore <= 8) {
            EXPECT_FLOAT_EQ(o->alpha, lastAlpha);
        }
        lastAlpha = o->alpha;
    }
    EXPECT_TRUE(Effects_List.empty()); // removed by the update once its alpha is below 0
}

TEST_F(ListTest, TrailEmittersSpawnOnlyWhenMovedAndFastEnough) {
    Gfx_Obj& still = Gfx_New(26, 100, 100, 0, 10);
    still.posX = still.posY = 100;
    still.image = Fx_Img.spark1;
    const int32_t state = Rand_State();
    Effects_UpdateAll();
    EXPECT_EQ(Effects_List.size(), 1u);
    EXPECT_EQ(Rand_State(), state); // no random number drawn
    Effects_Clear();
    Gfx_Obj& slow = Gfx_New(28, 100, 100, 0, 10);
    slow.posX = slow.posY = 100;
    slow.velX = 3;
    Gfx_Obj& colour = Gfx_New(40, 100, 100, 0, 10);
    colour.posX = colour.posY = 100;
    colour.velX = 3;
    Fx_SetClock(16, 25);
    for (int f = 0; f < 30; ++f)
        Effects_UpdateAll();
    EXPECT_EQ(Fx_CountKind(29), 0); // fps 25 blocks the ring sparks
    EXPECT_GT(Fx_CountKind(41), 0); // but not the colour puffs
}

TEST_F(ListTest, ProjectedObjectsNearTheViewerAreRemovedBeforeDividing) {
    Gfx_Obj& o = Gfx_New(11, 0, 0, 0, -10);
    o.z = 1.5f;
    o.vz = -0.1f;
    o.alpha = 1;
    o.image = Fx_Img.spark4;
    Fx_GameFrame();
    EXPECT_EQ(Effects_LiveCount(), 0);
    for (const FxDrawRec& d : sink.draws)
        EXPECT_TRUE(std::isfinite(d.s.sx));
    Gfx_Obj& t = Gfx_New(12, 0, 0, 0, -10);
    t.z = 150;
    t.frameCount = 0;
    Effects_UpdateAll();
    EXPECT_EQ(Effects_List.front().frame, 0.0f); // a strip of no frames stays on frame 0
}

// ---- Layer passes ----

std::vector<int> LineRows(const RecordingSink& s) {
    std::vector<int> rows;
    for (const FxDrawRec& d : s.draws)
        if (!d.image && d.y == d.y2) rows.push_back(int(d.y));
    std::sort(rows.begin(), rows.end());
    return rows;
}

TEST_F(DrawTest, BeamLinesForSpreads8And0) {
    Gfx_Obj& o = Gfx_New(4, 300, 200, 0, 10);
    o.alpha = 1;
    o.spread = 8;
    Effects_DrawAbove();
    std::vector<int> want;
    for (int y = 200 - 6; y <= 200 + 7; ++y)
        want.push_back(y);
    EXPECT_EQ(LineRows(sink), want);
    ASSERT_EQ(sink.Lines(), 28u);
    EXPECT_EQ(sink.draws[0].s.blend, BLEND_ADDITIVE);
    EXPECT_EQ(sink.draws[0].x, float(Board_OriginX));
    EXPECT_EQ(sink.draws[0].x2, float(Board_OriginX + Board_PixelWidth));
    sink.draws.clear();
    o.spread = 0.1f; // core y; soft y+1..y+3 and y, y-1, y-2
    Effects_DrawAbove();
    EXPECT_EQ(LineRows(sink), (std::vector<int>{198, 199, 200, 200, 201, 202, 203}));
}

TEST_F(DrawTest, PassesDrawOnlyTheirLayerAndRestoreTheState) {
    for (const int layer : {-10, 10, 20, 0}) {
        Gfx_Obj& o = Gfx_New(27, layer, 0, 0, layer);
        o.image = Fx_Img.spark1;
        o.alpha = 0.5f;
    }
    Gfx_Obj& col = Gfx_New(41, 5, 5, 0, 10); // a coloured, turned object before a plain one
    col.image = Fx_Img.spark4;
    col.alpha = 1;
    col.colR = 10;
    col.rotation = 45;
    col.scaleX = 0.5f;
    Gfx_Obj& plain = Gfx_New(27, 6, 6, 0, 10);
    plain.image = Fx_Img.spark1;
    plain.alpha = 1;
    Fx.alpha = 0.3f;
    Effects_DrawBehind();
    Effects_DrawAbove();
    Effects_DrawTop();
    EXPECT_FLOAT_EQ(Fx.alpha, 0.3f);
    ASSERT_EQ(sink.draws.size(), 5u);
    EXPECT_EQ(sink.draws[0].x, -10); // layer order, the layer-0 object never drawn
    EXPECT_EQ(sink.draws[1].x, 10);
    EXPECT_EQ(sink.draws[4].x, 20);
    const FxState& s = sink.draws[3].s; // the plain one after the coloured one
    EXPECT_EQ(s.r, 255);
    EXPECT_EQ(s.rot, 0);
    EXPECT_EQ(s.sx, 0); // its own scale (0 from the constructor), not the previous object's
    EXPECT_EQ(sink.flushes, 3);
}

TEST_F(DrawTest, LifetimesThatMustEnd) {
    // Kind 8 with no life: removed, nothing divides by zero.
    Gfx_Obj& dot = Gfx_New(8, 10, 10, 0, -10);
    dot.alpha = 1;
    // Kind 30 without a running freeze spell fades and ends.
    Gfx_Obj& gauge = Gfx_New(30, 10, 10, 0, 20);
    gauge.alpha = 0.3f;
    gauge.counter = 50;
    // Kind 22 ends when its frames are done.
    Gfx_Kind22Burst(100, 50, 0.0f);
    // Kind 40 from its creator fades and ends (its puffs too).
    Gfx_Kind40Burst(100, 50, 0.0f, -10);
    Fx_GameFrame();
    EXPECT_EQ(Fx_CountKind(8), 0);
    for (int f = 0; f < 60 * 12; ++f)
        Fx_GameFrame();
    EXPECT_EQ(Fx_CountKind(30), 0);
    EXPECT_EQ(Fx_CountKind(22), 0);
    EXPECT_EQ(Fx_CountKind(40), 0);
    EXPECT_EQ(Fx_CountKind(41), 0);
}

// Every kind as its creator makes it: its first frame is drawn in its blend (additive or alpha), and it ends.
TEST_F(DrawTest, EveryKindDrawsInItsBlendAndEnds) {
    static std::shared_ptr<Piece> piece;
    piece = std::make_shared<Piece>();
    struct Row {
        int kind;
        void (*make)();
        int blend;
    };
    constexpr int A = BLEND_ALPHA, ADD = BLEND_ADDITIVE;
    static const Row rows[] = {
        {4, [] { Gfx_Kind4At(148, 98); }, ADD},
        {5, [] { Gfx_BurstAtCell(148, 98, 0); }, ADD},
        {6, [] { Gfx_RectEdgeSparks(148, 98, 0.8f); }, ADD},
        {7, [] { Gfx_Sparkle(200, 200); }, ADD},
        {8, [] { Gfx_Kind8Line(148, 98, 1, 0); }, ADD},
        {9, [] { Gfx_RemovedPieceBurst(148, 98, 0); }, A},
        {10, [] { Gfx_Ember(200, 200); }, A},
        {11, [] { Gfx_Kind11Ring(); }, ADD},
        {12, [] { Gfx_Kind12Ring(); }, ADD},
        {14, [] { Gfx_LevelEndTiles(); }, A},
        {15, [] { Gfx_Kind15Burst(); }, A},
        {16, [] { Gfx_ExplosionRays(300, 300); }, A},
        {17, [] { Gfx_ExplosionRays(300, 300); }, ADD},
        {18, [] { Gfx_ExplosionSparks(300, 300); }, ADD},
        {19, [] { Gfx_MatchTrail(1.0f, 0); }, ADD},
        {20, [] { Gfx_Sparks(300, 300); }, A},
        {21, [] { Gfx_Kind21Burst(148, 98, 0); }, ADD},
        {22, [] { Gfx_Kind22Burst(148, 98, 0); }, ADD},
        {23, [] { Gfx_CreateSimple(Fx_Img.spark10, 23, 200, 200, 0.7f, 0.75f, 100, 100, -10); }, ADD},
        {24, [] { Gfx_CoinCollected(200, 200); }, A},
        {25, [] { Gfx_BottleCollected(200, 200); }, ADD},
        {26, [] { Gfx_Create(Fx_Img.spark13, 26, 200, 200, 1, 1, 0, 0.8f, 1, 10, 1); }, ADD},
        {27, [] { Gfx_Create(Fx_Img.spark10, 27, 200, 200, 0, 0, 0, 0.8f, 0.4f, 10, 1); }, ADD},
        {28, [] { Gfx_Circle360(300, 300); }, ADD},
        {29, [] { Gfx_CollectRing(700, 300); }, ADD},
        {30, [] { Gfx_Create(Fx_Img.spark14, 30, 200, 200, 0, 0, 0, 0.3f, 0.5f, 20, 50); }, ADD},
        {31, [] { Gfx_SpellBurst(300, 300, nullptr); }, ADD},
        {32, [] { Gfx_Create(Fx_Img.spark1, 32, 200, 200, 0, 0, 0, 0.2f, 0.3f, 10, 1); }, ADD},
        {33, [] { Gfx_Circle360(300, 300); }, ADD},
        {34, [] { Gfx_Kind34At(200, 200); }, A},
        {35, [] { Gfx_DestroySparks(300, 300); }, ADD},
        {36, [] { Gfx_Explosion16(300, 300); }, A},
        {37, [] { Gfx_Kind37Circle(piece); }, ADD},
        {40, [] { Gfx_Kind40Burst(148, 98, 0, 10); }, ADD},
        {41, [] { Gfx_CreateColoured(Fx_Img.spark4, 41, 200, 200, 9, 9, 9, 0.7f, 0.2f, 0, 0, 10); }, A},
    };
    Match_Count = 1;
    Match_List[0] = Point{1, 1};
    for (const Row& r : rows) {
        Effects_Clear();
        Rand_Seed(7);
        for (int tries = 0; tries < 20 && Fx_CountKind(r.kind) == 0; ++tries)
            r.make(); // the bomb's circle draws its two kinds by chance
        ASSERT_GT(Fx_CountKind(r.kind), 0) << r.kind;
        int layer = 0;
        for (Gfx_Obj& o : Effects_List) {
            o.delay = 0;
            if (!o.image) { // the empty tile and the tar piece are the board's pictures
                o.image = Fx_Img.spark6;
                o.frame = 0;
            }
            if (o.kind != r.kind) Fx_Remove(o);
            layer = o.kind == r.kind ? o.layer : layer;
        }
        Fx_Compact(true);
        sink.draws.clear();
        layer == -10 ? Effects_DrawBehind() : layer == 10 ? Effects_DrawAbove() : Effects_DrawTop();
        ASSERT_FALSE(sink.draws.empty()) << r.kind;
        EXPECT_EQ(sink.draws[0].s.blend, r.blend) << r.kind;
        if (r.kind == 37) piece.reset(); // a piece glow ends with its piece
        for (int f = 0; f < 60 * 15 && Fx_CountKind(r.kind) > 0; ++f)
            Fx_GameFrame();
        EXPECT_EQ(Fx_CountKind(r.kind), 0) << r.kind << " never ends";
    }
}

// The frame-looping kinds run the loops their creators give them, then fade: the frame on which each is gone, at
// 20 ms a frame from frame 0 with a fixed alpha.
TEST_F(DrawTest, LoopingKindsEndOnTheirFrame) {
    Fx_SetClock(20, 20); // too slow for glitter children
    struct Row {
        int kind;
        void (*make)();
        float alpha;
        int frames;
    };
    static const Row rows[] = {
        {24, [] { Gfx_CoinCollected(200, 200); }, 0.5f, 6 * 16 + 7}, // 6 loops of 16 frames (50 a second past 15),
                                                                     // then ms / 300
        {28, [] { Gfx_Circle360(300, 300); }, 0.5f, 1 * 16 + 7},     // 1 loop, as the coin
        {29, [] { Gfx_CollectRing(700, 300); }, 0.05f, 3 * 16 + 8},  // 3 loops, then dt x 0.3
        {29, [] { Gfx_Star360(700, 300); }, 0.05f, 4 * 16 + 8},      // 4 loops
        {34, [] { Gfx_Kind34At(200, 200); }, 0.5f, 5 * 23 + 7},      // 5 loops of 23 frames (70 a second past 32)
    };
    for (const Row& r : rows) {
        Effects_Clear();
        for (int tries = 0; tries < 20 && Fx_CountKind(r.kind) == 0; ++tries)
            r.make();
        bool kept = false;
        for (Gfx_Obj& o : Effects_List) {
            if (o.kind != r.kind || kept) {
                Fx_Remove(o);
                continue;
            }
            kept = true;
            o.delay = 0;
            o.alpha = r.alpha;
            o.frame = 0;
            o.image = Fx_Img.spark6;
        }
        Fx_Compact(true);
        int frames = 0;
        while (Fx_CountKind(r.kind) > 0 && frames < 1000) {
            Fx_GameFrame();
            ++frames;
        }
        EXPECT_EQ(frames, r.frames) << r.kind;
    }
}

TEST_F(DrawTest, PieceGlowEndsWithItsPiece) {
    auto piece = std::make_shared<Piece>();
    piece->ScreenX = 100;
    piece->ScreenY = 50;
    Gfx_Kind37Circle(piece);
    EXPECT_EQ(Fx_CountKind(37), 3);
    Effects_DrawBehind();
    ASSERT_EQ(sink.draws.size(), 3u);
    EXPECT_EQ(sink.draws[0].x, 100 + Cell_HalfWidth);
    piece->ScreenX = 148; // it follows the piece
    sink.draws.clear();
    Effects_DrawBehind();
    EXPECT_EQ(sink.draws[0].x, 148 + Cell_HalfWidth);
    piece.reset(); // matched and gone
    sink.draws.clear();
    Effects_DrawBehind();
    EXPECT_TRUE(sink.draws.empty());
    EXPECT_EQ(Fx_CountKind(37), 0);
}

// Objects hold their picture and piece by number: a sweep that moves a glow must leave it its own piece, and the
// slot of a dropped glow goes to the next glow made, never to one still alive.
TEST_F(DrawTest, GlowsKeepTheirPieceAndPictureWhenMovedAndSlotsAreReused) {
    std::shared_ptr<Piece> pieces[3] = {std::make_shared<Piece>(), std::make_shared<Piece>(),
                                        std::make_shared<Piece>()};
    for (int i = 0; i < 3; ++i) {
        pieces[i]->ScreenX = 100 + 48 * i;
        pieces[i]->ScreenY = 50;
        Gfx_Kind37Circle(pieces[i]);
        for (int k = 0; k < 4; ++k) { // dots on another layer that end in their first draw: the update sweeps
            Gfx_Obj& dot = Gfx_New(FX_TRAIL_DOT, 10, 10, 0, 10);
            dot.image = Fx_Img.spark1;
            dot.alpha = 0.001f;
        }
    }
    pieces[0].reset(); // its glows end in the next draw
    Effects_DrawBehind();
    Effects_DrawAbove();
    Effects_UpdateAll();
    ASSERT_EQ(Effects_List.size(), 6u) << "the sweep dropped the ended glows and dots";
    auto d = std::make_shared<Piece>();
    d->ScreenX = 244;
    d->ScreenY = 50;
    Gfx_Kind37Circle(d); // takes the slots a's glows gave back
    sink.draws.clear();
    Effects_DrawBehind();
    std::vector<float> xs;
    for (const FxDrawRec& r : sink.draws) {
        xs.push_back(r.x - float(Cell_HalfWidth));
        EXPECT_EQ(r.image, Fx_Img.shine1.get());
    }
    EXPECT_EQ(xs, (std::vector<float>{148, 148, 148, 196, 196, 196, 244, 244, 244}));
}

// Clearing gives back what a level grew beyond a busy board's needs; the objects made afterwards, past the blocks
// kept, are drawn with their own fields in the order made.
TEST_F(DrawTest, ClearingGivesBackALevelsBlocksAndLaterObjectsKeepTheirFields) {
    Effects_Cap = 30000;
    for (int i = 0; i < 20000; ++i)
        Gfx_New(FX_TRAIL_DOT, 0, 0, 0, 99);
    const size_t grown = Effects_List.capacity();
    Effects_Clear();
    EXPECT_LT(Effects_List.capacity(), grown);
    EXPECT_GE(Effects_List.capacity(), 7500u); // a busy board's effects still find room without allocating
    const int n = int(grown) - 1000;
    const ImagePtr pictures[2] = {Fx_Img.spark1, Fx_Img.spark6};
    std::vector<std::tuple<float, float, const Image*>> expected;
    for (int i = 0; i < n; ++i) {
        Gfx_Obj& o = Gfx_New(FX_TRAIL_DOT, i % 800, i / 800, 0, 10);
        o.image = pictures[i % 2];
        o.alpha = 1;
        expected.emplace_back(float(i % 800), float(i / 800), pictures[i % 2].get());
    }
    Effects_DrawAbove();
    std::vector<std::tuple<float, float, const Image*>> drawn;
    for (const FxDrawRec& r : sink.draws)
        drawn.emplace_back(r.x, r.y, r.image);
    EXPECT_TRUE(drawn == expected);
}

TEST_F(DrawTest, AlphaAndColourReachTheSinkClamped) {
    Gfx_Obj& link = Gfx_New(20, 100, 100, 0, 10);
    link.alpha = 2.0f;
    link.image = Fx_Img.chainLink;
    Gfx_Obj& trail = Gfx_New(19, 200, 200, 0, 20);
    trail.alpha = 0.5f;
    trail.colR = 305;
    trail.colG = -28;
    trail.image = Fx_Img.spark9;
    trail.frameCount = 32;
    Effects_DrawAbove();
    Effects_DrawTop();
    ASSERT_EQ(sink.draws.size(), 2u);
    EXPECT_EQ(sink.draws[0].s.alpha, 1.0f);
    EXPECT_EQ(sink.draws[1].s.r, 255);
    EXPECT_EQ(sink.draws[1].s.g, 0);
}

TEST_F(DrawTest, FramesOutsideTheStripDrawNothing) {
    Gfx_Obj& o = Gfx_New(27, 10, 10, 0, 10);
    o.image = Fx_Img.spark1; // one frame
    o.frame = 3;
    o.alpha = 1;
    Gfx_Obj& ok = Gfx_New(27, 10, 10, 0, 10);
    ok.image = Fx_Img.spark6;
    ok.frame = 31;
    ok.alpha = 1;
    Gfx_Obj& none = Gfx_New(27, 10, 10, 0, 10); // no image: nothing, no crash
    none.alpha = 1;
    Effects_DrawAbove();
    ASSERT_EQ(sink.draws.size(), 1u);
    EXPECT_EQ(sink.draws[0].frame, 31);
}

TEST_F(DrawTest, GlowSparklesByItsAlpha) {
    Gfx_Obj& o = Gfx_New(5, 100, 100, 0, -10);
    o.image = Fx_Img.spark1;
    o.alpha = 1.0f;
    o.scaleX = o.scaleY = 2;
    Effects_DrawBehind();
    EXPECT_EQ(Fx_CountKind(7), 1); // alpha 1 sparkles whatever the draw
    Effects_Clear();
    Gfx_Obj& faded = Gfx_New(5, 100, 100, 0, -10);
    faded.image = Fx_Img.spark1;
    faded.alpha = 0.0001f;
    faded.scaleX = faded.scaleY = 2;
    Fx_SetClock(0.001f, 60);
    for (int i = 0; i < 100; ++i)
        Effects_DrawBehind();
    EXPECT_EQ(Fx_CountKind(7), 0);
}

TEST_F(DrawTest, MainMenuGlowsStayBoundedForTenMinutes) {
    Effects_Clear();
    // The menu draws layer -10 only: a few frames first so that the other layers count as not drawn.
    for (int f = 0; f < 3; ++f)
        Effects_DrawBehind();
    Gfx_Kind25Circle(397, 47);
    for (int f = 0; f < 36000; ++f) {
        Effects_DrawBehind();
        Particles_Draw();
        ASSERT_LT(Effects_LiveCount(), 100) << f;
    }
    EXPECT_EQ(Fx_CountKind(25), 3);
}

} // namespace
