// The sprite batch on the software renderer: where quads land, alpha and additive blending, lines, the atlas, and
// how often the batch flushes (one call per texture and blend run).
#include "platform/sprite_batch.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>

#include "platform/draw_helpers.h"
#include "platform/frame_tally.h"
#include "platform/incbin.h"

namespace {

using namespace drawtest;

class SpriteBatchTest : public Canvas {};

TEST_F(SpriteBatchTest, SpritesLandAtTheirHandleWithAlphaAndTint) {
    const ImagePtr img = SolidImage(4, 4, 255, 255, 255);
    Image_SetHandle(img, 2, 2);
    Fill(0, 0, 100);
    Batch_Sprite(img, 0, 20, 20, 1, 1, 0, 255, 0, 0, 255, BLEND_ALPHA);
    Batch_Sprite(img, 0, 40, 20, 2, 2, 0, 255, 255, 255, 128, BLEND_ALPHA);
    Batch_Flush();
    EXPECT_EQ(PixelAt(18, 18), (Rgb{255, 0, 0}));
    EXPECT_EQ(PixelAt(21, 21), (Rgb{255, 0, 0}));
    EXPECT_EQ(PixelAt(22, 22), (Rgb{0, 0, 100}));
    const Rgb half = PixelAt(37, 20); // scaled 2: 36..43
    EXPECT_NEAR(half.r, 128, 3);
    EXPECT_NEAR(half.b, 177, 3);
    EXPECT_EQ(PixelAt(35, 20), (Rgb{0, 0, 100}));
}

TEST_F(SpriteBatchTest, AdditiveAddsAndLinesCoverBothEnds) {
    const ImagePtr img = SolidImage(2, 2, 100, 100, 100);
    Fill(50, 50, 50);
    Batch_Sprite(img, 0, 10, 10, 1, 1, 0, 255, 255, 255, 255, BLEND_ADDITIVE);
    Batch_Line(100, 50, 110, 50, 255, 255, 255, 255, BLEND_ALPHA);
    Batch_Flush();
    EXPECT_EQ(PixelAt(10, 10), (Rgb{150, 150, 150}));
    EXPECT_EQ(PixelAt(100, 50), (Rgb{255, 255, 255}));
    EXPECT_EQ(PixelAt(110, 50), (Rgb{255, 255, 255}));
    EXPECT_EQ(PixelAt(111, 50), (Rgb{50, 50, 50}));
    EXPECT_EQ(PixelAt(105, 51), (Rgb{50, 50, 50}));
}

TEST_F(SpriteBatchTest, AtlasImagesShareARunAndDrawTheirOwnFrames) {
    // Two frames of different colours in one strip, and a second image; all in the atlas.
    Pixmap pm = Pixmap_Create(8, 4, PF_RGBA8888);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            Pixmap_WritePixel(pm, x, y, x < 4 ? 0xFFFF0000u : 0xFF00FF00u);
    const ImagePtr strip = Image_FromPixmapAnim(pm, 4, 4, 0, 2);
    const ImagePtr other = SolidImage(4, 4, 0, 0, 255);
    Batch_AtlasAdd(strip);
    Batch_AtlasAdd(other);
    Batch_AtlasAdd(other); // once is enough
    EXPECT_TRUE(Batch_InAtlas(strip));
    Fill(0, 0, 0);
    Batch_ResetStats();
    Batch_Sprite(strip, 1, 10, 10, 1, 1, 0, 255, 255, 255, 255, BLEND_ALPHA);
    Batch_Sprite(other, 0, 20, 10, 1, 1, 0, 255, 255, 255, 255, BLEND_ALPHA);
    Batch_Sprite(strip, 0, 30, 10, 1, 1, 0, 255, 255, 255, 255, BLEND_ALPHA);
    Batch_Flush();
    EXPECT_EQ(Batch_Stats().flushes, 1);
    EXPECT_EQ(Batch_Stats().vertices, 12);
    EXPECT_EQ(PixelAt(11, 11), (Rgb{0, 255, 0}));
    EXPECT_EQ(PixelAt(21, 11), (Rgb{0, 0, 255}));
    EXPECT_EQ(PixelAt(31, 11), (Rgb{255, 0, 0}));
    // An image outside the atlas starts a run of its own; a bad frame or a null image adds nothing.
    const ImagePtr loose = SolidImage(4, 4, 9, 9, 9);
    Batch_ResetStats();
    Batch_Sprite(strip, 0, 30, 30, 1, 1, 0, 255, 255, 255, 255, BLEND_ALPHA);
    Batch_Sprite(loose, 0, 30, 30, 1, 1, 0, 255, 255, 255, 255, BLEND_ALPHA);
    Batch_Sprite(strip, 2, 30, 30, 1, 1, 0, 255, 255, 255, 255, BLEND_ALPHA);
    Batch_Sprite(nullptr, 0, 30, 30, 1, 1, 0, 255, 255, 255, 255, BLEND_ALPHA);
    Batch_Flush();
    EXPECT_EQ(Batch_Stats().flushes, 2);
    EXPECT_EQ(Batch_Stats().quads, 2);
}

TEST_F(SpriteBatchTest, AlphaAndAdditiveAtlasSpritesMixCorrectly) {
    // On renderers with custom blend modes the atlas is premultiplied and both blends share one run; on the software
    // renderer unscaled copies go to our blitter, which takes both blends in one run too.
    const ImagePtr img = SolidImage(4, 4, 255, 255, 255);
    Batch_AtlasAdd(img);
    Fill(50, 50, 50);
    Batch_ResetStats();
    Batch_Sprite(img, 0, 10, 10, 1, 1, 0, 255, 0, 0, 128, BLEND_ALPHA);
    Batch_Sprite(img, 0, 20, 10, 1, 1, 0, 100, 100, 100, 255, BLEND_ADDITIVE);
    Batch_Sprite(img, 0, 30, 10, 1, 1, 0, 0, 0, 255, 255, BLEND_ALPHA);
    Batch_Flush();
    EXPECT_EQ(Batch_Stats().flushes, 1) << Graphics_RendererName();
    const Rgb a = PixelAt(11, 11);
    EXPECT_NEAR(a.r, 152, 3);
    EXPECT_NEAR(a.g, 25, 3);
    EXPECT_EQ(PixelAt(21, 11), (Rgb{150, 150, 150}));
    EXPECT_EQ(PixelAt(31, 11), (Rgb{0, 0, 255}));
}

// Unscaled atlas copies (the blitter's on the software renderer) and turned quads (the rasteriser's) reach the canvas
// in the order they were added, each within the viewport of its time.
TEST_F(SpriteBatchTest, CopiesAndTurnedQuadsKeepTheirOrderAndClip) {
    const ImagePtr img = SolidImage(4, 4, 255, 255, 255);
    Image_SetHandle(img, 2, 2);
    Batch_AtlasAdd(img);
    Fill(0, 0, 0);
    Batch_Sprite(img, 0, 12, 12, 1, 1, 0, 200, 0, 0, 255, BLEND_ADDITIVE); // 10..13
    Batch_Sprite(img, 0, 12, 12, 1, 1, 90, 0, 0, 255, 255, BLEND_ALPHA);   // covers it
    Batch_Sprite(img, 0, 12, 12, 1, 1, 0, 0, 255, 0, 255, BLEND_ADDITIVE); // adds green over the blue
    Batch_Sprite(img, 0, 32, 12, 1, 1, 0, 0, 0, 255, 255, BLEND_ALPHA);
    Batch_Sprite(img, 0, 32, 12, 1, 1, 0, 255, 0, 0, 128, BLEND_ALPHA); // half red over the blue
    Batch_SetViewport(0, 0, 52, 600);
    Batch_Sprite(img, 0, 52, 12, 1, 1, 0, 255, 255, 255, 255, BLEND_ALPHA); // 50..53, two columns shown
    Batch_SetViewport(0, 0, 800, 600);
    // Quads turned half a turn (which SDL draws itself) of both blends one after another, each in its own.
    Batch_Sprite(img, 0, 72, 12, 1, 1, 0, 200, 0, 0, 255, BLEND_ADDITIVE);
    Batch_Sprite(img, 0, 72, 12, 1, 1, 180, 0, 0, 255, 255, BLEND_ALPHA);
    Batch_Sprite(img, 0, 72, 12, 1, 1, 180, 0, 255, 0, 255, BLEND_ADDITIVE);
    Batch_Flush();
    EXPECT_EQ(PixelAt(11, 11), (Rgb{0, 255, 255}));
    const Rgb mix = PixelAt(31, 11);
    EXPECT_NEAR(mix.r, 128, 1);
    EXPECT_NEAR(mix.b, 127, 1);
    EXPECT_EQ(PixelAt(51, 11), (Rgb{255, 255, 255}));
    EXPECT_EQ(PixelAt(52, 11), (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelAt(71, 11), (Rgb{0, 255, 255}));
}

// Turned quads one after another, each at its own angle: an 8 x 8 square turned 90 degrees covers its own box, the
// same square turned 45 a diamond reaching 5.6 pixels along the axes, past the box, and no corner of the box.
TEST_F(SpriteBatchTest, EachTurnedQuadKeepsItsOwnAngle) {
    const ImagePtr img = SolidImage(8, 8, 255, 255, 255);
    Image_SetHandle(img, 4, 4);
    Batch_AtlasAdd(img);
    Fill(0, 0, 0);
    Batch_Sprite(img, 0, 100, 100, 1, 1, 90, 255, 0, 0, 255, BLEND_ALPHA);
    Batch_Sprite(img, 0, 200, 100, 1, 1, 45, 0, 255, 0, 255, BLEND_ALPHA);
    Batch_Sprite(img, 0, 300, 100, 1, 1, 45, 0, 0, 255, 255, BLEND_ALPHA);
    Batch_Sprite(img, 0, 400, 100, 1, 1, 90, 255, 255, 0, 255, BLEND_ALPHA);
    Batch_Flush();
    // The box's corner lies outside the diamond, the diamond's top just above the box.
    const Rgb black{0, 0, 0};
    const struct {
        int x;
        Rgb corner, top;
    } expected[] = {
        {100, {255, 0, 0}, black}, {200, black, {0, 255, 0}}, {300, black, {0, 0, 255}}, {400, {255, 255, 0}, black}};
    for (const auto& e : expected) {
        EXPECT_EQ(PixelAt(e.x + 3, 103), e.corner) << e.x;
        EXPECT_EQ(PixelAt(e.x - 1, 95), e.top) << e.x;
    }
}

// The atlas keeps no copy of its pages: each page's texture is painted from its images, which for embedded pictures
// are decoded again for it. So a renderer made anew, and an image joining a page already drawn, must bring every
// frame back; both the blitter (unscaled copies) and the rasteriser (scaled ones) read the page.
TEST_F(SpriteBatchTest, AtlasPagesArePaintedAgainForANewRendererAndAJoiningImage) {
    std::vector<uint8_t> rgba;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            rgba.insert(rgba.end(), {uint8_t(x < 4 ? 255 : 0), uint8_t(x < 4 ? 0 : 255), 0, 255});
    Incbin_Register(u"test/atlas_strip.png", MakePng(8, 4, PNG_COLOR_TYPE_RGBA, 8, rgba));
    const ImagePtr strip = Image_LoadAnim(u"incbin::test/atlas_strip.png", 4, 4, 0, 2);
    ASSERT_NE(strip, nullptr);
    Batch_AtlasAdd(strip);
    const auto draw = [&] {
        Fill(0, 0, 0);
        Batch_Sprite(strip, 1, 10, 10, 1, 1, 0, 255, 255, 255, 255, BLEND_ALPHA); // a copy
        Batch_Sprite(strip, 0, 20, 10, 2, 2, 0, 255, 255, 255, 255, BLEND_ALPHA); // scaled: 20..27
        Batch_Line(40, 10, 45, 10, 0, 0, 255, 255, BLEND_ALPHA);                  // the first page's white block
        Batch_Flush();
    };
    const auto expectShown = [&](const char* when) {
        EXPECT_EQ(PixelAt(11, 11), (Rgb{0, 255, 0})) << when;
        EXPECT_EQ(PixelAt(23, 13), (Rgb{255, 0, 0})) << when;
        EXPECT_EQ(PixelAt(42, 10), (Rgb{0, 0, 255})) << when;
    };
    draw();
    expectShown("first drawn");
    Graphics_Close();
    ASSERT_TRUE(Graphics_Open(800, 600, true));
    draw();
    expectShown("with a new renderer");
    Incbin_Register(u"test/atlas_late.png", MakePng(2, 2, PNG_COLOR_TYPE_RGBA, 8, std::vector<uint8_t>(16, 255)));
    const ImagePtr late = Image_Load(u"incbin::test/atlas_late.png");
    Batch_AtlasAdd(late);
    ASSERT_TRUE(Batch_InAtlas(late));
    draw();
    Batch_Sprite(late, 0, 60, 10, 1, 1, 0, 255, 255, 0, 255, BLEND_ALPHA);
    Batch_Flush();
    expectShown("after an image joined");
    EXPECT_EQ(PixelAt(61, 11), (Rgb{255, 255, 0}));
}

// A quad SDL draws itself (a small frame turned half a turn) reads its frame's texture rows, which depend on its
// page's height: they must follow the page as it grows, and each page keeps its own. A 2047 x 2047 frame fills a page
// of its own, so the next image starts a fresh one: X's two frames at its top (256 rows high on the software
// renderer); a 300-row image below them (512 rows); then one too tall for what is left, which opens a third page
// (2048 rows) where Z joins it.
TEST_F(SpriteBatchTest, TurnedSpritesFollowTheirPageAsItGrowsAndKeepEachPagesRows) {
    // A strip of 4 x 8 frames, frame f's top four rows in top[f], the rest in bottom[f]; handle in the middle.
    const auto strip = [](std::initializer_list<std::pair<uint32_t, uint32_t>> frames) {
        const int n = int(frames.size());
        Pixmap pm = Pixmap_Create(4 * n, 8, PF_RGBA8888);
        int f = 0;
        for (const auto& [top, bottom] : frames) {
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 4; ++x)
                    Pixmap_WritePixel(pm, 4 * f + x, y, y < 4 ? top : bottom);
            ++f;
        }
        const ImagePtr img = Image_FromPixmapAnim(pm, 4, 8, 0, n);
        Image_SetHandle(img, 2, 4);
        return img;
    };
    const auto filler = [](int h) { // a w x h frame blank but for two corners: not trimmed
        Pixmap pm = Pixmap_Create(2047, h, PF_RGBA8888);
        Pixmap_WritePixel(pm, 0, 0, 0xFFFFFFFFu);
        Pixmap_WritePixel(pm, 2046, h - 1, 0xFFFFFFFFu);
        Batch_AtlasAdd(Image_FromPixmap(pm));
    };
    // Turned half a turn about (at, 100): the top rows land below the handle, the bottom ones above.
    const auto expectAt = [](int at, Rgb top, Rgb bottom, const char* when) {
        EXPECT_EQ(PixelAt(at, 102), top) << at << " " << when;
        EXPECT_EQ(PixelAt(at, 97), bottom) << at << " " << when;
    };
    const auto turned = [](const ImagePtr& img, int frame, int at) {
        Batch_Sprite(img, frame, float(at), 100, 1, 1, 180, 255, 255, 255, 255, BLEND_ALPHA);
    };
    const Rgb red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255}, magenta{255, 0, 255}, yellow{255, 255, 0},
        cyan{0, 255, 255};
    filler(2047);
    const ImagePtr x = strip({{0xFFFF0000u, 0xFF00FF00u}, {0xFF0000FFu, 0xFFFF00FFu}});
    Batch_AtlasAdd(x);
    Fill(0, 0, 0);
    turned(x, 0, 100);
    Batch_Flush();
    expectAt(100, red, green, "first drawn");
    filler(300);
    Fill(0, 0, 0);
    turned(x, 0, 100);
    Batch_Flush();
    expectAt(100, red, green, "after its page grew");
    filler(1738);
    const ImagePtr z = strip({{0xFFFFFF00u, 0xFF00FFFFu}});
    Batch_AtlasAdd(z);
    // X's second frame is first drawn now, between sprites of the newer page.
    Fill(0, 0, 0);
    turned(z, 0, 200);
    turned(x, 0, 100);
    turned(x, 1, 300);
    turned(z, 0, 400);
    Batch_Flush();
    expectAt(100, red, green, "between sprites of another page");
    expectAt(300, blue, magenta, "first drawn after another page opened");
    expectAt(200, yellow, cyan, "on the third page");
    expectAt(400, yellow, cyan, "on the third page");
}

