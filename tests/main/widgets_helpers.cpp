// Shared set-up of the widget tests; see widgets_helpers.h.
#include "widgets_helpers.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "common/test_common.h"
#include "main/fonts.h"
#include "main/gui_button.h"
#include "main/texts.h"
#include "platform/graphics.h"
#include "platform/incbin.h"
#include "platform/input.h"
#include "platform/system.h"

namespace {

// The Debian font files the asset build embeds for each family (tools/assetgen_audio), used when this test
// executable runs without the packed archive.
struct FontFile {
    const char* name;
    const char* file;
};
constexpr FontFile kFontFiles[] = {
    {"fonts/UnZialish.ttf", "/usr/share/fonts/truetype/klaudia-berenika/Klaudia.ttf"},
    {"fonts/Trinigan.ttf", "/usr/share/fonts/opentype/quattrocento/Quattrocento-Regular.otf"},
    {"fonts/l_10646.ttf", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"},
    {"fonts/PS_14508.ttf", "/usr/share/fonts/opentype/linux-libertine/LinLibertine_R.otf"},
};

bool g_open = false;

} // namespace

void WidgetsTest_Open() {
    // Other tests of this executable may close the window, clear the archive or reload the fonts: every call makes
    // sure of each piece again.
    if (!g_open) {
        g_open = true;
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("SDL_RENDER_DRIVER", "software", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
    }
    ASSERT_TRUE(TestCanvas_Open());
    bool registered = false;
    for (const FontFile& f : kFontFiles) {
        if (Incbin_Exists(Str_FromUtf8(f.name))) continue;
        if (!registered && Incbin_RegisterBuiltin() && Incbin_Exists(Str_FromUtf8(f.name))) {
            registered = true; // the packed archive of the build
            continue;
        }
        std::ifstream in(f.file, std::ios::binary);
        ASSERT_TRUE(in) << "font file missing: " << f.file;
        Incbin_Register(Str_FromUtf8(f.name),
                        std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    }
    bool fontsLoaded = Font_EditorPath != nullptr;
    for (const FontPtr& f : Fonts)
        fontsLoaded = fontsLoaded && f != nullptr;
    if (!fontsLoaded) Fonts_Load();
    Texts_SetGerman();
    Texts_SetEnglish();
}

void WidgetsTest_Script(const std::string& script, int frameMs) {
    ASSERT_TRUE(TestScript_Start(script, frameMs));
    Sys_PollEvents(); // frame 1's events
    GUI_MouseInvalidate();
    Draw_ResetState();
}

void WidgetsTest_Flip() { Graphics_Flip(0); }

ImagePtr WidgetsTest_SolidImage(int w, int h, int r, int g, int b) {
    Pixmap pm = Pixmap_Create(w, h, PF_RGBA8888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            Pixmap_WritePixel(pm, x, y, 0xFF000000u | (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b));
    return Image_FromPixmap(pm, 0);
}

std::vector<uint8_t> WidgetsTest_SolidPng(int w, int h, int r, int g, int b) {
    Pixmap pm = Pixmap_Create(w, h, PF_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            Pixmap_WritePixel(pm, x, y, (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b));
    return Png_Encode(pm);
}

int WidgetsTest_CountInk(int x, int y, int w, int h, uint32_t background, int tolerance) {
    const Pixmap pm = Graphics_ReadPixels(x, y, w, h);
    int n = 0;
    for (int row = 0; row < pm.height; ++row)
        for (int col = 0; col < pm.width; ++col) {
            const uint8_t* p = &pm.bytes[size_t(row) * size_t(pm.pitch) + size_t(col) * 4];
            const int dr = std::abs(int(p[2]) - int((background >> 16) & 255));
            const int dg = std::abs(int(p[1]) - int((background >> 8) & 255));
            const int db = std::abs(int(p[0]) - int(background & 255));
            if (dr > tolerance || dg > tolerance || db > tolerance) ++n;
        }
    return n;
}

std::string WidgetsTest_Stdout(const std::function<void()>& f) {
    testing::internal::CaptureStdout();
    f();
    return testing::internal::GetCapturedStdout();
}
