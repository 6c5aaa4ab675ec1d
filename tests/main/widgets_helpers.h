// Shared set-up of the widget tests (fonts, text layout, texts, buttons, list box, depth lists, assets): SDL on
// the offscreen driver with the 800x600 canvas, the four font families in the embedded archive, the German and
// English tables, scripted input through the harness, and canvas read-back.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "common/test_common.h" // TestCanvas_Pixel
#include "platform/image.h"

// Opens SDL, the canvas, registers the font files when the archive lacks them, loads the font table and fills the
// text tables. Idempotent.
void WidgetsTest_Open();
// Restarts the harness with a fake clock of `frameMs` per flip and the given input script (frames from 1), clears
// the input state and the widgets' mouse snapshot, and lets frame 1's events in.
void WidgetsTest_Script(const std::string& script, int frameMs = 16);
// Ends the frame: flip (the next frame's scripted events arrive).
void WidgetsTest_Flip();
// A one-frame image of w x h in one colour (format 6, alpha 255).
ImagePtr WidgetsTest_SolidImage(int w, int h, int r, int g, int b);
// PNG bytes of a solid w x h picture (format 4).
std::vector<uint8_t> WidgetsTest_SolidPng(int w, int h, int r, int g, int b);
// Pixels in the rectangle whose colour differs from `background` (0xRRGGBB) by more than `tolerance` per channel.
int WidgetsTest_CountInk(int x, int y, int w, int h, uint32_t background, int tolerance = 40);
// Everything `f` writes on standard output.
std::string WidgetsTest_Stdout(const std::function<void()>& f);
