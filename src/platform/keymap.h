// Private to the platform: Windows virtual-key codes <-> SDL scancodes and keycodes. Used by input.cpp (events to
// key codes) and harness.cpp (scripted key codes to events).
#pragma once

#include <SDL.h>

// Virtual-key code of a key event, or 0 when the key has none. Letters follow the keycode (the user's layout) and
// fall back to the scancode on layouts without Latin letters; every other key follows the scancode.
int Vk_FromSdl(SDL_Scancode scancode, SDL_Keycode keycode);
// The key a virtual-key code stands for (generic Shift/Ctrl/Alt give the left key). False for unknown codes.
bool Vk_ToSdl(int vk, SDL_Scancode& scancode, SDL_Keycode& keycode);
