// Tests of src/main/wallpaper.cpp: the BMP bytes (header, bottom-up rows, row padding), writing a wallpaper once
// only and again when the file on disk is damaged, a missing picture, and the setter's diagnostic line.
#include <filesystem>

#include <gtest/gtest.h>

#include "main/wallpaper.h"
#include "platform/graphics.h"
#include "platform/incbin.h"
#include "runtime_helpers.h"

namespace {

// A 3 x 2 picture: top row red, green, blue; bottom row white, black, grey (row bytes 9, padded to 12).
Pixmap TestPicture() {
    Pixmap pm = Pixmap_Create(3, 2, PF_RGB888);
    const uint32_t px[2][3] = {{0xFFFF0000, 0xFF00FF00, 0xFF0000FF}, {0xFFFFFFFF, 0xFF000000, 0xFF808080}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            Pixmap_WritePixel(pm, x, y, px[y][x]);
    return pm;
}

uint16_t Le16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

void ExpectTestPictureBmp(const std::vector<uint8_t>& b) {
    ASSERT_EQ(b.size(), 54u + 2 * 12);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(LeInt(b, 2), 78);  // file size
    EXPECT_EQ(LeInt(b, 10), 54); // pixel data offset
    EXPECT_EQ(LeInt(b, 14), 40); // info header size
    EXPECT_EQ(LeInt(b, 18), 3);
    EXPECT_EQ(LeInt(b, 22), 2); // positive: bottom-up
    EXPECT_EQ(Le16(b, 26), 1);
    EXPECT_EQ(Le16(b, 28), 24);
    EXPECT_EQ(LeInt(b, 30), 0);
    EXPECT_EQ(LeInt(b, 34), 24);
    // First stored row is the picture's bottom row, pixels as B G R, then 3 padding bytes.
    const std::vector<uint8_t> bottom = {255, 255, 255, 0, 0, 0, 128, 128, 128, 0, 0, 0};
    const std::vector<uint8_t> top = {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 54, b.begin() + 66), bottom);
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 66, b.begin() + 78), top);
}

TEST(Wallpaper, BmpHeaderBottomUpRowsAndPadding) {
    ExpectTestPictureBmp(Img_ToBmp(TestPicture()));
    // Every pixel format gives the same file.
    ExpectTestPictureBmp(Img_ToBmp(Pixmap_Convert(TestPicture(), PF_BGRA8888)));
    // A width that needs no padding.
    const auto b = Img_ToBmp(Pixmap_Create(4, 1, PF_RGB888));
    EXPECT_EQ(b.size(), 54u + 12);
}

class WallpaperFile : public RuntimeTest {};

TEST_F(WallpaperFile, WrittenOnceFromTheGermanPicture) {
    const std::vector<uint8_t> png = Png_Encode(TestPicture());
    ASSERT_FALSE(png.empty());
    Incbin_Register(u"Images/Wallpapers/wallpaper_9_german.jpg", png);
    ASSERT_TRUE(Wallpaper_WriteBmp(9));
    const std::string path = dataDir_ + "/wallpaper_9.bmp";
    ExpectTestPictureBmp(ReadBytes(path));
    // An existing file of the right size is left alone.
    const std::string kept(size_t(Bmp_FileSize(3, 2)), 'k');
    WriteText(path, kept);
    EXPECT_TRUE(Wallpaper_WriteBmp(9));
    EXPECT_EQ(ReadText(path), kept);
}

TEST_F(WallpaperFile, DamagedFileIsWrittenAgainWhole) {
    Incbin_Register(u"Images/Wallpapers/wallpaper_9_german.jpg", Png_Encode(TestPicture()));
    const std::string path = dataDir_ + "/wallpaper_9.bmp";
    for (const std::string& damaged : {std::string("BM\x4e"), std::string(200, 'x')}) { // cut short, too long
        WriteText(path, damaged);
        ::testing::internal::CaptureStdout();
        EXPECT_TRUE(Wallpaper_WriteBmp(9));
        EXPECT_NE(::testing::internal::GetCapturedStdout().find("wrong size"), std::string::npos);
        ExpectTestPictureBmp(ReadBytes(path));
    }
}

// A folder in the file's place is set aside with a diagnostic line (before, the wallpaper could never be set).
TEST_F(WallpaperFile, AFolderInItsPlaceIsSetAside) {
    Incbin_Register(u"Images/Wallpapers/wallpaper_9_german.jpg", Png_Encode(TestPicture()));
    const std::string path = dataDir_ + "/wallpaper_9.bmp";
    std::filesystem::create_directories(path + "/inside");
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(Wallpaper_WriteBmp(9));
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("set aside"), std::string::npos);
    ExpectTestPictureBmp(ReadBytes(path));
    EXPECT_TRUE(std::filesystem::is_directory(path + ".bad/inside"));
}

TEST_F(WallpaperFile, MissingPictureWritesNothing) {
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(Wallpaper_WriteBmp(77));
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("failed loading"), std::string::npos);
    EXPECT_NE(out.find("wallpaper_77_german.jpg"), std::string::npos);
    EXPECT_FALSE(FileExists(dataDir_ + "/wallpaper_77.bmp"));
}

TEST_F(WallpaperFile, SetterWritesItsResult) {
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(Wallpaper_Set(u"/nowhere/wallpaper_1.bmp")); // headless: never changes the desktop
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Wallpaper_Set /nowhere/wallpaper_1.bmp: 0\r\n");
}

} // namespace
