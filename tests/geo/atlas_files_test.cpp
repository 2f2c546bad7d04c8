// The shipped atlas files, read back by a reader written from the record layout alone, and
// the atlas's loader, filter and cells on them.
#include "core/AstroDat.h"
#include "core/Files.h"
#include "core/Text.h"
#include "geo/Atlas.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

namespace qor {
namespace {

using test::RecordingReport;
using test::TempDir;

const fs::path kData = fs::path(QOR_SOURCE_DIR) / "data";

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int U16(const std::string& b, std::size_t at) {
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}
int I16(const std::string& b, std::size_t at) {
    const int v = U16(b, at);
    return v >= 0x8000 ? v - 0x10000 : v;
}

struct RawCity {
    std::string name, code, zone, iana;
    int lat = 0, lon = 0, mapCode = 0;
};

// Reads one edition with plain byte arithmetic and checks its links on the way.
std::vector<RawCity> ReadEdition(const std::string& coordFile, const std::string& nameFile,
                                 const std::string& zoneFile) {
    const std::string c = Slurp(kData / coordFile), n = Slurp(kData / nameFile);
    EXPECT_EQ(c.size() % 8, 0u);
    EXPECT_EQ(n.size() % 40, 0u);
    const std::size_t nc = c.size() / 8, nn = n.size() / 40;
    EXPECT_EQ(nc, nn);
    const auto zones = SplitTextLines(Slurp(kData / zoneFile));
    EXPECT_EQ(zones.size(), nn);
    std::vector<RawCity> out;
    int prevLon = -100000;
    for (std::size_t i = 0; i < nc; ++i) {
        const int lon = I16(c, 8 * i + 2);
        EXPECT_GE(lon, prevLon) << "coordinates not ordered west to east at " << i + 1;
        prevLon = lon;
        const int ni = U16(c, 8 * i + 6);
        EXPECT_TRUE(ni >= 1 && static_cast<std::size_t>(ni) <= nn)
            << coordFile << " record " << i + 1;
        if (ni < 1 || static_cast<std::size_t>(ni) > nn) continue;
        EXPECT_EQ(static_cast<std::size_t>(U16(n, 40 * (ni - 1) + 38)), i + 1)
            << nameFile << " record " << ni;
    }
    for (std::size_t j = 0; j < nn; ++j) {
        const int ci = U16(n, 40 * j + 38);
        if (ci < 1 || static_cast<std::size_t>(ci) > nc) {
            ADD_FAILURE() << nameFile << " record " << j + 1 << " points at " << ci;
            continue;
        }
        RawCity r;
        r.name = n.substr(40 * j, 31);
        EXPECT_EQ(n[40 * j + 31], ' ');
        r.code = n.substr(40 * j + 32, 4);
        r.zone = n.substr(40 * j + 36, 2);
        r.iana = zones[j];
        r.lat = I16(c, 8 * (ci - 1));
        r.lon = I16(c, 8 * (ci - 1) + 2);
        r.mapCode = U16(c, 8 * (ci - 1) + 4);
        EXPECT_LE(std::abs(r.lat), 90 * 60);
        EXPECT_LE(std::abs(r.lon), 180 * 60);
        out.push_back(r);
    }
    return out;
}

const RawCity* Find(const std::vector<RawCity>& cities, const std::string& name,
                    const std::string& iana) {
    for (const auto& c : cities)
        if (Trim(c.name) == name && c.iana == iana) return &c;
    return nullptr;
}

TEST(AtlasFiles, EnglishEditionReadsBackWithKnownCities) {
    const auto cities = ReadEdition("geoc.atl", "geon.atl", "geoz.atl");
    EXPECT_EQ(cities.size(), 24361u);
    struct Known {
        const char* name;
        const char* iana;
        int lat, lon;
    };
    // GeoNames: Moscow 55.75222 37.61556, New York 40.71427 -74.00597, Sydney -33.86785 151.20732.
    const Known known[] = {{"Moscow", "Europe/Moscow", 55 * 60 + 45, 37 * 60 + 37},
                           {"New York", "America/New_York", 40 * 60 + 43, -(74 * 60 + 0)},
                           {"Sydney", "Australia/Sydney", -(33 * 60 + 52), 151 * 60 + 12}};
    for (const auto& k : known) {
        const RawCity* c = Find(cities, k.name, k.iana);
        ASSERT_TRUE(c) << k.name;
        EXPECT_EQ(c->lat, k.lat) << k.name;
        EXPECT_EQ(c->lon, k.lon) << k.name;
        EXPECT_EQ(c->code[0], 'R') << k.name;
        EXPECT_EQ(c->mapCode % 10, 1) << k.name; // cities of millions show from the world view
    }
    EXPECT_EQ(Find(cities, "Moscow", "Europe/Moscow")->zone, " 6");
    EXPECT_EQ(Find(cities, "New York", "America/New_York")->zone, "  ");
    const int ny = std::stoi(Find(cities, "New York", "America/New_York")->code.substr(1));
    EXPECT_TRUE(ny >= 217 && ny <= 268);
}

TEST(AtlasFiles, RussianEditionMarksTheFormerUssr) {
    const auto cities = ReadEdition("geocr.atl", "geonr.atl", "geozr.atl");
    EXPECT_EQ(cities.size(), 24361u);
    const RawCity* moscow = Find(cities, "Москва"_cp, "Europe/Moscow");
    ASSERT_TRUE(moscow);
    EXPECT_EQ(moscow->lat, 55 * 60 + 45);
    EXPECT_EQ(moscow->lon, 37 * 60 + 37);
    EXPECT_NE(moscow->code[0], ' ');
    EXPECT_EQ(moscow->zone, " 6");
    const RawCity* sydney = Find(cities, "Сидней"_cp, "Australia/Sydney");
    ASSERT_TRUE(sydney);
    EXPECT_EQ(sydney->code[0], ' ');
    EXPECT_EQ(sydney->zone, "  ");
    // Every city has a Russian name: no Latin letters left in it.
    for (const auto& c : cities)
        for (char ch : c.name) ASSERT_FALSE((ch >= 'a' && ch <= 'z')) << c.name;
}

TEST(AtlasFiles, CountryListAndRegionNames) {
    const auto lines = SplitTextLines(Slurp(kData / "Country.atl"));
    std::set<std::string> codes;
    int states = 0;
    for (const auto& l : lines) {
        ASSERT_GE(l.size(), 38u);
        EXPECT_EQ(l[31], ';');
        EXPECT_EQ(l[32], 'R');
        EXPECT_EQ(l[36], ';');
        EXPECT_TRUE(codes.insert(l.substr(32, 4)).second) << "duplicate code " << l.substr(32, 4);
        const int n = std::stoi(l.substr(33, 3));
        const bool state = l.substr(37, 1) == "1";
        EXPECT_EQ(state, n >= 217 && n <= 268) << l;
        states += state;
    }
    EXPECT_EQ(states, 51); // 50 states and the District of Columbia
    // The English start-up check asks for "country.atl": one file answers both spellings.
    EXPECT_TRUE(ProgramFileExists(kData, "country.atl"));
    AstroDat s;
    s.ProgramFolder = kData;
    Atlas a;
    LoadAtlasNameTables(s, a);
    const std::string australia = CountryCodeOfName(s, a, "Australia");
    ASSERT_EQ(australia.size(), 4u);
    EXPECT_EQ(CountryOfCode(s, a, australia), "Australia");
    EXPECT_EQ(CountryOfCode(s, a, CountryCodeOfName(s, a, "New York")), "New York, USA");
    EXPECT_EQ(CountryCodeOfName(s, a, "Atlantis"), "");
    // Region names of the Russian edition: a region with its country, a foreign country alone.
    EXPECT_EQ(RegionName(s, a, "S040"), "Москва, Россия"_cp);
    EXPECT_EQ(RegionName(s, a, CountryCodeOfName(s, a, "Australia").substr(1)), "Австралия"_cp);
    EXPECT_EQ(RegionName(s, a, "Q999"), "");
}

struct ShippedAtlas : ::testing::TestWithParam<bool> {
    AstroDat s;
    RecordingReport report;
    Atlas a;
    void SetUp() override {
        s.ProgramFolder = kData;
        s.Report = &report;
        s.EnglishMode = GetParam();
        ASSERT_TRUE(LoadAtlas(s, a));
        EXPECT_TRUE(report.messages.empty());
    }
    int Row(const std::string& name, const std::string& iana) {
        for (std::size_t r = 0; r < a.list.size(); ++r)
            if (TrimRight(a.list[r].Name()) == name &&
                AtlasRowZoneName(a, static_cast<int>(r)) == iana)
                return static_cast<int>(r);
        return -1;
    }
};

TEST_P(ShippedAtlas, LoadsFiltersAndShowsCells) {
    EXPECT_EQ(a.coords.size(), 24361u);
    EXPECT_EQ(a.coordBytes, 24361u * 8);
    EXPECT_EQ(a.zones.size(), 24361u);
    SetAtlasFilter(s, a, s.EnglishMode ? "All" : "Все"_cp);
    EXPECT_EQ(FilterAtlas(s, a), 24361u);
    const int r = Row(s.EnglishMode ? "Moscow" : "Москва"_cp, "Europe/Moscow");
    ASSERT_GE(r, 0);
    EXPECT_EQ(AtlasCellText(s, a, 2, r), "55\xB0"
                                         "45'N");
    EXPECT_EQ(AtlasCellText(s, a, 3, r), " 37\xB0"
                                         "37'E");
    EXPECT_EQ(AtlasCellText(s, a, 5, r), " 6");
    EXPECT_EQ(AtlasCellText(s, a, 0, r), "|||");
    const std::string cell = AtlasCellText(s, a, 1, r);
    if (s.EnglishMode)
        EXPECT_EQ(cell, "Moscow, Russian Federation");
    else
        EXPECT_EQ(cell, "Москва, Москва, Россия"_cp);
    const int sydney = Row(s.EnglishMode ? "Sydney" : "Сидней"_cp, "Australia/Sydney");
    ASSERT_GE(sydney, 0);
    EXPECT_EQ(AtlasCellText(s, a, 2, sydney), "33\xB0"
                                              "52'S");
    EXPECT_EQ(AtlasCellText(s, a, 3, sydney), "151\xB0"
                                              "12'E");
    EXPECT_EQ(AtlasCellText(s, a, 1, sydney),
              s.EnglishMode ? "Sydney, Australia" : "Сидней, Австралия"_cp);
    EXPECT_EQ(AtlasCellText(s, a, 1, 24361), "");
}

TEST_P(ShippedAtlas, EditionFilters) {
    if (s.EnglishMode) {
        SetAtlasFilter(s, a, "USA");
        const std::size_t usa = FilterAtlas(s, a);
        EXPECT_GT(usa, 1000u);
        for (const auto& n : a.list) EXPECT_TRUE(IsUsStateRecord(n));
        SetAtlasFilter(s, a, "Australia");
        EXPECT_GT(FilterAtlas(s, a), 50u);
        // One country: bare city names.
        EXPECT_EQ(AtlasCellText(s, a, 1, 0).find(','), std::string::npos);
        const auto choices = AtlasFilterChoices(s, a);
        EXPECT_EQ(choices.front(), "All");
        EXPECT_EQ(std::count(choices.begin(), choices.end(), "USA"), 1);
    } else {
        SetAtlasFilter(s, a, "Территория СССР"_cp);
        const std::size_t ussr = FilterAtlas(s, a);
        SetAtlasFilter(s, a, "Иностранные"_cp);
        const std::size_t foreign = FilterAtlas(s, a);
        EXPECT_GT(ussr, 1000u);
        EXPECT_EQ(ussr + foreign, 24361u);
        EXPECT_EQ(AtlasFilterChoices(s, a).size(), 3u);
    }
}

TEST_P(ShippedAtlas, TypingFindsTheFirstCityOfTheNamesOrder) {
    FilterAtlas(s, a);
    const std::string typed = s.EnglishMode ? "s" : "с"_cp;
    const auto row = FindAtlasRow(s, a, typed);
    ASSERT_TRUE(row);
    const unsigned char first = static_cast<unsigned char>(a.list[*row].text[0]);
    EXPECT_EQ(first, static_cast<unsigned char>(s.EnglishMode ? 'S' : 0xD1));
    for (std::size_t i = 0; i < *row; ++i)
        EXPECT_NE(static_cast<unsigned char>(a.list[i].text[0]), first);
    EXPECT_FALSE(FindAtlasRow(s, a, "7s"));
    EXPECT_FALSE(FindAtlasRow(s, a, ""));
}

INSTANTIATE_TEST_SUITE_P(Editions, ShippedAtlas, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "English" : "Russian"; });

TEST(AtlasHelpers, UpperCaseRusAndSizeMarks) {
    EXPECT_EQ(UpperCaseRus("москва ёж abc 1"_cp), "МОСКВА ёЖ ABC 1"_cp);
    EXPECT_EQ(UpperCaseRus("\xDF\xFF"), "\xDF\xDF");
    EXPECT_EQ(AtlasSizeMark(1), "|||");
    EXPECT_EQ(AtlasSizeMark(12), "||");
    EXPECT_EQ(AtlasSizeMark(33), "|");
    EXPECT_EQ(AtlasSizeMark(9), "\x97");
    EXPECT_EQ(AtlasSizeMark(5), "");
    EXPECT_EQ(AtlasCaption("Атлас - 12"_cp, 5), "Атлас - 5"_cp);
    EXPECT_EQ(AtlasLatText(-(5 * 60 + 3)), " 5\xB0"
                                           "03'S");
    EXPECT_EQ(AtlasLonText(-(74 * 60)), " 74\xB0"
                                        "00'W");
}

// A two-city atlas whose links can be broken on purpose.
struct SmallAtlas : ::testing::Test {
    TempDir dir;
    AstroDat s;
    RecordingReport report;
    Atlas a;
    std::vector<CityCoordRec> coords{{100, -200, 1, 2}, {300, 400, 2, 1}};
    std::vector<CityNameRec> names{{"Alpha" + std::string(26, ' ') + " R001 6", 2},
                                   {"Beta" + std::string(27, ' ') + " R002  ", 1}};
    void SetUp() override {
        s.ProgramFolder = dir.path();
        s.Report = &report;
        s.EnglishMode = true;
    }
    void Write() {
        dir.Write("geoc.atl", EncodeCityCoords(coords));
        dir.Write("geon.atl", EncodeCityNames(names));
        dir.Write("geoz.atl", "Europe/Moscow\r\nAsia/Kolkata\r\n");
    }
};

TEST_F(SmallAtlas, LoadsWhenEveryLinkHolds) {
    Write();
    ASSERT_TRUE(LoadAtlas(s, a));
    FilterAtlas(s, a);
    EXPECT_EQ(AtlasRowZoneName(a, 0), "Europe/Moscow");
    EXPECT_EQ(AtlasRowZoneName(a, 1), "Asia/Kolkata");
    EXPECT_EQ(AtlasCellText(s, a, 3, 1), "  3\xB0"
                                         "20'W");
}

TEST_F(SmallAtlas, BrokenLinksAreRefusedOnLoad) {
    struct Case {
        int coordRec, nameIndex, nameRec, coordIndex;
        const char* told; // after "The atlas is damaged: "
    };
    // Index 0, index past the end, and links that do not come back.
    const Case cases[] = {
        {0, 0, -1, 0, "geoc.atl, record 1: its link to record 0 of geon.atl lies outside the file"},
        {0, 3, -1, 0, "geoc.atl, record 1: its link to record 3 of geon.atl lies outside the file"},
        {-1, 0, 1, 0, "geoc.atl, record 1: its link to record 2 of geon.atl does not lead back"},
        {-1, 0, 0, 7, "geoc.atl, record 2: its link to record 1 of geon.atl does not lead back"},
        {0, 1, -1, 0, "geoc.atl, record 1: its link to record 1 of geon.atl does not lead back"}};
    for (const auto& c : cases) {
        SetUp();
        auto saveC = coords;
        auto saveN = names;
        if (c.coordRec >= 0) coords[c.coordRec].nameIndex = static_cast<uint16_t>(c.nameIndex);
        if (c.nameRec >= 0) names[c.nameRec].coordIndex = static_cast<uint16_t>(c.coordIndex);
        Write();
        report.messages.clear();
        EXPECT_FALSE(LoadAtlas(s, a));
        EXPECT_FALSE(a.ready);
        ASSERT_EQ(report.messages.size(), 1u);
        EXPECT_EQ(report.messages[0].text, std::string("The atlas is damaged: ") + c.told);
        coords = saveC;
        names = saveN;
    }
}

// An empty or cut file of the pair is named as such, not by the first link it breaks.
TEST_F(SmallAtlas, AnEmptyOrCutFileIsNamed) {
    struct Case {
        const char* file;
        std::size_t keep; // bytes kept
        const char* told;
    };
    const Case cases[] = {
        {"geoc.atl", 0, "geoc.atl: 0 records, but geon.atl holds 2"},
        {"geoc.atl", 8, "geoc.atl: 1 records, but geon.atl holds 2"},
        {"geon.atl", 0, "geoc.atl: 2 records, but geon.atl holds 0"},
    };
    for (const Case& c : cases) {
        Write();
        dir.Write(c.file, TempDir::Read(dir / c.file).substr(0, c.keep));
        report.messages.clear();
        EXPECT_FALSE(LoadAtlas(s, a)) << c.file;
        ASSERT_EQ(report.messages.size(), 1u) << c.file;
        EXPECT_EQ(report.messages[0].text, std::string("The atlas is damaged: ") + c.told);
    }
}

TEST_F(SmallAtlas, MoreRecordsThanTheLinksAddressAreRefused) {
    Write();
    dir.Write("geoc.atl", std::string(8 * 65536, '\0'));
    EXPECT_FALSE(LoadAtlas(s, a));
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_NE(report.messages[0].text.find("65535"), std::string::npos);
}

TEST_F(SmallAtlas, MissingFilesAreReported) {
    EXPECT_FALSE(LoadAtlas(s, a));
    EXPECT_EQ(report.messages.size(), 1u);
    // A missing region table gives "unknown", reported once.
    report.messages.clear();
    EXPECT_EQ(RegionName(s, a, "S040"), "unknown");
    EXPECT_EQ(RegionName(s, a, "S041"), "unknown");
    EXPECT_EQ(report.messages.size(), 1u);
}

// Region and country tables that do not read: each is told once and every look-up in it
// says "unknown", never a blank name; the tables are read once, when the atlas loads, and a
// file far too large for a table is refused by its size.
TEST_F(SmallAtlas, NameTablesThatDoNotReadSayUnknown) {
    struct Case {
        const char* what;
        std::string codreg, country;
        const char* told; // in the message, for the region table
    };
    const std::string header = ";\r\n;\r\n;\r\n;\r\n;\r\n";
    const std::vector<Case> cases = {
        {"empty files", "", "", "holds no entry"},
        {"header only", header, "\r\n\r\n", "holds no entry"},
        {"blank entries", header + "    \r\n", std::string(3, ' '), "holds no entry"},
        {"too large", header + "S040   Moscow\r\n" + std::string(kAtlasNameTableMaxBytes, 'x'),
         "Atlantis;R001;0\r\n" + std::string(kAtlasNameTableMaxBytes, 'x'), "too large"},
    };
    for (const Case& c : cases) {
        SetUp();
        Write();
        dir.Write("codreg.ctm", c.codreg);
        dir.Write("Country.atl", c.country);
        report.messages.clear();
        ASSERT_TRUE(LoadAtlas(s, a)) << c.what;
        EXPECT_TRUE(report.messages.empty()) << c.what; // told at the first look-up
        FilterAtlas(s, a);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(AtlasCellText(s, a, 1, 0), "Alpha, unknown") << c.what; // R001
            EXPECT_EQ(RegionName(s, a, "S040"), "unknown") << c.what;
            EXPECT_EQ(CountryCodeOfName(s, a, "Atlantis"), "") << c.what;
        }
        ASSERT_EQ(report.messages.size(), 2u) << c.what;
        EXPECT_EQ(report.messages[0].text.rfind("Country.atl: ", 0), 0u) << c.what;
        EXPECT_EQ(report.messages[1].text.rfind("codreg.ctm: ", 0), 0u) << c.what;
        EXPECT_NE(report.messages[1].text.find(c.told), std::string::npos)
            << report.messages[1].text;
        s.Messages.reportedMissing.clear();
    }
    // Sound tables are read once: removing them after loading changes no look-up.
    SetUp();
    Write();
    dir.Write("codreg.ctm", ";\r\n;\r\n;\r\n;\r\n;\r\nS040   Moscow\r\n");
    dir.Write("Country.atl", "Atlantis                       ;R001;0\r\n");
    report.messages.clear();
    ASSERT_TRUE(LoadAtlas(s, a));
    fs::remove(dir / "codreg.ctm");
    fs::remove(dir / "Country.atl");
    EXPECT_EQ(RegionName(s, a, "S040"), "Moscow");
    EXPECT_EQ(CountryOfCode(s, a, "R001"), "Atlantis");
    EXPECT_EQ(CountryCodeOfName(s, a, "Atlantis"), "R001");
    EXPECT_TRUE(report.messages.empty());
}

} // namespace
} // namespace qor
