// The wheel as the main window's screen "W": drawn from the settings window's controls, its hot
// spots handed to the settings window, the label offsets cleared by the recompute hub.
#include "WheelScreenFixture.h"

#include "chart/KartScreen.h"
#include "core/AstroMath.h"
#include "core/Chart.h"
#include "core/Formats.h"
#include "core/TimeStep.h"
#include "shell/MainForm.h"
#include "sky/DeepSky.h"
#include "sky/SkyData.h"
#include "sky/StarCatalogue.h"

#include <set>

namespace qor::chart {
namespace {

class KartScreenTest : public WheelScreenTest {
protected:
    std::set<std::string> Codes() const {
        std::set<std::string> codes;
        for (const std::string& line : kart->KartSpots)
            codes.insert(line.substr(line.rfind(';') + 1));
        return codes;
    }
};

TEST_F(KartScreenTest, DrawsFromTheSettingsWindowAndHandsItTheSpots) {
    Draw();
    ASSERT_FALSE(kart->KartSpots.empty());
    EXPECT_EQ(kart->KartSpots, wheel->KartSpots);
    EXPECT_EQ(p->Svc.Screens['W'].Spots(), wheel->KartSpots);
    EXPECT_EQ(kart->PointRow[14], 14);
    EXPECT_EQ(kart->PlnGrid->RowCount(), 15);
    const std::set<std::string> before = Codes();
    EXPECT_EQ(before.count("010"), 1u);

    // a check box of the window adds exactly its spots
    kart->MinorCheck->SetChecked(true);
    Draw();
    const std::set<std::string> minor = Codes();
    for (const std::string& c : before) EXPECT_EQ(minor.count(c), 1u) << c;
    for (const std::string& c : minor)
        if (!before.count(c)) {
            ASSERT_EQ(c.size(), 6u) << c;
            EXPECT_EQ(p->AspTable.Asp[std::stoi(c.substr(2, 2))].AspKind, ' ') << c;
        }
    EXPECT_GT(minor.size(), before.size());

    // and takes exactly its spots away
    kart->InHsCheck->SetChecked(false);
    Draw();
    const std::set<std::string> noCusps = Codes();
    for (int h = 1; h <= 12; ++h) EXPECT_EQ(noCusps.count(IntToStrZ(h, 2) + "0"), 0u);
    EXPECT_EQ(noCusps.size(), minor.size() - 12);

    // the screen's hint finds a body's spot
    const std::string sun = wheel->KartSpots[0];
    EXPECT_TRUE(kart->ShowChartHint(std::stoi(sun), std::stoi(sun.substr(sun.find(';') + 1))));
}

TEST_F(KartScreenTest, LabelOffsetsClearedByTheHubAndThePendingNoteByTheMouse) {
    wheel->KartWheel.Inner.Offsets[2] = {3, 3};
    p->Svc.ClearLabelOffsets();
    EXPECT_EQ(wheel->KartWheel.Inner.Offsets[2].DX, 0);

    int draws = 0;
    const auto own = p->Svc.Screens['W'].Draw;
    p->Svc.Screens['W'].Draw = [&] {
        ++draws;
        own();
    };
    wheel->KartPendingText = "Note";
    p->Svc.Screens['W'].MouseMove(0, 1, 1);
    EXPECT_TRUE(wheel->KartPendingText.empty());
    EXPECT_EQ(draws, 1);
    p->Svc.Screens['W'].MouseMove(0, 2, 2);
    EXPECT_EQ(draws, 1);
}

TEST_F(KartScreenTest, AspectPageFollowsTheChartKind) {
    p->Flags.DoubleChart = true;
    Draw();
    EXPECT_EQ(kart->AspTabControl->TabIndex(), 1);
    EXPECT_EQ(kart->AspectLetterEdit->Text(), "Транзит"_cp);
    p->Flags.DoubleChart = false;
    Draw();
    EXPECT_EQ(kart->AspTabControl->TabIndex(), 0);
}

// The table's nearest bright object: star places computed for 2026 stand some 0.7 degrees
// ahead of those of a chart of 1950, so a point 0.6 degrees short of Regulus in 1950 would
// find nothing near it, or another star.
TEST_F(KartScreenTest, NearestObjectUsesTheStarPlacesOfTheChartMoment) {
    for (const char* f : {"yale.mdb", "yale.nme", "yale.cmm", "Deepobj.txt"})
        std::filesystem::copy_file(std::filesystem::path(QOR_SOURCE_DIR) / "data" / f, dir / f);
    const auto setMoment = [&](int year) {
        p->s.ChartYear = year;
        p->s.ChartMonth = 6;
        p->s.ChartDay = 1;
        p->s.ChartHour = 12;
        CalcAstroTime(p->s, TimeOptionsFor(ChartOptions{}, GeneralOptions{}));
    };
    SkyData& sky = p->Own<SkyData>();
    ASSERT_TRUE(LoadYaleCatalogue(p->s, sky.Stars));
    ASSERT_TRUE(LoadDeepObj(p->s, sky.Deep));
    int computed = 0;
    p->Svc.ComputeStarPositions = [&] {
        ++computed;
        ComputeStarPositions(p->s, sky.Stars, &sky.Deep);
    };
    p->Svc.StarsCalcT = [&] { return sky.Stars.StarsCalcT; };
    setMoment(2026);
    p->Svc.ComputeStarPositions();
    int regulus = 0;
    for (int n = 1; n <= sky.Stars.StarCount; ++n)
        if (sky.Stars.YaleStars[n].BS == 3982) regulus = n;
    ASSERT_GT(regulus, 0);

    setMoment(1950);
    // Regulus at 149.83 degrees of J2000, 0.70 degrees less in 1950
    const double point = (149.83 - 0.70 - 0.6) * kDegToRad;
    struct Case {
        bool starsColumn;
        int computedAfter;
    } cases[] = {{false, 1}, {true, 2}, {true, 2}}; // off: left as they were; on: once
    for (const Case& c : cases) {
        kart->StarsCheck->SetChecked(c.starsColumn);
        KartInputs in = GatherKartInputs(*p);
        EXPECT_EQ(computed, c.computedAfter) << c.starsColumn;
        if (!c.starsColumn) continue;
        std::string tail;
        NearBrightObject(p->s, in.Services, point, tail);
        EXPECT_NE(tail.find(";*" + std::to_string(regulus)), std::string::npos) << tail;
        EXPECT_NEAR(sky.Stars.StarLon[regulus] / kDegToRad, 149.13, 0.03);
    }
}

} // namespace
} // namespace qor::chart
