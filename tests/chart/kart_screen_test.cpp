// The wheel as the main window's screen "W": drawn from the settings window's controls, its hot
// spots handed to the settings window, the label offsets cleared by the recompute hub.
#include "WheelScreenFixture.h"

#include "chart/KartScreen.h"
#include "core/Formats.h"
#include "shell/MainForm.h"

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

} // namespace
} // namespace qor::chart
