// libFuzzer target: any bytes as the player progress file "mm_config.bin". Progress_Load must end with every array
// the game reads inside its range and a file of the right size on disk; a one-array rewrite must keep the size.
#include <algorithm>

#include "main/config.h"
#include "main/progress.h"
#include "platform/stream.h"
#include "data_fuzz.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    DataFuzz_UseOwnFolder("progress_fuzz");
    return 0;
}

namespace {
constexpr auto Check = DataFuzz_Check;
template <class A> void InRange(const A& a, int32_t lo, int32_t hi) {
    for (const int32_t v : a)
        Check(v >= lo && v <= hi);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Str path = Progress_Path();
    File_Delete(path + u".bad");
    DataFuzz_WriteFile(path, data, size);
    Progress_Load();
    // A file of the right size is taken, unless it holds nothing but zero bytes (a lost disk block: set aside).
    const bool zeros = std::all_of(data, data + size, [](uint8_t b) { return b == 0; });
    Check(First_Start == (int64_t(size) == Progress_FileSize() && !zeros ? 0 : 1));
    Check(File_Size(path) == Progress_FileSize());
    InRange(Castles_Completed, 0, 1);
    for (const auto& tips : Tips_Shown)
        InRange(tips, 0, 1);
    InRange(Player_Used, 0, 1);
    InRange(Tutorial_Flags, 0, 3); // bits 1 "done" and 2 "off"
    for (const auto& row : Player_LevelEase)
        for (const int32_t v : row)
            Check(v >= 0 && v <= 3);
    for (const int32_t v : Player_LastLevel)
        Check(v >= 0 && v <= kMaxLevelsCount);
    for (size_t p = 0; p < 10; ++p)
        Check(Vol_Fx[p] >= 0 && Vol_Fx[p] <= 1 && Vol_Music[p] >= 0 && Vol_Music[p] <= 1 && Vol_Ambient[p] >= 0 &&
              Vol_Ambient[p] <= 1);
    Check(Config_SaveArray(size % kProgressArrays));
    Check(File_Size(path) == Progress_FileSize());
    return 0;
}
