// Tests of src/menus/highscores.cpp: the fresh file byte by byte, files of the wrong size kept aside, flipped and cut
// files, a save that cannot write, a save killed half way, and the ranking and insertion rules.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "board/play.h"
#include "board/rules.h"
#include "main/config.h"
#include "main/screens.h"
#include "menus/menus.h"
#include "menus_helpers.h"

namespace {

using HighscoresTest = MenusTest;

std::string HsFile(const std::string& dataDir) { return dataDir + "/highscores.dat"; }

TEST_F(HighscoresTest, AFreshFileHoldsEightEmptyPlacesByteByByte) {
    const std::vector<uint8_t> b = ReadBytes(HsFile(dataDir_));
    ASSERT_EQ(b.size(), 240u);
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(LeInt(b, i * 20), -1);
        EXPECT_EQ(LeInt(b, i * 20 + 4), 0);
        EXPECT_EQ(LeInt(b, i * 20 + 16), 4096 + int32_t(i));
        for (size_t k = 0; k < 9; ++k)
            EXPECT_EQ(b[160 + i * 10 + k], ' ');
        EXPECT_EQ(b[160 + i * 10 + 9], 0);
    }
}

TEST_F(HighscoresTest, InsertSaveAndReloadKeepScoresAndLatin1Names) {
    Player_Names[2] = u"Jürgen";
    Player_Names[3] = u"Maximilian"; // ten characters: stored with nine
    Highscores_Insert(Highscores_FindRank(500), {2, 500, 1, 9, 321});
    Highscores_Insert(Highscores_FindRank(900), {3, 900, 4, 12, 654});
    Highscores_Save();
    const std::vector<uint8_t> b = ReadBytes(HsFile(dataDir_));
    ASSERT_EQ(b.size(), 240u);
    EXPECT_EQ(LeInt(b, 0), 3);
    EXPECT_EQ(LeInt(b, 4), 900);
    EXPECT_EQ(LeInt(b, 20), 2);
    EXPECT_EQ(std::string(b.begin() + 160, b.begin() + 170), std::string("Maximilia\0", 10));
    EXPECT_EQ(std::string(b.begin() + 170, b.begin() + 180), std::string("J\xFCrgen   \0", 10));
    HS_Slots = {};
    HS_Names = {};
    ASSERT_TRUE(Highscores_Load());
    EXPECT_EQ(HS_Slots[1].score, 500);
    EXPECT_EQ(HS_Slots[1].playTime, 321);
    EXPECT_EQ(HS_Names[1], u"Jürgen   ") << "padding blanks stay, as inserted";
    EXPECT_EQ(HS_Names[0], u"Maximilia");
    EXPECT_EQ(HS_Slots[2].player, -1);
}

TEST_F(HighscoresTest, WrongSizesAreKeptAsBadAndAFreshTableIsWritten) {
    for (const size_t size : {239u, 241u, 100u, 0u}) {
        SCOPED_TRACE(size);
        std::vector<uint8_t> odd(size);
        for (size_t i = 0; i < size; ++i)
            odd[i] = uint8_t(i * 7);
        WriteBytes(HsFile(dataDir_), odd);
        out_.clear();
        testing::internal::CaptureStdout();
        Highscores_Init();
        out_ = testing::internal::GetCapturedStdout();
        EXPECT_NE(out_.find("highscores format updated"), std::string::npos);
        EXPECT_EQ(ReadBytes(HsFile(dataDir_) + ".bad"), odd) << "the old bytes are kept";
        EXPECT_EQ(ReadBytes(HsFile(dataDir_)).size(), 240u);
        EXPECT_EQ(HS_Slots[0].player, -1);
        EXPECT_EQ(HS_Slots[7].playTime, 4103);
    }
}

// A folder in the file's place is set aside like a file of a wrong size, so the scores can be saved again.
TEST_F(HighscoresTest, AFolderInTheFilesPlaceIsSetAside) {
    std::filesystem::remove(HsFile(dataDir_));
    std::filesystem::create_directories(HsFile(dataDir_) + "/inside");
    testing::internal::CaptureStdout();
    Highscores_Init();
    out_ = testing::internal::GetCapturedStdout();
    EXPECT_NE(out_.find("is not a file, kept as"), std::string::npos) << out_;
    EXPECT_EQ(out_.find("format updated"), std::string::npos) << "a folder is no old format: " << out_;
    EXPECT_TRUE(std::filesystem::is_directory(HsFile(dataDir_) + ".bad/inside"));
    EXPECT_EQ(ReadBytes(HsFile(dataDir_)).size(), 240u) << "a fresh file is written";
}

