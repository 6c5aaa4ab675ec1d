// The saved match: the record of the match's counters and carried arrays in "match_<player>.bqm", and the board
// snapshot "match_<player>.lev" of an interrupted level (byte layout in docs/file-formats.md). Called by the play
// loop, the runtime's shutdown, the menus (new match, continue) and the castle screens (saves after a purchase).
#include <algorithm>
#include <cstdio>
#include <vector>

#include "board/level_file.h"
#include "board/play.h"
#include "main/audio.h"
#include "main/config.h"
#include "board/board_hooks.h"
#include "main/progress.h"
#include "main/runtime.h"
#include "main/screens.h"
#include "platform/stream.h"
#include "platform/system.h"

Match_Carry Match_Carried;
int32_t Level_LastPlayed = 0;
int32_t Match_EndState = 0;
int32_t Match_HasSnapshot = 0;

namespace {

// Positions of the 34 values in the record.
enum Value : int32_t {
    V_LEVEL,
    V_SCORE,
    V_LIVES,
    V_GOLD,
    V_MANA,
    V_MANA_CAP,
    V_RELAXED,
    V_START_LEVEL,
    V_LAST_PLAYED,
    V_PLAY_MS,
    V_SCORE_START,
    V_GOLD_START,
    V_MANA_START,
    V_FREE_13, // version 1: the treasure level (the castle's block keeps it now)
    V_END_STATE,
    V_FREE_15, // version 1: the castle being built
    V_FREE_16, // version 1: its storey
    V_HAMMER_CHARGE,
    V_MULTIPLIER,
    V_SNAPSHOT,
    V_TIME_LEFT_LO,
    V_TIME_LEFT_HI,
    V_TIME_BOUGHT_MS,
    V_OFFER_MADE,
    V_EASE,
    V_MULTIPLIER_MS,
    V_HINT_MS,
    V_FREEZE_MS,
    V_COLS,
    V_ROWS,
    V_PLAYER,
    V_SNAPSHOT_SUM,
    V_SCORE_HIGHEST, // version 2: reserved, 0
    V_RESERVED,
};
static_assert(V_RESERVED + 1 == Match_ValueCount);

constexpr int32_t kHeaderBytes = 12;                   // magic, version, record size
constexpr int32_t kRecordBytes = Match_ValueCount * 4; // the values
constexpr int32_t kCellExtras = 4;                     // per snapshot cell: golden, antigravity, lifetime, under
constexpr int32_t kArrayInts = 8 + 7;                  // carried spell levels and the level's gems
constexpr int32_t kCastleMax = 4096;                   // most values the castle's block may hold
constexpr int32_t kFixedBytes = kHeaderBytes + kRecordBytes + kArrayInts * 4 + 4; // up to the castle's values
constexpr int32_t kMaxTimeMs = 24 * 3600 * 1000; // times beyond a day are refused as absurd
constexpr int32_t kOldVersion = 2;               // read as well: no highest score (value 32 reserved)
// The longest valid record: the castle's block and a snapshot of the largest board at their largest. A longer file is
// set aside unread.
constexpr int64_t kMaxFileBytes =
    int64_t(kFixedBytes) + kCastleMax * 4 + int64_t(Board_MaxCols) * Board_MaxRows * kCellExtras * 4 + 4;
// The largest snapshot file: a level file as the game writes it, of the largest board.
constexpr int64_t kMaxSnapshotBytes =
    int64_t(LevelFile_HeaderSize) + LevelFile_WeightsSize + int64_t(LevelFile_CellSize) * Board_MaxCols * Board_MaxRows;

uint32_t Fnv1a(const uint8_t* data, size_t n) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < n; ++i) {
        h ^= data[i];
        h *= 16777619u;
    }
    return h;
}

void PutInt(std::vector<uint8_t>& out, int32_t v) {
    const uint32_t u = uint32_t(v);
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(u >> (8 * i)));
}

int32_t GetInt(const std::vector<uint8_t>& b, size_t at) {
    return int32_t(uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24);
}

