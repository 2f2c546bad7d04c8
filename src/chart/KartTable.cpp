// The table of points beside the wheel: each point's place in the column of the settings,
// its dignities, its retrograde mark and the nearest bright star or deep-sky object.
#include "chart/KartPainter.h"

#include "core/AstroMath.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "sky/DeepSky.h"
#include "sky/StarCatalogue.h"

#include <algorithm>
#include <cmath>

namespace qor::chart::painting {

void KartPainter::DrawDignityMarks(int p, int x, int y) {
    const Colour colour = w_.KartInnerColor;
    const double lonDeg = s_.PlanetLon[p] / kDegToRad;
    const int sign = ClampedIndex(lonDeg / 30, 0, 11) + 1;
    static const char* const eng[5] = {"", "R", "D", "E", "F"};
    static const std::string rus[5] = {"", Cp("О"), Cp("И"), Cp("э"), Cp("п")};
    std::string letter = " ";
    int status = 0;
    for (int st = 1; st <= 4; ++st)
        if (p >= 1 && p <= 16 && o_.Status.Has(st, sign, p)) {
            letter = s_.EnglishMode ? eng[st] : rus[st];
            status = st;
        }
    Text(x - 42, y, letter, colour);
    const int cross = (sign - 1) % 3;
    const int element = (sign - 1) % 4;
    Glyph(x - 30, y, std::string(1, static_cast<char>(23 + cross)), colour);
    Glyph(x - 14, y, std::string(1, static_cast<char>(19 + element)), colour);
    // hints by message number
    auto msg = [](int n) { return std::string(1, '#').append(std::to_string(n)); };
    Spot(x - 38, y + 8, status ? msg(14 + status) : std::string());
    Spot(x - 22, y + 8, msg(19 + cross));
    Spot(x - 6, y + 8, msg(22 + element));
}

void KartPainter::SecondColumn(int x, int y, int item, double lon, double lat, double ra,
                               double dec, double az, double alt, bool degreeLabel, Colour colour) {
    double v = 0;
    switch (item) {
    case 0:
        if (degreeLabel) {
            ui::DrawDegreeLabel(s_, b_, o_.AccurBox, x, y, colour, lon * kRadToArcSec);
            return;
        }
        v = lon;
        break;
    case 1:
        v = lat;
        break;
    case 2:
        v = ra;
        break;
    case 3:
        v = dec;
        break;
    case 4:
        v = az;
        break;
    case 5:
        v = alt;
        break;
    default:
        return;
    }
    Text(x, y, FormatDMS(s_, v * kRadToArcSec), colour);
}

void KartPainter::Table() {
    NatalWheel& w = w_;
    const int cw = w.KartCharWidth;
    const bool dbl = c_.DoubleChart;
    int r = 2;
    for (int i = w.KartFirstPln; i <= w.KartLastPln; ++i) {
        if (w.PointRow[i] == 0 || i == c_.ExterrBody) continue;
        const bool inner = o_.PointShown(i);
        const bool outer = dbl && o_.PointShown(i, true);
        if (!inner && !outer) continue;
        ++r;
        int x = w.KartTableX;
        const int y = w.KartLineHeight * r + 4;
        if (inner) {
            const Colour col = w.KartInnerColor;
            if (i <= 16 && o_.AfetBox) DrawDignityMarks(i, x, y);
            const std::string label = PointLabel(i);
            if (NoGlyph(label)) {
                const std::string name = AsteroidName(i);
                Text(x - (cv_.TextWidth(name) - 10), y, name, col);
            } else {
                Glyph(x, y, label, col);
            }
            const BodyRec& body = s_.Bodies[i];
            if (body[kBodyMotion] < 0 && !o_.HelioBox) Glyph(x + 12, y, "\x11", col);
            const double arcsec = s_.PlanetLon[i] * kRadToArcSec;
            if (w.KartHorizontal)
                Text(x + degX_, y, FormatDMS(s_, arcsec), col);
            else
                ui::DrawDegreeLabel(s_, b_, o_.AccurBox, x + degX_, y, col, arcsec);
            x += wl_;
            if (o_.RABox) {
                SecondColumn(x, y, o_.CoordColumn, body[kBodyLon], body[kBodyLat], body[kBodyRA],
                             body[kBodyDec], body[kBodyAzimuth], body[kBodyAltitude], true, col);
                x += w2_;
            }
        } else {
            x += wl_;
            if (o_.RABox) x += w2_;
        }
        if (outer) {
            const Colour col = w.KartOuterColor;
            Glyph(x, y, PointLabel(i), col);
            if (s_.PlanetSpeedBck[i] < 0) Glyph(x + 12, y, "\x11", col);
            const double arcsec = s_.PlanetLonBck[i] * kRadToArcSec;
            if (w.KartHorizontal)
                Text(x + degX_, y, FormatDMS(s_, arcsec), col);
            else
                ui::DrawDegreeLabel(s_, b_, o_.AccurBox, x + degX_, y, col, arcsec);
            x += wl_;
            if (o_.RABox) {
                if (i <= w.KartLastPln - s_.ParsCount) {
                    const double lon = s_.PlanetLonSavedBck[i], lat = s_.PlanetLatBck[i];
                    const EquatorialCoord e = KartEclToEqu(s_, lat, lon);
                    const double hourAngle = s_.SiderealTimeSecBck * 15 / kRadToArcSec - e.ra;
                    const HorizontalCoord h = EquToHorizonCur(s_, hourAngle, e.dec);
                    SecondColumn(x, y, o_.CoordColumn, lon, lat, e.ra, e.dec, h.az, h.alt, true,
                                 col);
                }
                x += w2_;
            }
        }
        if (!dbl && o_.StarsCheck) {
            std::string tail;
            const std::string name = chart::NearBrightObject(s_, sv_, s_.PlanetLon[i], tail);
            if (!name.empty()) Text(x, y, name, w.KartInnerColor);
            // a row with nothing near has no hint of its own
            if (!tail.empty()) Spot(x + 7, y + 7, tail);
        }
    }

    if (o_.HelioBox) return;
    for (int h = 1; h <= 12; ++h) {
        if (!o_.HouseShown(h)) continue;
        ++r;
        int x = w.KartTableX - cw;
        const int y = w.KartLineHeight * r + 4;
        const Colour col = w.KartInnerColor;
        const int p = 26 + h;
        if (w.KartHorizontal) {
            Text(x, y, IntToStrW(h, 2), col);
            Text(x + cw + degX_, y, FormatDMS(s_, s_.PlanetLon[p] * kRadToArcSec), col);
        } else {
            if (h == 1 || h == 7)
                Text(x - cw, y, h == 1 ? "Asc" : "Dsc", col);
            else if (h == 4 || h == 10)
                Text(x, y, h == 4 ? "IC" : "MC", col);
            else
                Text(x, y, IntToStrW(h, 2), col);
            ui::DrawDegreeLabel(s_, b_, o_.AccurBox, x + cw + degX_, y, col,
                                s_.PlanetLon[p] * kRadToArcSec);
        }
        x += wl_;
        auto cuspColumn = [&](const PointArray& lon, const PointArray& saved, const PointArray& lat,
                              Colour colour) {
            if (o_.CoordColumn == 0) {
                ui::DrawDegreeLabel(s_, b_, o_.AccurBox, x + 2 * cw, y, colour,
                                    lon[p] * kRadToArcSec);
            } else if (o_.CoordColumn == 2) {
                const EquatorialCoord e = KartEclToEqu(s_, lat[p], saved[p]);
                Text(x + cw, y, FormatDMS(s_, e.ra * kRadToArcSec), colour);
            }
        };
        if (o_.RABox) {
            cuspColumn(s_.PlanetLon, s_.PlanetLonSaved, s_.PlanetLat, col);
            x += w2_;
        }
        if (dbl) {
            const Colour oc = w.KartOuterColor;
            const double arcsec = s_.PlanetLonBck[p] * kRadToArcSec;
            if (w.KartHorizontal)
                Text(x + cw + degX_, y, FormatDMS(s_, arcsec), oc);
            else
                ui::DrawDegreeLabel(s_, b_, o_.AccurBox, x + cw + degX_, y, oc, arcsec);
            x += wl_;
            if (o_.RABox) {
                cuspColumn(s_.PlanetLonBck, s_.PlanetLonSavedBck, s_.PlanetLatBck, oc);
                x += w2_;
            }
        } else if (o_.StarsCheck) {
            std::string tail;
            const std::string name = chart::NearBrightObject(s_, sv_, s_.PlanetLon[p], tail);
            if (!name.empty()) Text(x + cw, y, name, col);
            if (!tail.empty()) Spot(x + cw + 7, y + 7, tail);
        }
    }
}

} // namespace qor::chart::painting

