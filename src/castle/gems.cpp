// The gem bag: gems won on the board (Gems_Add, called by the board's rules and by a restart's take-back), the bag
// limit of each treasure level, and the treasure display the in-game interface draws.
#include <algorithm>

#include "castle/castle.h"
#include "effects/effects.h"
#include "main/assets.h"
#include "board/play.h"
#include "main/fonts.h"
#include "main/runtime.h"
#include "platform/graphics.h"

std::array<int32_t, kGemColours> Gems_Total{};
int32_t Gems_ThisLevel = 0;
std::array<int32_t, kGemColours> Gems_ThisLevelByColour{};
const std::array<int32_t, kTreasureLevels> Gems_BagLimits = {90, 130, 180};
int32_t Treasure_Level = 0;
std::array<ImagePtr, kGemColours> Gem_Pictures;
const std::array<TreasureDisplay, 2> Treasure_Displays = {{{640, 392}, {634, 386}}};

void Gems_Add(int32_t colour, int32_t amount) {
    if (colour < 0 || colour >= kGemColours) {
        Log_Print(u"Gems_Add: colour " + Str_FromInt(colour) + u" is not a gem colour (ignored)");
        return;
    }
    const size_t c = static_cast<size_t>(colour);
    int32_t added = 0;
    if (amount >= 0) {
        const int32_t limit = Gems_BagLimits[static_cast<size_t>(std::clamp(Treasure_Level, 0, kTreasureLevels - 1))];
        added = std::clamp(limit - Gems_ThisLevel, 0, amount); // what does not fit is lost
        Gems_ThisLevel += added;
        Gems_ThisLevelByColour[c] += added;
        Gems_Total[c] += added;
        // A ring of sparks round the treasure picture (60 by 56 pixels) as the gems go in.
        if (added > 0) {
            const TreasureDisplay at = Treasure_Displays[Treasure_Level > 0 ? 1 : 0];
            Gfx_Star360(at.x + 30, at.y + 28);
        }
    } else {
        // at most what this level brought, never below zero
        const int32_t take = std::min({-amount, Gems_Total[c], Gems_ThisLevelByColour[c]});
        Gems_Total[c] -= take;
        Gems_ThisLevelByColour[c] = std::max(0, Gems_ThisLevelByColour[c] - take);
        Gems_ThisLevel = std::max(0, Gems_ThisLevel - take);
        added = -take;
    }
    Castle_Hooks.Tutorial_OnGemsAdded(colour, added);
}

void Gems_LevelStart() {
    Gems_ThisLevel = 0;
    Gems_ThisLevelByColour.fill(0);
}

bool Gems_BagFull() {
    return Gems_ThisLevel >= Gems_BagLimits[static_cast<size_t>(std::clamp(Treasure_Level, 0, kTreasureLevels - 1))];
}

void Treasure_Draw() {
    static std::array<ImagePtr, 2> pictures;
    static bool loaded = false;
    if (!loaded) {
        loaded = true;
        pictures[0] = Asset_LoadImage(u"Images/GUI/BuildMenu/treasure_bag.png");
        pictures[1] = Asset_LoadImage(u"Images/GUI/BuildMenu/treasure_chest.png");
    }
    const size_t d = Treasure_Level > 0 ? 1 : 0;
    const TreasureDisplay at = Treasure_Displays[d];
    if (pictures[d]) Draw_Image(pictures[d], static_cast<float>(at.x), static_cast<float>(at.y));
    const int32_t limit = Gems_BagLimits[static_cast<size_t>(std::clamp(Treasure_Level, 0, kTreasureLevels - 1))];
    Draw_SetImageFont(Font_Get(kFontTrinigan18));
    if (Gems_BagFull())
        Draw_SetColor(255, 120, 90);
    else
        Draw_SetColor(255, 240, 190);
    Draw_Text(Str_FromInt(Gems_ThisLevel) + u"/" + Str_FromInt(limit), static_cast<float>(at.x + 62),
              static_cast<float>(at.y + 24));
    Draw_SetColor(255, 255, 255);
}
