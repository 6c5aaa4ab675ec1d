// The castle's public services: castles and their parts, gems and the treasure, the build menu (screen 9), the
// level map (10), the shop (11), spells and the in-game interface. Called by the runtime (start-up, screen table),
// the board's play loop (through its hooks) and the menus (docs/castles.md has the rules and the economy). The
// castle calls the menus (tutorial events, boxes, the in-game menu) only through its hook table Castle_Hooks below;
// it calls the board and the effects directly.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "board/board.h"
#include "main/gobj.h"
#include "main/gui_button.h"
#include "platform/graphics.h"
#include "platform/image.h"
#include "platform/strings.h"

constexpr int kGemColours = 7;      // gem colours 0..6 (red, orange, yellow, green, blue, purple, white)
constexpr int kCastleCount = 7;     // castles of the campaign
constexpr int kLevelsPlanned = 150; // levels of the campaign (the level map has one point per level)
constexpr int kTreasureLevels = 3;  // gem bag sizes the shop sells (0 the bag, 1 and 2 the chests)
constexpr int32_t kGoldPerGem = 2;  // gold for each gem left over when a castle is completed
constexpr int32_t kCastleWidth = 400, kCastleHeight = 360; // castle picture space, pixels; ground at y 340
constexpr int kShopButtons = 13;                           // the shop's buttons (Shop_Buttons)

// ============================================================================================================
// Castles and their parts
// ============================================================================================================

// One buildable part of a castle; drawn through the GObj depth lists once built (or as a ghost while it is on sale
// in the build menu).
class CastleElem : public GObj {
  public:
    std::array<int32_t, kGemColours> price{}; // gems of each colour the part costs
    std::vector<int32_t> needs;               // part indices (Castle_Elems) that must be built first
    int32_t built = 0;                        // 1 when built
    int32_t castle = 0;                       // castle number 0..6
    int32_t storey = 0;                       // storey within the castle, 0 first
    int32_t x = 0, y = 0;                     // top-left of its picture in castle space, pixels
    int32_t elemDepth = 64;                   // depth list it is drawn in (0 front .. 127 back)
    Str name;                                 // shown on its build-menu button
    Str imagePath;                            // its picture (archive path)
    ImagePtr image;                           // the picture, loaded at start-up (null: drawn as nothing)
    float settle = 1;                         // build animation 0 (just bought) .. 1 (settled)
    int32_t anim = 0;                         // 0 none, 1 a waving flag, 2 a smoking chimney
    bool ghost = false;                       // drawn faint: on sale in the build menu, not built

    bool IsAffordable() const; // Gems_Total covers the price, every needed part is built, not yet built
    bool Buildable() const;    // every needed part is built and it is not built yet
    void Draw() override;      // at Castle_DrawX/Y, settling in from above while settle < 1
};
using CastleElemPtr = std::shared_ptr<CastleElem>;

class Castle {
  public:
    int32_t number = 0;                        // 0..6
    std::vector<std::vector<int32_t>> storeys; // part indices (Castle_Elems) of each storey, in file order
    int32_t level = 0;                         // current storey; storeys.size() once completed

    bool StoreyDone() const; // every part of the current storey is built (true when there is none)
    bool IsComplete() const; // every part of every storey is built
    // Moves on to the next storey when the current one is done. False, with the diagnostic line
    // "Castle.GoNextLevel: castle " + number + " level " + level + " of " + storeys, when it cannot go on.
    bool GoNextLevel();
    // The castle is finished: Castles_Completed flag, Castle_JustCompleted, the wallpapers flag, the gems left
    // turned into gold, the next castle made current, the match saved and the castle-completed box opened.
    void Completed();
};

