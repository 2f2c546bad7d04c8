// A thousand charts spread over six centuries, every latitude band, all eighteen house systems
// and the main switches of the computation. Of each the values themselves are stored (the time
// step, every point's longitude, latitude and speed, the body records, the equatorial and
// horizontal places) and two fingerprints: one of the aspect matrices with their applying
// flags, one of the texts the chart shows (every point's position, latitude and daily motion as
// written, the cusps with their titles, the aspects of the matrix by name). A rework of the chart
// pipeline (a new structure, a faster path) may move a value by its last bits, within the
// allowance below, and must leave both fingerprints as they are.
//
// The stored values and fingerprints are rewritten with QOR_WRITE_FINGERPRINTS=1 in the
// environment, only after a change that is meant to alter results, and the reason goes into the
// commit.
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

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <optional>
#include <sstream>
#include <string>
#include <unordered_map>
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

// How a stored value is compared with the one computed now. The allowance is for the last bits
// that a reordering of the sums moves (one rotation per moment in place of several, sines and
// cosines taken in vector lanes): 1e-12 rad for an angle, the same turn of the vector for a
// length. A speed is held as tightly where it comes from a velocity; where it is the difference
// of two places over a step, each place may move by 1e-12 rad, so the speed by 2e-12 rad
// divided by that step: one second (kSecondInDays) for the cusps and the parts, 0.005 day for
// the true node.
enum class Kind : uint8_t { Exact, Angle, Seconds, Length, Speed };

struct Slot {
    double value;
    Kind kind;
    double allowance; // radians (Angle, Seconds), fraction of the scale (Length), rad/day (Speed)
    double scale;     // Length: the vector's size, AU or Earth radii
    std::string name;
};

constexpr double kAngleAllowance = 1e-12;
constexpr double kTrueNodeStepDays = 0.005;

// The allowance of point p's daily motion (radians per day).
double SpeedAllowance(int p) {
    if (p == 11 || p == 12) return 2 * kAngleAllowance / kTrueNodeStepDays;
    if (p >= kFirstExtraPoint) return 2 * kAngleAllowance / kSecondInDays;
    return kAngleAllowance;
}

// Every computed value of the chart in a fixed order, each with its kind.
std::vector<Slot> ChartValues(const AstroDat& s) {
    std::vector<Slot> v;
    auto add = [&](double x, Kind k, std::string name, double allowance = kAngleAllowance,
                   double scale = 1) { v.push_back({x, k, allowance, scale, std::move(name)}); };
    add(s.ChartJD, Kind::Exact, "ChartJD");
    add(s.ChartT, Kind::Exact, "ChartT");
    add(s.DeltaTSec, Kind::Exact, "DeltaTSec");
    add(s.NutPsi, Kind::Angle, "NutPsi");
    add(s.NutEps, Kind::Angle, "NutEps");
    add(s.EpsMean, Kind::Angle, "EpsMean");
    add(s.SiderealTimeSec, Kind::Seconds, "SiderealTimeSec");
    add(s.GeocLat, Kind::Angle, "GeocLat");
    add(s.GeocRadius, Kind::Length, "GeocRadius", kAngleAllowance, 1);
    const std::pair<const PointArray*, const char*> points[] = {
        {&s.PlanetLon, "PlanetLon"}, {&s.PlanetLat, "PlanetLat"}, {&s.PlanetLonSaved, "PlanetLonSaved"}};
    for (const auto& [a, name] : points)
        for (int p = 0; p < static_cast<int>(a->size()); ++p)
            add((*a)[p], Kind::Angle, std::string(name) + "[" + std::to_string(p) + "]");
    for (int p = 0; p < static_cast<int>(s.PlanetSpeed.size()); ++p)
        add(s.PlanetSpeed[p], Kind::Speed, "PlanetSpeed[" + std::to_string(p) + "]",
            SpeedAllowance(p));
    for (int n = 0; n < kBodyRecords; ++n) {
        const BodyRec& b = s.Bodies[n];
        // A record's lengths are held to the same turn of its largest vector.
        double size = 0;
        for (int f : {kBodySemiMajorAxis, kBodyHelioRadius, kBodyDistance})
            size = std::max(size, std::fabs(b[f]));
        for (int f = 0; f < static_cast<int>(b.size()); ++f) {
            const std::string name = "Bodies[" + std::to_string(n) + "][" + std::to_string(f) + "]";
            switch (f) {
            case kBodyEccentricity:
            case kBodySemiMajorAxis:
            case kBodyHelioRadius:
            case kBodyDistance:
            case kBodyHelioX:
            case kBodyHelioY:
            case kBodyHelioZ:
                add(b[f], Kind::Length, name, kAngleAllowance, std::max(size, std::fabs(b[f])));
                break;
            case kBodyMotion:
                add(b[f], Kind::Speed, name, SpeedAllowance(n));
                break;
            default:
                add(b[f], Kind::Angle, name);
            }
        }
    }
    const std::pair<const std::array<double, kBodyRecords>*, const char*> places[] = {
        {&s.BodyRA, "BodyRA"}, {&s.BodyDec, "BodyDec"}, {&s.BodyAz, "BodyAz"}, {&s.BodyAlt, "BodyAlt"}};
    for (const auto& [a, name] : places)
        for (int k = 0; k < kBodyRecords; ++k)
            add((*a)[k], Kind::Angle, std::string(name) + "[" + std::to_string(k) + "]");
    return v;
}

