// Makes "chiron.dat": for each month of 1930..2000, Chiron's accurate geocentric longitude minus
// the Kepler longitude of the default Chiron line of the user-body list, radians, 852
// little-endian doubles.
//
// The accurate orbit is integrated numerically (Runge-Kutta 4, a step of one day) from the
// osculating elements of "2060 Chiron" in the shipped "asteroid.csv" (JPL Small-Body Database,
// epoch 2022) back to 1930, under the Sun (with the masses of Mercury to Mars added to it) and
// the attraction of Jupiter, Saturn, Uranus and Neptune, whose positions come from the
// program's own planet series ("PLANETS.NDX", "PLANETS.DAT"). The correction of a month is
// taken on its 16th day at 0h TT.
//
// It also writes tests/fixtures/chiron_reference.txt: the integrated geocentric longitude at 20
// dates, for the test that the table reproduces the integrated orbit.
//
// Usage: make_chiron <data folder> [fixture file]
#include "core/AstroDat.h"
#include "core/AstroMath.h"
#include "core/ChironTable.h"
#include "core/Files.h"
#include "core/Formats.h"
#include "core/Planets.h"
#include "sky/Asteroids.h"
#include "sky/ChironOrbit.h"

#include <cmath>
#include <cstdio>
#include <map>

using namespace qor;

