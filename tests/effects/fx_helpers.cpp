// The effects tests' recording sink, fixture and frame drivers.
#include "effects/fx_helpers.h"

#include "board/board.h"
#include "main/frame_timer.h"
#include "platform/incbin.h"
#include "platform/random.h"

size_t RecordingSink::Lines() const {
    size_t n = 0;
    for (const FxDrawRec& d : draws)
        n += d.image == nullptr;
    return n;
}

void Fx_SetClock(float ms, int fps) {
    Frame_DeltaMs = ms;
    Frame_DeltaSec = ms / 1000.0f;
    Fps_Instant = fps;
}

void Fx_SetBoard(int cols, int rows, int cell) {
    Board_Cols = cols;
    Board_Rows = rows;
    Board_OriginX = 100;
    Board_OriginY = 50;
    Cell_Width = Cell_Height = cell;
    Cell_HalfWidth = Cell_HalfHeight = cell / 2;
    Cell_ScaleX = Cell_ScaleY = float(cell) / 48.0f;
    Board_PixelWidth = cols * cell;
    Board_PixelHeight = rows * cell;
    Board_OverflowX = Board_OverflowY = 0;
    for (int c = 0; c < Board_MaxCols; ++c)
        for (int r = 0; r < Board_MaxRows; ++r)
            Board_Cells[c][r].Void = 0;
}

void FxTest::SetUp() {
    static const bool archive = Incbin_RegisterBuiltin();
    ASSERT_TRUE(archive);
    static const bool loaded = [] {
        EffectImages_Load();
        return true;
    }();
    (void)loaded;
    Particles_InitTables();
    Effects_Clear();
    Effects_Cap = Effects_DefaultCap;
    Fx_SetSink(&sink);
    Fx = FxState{};
    Fx_SetClock(16, 60);
    Fx_SetBoard(8, 8, 48);
    // The level end's tile rings pick from a tile set of one tile.
    Tilesets.assign(1, Tileset{});
    Tilesets[0].Tiles.assign(1, Tileset_Tile{});
    Tilesets[0].Tiles[0].Image = Fx_Img.spark1;
    LevelEnd_Tileset = 0;
    for (int32_t& t : LevelEnd_Tiles)
        t = 0;
    Rand_Seed(12345);
    // Every layer counts as drawn by the screen (the game screen's three passes).
    Effects_DrawBehind();
    Effects_DrawAbove();
    Effects_DrawTop();
    sink.draws.clear();
    sink.flushes = 0;
}

void FxTest::TearDown() {
    Fx_SetSink(nullptr);
    Effects_Clear();
    Particles_Reset();
    Effects_Hooks = Effects_HooksDefault();
}

void Fx_GameFrame() {
    Effects_UpdateAll();
    Effects_DrawBehind();
    MapEffects_RunAll();
    Effects_DrawAbove();
    Effects_DrawTop();
    Particles_Draw();
}

int Fx_CountKind(int kind) {
    int n = 0;
    for (const Gfx_Obj& o : Effects_List)
        n += !o.dead && o.kind == kind;
    return n;
}
