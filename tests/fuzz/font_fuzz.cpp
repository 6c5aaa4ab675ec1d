// libFuzzer target: any bytes as a font file through FreeType and the glyph atlas (no window). A font that loads
// must measure text, characters beyond Latin-1 included, with every glyph inside its atlas, and never crash, hang
// or take huge memory. (Odd metrics such as negative advances are the font's own and allowed.)
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/font.h"
#include "platform/font_internal.h"
#include "platform/incbin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const Str kName = u"fuzz/font.ttf";
    if (size < 1) return 0;
    // The first byte picks the size and style, so small, large and bitmap-like strikes are all reached.
    const int pixelSize = 6 + data[0] % 48;
    const int style = (data[0] >> 6) & 3;
    Incbin_Register(kName, std::vector<uint8_t>(data + 1, data + size));
    const FontPtr font = ImageFont_Load(u"incbin::" + kName, pixelSize, style | FONT_SMOOTH);
    if (!font) return 0;
    ImageFont_TextWidth(font, u"Ab\u00e4\u00df 09? \u2603\u03a9\u20ac\u4e2d");
    // Every glyph drawn so far lies inside the atlas.
    ImageFont& f = *font;
    const Image& atlas = ImageFont_Atlas(f);
    for (const char32_t c : {U'A', U'b', U'\u00e4', U'\u00df', U' ', U'?', U'\u00ff', U'\u2603', U'\u4e2d'}) {
        const Glyph* g = ImageFont_Glyph(f, c);
        if (!g || g->w < 0 || g->h < 0 || g->x < 0 || g->y < 0 || g->x + g->w > atlas.width ||
            g->y + g->h > atlas.height)
            __builtin_trap();
    }
    return 0;
}
