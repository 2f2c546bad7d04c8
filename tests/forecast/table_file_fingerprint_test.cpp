// The files the forecast writes, pinned to the byte: the annual and century ephemeris files
// (leap year, the short year 1582, a year before the era, extra bodies on, Pluto outside its
// table) and the year tables as their window saves them (sunrises and sunsets, the Moon day
// log, apogees and perigees, ingresses), at a mid latitude and beyond the polar circle. Each
// file is cut into parts (a month of records, a year of a century, 31 lines of a table) and
// each part reduced to a fingerprint of its bytes, so that a faster way of building them is
// held to the very same files and a difference names the part where it starts.
//
// The stored fingerprints are rewritten with QOR_WRITE_TABLE_FINGERPRINTS=1 in the
// environment, only after a change that is meant to alter the files, and the reason goes into
// the commit.
#include "forecast/EphemerisFiles.h"
#include "forecast/YearTables.h"

#include "ForecastTestSupport.h"

#include "core/AstroMath.h"
#include "core/Files.h"
#include "core/Kepler.h"
#include "core/Planets.h"
#include "core/Text.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace qor::forecast {
namespace {

std::string Fingerprint(const std::string& bytes) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char b : bytes) {
        h ^= b;
        h *= 1099511628211ull;
    }
    std::ostringstream out;
    out << std::hex << std::setw(16) << std::setfill('0') << h;
    return out.str();
}

// "name part" → fingerprint, in the order made.
using Prints = std::vector<std::pair<std::string, std::string>>;

class TableFileFingerprints : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(test_support::PrepareTableState(s, dir.path(), report));
    }

    // An ephemeris file as built and saved; a part per month (annual) or year (century).
    void Ephemeris(const std::string& name, EphemerisKind kind, int year) {
        const IoResult r = kind == EphemerisKind::Annual ? BuildAnnualEphemeris(s, year)
                                                         : BuildCenturyEphemeris(s, year);
        ASSERT_TRUE(r.ok()) << name;
        const std::string bytes = test::TempDir::Read(s.DataPath(EphemerisFileName(kind, year)));
        ASSERT_EQ(bytes.size() % kEphemerisRecordSize, 0u) << name;
        std::map<int, std::string> parts;
        for (std::size_t at = 0; at < bytes.size(); at += kEphemerisRecordSize) {
            const std::string record = bytes.substr(at, kEphemerisRecordSize);
            LeReader in(record);
            const EphemerisRecord rec = ReadEphemerisRecord(in);
            const int part = kind == EphemerisKind::Annual ? rec.Month : rec.Third;
            parts[part] += bytes.substr(at, kEphemerisRecordSize);
        }
        for (const auto& [part, chunk] : parts)
            now.emplace_back(name + " " + std::to_string(part), Fingerprint(chunk));
    }

    void Place(double latDeg, double lonDeg, int zone) {
        s.ChartLat = latDeg * kDegToRad;
        s.ChartLong = lonDeg * kDegToRad;
        s.ChartZone = zone;
    }
    static YearTableInput In(int year) {
        return {year, kUpperLimbWithRefraction, "Somewhere  ", "55°45'N"_cp, " 37°37'E"_cp,
                " +03:00"};
    }
    // The records of the year's annual file, built and read back as the Moon window does.
    std::vector<EphemerisRecord> Annual(int year) {
        std::vector<EphemerisRecord> records;
        EXPECT_TRUE(BuildAnnualEphemeris(s, year).ok()) << year;
        EXPECT_TRUE(
            ReadEphemerisFile(s.DataPath(EphemerisFileName(EphemerisKind::Annual, year)), records)
                .ok())
            << year;
        return records;
    }

    // A table run whole and written as its window writes it; a part per 31 lines.
    void Table(const std::string& name, std::unique_ptr<YearTable> table) {
        table->Run();
        const fs::path path = dir / "table.wrk";
        ASSERT_TRUE(WriteTextFileAtomic(path, table->Lines()).ok()) << name;
        const std::string bytes = test::TempDir::Read(path);
        std::size_t at = 0;
        for (int part = 1; at < bytes.size(); ++part) {
            std::size_t end = at;
            for (int line = 0; line < 31 && end < bytes.size(); ++line) {
                const std::size_t nl = bytes.find('\n', end);
                end = nl == std::string::npos ? bytes.size() : nl + 1;
            }
            now.emplace_back(name + " " + std::to_string(part),
                             Fingerprint(bytes.substr(at, end - at)));
            at = end;
        }
    }

    test::TempDir dir;
    test::RecordingReport report;
    AstroDat s;
    ChartOptions opt;
    GeneralOptions gen;
    CurrentChart chart{s, opt, gen};
    Prints now;
};

