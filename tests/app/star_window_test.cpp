// The star and deep-sky tables of the started program: the catalogue sorted by name at the
// start, the two modes with the places of the chart's moment, the sort and the short
// catalogue keeping every held star, the search on the sky screens, "Stars.txt", the comment
// window, the English texts, the help pages and pictures in both languages.
#include "MainWindowFixture.h"

#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Text.h"
#include "sky/CelestialSphere.h"
#include "sky/DeepSky.h"
#include "sky/SkyData.h"
#include "sky/SkyScreen.h"
#include "sky/StarTable.h"
#include "sky/StarWindows.h"
#include "sky/StripScreen.h"
#include "ui/EnglishTexts.h"

namespace qor::shell {
namespace {

class StarWindowTest : public MainWindowTest {
protected:
    SkyData& Sky() { return *program->Find<SkyData>(); }
    StarCatalogue& Stars() { return Sky().Stars; }
    TStar* Open() {
        form1->RunItem("N68");
        return dynamic_cast<TStar*>(Screen().FindForm("Star"));
    }
    int IndexOfBS(int bs) {
        for (int i = 1; i <= Stars().StarCount; ++i)
            if (Stars().YaleStars[i].BS == bs) return i;
        return 0;
    }
    int BS(int i) { return i >= 1 && i <= Stars().StarCount ? Stars().YaleStars[i].BS : 0; }
    void ExpectSortedBy(int column) {
        for (int i = 1; i < Stars().StarCount; ++i)
            ASSERT_FALSE(StarLess(program->s, Stars(), column, i + 1, i)) << column << " " << i;
    }
};

TEST_F(StarWindowTest, StartsSortedByNameAndShowsBothModes) {
    ExpectSortedBy(0);
    // the Russian names are all in Cyrillic letters: after every star without a name
    const int last = Stars().StarCount;
    EXPECT_EQ(StarName(Stars(), 1), "");
    ASSERT_FALSE(StarName(Stars(), last).empty());
    EXPECT_GE(static_cast<unsigned char>(StarName(Stars(), last)[0]), 0xC0);
    // the places of date as if computed for another moment
    Stars().StarsCalcT = program->s.ChartT - 0.5;
    TStar* w = Open();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Caption(), Cp("Каталог звёзд - [Данные J2000]"));
    EXPECT_EQ(w->DrawGrid->RowCount(), Stars().StarCount + 1);
    EXPECT_EQ(w->DrawGrid->ColWidth(8), 1); // the columns of date hidden
    EXPECT_EQ(Stars().StarsCalcT, program->s.ChartT);
    w->N2Click();
    EXPECT_EQ(w->Caption(), Cp("Каталог звёзд - [Текущие данные]"));
    EXPECT_TRUE(w->N2->Checked());
    EXPECT_FALSE(w->N1->Checked());
    EXPECT_GT(w->DrawGrid->ColWidth(8), 40);
    // a recompute for another moment brings the places along
    Stars().StarsCalcT = program->s.ChartT - 0.5;
    program->Tech->RefreshAll();
    EXPECT_EQ(Stars().StarsCalcT, program->s.ChartT);
    w->N1Click();
    EXPECT_EQ(w->DrawGrid->ColWidth(13), 1);
    // the pop-up's captions follow the current row and the sort column
    w->DrawGrid->SetRow(last);
    w->PopupMenuPopup();
    EXPECT_EQ(w->N3->Caption(), Cp("Найти ") + StarName(Stars(), last));
    EXPECT_EQ(w->Sort1->Caption(), Cp("Сортировать по \"Название\""));
    EXPECT_FALSE(w->Nshort->isVisible());
    const int unnamed = 1;
    w->DrawGrid->SetRow(unnamed);
    Sky().StarSortColumn = 6;
    w->PopupMenuPopup();
    EXPECT_EQ(w->N3->Caption(), Cp("Найти BS") + std::to_string(BS(unnamed)));
    EXPECT_EQ(w->Sort1->Caption(), Cp("Сортировать по \"Расстояние...\""));
}

TEST_F(StarWindowTest, SortAndShortCatalogueKeepEveryHeldStar) {
    TStar* w = Open();
    ASSERT_NE(w, nullptr);
    const int vega = IndexOfBS(7001);
    const int unnamed = IndexOfBS(1); // BS 1 has no name
    ASSERT_GT(vega, 0);
    ASSERT_EQ(StarName(Stars(), unnamed), "");
    // the star windows, the cosmos view's centre star and what the screens hold
    Sky().CosmosView->SetInfoStar(vega);
    Sky().Cosmos.CosmosStarBS = 7001;
    SkyView& sphere = Sky().Sphere->view;
    sphere.Picked = vega;
    sphere.StarFound = true;
    sphere.ScreenStars.Count = 2;
    sphere.ScreenStars.StarIndex.assign(kMaxStars + 1, 0);
    sphere.ScreenStars.StarIndex[0] = vega;
    sphere.ScreenStars.StarIndex[1] = unnamed;
    StripView& strip = Sky().Strip->view;
    strip.Picked = unnamed;
    strip.Found = StripPick::Star;
    const double vegaLon = Stars().StarLon[vega];

    Sky().StarSortColumn = 7; // by magnitude
    w->Sort1Click();
    ExpectSortedBy(7);
    EXPECT_NE(IndexOfBS(7001), vega);
    EXPECT_EQ(Sky().CosmosView->InfoStar(), IndexOfBS(7001));
    EXPECT_EQ(BS(sphere.Picked), 7001);
    EXPECT_EQ(BS(sphere.ScreenStars.StarIndex[0]), 7001);
    EXPECT_EQ(BS(sphere.ScreenStars.StarIndex[1]), 1);
    EXPECT_EQ(BS(strip.Picked), 1);
    EXPECT_EQ(Stars().StarLon[IndexOfBS(7001)], vegaLon);

    // the short catalogue: the named stars only; an unnamed star held is none any more
    const int all = Stars().StarCount;
    w->NshortClick();
    EXPECT_TRUE(Stars().ShortStarCatalogue);
    EXPECT_LT(Stars().StarCount, all);
    EXPECT_EQ(w->DrawGrid->RowCount(), Stars().StarCount + 1);
    EXPECT_EQ(IndexOfBS(1), 0);
    EXPECT_EQ(BS(sphere.Picked), 7001);
    EXPECT_EQ(strip.Picked, 0);
    EXPECT_EQ(sphere.ScreenStars.StarIndex[1], 0);
    EXPECT_EQ(Sky().CosmosView->InfoStar(), IndexOfBS(7001));
    EXPECT_EQ(Stars().StarsCalcT, program->s.ChartT);
    // and back: the whole catalogue in file order
    w->NshortClick();
    EXPECT_EQ(Stars().StarCount, all);
    ExpectSortedBy(1);
    EXPECT_EQ(BS(sphere.Picked), 7001);
    EXPECT_EQ(Stars().StarLon[IndexOfBS(7001)], vegaLon);
}

TEST_F(StarWindowTest, FindsTheStarOnTheSkyScreens) {
    dialogs.asked.clear();
    TStar* w = Open();
    ASSERT_NE(w, nullptr);
    // from the wheel to the stars-and-asteroids strip, which finds a named star at once
    form1->SwitchScreen('W');
    w->DrawGrid->SetRow(IndexOfBS(7001));
    w->N3Click();
    EXPECT_EQ(program->Flags.ScreenMode, 'A');
    EXPECT_FALSE(Visible("Star"));
    EXPECT_NEAR(NormAngleSigned(Sky().Strip->view.CentreLon - Stars().StarLon[IndexOfBS(7001)]), 0,
                1e-9);
    EXPECT_TRUE(dialogs.Messages().empty());
    // a star without a name cannot be found there: message 108
    dialogs.asked.clear();
    w = Open();
    w->DrawGrid->SetRow(IndexOfBS(1));
    w->N3Click();
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0], GetMsgText(program->s, 108));
    // on another sky screen the search is handed to the service form's timer by BS number
    form1->SwitchScreen('C');
    w = Open();
    w->DrawGrid->SetRow(IndexOfBS(1));
    w->N3Click();
    EXPECT_EQ(program->Tech->FindName, "*   1");
    EXPECT_TRUE(program->Tech->FindTimer->Enabled());
    EXPECT_FALSE(Visible("Star"));
}

