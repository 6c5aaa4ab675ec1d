// Makes every test executable headless unless the caller chose otherwise: SDL's offscreen video driver, software
// renderer, no GL for the window surface, dummy audio, and the harness's headless mode. Linked into each test
// executable by bq_test_dir(), so a test binary run by hand behaves as under CTest.
#include <cstdlib>

namespace {

struct HeadlessDefaults {
    HeadlessDefaults() {
        // Keep in step with BQ_TEST_ENV in cmake/Defaults.cmake.
        static const char* const kVars[][2] = {
            {"SDL_VIDEODRIVER", "offscreen"},      // windows without a display
            {"SDL_RENDER_DRIVER", "software"},     // exact pixels
            {"SDL_FRAMEBUFFER_ACCELERATION", "0"}, // no GL driver loaded for the window surface (leak-free)
            {"SDL_AUDIODRIVER", "dummy"},          // silent, no device needed
            {"BQ_HEADLESS", "1"},                  // message boxes to stderr, wallpaper never set
        };
        for (const auto& v : kVars)
            setenv(v[0], v[1], 0); // a value already set wins
    }
};
const HeadlessDefaults g_headlessDefaults;

} // namespace
