// The sky subsystem's data of the running program (kept by Program::Own): the body table of
// the cosmos view, the star, deep-sky and asteroid catalogues and the Chiron corrections.
#pragma once

#include "core/ChironTable.h"
#include "sky/Asteroids.h"
#include "sky/CosmosBodies.h"
#include "sky/CosmosWindows.h"
#include "sky/DeepSky.h"
#include "sky/StarCatalogue.h"

#include <memory>
#include <string>
#include <vector>

namespace qor {

struct SkySphere;
struct StripScreen;

struct SkyData {
    CosmosBodies Cosmos;
    std::vector<std::string> OrbitMemo; // the 23 cosmos view states
    StarCatalogue Stars;
    DeepCatalogue Deep;
    AsteroidCatalogue Asteroids;
    // How the catalogue window sorts by its first column: by the name (true) or by the number.
    bool AstSortByName = true;
    // The star table's sort column (0 the name): the catalogue is sorted by it at start-up.
    int StarSortColumn = 0;
    ChironTable Chiron;
    // The cosmos view's state and windows.
    std::shared_ptr<CosmosSky> CosmosView;
    // The chosen constellation (its code; empty: every star) the sky screens draw alone.
    std::string SelectedSozv;
    // The celestial sphere's state and windows.
    std::shared_ptr<SkySphere> Sphere;
    // The stars-and-asteroids strip and the searches.
    std::shared_ptr<StripScreen> Strip;
};

} // namespace qor
