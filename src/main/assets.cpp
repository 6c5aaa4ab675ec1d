// Asset loading: images through the asset prefix with the one "failed loading " diagnostic, the shared image cache
// keyed on the normalised path, frame layout and flags, copies for callers that change an image, full-screen
// backgrounds and the start-up image step. Called by every subsystem's loaders and by the start-up.
#include "main/assets.h"

#include <algorithm>
#include <map>

#include "main/service_hooks.h"
#include "platform/graphics.h"
#include "platform/incbin.h"
#include "platform/system.h"

const Str Asset_Prefix = u"incbin::";
const Str Lang_Suffix = u"_german";

const std::array<const char16_t*, 13> Images_EffectPaths = {
    u"incbin::images/effects/spark1.png",  u"incbin::images/effects/spark2.png",  u"incbin::images/effects/spark3.png",
    u"incbin::images/effects/spark4.png",  u"incbin::images/effects/spark5.png",  u"incbin::images/effects/spark6.png",
    u"incbin::images/effects/spark7.png",  u"incbin::images/effects/spark8.png",  u"incbin::images/effects/Spark10.png",
    u"incbin::images/effects/Spark12.png", u"incbin::images/effects/Spark17.png", u"incbin::images/effects/spark19.png",
    u"incbin::images/effects/shine1.png",
};

namespace {

// Cached images by key; a null entry remembers a file that failed, so that its line is written once.
std::map<Str, ImagePtr>& Cache() {
    static std::map<Str, ImagePtr> cache;
    return cache;
}

Str CacheKey(const Str& path, int fw, int fh, int count, int flags) {
    return Path_Key(path) + u"|" + Str_FromInt(fw) + u"x" + Str_FromInt(fh) + u"x" + Str_FromInt(count) + u"|" +
           Str_FromInt(flags < 0 ? Image_GetDefaultFlags() : flags);
}

// The path as opened: the prefix is added unless the caller already gave one.
Str PrefixedPath(const Str& path) { return Str_StartsWithNoCase(path, Asset_Prefix) ? path : Asset_Prefix + path; }

ImagePtr CachedLoad(const Str& path, int fw, int fh, int count, int flags) {
    const Str key = CacheKey(path, fw, fh, count, flags);
    auto it = Cache().find(key);
    if (it != Cache().end()) return it->second;
    ImagePtr img =
        count > 0 ? Image_LoadAnim(PrefixedPath(path), fw, fh, 0, count, flags) : Image_Load(PrefixedPath(path), flags);
    if (!img) Asset_ReportMissing(path);
    Cache().emplace(key, img);
    return img;
}

} // namespace

void Asset_ReportMissing(const Str& path) { Log_Print(u"failed loading " + path); }

ImagePtr Asset_LoadImage(const Str& path, int flags) {
    ImagePtr img = Image_Load(PrefixedPath(path), flags);
    if (!img) Asset_ReportMissing(path);
    return img;
}

ImagePtr Asset_LoadAnimImage(const Str& path, int fw, int fh, int count, int flags) {
    ImagePtr img = Image_LoadAnim(PrefixedPath(path), fw, fh, 0, count, flags);
    if (!img) Asset_ReportMissing(path);
    return img;
}

ImagePtr Images_Get(const Str& path, int flags) { return CachedLoad(path, 0, 0, 0, flags); }

ImagePtr Images_GetAnim(const Str& path, int fw, int fh, int count, int flags) {
    return CachedLoad(path, fw, fh, count, flags);
}

ImagePtr Images_GetCopy(const Str& path, int flags) { return Image_Copy(Images_Get(path, flags)); }

ImagePtr Images_GetAnimCopy(const Str& path, int fw, int fh, int count, int flags) {
    return Image_Copy(Images_GetAnim(path, fw, fh, count, flags));
}

ImagePtr Image_Copy(const ImagePtr& img) { return Image_Clone(img); }

void Images_ClearCache() { Cache().clear(); }
int Images_CacheSize() { return static_cast<int>(Cache().size()); }

void Background_DrawFullscreen(const ImagePtr& img) {
    if (Graphics_Width() != kCanvasWidth)
        Draw_ImageRect(img, 0, 0, static_cast<float>(Graphics_Width()), static_cast<float>(Graphics_Height()));
    else
        Draw_Image(img, 0, 0);
}

void Images_LoadAll() {
    for (const char16_t* path : Images_EffectPaths)
        Images_Get(path);
    Service_Hooks.EffectImages_Load();
}
