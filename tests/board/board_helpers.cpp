// Shared set-up of the board tests (see board_helpers.h).
#include "board_helpers.h"

#include "board/board_hooks.h"
#include "board/play.h"
#include "platform/random.h"

namespace bt {

std::vector<Event> Events;

namespace {
void Record(int32_t id, int32_t a, int32_t b) {
    Event e{id, a, b, Match_Count, {}, Board_InUse(a, b) ? KindAt(a, b) : 0};
    for (int32_t i = 0; i < Match_Count; ++i)
        e.matchKinds.push_back(KindAt(Match_List[i].x, Match_List[i].y));
    Events.push_back(e);
}
template <int32_t Id> void RecordCell(int32_t c, int32_t r) { Record(Id, c, r); }
} // namespace

void StartRecording() {
    Events.clear();
    Board_Hooks.Tutorial_OnEvent1 = [] { Record(1, Match_Count, Match_BySwap); };
    Board_Hooks.Tutorial_OnEvent2 = RecordCell<2>;
    Board_Hooks.Tutorial_OnEvent3 = RecordCell<3>;
    Board_Hooks.Tutorial_OnEvent4 = RecordCell<4>;
    Board_Hooks.Tutorial_OnEvent5 = RecordCell<5>;
    Board_Hooks.Tutorial_OnManaChanged = RecordCell<17>;
}
void StopRecording() { Board_Hooks = Board_HooksDefault(); }

void NewMatchCounters(int32_t level) {
    Level_Current = level;
    Score = Score_Highest = 0;
    Lives = 3;
    Gold = Mana = Mana_CapLevel = 0;
    Match_Carried = Match_Carry{};
}

void Build(const std::vector<std::string>& rows, int32_t tile, bool spawners, int32_t colours) {
    Board_Rows = int32_t(rows.size());
    Board_Cols = int32_t(rows.empty() ? 0 : rows[0].size());
    for (int32_t& w : Spawn_Weights)
        w = 0;
    for (int32_t k = 1; k <= colours; ++k)
        Spawn_Weights[k] = 1;
    Level_ShieldPercent = Level_LaserPercent = Level_GoldenPercent = Level_BombPercent = 0;
    Level_AntigravPercent = Level_FreezeInterval = 0;
    Level_SilverCoinInterval = Level_GoldCoinInterval = Level_ManaBottleInterval = 0;
    Level_Duration = Level_TimeLeft = 300000000;
    Level_BuildSpawnTable();
    Level_Start();
    for (int32_t r = 0; r < Board_Rows; ++r) {
        for (int32_t c = 0; c < Board_Cols; ++c) {
            Table_cell& cell = Board_Cells[c][r];
            const char ch = rows[r][c];
            cell.AutoSpawn = spawners && r == 0 ? 1 : 0;
            cell.TileLevel = cell.BaseTileLevel = tile;
            if (ch == '#') {
                cell.Void = 1;
                continue;
            }
            const float x = Cell_PixelX(c), y = Cell_PixelY(r);
            PiecePtr p;
            if (ch >= '1' && ch <= '7')
                p = Piece_CreateGem(x, y, ch - '0');
            else if (ch == '*')
                p = Piece_CreateMulticolor(x, y);
            else if (ch == 'T')
                p = Piece_CreateTar(x, y);
            else if (ch == 'A')
                p = Piece_Create(x, y, KIND_AMULET);
            else if (ch == 'L')
                p = Piece_CreateLauncher(x, y);
            else if (ch == 'o')
                p = Piece_CreateCoinOrBottle(c, r, KIND_COIN_SILVER);
            else if (ch == 'C' || ch == 'D')
                cell.Blockers = ch == 'C' ? 1 : 2;
            if (p) {
                p->Col = c;
                p->Row = r;
                cell.Piece = p;
            }
        }
    }
    Board_BuildContours();
}

int32_t KindAt(int32_t c, int32_t r) {
    const PiecePtr& p = Board_Cells[c][r].Piece;
    return p ? p->Kind : 0;
}

std::vector<std::string> Snapshot() {
    std::vector<std::string> out;
    for (int32_t r = 0; r < Board_Rows; ++r) {
        std::string line;
        for (int32_t c = 0; c < Board_Cols; ++c) {
            const Table_cell& cell = Board_Cells[c][r];
            const int32_t k = KindAt(c, r);
            char ch = '?';
            if (cell.Void)
                ch = '#';
            else if (cell.Blockers)
                ch = 'C';
            else if (k == 0)
                ch = '.';
            else if (Kind_IsGem(k))
                ch = char('0' + k);
            else if (k == KIND_MULTICOLOR)
                ch = '*';
            else if (k == KIND_TAR)
                ch = 'T';
            else if (k == KIND_AMULET)
                ch = 'A';
            else if (k == KIND_LAUNCHER)
                ch = 'L';
            else if (k == KIND_COIN_SILVER)
                ch = 'o';
            line += ch;
        }
        out.push_back(line);
    }
    return out;
}

int32_t Settle(int32_t maxFrames, float dtMs) {
    for (int32_t f = 0; f < maxFrames; ++f) {
        Board_Update(dtMs);
        if (Board_Idle()) return f + 1;
    }
    return maxFrames;
}

} // namespace bt
