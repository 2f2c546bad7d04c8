#include "interp/DayTexts.h"

#include "core/Formats.h"
#include "core/MoonSunDays.h"
#include "core/Text.h"
#include "interp/TextBase.h"

namespace qor::interp {

namespace {

std::string Rule(AstroDat& s, int message, const char* tail) {
    return "------------- " + GetMsgText(s, message) + tail;
}
constexpr const char* kRuleTail17 = " -----------------";
constexpr const char* kRuleTail18 = " ------------------";

std::string NotFound(AstroDat& s) {
    return Lang(s, "не найден"_cp, "not found");
}

// "<label><moment>", or the label and "not found".
std::string MomentLine(AstroDat& s, const std::string& label, const FoundMoment& m) {
    return label + (m.found ? m.text : NotFound(s));
}

// The equinox and the start of each year looked at (verbose), or only a failure.
bool SunYearLines(ReportWriter& w, const SunYear& y, bool verbose) {
    AstroDat& s = w.State();
    for (int i = 0; i < y.passCount; ++i) {
        const SunYearPass& p = y.passes[static_cast<std::size_t>(i)];
        if (!p.equinox.found) {
            w.AddLine(Lang(s, "Равноденствие "_cp, "Equinox ") +
                      Lang(s, "не найдено: поиск не сошёлся"_cp, "not found: the search did not converge"));
            return false;
        }
        if (verbose) w.AddLine(Lang(s, "Равноденствие "_cp, "Equinox ") + p.equinox.text);
        const std::string begin =
            Lang(s, "Начало "_cp + std::to_string(p.totem) + "-го Солнечного Года "_cp,
                 "Begin of  " + std::to_string(p.totem) + "-th Sun Year ");
        if (!p.start.found) {
            w.AddLine(begin + Lang(s, "не найдено: Солнце не восходит"_cp,
                                   "not found: the Sun does not rise"));
            return false;
        }
        if (verbose) w.AddLine(begin + p.start.text);
    }
    return y.found;
}

// The year and the day of the solar calendar with the day's line; false (and said) when
// they cannot be counted.
bool SunDayLines(ReportWriter& w, const ChartOptions& opt, const GeneralOptions& gen, SunDay& d) {
    AstroDat& s = w.State();
    const SunYear y = SunYearStart(s, opt, gen);
    if (!SunYearLines(w, y, false)) return false;
    d = SunDayNumber(s, opt, gen, y);
    if (!d.found) {
        w.AddLine(Lang(s, "Последний восход Солнца "_cp, "Last sunrise ") + NotFound(s) +
                  Lang(s, ": день нельзя сосчитать"_cp, ": the day cannot be counted"));
        return false;
    }
    w.AddLine(Lang(s, "Начало "_cp + std::to_string(d.number) + "-го Солнечного Дня "_cp,
                   "Begin of " + std::to_string(d.number) + "-th Sun Day ") +
              d.lastRise.text);
    return true;
}

} // namespace

bool NumberedSectionText(ReportWriter& w, BaseId base, int number) {
    std::string bytes;
    if (w.OpenBase(base, bytes) != BaseOpen::Read) return false;
    const std::string key = IntToStrZ(number, 2);
    const auto rule = [&key](std::string_view h) {
        return h.size() >= 3 && h.substr(1, 2) == key ? Verdict::Take : Verdict::Skip;
    };
    const std::vector<Section> found = ReadSections(bytes, rule);
    if (found.empty()) return false;
    for (const auto& l : found.front().lines) w.AddLine(l);
    return true;
}

void YearTotemText(ReportWriter& w, const ChartOptions& opt, const GeneralOptions& gen) {
    AstroDat& s = w.State();
    w.AddLine(Rule(s, 143, kRuleTail18));
    const SunYear y = SunYearStart(s, opt, gen);
    if (SunYearLines(w, y, true)) NumberedSectionText(w, BaseId::Totem, y.totem);
}

void MonthTotemText(ReportWriter& w, const ChartOptions& opt, const GeneralOptions& gen) {
    AstroDat& s = w.State();
    w.AddLine(Rule(s, 142, kRuleTail18));
    SunDay d;
    if (!SunDayLines(w, opt, gen, d)) return;
    w.AddLine(std::to_string(d.month) + Lang(s, "-й Солнечный Месяц"_cp, "-th Sun Month"));
    NumberedSectionText(w, BaseId::TotemMes, d.month);
}

void DayTotemText(ReportWriter& w, const ChartOptions& opt, const GeneralOptions& gen) {
    AstroDat& s = w.State();
    w.AddLine(Rule(s, 141, kRuleTail18));
    SunDay d;
    if (!SunDayLines(w, opt, gen, d)) return;
    const std::string day = std::to_string(d.dayOfMonth), month = std::to_string(d.month);
    w.AddLine(Lang(s, day + "-й день "_cp + month + "-го Солнечного Месяца"_cp,
                   day + "-th day of " + month + "-th Sun Month"));
    NumberedSectionText(w, BaseId::TotemDay, d.dayOfMonth);
}

void MoonDayText(ReportWriter& w, const ChartOptions& opt, const GeneralOptions& gen) {
    AstroDat& s = w.State();
    w.AddLine(Rule(s, 144, kRuleTail17));
    const MoonDay d = MoonDayCount(s, opt, gen);
    if (!d.newMoon.converged) {
        w.AddLine(GetMsgText(s, 121, NotFound(s)));
        w.AddLine("    " + Lang(s, "День Луны нельзя сосчитать"_cp, "The day of the Moon cannot be counted"));
        return;
    }
    w.AddLine(GetMsgText(s, 121, d.newMoon.text));
    w.AddLine(MomentLine(s, Lang(s, "Первый восход "_cp, "First Rise "), d.firstRise));
    if (d.lastRiseSearched)
        w.AddLine(MomentLine(s, Lang(s, "Последний восход "_cp, "Last Rise "), d.lastRise));
    if (d.day == 0) {
        w.AddLine("    " + Lang(s, "День Луны нельзя сосчитать: Луна не восходит"_cp,
                                "The day of the Moon cannot be counted: the Moon does not rise"));
        return;
    }
    w.AddLine("    " + std::to_string(d.day) + Lang(s, "-й день Луны"_cp, "-th day of Moon"));
    NumberedSectionText(w, BaseId::Moon, d.day);
}

void PlanetaryHoursText(ReportWriter& w, const ChartOptions& opt, const GeneralOptions& gen) {
    AstroDat& s = w.State();
    w.AddLine(Rule(s, 136, kRuleTail17));
    const PlanetaryHours h = FindPlanetaryHours(s, opt, gen);
    const std::string sunset = GetMsgText(s, 115, h.sunset.found ? h.sunset.text : NotFound(s));
    const std::string sunrise = GetMsgText(s, 118, h.sunrise.found ? h.sunrise.text : NotFound(s));
    w.AddLine(h.isDay ? sunset : sunrise);
    w.AddLine(h.isDay ? sunrise : sunset);
    if (!h.found) {
        w.AddLine(Lang(s, "Планетные часы нельзя сосчитать: Солнце не восходит или не заходит"_cp,
                       "The planetary hours cannot be counted: the Sun does not rise or set"));
        return;
    }
    w.AddLine(GetMsgText(s, h.isDay ? 137 : 138, FloatToStrComma(0, 2, h.hourMinutes)));
    const std::string weekDay = WeekDayName(s, h.weekDay);
    std::string period =
        Lang(s, "Период: "_cp + (h.isDay ? "дневной"_cp : "ночной"_cp) + ", день недели: "_cp,
             std::string("Period: ") + (h.isDay ? "day" : "night") + ", weekday: ") +
        weekDay;
    if (h.weekDay != h.calendarWeekDay)
        period += Lang(s, " (не "_cp, " (not ") + WeekDayName(s, h.calendarWeekDay) + "!)";
    else
        period += ".";
    w.AddLine(period);
    w.AddLine("");
    // Day rulers in the first column, night rulers in the second.
    const std::string nightColumn(12, ' ');
    for (int i = 1; i <= 12; ++i) {
        const auto k = static_cast<std::size_t>(i - 1);
        std::string line = IntToStrW(i, 3) + ".  " + h.starts[k] + "   " +
                           (h.isDay ? "" : nightColumn) + Trim(BodyName(s, h.rulers[k]));
        if (i == h.current) line += Lang(s, " - сейчас"_cp, " - now");
        w.AddLine(line);
    }
    w.AddLine("");
    w.AddLine(GetMsgText(s, 140, std::to_string(h.current)) + GetMsgText(s, 139, weekDay) +
              Trim(BodyName(s, h.rulers[static_cast<std::size_t>(h.current - 1)])));
}

void RegisterDayTexts(shell::Program& p, InterpReports& reports) {
    using Text = void (*)(ReportWriter&, const ChartOptions&, const GeneralOptions&);
    const std::pair<const char*, Text> items[] = {{"N13", YearTotemText},
                                                  {"N14", MonthTotemText},
                                                  {"N15", DayTotemText},
                                                  {"N17", MoonDayText},
                                                  {"N18", PlanetaryHoursText}};
    for (const auto& [item, text] : items)
        reports.ByItem[item] = [&p, text = text](TInterp& w) {
            p.ReadOptions();
            ReportWriter& wr = w.Writer();
            wr.Run([&] { text(wr, p.ChartOpt, p.GeneralOpt); });
        };
    p.Hooks.LunarDay = [&p] {
        p.ReadOptions();
        return MoonDayCount(p.s, p.ChartOpt, p.GeneralOpt).day;
    };
}

} // namespace qor::interp
