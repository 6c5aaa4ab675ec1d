// Tests of the embedded pictures made by tools/assetgen_images: every file of the generator's table opens through
// "incbin::" under any spelling with its size and frame count, the sizes the game states hold, dialog frames have
// see-through button slots, pixel-scan sources lock as RGB888 with red in every band, button states differ as the
// art direction says, and a fresh run of the generator gives the embedded bytes again.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "assetgen_images/inventory.h"
#include "platform/image.h"
#include "platform/incbin.h"
#include "platform/stream.h"
#include "platform/strings.h"

namespace {

using imagegen::ImageRow;

class EmbeddedImages : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(Incbin_RegisterBuiltin()); }
};

ImagePtr Load(const std::string& path, int fw = 0, int fh = 0, int frames = 1) {
    const Str name = S("incbin::" + path);
    return frames > 1 ? Image_LoadAnim(name, fw, fh, 0, frames, 0) : Image_Load(name, 0);
}

uint32_t Argb(const ImagePtr& img, int x, int y, int frame = 0) {
    const Pixmap* pm = Image_Lock(img, frame, LOCK_READ);
    const uint32_t p = pm ? Pixmap_ReadPixel(*pm, x, y) : 0;
    Image_Unlock(img, frame);
    return p;
}
int Alpha(const ImagePtr& img, int x, int y) { return int(Argb(img, x, y) >> 24); }

// Mean brightness of the opaque pixels of a one-frame image.
double MeanLight(const ImagePtr& img) {
    const Pixmap* pm = Image_Lock(img, 0, LOCK_READ);
    if (!pm) {
        ADD_FAILURE() << "no image";
        return 0;
    }
    double sum = 0;
    long n = 0;
    for (int y = 0; y < pm->height; ++y)
        for (int x = 0; x < pm->width; ++x) {
            const uint32_t p = Pixmap_ReadPixel(*pm, x, y);
            if ((p >> 24) > 200) {
                sum += ((p >> 16) & 255) + ((p >> 8) & 255) + (p & 255);
                ++n;
            }
        }
    Image_Unlock(img, 0);
    return n ? sum / n : 0;
}

std::string Upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return s;
}

} // namespace

TEST_F(EmbeddedImages, EveryTableRowLoadsWithItsSizeAndFrameCount) {
    ASSERT_GT(imagegen::Inventory().size(), 250u);
    for (const ImageRow& s : imagegen::Inventory()) {
        const ImagePtr img = Load(s.path, s.width, s.height, s.frames);
        ASSERT_TRUE(img) << s.path;
        EXPECT_EQ(Image_Width(img), s.width) << s.path;
        EXPECT_EQ(Image_Height(img), s.height) << s.path;
        EXPECT_EQ(Image_Frames(img), s.frames) << s.path;
    }
}

TEST_F(EmbeddedImages, EveryPathResolvesUnderItsCaseAndSlashVariants) {
    for (const ImageRow& s : imagegen::Inventory()) {
        std::vector<uint8_t> canonical;
        ASSERT_TRUE(File_ReadAll(S("incbin::" + s.path), canonical)) << s.path;
        std::string back = s.path;
        std::replace(back.begin(), back.end(), '/', '\\');
        for (const std::string& v : {".\\" + back, Upper(s.path), "./" + s.path, "incbin::" + back}) {
            std::vector<uint8_t> bytes;
            ASSERT_TRUE(File_ReadAll(S(v.rfind("incbin::", 0) == 0 ? v : "incbin::" + v), bytes)) << v;
            EXPECT_EQ(bytes, canonical) << v;
        }
    }
}

