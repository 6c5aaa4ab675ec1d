// The menus' public services: the main menu (screen 0) with its birds, the message boxes and the user-name box,
// the players dialog, the game-flow boxes, the high-score table, the other dialogs, the tutorial and the tips.
// Called by the runtime (start-up, screen table, main loop), the board's play loop and the castle (both through
// their hook tables, board/board_hooks.h and castle/castle.h) and by the menus themselves. The menus sit on top of
// the board, the effects and the castle and call them directly. What has not landed yet answers from menus_stub.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "main/gui_button.h"
#include "main/gui_listbox.h"
#include "platform/font.h"
#include "platform/image.h"
#include "platform/strings.h"

// ============================================================================================================
// Main menu (screen 0)
// ============================================================================================================
constexpr int kMainMenuButtons = 6;
extern std::vector<GUIBtnPtr> MainMenu_Buttons; // the six buttons in id order (play, relaxed, user, wallpapers,
                                                // options, exit); empty until MainMenu_CreateButtons
extern GUIBtnPtr MainMenu_UserButton;           // button id 2, whose caption is "Spieler " + the player's name
extern int32_t MainMenu_NamePending;            // 1: the next frame opens the user-name box (first start)

void MainMenu_Load();                          // start-up: the menu's pictures, the birds, the buttons (once)
void MainMenu_CreateButtons();                 // the six buttons; nothing when they exist
void MainMenu_Enter();                         // enter hook of screen 0
void MainMenu_Leave();                         // leave hook of screen 0 (nothing)
void MainMenu_Frame();                         // frame of screen 0 (also of 2, 3, 4 and unknown screens)
void MainMenu_SetUserCaption(const Str& name); // every menu button of id 2 reads "Spieler " + name
void MainMenu_Btn_Play_LeftUp(GUIBtn& button);
void MainMenu_Btn_Relaxed_LeftUp(GUIBtn& button);
void MainMenu_Btn_User_LeftUp(GUIBtn& button);
void MainMenu_Btn_Wallpapers_LeftUp(GUIBtn& button);
void MainMenu_Btn_Options_LeftUp(GUIBtn& button);
void MainMenu_Btn_Exit_LeftUp(GUIBtn& button);
// Starts play of the current match at a level: screen 5, a new match when none is saved, the match saved.
void Match_StartAtLevel(int32_t level);

// ============================================================================================================
// Main-menu birds
// ============================================================================================================
struct MMBird {
    int32_t kind = 0;                 // size class 0..3 (2 and 3 are the large birds)
    float x = 0, y = 0;               // top-left of the image, pixels
    int32_t targetX = 0, targetY = 0; // the point it flies towards
    float frame = 0;                  // animation frame, 0 <= frame < frameCount
    ImagePtr image;                   // the strip for its size class and heading
    int32_t frameCount = 0;           // 21 or 64
    float speed = 0;                  // pixels per second
    float angle = 0;                  // heading, degrees
    float distanceLeft = 0;           // pixels still to fly before it is removed
    float step = 0;                   // pixels moved this frame
    int32_t layer = 0;                // 0 in front of the middle picture (near pass), 1 behind it (far pass)
    bool gone = false;                // removed itself this update (dropped from the list after the pass)

    void Setup();   // a new bird off-screen on one side
    void Move();    // along its heading by speed x frame seconds
    void Animate(); // wings beat with the distance flown
    void Draw() const;
    static MMBird Create(); // a bird with Setup run
};
constexpr int kMaxBirds = 5;
extern std::vector<MMBird> MMBird_List; // the flying birds, oldest first
extern int32_t MMBird_Timer;            // ms until the next bird may start

void MMBird_LoadImages(); // start-up: the eight strips, an empty list, timer 0
void MMBirds_Update();    // once per menu frame: move, animate, spawn
void MMBirds_DrawFar();   // the large birds (behind mm_02)
void MMBirds_DrawNear();  // the small birds (in front of mm_02)

// ============================================================================================================
// Message-box frame (every box of the game is built on it) and the user-name box
// ============================================================================================================
enum MsgBoxSkin : int32_t { SKIN_NONE = 0, SKIN_DLG2 = 2, SKIN_DLG3 = 3 };
constexpr int32_t kDlg2Width = 352, kDlg2Height = 242, kDlg3Width = 462, kDlg3Height = 302;

extern std::vector<GUIBtnPtr> MsgBox_Buttons; // the open box's buttons; each box's init empties it
extern FontPtr MsgBox_Font;                   // the font fitted for the open box's text
extern ImagePtr MsgBox_Dlg2Bg, MsgBox_Dlg3Bg; // the two box backgrounds (352 x 242, 462 x 302)
extern ImagePtr MsgBox_WinGameBg;             // the full-screen end-of-castles picture