TEST_F(StarWindowTest, StarsTxtAndTheComment) {
    TStar* w = Open();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->N4Click());
    const fs::path file = program->s.DataPath(kStarsTxtFile);
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(file, lines).ok());
    ASSERT_EQ(lines.size(), 4u + 2u + static_cast<std::size_t>(Stars().StarCount));
    EXPECT_EQ(lines[2], "J2000");
    EXPECT_TRUE(Visible("Interp")); // shown in the text window
    w->N2Click();
    ASSERT_TRUE(w->N4Click());
    ASSERT_TRUE(ReadTextLines(file, lines).ok());
    EXPECT_EQ(lines[2], Cp("Дата: ") + program->Tech->DateText);
    EXPECT_EQ(lines[5], Cp("Место: ") + program->Tech->LatText + " " + program->Tech->LongText);
    // the comment of a star in its own window, without the closing dot
    w->StarSelRow = IndexOfBS(7001);
    w->N5Click();
    auto* text = dynamic_cast<TTextForm*>(Screen().FindForm("TextForm"));
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->isVisible());
    const std::string comment = text->Memo->Lines().at(0);
    EXPECT_NE(comment.find("Vega"), std::string::npos) << comment;
    EXPECT_NE(comment.back(), '.');
    // a star without a comment opens nothing new
    text->Memo->SetText("kept");
    w->StarSelRow = IndexOfBS(1);
    w->N5Click();
    EXPECT_EQ(text->Memo->Lines().at(0), "kept");
}

