// The saved match: a level interrupted and continued on the same board with the same counters; files cut at every
// length or with a flipped byte are set aside and never crash; a save killed at any moment leaves a readable match.
#include <filesystem>
#include <csignal>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

#include "board/play.h"
#include "main/config.h"
#include "main/screens.h"
#include "platform/stream.h"
#include "play_helpers.h"
#include "solver.h"

namespace {

struct CellFacts {
    int32_t kind, tile, blockers, golden, lifetime;
    bool operator==(const CellFacts&) const = default;
};

std::vector<CellFacts> BoardFacts() {
    std::vector<CellFacts> out;
    for (int32_t r = 0; r < Board_Rows; ++r)
        for (int32_t c = 0; c < Board_Cols; ++c) {
            const Table_cell& cell = Board_Cells[c][r];
            const Piece* p = cell.Piece.get();
            out.push_back({p ? p->Kind : 0, cell.TileLevel, cell.Blockers, p ? p->Golden : 0,
                           p && Kind_IsCoinOrBottle(p->Kind) ? p->Lifetime : 0});
        }
    return out;
}

// Plays a few of the solver's moves directly on the board and lets it settle.
void PlaySomeMoves(int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        Point a, b;
        if (Solver_ChooseMove(a, b)) Board_Swap(a.x, a.y, b.x, b.y);
        for (int32_t f = 0; f < 400 && (f < 2 || !Board_Idle()); ++f)
            Board_Update(16);
    }
}

int32_t LeIntAt(const std::vector<uint8_t>& b, size_t at) {
    return int32_t(uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24);
}

// The record's bytes with their checksum made anew (a record changed on purpose that still passes it).
void Resign(std::vector<uint8_t>& b) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i + 4 < b.size(); ++i) {
        h ^= b[i];
        h *= 16777619u;
    }
    for (int i = 0; i < 4; ++i)
        b[b.size() - 4 + size_t(i)] = uint8_t(h >> (8 * i));
}
void PutValue(std::vector<uint8_t>& b, size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + size_t(i)] = uint8_t(uint32_t(v) >> (8 * i));
}
constexpr size_t kValuesAt = 12; // the 34 values follow magic, version and record size

// Every counter of the match the record keeps, each given a value of its own so that one read from another's field
// shows.
struct Counter {
    const char* name;
    int32_t* value;
    int32_t saved;
};
std::vector<Counter> Counters() {
    return {{"Score", &Score, 70001},
            {"Lives", &Lives, 7},
            {"Gold", &Gold, 3003},
            {"Mana", &Mana, 404},
            {"Mana_CapLevel", &Mana_CapLevel, 2},
            {"Relaxed_Mode", &Relaxed_Mode, 1},
            {"Match_StartLevel", &Match_StartLevel, 2},
            {"Level_LastPlayed", &Level_LastPlayed, 5},
            {"Match_PlayMs", &Match_PlayMs, 123456},
            {"Score_AtLevelStart", &Score_AtLevelStart, 60006},
            {"Gold_AtLevelStart", &Gold_AtLevelStart, 2002},
            {"Mana_AtLevelStart", &Mana_AtLevelStart, 303},
            {"Match_EndState", &Match_EndState, 3},
            {"Hammer_Charge", &Hammer_Charge, 88},
            {"Score_Highest", &Score_Highest, 80008}};
}

} // namespace

// Each counter comes back from its own field of the record, and the record's values sit where the file's layout
// puts them.
TEST_F(PlayTest, EveryCounterComesBackFromItsOwnField) {
    Level_Current = 5;
    Game_Start(0);
    for (const Counter& c : Counters())
        *c.value = c.saved;
    Match_Save(Level_Current, 0);
    const std::vector<uint8_t> b = Bytes(Match_Path());
    const auto value = [&](size_t i) { return LeIntAt(b, kValuesAt + i * 4); };
    EXPECT_EQ(LeIntAt(b, 4), 3) << "version";
    EXPECT_EQ(value(0), 5);
    EXPECT_EQ(value(10), 60006) << "score at the level's start";
    EXPECT_EQ(value(11), 2002) << "gold at the level's start";
    EXPECT_EQ(value(12), 303) << "mana at the level's start";
    EXPECT_EQ(value(32), 80008) << "highest score";
    for (const Counter& c : Counters())
        *c.value = 0;
    ASSERT_TRUE(Match_Load());
    for (const Counter& c : Counters())
        EXPECT_EQ(*c.value, c.saved) << c.name;
}

