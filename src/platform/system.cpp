// Process start and system services: fatal-signal and uncaught-error handlers, SDL start-up, the event pump with
// the application's suspended and terminate flags, desktop size, message box, wallpaper and diagnostic lines.
// Called by the game's entry point (Sys_Init), its main loop, Graphics_Flip (through Sys_OnFlip) and the tests.
#include "platform/system.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <SDL.h>

#include "platform/folders.h"
#include "platform/graphics.h"
#include "platform/input_sdl.h"
#include "platform/sound.h"
#include "platform/sdl_context.h"
#include "platform/system_private.h"
#include "platform/wallpaper.h"

namespace {

constexpr int kFatalExitCode = 255; // -1 as the shell sees it
constexpr int kFallbackDesktopW = 1024, kFallbackDesktopH = 768;

bool g_handlersInstalled = false; // signal and terminate handlers are in place
bool g_suspended = false;         // the window lost the focus
bool g_closeRequested = false;    // window closed, SIGINT/SIGTERM, or the harness's exit frame passed

// ---- Fatal signals --------------------------------------------------------------------------------------------
struct SignalName {
    int sig;
    const char* line; // written as it is from the handler (async-signal-safe)
};
constexpr SignalName kFatalSignals[] = {
    {SIGSEGV, "fatal signal SIGSEGV (invalid memory access)\n"},
    {SIGBUS, "fatal signal SIGBUS (bus error)\n"},
    {SIGFPE, "fatal signal SIGFPE (arithmetic error)\n"},
    {SIGILL, "fatal signal SIGILL (illegal instruction)\n"},
    {SIGABRT, "fatal signal SIGABRT (aborted)\n"},
};

alignas(16) char g_altStack[64 * 1024]; // the handler still runs when the fault was a stack overflow

void OnFatalSignal(int sig) {
    const char* line = "fatal signal\n";
    for (const SignalName& s : kFatalSignals)
        if (s.sig == sig) line = s.line;
    ssize_t ignored = write(STDERR_FILENO, line, std::strlen(line));
    (void)ignored;
    _exit(kFatalExitCode);
}

void OnTerminate() {
    std::string message = "uncaught exception";
    if (const std::exception_ptr e = std::current_exception()) {
        try {
            std::rethrow_exception(e);
        } catch (const std::exception& ex) {
            message = ex.what();
        } catch (...) {
        }
    } else {
        message = "terminate called without an exception";
    }
    Sys_FatalExit(message);
}

void InstallHandlers() {
    if (g_handlersInstalled) return;
    g_handlersInstalled = true;
    stack_t ss{};
    ss.ss_sp = g_altStack;
    ss.ss_size = sizeof g_altStack;
    sigaltstack(&ss, nullptr);
    struct sigaction sa {};
    sa.sa_handler = OnFatalSignal;
    sa.sa_flags = SA_ONSTACK | SA_RESETHAND;
    sigemptyset(&sa.sa_mask);
    for (const SignalName& s : kFatalSignals)
        sigaction(s.sig, &sa, nullptr);
    std::set_terminate(OnTerminate);
}

} // namespace

RuntimeError::RuntimeError(const Str& message) : std::runtime_error(Str_ToUtf8(message)) {}

[[noreturn]] void Sys_FatalExit(const std::string& message, int exitCode) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", message.c_str());
    std::fflush(stderr);
    _exit(exitCode);
}

void Sys_Init(int argc, char** argv) {
    Perf_Phase("process"); // loaded and linked, static set-up done
#if defined(__GLIBC__)
    // Blocks of 128 KB and more (pictures, decoded files, and the GL driver's copies of our textures, which it keeps
    // in our heap) each get a mapping of their own, so letting one go gives its pages back at once. Left to itself
    // glibc raises that line to the size of the first such block freed (the canvas, at the window's opening) and
    // from then on keeps every full-screen texture in the heap, where a freed one's pages stay and are touched again
    // by whatever lands there (the driver clears its blocks): the peak in a real window grew by what the screens
    // had let go.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
    InstallHandlers();
    // SIGINT and SIGTERM stay with SDL: they arrive as SDL_QUIT, so the game leaves by its normal way and saves.
    // Each part on its own: the graphics may have started video already (tests open a window first).
    constexpr Uint32 kCore = SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS;
    if (SDL_WasInit(kCore) != kCore && SDL_InitSubSystem(kCore) != 0)
        throw RuntimeError(std::string("cant start SDL video: ") + SDL_GetError());
    Perf_Phase("video");
    // Audio is started by Audio_Init (sound.cpp), which owns the device and runs silent without one.
    SDL_StartTextInput();
    g_suspended = false;
    g_closeRequested = false;
    Harness_Configure(Harness_FromEnvironment());
    if (argc > 0 && argv) {
        // Relative paths of the game are relative to the program folder, as a launcher's "start in" made them.
        const Str folder = Sys_AppFolder();
        if (!folder.empty() && chdir(Str_ToUtf8(folder).c_str()) != 0)
            Log_Print(u"cant enter the program folder " + folder);
    }
}

