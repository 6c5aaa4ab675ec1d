// The credits (the makers, the free fonts and libraries, the version) and the three help pages with the intro's
// check box. Built at start-up; the options dialog opens both, and both lead back to it. The tutorial's
// introduction shares the check box's action.
#include <algorithm>

#include "main/assets.h"
#include "main/config.h"
#include "main/fonts.h"
#include "main/progress.h"
#include "main/screens.h"
#include "main/text_layout.h"
#include "main/texts.h"
#include "menus/menus.h"
#include "platform/graphics.h"
#include "platform/input.h"

std::vector<GUIBtnPtr> Credits_Buttons;
FontPtr Credits_BodyFont;
int32_t Help_Page = 0;
std::vector<GUIBtnPtr> Help_Widgets;

namespace {

constexpr float kCreditsX = 161, kCreditsY = 7;
constexpr int kTitleFont = kFontUnzialish24, kBackFont = kFontUnzialish20, kArrowFont = kFontUnzialish14,
              kVersionFont = kFontTrinigan14, kBodyFont = kFontUnzialish16;
constexpr int kBodyWidth = 185, kBodyHeight = 130;
constexpr int kHelpPages = 3;
enum : size_t { H_BACK, H_NEXT, H_PREV, H_CHECK };
constexpr int32_t kIntroOff = 2; // tutorial step 0's flag bit: the intro is switched off

ImagePtr g_creditsFrame, g_helpFrame;
std::array<ImagePtr, kHelpPages> g_pages;

int32_t& IntroFlags() { return Tutorial_Flags[size_t(std::clamp<int32_t>(Player_Current, 0, 9)) * kTutorialCount]; }

void SetBit(GUIBtn& b, int32_t bit, bool on) {
    if (on)
        b.state |= bit;
    else
        b.state &= ~bit;
}

bool BackKey() { return Key_Hit(VK::ESCAPE) + Key_Hit(VK::RETURN) > 0; }

} // namespace

// ---- Credits ------------------------------------------------------------------------------------------------------
void Credits_Build() {
    g_creditsFrame = Asset_LoadImage(u".\\Images\\GUI\\Dlgs\\credits_frame.png");
    Credits_Buttons = {GUIBtn::CreateSingleImgBtn(0, kCreditsX + 145, kCreditsY + 452, Credits_Btn_Back_LeftUp,
                                                  u".\\Images\\GUI\\Dlgs\\credits_btn",
                                                  Text_Entry(Button_Captions, 11, "Button_Captions"), kBackFont)};
    Credits_BodyFont = Font_Get(Text_FitFont(Credits_Body, kBodyFont, kBodyWidth, kBodyHeight));
}

void Credits_Update() {
    if (!Dialog_UpdateButtons(Credits_Buttons)) return;
    if (BackKey()) Credits_Btn_Back_LeftUp(*Credits_Buttons[0]);
}

void Credits_Draw() {
    const FontPtr previous = Draw_GetImageFont();
    for (const GUIBtnPtr& b : Credits_Buttons)
        b->Draw();
    Draw_Image(g_creditsFrame, kCreditsX, kCreditsY);
    Draw_SetColor(255, 255, 255);
    Draw_SetBlend(BLEND_ALPHA);
    Draw_SetImageFont(Font_Get(kTitleFont));
    Text_DrawCenteredAt(Credits_Title, 391, 137);
    Draw_SetImageFont(Credits_BodyFont);
    Text_DrawWrapped(Credits_Body, 287, 177, kBodyWidth, 0, 0);
    Draw_SetImageFont(Font_Get(kVersionFont));
    Draw_Text(Credits_Version, 456, 452);
    Draw_SetImageFont(previous);
}

void Credits_Btn_Back_LeftUp(GUIBtn&) {
    Dialog_Close();
    Options_Open();
}

// ---- Help ---------------------------------------------------------------------------------------------------------
void Help_Build() {
    const Str dir = u".\\Images\\GUI\\Dlgs\\";
    g_helpFrame = Asset_LoadImage(dir + u"help_frame" + Lang_Suffix + u".png");
    for (int i = 0; i < kHelpPages; ++i)
        g_pages[size_t(i)] = Asset_LoadImage(dir + u"help_page" + Str_FromInt(i + 1) + Lang_Suffix + u".png");
    const auto caption = [](int i) -> const Str& { return Text_Entry(Help_Captions, i, "Help_Captions"); };
    GUIBtnPtr check = GUIBtn::Create(3, 246, 546);
    check->SetImage(Options_CheckImage, BTNIMG_DEFAULT);
    check->SetImage(Options_CheckedImage, BTNIMG_CHECKED);
    check->SetCallbacks(Help_Chk_Hints_LeftUp, nullptr, nullptr, nullptr); // acts when pressed
    check->SetHitRect(0, 0, Image_Width(Options_CheckImage), Image_Height(Options_CheckImage));
    Help_Widgets = {
        GUIBtn::CreateSingleImgBtn(11, 69, 552, Help_Btn_Back_LeftUp, dir + u"credits_btn", caption(0), kBackFont),
        GUIBtn::CreateSingleImgBtn(1, 619, 555, Help_Btn_Next_LeftUp, dir + u"help_btn_next", caption(1), kArrowFont),
        GUIBtn::CreateSingleImgBtn(2, 494, 555, Help_Btn_Prev_LeftUp, dir + u"help_btn_next", caption(2), kArrowFont),
        check,
    };
}

void Help_Init() {
    SetBit(*Help_Widgets[H_CHECK], BTN_CHECKED, (IntroFlags() & kIntroOff) == 0);
    Help_ShowPage();
}

void Help_ShowPage() {
    Help_Page = std::clamp<int32_t>(Help_Page, 0, kHelpPages - 1);
    SetBit(*Help_Widgets[H_CHECK], BTN_HIDDEN, Help_Page != 0);
    SetBit(*Help_Widgets[H_PREV], BTN_DISABLED, Help_Page == 0);
    SetBit(*Help_Widgets[H_NEXT], BTN_DISABLED, Help_Page == kHelpPages - 1);
}

void Help_Update() {
    if (!Dialog_UpdateButtons(Help_Widgets)) return;
    if (BackKey()) Help_Btn_Back_LeftUp(*Help_Widgets[H_BACK]);
}

void Help_Draw() {
    for (size_t i = H_BACK; i <= H_PREV; ++i)
        Help_Widgets[i]->Draw();
    Draw_Image(g_helpFrame, 0, 0);
    Help_Widgets[H_CHECK]->Draw();
    Draw_Image(g_pages[size_t(Help_Page)], 0, 0);
}

void Help_Btn_Next_LeftUp(GUIBtn&) {
    Help_Page = Help_Page + 1 >= kHelpPages ? 0 : Help_Page + 1;
    Help_ShowPage();
}

void Help_Btn_Prev_LeftUp(GUIBtn&) {
    Help_Page = Help_Page - 1 < 0 ? kHelpPages - 1 : Help_Page - 1;
    Help_ShowPage();
}

void Help_Btn_Back_LeftUp(GUIBtn&) {
    Dialog_Close();
    for (const ImagePtr& page : g_pages) // full-screen pages: not kept while the help is closed
        Image_DropTexture(page);
    Image_DropTexture(g_helpFrame);
    Options_Open();
}

void Help_Chk_Hints_LeftUp(GUIBtn& button) {
    button.state ^= BTN_CHECKED;
    IntroFlags() ^= kIntroOff;
    Config_SaveArray(20);
}
