// libFuzzer target: any bytes as the configuration text file "mm_config.txt". Config_Load must end with every
// setting in its range and names in Latin-1, and what it writes back must load again to the same settings without
// a repair.
#include <string>

#include "main/config.h"
#include "platform/stream.h"
#include "data_fuzz.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    DataFuzz_UseOwnFolder("config_fuzz");
    return 0;
}

namespace {
constexpr auto Check = DataFuzz_Check;

std::string Snapshot() {
    std::string s;
    for (const Str& n : Player_Names)
        s += Str_ToUtf8(n) + "\n";
    s += std::to_string(Player_Current) + " " + std::to_string(Windowed_Mode) + " " + std::to_string(Levels_Count) +
         " " + std::to_string(Users_Count) + " " + std::to_string(Slow_PC) + " " + std::to_string(Bg_Light);
    return s;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Str path = Data_Path(u"mm_config.txt");
    DataFuzz_WriteFile(path, data, size);
    Config_Load();
    Check(Player_Current >= 0 && Player_Current <= 9);
    Check(Windowed_Mode == 0 || Windowed_Mode == 1);
    Check(Levels_Count >= 1 && Levels_Count <= kMaxLevelsCount);
    Check(Users_Count >= 0 && Users_Count <= 1000000);
    Check(Slow_PC == 0 || Slow_PC == 1);
    Check(Bg_Light == 0 || Bg_Light == 1);
    for (const Str& n : Player_Names)
        for (const char16_t c : n)
            Check(c <= 0xFF && c != u'\r' && c != u'\n');
    // The file now holds exactly what was taken: loading it again changes nothing and repairs nothing.
    const std::string before = Snapshot();
    const std::string text = Config_Text();
    Config_Load();
    Check(Snapshot() == before);
    Check(Config_Text() == text);
    return 0;
}
