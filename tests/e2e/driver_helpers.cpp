// The end-to-end player's frame hook and its run of the whole game; see driver_helpers.h.
//
// Sections: [run state] [input] [dialogs and boxes] [the tutorial] [screens] [ending at a place] [the frame hook]
// [the run]
#include "driver_helpers.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <functional>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "../platform/sdl_push.h"
#include "board/board.h"
#include "board/level_file.h"
#include "board/pieces.h"
#include "board/play.h"
#include "board/rules.h"
#include "castle/castle.h"
#include "common/button_centre.h"
#include "editor/editor.h"
#include "main/config.h"
#include "main/progress.h"
#include "game/startup.h"
#include "main/screens.h"
#include "main/wallpaper.h"
#include "menus/menus.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/stream.h"
#include "platform/system.h"
#include "solver.h"

namespace {

// [run state] ------------------------------------------------------------------------------------------------------

constexpr int kFrameMs = 16;
constexpr int kWaitFrameMs = 200;                 // a frame of game time while the player waits for the time to run out
constexpr int32_t kSettleFrames = 30;             // frames a screen is left to slide in before the driver clicks
constexpr int32_t kStuckFrames = 60 * 60 * 2;     // two minutes of game without a move the solver could make
constexpr int32_t kFewMoves = 3, kMostMoves = 20; // played in the level or the test run before the run ends there
constexpr int32_t kLevelEndFrames = 10;           // the level end shows this long before the run may end there

Point CellCentre(Point cell) {
    return Point{int32_t(Cell_PixelX(cell.x)) + Cell_HalfWidth - Board_OverflowX,
                 int32_t(Cell_PixelY(cell.y)) + Cell_HalfHeight - Board_OverflowY};
}

bool Usable(const GUIBtnPtr& b) { return b && !(b->state & (BTN_DISABLED | BTN_HIDDEN)); }

// The run's state: the hook is a plain function, so it lives here for the one run at a time.
struct Run {
    DriverGoal goal;
    DriverReport* report = nullptr;
    std::deque<std::function<void()>> steps; // one per frame: the pushes of a click or a drag, spread over frames
    int32_t wait = 0;                        // frames to let pass before the next decision
    int32_t screen = -1, screenFrames = 0;   // the screen of the last frame and how long it has shown
    int dialogSerial = -1;                   // the dialog opening seen last
    int32_t wins = 0;
    bool matchPrepared = false;  // the sweep's saved match is written
    bool inLevel = false;        // a level line is open
    bool levelBoxSeen = false;   // its "Level N" box was answered
    bool shopDone = false;       // the shop was visited from this build-menu stay
    int32_t shopBuys = 0;        // purchases on this shop visit
    size_t lossesPlayed = 0;     // entries of goal.losses begun
    bool losing = false;         // this attempt is a deliberate loss
    bool offerSeen = false;      // its time offer came once
    bool winKeyPressed = false;  // the level-win key went in this attempt
    int32_t lossMoves = 0;       // moves made in a deliberate loss before the waiting
    uint32_t collectorStart = 0; // where CollectorMove's last scan began
    int32_t levelStartMs = 0;    // the game clock at the level box's OK
    int32_t wallpaperTries = 0;  // "Wallpaper aktivieren" pressed for the castle just completed
    bool quitting = false;
    bool ending = false;    // endAt was reached: the ending of endHow runs
    std::string leftState;  // on the way to the editor: the player's state before it opened
    bool edited = false;    // the editor changed the level
    int32_t moves = 0;      // moves tried at the place where the run ends (the level, the editor's test run)
    int32_t goldBefore = 0; // the gold before them
    bool prepared = false;  // the state the place needs (gems for a castle, gold for the gamble) was given
    int32_t levelStartFrame = 0, idleSince = 0;
    int32_t hammerFrame = -1;   // the frame the tutorial's hammer struck (its screenshot follows)
    int32_t fireballFrame = -1; // the frame the tutorial's fireball was cast (its screenshot follows)
    int32_t levelEndFrame = -1; // the frame the last level end began (its busiest moment is shot later)
    LevelLine line;
    std::set<std::string> shotsTaken;
    std::string shotDue;     // a screenshot of the frame drawn now, saved when the next frame starts
    uint64_t cpuNs = 0;      // the main thread's CPU time at the last frame's start
    bool frameStarted = false; // cpuNs holds a frame's start
    std::string lastCostKey;   // what the frame before the current one showed
    std::chrono::steady_clock::time_point started;
};
Run* g_run = nullptr;

// A screenshot of what shows now: the frame starting is drawn and saved when the next one starts.
void Shot(const std::string& name) {
    Run& r = *g_run;
    if (r.goal.shots.empty() || !r.shotDue.empty() || !r.shotsTaken.insert(name).second) return;
    r.shotDue = name;
    Harness_DrawThisFrame();
}

// [input] ----------------------------------------------------------------------------------------------------------

// A click: pointer there and pressed in one frame, released in the next.
void Click(Point p) {
    Run& r = *g_run;
    r.steps.push_back([p] {
        sdl_push::Motion(p.x, p.y);
        sdl_push::Button(SDL_BUTTON_LEFT, true, p.x, p.y);
    });
    r.steps.push_back([p] { sdl_push::Button(SDL_BUTTON_LEFT, false, p.x, p.y); });
}
void ClickButton(const GUIBtnPtr& b, int32_t wait = 10) {
    if (!b) return;
    Click(Centre(*b));
    g_run->wait = wait;
}

void Drag(Point from, Point to) {
    const Point a = CellCentre(from), b = CellCentre(to);
    Run& r = *g_run;
    r.steps.push_back([a] {
        sdl_push::Motion(a.x, a.y);
        sdl_push::Button(SDL_BUTTON_LEFT, true, a.x, a.y);
    });
    r.steps.push_back([a, b] { sdl_push::Motion((a.x + b.x) / 2, (a.y + b.y) / 2); });
    r.steps.push_back([b] { sdl_push::Motion(b.x, b.y); });
    r.steps.push_back([b] { sdl_push::Button(SDL_BUTTON_LEFT, false, b.x, b.y); });
}

// The level-win key: W while Right Alt is held.
void WinKey() {
    Run& r = *g_run;
    r.steps.push_back([] {
        sdl_push::Key(SDL_SCANCODE_RALT, SDLK_RALT, true);
        sdl_push::Key(SDL_SCANCODE_W, SDLK_w, true);
    });
    r.steps.push_back([] {
        sdl_push::Key(SDL_SCANCODE_W, SDLK_w, false);
        sdl_push::Key(SDL_SCANCODE_RALT, SDLK_RALT, false);
    });
}

void Quit() {
    Run& r = *g_run;
    if (r.quitting) return;
    r.quitting = true;
    sdl_push::Quit();
}

void Problem(const std::string& what) {
    g_run->report->problems.push_back("level " + std::to_string(Level_Current) + ": " + what);
}

// [dialogs and boxes] ----------------------------------------------------------------------------------------------

// The open dialog by kind: the game-flow boxes by their name (the three of the old reports by theirs), the other
// dialogs by their update function.
std::string DialogKind() {
    if (Dialog_Owner() == DIALOG_TUTORIAL_BOX) return "tutorial box";
    if (Dialog_Owner() == DIALOG_TUTORIAL_FRAME) return "tutorial frame";
    const std::string box = MsgBox_FlowName();
    if (box == "LevelDone") return "level";
    if (box == "Level") return "offer";
    if (box == "Continue") return "continue";
    if (!box.empty()) return box;
    const ScreenFn u = Dialog_UpdateFn();
    if (u == MsgBox_Username_Update) return "name";
    if (u == WinLose_Update) return "won";
    if (u == HighScores_Update) return "highscores";
    if (u == IGMenu_Update) return "igmenu";
    if (u == MM_Players_Update) return "players";
    if (u == Options_Update) return "options";
    if (u == Wallpapers_Update) return "wallpapers";
    if (u == Credits_Update) return "credits";
    if (u == Help_Update) return "help";
    return "box with " + std::to_string(MsgBox_Buttons.size()) + " buttons";
}

void OnTutorialFrame(); // [the tutorial]
void OnTutorialBox();

void OnWallpapers() {
    Run& r = *g_run;
    // "Wallpaper aktivieren" once for the castle just completed ("Ja", then the box that tells where the picture
    // lies when the desktop cannot be set), then "Zurück" to the build menu.
    if (r.wallpaperTries == 0 && !r.report->campaignEnded && Usable(Wallpapers_Widgets[4])) {
        ++r.wallpaperTries;
        return ClickButton(Wallpapers_Widgets[4]);
    }
    if (r.wallpaperTries == 1) {
        ++r.wallpaperTries;
        const Str path = Wallpaper_Path(Wallpapers_Current);
        if (File_Type(path) == 1) r.report->wallpapers.push_back(Str_ToUtf8(path));
    }
    ClickButton(Wallpapers_Widgets[0]);
}

void OnDialog() {
    Run& r = *g_run;
    const std::string kind = DialogKind();
    if (Dialog_Serial() != r.dialogSerial) {
        r.dialogSerial = Dialog_Serial();
        r.report->dialogs.push_back(kind);
        if (kind.rfind("tutorial", 0) == 0) r.report->tutorialSteps.push_back(Tutorial_Current);
        r.wait = kSettleFrames; // a box fades or slides in
        return;
    }
    Shot(kind.rfind("tutorial", 0) == 0 ? "tutorial_step_" + std::to_string(Tutorial_Current) : "dialog_" + kind);
    if (kind == "tutorial frame") return OnTutorialFrame();
    if (kind == "tutorial box") return OnTutorialBox();
    if (kind == "name") {
        r.steps.push_back([name = r.goal.name] { sdl_push::Text(name.c_str()); });
        r.steps.push_back([] { sdl_push::Tap(SDL_SCANCODE_RETURN); });
        r.wait = 10;
    } else if (kind == "won") {
        ClickButton(WL_Buttons[0]);
    } else if (kind == "continue") {
        ClickButton(MsgBox_Buttons[r.goal.continueMatch ? 0 : 1]);
    } else if (kind == "level") {
        ClickButton(MsgBox_Buttons[0], 4);
        r.levelBoxSeen = true;
        r.levelStartFrame = r.idleSince = r.report->frames + 2;
        r.levelStartMs = Sys_Millisecs();
    } else if (kind == "offer") {
        // "Zeit kaufen" (0) or "Riskieren" (1). Played to win, the time ran low: taken, so the rest still runs.
        const bool take =
            r.losing ? (r.goal.losses[r.lossesPlayed - 1] == DriverLoss::TakeOffer && !r.offerSeen) : true;
        if (!r.losing) Problem("the time ran low");
        r.offerSeen = true;
        if (r.line.offer.empty() || take) r.line.offer = take ? "taken" : "refused";
        ClickButton(MsgBox_Buttons[take ? 0 : 1]);
    } else if (kind == "HighScore") { // "Game Over": "Nochmal" or "Menü"
        ClickButton(MsgBox_Buttons[r.goal.againAfterGameOver ? 0 : 1]);
    } else if (kind == "highscores") {
        ClickButton(HS_Buttons[0]); // "Weiter" after a game or the campaign, "Zurück" otherwise
    } else if (kind == "wallpapers") {
        OnWallpapers();
    } else if (kind == "CastleCompleted") {
        r.report->castlesCompleted.push_back(Castle_JustCompleted);
        r.report->castleLevels.push_back(Level_Current - 1);
        r.wallpaperTries = 0;
        ClickButton(MsgBox_Buttons[0]);
    } else if (kind == "CastlesDone" || kind == "AllDone" || kind == "LevelsEnded") {
        if (kind == "LevelsEnded") r.report->campaignEnded = true;
        if (MsgBox_Buttons.empty())
            Click(Point{400, 300});
        else
            ClickButton(MsgBox_Buttons[0]);
        r.wait = 10;
    } else if (kind == "SetWallpaper") {
        ClickButton(MsgBox_Buttons[0]); // "Ja"
    } else if (kind == "Frame" || kind == "Game" || kind == "Shop" || kind == "WallpaperFailed") {
        ClickButton(MsgBox_Buttons[0]); // "Leben verloren", "Du hast alle Leben verloren.", the gamble's prize
    } else {
        Problem("unexpected dialog " + kind + " on screen " + std::to_string(Screen_Current));
        Quit();
    }
}

// [the tutorial] ---------------------------------------------------------------------------------------------------

void OnGame();

void ClickCell(int32_t col, int32_t row) {
    if (col < 0 || row < 0 || col >= Board_Cols || row >= Board_Rows) return;
    Click(CellCentre(Point{col, row}));
    g_run->wait = 4;
}

// A frame that stays while the player does what it points at.
void OnTutorialFrame() {
    Run& r = *g_run;
    const int32_t step = Tutorial_Current;
    const Tutorial* t = step >= 0 && step < kTutorialSteps ? Tutorials[size_t(step)].get() : nullptr;
    switch (step) {
    case 1: // the first match
        return OnGame();
    case 5: // the coin, the bottle: clicked where the arrow follows it
    case 7:
        if (const PiecePtr& p = Tutorial_Arrow.piece; p && Board_Idle()) ClickCell(p->Col, p->Row);
        return;
    case 9: // the hammer button
        return ClickButton(IGI_Button(0));
    case 10: // the hammer on the pointed piece
    case 28: // the fireball on the pointed piece
        if (t && Board_Idle()) {
            ClickCell(t->StateA, t->StateB);
            if (step == 10) r.hammerFrame = r.report->frames;
            if (step == 28) r.fireballFrame = r.report->frames;
        }
        return;
    case 21: // the pointed part
        for (const GUIBtnPtr& b : BuildMenu_PartButtons)
            if (t && b && b->id == t->StateA) {
                r.report->bought.push_back("part " + std::to_string(b->id));
                return ClickButton(b, 60);
            }
        return;
    case 24: // the shop button
        return ClickButton(BuildMenu_Buttons[BM_BTN_SHOP], 30);
    case 25: // the fireball in the shop
        r.report->bought.push_back("shop " + std::to_string(SHOP_SPELL0 + 5));
        return ClickButton(Shop_Buttons[SHOP_SPELL0 + 5], 30);
    case 27: // the fireball's button in play
        return ClickButton(IGI_Button(2 + 5), 10);
    default:
        Problem("tutorial step " + std::to_string(step) + " shows a frame the player does not know");
        Quit();
    }
}

void OnTutorialBox() {
    if (Tutorial_FrameKind == TUTFRAME_INTRO) return ClickButton(MsgBox_Buttons[0]);
    ClickButton(TutFrame_OkButton);
}

// [screens] --------------------------------------------------------------------------------------------------------

void OnMainMenu() {
    Run& r = *g_run;
    if (MainMenu_NamePending || r.screenFrames < std::max(kSettleFrames, r.goal.menuFrames)) return;
    Shot("main_menu");
    if ((r.wins >= r.goal.levelsToWin && r.wins > 0) || r.report->campaignEnded) return Quit();
    if (r.goal.startLevel > 0 && !r.matchPrepared) {
        // The sweep: a saved match at the level, so Start offers to continue it.
        r.matchPrepared = true;
        Match_New();
        Level_Current = r.goal.startLevel;
        Player_LastLevel[size_t(Player_Current)] = r.goal.startLevel;
        Match_Write(r.goal.startLevel);
        Progress_Save();
    }
    ClickButton(MainMenu_Buttons[0], 20); // "Start"
}

void LevelAttemptBegins() {
    Run& r = *g_run;
    r.inLevel = true;
    r.levelBoxSeen = false;
    r.line = LevelLine{};
    r.line.level = Level_Current;
    r.levelStartFrame = r.idleSince = r.report->frames;
    r.levelStartMs = Sys_Millisecs();
    r.offerSeen = false;
    r.winKeyPressed = false;
    r.losing = Level_Current == r.goal.lossLevel && r.lossesPlayed < r.goal.losses.size();
    if (r.losing) ++r.lossesPlayed;
    r.lossMoves = 0;
}

// A move that takes gems and leaves the tiles for later: a swap that makes a group, with no tiled cell on the rows
// and columns through the two cells within two steps (where the group can lie). The scan starts at a different
// cell each time, so the moves spread over the board.
bool CollectorMove(Point& a, Point& b) {
    uint32_t& start = g_run->collectorStart;
    const auto tiled = [](int32_t c, int32_t r) {
        return c >= 0 && r >= 0 && c < Board_Cols && r < Board_Rows && Board_Cells[c][r].TileLevel > 0;
    };
    const auto clear = [&tiled](int32_t c, int32_t r) {
        for (int32_t d = -2; d <= 2; ++d)
            if (tiled(c + d, r) || tiled(c, r + d)) return false;
        return true;
    };
    const int32_t cells = Board_Cols * Board_Rows;
    if (cells <= 0) return false;
    start = (start + 7919) % uint32_t(cells);
    for (int32_t i = 0; i < cells; ++i) {
        const int32_t at = int32_t((start + uint32_t(i)) % uint32_t(cells));
        const int32_t c = at % Board_Cols, r = at / Board_Cols;
        for (const Point& d : {Point{1, 0}, Point{0, 1}}) {
            const int32_t c2 = c + d.x, r2 = r + d.y;
            if (c2 >= Board_Cols || r2 >= Board_Rows || !clear(c, r) || !clear(c2, r2)) continue;
            if (!Board_FindMoves(c, r, c2, r2)) continue;
            a = Point{c, r};
            b = Point{c2, r2};
            return true;
        }
    }
    return false;
}

void OnGame() {
    Run& r = *g_run;
    if (!r.inLevel) LevelAttemptBegins();
    if (Game_Paused || Tips_Visible || !Board_Idle() || !r.levelBoxSeen) return;
    if (r.losing) { // a few moves, so that the match has a score; then the player waits
        if (r.lossMoves >= 3) return Sys_SetFakeFrameMs(kWaitFrameMs);
        ++r.lossMoves;
    }
    const int32_t played = r.report->frames - r.levelStartFrame;
    if (Level_Current <= r.goal.quickUntil && !r.winKeyPressed && (Gems_BagFull() || played > r.goal.quickFrames)) {
        r.winKeyPressed = true;
        WinKey();
        r.wait = 10;
        return;
    }
    // The bag filled first while the time allows (a player after gems), then the tiles cleared.
    const bool collect = r.goal.collect && !Gems_BagFull() && (Relaxed_Mode || Level_TimeLeft > Level_Duration / 2);
    Point a, b;
    if (collect && CollectorMove(a, b)) {
        Drag(a, b);
        r.idleSince = r.report->frames;
        r.wait = r.goal.moveWait;
    } else if (Solver_ChooseLauncher(a)) {
        Click(CellCentre(a));
        r.idleSince = r.report->frames;
        r.wait = r.goal.moveWait;
    } else if (Solver_ChooseMove(a, b)) {
        Drag(a, b);
        r.idleSince = r.report->frames;
        r.wait = r.goal.moveWait;
        if (played > 300) Shot("game");
    } else if (r.report->frames - r.idleSince > kStuckFrames) {
        Problem("no move for two minutes");
        r.idleSince = r.report->frames;
    }
}

// The shop: the chest first, then each spell not owned yet (none before the tutorial's fireball on level 6: the
// items then, the mana potion and a life), two purchases a visit at most; then back.
void OnShop() {
    Run& r = *g_run;
    if (Fade_State != FADE_STILL || r.screenFrames < kSettleFrames) return;
    Shot("shop");
    static constexpr int32_t kWish[] = {SHOP_CHEST,      SHOP_SPELL0 + 5, SHOP_SPELL0 + 0, SHOP_SPELL0 + 1,
                                        SHOP_SPELL0 + 2, SHOP_SPELL0 + 3, SHOP_SPELL0 + 4, SHOP_SPELL0 + 6,
                                        SHOP_SPELL0 + 7, SHOP_POTION,     SHOP_LIFE};
    const bool spells = Level_Current > 6 || !r.goal.tutorial;
    if (r.shopBuys < 2)
        for (int32_t i : kWish) {
            if (i >= SHOP_SPELL0 && (!spells || Spell_Level(i - SHOP_SPELL0) > 0)) continue;
            if ((i == SHOP_POTION || i == SHOP_LIFE) && spells) continue;
            if (!Usable(Shop_Buttons[size_t(i)]) || !Shop_CanBuy(i)) continue;
            ++r.shopBuys;
            r.report->bought.push_back("shop " + std::to_string(i));
            return ClickButton(Shop_Buttons[size_t(i)], 20);
        }
    ClickButton(Shop_Buttons[SHOP_BACK], 20);
}

void OnBuildMenu() {
    Run& r = *g_run;
    if (Fade_State != FADE_STILL || r.screenFrames < kSettleFrames) return;
    Shot("build_menu");
    // Every part the bag pays for, one at a time (a purchase lays the buttons out anew).
    for (const GUIBtnPtr& p : BuildMenu_PartButtons)
        if (Usable(p)) {
            r.report->bought.push_back("part " + std::to_string(p->id));
            return ClickButton(p, 60);
        }
    if (r.goal.shopFrom > 0 && Level_Current >= r.goal.shopFrom && !r.shopDone &&
        Usable(BuildMenu_Buttons[BM_BTN_SHOP])) {
        r.shopDone = true;
        r.shopBuys = 0;
        return ClickButton(BuildMenu_Buttons[BM_BTN_SHOP], 20);
    }
    if ((r.goal.menuAfterLevels && r.wins >= r.goal.levelsToWin) || r.report->campaignEnded)
        return ClickButton(BuildMenu_Buttons[BM_BTN_MENU], 20);
    ClickButton(BuildMenu_Buttons[BM_BTN_PLAY], 20);
}

void OnLevelMap() {
    Run& r = *g_run;
    if (r.screenFrames < kSettleFrames) return;
    Shot("level_map");
    if (r.wins >= r.goal.levelsToWin) return Quit();
    Click(Point{236 + 52, 554 + 18}); // "Spielen" (104 x 36 at 236, 554)
    r.wait = 20;
}

// [ending at a place] ----------------------------------------------------------------------------------------------

// Where the run is: the open dialog, otherwise the screen (the game screen by what the editor does over it).
std::string Place() {
    if (Dialog_Active) {
        const std::string kind = DialogKind();
        static const std::pair<const char*, const char*> kBoxes[] = {{"Quit", "quitbox"},
                                                                     {"level", "levelbox"},
                                                                     {"Frame", "lost"},
                                                                     {"Game", "gameover"},
                                                                     {"LastPlayer", "lastplayer"},
                                                                     {"HsReset", "hsreset"},
                                                                     {"NameExists", "nameexists"},
                                                                     {"DeletePlayer", "deleteplayer"},
                                                                     {"PlayerDeleted", "playerdeleted"},
                                                                     {"CastleCompleted", "castledone"},
                                                                     {"CastlesDone", "castlesdone"},
                                                                     {"AllDone", "alldone"},
                                                                     {"LevelsEnded", "levelsended"},
                                                                     {"SetWallpaper", "setwallpaper"},
                                                                     {"WallpaperFailed", "wallpaperfailed"},
                                                                     {"Shop", "gamble"},
                                                                     {"HighScore", "hsgame"}};
        for (const auto& [box, place] : kBoxes)
            if (kind == box) return place;
        if (kind == "highscores" && HS_Mode == 1) return "hsgame"; // the list with the game's new entry
        return kind;
    }
    if (Screen_Current == kScreenGame) return Editor_Testing ? "testrun" : Editor_Open ? "editor" : "game";
    static const std::pair<int32_t, const char*> kScreens[] = {{kScreenMainMenu, "menu"},
                                                               {kScreenLevelEnd, "levelend"},
                                                               {kScreenBuildMenu, "build"},
                                                               {kScreenShop, "shop"},
                                                               {kScreenLevelMap, "map"}};
    for (const auto& [screen, name] : kScreens)
        if (Screen_Current == screen) return name;
    return "screen " + std::to_string(Screen_Current);
}

bool IsOneOf(const std::string& s, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(), [&s](const char* n) { return s == n; });
}