// The highest score: raised with the score, kept by a restart, saved, reset by a new match. A record of version 2
// (without it) still loads and takes the best it shows; a value below the score or beyond play is brought into range.
TEST_F(PlayTest, TheHighestScoreOutlivesARestartAndOldRecords) {
    Level_Current = 2;
    Game_Start(0);
    Score_Add(900);
    EXPECT_EQ(Score_Highest, 900);
    Game_Start(1); // "Level nochmal"
    EXPECT_EQ(Score, 0);
    EXPECT_EQ(Score_Highest, 900);
    Score_Add(400);
    EXPECT_EQ(Score_Highest, 900) << "not raised below it";
    Match_Save(Level_Current, 0);
    Score_Highest = 0;
    ASSERT_TRUE(Match_Load());
    EXPECT_EQ(Score_Highest, 900);

    std::vector<uint8_t> b = Bytes(Match_Path());
    PutValue(b, 4, 2); // version 2: value 32 was reserved and may hold anything
    PutValue(b, kValuesAt + 32 * 4, 12345);
    PutValue(b, kValuesAt + 10 * 4, 650); // the score at the level's start
    Resign(b);
    PutBytes(Match_Path(), b);
    ASSERT_TRUE(Match_Load());
    EXPECT_EQ(Score, 400);
    EXPECT_EQ(Score_Highest, 650);

    b = Bytes(Match_Path());
    PutValue(b, 4, 3);
    for (const auto& [stored, expected] : {std::pair{100, 650}, {2000000000, Match_CounterMax}}) {
        PutValue(b, kValuesAt + 32 * 4, stored);
        Resign(b);
        PutBytes(Match_Path(), b);
        ASSERT_TRUE(Match_Load()) << stored;
        EXPECT_EQ(Score_Highest, expected) << stored;
    }
    PutValue(b, kValuesAt + 32 * 4, -1);
    Resign(b);
    PutBytes(Match_Path(), b);
    EXPECT_FALSE(Match_Load()) << "a negative highest score is damage";

    Match_New();
    EXPECT_EQ(Score_Highest, 0);
}

// Counters of a record with a valid checksum but beyond anything play reaches are taken at the bound, so adding to
// them cannot overflow; the play time saturates instead of turning negative.
TEST_F(PlayTest, HugeCountersAreTakenAtTheirBound) {
    Game_Start(0);
    Match_Save(Level_Current, 0);
    std::vector<uint8_t> b = Bytes(Match_Path());
    for (const size_t i : {1, 3, 4, 10, 11, 12})
        PutValue(b, kValuesAt + i * 4, INT32_MAX);
    PutValue(b, kValuesAt + 9 * 4, INT32_MAX - 5); // time played
    Resign(b);
    PutBytes(Match_Path(), b);
    ASSERT_TRUE(Match_Continue());
    for (const int32_t v : {Score, Gold, Mana, Score_AtLevelStart, Gold_AtLevelStart, Mana_AtLevelStart})
        EXPECT_EQ(v, Match_CounterMax);
    Score_Add(1000);
    EXPECT_GT(Score, Match_CounterMax);
    Frames(5);
    EXPECT_EQ(Match_PlayMs, INT32_MAX);
}

