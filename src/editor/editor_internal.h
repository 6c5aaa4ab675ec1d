// The editor's widgets and the helpers its three sources share (window and fields, board editing, files and test
// play). Private to src/editor; tests reach the widgets through it.
#pragma once

#include <array>
#include <memory>

#include "editor/editor.h"
#include "toolkit/toolkit.h"

constexpr int kEditorWidth = 230;    // the window's width, px
constexpr int kEditorMaxColours = 7; // colour fields the window has
constexpr int kEditorSpecials = 6;   // special weight fields
constexpr int kEditorModifiers = 7;  // modifier boxes (six percentages)
constexpr int kEditorCellBoxes = 3;  // cell boxes

// The buttons of the window, in the order they are polled.
enum EditorButton {
    BTN_TEST,
    BTN_LOAD,
    BTN_SAVE_AS,
    BTN_SAVE,
    BTN_CREATE,
    BTN_FILL,
    BTN_CLEAR,
    BTN_RESET,
    BTN_CENTER_X,
    BTN_CENTER_Y,
    BTN_COUNT
};

struct EditorWidgets {
    std::shared_ptr<PNO_Window> Window;
    std::shared_ptr<PNO_Combo> TilesetCombo, PieceCombo, TileCombo;
    std::array<std::shared_ptr<PNO_Input>, kEditorMaxColours> ColourInputs;
    std::array<std::shared_ptr<PNO_StaticImage>, kEditorMaxColours> ColourIcons;
    std::array<std::shared_ptr<PNO_Input>, kEditorSpecials> SpecialInputs;
    std::array<std::shared_ptr<PNO_StaticImage>, kEditorSpecials> SpecialIcons;
    std::array<std::shared_ptr<PNO_Input>, kEditorModifiers> ModifierInputs; // the seventh stays null
    std::array<std::shared_ptr<PNO_StaticImage>, kEditorModifiers> ModifierIcons;
    std::array<std::shared_ptr<PNO_Checkbox>, kEditorModifiers> ModifierBoxes;
    std::array<std::shared_ptr<PNO_Checkbox>, kEditorCellBoxes> CellBoxes;
    std::shared_ptr<PNO_Label> CellLabel;
    std::shared_ptr<PNO_Input> DurationInput, TimedInput, SilverInput, GoldInput, ManaInput, FreezeInput;
    std::shared_ptr<PNO_Value> WidthSpinner, HeightSpinner;
    std::array<std::shared_ptr<PNO_PushButton>, BTN_COUNT> Buttons;
    std::shared_ptr<PNO_Label> PathLabel, LevelLabel; // the level file's folder and "Level: " name in the header
    Str ShownPath;                                    // the level path the two labels show
    int32_t ShownWidth = -1;                          // the window width the folder was shortened for
};
extern EditorWidgets Editor_W;

// Modifier box numbers.
enum { MOD_SHIELD, MOD_BOMB, MOD_LASER, MOD_BONUS_TIME, MOD_ANTIGRAV, MOD_SHIELD2, MOD_FROZEN };
// Cell box numbers.
enum { CELL_AUTOSPAWN, CELL_PROXY, CELL_BRINGDOWN };

// The current tile set's index (the first when none is chosen, -1 when there is none) and its colours (0..7).
int Editor_TilesetIndex();
int Editor_ColourCount();
Str Editor_TilesetName();
// A picture of the editor: the file below the current folder when it is there, else the game's embedded copy.
Str Editor_PicturePath(const Str& folder, const Str& name);
// The piece a choice text creates at the cell (null for "None", the coins and unknown texts).
PiecePtr Editor_CreateChoice(const Str& choice, int32_t column, int32_t row);
// The inspector's name of a piece kind.
Str Editor_PieceName(int32_t kind);
// Removes the cell's piece from the cell and the piece list.
void Editor_ClearPiece(int32_t column, int32_t row);
// A message box "Alert" with an Ok button; the window comes back to the front afterwards.
void Editor_Alert(const Str& text);
// App_Folder + a "/"-separated name below it.
Str Editor_AppPath(const Str& name);
// Folder part of a path ("<bad_dir>" without one) and its name without folder and extension.
Str Path_ExtractDir(const Str& path);
Str Path_StripAll(const Str& path);
