// The wheel as the main window's screen "W": drawn from the settings window's controls, its hot
// spots handed to the settings window, the label offsets cleared by the recompute hub.
#include "ChartWindowsFixture.h"
#include "KartTestSupport.h"

#include "chart/KartScreen.h"
#include "core/Formats.h"
#include "shell/MainForm.h"

#include <set>

namespace qor::chart {
namespace {

class KartScreenTest : public ChartWindowsTest {
protected:
    void SetUp() override {
        ChartWindowsTest::SetUp();
        const std::string bytes =
            qor::test::TempDir::Read(std::filesystem::path(QOR_SOURCE_DIR) / "data" / "font16.fnt");
        SymbolFontFromBytes(bytes, p->Font.Glyphs);
        p->BufBitmap = std::make_unique<ui::OffscreenBitmap>(p->Font);
        p->BufBitmap->Resize(1280, 718);
        std::vector<std::string> lines = BuiltInAspectLines();
        ReadAspectTable(p->AspTable, lines);
        PrepareAspectWindows(p->AspTable);
        for (int i = 1; i <= 14; ++i) {
            p->s.PlanetLon[i] = test::kBodyDeg[i] * kDegToRad;
            p->s.PlanetSpeed[i] = 0.01;
        }
        for (int h = 1; h <= 12; ++h)
            p->s.PlanetLon[26 + h] = NormAngle((test::kAscDeg + 30 * (h - 1)) * kDegToRad);
        wheel = RegisterKartScreen(*p);
        p->Flags.ScreenMode = 'W';
    }
    std::set<std::string> Codes() const {
        std::set<std::string> codes;
        for (const std::string& line : kart->KartSpots)
            codes.insert(line.substr(line.rfind(';') + 1));
        return codes;
    }
    void Draw() { p->Svc.Screens['W'].Draw(); }
    std::shared_ptr<NatalWheel> wheel;
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
