// The point a scripted click on one of the game's buttons aims at: the middle of its hit area. Header only, for the
// tests that play the game's screens (they link the board and the services).
#pragma once

#include "board/board.h"
#include "main/gui_button.h"

inline Point Centre(const GUIBtn& b) {
    return Point{int32_t(b.x) + b.hitX + b.hitW / 2, int32_t(b.y) + b.hitY + b.hitH / 2};
}
