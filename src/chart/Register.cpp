#include "chart/Register.h"

#include "chart/ChartWindows.h"
#include "chart/KartScreen.h"
#include "chart/SabGrad.h"
#include "chart/TableWindows.h"

namespace qor::chart {

void Register(shell::Program& p) {
    RegisterChartWindows(p);
    RegisterDegreeWindow(p, RegisterKartScreen(p));
    RegisterTableWindows(p);
}

} // namespace qor::chart
