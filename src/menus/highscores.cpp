// The high-score table of eight places and its file "highscores.dat" in the data folder (240 bytes, layout in
// docs/file-formats.md). Read at start-up; written by the game-over entry, the end of the campaign and the reset.
#include <algorithm>

#include "board/rules.h"
#include "main/config.h"
#include "main/runtime.h"
#include "main/screens.h"
#include "menus/menus.h"
#include "platform/stream.h"

std::array<HS_Slot, kHsPlaces> HS_Slots;
std::array<Str, kHsPlaces> HS_Names;
Str HS_Path;
const Str HS_BlankName(kNameMaxChars, u' ');

namespace {

constexpr int kSlotBytes = 20;                       // five int32 per place
constexpr int kNamesOffset = kHsPlaces * kSlotBytes; // 160
constexpr int32_t kFreshPlayTime = 4096;             // play time of place i in a fresh table: 4096 + i

void PutInt(std::vector<uint8_t>& out, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(u >> shift));
}

int32_t GetInt(const uint8_t* p) {
    return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

// A name as the table keeps it: at most 9 characters, blanks appended up to 9.
Str PaddedName(const Str& name) {
    Str s = Str_Left(name, kNameMaxChars);
    s.append(size_t(kNameMaxChars) - s.size(), u' ');
    return s;
}

} // namespace

std::vector<uint8_t> Highscores_Encode(const std::array<HS_Slot, kHsPlaces>& slots,
                                       const std::array<Str, kHsPlaces>& names) {
    std::vector<uint8_t> out;
    out.reserve(kHsFileSize);
    for (const HS_Slot& s : slots)
        for (const int32_t v : {s.player, s.score, s.startLevel, s.lastLevel, s.playTime})
            PutInt(out, v);
    for (const Str& name : names) {
        const std::string bytes = Str_ToLatin1(PaddedName(name)); // one byte per character: the low 8 bits
        out.insert(out.end(), bytes.begin(), bytes.end());
        out.push_back(0);
    }
    return out;
}

bool Highscores_Decode(const uint8_t* bytes, size_t size, std::array<HS_Slot, kHsPlaces>& slots,
                       std::array<Str, kHsPlaces>& names) {
    if (bytes == nullptr || size != size_t(kHsFileSize)) return false;
    for (size_t i = 0; i < slots.size(); ++i) {
        const uint8_t* p = bytes + i * kSlotBytes;
        slots[i] = {GetInt(p), GetInt(p + 4), GetInt(p + 8), GetInt(p + 12), GetInt(p + 16)};
    }
    for (size_t i = 0; i < names.size(); ++i) {
        const auto* p = reinterpret_cast<const char*>(bytes + kNamesOffset + i * kHsNameBytes);
        const size_t n = std::find(p, p + kHsNameBytes, '\0') - p; // up to the first zero byte, padding kept
        names[i] = Str_FromLatin1(std::string_view(p, n));
    }
    return true;
}

void Highscores_Fresh() {
    for (size_t i = 0; i < HS_Slots.size(); ++i) {
        HS_Slots[i] = {-1, 0, 0, 0, kFreshPlayTime + int32_t(i)};
        HS_Names[i] = HS_BlankName;
    }
}

void Highscores_Init() {
    HS_Path = Data_Path(u"highscores.dat");
    // The table starts as a fresh one, so a file that cannot be read leaves empty places, never "player 0" rows.
    Highscores_Fresh();
    const int type = File_Type(HS_Path);
    const int64_t size = type == 1 ? File_Size(HS_Path) : type > 1 ? 0 : -1;
    if (size == kHsFileSize && Highscores_Load()) return;
    if (size >= 0) {
        // A folder (or a device) in the file's place is set aside too, or no score could ever be saved.
        // A file of another size may be one cut short by a crash or a full disk: it is set aside, never erased.
        const bool moved = File_SetAside(HS_Path);
        const Str what = type == 1 ? u"highscores format updated, old data (" + Str_FromInt(size) + u" bytes) "
                                   : u"highscores file " + HS_Path + u" is not a file, ";
        Log_Print(what + (moved ? u"kept as " + HS_Path + u".bad" : Str(u"cannot be set aside, left alone")));
        if (!moved) return;
    }
    Highscores_Save();
}

bool Highscores_Load() {
    std::vector<uint8_t> bytes;
    if (!File_ReadAll(HS_Path, bytes)) {
        Log_Print(u"Error loading highscores: cant open file!");
        return false;
    }
    if (!Highscores_Decode(bytes.data(), bytes.size(), HS_Slots, HS_Names)) {
        Log_Print(u"Error loading highscores: " + Str_FromInt(int64_t(bytes.size())) + u" bytes instead of " +
                  Str_FromInt(kHsFileSize));
        return false;
    }
    return true;
}

void Highscores_Save() {
    if (HS_Path.empty()) HS_Path = Data_Path(u"highscores.dat");
    const std::vector<uint8_t> bytes = Highscores_Encode(HS_Slots, HS_Names);
    const StreamPtr s = File_WriteAtomic(HS_Path);
    if (s) Stream_WriteBytes(*s, bytes.data(), bytes.size());
    // A failed save leaves the old file whole and the table in memory; the game goes on.
    if (!s || !s->Close()) Log_Print(u"Error saving highscores: cant open/create file! " + HS_Path);
}

int32_t Highscores_FindRank(int32_t score) {
    for (size_t i = 0; i < HS_Slots.size(); ++i)
        if (HS_Slots[i].score < score) return int32_t(i);
    return -1;
}

void Highscores_Insert(int32_t place, const HS_Slot& slot) {
    if (place < 0 || place >= kHsPlaces) return;
    for (int32_t i = kHsPlaces - 2; i >= place; --i) {
        HS_Slots[size_t(i) + 1] = HS_Slots[size_t(i)];
        HS_Names[size_t(i) + 1] = HS_Names[size_t(i)];
    }
    HS_Slots[size_t(place)] = slot;
    if (slot.player == -1) return; // the name at the place stays as it was
    if (slot.player < 0 || slot.player >= kPlayers) {
        Log_Print(u"Highscores_Insert: no player " + Str_FromInt(slot.player));
        HS_Names[size_t(place)] = HS_BlankName;
        return;
    }
    HS_Names[size_t(place)] = PaddedName(Player_Names[size_t(slot.player)]);
}

void Highscores_Add(int32_t place) {
    HS_Slot slot;
    slot.player = Player_Current;
    slot.score = Score;
    Highscores_Insert(place, slot);
    Highscores_Save();
}

void Highscores_Clear() {
    for (size_t i = 0; i < HS_Slots.size(); ++i) {
        HS_Slots[i].player = -1;
        HS_Slots[i].score = 0;
        HS_Names[i] = HS_BlankName;
    }
    Highscores_Save();
    Dialog_Close();
}
