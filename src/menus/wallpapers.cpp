// The wallpapers dialog: the seven castle pictures, locked until the current player completed their castle, turned
// with "<" and ">", a help overlay, and "Wallpaper aktivieren", which writes the picture as a bitmap into the data
// folder and sets it as the desktop background. Built at start-up; opened by the main menu, the castle-completed box,
// the end of the campaign and the set-wallpaper box's answers.
#include <algorithm>

#include "castle/castle.h"
#include "main/assets.h"
#include "main/config.h"
#include "main/fonts.h"
#include "main/progress.h"
#include "main/runtime.h"
#include "main/screens.h"
#include "main/text_layout.h"
#include "main/texts.h"
#include "main/wallpaper.h"
#include "menus/menus.h"
#include "platform/graphics.h"
#include "platform/input.h"

int32_t Wallpapers_Current = 0;
int32_t Wallpapers_HelpShown = 0;
std::vector<GUIBtnPtr> Wallpapers_Widgets;

namespace {

constexpr int kCaptionFont = kFontTrinigan16, kCloseHelpFont = kFontUnzialish20, kLockedFont = kFontUnzialish40;
constexpr float kFrameY = 487;
enum : size_t { W_BACK, W_NEXT, W_PREV, W_HELP, W_SET, W_CLOSEHELP };

std::array<ImagePtr, kCastlesCount> g_pictures, g_previews;
ImagePtr g_frame, g_help;

void SetBit(GUIBtn& b, int32_t bit, bool on) {
    if (on)
        b.state |= bit;
    else
        b.state &= ~bit;
}

int32_t CurrentIndex() { return std::clamp<int32_t>(Wallpapers_Current, 0, kCastlesCount - 1); }

} // namespace

bool Wallpaper_Unlocked(int32_t n) {
    if (n < 0 || n >= kCastlesCount) return false;
    const int32_t p = std::clamp<int32_t>(Player_Current, 0, 9);
    return Castles_Completed[size_t(p * kCastlesCount + n)] != 0;
}

ImagePtr Wallpapers_Picture(int32_t n) { return n >= 0 && n < kCastlesCount ? g_pictures[size_t(n)] : nullptr; }
ImagePtr Wallpapers_Preview(int32_t n) { return n >= 0 && n < kCastlesCount ? g_previews[size_t(n)] : nullptr; }

void Wallpapers_Build() {
    for (int32_t n = 0; n < kCastlesCount; ++n) {
        g_pictures[size_t(n)] =
            Asset_LoadImage(u".\\Images\\Wallpapers\\wallpaper_" + Str_FromInt(n) + Lang_Suffix + u".jpg");
        g_previews[size_t(n)] = Asset_LoadImage(u".\\Images\\Wallpapers\\wall_preview" + Str_FromInt(n) + u".jpg");
    }
    const Str dir = u".\\Images\\GUI\\Dlgs\\";
    g_frame = Asset_LoadImage(dir + u"wall_frame.png");
    g_help = Asset_LoadImage(dir + u"wall_help" + Lang_Suffix + u".png");
    const auto caption = [](size_t i) -> const Str& {
        return Text_Entry(Wallpapers_Captions, int(i), "Wallpapers_Captions");
    };
    const Str arrow = dir + u"wall_btn1";
    Wallpapers_Widgets = {
        GUIBtn::CreateSingleImgBtn(0, 27, 536, Wallpapers_Btn_Back_LeftUp, arrow, caption(W_BACK), kCaptionFont),
        GUIBtn::CreateSingleImgBtn(1, 575, 517, Wallpapers_Btn_Next_LeftUp, arrow, caption(W_NEXT), kCaptionFont),
        GUIBtn::CreateSingleImgBtn(2, 196, 517, Wallpapers_Btn_Prev_LeftUp, arrow, caption(W_PREV), kCaptionFont),
        GUIBtn::CreateSingleImgBtn(3, 379, 568, Wallpapers_Btn_Help_LeftUp, dir + u"wall_btn_help", caption(W_HELP),
                                   kCaptionFont),
        GUIBtn::CreateSingleImgBtn(4, 347, 522, Wallpapers_Btn_Set_LeftUp, dir + u"wall_btn_set", caption(W_SET),
                                   Text_FitFont(caption(W_SET), kCaptionFont, 120, 22)),
        GUIBtn::CreateSingleImgBtn(5, 69, 552, Wallpapers_Btn_Back_LeftUp, dir + u"credits_btn", caption(W_CLOSEHELP),
                                   kCloseHelpFont),
    };
}

void Wallpapers_Open() { Dialog_Open(Wallpapers_Init, Wallpapers_Update, Wallpapers_Draw, 1); }

