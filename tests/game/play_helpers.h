// Shared set-up of the play tests: a headless window with the game's archive, fonts and board pictures, a fresh data
// folder, the main loop's pass around the current screen's frame, and mouse clicks on board cells pushed as real
// SDL events. Used by the game tests and by the castle, menus and editor tests that play through the game screen;
// implemented in play_helpers.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "board/play.h"

class PlayTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // One pass of the main loop: mouse, dialog, the current screen's frame, flip, frame timer.
    void Frame();
    void Frames(int32_t n) {
        for (int32_t i = 0; i < n; ++i)
            Frame();
    }
    // Centre of a cell on the screen.
    static Point CellCentre(Point cell);
    // Pushes the pointer to (x, y) and a press, and the release a frame later (as a hand on the mouse would).
    void Click(Point screen);
    // Pushes a press on one cell, a move to the other while held, and the release (a drag).
    void Drag(Point from, Point to);

    std::string root_; // temporary folder of the test (its data folder inside)
};

// The texts and the dialogs the level end and Esc open (the boxes' pictures, the level-won dialog, the in-game menu),
// made once per process, for the tests that let the game screen open them.
void PlayTest_LoadDialogs();

// A file's bytes (empty when missing) and writing them back.
std::vector<uint8_t> Bytes(const Str& path);
void PutBytes(const Str& path, const std::vector<uint8_t>& bytes);
