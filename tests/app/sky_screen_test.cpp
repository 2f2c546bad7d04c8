// The celestial sphere screen of the started program: its picture through the hub, the settings
// window's controls, the keys and pan buttons, the view kept through a close and a start, the
// fixed Sun refused off the screen, the mouse, the constellations window, their English texts
// and help pages, and pictures for a person to look at in both languages.
#include "MainWindowFixture.h"

#include "core/AstroMath.h"
#include "core/Text.h"
#include "sky/CosmosScreen.h"
#include "sky/SkyData.h"
#include "sky/SkyScreen.h"
#include "ui/EnglishTexts.h"
#include "ui/Keys.h"

#include <QImage>

namespace qor::shell {
namespace {

class SkyScreenTest : public MainWindowTest {
protected:
    SkyData& Sky() { return *program->Find<SkyData>(); }
    SkySphere& Sphere() { return *Sky().Sphere; }
    QImage Picture() { return program->BufBitmap->image().copy(); }
    qor::Tsky& Settings() { return *Screen().Ensure<qor::Tsky>("sky"); }
    void Key(int key, Shift shift = 0) { form1->FormKeyDown(key, shift); }
};

TEST_F(SkyScreenTest, TheHubDrawsTheSphereAndTheSettingsRedrawIt) {
    form1->SwitchScreen('C');
    ASSERT_EQ(program->Flags.ScreenMode, 'C');
    const QImage first = Picture();
    int lit = 0;
    for (int y = 0; y < first.height(); y += 2)
        for (int x = 0; x < first.width(); x += 2) lit += qGray(first.pixel(x, y)) > 40;
    EXPECT_GT(lit, 300); // the circles and the bodies
    qor::Tsky& w = Settings();
    EXPECT_EQ(w.Caption(), Cp("Небесная сфера"));
    EXPECT_EQ(w.SystemRadioGroup->ItemIndex(), 0);
    EXPECT_EQ(Sphere().SkySystem, kSkyHorizontal);
    w.SystemRadioGroup->SetItemIndex(1);
    EXPECT_EQ(Sphere().SkySystem, kSkyEquatorial);
    const QImage equatorial = Picture();
    EXPECT_NE(equatorial, first);
    w.StarBox->SetChecked(true);
    EXPECT_GT(Sphere().view.ScreenStars.Count, 500);
    w.WhiteButton->SetChecked(true);
    EXPECT_EQ(qGray(Picture().pixel(2, 2)), 255);
    w.Magn->SetValue(2);
    EXPECT_LT(Sphere().view.ScreenStars.Count, 100);
    // F1 opens its page; both pages of the screen exist in both languages and are listed
    w.show();
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QCoreApplication::sendEvent(w.HorizonBox, &f1);
    EXPECT_NE(std::find(opened.begin(), opened.end(), "setup_of_celestial_sphere.html"),
              opened.end());
    for (const char* folder : {"Manual", "EManual"})
        for (const char* page :
             {"celestial_sphere.html", "setup_of_celestial_sphere.html", "constellations.html"}) {
            const std::string text = test::TempDir::Read(kShippedData / folder / page);
            EXPECT_GT(text.size(), 800u) << folder << page;
            const std::string index = test::TempDir::Read(kShippedData / folder / "index.html");
            EXPECT_NE(index.find(std::string("href=\"") + page), std::string::npos) << folder;
        }
}

TEST_F(SkyScreenTest, KeysAndPanButtonsTurnTiltAndZoom) {
    form1->SwitchScreen('C');
    SkyView& v = Sphere().view;
    v.Zoom = 240;
    v.Step = 10;
    v.CentreLon = 1;
    v.Tilt = 0;
    Key(vk::Numpad0 + 4); // horizontal: the other way
    EXPECT_NEAR(v.CentreLon, 1 - kDegToRad, 1e-12);
    Key(vk::Numpad0 + 4, ssCtrl);
    EXPECT_NEAR(v.CentreLon, 1 - 11 * kDegToRad, 1e-12);
    Key(vk::Numpad0 + 8);
    EXPECT_NEAR(v.Tilt, kDegToRad, 1e-12);
    Key(vk::Numpad0 + 7);
    EXPECT_EQ(v.Zoom, 266);
    Key(vk::Numpad0 + 1, ssCtrl);
    EXPECT_EQ(v.Zoom, 177);
    form1->PanPress("DownPan");
    EXPECT_NEAR(v.Tilt, 0, 1e-12);
    const QImage before = Picture();
    form1->PanPress("PanIn");
    EXPECT_EQ(v.Zoom, 196);
    EXPECT_NE(Picture(), before);
}

TEST_F(SkyScreenTest, ViewSurvivesACloseAndAStart) {
    form1->SwitchScreen('C');
    SkyView& v = Sphere().view;
    v.Tilt = -0.5;
    v.CentreLon = 3.25;
    v.Zoom = 2000;
    Start();
    EXPECT_EQ(form1->SkyEdit->Text(), "-0.50000;3.25000;2000");
    EXPECT_DOUBLE_EQ(Sphere().view.Tilt, -0.5);
    EXPECT_DOUBLE_EQ(Sphere().view.CentreLon, 3.25);
    EXPECT_EQ(Sphere().view.Zoom, 2000);
    EXPECT_EQ(Sphere().view.Step, 1);
}

TEST_F(SkyScreenTest, FixedSunIsRefusedWhileTheSunIsOffTheScreen) {
    form1->SwitchScreen('C');
    SkyView& v = Sphere().view;
    Settings().PlanetBox->SetChecked(false);
    v.SunX = v.SunY = 0;
    dialogs.asked.clear();
    Settings().SunBox->SetChecked(true);
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0], GetMsgText(program->s, 73, ""));
    EXPECT_FALSE(v.FixedSun);
    EXPECT_FALSE(Settings().SunBox->Checked());
    // With the Sun drawn the mode is taken.
    Settings().PlanetBox->SetChecked(true);
    Settings().ViewGroup->SetItemIndex(1);
    double ra, dec;
    SkyBodyCoord(program->s, Sphere().SkySystem, 1, ra, dec);
    v.CentreLon = ra;
    v.Tilt = dec;
    form1->RedrawScreen();
    Settings().SunBox->SetChecked(true);
    EXPECT_TRUE(v.FixedSun);
    EXPECT_EQ(dialogs.Messages().size(), 1u);
}

