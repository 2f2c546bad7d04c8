// The greatest daily motion in longitude of the Sun .. Pluto, as the astronomical table shows it
// (the speed of a body as a share of its greatest) and the forecast tables step by (a step in
// which a body moves about 5°).
#pragma once

#include <string>

namespace qor {

// Chart points 0 (the Earth, as the Sun) .. 10 (Pluto): the greatest geocentric daily motion
// as a text of 10 characters, "  1° 1' 9\"" (degrees right-aligned in 3, minutes and seconds
// blank-padded to 2); empty for any other point.
std::string MaxSpeedText(int point);

// The same in radians a day; 0 for any other point.
double MaxDailyMotion(int point);

} // namespace qor
