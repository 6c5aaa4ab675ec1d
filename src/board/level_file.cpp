// Level files: the byte layout of Level_Save and Level_Load, the level values they carry and the spawn table.
// Called by the play loop (Level_LoadByNumber), the editor, the level refresh and the asset generator.
#include "board/level_file.h"

#include <algorithm>
#include <vector>

#include "board/board.h"
#include "board/rules.h"
#include "board/play.h"
#include "platform/stream.h"
#include "platform/system.h"

int64_t Level_Duration = 180000000;
int64_t Level_TimeLeft = 180000000;
int32_t Level_ShieldPercent = 0;
int32_t Level_LaserPercent = 0;
int32_t Level_GoldenPercent = 0;
int32_t Level_BombPercent = 0;
int32_t Level_FrozenPercent = 0;
int32_t Level_AntigravPercent = 0;
int32_t Level_SilverCoinInterval = 0;
int32_t Level_GoldCoinInterval = 0;
int32_t Level_ManaBottleInterval = 0;
int32_t Level_FreezeInterval = 0;
float Level_FreezeTimer = 0;
int32_t Level_SilverCoinTimer = 0, Level_GoldCoinTimer = 0, Level_ManaBottleTimer = 0;
int32_t Spawn_Weights[Piece_KindCount] = {0, 1, 1, 1, 1, 1, 1};
int32_t Level_Ease = 0;
Str Level_Path;

namespace {

constexpr int32_t kMaxWeight = 1000000; // a file's weights are cut to this, so their sum fits
constexpr int32_t kHeaderFields = LevelFile_HeaderSize / 4;
constexpr int32_t kCellFields = LevelFile_CellSize / 4;

// Reads `size` bytes as int32 fields into `out` (kFields long): extra fields are skipped, missing ones read as 0.
template <size_t N> void ReadRecord(const uint8_t* data, int32_t size, int32_t (&out)[N]) {
    for (size_t i = 0; i < N; ++i) {
        out[i] = 0;
        if (int64_t(i) * 4 + 4 <= size) {
            const uint8_t* b = data + i * 4;
            out[i] = int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
        }
    }
}

void Refuse(const Str& path, const char* why) { Log_Print(S("failed loading ") + path + S(": ") + S(why)); }

// Creates the piece of a level-file cell record at its cell.
PiecePtr CreateCellPiece(int32_t c, int32_t r, int32_t kind) {
    const float x = Cell_PixelX(c), y = Cell_PixelY(r);
    switch (kind) {
    case KIND_MULTICOLOR:
        return Piece_CreateMulticolor(x, y);
    case KIND_LAUNCHER:
        return Piece_CreateLauncher(x, y);
    case KIND_TAR:
        return Piece_CreateTar(x, y);
    case KIND_AMULET:
    case KIND_NEW2:
    case KIND_NEW3:
    case KIND_CHAIN_RED:
    case KIND_CHAIN_GOLD:
        return Piece_CreateSpecialImage(x, y, kind, Piece_Images[kind]);
    case KIND_BOTTLE:
    case KIND_COIN_SILVER:
    case KIND_COIN_GOLD:
        return Piece_CreateCoinOrBottle(c, r, kind);
    default:
        if (Kind_IsGem(kind)) return Piece_CreateGem(x, y, kind);
        return nullptr; // rockets and unknown kinds are not board pieces
    }
}

} // namespace

Str Level_FileName(int32_t level) {
    return S("levels/BQ2_level_") + Str_FromIntPadded(std::clamp(level, 0, 999), 3) + S(".lev");
}