void Sys_Shutdown() {
    // The mixer and the window go first, so SDL_Quit leaves nothing of theirs behind.
    Audio_Shutdown();
    Graphics_Close();
    if (SDL_WasInit(0)) SDL_Quit();
}

// ---- Events and flags ---------------------------------------------------------------------------------------------
void Sys_PollEvents() {
    if (!SDL_WasInit(SDL_INIT_EVENTS)) return;
    Harness_InjectDue();
    SDL_Event ev;
    while (SDL_PollEvent(&ev)) {
        Input_HandleEvent(ev);
        Graphics_HandleEvent(ev); // window events and the renderer's resets
        if (ev.type == SDL_QUIT) g_closeRequested = true;
        if (ev.type != SDL_WINDOWEVENT) continue;
        switch (ev.window.event) {
        case SDL_WINDOWEVENT_FOCUS_LOST:
            g_suspended = true;
            Input_ReleaseAll();
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            g_suspended = false;
            break;
        case SDL_WINDOWEVENT_CLOSE:
            g_closeRequested = true;
            break;
        default:
            break;
        }
    }
}

// Headless windows never get the focus, so a headless run is never inactive; nor is a scripted one, which would
// otherwise stop counting frames and never reach its script's end or its exit frame.
bool Sys_Suspended() { return g_suspended && !Sys_Headless() && !Harness_Scripted(); }
bool Sys_CloseRequested() { return g_closeRequested; }
void Sys_RequestClose() { g_closeRequested = true; }
void Sys_ClearCloseRequest() { g_closeRequested = false; }

// ---- Desktop -------------------------------------------------------------------------------------------------------
namespace {
bool DesktopMode(SDL_DisplayMode& mode) {
    if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0)
        return true;
    Log_Print("desktop size unknown, assuming 1024x768");
    mode.w = kFallbackDesktopW;
    mode.h = kFallbackDesktopH;
    return false;
}
} // namespace

int Sys_DesktopWidth() {
    SDL_DisplayMode mode{};
    DesktopMode(mode);
    return mode.w;
}

int Sys_DesktopHeight() {
    SDL_DisplayMode mode{};
    DesktopMode(mode);
    return mode.h;
}

void Sys_MessageBox(const Str& text) {
    const std::string utf8 = Str_ToUtf8(text);
    // A scripted run has nobody to click the box away, even in a real window.
    if (!Sys_Headless() && !Harness_Scripted() && SDL_WasInit(SDL_INIT_VIDEO) &&
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, "Brisquel 2", utf8.c_str(), Sdl_Window()) == 0)
        return;
    std::fprintf(stderr, "MESSAGE: %s\n", utf8.c_str());
    std::fflush(stderr);
}

bool Sys_SetWallpaper(const Str& path) {
    if (Sys_Headless() || path.empty()) return false;
    std::string p = Str_ToUtf8(path);
    for (char& c : p)
        if (c == '\\') c = '/';
    if (p[0] != '/') {
        char cwd[4096];
        if (!getcwd(cwd, sizeof cwd)) return false;
        while (p.rfind("./", 0) == 0)
            p.erase(0, 2);
        p = std::string(cwd) + "/" + p;
    }
    return Wallpaper_Apply(p);
}

void Log_Print(const Str& text) { Log_Print(Str_ToUtf8(text)); }
void Log_Print(const std::string& utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fputs("\r\n", stdout);
    std::fflush(stdout);
}

// Once configured, the harness decides; before that (a message box during a failed start) the environment does.
bool Sys_Headless() {
    if (Harness_Configured()) return Harness_Current().headless;
    return Harness_HeadlessFromEnvironment();
}
