#include "forecast/Register.h"

#include "forecast/CalendForm.h"
#include "forecast/MoonForm.h"
#include "forecast/MovPlnForm.h"
#include "forecast/TabForm.h"
#include "forecast/TimePlaceForms.h"

namespace qor::forecast {

void Register(shell::Program& p) {
    EphemerisJobs& jobs = RegisterEphemeris(p);
    RegisterYearTables(p, jobs);
    RegisterStepWindows(p);
    RegisterCalendar(p, jobs);
    RegisterMotionGraph(p, jobs);
}

} // namespace qor::forecast
