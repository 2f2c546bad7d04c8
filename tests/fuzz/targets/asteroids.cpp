// The asteroid catalogue asteroid.csv (a part) and the user-body lines (the rest): the
// catalogue read, then the user's list of bodies loaded into the slots.
#include "FuzzTarget.h"

#include "sky/Asteroids.h"
#include "sky/CosmosBodies.h"

namespace qor::fuzz {
namespace {

void Run(std::string_view bytes) {
    const auto parts = SplitParts(bytes, 2);
    Put("asteroid.csv", parts[0]);
    AstroDat s;
    Reset(s);
    AsteroidCatalogue c;
    if (LoadAsteroidCatalogue(s, c))
        for (int i = 1; i <= std::min(c.AstCount, 50); ++i) GetCatalogueName(c, i);
    auto cosmos = std::make_unique<CosmosBodies>();
    std::vector<std::string> lines = Lines(parts[1]);
    LoadAsteroidSlots(s, lines, 2, *cosmos);
    for (const auto& line : lines) NormalizeAstName(line);
}

std::vector<std::string> Seeds() {
    return {JoinParts({SourceFile("tests/fixtures/asteroids_five/asteroid.csv"),
                       SourceFile("tests/fixtures/asteroids_five/Asteroid.txt")}),
            JoinParts({SourceFile("data/asteroid.csv"), ""})};
}

} // namespace
QOR_FUZZ_TARGET(asteroids, Run, Seeds, "text.dict")
} // namespace qor::fuzz
