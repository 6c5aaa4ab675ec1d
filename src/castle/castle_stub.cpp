// Do-nothing stand-ins for the shop, spells, gamble box and in-game interface until they land.
// Library bq_castle; callers reach them through castle/castle.h.
// Landing: define a function in your own source and delete it here; delete this file when it is empty.
#include "castle/castle.h"

float Freeze_TimeLeft = 0;
float Freeze_TimeTotal = 0;
std::array<GUIBtnPtr, kShopButtons> Shop_Buttons;
std::vector<Spell_Type> Spell_Types;

void Shop_Load() {}
void Shop_Update() {}
void Shop_Enter() {}
void Shop_Leave() {}
void Gamble_Init() {}
void Gamble_Roll() {}
void Gamble_DrawResult() {}
void IGI_OpenMenu() {}
void IGI_Update() {}
void IGI_Btn_Hammer_LeftUp() {}
GUIBtnPtr IGI_Button(int32_t) { return nullptr; }
void Shop_Btn_Back_LeftUp() {}
int32_t Fireball_CanPass(int32_t, int32_t) { return 0; }
int32_t Spell_GetIndex(int32_t) { return -1; }
