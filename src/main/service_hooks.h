// The services' calls upward: the game's own screen table (each screen's enter, leave and frame functions belong
// to the board, castle and menus) and the effects' image set-up that Images_LoadAll ends with. The runtime fills
// the table at start-up; until then every entry is a shared do-nothing function, never null.
#pragma once

#include <array>

#include "main/screens.h"

struct ServiceHooks {
    std::array<ScreenHooks, kScreenCount> Screens; // the game's screens 0..11 (Screens_Reset copies them; the
                                                   // pause screen 8 is the screens module's own)
    void (*EffectImages_Load)();                   // the effects' images, last step of Images_LoadAll
};
extern ServiceHooks Service_Hooks;
ServiceHooks Service_HooksDefault();
