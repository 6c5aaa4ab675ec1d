// The level editor's window: its module state, the start-up, opening and closing, the widgets and their places,
// the fields and the level values they edit (clamped), the tile-set switch, and the per-frame update and drawing.
// Called by the runtime's start-up and by the game frame.
#include <algorithm>

#include "editor_internal.h"

#include "board/level_file.h"
#include "board/play.h"
#include "main/config.h"
#include "main/fonts.h"
#include "main/runtime.h"
#include "main/screens.h"
#include "platform/folders.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/stream.h"

EditorState Editor_State;
Str Editor_TileChoice;
Str Editor_PieceChoice;
int32_t Editor_TimedPieces = 0;
const Str Editor_QuickFile = u"/levels/default.lev";
const Str Editor_TestFile = u"/levels/test_autosave.lev";
EditorWidgets Editor_W;

namespace {

// Ranges the fields are clamped to before they reach the level values (the level file holds the duration in
// milliseconds in a signed 32-bit field).
constexpr int64_t kMaxDurationS = 2147483;
constexpr int64_t kMaxWeight = 99999;
constexpr int64_t kMaxPercent = 100;
constexpr int64_t kMaxAppearance = 999;
constexpr int64_t kMaxTimedPieces = 999999;

// Spawn_Weights entries of the six special fields and their pictures.
constexpr int32_t kSpecialKinds[kEditorSpecials] = {KIND_MULTICOLOR, KIND_TAR,  KIND_LAUNCHER,
                                                    KIND_AMULET,     KIND_NEW2, KIND_NEW3};
constexpr const char* kSpecialIcons[kEditorSpecials] = {"multicolor",  "tar",  "launcher_icon",
                                                        "bottom_line", "new2", "new3"};
// The six modifier percentages in field order, their pictures and the icons' x.
int32_t* const kModifierValues[6] = {&Level_ShieldPercent, &Level_BombPercent,     &Level_LaserPercent,
                                     &Level_GoldenPercent, &Level_AntigravPercent, &Level_FrozenPercent};
constexpr const char* kModifierIcons[6] = {"icon_chain1", "icon_bomb",    "icon_laser",
                                           "golden",      "mod_antigrav", "frozen"};
constexpr int kModifierIconX[6] = {2, 34, 66, 98, 130, 162};
// The modifier boxes: caption and y (x is 135).
struct BoxPlace {
    const char* text;
    int y;
};
constexpr BoxPlace kModifierBoxes[kEditorModifiers] = {{"Shield", 277},     {"Bomb", 322},     {"Laser", 352},
                                                       {"Bonus Time", 337}, {"Antigrav", 307}, {"Shield2", 292},
                                                       {"Frozen", 367}};
constexpr BoxPlace kCellBoxes[kEditorCellBoxes] = {{"Auto-Spawn", 337}, {"Proxy", 353}, {"Bring Down Pc", 369}};
// The buttons in three rows at the window's foot (row 0 is the top one), in polling order, with tooltips. Their
// widths follow their captions; each row is spread over the window's width.
struct ButtonPlace {
    const char* text;
    int row;
    const char* tooltip;
};
constexpr ButtonPlace kButtons[BTN_COUNT] = {
    {"Test", 2, "Run level inside editor"},
    {"Load...", 2, ""},
    {"Save...", 2, ""},
    {"Save", 2, ""},
    {"Create", 0, "Create level with above parameters"},
    {"Fill", 0, ""},
    {"Clear Table", 1, ""},
    {"Reset Weights", 1, ""},
    {"CenterX", 0, ""},
    {"CenterY", 0, ""},
};
// Left to right within each row.
constexpr int kButtonOrder[3][4] = {{BTN_CENTER_X, BTN_CENTER_Y, BTN_FILL, BTN_CREATE},
                                    {BTN_CLEAR, BTN_RESET, -1, -1},
                                    {BTN_SAVE, BTN_SAVE_AS, BTN_LOAD, BTN_TEST}};
constexpr const char* kTileChoices[4][2] = {
    {"Void Cell", ""}, {"Empty Cell", "tile_empty"}, {"Simple Tile", "tile_1"}, {"Double Tile", "tile_2"}};

// A field's text as a whole number: blanks, an optional sign, digits; no digits gives 0. Never overflows.
int64_t FieldNumber(const Str& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    int64_t v = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        v = std::min<int64_t>(v * 10 + (text[i] - u'0'), int64_t(1) << 40);
    return negative ? -v : v;
}

// Reads a field clamped to lo..hi (a missing field reads lo) and shows the value taken.
int64_t ReadField(const std::shared_ptr<PNO_Input>& field, int64_t lo, int64_t hi) {
    if (!field) return lo;
    const int64_t v = std::clamp(FieldNumber(field->GetText()), lo, hi);
    field->SetText(Str_FromInt(v));
    return v;
}
void ShowField(const std::shared_ptr<PNO_Input>& field, int64_t v) {
    if (field) field->SetText(Str_FromInt(v));
}

// The editor's window speaks in the editor's own 11-pixel font (the toolkit's 13-pixel one leaves no room in 230
// pixels): the window carries it, so it is drawn in it wherever the toolkit draws it, also behind a modal box, which
// keeps the toolkit's font. The widgets are built (and measured) in it too.
int TextW(const char* text) { return ImageFont_TextWidth(Paneo_TtfFont, S(text)); }

GuiColorPtr Blue() { return GuiColor::Create(0, 0, 255); }
GuiColorPtr Black() { return GuiColor::Create(0, 0, 0); }

std::shared_ptr<PNO_Input> Input(const Str& text, int x, int y, int visible, int maxLength) {
    return PNO_Input::Create(Editor_W.Window, text, x, y, visible, maxLength);
}
std::shared_ptr<PNO_StaticImage> Icon(const Str& path, int x, int y) {
    return PNO_StaticImage::Create(Editor_W.Window, path, x, y, 30, 30, 0, BLEND_ALPHA);
}
void Label(const char* text, int x, int y, const GuiColorPtr& color) {
    PNO_Label::Create(Editor_W.Window, S(text), x, y, 1, color);
}

// The colour fields and icons beyond the current tile set's colours are hidden.
void ShowColourFields() {
    const int n = Editor_ColourCount();
    for (int i = 0; i < kEditorMaxColours; ++i) {
        if (Editor_W.ColourInputs[i]) Editor_W.ColourInputs[i]->Hidden = uint8_t(i >= n);
        if (Editor_W.ColourIcons[i]) Editor_W.ColourIcons[i]->Hidden = uint8_t(i >= n);
    }
}

// The folder of the level file and its name, in the header of the window; made again only when the level file or
// the window's width changes (no allocation in a steady frame). A long folder keeps its end, which names the place
// best.
void ShowLevelPath() {
    auto& w = Editor_W;
    if (!w.Window || !w.PathLabel || !w.LevelLabel) return;
    if (w.ShownPath == Level_Path && w.ShownWidth == w.Window->W) return;
    w.ShownPath = Level_Path;
    w.ShownWidth = w.Window->W;
    Str dir = Path_ExtractDir(Level_Path);
    while (dir.size() > 4 && ImageFont_TextWidth(w.PathLabel->Font, dir) > w.Window->W - 8)
        dir = u"..." + dir.substr(4);
    w.PathLabel->SetText(dir);
    w.LevelLabel->SetText(u"Level: " + Path_StripAll(Level_Path));
}

void BuildWindow() {
    const Str name = Editor_TilesetName();
    const int n = Editor_ColourCount();
    const int y0 = Screen_Height - 70;
    auto& w = Editor_W;
    w.Window = PNO_Window::Create(u"Level Editor", Screen_Width - kEditorWidth, 0, kEditorWidth, Screen_Height, 1, 1, 1,
                                  kWindowFramed);
    w.Window->Alpha = 0.8f;
    w.Window->Font = Font_EditorLevel;
    const GuiFontScope font(w.Window->Font);
    // The folder (9-pixel font) and "Level:" lines just below the title bar (the client area starts 21 px down).
    const auto pathColour = GuiColor::Create(0, 0, 64);
    w.PathLabel = PNO_Label::Create(w.Window, u"", 4, -2, 1, pathColour);
    w.PathLabel->Font = Font_EditorPath;
    w.LevelLabel = PNO_Label::Create(w.Window, u"", 2, 10, 1, pathColour);
    ShowLevelPath();

    w.TilesetCombo = PNO_Combo::Create(w.Window, 60, 27, 140);
    for (const Tileset& set : Tilesets)
        w.TilesetCombo->AddItem(set.Name, u"");
    w.TilesetCombo->SelectByText(name, 1);
    Label("Tileset:", 10, 27, Blue());
    // Every colour field is made, also those the current set does not use: a later switch to a set with more
    // colours shows them.
    for (int i = 0; i < kEditorMaxColours; ++i) {
        w.ColourInputs[i] = Input(Str_FromInt(Spawn_Weights[i + 1]), 2 + 32 * i, 62, 3, 5);
        w.ColourIcons[i] = Icon(i < n ? Editor_PicturePath(u"editor", name + Str_FromInt(i)) : Str(), 2 + 32 * i, 81);
    }
    Label("Colors Weights:", 10, 42, Blue());
    for (int i = 0; i < kEditorSpecials; ++i) {
        w.SpecialInputs[i] = Input(Str_FromInt(Spawn_Weights[kSpecialKinds[i]]), 2 + 32 * i, 132, 3, 5);
        w.SpecialIcons[i] = Icon(Editor_PicturePath(u"editor", S(kSpecialIcons[i])), 2 + 32 * i, 151);
    }
    Label("Specials Weights:", 10, 112, Blue());
    for (int i = 0; i < 6; ++i) {
        w.ModifierInputs[i] = Input(Str_FromInt(*kModifierValues[i]), 2 + 32 * i, 202, 3, 5);
        w.ModifierIcons[i] = Icon(Editor_PicturePath(u"editor", S(kModifierIcons[i])), kModifierIconX[i], 221);
    }
    Label("Modifiers Probabilities(%):", 10, 182, Blue());
    // The fields stand right of their labels, as measured in the window's font.
    const int fieldX = std::max(150, 10 + std::max(TextW("Level Duration(sec):"), TextW("Timed pieces(sec):")) + 6);
    Label("Level Duration(sec):", 10, 407, Black());
    w.DurationInput = Input(Str_FromInt(Level_Duration / 1000000), fieldX, 407, 6, 7);
    Label("Timed pieces(sec):", 10, 423, Black());
    w.TimedInput = Input(Str_FromInt(Editor_TimedPieces / 16), fieldX, 423, 5, 6);
    const int widthX = std::max(50, 10 + TextW("Width:") + 6);
    w.WidthSpinner = PNO_Value::Create(w.Window, u"Width:", widthX, 439, 3, float(Board_Cols), 1, 1, 48, 1);
    const int heightX = std::max(150, widthX + w.WidthSpinner->W + 24 + TextW("Height:"));
    w.HeightSpinner = PNO_Value::Create(w.Window, u"Height:", heightX, 439, 3, float(Board_Rows), 1, 1, 48, 1);
    const int in1 = 10 + std::max(TextW("Silver Coin:"), TextW("Mana Bottle:")) + 4;
    const int col2 = std::max(115, in1 + 3 * 8 + 10);
    const int in2 = col2 + std::max(TextW("Gold Coin:"), TextW("Frozen:")) + 4;
    Label("Silver Coin:", 10, 455, Black());
    w.SilverInput = Input(Str_FromInt(Level_SilverCoinInterval), in1, 455, 3, 3);
    Label("Gold Coin:", col2, 455, Black());
    w.GoldInput = Input(Str_FromInt(Level_GoldCoinInterval), in2, 455, 3, 3);
    Label("Mana Bottle:", 10, 471, Black());
    w.ManaInput = Input(Str_FromInt(Level_ManaBottleInterval), in1, 471, 3, 3);
    Label("Frozen:", col2, 471, Black());
    w.FreezeInput = Input(Str_FromInt(Level_FreezeInterval), in2, 471, 3, 3);
    Label("Level Settings:", 10, 387, Black());
    Label("Current Piece:", 10, 257, Black());
    // The check boxes keep their captions inside the window; the combos end before them.
    int boxText = 0;
    for (const BoxPlace& b : kModifierBoxes)
        boxText = std::max(boxText, TextW(b.text));
    const int boxX = std::min(135, kEditorWidth - 6 - 20 - boxText);
    const int comboW = std::min(110, boxX - 14);
    w.PieceCombo = PNO_Combo::Create(w.Window, 10, 277, comboW);
    Editor_PieceChoice = u"Color 1";
    Editor_FillPieceChoices();
    w.TileCombo = PNO_Combo::Create(w.Window, 10, 317, comboW);
    Editor_TileChoice = u"Simple Tile";
    for (const auto& t : kTileChoices)
        w.TileCombo->AddItem(S(t[0]), *t[1] ? Editor_PicturePath(u"editor", S(t[1])) : Str());
    w.TileCombo->SelectByText(Editor_TileChoice, 1);
    Label("Cell:", 10, 297, Black());
    for (int i = 0; i < kEditorCellBoxes; ++i)
        w.CellBoxes[i] = PNO_Checkbox::Create(w.Window, S(kCellBoxes[i].text), 10, kCellBoxes[i].y, 0);
    for (int i = 0; i < kEditorModifiers; ++i)
        w.ModifierBoxes[i] = PNO_Checkbox::Create(w.Window, S(kModifierBoxes[i].text), boxX, kModifierBoxes[i].y, 0);
    w.CellLabel = PNO_Label::Create(w.Window, u"", boxX - 5, 257, 1, Blue());
    for (int row = 0; row < 3; ++row) {
        int count = 0, used = 0;
        for (const int b : kButtonOrder[row])
            if (b >= 0) {
                ++count;
                used += TextW(kButtons[b].text) + 14;
            }
        const int extra = std::max(0, kEditorWidth - 2 - used - (count - 1)) / count;
        int x = 1;
        for (const int b : kButtonOrder[row]) {
            if (b < 0) continue;
            const int bw = TextW(kButtons[b].text) + 14 + extra;
            w.Buttons[b] = PNO_PushButton::Create(w.Window, S(kButtons[b].text), x, y0 - 23 + row * 24, bw);
            w.Buttons[b]->Tooltip = S(kButtons[b].tooltip);
            x += bw + 1;
        }
    }
    ShowColourFields();
}

} // namespace

