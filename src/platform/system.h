// System services of the platform layer: process start (fatal-signal and uncaught-error handlers, SDL start-up),
// clocks, the event pump with the suspended/terminate flags, message box, desktop wallpaper, diagnostic lines, and
// the headless test harness (fake clock, seed, scripted input, screenshots, exit after a frame).
// Called by the game's start-up and main loop, by Graphics_Flip (Sys_OnFlip) and by the tests.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/strings.h"

// A fatal error raised by the game. When it escapes main, its message goes to stderr and the process ends with
// exit code -1 (255 as the shell sees it).
struct RuntimeError : std::runtime_error {
    explicit RuntimeError(const std::string& message) : std::runtime_error(message) {}
    explicit RuntimeError(const Str& message);
};

// ---- Start and end -------------------------------------------------------------------------------------------
// Installs the fatal-signal handlers and the terminate handler, starts SDL's video, timer and events (audio is
// Audio_Init's), reads the harness environment (BQ_HEADLESS, BQ_FRAME_MS, BQ_SEED, BQ_INPUT_SCRIPT, BQ_SCREENSHOT,
// BQ_EXIT_AFTER) and starts SDL text input. With argv given it also makes the program folder (BQ_APP_FOLDER
// overrides it) the current folder, as a desktop launcher's "start in" did; Sys_Init(0, nullptr) in tests leaves the
// current folder alone. A second call only re-reads the harness environment.
void Sys_Init(int argc, char** argv);
void Sys_Shutdown(); // closes audio and window, SDL_Quit; handlers stay
// The one fatal-error path: flushes the diagnostic lines, writes the message on stderr and ends the process with
// exit code 255 (-1) or the code given. The start's uncaught RuntimeError, the terminate handler and the harness's
// end of a stuck loop end here.
[[noreturn]] void Sys_FatalExit(const std::string& message, int exitCode = 255);

// ---- Diagnostics ---------------------------------------------------------------------------------------------
// The one diagnostic line of the game and the platform: the text, then CR LF, on standard output, flushed.
void Log_Print(const Str& text);
void Log_Print(const std::string& utf8); // the same for UTF-8 text
// With BQ_PERF set, until the first frame is shown: one line "perf phase=<name> t_ms=.. cpu_ms=.." (milliseconds
// since the launch, and the process's CPU time), so the way to the first frame can be read phase by phase. Costs
// nothing otherwise.
void Perf_Phase(const char* name);

// ---- Clocks (all go through the fake clock when it is on) -----------------------------------------------------
int32_t Sys_Millisecs();      // milliseconds of a monotonic clock (or of the fake clock), wraps as int32
uint64_t Sys_PerfCounter();   // ticks of the performance counter
uint64_t Sys_PerfFrequency(); // ticks per second
void Sys_Delay(int ms);       // sleep; under the fake clock it advances the clock instead and returns at once

// ---- Events and application state -----------------------------------------------------------------------------
void Sys_PollEvents();        // pumps SDL events into the input state and the flags below
bool Sys_Suspended();         // the window lost focus (inactive); a headless window counts as active
bool Sys_CloseRequested();    // window closed, SIGINT/SIGTERM, or the harness's exit frame passed
void Sys_RequestClose();      // sets the terminate flag
void Sys_ClearCloseRequest(); // clears it (tests)

// ---- Desktop ---------------------------------------------------------------------------------------------------
int Sys_DesktopWidth(); // desktop resolution in pixels (1024 x 768 under the offscreen driver)
int Sys_DesktopHeight();
void Sys_MessageBox(const Str& text);   // blocking box; headless or scripted: "MESSAGE: text" on stderr, no wait
bool Sys_SetWallpaper(const Str& path); // per desktop, see platform/wallpaper.h; headless: false, nothing run
bool Sys_Headless();                    // BQ_HEADLESS=1 or SDL_VIDEODRIVER offscreen/dummy

// ---- The harness ----------------------------------------------------------------------------------------------
// Called by Graphics_Flip when the frame is drawn, before it is presented (after the present the window's buffer
// may hold anything): takes the screenshots due for the frame.
void Sys_OnFrameDrawn();
// Called by Graphics_Flip after presenting: ends the current frame (advances the fake clock, requests the close after
// the exit frame), then starts the next one (pumps events, injects the script's events for the new frame). Frame 1 is
// the one drawn before the first flip.
void Sys_OnFlip();

struct HarnessScreenshot {
    int frame;        // taken when this frame ends (at its flip)
    std::string path; // PNG file
};
struct HarnessConfig {
    bool headless = false;                      // message box to stderr, wallpaper never changed
    int frameMs = 0;                            // fake clock step per flip in ms; 0 = real clock
    bool haveSeed = false;                      // seed given
    int32_t seed = 0;                           // start-up seed override
    std::string inputScript;                    // script text (not a path)
    std::vector<HarnessScreenshot> screenshots; // canvas shots
    int exitAfter = 0;                          // request close when this frame ends; 0 = never
    bool drawOnDemand = false; // tests: a frame is drawn only when a screenshot of it is due or Harness_DrawThisFrame
                               // asked for it; the others run their logic and draw nothing (Graphics_SetDrawing)
};

// Replaces the whole harness state (frame counter back to 1, fake clock back to 0, script parsed anew).
// Returns false and writes a diagnostic line per bad script line (bad lines are skipped).
bool Harness_Configure(const HarnessConfig& config);
HarnessConfig Harness_FromEnvironment(); // what Sys_Init reads from BQ_* variables (script file read here)
const HarnessConfig& Harness_Current();
int Harness_FrameNumber(); // the frame being drawn now (the platform's Input_Frame): 1 until the first flip
// Tests: a driver called at the start of every frame, after the script's events went in and before the event pump
// (events it pushes reach this frame's input). Null: none. Harness_Configure leaves it as it is.
using HarnessFrameFn = void (*)(int frame);
void Harness_SetFrameHook(HarnessFrameFn fn);
// With drawOnDemand: the frame that starts now is drawn (call it from the frame hook; the canvas holds the frame when
// the next frame's hook runs, for Graphics_SaveScreenshot).
void Harness_DrawThisFrame();
bool Sys_FakeClockActive();           // BQ_FRAME_MS given
void Sys_UseFakeClock(int msPerFlip); // tests: switch the fake clock on (> 0) or off (0) at once
// Tests: a running fake clock moves by msPerFlip (> 0) from the next flip on and keeps its time (a player who waits
// seen in fewer frames); nothing without the fake clock.
void Sys_SetFakeFrameMs(int msPerFlip);
bool Sys_SeedOverride(int32_t& seed); // true and the seed when BQ_SEED was given

// One scripted input event, as parsed from a script line ("click" and "key ... press" become two events each).
struct ScriptEvent {
    enum Kind { MOUSE, DOWN, UP, KEY_DOWN, KEY_UP, TEXT, WHEEL, QUIT };
    int frame = 1; // injected at the start of this frame
    Kind kind = MOUSE;
    int a = 0, b = 0; // MOUSE: x y (canvas); DOWN/UP: button; KEY_*: virtual-key code; WHEEL: notches
    std::string text; // TEXT: UTF-8
};
// Parses a script; bad lines are reported in errors ("line N: why") and skipped.
std::vector<ScriptEvent> Harness_ParseScript(const std::string& text, std::vector<std::string>* errors = nullptr);
