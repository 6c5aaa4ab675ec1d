// The idle probe: starts the real game (headless on SDL's offscreen driver, and on a virtual X server when Xvfb is
// installed), lets it reach the main menu or an idle game board, and measures it sitting there: CPU seconds per
// second split into the frames' own work (update, drawing, present), the frame limiter's wait and the other threads
// (sound mixer, drivers); peak resident memory and where it lies at the end; the time to the first frame. Beside each
// kind of run it measures bq_perfbaseline (a bare SDL2 program copying one 800 x 600 texture a frame) the same way, and
// prints the goals against it. Reads the BQ_PERF lines the programs print. Run by hand, see the README's "Performance"
// section.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Options {
    std::string game;      // the executable
    double seconds = 10;   // measured time at the main menu
    double warmup = 8;     // time from the launch until the main menu is surely reached
    std::string mode = ""; // "headless", "xvfb" or "" for every mode available
    std::string baseline;  // bq_perfbaseline; empty when not found
};

// What a run starts: the game at its main menu, the game on an idle board (reached by an input script) or the
// baseline program.
enum Subject { SUBJECT_MENU, SUBJECT_BOARD, SUBJECT_BASELINE };

// From a fresh data folder: the name box (a name typed, Enter), "Start" on the main menu, the tutorial's welcome
// closed, the "Level 1" box's OK; the pointer then rests below the board, which sits idle with the tutorial's first
// hint. About 640 frames, so the measuring starts kBoardExtraWarmup seconds later than at the main menu.
constexpr const char* kBoardScript = "120 text Probe\n"
                                     "+10 key 13 press\n"
                                     "+120 click 1 680 150\n"
                                     "+150 click 1 268 572\n"
                                     "+20 click 1 138 572\n"
                                     "+60 mouse 400 392\n"
                                     "+10 click 1 400 392\n"
                                     "+60 mouse 400 392\n"
                                     "+10 click 1 400 392\n"
                                     "+60 mouse 400 560\n";
constexpr double kBoardExtraWarmup = 6;

// One BQ_PERF line of the game.
struct Sample {
    double frames = 0, tMs = 0, firstMs = 0, processMs = 0, mainMs = 0, waitMs = 0;
};

struct Run {
    std::string label;    // what was measured
    bool ok = false;      // both samples arrived
    Sample start, end;    // the measured window
    double peakRssMb = 0; // VmHWM at the end of the window
    double anonMb = 0;    // resident anonymous memory then: the heap (the GL driver's copies of textures among it)
    double fileMb = 0;    // resident file-backed memory then: code, libraries, the executable's assets
    std::string failure;  // why not ok
    std::string phases;   // the "perf phase=" lines before the first frame: the way to it, phase by phase
};

uint64_t NowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint64_t(ts.tv_sec) * 1000000000ull + uint64_t(ts.tv_nsec);
}

bool ParseSample(const std::string& line, Sample& s) {
    return std::sscanf(line.c_str(),
                       "perf frames=%lf t_ms=%lf first_frame_ms=%lf process_cpu_ms=%lf main_cpu_ms=%lf wait_cpu_ms=%lf",
                       &s.frames, &s.tMs, &s.firstMs, &s.processMs, &s.mainMs, &s.waitMs) == 6;
}

double PeakRssMb(pid_t pid) {
    FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/status").c_str(), "r");
    if (!f) return 0;
    char line[256];
    double kb = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmHWM: %lf kB", &kb) == 1) break;
    std::fclose(f);
    return kb / 1024.0;
}

// Resident memory of a process now, split into anonymous and file-backed (/proc/<pid>/smaps_rollup).
void ResidentSplit(pid_t pid, double& anonMb, double& fileMb) {
    anonMb = fileMb = 0;
    FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/smaps_rollup").c_str(), "r");
    if (!f) return;
    char line[256];
    double rss = 0, anon = 0, kb = 0;
    while (std::fgets(line, sizeof line, f)) {
        if (std::sscanf(line, "Rss: %lf kB", &kb) == 1) rss = kb;
        if (std::sscanf(line, "Anonymous: %lf kB", &kb) == 1) anon = kb;
    }
    std::fclose(f);
    anonMb = anon / 1024.0;
    fileMb = (rss - anon) / 1024.0;
}

