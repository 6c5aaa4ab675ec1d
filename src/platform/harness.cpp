// The headless test harness: a fixed frame time (fake clock), a seed override, an input script injected as SDL
// events at given frames, PNG screenshots of the canvas and an exit after a given frame. Configured from the BQ_*
// environment by Sys_Init or directly by tests (Harness_Configure); driven by Sys_OnFlip, which Graphics_Flip calls.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <unistd.h>

#include <SDL.h>

#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/keymap.h"
#include "platform/sdl_context.h"
#include "platform/stream.h"
#include "platform/system.h"
#include "platform/system_private.h"

namespace {

// A loop that ignores the close request for this many frames after the exit frame is stuck (a modal loop that
// never looks at the flag): the harness then ends the process itself with kStuckExitCode.
constexpr int kStuckFrames = 300;
constexpr int kStuckExitCode = 3;
constexpr int kMaxFrame = 100000000; // last frame a script may name (about 19 days at 60 frames a second)
// Scripted pointer events carry canvas coordinates already. SDL's renderer converts the coordinates of events that
// name its window from window to canvas pixels; events naming no window (id 0) pass unchanged, exactly as written.
constexpr Uint32 kCanvasWindowId = 0;

HarnessConfig g_config;               // what the harness does
std::vector<ScriptEvent> g_script;    // parsed script, sorted by frame (stable)
size_t g_nextEvent = 0;               // first script event not injected yet
bool g_configured = false;            // Harness_Configure has run
HarnessFrameFn g_frameHook = nullptr; // a test's driver, called as each frame starts

constexpr size_t kMaxScriptBytes = 16u << 20; // far beyond any scripted run

void Note(const std::string& line) { Log_Print("harness: " + line); }

bool ParseInt(const std::string& word, int& out) {
    if (word.empty()) return false;
    char* end = nullptr;
    const long v = std::strtol(word.c_str(), &end, 10);
    if (*end != '\0' || v < -1000000000L || v > 1000000000L) return false;
    out = static_cast<int>(v);
    return true;
}

Uint32 WindowId() {
    SDL_Window* const w = Sdl_Window();
    return w ? SDL_GetWindowID(w) : 0;
}

int SdlButton(int button) {
    switch (button) {
    case 2:
        return SDL_BUTTON_RIGHT;
    case 3:
        return SDL_BUTTON_MIDDLE;
    default:
        return SDL_BUTTON_LEFT;
    }
}

// The last pointer position the script set, in canvas pixels (button events carry it).
int g_scriptX = 0, g_scriptY = 0;

void PushMotion(int x, int y) {
    g_scriptX = x;
    g_scriptY = y;
    SDL_Event ev{};
    ev.type = SDL_MOUSEMOTION;
    ev.motion.timestamp = SDL_GetTicks();
    ev.motion.windowID = kCanvasWindowId;
    ev.motion.x = x;
    ev.motion.y = y;
    SDL_PushEvent(&ev);
}

void PushButton(int button, bool down) {
    SDL_Event ev{};
    ev.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    ev.button.timestamp = SDL_GetTicks();
    ev.button.windowID = kCanvasWindowId;
    ev.button.button = static_cast<Uint8>(SdlButton(button));
    ev.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    ev.button.clicks = 1;
    ev.button.x = g_scriptX;
    ev.button.y = g_scriptY;
    SDL_PushEvent(&ev);
}

void PushText(const std::string& text);

// Shift keys the script holds down (scripted letters type capitals meanwhile).
bool g_scriptShift[2] = {false, false};

// What a key types on a US layout, as a real keyboard's text event would carry it; 0 for keys that type nothing
// (Enter, Esc, Backspace and Tab type their codes through the key event itself).
char TypedBy(int vk) {
    const bool shift = g_scriptShift[0] || g_scriptShift[1];
    if (vk == VK::SPACE) return ' ';
    if (vk >= VK::KEY_A && vk < VK::KEY_A + 26) return static_cast<char>((shift ? 'A' : 'a') + (vk - VK::KEY_A));
    if (vk >= VK::KEY_0 && vk <= VK::KEY_0 + 9 && !shift) return static_cast<char>('0' + (vk - VK::KEY_0));
    return 0;
}

void PushKey(int vk, bool down) {
    SDL_Scancode sc = SDL_SCANCODE_UNKNOWN;
    SDL_Keycode key = SDLK_UNKNOWN;
    if (!Vk_ToSdl(vk, sc, key)) return; // refused when parsed
    if (vk == VK::SHIFT || vk == VK::LSHIFT) g_scriptShift[0] = down;
    if (vk == VK::RSHIFT) g_scriptShift[1] = down;
    SDL_Event ev{};
    ev.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    ev.key.timestamp = SDL_GetTicks();
    ev.key.windowID = WindowId();
    ev.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    ev.key.keysym.scancode = sc;
    ev.key.keysym.sym = key;
    SDL_PushEvent(&ev);
    if (const char c = down ? TypedBy(vk) : 0) PushText(std::string(1, c));
}

// SDL carries at most 31 bytes of text per event: split between whole UTF-8 sequences.
void PushText(const std::string& text) {
    size_t i = 0;
    while (i < text.size()) {
        size_t end = i;
        while (end < text.size()) {
            size_t len = 1;
            const auto c = static_cast<unsigned char>(text[end]);
            if (c >= 0xF0)
                len = 4;
            else if (c >= 0xE0)
                len = 3;
            else if (c >= 0xC0)
                len = 2;
            if (end + len - i > SDL_TEXTINPUTEVENT_TEXT_SIZE - 1) break;
            end = std::min(text.size(), end + len);
        }
        SDL_Event ev{};
        ev.type = SDL_TEXTINPUT;
        ev.text.timestamp = SDL_GetTicks();
        ev.text.windowID = WindowId();
        std::copy(text.begin() + static_cast<long>(i), text.begin() + static_cast<long>(end), ev.text.text);
        SDL_PushEvent(&ev);
        i = end;
    }
}

void PushWheel(int dy) {
    SDL_Event ev{};
    ev.type = SDL_MOUSEWHEEL;
    ev.wheel.timestamp = SDL_GetTicks();
    ev.wheel.windowID = kCanvasWindowId;
    ev.wheel.y = dy;
    ev.wheel.preciseY = static_cast<float>(dy);
    ev.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    SDL_PushEvent(&ev);
}

void Inject(const ScriptEvent& e) {
    switch (e.kind) {
    case ScriptEvent::MOUSE:
        PushMotion(e.a, e.b);
        break;
    case ScriptEvent::DOWN:
        PushButton(e.a, true);
        break;
    case ScriptEvent::UP:
        PushButton(e.a, false);
        break;
    case ScriptEvent::KEY_DOWN:
        PushKey(e.a, true);
        break;
    case ScriptEvent::KEY_UP:
        PushKey(e.a, false);
        break;
    case ScriptEvent::TEXT:
        PushText(e.text);
        break;
    case ScriptEvent::WHEEL:
        PushWheel(e.a);
        break;
    case ScriptEvent::QUIT: {
        SDL_Event ev{};
        ev.type = SDL_QUIT;
        ev.quit.timestamp = SDL_GetTicks();
        SDL_PushEvent(&ev);
        break;
    }
    }
}

std::vector<HarnessScreenshot> ParseScreenshots(const std::string& list) {
    std::vector<HarnessScreenshot> shots;
    std::stringstream in(list);
    std::string item;
    while (std::getline(in, item, ',')) {
        const size_t colon = item.find(':');
        int frame = 0;
        if (colon == std::string::npos || !ParseInt(item.substr(0, colon), frame) || frame < 1 ||
            colon + 1 >= item.size()) {
            Note("BQ_SCREENSHOT: ignoring \"" + item + "\" (want frame:file.png)");
            continue;
        }
        std::string path = item.substr(colon + 1);
        // Relative to the folder the program was started from: Sys_Init moves to the program folder afterwards.
        char cwd[4096];
        if (path[0] != '/' && getcwd(cwd, sizeof cwd)) path = std::string(cwd) + "/" + path;
        shots.push_back({frame, path});
    }
    return shots;
}

const char* Env(const char* name) {
    const char* v = std::getenv(name);
    return v && *v ? v : nullptr;
}

} // namespace

