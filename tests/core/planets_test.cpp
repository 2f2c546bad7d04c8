// The planet series files and their evaluation: the generated series against the full
// VSOP87 series, positions against libnova, the rates against differences, Pluto, and the
// reports of damaged files.
#include "core/Ephemeris.h"
#include "core/Planets.h"

#include "support/RecordingReport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <libnova/libnova.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>

namespace qor {
namespace {

constexpr double kArcsec = kArcsecToRad;

// How much a radius error dR (AU) turns a body's direction seen from the Earth, at worst:
// dR·sin θ / Δ² over the heliocentric angle θ between the Earth and the body (the Earth at
// 1 AU). For the Earth's own radius the worst case is Venus at its closest.
double RadiusTurnPerAu(int record) {
    const double meanR[9] = {1.0, 0.387, 0.723, 1.0, 1.524, 5.203, 9.537, 19.19, 30.07};
    const bool earth = record == 0 || record == 3;
    const double r = earth ? 0.7233 : meanR[record];
    double worst = 0;
    for (int k = 1; k < 3600; ++k) {
        const double theta = kPi * k / 3600;
        worst = std::max(worst, std::sin(theta) / (1 + r * r - 2 * r * std::cos(theta)));
    }
    return worst * (earth ? r : 1.0);
}

// An AstroDat whose program folder is the shipped data/ with every series loaded.
class PlanetFiles : public ::testing::Test {
protected:
    void SetUp() override {
        s.ProgramFolder = fs::path(QOR_SOURCE_DIR) / "data";
        s.Report = &report;
        for (int i = 0; i < kPlanetSeriesBodies; ++i) ASSERT_TRUE(LoadPlanetTerms(s, i).ok) << i;
        EXPECT_TRUE(report.messages.empty());
    }
    test::RecordingReport report;
    AstroDat s;
};

TEST_F(PlanetFiles, EveryBodyWithinSevenHundredTerms) {
    for (int i = 0; i < kPlanetSeriesBodies; ++i) {
        const auto& b = s.Planets.bodies[i];
        EXPECT_TRUE(b.loaded);
        int total = 0;
        for (int k = 0; k < 18; ++k) total += b.index.count[k];
        EXPECT_GT(total, 300) << i;
        EXPECT_LE(total, 700) << i;
    }
}

TEST_F(PlanetFiles, GeneratedSeriesAgainstTheFullSeries) {
    // 20 dates 1800..2200, full sums written by the generator. The truncation is chosen for
    // 0.02" and measured under 0.2" over 1900..2100 for the bodies that hit 700 terms; over
    // 1800..2200 the bound is 0.3" in L and B, and 0.6" for the radius turned into an angle
    // (the generator allows the radius twice the angle, its weight being the worst geometry).
    std::ifstream in(fs::path(QOR_FIXTURES_DIR) / "vsop87_full_reference.txt");
    ASSERT_TRUE(in) << "missing fixture";
    std::string line;
    int rows = 0;
    double worst[9][3] = {};
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream f(line);
        int rec = 0;
        double year = 0, T = 0, L = 0, B = 0, R = 0;
        f >> rec >> year >> T >> L >> B >> R;
        const Spherical p = PlanetSeriesSums(s.Planets, rec, T);
        worst[rec][0] = std::max(worst[rec][0], std::fabs(p.lon - L) * std::cos(B) / kArcsec);
        worst[rec][1] = std::max(worst[rec][1], std::fabs(p.lat - B) / kArcsec);
        worst[rec][2] = std::max(worst[rec][2], std::fabs(p.r - R));
        ++rows;
    }
    EXPECT_EQ(rows, 9 * 20);
    for (int rec = 0; rec < 9; ++rec) {
        EXPECT_LT(worst[rec][0], 0.3) << "record " << rec;
        EXPECT_LT(worst[rec][1], 0.3) << "record " << rec;
        EXPECT_LT(worst[rec][2] * RadiusTurnPerAu(rec), 0.6 * kArcsec) << "record " << rec;
    }
}

using HelioFn = void (*)(double, ln_helio_posn*);

// Heliocentric ecliptic of date to the ecliptic and equinox of J2000, through the equator:
// rigorous precession from T to J2000.
Spherical EclipticOfDateToJ2000(const Spherical& p, double T) {
    const EquPos q = EclToEqu(MeanObliquity(T), p.lat, p.lon);
    double ra = q.ra, dec = q.dec;
    PrecessRaDec(ra, dec, 0, T);
    AstroDat j2000;
    j2000.EpsMean = EpsJ2000;
    j2000.NutEps = 0;
    const EclPos e = EquToEclTrue(j2000, dec, ra);
    return {e.lon, e.lat, p.r};
}

TEST_F(PlanetFiles, AgainstLibnovaOverTwoCenturies) {
    // libnova sums its own VSOP87 tables and gives the ecliptic and equinox of J2000: the
    // series of date are taken there by rigorous precession (which agrees with VSOP87's own
    // frame to a few 0.01"). 300 random dates 1900..2100. Tolerance 0.5" for the planets: the
    // truncation here (under 0.2") plus libnova's own and the frame change.
    // The largest differences found are printed (they go into the report of this work).
    struct Body {
        int i;
        const char* name;
        HelioFn fn;
        double tolArcsec; // L and B; the radius, as the angle it may turn the body: twice
    };
    const Body bodies[] = {{1, "Mercury", ln_get_mercury_helio_coords, 0.5},
                           {2, "Venus", ln_get_venus_helio_coords, 0.5},
                           {3, "Earth", ln_get_earth_helio_coords, 0.5},
                           {4, "Mars", ln_get_mars_helio_coords, 0.5},
                           {5, "Jupiter", ln_get_jupiter_helio_coords, 0.5},
                           {6, "Saturn", ln_get_saturn_helio_coords, 0.5},
                           {7, "Uranus", ln_get_uranus_helio_coords, 0.5},
                           {8, "Neptune", ln_get_neptune_helio_coords, 0.5},
                           {0, "Earth J2000", ln_get_earth_helio_coords, 0.5}};
    std::mt19937 rng(1900);
    std::uniform_real_distribution<double> year(1900, 2100);
    std::vector<double> jds;
    for (int k = 0; k < 300; ++k) jds.push_back(2451545.0 + (year(rng) - 2000) * 365.25);
    for (const Body& b : bodies) {
        double wl = 0, wb = 0, wr = 0;
        for (double jd : jds) {
            ln_helio_posn ref{};
            b.fn(jd, &ref);
            const double T = (jd - 2451545.0) / 36525.0;
            Spherical p = PlanetPositionVsop(s.Planets, b.i, T);
            if (b.i != 0) p = EclipticOfDateToJ2000(p, T);
            wl = std::max(wl, std::fabs(NormAngleSigned(p.lon - ref.L * kDegToRad)) *
                                  std::cos(p.lat) / kArcsec);
            wb = std::max(wb, std::fabs(p.lat - ref.B * kDegToRad) / kArcsec);
            wr = std::max(wr, std::fabs(p.r - ref.R));
        }
        wr *= RadiusTurnPerAu(b.i) / kArcsec; // as the angle it may turn the body, arc-seconds
        std::printf("%-12s L %.3f\"  B %.3f\"  R %.3f\" as an angle\n", b.name, wl, wb, wr);
        EXPECT_LT(wl, b.tolArcsec) << b.name;
        EXPECT_LT(wb, b.tolArcsec) << b.name;
        EXPECT_LT(wr, 2 * b.tolArcsec) << b.name;
    }
}

TEST(Pluto, AgainstLibnova) {
    // Both are Meeus' theory, J2000; libnova has the second-edition coefficients, these the
    // first-edition ones, which differ by up to 0.001° in a coefficient: 30" and 1e-3 AU.
    double wl = 0, wb = 0, wr = 0;
    for (double year = 1890; year <= 2095; year += 0.73) {
        const double jd = 2451545.0 + (year - 2000) * 365.25;
        ln_helio_posn ref{};
        ln_get_pluto_helio_coords(jd, &ref);
        const Spherical p = PlutoPosition((jd - 2451545.0) / 36525.0);
        wl = std::max(wl, std::fabs(NormAngleSigned(p.lon - ref.L * kDegToRad)) / kArcsec);
        wb = std::max(wb, std::fabs(p.lat - ref.B * kDegToRad) / kArcsec);
        wr = std::max(wr, std::fabs(p.r - ref.R));
    }
    std::printf("Pluto L %.3f\"  B %.3f\"  R %.2e AU\n", wl, wb, wr);
    EXPECT_LT(wl, 30);
    EXPECT_LT(wb, 30);
    EXPECT_LT(wr, 1e-3);
}

TEST(Pluto, MeeusExample37a) {
    // 1992 Oct 13.0 TD: l = 232.74009°. The latitude and radius printed with the revised
    // (second-edition) coefficients, b = 14.58782° and R = 29.711111 AU, differ from what the
    // first-edition coefficients give by 1.3e-4° and 2.7e-4 AU.
    const Spherical p = PlutoPosition((2448908.5 - 2451545.0) / 36525.0);
    EXPECT_NEAR(p.lon / kDegToRad, 232.74009, 1e-5);
    EXPECT_NEAR(p.lat / kDegToRad, 14.58782, 2e-4);
    EXPECT_NEAR(p.r, 29.711111, 3e-4);
}

TEST(Pluto, TableAtJ2000AndRate) {
    // At T = 0 the arguments are J = 34.35°, S = 50.08°, P = 238.96°: the longitude is the
    // table's sum at those angles plus 238.956785°. The rate from the same pass agrees with
    // the central difference over ±1 day to its rounding.
    Spherical rate;
    const Spherical p = PlutoPositionRate(0, rate);
    EXPECT_NEAR(p.lon / kDegToRad, 250.54, 0.05); // Pluto in Sagittarius in 2000
    const double h = 1.0 / 36525.0;
    const Spherical a = PlutoPosition(h), b = PlutoPosition(-h);
    EXPECT_NEAR(rate.lon, NormAngleSigned(a.lon - b.lon) / (2 * h), 1e-8);
    EXPECT_NEAR(rate.lat, (a.lat - b.lat) / (2 * h), 1e-8);
    EXPECT_NEAR(rate.r, (a.r - b.r) / (2 * h), 1e-7);
}

TEST_F(PlanetFiles, MeeusExample32a) {
    // Venus, 1992 Dec 20, 0h TD: L = 26.11428°, B = −2.62070°, R = 0.724603 AU (before the FK5
    // correction), from Meeus' abridged tables, which are good to about 1": tolerance 1".
    const Spherical p = PlanetSeriesSums(s.Planets, 2, (2448976.5 - 2451545.0) / 36525.0);
    EXPECT_NEAR(NormAngleSigned(p.lon - 26.11428 * kDegToRad) / kArcsec, 0, 1.0);
    EXPECT_NEAR((p.lat - -2.62070 * kDegToRad) / kArcsec, 0, 1.0);
    EXPECT_NEAR(p.r, 0.724603, 2e-6);
}

TEST_F(PlanetFiles, RatesAgreeWithDifferences) {
    // The rate of the same pass against a five-point difference over ±1 and ±2 hours, whose
    // rounding (the series sum L up to thousands of radians before its reduction) is about
    // 1e-5 rad per century; and against the one-second backward difference the chart
    // computation used for its speeds, within that difference's own rounding, 5e-3 rad per
    // century (0.03" a day).
    const double hour = 1.0 / 24.0 / 36525.0, second = hour / 3600.0;
    const auto diff = [](double x, double y) { return NormAngleSigned(x - y); };
    for (int i = 0; i <= 9; ++i) {
        for (double T = -1.0; T <= 1.0; T += 0.173) {
            Spherical rate;
            const Spherical p = PlanetHelioRate(s.Planets, i, T, rate);
            EXPECT_EQ(p.lon, PlanetHelio(s.Planets, i, T).lon);
            const Spherical m2 = PlanetHelio(s.Planets, i, T - 2 * hour), m1 = PlanetHelio(s.Planets, i, T - hour);
            const Spherical p1 = PlanetHelio(s.Planets, i, T + hour), p2 = PlanetHelio(s.Planets, i, T + 2 * hour);
            const double dl = (8 * diff(p1.lon, m1.lon) - diff(p2.lon, m2.lon)) / (12 * hour);
            const double db = (8 * (p1.lat - m1.lat) - (p2.lat - m2.lat)) / (12 * hour);
            const double dr = (8 * (p1.r - m1.r) - (p2.r - m2.r)) / (12 * hour);
            EXPECT_NEAR(rate.lon, dl, 2e-5) << i << " " << T;
            EXPECT_NEAR(rate.lat, db, 2e-5) << i << " " << T;
            EXPECT_NEAR(rate.r, dr, 2e-5 * (1 + p.r)) << i << " " << T;
            const Spherical before = PlanetHelio(s.Planets, i, T - second);
            EXPECT_NEAR(rate.lon, diff(p.lon, before.lon) / second, 5e-3) << i << " " << T;
        }
    }
}

TEST_F(PlanetFiles, SunIsZeroAndOtherNumbersGiveNothing) {
    for (double T : {-3.0, 0.0, 0.5}) {
        for (int i : {0, 10, -1}) {
            const Spherical p = PlanetHelio(s.Planets, i, T);
            EXPECT_EQ(p.lon, 0);
            EXPECT_EQ(p.lat, 0);
            EXPECT_EQ(p.r, 0);
        }
    }
}

TEST_F(PlanetFiles, SeriesSumsAreTheSameBitsInEightLanesAndInFour) {
    // A body's terms go through the vector registers as blocks of eight, in one register of
    // eight lanes or two of four; every sum and rate must come out the same to the bit.
    double wide[18], wideRates[18], halves[18], halfRates[18];
    const PlanetBodyTerms& first = s.Planets.bodies[1];
    if (!PlanetSeriesKernelSums(first, 0.1, 8, wide, wideRates))
        GTEST_SKIP() << "no eight-lane kernel on this processor";
    for (int i = 0; i < kPlanetSeriesBodies; ++i) {
        const PlanetBodyTerms& b = s.Planets.bodies[static_cast<std::size_t>(i)];
        for (double tau : {-0.5, -0.123456789, 0.0, 0.0123, 0.25, 0.5}) {
            ASSERT_TRUE(PlanetSeriesKernelSums(b, tau, 8, wide, wideRates));
            ASSERT_TRUE(PlanetSeriesKernelSums(b, tau, 4, halves, halfRates));
            EXPECT_EQ(std::memcmp(wide, halves, sizeof wide), 0) << "body " << i << " tau " << tau;
            EXPECT_EQ(std::memcmp(wideRates, halfRates, sizeof wideRates), 0)
                << "body " << i << " tau " << tau;
        }
    }
}

TEST(SinCosPhases, AgreesWithTheLibrary) {
    // Phases as large as the series reach (C up to 2e5 rad per millennium, |τ| <= 0.5),
    // within an ulp or two of the library's sine and cosine.
    std::mt19937 rng(87);
    std::uniform_real_distribution<double> b(0, kTwoPi), c(-2e5, 2e5), tau(-0.5, 0.5);
    constexpr int n = 1000;
    std::vector<double> B(n), C(n), S(n), K(n);
    for (int k = 0; k < n; ++k) {
        B[k] = b(rng);
        C[k] = k < 10 ? 0.0 : c(rng);
    }
    for (double t : {tau(rng), tau(rng), 0.0, 0.5}) {
        SinCosPhases(B.data(), C.data(), t, n, S.data(), K.data());
        for (int k = 0; k < n; ++k) {
            const double x = B[k] + C[k] * t;
            // The phase B + C·τ itself carries a rounding of its size times 2^-53 (fused or not).
            const double tol = 1e-15 + 2.3e-16 * std::fabs(x);
            EXPECT_NEAR(S[k], std::sin(x), tol) << x;
            EXPECT_NEAR(K[k], std::cos(x), tol) << x;
        }
    }
}

// --- Damaged files --------------------------------------------------------------------------

struct TermFiles {
    std::string ndx, dat;
};

// A valid pair of files: body 0 with 2 terms (L0 and R0), body 1 with 3 terms.
TermFiles SmallFiles() {
    LeWriter n, d;
    const auto record = [&n](uint16_t first, const std::array<uint16_t, 18>& counts) {
        uint16_t at = first;
        for (int k = 0; k < 18; ++k) {
            n.u16(at);
            n.u16(counts[k]);
            at = static_cast<uint16_t>(at + counts[k]);
        }
    };
    record(0, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1});
    record(2, {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1});
    for (double a : {1.0, 1.0, 2.0, 0.5, 3.0}) {
        d.f64(a);
        d.f64(0);
        d.f64(0);
    }
    for (int i = 2; i < 9; ++i) record(5, {});
    return {n.bytes(), d.bytes()};
}

