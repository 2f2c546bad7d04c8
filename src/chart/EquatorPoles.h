// Where the north poles of the bodies' equators point, for the orbit marks of the wheel.
#pragma once

#include "core/AstroDat.h"

namespace qor::chart {

// Ecliptic longitude and latitude of date (radians) of the north pole of chart body k's
// equator: 0 the Earth, 1 the Sun, 2 the Moon, 3..10 Mercury..Pluto; any other k the ecliptic
// pole (longitude 0, latitude π/2). The poles are the IAU's J2000 directions (constant terms),
// moved to the date by the general precession in longitude.
struct PoleDirection {
    double lon = 0, lat = 0;
};
PoleDirection BodyEquatorPole(const AstroDat& s, int k);

} // namespace qor::chart
