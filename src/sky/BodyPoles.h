// Where the north poles of the bodies' equators point: the ecliptic latitude and longitude of
// date of each body's rotation pole, for the cosmos view's globes, rings and moons and for the
// wheel's orbit marks.
#pragma once

#include "core/AstroDat.h"

namespace qor {

struct PoleDirection {
    double lon = 0, lat = 0; // ecliptic of date, radians
};

// The pole of chart point k's equator:
//   0 the Earth: latitude 66.558°, longitude 90°;
//   1 the Sun: 7.25° from the ecliptic pole, 90° behind the node of the solar equator
//     (73.6667° + 1.3958333° a century from 1850);
//   2 the Moon: 1°32'47" from the ecliptic pole, 90° ahead of the ascending node of its orbit
//     (PlanetLon[11]), so that the ecliptic pole lies between the poles of the orbit and of the
//     equator (Cassini's laws);
//   3..9 Mercury..Neptune: the pole of 1992 January 1.0 moved by the general precession in
//     longitude (50.29" a year); Venus and Uranus, which turn backwards, have the pole about
//     which they turn counter-clockwise, south of the ecliptic;
//   any other k (Pluto, the nodes, the cusps): the ecliptic pole.
PoleDirection BodyEquatorPole(const AstroDat& s, int k);

} // namespace qor