// Ends a child: SIGTERM (the game saves and quits the normal way), SIGKILL after 10 s.
void Stop(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        usleep(50000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

std::string FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string rest = path ? path : "/usr/bin:/bin";
    while (!rest.empty()) {
        const size_t colon = rest.find(':');
        const std::string dir = rest.substr(0, colon);
        rest = colon == std::string::npos ? "" : rest.substr(colon + 1);
        const std::string full = (dir.empty() ? "." : dir) + "/" + name;
        if (access(full.c_str(), X_OK) == 0) return full;
    }
    return "";
}

// Starts Xvfb on a free display; returns its pid (0 when it does not start) and the display name.
pid_t StartXvfb(const std::string& xvfb, std::string& display) {
    int fds[2];
    if (pipe(fds) != 0) return 0;
    const std::string fd = std::to_string(fds[1]);
    std::vector<std::string> args = {xvfb, "-displayfd", fd, "-screen", "0", "1024x768x24", "-nolisten", "tcp"};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclose(&fa, fds[0]);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, xvfb.c_str(), &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        return 0;
    }
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    const uint64_t deadline = NowNs() + 10'000'000'000ull;
    while (NowNs() < deadline && number.find('\n') == std::string::npos) {
        if (poll(&p, 1, 200) <= 0) continue;
        char buf[32];
        const ssize_t n = read(fds[0], buf, sizeof buf);
        if (n <= 0) break;
        number.append(buf, size_t(n));
    }
    close(fds[0]);
    if (number.find('\n') == std::string::npos) {
        Stop(pid);
        return 0;
    }
    display = ":" + number.substr(0, number.find('\n'));
    return pid;
}

// Runs the subject once with `env` added to the environment and measures the window [warmup, warmup + seconds].
Run Measure(const Options& o, Subject subject, const std::string& label, const std::vector<std::string>& env) {
    Run run;
    run.label = label;
    if (subject == SUBJECT_BASELINE && o.baseline.empty()) {
        run.failure = "no bq_perfbaseline beside the probe";
        return run;
    }
    char dataTemplate[] = "/tmp/bq_perfprobe_XXXXXX";
    const char* data = mkdtemp(dataTemplate);
    if (!data) {
        run.failure = "no temporary folder";
        return run;
    }
    const uint64_t launch = NowNs();
    std::vector<std::string> vars;
    for (char** e = environ; *e; ++e) {
        const std::string v = *e;
        if (v.rfind("BQ_", 0) == 0 || v.rfind("SDL_", 0) == 0 || v.rfind("XDG_DATA_HOME=", 0) == 0) continue;
        vars.push_back(v);
    }
    vars.push_back("XDG_DATA_HOME=" + std::string(data));
    vars.push_back("BQ_PERF=" + std::to_string(launch));
    vars.insert(vars.end(), env.begin(), env.end());
    if (subject == SUBJECT_BOARD) {
        const std::string script = std::string(data) + "/board.txt";
        FILE* f = std::fopen(script.c_str(), "w");
        if (!f || std::fputs(kBoardScript, f) < 0 || std::fclose(f) != 0) {
            run.failure = "cannot write the input script";
            return run;
        }
        vars.push_back("BQ_INPUT_SCRIPT=" + script);
    }
    std::vector<char*> envp;
    for (std::string& v : vars)
        envp.push_back(v.data());
    envp.push_back(nullptr);
    std::string game = subject == SUBJECT_BASELINE ? o.baseline : o.game;
    char* argv[] = {game.data(), nullptr};
    int out[2];
    if (pipe(out) != 0) {
        run.failure = "no pipe";
        return run;
    }
    const std::string errLog = std::string(data) + "/stderr.txt";
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, out[1], 1);
    posix_spawn_file_actions_addclose(&fa, out[0]);
    posix_spawn_file_actions_addopen(&fa, 2, errLog.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, game.c_str(), &fa, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&fa);
    close(out[1]);
    if (rc != 0) {
        close(out[0]);
        run.failure = std::string("cannot start the game: ") + std::strerror(rc);
        return run;
    }
    const double warmup = o.warmup + (subject == SUBJECT_BOARD ? kBoardExtraWarmup : 0);
    const double startMs = warmup * 1000, endMs = (warmup + o.seconds) * 1000;
    const uint64_t giveUp = launch + uint64_t((warmup + o.seconds + 20) * 1e9);
    bool haveStart = false;
    std::string pending;
    pollfd p{out[0], POLLIN, 0};
    while (!run.ok && NowNs() < giveUp) {
        if (poll(&p, 1, 250) <= 0) continue;
        char buf[4096];
        const ssize_t n = read(out[0], buf, sizeof buf);
        if (n <= 0) {
            run.failure = "the game ended early (see " + errLog + ")";
            break;
        }
        pending.append(buf, size_t(n));
        for (size_t nl; (nl = pending.find('\n')) != std::string::npos; pending.erase(0, nl + 1)) {
            Sample s;
            const std::string line = pending.substr(0, nl);
            if (line.rfind("perf phase=", 0) == 0) {
                run.phases += "    " + line.substr(5, line.find_last_not_of("\r") - 4) + "\n";
                continue;
            }
            if (!ParseSample(line, s)) continue;
            if (!haveStart && s.tMs >= startMs) {
                run.start = s;
                haveStart = true;
            } else if (haveStart && s.tMs >= endMs) {
                run.end = s;
                run.peakRssMb = PeakRssMb(pid);
                ResidentSplit(pid, run.anonMb, run.fileMb);
                run.ok = true;
                break;
            }
        }
    }
    if (!run.ok && run.failure.empty()) run.failure = "no BQ_PERF figures in time (is the game built from this tree?)";
    Stop(pid);
    close(out[0]);
    std::error_code ec;
    if (run.ok) std::filesystem::remove_all(data, ec);
    return run;
}

