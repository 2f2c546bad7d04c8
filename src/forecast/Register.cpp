#include "forecast/Register.h"

#include "forecast/TabForm.h"

namespace qor::forecast {

void Register(shell::Program& p) {
    RegisterEphemeris(p);
}

} // namespace qor::forecast
