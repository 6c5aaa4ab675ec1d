// Do-nothing stand-ins for the castles, gems, build menu, shop, level map and in-game interface until they land.
// Library bq_castle; callers reach them through castle/castle.h.
// Landing: define a function in your own source and delete it here; delete this file when it is empty.
#include "castle/castle.h"

int32_t BuildMenu_From = 0;
std::vector<Castle_Elem> Castle_Elems;
int32_t Castle_JustCompleted = 0;
const std::array<Str, 7> Castle_Names = {u"Gemunor",   u"Saithar", u"Mudiat",  u"Taykryn",
                                         u"Lagar'Mor", u"Luor",    u"Lohinril"};
int32_t Fade_State = 0;
float Fade_Offset = 0;
float Fade_Limit = 0;
float Fade_Speed = 0;
float Freeze_TimeLeft = 0;
float Freeze_TimeTotal = 0;
std::array<ImagePtr, 7> Gem_Pictures;
std::array<int32_t, 7> Gems_Total{};
std::array<int32_t, 7> Gems_ThisLevel{};
std::array<int32_t, 4> Gems_BagLimits{};
int32_t Treasure_Level = 0;
std::array<int32_t, 2> Treasure_DisplayX{};
std::array<int32_t, 2> Treasure_DisplayY{};
std::array<GUIBtnPtr, kShopButtons> Shop_Buttons;
std::vector<Spell_Type> Spell_Types;

void Castle::Completed() {}
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
void IGI_Btn_Hammer_LeftUp() {}
void LevelMap_ResetCursor() {}
void BuildMenu_LayoutPartButtons() {}
void BuildMenu_UpdateRelaxButton() {}
void Shop_Btn_Back_LeftUp() {}
int32_t Fireball_CanPass(int32_t, int32_t) { return 0; }
int32_t Spell_GetIndex(int32_t) { return -1; }
