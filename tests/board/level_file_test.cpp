// Level files: the byte layout written by Level_Save, the round trip, the header and cell sizes of other
// versions, refused files; tile sets and the layout rule.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "board_helpers.h"
#include "platform/incbin.h"
#include "platform/stream.h"
#include "board/play.h"
#include "platform/system.h"

namespace {

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}
void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
void PutInt(std::vector<uint8_t>& out, int32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(uint32_t(v) >> (8 * i)));
}

class LevelFile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("bq_level_test_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Path(const char* name) const { return (dir_ / name).string(); }
    std::filesystem::path dir_;
};

// A 2 x 1 level built by hand: header, weights, two cell records.
std::vector<uint8_t> HandMadeLevel(int32_t headerSize = 64, int32_t cellSize = 64) {
    std::vector<uint8_t> b;
    const int32_t header[16] = {headerSize, 2, 1, 90000, cellSize, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0};
    for (int32_t i = 0; i < 16 && i * 4 < headerSize; ++i)
        PutInt(b, header[i]);
    for (int32_t i = 16; i * 4 < headerSize; ++i)
        PutInt(b, 77); // fields of a later version
    for (int32_t k = 0; k < 32; ++k)
        PutInt(b, k < 8 ? k : 0);
    // cell (0,0): gem 3 with a chain and a bomb on a silver tile, spawner; cell (1,0): crate, bring-down flag
    const int32_t cells[2][16] = {{0, 2, 3, 1, 5, 1, 1, 0, 0, 2, 0, 1, 0, 0, 0, 0},
                                  {0, 1, 0, 0, 9, 0, 0, 0, 0, 1, 1, 0, 1, 0, 0, 0}};
    for (const auto& cell : cells) {
        for (int32_t i = 0; i < 16 && i * 4 < cellSize; ++i)
            PutInt(b, cell[i]);
        for (int32_t i = 16; i * 4 < cellSize; ++i)
            PutInt(b, 55);
    }
    return b;
}

TEST_F(LevelFile, SaveWritesTheByteLayout) {
    bt::Build({"3C"});
    Board_Cells[0][0].TileLevel = 2;
    Board_Cells[0][0].BaseTileLevel = 2;
    Board_Cells[0][0].AutoSpawn = 1;
    Board_Cells[0][0].Contour = 5;
    Board_Cells[0][0].Piece->Shield = 1;
    Board_Cells[0][0].Piece->Bomb = 1;
    Piece_SetFrozen(Board_Cells[0][0].Piece, 1);
    Board_Cells[1][0].Contour = 9;
    Board_Cells[1][0].BringDown = 1;
    Level_Duration = 90000LL * 1000;
    Level_ShieldPercent = 1, Level_LaserPercent = 2, Level_GoldenPercent = 3, Level_BombPercent = 4;
    Level_FrozenPercent = 5, Level_SilverCoinInterval = 6, Level_GoldCoinInterval = 7;
    Level_ManaBottleInterval = 8, Level_FreezeInterval = 9;
    for (int32_t k = 0; k < 32; ++k)
        Spawn_Weights[k] = k < 8 ? k : 0;
    ASSERT_TRUE(Level_Save(Str_FromUtf8(Path("a.lev"))));
    EXPECT_EQ(ReadFile(Path("a.lev")), HandMadeLevel());
}

TEST_F(LevelFile, RoundTripKeepsBoardAndValues) {
    bt::Build({"12#4", "C*T.", "5L67"});
    Board_Cells[1][0].Piece->Shield = 2;
    Board_Cells[3][2].Piece->Laser = 1;
    Board_Cells[0][2].BringDown = 1;
    Board_Cells[2][1].TileLevel = 0;
    Level_Duration = 123000000;
    Level_FreezeInterval = 30;
    Spawn_Weights[15] = 4;
    const auto before = bt::Snapshot();
    ASSERT_TRUE(Level_Save(Str_FromUtf8(Path("b.lev"))));
    bt::Build({"1"}); // something else in between
    ASSERT_TRUE(Level_Load(Str_FromUtf8(Path("b.lev"))));
    EXPECT_EQ(bt::Snapshot(), before);
    EXPECT_EQ(Board_Cols, 4);
    EXPECT_EQ(Board_Rows, 3);
    EXPECT_EQ(Board_Cells[1][0].Piece->Shield, 2);
    EXPECT_EQ(Board_Cells[1][0].Piece->MoveFlags, MOVE_NOSWAP | MOVE_NOFALL);
    EXPECT_EQ(Board_Cells[3][2].Piece->Laser, 1);
    EXPECT_EQ(Board_Cells[0][2].BringDown, 1);
    EXPECT_EQ(Board_Cells[2][1].TileLevel, 0);
    EXPECT_EQ(Level_Duration, 123000000);
    EXPECT_EQ(Level_TimeLeft, 123000000);
    EXPECT_EQ(Level_FreezeInterval, 30);
    EXPECT_EQ(Spawn_Weights[15], 4);
    EXPECT_EQ(Pieces.Count(), 9u); // every stored piece is in the piece list
    // Saving again gives the same bytes.
    ASSERT_TRUE(Level_Save(Str_FromUtf8(Path("c.lev"))));
    EXPECT_EQ(ReadFile(Path("b.lev")), ReadFile(Path("c.lev")));
}