// One step of a way: at place `at`, on the way to `to` (a place, or for an ending its endHow), the click that leads
// on.
struct Step {
    const char* to;
    const char* at;
    Point (*where)();
};
Point MainMenuButton(int32_t id) { return Centre(*MainMenu_Buttons[size_t(id)]); }
constexpr Step kWays[] = {
    {"quitbox", "menu", [] { return MainMenuButton(5); }},
    {"options", "menu", [] { return MainMenuButton(4); }},
    {"highscores", "menu", [] { return MainMenuButton(4); }},
    {"highscores", "options", [] { return Centre(*Options_Widgets[1]); }},
    {"credits", "menu", [] { return MainMenuButton(4); }},
    {"credits", "options", [] { return Centre(*Options_Widgets[2]); }},
    {"help", "menu", [] { return MainMenuButton(4); }},
    {"help", "options", [] { return Centre(*Options_Widgets[3]); }},
    {"hsreset", "menu", [] { return MainMenuButton(4); }},
    {"hsreset", "options", [] { return Centre(*Options_Widgets[1]); }},
    {"hsreset", "highscores", [] { return Centre(*HS_Buttons[1]); }}, // "Löschen"
    {"players", "menu", [] { return MainMenuButton(2); }},
    {"lastplayer", "menu", [] { return MainMenuButton(2); }},
    {"lastplayer", "players", [] { return Centre(*Players_Buttons[2]); }}, // "Löschen" with one player
    {"name", "menu", [] { return MainMenuButton(2); }},
    {"name", "players", [] { return Centre(*Players_Buttons[3]); }}, // "Hinzufügen"
    {"wallpapers", "menu", [] { return MainMenuButton(3); }},
    {"nameexists", "menu", [] { return MainMenuButton(2); }},
    {"nameexists", "players", [] { return Centre(*Players_Buttons[3]); }}, // "Hinzufügen", then the player's own name
    {"deleteplayer", "menu", [] { return MainMenuButton(2); }},
    {"deleteplayer", "players", [] { return Centre(*Players_Buttons[2]); }}, // "Löschen" with two players
    {"playerdeleted", "menu", [] { return MainMenuButton(2); }},
    {"playerdeleted", "players", [] { return Centre(*Players_Buttons[2]); }},
    {"playerdeleted", "deleteplayer", [] { return Centre(*MsgBox_Buttons[0]); }}, // "Ja"
    {"gamble", "build", [] { return Centre(*BuildMenu_Buttons[BM_BTN_SHOP]); }},
    {"gamble", "shop", [] { return Centre(*Shop_Buttons[SHOP_GAMBLE]); }},
    {"shop", "build", [] { return Centre(*BuildMenu_Buttons[BM_BTN_SHOP]); }},
    {"map", "build", [] { return Centre(*BuildMenu_Buttons[BM_BTN_PLAY]); }},
    {"lost", "offer", [] { return Centre(*MsgBox_Buttons[1]); }}, // "Riskieren"
    {"gameover", "offer", [] { return Centre(*MsgBox_Buttons[1]); }},
    {"hsgame", "offer", [] { return Centre(*MsgBox_Buttons[1]); }},
};
constexpr Step kEndings[] = {
    {"ende", "menu", [] { return MainMenuButton(5); }},
    {"ende", "quitbox", [] { return Centre(*MsgBox_Buttons[0]); }}, // "Ja"
    {"menu", "game", [] { return Centre(*IGI_Buttons[1]); }},       // the level's "Menü" opens the in-game menu
    {"menu", "igmenu", [] { return Centre(*IGMenu_Buttons[1]); }},  // "Hauptmenü"
    {"menu", "build", [] { return Centre(*BuildMenu_Buttons[BM_BTN_MENU]); }},
    {"menu", "map",
     [] {
         return Point{236 + 224 + 52, 554 + 18};
     }}, // "Menü" (104 x 36 at 460, 554)
};

