// The tutorial's frames and arrow: the small text frame that stays while the player acts, the message-box frame
// with its OK button, step 0's intro picture, where a frame goes (the quarter opposite its target) and the bobbing
// arrow that may follow a piece. Opened by the steps (tutorial_steps.cpp); drawn as the one open dialog.
#include <algorithm>
#include <cmath>

#include "board/board.h"
#include "board/play.h"
#include "main/assets.h"
#include "main/config.h"
#include "main/fonts.h"
#include "main/frame_timer.h"
#include "main/progress.h"
#include "main/screens.h"
#include "main/text_layout.h"
#include "main/texts.h"
#include "menus/menus.h"
#include "menus/tutorial_internal.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/mathdeg.h"

int32_t TutFrame_X = -1, TutFrame_Y = -1;
int32_t TutFrame_Font = kFontTrinigan22;
GUIBtnPtr TutFrame_OkButton;
ImagePtr TutFrame_Image, TutArrow_Image, TutIntro_Picture;
TutArrow Tutorial_Arrow;

namespace {

constexpr int32_t kPlainFont = kFontTrinigan22, kPlainTextW = 174, kPlainTextH = 105, kPlainTextX = 66,
                  kPlainTextY = 45;
constexpr int32_t kOkFont = kFontTrinigan24, kOkTextW = 223, kOkTextH = 129, kOkTextX = 65, kOkTextY = 60;
constexpr int32_t kOkButtonX = 117, kOkButtonY = 200;
constexpr int32_t kIntroCheckId = 23;

// The running step's text; empty when no step runs.
const Str& StepText() {
    static const Str none;
    if (Tutorial_Current < 0 || Tutorial_Current >= kTutorialSteps) return none;
    return Tutorial_Texts[size_t(Tutorial_Current)];
}

Point g_target{-1, -1}; // the point the frame was last placed against (Tutorial_PlaceFrame)

// A target near the screen's centre lies under the near corner of a frame in the opposite quarter (the frames are
// larger than a quarter's margin): the frame moves on, away from the target, along the axis that needs the shorter
// move, and stays on the screen. The piece or button pointed at stays in sight.
void KeepClearOfTarget(int32_t w, int32_t h) {
    const int32_t clear = Cell_Width / 2 + 4;
    const Point t = g_target;
    if (t.x < TutFrame_X - clear || t.x > TutFrame_X + w + clear || t.y < TutFrame_Y - clear ||
        t.y > TutFrame_Y + h + clear)
        return;
    // The frame stands right of (below) a target left of (above) the centre, and the other way round.
    const int32_t toRight = std::min(t.x + clear - TutFrame_X, Screen_Width - w - TutFrame_X);
    const int32_t toLeft = std::min(TutFrame_X + w - (t.x - clear), TutFrame_X);
    const int32_t toBelow = std::min(t.y + clear - TutFrame_Y, Screen_Height - h - TutFrame_Y);
    const int32_t toAbove = std::min(TutFrame_Y + h - (t.y - clear), TutFrame_Y);
    const int32_t dx = t.x < Screen_CenterX ? toRight : -toLeft;
    const int32_t dy = t.y < Screen_CenterY ? toBelow : -toAbove;
    const int32_t needX = t.x < Screen_CenterX ? t.x + clear - TutFrame_X : TutFrame_X + w - (t.x - clear);
    const int32_t needY = t.y < Screen_CenterY ? t.y + clear - TutFrame_Y : TutFrame_Y + h - (t.y - clear);
    const bool clearsX = std::abs(dx) >= needX, clearsY = std::abs(dy) >= needY;
    if (clearsX && (!clearsY || needX <= needY))
        TutFrame_X += dx;
    else if (clearsY)
        TutFrame_Y += dy;
}

// Centres a coordinate left at -1 on the screen by the size given; a frame placed against a target keeps clear
// of it at its drawn size.
void PlaceBySize(int32_t w, int32_t h) {
    if (TutFrame_X == -1 && TutFrame_Y == -1) g_target = Point{-1, -1};
    if (TutFrame_X == -1) TutFrame_X = Screen_CenterX - w / 2;
    if (TutFrame_Y == -1) TutFrame_Y = Screen_CenterY - h / 2;
    if (g_target.x >= 0) KeepClearOfTarget(w, h);
}

void DrawStepText(int32_t x, int32_t y, int32_t width) {
    const Str& text = StepText();
    if (text.empty()) return;
    const FontPtr keep = Draw_GetImageFont();
    Draw_SetImageFont(Font_Get(TutFrame_Font));
    Draw_SetColor(255, 255, 255);
    Draw_SetAlpha(1);
    Text_DrawWrapped(text, float(x), float(y), width, 0, 1);
    Draw_SetImageFont(keep);
}

void Intro_ToggleHints(GUIBtn& box) {
    // The box shows the intro's own switch: checked while the intro is on (its off bit clear).
    Tutorial_Word(0) ^= kTutOff;
    box.state ^= BTN_CHECKED;
    Config_SaveArray(20);
}

// The frames stand over whatever screen comes next (the level end comes in the middle of a game frame): a frame
// whose step is out of place is not drawn, and at its next update the step gives way and the frame closes.
bool GiveWayWhenOutOfPlace() {
    if (!Tutorial_OutOfPlace()) return false;
    Tutorial_Abort();
    return true;
}

} // namespace

