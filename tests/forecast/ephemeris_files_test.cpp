// Ephemeris cache files: the record layout, the names, the calendar of the records, the fixed
// options, the extra-body slots, the atomic save, the text dumps, and the files read by an
// independent reader (Python's struct) against the calendar and python3-ephem.
#include "forecast/EphemerisFiles.h"

#include "core/AstroMath.h"
#include "core/Chart.h"
#include "core/Formats.h"
#include "core/Planets.h"
#include "core/Text.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace qor::forecast {
namespace {

const fs::path kData = fs::path(QOR_SOURCE_DIR) / "data";

class EphemerisFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        s.ProgramFolder = kData;
        for (int i = 0; i < kPlanetSeriesBodies; ++i) ASSERT_TRUE(LoadPlanetTerms(s, i).ok) << i;
        s.ProgramFolder = dir.path();
        s.Report = &report;
    }
    std::string Compute(EphemerisKind kind, int year) {
        const auto chart = EphemerisChart(s);
        return ComputeEphemeris(s, *chart, kind, year);
    }
    static std::vector<EphemerisRecord> Records(const std::string& bytes) {
        std::vector<EphemerisRecord> out;
        LeReader in(bytes);
        while (in.remaining() > 0) out.push_back(ReadEphemerisRecord(in));
        EXPECT_TRUE(in.ok());
        return out;
    }

    test::TempDir dir;
    test::RecordingReport report;
    AstroDat s;
};

// The record field by field: three little-endian 16-bit integers, then sixteen doubles.
TEST(EphemerisRecordTest, LayoutOf134Bytes) {
    EphemerisRecord r;
    r.Day = 31;
    r.Month = 12;
    r.Third = -1;
    for (int i = 0; i < kEphemerisPoints; ++i) r.Lon[i] = 0.5 * (i + 1);
    LeWriter w;
    WriteEphemerisRecord(w, r);
    const std::string& b = w.bytes();
    ASSERT_EQ(b.size(), kEphemerisRecordSize);
    EXPECT_EQ(b.substr(0, 6), std::string("\x1f\x00\x0c\x00\xff\xff", 6));
    // 0.5 = 0x3FE0000000000000, little-endian after the integers.
    EXPECT_EQ(b.substr(6, 8), std::string("\x00\x00\x00\x00\x00\x00\xe0\x3f", 8));
    LeReader in(b);
    const EphemerisRecord back = ReadEphemerisRecord(in);
    EXPECT_TRUE(in.ok());
    EXPECT_EQ(back.Day, 31);
    EXPECT_EQ(back.Month, 12);
    EXPECT_EQ(back.Third, -1);
    EXPECT_EQ(back.Lon, r.Lon);
    const std::string shortBytes = b.substr(0, 133);
    LeReader shortOne(shortBytes);
    ReadEphemerisRecord(shortOne);
    EXPECT_FALSE(shortOne.ok());
}

TEST(EphemerisNamesTest, OneNameForEveryYear) {
    const struct {
        EphemerisKind kind;
        int year;
        const char* name;
    } cases[] = {
        {EphemerisKind::Annual, 2024, "Wrk\\Tab2024.wrk"},
        {EphemerisKind::Annual, 33, "Wrk\\Tab0033.wrk"},
        {EphemerisKind::Annual, 0, "Wrk\\Tab0000.wrk"},
        {EphemerisKind::Annual, -44, "Wrk\\Tab-0044.wrk"},
        {EphemerisKind::Annual, 9999, "Wrk\\Tab9999.wrk"},
        {EphemerisKind::Century, 2024, "Wrk\\Cen21.wrk"},
        {EphemerisKind::Century, 2000, "Wrk\\Cen21.wrk"},
        {EphemerisKind::Century, 1999, "Wrk\\Cen20.wrk"},
        {EphemerisKind::Century, 1, "Wrk\\Cen1.wrk"},
        {EphemerisKind::Century, 0, "Wrk\\Cen1.wrk"},
        {EphemerisKind::Century, -50, "Wrk\\Cen0.wrk"},
        {EphemerisKind::Century, -100, "Wrk\\Cen0.wrk"},
        {EphemerisKind::Century, -101, "Wrk\\Cen-1.wrk"},
    };
    for (const auto& c : cases) EXPECT_EQ(EphemerisFileName(c.kind, c.year), c.name) << c.year;
    EXPECT_EQ(CenturyFirstYear(CenturyOfYear(-50)), -100);
    EXPECT_EQ(CenturyLastYear(CenturyOfYear(-50)), 0);
}