// Continued, then "Level nochmal": the level goes back to its own start. Saved in the middle of a level, that is the
// start the record kept; saved between levels (won, then the shop), it is the moment the next level began, with the
// gold spent in the shop staying spent.
TEST_F(PlayTest, AContinuedMatchRestartsFromTheLevelItContinues) {
    Level_Current = 3;
    Score = 1000;
    Gold = 40;
    Game_Start(0);
    Frames(30);
    Score_Add(2500);
    Gold = 90;
    Match_Save(Level_Current, 1); // the window closed in the level
    Score = Gold = 0;
    ASSERT_TRUE(Match_Continue());
    ASSERT_EQ(Match_HasSnapshot, 1);
    Score_Add(300);
    Game_Start(1);
    EXPECT_EQ(Score, 1000);
    EXPECT_EQ(Gold, 40);

    Frames(30);
    Score_Add(5790);
    Gold = 200;
    Level_Finish(true); // level 4 saved between levels
    ASSERT_EQ(Level_Current, 4);
    Gold -= 150; // the shop
    Match_Save(Level_Current, 0);
    const int32_t score = Score, gold = Gold;
    Score = Gold = 0;
    ASSERT_TRUE(Match_Continue());
    ASSERT_EQ(Level_Current, 4);
    Score_Add(700);
    Gold += 30;
    Game_Start(1);
    EXPECT_EQ(Score, score);
    EXPECT_EQ(Gold, gold);
}

// A saved match or board snapshot longer than the longest valid one is set aside unread (a sparse file of any size
// costs nothing).
TEST_F(PlayTest, OversizedMatchFilesAreSetAsideUnread) {
    Game_Start(0);
    Frames(60);
    Match_Save(Level_Current, 1);
    const std::vector<uint8_t> record = Bytes(Match_Path()), snapshot = Bytes(Match_SnapshotPath());
    for (const auto& [path, recordUsable] : {std::pair{Match_SnapshotPath(), true}, {Match_Path(), false}}) {
        std::error_code ec;
        std::filesystem::resize_file(Path_Native(path), uintmax_t(64) << 30, ec);
        ASSERT_FALSE(ec) << ec.message();
        ::testing::internal::CaptureStdout();
        EXPECT_EQ(Match_Continue(), recordUsable);
        const std::string out = ::testing::internal::GetCapturedStdout();
        EXPECT_EQ(File_Type(path + u".bad"), 1) << out;
        EXPECT_EQ(Match_HasSnapshot, 0);
        PutBytes(Match_Path(), record);
        PutBytes(Match_SnapshotPath(), snapshot);
    }
}

// Quitting in the middle (Match_Save mode 1) and continuing restores the board, the pieces' hidden marks, the time
// left and the counters; the continued level does not fire the board's sounds or tutorial events again.
TEST_F(PlayTest, MidLevelSaveContinuesOnTheSameBoard) {
    Level_Current = 3;
    Game_Start(0);
    Frames(80);
    PlaySomeMoves(3);
    // Marks the level file does not keep.
    Board_Cells[1][1].Piece->Golden = 1;
    const PiecePtr coin = Piece_CreateCoinOrBottle(2, 2, KIND_COIN_GOLD);
    ASSERT_TRUE(coin);
    coin->Lifetime = 4321;
    const int32_t underKind = coin->Under ? coin->Under->Kind : 0;
    Level_TimeLeft = 77000000;
    Score_Multiplier = 3;
    Hammer_Charge = 66;
    Score = 1234;
    Gold = 56;
    const auto before = BoardFacts();
    const int32_t cols = Board_Cols, rows = Board_Rows;
    Match_Save(Level_Current, 1);
    EXPECT_EQ(File_Type(Match_SnapshotPath()), 1);

    // Something else happens meanwhile.
    Level_Current = 9;
    Score = Gold = Hammer_Charge = 0;
    Level_LoadByNumber(5);

    ASSERT_TRUE(Match_Continue());
    EXPECT_EQ(Screen_Current, kScreenGame);
    EXPECT_EQ(Level_Current, 3);
    EXPECT_EQ(Board_Cols, cols);
    EXPECT_EQ(Board_Rows, rows);
    EXPECT_EQ(BoardFacts(), before);
    EXPECT_EQ(Level_TimeLeft, 77000000);
    EXPECT_EQ(Score_Multiplier, 3);
    EXPECT_EQ(Hammer_Charge, 66);
    EXPECT_EQ(Score, 1234);
    EXPECT_EQ(Gold, 56);
    const PiecePtr& back = Board_Cells[2][2].Piece;
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Kind, KIND_COIN_GOLD);
    EXPECT_EQ(underKind, back->Under ? back->Under->Kind : 0);
    // It plays on.
    Frames(120);
    EXPECT_EQ(Screen_Current, kScreenGame);
}

