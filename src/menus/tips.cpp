// The in-game tips: a box of English hints at the top of the game screen with a swinging arrow onto a cell or a
// piece, each tip shown once per player. Every level start and main-menu entry switches them off (Tips_On), so in
// play none opens; tests switch them on. Called by the runtime (start-up, main loop), the game screen and the main
// menu (Tips_Draw, Tips_Place) and the board (through its hook table).
#include <algorithm>
#include <cmath>

#include "board/board.h"
#include "board/play.h"
#include "board/rules.h"
#include "main/assets.h"
#include "main/config.h"
#include "main/fonts.h"
#include "main/frame_timer.h"
#include "main/progress.h"
#include "main/runtime.h"
#include "main/screens.h"
#include "main/text_layout.h"
#include "main/texts.h"
#include "menus/menus.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/mathdeg.h"

int32_t Tips_On = 0;
int32_t Tips_Visible = 0;
int32_t Tips_Id = 0;
int32_t Tips_BoxX = 0, Tips_BoxY = 0;
int32_t Tips_PlacedX = 0, Tips_PlacedY = 8;
int32_t Tips_BoxHeight = 0;
int32_t Tips_ArrowVisible = 0;
int32_t Tips_ArrowX = 0, Tips_ArrowY = 0;
int32_t Tips_IceX = 0, Tips_IceY = 0;
int32_t Tips_SnowX = 0, Tips_SnowY = 0;
int32_t Tips_Tip20Delay = 1800000;

namespace {

constexpr int32_t kTipFontSize = 28;
constexpr int32_t kCloseRoom = 12; // the box grows by this for a tip that would carry a close button

ImagePtr g_box, g_arrow, g_interface;
FontPtr g_tipFont;
float g_boxScale = 1;
float g_margin = 8;
int32_t g_buttonFlag = 0, g_secondFlag = 0;
float g_arrowPhase = 0, g_arrowAngle = 0, g_arrowGoal = 0;

int32_t BoxW() { return Image_Width(g_box); }
int32_t BoxH() { return Image_Height(g_box); }
int32_t ArrowW() { return Image_Width(g_arrow); }

int32_t& Shown(int32_t n) {
    return Tips_Shown[size_t(std::clamp(Player_Current, 0, 9))][size_t(std::clamp(n, 0, kTipsCount - 1))];
}

int32_t MeasureText() {
    const FontPtr keep = Draw_GetImageFont();
    Draw_SetImageFont(g_tipFont);
    const int32_t h = Text_DrawWrapped(Tips_Texts[size_t(Tips_Id)], 0, 0, BoxW() - 44, 1, 0);
    Draw_SetImageFont(keep);
    return h;
}

// Opens the tip and, when it opened, points its arrow at (x, y) swinging in from -45 degrees.
void ShowPointing(int32_t n, int32_t buttonFlag, bool point, int32_t x, int32_t y) {
    if (Tips_Show(n, buttonFlag, buttonFlag) && point) Tips_PointAt(x, y, -45, 0);
}

// The last column's first piece passing the test (columns outer, rows inner), pointed at by its top-left.
template <class Test> bool FindPiece(int32_t& x, int32_t& y, Test test) {
    bool found = false;
    for (int32_t c = 0; c < Board_Cols; ++c)
        for (int32_t r = 0; r < Board_Rows; ++r) {
            const PiecePtr& p = Board_Cells[c][r].Piece;
            if (!p || !test(*p)) continue;
            x = p->ScreenX - ArrowW() / 2;
            y = p->ScreenY;
            found = true;
            break;
        }
    return found;
}

void HintTip(int32_t n) {
    Match_Timer = 0;
    Hint_Found = 0;
    Hint_Tick(Board_OriginX + Board_PixelWidth / 2, Board_OriginY + Board_PixelHeight / 2, Match_MinRun);
    ShowPointing(n, 0, Hint_Found != 0, Board_OriginX + Cell_Width * Hint_Col - ArrowW() / 2,
                 Board_OriginY + Cell_Height * Hint_Row);
}

void PendingTip(int32_t n, int32_t& px, int32_t& py) {
    if (px == 0 && py == 0) return;
    const int32_t x = px, y = py;
    px = py = 0;
    if (Shown(n) || !Tips_Show(n, 1, 1)) return;
    Match_Timer = 0;
    Tips_PointAt(int32_t(float(x) - float(ArrowW()) * 0.5f), y, -45, 0);
}

} // namespace

