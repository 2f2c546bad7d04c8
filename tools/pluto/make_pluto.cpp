// Makes "pluto.dat": Pluto's heliocentric places every 20 days over 1600..2400 (PlutoTable.h),
// which the chart takes outside 1885..2099, the years of the compiled theory.
//
// The orbit is integrated numerically (Runge-Kutta 4 at a fixed step) under the Sun (with the
// masses of Mercury to Mars added to it) and the attraction of Jupiter, Saturn, Uranus and
// Neptune at the places of the program's own planet series ("PLANETS.NDX", "PLANETS.DAT"), as
// for Chiron. Its start is the state of "134340 Pluto" in the shipped "asteroid.csv" (JPL
// Small-Body Database, epoch 2006 Sep 22), corrected by least squares so that the orbit meets
// the compiled theory every 100 days of 1885..2099: the catalogue's elements are not the
// heliocentric osculating elements of the real orbit (their velocity is some 24 m/s off; taken
// as they are, the orbit is 2 degrees off by 1885), while the theory agrees with modern
// ephemerides within a few arc-seconds over its years.
//
// It prints what the table is worth: the fit, the change of halving the step, the interpolation
// error between the table's places, the difference from the compiled theory over 1885..2099 and
// the step at the two joins. It also writes tests/fixtures/pluto_reference.txt: integrated
// places at 20 dates halfway between the table's places.
//
// Usage: make_pluto <data folder> [fixture file]
#include "core/AstroDat.h"
#include "core/AstroMath.h"
#include "core/Files.h"
#include "core/Formats.h"
#include "core/Planets.h"
#include "core/PlutoTable.h"
#include "sky/Asteroids.h"
#include "sky/ChironOrbit.h"

#include <cmath>
#include <array>
#include <cstdio>
#include <vector>

using namespace qor;

