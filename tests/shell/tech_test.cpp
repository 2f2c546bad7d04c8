// The service form: the recompute hub against the core called directly, its order and guards,
// the display texts and title, the fonts, the small chart routines, the picture and help
// look-ups, the default layout and the diagnostic keys.
#include "shell/Tech.h"

#include "core/AstroMath.h"
#include "core/Planets.h"
#include "core/Text.h"
#include "core/TimeStep.h"
#include "shell/MainForm.h"
#include "shell/StartForms.h"
#include "support/QtApp.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"

#include <QImage>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace qor::shell {
namespace {

using namespace ui;
namespace fs = std::filesystem;

const fs::path kData = fs::path(QOR_SOURCE_DIR) / "data";

class TechTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtApp();
        for (const char* f : {"PLANETS.NDX", "PLANETS.DAT", "rtext.txt", "etext.txt"})
            fs::copy_file(kData / f, dir / f);
        Screen().SetDialogs(&dialogs);
        p = std::make_unique<Program>(dir.path());
        for (int i = 0; i <= 9; ++i) ASSERT_TRUE(LoadPlanetTerms(p->s, i).ok);
        tech = dynamic_cast<TTech*>(Screen().CreateForm("Tech"));
        ASSERT_NE(tech, nullptr);
        p->Tech = tech;
        kart = Screen().CreateForm("KartForm");
        AstroDat& s = p->s;
        s.ChartYear = 2024, s.ChartMonth = 3, s.ChartDay = 4;
        s.ChartHour = 21, s.ChartMinute = 40, s.ChartSecond = 0;
        s.ChartZone = 180;
        s.ChartLat = 55.75 * kDegToRad;
        s.ChartLong = 37.62 * kDegToRad;
        p->Flags.Ready = true;
        p->Flags.ScreenMode = 'V';
    }
    void TearDown() override {
        p.reset();
        Screen().SetDialogs(nullptr);
        Screen().SetSize(0, 0);
    }
    // A visible tool window of that name.
    TForm* OpenWindow(const std::string& name) {
        auto* f = new PlaceholderForm(name, name);
        f->show();
        return f;
    }

    test::TempDir dir;
    AnsweringDialogs dialogs;
    std::unique_ptr<Program> p;
    TTech* tech = nullptr;
    TForm* kart = nullptr;
};

TEST_F(TechTest, RefreshAllGivesTheChartOfTheCoreCalledDirectly) {
    tech->RefreshAll();
    ASSERT_EQ(tech->RefreshCount, 1);

    AstroDat direct;
    direct.ProgramFolder = dir.path();
    direct.Planets = p->s.Planets;
    static_cast<ChartContext&>(direct) = static_cast<const ChartContext&>(p->s);
    ChartOptions opt;
    opt.ComputeParts = p->ChartOpt.ComputeParts;
    const GeneralOptions gen;
    CalcAstroTime(direct, TimeOptionsFor(opt, gen));
    CalcChart(direct, opt, gen, 0);

    EXPECT_EQ(p->s.ChartJD, direct.ChartJD);
    EXPECT_EQ(p->s.SiderealTimeSec, direct.SiderealTimeSec);
    for (int i = 0; i <= 38; ++i) {
        EXPECT_EQ(p->s.PlanetLon[i], direct.PlanetLon[i]) << "point " << i;
        EXPECT_EQ(p->s.PlanetSpeed[i], direct.PlanetSpeed[i]) << "point " << i;
    }
    // and a moment the chart had not seen: the Sun moves
    const double sun = p->s.PlanetLon[1];
    p->s.ChartDay = 5;
    tech->RefreshAll();
    EXPECT_NEAR(p->s.PlanetLon[1] - sun, 0.0172, 0.001); // about a degree a day
}

TEST_F(TechTest, NothingChangesBeforeTheStartUpIsReady) {
    p->Flags.Ready = false;
    p->s.MainTitle = "unchanged";
    tech->RefreshAll();
    EXPECT_EQ(tech->RefreshCount, 0);
    EXPECT_TRUE(tech->DateText.empty());
    EXPECT_EQ(p->s.MainTitle, "unchanged");
    EXPECT_EQ(p->s.PlanetLon[1], 0);
}

