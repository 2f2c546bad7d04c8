#include "forecast/EphemerisFiles.h"

#include "core/AstroMath.h"
#include "core/ContextStack.h"
#include "core/Formats.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace qor::forecast {

namespace {

// The fixed options of the files (see the header): geocentric, no parallax.
ChartOptions FixedChartOptions() {
    return ChartOptions{};
}

GeneralOptions FixedGeneralOptions() {
    GeneralOptions g;
    g.HorParallax = false;
    g.UseEllipsoid = false;
    g.TrueNodes = true;
    g.BlackMoonFocus = true;
    return g;
}

int FloorDiv(int a, int b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

// Keeps the light-time switch of the state for the life of a scope.
class LightTimeOn {
public:
    explicit LightTimeOn(AstroDat& s) : s_(s), was_(s.UseLightTime) { s.UseLightTime = true; }
    ~LightTimeOn() { s_.UseLightTime = was_; }
    LightTimeOn(const LightTimeOn&) = delete;
    LightTimeOn& operator=(const LightTimeOn&) = delete;

private:
    AstroDat& s_;
    bool was_;
};

} // namespace

void WriteEphemerisRecord(LeWriter& out, const EphemerisRecord& r) {
    out.i16(r.Day);
    out.i16(r.Month);
    out.i16(r.Third);
    for (double lon : r.Lon) out.f64(lon);
}

EphemerisRecord ReadEphemerisRecord(LeReader& in) {
    EphemerisRecord r;
    r.Day = in.i16();
    r.Month = in.i16();
    r.Third = in.i16();
    for (double& lon : r.Lon) lon = in.f64();
    return r;
}

int CenturyOfYear(int year) {
    return FloorDiv(year, 100) + 1;
}

bool EphemerisYearFits(EphemerisKind kind, int year) {
    if (kind == EphemerisKind::Annual) return year >= -kAnnualYearLimit && year <= kAnnualYearLimit;
    // The century of the most extreme int years still computes without overflow in 64 bits.
    const long long c = static_cast<long long>(FloorDiv(year, 100)) + 1;
    return (c - 1) * 100 >= std::numeric_limits<int16_t>::min() &&
           c * 100 <= std::numeric_limits<int16_t>::max();
}

std::string EphemerisYearText(int year) {
    return year < 0 ? "-" + IntToStrZ(-static_cast<long long>(year), 4) : IntToStrZ(year, 4);
}

std::string EphemerisFileName(EphemerisKind kind, int year) {
    if (kind == EphemerisKind::Annual) return "Wrk\\Tab" + EphemerisYearText(year) + ".wrk";
    return "Wrk\\Cen" + std::to_string(CenturyOfYear(year)) + ".wrk";
}

double JulianDayOfDate(int year, int month, int day) {
    DateTimeRec r;
    r.Year = year;
    r.Month = month;
    r.Day = day;
    return JulianDayOf(r);
}

int EphemerisWeekdayCode(double jd0h) {
    const long long day = static_cast<long long>(std::floor(jd0h));
    const long long code = day % 7;
    return static_cast<int>(code < 0 ? code + 7 : code);
}

int AnnualRecordIndex(int year, int month, int day) {
    if (month < 1 || month > 12 || day < 1 || day > 31) return -1;
    const double jd = JulianDayOfDate(year, month, day);
    const DateTimeRec back = CalendarFromJD(jd);
    if (back.Year != year || back.Month != month || static_cast<int>(back.Day) != day) return -1;
    return static_cast<int>(std::lround(jd - JulianDayOfDate(year, 1, 1)));
}

int CenturyRecordIndex(int year, int month) {
    return (year - CenturyFirstYear(CenturyOfYear(year))) * 12 + (month - 1);
}

IoResult ReadEphemerisFile(const fs::path& path, std::vector<EphemerisRecord>& records) {
    records.clear();
    std::string bytes;
    // No file holds more records than a century's: a larger one is not read at all.
    IoResult r = ReadFileBytes(path, bytes, kEphemerisMaxRecords * kEphemerisRecordSize);
    if (!r.ok()) return r;
    if (bytes.size() % kEphemerisRecordSize != 0)
        return IoResult::Fail(EINVAL, path.string() + ": " + std::to_string(bytes.size()) +
                                          " bytes are not whole records of 134 bytes");
    LeReader in(bytes);
    records.reserve(bytes.size() / kEphemerisRecordSize);
    while (in.remaining() > 0) records.push_back(ReadEphemerisRecord(in));
    return r;
}

// --- Building ----------------------------------------------------------------------------------

std::unique_ptr<ChartEngine> EphemerisChart(AstroDat& s) {
    return std::make_unique<CurrentChart>(s, FixedChartOptions(), FixedGeneralOptions());
}

EphemerisBuilder::EphemerisBuilder(EphemerisKind kind, int year)
    : kind_(kind), fileYear_(year), lastYear_(CenturyLastYear(CenturyOfYear(year))),
      nextJd_(JulianDayOfDate(year, 1, 1)), nextYear_(CenturyFirstYear(CenturyOfYear(year))) {}

void EphemerisBuilder::Record(AstroDat& s, ChartEngine& chart, int year, int month, int day) {
    s.ChartYear = year;
    s.ChartMonth = month;
    s.ChartDay = day;
    s.ChartHour = s.ChartMinute = s.ChartSecond = 0;
    s.ChartZone = 0;
    s.ChartLat = s.ChartLong = 0;
    chart.CalcAstroTime();
    chart.CalcBodyPlaces();
    EphemerisRecord r;
    r.Day = static_cast<int16_t>(day);
    r.Month = static_cast<int16_t>(month);
    r.Third = static_cast<int16_t>(
        kind_ == EphemerisKind::Annual ? EphemerisWeekdayCode(chart.ChartJD()) : year);
    const int last = 14 + s.NExtra;
    const PointArray& lon = chart.PlanetLon();
    for (int i = 1; i <= kEphemerisPoints; ++i) r.Lon[i - 1] = i <= last ? lon[i] : 0.0;
    WriteEphemerisRecord(out_, r);
    ++records_;
    day_ = day;
    month_ = month;
    year_ = year;
}

void EphemerisBuilder::Step(AstroDat& s, ChartEngine& chart) {
    if (done_) return;
    ChartContextGuard guard(s);
    LightTimeOn light(s);
    if (kind_ == EphemerisKind::Annual) {
        int month = 0;
        for (;;) {
            const DateTimeRec d = CalendarFromJD(nextJd_);
            if (d.Year != fileYear_) {
                done_ = true;
                break;
            }
            if (month != 0 && d.Month != month) break;
            month = d.Month;
            Record(s, chart, d.Year, d.Month, static_cast<int>(d.Day));
            nextJd_ += 1;
        }
    } else {
        for (int m = 1; m <= 12; ++m) Record(s, chart, nextYear_, m, 1);
        ++nextYear_;
        done_ = nextYear_ > lastYear_;
    }
}

void EphemerisBuilder::Run(AstroDat& s, ChartEngine& chart) {
    while (!done_) Step(s, chart);
}

std::string ComputeEphemeris(AstroDat& s, ChartEngine& chart, EphemerisKind kind, int year) {
    EphemerisBuilder b(kind, year);
    b.Run(s, chart);
    return b.Bytes();
}

IoResult SaveEphemerisFile(const AstroDat& s, EphemerisKind kind, int year,
                           const std::string& bytes) {
    const fs::path path = s.DataPath(EphemerisFileName(kind, year));
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    return SaveFileAtomic(path, bytes);
}

namespace {
IoResult BuildEphemeris(AstroDat& s, EphemerisKind kind, int year) {
    if (!EphemerisYearFits(kind, year))
        return IoResult::Fail(ERANGE, "no ephemeris file for the year " + std::to_string(year));
    const std::unique_ptr<ChartEngine> chart = EphemerisChart(s);
    return SaveEphemerisFile(s, kind, year, ComputeEphemeris(s, *chart, kind, year));
}
} // namespace

IoResult BuildAnnualEphemeris(AstroDat& s, int year) {
    return BuildEphemeris(s, EphemerisKind::Annual, year);
}

IoResult BuildCenturyEphemeris(AstroDat& s, int year) {
    return BuildEphemeris(s, EphemerisKind::Century, year);
}

// --- Text dumps --------------------------------------------------------------------------------

std::vector<std::string> EphemerisTextLines(AstroDat& s, EphemerisKind kind,
                                            const std::vector<EphemerisRecord>& records) {
    const bool annual = kind == EphemerisKind::Annual;
    std::string header(annual ? 4 : 9, ' ');
    {
        // The names as words; the glyph setting as it was afterwards.
        const bool glyphs = s.GlyphNames;
        s.GlyphNames = false;
        for (int i = 1; i <= kEphemerisPoints; ++i) header += "   " + BodyName(s, i);
        s.GlyphNames = glyphs;
    }
    std::vector<std::string> lines;
    lines.reserve(records.size() + 1);
    lines.push_back(header);
    for (const EphemerisRecord& r : records) {
        std::string line = IntToStrW(r.Day, 2) + "." + IntToStrZ(r.Month, 2);
        if (!annual) line += "." + EphemerisYearText(r.Third);
        for (double lon : r.Lon) line += " " + FormatZodiacAbbr(true, lon);
        lines.push_back(std::move(line));
    }
    return lines;
}

namespace {
IoResult EphemerisToText(AstroDat& s, EphemerisKind kind, const fs::path& wrk,
                         const fs::path& txt) {
    std::vector<EphemerisRecord> records;
    IoResult r = ReadEphemerisFile(wrk, records);
    if (!r.ok()) return r;
    return WriteTextFileAtomic(txt, EphemerisTextLines(s, kind, records));
}
} // namespace

IoResult AnnualEphemerisToText(AstroDat& s, const fs::path& wrk, const fs::path& txt) {
    return EphemerisToText(s, EphemerisKind::Annual, wrk, txt);
}

IoResult CenturyEphemerisToText(AstroDat& s, const fs::path& wrk, const fs::path& txt) {
    return EphemerisToText(s, EphemerisKind::Century, wrk, txt);
}

} // namespace qor::forecast
