// Test helpers of the effects: a sink that records every draw with its state, a fixture that loads the effect
// images from the embedded archive and fixes the frame clock, the board layout and the seed, and frame drivers.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "effects/effects.h"
#include "effects/fx_draw.h"
#include "effects/fx_internal.h"

struct FxDrawRec {
    const Image* image = nullptr; // null for a line
    int frame = 0;
    float x = 0, y = 0, x2 = 0, y2 = 0;
    FxState s;
};

class RecordingSink final : public FxSink {
  public:
    std::vector<FxDrawRec> draws;
    std::vector<Rect> viewports; // every viewport set, in order
    Rect vp{0, 0, 800, 600};
    int flushes = 0;
    void Sprite(const ImagePtr& img, int frame, float x, float y, const FxState& s) override {
        draws.push_back(FxDrawRec{img.get(), frame, x, y, 0, 0, s});
    }
    void Line(float x1, float y1, float x2, float y2, const FxState& s) override {
        draws.push_back(FxDrawRec{nullptr, 0, x1, y1, x2, y2, s});
    }
    Rect Viewport() override { return vp; }
    void SetViewport(const Rect& r) override {
        vp = r;
        viewports.push_back(r);
    }
    void Flush() override { ++flushes; }
    size_t Lines() const;
};

class FxTest : public ::testing::Test {
  protected:
    RecordingSink sink;
    void SetUp() override;
    void TearDown() override;
};

// Sets the frame clock: ms per frame (dt = ms / 1000) and the instant frame rate.
void Fx_SetClock(float ms, int fps);
// One game-screen frame: update, the three layers, particles.
void Fx_GameFrame();
// Objects of a kind that are alive.
int Fx_CountKind(int kind);
// The test board: cols x rows cells of `cell` px at (100, 50), all playable.
void Fx_SetBoard(int cols, int rows, int cell);