Str PlayerPath(const char16_t* ext) {
    return Data_Folder + u"/match_" + Str_FromInt(std::clamp(Player_Current, 0, 9)) + ext;
}
Str PendingSnapshotPath() { return PlayerPath(u".lev.new"); }

// A file that cannot be used: File_SetAside and the diagnostic line ("saved match <path> <why>, set aside as ...").
void Refuse(const Str& path, const Str& why, const Str& what = u"saved match") {
    const bool moved = File_SetAside(path);
    Log_Print(what + u" " + path + u" " + why +
              (moved ? u", set aside as " + path + u".bad" : Str(u", cannot be renamed")) + u"; the level starts anew");
}

// The values and arrays of a loaded record, checked before anything is taken over.
struct Loaded {
    int32_t v[Match_ValueCount];
    std::vector<int32_t> arrays;
    std::vector<int32_t> castle; // the castle's own values (Castle_SaveState), checked by the castle
    std::vector<int32_t> extras;
};

bool InRange(int64_t v, int64_t lo, int64_t hi) { return v >= lo && v <= hi; }

// Why the bytes are no usable record ("" when they are).
Str Check(const std::vector<uint8_t>& b, Loaded& out) {
    if (b.size() < size_t(kFixedBytes) + 4) return u"is too short";
    if (GetInt(b, 0) != Match_Magic) return u"is no saved match";
    if (GetInt(b, 4) != Match_Version && GetInt(b, 4) != kOldVersion) return u"has an unknown version";
    if (GetInt(b, 8) != kRecordBytes) return u"has a wrong record size";
    const uint32_t sum = uint32_t(GetInt(b, b.size() - 4));
    if (Fnv1a(b.data(), b.size() - 4) != sum) return u"is damaged (checksum)";
    for (int32_t i = 0; i < Match_ValueCount; ++i)
        out.v[i] = GetInt(b, size_t(kHeaderBytes + i * 4));
    const int32_t* v = out.v;
    const int64_t timeLeft = int64_t(uint32_t(v[V_TIME_LEFT_LO])) | int64_t(v[V_TIME_LEFT_HI]) << 32;
    const bool ok = InRange(v[V_LEVEL], 1, Level_NumberMax) && v[V_SCORE] >= 0 && InRange(v[V_LIVES], 0, 999) &&
                    v[V_GOLD] >= 0 && v[V_MANA] >= 0 && InRange(v[V_MANA_CAP], 0, 2) && InRange(v[V_RELAXED], 0, 1) &&
                    InRange(v[V_START_LEVEL], 1, Level_NumberMax) && InRange(v[V_LAST_PLAYED], 0, Level_NumberMax) &&
                    v[V_PLAY_MS] >= 0 && v[V_SCORE_START] >= 0 && v[V_GOLD_START] >= 0 && v[V_MANA_START] >= 0 &&
                    InRange(v[V_END_STATE], 0, 3) && InRange(v[V_HAMMER_CHARGE], 0, 100000) &&
                    InRange(v[V_MULTIPLIER], 1, rules::MultiplierMax) && InRange(v[V_SNAPSHOT], 0, 1) &&
                    InRange(timeLeft, 0, int64_t(kMaxTimeMs) * 1000) && InRange(v[V_TIME_BOUGHT_MS], 0, kMaxTimeMs) &&
                    InRange(v[V_OFFER_MADE], 0, 1) && InRange(v[V_EASE], 0, 3) &&
                    InRange(v[V_MULTIPLIER_MS], 0, kMaxTimeMs) && InRange(v[V_HINT_MS], 0, kMaxTimeMs) &&
                    InRange(v[V_FREEZE_MS], 0, kMaxTimeMs) && InRange(v[V_COLS], 0, Board_MaxCols) &&
                    InRange(v[V_ROWS], 0, Board_MaxRows) && InRange(v[V_PLAYER], 0, 9) &&
                    (GetInt(b, 4) == kOldVersion || v[V_SCORE_HIGHEST] >= 0);
    if (!ok) return u"has values out of range";
    const size_t cells = v[V_SNAPSHOT] ? size_t(v[V_COLS]) * size_t(v[V_ROWS]) : 0;
    if (v[V_SNAPSHOT] && cells == 0) return u"has values out of range";
    const int32_t castleCount = GetInt(b, size_t(kFixedBytes - 4));
    if (!InRange(castleCount, 0, kCastleMax)) return u"has values out of range";
    const size_t extrasAt = size_t(kFixedBytes) + size_t(castleCount) * 4;
    if (b.size() != extrasAt + cells * kCellExtras * 4 + 4) return u"has a wrong length";
    out.arrays.resize(kArrayInts);
    for (int32_t i = 0; i < kArrayInts; ++i)
        out.arrays[size_t(i)] = GetInt(b, size_t(kHeaderBytes + kRecordBytes + i * 4));
    for (int32_t a : out.arrays)
        if (a < 0) return u"has values out of range";
    out.castle.resize(size_t(castleCount));
    for (size_t i = 0; i < out.castle.size(); ++i)
        out.castle[i] = GetInt(b, size_t(kFixedBytes) + i * 4);
    out.extras.resize(cells * kCellExtras);
    for (size_t i = 0; i < out.extras.size(); ++i)
        out.extras[i] = GetInt(b, extrasAt + i * 4);
    return Str();
}

