#include "geo/Register.h"

#include "geo/Atlas.h"
#include "geo/GeoScreen.h"
#include "geo/GeoWindows.h"

namespace qor::geo {

void Register(shell::Program& p) {
    Atlas& atlas = p.Own<Atlas>();
    // The atlas of the language in use (read after the English texts are applied).
    p.Svc.AddStartStep(shell::StartStage::Atlas, "LoadAtlas",
                       [&p, &atlas] { LoadAtlas(p.s, atlas); });
    RegisterGeoWindows(p, atlas);
    RegisterGeoScreen(p, atlas);
}

} // namespace qor::geo
