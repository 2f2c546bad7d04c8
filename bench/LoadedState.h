// The chart state of the benchmarks: every planet series loaded from the source tree's data/.
#pragma once

#include "core/Planets.h"

#include <cstdio>
#include <cstdlib>

namespace qor::bench {

inline AstroDat& LoadedState() {
    static AstroDat s = [] {
        AstroDat d;
        d.ProgramFolder = fs::path(QOR_SOURCE_DIR) / "data";
        for (int i = 0; i < kPlanetSeriesBodies; ++i) {
            if (!LoadPlanetTerms(d, i).ok) {
                std::fprintf(stderr, "cannot load the planet series from %s\n",
                             d.ProgramFolder.c_str());
                std::exit(1);
            }
        }
        return d;
    }();
    return s;
}

} // namespace qor::bench
