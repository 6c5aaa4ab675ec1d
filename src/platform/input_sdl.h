// Private to the platform: how SDL events reach the polled input state. Called by the event pump in system.cpp for
// every event it takes from SDL's queue.
#pragma once

#include <SDL.h>

void Input_HandleEvent(const SDL_Event& ev);
void Input_ReleaseAll(); // the window lost focus: nothing is held any more (key-ups would never arrive)
