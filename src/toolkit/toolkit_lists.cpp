// The list box (rows of icon and text with two scroll bars and four arrows) and the combo box (a drop-down list
// drawn over every window by Paneo_DrawComboList). Used by the file requester and the level editor.
#include <algorithm>
#include <cmath>

#include "platform/graphics.h"
#include "toolkit/toolkit.h"

namespace {
constexpr uint32_t kGrey200 = 0xFFC8C8C8;
bool SameText(const Str& a, const Str& b) { return Str_EqualsNoCase(a, b); }
Str IconOrItem(const Str& path) { return path.empty() ? Paneo_SkinPath("Icon_Item") : path; }
std::shared_ptr<PNO_CustomButton> Arrow(const WidgetPtr& parent, int x, int y, const char* dir) {
    const std::string base = std::string("Arrow_") + dir;
    return PNO_CustomButton::Create(parent, u"", x, y, 15, 15, Paneo_SkinPath((base + "_hi").c_str()),
                                    Paneo_SkinPath((base + "_un").c_str()), Paneo_SkinPath((base + "_se").c_str()), 0);
}
} // namespace

// ==== List box ===================================================================================================

std::shared_ptr<PNO_ListBox> PNO_ListBox::Create(const WidgetPtr& parent, int x, int y, int width, int rows) {
    auto l = std::make_shared<PNO_ListBox>();
    l->X = x;
    l->Y = y;
    const int fullW = std::max(65, width);
    l->W = fullW - 16;
    l->H = std::max(5, rows) * Paneo_FontHeight + 1;
    l->Sound = Paneo_LoadSound(Paneo_ClickSoundPath);
    l->RepeatTimer = GuiTimeout::Create(150);
    l->BodyImage = Img_CreateBevelled(Paneo_SkinPath("Listbox_Body"), l->W, l->H, kGrey200, kGrey200, 1);
    const int w = l->W, h = l->H;
    l->VBar = PNO_Scrollbar::Create(l, u"", w + 1, 0, 15, h - 32, 1, 1, 20, 1, 1, 1);
    l->UpButton = Arrow(l, w + 1, h - 31, "Up");
    l->DownButton = Arrow(l, w + 1, h - 15, "Down");
    l->HBar = PNO_Scrollbar::Create(l, u"", 0, h + 1, w - 16, 15, 0, 0, float(fullW), 10, 0, 1);
    l->LeftButton = Arrow(l, w - 15, h + 1, "Left");
    l->RightButton = Arrow(l, w + 1, h + 1, "Right");
    l->Color = GuiColor::Create(255, 255, 255);
    l->Attach(parent);
    return l;
}

void PNO_ListBox::AddItem(const Str& text, const Str& iconPath) {
    PNO_ListBoxItem item;
    item.Text = text;
    item.Separator = text == u"[]" ? 1 : 0;
    item.Icon = Img_LoadSized(IconOrItem(iconPath), 14, 14);
    Draw_SetImageFont(Paneo_TtfFont);
    WidestText = std::max(WidestText, Text_Width(text));
    Items.push_back(std::move(item));
    ++ItemCount;
    // Back to the first entry and the left edge; no toolkit frame runs here (a long listing would otherwise run one
    // frame per entry and eat the caller's mouse edges).
    if (HBar) HBar->SetValue(0);
    if (VBar) VBar->SetValue(0);
}

void PNO_ListBox::SetItemText(const Str& oldText, const Str& newText) {
    for (auto& it : Items)
        if (SameText(it.Text, oldText)) {
            it.Text = newText;
            return;
        }
}

void PNO_ListBox::SelectByText(const Str& text) {
    for (auto& it : Items) {
        if (SameText(it.Text, text) && !it.Separator) {
            it.Selected = 1;
            SelectedText = it.Text;
        } else if (!SameText(it.Text, text)) {
            it.Selected = 0;
        }
    }
}

void PNO_ListBox::SelectByIndex(int n) {
    for (int i = 0; i < int(Items.size()); ++i) {
        PNO_ListBoxItem& it = Items[size_t(i)];
        if (i + 1 == n && !it.Separator) {
            it.Selected = 1;
            SelectedText = it.Text;
            SelectedIndex = n;
        } else {
            it.Selected = 0;
        }
    }
}

void PNO_ListBox::Clear() {
    Items.clear();
    ItemCount = 0;
    WidestText = 0;
    SelectedText.clear();
}

void PNO_ListBox::DeselectAll() {
    for (auto& it : Items)
        it.Selected = 0;
}

