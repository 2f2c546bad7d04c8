// The reports of a double chart in the running program: the text window's "Транзиты" (Ntrans),
// "Лунар" (N5), "Соляр" (NSolar) and "Синастрия" (N6). Each asks for its double chart first
// (a return chart of its kind, a synastry chosen in the birth-data window) and otherwise says
// so and leaves the window and its work file as they were.
#pragma once

#include "interp/Interp.h"
#include "interp/PairReports.h"
#include "shell/Program.h"

namespace qor::interp {

// The two charts of the program as the reports read them: the natal report's chart, the
// aspects across the charts and of the outer chart with itself on the current page (the
// program's aspecting mode and matrix are left alone), the header lines of both charts.
PairChart CurrentPairChart(shell::Program& p);

void IntTransits(shell::Program& p, TInterp& w);
void IntLunar(shell::Program& p, TInterp& w);
void IntSolar(shell::Program& p, TInterp& w);
void IntSynastry(shell::Program& p, TInterp& w);

void RegisterPairTexts(shell::Program& p, InterpReports& reports);

} // namespace qor::interp
