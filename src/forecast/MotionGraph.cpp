#include "forecast/MotionGraph.h"

#include "core/AstroMath.h"
#include "core/ContextStack.h"
#include "core/Ephemeris.h"
#include "core/Formats.h"
#include "core/Stepping.h"
#include "core/Text.h"

#include <algorithm>
#include <cmath>

namespace qor::forecast {

using ui::Canvas;
using ui::Colour;

namespace {

constexpr std::array<HarmonicSpec, 5> kHarmonics = {{
    {360, 12, 60, 3},
    {90, 9, 80, 5},
    {60, 12, 60, 5},
    {45, 9, 80, 5},
    {30, 10, 70, 3},
}};

// Colours $00BBGGRR.
constexpr Colour kGrey = 0x808080;
constexpr Colour kRed = 0x0000FF;
constexpr Colour kGreen = 0x008000;

constexpr int kBodiesDrawn = 15;

int Round(double v) {
    return static_cast<int>(RoundEven(v));
}

bool Chosen(const std::string& picker, int i) {
    return i >= 1 && i <= static_cast<int>(picker.size()) &&
           picker[static_cast<std::size_t>(i - 1)] != '*';
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && IsLeapYearIn(year > 1582, year)) return 29;
    return kDays[std::clamp(month, 1, 12)];
}

// One drawing's state: the geometry, the edges and each body's previous point.
struct Plot {
    Canvas& cv;
    const ui::Font16State& font;
    const MotionGeometry& g;
    const MotionChoices& c;
    int yEnd = 0;
    bool natalShown = false;
    std::array<QPoint, 17> prev{};
    std::vector<GlyphLabel> top, bottom;

    void HLine(int y) {
        cv.SetPenColor(kGrey);
        cv.MoveTo(kGraphLeftX, y);
        cv.LineTo(g.XRight(), y);
        yEnd = y;
    }
    void Label(int x, int y, const std::string& text) {
        cv.SetFontColor(ui::kBlack);
        cv.TextOut(x, y, text);
    }
    // Title and degree labels; the time axis's rows come from the caller, then the verticals.
    void Head(const std::string& title) {
        cv.SetPenColor(ui::kBlack);
        Label(32, 2, title);
        const int n = g.harm.divisions;
        for (int i = 0; i <= n; ++i)
            Label(Round(i * g.divisionWidth + 32), 20, IntToStrW(i * g.harm.degrees / n, 2));
    }
    void Verticals() {
        const int n = g.harm.divisions;
        cv.SetPenColor(kGrey);
        for (int i = 0; i <= n; ++i) {
            const int x = Round(i * g.divisionWidth + kGraphLeftX);
            cv.MoveTo(x, g.y0);
            cv.LineTo(x, yEnd);
        }
        const int minor = g.harm.minorDivisions;
        QPolygon dots;
        for (int j = 1; j <= n * minor; ++j) {
            const int x = Round(g.divisionWidth / minor * (j - 1) + kGraphLeftX);
            for (int y = g.y0; y < yEnd; y += 3) dots << QPoint(x, y);
        }
        cv.SetPixels(dots, kGrey);
    }
    // A grey pixel at every third x of a row from x0 (the 11th and 21st of a month, the
    // thirds of a year).
    void DottedRow(int y, int x0 = kGraphLeftX + 1, int limitOffset = -1) {
        const double limit = g.harm.divisions * g.divisionWidth + kGraphLeftX + limitOffset;
        QPolygon dots;
        for (int x = x0; x < limit; x += 3) dots << QPoint(x, y);
        cv.SetPixels(dots, kGrey);
    }

