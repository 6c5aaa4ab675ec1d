// The play loop of a level: the logic tick, the mouse moves on the board, the level time and its offer, the level's
// start (Game_Start and its modes, the light sweep) and end (won, lost by time), and the match's flow functions.
// Called by the game screen (game_screen.cpp), the menus' boxes and dialogs, and the castle screens.
#include "board/play.h"

#include "board/board_hooks.h"

#include <algorithm>

#include "main/audio.h"
#include "main/config.h"
#include "main/frame_timer.h"
#include "main/gui_button.h"
#include "main/progress.h"
#include "main/runtime.h"
#include "main/screens.h"

int32_t Game_Paused = 0;
int32_t Level_StartMode = 0;
int32_t Match_Continued = 0;
std::array<int32_t, 8> Level_Gems{};
Point Board_SelectedCell;
PlayLevel Play_Level;

namespace {

// A drag: the press went down on this cell and the button is still held.
struct Drag {
    bool active = false;
    Point from;
};
// The play loop's own state over one level.
struct PlayState {
    Drag drag;
    bool finishing = false; // the level is done and waits for the board to come to rest
    float finishingMs = 0;  // how long it has waited
};
PlayState g_play;
constexpr float kFinishWaitMs = 3000; // a board that never rests (antigravity) ends the level after this

bool IsNeighbour(Point a, Point b) { return std::abs(a.x - b.x) + std::abs(a.y - b.y) == 1; }

// A swap from the selection or drag to the cell; the selection ends either way.
void TrySwap(Point from, Point to) {
    Board_Selected = 0;
    g_play.drag.active = false;
    Board_Swap(from.x, from.y, to.x, to.y);
}

void Hover_Update() {
    Point cell;
    Board_CursorOnBoard = Board_CellAt(Input_MouseX, Input_MouseY, cell) ? 1 : 0;
    if (Board_CursorOnBoard) Board_CursorCell = cell;
}

void Hint_Update() {
    if (Match_Timer > 0) {
        Hint_Found = 0;
        return;
    }
    if (!Hint_Found && Board_Idle()) Hint_Tick(Input_MouseX, Input_MouseY, Match_MinRun);
}

} // namespace

// [SECTION] Mouse on the board ---------------------------------------------------------------------------------------

bool Board_CellAt(int32_t x, int32_t y, Point& cell) {
    if (Cell_Width <= 0 || Cell_Height <= 0) return false;
    const int32_t dx = x + Board_OverflowX - Board_OriginX, dy = y + Board_OverflowY - Board_OriginY;
    if (dx < 0 || dy < 0) return false;
    const int32_t c = dx / Cell_Width, r = dy / Cell_Height;
    if (!Cell_Playable(c, r)) return false;
    cell = Point{c, r};
    return true;
}

void Board_HandleClick() {
    const GUIMouse& m = GUI_Mouse();
    if (!m.down) g_play.drag.active = false;
    if (Hammer_Armed || Level_Sweeping || Level_EndState >= 2 || Board_Hooks.Spells_TakesClicks()) return;
    if (g_play.drag.active && m.down && Board_CursorOnBoard && IsNeighbour(g_play.drag.from, Board_CursorCell)) {
        TrySwap(g_play.drag.from, Board_CursorCell);
        return;
    }
    if (!m.pressed || !Board_CursorOnBoard) return;
    const Point at = Board_CursorCell;
    if (Board_Hooks.Tutorial_OnEvent12(at.x, at.y) == 0) return;
    if (Piece_Collect(at.x, at.y)) {
        Board_Selected = 0;
        return;
    }
    if (Launcher_Fire(at.x, at.y)) {
        Board_Selected = 0;
        return;
    }
    if (Board_Selected && IsNeighbour(Board_SelectedCell, at)) {
        TrySwap(Board_SelectedCell, at);
        return;
    }
    if (Board_Selected && Board_SelectedCell.x == at.x && Board_SelectedCell.y == at.y) {
        Board_Selected = 0;
        return;
    }
    const PiecePtr& p = Board_Cells[at.x][at.y].Piece;
    if (!Piece_Swappable(p) || !Piece_Settled(*p)) return;
    Board_Selected = 1;
    Board_SelectedCell = at;
    g_play.drag = Drag{true, at};
    Board_Hooks.Snd_PlayIndex(SND_SELECT, Board_Hooks.Snd_PanAt(Input_MouseX));
}

