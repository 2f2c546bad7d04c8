// The shipped pictures in the running program: the command link's object names through
// "pictures.txt", a second picture while the viewer is open, the chart menu's Moon clip, and
// the names the chart and sign menus look for.
#include "MainWindowFixture.h"

#include "core/Text.h"
#include "interp/PictureForms.h"
#include "shell/Tech.h"

namespace qor::shell {
namespace {

TEST_F(MainWindowTest, ShippedPicturesOpenByTheirNames) {
    // The chart menu looks for "Planet" + the point, the sign menu for the English sign name.
    for (int point = 1; point <= 14; ++point)
        EXPECT_TRUE(program->Tech->FindPictureFile("Planet" + std::to_string(point))) << point;
    for (const char* sign : {"Aries", "Taurus", "Gemini", "Cancer", "Leo", "Virgo", "Libra",
                             "Scorpio", "Sagittarius", "Capricorn", "Aquarius", "Pisces"})
        EXPECT_TRUE(program->Tech->FindPictureFile(sign)) << sign;
    // Names in both languages through pictures.txt.
    struct Case {
        std::string name, file;
    };
    for (const Case& c : {Case{"Sun", "Pictures\\Planet1.jpg"}, Case{Cp("Марс"), "Pictures\\Planet5.jpg"},
                          Case{"Black Moon", "Pictures\\Planet13.jpg"},
                          Case{Cp("Рыбы"), "Pictures\\Pisces.jpg"}, Case{"Earth", "Pictures\\Earth.jpg"}}) {
        EXPECT_TRUE(program->Tech->FindPictureFile(c.name)) << c.name;
        EXPECT_EQ(program->Tech->PictureFileName, c.file);
    }
    form1->ShowPictureByName("Sun");
    auto* viewer = dynamic_cast<interp::TPicture*>(Screen().FindForm("Picture"));
    ASSERT_TRUE(viewer);
    EXPECT_EQ(viewer->Caption(), "Sun");
    EXPECT_EQ(viewer->LoadedPath().filename(), "Planet1.jpg");
    EXPECT_EQ(viewer->Picture().size(), QSize(400, 400));
    // Asked again while it is open, the viewer shows the new picture.
    form1->ShowPictureByName("Saturn");
    EXPECT_EQ(Screen().FindForm("Picture"), viewer);
    EXPECT_EQ(viewer->Caption(), "Saturn");
    EXPECT_EQ(viewer->LoadedPath().filename(), "Planet7.jpg");
    // The chart menu's Moon item plays the lunar month in it.
    form1->RunItem("MoonMovie");
    EXPECT_TRUE(viewer->MoonMovie());
    EXPECT_EQ(viewer->LoadedPath().filename(), "00.jpg");
    EXPECT_FALSE(viewer->Picture().isNull());
    viewer->Timer2->OnTimer();
    EXPECT_EQ(viewer->LoadedPath().filename(), "01.jpg");
    viewer->Close();
}

} // namespace
} // namespace qor::shell
