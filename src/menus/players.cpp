// The players dialog (list of the players in use; OK, Abbruch, Löschen, Hinzufügen, Umbenennen), the operations on
// player slots (select, reset, delete, find by name) and the one-line name entry field of the user-name box.
// Opened by the main menu's user button; the slot operations are called by the user-name box and the delete box.
#include <algorithm>

#include "board/play.h"
#include "castle/castle.h"
#include "main/assets.h"
#include "main/audio.h"
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

ImagePtr Players_Bg;
std::vector<GUIBtnPtr> Players_Buttons;
GUIListboxPtr Players_List;
int32_t Players_Other = -1;

namespace {

constexpr int kListFont = kFontUnzialish16;    // the names: UnZialish 16
constexpr int kCaptionFont = kFontUnzialish16; // the buttons' captions, at most
constexpr int32_t kCaptionMargin = 24; // pixels of a button's width the caption leaves free
constexpr int32_t kRepeatMs = 200;     // an editing key held down acts again after this long
constexpr int32_t kBlinkMs = 500;      // the caret shows and hides for this long each

struct PlayersButtonDef {
    int32_t id; // also the caption's entry of Button_Captions
    float x, y;
    void (*leftUp)(GUIBtn&);
};
constexpr PlayersButtonDef kPlayersButtons[] = {
    {9, 576, 495, MM_Players_Btn_Ok_LeftUp},      {19, 486, 444, MM_Players_Btn_Cancel_LeftUp},
    {20, 482, 370, MM_Players_Btn_Delete_LeftUp}, {21, 443, 255, MM_Players_Btn_Add_LeftUp},
    {22, 464, 313, MM_Players_Btn_Rename_LeftUp},
};

std::array<ImagePtr, 3> g_buttonImages; // players_btn_ default, hovered, pressed (shared by the five buttons)

void SelectRow(const GUIListboxSlot& row) {
    if (row.data < 0 || row.data >= kPlayers) return;
    Player_Current = row.data;
    Config_SetValue(u"PLAYER_CRT", Str_FromInt(Player_Current));
    Config_StoreVolumes(); // the chosen player's own volumes are heard from now on
    Music_ApplyVolume();
}

} // namespace

// ---- The dialog -----------------------------------------------------------------------------------------------------
GUIBtnPtr Players_MakeButton(int32_t id, float x, float y, GUIBtnAction leftUp, const Str& caption) {
    static const char16_t* const kFiles[] = {u"default.png", u"hovered.png", u"pressed.png"};
    static const int32_t kSlots[] = {BTNIMG_DEFAULT, BTNIMG_HOVERED, BTNIMG_PRESSED};
    GUIBtnPtr b = GUIBtn::Create(id, x, y);
    for (size_t k = 0; k < 3; ++k) {
        if (!g_buttonImages[k])
            g_buttonImages[k] = Asset_LoadImage(Str(u".\\Images\\GUI\\Dlgs\\players_btn_") + kFiles[k]);
        b->SetImage(g_buttonImages[k], kSlots[k]);
    }
    b->SetCallbacks(nullptr, std::move(leftUp), nullptr, nullptr);
    const int32_t w = g_buttonImages[0] ? Image_Width(g_buttonImages[0]) : 130;
    const int32_t h = g_buttonImages[0] ? Image_Height(g_buttonImages[0]) : 40;
    b->SetHitRect(0, 0, w, h);
    // The longest captions ("Hinzufügen", "Umbenennen") step down a size to keep clear of the button's rim.
    const int font = Text_FitFont(caption, kCaptionFont, w - kCaptionMargin, h);
    b->SetText(caption, Font_Get(font), 255, 255, 255, BTNTXT_CENTRED, float(w / 2), float(h / 2));
    return b;
}

void Players_Build() {
    Players_Bg = Asset_LoadImage(u".\\Images\\GUI\\Dlgs\\players_bg.png");
    Players_Buttons.clear();
    for (const PlayersButtonDef& d : kPlayersButtons)
        Players_Buttons.push_back(
            Players_MakeButton(d.id, d.x, d.y, d.leftUp, Text_Entry(Button_Captions, d.id, "Button_Captions")));
    Players_List = GUIListbox::Create(619, 246, kPlayers, 120);
}

void MM_Players_Open() { Dialog_Open(MM_Players_Init, MM_Players_Update, MM_Players_Draw, 1); }