bool TakeStep(const Step* begin, const Step* end, const std::string& to, const std::string& at) {
    for (const Step* s = begin; s != end; ++s)
        if (to == s->to && at == s->at) {
            Click(s->where());
            g_run->wait = 20;
            return true;
        }
    return false;
}

// A place has settled: a screen has slid in, the level runs (its box answered, the board still); a dialog settles
// when it is first seen (OnDialog).
bool Settled(const std::string& at) {
    Run& r = *g_run;
    if (IsOneOf(at, {"game", "editor", "testrun"})) {
        if (!r.inLevel) LevelAttemptBegins();
        // The board stands still under the editor (its edits may leave cells to fill).
        return r.levelBoxSeen && (at == "editor" || Board_Idle()) && !Game_Paused && !Tips_Visible;
    }
    if (at == "levelend") return r.screenFrames >= kLevelEndFrames;
    if (IsOneOf(at, {"menu", "build", "shop", "map"}))
        return r.screenFrames >= kSettleFrames && Fade_State == FADE_STILL;
    return true;
}

void BeginEnding(const std::string& at) {
    Run& r = *g_run;
    r.ending = true;
    r.report->endedAt = at;
    // Over the editor, what the level held before it opened: nothing the editor does is the player's.
    r.report->left = r.leftState.empty() ? Driver_PlayerState() : r.leftState;
    if (r.goal.endHow == "kill") { // standard error keeps what the player left and the game's output
        std::fprintf(stderr, "left: %s\n", r.report->left.c_str());
        std::fputs(::testing::internal::GetCapturedStdout().c_str(), stderr);
        std::fflush(stderr);
        std::raise(SIGKILL);
    }
    if (r.goal.endHow == "close") Quit();
}

