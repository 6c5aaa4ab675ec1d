// GObj: the base of drawable castle objects, kept in 128 depth lists that are drawn from depth 127 down to 0, so
// depth 0 is in front. Subclassed by the castles (subsystem 3); the game screen and the build menu call
// GObj_DrawAll.
#pragma once

#include <array>
#include <list>
#include <memory>

class GObj;
using GObjPtr = std::shared_ptr<GObj>;

constexpr int kGObjDepths = 128;

class GObj : public std::enable_shared_from_this<GObj> {
  public:
    virtual ~GObj() = default;
    int depth = -1; // the list it is in, -1 none

    // Appends the object to depth list `d` (drawn after the objects already there); moves it when listed elsewhere.
    // A depth outside 0..127 is clamped with a diagnostic line.
    void Add(int d);
    // Puts the object at the front of depth list `d` (drawn before the others there).
    void Insert(int d);
    // Takes the object out of its list; harmless when not listed. Safe while the lists are being drawn.
    void Remove();
    // Draws the object; the base draws nothing.
    virtual void Draw();
};

// ---- State owned by this module -------------------------------------------------------------------------------
extern std::array<std::list<GObjPtr>, kGObjDepths> GObj_Lists; // by depth; empty slots of removed objects are null

void GObj_DrawAll();  // every list from 127 down to 0, each in list order
void GObj_ClearAll(); // empties every list
int GObj_Count();     // objects listed