TEST_F(EmbeddedImages, SizesTheGameStatesHold) {
    struct Stated {
        const char* path;
        int w, h, frames;
    } stated[] = {
        {"Images/MainMenu/mm_00.jpg", 800, 600, 1},
        {"Images/MainMenu/mm_02.png", 800, 600, 1},
        {"Images/MainMenu/mm_04.png", 800, 600, 1},
        {"Images/MainMenu/mm_interf_bg.png", 245, 548, 1},
        {"Images/MainMenu/mm_logo.png", 340, 133, 1},
        {"Images/MainMenu/mm_btn_play_hovered.png", 117, 114, 1},
        {"Images/MainMenu/mm_btn_relaxed_pressed.png", 182, 27, 1},
        {"Images/MainMenu/mm_btn_user_default.png", 169, 27, 1},
        {"Images/MainMenu/mm_btn_wallpapers_default.png", 145, 28, 1},
        {"Images/MainMenu/mm_btn_options_default.png", 117, 27, 1},
        {"Images/MainMenu/mm_btn_exit_default.png", 80, 81, 1},
        {"Images/MainMenu/mm_bird30_left.png", 30, 30, 21},
        {"Images/MainMenu/mm_bird36_right.png", 36, 36, 21},
        {"Images/MainMenu/mm_bird100a_left.png", 100, 100, 64},
        {"Images/MainMenu/mm_bird100b_right.png", 100, 100, 64},
        {"Images/GUI/Dlgs/dlg1_btn_default.png", 167, 56, 1},
        {"Images/GUI/Dlgs/dlg2_bg.png", 352, 242, 1},
        {"Images/GUI/Dlgs/dlg2_btn_pressed.png", 119, 28, 1},
        {"Images/GUI/Dlgs/dlg3_bg.png", 462, 302, 1},
        {"Images/GUI/Dlgs/dlg3_btn_hovered.png", 99, 28, 1},
        {"Images/GUI/Dlgs/wingame_bg_german.jpg", 800, 600, 1},
        {"Images/GUI/Dlgs/wl_frame.png", 476, 325, 1},
        {"Images/GUI/Dlgs/wl_coin.png", 36, 36, 1},
        {"Images/GUI/Dlgs/wl_btn_default.png", 161, 32, 1},
        {"Images/GUI/Dlgs/hs_frame.png", 275, 557, 1},
        {"Images/GUI/Dlgs/hs_btn_default.png", 99, 37, 1},
        {"Images/GUI/Dlgs/IGMenu_frame.png", 316, 492, 1},
        {"Images/GUI/Dlgs/IGMenu_btn_default.png", 230, 33, 1},
        {"Images/GUI/Tutorial/tut_arrow.png", 72, 30, 1},
        {"Images/GUI/Dlgs/help_frame_german.png", 800, 600, 1},
        {"Images/GUI/Dlgs/wall_frame.png", 800, 113, 1},
        {"Images/effects/tile_part1.png", 24, 24, 64},
        {"Images/effects/tile_part2.png", 24, 24, 64},
        {"Images/effects/tile_part_proxy.png", 48, 48, 80},
        {"images/effects/spark6.png", 32, 32, 32},
        {"images/effects/Gold_Coin.png", 32, 32, 16},
        {"images/maillon_28x20_15.png", 28, 20, 15},
        {"images/effects/youlose_german.png", 128, 32, 1},
        {"images/effects/youwin00023_german.png", 128, 32, 1},
        {"PNO_Graphics/Mouse01_Normal.png", 28, 30, 9},
        {"PNO_Graphics/Mouse01_Help.png", 28, 30, 11},
        {"PNO_Graphics/Mouse02_Busy.png", 32, 32, 6},
        {"Images/Start/logo_game.jpg", 800, 600, 1},
        {"Images/Start/logo_studio.jpg", 800, 600, 1},
        {"Images/Start/loading.jpg", 800, 600, 1},
        {"Images/Start/pause.jpg", 800, 600, 1},
        {"Images/Start/icon.png", 64, 64, 1},
    };
    for (const Stated& s : stated) {
        const ImagePtr img = Load(s.path, s.w, s.h, s.frames);
        ASSERT_TRUE(img) << s.path;
        EXPECT_EQ(Image_Width(img), s.w) << s.path;
        EXPECT_EQ(Image_Height(img), s.h) << s.path;
        EXPECT_EQ(Image_Frames(img), s.frames) << s.path;
    }
    // the toolkit's skin is complete: 80 pictures below its folder
    int skin = 0;
    for (const ImageRow& s : imagegen::Inventory()) {
        skin += s.path.rfind("PNO_Graphics/Default_Skin/", 0) == 0;
    }
    EXPECT_EQ(skin, 80);
}

