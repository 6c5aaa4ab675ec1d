// The editor's window and fields: opening over the level, the close button, clamping of every field, the field
// round trip and Reset Weights, every field and inspector box saved as its own level value, the tile-set switch to
// smaller and larger sets, the window behind a requester, and the header line's helpers. Tests editor_window.cpp
// (and the inspector of editor_board.cpp).
#include <filesystem>
#include <functional>
#include <utility>

#include <gtest/gtest.h>

#include "board/level_file.h"
#include "board/play.h"
#include "editor_helpers.h"
#include "main/config.h"
#include "platform/graphics.h"
#include "platform/input.h"

namespace {

const std::string g_startFolder = std::filesystem::current_path().string(); // the tests change the current folder

class EditorWindow : public testing::Test {
  protected:
    void SetUp() override { EditorTest_Open(); }
    void TearDown() override {
        EXPECT_FALSE(ToolkitTest_WatchdogFired());
        EditorTest_Close();
    }
};

TEST_F(EditorWindow, OpensOverTheLevelOnceAndItsCloseButtonClosesTheEditor) {
    ASSERT_EQ(Editor_Open, 1);
    ASSERT_TRUE(Editor_W.Window);
    EXPECT_EQ(Editor_W.Window->X, 800 - 230);
    EXPECT_EQ(Editor_W.Window->W, 230);
    EXPECT_EQ(ToolkitTest_OpenWindows(), 1);
    Editor_Create(); // already open: nothing
    EXPECT_EQ(ToolkitTest_OpenWindows(), 1);
    // The fields show the level's values.
    EXPECT_EQ(Editor_W.ColourInputs[0]->GetText(), Str_FromInt(Spawn_Weights[1]));
    EXPECT_EQ(Editor_W.DurationInput->GetText(), Str_FromInt(Level_Duration / 1000000));
    EXPECT_EQ(int(Editor_W.WidthSpinner->Value), Board_Cols);
    EditorTest_Frames(3);

    // A void selected cell with the close button: nothing of the cell or the tile set changes.
    Editor_SelectedCell = Point{2, 2};
    Cell_SetContour(2, 2, 1);
    Editor_ShowCell();
    EditorTest_Frames(2);
    const int32_t tileset = Tileset_Current;
    const std::string before = EditorTest_Level();
    const auto& close = Editor_W.Window->CloseButton;
    ASSERT_TRUE(close);
    ToolkitTest_Script(Click(2, Editor_W.Window->X + close->X + 8, Editor_W.Window->Y + 8));
    EditorTest_Frames(6);
    EXPECT_EQ(Editor_Open, 0);
    EXPECT_EQ(ToolkitTest_OpenWindows(), 0);
    EXPECT_EQ(Tileset_Current, tileset);
    EXPECT_EQ(Board_Cells[2][2].Void, 1);
    EXPECT_TRUE(EditorTest_Level() == before);
    // Reopening builds a fresh window; the selected cell is kept.
    Editor_Create();
    EXPECT_EQ(Editor_SelectedCell.x, 2);
    EXPECT_EQ(Editor_W.CellLabel->GetText(), u"X=2 Y=2");
}

TEST_F(EditorWindow, FieldsAreClampedBeforeTheyReachTheLevelAndShowWhatWasTaken) {
    auto& w = Editor_W;
    w.DurationInput->SetText(u"9999999");
    w.ColourInputs[0]->SetText(u"-3");
    w.ColourInputs[1]->SetText(u"abc");
    w.SpecialInputs[0]->SetText(u"12x");
    w.ModifierInputs[0]->SetText(u"250");
    w.ModifierInputs[5]->SetText(u"-1");
    w.FreezeInput->SetText(u"-5");
    w.TimedInput->SetText(u"999999");
    Editor_ReadWeights();
    EXPECT_EQ(Level_Duration, int64_t(2147483) * 1000000);
    EXPECT_EQ(Level_TimeLeft, Level_Duration);
    EXPECT_EQ(Spawn_Weights[1], 0);
    EXPECT_EQ(Spawn_Weights[2], 0);
    EXPECT_EQ(Spawn_Weights[KIND_MULTICOLOR], 12);
    EXPECT_EQ(Level_ShieldPercent, 100);
    EXPECT_EQ(Level_FrozenPercent, 0);
    EXPECT_EQ(Level_FreezeInterval, 0);
    EXPECT_EQ(Editor_TimedPieces, 999999 * 16);
    EXPECT_EQ(w.DurationInput->GetText(), u"2147483");
    EXPECT_EQ(w.ColourInputs[0]->GetText(), u"0");
    EXPECT_EQ(w.ModifierInputs[0]->GetText(), u"100");
    // The longest duration survives the level file's millisecond field.
    ASSERT_TRUE(Editor_SaveLevel(Str_FromUtf8(EditorTest_File("long.lev"))));
    Level_Duration = 0;
    ASSERT_TRUE(Level_Load(Str_FromUtf8(EditorTest_File("long.lev"))));
    EXPECT_EQ(Level_Duration, int64_t(2147483) * 1000000);
    w.DurationInput->SetText(u"-5");
    Editor_ReadWeights();
    EXPECT_EQ(Level_Duration, 1000000); // at least one second: a level of 0 s would be lost at once

    // Read then show: every field as it was; weights of kinds without a field are 0.
    Spawn_Weights[10] = 7;
    w.ColourInputs[3]->SetText(u"42");
    w.ManaInput->SetText(u"17");
    Editor_ReadWeights();
    EXPECT_EQ(Spawn_Weights[10], 0);
    Editor_ShowWeights();
    EXPECT_EQ(w.ColourInputs[3]->GetText(), u"42");
    EXPECT_EQ(w.ManaInput->GetText(), u"17");
    EXPECT_EQ(w.TimedInput->GetText(), u"999999");

    // Reset Weights keeps the frozen percentage.
    Level_FrozenPercent = 33;
    Level_ShieldPercent = 20;
    Editor_ResetWeights();
    EXPECT_EQ(Level_ShieldPercent, 0);
    EXPECT_EQ(Level_FrozenPercent, 33);
    EXPECT_EQ(w.ModifierInputs[5]->GetText(), u"33");
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(w.ModifierInputs[i]->GetText(), u"0");
    for (int k = 0; k < Piece_KindCount; ++k)
        EXPECT_EQ(Spawn_Weights[k], 0);
}

// Each field lands in its own level value: every field gets a value of its own, the level is saved and read back
// from the file, and each value is found where the field's label and picture say. The antigrav percentage and the
// timed pieces are not in the file; they are checked as the save left them in memory.
TEST_F(EditorWindow, EveryFieldIsSavedAsItsOwnLevelValue) {
    auto& w = Editor_W;
    struct FieldCase {
        std::string name;
        std::shared_ptr<PNO_Input> field;
        int32_t value;
        std::function<int64_t()> saved; // the level value the field stands for
        bool inFile;
    };
    std::vector<FieldCase> cases;
    const int colours = Editor_ColourCount();
    ASSERT_GE(colours, 1);
    for (int i = 0; i < colours; ++i)
        cases.push_back({"colour " + std::to_string(i + 1), w.ColourInputs[i], 101 + i,
                         [i] { return Spawn_Weights[i + 1]; }, true});
    const std::pair<const char*, int32_t> specials[kEditorSpecials] = {
        {"Multicolor", KIND_MULTICOLOR}, {"Tar", KIND_TAR},   {"Launcher", KIND_LAUNCHER},
        {"Bottom Line", KIND_AMULET},    {"New2", KIND_NEW2}, {"New3", KIND_NEW3}};
    for (int i = 0; i < kEditorSpecials; ++i) {
        const int32_t kind = specials[i].second;
        cases.push_back({specials[i].first, w.SpecialInputs[i], 201 + i, [kind] { return Spawn_Weights[kind]; }, true});
    }
    const std::pair<const char*, int32_t*> modifiers[6] = {
        {"Shield %", &Level_ShieldPercent}, {"Bomb %", &Level_BombPercent},         {"Laser %", &Level_LaserPercent},
        {"Golden %", &Level_GoldenPercent}, {"Antigrav %", &Level_AntigravPercent}, {"Frozen %", &Level_FrozenPercent}};
    for (int i = 0; i < 6; ++i) {
        int32_t* const value = modifiers[i].second;
        cases.push_back({modifiers[i].first, w.ModifierInputs[i], 31 + i, [value] { return *value; },
                         value != &Level_AntigravPercent});
    }
    cases.push_back({"duration", w.DurationInput, 1234, [] { return Level_Duration / 1000000; }, true});
    cases.push_back({"timed pieces", w.TimedInput, 77, [] { return Editor_TimedPieces / 16; }, false});
    cases.push_back({"silver coin", w.SilverInput, 41, [] { return Level_SilverCoinInterval; }, true});
    cases.push_back({"gold coin", w.GoldInput, 42, [] { return Level_GoldCoinInterval; }, true});
    cases.push_back({"mana bottle", w.ManaInput, 43, [] { return Level_ManaBottleInterval; }, true});
    cases.push_back({"frozen", w.FreezeInput, 44, [] { return Level_FreezeInterval; }, true});
    cases.push_back({"width", nullptr, 9, [] { return Board_Cols; }, true});
    cases.push_back({"height", nullptr, 6, [] { return Board_Rows; }, true});

    for (const FieldCase& c : cases)
        if (c.field) c.field->SetText(Str_FromInt(c.value));
    w.WidthSpinner->SetValue(9);
    w.HeightSpinner->SetValue(6);
    EditorTest_Frames(1); // a spinner takes its field's number in its update
    const Str path = Str_FromUtf8(EditorTest_File("fields.lev"));
    ASSERT_TRUE(Editor_SaveLevel(path));
    for (const FieldCase& c : cases)
        if (!c.inFile) {
            EXPECT_EQ(c.saved(), c.value) << c.name;
        }
    // Every stored value cleared, then the file read back.
    std::fill(std::begin(Spawn_Weights), std::end(Spawn_Weights), 0);
    for (const auto& m : modifiers)
        *m.second = 0;
    Level_Duration = 0;
    Level_SilverCoinInterval = Level_GoldCoinInterval = Level_ManaBottleInterval = Level_FreezeInterval = 0;
    Board_Cols = Board_Rows = 1;
    ASSERT_TRUE(Level_Load(path));
    for (const FieldCase& c : cases)
        if (c.inFile) {
            EXPECT_EQ(c.saved(), c.value) << c.name;
        }
}

// The same for the inspector's check boxes, found by their captions: each box alone checked on a gem, the level saved
// and read back, and only the value the caption names is set in the cell's record. "Bonus Time" and "Antigrav" are
// not in the file; they are checked on the piece in memory.
TEST_F(EditorWindow, EveryInspectorBoxIsSavedAsItsOwnCellValue) {
    const Point at{1, 1};
    struct BoxCase {
        const char16_t* caption;
        bool inFile;
    };
    const BoxCase boxes[] = {{u"Shield", true}, {u"Shield2", true},      {u"Bomb", true},      {u"Laser", true},
                             {u"Frozen", true}, {u"Bonus Time", false},  {u"Antigrav", false}, {u"Auto-Spawn", true},
                             {u"Proxy", true},  {u"Bring Down Pc", true}};
    // The cell's values as the file keeps them (and the two kept only in memory), in caption order.
    const auto values = [&] {
        const Table_cell& cell = Board_Cells[at.x][at.y];
        const Piece* p = cell.Piece.get();
        const int shield = p ? p->Shield : 0;
        return std::vector<int>{shield >= 1,    shield >= 1,      p && p->Bomb,   p && p->Laser,     p && p->Frozen,
                                p && p->Golden, p && p->Antigrav, cell.AutoSpawn, cell.Blockers > 0, cell.BringDown};
    };
    const Str path = Str_FromUtf8(EditorTest_File("boxes.lev"));
    for (size_t i = 0; i < std::size(boxes); ++i) {
        const std::string name = Str_ToUtf8(boxes[i].caption);
        std::shared_ptr<PNO_Checkbox> box;
        for (const auto& b : Editor_W.ModifierBoxes)
            if (b->GetText() == boxes[i].caption) box = b;
        for (const auto& b : Editor_W.CellBoxes)
            if (b->GetText() == boxes[i].caption) box = b;
        ASSERT_TRUE(box) << name;
        // A plain gem on a plain tile, every box clear, then this one box.
        Editor_SelectedCell = at;
        Editor_ClearPiece(at.x, at.y);
        Cell_SetContour(at.x, at.y, 0);
        Board_Cells[at.x][at.y].Blockers = Board_Cells[at.x][at.y].AutoSpawn = Board_Cells[at.x][at.y].BringDown = 0;
        Board_Cells[at.x][at.y].Piece = Piece_CreateGem(Cell_PixelX(at.x), Cell_PixelY(at.y), 1);
        Editor_ShowCell();
        box->SetChecked(1);
        EditorTest_Frames(1);
        ASSERT_TRUE(Editor_SaveLevel(path));
        std::vector<int> expected(std::size(boxes), 0);
        expected[i] = 1;
        if (i <= 1) expected[0] = expected[1] = 1; // one shield level either way
        if (!boxes[i].inFile) {
            EXPECT_EQ(values(), expected) << name << " in memory";
        }
        ASSERT_TRUE(Level_Load(path));
        for (size_t k = 0; k < std::size(boxes); ++k)
            if (!boxes[k].inFile) expected[k] = 0;
        EXPECT_EQ(values(), expected) << name << " read back";
    }
}

TEST_F(EditorWindow, TileSetSwitchHandlesSmallerAndLargerSetsWithoutTouchingTheCell) {
    const size_t realSets = Tilesets.size();
    ASSERT_GE(realSets, 1u);
    // A five-tile set and a nine-tile set besides the game's own.
    Tileset small{u"small", 5, {}};
    Tileset large{u"large", 9, {}};
    for (int i = 0; i < 9; ++i) {
        if (i < 5) small.Tiles.push_back(Tileset_Tile{i});
        large.Tiles.push_back(Tileset_Tile{i});
    }
    Tilesets.push_back(small);
    Tilesets.push_back(large);
    Editor_Close();
    Editor_Create();
    auto& w = Editor_W;

    // The selected cell holds a "Color 6" piece; the switch to five colours must not give it another piece.
    Editor_SelectedCell = Point{1, 1};
    Editor_ClearPiece(1, 1);
    Cell_SetContour(1, 1, 0);
    const PiecePtr six = Piece_CreateGem(Cell_PixelX(1), Cell_PixelY(1), 6);
    Board_Cells[1][1].Piece = six;
    Editor_ShowCell();
    EditorTest_Frames(2);
    ASSERT_EQ(Editor_PieceChoice, u"Color 6");
    w.TilesetCombo->SelectByText(u"small", 1);
    EditorTest_Frames(2);
    EXPECT_EQ(Tilesets[Tileset_Current].Name, u"small");
    EXPECT_EQ(Editor_PieceChoice, u"None");
    EXPECT_EQ(w.PieceCombo->SelectedText, u"None");
    ASSERT_TRUE(Board_Cells[1][1].Piece);
    EXPECT_EQ(Board_Cells[1][1].Piece->Kind, 6);
    EXPECT_EQ(w.ColourInputs[4]->Hidden, 0);
    EXPECT_EQ(w.ColourInputs[5]->Hidden, 1);

    // Nine tiles: seven fields, no more.
    w.TilesetCombo->SelectByText(u"large", 1);
    EditorTest_Frames(2);
    EXPECT_EQ(Tilesets[Tileset_Current].Name, u"large");
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(w.ColourInputs[i]->Hidden, 0);
    w.ColourInputs[6]->SetText(u"5");
    Editor_ReadWeights();
    EXPECT_EQ(Spawn_Weights[7], 5);
    Tilesets.resize(realSets);
    Tileset_Current = 0;
}

// While a requester runs, the window behind it looks as it does without one: its own font (no label cut by the frame)
// and the folder and "Level:" lines. The window's pixels below its title bar are compared, but for what the requester
// and its shadow cover (400 x 350 in the middle, 4 px of shadow); both pictures are left in the folder the test ran in
// (editor_alone.png, editor_behind_requester.png).
TEST_F(EditorWindow, BehindARequesterTheWindowKeepsItsFontAndItsHeaderLines) {
    Level_Path = App_Folder + u"/levels/mine.lev";
    ToolkitTest_Script("1 mouse 100 100\n");
    EditorTest_Frames(3);
    EXPECT_EQ(Editor_W.LevelLabel->GetText(), u"Level: mine");
    const auto& win = *Editor_W.Window;
    const int top = win.Y + win.TitleHeight;
    const auto windowPixels = [&] {
        const Pixmap pm = Graphics_ReadPixels(win.X, top, win.W, win.H);
        std::vector<uint32_t> out;
        for (int y = 0; y < pm.height; ++y)
            for (int x = 0; x < pm.width; ++x) {
                const bool covered = win.X + x < 605 && top + y >= 125 && top + y < 480;
                out.push_back(covered ? 0 : Pixmap_ReadPixel(pm, x, y));
            }
        return out;
    };
    const std::vector<uint32_t> alone = windowPixels();
    ASSERT_FALSE(alone.empty());
    Graphics_SaveScreenshot(Str_FromUtf8(g_startFolder + "/editor_alone.png"));
    std::vector<uint32_t> behind;
    int frames = 0;
    ToolkitTest_OnModalFrame([&] {
        if (++frames == 3) {
            behind = windowPixels();
            Graphics_SaveScreenshot(Str_FromUtf8(g_startFolder + "/editor_behind_requester.png"));
        }
        const auto front = ToolkitTest_Front();
        if (frames >= 3 && front && front != Editor_W.Window) front->Free();
    });
    Paneo_RequestFile(u"Open level file:", App_Folder, u".*|.lev|", u".lev", 0);
    ASSERT_EQ(behind.size(), alone.size());
    size_t differ = 0;
    for (size_t i = 0; i < alone.size(); ++i)
        differ += alone[i] != behind[i];
    EXPECT_EQ(differ, 0u);
}

TEST(EditorPaths, FolderAndNameOfTheLevelPath) {
    EXPECT_EQ(Path_ExtractDir(u""), u"<bad_dir>");
    EXPECT_EQ(Path_ExtractDir(u"/home/x/levels/"), u"<bad_dir>");
    EXPECT_EQ(Path_ExtractDir(u"incbin::levels/BQ2_level_001.lev"), u"incbin::levels");
    EXPECT_EQ(Path_StripAll(u"incbin::levels/BQ2_level_001.lev"), u"BQ2_level_001");
    EXPECT_EQ(Path_StripAll(u"/a/b.c/mine"), u"mine");
    EXPECT_EQ(Path_StripAll(u""), u"");
}

} // namespace
