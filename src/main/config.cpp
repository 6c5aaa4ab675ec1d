// The configuration text file and the data and program folders: parsing, defaults with range checks, rewriting
// through an atomic save. Called by the start-up (Folders_Init, Config_Load) and by the settings dialogs.
#include "main/config.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "main/progress.h"
#include "main/runtime.h"
#include "platform/folders.h"
#include "platform/stream.h"

Str Data_Folder;
Str App_Folder;
int32_t Player_Current = 0;
std::array<Str, 10> Player_Names;
int32_t Windowed_Mode = kDefaultWindowed;
int32_t Slow_PC = 0;
int32_t Levels_Count = kDefaultLevelsCount;
int32_t Users_Count = kDefaultUsersCount;
int32_t Bg_Light = kDefaultBgLight;

namespace {

std::vector<std::pair<Str, Str>> g_entries; // the file's keys and values in file order (known keys only)
bool g_keepFile = false; // the file could be neither read nor set aside: it is left alone, never overwritten
bool g_repaired = false; // the last parse dropped unknown keys or replaced characters: the file is rewritten
constexpr size_t kMaxConfigBytes = 1 << 20; // far more than the known keys with any names fill, yet quick to read

// The keys the game reads; any other key is dropped when the file is read.
constexpr const char16_t* kKnownKeys[] = {
    u"PLAYER0",       u"PLAYER1",      u"PLAYER2",     u"PLAYER3",    u"PLAYER4", u"PLAYER5",   u"PLAYER6",
    u"PLAYER7",       u"PLAYER8",      u"PLAYER9",     u"PLAYER_CRT", u"FX_VOL",  u"MUSIC_VOL", u"AMBIENT_VOL",
    u"WINDOWED_MODE", u"LEVELS_COUNT", u"USERS_COUNT", u"SLOW_PC",    u"BG_LIGHT"};

bool IsKnownKey(const Str& key) {
    for (const char16_t* k : kKnownKeys)
        if (key == k) return true;
    return false;
}

// Latin-1 is all the file holds: characters above U+00FF (from a UTF-8 or UTF-16 file, or typed) become "?"
// instead of being cut to their low byte when written. True when something was replaced.
bool ToLatin1Range(Str& text) {
    bool replaced = false;
    Str out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c <= 0xFF) {
            out.push_back(c);
            continue;
        }
        // A surrogate pair is one character.
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) ++i;
        out.push_back(u'?');
        replaced = true;
    }
    if (replaced) text = out;
    return replaced;
}

Str ConfigPath() { return Data_Path(u"mm_config.txt"); }

// An integer key: valid when it is a number within lo..hi. Otherwise its default, with a diagnostic line.
std::pair<int32_t, bool> IntKey(const Str& key, int32_t def, int32_t lo, int32_t hi) {
    const Str v = Str_Trim(Config_Get(key));
    bool digits = !v.empty();
    for (size_t i = 0; i < v.size(); ++i) {
        const char16_t c = v[i];
        if (!((c >= u'0' && c <= u'9') || (i == 0 && c == u'-' && v.size() > 1))) digits = false;
    }
    const int32_t n = digits && v.size() < 10 ? Str_ToInt(v) : 0;
    if (!digits || v.size() >= 10 || n < lo || n > hi) {
        Log_Print(u"config: " + key + u" missing or out of range (\"" + v + u"\"), using " + Str_FromInt(def));
        return {def, false};
    }
    return {n, true};
}

// A volume key: valid when it is a number within 0..1.
std::pair<float, bool> FloatKey(const Str& key, float def) {
    const Str v = Str_Trim(Config_Get(key));
    const bool isNumber = !v.empty() && ((v[0] >= u'0' && v[0] <= u'9') || v[0] == u'.');
    const float f = Str_ToFloat(v);
    if (!isNumber || !(f >= 0.0f && f <= 1.0f)) {
        Log_Print(u"config: " + key + u" missing or out of range (\"" + v + u"\"), using " + Str_FromFloat(def));
        return {def, false};
    }
    return {f, true};
}

