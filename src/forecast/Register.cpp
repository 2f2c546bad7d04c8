#include "forecast/Register.h"

#include "forecast/MoonForm.h"
#include "forecast/TabForm.h"

namespace qor::forecast {

void Register(shell::Program& p) {
    EphemerisJobs& jobs = RegisterEphemeris(p);
    RegisterYearTables(p, jobs);
}

} // namespace qor::forecast
