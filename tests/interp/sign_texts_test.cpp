// The shipped planet-in-sign and cusp-in-sign texts, read through the program's own key parser
// and section reader: for real charts every shown point and every cusp finds its section in
// both languages, and so does every point and cusp in every sign.
#include "interp/TextBase.h"
#include "interp/TextBases.h"

#include "core/AstroMath.h"
#include "core/Chart.h"
#include "core/Files.h"
#include "core/PlanetSeries.h"
#include "core/Planets.h"
#include "core/Text.h"
#include "support/RecordingReport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <string>

namespace qor::interp {
namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(QOR_SOURCE_DIR) / "data";

// The default sign base of a language, as the program names and finds it.
std::string SignBase(bool english) {
    std::string bytes;
    const fs::path p = ResolvePath(kData, DefaultBaseFile(BaseId::Sign, english));
    EXPECT_TRUE(ReadFileBytes(p, bytes).ok()) << p;
    return bytes;
}

// The sections a first-section reader takes for the point key (first, second).
std::vector<Section> Lookup(const std::string& base, int first, int second) {
    return ReadSections(base, [&](std::string_view h) {
        PlnKey k;
        return ParsePlnKey(h, k) && k.first == first && k.second == second ? Verdict::Take
                                                                           : Verdict::Skip;
    });
}

// The sign 1..12 of a longitude in radians.
int SignOf(double lon) {
    const double deg = std::fmod(std::fmod(lon / kDegToRad, 360.0) + 360.0, 360.0);
    return static_cast<int>(deg / 30.0) + 1;
}

void ExpectSection(const std::string& base, int first, int second, const char* lang) {
    const auto found = Lookup(base, first, second);
    ASSERT_EQ(found.size(), 1u) << lang << " [" << first << "." << second << "]";
    EXPECT_FALSE(HeaderTitle(found[0].header).empty()) << lang << " " << found[0].header;
    std::size_t chars = 0;
    for (const auto& line : found[0].lines) chars += line.size();
    // The cusps' texts are the shorter ones; no body is a stub.
    EXPECT_GE(chars, first > 100 ? 300u : 600u) << lang << " " << found[0].header;
}

struct FixtureChart {
    const char* where;
    DateTimeRec utc;
    double latDeg, lonDeg;
};

// Three births: a winter noon in Moscow, a summer night in New York, a late evening in Sydney.
const FixtureChart kCharts[] = {
    {"Moscow 1990", {1990, 1, 15, 12, 0, 0}, 55.75, 37.62},
    {"New York 1975", {1975, 7, 4, 3, 30, 0}, 40.71, -74.01},
    {"Sydney 2003", {2003, 11, 23, 22, 10, 0}, -33.87, 151.21},
};

class SignTextsTest : public ::testing::Test {
protected:
    void SetUp() override {
        s.ProgramFolder = kData;
        s.Report = &report;
        for (int i = 0; i < kPlanetSeriesBodies; ++i) ASSERT_TRUE(LoadPlanetTerms(s, i).ok) << i;
        ru = SignBase(false);
        en = SignBase(true);
    }
    void ChartAt(const FixtureChart& c) {
        s.ChartLat = c.latDeg * kDegToRad;
        s.ChartLong = c.lonDeg * kDegToRad;
        s.GeocLat = s.ChartLat;
        s.GeocRadius = 1;
        s.ChartJD = JulianDayOf(c.utc);
        CalcTimeScales(s);
        CalcChart(s, opt, gen, 0);
    }
    test::RecordingReport report;
    AstroDat s;
    ChartOptions opt;
    GeneralOptions gen;
    std::string ru, en;
};

TEST_F(SignTextsTest, EveryPointAndCuspOfThreeChartsFindsItsSection) {
    for (const FixtureChart& c : kCharts) {
        SCOPED_TRACE(c.where);
        ChartAt(c);
        for (int p = 1; p <= 16; ++p) {
            const int sign = SignOf(s.PlanetLon[static_cast<std::size_t>(p)]);
            ExpectSection(ru, p, sign, "ru");
            ExpectSection(en, p, sign, "en");
        }
        for (int h = 1; h <= 12; ++h) {
            const int sign = SignOf(s.PlanetLon[static_cast<std::size_t>(26 + h)]);
            ExpectSection(ru, 100 + h, sign, "ru");
            ExpectSection(en, 100 + h, sign, "en");
        }
    }
}

// The charts' signs differ from one another (a chart left at zero would find Aries everywhere).
TEST_F(SignTextsTest, TheChartsSpreadOverTheSigns) {
    std::set<int> sunSigns, ascSigns;
    for (const FixtureChart& c : kCharts) {
        ChartAt(c);
        sunSigns.insert(SignOf(s.PlanetLon[1]));
        ascSigns.insert(SignOf(s.PlanetLon[27]));
    }
    EXPECT_EQ(sunSigns, (std::set<int>{10, 4, 9})); // Capricorn, Cancer, Sagittarius
    EXPECT_EQ(ascSigns.size(), 3u);
}

TEST_F(SignTextsTest, EveryPointAndCuspInEverySignBothLanguages) {
    for (int sign = 1; sign <= 12; ++sign) {
        for (int p = 1; p <= 16; ++p) {
            ExpectSection(ru, p, sign, "ru");
            ExpectSection(en, p, sign, "en");
        }
        for (int h = 101; h <= 112; ++h) {
            ExpectSection(ru, h, sign, "ru");
            ExpectSection(en, h, sign, "en");
        }
    }
}

// The cusp titles are what the one-house report prints: the house and, for the angles, its name.
TEST_F(SignTextsTest, CuspTitlesNameTheHouse) {
    const struct {
        int key, sign;
        const char* ru;
        const char* en;
    } cases[] = {
        {101, 1, "Куспид I дома (Асцендент) в Овне", "Cusp of the 1st house (Ascendant) in Aries"},
        {104, 5, "Куспид IV дома во Льве", "Cusp of the 4th house in Leo"},
        {110, 10, "Куспид X дома (Середина неба) в Козероге",
         "Cusp of the 10th house (Midheaven) in Capricorn"},
        {112, 12, "Куспид XII дома в Рыбах", "Cusp of the 12th house in Pisces"},
    };
    for (const auto& c : cases) {
        const auto r = Lookup(ru, c.key, c.sign);
        const auto e = Lookup(en, c.key, c.sign);
        ASSERT_EQ(r.size(), 1u);
        ASSERT_EQ(e.size(), 1u);
        EXPECT_EQ(HeaderTitle(r[0].header), Cp(c.ru));
        EXPECT_EQ(HeaderTitle(e[0].header), c.en);
    }
}

} // namespace
} // namespace qor::interp