int PNO_ListBox::RemoveItem(const Str& text) {
    for (auto it = Items.begin(); it != Items.end(); ++it)
        if (SameText(it->Text, text)) {
            Items.erase(it);
            --ItemCount;
            return 1;
        }
    return 0;
}

void PNO_ListBox::Sort(int ascending) {
    std::stable_sort(Items.begin(), Items.end(), [&](const PNO_ListBoxItem& a, const PNO_ListBoxItem& b) {
        return ascending ? a.Text < b.Text : b.Text < a.Text;
    });
}

void PNO_ListBox::Update(PNO_Widget& parent) {
    const int sx = parent.AbsX + X, sy = parent.AbsY + Y;
    AbsX = sx;
    AbsY = sy;
    if (!Hidden) {
        Draw_SetAlpha(DrawAlpha());
        Draw_ImageColored(BodyImage, sx, sy, Color, 0, Blend);
        UpdateItems(parent.Inactive == 0);
    }
    Paneo_SetChildrenColor(Children, Color);
    FinishUpdate(sx, sy);
}

void PNO_ListBox::UpdateItems(int inputAllowed) {
    const int L = std::max(1, Paneo_FontHeight);
    int top = VBar ? int(VBar->Value) : 1;
    const int left = HBar ? int(HBar->Value) : 0;
    const int rows = H / L;
    const int count = ItemCount;
    int offset = 0;
    bool rangesDone = false, inputDone = false;
    for (int i = 1; i <= int(Items.size()); ++i) {
        Draw_SetViewport(AbsX + 2, AbsY, W - 4, H);
        if (i < top || i > top + rows) continue;
        if (!rangesDone && VBar && HBar) {
            rangesDone = true;
            const int track = H - 32;
            if (count > rows) {
                VBar->MaxValue = float(count + 1 - rows);
                VBar->ThumbSize = std::max(10, rows * track / std::max(1, count));
            } else {
                VBar->MaxValue = 1;
                VBar->ThumbSize = track;
                if (WidestText < HBar->W) {
                    HBar->ThumbSize = HBar->W;
                    HBar->MaxValue = float(HBar->W);
                } else {
                    HBar->ThumbSize = (HBar->W + 16) / 2;
                    HBar->MaxValue = float(WidestText + 32 - HBar->W);
                }
                top = 1;
            }
        }
        if (!inputDone && inputAllowed && Paneo_ComboOpen == 0 && Paneo_WindowDragging == 0) {
            inputDone = true; // the mouse is read once per frame, not once per row
            if (GuiMouse.LeftDown && GuiMouse.InRect(AbsX, AbsY, W, H - 1, 1) && Inactive == 0) {
                SelectByIndex((GuiMouse.Y - AbsY) / L + top);
                PlayOnce();
            } else {
                SoundPlayed = 0;
            }
            if (GuiMouse.InRect(AbsX, AbsY, W, H, 0) && GuiMouse.WheelDir != 0 && VBar) {
                if (GuiMouse.WheelDir == -1)
                    VBar->Decrease();
                else
                    VBar->Increase();
                GuiMouse.WheelDir = 0;
            }
            const bool due = Timeout_Expired(RepeatTimer);
            const auto step = [&](const std::shared_ptr<PNO_CustomButton>& b, bool go,
                                  const std::shared_ptr<PNO_Scrollbar>& bar, bool up) {
                if (!b || !bar || !b->IsDown() || !go) return;
                if (up)
                    bar->Decrease();
                else
                    bar->Increase();
                Timeout_Restart(RepeatTimer, 150);
            };
            step(LeftButton, due, HBar, true);
            step(RightButton, due, HBar, false);
            step(UpButton, due, VBar, true);
            step(DownButton, due, VBar, false);
        }
        if (offset >= H) continue;
        const PNO_ListBoxItem& it = Items[size_t(i - 1)];
        Draw_SetAlpha(DrawAlpha());
        Draw_SetBlend(Blend);
        if (it.Selected) {
            Draw_SetColor(93, 155, 219);
            Draw_Rect(float(AbsX), float(AbsY + offset + 1), float(W), float(L - 1));
        }
        if (!it.Separator) {
            Draw_ImageColored(it.Icon, AbsX + 2 - left, AbsY + offset + 1, Color, 0, Blend);
            Draw_TextRGB(it.Text, AbsX + 2 - left + 17, AbsY + offset, 50, 50, 50, Paneo_TtfFont, Blend);
        } else {
            Draw_SetColor(120, 120, 120);
            Draw_Rect(float(AbsX), float(AbsY + offset + L / 2), float(W), 1);
        }
        offset += L;
    }
    Paneo_ResetDrawState();
}

