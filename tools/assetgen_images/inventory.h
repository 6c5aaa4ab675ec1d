// The image generator's table: one row per file it writes (archive path, pixel size, frames, format, painter),
// and the button slots that dialog frames leave see-through. Used by the generator and by tests/tools.
#pragma once

#include "assetlib/art.h"

#include <string>
#include <vector>

namespace imagegen {

enum class Format {
    Png,    // RGBA PNG
    PngRgb, // 24-bit RGB PNG without alpha, black background (pixel-scan sources: they lock as RGB888)
    Jpg,    // baseline JPEG
};

struct ImageRow;
// Paints one frame (frame 0 for single images) into a canvas of the frame's size.
using Painter = void (*)(art::Canvas& c, const ImageRow& item, int frame);

struct ImageRow {
    std::string path; // archive path as the game names it (case kept), below the asset folder
    int width = 0;    // frame width in pixels (the whole image when frames == 1)
    int height = 0;   // frame height in pixels
    int frames = 1;   // animation frames; strips are laid out by StripColumns
    Format format = Format::Png;
    Painter paint = nullptr;
    int variant = 0;      // painter's own choice: button state, colour index, page number, ...
    bool embedded = true; // false: not part of the archive's meaning (editor pictures also read from disk)
};

// Button states, as variant of button images: the suffixes the game adds to an image base.
enum ButtonState { Default = 0, Hovered = 1, Pressed = 2 };

// Frames of a strip are numbered left to right, then top to bottom. A strip that fits in 1024 pixels is one row;
// a longer one is a near-square grid (64 frames of 100x100 make 8 by 8).
int StripColumns(int frameWidth, int frames);
int StripRows(int frameWidth, int frames);

// Every image the generator writes, in a fixed order.
const std::vector<ImageRow>& Inventory();

// A button slot that a dialog frame leaves transparent (the game draws the buttons first, the frame over them).
struct Slot {
    const char* frame; // archive path of the frame image
    int x, y, w, h;    // relative to the frame's top-left
};
const std::vector<Slot>& FrameSlots();

// Writes every image below outDir with the given number of worker threads; returns false when a file failed.
bool GenerateAll(const std::string& outDir, int threads);
// Renders one image (strips composed) into a canvas of the file's full size.
art::Canvas Render(const ImageRow& item);

// Writes one PNG showing every PNG and JPEG file below assetDir, scaled into a grid and labelled with its path.
bool WriteContactSheet(const std::string& outPng, const std::string& assetDir, const std::string& filter = "");

} // namespace imagegen
