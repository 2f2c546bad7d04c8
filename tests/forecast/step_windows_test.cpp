// The time and place stepping windows in the whole program: runs started, ticked by hand,
// stopped; all-zero steps and closing end a run; the background tab moves the second data set
// only; jog dials, arrows and keys; the skip rules of a tick; the captions of both languages.

#include "app/MainWindowFixture.h"
#include "core/AstroMath.h"
#include "core/ChartRecords.h"
#include "core/Formats.h"
#include "core/Text.h"
#include "forecast/TimePlaceForms.h"

#include <QCoreApplication>

namespace qor::forecast {
namespace {

using shell::MainWindowTest;
using namespace ui;

class StepWindowsTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        dialogs.asked.clear(); // the start-up's note on the window layout
        SetChart("15.03.2024", "12:00:00",
                 "55"
                 "\xB0"
                 "45'N",
                 " 37"
                 "\xB0"
                 "37'E");
    }
    // The birth data applied as the chart.
    void SetChart(const std::string& date, const std::string& time, const std::string& lat,
                  const std::string& lon) {
        ASSERT_NE(form1->OpenToolWindow("DataForm"), nullptr);
        Run("DataForm,DateEdit", date);
        Run("DataForm,TimeEdit", time);
        Run("DataForm,dTEdit", "+03:00");
        Run("DataForm,LatEdit", lat);
        Run("DataForm,LongEdit", lon);
        ASSERT_TRUE(program->Svc.ApplyData());
    }
    void Run(const std::string& target, const std::string& command) {
        program->Commands.RunUICommand(target, command);
    }
    TDinamic* Dinamic() { return dynamic_cast<TDinamic*>(form1->OpenToolWindow("Dinamic")); }
    TLoc* Loc() { return dynamic_cast<TLoc*>(form1->OpenToolWindow("Loc")); }
    std::string Date() const { return program->s.DatRec1[kRecDate]; }
    std::string Time() const { return program->s.DatRec1[kRecTime]; }
    std::string Field(const char* name) { return program->Text("DataForm", name); }
    std::string MarkHint() { return HintOf(form1->Panel2); }
    std::string Msg(int n) { return GetMsgText(program->s, n); }
    void Tick() { program->Svc.TickDuties.at("StepWindows")(); }
    void Pump() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(StepWindowsTest, OneDayASecondMovesTheChartUntilStop) {
    TDinamic* d = Dinamic();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->Caption(), Cp("Время - [Исходные данные]"));
    EXPECT_FALSE(d->StartBtn->isEnabled()); // nothing to step by
    d->SpinDay->SetValue(1);
    EXPECT_TRUE(d->StartBtn->isEnabled());
    ASSERT_TRUE(d->Temp1->Checked());
    d->StartBtn->Click();
    EXPECT_TRUE(program->Flags.DinamicRun);
    EXPECT_FALSE(program->Flags.RealTimeMode);
    EXPECT_TRUE(d->Timer1->Enabled());
    EXPECT_EQ(d->Timer1->Interval(), TStepWindow::kFastMs); // the first tick at once
    EXPECT_EQ(MarkHint(), Msg(148));

    const double jd0 = program->s.ChartJD;
    d->Timer1Timer();
    EXPECT_EQ(Date(), "16.03.2024");
    EXPECT_EQ(Time(), "12:00:00");
    EXPECT_EQ(Field("DateEdit"), "16.03.2024");
    EXPECT_NEAR(program->s.ChartJD - jd0, 1.0, 1e-9);       // recomputed
    EXPECT_EQ(d->Timer1->Interval(), TStepWindow::kSlowMs); // then one a second
    EXPECT_TRUE(d->Timer1->Enabled());
    EXPECT_FALSE(form1->Label1->text().isEmpty()); // the running mark
    d->Timer1Timer();
    EXPECT_EQ(Date(), "17.03.2024");

    d->StopBtn->Click();
    EXPECT_FALSE(program->Flags.DinamicRun);
    EXPECT_FALSE(d->Timer1->Enabled());
    EXPECT_EQ(MarkHint(), Msg(152));
    d->Timer1Timer(); // a tick already queued moves nothing
    EXPECT_EQ(Date(), "17.03.2024");

