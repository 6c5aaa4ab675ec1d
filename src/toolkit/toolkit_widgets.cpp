// The single widgets of the toolkit: label, custom and push buttons, text input, check box, value spinner, scroll
// bar and static image. Each Update reads the mouse and keyboard, draws, and records the outcome in its fields.
//
// Index: [LABEL] [BUTTONS] [INPUT] [CHECKBOX] [VALUE] [SCROLLBAR] [IMAGE]
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/graphics.h"
#include "platform/input.h"
#include "toolkit/toolkit.h"

namespace {
constexpr uint32_t kGrey200 = 0xFFC8C8C8;
constexpr uint32_t kGrey80 = 0xFF505050;
bool ParentActive(const PNO_Widget& parent) { return parent.Inactive == 0; }
void PlayOnce(PNO_Widget& w) {
    if (w.Sound && w.SoundPlayed == 0 && Paneo_SoundsOn == 1) Sound_Play(w.Sound);
    w.SoundPlayed = 1;
}
} // namespace

// ==== [LABEL] ====================================================================================================

std::shared_ptr<PNO_Label> PNO_Label::Create(const WidgetPtr& parent, const Str& text, int x, int y, int align,
                                             const GuiColorPtr& color) {
    auto l = std::make_shared<PNO_Label>();
    l->Text = text;
    l->Align = uint8_t(align);
    l->X = x;
    l->Y = y;
    l->Color = color;
    l->Attach(parent);
    return l;
}

void PNO_Label::Update(PNO_Widget& parent) {
    const int sx = parent.AbsX + X, sy = parent.AbsY + Y;
    if (!Hidden) {
        Draw_SetBlend(Blend);
        Draw_SetAlpha(DrawAlpha());
        Paneo_DrawTextAligned(Text, sx, sy, Align, 0, Color);
    }
    FinishUpdate(sx, sy);
}

void Paneo_DrawTextAligned(const Str& text, int x, int y, int align, int width, const GuiColorPtr& color) {
    Draw_SetImageFont(Paneo_TtfFont);
    if (align < 1 || align > 3) return;
    int offset = 0;
    size_t start = 0;
    while (start < text.size() || start == 0) {
        size_t end = text.find(u'|', start);
        if (end == Str::npos) end = text.size();
        static Str line; // keeps its buffer between frames
        line.assign(text, start, end - start);
        if (!line.empty()) {
            const int w = Text_Width(line);
            const int lx = align == 1 ? x : align == 2 ? x - w / 2 : x + width - w;
            Draw_TextColored(line, lx, y + offset, color, Paneo_TtfFont, BLEND_ALPHA);
        }
        offset += Paneo_FontHeight - 1;
        start = end + 1;
        if (start >= text.size()) break;
    }
}

// ==== [BUTTONS] ==================================================================================================

void PNO_ButtonBase::MakeCaption() {
    Caption = PNO_Label::Create(shared_from_this(), Text, W / 2, H / 2 - Paneo_FontHeight / 2, 2,
                                GuiColor::Create(10, 10, 10));
}

void PNO_ButtonBase::SetText(const Str& text) {
    Text = text;
    if (Caption) Caption->SetText(text);
}

int PNO_ButtonBase::Clicked() {
    if (State != 3) return 0;
    State = 0;
    return 1;
}

void PNO_ButtonBase::Update(PNO_Widget& parent) {
    const int sx = parent.AbsX + X, sy = parent.AbsY + Y;
    if (!Hidden) {
        Draw_SetAlpha(DrawAlpha());
        State = 0;
        if (Caption) Caption->SetText(Text);
        if (ParentActive(parent) && Paneo_ComboOpen == 0 && Inactive == 0) {
            const bool pressedHere = Paneo_PressedWidget.lock().get() == this;
            if (GuiMouse.InRect(sx, sy, W, H, 0)) State = 1;
            if (GuiMouse.LeftDown && GuiMouse.InRect(sx, sy, W, H, 1)) {
                Paneo_PressedWidget = shared_from_this();
                Paneo_MouseFree = 0;
                State = 2;
                PlayOnce(*this);
            }
            if (GuiMouse.LeftReleased && pressedHere) {
                Paneo_MouseFree = 1;
                SoundPlayed = 0;
                if (GuiMouse.InRect(sx, sy, W, H, 0)) State = 3;
            }
        }
        if (State != 3) DrawLook(State == 2 ? 2 : State, sx, sy);
        // The delay runs while the mouse rests on the button (also when it was there before the first frame).
        if ((State == 0 || !TooltipDelay) && !Tooltip.empty()) Timeout_Restart(TooltipDelay, 450);
    }
    FinishUpdate(sx, sy);
}