TEST_F(SkyScreenTest, MouseHoverAndClicks) {
    form1->SwitchScreen('C');
    Settings().SystemRadioGroup->SetItemIndex(2);
    SkyView& v = Sphere().view;
    double lon, lat;
    SkyBodyCoord(program->s, kSkyEcliptic, 6, lon, lat); // Jupiter
    v.CentreLon = lon;
    v.Tilt = lat;
    form1->RedrawScreen();
    const ScreenHandler* screen = program->Svc.ScreenOf('C');
    ASSERT_TRUE(screen && screen->MouseMove);
    screen->MouseMove(0, v.cx + 1, v.cy);
    EXPECT_TRUE(v.BodyFound);
    EXPECT_EQ(program->s.StatusText, Cp("Юпитер"));
    screen->MouseUp(MouseButton::Right, 0, v.cx, v.cy);
    EXPECT_TRUE(Visible("PlnForm"));
    // nothing under the pointer: the right button opens the settings
    screen->MouseMove(0, 3, 3);
    EXPECT_TRUE(v.HoverText.empty());
    EXPECT_EQ(program->s.StatusText, "");
    screen->MouseUp(MouseButton::Right, 0, 3, 3);
    EXPECT_TRUE(Visible("sky"));
}

TEST_F(SkyScreenTest, ConstellationsWindowChoosesWhatTheSkyScreensDraw) {
    auto* w = dynamic_cast<qor::TSozv*>(Screen().Ensure("Sozv"));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Caption(), Cp("Созвездия"));
    EXPECT_EQ(w->DrawGrid1->RowCount(), 89);
    EXPECT_EQ(w->DrawGrid2->RowCount(), 25);
    form1->SwitchScreen('C');
    Settings().StarBox->SetChecked(true);
    int row = 0;
    for (int r = 1; r <= 88; ++r)
        if (w->Rows[r - 1].substr(0, 3) == "UMa") row = r;
    ASSERT_GT(row, 0);
    w->ToggleRow(row);
    EXPECT_EQ(Sky().SelectedSozv, "UMa");
    const ScreenStarTable& t = Sphere().view.ScreenStars;
    for (int k = 1; k <= t.Count; ++k)
        EXPECT_EQ(Sky().Stars.YaleStars[t.StarIndex[k]].ConstellationCode(), "UMa");
    EXPECT_EQ(GatherCosmosOptions(*program).SelectedSozv, "UMa");
    w->ToggleRow(row); // a second double click clears the choice
    EXPECT_EQ(Sky().SelectedSozv, "");
    EXPECT_GT(Sphere().view.ScreenStars.Count, 500);
    w->SortBy(2);
    for (int r = 1; r < 88; ++r) EXPECT_LE(SozvKey(w->Rows[r - 1], 2), SozvKey(w->Rows[r], 2));
    w->SortBy(1);
    EXPECT_EQ(w->Rows[0].substr(0, 3), "And");
}

