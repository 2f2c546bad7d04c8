// A thousand charts spread over six centuries, every latitude band, all eighteen house systems
// and the main switches of the computation, each reduced to two fingerprints: one of the exact
// bits of what the chart computes (the time step, every point's longitude, latitude and speed,
// the body records, the equatorial and horizontal places and the aspect matrices), one of the
// texts the chart shows (every point's position, latitude and daily motion as written, the
// cusps with their titles, the aspects of the matrix by name). A rework of the chart pipeline
// (a new structure, a faster path) must leave every fingerprint as it is.
//
// The stored fingerprints are rewritten with QOR_WRITE_FINGERPRINTS=1 in the environment,
// only after a change that is meant to alter results, and the reason goes into the commit.
#include "core/Aspects.h"
#include "core/AstroMath.h"
#include "core/Chart.h"
#include "core/ChartMoment.h"
#include "core/Formats.h"
#include "core/Houses.h"
#include "core/Planets.h"
#include "core/Text.h"
#include "core/TimeStep.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

namespace qor {
namespace {

namespace fs = std::filesystem;

// The first 600 charts step a year and a third of a day at a time from 1600 to 2200; the next
// 400 cover the same centuries again at a stride of a year and a half, so they fall in other
// seasons and at other hours.
constexpr int kCharts = 1000;
constexpr int kFirstSpread = 600;

struct Fnv {
    uint64_t h = 1469598103934665603ull;
    void Bytes(const void* p, size_t n) {
        const auto* b = static_cast<const unsigned char*>(p);
        for (size_t i = 0; i < n; ++i) {
            h ^= b[i];
            h *= 1099511628211ull;
        }
    }
    template <class T> void Add(const T& v) { Bytes(&v, sizeof v); }
    void Text(const std::string& t) {
        Bytes(t.data(), t.size());
        Bytes("|", 1); // keeps "ab"+"c" apart from "a"+"bc"
    }
};

std::string Hex(uint64_t h) {
    std::ostringstream out;
    out << std::hex << std::setw(16) << std::setfill('0') << h;
    return out.str();
}

double MomentOf(int k) {
    if (k < kFirstSpread) return 2305447.5 + k * 365.2425 + k * 0.3791 + (k % 24) / 24.0;
    const int j = k - kFirstSpread;
    return 2305447.5 + 120.25 + j * 547.8637 + j * 0.2917 + (j * 7 % 24) / 24.0;
}

// The texts of the computed chart under naming and angle switches that vary with k; the
// switches are put back afterwards.
uint64_t TextFingerprint(AstroDat& s, const AspDefTable& aspects, const AspectMatrix& matrix,
                         int k) {
    const bool english = s.EnglishMode;
    const int dms = s.DMSFormat;
    s.EnglishMode = k % 2 == 1;
    s.DMSFormat = k % 4;
    Fnv f;
    {
        NamesAs names(s, k % 3 == 0, k % 3 == 1);
        for (int p = 0; p < static_cast<int>(s.PlanetLon.size()); ++p) {
            f.Text(BodyName(s, p));
            f.Text(FormatZodiacDMS(s, s.PlanetLon[p] * kRadToArcSec));
            f.Text(FormatZodiacDegMin(s, s.PlanetLon[p] * kRadToArcSec));
            f.Text(FormatZodiacAbbr(k % 2 == 0, s.PlanetLon[p]));
            f.Text(FormatDMS(s, s.PlanetLat[p] * kRadToArcSec));
            f.Text(FormatDMS(s, s.PlanetSpeed[p] * kRadToArcSec));
        }
        for (int h = 1; h <= 12; ++h)
            f.Text(Trim(CuspTitle(s, h, true)) + " " +
                   FormatZodiacDMS(s, s.PlanetLon[kFirstCuspPoint + h - 1] * kRadToArcSec));
        for (int i = 0; i < static_cast<int>(matrix.AspMatrix.size()); ++i)
            for (int j = 0; j < static_cast<int>(matrix.AspMatrix[i].size()); ++j) {
                const int a = matrix.AspMatrix[i][j];
                if (a == 0) continue;
                f.Text(std::to_string(i) + "-" + std::to_string(j) + " " +
                       AspectDisplayName(s, aspects.Asp[a].AspName) +
                       (matrix.AspApplying[i][j] ? " +" : " -"));
            }
    }
    s.EnglishMode = english;
    s.DMSFormat = dms;
    return f.h;
}

// The chart's two fingerprints as a line of the fixture: the bits, a blank, the texts.
std::string ChartFingerprint(AstroDat& s, const AspDefTable& aspects, int k) {
    // A spread of moments from 1600 to 2200 that falls on every hour and minute.
    ChartMoment m = MomentAtJD({}, MomentOf(k));
    m.ZoneMinutes = (k % 27 - 12) * 60;
    m.Lat = (-66.0 + (k * 7.31 - 132.0 * std::floor(k * 7.31 / 132.0))) * kDegToRad;
    m.Long = (-180.0 + std::fmod(k * 13.77, 360.0)) * kDegToRad;
    SetChartMoment(s, m);
    s.UseLightTime = k % 5 != 0;

    ChartOptions opt;
    opt.HouseSystem = 1 + k % kHouseSystemCount;
    opt.HelioBox = k % 31 == 7;
    opt.HorizontalBox = k % 29 == 5;
    opt.ArtaButton = k % 3 != 0;
    GeneralOptions gen;
    gen.HorParallax = k % 2 == 0;
    gen.BlackMoonFocus = k % 4 == 1;
    CalcAstroTime(s, TimeOptionsFor(opt, gen));
    CalcChart(s, opt, gen, 0);

    AspectOptions aspOpt;
    aspOpt.MinorCheck = k % 2 == 1;
    AspectMatrix matrix;
    CalcAspects(aspects, aspOpt, {&s.PlanetLon, &s.PlanetSpeed}, matrix);

    Fnv f;
    for (double v : {s.ChartJD, s.ChartT, s.DeltaTSec, s.NutPsi, s.NutEps, s.EpsMean,
                     s.SiderealTimeSec, s.GeocLat, s.GeocRadius})
        f.Add(v);
    f.Add(s.PlanetLon);
    f.Add(s.PlanetLat);
    f.Add(s.PlanetSpeed);
    f.Add(s.PlanetLonSaved);
    f.Add(s.Bodies);
    f.Add(s.BodyRA);
    f.Add(s.BodyDec);
    f.Add(s.BodyAz);
    f.Add(s.BodyAlt);
    f.Add(matrix.AspMatrix);
    f.Add(matrix.AspApplying);
    return Hex(f.h) + " " + Hex(TextFingerprint(s, aspects, matrix, k));
}

TEST(ChartFingerprints, AThousandChartsAreComputedAndWrittenAsStored) {
    AstroDat s;
    s.ProgramFolder = fs::path(QOR_SOURCE_DIR) / "data";
    for (int i = 0; i < kPlanetSeriesBodies; ++i) ASSERT_TRUE(LoadPlanetTerms(s, i).ok);
    AspDefTable aspects;
    auto lines = BuiltInAspectLines();
    ReadAspectTable(aspects, lines);

    std::vector<std::string> now;
    for (int k = 0; k < kCharts; ++k) now.push_back(ChartFingerprint(s, aspects, k));

    const fs::path stored = fs::path(QOR_FIXTURES_DIR) / "chart_fingerprints.txt";
    if (std::getenv("QOR_WRITE_FINGERPRINTS")) {
        std::ofstream out(stored, std::ios::binary);
        for (const auto& h : now) out << h << '\n';
        GTEST_SKIP() << "fingerprints written to " << stored;
    }
    std::ifstream in(stored, std::ios::binary);
    ASSERT_TRUE(in) << stored;
    std::vector<std::string> before;
    for (std::string line; std::getline(in, line);) before.push_back(line);
    ASSERT_EQ(before.size(), now.size());
    int differ = 0;
    for (int k = 0; k < kCharts; ++k) {
        if (before[k] == now[k] || ++differ > 5) continue;
        const bool bits = before[k].substr(0, 16) != now[k].substr(0, 16);
        ADD_FAILURE() << "chart " << k << (bits ? ": computed bits" : ": texts") << " differ";
    }
    EXPECT_EQ(differ, 0) << "of " << kCharts << " charts";
}

} // namespace
} // namespace qor