std::shared_ptr<PNO_CustomButton> PNO_CustomButton::Create(const WidgetPtr& parent, const Str& text, int x, int y,
                                                           int w, int h, const Str& hoverPath, const Str& normalPath,
                                                           const Str& pressedPath, int bevelled) {
    auto b = std::make_shared<PNO_CustomButton>();
    b->Sound = Paneo_LoadSound(Paneo_ClickSoundPath);
    b->Text = text;
    b->X = x;
    b->Y = y;
    b->W = w;
    b->H = h;
    b->MakeCaption();
    b->Color = GuiColor::Create(255, 255, 255);
    const uint32_t light = bevelled == 1 ? kGrey200 : 0, dark = bevelled == 1 ? kGrey200 : 0;
    b->HoverImage = Img_CreateBevelled(hoverPath, w, h, light, dark, bevelled == 1 ? 1 : 0);
    b->NormalImage = Img_CreateBevelled(normalPath, w, h, light, dark, bevelled == 1 ? 1 : 0);
    b->PressedImage = Img_CreateBevelled(pressedPath, w, h, light, dark, bevelled == 1 ? 2 : 0);
    b->Attach(parent);
    return b;
}

void PNO_CustomButton::DrawLook(int look, int sx, int sy) {
    const ImagePtr& img = look == 1 ? HoverImage : look == 2 ? PressedImage : NormalImage;
    Draw_ImageColored(img, sx, sy, Color, 0, Blend);
}

void PNO_CustomButton::Free() {
    HoverImage.reset();
    NormalImage.reset();
    PressedImage.reset();
    Sound.reset();
    PNO_Widget::Free();
}

std::shared_ptr<PNO_PushButton> PNO_PushButton::Create(const WidgetPtr& parent, const Str& text, int x, int y, int w) {
    auto b = std::make_shared<PNO_PushButton>();
    b->Sound = Paneo_LoadSound(Paneo_ClickSoundPath);
    b->X = x;
    b->Y = y;
    b->W = std::max(35, w);
    const PixmapPtr& cap = Img_Pixmap(Paneo_SkinPath("Button_left_hi"));
    b->H = cap ? cap->height : 20;
    // Caps wider than half the button would leave no middle: they are narrowed to fit.
    b->CapWidth = std::min(cap ? cap->width : 8, b->W / 2 - 1);
    static const char* const kLooks[3][3] = {{"Button_left_un", "Button_middle_un", "Button_right_un"},
                                             {"Button_left_hi", "Button_middle_hi", "Button_right_hi"},
                                             {"Button_left_se", "Button_middle_se", "Button_right_se"}};
    for (int look = 0; look < 3; ++look)
        for (int part = 0; part < 3; ++part) {
            const int pw = part == 1 ? b->W - 2 * b->CapWidth : b->CapWidth;
            b->Parts[look * 3 + part] = Img_LoadSized(Paneo_SkinPath(kLooks[look][part]), std::max(1, pw), b->H);
        }
    b->Text = text;
    b->MakeCaption();
    b->Color = GuiColor::Create(255, 255, 255);
    b->Attach(parent);
    return b;
}

void PNO_PushButton::DrawLook(int look, int sx, int sy) {
    const int base = look * 3;
    Draw_ImageColored(Parts[base], sx, sy, Color, 0, Blend);
    Draw_ImageColored(Parts[base + 1], sx + CapWidth, sy, Color, 0, Blend);
    Draw_ImageColored(Parts[base + 2], sx + W - CapWidth, sy, Color, 0, Blend);
}

void PNO_PushButton::Free() {
    for (auto& p : Parts)
        p.reset();
    Sound.reset();
    PNO_Widget::Free();
}

