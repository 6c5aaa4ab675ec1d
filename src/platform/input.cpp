// Polled keyboard and mouse state, kept from SDL events only (never from SDL's own key or mouse tables), so that
// events pushed by the harness and by tests act exactly like real ones. Fed by the event pump (system.cpp); read by
// the game through platform/input.h.
#include "platform/input.h"

#include <algorithm>
#include <array>

#include "platform/graphics.h"
#include "platform/input_sdl.h"
#include "platform/keymap.h"
#include "platform/sdl_context.h"
#include "platform/system.h"

namespace {

constexpr int kCharQueueSize = 256; // typed characters kept; when full, new ones are dropped (the oldest stay)
constexpr int kMouseButtons = 4;    // index 1 left, 2 right, 3 middle

struct InputState {
    std::array<bool, VK::COUNT> keyDown{};           // held now, per virtual-key code
    std::array<int, VK::COUNT> keyHits{};            // presses since last asked
    std::array<int, kCharQueueSize> chars{};         // ring buffer of typed characters
    int charHead = 0;                                // index of the oldest character
    int charCount = 0;                               // characters queued
    int mouseX = 0, mouseY = 0;                      // canvas pixels
    int mouseZ = 0;                                  // wheel position in notches
    std::array<bool, kMouseButtons> mouseDown{};     // held now, whoever took the press
    std::array<bool, kMouseButtons> captured{};      // the press held now was taken by the capture test
    std::array<bool, kMouseButtons> mouseDownLast{}; // held for the game when the previous frame ended
    std::array<int, kMouseButtons> mouseHits{};      // the game's presses since last asked
    std::array<int, kMouseButtons> mousePresses{};   // the game's presses since start (never cleared)
    std::array<int, kMouseButtons> mouseReleases{};  // the game's releases of a held button since start
    std::array<int, kMouseButtons> allPresses{};     // every press since start, captured or not (never cleared)
    std::array<int, kMouseButtons> allReleases{};    // every release of a held button since start
    bool cursorVisible = true;                       // system pointer shown
};
InputState g_in;
MouseCaptureTest g_capture = nullptr; // asked at every press; survives Input_Reset like a registration should
int g_frame = 1;                      // the frame being drawn: 1 until the first flip (Input_Reset leaves it alone)

int CanvasW() {
    const int w = Graphics_Width();
    return w > 0 ? w : kCanvasWidth;
}
int CanvasH() {
    const int h = Graphics_Height();
    return h > 0 ? h : kCanvasHeight;
}

void PushChar(int c) {
    if (g_in.charCount >= kCharQueueSize) return;
    g_in.chars[(g_in.charHead + g_in.charCount) % kCharQueueSize] = c;
    ++g_in.charCount;
}

// The generic Shift, Ctrl and Alt codes are held while either side is held and count a press of either side.
int GenericOf(int vk) {
    switch (vk) {
    case VK::LSHIFT:
    case VK::RSHIFT:
        return VK::SHIFT;
    case VK::LCONTROL:
    case VK::RCONTROL:
        return VK::CONTROL;
    case VK::LMENU:
    case VK::RMENU:
        return VK::MENU;
    default:
        return 0;
    }
}

// Keys that type a control character, as the classic character messages did. Delete and the arrows type nothing.
int CharOfKey(SDL_Scancode sc) {
    switch (sc) {
    case SDL_SCANCODE_BACKSPACE:
        return 8;
    case SDL_SCANCODE_TAB:
        return 9;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_RETURN2:
    case SDL_SCANCODE_KP_ENTER:
        return 13;
    case SDL_SCANCODE_ESCAPE:
        return 27;
    default:
        return 0;
    }
}

void KeyEvent(const SDL_KeyboardEvent& k, bool down) {
    const int vk = Vk_FromSdl(k.keysym.scancode, k.keysym.sym);
    if (down) {
        const int c = CharOfKey(k.keysym.scancode);
        if (c) PushChar(c); // repeats type again, as held Backspace does
    }
    if (vk <= 0 || vk >= VK::COUNT) return;
    const int generic = GenericOf(vk);
    if (down) {
        if (k.repeat) return;
        g_in.keyDown[vk] = true;
        ++g_in.keyHits[vk];
        if (generic) {
            g_in.keyDown[generic] = true;
            ++g_in.keyHits[generic];
        }
    } else {
        g_in.keyDown[vk] = false;
        if (generic == VK::SHIFT) g_in.keyDown[generic] = g_in.keyDown[VK::LSHIFT] || g_in.keyDown[VK::RSHIFT];
        if (generic == VK::CONTROL) g_in.keyDown[generic] = g_in.keyDown[VK::LCONTROL] || g_in.keyDown[VK::RCONTROL];
        if (generic == VK::MENU) g_in.keyDown[generic] = g_in.keyDown[VK::LMENU] || g_in.keyDown[VK::RMENU];
    }
}

// UTF-8 text from SDL: every code point is one queued UTF-16 unit (two beyond U+FFFF).
void TextEvent(const char* text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        int cp = *p;
        int extra = 0;
        if (cp >= 0xF0)
            cp &= 0x07, extra = 3;
        else if (cp >= 0xE0)
            cp &= 0x0F, extra = 2;
        else if (cp >= 0xC0)
            cp &= 0x1F, extra = 1;
        else if (cp >= 0x80)
            cp = 0xFFFD; // stray continuation byte
        ++p;
        for (; extra > 0; --extra, ++p) {
            if ((*p & 0xC0) != 0x80) {
                cp = 0xFFFD;
                break;
            }
            cp = (cp << 6) | (*p & 0x3F);
        }
        if (cp > 0xFFFF) { // beyond the BMP: a surrogate pair, as the game's UTF-16 strings hold it
            PushChar(0xD800 + ((cp - 0x10000) >> 10));
            PushChar(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            PushChar(cp);
        }
    }
}

void SetMouse(int x, int y) {
    g_in.mouseX = x < 0 ? 0 : (x >= CanvasW() ? CanvasW() - 1 : x);
    g_in.mouseY = y < 0 ? 0 : (y >= CanvasH() ? CanvasH() - 1 : y);
}

// SDL numbers buttons 1 left, 2 middle, 3 right; the game 1 left, 2 right, 3 middle. 0: a button the game ignores.
int ButtonOf(Uint8 sdlButton) {
    switch (sdlButton) {
    case SDL_BUTTON_LEFT:
        return 1;
    case SDL_BUTTON_RIGHT:
        return 2;
    case SDL_BUTTON_MIDDLE:
        return 3;
    default:
        return 0;
    }
}

bool ValidButton(int b) { return b >= 1 && b < kMouseButtons; }
bool ValidKey(int vk) { return vk > 0 && vk < VK::COUNT; }

} // namespace