// [SECTION] The logic tick -------------------------------------------------------------------------------------------

void Game_LogicTick(float dtMs) {
    Board_UpdateTimers(dtMs); // pieces, no-move replacement, hint timer, refill, multiplier timer
    Hint_Update();
    Hover_Update();
    Board_HandleClick();
    Hammer_HandleClick();
    Hammer_Update();
    Board_UpdateMoves(dtMs); // fall, swap animation, match check, antigravity, freezing, end phases
    // A selected piece that was taken away or can no longer move is no longer selected.
    if (Board_Selected) {
        const PiecePtr& p = Board_Cells[Board_SelectedCell.x][Board_SelectedCell.y].Piece;
        if (!Piece_Swappable(p)) Board_Selected = 0;
    }
    Board_Hooks.Castle_Animate(dtMs); // last: the castle's settling parts, flags and smoke
}

// [SECTION] Level time and end ---------------------------------------------------------------------------------------

int64_t Level_BuyTime() {
    const int64_t before = Level_TimeLeft;
    Level_TimeLeft = std::clamp<int64_t>(Level_TimeLeft + std::max<int64_t>(0, Level_OfferTime), 0, Level_Duration);
    const int64_t added = Level_TimeLeft - before;
    if (added > 0) {
        Level_TimeBought += added;
        Lives = std::max(0, Lives - 1);
    }
    return added;
}

void Level_UpdateTime(float dtMs) {
    // Saturates (at 596 hours) rather than wrapping into a negative time.
    Match_PlayMs = int32_t(std::min<int64_t>(int64_t(Match_PlayMs) + int64_t(dtMs), INT32_MAX));
    if (Level_EndState >= 2) {
        // The last cascade settles before the level ends.
        if (!g_play.finishing) g_play.finishingMs = 0;
        g_play.finishing = true;
        g_play.finishingMs += dtMs;
        if (Board_Idle() || g_play.finishingMs >= kFinishWaitMs) Level_Finish(true);
        return;
    }
    g_play.finishing = false;
    if (Relaxed_Mode || Level_Sweeping || Board_Hooks.Spells_TimeStands()) return;
    Level_TimeLeft -= int64_t(dtMs * 1000.0f);
    if (Level_TimeLeft < Level_OfferThresholdUs && Level_TimeLeft > 0 && Lives > 0 && !Level_OfferMade) {
        Level_OfferMade = 1;
        Board_Hooks.MsgBox_Level_Open();
    }
    if (Level_TimeLeft <= 0) {
        Level_TimeLeft = 0;
        Level_Finish(false);
    }
}

void Level_Finish(bool won) {
    // A test run of the level editor ends here: the editor puts its board back, and the player's match, progress
    // and high scores are not touched.
    if (Board_Hooks.Editor_IsTesting()) {
        g_play.finishing = false;
        Board_Hooks.Editor_EndTest();
        return;
    }
    g_play.finishing = false;
    Board_Selected = 0;
    Hammer_Armed = 0;
    Level_LastPlayed = Level_Current;
    if (won) {
        Level_Lost = 0;
        Score_Add(Level_ComputeTimeBonus());
        Board_Hooks.Snd_PlayIndex(SND_LEVELWIN, 0.0f);
        Level_Current = std::min(Level_Current + 1, Level_NumberMax);
        Match_Save(Level_Current, 0);
    } else {
        Level_Lost = 1;
        Lives = std::max(0, Lives - 1);
        // A level lost by time gets a little easier for this player the next time (at most ease 3).
        int32_t& ease = Player_LevelEase[std::clamp(Player_Current, 0, 9)][std::clamp(Level_Current, 0, 150)];
        ease = std::clamp(ease + 1, 0, 3);
        Board_Hooks.Snd_PlayIndex(SND_LEVELLOSE, 0.0f);
        Match_Save(Level_Current, 0);
    }
    Screen_Set(kScreenLevelEnd);
}

// [SECTION] Level start ----------------------------------------------------------------------------------------------

