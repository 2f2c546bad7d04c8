#include "core/Chart.h"

#include "core/AstroMath.h"
#include "core/ContextStack.h"
#include "core/Ephemeris.h"
#include "core/Formats.h"
#include "core/Houses.h"
#include "core/Kepler.h"
#include "core/Planets.h"
#include "core/PlutoTable.h"
#include "core/RiseSet.h"
#include "core/Stepping.h"
#include "core/Text.h"
#include "core/TimeStep.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qor {

namespace {

constexpr double kDaysPerCentury = 36525.0;
constexpr double kMoonKm = 384402.0;
constexpr double kMoonEccentricity = 0.054900489;
// General precession in longitude, 5029.0966" per Julian century (IAU 1976), per day.
constexpr double kPrecessionPerDay = 5029.0966 * kArcsecToRad / kDaysPerCentury;
// The tropical year in days, the year of the White Moon's periods and of the sidereal day.
constexpr double kTropicalYearDays = 365.2422;
// The Moon's mean perigee advances 14648449.965" per Julian century: the linear terms of the
// fundamental arguments of the IAU 1980 nutation theory, F + Ω − l (Seidelmann 1982). The
// Black Moon, opposite the perigee, moves with it; radians per day.
constexpr double kMoonPerigeeRateArcsec = 14648449.965;
constexpr double kBlackMoonMotion = kMoonPerigeeRateArcsec * kArcsecToRad / kDaysPerCentury;
// Arta goes round in 6.94508 tropical years; its daily motion follows the same rule as
// Selena's (one turn per period), radians per day.
constexpr double kArtaPeriodYears = 6.94508;
constexpr double kArtaMotion = kTwoPi / kArtaPeriodYears / kTropicalYearDays;
// Sidereal seconds in one second of mean solar time: one more turn per tropical year.
constexpr double kSiderealPerSolarSecond = 1 + 1 / kTropicalYearDays;

Triple ToTriple(const Spherical& p) {
    return {p.lon, p.lat, p.r};
}
Triple ToTriple(const Vec3& v) {
    return {v.x, v.y, v.z};
}

// The theory index of chart point n (0..26).
int TheoryIndex(int n) {
    switch (n) {
    case 0:
        return 3;
    case 1:
        return 0;
    case 2:
        return 10;
    case 3:
        return 1;
    case 4:
        return 2;
    default:
        return n >= 5 && n <= 10 ? n - 1 : n;
    }
}

// Position and velocity (AU, AU per day) from a spherical place and its rates per century.
void PosVelFromRates(const Spherical& p, const Spherical& rate, Triple& pos, Triple& vel) {
    const double cl = std::cos(p.lon), sl = std::sin(p.lon);
    const double cb = std::cos(p.lat), sb = std::sin(p.lat);
    constexpr double kScale = 1 / kDaysPerCentury;
    const double dl = rate.lon * kScale, db = rate.lat * kScale, dr = rate.r * kScale;
    pos = {p.r * cb * cl, p.r * cb * sl, p.r * sb};
    vel = {dr * cb * cl - p.r * sb * db * cl - p.r * cb * sl * dl,
           dr * cb * sl - p.r * sb * db * sl + p.r * cb * cl * dl, dr * sb + p.r * cb * db};
}

// The rate of the ecliptic longitude of a point at (x, y) moving with (vx, vy).
double LongitudeRate(const Triple& pos, const Triple& vel) {
    return (pos[0] * vel[1] - vel[0] * pos[1]) / NonZeroGuard(pos[0] * pos[0] + pos[1] * pos[1]);
}

void SetHouses(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen, bool latitudes,
               PlacidusStart* start = nullptr);

int LastBody(const AstroDat& s) {
    return 14 + std::clamp(s.NExtra, 0, kMaxExtraBodies);
}

struct Calc {
    AstroDat& s;
    const ChartOptions& opt;
    const GeneralOptions& gen;
    // Only the apparent places (PlanetLon, PlanetLat and the equatorial places): no speeds,
    // horizontal places or body records.
    bool placesOnly = false;

    // Body k at the heliocentric position `pos` moving with `vel`: its rectangular and
    // spherical heliocentric places and its geocentric vector and distance (the geocentric
    // direction is taken from the vector by ApparentPlace). `sph` is the spherical place
    // when the caller has it.
    void SetHelio(int k, const Triple& pos, const Triple& vel, const Spherical* sph = nullptr) {
        s.HelioXYZ[k] = pos;
        s.HelioVel[k] = vel;
        if (!placesOnly)
            s.HelioSph[k] = sph ? ToTriple(*sph) : ToTriple(RectToSph(pos[0], pos[1], pos[2]));
        s.GeoXYZ[k] = Minus(pos, s.EarthXYZ);
        s.GeoSph[k] = {0, 0, Length(s.GeoXYZ[k])};
    }

    // A planet of the series (k 0..8; 3 only when the observer is elsewhere) with light time.
    // The places alone feed the ephemeris files, written byte for byte: their series are summed
    // to the last bit.
    void SeriesBody(int k) {
        Spherical rate;
        const Spherical p = PlanetHelioRate(s.Planets, k, s.ChartT, rate,
                                            placesOnly ? SeriesFit::Exact : SeriesFit::Chart);
        Triple pos, vel;
        PosVelFromRates(p, rate, pos, vel);
        if (s.UseLightTime && k != 0) {
            Retard(pos, vel);
            SetHelio(k, pos, vel);
        } else {
            SetHelio(k, pos, vel, &p);
        }
    }

    // Moves a body back by the light time of its geometric distance, on its orbit about the
    // Sun to second order (the Sun's pull k²·r/r³), its velocity with it. The retarded place
    // comes from the same evaluation: over the light time (minutes for the inner planets,
    // hours for Neptune) the error stays below 1e-10 AU, far under the series' own.
    void Retard(Triple& pos, Triple& vel) const {
        const double tau =
            Length(Minus(pos, s.EarthXYZ)) * kLightTimeCenturiesPerAU * kDaysPerCentury;
        const double r = Length(pos);
        const double g = -kGaussK * kGaussK / NonZeroGuard(r * r * r);
        for (int i = 0; i < 3; ++i) {
            const double h = pos[i];
            pos[i] = h - vel[i] * tau + 0.5 * g * h * tau * tau;
            vel[i] -= g * h * tau;
        }
    }

