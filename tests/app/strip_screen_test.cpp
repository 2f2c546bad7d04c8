// The stars-and-asteroids screen of the started program and the object search: the picture
// through the hub with the asteroids placed, the pan buttons and "Свернуть", a left click
// zooming onto an object, a right click asking for its text, the search window's lines, the
// searches of the strip and the sphere through the service form's timer, message 107, the
// English texts, and pictures for a person to look at in both languages.
#include "MainWindowFixture.h"

#include "core/AstroMath.h"
#include "core/Text.h"
#include "sky/SkyData.h"
#include "sky/SkyScreen.h"
#include "sky/StripScreen.h"
#include "ui/EnglishTexts.h"

#include <QImage>

namespace qor::shell {
namespace {

class StripScreenTest : public MainWindowTest {
protected:
    SkyData& Sky() { return *program->Find<SkyData>(); }
    StripScreen& Strip() { return *Sky().Strip; }
    QImage Picture() { return program->BufBitmap->image().copy(); }
    // Runs the search the service form's timer would run.
    void SetUp() override {
        MainWindowTest::SetUp();
        dialogs.asked.clear(); // what the start-up said
    }
    void Search(const std::string& name) {
        program->Tech->FindName = name;
        program->Tech->FindTimerTimer();
    }
};

TEST_F(StripScreenTest, TheHubDrawsTheStripWithTheAsteroidsOfDate) {
    form1->SwitchScreen('A');
    ASSERT_EQ(program->Flags.ScreenMode, 'A');
    const AsteroidCatalogue& a = Sky().Asteroids;
    ASSERT_GT(a.AstCount, 2000);
    EXPECT_NE(a.AstCatalogue[1].Lon, 0); // placed by the recompute
    EXPECT_EQ(a.AstCatalogue[1].ScreenX, StripX(Strip().view, a.AstCatalogue[1].Lon));
    const QImage img = Picture();
    EXPECT_EQ(qGray(img.pixel(img.width() - 8, img.height() - 3)), 255); // white ground
    form1->PanPress("PanIn");
    EXPECT_DOUBLE_EQ(Strip().view.Zoom, 1.3);
    form1->PanPress("LeftPan");
    EXPECT_NEAR(Strip().view.CentreLon, 0.1 / 1.3, 1e-12);
    EXPECT_NE(Picture(), img);
    form1->RunItem("N53");
    EXPECT_DOUBLE_EQ(Strip().view.Zoom, 1);
}

TEST_F(StripScreenTest, ClicksZoomOntoAnObjectAndAskForItsText) {
    form1->SwitchScreen('A');
    const ScreenHandler* screen = program->Svc.ScreenOf('A');
    ASSERT_TRUE(screen && screen->MouseUp);
    int planet = 0;
    program->Svc.IntPlanetText = [&planet](int i) { planet = i; };
    StripView& v = Strip().view;
    const BodySpot jupiter = v.BodySpots[6];
    screen->MouseMove(0, jupiter.X, jupiter.Y);
    EXPECT_EQ(v.Found, StripPick::Body);
    screen->MouseUp(MouseButton::Right, 0, jupiter.X, jupiter.Y);
    EXPECT_EQ(planet, 6);
    screen->MouseUp(MouseButton::Left, 0, jupiter.X, jupiter.Y);
    EXPECT_DOUBLE_EQ(v.Zoom, 100);
    EXPECT_DOUBLE_EQ(v.CentreLon, program->s.PlanetLon[6]);
    EXPECT_EQ(v.BodySpots[6].X, v.cx);
    // the pointer's place in the coordinates panel
    EXPECT_NE(form1->GeoPanel->Caption().find("  "), std::string::npos);
}

TEST_F(StripScreenTest, SearchesOfTheStripAndTheSphere) {
    form1->SwitchScreen('A');
    Search(Cp("Юпитер"));
    StripView& v = Strip().view;
    EXPECT_DOUBLE_EQ(v.CentreLon, program->s.Bodies[6][kBodyLon]);
    EXPECT_EQ(Strip().PointedX, v.cx);
    EXPECT_EQ(Strip().PointedY, StripY(v, program->s.Bodies[6][kBodyLat]));
    EXPECT_TRUE(dialogs.Messages().empty());
    Search("1 Ce");
    EXPECT_DOUBLE_EQ(v.CentreLon, Sky().Asteroids.AstCatalogue[1].Lon);
    Search(Cp("юпитер"));
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0], GetMsgText(program->s, 107, Cp("юпитер")));
    // the sphere: the object comes to the centre
    form1->SwitchScreen('C');
    Search("*7001");
    const SkyView& sv = Sky().Sphere->view;
    EXPECT_EQ(Strip().PointedX, sv.cx);
    EXPECT_EQ(Strip().PointedY, sv.cy);
    Search("1 Ce"); // no prefix on the sphere
    EXPECT_EQ(dialogs.Messages().size(), 2u);
}

