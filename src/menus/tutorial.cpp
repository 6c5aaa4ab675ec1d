// The tutorial's records and events: the 45 steps made from the steps table, the dispatch of the events the board
// and the castle report (through their hook tables), the per-player done and off bits kept in the progress file,
// and closing a step. Called by the runtime (start-up), the board, the castle and the menus' own boxes.
#include <algorithm>

#include "board/board.h"
#include "board/rules.h"
#include "main/config.h"
#include "main/progress.h"
#include "main/runtime.h"
#include "main/screens.h"
#include "menus/menus.h"
#include "menus/tutorial_internal.h"

std::array<TutorialPtr, kTutorialSteps> Tutorials;
int32_t Tutorial_Count = 0;
TutorialRun Tutorial_Run;
int32_t Tutorial_ClickAllowed = 1;
int32_t Tutorial_HammerAllowed = 1;
int32_t Tutorial_Countdown = 0;

void Tutorial_NoHandler(Tutorial&, int32_t, int32_t) {}

void Tutorial::SetHandler(int32_t event, TutorialHandler handler) {
    if (event < 0 || event >= kTutorialEvents) return;
    Handlers[size_t(event)] = handler ? handler : Tutorial_NoHandler;
}

TutorialPtr Tutorial_Create(int32_t id, int32_t minLevel, int32_t maxLevel, int32_t screenId, int32_t event1,
                            TutorialHandler handler1, int32_t event2, TutorialHandler handler2, int32_t event3,
                            TutorialHandler handler3) {
    if (id < 0 || id >= kTutorialSteps) {
        Log_Print(S("Tutorial_Create: no step ") + Str_FromInt(id));
        return nullptr;
    }
    TutorialPtr& t = Tutorials[size_t(id)];
    if (!t) t = std::make_shared<Tutorial>();
    t->Id = id;
    t->MinLevel = minLevel;
    t->MaxLevel = maxLevel;
    t->ScreenId = screenId;
    const std::array<std::pair<int32_t, TutorialHandler>, 3> pairs{
        {{event1, handler1}, {event2, handler2}, {event3, handler3}}};
    for (const auto& [event, handler] : pairs)
        if (event != -1) t->SetHandler(event, handler);
    ++Tutorial_Count;
    return t;
}

void Tutorial_Init() {
    TutFrames_Load();
    Tutorial_Count = 0;
    Tutorial_Run = TutorialRun{};
    for (const TutStepRow& row : Tut_StepsTable())
        Tutorial_Create(row.id, row.minLevel, row.maxLevel, row.screen, row.on[0].event, row.on[0].handler,
                        row.on[1].event, row.on[1].handler, row.on[2].event, row.on[2].handler);
}

// ---- Flag words ------------------------------------------------------------------------------------------------

int32_t& Tutorial_Word(int32_t id) {
    const int32_t player = std::clamp(Player_Current, 0, 9);
    return Tutorial_Flags[size_t(player * kTutorialSteps + std::clamp(id, 0, kTutorialSteps - 1))];
}

bool Tutorial_IsDone(int32_t id) { return (Tutorial_Word(id) & kTutDone) != 0; }

void Tutorial_MarkDone(int32_t id) {
    Tutorial_Word(id) |= kTutDone;
    Config_SaveArray(20);
}

void Tutorial_ClearFlags(int32_t mask) {
    for (int32_t id = 0; id < kTutorialSteps; ++id)
        Tutorial_Word(id) &= ~mask;
    Config_SaveArray(20);
}

void Tutorial_ResetRun() {
    if (Dialog_Owner() != DIALOG_GAME) Dialog_Close(); // a frame of the last run does not stand over the new one
    Tutorial_Run = TutorialRun{};
    for (const TutorialPtr& t : Tutorials)
        if (t) t->StateA = t->StateB = 0;
}

namespace {

// Ends the running step; `done` marks it done for the current player.
void EndStep(bool done) {
    // Only a frame of the tutorial's own is closed: a box of the game's flow that stands open stays open.
    if (Dialog_Owner() != DIALOG_GAME) Dialog_Close();
    if (done && Tutorial_Current >= 0 && Tutorial_Current < kTutorialSteps) Tutorial_Word(Tutorial_Current) |= kTutDone;
    Config_SaveArray(20);
    if (Game_Paused == 1 && Tutorial_FramePauses) Game_Paused = 0;
    // The intro's full-screen picture shows once a match: its texture is not kept after it (made again if it shows).
    if (Tutorial_FrameKind == TUTFRAME_INTRO) Image_DropTexture(TutIntro_Picture);
    Tutorial_Run = TutorialRun{};
    Tutorial_Arrow.visible = 0;
    Tutorial_Arrow.piece.reset();
}

} // namespace

void Tutorial_Close() { EndStep(true); }
void Tutorial_Abort() { EndStep(false); }

bool Tutorial_OutOfPlace() {
    if (Tutorial_Current < 0 || Tutorial_Current >= kTutorialSteps || Screen_Current == kScreenPause) return false;
    const TutorialPtr& t = Tutorials[size_t(Tutorial_Current)];
    if (t && t->ScreenId != Screen_Current) return true;
    // A won level settles its last pieces and ends: nothing a plain frame waits for can happen any more (the board
    // and the interface take no clicks). A frame with OK is answered first: it pauses, and the level end waits.
    return Screen_Current == kScreenGame && Level_EndState >= 2 && Tutorial_FrameKind == TUTFRAME_PLAIN;
}

