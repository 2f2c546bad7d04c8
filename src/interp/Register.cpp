#include "interp/Register.h"

#include "interp/InterpWindows.h"
#include "sky/SkyData.h"

namespace qor::interp {

void Register(shell::Program& p) {
    InterpServices services;
    services.StarKnown = [&p](const std::string& name) {
        const SkyData* sky = p.Find<SkyData>();
        if (!sky) return false;
        const StarCatalogue& stars = sky->Stars;
        for (int i = 1; i <= stars.StarCount; ++i)
            if (stars.StarLon[static_cast<std::size_t>(i)] != 0 && StarName(stars, i) == name)
                return true;
        return false;
    };
    RegisterInterpWindows(p, std::move(services));
}

} // namespace qor::interp