// ---- Script grammar -------------------------------------------------------------------------------------------
// One event per line: FRAME VERB ARGS. FRAME is a frame number, or +N for N frames after the previous line's frame.
// Blank lines and lines starting with '#' are ignored. Verbs:
//   mouse X Y          pointer to canvas position (X, Y)
//   down B / up B      press / release button B (1 left, 2 right, 3 middle) at the pointer
//   click B [X Y]      pointer to (X, Y) if given, press B in this frame, release it in the next frame
//   key VK down|up|press   virtual-key code VK; press = down in this frame, up in the next frame. Space, letters
//                      and digits also type their character, as on a US layout (capitals while Shift is held)
//   text CHARS         typed characters (UTF-8, everything after one blank, to the end of the line)
//   wheel DY           wheel notches, positive = rolled away from the user
//   quit               the window's close button
std::vector<ScriptEvent> Harness_ParseScript(const std::string& text, std::vector<std::string>* errors) {
    std::vector<ScriptEvent> out;
    int lineNo = 0;
    int lastFrame = 1;
    auto fail = [&](const std::string& why) {
        if (errors) errors->push_back("line " + std::to_string(lineNo) + ": " + why);
    };
    for (const std::string& line : Str_SplitLines(text)) {
        ++lineNo;
        std::stringstream words(line);
        std::string frameWord, verb;
        if (!(words >> frameWord) || frameWord[0] == '#') continue;
        int frame = 0;
        const bool relative = frameWord[0] == '+';
        if (!ParseInt(relative ? frameWord.substr(1) : frameWord, frame) || (relative && frame < 0)) {
            fail("bad frame \"" + frameWord + "\"");
            continue;
        }
        const int64_t at = relative ? int64_t(lastFrame) + frame : frame;
        if (at < 1 || at > kMaxFrame) {
            fail("frames run from 1 to " + std::to_string(kMaxFrame));
            continue;
        }
        frame = static_cast<int>(at);
        if (!(words >> verb)) {
            fail("missing event");
            continue;
        }
        std::vector<int> nums;
        std::string w;
        ScriptEvent e{frame, ScriptEvent::MOUSE};
        if (verb == "text") {
            // Everything after the verb and one blank, blanks included.
            const size_t from = line.find("text") + 4;
            e.kind = ScriptEvent::TEXT;
            e.text = from < line.size() ? line.substr(from + 1) : "";
            if (e.text.empty()) {
                fail("text without characters");
                continue;
            }
            out.push_back(e);
            lastFrame = frame;
            continue;
        }
        std::vector<std::string> args;
        while (words >> w)
            args.push_back(w);
        if (verb == "key") {
            // key VK down|up|press
            int vk = 0;
            SDL_Scancode sc;
            SDL_Keycode kc;
            const std::string how = args.size() == 2 ? args[1] : "";
            if (args.size() != 2 || !ParseInt(args[0], vk) || (how != "down" && how != "up" && how != "press")) {
                fail("key wants a code and down, up or press");
                continue;
            }
            if (!Vk_ToSdl(vk, sc, kc)) {
                fail("unknown key code " + args[0]);
                continue;
            }
            if (how != "up") out.push_back({frame, ScriptEvent::KEY_DOWN, vk});
            if (how == "up") out.push_back({frame, ScriptEvent::KEY_UP, vk});
            if (how == "press") out.push_back({frame + 1, ScriptEvent::KEY_UP, vk});
            lastFrame = frame;
            continue;
        }
        bool ok = true;
        for (const std::string& a : args) {
            int v = 0;
            ok = ok && ParseInt(a, v);
            nums.push_back(v);
        }
        auto needButton = [&](int b) { return b >= 1 && b <= 3; };
        if (!ok) {
            fail("bad number in \"" + line + "\"");
            continue;
        }
        if (verb == "mouse" && nums.size() == 2) {
            out.push_back({frame, ScriptEvent::MOUSE, nums[0], nums[1]});
        } else if ((verb == "down" || verb == "up") && nums.size() == 1 && needButton(nums[0])) {
            out.push_back({frame, verb == "down" ? ScriptEvent::DOWN : ScriptEvent::UP, nums[0]});
        } else if (verb == "click" && (nums.size() == 1 || nums.size() == 3) && needButton(nums[0])) {
            if (nums.size() == 3) out.push_back({frame, ScriptEvent::MOUSE, nums[1], nums[2]});
            out.push_back({frame, ScriptEvent::DOWN, nums[0]});
            out.push_back({frame + 1, ScriptEvent::UP, nums[0]});
        } else if (verb == "wheel" && nums.size() == 1) {
            out.push_back({frame, ScriptEvent::WHEEL, nums[0]});
        } else if (verb == "quit" && args.empty()) {
            out.push_back({frame, ScriptEvent::QUIT});
        } else {
            fail("cannot read \"" + line + "\"");
            continue;
        }
        lastFrame = frame;
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const ScriptEvent& a, const ScriptEvent& b) { return a.frame < b.frame; });
    return out;
}