TEST_F(StarWindowTest, DeepSkyTable) {
    form1->RunItem("N69");
    auto* w = dynamic_cast<TDeep*>(Screen().FindForm("Deep"));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Caption(), Cp("Каталог туманностей"));
    EXPECT_EQ(w->DrawGrid->RowCount(), Sky().Deep.DeepCount + 1);
    EXPECT_EQ(w->DrawGrid->ColCount(), 15);
    EXPECT_EQ(w->DrawGrid->rowHeight(0), 2 * w->DrawGrid->DefaultRowHeight());
}

TEST_F(StarWindowTest, EnglishTextsHelpAndPictures) {
    std::vector<std::string> english;
    ASSERT_TRUE(ReadTextLines(kShippedData / "English.txt", english).ok());
    for (const char* folder : {"Manual", "EManual"}) {
        const std::string text =
            test::TempDir::Read(kShippedData / folder / "catalogue_of_stars.html");
        EXPECT_GT(text.size(), 1500u) << folder;
        const std::string index = test::TempDir::Read(kShippedData / folder / "index.html");
        EXPECT_NE(index.find("href=\"catalogue_of_stars.html"), std::string::npos) << folder;
    }
    for (const char* lang : {"ru", "en"}) {
        if (std::string(lang) == "en") StartInEnglish();
        TStar* w = Open();
        ASSERT_NE(w, nullptr);
        w->N2Click();
        w->StarSelRow = IndexOfBS(7001);
        w->N5Click();
        form1->RunItem("N69");
        std::vector<TForm*> forms;
        for (const char* name : {"Star", "TextForm", "Deep"}) {
            TForm* f = Screen().FindForm(name);
            ASSERT_NE(f, nullptr) << name;
            forms.push_back(f);
        }
        EXPECT_EQ(EnglishCoverageProblems(forms, english, true), std::vector<std::string>{});
        if (std::string(lang) == "en") {
            EXPECT_EQ(w->Caption(), "Star Catalog - [Current data]");
            EXPECT_EQ(forms[2]->Caption(), "Nebula Catalog");
        }
        for (QSize size : {QSize(0, 0), QSize(1920, 1080)}) {
            const std::string tag = std::string(lang) + (size.width() ? "_1920" : "");
            for (TForm* f : forms) {
                if (size.width()) f->resize(size);
                f->grab().save(QString::fromStdString(f->Name() + "_" + tag + ".png"));
            }
        }
    }
}

} // namespace
} // namespace qor::shell
