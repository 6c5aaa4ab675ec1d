// Desktop wallpapers: writes a castle's wallpaper picture as a 24-bit BMP into the data folder and hands it to the
// desktop. Called by the wallpapers dialog.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/image.h"
#include "platform/strings.h"

// A pixmap (any format) as a 24-bit bottom-up BMP file: 54-byte header, rows padded to 4 bytes.
std::vector<uint8_t> Img_ToBmp(const Pixmap& pm);
// Data_Folder + "/wallpaper_" + n + ".bmp".
Str Wallpaper_Path(int32_t n);
// The size of that file for a picture of width x height pixels.
int64_t Bmp_FileSize(int32_t width, int32_t height);
// Writes wallpaper n from "Images/Wallpapers/wallpaper_" + n + "_german.jpg" unless a BMP of the right size exists
// already (a damaged one is written again), through a temporary file and a rename.
// False when the picture is missing or the file cannot be written (diagnostic line).
bool Wallpaper_WriteBmp(int32_t n);
// Sets the desktop wallpaper and writes the result as a diagnostic line.
bool Wallpaper_Set(const Str& path);