void MM_Players_Init() {
    if (!Players_List) Players_Build();
    for (int32_t i = 0; i < kPlayers; ++i) {
        const Str name = Config_Get(u"PLAYER" + Str_FromInt(i));
        Player_Names[size_t(i)] = name.empty() ? Str(u"Anonymous") : name;
    }
    Players_List->Clear();
    const FontPtr font = Font_Get(kListFont);
    for (int32_t i = 0; i < kPlayers; ++i) {
        if (Player_Used[size_t(i)] == 0) continue;
        const GUIListboxSlotPtr row = Players_List->AddItem(Player_Names[size_t(i)], font, 255, 255, 255, i);
        row->SetCallbacks(MM_Players_Btn_Player_LeftUp, MM_Players_Btn_Player2_LeftUp);
        if (i == Player_Current) Players_List->selected = row->index;
    }
}

void MM_Players_Update() {
    const int serial = Dialog_Serial();
    for (size_t i = 0; i < Players_Buttons.size(); ++i) {
        const GUIBtnPtr b = Players_Buttons[i];
        b->Update();
        if (Dialog_Serial() != serial) return; // the action closed the dialog or opened a box in its place
    }
    Players_List->Update();
}

void MM_Players_Draw() {
    for (const GUIBtnPtr& b : Players_Buttons)
        b->Draw();
    Draw_Image(Players_Bg, kPlayersX, kPlayersY);
    Players_List->Draw();
}

void MM_Players_Btn_Player_LeftUp(GUIListboxSlot& row) { SelectRow(row); }
void MM_Players_Btn_Player2_LeftUp(GUIListboxSlot& row) { SelectRow(row); }

void MM_Players_Btn_Ok_LeftUp(GUIBtn&) {
    Config_SetValue(u"PLAYER_CRT", Str_FromInt(Player_Current));
    Dialog_Close();
    Screen_Set(kScreenMainMenu);
}

void MM_Players_Btn_Cancel_LeftUp(GUIBtn&) {
    Dialog_Close();
    Screen_Set(kScreenMainMenu);
}

void MM_Players_Btn_Delete_LeftUp(GUIBtn&) {
    Players_Other = -1;
    for (int32_t i = 0; i < kPlayers && Players_Other < 0; ++i)
        if (Player_Used[size_t(i)] != 0 && i != Player_Current) Players_Other = i;
    if (Players_Other >= 0)
        MsgBox_DeletePlayer_Open();
    else
        MsgBox_LastPlayer_Open();
}

void MM_Players_Btn_Add_LeftUp(GUIBtn&) {
    if (std::find(Player_Used.begin(), Player_Used.end(), 0) == Player_Used.end()) {
        Log_Print(u"MM_Players_Btn_Add_LeftUp: error finding slot for new player");
        return;
    }
    NameBox_Mode = 2;
    MsgBox_Username_Open();
}

void MM_Players_Btn_Rename_LeftUp(GUIBtn&) {
    NameBox_Mode = 1;
    MsgBox_Username_Open();
}

// ---- Player slots --------------------------------------------------------------------------------------------------
void Player_Select(int32_t p) {
    if (p < 0 || p >= kPlayers) return;
    const size_t s = size_t(p);
    Player_Current = p;
    Config_SetValue(u"PLAYER_CRT", Str_FromInt(p));
    if (Player_Used[s] == 0) {
        Vol_Fx[s] = kDefaultVolFx;
        Vol_Music[s] = kDefaultVolMusic;
        Vol_Ambient[s] = kDefaultVolAmbient;
        Config_SaveArray(11);
        Config_SaveArray(12);
        Config_SaveArray(13);
    }
    Player_Used[s] = 1;
    Config_SaveArray(18);
    Config_StoreVolumes();
    Music_ApplyVolume();
    MainMenu_SetUserCaption(Player_Names[s]);
}

void Player_ResetSlot(int32_t p) {
    if (p < 0 || p >= kPlayers) return;
    const size_t s = size_t(p);
    Match_Delete();
    Player_Names[s] = u"New Player" + Str_FromInt(p + 1);
    Config_SetValue(u"PLAYER" + Str_FromInt(p), Player_Names[s]);
    Player_Used[s] = 0;
    Config_SaveArray(18);
    // Everything the slot remembers of its player goes at once, so whoever takes the slot next starts clean even
    // when the game ends before its next full save.
    std::fill_n(Castles_Completed.begin() + std::ptrdiff_t(s * kCastlesCount), kCastlesCount, 0);
    std::fill_n(Tutorial_Flags.begin() + std::ptrdiff_t(s * kTutorialCount), kTutorialCount, 0);
    Tips_Shown[s].fill(0);
    std::fill(std::begin(Player_LevelEase[s]), std::end(Player_LevelEase[s]), 0);
    Player_LastLevel[s] = 0;
    for (const int array : {0, 1, 3, 14, 20})
        Config_SaveArray(array);
    LevelMap_ResetCursor();
}

