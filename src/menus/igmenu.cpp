// The in-game menu: the panel that slides down over the paused board with "Level nochmal", "Hauptmenü" and
// "Weiterspielen"; a chosen action waits until the panel has slid back up. Built at start-up; the in-game interface
// opens it (through the castle's hook table) on its menu button and on Escape.
#include "board/play.h"
#include "board/rules.h"
#include "castle/castle.h"
#include "main/assets.h"
#include "main/audio.h"
#include "main/fonts.h"
#include "main/frame_timer.h"
#include "main/screens.h"
#include "main/texts.h"
#include "menus/menus.h"
#include "platform/graphics.h"
#include "platform/input.h"

std::vector<GUIBtnPtr> IGMenu_Buttons;
std::array<int32_t, 3> IGMenu_RestY{};
IGMenuAction IGMenu_Action = IGMenu_DoClose;

namespace {

constexpr int kCaptionFont = kFontUnzialish16;
constexpr float kSlideSpeed = 1200; // pixels per second
ImagePtr g_frame;

struct IGMenuButtonDef {
    int32_t y; // resting y relative to the frame
    GUIBtnAction action;
};
const std::array<IGMenuButtonDef, 3> kButtons{{
    {236, IGMenu_Btn_Restart_LeftUp},
    {307, IGMenu_Btn_MainMenu_LeftUp},
    {378, IGMenu_Btn_Close_LeftUp},
}};

void Choose(IGMenuAction action) {
    IGMenu_Action = action;
    Fade_State = FADE_SLIDING_OUT;
}

void PlaceButtons() {
    for (size_t i = 0; i < IGMenu_Buttons.size(); ++i)
        IGMenu_Buttons[i]->SetPosition(IGMenu_Buttons[i]->x, float(IGMenu_RestY[i]) + Fade_Offset);
}

// A panel button: the three pictures, the caption centred in white, its resting y kept.
GUIBtnPtr CreateButton(int32_t id, float x, float y, GUIBtnAction action, const ImagePtr (&images)[3]) {
    GUIBtnPtr b = GUIBtn::Create(id, x, y);
    b->SetImage(images[0], BTNIMG_DEFAULT);
    b->SetImage(images[1], BTNIMG_HOVERED);
    b->SetImage(images[2], BTNIMG_PRESSED);
    b->SetCallbacks(nullptr, std::move(action), nullptr, nullptr);
    const int32_t w = Image_Width(images[0]), h = Image_Height(images[0]);
    b->SetHitRect(0, 0, w, h);
    b->SetText(Text_Entry(IGMenu_Captions, id, "IGMenu_Captions"), Font_Get(kCaptionFont), 255, 255, 255,
               BTNTXT_CENTRED, float(w / 2), float(h / 2));
    IGMenu_RestY[size_t(id)] = int32_t(y);
    return b;
}

} // namespace

void IGMenu_Build() {
    g_frame = Asset_LoadImage(u".\\Images\\GUI\\Dlgs\\IGMenu_frame.png");
    const ImagePtr images[3] = {Asset_LoadImage(u".\\Images\\GUI\\Dlgs\\IGMenu_btn_default.png"),
                                Asset_LoadImage(u".\\Images\\GUI\\Dlgs\\IGMenu_btn_hovered.png"),
                                Asset_LoadImage(u".\\Images\\GUI\\Dlgs\\IGMenu_btn_pressed.png")};
    IGMenu_Buttons.clear();
    for (size_t i = 0; i < kButtons.size(); ++i)
        IGMenu_Buttons.push_back(CreateButton(int32_t(i), float(IGMenu_X + 46), float(IGMenu_Y + kButtons[i].y),
                                              kButtons[i].action, images));
}

void IGMenu_Init() {
    Game_Paused = 1;
    const int32_t height = g_frame ? Image_Height(g_frame) : 492;
    Fade_Limit = -float(height);
    Fade_Offset = Fade_Limit;
    Fade_State = FADE_SLIDING_IN;
    Fade_Speed = kSlideSpeed;
    IGMenu_Action = IGMenu_DoClose;
    PlaceButtons();
}

void IGMenu_Update() {
    const int serial = Dialog_Serial();
    if (Fade_State == FADE_SLIDING_IN) {
        Fade_Offset += Fade_Speed * Frame_DeltaSec;
        if (Fade_Offset > 0) {
            Fade_Offset = 0;
            Fade_State = FADE_STILL;
        }
        PlaceButtons();
    } else if (Fade_State == FADE_SLIDING_OUT) {
        Fade_Offset -= Fade_Speed * Frame_DeltaSec;
        PlaceButtons();
        if (Fade_Offset < Fade_Limit) {
            Fade_Offset = Fade_Limit;
            Fade_State = FADE_STILL;
            PlaceButtons();
            IGMenu_Action();
            if (Dialog_Serial() != serial) return;
        }
    }
    if (!Dialog_UpdateButtons(IGMenu_Buttons)) return;
    if (Key_Hit(VK::ESCAPE) && IGMenu_Buttons.size() > 2) IGMenu_Btn_Close_LeftUp(*IGMenu_Buttons[2]);
}

void IGMenu_Draw() {
    for (const GUIBtnPtr& b : IGMenu_Buttons)
        b->Draw();
    Draw_Image(g_frame, float(IGMenu_X), float(IGMenu_Y) + Fade_Offset);
}

void IGMenu_Btn_Restart_LeftUp(GUIBtn&) { Choose(IGMenu_DoRestart); }
void IGMenu_Btn_MainMenu_LeftUp(GUIBtn&) { Choose(IGMenu_DoMainMenu); }
void IGMenu_Btn_Close_LeftUp(GUIBtn&) { Choose(IGMenu_DoClose); }

void IGMenu_DoRestart() {
    Dialog_Close();
    Game_Start(1);
}

void IGMenu_DoMainMenu() {
    Dialog_Close();
    if (Score != 0 || Lives != 3) Match_Save(Level_Current, 1); // an untouched match is not saved
    Screen_Set(kScreenMainMenu);
    Music_SwitchTo(0);
}

void IGMenu_DoClose() {
    Game_Paused = 0;
    Dialog_Close();
}
