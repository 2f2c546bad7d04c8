#include "core/Directions.h"

#include "core/AstrClcs.h"
#include "core/AstroMath.h"
#include "core/ChartRecords.h"
#include "core/ContextStack.h"
#include "core/Formats.h"
#include "core/Stepping.h"
#include "core/Strings.h"
#include "core/Text.h"

#include <charconv>
#include <cmath>

namespace qor {

namespace {

constexpr double kTropicalYearDays = 365.2422;
constexpr double kSynodicMonthsPerYear = 12.368267;  // days of the 'f' progression a year
constexpr double kSiderealMonthsPerYear = 13.368228; // days of the 'l' progression a year
constexpr double kSecondInDays = 1.0 / 86400.0;
constexpr double kOneDegree = 0.017453292519943295;
constexpr double kOneArcsecond = kArcsecToRad;
constexpr int kReturnPasses = 26;
constexpr int kFinePasses = 60;
constexpr int kLastCusp = 38;

// The steppers count single steps; a signed amount picks the stepper of its sign.
void StepDays(AstroDat& s, long long n) {
    if (n > 0) IncDay(s, static_cast<int>(n));
    if (n < 0) DecDay(s, static_cast<int>(-n));
}
void StepHours(AstroDat& s, long long n) {
    if (n > 0) IncHour(s, static_cast<int>(n));
    if (n < 0) DecHour(s, static_cast<int>(-n));
}
void StepMinutes(AstroDat& s, long long n) {
    if (n > 0) IncMinute(s, static_cast<int>(n));
    if (n < 0) DecMinute(s, static_cast<int>(-n));
}

// (−π, π]
double Signed(double a) {
    double r = NormAngleSigned(a);
    if (r == -kPi) r = kPi;
    return r;
}

std::string Num(double x) {
    return FloatToStrComma(13, 5, x);
}

// The birth chart as the directions read it.
struct BirthChart {
    PointArray lon{}, lat{}, speed{}, saved{};
    std::array<double, 41> ra{}, dec{};
    double jd = 0;
};

BirthChart TakeBirth(ChartEngine& e, int nExtra) {
    BirthChart b;
    b.lon = e.PlanetLon();
    b.lat = e.PlanetLat();
    b.speed = e.PlanetSpeed();
    b.saved = e.PlanetLonSaved();
    b.jd = e.ChartJD();
    const int lastBody = std::min(14 + nExtra, 26);
    for (int i = 1; i <= kLastCusp; ++i) {
        if (i <= lastBody) {
            b.ra[i] = e.Body(i)[kBodyRA];
            b.dec[i] = e.Body(i)[kBodyDec];
        } else {
            // Parts and cusps lie on the ecliptic.
            const EquatorialCoord q = EclToEquCur(e, 0.0, b.lon[i]);
            b.ra[i] = q.ra;
            b.dec[i] = q.dec;
        }
    }
    return b;
}

void CopyChartToBck(AstroDat& s, ChartEngine& e) {
    s.PlanetLonSavedBck = e.PlanetLonSaved();
    s.PlanetLonBck = e.PlanetLon();
    s.PlanetLatBck = e.PlanetLat();
    s.PlanetSpeedBck = e.PlanetSpeed();
    s.SiderealTimeSecBck = e.SiderealTimeSec();
}

struct SecondChart {
    PointArray lon, lat, speed, saved;
    double sidereal;
};

SecondChart KeepBck(const AstroDat& s) {
    return {s.PlanetLonBck, s.PlanetLatBck, s.PlanetSpeedBck, s.PlanetLonSavedBck,
            s.SiderealTimeSecBck};
}

void RestoreBck(AstroDat& s, const SecondChart& c) {
    s.PlanetLonBck = c.lon;
    s.PlanetLatBck = c.lat;
    s.PlanetSpeedBck = c.speed;
    s.PlanetLonSavedBck = c.saved;
    s.SiderealTimeSecBck = c.sidereal;
}

void SetMomentAndCalendar(AstroDat& s, const ChartMoment& m) {
    SetChartMoment(s, m);
    UpdateCalendarForYear(s);
}

// Moves the chart moment from the birth by `days` and runs the time step. A moment that the
// calendar steps put more than half a day from the intended Julian day (the days dropped at
// the calendar reform) is corrected by whole days.
void MoveFromBirth(AstroDat& s, ChartEngine& e, double jdBirth, double days) {
    const long long whole = static_cast<long long>(std::trunc(days));
    StepDays(s, whole);
    StepSeconds(s, RoundEven((days - static_cast<double>(whole)) * 86400.0));
    e.CalcAstroTime();
    const double off = e.ChartJD() - (jdBirth + days);
    if (std::fabs(off) > 0.5) {
        StepDays(s, -static_cast<long long>(std::llround(off)));
        e.CalcAstroTime();
    }
}

// The coefficient of directions and progressions from the settings.
double Coefficient(AstroDat& s, const DirectionOptions& opt) {
    if (!opt.KoeffCheckBox) return 1.0;
    std::string text = RemoveBlanks(opt.KoeffEdit);
    CommaToPoint(text);
    double v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size() ||
        !std::isfinite(v)) {
        SetStatus(s, Lang(s, Cp("Ошибочный коэффициент: "), "Wrong coefficient: ") + opt.KoeffEdit);
        return 1.0;
    }
    return v;
}

// Equatorial direction of points 1..38 by `arc` of right ascension.
void DirectEquatorial(AstroDat& s, const ChartEngine& e, const BirthChart& b, double arc) {
    const double dRA = kOneDegree * kSecondInDays * s.DirCoef;
    for (int i = 1; i <= kLastCusp; ++i) {
        const EclipticCoord d = EquToEclCur(e, b.dec[i], b.ra[i] + arc);
        const EclipticCoord d2 = EquToEclCur(e, b.dec[i], b.ra[i] + arc + dRA);
        s.PlanetLonBck[i] = d.lon;
        s.PlanetLatBck[i] = d.lat;
        s.PlanetSpeedBck[i] = Signed(d2.lon - d.lon) / kSecondInDays;
    }
}

void DirectZodiacal(AstroDat& s, const BirthChart& b, double arc, int lastPoint) {
    for (int i = 1; i <= kLastCusp; ++i) {
        if (i <= lastPoint) {
            s.PlanetLonBck[i] = NormAngle(b.lon[i] + arc);
            s.PlanetSpeedBck[i] = kOneDegree;
        } else {
            s.PlanetLonBck[i] = b.lon[i];
            s.PlanetSpeedBck[i] = 0;
        }
    }
}

void ReportUnconverged(AstroDat& s, char method) {
    const std::string what = method == 'S'   ? Lang(s, Cp("Соляр"), "Solar return")
                             : method == 'L' ? Lang(s, Cp("Лунар"), "Lunar return")
                                             : Lang(s, Cp("Фазовый лунар"), "Phase return");
    ReportOf(s).ShowMessage(
        MsgKind::Warning,
        what + Lang(s, Cp(": момент возвращения не найден, вторая карта не изменена"),
                    ": the moment of return was not found; the second chart is unchanged"));
}

} // namespace

