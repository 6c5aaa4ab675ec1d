// Shared set-up of the play tests (see play_helpers.h).
#include "play_helpers.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "../platform/sdl_push.h"
#include "board/board_hooks.h"
#include "common/test_common.h"
#include "main/audio.h"
#include "main/config.h"
#include "main/fonts.h"
#include "main/frame_timer.h"
#include "main/gui_button.h"
#include "main/screens.h"
#include "main/service_hooks.h"
#include "main/texts.h"
#include "menus/menus.h"
#include "platform/graphics.h"
#include "platform/incbin.h"
#include "platform/input.h"
#include "platform/random.h"
#include "platform/stream.h"
#include "platform/system.h"

namespace fs = std::filesystem;

namespace {
bool g_ready = false; // window, archive, fonts and pictures are made once per process
} // namespace

void PlayTest::SetUp() {
    root_ = TestTemp_Make("play");
    ASSERT_FALSE(root_.empty());
    TestTemp_UseAsGameHome(root_, false);
    Folders_Init();
    ASSERT_TRUE(TestCanvas_Open());
    if (!g_ready) {
        g_ready = true;
        Incbin_RegisterBuiltin();
        Fonts_Load();
        Board_Init();
    }
    HarnessConfig h;
    h.headless = true;
    h.frameMs = 16;
    h.haveSeed = true;
    h.seed = 1;
    ASSERT_TRUE(Harness_Configure(h));
    Input_Reset();
    Sys_PollEvents();
    GUI_MouseInvalidate();
    // The board's own screens, as the runtime would put them into the screen table.
    Service_Hooks.Screens[kScreenGame] = {Game_Enter, Game_Leave, Game_Frame};
    Service_Hooks.Screens[kScreenLevelStart] = {Screen5_Enter, Screen5_Leave, Screen5_Frame};
    Service_Hooks.Screens[kScreenLevelEnd] = {LevelEnd_Enter, LevelEnd_Leave, LevelEnd_Frame};
    Service_Hooks.Screens[kScreenDimmed] = {Dimmed_Enter, Dimmed_Leave, Dimmed_Frame};
    Screens_Reset();
    Frame_Start();
    Rand_Seed(1);
    Board_Hooks = Board_HooksDefault(); // the board plays alone
    Player_Current = 0;
    Levels_Count = kDefaultLevelsCount;
    Relaxed_Mode = 0;
    Level_Current = 1;
    Gold = Mana = 0;
    Match_New();
    Hammers_Reset();
}

void PlayTest::TearDown() {
    Screens_Reset();
    TestTemp_Remove(root_);
}

void PlayTest::Frame() {
    Mouse_Update();
    Dialog_RunUpdate();
    Screen_HooksOf(Screen_Current).frame();
    Dialog_RunDraw();
    Graphics_Flip();
    Frame_Update();
}

Point PlayTest::CellCentre(Point cell) {
    return Point{int32_t(Cell_PixelX(cell.x)) + Cell_HalfWidth - Board_OverflowX,
                 int32_t(Cell_PixelY(cell.y)) + Cell_HalfHeight - Board_OverflowY};
}

void PlayTest::Click(Point at) {
    sdl_push::Motion(at.x, at.y);
    sdl_push::Button(SDL_BUTTON_LEFT, true, at.x, at.y);
    Frame();
    sdl_push::Button(SDL_BUTTON_LEFT, false, at.x, at.y);
    Frame();
}

void PlayTest::Drag(Point from, Point to) {
    const Point a = CellCentre(from), b = CellCentre(to);
    sdl_push::Motion(a.x, a.y);
    sdl_push::Button(SDL_BUTTON_LEFT, true, a.x, a.y);
    Frame();
    sdl_push::Motion((a.x + b.x) / 2, (a.y + b.y) / 2);
    Frame();
    sdl_push::Motion(b.x, b.y);
    Frame();
    sdl_push::Button(SDL_BUTTON_LEFT, false, b.x, b.y);
    Frame();
}

void PlayTest_LoadDialogs() {
    static bool loaded = false;
    if (loaded) return;
    loaded = true;
    Texts_SetGerman();
    Texts_SetEnglish();
    Dialogs_LoadImages();
    WinLose_Build();
    IGMenu_Build();
}

std::vector<uint8_t> Bytes(const Str& path) {
    std::vector<uint8_t> b;
    File_ReadAll(path, b);
    return b;
}

void PutBytes(const Str& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(Path_Native(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
