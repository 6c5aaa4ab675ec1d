// The menus' public services: the main menu (screen 0) with its birds, the message boxes and the user-name box,
// the players dialog, the game-flow boxes, the high-score table, the other dialogs, the tutorial and the tips.
// Called by the runtime (start-up, screen table, main loop), the board's play loop and the castle (both through
// their hook tables, board/board_hooks.h and castle/castle.h) and by the menus themselves. The menus sit on top of
// the board, the effects and the castle and call them directly.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "board/pieces.h"
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
void MainMenu_Leave();                         // leave hook of screen 0: the pictures' textures go
int32_t MainMenu_PicturesMade();               // pictures holding textures (birds' strips too): none off the menu
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

void MMBird_LoadImages();    // start-up: the eight strips, an empty list, timer 0
void MMBird_DropTextures();  // the main menu was left: the strips' textures go until it shows again
int32_t MMBird_StripsMade(); // strips holding textures now
void MMBirds_Update();       // once per menu frame: move, animate, spawn
void MMBirds_DrawFar();      // the large birds (behind mm_02)
void MMBirds_DrawNear();     // the small birds (in front of mm_02)

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
    int32_t enterHeld = 0;   // 1 while an Enter pressed since the entry opened is held (it acts once the pause ends)
    int32_t escapeHeld = 0;  // the same for Escape
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
// The open game-flow box by the name in its opener ("Level" for MsgBox_Level_Open, ...); "" when another dialog or
// none is open. For the end-to-end player and the tests, which answer boxes by what they are.
const char* MsgBox_FlowName();
// Where the open game-flow box's word-wrapped texts end, pixels below Dialog_Y (0: none); its buttons stand at 200
// (one button) or 205 (two) and no text reaches them.
int32_t MsgBox_TextBottom();

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
// Level-won, high-score, in-game menu, options, credits, help and wallpapers dialogs (their start-up builders,
// openers and the state shared with the boxes are declared with the tutorial and tips below)
// ============================================================================================================
// Updates the buttons in order and stops as soon as an action closed or replaced the open dialog: false then.
bool Dialog_UpdateButtons(const std::vector<GUIBtnPtr>& buttons);

extern int32_t WL_X, WL_Y;                // the level-won frame's top-left (centred: 162, 138)
extern std::vector<GUIBtnPtr> WL_Buttons; // its one button, "Weiter"
void WinLose_Init();                      // pauses the game, makes the statistics' texts
void WinLose_Update();                    // the button; Escape, Enter or Space act as it
void WinLose_Draw();
void WinLose_Btn_Next_LeftUp(GUIBtn& button); // to the build menu (BuildMenu_From 0), or the levels-ended box

constexpr int32_t HS_X = 262, HS_Y = 44;  // the high-score frame's top-left
extern std::vector<GUIBtnPtr> HS_Buttons; // 0 back ("Zurück", "Weiter" in mode 1), 1 "Löschen"
void HighScores_Init();
void HighScores_Update();
void HighScores_Draw();
void HighScores_Btn_Back_LeftUp(GUIBtn& button);  // mode 1: game-over box, 2: Match_BackToMenu, else options
void HighScores_Btn_Reset_LeftUp(GUIBtn& button); // the reset box

constexpr int32_t IGMenu_X = 240, IGMenu_Y = 0; // the in-game menu frame's resting top-left
extern std::vector<GUIBtnPtr> IGMenu_Buttons;   // restart, main menu, play on (ids 0..2)
extern std::array<int32_t, 3> IGMenu_RestY;     // each button's y when the panel rests
using IGMenuAction = void (*)();
extern IGMenuAction IGMenu_Action; // runs when the slide-out ends
void IGMenu_Btn_Restart_LeftUp(GUIBtn& button);
void IGMenu_Btn_MainMenu_LeftUp(GUIBtn& button);
void IGMenu_Btn_Close_LeftUp(GUIBtn& button);
void IGMenu_DoRestart();  // the level again (Game_Start(1))
void IGMenu_DoMainMenu(); // saves a match that has progressed (with its board), main menu, music track 0
void IGMenu_DoClose();    // play on

constexpr int32_t Options_X = 135, Options_Y = 118; // the options dialog's origin
constexpr int kOptionsWidgets = 9;
constexpr float kSliderRange = 250;                            // a knob's travel in pixels (volume 0 .. 1)
extern std::array<GUIBtnPtr, kOptionsWidgets> Options_Widgets; // by id: back, highscores, credits, help, the
                                                               // effects, music and ambient knobs, full screen,
                                                               // slow PC
