// The level plan and the level maker (see levels.h). The plan follows the tutorial: level 1 golden tiles only,
// coins from 2, amulets on 3 to 5, crates on 4, chains on 5, double chains on 6 and 7, silver tiles on 7 and 8,
// mana bottles from 6, bombs from 13 and tar from 16; boards, obstacles and colours grow from there.
#include "levels.h"

#include <algorithm>
#include <cmath>
#include <array>
#include <cstdio>
#include <fstream>

#include "board/board.h"
#include "board/level_file.h"
#include "board/rules.h"
#include "platform/random.h"
#include "solver.h"

namespace {

enum class Shape { Rect, Diamond, Plus, Hole, Towers, Hourglass, Count };
enum class Tiles { Centre, All, BottomHalf, Ring, Checker, Cross, Count };

// What one level holds.
struct Plan {
    int cols = 8, rows = 8;
    Shape shape = Shape::Rect;
    Tiles tiles = Tiles::All;
    int colours = 5;
    int silverPercent = 0;       // share of tiled cells that are silver
    int crates = 0, crates2 = 0; // one-hit and two-hit crates
    int chains = 0, chains2 = 0; // single and double chains
    int amulets = 0;
    int bombs = 0, tar = 0, frozen = 0;
    int tarWeight = 0;
    int bombPercent = 0, laserPercent = 0, goldenPercent = 0;
    int silverCoin = 0, goldCoin = 0, bottle = 0;
    int freezeInterval = 0;
};

Plan PlanFor(int n, int attempt) {
    Plan p;
    // Board size: 10 x 9 at first (full-size 48-pixel cells over most of the board area), up to 17 x 13, with a
    // few special sizes.
    const double t = (n - 1) / 149.0;
    p.cols = std::min(17, 10 + int(std::lround(t * 7.0)) + (n % 3 == 0 ? 1 : 0));
    p.rows = std::min(13, 9 + int(std::lround(t * 4.0)) + (n % 4 == 0 ? 1 : 0));
    if (n == 50 || n == 100) p.cols = 6, p.rows = 6;
    if (n == 75) p.cols = 19, p.rows = 14;
    if (n == 150) p.cols = 20, p.rows = 15;
    p.shape = n <= 8 ? Shape::Rect : Shape((n * 7) % int(Shape::Count));
    p.tiles = n == 1 ? Tiles::Centre : n <= 8 ? Tiles::All : Tiles(1 + (n * 5 + 1) % (int(Tiles::Count) - 1));
    p.colours = n < 21 ? 5 : n < 61 ? 6 : (n % 2 ? 7 : 6);
    if (n >= 2) p.silverCoin = 8, p.goldCoin = 3;
    if (n >= 6) p.bottle = 8;
    if (n == 7 || n == 8)
        p.silverPercent = 40;
    else if (n > 8 && n % 3 != 1)
        p.silverPercent = std::min(70, 10 + n / 3);
    if (n == 4)
        p.crates = 5;
    else if (n > 8 && n % 4 == 0)
        p.crates = 3 + n / 20, p.crates2 = n >= 20 ? n / 30 : 0;
    if (n == 5) p.chains = 4;
    if (n == 6 || n == 7)
        p.chains = 2, p.chains2 = 3;
    else if (n > 8 && n % 3 == 2)
        p.chains = 2 + n / 25, p.chains2 = n >= 30 ? n / 40 : 0;
    if (n >= 3 && n <= 5)
        p.amulets = 1;
    else if (n > 10 && n % 10 == 2)
        p.amulets = n >= 60 ? 2 : 1;
    if (n == 13) p.bombs = 3;
    if (n >= 13) p.bombPercent = 2;
    if (n == 16) p.tar = 5;
    if (n >= 16) p.tarWeight = n >= 60 ? 3 : 2;
    if (n > 16 && n % 5 == 1) p.tar = 3 + n / 30;
    if (n >= 10) p.goldenPercent = 2;
    if (n >= 20) p.laserPercent = 2;
    if (n >= 25 && n % 6 == 0) p.frozen = 2 + n / 40;
    if (n >= 30 && n % 4 == 3) p.freezeInterval = std::max(15, 40 - n / 8);
    // A retry makes the level plainer.
    for (int i = 0; i < attempt; ++i) {
        p.crates /= 2, p.crates2 /= 2, p.chains /= 2, p.chains2 /= 2, p.frozen /= 2, p.tar /= 2;
        p.silverPercent /= 2;
        p.freezeInterval = 0;
    }
    return p;
}

bool IsVoid(Shape s, int c, int r, int cols, int rows) {
    const double dx = std::abs(c - (cols - 1) / 2.0), dy = std::abs(r - (rows - 1) / 2.0);
    switch (s) {
    case Shape::Rect:
        return false;
    case Shape::Diamond:
        return dx / (cols / 2.0) + dy / (rows / 2.0) > 1.35;
    case Shape::Plus:
        return dx > cols / 4.0 + 0.5 && dy > rows / 4.0 + 0.5;
    case Shape::Hole:
        return dx < 1.0 && dy < 1.0 && cols >= 7 && rows >= 7;
    case Shape::Towers:
        return dx < cols / 6.0 && r < rows / 3;
    case Shape::Hourglass:
        return dx > cols / 2.0 - 1.5 && dy < rows / 5.0;
    default:
        return false;
    }
}

bool HasTile(Tiles t, int c, int r, int cols, int rows) {
    const int dx = std::abs(2 * c - (cols - 1)), dy = std::abs(2 * r - (rows - 1));
    switch (t) {
    case Tiles::Centre:
        return dx <= 4 && dy <= 3;
    case Tiles::All:
        return true;
    case Tiles::BottomHalf:
        return r >= rows / 3;
    case Tiles::Ring:
        return c <= 1 || r <= 1 || c >= cols - 2 || r >= rows - 2 || (dx <= 2 && dy <= 2);
    case Tiles::Checker:
        return (c + r) % 2 == 0 || dy <= 2;
    case Tiles::Cross:
        return dx <= 3 || dy <= 3;
    default:
        return true;
    }
}

// A random playable cell that holds a plain gem (optional: only rows from minRow on).
bool RandomGemCell(int& c, int& r, int minRow = 0) {
    for (int tries = 0; tries < 500; ++tries) {
        c = Rand_Int(0, Board_Cols - 1);
        r = Rand_Int(minRow, Board_Rows - 1);
        const Table_cell& cell = Board_Cells[c][r];
        const Piece* p = cell.Piece.get();
        if (!cell.Void && p && Kind_IsGem(p->Kind) && !p->Shield && !p->Frozen && !p->Bomb && !cell.BringDown)
            return true;
    }
    return false;
}

// Lays out the board of a plan in the board's own state.
void Build(int n, const Plan& p) {
    Level_Current = n;
    Board_Cols = p.cols;
    Board_Rows = p.rows;
    for (int32_t& w : Spawn_Weights)
        w = 0;
    for (int k = 1; k <= p.colours; ++k)
        Spawn_Weights[k] = 10;
    Spawn_Weights[KIND_TAR] = p.tarWeight;
    Level_ShieldPercent = 0; // chains are placed, never spawned: a spawned chain would stop its column
    Level_LaserPercent = p.laserPercent;
    Level_GoldenPercent = p.goldenPercent;
    Level_BombPercent = p.bombPercent;
    Level_FrozenPercent = 0;
    Level_SilverCoinInterval = p.silverCoin;
    Level_GoldCoinInterval = p.goldCoin;
    Level_ManaBottleInterval = p.bottle;
    Level_FreezeInterval = p.freezeInterval;
    Level_Duration = 3600LL * 1000000;
    Level_BuildSpawnTable();
    Level_Start();

    for (int c = 0; c < p.cols; ++c) {
        bool spawner = false;
        for (int r = 0; r < p.rows; ++r) {
            Table_cell& cell = Board_Cells[c][r];
            cell.Void = IsVoid(p.shape, c, r, p.cols, p.rows) ? 1 : 0;
            cell.AutoSpawn = 0;
            if (cell.Void) {
                cell.TileLevel = cell.BaseTileLevel = 0;
                continue;
            }
            if (!spawner) cell.AutoSpawn = 1, spawner = true;
            int tile = HasTile(p.tiles, c, r, p.cols, p.rows) ? 1 : 0;
            if (tile && Rand_Int(1, 100) <= p.silverPercent) tile = 2;
            cell.TileLevel = cell.BaseTileLevel = tile;
        }
    }
    // Crates sit below the spawner row, never on a tile.
    for (int i = 0; i < p.crates + p.crates2; ++i) {
        for (int tries = 0; tries < 200; ++tries) {
            const int c = Rand_Int(0, p.cols - 1), r = Rand_Int(2, p.rows - 1);
            Table_cell& cell = Board_Cells[c][r];
            if (cell.Void || cell.AutoSpawn || cell.Blockers) continue;
            cell.Blockers = i < p.crates ? 1 : 2;
            cell.TileLevel = cell.BaseTileLevel = 0;
            break;
        }
    }
    // Amulets appear in the top cells of middle columns once the tiles are gone.
    for (int i = 0; i < p.amulets; ++i) {
        const int c = p.cols / 2 + (i == 0 ? 0 : (i % 2 ? -3 : 3));
        for (int r = 0; r < p.rows; ++r)
            if (!Board_Cells[c][r].Void && !Board_Cells[c][r].Blockers) {
                Board_Cells[c][r].BringDown = 1;
                break;
            }
    }
    // Gems without a group: each cell avoids the colour that would finish a run with its left or upper pair.
    for (int r = 0; r < p.rows; ++r)
        for (int c = 0; c < p.cols; ++c) {
            Table_cell& cell = Board_Cells[c][r];
            if (cell.Void || cell.Blockers) continue;
            const auto kindAt = [](int x, int y) {
                return Cell_Playable(x, y) && Board_Cells[x][y].Piece ? Board_Cells[x][y].Piece->Kind : 0;
            };
            int k = 0;
            for (int tries = 0; tries < 50; ++tries) {
                k = Rand_Int(1, p.colours);
                const bool row = kindAt(c - 1, r) == k && kindAt(c - 2, r) == k;
                const bool col = kindAt(c, r - 1) == k && kindAt(c, r - 2) == k;
                if (!row && !col) break;
            }
            PiecePtr piece = Piece_CreateGem(Cell_PixelX(c), Cell_PixelY(r), k);
            piece->Col = c;
            piece->Row = r;
            cell.Piece = piece;
        }
    int c = 0, r = 0;
    for (int i = 0; i < p.chains + p.chains2; ++i)
        if (RandomGemCell(c, r, 1)) {
            Board_Cells[c][r].Piece->Shield = i < p.chains ? 1 : 2;
            Board_Cells[c][r].Piece->MoveFlags = MOVE_NOSWAP | MOVE_NOFALL;
        }
    for (int i = 0; i < p.bombs; ++i)
        if (RandomGemCell(c, r)) Board_Cells[c][r].Piece->Bomb = 1;
    for (int i = 0; i < p.frozen; ++i)
        if (RandomGemCell(c, r, 1)) Piece_SetFrozen(Board_Cells[c][r].Piece, 1);
    for (int i = 0; i < p.tar; ++i)
        if (RandomGemCell(c, r)) {
            Board_Cells[c][r].Piece->Kind = KIND_TAR;
            if (Board_FindMatchGroup(c, r, 0, 1) > 0) Board_Cells[c][r].Piece->Kind = 1 + (c + r) % p.colours;
        }
    // No group at the start, and a move.
    for (int pass = 0; pass < 200; ++pass) {
        bool clean = true;
        for (int x = 0; x < p.cols && clean; ++x)
            for (int y = 0; y < p.rows && clean; ++y)
                if (Board_Cells[x][y].Piece && Board_FindMatchGroup(x, y, 0, 1) > 0) {
                    Board_Cells[x][y].Piece->Kind = Rand_Int(1, p.colours);
                    clean = false;
                }
        if (clean) break;
    }
    if (!Board_HasMove()) Board_ReplaceForMove();
    Board_BuildContours();
}

// Level times measured by `bq_assetgen_board --times` and the fingerprint of the layout each was measured on.
struct MeasuredTime {
    int32_t seconds;
    uint32_t layout;
};
constexpr MeasuredTime kMeasuredTimes[] = {
#include "level_times.inc"
    {0, 0u}, // end of the table
};

// FNV-1a over the bytes of a level file as first saved (the placeholder time in it), so that a layout that changes
// is measured anew instead of getting another layout's time.
uint32_t LayoutFingerprint(const Str& path) {
    std::ifstream in(Str_ToUtf8(path), std::ios::binary);
    uint32_t h = 2166136261u;
    for (char ch; in.get(ch);)
        h = (h ^ uint8_t(ch)) * 16777619u;
    return h;
}

// Plays the level at path on a seed; the game's result.
SolveResult PlayOnce(const Str& path, uint32_t seed, int64_t limitMs) {
    Level_Load(path);
    Rand_Seed(seed);
    return Solver_Play(limitMs);
}

// The level's time from what the solver needed on the measuring seeds (the first game given).
int32_t MeasureTime(int32_t n, const Str& path, const SolveResult& first) {
    std::array<double, kTimeGames> need{};
    need[0] = Level_NeedSeconds(n, first);
    for (int32_t g = 1; g < kTimeGames; ++g)
        need[size_t(g)] = Level_NeedSeconds(n, PlayOnce(path, Level_TimeSeed(n, g), kSolverLimitMs));
    return Level_TimeFromNeeds(n, need);
}

} // namespace

