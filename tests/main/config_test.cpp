// Tests of src/main/config.cpp and src/main/progress.cpp: the configuration text file (parsing, defaults, range
// checks, unknown keys dropped) and the player progress file (layout, set-aside of bad files, one-array rewrites).
#include <gtest/gtest.h>

#include "main/config.h"
#include "main/progress.h"
#include "main/progress.h"
#include "runtime_helpers.h"

namespace {

// The documented layout (docs/file-formats.md): byte offsets of the named arrays and the file size.
constexpr size_t kOffEase = 280, kOffLastLevel = 6360, kOffVolFx = 6680, kOffVolMusic = 6720, kOffVolAmbient = 6760,
                 kOffTips = 6800, kOffUsed = 8960, kOffTutorial = 9040, kFileSize = 10880;

class ConfigTest : public RuntimeTest {
  protected:
    std::string ConfigFile() const { return dataDir_ + "/mm_config.txt"; }
    std::string ProgressFile() const { return dataDir_ + "/mm_config.bin"; }
};

TEST_F(ConfigTest, MissingFileIsWrittenWithEveryDefault) {
    Config_Load();
    const std::string text = ReadText(ConfigFile());
    for (const char* line : {"PLAYER0=\r\n", "PLAYER9=\r\n", "PLAYER_CRT=0\r\n", "FX_VOL=0.8\r\n", "MUSIC_VOL=0.8\r\n",
                             "AMBIENT_VOL=0.5\r\n", "WINDOWED_MODE=1\r\n", "LEVELS_COUNT=150\r\n", "USERS_COUNT=0\r\n",
                             "SLOW_PC=0\r\n", "BG_LIGHT=1\r\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    EXPECT_EQ(Player_Current, 0);
    EXPECT_EQ(Windowed_Mode, 1);
    EXPECT_EQ(Levels_Count, 150);
}

TEST_F(ConfigTest, RoundTripDropsUnknownKeysAndSplitsAtCr) {
    // Lines end in CR only, one in CR LF, with an unknown key and a value holding "=".
    WriteText(ConfigFile(), "PLAYER0=Anna\rPLAYER_CRT=3\rMY_KEY=a=b\r\nSLOW_PC=1\rWINDOWED_MODE=0\r");
    Config_Load();
    EXPECT_EQ(Player_Names[0], u"Anna");
    EXPECT_EQ(Player_Current, 3);
    EXPECT_EQ(Slow_PC, 1);
    EXPECT_EQ(Windowed_Mode, 0);
    EXPECT_EQ(Config_Get(u"MY_KEY"), u""); // the game has no such key
    EXPECT_EQ(Config_Get(u"NO_SUCH_KEY"), u"");
    ASSERT_TRUE(Config_SetValue(u"PLAYER3", u"a=b")); // a value may hold "="

    ASSERT_TRUE(Config_SetValue(u"PLAYER1", u"Bernd"));
    ASSERT_TRUE(Config_SetValue(u"PLAYER2", u"J\u00fcrgen")); // one byte per letter in the file
    Config_Load();                                            // read back what was written
    EXPECT_EQ(Player_Names[1], u"Bernd");
    EXPECT_EQ(Player_Names[2], u"J\u00fcrgen");
    EXPECT_EQ(Player_Names[3], u"a=b");
    EXPECT_NE(ReadText(ConfigFile()).find("PLAYER2=J\xfcrgen\r\n"), std::string::npos);
    EXPECT_EQ(Player_Names[0], u"Anna");
    const std::string text = ReadText(ConfigFile());
    EXPECT_EQ(text.find("\r\r"), std::string::npos);
    EXPECT_NE(text.find("PLAYER1=Bernd\r\n"), std::string::npos);
    EXPECT_EQ(text.find("MY_KEY"), std::string::npos);
}

TEST_F(ConfigTest, LinesEndedByLfAloneAlsoRead) {
    WriteText(ConfigFile(), "PLAYER0=Anna\nPLAYER_CRT=2\nSLOW_PC=1\n");
    Config_Load();
    EXPECT_EQ(Player_Names[0], u"Anna");
    EXPECT_EQ(Player_Current, 2);
    EXPECT_EQ(Slow_PC, 1);
}

TEST_F(ConfigTest, BadValuesTakeDefaultsWithADiagnostic) {
    WriteText(ConfigFile(), "PLAYER_CRT=12\rFX_VOL=1.5\rMUSIC_VOL=abc\rWINDOWED_MODE=7\rLEVELS_COUNT=-3\rBG_LIGHT=\r");
    ::testing::internal::CaptureStdout();
    Config_Load();
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(Player_Current, 0);
    EXPECT_EQ(Windowed_Mode, 1);
    EXPECT_EQ(Levels_Count, 150);
    EXPECT_EQ(Bg_Light, 1);
    for (const char* key : {"PLAYER_CRT", "FX_VOL", "MUSIC_VOL", "WINDOWED_MODE", "LEVELS_COUNT", "BG_LIGHT"})
        EXPECT_NE(out.find(std::string("config: ") + key), std::string::npos) << key;
    EXPECT_NE(out.find("config: PLAYER5 missing"), std::string::npos);
    EXPECT_NE(out.find("\r\n"), std::string::npos);
    // The repaired values are what the file holds now.
    const std::string text = ReadText(ConfigFile());
    EXPECT_NE(text.find("PLAYER_CRT=0\r\n"), std::string::npos);
    EXPECT_NE(text.find("FX_VOL=0.8\r\n"), std::string::npos);
}

// A flipped byte in a key loses the value under it; the damaged original is kept as ".bad" before the repaired file
// replaces it, so the name can still be found. A file that needed no repair is left as it is.
TEST_F(ConfigTest, ARepairedFileKeepsTheDamagedOriginal) {
    Config_Load();
    const std::string good = ReadText(ConfigFile());
    Config_Load();
    EXPECT_EQ(ReadText(ConfigFile()), good);
    EXPECT_FALSE(FileExists(ConfigFile() + ".bad"));
    const std::string damaged = "PLAYEQ0=Anna\r" + good.substr(good.find("PLAYER1"));
    WriteText(ConfigFile(), damaged);
    ::testing::internal::CaptureStdout();
    Config_Load();
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(ReadText(ConfigFile() + ".bad"), damaged) << out;
    EXPECT_NE(out.find("kept as"), std::string::npos) << out;
    EXPECT_NE(ReadText(ConfigFile()).find("PLAYER0=\r\n"), std::string::npos);
}

// The edges of the ranges: the last valid value is taken, the first invalid one is replaced by the default.
TEST_F(ConfigTest, RangesHoldAtTheirEdges) {
    const struct {
        const char* text;
        int32_t player, levels;
        bool repaired;
    } cases[] = {
        {"PLAYER_CRT=9\rLEVELS_COUNT=1\r", 9, 1, false},
        {"PLAYER_CRT=10\rLEVELS_COUNT=151\r", 0, 150, true}, // the progress file holds ease for 150 levels only
        {"PLAYER_CRT=-1\rLEVELS_COUNT=210\r", 0, 150, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        WriteText(ConfigFile(), c.text);
        ::testing::internal::CaptureStdout();
        Config_Load();
        const std::string out = ::testing::internal::GetCapturedStdout();
        EXPECT_EQ(Player_Current, c.player);
        EXPECT_EQ(Levels_Count, c.levels);
        EXPECT_EQ(out.find("config: LEVELS_COUNT") != std::string::npos, c.repaired);
    }
    // A bad ambient volume takes the ambient default, not the effects' or the music's.
    WriteText(ConfigFile(), "AMBIENT_VOL=7\r");
    ::testing::internal::CaptureStdout();
    Config_Load();
    ::testing::internal::GetCapturedStdout();
    EXPECT_NE(ReadText(ConfigFile()).find("AMBIENT_VOL=0.5\r\n"), std::string::npos);
}

TEST_F(ConfigTest, ProgressFileLayoutAndDefaults) {
    EXPECT_EQ(Progress_FileSize(), int32_t(kFileSize));
    Progress_Load();
    EXPECT_EQ(First_Start, 1);
    const auto b = ReadBytes(ProgressFile());
    ASSERT_EQ(b.size(), kFileSize);
    EXPECT_FLOAT_EQ(LeFloat(b, kOffVolFx), 0.8f);
    EXPECT_FLOAT_EQ(LeFloat(b, kOffVolMusic + 36), 0.8f);
    EXPECT_FLOAT_EQ(LeFloat(b, kOffVolAmbient), 0.5f);
    EXPECT_EQ(LeInt(b, kOffEase), 0); // ease values start normal
    EXPECT_EQ(LeInt(b, kOffUsed), 0);

    // Values land at their documented offsets and come back.
    Player_LastLevel[2] = 17;
    Tips_Shown[1][4] = 1;
    Tutorial_Flags[449] = 1;
    Vol_Ambient[9] = 0.25f;
    Player_LevelEase[1][150] = 3;
    ASSERT_TRUE(Progress_Save());
    const auto c = ReadBytes(ProgressFile());
    EXPECT_EQ(LeInt(c, kOffLastLevel + 8), 17);
    EXPECT_EQ(LeInt(c, kOffTips + 4 * 55), 1);
    EXPECT_EQ(LeInt(c, kOffTutorial + 4 * 449), 1);
    EXPECT_FLOAT_EQ(LeFloat(c, kOffVolAmbient + 36), 0.25f);
    EXPECT_EQ(LeInt(c, kOffEase + 4 * (151 + 150)), 3);
    Progress_Defaults();
    Progress_Load();
    EXPECT_EQ(First_Start, 0);
    EXPECT_EQ(Player_LastLevel[2], 17);
    EXPECT_FLOAT_EQ(Vol_Ambient[9], 0.25f);
}

TEST_F(ConfigTest, SaveArrayChangesOnlyItsBytes) {
    Progress_Load();
    // Fill the file with a pattern the game itself never writes, then rewrite one array.
    std::vector<uint8_t> pattern(kFileSize);
    for (size_t i = 0; i < pattern.size(); ++i)
        pattern[i] = uint8_t(i * 7 + 3);
    WriteBytes(ProgressFile(), pattern);
    Player_Used.fill(0);
    Player_Used[4] = 1;
    ASSERT_TRUE(Config_SaveArray(18));
    const auto b = ReadBytes(ProgressFile());
    ASSERT_EQ(b.size(), kFileSize);
    for (size_t i = 0; i < b.size(); ++i) {
        if (i >= kOffUsed && i < kOffUsed + 40) continue;
        ASSERT_EQ(b[i], pattern[i]) << "byte " << i;
    }
    for (int p = 0; p < 10; ++p)
        EXPECT_EQ(LeInt(b, kOffUsed + 4 * size_t(p)), p == 4 ? 1 : 0);
    EXPECT_FALSE(Config_SaveArray(22));
    EXPECT_FALSE(Config_SaveArray(-1));
}

TEST_F(ConfigTest, ShortOrLongProgressFileIsSetAside) {
    for (const size_t size : {size_t(0), size_t(100), kFileSize - 1, kFileSize + 4}) {
        SCOPED_TRACE(size);
        const std::vector<uint8_t> bad(size, 0xAB);
        WriteBytes(ProgressFile(), bad);
        ::testing::internal::CaptureStdout();
        Progress_Load();
        const std::string out = ::testing::internal::GetCapturedStdout();
        EXPECT_EQ(First_Start, 1);
        EXPECT_FLOAT_EQ(Vol_Fx[0], 0.8f);
        EXPECT_EQ(ReadBytes(ProgressFile() + ".bad"), bad); // kept, not deleted
        EXPECT_EQ(ReadBytes(ProgressFile()).size(), kFileSize);
        EXPECT_NE(out.find(".bad"), std::string::npos);
    }
}

// A file of the right size but nothing but zero bytes is damage, not ten fresh players: set aside with its line.
TEST_F(ConfigTest, AZeroFilledProgressFileIsSetAside) {
    const std::vector<uint8_t> zeros(kFileSize, 0);
    WriteBytes(ProgressFile(), zeros);
    ::testing::internal::CaptureStdout();
    Progress_Load();
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(ReadBytes(ProgressFile() + ".bad"), zeros);
    EXPECT_NE(out.find("only zero bytes"), std::string::npos) << out;
    EXPECT_FLOAT_EQ(Vol_Fx[0], 0.8f);
}

TEST_F(ConfigTest, OutOfRangeVolumesInTheProgressFileAreRepaired) {
    Progress_Load();
    Vol_Fx[1] = 7.0f;
    Vol_Music[2] = -1.0f;
    ASSERT_TRUE(Progress_Save());
    ::testing::internal::CaptureStdout();
    Progress_Load();
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_FLOAT_EQ(Vol_Fx[1], 0.8f);
    EXPECT_FLOAT_EQ(Vol_Music[2], 0.8f);
    EXPECT_NE(out.find("2 volumes outside 0..1"), std::string::npos) << out;
}

TEST_F(ConfigTest, StoreVolumesWritesTheCurrentPlayersKeys) {
    Config_Load();
    Progress_Load();
    Player_Current = 2;
    Vol_Fx[2] = 0.25f;
    Vol_Ambient[2] = 0.0f;
    Config_StoreVolumes();
    const std::string text = ReadText(ConfigFile());
    EXPECT_NE(text.find("FX_VOL=0.25\r\n"), std::string::npos);
    EXPECT_NE(text.find("AMBIENT_VOL=0\r\n"), std::string::npos);
    EXPECT_NE(text.find("MUSIC_VOL=0.8\r\n"), std::string::npos);
}

} // namespace
