// Do-nothing stand-ins for the main menu, message boxes, high scores, tutorial and tips until they land.
// Library bq_menus; callers reach them through main/entry_points.h.
// Landing: define a function in your own source and delete it here; delete this file when it is empty.
#include "main/entry_points.h"

#include "main/assets.h"
#include "platform/graphics.h"
#include "platform/incbin.h"

void MainMenu_Load() {}
void MainMenu_Enter() {}
void MainMenu_Leave() {}
// Until the main menu lands, screen 0 shows its background so the game shows something.
void MainMenu_Frame() {
    static const ImagePtr bg = [] {
        const Str path = u"Images/MainMenu/mm_00.jpg";
        return Incbin_Exists(path) ? Images_Get(path) : nullptr;
    }();
    Draw_Cls();
    Background_DrawFullscreen(bg);
}
void Dialogs_LoadImages() {}
void WinLose_Build() {}
void HighScores_Build() {}
void IGMenu_Build() {}
void Players_Build() {}
void Options_Build() {}
void Credits_Build() {}
void Help_Build() {}
void Wallpapers_Build() {}
void Tutorial_Init() {}
void Tips_Init() {}
void Highscores_Init() {}
void Tips_Tick() {}
void Tips_Place() {}
void Tips_Draw() {}
void Tips_CheckBoard() {}
void Tips_ShowIceCrystal() {}
void Tips_ShowSnowball() {}
void Tips_SetSnowballPoint(int32_t, int32_t) {}
int32_t Tips_Visible = 0;
void Tutorial_ResetRun() {}
void Tutorial_ClearFlags(int32_t) {}
int32_t Highscores_FindRank(int32_t) { return -1; }
void Highscores_Insert(int32_t, const HS_Slot&) {}
void Highscores_Add(int32_t) {}
void Highscores_Save() {}
void HighScores_Open(int32_t, int32_t) {}
void MsgBox_Level_Open() {}
void MsgBox_HighScore_Open() {}
void MsgBox_CastlesDone_Open() {}
void MsgBox_Frame_Open() {}
void MsgBox_Game_Open() {}
void MsgBox_LevelsEnded_Open() {}
void MsgBox_LevelDone_Open() {}
void MsgBox_CastleCompleted_Open() {}
void MsgBox_Shop_Open() {}
void WinLose_Open() {}
void IGMenu_Init() {}
void IGMenu_Update() {}
void IGMenu_Draw() {}
void Wallpapers_Open() {}
int32_t Wallpapers_FromLevel = 0;
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
