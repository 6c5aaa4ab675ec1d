// The 128 depth lists of drawable castle objects: adding, inserting, removing and drawing from depth 127 down to 0.
// The castles (subsystem 3) add their parts; the game screen and the build menu call GObj_DrawAll.
#include "main/gobj.h"

#include <algorithm>

#include "platform/system.h"

std::array<std::list<GObjPtr>, kGObjDepths> GObj_Lists;

namespace {

int g_drawing = 0; // >0 while GObj_DrawAll walks the lists: removals leave a null slot, swept afterwards

int ClampDepth(int d) {
    if (d >= 0 && d < kGObjDepths) return d;
    Log_Print(u"GObj: depth " + Str_FromInt(d) + u" outside 0..127");
    return std::clamp(d, 0, kGObjDepths - 1);
}

void Unlink(GObj* obj) {
    if (obj->depth < 0) return;
    auto& list = GObj_Lists[static_cast<size_t>(obj->depth)];
    obj->depth = -1;
    for (GObjPtr& p : list)
        if (p.get() == obj) p = nullptr; // swept later (never while a walk holds an iterator into the list)
    if (g_drawing == 0) list.remove(nullptr);
}

} // namespace

void GObj::Add(int d) {
    const GObjPtr self = shared_from_this();
    Unlink(this);
    depth = ClampDepth(d);
    GObj_Lists[static_cast<size_t>(depth)].push_back(self);
}

void GObj::Insert(int d) {
    const GObjPtr self = shared_from_this();
    Unlink(this);
    depth = ClampDepth(d);
    GObj_Lists[static_cast<size_t>(depth)].push_front(self);
}

void GObj::Remove() {
    const GObjPtr keep = weak_from_this().lock(); // the list may hold the last reference
    Unlink(this);
}

void GObj::Draw() {}

void GObj_DrawAll() {
    ++g_drawing;
    for (int d = kGObjDepths - 1; d >= 0; --d) {
        auto& list = GObj_Lists[static_cast<size_t>(d)];
        for (auto it = list.begin(); it != list.end(); ++it) {
            const GObjPtr obj = *it; // held while it draws, even if it removes itself
            if (obj) obj->Draw();
        }
    }
    if (--g_drawing == 0)
        for (auto& list : GObj_Lists)
            list.remove(nullptr);
}

void GObj_ClearAll() {
    for (auto& list : GObj_Lists) {
        for (GObjPtr& p : list)
            if (p) p->depth = -1;
        if (g_drawing == 0)
            list.clear();
        else
            std::fill(list.begin(), list.end(), nullptr);
    }
}

int GObj_Count() {
    int n = 0;
    for (const auto& list : GObj_Lists)
        n += static_cast<int>(std::count_if(list.begin(), list.end(), [](const GObjPtr& p) { return p != nullptr; }));
    return n;
}