    // A row a day of a month (day numbers on the left).
    void MonthAxes(int rows, double rowHeight) {
        for (int d = 1; d <= rows + 1; ++d) {
            const int y = Round((d - 1) * rowHeight + g.y0);
            if (d <= rows) Label(10, y + 2, IntToStrW(d, 2));
            HLine(y);
        }
    }
    // The months of a year, with the 11th and 21st dotted.
    void YearAxes(int year) {
        int daysBefore = 0;
        for (int m = 1; m <= 13; ++m) {
            const int y = Round(daysBefore * g.dayHeight + g.y0);
            if (m <= 12) Label(0, y + 2, IntToStrW(m, 3));
            HLine(y);
            if (m <= 12) {
                DottedRow(y + Round(10 * g.dayHeight));
                DottedRow(y + Round(20 * g.dayHeight));
                daysBefore += DaysInMonth(year, m);
            }
        }
    }
    // A row a year from `first`; rows high enough get dotted thirds.
    void DecadeAxes(int rows, double rowHeight, int first) {
        for (int k = 1; k <= rows + 1; ++k) {
            const int y = Round((k - 1) * rowHeight + g.y0);
            Label(2, y - 2, IntToStrW(first + k - 1, 4));
            HLine(y);
            if (k <= rows && rowHeight > 15)
                for (const double third : {rowHeight / 3, 2 * rowHeight / 3})
                    DottedRow(Round(y + third), kGraphLeftX, 0);
        }
    }

    void DrawLabels(std::vector<GlyphLabel>& list, int mode, int yTop, int yBottom) {
        list = SpreadGlyphLabels(list);
        for (const GlyphLabel& l : list) {
            if (l.body == 0) continue;
            if (mode != 2) cv.SetPenColor(l.body == 1 ? kRed : ui::kBlack);
            const Colour colour = cv.PenColor();
            const char glyph = BodyGlyph(l.body);
            if (mode == 1) {
                cv.MoveTo(l.trueX, yBottom);
                cv.LineTo(l.placedX, yBottom + 5);
                ui::DrawFont16Text(font, l.placedX - 8, yBottom + 6, std::string(1, glyph), colour,
                                   cv);
            } else {
                cv.MoveTo(l.trueX, yTop);
                cv.LineTo(l.placedX, yTop - 5);
                ui::DrawFont16Text(font, l.placedX - 8, yTop - 16, std::string(1, glyph), colour,
                                   cv);
            }
        }
    }

    void NatalMarks(const PointArray& natal) {
        if (!natalShown) return;
        cv.SetPenColor(kGreen);
        top.clear();
        for (int i = 1; i <= kBodiesDrawn; ++i) {
            if (!Chosen(c.natal, i)) continue;
            const int x = g.Column(natal[static_cast<std::size_t>(i)]);
            cv.MoveTo(x, g.y0);
            cv.LineTo(x, yEnd);
            top.push_back({i, x, x});
        }
        DrawLabels(top, 2, g.y0, yEnd);
        cv.SetPenColor(kGreen);
        for (int h = 1; h <= 12; ++h) {
            if (!Chosen(c.houses, h)) continue;
            const int x = g.Column(natal[static_cast<std::size_t>(26 + h)]);
            cv.MoveTo(x, g.y0);
            cv.LineTo(x, yEnd);
            const std::string label = h == 1    ? "Asc"
                                      : h == 4  ? "IC"
                                      : h == 7  ? "Dsc"
                                      : h == 10 ? "MC"
                                                : std::to_string(h);
            cv.SetFontColor(kGreen);
            cv.TextOut(x - 6, g.y0 - 28, label);
        }
    }

    // One row of samples at height y; lonOf(i) is body i's longitude.
    template <class LonOf> void Row(int y, LonOf lonOf, MotionResult& out) {
        for (int i = 1; i <= kBodiesDrawn; ++i) {
            if (!Chosen(c.work, i)) continue;
            cv.SetPenColor(i == 1 ? kRed : ui::kBlack);
            const int x = g.Column(lonOf(i));
            const QPoint next(x, y);
            if (y > g.y0)
                for (const Segment& seg :
                     CurveSegments(g, i, prev[static_cast<std::size_t>(i)], next)) {
                    cv.MoveTo(seg.from.x(), seg.from.y());
                    cv.LineTo(seg.to.x(), seg.to.y());
                }
            if (y == g.y0 && !natalShown) top.push_back({i, x, x});
            prev[static_cast<std::size_t>(i)] = next;
            out.points[static_cast<std::size_t>(i - 1)].push_back(next);
            auto it = std::find_if(bottom.begin(), bottom.end(),
                                   [i](const GlyphLabel& l) { return l.body == i; });
            if (it == bottom.end())
                bottom.push_back({i, x, x});
            else
                it->placedX = it->trueX = x;
        }
        if (!natalShown && y == g.y0) DrawLabels(top, 0, g.y0, yEnd);
        ++out.samples;
    }
    void Row(int y, const EphemerisRecord& r, MotionResult& out) {
        Row(y, [&r](int i) { return r.Lon[static_cast<std::size_t>(i - 1)]; }, out);
    }

