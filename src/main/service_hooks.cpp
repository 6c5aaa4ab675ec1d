// The services' hook table and its do-nothing defaults (see service_hooks.h); the runtime fills it at start-up.
// Apart from the screens, so that a program that links only what the board needs does not pull the screen switcher.
#include "main/service_hooks.h"

#include "platform/hooks.h"

ServiceHooks Service_HooksDefault() {
    ServiceHooks h;
    for (ScreenHooks& s : h.Screens)
        Hooks_SetNothing(s.enter, s.leave, s.frame);
    Hook_SetNothing(h.EffectImages_Load);
    return h;
}
ServiceHooks Service_Hooks = Service_HooksDefault();
