// Tests of the options, credits, help and wallpapers dialogs, driven through the real dialog manager with scripted
// clicks, drags and keys in a temporary data folder: a slider drag written once on release, volumes and switches kept
// per player across a restart, the help's page limits and remembered page, the intro's switch, and the wallpapers
// locked and unlocked by the completed castles, their bitmap and a desktop that cannot be set.
#include <cstdlib>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "castle/castle.h"
#include "main/config.h"
#include "main/progress.h"
#include "main/screens.h"
#include "main/texts.h"
#include "main/wallpaper.h"
#include "menus/menus.h"
#include "menus_helpers.h"
#include "platform/graphics.h"

namespace {

// Scripted points (canvas pixels) of the widgets.
constexpr const char* kOptionsBack = "435 495";
constexpr const char* kOptionsHighScores = "263 412";
constexpr const char* kOptionsCredits = "435 412";
constexpr const char* kOptionsHelp = "606 412";
constexpr const char* kFullScreen = "294 343";
constexpr const char* kSlowPc = "490 343";
constexpr const char* kHelpNext = "669 573";
constexpr const char* kHelpPrev = "544 573";
constexpr const char* kHelpCheck = "270 570";
constexpr const char* kWallPrev = "261 537";
constexpr const char* kWallHelp = "429 583";
constexpr const char* kWallBack = "92 556";
constexpr const char* kYes = "292 368"; // a dlg3 box's first button
constexpr int kMusicKnobY = 216;        // the music knob's middle

// Identity of a file's current version: a save through a temporary file and a rename makes a new one.
std::string Stamp(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return "";
    return std::to_string(st.st_ino) + ":" + std::to_string(st.st_mtim.tv_sec) + "." +
           std::to_string(st.st_mtim.tv_nsec) + ":" + std::to_string(st.st_size);
}

class MenuOptionsTest : public MenusTest {
  protected:
    void SetUp() override {
        MenusTest::SetUp();
        NamePlayer0("Anna");
        Screen_Current = 2; // a passing screen: the menu's frame, nothing started
        Help_Page = 0;
        Wallpapers_Current = 0;
        Wallpapers_FromLevel = 0;
        Castles_Completed.fill(0);
    }
    void Click(const std::string& at, int frames = 4) {
        Script("2 click 1 " + at);
        Frames(frames);
    }
    void Key(int vk, int frames = 3) {
        Script("2 key " + std::to_string(vk) + " press");
        Frames(frames);
    }
};

// ---- Options -------------------------------------------------------------------------------------------------------
TEST_F(MenuOptionsTest, ASliderDraggedForAHundredFramesWritesEachFileOnceOnRelease) {
    Player_Select(1); // another player's volumes stay as they are
    Vol_Music[1] = 0.3f;
    Config_SaveArray(12);
    Player_Select(0);
    Vol_Music[0] = 0.5f;
    Options_Open();
    const GUIBtn& knob = *Options_Widgets[5];
    ASSERT_FLOAT_EQ(knob.x, float(Options_X + 211 + 125)) << "0.5 stands 125 pixels right of the start";
    Frames(1);
    Shot("options");
    // Grab the knob, drag it 100 pixels to the left over 100 frames, let go.
    const int grabX = int(knob.x) + 12;
    std::string script = "2 mouse " + std::to_string(grabX) + " " + std::to_string(kMusicKnobY) + "\n3 down 1\n";
    for (int i = 1; i <= 100; ++i)
        script += "+1 mouse " + std::to_string(grabX - i) + " " + std::to_string(kMusicKnobY) + "\n";
    script += "+1 up 1\n";
    Script(script);
    const std::string text = dataDir_ + "/mm_config.txt", bin = dataDir_ + "/mm_config.bin";
    std::string textStamp = Stamp(text), binStamp = Stamp(bin);
    int textWrites = 0, binWrites = 0;
    for (int frame = 0; frame < 110; ++frame) {
        Frames(1);
        if (Stamp(text) != textStamp) ++textWrites, textStamp = Stamp(text);
        if (Stamp(bin) != binStamp) ++binWrites, binStamp = Stamp(bin);
        if (frame == 60) {
            EXPECT_LT(Vol_Music[0], 0.5f) << "heard while dragging";
        }
    }
    EXPECT_EQ(textWrites, 1);
    EXPECT_EQ(binWrites, 1);
    EXPECT_NEAR(Vol_Music[0], 0.1f, 0.005f);
    // Resting the pointer on a knob writes nothing.
    Script("2 mouse " + std::to_string(int(knob.x) + 5) + " " + std::to_string(kMusicKnobY));
    Frames(20);
    EXPECT_EQ(Stamp(text), textStamp);
    EXPECT_EQ(Stamp(bin), binStamp);
    Restart();
    EXPECT_NEAR(Vol_Music[0], 0.1f, 0.005f);
    EXPECT_FLOAT_EQ(Vol_Music[1], 0.3f);
}

TEST_F(MenuOptionsTest, DamagedVolumesKeepTheKnobsOnTheirTracks) {
    Vol_Fx[0] = 7;
    Vol_Ambient[0] = -3;
    Options_Open();
    EXPECT_FLOAT_EQ(Options_Widgets[4]->x, float(Options_X + 211 + 250));
    EXPECT_FLOAT_EQ(Options_Widgets[6]->x, float(Options_X + 211));
}

TEST_F(MenuOptionsTest, WindowModeAndSlowPcAreKeptAcrossARestart) {
    Options_Open();
    const int32_t windowed = Windowed_Mode, slow = Slow_PC;
    EXPECT_EQ((Options_Widgets[7]->state & BTN_CHECKED) != 0, windowed != 1) << "checked in full screen";
    Click(kFullScreen);
    Click(kSlowPc);
    EXPECT_EQ(Windowed_Mode, windowed == 1 ? 0 : 1);
    EXPECT_EQ(Slow_PC, slow ^ 1);
    EXPECT_EQ((Options_Widgets[7]->state & BTN_CHECKED) != 0, Windowed_Mode != 1);
    EXPECT_EQ((Options_Widgets[8]->state & BTN_CHECKED) != 0, Slow_PC != 0);
    Restart();
    EXPECT_EQ(Windowed_Mode, windowed == 1 ? 0 : 1);
    EXPECT_EQ(Slow_PC, slow ^ 1);
    Click(kFullScreen); // the window as it was, for the tests after this one
    EXPECT_EQ(Windowed_Mode, windowed);
    Key(27);
    EXPECT_EQ(Dialog_Active, 0) << "Escape closes the options";
}

TEST_F(MenuOptionsTest, HighScoresAndCreditsLeadBackToTheOptions) {
    Options_Open();
    Click(kOptionsHighScores);
    EXPECT_EQ(HS_Mode, 0);
    EXPECT_EQ(HS_Highlight, -1);
    Key(27);
    ASSERT_EQ(Dialog_Active, 1) << "the options again";
    Click(kOptionsCredits);
    Frames(1);
    Shot("credits");
    Key(13);
    ASSERT_EQ(Dialog_Active, 1) << "Enter closes the credits into the options";
    Click(kOptionsBack);
    EXPECT_EQ(Dialog_Active, 0);
}

// ---- Help ----------------------------------------------------------------------------------------------------------
TEST_F(MenuOptionsTest, HelpPagesStopAtTheEndsAndTheLastPageIsRemembered) {
    Options_Open();
    Click(kOptionsHelp);
    Frames(1);
    Shot("help_page1");
    EXPECT_EQ(Help_Page, 0);
    EXPECT_NE(Help_Widgets[2]->state & BTN_DISABLED, 0) << "no page before the first";
    EXPECT_EQ(Help_Widgets[3]->state & BTN_HIDDEN, 0) << "the intro's box on the first page";
    Click(kHelpPrev);
    EXPECT_EQ(Help_Page, 0);
    Click(kHelpNext);
    Click(kHelpNext);
    EXPECT_EQ(Help_Page, 2);
    EXPECT_NE(Help_Widgets[1]->state & BTN_DISABLED, 0) << "no page after the last";
    EXPECT_NE(Help_Widgets[3]->state & BTN_HIDDEN, 0);
    Click(kHelpNext);
    EXPECT_EQ(Help_Page, 2);
    Key(13);
    ASSERT_EQ(Dialog_Active, 1) << "the options";
    Click(kOptionsHelp);
    EXPECT_EQ(Help_Page, 2) << "reopens where it was closed";
    Click(kHelpPrev);
    EXPECT_EQ(Help_Page, 1);
}

TEST_F(MenuOptionsTest, TheIntroSwitchFlipsOnlyItsBitAndIsSaved) {
    Tutorial_Flags[0] = 1; // step 0 done
    Tutorial_Flags[kTutorialCount] = 0;
    Options_Open();
    Click(kOptionsHelp);
    EXPECT_NE(Help_Widgets[3]->state & BTN_CHECKED, 0) << "the intro is on";
    Click(kHelpCheck);
    EXPECT_EQ(Help_Widgets[3]->state & BTN_CHECKED, 0);
    EXPECT_EQ(Tutorial_Flags[0], 1 | 2);
    Restart();
    EXPECT_EQ(Tutorial_Flags[0], 1 | 2);
    EXPECT_EQ(Tutorial_Flags[kTutorialCount], 0) << "another player's flags stay";
    Click(kHelpCheck);
    EXPECT_EQ(Tutorial_Flags[0], 1);
}

// ---- Wallpapers ----------------------------------------------------------------------------------------------------
TEST_F(MenuOptionsTest, WithoutACompletedCastleEveryWallpaperIsLockedAndCannotBeSet) {
    Wallpapers_Open();
    Frames(1);
    Shot("wallpapers_locked");
    EXPECT_EQ(Wallpapers_Current, 0);
    EXPECT_NE(Wallpapers_Widgets[4]->state & BTN_DISABLED, 0);
    const int serial = Dialog_Serial();
    Key(13);
    EXPECT_EQ(Dialog_Serial(), serial) << "Enter opens no box for a locked picture";
    Click(kWallPrev);
    EXPECT_EQ(Wallpapers_Current, 6) << "left of the first is the last";
    Click(kWallHelp);
    Frames(1);
    Shot("wallpapers_help");
    EXPECT_EQ(Wallpapers_HelpShown, 1);
    EXPECT_NE(Wallpapers_Widgets[0]->state & BTN_HIDDEN, 0);
    Key(27);
    EXPECT_EQ(Wallpapers_HelpShown, 0) << "Escape closes only the help";
    EXPECT_EQ(Dialog_Active, 1);
    Click(kWallBack);
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_EQ(Screen_Current, 2) << "opened from the menu: stays there";
}

TEST_F(MenuOptionsTest, ACompletedCastleUnlocksItsWallpaperWhichIsWrittenAndAFailedSetIsTold) {
    Castles_Completed[3] = 1;
    Castles_Completed[kCastlesCount + 5] = 1; // another player's
    Wallpapers_Open();
    EXPECT_EQ(Wallpapers_Current, 3) << "the lowest unlocked one";
    EXPECT_EQ(Wallpapers_Widgets[4]->state & BTN_DISABLED, 0);
    Frames(1);
    Shot("wallpapers_unlocked");
    Key(13);
    ASSERT_EQ(MsgBox_Buttons.size(), 2u) << "the set-wallpaper box";
    Click(kYes);
    // Headless, the desktop is never set: the player is told so in a box instead of being left to believe it.
    EXPECT_NE(out_.find("wallpaper_3.bmp: 0"), std::string::npos);
    ASSERT_EQ(Dialog_Active, 1);
    ASSERT_EQ(MsgBox_Buttons.size(), 1u) << "the failure box";
    Frames(1);
    Shot("wallpapers_failed");
    const std::vector<uint8_t> bmp = ReadBytes(dataDir_ + "/wallpaper_3.bmp");
    const ImagePtr picture = Wallpapers_Picture(3);
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(int64_t(bmp.size()), Bmp_FileSize(Image_Width(picture), Image_Height(picture)));
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(LeInt(bmp, 18), Image_Width(picture));
    EXPECT_EQ(LeInt(bmp, 22), Image_Height(picture));
    Key(13);
    EXPECT_EQ(Dialog_Active, 1) << "back in the wallpapers";
    EXPECT_EQ(Wallpapers_Current, 3);
    Key(27);
    EXPECT_EQ(Dialog_Active, 0) << "the wallpapers' Escape, not the box's any key";
}

TEST_F(MenuOptionsTest, AfterACompletedCastleBackLeadsToTheBuildMenu) {
    Castles_Completed[2] = 1;
    Wallpapers_FromLevel = 1;
    static int enters = 0;
    enters = 0;
    Screen_Hooks[kScreenBuildMenu].enter = [] { ++enters; };
    Wallpapers_Open();
    Key(27);
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_EQ(Screen_Current, kScreenBuildMenu);
    EXPECT_EQ(BuildMenu_From, 3);
    EXPECT_EQ(enters, 1);
}

} // namespace