TEST_F(HighscoresTest, FlippedBytesLoadAsTheyAreAndStayUsable) {
    std::vector<uint8_t> b = ReadBytes(HsFile(dataDir_));
    for (size_t i = 0; i < b.size(); i += 3)
        b[i] ^= 0xA5;
    WriteBytes(HsFile(dataDir_), b);
    Highscores_Init();
    EXPECT_EQ(HS_Slots[0].player, LeInt(b, 0));
    const int32_t place = Highscores_FindRank(INT32_MAX);
    Player_Names[0] = u"Anna";
    Highscores_Insert(place < 0 ? 7 : place, HS_Slots[3]); // a player field far out of range
    Highscores_Insert(0, {0, 5, 1, 1, 1});
    EXPECT_EQ(HS_Names[0], u"Anna     ");
    Highscores_Save();
    EXPECT_EQ(ReadBytes(HsFile(dataDir_)).size(), 240u);
}

TEST_F(HighscoresTest, ASaveThatCannotWriteKeepsTheTableAndTheOldFile) {
    const std::vector<uint8_t> before = ReadBytes(HsFile(dataDir_));
    HS_Path = S(dataDir_ + "/no such folder/highscores.dat");
    HS_Slots[0].score = 77;
    testing::internal::CaptureStdout();
    Highscores_Save();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Error saving highscores"), std::string::npos);
    EXPECT_EQ(HS_Slots[0].score, 77);
    EXPECT_EQ(ReadBytes(HsFile(dataDir_)), before);
}

// A game killed while it writes the table leaves the old file or the new one, never a torn one.
TEST_F(HighscoresTest, ASaveKilledHalfWayLeavesAWholeFile) {
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int32_t n = 1;; ++n) { // saves two tables in turn until killed
                for (HS_Slot& s : HS_Slots)
                    s = {n % 2, n % 2 ? 1111 : 2222, 0, 0, 0};
                Highscores_Save();
            }
        }
        usleep(useconds_t(2000 + round * 1500));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const std::vector<uint8_t> b = ReadBytes(HsFile(dataDir_));
        ASSERT_EQ(b.size(), 240u);
        const int32_t score = LeInt(b, 4);
        EXPECT_TRUE(score == 0 || score == 1111 || score == 2222) << score;
        for (size_t i = 1; i < 8; ++i)
            EXPECT_EQ(LeInt(b, i * 20 + 4), score) << "a torn table";
    }
}

// A game-over entry keeps where the match started and ended and how long it was played (the end of the campaign's
// entry keeps player and score only), in memory and in the file.
TEST_F(HighscoresTest, AGameOverEntryKeepsTheWholeMatch) {
    Player_Current = 1;
    Score = 4321;
    Match_StartLevel = 3;
    Level_LastPlayed = 7;
    Match_PlayMs = 65999;
    HighScore_AddFromGame();
    Dialog_Close();
    const HS_Slot& s = HS_Slots[0];
    EXPECT_EQ(s.player, 1);
    EXPECT_EQ(s.score, 4321);
    EXPECT_EQ(s.startLevel, 3);
    EXPECT_EQ(s.lastLevel, 7);
    EXPECT_EQ(s.playTime, 65);
    const std::vector<uint8_t> b = ReadBytes(HsFile(dataDir_));
    EXPECT_EQ(LeInt(b, 8), 3);
    EXPECT_EQ(LeInt(b, 12), 7);
    EXPECT_EQ(LeInt(b, 16), 65);
}

TEST_F(HighscoresTest, RankInsertAndClearFollowTheTable) {
    for (int32_t i = 0; i < 8; ++i)
        Highscores_Insert(i, {0, 800 - i * 100, 1, 2, 3});
    EXPECT_EQ(Highscores_FindRank(800), 1) << "an equal score goes below";
    EXPECT_EQ(Highscores_FindRank(801), 0);
    EXPECT_EQ(Highscores_FindRank(100), -1);
    EXPECT_EQ(Highscores_FindRank(0), -1);
    Highscores_Insert(0, {1, 9000, 0, 0, 0});
    EXPECT_EQ(HS_Slots[0].score, 9000);
    EXPECT_EQ(HS_Slots[7].score, 200) << "the old place 7 dropped out";
    Highscores_Insert(8, {1, 1, 0, 0, 0});
    Highscores_Insert(-1, {1, 1, 0, 0, 0});
    EXPECT_EQ(HS_Slots[7].score, 200);

    Score = 4321;
    Player_Current = 0;
    Highscores_Add(Highscores_FindRank(Score));
    EXPECT_EQ(HS_Slots[1].score, 4321);
    EXPECT_EQ(HS_Slots[1].startLevel, 0);
    EXPECT_EQ(LeInt(ReadBytes(HsFile(dataDir_)), 1 * 20 + 4), 4321) << "saved at once";

    Highscores_Clear();
    for (const HS_Slot& s : HS_Slots) {
        EXPECT_EQ(s.player, -1);
        EXPECT_EQ(s.score, 0);
    }
    EXPECT_EQ(HS_Slots[7].startLevel, 1) << "the other fields stay";
    EXPECT_EQ(HS_Names[0], HS_BlankName);
    EXPECT_EQ(LeInt(ReadBytes(HsFile(dataDir_)), 4), 0);
}

} // namespace
