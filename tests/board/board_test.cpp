// The board's start-up against the real archive: tile sets from tiles.txt, every tile and piece picture, the
// hammer icons the particle emitter reads as 24-bit RGB, and the numbered levels.
#include <gtest/gtest.h>

#include "board_helpers.h"
#include "board/play.h"
#include "platform/graphics.h"
#include "platform/image.h"
#include "platform/incbin.h"
#include "platform/system.h"

namespace {

TEST(BoardInit, LoadsTileSetsAndEveryPicture) {
    ASSERT_TRUE(Incbin_RegisterBuiltin());
    ASSERT_TRUE(Graphics_IsOpen() || Graphics_Open(800, 600, true));
    Board_Init();
    ASSERT_EQ(Tilesets.size(), 2u);
    for (const Tileset& set : Tilesets) {
        ASSERT_EQ(set.TileCount, 7) << Str_ToUtf8(set.Name);
        for (const Tileset_Tile& t : set.Tiles)
            EXPECT_TRUE(t.Image) << Str_ToUtf8(set.Name) << t.Index;
    }
    for (const int32_t k : {KIND_MULTICOLOR, KIND_LAUNCHER, KIND_NEW2, KIND_CHAIN_RED, KIND_CHAIN_GOLD, KIND_NEW3,
                            KIND_AMULET, KIND_ROCKET, KIND_BOTTLE, KIND_COIN_SILVER, KIND_COIN_GOLD})
        EXPECT_TRUE(Piece_Images[k]) << "kind " << k;
    ASSERT_TRUE(Piece_TarStrip);
    EXPECT_EQ(Image_Frames(Piece_TarStrip), 32);
    for (const ImagePtr& img :
         {Tile_Empty, Tile_Golden, Tile_Silver, Tile_Crate[1], Tile_Crate[2], Tile_Crate[3], Piece_OverlayChain[1],
          Piece_OverlayChain[2], Piece_OverlayBomb, Piece_OverlayLaser, Piece_OverlayGolden, Piece_OverlayFrozen})
        EXPECT_TRUE(img);
    // A gem of the current tile set gets its picture.
    Tileset_Current = 1;
    PiecePtr gem = Piece_CreateGem(0, 0, 3);
    EXPECT_EQ(gem->Image, Tilesets[1].Tiles[2].Image);
    for (const char* path :
         {"images/interface/map_hammer.png", "images/interface/map_hammer2.png", "images/interface/map_hammer3.png"}) {
        const PixmapPtr pm = Pixmap_Load(S("incbin::") + S(path));
        ASSERT_TRUE(pm) << path;
        EXPECT_EQ(pm->format, PF_RGB888) << path;
        int lit = 0;
        for (int y = 0; y < pm->height; ++y)
            for (int x = 0; x < pm->width; ++x)
                lit += pm->bytes[size_t(y) * pm->pitch + size_t(x) * 3] != 0;
        EXPECT_GT(lit, 100) << path << ": the emitter needs red in the icon";
    }
    // The 150 levels are in the archive under their numbered names.
    for (const int32_t n : {1, 2, 75, 150}) {
        Level_Current = n;
        ASSERT_TRUE(Level_LoadByNumber(n)) << n;
        EXPECT_GT(Board_TilesLeft(), 0) << n;
    }
    EXPECT_THROW(Level_LoadByNumber(151), RuntimeError);
    Pieces_Clear();
}

} // namespace