// ==== [INPUT] ====================================================================================================

namespace {
constexpr char16_t kAllowed[] = u" ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz1234567890!?./:;*%$()&'+-*#@="
                                u"çàéèêâûîôëäÿü_";
struct EditKey {
    int vk;
    const char16_t* name;
};
constexpr EditKey kEditKeys[] = {
    {VK::ESCAPE, u"KEY_ESCAPE"},  {VK::PRIOR, u"KEY_PAGEUP"},   {VK::NEXT, u"KEY_PAGEDOWN"}, {VK::RIGHT, u"KEY_RIGHT"},
    {VK::LEFT, u"KEY_LEFT"},      {VK::HOME, u"KEY_HOME"},      {VK::END, u"KEY_END"},       {VK::RETURN, u"KEY_ENTER"},
    {VK::DELETE_, u"KEY_DELETE"}, {VK::BACK, u"KEY_BACKSPACE"},
};
} // namespace

bool Paneo_InputAllows(char16_t c) {
    for (const char16_t* p = kAllowed; *p; ++p)
        if (*p == c) return true;
    return false;
}

Str Paneo_ReadInputKey() {
    for (const EditKey& k : kEditKeys)
        if (Key_Down(k.vk)) return k.name;
    return Str();
}

std::shared_ptr<PNO_Input> PNO_Input::Create(const WidgetPtr& parent, const Str& text, int x, int y, int visible,
                                             int maxLength) {
    auto in = std::make_shared<PNO_Input>();
    in->Text = text;
    in->Sound = Paneo_LoadSound(Paneo_ClickSoundPath);
    in->X = x;
    in->Y = y;
    Draw_SetImageFont(Paneo_FonFont);
    in->CharWidth = std::max(1, Text_Width(u"0"));
    in->VisibleChars = std::max(1, visible);
    in->W = in->VisibleChars * in->CharWidth + 5;
    in->MaxLength = maxLength;
    in->H = Paneo_FontHeight + 1;
    in->KeyRepeat = GuiTimeout::Create(90);
    in->UnselectedImage = Img_CreateBevelled(Paneo_SkinPath("Input_Unselect"), in->W, in->H, kGrey200, kGrey80, 2);
    in->SelectedImage = Img_CreateBevelled(Paneo_SkinPath("Input_Select"), in->W, in->H, kGrey200, kGrey80, 2);
    in->Color = GuiColor::Create(255, 255, 255);
    in->Attach(parent);
    return in;
}

void PNO_Input::KeepCaretInside() {
    const int n = int(Text.size());
    CaretIndex = std::clamp(CaretIndex, 0, n);
    if (ScrollOffset > CaretIndex) ScrollOffset = CaretIndex;
    if (CaretIndex - ScrollOffset > VisibleChars) ScrollOffset = CaretIndex - VisibleChars;
    ScrollOffset = std::max(0, ScrollOffset);
    CaretX = (CaretIndex - ScrollOffset) * CharWidth;
}

void PNO_Input::TypeChar(char16_t c) {
    if (int(Text.size()) >= MaxLength || c <= 15 || !Paneo_InputAllows(c)) return;
    KeepCaretInside();
    Text = Str_InsertAt(Text, Str(1, c), CaretIndex);
    ++CaretIndex;
    KeepCaretInside();
}

bool PNO_Input::HandleKey(const Str& key) {
    const int n = int(Text.size());
    KeepCaretInside();
    if (key == u"KEY_ENTER" || key == u"KEY_ESCAPE") {
        State = 0;
        return false;
    }
    if (key == u"KEY_HOME") {
        CaretIndex = ScrollOffset = 0;
    } else if (key == u"KEY_END") {
        CaretIndex = n;
    } else if (key == u"KEY_BACKSPACE") {
        if (CaretIndex > 0) {
            Text = Str_DeleteRange(Text, CaretIndex - 1, 1);
            --CaretIndex;
        }
    } else if (key == u"KEY_LEFT") {
        CaretIndex = std::max(0, CaretIndex - 1);
    } else if (key == u"KEY_RIGHT") {
        CaretIndex = std::min(n, CaretIndex + 1);
    } else if (key == u"KEY_DELETE") {
        Text = Str_DeleteRange(Text, CaretIndex, 1);
    }
    KeepCaretInside();
    return true;
}