double Level_PaceSeconds(int32_t n) { return 4.5 - 1.5 * (std::clamp(n, 1, kLevelCount) - 1) / (kLevelCount - 1.0); }

double Level_NeedSeconds(int32_t n, const SolveResult& r) {
    return r.won ? r.timeMs / 1000.0 + r.moves * Level_PaceSeconds(n) : kSolverLimitMs / 1000.0;
}

namespace {
// The game's generator gives nearby seeds alike first draws, so the seeds are scattered (the finaliser of
// MurmurHash3): the measuring and the check games then come from the same spread of games.
uint32_t Scatter(uint32_t x) {
    x ^= x >> 16;
    x *= 0x85ebca6bu;
    x ^= x >> 13;
    x *= 0xc2b2ae35u;
    x ^= x >> 16;
    return x & 0x7fffffffu;
}
} // namespace

uint32_t Level_TimeSeed(int32_t n, int32_t game) { return Scatter(uint32_t(n * 1000 + game)); }

uint32_t Level_CheckSeed(int32_t n, int32_t game) { return Scatter(0x40000000u + uint32_t(n * 1000 + game)); }

int32_t Level_TimeFromNeeds(int32_t n, std::array<double, kTimeGames> need) {
    std::sort(need.begin(), need.end());
    // nearest rank: the smallest need that covers kTimePercentile percent of the games
    const size_t rank = size_t((kTimePercentile * kTimeGames + 99) / 100);
    const int32_t least = n <= 5 ? 180 : n <= 20 ? 120 : 90;
    return std::max(least, int32_t(std::ceil(need[rank - 1] / 10.0)) * 10);
}