extern ImagePtr Options_CheckImage, Options_CheckedImage;      // the check box (also on the first help page)
void Options_Open();                                           // Dialog_Open of the options triple with input flush
void Options_RefreshChecks(); // check boxes and knobs from the current settings and player
void Options_Btn_Back_LeftUp(GUIBtn& button);
void Options_Btn_HighScores_LeftUp(GUIBtn& button);
void Options_Btn_Credits_LeftUp(GUIBtn& button);
void Options_Btn_Help_LeftUp(GUIBtn& button);
void Options_Chk_Windowed_LeftUp(GUIBtn& button);
void Options_Chk_SlowPc_LeftUp(GUIBtn& button);

extern std::vector<GUIBtnPtr> Credits_Buttons; // the back button
extern FontPtr Credits_BodyFont;               // fitted once to 185 x 130
void Credits_Update();
void Credits_Draw();
void Credits_Btn_Back_LeftUp(GUIBtn& button);
extern int32_t Help_Page;                   // 0..2, kept between openings
extern std::vector<GUIBtnPtr> Help_Widgets; // back, next, previous, the intro check box
void Help_Init();
void Help_ShowPage();
void Help_Update();
void Help_Draw();
void Help_Btn_Next_LeftUp(GUIBtn& button);
void Help_Btn_Prev_LeftUp(GUIBtn& button);
void Help_Btn_Back_LeftUp(GUIBtn& button);
void Help_Chk_Hints_LeftUp(GUIBtn& button); // flips the check box and the intro's off bit (tutorial step 0)

extern int32_t Wallpapers_HelpShown;              // 1 while the help overlay shows
extern std::vector<GUIBtnPtr> Wallpapers_Widgets; // back, next, previous, help, set, close help
bool Wallpaper_Unlocked(int32_t n);               // the current player completed castle n
void Wallpapers_Btn_Back_LeftUp(GUIBtn& button);
void Wallpapers_Btn_Next_LeftUp(GUIBtn& button);
void Wallpapers_Btn_Prev_LeftUp(GUIBtn& button);
void Wallpapers_Btn_Help_LeftUp(GUIBtn& button);
void Wallpapers_Btn_Set_LeftUp(GUIBtn& button);
void MsgBox_WallpaperFailed_Open(); // the desktop could not be set: where the picture lies; OK back to the dialog

// ============================================================================================================
// The other dialogs
// ============================================================================================================
void WinLose_Build();                                  // start-up: builds the level-won dialog
void HighScores_Build();                               // start-up: builds the high-score dialog
void IGMenu_Build();                                   // start-up: builds the in-game menu
void Options_Build();                                  // start-up: builds the options dialog
void Credits_Build();                                  // start-up: builds the credits dialog
void Help_Build();                                     // start-up: builds the help pages
void Wallpapers_Build();                               // start-up: builds the wallpapers dialog
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
bool Wallpaper_Apply();            // writes the selected wallpaper's bitmap and sets it as the desktop
extern int32_t Wallpapers_Current; // the selected wallpaper 0..6 (a castle number)
// (Whether the castle-completed path opened the dialog is the castle's Wallpapers_FromLevel, castle/castle.h.)
ImagePtr Wallpapers_Picture(int32_t n); // wallpaper n's picture (null when missing)
ImagePtr Wallpapers_Preview(int32_t n); // wallpaper n's locked preview (null when missing)
extern int32_t HS_Mode;                 // the high-score dialog's mode (kept after it closes)
extern int32_t HS_Highlight;            // its highlighted place, -1 none
void HighScores_DoReset();              // the reset box's Yes: the table cleared, then the mode's next dialog

// ============================================================================================================
// Tutorial: 45 steps, each tied to a screen and a range of levels, reacting to the numbered events the board and
// the castle report (tutorial.cpp: records, events, flags; tutorial_steps.cpp: the steps table and what each step
// does; tutorial_frames.cpp: the two text frames, the intro and the arrow)
// ============================================================================================================
constexpr int kTutorialSteps = 45;
constexpr int kTutorialEvents = 19; // events 0..18 (9 and 10 are reserved and never reported)

struct Tutorial;
using TutorialHandler = void (*)(Tutorial& step, int32_t a, int32_t b);
void Tutorial_NoHandler(Tutorial& step, int32_t a, int32_t b); // the shared do-nothing handler

