// The castle's public services: castles and their parts, gems and the treasure, the build menu (screen 9), the
// level map (10), the shop (11), spells and the in-game interface. Called by the runtime (start-up, screen table),
// the board's play loop (through its hooks) and the menus. The castle calls the menus (tutorial events, boxes, the
// in-game menu) only through its hook table Castle_Hooks below; it calls the board and the effects directly.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "main/gui_button.h"
#include "platform/image.h"
#include "platform/strings.h"

constexpr int kShopButtons = 13; // number of the shop's buttons (Shop_Buttons)

// ---- Types -------------------------------------------------------------------------------------------------------
struct Castle {
    int32_t Number = 0; // 0..6
    void Completed();   // Castle_JustCompleted := Number, wallpapers from the level flow, MsgBox_CastleCompleted
};
struct Castle_Elem {
    int32_t Built = 0; // 1 when the part is built
};
struct Spell_Type {
    int32_t ManaCost = 0; // mana one cast takes
};

// ---- State owned here ------------------------------------------------------------------------------------------
extern int32_t BuildMenu_From;                   // how the build menu was entered: 0 level end, 3 wallpapers dialog
extern std::vector<Castle_Elem> Castle_Elems;    // the castle parts
extern int32_t Castle_JustCompleted;             // number of the castle completed last
extern const std::array<Str, 7> Castle_Names;    // by castle number: "Gemunor", "Saithar", ... (German texts)
extern int32_t Fade_State;                       // the screen fades' shared slide: phase
extern float Fade_Offset;                        // current offset, px
extern float Fade_Limit;                         // offset where the slide stops, px
extern float Fade_Speed;                         // px per second
extern float Freeze_TimeLeft;                    // s left of the running time-stop spell
extern float Freeze_TimeTotal;                   // its full duration, s
extern std::array<ImagePtr, 7> Gem_Pictures;     // "Images/GUI/BuildMenu/bm_tt0.png" .. "bm_tt6.png"
extern std::array<int32_t, 7> Gems_Total;        // gems in the bag per colour
extern std::array<int32_t, 7> Gems_ThisLevel;    // gems collected in the running level per colour
extern std::array<int32_t, 4> Gems_BagLimits;    // bag limit per treasure level
extern int32_t Treasure_Level;                   // 0..3
extern std::array<int32_t, 2> Treasure_DisplayX; // the two treasure displays' positions, px
extern std::array<int32_t, 2> Treasure_DisplayY;
extern std::array<GUIBtnPtr, kShopButtons> Shop_Buttons; // 0 back, 5 + s the button of spell s; null until built
extern std::vector<Spell_Type> Spell_Types;              // every level of every spell

// ---- Start-up and screens ----------------------------------------------------------------------------------------
void Castle_Init();      // start-up: price files, castles and parts, spells table
void BuildMenu_Load();   // start-up: build-menu images and buttons
void Shop_Load();        // start-up: shop images and buttons
void LevelMap_Load();    // start-up: level-map images
void BuildMenu_Update(); // frame of screen 9 (events 0, 11, 16)
void BuildMenu_Enter();  // enter hook of screen 9
void BuildMenu_Leave();  // leave hook of screen 9
void LevelMap_Frame();   // frame of screen 10
void LevelMap_Enter();   // enter hook of screen 10
void LevelMap_Leave();   // leave hook of screen 10
void Shop_Update();      // frame of screen 11 (events 0, 11, 16)
void Shop_Enter();       // enter hook of screen 11
void Shop_Leave();       // leave hook of screen 11

// ---- Services ----------------------------------------------------------------------------------------------------
void Gems_Add(int32_t colour, int32_t amount); // gem bag (bag limit), reports tutorial event 18
void Gamble_Init();                            // builds the gamble prize table (from Dialogs_LoadImages)
void Gamble_Roll();                            // draws and applies a gamble prize (from the shop box's init)
void Gamble_DrawResult();                      // prize text and picture inside the shop box
void IGI_OpenMenu();                           // opens the in-game menu dialog
void IGI_Update();                  // the in-game interface: mana bar, spell, hammer and menu buttons (event 16 each)
void IGI_Btn_Hammer_LeftUp();       // the hammer button: event 8
void LevelMap_ResetCursor();        // level-map cursor to its first point
void BuildMenu_LayoutPartButtons(); // rebuilds the part buttons of the current castle level
void BuildMenu_UpdateRelaxButton(); // relax button enabled from level 6 on
void Shop_Btn_Back_LeftUp();        // starts the shop's fade-out back to the build menu
int32_t Fireball_CanPass(int32_t column, int32_t row); // 1 when the cell has no blocker and no kind-16 piece
int32_t Spell_GetIndex(int32_t spell); // index in Spell_Types of the player's level of the spell, -1 not owned

// ---- Calls upward (into the menus), filled by the runtime; do-nothing until then ------------------------------------
struct CastleHooks {
    void (*Tutorial_OnEvent0)();                                  // build-menu / shop fade-in finished
    void (*Tutorial_OnEvent8)();                                  // the hammer button was pressed
    void (*Tutorial_OnEvent11)();                                 // every frame of screens 9 and 11
    void (*Tutorial_OnEvent16)(int32_t button);                   // after a button's update
    void (*Tutorial_OnGemsAdded)(int32_t colour, int32_t amount); // event 18
    void (*MsgBox_Shop_Open)();                                   // the shop's gamble box
    void (*MsgBox_CastleCompleted_Open)();                        // a castle was completed
    void (*IGMenu_Init)();                                        // the in-game menu's dialog functions
    void (*IGMenu_Update)();
    void (*IGMenu_Draw)();
};
extern CastleHooks Castle_Hooks;
CastleHooks Castle_HooksDefault();
