// Shared inside the tutorial's three sources: the steps table's row (tutorial_steps.cpp) and the loading of the
// frame pictures (tutorial_frames.cpp), both used by Tutorial_Init (tutorial.cpp).
#pragma once

#include <cstdint>
#include <span>

#include "menus/menus.h"

// One row of the steps table: the step, its levels and screen, and up to three (event, handler) pairs (event -1:
// unused pair).
struct TutStepRow {
    int32_t id, minLevel, maxLevel, screen;
    struct On {
        int32_t event;
        TutorialHandler handler;
    } on[3];
};

// The 45 rows in the order the steps are made (0..33, 43, 44, 34..42).
std::span<const TutStepRow> Tut_StepsTable();
// Start-up: the frame, arrow and intro pictures and the OK frame's button.
void TutFrames_Load();
