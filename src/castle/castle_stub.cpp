// Do-nothing stand-ins for the shop, spells, gamble box and in-game interface until they land.
// Library bq_castle; callers reach them through main/entry_points.h.
// Landing: define a function in your own source and delete it here; delete this file when it is empty.
#include "main/entry_points.h"

void Shop_Load() {}
void Shop_Update() {}
void Shop_Enter() {}
void Shop_Leave() {}
void Gamble_Init() {}
void Gamble_Roll() {}
void Gamble_DrawResult() {}
void IGI_OpenMenu() {}
void IGI_Update() {}
void Shop_Btn_Back_LeftUp() {}
int32_t Fireball_CanPass(int32_t, int32_t) { return 0; }
