// The runtime: the start-up in its fixed order, the main loop, the shutdown save and the level refresh. Main_Body is
// called once by entry.cpp (and by the tests). The only place that knows every subsystem: it fills their hook tables
// (hooks.cpp) before anything runs.
#include "game/startup.h"

#include <algorithm>

#include "board/play.h"
#include "castle/castle.h"
#include "editor/editor.h"
#include "effects/effects.h"
#include "main/assets.h"
#include "main/audio.h"
#include "main/config.h"
#include "main/fonts.h"
#include "main/frame_timer.h"
#include "main/progress.h"
#include "main/runtime.h"
#include "main/screens.h"
#include "main/texts.h"
#include "menus/menus.h"
#include "platform/folders.h"
#include "platform/graphics.h"
#include "platform/incbin.h"
#include "platform/input.h"
#include "platform/random.h"
#include "platform/sound.h"
#include "platform/sprite_batch.h"
#include "platform/stream.h"
#include "platform/system.h"
#include "toolkit/toolkit.h"

int32_t Startup_LogoMs = 0;
int32_t Startup_DesktopOverrideW = 0;
int32_t Startup_DesktopOverrideH = 0;

namespace {

constexpr int32_t kFirstLogoMs = 2500;  // the game's logo stays at least this long after it appeared
constexpr int32_t kStudioLogoMs = 6000; // the studio's logo stays until this long after the first logo appeared
constexpr int32_t kRefreshLevels = 210; // level numbers the level refresh walks

bool g_editorReady = false; // Editor_Init runs once per process

// Draws one full-screen start-up picture and shows it.
void ShowPicture(const ImagePtr& img) {
    Draw_ResetState();
    Draw_Cls();
    Background_DrawFullscreen(img);
    Graphics_Flip(0);
}

// Waits (events still pumped) until `ms` have passed since `t0`, or the window is closed.
void HoldUntil(int32_t t0, int32_t ms) {
    for (;;) {
        const int32_t left = ms - (Sys_Millisecs() - t0);
        if (left <= 0 || Sys_CloseRequested()) return;
        Sys_Delay(std::min<int32_t>(left, 20));
        Sys_PollEvents();
    }
}

// Each subsystem's set-up, in a fixed order (images first: later steps use the cache).
void Subsystems_SetUp() {
    Images_LoadAll();
    Board_Init();
    Castle_Init();
    BuildMenu_Load();
    Shop_Load();
    LevelMap_Load();
    Audio_LoadSounds();
    MainMenu_Load();
    Dialogs_LoadImages();
    WinLose_Build();
    HighScores_Build();
    IGMenu_Build();
    Players_Build();
    Options_Build();
    Credits_Build();
    Help_Build();
    Wallpapers_Build();
    Tutorial_Init();
    Tips_Init();
    Highscores_Init();
    Particles_InitTables();
    if (!g_editorReady) {
        Editor_Init();
        g_editorReady = true;
    }
}

// The low-resolution refusal: true when the game must end.
bool RefuseWindowed() {
    if (Windowed_Mode != 1 || (Desktop_Width > Screen_Width && Desktop_Height > Screen_Height)) return false;
    Windowed_Mode = 0;
    Config_SetValue(u"WINDOWED_MODE", u"0");
    Sys_MessageBox(u"Sorry, cant run windowed in a resolution less than 1024x768, curently at " +
                   Str_FromInt(Desktop_Width) + u"x" + Str_FromInt(Desktop_Height));
    return true;
}

} // namespace

int32_t Shutdown_SaveMode() {
    const int32_t shown = Screen_Current == kScreenPause ? Pause_Screen : Screen_Current;
    if (shown == kScreenMainMenu) return Shutdown_NoSave;
    return shown == kScreenGame ? 1 : 0;
}

void Levels_Refresh() {
    const Str marker = App_Folder + u"/levels/refresh_levels";
    if (File_Type(marker) != 1) return;
    // The marker goes first, so a level that brings the refresh down is not refreshed again at every start.
    if (!File_Delete(marker)) Log_Print(u"cant delete " + marker);
    for (int32_t n = 1; n <= kRefreshLevels; ++n) {
        const Str path = App_Folder + u"/levels/KV_level_" + Str_FromIntPadded(n, 3) + u".lev";
        if (File_Type(path) != 1) {
            Log_Print(u"failed loading " + path);
            continue;
        }
        Level_RefreshFile(path);
    }
}