// ---- State owned here --------------------------------------------------------------------------------------------
extern std::array<Str, kCastleCount> Castle_Names; // "Gemunor" .. "Lohinril"
extern std::array<Castle, kCastleCount> Castles;   // the seven castles
extern std::vector<CastleElemPtr> Castle_Elems;    // every part of every castle, by part index
extern int32_t Castle_DrawX, Castle_DrawY;         // screen point of castle space (0, 0) while drawing
// Which castle a match is at, in one struct so that Castle_ResetProgress puts it back by assigning a fresh one; the
// game uses the names bound below.
struct CastleProgress {
    int32_t Current = 0;        // castle being rebuilt 0..6; 7 when all are done
    int32_t JustCompleted = -1; // number of the castle completed last, -1 none
    int32_t AllDonePending = 0; // 1 from the 7th castle's completion until its box showed
    int32_t Celebrated = -1;    // a castle just completed, shown finished until its screen is left; -1 none
};
extern CastleProgress Castle_Progress;
inline constinit int32_t& Castle_Current = Castle_Progress.Current;
inline constinit int32_t& Castle_JustCompleted = Castle_Progress.JustCompleted;
inline constinit int32_t& Castles_AllDonePending = Castle_Progress.AllDonePending;
inline constinit int32_t& Castle_Celebrated = Castle_Progress.Celebrated;
extern std::array<ImagePtr, kCastleCount> Castle_BuildBackgrounds; // build-menu scene behind each castle (loaded
extern std::array<ImagePtr, kCastleCount>
    Castle_GameBackgrounds; // when first shown); the same dimmed, behind the board

// Price file of castle n (0..6): ".\Images\Castles\Castle" + (n + 1) + ".txt".
Str Castle_PricePath(int32_t n);
// Parses the text of a price file into castle n's storeys, appending its parts to `elems`. Malformed lines are
// skipped with a diagnostic line naming the file and the line; returns the number of parts read.
int32_t Castle_ParsePrices(int32_t n, const std::string& text, const Str& fileName, std::vector<CastleElemPtr>& elems);
void Castle_Init(); // start-up: reads the seven price files and the part pictures, makes castle 0 current

// The castle progress kept in the saved match: the built flags, the current castle and storey, Gems_Total,
// Treasure_Level and the running level's gems by colour. Castle_SaveState gives the values; Castle_LoadState puts them
// back (a part index beyond the castles' parts is ignored with a diagnostic line; counts are clamped to 0 and up).
std::vector<int32_t> Castle_SaveState();
void Castle_LoadState(const std::vector<int32_t>& values);
void Castle_ResetProgress(); // a new match: nothing built, castle 0, no gems, treasure level 0

// Buys part `index` of the current storey: refused (false, nothing changes) when it is not affordable now. Pays
// the price, builds the part with its settling animation, moves on to the next storey or completes the castle, and
// saves the match.
bool Castle_Buy(int32_t index);
// Puts the castle being rebuilt (its built parts, and with ghosts the parts of the current storey on sale) into
// the GObj depth lists at screen point (x, y).
void Castle_Show(int32_t x, int32_t y, bool ghosts);
int32_t Castle_Shown(); // the castle the screens show: the celebrated one, else the current one (6 once all are done)
const ImagePtr& Castle_Backdrop(int32_t n, bool game); // the scene of castle n (game: the dimmed one), loaded once
void Castle_Hide();            // empties the depth lists (a screen that showed the castle is left)
void Castle_Animate(float ms); // the part animations (end of the logic tick; also the build menu's frame)
// The game screen's castle: the dimmed background of the castle being rebuilt and its built parts, drawn first
// (the play loop calls it before the board).
void Castle_DrawGame();
// True while what Castle_DrawGame draws stands still (no part settling, no flag, no smoke): it is then named by what
// this adds to the key, and may be kept as a cached layer. False: it moves and is drawn every frame.
bool Castle_GameStill(LayerKey& key);

// ============================================================================================================
// Gems
// ============================================================================================================
extern std::array<int32_t, kGemColours> Gems_Total;               // gems in the bag, by colour
extern int32_t Gems_ThisLevel;                                    // gems collected in the running level
extern std::array<int32_t, kGemColours> Gems_ThisLevelByColour;   // the same by colour (a restart takes them back)
extern const std::array<int32_t, kTreasureLevels> Gems_BagLimits; // most gems one level can bring, by Treasure_Level
extern int32_t Treasure_Level;                                    // 0 bag, 1 small chest, 2 big chest
extern std::array<ImagePtr, kGemColours> Gem_Pictures;            // "bm_tt0.png" .. "bm_tt6.png"
struct TreasureDisplay {
    int32_t x, y; // top-left of the counter on the game screen
};
extern const std::array<TreasureDisplay, 2> Treasure_Displays; // 0: the bag (treasure level 0), 1: the chest