void Dialogs_LoadImages(); // start-up: the skins, wingame_bg, the skin buttons; then Gamble_Init
// Empties MsgBox_Buttons and centres the skin's background on the screen (Dialog_X, Dialog_Y).
void MsgBox_Begin(MsgBoxSkin skin);
// Updates MsgBox_Buttons in order and stops as soon as an action closed or replaced the dialog.
void MsgBox_UpdateButtons();
// Draws MsgBox_Buttons, then the skin's background over them at (Dialog_X, Dialog_Y).
void MsgBox_DrawFrame(MsgBoxSkin skin);
// 1 when a typed character is waiting (it is taken): a one-button box acts on any key that types.
bool MsgBox_AnyCharTyped();

// The one-line name entry field (its owner keeps the state; the user-name box is the only owner).
struct NameEntryState {
    int32_t cursor = 0;      // caret position 0..length
    int32_t blinkTimer = 0;  // ms until the caret blinks
    int32_t blinkOn = 1;     // 1 while the caret shows
    int32_t repeatFlag = 0;  // 1 after an editing key acted
    int32_t repeatTimer = 0; // ms until an editing key is read again
};
constexpr int kNameMaxChars = 9; // the high-score file keeps 9 characters of a name
// True for a character a name may hold: codes 32..255 but the tilde and the control codes 127..159.
bool NameEntry_Accepts(char16_t c);
using NameEntryFn = void (*)();
// One frame of the field: editing keys (repeat every 200 ms), Enter (onEnter, when the text is not empty), Escape
// (onEscape), typed characters, the caret's blink. onEachFrame runs first.
void NameEntry_Update(Str& text, NameEntryFn onEnter, NameEntryFn onEscape, NameEntryFn onEachFrame,
                      NameEntryState& state);
// The caret: a 12-pixel block after the first `cursor` characters of the text drawn from (x, y) in the font.
void NameEntry_DrawCursor(const Str& text, const FontPtr& font, float x, float y, int32_t cursor, int32_t blinkOn);

extern int32_t NameBox_Mode;         // 0 first start, 1 rename the current player, 2 add a player
extern Str NameBox_Text;             // the name being typed
extern int32_t NameBox_X, NameBox_Y; // centre of the typed name on the screen
extern NameEntryState NameBox_Entry; // caret, blink and key repeat of the field
extern FontPtr NameBox_Font;         // the fitted font of the prompt

void MsgBox_Username_Open(); // opens the user-name box in NameBox_Mode (input flush)
void MsgBox_Username_Init();
void MsgBox_Username_Update();
void MsgBox_Username_Draw();
void MsgBox_Username_Btn_OkFirst_LeftUp(GUIBtn& button);
void MsgBox_Username_Btn_Ok_LeftUp(GUIBtn& button);
void MsgBox_Username_Btn_Cancel_LeftUp(GUIBtn& button);
void MsgBox_Username_OnEnter(); // Enter: the mode's OK, when the OK button would take the name

// ============================================================================================================
// Game-flow message boxes: each opener runs Dialog_Open(init, update, draw, 1) with the box's three functions
// ============================================================================================================
extern FontPtr CastleBox_Font;      // the castle-completed text's fitted font
void MsgBox_NameExists_Open();      // user-name OK with a name another player uses
void MsgBox_LastPlayer_Open();      // delete with no other player
void MsgBox_PlayerDeleted_Open();   // after a deletion
void MsgBox_Continue_Open();        // play or relaxed with a saved match: continue or new
void MsgBox_Quit_Open();            // the exit button
void MsgBox_Level_Open();           // time offer box (level timer)
void MsgBox_DeletePlayer_Open();    // delete with another player to switch to
void MsgBox_Shop_Open();            // the gamble box of the shop
void MsgBox_Frame_Open();           // a life was lost, lives remain
void MsgBox_HighScore_Open();       // game-over box without a high-score place
void MsgBox_Game_Open();            // the last life was lost
void MsgBox_CastlesDone_Open();     // end of the castles
void MsgBox_CastleCompleted_Open(); // a castle was completed (Castle_JustCompleted)
void MsgBox_LevelDone_Open();       // "Level N" box at a level's start (from the light sweep)
void MsgBox_AllDone_Open();         // castles finished before the levels ran out
void MsgBox_LevelsEnded_Open();     // no level left
void MsgBox_SetWallpaper_Open();    // wallpapers dialog's set button
void MsgBox_HsReset_Open();         // high-score dialog's reset button

