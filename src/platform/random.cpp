// The Park-Miller minimal standard generator behind random.h (multiplier 48271, modulus 2^31-1), computed with
// Schrage's method so that no product overflows 32 bits. One module-level state, seeded by the runtime.
#include "platform/random.h"

#include <cmath>

namespace {
constexpr int32_t kModulus = 2147483647; // 2^31 - 1
constexpr int32_t kMultiplier = 48271;
constexpr int32_t kQ = 44488; // kModulus / kMultiplier
constexpr int32_t kR = 3399;  // kModulus % kMultiplier
constexpr int32_t kFallbackSeed = 0x1234;

int32_t g_randState = kFallbackSeed; // current value, 1 .. 2^31-2
} // namespace

void Rand_Seed(int32_t v) {
    int32_t s = int32_t(uint32_t(v) & 0x7FFFFFFFu);
    if (s == 0 || s == kModulus) s = kFallbackSeed;
    g_randState = s;
}

int32_t Rand_State() { return g_randState; }

int32_t Rand_Next() {
    const int32_t hi = g_randState / kQ;
    const int32_t lo = g_randState % kQ;
    int32_t t = kMultiplier * lo - kR * hi;
    if (t <= 0) t += kModulus;
    g_randState = t;
    return t;
}

double Rnd() { return double(Rand_Next()) / double(kModulus); }

int Rand_Int(int a, int b) {
    if (a > b) {
        const int t = a;
        a = b;
        b = t;
    }
    const double span = double(b) - double(a) + 1.0;
    int64_t v = int64_t(a) + int64_t(Rnd() * span);
    if (v > b) v = b; // Rnd() < 1, but keep the bound exact under rounding
    return int(v);
}

float Rand_Float(float a, float b) {
    const float v = float(double(a) + (double(b) - double(a)) * Rnd());
    // The double result lies below b, but rounding to float can land on b: step back to the float below.
    if (a < b && v >= b) return std::nextafter(b, a);
    return v;
}
