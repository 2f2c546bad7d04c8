#include "app/Subsystems.h"

#include "chart/Register.h"
#include "forecast/Register.h"
#include "geo/Register.h"
#include "interp/Register.h"
#include "sky/Register.h"

namespace qor::app {

void RegisterSubsystems(shell::Program& p) {
    sky::Register(p);
    chart::Register(p);
    geo::Register(p);
    interp::Register(p);
    forecast::Register(p);
}

} // namespace qor::app