// ============================================================================================================
// Players dialog and the player slots
// ============================================================================================================
constexpr int kPlayers = 10;
constexpr float kPlayersX = 429, kPlayersY = 0; // the dialog's origin (its background's top-left)
extern ImagePtr Players_Bg;                     // players_bg.png
extern std::vector<GUIBtnPtr> Players_Buttons;  // OK, Abbruch, Löschen, Hinzufügen, Umbenennen (ids 9, 19..22)
extern GUIListboxPtr Players_List;              // the names of the slots in use, at (619, 246)
extern int32_t Players_Other;                   // the player the delete box switches to

void Players_Build(); // start-up: background, buttons, name list
GUIBtnPtr Players_MakeButton(int32_t id, float x, float y, GUIBtnAction leftUp, const Str& caption);
void MM_Players_Open(); // Dialog_Open with the three functions below, input flush
void MM_Players_Init();
void MM_Players_Update();
void MM_Players_Draw();
void MM_Players_Btn_Ok_LeftUp(GUIBtn& button);
void MM_Players_Btn_Cancel_LeftUp(GUIBtn& button);
void MM_Players_Btn_Delete_LeftUp(GUIBtn& button);
void MM_Players_Btn_Add_LeftUp(GUIBtn& button);
void MM_Players_Btn_Rename_LeftUp(GUIBtn& button);
void MM_Players_Btn_Player_LeftUp(GUIListboxSlot& row);
void MM_Players_Btn_Player2_LeftUp(GUIListboxSlot& row);

void Player_Select(int32_t p);               // p becomes current and in use (volumes of a new slot reset)
void Player_ResetSlot(int32_t p);            // the current player's slot back to a fresh unused one, saved
void Player_Delete(int32_t p, int32_t next); // reset p, the player-deleted box, next becomes current
int32_t Player_FindByName(const Str& name);  // lowest used slot with exactly this name, or -1

// ============================================================================================================
// High-score table and file "highscores.dat" (layout in docs/file-formats.md)
// ============================================================================================================
struct HS_Slot {
    int32_t player = 0;     // the player (0..9) who made the score; -1 for an empty place
    int32_t score = 0;      // the match score
    int32_t startLevel = 0; // level the match started at; 0 for an entry made at the end of the campaign
    int32_t lastLevel = 0;  // last level played; 0 at the end of the campaign
    int32_t playTime = 0;   // playing time in whole seconds; 4096 + place in a fresh table
};
constexpr int kHsPlaces = 8;
constexpr int kHsNameBytes = 10;                                       // 9 characters and a zero byte
constexpr int kHsFileSize = kHsPlaces * 20 + kHsPlaces * kHsNameBytes; // 240 bytes
extern std::array<HS_Slot, kHsPlaces> HS_Slots;                        // place 0 (best) .. 7
extern std::array<Str, kHsPlaces> HS_Names;                            // the name shown at each place
extern Str HS_Path;                                                    // Data_Folder + "/highscores.dat"
extern const Str HS_BlankName;                                         // nine blanks

void Highscores_Init();                                     // start-up: read the file, or make a fresh one
bool Highscores_Load();                                     // the file into the table; false: left unchanged
void Highscores_Save();                                     // the whole file, atomically; a failure: diagnostic line
int32_t Highscores_FindRank(int32_t score);                 // place 0..7 the score would take, -1 none
void Highscores_Insert(int32_t place, const HS_Slot& slot); // a copy of the slot at the place, lower ones move down
void Highscores_Add(int32_t place);                         // the current player's Score at the place, saved
void Highscores_Clear();                                    // every place empty, saved, the open dialog closed
void Highscores_Fresh(); // the table of a new file: player -1, play time 4096 + place, blank names
// The 240 bytes of the file for the table, and back: false (table untouched) unless exactly 240 bytes are given.
std::vector<uint8_t> Highscores_Encode(const std::array<HS_Slot, kHsPlaces>& slots,
                                       const std::array<Str, kHsPlaces>& names);
bool Highscores_Decode(const uint8_t* bytes, size_t size, std::array<HS_Slot, kHsPlaces>& slots,
                       std::array<Str, kHsPlaces>& names);