// The record Match_Load took over (its snapshot extras for Match_Continue), kept whole from one load to the next;
// `current` while it is still the record on disk, until a save or a delete.
struct LoadedRecord {
    Loaded record;
    bool current = false;
};
LoadedRecord g_loaded;

// The match the counters in memory hold is in play once it was started, continued or made new in this run, and then
// for the player it was taken up for. Only a match in play is saved, and only into that player's files: a match read
// to ask whether to continue it, or left in memory by another player, is never written over a saved one.
struct InPlay {
    bool on = false;
    int32_t player = -1;
};
InPlay g_inPlay;

// A board that is still moving is brought to rest before it is written, so continuing never starts mid-cascade.
void SettleBoard() {
    for (int32_t f = 0; f < 2000 && !Board_Idle(); ++f)
        Board_Update(16.0f);
}

// The snapshot file's bytes written now to the pending path; 0 when it could not be written.
bool WriteSnapshot(uint32_t& sum) {
    const Str pending = PendingSnapshotPath();
    try {
        if (!Level_Save(pending)) return false;
    } catch (const RuntimeError& e) {
        Log_Print(u"cant write board snapshot: " + Str_FromUtf8(e.what()));
        return false;
    }
    std::vector<uint8_t> bytes;
    if (!File_ReadAll(pending, bytes)) return false;
    sum = Fnv1a(bytes.data(), bytes.size());
    return true;
}

// The snapshot that belongs to the record: the file whose checksum the record names (the pending one when the
// save was cut between its two renames).
bool FindSnapshot(uint32_t sum, Str& path) {
    for (const Str& p : {Match_SnapshotPath(), PendingSnapshotPath()}) {
        std::vector<uint8_t> bytes;
        if (File_ReadAll(p, bytes, size_t(kMaxSnapshotBytes)) && Fnv1a(bytes.data(), bytes.size()) == sum) {
            path = p;
            return true;
        }
    }
    return false;
}

// Per-cell values the level file does not keep, applied to the loaded snapshot.
void ApplyExtras(const std::vector<int32_t>& extras, int32_t cols, int32_t rows) {
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t c = 0; c < cols; ++c) {
            const int32_t* e = &extras[size_t((r * cols + c) * kCellExtras)];
            const PiecePtr& p = Board_Cells[c][r].Piece;
            if (!p) continue;
            p->Golden = e[0] ? 1 : 0;
            p->Antigrav = e[1] ? 1 : 0;
            if (Kind_IsCoinOrBottle(p->Kind)) {
                p->Lifetime = std::clamp(e[2], 1, rules::CoinLifetimeMs);
                if (e[3] > 0 && e[3] < Piece_KindCount && Kind_Spawnable(e[3]) && !p->Under) {
                    PiecePtr under = Piece_Create(p->PosX, p->PosY, e[3]);
                    Piece_Remove(under);
                    under->Col = c;
                    under->Row = r;
                    p->Under = under;
                    p->MoveFlags |= MOVE_NOFALL;
                }
            }
        }
}

} // namespace

