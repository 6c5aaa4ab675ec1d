// The board's asset generator: tile sets, board tiles, pieces, overlays, hammer icons and the 150 levels.
// Run by the build with the asset folder as its first argument (cmake/Assets.cmake).
#include <cstdio>
#include <filesystem>

#include "board/board.h"
#include "levels.h"
#include "pictures.h"
#include "platform/incbin.h"

// The generator runs before the archive exists: it links the game's board code but no packed archive.
extern "C" const uint8_t bq_assets_begin[1] = {0};
extern "C" const uint8_t bq_assets_end[1] = {0};

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <asset folder>\n", argv[0]);
        return 2;
    }
    const std::string out = argv[1];
    Board_Notify = 0; // the rest of the game is not set up here
    std::filesystem::create_directories(out + "/levels");
    if (!Pictures_Write(out)) return 1;
    if (!Levels_Generate(out)) return 1;
    return 0;
}