void TutFrames_Load() {
    TutFrame_Image = Asset_LoadImage(u"Images/GUI/Tutorial/tut_frame.png");
    TutIntro_Picture = Asset_LoadImage(u"Images/GUI/Tutorial/tut0_frame" + Lang_Suffix + u"_orig.png");
    TutArrow_Image = Asset_LoadImage(u"Images/GUI/Tutorial/tut_arrow.png");
    Image_CentreHandle(TutArrow_Image);
    TutFrame_OkButton = GUIBtn::CreateDlg2Btn(9, kOkButtonX, kOkButtonY, TutFrame_Btn_Ok_LeftUp, 14);
}

// ---- Frame without a button ------------------------------------------------------------------------------------

void TutFrame_Init() {
    PlaceBySize(Image_Width(TutFrame_Image), Image_Height(TutFrame_Image));
    if (!StepText().empty()) TutFrame_Font = Text_FitFont(StepText(), kPlainFont, kPlainTextW, kPlainTextH);
}

void TutFrame_Update() { GiveWayWhenOutOfPlace(); }

void TutFrame_Draw() {
    if (Tutorial_OutOfPlace()) return; // its next update closes it
    Draw_SetAlpha(1);
    Draw_SetColor(255, 255, 255);
    Draw_Image(TutFrame_Image, float(TutFrame_X), float(TutFrame_Y));
    DrawStepText(TutFrame_X + kPlainTextX, TutFrame_Y + kPlainTextY, kPlainTextW);
    Tutorial_DrawArrow();
}

// ---- Frame with the OK button ----------------------------------------------------------------------------------

void TutFrameOk_Init() {
    PlaceBySize(kDlg2Width, kDlg2Height);
    if (!StepText().empty()) TutFrame_Font = Text_FitFont(StepText(), kOkFont, kOkTextW, kOkTextH);
    if (TutFrame_OkButton)
        TutFrame_OkButton->SetPosition(float(TutFrame_X + kOkButtonX), float(TutFrame_Y + kOkButtonY));
}

void TutFrameOk_Update() {
    if (GiveWayWhenOutOfPlace() || !TutFrame_OkButton) return;
    const GUIBtnPtr ok = TutFrame_OkButton; // the action may change the button's action while it runs
    if (Key_Hit(VK::RETURN)) {
        const GUIBtnAction action = ok->onLeftUp;
        action(*ok);
        return;
    }
    ok->Update();
}

void TutFrameOk_Draw() {
    if (Tutorial_OutOfPlace()) return;
    Draw_SetAlpha(1);
    Draw_SetColor(255, 255, 255);
    if (TutFrame_OkButton) TutFrame_OkButton->Draw();
    Draw_Image(MsgBox_Dlg2Bg, float(TutFrame_X), float(TutFrame_Y));
    DrawStepText(TutFrame_X + kOkTextX, TutFrame_Y + kOkTextY, kOkTextW);
    Tutorial_DrawArrow();
}

void TutFrame_Btn_Ok_LeftUp(GUIBtn&) { Tutorial_Close(); }

// ---- Step 0's intro --------------------------------------------------------------------------------------------

void TutIntro_Init() {
    MsgBox_Buttons.clear();
    Dialog_X = 0;
    Dialog_Y = 0;
    GUIBtnPtr ok = GUIBtn::CreateSingleImgBtn(9, 69, 552, TutIntro_Btn_LeftUp, u"Images/GUI/Dlgs/credits_btn",
                                              Button_Captions[9], 14);
    MsgBox_Buttons.push_back(ok);
    GUIBtnPtr box = GUIBtn::Create(kIntroCheckId, 246, 546);
    const ImagePtr off = Images_Get(u"Images/GUI/Dlgs/opt_check_default.png");
    box->SetImage(off, BTNIMG_DEFAULT | BTNIMG_HOVERED | BTNIMG_PRESSED);
    box->SetImage(Images_Get(u"Images/GUI/Dlgs/opt_check_checked.png"), BTNIMG_CHECKED | BTNIMG_CHECKED_HOVERED);
    box->SetHitRect(0, 0, off ? Image_Width(off) : 48, off ? Image_Height(off) : 48);
    box->SetCallbacks(Intro_ToggleHints, GUIBtn_Nothing, GUIBtn_Nothing, GUIBtn_Nothing);
    if (!(Tutorial_Word(0) & kTutOff)) box->state |= BTN_CHECKED;
    MsgBox_Buttons.push_back(box);
}