TEST(PlanetTermsLoad, SmallFilesLoad) {
    test::TempDir dir;
    const TermFiles f = SmallFiles();
    dir.Write("PLANETS.NDX", f.ndx);
    dir.Write("PLANETS.DAT", f.dat);
    AstroDat s;
    s.ProgramFolder = dir.path();
    ASSERT_TRUE(LoadPlanetTerms(s, 1).ok);
    const Spherical p = PlanetSeriesSums(s.Planets, 1, 0.3);
    EXPECT_DOUBLE_EQ(p.lon, 2.5); // 2 cos 0 + 0.5 cos 0
    EXPECT_DOUBLE_EQ(p.r, 3.0);
    // A body with no terms: L = 0 before the FK5 correction, so only the correction remains.
    ASSERT_TRUE(LoadPlanetTerms(s, 5).ok);
    const Spherical e = PlanetPositionVsop(s.Planets, 5, 0);
    EXPECT_NEAR(e.lon / kArcsec, -0.09033, 1e-9);
    EXPECT_EQ(e.r, 0);
}

TEST(PlanetTermsLoad, DamagedFilesAreReported) {
    struct Case {
        const char* what;
        std::function<void(TermFiles&)> damage;
        const char* says;
    };
    const std::vector<Case> cases = {
        {"no index file", [](TermFiles& f) { f.ndx = "-"; }, "Index file not found"},
        {"no terms file", [](TermFiles& f) { f.dat = "-"; }, "terms file not found"},
        {"short index", [](TermFiles& f) { f.ndx.resize(72 + 30); }, "PLANETS.NDX"},
        {"truncated terms", [](TermFiles& f) { f.dat.resize(4 * 24); }, "PLANETS.DAT"},
        {"torn term", [](TermFiles& f) { f.dat.resize(5 * 24 - 3); }, "PLANETS.DAT"},
        {"series out of order", [](TermFiles& f) { f.ndx[72 + 4] = 9; }, "PLANETS.NDX"},
        {"not a number",
         [](TermFiles& f) {
             const double nan = std::nan("");
             std::memcpy(&f.dat[3 * 24 + 8], &nan, 8);
         },
         "PLANETS.DAT"},
        // Finite but beyond any VSOP87 series: the sums overflow into NaN.
        {"absurd amplitude",
         [](TermFiles& f) {
             const double big = 1.5e308;
             std::memcpy(&f.dat[2 * 24], &big, 8);
         },
         "PLANETS.DAT, term 2"},
        {"absurd phase",
         [](TermFiles& f) {
             const double big = -1e300;
             std::memcpy(&f.dat[3 * 24 + 8], &big, 8);
         },
         "PLANETS.DAT, term 3"},
        {"absurd frequency",
         [](TermFiles& f) {
             const double big = 3e6;
             std::memcpy(&f.dat[4 * 24 + 16], &big, 8);
         },
         "PLANETS.DAT, term 4"},
        {"infinite frequency",
         [](TermFiles& f) {
             const double inf = HUGE_VAL;
             std::memcpy(&f.dat[4 * 24 + 16], &inf, 8);
         },
         "PLANETS.DAT, term 4"},
        {"index with trailing bytes", [](TermFiles& f) { f.ndx += "garbage"; }, "PLANETS.NDX"},
        {"index of ten records", [](TermFiles& f) { f.ndx += f.ndx.substr(0, 72); }, "PLANETS.NDX"},
        {"more than 700 terms",
         [](TermFiles& f) {
             const uint16_t big = 701;
             std::memcpy(&f.ndx[72 + 17 * 4 + 2], &big, 2);
         },
         "704 > 700"},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        TermFiles f = SmallFiles();
        c.damage(f);
        if (f.ndx != "-") dir.Write("PLANETS.NDX", f.ndx);
        if (f.dat != "-") dir.Write("PLANETS.DAT", f.dat);
        test::RecordingReport report;
        AstroDat s;
        s.EnglishMode = true;
        s.ProgramFolder = dir.path();
        s.Report = &report;
        const PlanetLoadResult r = LoadPlanetTerms(s, 1);
        EXPECT_FALSE(r.ok) << c.what;
        ASSERT_EQ(report.messages.size(), 1u) << c.what;
        EXPECT_EQ(report.messages[0].text, r.message) << c.what;
        EXPECT_NE(r.message.find(c.says), std::string::npos) << c.what << ": " << r.message;
        EXPECT_FALSE(s.Planets.bodies[1].loaded) << c.what;
        EXPECT_TRUE(s.Planets.bodies[1].A.empty()) << c.what;
    }
}