// Where the run ends in the editor's test run, or in the level by a way that saves it (not a kill), the player plays
// a little first: moves until a coin came (the gold rose), at least kFewMoves and at most kMostMoves.
bool PlayedEnough(const std::string& at) {
    const Run& r = *g_run;
    if (at != "testrun" && (at != "game" || r.goal.endHow == "kill")) return true;
    return r.moves >= kMostMoves || (r.moves >= kFewMoves && Gold > r.goldBefore);
}
void PlayALittle() {
    Run& r = *g_run;
    if (r.moves == 0) r.goldBefore = Gold;
    Point a, b;
    if (Solver_ChooseMove(a, b)) Drag(a, b);
    ++r.moves;
    r.wait = r.goal.moveWait;
}

// In the level: a little play where the run ends there; on the way to a place beyond it the time left to run low
// (the offer, a life lost, the game over), the level won by its key (the level end and on), the editor opened by its
// key and its test run started.
void OnTheWayInLevel(const std::string& at) {
    Run& r = *g_run;
    const std::string& to = r.goal.endAt;
    if (IsOneOf(to, {"offer", "lost", "gameover", "hsgame"})) return Sys_SetFakeFrameMs(kWaitFrameMs); // time runs out
    if (to == "game") return PlayALittle();
    if (to == "editor" || to == "testrun") {
        if (at == "editor") {
            Editor_ToggleTest(); // the editor's "Test"
        } else if (at == "testrun") {
            return PlayALittle();
        } else {
            r.leftState = Driver_PlayerState();
            r.steps.push_back([] {
                sdl_push::Key(SDL_SCANCODE_RALT, SDLK_RALT, true);
                sdl_push::Key(SDL_SCANCODE_L, SDLK_l, true);
            });
            r.steps.push_back([] {
                sdl_push::Key(SDL_SCANCODE_L, SDLK_l, false);
                sdl_push::Key(SDL_SCANCODE_RALT, SDLK_RALT, false);
            });
        }
        r.wait = 10;
        return;
    }
    if (r.winKeyPressed) return OnGame(); // amulets still to bring down: the usual play finishes the level
    r.winKeyPressed = true;
    WinKey();
    r.wait = 10;
}

