// The whole-chart computation as the routines for other moments see it: the second chart
// (directions, progressions, returns), rise and set, and the conversions for the current chart.
//
// These routines move the chart moment of `AstroDat`, run the time step and the chart
// computation for it and read the results. They reach the computation only through this
// interface, so that they run on the program's one chart computation (or, in tests, on a
// small model of it) and never on a second one of their own.
#pragma once

#include "core/AstroDat.h"
#include "core/ChartState.h"
#include "core/TimeStep.h"

#include <array>

namespace qor {

class ChartEngine {
public:
    virtual ~ChartEngine() = default;

    // The time step of the chart moment of the state (Julian day, ΔT, nutation, obliquity,
    // sidereal time, the observer's geocentric latitude).
    virtual void CalcAstroTime() = 0;
    // The chart: n = 0 everything; 1 ≤ n ≤ 14 + extra bodies that body alone.
    virtual void CalcChart(int n) = 0;
    // Every body (points 1..14 and the extra bodies) without cusps or parts. A model without
    // such a shortcut computes points 1..14 one by one.
    virtual void CalcBodies() {
        for (int n = 1; n <= 14; ++n)
            if (n != 12) CalcChart(n); // the south node comes with the north node
    }
    // The same bodies' PlanetLon and PlanetLat alone, as CalcBodies gives them; their speeds,
    // records and horizontal places are not current afterwards.
    virtual void CalcBodyPlaces() { CalcBodies(); }

    // Values of the last time step.
    virtual double ChartJD() const = 0; // Julian day, UT
    virtual double ChartT() const = 0;  // Julian centuries from J2000.0, dynamical time
    virtual void SetChartT(double t) = 0;
    virtual double SiderealTimeSec() const = 0; // local apparent sidereal time, seconds of time
    virtual double SinEps() const = 0;       // sine of the true obliquity
    virtual double CosEps() const = 0;

    // The horizontal-parallax option of the chart computation.
    virtual bool HorParallax() const = 0;
    virtual void SetHorParallax(bool on) = 0;

    // The chart's points and body records.
    virtual PointArray& PlanetLon() = 0;
    virtual PointArray& PlanetLat() = 0;
    virtual PointArray& PlanetSpeed() = 0; // radians per day
    virtual PointArray& PlanetLonSaved() = 0;
    virtual const BodyRec& Body(int n) const = 0; // n = 0..26
};

// The program's own chart computation (TimeStep.h, Chart.h) on the state `s`, with the options
// of the settings windows. SetHorParallax changes this object's copy of the general options.
class CurrentChart : public ChartEngine {
public:
    CurrentChart(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen);

    void CalcAstroTime() override;
    void CalcChart(int n) override;
    void CalcBodies() override;
    void CalcBodyPlaces() override;
    double ChartJD() const override { return s_.ChartJD; }
    double ChartT() const override { return s_.ChartT; }
    void SetChartT(double t) override { s_.ChartT = t; }
    double SiderealTimeSec() const override { return s_.SiderealTimeSec; }
    double SinEps() const override { return s_.SinEps; }
    double CosEps() const override { return s_.CosEps; }
    bool HorParallax() const override { return gen_.HorParallax; }
    void SetHorParallax(bool on) override { gen_.HorParallax = on; }
    PointArray& PlanetLon() override { return s_.PlanetLon; }
    PointArray& PlanetLat() override { return s_.PlanetLat; }
    PointArray& PlanetSpeed() override { return s_.PlanetSpeed; }
    PointArray& PlanetLonSaved() override { return s_.PlanetLonSaved; }
    const BodyRec& Body(int n) const override { return s_.Bodies.at(n); }

private:
    AstroDat& s_;
    ChartOptions opt_;
    GeneralOptions gen_;
    TimeStepOptions time_;
};

} // namespace qor
