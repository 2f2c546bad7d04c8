// The ephemeris window "Tab" and the build jobs, driven as the menu, a requester, the user and
// the command paths drive them: a recording requester per job code, an existing file, a window
// closed early, a failed build, stopping a build, refused years, the text view, and a build
// whatever the chart and its settings.
#include "ForecastWindowFixture.h"

#include "core/AstroMath.h"
#include "core/Files.h"
#include "core/Planets.h"
#include "core/Text.h"
#include "shell/StartForms.h"
#include "support/QtApp.h"
#include "support/TempDir.h"
#include "ui/EnglishTexts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

namespace qor::forecast {
namespace {

using namespace ui;
namespace fs = std::filesystem;

class TabFormTest : public ForecastWindowTest {
protected:
    void SetUp() override {
        ForecastWindowTest::SetUp();
        requester = new shell::PlaceholderForm("Req", "Req");
        requester->show();
        for (int code = 1; code <= 4; ++code)
            RegisterContinuation(*jobs, code, "Req", [this, code](TForm& f) {
                calls.push_back({code, f.Name()});
            });
        Screen().ShowHelp = [this](TForm& f, const std::string& topic) {
            help.push_back(f.Name() + ":" + topic);
        };
    }
    void TearDown() override {
        delete requester;
        ForecastWindowTest::TearDown();
    }

    // Fires the window's one-second timer and runs the build to its end.
    void RunBuild() {
        TTab* tab = Tab();
        ASSERT_NE(tab, nullptr);
        ASSERT_TRUE(tab->Timer1->Enabled());
        tab->Timer1->OnTimer();
        QElapsedTimer clock;
        clock.start();
        while (Tab() && Tab()->Building() && clock.elapsed() < 60000) Pump();
        Pump();
        ASSERT_FALSE(Tab() && Tab()->Building());
    }
    void Key(int qtKey) {
        QKeyEvent e(QEvent::KeyPress, qtKey, Qt::NoModifier);
        QApplication::sendEvent(Tab()->YearEdit, &e);
    }
    // The user's way: the menu, a year, a button.
    void UserStarts(const std::string& year, TButton* TTab::*button) {
        p->Svc.MenuActions.at("N99")();
        ASSERT_NE(Tab(), nullptr);
        Tab()->YearEdit->SetText(year);
        (Tab()->*button)->Click();
    }