namespace {

constexpr int kChosenDay = kChironTableDay;
constexpr double kStepDays = 1.0;

double Tof(double jd) {
    return (jd - kJ2000) / 36525.0;
}

Vec3 Sub(const Vec3& a, const Vec3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
double Norm(const Vec3& a) {
    return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
}

double JdTT(int y, int m, int d) {
    DateTimeRec rec;
    rec.Year = y;
    rec.Month = m;
    rec.Day = d;
    return JulianDayOf(rec);
}

// Accurate geometric geocentric longitude of date from the integrated heliocentric J2000 state,
// with one light-time step as the chart computation takes it.
double AccurateGeoLongitude(const AstroDat& s, const OrbitState& st, double jd) {
    const double T = Tof(jd);
    const Spherical earth = PlanetHelio(s.Planets, 3, T);
    const Vec3 e = SphToRect(earth.lon, earth.lat, earth.r);
    Vec3 g = Sub(EclipticJ2000ToDate(st.r, T), e);
    const double tau = Norm(g) * 1.5812507323750856e-7 * 36525.0; // days
    const Vec3 back{st.r.x - st.v.x * tau, st.r.y - st.v.y * tau, st.r.z - st.v.z * tau};
    g = Sub(EclipticJ2000ToDate(back, T), e);
    return RectToSph(g.x, g.y, g.z).lon;
}

OsculatingElements ElementsFromLine(const std::vector<std::string>& f) {
    OsculatingElements el;
    el.meanAnomaly = StrToFloatHM(f[0]) * kDegToRad;
    el.argPeri = StrToFloatHM(f[1]) * kDegToRad;
    el.node = StrToFloatHM(f[2]) * kDegToRad;
    el.incl = StrToFloatHM(f[3]) * kDegToRad;
    el.e = StrToFloatHM(f[4]);
    el.a = StrToFloatHM(f[5]);
    el.epoch = StrToFloatHM(f[6]);
    return el;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_chiron <data folder> [fixture file]\n");
        return 2;
    }
    NullReport quiet;
    AstroDat s;
    s.ProgramFolder = argv[1];
    s.Report = &quiet;
    std::string error;
    const std::optional<OsculatingElements> catalogued = CatalogueOrbit(s, "2060 Chiron", error);
    if (!catalogued) {
        std::fprintf(stderr, "make_chiron: %s\n", error.c_str());
        return 1;
    }
    const OsculatingElements el2022 = *catalogued;
    std::vector<std::string> userLines = DefaultUserBodies();
    std::vector<std::string> fields;
    for (int f = 7; f <= 13; ++f) fields.push_back(GetAstField(userLines, f, 2));
    const OsculatingElements defaultLine = ElementsFromLine(fields);

    const std::vector<Perturber> giants = GiantPlanets(s);
    const double muSun = SunWithInnerPlanetsGM();
    const OrbitIntegrator integrator(muSun, giants, kStepDays);
    const OrbitIntegrator halfStep(muSun, giants, kStepDays / 2);

    // Integrate back from the 2022 epoch, keeping the state at every day of 1929 Dec .. 2001 Jan.
    const double jdStart = JdTT(1929, 12, 1), jdEnd = JdTT(2001, 2, 1);
    OrbitState st = StateFromElements(el2022, kGaussK2, el2022.epoch);
    integrator.Propagate(st, el2022.epoch, jdEnd);
    std::map<long long, OrbitState> daily;
    for (double jd = jdEnd; jd >= jdStart - 0.5; jd -= kStepDays) {
        daily[std::llround(jd - 0.5)] = st;
        integrator.Propagate(st, jd, jd - kStepDays);
    }
    auto stateAt = [&](double jd) { return daily.at(std::llround(jd - 0.5)); };

    // Numerical accuracy: the same with half the step, at 1930.
    {
        OrbitState a = StateFromElements(el2022, kGaussK2, el2022.epoch);
        OrbitState b = a;
        integrator.Propagate(a, el2022.epoch, JdTT(1930, 1, 1));
        halfStep.Propagate(b, el2022.epoch, JdTT(1930, 1, 1));
        const double d = Norm(Sub(a.r, b.r));
        std::printf(
            "make_chiron: step 1 d against 0.5 d at 1930: %.3g AU (%.3g\" seen from the Sun)\n", d,
            d / Norm(a.r) * kRadToArcSec);
    }
    // Check against independent elements: the 1992 osculating elements of the default line.
    {
        const OrbitState ref = StateFromElements(defaultLine, kGaussK2, defaultLine.epoch);
        const OrbitState got = stateAt(defaultLine.epoch);
        const double d = Norm(Sub(ref.r, got.r));
        std::printf("make_chiron: integrated place at the 1992 epoch of the default line against "
                    "those elements: %.3g AU (%.1f\" seen from the Sun)\n",
                    d, d / Norm(ref.r) * kRadToArcSec);
    }

    std::string bytes;
    LeWriter w;
    double maxCorr = 0, maxWithinMonth = 0;
    int worstY = 0, worstM = 0;
    for (int y = kChironFirstYear; y <= kChironLastYear; ++y) {
        for (int m = 1; m <= 12; ++m) {
            const double jd = JdTT(y, m, kChosenDay);
            const double corr = NormAngleSigned(AccurateGeoLongitude(s, stateAt(jd), jd) -
                                                ElementBodyGeoLongitude(s, defaultLine, Tof(jd)));
            w.f64(corr);
            maxCorr = std::max(maxCorr, std::abs(corr));
            // How far the correction moves within the month (every day of it).
            const int days = (m == 12 ? JdTT(y + 1, 1, 1) : JdTT(y, m + 1, 1)) - JdTT(y, m, 1);
            for (int d = 1; d <= days; ++d) {
                const double jdd = JdTT(y, m, d);
                const double c = NormAngleSigned(AccurateGeoLongitude(s, stateAt(jdd), jdd) -
                                                 ElementBodyGeoLongitude(s, defaultLine, Tof(jdd)));
                if (std::abs(c - corr) > maxWithinMonth) {
                    maxWithinMonth = std::abs(c - corr);
                    worstY = y;
                    worstM = m;
                }
            }
        }
    }
    // The same between the monthly values, interpolated.
    ChironTable table;
    {
        LeReader r(w.bytes());
        for (double& v : table.Values) v = r.f64();
        table.Loaded = true;
    }
    double maxInterp = 0;
    double worstJd = 0;
    for (double jd = JdTT(1930, 1, 1); jd < JdTT(2001, 1, 1); jd += 1) {
        const double c = NormAngleSigned(AccurateGeoLongitude(s, stateAt(jd), jd) -
                                         ElementBodyGeoLongitude(s, defaultLine, Tof(jd)));
        const double err = std::abs(c - ChironCorrectionAt(table, jd));
        if (err > maxInterp) {
            maxInterp = err;
            worstJd = jd;
        }
    }
    const IoResult saved = SaveFileAtomic(ResolvePath(s.ProgramFolder, "chiron.dat"), w.bytes());
    if (!saved.ok()) {
        std::fprintf(stderr, "make_chiron: %s\n", saved.message.c_str());
        return 1;
    }
    std::printf("make_chiron: %d corrections (day %d of each month, 0h TT) -> chiron.dat (%zu "
                "bytes); largest correction %.3f deg\n",
                kChironEntries, kChosenDay, w.bytes().size(), maxCorr / kDegToRad);
    std::printf("make_chiron: largest change of the correction within a month: %.2f' (%04d-%02d)\n",
                maxWithinMonth / kDegToRad * 60, worstY, worstM);
    const DateTimeRec worst = CalendarFromJD(worstJd);
    std::printf("make_chiron: largest error of the interpolated correction, every day of "
                "1930..2000: %.2f\" (%04d-%02d-%02.0f)\n",
                maxInterp / kDegToRad * 3600, worst.Year, worst.Month, worst.Day);

    if (argc > 2) {
        std::vector<std::string> lines = {
            "# Chiron's geometric geocentric ecliptic longitude of date (deg) from the integrated",
            "# orbit of tools/chiron/make_chiron.cpp; date (TT, 0h) and longitude."};
        // Days across the month, so that the test sees the table between its monthly values.
        const int dates[20][3] = {{1930, 3, 2},   {1933, 7, 29}, {1937, 11, 9}, {1941, 2, 23},
                                  {1944, 6, 5},   {1945, 3, 31}, {1948, 9, 12}, {1951, 12, 30},
                                  {1955, 4, 7},   {1958, 8, 20}, {1962, 1, 3},  {1965, 5, 25},
                                  {1968, 12, 14}, {1972, 2, 28}, {1975, 6, 10}, {1978, 11, 19},
                                  {1982, 3, 1},   {1985, 7, 31}, {1994, 4, 22}, {2000, 12, 30}};
        for (const auto& d : dates) {
            const double jd = JdTT(d[0], d[1], d[2]);
            char buf[96];
            std::snprintf(buf, sizeof buf, "%04d %02d %02d %.8f", d[0], d[1], d[2],
                          AccurateGeoLongitude(s, stateAt(jd), jd) / kDegToRad);
            lines.push_back(buf);
        }
        const IoResult r = WriteTextFileAtomic(argv[2], lines);
        if (!r.ok()) {
            std::fprintf(stderr, "make_chiron: %s\n", r.message.c_str());
            return 1;
        }
        std::printf("make_chiron: 20 reference longitudes -> %s\n", argv[2]);
    }
    return 0;
}
