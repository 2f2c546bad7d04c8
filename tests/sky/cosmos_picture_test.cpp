// Pictures of the cosmos view written beside the test program for a person to look at: the
// Sun's view, Saturn with its rings and moons, the Earth with its surface and grid, and the
// star view (cosmos_*.png at 1280 x 720 and 1920 x 1080).
#include "CosmosTestSupport.h"

#include <gtest/gtest.h>

namespace qor::test {
namespace {

void Pictures(int w, int h) {
    CosmosFixture f(w, h);
    const std::string size = std::to_string(w);
    f.Draw(1);
    f.Save("cosmos_sun_" + size + ".png");
    f.bodies.CosmosScale(7) = 0.004;
    f.Draw(7);
    f.Save("cosmos_saturn_" + size + ".png");
    f.options.EqatorBox = true;
    f.bodies.CosmosScale(4) = 0.0004;
    f.Draw(4);
    f.Save("cosmos_earth_" + size + ".png");
    f.options.EqatorBox = false;
    int sirius = 0;
    for (int i = 1; i <= f.stars.StarCount; ++i)
        if (f.stars.YaleStars[i].BS == 2491) sirius = i;
    f.bodies.CosmosStarBS = 2491;
    f.bodies.CosmosScale(-1) = 3;
    f.bodies.ModeAngleX(-1) = f.bodies.ModeAngleX(1);
    f.bodies.ModeAngleZ(-1) = f.bodies.ModeAngleZ(1);
    f.Draw(-1);
    f.Save("cosmos_star_" + size + ".png");
    EXPECT_GT(sirius, 0);
}

TEST(CosmosPicture, DefaultSize) {
    Pictures(1280, 720);
}

TEST(CosmosPicture, FullHd) {
    Pictures(1920, 1080);
}

} // namespace
} // namespace qor::test