// A castle completed or the gamble bought from the first stay between levels, without the levels that would earn
// their price: at the build menu the bag holds what every part costs (and for the castles' end the last castle is
// the current one), in the shop the gold pays for the gamble. Both through the game's own load and counters, as a
// player's saved state could hold them; the driver's usual play then buys the parts.
void PrepareAt(const std::string& at) {
    Run& r = *g_run;
    const std::string& to = r.goal.endAt;
    static constexpr int32_t kEnoughGems = 5000;
    if (at == "build" && IsOneOf(to, {"castledone", "setwallpaper", "wallpaperfailed", "castlesdone", "alldone"})) {
        r.prepared = true;
        std::vector<int32_t> state = Castle_SaveState();
        if (IsOneOf(to, {"castlesdone", "alldone"})) state[1] = kCastleCount - 1;
        for (size_t g = 0; g < kGemColours; ++g)
            state[3 + kCastleCount + g] = kEnoughGems;
        Castle_LoadState(state);
        BuildMenu_LayoutPartButtons();
    } else if (at == "shop" && to == "gamble") {
        r.prepared = true;
        for (int32_t i = 0; i < 1000 && !Shop_CanBuy(SHOP_GAMBLE); ++i)
            Gold_Add(100);
    }
}

// The run's way to goal.endAt and its ending there; false where the usual play goes on (Start, the continue box,
// the level box, the level end).
bool Steer() {
    Run& r = *g_run;
    const std::string at = Place();
    if (Dialog_Active && Dialog_Serial() != r.dialogSerial) return false; // OnDialog notes it and lets it settle
    if (r.ending) {
        if (TakeStep(std::begin(kEndings), std::end(kEndings), r.goal.endHow, at)) return true;
        if (r.goal.endHow == "menu" && at == "menu" && Settled(at)) Quit();
        return true; // "exit": the player waits for the exit frame
    }
    if (!Dialog_Active && !Settled(at)) return true;
    if (at == "editor" && r.goal.endAt == "editor" && !r.edited) {
        // The level edited as a designer would: the board cleared and every spawn weight set to 0.
        r.edited = true;
        Editor_ClearTable();
        Editor_ResetWeights();
        return true;
    }
    if (at == r.goal.endAt && PlayedEnough(at)) {
        BeginEnding(at);
        return true;
    }
    if (!r.prepared) PrepareAt(at);
    if (TakeStep(std::begin(kWays), std::end(kWays), r.goal.endAt, at)) return true;
    if (IsOneOf(at, {"game", "editor", "testrun"})) {
        OnTheWayInLevel(at);
        return true;
    }
    return false;
}

