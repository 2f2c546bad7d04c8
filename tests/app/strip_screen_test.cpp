// The stars-and-asteroids screen of the started program and the object search: the picture
// through the hub with the asteroids placed, the pan buttons and "Свернуть", a left click
// zooming onto an object, a right click asking for its text, the search window's lines, the
// searches of the strip and the sphere through the service form's timer, message 107, the
// English texts, and pictures for a person to look at in both languages.
#include "MainWindowFixture.h"

#include "core/AstroMath.h"
#include "core/Text.h"
#include "shell/CommLink.h"
#include "sky/AsteridWindow.h"
#include "sky/AsteroidTable.h"
#include "sky/CosmosSearch.h"
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

TEST_F(StripScreenTest, CosmosSearchThroughTheTimerAndTheLink) {
    form1->SwitchScreen('S');
    ASSERT_EQ(program->Flags.ScreenMode, 'S');
    const int w = program->BufBitmap->Width(), h = program->BufBitmap->Height();
    Search(Cp("Марс"));
    EXPECT_TRUE(dialogs.Messages().empty());
    EXPECT_NEAR(Strip().PointedX, w / 2, 21);
    EXPECT_NEAR(Strip().PointedY, h / 2, 21);
    // the moons of the centre body once the view centres on Jupiter
    Sky().Cosmos.CosmosMode = 6;
    Search(Cp("Ганимед"));
    EXPECT_TRUE(dialogs.Messages().empty());
    EXPECT_NEAR(Strip().PointedX, w / 2, 21);
    EXPECT_NEAR(Strip().PointedY, h / 2, 21);
    Search(Cp("Луна"));
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0], GetMsgText(program->s, 107, Cp("Луна")));
    // the command link names the object in both languages and hears "not found" on the
    // status line, with no window to answer
    Sky().Cosmos.CosmosMode = 1;
    Strip().PointedX = Strip().PointedY = -1;
    form1->Link->ExecMsgCommand("Find;" + Cp("Сатурн") + ";Saturn");
    EXPECT_NEAR(Strip().PointedX, w / 2, 21);
    EXPECT_NEAR(Strip().PointedY, h / 2, 21);
    form1->Link->ExecMsgCommand("Find;" + Cp("Нет такого") + ";None such");
    EXPECT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(program->s.StatusText, GetMsgText(program->s, 107, Cp("Нет такого")));
}