void SetEntry(const Str& key, const Str& value) {
    Str v = value;
    const bool replaced = ToLatin1Range(v);
    auto it = std::find_if(g_entries.begin(), g_entries.end(), [&](const auto& e) { return e.first == key; });
    if (it != g_entries.end() && it->second == v) return; // a repeated line: nothing new to say
    if (replaced) {
        Log_Print(u"config: " + key + u" holds characters outside Latin-1, replaced by \"?\"");
        g_repaired = true;
    }
    if (it != g_entries.end())
        it->second = v;
    else
        g_entries.emplace_back(key, v);
}

bool WriteFile() {
    if (g_keepFile) return false; // reported when it was found unreadable
    const std::string text = Config_Text();
    return File_SaveAtomic(ConfigPath(), text.data(), text.size());
}

// The text of a float value as the file keeps it.
Str FloatText(float v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", double(v));
    return S(buf);
}

} // namespace

void Folders_Init() {
    App_Folder = Sys_AppFolder();
    const Str base = Sys_AppDataFolder();
    const Str folder = base + u"/Brisquel2";
    if (!base.empty() && Dir_Create(folder)) {
        Data_Folder = folder;
    } else {
        Log_Print(u"cant create data folder " + folder + u", using " + App_Folder);
        Data_Folder = App_Folder;
    }
    // Saves cut short by a kill or a power cut leave their temporary files behind.
    const int stale = File_RemoveStaleTemps(Data_Folder);
    if (stale > 0) Log_Print(u"removed " + Str_FromInt(stale) + u" unfinished temporary files from " + Data_Folder);
}

Str Data_Path(const Str& name) { return Data_Folder + u"/" + name; }

Str Config_Get(const Str& key) {
    for (const auto& e : g_entries)
        if (e.first == key) return e.second;
    return Str();
}

bool Config_SetValue(const Str& key, const Str& value) {
    SetEntry(key, value);
    return WriteFile();
}

std::string Config_Text() {
    std::string out;
    for (const auto& e : g_entries)
        out += Str_ToLatin1(e.first) + "=" + Str_ToLatin1(e.second) + "\r\n";
    return out;
}

void Config_Parse(const Str& text) {
    g_entries.clear();
    g_repaired = false;
    size_t unknown = 0;
    Str firstUnknown;
    // Lines end at CR; a lone LF ends one too, so a file edited with a Linux editor still reads.
    for (const Str& line : Str_SplitLines(text)) {
        const size_t eq = line.find(u'=');
        if (eq == Str::npos || eq == 0) continue;
        const Str key = line.substr(0, eq);
        // Only the known keys are kept, so the entries stay few and each line costs the same.
        if (IsKnownKey(key))
            SetEntry(key, line.substr(eq + 1));
        else if (unknown++ == 0)
            firstUnknown = key;
    }
    if (unknown > 0) {
        Log_Print(u"config: " + Str_FromInt(int64_t(unknown)) + u" lines with unknown keys dropped (first \"" +
                  firstUnknown.substr(0, 40) + u"\")");
        g_repaired = true;
    }
}