// A page is as high as its images need on the GPU renderers: a frame's edges must still lead to its own texels when
// the coordinate is multiplied back by the height and truncated, in float or in exact arithmetic.
TEST(SpriteBatchTexels, EdgesFindTheirTexelOnPagesOfAnyHeight) {
    for (int size = 64; size <= 2048; size += 64)
        for (int texel = 0; texel <= size; ++texel) {
            const float t = Batch_TexelEdge(texel, size);
            ASSERT_LE(t, 1.0f);
            ASSERT_EQ(int(t * float(size)), texel) << texel << " of " << size;
            ASSERT_EQ(int(double(t) * size), texel) << texel << " of " << size;
        }
}

TEST_F(SpriteBatchTest, ViewportClipsTheRunsThatFollow) {
    const ImagePtr img = SolidImage(10, 10, 255, 255, 255);
    Fill(0, 0, 0);
    Batch_Sprite(img, 0, 100, 100, 1, 1, 0, 255, 255, 255, 255, BLEND_ALPHA); // drawn before the clip
    Batch_SetViewport(0, 0, 205, 600);
    Batch_Sprite(img, 0, 200, 100, 1, 1, 0, 255, 255, 255, 255, BLEND_ALPHA);
    Batch_Flush();
    Batch_SetViewport(0, 0, 800, 600);
    EXPECT_EQ(PixelAt(105, 105), (Rgb{255, 255, 255}));
    EXPECT_EQ(PixelAt(204, 105), (Rgb{255, 255, 255}));
    EXPECT_EQ(PixelAt(206, 105), (Rgb{0, 0, 0}));
}

