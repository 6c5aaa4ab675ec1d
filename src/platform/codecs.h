// Private to the platform: the PNG and JPEG codecs over bytes in memory. Called by image.cpp (Pixmap_Decode), by
// graphics.cpp (screenshots) and by the fuzz targets; no window needed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/image.h"

bool Png_IsSignature(const uint8_t* data, size_t size);
bool Jpeg_IsSignature(const uint8_t* data, size_t size);
// Both decode into format 4 (no alpha) or 6 (alpha; PNG only) and return null with a reason on stderr for
// anything they cannot read. Sides above kImageMaxSide are refused before any pixel memory is taken.
PixmapPtr Png_Decode(const uint8_t* data, size_t size);
PixmapPtr Jpeg_Decode(const uint8_t* data, size_t size);
