// The texts of the current moment in the text window's menu: the totem of the year (N13), of
// the month (N14) and of the day (N15) of the solar calendar, the day of the Moon (N17) and
// the planetary hours (N18). The searches are the core's (core/MoonSunDays.h); here they
// become lines, and the numbered sections of the Moon-day and totem bases follow them.
//
//   w.Run([&] { MoonDayText(w, chartOptions, generalOptions); });
//
// A search that finds nothing (the Sun or the Moon that does not rise, near the poles) is
// written as not found, and what needs it says it cannot be counted.
#pragma once

#include "core/ChartState.h"
#include "interp/Interp.h"
#include "interp/Report.h"
#include "shell/Program.h"

#include <string>

namespace qor::interp {

// The body lines of the first section of a base whose header has the number as two digits
// (leading zero) in its characters 2 and 3 ("[07] ..."); false when none was written.
bool NumberedSectionText(ReportWriter& w, BaseId base, int number);

// The texts, inside ReportWriter::Run.
void YearTotemText(ReportWriter& w, const ChartOptions& opt, const GeneralOptions& gen);
void MonthTotemText(ReportWriter& w, const ChartOptions& opt, const GeneralOptions& gen);
void DayTotemText(ReportWriter& w, const ChartOptions& opt, const GeneralOptions& gen);
void MoonDayText(ReportWriter& w, const ChartOptions& opt, const GeneralOptions& gen);
void PlanetaryHoursText(ReportWriter& w, const ChartOptions& opt, const GeneralOptions& gen);

// Plugs the five items into the text window's menu and the day of the Moon into the start
// window's day summary (Hooks::LunarDay).
void RegisterDayTexts(shell::Program& p, InterpReports& reports);

} // namespace qor::interp
