#include "sky/ChironOrbit.h"

#include "core/Chart.h"
#include "core/Ephemeris.h"
#include "core/Formats.h"
#include "core/Kepler.h"
#include "core/Planets.h"
#include "sky/Asteroids.h"

#include <cmath>

namespace qor {

namespace {

Vec3 Add(const Vec3& a, const Vec3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec3 Sub(const Vec3& a, const Vec3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 Scale(const Vec3& a, double k) {
    return {a.x * k, a.y * k, a.z * k};
}
double Norm(const Vec3& a) {
    return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
}

// Rotation about the x axis: ecliptic to equatorial for +eps, back for -eps.
Vec3 RotateX(const Vec3& v, double eps) {
    const double c = std::cos(eps), s = std::sin(eps);
    return {v.x, c * v.y - s * v.z, s * v.y + c * v.z};
}

// An ecliptic vector of the equinox T0 (obliquity eps0) to the ecliptic of T (obliquity eps).
Vec3 PrecessEclipticVector(const Vec3& v, double T0, double eps0, double T, double eps) {
    const Vec3 equ = RotateX(v, eps0);
    const Spherical sph = RectToSph(equ.x, equ.y, equ.z);
    double ra = sph.lon, dec = sph.lat;
    PrecessRaDec(ra, dec, T, T0);
    return RotateX(SphToRect(ra, dec, sph.r), -eps);
}

} // namespace

double SolveKepler(double M, double e) {
    M = NormAngleSigned(M);
    double E = e < 0.8 ? M : (M < 0 ? -kPi : kPi);
    for (int k = 0; k < 50; ++k) {
        const double dE = (E - e * std::sin(E) - M) / (1 - e * std::cos(E));
        E -= dE;
        if (std::abs(dE) < 1e-15) break;
    }
    return E;
}

OrbitState StateFromElements(const OsculatingElements& el, double mu, double jd) {
    const double n = std::sqrt(mu / (el.a * el.a * el.a));
    const double E = SolveKepler(el.meanAnomaly + n * (jd - el.epoch), el.e);
    const double cosE = std::cos(E), sinE = std::sin(E);
    const double b = el.a * std::sqrt(1 - el.e * el.e);
    // Position and velocity in the orbit plane, x towards perihelion.
    const double px = el.a * (cosE - el.e), py = b * sinE;
    const double dEdt = n / (1 - el.e * cosE);
    const double vx = -el.a * sinE * dEdt, vy = b * cosE * dEdt;
    const double cw = std::cos(el.argPeri), sw = std::sin(el.argPeri);
    const double cn = std::cos(el.node), sn = std::sin(el.node);
    const double ci = std::cos(el.incl), si = std::sin(el.incl);
    auto toEcliptic = [&](double x, double y) {
        const double xw = cw * x - sw * y, yw = sw * x + cw * y;
        return Vec3{cn * xw - sn * ci * yw, sn * xw + cn * ci * yw, si * yw};
    };
    return {toEcliptic(px, py), toEcliptic(vx, vy)};
}

OrbitIntegrator::OrbitIntegrator(double muSun, std::vector<Perturber> perturbers, double stepDays)
    : mu_(muSun), perturbers_(std::move(perturbers)), step_(stepDays) {}

std::vector<Vec3> OrbitIntegrator::PlanetsAt(double jd) const {
    std::vector<Vec3> p;
    p.reserve(perturbers_.size());
    for (const Perturber& b : perturbers_) p.push_back(b.position(jd));
    return p;
}

Vec3 OrbitIntegrator::Acceleration(const Vec3& r, const std::vector<Vec3>& planets) const {
    const double rn = Norm(r);
    Vec3 a = Scale(r, -mu_ / (rn * rn * rn));
    for (std::size_t k = 0; k < perturbers_.size(); ++k) {
        const Vec3 d = Sub(planets[k], r);
        const double dn = Norm(d);
        const double pn = Norm(planets[k]);
        a = Add(a, Scale(d, perturbers_[k].gm / (dn * dn * dn)));
        a = Sub(a, Scale(planets[k], perturbers_[k].gm / (pn * pn * pn)));
    }
    return a;
}

double OrbitIntegrator::Energy(const OrbitState& s) const {
    const double v = Norm(s.v);
    return 0.5 * v * v - mu_ / Norm(s.r);
}

void OrbitIntegrator::Propagate(OrbitState& state, double jd0, double jd1) const {
    const double span = jd1 - jd0;
    const long long steps = std::llround(std::abs(span) / step_);
    const double h = span < 0 ? -step_ : step_;
    double t = jd0;
    std::vector<Vec3> p0 = PlanetsAt(t);
    for (long long k = 0; k < steps; ++k) {
        const std::vector<Vec3> pm = PlanetsAt(t + 0.5 * h);
        const std::vector<Vec3> p1 = PlanetsAt(t + h);
        const Vec3 r = state.r, v = state.v;
        const Vec3 k1v = Acceleration(r, p0);
        const Vec3 k1r = v;
        const Vec3 k2v = Acceleration(Add(r, Scale(k1r, 0.5 * h)), pm);
        const Vec3 k2r = Add(v, Scale(k1v, 0.5 * h));
        const Vec3 k3v = Acceleration(Add(r, Scale(k2r, 0.5 * h)), pm);
        const Vec3 k3r = Add(v, Scale(k2v, 0.5 * h));
        const Vec3 k4v = Acceleration(Add(r, Scale(k3r, h)), p1);
        const Vec3 k4r = Add(v, Scale(k3v, h));
        state.r = Add(r, Scale(Add(Add(k1r, Scale(k2r, 2)), Add(Scale(k3r, 2), k4r)), h / 6));
        state.v = Add(v, Scale(Add(Add(k1v, Scale(k2v, 2)), Add(Scale(k3v, 2), k4v)), h / 6));
        t += h;
        p0 = p1;
    }
}

namespace {
// Sun / planet mass ratios (IAU 2009/DE405 values, each planet with its satellites).
constexpr double kJupiterRatio = 1047.3486;
constexpr double kSaturnRatio = 3497.898;
constexpr double kUranusRatio = 22902.98;
constexpr double kNeptuneRatio = 19412.24;
constexpr double kInnerMass = 1 / 6023600.0 + 1 / 408523.71 + 1 / 328900.56 + 1 / 3098708.0;
} // namespace

double SunWithInnerPlanetsGM() {
    return kGaussK2 * (1 + kInnerMass);
}

std::vector<Perturber> GiantPlanets(const AstroDat& s) {
    auto planet = [&s](int body) {
        return [&s, body](double jd) {
            const double T = CenturiesJ2000(jd);
            const Spherical p = PlanetHelio(s.Planets, body, T);
            return EclipticDateToJ2000(SphToRect(p.lon, p.lat, p.r), T);
        };
    };
    return {{kGaussK2 / kJupiterRatio, planet(5)},
            {kGaussK2 / kSaturnRatio, planet(6)},
            {kGaussK2 / kUranusRatio, planet(7)},
            {kGaussK2 / kNeptuneRatio, planet(8)}};
}

std::optional<OsculatingElements> CatalogueOrbit(AstroDat& s, const std::string& name,
                                                 std::string& error) {
    for (int i = 0; i < kPlanetSeriesBodies; ++i) {
        const PlanetLoadResult r = LoadPlanetTerms(s, i);
        if (!r.ok) {
            error = "planet series " + std::to_string(i) + ": " + r.message;
            return std::nullopt;
        }
    }
    AsteroidCatalogue cat;
    if (!LoadAsteroidCatalogue(s, cat)) {
        error = "no asteroid.csv";
        return std::nullopt;
    }
    for (int i = 1; i <= cat.AstCount; ++i) {
        const AstRec& b = cat.AstCatalogue[i];
        if (b.Name == name)
            return OsculatingElements{b.Axis, b.Ecc, b.Incl, b.Node, b.Peri, b.M, b.Epoch};
    }
    error = name + " is not in asteroid.csv";
    return std::nullopt;
}

Vec3 EclipticJ2000ToDate(const Vec3& v, double T) {
    return PrecessEclipticVector(v, 0.0, EpsJ2000, T, MeanObliquity(T));
}

Vec3 EclipticDateToJ2000(const Vec3& v, double T) {
    return PrecessEclipticVector(v, T, MeanObliquity(T), 0.0, EpsJ2000);
}

double ElementBodyGeoLongitude(const AstroDat& s, const OsculatingElements& el, double T) {
    // The chart's own element body: the same Kepler orbit the chart computation draws.
    const OrbitElements chart =
        EllipseElements(el.epoch, el.a, el.e, el.meanAnomaly, el.argPeri, el.node, el.incl);
    auto helio = [&](double t) {
        const Triple p = KeplerPosition(chart, JDFromCenturies(t));
        return SphToRect(p[0], p[1], p[2]);
    };
    const Spherical earth = PlanetHelio(s.Planets, 3, T);
    const Vec3 e = SphToRect(earth.lon, earth.lat, earth.r);
    Vec3 g = Sub(helio(T), e);
    g = Sub(helio(T - Norm(g) * 1.5812507323750856e-7), e);
    return RectToSph(g.x, g.y, g.z).lon;
}

} // namespace qor