namespace qor::chart {

// Equatorial place of an ecliptic one with the true obliquity of the chart's time step.
EquatorialCoord KartEclToEqu(const AstroDat& s, double lat, double lon) {
    const double sl = std::sin(lon), cl = std::cos(lon);
    const double sb = std::sin(lat), cb = std::cos(lat);
    EquatorialCoord e;
    e.ra = ArcTan2Pos(sl * cb * s.CosEps - sb * s.SinEps, cl * cb);
    e.dec = std::asin(std::clamp(sb * s.CosEps + cb * s.SinEps * sl, -1.0, 1.0));
    return e;
}

std::string NearBrightObject(AstroDat& s, const KartServices& sv, double lon, std::string& tail) {
    // The brightest star within a degree, or a deep-sky object brighter still.
    double best = 999;
    std::string name;
    tail.clear();
    const double limit = kDegToRad;
    if (sv.Stars) {
        const StarCatalogue& c = *sv.Stars;
        if (const int n = c.BrightestNear(lon, limit, best)) {
            name = StarName(c, n);
            tail = FormatZodiacAbbr(true, c.StarLon[n]) + ";*" + std::to_string(n);
            best = c.YaleStars[n].Mag;
        }
    }
    if (sv.Deep) {
        const DeepCatalogue& d = *sv.Deep;
        if (const int n = d.BrightestNear(lon, limit, best)) {
            name = DeepObjText(s, d, n, 0);
            tail = FormatZodiacAbbr(true, d.DeepObjs[n].Lon) + ";**" + std::to_string(n);
        }
    }
    return NextField(name, ',');
}

} // namespace qor::chart
