// Pictures of a computed single and double chart at 1280 x 800, written beside the test
// program for a person to look at (kart_single.png, kart_double.png).
#include "KartTestSupport.h"

#include "core/Chart.h"
#include "core/Formats.h"
#include "core/Planets.h"
#include "core/Text.h"
#include "core/TimeStep.h"
#include "sky/BodyPoles.h"
#include "sky/DeepSky.h"
#include "sky/StarCatalogue.h"

#include <gtest/gtest.h>

namespace qor::chart {
namespace {

using test::KartFixture;

void ComputeChart(AstroDat& s, int y, int mo, int d, int h, int mi, double latDeg, double lonDeg,
                  int zone) {
    s.ChartYear = y;
    s.ChartMonth = mo;
    s.ChartDay = d;
    s.ChartHour = h;
    s.ChartMinute = mi;
    s.ChartSecond = 0;
    s.ChartZone = zone;
    s.ChartLat = latDeg * kDegToRad;
    s.ChartLong = lonDeg * kDegToRad;
    ChartOptions opt;
    GeneralOptions gen;
    CalcAstroTime(s, TimeOptionsFor(opt, gen));
    CalcChart(s, opt, gen, 0);
}

class KartPicture : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < kPlanetSeriesBodies; ++i) ASSERT_TRUE(LoadPlanetTerms(f.s, i).ok);
        f.bitmap.Resize(1280, 800 - 52 - 30);
        f.screen.ScreenWidth = 1280;
        f.screen.ScreenHeight = 800;
        f.screen.ScrWidth = f.bitmap.Width() - 5;
        f.screen.ScrHeight = f.bitmap.Height();
        f.chart.HouseSystemName = Cp("Плацидус");
        f.chart.DateText = "12.06.1985";
        f.chart.TimeText = "14:30:00";
        f.chart.LatText = "55" + std::string(1, kDegreeSign) + "45'N";
        f.chart.LongText = "37" + std::string(1, kDegreeSign) + "37'E";
        f.o.DataCheckBox = true;
        f.o.Elements[5] = kFlagOn; // Jupiter's orbit marks
        f.services.EquatorPoleLon = [this](int k) { return BodyEquatorPole(f.s, k).lon; };
        f.s.ChartName = "Sample chart";
    }
    void Save(const char* name) {
        const bool saved = f.bitmap.image().save(QString::fromUtf8(name), "PNG");
        EXPECT_TRUE(saved) << name;
        EXPECT_GT(f.wheel.KartSpots.size(), 40u);
    }
    KartFixture f;
};

TEST_F(KartPicture, SingleChart) {
    ComputeChart(f.s, 1985, 6, 12, 14, 30, 55.75, 37.62, 180);
    StarCatalogue stars;
    DeepCatalogue deep;
    if (LoadYaleCatalogue(f.s, stars) && LoadDeepObj(f.s, deep)) {
        ComputeStarPositions(f.s, stars, &deep);
        f.services.Stars = &stars;
        f.services.Deep = &deep;
        f.o.StarsCheck = true;
    }
    f.o.AfetBox = true;
    f.o.MinorCheck = true;
    f.Draw();
    Save("kart_single.png");
    f.o.Background = WheelBackground::Colour;
    f.Draw();
    Save("kart_single_colour.png");
}

TEST_F(KartPicture, DoubleChart) {
    ComputeChart(f.s, 2026, 12, 10, 12, 0, 55.75, 37.62, 180);
    f.s.PlanetLonBck = f.s.PlanetLon;
    f.s.PlanetLatBck = f.s.PlanetLat;
    f.s.PlanetSpeedBck = f.s.PlanetSpeed;
    f.s.PlanetLonSavedBck = f.s.PlanetLonSaved;
    f.s.SiderealTimeSecBck = f.s.SiderealTimeSec;
    f.s.DatRec2 = {"Transit", "", "10.12.2026", "12:00:00"};
    ComputeChart(f.s, 1985, 6, 12, 14, 30, 55.75, 37.62, 180);
    f.chart.DoubleChart = true;
    f.o.OutHsCheck = true;
    f.o.AspectingMode = 'X';
    f.o.RABox = true;
    f.Draw();
    Save("kart_double.png");
    f.o.Background = WheelBackground::Black;
    f.Draw();
    Save("kart_double_black.png");
}

} // namespace
} // namespace qor::chart
