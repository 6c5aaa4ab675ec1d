// Shared set-up of the castle tests (see castle_helpers.h).
#include "castle_helpers.h"

#include "board/board_hooks.h"
#include "game/startup.h"
#include "main/assets.h"
#include "main/screens.h"
#include "platform/incbin.h"
#include "platform/stream.h"
#include "play_helpers.h"

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

namespace {
// The table before recording started: each recorder passes its event on, as the game would.
CastleHooks g_passOn;
bool g_recording = false;
} // namespace

void StartRecording() {
    Events.clear();
    if (g_recording) return;
    g_recording = true;
    g_passOn = Castle_Hooks;
    Castle_Hooks.Tutorial_OnEvent0 = [] { Events.push_back({0, 0, 0}), g_passOn.Tutorial_OnEvent0(); };
    Castle_Hooks.Tutorial_OnEvent8 = [] { Events.push_back({8, 0, 0}), g_passOn.Tutorial_OnEvent8(); };
    Castle_Hooks.Tutorial_OnEvent11 = [] { Events.push_back({11, 0, 0}), g_passOn.Tutorial_OnEvent11(); };
    Castle_Hooks.Tutorial_OnEvent16 = [](int32_t button) {
        Events.push_back({16, button, 0}), g_passOn.Tutorial_OnEvent16(button);
    };
    Castle_Hooks.Tutorial_OnGemsAdded = [](int32_t colour, int32_t amount) {
        Events.push_back({18, colour, amount}), g_passOn.Tutorial_OnGemsAdded(colour, amount);
    };
}
void StopRecording() {
    if (!g_recording) return;
    g_recording = false;
    CastleHooks& h = Castle_Hooks;
    h.Tutorial_OnEvent0 = g_passOn.Tutorial_OnEvent0;
    h.Tutorial_OnEvent8 = g_passOn.Tutorial_OnEvent8;
    h.Tutorial_OnEvent11 = g_passOn.Tutorial_OnEvent11;
    h.Tutorial_OnEvent16 = g_passOn.Tutorial_OnEvent16;
    h.Tutorial_OnGemsAdded = g_passOn.Tutorial_OnGemsAdded;
}

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

void UseWholeGame() {
    Runtime_InstallHooks();
    PlayTest_LoadDialogs();
    Screens_Reset();
    LoadScreens();
}

} // namespace ct
