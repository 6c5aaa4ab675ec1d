// Trigonometry in degrees, as the game's drawing and effect code uses it, and the sine and cosine tables of the whole
// degrees (mathdeg.cpp). Used by board, castles, menus and effects.
#pragma once

#include <cmath>

namespace mathdeg_detail {
constexpr double kPi = 3.14159265358979323846;
constexpr double kToRad = kPi / 180.0;
constexpr double kToDeg = 180.0 / kPi;
} // namespace mathdeg_detail

inline double Deg_Sin(double deg) { return std::sin(deg * mathdeg_detail::kToRad); }
inline double Deg_Cos(double deg) { return std::cos(deg * mathdeg_detail::kToRad); }
inline double Deg_Tan(double deg) { return std::tan(deg * mathdeg_detail::kToRad); }
// Angle of the vector (x, y) in degrees, in (-180, 180].
inline double Deg_ATan2(double y, double x) { return std::atan2(y, x) * mathdeg_detail::kToDeg; }
inline double Deg_ASin(double v) { return std::asin(v < -1 ? -1 : v > 1 ? 1 : v) * mathdeg_detail::kToDeg; }
inline double Deg_ACos(double v) { return std::acos(v < -1 ? -1 : v > 1 ? 1 : v) * mathdeg_detail::kToDeg; }

// Sine and cosine of the whole degrees 0..360, filled before main (the same values on every machine that computes
// std::sin alike). The piece drawing, the effect creators and a spell read them.
extern const float (&Sin_Table)[361];
extern const float (&Cos_Table)[361];
