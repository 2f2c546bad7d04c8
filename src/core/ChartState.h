// The chart points and body records of the current chart, and the options of the settings
// windows that the chart computation reads. Part of the program state (AstroDat derives from
// ChartPoints); the computation itself is in Chart.h.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace qor {

struct AstroDat;

// The 41 chart points: 0 Earth, 1 Sun, 2 Moon, 3..10 Mercury..Pluto, 11/12 the nodes,
// 13 Black Moon, 14 White Moon, then extra bodies and active Arabic parts, 27..38 the cusps.
using PointArray = std::array<double, 41>;
constexpr int kAscendantPoint = 27;
constexpr int kMidheavenPoint = 36;
constexpr int kFirstCuspPoint = 27;
constexpr int kFirstExtraPoint = 15;
constexpr int kMaxExtraBodies = 12;
constexpr int kBodyRecords = 27; // points 0..26 have a body record
constexpr int kMaxParts = 9;

// One body record: 18 values per body, by the field names below (angles in radians).
// The Sun and the Moon hold their geocentric distance, longitude and position in the
// heliocentric fields (kBodyHelioRadius, kBodyHelioLon, kBodyHelioX..Z); the Earth (0) its
// heliocentric longitude in kBodyHelioLon and the negated geocentric Sun in kBodyHelioX..Z.
using BodyRec = std::array<double, 18>;
constexpr int kBodyInclination = 0;   // orbital elements of date
constexpr int kBodyEccentricity = 1;
constexpr int kBodySemiMajorAxis = 2; // AU
constexpr int kBodyNode = 3;          // longitude of the ascending node
constexpr int kBodyHelioRadius = 4;   // heliocentric radius vector, AU
constexpr int kBodyPerihelion = 5;    // longitude of the perihelion
constexpr int kBodyHelioLon = 6;      // heliocentric longitude
constexpr int kBodyDistance = 7;      // geocentric distance, AU
constexpr int kBodyHelioX = 8;        // heliocentric X, Y, Z, AU
constexpr int kBodyHelioY = 9;
constexpr int kBodyHelioZ = 10;
constexpr int kBodyLon = 11;          // geocentric ecliptic longitude of date
constexpr int kBodyLat = 12;          // and latitude
constexpr int kBodyRA = 13;           // right ascension of date
constexpr int kBodyDec = 14;          // declination of date
constexpr int kBodyAzimuth = 15;      // azimuth, from the south
constexpr int kBodyAltitude = 16;     // altitude above the horizon
constexpr int kBodyMotion = 17;       // daily motion in longitude, radians per day

// Orbital elements of an extra body (angles in radians).
struct OrbitElements {
    double epoch = 0;       // Julian day
    double a = 0;           // semi-major axis, AU
    double meanAnomaly = 0; // at the epoch
    double argPerihelion = 0;
    double node = 0;
    double inclination = 0;
    double e = 0;
    double meanMotion = 0; // radians per day
};

// A triple of coordinates: spherical (longitude, latitude, radius) or rectangular (x, y, z).
using Triple = std::array<double, 3>;

struct ChartPoints {
    PointArray PlanetLon{};      // ecliptic longitude of date, [0, 2π)
    PointArray PlanetLat{};      // ecliptic latitude
    PointArray PlanetSpeed{};    // daily motion in longitude, radians per day
    PointArray PlanetLonSaved{}; // PlanetLon after the bodies, before houses and parts
    std::array<BodyRec, kBodyRecords> Bodies{};

    int HouseSystem = 1; // 1..18, see Houses.h
    int NExtra = 0;      // enabled extra bodies, points 15..14+NExtra
    int ParsCount = 0;   // active Arabic parts after them (never reaching the cusps)
    std::array<OrbitElements, kMaxExtraBodies + 1> FictElements{}; // [1..12]

    double SVP = 0;               // synetic vernal point, radians
    std::string SVPText;          // its text
    std::string AsteroidTimeText; // the moment of the last asteroid list

    // Working values of the last computation, by theory index (0 Sun, 1 Mercury, 2 Venus,
    // 3 Earth, 4..9 Mars..Pluto, 10 Moon, 11..14 lunar points, 15..26 extra bodies).
    std::array<Triple, kBodyRecords> HelioSph{}, GeoSph{}, HelioXYZ{}, GeoXYZ{};
    std::array<double, kBodyRecords> BodyRA{}, BodyDec{}, BodyAz{}, BodyAlt{};
    std::array<Triple, kBodyRecords> HelioVel{}; // heliocentric velocity, AU per day
    Triple EarthHelio{}, EarthXYZ{};             // the observer's planet, heliocentric
    Triple EarthVel{};                           // and its velocity, AU per day
    int EarthSeriesIndex = 3;
    bool PlutoMissing = false; // Pluto has no place at this moment (point 10 left empty)
};

// Options of the natal-chart settings window read by the chart computation, with the window's
// defaults. The UI copies the controls here before each computation.
struct ChartOptions {
    // The house system 1..18 (Houses.h), the first one "Полих-Пейдж" by default; 0 when the
    // settings name none (the first one is taken and the status line says so).
    int HouseSystem = 1;
    bool HelioBox = false;
    bool HorizontalBox = false;
    bool ArtaButton = true; // White Moon: Arta (true) or Selena with SLng/SPeriod
    double SLng = 242.5;    // Selena: longitude at 2000.0, degrees
    double SPeriod = 7.0;   // Selena: period, years
    int ExterrBody = 0;          // 0 the Earth; 3, 4, 5 observer on Mercury, Venus, Mars
    // Computes the active Arabic parts into their points (the chart runs it after the houses,
    // at the moment and one second before it); none: no parts.
    void (*ComputeParts)(AstroDat& s) = nullptr;
};

// The general settings read by the chart computation and the rise and set search, with the
// window's defaults (UseLightTime lives in AstroDat).
struct GeneralOptions {
    bool HorParallax = true;
    bool TrueNodes = true;
    bool BlackMoonFocus = true; // Black Moon as the second focus of the lunar orbit
    bool UseEllipsoid = false;
    int RiseGroup = 0; // 0 upper limb with refraction, 1 centre with refraction, 2 centre
};

} // namespace qor
