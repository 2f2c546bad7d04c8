// Zone history of the regions, the side-file zones and the longitude zone.
#include "core/AstroDat.h"
#include "core/Formats.h"
#include "core/Text.h"
#include "geo/Atlas.h"
#include "geo/Zones.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <map>
#include <set>
#include <sstream>

namespace qor {
namespace {

using test::RecordingReport;
using test::TempDir;

// The program folder with the shipped zone tables.
struct ShippedTables : ::testing::Test {
    AstroDat s;
    RecordingReport report;
    void SetUp() override {
        s.ProgramFolder = fs::path(QOR_SOURCE_DIR) / "data";
        s.Report = &report;
        s.SoundOn = false;
        s.EnglishMode = true;
    }
    // The zone region the atlas gives a city.
    std::string RegionOf(const std::string& city) {
        Atlas a;
        EXPECT_TRUE(LoadAtlas(s, a));
        FilterAtlas(s, a);
        for (const auto& n : a.list)
            if (TrimRight(n.Name()) == city && n.ZoneRegion() != "  ") return n.ZoneRegion();
        ADD_FAILURE() << city << " has no zone region";
        return "  ";
    }
};

// UTC offsets of an IANA zone from `zdump -v` (Debian tzdata): each line gives an instant and
// the offset in force from it.
struct ZdumpZone {
    std::vector<std::pair<long long, int>> changes; // (UTC seconds, offset seconds)

