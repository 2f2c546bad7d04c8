// The chart's reports and texts in the running program: the text window's "Натальная карта"
// (Nnatal), and the entry points other windows call through Services (the wheel's chart and
// sign menus, its stars and aspects, the sky screens): N57Click, IntStarText, IntDeepSkyText,
// IntPlanetText, IntSignText, IntAspectText. While the window follows a chart point
// (InterpPoint > 0), each recompute repeats that point's report.
//
// Each entry point finds (or makes) the text window, takes the bases as its setup window holds
// them, and reads the chart as the program has it: the longitudes of the state, the aspects of
// the current page for the first chart alone, the shown points of the natal-chart settings,
// the rulerships of their table of dignities, the star and deep-sky catalogues of the sky data.
#pragma once

#include "interp/ChartReports.h"
#include "interp/Interp.h"
#include "shell/Program.h"

namespace qor::interp {

// The text of an edit of the birth-data window ("NameEdit"), or the main chart record's field
// `field` while the window is not there.
std::string DataField(shell::Program& p, const char* edit, int field);

// The chart of the program as a report reads it.
ReportChart CurrentReportChart(shell::Program& p);

// The whole natal report: star places brought to the chart's moment first, the bases that did
// not open listed after it.
void IntNatal(shell::Program& p, TInterp& w);
// The report of chart point n (a body) and of house h; the window comes forward. The bases
// that did not open wait for the next natal report. False when n has no body's texts.
bool IntPlanetReport(shell::Program& p, TInterp& w, int n);
void IntHouseReport(shell::Program& p, TInterp& w, int h);
// The chart menu's item: the window follows the point (InterpPoint); a body gets its report,
// a cusp (27..38) its house's.
void N57Click(shell::Program& p, TInterp& w, int point);

// The texts of one object; true when a text was shown (otherwise the window stays as it was).
bool IntStarText(shell::Program& p, TInterp& w, int star);
bool IntDeepSkyText(shell::Program& p, TInterp& w, int object);
bool IntPlanetText(shell::Program& p, TInterp& w, int planet);
bool IntSignText(shell::Program& p, TInterp& w, int sign);
// The aspect between chart points a and b; without a section, the status line says so.
bool IntAspectText(shell::Program& p, TInterp& w, int a, int b);

// Plugs the above into the program: the report of Nnatal, the Services entries and the
// repetition of the followed point after each recompute.
void RegisterChartTexts(shell::Program& p, InterpReports& reports);

} // namespace qor::interp
