// The editor inside the real game screen with the whole game's hook tables: the developer key group as this build
// has it (Right Alt + L opens and closes the editor only with BQ_DEV_KEYS, the level-win key works in both), the
// game's keys held back while the editor edits, a click on the window over the game's controls reaching the editor
// alone, a test run won by the level-win key ending as a test (board back, the player's files, lives and gems
// untouched), and the look of the window over the game screen (leaves editor_screen.png in the build's
// test_pictures folder). Tests editor_window.cpp and editor_files.cpp with play.cpp and game_screen.cpp.
#include <filesystem>
#include <map>

#include "board/board_hooks.h"
#include "castle/castle.h"
#include "common/test_common.h"
#include "editor_helpers.h"
#include "main/config.h"
#include "main/gui_button.h"
#include "game/startup.h"
#include "main/screens.h"
#include "menus/menus.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/system.h"
#include "play_helpers.h"

namespace {

namespace fs = std::filesystem;

// Every file below a folder with its bytes.
std::map<std::string, std::string> FilesBelow(const std::string& folder) {
    std::map<std::string, std::string> out;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        if (it->is_regular_file()) out[it->path().string()] = EditorTest_Read(it->path().string());
    return out;
}

class EditorGame : public PlayTest {
  protected:
    void SetUp() override {
        PlayTest::SetUp();
        Runtime_InstallHooks();
        EditorTest_Reset();
        Game_Start(0);
        Level_Sweeping = 0;
        Frames(2);
        ASSERT_EQ(Screen_Current, kScreenGame);
    }
    void TearDown() override {
        EXPECT_FALSE(ToolkitTest_WatchdogFired());
        EditorTest_Close();
        Board_Hooks = Board_HooksDefault();
        PlayTest::TearDown();
    }
    // Runs a script over the real main loop's frames.
    void Run(const std::string& script, int frames) {
        ToolkitTest_Script(script);
        Frames(frames);
    }
    static std::string AltKey(int frame, char key) {
        return std::to_string(frame) + " key 165 down\n" + std::to_string(frame + 1) + " key " +
               std::to_string(int(key)) + " press\n" + std::to_string(frame + 3) + " key 165 up\n";
    }
};

TEST_F(EditorGame, TheDeveloperKeyGroupIsThereOnlyInTheDeveloperBuild) {
#if defined(BQ_DEV_KEYS)
    Run(AltKey(2, 'L'), 8);
    EXPECT_EQ(Editor_Open, 1);
    ASSERT_TRUE(Editor_W.Window);
    // Left Ctrl + C writes the board as "dbg_level.lev" in the current folder (the program folder here).
    Run("2 key 162 down\n3 key 67 press\n5 key 162 up\n", 8);
    EXPECT_FALSE(EditorTest_Read(EditorTest_File("dbg_level.lev")).empty());
    Run(AltKey(2, 'L'), 8);
    EXPECT_EQ(Editor_Open, 0);
    EXPECT_EQ(ToolkitTest_OpenWindows(), 0);
#else
    Run(AltKey(2, 'L') + "7 key 162 down\n8 key 67 press\n9 key 162 up\n", 12);
    EXPECT_EQ(Editor_Open, 0);
    EXPECT_EQ(ToolkitTest_OpenWindows(), 0);
    EXPECT_TRUE(EditorTest_Read(EditorTest_File("dbg_level.lev")).empty());
#endif
    // The level-win key works in both builds.
    Run(AltKey(2, 'W'), 6);
    EXPECT_EQ(Board_TilesLeft(), 0);
}

TEST_F(EditorGame, GameKeysWaitWhileTheEditorEdits) {
    Editor_Create();
    const std::string edited = EditorTest_Level();
    Run(KeyPress(2, VK::ESCAPE) + AltKey(4, 'W'), 10);
    EXPECT_NE(Dialog_UpdateFn(), IGMenu_Update) << "no in-game menu";
    EXPECT_TRUE(EditorTest_Level() == edited);
    EXPECT_EQ(Screen_Current, kScreenGame);
}

TEST_F(EditorGame, AWonTestRunOnlyEndsTheTest) {
    Editor_Create();
    Frames(2);
    const std::string edited = EditorTest_Level();
    const auto files = FilesBelow(Str_ToUtf8(Data_Folder));
    const int32_t lives = Lives, level = Level_Current, score = Score;
    const auto gems = Gems_Total;
    // Tab starts the run; the level-win key wins it; the editor takes its board back.
    Run(KeyPress(2, VK::TAB), 4);
    ASSERT_EQ(Editor_Testing, 1);
    Run(AltKey(2, 'W'), 200);
    EXPECT_EQ(Editor_Testing, 0);
    EXPECT_EQ(Screen_Current, kScreenGame);
    EXPECT_TRUE(EditorTest_Level() == edited);
    EXPECT_EQ(Lives, lives);
    EXPECT_EQ(Level_Current, level);
    EXPECT_EQ(Score, score);
    EXPECT_EQ(Gems_Total, gems);
    EXPECT_TRUE(FilesBelow(Str_ToUtf8(Data_Folder)) == files);
    // A second run played by the time running out ends the same way.
    Editor_W.DurationInput->SetText(u"1");
    Run(KeyPress(2, VK::TAB), 4);
    ASSERT_EQ(Editor_Testing, 1);
    Run("", 120);
    EXPECT_EQ(Editor_Testing, 0);
    EXPECT_EQ(Lives, lives);
    EXPECT_TRUE(FilesBelow(Str_ToUtf8(Data_Folder)) == files);
}

// Nothing of an edited level or a test run reaches the player's files: not the shutdown save in the middle of a test
// run, not "Hauptmenü" chosen while the editor is open (with all-zero spawn weights). The match continues as the
// player last saved it.
TEST_F(EditorGame, NothingOfTheEditorReachesThePlayersFiles) {
    Score = 500;
    Match_Save(Level_Current, 1);
    const auto files = FilesBelow(Str_ToUtf8(Data_Folder));
    Editor_Create();
    Editor_ResetWeights();
    Run(KeyPress(2, VK::TAB), 4);
    ASSERT_EQ(Editor_Testing, 1);
    Score_Add(300);
    Match_Save(Level_Current, Shutdown_SaveMode()); // the window closed during the run
    EXPECT_TRUE(FilesBelow(Str_ToUtf8(Data_Folder)) == files);
    Run(KeyPress(2, VK::TAB), 4);
    ASSERT_EQ(Editor_Testing, 0);
    Score_Add(300);
    IGMenu_DoMainMenu();
    EXPECT_TRUE(FilesBelow(Str_ToUtf8(Data_Folder)) == files);
    Editor_Close();
    ASSERT_TRUE(Match_Continue());
    EXPECT_EQ(Score, 500);
    EXPECT_EQ(Match_HasSnapshot, 1);
}

// Every button and field of the editor that lies over one of the game's controls (the "Menü" button, the hammer and
// the spell buttons of the panel beside the board) takes a click for the editor alone: the widget reacts, the game's
// menu stays closed, no hammer or spell is taken up and a field's click leaves the level as it was. The controls are
// made live first (hammers, every spell with the mana for it), so a click that reached them would act.
TEST_F(EditorGame, AClickOnTheEditorOverAGameControlIsTheEditorsAlone) {
    constexpr int32_t kHammerButton = 0, kMenuButton = 1, kFirstSpellButton = 2; // the in-game interface's buttons
    Hammer_Current = 3;
    for (int32_t s = 0; s < kSpellCount; ++s)
        Spells_AddLevel(s);
    Mana = 1000000;
    Editor_Create();
    Frames(2);
    for (int32_t i = 0; IGI_Button(i); ++i)
        ASSERT_EQ(IGI_Button(i)->state & BTN_DISABLED, 0) << "game control " << i << " is live";
    // Requesters and alerts the buttons open are closed at once.
    ToolkitTest_OnModalFrame([] {
        const auto front = ToolkitTest_Front();
        if (front && front != Editor_W.Window) front->Free();
    });

    // The widgets a click can reach, with the rectangle each reacts to; a spinner's field and arrows stand alone.
    std::vector<WidgetPtr> widgets;
    for (const WidgetPtr& c : Editor_W.Window->Children) {
        if (c->TypeId() == 120) {
            const auto v = std::static_pointer_cast<PNO_Value>(c);
            widgets.insert(widgets.end(), {v->Field, v->UpButton, v->DownButton});
        } else if (c->TypeId() == 51 || c->TypeId() == 100 || c->TypeId() == 110 || c->TypeId() == 130) {
            widgets.push_back(c);
        }
    }
    int overControl[3] = {0, 0, 0}; // widgets over the hammer, the menu, a spell
    for (const WidgetPtr& w : widgets) {
        const int width = w->TypeId() == 110 ? w->W + 16 : w->TypeId() == 130 ? w->W + w->H : w->W;
        // The part of the widget over a control: the centre of that rectangle is clicked.
        int control = -1, x0 = 9999, y0 = 9999, x1 = -1, y1 = -1;
        for (int y = w->AbsY + 1; y < w->AbsY + w->H - 1; ++y)
            for (int x = w->AbsX + 1; x < w->AbsX + width - 1; ++x)
                for (int32_t i = 0; IGI_Button(i); ++i)
                    if (IGI_Button(i)->HitTest(x, y) && (control < 0 || control == i)) {
                        control = i;
                        x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
                    }
        if (control < 0) continue;
        ++overControl[std::min(control, kFirstSpellButton)];
        const int x = (x0 + x1) / 2, y = (y0 + y1) / 2;
        const std::string what = "type " + std::to_string(w->TypeId()) + " \"" + Str_ToUtf8(w->Text) + "\" at " +
                                 std::to_string(x) + "," + std::to_string(y);
        const bool field = w->TypeId() == 100 || w->TypeId() == 130;
        const std::string level = EditorTest_Level();
        const int checked = w->TypeId() == 110 ? std::static_pointer_cast<PNO_Checkbox>(w)->GetChecked() : 0;
        const int32_t mana = Mana;

        Run(::Click(2, x, y), 2); // the press is in, the release not yet
        switch (w->TypeId()) {
        case 100:
            EXPECT_EQ(w->State, 1) << what << ": the field takes the keyboard";
            break;
        case 110:
            EXPECT_NE(std::static_pointer_cast<PNO_Checkbox>(w)->GetChecked(), checked) << what;
            break;
        case 130:
            EXPECT_EQ(Paneo_OpenCombo.lock(), w) << what << ": the list opens";
            PNO_Combo::CloseAll();
            break;
        default:
            EXPECT_EQ(Paneo_PressedWidget.lock(), w) << what << ": the button is held";
            break;
        }
        Frames(8);
        if (Editor_Testing) Editor_ToggleTest(); // "Test" started a run
        EXPECT_EQ(Dialog_Active, 0) << what << ": the game's menu opened";
        EXPECT_EQ(Hammer_Armed, 0) << what;
        EXPECT_EQ(Hammer_Current, 3) << what;
        EXPECT_EQ(Spell_Targeting, -1) << what;
        EXPECT_EQ(Mana, mana) << what;
        if (field) {
            EXPECT_TRUE(EditorTest_Level() == level) << what;
        }
        ASSERT_FALSE(ToolkitTest_WatchdogFired());
    }
    EXPECT_GT(overControl[kHammerButton], 0);
    EXPECT_GT(overControl[kMenuButton], 0);
    EXPECT_GT(overControl[kFirstSpellButton], 0);
}

TEST_F(EditorGame, LooksLikeAToolOverTheGameScreen) {
    Editor_Create();
    Editor_SelectedCell = Point{2, 1};
    Editor_ShowCell();
    Run("1 mouse 700 520\n", 3);
    ASSERT_TRUE(TestPicture_Save("editor_screen.png"));
    // The window's body is drawn over the game screen.
    const Pixmap body = Graphics_ReadPixels(Editor_W.Window->X + 100, 300, 1, 1);
    ASSERT_GE(body.bytes.size(), 4u);
    EXPECT_NE(Pixmap_ReadPixel(body, 0, 0) & 0xFFFFFF, 0u);
}

} // namespace