TEST_F(EmbeddedImages, FramesAreSeeThroughWhereTheGameDrawsTheirButtons) {
    // slots at the places the game puts the buttons of its fixed-size frames (position and button size)
    struct Stated {
        const char* frame;
        int x, y, w, h;
    } stated[] = {
        {"Images/MainMenu/mm_interf_bg.png", 68, 116, 117, 114}, {"Images/MainMenu/mm_interf_bg.png", 35, 257, 182, 27},
        {"Images/MainMenu/mm_interf_bg.png", 42, 314, 169, 27},  {"Images/MainMenu/mm_interf_bg.png", 54, 361, 145, 28},
        {"Images/MainMenu/mm_interf_bg.png", 67, 409, 117, 27},  {"Images/MainMenu/mm_interf_bg.png", 86, 448, 80, 81},
        {"Images/GUI/Dlgs/dlg2_bg.png", 117, 200, 119, 28},      {"Images/GUI/Dlgs/dlg3_bg.png", 74, 205, 99, 28},
        {"Images/GUI/Dlgs/dlg3_bg.png", 195, 205, 99, 28},       {"Images/GUI/Dlgs/wl_frame.png", 157, 276, 161, 32},
        {"Images/GUI/Dlgs/hs_frame.png", 43, 452, 99, 37},       {"Images/GUI/Dlgs/hs_frame.png", 104, 398, 99, 37},
        {"Images/GUI/Dlgs/IGMenu_frame.png", 46, 236, 230, 33},  {"Images/GUI/Dlgs/IGMenu_frame.png", 46, 307, 230, 33},
        {"Images/GUI/Dlgs/IGMenu_frame.png", 46, 378, 230, 33},
    };
    auto check = [](const char* frame, int x, int y, int w, int h) {
        const ImagePtr img = Load(frame);
        ASSERT_TRUE(img) << frame;
        EXPECT_EQ(Alpha(img, x + w / 2, y + h / 2), 0) << frame << " slot at " << x << "," << y;
        EXPECT_EQ(Alpha(img, x + w / 4, y + h / 2), 0) << frame << " slot at " << x << "," << y;
        // a hole, not an empty picture: the frame is solid just outside the slot
        EXPECT_GT(Alpha(img, x + w / 2, y - 3), 128) << frame << " above slot " << x << "," << y;
    };
    for (const Stated& s : stated) {
        check(s.frame, s.x, s.y, s.w, s.h);
    }
    // every slot of the frames whose sizes the generator chose, with the size of the button image it holds
    for (const imagegen::Slot& s : imagegen::FrameSlots()) {
        check(s.frame, s.x, s.y, s.w, s.h);
    }
}

TEST_F(EmbeddedImages, ChosenButtonSizesFitTheirSlots) {
    // buttons whose sizes the generator chose must match the slot the frame leaves for them
    struct Pair {
        const char* button;
        const char* frame;
        int slotIndex; // n-th slot of that frame in the table
    } pairs[] = {
        {"Images/GUI/Dlgs/opt_btn_back_default.png", "Images/GUI/Dlgs/opt_frame.png", 0},
        {"Images/GUI/Dlgs/opt_btn_default.png", "Images/GUI/Dlgs/opt_frame.png", 1},
        {"Images/GUI/Dlgs/players_btn_default.png", "Images/GUI/Dlgs/players_bg.png", 0},
        {"Images/GUI/Dlgs/credits_btn_default.png", "Images/GUI/Dlgs/credits_frame.png", 0},
        {"Images/GUI/Dlgs/credits_btn_default.png", "Images/GUI/Dlgs/help_frame_german.png", 0},
        {"Images/GUI/Dlgs/help_btn_next_default.png", "Images/GUI/Dlgs/help_frame_german.png", 1},
        {"Images/GUI/Dlgs/credits_btn_default.png", "Images/GUI/Tutorial/tut0_frame_german_orig.png", 0},
        {"Images/GUI/Dlgs/wall_btn1_default.png", "Images/GUI/Dlgs/wall_frame.png", 0},
        {"Images/GUI/Dlgs/wall_btn_help_default.png", "Images/GUI/Dlgs/wall_frame.png", 3},
        {"Images/GUI/Dlgs/wall_btn_set_default.png", "Images/GUI/Dlgs/wall_frame.png", 4},
    };
    for (const Pair& p : pairs) {
        int n = 0;
        const imagegen::Slot* slot = nullptr;
        for (const imagegen::Slot& s : imagegen::FrameSlots()) {
            if (std::string(s.frame) == p.frame && n++ == p.slotIndex) {
                slot = &s;
            }
        }
        ASSERT_NE(slot, nullptr) << p.frame;
        const ImagePtr button = Load(p.button);
        ASSERT_TRUE(button) << p.button;
        EXPECT_EQ(Image_Width(button), slot->w) << p.button;
        EXPECT_EQ(Image_Height(button), slot->h) << p.button;
        const ImagePtr frame = Load(p.frame);
        EXPECT_LE(slot->x + slot->w, Image_Width(frame)) << p.frame;
        EXPECT_LE(slot->y + slot->h, Image_Height(frame)) << p.frame;
    }
    // the players' buttons stay left of the name list, which starts 190 pixels into the background
    for (const imagegen::Slot& s : imagegen::FrameSlots()) {
        if (std::string(s.frame) == "Images/GUI/Dlgs/players_bg.png" && s.y + s.h < 480) {
            EXPECT_LT(s.x + s.w, 190) << "players button at " << s.x << "," << s.y;
        }
    }
}

