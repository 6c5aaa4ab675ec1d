// Rules of match play: match groups, swaps and their specials, cascades, obstacles (chains, crates, ice, tar,
// bombs), rockets, amulets, coins and bottles, freezing, the no-move replacement and the counters.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "board/play.h"
#include "board_helpers.h"
#include "platform/random.h"

namespace {

using bt::Build;
using bt::KindAt;
using bt::Snapshot;

std::set<std::pair<int32_t, int32_t>> GroupCells() {
    std::set<std::pair<int32_t, int32_t>> s;
    for (int32_t i = 0; i < Match_Count; ++i)
        s.insert({Match_List[i].x, Match_List[i].y});
    return s;
}

class Rules : public ::testing::Test {
  protected:
    void SetUp() override {
        Rand_Seed(99);
        bt::NewMatchCounters(10);
        bt::StartRecording();
    }
    void TearDown() override { bt::StopRecording(); }
    static int32_t CountEvents(int32_t id) {
        return int32_t(
            std::count_if(bt::Events.begin(), bt::Events.end(), [&](const bt::Event& e) { return e.id == id; }));
    }
};

TEST_F(Rules, GroupsInRowsColumnsLAndTShapes) {
    Build({"1112", "2321", "3121", "4121"});
    EXPECT_EQ(Board_FindMatchGroup(0, 0, 0, 0), 3);
    EXPECT_EQ(Match_Kind, 1);
    EXPECT_EQ(GroupCells(), (std::set<std::pair<int32_t, int32_t>>{{0, 0}, {1, 0}, {2, 0}}));
    EXPECT_EQ(Board_FindMatchGroup(2, 1, 0, 0), 3); // column of 2s
    EXPECT_EQ(Board_FindMatchGroup(1, 1, 0, 0), 0); // a lone 3
    EXPECT_EQ(Board_FindMatchGroup(0, 3, 0, 0), 0); // 4 alone, 1s beside it only two

    Build({"1..", "1..", "111"}); // L
    EXPECT_EQ(Board_FindMatchGroup(0, 0, 1, 0), 5);
    EXPECT_EQ(Match_BySwap, 1);
    EXPECT_EQ(Board_FindMatchGroup(2, 2, 0, 0), 5); // the same group from its other end

    Build({"222", ".2.", ".2.", "31."}); // T
    EXPECT_EQ(Board_FindMatchGroup(1, 2, 0, 0), 5);
    EXPECT_EQ(Match_Kind, 2);
}

TEST_F(Rules, WildcardJoinsAnyColourButNeedsOne) {
    Build({"1*1", "345", "*22", "543", "T*T"});
    EXPECT_EQ(Board_FindMatchGroup(0, 0, 0, 0), 3);
    EXPECT_EQ(Match_Kind, 1);
    EXPECT_EQ(Board_FindMatchGroup(0, 2, 0, 0), 3); // "*22" from the wildcard itself
    EXPECT_EQ(Match_Kind, 2);
    EXPECT_EQ(Board_FindMatchGroup(0, 4, 0, 0), 0); // the wildcard does not stand in for tar
    Build({"***", "345"});
    EXPECT_EQ(Board_FindMatchGroup(0, 0, 0, 0), 0); // wildcards alone are no group
    Build({"1*1", "2*3", "2*3"});                   // row of 1s through the top wildcard, column for 1 too
    Board_Cells[1][2].Piece->Kind = 1;
    EXPECT_EQ(Board_FindMatchGroup(0, 0, 0, 0), 5);
    Build({"TTT"});
    EXPECT_EQ(Board_FindMatchGroup(1, 0, 0, 0), 3);
    EXPECT_EQ(Match_Kind, KIND_TAR);
}

TEST_F(Rules, FourFromASwapLeavesAWildcardThatEventOneSees) {
    Build({"5136", "1211", "4747"});
    EXPECT_FALSE(Board_Swap(0, 0, 2, 0)); // not neighbours
    ASSERT_TRUE(Board_Swap(1, 0, 1, 1));
    bt::Settle();
    ASSERT_EQ(CountEvents(1), 1);
    const bt::Event& e =
        *std::find_if(bt::Events.begin(), bt::Events.end(), [](const bt::Event& x) { return x.id == 1; });
    EXPECT_EQ(e.matchCount, 4);
    EXPECT_EQ(e.b, 1); // by swap
    EXPECT_EQ(std::count(e.matchKinds.begin(), e.matchKinds.end(), KIND_MULTICOLOR), 1);
    EXPECT_EQ(Snapshot(), (std::vector<std::string>{".2..", "5*36", "4747"}));
    EXPECT_EQ(Score, 4 * rules::PointsPerGem + rules::PointsPerExtraGem);
    EXPECT_EQ(CountEvents(2), 4); // four golden tiles hit
    EXPECT_EQ(Gold, 4 * rules::GoldPerTile);
}

TEST_F(Rules, EventOneStillKnowsWhetherTheGroupLayOnTiles) {
    for (const int32_t tile : {0, 1, 2}) {
        Build({"111", "234"}, tile);
        ASSERT_EQ(Board_FindMatchGroup(0, 0, 1, 0), 3);
        Match_Resolve(Point{0, 0});
        EXPECT_EQ(Board_Cells[1][0].TileLevel, std::max(0, tile - 1));
        EXPECT_EQ(Match_HadTile, tile > 0 ? 1 : 0) << "tile " << tile;
    }
}

TEST_F(Rules, FiveLeavesALauncherAtTheSwappedCell) {
    Build({"34156", "11211", "56565"});
    ASSERT_TRUE(Board_Swap(2, 0, 2, 1));
    bt::Settle();
    EXPECT_EQ(KindAt(2, 1), KIND_LAUNCHER);
    EXPECT_EQ(Board_Cells[2][1].Piece->Col, 2);
}

TEST_F(Rules, SwapWithoutGroupSwapsBack) {
    Build({"123", "456"});
    const auto before = Snapshot();
    ASSERT_TRUE(Board_Swap(0, 0, 1, 0));
    EXPECT_FALSE(Board_Swap(1, 1, 2, 1)); // one swap at a time
    bt::Settle();
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(CountEvents(1), 0);
    EXPECT_EQ(Board_Swapping, 0);
}

TEST_F(Rules, SeededCascadeGivesTheSameBoardTwice) {
    const auto play = [] {
        Rand_Seed(1234);
        Score = 0;
        std::vector<std::string> rows;
        for (int32_t r = 0; r < 8; ++r) {
            std::string row;
            for (int32_t c = 0; c < 8; ++c)
                row += char('1' + (c + 2 * r) % 5);
            rows.push_back(row);
        }
        rows[0][0] = rows[0][1] = '1';
        rows[1][2] = '1';
        Build(rows, 1, true, 5);
        Match_Timer = 0;
        Hint_Tick(0, 0, 3);
        EXPECT_EQ(Hint_Found, 1);
        EXPECT_TRUE(Board_Swap(Hint_Col, Hint_Row, Hint_Col2, Hint_Row2));
        EXPECT_LT(bt::Settle(), 2000);
        return std::make_pair(Snapshot(), Score);
    };
    const auto a = play();
    const auto b = play();
    EXPECT_EQ(a, b);
    EXPECT_GT(a.second, 0);
    for (const std::string& row : a.first)
        EXPECT_EQ(row.find('.'), std::string::npos) << "refilled";
    for (int32_t c = 0; c < 8; ++c)
        for (int32_t r = 0; r < 8; ++r)
            EXPECT_EQ(Board_FindMatchGroup(c, r, 0, 0), 0) << "cascades resolved";
}

TEST_F(Rules, ChainedPiecesHoldTheirColumnUntilFreed) {
    Build({"1", "2", ".", "."});
    Board_Cells[0][1].Piece->Shield = 1;
    Board_Cells[0][1].Piece->MoveFlags = MOVE_NOSWAP | MOVE_NOFALL;
    bt::Settle();
    EXPECT_EQ(Snapshot(), (std::vector<std::string>{"1", "2", ".", "."}));
    Build({"33", "12"});
    Board_Cells[1][1].Piece->Shield = 1;
    Board_Cells[1][1].Piece->MoveFlags = MOVE_NOSWAP | MOVE_NOFALL;
    EXPECT_FALSE(Board_Swap(0, 1, 1, 1));

    // A group breaks one chain per match; the piece stays until it is free.
    Build({"111", "222"});
    Board_Cells[2][0].Piece->Shield = 2;
    Board_Cells[2][0].Piece->MoveFlags = MOVE_NOSWAP | MOVE_NOFALL;
    Board_CheckMatches();
    EXPECT_EQ(KindAt(2, 0), 1);
    EXPECT_EQ(Board_Cells[2][0].Piece->Shield, 1);
    EXPECT_EQ(Board_Cells[2][0].TileLevel, 1); // its tile waits too
    EXPECT_EQ(KindAt(0, 0), 0);
}

TEST_F(Rules, CratesTakeHitsFromNeighbouringGroupsAndHoldTheColumn) {
    Build({"4", "C", ".", "5"});
    bt::Settle();
    EXPECT_EQ(KindAt(0, 2), 0); // nothing falls through a crate
    Build({"1115", "DC23"});
    Board_CheckMatches();
    EXPECT_EQ(Board_Cells[0][1].Blockers, 1); // two-hit crate: one left
    EXPECT_EQ(Board_Cells[1][1].Blockers, 0); // one-hit crate: gone
    EXPECT_EQ(Board_Cells[3][1].Blockers, 0);
}

TEST_F(Rules, IceThawsByAMatchOrThreeNeighbouringOnes) {
    Build({"111", "452"});
    Piece_SetFrozen(Board_Cells[2][0].Piece, 1);
    Board_CheckMatches();
    EXPECT_EQ(KindAt(2, 0), 1);
    EXPECT_EQ(Board_Cells[2][0].Piece->Frozen, 0);

    Build({"6", "6", "6", "1"});
    Piece_SetFrozen(Board_Cells[0][3].Piece, 1);
    EXPECT_EQ(Board_Cells[0][3].Piece->FrozenCountdown, rules::FrozenHits);
    Board_CheckMatches();
    EXPECT_EQ(Board_Cells[0][3].Piece->Frozen, 1);
    EXPECT_EQ(Board_Cells[0][3].Piece->FrozenCountdown, rules::FrozenHits - 1);
}

TEST_F(Rules, TarMatchedBySwapRestoresTilesButNotInACascade) {
    Build({"TT1T", "2323"}, 0);
    for (int32_t c = 0; c < 4; ++c)
        Board_Cells[c][0].BaseTileLevel = 1;
    ASSERT_TRUE(Board_Swap(2, 0, 3, 0));
    bt::Settle();
    EXPECT_EQ(Board_Cells[0][0].TileLevel, 1);
    EXPECT_EQ(Board_Cells[2][0].TileLevel, 1);
    EXPECT_EQ(Board_Cells[3][0].TileLevel, 0);

    Build({"TTT"}, 0);
    for (int32_t c = 0; c < 3; ++c)
        Board_Cells[c][0].BaseTileLevel = 1;
    Board_CheckMatches();
    EXPECT_EQ(Board_TilesLeft(), 0);
}

TEST_F(Rules, BombClearsTilesAndChainsAround) {
    Build({"45454", "54545", "11162", "54545"}, 2);
    Board_Cells[1][2].Piece->Bomb = 1;
    Board_Cells[1][1].Piece->Shield = 2;
    Board_Cells[1][1].Piece->MoveFlags = MOVE_NOSWAP | MOVE_NOFALL;
    Board_CheckMatches();
    for (int32_t c = 0; c <= 2; ++c)
        for (int32_t r = 1; r <= 3; ++r)
            EXPECT_EQ(Board_Cells[c][r].TileLevel, 0) << c << "," << r;
    EXPECT_EQ(Board_Cells[3][2].TileLevel, 2);
    ASSERT_EQ(KindAt(1, 1), 4);
    EXPECT_EQ(Board_Cells[1][1].Piece->Shield, 0); // chains blown off, the piece stays
    EXPECT_EQ(KindAt(0, 3), 0);                    // neighbours destroyed
}

TEST_F(Rules, LineBlastHitsRowAndColumnOnce) {
    Build({"45454", "11154", "45454"}, 2);
    Board_Cells[0][1].Piece->Laser = 1;
    Board_CheckMatches();
    EXPECT_EQ(Board_Cells[4][1].TileLevel, 1); // row: one level
    EXPECT_EQ(Board_Cells[0][0].TileLevel, 1); // column: one level
    EXPECT_EQ(Board_Cells[1][1].TileLevel, 1); // in the group and the row: still hit only once
    EXPECT_EQ(KindAt(4, 1), 0);
    EXPECT_EQ(KindAt(0, 2), 0);
}

TEST_F(Rules, LauncherFiresRocketsThatClearItsRow) {
    Build({"45A54", "1L232", "45454"}, 2);
    EXPECT_FALSE(Launcher_Fire(0, 1));
    ASSERT_TRUE(Launcher_Fire(1, 1));
    for (int32_t f = 0; f < 60; ++f)
        Board_Update(16);
    for (int32_t c = 0; c < 5; ++c)
        EXPECT_EQ(Board_Cells[c][1].TileLevel, 0);
    for (const PiecePtr& p : Pieces)
        EXPECT_NE(p->Kind, KIND_ROCKET);
    EXPECT_EQ(Board_Cells[0][0].TileLevel, 2);
    EXPECT_EQ(KindAt(2, 1), KIND_AMULET); // the amulet is not destroyed, it fell
}

TEST_F(Rules, AmuletLeavesAtTheBottomAndEndsTheLevel) {
    Build({"A1", "23", "32"}, 0);
    Board_Update(16);
    EXPECT_EQ(Level_EndState, 1); // tiles gone, an amulet to bring down
    Cell_DestroyPiece(0, 1);
    Cell_DestroyPiece(0, 2);
    bt::Settle();
    EXPECT_EQ(KindAt(0, 2), 0);
    EXPECT_EQ(Score, rules::AmuletPoints);
    EXPECT_EQ(Level_EndState, 2);

    Build({"A", "#"}, 0); // nothing playable below: it leaves at once
    bt::Settle();
    EXPECT_EQ(KindAt(0, 0), 0);
    EXPECT_EQ(Level_EndState, 2);
}

TEST_F(Rules, BringDownCellsGetTheAmuletOnceTheTilesAreGone) {
    Build({"12", "34"}, 0);
    Board_Cells[1][0].TileLevel = 1;
    Board_Cells[0][0].BringDown = 1;
    Board_Update(16);
    EXPECT_EQ(Level_EndState, 0);
    EXPECT_EQ(KindAt(0, 0), 1);
    Cell_Explode(1, 0);
    Board_Update(16);
    EXPECT_EQ(KindAt(0, 0), KIND_AMULET);
    EXPECT_EQ(Level_EndState, 1);
    Board_Cells[1][1].TileLevel = 1; // tiles brought back by tar: the tiles come first again
    Board_Update(16);
    EXPECT_EQ(Level_EndState, 0);
    Board_Cells[1][1].TileLevel = 0;
    Board_Update(16);
    EXPECT_EQ(Level_EndState, 1);
    ASSERT_EQ(CountEvents(4), 1);
    EXPECT_EQ(bt::Events.back().id, 4);
    EXPECT_EQ(bt::Events.back().cellKind, KIND_AMULET); // the tutorial finds the amulet in its cell
    EXPECT_EQ(Pieces.Count(), 4u);                      // the gem it replaced has left the piece list
}

TEST_F(Rules, CoinRuleOrderAndAtMostOne) {
    struct Case {
        int32_t silver, gold, mana, kind;
    };
    Level_Current = 6;
    for (const Case& k : {Case{101, 101, 101, KIND_COIN_SILVER}, Case{1, 101, 101, KIND_COIN_GOLD},
                          Case{1, 1, 101, KIND_BOTTLE}, Case{1, 1, 1, 0}}) {
        Build({"111", "234"});
        Level_SilverCoinInterval = k.silver, Level_GoldCoinInterval = k.gold, Level_ManaBottleInterval = k.mana;
        ASSERT_EQ(Board_FindMatchGroup(0, 0, 0, 0), 3);
        const Point first = Match_List[0];
        Match_Resolve(Point{-1, -1});
        int32_t coins = 0;
        for (int32_t c = 0; c < 3; ++c)
            coins += KindAt(c, 0) != 0;
        EXPECT_EQ(coins, k.kind ? 1 : 0);
        EXPECT_EQ(KindAt(first.x, first.y), k.kind);
    }
    // The first empty cell of the group: a chained start cell keeps its piece.
    Build({"111", "234"});
    Level_SilverCoinInterval = 101;
    Board_Cells[0][0].Piece->Shield = 1;
    ASSERT_EQ(Board_FindMatchGroup(0, 0, 0, 0), 3);
    const Point second = Match_List[1];
    bt::StartRecording();
    Match_Resolve(Point{-1, -1});
    EXPECT_EQ(KindAt(second.x, second.y), KIND_COIN_SILVER);
    ASSERT_EQ(CountEvents(3), 1);
    // Event 3 came before event 1, so the group is still in Match_List when the tutorial hears of the match.
    EXPECT_EQ(bt::Events.back().id, 1);
    // No coin after a group of four.
    Build({"1111", "2345"});
    Level_SilverCoinInterval = 101;
    Board_CheckMatches();
    for (int32_t c = 0; c < 4; ++c)
        EXPECT_NE(KindAt(c, 0), KIND_COIN_SILVER);
}

TEST_F(Rules, CoinsAreCollectedOrExpire) {
    Level_Current = 6;
    Build({"o2", "12"});
    EXPECT_FALSE(Piece_Collect(1, 0));
    EXPECT_TRUE(Piece_Collect(0, 0));
    EXPECT_EQ(Gold, rules::SilverCoinGold);
    Build({"12", "34"});
    PiecePtr coin = Piece_CreateCoinOrBottle(0, 0, KIND_BOTTLE);
    EXPECT_EQ(coin->Under->Kind, 1); // covers the gem
    EXPECT_EQ(Pieces.Count(), 4u);
    for (int32_t f = 0; f < 700; ++f)
        Board_Update(16);       // 11.2 s
    EXPECT_EQ(KindAt(0, 0), 1); // expired, the gem is back
}

// A coin that runs out while a swap is under way must not pull the swap's run apart: the swap stands.
TEST_F(Rules, ASwapStandsWhenACoinExpiresDuringIt) {
    Build({"211", "134", "3o5"});
    Board_Cells[1][2].Piece->Lifetime = 50; // runs out a third into the swap
    ASSERT_TRUE(Board_Swap(0, 0, 0, 1));
    bt::Settle();
    EXPECT_EQ(CountEvents(1), 1) << "the row of ones was scored";
    EXPECT_EQ(KindAt(0, 1), 2) << "the swap was taken back";
    EXPECT_EQ(KindAt(1, 2), 3) << "the coin has gone and its column fallen";
}

TEST_F(Rules, FreezeIntervalFreezesOnePieceAtATime) {
    Build({"1234", "3412"});
    Level_FreezeInterval = 2;
    Level_FreezeTimer = 2;
    for (int32_t f = 0; f < 150; ++f)
        Board_Update(16); // 2.4 s
    const auto frozenCount = [] {
        int32_t frozen = 0;
        for (const PiecePtr& p : Pieces)
            frozen += p->Frozen;
        return frozen;
    };
    EXPECT_EQ(frozenCount(), 1);
    EXPECT_GT(Level_FreezeTimer, 1.5f); // restarted at the interval 2 s, 0.4 s ago
    EXPECT_LE(Level_FreezeTimer, 2.0f);
    // The countdown also runs while the amulet is being brought down (the first end phase).
    Build({"A123", "1234", "3412"}, 0);
    Level_FreezeInterval = 1;
    Level_FreezeTimer = 1;
    for (int32_t f = 0; f < 70; ++f)
        Board_Update(16); // 1.12 s
    EXPECT_EQ(Level_EndState, 1);
    EXPECT_EQ(frozenCount(), 1);
}

TEST_F(Rules, NoMoveLeftReplacesAGem) {
    Build({"1234", "3412", "1234"});
    ASSERT_FALSE(Board_HasMove());
    for (int32_t f = 0; f < rules::NoMoveFrames; ++f)
        Board_Update(16);
    EXPECT_TRUE(Board_HasMove());
    for (int32_t c = 0; c < 4; ++c)
        for (int32_t r = 0; r < 3; ++r)
            EXPECT_EQ(Board_FindMatchGroup(c, r, 0, 0), 0);
}

TEST_F(Rules, HintFindsTheMoveNearestThePoint) {
    Build({"1121", "3456", "4563", "2122"});
    Match_Timer = 0;
    Hint_Tick(int32_t(Cell_PixelX(0)), int32_t(Cell_PixelY(0)), 3);
    ASSERT_EQ(Hint_Found, 1);
    EXPECT_EQ(Hint_Row, 0);
    Hint_Tick(int32_t(Cell_PixelX(3)), int32_t(Cell_PixelY(3)), 3);
    EXPECT_EQ(Hint_Row + Hint_Row2, 6); // the bottom pair
    EXPECT_EQ(Board_FindMoves(2, 0, 3, 0), 1);
    EXPECT_EQ(Board_FindMoves(0, 1, 1, 1), 0);
}

TEST_F(Rules, CountersLivesMultiplierAndMana) {
    Score = rules::LifeEveryPoints - 10;
    Score_Add(20);
    EXPECT_EQ(Lives, 4);
    Score_Add(2 * rules::LifeEveryPoints);
    EXPECT_EQ(Lives, 6);

    Score = 0;
    Score_Highest = 0;
    Build({"111", "222", "345"});
    Board_FindMatchGroup(0, 0, 0, 0);
    Match_Resolve(Point{-1, -1});
    Board_FindMatchGroup(0, 1, 0, 0);
    Match_Resolve(Point{-1, -1});
    EXPECT_EQ(Score, 3 * 3 * rules::PointsPerGem); // the second group counts twice
    for (int32_t f = 0; f < 200; ++f)
        Board_Update(16);
    EXPECT_EQ(Score_Multiplier, 1);

    Level_Current = 5;
    Mana_Add(50);
    EXPECT_EQ(Mana, 0); // no mana before level 6
    Level_Current = 6;
    Mana_CapLevel = 0;
    Mana_Add(50);
    EXPECT_EQ(Mana, 50);
    Mana_Add(1000);
    EXPECT_EQ(Mana, Mana_Caps[0] - 1);
    EXPECT_EQ(bt::Events.back().id, 17);
    EXPECT_EQ(bt::Events.back().b, 1); // reached the cap
}

TEST_F(Rules, BonusTimeAndBigGroupsAddTime) {
    // A group of three adds nothing, exactly four one second.
    Build({"111", "232"});
    Level_TimeLeft = 10000000;
    Board_CheckMatches();
    EXPECT_EQ(Level_TimeLeft, 10000000);
    Build({"1111", "2323"});
    Level_TimeLeft = 10000000;
    Board_CheckMatches();
    EXPECT_EQ(Level_TimeLeft, 10000000 + rules::TimeBonusPerExtraUs);
    Build({"11111", "23232"});
    Level_TimeLeft = 10000000;
    Board_Cells[0][0].Piece->Golden = 1;
    Board_CheckMatches();
    EXPECT_EQ(Level_TimeLeft, 10000000 + 2 * rules::TimeBonusPerExtraUs + rules::GoldenTimeUs);
    Level_TimeLeft = Level_Duration;
    Relaxed_Mode = 0;
    EXPECT_EQ(Level_ComputeTimeBonus(), 300 * rules::TimeBonusPerSecond);
}

} // namespace