void Level_BuildSpawnTable() {
    int32_t w[Piece_KindCount] = {};
    int32_t colours = 0, lastColour = 0;
    for (int32_t k = 1; k < Piece_KindCount; ++k) {
        w[k] = Kind_Spawnable(k) ? std::clamp(Spawn_Weights[k], 0, kMaxWeight) : 0;
        if (Kind_IsGem(k) && w[k] > 0) {
            ++colours;
            lastColour = k;
        }
    }
    // Easier levels: less tar, and with six or more colours the last colour comes less often.
    const int32_t ease = std::clamp(Level_Ease, 0, 3);
    if (ease > 0) {
        w[KIND_TAR] = w[KIND_TAR] * (3 - ease) / 3;
        if (colours >= 6) w[lastColour] = std::max(1, w[lastColour] * (4 - ease) / 4);
    }
    int32_t total = 0;
    for (int32_t k = 0; k < Piece_KindCount; ++k) {
        total += k > 0 ? w[k] : 0;
        Pieces_SpawnTable[k] = total;
    }
    Pieces_SpawnTotal = total;
}

bool Level_Save(const Str& path) {
    StreamPtr s = File_WriteAtomic(S("littleendian::") + path);
    if (!s) throw RuntimeError(S("cant create level file") + path);
    const int32_t header[kHeaderFields] = {LevelFile_HeaderSize,
                                           Board_Cols,
                                           Board_Rows,
                                           int32_t(Level_Duration / 1000),
                                           LevelFile_CellSize,
                                           Level_ShieldPercent,
                                           Level_LaserPercent,
                                           Level_GoldenPercent,
                                           Level_BombPercent,
                                           Level_FrozenPercent,
                                           Level_SilverCoinInterval,
                                           Level_GoldCoinInterval,
                                           Level_ManaBottleInterval,
                                           Level_FreezeInterval,
                                           0,
                                           0};
    for (const int32_t v : header)
        Stream_WriteInt(*s, v);
    for (const int32_t v : Spawn_Weights)
        Stream_WriteInt(*s, v);
    for (int32_t r = 0; r < Board_Rows; ++r) {
        for (int32_t c = 0; c < Board_Cols; ++c) {
            const Table_cell& cell = Board_Cells[c][r];
            const Piece* p = cell.Piece.get();
            const int32_t rec[kCellFields] = {cell.Void,
                                              cell.TileLevel,
                                              p ? p->Kind : 0,
                                              p ? p->Shield : 0,
                                              cell.Contour,
                                              cell.AutoSpawn,
                                              p ? p->Bomb : 0,
                                              p ? p->Laser : 0,
                                              0,
                                              cell.BaseTileLevel,
                                              cell.Blockers,
                                              p ? p->Frozen : 0,
                                              cell.BringDown,
                                              0,
                                              0,
                                              0};
            for (const int32_t v : rec)
                Stream_WriteInt(*s, v);
        }
    }
    if (!s->Close()) {
        Log_Print(S("failed saving ") + path);
        return false;
    }
    return true;
}