TEST_F(EmbeddedImages, OverlaysLeaveTheScreenAndItsWidgetsVisible) {
    auto transparentShare = [](const ImagePtr& img) {
        const Pixmap* pm = Image_Lock(img, 0, LOCK_READ);
        long clear = 0;
        for (int y = 0; y < pm->height; ++y)
            for (int x = 0; x < pm->width; ++x)
                clear += (Pixmap_ReadPixel(*pm, x, y) >> 24) == 0;
        Image_Unlock(img, 0);
        return double(clear) / (pm->width * pm->height);
    };
    EXPECT_GT(transparentShare(Load("Images/MainMenu/mm_02.png")), 0.35);
    EXPECT_GT(transparentShare(Load("Images/MainMenu/mm_04.png")), 0.6);
    // the front layer keeps the button panel's area (545..790, 0..548) clear
    const ImagePtr front = Load("Images/MainMenu/mm_04.png");
    for (int y = 20; y < 540; y += 40)
        for (int x = 560; x < 780; x += 40)
            EXPECT_EQ(Alpha(front, x, y), 0) << x << "," << y;
    // help pages are drawn last over the whole screen: the buttons and the check box below must show
    for (int p = 1; p <= 3; ++p) {
        const ImagePtr page = Load("Images/GUI/Dlgs/help_page" + std::to_string(p) + "_german.png");
        ASSERT_TRUE(page);
        for (const auto& [x, y] : {std::pair{139, 572}, {544, 573}, {669, 573}, {270, 570}, {5, 5}}) {
            EXPECT_EQ(Alpha(page, x, y), 0) << "page " << p << " at " << x << "," << y;
        }
        EXPECT_GT(transparentShare(page), 0.2);
    }
    const ImagePtr wallHelp = Load("Images/GUI/Dlgs/wall_help_german.png");
    EXPECT_EQ(Alpha(wallHelp, 139, 572), 0);
    EXPECT_GT(Alpha(wallHelp, 400, 300), 200);
}

TEST_F(EmbeddedImages, PixelScanSourcesLockAsRgb888WithRedInEveryBand) {
    struct Source {
        std::string path;
        std::vector<std::pair<int, int>> bands; // red ranges [lo, hi] the effect tells apart
    };
    std::vector<Source> sources = {
        {"images/effects/youlose_german.png", {{80, 254}, {255, 255}}},
        {"images/effects/map_hourglass2.png", {{175, 199}, {200, 254}, {255, 255}}},
        {"images/effects/Map_Fireball.png", {{110, 159}, {160, 254}, {255, 255}}},
        {"images/effects/Map_Flash1.png", {{160, 179}, {180, 254}, {255, 255}}},
        {"images/effects/Map_Flash2.png", {{160, 179}, {180, 254}, {255, 255}}},
    };
    for (int f = 0; f < 24; ++f) {
        // the shine passes over the letters in the middle frames only
        std::vector<std::pair<int, int>> bands = {{80, 199}, {200, 254}};
        if (f >= 1 && f <= 21) {
            bands.push_back({255, 255});
        }
        sources.push_back({"images/effects/youwin000" + std::to_string(f) + "_german.png", bands});
    }
    for (const Source& s : sources) {
        const ImagePtr img = Load(s.path);
        ASSERT_TRUE(img) << s.path;
        const Pixmap* pm = Image_Lock(img, 0, LOCK_READ);
        ASSERT_NE(pm, nullptr);
        EXPECT_EQ(pm->format, PF_RGB888) << s.path;
        for (const auto& [lo, hi] : s.bands) {
            long n = 0;
            for (int y = 0; y < pm->height; ++y)
                for (int x = 0; x < pm->width; ++x) {
                    const int red = pm->bytes[size_t(y) * pm->pitch + size_t(x) * 3];
                    n += red >= lo && red <= hi;
                }
            EXPECT_GE(n, 4) << s.path << " has no red in " << lo << ".." << hi;
        }
        // the effects light every pixel whose red is not 0: the ground must be pure black, not merely dark
        long dark = 0;
        for (int y = 0; y < pm->height; ++y)
            for (int x = 0; x < pm->width; ++x)
                dark += pm->bytes[size_t(y) * pm->pitch + size_t(x) * 3] == 0;
        EXPECT_GT(dark, long(pm->width) * pm->height / 4) << s.path << " has no black ground";
        Image_Unlock(img, 0);
    }
}

