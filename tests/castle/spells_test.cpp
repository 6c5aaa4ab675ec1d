// The spells on fixed boards: the owned levels, what each spell does at its levels, the fireball's stops, the mana
// paid only for a cast that acts, the cast that waits for a settled board, the time stop and the shuffle's promise
// (same pieces, a move, no group) over many seeds.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "board/board_hooks.h"
#include "board/play.h"
#include "board_helpers.h"
#include "castle/castle.h"
#include "platform/random.h"

namespace {

using bt::Build;
using bt::KindAt;

class CastleSpells : public ::testing::Test {
  protected:
    void SetUp() override {
        Rand_Seed(7);
        bt::NewMatchCounters(10);
        Mana_CapLevel = 2;
        Board_Hooks = Board_HooksDefault();
        Board_Hooks.Spells_TimeStands = Spells_TimeStands;
        Spells_LevelStart();
    }
    void TearDown() override {
        Board_Hooks = Board_HooksDefault();
        Match_Carried.SpellLevels.fill(0);
        Spells_LevelStart();
    }
    // Owns the spell at `level` with mana for one cast and casts it on `cell`.
    static bool CastAt(int32_t spell, int32_t level, Point cell) {
        Match_Carried.SpellLevels[size_t(spell)] = level;
        Mana = Spell_Types[size_t(Spell_GetIndex(spell))].ManaCost;
        return Spell_Cast(spell, cell);
    }
    static int32_t Pieces() {
        int32_t n = 0;
        for (int32_t c = 0; c < Board_Cols; ++c)
            for (int32_t r = 0; r < Board_Rows; ++r)
                n += KindAt(c, r) != 0;
        return n;
    }
};

TEST_F(CastleSpells, GetIndexFollowsTheOwnedLevelAndASavedLevelOutOfRangeIsClamped) {
    ASSERT_EQ(Spell_Types.size(), size_t(kSpellCount * kSpellLevels));
    for (int32_t s = 0; s < kSpellCount; ++s)
        EXPECT_EQ(Spell_GetIndex(s), -1) << s;
    Match_Carried.SpellLevels[SPELL_FIREBALL] = 2;
    EXPECT_EQ(Spell_GetIndex(SPELL_FIREBALL), SPELL_FIREBALL * 3 + 1);
    EXPECT_EQ(Spell_Types[size_t(Spell_GetIndex(SPELL_FIREBALL))].Spell, SPELL_FIREBALL);
    EXPECT_EQ(Spell_Types[size_t(Spell_GetIndex(SPELL_FIREBALL))].Level, 2);
    Match_Carried.SpellLevels[SPELL_BOMB] = 9;
    testing::internal::CaptureStdout();
    EXPECT_EQ(Spell_GetIndex(SPELL_BOMB), SPELL_BOMB * 3 + 2);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("spell 3 had level 9, clamped"), std::string::npos) << out;
    EXPECT_EQ(Match_Carried.SpellLevels[SPELL_BOMB], 3);
    Match_Carried.SpellLevels[SPELL_TAR] = -4;
    EXPECT_EQ(Spell_GetIndex(SPELL_TAR), -1);
    EXPECT_EQ(Spell_GetIndex(-1), -1);
    EXPECT_EQ(Spell_GetIndex(8), -1);
    Spells_AddLevel(SPELL_SHUFFLE);
    Spells_AddLevel(SPELL_SHUFFLE);
    Spells_AddLevel(SPELL_SHUFFLE);
    Spells_AddLevel(SPELL_SHUFFLE);
    EXPECT_EQ(Spell_Level(SPELL_SHUFFLE), 3);
}

