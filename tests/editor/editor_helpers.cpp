// Shared set-up of the editor tests; see editor_helpers.h.
#include "editor_helpers.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

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
#include "platform/temp_folder.h"

namespace {
std::unique_ptr<TempFolder> g_tmp;
int g_modalFrames = 0, g_modalCap = 600;
bool g_fired = false;
std::function<void()> g_onModal;
} // namespace

void EditorTest_Open(bool open, int modalCap) {
    if (!Graphics_IsOpen()) {
        Sys_Init(0, nullptr);
        ASSERT_TRUE(Graphics_Open(800, 600, true));
    }
    static bool registered = false;
    if (!registered) registered = Incbin_RegisterBuiltin();
    ASSERT_TRUE(registered);
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
    EditorTest_Script("");
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
    std::vector<std::shared_ptr<PNO_Window>> left;
    for (const auto& w : Paneo_Windows)
        left.push_back(w);
    for (const auto& w : left)
        w->Free();
    Paneo_Windows.Clear();
    Toolkit_Init();
    Sys_ClearCloseRequest();
    Editor_Init();
    g_modalFrames = 0;
    g_modalCap = modalCap;
    g_fired = false;
    g_onModal = nullptr;
    Paneo_ModalFrameHook = [] {
        ++g_modalFrames;
        if (g_onModal) g_onModal();
        if (g_modalFrames == g_modalCap) {
            g_fired = true;
            ADD_FAILURE() << "a modal loop ran " << g_modalCap << " frames: ending it through the terminate flag";
            Sys_RequestClose();
        }
        if (g_modalFrames > g_modalCap + 50) throw std::runtime_error("modal loop ignores the terminate flag");
    };
}

void EditorTest_Close() {
    if (Editor_Open) Editor_Close();
    Sys_ClearCloseRequest();
    g_tmp.reset();
}

void EditorTest_Script(const std::string& script) {
    HarnessConfig config;
    config.headless = true;
    config.frameMs = 16;
    config.inputScript = script;
    ASSERT_TRUE(Harness_Configure(config));
    Input_Reset();
    Input_Flush();
    Sys_ClearCloseRequest();
    GuiMouse.Sync();
    Sys_PollEvents();
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

void EditorTest_OnModalFrame(std::function<void()> f) { g_onModal = std::move(f); }
bool EditorTest_WatchdogFired() { return g_fired; }

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

int OpenWindows() {
    int n = 0;
    for (const auto& w : Paneo_Windows)
        n += w->Kind != 10;
    return n;
}

namespace {
std::shared_ptr<PNO_Window> Front() { return Paneo_Windows.Last(); }
std::shared_ptr<PNO_Window> FindRequester() {
    for (const auto& w : Paneo_Windows)
        if (w->W == 400 && w->Kind == 20) return w;
    return nullptr;
}
} // namespace

void EditorTest_AnswerAlerts(int* count) {
    EditorTest_OnModalFrame([count] {
        const auto f = Front();
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
    EditorTest_OnModalFrame([name, alerts] {
        const auto f = Front();
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
