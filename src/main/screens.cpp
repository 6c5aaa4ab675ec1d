// The screen switcher, its hook table, the pause screen and the dialog manager. Called from every screen, box and
// button action, and by the main loop (Dialog_RunUpdate, Dialog_RunDraw, the current screen's frame).
#include "main/screens.h"

#include "main/assets.h"
#include "main/audio.h"
#include "main/service_hooks.h"
#include "main/fonts.h"
#include "main/gui_button.h"
#include "main/text_layout.h"
#include "platform/graphics.h"
#include "platform/input.h"

std::array<ScreenHooks, kScreenCount> Screen_Hooks{};
ScreensState Screens_State;

namespace {

void Pause_Frame();

struct OpenDialog {
    ScreenFn init = Dialog_Nothing, update = Dialog_Nothing, draw = Dialog_Nothing;
    int32_t flush = 0;
    int32_t owner = DIALOG_GAME; // DialogOwner
    int serial = 0;              // which opening this is; an update that sees it change knows it was replaced or closed
    Rect cover;                  // Dialog_SetCover's opaque part (w 0: none)
};
constexpr int kPauseFont = kFontUnzialish56; // the overlay's word: the uncial face at 56 pixels

// The switcher's and the dialog manager's own state. The two serial counters only ever grow (a reset keeps them), so
// a switch or dialog that began before a reset still sees that it was replaced.
struct SwitcherState {
    int32_t switching = -1; // the screen whose enter hook runs now (-1 none): a nested switch leaves it
    int32_t leaving = -1;   // the screen whose leave hook runs now (-1 none): a nested switch does not leave it again
    OpenDialog dialog;      // the open dialog's functions
    ImagePtr pauseImage;    // Images/Start/pause.jpg, loaded on first use
    std::array<int, 3> overlayPresses{-1, -1, -1}; // mouse press counts at the overlay's last look (-1: none yet)
};
SwitcherState g;
int g_switches = 0;     // Screen_Set calls so far: a nested call makes the outer one stop
int g_dialogSerial = 0; // dialogs opened so far

void Pause_Frame() {
    if (!g.pauseImage) g.pauseImage = Asset_LoadImage(u"Images/Start/pause.jpg");
    Draw_Cls();
    Background_DrawFullscreen(g.pauseImage);
}

ScreenFn OrNothing(ScreenFn f) { return f ? f : Dialog_Nothing; }

// Flushes the input for the rest of the frame: the platform's hit counts and typed keys, and the widgets' mouse
// snapshot (whose edges come from press and release counts that no platform flush clears). Buttons updated later
// in the frame see the mouse held or not, but no press and no release.
void FlushFrameInput() {
    Input_Flush();
    GUI_MouseFlush();
}

} // namespace

void Dialog_Nothing() {}

const ScreenHooks& Screen_HooksOf(int32_t n) {
    static ScreenHooks unknown;
    unknown = {Dialog_Nothing, Dialog_Nothing, Service_Hooks.Screens[kScreenMainMenu].frame};
    if (n < 0 || n >= kScreenCount) return unknown;
    return Screen_Hooks[size_t(n)];
}

void Screens_Reset() {
    Screen_Hooks = Service_Hooks.Screens;
    Screen_Hooks[kScreenPause] = {Dialog_Nothing, Dialog_Nothing, Pause_Frame};
    Screens_State = ScreensState{};
    g = SwitcherState{};
}

void Screen_Set(int32_t n) {
    Keys_Flush();
    const int serial = ++g_switches;
    const int32_t leaving = g.switching >= 0 ? g.switching : Screen_Current;
    if (leaving != g.leaving) { // a switch from inside a leave hook does not leave that screen twice
        const int32_t outerLeaving = g.leaving;
        g.leaving = leaving;
        OrNothing(Screen_HooksOf(leaving).leave)();
        g.leaving = outerLeaving;
        if (serial != g_switches) return; // the leave hook switched elsewhere; that switch stands
    }
    const int32_t outer = g.switching;
    g.switching = n;
    OrNothing(Screen_HooksOf(n).enter)();
    g.switching = outer;
    if (serial != g_switches) return; // the enter hook switched on; the later screen stays current
    Screen_Current = n;
    if (n == kScreenMainMenu) Music_SwitchTo(0); // the menu's music comes back with the menu
}