void TutIntro_Update() {
    if (GiveWayWhenOutOfPlace()) return;
    if (Key_Hit(VK::RETURN) && !MsgBox_Buttons.empty()) {
        const GUIBtnPtr ok = MsgBox_Buttons.front();
        TutIntro_Btn_LeftUp(*ok);
        return;
    }
    MsgBox_UpdateButtons();
}

void TutIntro_Draw() {
    if (Tutorial_OutOfPlace()) return;
    Draw_SetAlpha(1);
    Draw_SetColor(255, 255, 255);
    if (!MsgBox_Buttons.empty()) MsgBox_Buttons.front()->Draw();
    Draw_Image(TutIntro_Picture, float(Dialog_X), float(Dialog_Y));
    if (MsgBox_Buttons.size() > 1) MsgBox_Buttons.back()->Draw();
}

void TutIntro_Btn_LeftUp(GUIBtn&) {
    Tutorial_Close();
    LightMap_Reset();
}

// ---- Opening, placing, the arrow -------------------------------------------------------------------------------

void Tutorial_OpenFrame(int32_t kind, int32_t pause) {
    Tutorial_FrameKind = kind;
    Tutorial_FramePauses = pause;
    switch (kind) {
    case TUTFRAME_PLAIN:
        Dialog_Open(TutFrame_Init, TutFrame_Update, TutFrame_Draw, 0);
        Dialog_SetOwner(DIALOG_TUTORIAL_FRAME);
        break;
    case TUTFRAME_OK:
        Dialog_Open(TutFrameOk_Init, TutFrameOk_Update, TutFrameOk_Draw, 1);
        Dialog_SetOwner(DIALOG_TUTORIAL_BOX);
        break;
    case TUTFRAME_INTRO:
        Dialog_Open(TutIntro_Init, TutIntro_Update, TutIntro_Draw, 1);
        Dialog_SetOwner(DIALOG_TUTORIAL_BOX);
        break;
    default:
        return;
    }
    if (pause) Game_Paused = 1;
}

void Tutorial_PlaceFrame(int32_t x, int32_t y, int32_t withArrow, int32_t side, int32_t far) {
    if (withArrow == 1) {
        const int32_t flipped = (x < 60 || side == 1) ? 1 : 0;
        const int32_t left = flipped ? x + Cell_Width / 2 : x - 60 - Cell_Width / 2;
        Tutorial_ShowArrow(left, y - 15, flipped);
    }
    const float f = far == 1 ? 0.75f : 0.625f;
    const int32_t cx = int32_t(float(Screen_Width) * (x >= Screen_CenterX ? 1 - f : f));
    const int32_t cy = int32_t(float(Screen_Height) * (y >= Screen_CenterY ? 1 - f : f));
    TutFrame_X = cx - Image_Width(TutFrame_Image) / 2;
    TutFrame_Y = cy - Image_Height(TutFrame_Image) / 2;
    g_target = Point{x, y};
}

void Tutorial_ShowArrow(int32_t x, int32_t y, int32_t flipped) {
    TutArrow& a = Tutorial_Arrow;
    a.visible = 1;
    a.flipped = flipped;
    a.x = float(x + Image_Width(TutArrow_Image) / 2);
    a.y = float(y + Image_Height(TutArrow_Image) / 2);
    a.bobX = a.bobY = 0;
    a.phase = 0;
    a.piece.reset();
}

void Tutorial_AttachArrow(const PiecePtr& piece) {
    TutArrow& a = Tutorial_Arrow;
    a.piece = piece;
    if (piece) {
        a.lastX = piece->PosX;
        a.lastY = piece->PosY;
    }
}

void Tutorial_DrawArrow() {
    TutArrow& a = Tutorial_Arrow;
    if (!a.visible) return;
    if (a.piece) {
        // A followed piece that left the board (collected, destroyed) ends the arrow rather than leaving it behind.
        if (a.piece->Removing || !Piece_OnBoard(a.piece)) {
            a.visible = 0;
            a.piece.reset();
            return;
        }
        if (a.piece->PosX != a.lastX) {
            a.x += a.piece->PosX - a.lastX;
            a.lastX = a.piece->PosX;
        }
        if (a.piece->PosY != a.lastY) {
            a.y += a.piece->PosY - a.lastY;
            a.lastY = a.piece->PosY;
        }
    }
    a.phase = int32_t(float(a.phase) + Frame_DeltaMs * 0.65f) % 360;
    a.bobX = int32_t(float(Deg_Sin(a.phase)) * 5.0f);
    Draw_SetAlpha(1);
    Draw_SetColor(255, 255, 255);
    Draw_SetRotation(a.flipped ? 180.0f : 0.0f);
    Draw_Image(TutArrow_Image, a.x + float(a.bobX), a.y + float(a.bobY));
    Draw_SetRotation(0);
}