void Config_Load() {
    const Str path = ConfigPath();
    // Type and size come first: a FIFO would block the start, a huge file would take all memory.
    const int type = File_Type(path);
    const int64_t size = type == 1 ? File_Size(path) : -1;
    std::vector<uint8_t> bytes;
    const bool readable = type == 1 && size <= int64_t(kMaxConfigBytes) && File_ReadAll(path, bytes, kMaxConfigBytes);
    g_entries.clear();
    g_keepFile = false;
    if (type != 0 && !readable) {
        // Not missing but unusable: set aside so the player can recover it; when even that fails, it is left as it
        // is and the game runs on the defaults until it quits, never writing it.
        const bool moved = File_SetAside(path);
        g_keepFile = !moved;
        const Str why = type == 2                         ? Str(u" is a folder")
                        : type == 3                       ? Str(u" is not a regular file")
                        : size > int64_t(kMaxConfigBytes) ? u" has " + Str_FromInt(size) + u" bytes, too many"
                                                          : Str(u" cannot be read");
        Log_Print(u"config file " + path + why +
                  (moved ? u", set aside as " + path + u".bad" : Str(u", cannot be renamed, left untouched")) +
                  u"; using defaults");
    }
    if (readable) {
        Config_Parse(File_DecodeText(bytes));
    } else {
        // A first start: every key with its default, silently.
        std::string text;
        for (int i = 0; i < 10; ++i)
            text += "PLAYER" + std::to_string(i) + "=\r";
        text += "PLAYER_CRT=0\rFX_VOL=" + Str_ToLatin1(FloatText(kDefaultVolFx)) +
                "\rMUSIC_VOL=" + Str_ToLatin1(FloatText(kDefaultVolMusic)) +
                "\rAMBIENT_VOL=" + Str_ToLatin1(FloatText(kDefaultVolAmbient)) +
                "\rWINDOWED_MODE=" + std::to_string(kDefaultWindowed) +
                "\rLEVELS_COUNT=" + std::to_string(kDefaultLevelsCount) +
                "\rUSERS_COUNT=" + std::to_string(kDefaultUsersCount) +
                "\rSLOW_PC=0\rBG_LIGHT=" + std::to_string(kDefaultBgLight) + "\r";
        Config_Parse(S(text));
    }

    bool changed = !readable || g_repaired;
    // Every key gets a valid value; invalid ones are replaced in the file as well.
    const auto fixInt = [&](const char* key, int32_t def, int32_t lo, int32_t hi) {
        const auto [v, ok] = IntKey(S(key), def, lo, hi);
        if (!ok) {
            SetEntry(S(key), Str_FromInt(v));
            changed = true;
        }
        return v;
    };
    const auto fixFloat = [&](const char* key, float def) {
        const auto [v, ok] = FloatKey(S(key), def);
        if (!ok) {
            SetEntry(S(key), FloatText(v));
            changed = true;
        }
        return v;
    };
    for (int i = 0; i < 10; ++i) {
        const Str key = u"PLAYER" + Str_FromInt(i);
        Player_Names[size_t(i)] = Config_Get(key);
        bool present = false;
        for (const auto& e : g_entries)
            present = present || e.first == key;
        if (!present) {
            Log_Print(u"config: " + key + u" missing, using an empty name");
            SetEntry(key, Str());
            changed = true;
        }
    }
    Player_Current = fixInt("PLAYER_CRT", 0, 0, 9);
    fixFloat("FX_VOL", kDefaultVolFx);
    fixFloat("MUSIC_VOL", kDefaultVolMusic);
    fixFloat("AMBIENT_VOL", kDefaultVolAmbient);
    Windowed_Mode = fixInt("WINDOWED_MODE", kDefaultWindowed, 0, 1);
    Levels_Count = fixInt("LEVELS_COUNT", kDefaultLevelsCount, 1, kMaxLevelsCount);
    Users_Count = fixInt("USERS_COUNT", kDefaultUsersCount, 0, 1000000);
    Slow_PC = fixInt("SLOW_PC", 0, 0, 1);
    Bg_Light = fixInt("BG_LIGHT", kDefaultBgLight, 0, 1);
    // A damaged file is kept as it was before the repaired one replaces it: a flipped byte in a key would otherwise
    // lose that player's name for good.
    if (changed && readable && !g_keepFile) {
        const bool kept = File_SetAside(path);
        g_keepFile = !kept; // what cannot be kept is not overwritten either
        Log_Print(u"config file " + path +
                  (kept ? u" repaired, the damaged original kept as " + path + u".bad"
                        : Str(u" damaged and cannot be set aside, left untouched")));
    }
    if (changed) WriteFile();
}

void Config_StoreVolumes() {
    const size_t p = size_t(Player_Current);
    const std::pair<const char16_t*, float> vols[] = {
        {u"FX_VOL", Vol_Fx[p]}, {u"MUSIC_VOL", Vol_Music[p]}, {u"AMBIENT_VOL", Vol_Ambient[p]}};
    bool changed = false;
    for (const auto& [key, v] : vols) {
        const Str text = FloatText(v);
        if (Config_Get(key) != text) {
            SetEntry(key, text);
            changed = true;
        }
    }
    if (changed) WriteFile();
}
