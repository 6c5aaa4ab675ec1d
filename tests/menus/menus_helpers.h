// Shared fixture of the menus tests: a fresh data folder per test, the canvas, the embedded archive, fonts and texts,
// the menus' own set-up, and a small main loop (mouse, dialog update, screen frame, dialog draw, flip) driven by a
// scripted input through the harness with a 16 ms fake clock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "main/runtime_helpers.h" // the file helpers and RunGame, shared with the runtime tests
#include "platform/system.h"

constexpr int64_t kSecond = 1000000; // the level clock's unit, µs

class MenusTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Restarts the harness with this input script (frames from 1) and lets frame 1's events in.
    void Script(const std::string& script);
    // Runs n passes of the main loop; everything written on standard output meanwhile is appended to out_.
    void Frames(int n);
    // Script, then n frames.
    void Run(const std::string& script, int n);
    // With BQ_PLAY_SHOTS set to a folder, the canvas of the last frame is kept there as name.png (for a look).
    void Shot(const char* name);
    // A first start done: player 0 named, in use, and no first-start box pending.
    void NamePlayer0(const std::string& name);
    // Anna's match under way, seen from a passing screen (2: the menu's frame, nothing started): level 7 of 180 s
    // with no time bought, three lives, neither paused nor relaxed.
    void MatchUnderWay();
    // The configuration and progress files read again, as at the next start.
    void Restart();

    std::string root_;    // the test's temporary folder
    std::string dataDir_; // the game's data folder in it
    std::string out_;     // standard output of the frames run so far
};

// The value of KEY in the configuration text file ("" when missing).
std::string ConfigFileValue(const std::string& dataDir, const std::string& key);