// Only a match in play is ever written, and only into its own player's files: not one read for the continue box,
// not after the player changed, not the counters left in memory when a saved match could not be read.
TEST_F(PlayTest, OnlyTheMatchInPlayIsWrittenAndOnlyForItsPlayer) {
    Level_Current = 3;
    Game_Start(0);
    Frames(80);
    PlaySomeMoves(2);
    Score = 1234;
    Gold = 56;
    Match_Save(Level_Current, 1);
    const std::vector<uint8_t> record = Bytes(Match_Path()), snapshot = Bytes(Match_SnapshotPath());
    ASSERT_FALSE(snapshot.empty());

    // Start reads the match and asks; the program then ends on the main menu with other counters in memory.
    ASSERT_TRUE(Match_Load());
    Score = Gold = 0;
    Match_Save(Level_Current, 0);
    EXPECT_EQ(Bytes(Match_Path()), record);
    EXPECT_EQ(Bytes(Match_SnapshotPath()), snapshot);
    // The record read back is written again as it was (Start's rewrite of the chosen mode).
    ASSERT_TRUE(Match_Load());
    EXPECT_TRUE(Match_Write(Level_Current));
    EXPECT_EQ(Bytes(Match_Path()), record);

    // Player 0's match in play; player 1 chosen: nothing of player 0's reaches player 1's files.
    ASSERT_TRUE(Match_Continue());
    ASSERT_TRUE(Match_InPlay());
    Player_Current = 1;
    Match_Save(Level_Current, 1);
    EXPECT_EQ(File_Type(Match_Path()), 0);
    // Player 1's saved match cannot be read (set aside): Start's rewrite does not put player 0's counters there,
    // and continuing it starts a new match, not player 0's.
    PutBytes(Match_Path(), std::vector<uint8_t>(40, 7));
    EXPECT_FALSE(Match_Load());
    EXPECT_FALSE(Match_Write(Level_Current));
    EXPECT_EQ(File_Type(Match_Path()), 0);
    EXPECT_FALSE(Match_Continue());
    EXPECT_EQ(Score, 0);
    EXPECT_EQ(Gold, 0);
    EXPECT_TRUE(Match_InPlay());
    Player_Current = 0;
    EXPECT_FALSE(Match_InPlay());
    Match_Save(Level_Current, 0);
    EXPECT_EQ(Bytes(Match_Path()), record);
}

// A record cut at any length, or with any one byte changed, is refused, set aside as ".bad" and never crashes; the
// good file is then still what a continue reads after it was put back.
TEST_F(PlayTest, DamagedMatchFilesAreSetAside) {
    Game_Start(0);
    Frames(80);
    Match_Save(Level_Current, 1);
    const Str path = Match_Path();
    const std::vector<uint8_t> good = Bytes(path);
    ASSERT_EQ(good.size(), 216u + 16u * uint32_t(Board_Cols * Board_Rows)) << "docs/file-formats.md (no castle alone)";
    for (size_t n = 0; n < good.size(); ++n) {
        PutBytes(path, std::vector<uint8_t>(good.begin(), good.begin() + std::ptrdiff_t(n)));
        ASSERT_FALSE(Match_Load()) << "cut at " << n;
        ASSERT_EQ(File_Type(path), 0);
        ASSERT_EQ(File_Type(path + u".bad"), 1);
    }
    for (size_t i = 0; i < good.size(); ++i) {
        std::vector<uint8_t> bad = good;
        bad[i] ^= uint8_t(1u << (i % 8));
        PutBytes(path, bad);
        ASSERT_FALSE(Match_Load()) << "flipped byte " << i;
    }
    PutBytes(path, good);
    EXPECT_TRUE(Match_Load());
    // A snapshot that belongs to another record is not taken: the level starts anew.
    std::vector<uint8_t> snap = Bytes(Match_SnapshotPath());
    ASSERT_FALSE(snap.empty());
    snap.back() ^= 1;
    PutBytes(Match_SnapshotPath(), snap);
    EXPECT_TRUE(Match_Continue());
    EXPECT_EQ(Screen_Current, kScreenGame);
    EXPECT_EQ(Match_HasSnapshot, 0) << "the level started from its beginning";
}