Str Match_Path() { return PlayerPath(u".bqm"); }
Str Match_SnapshotPath() { return PlayerPath(u".lev"); }

int32_t Match_Exists() {
    const int type = File_Type(Match_Path());
    // A folder (or a device) in the record's place is set aside, or no match could ever be saved again.
    if (type > 1) Refuse(Match_Path(), u"is not a file");
    // The same for the board snapshot, which could otherwise never be saved again.
    if (File_Type(Match_SnapshotPath()) > 1) Refuse(Match_SnapshotPath(), u"is not a file", u"board snapshot");
    return type == 1 ? 1 : 0;
}

void Match_TakeUp() { g_inPlay = InPlay{true, Player_Current}; }

bool Match_InPlay() { return g_inPlay.on && g_inPlay.player == Player_Current; }

void Match_LeavePlay() { g_inPlay = InPlay{}; }

void Match_Delete() {
    g_loaded.current = false;
    g_inPlay = InPlay{};
    File_Delete(Match_Path());
    File_Delete(Match_SnapshotPath());
    File_Delete(PendingSnapshotPath());
}

void Match_New() {
    Match_Counters = MatchCounters{};
    Match_StartLevel = Level_Current;
    // Nothing of an earlier match goes on into a new one: its mana cap, spells, castle parts and gems stay behind.
    Mana_CapLevel = 0;
    Match_Carried = Match_Carry{};
    Board_Hooks.Castle_ResetProgress();
    Match_EndState = 0;
    Level_Gems.fill(0);
    Hammers_Reset();
    Match_Delete();
    Match_TakeUp();
    Board_Hooks.Tutorial_ClearFlags(1);
}

void Match_Reset() {
    Match_Counters = MatchCounters{};
    Match_StartLevel = Level_Current;
    Match_Save(Level_Current, 0);
}