    // Pluto: its theory and its table are of J2000; its heliocentric place and velocity are
    // turned to the mean ecliptic of date (rigorous precession) and then seen from the Earth of
    // date. Where it has no place (outside 1600..2400) the point is left empty and marked, and
    // the status line says why; false then.
    bool Pluto() {
        Spherical rate;
        const std::optional<Spherical> place = PlutoHelioRate(s.Planets, s.ChartT, rate);
        s.PlutoMissing = !place;
        if (!place) {
            s.PlanetLon[10] = s.PlanetLat[10] = s.PlanetSpeed[10] = 0;
            s.Bodies[10] = {};
            SetStatus(s, PlutoUnavailableText(s));
            return false;
        }
        const Spherical& p = *place;
        const double T = s.ChartT;
        Triple pos, vel;
        PosVelFromRates(p, rate, pos, vel);
        const J2000ToDate toDate(T, s.EpsMean);
        pos = toDate(pos);
        vel = toDate(vel);
        if (s.UseLightTime) Retard(pos, vel);
        SetHelio(9, pos, vel);
        plutoRate =
            LongitudeRate(s.GeoXYZ[9], Minus(s.HelioVel[9], s.EarthVel)) + kPrecessionPerDay;
        return true;
    }

    // The turn of vectors of the ecliptic and equinox J2000 to the mean ecliptic and equinox
    // of the date T (Lieske's angles, as PrecessRaDec): to the J2000 equator, about the pole by
    // ζ, θ and z, back to the mean ecliptic of date. Each angle's sine and cosine are taken once
    // for all the vectors turned.
    struct J2000ToDate {
        struct Turn {
            double c, s;
            explicit Turn(double angle) : c(std::cos(angle)), s(std::sin(angle)) {}
        };
        Turn toEquator, zeta, theta, z, toEcliptic;
        J2000ToDate(double t, double epsMean)
            : toEquator(EpsJ2000),
              zeta(((2306.2181 + (0.30188 + 0.017998 * t) * t) * t) * kArcsecToRad),
              theta(((2004.3109 - (0.42665 + 0.041833 * t) * t) * t) * kArcsecToRad),
              z(((2306.2181 + (1.09468 + 0.018203 * t) * t) * t) * kArcsecToRad),
              toEcliptic(-epsMean) {}
        static Triple RotX(const Triple& a, const Turn& e) { // ecliptic to equatorial by e
            return {a[0], a[1] * e.c - a[2] * e.s, a[1] * e.s + a[2] * e.c};
        }
        static Triple RotZ(const Triple& a, const Turn& g) {
            return {a[0] * g.c - a[1] * g.s, a[0] * g.s + a[1] * g.c, a[2]};
        }
        Triple operator()(const Triple& v) const {
            Triple q = RotZ(RotX(v, toEquator), zeta);
            q = {q[0] * theta.c - q[2] * theta.s, q[1], q[0] * theta.s + q[2] * theta.c};
            return RotX(RotZ(q, z), toEcliptic);
        }
    };
    double plutoRate = 0;
    double moonRate = 0;
    const double sinPsi = std::sin(s.NutPsi), cosPsi = std::cos(s.NutPsi);
    // The sines and cosines of an ecliptic place.
    struct Angles {
        double sl = 0, cl = 1, sb = 0, cb = 1;
    };
    static Angles AnglesOf(const MoonPos& m) {
        return {std::sin(m.lon), std::cos(m.lon), std::sin(m.lat), std::cos(m.lat)};
    }
    MoonPos moonNowRate{}; // the rates of the Moon at the moment
    Angles moonNowAngles;  // the sines and cosines of the Moon's place at the moment
    bool haveMoon = false; // ... once it is computed

    static Triple Minus(const Triple& a, const Triple& b) {
        return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
    }

    void ExtraBody(int n) {
        const int slot = n - 14;
        const OrbitElements& el = s.FictElements[slot];
        BodyRec& b = s.Bodies[n];
        b[kBodyInclination] = el.inclination;
        b[kBodyEccentricity] = el.e;
        b[kBodySemiMajorAxis] = el.a;
        b[kBodyNode] = el.node;
        b[kBodyPerihelion] = NormAngle(el.argPerihelion + el.node);
        Triple pos, vel;
        KeplerState(el, JDFromCenturies(s.ChartT), pos, vel);
        if (s.UseLightTime) {
            const double tau = Length(Minus(pos, s.EarthXYZ)) * kLightTimeCenturiesPerAU;
            KeplerState(el, JDFromCenturies(s.ChartT - tau), pos, vel);
        }
        SetHelio(n, pos, vel);
    }

    void Moon() {
        MoonPos rate;
        const MoonPos m = MoonPositionRate(s.ChartT, rate);
        moonNowRate = rate;
        moonNowAngles = AnglesOf(m);
        haveMoon = true;
        const Angles& a = moonNowAngles;
        const double dist = m.distKm / kAstronomicalUnitKm;
        s.GeoSph[10] = {m.lon, m.lat, dist};
        s.GeoXYZ[10] = {dist * a.cb * a.cl, dist * a.cb * a.sl, dist * a.sb};
        moonRate = rate.lon / kDaysPerCentury;
        if (FromVector(10)) return; // the equatorial place comes with the vector
        const SinCos& eps = trueEps.Of(s.EpsMean + s.NutEps);
        const EquPos q = EclToEquOf(eps.sin, eps.cos, a.sb, a.cb, m.lon + s.NutPsi);
        s.BodyRA[10] = q.ra;
        s.BodyDec[10] = q.dec;
    }