namespace {

constexpr double kStepDays = 2.5;
constexpr double kHalfTableStep = kPlutoTableStepDays / 2;
constexpr double kFitSpacingDays = 100; // the theory's places the start state is fitted to

Vec3 Sub(const Vec3& a, const Vec3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
double Norm(const Vec3& a) {
    return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
}
// The angle between two places seen from the Sun, arc-seconds.
double AngleArcsec(const Vec3& a, const Vec3& b) {
    const Vec3 c{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    return std::atan2(Norm(c), a.x * b.x + a.y * b.y + a.z * b.z) * kRadToArcSec;
}
Vec3 TheoryPlace(double jd) {
    const Spherical p = PlutoPosition(CenturiesJ2000(jd));
    return SphToRect(p.lon, p.lat, p.r);
}
std::string DateText(double jd) {
    const DateTimeRec d = CalendarFromJD(jd);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.Year, d.Month, static_cast<int>(d.Day));
    return buf;
}

// Places every half table step from kPlutoTableFirstJd: index 2k is table place k.
std::vector<OrbitState> Integrate(const OrbitIntegrator& integrator, const OrbitState& start,
                                  double epoch) {
    const int count = 2 * kPlutoTableEntries - 1;
    const double e = (epoch - kPlutoTableFirstJd) / kHalfTableStep;
    const int at = static_cast<int>(std::lround(e));
    std::vector<OrbitState> out(static_cast<std::size_t>(count));
    out[static_cast<std::size_t>(at)] = start;
    for (int k = at - 1; k >= 0; --k) {
        out[static_cast<std::size_t>(k)] = out[static_cast<std::size_t>(k + 1)];
        integrator.Propagate(out[static_cast<std::size_t>(k)],
                             kPlutoTableFirstJd + (k + 1) * kHalfTableStep,
                             kPlutoTableFirstJd + k * kHalfTableStep);
    }
    for (int k = at + 1; k < count; ++k) {
        out[static_cast<std::size_t>(k)] = out[static_cast<std::size_t>(k - 1)];
        integrator.Propagate(out[static_cast<std::size_t>(k)],
                             kPlutoTableFirstJd + (k - 1) * kHalfTableStep,
                             kPlutoTableFirstJd + k * kHalfTableStep);
    }
    return out;
}

// The integrated places at `dates` (sorted, each a whole number of steps from the epoch) minus
// the compiled theory's, each as an angle (radians) in x, y, z.
std::vector<double> TheoryResiduals(const OrbitIntegrator& integrator, const OrbitState& start,
                                    double epoch, const std::vector<double>& dates) {
    std::vector<double> out(dates.size() * 3);
    auto put = [&](std::size_t i, const OrbitState& st) {
        const Vec3 t = TheoryPlace(dates[i]);
        const double r = Norm(t);
        out[3 * i] = (st.r.x - t.x) / r;
        out[3 * i + 1] = (st.r.y - t.y) / r;
        out[3 * i + 2] = (st.r.z - t.z) / r;
    };
    OrbitState back = start, on = start;
    double tBack = epoch, tOn = epoch;
    for (std::size_t k = dates.size(); k-- > 0;)
        if (dates[k] <= epoch) {
            integrator.Propagate(back, tBack, dates[k]);
            tBack = dates[k];
            put(k, back);
        }
    for (std::size_t k = 0; k < dates.size(); ++k)
        if (dates[k] > epoch) {
            integrator.Propagate(on, tOn, dates[k]);
            tOn = dates[k];
            put(k, on);
        }
    return out;
}

double Rms(const std::vector<double>& v) {
    double s = 0;
    for (double x : v) s += x * x;
    return std::sqrt(s / static_cast<double>(v.size() / 3));
}

// Solves the 6 x 6 system a x = b by Gaussian elimination with partial pivoting.
std::array<double, 6> Solve6(std::array<std::array<double, 7>, 6> a) {
    for (int c = 0; c < 6; ++c) {
        int p = c;
        for (int r = c + 1; r < 6; ++r)
            if (std::abs(a[r][c]) > std::abs(a[p][c])) p = r;
        std::swap(a[c], a[p]);
        for (int r = c + 1; r < 6; ++r) {
            const double f = a[r][c] / a[c][c];
            for (int k = c; k < 7; ++k) a[r][k] -= f * a[c][k];
        }
    }
    std::array<double, 6> x{};
    for (int r = 5; r >= 0; --r) {
        double s = a[r][6];
        for (int k = r + 1; k < 6; ++k) s -= a[r][k] * x[k];
        x[r] = s / a[r][r];
    }
    return x;
}

// The start state corrected by least squares (Gauss-Newton, derivatives by central differences)
// so that the integrated orbit meets the compiled theory at `dates`.
OrbitState FitToTheory(const OrbitIntegrator& integrator, OrbitState st, double epoch,
                       const std::vector<double>& dates) {
    constexpr double kDr = 1e-6, kDv = 1e-9; // AU, AU per day
    auto component = [](OrbitState& s, int j) -> double& {
        double* c[6] = {&s.r.x, &s.r.y, &s.r.z, &s.v.x, &s.v.y, &s.v.z};
        return *c[j];
    };
    for (int iteration = 1; iteration <= 8; ++iteration) {
        const std::vector<double> res = TheoryResiduals(integrator, st, epoch, dates);
        std::vector<std::vector<double>> jac(6);
        for (int j = 0; j < 6; ++j) {
            const double h = j < 3 ? kDr : kDv;
            OrbitState plus = st, minus = st;
            component(plus, j) += h;
            component(minus, j) -= h;
            const std::vector<double> rp = TheoryResiduals(integrator, plus, epoch, dates);
            const std::vector<double> rm = TheoryResiduals(integrator, minus, epoch, dates);
            jac[j].resize(res.size());
            for (std::size_t i = 0; i < res.size(); ++i) jac[j][i] = (rp[i] - rm[i]) / (2 * h);
        }
        std::array<std::array<double, 7>, 6> normal{};
        for (int a = 0; a < 6; ++a) {
            for (int b = 0; b < 6; ++b)
                for (std::size_t i = 0; i < res.size(); ++i) normal[a][b] += jac[a][i] * jac[b][i];
            for (std::size_t i = 0; i < res.size(); ++i) normal[a][6] -= jac[a][i] * res[i];
        }
        const std::array<double, 6> d = Solve6(normal);
        for (int j = 0; j < 6; ++j) component(st, j) += d[j];
        const double moved = std::hypot(std::hypot(d[0], d[1]), d[2]);
        std::printf("make_pluto: fit %d: %.3f\" rms before, start moved %.3g AU\n", iteration,
                    Rms(res) * kRadToArcSec, moved);
        if (moved < 1e-9) break;
    }
    return st;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_pluto <data folder> [fixture file]\n");
        return 2;
    }
    NullReport quiet;
    AstroDat s;
    s.ProgramFolder = argv[1];
    s.Report = &quiet;
    std::string error;
    const std::optional<OsculatingElements> catalogued = CatalogueOrbit(s, "134340 Pluto", error);
    if (!catalogued) {
        std::fprintf(stderr, "make_pluto: %s\n", error.c_str());
        return 1;
    }
    const OsculatingElements& el = *catalogued;
    const double offGrid = std::remainder(el.epoch - kPlutoTableFirstJd, kHalfTableStep);
    if (std::abs(offGrid) > 1e-9) {
        std::fprintf(stderr, "make_pluto: the elements' epoch %.1f is off the table's grid\n",
                     el.epoch);
        return 1;
    }
    const OrbitIntegrator integrator(SunWithInnerPlanetsGM(), GiantPlanets(s), kStepDays);
    std::vector<double> fitDates;
    for (double jd = el.epoch - kFitSpacingDays * std::floor((el.epoch - kPlutoTheoryFirstJd) / kFitSpacingDays);
         jd < kPlutoTheoryEndJd; jd += kFitSpacingDays)
        fitDates.push_back(jd);
    const OrbitState start =
        FitToTheory(integrator, StateFromElements(el, kGaussK2, el.epoch), el.epoch, fitDates);
    const std::vector<OrbitState> states = Integrate(integrator, start, el.epoch);

    PlutoTable table;
    for (int k = 0; k < kPlutoTableEntries; ++k) {
        const Vec3& r = states[static_cast<std::size_t>(2 * k)].r;
        table.XYZ.insert(table.XYZ.end(), {r.x, r.y, r.z});
    }
    table.Loaded = true;

    // Numerical accuracy: the ends again with half the step.
    {
        const OrbitIntegrator half(SunWithInnerPlanetsGM(), GiantPlanets(s), kStepDays / 2);
        const double ends[2] = {kPlutoTableFirstJd,
                                kPlutoTableFirstJd + (kPlutoTableEntries - 1) * kPlutoTableStepDays};
        for (int e = 0; e < 2; ++e) {
            OrbitState b = start;
            half.Propagate(b, el.epoch, ends[e]);
            const OrbitState& a = states[e == 0 ? 0 : states.size() - 1];
            std::printf("make_pluto: step %.2f d against %.2f d at %s: %.3g AU (%.5f\" seen from "
                        "the Sun)\n",
                        kStepDays, kStepDays / 2, DateText(ends[e]).c_str(), Norm(Sub(a.r, b.r)),
                        AngleArcsec(a.r, b.r));
        }
    }
    // Interpolation: the table halfway between its places, where the error is largest.
    {
        double worst = 0, worstJd = 0, worstV = 0;
        for (std::size_t k = 1; k + 1 < states.size(); k += 2) {
            const double jd = kPlutoTableFirstJd + k * kHalfTableStep;
            const std::optional<PlutoTablePlace> p = PlutoTableAt(table, jd);
            if (!p) continue;
            const double err = AngleArcsec(p->r, states[k].r);
            if (err > worst) {
                worst = err;
                worstJd = jd;
            }
            worstV = std::max(worstV, Norm(Sub(p->v, states[k].v)) / Norm(states[k].v));
        }
        std::printf("make_pluto: interpolation between the table's places, 1600..2400: %.6f\" "
                    "at most (%s); velocity %.2g relative\n",
                    worst, DateText(worstJd).c_str(), worstV);
    }
    // The compiled theory over its years, and the step at the joins.
    {
        double worst = 0, worstJd = 0, sum2 = 0;
        int n = 0;
        for (double jd = kPlutoTheoryFirstJd; jd < kPlutoTheoryEndJd; jd += 1) {
            const double d = AngleArcsec(TheoryPlace(jd), PlutoTableAt(table, jd)->r);
            sum2 += d * d;
            ++n;
            if (d > worst) {
                worst = d;
                worstJd = jd;
            }
        }
        std::printf("make_pluto: against the compiled theory, every day of 1885..2099: %.2f\" at "
                    "most (%s), %.2f\" rms\n",
                    worst, DateText(worstJd).c_str(), std::sqrt(sum2 / n));
        for (double jd : {kPlutoTheoryFirstJd, kPlutoTheoryEndJd})
            std::printf("make_pluto: step at the join %s: %.2f\"\n", DateText(jd).c_str(),
                        AngleArcsec(TheoryPlace(jd), PlutoTableAt(table, jd)->r));
    }

    LeWriter w;
    for (double v : table.XYZ) w.f64(v);
    const IoResult saved = SaveFileAtomic(ResolvePath(s.ProgramFolder, "pluto.dat"), w.bytes());
    if (!saved.ok()) {
        std::fprintf(stderr, "make_pluto: %s\n", saved.message.c_str());
        return 1;
    }
    std::printf("make_pluto: %d places every %.0f days from %s -> pluto.dat (%zu bytes)\n",
                kPlutoTableEntries, kPlutoTableStepDays, DateText(kPlutoTableFirstJd).c_str(),
                w.bytes().size());

    if (argc > 2) {
        std::vector<std::string> lines = {
            "# Pluto's heliocentric place, ecliptic and equinox J2000, from the integrated orbit",
            "# of tools/pluto/make_pluto.cpp, halfway between places of pluto.dat:",
            "# Julian day (TT), longitude (deg), latitude (deg), radius (AU)."};
        for (int i = 0; i < 20; ++i) {
            // Spread over 1600..2400, on the odd half steps.
            const std::size_t k = 2 * static_cast<std::size_t>(4 + i * (kPlutoTableEntries - 12) / 19) + 1;
            const double jd = kPlutoTableFirstJd + static_cast<double>(k) * kHalfTableStep;
            const Vec3& r = states[k].r;
            const Spherical p = RectToSph(r.x, r.y, r.z);
            char buf[128];
            std::snprintf(buf, sizeof buf, "%.1f %.9f %.9f %.9f", jd,
                          NormAngle(p.lon) / kDegToRad, p.lat / kDegToRad, p.r);
            lines.push_back(buf);
        }
        const IoResult r = WriteTextFileAtomic(argv[2], lines);
        if (!r.ok()) {
            std::fprintf(stderr, "make_pluto: %s\n", r.message.c_str());
            return 1;
        }
        std::printf("make_pluto: 20 reference places -> %s\n", argv[2]);
    }
    return 0;
}
