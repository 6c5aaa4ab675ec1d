// Do-nothing stand-ins for the castles, gems, build menu, shop, level map and in-game interface until they land.
// Library bq_castle; callers reach them through main/entry_points.h.
// Landing: define a function in your own source and delete it here; delete this file when it is empty.
#include "castle/castle.h"
#include "main/entry_points.h"

void Castle_Init() {}
void BuildMenu_Load() {}
void Shop_Load() {}
void LevelMap_Load() {}
void BuildMenu_Update() {}
void BuildMenu_Enter() {}
void BuildMenu_Leave() {}
void LevelMap_Frame() {}
void LevelMap_Enter() {}
void LevelMap_Leave() {}
void Shop_Update() {}
void Shop_Enter() {}
void Shop_Leave() {}
void Gems_Add(int32_t, int32_t) {}
void Gamble_Init() {}
void Gamble_Roll() {}
void Gamble_DrawResult() {}
void IGI_OpenMenu() {}
void IGI_Update() {}
void LevelMap_ResetCursor() {}
void BuildMenu_LayoutPartButtons() {}
void BuildMenu_UpdateRelaxButton() {}
void Shop_Btn_Back_LeftUp() {}
int32_t Fireball_CanPass(int32_t, int32_t) { return 0; }
const std::array<Str, 7> Castle_Names = {u"Gemunor",   u"Saithar", u"Mudiat",  u"Taykryn",
                                         u"Lagar'Mor", u"Luor",    u"Lohinril"};
int32_t Castle_JustCompleted = 0;
std::array<GUIBtnPtr, kShopButtons> Shop_Buttons;
