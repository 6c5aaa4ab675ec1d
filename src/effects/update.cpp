// The update pass: once per frame every effect object counts its delay down and moves by its kind's update rule
// (kinds.cpp): motion, the trail emitters' children, removal by motion. Called by the game, level-intro and
// level-end frames.
#include "effects/fx_internal.h"

void Effects_UpdateAll() {
    const float ms = Fx_Ms();
    // Children appended during the walk are visited by it too (their delay is 0, so they move this frame).
    for (size_t i = 0; i < Effects_List.size(); ++i) {
        Gfx_Obj& o = Effects_List[i];
        if (o.dead) continue;
        if (o.delay >= 1) {
            o.delay = ToInt(float(o.delay) - ms);
            continue;
        }
        if (const FxKindRules* rules = Fx_RulesOf(o.kind)) rules->update(o); // may append: o is not used after
    }
    Fx_Compact(true);
}
