// Year tables: the Moon day log (moonrise, moonset, new and full moon, the lunar day), the
// sunrise and sunset table with the lengths of the day and night hours, the Moon's apogees and
// perigees, and a planet's ingresses into the signs with its stations.
//
// Every table is computed on the chart state `s` through the program's chart computation
// (ChartEngine, one body at a time), at the chart's place, in the chart's zone (local times,
// no summer time), for the whole local year. A table is computed a stretch at a time (Step),
// so that a window can show the date reached and stop between stretches; each stretch leaves
// the chart moment, the parallax switch and the naming switches of `s` as it found them.
//
// Times are those of the last whole minute before the event (rise, set, phase, apsis);
// ingresses and stations are rounded to the nearest minute.
#pragma once

#include "core/AstroDat.h"
#include "core/AstroMath.h"
#include "core/ChartEngine.h"
#include "forecast/EphemerisFiles.h"

#include <memory>
#include <string>
#include <vector>

namespace qor::forecast {

// The altitude of the disc's centre at which a body counts as rising, by the general settings'
// RiseGroup: 0 the upper limb with refraction (50'), 1 the centre with refraction (34'), 2 the
// centre (0); any other item keeps `previous`. Radians below the horizon.
double RiseAltitudeCorrection(int riseGroup, double previous);
constexpr double kUpperLimbWithRefraction = 0.014544410433286; // 50'

// What a table is made for.
struct YearTableInput {
    int year = 2000;
    double h0 = kUpperLimbWithRefraction; // a body counts as risen above −h0
    // The header texts, as the birth-data window shows the chart's place and zone.
    std::string city, lat, lon, zone;
};

// The clock of a table: local seconds from 0:00 of a base date in the chart's zone. The
// chart moment is that date with the hours counted on (the time step takes hours past 23).
class TableClock {
public:
    TableClock(AstroDat& s, ChartEngine& chart, int baseYear, int baseMonth, int baseDay);
    // Moves the chart moment `sec` (>= 0) seconds past the base and runs the time step.
    void Set(long long sec);
    // Universal-time Julian day of a moment.
    double JD(long long sec) const { return jdLocalBase_ + sec / 86400.0 - zone_ / 1440.0; }
    // The moment of a universal-time Julian day, to the nearest second.
    long long SecondOf(double jdUT) const;
    // The local date of the day that holds a moment; its weekday (0 Sunday).
    DateTimeRec DateOf(long long sec) const;
    int WeekDayOf(long long sec) const;

private:
    AstroDat& s_;
    ChartEngine& chart_;
    int baseYear_, baseMonth_, baseDay_;
    int zone_;
    double jdLocalBase_; // the Julian day number of the base date's 0h
};

// A rise (true) or a set of a body: the last whole second before it crosses the altitude.
struct HorizonEvent {
    long long sec = 0;
    bool rise = false;
};

// Every rise and set of the Sun (1) or the Moon (2) between two moments: the altitude above
// −h0 sampled hourly, each change of side refined to the second; between three samples on one
// side, a short dip or peak that reaches the other side (near the poles) is found by the
// parabola through them. Bounded: one pass over the span, nothing steps back. Hours whose
// samples could neither change side nor make such a parabola, by the fastest the altitude can
// change at the observer's latitude `lat`, are passed over: the events are the same.
class HorizonScan {
public:
    HorizonScan(TableClock& clock, ChartEngine& chart, int body, double h0, double lat,
                long long from, long long to);
    bool Done() const { return next_ > to_ + 3600; }
    // Samples up to `until`.
    void Advance(long long until);
    const std::vector<HorizonEvent>& Events() const { return events_; }
    // The altitude above −h0 at a moment (radians).
    double Value(long long sec);

private:
    void Refine(long long a, double va, long long b, double vb);

    TableClock& clock_;
    ChartEngine& chart_;
    int body_;
    double h0_;
    double maxRate_; // radians an hour
    long long from_, to_, next_;
    int samples_ = 0;
    long long t0_ = 0, t1_ = 0;
    double v0_ = 0, v1_ = 0;
    std::vector<HorizonEvent> events_;
};

// A table computed a stretch at a time.
class YearTable {
public:
    virtual ~YearTable() = default;
    bool Done() const { return done_; }
    // Computes the next stretch (about a month of the year).
    virtual void Step() = 0;
    void Run() {
        while (!done_) Step();
    }
    // The local date reached, "yyyy.mm.dd".
    const std::string& Reached() const { return reached_; }
    // The finished table, header first.
    const std::vector<std::string>& Lines() const { return lines_; }

protected:
    bool done_ = false;
    std::string reached_;
    std::vector<std::string> lines_;
};

// The Moon day log of a year. `annual` is the year's annual ephemeris file (its Sun and Moon
// bracket the new and full moons); the log needs it.
std::unique_ptr<YearTable> MakeMoonDayLog(AstroDat& s, ChartEngine& chart, const YearTableInput& in,
                                          std::vector<EphemerisRecord> annual);
// Sunrises and sunsets of a year with the day and night hours.
std::unique_ptr<YearTable> MakeSunRiseSetTable(AstroDat& s, ChartEngine& chart,
                                               const YearTableInput& in);
// The Moon's apogees and perigees from 10 December of the year before: 29 extremes, an apogee
// and the perigee found next to it on one line.
std::unique_ptr<YearTable> MakeMoonApsidesTable(AstroDat& s, ChartEngine& chart,
                                                const YearTableInput& in);
// The ingresses of chart point `point` (1..10) into the signs and, for Mercury .. Pluto, its
// stations, over `period` whole years from 1 January of the year (none when the period is 0
// or less), sorted by time. The longitudes are those the chart computes (heliocentric when
// the chart is); `heliocentric` names the system in the header.
std::unique_ptr<YearTable> MakePlanetIngressLog(AstroDat& s, ChartEngine& chart,
                                                const YearTableInput& in, int point, int period,
                                                bool heliocentric);

// The chart point 1..10 whose name as a word in the language in use is `text` (blanks around
// do not count); 0 when none.
int IngressPlanetOf(AstroDat& s, const std::string& text);

// The tables' files.
std::string MoonDayLogFileName(int year);   // "Wrk\Moon2024.wrk"
std::string SunTableFileName(int year);     // "Wrk\Sun2024.wrk"
std::string ApsidesTableFileName(int year); // "Wrk\Map2024.wrk"
// "Wrk\Ingres" + the English name + year + "_" + period + ".txt" ("Wrk\IngresPluto2012_13.txt").
std::string IngressLogFileName(int point, int year, int period);

} // namespace qor::forecast