void Tips_Init() {
    Tips_On = 1;
    Tips_Visible = 0;
    Tips_Id = 0;
    g_box = Asset_LoadImage(u"images/interface/Fond_Game_Datas.png");
    g_arrow = Asset_LoadImage(u"images/interface/arrow_yellow.png");
    g_interface = Asset_LoadImage(u"images/interface/ingame_interface.png");
    g_tipFont = ImageFont_Load(Font_FamilyPath(FONT_BOOK), kTipFontSize);
}

void Tips_Place() {
    Tips_On = 1;
    Tips_On = 0; // tips stay closed in play
    Tips_Visible = 0;
    Tips_PlacedX = Screen_CenterX - BoxW() / 2 - Image_Width(g_interface) / 2;
    Tips_PlacedY = 8;
}

int32_t Tips_Show(int32_t n, int32_t buttonFlag, int32_t secondFlag) {
    if (Tips_Visible || !Tips_On || n < 0 || n >= kTipsCount || Shown(n)) return 0;
    if (BoxH() <= 0) return 0; // no box picture: no tip rather than a box of no size
    Tips_BoxX = Tips_PlacedX;
    Tips_BoxY = Tips_PlacedY;
    Tips_Id = n;
    Tips_BoxHeight = MeasureText() + 20 + (buttonFlag == 1 ? kCloseRoom : 0);
    g_boxScale = float(Tips_BoxHeight) / float(BoxH());
    g_margin = 8.0f * g_boxScale;
    if (float(Tips_BoxHeight) <= 1.2f * float(BoxH())) {
        Tips_BoxHeight = BoxH();
        g_margin = 8.0f;
    }
    g_buttonFlag = buttonFlag;
    g_secondFlag = secondFlag;
    Tips_Visible = 1;
    Tips_ArrowVisible = 0;
    Shown(n) = 1;
    Config_SaveArray(14);
    return 1;
}

void Tips_PointAt(int32_t x, int32_t y, float startAngle, float goalAngle) {
    if (!Tips_On) return;
    Tips_ArrowVisible = 1;
    Tips_ArrowX = x;
    Tips_ArrowY = y;
    g_arrowPhase = 0.75f;
    g_arrowAngle = startAngle;
    g_arrowGoal = goalAngle;
    if (!Tips_Visible) return;
    Tips_BoxY = y - Tips_BoxHeight - 16;
    if (Tips_BoxY < 16) Tips_BoxY = y + Image_Height(g_arrow) + 16; // no room above: below the target
    Tips_BoxX = x - ArrowW() / 2 - BoxW() / 2;
    if (Tips_BoxX < 16)
        Tips_BoxX = 16;
    else if (Tips_BoxX + BoxW() > Screen_Width)
        Tips_BoxX = Screen_Width - BoxW() - 16;
}

void Tips_Close() {
    if (!Tips_Visible) return;
    Keys_Flush();
    Tips_Visible = 0;
    Shown(Tips_Id) = 1;
    Board_Alpha = 1.0f;
    Draw_SetAlpha(1);
}