// Annual names hold four digits; a century file's years must fit its 16-bit field.
TEST(EphemerisNamesTest, YearsThatFit) {
    const struct {
        EphemerisKind kind;
        int year;
        bool fits;
    } cases[] = {
        {EphemerisKind::Annual, 9999, true},
        {EphemerisKind::Annual, 10000, false},
        {EphemerisKind::Annual, -9999, true},
        {EphemerisKind::Annual, -10000, false},
        {EphemerisKind::Century, 32699, true},
        {EphemerisKind::Century, 32700, false},
        {EphemerisKind::Century, -32700, true},
        {EphemerisKind::Century, -32701, false},
        {EphemerisKind::Century, 2147483647, false},
        {EphemerisKind::Century, -2147483647 - 1, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EphemerisYearFits(c.kind, c.year), c.fits)
            << (c.kind == EphemerisKind::Annual ? "annual " : "century ") << c.year;
}

// The weekday code counts from Tuesday, and stays in 0..6 before the Julian day's epoch.
TEST(EphemerisNamesTest, WeekdayCodeFromTheJulianDay) {
    const struct {
        double jd0h;
        int code;
    } cases[] = {
        {2458484.5, 0}, // 2019 January 1, a Tuesday
        {2460310.5, 6}, // 2024 January 1, a Monday
        {2460311.5, 0}, // 2024 January 2, a Tuesday
        {-0.5, 6},      // −4712 January 1 (Julian), the Monday of Julian day 0
        {-7.5, 6},      // a week before
        {-1.5, 5},      // the Sunday before
    };
    for (const auto& c : cases) EXPECT_EQ(EphemerisWeekdayCode(c.jd0h), c.code) << c.jd0h;
}

TEST(EphemerisNamesTest, WhereADateStandsInItsFile) {
    const struct {
        int y, m, d, index;
    } annual[] = {{2024, 1, 1, 0},     {2024, 12, 31, 365}, {2023, 12, 31, 364}, {2023, 2, 29, -1},
                  {2024, 2, 29, 59},   {1582, 10, 4, 276},  {1582, 10, 15, 277}, {1582, 10, 10, -1},
                  {1582, 12, 31, 354}, {-44, 3, 15, 74}, // a Julian leap year
                  {2024, 13, 1, -1}};
    for (const auto& c : annual)
        EXPECT_EQ(AnnualRecordIndex(c.y, c.m, c.d), c.index) << c.y << "-" << c.m << "-" << c.d;
    EXPECT_EQ(CenturyRecordIndex(2000, 1), 0);
    EXPECT_EQ(CenturyRecordIndex(2024, 3), 290);
    EXPECT_EQ(CenturyRecordIndex(1999, 1), 1188);
    EXPECT_EQ(CenturyRecordIndex(-50, 1), 600);
}

// The records run through the days of the year's calendar, 1 January first, and the months
// of 101 years; their count gives the sizes 48,910, 49,044 and 162,408 bytes.
TEST_F(EphemerisFilesTest, RecordsFollowTheCalendar) {
    const struct {
        EphemerisKind kind;
        int year;
        std::size_t records;
    } cases[] = {{EphemerisKind::Annual, 2023, 365}, {EphemerisKind::Annual, 2024, 366},
                 {EphemerisKind::Annual, 1900, 365}, {EphemerisKind::Annual, 1582, 355},
                 {EphemerisKind::Annual, -44, 366},  {EphemerisKind::Century, 2024, 1212}};
    for (const auto& c : cases) {
        const std::string bytes = Compute(c.kind, c.year);
        ASSERT_EQ(bytes.size(), c.records * kEphemerisRecordSize) << c.year;
        const std::vector<EphemerisRecord> r = Records(bytes);
        EXPECT_EQ(r.front().Day, 1);
        EXPECT_EQ(r.front().Month, 1);
        if (c.kind == EphemerisKind::Annual) {
            EXPECT_EQ(r.back().Day, 31) << c.year;
            EXPECT_EQ(r.back().Month, 12) << c.year;
            // Each record is the day after the one before: the weekday code steps by one.
            for (std::size_t k = 1; k < r.size(); ++k)
                ASSERT_EQ(r[k].Third, (r[k - 1].Third + 1) % 7) << c.year << " record " << k;
        } else {
            EXPECT_EQ(r.front().Third, 2000);
            EXPECT_EQ(r.back().Third, 2100);
            EXPECT_EQ(r.back().Month, 12);
        }
    }
    // 1582: the Julian calendar ends on 4 October, the Gregorian one starts on the 15th.
    const std::vector<EphemerisRecord> r = Records(Compute(EphemerisKind::Annual, 1582));
    EXPECT_EQ(r[276].Day, 4);
    EXPECT_EQ(r[277].Day, 15);
    EXPECT_EQ(r[277].Month, 10);
}

// The file is built with fixed options: the place, the chart's time of day, the light-time
// switch and the observer's planet of the state change no byte, and the chart moment and the
// light-time switch are as before afterwards.
TEST_F(EphemerisFilesTest, FixedOptionsWhateverTheChart) {
    const std::string plainAnnual = Compute(EphemerisKind::Annual, 2024);
    const std::string plainCentury = Compute(EphemerisKind::Century, 1999);
    s.ChartLat = 60 * kDegToRad;
    s.ChartLong = 30 * kDegToRad;
    s.ChartYear = 1977;
    s.ChartMonth = 5;
    s.ChartDay = 17;
    s.ChartHour = 15;
    s.ChartMinute = 37;
    s.ChartSecond = 12;
    s.ChartZone = 180;
    s.UseLightTime = false;
    const ChartContext before = s;
    EXPECT_EQ(Compute(EphemerisKind::Annual, 2024), plainAnnual);
    EXPECT_EQ(Compute(EphemerisKind::Century, 1999), plainCentury);
    const ChartContext& after = s;
    EXPECT_EQ(after.ChartYear, before.ChartYear);
    EXPECT_EQ(after.ChartDay, before.ChartDay);
    EXPECT_EQ(after.ChartHour, before.ChartHour);
    EXPECT_EQ(after.ChartMinute, before.ChartMinute);
    EXPECT_EQ(after.ChartZone, before.ChartZone);
    EXPECT_EQ(after.ChartLat, before.ChartLat);
    EXPECT_FALSE(s.UseLightTime);
    EXPECT_EQ(s.ContextDepth, 0);
}

// Slots 15 and 16 hold extra bodies 1 and 2 when they are on, else 0. The file holds the places
// alone; the chart takes the planets' and extra bodies' places from their vectors, which agree
// with them within the last bits (1e-12 rad), and the rest bit for bit.
TEST_F(EphemerisFilesTest, ExtraBodySlots) {
    for (int k = 1; k <= 2; ++k)
        ASSERT_TRUE(ParseOrbitElementsLine(s, k, std::to_string(6 + 90 * k), "73", "80", "10.6",
                                           "0.079", "2.767", "2451545"));
    for (int extra = 0; extra <= 2; ++extra) {
        s.NExtra = extra;
        const std::vector<EphemerisRecord> r = Records(Compute(EphemerisKind::Annual, 2024));
        // The chart of 10 March 2024, 0h UT, as the program computes it.
        s.ChartYear = 2024, s.ChartMonth = 3, s.ChartDay = 10;
        s.ChartHour = s.ChartMinute = s.ChartSecond = s.ChartZone = 0;
        const auto chart = EphemerisChart(s);
        chart->CalcAstroTime();
        chart->CalcChart(0);
        const EphemerisRecord& day = r[AnnualRecordIndex(2024, 3, 10)];
        ASSERT_EQ(day.Day, 10);
        // The file sums the planets' series to the last bit and turns them angle by angle; the
        // chart lets the series' smallest terms round otherwise and turns the bodies after the
        // Moon as vectors: those within a rounding's worth, the Sun and the Moon as they are.
        for (int i = 1; i <= 16; ++i) {
            const double lon = i <= 14 + extra ? s.PlanetLon[i] : 0.0;
            if ((i >= 3 && i <= 10) || i >= 15)
                EXPECT_NEAR(std::remainder(day.Lon[i - 1] - lon, kTwoPi), 0, 1e-12)
                    << extra << " extra bodies, point " << i;
            else
                EXPECT_EQ(day.Lon[i - 1], lon) << extra << " extra bodies, point " << i;
        }
    }
}

// The whole file saved atomically: a folder "Wrk" that cannot hold it fails the save and
// leaves no file; an old file is replaced whole.
TEST_F(EphemerisFilesTest, SavedWholeOrNotAtAll) {
    const fs::path file = s.DataPath("Wrk\\Tab2024.wrk");
    dir.Write("Wrk", "not a folder");
    const IoResult failed = BuildAnnualEphemeris(s, 2024);
    EXPECT_FALSE(failed.ok());
    EXPECT_EQ(failed.error, ENOTDIR);
    EXPECT_FALSE(fs::exists(file));
    fs::remove(dir.path() / "Wrk");
    dir.Write("Wrk/Tab2024.wrk", "an old torn file");
    ASSERT_TRUE(BuildAnnualEphemeris(s, 2024).ok());
    EXPECT_EQ(fs::file_size(file), 49044u);
    EXPECT_EQ(test::TempDir::Read(file), Compute(EphemerisKind::Annual, 2024));
    EXPECT_EQ(BuildAnnualEphemeris(s, 10000).error, ERANGE);
    EXPECT_EQ(BuildCenturyEphemeris(s, 40000).error, ERANGE);
}

TEST_F(EphemerisFilesTest, ReadingChecksTheSize) {
    std::vector<EphemerisRecord> r;
    EXPECT_EQ(ReadEphemerisFile(dir / "Wrk/none.wrk", r).error, ENOENT);
    dir.Write("Wrk/Torn.wrk", std::string(3 * kEphemerisRecordSize + 1, '\0'));
    EXPECT_EQ(ReadEphemerisFile(dir / "Wrk/Torn.wrk", r).error, EINVAL);
    EXPECT_TRUE(r.empty());
    dir.Write("Wrk/Three.wrk", std::string(3 * kEphemerisRecordSize, '\0'));
    EXPECT_TRUE(ReadEphemerisFile(dir / "Wrk/Three.wrk", r).ok());
    EXPECT_EQ(r.size(), 3u);
}

// The dumps: the header of the point names as words and the first line of each kind, over
// records whose longitudes are known.
TEST_F(EphemerisFilesTest, TextDumps) {
    std::vector<EphemerisRecord> records(2);
    records[0].Day = 1;
    records[0].Month = 1;
    records[0].Third = 6;
    records[1].Day = 1;
    records[1].Month = 2;
    records[1].Third = -50;
    const double degrees[kEphemerisPoints] = {0, 45.5, 359.999999, 120.25, 1,    2,       3,  4, 5,
                                              6, 7,    8,          9.125,  10.5, 29.9999, 330};
    for (int i = 0; i < kEphemerisPoints; ++i)
        records[0].Lon[i] = records[1].Lon[i] = degrees[i] * kDegToRad;
    LeWriter w;
    for (const EphemerisRecord& r : records) WriteEphemerisRecord(w, r);
    const fs::path wrk = dir.Write("Wrk/Tab2024.wrk", w.bytes());
    s.EnglishMode = true;
    s.GlyphNames = true;
    ASSERT_TRUE(AnnualEphemerisToText(s, wrk, dir / "Wrk/Tab2024.txt").ok());
    ASSERT_TRUE(CenturyEphemerisToText(s, wrk, dir / "Wrk/Cen.txt").ok());
    EXPECT_TRUE(s.GlyphNames);
    std::vector<std::string> annual, century;
    ASSERT_TRUE(ReadTextLines(dir / "Wrk/Tab2024.txt", annual).ok());
    ASSERT_TRUE(ReadTextLines(dir / "Wrk/Cen.txt", century).ok());
    ASSERT_EQ(annual.size(), 3u);
    ASSERT_EQ(century.size(), 3u);
    const std::string names = "   Sun          Moon         Mercury      Venus        Mars      "
                              "   Jupiter      Saturn       Uranus       Neptune      Pluto     "
                              "   R.Node       S.Node       Lilit        Selena       Proserpine"
                              "   Chiron    ";
    EXPECT_EQ(annual[0], "    " + names);
    EXPECT_EQ(century[0], "         " + names);
    const std::string places = Cp("  0°00'00\"Ari 15°30'00\"Tau  0°00'00\"Ari  0°15'00\"Leo "
                                  " 1°00'00\"Ari  2°00'00\"Ari  3°00'00\"Ari  4°00'00\"Ari "
                                  " 5°00'00\"Ari  6°00'00\"Ari  7°00'00\"Ari  8°00'00\"Ari "
                                  " 9°07'30\"Ari 10°30'00\"Ari  0°00'00\"Tau  0°00'00\"Psc");
    EXPECT_EQ(annual[1], " 1.01" + places);
    EXPECT_EQ(century[1], " 1.01.0006" + places);
    EXPECT_EQ(century[2].substr(0, 11), " 1.02.-0050");
    // The Russian names.
    s.EnglishMode = false;
    ASSERT_TRUE(AnnualEphemerisToText(s, wrk, dir / "Wrk/Tab2024.txt").ok());
    ASSERT_TRUE(ReadTextLines(dir / "Wrk/Tab2024.txt", annual).ok());
    EXPECT_EQ(annual[0].substr(0, 24), Cp("       Солнце       Луна"));
    // A file that is not whole records is not dumped; nothing is written.
    dir.Write("Wrk/Torn.wrk", std::string(140, '\0'));
    EXPECT_EQ(AnnualEphemerisToText(s, dir / "Wrk/Torn.wrk", dir / "Wrk/Torn.txt").error, EINVAL);
    EXPECT_FALSE(fs::exists(dir / "Wrk/Torn.txt"));
}

// An independent reader: Python's struct ("<3h16d") over the files built here, against the
// calendar and python3-ephem (the script states its tolerances).
TEST_F(EphemerisFilesTest, IndependentReaderAndPythonEphem) {
    if (!fs::exists("/usr/bin/python3")) GTEST_SKIP() << "no /usr/bin/python3";
    for (int year : {2023, 2024, 33}) ASSERT_TRUE(BuildAnnualEphemeris(s, year).ok()) << year;
    for (int year : {2024, 1999, -50}) ASSERT_TRUE(BuildCenturyEphemeris(s, year).ok()) << year;
    // The year 2000 names the same century file as 2024.
    EXPECT_EQ(EphemerisFileName(EphemerisKind::Century, 2000), "Wrk\\Cen21.wrk");
    const fs::path script = fs::path(QOR_SOURCE_DIR) / "tests/forecast/check_ephemeris_files.py";
    const std::string command =
        "/usr/bin/python3 '" + script.string() + "' '" + dir.path().string() + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buf[4096];
    while (std::fgets(buf, sizeof buf, pipe)) output += buf;
    const int status = pclose(pipe);
    EXPECT_EQ(status, 0) << output;
    std::printf("%s", output.c_str());
}

} // namespace
} // namespace qor::forecast
