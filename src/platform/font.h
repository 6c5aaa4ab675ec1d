// Image fonts: a TrueType or Windows .fon font rendered through FreeType at one pixel size into a glyph atlas.
// Drawing text and measuring it in the current font is graphics.h (Draw_Text, Text_Width, Text_Height). Used by
// the fonts table and the toolkit; implemented in font.cpp.
#pragma once

#include <memory>

#include "platform/strings.h"

// Style bits: 1 bold (outlines emboldened), 2 italic (sheared), 4 smooth (anti-aliased; without it glyphs are
// monochrome, every pixel fully on or off). 5 = smooth bold. Bitmap fonts (.fon) ignore bold and italic.
enum FontStyle { FONT_BOLD = 1, FONT_ITALIC = 2, FONT_SMOOTH = 4 };

struct ImageFont; // face, metrics and glyph atlas; private to the platform
using FontPtr = std::shared_ptr<ImageFont>;

// Loads a font file (any stream prefix; format read from the bytes) at a pixel size (1..512) with the Latin-1
// letters. Null when the file is missing (the caller reports it) or, with a diagnostic line, not a font. Needs no
// window.
FontPtr ImageFont_Load(const Str& path, int pixelSize, int style = FONT_SMOOTH);
// The platform's own font: "incbin::fonts/l_10646.ttf" at 13 px smooth when embedded, else DejaVu Sans from the
// system. Loaded once; null only when neither exists.
FontPtr ImageFont_Default();

// Metrics in whole pixels. Height = ascender - descender (the line height Text_Height reports); the baseline lies
// `ascender` below the top of a line. Width = sum of the advances (no kerning); codes below 32 have no width.
int ImageFont_Ascender(const FontPtr& font);
int ImageFont_Height(const FontPtr& font);
int ImageFont_TextWidth(const FontPtr& font, const Str& text);
int ImageFont_PixelSize(const FontPtr& font);
int ImageFont_Style(const FontPtr& font);
// Lets the atlas's texture go (the fonts of a screen left for good); the next draw in the font paints and uploads the
// atlas again. Nothing for null.
void ImageFont_DropTexture(const FontPtr& font);
bool ImageFont_HasTexture(const FontPtr& font); // the atlas holds a texture now (Image_HasTexture); false for null