TEST_F(EmbeddedImages, ButtonStatesFollowTheArtDirection) {
    // hovered is lighter than default, pressed darker; every state is its own picture
    std::vector<std::string> bases;
    for (const ImageRow& s : imagegen::Inventory()) {
        const std::string tail = "_default.png";
        if (s.path.size() > tail.size() && s.path.compare(s.path.size() - tail.size(), tail.size(), tail) == 0) {
            bases.push_back(s.path.substr(0, s.path.size() - tail.size()));
        }
    }
    // the slider knob and check box have a default picture only
    std::erase_if(bases, [](const std::string& b) { return !Incbin_Exists(S("incbin::" + b + "_hovered.png")); });
    ASSERT_GE(bases.size(), 18u);
    for (const std::string& b : bases) {
        const double def = MeanLight(Load(b + "_default.png"));
        const double hov = MeanLight(Load(b + "_hovered.png"));
        const double pre = MeanLight(Load(b + "_pressed.png"));
        EXPECT_GT(hov, def + 5) << b;
        EXPECT_LT(pre, def - 5) << b;
    }
}

TEST_F(EmbeddedImages, AFreshGeneratorRunGivesTheEmbeddedBytes) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("bq_imagegen_test_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    ASSERT_TRUE(imagegen::GenerateAll(dir.string(), 4));
    for (const ImageRow& s : imagegen::Inventory()) {
        std::ifstream in(dir / s.path, std::ios::binary);
        ASSERT_TRUE(in) << s.path;
        const std::vector<uint8_t> fresh((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<uint8_t> embedded;
        ASSERT_TRUE(File_ReadAll(S("incbin::" + s.path), embedded)) << s.path;
        EXPECT_TRUE(fresh == embedded) << s.path << " differs between runs";
    }
    // the contact sheet shows them all
    const std::filesystem::path sheet = dir / "sheet.png";
    ASSERT_TRUE(imagegen::WriteContactSheet(sheet.string(), dir.string()));
    std::vector<uint8_t> bytes;
    std::ifstream in(sheet, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    const PixmapPtr pm = Pixmap_Decode(bytes.data(), bytes.size());
    ASSERT_TRUE(pm);
    const size_t rows = (imagegen::Inventory().size() + 9) / 10;
    EXPECT_EQ(pm->width, 2000);
    EXPECT_EQ(pm->height, int(rows * 170 + 40));
    std::filesystem::remove_all(dir);
}

TEST_F(EmbeddedImages, EveryTileSetHasItsEditorColourIcons) {
    // the editor shows "images/editor/" + tile-set name + colour + ".png" for each entry of tiles.txt
    std::vector<uint8_t> text;
    ASSERT_TRUE(File_ReadAll(S("incbin::Images/pieces/tiles.txt"), text));
    std::string line;
    int entries = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\n' || text[i] == '\r') {
            const std::string name = line.substr(0, line.find('='));
            if (!name.empty()) {
                ++entries;
                EXPECT_TRUE(Incbin_Exists(S("incbin::images/editor/" + name + ".png"))) << name;
            }
            line.clear();
        } else {
            line += char(text[i]);
        }
    }
    EXPECT_GE(entries, 7);
}

TEST_F(EmbeddedImages, StripsAnimateAndBirdsFlyBothWays) {
    // every strip changes over its frames (a painter that ignores the frame would give a still picture)
    auto frameBytes = [](const ImagePtr& img, int f) {
        const Pixmap* pm = Image_Lock(img, f, LOCK_READ);
        std::vector<uint8_t> b = pm ? pm->bytes : std::vector<uint8_t>{};
        Image_Unlock(img, f);
        return b;
    };
    for (const ImageRow& s : imagegen::Inventory()) {
        if (s.frames <= 1) {
            continue;
        }
        const ImagePtr img = Load(s.path, s.width, s.height, s.frames);
        ASSERT_TRUE(img) << s.path;
        EXPECT_NE(frameBytes(img, 0), frameBytes(img, s.frames / 4)) << s.path << " does not move";
    }
    // a bird flying left is the mirror image of the same bird flying right
    for (const char* bird : {"mm_bird30", "mm_bird100b"}) {
        const int size = bird[7] == '3' ? 30 : 100, frames = size == 30 ? 21 : 64;
        const std::string base = std::string("Images/MainMenu/") + bird;
        const ImagePtr right = Load(base + "_right.png", size, size, frames);
        const ImagePtr left = Load(base + "_left.png", size, size, frames);
        ASSERT_TRUE(right && left);
        const Pixmap* r = Image_Lock(right, 5, LOCK_READ);
        const Pixmap* l = Image_Lock(left, 5, LOCK_READ);
        int mismatched = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const int ar = int(Pixmap_ReadPixel(*r, x, y) >> 24),
                          al = int(Pixmap_ReadPixel(*l, size - 1 - x, y) >> 24);
                mismatched += std::abs(ar - al) > 40;
            }
        Image_Unlock(right, 5);
        Image_Unlock(left, 5);
        EXPECT_LT(mismatched, size * size / 100) << bird;
    }
}

