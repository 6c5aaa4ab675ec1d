// Image particles and map effects: which pixels emit, the pool cap and count shrink, bands and sweeps, the end hook,
// the countdown, angles out of range and missing sources.
#include <algorithm>
#include <array>
#include <functional>
#include <string>

#include "effects/fx_helpers.h"
#include "main/runtime.h"

namespace {

std::string Stdout(const std::function<void()>& f) {
    testing::internal::CaptureStdout();
    f();
    return testing::internal::GetCapturedStdout();
}

using ParticleTest = FxTest;
using MapTest = FxTest;

// An RGB image of w x h whose pixel (x, y) gets the colour f(x, y) (0xRRGGBB); alpha a everywhere.
template <class F> ImagePtr Picture(int w, int h, F f, uint32_t a = 255) {
    Pixmap pm = Pixmap_Create(w, h, PF_RGBA8888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            Pixmap_WritePixel(pm, x, y, a << 24 | f(x, y));
    return Image_FromPixmap(pm);
}

TEST_F(ParticleTest, OnlyTheRedOfVisiblePixelsEmits) {
    const ImagePtr img = Picture(4, 1, [](int x, int) {
        return std::array<uint32_t, 4>{0xFF0000, 0x00FF00, 0x0000FF, 0x010000}[size_t(x)];
    });
    Particles_FromImage(img, nullptr, Particle_NewFromPixel, Particle_Step, 1, 0, 0, 1, Fx_Img.spark1, 0, 1, 30);
    EXPECT_EQ(Particle_Count, 2);
    Particles_Reset();
    const ImagePtr clear = Picture(
        8, 8, [](int, int) { return 0xFF0000u; }, 0);
    Particles_FromImage(clear, nullptr, Particle_NewFromPixel, Particle_Step, 1, 0, 0, 1, Fx_Img.spark1, 0, 1, 30);
    EXPECT_EQ(Particle_Count, 0);
}

TEST_F(ParticleTest, PoolStopsAt8000AndShrinksFromTheTop) {
    const ImagePtr img = Picture(100, 100, [](int, int) { return 0xFFFFFFu; });
    Particles_FromImage(img, nullptr, Particle_NewFromPixel2, Particle_Step, 1, 100, 100, 1, Fx_Img.spark1, 0, 0.1f,
                        30);
    EXPECT_EQ(Particle_Count, 8000);
    Particles_FromImage(img, nullptr, Particle_NewFromPixel2, Particle_Step, 1, 100, 100, 1, Fx_Img.spark1, 0, 0.1f,
                        30);
    EXPECT_EQ(Particle_Count, 8000);
    Particle_Pool[7999].state = 0;
    Particle_Pool[7998].state = 0;
    Particles_Draw();
    EXPECT_EQ(Particle_Count, 7999); // one slot per frame
    for (int i = 0; i < 8000; ++i)
        Particle_Pool[size_t(i)].state = 0;
    Particles_Draw();
    EXPECT_EQ(Particle_Count, 0); // nobody alive: all at once
}

TEST_F(ParticleTest, BurstAppearsHoldsFliesAndDies) {
    const ImagePtr img = Picture(8, 8, [](int, int) { return 0xFF0000u; });
    Particles_FromImage(img, nullptr, Particle_NewFromPixel, Particle_Step, 1, 300, 300, 1, Fx_Img.spark6, 32, 1, 30);
    ASSERT_EQ(Particle_Count, 64);
    Particles_Draw();
    EXPECT_TRUE(sink.draws.empty()); // all still waiting to appear
    int frames = 0;
    bool flew = false;
    while (Particle_Count > 0 && frames < 2000) {
        sink.draws.clear();
        Particles_Draw();
        for (int i = 0; i < Particle_Count; ++i)
            flew |= Particle_Pool[size_t(i)].state >= 3;
        for (const FxDrawRec& d : sink.draws) {
            ASSERT_EQ(d.s.blend, BLEND_ADDITIVE);
            ASSERT_LT(d.frame, 32);
        }
        ++frames;
    }
    EXPECT_TRUE(flew);
    EXPECT_EQ(Particle_Count, 0);
    EXPECT_EQ(Fx.blend, BLEND_ALPHA);
}

TEST_F(ParticleTest, MissingSourceMakesNoBurstAndOneLine) {
    const std::string out = Stdout([] {
        for (int i = 0; i < 3; ++i)
            Particles_FromImage(nullptr, nullptr, Particle_NewFromPixel, Particle_Step, 4, 0, 0, 1, Fx_Img.spark1, 0, 1,
                                30);
    });
    EXPECT_EQ(Particle_Count, 0);
    EXPECT_LE(std::count(out.begin(), out.end(), '\n'), 1);
}

// ---- Map effects ----

int g_hook[4];
void H1() { ++g_hook[0]; }
void H2() { ++g_hook[1]; }
void H3() { ++g_hook[2]; }
void HEnd() { ++g_hook[3]; }

TEST_F(MapTest, BandsAndTheirEdges) {
    const uint32_t values[] = {0, 50, 80, 100, 200, 255};
    const ImagePtr img = Picture(1, 6, [&](int, int y) { return values[y] << 16; });
    std::fill(std::begin(g_hook), std::end(g_hook), 0);
    MapEffect_Create(img, 80, 200, 255, H1, H2, H3, HEnd, 1, 0, 0, 0, 0, 1, 0, 1, 0, 1, 0, 0);
    MapEffects_RunAll();
    EXPECT_EQ(g_hook[0], 1); // 50
    EXPECT_EQ(g_hook[1], 1); // 100 (80 and 200 sit on an edge: nothing)
    EXPECT_EQ(g_hook[2], 1); // 255
    EXPECT_EQ(g_hook[3], 1);
    EXPECT_FLOAT_EQ(Emitter_Value, 1.0f);
    EXPECT_TRUE(MapEffects_List.empty());
}

TEST_F(MapTest, SweepsEndOnceAtTheirStop) {
    const ImagePtr img = Picture(10, 2, [](int, int) { return 0x100000u; });
    std::fill(std::begin(g_hook), std::end(g_hook), 0);
    MapEffect_Create(img, 80, 200, 255, H1, nullptr, nullptr, HEnd, 1, 0, 0, 0, 0, 1, 0, 1, 0, 1, 0, 0.5f);
    MapEffect_Create(img, 80, 200, 255, H1, nullptr, nullptr, HEnd, 1, 0, 0, 0, 0, 1, 0, 1, 0, 1, 0, 0);
    for (int f = 0; f < 20; ++f)
        MapEffects_RunAll();
    EXPECT_EQ(g_hook[0], 5 * 2 + 10 * 2); // half the columns, then all of them: the second is not skipped
    EXPECT_EQ(g_hook[3], 2);
}

TEST_F(MapTest, CountdownHoldsTheStep) {
    const ImagePtr img = Picture(4, 4, [](int, int) { return 0x100000u; });
    std::fill(std::begin(g_hook), std::end(g_hook), 0);
    MapEffect_Create(img, 80, 200, 255, H1, nullptr, nullptr, HEnd, 1, 0, 0, 0, 0, 1, 0, 1, 0, 1, 100, 0);
    MapEffects_RunAll(); // first step at once
    EXPECT_EQ(g_hook[0], 4);
    MapEffects_RunAll(); // 100 ms to wait: nothing read
    EXPECT_EQ(g_hook[0], 4);
}

TEST_F(MapTest, AnglesAndWideImagesStayInside) {
    const ImagePtr wide = Picture(40, 8, [](int, int) { return 0x100000u; });
    std::fill(std::begin(g_hook), std::end(g_hook), 0);
    MapEffect_Create(wide, 80, 200, 255, H1, nullptr, nullptr, HEnd, 1, 100, 100, -90, 0, 1, 0, 1, 50, 1, 0, 0);
    MapEffect_Create(wide, 80, 200, 255, H1, nullptr, nullptr, HEnd, 1, 100, 100, 450, 0, 1, 0, 1, 50, 1, 0, 0);
    MapEffect_Create(wide, 80, 200, 255, H1, nullptr, nullptr, HEnd, 6, 100, 100, 0, 0, 1, 0, 1, 400, 1, 0, 0);
    MapEffects_RunAll();
    EXPECT_EQ(g_hook[3], 3);
    EXPECT_GT(g_hook[0], 0);
}

TEST_F(MapTest, MissingSourceEndsWithOneLine) {
    std::fill(std::begin(g_hook), std::end(g_hook), 0);
    const std::string out = Stdout([] {
        for (int i = 0; i < 5; ++i) {
            MapEffect_Create(nullptr, 80, 200, 255, H1, nullptr, nullptr, HEnd, 1, 0, 0, 0, 0, 1, 0, 1, 0, 1, 0, 0);
            MapEffects_RunAll();
        }
    });
    EXPECT_TRUE(MapEffects_List.empty());
    EXPECT_LE(std::count(out.begin(), out.end(), '\n'), 1);
}

TEST_F(MapTest, LevelEndDissolvesDrawThroughTheHooks) {
    MapEffect_AddAnimated(400, 300, 1.0f);
    MapEffect_AddSpinning(400, 200, 1.0f);
    ASSERT_EQ(MapEffects_List.size(), 2u);
    for (int f = 0; f < 60 && !MapEffects_List.empty(); ++f)
        MapEffects_RunAll();
    EXPECT_TRUE(MapEffects_List.empty());
    EXPECT_GT(sink.draws.size(), 200u);
    for (const FxDrawRec& d : sink.draws) {
        ASSERT_EQ(d.s.blend, BLEND_ADDITIVE);
        ASSERT_GE(d.x, 400 - 64 - 1);
        ASSERT_LE(d.x, 400 + 64);
    }
}

} // namespace
