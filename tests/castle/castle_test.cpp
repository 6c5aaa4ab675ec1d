// Castles and the gem bag: price files with malformed lines, buying (exact payment, refusal without change,
// prerequisites), storeys and completion, the saved progress, the bag limit and a restart's take-back.
#include <gtest/gtest.h>

#include "board/rules.h"
#include "castle_helpers.h"
#include "main/config.h"
#include "board/play.h"
#include "menus/menus.h"
#include "main/progress.h"

namespace {

// Two storeys: three parts (the third needs the first two), then one part.
const std::string kSmall = "# a small castle\r\n"
                           "level=1\r\n"
                           "elem 5 0 0 0 0 0 0 x=10 y=20 depth=100 name=Mauer\r\n"
                           "  elem 0 4 0 0 0 0 0 x=30 y=20 depth=90 name=Turm # trailing comment\r\n"
                           "\r\n"
                           "elem 2 2 0 0 0 0 0 depth=80 needs=1,2 name=Dach des Turms\r\n"
                           "level=2\r\n"
                           "elem 0 0 0 0 0 0 3 anim=flag name=Banner\r\n";

std::string Capture(const std::function<void()>& f) {
    testing::internal::CaptureStdout();
    f();
    return testing::internal::GetCapturedStdout();
}

class CastleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ct::LoadOneCastle(kSmall);
        Player_Current = 2;
        Castles_Completed.fill(0);
        Gold = 0;
        Level_Current = 7;
        Wallpapers_FromLevel = 0;
    }
    void TearDown() override { ct::StopRecording(); }
};

