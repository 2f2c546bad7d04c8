// Ephemeris cache files: the body longitudes of a year, one record a day ("Wrk\Tab2024.wrk"),
// or of a century, one record a month ("Wrk\Cen21.wrk"), which the forecast tables, the
// motion graph and the calendar read instead of computing each chart again.
//
// A file is nothing but records of 134 bytes back to back, little-endian, no header:
//
//   offset  0  int16   day of the month (1 in a century file)
//   offset  2  int16   month 1..12
//   offset  4  int16   annual file: weekday code, floor(Julian day at 0h UT) mod 7,
//                      0 = Tuesday, 1 = Wednesday .. 6 = Monday;
//                      century file: the year (astronomical numbering, 0 = 1 BC)
//   offset  6  16 × double  chart points 1..16: apparent geocentric ecliptic longitude of
//                      date, radians (Sun, Moon, Mercury .. Pluto, the nodes, Black and White
//                      Moon, extra bodies 1 and 2, or 0 where an extra body is off)
//
// Every record is computed for 0h UT of its day with fixed options, whatever the settings
// windows hold: the Earth's centre, no parallax, light time and aberration, true nodes, the
// Black Moon as the second focus, the White Moon of the Arta theory. So one file serves every
// chart and never needs building again.
//
// An annual file runs through the days of its year's calendar (Julian before 15 October
// 1582, so 1582 has 355 records), 1 January first; a century file c holds the 1st of every
// month from January of year (c − 1) × 100 through December of year c × 100: 1212 records.
#pragma once

#include "core/AstroDat.h"
#include "core/ChartEngine.h"
#include "core/Files.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qor::forecast {

constexpr std::size_t kEphemerisRecordSize = 134;
// The most records a file holds: a century file's 101 years of 12 months.
constexpr std::size_t kEphemerisMaxRecords = 101 * 12;
constexpr int kEphemerisPoints = 16;

struct EphemerisRecord {
    int16_t Day = 0;
    int16_t Month = 0;
    int16_t Third = 0;                          // weekday code (annual) or year (century)
    std::array<double, kEphemerisPoints> Lon{}; // Lon[i − 1]: chart point i, radians
};

// One record, field by field.
void WriteEphemerisRecord(LeWriter& out, const EphemerisRecord& r);
// One record from the reader's position; check in.ok() afterwards.
EphemerisRecord ReadEphemerisRecord(LeReader& in);

enum class EphemerisKind { Annual, Century };

// The century of a year: floor(year / 100) + 1 (2000 and 2024 give 21, 1999 gives 20,
// −50 gives 0).
int CenturyOfYear(int year);
// The first and last years of century c: (c − 1) × 100 and c × 100.
inline int CenturyFirstYear(int c) {
    return (c - 1) * 100;
}
inline int CenturyLastYear(int c) {
    return c * 100;
}

// Annual files have a year of at most four digits; a century file's years must fit the
// 16-bit year field.
constexpr int kAnnualYearLimit = 9999;
bool EphemerisYearFits(EphemerisKind kind, int year);

// The one name of a file for the builder and every reader (a program name, see ResolvePath):
// "Wrk\Tab" + the year in 4 digits + ".wrk" ("Wrk\Tab0033.wrk", "Wrk\Tab-0044.wrk" before the
// era), "Wrk\Cen" + the century + ".wrk" ("Wrk\Cen21.wrk", "Wrk\Cen0.wrk", "Wrk\Cen-1.wrk").
std::string EphemerisFileName(EphemerisKind kind, int year);

// The Julian day of 0h of a calendar date (Julian before 15 October 1582).
double JulianDayOfDate(int year, int month, int day);

// The weekday code of a record whose day begins at the Julian day jd0h (x.5).
int EphemerisWeekdayCode(double jd0h);

