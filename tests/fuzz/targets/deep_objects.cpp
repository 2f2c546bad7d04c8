// The deep-sky catalogue Deepobj.txt and its angle fields.
#include "FuzzTarget.h"

#include "sky/DeepSky.h"

namespace qor::fuzz {
namespace {

void Run(std::string_view bytes) {
    Put("Deepobj.txt", bytes);
    AstroDat s;
    Reset(s);
    auto d = std::make_unique<DeepCatalogue>();
    if (LoadDeepObj(s, *d)) ComputeDeepHorizon(s, *d);
    for (const auto& line : Lines(bytes.substr(0, 4096))) ParseDeepAngle(line);
}

std::vector<std::string> Seeds() {
    const std::string all = SourceFile("data/Deepobj.txt");
    return {all, all.substr(0, all.find('\n', 3000) + 1)};
}

} // namespace
QOR_FUZZ_TARGET(deep_objects, Run, Seeds, "text.dict")
} // namespace qor::fuzz
