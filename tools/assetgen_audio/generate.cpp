// Runs the audio generator's parts (music and effects) side by side. Called by main.cpp.
#include "assetgen_audio/generate.h"

#include <future>

bool AudioGen_WriteAll(const std::string& outDir) {
    auto music = std::async(std::launch::async, Music_WriteAll, outDir);
    const bool sfx = Sfx_WriteAll(outDir);
    return music.get() && sfx;
}