TEST_F(EmbeddedImages, WhiteTextOfTheDialogsReadsOnTheirFrames) {
    // the game writes white titles and texts at these places of its frames: the ground there must be dark
    struct Area {
        const char* frame;
        int x, y, w, h;
    } areas[] = {
        {"Images/GUI/Dlgs/dlg2_bg.png", 40, 60, 272, 120},
        {"Images/GUI/Dlgs/dlg3_bg.png", 60, 90, 342, 100},
        {"Images/GUI/Dlgs/wl_frame.png", 50, 80, 376, 180},
        {"Images/GUI/Dlgs/hs_frame.png", 40, 126, 200, 200},
        {"Images/GUI/Dlgs/credits_frame.png", 126, 170, 185, 240},
        {"Images/GUI/Dlgs/opt_frame.png", 60, 80, 113, 110},
        {"Images/GUI/Tutorial/tut_frame.png", 66, 45, 174, 105},
        {"images/interface/Fond_Game_Datas.png", 22, 10, 376, 80},
        {"Images/GUI/Dlgs/players_bg.png", 190, 246, 120, 220},
    };
    for (const Area& a : areas) {
        const ImagePtr img = Load(a.frame);
        ASSERT_TRUE(img) << a.frame;
        const Pixmap* pm = Image_Lock(img, 0, LOCK_READ);
        double light = 0;
        int n = 0;
        for (int y = a.y; y < a.y + a.h; y += 2)
            for (int x = a.x; x < a.x + a.w; x += 2) {
                const uint32_t p = Pixmap_ReadPixel(*pm, x, y);
                light += (0.3 * ((p >> 16) & 255) + 0.59 * ((p >> 8) & 255) + 0.11 * (p & 255)) * (p >> 24) / 255.0;
                ++n;
            }
        Image_Unlock(img, 0);
        EXPECT_LT(light / n, 70) << a.frame;
    }
}

TEST(ContactSheet, CopesWithUnreadableFilesAndEmptyFolders) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("bq_contact_sheet_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "sub");
    EXPECT_FALSE(imagegen::WriteContactSheet((dir / "out.png").string(), (dir / "sub").string()));
    {
        std::ofstream bad(dir / "sub" / "broken.png", std::ios::binary);
        bad << "not a picture";
    }
    const art::Canvas good(10, 10);
    ASSERT_TRUE(art::WritePngRgba((dir / "sub" / "good.png").string(), good));
    ASSERT_TRUE(imagegen::WriteContactSheet((dir / "out.png").string(), (dir / "sub").string()));
    EXPECT_TRUE(std::filesystem::exists(dir / "out.png"));
    // a filter keeps only matching paths: none match, nothing to draw
    EXPECT_FALSE(imagegen::WriteContactSheet((dir / "none.png").string(), (dir / "sub").string(), "nothing"));
    std::filesystem::remove_all(dir);
}