// CPU seconds per second of the whole process over the measured window.
double CpuPerSecond(const Run& r) {
    const double secs = (r.end.tMs - r.start.tMs) / 1000.0;
    return secs > 0 ? (r.end.processMs - r.start.processMs) / 1000.0 / secs : 0;
}

void Print(const Run& r) {
    if (!r.ok) {
        std::printf("%-42s failed: %s\n", r.label.c_str(), r.failure.c_str());
        return;
    }
    const double secs = (r.end.tMs - r.start.tMs) / 1000.0;
    const double total = CpuPerSecond(r);
    const double main = (r.end.mainMs - r.start.mainMs) / 1000.0 / secs;
    const double wait = (r.end.waitMs - r.start.waitMs) / 1000.0 / secs;
    std::printf("%-42s %6.1f %9.4f %11.4f %9.4f %9.4f %10.1f %11.1f\n", r.label.c_str(),
                (r.end.frames - r.start.frames) / secs, total, main - wait, wait, total - main, r.peakRssMb,
                r.end.firstMs);
}

// One kind of run: the game's main menu, its idle board and the baseline under the same display and renderer.
struct Trio {
    Run menu, board, baseline;
};

Trio MeasureTrio(const Options& o, const std::string& label, const std::vector<std::string>& env) {
    Trio t;
    // One short unmeasured start of the baseline first: the driver's libraries (LLVM alone is over 100 MB) are then
    // read from the disk before either program is measured, so the first run's first frame does not pay for a cold
    // page cache that the later runs find warm.
    Options warm = o;
    warm.warmup = 0;
    warm.seconds = 1;
    Measure(warm, SUBJECT_BASELINE, label + ", warm-up", env);
    t.menu = Measure(o, SUBJECT_MENU, label + ", main menu", env);
    Print(t.menu);
    std::fflush(stdout);
    t.board = Measure(o, SUBJECT_BOARD, label + ", game board", env);
    Print(t.board);
    std::fflush(stdout);
    t.baseline = Measure(o, SUBJECT_BASELINE, label + ", baseline", env);
    Print(t.baseline);
    std::fflush(stdout);
    return t;
}

// One goal line: the figure, its limit, met or not; nothing when a run it needs failed.
void Goal(const char* what, bool have, double figure, double limit, const char* unit) {
    if (!have) {
        std::printf("  %-52s no figure\n", what);
        return;
    }
    std::printf("  %-52s %8.2f %-5s (at most %8.2f)  %s\n", what, figure, unit, limit,
                figure <= limit ? "met" : "NOT MET");
}

// The game's way to its first frame in each kind of run (times from the launch; the baseline prints none).
void PrintPhases(const Trio* headless, const Trio* software, const Trio* gl) {
    for (const auto& [label, t] : {std::pair{"headless", headless}, std::pair{"Xvfb, software", software},
                                   std::pair{"Xvfb, default renderer", gl}}) {
        if (!t || t->menu.phases.empty()) continue;
        std::printf("to the first frame, %s: the game (main menu run), then the baseline\n%s%s", label,
                    t->menu.phases.c_str(), t->baseline.phases.c_str());
    }
}

// Where each run's memory lay at the end of its window: what the game holds beyond the baseline is in the anonymous
// part (its heap, and under a GL driver the driver's copies of the textures and its per-frame work).
void PrintResident(const Trio* headless, const Trio* software, const Trio* gl) {
    std::printf(
        "resident at the end of each run (MB): anonymous (heap, the driver's copies of textures) + files (code, "
        "libraries)\n");
    for (const Trio* t : {headless, software, gl}) {
        if (!t) continue;
        for (const Run* r : {&t->menu, &t->board, &t->baseline})
            if (r->ok) std::printf("  %-42s %8.1f + %6.1f\n", r->label.c_str(), r->anonMb, r->fileMb);
    }
}

