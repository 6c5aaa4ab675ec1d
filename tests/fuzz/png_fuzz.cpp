// libFuzzer target: any bytes through the PNG decoder (no window). A result must be a consistent pixmap.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/codecs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const PixmapPtr pm = Png_Decode(data, size);
    if (pm && (pm->width <= 0 || pm->height <= 0 || pm->width > kImageMaxSide || pm->height > kImageMaxSide ||
               pm->bytes.size() != size_t(pm->pitch) * size_t(pm->height)))
        std::abort();
    return 0;
}
