// The font table as data and its loading. Fonts_Load is called once by the start-up after the screen opens; the
// table is read through fonts.h by the text layout, the widgets and every dialog.
#include "main/fonts.h"

#include "main/assets.h"
#include "platform/system.h"

std::array<FontPtr, kFontCount> Fonts;
FontPtr Font_Default;
FontPtr Font_EditorPath;
FontPtr Font_EditorLevel;

// Indices 11-17 and 47 (UnZialish) and 37-42, 51, 52 (Trinigan) carry the sizes the dialogs are laid out for; the
// rest complete each family's range so that fitting can step down far enough.
const std::array<FontEntry, kFontCount> Font_Entries = {{
    {FONT_SANS, 8},       {FONT_SANS, 9},       {FONT_SANS, 10},      {FONT_SANS, 11},      // 0-3
    {FONT_SANS, 12},      {FONT_SANS, 13},      {FONT_SANS, 14},      {FONT_SANS, 16},      // 4-7
    {FONT_SANS, 18},      {FONT_SANS, 20},      {FONT_SANS, 24},                            // 8-10
    {FONT_UNZIALISH, 14}, {FONT_UNZIALISH, 16}, {FONT_UNZIALISH, 18}, {FONT_UNZIALISH, 20}, // 11-14
    {FONT_UNZIALISH, 22}, {FONT_UNZIALISH, 24}, {FONT_UNZIALISH, 36},                       // 15-17
    {FONT_BOOK, 10},      {FONT_BOOK, 11},      {FONT_BOOK, 12},      {FONT_BOOK, 13},      // 18-21
    {FONT_BOOK, 14},      {FONT_BOOK, 16},      {FONT_BOOK, 18},      {FONT_BOOK, 20},      // 22-25
    {FONT_BOOK, 24},      {FONT_BOOK, 28},                                                  // 26-27
    {FONT_UNZIALISH, 10}, {FONT_UNZIALISH, 12}, {FONT_UNZIALISH, 26}, {FONT_UNZIALISH, 28}, // 28-31
    {FONT_UNZIALISH, 30}, {FONT_UNZIALISH, 32}, {FONT_UNZIALISH, 44}, {FONT_UNZIALISH, 48}, // 32-35
    {FONT_UNZIALISH, 56},                                                                   // 36
    {FONT_TRINIGAN, 24},  {FONT_TRINIGAN, 22},  {FONT_TRINIGAN, 20},  {FONT_TRINIGAN, 18},  // 37-40
    {FONT_TRINIGAN, 16},  {FONT_TRINIGAN, 14},                                              // 41-42
    {FONT_TRINIGAN, 10},  {FONT_TRINIGAN, 11},  {FONT_TRINIGAN, 12},  {FONT_TRINIGAN, 13},  // 43-46
    {FONT_UNZIALISH, 40},                                                                   // 47
    {FONT_TRINIGAN, 30},  {FONT_TRINIGAN, 32},  {FONT_TRINIGAN, 36},                        // 48-50
    {FONT_TRINIGAN, 28},  {FONT_TRINIGAN, 26},                                              // 51-52
}};

namespace {

struct FamilyInfo {
    const char16_t* path;
    const char* name;
};
constexpr FamilyInfo kFamilies[kFontFamilies] = {
    {u"incbin::fonts/UnZialish.ttf", "UnZialish"},
    {u"incbin::fonts/Trinigan.ttf", "Trinigan"},
    {u"incbin::fonts/l_10646.ttf", "Sans"},
    {u"incbin::fonts/PS_14508.ttf", "Book"},
};
constexpr int kTableStyle = FONT_SMOOTH;

FontPtr LoadOrReport(const Str& path, int size, int style) {
    FontPtr f = ImageFont_Load(path, size, style);
    if (!f) Asset_ReportMissing(path);
    return f;
}

} // namespace

const char16_t* Font_FamilyPath(FontFamily family) { return kFamilies[family].path; }
const char* Font_FamilyName(FontFamily family) { return kFamilies[family].name; }

void Fonts_Load() {
    bool missing[kFontFamilies] = {};
    for (int i = 0; i < kFontCount; ++i) {
        const FontEntry& entry = Font_Entries[static_cast<size_t>(i)];
        Fonts[static_cast<size_t>(i)] = nullptr;
        if (missing[entry.family]) continue; // one line per missing file, not one per size
        Fonts[static_cast<size_t>(i)] = LoadOrReport(kFamilies[entry.family].path, entry.size, kTableStyle);
        if (!Fonts[static_cast<size_t>(i)]) missing[entry.family] = true;
    }
    Font_Default = ImageFont_Default();
    Font_EditorPath = LoadOrReport(u"incbin::.\\fonts\\l_10646.ttf", 9, 4);
    Font_EditorLevel = LoadOrReport(u"incbin::.\\fonts\\l_10646.ttf", 11, 5);
}

void Fonts_DropTextures() {
    for (const FontPtr& font : Fonts)
        ImageFont_DropTexture(font);
    for (const FontPtr& font : {Font_Default, Font_EditorPath, Font_EditorLevel})
        ImageFont_DropTexture(font);
}

FontPtr Font_Get(int index) {
    if (index < 0 || index >= kFontCount) {
        Log_Print(u"Fonts[" + Str_FromInt(index) + u"]: no such font");
        return Font_Default;
    }
    const FontPtr& f = Fonts[static_cast<size_t>(index)];
    return f ? f : Font_Default;
}

int Font_NextSmaller(int index) {
    if (index < 0 || index >= kFontCount) return -1;
    const FontEntry& from = Font_Entries[static_cast<size_t>(index)];
    int best = -1;
    for (int i = 0; i < kFontCount; ++i) {
        const FontEntry& s = Font_Entries[static_cast<size_t>(i)];
        if (s.family != from.family || s.size >= from.size) continue;
        if (best < 0 || s.size > Font_Entries[static_cast<size_t>(best)].size) best = i;
    }
    return best;
}