namespace {

// The values of a record that belong to its board (the snapshot, its time and counters): Match_Continue takes them
// over, Match_Load does not, so a record written again after Match_Load copies them from the loaded one.
constexpr Value kBoardValues[] = {V_SNAPSHOT, V_TIME_LEFT_LO, V_TIME_LEFT_HI,  V_TIME_BOUGHT_MS, V_OFFER_MADE,
                                  V_EASE,     V_MULTIPLIER,   V_MULTIPLIER_MS, V_HINT_MS,        V_FREEZE_MS,
                                  V_COLS,     V_ROWS,         V_SNAPSHOT_SUM};

// carried: the loaded record whose board part is kept (its snapshot stays the one it names), or null for the live
// board's.
bool WriteRecord(int32_t level, bool snapshot, uint32_t snapshotSum, const Loaded* carried) {
    int32_t v[Match_ValueCount] = {};
    v[V_LEVEL] = std::clamp(level, 1, Level_NumberMax);
    v[V_SCORE] = std::max(0, Score);
    v[V_LIVES] = std::clamp(Lives, 0, 999);
    v[V_GOLD] = std::max(0, Gold);
    v[V_MANA] = std::max(0, Mana);
    v[V_MANA_CAP] = std::clamp(Mana_CapLevel, 0, 2);
    v[V_RELAXED] = Relaxed_Mode ? 1 : 0;
    v[V_START_LEVEL] = std::clamp(Match_StartLevel, 1, Level_NumberMax);
    v[V_LAST_PLAYED] = std::clamp(Level_LastPlayed, 0, Level_NumberMax);
    v[V_PLAY_MS] = std::max(0, Match_PlayMs);
    v[V_SCORE_START] = std::max(0, Score_AtLevelStart);
    v[V_GOLD_START] = std::max(0, Gold_AtLevelStart);
    v[V_MANA_START] = std::max(0, Mana_AtLevelStart);
    v[V_END_STATE] = std::clamp(Match_EndState, 0, 3);
    v[V_HAMMER_CHARGE] = std::clamp(Hammer_Charge, 0, 100000);
    v[V_MULTIPLIER] = std::clamp(Score_Multiplier, 1, rules::MultiplierMax);
    v[V_SNAPSHOT] = snapshot ? 1 : 0;
    const int64_t timeLeft = std::clamp<int64_t>(Level_TimeLeft, 0, int64_t(kMaxTimeMs) * 1000);
    v[V_TIME_LEFT_LO] = int32_t(uint32_t(uint64_t(timeLeft)));
    v[V_TIME_LEFT_HI] = int32_t(uint64_t(timeLeft) >> 32);
    v[V_TIME_BOUGHT_MS] = int32_t(std::clamp<int64_t>(Level_TimeBought / 1000, 0, kMaxTimeMs));
    v[V_OFFER_MADE] = Level_OfferMade ? 1 : 0;
    v[V_EASE] = std::clamp(Level_Ease, 0, 3);
    v[V_MULTIPLIER_MS] = std::clamp(int32_t(Multiplier_TimerMs), 0, kMaxTimeMs);
    v[V_HINT_MS] = std::clamp(Match_Timer, 0, kMaxTimeMs);
    v[V_FREEZE_MS] = std::clamp(int32_t(Level_FreezeTimer * 1000.0f), 0, kMaxTimeMs);
    v[V_COLS] = snapshot ? Board_Cols : 0;
    v[V_ROWS] = snapshot ? Board_Rows : 0;
    v[V_PLAYER] = std::clamp(Player_Current, 0, 9);
    v[V_SNAPSHOT_SUM] = int32_t(snapshotSum);
    v[V_SCORE_HIGHEST] = std::max({0, Score, Score_Highest});
    if (carried)
        for (const Value i : kBoardValues)
            v[i] = carried->v[i];

    std::vector<int32_t> castle = Board_Hooks.Castle_SaveState();
    if (castle.size() > size_t(kCastleMax)) castle.clear(); // never written: the castle would refuse it anyway
    std::vector<uint8_t> out;
    out.reserve(size_t(kFixedBytes) + castle.size() * 4 + size_t(Board_Cols * Board_Rows * kCellExtras * 4) + 4);
    PutInt(out, Match_Magic);
    PutInt(out, Match_Version);
    PutInt(out, kRecordBytes);
    for (const int32_t x : v)
        PutInt(out, x);
    const auto putAll = [&](const auto& a) {
        for (const int32_t x : a)
            PutInt(out, std::max(0, x));
    };
    putAll(Match_Carried.SpellLevels);
    for (int32_t k = KIND_GEM_FIRST; k <= KIND_GEM_LAST; ++k)
        PutInt(out, std::max(0, Level_Gems[size_t(k)]));
    PutInt(out, int32_t(castle.size()));
    for (const int32_t x : castle)
        PutInt(out, x);
    if (carried) {
        for (const int32_t x : carried->extras)
            PutInt(out, x);
    } else if (snapshot) {
        for (int32_t r = 0; r < Board_Rows; ++r)
            for (int32_t c = 0; c < Board_Cols; ++c) {
                const Piece* p = Board_Cells[c][r].Piece.get();
                PutInt(out, p ? p->Golden : 0);
                PutInt(out, p ? p->Antigrav : 0);
                PutInt(out, p && Kind_IsCoinOrBottle(p->Kind) ? std::max(1, p->Lifetime) : 0);
                PutInt(out, p && p->Under ? p->Under->Kind : 0);
            }
    }
    PutInt(out, int32_t(Fnv1a(out.data(), out.size())));

    const Str path = Match_Path();
    const StreamPtr s = File_WriteAtomic(path);
    if (s) Stream_WriteBytes(*s, out.data(), out.size());
    if (!s || !s->Close()) {
        Log_Print(u"cant create match file! " + path);
        return false;
    }
    return true;
}

} // namespace

