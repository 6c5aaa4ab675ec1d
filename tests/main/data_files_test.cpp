// Tests of the data files under damage and odd conditions: huge, unreadable, FIFO and folder stand-ins for the
// configuration and progress files, unknown keys, characters outside Latin-1, out-of-range progress values,
// temporary files left by a kill, and a save killed at random moments.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "main/config.h"
#include "main/progress.h"
#include "runtime_helpers.h"

namespace {

namespace fs = std::filesystem;

class DataFilesTest : public RuntimeTest {
  protected:
    std::string ConfigFile() const { return dataDir_ + "/mm_config.txt"; }
    std::string ProgressFile() const { return dataDir_ + "/mm_config.bin"; }
    // Names in the data folder that look like unfinished saves.
    std::vector<std::string> TempFiles() const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(dataDir_))
            if (e.path().filename().string().find(".tmp") != std::string::npos) out.push_back(e.path().filename());
        return out;
    }
    static bool IsRegular(const std::string& path) { return fs::is_regular_file(fs::symlink_status(path)); }
};

TEST_F(DataFilesTest, HugeFilesAreSetAsideUnread) {
    // Sparse files: 64 GB each without using the disk. Reading either whole would end the start with bad_alloc.
    for (const std::string& f : {ConfigFile(), ProgressFile()}) {
        WriteText(f, "PLAYER0=Anna\r");
        std::error_code ec;
        fs::resize_file(f, uint64_t(64) << 30, ec);
        if (ec) GTEST_SKIP() << "no sparse files here: " << ec.message();
    }
    ::testing::internal::CaptureStdout();
    Config_Load();
    Progress_Load();
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(fs::file_size(ConfigFile() + ".bad"), uint64_t(64) << 30);
    EXPECT_EQ(fs::file_size(ProgressFile() + ".bad"), uint64_t(64) << 30);
    EXPECT_EQ(fs::file_size(ProgressFile()), 10880u);
    EXPECT_NE(ReadText(ConfigFile()).find("PLAYER0=\r\n"), std::string::npos);
    EXPECT_EQ(First_Start, 1);
    EXPECT_NE(out.find("config file"), std::string::npos) << out;
    EXPECT_NE(out.find("68719476736 bytes"), std::string::npos) << out;
    EXPECT_EQ(out.find("missing"), std::string::npos) << "the keys are not missing, the file is unusable:\n" << out;
}

TEST_F(DataFilesTest, UnreadableConfigurationIsSetAsideOrLeftAloneNeverOverwritten) {
    // Unreadable for its owner. Root reads everything, so then the check runs as "nobody" in a child process.
    const std::string text = "PLAYER0=Anna\rPLAYER_CRT=0\r";
    WriteText(ConfigFile(), text);
    chmod(ConfigFile().c_str(), 0);
    for (const std::string& d : {root_, root_ + "/data"})
        chmod(d.c_str(), 0755);
    const auto asNobody = [](const std::function<int()>& body) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(9);
        _exit(body());
    };
    // A writable folder: the file is renamed to ".bad" and a new, readable one is written.
    chmod(dataDir_.c_str(), 0777);
    EXPECT_EXIT(asNobody([&] {
                    Config_Load();
                    if (!Player_Names[0].empty()) return 1;
                    if (access((ConfigFile() + ".bad").c_str(), F_OK) != 0) return 2;
                    if (access(ConfigFile().c_str(), R_OK | W_OK) != 0) return 3;
                    return 0;
                }),
                ::testing::ExitedWithCode(0), "");
    // A folder the game may not write: the file stays as it is, and no setting change replaces it.
    fs::remove(ConfigFile() + ".bad");
    WriteText(ConfigFile(), text);
    chmod(ConfigFile().c_str(), 0);
    chmod(dataDir_.c_str(), 0555);
    EXPECT_EXIT(asNobody([&] {
                    Config_Load();
                    return Config_SetValue(u"PLAYER1", u"Bernd") ? 4 : 0;
                }),
                ::testing::ExitedWithCode(0), "");
    chmod(dataDir_.c_str(), 0755);
    EXPECT_EQ(ReadText(ConfigFile()), text);
    EXPECT_FALSE(FileExists(ConfigFile() + ".bad"));
}