TEST_F(CastleSpells, FireballStopsAtACrateAndAnAmulet) {
    Build({"1212121", "3C456A3", "2121212"});
    EXPECT_EQ(Fireball_CanPass(1, 1), 0); // crate
    EXPECT_EQ(Fireball_CanPass(5, 1), 0); // amulet
    EXPECT_EQ(Fireball_CanPass(3, 1), 1);
    EXPECT_EQ(Fireball_CanPass(-1, 0), 0); // off the board
    EXPECT_EQ(Fireball_CanPass(7, 0), 0);
    EXPECT_EQ(Fireball_StopDir(2, 1, 4), 1); // the crate is left of (2, 1)
    EXPECT_EQ(Fireball_StopDir(2, 1, 0), 0);

    ASSERT_TRUE(CastAt(SPELL_FIREBALL, 1, Point{3, 1}));
    EXPECT_EQ(KindAt(0, 1), 3) << "behind the crate";
    EXPECT_EQ(Board_Cells[1][1].Blockers, 1) << "the crate stands";
    EXPECT_EQ(KindAt(2, 1), 0);
    EXPECT_EQ(KindAt(3, 1), 0);
    EXPECT_EQ(KindAt(4, 1), 0);
    EXPECT_EQ(KindAt(5, 1), KIND_AMULET);
    EXPECT_EQ(KindAt(6, 1), 3) << "behind the amulet";
    EXPECT_EQ(Pieces(), 14 + 3) << "level 1 flies along the row only";
    EXPECT_EQ(Mana, 0);
    // A crate or an amulet is no target.
    Mana = 500;
    EXPECT_FALSE(Spell_Cast(SPELL_FIREBALL, Point{1, 1}));
    EXPECT_FALSE(Spell_Cast(SPELL_FIREBALL, Point{5, 1}));
    EXPECT_EQ(Mana, 500);
}

TEST_F(CastleSpells, FireballLevelsFlyTwoFourAndEightWays) {
    const std::vector<std::string> board = {"12345", "23451", "34512", "45123", "51234"};
    Build(board);
    ASSERT_TRUE(CastAt(SPELL_FIREBALL, 2, Point{2, 2}));
    EXPECT_EQ(Pieces(), 25 - 9) << "row and column";
    EXPECT_EQ(KindAt(2, 0), 0);
    EXPECT_NE(KindAt(0, 0), 0);
    Build(board);
    ASSERT_TRUE(CastAt(SPELL_FIREBALL, 3, Point{2, 2}));
    EXPECT_EQ(Pieces(), 25 - 17) << "with both diagonals";
    EXPECT_EQ(KindAt(0, 0), 0);
    EXPECT_EQ(KindAt(4, 0), 0);
    EXPECT_NE(KindAt(1, 0), 0);
}

TEST_F(CastleSpells, BombTarAndChainDestroyerTakeTheirSquare) {
    const std::vector<std::string> board = {"1234512", "2345123", "34C1234", "4512345", "5123451"};
    Build(board);
    ASSERT_TRUE(CastAt(SPELL_BOMB, 1, Point{3, 2}));
    EXPECT_EQ(Board_Cells[2][2].Blockers, 0) << "the bomb breaks a crate";
    EXPECT_EQ(Pieces(), 34 - 8);
    EXPECT_NE(KindAt(1, 2), 0);
    EXPECT_EQ(KindAt(4, 3), 0);
    Build(board);
    ASSERT_TRUE(CastAt(SPELL_BOMB, 2, Point{3, 2}));
    EXPECT_EQ(Pieces(), 34 - 24);

    Build({"T1T2T3T", "1234512", "T1T2T3T"});
    ASSERT_TRUE(CastAt(SPELL_TAR, 1, Point{0, 1})); // radius 2
    EXPECT_EQ(KindAt(0, 0), 0);
    EXPECT_EQ(KindAt(2, 2), 0);
    EXPECT_EQ(KindAt(4, 0), KIND_TAR);
    EXPECT_EQ(KindAt(1, 1), 2) << "only tar goes";
    ASSERT_TRUE(CastAt(SPELL_TAR, 3, Point{0, 1})); // the whole board
    for (int32_t c = 0; c < 7; ++c)
        EXPECT_NE(KindAt(c, 0), KIND_TAR) << c;
    EXPECT_FALSE(CastAt(SPELL_TAR, 3, Point{0, 1})) << "no tar left: nothing to do";
    EXPECT_GT(Mana, 0) << "and nothing paid";

    Build({"12345", "23451", "34512"});
    for (int32_t c = 0; c < 5; ++c) {
        Board_Cells[c][1].Piece->Shield = 2;
        Board_Cells[c][1].Piece->MoveFlags = MOVE_NOSWAP | MOVE_NOFALL;
    }
    ASSERT_TRUE(CastAt(SPELL_CHAINS, 1, Point{0, 0})); // radius 2: columns 0..2
    EXPECT_EQ(Board_Cells[2][1].Piece->Shield, 0);
    EXPECT_EQ(Board_Cells[2][1].Piece->MoveFlags, 0);
    EXPECT_EQ(Board_Cells[3][1].Piece->Shield, 2);
    EXPECT_EQ(Pieces(), 15) << "the chain destroyer takes no piece";
}

