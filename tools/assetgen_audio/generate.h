// The audio generator's parts: the music tracks and ambient loop (music.cpp) and the sound effects (sfx.cpp).
// main.cpp calls AudioGen_WriteAll; every part writes its files below the asset folder at their archive paths.
#pragma once

#include <string>

#include "assetlib/audio.h"

bool AudioGen_WriteAll(const std::string& outDir); // every sound and track; false when a file failed
bool Music_WriteAll(const std::string& outDir);    // sounds/bq2_01.ogg .. bq2_05.ogg and sounds/ambient_castle.ogg
bool Sfx_WriteAll(const std::string& outDir);      // every WAV sound effect

// Scales `buffer` to a loudness of `lufs` (BS.1770): a stereo track by its gated integrated loudness, a mono sound by
// its loudest 400 ms as the game plays it (centred, on both sides). Its peak stays at or below `peakCap` whatever
// the loudness asks. Returns the loudness reached.
double AudioGen_LevelTo(AudioBuffer& buffer, double lufs, float peakCap);
