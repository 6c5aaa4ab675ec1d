// Wallpaper bitmaps: the 24-bit BMP encoder and the writer and setter the wallpapers dialog calls.
#include "main/wallpaper.h"

#include "main/assets.h"
#include "main/config.h"
#include "main/runtime.h"
#include "platform/stream.h"
#include "platform/system.h"

namespace {
void Put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
} // namespace

std::vector<uint8_t> Img_ToBmp(const Pixmap& pm) {
    const uint32_t w = uint32_t(pm.width > 0 ? pm.width : 0), h = uint32_t(pm.height > 0 ? pm.height : 0);
    const uint32_t rowBytes = (w * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * h;
    std::vector<uint8_t> b;
    b.reserve(54 + imageBytes);
    // File header (14 bytes) and BITMAPINFOHEADER (40 bytes).
    b.push_back('B');
    b.push_back('M');
    Put32(b, 54 + imageBytes);
    Put32(b, 0);
    Put32(b, 54);
    Put32(b, 40);
    Put32(b, w);
    Put32(b, h); // positive height: rows bottom-up
    Put16(b, 1);
    Put16(b, 24);
    Put32(b, 0); // no compression
    Put32(b, imageBytes);
    Put32(b, 2835); // 72 dpi
    Put32(b, 2835);
    Put32(b, 0);
    Put32(b, 0);
    for (uint32_t y = h; y-- > 0;) {
        for (uint32_t x = 0; x < w; ++x) {
            const uint32_t argb = Pixmap_ReadPixel(pm, int(x), int(y));
            b.push_back(uint8_t(argb));       // blue
            b.push_back(uint8_t(argb >> 8));  // green
            b.push_back(uint8_t(argb >> 16)); // red
        }
        for (uint32_t pad = w * 3; pad < rowBytes; ++pad)
            b.push_back(0);
    }
    return b;
}

Str Wallpaper_Path(int32_t n) { return Data_Path(u"wallpaper_" + Str_FromInt(n) + u".bmp"); }

bool Wallpaper_WriteBmp(int32_t n) {
    const Str out = Wallpaper_Path(n);
    if (File_Type(out) == 1) return true;
    const Str src = u".\\Images\\Wallpapers\\wallpaper_" + Str_FromInt(n) + Lang_Suffix + u".jpg";
    const PixmapPtr pm = Pixmap_Load(Asset_Prefix + src);
    if (!pm) {
        Asset_ReportMissing(src);
        return false;
    }
    const std::vector<uint8_t> bytes = Img_ToBmp(*pm);
    return File_SaveAtomic(out, bytes.data(), bytes.size());
}

bool Wallpaper_Set(const Str& path) {
    const bool ok = Sys_SetWallpaper(path);
    Log_Print(u"Wallpaper_Set " + path + u": " + (ok ? Str(u"1") : Str(u"0")));
    return ok;
}
