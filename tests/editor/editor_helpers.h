// Shared set-up of the editor tests: SDL on the offscreen canvas, the packed archive, the board's tile sets and
// pictures, a fresh toolkit and editor, App_Folder on a temporary folder, level 1 loaded; editor frames, and the
// widgets and files the tests look at. The script, the watchdog for modal loops and the window counts are the
// toolkit tests' own (toolkit/toolkit_helpers.h).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "editor/editor_internal.h"
#include "platform/strings.h"
#include "toolkit/toolkit_helpers.h"

// Opens everything (once), makes a temporary App_Folder (current), resets the toolkit and the editor, loads level 1
// and, with `open`, opens the editor. A modal loop may run at most `modalCap` frames.
void EditorTest_Open(bool open = true, int modalCap = 600);
// The part of EditorTest_Open after the one-time set-up: a fresh temporary App_Folder (current, with a levels
// folder), the toolkit as at program start, Editor_Init, the watchdog.
void EditorTest_Reset(int modalCap = 600);
// Ends the test's editor and removes the temporary folder.
void EditorTest_Close();
// One editor frame: clear, Editor_Update, Editor_Draw, flip (the next frame's script events arrive).
void EditorTest_Frames(int n);
// The temporary App_Folder, and a path below it.
Str EditorTest_Folder();
std::string EditorTest_File(const std::string& name);
// The bytes of a file ("" when missing).
std::string EditorTest_Read(const std::string& path);
// The board and level values as the level file holds them (saved to a scratch file and read back).
std::string EditorTest_Level();
// Script lines.
std::string Click(int frame, int x, int y, int button = 1);
std::string KeyPress(int frame, int vk);
// The centre of a button of the editor window on the canvas.
int ButtonX(int b);
int ButtonY(int b);
// The board cell's centre on the canvas.
int CellX(int c);
int CellY(int r);
// Answers every "Alert" box at once (through the terminate flag) and counts them in `count`.
void EditorTest_AnswerAlerts(int* count);
// Runs a requester to its end: types `name` into its name field and confirms it at `confirmFrame`; alerts are
// answered and counted in `alerts` (when given).
std::string EditorTest_RequesterScript(int confirmFrame);
void EditorTest_TypeIntoRequester(const Str& name, int* alerts = nullptr);