bool Harness_HeadlessFromEnvironment() {
    const char* const headless = Env("BQ_HEADLESS");
    const char* const driver = Env("SDL_VIDEODRIVER");
    return (headless && std::string(headless) != "0") ||
           (driver && (std::string(driver) == "offscreen" || std::string(driver) == "dummy"));
}

HarnessConfig Harness_FromEnvironment() {
    HarnessConfig c;
    const char* v = nullptr;
    c.headless = Harness_HeadlessFromEnvironment();
    if ((v = Env("BQ_FRAME_MS"))) {
        if (!ParseInt(v, c.frameMs) || c.frameMs < 1 || c.frameMs > 10000) {
            Note(std::string("BQ_FRAME_MS: ignoring \"") + v + "\" (want 1..10000)");
            c.frameMs = 0;
        }
    }
    if ((v = Env("BQ_SEED"))) {
        char* end = nullptr;
        const long long s = std::strtoll(v, &end, 10);
        if (*end == '\0') {
            c.haveSeed = true;
            c.seed = static_cast<int32_t>(s);
        } else {
            Note(std::string("BQ_SEED: ignoring \"") + v + "\"");
        }
    }
    if ((v = Env("BQ_INPUT_SCRIPT"))) {
        // Only a regular file of a sane size: a device such as /dev/zero never ends, a FIFO blocks, a folder is
        // no script at all.
        const Str path = Str_FromUtf8(v);
        const int type = File_Type(path);
        std::vector<uint8_t> bytes;
        if (type == 0)
            Note(std::string("BQ_INPUT_SCRIPT: no such file ") + v);
        else if (type != 1)
            Note(std::string("BQ_INPUT_SCRIPT: not a regular file: ") + v);
        else if (File_Size(path) > int64_t(kMaxScriptBytes))
            Note(std::string("BQ_INPUT_SCRIPT: larger than ") + std::to_string(kMaxScriptBytes) + " bytes: " + v);
        else if (!File_ReadAll(path, bytes, kMaxScriptBytes))
            Note(std::string("BQ_INPUT_SCRIPT: cannot read ") + v);
        else
            c.inputScript.assign(bytes.begin(), bytes.end());
    }
    if ((v = Env("BQ_SCREENSHOT"))) c.screenshots = ParseScreenshots(v);
    if ((v = Env("BQ_EXIT_AFTER"))) {
        if (!ParseInt(v, c.exitAfter) || c.exitAfter < 1) {
            Note(std::string("BQ_EXIT_AFTER: ignoring \"") + v + "\"");
            c.exitAfter = 0;
        }
    }
    return c;
}

