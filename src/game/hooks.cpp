// The runtime fills every hook table with the game's own functions: the screen table and the effects' image set-up
// of the services, the board's sounds, gems, effects, tutorial events and tips, the effects' view of the time-stop
// spell and the castle's tutorial events, boxes and in-game menu. Called by Main_Body before anything else runs.
#include "board/board_hooks.h"
#include "board/play.h"
#include "castle/castle.h"
#include "editor/editor.h"
#include "effects/effects.h"
#include "main/audio.h"
#include "game/startup.h"
#include "main/screens.h"
#include "main/service_hooks.h"
#include "menus/menus.h"

namespace {

// The audio module's calls return the channel or take a default pan; the board's table wants plain functions.
void PlayIndex(int32_t id, float pan) { Snd_PlayIndex(id, pan); }
void PlayGrouped(int32_t id, float pan) { Snd_PlayGrouped(id, pan); }
void PlayDelayed(int32_t id, float delayMs, float pan) { Snd_PlayDelayed(id, delayMs, pan); }
// A hammer's icon burst: the effects' image emitter with its two kinds of flight.
void HammerBurst(const ImagePtr& source, int32_t awayFromPoint, int32_t thinning, int32_t x, int32_t y,
                 const ImagePtr& sprite, int32_t frames, float startScale) {
    Particles_FromImage(source, Dialog_Nothing, awayFromPoint ? Particle_NewFromPixel2 : Particle_NewFromPixel,
                        Particle_Step, thinning, x, y, 1.0f, sprite, frames, startScale, 30);
}

} // namespace