TEST_F(CastleSpells, LightningTakesGemsOfTheClickedColourAndChromaTurnsGems) {
    Build({"1213141", "5161715", "1213141"});
    ASSERT_TRUE(CastAt(SPELL_LIGHTNING, 1, Point{0, 0})); // five of colour 1
    int32_t ones = 0, others = 0;
    for (int32_t c = 0; c < 7; ++c)
        for (int32_t r = 0; r < 3; ++r)
            (KindAt(c, r) == 1 ? ones : others) += KindAt(c, r) != 0;
    EXPECT_EQ(ones, 11 - 5);
    EXPECT_EQ(others, 10);
    EXPECT_FALSE(CastAt(SPELL_LIGHTNING, 1, Point{0, 0})) << "the clicked cell is empty now";

    Build({"1234", "2341", "3412"});
    ASSERT_TRUE(CastAt(SPELL_CHROMA, 1, Point{-1, -1}));
    int32_t wild = 0;
    for (int32_t c = 0; c < 4; ++c)
        for (int32_t r = 0; r < 3; ++r)
            wild += KindAt(c, r) == KIND_MULTICOLOR;
    EXPECT_EQ(wild, 3);
    EXPECT_EQ(Pieces(), 12);
}

TEST_F(CastleSpells, ManaIsPaidOnlyForACastAndNeverGoesBelowZero) {
    Build({"12345", "23451", "34512"});
    Match_Carried.SpellLevels[SPELL_FIREBALL] = 1;
    Mana = 99; // the fireball costs 100
    EXPECT_FALSE(Spell_CanCast(SPELL_FIREBALL));
    EXPECT_FALSE(Spell_Choose(SPELL_FIREBALL));
    EXPECT_FALSE(Spell_Cast(SPELL_FIREBALL, Point{2, 1}));
    EXPECT_EQ(Mana, 99);
    EXPECT_EQ(Pieces(), 15);
    Mana = 150;
    ASSERT_TRUE(Spell_Choose(SPELL_FIREBALL));
    EXPECT_EQ(Spell_Targeting, SPELL_FIREBALL);
    EXPECT_EQ(Spells_TakesClicks(), 1);
    Spell_Cancel();
    EXPECT_EQ(Spells_TakesClicks(), 0);
    EXPECT_EQ(Mana, 150);
    EXPECT_FALSE(Spell_Choose(SPELL_BOMB)) << "not owned";
    EXPECT_TRUE(Spell_Cast(SPELL_FIREBALL, Point{2, 1}));
    EXPECT_EQ(Mana, 50);
    // A higher level costs its own mana, not level 1's: exactly its cost casts and leaves nothing.
    Build({"12345", "23451", "34512"});
    Match_Carried.SpellLevels[SPELL_FIREBALL] = 3;
    const int32_t cost = Spell_Types[SPELL_FIREBALL * 3 + 2].ManaCost;
    ASSERT_NE(cost, Spell_Types[SPELL_FIREBALL * 3].ManaCost);
    Mana = cost - 1;
    EXPECT_FALSE(Spell_CanCast(SPELL_FIREBALL));
    Mana = cost;
    EXPECT_TRUE(Spell_Cast(SPELL_FIREBALL, Point{2, 1}));
    EXPECT_EQ(Mana, 0);
}

TEST_F(CastleSpells, ACastWaitsForASettledBoardAndIsDroppedWhenTheLevelEnds) {
    Build({"12345", "23451", "34512"});
    Match_Carried.SpellLevels[SPELL_CHROMA] = 1;
    Mana = 200;
    const PiecePtr moving = Board_Cells[0][0].Piece;
    moving->Moving = 1;
    ASSERT_TRUE(Spell_Choose(SPELL_CHROMA)); // no target: it waits for the board
    Spells_Update(16);
    EXPECT_EQ(Spell_Pending, SPELL_CHROMA);
    EXPECT_EQ(Mana, 200);
    moving->Moving = 0;
    Spells_Update(16);
    EXPECT_EQ(Spell_Pending, -1);
    EXPECT_EQ(Mana, 200 - 90);

    moving->Moving = 1;
    ASSERT_TRUE(Spell_Choose(SPELL_CHROMA));
    Level_EndState = 2;
    Spells_Update(16);
    EXPECT_EQ(Spell_Pending, -1);
    EXPECT_EQ(Mana, 200 - 90) << "the level ended before the board settled: nothing paid";
    Level_EndState = 0;
}

