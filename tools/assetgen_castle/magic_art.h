// The shop's, the spells' and the in-game interface's pictures (magic_art.cpp), written by the castle generator.
#pragma once

#include <string>

void WriteMagic(const std::string& dir, bool& ok); // into the asset folder `dir`; ok becomes false on a failed file