// Adds `amount` gems of `colour` (0..6) to the bag. What goes beyond Gems_BagLimits[Treasure_Level] for this level
// is lost; a negative amount takes gems back (at most what this level brought, never below 0). Reports tutorial event
// 18 with the colour and the amount actually added (0 when the bag was full).
void Gems_Add(int32_t colour, int32_t amount);
void Gems_LevelStart(); // a level starts: Gems_ThisLevel and its colours back to 0
bool Gems_BagFull();    // Gems_ThisLevel reached the limit
void Treasure_Draw();   // the treasure display of the current treasure level (the in-game interface draws it)

// ============================================================================================================
// Build menu (screen 9)
// ============================================================================================================
// How the build menu was entered.
enum BuildMenuFrom : int32_t {
    BM_FROM_LEVELEND = 0,   // the level-won dialog's Next
    BM_FROM_SHOP = 1,       // back from the shop
    BM_FROM_LEVELMAP = 2,   // back from the level map
    BM_FROM_WALLPAPERS = 3, // the wallpapers dialog after a completed castle
};
enum BuildMenuButton : int32_t { BM_BTN_PLAY = 0, BM_BTN_RELAX = 1, BM_BTN_SHOP = 2, BM_BTN_MENU = 3 };
extern int32_t BuildMenu_From;                       // a BuildMenuFrom code
extern std::array<GUIBtnPtr, 4> BuildMenu_Buttons;   // 0 play, 1 relax, 2 shop, 3 menu
extern std::vector<GUIBtnPtr> BuildMenu_PartButtons; // parts of the current storey; id = part index
extern int32_t BuildMenu_Leaving;                    // screen the fade-out leads to, -1 none
// The screen fades: the build menu's panel and the in-game menu slide by these.
enum FadeState : int32_t { FADE_STILL = 0, FADE_SLIDING_IN = 1, FADE_SLIDING_OUT = 2 };
extern int32_t Fade_State; // a FadeState
extern float Fade_Offset;  // pixels the panel is still away from its place
extern float Fade_Limit;   // offset at the start of a slide in (and the end of a slide out)
extern float Fade_Speed;   // pixels per second
// Moves a sliding panel of the castle screens (build menu, shop) on by `ms`: returns FADE_SLIDING_IN on the frame it
// comes to rest in its place after a slide in, FADE_SLIDING_OUT on the frame a slide out ends (Fade_State back at
// FADE_STILL in both), else FADE_STILL.
int32_t Fade_Step(float ms);
// A panel button's title in the castle screens' title font, greyed when the button is disabled (`off`).
void Castle_DrawButtonTitle(const Str& title, float x, float y, bool off);

void BuildMenu_Load();              // start-up: images and buttons
void BuildMenu_Enter();             // enter hook of screen 9
void BuildMenu_Leave();             // leave hook
void BuildMenu_Update();            // frame of screen 9
void BuildMenu_LayoutPartButtons(); // part buttons of the current storey, lit when affordable
void BuildMenu_DrawPart(const GUIBtn& b); // over a drawn part button: the part's picture, name and price
void BuildMenu_UpdateRelaxButton(); // relax enabled from level 6 on

// ============================================================================================================
// Level map (screen 10)
// ============================================================================================================
struct MapPoint {
    int32_t x, y; // screen pixels
};
MapPoint LevelMap_PointOf(int32_t level); // the point of level 1..150 on the map
int32_t LevelMap_CastleOf(int32_t level); // the land (castle 0..6) the level lies in
MapPoint LevelMap_CastlePoint(int32_t n); // foot (ground line, centre) of castle n's picture on the map
extern int32_t LevelMap_Cursor;           // level the cursor stands on (moves along the path to Level_Current)
void LevelMap_Load();
void LevelMap_Enter();
void LevelMap_Leave();
void LevelMap_Frame();
void LevelMap_ResetCursor(); // the cursor to its first point