void PNO_Input::Update(PNO_Widget& parent) {
    const int sx = parent.AbsX + X, sy = parent.AbsY + Y;
    if (!Hidden) {
        Draw_SetAlpha(DrawAlpha());
        Draw_SetViewport(sx, sy, W, H);
        if (ParentActive(parent)) {
            const bool inside = GuiMouse.InRect(sx, sy, W, H, 0);
            if (Paneo_ComboOpen == 0 && inside && GuiMouse.LeftHit) {
                if (State == 0) { // what was typed before the field took the keyboard is not its text
                    while (Key_GetChar() != 0) {
                    }
                    for (const auto& k : kEditKeys)
                        Key_Hit(k.vk);
                }
                State = 1;
                // The cell left of the click, counted from the first visible character.
                CaretIndex = std::min(int(Text.size()), ScrollOffset + std::max(0, GuiMouse.PressX - sx) / CharWidth);
                KeepCaretInside();
            } else if ((GuiMouse.LeftHit && !inside) || (State == 1 && Key_Hit(VK::RETURN))) {
                // (Only the editing field asks for Enter: another field must not take the hit that ends it.)
                State = 0;
                ScrollOffset = 0;
            }
        }
        if (State == 1 && Inactive == 0) {
            PlayOnce(*this);
            // Held editing keys act at once on a new press and then every 90 ms; typed characters are all taken.
            Str key;
            for (const auto& k : kEditKeys)
                if (Key_Hit(k.vk)) {
                    key = k.name;
                    break;
                }
            if (key.empty() && Timeout_Expired(KeyRepeat)) key = Paneo_ReadInputKey();
            if (!key.empty()) Timeout_Restart(KeyRepeat, 90);
            if (!key.empty() && !HandleKey(key)) {
                Paneo_ResetDrawState();
                AbsX = sx;
                AbsY = sy;
                return;
            }
            for (int c = Key_GetChar(); c != 0; c = Key_GetChar())
                TypeChar(char16_t(c));
            Draw_ImageColored(SelectedImage, sx, sy, Color, 0, Blend);
            Draw_SetColor(255, 155, 50);
            Draw_Rect(float(sx + 2 + CaretX), float(sy + 2), 2, float(H - 4));
        } else {
            Draw_ImageColored(UnselectedImage, sx, sy, Color, 0, Blend);
            SoundPlayed = 0;
        }
        Draw_TextRGB(Str_Mid(Text, ScrollOffset, VisibleChars), sx + 2, sy + 2, 50, 50, 50, Paneo_FonFont, Blend);
    }
    FinishUpdate(sx, sy);
}

void PNO_Input::Free() {
    UnselectedImage.reset();
    SelectedImage.reset();
    Sound.reset();
    PNO_Widget::Free();
}

// ==== [CHECKBOX] =================================================================================================

std::shared_ptr<PNO_Checkbox> PNO_Checkbox::Create(const WidgetPtr& parent, const Str& text, int x, int y,
                                                   int checked) {
    auto c = std::make_shared<PNO_Checkbox>();
    c->Sound = Paneo_LoadSound(Paneo_ClickSoundPath);
    c->X = x;
    c->Y = y;
    c->W = Text_Width(text);
    c->H = 16;
    c->State = uint8_t(checked != 0);
    c->Text = text;
    c->Caption = PNO_Label::Create(c, text, 17, 16 / 2 - Paneo_FontHeight / 2 - 1, 1, GuiColor::Create(10, 10, 10));
    c->Color = GuiColor::Create(255, 255, 255);
    c->UncheckedImage = Img_LoadSized(Paneo_SkinPath("Checkbox_un"), 16, 16);
    c->CheckedImage = Img_LoadSized(Paneo_SkinPath("Checkbox_se"), 16, 16);
    c->Attach(parent);
    return c;
}

void PNO_Checkbox::SetText(const Str& text) {
    Text = text;
    if (Caption) Caption->SetText(text);
}

