// The audio generator: `bq_assetgen_audio <asset folder> [archive/path=source font]...` writes the music, the
// ambient loop and every sound at its archive path, and copies the font files named on the command line (the
// build passes them; see CMakeLists.txt). Run by the build through bq_asset_generator().
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "assetgen_audio/generate.h"

namespace {

// Copies one font file byte for byte; a missing source leaves a diagnostic line and no file.
bool CopyFont(const std::filesystem::path& outDir, const std::string& pair) {
    const size_t eq = pair.find('=');
    if (eq == std::string::npos || eq == 0) {
        std::fprintf(stderr, "bad font argument '%s' (want archive/path=source)\n", pair.c_str());
        return false;
    }
    const std::filesystem::path dest = outDir / pair.substr(0, eq);
    const std::filesystem::path source = pair.substr(eq + 1);
    std::error_code ec;
    std::filesystem::create_directories(dest.parent_path(), ec);
    std::filesystem::copy_file(source, dest, std::filesystem::copy_options::overwrite_existing, ec);
    if (ec) {
        std::fprintf(stderr, "failed copying font %s to %s: %s\n", source.c_str(), dest.c_str(), ec.message().c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <asset folder> [archive/path=source font]...\n", argv[0]);
        return 2;
    }
    const std::filesystem::path outDir = argv[1];
    bool fontsOk = true;
    for (int i = 2; i < argc; ++i)
        fontsOk = CopyFont(outDir, argv[i]) && fontsOk;
    const bool audioOk = AudioGen_WriteAll(outDir.string());
    if (!fontsOk || !audioOk) std::fprintf(stderr, "bq_assetgen_audio: some files were not written (see above)\n");
    // A missing font package is reported but does not stop the build (the font tests name what is missing); a
    // score that does not add up or a file that cannot be written does.
    return audioOk ? 0 : 1;
}