void Tips_Draw() {
    if (!Tips_Visible) return;
    Draw_SetAlpha(1);
    Draw_SetColor(255, 255, 255);
    Draw_ImageRect(g_box, float(Tips_BoxX), float(Tips_BoxY), float(BoxW()), float(Tips_BoxHeight));
    const int32_t rows = Tips_BoxHeight / std::max(1, BoxH());
    const int32_t x = int32_t(float(Tips_BoxX) + 22.0f);
    const int32_t y = g_boxScale <= 1.2f ? Tips_BoxY + rows * 20 : int32_t(float(Tips_BoxY) + float(rows) * 32.0f);
    const FontPtr keep = Draw_GetImageFont();
    Draw_SetImageFont(Font_Default);
    const Str& text = Tips_Texts[size_t(std::clamp(Tips_Id, 0, kTipsCount - 1))];
    Draw_SetColor(16, 16, 16);
    Draw_SetAlpha(0.5f);
    Text_DrawWrapped(text, float(x + 2), float(y + 2), BoxW() - 44, 0, 0);
    Draw_SetColor(255, 255, 255);
    Draw_SetAlpha(1);
    Text_DrawWrapped(text, float(x), float(y), BoxW() - 44, 0, 0);
    Draw_SetImageFont(keep);
    if (Tips_ArrowVisible) {
        g_arrowPhase = std::fmod(g_arrowPhase + Frame_DeltaMs * 0.5f, 360.0f);
        g_arrowAngle += (g_arrowGoal - g_arrowAngle) * Frame_DeltaMs / 1000.0f;
        Draw_SetAlpha(float(Deg_Cos(g_arrowPhase)) * 0.25f + 0.75f);
        Draw_SetRotation(g_arrowAngle);
        Draw_Image(g_arrow, float(Tips_ArrowX), float(Tips_ArrowY));
        Draw_SetRotation(0);
        Draw_SetAlpha(1);
    }
    if (Key_Hit(VK::SPACE) || Key_Hit(VK::RETURN) || Key_Hit(VK::ESCAPE)) Tips_Close();
    Board_Alpha = Tips_Visible ? 0.75f : 1.0f;
}

void Tips_CheckBoard() {
    int32_t x = 0, y = 0;
    switch (Level_Current) {
    case 1:
        HintTip(0);
        break;
    case 2:
        if (Relaxed_Mode == 0) ShowPointing(3, 1, true, 735 - ArrowW() / 2, 399);
        break;
    case 3:
        ShowPointing(5, 1, true, Hammer_ButtonX - ArrowW() / 2, Hammer_ButtonY + 20);
        break;
    case 4:
        HintTip(8);
        break;
    case 5: {
        const bool found = FindPiece(x, y, [](const Piece& p) { return p.Shield != 0; });
        ShowPointing(12, 1, found, x, y);
        break;
    }
    case 7: {
        const bool found = FindPiece(x, y, [](const Piece& p) { return p.Shield == 2; });
        ShowPointing(15, 1, found, x, y);
        break;
    }
    case 8: {
        bool found = false;
        for (int32_t c = 0; c < Board_Cols; ++c)
            for (int32_t r = 0; r < Board_Rows; ++r)
                if (Board_Cells[c][r].TileLevel == 2) {
                    x = Board_OriginX + c * Cell_Width - ArrowW() / 2;
                    y = Board_OriginY + r * Cell_Height;
                    found = true;
                    break;
                }
        ShowPointing(16, 1, found, x, y);
        break;
    }
    case 13: {
        const bool found = FindPiece(x, y, [](const Piece& p) { return p.Bomb != 0; });
        ShowPointing(17, 1, found, x, y);
        break;
    }
    case 16: {
        const bool found = FindPiece(x, y, [](const Piece& p) { return p.Kind == KIND_TAR; });
        ShowPointing(18, 1, found, x, y);
        break;
    }
    default:
        break;
    }
}

void Tips_ShowIceCrystal() { PendingTip(8, Tips_IceX, Tips_IceY); }
void Tips_ShowSnowball() { PendingTip(13, Tips_SnowX, Tips_SnowY); }

void Tips_SetSnowballPoint(int32_t x, int32_t y) {
    Tips_SnowX = x;
    Tips_SnowY = y;
}

void Tips_Tick() {
    if (Tips_Tip20Delay == 0) return;
    if (Tips_Tip20Delay > 0) {
        Tips_Tip20Delay = int32_t(float(Tips_Tip20Delay) - Frame_DeltaMs);
        if (Tips_Tip20Delay > 0) return;
    }
    if (Screen_Current == kScreenMainMenu && !Dialog_Active && Tips_Show(20, 1, 1))
        Tips_Tip20Delay = 0;
    else
        Tips_Tip20Delay = -1; // tried again next frame
}