// [the frame hook] -------------------------------------------------------------------------------------------------

void CloseLevelLine(const std::string& result) {
    Run& r = *g_run;
    if (!r.inLevel) return;
    r.inLevel = false;
    if (r.line.result.empty()) r.line.result = result;
    r.line.score = Score;
    r.line.gold = Gold;
    r.line.gems = Gems_ThisLevel;
    r.line.frames = r.report->frames - r.levelStartFrame;
    r.line.timeS = (Sys_Millisecs() - r.levelStartMs) / 1000.0;
    r.report->levels.push_back(r.line);
    if (r.goal.progress) std::fprintf(stderr, "%s\n", Driver_Line(r.line).c_str());
    if (r.losing && result == "won") Problem("a level meant to be lost was won");
    r.losing = false;
    Sys_SetFakeFrameMs(kFrameMs);
}

// The frame that just ended is charged to what it showed; the one starting now is noted.
void CountCost() {
    Run& r = *g_run;
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    const uint64_t now = uint64_t(ts.tv_sec) * 1000000000u + uint64_t(ts.tv_nsec);
    const double wallMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - r.started).count();
    if (r.report->firstFrameMs == 0) r.report->firstFrameMs = wallMs;
    if (r.report->mainMenuMs == 0 && Screen_Current == kScreenMainMenu && !Dialog_Active && r.frameStarted)
        r.report->mainMenuMs = wallMs;
    // What the frame showed is the state it ended in: the frame that opens a dialog draws it, the one that leaves a
    // screen draws the next (and decodes its pictures, as a showing's first frame).
    std::string key = "screen " + std::to_string(Screen_Current);
    if (Dialog_Active) key += " + " + DialogKind();
    if (r.frameStarted) {
        FrameCost& c = r.report->costs[key];
        const uint64_t ns = now - r.cpuNs;
        ++c.frames;
        c.totalNs += ns;
        c.worstNs = std::max(c.worstNs, ns);
        if (key == r.lastCostKey) {
            c.steadyNs.push_back(ns);
            if (c.slowest.size() < FrameCost::kSlowestKept || ns > c.slowest.back().ns) {
                if (c.slowest.size() == FrameCost::kSlowestKept) c.slowest.pop_back();
                const FrameCost::Slow slow{ns, r.report->frames, Frame_Tally};
                c.slowest.insert(std::find_if(c.slowest.begin(), c.slowest.end(),
                                              [&](const FrameCost::Slow& o) { return o.ns < ns; }),
                                 slow);
            }
        }
    }
    FrameTally_Reset();
    r.cpuNs = now;
    r.frameStarted = true;
    r.lastCostKey = std::move(key);
}

