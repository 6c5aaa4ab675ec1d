// The game's font table: 53 image fonts from four TrueType families at fixed pixel sizes, addressed by index, plus
// the default font and the level editor's two fonts. Filled once by Fonts_Load at start-up (called by the runtime);
// read by every screen and dialog, and by Text_FitFont (text_layout.h) to step to smaller sizes of one family.
#pragma once

#include <array>
#include <cstdint>

#include "platform/font.h"
#include "platform/strings.h"

// The four families of the embedded fonts.
enum FontFamily : int32_t {
    FONT_UNZIALISH = 0, // uncial display face, "fonts/UnZialish.ttf"
    FONT_TRINIGAN = 1,  // Roman capitals, "fonts/Trinigan.ttf"
    FONT_SANS = 2,      // clear sans, "fonts/l_10646.ttf"
    FONT_BOOK = 3,      // book face, "fonts/PS_14508.ttf"
};
constexpr int kFontFamilies = 4;
constexpr int kFontCount = 53;
// The table's entries by family and size (index -> family and size as in Font_Entries).
enum FontId : int {
    kFontSans8 = 0,
    kFontSans9 = 1,
    kFontSans10 = 2,
    kFontSans11 = 3,
    kFontSans12 = 4,
    kFontSans13 = 5,
    kFontSans14 = 6,
    kFontSans16 = 7,
    kFontSans18 = 8,
    kFontSans20 = 9,
    kFontSans24 = 10,
    kFontUnzialish14 = 11,
    kFontUnzialish16 = 12,
    kFontUnzialish18 = 13,
    kFontUnzialish20 = 14,
    kFontUnzialish22 = 15,
    kFontUnzialish24 = 16,
    kFontUnzialish36 = 17,
    kFontBook10 = 18,
    kFontBook11 = 19,
    kFontBook12 = 20,
    kFontBook13 = 21,
    kFontBook14 = 22,
    kFontBook16 = 23,
    kFontBook18 = 24,
    kFontBook20 = 25,
    kFontBook24 = 26,
    kFontBook28 = 27,
    kFontUnzialish10 = 28,
    kFontUnzialish12 = 29,
    kFontUnzialish26 = 30,
    kFontUnzialish28 = 31,
    kFontUnzialish30 = 32,
    kFontUnzialish32 = 33,
    kFontUnzialish44 = 34,
    kFontUnzialish48 = 35,
    kFontUnzialish56 = 36,
    kFontTrinigan24 = 37,
    kFontTrinigan22 = 38,
    kFontTrinigan20 = 39,
    kFontTrinigan18 = 40,
    kFontTrinigan16 = 41,
    kFontTrinigan14 = 42,
    kFontTrinigan10 = 43,
    kFontTrinigan11 = 44,
    kFontTrinigan12 = 45,
    kFontTrinigan13 = 46,
    kFontUnzialish40 = 47,
    kFontTrinigan30 = 48,
    kFontTrinigan32 = 49,
    kFontTrinigan36 = 50,
    kFontTrinigan28 = 51,
    kFontTrinigan26 = 52,
};

// One entry of the font table: which family at which pixel size.
struct FontEntry {
    FontFamily family;
    int32_t size; // pixels
};

// The table as data (index -> family and size); see docs/fonts.md.
extern const std::array<FontEntry, kFontCount> Font_Entries;
// Embedded file of a family, with the asset prefix ("incbin::fonts/UnZialish.ttf", ...).
const char16_t* Font_FamilyPath(FontFamily family);
const char* Font_FamilyName(FontFamily family); // "UnZialish", "Trinigan", "Sans", "Book"

// ---- State owned by this module -------------------------------------------------------------------------------
extern std::array<FontPtr, kFontCount> Fonts; // the font table; null entries when a family file is missing
extern FontPtr Font_Default;                  // the platform's default image font
extern FontPtr Font_EditorPath;               // sans 9 px, style 4: the editor's folder line
extern FontPtr Font_EditorLevel;              // sans 11 px, style 5: the editor's level-name line

// Loads the 53 table fonts (each family file read once per size), Font_Default and the editor fonts. A missing
// family leaves its entries null with one "failed loading " line per file. Safe to call again (reloads).
void Fonts_Load();
// The entry of the table; Font_Default for a null entry (a missing file), and with a diagnostic line for an index
// outside 0..52.
FontPtr Font_Get(int index);
// Lets every font's atlas texture go (the screen that drew them was left); each is made again at its next draw.
void Fonts_DropTextures();
// The index of the entry of the same family with the next smaller size, or -1 when `index` is the smallest of
// its family (or outside the table).
int Font_NextSmaller(int index);
