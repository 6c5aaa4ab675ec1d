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

int64_t Bmp_FileSize(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return 54;
    return 54 + int64_t((uint32_t(width) * 3 + 3) & ~3u) * height;
}

bool Wallpaper_WriteBmp(int32_t n) {
    const Str out = Wallpaper_Path(n);
    const Str src = u".\\Images\\Wallpapers\\wallpaper_" + Str_FromInt(n) + Lang_Suffix + u".jpg";
    const PixmapPtr pm = Pixmap_Load(Asset_Prefix + src);
    if (!pm) {
        Asset_ReportMissing(src);
        return false;
    }
    // A file of the picture's exact size is kept; one cut short (or of another picture) is written again. The file
    // is never seen half-written: it goes to a temporary file that replaces the old one.
    if (File_Type(out) == 1 && File_Size(out) == Bmp_FileSize(pm->width, pm->height)) return true;
    if (File_Type(out) > 1) // a folder in its place would keep it from ever being written
        Log_Print(u"Wallpaper_WriteBmp: " + out + u" is not a file, " +
                  (File_SetAside(out) ? u"set aside as " + out + u".bad" : Str(u"cannot be renamed")));
    if (File_Type(out) == 1) Log_Print(u"Wallpaper_WriteBmp: " + out + u" has the wrong size, written again");
    const std::vector<uint8_t> bytes = Img_ToBmp(*pm);
    return File_SaveAtomic(out, bytes.data(), bytes.size()); // a failure writes its own diagnostic line
}

bool Wallpaper_Set(const Str& path) {
    const bool ok = Sys_SetWallpaper(path);
    Log_Print(u"Wallpaper_Set " + path + u": " + (ok ? Str(u"1") : Str(u"0")));
    return ok;
}
