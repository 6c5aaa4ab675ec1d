// PNO_Window: the skinned movable panel at the root of every widget tree (title bar, close/minimise/lock buttons,
// bevelled body, shadow), the window stacking and the window under the mouse. Run by Paneo_DrawFrame.
#include <algorithm>

#include "platform/graphics.h"
#include "toolkit/toolkit.h"

namespace {
// One title-bar part of a skin image, resized (filtered) to w x h; a width below 1 becomes 1.
ImagePtr TitlePart(const char* name, int w, int h) {
    return Img_CreateBevelled(Paneo_SkinPath(name), std::max(1, w), h, 0, 0, 0);
}

struct TitleButton {
    const char* hi;
    const char* un;
    const char* se;
    const char16_t* tooltip;
};
constexpr TitleButton kClose = {"Window_Close_hi", "Window_Close_un", "Window_Close_se", u"Close"};
constexpr TitleButton kMinimize = {"Window_Minimize_hi", "Window_Minimize_un", "Window_Minimize_se", u"Minimize"};
constexpr TitleButton kLock = {"Window_Lock_hi", "Window_Lock_un", "Window_Lock_se", u"Lock"};
} // namespace

std::shared_ptr<PNO_Window> PNO_Window::Create(const Str& title, int x, int y, int w, int h, int lock, int minimize,
                                               int close, int kind) {
    auto win = std::make_shared<PNO_Window>();
    win->Text = title;
    win->Kind = kind;
    win->TitleHeight = 20;
    win->X = x;
    win->Y = y;
    win->W = w;
    win->H = h - 20;
    if (kind != kWindowRoot) {
        static const char* const kActive[3] = {"Window_title_left_se", "Window_title_middle_se",
                                               "Window_title_right_se"};
        static const char* const kInactive[3] = {"Window_title_left_un", "Window_title_middle_un",
                                                 "Window_title_right_un"};
        win->TitleEndWidth = 15;
        for (int i = 0; i < 3; ++i) {
            const int pw = i == 1 ? w - 2 * win->TitleEndWidth : win->TitleEndWidth;
            win->TitleImages[i] = TitlePart(kActive[i], pw, 20);
            win->TitleImagesInactive[i] = TitlePart(kInactive[i], pw, 20);
        }
        win->BodyImage = Img_CreateBevelled(Paneo_SkinPath("Window_Body"), w, win->H, Color_ToARGB(Paneo_Palette[6]),
                                            Color_ToARGB(Paneo_Palette[7]), 1);
    }
    const int side = win->TitleHeight - 1;
    const auto button = [&](const TitleButton& b, int bx) {
        auto btn = PNO_CustomButton::Create(win, u"", bx, -win->TitleHeight, side, side, Paneo_SkinPath(b.hi),
                                            Paneo_SkinPath(b.un), Paneo_SkinPath(b.se), 0);
        btn->Tooltip = b.tooltip;
        return btn;
    };
    if (close == 1) win->CloseButton = button(kClose, w - (win->TitleHeight + 2));
    if (minimize == 1) win->MinimizeButton = button(kMinimize, close == 1 ? w - (win->TitleHeight + 1) * 2 : w - 22);
    if (lock == 1) win->LockButton = button(kLock, 5);
    win->Caption =
        PNO_Label::Create(win, title, w / 2, -2 - (Paneo_FontHeight / 2 + win->TitleHeight / 2), 2, Paneo_Palette[8]);
    win->Color = GuiColor::Create(255, 255, 255);
    win->Blend = BLEND_ALPHA;
    Paneo_DeselectAllWindows();
    win->State = 1;
    win->Inactive = 0;
    Paneo_Windows.AddLast(win);
    win->Listed = true;
    return win;
}