TEST_F(TableFileFingerprints, EveryFileIsWrittenByteForByteAsStored) {
    Ephemeris("annual-2024", EphemerisKind::Annual, 2024);
    Ephemeris("annual-1582", EphemerisKind::Annual, 1582);
    Ephemeris("annual-0044bc", EphemerisKind::Annual, -43);
    Ephemeris("century-21", EphemerisKind::Century, 2024);
    Ephemeris("century-16", EphemerisKind::Century, 1582);
    for (int k = 1; k <= 2; ++k)
        ASSERT_TRUE(ParseOrbitElementsLine(s, k, std::to_string(6 + 90 * k), "73", "80", "10.6",
                                           "0.079", "2.767", "2451545"));
    s.NExtra = 2;
    Ephemeris("annual-1999-extra", EphemerisKind::Annual, 1999);
    Ephemeris("century-20-extra", EphemerisKind::Century, 1950);
    s.NExtra = 0;

    const struct {
        const char* name;
        double lat, lon;
        int zone;
    } places[] = {{"moscow", 55.75, 37.62, 180}, {"tromso", 69.65, 18.96, 60},
                  {"svalbard", 78.22, 15.65, 60}, {"santiago", -33.45, -70.67, -240}};
    for (const auto& p : places) {
        Place(p.lat, p.lon, p.zone);
        Table(std::string("sun-2024-") + p.name, MakeSunRiseSetTable(s, chart, In(2024)));
        Table(std::string("moonlog-2024-") + p.name,
              MakeMoonDayLog(s, chart, In(2024), Annual(2024)));
    }
    Place(55.75, 37.62, 180);
    Table("moonlog-1582-moscow", MakeMoonDayLog(s, chart, In(1582), Annual(1582)));
    Table("sun-1900-moscow", MakeSunRiseSetTable(s, chart, In(1900)));
    Table("apsides-2024", MakeMoonApsidesTable(s, chart, In(2024)));
    Table("ingress-mercury-2024", MakePlanetIngressLog(s, chart, In(2024), 3, 1, false));
    Table("ingress-pluto-2012", MakePlanetIngressLog(s, chart, In(2012), 10, 13, false));

    const fs::path stored = fs::path(QOR_FIXTURES_DIR) / "table_file_fingerprints.txt";
    if (std::getenv("QOR_WRITE_TABLE_FINGERPRINTS")) {
        std::ofstream out(stored, std::ios::binary);
        for (const auto& [part, print] : now) out << part << ' ' << print << '\n';
        GTEST_SKIP() << "fingerprints written to " << stored;
    }
    std::ifstream in(stored, std::ios::binary);
    ASSERT_TRUE(in) << stored;
    Prints before;
    for (std::string line; std::getline(in, line);) {
        const std::size_t blank = line.rfind(' ');
        ASSERT_NE(blank, std::string::npos) << line;
        before.emplace_back(line.substr(0, blank), line.substr(blank + 1));
    }
    ASSERT_EQ(before.size(), now.size());
    int differ = 0;
    for (std::size_t k = 0; k < now.size(); ++k) {
        ASSERT_EQ(before[k].first, now[k].first);
        if (before[k].second != now[k].second && ++differ <= 8)
            ADD_FAILURE() << now[k].first << " differs";
    }
    EXPECT_EQ(differ, 0) << "of " << now.size() << " parts";
}

} // namespace
} // namespace qor::forecast
