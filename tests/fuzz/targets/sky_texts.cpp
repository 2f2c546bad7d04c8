// The view texts kept in the settings: the sky view ("tilt;centre;zoom"), the cosmos view's
// 23 lines, the satellite switches and the orbit-run field; every line to each.
#include "FuzzTarget.h"

#include "sky/BodyTables.h"
#include "sky/CelestialSphere.h"
#include "sky/CosmosBodies.h"
#include "sky/CosmosSteering.h"

namespace qor::fuzz {
namespace {

void Run(std::string_view bytes) {
    const std::vector<std::string> lines = Lines(bytes);
    auto b = std::make_unique<CosmosBodies>();
    LoadCosmosSettings(*b, lines);
    SaveCosmosSettings(*b);
    LoadSatelliteFlags(*b, lines);
    SaveSatelliteFlags(*b);
    for (const auto& line : lines) {
        SkyView v;
        ReadSkyEdit(v, line);
        SkyEditText(v);
        OrbitRun run;
        std::string problem;
        if (ParseOrbitRun(line, run, problem)) OrbitRunStep(*b, run);
    }
}

std::vector<std::string> Seeds() {
    std::string memo;
    for (const auto& line : DefaultOrbitMemo()) memo += line + "\r\n";
    std::string flags;
    for (const auto& line : DefaultSatelliteFlags()) flags += line + "\r\n";
    return {memo, flags, "30,5;120;400\r\nZ12,5*3\r\nQ-4\r\n"};
}

} // namespace
QOR_FUZZ_TARGET(sky_texts, Run, Seeds, "text.dict")
} // namespace qor::fuzz
