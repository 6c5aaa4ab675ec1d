// The board's hook table and its do-nothing defaults (see board_hooks.h). Filled by the runtime at start-up.
#include "board/board_hooks.h"

#include "platform/hooks.h"

BoardHooks Board_HooksDefault() {
    BoardHooks h;
    Hooks_SetNothing(h.Snd_PlayIndex, h.Snd_PlayGrouped, h.Snd_PlayDelayed, h.Snd_PanAt, h.Gems_Add, h.Gfx_Kind4At,
                     h.Gfx_RemovedPieceBurst, h.Gfx_Kind22Burst, h.Gfx_ExplosionSparks, h.Gfx_ExplosionRays,
                     h.Gfx_Explosion16, h.Gfx_BlockerHit16, h.Gfx_Sparks, h.Gfx_BurstAtCell, h.Gfx_Kind21Burst,
                     h.Gfx_Kind37Circle, h.Gfx_CoinCollected, h.Gfx_BottleCollected, h.Gfx_CollectRing,
                     h.Particles_Reset, h.Effects_Clear, h.Tutorial_OnEvent1, h.Tutorial_OnEvent2, h.Tutorial_OnEvent3,
                     h.Tutorial_OnEvent4, h.Tutorial_OnEvent5, h.Tutorial_OnManaChanged, h.Tutorial_ResetRun,
                     h.Tips_Place, h.Tips_SetSnowballPoint);
    return h;
}

BoardHooks Board_Hooks = Board_HooksDefault();
