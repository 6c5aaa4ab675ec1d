// Private to the platform: the SDL window, renderer and canvas behind graphics.h, for the other platform modules
// (input converts pointer positions, the event pump forwards window events). Game code never includes this.
#pragma once

#include <SDL.h>

SDL_Window* Sdl_Window();     // null while the graphics are closed
SDL_Renderer* Sdl_Renderer(); // null while the graphics are closed
SDL_Texture* Sdl_Canvas();    // the canvas texture, the render target while the window is not of the canvas size
// Window events the graphics react to (maximising switches to full screen). Called by the event pump for every
// SDL_WINDOWEVENT; other events are ignored.
void Graphics_HandleEvent(const SDL_Event& ev);