bool Match_Write(int32_t level) {
    // Only the record just read back (Start rewriting the chosen mode) or a match in play is written.
    if (!g_loaded.current && !Match_InPlay()) return false;
    // Right after Match_Load (Start with a saved match) the record keeps its board snapshot and time.
    const bool keep = g_loaded.current && g_loaded.record.v[V_LEVEL] == level;
    return WriteRecord(level, false, 0, keep ? &g_loaded.record : nullptr);
}

void Match_Save(int32_t level, int32_t mode) {
    if (!Match_InPlay()) return; // nothing of this run's play to keep: the files stay as they are
    bool snapshot = false;
    uint32_t sum = 0;
    if (mode == 1 && Level_EndState < 2 && Board_Cols > 0 && Board_Rows > 0) {
        SettleBoard();
        snapshot = WriteSnapshot(sum);
    }
    // The record names the snapshot by its checksum; the snapshot is renamed into place only after the record, so
    // a save cut at any point leaves a record whose snapshot is found (or none, and the level starts anew).
    g_loaded.current = false; // the record on disk is a new one now
    if (WriteRecord(level, snapshot, sum, nullptr)) {
        if (snapshot) {
            const Str pending = PendingSnapshotPath(), final = Match_SnapshotPath();
            if (std::rename(Path_Native(pending).c_str(), Path_Native(final).c_str()) != 0)
                Log_Print(u"cant rename " + pending);
        } else {
            File_Delete(Match_SnapshotPath());
            File_Delete(PendingSnapshotPath());
        }
    }
    Progress_Save();
}

bool Match_Load() {
    g_loaded.current = false;
    g_inPlay = InPlay{}; // the counters are the file's now, not a match in play (Match_Continue takes it up)
    const Str path = Match_Path();
    std::vector<uint8_t> bytes;
    if (File_Type(path) != 1) return false;
    if (File_Size(path) > kMaxFileBytes) {
        Refuse(path, u"is too large");
        return false;
    }
    if (!File_ReadAll(path, bytes, size_t(kMaxFileBytes))) {
        Refuse(path, u"cannot be read");
        return false;
    }
    Loaded l;
    const Str why = Check(bytes, l);
    if (!why.empty()) {
        Refuse(path, why);
        return false;
    }
    const int32_t* v = l.v;
    // Counters beyond anything play reaches are taken at that bound, so no later sum of them can overflow.
    const auto counter = [](int32_t x) { return std::clamp(x, 0, Match_CounterMax); };
    Level_Current = v[V_LEVEL];
    Score = counter(v[V_SCORE]);
    Lives = v[V_LIVES];
    Gold = counter(v[V_GOLD]);
    Mana = counter(v[V_MANA]);
    Mana_CapLevel = v[V_MANA_CAP];
    Relaxed_Mode = v[V_RELAXED];
    Match_StartLevel = v[V_START_LEVEL];
    Level_LastPlayed = v[V_LAST_PLAYED];
    Match_PlayMs = v[V_PLAY_MS];
    Score_AtLevelStart = counter(v[V_SCORE_START]);
    Gold_AtLevelStart = counter(v[V_GOLD_START]);
    Mana_AtLevelStart = counter(v[V_MANA_START]);
    // Version 2 kept no highest score: the best the record shows.
    const int32_t highest = GetInt(bytes, 4) == kOldVersion ? 0 : counter(v[V_SCORE_HIGHEST]);
    Score_Highest = std::max({highest, Score, Score_AtLevelStart});
    Match_EndState = v[V_END_STATE];
    Hammer_Charge = v[V_HAMMER_CHARGE];
    Match_HasSnapshot = v[V_SNAPSHOT];
    size_t at = 0;
    const auto take = [&](auto& a) {
        for (auto& x : a)
            x = l.arrays[at++];
    };
    take(Match_Carried.SpellLevels);
    for (int32_t k = KIND_GEM_FIRST; k <= KIND_GEM_LAST; ++k)
        Level_Gems[size_t(k)] = l.arrays[at++];
    Board_Hooks.Castle_LoadState(l.castle);
    g_loaded = LoadedRecord{std::move(l), true};
    return true;
}

