// Helpers that more than one test folder uses (tests/common/test_common.cpp): the canvas, the harness restarted with
// a script, temporary folders, and where a test leaves its pictures. Needs the platform only.
#pragma once

#include <string>

// Opens SDL and the 800 x 600 canvas unless it is open already; false when the canvas cannot be opened.
bool TestCanvas_Open();
// The canvas pixel at (x, y) as 0xRRGGBB; 0xFFFFFFFF outside the canvas.
uint32_t TestCanvas_Pixel(int x, int y);
// Restarts the headless harness with a fake clock of `frameMs` per flip and the input script (frames from 1), and
// clears the input state; false when the harness refuses the configuration.
bool TestScript_Start(const std::string& script, int frameMs);
// Where a test leaves a picture it always takes: the build's test_pictures folder (made on first use), never the
// folder the test runs in.
std::string TestPicture_Path(const std::string& name);
// The canvas as last shown, saved as TestPicture_Path(name); false when it cannot be written.
bool TestPicture_Save(const std::string& name);
// A screenshot for a person to look at, taken only when BQ_PLAY_SHOTS names a folder to write it into.
void TestPicture_ShotIfAsked(const std::string& name);

// A fresh folder named bq_<prefix>_XXXXXX under $TMPDIR (or /tmp); "" when it cannot be made.
std::string TestTemp_Make(const std::string& prefix);
// Points the game's data home (XDG_DATA_HOME) at <root>/data and, with `appFolder`, its program folder
// (BQ_APP_FOLDER) at <root>/app, which is made.
void TestTemp_UseAsGameHome(const std::string& root, bool appFolder);
// Removes a folder with everything in it; errors are ignored (the folder may be gone already).
void TestTemp_Remove(const std::string& path);