    // "Максимальный": every 10 ms.
    d->TempMax->SetChecked(true);
    d->StartBtn->Click();
    d->Timer1Timer();
    EXPECT_EQ(d->Timer1->Interval(), TStepWindow::kFastMs);
    EXPECT_EQ(Date(), "18.03.2024");
    d->StopBtn->Click();
}

TEST_F(StepWindowsTest, AllZeroSpinsEndTheRunAndANewStepRunsAgain) {
    TDinamic* d = Dinamic();
    d->SpinDay->SetValue(1);
    d->StartBtn->Click();
    d->Timer1Timer();
    EXPECT_EQ(Date(), "16.03.2024");
    d->SpinDay->SetValue(0);
    Tick();
    EXPECT_FALSE(program->Flags.DinamicRun);
    EXPECT_FALSE(d->Timer1->Enabled());
    for (QWidget* w : {static_cast<QWidget*>(d->StartBtn), static_cast<QWidget*>(d->BitBtn1),
                       static_cast<QWidget*>(d->BitBtn2)})
        EXPECT_FALSE(w->isEnabled());
    EXPECT_EQ(MarkHint(), Msg(152));

    d->SpinHor->SetValue(2);
    Tick();
    EXPECT_TRUE(d->StartBtn->isEnabled());
    d->StartBtn->Click(); // no Stop needed first
    EXPECT_TRUE(program->Flags.DinamicRun);
    d->Timer1Timer();
    EXPECT_EQ(Date(), "16.03.2024");
    EXPECT_EQ(Time(), "14:00:00");
    d->StopBtn->Click();
}

TEST_F(StepWindowsTest, ClosingDuringARunStopsIt) {
    TDinamic* d = Dinamic();
    d->SpinMin->SetValue(5);
    d->StartBtn->Click();
    d->Timer1Timer();
    EXPECT_EQ(Time(), "12:05:00");
    d->Close();
    EXPECT_FALSE(program->Flags.DinamicRun);
    EXPECT_EQ(MarkHint(), Msg(152));
    Pump();
    EXPECT_EQ(Screen().FindForm("Dinamic"), nullptr);
    EXPECT_EQ(Time(), "12:05:00");
    // Opened again it starts idle, the step kept with the window's settings.
    d = Dinamic();
    EXPECT_EQ(d->SpinMin->Value(), 5);
    EXPECT_FALSE(d->Timer1->Enabled());
}

TEST_F(StepWindowsTest, StopFromTheShellStopsTheRun) {
    TDinamic* d = Dinamic();
    d->SpinSecond->SetValue(10);
    program->Flags.RealTimeMode = false;
    for (int way = 0; way < 2; ++way) {
        d->StartBtn->Click();
        ASSERT_TRUE(d->Timer1->Enabled());
        if (way == 0)
            program->Tech->StopDynamics();
        else
            form1->ToggleRealTime(); // real time on
        EXPECT_FALSE(program->Flags.DinamicRun) << way;
        EXPECT_FALSE(d->Timer1->Enabled()) << way;
        EXPECT_EQ(MarkHint(), Msg(152)) << way;
    }
    // Start turns real time off.
    ASSERT_TRUE(program->Flags.RealTimeMode);
    d->StartBtn->Click();
    EXPECT_FALSE(program->Flags.RealTimeMode);
    d->StopBtn->Click();
}

TEST_F(StepWindowsTest, ForwardThenBackReturnsAndKeysActAsTheArrows) {
    TDinamic* d = Dinamic();
    const int step[] = {1, 2, 3, 4, 5, 6};
    for (int i = 0; i < 6; ++i) d->Spins[i]->SetValue(step[i]);
    d->BitBtn2->Click();
    EXPECT_EQ(Date(), "18.05.2025"); // seconds .. years: 12:00:00 + 6 s + 5 min + 4 h, + 3 d ...
    EXPECT_EQ(Time(), "16:05:06");
    d->BitBtn1->Click();
    EXPECT_EQ(Date(), "15.03.2024");
    EXPECT_EQ(Time(), "12:00:00");

    for (int i = 0; i < 6; ++i) d->Spins[i]->SetValue(0);
    d->SpinHor->SetValue(-3);
    int key = vk::OemPeriod;
    d->OnKeyDown(key, 0);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(Time(), " 9:00:00"); // a tens digit 0 is a blank
    key = vk::OemComma;
    d->OnKeyDown(key, 0);
    EXPECT_EQ(Time(), "12:00:00");

    d->ReversBtn->Click();
    EXPECT_EQ(d->SpinHor->Value(), 3);
}

