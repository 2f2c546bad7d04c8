#include "core/BodyMotion.h"

#include "core/AstroMath.h"
#include "core/Formats.h"

#include <array>

namespace qor {

namespace {

struct Dms {
    int deg, min, sec;
};

// Degrees, minutes and seconds a day, points 0..10.
constexpr std::array<Dms, 11> kMaxMotion = {{{1, 1, 9},
                                             {1, 1, 9},
                                             {15, 14, 39},
                                             {2, 12, 7},
                                             {1, 15, 31},
                                             {0, 47, 29},
                                             {0, 14, 32},
                                             {0, 7, 49},
                                             {0, 3, 47},
                                             {0, 2, 18},
                                             {0, 2, 26}}};

} // namespace

std::string MaxSpeedText(int point) {
    if (point < 0 || point > 10) return {};
    const Dms& m = kMaxMotion[point];
    return IntToStrW(m.deg, 3) + kDegreeSign + IntToStrW(m.min, 2) + "'" + IntToStrW(m.sec, 2) +
           "\"";
}

double MaxDailyMotion(int point) {
    if (point < 0 || point > 10) return 0;
    const Dms& m = kMaxMotion[point];
    return ((m.deg * 60.0 + m.min) * 60.0 + m.sec) * kArcsecToRad;
}

} // namespace qor
