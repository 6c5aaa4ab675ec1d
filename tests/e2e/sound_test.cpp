// The game's sound as a player hears it, recorded for measuring (BQ_E2E_SOUND=<folder>; tools/measure_sound.sh
// runs it and meters the files): the main menu for half a minute, then level 1 played with cascades at a player's
// pace (a move, then a second and a half to look at the board). Normally there is no audio device: each frame this
// test runs the mixer for exactly that frame's game time, so the recording is the same on every run. With
// SDL_AUDIODRIVER=disk the device runs instead and SDL writes what it plays to SDL_DISKAUDIOFILE; the game is then
// held to the real clock so that the device keeps pace. BQ_E2E_SOUND_VOLUMES="fx music" sets both volumes of every
// player (default: the players' own). Writes menu.raw, play.raw (the game screen only) and all.raw: 32-bit float
// stereo at 44.1 kHz, as the "disk" driver writes.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "driver_helpers.h"
#include "main/config.h"
#include "main/progress.h"
#include "main/runtime_helpers.h"
#include "main/screens.h"
#include "platform/sound.h"
#include "platform/system.h"

namespace {

class E2eSound : public RuntimeTest {};

void WriteRaw(const std::string& path, const std::vector<float>& samples) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(samples.data()), std::streamsize(samples.size() * sizeof(float)));
    ASSERT_TRUE(out.good()) << path;
}

TEST_F(E2eSound, RecordMenuAndLevelOne) {
    const char* dir = std::getenv("BQ_E2E_SOUND");
    if (!dir) GTEST_SKIP() << "BQ_E2E_SOUND=<folder> records the game's sound there";
    float fx = -1, music = -1;
    if (const char* v = std::getenv("BQ_E2E_SOUND_VOLUMES")) {
        ASSERT_EQ(std::sscanf(v, "%f %f", &fx, &music), 2) << v;
    }
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    const bool device = driver && std::string(driver) == "disk";
    if (!device) setenv("SDL_AUDIODRIVER", "none-such", 1); // no device: the mixer runs only here, with the game
    const auto started = std::chrono::steady_clock::now();
    int32_t gameMs = 0; // game time since the first frame
    std::vector<float> menu, play, all, block;
    int32_t lastMs = 0;
    double owed = 0; // output frames due but not rendered yet (a frame's time is not a whole number of them)
    DriverGoal goal;
    goal.menuFrames = 30 * 60;
    goal.moveWait = 90;
    goal.frameLimit = 60 * 60 * 10;
    goal.everyFrame = [&] {
        if (fx >= 0) Vol_Fx.fill(fx), Vol_Music.fill(music);
        const int32_t now = Sys_Millisecs();
        const bool counting = Screen_Current == kScreenMainMenu || Screen_Current == kScreenGame || !all.empty();
        if (lastMs != 0) gameMs += now - lastMs;
        if (lastMs != 0 && counting) owed += double(now - lastMs) * kMixerRate / 1000.0;
        lastMs = now;
        if (device) return std::this_thread::sleep_until(started + std::chrono::milliseconds(gameMs));
        const int frames = int(owed);
        owed -= frames;
        block.assign(size_t(frames) * 2, 0.0f);
        if (frames > 0) Mixer_Render(block.data(), frames);
        all.insert(all.end(), block.begin(), block.end());
        if (Screen_Current == kScreenMainMenu) menu.insert(menu.end(), block.begin(), block.end());
        if (Screen_Current == kScreenGame) play.insert(play.end(), block.begin(), block.end());
    };
    const DriverReport r = Driver_Run(goal);
    for (const LevelLine& l : r.levels)
        std::printf("%s\n", Driver_Line(l).c_str());
    EXPECT_EQ(r.exitCode, 0);
    WriteRaw(std::string(dir) + "/menu.raw", menu);
    WriteRaw(std::string(dir) + "/play.raw", play);
    WriteRaw(std::string(dir) + "/all.raw", all);
}

} // namespace