// ---- Helpers shared by the editor's sources ---------------------------------------------------------------------

int Editor_TilesetIndex() {
    if (Tilesets.empty()) return -1;
    return Tileset_Current >= 0 && Tileset_Current < int(Tilesets.size()) ? Tileset_Current : 0;
}
int Editor_ColourCount() {
    const int t = Editor_TilesetIndex();
    return t < 0 ? 0 : std::clamp<int>(Tilesets[t].TileCount, 0, kEditorMaxColours);
}
Str Editor_TilesetName() {
    const int t = Editor_TilesetIndex();
    return t < 0 ? Str() : Tilesets[t].Name;
}

Str Editor_PicturePath(const Str& folder, const Str& name) {
    // On disk: ./images/<folder>/<name>.png below the current folder. The game embeds the editor's pictures at
    // images/editor/ and the pieces at Images/pieces/.
    const Str disk = u"./images/" + folder + u"/" + name + u".png";
    if (File_Type(disk) == 1) return disk;
    return folder == u"pieces" ? u"incbin::Images/pieces/" + name + u".png"
                               : u"incbin::images/" + folder + u"/" + name + u".png";
}

Str Editor_AppPath(const Str& name) { return App_Folder + name; }

Str Path_ExtractDir(const Str& path) {
    const size_t slash = path.rfind(u'/');
    if (slash == Str::npos || slash + 1 == path.size()) return u"<bad_dir>";
    return path.substr(0, slash);
}

