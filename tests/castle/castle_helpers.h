// Shared set-up of the castle tests: the shipped price files without their pictures, small hand-made castles, and
// a recorder of the tutorial events the castles report. Implemented in castle_helpers.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "castle/castle.h"

namespace ct {

// Parses the seven embedded price files into Castle_Elems (no pictures); false when one is missing.
bool LoadShippedPrices();
// Makes castle 0 from the price-file text, the other six without parts, and resets the progress.
void LoadOneCastle(const std::string& text);
// Every colour of the bag set to `amount`.
void FillBag(int32_t amount);
// The castles with their pictures, the build menu and the level map loaded once per process (a window must be
// open), then the progress of a new match.
void LoadScreens();
// The whole game's hook tables (the runtime's filling), its dialogs, the screens reset and the castle's screens
// loaded. For the tests that play through the real screens on the play-test set-up (tests/game/play_helpers.h).
void UseWholeGame();

struct Event {
    int32_t id, a, b;
};
extern std::vector<Event> Events;
void StartRecording(); // clears Events; the castle's tutorial entries record, then pass each event on
void StopRecording();  // the entries as they were before

} // namespace ct