bool Level_WonAtPace(const SolveResult& r, double paceSeconds, int64_t durationUs) {
    return r.won && r.timeMs * 1000 + int64_t(std::llround(r.moves * paceSeconds * 1e6)) <= durationUs;
}

std::vector<CheckedLevel> Levels_PlayCheckGames(const std::string& assetDir, int32_t first, int32_t last) {
    std::vector<CheckedLevel> out;
    for (int32_t n = first; n <= last; ++n) {
        const Str path = Str_FromUtf8(assetDir + "/") + Level_FileName(n);
        Level_Current = n;
        if (!Level_Load(path)) return {};
        CheckedLevel level;
        level.durationUs = Level_Duration;
        for (int32_t g = 0; g < kCheckGames; ++g)
            level.games[size_t(g)] = PlayOnce(path, Level_CheckSeed(n, g), Level_Duration / 1000);
        out.push_back(level);
    }
    return out;
}

bool Levels_Generate(const std::string& outDir, const std::string& timesOut) {
    const bool measureAll = !timesOut.empty();
    std::string table;
    std::printf("levels:");
    for (int n = 1; n <= kLevelCount; ++n) {
        const Str path = Str_FromUtf8(outDir + "/levels/") + Level_FileName(n).substr(7);
        SolveResult res;
        int attempt = 0;
        for (; attempt < 6; ++attempt) {
            Rand_Seed(n * 7919 + attempt * 104729 + 1);
            Build(n, PlanFor(n, attempt));
            if (!Board_HasMove() || !Level_Save(path)) continue;
            Level_Current = n;
            Level_Path = path;
            res = PlayOnce(path, Level_TimeSeed(n, 0), kSolverLimitMs);
            if (res.won && ((n != 2 && n != 3) || res.matchedCells >= 60)) break;
        }
        if (attempt == 6) {
            std::fprintf(stderr, "\nlevel %d: no winnable layout found\n", n);
            return false;
        }
        // Time: a high percentile of what a player at the level's pace needs over several solver games, so that
        // a level is fair on most games and not only on a typical one. Measuring takes minutes, so the build
        // takes the committed table and measures only a level whose layout no longer matches it.
        const uint32_t layout = LayoutFingerprint(path);
        int32_t seconds = 0;
        if (!measureAll && size_t(n) < std::size(kMeasuredTimes) && kMeasuredTimes[n - 1].layout == layout) {
            seconds = kMeasuredTimes[n - 1].seconds;
        } else {
            if (!measureAll)
                std::printf("\nlevel %d: layout not in the time table, measuring it (remake the table with "
                            "bq_assetgen_board --times)\n",
                            n);
            seconds = MeasureTime(n, path, res);
        }
        char line[64];
        std::snprintf(line, sizeof line, "{%d, 0x%08xu},\n", seconds, layout);
        table += line;
        Level_Load(path);
        Level_Duration = int64_t(seconds) * 1000000;
        if (!Level_Save(path)) return false;
        std::printf(" %d(%ds)", n, seconds);
        std::fflush(stdout);
    }
    std::printf("\n");
    if (measureAll) {
        std::ofstream out(timesOut, std::ios::binary | std::ios::trunc);
        out << "// Level times in seconds and the layout fingerprint each was measured on, level 1 first; made by\n"
               "// bq_assetgen_board <folder> --times <this file> (docs/rules.md, \"The level set\").\n"
            << table;
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", timesOut.c_str());
            return false;
        }
    }
    return true;
}