void PNO_Window::Update(PNO_Widget&) {
    if (Hidden) return;
    if (Sound && SoundPlayed == 0) {
        Sound_Play(Sound);
        SoundPlayed = 1;
    }
    const auto self = std::static_pointer_cast<PNO_Window>(shared_from_this());
    if (Inactive == 1 && Paneo_ActiveWindow == self && Paneo_ClickActivates == 1) Activate();

    const int hitH = Minimized ? TitleHeight : H + TitleHeight;
    if (GuiMouse.InRect(X, Y, W, hitH, 0) && GuiMouse.LeftHit && Paneo_ComboOpen == 0) {
        State = 0;
        Paneo_ActiveWindow = self;
        ClickedBody = GuiMouse.Y <= Y + TitleHeight ? 0 : 1;
    } else {
        State = 1;
    }

    if (!Locked) {
        if (Dragging == 1 && Kind != kWindowRoot) {
            X = GuiMouse.X - DragOffsetX;
            Y = GuiMouse.Y - DragOffsetY;
            Paneo_WindowDragging = 1;
        } else {
            DragOffsetX = GuiMouse.X - X;
            DragOffsetY = GuiMouse.Y - Y;
            Paneo_WindowDragging = 0;
        }
        const int left = X + (LockButton ? TitleHeight + 1 : 0);
        const int zoneW = (MinimizeButton && CloseButton) ? W - 2 * TitleHeight : MinimizeButton ? W - TitleHeight : W;
        Dragging = (GuiMouse.InRect(left, Y, zoneW, TitleHeight, 0) && GuiMouse.LeftDown && Inactive == 0 &&
                    ClickedBody == 0 && Paneo_MouseFree == 1)
                       ? 1
                       : 0;
    }

    if (Caption) Caption->Alpha = Alpha;
    for (const auto& b : {CloseButton, MinimizeButton, LockButton}) {
        if (!b) continue;
        b->Alpha = Alpha;
        b->Blend = Blend;
    }

    if (Kind != kWindowRoot) {
        const int parts[3] = {X, X + TitleEndWidth, X + W - TitleEndWidth};
        Draw_SetAlpha(Alpha / 4);
        if (!Minimized) Draw_ImageColored(BodyImage, X + 4, Y + TitleHeight + 4, Paneo_Palette[1], 0, BLEND_ALPHA);
        for (int i = 0; i < 3; ++i)
            Draw_ImageColored(TitleImagesInactive[i], parts[i] + 4, Y + 4, Paneo_Palette[1], 0, BLEND_ALPHA);
        Draw_SetAlpha(Alpha);
        if (!Minimized) Draw_ImageColored(BodyImage, X, Y + TitleHeight, Color, 0, Blend);
        const auto& title = Inactive != 1 ? TitleImages : TitleImagesInactive;
        for (int i = 0; i < 3; ++i)
            Draw_ImageColored(title[i], parts[i], Y, Color, 0, Blend);
    }

    if (Caption) {
        Caption->SetText(Text);
        Caption->Color = Inactive ? Paneo_Palette[9] : Paneo_Palette[8];
    }

    // Title buttons; a close frees this window (the frame's walk holds its own list, so that is safe).
    if (CloseButton && CloseButton->Clicked()) {
        Free();
        return;
    }
    if (MinimizeButton && MinimizeButton->Clicked()) ToggleMinimize();
    if (LockButton && LockButton->Clicked()) ToggleLock();

    AbsX = X;
    AbsY = Y + TitleHeight + 1;
    Paneo_UpdateChildren(Children, *this);
    Paneo_ResetDrawState();
}

void PNO_Window::ToggleMinimize() {
    Minimized = 1 - Minimized;
    Paneo_SetChildrenHidden(Children, uint8_t(Minimized));
    if (Caption) Caption->Hidden = 0;
    for (const auto& b : {CloseButton, MinimizeButton, LockButton})
        if (b) b->Hidden = 0;
}

void PNO_Window::ToggleLock() { Locked = 1 - Locked; }

void PNO_Window::Activate() {
    Paneo_DeselectAllWindows();
    const auto self = std::static_pointer_cast<PNO_Window>(shared_from_this());
    if (Kind != kWindowRoot && Listed) {
        Paneo_Windows.Remove(self);
        Paneo_Windows.AddLast(self);
    }
    State = 1;
    Inactive = 0;
    Paneo_ActiveWindow = self;
}

void PNO_Window::Free() {
    for (auto& img : TitleImages)
        img.reset();
    for (auto& img : TitleImagesInactive)
        img.reset();
    BodyImage.reset();
    CloseButton.reset();
    MinimizeButton.reset();
    LockButton.reset();
    Sound.reset();
    Color.reset();
    Paneo_FreeChildren(Children);
    if (Listed) {
        Paneo_Windows.Remove(std::static_pointer_cast<PNO_Window>(shared_from_this()));
        Listed = false;
    }
    if (Paneo_ActiveWindow.get() == this) Paneo_ActiveWindow.reset();
}

void Paneo_DeselectAllWindows() {
    for (const auto& w : Paneo_Windows) {
        w->Inactive = 1;
        w->State = 0;
    }
}

std::shared_ptr<PNO_Window> Paneo_WindowUnderMouse(int part) {
    for (const auto& w : Paneo_Windows) {
        if (w->Kind == kWindowRoot || w->Inactive || w->Hidden) continue;
        const bool in = part == 1 ? GuiMouse.InRect(w->X, w->Y, w->W, w->TitleHeight, 0)
                                  : GuiMouse.InRect(w->X, w->Y + w->TitleHeight, w->W, w->H, 0);
        if (in) return w;
    }
    return nullptr;
}

bool Paneo_TakesPress(int x, int y) {
    if (Paneo_ModalDepth > 0 || Paneo_ComboOpen) return true;
    for (const auto& w : Paneo_Windows) {
        if (!w || w->Kind == kWindowRoot || w->Hidden || !w->Listed) continue;
        // The rectangle the window's own update reacts to (both edges inclusive, as GuiMouse.InRect has them).
        const int h = w->Minimized ? w->TitleHeight : w->H + w->TitleHeight;
        if (x >= w->X && x <= w->X + w->W && y >= w->Y && y <= w->Y + h) return true;
    }
    return false;
}