TEST_F(StepWindowsTest, ArrowsStepTheirRowAndAreEnabledWithIt) {
    TDinamic* d = Dinamic();
    d->SpinDay->SetValue(2);
    d->SpinMes->SetValue(1);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(d->UpDowns[i]->isEnabled(), i == 1 || i == 2) << i;
    d->UpDowns[2]->Click(true); // days only
    EXPECT_EQ(Date(), "17.03.2024");
    d->UpDowns[1]->Click(false); // one month back
    EXPECT_EQ(Date(), "17.02.2024");
    d->UpDowns[0]->Click(true); // a row of 0: nothing
    EXPECT_EQ(Date(), "17.02.2024");
}

TEST_F(StepWindowsTest, JogDialsMoveOneUnitAPositionAndComeBackAtTheStop) {
    TDinamic* d = Dinamic();
    TTrackBar* days = d->TrackBars[2];
    Run("Dinamic,TrackBar3", "3");
    EXPECT_EQ(Date(), "18.03.2024");
    Run("Dinamic,TrackBar3", "1");
    EXPECT_EQ(Date(), "16.03.2024");
    // The end stop: ten positions in all, then the dial is back in the centre, whatever the
    // pointer can do.
    Run("Dinamic,TrackBar3", "10");
    EXPECT_EQ(Date(), "25.03.2024");
    EXPECT_EQ(days->Position(), 0);
    Run("Dinamic,TrackBar3", "-10");
    EXPECT_EQ(Date(), "15.03.2024");
    EXPECT_EQ(days->Position(), 0);
    Run("Dinamic,TrackBar5", "-7");
    EXPECT_EQ(Time(), "11:53:00");

    // Held at the stop by a drag that the pointer cannot follow, the dial moves nothing more
    // until it is let go; then it is centred.
    TTrackBar* hours = d->TrackBars[3];
    hours->setSliderDown(true);
    hours->SetPosition(10);
    EXPECT_EQ(Time(), "21:53:00");
    hours->SetPosition(9);
    hours->SetPosition(10);
    EXPECT_EQ(Time(), "21:53:00");
    hours->setSliderDown(false);
    EXPECT_EQ(hours->Position(), 0);
    Run("Dinamic,TrackBar4", "1");
    EXPECT_EQ(Time(), "22:53:00");
}

TEST_F(StepWindowsTest, TicksWaitWhileSomethingIsHeldOrBusy) {
    TDinamic* d = Dinamic();
    d->SpinDay->SetValue(1);
    d->StartBtn->Click();
    struct Case {
        const char* what;
        bool* flag;
        bool busy; // the value that makes the tick wait
    };
    const Case cases[] = {{"mouse on the screen", &form1->PaintBoxButtonDown, true},
                          {"map drag", &form1->GeoDragging, true},
                          {"recompute", &program->Flags.RefreshReady, false},
                          {"report", &program->Flags.ProgramIdle, false}};
    for (const Case& c : cases) {
        *c.flag = c.busy;
        d->Timer1Timer();
        EXPECT_EQ(Date(), "15.03.2024") << c.what;
        EXPECT_TRUE(d->Timer1->Enabled()) << c.what;
        *c.flag = !c.busy;
    }
    // A screen that holds something (the wheel's protractor).
    bool held = true;
    program->Svc.Screens['W'].Held = [&held] { return held; };
    program->Flags.ScreenMode = 'W';
    d->Timer1Timer();
    EXPECT_EQ(Date(), "15.03.2024");
    held = false;
    d->Timer1Timer();
    EXPECT_EQ(Date(), "16.03.2024");
    d->StopBtn->Click();
}

