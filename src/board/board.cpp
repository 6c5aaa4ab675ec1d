// The board grid, its layout on the screen, contour values, tile sets and the level start.
// Called by the rules, the level files, the play loop and the editor.
#include "board/board.h"

#include <algorithm>

#include "board/level_file.h"
#include "board/rules.h"
#include "board/board_hooks.h"
#include "board/play.h"
#include "main/screens.h"
#include "main/assets.h"
#include "platform/stream.h"
#include "platform/system.h"

Table_cell Board_Cells[Board_MaxCols][Board_MaxRows];
int32_t Board_Cols = 17, Board_Rows = 13;
int32_t Board_OriginX = 0, Board_OriginY = 0;
int32_t Board_PixelWidth = 0, Board_PixelHeight = 0;
int32_t Board_OverflowX = 0, Board_OverflowY = 0;
int32_t Cell_Width = Board_ArtSize, Cell_Height = Board_ArtSize;
int32_t Cell_HalfWidth = Board_ArtSize / 2, Cell_HalfHeight = Board_ArtSize / 2;
float Cell_ScaleX = 1.0f, Cell_ScaleY = 1.0f;
float Board_Alpha = 1.0f;
Point Board_CursorCell;
int32_t Board_CursorOnBoard = 0;
std::vector<Tileset> Tilesets;
int32_t Tileset_Current = -1;
int32_t LevelEnd_Tileset = 0;
int32_t LevelEnd_Tiles[4] = {0, 1, 2, 3};
ImagePtr Tile_Empty;
ImagePtr Tile_Golden, Tile_Silver;
ImagePtr Tile_Crate[4];

// [SECTION] Cells ----------------------------------------------------------------------------------------------------

bool Board_InUse(int32_t c, int32_t r) { return c >= 0 && r >= 0 && c < Board_Cols && r < Board_Rows; }
bool Cell_Playable(int32_t c, int32_t r) { return Board_InUse(c, r) && !Board_Cells[c][r].Void; }
Table_cell& Board_Cell(int32_t c, int32_t r) { return Board_Cells[c][r]; }
float Cell_PixelX(int32_t c) { return float(Board_OriginX + c * Cell_Width); }
float Cell_PixelY(int32_t r) { return float(Board_OriginY + r * Cell_Height); }

void Board_Reset() {
    for (int32_t c = 0; c < Board_MaxCols; ++c) {
        for (int32_t r = 0; r < Board_MaxRows; ++r) {
            Table_cell& cell = Board_Cells[c][r];
            cell = Table_cell{};
            cell.AutoSpawn = r == 0 ? 1 : 0;
        }
    }
    Board_BuildContours();
}

void Board_SetCell(int32_t dc, int32_t dr, int32_t sc, int32_t sr) {
    if (dc < 0 || dr < 0 || sc < 0 || sr < 0 || dc >= Board_MaxCols || sc >= Board_MaxCols || dr >= Board_MaxRows ||
        sr >= Board_MaxRows)
        return;
    const Table_cell& s = Board_Cells[sc][sr];
    Table_cell& d = Board_Cells[dc][dr];
    d.TileLevel = s.TileLevel;
    d.Contour = s.Contour;
    d.Piece = s.Piece;
    d.Void = s.Void;
    d.Incoming = s.Incoming;
    d.AutoSpawn = s.AutoSpawn;
    d.RefillMs = s.RefillMs;
    d.Blockers = s.Blockers;
    d.BringDown = s.BringDown;
    d.Light = s.Light;
    d.Reserved = s.Reserved;
    if (d.Piece) {
        d.Piece->Col = dc;
        d.Piece->Row = dr;
    }
}

void Cell_SetContour(int32_t c, int32_t r, int32_t value) {
    if (c < 0 || r < 0 || c >= Board_MaxCols || r >= Board_MaxRows) return;
    if (Board_Cells[c][r].Void == value) return;
    Board_Cells[c][r].Void = value;
    Board_BuildContours();
}

void Board_BuildContours() {
    // A side gets a border when the cell beyond it is void or off the board.
    struct Side {
        int32_t dc, dr, bit;
    };
    static constexpr Side kSides[] = {{-1, 0, 1}, {0, -1, 2}, {1, 0, 4}, {0, 1, 8}};
    for (int32_t c = 0; c < Board_MaxCols; ++c) {
        for (int32_t r = 0; r < Board_MaxRows; ++r) {
            Table_cell& cell = Board_Cells[c][r];
            cell.Contour = 0;
            if (cell.Void || !Board_InUse(c, r)) continue;
            for (const Side& s : kSides)
                if (!Cell_Playable(c + s.dc, r + s.dr)) cell.Contour |= s.bit;
        }
    }
}

void Board_Layout() {
    const int32_t cols = std::clamp(Board_Cols, 1, Board_MaxCols);
    const int32_t rows = std::clamp(Board_Rows, 1, Board_MaxRows);
    int32_t size = std::min({Board_ArtSize, Board_AreaW / cols, Board_AreaH / rows});
    size = std::max(size, Board_MinCell);
    Cell_Width = Cell_Height = size;
    Cell_HalfWidth = int32_t(size * 0.5);
    Cell_HalfHeight = int32_t(size * 0.5);
    Cell_ScaleX = float(size) / 48.0f;
    Cell_ScaleY = float(size) / 48.0f;
    Board_PixelWidth = cols * size;
    Board_PixelHeight = rows * size;
    Board_OverflowX = std::max(0, (Board_PixelWidth - Board_AreaW) / 2);
    Board_OverflowY = std::max(0, (Board_PixelHeight - Board_AreaH) / 2);
    Board_OriginX = Board_AreaX + std::max(0, (Board_AreaW - Board_PixelWidth) / 2);
    Board_OriginY = Board_AreaY + std::max(0, (Board_AreaH - Board_PixelHeight) / 2);
}