bool ShiftChartHours(AstroDat& s, double hours) {
    // A point at rest never gets there: its hours come out huge (or infinite).
    constexpr double kLongestShiftHours = 24.0 * 36525.0;
    if (!(std::fabs(hours) <= kLongestShiftHours)) return false;
    const long long days = static_cast<long long>(std::trunc(hours / 24.0));
    StepDays(s, days);
    const double r = hours - static_cast<double>(days) * 24.0;
    const long long h = static_cast<long long>(std::trunc(r));
    StepHours(s, h);
    const double fm = (r - static_cast<double>(h)) * 60.0;
    const long long m = static_cast<long long>(std::trunc(fm));
    StepMinutes(s, m);
    StepSeconds(s, RoundEven((fm - static_cast<double>(m)) * 60.0));
    return true;
}

void ArcToTimeShift(AstroDat& s, ChartEngine& e, int i, int j) {
    const double arc = Signed(s.PlanetLonSavedBck[i] - e.PlanetLonSaved()[j]);
    const double perHour = NonZeroGuard(e.PlanetSpeed()[j] / 24.0);
    ShiftChartHours(s, arc / perHour);
}

void ArcToTimeShiftFine(AstroDat& s, ChartEngine& e, int i, int j) {
    for (int pass = 0; pass < kFinePasses; ++pass) {
        const double before = e.PlanetLonSaved()[j];
        IncSecond(s, 1);
        e.CalcAstroTime();
        e.CalcChart(j);
        const double perSecond = NonZeroGuard(Signed(e.PlanetLonSaved()[j] - before));
        const double step = static_cast<double>(
            RoundEven(Signed(s.PlanetLonSavedBck[i] - e.PlanetLonSaved()[j]) / perSecond));
        if (std::fabs(step) < 1) break;
        ShiftChartHours(s, step / 3600.0);
        e.CalcAstroTime();
        e.CalcChart(j);
    }
}