bool Match_Continue() {
    if (!Match_Load()) {
        // Nothing usable: the level the progress file remembers starts anew, in a new match (the counters in memory
        // may be another player's).
        Level_Current = std::clamp(Level_Current, 1, Level_NumberMax);
        Match_New();
        Match_Continued = 1;
        Game_Start(2);
        return false;
    }
    Match_Continued = 1;
    Match_TakeUp();
    // A match saved between levels (after a level was won: its dialog, the build menu, the shop, the map) holds the
    // won level's start records; the level it goes on with starts now, so its records are taken now. Otherwise a
    // restart would bring back the last level's score, gold and mana, and the gold spent since.
    if (Level_LastPlayed != Level_Current) {
        Score_AtLevelStart = Score;
        Gold_AtLevelStart = Gold;
        Mana_AtLevelStart = Mana;
    }
    Str snapshot;
    if (!Match_HasSnapshot || !FindSnapshot(uint32_t(g_loaded.record.v[V_SNAPSHOT_SUM]), snapshot)) {
        // A snapshot there that is not the one the record names is damaged: set aside, not overwritten unseen.
        if (Match_HasSnapshot && File_Type(Match_SnapshotPath()) == 1)
            Refuse(Match_SnapshotPath(), u"does not match " + Match_Path() + u" (damaged)", u"board snapshot");
        else if (Match_HasSnapshot)
            Log_Print(u"board snapshot of " + Match_Path() + u" missing; the level starts anew");
        Match_HasSnapshot = 0;
        Game_Start(2);
        return true;
    }
    const int32_t* v = g_loaded.record.v;
    Level_StartMode = 2;
    Level_Ease = v[V_EASE];
    Screen_Set(kScreenGame);
    // The snapshot loads quietly (no coin sounds, no tutorial events); the level's start is told afterwards.
    const BoardHooks hooks = Board_Hooks;
    Board_Hooks = Board_HooksDefault();
    const bool loaded = Level_Load(snapshot) && Board_Cols == v[V_COLS] && Board_Rows == v[V_ROWS];
    Board_Hooks = hooks;
    if (!loaded) {
        Refuse(snapshot, u"cannot be loaded", u"board snapshot");
        Match_HasSnapshot = 0;
        Game_Start(2);
        return true;
    }
    Level_Path = S("incbin::") + Level_FileName(Level_Current);
    Board_Hooks.Particles_Reset();
    Board_Hooks.Effects_Clear();
    Board_Hooks.Tutorial_ResetRun();
    Board_Hooks.Tips_Place();
    Play_ResetLevel();
    ApplyExtras(g_loaded.record.extras, v[V_COLS], v[V_ROWS]);
    Level_TimeLeft = std::min(Level_Duration, int64_t(uint32_t(v[V_TIME_LEFT_LO])) | int64_t(v[V_TIME_LEFT_HI]) << 32);
    Level_TimeBought = int64_t(v[V_TIME_BOUGHT_MS]) * 1000;
    Level_OfferMade = v[V_OFFER_MADE];
    Score_Multiplier = v[V_MULTIPLIER];
    Multiplier_TimerMs = float(v[V_MULTIPLIER_MS]);
    Match_Timer = v[V_HINT_MS];
    Level_FreezeTimer = float(v[V_FREEZE_MS]) / 1000.0f;
    Hammer_Update();
    Music_SwitchTo(Music_NextGameTrack());
    return true;
}
