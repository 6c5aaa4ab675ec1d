// Frame cost of the effects on the CPU: the effect list, its passes, the particles and the map effects drawing into
// the sprite batch without a window (vertices built and runs counted, nothing rasterised). Each benchmark reports
// live objects, vertices and geometry calls (flushes) per frame. Fixed seed, fixed frame rate per run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>

#include "board/board.h"
#include "board/rules.h"
#include "effects/effects.h"
#include "effects/fx_draw.h"
#include "effects/fx_internal.h"
#include "main/assets.h"
#include "platform/incbin.h"
#include "platform/random.h"
#include "platform/sprite_batch.h"

namespace {

void Setup(int fps) {
    static const bool ready = [] {
        Incbin_RegisterBuiltin();
        Particles_InitTables();
        EffectImages_Load();
        Tilesets_Load();
        Tilesets_LoadImages();
        Tile_Empty = Asset_LoadImage(u"Images/tiles/tile_empty.png");
        return true;
    }();
    (void)ready;
    Fx_SetSink(nullptr); // the sprite batch
    Frame_DeltaMs = std::clamp(1000.0f / float(fps), kFrameMinMs, kFrameMaxMs);
    Frame_DeltaSec = 1.0f / float(fps);
    Fps_Instant = fps;
    LowFps_Mode = 0;
    Effects_Clear();
    Particles_Reset();
    Effects_Cap = Effects_DefaultCap;
    Effects_Dropped = 0;
    Rand_Seed(2024);
    Batch_ResetStats();
}

// A w x h picture (RGB) whose pixel (x, y) is pixel(x, y), as 0xAARRGGBB.
ImagePtr MakeImage(int w, int h, uint32_t (*pixel)(int x, int y)) {
    Pixmap pm = Pixmap_Create(w, h, PF_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            Pixmap_WritePixel(pm, x, y, pixel(x, y));
    return Image_FromPixmap(pm);
}

void Board(int cols, int rows) {
    Board_Reset();
    Board_Cols = cols;
    Board_Rows = rows;
    Board_Layout();
    LevelEnd_Tileset = 0;
    for (int i = 0; i < 4; ++i)
        LevelEnd_Tiles[i] = i;
}

// Counters of one measured frame.
struct Frame {
    BatchStats before;
    void Start() { before = Batch_Stats(); }
    void Report(benchmark::State& state, double frames) const {
        const BatchStats now = Batch_Stats();
        state.counters["live"] = double(Effects_LiveCount());
        state.counters["mapfx"] = double(MapEffects_List.size());
        state.counters["particles"] = double(Particle_Count);
        state.counters["vertices"] = double(now.vertices - before.vertices) / frames;
        state.counters["flushes"] = double(now.flushes - before.flushes) / frames;
        state.counters["dropped"] = double(Effects_Dropped);
    }
};

// The measured loop, one frame an iteration: before it, outside the timing, `refill` when `needed` says so (what
// the frames use up comes back); then `step`. Reports the counters per frame.
template <class Needed, class Refill, class Step>
void MeasureFrames(benchmark::State& state, Needed needed, Refill refill, Step step) {
    Frame frame;
    frame.Start();
    double frames = 0;
    for (auto _ : state) {
        if (needed()) {
            state.PauseTiming();
            refill();
            state.ResumeTiming();
        }
        step();
        ++frames;
    }
    frame.Report(state, frames);
}
constexpr auto kAlways = [] { return true; };
constexpr auto kNever = [] { return false; };
constexpr auto kNothing = [] {};

// A frame of a won level's end in its effects phase, as the level-end screen makes it: stars, tile rings, a flying
// title, one colour trail emitter at a cell and the you-win dissolve; update, the two layers, the map effects.
void LevelEndFrame() {
    Gfx_Kind11Ring();
    Gfx_Kind12Ring();
    Gfx_Kind15Burst();
    const int c = Rand_Int(0, Board_Cols - 1), r = Rand_Int(0, Board_Rows - 1);
    Gfx_Kind40Burst(Cell_PixelX(c), Cell_PixelY(r), 0, 10);
    MapEffect_AddAnimated(400, 250, 1.6f);
    Effects_UpdateAll();
    Effects_DrawBehind();
    MapEffects_RunAll();
    Effects_DrawAbove();
}

void BM_Fx_LevelEnd(benchmark::State& state) {
    Setup(int(state.range(0)));
    Board(48, 48);
    Gfx_LevelEndTiles();
    for (int f = 0; f < 600; ++f)
        LevelEndFrame();
    MeasureFrames(state, kNever, kNothing, LevelEndFrame);
}
BENCHMARK(BM_Fx_LevelEnd)->Arg(60)->Arg(200)->Unit(benchmark::kMillisecond);

// One cell of every creator a full-board blast fires, over the whole board, and both hammer-260 bursts. On 48 x 48 it
// runs into the cap.
void BoardWipe() {
    Match_Count = 0;
    for (int c = 0; c < Board_Cols; ++c)
        for (int r = 0; r < Board_Rows; ++r) {
            const float x = Cell_PixelX(c), y = Cell_PixelY(r);
            const int cx = int(x) + Cell_HalfWidth, cy = int(y) + Cell_HalfHeight;
            Gfx_BurstAtCell(x, y, 0.1f);
            Gfx_RemovedPieceBurst(x, y, 0.1f);
            Gfx_DestroySparks(cx, cy);
            Gfx_ExplosionSparks(cx, cy);
            Gfx_ExplosionRays(cx, cy);
            Gfx_Explosion16(cx, cy);
            Match_List[Match_Count++] = Point{c, r};
        }
    Match_Kind = 3;
    Gfx_MatchTrail(1.0f, 3);
    static const ImagePtr lit = MakeImage(128, 128, [](int, int) { return 0xFFFFFFFFu; });
    Particles_FromImage(lit, nullptr, Particle_NewFromPixel, Particle_Step, 4, 10, 40, 1, Fx_Img.spark6, 32, 1, 30);
    Particles_FromImage(lit, nullptr, Particle_NewFromPixel2, Particle_Step, 2, 10, 40, 1, Fx_Img.spark1, 0, 0.4f, 30);
}

// Thread CPU time in seconds: a frame's own cost, without the time other processes took the core away.
double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

void GameFrame() {
    Effects_UpdateAll();
    Effects_DrawBehind();
    MapEffects_RunAll();
    Effects_DrawAbove();
    Effects_DrawTop();
    Particles_Draw();
}

void BM_Fx_BoardWipe(benchmark::State& state) {
    // The worst frame of the 180 after the blast, measured in thread CPU time.
    Setup(60);
    Board(int(state.range(0)), int(state.range(1)));
    double peakVertices = 0, peakFlushes = 0, peakLive = 0;
    for (auto _ : state) {
        Effects_Clear();
        Particles_Reset();
        Rand_Seed(2024);
        BoardWipe();
        double worst = 0;
        for (int f = 0; f < 180; ++f) {
            const BatchStats before = Batch_Stats();
            const int live = Effects_LiveCount();
            const double t0 = CpuSeconds();
            GameFrame();
            const double s = CpuSeconds() - t0;
            if (s > worst) {
                worst = s;
                const BatchStats after = Batch_Stats();
                peakVertices = double(after.vertices - before.vertices);
                peakFlushes = double(after.flushes - before.flushes);
                peakLive = live;
            }
        }
        state.SetIterationTime(worst);
    }
    state.counters["live"] = peakLive;
    state.counters["vertices"] = peakVertices;
    state.counters["flushes"] = peakFlushes;
    state.counters["dropped"] = double(Effects_Dropped);
}
BENCHMARK(BM_Fx_BoardWipe)->Args({17, 13})->Args({48, 48})->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_Particles_8000(benchmark::State& state) {
    Setup(60);
    static const ImagePtr lit = MakeImage(100, 80, [](int, int) { return 0xFFFFFFFFu; });
    const auto refill = [] {
        Particles_Reset();
        Particles_FromImage(lit, nullptr, Particle_NewFromPixel, Particle_Step, 1, 300, 250, 1, Fx_Img.spark6, 32, 1,
                            30);
        for (int i = 0; i < Particle_Count; ++i) { // flying and drifting, slow enough to stay on screen
            Particle& p = Particle_Pool[size_t(i)];
            p.state = 3 + (i & 1);
            p.alpha = 0.9f;
            p.fadeRate = 0.01f;
            p.speed = 5;
            p.acceleration = 0;
            p.gravity = 0;
        }
    };
    refill();
    const auto used = [] { return Particle_Count < Particle_Max; };
    MeasureFrames(state, used, refill, Particles_Draw);
}
BENCHMARK(BM_Particles_8000)->Unit(benchmark::kMicrosecond);

void BM_MapEffect_Scan(benchmark::State& state) {
    Setup(60);
    // about 60 % lit across the three bands
    static const ImagePtr plane = MakeImage(128, 32, [](int x, int y) {
        const int v = ((x * 7 + y * 13) % 10) < 6 ? 40 + (x * 3 + y * 5) % 215 : 0;
        return 0xFF000000u | uint32_t(v) << 16;
    });
    const auto refill = [] {
        while (MapEffects_List.size() < 70)
            MapEffect_Create(plane, 80, 200, 255, MapEffect_GlowHook, MapEffect_FlickerHook, MapEffect_SparkleHook,
                             Emitter_Nothing, 1, 100 + float(MapEffects_List.size() * 7 % 500), 200, 0, 0, 1, 0, 1, 0,
                             1, 0, 0);
    };
    MeasureFrames(state, kAlways, refill, MapEffects_RunAll);
}
BENCHMARK(BM_MapEffect_Scan)->Unit(benchmark::kMicrosecond);

void BM_Fx_Capped(benchmark::State& state) {
    Setup(60);
    Board(17, 13);
    const auto refill = [] {
        while (Effects_LiveCount() < Effects_Cap) {
            const float x = float(Rand_Int(100, 600)), y = float(Rand_Int(60, 500));
            Gfx_BurstAtCell(x, y, 0.1f);
            Gfx_RemovedPieceBurst(x, y, 0.1f);
            Gfx_ExplosionSparks(int(x), int(y));
            Gfx_Explosion16(int(x), int(y));
            Gfx_Sparks(int(x), int(y));
            Gfx_Kind25Circle(int(x), int(y));
            Gfx_Kind40Burst(x, y, 0.05f, 10);
        }
    };
    refill();
    MeasureFrames(state, kAlways, refill, [] {
        Effects_UpdateAll();
        Effects_DrawBehind();
        Effects_DrawAbove();
        Effects_DrawTop();
    });
}
BENCHMARK(BM_Fx_Capped)->Unit(benchmark::kMillisecond);

} // namespace
