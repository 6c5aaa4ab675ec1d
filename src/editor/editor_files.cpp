// The level editor's keys and buttons, its level files (quick file, test file, files chosen in the requester) and
// the test run, which plays the edited board and puts it back as it was without touching the player's match.
// Called by Editor_Update once per frame, and by the play loop (through the board's hooks) when a test run ends.
#include <algorithm>

#include "editor_internal.h"

#include "board/level_file.h"
#include "board/play.h"
#include "main/config.h"
#include "main/progress.h"
#include "main/runtime.h"
#include "main/screens.h"
#include "platform/folders.h"
#include "platform/input.h"
#include "platform/stream.h"
#include "platform/system.h"

namespace {

// What a test run may change of the player's match, taken at its start and put back at its end: the match is the
// player's, not the editor's.
struct MatchSnapshot {
    int32_t Score = 0, Highest = 0, Lives = 0, Gold = 0, GoldAtStart = 0, Mana = 0, ManaCapLevel = 0, Multiplier = 0;
    int32_t LevelCurrent = 0, LastPlayed = 0, PlayMs = 0, HammerCharge = 0, HammerCurrent = 0;
    int32_t Ease = 0, StoredEase = 0, Relaxed = 0;
    uint8_t Hidden = 0; // the window's Hidden before the run
    // The tutorial's and the tips' marks of the progress file: a test run may show a tip, it does not use it up.
    decltype(Tutorial_Flags) Tutorial{};
    decltype(Tips_Shown) Tips{};
};
MatchSnapshot g_before;
bool g_endPending = false; // the play loop reached the level's end during a test run

int32_t& StoredEase() {
    return Player_LevelEase[std::clamp(Player_Current, 0, 9)][std::clamp(Level_Current, 0, kLevelEaseSlots - 1)];
}

// Every value a test run may change with its copy in the snapshot, in the order they are put back (the stored ease
// is the current level's, so the level comes back first): f(live, saved) for each.
template <class F> void EachSnapshotValue(MatchSnapshot& s, F f) {
    f(Score, s.Score);
    f(Score_Highest, s.Highest);
    f(Lives, s.Lives);
    f(Gold, s.Gold);
    f(Gold_AtLevelStart, s.GoldAtStart);
    f(Mana, s.Mana);
    f(Mana_CapLevel, s.ManaCapLevel);
    f(Score_Multiplier, s.Multiplier);
    f(Level_Current, s.LevelCurrent);
    f(Level_LastPlayed, s.LastPlayed);
    f(Match_PlayMs, s.PlayMs);
    f(Hammer_Charge, s.HammerCharge);
    f(Hammer_Current, s.HammerCurrent);
    f(Level_Ease, s.Ease);
    f(StoredEase(), s.StoredEase);
    f(Relaxed_Mode, s.Relaxed);
    f(Tutorial_Flags, s.Tutorial);
    f(Tips_Shown, s.Tips);
}

void TakeSnapshot() {
    EachSnapshotValue(g_before, [](const auto& live, auto& saved) { saved = live; });
    g_before.Hidden = Editor_W.Window ? Editor_W.Window->Hidden : uint8_t(0);
}

void RestoreSnapshot() {
    EachSnapshotValue(g_before, [](auto& live, const auto& saved) { live = saved; });
}

bool Unsavable(const Str& path) { return Str_Trim(path).empty() || Path_IsEmbedded(path); }

// Loads a level file and keeps the tile set chosen in the editor (a load starts the level, which picks the set of
// the level number); the pieces take its pictures.
bool LoadKeepingTileset(const Str& path) {
    const int32_t tileset = Tileset_Current;
    bool ok = false;
    try {
        ok = Level_Load(path);
    } catch (const RuntimeError& e) {
        Log_Print(u"Level editor: " + Str_FromUtf8(e.what()));
    }
    if (!ok) return false;
    Tileset_Current = tileset;
    for (const auto& p : Pieces)
        Piece_AssignImage(*p);
    Level_Sweeping = 0;
    return true;
}

// After a modal requester: the program folder is current again and the window is in front.
void AfterRequester() {
    Dir_Change(App_Folder);
    if (Editor_W.Window && Editor_W.Window->Listed) Editor_W.Window->Activate();
}

void SaveAs() {
    const Str path = Paneo_RequestFile(u"Save to level file:", App_Folder, u".*|.lev|", u".lev", 1);
    AfterRequester();
    if (path.empty()) return;
    if (Editor_SaveLevel(path)) Level_Path = path;
}

void Load() {
    const Str path = Paneo_RequestFile(u"Open level file:", App_Folder, u".*|.lev|", u".lev", 0);
    AfterRequester();
    if (path.empty()) return;
    if (Editor_LoadLevel(path)) Level_Path = path;
}

void QuickLoad() {
    const Str path = Editor_AppPath(Editor_QuickFile);
    if (File_Type(path) != 1) return; // no quick file yet: nothing happens
    Editor_LoadLevel(path);
}

void Press(int button) {
    switch (button) {
    case BTN_TEST:
        Editor_ToggleTest();
        break;
    case BTN_LOAD:
        Load();
        break;
    case BTN_SAVE_AS:
        SaveAs();
        break;
    case BTN_SAVE:
        // A built-in level or a board without a file is saved under a new name.
        if (Unsavable(Level_Path))
            SaveAs();
        else
            Editor_SaveLevel(Level_Path);
        break;
    case BTN_CREATE:
        Editor_CreateBoard();
        break;
    case BTN_FILL:
        Editor_Fill();
        break;
    case BTN_CLEAR:
        Editor_ClearTable();
        break;
    case BTN_RESET:
        Editor_ResetWeights();
        break;
    case BTN_CENTER_X:
        Editor_Center(false);
        break;
    case BTN_CENTER_Y:
        Editor_Center(true);
        break;
    default:
        break;
    }
}

} // namespace

