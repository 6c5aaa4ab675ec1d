// The probe's yardstick: the least an SDL2 game of our size can cost on a machine. It opens the same 800 x 600
// resizable window with the same renderer flags as the game, makes one 800 x 600 texture once and copies it to the
// window every frame at 60 Hz, and prints the same BQ_PERF lines as the game, so bq_perfprobe measures both the same
// way. Needs nothing but SDL2.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

constexpr int kWidth = 800, kHeight = 600;
constexpr uint64_t kFrameNs = 1000000000ull / 60;

uint64_t ClockNs(clockid_t id) {
    timespec ts{};
    clock_gettime(id, &ts);
    return uint64_t(ts.tv_sec) * 1000000000ull + uint64_t(ts.tv_nsec);
}

uint64_t g_launchNs = 0; // BQ_PERF's launch time

// The game's "perf phase=" line, so the two ways to the first frame can be compared step by step.
void Phase(const char* name) {
    if (!std::getenv("BQ_PERF")) return;
    std::printf("perf phase=%s t_ms=%.3f cpu_ms=%.3f\n", name, double(ClockNs(CLOCK_MONOTONIC) - g_launchNs) / 1e6,
                double(ClockNs(CLOCK_PROCESS_CPUTIME_ID)) / 1e6);
}

} // namespace

int main(int, char**) {
    const char* perf = std::getenv("BQ_PERF");
    uint64_t launchNs = perf ? std::strtoull(perf, nullptr, 10) : 0;
    g_launchNs = launchNs ? launchNs : ClockNs(CLOCK_MONOTONIC);
    Phase("process");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "baseline: no video: %s\n", SDL_GetError());
        return 1;
    }
    Phase("video");
    SDL_Window* window = SDL_CreateWindow("Brisquel 2", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kWidth, kHeight,
                                          SDL_WINDOW_RESIZABLE);
    SDL_Renderer* renderer =
        window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC) : nullptr;
    Phase("renderer");
    SDL_Texture* picture =
        renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, kWidth, kHeight)
                 : nullptr;
    if (!picture) {
        std::fprintf(stderr, "baseline: no window, renderer or texture: %s\n", SDL_GetError());
        return 1;
    }
    { // a gradient, so the copy is not of one colour
        std::vector<uint32_t> px(size_t(kWidth) * kHeight);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                px[size_t(y) * kWidth + size_t(x)] =
                    0xff000000u | uint32_t(x * 255 / kWidth) << 16 | uint32_t(y * 255 / kHeight) << 8 | 0x40u;
        SDL_UpdateTexture(picture, nullptr, px.data(), kWidth * 4);
    }
    uint64_t frames = 0, firstNs = 0, waitCpuNs = 0, next = ClockNs(CLOCK_MONOTONIC);
    for (bool running = true; running;) {
        for (SDL_Event e; SDL_PollEvent(&e);)
            if (e.type == SDL_QUIT) running = false;
        SDL_RenderCopy(renderer, picture, nullptr, nullptr);
        SDL_RenderPresent(renderer);
        const uint64_t now = ClockNs(CLOCK_MONOTONIC);
        if (launchNs == 0 || launchNs > now) launchNs = now;
        if (frames == 0) Phase("first_flip");
        if (frames++ == 0) firstNs = now - launchNs;
        // 60 Hz: sleep to the next tick, or start again from now when a frame ran late.
        const uint64_t cpu = ClockNs(CLOCK_THREAD_CPUTIME_ID);
        next += kFrameNs;
        if (next > now) {
            const timespec ts{time_t((next - now) / 1000000000ull), long((next - now) % 1000000000ull)};
            nanosleep(&ts, nullptr);
        } else {
            next = now;
        }
        waitCpuNs += ClockNs(CLOCK_THREAD_CPUTIME_ID) - cpu;
        if (perf && frames % 60 == 0) {
            std::printf("perf frames=%llu t_ms=%.3f first_frame_ms=%.3f process_cpu_ms=%.3f main_cpu_ms=%.3f "
                        "wait_cpu_ms=%.3f\n",
                        static_cast<unsigned long long>(frames), double(ClockNs(CLOCK_MONOTONIC) - launchNs) / 1e6,
                        double(firstNs) / 1e6, double(ClockNs(CLOCK_PROCESS_CPUTIME_ID)) / 1e6,
                        double(ClockNs(CLOCK_THREAD_CPUTIME_ID)) / 1e6, double(waitCpuNs) / 1e6);
            std::fflush(stdout);
        }
    }
    SDL_DestroyTexture(picture);
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
