// Shared set-up of the castle tests (see castle_helpers.h).
#include "castle_helpers.h"

#include "main/assets.h"
#include "platform/incbin.h"
#include "platform/stream.h"

namespace ct {

std::vector<Event> Events;

bool LoadShippedPrices() {
    if (!Incbin_Exists(Castle_PricePath(0))) Incbin_RegisterBuiltin();
    Castle_Elems.clear();
    bool ok = true;
    for (int32_t n = 0; n < kCastleCount; ++n) {
        std::vector<uint8_t> bytes;
        if (!File_ReadAll(Asset_Prefix + Castle_PricePath(n), bytes)) {
            ok = false;
            continue;
        }
        Castle_ParsePrices(n, std::string(bytes.begin(), bytes.end()), Castle_PricePath(n), Castle_Elems);
    }
    Castle_ResetProgress();
    return ok;
}

void LoadOneCastle(const std::string& text) {
    Castle_Elems.clear();
    for (int32_t n = 1; n < kCastleCount; ++n) {
        Castles[static_cast<size_t>(n)] = Castle{};
        Castles[static_cast<size_t>(n)].number = n;
    }
    Castle_ParsePrices(0, text, u"test.txt", Castle_Elems);
    Castle_ResetProgress();
}

void FillBag(int32_t amount) { Gems_Total.fill(amount); }

void StartRecording() {
    Events.clear();
    Castle_EventHook = [](int32_t id, int32_t a, int32_t b) { Events.push_back({id, a, b}); };
}
void StopRecording() { Castle_EventHook = nullptr; }

void LoadScreens() {
    static bool loaded = false;
    if (!loaded) {
        loaded = true;
        Castle_Init();
        BuildMenu_Load();
        LevelMap_Load();
    }
    Castle_ResetProgress();
}

} // namespace ct