// Where a date stands in the annual file of its year: the day of the year from 0, or −1 when
// the calendar has no such date (5..14 October 1582, 30 February).
int AnnualRecordIndex(int year, int month, int day);
// Where the 1st of a month stands in the century file of its year.
int CenturyRecordIndex(int year, int month);

// Reads a whole file. Fails (EINVAL) when its size is not a whole number of records, (EFBIG)
// when it holds more than kEphemerisMaxRecords.
IoResult ReadEphemerisFile(const fs::path& path, std::vector<EphemerisRecord>& records);

// --- Building ----------------------------------------------------------------------------------

// The chart computation of the files: the program's own, on `s`, with the fixed options above.
std::unique_ptr<ChartEngine> EphemerisChart(AstroDat& s);

// Computes the records of one file a step at a time: a month of an annual file, a year of a
// century file, so that a window can show the progress and stop between steps.
class EphemerisBuilder {
public:
    // The year must fit (EphemerisYearFits).
    EphemerisBuilder(EphemerisKind kind, int year);

    EphemerisKind Kind() const { return kind_; }
    bool Done() const { return done_; }
    // The next step's records on `s` through `chart` (an engine on `s`, normally
    // EphemerisChart). The chart moment and place of `s` and its light-time switch are as
    // before afterwards; its computed points hold the last record's values.
    void Step(AstroDat& s, ChartEngine& chart);
    // All the remaining steps.
    void Run(AstroDat& s, ChartEngine& chart);

    int Records() const { return records_; }
    // The date of the last record computed (0 before the first).
    int DayReached() const { return day_; }
    int MonthReached() const { return month_; }
    int YearReached() const { return year_; }
    // The file's bytes so far.
    const std::string& Bytes() const { return out_.bytes(); }

private:
    void Record(AstroDat& s, ChartEngine& chart, int year, int month, int day);

    EphemerisKind kind_;
    int fileYear_;  // the annual file's year
    int lastYear_;  // the century file's last year
    double nextJd_; // annual: 0h of the next day to compute
    int nextYear_;  // century: the next year to compute
    bool done_ = false;
    int records_ = 0;
    int day_ = 0, month_ = 0, year_ = 0;
    LeWriter out_;
};

// The records of a whole file (bytes), computed on `s` through `chart`.
std::string ComputeEphemeris(AstroDat& s, ChartEngine& chart, EphemerisKind kind, int year);

// Saves a file's bytes under its name in the program folder of `s`, atomically ("Wrk" is
// made when missing): on failure an old file stays as it was.
IoResult SaveEphemerisFile(const AstroDat& s, EphemerisKind kind, int year,
                           const std::string& bytes);

// Builds and saves the annual or century file of a year with the fixed options. The chart
// moment of `s` is as before afterwards; its computed points are not (compute the chart again).
IoResult BuildAnnualEphemeris(AstroDat& s, int year);
IoResult BuildCenturyEphemeris(AstroDat& s, int year);

// --- Text dumps --------------------------------------------------------------------------------

// The text form of a file: a header of 4 (annual) or 9 (century) blanks followed, for each
// point 1..16, by 3 blanks and its name as a word; then one line a record: the day
// blank-padded to 2, ".", the month in 2 digits (a century file adds "." and the year in
// 4 digits), then for each point a blank and its longitude within the sign with seconds and
// the sign's abbreviation ("12°35'07\"Leo").
std::vector<std::string> EphemerisTextLines(AstroDat& s, EphemerisKind kind,
                                            const std::vector<EphemerisRecord>& records);

// Reads the file `wrk` and writes its text form to `txt` (code page 1251, CR LF, atomically).
IoResult AnnualEphemerisToText(AstroDat& s, const fs::path& wrk, const fs::path& txt);
IoResult CenturyEphemerisToText(AstroDat& s, const fs::path& wrk, const fs::path& txt);

// A year as the names and the dumps write it: 4 digits, "-" before them for years before 0.
std::string EphemerisYearText(int year);

} // namespace qor::forecast
