// The editor's board tools under scripted mouse input: select, inspector, paint, place (never into a void cell),
// clicks on the window that must not reach the board, resizing from typed text, Create and Fill (no ready-made
// group, a move, shields kept by Fill, all-zero weights refused), Clear Table and centring. Tests editor_board.cpp.
#include <gtest/gtest.h>

#include "board/level_file.h"
#include "board/play.h"
#include "board/rules.h"
#include "editor_helpers.h"
#include "platform/input.h"

namespace {

class EditorBoard : public testing::Test {
  protected:
    void SetUp() override { EditorTest_Open(); }
    void TearDown() override {
        EXPECT_FALSE(ToolkitTest_WatchdogFired());
        EditorTest_Close();
    }
    // Chooses a combo entry as the user would and lets the inspector apply it.
    void Choose(const std::shared_ptr<PNO_Combo>& combo, const Str& text) {
        ASSERT_EQ(combo->SelectByText(text, 1), 1) << Str_ToUtf8(text);
        EditorTest_Frames(1);
    }
    int32_t KindAt(int c, int r) { return Board_Cells[c][r].Piece ? Board_Cells[c][r].Piece->Kind : 0; }
    bool AnyGroup() {
        for (int32_t c = 0; c < Board_Cols; ++c)
            for (int32_t r = 0; r < Board_Rows; ++r)
                if (Board_Cells[c][r].Piece && Board_FindMatchGroup(c, r, 0, 0) >= Match_MinRun) return true;
        return false;
    }
};

TEST_F(EditorBoard, SelectInspectPaintAndPlaceWithTheMouse) {
    ASSERT_GE(Board_Cols, 4);
    ASSERT_LT(CellX(3), Editor_W.Window->X); // the cells used here are left of the window
    // Left click selects the cell and loads the inspector.
    ToolkitTest_Script(Click(2, CellX(1), CellY(1)));
    EditorTest_Frames(4);
    EXPECT_EQ(Editor_SelectedCell.x, 1);
    EXPECT_EQ(Editor_SelectedCell.y, 1);
    EXPECT_EQ(Editor_W.CellLabel->GetText(), u"X=1 Y=1");
    // The inspector writes to the cell.
    Choose(Editor_W.TileCombo, u"Double Tile");
    EXPECT_EQ(Board_Cells[1][1].TileLevel, 2);
    EXPECT_EQ(Board_Cells[1][1].BaseTileLevel, 2);
    Choose(Editor_W.PieceCombo, u"Tar");
    EXPECT_EQ(KindAt(1, 1), KIND_TAR);
    Editor_W.ModifierBoxes[MOD_SHIELD]->SetChecked(1);
    Editor_W.ModifierBoxes[MOD_SHIELD2]->SetChecked(1);
    Editor_W.CellBoxes[CELL_AUTOSPAWN]->SetChecked(1);
    EditorTest_Frames(1);
    EXPECT_EQ(Board_Cells[1][1].Piece->Shield, 2);
    EXPECT_EQ(Board_Cells[1][1].AutoSpawn, 1);
    // Right click paints tile and flags on another cell, not the piece.
    const int32_t kindAt3 = KindAt(3, 2);
    ToolkitTest_Script(Click(2, CellX(3), CellY(2), 2));
    EditorTest_Frames(4);
    EXPECT_EQ(Board_Cells[3][2].TileLevel, 2);
    EXPECT_EQ(Board_Cells[3][2].AutoSpawn, 1);
    EXPECT_EQ(KindAt(3, 2), kindAt3);
    // Middle click drops the chosen piece.
    ToolkitTest_Script(Click(2, CellX(2), CellY(3), 3));
    EditorTest_Frames(4);
    EXPECT_EQ(KindAt(2, 3), KIND_TAR);
    // "Void Cell": right and middle click empty and void the cell.
    Choose(Editor_W.TileCombo, u"Void Cell");
    EXPECT_EQ(Board_Cells[1][1].Void, 1);
    EXPECT_FALSE(Board_Cells[1][1].Piece);
    ToolkitTest_Script(Click(2, CellX(0), CellY(3), 2) + Click(6, CellX(2), CellY(0), 3));
    EditorTest_Frames(10);
    for (const Point p : {Point{0, 3}, Point{2, 0}}) {
        EXPECT_EQ(Board_Cells[p.x][p.y].Void, 1);
        EXPECT_FALSE(Board_Cells[p.x][p.y].Piece);
    }
}

TEST_F(EditorBoard, NoPieceLandsInAVoidCell) {
    Editor_SelectedCell = Point{0, 0};
    Editor_ShowCell();
    EditorTest_Frames(1);
    Choose(Editor_W.TileCombo, u"Simple Tile");
    Choose(Editor_W.PieceCombo, u"Color 2");
    Cell_SetContour(2, 2, 1);
    Editor_ClearPiece(2, 2);
    Editor_PlacePiece(2, 2); // a void cell with a non-void tile choice
    EXPECT_FALSE(Board_Cells[2][2].Piece);
    EXPECT_EQ(Board_Cells[2][2].Void, 1);
    // The inspector on a void cell: a new piece choice leaves it empty.
    Editor_SelectedCell = Point{2, 2};
    Editor_ShowCell();
    EditorTest_Frames(1);
    Choose(Editor_W.PieceCombo, u"Multicolor");
    EXPECT_FALSE(Board_Cells[2][2].Piece);
    // Coins and "None" through placing leave the cell empty.
    Editor_SelectedCell = Point{0, 0};
    Editor_ShowCell();
    EditorTest_Frames(1);
    Choose(Editor_W.PieceCombo, u"Coin1");
    Editor_PlacePiece(1, 0);
    EXPECT_FALSE(Board_Cells[1][0].Piece);
    for (const auto& p : Pieces)
        EXPECT_FALSE(p->Col >= 0 && Board_Cells[p->Col][p->Row].Void && Board_Cells[p->Col][p->Row].Piece == p);
}

TEST_F(EditorBoard, AClickOnTheWindowNeverReachesTheBoardBeneath) {
    // A board wide enough to reach under the window.
    Editor_W.WidthSpinner->SetValue(48);
    EditorTest_Frames(1);
    ASSERT_TRUE(Editor_CreateBoard());
    Editor_SelectedCell = Point{0, 0};
    const int x = Editor_W.Window->X + 5;
    const int c = (x + Board_OverflowX - Board_OriginX) / Cell_Width;
    ASSERT_LT(c, Board_Cols);
    // The root window becomes active by a click on the board, then a click on the window's edge.
    // ... and later the pointer comes onto the board without a click.
    ToolkitTest_Script(Click(2, CellX(0), CellY(0)) + Click(8, x, 60) + Click(14, x, 60, 2) + Click(20, x, 60, 3) +
                       "26 mouse " + std::to_string(CellX(3)) + " " + std::to_string(CellY(3)) + "\n");
    const std::string before = EditorTest_Level();
    EditorTest_Frames(32);
    EXPECT_EQ(Editor_SelectedCell.x, 0);
    EXPECT_EQ(Editor_SelectedCell.y, 0);
    EXPECT_TRUE(EditorTest_Level() == before);
}

TEST_F(EditorBoard, TypedSizesNeverLeaveOneToFortyEightOrCutColumnsEarly) {
    ASSERT_TRUE(Editor_CreateBoard());
    const int32_t cols = Board_Cols;
    // Typing into the width field: "100" while being edited changes nothing, and ends clamped at 48.
    auto& field = Editor_W.WidthSpinner->Field;
    ASSERT_TRUE(field);
    const int fx = Editor_W.Window->X + field->X + Editor_W.WidthSpinner->X + 6;
    const int fy = Editor_W.Window->Y + Editor_W.Window->TitleHeight + Editor_W.WidthSpinner->Y + 6;
    ToolkitTest_Script(Click(2, fx, fy) + "4 key 35 press\n6 key 8 press\n8 key 8 press\n10 key 8 press\n" +
                       "12 text 100\n");
    for (int f = 0; f < 14; ++f) {
        EditorTest_Frames(1);
        EXPECT_GE(Board_Cols, 1);
        EXPECT_LE(Board_Cols, 48);
    }
    EXPECT_EQ(Board_Cols, cols); // not yet: the field is still being edited
    ToolkitTest_Script(KeyPress(2, VK::RETURN));
    EditorTest_Frames(6);
    EXPECT_EQ(Board_Cols, 48);
    // Shrinking removes the pieces of the columns cut off; growing shows those cells empty.
    Editor_W.WidthSpinner->SetValue(3);
    EditorTest_Frames(2);
    EXPECT_EQ(Board_Cols, 3);
    Editor_W.WidthSpinner->SetValue(5);
    EditorTest_Frames(2);
    EXPECT_FALSE(Board_Cells[4][0].Piece);
    EXPECT_TRUE(Board_Cells[2][0].Piece);
    // The same for the rows cut off.
    const int32_t rows = Board_Rows;
    ASSERT_GE(rows, 4);
    ASSERT_TRUE(Board_Cells[2][3].Piece);
    Editor_W.HeightSpinner->SetValue(2);
    EditorTest_Frames(2);
    EXPECT_EQ(Board_Rows, 2);
    Editor_W.HeightSpinner->SetValue(float(rows));
    EditorTest_Frames(2);
    EXPECT_EQ(Board_Rows, rows);
    EXPECT_FALSE(Board_Cells[2][3].Piece);
    EXPECT_TRUE(Board_Cells[2][1].Piece);
}

TEST_F(EditorBoard, CreateAndFillMakeBoardsWithoutGroupsAndWithAMove) {
    ASSERT_TRUE(Editor_CreateBoard());
    EXPECT_FALSE(AnyGroup());
    EXPECT_TRUE(Board_HasMove());
    EXPECT_EQ(Level_Sweeping, 0);
    // Fill keeps the shield levels; Create does not.
    Board_Cells[0][0].Piece->Shield = 2;
    ASSERT_TRUE(Editor_Fill());
    EXPECT_EQ(Board_Cells[0][0].Piece->Shield, 2);
    EXPECT_FALSE(AnyGroup());
    ASSERT_TRUE(Editor_CreateBoard());
    EXPECT_EQ(Board_Cells[0][0].Piece->Shield, 0);
    // Every weight on one colour: the re-roll budget ends the fill (groups remain), in bounded time.
    for (int i = 0; i < 7; ++i)
        Editor_W.ColourInputs[i]->SetText(i == 0 ? u"5" : u"0");
    for (int i = 0; i < 6; ++i)
        Editor_W.SpecialInputs[i]->SetText(u"0");
    ASSERT_TRUE(Editor_Fill());
    EXPECT_TRUE(AnyGroup());
}

TEST_F(EditorBoard, AllZeroWeightsAreRefusedWithAnAlertAndTheBoardStays) {
    int alerts = 0;
    EditorTest_AnswerAlerts(&alerts);
    Editor_ResetWeights();
    const std::string before = EditorTest_Level();
    const size_t pieces = Pieces.Count();
    // Through the buttons: Create, then Fill.
    ToolkitTest_Script(Click(2, ButtonX(BTN_CREATE), ButtonY(BTN_CREATE)) +
                       Click(10, ButtonX(BTN_FILL), ButtonY(BTN_FILL)));
    EditorTest_Frames(16);
    EXPECT_EQ(alerts, 2);
    EXPECT_TRUE(EditorTest_Level() == before);
    EXPECT_EQ(Pieces.Count(), pieces);
}

TEST_F(EditorBoard, ClearTableAndCentringMoveWholeCells) {
    ToolkitTest_Script(Click(2, ButtonX(BTN_CLEAR), ButtonY(BTN_CLEAR)));
    EditorTest_Frames(5);
    EXPECT_EQ(Pieces.Count(), 0u);
    for (int32_t c = 0; c < Board_Cols; ++c)
        EXPECT_EQ(Board_Cells[c][0].Void, 0);
    // 17 columns, columns 10..16 void: CenterX shifts by 4, base tile levels and pieces go along.
    Board_Cols = 17;
    Board_Rows = 3;
    Editor_W.WidthSpinner->SetValue(17);
    Editor_W.HeightSpinner->SetValue(3);
    for (int32_t c = 10; c < 17; ++c)
        for (int32_t r = 0; r < 3; ++r)
            Cell_SetContour(c, r, 1);
    Board_Cells[0][1].BaseTileLevel = 2;
    Board_Cells[0][1].TileLevel = 0;
    const PiecePtr p = Piece_CreateGem(Cell_PixelX(0), Cell_PixelY(1), 3);
    Board_Cells[0][1].Piece = p;
    const float x0 = p->PosX;
    Editor_Center(false);
    EXPECT_EQ(Board_Cells[4][1].BaseTileLevel, 2);
    EXPECT_EQ(Board_Cells[4][1].TileLevel, 0);
    EXPECT_EQ(Board_Cells[4][1].Piece, p);
    EXPECT_FLOAT_EQ(p->PosX, x0 + 4 * Cell_Width);
    for (int32_t c = 0; c < 4; ++c)
        EXPECT_EQ(Board_Cells[c][1].Void, 1);
    EXPECT_EQ(Board_Cells[13][1].Void, 0);
    EXPECT_EQ(Board_Cells[14][1].Void, 1);
    // Already centred: nothing moves. All void: nothing moves.
    const std::string centred = EditorTest_Level();
    Editor_Center(false);
    EXPECT_TRUE(EditorTest_Level() == centred);
    for (int32_t c = 0; c < 17; ++c)
        for (int32_t r = 0; r < 3; ++r)
            Cell_SetContour(c, r, 1);
    const std::string empty = EditorTest_Level();
    Editor_Center(false);
    Editor_Center(true);
    EXPECT_TRUE(EditorTest_Level() == empty);
}

} // namespace
