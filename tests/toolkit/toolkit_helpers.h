// Shared set-up of the toolkit tests: SDL on the offscreen driver with the 800x600 canvas, the packed archive with
// the real skin, a fresh toolkit, scripted input through the harness, frames, canvas read-back, and the watchdog
// that makes a modal loop which never ends fail instead of hanging.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "common/test_common.h" // TestCanvas_Pixel
#include "toolkit/toolkit.h"

// Opens SDL and the canvas, registers the archive, frees every window of an earlier test and runs Toolkit_Init and
// Paneo_Init(2, 1) anew. Arms the watchdog (a modal loop may run at most `modalCap` frames per test).
void ToolkitTest_Open(int modalCap = 600);
// The two halves of ToolkitTest_Open: SDL, the canvas and the archive (once); then every window of an earlier test
// freed, Toolkit_Init, the application's own start-up `start` (which runs Paneo_Init) and the watchdog armed.
void ToolkitTest_OpenCanvas();
void ToolkitTest_Restart(int modalCap, const std::function<void()>& start);
// Restarts the harness with a fake clock of `frameMs` per flip and the script (frames from 1); the toolkit's mouse
// takes the platform's counts as seen, and frame 1's events arrive.
void ToolkitTest_Script(const std::string& script, int frameMs = 16);
// One frame as an application runs it: clear, toolkit frame, flip (the next frame's script events arrive).
void ToolkitTest_Frame();
void ToolkitTest_Frames(int n);
// Frames the modal loops ran since ToolkitTest_Open; true when the watchdog had to end one.
int ToolkitTest_ModalFrames();
bool ToolkitTest_WatchdogFired();
// Runs `f` after every pass of a modal loop (after the flip), until the next ToolkitTest_Open.
void ToolkitTest_OnModalFrame(std::function<void()> f);
// The first widget of the type id among the window's children, or null.
WidgetPtr ToolkitTest_Child(const PNO_Widget& parent, int typeId, int nth = 0);
// The front window, or null.
std::shared_ptr<PNO_Window> ToolkitTest_Front();
// Windows in Paneo_Windows other than the root.
int ToolkitTest_OpenWindows();