TEST_F(StepWindowsTest, TheBackgroundTabMovesTheSecondDataSetOnly) {
    AstroDat& s = program->s;
    s.DatRec2 = s.DatRec1;
    s.DatRec2[kRecDate] = "01.01.2000";
    s.DatRec2[kRecTime] = "00:00:00";
    Run("DataForm,TwoButton", "");
    ASSERT_TRUE(program->Svc.ApplyData());
    const DatRec source = s.DatRec1;
    const double jd = s.ChartJD;

    TDinamic* d = Dinamic();
    Run("Dinamic,TabControl1", "1");
    EXPECT_FALSE(program->Flags.SourceData);
    EXPECT_EQ(d->Caption(), Cp("Время - [Фоновые данные]"));
    form1->MainClockTickRun(); // a double chart keeps the background
    EXPECT_FALSE(program->Flags.SourceData);
    d->SpinDay->SetValue(-1);
    d->SpinHor->SetValue(6);
    d->BitBtn2->Click();
    EXPECT_EQ(s.DatRec2[kRecDate], "31.12.1999");
    EXPECT_EQ(s.DatRec2[kRecTime], " 6:00:00");
    EXPECT_EQ(s.DatRec1, source);
    EXPECT_EQ(s.ChartDay, 15); // the moment is the source's again
    EXPECT_NEAR(s.ChartJD, jd, 1e-9);
    EXPECT_EQ(Field("DateEdit"), "15.03.2024"); // the window shows the source set

    // Both windows follow the source flag; a single chart takes it back to the source.
    TLoc* l = Loc();
    EXPECT_EQ(l->TabControl1->TabIndex(), 1);
    EXPECT_EQ(l->Caption(), Cp("Позиция - [Фоновые данные]"));
    Run("DataForm,OneButton", "");
    ASSERT_TRUE(program->Svc.ApplyData());
    form1->MainClockTickRun();
    EXPECT_TRUE(program->Flags.SourceData);
    EXPECT_EQ(d->TabControl1->TabIndex(), 0);
    EXPECT_EQ(l->TabControl1->TabIndex(), 0);
    EXPECT_EQ(l->SourceCopy, 1);
    EXPECT_EQ(d->Caption(), Cp("Время - [Исходные данные]"));
}

TEST_F(StepWindowsTest, AnUnreadableBackgroundSetMovesNothingAndEndsTheRun) {
    AstroDat& s = program->s;
    s.DatRec2 = s.DatRec1;
    s.DatRec2[kRecDate] = "31.02.2000";
    Run("DataForm,TwoButton", "");
    program->Flags.DoubleChart = true;
    TDinamic* d = Dinamic();
    Run("Dinamic,TabControl1", "1");
    d->SpinDay->SetValue(1);
    d->StartBtn->Click();
    const DatRec source = s.DatRec1;
    dialogs.asked.clear();
    d->Timer1Timer();
    EXPECT_FALSE(program->Flags.DinamicRun);
    EXPECT_FALSE(d->Timer1->Enabled());
    EXPECT_EQ(s.DatRec1, source);
    EXPECT_EQ(s.DatRec2[kRecDate], "31.02.2000");
    EXPECT_EQ(dialogs.asked.size(), 1u); // told once
}

