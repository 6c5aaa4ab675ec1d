// The entry points between subsystems: every call the runtime (src/main) makes into the board, castle, menus,
// effects, toolkit and editor, and the services those subsystems call in each other. Included by any subsystem that
// needs a neighbour; each name is defined once, by its owner.
//
// How a subsystem lands
// ---------------------
// Until its owner has written the real code, every entry point of a subsystem has a do-nothing body in that
// subsystem's stub file:
//     src/castle/castle_stub.cpp   castles, gems, build menu, shop, level map        (subsystem 3)
//     src/menus/menus_stub.cpp     main menu, message boxes, tutorial, tips          (subsystem 4)
//     src/effects/effects_stub.cpp effects and particles                             (subsystem 5)
//     src/toolkit/toolkit_stub.cpp the window toolkit                                (subsystem 6)
//     src/editor/editor_stub.cpp   the level editor                                  (subsystem 6)
// To land, define the functions in your own sources and delete them from the stub (delete the stub file once it
// is empty). The test main_tests `StubCheck` fails when a function is defined both in a stub and in a real source,
// so a stub can never silently shadow a real function. Declarations may also move to the owner's own header: keep
// the signature identical, or this header stops compiling for everybody.
//
// Return values of stubs are the neutral ones: "allowed" for the tutorial's gates, -1 for "no place", 0 otherwise.
#pragma once

#include <cstdint>
#include <string>

#include "platform/image.h"
#include "platform/list.h"

// ============================================================================================================
// Subsystem 1 (src/main): widgets, fonts and texts. The runtime calls these during start-up.
// ============================================================================================================
void Images_LoadAll();   // loads every screen's images through the image cache; calls EffectImages_Load
void Fonts_Load();       // fills the 53-entry font table, Font_Default and the two editor fonts
void Texts_SetGerman();  // fills the German text tables
void Texts_SetEnglish(); // fills the English tables (tips, editor labels)

// ============================================================================================================
// Subsystem 2 (src/board): play loop, screens, saved match - declared in its public header
// ============================================================================================================
#include "board/play.h"

// ============================================================================================================
// Subsystem 3 (src/castle): castles, gems, build menu (9), level map (10), shop (11), spells, in-game interface
// ============================================================================================================
void Castle_Init();                            // start-up: price files, castles and parts, spells table
void BuildMenu_Load();                         // start-up: build-menu images and buttons
void Shop_Load();                              // start-up: shop images and buttons
void LevelMap_Load();                          // start-up: level-map images
void BuildMenu_Update();                       // frame of screen 9
void BuildMenu_Enter();                        // enter hook of screen 9
void BuildMenu_Leave();                        // leave hook of screen 9
void LevelMap_Frame();                         // frame of screen 10
void LevelMap_Enter();                         // enter hook of screen 10
void LevelMap_Leave();                         // leave hook of screen 10
void Shop_Update();                            // frame of screen 11
void Shop_Enter();                             // enter hook of screen 11
void Shop_Leave();                             // leave hook of screen 11
void Gems_Add(int32_t colour, int32_t amount); // gem bag (bag limit), reports tutorial event 18
void Gamble_Init();                            // builds the gamble prize table (from Dialogs_LoadImages)
void Gamble_Roll();                            // draws and applies a gamble prize (from the shop box's init)
void Gamble_DrawResult();                      // prize text and picture inside the shop box
void IGI_OpenMenu();                           // opens the in-game menu dialog
void IGI_Update();           // the in-game interface: mana bar, spell, hammer and menu buttons (event 16 per button)
void LevelMap_ResetCursor(); // level-map cursor to its first point
void BuildMenu_LayoutPartButtons();                    // rebuilds the part buttons of the current castle level
void BuildMenu_UpdateRelaxButton();                    // relax button enabled from level 6 on
void Shop_Btn_Back_LeftUp();                           // starts the shop's fade-out back to the build menu
int32_t Fireball_CanPass(int32_t column, int32_t row); // 1 when the cell has no blocker and no kind-16 piece