void Main_Loop() {
    Frame_Start();
    for (;;) {
        const bool minimised = Window_IsMinimized();
        const bool suspended = Sys_Suspended();
        if (suspended || minimised) {
            Sys_Delay(100);
            Sys_PollEvents();
            if (minimised || !Window_IsVisible() || !Graphics_Windowed()) Pause_Begin();
        } else {
            if (Screen_Current == kScreenPause) Pause_End();
            Audio_Update();
            Mouse_Update();
        }
        if (!minimised) {
            Dialog_RunUpdate();
            Tips_Tick();
            Batch_SetCover(Dialog_Cover());
            Screen_HooksOf(Screen_Current).frame();
            Batch_SetCover(Rect{});
            Dialog_RunDraw();
            Pause_DrawOverlay();
            Graphics_Flip();
        }
        if (Sys_CloseRequested() || Quit_Requested == 1 || (Key_Down(VK::ESCAPE) && Key_Down('E'))) break;
        if (Windowed_Mode == 1 && Window_IsMaximized()) Window_ToggleMode();
        Frame_Update();
    }
}

int Main_Body() {
    // 0. Every hook table filled with the game's own functions. 1. The embedded files.
    Perf_Phase("main");
    Runtime_InstallHooks();
    Incbin_RegisterBuiltin();
    // 2. Global set-up: screens and dialogs, sound, the toolkit's window list (empty), view port, flags.
    Screens_Reset();
    Audio_Reset();
    Audio_Init();
    Perf_Phase("audio");
    Paneo_Windows.Clear();
    Toolkit_Init();
    activeViewPort = {0, 0, Screen_Width, Screen_Height};
    Quit_Requested = 0;
    // 3. The random generator from the millisecond clock (the harness may fix the seed).
    int32_t seed = Sys_Millisecs();
    Sys_SeedOverride(seed);
    Rand_Seed(seed);
    // 4. The frame timer.
    Frame_Start();
    // 5. The desktop resolution.
    Desktop_Width = Startup_DesktopOverrideW > 0 ? Startup_DesktopOverrideW : Sys_DesktopWidth();
    Desktop_Height = Startup_DesktopOverrideH > 0 ? Startup_DesktopOverrideH : Sys_DesktopHeight();
    // 6. Configuration and player files (defaults written when missing).
    Folders_Init();
    Config_Load();
    Progress_Load();
    Config_StoreVolumes(); // the keys follow the current player's volumes from the progress file
    Perf_Phase("files");
    // 7. No window on a desktop that cannot hold one.
    if (RefuseWindowed()) return 0;
    // 8. The 800 x 600 screen.
    if (!Graphics_Open(Screen_Width, Screen_Height, Windowed_Mode == 1)) throw RuntimeError("cant open screen");
    Window_SetTitle(u"Brisquel 2");
    Window_SetIcon(Asset_LoadImage(u"Images/Start/icon.png"));
    ViewPort(0, 0, Screen_Width, Screen_Height);
    // 9. The first loading logo.
    Perf_Phase("screen");
    ImagePtr logo = Asset_LoadImage(u"Images/Start/logo_game.jpg");
    Perf_Phase("logo");
    ShowPicture(logo);
    const int32_t logoShown = Sys_Millisecs();
    // 10. Fonts and text tables.
    Fonts_Load();
    Texts_SetGerman();
    Texts_SetEnglish();
    // 11. The loading text.
    ShowPicture(Asset_LoadImage(u"Images/Start/loading.jpg"));
    // 12. Level counts come from LEVELS_COUNT (read with the configuration). 13. Every subsystem's set-up.
    Subsystems_SetUp();
    // 14. The level refresh, when its marker exists.
    Levels_Refresh();
    // 15. The menu's music.
    Music_LoadTrack(0, 0);
    Music_SwitchTo(0);
    // 16. The logos' minimum times.
    ShowPicture(logo);
    HoldUntil(logoShown, kFirstLogoMs);
    logo.reset(); // its picture and texture are not kept for the whole run
    ShowPicture(Asset_LoadImage(u"Images/Start/logo_studio.jpg"));
    HoldUntil(logoShown, kStudioLogoMs);
    Startup_LogoMs = Sys_Millisecs() - logoShown;
    // 17. The main menu and the loop.
    Screen_Set(kScreenMainMenu);
    Main_Loop();
    // Shutdown: a match in play is saved (with its board when the game screen was left open). On the main menu it
    // was saved when it was left, and a match only read for the continue box was not played.
    if (const int32_t mode = Shutdown_SaveMode(); mode != Shutdown_NoSave) Match_Save(Level_Current, mode);
    Audio_Reset();
    return 0;
}
