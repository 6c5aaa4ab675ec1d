// libFuzzer target: any bytes as the current player's saved match. Match_Load either refuses them (the file is set
// aside as ".bad") or takes over values in range; what it took over writes and loads again to the same values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "board/play.h"
#include "main/config.h"
#include "platform/stream.h"

namespace {
void Check(bool ok) {
    if (!ok) std::abort();
}

void PutInt(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}

// The file the input stands for. The first byte chooses: bit 1 puts the right header (magic, version, record size)
// in front of the rest, bit 0 appends the right checksum, so the fuzzer reaches the range checks behind them.
std::vector<uint8_t> FileOf(const uint8_t* data, size_t size) {
    if (size == 0) return {};
    std::vector<uint8_t> out;
    if (data[0] & 2) {
        PutInt(out, uint32_t(Match_Magic));
        PutInt(out, uint32_t(Match_Version));
        PutInt(out, uint32_t(Match_ValueCount * 4));
    }
    out.insert(out.end(), data + 1, data + size);
    if (data[0] & 1) {
        uint32_t h = 2166136261u; // FNV-1a, as the match file's checksum
        for (const uint8_t b : out) {
            h ^= b;
            h *= 16777619u;
        }
        PutInt(out, h);
    }
    return out;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string kDir =
        (std::filesystem::temp_directory_path() / ("bq_match_fuzz_" + std::to_string(getpid()))).string();
    static const bool made = std::filesystem::create_directories(kDir) || true;
    (void)made;
    Data_Folder = Str_FromUtf8(kDir);
    Player_Current = 0;
    {
        const std::vector<uint8_t> file = FileOf(data, size);
        std::ofstream out(Path_Native(Match_Path()), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    }
    if (!Match_Load()) {
        Check(File_Type(Match_Path()) == 0);
        return 0;
    }
    Check(Level_Current >= 1 && Score >= 0 && Lives >= 0 && Gold >= 0 && Mana >= 0);
    Check(Mana_CapLevel >= 0 && Mana_CapLevel <= 2 && Match_HasSnapshot >= 0 && Match_HasSnapshot <= 1);
    const int32_t level = Level_Current, score = Score, lives = Lives, gold = Gold;
    Check(Match_Write(level));
    Score = Lives = Gold = 0;
    Check(Match_Load());
    Check(Level_Current == level && Score == score && Lives == lives && Gold == gold);
    return 0;
}
