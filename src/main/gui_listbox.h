// GUIListbox and GUIListboxSlot: a column of text rows, each with its own font, colour and data value, one selected
// row, and per-row left-up and double-click callbacks. Used by the players dialog; updated and drawn by its owner
// once per frame.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/font.h"
#include "platform/strings.h"

class GUIListboxSlot;
class GUIListbox;
using GUIListboxSlotPtr = std::shared_ptr<GUIListboxSlot>;
using GUIListboxPtr = std::shared_ptr<GUIListbox>;
// A row callback, called with the row. An empty one is the shared do-nothing function.
using GUIListboxAction = std::function<void(GUIListboxSlot&)>;
void GUIListboxSlot_Nothing(GUIListboxSlot& slot);

class GUIListboxSlot {
  public:
    Str text;
    FontPtr font;                      // null: the current font
    int32_t r = 255, g = 255, b = 255; // text colour
    int32_t data = 0;                  // the value given to AddItem
    int32_t index = 0;                 // row number in its list, -1 when it was dropped from a full list
    GUIListboxAction onLeftUp = GUIListboxSlot_Nothing, onDoubleClick = GUIListboxSlot_Nothing;

    void SetCallbacks(GUIListboxAction leftUp, GUIListboxAction doubleClick);
};

constexpr int32_t kListboxDoubleClickMs = 400; // second click on the same row within this time: double-click

class GUIListbox : public std::enable_shared_from_this<GUIListbox> {
  public:
    float x = 0, y = 0;    // top-left of the first row
    int32_t capacity = 0;  // most rows it takes
    int32_t width = 0;     // row width in pixels (hit area and selection bar)
    int32_t rowCount = 0;  // rows in use
    int32_t selected = -1; // selected row, -1 none
    std::vector<GUIListboxSlotPtr> rows;
    int32_t hoverRow = -1;     // row under the mouse, -1 none
    int32_t pressRow = -1;     // row the left button went down on, -1 none
    int32_t lastClickRow = -1; // row of the last click, for the double-click
    int32_t lastClickMs = 0;   // time of the last click (Sys_Millisecs)

    static GUIListboxPtr Create(float x, float y, int32_t capacity, int32_t width);
    // Appends a row and returns it. When the list is full: a diagnostic line, and a row that belongs to no list
    // (never drawn or clicked), so that a caller setting its callbacks is safe.
    GUIListboxSlotPtr AddItem(const Str& text, const FontPtr& font, int32_t r, int32_t g, int32_t b, int32_t data);
    void Clear();  // no rows, nothing selected
    void Update(); // a click on a row selects it and calls its left-up; a second quick click its double-click
    void Draw();   // rows top-down, the selected one on a bar
    int32_t RowHeight(int32_t row) const; // pixels: the row font's line height
    int32_t RowAt(int mx, int my) const;  // the row under a point, -1 none
};
