// Tests of main/assets.cpp: the "failed loading " line, the shared cache and its keys, private copies that do not
// change the cached image, strips, full-screen backgrounds and the start-up image step.
#include <gtest/gtest.h>

#include "main/assets.h"
#include "platform/graphics.h"
#include "platform/incbin.h"
#include "widgets_helpers.h"

namespace {

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

class Assets : public testing::Test {
  protected:
    void SetUp() override {
        WidgetsTest_Open();
        Images_ClearCache();
        Incbin_Register(u"Images/Test/red.png", WidgetsTest_SolidPng(8, 6, 255, 0, 0));
    }
};

TEST_F(Assets, MissingImageIsOneLineAndNull) {
    ImagePtr a, b, c;
    std::string out = WidgetsTest_Stdout([&] {
        a = Images_Get(u".\\Images\\Test\\missing.png");
        b = Images_Get(u"images/test/MISSING.png"); // the same file: no second line
    });
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(b, nullptr);
    EXPECT_EQ(Count(out, "failed loading "), 1);
    EXPECT_NE(out.find("failed loading .\\Images\\Test\\missing.png\r\n"), std::string::npos);
    // The owner's loader reports each load it makes, with the path it was given.
    out = WidgetsTest_Stdout([&] { c = Asset_LoadImage(u".\\Images\\GUI\\none.png"); });
    EXPECT_EQ(c, nullptr);
    EXPECT_EQ(out, "failed loading .\\Images\\GUI\\none.png\r\n");
    out = WidgetsTest_Stdout([&] { c = Asset_LoadAnimImage(u"Images/none_strip.png", 4, 4, 3); });
    EXPECT_EQ(out, "failed loading Images/none_strip.png\r\n");
    // A present file: no line.
    out = WidgetsTest_Stdout([&] { c = Asset_LoadImage(u".\\Images\\Test\\red.png"); });
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(Image_Width(c), 8);
}

TEST_F(Assets, CacheKeysOnPathLayoutAndFlags) {
    const ImagePtr a = Images_Get(u".\\Images\\Test\\red.png");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(Images_Get(u"incbin::images/test/RED.png"), a);
    EXPECT_EQ(Images_Get(u"./Images/Test/red.png"), a);
    EXPECT_NE(Images_Get(u"Images/Test/red.png", IMG_MASKED), a);
    const ImagePtr strip = Images_GetAnim(u"Images/Test/red.png", 4, 3, 4);
    ASSERT_NE(strip, nullptr);
    EXPECT_NE(strip, a);
    EXPECT_EQ(Image_Frames(strip), 4);
    EXPECT_EQ(Images_GetAnim(u"images\\test\\red.png", 4, 3, 4), strip);
    EXPECT_EQ(Images_CacheSize(), 3);
    // Loads through the owner's loader are never shared.
    EXPECT_NE(Asset_LoadImage(u"Images/Test/red.png"), Asset_LoadImage(u"Images/Test/red.png"));
}

TEST_F(Assets, ChangingACopyLeavesTheCachedImageAlone) {
    const ImagePtr shared = Images_Get(u"Images/Test/red.png");
    const ImagePtr mine = Images_GetCopy(u"Images/Test/red.png");
    ASSERT_NE(mine, nullptr);
    EXPECT_NE(mine, shared);
    Pixmap* pm = Image_Lock(mine, 0, LOCK_WRITE);
    ASSERT_NE(pm, nullptr);
    Pixmap_WritePixel(*pm, 2, 2, 0xFF00FF00u);
    Image_Unlock(mine, 0);
    Image_CentreHandle(mine);

    const Pixmap* sp = Image_Lock(shared, 0, LOCK_READ);
    EXPECT_EQ(Pixmap_ReadPixel(*sp, 2, 2), 0xFFFF0000u);
    Image_Unlock(shared, 0);
    EXPECT_EQ(Image_HandleX(shared), 0);
    EXPECT_EQ(Image_HandleX(mine), 4);
    // A second caller still gets the untouched shared image; drawn, it is red where the copy is green.
    EXPECT_EQ(Images_Get(u"Images/Test/red.png"), shared);
    Draw_ResetState();
    Draw_Cls();
    Draw_Image(shared, 10, 10);
    Draw_Image(mine, 40, 40); // centred handle: top-left at (36, 37)
    EXPECT_EQ(TestCanvas_Pixel(12, 12), 0xFF0000u);
    EXPECT_EQ(TestCanvas_Pixel(38, 39), 0x00FF00u);
}

TEST_F(Assets, CopiesOfStripsKeepEveryFrame) {
    // A 2 x 2 grid of 4 x 3 cells, each cell its own colour.
    Pixmap src = Pixmap_Create(8, 6, PF_RGB888);
    const uint32_t colours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            Pixmap_WritePixel(src, x, y, colours[(y / 3) * 2 + x / 4]);
    Incbin_Register(u"Images/Test/grid.png", Png_Encode(src));
    const ImagePtr strip = Images_GetAnimCopy(u"Images/Test/grid.png", 4, 3, 4);
    ASSERT_NE(strip, nullptr);
    ASSERT_EQ(Image_Frames(strip), 4);
    EXPECT_EQ(Image_Width(strip), 4);
    EXPECT_EQ(Image_Height(strip), 3);
    for (int f = 0; f < 4; ++f) {
        const Pixmap* pm = Image_Lock(strip, f, LOCK_READ);
        ASSERT_NE(pm, nullptr);
        EXPECT_EQ(Pixmap_ReadPixel(*pm, 3, 2) & 0xFFFFFF, colours[f]) << f;
        Image_Unlock(strip, f);
    }
    EXPECT_EQ(Image_Copy(nullptr), nullptr);
}

TEST_F(Assets, FullscreenBackgroundAtTheOrigin) {
    Incbin_Register(u"Images/Test/bg.png", WidgetsTest_SolidPng(800, 600, 0, 0, 255));
    Draw_ResetState();
    Draw_SetClsColor(0, 0, 0);
    Draw_Cls();
    Background_DrawFullscreen(Images_Get(u"Images/Test/bg.png"));
    EXPECT_EQ(TestCanvas_Pixel(0, 0), 0x0000FFu);
    EXPECT_EQ(TestCanvas_Pixel(799, 599), 0x0000FFu);
    Background_DrawFullscreen(nullptr); // draws nothing, no crash
}

TEST_F(Assets, StartupStepCachesTheEffectImages) {
    for (const char16_t* path : Images_EffectPaths)
        Incbin_Register(path, WidgetsTest_SolidPng(16, 16, 255, 255, 255));
    // The strips among them (the effects cut them into frames): 16 frames of 24, 32 of 32, 24 of 64 (a 5 x 5 grid).
    Incbin_Register(u"incbin::images/effects/spark8.png", WidgetsTest_SolidPng(24 * 16, 24, 255, 255, 255));
    Incbin_Register(u"incbin::images/effects/spark6.png", WidgetsTest_SolidPng(32 * 32, 32, 255, 255, 255));
    Incbin_Register(u"incbin::images/effects/Spark17.png", WidgetsTest_SolidPng(320, 320, 255, 255, 255));
    const std::string out = WidgetsTest_Stdout([] { Images_LoadAll(); });
    for (const char16_t* path : Images_EffectPaths)
        EXPECT_EQ(out.find(Str_ToUtf8(path)), std::string::npos);
    const int cached = Images_CacheSize();
    EXPECT_GE(cached, int(Images_EffectPaths.size()));
    EXPECT_NE(Images_Get(u"images/effects/Spark17.png"), nullptr);
    EXPECT_EQ(Images_CacheSize(), cached); // served from the cache
}

} // namespace
