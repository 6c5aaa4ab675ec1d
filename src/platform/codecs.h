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
// A picture handed over row by row as it is decoded: `start` learns its size and format (4 or 6) and may refuse it
// (false: decoding stops, nothing reported); then `row` gets each row, top to bottom, in that format.
struct PixelRowSink {
    bool (*start)(void* ctx, int width, int height, int format);
    void (*row)(void* ctx, int y, const uint8_t* pixels);
    void* ctx;
};
// Png_Decode without holding the whole picture (an interlaced file is decoded whole first). False when the file
// cannot be read (reported as by Png_Decode) or `start` refused it.
bool Png_DecodeRows(const uint8_t* data, size_t size, const PixelRowSink& sink);
PixmapPtr Jpeg_Decode(const uint8_t* data, size_t size);
// Jpeg_Decode handing the rows over as Png_DecodeRows does (format 4), without holding the whole picture.
bool Jpeg_DecodeRows(const uint8_t* data, size_t size, const PixelRowSink& sink);
