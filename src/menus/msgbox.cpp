// The common frame of every message box (skins, centring, buttons that stop once their action closed the box, draw
// order) and the user-name box of the first start and of the players dialog's add and rename. Called by the
// game-flow boxes (msgbox_flow.cpp), the main menu and the players dialog.
#include <algorithm>

#include "board/play.h"
#include "board/rules.h"
#include "castle/castle.h"
#include "main/assets.h"
#include "main/config.h"
#include "main/fonts.h"
#include "main/progress.h"
#include "main/runtime.h"
#include "main/screens.h"
#include "main/text_layout.h"
#include "main/texts.h"
#include "menus/menus.h"
#include "platform/graphics.h"
#include "platform/input.h"

std::vector<GUIBtnPtr> MsgBox_Buttons;
FontPtr MsgBox_Font;
ImagePtr MsgBox_Dlg2Bg, MsgBox_Dlg3Bg;
ImagePtr MsgBox_WinGameBg;

int32_t NameBox_Mode = 0;
Str NameBox_Text;
int32_t NameBox_X = 0, NameBox_Y = 0;
NameEntryState NameBox_Entry;
FontPtr NameBox_Font;

namespace {

constexpr int kNameFont = kFontTrinigan24;       // the typed name: Trinigan 24
constexpr int kNameButtonFont = kFontTrinigan20; // the box's buttons: Trinigan 20
constexpr int kPromptFont = kFontTrinigan26;     // the prompt's first font before fitting: Trinigan 26

int32_t SkinWidth(MsgBoxSkin skin) { return skin == SKIN_DLG3 ? kDlg3Width : skin == SKIN_DLG2 ? kDlg2Width : 0; }
int32_t SkinHeight(MsgBoxSkin skin) { return skin == SKIN_DLG3 ? kDlg3Height : skin == SKIN_DLG2 ? kDlg2Height : 0; }
const ImagePtr& SkinImage(MsgBoxSkin skin) { return skin == SKIN_DLG3 ? MsgBox_Dlg3Bg : MsgBox_Dlg2Bg; }

// The OK button takes only a name with something besides blanks; Enter asks the same.
bool NameTakeable(const Str& text) { return !Str_Trim(text).empty(); }

} // namespace

// ---- Skins and the common frame -----------------------------------------------------------------------------------
void Dialogs_LoadImages() {
    MsgBox_Dlg2Bg = Asset_LoadImage(u".\\Images\\GUI\\Dlgs\\dlg2_bg.png");
    MsgBox_Dlg3Bg = Asset_LoadImage(u".\\Images\\GUI\\Dlgs\\dlg3_bg.png");
    MsgBox_WinGameBg = Asset_LoadImage(u".\\Images\\GUI\\Dlgs\\wingame_bg" + Lang_Suffix + u".jpg");
    for (size_t skin = 0; skin < GUIBtn_DlgImages.size(); ++skin)
        for (size_t k = 0; k < 3; ++k)
            GUIBtn_DlgImages[skin][k] = Images_Get(GUIBtn_DlgImagePaths[skin][k]);
    MsgBox_Buttons.clear();
    MsgBox_Buttons.reserve(4);
    Gamble_Init();
}

void MsgBox_Begin(MsgBoxSkin skin) {
    MsgBox_Buttons.clear();
    // A box without a skin is a full-screen picture with its origin at the screen's corner.
    Dialog_X = skin == SKIN_NONE ? 0 : Screen_CenterX - SkinWidth(skin) / 2;
    Dialog_Y = skin == SKIN_NONE ? 0 : Screen_CenterY - SkinHeight(skin) / 2;
}

void MsgBox_UpdateButtons() { Dialog_UpdateButtons(MsgBox_Buttons); }

bool Dialog_UpdateButtons(const std::vector<GUIBtnPtr>& buttons) {
    const int serial = Dialog_Serial();
    // An action that closes the box (and may open the next, whose init empties the list) ends the walk at once.
    for (size_t i = 0; i < buttons.size(); ++i) {
        const GUIBtnPtr b = buttons[i];
        b->Update();
        if (Dialog_Serial() != serial) return false;
    }
    return true;
}

void MsgBox_DrawFrame(MsgBoxSkin skin) {
    for (const GUIBtnPtr& b : MsgBox_Buttons)
        b->Draw();
    if (skin != SKIN_NONE) Draw_Image(SkinImage(skin), float(Dialog_X), float(Dialog_Y));
}

bool MsgBox_AnyCharTyped() { return Key_GetChar() != 0; }

// ---- User-name box ------------------------------------------------------------------------------------------------
void MsgBox_Username_Open() { Dialog_Open(MsgBox_Username_Init, MsgBox_Username_Update, MsgBox_Username_Draw, 1); }

