// The player progress file: the 22 arrays, their layout, reading with a size check (a wrong file is set aside),
// the full rewrite and the in-place rewrite of one array. Called by the start-up, Match_Save and the dialogs.
#include "main/progress.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "main/config.h"
#include "main/runtime.h"
#include "platform/stream.h"

std::array<int32_t, 10 * kCastlesCount> Castles_Completed{};
int32_t Player_LevelEase[10][kLevelEaseSlots] = {};
std::array<int32_t, 10> Player_LastLevel{};
std::array<float, 10> Vol_Fx{};
std::array<float, 10> Vol_Music{};
std::array<float, 10> Vol_Ambient{};
std::array<std::array<int32_t, kTipsCount>, 10> Tips_Shown{};
static_assert(sizeof Tips_Shown == 10 * kTipsCount * 4, "the file array is written from memory as it stands");
std::array<int32_t, 10> Player_Used{};
std::array<int32_t, 10 * kTutorialCount> Tutorial_Flags{};
int32_t First_Start = 0;

namespace {

// The reserved numbers (2, 4..10, 15..17, 19, 21): ten int32 each, kept so that their bytes survive a rewrite.
std::array<std::array<int32_t, 10>, kProgressArrays> g_reserved{};

template <class A> ProgressArray Entry(int n, A& a, bool isFloat) {
    return ProgressArray{n, int(a.size()), isFloat, a.data(), 0};
}

std::array<ProgressArray, kProgressArrays> BuildLayout() {
    std::array<ProgressArray, kProgressArrays> t{};
    for (int n = 0; n < kProgressArrays; ++n)
        t[size_t(n)] = Entry(n, g_reserved[size_t(n)], false);
    t[0] = Entry(0, Castles_Completed, false);
    t[1] = ProgressArray{1, int(sizeof Player_LevelEase / 4), false, &Player_LevelEase[0][0], 0};
    t[3] = Entry(3, Player_LastLevel, false);
    t[11] = Entry(11, Vol_Fx, true);
    t[12] = Entry(12, Vol_Music, true);
    t[13] = Entry(13, Vol_Ambient, true);
    t[14] = ProgressArray{14, int(sizeof Tips_Shown / 4), false, Tips_Shown[0].data(), 0};
    t[18] = Entry(18, Player_Used, false);
    t[20] = Entry(20, Tutorial_Flags, false);
    int32_t offset = 0;
    for (auto& e : t) {
        e.offset = offset;
        offset += e.count * 4;
    }
    return t;
}

const std::array<ProgressArray, kProgressArrays> g_layout = BuildLayout();

// Array bytes in file order (little-endian, as the machine is).
void PutArray(std::vector<uint8_t>& out, const ProgressArray& a) {
    const auto* p = static_cast<const uint8_t*>(a.data);
    for (int i = 0; i < a.count; ++i) {
        uint32_t v;
        std::memcpy(&v, p + size_t(i) * 4, 4);
        for (int b = 0; b < 4; ++b)
            out.push_back(uint8_t(v >> (8 * b)));
    }
}

void GetArray(const uint8_t* src, const ProgressArray& a) {
    auto* p = static_cast<uint8_t*>(a.data);
    for (int i = 0; i < a.count; ++i) {
        const uint8_t* q = src + size_t(a.offset) + size_t(i) * 4;
        const uint32_t v = uint32_t(q[0]) | uint32_t(q[1]) << 8 | uint32_t(q[2]) << 16 | uint32_t(q[3]) << 24;
        std::memcpy(p + size_t(i) * 4, &v, 4);
    }
}

// Valid ranges of the int32 arrays the game reads (flags 0/1, ease 0..3, level numbers, tutorial words with their
// bits 1 "done" and 2 "off").
struct ValueRange {
    int number; // array number
    int32_t lo, hi;
};
constexpr ValueRange kRanges[] = {{0, 0, 1},  {1, 0, 3},  {3, 0, kLevelEaseSlots - 1},
                                  {14, 0, 1}, {18, 0, 1}, {20, 0, 3}};

// A volume that is not a number within 0..1 (NaN too) takes its default; 1 when it did.
int RepairVolume(float& v, float def) {
    if (v >= 0.0f && v <= 1.0f) return 0;
    v = def;
    return 1;
}

} // namespace

const std::array<ProgressArray, kProgressArrays>& Progress_Layout() { return g_layout; }

int32_t Progress_FileSize() { return g_layout.back().offset + g_layout.back().count * 4; }

Str Progress_Path() { return Data_Path(u"mm_config.bin"); }

