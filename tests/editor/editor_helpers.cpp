// Shared set-up of the editor tests; see editor_helpers.h.
#include "editor_helpers.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include <gtest/gtest.h>

#include "board/level_file.h"
#include "board/play.h"
#include "main/config.h"
#include "main/fonts.h"
#include "platform/folders.h"
#include "platform/graphics.h"
#include "platform/incbin.h"
#include "platform/input.h"
#include "platform/system.h"
#include "common/temp_folder.h"

namespace {
std::unique_ptr<TempFolder> g_tmp;
} // namespace

void EditorTest_Open(bool open, int modalCap) {
    ToolkitTest_OpenCanvas();
    static bool boardLoaded = false;
    if (!boardLoaded) {
        Tilesets_Load();
        Board_LoadImages();
        Fonts_Load(); // the editor's two fonts
        boardLoaded = true;
    }
    EditorTest_Reset(modalCap);
    Level_Current = 1;
    ASSERT_TRUE(Level_LoadByNumber(1));
    Level_Sweeping = 0;
    ToolkitTest_Script("");
    if (open) Editor_Create();
}

void EditorTest_Reset(int modalCap) {
    EditorTest_Close();
    g_tmp = std::make_unique<TempFolder>();
    ASSERT_FALSE(g_tmp->path().empty());
    App_Folder = S(g_tmp->path());
    ASSERT_TRUE(Dir_Change(App_Folder));
    std::filesystem::create_directories(g_tmp->path() + "/levels");
    // The toolkit as at program start, then the editor's own start-up.
    ToolkitTest_Restart(modalCap, Editor_Init);
}

void EditorTest_Close() {
    if (Editor_Open) Editor_Close();
    Sys_ClearCloseRequest();
    g_tmp.reset();
}

void EditorTest_Frames(int n) {
    for (int i = 0; i < n; ++i) {
        Sys_ClearCloseRequest(); // an alert answered through the terminate flag ends nothing else
        Draw_Cls();
        if (Editor_Open) {
            Editor_Update();
            Editor_Draw();
        }
        Graphics_Flip(-1);
    }
}

Str EditorTest_Folder() { return App_Folder; }
std::string EditorTest_File(const std::string& name) { return Str_ToUtf8(App_Folder) + "/" + name; }

std::string EditorTest_Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "";
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string EditorTest_Level() {
    const std::string path = EditorTest_File("scratch_compare.lev");
    EXPECT_TRUE(Level_Save(Str_FromUtf8(path)));
    std::string bytes = EditorTest_Read(path);
    std::filesystem::remove(path);
    return bytes;
}

std::string Click(int frame, int x, int y, int button) {
    return std::to_string(frame) + " click " + std::to_string(button) + " " + std::to_string(x) + " " +
           std::to_string(y) + "\n";
}
std::string KeyPress(int frame, int vk) { return std::to_string(frame) + " key " + std::to_string(vk) + " press\n"; }

int ButtonX(int b) {
    const auto& btn = Editor_W.Buttons[b];
    return Editor_W.Window->X + btn->X + btn->W / 2;
}
int ButtonY(int b) {
    const auto& btn = Editor_W.Buttons[b];
    return Editor_W.Window->Y + Editor_W.Window->TitleHeight + btn->Y + 8;
}
int CellX(int c) { return Board_OriginX - Board_OverflowX + c * Cell_Width + Cell_Width / 2; }
int CellY(int r) { return Board_OriginY - Board_OverflowY + r * Cell_Height + Cell_Height / 2; }

namespace {
std::shared_ptr<PNO_Window> FindRequester() {
    for (const auto& w : Paneo_Windows)
        if (w->W == 400 && w->Kind == 20) return w;
    return nullptr;
}
} // namespace

void EditorTest_AnswerAlerts(int* count) {
    ToolkitTest_OnModalFrame([count] {
        const auto f = ToolkitTest_Front();
        if (f && f->Text == u"Alert") {
            if (count) ++*count;
            Sys_RequestClose();
        }
    });
}

std::string EditorTest_RequesterScript(int confirmFrame) {
    // The requester's Confirm button (its client origin is (200, 146)).
    return Click(confirmFrame, 230, 446);
}

void EditorTest_TypeIntoRequester(const Str& name, int* alerts) {
    ToolkitTest_OnModalFrame([name, alerts] {
        const auto f = ToolkitTest_Front();
        if (f && f->Text == u"Alert") {
            if (alerts) ++*alerts;
            Sys_RequestClose();
            return;
        }
        const auto req = FindRequester();
        if (!req) return;
        for (const auto& c : req->Children)
            if (c && c->TypeId() == 100 && c->Text != name) std::static_pointer_cast<PNO_Input>(c)->SetText(name);
    });
}