    explicit ZdumpZone(const std::string& zone) {
        const std::string cmd = "zdump -v -c 1920,2030 " + zone;
        FILE* p = popen(cmd.c_str(), "r");
        if (!p) return;
        char buf[512];
        static const std::map<std::string, int> months = {
            {"Jan", 1}, {"Feb", 2}, {"Mar", 3}, {"Apr", 4},  {"May", 5},  {"Jun", 6},
            {"Jul", 7}, {"Aug", 8}, {"Sep", 9}, {"Oct", 10}, {"Nov", 11}, {"Dec", 12}};
        while (fgets(buf, sizeof buf, p)) {
            std::istringstream in(buf);
            std::string name, wd, mon, hms, ut;
            int day = 0, year = 0;
            if (!(in >> name >> wd >> mon >> day >> hms >> year >> ut) || ut != "UT") continue;
            const std::string line(buf);
            const auto g = line.find("gmtoff=");
            if (g == std::string::npos || !months.count(mon)) continue;
            std::tm tm{};
            tm.tm_year = year - 1900;
            tm.tm_mon = months.at(mon) - 1;
            tm.tm_mday = day;
            std::sscanf(hms.c_str(), "%d:%d:%d", &tm.tm_hour, &tm.tm_min, &tm.tm_sec);
            changes.emplace_back(static_cast<long long>(timegm(&tm)),
                                 std::stoi(line.substr(g + 7)));
        }
        pclose(p);
    }
    int OffsetAtUtc(long long t) const {
        int off = changes.empty() ? 0 : changes.front().second;
        for (const auto& [when, o] : changes)
            if (when <= t) off = o;
        return off;
    }
    // Minutes east in force at a local wall-clock moment.
    int OffsetAtLocal(const ZoneMoment& m) const {
        std::tm tm{};
        tm.tm_year = m.year - 1900;
        tm.tm_mon = m.month - 1;
        tm.tm_mday = m.day;
        tm.tm_hour = m.hour;
        tm.tm_min = m.minute;
        const long long local = timegm(&tm);
        int off = OffsetAtUtc(local);
        off = OffsetAtUtc(local - off);
        return off / 60;
    }
};

// The region tables against the system's zone database, at noon of the days the zones
// changed (a change at night is over by noon).
TEST_F(ShippedTables, RegionZoneAgreesWithZdumpForMoscowAndVladivostok) {
    const ZdumpZone moscow("Europe/Moscow"), vladivostok("Asia/Vladivostok");
    ASSERT_GT(moscow.changes.size(), 20u) << "zdump or tzdata missing";
    ASSERT_EQ(RegionOf("Moscow"), " 6");
    const std::string vlRegion = RegionOf("Vladivostok");
    const ZoneMoment days[] = {{1930, 6, 21, 12}, {1981, 4, 1, 12},  {1991, 3, 31, 12},
                               {1992, 1, 19, 12}, {2011, 3, 27, 12}, {2014, 10, 26, 12}};
    for (const auto& m : days) {
        SCOPED_TRACE(std::to_string(m.day) + "." + std::to_string(m.month) + "." +
                     std::to_string(m.year));
        const ZoneLookup msk = RegionZone(s, m, " 6");
        ASSERT_TRUE(msk.ok);
        EXPECT_EQ(msk.dT(), moscow.OffsetAtLocal(m));
        const ZoneLookup vl = RegionZone(s, m, vlRegion);
        ASSERT_TRUE(vl.ok);
        EXPECT_EQ(vl.dT(), vladivostok.OffsetAtLocal(m));
        EXPECT_EQ(*vl.moscowDiffMinutes, vl.zoneMinutes - msk.zoneMinutes);
    }
    EXPECT_TRUE(report.messages.empty());
}

// The same over every day of a summer and a winter of several decades: the tables hold all
// twenty columns, so the changes after the twelfth column (1991 on) are in force.
TEST_F(ShippedTables, RegionZoneFollowsAllColumns) {
    const ZdumpZone moscow("Europe/Moscow");
    for (int year : {1926, 1950, 1985, 1990, 1993, 2000, 2012, 2015, 2020}) {
        for (int month : {1, 7}) {
            const ZoneMoment m{year, month, 15, 12};
            const ZoneLookup z = RegionZone(s, m, " 6");
            ASSERT_TRUE(z.ok);
            EXPECT_EQ(z.dT(), moscow.OffsetAtLocal(m)) << year << "-" << month;
        }
    }
}

// Every zone region of the atlas against the zone database of its cities, in the middle of
// every winter and summer from 1925 on.
TEST_F(ShippedTables, EveryRegionAgreesWithZdumpOverTheYears) {
    Atlas a;
    ASSERT_TRUE(LoadAtlas(s, a));
    FilterAtlas(s, a);
    std::set<std::pair<std::string, std::string>> pairs; // (region, IANA zone)
    for (int r = 0; r < static_cast<int>(a.list.size()); ++r)
        if (a.list[r].ZoneRegion() != "  ")
            pairs.insert({a.list[r].ZoneRegion(), AtlasRowZoneName(a, r)});
    ASSERT_GE(pairs.size(), 11u);
    std::set<std::string> regions;
    for (const auto& [region, zone] : pairs) {
        regions.insert(region);
        const ZdumpZone db(zone);
        ASSERT_FALSE(db.changes.empty()) << zone;
        for (int year = 1925; year <= 2030; ++year)
            for (int month : {1, 7}) {
                const ZoneMoment m{year, month, 15, 12};
                const ZoneLookup z = RegionZone(s, m, region);
                ASSERT_TRUE(z.ok);
                ASSERT_EQ(z.dT(), db.OffsetAtLocal(m)) << zone << " " << year << "-" << month;
            }
    }
    EXPECT_GE(regions.size(), 11u);
    EXPECT_TRUE(report.messages.empty());
}

TEST_F(ShippedTables, SideFileZonesComeFromTheSystemDatabase) {
    struct Case {
        const char* zone;
        int month, dT, summer;
    };
    const Case cases[] = {{"America/New_York", 1, -300, 0}, {"America/New_York", 7, -240, 60},
                          {"Europe/Madrid", 1, 60, 0},      {"Europe/Madrid", 7, 120, 60},
                          {"Asia/Kolkata", 1, 330, 0},      {"Asia/Kolkata", 7, 330, 0}};
    for (const auto& c : cases) {
        const ZoneMoment m{2023, c.month, 15, 12};
        const ZdumpZone z(c.zone);
        const ZoneLookup got = CityZone(s, m, "  ", "  0°00'E", c.zone);
        ASSERT_TRUE(got.ok) << c.zone;
        EXPECT_EQ(got.source, ZoneSource::Database);
        EXPECT_EQ(got.dT(), c.dT) << c.zone << " " << c.month;
        EXPECT_EQ(got.dT(), z.OffsetAtLocal(m)) << c.zone;
        EXPECT_EQ(got.summerMinutes, c.summer) << c.zone;
    }
    EXPECT_EQ(CityZoneText(CityZone(s, {2023, 1, 15, 12}, "", "", "Asia/Kolkata")), "+05:30");
    EXPECT_EQ(CityZoneText(CityZone(s, {2023, 7, 15, 12}, "", "", "America/New_York")), "-04:00");
}

TEST(ZoneFromLongitude, WholeHoursRoundedAtHalfZones) {
    struct Case {
        const char* lon;
        int minutes;
        const char* dT;
    };
    const Case cases[] = {{"7\xB0"
                           "30'E",
                           60, "+01:00"},
                          {"7\xB0"
                           "29'E",
                           0, "+00:00"},
                          {"7\xB0"
                           "30'W",
                           -60, "-01:00"},
                          {"180\xB0"
                           "00'E",
                           720, "+12:00"},
                          {"175\xB0"
                           "00'W",
                           -720, "-12:00"},
                          {"172\xB0"
                           "30'W",
                           -720, "-12:00"},
                          {" 37\xB0"
                           "37'E",
                           180, "+03:00"}};
    for (const auto& c : cases) {
        const auto z = ZoneFromLongitude(c.lon);
        ASSERT_TRUE(z) << c.lon;
        EXPECT_EQ(*z, c.minutes) << c.lon;
        EXPECT_EQ(CityZoneText(LongitudeZone(c.lon)), c.dT) << c.lon;
    }
    EXPECT_FALSE(ZoneFromLongitude("37 37 E"));
    EXPECT_FALSE(LongitudeZone("garbage").ok);
}

TEST_F(ShippedTables, CityZoneBefore1925UsesTheLongitude) {
    const ZoneMoment m{1924, 6, 1, 12};
    const ZoneLookup z = CityZone(s, m, " 6",
                                  " 37\xB0"
                                  "37'E");
    ASSERT_TRUE(z.ok);
    EXPECT_EQ(z.source, ZoneSource::Longitude);
    EXPECT_EQ(z.dT(), 180);
    const ZoneWindowTexts t = ZoneEditTexts(z);
    EXPECT_EQ(t.edit1, "  3:00");
    EXPECT_EQ(t.edit3, "  3:00");
    EXPECT_EQ(t.edit2, "");
    EXPECT_EQ(t.edit4, "");
    // The same moment decides both the 1925 test and the look-up.
    const ZoneLookup later = CityZone(s, {1925, 6, 1, 12}, " 6",
                                      " 37\xB0"
                                      "37'E");
    EXPECT_EQ(later.source, ZoneSource::History);
    EXPECT_EQ(later.dT(), 120);
}

TEST_F(ShippedTables, ZoneWindowTextsOfTheHistory) {
    const ZoneLookup z = RegionZone(s, {1985, 7, 1, 12}, RegionOf("Vladivostok"));
    ASSERT_TRUE(z.ok);
    const ZoneWindowTexts t = ZoneEditTexts(z);
    EXPECT_EQ(t.edit1, "10");
    EXPECT_EQ(t.edit2, "1");
    EXPECT_EQ(t.edit3, "11");
    EXPECT_EQ(t.edit4, " 7");
    EXPECT_EQ(CityZoneText(z), "+11:00");
}

TEST_F(ShippedTables, RegionThatIsNoNumberIsReportedNotZero) {
    for (const char* region : {"x ", "-", "99"}) {
        report.messages.clear();
        const ZoneLookup z = RegionZone(s, {2000, 1, 1, 12}, region);
        EXPECT_FALSE(z.ok) << region;
        EXPECT_EQ(report.messages.size(), 1u) << region;
        EXPECT_EQ(CityZoneText(CityZone(s, {2000, 1, 1, 12}, region,
                                        " 37\xB0"
                                        "37'E")),
                  "")
            << region;
    }
}

TEST(RegionZoneFiles, MissingZoneTableIsReported) {
    TempDir dir;
    AstroDat s;
    RecordingReport report;
    s.ProgramFolder = dir.path();
    s.Report = &report;
    const ZoneLookup z = RegionZone(s, {2000, 1, 1, 12}, " 6");
    EXPECT_FALSE(z.ok);
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_NE(report.messages[0].text.find("variat.ctm"), std::string::npos);
}

// A small zone table: `changes` columns after a first one in 1925; region 1 goes from zone 1
// to zone 2 at the last column, Moscow stays at 3.
std::string MakeVariat(const std::vector<std::array<int, 4>>& columns,
                       const std::vector<std::string>& zoneRows) {
    std::vector<std::string> head(4);
    auto put = [](std::string& line, std::size_t col, const std::string& text) {
        if (line.size() < col - 1 + text.size()) line.resize(col - 1 + text.size(), ' ');
        line.replace(col - 1, text.size(), text);
    };
    for (std::size_t c = 1; c <= columns.size(); ++c) {
        const auto& [d, m, y, h] = columns[c - 1];
        const std::size_t base = 5 * (c - 1);
        put(head[0], base + 7, IntToStrZ(d, 2));
        put(head[1], base + 6, IntToStrZ(m, 2));
        put(head[2], base + 5, std::to_string(y));
        put(head[3], base + 6, std::to_string(h));
    }
    std::string text = "t\r\nt\r\nt\r\nt\r\n";
    for (const auto& h : head) text += h + "\r\n";
    for (const auto& r : zoneRows) text += r + "\r\n";
    return text;
}

std::string ZoneRow(const std::vector<int>& values) {
    std::string row = "     ";
    int prev = -100;
    for (int v : values) {
        row += v == prev ? std::string(" .   ") : IntToStrW(v, 2) + "   ";
        prev = v;
    }
    return row;
}

// A summer-time table that never switches summer time on.
const std::string kNoSummer = " 01.01.1920 00:00           0\r\n";

struct FixtureTables : ::testing::Test {
    TempDir dir;
    AstroDat s;
    RecordingReport report;
    void SetUp() override {
        s.ProgramFolder = dir.path();
        s.Report = &report;
        s.SoundOn = false;
    }
    void Write(int columnCount, const std::string& correc) {
        std::vector<std::array<int, 4>> cols = {{1, 1, 1925, 0}};
        for (int c = 2; c <= columnCount; ++c) cols.push_back({2, 1, 1985 + c, 0});
        std::vector<int> region(columnCount, 1), moscow(columnCount, 3);
        region.back() = 2;
        std::vector<std::string> rows = {"  0", ZoneRow(region)};
        for (int n = 2; n <= 5; ++n) rows.push_back(ZoneRow(std::vector<int>(columnCount, 5)));
        rows.push_back(ZoneRow(moscow));
        dir.Write("variat.ctm", MakeVariat(cols, rows));
        dir.Write("correc.ctm", correc);
    }
};

TEST_F(FixtureTables, ColumnsPastTheTwelfthAreRead) {
    Write(20, kNoSummer);
    const int lastYear = 1985 + 20;
    EXPECT_EQ(RegionZone(s, {lastYear, 1, 1, 12}, " 1").dT(), 60);
    EXPECT_EQ(RegionZone(s, {lastYear, 1, 3, 12}, " 1").dT(), 120);
    EXPECT_TRUE(report.messages.empty());
}

TEST_F(FixtureTables, MoscowMomentCarriesIntoTheNextDay) {
    // 23:00 on 1 January in zone +1 is 01:00 on 2 January in Moscow (+3): after the change of
    // zone at 00:00 Moscow time on the 2nd, and after the summer time switched on with it.
    Write(14, " 02.01.1999 00:00           1\r\n");
    const ZoneLookup before = RegionZone(s, {1999, 1, 1, 21}, " 1");
    ASSERT_TRUE(before.ok);
    EXPECT_EQ(before.zoneMinutes, 60);
    EXPECT_EQ(before.summerMinutes, 0);
    const ZoneLookup z = RegionZone(s, {1999, 1, 1, 23}, " 1");
    ASSERT_TRUE(z.ok);
    EXPECT_EQ(z.zoneMinutes, 120);
    EXPECT_EQ(z.summerMinutes, 60);
}

TEST_F(FixtureTables, SummerLineAtTheMomentIsInForce) {
    Write(2, " 01.06.1990 05:00           1\r\n 01.09.1990 05:00           0\r\n");
    // Zone +3 (Moscow itself): 05:00 local is 05:00 Moscow time.
    EXPECT_EQ(RegionZone(s, {1990, 6, 1, 4}, " 6").summerMinutes, 0);
    EXPECT_EQ(RegionZone(s, {1990, 6, 1, 5}, " 6").summerMinutes, 60);
    EXPECT_EQ(RegionZone(s, {1990, 9, 1, 5}, " 6").summerMinutes, 0);
}

TEST_F(FixtureTables, ChangeDayBeforeTheChangeHourTakesThePreviousColumn) {
    Write(2, kNoSummer);
    // The second column is 02.01.1987 00:00 Moscow time; 01:00 local in zone +1 is 03:00
    // Moscow time, already changed; 23:30 local on the 1st is 01:30 Moscow on the 2nd.
    EXPECT_EQ(RegionZone(s, {1987, 1, 2, 1}, " 1").zoneMinutes, 120);
    EXPECT_EQ(RegionZone(s, {1987, 1, 1, 21}, " 1").zoneMinutes, 60);
}

TEST_F(FixtureTables, MomentBeforeTheFirstColumnFallsBackToTheLongitude) {
    std::vector<std::array<int, 4>> cols = {{1, 1, 1930, 5}};
    std::vector<std::string> rows = {"  0"};
    for (int n = 1; n <= 6; ++n) rows.push_back(ZoneRow({3}));
    dir.Write("variat.ctm", MakeVariat(cols, rows));
    dir.Write("correc.ctm", kNoSummer);
    const ZoneLookup r = RegionZone(s, {1927, 1, 1, 12}, " 1");
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.beforeHistory);
    const ZoneLookup z = CityZone(s, {1927, 1, 1, 12}, " 1",
                                  " 30\xB0"
                                  "00'E");
    ASSERT_TRUE(z.ok);
    EXPECT_EQ(z.source, ZoneSource::Longitude);
    EXPECT_EQ(z.dT(), 120);
    // On the first column's own day, before its change hour, no column is in force either.
    EXPECT_TRUE(RegionZone(s, {1930, 1, 1, 2}, " 6").beforeHistory);
    EXPECT_TRUE(RegionZone(s, {1930, 1, 1, 5}, " 6").ok);
    EXPECT_TRUE(report.messages.empty());
}

// Zone tables that do not read: every look-up of a region says it does not know (no dT),
// never the zone without its summer time; each table is told once. With the shipped tables a
// place of the Moscow region on 1 July 1985 is at +04:00 (summer time).
TEST(RegionZoneFiles, TablesThatDoNotReadGiveNoZone) {
    const fs::path data = fs::path(QOR_SOURCE_DIR) / "data";
    const std::string variat = TempDir::Read(data / "variat.ctm");
    const std::string correc = TempDir::Read(data / "correc.ctm");
    struct Case {
        const char* what;
        std::string variat, correc;
        const char* told; // the file named in the one message; empty: the tables read
    };
    const std::vector<Case> cases = {
        {"shipped tables", variat, correc, ""},
        {"empty summer table", variat, "", "correc.ctm"},
        {"summer table of comments", variat, ";one\r\n;two\r\n", "correc.ctm"},
        {"garbage summer table", variat, "hello\r\nworld\r\n", "correc.ctm"},
        {"summer table with a garbage line", variat, correc + "garbage line\r\n", "correc.ctm"},
        {"summer table too large", variat, correc + std::string(kZoneTableMaxBytes, ' '),
         "correc.ctm"},
        {"empty zone table", "", correc, "variat.ctm"},
        {"garbage zone table", "a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\nh\r\ni\r\n", correc,
         "variat.ctm"},
        {"zone table without Moscow", variat.substr(0, variat.find("\n", 600)), correc,
         "variat.ctm"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        dir.Write("variat.ctm", c.variat);
        dir.Write("correc.ctm", c.correc);
        AstroDat s;
        RecordingReport report;
        s.ProgramFolder = dir.path();
        s.Report = &report;
        s.SoundOn = false;
        s.EnglishMode = true;
        for (int k = 0; k < 3; ++k) {
            const ZoneLookup z = CityZone(s, {1985, 7, 1, 12}, " 6",
                                          " 37\xB0"
                                          "37'E");
            EXPECT_EQ(CityZoneText(z), *c.told ? "" : "+04:00") << c.what;
            EXPECT_EQ(z.ok, !*c.told) << c.what;
        }
        if (!*c.told) {
            EXPECT_TRUE(report.messages.empty()) << c.what;
            continue;
        }
        ASSERT_EQ(report.messages.size(), 1u) << c.what;
        EXPECT_EQ(report.messages[0].text.rfind(std::string(c.told) + ": ", 0), 0u)
            << report.messages[0].text;
    }
}

TEST(ZoneHistoryParsing, DotsKeepTheEarlierColumn) {
    const std::string line = "  1   4    5    .    .    3";
    EXPECT_EQ(RegionLineZone(line, 1), 4);
    EXPECT_EQ(RegionLineZone(line, 2), 5);
    EXPECT_EQ(RegionLineZone(line, 4), 5);
    EXPECT_EQ(RegionLineZone(line, 5), 3);
    EXPECT_FALSE(RegionLineZone(line, 9)); // the line is shorter than the column
    EXPECT_FALSE(RegionLineZone(line, 0));
}

TEST(ZoneMomentTexts, DateAndTimeOfTheBirthData) {
    const auto m = ZoneMomentFromTexts("21.06.1930", "12:30:00");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->year, 1930);
    EXPECT_EQ(m->hour, 12);
    EXPECT_EQ(m->minute, 30);
    EXPECT_TRUE(ZoneMomentFromTexts("21.06.1930", "12:30"));
    EXPECT_FALSE(ZoneMomentFromTexts("31.13.1930", "12:30:00"));
    EXPECT_EQ(FormatDT(-720), "-12:00");
    EXPECT_EQ(FormatDT(840), "+14:00");
}

} // namespace
} // namespace qor