// A fresh program folder with an English state that records its reports.
struct SeriesFolder {
    test::TempDir dir;
    test::RecordingReport report;
    AstroDat s;
    SeriesFolder() {
        s.EnglishMode = true;
        s.ProgramFolder = dir.path();
        s.Report = &report;
    }
};

// The shipped files with Mercury's terms 600 and 601 (byte offsets 14400 and 14424) given an
// amplitude of 1.5e308: refused at loading, before any chart is computed from them.
TEST(PlanetTermsLoad, AbsurdAmplitudeInTheShippedFilesIsRefused) {
    SeriesFolder folder;
    const test::TempDir& dir = folder.dir;
    AstroDat& s = folder.s;
    const fs::path data = fs::path(QOR_SOURCE_DIR) / "data";
    dir.Write("PLANETS.NDX", test::TempDir::Read(data / "PLANETS.NDX"));
    std::string dat = test::TempDir::Read(data / "PLANETS.DAT");
    for (std::size_t at : {14400u, 14424u}) {
        const double big = 1.5e308;
        std::memcpy(&dat[at], &big, 8);
    }
    dir.Write("PLANETS.DAT", dat);
    const PlanetLoadResult r = LoadPlanetSeries(s);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "The planetary terms file is damaged: PLANETS.DAT, term 600");
    ASSERT_EQ(folder.report.messages.size(), 1u);
    EXPECT_FALSE(s.Planets.bodies[1].loaded);
    EXPECT_TRUE(s.Planets.bodies[0].loaded); // the Earth's record comes first and is sound
}