TEST_F(TechTest, ACallDuringARecomputeRunsOnceMoreAfterIt) {
    p->Flags.ScreenMode = 'W';
    int redraws = 0;
    std::vector<int> days;
    p->Svc.Screens['W'].Draw = [&] {
        ++redraws;
        days.push_back(p->s.ChartDay);
        if (redraws == 1) {
            // a handler changes the moment and asks again, twice, while the pass runs
            p->s.ChartDay = 9;
            tech->RefreshAll();
            tech->RefreshAll();
            EXPECT_FALSE(p->Flags.RefreshReady);
        }
    };
    tech->RefreshAll();
    EXPECT_EQ(redraws, 2);
    EXPECT_EQ(tech->RefreshCount, 2);
    EXPECT_EQ(days, (std::vector<int>{4, 9}));
    EXPECT_TRUE(p->Flags.RefreshReady);
    EXPECT_NE(tech->DateText.find("  9 "), std::string::npos) << tech->DateText;
}

TEST_F(TechTest, CaptionFollowsOneRuleForTitleAndStatus) {
    auto* form1 = new TForm1(*p);
    p->Form1 = form1;
    tech->RefreshAll();
    EXPECT_EQ(form1->Caption(), "   " + p->s.MainTitle);
    SetStatus(p->s, "Saved");
    EXPECT_EQ(form1->Caption(), "Saved   " + p->s.MainTitle);
    tech->RefreshAll(); // the title is rebuilt; the status stays in front, spaced alike
    EXPECT_EQ(form1->Caption(), "Saved   " + p->s.MainTitle);
}

TEST_F(TechTest, DateTextOfYearsAroundZero) {
    struct Case {
        int year;
        const char* shown;
    };
    for (const Case c : {Case{-43, " 0044B "}, Case{0, " 0001B "}, Case{2000, " 2000  "}}) {
        p->s.ChartYear = c.year;
        tech->RefreshAll();
        EXPECT_NE(tech->DateText.find(c.shown), std::string::npos)
            << c.year << ": " << tech->DateText;
    }
    EXPECT_EQ(tech->DateText.substr(0, 4), "  4 ");
    EXPECT_EQ(tech->TimeText, " 21:40:00");
}

TEST_F(TechTest, TitleLeavesOutThePlaceOnTheCosmosScreenOnly) {
    tech->RefreshAll();
    EXPECT_TRUE(tech->TitleHasPlace);
    EXPECT_EQ(p->s.MainTitle, tech->DateText + "   " + tech->TimeText + "   " + tech->ZoneText +
                                  "   " + tech->LatText + "   " + tech->LongText);
    p->Flags.ScreenMode = 'S';
    tech->RefreshAll();
    EXPECT_FALSE(tech->TitleHasPlace);
    EXPECT_EQ(p->s.MainTitle.find(tech->LatText), std::string::npos);

    // the chart's data hidden: the product title
    p->View.ProductTitle = true;
    tech->SetMainTitle();
    EXPECT_EQ(p->s.MainTitle, "Астрология QOR"_cp);
}

TEST_F(TechTest, ScreensAndToolWindowsAreRefreshedByMode) {
    std::vector<std::string> calls;
    auto record = [&](const char* what) { return [&calls, what] { calls.push_back(what); }; };
    p->Svc.Screens['C'].Draw = record("sky");
    p->Svc.Screens['S'].Draw = record("cosmos");
    p->Svc.Screens['G'].Draw = record("map");
    p->Svc.Screens['W'].Draw = record("wheel");
    p->Svc.Screens['A'].Recomputed = record("asteroids");
    p->Svc.Screens['A'].Draw = record("starastr");
    p->Svc.Screens['C'].Horizontal = [] { return true; };
    for (const char* name : {"StarConj", "Star", "MoonSgn"})
        p->Svc.RefreshWindow[name] = [&calls, name](TForm&) { calls.push_back(name); };
    OpenWindow("MoonSgn");
    OpenWindow("Star");
    OpenWindow("StarConj")->hide(); // hidden: not refreshed

    p->Flags.ScreenMode = 'V';
    tech->RefreshAll();
    EXPECT_EQ(calls, (std::vector<std::string>{"Star", "MoonSgn"}));
    calls.clear();
    p->Flags.ScreenMode = 'A';
    tech->RefreshAll();
    EXPECT_EQ(calls, (std::vector<std::string>{"asteroids", "starastr", "Star", "MoonSgn"}));
    calls.clear();
    // the sphere in horizontal coordinates: the star window is refreshed too (its places of
    // date follow the chart; the horizon it leaves to the sphere)
    p->Flags.ScreenMode = 'C';
    tech->RefreshAll();
    EXPECT_EQ(calls, (std::vector<std::string>{"sky", "Star", "MoonSgn"}));
    calls.clear();
    p->Flags.ScreenMode = 'W';
    tech->RefreshAll();
    EXPECT_EQ(calls, (std::vector<std::string>{"wheel", "Star", "MoonSgn"}));
}

