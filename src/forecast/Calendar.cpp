#include "forecast/Calendar.h"

#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Text.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace qor::forecast {

namespace {

// By chart point 1..7 (index 0 unused).
constexpr std::array<int, 8> kBodyWeight = {0, 1, 0, 1, 1, 1, 2, 2};
constexpr std::array<int, 8> kBodyNature = {0, 0, 0, 0, 1, 2, 1, 2};
// By aspect number 1..14 (index 0 unused); the others weigh nothing.
constexpr std::array<int, 15> kAspWeight = {0, 6, 1, 0, 0, 0, 2, 0, 3, 0, 4, 0, 0, 1, 6};
constexpr std::array<int, 15> kAspNature = {0, 0, 1, 0, 0, 2, 1, 0, 2, 0, 1, 2, 0, 2, 2};

// The balance by body nature (rows) and aspect nature (columns), in units of the weight.
constexpr int kHarmony[3][3] = {{0, 1, -1}, {1, 2, -1}, {-1, -1, -2}};

constexpr int kSigns = 12;
constexpr int kRulingBodies = 16;

const QRgb kGreen = qRgb(0, 128, 0);
const QRgb kSilver = qRgb(192, 192, 192);
const QRgb kRed = qRgb(255, 0, 0);

template <std::size_t N> int At(const std::array<int, N>& table, int i) {
    return i >= 1 && i < static_cast<int>(N) ? table[static_cast<std::size_t>(i)] : 0;
}

} // namespace

int CalendarBodyWeight(int body) {
    return At(kBodyWeight, body);
}
int CalendarBodyNature(int body) {
    return At(kBodyNature, body);
}
int CalendarAspectWeight(int aspect) {
    return At(kAspWeight, aspect);
}
int CalendarAspectNature(int aspect) {
    return At(kAspNature, aspect);
}

int CalendarHarmony(int bodyNature, int aspectNature, int w) {
    if (bodyNature < 0 || bodyNature > 2 || aspectNature < 0 || aspectNature > 2) return 0;
    return kHarmony[bodyNature][aspectNature] * w;
}

int SignOfLongitude(double lon) {
    const double deg = NormAngle(lon) / kDegToRad;
    return std::clamp(static_cast<int>(deg / 30.0), 0, kSigns - 1) + 1;
}

HouseSignificators HouseRulerTable(const PointArray& lon, const SignRuledBy& ruled) {
    HouseSignificators sig;
    if (!ruled) return sig;
    for (int h = 1; h <= kCalendarHouses; ++h) {
        const int cuspSign = SignOfLongitude(lon[static_cast<std::size_t>(26 + h)]);
        for (int k = 1; k <= kRulingBodies; ++k) {
            if (ruled(cuspSign, k)) sig.Rulers[h][0] = k;
            if (ruled(h, k)) sig.Rulers[h][1] = k;
        }
    }
    return sig;
}

std::string CalendarBar(int sum, int harmony) {
    sum = std::max(sum, 0);
    const int m = std::clamp(harmony, -sum, sum);
    int marks = std::abs(m), points = sum - marks;
    if (sum > kCalendarBand) {
        marks = static_cast<int>(RoundEven(static_cast<double>(marks) * kCalendarBand / sum));
        points = kCalendarBand - marks;
    }
    std::string bar(static_cast<std::size_t>(marks), m < 0 ? '?' : '!');
    bar.append(static_cast<std::size_t>(points), '.');
    bar.resize(kCalendarBand, ' ');
    return bar;
}

CalendarDay RateCalendarDay(const EphemerisRecord& record, const PointArray& natal,
                            const HouseSignificators& sig, const AspDefTable& table) {
    CalendarDay day;
    day.Day = record.Day;
    day.Month = record.Month;
    for (int h = 1; h <= kCalendarHouses; ++h) {
        int sum = 0, harmony = 0;
        auto& found = day.Aspects[static_cast<std::size_t>(h - 1)];
        for (const int p : sig.Rulers[h]) {
            if (p == 0) break; // no cusp ruler: the house has no significators
            for (const int k : kCalendarBodies) {
                const int a = AspectTestHit(table, 1, natal[static_cast<std::size_t>(p)],
                                            record.Lon[static_cast<std::size_t>(k - 1)]);
                if (a == 0 || CalendarAspectWeight(a) == 0) continue;
                found.push_back({p, a, k});
                const int w = CalendarBodyWeight(k) * CalendarAspectWeight(a);
                sum += w;
                harmony += CalendarHarmony(CalendarBodyNature(k), CalendarAspectNature(a), w);
            }
        }
        day.Bars[static_cast<std::size_t>(h - 1)] = CalendarBar(sum, harmony);
    }
    return day;
}