// One step of the tutorial.
struct Tutorial {
    int32_t Id = 0;        // step number 0..44, its index in Tutorials and in the flag words
    int32_t MinLevel = -1; // first level it may fire at, -1 no bound
    int32_t MaxLevel = -1; // last level it may fire at, -1 no bound
    int32_t StateA = 0;    // working value: a counter, a board column or a castle part index (0 at each level start)
    int32_t StateB = 0;    // working value: a board row or a count (0 at each level start)
    int32_t ScreenId = 1;  // the screen it may fire on: 1 game, 9 build menu, 11 shop
    std::array<TutorialHandler, kTutorialEvents> Handlers; // by event number; Tutorial_NoHandler for none

    Tutorial() { Handlers.fill(Tutorial_NoHandler); }
    void SetHandler(int32_t event, TutorialHandler handler); // an event outside 0..18 is ignored
};
using TutorialPtr = std::shared_ptr<Tutorial>;

extern std::array<TutorialPtr, kTutorialSteps> Tutorials; // by Id; null until Tutorial_Init made the step
extern int32_t Tutorial_Count;                            // steps made since Tutorial_Init began (45 after it)
// The running step and the frame it shows, in one struct so that a level start and a step's end put it back by
// assigning a fresh one. The tutorial uses the names bound below.
enum TutFrameKind : int32_t { TUTFRAME_NONE = 0, TUTFRAME_PLAIN = 1, TUTFRAME_OK = 2, TUTFRAME_INTRO = 3 };
struct TutorialRun {
    int32_t Current = -1;              // the running step, -1 none
    int32_t FrameKind = TUTFRAME_NONE; // the frame the running step shows (kept to reopen it), TutFrameKind
    int32_t FramePauses = 0;           // 1 when the running step's frame pauses the game
};
extern TutorialRun Tutorial_Run;
inline constinit int32_t& Tutorial_Current = Tutorial_Run.Current;
inline constinit int32_t& Tutorial_FrameKind = Tutorial_Run.FrameKind;
inline constinit int32_t& Tutorial_FramePauses = Tutorial_Run.FramePauses;
extern int32_t Tutorial_ClickAllowed;                     // event 12's answer: 1 the board click goes on
extern int32_t Tutorial_HammerAllowed;                    // event 14's answer: 1 the hammer strikes
extern int32_t Tutorial_Countdown;                        // step 2: groups still to resolve before it shows
constexpr int32_t kTutDone = 1, kTutOff = 2;              // bits of a step's flag word (Tutorial_Flags, progress.h)

void Tutorial_Init(); // start-up: frame, arrow and intro pictures, the OK button and the 45 steps
TutorialPtr Tutorial_Create(int32_t id, int32_t minLevel, int32_t maxLevel, int32_t screenId, int32_t event1,
                            TutorialHandler handler1, int32_t event2, TutorialHandler handler2, int32_t event3,
                            TutorialHandler handler3);
// Offers event `event` with (a, b) to every step that is neither done nor off for the current player, belongs to the
// current screen and level, and is the running step or there is none.
void Tutorial_Dispatch(int32_t event, int32_t a, int32_t b);
void Tutorial_ResetRun();               // level start: no running step, every working value 0
void Tutorial_ClearFlags(int32_t mask); // a new match: the mask bits off in the current player's words, saved
// The running step ends: its frame closes (only a frame of the tutorial's own), it is marked done, the flags are
// saved, the game goes on and the arrow is hidden.
void Tutorial_Close();
// The running step ends without being done (its lesson can no longer be shown, it may fire again later).
void Tutorial_Abort();
// The running step's frame no longer belongs where the player is: its screen was left (a lost level's end, the
// shop faded out) or a won level ends under a plain frame. The frame is not drawn, and the step gives way undone.
bool Tutorial_OutOfPlace();
void Tutorial_MarkDone(int32_t id); // step `id` done for the current player without showing anything, saved
int32_t& Tutorial_Word(int32_t id); // the current player's flag word of step `id`
bool Tutorial_IsDone(int32_t id);   // the done bit of the current player's word
// The ring search from the board's centre for a cell that holds a piece; false (and a diagnostic line) when the
// rings reach the board's edge first.
bool Tutorial_FindPieceNearCentre(int32_t& column, int32_t& row);

// The events (coordinates are board cell column and row).
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

