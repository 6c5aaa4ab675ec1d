// The update pass: once per frame every effect object counts its delay down and moves by its kind's update rule
// (kinds.cpp): motion, the trail emitters' children, removal by motion. Called by the game, level-intro and
// level-end frames.
#include "effects/fx_internal.h"

namespace {
void UpdateOne(Gfx_Obj& o) {
    if (o.delay >= 1) {
        o.delay = ToInt(float(o.delay) - Fx_Ms());
        return;
    }
    if (const FxKindRules* rules = Fx_RulesOf(o.kind)) rules->update(o); // may append: o is not used after
}
} // namespace

void Effects_UpdateAll() {
    // Children appended during the walk are visited by it too (their delay is 0, so they move this frame). When
    // enough removed objects have piled up, the walk drops them on its way.
    if (Fx_SweepDue(true)) {
        Fx_SweepWalk(UpdateOne);
        return;
    }
    for (size_t i = 0; i < Effects_List.size(); ++i) {
        Gfx_Obj& o = Effects_List[i];
        if (!o.dead) UpdateOne(o);
    }
    Fx_Compact(true);
}
