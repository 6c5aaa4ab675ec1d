// Pictures of the board and the tile-set description (see pictures.cpp). Used by the board asset generator.
#pragma once

#include <string>

// Writes every board picture and "Images/pieces/tiles.txt" below outDir; false when one failed.
bool Pictures_Write(const std::string& outDir);
// The text of tiles.txt: one line per tile, "name" + index + "=48,48,1,0".
std::string TilesTxt();
