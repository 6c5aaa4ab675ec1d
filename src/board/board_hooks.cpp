// The board's hook table and its do-nothing defaults (see board_hooks.h). Filled by the runtime at start-up.
#include "board/board_hooks.h"

#include "platform/hooks.h"

BoardHooks Board_HooksDefault() {
    BoardHooks h;
    Hooks_SetNothing(
        h.Snd_PlayIndex, h.Snd_PlayGrouped, h.Snd_PlayDelayed, h.Snd_PanAt, h.Gems_Add, h.Gems_LevelStart,
        h.Castle_Animate, h.Gfx_Kind4At, h.Gfx_RemovedPieceBurst, h.Gfx_Kind22Burst, h.Gfx_ExplosionSparks,
        h.Gfx_ExplosionRays, h.Gfx_Explosion16, h.Gfx_BlockerHit16, h.Gfx_Sparks, h.Gfx_BurstAtCell, h.Gfx_Kind21Burst,
        h.Gfx_Kind37Circle, h.Gfx_CoinCollected, h.Gfx_BottleCollected, h.Gfx_CollectRing, h.Gfx_DestroySparks,
        h.Gfx_MatchTrail, h.Particles_Reset, h.Effects_Clear, h.Tutorial_OnEvent1, h.Tutorial_OnEvent2,
        h.Tutorial_OnEvent3, h.Tutorial_OnEvent4, h.Tutorial_OnEvent5, h.Tutorial_OnManaChanged, h.Tutorial_ResetRun,
        h.Tips_Place, h.Tips_SetSnowballPoint, h.Castle_SaveState, h.Castle_LoadState, h.Castle_ResetProgress,
        h.Spells_LevelStart, h.Spells_TakesClicks, h.Spells_TimeStands, h.Particles_HammerBurst, h.MsgBox_Level_Open,
        h.MsgBox_LevelDone_Open, h.MsgBox_LevelsEnded_Open, h.MsgBox_HighScore_Open, h.MsgBox_CastlesDone_Open,
        h.Wallpapers_Open, h.HighScores_Open, h.Highscores_FindRank, h.Highscores_Add, h.Highscores_Insert,
        h.Highscores_Save, h.Tutorial_OnEvent6, h.Tutorial_OnEvent7, h.Tutorial_OnEvent12, h.Tutorial_OnEvent14,
        h.Tutorial_OnEvent15, h.Tutorial_ClearFlags, h.Tips_CheckBoard, h.Editor_IsTesting, h.Editor_EndTest);
    // The tutorial's gates allow, and no score has a high-score place, while nobody is there to ask.
    h.Tutorial_OnEvent12 = [](int32_t, int32_t) -> int32_t { return 1; };
    h.Tutorial_OnEvent14 = [](int32_t, int32_t) -> int32_t { return 1; };
    h.Highscores_FindRank = [](int32_t) -> int32_t { return -1; };
    return h;
}

BoardHooks Board_Hooks = Board_HooksDefault();
