// The image generator's table (one row per file; every size chosen here where the game does not fix one is
// recorded in its row) and the driver that renders rows in parallel and writes them. Called by main.cpp and tests.
#include "assetgen_images/inventory.h"

#include "assetgen_images/painters.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <thread>

namespace imagegen {

int StripColumns(int frameWidth, int frames) {
    if (frames <= 1 || frameWidth * frames <= 1024) {
        return std::max(1, frames);
    }
    return static_cast<int>(std::ceil(std::sqrt(static_cast<double>(frames))));
}

int StripRows(int frameWidth, int frames) {
    const int cols = StripColumns(frameWidth, frames);
    return (std::max(1, frames) + cols - 1) / cols;
}

namespace {

const char* const StateSuffix[3] = {"_default.png", "_hovered.png", "_pressed.png"};

struct TableBuilder {
    std::vector<ImageRow> rows;

    void Add(std::string path, int w, int h, Format f, Painter p, int variant = 0, int frames = 1) {
        rows.push_back(ImageRow{std::move(path), w, h, frames, f, p, variant, true});
    }
    // An image base with the three state suffixes; colour selects the plaque colour (PaintPlaque).
    void Button(const std::string& base, int w, int h, Painter p = PaintPlaque, int colour = 0) {
        for (int s = 0; s < 3; ++s) {
            Add(base + StateSuffix[s], w, h, Format::Png, p, s + 3 * colour);
        }
    }
};

std::vector<ImageRow> BuildTable() {
    TableBuilder t;
    const Format png = Format::Png, rgb = Format::PngRgb, jpg = Format::Jpg;

    // Start-up (subsystem 1)
    t.Add("Images/Start/logo_game.jpg", 800, 600, jpg, PaintLogoGame);
    t.Add("Images/Start/logo_studio.jpg", 800, 600, jpg, PaintLogoStudio);
    t.Add("Images/Start/loading.jpg", 800, 600, jpg, PaintLoading);
    t.Add("Images/Start/pause.jpg", 800, 600, jpg, PaintPause);
    t.Add("Images/Start/icon.png", 64, 64, png, PaintIcon);

    // Main menu and birds
    t.Add("Images/MainMenu/mm_00.jpg", 800, 600, jpg, PaintMenuBackground);
    t.Add("Images/MainMenu/mm_02.png", 800, 600, png, PaintMenuMiddle);
    t.Add("Images/MainMenu/mm_04.png", 800, 600, png, PaintMenuFront);
    t.Add("Images/MainMenu/mm_interf_bg.png", 245, 548, png, PaintMenuPanel);
    t.Add("Images/MainMenu/mm_logo.png", 340, 133, png, PaintMenuLogo);
    t.Button("Images/MainMenu/mm_btn_play", 117, 114, PaintMenuPlay);
    t.Button("Images/MainMenu/mm_btn_relaxed", 182, 27);
    t.Button("Images/MainMenu/mm_btn_user", 169, 27);
    t.Button("Images/MainMenu/mm_btn_wallpapers", 145, 28);
    t.Button("Images/MainMenu/mm_btn_options", 117, 27);
    t.Button("Images/MainMenu/mm_btn_exit", 80, 81, PaintMenuExit);
    const struct {
        const char* name;
        int size, frames;
    } birds[] = {{"mm_bird30", 30, 21}, {"mm_bird36", 36, 21}, {"mm_bird100a", 100, 64}, {"mm_bird100b", 100, 64}};
    for (int i = 0; i < 4; ++i) {
        const std::string base = std::string("Images/MainMenu/") + birds[i].name;
        t.Add(base + "_right.png", birds[i].size, birds[i].size, png, PaintBird, i * 2, birds[i].frames);
        t.Add(base + "_left.png", birds[i].size, birds[i].size, png, PaintBird, i * 2 + 1, birds[i].frames);
    }

    // Message boxes and the end picture
    t.Button("Images/GUI/Dlgs/dlg1_btn", 167, 56);
    t.Add("Images/GUI/Dlgs/dlg2_bg.png", 352, 242, png, PaintDlg2);
    t.Button("Images/GUI/Dlgs/dlg2_btn", 119, 28);
    t.Add("Images/GUI/Dlgs/dlg3_bg.png", 462, 302, png, PaintDlg3);
    t.Button("Images/GUI/Dlgs/dlg3_btn", 99, 28);
    t.Add("Images/GUI/Dlgs/wingame_bg_german.jpg", 800, 600, jpg, PaintWinGame);

    // Level won, gem pictures, high scores, in-game menu
    t.Add("Images/GUI/Dlgs/wl_frame.png", 476, 325, png, PaintWlFrame);
    t.Add("Images/GUI/Dlgs/wl_coin.png", 36, 36, png, PaintCoin);
    t.Button("Images/GUI/Dlgs/wl_btn", 161, 32);
    for (int g = 0; g < art::GemCount; ++g) {
        t.Add("Images/GUI/BuildMenu/bm_tt" + std::to_string(g) + ".png", 36, 36, png, PaintGemPicture, g); // chosen
    }
    t.Add("Images/GUI/Dlgs/hs_frame.png", 275, 557, png, PaintHsFrame);
    t.Button("Images/GUI/Dlgs/hs_btn", 99, 37);
    t.Add("Images/GUI/Dlgs/IGMenu_frame.png", 316, 492, png, PaintIGMenuFrame);
    t.Button("Images/GUI/Dlgs/IGMenu_btn", 230, 33);

    // Tutorial and tips (sizes chosen: tip box 420x100 stretched in height, tip arrow 40x56 pointing down)
    t.Add("Images/GUI/Tutorial/tut_frame.png", 306, 195, png, PaintTutFrame);
    t.Add("Images/GUI/Tutorial/tut0_frame_german_orig.png", 800, 600, png, PaintTutIntro);
    // The arrow's left edge is placed 60 px left of its target cell's left edge: 72 px wide, its tip (2 px short of the
    // right end) ends 10 px inside the cell.
    t.Add("Images/GUI/Tutorial/tut_arrow.png", 72, 30, png, PaintTutArrow);
    t.Add("images/interface/Fond_Game_Datas.png", 420, 100, png, PaintTipBox);
    t.Add("images/interface/arrow_yellow.png", 40, 56, png, PaintTipArrow);
    t.Add("images/interface/ingame_interface.png", 200, 600, png, PaintIngameInterface); // chosen: right side bar

    // Players (chosen: background 371x560, buttons 130x40 so they stay left of the name list at x +190)
    t.Add("Images/GUI/Dlgs/players_bg.png", 371, 560, png, PaintPlayersBg);
    t.Button("Images/GUI/Dlgs/players_btn", 130, 40);

    // Options (chosen: frame 600x440, push buttons 122x36, back 168x36, knob 24x32, check box 48x48)
    t.Add("Images/GUI/Dlgs/opt_frame.png", 600, 440, png, PaintOptFrame);
    t.Button("Images/GUI/Dlgs/opt_btn", 122, 36);
    t.Button("Images/GUI/Dlgs/opt_btn_back", 168, 36);
    t.Add("Images/GUI/Dlgs/opt_slider_default.png", 24, 32, png, PaintSliderKnob);
    t.Add("Images/GUI/Dlgs/opt_check_default.png", 48, 48, png, PaintCheckBox, 0);
    t.Add("Images/GUI/Dlgs/opt_check_checked.png", 48, 48, png, PaintCheckBox, 1);

    // Credits and help (chosen: credits frame 460x520, generic back button 140x40, page arrows 100x36)
    t.Add("Images/GUI/Dlgs/credits_frame.png", 460, 520, png, PaintCreditsFrame);
    t.Button("Images/GUI/Dlgs/credits_btn", 140, 40);
    t.Add("Images/GUI/Dlgs/help_frame_german.png", 800, 600, png, PaintHelpFrame);
    for (int p = 1; p <= 3; ++p) {
        t.Add("Images/GUI/Dlgs/help_page" + std::to_string(p) + "_german.png", 800, 600, png, PaintHelpPage, p);
    }
    t.Button("Images/GUI/Dlgs/help_btn_next", 100, 36);

    // Wallpapers (chosen: wallpapers 1024x768, stretched to the screen when shown; buttons 130x40, help 100x27 (its
    // socket ends on the screen's last row), set 160x40)
    for (int n = 0; n < 7; ++n) {
        t.Add("Images/Wallpapers/wallpaper_" + std::to_string(n) + "_german.jpg", 1024, 768, jpg, PaintWallpaper, n);
    }
    for (int n = 0; n < 7; ++n) {
        t.Add("Images/Wallpapers/wall_preview" + std::to_string(n) + ".jpg", 800, 600, jpg, PaintWallPreview, n);
    }
    t.Add("Images/GUI/Dlgs/wall_frame.png", 800, 113, png, PaintWallFrame);
    t.Add("Images/GUI/Dlgs/wall_help_german.png", 800, 600, png, PaintWallHelp);
    t.Button("Images/GUI/Dlgs/wall_btn1", 130, 40);
    t.Button("Images/GUI/Dlgs/wall_btn_help", 100, 27);
    t.Button("Images/GUI/Dlgs/wall_btn_set", 160, 40);

    // Effects. Sizes chosen: sparks 12..64 px squares, strips as below. The sparks drawn by the hundred every frame
    // (the highlighted cell's edge sparks, the level end's star streaks and rising title stars) are the smallest:
    // every pixel of them is blended many times a frame.
    t.Add("Images/effects/spark_snowball.png", 32, 32, png, PaintSpark, 20);
    t.Add("Images/effects/tile_part1.png", 24, 24, png, PaintTilePart, 0, 64);
    t.Add("Images/effects/tile_part2.png", 24, 24, png, PaintTilePart, 1, 64);
    t.Add("Images/effects/tile_part_proxy.png", 48, 48, png, PaintTilePart, 2, 80);
    t.Add("images/effects/shine1.png", 64, 64, png, PaintSpark, 0);
    const struct {
        const char* name;
        int size, frames, variant;
    } sparks[] = {{"spark1", 16, 1, 1},    {"spark2", 24, 1, 2},   {"spark3", 64, 1, 3},    {"spark4", 12, 1, 4},
                  {"spark5", 16, 1, 5},    {"spark6", 32, 32, 6},  {"spark7", 48, 1, 7},    {"spark8", 24, 16, 8},
                  {"spark9", 32, 32, 9},   {"Spark10", 16, 1, 10}, {"Spark11", 32, 1, 11},  {"Spark12", 16, 1, 12},
                  {"Spark13", 24, 1, 13},  {"Spark14", 32, 1, 14}, {"Spark15", 48, 1, 15},  {"Spark17", 64, 24, 17},
                  {"spark18", 64, 24, 18}, {"spark19", 32, 1, 19}, {"Sky_Star2", 24, 1, 21}};
    for (const auto& s : sparks) {
        t.Add(std::string("images/effects/") + s.name + ".png", s.size, s.size, png, PaintSpark, s.variant, s.frames);
    }
    t.Add("images/effects/Gold_Coin.png", 32, 32, png, PaintGoldCoin, 0, 16);
    t.Add("images/effects/combo_effect1.png", 96, 96, png, PaintComboFlash, 0, 32);
    t.Add("images/maillon_28x20_15.png", 28, 20, png, PaintChainLink, 0, 15);
    // Pixel-scan sources: RGB without alpha (chosen: hourglass 64x96, fireball 64x64, bolts 48x200)
    t.Add("images/effects/map_hourglass2.png", 64, 96, rgb, PaintHourglassScan);
    t.Add("images/effects/Map_Fireball.png", 64, 64, rgb, PaintFireballScan);
    t.Add("images/effects/Map_Flash1.png", 48, 200, rgb, PaintFlashScan, 1);
    t.Add("images/effects/Map_Flash2.png", 48, 200, rgb, PaintFlashScan, 2);
    t.Add("images/effects/youlose_german.png", 128, 32, rgb, PaintYouLoseScan);
    for (int f = 0; f < 24; ++f) {
        t.Add("images/effects/youwin000" + std::to_string(f) + "_german.png", 128, 32, rgb, PaintYouWinScan, f);
    }
    t.Add("images/interface/youwin.png", 256, 64, png, PaintYouWinTitle); // chosen

    // The editor toolkit's skin (sizes as suggested for the free rows) and cursors
    const struct {
        const char* name;
        int w, h;
    } skin[] = {
        {"Window_Body.png", 64, 64},
        {"Window_title_left_se.png", 15, 20},
        {"Window_title_middle_se.png", 64, 20},
        {"Window_title_right_se.png", 15, 20},
        {"Window_title_left_un.png", 15, 20},
        {"Window_title_middle_un.png", 64, 20},
        {"Window_title_right_un.png", 15, 20},
        {"Window_Lock_hi.png", 19, 19},
        {"Window_Lock_se.png", 19, 19},
        {"Window_Lock_un.png", 19, 19},
        {"Window_Minimize_hi.png", 19, 19},
        {"Window_Minimize_se.png", 19, 19},
        {"Window_Minimize_un.png", 19, 19},
        {"Window_Close_hi.png", 19, 19},
        {"Window_Close_se.png", 19, 19},
        {"Window_Close_un.png", 19, 19},
        {"Button_left_hi.png", 8, 22},
        {"Button_left_un.png", 8, 22},
        {"Button_left_se.png", 8, 22},
        {"Button_middle_hi.png", 16, 22},
        {"Button_middle_un.png", 16, 22},
        {"Button_middle_se.png", 16, 22},
        {"Button_right_hi.png", 8, 22},
        {"Button_right_un.png", 8, 22},
        {"Button_right_se.png", 8, 22},
        {"Arrow_Left_hi.png", 16, 16},
        {"Arrow_Left_un.png", 16, 16},
        {"Arrow_Left_se.png", 16, 16},
        {"Arrow_Right_hi.png", 16, 16},
        {"Arrow_Right_un.png", 16, 16},
        {"Arrow_Right_se.png", 16, 16},
        {"Arrow_Up_hi.png", 16, 16},
        {"Arrow_Up_un.png", 16, 16},
        {"Arrow_Up_se.png", 16, 16},
        {"Arrow_Down_hi.png", 16, 16},
        {"Arrow_Down_un.png", 16, 16},
        {"Arrow_Down_se.png", 16, 16},
        {"Checkbox_un.png", 16, 16},
        {"Checkbox_se.png", 16, 16},
        {"Input_Unselect.png", 64, 16},
        {"Input_Select.png", 64, 16},
        {"Progress_Body.png", 16, 16},
        {"Progress_Bar.png", 16, 16},
        {"Combo_Symbol_un.png", 16, 16},
        {"Combo_Symbol_se.png", 16, 16},
        {"Combo_Body_un.png", 64, 16},
        {"Combo_Body_se.png", 64, 16},
        {"Combo_Bar_un.png", 64, 16},
        {"Combo_Bar_se.png", 64, 16},
        {"Scrollbar_Horizontal_Body.png", 64, 16},
        {"Scrollbar_Vertical_Body.png", 16, 64},
        {"Listbox_Body.png", 64, 64},
        {"Tab_Body.png", 16, 16},
        {"Tab_Horizontal_Border.png", 16, 16},
        {"Tab_left_un.png", 16, 16},
        {"Tab_middle_un.png", 16, 16},
        {"Tab_right_un.png", 16, 16},
        {"Tab_left_se.png", 16, 16},
        {"Tab_middle_se.png", 16, 16},
        {"Tab_right_se.png", 16, 16},
        {"Menu_Bar.png", 16, 16},
        {"Menu_Checkmark.png", 16, 16},
        {"Messagebox_Ask.png", 32, 32},
        {"Messagebox_Warning.png", 32, 32},
        {"Messagebox_Alert.png", 32, 32},
        {"Icon_Folder.png", 16, 16},
        {"Icon_Picture.png", 16, 16},
        {"Icon_Sound.png", 16, 16},
        {"Icon_Archive.png", 16, 16},
        {"Icon_Default.png", 16, 16},
        {"Icon_Document.png", 16, 16},
        {"Icon_Program.png", 16, 16},
        {"Icon_Web.png", 16, 16},
        {"Icon_Screen.png", 16, 16},
        {"Icon_Item.png", 16, 16},
        {"Icon_Cdrom.png", 16, 16},
        {"Icon_Floppy.png", 16, 16},
        {"Icon_Drive.png", 16, 16},
        {"Icon_Network.png", 16, 16},
        {"Icon_Ramdrive.png", 16, 16},
    };
    for (const auto& s : skin) {
        t.Add(std::string("PNO_Graphics/Default_Skin/") + s.name, s.w, s.h, png, PaintSkin);
    }
    t.Add("PNO_Graphics/Mouse01_Normal.png", 28, 30, png, PaintCursor, 0, 9);
    t.Add("PNO_Graphics/Mouse01_Help.png", 28, 30, png, PaintCursor, 1, 11);
    t.Add("PNO_Graphics/Mouse01_Busy.png", 32, 32, png, PaintCursor, 2, 6);
    t.Add("PNO_Graphics/Mouse02_Normal.png", 32, 32, png, PaintCursor, 3, 6);
    t.Add("PNO_Graphics/Mouse02_Help.png", 32, 32, png, PaintCursor, 4, 6);
    t.Add("PNO_Graphics/Mouse02_Busy.png", 32, 32, png, PaintCursor, 5, 6);

    // The level editor's pictures: the editor reads them from images/editor/ below the current folder; they are
    // embedded at the same path too, so the game can fall back to the archive.
    const struct {
        const char* name;
        int size;
    } editor[] = {{"multicolor", 30},  {"tar", 30},         {"launcher_icon", 30}, {"launcher", 15},
                  {"bottom_line", 30}, {"new2", 30},        {"new3", 30},          {"coin1", 15},
                  {"coin2", 15},       {"icon_chain1", 30}, {"mod_antigrav", 30},  {"icon_bomb", 30},
                  {"golden", 30},      {"icon_laser", 30},  {"frozen", 30},        {"tile_empty", 15},
                  {"tile_1", 15},      {"tile_2", 15}};
    for (const auto& e : editor) {
        t.Add(std::string("images/editor/") + e.name + ".png", e.size, e.size, png, PaintEditorIcon);
        t.rows.back().embedded = false;
    }
    // The colour icons of the tile sets named in Images/pieces/tiles.txt (the board generator's "jewel" and "rune"
    // sets), "images/editor/" + set name + colour + ".png"
    for (const char* set : {"jewel", "rune"}) {
        for (int g = 0; g < art::GemCount; ++g) {
            t.Add(std::string("images/editor/") + set + std::to_string(g) + ".png", 30, 30, png, PaintEditorIcon, g);
            t.rows.back().embedded = false;
        }
    }
    return t.rows;
}

} // namespace

const std::vector<ImageRow>& Inventory() {
    static const std::vector<ImageRow> table = BuildTable();
    return table;
}

const std::vector<Slot>& FrameSlots() {
    static const std::vector<Slot> slots = {
        {"Images/MainMenu/mm_interf_bg.png", 68, 116, 117, 114},
        {"Images/MainMenu/mm_interf_bg.png", 35, 257, 182, 27},
        {"Images/MainMenu/mm_interf_bg.png", 42, 314, 169, 27},
        {"Images/MainMenu/mm_interf_bg.png", 54, 361, 145, 28},
        {"Images/MainMenu/mm_interf_bg.png", 67, 409, 117, 27},
        {"Images/MainMenu/mm_interf_bg.png", 86, 448, 80, 81},
        {"Images/GUI/Dlgs/dlg2_bg.png", 117, 200, 119, 28},
        {"Images/GUI/Dlgs/dlg3_bg.png", 74, 205, 99, 28},
        {"Images/GUI/Dlgs/dlg3_bg.png", 195, 205, 99, 28},
        {"Images/GUI/Dlgs/wl_frame.png", 157, 276, 161, 32},
        {"Images/GUI/Dlgs/hs_frame.png", 43, 452, 99, 37},
        {"Images/GUI/Dlgs/hs_frame.png", 104, 398, 99, 37},
        {"Images/GUI/Dlgs/IGMenu_frame.png", 46, 236, 230, 33},
        {"Images/GUI/Dlgs/IGMenu_frame.png", 46, 307, 230, 33},
        {"Images/GUI/Dlgs/IGMenu_frame.png", 46, 378, 230, 33},
        {"Images/GUI/Dlgs/opt_frame.png", 216, 359, 168, 36},
        {"Images/GUI/Dlgs/opt_frame.png", 71, 276, 122, 36},
        {"Images/GUI/Dlgs/opt_frame.png", 243, 276, 122, 36},
        {"Images/GUI/Dlgs/opt_frame.png", 414, 276, 122, 36},
        {"Images/GUI/Dlgs/players_bg.png", 14, 255, 130, 40},
        {"Images/GUI/Dlgs/players_bg.png", 35, 313, 130, 40},
        {"Images/GUI/Dlgs/players_bg.png", 53, 370, 130, 40},
        {"Images/GUI/Dlgs/players_bg.png", 57, 444, 130, 40},
        {"Images/GUI/Dlgs/players_bg.png", 147, 495, 130, 40},
        {"Images/GUI/Dlgs/credits_frame.png", 145, 452, 140, 40},
        {"Images/GUI/Dlgs/help_frame_german.png", 69, 552, 140, 40},
        {"Images/GUI/Dlgs/help_frame_german.png", 494, 555, 100, 36},
        {"Images/GUI/Dlgs/help_frame_german.png", 619, 555, 100, 36},
        {"Images/GUI/Tutorial/tut0_frame_german_orig.png", 69, 552, 140, 40},
        {"Images/GUI/Dlgs/wall_frame.png", 27, 49, 130, 40},
        {"Images/GUI/Dlgs/wall_frame.png", 575, 30, 130, 40},
        {"Images/GUI/Dlgs/wall_frame.png", 196, 30, 130, 40},
        {"Images/GUI/Dlgs/wall_frame.png", 379, 81, 100, 27},
        {"Images/GUI/Dlgs/wall_frame.png", 347, 35, 160, 40},
        {"Images/GUI/Dlgs/wall_help_german.png", 69, 552, 140, 40}, // the close-help button
    };
    return slots;
}

art::Canvas Render(const ImageRow& item) {
    if (item.frames <= 1) {
        art::Canvas c(item.width, item.height);
        item.paint(c, item, 0);
        return c;
    }
    const int cols = StripColumns(item.width, item.frames);
    const int rows = StripRows(item.width, item.frames);
    art::Canvas sheet(item.width * cols, item.height * rows);
    for (int f = 0; f < item.frames; ++f) {
        art::Canvas frame(item.width, item.height);
        item.paint(frame, item, f);
        cairo_set_source_surface(sheet.cr(), frame.surface(), (f % cols) * item.width, (f / cols) * item.height);
        cairo_paint(sheet.cr());
    }
    return sheet;
}

bool GenerateAll(const std::string& outDir, int threads) {
    const std::vector<ImageRow>& table = Inventory();
    std::atomic<size_t> next{0};
    std::atomic<bool> ok{true};
    auto worker = [&] {
        for (size_t i = next++; i < table.size(); i = next++) {
            const ImageRow& item = table[i];
            const art::Canvas c = Render(item);
            const std::string path = outDir + "/" + item.path;
            bool written = false;
            switch (item.format) {
            case Format::Png:
                written = art::WritePngRgba(path, c);
                break;
            case Format::PngRgb:
                written = art::WritePngRgb(path, c, art::pal::Black);
                break;
            case Format::Jpg:
                written = art::WriteJpeg(path, c, 92, art::pal::Black);
                break;
            }
            if (!written) {
                std::fprintf(stderr, "assetgen_images: failed writing %s\n", path.c_str());
                ok = false;
            }
        }
    };
    std::vector<std::thread> pool;
    for (int i = 1; i < threads; ++i) {
        pool.emplace_back(worker);
    }
    worker();
    for (std::thread& th : pool) {
        th.join();
    }
    return ok;
}

} // namespace imagegen