    void Finish(MotionResult& out) {
        DrawLabels(bottom, 1, g.y0, yEnd);
        out.bottomLabels = bottom;
        out.yEnd = yEnd;
        out.drawn = true;
    }
};

bool NatalMarksShown(const MotionChoices& c) {
    for (int i = 1; i <= kBodiesDrawn; ++i)
        if (Chosen(c.natal, i)) return true;
    for (int h = 1; h <= 12; ++h)
        if (Chosen(c.houses, h)) return true;
    return false;
}

MotionGeometry GeometryOf(const MotionChoices& c, int width, int screenHeight) {
    const int daysInYear = IsLeapYearIn(c.year > 1582, c.year) ? 366 : 365;
    return MakeMotionGeometry(width, screenHeight, c.harmonic, daysInYear);
}

// The rows of a decade graph and their height: ten or thirty-six years filling about the
// height of a year.
struct DecadeRows {
    int rows;
    double height;
};
DecadeRows DecadeRowsOf(const MotionGeometry& g, int period) {
    return period == 2 ? DecadeRows{10, 36.52422 * g.dayHeight}
                       : DecadeRows{36, 10.14562 * g.dayHeight};
}

} // namespace

HarmonicSpec HarmonicOf(int item) {
    return kHarmonics[static_cast<std::size_t>(item >= 0 && item < 5 ? item : 0)];
}

int MotionGeometry::XRight() const {
    return Round(harm.divisions * divisionWidth + kGraphLeftX);
}

int MotionGeometry::Column(double lon) const {
    const double a = NormAngle2(lon * 360.0 / harm.degrees) / kDegToRad;
    return kGraphLeftX + Round(a / 360.0 * harm.divisions * divisionWidth);
}

MotionGeometry MakeMotionGeometry(int bitmapWidth, int screenHeight, int harmonicItem,
                                  int daysInYear) {
    MotionGeometry g;
    g.harm = HarmonicOf(harmonicItem);
    g.widthUnit = bitmapWidth / 800.0;
    g.divisionWidth = g.harm.widthFactor * g.widthUnit;
    g.dayHeight = static_cast<double>(screenHeight - 30 - kGraphTopY) / daysInYear;
    return g;
}

std::vector<Segment> CurveSegments(const MotionGeometry& g, int body, QPoint previous,
                                   QPoint next) {
    std::vector<Segment> out;
    const int xR = g.XRight();
    const int x = next.x(), y = next.y();
    const bool wraps = std::abs(previous.x() - x) > (g.harm.divisions - 2) * g.divisionWidth ||
                       (body == 2 && previous.x() > x);
    if (wraps) {
        const auto guard = [](double d) { return d == 0 ? 1e-9 : d; };
        if (previous.x() > x) {
            // forward through 360°: out at the right edge, in at the left
            const double d = guard(x + xR - kGraphLeftX - previous.x());
            const int yc = Round(previous.y() + (xR - previous.x()) * (y - previous.y()) / d);
            out.push_back({previous, QPoint(xR, yc)});
            previous = QPoint(kGraphLeftX, yc);
        } else {
            const double d = guard(previous.x() + xR - kGraphLeftX - x);
            const int yc =
                Round(previous.y() + (previous.x() - kGraphLeftX) * (y - previous.y()) / d);
            out.push_back({previous, QPoint(kGraphLeftX, yc)});
            previous = QPoint(xR, yc);
        }
    }
    out.push_back({previous, next});
    return out;
}

std::vector<GlyphLabel> SpreadGlyphLabels(std::vector<GlyphLabel> labels) {
    const auto byX = [](const GlyphLabel& a, const GlyphLabel& b) { return a.placedX < b.placedX; };
    for (GlyphLabel& l : labels) l.trueX = l.placedX;
    std::stable_sort(labels.begin(), labels.end(), byX);
    for (bool changed = true; changed;) {
        changed = false;
        for (std::size_t i = 0; i + 1 < labels.size(); ++i) {
            if (labels[i].body == 0 || labels[i + 1].body == 0) continue;
            if (labels[i + 1].placedX - labels[i].placedX < kGlyphLabelGap) {
                ++labels[i + 1].placedX;
                std::stable_sort(labels.begin(), labels.end(), byX);
                changed = true;
            }
        }
    }
    return labels;
}