TEST(CastlePrices, GoodLinesMakePartsAndEveryMalformedLineIsSkippedWithFileAndLine) {
    const std::string text = "elem 1 1 1 1 1 1 1\n"                 // 1: before any storey
                             "level=1\n"                            // 2
                             "elem 1 2 3 4 5 6 7 x=4 y=-8\n"        // 3: good
                             "elem 1 2 3\n"                         // 4: too few amounts
                             "elem 1 2 3 4 5 6 -7\n"                // 5: negative
                             "elem 1 2 3 4 5 6 x\n"                 // 6: not a number
                             "elem 0 0 0 0 0 0 0 colour=red\n"      // 7: unknown key
                             "elem 0 0 0 0 0 0 0 needs=2\n"         // 8: needs a part not above it
                             "elem 0 0 0 0 0 0 0 depth=200\n"       // 9: depth out of range
                             "level=3\n"                            // 10: storeys must count 1, 2, ...
                             "tower 1 2 3\n"                        // 11: unknown line
                             "elemental 1 1 1 1 1 1 1\n"            // 12: not "elem"
                             "level=2\n"                            // 13
                             "elem 9 9 9 9 9 9 9 needs=1 name=Ok\n" // 14: needs refers to this storey, which is empty
                             "elem 0 0 0 0 0 0 1 name=Zweiter Turm\n"; // 15: good, name with a blank
    std::vector<CastleElemPtr> elems;
    int32_t read = 0;
    const std::string out = Capture([&] { read = Castle_ParsePrices(3, text, u"Castle4.txt", elems); });
    EXPECT_EQ(read, 2);
    ASSERT_EQ(elems.size(), 2u);
    EXPECT_EQ(elems[0]->price, (std::array<int32_t, 7>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(elems[0]->x, 4);
    EXPECT_EQ(elems[0]->y, -8);
    EXPECT_EQ(elems[1]->name, u"Zweiter Turm");
    EXPECT_EQ(elems[1]->storey, 1);
    ASSERT_EQ(Castles[3].storeys.size(), 2u);
    for (int line : {1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14})
        EXPECT_NE(out.find("Castle4.txt line " + std::to_string(line) + ":"), std::string::npos) << line << "\n" << out;
    for (int line : {2, 3, 13, 15})
        EXPECT_EQ(out.find("Castle4.txt line " + std::to_string(line) + ":"), std::string::npos) << line;
}

TEST(CastlePrices, TheShippedFilesParseCleanlyIntoSevenCastles) {
    std::string out;
    out = Capture([] { ASSERT_TRUE(ct::LoadShippedPrices()); });
    EXPECT_EQ(out, "");
    for (const Castle& c : Castles) {
        EXPECT_GE(c.storeys.size(), 3u) << c.number;
        for (const auto& s : c.storeys) {
            EXPECT_GE(s.size(), 2u) << c.number;
            EXPECT_LE(s.size(), 5u) << c.number << ": the build menu's panel holds five part buttons";
        }
    }
    for (const CastleElemPtr& e : Castle_Elems) {
        EXPECT_FALSE(e->name.empty());
        EXPECT_FALSE(e->imagePath.empty());
        int32_t total = 0;
        for (int32_t g : e->price)
            total += g;
        EXPECT_GT(total, 0);
    }
}

TEST_F(CastleTest, AMissingPriceFileIsACastleWithoutPartsThatCountsAsDone) {
    // castles 1..6 have no parts here: once castle 0 is done, nothing is left
    EXPECT_EQ(Castle_Current, 0);
    ct::LoadOneCastle("");
    EXPECT_EQ(Castle_Current, kCastleCount);
    EXPECT_FALSE(Castle_Buy(0));
}

TEST_F(CastleTest, BuyingPaysExactlyThePriceAndIsRefusedWithoutAnyChangeWhenTheBagFallsShort) {
    ct::FillBag(4);
    EXPECT_FALSE(Castle_Elems[0]->IsAffordable()); // 5 red wanted
    const auto before = Gems_Total;
    EXPECT_FALSE(Castle_Buy(0));
    EXPECT_EQ(Gems_Total, before);
    EXPECT_EQ(Castle_Elems[0]->built, 0);

    ct::FillBag(10);
    EXPECT_TRUE(Castle_Elems[0]->IsAffordable());
    EXPECT_TRUE(Castle_Buy(0));
    EXPECT_EQ(Gems_Total, (std::array<int32_t, 7>{5, 10, 10, 10, 10, 10, 10}));
    EXPECT_EQ(Castle_Elems[0]->built, 1);
    EXPECT_LT(Castle_Elems[0]->settle, 1.0f) << "it settles in";
    EXPECT_FALSE(Castle_Buy(0)) << "built once";
    EXPECT_EQ(Gems_Total[0], 5);
}

TEST_F(CastleTest, APartWaitsForThePartsItNeedsAndForItsStorey) {
    ct::FillBag(50);
    EXPECT_FALSE(Castle_Elems[2]->IsAffordable());
    EXPECT_FALSE(Castle_Buy(2));
    EXPECT_FALSE(Castle_Buy(3)) << "the next storey is not on sale yet";
    EXPECT_TRUE(Castle_Buy(0));
    EXPECT_FALSE(Castle_Buy(2));
    EXPECT_TRUE(Castle_Buy(1));
    EXPECT_EQ(Castles[0].level, 0);
    EXPECT_TRUE(Castle_Buy(2));
    EXPECT_EQ(Castles[0].level, 1) << "a finished storey goes to the next";
}

TEST_F(CastleTest, GoNextLevelRefusesAnUnfinishedOrLastStoreyWithItsDiagnostic) {
    std::string out = Capture([] { EXPECT_FALSE(Castles[0].GoNextLevel()); });
    EXPECT_NE(out.find("Castle.GoNextLevel: castle 0 level 0 of 2"), std::string::npos) << out;
    for (int i = 0; i < 3; ++i)
        Castle_Elems[static_cast<size_t>(i)]->built = 1;
    EXPECT_TRUE(Castles[0].GoNextLevel());
    Castle_Elems[3]->built = 1;
    out = Capture([] { EXPECT_FALSE(Castles[0].GoNextLevel()); });
    EXPECT_NE(out.find("Castle.GoNextLevel: castle 0 level 1 of 2"), std::string::npos) << out;
}

TEST_F(CastleTest, TheLastPartCompletesTheCastleAndTurnsTheGemsLeftIntoGold) {
    ct::FillBag(20);
    for (int32_t i : {0, 1, 2})
        ASSERT_TRUE(Castle_Buy(i));
    ct::StartRecording();
    ASSERT_TRUE(Castle_Buy(3)); // the banner: 3 white
    EXPECT_EQ(Castle_JustCompleted, 0);
    EXPECT_EQ(Castles_Completed[2 * kCastleCount + 0], 1) << "player 2, castle 0";
    EXPECT_EQ(Castles_Completed[0], 0);
    EXPECT_EQ(Wallpapers_FromLevel, 1);
    // left over: 20*7 - (5 + 4 + 4 + 3) = 124 gems
    EXPECT_EQ(Gold, 124 * kGoldPerGem);
    EXPECT_EQ(Gems_Total, (std::array<int32_t, 7>{}));
    EXPECT_EQ(Castle_Current, kCastleCount) << "the other castles have no parts here";
    EXPECT_EQ(Castles_AllDonePending, 1);
}

TEST_F(CastleTest, SavedProgressComesBackAndABadPartIndexIsIgnored) {
    ct::FillBag(30);
    Treasure_Level = 1;
    ASSERT_TRUE(Castle_Buy(1));
    const std::vector<int32_t> saved = Castle_SaveState();
    Castle_ResetProgress();
    EXPECT_EQ(Castle_Elems[1]->built, 0);
    Castle_LoadState(saved);
    EXPECT_EQ(Castle_Elems[1]->built, 1);
    EXPECT_EQ(Castle_Elems[0]->built, 0);
    EXPECT_EQ(Gems_Total[1], 26);
    EXPECT_EQ(Treasure_Level, 1);

    std::vector<int32_t> bad = saved;
    bad[bad.size() - 2 - kGemColours] = 999; // the last built part (the level's gems and the hammer prize follow)
    const std::string out = Capture([&] { Castle_LoadState(bad); });
    EXPECT_NE(out.find("part 999"), std::string::npos) << out;
    for (const CastleElemPtr& e : Castle_Elems)
        EXPECT_EQ(e->built, 0);

    bad = saved;
    bad[3 + kCastleCount] = -40; // a negative gem count
    Castle_LoadState(bad);
    EXPECT_EQ(Gems_Total[0], 0);
    // Huge counts (a record with a valid checksum): each taken at a bound play never reaches, so the level's seven
    // counts add up without overflow.
    bad = saved;
    for (size_t g = 0; g < kGemColours; ++g) {
        bad[3 + kCastleCount + g] = INT32_MAX;
        bad[bad.size() - 1 - kGemColours + g] = INT32_MAX;
    }
    Castle_LoadState(bad);
    EXPECT_LT(Gems_Total[0], 10000000);
    EXPECT_EQ(Gems_ThisLevel, int32_t(kGemColours) * Gems_Total[0]);

    // The gamble's hammer prize for the next level travels with the saved progress; a new match does not get it,
    // and an older block without it leaves none.
    Gamble_PendingHammer = 60;
    bad = Castle_SaveState();
    Castle_ResetProgress();
    EXPECT_EQ(Gamble_PendingHammer, 0);
    Castle_LoadState(bad);
    EXPECT_EQ(Gamble_PendingHammer, 60);
    bad.pop_back();
    Castle_LoadState(bad);
    EXPECT_EQ(Gamble_PendingHammer, 0);
    Capture([] { Castle_LoadState({1, 2, 3}); }); // not castle progress at all
    EXPECT_EQ(Castle_Current, 0);
    EXPECT_EQ(Gems_Total[1], 0);
}

// A match continued in the middle of a level and then restarted takes back what the level brought, not more.
TEST_F(CastleTest, TheLevelsGemsTravelWithTheSavedProgress) {
    Gems_Total = {0, 0, 0, 9, 0, 0, 0};
    Gems_LevelStart();
    Gems_Add(3, 4);
    const std::vector<int32_t> saved = Castle_SaveState();
    Castle_ResetProgress();
    Castle_LoadState(saved);
    EXPECT_EQ(Gems_Total[3], 13);
    EXPECT_EQ(Gems_ThisLevelByColour[3], 4);
    EXPECT_EQ(Gems_ThisLevel, 4);
    Gems_Add(3, -10); // the board asks for more back than the bag kept
    EXPECT_EQ(Gems_Total[3], 9);
    EXPECT_EQ(Gems_ThisLevel, 0);
}

TEST_F(CastleTest, TheBagLimitOfEachTreasureLevelLosesWhatDoesNotFitAndReportsIt) {
    for (int32_t t = 0; t < kTreasureLevels; ++t) {
        SCOPED_TRACE(t);
        Gems_Total.fill(0);
        Treasure_Level = t;
        Gems_LevelStart();
        ct::StartRecording();
        Gems_Add(2, Gems_BagLimits[static_cast<size_t>(t)] - 3);
        Gems_Add(4, 10);
        EXPECT_EQ(Gems_Total[4], 3) << "only three more fit";
        EXPECT_TRUE(Gems_BagFull());
        Gems_Add(4, 1);
        EXPECT_EQ(Gems_ThisLevel, Gems_BagLimits[static_cast<size_t>(t)]);
        ASSERT_EQ(ct::Events.size(), 3u);
        EXPECT_EQ(ct::Events[1].id, 18);
        EXPECT_EQ(ct::Events[1].a, 4);
        EXPECT_EQ(ct::Events[1].b, 3);
        EXPECT_EQ(ct::Events[2].b, 0) << "the full bag is still reported";
    }
    EXPECT_LT(Gems_BagLimits[0], Gems_BagLimits[1]);
    EXPECT_LT(Gems_BagLimits[1], Gems_BagLimits[2]);
}

TEST_F(CastleTest, ARestartTakesTheLevelsGemsBackButNeverBelowZero) {
    Gems_Total = {10, 0, 0, 0, 0, 0, 0};
    Gems_LevelStart();
    Gems_Add(0, 6);
    Gems_Add(5, 2);
    ct::StartRecording();
    Gems_Add(0, -Gems_ThisLevelByColour[0]);
    Gems_Add(5, -Gems_ThisLevelByColour[5]);
    EXPECT_EQ(Gems_Total[0], 10);
    EXPECT_EQ(Gems_Total[5], 0);
    EXPECT_EQ(Gems_ThisLevel, 0);
    Gems_Add(5, -7); // more than the bag holds
    EXPECT_EQ(Gems_Total[5], 0);
    ASSERT_EQ(ct::Events.size(), 3u);
    EXPECT_EQ(ct::Events[0].b, -6);
    EXPECT_EQ(ct::Events[2].b, 0);
    const std::string out = Capture([] { Gems_Add(7, 5); });
    EXPECT_NE(out.find("colour 7"), std::string::npos);
    EXPECT_EQ(Gems_ThisLevel, 0);
}

} // namespace