CalendarForecast BuildCalendar(int year, const std::vector<EphemerisRecord>& records,
                               const PointArray& natal, const HouseSignificators& sig,
                               const AspDefTable& table) {
    CalendarForecast f;
    f.Year = year;
    f.Days.reserve(records.size());
    for (const EphemerisRecord& r : records)
        f.Days.push_back(RateCalendarDay(r, natal, sig, table));
    return f;
}

std::string CalendarDayLabel(const CalendarDay& d) {
    return IntToStrW(d.Day, 2) + "." + IntToStrZ(d.Month, 2);
}

std::string CompressMarks(std::string_view part, char c) {
    const auto n = std::count(part.begin(), part.end(), c);
    return n > 0 ? std::string(static_cast<std::size_t>(n / 5 + 1), c) : std::string();
}

std::vector<std::string> CalendarAspectTexts(const AstroDat& s, const AspDefTable& table,
                                             const std::vector<CalendarAspect>& aspects) {
    std::vector<std::string> texts;
    for (const CalendarAspect& a : aspects) {
        std::string t = BodyName(s, a.significator);
        const char glyph = a.aspect >= 1 && a.aspect <= kMaxAspects
                               ? table.AspGlyph[static_cast<std::size_t>(a.aspect)]
                               : 0;
        // An aspect without a glyph is written by its number, never as character 0.
        t += glyph != 0 ? std::string(1, glyph) : std::to_string(a.aspect);
        t += BodyName(s, a.body);
        texts.push_back(t);
    }
    return texts;
}

std::vector<std::string> CalendarFileLines(AstroDat& s, const CalendarForecast& f,
                                           const CalendarHeader& h) {
    std::vector<std::string> lines;
    lines.push_back(GetMsgText(s, 81));
    lines.push_back(GetMsgText(s, 82, std::to_string(f.Year)));
    lines.push_back(GetMsgText(s, 83, h.Name));
    lines.push_back(GetMsgText(s, 84, h.Date));
    lines.push_back(GetMsgText(s, 85, h.Time) + GetMsgText(s, 86, h.Zone));
    lines.push_back(GetMsgText(s, 87, h.City));
    for (int m = 88; m <= 104; ++m) lines.push_back(GetMsgText(s, m));
    for (const CalendarDay& d : f.Days) {
        if (d.Day == 1) {
            lines.emplace_back();
            lines.push_back(GetMsgText(s, 105));
            lines.push_back(GetMsgText(s, 106));
        }
        std::string line = CalendarDayLabel(d) + "  ";
        for (const std::string& bar : d.Bars) {
            std::string cell =
                CompressMarks(bar, '?') + CompressMarks(bar, '!') + CompressMarks(bar, '.');
            if (cell.size() < 6) cell.resize(6, ' ');
            line += cell;
        }
        lines.push_back(line);
    }
    return lines;
}

void DrawCalendarGraph(QImage& image, const CalendarForecast& f, int n) {
    const int count = static_cast<int>(f.Days.size());
    if (n < 1 || n > count) return;
    const CalendarDay& d = f.Days[static_cast<std::size_t>(n - 1)];
    const int y = n + kGraphTop;
    if (y >= image.height()) return;
    auto pixel = [&image, y](int x, QRgb c) {
        if (x >= 0 && x < image.width()) image.setPixel(x, y, c);
    };
    if (n == 1) {
        QPainter painter(&image);
        QFont font = painter.font();
        font.setPixelSize(9);
        painter.setFont(font);
        painter.setPen(Qt::black);
        for (int h = 1; h <= kCalendarHouses; ++h)
            painter.drawText(QPoint((h - 1) * kCalendarBand + kGraphBarLeft, 8),
                             QString::number(h));
    }
    if (d.Day == 1 || n == count)
        for (int x = kGraphLeft; x <= kGraphRight; ++x) pixel(x, kSilver);
    pixel(kGraphLeft, kSilver);
    int x = kGraphBarLeft;
    for (const std::string& bar : d.Bars)
        for (const char c : bar) {
            ++x;
            if (c == '!') pixel(x, kGreen);
            if (c == '.') pixel(x, kSilver);
            if (c == '?') pixel(x, kRed);
        }
    pixel(kGraphRight, kSilver);
}

} // namespace qor::forecast
