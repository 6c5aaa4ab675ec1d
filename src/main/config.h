// The configuration text file "mm_config.txt" in the data folder (KEY=value lines), the settings read from it, and
// the data and program folders. Loaded by the start-up; Config_Get/Config_SetValue are called by the options,
// players and name dialogs.
#pragma once

#include <array>
#include <cstdint>

#include "main/progress.h"
#include "platform/strings.h"

// ---- State owned here ------------------------------------------------------------------------------------------
extern Str Data_Folder;        // per-user data folder, no trailing "/"; the program folder if it cannot be made
extern Str App_Folder;         // folder of the executable, no trailing "/"
extern int32_t Player_Current; // current player 0..9 (PLAYER_CRT)
extern std::array<Str, 10> Player_Names; // PLAYER0..PLAYER9, "" for an unused slot
extern int32_t Windowed_Mode;            // 1 windowed, 0 full screen (WINDOWED_MODE)
extern int32_t Slow_PC;                  // 1 reduces effects (SLOW_PC)
extern int32_t Levels_Count;             // levels of the campaign (LEVELS_COUNT)
extern int32_t Users_Count;              // players ever added (USERS_COUNT)
extern int32_t Bg_Light;                 // 1 draws the board's light map (BG_LIGHT)

// ---- Defaults --------------------------------------------------------------------------------------------------
constexpr float kDefaultVolFx = 0.8f;      // effects volume 0..1
constexpr float kDefaultVolMusic = 0.8f;   // music volume 0..1
constexpr float kDefaultVolAmbient = 0.5f; // ambient loop volume 0..1
constexpr int32_t kDefaultWindowed = 1;    // a window on first start
constexpr int32_t kDefaultLevelsCount = 150;
constexpr int32_t kDefaultUsersCount = 0;
constexpr int32_t kDefaultBgLight = 1;
// LEVELS_COUNT's largest value: the levels whose ease the progress file stores (Player_LevelEase[p][1..150]).
constexpr int32_t kMaxLevelsCount = kLevelEaseSlots - 1;

// ---- Folders ---------------------------------------------------------------------------------------------------
// Sets App_Folder and Data_Folder (XDG data folder + "/Brisquel2", created; on failure the program folder with a
// diagnostic line).
void Folders_Init();
Str Data_Path(const Str& name); // Data_Folder + "/" + name

// ---- The configuration text ----------------------------------------------------------------------------------
// Reads the file (a missing file is written with every default), then sets the values above from it; a missing or
// out-of-range value takes its default with a diagnostic line. Unknown keys are dropped and characters above U+00FF
// become "?" (one diagnostic line each; the file is rewritten). A file that is no regular file, larger than 1 MB or
// unreadable is set aside as ".bad" and the defaults written; when it cannot be set aside it is left untouched and
// the game never writes it until it quits.
// Folders_Init also removes temporary files that a killed save left in the data folder.
void Config_Load();
// The value text of the key ("" when missing).
Str Config_Get(const Str& key);
// Replaces (or appends) the key's value and rewrites the file at once. False when the file could not be written.
bool Config_SetValue(const Str& key, const Str& value);
// The file text for the current entries (lines "KEY=value" + CR LF).
std::string Config_Text();
// Parses a configuration text: split at CR (and at LF), empty lines skipped, key up to the first "=". Later
// duplicates of a key replace earlier ones; keys the game does not know are dropped. Replaces the current entries.
void Config_Parse(const Str& text);
// Writes the volumes of the current player into FX_VOL, MUSIC_VOL and AMBIENT_VOL when they differ from the file.
void Config_StoreVolumes();