    // A geocentric point of the mean equinox of date: equatorial coordinates with nutation.
    void LunarPoint(int k, double lon, double lat, double dist) {
        const double sb = std::sin(lat), cb = std::cos(lat);
        s.GeoSph[k] = {NormAngle(lon), lat, dist};
        s.GeoXYZ[k] = {dist * cb * std::cos(lon), dist * cb * std::sin(lon), dist * sb};
        if (FromVector(k)) return; // as for the Moon
        const SinCos& eps = trueEps.Of(s.EpsMean + s.NutEps);
        const EquPos q = EclToEquOf(eps.sin, eps.cos, sb, cb, lon + s.NutPsi);
        s.BodyRA[k] = q.ra;
        s.BodyDec[k] = q.dec;
    }

    void MeanNode() {
        const double aMoon = kMoonKm / kAstronomicalUnitKm;
        LunarPoint(11, s.Bodies[2][kBodyNode], 0, aMoon);
        // d/dT of the mean node of the IAU 1980 nutation theory,
        // 450160.28 − 6962890.539·T + 7.455·T² + 0.008·T³ arc-seconds.
        const double T = s.ChartT;
        const double rate = (-6962890.539 + 2 * 7.455 * T + 3 * 0.008 * T * T) * kArcsecToRad;
        s.Bodies[11][kBodyMotion] = s.Bodies[12][kBodyMotion] = rate / kDaysPerCentury;
    }

    // The true node: the ascending node of the Moon's instantaneous orbital plane, the plane
    // of its geocentric place and velocity (the limit of the plane through two places close
    // in time), and its daily motion from the node 0.005 day later. The place at the moment
    // is the one computed for the Moon when there is one.
    void TrueNode() {
        constexpr double kDelta = 0.005; // days
        auto nodeAt = [](const Angles& a, const MoonPos& rate) {
            const double cl = a.cl, sl = a.sl, cb = a.cb, sb = a.sb;
            const Vec3 p{cb * cl, cb * sl, sb};
            const Vec3 v{-sl * cb * rate.lon - cl * sb * rate.lat,
                         cl * cb * rate.lon - sl * sb * rate.lat, cb * rate.lat};
            // The ascending node lies along ẑ × (p × v) for a prograde orbit.
            const double nx = p.y * v.z - p.z * v.y, ny = p.z * v.x - p.x * v.z;
            return ArcTan2Pos(nx, -ny);
        };
        MoonPos rate;
        Angles now;
        if (haveMoon) {
            rate = moonNowRate;
            now = moonNowAngles;
        } else {
            now = AnglesOf(MoonPositionRate(s.ChartT, rate));
        }
        const double n1 = nodeAt(now, rate);
        const double aMoon = kMoonKm / kAstronomicalUnitKm;
        LunarPoint(11, n1, 0, aMoon * (1 - kMoonEccentricity * kMoonEccentricity));
        if (placesOnly) return;
        MoonPos rate2;
        const MoonPos later = MoonPositionRate(s.ChartT + kDelta / kDaysPerCentury, rate2);
        const double n2 = nodeAt(AnglesOf(later), rate2);
        s.Bodies[11][kBodyMotion] = s.Bodies[12][kBodyMotion] = NormAngleSigned(n2 - n1) / kDelta;
    }

    void BlackMoon() {
        const double lon = NormAngle(kPi + s.Bodies[2][kBodyPerihelion]);
        const double incl = s.Bodies[2][kBodyInclination], node = s.Bodies[2][kBodyNode];
        const double lat = std::asin(std::sin(incl) * std::sin(lon - node));
        const double a = kMoonKm / kAstronomicalUnitKm, e = kMoonEccentricity;
        LunarPoint(13, lon, lat, gen.BlackMoonFocus ? 2 * a * e : a * (1 + e));
        s.Bodies[13][kBodyMotion] = kBlackMoonMotion;
    }

    void WhiteMoon() {
        if (opt.ArtaButton) {
            const double t = (s.ChartJD - 2451544.5) / kDaysPerCentury;
            auto poly = [&](double c0, double c1, double c2, double c3) {
                return NormAngle((c0 + t * (c1 + t * (c2 + t * c3))) * kArcsecToRad);
            };
            const double P = poly(1145912.144, 21611340.504, -44.567, -0.053);
            const double node = poly(450160.28, -6962890.539, 7.455, 0.008);
            const double u = poly(524615.1615, 25623954.858, -67.8615, -0.09975);
            const double j = 5.145396388888889 * kDegToRad / 2;
            const double lon = NormAngle(node + std::atan2(std::sin(u) * std::cos(j), std::cos(u)));
            const double lat = std::asin(std::sin(u) * std::sin(j));
            const double dist =
                kMoonKm * (1 - kMoonEccentricity * std::cos(u - P)) / kAstronomicalUnitKm;
            LunarPoint(14, lon, lat, dist);
            s.Bodies[14][kBodyMotion] = kArtaMotion;
        } else {
            const double lng = opt.SLng;
            double period = opt.SPeriod;
            if (std::fabs(period) < 0.00001) period = 0.00001;
            const double years = (s.ChartJD - 2451544.5) / kTropicalYearDays;
            LunarPoint(14, NormAngle(lng * kDegToRad + kTwoPi / period * years), 0, 1);
            s.Bodies[14][kBodyMotion] = kTwoPi / period / kTropicalYearDays;
        }
    }

    // Equatorial place, parallax, ecliptic place of date and horizon of theory index k.
    // The observer and the obliquity are those of the moment, their sines and cosines taken
    // once for all bodies; so are the sine and cosine of δ for the ecliptic and the horizon.
    void Finish(int k) {
        const double lst = LocalSiderealRad(s);
        const SinCos& phi = geocLat.Of(s.GeocLat);
        if (gen.HorParallax && (k < 11 || k > 14 || (k == 13 && gen.BlackMoonFocus))) {
            const SinCos& theta = sidereal.Of(lst);
            TopocentricParallax(
                ObserverPlaceAt(s.GeocRadius, phi.sin, phi.cos, theta.sin, theta.cos),
                s.BodyRA[k], s.BodyDec[k], s.GeoSph[k][2]);
        }
        const double dec = s.BodyDec[k], sd = std::sin(dec), cd = std::cos(dec);
        const SinCos& eps = trueEps.Of(s.EpsMean + s.NutEps);
        const EclPos e = EquToEclTrueOf(eps.sin, eps.cos, sd, cd, s.BodyRA[k]);
        s.GeoSph[k][0] = e.lon;
        s.GeoSph[k][1] = e.lat;
        if (placesOnly) return;
        const HorPos h = EquToHorizonOf(phi.sin, phi.cos, lst, dec, sd, cd, s.BodyRA[k]);
        s.BodyAz[k] = h.az;
        s.BodyAlt[k] = h.alt;
    }

