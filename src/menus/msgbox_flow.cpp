// The game-flow message boxes: eighteen boxes on the common frame (msgbox.cpp), each a row of one table (skin,
// pause, keys, buttons, texts) walked by one init, update and draw, and the boxes' actions. Opened by the main menu,
// the players dialog, the play loop, the castles, the shop and the wallpapers and high-score dialogs.
#include <algorithm>
#include <iterator>
#include <utility>

#include "board/level_file.h"
#include "board/play.h"
#include "board/rules.h"
#include "castle/castle.h"
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

FontPtr CastleBox_Font;

namespace {

// ---- The table's vocabulary ---------------------------------------------------------------------------------------
enum BoxId {
    BOX_NameExists,
    BOX_LastPlayer,
    BOX_PlayerDeleted,
    BOX_Continue,
    BOX_Quit,
    BOX_Level,
    BOX_DeletePlayer,
    BOX_Shop,
    BOX_Frame,
    BOX_HighScore,
    BOX_Game,
    BOX_CastlesDone,
    BOX_CastleCompleted,
    BOX_LevelDone,
    BOX_AllDone,
    BOX_LevelsEnded,
    BOX_SetWallpaper,
    BOX_HsReset,
    BOX_WallpaperFailed,
    BOX_Count
};

// Keys that stand for the buttons.
enum class BoxKeys {
    AnyChar,        // any typed character: button 0
    EscapeSecond,   // Escape: button 1
    EscapeClose,    // Escape: close only
    EscapeAndEnter, // Escape: button 1; Enter: button 0
    AnyCharOrClick, // any typed character or a hit of mouse button 1, 2 or 3: the OK action
    None,
};

// A font: entry `first` of the font table, or, with a width, the first of its family down from it whose
// word-wrapped text fits width x height.
struct FontRule {
    int first;
    int fitW = 0, fitH = 0;
};

enum class TextFrom { None, Text, Title, Composed };
struct BoxText {
    TextFrom from = TextFrom::None;
    int index = 0;              // entry of MsgBox_Texts or MsgBox_Titles
    Str (*compose)() = nullptr; // TextFrom::Composed
    FontRule font{16};
    bool wrapped = false; // wrapped from (x, y) in `width`; otherwise one line centred on (box centre, y)
    int x = 0, y = 0;     // offsets from (Dialog_X, Dialog_Y)
    int width = 0;
    bool centred = true; // wrapped lines centred in the width
};

using BoxAction = void (*)(GUIBtn&);
struct BoxButton {
    int caption = 9;   // entry of Button_Captions
    FontRule font{14}; // the caption's font (fitted to the caption when it has a width)
    BoxAction action = nullptr;
};

struct BoxDef {
    MsgBoxSkin skin;
    bool pause; // the init freezes the game screen
    BoxKeys keys;
    int buttons;         // 0, 1 (dlg2 OK) or 2 (dlg3 ids 0 and 1)
    BoxButton button[2]; // by id
    BoxAction okAction;  // a box without buttons: what its key does
    BoxText text[2];
    bool (*admit)() = nullptr;      // init: false closes the box at once (nothing else happens)
    void (*onInit)() = nullptr;     // init: after the frame is built
    void (*drawBehind)() = nullptr; // before the buttons
    void (*drawAfter)() = nullptr;  // after the texts
};

constexpr int W2 = kDlg2Width, W3 = kDlg3Width;
constexpr int kDlg2ButtonY = 200, kDlg3ButtonY = 205; // the buttons' tops from the box's top
constexpr int kTextButtonGap = 4;                     // a box's text ends this far above its buttons

// Texts and fonts of the open box, made by its init (its draw allocates nothing).
std::array<Str, 2> g_texts;
std::array<FontPtr, 2> g_fonts;
Str g_levelTitle, g_levelTime; // the level box's two lines
int g_textBottom = 0;          // where the open box's wrapped texts end, pixels below its top

GUIBtn& ButtonOrNone(int id) {
    static GUIBtn none;
    return id >= 0 && size_t(id) < MsgBox_Buttons.size() ? *MsgBox_Buttons[size_t(id)] : none;
}

int ResolveFont(const FontRule& rule, const Str& text) {
    return rule.fitW > 0 ? Text_FitFont(text, rule.first, rule.fitW, rule.fitH) : rule.first;
}

// A wrapped text in its fixed font that would reach down over the box's buttons (the name-taken box's five lines in
// font 16) is fitted, from that font down, into the room between its top and the buttons.
int WrappedHeight(const Str& text, const FontPtr& font, int width) {
    const FontPtr previous = Draw_GetImageFont();
    Draw_SetImageFont(font);
    const int height = Text_DrawWrapped(text, 0, 0, width, 1, 0);
    Draw_SetImageFont(previous);
    return height;
}
int KeepAboveButtons(const BoxDef& d, const BoxText& t, const Str& text) {
    const int font = ResolveFont(t.font, text);
    if (!t.wrapped || d.buttons == 0 || t.font.fitW > 0) return font;
    const int room = (d.skin == SKIN_DLG2 ? kDlg2ButtonY : kDlg3ButtonY) - kTextButtonGap - t.y;
    return WrappedHeight(text, Font_Get(font), t.width) <= room ? font : Text_FitFont(text, font, t.width, room);
}

void OpenWallpapers() { Dialog_Open(Wallpapers_Init, Wallpapers_Update, Wallpapers_Draw, 1); }

// ---- Actions -------------------------------------------------------------------------------------------------------

// Each closes its box before its other work (which may open the next box), except where it says otherwise.
void MsgBox_NameExists_Btn_Ok_LeftUp(GUIBtn&) {
    Dialog_Close();
    MsgBox_Username_Open();
}

void MsgBox_Players_Btn_Ok_LeftUp(GUIBtn&) { // last-player and player-deleted boxes
    Dialog_Close();
    MM_Players_Open();
}

// Continue: the saved match and its level (its board snapshot when it has one) on the game screen, with score, gold
// and mana not recorded afresh; Match_Continue switches to the game screen itself.
void MsgBox_Continue_Btn_Continue_LeftUp(GUIBtn&) {
    Dialog_Close();
    Match_Continued = 1;
    Screen_Set(kScreenLevelStart);
    Level_StartMode = 2;
    Match_Continue();
}

void MsgBox_Continue_Btn_New_LeftUp(GUIBtn&) {
    Dialog_Close();
    Match_New();
    Match_StartAtLevel(1);
    Game_Start(0); // the game screen with level 1 loaded
}

void MsgBox_Quit_Btn_Yes_LeftUp(GUIBtn&) {
    Quit_Requested = 1;
    Dialog_Close();
}

void MsgBox_Close_LeftUp(GUIBtn&) { Dialog_Close(); }

// "Zeit kaufen": a life for time, at most up to the level's full duration. With no time to add, no life is taken
// and the offer is not made again in this level.
void MsgBox_Level_Btn_Buy_LeftUp(GUIBtn&) {
    Dialog_Close();
    Game_Paused = 0;
    const int64_t added = Lives > 0 ? Level_BuyTime() : 0;
    Level_OfferMade = added > 0 ? 0 : 1; // offered again when the time runs low once more, unless nothing was added
}

void MsgBox_Level_Btn_Risk_LeftUp(GUIBtn&) {
    Dialog_Close();
    Game_Paused = 0;
}

void MsgBox_DeletePlayer_Btn_Yes_LeftUp(GUIBtn&) {
    Dialog_Close();
    if (Players_Other < 0 || Players_Other >= kPlayers || Players_Other == Player_Current) {
        MM_Players_Open();
        return;
    }
    Player_Delete(Player_Current, Players_Other);
}

void MsgBox_Shop_Btn_Ok_LeftUp(GUIBtn&) {
    Dialog_Close();
    if (Shop_Buttons[0]) Shop_Buttons[0]->state &= ~BTN_DISABLED;
}

void MsgBox_Frame_Btn_Ok_LeftUp(GUIBtn&) {
    Dialog_Close();
    Game_Start(1); // the level again, with score, gold and mana as at its start
}

void MsgBox_HighScore_Btn_Again_LeftUp(GUIBtn&) {
    Dialog_Close();
    Match_Reset();
    Game_Start(0);
}

void MsgBox_HighScore_Btn_Menu_LeftUp(GUIBtn&) {
    Dialog_Close();
    Match_Reset();
    Screen_Set(kScreenMainMenu);
}

void MsgBox_Game_Btn_Ok_LeftUp(GUIBtn&) {
    Dialog_Close();
    HighScore_AddFromGame();
}

void MsgBox_CastlesDone_Ok(GUIBtn&) {
    Dialog_Close();
    if (Match_EndState == 3)
        Match_AllCompleted();
    else
        MsgBox_AllDone_Open();
}

void MsgBox_CastleCompleted_Btn_Ok_LeftUp(GUIBtn&) {
    Dialog_Close();
    Screen_Set(kScreenMainMenu);
    OpenWallpapers();
    Wallpapers_Current = std::clamp<int32_t>(Castle_JustCompleted, 0, int32_t(Castle_Names.size()) - 1);
    Wallpapers_Refresh();
}

void MsgBox_LevelDone_Btn_Ok_LeftUp(GUIBtn&) {
    Dialog_Close();
    Game_Paused = 0;
    Tutorial_OnEvent0();
}

void MsgBox_LevelsEnded_Btn_Ok_LeftUp(GUIBtn&) {
    Dialog_Close();
    Match_AllCompleted();
}

void MsgBox_SetWallpaper_Btn_Yes_LeftUp(GUIBtn&) {
    const bool set = Wallpaper_Apply(); // before the close: the picture is written while the box still shows
    Dialog_Close();
    if (set)
        OpenWallpapers();
    else
        MsgBox_WallpaperFailed_Open(); // where the desktop cannot be set, the player is told, not left guessing
}

void MsgBox_WallpaperFailed_Btn_Ok_LeftUp(GUIBtn&) {
    Dialog_Close();
    OpenWallpapers();
}

void MsgBox_SetWallpaper_Btn_No_LeftUp(GUIBtn&) {
    Dialog_Close();
    OpenWallpapers();
}

void MsgBox_HsReset_Btn_Yes_LeftUp(GUIBtn&) {
    Dialog_Close();
    HighScores_DoReset();
}

void MsgBox_HsReset_Btn_No_LeftUp(GUIBtn&) {
    Dialog_Close();
    HighScores_Open(HS_Highlight, HS_Mode);
}

// ---- Init, draw hooks and composed texts ---------------------------------------------------------------------------
bool LivesLeft() { return Lives > 0; }

void ShopInit() {
    Gamble_Roll();
    for (const GUIBtnPtr& b : Shop_Buttons)
        if (b) b->state |= BTN_DISABLED;
}

int32_t JustCompleted() { return std::clamp<int32_t>(Castle_JustCompleted, 0, int32_t(Castle_Names.size()) - 1); }
Str CastleCompletedText() { return Text_CastleCompleted(Castle_Names[size_t(JustCompleted())]); }
Str AllCastlesEarlyText() { return Text_AllCastlesEarly(151 - Level_Current); }
// The failure, then where the picture lies: the folder and the file name on lines of their own, so a long folder
// does not push the name out of the box.
// A folder path as lines of at most `most` characters, broken after a "/" where it can be (a path has no space for
// the wrapping to break at, so a long one would run out of its box at any font).
Str BrokenPath(const Str& path, size_t most) {
    Str out, line;
    size_t from = 0;
    while (from < path.size()) {
        const size_t slash = path.find(u'/', from);
        Str piece = path.substr(from, slash == Str::npos ? Str::npos : slash + 1 - from);
        from += piece.size();
        if (!line.empty() && line.size() + piece.size() > most) out += line + u"\r\n", line.clear();
        for (; piece.size() > most; piece.erase(0, most))
            out += piece.substr(0, most) + u"\r\n";
        line += piece;
    }
    return out + line;
}

Str WallpaperFailedText() {
    constexpr size_t kPathLine = 28; // characters of the folder a line of the box holds at its smaller fonts
    const int32_t n = std::clamp<int32_t>(Wallpapers_Current, 0, kCastlesCount - 1);
    return Wallpapers_FailedText + u"\r\n" + BrokenPath(Data_Folder + u"/", kPathLine) + u"\r\nwallpaper_" +
           Str_FromInt(n) + u".bmp";
}

void CastleCompletedInit() { CastleBox_Font = g_fonts[1]; }

void LevelDoneInit() {
    g_levelTitle = Text_Entry(MsgBox_Titles, 12, "MsgBox_Titles") + Str_FromInt(Level_Current);
    g_levelTime = Text_Entry(MsgBox_Texts, 12, "MsgBox_Texts") + Time_FormatHMS(int32_t(Level_TimeLeft / 1000000));
}

void LevelDoneDraw() {
    const float centre = float(Dialog_X + W2 / 2);
    Draw_SetImageFont(Font_Get(kFontUnzialish24));
    if (Relaxed_Mode == 1) {
        Text_DrawCenteredAt(g_levelTitle, centre, float(Dialog_Y + 129));
        return;
    }
    Text_DrawCenteredAt(g_levelTitle, centre, float(Dialog_Y + 103));
    Draw_SetImageFont(Font_Get(kFontUnzialish20));
    Text_DrawCenteredAt(g_levelTime, centre, float(Dialog_Y + 153));
}

void ShopDraw() { Gamble_DrawResult(); }

void CastlesDoneDraw() { Draw_Image(MsgBox_WinGameBg, 0, 0); }

void SetWallpaperPreview() {
    const int32_t n = std::clamp<int32_t>(Wallpapers_Current, 0, kCastlesCount - 1);
    if (Castles_Completed[size_t(Player_Current * kCastlesCount + n)] != 0) {
        Draw_ImageRect(Wallpapers_Picture(n), 0, 0, float(Screen_Width), float(Screen_Height));
        return;
    }
    Draw_Image(Wallpapers_Preview(n), 0, 0);
    Draw_SetImageFont(Font_Get(kFontUnzialish40));
    Draw_SetColor(255, 255, 255);
    Text_DrawCenteredAt(Wallpapers_LockedText, float(Screen_CenterX), 120);
}

// ---- The table -----------------------------------------------------------------------------------------------------
constexpr BoxButton kOk{9, {14}, nullptr};
BoxText Wrapped(TextFrom from, int index, FontRule font, int x, int y, int width, bool centred = true) {
    BoxText t;
    t.from = from;
    t.index = index;
    t.font = font;
    t.wrapped = true;
    t.x = x;
    t.y = y;
    t.width = width;
    t.centred = centred;
    return t;
}
BoxText Line(TextFrom from, int index, int font, int y) {
    BoxText t;
    t.from = from;
    t.index = index;
    t.font = {font};
    t.y = y;
    return t;
}
BoxText Composed(Str (*compose)(), FontRule font, int x, int y, int width) {
    BoxText t = Wrapped(TextFrom::Composed, 0, font, x, y, width);
    t.compose = compose;
    return t;
}
BoxButton Button(int caption, BoxAction action, FontRule font = {14}) { return {caption, font, action}; }
BoxButton Ok(BoxAction action) { return {kOk.caption, kOk.font, action}; }

const std::array<BoxDef, BOX_Count> kBoxes = [] {
    std::array<BoxDef, BOX_Count> t{};
    constexpr auto T = TextFrom::Text;
    t[BOX_NameExists] = {SKIN_DLG2,
                         false,
                         BoxKeys::AnyChar,
                         1,
                         {Ok(MsgBox_NameExists_Btn_Ok_LeftUp)},
                         nullptr,
                         {Wrapped(T, 1, {16}, 60, 75, W2 - 120)}};
    t[BOX_LastPlayer] = {SKIN_DLG2,
                         false,
                         BoxKeys::AnyChar,
                         1,
                         {Ok(MsgBox_Players_Btn_Ok_LeftUp)},
                         nullptr,
                         {Wrapped(T, 13, {11, 265, 76}, 60, 75, W2 - 120)}};
    t[BOX_PlayerDeleted] = {SKIN_DLG2,
                            false,
                            BoxKeys::AnyChar,
                            1,
                            {Ok(MsgBox_Players_Btn_Ok_LeftUp)},
                            nullptr,
                            {Wrapped(T, 2, {16}, 60, 75, W2 - 120)}};
    t[BOX_Continue] = {SKIN_DLG3,
                       false,
                       BoxKeys::EscapeClose,
                       2,
                       {Button(0, MsgBox_Continue_Btn_Continue_LeftUp), Button(1, MsgBox_Continue_Btn_New_LeftUp)},
                       nullptr,
                       {Wrapped(T, 4, {51, W3 - 120, 90}, 60, 100, W3 - 120)}};
    t[BOX_Quit] = {SKIN_DLG3,
                   false,
                   BoxKeys::EscapeSecond,
                   2,
                   {Button(0, MsgBox_Quit_Btn_Yes_LeftUp), Button(1, MsgBox_Close_LeftUp)},
                   nullptr,
                   {Wrapped(T, 3, {17}, 60, 100, W3 - 120)}};
    t[BOX_Level] = {
        SKIN_DLG3,
        true,
        BoxKeys::EscapeAndEnter,
        2,
        {Button(6, MsgBox_Level_Btn_Buy_LeftUp, {14, 59, 30}), Button(7, MsgBox_Level_Btn_Risk_LeftUp, {14, 59, 30})},
        nullptr,
        {Wrapped(T, 5, {51, W3 - 100, 90}, 50, 100, W3 - 100, false)}};
    t[BOX_Level].admit = LivesLeft;
    t[BOX_DeletePlayer] = {SKIN_DLG3,
                           false,
                           BoxKeys::EscapeSecond,
                           2,
                           {Button(0, MsgBox_DeletePlayer_Btn_Yes_LeftUp), Button(1, MsgBox_Players_Btn_Ok_LeftUp)},
                           nullptr,
                           {Wrapped(T, 6, {16}, 60, 100, W3 - 120)}};
    t[BOX_Shop] = {SKIN_DLG2, false, BoxKeys::AnyChar, 1, {Ok(MsgBox_Shop_Btn_Ok_LeftUp)}, nullptr, {}};
    t[BOX_Shop].onInit = ShopInit;
    t[BOX_Shop].drawAfter = ShopDraw;
    t[BOX_Frame] = {SKIN_DLG2,
                    true,
                    BoxKeys::AnyChar,
                    1,
                    {Ok(MsgBox_Frame_Btn_Ok_LeftUp)},
                    nullptr,
                    {Line(TextFrom::Title, 9, 16, 73), Line(T, 9, 12, 110)}};
    t[BOX_HighScore] = {
        SKIN_DLG3,
        true,
        BoxKeys::None,
        2,
        {Button(2, MsgBox_HighScore_Btn_Again_LeftUp, {14, 70, 20}), Button(3, MsgBox_HighScore_Btn_Menu_LeftUp)},
        nullptr,
        {Line(TextFrom::Title, 10, 16, 110), Line(T, 10, 12, 155)}};
    t[BOX_Game] = {SKIN_DLG2,
                   true,
                   BoxKeys::AnyChar,
                   1,
                   {Ok(MsgBox_Game_Btn_Ok_LeftUp)},
                   nullptr,
                   {Wrapped(T, 18, {16, 248, 118}, 52, 71, 248)}};
    t[BOX_CastlesDone] = {SKIN_NONE, false, BoxKeys::AnyCharOrClick, 0, {}, MsgBox_CastlesDone_Ok, {}};
    t[BOX_CastlesDone].drawAfter = CastlesDoneDraw;
    t[BOX_CastleCompleted] = {
        SKIN_DLG2,
        false,
        BoxKeys::AnyChar,
        1,
        {Ok(MsgBox_CastleCompleted_Btn_Ok_LeftUp)},
        nullptr,
        {Line(TextFrom::Title, 11, 15, 73), Composed(CastleCompletedText, {37, 265, 76}, 44, 100, 265)}};
    t[BOX_CastleCompleted].onInit = CastleCompletedInit;
    t[BOX_LevelDone] = {SKIN_DLG2, true, BoxKeys::AnyChar, 1, {Ok(MsgBox_LevelDone_Btn_Ok_LeftUp)}, nullptr, {}};
    t[BOX_LevelDone].onInit = LevelDoneInit;
    t[BOX_LevelDone].drawAfter = LevelDoneDraw;
    t[BOX_AllDone] = {SKIN_DLG2,
                      false,
                      BoxKeys::AnyChar,
                      1,
                      {Ok(MsgBox_Close_LeftUp)},
                      nullptr,
                      {Composed(AllCastlesEarlyText, {14, 230, 126}, 60, 64, 230)}};
    t[BOX_LevelsEnded] = {SKIN_DLG2,
                          false,
                          BoxKeys::AnyChar,
                          1,
                          {Ok(MsgBox_LevelsEnded_Btn_Ok_LeftUp)},
                          nullptr,
                          {Wrapped(T, 15, {14, 230, 126}, 60, 64, 230)}};
    t[BOX_SetWallpaper] = {
        SKIN_DLG3,
        false,
        BoxKeys::EscapeSecond,
        2,
        {Button(0, MsgBox_SetWallpaper_Btn_Yes_LeftUp), Button(1, MsgBox_SetWallpaper_Btn_No_LeftUp)},
        nullptr,
        {Wrapped(T, 16, {16, 230, 140}, 60, 100, W3 - 120)}};
    t[BOX_SetWallpaper].drawBehind = SetWallpaperPreview;
    t[BOX_HsReset] = {SKIN_DLG3,
                      false,
                      BoxKeys::EscapeSecond,
                      2,
                      {Button(0, MsgBox_HsReset_Btn_Yes_LeftUp), Button(1, MsgBox_HsReset_Btn_No_LeftUp)},
                      nullptr,
                      {Wrapped(T, 17, {16, 230, 140}, 60, 100, W3 - 120)}};
    t[BOX_WallpaperFailed] = {SKIN_DLG2,
                              false,
                              BoxKeys::AnyChar,
                              1,
                              {Ok(MsgBox_WallpaperFailed_Btn_Ok_LeftUp)},
                              nullptr,
                              {Composed(WallpaperFailedText, {14, W2 - 52, 126}, 26, 64, W2 - 52)}};
    t[BOX_WallpaperFailed].drawBehind = SetWallpaperPreview;
    return t;
}();

// ---- One init, update and draw for every box -----------------------------------------------------------------------
Str TextOf(const BoxText& t) {
    switch (t.from) {
    case TextFrom::Text:
        return Text_Entry(MsgBox_Texts, t.index, "MsgBox_Texts");
    case TextFrom::Title:
        return Text_Entry(MsgBox_Titles, t.index, "MsgBox_Titles");
    case TextFrom::Composed:
        return t.compose ? t.compose() : Str();
    case TextFrom::None:
        break;
    }
    return Str();
}

void Box_Init(BoxId id) {
    const BoxDef& d = kBoxes[size_t(id)];
    MsgBox_Begin(d.skin);
    g_texts = {};
    g_fonts = {};
    if (d.admit && !d.admit()) {
        Dialog_Close();
        return;
    }
    for (int i = 0; i < d.buttons; ++i) {
        const BoxButton& b = d.button[i];
        const Str& caption = Text_Entry(Button_Captions, b.caption, "Button_Captions");
        const int font = ResolveFont(b.font, caption);
        MsgBox_Buttons.push_back(d.skin == SKIN_DLG2
                                     ? GUIBtn::CreateDlg2Btn(b.caption, float(Dialog_X + 117),
                                                             float(Dialog_Y + kDlg2ButtonY), b.action, font)
                                     : GUIBtn::CreateDlg3Btn(b.caption, float(Dialog_X + (i == 0 ? 74 : 195)),
                                                             float(Dialog_Y + kDlg3ButtonY), b.action, i, font));
    }
    for (size_t i = 0; i < g_texts.size(); ++i) {
        g_texts[i] = TextOf(d.text[i]);
        if (!g_texts[i].empty()) g_fonts[i] = Font_Get(KeepAboveButtons(d, d.text[i], g_texts[i]));
    }
    if (d.text[0].wrapped && d.text[0].font.fitW > 0) MsgBox_Font = g_fonts[0];
    g_textBottom = 0;
    for (size_t i = 0; i < g_texts.size(); ++i)
        if (d.text[i].wrapped && !g_texts[i].empty())
            g_textBottom = std::max(g_textBottom, d.text[i].y + WrappedHeight(g_texts[i], g_fonts[i], d.text[i].width));
    if (d.onInit) d.onInit();
    if (d.pause) Game_Paused = 1;
}

// The key of the box that stands for a button: the button's id, -2 for "close only", -1 for none.
int KeyAnswer(BoxKeys keys) {
    switch (keys) {
    case BoxKeys::AnyChar:
        return MsgBox_AnyCharTyped() ? 0 : -1;
    case BoxKeys::EscapeSecond:
        return Key_Hit(VK::ESCAPE) ? 1 : -1;
    case BoxKeys::EscapeClose:
        return Key_Hit(VK::ESCAPE) ? -2 : -1;
    case BoxKeys::EscapeAndEnter:
        return Key_Hit(VK::ESCAPE) ? 1 : Key_Hit(VK::RETURN) ? 0 : -1;
    case BoxKeys::AnyCharOrClick: {
        bool hit = MsgBox_AnyCharTyped();
        for (int b = 1; b <= 3; ++b)
            hit = Mouse_Hit(b) > 0 || hit;
        return hit ? 0 : -1;
    }
    case BoxKeys::None:
        break;
    }
    return -1;
}

void Box_Update(BoxId id) {
    const BoxDef& d = kBoxes[size_t(id)];
    const int key = KeyAnswer(d.keys);
    if (key == -2) {
        Dialog_Close();
        return;
    }
    if (key >= 0) { // a key acted: nothing else happens in this update
        const BoxAction action = d.buttons > key ? d.button[key].action : d.okAction;
        if (action) action(ButtonOrNone(key));
        return;
    }
    MsgBox_UpdateButtons();
}

void Box_Draw(BoxId id) {
    const BoxDef& d = kBoxes[size_t(id)];
    const FontPtr previous = Draw_GetImageFont();
    if (d.drawBehind) d.drawBehind();
    MsgBox_DrawFrame(d.skin);
    Draw_SetColor(255, 255, 255);
    const int width = d.skin == SKIN_DLG3 ? W3 : W2;
    for (size_t i = 0; i < g_texts.size(); ++i) {
        const BoxText& t = d.text[i];
        if (g_texts[i].empty()) continue;
        Draw_SetImageFont(g_fonts[i]);
        if (t.wrapped)
            Text_DrawWrapped(g_texts[i], float(Dialog_X + t.x), float(Dialog_Y + t.y), t.width, 0, t.centred ? 1 : 0);
        else
            Text_DrawCenteredAt(g_texts[i], float(Dialog_X + width / 2), float(Dialog_Y + t.y));
    }
    if (d.drawAfter) d.drawAfter();
    Draw_SetImageFont(previous);
}

} // namespace