int32_t Board_TilesLeft() {
    int32_t n = 0;
    for (int32_t c = 0; c < Board_Cols; ++c)
        for (int32_t r = 0; r < Board_Rows; ++r)
            if (!Board_Cells[c][r].Void && Board_Cells[c][r].TileLevel > 0) ++n;
    return n;
}

// [SECTION] Tile sets ------------------------------------------------------------------------------------------------

int32_t Tilesets_Parse(const Str& text) {
    Tilesets.clear();
    for (const Str& raw : Str_SplitLines(text)) {
        const Str line = Str_Trim(raw);
        if (line.empty()) continue;
        const int eq = Str_Find(line, S("="));
        // "name" + index: the index is the run of digits before the equals sign.
        int digits = eq;
        while (digits > 0 && line[digits - 1] >= u'0' && line[digits - 1] <= u'9')
            --digits;
        if (eq <= 0 || digits == eq || digits == 0) {
            Log_Print(S("tiles.txt: bad line ") + line);
            continue;
        }
        const Str name = line.substr(0, digits);
        Tileset_Tile tile;
        tile.Index = Str_ToInt(line.substr(digits, eq - digits));
        int32_t values[4] = {48, 48, 1, 0};
        Str rest = line.substr(eq + 1);
        for (int32_t i = 0; i < 4; ++i) {
            const int comma = Str_Find(rest, S(","));
            values[i] = Str_ToInt(comma < 0 ? rest : rest.substr(0, comma));
            if (comma < 0) break;
            rest = rest.substr(comma + 1);
        }
        tile.Width = std::max(1, values[0]);
        tile.Height = std::max(1, values[1]);
        tile.Frames = std::max(1, values[2]);
        tile.Fps = std::max(0, values[3]);
        auto set = std::find_if(Tilesets.begin(), Tilesets.end(), [&](const Tileset& t) { return t.Name == name; });
        if (set == Tilesets.end()) {
            Tilesets.push_back(Tileset{name, 0, {}});
            set = Tilesets.end() - 1;
        }
        set->Tiles.push_back(tile);
        std::sort(set->Tiles.begin(), set->Tiles.end(),
                  [](const Tileset_Tile& a, const Tileset_Tile& b) { return a.Index < b.Index; });
        set->TileCount = int32_t(set->Tiles.size());
    }
    return int32_t(Tilesets.size());
}

int32_t Tilesets_Load() {
    std::vector<uint8_t> bytes;
    if (!File_ReadAll(S("incbin::Images/pieces/tiles.txt"), bytes)) throw RuntimeError(S("cant open tiles.txt"));
    return Tilesets_Parse(Str_FromLatin1(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
}

void Tilesets_LoadImages() {
    for (Tileset& set : Tilesets) {
        for (Tileset_Tile& t : set.Tiles) {
            t.Image = Asset_LoadAnimImage(S("Images/pieces/") + set.Name + Str_FromInt(t.Index) + S(".png"), t.Width,
                                          t.Height, t.Frames);
        }
    }
}

void Board_LoadImages() {
    const auto load = [](const char* path) { return Asset_LoadImage(S(path)); };
    Tilesets_LoadImages();
    Pieces_LoadImages();
    Tile_Empty = load("Images/tiles/tile_empty.png");
    Tile_Golden = load("Images/tiles/tile_golden.png");
    Tile_Silver = load("Images/tiles/tile_silver.png");
    Tile_Crate[1] = load("Images/tiles/crate1.png");
    Tile_Crate[2] = load("Images/tiles/crate2.png");
    Tile_Crate[3] = load("Images/tiles/crate3.png");
}

void Board_Init() {
    Tilesets_Load();
    Board_LoadImages();
    Board_Reset();
    Pieces_Clear();
}

int32_t Tileset_ForLevel(int32_t level) {
    if (Tilesets.empty()) return -1;
    // A new look every 25 levels.
    return (std::max(level, 1) - 1) / 25 % int32_t(Tilesets.size());
}

// [SECTION] Level start ----------------------------------------------------------------------------------------------

void Level_Start() {
    Board_Reset();
    Pieces_Clear();
    Board_Layout();
    // A resolving board holds up to about two pieces per cell (those falling in above those being removed).
    Pieces_Reserve(2 * Board_Cols * Board_Rows + 64);
    Board_BuildContours();
    Tileset_Current = Tileset_ForLevel(Level_Current);
    LevelEnd_Tileset = std::max(Tileset_Current, 0);
    Level_TimeLeft = Level_Duration;
    Level_SilverCoinTimer = Level_SilverCoinInterval;
    Level_GoldCoinTimer = Level_GoldCoinInterval;
    Level_ManaBottleTimer = Level_ManaBottleInterval;
    Level_FreezeTimer = float(Level_FreezeInterval);
    Rules_ResetLevel();
    Game_Paused = 0;
    Board_Hooks.Gems_LevelStart();
    Board_Hooks.Spells_LevelStart();
    Board_Hooks.Particles_Reset();
    Board_Hooks.Effects_Clear();
    Board_Hooks.Tutorial_ResetRun();
    Board_Hooks.Tips_Place();
}
