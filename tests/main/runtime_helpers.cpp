// The runtime tests' fixture and the headless game runner.
#include "runtime_helpers.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/test_common.h"
#include "main/config.h"
#include "main/runtime.h"
#include "game/startup.h"
#include "platform/input.h"
#include "platform/system.h"

namespace fs = std::filesystem;

namespace {
// Every test of this folder runs with the game's hook tables filled, as the game does from its first step.
class GameHooks : public testing::Environment {
    void SetUp() override { Runtime_InstallHooks(); }
};
testing::Environment* const g_gameHooks = testing::AddGlobalTestEnvironment(new GameHooks);
} // namespace

void RuntimeTest::SetUp() {
    root_ = TestTemp_Make("runtime");
    ASSERT_FALSE(root_.empty());
    dataDir_ = root_ + "/data/Brisquel2";
    appDir_ = root_ + "/app";
    TestTemp_UseAsGameHome(root_, true);
    fs::create_directories(appDir_ + "/levels");
    Startup_DesktopOverrideW = 0;
    Startup_DesktopOverrideH = 0;
    Folders_Init();
}

void RuntimeTest::TearDown() { TestTemp_Remove(root_); }

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string ReadText(const std::string& path) {
    const auto b = ReadBytes(path);
    return std::string(b.begin(), b.end());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void WriteText(const std::string& path, const std::string& text) { WriteBytes(path, {text.begin(), text.end()}); }

bool FileExists(const std::string& path) { return fs::exists(path); }

int32_t LeInt(const std::vector<uint8_t>& b, size_t at) {
    return int32_t(uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24);
}

float LeFloat(const std::vector<uint8_t>& b, size_t at) {
    const int32_t v = LeInt(b, at);
    float f;
    std::memcpy(&f, &v, 4);
    return f;
}

int RunGame(int exitAfter, const std::string& script, std::string* out, const std::vector<HarnessScreenshot>& shots) {
    Sys_Init(0, nullptr);
    HarnessConfig h;
    h.headless = true;
    h.frameMs = 16;
    h.exitAfter = exitAfter;
    h.inputScript = script;
    h.haveSeed = true;
    h.seed = 1;
    h.screenshots = shots;
    EXPECT_TRUE(Harness_Configure(h));
    Sys_ClearCloseRequest();
    Input_Reset();
    if (out) ::testing::internal::CaptureStdout();
    const int code = Main_Body();
    if (out) *out = ::testing::internal::GetCapturedStdout();
    Harness_Configure(HarnessConfig{});
    Sys_ClearCloseRequest();
    return code;
}