    // The full chart's apparent place of theory index k, worked on its geocentric vector: turned
    // to the true equator of date, moved by the aberration (the Sun, the planets and the extra
    // bodies, with light time) and by the parallax, and only then taken as angles, one inverse
    // function each; the ecliptic and the horizon come from the same vector. It agrees with
    // ApparentPlace and Finish within the last bits (1e-12 rad) at a fraction of their sines
    // and cosines. The places alone keep those, as the ephemeris files hold their bits. So do
    // the Sun and the Moon, whose places some house systems follow: cusps at one speed would
    // otherwise apply or separate by their last bits; and the lunar points seen from the
    // Earth's centre, whose latitude is zero by construction (the nodes, Selena) and shown with
    // the sign the way by angles leaves it.
    bool FromVector(int k) const {
        return !placesOnly && ((k >= 1 && k <= 9) || k >= 15 ||
                               (k == 13 && gen.HorParallax && gen.BlackMoonFocus));
    }
    void FinishFromVector(int k) {
        double dist = s.GeoSph[k][2];
        const Triple& g = s.GeoXYZ[k];
        const double inv = 1 / NonZeroGuard(dist);
        const double x = (g[0] * cosPsi - g[1] * sinPsi) * inv;
        const double y = (g[0] * sinPsi + g[1] * cosPsi) * inv, z = g[2] * inv;
        Vec3 u{x, y * s.CosEps - z * s.SinEps, y * s.SinEps + z * s.CosEps};
        if (s.UseLightTime && (k < 10 || k >= 15)) u = Aberrated(u);
        const bool parallax =
            gen.HorParallax && (k < 11 || k > 14 || (k == 13 && gen.BlackMoonFocus));
        if (parallax && dist <= 30) {
            const SinCos& phi = geocLat.Of(s.GeocLat);
            const SinCos& theta = sidereal.Of(LocalSiderealRad(s));
            const ObserverPlace o =
                ObserverPlaceAt(s.GeocRadius, phi.sin, phi.cos, theta.sin, theta.cos);
            constexpr double kEarthRadiiPerAU = kAstronomicalUnitKm / kEarthRadiusKm;
            const double r = dist * kEarthRadiiPerAU;
            const Vec3 p{r * u.x - o.x, r * u.y - o.y, r * u.z - o.z};
            const double d = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
            s.BodyDec[k] = std::asin(p.z / NonZeroGuard(d));
            const double invD = 1 / NonZeroGuard(d);
            u = {p.x * invD, p.y * invD, p.z * invD};
            dist = d / kEarthRadiiPerAU;
            s.GeoSph[k][2] = dist;
        } else {
            s.BodyDec[k] = std::asin(std::clamp(u.z, -1.0, 1.0));
        }
        s.BodyRA[k] = ArcTan2Pos(u.y, u.x);
        const double sb = u.z * s.CosEps - u.y * s.SinEps;
        s.GeoSph[k][1] = std::atan(sb / std::sqrt(std::max(0.0, 1 - sb * sb)));
        s.GeoSph[k][0] = ArcTan2Pos(u.z * s.SinEps + u.y * s.CosEps, u.x);
        Horizon(k, u);
    }

    // The annual aberration of a unit vector of the true equator, the same first-order shift
    // of right ascension and declination as ApplyAberration, applied as a turn of the vector.
    Vec3 Aberrated(const Vec3& u) {
        const AberrationTerms& t = Aberration();
        const double cd = NonZeroGuard(std::sqrt(u.x * u.x + u.y * u.y)), sd = u.z;
        const double ca = u.x / cd, sa = u.y / cd;
        const double k = kAberrationConstant;
        const SmallTurn a(-k * (ca * t.cl * t.ce + sa * t.sl) / cd);
        const SmallTurn d(-k * ((t.se * cd - sa * sd * t.ce) * t.cl + ca * sd * t.sl));
        const double ca2 = ca * a.c - sa * a.s, sa2 = sa * a.c + ca * a.s;
        const double cd2 = cd * d.c - sd * d.s;
        return {cd2 * ca2, cd2 * sa2, sd * d.c + cd * d.s};
    }

    // The sine and cosine of a small angle (the aberration's, below a thousandth of a radian
    // but near the poles) by their series, to the last bit.
    struct SmallTurn {
        double s, c;
        explicit SmallTurn(double a) {
            if (std::fabs(a) > 1e-3) {
                s = std::sin(a);
                c = std::cos(a);
                return;
            }
            const double a2 = a * a;
            s = a * (1 - a2 / 6 * (1 - a2 / 20 * (1 - a2 / 42)));
            c = 1 - a2 / 2 * (1 - a2 / 12 * (1 - a2 / 30));
        }
    };

    // Azimuth and altitude of theory index k from its unit vector of the true equator: the
    // hour angle's cosine and sine times cos δ are the vector turned by the sidereal time.
    void Horizon(int k, const Vec3& u) {
        const SinCos& phi = geocLat.Of(s.GeocLat);
        const SinCos& theta = sidereal.Of(LocalSiderealRad(s));
        const double cdcH = theta.cos * u.x + theta.sin * u.y;
        const double cdsH = theta.sin * u.x - theta.cos * u.y;
        s.BodyAz[k] = ArcTan2Pos(cdsH, cdcH * phi.sin - u.z * phi.cos);
        s.BodyAlt[k] = std::asin(std::clamp(phi.sin * u.z + phi.cos * cdcH, -1.0, 1.0));
    }

