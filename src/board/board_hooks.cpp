// The board's hook table and its do-nothing defaults (see board_hooks.h). Filled by the runtime at start-up.
#include "board/board_hooks.h"

#include "platform/hooks.h"

BoardHooks Board_HooksDefault() {
    BoardHooks h;
    Hooks_SetNothing(h.Snd_PlayIndex, h.Snd_PlayGrouped, h.Snd_PlayDelayed, h.Snd_PanAt, h.Gems_Add, h.Gems_LevelStart,
                     h.Castle_Animate, h.Gfx_Kind4At, h.Gfx_RemovedPieceBurst, h.Gfx_Kind22Burst, h.Gfx_ExplosionSparks,
                     h.Particles_Reset, h.Effects_Clear, h.Tutorial_OnEvent1, h.Tutorial_OnEvent2, h.Tutorial_OnEvent3,
                     h.Tutorial_OnEvent4, h.Tutorial_OnEvent5, h.Tutorial_OnManaChanged, h.Tutorial_ResetRun,
                     h.Tips_Place, h.Tips_SetSnowballPoint);
    return h;
}

BoardHooks Board_Hooks = Board_HooksDefault();
