// The window toolkit's public services: its window list and its set-up. Called by the runtime's start-up and by
// the level editor. The toolkit knows no game: it includes nothing but the platform and itself.
#pragma once

#include "platform/list.h"

class PNO_Window;                       // the toolkit's window (its own header defines it)
extern TList<PNO_Window> Paneo_Windows; // every toolkit window, back to front; made empty by the start-up's global
                                        // set-up, the toolkit's from then on
void Toolkit_Init();                    // global set-up, after Paneo_Windows is made empty: the toolkit's own state