    // The sine and cosine of an angle that stays the same for every body of the chart,
    // computed again only when the angle changes.
    struct SinCos {
        double angle = std::numeric_limits<double>::quiet_NaN(), sin = 0, cos = 0;
        const SinCos& Of(double a) {
            if (a != angle) {
                angle = a;
                sin = std::sin(a);
                cos = std::cos(a);
            }
            return *this;
        }
    };
    SinCos trueEps{}, geocLat{}, sidereal{};

    // Apparent equatorial place of a planet, the Sun or an extra body from GeoSph[k].
    // The geocentric vector (mean ecliptic of date) is turned by the nutation in longitude
    // and the true obliquity: the same as EclToEqu(ε, β, λ + Δψ) of its direction.
    void ApparentPlace(int k) {
        const Triple& g = s.GeoXYZ[k];
        const double x = g[0] * cosPsi - g[1] * sinPsi;
        const double y = g[0] * sinPsi + g[1] * cosPsi;
        const double ye = y * s.CosEps - g[2] * s.SinEps;
        const double ze = y * s.SinEps + g[2] * s.CosEps;
        s.BodyRA[k] = ArcTan2Pos(ye, x);
        s.BodyDec[k] = std::asin(std::clamp(ze / NonZeroGuard(s.GeoSph[k][2]), -1.0, 1.0));
        if (s.UseLightTime) ApplyAberration(Aberration(), s.BodyRA[k], s.BodyDec[k]);
    }

    // The aberration terms of this computation's moment, computed once.
    const AberrationTerms& Aberration() {
        if (!haveAberration) {
            aberration = AberrationTermsAt(2, s.EpsMean, s.ChartT);
            haveAberration = true;
        }
        return aberration;
    }
    AberrationTerms aberration{};
    bool haveAberration = false;

    void Store(int n, int k) {
        if (placesOnly) {
            s.PlanetLon[n] = s.GeoSph[k][0];
            s.PlanetLat[n] = s.GeoSph[k][1];
            return;
        }
        BodyRec& b = s.Bodies[n];
        s.PlanetLon[n] = b[kBodyLon] = s.GeoSph[k][0];
        s.PlanetLat[n] = b[kBodyLat] = s.GeoSph[k][1];
        b[kBodyRA] = s.BodyRA[k];
        b[kBodyDec] = s.BodyDec[k];
        b[kBodyDistance] = s.GeoSph[k][2];
        b[kBodyAzimuth] = s.BodyAz[k];
        b[kBodyAltitude] = s.BodyAlt[k];
        const bool exterr = opt.ExterrBody != 0;
        if (n == 1 || n == 2) {
            b[kBodyHelioLon] = s.GeoSph[k][0];
            b[kBodyHelioRadius] = s.GeoSph[k][2];
            std::copy(s.GeoXYZ[k].begin(), s.GeoXYZ[k].end(), b.begin() + kBodyHelioX);
            if (n == 1 && !exterr) {
                BodyRec& e = s.Bodies[0];
                e[kBodyHelioLon] = NormAngle(s.EarthHelio[0]);
                e[kBodyHelioRadius] = s.GeoSph[0][2];
                for (int i = 0; i < 3; ++i) e[kBodyHelioX + i] = -s.GeoXYZ[0][i];
            }
        } else {
            b[kBodyHelioLon] = s.HelioSph[k][0];
            b[kBodyHelioRadius] = s.HelioSph[k][2];
            std::copy(s.HelioXYZ[k].begin(), s.HelioXYZ[k].end(), b.begin() + kBodyHelioX);
        }
        Motion(n, k);
        s.PlanetSpeed[n] = b[kBodyMotion];
        if (n == 1 && !exterr) s.PlanetSpeed[0] = b[kBodyMotion];
    }

    // The daily motion in longitude, from the velocities of the same computation.
    void Motion(int n, int k) {
        BodyRec& b = s.Bodies[n];
        if (n >= 11 && n <= 14) return; // set with the point
        if (n == 2) {
            b[kBodyMotion] = moonRate;
            return;
        }
        const Triple& hv = s.HelioVel[k];
        if (opt.HelioBox) {
            // The heliocentric chart shows heliocentric motion (the Sun's is the Earth's).
            const Triple& hp = n == 1 ? s.EarthXYZ : s.HelioXYZ[k];
            b[kBodyMotion] = LongitudeRate(hp, n == 1 ? s.EarthVel : hv);
            return;
        }
        if (k == 9) {
            b[kBodyMotion] = plutoRate;
            return;
        }
        b[kBodyMotion] = LongitudeRate(s.GeoXYZ[k], Minus(hv, s.EarthVel));
    }

    void Body(int n) {
        if (n == opt.ExterrBody && n != 0) return;
        if (n == 0 && opt.ExterrBody == 0) return;
        const int k = TheoryIndex(n);
        if (n == 0 || n == 1 || (n >= 3 && n <= 9)) {
            SeriesBody(k);
        } else if (n == 10) {
            if (!Pluto()) return;
        } else if (n == 2) {
            Moon();
        } else if (n == 11 || n == 12) {
            gen.TrueNodes ? TrueNode() : MeanNode();
        } else if (n == 13) {
            BlackMoon();
        } else if (n == 14) {
            WhiteMoon();
        } else if (n >= 15 && n <= 26) {
            ExtraBody(n);
        } else {
            return;
        }
        const int kk = (n == 12) ? 11 : k;
        if (FromVector(kk)) {
            FinishFromVector(kk);
        } else {
            if (kk < 10 || kk >= 15) ApparentPlace(kk);
            Finish(kk);
        }
        if (!placesOnly || n == 2) CalcMeanElements(s, n); // the Black Moon reads the Moon's
        if (kk == 11) {
            // The south node is the point opposite.
            s.GeoSph[12] = {NormAngle(s.GeoSph[11][0] + kPi), -s.GeoSph[11][1], s.GeoSph[11][2]};
            s.GeoXYZ[12] = Minus({0, 0, 0}, s.GeoXYZ[11]);
            s.BodyRA[12] = NormAngle(s.BodyRA[11] + kPi);
            s.BodyDec[12] = -s.BodyDec[11];
            if (!placesOnly) {
                const SinCos& phi = geocLat.Of(s.GeocLat);
                const HorPos h = EquToHorizon(phi.sin, phi.cos, LocalSiderealRad(s), s.BodyDec[12],
                                              s.BodyRA[12]);
                s.BodyAz[12] = h.az;
                s.BodyAlt[12] = h.alt;
            }
            Store(11, 11);
            Store(12, 12);
        } else {
            Store(n, k);
        }
    }

