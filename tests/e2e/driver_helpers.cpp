// The level player's frame hook and its run of the whole game; see driver_helpers.h.
#include "driver_helpers.h"

#include <cstdio>
#include <time.h>

#include <algorithm>
#include <deque>
#include <chrono>
#include <functional>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "../platform/sdl_push.h"
#include "board/board.h"
#include "board/play.h"
#include "board/rules.h"
#include "castle/castle.h"
#include "main/config.h"
#include "main/progress.h"
#include "main/runtime/startup.h"
#include "main/screens.h"
#include "menus/menus.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/system.h"
#include "solver.h"

namespace {

constexpr int kFrameMs = 16;
constexpr int32_t kSettleFrames = 30;         // frames a screen is left to slide in before the driver clicks
constexpr int32_t kStuckFrames = 60 * 60 * 2; // two minutes of game without a move the solver could make

Point Centre(const GUIBtn& b) { return Point{int32_t(b.x) + b.hitX + b.hitW / 2, int32_t(b.y) + b.hitY + b.hitH / 2}; }

Point CellCentre(Point cell) {
    return Point{int32_t(Cell_PixelX(cell.x)) + Cell_HalfWidth - Board_OverflowX,
                 int32_t(Cell_PixelY(cell.y)) + Cell_HalfHeight - Board_OverflowY};
}

// The run's state: the hook is a plain function, so it lives here for the one run at a time.
struct Run {
    DriverGoal goal;
    DriverReport* report = nullptr;
    std::deque<std::function<void()>> steps; // one per frame: the pushes of a click or a drag, spread over frames
    int32_t wait = 0;                        // frames to let pass before the next decision
    int32_t screen = -1, screenFrames = 0;   // the screen of the last frame and how long it has shown
    int dialogSerial = -1;                   // the dialog opening seen last
    int32_t wins = 0;
    bool matchPrepared = false; // the sweep's saved match is written
    bool inLevel = false;       // a level line is open
    bool levelBoxSeen = false;  // its "Level N" box was answered
    bool boughtHere = false;    // a part was bought on this visit of the build menu
    bool quitting = false;
    int32_t levelStartFrame = 0, idleSince = 0;
    LevelLine line;
    std::set<std::string> shotsTaken;
    uint64_t cpuNs = 0;  // the main thread's CPU time at the last frame's start
    std::string costKey; // what the last frame showed
    std::chrono::steady_clock::time_point started;
};
Run* g_run = nullptr;

void Shot(const std::string& name) {
    Run& r = *g_run;
    if (r.goal.shots.empty() || !r.shotsTaken.insert(name).second) return;
    Graphics_SaveScreenshot(Str_FromUtf8(r.goal.shots + "/" + name + ".png"));
}

// A click: pointer there and pressed in one frame, released in the next.
void Click(Point p) {
    Run& r = *g_run;
    r.steps.push_back([p] {
        sdl_push::Motion(p.x, p.y);
        sdl_push::Button(SDL_BUTTON_LEFT, true, p.x, p.y);
    });
    r.steps.push_back([p] { sdl_push::Button(SDL_BUTTON_LEFT, false, p.x, p.y); });
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

void Quit() {
    Run& r = *g_run;
    if (r.quitting) return;
    r.quitting = true;
    sdl_push::Quit();
}

// The open dialog by kind; message boxes by the screen behind them and their number of buttons.
std::string DialogKind() {
    const ScreenFn u = Dialog_UpdateFn();
    if (u == MsgBox_Username_Update) return "name";
    if (u == WinLose_Update) return "won";
    if (u == HighScores_Update) return "highscores";
    if (u == IGMenu_Update) return "igmenu";
    if (u == MM_Players_Update) return "players";
    if (u == Options_Update) return "options";
    if (u == Wallpapers_Update) return "wallpapers";
    const size_t n = MsgBox_Buttons.size();
    if (Screen_Current == kScreenGame) {
        if (n == 1) return g_run->levelBoxSeen ? "ok-box" : "level";
        if (n == 2) return "offer";
    }
    if (Screen_Current == kScreenMainMenu && n == 2) return "continue";
    if (n == 1) return "ok-box";
    if (n == 0) return "any-key-box";
    return "box-" + std::to_string(n);
}

void CloseLevelLine(const std::string& result) {
    Run& r = *g_run;
    if (!r.inLevel) return;
    r.inLevel = false;
    if (r.line.result.empty()) r.line.result = result;
    r.line.score = Score;
    r.line.gems = Gems_ThisLevel;
    r.line.frames = r.report->frames - r.levelStartFrame;
    r.line.timeS = r.line.frames * kFrameMs / 1000.0;
    r.report->levels.push_back(r.line);
    if (r.goal.progress) std::fprintf(stderr, "%s\n", Driver_Line(r.line).c_str());
}

void OnDialog() {
    Run& r = *g_run;
    const std::string kind = DialogKind();
    if (Dialog_Serial() != r.dialogSerial) {
        r.dialogSerial = Dialog_Serial();
        r.report->dialogs.push_back(kind);
        r.wait = kSettleFrames; // a box fades or slides in
        return;
    }
    Shot("dialog_" + kind);
    if (kind == "name") {
        r.steps.push_back([name = r.goal.name] { sdl_push::Text(name.c_str()); });
        r.steps.push_back([] { sdl_push::Tap(SDL_SCANCODE_RETURN); });
        r.wait = 10;
    } else if (kind == "won") {
        Click(Centre(*WL_Buttons[0]));
        r.wait = 10;
    } else if (kind == "continue") {
        Click(Centre(*MsgBox_Buttons[r.goal.continueMatch ? 0 : 1]));
        r.wait = 10;
    } else if (kind == "level") {
        Click(Centre(*MsgBox_Buttons[0]));
        r.levelBoxSeen = true;
        r.levelStartFrame = r.report->frames + 2;
        r.idleSince = r.levelStartFrame;
        r.wait = 4;
    } else if (kind == "offer") {
        // The time ran out: the level is not won in its time. Take the offer and play on, so the rest still runs.
        r.line.result = "lost";
        r.report->problems.push_back("level " + std::to_string(r.line.level) + ": the time ran out");
        Click(Centre(*MsgBox_Buttons[0]));
        r.wait = 10;
    } else if (kind == "ok-box" || kind == "any-key-box") {
        if (MsgBox_Buttons.empty())
            Click(Point{400, 300});
        else
            Click(Centre(*MsgBox_Buttons[0]));
        r.wait = 10;
    } else {
        r.report->problems.push_back("unexpected dialog " + kind + " on screen " + std::to_string(Screen_Current));
        Quit();
    }
}

void OnMainMenu() {
    Run& r = *g_run;
    if (MainMenu_NamePending || r.screenFrames < std::max(kSettleFrames, r.goal.menuFrames)) return;
    Shot("main_menu");
    if (r.wins >= r.goal.levelsToWin && r.wins > 0) return Quit();
    if (r.goal.startLevel > 0 && !r.matchPrepared) {
        // The sweep: a saved match at the level, so Start offers to continue it.
        r.matchPrepared = true;
        Match_New();
        Level_Current = r.goal.startLevel;
        Player_LastLevel[size_t(Player_Current)] = r.goal.startLevel;
        Match_Write(r.goal.startLevel);
        Progress_Save();
    }
    Click(Centre(*MainMenu_Buttons[0])); // "Start"
    r.wait = 20;
}

void OnGame() {
    Run& r = *g_run;
    if (!r.inLevel) {
        r.inLevel = true;
        r.levelBoxSeen = false;
        r.line = LevelLine{};
        r.line.level = Level_Current;
        r.levelStartFrame = r.idleSince = r.report->frames;
    }
    if (Game_Paused || Tips_Visible || !Board_Idle()) return;
    Point a, b;
    if (Solver_ChooseLauncher(a)) {
        Click(CellCentre(a));
        r.idleSince = r.report->frames;
        r.wait = 2;
    } else if (Solver_ChooseMove(a, b)) {
        Drag(a, b);
        r.idleSince = r.report->frames;
        r.wait = 2;
        if (r.report->frames - r.levelStartFrame > 300) Shot("game");
    } else if (r.report->frames - r.idleSince > kStuckFrames) {
        r.report->problems.push_back("level " + std::to_string(r.line.level) + ": no move for two minutes");
        r.idleSince = r.report->frames;
    }
}

void OnBuildMenu() {
    Run& r = *g_run;
    if (Fade_State != 0 || r.screenFrames < kSettleFrames) return;
    Shot("build_menu");
    if (!r.boughtHere) { // the first part the bag pays for
        r.boughtHere = true;
        for (const GUIBtnPtr& p : BuildMenu_PartButtons)
            if (!(p->state & (BTN_DISABLED | BTN_HIDDEN))) {
                Click(Centre(*p));
                r.wait = 60;
                return;
            }
    }
    Click(Centre(*BuildMenu_Buttons[BM_BTN_PLAY]));
    r.wait = 20;
}

void OnLevelMap() {
    Run& r = *g_run;
    if (r.screenFrames < kSettleFrames) return;
    Shot("level_map");
    if (r.wins >= r.goal.levelsToWin) return Quit();
    Click(Point{236 + 52, 554 + 18}); // "Spielen" (104 x 36 at 236, 554)
    r.wait = 20;
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
    if (r.report->mainMenuMs == 0 && Screen_Current == kScreenMainMenu && !Dialog_Active && !r.costKey.empty())
        r.report->mainMenuMs = wallMs;
    if (!r.costKey.empty()) {
        FrameCost& c = r.report->costs[r.costKey];
        ++c.frames;
        c.totalNs += now - r.cpuNs;
        c.worstNs = std::max(c.worstNs, now - r.cpuNs);
    }
    r.cpuNs = now;
    r.costKey = "screen " + std::to_string(Screen_Current);
    if (Dialog_Active) r.costKey += " + " + DialogKind();
}

void OnFrame(int) {
    Run& r = *g_run;
    ++r.report->frames;
    CountCost();
    // The tutorial stays off for the driver's player, whatever a new match cleared.
    for (int32_t s = 0; s < kTutorialCount; ++s)
        Tutorial_Flags[size_t(Player_Current * kTutorialCount + s)] |= 2;
    if (Screen_Current != r.screen) {
        if (r.screen == kScreenGame && Screen_Current == kScreenLevelEnd) {
            CloseLevelLine(Level_Lost ? "lost" : "won");
            if (r.report->levels.back().result == "won") ++r.wins;
            Shot("level_end");
        } else if (r.screen == kScreenGame && Screen_Current != kScreenDimmed && Screen_Current != kScreenPause) {
            CloseLevelLine("stopped");
        }
        r.screen = Screen_Current;
        r.screenFrames = 0;
        r.boughtHere = false;
        r.report->screens.push_back(Screen_Current);
    }
    ++r.screenFrames;
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
    if (Dialog_Active) return OnDialog();
    switch (Screen_Current) {
    case kScreenMainMenu:
        return OnMainMenu();
    case kScreenGame:
        return OnGame();
    case kScreenBuildMenu:
        return OnBuildMenu();
    case kScreenLevelMap:
        return OnLevelMap();
    default:
        return; // the level start and end, the passing screens: they move on by themselves
    }
}

} // namespace

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
    Harness_Configure(h);
    Sys_ClearCloseRequest();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    Input_Reset();
    Harness_SetFrameHook(OnFrame);
    ::testing::internal::CaptureStdout();
    run.started = std::chrono::steady_clock::now();
    report.exitCode = Main_Body();
    report.output = ::testing::internal::GetCapturedStdout();
    Harness_SetFrameHook(nullptr);
    Harness_Configure(HarnessConfig{});
    Sys_ClearCloseRequest();
    if (run.inLevel) CloseLevelLine("stopped");
    g_run = nullptr;
    return report;
}

std::string Driver_Line(const LevelLine& l) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "level %3d %-7s score %7d gems %3d time %6.1f s frames %6d", l.level,
                  l.result.c_str(), l.score, l.gems, l.timeS, l.frames);
    return buf;
}

std::vector<std::string> Driver_UnexpectedLines(const std::string& output) {
    // What a run from a fresh data folder says on its way, by the start of the line.
    static const char* const kExpected[] = {
        "harness: ", // the harness's own notes (seed, fake clock)
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
