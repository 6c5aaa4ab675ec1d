// The game's random numbers: the Park-Miller "minimal standard" generator (multiplier 48271, modulus 2^31-1,
// Schrage's method) with one module-level state. Used by the board, effects and menus; implemented in random.cpp.
#pragma once

#include <cstdint>

// Module state (random.cpp):
//   g_randState  current generator value, always in 1 .. 2^31-2

// Seeds the generator: state = v & 0x7FFFFFFF; 0 and 2^31-1 (which would stick) become 0x1234.
void Rand_Seed(int32_t v);
// Current state (to save and restore a sequence).
int32_t Rand_State();
// Advances the generator and returns the new state (1 .. 2^31-2). Seed 1 gives 48271, 182605794, 1291394886, ...
int32_t Rand_Next();
// Next value / 2147483647.0, in (0, 1).
double Rnd();
// Uniform integer in [a, b], both ends included (a and b may come in either order).
int Rand_Int(int a, int b);
// Uniform float in [a, b): never b itself.
float Rand_Float(float a, float b);