Str Path_StripAll(const Str& path) {
    const size_t slash = path.find_last_of(u"/\\");
    Str name = slash == Str::npos ? path : path.substr(slash + 1);
    const size_t colon = name.rfind(u':'); // "incbin::name"
    if (colon != Str::npos) name = name.substr(colon + 1);
    const size_t dot = name.rfind(u'.');
    return dot == Str::npos || dot == 0 ? name : name.substr(0, dot);
}

void Editor_Alert(const Str& text) {
    Log_Print(u"Level editor: " + Str_Replace(text, u"|", u" "));
    Paneo_Confirm(u"Alert", text, 1, 2);
    if (Editor_W.Window && Editor_W.Window->Listed) Editor_W.Window->Activate();
}

// ---- Opening and closing -----------------------------------------------------------------------------------------

void Editor_Init() {
    Paneo_Init(2, 1);
    Mouse_Show();
    Editor_State = EditorState{};
    Editor_W = EditorWidgets{};
}

void Editor_Create() {
    if (Editor_Open) return;
    Keys_Flush();
    Mouse_Flush(); // clicks of the game before the editor opened are not the editor's
    GuiMouse.Sync();
    // From here the board, the level's values and (in a test run) the counters are the editor's: no save of the
    // player's match, progress or high scores may take them, whatever ends the level or the program.
    Match_LeavePlay();
    Editor_Open = 1;
    Editor_Testing = 0;
    Editor_SelectedCell.x = std::clamp(Editor_SelectedCell.x, 0, Board_MaxCols - 1);
    Editor_SelectedCell.y = std::clamp(Editor_SelectedCell.y, 0, Board_MaxRows - 1);
    BuildWindow();
    Editor_ShowCell();
}