TEST_F(CastleSpells, TimeStopHoldsTheLevelTimeAndClearsTheFreezeValues) {
    Build({"12345", "23451", "34512"});
    Relaxed_Mode = 0;
    Level_Sweeping = 0;
    ASSERT_TRUE(CastAt(SPELL_TIMESTOP, 2, Point{-1, -1}));
    EXPECT_FLOAT_EQ(Freeze_TimeTotal, 15);
    EXPECT_FLOAT_EQ(Freeze_TimeLeft, 15);
    const int64_t before = Level_TimeLeft;
    Spells_Update(5000);
    Level_UpdateTime(5000);
    EXPECT_EQ(Level_TimeLeft, before);
    EXPECT_FLOAT_EQ(Freeze_TimeLeft, 10);
    Spells_Update(10000);
    EXPECT_EQ(Freeze_TimeLeft, 0);
    EXPECT_EQ(Freeze_TimeTotal, 0);
    Level_UpdateTime(1000);
    EXPECT_EQ(Level_TimeLeft, before - 1000000);
    // A new level clears a running stop.
    ASSERT_TRUE(CastAt(SPELL_TIMESTOP, 1, Point{-1, -1}));
    Spells_LevelStart();
    EXPECT_EQ(Freeze_TimeLeft, 0);
    EXPECT_EQ(Freeze_TimeTotal, 0);
}

bool HasGroup() {
    for (int32_t c = 0; c < Board_Cols; ++c)
        for (int32_t r = 0; r < Board_Rows; ++r)
            if (Board_Cells[c][r].Piece && Board_FindMatchGroup(c, r, 0, 0) > 0) return true;
    return false;
}

std::map<int32_t, int32_t> Multiset() {
    std::map<int32_t, int32_t> m;
    for (int32_t c = 0; c < Board_Cols; ++c)
        for (int32_t r = 0; r < Board_Rows; ++r)
            if (KindAt(c, r)) ++m[KindAt(c, r)];
    return m;
}

TEST_F(CastleSpells, ShuffleKeepsThePiecesAndLeavesAMoveAndNoGroup) {
    for (int32_t seed = 1; seed <= 60; ++seed) {
        Rand_Seed(seed);
        std::vector<std::string> rows(6, std::string(6, '1'));
        for (std::string& row : rows)
            for (char& ch : row)
                ch = char('1' + Rand_Int(0, 4));
        rows[2][2] = 'T'; // tar and crates stay where they are
        rows[3][4] = 'C';
        Build(rows);
        const auto before = Multiset();
        const PiecePtr tar = Board_Cells[2][2].Piece;
        ASSERT_TRUE(CastAt(SPELL_SHUFFLE, 1, Point{0, 0})) << "seed " << seed;
        EXPECT_EQ(Multiset(), before) << "seed " << seed;
        EXPECT_FALSE(HasGroup()) << "seed " << seed;
        EXPECT_TRUE(Board_HasMove()) << "seed " << seed;
        EXPECT_EQ(Board_Cells[2][2].Piece, tar);
        EXPECT_EQ(Board_Cells[4][3].Blockers, 1);
        for (int32_t c = 0; c < 6; ++c)
            for (int32_t r = 0; r < 6; ++r)
                if (const PiecePtr& p = Board_Cells[c][r].Piece) {
                    EXPECT_EQ(p->Col, c);
                    EXPECT_EQ(p->Row, r);
                }
    }
    // Two colours on a 2 x 2 board: no arrangement has a move, so the board stays and nothing is paid.
    Build({"12", "21"});
    const auto before = bt::Snapshot();
    EXPECT_FALSE(CastAt(SPELL_SHUFFLE, 1, Point{0, 0}));
    EXPECT_EQ(bt::Snapshot(), before);
    EXPECT_EQ(Mana, Spell_Types[size_t(Spell_GetIndex(SPELL_SHUFFLE))].ManaCost);
}

} // namespace

namespace {

TEST(CastleSavedLevels, ATreasureLevelOutOfRangeIsClampedWithALine) {
    std::vector<int32_t> v = Castle_SaveState();
    ASSERT_GE(v.size(), 3u);
    v[2] = 7;
    testing::internal::CaptureStdout();
    Castle_LoadState(v);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(Treasure_Level, kTreasureLevels - 1);
    EXPECT_NE(out.find("treasure level 7 out of range"), std::string::npos) << out;
    Castle_ResetProgress();
}

} // namespace