// ---- The boxes' functions and openers ------------------------------------------------------------------------------
#define BQ_MSGBOX(Name)                                                                                                \
    namespace {                                                                                                        \
    void MsgBox_##Name##_Init() { Box_Init(BOX_##Name); }                                                              \
    void MsgBox_##Name##_Update() { Box_Update(BOX_##Name); }                                                          \
    void MsgBox_##Name##_Draw() { Box_Draw(BOX_##Name); }                                                              \
    }                                                                                                                  \
    void MsgBox_##Name##_Open() { Dialog_Open(MsgBox_##Name##_Init, MsgBox_##Name##_Update, MsgBox_##Name##_Draw, 1); }

BQ_MSGBOX(NameExists)
BQ_MSGBOX(LastPlayer)
BQ_MSGBOX(PlayerDeleted)
BQ_MSGBOX(Continue)
BQ_MSGBOX(Quit)
BQ_MSGBOX(Level)
BQ_MSGBOX(DeletePlayer)
BQ_MSGBOX(Shop)
BQ_MSGBOX(Frame)
BQ_MSGBOX(HighScore)
BQ_MSGBOX(Game)
BQ_MSGBOX(CastlesDone)
BQ_MSGBOX(CastleCompleted)
BQ_MSGBOX(LevelDone)
BQ_MSGBOX(AllDone)
BQ_MSGBOX(LevelsEnded)
BQ_MSGBOX(SetWallpaper)
BQ_MSGBOX(HsReset)
BQ_MSGBOX(WallpaperFailed)
#undef BQ_MSGBOX

int32_t MsgBox_TextBottom() { return g_textBottom; }

const char* MsgBox_FlowName() {
#define BQ_NAME(Name)                                                                                                  \
    { MsgBox_##Name##_Update, #Name }
    static const std::pair<ScreenFn, const char*> kNames[] = {
        BQ_NAME(NameExists),      BQ_NAME(LastPlayer),   BQ_NAME(PlayerDeleted),
        BQ_NAME(Continue),        BQ_NAME(Quit),         BQ_NAME(Level),
        BQ_NAME(DeletePlayer),    BQ_NAME(Shop),         BQ_NAME(Frame),
        BQ_NAME(HighScore),       BQ_NAME(Game),         BQ_NAME(CastlesDone),
        BQ_NAME(CastleCompleted), BQ_NAME(LevelDone),    BQ_NAME(AllDone),
        BQ_NAME(LevelsEnded),     BQ_NAME(SetWallpaper), BQ_NAME(HsReset),
        BQ_NAME(WallpaperFailed)};
#undef BQ_NAME
    static_assert(std::size(kNames) == BOX_Count);
    if (!Dialog_Active) return "";
    const ScreenFn open = Dialog_UpdateFn();
    for (const auto& [update, name] : kNames)
        if (update == open) return name;
    return "";
}
