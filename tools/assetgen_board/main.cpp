// The board's asset generator: tile sets, board tiles, pieces, overlays, hammer icons and the 150 levels.
// Run by the build with the asset folder as its first argument (cmake/Assets.cmake). By hand:
//   bq_assetgen_board <folder> --times <file>   measures every level's time anew and writes the time table
//   bq_assetgen_board <folder> --winshare       plays the levels in <folder> on the check seeds and prints the
//                                               share of games won at several paces
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "board/board.h"
#include "levels.h"
#include "pictures.h"

namespace {

int ReportWinShare(const std::string& folder) {
    const std::vector<CheckedLevel> levels = Levels_PlayCheckGames(folder);
    if (levels.empty()) return 1;
    constexpr double kPaces[] = {0.0, 2.5, 3.0, 3.5, 4.5}; // 0: each level's own pace
    for (double pace : kPaces) {
        int32_t wins = 0, games = 0, below = 0, worst = kCheckGames;
        for (size_t i = 0; i < levels.size(); ++i) {
            const double p = pace > 0 ? pace : Level_PaceSeconds(int32_t(i) + 1);
            int32_t w = 0;
            for (const SolveResult& r : levels[i].games)
                w += Level_WonAtPace(r, p, levels[i].durationUs);
            wins += w;
            games += kCheckGames;
            if (2 * w < kCheckGames) {
                ++below;
                if (pace <= 0) std::printf("level %zu: %d of %d won at its pace\n", i + 1, w, kCheckGames);
            }
            worst = std::min(worst, w);
        }
        std::printf("pace %s: %d of %d games won (%.1f %%), %d levels below half, worst level %d of %d\n",
                    pace > 0 ? (std::to_string(pace).substr(0, 3) + " s").c_str() : "of the level", wins, games,
                    100.0 * wins / games, below, worst, kCheckGames);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <asset folder> [--times <table file> | --winshare]\n", argv[0]);
        return 2;
    }
    const std::string out = argv[1];
    if (argc >= 3 && std::strcmp(argv[2], "--winshare") == 0) return ReportWinShare(out);
    const std::string timesOut = argc >= 4 && std::strcmp(argv[2], "--times") == 0 ? argv[3] : "";
    std::filesystem::create_directories(out + "/levels");
    if (!Pictures_Write(out)) return 1;
    if (!Levels_Generate(out, timesOut)) return 1;
    return 0;
}
