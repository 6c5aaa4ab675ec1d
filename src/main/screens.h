// Screens and dialogs: the screen switcher with its hook table (screens 0..11), the pause screen 8, and the
// one-at-a-time dialog manager. Screen_Set and Dialog_Open/Close are called from every screen, box and button
// action; the main loop calls Screens_RunFrame.
#pragma once

#include <array>
#include <cstdint>

#include "platform/graphics.h"

using ScreenFn = void (*)(); // a hook, frame or dialog function; never null (Dialog_Nothing stands for none)
void Dialog_Nothing();       // the shared do-nothing function

struct ScreenHooks {
    ScreenFn enter; // run by Screen_Set when the screen becomes current
    ScreenFn leave; // run by Screen_Set when another screen replaces it
    ScreenFn frame; // run once per main-loop pass while current
};
constexpr int kScreenCount = 12;
// Screen 2 is a passing state without a frame (the main menu's Start goes through it); 3 and 4 are unused.
constexpr int kScreenMainMenu = 0, kScreenGame = 1, kScreenPassing = 2, kScreenLevelStart = 5, kScreenLevelEnd = 6, kScreenDimmed = 7,
              kScreenPause = 8, kScreenBuildMenu = 9, kScreenLevelMap = 10, kScreenShop = 11;

// ---- State owned here ------------------------------------------------------------------------------------------
extern std::array<ScreenHooks, kScreenCount> Screen_Hooks; // hooks of screens 0..11 (tests may replace entries)
constexpr int32_t Screen_Width = kCanvasWidth, Screen_Height = kCanvasHeight; // the canvas in pixels
constexpr int32_t Screen_CenterX = Screen_Width / 2, Screen_CenterY = Screen_Height / 2;
// The switcher's public state, in one struct so that Screens_Reset puts all of it back by assigning a fresh one.
// Screens and boxes use the names bound below.
struct ScreensState {
    int32_t Current = 0;      // the current screen number
    int32_t DialogActive = 0; // 1 while a dialog is open
    int32_t DialogX = 0;      // top-left of the open dialog's background (its init may set them), pixels
    int32_t DialogY = 0;
    int32_t PauseByLoop = 0; // 1 while the pause the main loop made itself is in force (overlay shown)
    int32_t PauseScreen = 0; // the screen remembered while the pause screen 8 shows
};
extern ScreensState Screens_State;
inline constinit int32_t& Screen_Current = Screens_State.Current;
inline constinit int32_t& Dialog_Active = Screens_State.DialogActive;
inline constinit int32_t& Dialog_X = Screens_State.DialogX;
inline constinit int32_t& Dialog_Y = Screens_State.DialogY;
inline constinit int32_t& Pause_ByLoop = Screens_State.PauseByLoop;
inline constinit int32_t& Pause_Screen = Screens_State.PauseScreen;
// The cached layers (Layer_Reuse): the game screen's backdrop, castle and board cells; the main menu's pictures
// and buttons without the birds; the in-game panel with its counters and buttons.
constexpr int kLayerGameScene = 0, kLayerMainMenu = 1, kLayerGamePanel = 2;
extern int32_t Game_Paused;  // 1 freezes the game screen's logic; boxes and the pause set and clear it, a level
                             // start clears it

// ---- Screens ---------------------------------------------------------------------------------------------------
// Flushes the keyboard, runs the leave hook of the current screen and the enter hook of screen n, then makes n
// current. Callable from a frame, a hook or a dialog action; when a hook itself switches again, the later switch
// wins (the earlier one does not overwrite Screen_Current afterwards).
void Screen_Set(int32_t n);
// The hooks of screen n; unknown numbers and the passing screens get the main menu's frame and no hooks.
const ScreenHooks& Screen_HooksOf(int32_t n);
void Screens_Reset(); // the hook table back to the game's own (Service_Hooks.Screens), screen 0, no dialog

// ---- Dialogs ---------------------------------------------------------------------------------------------------
// Makes (init, update, draw) the one open dialog, replacing any open one, sets Dialog_Active, flushes the input
// and runs init at once. Null functions count as Dialog_Nothing. flush 1: the main loop flushes the input after
// the dialog's update.
void Dialog_Open(ScreenFn init, ScreenFn update, ScreenFn draw, int32_t flush);
// Ends the open dialog; nothing of it is called afterwards. Harmless when none is open.
void Dialog_Close();
// Which opening of a dialog is current: changes with every Dialog_Open and Dialog_Close. An update that runs an
// action compares it before and after, and stops once its dialog was closed or replaced.
int Dialog_Serial();
// Who opened the dialog: a box of the game (0, every Dialog_Open starts so) or one of the tutorial's frames. A
// tutorial frame without a button lets the screen below go on taking input; any other dialog holds it.
enum DialogOwner : int32_t { DIALOG_GAME = 0, DIALOG_TUTORIAL_FRAME = 1, DIALOG_TUTORIAL_BOX = 2 };
void Dialog_SetOwner(int32_t owner); // tags the open dialog (nothing when none is open)
int32_t Dialog_Owner();              // the open dialog's tag; DIALOG_GAME when none is open
// 1 while an open dialog keeps the screen below from taking input (every dialog but a tutorial's plain frame).
int32_t Dialog_HoldsInput();
// The open dialog's update function (Dialog_Nothing when none): tells the open dialog apart (tests' drivers).
ScreenFn Dialog_UpdateFn();
// Main loop: the open dialog's update, then the input flush when the dialog that ran asked for it (also when it
// closed itself in its update, so the click that closed it does not reach the screen).
void Dialog_RunUpdate();
// Main loop: the open dialog's draw (nothing when it was closed).
void Dialog_RunDraw();
// The open dialog's opaque part in screen pixels, where its picture paints over everything below (alpha 255): the
// main loop hands it to the sprite batch for the screen's frame, so effects wholly beneath it are not blended. Set
// by the dialog's init; every opening starts without one; empty while no dialog is open.
void Dialog_SetCover(const Rect& r);
Rect Dialog_Cover();

// ---- Pause -----------------------------------------------------------------------------------------------------
// The main loop's pause: remembers the screen and shows screen 8 in front of it (no hooks run: the remembered
// screen is not left); in the game screen it also pauses the game.
void Pause_Begin();
// Back to the remembered screen once the window is active again.
void Pause_End();
// Draws the overlay over a game the loop paused; a click or key ends that pause.
void Pause_DrawOverlay();
