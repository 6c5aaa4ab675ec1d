// The effects' public header for the creators the other subsystems call beyond main/entry_points.h. Defined by the
// effects (src/effects; do-nothing bodies in effects_stub.cpp until they land); called by the main menu.
#pragma once

#include <cstdint>

void Gfx_Kind25Circle(int32_t x, int32_t y); // three slowly turning glow rings centred on (x, y), layer -10