void PNO_Checkbox::Update(PNO_Widget& parent) {
    const int sx = parent.AbsX + X, sy = parent.AbsY + Y;
    if (!Hidden) {
        Draw_SetAlpha(DrawAlpha(2.5f));
        if (Caption) Caption->SetText(Text);
        Draw_SetImageFont(Paneo_TtfFont);
        W = Text_Width(Text);
        if (ParentActive(parent)) {
            if (GuiMouse.LeftHit && GuiMouse.InRect(sx, sy, W + 16, 16, 1) && Inactive == 0) {
                if (Paneo_ComboOpen == 0) {
                    State = uint8_t(1 - State);
                    PlayOnce(*this);
                }
            } else {
                SoundPlayed = 0;
            }
        }
        Draw_ImageColored(State == 1 ? CheckedImage : UncheckedImage, sx, sy, Color, 0, BLEND_ALPHA);
    }
    FinishUpdate(sx, sy);
}

void PNO_Checkbox::Free() {
    UncheckedImage.reset();
    CheckedImage.reset();
    Sound.reset();
    PNO_Widget::Free();
}

// ==== [VALUE] ====================================================================================================

std::shared_ptr<PNO_Value> PNO_Value::Create(const WidgetPtr& parent, const Str& text, int x, int y, int digits,
                                             float value, float step, float minValue, float maxValue, int integerOnly) {
    auto v = std::make_shared<PNO_Value>();
    v->MinValue = minValue;
    v->MaxValue = maxValue;
    v->Step = step;
    v->Value = value;
    v->IntegerOnly = uint8_t(integerOnly);
    v->X = x;
    v->Y = y;
    // Measured in the field's own font, so the arrows sit right of the field whatever font was current.
    Draw_SetImageFont(Paneo_FonFont);
    v->W = digits * std::max(1, Text_Width(u"0")) + 5;
    v->H = Paneo_FontHeight;
    v->Text = text;
    v->Caption = PNO_Label::Create(v, text, -5, 1, 3, GuiColor::Create(10, 10, 10));
    v->Color = GuiColor::Create(255, 255, 255);
    v->Blend = BLEND_ALPHA;
    v->UpButton = PNO_CustomButton::Create(v, u"", v->W + 1, 0, 16, v->H / 2 + 1, Paneo_SkinPath("Arrow_Up_hi"),
                                           Paneo_SkinPath("Arrow_Up_un"), Paneo_SkinPath("Arrow_Up_se"), 1);
    v->DownButton =
        PNO_CustomButton::Create(v, u"", v->W + 1, v->H / 2 + 1, 16, v->H / 2 + 1, Paneo_SkinPath("Arrow_Down_hi"),
                                 Paneo_SkinPath("Arrow_Down_un"), Paneo_SkinPath("Arrow_Down_se"), 1);
    v->Field = PNO_Input::Create(v, v->FormatNumber(value), 0, 0, digits, 255);
    v->StepRepeat = GuiTimeout::Create(150);
    v->Attach(parent);
    return v;
}

Str PNO_Value::FormatNumber(float v) const {
    if (!std::isfinite(v)) v = MinValue;
    if (IntegerOnly) return Str_FromInt(int64_t(std::trunc(double(v))));
    return Str_FromFloat(v);
}

float PNO_Value::GetValue() const { return Field ? Paneo_ParseNumber(Field->GetText()) : Value; }

void PNO_Value::SetValue(float f) {
    if (!std::isfinite(f)) f = MinValue;
    if (f > MaxValue) f = MaxValue;
    if (f < MinValue) f = MinValue;
    if (Field) Field->SetText(FormatNumber(f));
}

void PNO_Value::SetText(const Str& text) {
    Text = text;
    if (Caption) Caption->SetText(text);
}

void PNO_Value::Increase() {
    float v = Value + Step;
    if (v > MaxValue) v = MaxValue;
    Value = v;
    if (Field) Field->SetText(FormatNumber(v));
}

void PNO_Value::Decrease() {
    float v = Value - Step;
    if (v < MinValue) v = MinValue;
    Value = v;
    if (Field) Field->SetText(FormatNumber(v));
}