bool Level_Load(const Str& path) {
    // Larger than the largest header and cell records allow: refused unread (a huge file would take all memory).
    constexpr int64_t kMaxBytes = int64_t(LevelFile_MaxRecord) + LevelFile_WeightsSize +
                                  int64_t(LevelFile_MaxRecord) * Board_MaxCols * Board_MaxRows;
    if (File_Size(path) > kMaxBytes) {
        Refuse(path, "too large");
        return false;
    }
    std::vector<uint8_t> bytes;
    if (!File_ReadAll(path, bytes, size_t(kMaxBytes))) {
        if (Path_IsEmbedded(path)) throw RuntimeError(S("cant open file level file ") + path);
        Refuse(path, "missing");
        return false;
    }
    const int64_t size = int64_t(bytes.size());
    if (size < 8) {
        Refuse(path, "too short");
        return false;
    }
    int32_t first[2];
    ReadRecord(bytes.data(), 8, first);
    const int32_t headerSize = first[0];
    if (headerSize < 8 || headerSize > LevelFile_MaxRecord || headerSize > size) {
        Refuse(path, "bad header size");
        return false;
    }
    int32_t h[kHeaderFields];
    ReadRecord(bytes.data(), headerSize, h);
    const int32_t cols = h[1], rows = h[2], cellSize = h[4];
    if (cols < 1 || cols > Board_MaxCols || rows < 1 || rows > Board_MaxRows) {
        Refuse(path, "columns or rows outside 1..48");
        return false;
    }
    if (cellSize < 8 || cellSize > LevelFile_MaxRecord) {
        Refuse(path, "bad cell record size");
        return false;
    }
    const int64_t cellsAt = int64_t(headerSize) + LevelFile_WeightsSize;
    if (size < cellsAt + int64_t(cellSize) * cols * rows) {
        Refuse(path, "shorter than its sizes");
        return false;
    }
    // The file is whole: warn about layouts of other versions, then take it over.
    if (headerSize > LevelFile_HeaderSize)
        Sys_MessageBox(S("Warning, level file has MORE header fields than current app knows!"));
    else if (headerSize < LevelFile_HeaderSize)
        Sys_MessageBox(S("Warning, level file has LESS header fields than current app knows!"));
    if (cellSize > LevelFile_CellSize)
        Sys_MessageBox(S("Warning, level file has MORE cell fields than current app knows!"));
    else if (cellSize < LevelFile_CellSize)
        Sys_MessageBox(S("Warning, level file has LESS cell fields than current app knows!"));

    Board_Cols = cols;
    Board_Rows = rows;
    Level_Duration = int64_t(std::max(0, h[3])) * 1000;
    Level_ShieldPercent = h[5];
    Level_LaserPercent = h[6];
    Level_GoldenPercent = h[7];
    Level_BombPercent = h[8];
    Level_FrozenPercent = h[9];
    Level_SilverCoinInterval = h[10];
    Level_GoldCoinInterval = h[11];
    Level_ManaBottleInterval = h[12];
    Level_FreezeInterval = std::max(0, h[13]);
    ReadRecord(bytes.data() + headerSize, LevelFile_WeightsSize, Spawn_Weights);
    Level_BuildSpawnTable();
    Level_Start();

    for (int32_t r = 0; r < rows; ++r) {
        for (int32_t c = 0; c < cols; ++c) {
            int32_t f[kCellFields];
            ReadRecord(bytes.data() + cellsAt + (int64_t(r) * cols + c) * cellSize, cellSize, f);
            Table_cell& cell = Board_Cells[c][r];
            cell.Void = f[0] ? 1 : 0;
            cell.TileLevel = std::clamp(f[1], 0, 2);
            cell.Contour = f[4];
            cell.AutoSpawn = f[5] ? 1 : 0;
            cell.BaseTileLevel = std::clamp(f[9], 0, 2);
            cell.Blockers = std::clamp(f[10], 0, 9);
            cell.BringDown = f[12] ? 1 : 0;
            if (cell.Void || cell.Blockers > 0 || f[2] <= 0 || f[2] >= Piece_KindCount) continue;
            PiecePtr p = CreateCellPiece(c, r, f[2]);
            if (!p) continue;
            p->Col = c;
            p->Row = r;
            p->Shield = std::clamp(f[3], 0, 2);
            if (p->Shield > 0) p->MoveFlags |= MOVE_NOSWAP | MOVE_NOFALL;
            p->Bomb = f[6] ? 1 : 0;
            p->Laser = f[7] ? 1 : 0;
            if (f[11]) Piece_SetFrozen(p, 1);
            cell.Piece = p;
        }
    }
    return true;
}

bool Level_LoadByNumber(int32_t level) {
    Level_Path = S("incbin::") + Level_FileName(level);
    return Level_Load(Level_Path);
}

bool Level_RefreshFile(const std::u16string& path) {
    try {
        if (!Level_Load(path)) return false;
        Board_BuildContours();
        return Level_Save(path);
    } catch (const RuntimeError& e) {
        Log_Print(S("failed refreshing ") + path + S(": ") + Str_FromUtf8(e.what()));
        return false;
    }
}
