// The effects' hook table and its do-nothing defaults (see effects.h). Filled by the runtime at start-up.
#include "effects/effects.h"
#include "platform/hooks.h"

EffectsHooks Effects_HooksDefault() {
    EffectsHooks h;
    Hooks_SetNothing(h.Freeze_TimeLeft, h.Freeze_TimeTotal);
    return h;
}

EffectsHooks Effects_Hooks = Effects_HooksDefault();
