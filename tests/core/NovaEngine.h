// A model of the chart computation for tests of the routines that work on other moments:
// the Sun and the Moon from libnova (its Moon, given for the J2000 frame, precessed to the
// date), the time step from the chart moment of the state
// (without ΔT, so that the chart's T and its Julian day agree), cusps turning with the
// sidereal time. It stands in for the program's own computation, which these routines
// reach only through ChartEngine.
#pragma once

#include "core/AstroMath.h"
#include "core/ChartEngine.h"

#include <libnova/earth.h>
#include <libnova/lunar.h>
#include <libnova/nutation.h>
#include <libnova/precession.h>
#include <libnova/sidereal_time.h>
#include <libnova/solar.h>
#include <libnova/utility.h>

#include <cmath>
#include <vector>

namespace qor::test {

class NovaEngine : public ChartEngine {
public:
    explicit NovaEngine(AstroDat& s) : s_(s) {}

    int timeSteps = 0;
    int bodyComputations = 0;
    std::vector<double> fullChartJDs; // the Julian day of every whole chart computed

    void CalcAstroTime() override {
        ++timeSteps;
        DateTimeRec rec;
        rec.Year = s_.ChartYear;
        rec.Month = s_.ChartMonth;
        rec.Day = s_.ChartDay;
        const double ut =
            (s_.ChartSecond / 60.0 + s_.ChartMinute) / 60.0 + s_.ChartHour - s_.ChartZone / 60.0;
        jd_ = JulianDayOf(rec) + ut / 24.0;
        t_ = CenturiesJ2000(jd_);
        ln_nutation nut;
        ln_get_nutation(jd_, &nut);
        const double eps = (nut.ecliptic + nut.obliquity) * kDegToRad;
        sinEps_ = std::sin(eps);
        cosEps_ = std::cos(eps);
        double st = ln_get_apparent_sidereal_time(jd_) * 3600.0 + s_.ChartLong * kTimeSecondsPerRad;
        st = std::fmod(st, 86400.0);
        if (st < 0) st += 86400.0;
        sidereal_ = st;
        s_.GeocLat = s_.ChartLat;
    }

    void CalcChart(int n) override {
        const double jd = JDFromCenturies(t_);
        if (n == 0 || n == 1) Body(1, jd);
        if (n == 0 || n == 2) Body(2, jd);
        if (n == 0) {
            fullChartJDs.push_back(jd);
            lonSaved_ = lon_;
            const double ramc = sidereal_ * 15.0 * kArcsecToRad;
            for (int h = 1; h <= 12; ++h) {
                lon_[26 + h] = NormAngle(ramc + kPi / 2 + (h - 1) * kPi / 6);
                speed_[26 + h] = kTwoPi * 1.0027379;
            }
        } else {
            lonSaved_[n] = lon_[n];
        }
    }

    double ChartJD() const override { return jd_; }
    double ChartT() const override { return t_; }
    void SetChartT(double t) override { t_ = t; }
    double SiderealTimeSec() const override { return sidereal_; }
    double SinEps() const override { return sinEps_; }
    double CosEps() const override { return cosEps_; }
    bool HorParallax() const override { return parallax_; }
    void SetHorParallax(bool on) override { parallax_ = on; }
    PointArray& PlanetLon() override { return lon_; }
    PointArray& PlanetLat() override { return lat_; }
    PointArray& PlanetSpeed() override { return speed_; }
    PointArray& PlanetLonSaved() override { return lonSaved_; }
    const BodyRec& Body(int n) const override { return bodies_[n]; }

    // Apparent geocentric ecliptic longitude (radians) of the Sun (1) or the Moon (2).
    static double Longitude(int body, double jd) {
        ln_lnlat_posn p;
        if (body == 1)
            ln_get_solar_ecl_coords(jd, &p);
        else
            ln_get_lunar_ecl_coords(jd, &p, 0);
        return NormAngle(p.lng * kDegToRad);
    }

protected:
    void Body(int n, double jd) {
        ++bodyComputations;
        ln_equ_posn equ;
        ln_lnlat_posn ecl;
        double distAU;
        if (n == 1) {
            ln_get_solar_equ_coords(jd, &equ);
            ln_get_solar_ecl_coords(jd, &ecl);
            distAU = ln_get_earth_solar_dist(jd);
        } else {
            ln_equ_posn j2000;
            ln_get_lunar_equ_coords(jd, &j2000);
            ln_get_equ_prec(&j2000, jd, &equ);
            ln_get_lunar_ecl_coords(jd, &ecl, 0);
            distAU = ln_get_lunar_earth_dist(jd) / kAstronomicalUnitKm;
        }
        const double step = 1.0 / 24.0;
        const double rate =
            NormAngleSigned(Longitude(n, jd + step) - Longitude(n, jd - step)) / (2 * step);
        BodyRec& b = bodies_[n];
        b[kBodyRA] = equ.ra * kDegToRad;
        b[kBodyDec] = equ.dec * kDegToRad;
        b[kBodyDistance] = distAU;
        const double H = sidereal_ * 15.0 * kArcsecToRad - b[kBodyRA];
        b[kBodyAltitude] = std::asin(std::sin(s_.GeocLat) * std::sin(b[kBodyDec]) +
                                     std::cos(s_.GeocLat) * std::cos(b[kBodyDec]) * std::cos(H));
        b[kBodyMotion] = rate;
        lon_[n] = NormAngle(ecl.lng * kDegToRad);
        lat_[n] = ecl.lat * kDegToRad;
        speed_[n] = rate;
    }

    AstroDat& s_;
    double jd_ = kJ2000, t_ = 0, sidereal_ = 0, sinEps_ = 0, cosEps_ = 1;
    bool parallax_ = true;
    PointArray lon_{}, lat_{}, speed_{}, lonSaved_{};
    std::array<BodyRec, 27> bodies_{};
};

} // namespace qor::test