// ---- Frames, intro and arrow (tutorial_frames.cpp) ----------------------------------------------------------
struct TutArrow {
    int32_t visible = 0;
    float x = 0, y = 0;         // centre of the arrow on the screen, pixels
    int32_t bobX = 0, bobY = 0; // pixels added when drawing (y stays 0)
    int32_t phase = 0;          // bob phase, degrees
    int32_t flipped = 0;        // 1: drawn turned by 180 degrees (pointing right)
    PiecePtr piece;             // the piece it follows, null none
    float lastX = 0, lastY = 0; // that piece's position at the last draw
};
extern int32_t TutFrame_X, TutFrame_Y; // top-left of the text frame; -1 centres it when it opens
extern int32_t TutFrame_Font;          // font table index fitted for the running step's text
extern GUIBtnPtr TutFrame_OkButton;    // the OK frame's button
extern ImagePtr TutFrame_Image, TutArrow_Image, TutIntro_Picture;
extern TutArrow Tutorial_Arrow;

void TutFrame_Init(); // the frame without a button (opened without input flush)
void TutFrame_Update();
void TutFrame_Draw();
void TutFrameOk_Init(); // the frame with the OK button (opened with input flush)
void TutFrameOk_Update();
void TutFrameOk_Draw();
void TutFrame_Btn_Ok_LeftUp(GUIBtn& button); // the OK button's usual action: Tutorial_Close
void Tut34_Btn_Ok_LeftUp(GUIBtn& button);    // its action while step 34 shows: back to the build menu, close
void TutIntro_Init();                        // step 0's intro picture with its OK button and the intro check box
void TutIntro_Update();
void TutIntro_Draw();
void TutIntro_Btn_LeftUp(GUIBtn& button);
// Opens the running step's frame of that kind as the one dialog (tagged as the tutorial's), pausing when asked.
void Tutorial_OpenFrame(int32_t kind, int32_t pause);
// Puts the frame in the quarter of the screen opposite the pixel target (x, y); withArrow shows the arrow at it,
// side 1 turns the arrow to point right, far puts the frame further away.
void Tutorial_PlaceFrame(int32_t x, int32_t y, int32_t withArrow, int32_t side, int32_t far);
void Tutorial_ShowArrow(int32_t x, int32_t y, int32_t flipped);
void Tutorial_AttachArrow(const PiecePtr& piece); // the arrow follows the piece (null: none)
void Tutorial_DrawArrow();

// ============================================================================================================
// In-game tips (tips.cpp): English hints in a box at the top of the game screen, each shown once per player
// (Tips_Shown, progress.h). Tips_On stays 0 in play: every level start and main-menu entry clears it.
// ============================================================================================================
constexpr int kTipCount = 21;              // tips 0..20 (the shown flags have room for 51)
extern int32_t Tips_On;                    // 1: tips may open
extern int32_t Tips_Visible;               // 1 while a tip is showing (the game logic stands still)
extern int32_t Tips_Id;                    // the tip showing
extern int32_t Tips_BoxX, Tips_BoxY;       // top-left of the tip box
extern int32_t Tips_PlacedX, Tips_PlacedY; // where Tips_Place put the box
extern int32_t Tips_BoxHeight;             // height of the box for the current text
extern int32_t Tips_ArrowVisible;          // the swinging arrow shows
extern int32_t Tips_ArrowX, Tips_ArrowY;   // its target
extern int32_t Tips_IceX, Tips_IceY;       // pending ice-crystal point, 0 none
extern int32_t Tips_SnowX, Tips_SnowY;     // pending snowball point, 0 none
extern int32_t Tips_Tip20Delay;            // ms until the main-menu tip; 0 settled (the options button cancels it)

void Tips_Init();                                 // start-up: images, font; tips allowed, none shown
void Tips_Tick();                                 // main loop, every frame: the tip-20 delay
void Tips_Place();                                // level start and main-menu entry: tips off, box placed
void Tips_CheckBoard();                           // light sweep: the level's tip
void Tips_ShowIceCrystal();                       // game frame: the pending ice-crystal tip
void Tips_ShowSnowball();                         // game frame: the pending snowball tip
void Tips_SetSnowballPoint(int32_t x, int32_t y); // the board made a launcher at screen (x, y)
int32_t Tips_Show(int32_t n, int32_t buttonFlag, int32_t secondFlag); // 1 when tip n opened
void Tips_PointAt(int32_t x, int32_t y, float startAngle, float goalAngle);
void Tips_Close();
void Tips_Draw(); // game frame (last) and main menu: the tip, its arrow, its close keys