void Progress_Defaults() {
    for (auto& r : g_reserved)
        r.fill(0);
    Castles_Completed.fill(0);
    for (auto& row : Player_LevelEase)
        for (auto& e : row)
            e = 0;
    Player_LastLevel.fill(0);
    Vol_Fx.fill(kDefaultVolFx);
    Vol_Music.fill(kDefaultVolMusic);
    Vol_Ambient.fill(kDefaultVolAmbient);
    Tips_Shown.fill({});
    Player_Used.fill(0);
    Tutorial_Flags.fill(0);
}

void Progress_Load() {
    Progress_Defaults();
    const Str path = Progress_Path();
    const int64_t want = Progress_FileSize();
    std::vector<uint8_t> bytes;
    // The type and size come first: anything but a regular file of the right size is never read (a FIFO would
    // block, a huge file would take all memory).
    const int type = File_Type(path);
    const int64_t size = type == 1 ? File_Size(path) : -1;
    const bool read =
        type == 1 && size == want && File_ReadAll(path, bytes, size_t(want)) && int64_t(bytes.size()) == want;
    // A file of nothing but zero bytes is damaged (a disk that lost its blocks): the game's own always holds the
    // default volumes of the unused slots. Taking it would silently reset every player.
    const bool zeros = read && std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0; });
    const bool good = read && !zeros;
    if (type != 0 && !good) {
        const bool moved = File_SetAside(path);
        const Str why = type == 2      ? Str(u" is a folder")
                        : type == 3    ? Str(u" is not a regular file")
                        : size != want ? u" has " + Str_FromInt(size) + u" bytes instead of " + Str_FromInt(want)
                        : zeros        ? Str(u" holds only zero bytes")
                                       : Str(u" cannot be read");
        Log_Print(u"progress file " + path + why +
                  (moved ? u", set aside as " + path + u".bad" : Str(u", cannot be renamed")) + u"; using defaults");
        if (!moved) { // never overwrite what could not be set aside
            First_Start = 1;
            return;
        }
    } else if (good) {
        for (const auto& a : g_layout)
            GetArray(bytes.data(), a);
        int repaired = 0;
        for (size_t p = 0; p < 10; ++p) {
            repaired += RepairVolume(Vol_Fx[p], kDefaultVolFx) + RepairVolume(Vol_Music[p], kDefaultVolMusic) +
                        RepairVolume(Vol_Ambient[p], kDefaultVolAmbient);
        }
        if (repaired > 0)
            Log_Print(u"progress file: " + Str_FromInt(repaired) + u" volumes outside 0..1, defaults taken");
        // Every other value the game indexes with or tests is brought into its range, so a damaged or edited file
        // cannot lead later code astray; the reserved arrays are kept as read.
        for (const auto& [number, lo, hi] : kRanges) {
            const ProgressArray& a = g_layout[size_t(number)];
            auto* v = static_cast<int32_t*>(a.data);
            int clamped = 0;
            for (int i = 0; i < a.count; ++i) {
                const int32_t c = std::clamp(v[i], lo, hi);
                clamped += c != v[i];
                v[i] = c;
            }
            if (clamped > 0)
                Log_Print(u"progress file: " + Str_FromInt(clamped) + u" values of array " + Str_FromInt(number) +
                          u" outside " + Str_FromInt(lo) + u".." + Str_FromInt(hi) + u", clamped");
        }
        First_Start = 0;
        return;
    }
    First_Start = 1;
    Progress_Save();
}

bool Progress_Save() {
    std::vector<uint8_t> out;
    out.reserve(size_t(Progress_FileSize()));
    for (const auto& a : g_layout)
        PutArray(out, a);
    return File_SaveAtomic(Progress_Path(), out.data(), out.size());
}

bool Config_SaveArray(int n) {
    if (n < 0 || n >= kProgressArrays) {
        Log_Print(u"Config_SaveArray: no array " + Str_FromInt(n));
        return false;
    }
    // In place: the file as it is, with only this array's bytes replaced, written back through a temporary file.
    const Str path = Progress_Path();
    std::vector<uint8_t> bytes;
    if (File_Size(path) != Progress_FileSize() || !File_ReadAll(path, bytes, size_t(Progress_FileSize())) ||
        int64_t(bytes.size()) != Progress_FileSize())
        return Progress_Save();
    const ProgressArray& a = g_layout[size_t(n)];
    std::vector<uint8_t> part;
    PutArray(part, a);
    std::memcpy(bytes.data() + a.offset, part.data(), part.size());
    return File_SaveAtomic(path, bytes.data(), bytes.size());
}