TEST_F(StepWindowsTest, PlaceWindowStepsOverTheDateLineAndThePole) {
    SetChart("15.03.2024", "12:00:00",
             "89"
             "\xB0"
             "00'N",
             " 10"
             "\xB0"
             "00'E");
    TLoc* l = Loc();
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->Caption(), Cp("Позиция - [Исходные данные]"));
    l->SpinHor->SetValue(2);
    l->SpinMin->SetValue(30);
    l->BitBtn2->Click();
    AstroDat& s = program->s;
    // 89°N + 2°30': 88°30'N on the meridian half a turn away; the latitude steps turn.
    EXPECT_EQ(s.DatRec1[kRecLat], "88"
                                  "\xB0"
                                  "30'N");
    EXPECT_EQ(s.DatRec1[kRecLong], "170"
                                   "\xB0"
                                   "00'W");
    EXPECT_EQ(Field("LatEdit"), "88"
                                "\xB0"
                                "30'N");
    EXPECT_EQ(l->SpinHor->Value(), -2);
    EXPECT_EQ(l->SpinMin->Value(), -30);
    l->BitBtn2->Click();
    EXPECT_EQ(s.DatRec1[kRecLat], "86"
                                  "\xB0"
                                  "00'N");
    EXPECT_EQ(s.DatRec1[kRecLong], "170"
                                   "\xB0"
                                   "00'W");

    SetChart("15.03.2024", "12:00:00",
             "10"
             "\xB0"
             "00'S",
             "179"
             "\xB0"
             "30'E");
    for (int i = 0; i < 6; ++i) l->Spins[i]->SetValue(0);
    l->SpinGod->SetValue(1);
    l->BitBtn2->Click();
    EXPECT_EQ(s.DatRec1[kRecLong], "179"
                                   "\xB0"
                                   "30'W");
    EXPECT_NEAR(s.ChartLong, -179.5 * kDegToRad, 1e-9);
    l->BitBtn1->Click();
    EXPECT_EQ(s.DatRec1[kRecLong], "179"
                                   "\xB0"
                                   "30'E");
    Run("Loc,TrackBar4", "-5"); // the jog: five degrees south
    EXPECT_EQ(s.DatRec1[kRecLat], "15"
                                  "\xB0"
                                  "00'S");

    // A run, ended by all-zero spins.
    l->StartBtn->Click();
    EXPECT_TRUE(l->Timer1->Enabled());
    l->Timer1Timer();
    EXPECT_EQ(s.DatRec1[kRecLong], "179"
                                   "\xB0"
                                   "30'W");
    EXPECT_FALSE(program->Flags.DinamicRun); // the place window has no program-wide flag
    l->SpinGod->SetValue(0);
    Tick();
    EXPECT_FALSE(l->Timer1->Enabled());
    EXPECT_FALSE(l->StartBtn->isEnabled());
    l->Timer1Timer();
    EXPECT_EQ(s.DatRec1[kRecLong], "179"
                                   "\xB0"
                                   "30'W");
}

TEST_F(StepWindowsTest, PlaceWindowOpensFromTheMapSettingsAndKeyW) {
    program->Svc.MenuActions.at("PosButton")();
    TForm* l = Screen().FindForm("Loc");
    ASSERT_NE(l, nullptr);
    EXPECT_TRUE(l->isVisible());
    l->Close();
    Pump();
    ASSERT_EQ(Screen().FindForm("Loc"), nullptr);
    ASSERT_NE(form1->OpenToolWindow("GeoSet"), nullptr);
    Run("GeoSet,PosButton", "");
    EXPECT_TRUE(Visible("Loc"));
    CloseTools();
    Pump();
    int w = 'W';
    form1->FormKeyDown(w, 0);
    EXPECT_TRUE(Visible("Loc"));
}

TEST_F(StepWindowsTest, EscClosesAndF1OpensEachWindowsPage) {
    const std::pair<const char*, const char*> cases[] = {{"Dinamic", "dynamics_of_time.html"},
                                                         {"Loc", "dynamics_of_position.html"}};
    for (const auto& [name, page] : cases) {
        TForm* f = form1->OpenToolWindow(name);
        ASSERT_NE(f, nullptr);
        opened.clear();
        QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QCoreApplication::sendEvent(f, &f1);
        ASSERT_EQ(opened.size(), 1u) << name;
        EXPECT_EQ(opened[0], page);
        EXPECT_TRUE(fs::exists(shell::kShippedData / "Manual" / page)) << page;
        EXPECT_TRUE(fs::exists(shell::kShippedData / "EManual" / page)) << page;
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(f, &esc);
        Pump();
        EXPECT_FALSE(Visible(name)) << name;
    }
}

TEST_F(StepWindowsTest, EnglishCaptionsAndTexts) {
    StartInEnglish();
    TDinamic* d = Dinamic();
    TLoc* l = Loc();
    ASSERT_TRUE(d && l);
    EXPECT_EQ(d->Caption(), "Time - [Source data]");
    EXPECT_EQ(l->Caption(), "Location - [Source data]");
    program->Tech->SetDynamicsSource(false);
    EXPECT_EQ(d->Caption(), "Time - [Background data]");
    EXPECT_EQ(l->Caption(), "Location - [Background data]");
    EXPECT_EQ(d->StartBtn->Caption(), "Start");
    EXPECT_EQ(d->TabControl1->Tabs(), (std::vector<std::string>{"Source data", "Background data"}));
    const std::vector<std::string>* lines = nullptr;
    ASSERT_TRUE(program->English.Lines(lines));
    EXPECT_EQ(EnglishCoverageProblems({d, l}, *lines, true), std::vector<std::string>{});
}

} // namespace
} // namespace qor::forecast
