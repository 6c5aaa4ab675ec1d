// Helpers that more than one test folder uses; see test_common.h.
#include "common/test_common.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/system.h"

bool TestCanvas_Open() {
    if (Graphics_IsOpen()) return true;
    Sys_Init(0, nullptr);
    return Graphics_Open(kCanvasWidth, kCanvasHeight, true);
}

uint32_t TestCanvas_Pixel(int x, int y) {
    const Pixmap pm = Graphics_ReadPixels(x, y, 1, 1);
    return pm.width == 1 && pm.height == 1 ? Pixmap_ReadPixel(pm, 0, 0) & 0xFFFFFFu : 0xFFFFFFFFu;
}

bool TestScript_Start(const std::string& script, int frameMs) {
    HarnessConfig config;
    config.headless = true;
    config.frameMs = frameMs;
    config.inputScript = script;
    const bool ok = Harness_Configure(config);
    Input_Reset();
    return ok;
}

std::string TestPicture_Path(const std::string& name) {
    std::error_code ec;
    std::filesystem::create_directories(BQ_TEST_PICTURES, ec);
    return std::string(BQ_TEST_PICTURES) + "/" + name;
}

bool TestPicture_Save(const std::string& name) { return Graphics_SaveScreenshot(Str_FromUtf8(TestPicture_Path(name))); }

void TestPicture_ShotIfAsked(const std::string& name) {
    if (const char* dir = std::getenv("BQ_PLAY_SHOTS"))
        Graphics_SaveScreenshot(Str_FromUtf8(std::string(dir) + "/" + name));
}

std::string TestTemp_Make(const std::string& prefix) {
    const char* base = std::getenv("TMPDIR");
    std::string templ = std::string(base && *base ? base : "/tmp") + "/bq_" + prefix + "_XXXXXX";
    return mkdtemp(templ.data()) ? templ : std::string();
}

void TestTemp_UseAsGameHome(const std::string& root, bool appFolder) {
    setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
    if (!appFolder) return;
    std::error_code ec;
    std::filesystem::create_directories(root + "/app", ec);
    setenv("BQ_APP_FOLDER", (root + "/app").c_str(), 1);
}

void TestTemp_Remove(const std::string& path) {
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove_all(path, ec);
}
