// The player of the end-to-end tests: runs the whole game (Main_Body, the real main loop) headless on the fake clock
// and plays it with the mouse and keyboard only, pushed as SDL events from the harness's frame hook. It reads the
// screen, the open dialog, the tutorial's running step and the board to choose what to do (the level generator's
// solver picks the moves). Used by the tests of this folder; tools/play_all_levels.sh and tools/fault_check.sh run
// them over the 150 levels and against damaged files.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/frame_tally.h"

// One level played (one attempt): what the per-level report line says.
struct LevelLine {
    int32_t level = 0;
    std::string result; // "won", "lost" (the time ran out) or "stopped" (the run ended inside the level)
    std::string offer;  // the time offer: "" not made, "taken" or "refused"
    int32_t score = 0;  // the match's score when the level ended
    int32_t gold = 0;   // the match's gold when the level ended
    int32_t gems = 0;   // gems the level brought to the bag
    double timeS = 0;   // game time from the level box's OK to the level end, seconds
    int32_t frames = 0; // frames in that time
};

// A deliberate loss: the player makes no move until the time runs out (the frames meanwhile step 200 ms of game
// time, the clock's longest frame, so the wait is short). The time offer is refused, or taken and then refused when
// it comes again.
enum class DriverLoss { RefuseOffer, TakeOffer };

struct DriverGoal {
    std::string name = "Tester"; // typed into the first start's name box
    int32_t startLevel = 0;      // > 0: a saved match at this level is made before Start (the level sweep)
    int32_t levelsToWin = 1;     // the run closes the window once this many levels were won and the map shows
    bool continueMatch = true;   // the continue box: "Weiterspielen" (true) or a new match
    int32_t menuFrames = 0;      // frames the main menu is left alone before Start (its birds fly)
    int32_t frameLimit = 0;      // > 0: the harness closes the game after this many frames
    bool progress = false;       // each level's report line on standard error as it ends (standard output is captured)
    std::string shots;           // folder for screenshots at the chosen points ("" none)
    bool tutorial = false;       // the tutorial's steps show and are answered; false: switched off for the player
    int32_t shopFrom = 0;        // > 0: from this level on, every build-menu visit also goes to the shop and buys
                                 // what the gold pays for (the tutorial sends a new player there on level 6)
    bool drawAll = false;        // every frame is drawn (frame costs); otherwise only the frames of screenshots
    int32_t lossLevel = 0;       // the level where `losses` are played, one attempt each, before it is won
    std::vector<DriverLoss> losses;
    bool againAfterGameOver = true; // the game-over box: "Nochmal" (true) or "Menü"
    bool collect = true;            // the bag filled first with moves away from the tiles while half the time is left;
                                    // false: the solver's moves only (the level sweep: each level won in its time)
    int32_t quickUntil = 0;         // levels up to this one are cut short: the level-win key once the bag is full
    int32_t quickFrames = 60 * 60 * 2; // ... or once this many frames of it were played
    bool menuAfterLevels = false; // once levelsToWin levels are won: the build menu's "Menü", then quit at the menu
    int32_t moveWait = 2;         // frames the player waits after each move before looking for the next
    std::function<void()> everyFrame; // run first in every frame (a measurement's own work); empty: nothing
    // > "" : the run goes the shortest way to this place (Driver_Places) and ends there by endHow: "close" (the
    // window), "ende" (the main menu's "Ende" and the quit box's "Ja"), "exit" (the harness's exit frame, frameLimit:
    // the player waits there for it), "kill" (SIGKILL), "menu" (the in-game menu's "Hauptmenü", the build menu's or
    // the level map's "Menü", then the window closed at the main menu). On the way it makes no move and buys nothing;
    // ending in the editor's test run, or in the level by a way that saves it (not a kill), it plays a few moves first.
    std::string endAt;
    std::string endHow;
};

// CPU time of the frames shown on one screen or with one dialog open (the main thread's, start to flip included).
struct FrameCost {
    int32_t frames = 0;
    uint64_t totalNs = 0, worstNs = 0;
    std::vector<uint64_t> steadyNs; // every frame but the first of each showing (which decodes its pictures)
    // The slowest steady frames (kSlowestKept, slowest first) with their frame number and what happened in them.
    static constexpr size_t kSlowestKept = 3;
    struct Slow {
        uint64_t ns = 0;
        int32_t frame = 0;
        FrameTally tally;
    };
    std::vector<Slow> slowest;
    // The mean and the 99th-percentile frame of steadyNs, in ms (0 when there is none).
    double SteadyMeanMs() const;
    double SteadyP99Ms() const;
};