void Input_HandleEvent(const SDL_Event& ev) {
    switch (ev.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        KeyEvent(ev.key, ev.type == SDL_KEYDOWN);
        break;
    case SDL_TEXTINPUT:
        TextEvent(ev.text.text);
        break;
    case SDL_MOUSEMOTION: // already in canvas coordinates: the renderer's logical size converts them
        SetMouse(ev.motion.x, ev.motion.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        SetMouse(ev.button.x, ev.button.y);
        const int b = ButtonOf(ev.button.button);
        if (!b) break;
        const bool down = ev.type == SDL_MOUSEBUTTONDOWN;
        if (down) {
            // The capture decides once, at the press, on what is shown now; the release follows its press.
            g_in.captured[b] = g_capture && g_capture(g_in.mouseX, g_in.mouseY);
            ++g_in.allPresses[b];
            if (!g_in.captured[b]) {
                ++g_in.mouseHits[b];
                ++g_in.mousePresses[b];
            }
        } else if (g_in.mouseDown[b]) { // a release after focus loss let go of nothing held
            ++g_in.allReleases[b];
            if (!g_in.captured[b]) ++g_in.mouseReleases[b];
            g_in.captured[b] = false;
        }
        g_in.mouseDown[b] = down;
        break;
    }
    case SDL_MOUSEWHEEL: {
        const int dy = ev.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -ev.wheel.y : ev.wheel.y;
        g_in.mouseZ += dy; // away from the user is positive
        break;
    }
    default:
        break;
    }
}

void Input_ReleaseAll() {
    g_in.keyDown.fill(false);
    g_in.mouseDown.fill(false);
    g_in.captured.fill(false);
}

