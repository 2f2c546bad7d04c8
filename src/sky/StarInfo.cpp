#include "sky/StarInfo.h"

#include "core/AstrClcs.h"
#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Strings.h"
#include "core/Text.h"

#include <algorithm>
#include <cmath>

namespace qor {

namespace {

constexpr double kAuPerParsec = 206264.80624709636;
constexpr double kSunRadiusKm = 695000;
constexpr double kAuKm = 1.496e8;
constexpr double kSigmaKw = 5.67e-11; // Stefan-Boltzmann, kW m⁻² K⁻⁴

// Fixed-point text with a decimal comma, blanks trimmed.
std::string Comma(double x, int decimals) {
    return Trim(FloatToStrComma(0, decimals, x));
}

std::string Parsecs(const AstroDat& s, double pc) {
    return StarDistanceText(pc) + Lang(s, Cp(" пк"), " ps");
}

// The latitude brought into -90°..90° the way the windows show it.
double ShownLatitude(double lat) {
    if (lat > kPi) lat -= 2 * kPi;
    if (lat > kPi / 2) lat = kPi - lat;
    return lat;
}

std::string Dms(double rad) {
    return Trim(FormatDMSAs(1, rad * kRadToArcSec));
}

std::string HeadBeforeColon(const std::string& text) {
    return Trim(text.substr(0, text.find(':')));
}

} // namespace

std::string StarDistanceText(double d) {
    if (!(d > 0)) return "0";
    const int decimals = d < 10 ? 2 : d < 100 ? 1 : 0;
    return FloatToStrComma(4, decimals, d);
}

SpaceVector operator-(const SpaceVector& a, const SpaceVector& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

double Length(const SpaceVector& v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

double StarDistanceParsecs(const StarCatalogue& c, int n) {
    if (n < 1 || n > c.StarCount) return 0;
    const int32_t field = c.YaleStars[n].Distance;
    return field < 1 ? 0 : field / 1000.0;
}

namespace {

SpaceVector PlaceAt(const StarCatalogue& c, int n, double r) {
    if (r == 0 || n < 1 || n >= static_cast<int>(c.StarLon.size())) return {};
    const double lon = c.StarLon[n], lat = c.StarLat[n];
    return {r * std::cos(lat) * std::cos(lon), r * std::cos(lat) * std::sin(lon),
            r * std::sin(lat)};
}

} // namespace

SpaceVector StarXYZ(const StarCatalogue& c, int n) {
    return PlaceAt(c, n, StarDistanceParsecs(c, n));
}

SpaceVector StarPlace(const StarCatalogue& c, int n) {
    const double r = StarDistanceParsecs(c, n);
    return PlaceAt(c, n, r > 0 ? r : 100);
}

int StarIndexOfBS(const StarCatalogue& c, int bs) {
    if (bs <= 0) return 0;
    for (int i = 1; i <= c.StarCount; ++i)
        if (c.YaleStars[i].BS == bs) return i;
    return 0;
}

SpectralClass ReadSpectralClass(std::string_view t) {
    // luminosity prefixes of older catalogues: giant, dwarf, subdwarf, subgiant, supergiant
    for (std::string_view prefix : {"sd", "sg", "g", "d", "c"})
        if (t.starts_with(prefix)) {
            t.remove_prefix(prefix.size());
            if (t.starts_with(':')) t.remove_prefix(1); // an uncertain class
            break;
        }
    SpectralClass k;
    if (t.empty()) return k;
    k.letter = t[0];
    if (t.size() > 1 && t[1] >= '0' && t[1] <= '9') k.digit = t[1] - '0';
    static constexpr std::string_view kClasses = "OBAFGKM";
    const std::size_t at = kClasses.find(k.letter);
    k.index = k.digit + (at == std::string_view::npos ? 0 : 10 * static_cast<int>(at));
    return k;
}

double StarTemperature(double x) {
    return std::max(2000.0, ((-0.386 * x + 50.8) * x - 2260) * x + 40000);
}

StarModel StarModelOf(double m, double field, std::string_view spectrum) {
    StarModel k;
    k.absMag = m + 5 + 5 * std::log10(1000 / NonZeroGuard(field));
    k.luminosity = std::pow(2.512, 4.73 - k.absMag);
    k.temperature = StarTemperature(ReadSpectralClass(spectrum).index);
    const double q = 6000 / k.temperature;
    k.radius = q * q * std::sqrt(k.luminosity);
    return k;
}

ui::Colour StarDiscColour(std::string_view spectrum) {
    const SpectralClass k = ReadSpectralClass(spectrum);
    const int c = static_cast<int>(std::lround(14.111111 * k.digit));
    int r = 255, g = 255, b = 255;
    switch (k.letter) {
    case 'O':
        r = c;
        break;
    case 'B':
        r = c + 128;
        break;
    case 'F':
        b = 255 - c;
        break;
    case 'G':
        b = 127 - c;
        break;
    case 'K':
        g = 255 - c;
        b = 0;
        break;
    case 'M':
        g = 127 - c;
        b = 0;
        break;
    default:
        break;
    }
    auto clamp = [](int v) { return static_cast<ui::Colour>(std::clamp(v, 0, 255)); };
    return clamp(r) | clamp(g) << 8 | clamp(b) << 16;
}

StarFormTexts FillStarForm(const AstroDat& s, StarCatalogue& c, int n) {
    StarFormTexts t;
    if (n < 1 || n > c.StarCount) return t;
    const YaleRec& y = c.YaleStars[n];
    t.Designation = HeadBeforeColon(StarDesignation(s, c, n, true));
    t.Name = StarName(c, n);
    t.BS = std::to_string(y.BS);
    t.HD = std::to_string(y.HD);
    const bool placed = n < static_cast<int>(c.StarLon.size());
    const double lon = placed ? c.StarLon[n] : 0, lat = placed ? c.StarLat[n] : 0;
    t.Longitude = Dms(lon);
    t.Latitude = Dms(ShownLatitude(lat));
    const bool dated = n < static_cast<int>(c.StarRADate.size());
    const double ra = dated ? c.StarRADate[n] : 0, dec = dated ? c.StarDecDate[n] : 0;
    t.RA = Trim(FormatSecondsHMS(true, ra * kRadToArcSec / 15));
    t.Dec = Dms(dec);
    const double hourAngle = s.SiderealTimeSec * kArcsecToRad * 15 - ra;
    const HorizontalCoord h = EquToHorizonCur(s, hourAngle, dec);
    t.Azimuth = Dms(h.az);
    t.Altitude = Dms(h.alt);
    t.Magnitude = Trim(FloatToStrComma(6, 2, y.Mag));
    const double r = StarDistanceParsecs(c, n);
    t.Distance = r > 0 ? Parsecs(s, r) : "?";
    t.Spectrum = y.Spectrum;
    return t;
}

DeepStarTexts FillDeepStarInfo(const AstroDat& s, StarCatalogue& c, int n, const DeepStarView& v) {
    DeepStarTexts t;
    if (n < 1 || n > c.StarCount) return t;
    const YaleRec& y = c.YaleStars[n];
    t.Designation = HeadBeforeColon(StarDesignation(s, c, n, true));
    t.Name = StarName(c, n);
    const double r = StarDistanceParsecs(c, n);
    if (r == 0) return t;
    t.Physical = true;
    const StarModel k = StarModelOf(y.Mag, y.Distance, y.Spectrum);
    t.AbsMag = Comma(k.absMag, 1);
    t.Luminosity = Comma(k.luminosity, k.luminosity <= 0.9 ? 3 : k.luminosity <= 9 ? 1 : 0);
    t.Spectrum = y.Spectrum;
    t.Temperature = Comma(k.temperature, 0) + " K";
    t.Radius = Comma(k.radius, k.radius <= 9 ? 1 : 0);
    t.SunDistance = Parsecs(s, r);

    const bool centre = n == v.CosmosStar;
    const double D = v.ScaleAu / kAuPerParsec; // the observer's distance from the centre, pc
    const SpaceVector P = v.Observer, X = StarXYZ(c, n), A = X - P;
    if (centre) {
        t.CentreCaption = Lang(s, Cp("Излучение"), "Radiation");
        const double ratio = k.radius * kSunRadiusKm / NonZeroGuard(v.ScaleAu) / kAuKm;
        const double t2 = k.temperature * k.temperature;
        t.CentreValue = Comma(kSigmaKw * t2 * t2 * ratio * ratio, 1);
    } else {
        t.CentreCaption = Lang(s, Cp("от центр.звезды"), "from Star");
        t.CentreValue = Parsecs(s, Length(A));
    }
    const double lon = n < static_cast<int>(c.StarLon.size()) ? c.StarLon[n] : 0;
    const double lat = n < static_cast<int>(c.StarLat.size()) ? c.StarLat[n] : 0;
    t.Longitude = Dms(lon);
    t.Latitude = Dms(ShownLatitude(lat));
    auto xyz = [](const SpaceVector& p, std::string& x, std::string& y, std::string& z) {
        x = Comma(p.x, 2);
        y = Comma(p.y, 2);
        z = Comma(p.z, 2);
    };
    if (centre) {
        xyz(P, t.HelioX, t.HelioY, t.HelioZ);
        t.FrameTitle = Lang(s, Cp("Солнца"), "   Sun");
        t.FrameLongitude = Dms(NormAngle(kPi + lon));
        t.FrameLatitude = Dms(-lat);
        xyz({-P.x, -P.y, -P.z}, t.FrameX, t.FrameY, t.FrameZ);
        t.ScreenX = t.ScreenY = "0";
        t.ScreenZ = Comma(D, 2);
        t.ObserverParsecs = D;
    } else {
        xyz(X, t.HelioX, t.HelioY, t.HelioZ);
        t.FrameTitle = Lang(s, Cp("астроцентр."), "astrocentric");
        xyz(A, t.FrameX, t.FrameY, t.FrameZ);
        const double len = Length(A);
        t.FrameLongitude = Dms(ArcTan2Pos(A.y, A.x));
        t.FrameLatitude = Dms(len > 0 ? std::asin(std::clamp(A.z / len, -1.0, 1.0)) : 0);
        SpaceVector turned = A;
        if (v.View) ApplyMatrix3(*v.View, turned.x, turned.y, turned.z);
        xyz(turned, t.ScreenX, t.ScreenY, t.ScreenZ);
        const double dz = turned.z - D;
        t.ObserverParsecs = std::sqrt(turned.x * turned.x + turned.y * turned.y + dz * dz);
    }
    t.ObserverDistance =
        t.ObserverParsecs <= 0.01
            ? StarDistanceText(t.ObserverParsecs * kAuPerParsec) + Lang(s, Cp(" ае"), " au")
            : Parsecs(s, t.ObserverParsecs);
    return t;
}

} // namespace qor