    // Points 1..14 + NExtra; the south node comes with the north node.
    void AllBodies() {
        const int last = LastBody(s);
        for (int i = 1; i <= last; ++i)
            if (i != 12) Body(i);
    }

    void Earth() {
        CalcMeanElements(s, 0);
        s.EarthSeriesIndex = 3;
        Spherical rate;
        const Spherical e = PlanetHelioRate(s.Planets, 3, s.ChartT, rate);
        s.EarthHelio = ToTriple(e);
        PosVelFromRates(e, rate, s.EarthXYZ, s.EarthVel);
    }

    void SVP() {
        static const EquPos kEquinoxJ2000 = EclToEqu(EpsJ2000, 0, 0);
        EquPos q = kEquinoxJ2000;
        PrecessRaDec(q.ra, q.dec, s.ChartT, 0);
        const SinCos& eps = trueEps.Of(s.EpsMean + s.NutEps);
        const EclPos e = EquToEclTrue(eps.sin, eps.cos, q.dec, q.ra);
        s.SVP = NormAngleSigned(-0.4143702532443204 - e.lon);
        const std::string t = FormatDMS(s, s.SVP * kRadToArcSec);
        s.SVPText = t.empty() ? t : t.substr(1);
    }

    // The Placidus cusps of the pass one second earlier start the chart's own.
    PlacidusStart placidusStart;
    void HousesAndParts(bool latitudes) {
        SetHouses(s, opt, gen, latitudes, &placidusStart);
        if (opt.ComputeParts) opt.ComputeParts(s);
    }

    // Speeds of the cusps and parts by a one-second difference; the bodies stand at their
    // places one second earlier by their own speeds.
    void SpeedsHousesParts() {
        const int last = LastBody(s);
        const int firstPart = last + 1, lastPart = std::min(26, last + s.ParsCount);
        const double jd = s.ChartJD, st = s.SiderealTimeSec;
        s.ChartJD -= kSecondInDays;
        s.SiderealTimeSec = std::fmod(st - kSiderealPerSolarSecond + 86400.0, 86400.0);
        for (int i = 1; i <= last; ++i)
            s.PlanetLon[i] = NormAngle(s.Bodies[i][kBodyLon] - s.PlanetSpeed[i] * kSecondInDays);
        HousesAndParts(false); // the cusps' latitudes follow with the chart's own
        PointArray before = s.PlanetLon;
        s.ChartJD = jd;
        s.SiderealTimeSec = st;
        for (int i = 1; i <= last; ++i) s.PlanetLon[i] = s.Bodies[i][kBodyLon];
        HousesAndParts(true);
        auto speed = [&](int i) {
            return NormAngleSigned(s.PlanetLon[i] - before[i]) / kSecondInDays;
        };
        for (int i = firstPart; i <= lastPart; ++i) s.PlanetSpeed[i] = s.Bodies[i][kBodyMotion] = speed(i);
        for (int i = kFirstCuspPoint; i <= 38; ++i) s.PlanetSpeed[i] = speed(i);
    }
};

} // namespace

TimeStepOptions TimeOptionsFor(const ChartOptions& opt, const GeneralOptions& gen) {
    TimeStepOptions t;
    t.ExterrBody = opt.ExterrBody;
    t.ExterrObliquity = PlanetEquatorInclination(opt.ExterrBody);
    t.UseEllipsoid = gen.UseEllipsoid;
    return t;
}

double PlanetEquatorInclination(int exterrBody) {
    switch (exterrBody) {
    case 3:
        return 0.034 * kDegToRad;
    case 4:
        return 177.36 * kDegToRad;
    case 5:
        return 25.19 * kDegToRad;
    default:
        return 0;
    }
}