void Editor_Close() {
    if (!Editor_Open) return;
    if (Editor_Testing) Editor_ToggleTest(); // a test run ends with the editor: the edited board comes back
    Dir_Change(App_Folder);
    if (Editor_W.Window) Editor_W.Window->Free();
    Editor_W = EditorWidgets{};
    Editor_Open = 0;
    Editor_Testing = 0;
    Mouse_Show();
}

// ---- Fields -----------------------------------------------------------------------------------------------------

void Editor_ReadWeights() {
    auto& w = Editor_W;
    const int n = Editor_ColourCount();
    std::fill(std::begin(Spawn_Weights), std::end(Spawn_Weights), 0);
    for (int i = 0; i < n; ++i)
        Spawn_Weights[i + 1] = int32_t(ReadField(w.ColourInputs[i], 0, kMaxWeight));
    for (int i = 0; i < kEditorSpecials; ++i)
        Spawn_Weights[kSpecialKinds[i]] = int32_t(ReadField(w.SpecialInputs[i], 0, kMaxWeight));
    for (int i = 0; i < 6; ++i)
        *kModifierValues[i] = int32_t(ReadField(w.ModifierInputs[i], 0, kMaxPercent));
    if (w.WidthSpinner) Board_Cols = std::clamp(int32_t(w.WidthSpinner->Value), 1, Board_MaxCols);
    if (w.HeightSpinner) Board_Rows = std::clamp(int32_t(w.HeightSpinner->Value), 1, Board_MaxRows);
    if (w.DurationInput) {
        Level_Duration = ReadField(w.DurationInput, 1, kMaxDurationS) * 1000000;
        Level_TimeLeft = Level_Duration;
    }
    const struct {
        const std::shared_ptr<PNO_Input>& field;
        int32_t& value;
    } appearances[4] = {{w.SilverInput, Level_SilverCoinInterval},
                        {w.GoldInput, Level_GoldCoinInterval},
                        {w.ManaInput, Level_ManaBottleInterval},
                        {w.FreezeInput, Level_FreezeInterval}};
    for (const auto& a : appearances)
        if (a.field) a.value = int32_t(ReadField(a.field, 0, kMaxAppearance));
    Level_SilverCoinTimer = Level_SilverCoinInterval;
    Level_GoldCoinTimer = Level_GoldCoinInterval;
    Level_ManaBottleTimer = Level_ManaBottleInterval;
    Level_FreezeTimer = float(Level_FreezeInterval);
    if (w.TimedInput) Editor_TimedPieces = int32_t(ReadField(w.TimedInput, 0, kMaxTimedPieces) * 16);
}