// A sprite that reaches one pixel into the viewport is drawn there; one wholly outside it is not handed on at all.
TEST_F(SpriteBatchTest, SpritesOutsideTheViewportAreLeftOut) {
    const ImagePtr img = SolidImage(10, 10, 255, 255, 255);
    Fill(0, 0, 0);
    Batch_SetViewport(100, 100, 105, 100);
    const int64_t before = Batch_Stats().vertices;
    Batch_Sprite(img, 0, 205, 120, 1, 1, 0, 255, 255, 255, 255, BLEND_ALPHA); // right of it
    Batch_Sprite(img, 0, 90, 120, 1, 1, 0, 255, 255, 255, 255, BLEND_ALPHA);  // left of it, ending at its edge
    Batch_Sprite(img, 0, 150, 200, 1, 1, 0, 255, 255, 255, 255, BLEND_ALPHA); // below it
    EXPECT_EQ(Batch_Stats().vertices, before);
    Batch_Sprite(img, 0, 195, 191, 1, 1, 0, 255, 255, 255, 255, BLEND_ALPHA); // its bottom-right corner
    Batch_Sprite(img, 0, 91, 91, 1, 1, 0, 255, 255, 255, 255, BLEND_ALPHA);   // one pixel into its top-left
    Batch_Flush();
    Batch_SetViewport(0, 0, 800, 600);
    EXPECT_EQ(PixelAt(204, 199), (Rgb{255, 255, 255}));
    EXPECT_EQ(PixelAt(100, 100), (Rgb{255, 255, 255}));
    EXPECT_EQ(PixelAt(99, 100), (Rgb{0, 0, 0}));
    // A viewport set by the immediate drawing while the batch is empty counts as well.
    Draw_SetViewport(0, 0, 50, 50);
    const int64_t emptied = Batch_Stats().vertices;
    Batch_Sprite(img, 0, 100, 100, 1, 1, 0, 255, 255, 255, 255, BLEND_ALPHA);
    EXPECT_EQ(Batch_Stats().vertices, emptied);
    Batch_Sprite(img, 0, 45, 45, 1, 1, 0, 255, 255, 255, 255, BLEND_ALPHA);
    EXPECT_EQ(Batch_Stats().vertices, emptied + 4);
    Batch_Flush();
    Draw_SetViewport(0, 0, 800, 600);
}

