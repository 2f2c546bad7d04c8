// The searches under the texts of the current moment: the day of the Moon (moonrises counted
// from the new Moon), the solar calendar whose year starts at the first sunrise after the
// vernal equinox (its year totem 1..32, its 30-day months and its days), and the planetary
// hours of the current day or night.
//
// Each routine computes on the chart state `s` through the program's chart computation, at
// the chart's place and in its zone, and leaves the chart exactly as it found it (moment,
// time step, points). The searches over the Sun's and the Moon's places are geocentric
// whatever the heliocentric, horizontal or observer-on-another-planet settings; rise and set
// are those of RiseSet.h (the observer's horizon, the threshold of GeneralOptions::RiseGroup).
#pragma once

#include "core/AstroDat.h"
#include "core/ChartState.h"
#include "core/DayInfo.h"

#include <array>
#include <string>

namespace qor {

// The mean interval between two moonrises used to count the days of the Moon, in days:
// 24 h 52.68 min.
constexpr double kMoonDayLength = 1.0365833333333334;

// The options of the searches: the chart seen from the Earth's centre (the rise and set
// search takes the observer's horizon itself).
ChartOptions GeocentricOptions(const ChartOptions& opt);

// The new Moon before the chart moment (or at it): the Moon's elongation from the Sun is
// driven to 0 backwards by steps of elongation / (the Moon's − the Sun's daily motion) until
// a step is 1 second or less, 50 steps at most; geocentric places, no parallax. The chart
// moment is left at the found moment (the caller keeps the context).
LunationSearch FindPreviousNewMoon(AstroDat& s, const ChartOptions& opt, int maxSteps = 50);

// A moment found by a rise or set search.
struct FoundMoment {
    bool found = false;
    double jdUT = 0;
    std::string text; // ChartDateTimeLine of it, empty when not found
};

// The day of the Moon at the chart moment: 1 before the first moonrise after the new Moon,
// then Round((last moonrise − first moonrise) / kMoonDayLength) + 2, at most 30. It cannot be
// counted (day 0) when the new Moon is not found or a moonrise it needs is not (polar day or
// night of the Moon).
struct MoonDay {
    int day = 0;
    LunationSearch newMoon;
    FoundMoment firstRise;
    bool lastRiseSearched = false; // only when the moment is after the first moonrise
    FoundMoment lastRise;
};
MoonDay MoonDayCount(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen);

// The vernal equinox of year `year` (astronomical numbering) in the chart's zone: from 22
// March, 12:00, the Sun's longitude of date is driven to 0 by steps of longitude / its daily
// motion until a step is 1 second or less, 50 steps at most (found false after them). The
// chart moment is left at the found moment.
struct EquinoxSearch {
    bool found = false;
    double jdUT = 0;
    std::string text;
};
EquinoxSearch FindVernalEquinox(AstroDat& s, const ChartOptions& opt, int year);

// The totem 1..32 of a year of the solar calendar that starts in `year`.
int SunYearTotem(int year);

// The solar-calendar year that holds the chart moment: it starts at the first sunrise after
// the vernal equinox; a moment before this year's start belongs to the year before. `passes`
// holds the equinox and the start of each year looked at, the last one the year's.
struct SunYearPass {
    int year = 0, totem = 0;
    EquinoxSearch equinox;
    FoundMoment start;
};
struct SunYear {
    bool found = false; // the year's equinox and start were found
    int totem = 0;
    double startJD = 0;
    std::array<SunYearPass, 2> passes;
    int passCount = 0;
};
SunYear SunYearStart(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen);

// The day of the solar year at the chart moment, counted in sunrises: the last sunrise d
// days after the year's start is day d + 1; month (d − 1) div 30 + 1, day of the month
// (d − 1) mod 30 + 1 (the 13th month holds days 361..366).
struct SunDay {
    bool found = false; // the year and the last sunrise were found
    int number = 0, month = 0, dayOfMonth = 0;
    FoundMoment lastRise;
};
SunDay SunDayNumber(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen,
                    const SunYear& year);

// The planet 1..7 (Sun, Moon, Mercury, Venus, Mars, Jupiter, Saturn) that rules hour 1..12
// of the day (night false) or of the night of weekday 0..6 (0 Sunday): the first day hour is
// the weekday's planet and each next hour, through the twelve night hours, the next one of
// the Chaldean order Saturn, Jupiter, Mars, Sun, Venus, Mercury, Moon. 1 for any other hour
// or weekday.
int PlanetaryHourRuler(int weekDay, int hour, bool night);

// The planetary hours of the day (the Sun up at the chart moment) or of the night that holds
// the chart moment: the period from sunrise to sunset or from sunset to sunrise in twelve
// equal hours.
struct PlanetaryHours {
    bool isDay = false;
    bool found = false;    // both ends of the period were found
    FoundMoment sunrise;   // the day's start or the night's end
    FoundMoment sunset;    // the day's end or the night's start
    double startJD = 0, endJD = 0, hourMinutes = 0;
    int weekDay = 0;       // the weekday of the period (a night after midnight: the day before)
    int calendarWeekDay = 0;
    int current = 0;       // the hour of the chart moment, 1..12
    std::array<int, 12> rulers{};
    std::array<std::string, 12> starts{}; // "hh:mm:ss" of the chart's zone
};
PlanetaryHours FindPlanetaryHours(AstroDat& s, const ChartOptions& opt,
                                  const GeneralOptions& gen);

} // namespace qor