int Key_Hit(int vk) {
    if (!ValidKey(vk)) return 0;
    const int n = g_in.keyHits[vk];
    g_in.keyHits[vk] = 0;
    return n;
}

bool Key_Down(int vk) { return ValidKey(vk) && g_in.keyDown[vk]; }

int Key_GetChar() {
    if (g_in.charCount == 0) return 0;
    const int c = g_in.chars[g_in.charHead];
    g_in.charHead = (g_in.charHead + 1) % kCharQueueSize;
    --g_in.charCount;
    return c;
}

void Keys_Flush() {
    g_in.keyHits.fill(0);
    g_in.charHead = 0;
    g_in.charCount = 0;
}

int Mouse_X() { return g_in.mouseX; }
int Mouse_Y() { return g_in.mouseY; }
int Mouse_Z() { return g_in.mouseZ; }

int Mouse_Hit(int button) {
    if (!ValidButton(button)) return 0;
    const int n = g_in.mouseHits[button];
    g_in.mouseHits[button] = 0;
    return n;
}

bool Mouse_Down(int button) { return ValidButton(button) && g_in.mouseDown[button] && !g_in.captured[button]; }
bool Mouse_WasDown(int button) { return ValidButton(button) && g_in.mouseDownLast[button]; }
int Mouse_PressCount(int button) { return ValidButton(button) ? g_in.mousePresses[button] : 0; }
int Mouse_ReleaseCount(int button) { return ValidButton(button) ? g_in.mouseReleases[button] : 0; }

void Mouse_SetCapture(MouseCaptureTest test) { g_capture = test; }
int Mouse_AllPressCount(int button) { return ValidButton(button) ? g_in.allPresses[button] : 0; }
int Mouse_AllReleaseCount(int button) { return ValidButton(button) ? g_in.allReleases[button] : 0; }
bool Mouse_Held(int button) { return ValidButton(button) && g_in.mouseDown[button]; }

void Mouse_Flush() { g_in.mouseHits.fill(0); }

void Mouse_Move(int x, int y) {
    SetMouse(x, y);
    SDL_Window* const win = Sdl_Window();
    // Headless windows have no pointer: SDL would answer a warp with a motion event that names no window and so
    // carries window pixels where every other such event carries canvas pixels.
    if (!win || Sys_Headless()) return;
    // Canvas -> window: the canvas is scaled by the largest factor that fits and centred (letterboxed). The target
    // is the centre of the canvas pixel, so the motion event the warp may bring maps back to the same pixel.
    int ww = 0, wh = 0;
    SDL_GetWindowSize(win, &ww, &wh);
    const float s = std::min(static_cast<float>(ww) / CanvasW(), static_cast<float>(wh) / CanvasH());
    if (s <= 0) return;
    const int wx = static_cast<int>((ww - CanvasW() * s) / 2 + (g_in.mouseX + 0.5f) * s);
    const int wy = static_cast<int>((wh - CanvasH() * s) / 2 + (g_in.mouseY + 0.5f) * s);
    SDL_WarpMouseInWindow(win, wx, wy);
}

void Mouse_Show() {
    g_in.cursorVisible = true;
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(SDL_ENABLE);
}

void Mouse_Hide() {
    g_in.cursorVisible = false;
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(SDL_DISABLE);
}

bool Mouse_Visible() { return g_in.cursorVisible; }

int Input_Frame() { return g_frame; }
void Input_BeginFrame() {
    for (int b = 0; b < kMouseButtons; ++b)
        g_in.mouseDownLast[b] = g_in.mouseDown[b] && !g_in.captured[b];
    ++g_frame;
}
void Input_RestartFrames() { g_frame = 1; }

void Input_Flush() {
    Keys_Flush();
    Mouse_Flush();
}

void Input_Reset() {
    const InputState old = g_in;
    g_in = InputState{};
    g_in.cursorVisible = old.cursorVisible;
    g_in.mousePresses = old.mousePresses; // counted since start, so readers comparing two counts never go back
    g_in.mouseReleases = old.mouseReleases;
    g_in.allPresses = old.allPresses;
    g_in.allReleases = old.allReleases;
}