void Editor_ShowWeights() {
    auto& w = Editor_W;
    const int n = Editor_ColourCount();
    for (int i = 0; i < n; ++i)
        ShowField(w.ColourInputs[i], Spawn_Weights[i + 1]);
    for (int i = 0; i < kEditorSpecials; ++i)
        ShowField(w.SpecialInputs[i], Spawn_Weights[kSpecialKinds[i]]);
    for (int i = 0; i < 6; ++i)
        ShowField(w.ModifierInputs[i], *kModifierValues[i]);
    if (w.WidthSpinner) w.WidthSpinner->SetValue(float(Board_Cols));
    if (w.HeightSpinner) w.HeightSpinner->SetValue(float(Board_Rows));
    ShowField(w.DurationInput, Level_Duration / 1000000);
    ShowField(w.TimedInput, Editor_TimedPieces / 16);
    ShowField(w.SilverInput, Level_SilverCoinInterval);
    ShowField(w.GoldInput, Level_GoldCoinInterval);
    ShowField(w.ManaInput, Level_ManaBottleInterval);
    ShowField(w.FreezeInput, Level_FreezeInterval);
}

void Editor_ResetWeights() {
    std::fill(std::begin(Spawn_Weights), std::end(Spawn_Weights), 0);
    Level_ShieldPercent = Level_GoldenPercent = Level_BombPercent = Level_LaserPercent = Level_AntigravPercent = 0;
    Editor_ShowWeights();
}