void MsgBox_Username_Init() {
    if (NameBox_Mode == 0) {
        MsgBox_Begin(SKIN_DLG2);
        MsgBox_Buttons.push_back(GUIBtn::CreateDlg2Btn(4, float(Dialog_X + 117), float(Dialog_Y + 200),
                                                       MsgBox_Username_Btn_OkFirst_LeftUp, kNameButtonFont));
    } else {
        MsgBox_Begin(SKIN_DLG3);
        MsgBox_Buttons.push_back(GUIBtn::CreateDlg3Btn(9, float(Dialog_X + 74), float(Dialog_Y + 205),
                                                       MsgBox_Username_Btn_Ok_LeftUp, 0, kNameButtonFont));
        MsgBox_Buttons.push_back(GUIBtn::CreateDlg3Btn(19, float(Dialog_X + 195), float(Dialog_Y + 205),
                                                       MsgBox_Username_Btn_Cancel_LeftUp, 1, kNameButtonFont));
    }
    NameBox_Text = NameBox_Mode == 1 ? Player_Names[size_t(Player_Current)] : Str();
    NameBox_Entry = NameEntryState{};
    // The dlg2 width in every mode, as the first-start box has it.
    NameBox_X = Dialog_X + kDlg2Width / 2 + 30;
    NameBox_Y = Dialog_Y + 160;
    const Str& prompt = Text_Entry(NameBox_Prompts, NameBox_Mode, "NameBox_Prompts");
    NameBox_Font = Font_Get(Text_FitFont(prompt, kPromptFont, kDlg2Width - 110, 40));
}

void MsgBox_Username_Update() {
    const int serial = Dialog_Serial();
    NameEntry_Update(NameBox_Text, MsgBox_Username_OnEnter, Dialog_Nothing, Dialog_Nothing, NameBox_Entry);
    if (Dialog_Serial() != serial || MsgBox_Buttons.empty()) return; // Enter took the name
    GUIBtn& ok = *MsgBox_Buttons.front();
    if (NameTakeable(NameBox_Text))
        ok.state &= ~BTN_DISABLED;
    else
        ok.state |= BTN_DISABLED;
    MsgBox_UpdateButtons();
}

void MsgBox_Username_Draw() {
    const MsgBoxSkin skin = NameBox_Mode == 0 ? SKIN_DLG2 : SKIN_DLG3;
    MsgBox_DrawFrame(skin);
    const FontPtr previous = Draw_GetImageFont();
    Draw_SetColor(255, 255, 255);
    Draw_SetImageFont(NameBox_Font);
    Text_DrawCenteredAt(Text_Entry(NameBox_Prompts, NameBox_Mode, "NameBox_Prompts"),
                        float(Dialog_X + SkinWidth(skin) / 2), float(Dialog_Y + 120));
    const FontPtr nameFont = Font_Get(kNameFont);
    Draw_SetImageFont(nameFont);
    Text_DrawCenteredAt(NameBox_Text, float(NameBox_X), float(NameBox_Y));
    const float left = float(NameBox_X) - float(Text_Width(NameBox_Text)) / 2;
    const float top = float(NameBox_Y) - float(ImageFont_Height(nameFont)) / 2;
    NameEntry_DrawCursor(NameBox_Text, nameFont, left, top, NameBox_Entry.cursor, NameBox_Entry.blinkOn);
    Draw_SetImageFont(previous);
}

void MsgBox_Username_Btn_OkFirst_LeftUp(GUIBtn&) {
    const size_t p = size_t(Player_Current);
    Player_Names[p] = NameBox_Text;
    Config_SetValue(u"PLAYER" + Str_FromInt(Player_Current), NameBox_Text);
    Player_Used[p] = 1;
    Config_SaveArray(18);
    Dialog_Close();
    MainMenu_SetUserCaption(NameBox_Text);
    First_Start = 0;
    Match_New();
    Level_Current = 1;
}

void MsgBox_Username_Btn_Ok_LeftUp(GUIBtn&) {
    int32_t target = Player_Current;
    if (NameBox_Mode == 2) {
        const auto free = std::find(Player_Used.begin(), Player_Used.end(), 0);
        if (free == Player_Used.end()) {
            Log_Print(u"MsgBox_Username_Btn_Ok_LeftUp: error finding slot for new player");
            return; // nothing changes; the box stays open
        }
        target = int32_t(free - Player_Used.begin());
    }
    const int32_t same = Player_FindByName(NameBox_Text);
    if (same >= 0 && (NameBox_Mode == 2 || same != Player_Current)) {
        Log_Print((NameBox_Mode == 2 ? u"add failed same name as " : u"rename failed same name as ") +
                  Str_FromInt(same));
        MsgBox_NameExists_Open();
        return;
    }
    Player_Names[size_t(target)] = NameBox_Text;
    Config_SetValue(u"PLAYER" + Str_FromInt(target), NameBox_Text);
    Player_Select(target);
    Dialog_Close();
    MM_Players_Open();
}

void MsgBox_Username_Btn_Cancel_LeftUp(GUIBtn&) {
    Dialog_Close();
    MM_Players_Open();
}

void MsgBox_Username_OnEnter() {
    if (!NameTakeable(NameBox_Text)) return;
    static GUIBtn none;
    if (NameBox_Mode == 0)
        MsgBox_Username_Btn_OkFirst_LeftUp(none);
    else
        MsgBox_Username_Btn_Ok_LeftUp(none);
}
