// The image generator: writes every picture of the game below the asset folder given as the first argument
// (run by the build through bq_asset_generator), or with --contact-sheet <out.png> <asset folder> [filter] draws
// the contact sheet of an asset folder.
#include "assetgen_images/inventory.h"

#include <cstdio>
#include <cstring>
#include <thread>

int main(int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], "--contact-sheet") == 0) {
        return imagegen::WriteContactSheet(argv[2], argv[3], argc >= 5 ? argv[4] : "") ? 0 : 1;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <asset folder>\n       %s --contact-sheet <out.png> <asset folder> [filter]\n",
                     argv[0], argv[0]);
        return 2;
    }
    const int threads = static_cast<int>(std::max(1u, std::min(16u, std::thread::hardware_concurrency())));
    return imagegen::GenerateAll(argv[1], threads) ? 0 : 1;
}