// ============================================================================================================
// Other dialogs, tutorial and tips (bodies in menus_stub.cpp until their own sources land)
// ============================================================================================================
void WinLose_Build();                                  // start-up: builds the level-won dialog
void HighScores_Build();                               // start-up: builds the high-score dialog
void IGMenu_Build();                                   // start-up: builds the in-game menu
void Options_Build();                                  // start-up: builds the options dialog
void Credits_Build();                                  // start-up: builds the credits dialog
void Help_Build();                                     // start-up: builds the help pages
void Wallpapers_Build();                               // start-up: builds the wallpapers dialog
void Tutorial_Init();                                  // start-up: tutorial images, OK button and the 45 steps
void Tips_Init();                                      // start-up: tip font, images and table
void Tips_Tick();                                      // main loop, every frame before the screen's frame
void Tips_Place();                                     // level start: places the tips for the board
void Tips_Draw();                                      // game frame, drawn last
void Tips_CheckBoard();                                // light sweep: tips about the new board
void Tips_ShowIceCrystal();                            // game frame: the pending ice-crystal tip
void Tips_ShowSnowball();                              // game frame: the pending snowball tip
void Tips_SetSnowballPoint(int32_t x, int32_t y);      // the board made a launcher at (x, y): pending snowball tip
extern int32_t Tips_Visible;                           // 1 while a tip is showing (the game logic stands still)
void Tutorial_ResetRun();                              // level start: tutorial steps may run again
void Tutorial_ClearFlags(int32_t all);                 // Match_New: clears the current player's tutorial flags
void HighScores_Open(int32_t highlight, int32_t mode); // opens the high-score dialog
void WinLose_Open();                                   // the level-won dialog (level-end screen)
void IGMenu_Init();                                    // the in-game menu's dialog functions (IGI_OpenMenu opens
void IGMenu_Update();                                  // them with Dialog_Open, flush 1)
void IGMenu_Draw();
void Wallpapers_Open(); // the wallpapers dialog
void Options_Init();    // the options dialog's three functions (opened with Dialog_Open, input flush)
void Options_Update();
void Options_Draw();
void Wallpapers_Init(); // the wallpapers dialog's three functions
void Wallpapers_Update();
void Wallpapers_Draw();
void Wallpapers_Refresh();         // sets the wallpapers dialog's enabled and hidden bits
void Wallpaper_Apply();            // writes the selected wallpaper's bitmap and sets it as the desktop
extern int32_t Wallpapers_Current; // the selected wallpaper 0..6 (a castle number)
// (Whether the castle-completed path opened the dialog is the castle's Wallpapers_FromLevel, castle/castle.h.)
ImagePtr Wallpapers_Picture(int32_t n); // wallpaper n's picture (null when missing)
ImagePtr Wallpapers_Preview(int32_t n); // wallpaper n's locked preview (null when missing)
extern int32_t HS_Mode;                 // the high-score dialog's mode (kept after it closes)
extern int32_t HS_Highlight;            // its highlighted place, -1 none
void HighScores_DoReset();              // the reset box's Yes: the table cleared, then the mode's next dialog
extern int32_t Tips_Tip20Delay;         // ms until the main-menu tip; 0 settled (the options button cancels it)

// Tutorial events reported by the board and the castle (9 and 10 are reserved and never reported). Coordinates are
// board cell column and row.
void Tutorial_OnEvent0();                         // level box OK; build-menu / shop fade-in finished
void Tutorial_OnEvent1();                         // a match group was scored and removed
void Tutorial_OnEvent2(int32_t x, int32_t y);     // a cell with tile level >= 1 exploded
void Tutorial_OnEvent3(int32_t x, int32_t y);     // a coin appeared
void Tutorial_OnEvent4(int32_t x, int32_t y);     // a bottom-line piece (kind 16) was placed
void Tutorial_OnEvent5(int32_t x, int32_t y);     // a mana bottle appeared
void Tutorial_OnEvent6(int32_t n);                // hammer n (1..3) became available
void Tutorial_OnEvent7(int32_t charge);           // hammer charge grew by charge
void Tutorial_OnEvent8();                         // the hammer button was pressed
void Tutorial_OnEvent11();                        // every frame of screens 1, 9 and 11
int32_t Tutorial_OnEvent12(int32_t x, int32_t y); // board click; returns 0 to swallow the click
void Tutorial_OnEvent13(int32_t x, int32_t y);    // a board cell was drawn
int32_t Tutorial_OnEvent14(int32_t x, int32_t y); // hammer released over a cell; returns 0 to hold the strike
void Tutorial_OnEvent15();                        // first thing of the light sweep
void Tutorial_OnEvent16(int32_t button);          // after a button's update (build menu, shop, interface)
void Tutorial_OnManaChanged(int32_t amount, int32_t reachedCap); // event 17, after every change of Mana
void Tutorial_OnGemsAdded(int32_t colour, int32_t amount);       // event 18, after gems were added or taken
