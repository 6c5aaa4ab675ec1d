// Shared set-up of the toolkit tests; see toolkit_helpers.h.
#include "toolkit_helpers.h"

#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "common/test_common.h"
#include "platform/graphics.h"
#include "platform/incbin.h"
#include "platform/input.h"
#include "platform/system.h"

namespace {
int g_modalFrames = 0;
int g_modalCap = 600;
bool g_fired = false;
std::function<void()> g_onModal;
} // namespace

void ToolkitTest_OpenCanvas() {
    ASSERT_TRUE(TestCanvas_Open());
    static bool registered = false;
    if (!registered) registered = Incbin_RegisterBuiltin();
    ASSERT_TRUE(registered);
}

void ToolkitTest_Restart(int modalCap, const std::function<void()>& start) {
    // Every window of an earlier test goes, then the toolkit starts again as at program start.
    std::vector<std::shared_ptr<PNO_Window>> left;
    for (const auto& w : Paneo_Windows)
        left.push_back(w);
    for (const auto& w : left)
        w->Free();
    Paneo_Windows.Clear();
    Toolkit_Init();
    Sys_ClearCloseRequest();
    start();
    g_modalFrames = 0;
    g_modalCap = modalCap;
    g_fired = false;
    g_onModal = nullptr;
    Paneo_Hooks.ModalFrame = [] {
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

void ToolkitTest_Open(int modalCap) {
    ToolkitTest_OpenCanvas();
    ToolkitTest_Restart(modalCap, [] { Paneo_Init(2, 1); });
}

void ToolkitTest_Script(const std::string& script, int frameMs) {
    ASSERT_TRUE(TestScript_Start(script, frameMs));
    Sys_ClearCloseRequest();
    GuiMouse.Sync();
    Sys_PollEvents(); // frame 1's events
}

void ToolkitTest_Frame() {
    Draw_Cls();
    Paneo_DrawFrame();
    Graphics_Flip(-1);
}

void ToolkitTest_Frames(int n) {
    for (int i = 0; i < n; ++i)
        ToolkitTest_Frame();
}

int ToolkitTest_ModalFrames() { return g_modalFrames; }
bool ToolkitTest_WatchdogFired() { return g_fired; }

int ToolkitTest_OpenWindows() {
    int n = 0;
    for (const auto& w : Paneo_Windows)
        n += w->Kind != kWindowRoot;
    return n;
}

void ToolkitTest_OnModalFrame(std::function<void()> f) { g_onModal = std::move(f); }

WidgetPtr ToolkitTest_Child(const PNO_Widget& parent, int typeId, int nth) {
    for (const auto& c : parent.Children)
        if (c && c->TypeId() == typeId && nth-- == 0) return c;
    return nullptr;
}

std::shared_ptr<PNO_Window> ToolkitTest_Front() { return Paneo_Windows.Last(); }