void OnFrame(int) {
    Run& r = *g_run;
    ++r.report->frames;
    if (r.goal.everyFrame) r.goal.everyFrame();
    CountCost();
    if (!r.shotDue.empty()) {
        Graphics_SaveScreenshot(Str_FromUtf8(r.goal.shots + "/" + r.shotDue + ".png"));
        r.shotDue.clear();
    }
    if (r.hammerFrame >= 0 && r.report->frames == r.hammerFrame + 12) Shot("hammer");
    if (r.fireballFrame >= 0 && r.report->frames == r.fireballFrame + 20) Shot("fireball");
    if (Screen_Current == kScreenLevelEnd && r.levelEndFrame >= 0 && r.report->frames == r.levelEndFrame + 60)
        Shot("level_end_peak");
    if (!r.goal.tutorial) // the tutorial stays off for the player, whatever a new match cleared
        for (int32_t s = 0; s < kTutorialCount; ++s)
            Tutorial_Flags[size_t(Player_Current * kTutorialCount + s)] |= kTutOff;
    if (Screen_Current != r.screen) {
        if (r.screen == kScreenGame && Screen_Current == kScreenLevelEnd) {
            CloseLevelLine(Level_Lost ? "lost" : "won");
            if (r.report->levels.back().result == "won") ++r.wins;
            Shot(Level_Lost ? "level_lost" : "level_end");
            r.levelEndFrame = r.report->frames;
        } else if (r.screen == kScreenGame && Screen_Current != kScreenDimmed && Screen_Current != kScreenPause) {
            CloseLevelLine("stopped");
        }
        if (Screen_Current == kScreenBuildMenu && r.screen != kScreenShop) r.shopDone = false;
        r.screen = Screen_Current;
        r.screenFrames = 0;
        r.report->screens.push_back(Screen_Current);
    }
    ++r.screenFrames;
    if (!r.goal.endAt.empty()) r.report->lastPlace = Place();
    // The level's board moves on by itself while the ending runs (falling and spawned pieces): what the player
    // leaves is the last state before the save.
    if (r.ending && r.leftState.empty() && r.goal.endHow != "ende" && Screen_Current != kScreenMainMenu)
        r.report->left = Driver_PlayerState();
    if (!r.steps.empty()) {
        r.steps.front()();
        r.steps.pop_front();
        return;
    }
    if (r.quitting) return;
    if (r.wait > 0) {
        --r.wait;
        return;
    }
    if (!r.goal.endAt.empty() && Steer()) return;
    if (Dialog_Active) return OnDialog();
    switch (Screen_Current) {
    case kScreenMainMenu:
        return OnMainMenu();
    case kScreenGame:
        return OnGame();
    case kScreenBuildMenu:
        return OnBuildMenu();
    case kScreenShop:
        return OnShop();
    case kScreenLevelMap:
        return OnLevelMap();
    default:
        return; // the level start and end, the passing screens: they move on by themselves
    }
}

} // namespace

// [the run] --------------------------------------------------------------------------------------------------------