void PrintGoals(const Trio* headless, const Trio* software, const Trio* gl) {
    std::printf("goals\n");
    if (headless) {
        Goal("headless, main menu: peak memory", headless->menu.ok, headless->menu.peakRssMb, 50, "MB");
        Goal("headless, main menu: CPU", headless->menu.ok, CpuPerSecond(headless->menu), 0.1, "s/s");
        Goal("headless, game board: CPU", headless->board.ok, CpuPerSecond(headless->board), 0.1, "s/s");
    }
    if (software) {
        Goal("Xvfb, software: main menu CPU", software->menu.ok, CpuPerSecond(software->menu), 0.1, "s/s");
        Goal("Xvfb, software: game board CPU", software->board.ok, CpuPerSecond(software->board), 0.1, "s/s");
    }
    if (gl) {
        const bool base = gl->baseline.ok;
        const double cpu = base ? CpuPerSecond(gl->baseline) : 0;
        Goal("Xvfb, default renderer: main menu CPU (baseline + 0.3)", base && gl->menu.ok, CpuPerSecond(gl->menu),
             cpu + 0.3, "s/s");
        Goal("Xvfb, default renderer: game board CPU (baseline + 0.3)", base && gl->board.ok, CpuPerSecond(gl->board),
             cpu + 0.3, "s/s");
        const double peak = std::max(gl->menu.peakRssMb, gl->board.peakRssMb);
        Goal("Xvfb, default renderer: peak memory (baseline + 30)", base && gl->menu.ok && gl->board.ok, peak,
             gl->baseline.peakRssMb + 30, "MB");
        Goal("Xvfb, default renderer: first frame (baseline + 50)", base && gl->menu.ok, gl->menu.end.firstMs,
             gl->baseline.end.firstMs + 50, "ms");
    }
}

int Usage() {
    std::fprintf(stderr, "usage: bq_perfprobe [--seconds S] [--warmup W] [--mode headless|xvfb] path/to/brisquel2\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "--seconds" || a == "--warmup" || a == "--mode") && i + 1 < argc) {
            const std::string v = argv[++i];
            if (a == "--mode")
                o.mode = v;
            else
                (a == "--seconds" ? o.seconds : o.warmup) = std::atof(v.c_str());
        } else if (a.rfind("--", 0) == 0 || !o.game.empty()) {
            return Usage();
        } else {
            o.game = a;
        }
    }
    if (o.game.empty() || o.seconds <= 0 || o.warmup < 0) return Usage();
    // The baseline is built beside the probe (and the game).
    for (const std::filesystem::path& dir :
         {std::filesystem::path(argv[0]).parent_path(), std::filesystem::path(o.game).parent_path()}) {
        const std::filesystem::path b = (dir.empty() ? std::filesystem::path(".") : dir) / "bq_perfbaseline";
        if (o.baseline.empty() && access(b.c_str(), X_OK) == 0) o.baseline = b.string();
    }
    const std::vector<std::string> quiet = {"SDL_AUDIODRIVER=dummy"};
    std::printf("%.0f s on the screen after %.0f s; CPU in seconds per second (1.0 = one core)\n", o.seconds, o.warmup);
    std::printf("%-42s %6s %9s %11s %9s %9s %10s %11s\n", "run", "fps", "cpu s/s", "frame work", "waiting", "other",
                "peak MB", "1st frame ms");
    std::fflush(stdout);
    Trio headless, software, gl;
    bool haveHeadless = false, haveXvfb = false;
    if (o.mode.empty() || o.mode == "headless") {
        std::vector<std::string> env = quiet;
        env.insert(env.end(),
                   {"SDL_VIDEODRIVER=offscreen", "SDL_RENDER_DRIVER=software", "SDL_FRAMEBUFFER_ACCELERATION=0"});
        headless = MeasureTrio(o, "headless, software", env);
        haveHeadless = true;
    }
    if (o.mode.empty() || o.mode == "xvfb") {
        const std::string xvfb = FindOnPath("Xvfb");
        std::string display;
        const pid_t server = xvfb.empty() ? 0 : StartXvfb(xvfb, display);
        if (!server) {
            std::printf("%-42s skipped: no Xvfb (package xvfb)\n", "Xvfb");
        } else {
            // SDL's software renderer on a plain window surface, then SDL's default renderer (GL on Mesa here).
            std::vector<std::string> env = quiet;
            env.push_back("DISPLAY=" + display);
            std::vector<std::string> soft = env;
            soft.insert(soft.end(), {"SDL_RENDER_DRIVER=software", "SDL_FRAMEBUFFER_ACCELERATION=0"});
            software = MeasureTrio(o, "Xvfb, software, plain surface", soft);
            gl = MeasureTrio(o, "Xvfb, default renderer", env);
            haveXvfb = true;
            Stop(server);
        }
    }
    PrintPhases(haveHeadless ? &headless : nullptr, haveXvfb ? &software : nullptr, haveXvfb ? &gl : nullptr);
    PrintResident(haveHeadless ? &headless : nullptr, haveXvfb ? &software : nullptr, haveXvfb ? &gl : nullptr);
    PrintGoals(haveHeadless ? &headless : nullptr, haveXvfb ? &software : nullptr, haveXvfb ? &gl : nullptr);
    return 0;
}
