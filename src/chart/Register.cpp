#include "chart/Register.h"

#include "chart/ChartWindows.h"
#include "chart/KartScreen.h"

namespace qor::chart {

void Register(shell::Program& p) {
    RegisterChartWindows(p);
    RegisterKartScreen(p);
}

} // namespace qor::chart
