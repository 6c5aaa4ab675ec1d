// libFuzzer target: any bytes as the high-score file. The reader takes exactly 240 bytes and refuses anything else
// with the table left as it was; what it took survives encoding and decoding again, and ranking and inserting on
// whatever was read (player fields out of range included) stay in bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "main/config.h"
#include "menus/menus.h"

// The fuzzer links no packed archive.
extern "C" const uint8_t bq_assets_begin[1] = {0};
extern "C" const uint8_t bq_assets_end[1] = {0};

namespace {
void Check(bool ok) {
    if (!ok) std::abort();
}

char g_folder[] = "/tmp/bq_hs_fuzz_XXXXXX"; // this run's data folder, removed at exit

const char* Folder() {
    static const bool made = [] {
        Check(mkdtemp(g_folder) != nullptr);
        std::atexit([] { std::filesystem::remove_all(g_folder); });
        return true;
    }();
    (void)made;
    return g_folder;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Data_Folder = S(Folder());
    const std::string path = std::string(Folder()) + "/highscores.dat";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    HS_Path = S(path);
    Highscores_Fresh();
    const bool loaded = Highscores_Load();
    Check(loaded == (size == size_t(kHsFileSize))); // any other size is refused, the table left as it was
    if (!loaded)
        for (const HS_Slot& s : HS_Slots)
            Check(s.player == -1);

    // What was read is written back and read again unchanged (names as the file keeps them: 9 characters).
    const auto slots = HS_Slots;
    auto names = HS_Names;
    for (Str& n : names) {
        n = Str_Left(n, kNameMaxChars);
        n.append(size_t(kNameMaxChars) - n.size(), u' ');
    }
    const std::vector<uint8_t> bytes = Highscores_Encode(HS_Slots, HS_Names);
    Check(bytes.size() == size_t(kHsFileSize));
    std::array<HS_Slot, kHsPlaces> slots2;
    std::array<Str, kHsPlaces> names2;
    Check(Highscores_Decode(bytes.data(), bytes.size(), slots2, names2));
    for (size_t i = 0; i < slots.size(); ++i) {
        Check(slots2[i].player == slots[i].player && slots2[i].score == slots[i].score &&
              slots2[i].startLevel == slots[i].startLevel && slots2[i].lastLevel == slots[i].lastLevel &&
              slots2[i].playTime == slots[i].playTime);
        Check(names2[i] == names[i] || names2[i].size() < names[i].size()); // a zero byte in a name ends it early
    }

    // Ranking and inserting what the file held, player fields out of range included.
    const int32_t score =
        size >= 4
            ? int32_t(uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 | uint32_t(data[3]) << 24)
            : 1;
    const int32_t place = Highscores_FindRank(score);
    Check(place >= -1 && place < kHsPlaces);
    Highscores_Insert(place, slots[size % slots.size()]);
    for (const Str& n : HS_Names)
        Check(n.size() <= size_t(kHsNameBytes));
    return 0;
}