MotionResult DrawTransitGraph(AstroDat& s, ui::Canvas& canvas, const ui::Font16State& font,
                              const MotionChoices& c, const std::vector<EphemerisRecord>& year,
                              const PointArray& natal, int screenHeight) {
    MotionResult out;
    if (c.kind != 0 || (c.period != 0 && c.period != 1)) return out;
    const MotionGeometry g = GeometryOf(c, canvas.Width(), screenHeight);
    Plot plot{canvas, font, g, c};
    plot.natalShown = NatalMarksShown(c);

    const bool month = c.period == 0;
    const int m = std::clamp(c.month, 1, 12);
    double rowHeight = g.dayHeight;
    if (month) {
        rowHeight = 11.5 * g.dayHeight;
        out.rows = DaysInMonth(c.year, m);
        plot.Head(GetMsgText(s, 60, std::to_string(m) + "." + std::to_string(c.year)));
        plot.MonthAxes(out.rows, rowHeight);
    } else {
        out.rows = 12;
        plot.Head(GetMsgText(s, 61, std::to_string(c.year)));
        plot.YearAxes(c.year);
    }
    plot.Verticals();
    plot.NatalMarks(natal);

    std::size_t first = 0;
    if (month) {
        const int index = AnnualRecordIndex(c.year, m, 1);
        if (index < 0) return out;
        first = static_cast<std::size_t>(index);
    }
    for (std::size_t k = 0; first + k < year.size(); ++k) {
        const int yy = Round(static_cast<double>(k) * rowHeight + g.y0);
        plot.Row(yy, year[first + k], out);
        if (yy >= plot.yEnd) break;
    }
    plot.Finish(out);
    return out;
}

MotionResult DrawDecadeTransitGraph(AstroDat& s, ui::Canvas& canvas, const ui::Font16State& font,
                                    const MotionChoices& c, const CenturyLoader& load,
                                    const PointArray& natal, int screenHeight) {
    MotionResult out;
    if (c.kind != 0 || (c.period != 2 && c.period != 3)) return out;
    const int y = c.year;
    const MotionGeometry g = GeometryOf(c, canvas.Width(), screenHeight);
    const DecadeRows rows = DecadeRowsOf(g, c.period);
    out.rows = rows.rows;
    Plot plot{canvas, font, g, c};
    plot.natalShown = NatalMarksShown(c);
    plot.Head(GetMsgText(s, 62, IntToStrW(y, 4) + " - " + IntToStrW(y + rows.rows, 4)));
    plot.DecadeAxes(rows.rows, rows.height, y);
    plot.Verticals();
    plot.NatalMarks(natal);

    // The century of the first year, from its first month.
    int century = CenturyOfYear(y);
    const auto open = [&](int year, std::vector<EphemerisRecord>& records) {
        const FileLoad r = EphemerisYearFits(EphemerisKind::Century, year)
                               ? load(CenturyOfYear(year), records)
                               : FileLoad::Missing;
        if (r == FileLoad::Loaded) return true;
        out.missing = r == FileLoad::Missing;
        out.readError = r == FileLoad::Unreadable;
        out.missingKind = EphemerisKind::Century;
        out.requestYear = year;
        return false;
    };
    std::vector<EphemerisRecord> records;
    if (!open(y, records)) return out;
    std::size_t index = static_cast<std::size_t>(CenturyRecordIndex(y, 1));
    for (int k = 0;; ++k) {
        if (index >= records.size()) {
            // The next century; its first year is the last of this one. The request for a
            // missing file names the year after the two share.
            ++century;
            if (!open(CenturyFirstYear(century) + 1, records)) return out;
            index = 12;
            if (index >= records.size()) break;
        }
        const int yy = Round(k * rows.height / 12 + g.y0);
        plot.Row(yy, records[index++], out);
        if (yy >= plot.yEnd) break;
    }
    plot.Finish(out);
    return out;
}

double DirectedLongitude(double sinEps, double cosEps, double ra, double dec, double arc) {
    return NormAngle(EquToEclTrue(sinEps, cosEps, dec, ra + arc).lon);
}