TEST_F(DataFilesTest, FifosAndFoldersInPlaceOfDataFilesAreSetAside) {
    alarm(30); // a FIFO opened for reading would block the start for ever
    for (const bool fifo : {true, false}) {
        SCOPED_TRACE(fifo ? "FIFO" : "folder");
        for (const std::string& f : {ConfigFile(), ProgressFile()}) {
            fs::remove_all(f);
            fs::remove_all(f + ".bad");
            if (fifo)
                ASSERT_EQ(mkfifo(f.c_str(), 0644), 0);
            else
                fs::create_directories(f + "/inside");
        }
        ::testing::internal::CaptureStdout();
        Config_Load();
        Progress_Load();
        const std::string out = ::testing::internal::GetCapturedStdout();
        EXPECT_EQ(out.find("cant write"), std::string::npos) << out;
        for (const std::string& f : {ConfigFile(), ProgressFile()}) {
            EXPECT_TRUE(IsRegular(f)) << f;
            EXPECT_TRUE(fs::exists(fs::symlink_status(f + ".bad"))) << f;
        }
        EXPECT_EQ(First_Start, 1);
        // The next start finds ordinary files.
        Progress_Load();
        EXPECT_EQ(First_Start, 0);
    }
    alarm(0);
}

TEST_F(DataFilesTest, UnknownKeysAreDroppedOnceSoTheFileShrinks) {
    std::string text = "PLAYER0=Anna\r";
    for (int i = 0; i < 20000; ++i)
        text += "JUNK" + std::to_string(i) + "=x\r";
    text += "PLAYER_CRT=4\rPLAYER_CRT=5\r"; // the last of twice wins
    WriteText(ConfigFile(), text);
    ::testing::internal::CaptureStdout();
    Config_Load();
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(Player_Names[0], u"Anna");
    EXPECT_EQ(Player_Current, 5);
    EXPECT_EQ(Config_Get(u"JUNK7"), u"");
    EXPECT_NE(out.find("config: 20000 lines with unknown keys dropped (first \"JUNK0\")"), std::string::npos) << out;
    EXPECT_LT(ReadText(ConfigFile()).size(), 400u);
    EXPECT_EQ(ReadText(ConfigFile()).find("JUNK"), std::string::npos);
}

TEST_F(DataFilesTest, NamesOutsideLatin1AreReplacedNeverCut) {
    // UTF-8 with a byte order mark: a snowman (U+2603), an Omega (U+03A9), an emoji (two UTF-16 units), "ü".
    WriteText(ConfigFile(), "\xEF\xBB\xBFPLAYER0=\xE2\x98\x83x\rPLAYER1=\xCE\xA9\rPLAYER2=a\xF0\x9F\x98\x80"
                            "b\r"
                            "PLAYER3=J\xC3\xBCrgen\r");
    ::testing::internal::CaptureStdout();
    Config_Load();
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(Player_Names[0], u"?x");
    EXPECT_EQ(Player_Names[1], u"?");
    EXPECT_EQ(Player_Names[2], u"a?b");
    EXPECT_EQ(Player_Names[3], u"J\u00fcrgen");
    EXPECT_NE(out.find("PLAYER0 holds characters outside Latin-1"), std::string::npos) << out;
    const std::string file = ReadText(ConfigFile());
    EXPECT_NE(file.find("PLAYER0=?x\r\n"), std::string::npos);
    EXPECT_NE(file.find("PLAYER1=?\r\n"), std::string::npos) << "not the low byte of U+03A9 (\xA9)";
    EXPECT_NE(file.find("PLAYER3=J\xFCrgen\r\n"), std::string::npos);
    // UTF-16, and a name set by the game.
    WriteText(ConfigFile(), std::string("\xFF\xFEP\0L\0A\0Y\0E\0R\0"
                                        "0\0=\0\x03\x26\r\0",
                                        22));
    Config_Load();
    EXPECT_EQ(Player_Names[0], u"?");
    ASSERT_TRUE(Config_SetValue(u"PLAYER4", u"\u2603\u2603"));
    EXPECT_NE(ReadText(ConfigFile()).find("PLAYER4=??\r\n"), std::string::npos);
}