TEST_F(TechTest, AHeliocentricChartClosesTheArabicParts) {
    TForm* pars = OpenWindow("Pars");
    tech->RefreshAll();
    EXPECT_TRUE(pars->isVisible());
    // the settings window's reader says heliocentric
    p->Svc.OptionReaders["KartForm"] = [](Program& p) { p.ChartOpt.HelioBox = true; };
    tech->RefreshAll();
    EXPECT_FALSE(pars->isVisible());
    EXPECT_TRUE(p->Flags.HelioMode);
}

TEST_F(TechTest, AspectMatrixOnlyOffTheWheelWithTheAspectTableOpen) {
    p->AspectLines = BuiltInAspectLines();
    ASSERT_TRUE(LoadAspectPage(p->s, "Натал"_cp, p->AspTable, p->AspectLines));
    auto any = [&] {
        for (const auto& row : p->Aspects.AspMatrix)
            for (uint8_t a : row)
                if (a) return true;
        return false;
    };
    p->Flags.ScreenMode = 'V';
    tech->RefreshAll();
    EXPECT_FALSE(any()); // no aspect table
    OpenWindow("AspTabl");
    p->Flags.ScreenMode = 'W';
    tech->RefreshAll();
    EXPECT_FALSE(any()); // the wheel computes its own
    p->Flags.ScreenMode = 'V';
    tech->RefreshAll();
    EXPECT_TRUE(any());
}

TEST_F(TechTest, FontsAreReadFromTheirTextsAndGivenToTheWindows) {
    tech->FontEdit->SetText("204;0;Arial;12;3");
    tech->CourierFontEdit->SetText("204;255;Courier New;11;0");
    tech->LoadFontSetting();
    EXPECT_EQ(tech->WindowFont, (FontSpec{204, 0, "Arial", 12, fsBold | fsItalic}));
    EXPECT_EQ(tech->TableFont, (FontSpec{204, 255, "Courier New", 11, 0}));
    // an empty text keeps the font; a field that is no number reads 0
    const FontSpec graph = tech->GraphFont;
    tech->LoadFontSetting();
    EXPECT_EQ(tech->GraphFont, graph);
    tech->GraphEdit->SetText("x;0;Arial;nine;1");
    tech->LoadFontSetting();
    EXPECT_EQ(tech->GraphFont, (FontSpec{0, 0, "Arial", 0, fsBold}));

    auto* table = kart->Add<TLabel>("TableLabel");
    SetTag(table, 8);
    auto* plain = kart->Add<TLabel>("PlainLabel");
    tech->ApplyFontToAllForms();
    EXPECT_EQ(kart->font().family(), "Arial");
    EXPECT_TRUE(kart->font().bold() && kart->font().italic());
    EXPECT_EQ(table->font().family(), "Courier New");
    EXPECT_EQ(plain->font().family(), "Arial");
    EXPECT_NE(tech->font().family(), "Arial"); // the service form keeps its own

    tech->WindowFont = FontSpec{204, 0, "Tahoma", 9, fsUnderline};
    tech->SaveFontSetting();
    EXPECT_EQ(tech->FontEdit->Text(), "204;0;Tahoma;9;4");
}

