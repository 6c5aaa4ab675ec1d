// The editor's files and test run under scripted input: "Save..." and "Load..." through the requester on a
// temporary folder, the click answering a requester or alert not used again, "Save" after "Save...", the refused paths
// (built-in level, no name, a file that is not a level) with an alert and nothing changed, F2/F3 (also on a read-only
// quick file), the hide key, and the test run: the board back byte for byte, the match values and the stored ease
// untouched, the level's end and closing the editor ending the run. Tests editor_files.cpp.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "../platform/sdl_push.h"
#include "board/level_file.h"
#include "board/play.h"
#include "board/rules.h"
#include "editor_helpers.h"
#include "main/config.h"
#include "main/progress.h"
#include "platform/folders.h"
#include "platform/input.h"

namespace {

class EditorFiles : public testing::Test {
  protected:
    void SetUp() override { EditorTest_Open(); }
    void TearDown() override {
        EXPECT_FALSE(ToolkitTest_WatchdogFired());
        EditorTest_Close();
    }
    // Presses a window button at frame 2 and runs the frames (a requester runs inside them).
    void Press(int button, const std::string& more = "", int frames = 30) {
        ToolkitTest_Script(Click(2, ButtonX(button), ButtonY(button)) + more);
        EditorTest_Frames(frames);
    }
};

TEST_F(EditorFiles, SaveAsAndLoadRoundTripThroughTheRequester) {
    ASSERT_TRUE(Editor_CreateBoard());
    const std::string edited = EditorTest_Level();
    int alerts = 0;
    EditorTest_TypeIntoRequester(u"mine.lev", &alerts);
    Press(BTN_SAVE_AS, EditorTest_RequesterScript(10));
    EXPECT_EQ(alerts, 0);
    const std::string path = EditorTest_File("mine.lev");
    EXPECT_TRUE(EditorTest_Read(path) == edited);
    EXPECT_EQ(Level_Path, Str_FromUtf8(path));
    EXPECT_EQ(Path_StripAll(Level_Path), u"mine");
    EXPECT_EQ(Dir_Current(), App_Folder);
    EXPECT_EQ(Paneo_Windows.Last(), Editor_W.Window);

    // "Save" writes to the file "Save..." chose.
    Board_Cells[0][0].TileLevel = 0;
    const std::string changed = EditorTest_Level();
    Press(BTN_SAVE, "", 6);
    EXPECT_TRUE(EditorTest_Read(path) == changed);

    // Clear, then "Load..." brings it back, fields included.
    Editor_ClearTable();
    Editor_W.DurationInput->SetText(u"1");
    EditorTest_TypeIntoRequester(u"mine.lev", &alerts);
    Press(BTN_LOAD, EditorTest_RequesterScript(10));
    EXPECT_EQ(alerts, 0);
    EXPECT_TRUE(EditorTest_Level() == changed);
    EXPECT_EQ(Editor_W.DurationInput->GetText(), Str_FromInt(Level_Duration / 1000000));

    // A cancelled requester changes nothing.
    ToolkitTest_OnModalFrame(nullptr);
    Press(BTN_LOAD, KeyPress(10, VK::ESCAPE));
    EXPECT_EQ(Level_Path, Str_FromUtf8(path));
    EXPECT_TRUE(EditorTest_Level() == changed);
}

// The click that answers a modal box belongs to the box: once the box is gone it neither selects the board cell
// under it nor reaches anything else. Both boxes stand over the board here: the requester's "Save" at (260, 452)
// and the alert's "Ok".
TEST_F(EditorFiles, AClickThatAnswersARequesterOrAnAlertIsNotUsedAgain) {
    const auto cellUnder = [](int x, int y) {
        return Point{(x + Board_OverflowX - Board_OriginX) / Cell_Width,
                     (y + Board_OverflowY - Board_OriginY) / Cell_Height};
    };
    const Point saveCell = cellUnder(260, 452);
    ASSERT_TRUE(Board_InUse(saveCell.x, saveCell.y));
    Editor_SelectedCell = Point{0, 0};
    Editor_ShowCell();
    EditorTest_TypeIntoRequester(u"mine.lev");
    Press(BTN_SAVE_AS, Click(10, 260, 452));
    ASSERT_FALSE(EditorTest_Read(EditorTest_File("mine.lev")).empty()) << "the click saved";
    EXPECT_EQ(Editor_SelectedCell.x, 0);
    EXPECT_EQ(Editor_SelectedCell.y, 0);

    // "Create" with every weight 0 brings an alert. A click on the board beside it does nothing while it runs, nor
    // after; then its "Ok" is clicked where the button is shown.
    Editor_ResetWeights();
    bool clicked = false;
    int modalFrames = 0;
    Point okCell{-1, -1};
    const auto click = [](int x, int y) {
        sdl_push::Motion(x, y);
        sdl_push::Button(SDL_BUTTON_LEFT, true, x, y);
        sdl_push::Button(SDL_BUTTON_LEFT, false, x, y);
    };
    ToolkitTest_OnModalFrame([&] {
        const auto front = ToolkitTest_Front();
        const WidgetPtr ok = front ? ToolkitTest_Child(*front, 51) : nullptr;
        if (++modalFrames == 2) click(CellX(1), CellY(1));
        if (clicked || modalFrames < 6 || !ok) return;
        okCell = cellUnder(ok->AbsX + ok->W / 2, ok->AbsY + 8);
        click(ok->AbsX + ok->W / 2, ok->AbsY + 8);
        clicked = true;
    });
    const std::string before = EditorTest_Level();
    Press(BTN_CREATE, "", 12);
    ASSERT_TRUE(clicked);
    ASSERT_TRUE(Board_InUse(okCell.x, okCell.y));
    EXPECT_EQ(ToolkitTest_OpenWindows(), 1) << "the alert was answered";
    EXPECT_EQ(Editor_SelectedCell.x, 0);
    EXPECT_EQ(Editor_SelectedCell.y, 0);
    EXPECT_TRUE(EditorTest_Level() == before);
}

TEST_F(EditorFiles, RefusedSavesAndLoadsAlertAndChangeNothing) {
    int alerts = 0;
    EditorTest_AnswerAlerts(&alerts);
    // "Save" on a built-in level opens "Save..." instead; Esc there writes nothing.
    ASSERT_TRUE(Str_StartsWith(Level_Path, u"incbin::"));
    const std::string before = EditorTest_Level();
    int requesters = 0;
    ToolkitTest_OnModalFrame([&] {
        for (const auto& w : Paneo_Windows)
            requesters += w->W == 400 && w->Kind == 20;
    });
    Press(BTN_SAVE, KeyPress(10, VK::ESCAPE));
    EXPECT_GT(requesters, 0);
    EXPECT_TRUE(Str_StartsWith(Level_Path, u"incbin::"));
    EXPECT_TRUE(EditorTest_Level() == before);

    EditorTest_AnswerAlerts(&alerts);
    EXPECT_FALSE(Editor_SaveLevel(u"incbin::levels/BQ2_level_001.lev"));
    EXPECT_FALSE(Editor_SaveLevel(u""));
    EXPECT_EQ(alerts, 2);
    // A folder that cannot be made: an alert, no crash.
    EXPECT_FALSE(Editor_SaveLevel(u"/proc/no_such_folder/x.lev"));
    EXPECT_EQ(alerts, 3);

    // A file that is not a level, a truncated level and a level of 60 columns: refused, the board stays.
    const std::string good = EditorTest_File("good.lev");
    ASSERT_TRUE(Level_Save(Str_FromUtf8(good)));
    const std::string bytes = EditorTest_Read(good);
    std::ofstream(EditorTest_File("notes.txt")) << "not a level at all";
    std::ofstream(EditorTest_File("short.lev"), std::ios::binary) << bytes.substr(0, bytes.size() - 10);
    std::string wide = bytes;
    wide[4] = 60;
    std::ofstream(EditorTest_File("wide.lev"), std::ios::binary) << wide;
    Board_Cells[0][0].TileLevel = 0;
    const std::string edited = EditorTest_Level();
    for (const char* name : {"notes.txt", "short.lev", "wide.lev", "missing.lev"})
        EXPECT_FALSE(Editor_LoadLevel(Str_FromUtf8(EditorTest_File(name)))) << name;
    EXPECT_EQ(alerts, 7);
    EXPECT_TRUE(EditorTest_Level() == edited);
    // The existing file is never cut by a failed save.
    EXPECT_TRUE(EditorTest_Read(good) == bytes);
}

TEST_F(EditorFiles, QuickSaveAndLoadAndTheHideKey) {
    std::filesystem::remove_all(EditorTest_File("levels")); // F2 makes the missing folder
    ASSERT_TRUE(Editor_CreateBoard());
    const std::string edited = EditorTest_Level();
    const Str path = Level_Path;
    ToolkitTest_Script(KeyPress(2, VK::F1 + 1));
    EditorTest_Frames(4);
    const std::string quick = EditorTest_File("levels/default.lev");
    EXPECT_TRUE(EditorTest_Read(quick) == edited);
    EXPECT_EQ(Level_Path, path); // F2 and F3 leave the level's path alone
    // F3 restores, also from a read-only file, which it leaves whole.
    Editor_ClearTable();
    chmod(quick.c_str(), 0444);
    ToolkitTest_Script(KeyPress(2, VK::F1 + 2));
    EditorTest_Frames(4);
    EXPECT_TRUE(EditorTest_Level() == edited);
    EXPECT_TRUE(EditorTest_Read(quick) == edited);
    chmod(quick.c_str(), 0644);
    // Left Ctrl + Left Alt hides the window: buttons no longer act, F2 still does.
    ToolkitTest_Script("2 key 162 down\n3 key 164 press\n5 key 162 up\n" +
                       Click(8, ButtonX(BTN_CLEAR), ButtonY(BTN_CLEAR)));
    EditorTest_Frames(14);
    EXPECT_EQ(Editor_W.Window->Hidden, 1);
    EXPECT_TRUE(EditorTest_Level() == edited);
    ToolkitTest_Script("2 key 162 down\n3 key 164 press\n5 key 162 up\n");
    EditorTest_Frames(8);
    EXPECT_EQ(Editor_W.Window->Hidden, 0);
}

TEST_F(EditorFiles, TestRunLeavesTheBoardAsEditedAndTheMatchUntouched) {
    ASSERT_TRUE(Editor_CreateBoard());
    Board_Cells[1][1].TileLevel = 2;
    Board_Cells[1][1].BaseTileLevel = 2;
    EditorTest_Frames(1);
    const std::string edited = EditorTest_Level();
    Score = 1234;
    Lives = 2;
    Gold = 50;
    Player_Current = 1;
    Player_LevelEase[1][Level_Current] = 2;
    Level_Ease = 2;
    // Tab starts: the window hides and the ease is 0 for the run.
    ToolkitTest_Script(KeyPress(2, VK::TAB));
    EditorTest_Frames(4);
    ASSERT_EQ(Editor_Testing, 1);
    EXPECT_EQ(Editor_W.Window->Hidden, 1);
    EXPECT_EQ(Editor_W.Buttons[BTN_TEST]->GetText(), u"Stop");
    EXPECT_EQ(Player_LevelEase[1][Level_Current], 0);
    EXPECT_TRUE(EditorTest_Read(EditorTest_File("levels/test_autosave.lev")) == edited);
    // Play happens: pieces go, the counters move; F2 during the run writes nothing.
    for (int c = 0; c < Board_Cols; ++c)
        Editor_ClearPiece(c, 0);
    Board_Cells[1][1].TileLevel = 0;
    Score += 500;
    Lives = 0;
    Gold += 10;
    ToolkitTest_Script(KeyPress(2, VK::F1 + 1));
    EditorTest_Frames(4);
    EXPECT_TRUE(EditorTest_Read(EditorTest_File("levels/default.lev")).empty());
    // A click where a button of the hidden window is, then Tab: everything as before, and the click presses
    // nothing once the window shows again.
    ToolkitTest_Script(Click(2, ButtonX(BTN_CLEAR), ButtonY(BTN_CLEAR)) + KeyPress(3, VK::TAB));
    EditorTest_Frames(10);
    ASSERT_EQ(Editor_Testing, 0);
    EXPECT_TRUE(EditorTest_Level() == edited);
    EXPECT_EQ(Editor_W.Window->Hidden, 0);
    EXPECT_EQ(Editor_W.Buttons[BTN_TEST]->GetText(), u"Test");
    EXPECT_EQ(Score, 1234);
    EXPECT_EQ(Lives, 2);
    EXPECT_EQ(Gold, 50);
    EXPECT_EQ(Player_LevelEase[1][Level_Current], 2);
    EXPECT_EQ(Level_Ease, 2);

    // A window hidden before the run stays hidden after it; the level's end stops the run.
    Editor_W.Window->Hidden = 1;
    Editor_ToggleTest();
    ASSERT_EQ(Editor_Testing, 1);
    Board_Cells[2][2].TileLevel = 0;
    Editor_EndTest();
    EditorTest_Frames(2);
    EXPECT_EQ(Editor_Testing, 0);
    EXPECT_EQ(Editor_W.Window->Hidden, 1);
    EXPECT_TRUE(EditorTest_Level() == edited);

    // Closing the editor during a run ends it and restores the board.
    Editor_ToggleTest();
    ASSERT_EQ(Editor_Testing, 1);
    Editor_ClearTable();
    Editor_Close();
    EXPECT_EQ(Editor_Testing, 0);
    EXPECT_EQ(Editor_Open, 0);
    EXPECT_TRUE(EditorTest_Level() == edited);
    Player_Current = 0;
}

TEST_F(EditorFiles, TestRunThatCannotSaveItsBoardDoesNotStart) {
    int alerts = 0;
    EditorTest_AnswerAlerts(&alerts);
    const Str folder = App_Folder;
    App_Folder = u"/proc/no_such_place";
    Editor_ToggleTest();
    EXPECT_EQ(Editor_Testing, 0);
    EXPECT_EQ(Editor_W.Window->Hidden, 0);
    EXPECT_EQ(alerts, 1);
    App_Folder = folder;
}

} // namespace