TEST_F(DataFilesTest, ProgressValuesAreClampedToTheirRanges) {
    Progress_Load();
    std::vector<uint8_t> b = ReadBytes(ProgressFile());
    ASSERT_EQ(b.size(), 10880u);
    const auto put = [&](size_t at, int32_t v) { std::memcpy(b.data() + at, &v, 4); };
    put(0, 5);                 // castle completed: a flag
    put(280 + 4 * 3, -7);      // ease of player 0, level 3: 0..3
    put(280 + 4 * 160, 99);    // ease of player 1, level 9
    put(6360 + 4 * 2, 100000); // last level of player 2
    put(6360 + 4 * 3, -1);
    put(6800 + 4 * 10, 2);  // a tip shown
    put(8960 + 4 * 9, -1);  // player slot used
    put(9040 + 4 * 449, 7); // tutorial step: bits 1 (done) and 2 (off) only
    put(9040 + 4 * 448, 2); // switched off, not done: kept
    put(6320, 12345);       // reserved: kept as it is
    WriteBytes(ProgressFile(), b);
    ::testing::internal::CaptureStdout();
    Progress_Load();
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(Castles_Completed[0], 1);
    EXPECT_EQ(Player_LevelEase[0][3], 0);
    EXPECT_EQ(Player_LevelEase[1][9], 3);
    EXPECT_EQ(Player_LastLevel[2], kMaxLevelsCount);
    EXPECT_EQ(Player_LastLevel[3], 0);
    EXPECT_EQ(Tips_Shown[0][10], 1);
    EXPECT_EQ(Player_Used[9], 0);
    EXPECT_EQ(Tutorial_Flags[449], 3);
    EXPECT_EQ(Tutorial_Flags[448], 2);
    for (const char* line :
         {"array 0 ", "2 values of array 1 outside 0..3", "array 3 ", "array 14 ", "array 18 ", "array 20 "})
        EXPECT_NE(out.find(line), std::string::npos) << line << " in:\n" << out;
    EXPECT_EQ(out.find("array 2 "), std::string::npos);
    Progress_Save();
    EXPECT_EQ(LeInt(ReadBytes(ProgressFile()), 6320), 12345);
}

TEST_F(DataFilesTest, StaleTemporaryFilesAreRemovedAtStartUp) {
    for (const char* name : {".mm_config.txt.tmpAb12Cd", ".mm_config.bin.tmpXYZ123", ".highscores.dat.tmp000000",
                             "keep.tmp123456", ".keep.tmp12", "mm_config.txt"})
        WriteText(dataDir_ + "/" + name, "x");
    ::testing::internal::CaptureStdout();
    Folders_Init();
    const std::string out = ::testing::internal::GetCapturedStdout();
    std::vector<std::string> left = TempFiles();
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{".keep.tmp12", "keep.tmp123456"}));
    EXPECT_TRUE(FileExists(ConfigFile()));
    EXPECT_NE(out.find("removed 3 unfinished temporary files"), std::string::npos) << out;
}

TEST_F(DataFilesTest, KilledSavesLeaveAWholeFileAndNoTemporaryFiles) {
    Config_Load();
    std::mt19937 rng(11);
    int caughtMidSave = 0;
    for (int round = 0; round < 120; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i)
                Config_SetValue(u"PLAYER0", u"Kill" + Str_FromInt(i % 10000));
        }
        usleep(useconds_t(rng() % 3000));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        caughtMidSave += !TempFiles().empty();
        // The file is whole: every key, the last line ended.
        const std::string text = ReadText(ConfigFile());
        ASSERT_EQ(std::count(text.begin(), text.end(), '\n'), 19) << "round " << round << ":\n" << text;
        ASSERT_EQ(text.substr(text.size() - 2), "\r\n");
        // The next start clears what the kill left.
        ::testing::internal::CaptureStdout();
        Folders_Init();
        Config_Load();
        const std::string out = ::testing::internal::GetCapturedStdout();
        ASSERT_TRUE(TempFiles().empty()) << "round " << round;
        ASSERT_EQ(out.find("config: "), std::string::npos) << out;
        ASSERT_TRUE(Player_Names[0].empty() || Player_Names[0].substr(0, 4) == u"Kill") << Str_ToUtf8(Player_Names[0]);
    }
    std::cout << caughtMidSave << " of 120 kills came during a save\n";
}

} // namespace
