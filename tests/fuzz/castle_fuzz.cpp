// libFuzzer target: any bytes as a castle price file, then as the castle progress of a saved match. The parser must
// skip what it cannot read and leave consistent castles (every part in one storey, no empty storey, prerequisites
// only on parts above it in its storey); loading progress must leave counts in range whatever the values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "castle/castle.h"

namespace {
void Check(bool ok) {
    if (!ok) std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Castle_Elems.clear();
    for (int32_t n = 1; n < kCastleCount; ++n)
        Castles[static_cast<size_t>(n)] = Castle{};
    const std::string text(reinterpret_cast<const char*>(data), size);
    const int32_t read = Castle_ParsePrices(0, text, u"fuzz.txt", Castle_Elems);
    Check(read == static_cast<int32_t>(Castle_Elems.size()));
    size_t counted = 0;
    for (const auto& storey : Castles[0].storeys) {
        Check(!storey.empty());
        for (size_t k = 0; k < storey.size(); ++k) {
            const CastleElem& e = *Castle_Elems[static_cast<size_t>(storey[k])];
            for (int32_t g : e.price)
                Check(g >= 0);
            for (int32_t need : e.needs) {
                bool above = false;
                for (size_t j = 0; j < k; ++j)
                    above = above || storey[j] == need;
                Check(above);
            }
            ++counted;
        }
    }
    Check(counted == Castle_Elems.size());

    std::vector<int32_t> values(size / 4);
    if (!values.empty()) std::memcpy(values.data(), data, values.size() * 4);
    if (values.size() > 1) values[0] = 0x43535431; // mostly with the mark, so that the values are looked at
    Castle_LoadState(values);
    Check(Castle_Current >= 0 && Castle_Current <= kCastleCount);
    Check(Treasure_Level >= 0 && Treasure_Level < kTreasureLevels);
    for (int32_t g : Gems_Total)
        Check(g >= 0);
    for (const Castle& c : Castles)
        Check(c.level >= 0 && c.level <= static_cast<int32_t>(c.storeys.size()));
    for (int32_t i = 0; i < static_cast<int32_t>(Castle_Elems.size()); ++i)
        Castle_Buy(i); // never past the bag
    for (int32_t g : Gems_Total)
        Check(g >= 0);
    return 0;
}