// Loading the whole series reports a missing or oversized file once, not once per body; the
// oversized file is refused by its size.
TEST(PlanetTermsLoad, WholeSeriesReportsOnce) {
    const TermFiles f = SmallFiles();
    struct Case {
        const char* what;
        bool ndx, dat;
        std::size_t datExtra;
        const char* says;
    };
    for (const Case& c :
         {Case{"no index", false, true, 0, "Index file not found"},
          Case{"no terms", true, false, 0, "terms file not found"},
          Case{"terms beyond the index's reach", true, true, 1600000, "PLANETS.DAT"}}) {
        SeriesFolder folder;
        if (c.ndx) folder.dir.Write("PLANETS.NDX", f.ndx);
        if (c.dat) folder.dir.Write("PLANETS.DAT", f.dat + std::string(c.datExtra / 24 * 24, '\0'));
        const PlanetLoadResult r = LoadPlanetSeries(folder.s);
        EXPECT_FALSE(r.ok) << c.what;
        ASSERT_EQ(folder.report.messages.size(), 1u) << c.what;
        EXPECT_NE(r.message.find(c.says), std::string::npos) << c.what << ": " << r.message;
    }
    test::TempDir dir;
    dir.Write("PLANETS.NDX", f.ndx);
    dir.Write("PLANETS.DAT", f.dat);
    AstroDat s;
    s.ProgramFolder = dir.path();
    EXPECT_TRUE(LoadPlanetSeries(s).ok);
    EXPECT_TRUE(s.Planets.bodies[1].loaded);
}

} // namespace
} // namespace qor