void ArcToTimeShift2(AstroDat& s, ChartEngine& e, double target, bool forward) {
    const PointArray& saved = e.PlanetLonSaved();
    const double gap = target - (saved[2] - saved[1]);
    const double arc = forward ? NormAngle(gap) : Signed(gap);
    const double perHour = NonZeroGuard((e.PlanetSpeed()[2] - e.PlanetSpeed()[1]) / 24.0);
    ShiftChartHours(s, arc / perHour);
}

bool DirectionsReport(AstroDat& s, ChartEngine& e, const DirectionOptions& opt,
                      std::vector<std::string>* memo) {
    s.DirCoef = Coefficient(s, opt);
    const char method = s.DynMethod;
    if (method == 'p' && opt.DataFormFields)
        for (int f = kRecDate; f <= kRecCountry; ++f) s.DatRec2[f] = (*opt.DataFormFields)[f];

    const MomentParse parsed = ParseChartMoment(s, s.DatRec2);
    if (!parsed) {
        UnpackDatRecToChart(s, s.DatRec2); // tells the user which field is wrong
        return false;
    }
    const BirthChart birth = TakeBirth(e, s.NExtra);
    const ChartMoment event = *parsed.Moment;
    const double jdEvent = JulianDayUT(event);
    s.DirAge = jdEvent - birth.jd;
    const double years = s.DirAge / kTropicalYearDays;
    const SecondChart before = KeepBck(s);

    auto line = [&](const std::string& text) {
        if (memo) memo->push_back(text);
    };
    auto heading = [&](const char* russian, const char* english) {
        if (!memo) return;
        memo->clear();
        line(Lang(s, Cp(russian), english));
        line(Cp("JD события      ") + Num(jdEvent));
        line(Cp("JD рождения     ") + Num(birth.jd));
        line(Cp("Возраст события ") + Num(s.DirAge) + Cp(" дней"));
    };

    bool ok = true;
    bool moved = false;
    double solarArc = 0, progressedSun = 0, progressedSunSpeed = 0;
    {
        ChartContextGuard guard(s);
        switch (method) {
        case 'P':
        case 'p':
        case 'f':
        case 'l': {
            const double perYear = method == 'f'   ? kSynodicMonthsPerYear
                                   : method == 'l' ? kSiderealMonthsPerYear
                                                   : 1.0;
            double days = years * s.DirCoef * perYear;
            if (method == 'p') days = std::trunc(days);
            if (method == 'f')
                heading("Фазовая прогрессия:", "Phase progression:");
            else if (method == 'l')
                heading("Прогрессия лунара:", "Lunar-return progression:");
            else
                heading("Прогрессия:", "Progression:");
            line(Cp("Возраст прогрес.") + Num(years * s.DirCoef));
            MoveFromBirth(s, e, birth.jd, days);
            moved = true;
            e.CalcChart(0);
            CopyChartToBck(s, e);
            line(Cp("JD прогрессии   ") + " " + Num(e.ChartJD()));
            line(Cp("Звёздное время  ") + FormatSecondsHMS(false, e.SiderealTimeSec()));
            break;
        }
        case 'D':
        case 'Z':
        case 'z': {
            const double arc = kOneDegree * years * s.DirCoef;
            heading("Дирекция:", "Direction:");
            line(Cp("Возраст дирекции") + Num(years * s.DirCoef));
            line(Cp("Угол дирекции   ") + FormatDMS(s, arc * kRadToArcSec));
            if (method == 'D')
                DirectEquatorial(s, e, birth, arc);
            else
                DirectZodiacal(s, birth, arc, method == 'z' ? 26 : kLastCusp);
            break;
        }
        case 'E':
        case 'A': {
            if (method == 'E')
                heading("Дирекция солнечной дуги экваториальная:", "Equatorial solar arc:");
            else
                heading("Дирекция солнечной дуги зодиакальная:", "Zodiacal solar arc:");
            MoveFromBirth(s, e, birth.jd, years * s.DirCoef);
            moved = true;
            e.CalcChart(1);
            progressedSun = e.PlanetLon()[1];
            progressedSunSpeed = e.PlanetSpeed()[1];
            solarArc = method == 'E' ? NormAngle(e.Body(1)[kBodyRA] - birth.ra[1])
                                     : NormAngle(progressedSun - birth.lon[1]);
            line(Cp("Возраст дирекции") + Num(years * s.DirCoef));
            line(Cp("Угол дирекции   ") + FormatDMS(s, solarArc * kRadToArcSec));
            break;
        }
        case 'S':
        case 'L': {
            const int body = method == 'S' ? 1 : 2;
            s.PlanetLonSavedBck = birth.saved;
            SetMomentAndCalendar(s, event);
            moved = true;
            bool converged = false;
            for (int pass = 0; pass <= kReturnPasses; ++pass) {
                e.CalcAstroTime();
                e.CalcChart(body);
                const double gap = Signed(e.PlanetLonSaved()[body] - birth.saved[body]);
                if (std::fabs(gap) < kOneArcsecond) {
                    converged = true;
                    break;
                }
                if (pass == kReturnPasses) break;
                ArcToTimeShift(s, e, body, body);
            }
            if (converged && opt.HorizontalBox) ArcToTimeShiftFine(s, e, body, body);
            if (converged) {
                e.CalcAstroTime();
                e.CalcChart(0);
                CopyChartToBck(s, e);
            }
            ok = converged;
            break;
        }
        case 'F': {
            const double target = NormAngle(birth.saved[2] - birth.saved[1]);
            SetMomentAndCalendar(s, event);
            moved = true;
            bool converged = false;
            for (int pass = 0; pass <= kReturnPasses; ++pass) {
                e.CalcAstroTime();
                e.CalcChart(1);
                e.CalcChart(2);
                const PointArray& sv = e.PlanetLonSaved();
                if (std::fabs(Signed(sv[2] - sv[1] - target)) < kOneArcsecond) {
                    converged = true;
                    break;
                }
                if (pass == kReturnPasses) break;
                ArcToTimeShift2(s, e, target, pass == 0);
            }
            if (converged) {
                e.CalcAstroTime();
                e.CalcChart(0);
                CopyChartToBck(s, e);
            }
            ok = converged;
            break;
        }
        default: // transit, synastry
            SetMomentAndCalendar(s, event);
            moved = true;
            e.CalcAstroTime();
            e.CalcChart(0);
            CopyChartToBck(s, e);
            break;
        }
    }
    if (moved) {
        e.CalcAstroTime();
        e.CalcChart(0);
    }
    // The solar arc directs the birth chart in the birth's own frame.
    if (method == 'E') DirectEquatorial(s, e, birth, solarArc);
    if (method == 'A') {
        DirectZodiacal(s, birth, solarArc, kLastCusp);
        s.PlanetLonBck[1] = progressedSun;
        s.PlanetSpeedBck[1] = progressedSunSpeed;
    }
    if (!ok) {
        RestoreBck(s, before);
        ReportUnconverged(s, method);
    }
    return ok;
}

} // namespace qor