// ============================================================================================================
// Subsystem 4 (src/menus): main menu (0), message boxes and dialogs, high scores, tutorial, tips
// ============================================================================================================
void MainMenu_Load();                             // start-up: main-menu images, birds, buttons (once)
void MainMenu_Enter();                            // enter hook of screen 0
void MainMenu_Leave();                            // leave hook of screen 0
void MainMenu_Frame();                            // frame of screen 0 (also of 2, 3, 4 and unknown screens)
void Dialogs_LoadImages();                        // start-up: dialog skins; calls Gamble_Init
void WinLose_Build();                             // start-up: builds the level-won dialog
void HighScores_Build();                          // start-up: builds the high-score dialog
void IGMenu_Build();                              // start-up: builds the in-game menu
void Players_Build();                             // start-up: builds the players dialog
void Options_Build();                             // start-up: builds the options dialog
void Credits_Build();                             // start-up: builds the credits dialog
void Help_Build();                                // start-up: builds the help pages
void Wallpapers_Build();                          // start-up: builds the wallpapers dialog
void Tutorial_Init();                             // start-up: tutorial images, OK button and the 45 steps
void Tips_Init();                                 // start-up: tip font, images and table
void Highscores_Init();                           // start-up: reads the high-score file
void Tips_Tick();                                 // main loop, every frame before the screen's frame
void Tips_Place();                                // level start: places the tips for the board
void Tips_Draw();                                 // game frame, drawn last
void Tips_CheckBoard();                           // light sweep: tips about the new board
void Tips_ShowIceCrystal();                       // game frame: the pending ice-crystal tip
void Tips_ShowSnowball();                         // game frame: the pending snowball tip
void Tips_SetSnowballPoint(int32_t x, int32_t y); // the board made a launcher at screen (x, y): pending snowball tip
extern int32_t Tips_Visible;                      // 1 while a tip is showing (the game logic stands still)
void Tutorial_ResetRun();                         // level start: tutorial steps may run again
void Tutorial_ClearFlags(int32_t all);            // Match_New: clears the current player's tutorial flags
int32_t Highscores_FindRank(int32_t score);       // place 0..7 the score would take, -1 none
struct HS_Slot;                                   // one high-score entry (the high-score module defines it)
void Highscores_Insert(int32_t place, const HS_Slot& slot); // game over: a copy of the slot at the place
void Highscores_Add(int32_t place);                    // end of the campaign: the current player's Score at the place
void Highscores_Save();                                // writes the high-score file
void HighScores_Open(int32_t highlight, int32_t mode); // opens the high-score dialog
void MsgBox_Level_Open();                              // time offer box (level timer)
void MsgBox_HighScore_Open();                          // game-over box without a high-score place
void MsgBox_CastlesDone_Open();                        // end of the castles
void MsgBox_Frame_Open();                              // a life was lost, lives remain
void MsgBox_Game_Open();                               // the last life was lost
void MsgBox_LevelsEnded_Open();                        // no level left
void MsgBox_LevelDone_Open();                          // "Level N" box at a level's start (from the light sweep)
void MsgBox_CastleCompleted_Open();                    // a castle was completed
void MsgBox_Shop_Open();                               // the gamble box of the shop
void WinLose_Open();                                   // the level-won dialog (level-end screen)
void IGMenu_Init();                                    // the in-game menu's dialog functions (IGI_OpenMenu opens
void IGMenu_Update();                                  // them with Dialog_Open, flush 1)
void IGMenu_Draw();
void Wallpapers_Open(); // the wallpapers dialog

// Tutorial events reported by subsystems 2 and 3 (9 and 10 are reserved and never reported). Coordinates are
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

// ============================================================================================================
// Subsystem 5 (src/effects): effect objects, map effects, particles
// ============================================================================================================
void EffectImages_Load();                                   // from Images_LoadAll: the effect images
void Particles_InitTables();                                // start-up: sine/cosine and particle tables
void Particles_Reset();                                     // level start: removes every particle
void Particles_Draw();                                      // game frame
void Effects_Clear();                                       // level start: removes every effect object
void Effects_UpdateAll();                                   // per frame of screens 1, 5, 6
void Effects_DrawBehind();                                  // drawn before the pieces
void Effects_DrawAbove();                                   // drawn after the pieces
void Effects_DrawTop();                                     // drawn after the in-game interface
void MapEffects_RunAll();                                   // updates and draws the map effects
void Gfx_Kind4At(int32_t x, int32_t y);                     // beam cross through the cell at top-left (x, y)
void Gfx_RemovedPieceBurst(float x, float y, float factor); // a piece left its cell (x, y: its top-left)
void Gfx_Kind22Burst(float x, float y, float factor);       // a group left a special piece in the cell
void Gfx_ExplosionSparks(int32_t x, int32_t y);             // a cell exploded (x, y: its centre)
// The image particle emitter (its only caller is Hammer_AddCharge): particles from the lit pixels of an RGB source
// image, one in n, at origin + pixel x scale.
struct Particle;                                                // one image particle (the effects module defines it)
using ParticleStartFn = void (*)();                             // called once before the pixels are read
using ParticleCreateFn = Particle* (*)(int32_t px, int32_t py); // makes the particle of a source pixel, or null
using ParticleStepFn = void (*)(Particle& p);                   // moves and draws one particle per frame
void Particles_FromImage(const ImagePtr& source, ParticleStartFn start, ParticleCreateFn create, ParticleStepFn step,
                         int32_t n, int32_t originX, int32_t originY, float scale, const ImagePtr& sprite,
                         int32_t frames, float startScale, int32_t frameDelay);
Particle* Particle_NewFromPixel(int32_t px, int32_t py);  // creation callback: flies in a fixed direction
Particle* Particle_NewFromPixel2(int32_t px, int32_t py); // creation callback: flies away from a point of the image
void Particle_Step(Particle& p);                          // the step function of both kinds

// ============================================================================================================
// Subsystem 6 (src/toolkit, src/editor): window toolkit and level editor
// ============================================================================================================
class PNO_Window;                       // the toolkit's window (its own header defines it)
extern TList<PNO_Window> Paneo_Windows; // every toolkit window, back to front; made empty by the start-up's global
                                        // set-up (defined in src/main/runtime.cpp), the toolkit's from then on
void Toolkit_Init();                    // global set-up, after Paneo_Windows is made empty: the toolkit's own state
void Editor_Init();                     // start-up, once, after the fonts: the editor's widgets
void Editor_Create();                   // opens the level editor over the game screen (developer key)
void Editor_Close();                    // closes it
void Editor_Update();                   // per frame while it is open
void Editor_Draw();                     // per frame while it is open, after the game's drawing
extern int32_t Editor_Open;             // 1 while the editor is open
extern int32_t Editor_Testing;          // 1 while the editor test-plays its level
