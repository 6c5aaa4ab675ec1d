// The level-won dialog: the congratulation, the level's statistics (time, time bonus, gems, gold) and "Weiter" to
// the build menu. Built at start-up; the level-end screen opens it with WinLose_Open.
#include <algorithm>

#include "board/level_file.h"
#include "board/play.h"
#include "board/rules.h"
#include "castle/castle.h"
#include "main/assets.h"
#include "main/fonts.h"
#include "main/runtime.h"
#include "main/screens.h"
#include "main/text_layout.h"
#include "main/texts.h"
#include "menus/menus.h"
#include "platform/graphics.h"
#include "platform/input.h"

int32_t WL_X = 0, WL_Y = 0;
std::vector<GUIBtnPtr> WL_Buttons;

namespace {

constexpr int32_t kWidth = 476, kHeight = 325, kCoinSize = 36;
constexpr int kTitleFont = kFontTrinigan24, kTextFont = kFontTrinigan18, kLabelFont = kFontTrinigan16,
              kButtonFont = kFontUnzialish20;
constexpr int64_t kMicros = 1000000;
constexpr int32_t kGap = 16; // pixels between the time and the bonus when the time is long

ImagePtr g_frame, g_coin;
Rect g_opaque{-1, -1, 0, 0}; // the frame picture's opaque part, read on the first opening (x -1: not read yet)
// The texts of the open dialog, made by its init (the draw allocates nothing).
Str g_time, g_bonus, g_gold;
std::array<Str, 7> g_gems;

const Str& Text(int i) { return Text_Entry(WinLose_Texts, i, "WinLose_Texts"); }
int32_t GoldEarned() { return Gold - Gold_AtLevelStart; }

} // namespace

void WinLose_Build() {
    g_frame = Asset_LoadImage(u".\\Images\\GUI\\Dlgs\\wl_frame.png");
    g_opaque = Rect{-1, -1, 0, 0};
    g_coin = Asset_LoadImage(u".\\Images\\GUI\\Dlgs\\wl_coin.png");
    WL_X = Screen_CenterX - kWidth / 2;
    WL_Y = Screen_CenterY - kHeight / 2;
    WL_Buttons = {GUIBtn::CreateSingleImgBtn(0, float(WL_X + 157), float(WL_Y + 276), WinLose_Btn_Next_LeftUp,
                                             u".\\Images\\GUI\\Dlgs\\wl_btn",
                                             Text_Entry(Button_Captions, 4, "Button_Captions"), kButtonFont)};
}

void WinLose_Open() { Dialog_Open(WinLose_Init, WinLose_Update, WinLose_Draw, 1); }

void WinLose_Init() {
    Game_Paused = 1;
    const int64_t used = (Level_Duration - Level_TimeLeft + Level_TimeBought) / kMicros;
    g_time = Time_FormatHMS(int32_t(std::clamp<int64_t>(used, 0, INT32_MAX))) + u" / " +
             Time_FormatHMS(int32_t(std::clamp<int64_t>(Level_Duration / kMicros, 0, INT32_MAX)));
    g_bonus = Str_FromInt(Level_TimeBonus);
    for (size_t c = 0; c < g_gems.size(); ++c)
        g_gems[c] = Str_FromInt(Gems_Total[c]);
    g_gold = Str_FromInt(GoldEarned());
    // The frame picture is drawn at full strength over the level end: effects wholly beneath its opaque part need
    // not be blended.
    if (g_opaque.x < 0) Image_OpaqueRect(g_frame, 0, g_opaque.x, g_opaque.y, g_opaque.w, g_opaque.h);
    Dialog_SetCover(Rect{WL_X + g_opaque.x, WL_Y + g_opaque.y, g_opaque.w, g_opaque.h});
}

void WinLose_Update() {
    if (!Dialog_UpdateButtons(WL_Buttons)) return;
    // Each key is asked, so none of them is left over for the screen behind.
    const int keys = Key_Hit(VK::ESCAPE) + Key_Hit(VK::RETURN) + Key_Hit(VK::SPACE);
    if (keys > 0 && !WL_Buttons.empty()) WinLose_Btn_Next_LeftUp(*WL_Buttons[0]);
}

void WinLose_Draw() {
    const FontPtr previous = Draw_GetImageFont();
    for (const GUIBtnPtr& b : WL_Buttons)
        b->Draw();
    Draw_Image(g_frame, float(WL_X), float(WL_Y));
    Draw_SetColor(255, 255, 255);
    const float centre = float(WL_X + kWidth / 2);
    Draw_SetImageFont(Font_Get(kTitleFont));
    Text_DrawCenteredAt(Text(0), centre, float(WL_Y + 95));
    Draw_SetImageFont(Font_Get(kTextFont));
    Text_DrawCenteredAt(Text(1), centre, float(WL_Y + 125));
    Draw_SetImageFont(Font_Get(kLabelFont));
    Draw_Text(Text(2), float(WL_X + 55), float(WL_Y + 146));
    if (Relaxed_Mode == 0) {
        Draw_Text(Text(3), float(WL_X + 100), float(WL_Y + 240));
        Draw_SetImageFont(Font_Get(kTextFont));
        const int32_t timeX = WL_X + 100 + Text_Width(Text(3));
        Draw_Text(g_time, float(timeX), float(WL_Y + 240));
        if (Level_TimeBought == 0) {
            // The bonus stands at x 255 unless a long time text reaches it; then it follows the time.
            const int32_t bonusX = std::max(WL_X + 255, timeX + Text_Width(g_time) + kGap);
            const int32_t valueX = bonusX + Text_Width(Text(4));
            Draw_SetImageFont(Font_Get(kLabelFont));
            Draw_Text(Text(4), float(bonusX), float(WL_Y + 240));
            Draw_SetImageFont(Font_Get(kTextFont));
            Draw_Text(g_bonus, float(valueX), float(WL_Y + 240));
        }
    }
    // The gem row: one entry per colour held, wrapping past 350 pixels; then the gold earned.
    Draw_SetImageFont(Font_Get(kTextFont));
    int32_t x = WL_X + 50, y = WL_Y + 166;
    for (size_t c = 0; c < g_gems.size(); ++c) {
        if (Gems_Total[c] == 0) continue;
        Draw_Image(Gem_Pictures[c], float(x), float(y));
        Draw_Text(g_gems[c], float(x + Image_Width(Gem_Pictures[c])), float(y + 11));
        x += 65;
        if (x - WL_X > 350) {
            x = WL_X + 100;
            y += 30;
        }
    }
    if (GoldEarned() >= 1) {
        Draw_Image(g_coin, float(x), float(y));
        Draw_Text(g_gold, float(x + kCoinSize), float(y + 11));
    }
    Draw_SetImageFont(previous);
}

void WinLose_Btn_Next_LeftUp(GUIBtn&) {
    Dialog_Close();
    if (Match_EndState == 3) {
        Log_Print(u"levels ended after castles ended");
        MsgBox_LevelsEnded_Open();
        return;
    }
    BuildMenu_From = 0;
    Screen_Set(kScreenBuildMenu);
}