TEST_F(LevelFile, OtherHeaderAndCellSizesLoadWithDefaults) {
    struct Case {
        int32_t header, cell;
        bool extraFieldsRead; // fields 9..13 present
        const char* warning;  // the message box shown, "" for none
    };
    for (const Case& k : {Case{64, 64, true, ""},
                          Case{80, 64, true, "Warning, level file has MORE header fields than current app knows!"},
                          Case{64, 96, true, "Warning, level file has MORE cell fields than current app knows!"},
                          Case{40, 64, false, "Warning, level file has LESS header fields than current app knows!"},
                          Case{64, 36, true, "Warning, level file has LESS cell fields than current app knows!"}}) {
        SCOPED_TRACE(testing::Message() << "header " << k.header << " cell " << k.cell);
        WriteFile(Path("h.lev"), HandMadeLevel(k.header, k.cell));
        testing::internal::CaptureStderr(); // headless message boxes are written there
        const bool loaded = Level_Load(Str_FromUtf8(Path("h.lev")));
        const std::string boxes = testing::internal::GetCapturedStderr();
        ASSERT_TRUE(loaded);
        if (*k.warning)
            EXPECT_EQ(boxes, std::string("MESSAGE: ") + k.warning + "\n");
        else
            EXPECT_EQ(boxes.find("MESSAGE:"), std::string::npos) << boxes;
        EXPECT_EQ(Board_Cols, 2);
        EXPECT_EQ(Board_Rows, 1);
        EXPECT_EQ(Level_Duration, 90000000);
        EXPECT_EQ(Level_ShieldPercent, 1);
        EXPECT_EQ(Level_FreezeInterval, k.extraFieldsRead ? 9 : 0); // missing header fields read as 0
        EXPECT_EQ(Spawn_Weights[7], 7);
        ASSERT_TRUE(Board_Cells[0][0].Piece);
        EXPECT_EQ(Board_Cells[0][0].Piece->Kind, 3);
        EXPECT_EQ(Board_Cells[0][0].TileLevel, 2);
        EXPECT_EQ(Board_Cells[0][0].Piece->Shield, 1);
        EXPECT_EQ(Board_Cells[1][0].Blockers, k.cell >= 44 ? 1 : 0); // f10 missing in 36-byte records
        EXPECT_EQ(Board_Cells[1][0].BringDown, k.cell >= 52 ? 1 : 0);
    }
}

TEST_F(LevelFile, BrokenFilesAreRefusedAndTheBoardStays) {
    bt::Build({"123", "456"});
    const auto before = bt::Snapshot();
    std::vector<std::vector<uint8_t>> bad;
    bad.push_back({1, 2, 3}); // shorter than a header
    auto truncated = HandMadeLevel();
    truncated.resize(truncated.size() - 1); // one byte short of its last cell
    bad.push_back(truncated);
    auto wide = HandMadeLevel();
    wide[4] = 49; // 49 columns
    bad.push_back(wide);
    auto tiny = HandMadeLevel();
    tiny[16] = 4; // cell records of 4 bytes
    bad.push_back(tiny);
    auto absurd = HandMadeLevel();
    absurd[2] = 0x10; // header of 1 MB
    bad.push_back(absurd);
    for (size_t i = 0; i < bad.size(); ++i) {
        SCOPED_TRACE(i);
        WriteFile(Path("bad.lev"), bad[i]);
        EXPECT_FALSE(Level_Load(Str_FromUtf8(Path("bad.lev"))));
        EXPECT_EQ(Board_Cols, 3);
        EXPECT_EQ(bt::Snapshot(), before);
    }
    // A valid level followed by 64 GiB of nothing (a sparse file): refused unread.
    WriteFile(Path("huge.lev"), HandMadeLevel());
    std::filesystem::resize_file(Path("huge.lev"), uintmax_t(64) << 30);
    EXPECT_FALSE(Level_Load(Str_FromUtf8(Path("huge.lev"))));
    EXPECT_EQ(bt::Snapshot(), before);
    EXPECT_FALSE(Level_Load(Str_FromUtf8(Path("missing.lev"))));
    EXPECT_THROW(Level_Load(S("incbin::levels/BQ2_level_999.lev")), RuntimeError);
}