// ============================================================================================================
// Shop (screen 11), spells and the in-game interface
// ============================================================================================================
// The eight spells; the number is the spell's index everywhere (Spell_Types, the shop's button 5 + spell, the
// interface's button spell + 2, the saved match's levels). docs/spells-and-shop.md has every number.
enum SpellId : int32_t {
    SPELL_LIGHTNING = 0, // chain lightning: bolts from the clicked gem to gems of its colour
    SPELL_TIMESTOP = 1,  // the time bar stands still
    SPELL_CHROMA = 2,    // chroma frenzy: gems turn multicoloured
    SPELL_BOMB = 3,      // clears a square round the clicked cell
    SPELL_TAR = 4,       // tar destroyer: removes the tar round the clicked cell
    SPELL_FIREBALL = 5,  // flies from the clicked cell along its directions
    SPELL_CHAINS = 6,    // chain destroyer: takes the chains off round the clicked cell
    SPELL_SHUFFLE = 7,   // rearranges the pieces
};
constexpr int32_t kSpellCount = 8, kSpellLevels = 3;
struct Spell_Type {
    int32_t Spell = 0;     // SpellId
    int32_t Level = 1;     // 1..3
    int32_t ManaCost = 0;  // mana one cast takes
    int32_t Magnitude = 0; // what the level does (radius, count, seconds, directions: see the doc)
    int32_t Price = 0;     // gold this level costs in the shop
};
// Shop buttons: 0 back, then the four items, then 5 + spell.
constexpr int32_t SHOP_BACK = 0, SHOP_LIFE = 1, SHOP_CHEST = 2, SHOP_POTION = 3, SHOP_GAMBLE = 4;
constexpr int32_t SHOP_SPELL0 = 5;                           // + spell
constexpr int32_t kLivesMax = 9;                             // the shop sells no life beyond this
constexpr int32_t kLifePrice = 300;                          // gold of an extra life
constexpr int32_t kGamblePrice = 100;                        // gold of one gamble
constexpr std::array<int32_t, 2> kChestPrices = {600, 1200}; // treasure level 0 -> 1, 1 -> 2
constexpr std::array<int32_t, 2> kPotionPrices = {400, 900}; // mana cap level 0 -> 1, 1 -> 2
// What a gamble can pay out.
enum GamblePrizeKind : int32_t {
    PRIZE_NOTHING,
    PRIZE_GOLD,
    PRIZE_GEMS,
    PRIZE_MANA,
    PRIZE_LIFE,
    PRIZE_SPELL,
    PRIZE_HAMMER
};
struct Gamble_Prize {
    int32_t Kind = PRIZE_NOTHING; // GamblePrizeKind
    int32_t Amount = 0;           // gold, gems, mana or hammer charge
    int32_t Weight = 0;           // chance against the sum of the weights
    Str Text;                     // shown in the shop box
    ImagePtr Picture;             // shown in the shop box ("Images/GUI/Shop/prize_*.png")
};

extern std::array<GUIBtnPtr, kShopButtons> Shop_Buttons;   // 0 back, 1..4 items, 5 + s the button of spell s
extern std::vector<Spell_Type> Spell_Types;                // every level of every spell: index spell * 3 + level - 1
extern std::array<GUIBtnPtr, kSpellCount + 2> IGI_Buttons; // 0 hammer, 1 menu, spell + 2 the spell buttons
extern float Freeze_TimeLeft;                              // s left of the running time-stop spell
extern float Freeze_TimeTotal;                             // its full duration, s
extern int32_t Spell_Targeting;                            // spell whose target the player is choosing, -1 none
extern int32_t Spell_Pending;                   // spell clicked on a cell, waiting for the board to settle, -1 none
extern Point Spell_PendingCell;                 // its cell
extern std::vector<Gamble_Prize> Gamble_Prizes; // the prize table (Gamble_Init)
extern int32_t Gamble_Result;                   // index of the last prize drawn, -1 none
extern int32_t Gamble_PendingHammer;            // hammer charge won, given at the next level's first frame
extern int32_t Shop_Leaving;                    // 1 while the shop slides out to the build menu
extern int32_t Wallpapers_FromLevel; // 1: the castle-completed path opened the wallpapers dialog (back leads to the
                                     // build menu), 0: the main menu did