bool Editor_SaveLevel(const Str& path) {
    Editor_ReadWeights();
    if (Unsavable(path)) {
        Editor_Alert(u"cant create level file|" + (path.empty() ? Str(u"(no file name)") : path));
        return false;
    }
    const size_t slash = path.rfind(u'/');
    if (slash != Str::npos && slash > 0) Dir_Create(path.substr(0, slash)); // a missing levels folder is made
    bool ok = false;
    try {
        ok = Level_Save(path);
    } catch (const RuntimeError&) {
        ok = false;
    }
    if (!ok) Editor_Alert(u"cant create level file|" + path);
    return ok;
}

bool Editor_LoadLevel(const Str& path) {
    if (File_Type(path) != 1) {
        Editor_Alert(u"cant open level file|" + path);
        return false;
    }
    if (!LoadKeepingTileset(path)) {
        Editor_Alert(u"Not a level file:|" + path);
        return false;
    }
    Editor_ShowWeights();
    Editor_ShowCell();
    return true;
}

void Editor_ToggleTest() {
    auto& w = Editor_W;
    const Str testFile = Editor_AppPath(Editor_TestFile);
    if (!Editor_Testing) {
        // The board as edited goes to the test file first; without it there is no way back, so no test.
        if (!Editor_SaveLevel(testFile)) return;
        TakeSnapshot();
        g_endPending = false;
        Editor_Testing = 1;
        if (w.Window) w.Window->Hidden = 1;
        if (w.Buttons[BTN_TEST]) w.Buttons[BTN_TEST]->SetText(u"Stop");
        StoredEase() = 0;
        Level_Ease = 0;
        Level_OfferMade = 1; // no time offer in a test: it would take a life
        Level_BuildSpawnTable();
        return;
    }
    Editor_Testing = 0;
    g_endPending = false;
    if (w.Window) w.Window->Hidden = g_before.Hidden;
    if (w.Buttons[BTN_TEST]) w.Buttons[BTN_TEST]->SetText(u"Test");
    if (!LoadKeepingTileset(testFile)) Editor_Alert(u"cant open level file|" + testFile);
    RestoreSnapshot();
    Level_BuildSpawnTable();
    Editor_ShowCell();
    Keys_Flush();
    Mouse_Flush(); // the clicks of the run are not the editor's, nor the window's
    GuiMouse.Sync();
}

void Editor_EndTest() {
    if (Editor_Testing) g_endPending = true;
}

void Editor_HandleFiles() {
    auto& w = Editor_W;
    if (!w.Window) return;
    if (g_endPending && Editor_Testing) {
        Editor_ToggleTest();
        return;
    }
    // Every key's hits are taken each frame, so none waits for a later one; at most one acts.
    const bool tab = Key_Hit(VK::TAB) > 0;
    const bool alt = Key_Hit(VK::LMENU) > 0 && Key_Down(VK::LCONTROL);
    const bool f2 = Key_Hit(VK::F1 + 1) > 0;
    const bool f3 = Key_Hit(VK::F1 + 2) > 0;
    if (tab) {
        Editor_ToggleTest();
        return;
    }
    if (Editor_Testing) return; // during a test only Tab acts (the window is hidden)
    if (alt) {
        w.Window->Hidden = uint8_t(w.Window->Hidden ? 0 : 1);
        GuiMouse.Sync(); // clicks made while it was hidden do not press its buttons
        return;
    }
    if (f2) {
        Editor_SaveLevel(Editor_AppPath(Editor_QuickFile));
        return;
    }
    if (f3) {
        QuickLoad();
        return;
    }
    if (w.Window->Hidden) return;
    for (int b = 0; b < BTN_COUNT; ++b)
        if (w.Buttons[b] && w.Buttons[b]->Clicked()) {
            Press(b);
            return;
        }
}
