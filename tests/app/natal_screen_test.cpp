// The natal chart screen of the started program: the wheel drawn for the computed chart on the
// main window's bitmap, at the screen size the test fixes, and no drawing closing the window.
#include "MainWindowFixture.h"

#include "chart/KartForm.h"

namespace qor::shell {
namespace {

TEST_F(MainWindowTest, NatalScreenDrawsTheWheelOfTheComputedChart) {
    // the default window of a wide screen, smaller than the screen
    form1->resize(804, 548);
    form1->FormResize(false);
    program->Flags.ScreenMode = 'W';
    form1->RedrawNatal();
    const std::vector<std::string> spots = program->Svc.Screens['W'].Spots();
    // every sign and every shown body has its hint
    int signs = 0, bodies = 0;
    for (const std::string& line : spots) {
        const std::string code = line.substr(line.rfind(';') + 1);
        signs += code.size() == 2;
        bodies += code.size() == 4 && code[0] == 'p' && code[3] == '0';
    }
    EXPECT_EQ(signs, 12);
    const auto [first, last] = program->Svc.KartPointRange();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(bodies, last - first + 1);
    // the settings window's hint reads the same spots
    auto* kart = dynamic_cast<chart::TKartForm*>(Screen().FindForm("KartForm"));
    ASSERT_NE(kart, nullptr);
    EXPECT_EQ(kart->KartSpots, spots);
    // the wheel is centred in the left square of the drawing area, the off-screen bitmap
    const QImage& img = program->BufBitmap->image();
    const int half = img.height() / 2;
    int dark = 0;
    for (int x = 0; x < 2 * half && x < img.width(); ++x) dark += qGray(img.pixel(x, half)) < 128;
    EXPECT_GE(dark, 8); // the four circles on both sides
    // the twelve signs lie evenly round the centre, which is the middle of the bitmap's left
    // square (the wheel never spills past the window into the screen's size)
    double sx = 0, sy = 0;
    for (const std::string& line : spots) {
        if (line.substr(line.rfind(';') + 1).size() != 2) continue;
        sx += std::stod(line.substr(0, line.find(';')));
        sy += std::stod(line.substr(line.find(';') + 1));
    }
    EXPECT_NEAR(sx / 12, half + kart->Options().XoTrackBar, 3);
    EXPECT_NEAR(sy / 12, half + kart->Options().YoTrackBar, 3);
}

TEST_F(MainWindowTest, DrawingTheWheelNeverClosesTheMainWindow) {
    // the third character "S" of the hidden preference closed the window after each drawing
    form1->Prefer->SetText("WNS");
    program->Flags.ScreenMode = 'W';
    form1->RedrawNatal();
    form1->RedrawNatal();
    EXPECT_TRUE(form1->isVisible());
    EXPECT_FALSE(form1->SavedAndClosed);
    EXPECT_FALSE(program->Svc.Screens['W'].Spots().empty());
}

} // namespace
} // namespace qor::shell