void Wallpapers_Init() {
    for (size_t i : {W_SET, W_PREV, W_NEXT})
        Wallpapers_Widgets[i]->state &= ~BTN_DISABLED;
    Wallpapers_Current = CurrentIndex();
    if (!Wallpaper_Unlocked(Wallpapers_Current))
        for (int32_t n = 0; n < kCastlesCount; ++n)
            if (Wallpaper_Unlocked(n)) {
                Wallpapers_Current = n;
                break;
            }
    Wallpapers_HelpShown = 0;
    Wallpapers_Refresh();
}

void Wallpapers_Refresh() {
    if (Wallpapers_Widgets.size() <= W_CLOSEHELP) return;
    auto& w = Wallpapers_Widgets;
    const bool help = Wallpapers_HelpShown != 0;
    SetBit(*w[W_SET], BTN_DISABLED, help || !Wallpaper_Unlocked(CurrentIndex()));
    for (size_t i : {W_PREV, W_NEXT, W_HELP})
        SetBit(*w[i], BTN_DISABLED, help);
    SetBit(*w[W_BACK], BTN_HIDDEN | BTN_DISABLED, help);
    SetBit(*w[W_CLOSEHELP], BTN_HIDDEN | BTN_DISABLED, !help);
}

void Wallpapers_Update() {
    if (!Dialog_UpdateButtons(Wallpapers_Widgets)) return;
    if (Key_Hit(VK::ESCAPE))
        Wallpapers_Btn_Back_LeftUp(*Wallpapers_Widgets[W_BACK]);
    else if (Key_Hit(VK::RETURN))
        Wallpapers_Btn_Set_LeftUp(*Wallpapers_Widgets[W_SET]);
}

void Wallpapers_Draw() {
    const FontPtr previous = Draw_GetImageFont();
    const int32_t n = CurrentIndex();
    Draw_SetColor(255, 255, 255);
    if (Wallpaper_Unlocked(n)) {
        Draw_ImageRect(g_pictures[size_t(n)], 0, 0, float(Screen_Width), float(Screen_Height));
    } else {
        Draw_Image(g_previews[size_t(n)], 0, 0);
        if (!Wallpapers_HelpShown) {
            Draw_SetImageFont(Font_Get(kLockedFont));
            Text_DrawCenteredAt(Wallpapers_LockedText, float(Screen_CenterX), 120);
        }
    }
    for (size_t i = W_BACK; i <= W_SET; ++i)
        Wallpapers_Widgets[i]->Draw();
    Draw_Image(g_frame, 0, kFrameY);
    if (Wallpapers_HelpShown) {
        Wallpapers_Widgets[W_CLOSEHELP]->Draw();
        const float alpha = Draw_GetAlpha();
        Draw_SetColor(0, 0, 0);
        Draw_SetAlpha(0.4f);
        Draw_Rect(0, 0, float(Screen_Width), float(Screen_Height));
        Draw_SetColor(255, 255, 255);
        Draw_SetAlpha(1);
        Draw_Image(g_help, 0, 0);
        Draw_SetAlpha(alpha);
    }
    Draw_SetImageFont(previous);
}

void Wallpapers_Btn_Next_LeftUp(GUIBtn&) {
    Wallpapers_Current = CurrentIndex() + 1 > kCastlesCount - 1 ? 0 : CurrentIndex() + 1;
    Wallpapers_Refresh();
}

void Wallpapers_Btn_Prev_LeftUp(GUIBtn&) {
    Wallpapers_Current = CurrentIndex() - 1 < 0 ? kCastlesCount - 1 : CurrentIndex() - 1;
    Wallpapers_Refresh();
}

void Wallpapers_Btn_Help_LeftUp(GUIBtn&) {
    Wallpapers_HelpShown = 1;
    Wallpapers_Refresh();
}

void Wallpapers_Btn_Back_LeftUp(GUIBtn&) {
    if (Wallpapers_HelpShown) { // the help closes alone
        Wallpapers_HelpShown = 0;
        Wallpapers_Refresh();
        return;
    }
    Dialog_Close();
    // The full-screen pictures shown are not kept while the dialog is closed.
    for (int32_t n = 0; n < kCastlesCount; ++n) {
        Image_DropTexture(g_pictures[size_t(n)]);
        Image_DropTexture(g_previews[size_t(n)]);
    }
    Image_DropTexture(g_help);
    if (Wallpapers_FromLevel) {
        BuildMenu_From = 3;
        Screen_Set(kScreenBuildMenu);
    }
}

void Wallpapers_Btn_Set_LeftUp(GUIBtn&) {
    if (Wallpaper_Unlocked(CurrentIndex())) MsgBox_SetWallpaper_Open();
}

bool Wallpaper_Apply() {
    const int32_t n = CurrentIndex();
    // Written once (again when the file on disk is damaged), set every time.
    return Wallpaper_WriteBmp(n) && Wallpaper_Set(Wallpaper_Path(n));
}