DriverReport Driver_Run(const DriverGoal& goal) {
    DriverReport report;
    Run run;
    run.goal = goal;
    run.report = &report;
    g_run = &run;
    Sys_Init(0, nullptr);
    HarnessConfig h;
    h.headless = true;
    h.frameMs = kFrameMs;
    h.haveSeed = true;
    h.seed = 1;
    h.exitAfter = goal.frameLimit;
    h.drawOnDemand = !goal.drawAll;
    Harness_Configure(h);
    Sys_ClearCloseRequest();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    Input_Reset();
    Harness_SetFrameHook(OnFrame);
    ::testing::internal::CaptureStdout();
    run.started = std::chrono::steady_clock::now();
    report.exitCode = Main_Body();
    report.output = ::testing::internal::GetCapturedStdout();
    if (run.ending && run.leftState.empty() && (goal.endHow == "close" || goal.endHow == "exit"))
        report.left = Driver_PlayerState(); // as the closing save found it
    Harness_SetFrameHook(nullptr);
    Harness_Configure(HarnessConfig{});
    Sys_ClearCloseRequest();
    if (run.inLevel) CloseLevelLine("stopped");
    g_run = nullptr;
    return report;
}

bool Driver_UseGivenFolder() {
    const char* d = std::getenv("BQ_E2E_DATA");
    if (!d) return false;
    setenv("XDG_DATA_HOME", d, 1);
    if (const char* a = std::getenv("BQ_E2E_APP")) setenv("BQ_APP_FOLDER", a, 1);
    return true;
}

std::string Driver_Line(const LevelLine& l) {
    char buf[200];
    std::snprintf(buf, sizeof buf, "level %3d %-7s score %7d gold %6d gems %3d time %6.1f s frames %6d%s%s", l.level,
                  l.result.c_str(), l.score, l.gold, l.gems, l.timeS, l.frames, l.offer.empty() ? "" : " offer ",
                  l.offer.c_str());
    return buf;
}

std::vector<std::string> Driver_UnexpectedLines(const std::string& output) {
    // What a run from a fresh data folder says on its way, by the start of the line.
    static const char* const kExpected[] = {
        "harness: ",                // the harness's own notes (seed, fake clock)
        "Wallpaper_Set ",           // "Wallpaper aktivieren": a headless run never sets the desktop (and says so)
        "all completed",            // the end of the campaign
        "add failed same name as ", // a new player given a name a player has: the box that says so
    };
    std::vector<std::string> out;
    std::istringstream in(output);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        bool known = false;
        for (const char* e : kExpected)
            known = known || line.rfind(e, 0) == 0;
        if (!known) out.push_back(line);
    }
    return out;
}

const char* const Driver_Places[] = {"menu",         "quitbox",       "options",     "highscores",   "hsreset",
                                     "credits",      "help",          "players",     "lastplayer",   "name",
                                     "wallpapers",   "continue",      "levelbox",    "game",         "offer",
                                     "lost",         "gameover",      "levelend",    "won",          "build",
                                     "shop",         "map",           "editor",      "testrun",      "nameexists",
                                     "deleteplayer", "playerdeleted", "castledone",  "setwallpaper", "wallpaperfailed",
                                     "castlesdone",  "alldone",       "levelsended", "gamble",       "hsgame"};
const int Driver_PlaceCount = int(std::size(Driver_Places));

std::string Driver_PlayerState() {
    std::ostringstream o;
    o << "player=" << Str_ToUtf8(Player_Names[size_t(std::clamp(Player_Current, 0, 9))]) << " level=" << Level_Current
      << " score=" << Score << " gold=" << Gold << " mana=" << Mana << " lives=" << Lives << " relaxed=" << Relaxed_Mode
      << " gems=";
    for (int32_t g : Gems_Total)
        o << g << ',';
    int32_t built = 0;
    for (const CastleElemPtr& e : Castle_Elems)
        built += e && e->built ? 1 : 0;
    o << " castle=" << Castle_Current << '/' << built << " spells=";
    for (int32_t s = 0; s < kSpellCount; ++s)
        o << Spell_Level(s);
    o << " chest=" << Treasure_Level << " manacap=" << Mana_CapLevel;
    // What "Level nochmal" goes back to: in a level its start records, between levels (the next level not begun)
    // the present counters; in the menus it is not known from here. On the game screen the board and the level's
    // spawn weights.
    const std::string at = Place();
    if (IsOneOf(at, {"game", "levelbox", "offer", "lost", "gameover", "igmenu", "editor", "testrun"}))
        o << " restart=" << Score_AtLevelStart << '/' << Gold_AtLevelStart << '/' << Mana_AtLevelStart;
    else if (IsOneOf(at, {"levelend", "won", "build", "shop", "map"}))
        o << " restart=" << Score << '/' << Gold << '/' << Mana;
    if (Screen_Current == kScreenGame && Board_Cols > 0) {
        uint32_t h = 2166136261u; // FNV-1a over what each cell holds
        const auto mix = [&h](int32_t v) { h = (h ^ uint32_t(v)) * 16777619u; };
        mix(Board_Cols);
        mix(Board_Rows);
        for (int32_t c = 0; c < Board_Cols; ++c)
            for (int32_t r = 0; r < Board_Rows; ++r) {
                const Table_cell& cell = Board_Cells[c][r];
                mix(cell.Void);
                mix(cell.TileLevel);
                mix(cell.Piece ? cell.Piece->Kind : -1);
                mix(cell.Blockers);
                mix(cell.BringDown);
            }
        o << " board=" << std::hex << h << std::dec << " weights=";
        for (int32_t w : Spawn_Weights)
            o << w << ',';
        o << Level_ShieldPercent << ',' << Level_GoldenPercent << ',' << Level_BombPercent << ',' << Level_LaserPercent
          << ',' << Level_AntigravPercent;
    }
    return o.str();
}

double FrameCost::SteadyMeanMs() const {
    uint64_t sum = 0;
    for (const uint64_t ns : steadyNs)
        sum += ns;
    return steadyNs.empty() ? 0 : double(sum) / double(steadyNs.size()) / 1e6;
}

double FrameCost::SteadyP99Ms() const {
    if (steadyNs.empty()) return 0;
    std::vector<uint64_t> v = steadyNs;
    const size_t k = std::min(v.size() - 1, v.size() * 99 / 100);
    std::nth_element(v.begin(), v.begin() + std::ptrdiff_t(k), v.end());
    return double(v[k]) / 1e6;
}
