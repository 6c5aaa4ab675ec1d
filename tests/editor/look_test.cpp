// The editor as a user sees it: the window over the game screen with the level's values, the selected cell's
// highlight and the header lines. Leaves editor_screen.png in the working folder to look at. Tests editor_window.cpp.
#include <filesystem>

#include <gtest/gtest.h>

#include "board/play.h"
#include "editor_helpers.h"
#include "platform/graphics.h"

namespace {

TEST(EditorLook, WindowOverTheGameScreen) {
    const std::string shot = std::filesystem::current_path().string() + "/editor_screen.png";
    EditorTest_Open();
    Editor_SelectedCell = Point{2, 1};
    Editor_ShowCell();
    Level_Path = EditorTest_Folder() + u"/levels/castle_walls.lev";
    EditorTest_Script("1 mouse 700 520\n");
    for (int i = 0; i < 3; ++i) {
        Draw_Cls();
        Game_Frame();
        if (Editor_Open) {
            Editor_Update();
            Editor_Draw();
        }
        if (i == 2) ASSERT_TRUE(Graphics_SaveScreenshot(Str_FromUtf8(shot)));
        Graphics_Flip(-1);
    }
    // The window's body is drawn (not the cleared canvas) and the highlight lies on the selected cell.
    const Pixmap body = Graphics_ReadPixels(Editor_W.Window->X + 100, 300, 1, 1);
    ASSERT_GE(body.bytes.size(), 4u);
    EXPECT_NE(Pixmap_ReadPixel(body, 0, 0) & 0xFFFFFF, 0u);
    EditorTest_Close();
}

} // namespace
