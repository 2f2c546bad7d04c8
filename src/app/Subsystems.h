// What the subsystems above the shell give the running program: their data and the services
// the start-up, the recompute hub and the main window call. Each subsystem's part is filled
// here as it is built.
#pragma once

#include "geo/Atlas.h"
#include "shell/Program.h"

#include <memory>

namespace qor::app {

struct SkyData;

class Subsystems {
public:
    explicit Subsystems(shell::Program& p);
    ~Subsystems();
    SkyData& Sky() { return *sky_; }
    Atlas& Cities() { return atlas_; }

private:
    void RegisterSky();
    void RegisterGeo();
    shell::Program& p_;
    std::unique_ptr<SkyData> sky_;
    Atlas atlas_;
};

} // namespace qor::app
