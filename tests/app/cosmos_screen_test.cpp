// The cosmos screen of the started program: its picture through the hub, the settings window's
// boxes, the view states kept through a close and a start, the star windows, their English
// texts, and pictures of the screen and the windows in both languages for a person to look at.
#include "MainWindowFixture.h"

#include "core/Text.h"
#include "sky/CosmosScreen.h"
#include "sky/CosmosTools.h"
#include "sky/SkyData.h"
#include "sky/StarInfo.h"
#include "ui/EnglishTexts.h"

#include <QCoreApplication>
#include <QImage>
#include <QThread>

namespace qor::shell {
namespace {

class CosmosScreenTest : public MainWindowTest {
protected:
    SkyData& Sky() { return *program->Find<SkyData>(); }
    CosmosSky& Cosmos() { return *Sky().CosmosView; }
    QImage Picture() { return program->BufBitmap->image().copy(); }
    // The picture once it differs from `before`, the events taken meanwhile (a redraw the hub
    // puts off while it is busy runs from the event queue); unchanged after two seconds.
    QImage PictureOtherThan(const QImage& before) {
        QImage now = Picture();
        for (int i = 0; i < 200 && now == before; ++i) {
            QCoreApplication::processEvents();
            QThread::msleep(10);
            now = Picture();
        }
        return now;
    }
};

TEST_F(CosmosScreenTest, TheHubDrawsTheCosmosAndTheServiceFormShowsTheView) {
    form1->SwitchScreen('S');
    ASSERT_EQ(program->Flags.ScreenMode, 'S');
    const QImage img = Picture();
    int lit = 0;
    for (int y = 0; y < img.height(); y += 2)
        for (int x = 0; x < img.width(); x += 2) lit += qGray(img.pixel(x, y)) > 40;
    EXPECT_GT(lit, 200); // stars, orbits, the read-out
    EXPECT_EQ(qGray(img.pixel(img.width() - 1, img.height() - 1)) < 40, true);
    // the centre's name is the chart's
    EXPECT_EQ(program->s.ChartName, Cp("Солнце"));
    program->Tech->show();
    program->Tech->RefreshAll();
    ASSERT_EQ(program->Tech->Memo->Lines().size(), 1u);
    EXPECT_EQ(program->Tech->Memo->Lines()[0], CosmosViewLine(Sky().Cosmos));
    program->Tech->hide();
}

TEST_F(CosmosScreenTest, SettingsBoxesRedrawThePlanet) {
    CosmosBodies& b = Sky().Cosmos;
    b.CosmosMode = 4;
    b.CosmosScale(4) = 0.0003;
    form1->SwitchScreen('S');
    const QImage plain = Picture();
    auto* set = Screen().Ensure<qor::TOrbitSet>("OrbitSet");
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(set->Caption(), Cp("Космос"));
    EXPECT_FALSE(set->EqatorBox->Checked());
    EXPECT_TRUE(set->ImageBox->Checked());
    set->EqatorBox->SetChecked(true); // the click recomputes and redraws
    const QImage grid = PictureOtherThan(plain);
    EXPECT_NE(grid, plain);
    set->ImageBox->SetChecked(false);
    EXPECT_NE(PictureOtherThan(grid), grid);
    // F1 opens its page, in both languages
    set->show();
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QCoreApplication::sendEvent(set->ImageBox, &f1);
    EXPECT_NE(std::find(opened.begin(), opened.end(), "cosmos_setup.html"), opened.end());
    for (const char* folder : {"Manual", "EManual"})
        for (const char* page :
             {"cosmos_setup.html", "cosmos.html", "satellites.html", "surface_designer.html"}) {
            EXPECT_TRUE(fs::exists(kShippedData / folder / page)) << folder << page;
            const std::string index = test::TempDir::Read(kShippedData / folder / "index.html");
            EXPECT_NE(index.find(std::string("href=\"") + page), std::string::npos) << folder;
        }
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(set->ImageBox, &esc);
    EXPECT_FALSE(set->isVisible());
}

TEST_F(CosmosScreenTest, ViewStatesSurviveACloseAndAStart) {
    CosmosBodies& b = Sky().Cosmos;
    b.CosmosScale(5) = 0.0123;
    b.ModeAngleX(5) = 1.2344;
    b.ModeAngleZ(5) = -0.5;
    b.CosmosScale(22) = 2e-8;
    Start(); // closes (saving the states) and starts again
    CosmosBodies& again = Sky().Cosmos;
    EXPECT_DOUBLE_EQ(again.CosmosScale(5), 0.0123);
    EXPECT_DOUBLE_EQ(again.ModeAngleX(5), 1.234); // three decimals are kept
    EXPECT_DOUBLE_EQ(again.ModeAngleZ(5), -0.5);
    EXPECT_DOUBLE_EQ(again.CosmosScale(22), 2e-8);
    EXPECT_DOUBLE_EQ(again.CosmosScale(1), 5.726); // the default text's
    auto* legend = dynamic_cast<qor::TmStar*>(Screen().FindForm("mStar"));
    ASSERT_NE(legend, nullptr);
    EXPECT_EQ(legend->OrbitMemo->Lines().size(), 23u);
}

TEST_F(CosmosScreenTest, StarWindowsFollowTheStarTheyShowAndTheHub) {
    const int sirius = StarIndexOfBS(Sky().Stars, 2491);
    ShowStarForm(Cosmos(), sirius);
    auto* star = dynamic_cast<TStarForm*>(Screen().FindForm("StarForm"));
    ASSERT_NE(star, nullptr);
    EXPECT_TRUE(star->isVisible());
    EXPECT_EQ(star->NameLabel->Caption(), Cp("Сириус"));
    EXPECT_EQ(star->BSLabel->Caption(), "2491");
    // a re-sorted catalogue keeps the window on the same star
    std::vector<int> order(Sky().Stars.StarCount + 1);
    for (int i = 1; i <= Sky().Stars.StarCount; ++i) order[i] = Sky().Stars.StarCount + 1 - i;
    ReorderStars(Sky().Stars, order);
    star->NameLabel->SetCaption("");
    program->Tech->RefreshAll(); // refills the open window
    EXPECT_EQ(star->NameLabel->Caption(), Cp("Сириус"));
    // the star view and its window
    CentreOnStar(Cosmos(), StarIndexOfBS(Sky().Stars, 2491));
    EXPECT_EQ(Sky().Cosmos.CosmosMode, -1);
    EXPECT_EQ(program->s.ChartName.find(Cp("Сириус")) != std::string::npos, true);
    ShowDeepStar(Cosmos());
    auto* deep = dynamic_cast<TDeepStar*>(Screen().FindForm("DeepStar"));
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(deep->CentreTitle->Caption(), Cp("Излучение"));
    EXPECT_TRUE(deep->Timer1->Enabled());
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(deep, &esc);
    QCoreApplication::processEvents();
    EXPECT_FALSE(Screen().FormExists("DeepStar")); // closing releases it
}

TEST_F(CosmosScreenTest, LegendClosesOnAClickAndEveryWindowHasItsEnglishTexts) {
    auto* legend = dynamic_cast<qor::TmStar*>(Screen().FindForm("mStar"));
    ASSERT_NE(legend, nullptr);
    legend->show();
    legend->PaintBox->OnMouseDown(MouseButton::Left, 0, 5, 5);
    EXPECT_FALSE(legend->isVisible());
    // the windows as they open, before a star fills their values
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(kShippedData / "English.txt", lines).ok());
    std::vector<TForm*> forms;
    for (const char* name :
         {"OrbitSet", "mStar", "StarForm", "DeepStar", "PlnForm", "SatData", "ImgDes"})
        forms.push_back(Screen().Ensure(name));
    EXPECT_EQ(EnglishCoverageProblems(forms, lines, true), std::vector<std::string>{});
}

// Pictures of the screen and of the windows (the first star filled in), Russian and English,
// at the default window size and at 1920 x 1080.
TEST_F(CosmosScreenTest, PicturesOfTheScreenAndTheWindows) {
    for (const char* lang : {"ru", "en"}) {
        if (std::string(lang) == "en") StartInEnglish();
        for (QSize size : {QSize(1024, 700), QSize(1920, 1080)}) {
            Screen().SetSize(size.width(), size.height());
            form1->resize(size);
            form1->FormResize(false);
            form1->SwitchScreen('S');
            const std::string tag = std::string(lang) + "_" + std::to_string(size.width());
            EXPECT_TRUE(form1->grab().save(QString::fromStdString("cosmos_main_" + tag + ".png")));
        }
        const int sirius = StarIndexOfBS(Sky().Stars, 2491);
        ShowStarForm(Cosmos(), sirius);
        CentreOnStar(Cosmos(), StarIndexOfBS(Sky().Stars, 2943));
        ShowDeepStar(Cosmos(), sirius);
        ShowPlanetInfo(Cosmos(), 2);
        Sky().Cosmos.CosmosMode = 7;
        ShowSatellites(Cosmos());
        Sky().Cosmos.CosmosMode = 5;
        for (const char* name :
             {"OrbitSet", "mStar", "StarForm", "DeepStar", "PlnForm", "SatData", "ImgDes"}) {
            TForm* f = Screen().Ensure(name);
            ASSERT_NE(f, nullptr);
            f->show();
            const std::string file = std::string("cosmos_") + name + "_" + lang + ".png";
            EXPECT_TRUE(f->grab().save(QString::fromStdString(file))) << file;
        }
    }
}

} // namespace
} // namespace qor::shell