TEST_F(StripScreenTest, SearchWindowTakesTheWholeCaretLine) {
    auto* w = dynamic_cast<qor::TFind*>(Screen().Ensure("Find"));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Caption(), Cp("Найти объект:"));
    w->Memo->SetLines({Cp("Иапет"), Cp("Ио"), "Alpha_Centauri", ""});
    w->show();
    QTextCursor c = w->Memo->textCursor();
    c.movePosition(QTextCursor::Start);
    c.movePosition(QTextCursor::Down);
    w->Memo->setTextCursor(c);
    w->Button1Click();
    EXPECT_EQ(program->Tech->FindName, Cp("Ио"));
    EXPECT_TRUE(program->Tech->FindTimer->Enabled());
    EXPECT_FALSE(w->isVisible());
    w->show();
    c.movePosition(QTextCursor::Down);
    w->Memo->setTextCursor(c);
    w->Button1Click();
    EXPECT_EQ(program->Tech->FindName, "Alpha Centauri");
    w->show();
    c.movePosition(QTextCursor::End);
    w->Memo->setTextCursor(c);
    w->Button1Click(); // an empty line: message 133
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0], GetMsgText(program->s, 133, ""));
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(kShippedData / "English.txt", lines).ok());
    EXPECT_EQ(EnglishCoverageProblems({w}, lines, true), std::vector<std::string>{});
    for (const char* folder : {"Manual", "EManual"})
        for (const char* page : {"stars_and_asteroids.html", "search_of_object.html"}) {
            const std::string text = test::TempDir::Read(kShippedData / folder / page);
            EXPECT_GT(text.size(), 800u) << folder << page;
            const std::string index = test::TempDir::Read(kShippedData / folder / "index.html");
            EXPECT_NE(index.find(std::string("href=\"") + page), std::string::npos) << folder;
        }
}

// Pictures of the strip at zoom 1 and 100 and of the search window, Russian and English, at
// the default window size and at 1920 x 1080.
TEST_F(StripScreenTest, PicturesOfTheScreenAndTheWindow) {
    for (const char* lang : {"ru", "en"}) {
        if (std::string(lang) == "en") StartInEnglish();
        for (QSize size : {QSize(1024, 700), QSize(1920, 1080)}) {
            Screen().SetSize(size.width(), size.height());
            form1->resize(size);
            form1->FormResize(false);
            form1->SwitchScreen('A');
            for (double zoom : {1.0, 100.0}) {
                Strip().view.Zoom = zoom;
                Strip().view.CentreLon = program->s.PlanetLon[1];
                form1->RedrawScreen();
                const std::string tag = std::string(lang) + "_" + std::to_string(size.width()) +
                                        "_" + std::to_string(static_cast<int>(zoom));
                EXPECT_TRUE(
                    form1->grab().save(QString::fromStdString("strip_main_" + tag + ".png")));
            }
        }
        TForm* f = Screen().Ensure("Find");
        ASSERT_NE(f, nullptr);
        f->show();
        EXPECT_TRUE(
            f->grab().save(QString::fromStdString(std::string("strip_Find_") + lang + ".png")));
    }
}

} // namespace
} // namespace qor::shell
