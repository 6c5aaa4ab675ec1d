// Game_Paused (declared with the screens, main/screens.h): written by the pause, the boxes over the game and the
// level start, read by the game screen. In a file of its own so that the board links it without the screens.
#include "main/screens.h"

int32_t Game_Paused = 0;