void PNO_Value::Update(PNO_Widget& parent) {
    const int sx = parent.AbsX + X, sy = parent.AbsY + Y;
    if (!Hidden) {
        Draw_SetAlpha(DrawAlpha());
        for (PNO_Widget* child : {static_cast<PNO_Widget*>(UpButton.get()), static_cast<PNO_Widget*>(DownButton.get()),
                                  static_cast<PNO_Widget*>(Field.get())})
            if (child) {
                child->Color = Color;
                child->Blend = Blend;
            }
        if (GuiMouse.InRect(sx, sy, W, H, 0) && Inactive == 0 && GuiMouse.WheelDir != 0) {
            if (GuiMouse.WheelDir == -1)
                Decrease();
            else
                Increase();
            GuiMouse.WheelDir = 0;
        }
        if (Field && Field->State == 0) {
            float v = Paneo_ParseNumber(Field->GetText());
            if (v > MaxValue) v = MaxValue;
            if (v < MinValue) v = MinValue;
            if (IntegerOnly) v = std::trunc(v);
            Value = v;
            const Str text = FormatNumber(v);
            if (text != Field->GetText()) Field->SetText(text);
        }
        if (UpButton && UpButton->IsDown() && Timeout_Expired(StepRepeat)) {
            Increase();
            Timeout_Restart(StepRepeat, 150);
        }
        if (DownButton && DownButton->IsDown() && Timeout_Expired(StepRepeat)) {
            Decrease();
            Timeout_Restart(StepRepeat, 150);
        }
    }
    FinishUpdate(sx, sy);
}

void PNO_Value::Free() {
    Field.reset();
    UpButton.reset();
    DownButton.reset();
    Caption.reset();
    PNO_Widget::Free();
}

// ==== [SCROLLBAR] ================================================================================================

std::shared_ptr<PNO_Scrollbar> PNO_Scrollbar::Create(const WidgetPtr& parent, const Str& text, int x, int y, int w,
                                                     int h, float value, float minValue, float maxValue, float step,
                                                     int orientation, int integerOnly) {
    auto s = std::make_shared<PNO_Scrollbar>();
    s->X = x;
    s->Y = y;
    s->W = w;
    s->H = h;
    s->MinValue = minValue;
    s->MaxValue = maxValue;
    s->Step = step;
    s->Value = value;
    s->Vertical = uint8_t(orientation & 255);
    s->IntegerOnly = uint8_t(integerOnly);
    s->ThumbSize = orientation == 0 ? w / 4 : h / 4;
    s->Text = orientation == 0 ? text : Str();
    s->Caption = PNO_Label::Create(s, s->Text, w / 2, h / 2 - Paneo_FontHeight / 2, 2, GuiColor::Create(55, 55, 55));
    s->Color = GuiColor::Create(255, 255, 255);
    s->BodyImage =
        Img_CreateBevelled(Paneo_SkinPath(orientation == 0 ? "Scrollbar_Horizontal_Body" : "Scrollbar_Vertical_Body"),
                           w, h, kGrey200, kGrey200, 2);
    s->Attach(parent);
    return s;
}

void PNO_Scrollbar::SetValue(float f) {
    if (!std::isfinite(f)) f = MinValue;
    if (f > MaxValue) f = MaxValue;
    if (f < MinValue) f = MinValue;
    Value = IntegerOnly ? std::trunc(f) : f;
    ThumbPlaced = 0;
}

void PNO_Scrollbar::SetText(const Str& text) {
    Text = text;
    if (Caption) Caption->SetText(text);
}

float PNO_Scrollbar::PosToValue(int pos, int length) const {
    const int track = length - ThumbSize;
    if (MaxValue <= MinValue || track <= 0) return MinValue;
    const double v = MinValue + double(pos - ThumbSize / 2) * (double(MaxValue) - MinValue) / track;
    return std::isfinite(v) ? float(v) : MinValue;
}

float PNO_Scrollbar::ValueToPos(float value, float length) const {
    const float track = length - float(ThumbSize);
    if (MaxValue <= MinValue || track <= 0) return length / 2;
    const double p =
        std::fabs(double(value) - MinValue) * track / std::fabs(double(MaxValue) - MinValue) + ThumbSize / 2;
    return std::isfinite(p) ? float(p) : length / 2;
}

