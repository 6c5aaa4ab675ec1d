// The effects' drawing layer: a small state machine (blend, alpha, colour, scale, rotation) whose draws go to a
// sink with a snapshot of the state. The game's sink feeds the platform's sprite batch; tests install a recording
// sink. Private to src/effects (and the tests and benchmarks that watch its drawing).
#pragma once

#include <cstdint>

#include "effects/effects.h"
#include "platform/graphics.h"
#include "platform/image.h"

// The drawing state as the rules set it; values are kept as given and clamped only when a draw is handed on.
struct FxState {
    int blend = BLEND_ALPHA;
    float alpha = 1;
    float r = 255, g = 255, b = 255;
    float sx = 1, sy = 1;
    float rot = 0;
};

// Where draws go. Alpha and colour arrive clamped to 0..1 and 0..255; frames are within the image's strip.
class FxSink {
  public:
    virtual ~FxSink() = default;
    virtual void Sprite(const ImagePtr& img, int frame, float x, float y, const FxState& s) = 0;
    virtual void Line(float x1, float y1, float x2, float y2, const FxState& s) = 0;
    virtual Rect Viewport() = 0;
    virtual void SetViewport(const Rect& r) = 0;
    virtual void Flush() = 0; // the end of a pass: everything drawn so far must reach the canvas
};

extern FxState Fx; // the current drawing state

FxSink& Fx_Sink();
void Fx_SetSink(FxSink* sink); // null: the game's sink (the sprite batch)

inline void Fx_SetBlend(int b) { Fx.blend = b; }
inline void Fx_SetAlpha(float a) { Fx.alpha = a; }
inline void Fx_SetColor(float r, float g, float b) {
    Fx.r = r;
    Fx.g = g;
    Fx.b = b;
}
inline void Fx_SetScale(float sx, float sy) {
    Fx.sx = sx;
    Fx.sy = sy;
}
inline void Fx_SetRotation(float deg) { Fx.rot = deg; }
// The reset after every object: scale 1, blend 3, rotation 0, colour white (alpha stays).
inline void Fx_ResetState() {
    Fx.sx = Fx.sy = 1;
    Fx.blend = BLEND_ALPHA;
    Fx.rot = 0;
    Fx.r = Fx.g = Fx.b = 255;
}
// Draws frame `frame` of the image at (x, y) in the current state. A null image draws nothing; a frame outside the
// strip draws nothing and is reported once per image.
void Fx_Draw(const ImagePtr& img, float x, float y, int frame);
void Fx_Draw(Fx_ImageRef img, float x, float y, int frame); // an object's picture: its strip's length known

void Fx_Line(float x1, float y1, float x2, float y2);