struct DriverReport {
    int exitCode = -1;
    std::vector<LevelLine> levels;           // one per level attempt started
    std::vector<int32_t> screens;            // every screen seen, in order, repeats folded
    std::vector<std::string> dialogs;        // every dialog opened, by kind ("name", "level", "won", "Frame", ...)
    std::vector<int32_t> tutorialSteps;      // tutorial steps shown, in order
    std::vector<std::string> bought;         // castle parts ("part N") and shop buttons ("shop N") bought
    std::vector<int32_t> castlesCompleted;   // castles completed, in order
    std::vector<int32_t> castleLevels;       // the level each was completed after (the level then current - 1)
    std::vector<std::string> wallpapers;     // wallpaper files found written after "Wallpaper aktivieren"
    bool campaignEnded = false;              // the end-of-castles or end-of-levels box was seen
    std::vector<std::string> problems;       // what the driver did not expect (an unknown box, a stuck board)
    int32_t frames = 0;                      // frames run
    std::string output;                      // standard output of the run (the diagnostic lines)
    std::map<std::string, FrameCost> costs;  // by "screen N" or "screen N + dialog kind"
    double firstFrameMs = 0, mainMenuMs = 0; // wall time from Main_Body's call to the first flip, to the main menu
    std::string endedAt;                     // with endAt: the place where the ending began ("" never reached)
    std::string lastPlace;                   // with endAt: the place of the last frame
    // With endAt: what the player left there (Driver_PlayerState) as the game saved it or ended: after the run
    // (window close, exit frame), as the last frame before the main menu showed ("Hauptmenü", "Menü"), when the
    // ending began ("Ende", a kill); over the editor, what the level held before it opened.
    std::string left;
};

// The places a run can end at (DriverGoal::endAt): the main menu, its dialogs and the name box ("menu", "quitbox",
// "options", "highscores", "hsreset" its "Löschen" box, "credits", "help", "players", "lastplayer" its "Löschen" box
// with one player, "name", "wallpapers"), the game-flow boxes and the level ("continue", "levelbox", "game", "offer",
// "lost" a life, "gameover" the last, the "levelend" screen, "won"), between levels ("build", "shop", "map") and,
// with the developer keys, the level editor over the level (its board cleared and its weights set to 0 first) and
// its test run (a few moves played in it) ("editor", "testrun"). The boxes reached with more to prepare: the name box
// given a name a player has ("nameexists"); with a second player, the players dialog's "Löschen" ("deleteplayer") and
// its "Ja" ("playerdeleted"); a castle completed from the build menu ("castledone"), its wallpaper set ("setwallpaper"
// and, where the desktop cannot be set, "wallpaperfailed"), the last castle completed ("castlesdone", then
// "alldone"); a match beyond the last level started ("levelsended"); the shop's gamble ("gamble"); after the last
// life, the high-score list or the box without a place ("hsgame").
extern const char* const Driver_Places[];
extern const int Driver_PlaceCount;
// What the player owns now, as one line of "name=value" fields: the player, level, score, gold, mana, lives, gem
// bag, castle, spells, chest, the counters a restart of the level goes back to (in a level: its start records;
// between levels: the present ones) and, on the game screen, the board. A continue must show the same.
std::string Driver_PlayerState();

// The data folder given from outside (tools/fault_check.sh): BQ_E2E_DATA as XDG_DATA_HOME, BQ_E2E_APP as the program
// folder. False without BQ_E2E_DATA (the tests that need it are skipped).
bool Driver_UseGivenFolder();
// Runs the game once with the goal (XDG_DATA_HOME and BQ_APP_FOLDER as the caller set them).
DriverReport Driver_Run(const DriverGoal& goal);
// The report line of one level: "level   3 won     score    1234 gold    120 gems  21 time   81.3 s frames   5081".
std::string Driver_Line(const LevelLine& l);
// Diagnostic lines of the output that are not among the expected ones (start-up notes of a fresh data folder).
std::vector<std::string> Driver_UnexpectedLines(const std::string& output);