namespace {

// Every piece in a cell knows its cell and is in the piece list once; no live piece is lost between cells.
void CheckConsistent() {
    std::set<const Piece*> inList;
    for (const PiecePtr& p : Pieces)
        ASSERT_TRUE(inList.insert(p.get()).second) << "listed twice";
    std::set<const Piece*> inCells;
    for (int32_t c = 0; c < Board_Cols; ++c)
        for (int32_t r = 0; r < Board_Rows; ++r) {
            const Table_cell& cell = Board_Cells[c][r];
            if (!cell.Piece) continue;
            ASSERT_FALSE(cell.Void) << c << "," << r;
            ASSERT_EQ(cell.Blockers, 0) << c << "," << r;
            ASSERT_EQ(cell.Piece->Col, c);
            ASSERT_EQ(cell.Piece->Row, r);
            ASSERT_TRUE(inList.count(cell.Piece.get())) << "in a cell but not listed";
            ASSERT_TRUE(inCells.insert(cell.Piece.get()).second) << "in two cells";
        }
    for (const PiecePtr& p : Pieces)
        if (!p->Removing && p->Kind != KIND_ROCKET) {
            ASSERT_TRUE(inCells.count(p.get())) << "lost kind " << p->Kind;
        }
}

TEST_F(Rules, LongRandomPlayKeepsTheBoardConsistent) {
    Rand_Seed(777);
    Level_Current = 20;
    Build({"1234512345", "2345123451", "3#5123#512", "4512345123", "51C3451234", "1234D12345", "2345123451",
           "3451234512"},
          1, true, 5);
    Spawn_Weights[KIND_TAR] = 3;
    Spawn_Weights[KIND_MULTICOLOR] = 1;
    Level_BombPercent = 5, Level_LaserPercent = 5, Level_GoldenPercent = 5, Level_AntigravPercent = 3;
    Level_SilverCoinInterval = 20, Level_GoldCoinInterval = 20, Level_ManaBottleInterval = 20;
    Level_FreezeInterval = 10;
    Level_BuildSpawnTable();
    Board_Cells[4][1].Piece->Shield = 2;
    Board_Cells[4][1].Piece->MoveFlags = MOVE_NOSWAP | MOVE_NOFALL;
    Board_Cells[7][6].BringDown = 1;
    int32_t swaps = 0, collected = 0, fired = 0;
    for (int32_t f = 0; f < 20000; ++f) {
        Board_Update(16);
        if (f % 7 == 0) {
            const int32_t c = Rand_Int(0, Board_Cols - 1), r = Rand_Int(0, Board_Rows - 1);
            if (Piece_Collect(c, r))
                ++collected;
            else if (Launcher_Fire(c, r))
                ++fired;
            else {
                Match_Timer = 0;
                Hint_Tick(int32_t(Cell_PixelX(c)), int32_t(Cell_PixelY(r)), 3);
                if (Hint_Found) swaps += Board_Swap(Hint_Col, Hint_Row, Hint_Col2, Hint_Row2);
            }
        }
        if (f % 97 == 0) {
            CheckConsistent();
            if (HasFatalFailure()) return;
        }
    }
    CheckConsistent();
    EXPECT_GT(swaps, 100);
    EXPECT_GT(collected, 0);
    EXPECT_GT(fired, 0);
    EXPECT_GT(Score, 0);
}

} // namespace