TEST_F(StripScreenTest, AsteroidCatalogueWindow) {
    form1->RunItem("N70");
    auto* w = dynamic_cast<TAsterid*>(Screen().FindForm("Asterid"));
    ASSERT_NE(w, nullptr);
    AsteroidCatalogue& a = Sky().Asteroids;
    EXPECT_EQ(w->Caption(), Cp("Астероиды"));
    EXPECT_EQ(w->AllGrid->RowCount(), a.AstCount + 1);
    EXPECT_EQ(w->AllGrid->ColCount(), 12);
    EXPECT_EQ(w->Label1->Caption(), program->s.AsteroidTimeText);
    // the search box: its default text, an empty text, a text that matches nothing
    EXPECT_EQ(w->Edit->Text(), "chiron");
    EXPECT_EQ(FindAsteroidRow(a, "chiron"), 0); // the names begin with their numbers
    w->Edit->SetText("2060");
    const int chiron = w->AllGrid->Row();
    EXPECT_EQ(a.AstCatalogue[chiron].Name, "2060 Chiron");
    w->Edit->SetText("no such asteroid");
    EXPECT_EQ(w->AllGrid->Row(), chiron);
    w->Edit->SetText("");
    EXPECT_EQ(w->AllGrid->Row(), 1);
    // sorting by the first column alternates: by number first, then by name
    w->MouseCol = 0;
    w->PopupMenuPopup();
    EXPECT_EQ(w->Sort1->Caption(), Cp("Сортировать по \"Номер\""));
    w->Sort1Click();
    for (int i = 2; i <= a.AstCount; ++i)
        ASSERT_LE(NumberOfName(a.AstCatalogue[i - 1].Name), NumberOfName(a.AstCatalogue[i].Name));
    w->PopupMenuPopup();
    EXPECT_EQ(w->Sort1->Caption(), Cp("Сортировать по \"Название\""));
    w->Sort1Click();
    for (int i = 2; i <= a.AstCount; ++i)
        ASSERT_LE(NameWithoutDigits(a.AstCatalogue[i - 1].Name),
                  NameWithoutDigits(a.AstCatalogue[i].Name));
    // adding the current row takes the record shown there now, once
    w->Edit->SetText("2 Pallas");
    const int pallas = w->AllGrid->Row();
    ASSERT_EQ(a.AstCatalogue[pallas].Name, "2 Pallas");
    const std::size_t before = form1->Memo->Lines().size();
    w->N2Click();
    std::vector<std::string> lines = form1->Memo->Lines();
    ASSERT_EQ(lines.size(), before + 1);
    EXPECT_EQ(GetAstField(lines, 4, static_cast<int>(lines.size())), "2 Pallas");
    w->N2Click();
    EXPECT_EQ(form1->Memo->Lines().size(), before + 1);
    // the file of the places, and message 57
    EXPECT_TRUE(w->NsaveClick());
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    const fs::path file = program->s.DataPath(kAsteroidFileName);
    EXPECT_EQ(dialogs.Messages()[0], GetMsgText(program->s, 57, file.string()));
    std::vector<std::string> written;
    ASSERT_TRUE(ReadTextLines(file, written).ok());
    ASSERT_EQ(static_cast<int>(written.size()), a.AstCount + 2);
    EXPECT_EQ(written[0], GetMsgText(program->s, 135));
    EXPECT_EQ(written[2].substr(0, 23), (a.AstCatalogue[1].Name + std::string(23, ' ')).substr(0, 23));
    // find on the strip: the main window shows it, centred on the asteroid
    w->AllGrid->SetRow(pallas);
    w->N1Click();
    EXPECT_EQ(program->Flags.ScreenMode, 'A');
    EXPECT_FALSE(Screen().FindForm("Asterid") && Screen().FindForm("Asterid")->isVisible());
    EXPECT_DOUBLE_EQ(Strip().view.CentreLon, a.AstCatalogue[pallas].Lon);
    // English texts and the help pages
    form1->RunItem("N70");
    TForm* again = Screen().FindForm("Asterid");
    ASSERT_NE(again, nullptr);
    std::vector<std::string> english;
    ASSERT_TRUE(ReadTextLines(kShippedData / "English.txt", english).ok());
    EXPECT_EQ(EnglishCoverageProblems({again}, english, true), std::vector<std::string>{});
    for (const char* folder : {"Manual", "EManual"}) {
        const std::string text = test::TempDir::Read(kShippedData / folder / "asteroids.html");
        EXPECT_GT(text.size(), 800u) << folder;
        const std::string index = test::TempDir::Read(kShippedData / folder / "index.html");
        EXPECT_NE(index.find("href=\"asteroids.html"), std::string::npos) << folder;
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
        form1->RunItem("N70");
        auto* cat = dynamic_cast<TAsterid*>(Screen().FindForm("Asterid"));
        ASSERT_NE(cat, nullptr);
        cat->AllGrid->SetRow(5);
        cat->MouseCol = 1;
        cat->PopupMenuPopup();
        EXPECT_TRUE(cat->grab().save(
            QString::fromStdString(std::string("strip_Asterid_") + lang + ".png")));
        cat->resize(1920, 1080);
        EXPECT_TRUE(cat->grab().save(
            QString::fromStdString(std::string("strip_Asterid_1920_") + lang + ".png")));
        QStringList menu;
        for (QAction* a : cat->PopupMenu->actions()) menu << a->text();
        RecordProperty(std::string("AsteridMenu_") + lang, menu.join(" | ").toStdString());
        cat->Close();
    }
}

} // namespace
} // namespace qor::shell
