// Test helpers that push SDL events the way a real keyboard, mouse and window would, and run them through the
// platform's event pump. Used by the system, input and harness tests.
#pragma once

#include <SDL.h>

#include <cstring>

#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/sdl_context.h"
#include "platform/system.h"

namespace sdl_push {

inline Uint32 WindowId() { return Sdl_Window() ? SDL_GetWindowID(Sdl_Window()) : 0; }

inline void Key(SDL_Scancode sc, SDL_Keycode key, bool down, bool repeat = false) {
    SDL_Event ev{};
    ev.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    ev.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    ev.key.repeat = repeat ? 1 : 0;
    ev.key.keysym.scancode = sc;
    ev.key.keysym.sym = key;
    SDL_PushEvent(&ev);
}

// Down and up of a key whose keycode is what the US layout gives.
inline void Tap(SDL_Scancode sc) {
    Key(sc, SDL_SCANCODE_TO_KEYCODE(sc), true);
    Key(sc, SDL_SCANCODE_TO_KEYCODE(sc), false);
}

inline void Text(const char* utf8) {
    SDL_Event ev{};
    ev.type = SDL_TEXTINPUT;
    std::strncpy(ev.text.text, utf8, sizeof ev.text.text - 1);
    SDL_PushEvent(&ev);
}

inline void Motion(int x, int y) {
    SDL_Event ev{};
    ev.type = SDL_MOUSEMOTION;
    ev.motion.windowID = WindowId();
    ev.motion.x = x;
    ev.motion.y = y;
    SDL_PushEvent(&ev);
}

inline void Button(Uint8 sdlButton, bool down, int x = 0, int y = 0) {
    SDL_Event ev{};
    ev.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    ev.button.windowID = WindowId();
    ev.button.button = sdlButton;
    ev.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    ev.button.clicks = 1;
    ev.button.x = x;
    ev.button.y = y;
    SDL_PushEvent(&ev);
}

inline void Wheel(int dy, bool flipped = false) {
    SDL_Event ev{};
    ev.type = SDL_MOUSEWHEEL;
    ev.wheel.windowID = WindowId();
    ev.wheel.y = dy;
    ev.wheel.direction = flipped ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL;
    SDL_PushEvent(&ev);
}

inline void Window(SDL_WindowEventID what) {
    SDL_Event ev{};
    ev.type = SDL_WINDOWEVENT;
    ev.window.windowID = WindowId();
    ev.window.event = static_cast<Uint8>(what);
    SDL_PushEvent(&ev);
}

inline void Quit() {
    SDL_Event ev{};
    ev.type = SDL_QUIT;
    SDL_PushEvent(&ev);
}

// Everything queued reaches the input state and the flags.
inline void Pump() { Sys_PollEvents(); }

// A clean slate: SDL started, headless harness with nothing scripted, no input, no pending events, no close request.
inline void Fresh(const HarnessConfig& config = [] {
    HarnessConfig c;
    c.headless = true;
    return c;
}()) {
    Sys_Init(0, nullptr);
    Harness_Configure(config);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    Input_Reset();
    Sys_ClearCloseRequest();
}

} // namespace sdl_push