TEST_F(TechTest, PointLabelOfArabicPartsAndBodies) {
    AstroDat& s = p->s;
    s.NExtra = 2;
    s.ParsCount = 3;
    s.ParsGlyphs[1] = 'F';
    s.ParsGlyphs[3] = 'S';
    EXPECT_EQ(tech->PointLabel(17), "\x12"
                                    "F");
    EXPECT_EQ(tech->PointLabel(19), "\x12"
                                    "S");
    EXPECT_EQ(tech->PointLabel(20), BodyName(s, 20));
    EXPECT_EQ(tech->PointLabel(16), BodyName(s, 16));
    EXPECT_EQ(tech->PointLabel(1), BodyName(s, 1));
}

TEST_F(TechTest, SyncComboIndexAndHouseSystem) {
    auto* combo = kart->Add<TComboBox>("HouseComboBox");
    combo->SetItems({"Placidus", "Koch", "Equal"});
    combo->SetText("Equal");
    TTech::SyncComboIndex(*combo);
    EXPECT_EQ(combo->ItemIndex(), 2);
    // the house system the settings window's reader gives
    int system = 3;
    p->Svc.OptionReaders["KartForm"] = [&system](Program& p) { p.ChartOpt.HouseSystem = system; };
    tech->HouseSystemFromCombo();
    EXPECT_EQ(p->s.HouseSystem, 3);
    system = 0; // names none
    tech->HouseSystemFromCombo();
    EXPECT_EQ(p->s.HouseSystem, 3); // unchanged
    combo->SetText("Nowhere");
    TTech::SyncComboIndex(*combo);
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(combo->Text(), "Placidus");
}

TEST_F(TechTest, FindPictureFileLooksInTheFoldersThenTheList) {
    dir.Write("JPG/M31.jpg", "x");
    dir.Write("Pictures/Saturn.jpg", "x");
    dir.Write("Pictures/alpha_cma.jpg", "x");
    struct Case {
        const char* name;
        bool found;
        const char* file;
    };
    const Case withoutList[] = {{" M31 ", true, "JPG\\M31.jpg"},
                                {"Saturn", true, "Pictures\\Saturn.jpg"},
                                {"Sirius", false, ""}};
    for (const Case& c : withoutList) {
        EXPECT_EQ(tech->FindPictureFile(c.name), c.found) << c.name;
        EXPECT_EQ(tech->PictureFileName, c.file) << c.name;
    }
    dir.Write("pictures.txt", "Vega;alpha_lyr\r\nsirius; alpha_cma \r\n");
    EXPECT_TRUE(tech->FindPictureFile("Sirius")); // names compared in upper case
    EXPECT_EQ(tech->PictureFileName, "Pictures\\alpha_cma.jpg");
    EXPECT_FALSE(tech->FindPictureFile("Vega")); // listed, but no such picture
    EXPECT_FALSE(tech->FindPictureFile("Deneb"));
}

TEST_F(TechTest, HelpTopicOpensThePageOfTheLanguage) {
    std::vector<fs::path> opened;
    tech->OpenUrl = [&](const fs::path& page) {
        opened.push_back(page);
        return true;
    };
    dir.Write("Manual/birth_data.html", "<html></html>");
    dir.Write("EManual/birth_data.html", "<html></html>");
    EXPECT_TRUE(tech->ShowHelpTopic("birth_data.html"));
    p->s.EnglishMode = true;
    EXPECT_TRUE(tech->ShowHelpTopic("birth_data.html"));
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], dir / "Manual/birth_data.html");
    EXPECT_EQ(opened[1], dir / "EManual/birth_data.html");
    EXPECT_FALSE(tech->ShowHelpTopic("nothing.html"));
    EXPECT_EQ(opened.size(), 2u);
    EXPECT_NE(p->s.StatusText.find("EManual\\nothing.html"), std::string::npos);
    // no browser: the status line says so and where the page is
    tech->OpenUrl = [](const fs::path&) { return false; };
    EXPECT_FALSE(tech->ShowHelpTopic("birth_data.html"));
    EXPECT_NE(p->s.StatusText.find("No browser"), std::string::npos);
    EXPECT_NE(p->s.StatusText.find((dir / "EManual/birth_data.html").string()), std::string::npos);
}