void LightMap_Reset() {
    for (int32_t c = 0; c < Board_MaxCols; ++c)
        for (int32_t r = 0; r < Board_MaxRows; ++r)
            Board_Cells[c][r].Light = 0;
}

void Play_ResetLevel() {
    Play_Level = PlayLevel{};
    Play_Level.Level_Sweeping = 1; // a level opens with its light sweep
    g_play = PlayState{};
    Hammer_Armed = 0;
    Game_Paused = 0;
    LightMap_Reset();
}

void LevelEnd_LightSweep() {
    if (!Level_Sweeping) return;
    if (Level_SweepPos == 0) {
        Board_Hooks.Tutorial_OnEvent15();
        Board_Hooks.Tips_CheckBoard();
    }
    Level_SweepPos += Frame_DeltaMs;
    // A band of light runs diagonally over the board from the top-left; the cells it passes light up and fade.
    const float span = float(Board_Cols + Board_Rows);
    const float band = Level_SweepPos / Level_SweepMs * (span + 4.0f) - 2.0f;
    for (int32_t c = 0; c < Board_Cols; ++c)
        for (int32_t r = 0; r < Board_Rows; ++r) {
            const float d = std::abs(float(c + r) - band);
            Table_cell& cell = Board_Cells[c][r];
            cell.Light = std::max(int32_t(cell.Light * 0.9f), d < 2.0f ? int32_t(255 * (1.0f - d / 2.0f)) : 0);
        }
    if (Level_SweepPos >= Level_SweepMs) {
        Level_Sweeping = 0;
        LightMap_Reset();
        Board_Hooks.MsgBox_LevelDone_Open();
    }
}

void Game_Start(int32_t mode) {
    Level_StartMode = mode;
    if (Level_Current > Levels_Count) {
        Board_Hooks.MsgBox_LevelsEnded_Open();
        return;
    }
    Music_SwitchTo(Music_NextGameTrack());
    if (mode == 1) {
        Score = Score_AtLevelStart;
        Gold = Gold_AtLevelStart;
        Mana = Mana_AtLevelStart;
        for (int32_t k = KIND_GEM_FIRST; k <= KIND_GEM_LAST; ++k)
            if (Level_Gems[k] != 0) Board_Hooks.Gems_Add(k - KIND_GEM_FIRST, -Level_Gems[k]); // colour 0..6
    }
    Level_Gems.fill(0);
    Screen_Set(kScreenGame);
    const int32_t player = std::clamp(Player_Current, 0, 9);
    Level_Ease = std::clamp(Player_LevelEase[player][std::clamp(Level_Current, 0, 150)], 0, 3);
    Level_LoadByNumber(Level_Current);
    Play_ResetLevel();
    if (mode != 2) {
        Score_AtLevelStart = Score;
        Gold_AtLevelStart = Gold;
        Mana_AtLevelStart = Mana;
    }
    Level_LastPlayed = Level_Current;
    Player_LastLevel[player] = Level_Current;
    Match_Save(Level_Current, 0);
}

// [SECTION] The match's flow -----------------------------------------------------------------------------------------

void HighScore_AddFromGame() {
    const int32_t place = Board_Hooks.Highscores_FindRank(Score);
    if (place < 0) {
        Board_Hooks.MsgBox_HighScore_Open();
        return;
    }
    // The whole entry: who, the score, where the match started and ended, and how long it was played.
    Board_Hooks.Highscores_Insert(place, Player_Current, Score, Match_StartLevel, Level_LastPlayed,
                                  Match_PlayMs / 1000);
    Board_Hooks.Highscores_Save();
    Board_Hooks.HighScores_Open(place, 1);
}

void Match_AllCompleted() {
    Log_Print(S("all completed"));
    const int32_t place = Board_Hooks.Highscores_FindRank(Score);
    if (place >= 0) {
        Board_Hooks.Highscores_Add(place);
        Board_Hooks.HighScores_Open(place, 2);
    } else {
        Match_BackToMenu();
    }
    Match_Reset();
}

void Match_BackToMenu() {
    Screen_Set(kScreenMainMenu);
    Board_Hooks.Wallpapers_Open();
}

void Match_CastlesCompleted() { Board_Hooks.MsgBox_CastlesDone_Open(); }