void Dialog_Open(ScreenFn init, ScreenFn update, ScreenFn draw, int32_t flush) {
    g.dialog.init = OrNothing(init);
    g.dialog.update = OrNothing(update);
    g.dialog.draw = OrNothing(draw);
    g.dialog.flush = flush;
    g.dialog.owner = DIALOG_GAME;
    g.dialog.cover = Rect{};
    g.dialog.serial = ++g_dialogSerial;
    Dialog_Active = 1;
    FlushFrameInput();
    g.dialog.init();
}

void Dialog_Close() {
    g.dialog = OpenDialog{};
    g.dialog.serial = ++g_dialogSerial;
    Dialog_Active = 0;
}

int Dialog_Serial() { return g.dialog.serial; }
ScreenFn Dialog_UpdateFn() { return g.dialog.update; }

void Dialog_SetOwner(int32_t owner) {
    if (Dialog_Active) g.dialog.owner = owner;
}
int32_t Dialog_Owner() { return Dialog_Active ? g.dialog.owner : int32_t(DIALOG_GAME); }
int32_t Dialog_HoldsInput() { return Dialog_Active && g.dialog.owner != DIALOG_TUTORIAL_FRAME ? 1 : 0; }

void Dialog_RunUpdate() {
    if (!Dialog_Active) return;
    const int32_t flush = g.dialog.flush;
    g.dialog.update();
    if (flush == 1) FlushFrameInput();
}

void Dialog_RunDraw() {
    if (Dialog_Active) g.dialog.draw();
}

void Dialog_SetCover(const Rect& r) {
    if (Dialog_Active) g.dialog.cover = r;
}
Rect Dialog_Cover() { return Dialog_Active ? g.dialog.cover : Rect{}; }

// The pause screen stands in front of the remembered screen without leaving it: no leave or enter hook runs, so a
// pause never restarts or reloads what was on screen.
void Pause_Begin() {
    if (Screen_Current == kScreenPause) return;
    Pause_Screen = Screen_Current;
    if (Pause_Screen == kScreenGame && !Game_Paused) {
        Game_Paused = 1;
        Pause_ByLoop = 1;
        g.overlayPresses.fill(-1);
    }
    FlushFrameInput();
    Screen_Current = kScreenPause;
}

void Pause_End() {
    if (Screen_Current != kScreenPause) return;
    Screen_Current = Pause_Screen;
    FlushFrameInput();
}

void Pause_DrawOverlay() {
    if (!Pause_ByLoop) return;
    if (!Game_Paused || Screen_Current != kScreenGame) { // something else ended or took over the pause
        Pause_ByLoop = 0;
        return;
    }
    Draw_SetBlend(BLEND_ALPHA);
    Draw_SetAlpha(0.5f);
    Draw_SetColor(0, 0, 0);
    Draw_Rect(0, 0, float(Screen_Width), float(Screen_Height));
    Draw_SetAlpha(1.0f);
    Draw_SetImageFont(Font_Get(kPauseFont));
    Draw_SetColor(0, 0, 0); // a shadow keeps the word readable over a bright board
    Text_DrawCenteredAt(u"Pause", float(Screen_CenterX + 2), float(Screen_CenterY + 2));
    Draw_SetColor(255, 230, 160);
    Text_DrawCenteredAt(u"Pause", float(Screen_CenterX), float(Screen_CenterY));
    Draw_SetColor(255, 255, 255);
    // Any click or key goes back to the game. The game's own frame ran first and may have taken the click's hit
    // count, so the overlay compares the press counts nobody clears with those of its last look. The first look
    // only takes them, so the click that brought the window back to the front does not end the pause.
    bool any = Key_GetChar() != 0;
    for (size_t b = 0; b < g.overlayPresses.size(); ++b) {
        const int presses = Mouse_PressCount(int(b) + 1);
        any = (g.overlayPresses[b] >= 0 && presses > g.overlayPresses[b]) || any;
        g.overlayPresses[b] = presses;
    }
    if (any) {
        Pause_ByLoop = 0;
        Game_Paused = 0;
        FlushFrameInput();
    }
}
