// The menus tests' fixture and main loop; see menus_helpers.h.
#include "menus_helpers.h"

#include <cstdlib>
#include <filesystem>

#include "board/level_file.h"
#include "board/play.h"
#include "board/rules.h"
#include "castle/castle.h"
#include "common/test_common.h"
#include "main/assets.h"
#include "main/config.h"
#include "main/fonts.h"
#include "main/frame_timer.h"
#include "main/gui_button.h"
#include "main/progress.h"
#include "main/runtime.h"
#include "game/startup.h"
#include "main/screens.h"
#include "main/texts.h"
#include "menus/menus.h"
#include "platform/graphics.h"
#include "platform/incbin.h"
#include "platform/input.h"
#include "main/widgets_helpers.h"

namespace fs = std::filesystem;

void MenusTest::SetUp() {
    root_ = TestTemp_Make("menus");
    ASSERT_FALSE(root_.empty());
    dataDir_ = root_ + "/data/Brisquel2";
    TestTemp_UseAsGameHome(root_, true);
    ASSERT_TRUE(TestCanvas_Open());
    Runtime_InstallHooks(); // the menus run with the whole game behind them, as in the game
    static bool loaded = false;
    if (!loaded) { // the archive, fonts and pictures once per process
        loaded = true;
        Incbin_RegisterBuiltin();
        Fonts_Load();
        Texts_SetGerman();
        Texts_SetEnglish();
        MainMenu_Load();
        Dialogs_LoadImages();
        Players_Build();
        WinLose_Build();
        HighScores_Build();
        IGMenu_Build();
        Options_Build();
        Credits_Build();
        Help_Build();
        Wallpapers_Build();
        Castle_Init(); // the dialogs lead on to the build menu and the level map
        BuildMenu_Load();
        LevelMap_Load();
    }
    Screens_Reset();
    // A button stays hovered or held from the last frame that updated it, so an earlier test's pointer would still
    // light a main-menu button under the next test's first box: every test starts with none under the pointer.
    for (const GUIBtnPtr& b : MainMenu_Buttons)
        if (b) {
            b->state &= ~(BTN_HOVERED | BTN_PRESSED | BTN_CLICKED);
            b->armed = false;
        }
    Quit_Requested = 0;
    Folders_Init();
    testing::internal::CaptureStdout();
    Config_Load();
    Progress_Load();
    Highscores_Init();
    out_ = testing::internal::GetCapturedStdout();
    Frame_Start();
    Frame_Advance(16);
    Script("");
}

void MenusTest::TearDown() {
    Dialog_Close();
    Harness_Configure(HarnessConfig{});
    TestTemp_Remove(root_);
}

void MenusTest::Script(const std::string& script) { WidgetsTest_Script(script); }

void MenusTest::MatchUnderWay() {
    NamePlayer0("Anna");
    Screen_Current = 2;
    Game_Paused = 0;
    Relaxed_Mode = 0;
    Level_Duration = 180 * kSecond;
    Level_TimeBought = 0;
    Lives = 3;
    Level_Current = 7;
}

void MenusTest::Run(const std::string& script, int n) {
    Script(script);
    Frames(n);
}

void MenusTest::Shot(const char* name) { TestPicture_ShotIfAsked(std::string(name) + ".png"); }

void MenusTest::Frames(int n) {
    testing::internal::CaptureStdout();
    for (int i = 0; i < n; ++i) {
        Mouse_Update();
        Dialog_RunUpdate();
        Screen_HooksOf(Screen_Current).frame();
        Dialog_RunDraw();
        Graphics_Flip(0);
        Frame_Advance(16);
    }
    out_ += testing::internal::GetCapturedStdout();
}

void MenusTest::NamePlayer0(const std::string& name) {
    Player_Names[0] = Str_FromUtf8(name);
    Config_SetValue(u"PLAYER0", Player_Names[0]);
    Player_Used[0] = 1;
    Config_SaveArray(18);
    First_Start = 0;
}

void MenusTest::Restart() {
    testing::internal::CaptureStdout();
    Config_Load();
    Progress_Load();
    out_ += testing::internal::GetCapturedStdout();
}

std::string ConfigFileValue(const std::string& dataDir, const std::string& key) {
    const std::vector<uint8_t> b = ReadBytes(dataDir + "/mm_config.txt");
    const std::string text(b.begin(), b.end());
    const std::string needle = key + "=";
    size_t at = text.rfind("\n" + needle);
    at = at == std::string::npos ? (text.rfind(needle, 0) == 0 ? 0 : std::string::npos) : at + 1;
    if (at == std::string::npos) return "";
    const size_t end = text.find_first_of("\r\n", at);
    return text.substr(at + needle.size(), end - at - needle.size());
}