uint64_t BitsOf(double x) {
    uint64_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

// How far the value computed now is from the stored one, in units of its allowance (above 1 is
// a fault). Angles are compared round the circle, the sidereal time round the day.
double Excess(const Slot& now, double stored) {
    if (BitsOf(now.value) == BitsOf(stored)) return 0;
    if (!std::isfinite(now.value) || !std::isfinite(stored)) return INFINITY;
    const double d = now.value - stored;
    switch (now.kind) {
    case Kind::Exact:
        return INFINITY;
    case Kind::Angle:
        return std::fabs(std::remainder(d, kTwoPi)) / now.allowance;
    case Kind::Seconds:
        return std::fabs(std::remainder(d, 86400.0)) * (15 * kArcsecToRad) / now.allowance;
    case Kind::Length:
        return std::fabs(d) / (now.allowance * now.scale);
    case Kind::Speed:
        return std::fabs(d) / now.allowance;
    }
    return INFINITY;
}

// The stored values of all charts, little-endian. Per chart a two-bit tag per value (0: zero,
// 1: the value's 8 bytes follow, 2: the same bits as a value written earlier in this chart,
// whose number among those follows in one byte, or two once there are over 256 of them, 3: the
// same bits as this value of the chart before), then the bytes the tags call for, in the order
// of the values. Many values repeat another one (a body record and the point, a cusp kept by a
// heliocentric chart), which keeps the file small.
class ValuesFile {
public:
    static std::string Encode(const std::vector<std::vector<double>>& charts) {
        std::string out = kMagic;
        PutLe(out, charts.size(), 4);
        PutLe(out, charts.empty() ? 0 : charts[0].size(), 4);
        const std::vector<double>* previous = nullptr;
        for (const auto& c : charts) {
            std::string tags((c.size() * 2 + 7) / 8, '\0'), body;
            std::unordered_map<uint64_t, size_t> written; // bits → their number
            for (size_t i = 0; i < c.size(); ++i) {
                const uint64_t bits = BitsOf(c[i]);
                int tag = 1;
                if (bits == 0) {
                    tag = 0;
                } else if (previous && BitsOf((*previous)[i]) == bits) {
                    tag = 3;
                } else if (auto it = written.find(bits); it != written.end()) {
                    tag = 2;
                    PutLe(body, it->second, IndexBytes(written.size()));
                } else {
                    PutLe(body, bits, 8);
                    written.emplace(bits, written.size());
                }
                tags[i / 4] = static_cast<char>(tags[i / 4] | tag << (i % 4 * 2));
            }
            out += tags + body;
            previous = &c;
        }
        return out;
    }

    // The charts stored, or none when the file is not of this form.
    static std::vector<std::vector<double>> Decode(const std::string& in) {
        size_t at = 0;
        auto take = [&](size_t n) -> std::optional<uint64_t> {
            if (in.size() - at < n) return std::nullopt;
            uint64_t v = 0;
            for (size_t b = 0; b < n; ++b) v |= uint64_t(static_cast<unsigned char>(in[at + b])) << 8 * b;
            at += n;
            return v;
        };
        if (in.compare(0, kMagic.size(), kMagic) != 0) return {};
        at = kMagic.size();
        const auto count = take(4), size = take(4);
        if (!count || !size || *size > 65536) return {};
        std::vector<std::vector<double>> charts;
        for (uint64_t k = 0; k < *count; ++k) {
            const size_t tagBytes = (*size * 2 + 7) / 8;
            if (in.size() - at < tagBytes) return {};
            const std::string tags = in.substr(at, tagBytes);
            at += tagBytes;
            std::vector<double> c(*size);
            std::vector<uint64_t> written;
            for (size_t i = 0; i < c.size(); ++i) {
                const int tag = static_cast<unsigned char>(tags[i / 4]) >> (i % 4 * 2) & 3;
                std::optional<uint64_t> bits = 0;
                if (tag == 1) {
                    bits = take(8);
                    if (bits) written.push_back(*bits);
                } else if (tag == 2) {
                    const auto j = take(IndexBytes(written.size()));
                    if (!j || *j >= written.size()) return {};
                    bits = written[*j];
                } else if (tag == 3) {
                    if (charts.empty()) return {};
                    bits = BitsOf(charts.back()[i]);
                }
                if (!bits) return {};
                std::memcpy(&c[i], &*bits, sizeof(double));
            }
            charts.push_back(std::move(c));
        }
        return at == in.size() ? charts : std::vector<std::vector<double>>{};
    }

private:
    static inline const std::string kMagic = "qorchart";
    static int IndexBytes(size_t written) { return written <= 256 ? 1 : 2; }
    static void PutLe(std::string& out, uint64_t v, int bytes) {
        for (int b = 0; b < bytes; ++b) out += static_cast<char>(v >> 8 * b & 0xff);
    }
};

// One chart computed: its values, and the fingerprints of its aspect matrix and its texts.
struct ChartResult {
    std::vector<Slot> values;
    std::string fingerprints;
};

ChartResult ComputeChart(AstroDat& s, const AspDefTable& aspects, int k) {
    // A spread of moments from 1600 to 2200 that falls on every hour and minute.
    const DateTimeRec r = CalendarFromJD(MomentOf(k));
    ChartMoment m;
    m.Year = r.Year;
    m.Month = r.Month;
    m.Day = static_cast<int>(r.Day);
    m.Hour = r.Hour;
    m.Minute = r.Minute;
    m.Second = static_cast<int>(r.Second);
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
    f.Add(matrix.AspMatrix);
    f.Add(matrix.AspApplying);
    return {ChartValues(s), Hex(f.h) + " " + Hex(TextFingerprint(s, aspects, matrix, k))};
}

std::string ReadWhole(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

class ChartFingerprints : public ::testing::Test {
protected:
    void SetUp() override {
        s.ProgramFolder = fs::path(QOR_SOURCE_DIR) / "data";
        for (int i = 0; i < kPlanetSeriesBodies; ++i) ASSERT_TRUE(LoadPlanetTerms(s, i).ok);
        auto lines = BuiltInAspectLines();
        ReadAspectTable(aspects, lines);
    }
    AstroDat s;
    AspDefTable aspects;
    const fs::path storedValues = fs::path(QOR_FIXTURES_DIR) / "chart_values.bin";
    const fs::path storedPrints = fs::path(QOR_FIXTURES_DIR) / "chart_fingerprints.txt";
};

TEST_F(ChartFingerprints, AThousandChartsAreComputedAndWrittenAsStored) {
    std::vector<ChartResult> now;
    for (int k = 0; k < kCharts; ++k) now.push_back(ComputeChart(s, aspects, k));

    if (std::getenv("QOR_WRITE_FINGERPRINTS")) {
        std::vector<std::vector<double>> values;
        std::ofstream prints(storedPrints, std::ios::binary);
        for (const auto& c : now) {
            values.emplace_back();
            for (const auto& v : c.values) values.back().push_back(v.value);
            prints << c.fingerprints << '\n';
        }
        std::ofstream(storedValues, std::ios::binary) << ValuesFile::Encode(values);
        GTEST_SKIP() << "fingerprints written to " << storedPrints << " and " << storedValues;
    }

    const auto before = ValuesFile::Decode(ReadWhole(storedValues));
    ASSERT_EQ(before.size(), now.size()) << storedValues;
    std::ifstream in(storedPrints, std::ios::binary);
    ASSERT_TRUE(in) << storedPrints;
    std::vector<std::string> prints;
    for (std::string line; std::getline(in, line);) prints.push_back(line);
    ASSERT_EQ(prints.size(), now.size());

    int differ = 0;
    for (int k = 0; k < kCharts; ++k) {
        ASSERT_EQ(before[k].size(), now[k].values.size()) << "chart " << k;
        bool fault = false;
        for (size_t i = 0; i < before[k].size(); ++i) {
            const Slot& v = now[k].values[i];
            const double excess = Excess(v, before[k][i]);
            if (excess <= 1) continue;
            if (!fault && ++differ <= 5)
                ADD_FAILURE() << "chart " << k << ": " << v.name << " is "
                              << std::setprecision(17) << v.value << ", stored "
                              << before[k][i] << " (" << excess << " times the allowance)";
            fault = true;
        }
        if (prints[k] == now[k].fingerprints) continue;
        if (!fault && ++differ <= 5) {
            const bool matrix = prints[k].substr(0, 16) != now[k].fingerprints.substr(0, 16);
            ADD_FAILURE() << "chart " << k << (matrix ? ": aspect matrix" : ": texts") << " differ";
        }
    }
    EXPECT_EQ(differ, 0) << "of " << kCharts << " charts";
}

// The stored form gives back every bit, whatever repeats and zeros a chart holds, and refuses a
// file cut short or pointing ahead of itself.
TEST(ChartValuesFile, KeepsEveryBitAndRefusesBrokenFiles) {
    const std::vector<std::vector<double>> charts = {
        {0.0, 1.5, 1.5, -0.0, 3.25, INFINITY, 1.5, 7.0},
        {0.0, 1.5, 2.0, -0.0, 2.0, -INFINITY, 7.0, 7.0},
        {5e-324, 1.5, 2.0, 9.0, 9.0, 1e300, 7.0, -7.0},
    };
    const std::string file = ValuesFile::Encode(charts);
    const auto back = ValuesFile::Decode(file);
    ASSERT_EQ(back.size(), charts.size());
    for (size_t k = 0; k < charts.size(); ++k)
        for (size_t i = 0; i < charts[k].size(); ++i)
            EXPECT_EQ(BitsOf(back[k][i]), BitsOf(charts[k][i])) << k << " " << i;
    EXPECT_TRUE(ValuesFile::Decode(file.substr(0, file.size() - 1)).empty());
    EXPECT_TRUE(ValuesFile::Decode(file + "x").empty());
    EXPECT_TRUE(ValuesFile::Decode("other" + file).empty());

    // Past 256 different values a repeat names its value in two bytes.
    std::vector<double> many;
    for (int i = 0; i < 600; ++i) many.push_back(1.0 + (i < 300 ? i : 599 - i));
    const auto wide = ValuesFile::Decode(ValuesFile::Encode({many}));
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_EQ(wide[0], many);
}

// Each kind of value passes inside its allowance and fails just outside it.
TEST(ChartValuesCompare, AllowancesHoldAtTheirEdges) {
    struct Case {
        Kind kind;
        double allowance, scale, stored, now;
        bool passes;
    };
    const double a = kAngleAllowance;
    const Case cases[] = {
        {Kind::Exact, a, 1, 2451545.0, 2451545.0, true},
        {Kind::Exact, a, 1, 2451545.0, std::nextafter(2451545.0, 3e6), false},
        {Kind::Angle, a, 1, 1.0, 1.0 + 0.9e-12, true},
        {Kind::Angle, a, 1, 1.0, 1.0 + 1.1e-12, false},
        {Kind::Angle, a, 1, kTwoPi - 0.4e-12, 0.4e-12, true}, // round the circle
        {Kind::Angle, a, 1, 1.0, NAN, false},
        {Kind::Seconds, a, 1, 86399.99999999999, 0.0, true},
        {Kind::Seconds, a, 1, 100.0, 100.0 + 1.2e-8, true}, // 1e-12 rad is 1.375e-8 s
        {Kind::Seconds, a, 1, 100.0, 100.0 + 1.5e-8, false},
        {Kind::Length, a, 30, 25.0, 25.0 + 2.9e-11, true},
        {Kind::Length, a, 30, 25.0, 25.0 + 3.1e-11, false},
        {Kind::Speed, SpeedAllowance(27), 1, 6.3, 6.3 + 1.7e-7, true},
        {Kind::Speed, SpeedAllowance(27), 1, 6.3, 6.3 + 1.8e-7, false},
        {Kind::Speed, SpeedAllowance(2), 1, 0.23, 0.23 + 2e-12, false},
    };
    for (const Case& c : cases) {
        const Slot now{c.now, c.kind, c.allowance, c.scale, "case"};
        EXPECT_EQ(Excess(now, c.stored) <= 1, c.passes)
            << static_cast<int>(c.kind) << " " << c.stored << " " << c.now;
    }
}

} // namespace
} // namespace qor
