// Shared fixture of the runtime tests: a fresh data folder and program folder per test, file helpers, and a
// headless run of the whole game under the harness (fake clock, scripted input, exit after a frame).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/system.h"

// A fresh temporary XDG_DATA_HOME and BQ_APP_FOLDER for one test; removed afterwards.
class RuntimeTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::string root_;    // the test's temporary folder
    std::string dataDir_; // root_/data/Brisquel2 (the game's data folder)
    std::string appDir_;  // root_/app (the program folder)
};

std::vector<uint8_t> ReadBytes(const std::string& path);
std::string ReadText(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
void WriteText(const std::string& path, const std::string& text);
bool FileExists(const std::string& path);
int32_t LeInt(const std::vector<uint8_t>& b, size_t at);
float LeFloat(const std::vector<uint8_t>& b, size_t at);

// Runs Main_Body headless with a 16 ms fake clock until `exitAfter` frames have been shown (start-up's pictures
// count as frames 1 to 4). Returns its exit code; stdout is captured into *out when given.
int RunGame(int exitAfter, const std::string& script = "", std::string* out = nullptr,
            const std::vector<HarnessScreenshot>& shots = {});
constexpr int kStartupFrames = 4; // frames the start-up shows before the main loop's first
