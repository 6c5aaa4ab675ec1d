// Text layout in the current image font: centred single lines, word-wrapped blocks and fitting a text into a box
// by stepping through the font table. Used by every dialog, message box and the tutorial frame.
#pragma once

#include <vector>

#include "platform/strings.h"

// Draws the text centred on (x, y), both ways, in the current font, colour and alpha.
void Text_DrawCenteredAt(const Str& text, float x, float y);

// A single line that can vary (a player's name, a caption with a name in it) kept inside `width` pixels: drawn in the
// current font when it fits, else shrunk as a whole (both ways, about the middle of the line's height) until it
// does. Text_FitScale is that factor (1 when the text fits). Draw_Text's top-left rule; Text_DrawFittedCentred
// centres the drawn line on (x, y) both ways.
float Text_FitScale(const Str& text, int width);
void Text_DrawFitted(const Str& text, float x, float y, int width);
void Text_DrawFittedCentred(const Str& text, float x, float y, int width);

// Splits the text into the lines Text_DrawWrapped draws: CR breaks a line, LF is ignored, lines break at blanks so
// that each fits `width` pixels in the current font; a single word wider than `width` stands alone on its line.
// Blanks at a break are dropped; a trailing CR does not add an empty last line. Empty text gives no line.
std::vector<Str> Text_WrapLines(const Str& text, int width);

// Word-wraps the text to `width` and draws it from (x, y) in the current font, each line centred in the width
// when centred is 1, nothing drawn when measureOnly is 1. Returns the height: lines x the font's line height.
int Text_DrawWrapped(const Str& text, float x, float y, int width, int measureOnly, int centred);

// The index of the first font, from `firstFont` down through smaller sizes of the same family, in which the
// wrapped text fits width x height (every line no wider than width, the block no taller than height). When none
// does, writes "no font is small enough" and returns the smallest font of the family. The current font is left
// as it was.
int Text_FitFont(const Str& text, int firstFont, int width, int height);