void PNO_ListBox::PlayOnce() {
    if (Sound && SoundPlayed == 0 && Paneo_SoundsOn == 1) Sound_Play(Sound);
    SoundPlayed = 1;
}

void PNO_ListBox::Free() {
    UpButton.reset();
    DownButton.reset();
    LeftButton.reset();
    RightButton.reset();
    HBar.reset();
    VBar.reset();
    BodyImage.reset();
    Sound.reset();
    Clear();
    PNO_Widget::Free();
}

// ==== Combo box ==================================================================================================

std::shared_ptr<PNO_Combo> PNO_Combo::Create(const WidgetPtr& parent, int x, int y, int width) {
    auto c = std::make_shared<PNO_Combo>();
    c->X = x;
    c->Y = y;
    c->Sound = Paneo_LoadSound(Paneo_ClickSoundPath);
    c->H = Paneo_FontHeight + 2;
    c->W = std::max(1, width - c->H);
    const int w = c->W, h = c->H, L = std::max(1, Paneo_FontHeight);
    c->ArrowImage = Img_CreateBevelled(Paneo_SkinPath("Combo_Symbol_un"), h, h, kGrey200, kGrey200, 1);
    c->ArrowPressedImage = Img_CreateBevelled(Paneo_SkinPath("Combo_Symbol_se"), h, h, kGrey200, kGrey200, 1);
    c->BodyImage = Img_CreateBevelled(Paneo_SkinPath("Combo_Body_un"), w, h, kGrey200, kGrey200, 1);
    c->BodyPressedImage = Img_CreateBevelled(Paneo_SkinPath("Combo_Body_se"), w, h, kGrey200, kGrey200, 1);
    c->RowImage = Img_LoadSized(Paneo_SkinPath("Combo_Bar_un"), w + h, L);
    c->RowHighlightImage = Img_LoadSized(Paneo_SkinPath("Combo_Bar_se"), w + h, L);
    c->Color = GuiColor::Create(255, 255, 255);
    c->Attach(parent);
    Paneo_Combos.AddLast(c);
    return c;
}

namespace {
bool Owns(const PNO_ComboItem& it, const PNO_Combo* c) { return it.Owner.lock().get() == c; }
} // namespace

void PNO_Combo::AddItem(const Str& text, const Str& iconPath) {
    PNO_ComboItem item;
    item.Owner = std::static_pointer_cast<PNO_Combo>(shared_from_this());
    item.Icon = Img_LoadSized(IconOrItem(iconPath), 15, 15);
    item.Text = text;
    Paneo_ComboItems.push_back(std::move(item));
    ++ItemCount;
    SelectByText(text, 1);
}

void PNO_Combo::Clear() {
    std::erase_if(Paneo_ComboItems, [&](const PNO_ComboItem& it) { return Owns(it, this) || it.Owner.expired(); });
    SelectedText.clear();
    ItemCount = 0;
}

int PNO_Combo::SelectByText(const Str& text, int exclusive) {
    int found = 0;
    for (auto& it : Paneo_ComboItems) {
        if (!Owns(it, this) || !SameText(it.Text, text)) continue;
        if (exclusive == 1)
            for (auto& other : Paneo_ComboItems)
                if (Owns(other, this)) other.State = 0;
        it.State = 2;
        SelectedText = it.Text;
        SelectedIcon = it.Icon;
        ++found;
    }
    return found;
}

void PNO_Combo::SetItemState(int n, int state) {
    int i = 0;
    for (auto& it : Paneo_ComboItems) {
        if (!Owns(it, this)) continue;
        if (++i == n) {
            it.State = uint8_t(state);
            if (state == 2) {
                SelectedText = it.Text;
                SelectedIcon = it.Icon;
            }
        } else {
            it.State = 0;
        }
    }
}

void PNO_Combo::DeselectAll() {
    for (auto& it : Paneo_ComboItems)
        if (Owns(it, this)) it.State = 0;
}

void PNO_Combo::CloseAll() {
    for (const auto& c : Paneo_Combos)
        c->State = 0;
    Paneo_ComboOpen = 0;
    Paneo_OpenCombo.reset();
}

int PNO_Combo::ListHeight() const { return ItemCount * Paneo_FontHeight; }