// ---- Spells (spells.cpp) --------------------------------------------------------------------------------------------
int32_t Spell_Level(int32_t spell);    // the owned level 0..3 (a saved value out of range is clamped, with a line)
int32_t Spell_GetIndex(int32_t spell); // index in Spell_Types of the player's level of the spell, -1 not owned
const Str& Spell_Name(int32_t spell);  // German name shown in the shop and the tooltips
bool Spell_IsTargeted(int32_t spell);  // the spell needs a board click
bool Spell_CanCast(int32_t spell);     // owned and the mana covers its cost
// The interface's spell button: a targeted spell starts targeting, the others wait for the board to settle and
// act. False (nothing changes) when not owned, too little mana or the level is not in play.
bool Spell_Choose(int32_t spell);
void Spell_Cancel(); // targeting or a waiting cast is dropped; nothing is paid
// Casts now on a settled board: runs the spell on the cell and pays its mana when it acted. False, and nothing
// paid, when it cannot be cast or found nothing to act on.
bool Spell_Cast(int32_t spell, Point cell);
int32_t Fireball_CanPass(int32_t column, int32_t row); // 1 when the cell has no blocker and no kind-16 piece
// 1 when the fireball stops before this cell in direction d (0..7 clockwise from right): outside the board or not
// passable.
int32_t Fireball_StopDir(int32_t column, int32_t row, int32_t d);
void Spells_LevelStart();            // a level starts: no targeting, no time stop; a won hammer charge waits
void Spells_Update(float dtMs);      // logic tick: the click while targeting, the waiting cast, the time stop
int32_t Spells_TakesClicks();        // 1 while a spell takes the board's clicks
int32_t Spells_TimeStands();         // 1 while the time stop runs
void Spells_DrawPreview();           // the targeting preview under the mouse (the interface draws it)
const ImagePtr& Spell_PreviewDot();  // the marching dot of the previews (the interface loads it)
void Spells_AddLevel(int32_t spell); // the next level of the spell (shop, gamble), at most 3

// ---- Shop (shop.cpp) and gamble box (gamble.cpp) --------------------------------------------------------------------
int32_t Shop_Price(int32_t button); // gold the button's next purchase costs, 0 when there is none
bool Shop_CanBuy(int32_t button);   // affordable and not at the maximum
void Shop_DrawItem(int32_t button, const GUIBtn& b); // over a drawn item button: icon, name, level, price
bool Shop_Buy(int32_t button);      // pays, applies and saves; false (nothing changes) when it cannot
void Shop_Load();                   // start-up: shop images and buttons
void Shop_Update();                 // frame of screen 11 (events 0, 11, 16)
void Shop_Enter();                  // enter hook of screen 11
void Shop_Leave();                  // leave hook of screen 11
void Shop_Btn_Back_LeftUp();        // starts the shop's fade-out back to the build menu
void Gamble_Init();                 // builds the gamble prize table (from Dialogs_LoadImages)
void Gamble_Roll();                 // draws and applies a gamble prize (from the shop box's init)
void Gamble_Apply(int32_t prize);   // applies one prize of the table (the index is checked)
void Gamble_DrawResult();           // prize text and picture inside the shop box

// ---- In-game interface (igi.cpp)
// --------------------------------------------------------------------------------------
void IGI_Load();              // start-up: the panel, bars and buttons
void IGI_OpenMenu();          // Esc or the menu button: cancels targeting, else opens the in-game menu dialog
void IGI_Update();            // the in-game interface: counters, bars and buttons (event 16 each)
// The panel's rows opaque all across, which IGI_Update covers whatever lies below; empty until the panel was drawn
// once (or when they are too few to keep apart).
Rect IGI_OpaqueBand();
void IGI_Btn_Hammer_LeftUp(); // the hammer button: event 8, then the hammer cursor
const ImagePtr& IGI_SpellIcon(int32_t spell); // the spell's icon (null until IGI_Load)
// Button `index` of the in-game interface (the spell buttons are spell + 2); null when there is none.
GUIBtnPtr IGI_Button(int32_t index);

// ---- Calls upward (into the menus), filled by the runtime; do-nothing until then (tests fill single entries) -------
struct CastleHooks {
    void (*Tutorial_OnEvent0)();                                        // build-menu / shop fade-in finished
    void (*Tutorial_OnEvent8)();                                        // the hammer button was pressed
    void (*Tutorial_OnEvent11)();                                       // every frame of screens 9 and 11
    void (*Tutorial_OnEvent16)(int32_t button);                         // after a button's update
    void (*Tutorial_OnGemsAdded)(int32_t colour, int32_t amount);       // event 18
    void (*Tutorial_OnManaChanged)(int32_t amount, int32_t reachedCap); // event 17: a spell was paid for
    int32_t (*Tutorial_OnEvent12)(int32_t x, int32_t y);                // a spell's target clicked; 0 swallows it
    void (*MsgBox_Shop_Open)();                                         // the shop's gamble box
    void (*MsgBox_CastleCompleted_Open)();                              // a castle was completed
    void (*IGMenu_Init)();                                              // the in-game menu's dialog functions
    void (*IGMenu_Update)();
    void (*IGMenu_Draw)();
};
extern CastleHooks Castle_Hooks;
CastleHooks Castle_HooksDefault();
