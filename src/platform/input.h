// Polled keyboard and mouse of the platform layer, with Windows virtual-key codes and a typed-character queue.
// Fed only from SDL events (by Sys_PollEvents and Graphics_Flip), so events pushed by the harness and the tests take
// the same path as real ones. Called by every screen, dialog and widget of the game.
#pragma once

#include <cstdint>

// Windows virtual-key codes the game uses.
namespace VK {
constexpr int BACK = 8, TAB = 9, RETURN = 13, SHIFT = 16, CONTROL = 17, MENU = 18, PAUSE = 19, CAPITAL = 20;
constexpr int ESCAPE = 27, SPACE = 32, PRIOR = 33, NEXT = 34, END = 35, HOME = 36;
constexpr int LEFT = 37, UP = 38, RIGHT = 39, DOWN = 40, SNAPSHOT = 44, INSERT = 45, DELETE_ = 46;
constexpr int KEY_0 = 48, KEY_A = 65; // '0'..'9' = 48..57, 'A'..'Z' = 65..90
constexpr int LWIN = 91, RWIN = 92, APPS = 93, NUMPAD0 = 96, MULTIPLY = 106, ADD = 107, SUBTRACT = 109;
constexpr int DECIMAL = 110, DIVIDE = 111, F1 = 112; // F1..F12 = 112..123
constexpr int NUMLOCK = 144, SCROLL = 145;
constexpr int LSHIFT = 160, RSHIFT = 161, LCONTROL = 162, RCONTROL = 163, LMENU = 164, RMENU = 165;
constexpr int OEM_1 = 186, OEM_PLUS = 187, OEM_COMMA = 188, OEM_MINUS = 189, OEM_PERIOD = 190, OEM_2 = 191;
constexpr int OEM_3 = 192, OEM_4 = 219, OEM_5 = 220, OEM_6 = 221, OEM_7 = 222, OEM_102 = 226;
constexpr int COUNT = 256; // codes are 0..255
} // namespace VK

// ---- Keyboard ---------------------------------------------------------------------------------------------------
int Key_Hit(int vk);   // presses since last asked (key repeat not counted); asking clears
bool Key_Down(int vk); // held now
int Key_GetChar();     // next typed character (UTF-16 unit / Latin-1 code; 8, 9, 13, 27 from keys) or 0
void Keys_Flush();     // clears every hit count and the typed queue (held flags stay)

// ---- Mouse (canvas coordinates 0..799, 0..599; buttons 1 left, 2 right, 3 middle) --------------------------------
int Mouse_X();
int Mouse_Y();
int Mouse_Z();               // wheel position: grows when rolled away from the user
int Mouse_Hit(int button);   // presses since last asked; asking clears
bool Mouse_Down(int button); // held now
// Presses and releases since the program started; never cleared (not by asking, flushing or Input_Reset), so any
// number of readers can find the edges between two looks by comparing counts. A release is counted only for a held
// button (losing the window's focus lets go of every button without counting one). A captured press (below) is in
// none of these.
int Mouse_PressCount(int button);
int Mouse_ReleaseCount(int button);
void Mouse_Flush();            // clears the button hit counts
void Mouse_Move(int x, int y); // moves the pointer (canvas coordinates) and the stored position
void Mouse_Show();
void Mouse_Hide();
bool Mouse_Visible();

// Held at the end of the previous frame (the state Input_BeginFrame kept): with Mouse_Down, this frame's and last
// frame's state of a button.
bool Mouse_WasDown(int button);

// ---- Capture: a layer drawn over the game (the window toolkit) keeps the presses that land on it --------------------
// The test is asked at every button press with the pointer's canvas position. A press it claims, and the release
// that ends it, belong to that layer alone: Mouse_Hit, Mouse_Down, Mouse_WasDown, Mouse_PressCount and
// Mouse_ReleaseCount above never see them, so the game beneath reads no click the layer took. Null: nothing is
// captured (the start value).
using MouseCaptureTest = bool (*)(int x, int y);
void Mouse_SetCapture(MouseCaptureTest test);
// The capturing layer's own reads: every press and release, captured or not (never cleared, like the counts above),
// and the button held now whoever took its press.
int Mouse_AllPressCount(int button);
int Mouse_AllReleaseCount(int button);
bool Mouse_Held(int button);

// ---- Frames: the platform's own frame counter ----------------------------------------------------------------------
// The one input model: the held state now and at the end of the last frame, the press and release counts nobody
// clears, and this counter, which keys every per-frame look at the input (the widgets' mouse snapshot, the harness's
// script, screenshots and exit frame).
int Input_Frame();          // the frame being drawn: 1 until the first flip
void Input_BeginFrame();    // after a flip (Sys_OnFlip): the last frame's state kept, the counter one on
void Input_RestartFrames(); // the counter back to 1 (a fresh harness configuration)

void Input_Flush(); // Keys_Flush and Mouse_Flush
void Input_Reset(); // everything back to start (held flags too) except the press and release counts; tests