TEST_F(TechTest, ShippedPicturesAreBitmaps) {
    struct Case {
        const char* file;
        int width, height;
    };
    for (const Case c : {Case{"ijtitul1.qor", 480, 300}, Case{"ijtitul2.qor", 480, 300},
                         Case{"bor6.qor", 32, 32}}) {
        QImage picture;
        ASSERT_TRUE(picture.load(QString::fromStdString((kData / c.file).string()), "BMP"))
            << c.file;
        EXPECT_EQ(picture.size(), QSize(c.width, c.height)) << c.file;
    }
}

TEST_F(TechTest, HelpIndexPagesAreShipped) {
    for (const char* page : {"Manual/index.html", "EManual/index.html"})
        EXPECT_TRUE(fs::is_regular_file(kData / page)) << page;
}

TEST_F(TechTest, DefaultLayoutByScreenWidth) {
    auto* form1 = new TForm1(*p);
    p->Form1 = form1;
    auto* cl = kart->Add<TTrackBar>("CLTrackBar");
    cl->SetRange(-20, 20);
    form1->SetBounds(1, 2, 300, 200);
    Screen().SetSize(1000, 700); // no layout for this width
    tech->LayoutMainControls(true);
    EXPECT_EQ(form1->Width(), 300);
    EXPECT_TRUE(dialogs.Messages().empty());

    Screen().SetSize(1280, 1024);
    tech->LayoutMainControls(true);
    EXPECT_EQ(form1->Width(), 804);
    EXPECT_EQ(form1->Height(), 548);
    EXPECT_EQ(cl->Position(), 1);
    EXPECT_EQ(tech->GraphFont.size, 10);
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0], GetMsgText(p->s, 154));

    Screen().SetSize(640, 480);
    tech->LayoutMainControls(true); // narrow screens are not told
    EXPECT_EQ(form1->Width(), 605);
    EXPECT_EQ(cl->Position(), 10);
    EXPECT_EQ(dialogs.Messages().size(), 1u);
}

TEST_F(TechTest, AtlasNamesAreListedOnceAndSortedWithoutBlanks) {
    dir.Write("Wrk/Atlas.txt",
              Cp("Moscow, Russia;1\r\nLyon,Abb;2\r\nParis, Ab c;3\r\n"
                 "Tula, Russia;4\r\nKiev, Ямайка;5\r\nnone;6\r\nTalca, Chile;7\r\n"));
    int key = 'L';
    tech->FormKeyDown(key, ssAlt);
    EXPECT_EQ(tech->Memo->Lines(),
              (std::vector<std::string>{"Abb", "Ab c", "Chile", "Russia", Cp("Ямайка")}));
    EXPECT_EQ(tech->Caption(), "Key=76");
}

TEST_F(TechTest, DiagnosticDumpListsTheVisibleWindows) {
    TForm* w = OpenWindow("StarConj");
    w->Add<TLabel>("Label1")->SetCaption("Hello");
    int key = 'C';
    tech->FormKeyDown(key, 0); // without Alt only the caption changes
    EXPECT_TRUE(tech->Memo->Lines().empty());
    tech->FormKeyDown(key, ssAlt);
    const auto lines = tech->Memo->Lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "StarConj \"StarConj\"");
    EXPECT_EQ(lines[1], "  Label1  TLabel \"Hello\"");
}

TEST_F(TechTest, FindTimerSearchesOnTheScreenOfTheMoment) {
    std::vector<std::string> found;
    p->Svc.Screens['S'].Find = [&](const std::string& n) { found.push_back("S " + n); };
    p->Svc.Screens['C'].Find = [&](const std::string& n) { found.push_back("C " + n); };
    tech->FindName = "Mars";
    tech->FindTimer->SetEnabled(true);
    p->Flags.ScreenMode = 'S';
    tech->FindTimerTimer();
    EXPECT_FALSE(tech->FindTimer->Enabled());
    p->Flags.ScreenMode = 'W';
    tech->FindTimerTimer();
    p->Flags.ScreenMode = 'C';
    tech->FindTimerTimer();
    EXPECT_EQ(found, (std::vector<std::string>{"S Mars", "C Mars"}));
}