// A frame packed without its transparent margin still lands where and as large as the whole frame: unscaled it
// gives the very pixels of the image drawn on its own; scaled and turned, its visible block keeps its place. Each
// frame of a strip keeps its own offset, and a blank frame draws nothing.
TEST_F(SpriteBatchTest, TrimmedAtlasFramesDrawWhereTheWholeFrameWould) {
    // Two 16 x 16 frames: a 3 x 2 block at (9, 4) in the first, at (0, 13) in the second (on the frame's edge, so
    // no margin there); a third frame blank. Handle at the centre.
    Pixmap pm = Pixmap_Create(48, 16, PF_RGBA8888);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            Pixmap_WritePixel(pm, 9 + x, 4 + y, 0xFFFF8000u);
            Pixmap_WritePixel(pm, 16 + x, 13 + y, 0x8000FF00u);
        }
    const ImagePtr strip = Image_FromPixmapAnim(pm, 16, 16, 0, 3);
    Image_SetHandle(strip, 8, 8);
    Batch_AtlasAdd(strip);
    ASSERT_TRUE(Batch_InAtlas(strip));
    // Unscaled at (50, 50), in both blends: exactly the block's pixels change, at the frame's top-left (42, 42) plus
    // the block's place in the frame.
    struct Block {
        int frame, x, y;
    };
    for (const Block& blk : {Block{0, 42 + 9, 42 + 4}, Block{1, 42, 42 + 13}}) {
        for (const int blend : {BLEND_ALPHA, BLEND_ADDITIVE}) {
            Fill(20, 40, 60);
            Batch_Sprite(strip, blk.frame, 50, 50, 1, 1, 0, 255, 255, 255, 255, blend);
            Batch_Flush();
            const Pixmap got = Graphics_ReadPixels(0, 0, 100, 100);
            int wrong = 0;
            for (int y = 0; y < 100; ++y)
                for (int x = 0; x < 100; ++x) {
                    const bool inBlock = x >= blk.x && x < blk.x + 3 && y >= blk.y && y < blk.y + 2;
                    const bool changed = (Pixmap_ReadPixel(got, x, y) & 0xFFFFFFu) != 0x14283Cu;
                    wrong += inBlock != changed;
                }
            EXPECT_EQ(wrong, 0) << "frame " << blk.frame << " blend " << blend;
        }
    }
    // Scaled 3 about the handle (42, 42)...(90, 90): frame 0's block at 42 + 3 * 9 = 69..77, 42 + 3 * 4 = 54..60.
    Fill(0, 0, 0);
    Batch_Sprite(strip, 0, 66, 66, 3, 3, 0, 255, 255, 255, 255, BLEND_ALPHA);
    Batch_Flush();
    EXPECT_NEAR(PixelAt(73, 57).r, 255, 2);
    EXPECT_NEAR(PixelAt(73, 57).g, 128, 2);
    EXPECT_EQ(PixelAt(66, 57), (Rgb{0, 0, 0}));
    // The block's first column fades in from the transparent texel beside it, as the whole frame's stretch did.
    EXPECT_GT(PixelAt(69, 57).r, 100);
    EXPECT_LT(PixelAt(69, 57).r, 230);
    EXPECT_EQ(PixelAt(80, 57), (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelAt(73, 51), (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelAt(73, 63), (Rgb{0, 0, 0}));
    // Turned half a turn about the handle at (150, 50): texel (u, v) lands at (158 - u, 58 - v), the block's middle
    // (10.5, 4.5) at (147.5, 53.5).
    Fill(0, 0, 0);
    Batch_Sprite(strip, 0, 150, 50, 1, 1, 180, 255, 255, 255, 255, BLEND_ALPHA);
    Batch_Flush();
    EXPECT_EQ(PixelAt(147, 53), (Rgb{255, 128, 0}));
    EXPECT_EQ(PixelAt(152, 53), (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelAt(147, 46), (Rgb{0, 0, 0}));
    // The blank frame adds nothing at all.
    Batch_ResetStats();
    Batch_Sprite(strip, 2, 50, 50, 1, 1, 0, 255, 255, 255, 255, BLEND_ALPHA);
    Batch_Sprite(strip, 2, 50, 50, 2, 2, 45, 255, 255, 255, 255, BLEND_ALPHA);
    Batch_Flush();
    EXPECT_EQ(Batch_Stats().quads, 0);
}

// What lies under a sprite or line is drawn again in its box before it (the game's kept pieces): every pixel a draw
// changes lies in the box, for trimmed atlas frames and whole pictures, scaled, shrunk, turned, mirrored and at
// fractions of a pixel, and for lines along the axes and across them.
TEST_F(SpriteBatchTest, EveryPixelADrawChangesLiesInItsBox) {
    Pixmap pm = Pixmap_Create(32, 16, PF_RGBA8888);
    for (int y = 3; y < 11; ++y)
        for (int x = 5; x < 12; ++x)
            Pixmap_WritePixel(pm, x, y, 0xFFFFFFFFu); // frame 0: a block off the frame's centre, in the atlas trimmed
    for (int x = 16; x < 32; ++x)
        Pixmap_WritePixel(pm, x, 14, 0x60FFFFFFu); // frame 1: a faint row near the frame's edge
    const ImagePtr strip = Image_FromPixmapAnim(pm, 16, 16, 0, 2);
    Image_SetHandle(strip, 8, 8);
    Batch_AtlasAdd(strip);
    const ImagePtr whole = SolidImage(5, 3, 255, 255, 255); // on its own texture
    Image_SetHandle(whole, 1, 2);
    struct Draw {
        const ImagePtr* img; // null: a line from (x, y) to (x2, y2)
        int frame;
        float x, y, sx, sy, rot, x2, y2;
    };
    const Draw draws[] = {
        {&strip, 0, 50.5f, 50.25f, 1, 1, 0, 0, 0},   {&strip, 0, 50.7f, 50.9f, 2.6f, 1.3f, 0, 0, 0},
        {&strip, 0, 50, 50, 0.37f, 0.41f, 0, 0, 0},  {&strip, 0, 50.3f, 50.6f, 1.8f, 1.8f, 33, 0, 0},
        {&strip, 0, 50, 50, -1, 1, 0, 0, 0},         {&strip, 0, 50.5f, 50.5f, -1.5f, -2, 250, 0, 0},
        {&strip, 1, 50.2f, 50.8f, 3, 3, 0, 0, 0},    {&strip, 1, 50, 50, 2, 2, 45, 0, 0},
        {&whole, 0, 50.6f, 50.4f, 1, 1, 0, 0, 0},    {&whole, 0, 50, 50, 4.3f, 2.2f, 17, 0, 0},
        {nullptr, 0, 40, 50, 0, 0, 0, 60, 50},       {nullptr, 0, 50.7f, 40.2f, 0, 0, 0, 50.7f, 61.9f},
        {nullptr, 0, 40.5f, 41, 0, 0, 0, 61, 58.5f}, {nullptr, 0, 61.5f, 59.2f, 0, 0, 0, 61.5f, 40.7f},
    };
    for (size_t i = 0; i < std::size(draws); ++i) {
        const Draw& d = draws[i];
        Fill(0, 0, 0);
        Rect box;
        if (d.img) {
            box = Batch_SpriteBox(*d.img, d.frame, d.x, d.y, d.sx, d.sy, d.rot);
            Batch_Sprite(*d.img, d.frame, d.x, d.y, d.sx, d.sy, d.rot, 255, 255, 255, 255, BLEND_ADDITIVE);
        } else {
            box = Batch_LineBox(d.x, d.y, d.x2, d.y2);
            Batch_Line(d.x, d.y, d.x2, d.y2, 255, 255, 255, 255, BLEND_ADDITIVE);
        }
        Batch_Flush();
        const Pixmap got = Graphics_ReadPixels(0, 0, 100, 100);
        int outside = 0, changed = 0, l = 100, t = 100, r = -1, b = -1; // the changed pixels' bounds
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                if (Pixmap_ReadPixel(got, x, y) & 0xFFFFFFu) {
                    ++changed;
                    outside += x < box.x || y < box.y || x >= box.x + box.w || y >= box.y + box.h;
                    l = std::min(l, x), t = std::min(t, y), r = std::max(r, x), b = std::max(b, y);
                }
        ASSERT_GT(changed, 0) << "draw " << i;
        EXPECT_EQ(outside, 0) << "draw " << i;
        // A box much larger than the draw would only cost pixels; a turned quad's box has empty corners.
        EXPECT_LE(int64_t(box.w) * box.h, 4 * int64_t(r - l + 3) * (b - t + 3)) << "draw " << i;
    }
    // Draws that draw nothing have no box.
    EXPECT_EQ(Batch_SpriteBox(strip, 2, 50, 50, 1, 1, 0).w, 0);
    EXPECT_EQ(Batch_SpriteBox(strip, 0, 50, 50, 0, 1, 0).w, 0);
    EXPECT_EQ(Batch_SpriteBox(nullptr, 0, 50, 50, 1, 1, 0).w, 0);
}

// Pages painted ahead (a screen's first frame) are painted for the renderer's own path: the first sprite drawn from
// them later makes no texture, fills none and decodes nothing.
TEST_F(SpriteBatchTest, PreparedPagesAreNotPaintedAgainAtTheFirstDraw) {
    const ImagePtr img = SolidImage(6, 6, 255, 255, 255);
    Batch_AtlasAdd(img);
    Fill(0, 0, 0);
    Batch_PreparePages();
    FrameTally_Reset();
    Batch_Sprite(img, 0, 30, 30, 1, 1, 0, 255, 255, 255, 255, BLEND_ALPHA);
    Batch_Flush();
    EXPECT_EQ(Frame_Tally.texturesMade, 0);
    EXPECT_EQ(Frame_Tally.uploads, 0);
    EXPECT_EQ(Frame_Tally.decodes, 0);
    EXPECT_EQ(PixelAt(31, 31), (Rgb{255, 255, 255}));
}

// A sprite wholly beneath the cover (what an opaque dialog paints over) is not blended; a stretched one reaching to
// within a pixel of its edge, or across it, is drawn whole; without a cover everything is drawn again.
TEST_F(SpriteBatchTest, SpritesWhollyBeneathTheCoverAreLeftOut) {
    const ImagePtr img = SolidImage(10, 10, 255, 255, 255);
    Batch_AtlasAdd(img);
    Fill(0, 0, 0);
    Batch_SetCover(Rect{100, 100, 200, 100});                                        // 100..299 x 100..199
    Batch_Sprite(img, 0, 101, 101, 2, 2, 0, 255, 255, 255, 255, BLEND_ADDITIVE);     // 101..120: a pixel to spare
    Batch_Sprite(img, 0, 200, 150, 1.5f, 1.5f, 30, 255, 255, 255, 255, BLEND_ALPHA); // turned, well inside
    Batch_Sprite(img, 0, 279, 179, 2, 2, 0, 255, 255, 255, 255, BLEND_ALPHA);        // 279..298 x 179..198
    Batch_Sprite(img, 0, 100, 150, 2, 2, 0, 255, 0, 0, 255, BLEND_ALPHA);            // touches the left edge
    Batch_Sprite(img, 0, 280, 120, 2, 2, 0, 0, 255, 0, 255, BLEND_ALPHA);            // 280..299: the right edge
    Batch_Sprite(img, 0, 150, 195, 2, 2, 0, 0, 0, 255, 255, BLEND_ALPHA);            // across the bottom edge
    Batch_Flush();
    EXPECT_EQ(PixelAt(110, 110), (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelAt(200, 150), (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelAt(290, 190), (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelAt(101, 155), (Rgb{255, 0, 0}));
    EXPECT_EQ(PixelAt(298, 125), (Rgb{0, 255, 0}));
    EXPECT_EQ(PixelAt(152, 197), (Rgb{0, 0, 255}));
    EXPECT_EQ(PixelAt(152, 202), (Rgb{0, 0, 255}));
    Batch_SetCover(Rect{});
    Batch_Sprite(img, 0, 200, 150, 1, 1, 0, 255, 255, 255, 255, BLEND_ALPHA);
    Batch_Flush();
    EXPECT_EQ(PixelAt(200, 150), (Rgb{255, 255, 255}));
}

// A turned or copied sprite across the cover's edge changes only the pixels around the cover, and those exactly as
// without a cover; a stretched one is drawn whole (its pixels depend on its clip).
TEST_F(SpriteBatchTest, SpritesAcrossTheCoverEdgeKeepTheirPixelsAroundIt) {
    Pixmap pm = Pixmap_Create(12, 12, PF_RGBA8888);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            Pixmap_WritePixel(pm, x, y, 0xFF000000u | uint32_t(x * 20) << 16 | uint32_t(y * 20) << 8 | 0x80u);
    const ImagePtr img = Image_FromPixmap(pm);
    Image_SetHandle(img, 6, 6);
    Batch_AtlasAdd(img);
    const Rect cover{100, 100, 200, 100};
    const auto draw = [&] {
        Fill(10, 20, 30);
        Batch_Sprite(img, 0, 100, 150, 1, 1, 30, 255, 255, 255, 255, BLEND_ALPHA);      // turned, across the left edge
        Batch_Sprite(img, 0, 300, 120, 1, 1, 0, 255, 255, 255, 200, BLEND_ADDITIVE);    // a copy across the right edge
        Batch_Sprite(img, 0, 150, 200, 1, 1, 45, 255, 255, 255, 255, BLEND_ALPHA);      // turned, across the bottom
        Batch_Sprite(img, 0, 200, 100, 2.5f, 2.5f, 0, 255, 255, 255, 255, BLEND_ALPHA); // stretched across the top
        Batch_Flush();
        return Graphics_ReadPixels(0, 0, 400, 300);
    };
    const Pixmap whole = draw();
    Batch_SetCover(cover);
    const Pixmap around = draw();
    Batch_SetCover(Rect{});
    int outsideDiffer = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) {
            const bool inside = x >= cover.x && x < cover.x + cover.w && y >= cover.y && y < cover.y + cover.h;
            if (!inside) outsideDiffer += Pixmap_ReadPixel(whole, x, y) != Pixmap_ReadPixel(around, x, y);
        }
    EXPECT_EQ(outsideDiffer, 0);
    EXPECT_NE(Pixmap_ReadPixel(whole, 103, 150), Pixmap_ReadPixel(around, 103, 150)) << "turned: not blended inside";
    EXPECT_EQ(Pixmap_ReadPixel(around, 103, 150) & 0xFFFFFFu, 0x0A141Eu);
    EXPECT_EQ(Pixmap_ReadPixel(around, 297, 120) & 0xFFFFFFu, 0x0A141Eu) << "copy: not blended inside";
    EXPECT_EQ(Pixmap_ReadPixel(around, 200, 110), Pixmap_ReadPixel(whole, 200, 110)) << "stretched: drawn whole";
    EXPECT_NE(Pixmap_ReadPixel(around, 200, 110) & 0xFFFFFFu, 0x0A141Eu);
}

} // namespace