// ---- Dispatch --------------------------------------------------------------------------------------------------

void Tutorial_Dispatch(int32_t event, int32_t a, int32_t b) {
    if (event < 0 || event >= kTutorialEvents) return;
    // Another dialog over the paused game: nothing reaches a step that is not already running.
    if (Dialog_Active && Dialog_Owner() == DIALOG_GAME && Tutorial_Current == -1 && Game_Paused == 1) return;
    const int32_t count = std::min(Tutorial_Count, int32_t(kTutorialSteps));
    for (int32_t id = 0; id < count; ++id) {
        const TutorialPtr t = Tutorials[size_t(id)]; // a counted reference: a handler may not pull it away
        if (!t) continue;
        if (Tutorial_Word(id) & (kTutDone | kTutOff)) continue;
        if (t->ScreenId != Screen_Current) continue;
        if (Tutorial_Current != -1 && Tutorial_Current != id) continue;
        if (t->MinLevel != -1 && t->MinLevel > Level_Current) continue;
        if (t->MaxLevel != -1 && t->MaxLevel < Level_Current) continue;
        const TutorialHandler h = t->Handlers[size_t(event)];
        if (h == Tutorial_NoHandler) continue;
        if (event == 12 && Tutorial_ClickAllowed == 0) continue;
        if (event == 14 && Tutorial_HammerAllowed == 0) continue;
        h(*t, a, b);
    }
}

// ---- Events ----------------------------------------------------------------------------------------------------

void Tutorial_OnEvent0() { Tutorial_Dispatch(0, 0, 0); }
void Tutorial_OnEvent1() { Tutorial_Dispatch(1, 0, 0); }
void Tutorial_OnEvent2(int32_t x, int32_t y) { Tutorial_Dispatch(2, x, y); }
void Tutorial_OnEvent3(int32_t x, int32_t y) { Tutorial_Dispatch(3, x, y); }
void Tutorial_OnEvent4(int32_t x, int32_t y) { Tutorial_Dispatch(4, x, y); }
void Tutorial_OnEvent5(int32_t x, int32_t y) { Tutorial_Dispatch(5, x, y); }
void Tutorial_OnEvent6(int32_t n) { Tutorial_Dispatch(6, n, 0); }
void Tutorial_OnEvent7(int32_t charge) { Tutorial_Dispatch(7, charge, 0); }
void Tutorial_OnEvent8() { Tutorial_Dispatch(8, 0, 0); }

void Tutorial_OnEvent11() {
    if (Tutorial_Current >= 0 && Tutorial_Current < kTutorialSteps) {
        if (Tutorial_OutOfPlace()) {
            Tutorial_Abort(); // the level ended under it or its screen was left: it may come again
        } else if (Tutorial_FrameKind != TUTFRAME_NONE && !Dialog_Active) {
            // A frame another dialog pushed aside (the time offer, the in-game menu) comes back once it is gone.
            Tutorial_OpenFrame(Tutorial_FrameKind, Tutorial_FramePauses);
        }
    }
    Tutorial_Dispatch(11, 0, 0);
}

int32_t Tutorial_OnEvent12(int32_t x, int32_t y) {
    Tutorial_ClickAllowed = 1;
    Tutorial_Dispatch(12, x, y);
    return Tutorial_ClickAllowed;
}

void Tutorial_OnEvent13(int32_t x, int32_t y) { Tutorial_Dispatch(13, x, y); }

int32_t Tutorial_OnEvent14(int32_t x, int32_t y) {
    Tutorial_HammerAllowed = 1;
    Tutorial_Dispatch(14, x, y);
    return Tutorial_HammerAllowed;
}

void Tutorial_OnEvent15() { Tutorial_Dispatch(15, 0, 0); }
void Tutorial_OnEvent16(int32_t button) { Tutorial_Dispatch(16, button, 0); }
void Tutorial_OnManaChanged(int32_t amount, int32_t reachedCap) { Tutorial_Dispatch(17, amount, reachedCap); }
void Tutorial_OnGemsAdded(int32_t colour, int32_t amount) { Tutorial_Dispatch(18, colour, amount); }

// ---- Board search ----------------------------------------------------------------------------------------------

bool Tutorial_FindPieceNearCentre(int32_t& column, int32_t& row) {
    const int32_t cx = Board_Cols / 2, cy = Board_Rows / 2;
    const auto holds = [](int32_t c, int32_t r) {
        return c >= 0 && r >= 0 && c < Board_Cols && r < Board_Rows && Board_Cells[c][r].Piece != nullptr;
    };
    for (int32_t k = 0;; ++k) {
        const int32_t x0 = cx - k, y0 = cy - k, s = 2 * k + 1;
        if (x0 < 0 || y0 < 0) break;
        for (int32_t i = 0; i < s; ++i) {
            const std::array<Point, 4> ring{{{x0 + i, y0}, {x0 + i, y0 + s}, {x0, y0 + i}, {x0 + s, y0 + i}}};
            for (const Point& p : ring)
                if (holds(p.x, p.y)) {
                    column = p.x;
                    row = p.y;
                    return true;
                }
        }
    }
    return false; // the caller says what it means (step 10 logs it, step 28 stays quiet)
}
