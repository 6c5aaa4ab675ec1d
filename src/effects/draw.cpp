// The three layer passes: each object of the pass's layer is drawn by its kind's draw rule (kinds.cpp), which then
// advances its fades, growth, frames and turning and removes it when its time is over; the drawing state is reset
// after every object. Called by the game, level-intro, level-end and main-menu frames.
#include "effects/fx_draw.h"
#include "effects/fx_internal.h"
#include "platform/frame_tally.h"
#include "platform/sprite_batch.h"

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

// The behind pass's draws held back while what lies beneath them is drawn again (Effects_DrawBehindOver). Each
// draw's box goes into the boxes as it is held. The records keep their room from frame to frame.
class HoldSink final : public FxSink {
  public:
    FxSink* real = nullptr;
    FxBoxes* boxes = nullptr;

    void Sprite(const ImagePtr& img, int frame, float x, float y, const FxState& s) override {
        boxes->Add(Batch_SpriteBox(img, frame, x, y, s.sx, s.sy, s.rot));
        held_.push_back(Held{img, frame, x, y, 0, 0, s, kSprite});
    }
    void Line(float x1, float y1, float x2, float y2, const FxState& s) override {
        boxes->Add(Batch_LineBox(x1, y1, x2, y2));
        held_.push_back(Held{nullptr, 0, x1, y1, x2, y2, s, kLine});
    }
    Rect Viewport() override { return real->Viewport(); }
    void SetViewport(const Rect& r) override { // no draw rule clips; should one, its clip is kept in its place
        boxes->Add(Rect{0, 0, Graphics_Width(), Graphics_Height()});
        held_.push_back(Held{nullptr, 0, float(r.x), float(r.y), float(r.w), float(r.h), FxState{}, kViewport});
    }
    void Flush() override {}

    // Hands the held draws on, in their order, then lets their pictures go.
    void Release() {
        for (const Held& h : held_) {
            if (h.what == kSprite)
                real->Sprite(h.img, h.frame, h.x, h.y, h.s);
            else if (h.what == kLine)
                real->Line(h.x, h.y, h.x2, h.y2, h.s);
            else
                real->SetViewport(Rect{int(h.x), int(h.y), int(h.x2), int(h.y2)});
        }
        held_.clear();
        real->Flush();
    }

  private:
    enum What : uint8_t { kSprite, kLine, kViewport };
    struct Held {
        ImagePtr img;
        int frame;
        float x, y, x2, y2;
        FxState s;
        What what;
    };
    std::vector<Held> held_;
};
HoldSink g_hold;

} // namespace

void Effects_DrawBehind() { LayerPass(-10); }
void Effects_DrawBehindOver(FxBoxes& boxes, void (*under)(const FxBoxes&)) {
    g_hold.real = &Fx_Sink();
    g_hold.boxes = &boxes;
    Fx_SetSink(&g_hold);
    LayerPass(-10);
    Fx_SetSink(g_hold.real);
    under(boxes);
    g_hold.Release();
}
size_t Effects_BehindCount() { return Fx_LayerObjects(-10)->size(); }
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
