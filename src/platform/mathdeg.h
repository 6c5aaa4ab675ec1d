// Trigonometry in degrees, as the game's drawing and effect code uses it. Header-only; used by board, menus and
// effects.
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

// Whole-degree sine and cosine, entries 0..360 (360 repeats 0): the lookup tables the effects, the piece drawing and
// the spells read with an integer angle. Filled at start-up by DegTables_Fill (the effects' Particles_InitTables
// calls it); filled once more here at static start so that no reader ever sees zeros.
inline float Sin_Table[361]; // sin(d degrees), d = 0..360
inline float Cos_Table[361]; // cos(d degrees), d = 0..360
inline void DegTables_Fill() {
    for (int d = 0; d <= 360; ++d) {
        Sin_Table[d] = float(Deg_Sin(d));
        Cos_Table[d] = float(Deg_Cos(d));
    }
}
// Any whole angle brought into 0..359 (negative angles and angles of 360 or more alike).
inline int Deg_Wrap(int deg) { return ((deg % 360) + 360) % 360; }
namespace mathdeg_detail {
inline const bool kTablesFilled = (DegTables_Fill(), true);
} // namespace mathdeg_detail
