// The game's text tables: German captions, box texts, tutorial steps, credits, help and wallpaper texts, and the
// English tip texts. Filled at start-up by Texts_SetGerman and Texts_SetEnglish (called by the runtime); read by
// the menus, dialogs, tutorial and tips. Texts of the board and the castles live with their own modules.
#pragma once

#include <array>
#include <cstdint>

#include "platform/strings.h"

// ---- State owned by this module (entries that no screen shows stay empty) ----------------------------------------
extern std::array<Str, 19> MsgBox_Texts;       // message-box texts by box text number
extern std::array<Str, 13> MsgBox_Titles;      // message-box titles
extern std::array<Str, 3> NameBox_Prompts;     // user-name box prompt by mode (first start, rename, add)
extern std::array<Str, 23> Button_Captions;    // dialog button captions by caption number
extern std::array<Str, 6> MainMenu_Captions;   // main-menu buttons by id (2 is "Spieler " + name)
extern std::array<Str, 3> IGMenu_Captions;     // in-game menu buttons: restart, main menu, play on
extern std::array<Str, 9> Options_Captions;    // options dialog widgets by id
extern std::array<Str, 45> Tutorial_Texts;     // tutorial step texts by step id
extern std::array<Str, 51> Tips_Texts;         // English in-game tips by tip number
extern std::array<Str, 5> WinLose_Texts;       // level-won dialog: title, subtitle, resources, time, time bonus
extern std::array<Str, 3> Help_Captions;       // help dialog buttons: back, next, previous
extern std::array<Str, 3> Help_PageTexts;      // help page names (fitted at start-up, not drawn)
extern std::array<Str, 6> Wallpapers_Captions; // wallpapers dialog buttons by id
extern Str Options_Title;                      // "OPTIONEN"
extern Str HighScores_Title;                   // "Highscores"
extern Str Credits_Title;                      // "Credits:"
extern Str Credits_Body;                       // studio line, empty line, five role lines; lines end CR LF
extern Str Credits_Version;                    // "Version " + version number
extern Str Wallpapers_LockedText;              // shown over a locked wallpaper's preview
extern Str Wallpapers_FailedText;              // the desktop could not be set; followed by the bitmap's path

// Fill the tables. Safe to call again (everything is rewritten).
void Texts_SetGerman();  // every German table
void Texts_SetEnglish(); // the English tip texts (Tips_Texts) only

// The castle-completed box text for a castle's name (two lines, CR LF between them).
Str Text_CastleCompleted(const Str& castleName);
// The all-castles-early box text with the number of bonus levels.
Str Text_AllCastlesEarly(int32_t bonusLevels);

// Entry `index` of a table; outside the table: a diagnostic line naming the table and the index, and an empty text.
const Str& Text_Entry(const Str* table, int count, int index, const char* tableName);
template <size_t N> const Str& Text_Entry(const std::array<Str, N>& table, int index, const char* tableName) {
    return Text_Entry(table.data(), static_cast<int>(N), index, tableName);
}
