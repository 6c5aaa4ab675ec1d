// Shared fixture of the tutorial tests: the whole game behind the play-test set-up (hooks, castles, texts, the
// tutorial and the tips made once), a new player's flags, and helpers that answer OK frames, play a level with the
// solver's moves and start a level through its level box. Used by tutorial_test.cpp and tutorial_castle_test.cpp.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include "../platform/sdl_push.h"
#include "board/board_hooks.h"
#include "board/play.h"
#include "castle/castle.h"
#include "castle_helpers.h"
#include "common/button_centre.h"
#include "common/test_common.h"
#include "main/config.h"
#include "main/progress.h"
#include "game/startup.h"
#include "main/screens.h"
#include "main/texts.h"
#include "menus/menus.h"
#include "platform/graphics.h"
#include "play_helpers.h"
#include "solver.h"

class TutorialPlay : public PlayTest {
  protected:
    void SetUp() override {
        PlayTest::SetUp();
        ct::UseWholeGame();
        static bool loaded = false;
        if (!loaded) {
            loaded = true;
            Tutorial_Init();
            Tips_Init();
        }
        Tutorial_Flags.fill(0);
        Tips_Shown.fill({});
        Tutorial_ResetRun();
        Tips_Place();
        Gold = 0;
        Match_Carried = Match_Carry{}; // no spell owned
        shown_.clear();
    }
    void TearDown() override {
        Tutorial_ResetRun();
        Board_Hooks = Board_HooksDefault();
        PlayTest::TearDown();
    }

    void Enter() {
        sdl_push::Tap(SDL_SCANCODE_RETURN);
        const int32_t step = Tutorial_Current;
        for (int32_t i = 0; i < 3 && Tutorial_Current == step && Dialog_Active; ++i)
            Frame();
    }
    // A click whose release the next frame's buttons see.
    void ClickAndSettle(Point at) {
        Click(at);
        Frame();
    }
    // Every step done but these: the lesson under test cannot be pre-empted by another.
    static void OnlySteps(std::initializer_list<int32_t> open) {
        for (int32_t id = 0; id < kTutorialSteps; ++id)
            if (std::find(open.begin(), open.end(), id) == open.end()) Tutorial_Word(id) |= kTutDone;
    }
    // Frames until the predicate holds (at most `limit`).
    template <class P> bool Until(P p, int32_t limit = 600) {
        for (int32_t i = 0; i < limit && !p(); ++i)
            Frame();
        return p();
    }
    // Plays the level with the solver's moves; each OK frame that shows is noted and answered with Enter.
    // Stops when `stop` holds, the game screen is left or `maxMoves` swaps were made.
    template <class P> void Play(P stop, int32_t maxMoves) {
        int32_t moves = 0;
        for (int32_t guard = 0; guard < 20000 && Screen_Current == kScreenGame && !stop() && moves < maxMoves;
             ++guard) {
            if (Tutorial_Current != -1 && Tutorial_FrameKind == TUTFRAME_OK && Dialog_Active) {
                shown_.push_back(Tutorial_Current);
                Enter();
                continue;
            }
            Point a, b;
            if (Game_Paused || !Board_Idle() || Level_Sweeping)
                Frame();
            else if (Solver_ChooseLauncher(a))
                Click(CellCentre(a));
            else if (Solver_ChooseMove(a, b)) {
                Drag(a, b);
                ++moves;
            } else
                Frame();
        }
    }
    // Starts level `level` and confirms its level box (the intro, when it shows, is closed first).
    void StartLevel(int32_t level) {
        Level_Current = level;
        Game_Start(0);
        ASSERT_EQ(Screen_Current, kScreenGame);
        for (int32_t i = 0; i < 400; ++i) {
            Frame();
            if (Dialog_Active && Dialog_Owner() == DIALOG_GAME && !MsgBox_Buttons.empty()) break;
            if (Tutorial_Current == 0 && Dialog_Active) Enter();
        }
        ASSERT_TRUE(Dialog_Active && Dialog_Owner() == DIALOG_GAME) << "the level box";
        ClickAndSettle(Centre(*MsgBox_Buttons.front()));
    }

    std::vector<int32_t> shown_; // steps whose OK frame was answered, in order
};
