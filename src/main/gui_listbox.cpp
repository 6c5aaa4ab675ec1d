// GUIListbox and its rows: selection by click, double-click by a second click on the same row in time, and drawing
// rows top-down with the selected one on a bar. Used by the players dialog (subsystem 4).
#include "main/gui_listbox.h"

#include "main/gui_button.h"
#include "main/text_layout.h"
#include "platform/graphics.h"
#include "platform/system.h"

void GUIListboxSlot_Nothing(GUIListboxSlot&) {}

namespace {
GUIListboxAction OrNothing(GUIListboxAction f) { return f ? std::move(f) : GUIListboxAction(GUIListboxSlot_Nothing); }

constexpr int32_t kBarR = 90, kBarG = 70, kBarB = 40; // selection bar colour
constexpr float kBarAlpha = 0.6f;
constexpr float kTextIndent = 4; // pixels from the list's left edge to a row's text
} // namespace

void GUIListboxSlot::SetCallbacks(GUIListboxAction leftUp, GUIListboxAction doubleClick) {
    onLeftUp = OrNothing(std::move(leftUp));
    onDoubleClick = OrNothing(std::move(doubleClick));
}

GUIListboxPtr GUIListbox::Create(float nx, float ny, int32_t cap, int32_t w) {
    auto list = std::make_shared<GUIListbox>();
    list->x = nx;
    list->y = ny;
    list->capacity = cap;
    list->width = w;
    return list;
}

GUIListboxSlotPtr GUIListbox::AddItem(const Str& text, const FontPtr& font, int32_t r, int32_t g, int32_t b,
                                      int32_t data) {
    auto slot = std::make_shared<GUIListboxSlot>();
    slot->text = text;
    slot->font = font;
    slot->r = r;
    slot->g = g;
    slot->b = b;
    slot->data = data;
    if (rowCount >= capacity) {
        Log_Print(u"GUIListbox.AddItem: list full at " + Str_FromInt(capacity) + u" rows, dropped " + text);
        slot->index = -1;
        return slot;
    }
    slot->index = rowCount;
    rows.push_back(slot);
    rowCount = static_cast<int32_t>(rows.size());
    return slot;
}

void GUIListbox::Clear() {
    rows.clear();
    rowCount = 0;
    selected = -1;
    hoverRow = pressRow = lastClickRow = -1;
}

int32_t GUIListbox::RowHeight(int32_t row) const {
    if (row < 0 || row >= rowCount) return 0;
    const FontPtr& f = rows[static_cast<size_t>(row)]->font;
    return ImageFont_Height(f ? f : Draw_GetImageFont());
}

int32_t GUIListbox::RowAt(int mx, int my) const {
    if (static_cast<float>(mx) < x || static_cast<float>(mx) >= x + static_cast<float>(width)) return -1;
    float top = y;
    for (int32_t i = 0; i < rowCount; ++i) {
        const float h = static_cast<float>(RowHeight(i));
        if (static_cast<float>(my) >= top && static_cast<float>(my) < top + h) return i;
        top += h;
    }
    return -1;
}

void GUIListbox::Update() {
    const GUIListboxPtr keep = weak_from_this().lock(); // a row action may drop the owner's reference
    const GUIMouse& m = GUI_Mouse();
    const int32_t row = RowAt(m.x, m.y);
    hoverRow = row;
    if (m.pressed) pressRow = row;
    if (!m.released) {
        if (!m.down) pressRow = -1;
        return;
    }
    const int32_t pressedOn = pressRow;
    pressRow = -1;
    if (row < 0 || row != pressedOn) return;
    selected = row;
    const int32_t now = Sys_Millisecs();
    const bool isDouble = lastClickRow == row && now - lastClickMs <= kListboxDoubleClickMs;
    lastClickRow = isDouble ? -1 : row; // a third click starts a new pair
    lastClickMs = now;
    const GUIListboxSlotPtr slot = rows[static_cast<size_t>(row)];
    slot->onLeftUp(*slot);
    if (isDouble) slot->onDoubleClick(*slot);
}

void GUIListbox::Draw() {
    const FontPtr previousFont = Draw_GetImageFont();
    int r, g, b;
    Draw_GetColor(r, g, b);
    const float alpha = Draw_GetAlpha();
    float top = y;
    for (int32_t i = 0; i < rowCount; ++i) {
        const GUIListboxSlot& slot = *rows[static_cast<size_t>(i)];
        const float h = static_cast<float>(RowHeight(i));
        if (i == selected) {
            Draw_SetColor(kBarR, kBarG, kBarB);
            Draw_SetAlpha(alpha * kBarAlpha);
            Draw_Rect(x, top, static_cast<float>(width), h);
            Draw_SetAlpha(alpha);
        }
        Draw_SetImageFont(slot.font ? slot.font : previousFont);
        Draw_SetColor(slot.r, slot.g, slot.b);
        Text_DrawFitted(slot.text, x + kTextIndent, top,
                        int(float(width) - 2 * kTextIndent)); // a long name stays in its row
        top += h;
    }
    Draw_SetColor(r, g, b);
    Draw_SetImageFont(previousFont);
}