void CalcMeanElements(AstroDat& s, int n) {
    if (n < 0 || n > 10) return;
    const double T0 = s.ChartT;
    const double T = (n >= 3 && n <= 5) ? (JDFromCenturies(T0) - 2415020.5) / kDaysPerCentury : T0;
    auto sec = [&](double c0, double c1, double c2 = 0, double c3 = 0) {
        return (c0 + T * (c1 + T * (c2 + T * c3))) * kArcsecToRad;
    };
    auto poly = [&](double c0, double c1, double c2 = 0) { return c0 + T * (c1 + T * c2); };
    double i = 0, e = 0, a = 0, node = 0, peri = 0;
    switch (n) {
    case 0:
    case 1:
        e = poly(0.01675104, -4.18e-5, -1.26e-7);
        a = 1.00000023;
        peri = kPi + sec(1012395, 6190.046, 1.666, 0.012);
        break;
    case 2:
        i = 0.08988445647770797;
        e = 0.054900489;
        a = kMoonKm / kAstronomicalUnitKm;
        node = sec(450160.28, -6962890.539, 7.455, 0.008);
        peri = sec(300072.424, kMoonPerigeeRateArcsec, -37.112, -0.045);
        break;
    case 3:
        i = sec(25210.37, 6.699, -0.066);
        e = poly(0.20561421, 2.046e-5, -3e-8);
        a = 0.3870986;
        node = sec(169725.4, 4266.75, 0.626);
        peri = sec(273238.91, 5599.76, 1.061);
        break;
    case 4:
        i = sec(12180, 3.621, -0.0035);
        e = poly(0.00682069, 4.774e-5, 9.1e-8);
        a = 0.72333162;
        node = sec(272760, 3239.46, 1.476);
        peri = sec(468589.8, 5068.93, -3.515);
        break;
    case 5:
        i = sec(6661.2, -2.43, -0.0454);
        e = poly(0.0933129, 9.2064e-5, -7.7e-8);
        a = 1.5236884;
        node = sec(175631.19, 2775.57, -0.005, -0.0192);
        peri = sec(1203185.53, 6626.73, 0.4675, -0.0043);
        break;
    case 6:
        i = sec(4691.771, -19.778, 0.0167);
        e = poly(0.048494851, 1.632427e-4, 4.719e-7);
        a = 5.20260319132 + 1.91323e-7 * T;
        node = sec(361680, 3675);
        peri = sec(51600, 5805);
        break;
    case 7:
        i = sec(8959.961, -13.45, -0.0546);
        e = poly(0.055508622, -3.4681875e-4, -6.457e-7);
        a = 9.55490959574 - 2.138917e-6 * T;
        node = sec(409195.885, 3157.539, -0.4347);
        peri = sec(335004.434, 7069.538, 3.015);
        break;
    case 8:
        i = sec(2783.506, 2.788, 0.135);
        e = poly(0.046295999, -2.73381e-5, 7.91e-8);
        a = 19.21844606178;
        node = sec(266421.41, 1876.056, 4.8236);
        peri = sec(622818.573, 5350.965, 0.7722);
        break;
    case 9:
        i = sec(6371.828, -33.51, -0.0255);
        e = poly(0.008988095, 6.4074e-6);
        a = 30.11038686942 - 1.66346e-7 * T;
        node = sec(474422.605, 3967.929, 0.9359);
        peri = sec(173245.286, 5134.572, 1.3649);
        break;
    case 10:
        i = 0.2990330785083618;
        e = 0.24824802;
        a = 39.52940243;
        node = 1.9134626366031167;
        peri = sec(803040, 1231);
        break;
    }
    BodyRec& b = s.Bodies[n];
    b[kBodyInclination] = i;
    b[kBodyEccentricity] = e;
    b[kBodySemiMajorAxis] = a;
    b[kBodyNode] = NormAngle(node);
    b[kBodyPerihelion] = NormAngle(peri);
}

int ChartHouseSystem(AstroDat& s, const ChartOptions& opt) {
    if (opt.HouseSystem >= 1 && opt.HouseSystem <= kHouseSystemCount) return opt.HouseSystem;
    static const std::string ru = Cp("Неизвестная система домов, взята система");
    SetStatus(s, Lang(s, ru, "Unknown house system, using") + " \"" +
                     HouseSystemName(kDefaultHouseSystem, s.EnglishMode) + "\"");
    return kDefaultHouseSystem;
}

namespace {

// The time-step values and the calendar state of the chart moment, kept across a search that
// moves the moment.
struct TimeStepState {
    double ChartJD, ChartT, DeltaTSec, UtHours, NutPsi, NutEps, EpsMean, SinEps, CosEps,
        SiderealTimeSec, GeocLat, GeocRadius;
    bool GregorianCal, ChartLeapYear;
    int ChartWeekDay;
    std::array<int, 13> MonthDays;
    TimeStepCalendar StepCalendar;
    explicit TimeStepState(const AstroDat& s)
        : ChartJD(s.ChartJD), ChartT(s.ChartT), DeltaTSec(s.DeltaTSec), UtHours(s.UtHours),
          NutPsi(s.NutPsi), NutEps(s.NutEps), EpsMean(s.EpsMean), SinEps(s.SinEps),
          CosEps(s.CosEps), SiderealTimeSec(s.SiderealTimeSec), GeocLat(s.GeocLat),
          GeocRadius(s.GeocRadius), GregorianCal(s.GregorianCal), ChartLeapYear(s.ChartLeapYear),
          ChartWeekDay(s.ChartWeekDay), MonthDays(s.MonthDays), StepCalendar(s.StepCalendar) {}
    void Restore(AstroDat& s) const {
        s.ChartJD = ChartJD;
        s.ChartT = ChartT;
        s.DeltaTSec = DeltaTSec;
        s.UtHours = UtHours;
        s.NutPsi = NutPsi;
        s.NutEps = NutEps;
        s.EpsMean = EpsMean;
        s.SinEps = SinEps;
        s.CosEps = CosEps;
        s.SiderealTimeSec = SiderealTimeSec;
        s.GeocLat = GeocLat;
        s.GeocRadius = GeocRadius;
        s.GregorianCal = GregorianCal;
        s.ChartLeapYear = ChartLeapYear;
        s.ChartWeekDay = ChartWeekDay;
        s.MonthDays = MonthDays;
        s.StepCalendar = StepCalendar;
    }
};

// The Sun's last rise, the following set and the next rise around the chart moment, for the
// houses on the Sun's arcs. The chart, its moment and its time step are left as they were.
bool FindSunArcs(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen, SunArcs& arcs) {
    const TimeStepState time(s);
    const ChartPoints points = s;
    const std::string status = s.StatusText;
    arcs.t0 = s.ChartJD;
    const ChartOptions& sunOnly = opt; // the searches compute the Sun alone, no houses
    bool ok = true;
    {
        ChartContextGuard guard(s);
        ok = ok && FindRiseSet(s, sunOnly, gen, 1, false);
        arcs.t1 = s.ChartJD;
        ok = ok && FindRiseSet2(s, sunOnly, gen, 1, true);
        arcs.t3 = s.ChartJD;
    }
    {
        ChartContextGuard guard(s);
        ok = ok && FindRiseSet(s, sunOnly, gen, 1, true);
        arcs.t2 = s.ChartJD;
    }
    static_cast<ChartPoints&>(s) = points;
    time.Restore(s);
    s.StatusText = status;
    return ok;
}

} // namespace