// A folder in the saved match's place is set aside, so the next save writes the match again.
TEST_F(PlayTest, AFolderInTheMatchsPlaceIsSetAside) {
    const Str path = Match_Path();
    std::filesystem::create_directories(Path_Native(path) + "/inside");
    EXPECT_EQ(Match_Exists(), 0);
    EXPECT_EQ(File_Type(path + u".bad"), 2);
    Game_Start(0);
    Match_Save(Level_Current, 0);
    EXPECT_EQ(Match_Exists(), 1);
    EXPECT_TRUE(Match_Load());
}

// The same for the board snapshot: before, every save with the board failed at its last step from then on.
TEST_F(PlayTest, AFolderInTheSnapshotsPlaceIsSetAside) {
    const Str path = Match_SnapshotPath();
    std::filesystem::create_directories(Path_Native(path) + "/inside");
    Game_Start(0);
    Frames(60);
    Match_Save(Level_Current, 1);
    EXPECT_EQ(Match_Exists(), 1);
    EXPECT_EQ(File_Type(path + u".bad"), 2);
    Match_Save(Level_Current, 1);
    EXPECT_EQ(File_Type(path), 1);
    EXPECT_TRUE(Match_Continue());
    EXPECT_EQ(Match_HasSnapshot, 1);
}

// A snapshot that does not match its record (damaged) is set aside; the level starts anew.
TEST_F(PlayTest, ADamagedSnapshotIsSetAside) {
    Game_Start(0);
    Frames(60);
    Match_Save(Level_Current, 1);
    const std::string snap = Path_Native(Match_SnapshotPath());
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(File_ReadAll(Match_SnapshotPath(), bytes));
    bytes[bytes.size() / 2] ^= 0xa5;
    ASSERT_TRUE(File_SaveAtomic(Match_SnapshotPath(), bytes.data(), bytes.size()));
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(Match_Continue());
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("does not match"), std::string::npos);
    EXPECT_EQ(Match_HasSnapshot, 0);
    EXPECT_EQ(File_Type(Match_SnapshotPath() + u".bad"), 1);
    EXPECT_EQ(Screen_Current, kScreenGame);
}

// A child saving the match over and over is killed at random moments (100 times): the match left behind always
// loads, and its snapshot, when it names one, is found.
TEST_F(PlayTest, KilledSavesLeaveAReadableMatch) {
    Game_Start(0);
    Frames(80);
    Match_Save(Level_Current, 1);
    std::mt19937 rng(7);
    for (int32_t kill = 0; kill < 100; ++kill) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            Match_TakeUp(); // the parent's Match_Load below ended the match in play
            for (int32_t i = 0;; ++i) {
                Score = i;
                Match_Save(Level_Current, i % 3 ? 1 : 0);
            }
        }
        usleep(useconds_t(std::uniform_int_distribution<int>(0, 3000)(rng)));
        ::kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(Match_Load()) << "after kill " << kill;
        if (Match_HasSnapshot) {
            ASSERT_TRUE(Match_Continue()) << "after kill " << kill;
            ASSERT_EQ(Match_HasSnapshot, 1) << "snapshot lost after kill " << kill;
        }
    }
}

// A data folder that cannot be written: the save says so and the game goes on (the level file's "cant create"
// error does not end it).
TEST_F(PlayTest, SaveIntoAnUnwritableFolderGoesOn) {
    Game_Start(0);
    Frames(80);
    const Str keep = Data_Folder;
    Data_Folder = Str_FromUtf8(root_ + "/missing/folder");
    EXPECT_NO_THROW(Match_Save(Level_Current, 1));
    EXPECT_EQ(Match_Exists(), 0);
    Data_Folder = keep;
    Frames(10);
    EXPECT_EQ(Screen_Current, kScreenGame);
}