void PNO_Combo::Update(PNO_Widget& parent) {
    const int ax = parent.AbsX + X, ay = parent.AbsY + Y;
    if (!Hidden) {
        Draw_SetAlpha(DrawAlpha());
        if (parent.Inactive == 0) {
            if (GuiMouse.LeftHit && GuiMouse.InRect(ax, ay, W + 16, H, 0) && Inactive == 0 && State == 0 &&
                Paneo_ComboOpen == 0 && ItemCount > 0) {
                CloseAll();
                State = 1;
                Paneo_ComboOpen = 1;
                Paneo_OpenCombo = std::static_pointer_cast<PNO_Combo>(shared_from_this());
            } else if ((GuiMouse.LeftHit && State == 1 && !GuiMouse.InRect(ax, ay, W + 16, ListHeight() + H, 0)) ||
                       GuiMouse.RightHit) {
                CloseAll();
            }
        }
        if (State == 1) {
            Draw_ImageColored(ArrowPressedImage, ax + W, ay, Color, 0, Blend);
            Draw_ImageColored(BodyPressedImage, ax, ay, Color, 0, Blend);
            if (Sound && SoundPlayed == 0 && Paneo_SoundsOn == 1) Sound_Play(Sound);
            SoundPlayed = 1;
        } else {
            Draw_ImageColored(ArrowImage, ax + W, ay, Color, 0, Blend);
            Draw_ImageColored(BodyImage, ax, ay, Color, 0, Blend);
            SoundPlayed = 0;
        }
        Draw_SetViewport(ax, ay, W - 1, H);
        Draw_TextRGB(SelectedText, ax + 20, ay + 1, 50, 50, 50, Paneo_TtfFont, Blend);
        Draw_ImageColored(SelectedIcon, ax + 2, ay + 1, Color, 0, Blend);
    }
    FinishUpdate(ax, ay);
}

void PNO_Combo::Free() {
    const auto self = std::static_pointer_cast<PNO_Combo>(shared_from_this());
    if (Paneo_OpenCombo.lock() == self) CloseAll(); // a freed box must not keep every other widget deaf
    ArrowImage.reset();
    ArrowPressedImage.reset();
    BodyImage.reset();
    BodyPressedImage.reset();
    RowImage.reset();
    RowHighlightImage.reset();
    Sound.reset();
    Paneo_Combos.Remove(self);
    Clear();
    PNO_Widget::Free();
}

void Paneo_DrawComboList() {
    const auto c = Paneo_OpenCombo.lock();
    if (Paneo_ComboOpen == 1 && c && c->State == 1) {
        const GuiFontScope font(Paneo_FontOf(*c)); // drawn above every window, in the font of the box's own
        const int L = std::max(1, Paneo_FontHeight);
        const int x = c->AbsX, y = c->AbsY + c->H + 1, w = c->W + 16, h = c->ListHeight();
        Draw_SetBlend(BLEND_ALPHA);
        Draw_SetAlpha(c->Alpha / 2);
        Draw_SetColor(0, 0, 0);
        Draw_Rect(float(x + 2), float(y + 2), float(w), float(h));
        Draw_SetAlpha(c->Alpha);
        // Mouse first, then drawing: a release over a row selects it and closes the list.
        if (GuiMouse.InRect(x, y, w, h, 0)) {
            const int row = (GuiMouse.Y - (y - L)) / L;
            if (row >= 1 && row <= c->ItemCount) {
                if (GuiMouse.LeftReleased) {
                    c->SetItemState(row, 2);
                    PNO_Combo::CloseAll();
                    Paneo_ResetDrawState();
                    return;
                }
                c->SetItemState(row, 1);
                c->SelectByText(c->SelectedText, 0);
            }
        }
        int offset = 0;
        for (const auto& it : Paneo_ComboItems) {
            if (!Owns(it, c.get())) continue;
            Draw_SetBlend(BLEND_ALPHA);
            Draw_SetViewport(0, 0, Graphics_Width(), Graphics_Height());
            Draw_ImageColored(c->RowImage, x, y + offset, c->Color, 0, BLEND_ALPHA);
            if (it.State == 1) Draw_ImageColored(c->RowHighlightImage, x, y + offset, c->Color, 0, BLEND_ALPHA);
            if (it.State == 2) {
                Draw_SetAlpha(c->Alpha / 2);
                Draw_ImageColored(c->RowHighlightImage, x, y + offset, c->Color, 0, BLEND_ALPHA);
                Draw_SetAlpha(c->Alpha);
            }
            Draw_SetViewport(x, y, w - 2, h);
            Draw_ImageColored(it.Icon, x + 2, y + offset, c->Color, 0, c->Blend);
            Draw_TextRGB(it.Text, x + 20, y + offset, 0, 0, 0, Paneo_TtfFont, c->Blend);
            offset += L;
        }
    }
    Paneo_ResetDrawState();
}
