// Do-nothing stand-ins for the board's play loop, screens, hammers and saved match until they land.
// Linked into bq_board; callers reach them through board/play.h.
// Landing: define a function in your own source and delete it here; delete this file when it is empty.
#include "board/play.h"

int32_t Level_StartMode = 0;
int32_t Level_Sweeping = 0;
int32_t Level_OfferMade = 0;
int64_t Level_OfferTime = 120000000; // two minutes
int32_t Level_TimeBought = 0;
int32_t Level_LastPlayed = 0;
int32_t Match_Continued = 0;
int32_t Match_EndState = 0;
int32_t Match_StartLevel = 0;
int32_t Match_PlayMs = 0;
std::array<Hammer, 4> Hammers;
int32_t Hammer_Current = 0;
int32_t Hammer_Charge = 0;
int32_t Hammer_ButtonX = 0;
int32_t Hammer_ButtonY = 0;

void Game_Frame() {}
void Game_Enter() {}
void Game_Leave() {}
void Screen5_Frame() {}
void Screen5_Enter() {}
void Screen5_Leave() {}
void LevelEnd_Frame() {}
void LevelEnd_Enter() {}
void LevelEnd_Leave() {}
void Dimmed_Frame() {}
void Dimmed_Enter() {}
void Dimmed_Leave() {}
void Board_Draw() {}
void Board_HandleClick() {}
void LightMap_Reset() {}
void Hammer_AddCharge(int32_t) {}
void Hammer_Update() {}
void Hammer_HandleClick() {}
int32_t Hammer_CanHit(int32_t, int32_t) { return 0; }
void LevelEnd_LightSweep() {}
void Game_Start(int32_t) {}
void Match_New() {}
void Match_Reset() {}
void Match_Continue() {}
int32_t Match_Exists() { return 0; }
void Match_Load() {}
void Match_Write(int32_t) {}
void Match_Delete() {}
void Match_Save(int32_t, int32_t) {}
void HighScore_AddFromGame() {}
void Match_AllCompleted() {}
void Match_BackToMenu() {}
void Match_CastlesCompleted() {}