namespace {

// The cusps of the chart as points 27..38, with their ecliptic latitudes when asked for.
void SetHouses(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen, bool latitudes,
               PlacidusStart* start) {
    HouseFrame f;
    f.ramc = LocalSiderealRad(s);
    f.sinEps = s.SinEps;
    f.cosEps = s.CosEps;
    f.lat = s.GeocLat;
    f.sun = s.PlanetLon[1];
    f.moon = s.PlanetLon[2];
    f.northNode = s.PlanetLon[11];

    std::optional<HouseCusps> cusps;
    if (opt.HorizontalBox) {
        s.HouseSystem = kHousesEqualAsc;
        HouseCusps c{};
        for (int h = 1; h <= 12; ++h) c[h] = NormAngle((h - 1) * kPi / 6 + 1e-9);
        cusps = c;
    } else {
        s.HouseSystem = ChartHouseSystem(s, opt);
        if (HouseSystemFailsAtHighLatitude(s.HouseSystem) &&
            std::fabs(s.ChartLat) > 65 * kDegToRad) {
            static const std::string ru1 = Cp("Система"),
                                     ru2 = Cp("не работает на высоких широтах");
            const std::string name = "\"" + HouseSystemName(s.HouseSystem, s.EnglishMode) + "\"";
            SetStatus(s, s.EnglishMode ? "The " + name + " system does not work at high latitudes"
                                       : ru1 + " " + name + " " + ru2);
        }
        if (s.HouseSystem >= kHousesJamaspa) {
            SunArcs arcs;
            if (FindSunArcs(s, opt, gen, arcs)) {
                cusps = ComputeHouseCusps(s.HouseSystem, f, &arcs);
            } else {
                static const std::string ru = Cp("Солнце не восходит или не заходит: дома по");
                SetStatus(s, Lang(s, ru, "The Sun does not rise or set: houses by") + " \"" +
                                 HouseSystemName(kHousesPorphyry, s.EnglishMode) + "\"");
                cusps = ComputeHouseCusps(kHousesPorphyry, f);
            }
        } else {
            cusps = ComputeHouseCusps(s.HouseSystem, f, nullptr, start);
        }
    }
    for (int h = 1; h <= 12; ++h) {
        const double lon = (*cusps)[h];
        s.PlanetLon[26 + h] = lon;
        s.PlanetLonSaved[26 + h] = lon;
        if (latitudes) s.PlanetLat[26 + h] = std::atan(-std::sin(lon) * s.SinEps / s.CosEps);
    }
}

} // namespace

void CalcHouses(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen) {
    SetHouses(s, opt, gen, true);
}

void CalcChart(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen, int n) {
    s.NExtra = std::clamp(s.NExtra, 0, kMaxExtraBodies);
    s.ParsCount = std::clamp(s.ParsCount, 0, MaxActiveParts(s.NExtra));
    const int last = LastBody(s);
    Calc c{s, opt, gen};
    if (n != 2) c.Earth();
    if (n == 0) {
        c.SVP();
        c.AllBodies();
        s.PlanetLonSaved = s.PlanetLon;
        if (opt.HelioBox) {
            for (int i = 1; i <= last; ++i) s.PlanetLon[i] = s.Bodies[i][kBodyHelioLon];
            s.PlanetLon[1] = NormAngle(kPi + s.PlanetLon[1]);
            s.PlanetLon[0] = s.PlanetLon[1];
        } else if (opt.HorizontalBox) {
            for (int i = 1; i <= last; ++i) s.PlanetLon[i] = NormAngle(-s.Bodies[i][kBodyAzimuth] - kPi / 2);
            CalcHouses(s, opt, gen);
        } else {
            c.SpeedsHousesParts();
        }
    } else if (n > last) {
        CalcHouses(s, opt, gen);
        if (n < kFirstCuspPoint) {
            c.AllBodies();
            if (opt.ComputeParts) opt.ComputeParts(s);
        }
    } else if (n >= 1) {
        if (n >= 11 && n <= 13) CalcMeanElements(s, 2);
        c.Body(n == 12 ? 11 : n);
        s.PlanetLonSaved[n] = s.PlanetLon[n];
        if (opt.HelioBox) {
            s.PlanetLon[n] = n == 1 ? NormAngle(s.Bodies[1][kBodyHelioLon] + kPi) : s.Bodies[n][kBodyHelioLon];
        } else if (opt.HorizontalBox) {
            s.PlanetLon[n] = NormAngle(-s.Bodies[n][kBodyAzimuth] - kPi / 2);
        }
    }
}

void CalcChartBodies(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen) {
    s.NExtra = std::clamp(s.NExtra, 0, kMaxExtraBodies);
    Calc c{s, opt, gen};
    c.Earth();
    c.AllBodies();
}

void CalcChartPlaces(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen) {
    s.NExtra = std::clamp(s.NExtra, 0, kMaxExtraBodies);
    Calc c{s, opt, gen, true};
    c.Earth();
    c.AllBodies();
}

void CalcChartAltFrame(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen) {
    const int ex = opt.ExterrBody;
    if (ex < 3 || ex > 5) {
        CalcChart(s, opt, gen, 0);
        return;
    }
    s.NExtra = std::clamp(s.NExtra, 0, kMaxExtraBodies);
    s.ParsCount = std::clamp(s.ParsCount, 0, MaxActiveParts(s.NExtra));
    ChartOptions o = opt;
    o.HelioBox = o.HorizontalBox = false;
    Calc c{s, o, gen};
    CalcMeanElements(s, ex);
    s.EarthSeriesIndex = 3;
    const int k = TheoryIndex(ex);
    Spherical rate;
    const Spherical p = PlanetHelioRate(s.Planets, k, s.ChartT, rate);
    s.EarthHelio = ToTriple(p);
    PosVelFromRates(p, rate, s.EarthXYZ, s.EarthVel);
    s.HelioSph[k] = s.EarthHelio;
    s.HelioXYZ[k] = s.EarthXYZ;
    s.HelioVel[k] = s.EarthVel;
    s.GeoSph[k] = {0, 0, 0};
    s.GeoXYZ[k] = {0, 0, 0};
    c.Store(ex, k);
    for (int i = 0; i <= LastBody(s); ++i) {
        if (i == 2 || (i >= 11 && i <= 14) || i == ex) continue;
        c.Body(i);
    }
    c.SpeedsHousesParts();
}

} // namespace qor