void Runtime_InstallHooks() {
    // The game's screens; 2, 3 and 4 are passing states that show the main menu's frame, 8 is the screens
    // module's own pause screen.
    Service_Hooks.Screens = {{
        {MainMenu_Enter, MainMenu_Leave, MainMenu_Frame},     // 0 main menu
        {Game_Enter, Game_Leave, Game_Frame},                 // 1 game
        {Dialog_Nothing, Dialog_Nothing, MainMenu_Frame},     // 2 passing
        {Dialog_Nothing, Dialog_Nothing, MainMenu_Frame},     // 3 passing
        {Dialog_Nothing, Dialog_Nothing, MainMenu_Frame},     // 4 passing
        {Screen5_Enter, Screen5_Leave, Screen5_Frame},        // 5 level start
        {LevelEnd_Enter, LevelEnd_Leave, LevelEnd_Frame},     // 6 level end
        {Dimmed_Enter, Dimmed_Leave, Dimmed_Frame},           // 7 dimmed board
        {Dialog_Nothing, Dialog_Nothing, Dialog_Nothing},     // 8 pause (the screens module's own)
        {BuildMenu_Enter, BuildMenu_Leave, BuildMenu_Update}, // 9 build menu
        {LevelMap_Enter, LevelMap_Leave, LevelMap_Frame},     // 10 level map
        {Shop_Enter, Shop_Leave, Shop_Update},                // 11 shop
    }};
    Service_Hooks.EffectImages_Load = EffectImages_Load;

    BoardHooks& b = Board_Hooks;
    b.Snd_PlayIndex = PlayIndex;
    b.Snd_PlayGrouped = PlayGrouped;
    b.Snd_PlayDelayed = PlayDelayed;
    b.Snd_PanAt = Snd_PanAt;
    // A test run of the level editor collects no gems into the player's bag.
    b.Gems_Add = [](int32_t colour, int32_t amount) {
        if (!Editor_Testing) Gems_Add(colour, amount);
    };
    b.Gems_LevelStart = Gems_LevelStart;
    b.Castle_Animate = Castle_Animate;
    b.Gfx_Kind4At = Gfx_Kind4At;
    b.Gfx_RemovedPieceBurst = Gfx_RemovedPieceBurst;
    b.Gfx_Kind22Burst = Gfx_Kind22Burst;
    b.Gfx_ExplosionSparks = Gfx_ExplosionSparks;
    b.Gfx_ExplosionRays = Gfx_ExplosionRays;
    b.Gfx_Explosion16 = Gfx_Explosion16;
    b.Gfx_BlockerHit16 = Gfx_BlockerHit16;
    b.Gfx_Sparks = Gfx_Sparks;
    b.Gfx_BurstAtCell = Gfx_BurstAtCell;
    b.Gfx_Kind21Burst = Gfx_Kind21Burst;
    b.Gfx_Kind37Circle = Gfx_Kind37Circle;
    b.Gfx_CoinCollected = Gfx_CoinCollected;
    b.Gfx_BottleCollected = Gfx_BottleCollected;
    b.Gfx_CollectRing = Gfx_CollectRing;
    b.Gfx_DestroySparks = Gfx_DestroySparks;
    b.Gfx_MatchTrail = Gfx_MatchTrail;
    b.Particles_Reset = Particles_Reset;
    b.Effects_Clear = Effects_Clear;
    b.Tutorial_OnEvent1 = Tutorial_OnEvent1;
    b.Tutorial_OnEvent2 = Tutorial_OnEvent2;
    b.Tutorial_OnEvent3 = Tutorial_OnEvent3;
    b.Tutorial_OnEvent4 = Tutorial_OnEvent4;
    b.Tutorial_OnEvent5 = Tutorial_OnEvent5;
    b.Tutorial_OnManaChanged = Tutorial_OnManaChanged;
    b.Tutorial_ResetRun = Tutorial_ResetRun;
    b.Tips_Place = Tips_Place;
    b.Tips_SetSnowballPoint = Tips_SetSnowballPoint;
    b.Castle_SaveState = Castle_SaveState;
    b.Castle_LoadState = Castle_LoadState;
    b.Castle_ResetProgress = Castle_ResetProgress;
    b.Spells_LevelStart = Spells_LevelStart;
    b.Spells_TakesClicks = Spells_TakesClicks;
    b.Spells_TimeStands = Spells_TimeStands;
    b.Particles_HammerBurst = HammerBurst;
    b.MsgBox_Level_Open = MsgBox_Level_Open;
    b.MsgBox_LevelDone_Open = MsgBox_LevelDone_Open;
    b.MsgBox_LevelsEnded_Open = MsgBox_LevelsEnded_Open;
    b.MsgBox_HighScore_Open = MsgBox_HighScore_Open;
    b.MsgBox_CastlesDone_Open = MsgBox_CastlesDone_Open;
    b.Wallpapers_Open = Wallpapers_Open;
    b.HighScores_Open = HighScores_Open;
    b.Highscores_FindRank = Highscores_FindRank;
    b.Highscores_Add = Highscores_Add;
    b.Highscores_Insert = [](int32_t place, int32_t player, int32_t score, int32_t start, int32_t last, int32_t s) {
        Highscores_Insert(place, HS_Slot{player, score, start, last, s});
    };
    b.Highscores_Save = Highscores_Save;
    b.Tutorial_OnEvent6 = Tutorial_OnEvent6;
    b.Tutorial_OnEvent7 = Tutorial_OnEvent7;
    b.Tutorial_OnEvent12 = Tutorial_OnEvent12;
    b.Tutorial_OnEvent14 = Tutorial_OnEvent14;
    b.Tutorial_OnEvent15 = Tutorial_OnEvent15;
    b.Tutorial_ClearFlags = Tutorial_ClearFlags;
    b.Tips_CheckBoard = Tips_CheckBoard;
    b.Editor_IsTesting = [] { return Editor_Testing; };
    b.Editor_EndTest = Editor_EndTest;

    Effects_Hooks.Freeze_TimeLeft = [] { return Freeze_TimeLeft; };
    Effects_Hooks.Freeze_TimeTotal = [] { return Freeze_TimeTotal; };

    CastleHooks& c = Castle_Hooks;
    c.Tutorial_OnEvent0 = Tutorial_OnEvent0;
    c.Tutorial_OnEvent8 = Tutorial_OnEvent8;
    c.Tutorial_OnEvent11 = Tutorial_OnEvent11;
    c.Tutorial_OnEvent16 = Tutorial_OnEvent16;
    c.Tutorial_OnGemsAdded = Tutorial_OnGemsAdded;
    c.Tutorial_OnManaChanged = Tutorial_OnManaChanged;
    c.Tutorial_OnEvent12 = Tutorial_OnEvent12;
    c.MsgBox_Shop_Open = MsgBox_Shop_Open;
    c.MsgBox_CastleCompleted_Open = MsgBox_CastleCompleted_Open;
    c.IGMenu_Init = IGMenu_Init;
    c.IGMenu_Update = IGMenu_Update;
    c.IGMenu_Draw = IGMenu_Draw;
}