// Faults once planted in the rules that no other test noticed: each of these must stay caught.
TEST_F(Rules, PlantedFaultsStayGuarded) {
    // The coin chance is "a roll of 1..100 below the value": 1 never, 51 about half the time.
    Level_Current = 6;
    int32_t coins = 0;
    for (int32_t i = 0; i < 400; ++i) {
        Build({"111", "234"});
        Level_SilverCoinInterval = 51;
        ASSERT_EQ(Board_FindMatchGroup(0, 0, 0, 0), 3);
        Match_Resolve(Point{-1, -1});
        for (int32_t c = 0; c < 3; ++c)
            coins += KindAt(c, 0) == KIND_COIN_SILVER;
    }
    EXPECT_GT(coins, 160);
    EXPECT_LT(coins, 240);
    // Coins and bottles never land in a void cell or a crate.
    Build({"1#C"});
    EXPECT_EQ(Piece_CreateCoinOrBottle(1, 0, KIND_COIN_GOLD), nullptr);
    EXPECT_EQ(Piece_CreateCoinOrBottle(2, 0, KIND_BOTTLE), nullptr);
    EXPECT_NE(Piece_CreateCoinOrBottle(0, 0, KIND_BOTTLE), nullptr);

    // Kinds 11 to 14 never match and never spawn.
    for (int32_t kind = KIND_NEW2; kind <= KIND_NEW3; ++kind) {
        Build({"...", "234"});
        for (int32_t c = 0; c < 3; ++c) {
            PiecePtr p = Piece_Create(Cell_PixelX(c), Cell_PixelY(0), kind);
            p->Col = c;
            p->Row = 0;
            Board_Cells[c][0].Piece = p;
        }
        EXPECT_EQ(Board_FindMatchGroup(0, 0, 0, 0), 0) << kind;
        for (int32_t& w : Spawn_Weights)
            w = 0;
        Spawn_Weights[kind] = 100;
        Level_BuildSpawnTable();
        EXPECT_EQ(Piece_Spawn(0, 0), nullptr) << kind;
    }

    // Bombs and line blasts spare the amulet.
    Build({"45A54", "11162", "54545"}, 2);
    Board_Cells[1][1].Piece->Bomb = 1;
    Board_Cells[0][1].Piece->Laser = 1;
    Board_CheckMatches();
    EXPECT_EQ(KindAt(2, 0), KIND_AMULET);

    // The multiplier stops at 8.
    Build({"111", "222", "333", "444", "555", "666", "777", "111", "222", "333", "444", "555"});
    for (int32_t r = 0; r < 12; ++r) {
        ASSERT_EQ(Board_FindMatchGroup(0, r, 0, 0), 3);
        Match_Resolve(Point{-1, -1});
    }
    EXPECT_EQ(Score_Multiplier, rules::MultiplierMax);

    // A piece that still has to fall keeps the board from resting, so a swap cannot start a frame too early.
    Build({"1", ".", "2"});
    EXPECT_FALSE(Board_Idle());
    bt::Settle();
    EXPECT_TRUE(Board_Idle());
    EXPECT_EQ(KindAt(0, 1), 1);
}
