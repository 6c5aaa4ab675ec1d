// Do-nothing stand-ins for the other dialogs, the tutorial and the tips until they land.
// Library bq_menus; callers reach them through menus/menus.h.
// Landing: define a function in your own source and delete it here; delete this file when it is empty.
#include "menus/menus.h"

void Tutorial_Init() {}
void Tips_Init() {}
void Tips_Tick() {}
void Tips_Place() {}
void Tips_Draw() {}
void Tips_CheckBoard() {}
void Tips_ShowIceCrystal() {}
void Tips_ShowSnowball() {}
void Tips_SetSnowballPoint(int32_t, int32_t) {}
int32_t Tips_Visible = 0;
int32_t Tips_Tip20Delay = 1800000;
void Tutorial_ResetRun() {}
void Tutorial_ClearFlags(int32_t) {}
void Tutorial_OnEvent0() {}
void Tutorial_OnEvent1() {}
void Tutorial_OnEvent2(int32_t, int32_t) {}
void Tutorial_OnEvent3(int32_t, int32_t) {}
void Tutorial_OnEvent4(int32_t, int32_t) {}
void Tutorial_OnEvent5(int32_t, int32_t) {}
void Tutorial_OnEvent6(int32_t) {}
void Tutorial_OnEvent7(int32_t) {}
void Tutorial_OnEvent8() {}
void Tutorial_OnEvent11() {}
int32_t Tutorial_OnEvent12(int32_t, int32_t) { return 1; }
void Tutorial_OnEvent13(int32_t, int32_t) {}
int32_t Tutorial_OnEvent14(int32_t, int32_t) { return 1; }
void Tutorial_OnEvent15() {}
void Tutorial_OnEvent16(int32_t) {}
void Tutorial_OnManaChanged(int32_t, int32_t) {}
void Tutorial_OnGemsAdded(int32_t, int32_t) {}