void Player_Delete(int32_t p, int32_t next) {
    Player_ResetSlot(p);
    MsgBox_PlayerDeleted_Open();
    Player_Select(next);
}

int32_t Player_FindByName(const Str& name) {
    for (int32_t i = 0; i < kPlayers; ++i)
        if (Player_Used[size_t(i)] != 0 && Player_Names[size_t(i)] == name) return i;
    return -1;
}

// ---- Name entry field ----------------------------------------------------------------------------------------------
bool NameEntry_Accepts(char16_t c) { return c >= 32 && c <= 255 && c != u'~' && !(c >= 127 && c <= 159); }

void NameEntry_Update(Str& text, NameEntryFn onEnter, NameEntryFn onEscape, NameEntryFn onEachFrame,
                      NameEntryState& st) {
    if (onEachFrame && onEachFrame != Dialog_Nothing) onEachFrame();
    const int32_t frameMs = int32_t(Frame_DeltaMs);
    st.cursor = std::clamp<int32_t>(st.cursor, 0, int32_t(text.size()));
    // Enter and Escape act as held keys, also when held through the editing keys' repeat pause; only a press seen
    // while this entry reads the keys counts, so a key held on from the box before does not confirm this one.
    const auto track = [](int vk, int32_t& held) { held = Key_Hit(vk) ? 1 : held && Key_Down(vk) ? 1 : 0; };
    track(VK::RETURN, st.enterHeld);
    track(VK::ESCAPE, st.escapeHeld);
    if (st.repeatFlag == 1 && st.repeatTimer != 0) {
        st.repeatTimer = std::max(0, st.repeatTimer - frameMs);
    } else {
        bool edited = true;
        if (Key_Down(VK::BACK)) {
            if (st.cursor > 0) text.erase(size_t(--st.cursor), 1);
        } else if (Key_Down(VK::DELETE_)) {
            if (st.cursor < int32_t(text.size())) text.erase(size_t(st.cursor), 1);
        } else if (Key_Down(VK::RIGHT)) {
            st.cursor = std::min<int32_t>(st.cursor + 1, int32_t(text.size()));
        } else if (Key_Down(VK::LEFT)) {
            st.cursor = std::max(st.cursor - 1, 0);
        } else if (Key_Down(VK::END)) {
            st.cursor = int32_t(text.size());
        } else if (Key_Down(VK::HOME)) {
            st.cursor = 0;
        } else if (Key_Down(VK::TAB)) {
            Keys_Flush();
        } else {
            edited = false;
            if (st.enterHeld && !text.empty()) {
                st.enterHeld = 0; // acts once per press
                Keys_Flush();
                if (onEnter) onEnter();
                return;
            }
            if (st.escapeHeld) {
                st.escapeHeld = 0;
                if (onEscape) onEscape();
                Keys_Flush();
                return;
            }
        }
        if (edited) {
            st.repeatTimer = kRepeatMs;
            st.repeatFlag = 1;
        }
    }
    while (int32_t(text.size()) < kNameMaxChars) {
        const int c = Key_GetChar();
        if (c == 0) break;
        if (!NameEntry_Accepts(char16_t(c))) continue;
        text.insert(size_t(st.cursor), 1, char16_t(c));
        st.cursor = std::min(st.cursor + 1, kNameMaxChars);
    }
    Keys_Flush();
    st.blinkTimer -= frameMs;
    if (st.blinkTimer < 0) {
        st.blinkOn = st.blinkOn ? 0 : 1;
        st.blinkTimer = kBlinkMs;
    }
}

void NameEntry_DrawCursor(const Str& text, const FontPtr& font, float x, float y, int32_t cursor, int32_t blinkOn) {
    if (blinkOn != 1) return;
    const FontPtr previous = Draw_GetImageFont();
    Draw_SetImageFont(font);
    static Str before; // kept between frames: no allocation once it has grown to a name's length
    before.assign(text, 0, size_t(std::clamp<int32_t>(cursor, 0, int32_t(text.size()))));
    Draw_SetColor(250, 250, 150);
    Draw_Rect(x + float(Text_Width(before)), y + 4, 12, float(ImageFont_Height(font) - 8));
    Draw_SetColor(255, 255, 255);
    Draw_SetImageFont(previous);
}
