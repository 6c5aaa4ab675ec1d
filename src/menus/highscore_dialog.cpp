// The high-score dialog: the table of eight with the newest entry in yellow, opened from the options (mode 0), after
// a game over (mode 1) or at the end of the campaign (mode 2), and its reset. Built at start-up; opened by the
// options, the play loop's game over and end of the campaign, and the reset box's answers.
#include "board/play.h"
#include "main/assets.h"
#include "main/fonts.h"
#include "main/screens.h"
#include "main/text_layout.h"
#include "main/texts.h"
#include "menus/menus.h"
#include "platform/graphics.h"
#include "platform/input.h"

int32_t HS_Mode = 0;
int32_t HS_Highlight = -1;
std::vector<GUIBtnPtr> HS_Buttons;

namespace {

constexpr int kTitleFont = kFontUnzialish20, kRowFont = kFontUnzialish16, kBackFont = kFontUnzialish20,
              kContinueFont = kFontUnzialish16, kResetFont = kFontUnzialish14;
// The table's columns from the frame's left: names from 40, scores from 170 to the parchment's right edge; a long
// name or score is shrunk to its column.
constexpr int kNameX = 40, kScoreX = 170, kTableRight = 246, kColumnGap = 8;
ImagePtr g_frame;
std::array<Str, kHsPlaces> g_scores; // the scores as text, made by the init

} // namespace

void HighScores_Build() {
    g_frame = Asset_LoadImage(u".\\Images\\GUI\\Dlgs\\hs_frame.png");
    const Str base = u".\\Images\\GUI\\Dlgs\\hs_btn";
    HS_Buttons = {
        GUIBtn::CreateSingleImgBtn(0, HS_X + 43, HS_Y + 452, HighScores_Btn_Back_LeftUp, base,
                                   Text_Entry(Button_Captions, 11, "Button_Captions"), kBackFont),
        GUIBtn::CreateSingleImgBtn(1, HS_X + 104, HS_Y + 398, HighScores_Btn_Reset_LeftUp, base,
                                   Text_Entry(Button_Captions, 14, "Button_Captions"), kResetFont),
    };
}

void HighScores_Open(int32_t highlight, int32_t mode) {
    HS_Highlight = highlight;
    HS_Mode = mode;
    Dialog_Open(HighScores_Init, HighScores_Update, HighScores_Draw, 1);
}

void HighScores_Init() {
    GUIBtn& back = *HS_Buttons[0];
    const bool afterGame = HS_Mode == 1;
    const Str& caption = Text_Entry(Button_Captions, afterGame ? 4 : 11, "Button_Captions");
    const FontPtr font = Font_Get(afterGame ? kContinueFont : kBackFont);
    const ImagePtr img = back.Image(BTNIMG_DEFAULT);
    back.SetText(caption, font, back.textR, back.textG, back.textB, BTNTXT_CENTRED, float(Image_Width(img) / 2),
                 float(Image_Height(img) / 2));
    if (afterGame) Game_Paused = 1;
    for (size_t i = 0; i < g_scores.size(); ++i)
        g_scores[i] = Str_FromInt(HS_Slots[i].score);
}

void HighScores_Update() {
    if (!Dialog_UpdateButtons(HS_Buttons)) return;
    const int keys = Key_Hit(VK::ESCAPE) + Key_Hit(VK::RETURN);
    if (keys > 0) HighScores_Btn_Back_LeftUp(*HS_Buttons[0]);
}

void HighScores_Draw() {
    const FontPtr previous = Draw_GetImageFont();
    if (HS_Mode == 2) Draw_Image(MsgBox_WinGameBg, 0, 0);
    for (const GUIBtnPtr& b : HS_Buttons)
        b->Draw();
    Draw_Image(g_frame, HS_X, HS_Y);
    Draw_SetColor(255, 255, 255);
    Draw_SetBlend(BLEND_ALPHA);
    Draw_SetImageFont(Font_Get(kTitleFont));
    Text_DrawCenteredAt(HighScores_Title, HS_X + 155, 160);
    Draw_SetImageFont(Font_Get(kRowFont));
    int32_t y = 170;
    for (size_t i = 0; i < kHsPlaces; ++i) {
        if (HS_Slots[i].player == -1) continue; // an empty place leaves no gap
        if (int32_t(i) == HS_Highlight)
            Draw_SetColor(255, 255, 0);
        else
            Draw_SetColor(255, 255, 255);
        Text_DrawFitted(HS_Names[i], float(HS_X + kNameX), float(HS_Y + y), kScoreX - kNameX - kColumnGap);
        Text_DrawFitted(g_scores[i], float(HS_X + kScoreX), float(HS_Y + y), kTableRight - kScoreX);
        // The row's own name sets the spacing: the player field comes from the file and indexes nothing.
        y += Text_Height(HS_Names[i]);
    }
    Draw_SetColor(255, 255, 255);
    Draw_SetImageFont(previous);
}

void HighScores_Btn_Back_LeftUp(GUIBtn&) {
    Dialog_Close();
    if (HS_Mode == 1)
        MsgBox_HighScore_Open();
    else if (HS_Mode == 2)
        Match_BackToMenu();
    else
        Options_Open();
}

void HighScores_Btn_Reset_LeftUp(GUIBtn&) { MsgBox_HsReset_Open(); }

void HighScores_DoReset() {
    Highscores_Clear();
    if (HS_Mode == 1) {
        MsgBox_HighScore_Open();
        return;
    }
    // At the end of the campaign the screen behind is no menu: the options belong over the main menu.
    if (HS_Mode == 2) Screen_Set(kScreenMainMenu);
    Options_Open();
}