TEST_F(SkyScreenTest, EveryWindowHasItsEnglishTexts) {
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(kShippedData / "English.txt", lines).ok());
    std::vector<TForm*> forms{Screen().Ensure("sky"), Screen().Ensure("Sozv")};
    EXPECT_EQ(EnglishCoverageProblems(forms, lines, true), std::vector<std::string>{});
}

// Pictures of the screen in the three systems and both backgrounds, and of the windows, Russian
// and English, at the default window size and at 1920 x 1080.
TEST_F(SkyScreenTest, PicturesOfTheScreenAndTheWindows) {
    for (const char* lang : {"ru", "en"}) {
        if (std::string(lang) == "en") StartInEnglish();
        qor::Tsky& w = Settings();
        w.StarBox->SetChecked(true);
        w.HousBox->SetChecked(true);
        w.ZodiakBox->SetChecked(true);
        w.AxesBox->SetChecked(true);
        w.AxesGroup->SetItemIndex(6);
        for (QSize size : {QSize(1024, 700), QSize(1920, 1080)}) {
            Screen().SetSize(size.width(), size.height());
            form1->resize(size);
            form1->FormResize(false);
            form1->SwitchScreen('C');
            for (int system = 0; system < 3; ++system)
                for (bool white : {false, true}) {
                    w.SystemRadioGroup->SetItemIndex(system);
                    (white ? w.WhiteButton : w.BlackButton)->SetChecked(true);
                    const std::string tag = std::string(lang) + "_" + std::to_string(size.width()) +
                                            "_" + std::to_string(system) + (white ? "w" : "b");
                    EXPECT_TRUE(
                        form1->grab().save(QString::fromStdString("sky_main_" + tag + ".png")));
                }
        }
        w.BlackButton->SetChecked(true);
        for (const char* name : {"sky", "Sozv"}) {
            TForm* f = Screen().Ensure(name);
            ASSERT_NE(f, nullptr);
            f->show();
            const std::string file = std::string("sky_") + name + "_" + lang + ".png";
            EXPECT_TRUE(f->grab().save(QString::fromStdString(file))) << file;
        }
        w.TabControl->SetTabIndex(1);
        w.TabControl->OnChange();
        EXPECT_TRUE(
            w.grab().save(QString::fromStdString(std::string("sky_axes_") + lang + ".png")));
        w.TabControl->SetTabIndex(0);
        w.TabControl->OnChange();
    }
}

} // namespace
} // namespace qor::shell