TEST_F(LevelFile, FailedSaveKeepsTheOldFile) {
    bt::Build({"12"});
    ASSERT_TRUE(Level_Save(Str_FromUtf8(Path("keep.lev"))));
    const auto old = ReadFile(Path("keep.lev"));
    EXPECT_THROW(Level_Save(Str_FromUtf8(Path("no/such/folder/x.lev"))), RuntimeError);
    EXPECT_EQ(ReadFile(Path("keep.lev")), old);
}

TEST_F(LevelFile, NumberedLevelsComeFromTheArchive) {
    EXPECT_EQ(Level_FileName(7), S("levels/BQ2_level_007.lev"));
    EXPECT_EQ(Level_FileName(150), S("levels/BQ2_level_150.lev"));
    Incbin_Register(S("levels/BQ2_level_042.lev"), HandMadeLevel());
    ASSERT_TRUE(Level_LoadByNumber(42));
    EXPECT_EQ(Level_Path, S("incbin::levels/BQ2_level_042.lev"));
    EXPECT_EQ(Board_Cols, 2);
}

TEST(Tilesets, ParsesNamesIndicesAndValues) {
    const int32_t n = Tilesets_Parse(S("jewel1=48,48,1,0\r\njewel0=48,48,8,12\nrune0=40,44,2,5\nbroken line\n\n"));
    ASSERT_EQ(n, 2);
    EXPECT_EQ(Tilesets[0].Name, S("jewel"));
    ASSERT_EQ(Tilesets[0].TileCount, 2);
    EXPECT_EQ(Tilesets[0].Tiles[0].Index, 0); // sorted by index
    EXPECT_EQ(Tilesets[0].Tiles[0].Frames, 8);
    EXPECT_EQ(Tilesets[0].Tiles[0].Fps, 12);
    EXPECT_EQ(Tilesets[1].Tiles[0].Width, 40);
    EXPECT_EQ(Tilesets[1].Tiles[0].Height, 44);
    EXPECT_EQ(Tileset_ForLevel(1), 0);
    EXPECT_EQ(Tileset_ForLevel(26), 1);
    EXPECT_EQ(Tileset_ForLevel(51), 0);
}

TEST(Layout, EveryBoardSizeFitsTheArea) {
    for (int32_t cols = 1; cols <= 48; ++cols) {
        for (int32_t rows = 1; rows <= 48; ++rows) {
            Board_Cols = cols;
            Board_Rows = rows;
            Board_Layout();
            ASSERT_EQ(Cell_Width, Cell_Height);
            ASSERT_LE(Cell_Width, 48);
            ASSERT_GE(Board_OriginX, Board_AreaX);
            ASSERT_LE(Board_OriginX + Board_PixelWidth, Board_AreaX + Board_AreaW);
            ASSERT_LE(Board_OriginY + Board_PixelHeight, Board_AreaY + Board_AreaH);
            ASSERT_EQ(Board_OverflowX, 0);
            ASSERT_EQ(Board_OverflowY, 0);
        }
    }
    Board_Cols = 17, Board_Rows = 13;
    Board_Layout();
    EXPECT_EQ(Cell_Width, 31);
    EXPECT_FLOAT_EQ(Cell_ScaleX, 31 / 48.0f);
    EXPECT_EQ(Cell_HalfWidth, 15);
    // centred in the area
    EXPECT_EQ(Board_OriginX, Board_AreaX + (Board_AreaW - 17 * 31) / 2);
}

TEST(Contours, BordersFaceVoidCellsAndEdges) {
    bt::Build({"111", "1#1", "111"});
    EXPECT_EQ(Board_Cells[0][0].Contour, 1 | 2);
    EXPECT_EQ(Board_Cells[1][0].Contour, 2 | 8);
    EXPECT_EQ(Board_Cells[1][1].Contour, 0);
    Cell_SetContour(1, 1, 0);
    EXPECT_EQ(Board_Cells[1][0].Contour, 2);
    EXPECT_EQ(Board_Cells[1][1].Contour, 0);
}

} // namespace

namespace {

TEST_F(LevelFile, RefreshGivesFreshContours) {
    bt::Build({"1#2", "345"});
    Board_Cells[0][0].Contour = 0;
    ASSERT_TRUE(Level_Save(Str_FromUtf8(Path("r.lev"))));
    ASSERT_TRUE(Level_RefreshFile(Str_FromUtf8(Path("r.lev"))));
    ASSERT_TRUE(Level_Load(Str_FromUtf8(Path("r.lev"))));
    EXPECT_EQ(Board_Cells[0][0].Contour, 1 | 2 | 4);
    WriteFile(Path("junk.lev"), {1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_FALSE(Level_RefreshFile(Str_FromUtf8(Path("junk.lev"))));
}

} // namespace
