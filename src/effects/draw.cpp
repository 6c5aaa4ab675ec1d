// The three layer passes: each object of the pass's layer is drawn by its kind's draw rule (kinds.cpp), which then
// advances its fades, growth, frames and turning and removes it when its time is over; the drawing state is reset
// after every object. Called by the game, level-intro, level-end and main-menu frames.
#include "effects/fx_draw.h"
#include "effects/fx_internal.h"
#include "platform/frame_tally.h"

namespace {

void LayerPass(int32_t layer) {
    Fx_CountPass(layer);
    const float alpha = Fx.alpha;
    Fx_SetBlend(BLEND_ALPHA);
    // Only this layer's objects, in list order; children a rule makes for this layer are appended and drawn in the
    // same pass. Removed objects' entries are dropped on the way.
    std::vector<Gfx_Obj*>& objs = *Fx_LayerObjects(layer);
    size_t kept = 0;
    for (size_t i = 0; i < objs.size(); ++i) {
        Gfx_Obj* const o = objs[i];
        if (o->dead) continue;
        Effects_DrawOne(*o);
        if (!o->dead) objs[kept++] = o;
    }
    objs.resize(kept);
    Fx_SetAlpha(alpha);
    Fx_Sink().Flush();
    Fx_Compact();
}

} // namespace

void Effects_DrawBehind() { LayerPass(-10); }
void Effects_DrawAbove() { LayerPass(10); }
void Effects_DrawTop() { LayerPass(20); }

void Effects_DrawOne(Gfx_Obj& o) {
    if (o.delay >= 1) {
        o.delay = ToInt(float(o.delay) - Fx_Ms());
        return;
    }
    ++Frame_Tally.kindsDrawn[o.kind & 63u];
    if (const FxKindRules* rules = Fx_RulesOf(o.kind)) rules->draw(o); // may append: o stays valid (deque)
    Fx_ResetState();
}
