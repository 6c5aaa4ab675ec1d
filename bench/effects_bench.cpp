// Frame cost of the effects on the CPU: the effect list, its passes, the particles and the map effects drawing into
// the sprite batch without a window (vertices built and runs counted, nothing rasterised). The scenarios (the level
// end, a cascade, the fireball, the whole-board blast at the cap) report the update pass and the draw submission
// apart, as their means and their worst frame's, with an effect object's size and the pool's; the others live
// objects, vertices and geometry calls per frame.
// Fixed seed, fixed frame rate per run. bench/frame_budgets.sh reads the scenarios' counters.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>

#include "bench_helpers.h"
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
constexpr auto kNothing = [] {};

// Thread CPU time in seconds: a frame's own cost, without the time other processes took the core away.
double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Which layers a screen draws: the game screen all three, the level end layer 10 only in its effects phase.
struct Layers {
    bool above = true, top = true;
};

// One frame of the effects as a screen runs them, timed in two parts: the update pass, and the submission (the
// layer passes, the map effects and the particles, everything that hands sprites to the batch).
struct FrameSplit {
    double update = 0, submit = 0;
    double Total() const { return update + submit; }
};
FrameSplit TimedFrame(Layers layers) {
    FrameSplit s;
    const double t0 = CpuSeconds();
    Effects_UpdateAll();
    const double t1 = CpuSeconds();
    Effects_DrawBehind();
    MapEffects_RunAll();
    if (layers.above) Effects_DrawAbove();
    if (layers.top) Effects_DrawTop();
    Particles_Draw();
    s.update = t1 - t0;
    s.submit = CpuSeconds() - t1;
    return s;
}

// The frames of one scenario: the mean of each part over every frame, and the worst frame (by the sum of its
// parts) of each iteration, averaged over the iterations; the most live objects and the vertices of a worst frame.
struct Measured {
    FrameSplit sum, worstSum;
    int frames = 0, iterations = 0;
    double peakLive = 0, worstVertices = 0;
    FrameSplit worst; // of the current iteration
    double vertices = 0;
    void Add(const FrameSplit& f, double v) {
        sum.update += f.update;
        sum.submit += f.submit;
        ++frames;
        peakLive = std::max(peakLive, double(Effects_LiveCount()));
        if (f.Total() > worst.Total()) {
            worst = f;
            vertices = v;
        }
    }
    // Ends an iteration; returns its worst frame's time.
    double EndIteration() {
        worstSum.update += worst.update;
        worstSum.submit += worst.submit;
        worstVertices = std::max(worstVertices, vertices);
        ++iterations;
        const double t = worst.Total();
        worst = FrameSplit{};
        return t;
    }
    // Counters in ms; the worst frame's parts add up to the benchmark's time.
    void Report(benchmark::State& state) const {
        const double n = frames ? double(frames) : 1.0, k = iterations ? double(iterations) : 1.0;
        state.counters["update_mean_ms"] = sum.update / n * 1e3;
        state.counters["submit_mean_ms"] = sum.submit / n * 1e3;
        state.counters["update_worst_ms"] = worstSum.update / k * 1e3;
        state.counters["submit_worst_ms"] = worstSum.submit / k * 1e3;
        state.counters["live_peak"] = peakLive;
        state.counters["vertices_worst"] = worstVertices;
        state.counters["dropped"] = double(Effects_Dropped);
        state.counters["obj_bytes"] = double(sizeof(Gfx_Obj));
        state.counters["pool_mb"] = double(Effects_List.capacity() * sizeof(Gfx_Obj)) / 1e6;
    }
};

// Runs `frames` frames of a scenario: before each, `make(f)` calls the creators the screen calls in frame f and
// tells which layers the screen draws. Each iteration starts afresh (seed, empty lists) with `start`; its time is
// that of its worst frame.
template <class Start, class Make> void MeasureScenario(benchmark::State& state, int frames, Start start, Make make) {
    Measured m;
    const auto run = [&] {
        Effects_Clear();
        Particles_Reset();
        Rand_Seed(2024);
        start();
        for (int f = 0; f < frames; ++f) {
            const Layers layers = make(f);
            const BatchStats before = Batch_Stats();
            const FrameSplit s = TimedFrame(layers);
            m.Add(s, double(Batch_Stats().vertices - before.vertices));
        }
        return m.EndIteration();
    };
    run(); // untimed: the batch's buffers grow to the scenario's size once, as they stay in the game
    m = Measured{};
    for (auto _ : state)
        state.SetIterationTime(run());
    m.Report(state);
}