void PNO_Scrollbar::Increase() {
    Value += Step;
    ThumbPlaced = 0;
}
void PNO_Scrollbar::Decrease() {
    Value -= Step;
    ThumbPlaced = 0;
}

void PNO_Scrollbar::Update(PNO_Widget& parent) {
    const int sx = parent.AbsX + X, sy = parent.AbsY + Y;
    const int L = Length();
    if (!Hidden) {
        Draw_SetAlpha(DrawAlpha());
        if (ThumbPlaced == 0) {
            ThumbPos = ValueToPos(Value, float(L));
            ThumbPlaced = 1.0f;
        }
        int look = 1;
        State = 0;
        if (ParentActive(parent)) {
            if (GuiMouse.LeftDown && GuiMouse.InRect(sx, sy, W, H, 1) && Inactive == 0 && Paneo_ComboOpen == 0) {
                look = 2;
                State = 1;
            }
            if (GuiMouse.InRect(sx, sy, W, H, 0) && Inactive == 0 && GuiMouse.WheelDir != 0) {
                if (GuiMouse.WheelDir == -1)
                    Decrease();
                else
                    Increase();
                GuiMouse.WheelDir = 0;
            }
            if (State == 1 && ThumbPlaced == 1.0f) {
                ThumbPos = float(Vertical ? GuiMouse.Y - sy : GuiMouse.X - sx);
                Value = PosToValue(int(ThumbPos), L);
                if (IntegerOnly) Value = std::trunc(Value);
            }
        }
        if (L <= ThumbSize || MaxValue <= MinValue) {
            ThumbPos = float(L) / 2;
            Value = MinValue;
        }
        if (ThumbPos < ThumbSize / 2) ThumbPos = float(ThumbSize / 2);
        if (ThumbPos > L - ThumbSize / 2) ThumbPos = float(L - ThumbSize / 2);
        if (!std::isfinite(Value) || Value < MinValue) Value = MinValue;
        if (Value > MaxValue) Value = MaxValue;

        Draw_ImageColored(BodyImage, sx, sy, Color, 0, Blend);
        Draw_SetAlpha(Alpha / 1.6f);
        const GuiColorPtr& thumb = Paneo_Palette[28];
        const int t = int(ThumbPos - float(ThumbSize / 2));
        if (Vertical)
            Draw_BevelBox(sx + 1, sy + 1 + t, W - 2, ThumbSize - 2, thumb, thumb, thumb, look, Blend);
        else
            Draw_BevelBox(sx + 1 + t, sy + 1, ThumbSize - 2, H - 2, thumb, thumb, thumb, look, Blend);
        if (Vertical && Caption) Caption->SetText(Str());
    }
    FinishUpdate(sx, sy);
}

void PNO_Scrollbar::Free() {
    BodyImage.reset();
    PNO_Widget::Free();
}

// ==== [IMAGE] ====================================================================================================

std::shared_ptr<PNO_StaticImage> PNO_StaticImage::Create(const WidgetPtr& parent, const Str& path, int x, int y, int w,
                                                         int h, int borderStyle, int blend) {
    auto s = std::make_shared<PNO_StaticImage>();
    s->X = x;
    s->Y = y;
    s->W = w;
    s->H = h;
    s->BorderStyle = uint8_t(borderStyle);
    s->Color = GuiColor::Create(255, 255, 255);
    s->Image = Img_CreateBevelled(path, w, h, kGrey200, kGrey80, borderStyle);
    s->Attach(parent);
    s->Blend = blend;
    return s;
}

void PNO_StaticImage::SetImage(const Str& path) {
    Image = Img_CreateBevelled(path, W, H, kGrey200, kGrey80, BorderStyle);
}

void PNO_StaticImage::Update(PNO_Widget& parent) {
    const int sx = parent.AbsX + X, sy = parent.AbsY + Y;
    if (!Hidden && Image) {
        Draw_SetAlpha(DrawAlpha());
        Draw_ImageColored(Image, sx, sy, Color, 0, Blend);
    }
    FinishUpdate(sx, sy);
}

void PNO_StaticImage::Free() {
    Image.reset();
    PNO_Widget::Free();
}