void MoveToProgressedJanuary(AstroDat& s, int year, double birthJd, double jan1Jd) {
    const double d = (birthJd - jan1Jd) * 24 / 365.2422;
    if (year >= s.ChartYear)
        IncDay(s, year - s.ChartYear);
    else
        DecDay(s, s.ChartYear - year);
    DecHour(s, static_cast<int>(std::trunc(d)));
    DecMinute(s, static_cast<int>(RoundEven((d - std::trunc(d)) * 60)));
}

MotionResult DrawChartMotionGraph(AstroDat& s, ChartEngine& chart, ui::Canvas& canvas,
                                  const ui::Font16State& font, const MotionChoices& c,
                                  int screenHeight) {
    MotionResult out;
    if ((c.kind != 1 && c.kind != 2) || c.period < 0 || c.period > 3) return out;
    const bool progression = c.kind == 1;
    const bool decades = c.period >= 2;
    const MotionGeometry g = GeometryOf(c, canvas.Width(), screenHeight);
    Plot plot{canvas, font, g, c};
    plot.natalShown = NatalMarksShown(c);

    // Everything below moves the chart moment or computes charts: put all of it back after.
    const ChartStateGuard keep(s);
    const PointArray natal = chart.PlanetLon();
    const double birthJd = chart.ChartJD();
    const double jan1Jd =
        birthJd - (JulianDayOfDate(s.ChartYear, s.ChartMonth, s.ChartDay) -
                   JulianDayOfDate(s.ChartYear, 1, 1));

    DecadeRows rows{12, g.dayHeight};
    if (decades) {
        rows = DecadeRowsOf(g, c.period);
        plot.Head(GetMsgText(s, progression ? 59 : 64));
        plot.DecadeAxes(rows.rows, rows.height, c.year);
    } else {
        plot.Head(GetMsgText(s, progression ? 58 : 63, std::to_string(c.year)));
        plot.YearAxes(c.year);
    }
    out.rows = rows.rows;
    plot.Verticals();
    plot.NatalMarks(natal);

    // Row k's height: 25 samples over a year, or samplesPerRow a row of a decade graph.
    const int samplesPerRow = !decades ? 0 : progression && c.period == 2 ? 12 : 1;
    const auto rowY = [&](int k) {
        return decades ? Round(rows.height / samplesPerRow * k + g.y0)
                       : g.y0 + Round((plot.yEnd - g.y0) / 24.0 * k);
    };
    const auto more = [&](int k, int y) { return decades ? y < plot.yEnd : k < 24; };

    if (progression) {
        MoveToProgressedJanuary(s, c.year, birthJd, jan1Jd);
        const int hourStep = decades ? 24 / samplesPerRow : 1;
        for (int k = 0;; ++k) {
            const int y = rowY(k);
            chart.CalcAstroTime();
            chart.CalcBodies();
            out.sampleJd.push_back(chart.ChartJD());
            const PointArray& lon = chart.PlanetLon();
            plot.Row(y, [&lon](int i) { return lon[static_cast<std::size_t>(i)]; }, out);
            if (!more(k, y)) break;
            s.ChartHour += hourStep; // the time step takes hours past 23
        }
    } else {
        // The birth's bodies in right ascension and declination, each moved along the
        // equator by the arc: a degree for every year since the birth. The directed places
        // are the graph's own; the second chart is not touched.
        const double sinEps = chart.SinEps(), cosEps = chart.CosEps();
        std::array<double, kBodiesDrawn + 1> ra{}, dec{};
        for (int i = 1; i <= kBodiesDrawn; ++i) {
            ra[static_cast<std::size_t>(i)] = chart.Body(i)[kBodyRA];
            dec[static_cast<std::size_t>(i)] = chart.Body(i)[kBodyDec];
        }
        double arc = ((c.year - s.ChartYear) - (birthJd - jan1Jd) / 365.2422) * kDegToRad;
        const double step = decades ? kDegToRad : kDegToRad / 24;
        for (int k = 0;; ++k) {
            const int y = rowY(k);
            plot.Row(
                y,
                [&](int i) {
                    const auto n = static_cast<std::size_t>(i);
                    return DirectedLongitude(sinEps, cosEps, ra[n], dec[n], arc);
                },
                out);
            if (!more(k, y)) break;
            arc += step;
        }
    }
    plot.Finish(out);
    return out;
}

} // namespace qor::forecast
