// The surface files of a body: Img\P<n>.img and its names Img\P<n>.nme (two parts).
#include "FuzzTarget.h"

#include "sky/Surface.h"

namespace qor::fuzz {
namespace {

void Run(std::string_view bytes) {
    const auto parts = SplitParts(bytes, 2);
    Put("Img\\P4.img", parts[0]);
    Put("Img\\P4.nme", parts[1]);
    AstroDat s;
    Reset(s);
    auto r = std::make_unique<SurfaceRegions>();
    LoadSurfaceRegions(s, 4, 4, *r);
    for (const auto& line : Lines(parts[1].substr(0, 1024))) ParseRegionPlace(line, line, line);
}

std::vector<std::string> Seeds() {
    std::vector<std::string> seeds;
    for (int n : {2, 3, 4, 5, 10})
        seeds.push_back(JoinParts({SourceFile("data/Img/P" + std::to_string(n) + ".img"),
                                   SourceFile("data/Img/P" + std::to_string(n) + ".nme")}));
    return seeds;
}

} // namespace
QOR_FUZZ_TARGET(surface, Run, Seeds, "")
} // namespace qor::fuzz