TEST_F(TechTest, ATickWaitingInAModalWindowLetsOnlyTheLinkRun) {
    // A tick that opens a modal window re-enters the clock: the nested ticks run only the
    // command link, never the whole tick again.
    int ticks = 0, linkTicks = 0;
    tech->LinkTick = [&] { ++linkTicks; };
    tech->MainClockTick = [&] {
        ++ticks;
        tech->MainClockTimer();
        tech->MainClockTimer();
    };
    tech->MainClockTimer();
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(linkTicks, 2);
    tech->MainClockTimer(); // the guard is down after the tick
    EXPECT_EQ(ticks, 2);
    tech->MainClock->SetEnabled(false);
}

TEST_F(TechTest, ChironIsFoundByItsNameInTheBodyTable) {
    p->Svc.BodyTableName = [](int n) { // record n, points from record 71 on
        return n == 72 ? Cp("Хирон ") : n == 73 ? std::string("Chiron") : std::string("Ceres");
    };
    EXPECT_TRUE(tech->IsChironBody(1));
    EXPECT_FALSE(tech->IsChironBody(2));
    EXPECT_FALSE(tech->IsChironBody(3));
    EXPECT_FALSE(tech->IsChironBody(13)); // outside the table
    p->s.EnglishMode = true;
    EXPECT_TRUE(tech->IsChironBody(2));
}

TEST_F(TechTest, DynamicsSourceAndStop) {
    tech->SetDynamicsSource(true);
    EXPECT_TRUE(p->Flags.SourceData);
    tech->SetDynamicsSource(false);
    EXPECT_FALSE(p->Flags.SourceData);
    p->Flags.DinamicRun = true;
    tech->StopDynamics();
    EXPECT_FALSE(p->Flags.DinamicRun);
    OpenWindow("Dinamic");
    p->Flags.DinamicRun = true;
    tech->StopDynamics();
    EXPECT_FALSE(p->Flags.DinamicRun);
}

TEST_F(TechTest, CommandPathShortcutsReachTheWindows) {
    auto* edit = kart->Add<TEdit>("SLng");
    kart->show();
    UICommand("KartForm,SLng", "250.5");
    EXPECT_EQ(edit->Text(), "250.5");
    EXPECT_EQ(UIValue("KartForm,SLng"), "250.5");
    EXPECT_EQ(tech->QueryUIValue("KartForm,SLng"), "250.5");
}

TEST_F(TechTest, PanButtonsFromTheRightEdge) {
    auto* form1 = new TForm1(*p);
    form1->SetBounds(0, 0, 800, 500);
    form1->PlacePanButtons();
    const int w = form1->RightPan->width();
    EXPECT_EQ(form1->RightPan->x(), 800 - 10 - w - 1);
    EXPECT_EQ(form1->UpPan->x(), form1->RightPan->x() - w - 1);
    EXPECT_EQ(form1->DownPan->x(), form1->UpPan->x());
    EXPECT_GT(form1->DownPan->y(), form1->UpPan->y());
    EXPECT_EQ(form1->LeftPan->x(), form1->UpPan->x() - w - 1);
    EXPECT_EQ(form1->PanIn->x(), form1->LeftPan->x() - w - 1);
    EXPECT_EQ(form1->PanOut->x(), form1->PanIn->x());
}

TEST_F(TechTest, TheServiceFormAsBuilt) {
    EXPECT_EQ(tech->Caption(), "Технология"_cp);
    EXPECT_EQ(TagOf(tech->Memo), 1);
    EXPECT_EQ(TagOf(tech->GraphEdit), 16);
    for (TTimer* t : {tech->Timer2, tech->FindTimer, tech->Timer1, tech->MainClock})
        EXPECT_FALSE(t->Enabled());
    EXPECT_EQ(tech->FindTimer->Interval(), 500);
    EXPECT_EQ(tech->MainClock->Interval(), 500);
    EXPECT_EQ(tech->Timer1->Interval(), 300000);
    EXPECT_TRUE(tech->FormExists("KartForm"));
    EXPECT_FALSE(tech->FormExists("kartform")); // names are compared exactly
}

TEST(Waiting, DelayPumpsEventsOnAMonotonicClock) {
    test::RecordingReport report;
    AstroDat s;
    s.Report = &report;
    const auto start = std::chrono::steady_clock::now();
    Delay(s, 20);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(20));
    EXPECT_GT(report.eventPumps, 0);
}

} // namespace
} // namespace qor::shell
