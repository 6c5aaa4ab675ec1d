// What a frame did that costs time: effect objects made, sprites and pictures drawn and their pixels, textures made
// and filled, stretched copies made, text drawn, glyphs rendered. The drawing and effects code adds to the counters
// (a plain add each); nothing in the game reads them: the frame benchmarks and the end-to-end frame costs reset
// them before a frame and print, for a screen's slowest frames, what happened in them (FrameTally_Line).
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct FrameTally {
    int64_t effectsMade = 0;  // effect objects made
    int64_t effectsAtCap = 0; // asked for at the cap (not made)
    int64_t poolBlocks = 0;   // blocks the effect list grew by
    int64_t sprites = 0;      // batched sprites (effects, particles), alpha blended
    int64_t spritePx = 0;     // their pixels (bounding boxes)
    int64_t addSprites = 0;   // batched sprites, additive
    int64_t addPx = 0;
    int64_t copies = 0;       // pictures drawn straight away (Draw_Image, text glyphs)
    int64_t copyPx = 0;
    int64_t stretches = 0;    // of them, stretched or turned by SDL in the frame
    int64_t stretchPx = 0;
    int64_t cachedStretches = 0; // stretched copies made for the cache of stretched pictures
    int64_t cachedPx = 0;
    int64_t decodes = 0; // pictures decoded (PNG, JPEG)
    int64_t texturesMade = 0;
    int64_t uploads = 0; // texture fills (pictures, atlas pages, glyph atlases)
    int64_t uploadPx = 0;
    int64_t texts = 0;  // Draw_Text calls
    int64_t glyphs = 0; // glyphs rendered by FreeType
    std::array<int32_t, 64> kindsDrawn{}; // effect objects drawn, by kind
};

extern FrameTally Frame_Tally;

// Counters to zero (before the frame to be looked at).
void FrameTally_Reset();
// The counters that are not zero, in one line ("fx+=120 sprites=3400/1.2Mpx ..."), the three effect kinds drawn most
// among them.
std::string FrameTally_Line(const FrameTally& t);