TEST_F(EmbeddedImages, EveryFileHasItsFormatAndSomethingToSee) {
    std::vector<Str> seen;
    for (const ImageRow& s : imagegen::Inventory()) {
        // no two rows may land on the same archive name: lookups ignore case
        const Str key = Path_Key(S(s.path));
        EXPECT_EQ(std::count(seen.begin(), seen.end(), key), 0) << s.path << " written twice";
        seen.push_back(key);

        std::vector<uint8_t> bytes;
        ASSERT_TRUE(File_ReadAll(S("incbin::" + s.path), bytes)) << s.path;
        ASSERT_GT(bytes.size(), 26u) << s.path;
        switch (s.format) {
        case imagegen::Format::Jpg:
            EXPECT_TRUE(bytes[0] == 0xff && bytes[1] == 0xd8) << s.path;
            break;
        case imagegen::Format::Png:
            EXPECT_EQ(bytes[25], 6) << s.path << " is not RGBA";
            break;
        case imagegen::Format::PngRgb:
            EXPECT_EQ(bytes[25], 2) << s.path << " is not RGB";
            break;
        }
        // a painter that draws nothing would still give the right size
        const PixmapPtr pm = Pixmap_Decode(bytes.data(), bytes.size());
        ASSERT_TRUE(pm) << s.path;
        long visible = 0;
        for (int y = 0; y < pm->height; ++y)
            for (int x = 0; x < pm->width; ++x) {
                const uint32_t p = Pixmap_ReadPixel(*pm, x, y);
                visible += (p >> 24) > 0 && (p & 0xffffff) != 0;
            }
        EXPECT_GT(visible, long(pm->width) * pm->height / 50) << s.path << " is (nearly) empty";
    }
}

TEST_F(EmbeddedImages, TheBoardsBusiestSparklesStayFaintWarmAndSmall) {
    // drawn additively by the thousand over the gems in a cascade: a big or bright-white sprite turns the board
    // white after a few overlaps (and costs blending time for every pixel)
    for (const char* path : {"images/effects/spark1.png", "images/effects/spark4.png"}) {
        const ImagePtr img = Load(path);
        ASSERT_TRUE(img) << path;
        EXPECT_LE(Image_Width(img), 16) << path;
        int peak = 0, strong = 0;
        uint32_t brightest = 0;
        for (int y = 0; y < Image_Height(img); ++y)
            for (int x = 0; x < Image_Width(img); ++x) {
                const int a = Alpha(img, x, y);
                strong += a > 64;
                if (a > peak) peak = a, brightest = Argb(img, x, y);
            }
        EXPECT_GT(peak, 80) << path << " should still shine";
        EXPECT_LE(peak, 170) << path << " at full strength saturates";
        EXPECT_LT(strong, Image_Width(img) * Image_Height(img) / 8) << path << " is mostly light, not a point";
        EXPECT_LT(brightest & 0xff, (brightest >> 16) & 0xff) << path << " is pure white, not warm";
    }
}

TEST_F(EmbeddedImages, APainterDrawsEachOfItsVariantsDifferently) {
    // rows that share a painter and a size tell their pictures apart by the variant (button state, gem colour,
    // wallpaper, animation frame, ...): a painter that ignores it writes the same file twice
    const auto& table = imagegen::Inventory();
    int compared = 0;
    for (size_t i = 0; i < table.size(); ++i)
        for (size_t j = i + 1; j < table.size(); ++j) {
            const ImageRow &a = table[i], &b = table[j];
            if (a.paint != b.paint || a.variant == b.variant || a.width != b.width || a.height != b.height ||
                a.frames != b.frames) {
                continue;
            }
            std::vector<uint8_t> bytesA, bytesB;
            ASSERT_TRUE(File_ReadAll(S("incbin::" + a.path), bytesA)) << a.path;
            ASSERT_TRUE(File_ReadAll(S("incbin::" + b.path), bytesB)) << b.path;
            EXPECT_FALSE(bytesA == bytesB) << a.path << " and " << b.path << " are the same picture";
            ++compared;
        }
    EXPECT_GT(compared, 100);
}