// ---- The level end of a won level on a full 48 x 48 board, from its first frame through the count-up (1.5 s),
// the effects above the board (1 s) and 5 s of the level-won dialog over it, where the sky is at its fullest. Every
// frame calls what the level-end frame calls: stars, tile rings, the flying titles (once more on a phase's last
// frame), in the effects phase a colour trail burst at a random cell, and the you-win dissolve until the dialog.
void BM_Fx_LevelEnd(benchmark::State& state) {
    const int fps = int(state.range(0));
    Setup(fps);
    Board(48, 48);
    const int count = fps * 3 / 2, effects = count + fps, all = effects + fps * 5;
    MeasureScenario(state, all, Gfx_LevelEndTiles, [=](int f) {
        const int phase = f < count ? 0 : f < effects ? 1 : 2;
        Gfx_Kind11Ring();
        Gfx_Kind12Ring();
        Gfx_Kind15Burst();
        if (phase == 1) {
            const int c = Rand_Int(0, Board_Cols - 1), r = Rand_Int(0, Board_Rows - 1);
            Gfx_Kind40Burst(Cell_PixelX(c), Cell_PixelY(r), 0, 10);
        }
        if (f == count - 1 || f == effects - 1) Gfx_Kind15Burst();
        if (phase < 2) MapEffect_AddAnimated(400, 250, 1.6f);
        return Layers{phase == 1, false};
    });
}
BENCHMARK(BM_Fx_LevelEnd)->Arg(60)->Arg(200)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// ---- A cascade on a 17 x 13 board: for 3 s a group of three to five gems goes every 200 ms (their glows, shards
// and destroy sparks, the new special piece's flash now and then, a bomb every second), the charge comets of each
// match flying to the hammers.
void BM_Fx_Cascade(benchmark::State& state) {
    Setup(60);
    Board(17, 13);
    MeasureScenario(state, 180, kNothing, [](int f) {
        if (f % 12 == 0) {
            Match_Count = 0;
            const int c = Rand_Int(0, Board_Cols - 5), r = Rand_Int(0, Board_Rows - 1), n = Rand_Int(3, 5);
            for (int i = 0; i < n; ++i) {
                const float x = Cell_PixelX(c + i), y = Cell_PixelY(r);
                Gfx_RemovedPieceBurst(x, y, 0.1f);
                Gfx_BurstAtCell(x, y, 0.1f);
                Match_List[Match_Count++] = Point{c + i, r};
            }
            if (n >= 4) Gfx_Kind22Burst(Cell_PixelX(c), Cell_PixelY(r), n >= 5 ? 0.2f : 0.1f);
            Match_Kind = 1;
            Gfx_MatchTrail(0.8f, 4);
        }
        if (f % 12 == 6) // the pieces of the last group have faded and leave the board
            for (int i = 0; i < 3; ++i)
                Gfx_DestroySparks(int(Cell_PixelX(Rand_Int(0, 16))) + Cell_HalfWidth,
                                  int(Cell_PixelY(Rand_Int(0, 12))) + Cell_HalfHeight);
        if (f % 60 == 30) {
            const int cx = int(Cell_PixelX(8)) + Cell_HalfWidth, cy = int(Cell_PixelY(6)) + Cell_HalfHeight;
            Gfx_ExplosionSparks(cx, cy);
            Gfx_ExplosionRays(cx, cy);
            Gfx_Explosion16(cx, cy);
        }
        return Layers{};
    });
}
BENCHMARK(BM_Fx_Cascade)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// ---- The fireball cast in the middle of a 17 x 13 board, flying all eight ways: 2 s after the cast.
void BM_Fx_Fireball(benchmark::State& state) {
    Setup(60);
    Board(17, 13);
    const float x = Cell_PixelX(8) + Cell_CentreOffsetX(), y = Cell_PixelY(6) + Cell_CentreOffsetY();
    const float scale = 2.0f * float(Cell_Width) / 64.0f;
    MeasureScenario(
        state, 120,
        [=] {
            for (int d = 0; d < 8; ++d)
                MapEffect_Fireball(x, y, d * 45, scale);
        },
        [](int) { return Layers{}; });
}
BENCHMARK(BM_Fx_Fireball)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// ---- One cell of every creator a full-board blast fires, over the whole board, and both hammer-260 bursts: both
// boards run into the cap (25 000 objects). The 180 frames after the blast; the worst of them is the budget's frame.
void BoardWipe() {
    BenchBoard_BlastEveryCell(true);
    Match_Kind = 3;
    Gfx_MatchTrail(1.0f, 3);
    static const ImagePtr lit = MakeImage(128, 128, [](int, int) { return 0xFFFFFFFFu; });
    Particles_FromImage(lit, nullptr, Particle_NewFromPixel, Particle_Step, 4, 10, 40, 1, Fx_Img.spark6, 32, 1, 30);
    Particles_FromImage(lit, nullptr, Particle_NewFromPixel2, Particle_Step, 2, 10, 40, 1, Fx_Img.spark1, 0, 0.4f, 30);
}

void BM_Fx_BoardWipe(benchmark::State& state) {
    Setup(60);
    Board(int(state.range(0)), int(state.range(1)));
    MeasureScenario(state, 180, BoardWipe, [](int) { return Layers{}; });
}
BENCHMARK(BM_Fx_BoardWipe)
    ->Args({17, 13})
    ->Args({48, 48})
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

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