    TForm* requester = nullptr;
    std::vector<std::pair<int, std::string>> calls;
    std::vector<std::string> help;
};

TEST_F(TabFormTest, MenuOpensTheWindowWithItsComponents) {
    p->Svc.MenuActions.at("N99")();
    TTab* tab = Tab();
    ASSERT_NE(tab, nullptr);
    EXPECT_TRUE(tab->isVisible());
    EXPECT_NE(tab->State(), WindowState::Minimized);
    EXPECT_EQ(tab->Caption(), "Эфемериды"_cp);
    EXPECT_TRUE(tab->IsToolWindow());
    EXPECT_EQ(tab->YearEdit->Text(), "");
    EXPECT_EQ(tab->Label1->Caption(), "");
    EXPECT_FALSE(tab->Building());
    EXPECT_FALSE(tab->Timer1->Enabled());
    EXPECT_EQ(tab->Timer1->Interval(), 1000);
    std::vector<std::string> names;
    for (const Component& c : tab->Components()) names.push_back(c.Name());
    EXPECT_EQ(names, (std::vector<std::string>{"Label2", "YearEdit", "Label1", "Button1", "Button3",
                                               "Button6", "Button2", "Timer1", "OpenDialog"}));
    // F1 opens the help page; Esc closes the idle window.
    Key(Qt::Key_F1);
    EXPECT_EQ(help, (std::vector<std::string>{"Tab:astrological_tables.html"}));
    Key(Qt::Key_Escape);
    Pump();
    EXPECT_EQ(Tab(), nullptr);
}

// A recording requester per job code is called once, on its window, after its file is built;
// the window, minimized meanwhile, then closes.
TEST_F(TabFormTest, EachJobIsCalledBackOnceAfterItsBuild) {
    const struct {
        int job;
        EphemerisKind kind;
        int year;
        const char* file;
        std::uintmax_t size;
    } cases[] = {{kJobCalendar, EphemerisKind::Annual, 2024, "Wrk\\Tab2024.wrk", 49044},
                 {kJobMotionGraph, EphemerisKind::Century, 2024, "Wrk\\Cen21.wrk", 162408},
                 {kJobMoonLog, EphemerisKind::Annual, 2023, "Wrk\\Tab2023.wrk", 48910},
                 {kJobTransitTable, EphemerisKind::Century, -50, "Wrk\\Cen0.wrk", 162408}};
    for (const auto& c : cases) {
        calls.clear();
        RequestEphemerisBuild(*p, *jobs, c.kind, c.job, c.year);
        TTab* tab = Tab();
        ASSERT_NE(tab, nullptr) << c.job;
        EXPECT_EQ(tab->State(), WindowState::Minimized);
        EXPECT_EQ(tab->YearEdit->Text(), std::to_string(c.year));
        EXPECT_EQ(tab->BuildFileName, c.file);
        EXPECT_EQ(tab->Label1->Caption(), Msg(79));
        EXPECT_TRUE(calls.empty());
        RunBuild();
        EXPECT_EQ(calls, (std::vector<std::pair<int, std::string>>{{c.job, "Req"}})) << c.job;
        EXPECT_EQ(fs::file_size(File(c.file)), c.size) << c.file;
        EXPECT_EQ(Tab(), nullptr) << c.job;
        EXPECT_EQ(jobs->EphemerisContinuation, kJobNone);
        EXPECT_EQ(jobs->RequestedEphemerisYear, "");
    }
}

// A file that exists already: message 78, the call-back at once, the file left alone.
TEST_F(TabFormTest, ExistingFileCallsBackAtOnce) {
    dir.Write("Wrk/Tab2024.wrk", "an old file");
    RequestEphemerisBuild(*p, *jobs, EphemerisKind::Annual, kJobMotionGraph, 2024);
    ASSERT_NE(Tab(), nullptr);
    EXPECT_EQ(Tab()->Label1->Caption(), Msg(78, "Wrk\\Tab2024.wrk"));
    EXPECT_FALSE(Tab()->Building());
    EXPECT_EQ(jobs->EphemerisContinuation, kJobNone);
    Pump();
    EXPECT_EQ(calls, (std::vector<std::pair<int, std::string>>{{kJobMotionGraph, "Req"}}));
    EXPECT_EQ(Tab(), nullptr);
    EXPECT_EQ(test::TempDir::Read(File("Wrk\\Tab2024.wrk")), "an old file");
    // The user's own look at an existing file: the message, nothing called, the window stays.
    calls.clear();
    UserStarts("2024", &TTab::Button1);
    Pump();
    EXPECT_EQ(Tab()->Label1->Caption(), Msg(78, "Wrk\\Tab2024.wrk"));
    EXPECT_TRUE(calls.empty());
    EXPECT_NE(Tab(), nullptr);
}

// Closing the window before its timer, or during the build, drops the job: nothing is
// called, no file is written.
TEST_F(TabFormTest, ClosingTheWindowDropsTheJob) {
    for (bool started : {false, true}) {
        RequestEphemerisBuild(*p, *jobs, EphemerisKind::Annual, kJobCalendar, 2024);
        ASSERT_NE(Tab(), nullptr);
        if (started) {
            Tab()->Timer1->OnTimer();
            ASSERT_TRUE(Tab()->Building());
        }
        Tab()->Close();
        EXPECT_EQ(jobs->EphemerisContinuation, kJobNone);
        EXPECT_EQ(jobs->RequestedEphemerisYear, "");
        for (int i = 0; i < 20; ++i) Pump();
        EXPECT_EQ(Tab(), nullptr);
        EXPECT_TRUE(calls.empty()) << started;
        EXPECT_FALSE(fs::exists(File("Wrk\\Tab2024.wrk"))) << started;
    }
}

// A build that cannot be saved: message 52 with the reason, nothing called, no file, the
// window open and idle.
TEST_F(TabFormTest, FailedBuildCallsNothing) {
    dir.Write("Wrk", "a file where the folder should be");
    RequestEphemerisBuild(*p, *jobs, EphemerisKind::Annual, kJobMoonLog, 2024);
    RunBuild();
    ASSERT_NE(Tab(), nullptr);
    EXPECT_EQ(Tab()->Label1->Caption(), Msg(52, "Wrk\\Tab2024.wrk: Not a directory"));
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(jobs->EphemerisContinuation, kJobNone);
    EXPECT_TRUE(Tab()->Button1->isEnabled());
    EXPECT_EQ(Tab()->Button2->Caption(), "Закрыть"_cp);
    EXPECT_TRUE(fs::is_regular_file(dir / "Wrk"));
    EXPECT_TRUE(dialogs.asked.empty()); // said in the window, no message box
}

// While a build runs the window shows the date reached; Esc or "Закрыть" stops it: no file,
// the job dropped, said in the window, which stays open.
TEST_F(TabFormTest, StoppingABuild) {
    UserStarts("2024", &TTab::Button1);
    TTab* tab = Tab();
    EXPECT_TRUE(tab->Building());
    EXPECT_FALSE(tab->Button1->isEnabled());
    EXPECT_FALSE(tab->Button3->isEnabled());
    EXPECT_TRUE(tab->Button2->isEnabled());
    tab->Timer1->OnTimer(); // the first month
    EXPECT_EQ(tab->Label1->Caption(), "Идёт расчёт: 31 января 2024"_cp);
    Key(Qt::Key_Escape);
    EXPECT_FALSE(tab->Building());
    EXPECT_EQ(tab->Label1->Caption(), "Расчёт прерван, файл не записан"_cp);
    for (int i = 0; i < 20; ++i) Pump();
    ASSERT_EQ(Tab(), tab);
    EXPECT_FALSE(fs::exists(File("Wrk\\Tab2024.wrk")));
    EXPECT_TRUE(tab->Button1->isEnabled());

    // A job's build stopped by the button before its timer: the job is dropped.
    RequestEphemerisBuild(*p, *jobs, EphemerisKind::Century, kJobTransitTable, 1999);
    EXPECT_TRUE(tab->Building());
    tab->Button2->Click();
    EXPECT_FALSE(tab->Building());
    EXPECT_FALSE(tab->Timer1->Enabled());
    EXPECT_EQ(jobs->EphemerisContinuation, kJobNone);
    for (int i = 0; i < 20; ++i) Pump();
    EXPECT_TRUE(calls.empty());
    EXPECT_FALSE(fs::exists(File("Wrk\\Cen20.wrk")));
    // Idle, the button closes the window.
    tab->Button2->Click();
    Pump();
    EXPECT_EQ(Tab(), nullptr);
}

// Years that cannot be built are refused before anything is made: a text that is no integer,
// an annual year of five digits, a century beyond the 16-bit year field.
TEST_F(TabFormTest, RefusedYears) {
    p->s.EnglishMode = true;
    const struct {
        const char* text;
        TButton* TTab::*button;
        const char* said;
    } cases[] = {
        {"20x4", &TTab::Button1, "The year must be a whole number: 20x4"},
        {"2024.5", &TTab::Button3, "The year must be a whole number: 2024.5"},
        {"10000", &TTab::Button1, "Annual ephemerides are built for the years -9999 to 9999"},
        {"-10000", &TTab::Button1, "Annual ephemerides are built for the years -9999 to 9999"},
        {"32700", &TTab::Button3, "Century ephemerides are built for the years -32700 to 32699"},
        {"99999999999", &TTab::Button3,
         "Century ephemerides are built for the years -32700 to 32699"},
    };
    for (const auto& c : cases) {
        sounds.clear();
        UserStarts(c.text, c.button);
        EXPECT_EQ(Tab()->Label1->Caption(), c.said) << c.text;
        EXPECT_FALSE(Tab()->Building()) << c.text;
        EXPECT_EQ(sounds, (std::vector<std::string>{"Error.wav"})) << c.text;
    }
    EXPECT_FALSE(fs::exists(dir / "Wrk"));
    // A requester's job with a year that cannot be built is dropped.
    RequestEphemerisBuild(*p, *jobs, EphemerisKind::Annual, kJobCalendar, 12345);
    EXPECT_EQ(jobs->EphemerisContinuation, kJobNone);
    Pump();
    EXPECT_TRUE(calls.empty());
    // The century of a year before the era is built.
    UserStarts("-50", &TTab::Button3);
    EXPECT_EQ(Tab()->BuildFileName, "Wrk\\Cen0.wrk");
    RunBuild();
    EXPECT_EQ(Tab()->Label1->Caption(), Msg(57, "Wrk\\Cen0.wrk"));
    EXPECT_EQ(fs::file_size(File("Wrk\\Cen0.wrk")), 162408u);
}

// A job asked for while another build runs is taken up when that one is done.
TEST_F(TabFormTest, RequestDuringABuild) {
    RequestEphemerisBuild(*p, *jobs, EphemerisKind::Annual, kJobCalendar, 2024);
    Tab()->Timer1->OnTimer();
    ASSERT_TRUE(Tab()->Building());
    RequestEphemerisBuild(*p, *jobs, EphemerisKind::Century, kJobMotionGraph, 1999);
    QElapsedTimer clock;
    clock.start();
    while (calls.size() < 1 && clock.elapsed() < 60000) Pump();
    EXPECT_EQ(calls, (std::vector<std::pair<int, std::string>>{{kJobCalendar, "Req"}}));
    ASSERT_NE(Tab(), nullptr);
    RunBuild();
    EXPECT_EQ(calls, (std::vector<std::pair<int, std::string>>{{kJobCalendar, "Req"},
                                                               {kJobMotionGraph, "Req"}}));
    EXPECT_TRUE(fs::exists(File("Wrk\\Tab2024.wrk")));
    EXPECT_TRUE(fs::exists(File("Wrk\\Cen20.wrk")));
    EXPECT_EQ(Tab(), nullptr);
}

// A requester whose window is gone gets nothing.
TEST_F(TabFormTest, GoneRequesterGetsNothing) {
    RequestEphemerisBuild(*p, *jobs, EphemerisKind::Annual, kJobMoonLog, 2024);
    delete requester;
    requester = nullptr;
    RunBuild();
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(fs::exists(File("Wrk\\Tab2024.wrk")));
    RunEphemerisContinuation(*jobs, 99); // an unknown code runs nothing
    RunEphemerisContinuation(*jobs, kJobNone);
    EXPECT_TRUE(calls.empty());
}

// The file is the same whatever the chart and its settings (60°N, parallax and the
// heliocentric chart on, an evening time), and the build leaves the current chart as it was.
TEST_F(TabFormTest, BuildIgnoresTheChartAndLeavesItAlone) {
    AstroDat plain;
    plain.ProgramFolder = dir.path();
    plain.Planets = p->s.Planets;
    const auto chart = EphemerisChart(plain);
    const std::string expected = ComputeEphemeris(plain, *chart, EphemerisKind::Annual, 2024);

    // The settings windows hold the heliocentric chart and the parallax.
    p->Svc.OptionReaders["KartForm"] = [](shell::Program& q) {
        q.ChartOpt.HelioBox = true;
        q.GeneralOpt.HorParallax = true;
    };
    p->ReadOptions();
    ASSERT_TRUE(p->ChartOpt.HelioBox);
    ASSERT_TRUE(p->GeneralOpt.HorParallax);
    AstroDat& s = p->s;
    s.ChartLat = 60 * kDegToRad;
    s.ChartLong = 30 * kDegToRad;
    s.ChartYear = 1990, s.ChartMonth = 6, s.ChartDay = 15, s.ChartHour = 21, s.ChartZone = 180;
    for (int i = 0; i <= 40; ++i) s.PlanetLon[i] = 0.01 * i;
    const ChartContext moment = s;
    const PointArray lon = s.PlanetLon;

    UserStarts("2024", &TTab::Button1);
    RunBuild();
    EXPECT_EQ(Tab()->Label1->Caption(), Msg(57, "Wrk\\Tab2024.wrk"));
    EXPECT_EQ(test::TempDir::Read(File("Wrk\\Tab2024.wrk")), expected);
    EXPECT_EQ(s.PlanetLon, lon);
    EXPECT_EQ(s.ChartYear, moment.ChartYear);
    EXPECT_EQ(s.ChartHour, moment.ChartHour);
    EXPECT_EQ(s.ChartLat, moment.ChartLat);
    EXPECT_EQ(s.ContextDepth, 0);
}

// "Смотреть": the chosen file's text beside it, shown in the text window when there is one,
// else named on the status line; a file of another kind or a cancelled dialog shows nothing.
TEST_F(TabFormTest, ViewingAFileAsText) {
    ASSERT_TRUE(BuildAnnualEphemeris(p->s, 2024).ok());
    ASSERT_TRUE(BuildCenturyEphemeris(p->s, 2024).ok());
    dir.Write("Wrk/Other.wrk", std::string(134, '\0'));
    std::vector<std::string> shown;
    p->Hooks.InterpShowFile = [&shown](const std::string& f) { shown.push_back(f); };
    p->Svc.MenuActions.at("N99")();
    TTab* tab = Tab();
    dialogs.fileAnswers = {File("Wrk\\Tab2024.wrk"), File("Wrk\\Cen21.wrk"), File("Wrk\\Other.wrk"),
                           fs::path()};
    for (int i = 0; i < 4; ++i) tab->Button6->Click();
    EXPECT_EQ(shown, (std::vector<std::string>{"Wrk\\Tab2024.txt", "Wrk\\Cen21.txt"}));
    ASSERT_EQ(dialogs.asked.size(), 4u);
    EXPECT_EQ(dialogs.asked[0].what, "OpenFile");
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(File("Wrk\\Tab2024.txt"), lines).ok());
    EXPECT_EQ(lines.size(), 367u);
    EXPECT_EQ(lines[1].substr(0, 5), " 1.01");
    ASSERT_TRUE(ReadTextLines(File("Wrk\\Cen21.txt"), lines).ok());
    EXPECT_EQ(lines.size(), 1213u);
    EXPECT_EQ(lines.back().substr(0, 10), " 1.12.2100");
    EXPECT_FALSE(fs::exists(File("Wrk\\Other.txt")));
    // Without the text window the file is named on the status line.
    p->Hooks.InterpShowFile = nullptr;
    dialogs.fileAnswers = {File("Wrk\\Tab2024.wrk")};
    tab->Button6->Click();
    EXPECT_NE(p->s.StatusText.find("Wrk\\Tab2024.txt"), std::string::npos) << p->s.StatusText;
}

TEST_F(TabFormTest, EnglishTexts) {
    p->Svc.MenuActions.at("N99")();
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(kShippedData / "English.txt", lines).ok());
    for (const std::string& problem : EnglishCoverageProblems({Tab()}, lines, true))
        ADD_FAILURE() << Cp1251ToUtf8(problem);
    p->s.EnglishMode = true;
    p->English.ApplyEnglishToForm("Tab");
    EXPECT_EQ(Tab()->Caption(), "Ephemerides");
    EXPECT_EQ(Tab()->Button1->Caption(), "Build annual");
    // A build's own captions follow the language.
    Tab()->YearEdit->SetText("2024");
    Tab()->Button1->Click();
    EXPECT_EQ(Tab()->Button2->Caption(), "Stop");
    Tab()->CancelBuild();
    EXPECT_EQ(Tab()->Button2->Caption(), "Close");
    EXPECT_EQ(Tab()->Label1->Caption(), "Build stopped; no file written");
}

} // namespace
} // namespace qor::forecast
