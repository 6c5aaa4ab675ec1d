// The board's asset generator: tile sets, board tiles, pieces, overlays, hammer icons and the 150 levels.
// Run by the build with the asset folder as its first argument (cmake/Assets.cmake).
#include <cstdio>
#include <filesystem>

#include "board/board.h"
#include "levels.h"
#include "pictures.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <asset folder>\n", argv[0]);
        return 2;
    }
    const std::string out = argv[1];
    std::filesystem::create_directories(out + "/levels");
    if (!Pictures_Write(out)) return 1;
    if (!Levels_Generate(out)) return 1;
    return 0;
}