void Editor_FillPieceChoices() {
    const auto& combo = Editor_W.PieceCombo;
    if (!combo) return;
    const Str name = Editor_TilesetName();
    combo->Clear();
    combo->AddItem(u"None", u"");
    for (int k = 1; k <= Editor_ColourCount(); ++k)
        combo->AddItem(u"Color " + Str_FromInt(k), Editor_PicturePath(u"editor", name + Str_FromInt(k - 1)));
    static const char* const kOthers[][2] = {
        {"Multicolor", "multicolor"}, {"Tar", "tar"},     {"Launcher", "launcher"}, {"Bottom Line", "bottom_line"},
        {"Coin1", "coin1"},           {"Coin2", "coin2"}, {"New2", "new2"},         {"New3", "new3"}};
    for (const auto& o : kOthers)
        combo->AddItem(S(o[0]), Editor_PicturePath(u"editor", S(o[1])));
    // A choice the new set does not have falls back to "None", so nothing replaces the selected cell's piece.
    if (combo->SelectByText(Editor_PieceChoice, 1) == 0) {
        combo->SelectByText(u"None", 1);
        Editor_PieceChoice = u"None";
    }
}

void Editor_SelectTileset() {
    const auto& combo = Editor_W.TilesetCombo;
    if (!combo || Tilesets.empty() || combo->SelectedText.empty()) return;
    if (combo->SelectedText == Editor_TilesetName()) return;
    int found = 0;
    for (size_t i = 0; i < Tilesets.size(); ++i)
        if (Tilesets[i].Name == combo->SelectedText) {
            found = int(i);
            break;
        }
    Tileset_Current = found;
    if (Tilesets[found].TileCount > kEditorMaxColours)
        Log_Print(u"Level editor: tile set " + Tilesets[found].Name + u" has more than 7 tiles; the first 7 are used");
    const Str name = Editor_TilesetName();
    for (int i = 0; i < Editor_ColourCount(); ++i)
        if (Editor_W.ColourIcons[i])
            Editor_W.ColourIcons[i]->SetImage(Editor_PicturePath(u"pieces", name + Str_FromInt(i)));
    ShowColourFields();
    Editor_ShowWeights();
    Editor_FillPieceChoices();
    // The pieces on the board take the new set's pictures.
    for (const auto& p : Pieces)
        Piece_AssignImage(*p);
}

// ---- The frame ----------------------------------------------------------------------------------------------------

void Editor_Update() {
    if (!Editor_Open) return;
    // The window's own close button closes the editor.
    if (!Editor_W.Window || Editor_W.Window->Freed || !Editor_W.Window->Listed) {
        Editor_Close();
        return;
    }
    Editor_HandleFiles();
    if (!Editor_Open || Editor_Testing) return;
    Editor_SelectTileset();
    Editor_ApplyInspector();
    Editor_ApplySize();
    // Board tools only where the toolkit would not take a press (not over the window, active or not, nor with a
    // combo list open). Presses on the window never reach the board's counts; one made beside it while the pointer
    // has since moved onto it is dropped rather than kept for a later frame.
    if (!Paneo_TakesPress(Mouse_X(), Mouse_Y()))
        Editor_BoardMouse();
    else
        for (int b = 1; b <= 3; ++b)
            Mouse_Hit(b);
}

void Editor_Draw() {
    if (!Editor_Open || !Editor_W.Window) return;
    if (!Editor_Testing) {
        const Point c = Editor_SelectedCell;
        if (Board_InUse(c.x, c.y)) {
            Draw_SetBlend(BLEND_ADDITIVE);
            Draw_SetAlpha(1.0f);
            Draw_SetColor(128, 128, 64);
            Draw_Rect(float(c.x * Cell_Width + Board_OriginX - Board_OverflowX),
                      float(c.y * Cell_Height + Board_OriginY - Board_OverflowY), float(Cell_Width),
                      float(Cell_Height));
            Draw_SetColor(255, 255, 255);
        }
    } else {
        Draw_SetImageFont(nullptr);
        const Str text = u"Time: " + Str_FromInt(Level_TimeLeft / 1000000);
        Draw_SetAlpha(1.0f);
        Draw_SetBlend(BLEND_MULTIPLY);
        Draw_SetColor(0, 0, 255);
        Draw_Rect(2, 2, float(Text_Width(text)), float(Text_Height(text)));
        Draw_SetBlend(BLEND_ALPHA);
        Draw_SetColor(255, 255, 0);
        Draw_Text(text, 2, 2);
        Draw_SetColor(255, 255, 255);
    }
    Draw_SetBlend(BLEND_ALPHA);
    // The toolkit draws its own pointer over the window; the system's shows while the window does not.
    const bool shown = !Editor_W.Window->Hidden;
    if (Mouse_Visible() == shown) shown ? Mouse_Hide() : Mouse_Show();
    if (!shown) return;
    ShowLevelPath();
    Paneo_DrawFrame();
    Draw_SetImageFont(nullptr);
    Draw_SetColor(255, 255, 255);
}
