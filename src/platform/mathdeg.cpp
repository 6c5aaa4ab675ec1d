// The sine and cosine tables of the whole degrees (see mathdeg.h), made once when the program starts. Read by the
// board's drawing, the effects and the castles' spells.
#include "platform/mathdeg.h"

namespace {

struct Tables {
    float sin[361];
    float cos[361];
    Tables() {
        for (int d = 0; d <= 360; ++d) {
            sin[d] = float(Deg_Sin(d));
            cos[d] = float(Deg_Cos(d));
        }
    }
};

const Tables& TheTables() {
    static const Tables tables;
    return tables;
}

} // namespace

const float (&Sin_Table)[361] = TheTables().sin;
const float (&Cos_Table)[361] = TheTables().cos;