namespace {
// With drawOnDemand, the frame starting now draws only when a screenshot of it is due.
void ChooseDrawing() {
    bool draw = !g_config.drawOnDemand;
    for (const HarnessScreenshot& s : g_config.screenshots)
        draw = draw || s.frame == Input_Frame();
    Graphics_SetDrawing(draw);
}
} // namespace

bool Harness_Configure(const HarnessConfig& config) {
    g_config = config;
    g_configured = true;
    std::vector<std::string> errors;
    g_script = Harness_ParseScript(config.inputScript, &errors);
    for (const std::string& e : errors)
        Note("input script " + e);
    g_nextEvent = 0;
    Input_RestartFrames();
    g_scriptX = g_scriptY = 0;
    g_scriptShift[0] = g_scriptShift[1] = false;
    Clock_Configure(config.frameMs);
    ChooseDrawing();
    return errors.empty();
}

const HarnessConfig& Harness_Current() { return g_config; }
bool Harness_Configured() { return g_configured; }
bool Harness_Scripted() { return g_config.frameMs > 0 || !g_config.inputScript.empty() || g_config.exitAfter > 0; }
int Harness_FrameNumber() { return Input_Frame(); }

void Sys_UseFakeClock(int msPerFlip) {
    g_config.frameMs = msPerFlip > 0 ? msPerFlip : 0;
    Clock_Configure(g_config.frameMs);
}

void Sys_SetFakeFrameMs(int msPerFlip) {
    if (g_config.frameMs <= 0 || msPerFlip <= 0) return;
    g_config.frameMs = msPerFlip;
    Clock_SetStep(msPerFlip);
}

bool Sys_SeedOverride(int32_t& seed) {
    if (g_config.haveSeed) seed = g_config.seed;
    return g_config.haveSeed;
}

void Harness_InjectDue() {
    if (g_nextEvent >= g_script.size() || !SDL_WasInit(SDL_INIT_EVENTS)) return;
    while (g_nextEvent < g_script.size() && g_script[g_nextEvent].frame <= Input_Frame())
        Inject(g_script[g_nextEvent++]);
}

void Sys_OnFrameDrawn() {
    for (const HarnessScreenshot& s : g_config.screenshots) {
        if (s.frame != Input_Frame()) continue;
        if (!Graphics_SaveScreenshot(Str_FromUtf8(s.path)))
            Note("screenshot of frame " + std::to_string(Input_Frame()) + " to " + s.path + " failed");
    }
}

void Sys_OnFlip() {
    // The frame that was just presented ends here.
    if (g_config.exitAfter > 0 && Input_Frame() >= g_config.exitAfter) {
        Sys_RequestClose();
        if (Input_Frame() >= g_config.exitAfter + kStuckFrames) {
            Sys_FatalExit("harness: the loop still runs " + std::to_string(kStuckFrames) +
                              " frames after the exit frame; ending",
                          kStuckExitCode);
        }
    }
    Clock_OnFlip();
    // The next frame starts: its scripted events go in, then everything queued reaches the input state.
    Input_BeginFrame();
    ChooseDrawing();
    if (g_frameHook) g_frameHook(Input_Frame());
    Sys_PollEvents();
}

void Harness_SetFrameHook(HarnessFrameFn fn) { g_frameHook = fn; }
void Harness_DrawThisFrame() { Graphics_SetDrawing(true); }
