// The board's public header for the play loop's services that other subsystems call: the saved match, the level's
// time offer and the match's flow values. Defined by the play loop (src/board; do-nothing bodies in play_stub.cpp
// until it lands); called by the menus' boxes.
#pragma once

#include <cstdint>

// ---- Saved match ---------------------------------------------------------------------------------------------
int32_t Match_Exists();          // 1 when the current player's saved match file exists
void Match_Load();               // reads the saved match (with Relaxed_Mode and Level_Current)
void Match_Write(int32_t level); // writes the saved match record with the current values
void Match_New();                // a new match: score 0, 3 lives, saved match deleted, tutorial flags cleared
void Match_Continue();           // loads the saved match and its level
void Match_Reset();              // score 0, 3 lives, counters 0, then Match_Save(Level_Current, 0)
void Match_Delete();             // deletes the current player's saved match files
extern int32_t Match_Continued;  // 1 after a match was started or continued from the menu
extern int32_t Match_EndState;   // 3 when the levels ran out after the castles were finished

// ---- Level start and time offer -------------------------------------------------------------------------------
extern int32_t Level_StartMode;  // 0 fresh level start, 1 restart (restores score, gold, mana), 2 continued match
extern int64_t Level_OfferTime;  // microseconds the time offer adds
extern int32_t Level_OfferMade;  // 1 after the offer box was opened in this level
extern int32_t Level_TimeBought; // microseconds bought in this level
