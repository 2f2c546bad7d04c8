// The birth-data window driven through its command paths: OK makes the chart of the fields,
// every way into the chart refuses a field that is not valid, a refused field is told, the
// data sets and the chart kind.
#include "ChartWindowsFixture.h"

#include "chart/ChartWindows.h"
#include "core/AstroMath.h"
#include "core/ChartRecords.h"
#include "core/Stepping.h"
#include "core/Text.h"
#include "core/TimeStep.h"

#include <QCoreApplication>

namespace qor::chart {
namespace {

using namespace ui;
const std::string kDeg(1, '\xB0');

class DataFormTest : public ChartWindowsTest {
protected:
    void Fill(const std::string& date, const std::string& time, const std::string& zone,
              const std::string& lat, const std::string& lon) {
        UICommands& c = p->Commands;
        c.RunUICommand("DataForm,DateEdit", date);
        c.RunUICommand("DataForm,TimeEdit", time);
        c.RunUICommand("DataForm,dTEdit", zone);
        c.RunUICommand("DataForm,LatEdit", lat);
        c.RunUICommand("DataForm,LongEdit", lon);
    }
    void SetUp() override {
        ChartWindowsTest::SetUp();
        data->show();
    }
};

TEST_F(DataFormTest, OkGivesTheCoreChartOfTheFieldsMomentAndPlace) {
    p->Commands.RunUICommand("DataForm,NameEdit", "Test");
    Fill("04.03.2024", "21:40:00", "+03:00", "55" + kDeg + "45'N", "037" + kDeg + "37'E");
    p->Commands.RunUICommand("DataForm,OKBtn", "");
    ASSERT_EQ(tech->RefreshCount, 1);
    const AstroDat& s = p->s;
    EXPECT_EQ(s.ChartYear, 2024);
    EXPECT_EQ(s.ChartMonth, 3);
    EXPECT_EQ(s.ChartDay, 4);
    EXPECT_EQ(s.ChartHour, 21);
    EXPECT_EQ(s.ChartMinute, 40);
    EXPECT_EQ(s.ChartZone, 180);
    EXPECT_NEAR(s.ChartLat, (55 + 45.0 / 60) * kDegToRad, 1e-12);
    EXPECT_NEAR(s.ChartLong, (37 + 37.0 / 60) * kDegToRad, 1e-12);
    EXPECT_EQ(s.DatRec1[kRecName], "Test");
    EXPECT_EQ(s.DatRec1[kRecDate], "04.03.2024");
    EXPECT_EQ(s.DatRec1Applied, s.DatRec1);

    // the core computing that moment and place directly gives the same points
    AstroDat direct;
    direct.ProgramFolder = dir.path();
    direct.Planets = s.Planets;
    direct.ChartYear = 2024, direct.ChartMonth = 3, direct.ChartDay = 4;
    direct.ChartHour = 21, direct.ChartMinute = 40, direct.ChartSecond = 0;
    direct.ChartZone = 180;
    direct.ChartLat = s.ChartLat, direct.ChartLong = s.ChartLong;
    ChartOptions opt;
    opt.ComputeParts = p->ChartOpt.ComputeParts;
    const GeneralOptions gen;
    CalcAstroTime(direct, TimeOptionsFor(opt, gen));
    CalcChart(direct, opt, gen, 0);
    for (int i = 0; i <= 38; ++i) EXPECT_EQ(s.PlanetLon[i], direct.PlanetLon[i]) << "point " << i;
}

TEST_F(DataFormTest, EveryWayIntoTheChartRefusesAFieldThatIsNotValid) {
    Fill("04.03.2024", "21:40:00", "+03:00", "55" + kDeg + "45'N", "037" + kDeg + "37'E");
    ASSERT_TRUE(data->ApplyData());
    const int runs = tech->RefreshCount;
    const AstroDat before = p->s;
    struct Case {
        const char* field;
        std::string text;
    } cases[] = {{"DateEdit", "32.13.2024"}, {"DateEdit", "garbage!!!"},
                 {"DateEdit", "29.02.2023"}, {"TimeEdit", "25:00:00"},
                 {"dTEdit", "+15:00"},       {"LatEdit", "95" + kDeg + "00'N"},
                 {"LongEdit", "x"}};
    for (const Case& c : cases) {
        Fill("04.03.2024", "21:40:00", "+03:00", "55" + kDeg + "45'N", "037" + kDeg + "37'E");
        p->Commands.RunUICommand(std::string("DataForm,") + c.field, c.text);
        dialogs.asked.clear();
        // OK, and the routine the command link, the chart base and the history call
        p->Commands.RunUICommand("DataForm,OKBtn", "");
        EXPECT_FALSE(data->ApplyData()) << c.text;
        EXPECT_EQ(tech->RefreshCount, runs) << c.text;
        EXPECT_EQ(p->s.ChartDay, before.ChartDay) << c.text;
        EXPECT_EQ(p->s.ChartZone, before.ChartZone) << c.text;
        EXPECT_EQ(p->s.DatRec1Applied, before.DatRec1Applied) << c.text;
        ASSERT_FALSE(dialogs.asked.empty()) << c.text;
        EXPECT_NE(dialogs.asked.back().text.find("\"" + c.text + "\""), std::string::npos);
    }
    // real time tries every second: the status line says it, no message box piles up
    p->Flags.RealTimeMode = true;
    dialogs.asked.clear();
    EXPECT_FALSE(data->ApplyData());
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_NE(p->s.StatusText.find("Данные не приняты: неверное поле «долгота»: \"x\""_cp),
              std::string::npos);
    p->Flags.RealTimeMode = false;
    // a zone of +14:00 is a real one
    Fill("04.03.2024", "21:40:00", "+14:00", "55" + kDeg + "45'N", "037" + kDeg + "37'E");
    EXPECT_TRUE(data->ApplyData());
    EXPECT_EQ(p->s.ChartZone, 840);
    EXPECT_EQ(tech->ZoneText, "+14:00"); // the caption shows the zone as entered
}

TEST_F(DataFormTest, ARefusedFieldIsToldAndTakesTheFocusBack) {
    data->DateEdit->SetText("31.04.2020");
    data->DateEdit->OnExit();
    EXPECT_NE(p->s.StatusText.find("Ошибка!"_cp), std::string::npos);
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(sounds[0], "Error.wav");
    EXPECT_TRUE(data->Timer->Enabled());
    EXPECT_EQ(data->RefocusEdit, data->DateEdit);
    data->TimerTimer();
    EXPECT_FALSE(data->Timer->Enabled());
    // an accepted field shows its leading zero as a blank
    data->DateEdit->SetText("05.03.1990");
    data->DateEdit->OnExit();
    EXPECT_EQ(data->DateEdit->Text(), " 5.03.1990");
    EXPECT_EQ(sounds.size(), 1u);
}

TEST_F(DataFormTest, KeysTypeIntoTheFieldsInOvertypeMode) {
    data->DateEdit->SetText("01.01.2000");
    data->DateEdit->OnEnter();
    for (int key : std::initializer_list<int>{'1', '7', vk::Space, '0', '8'})
        data->DateEdit->OnKeyDown(key, 0);
    EXPECT_EQ(data->DateEdit->Text(), "17.08.2000");
    EXPECT_EQ(data->CaretPos, 6);
    data->dTEdit->SetText("+00:00");
    data->dTEdit->OnEnter();
    for (int key : std::initializer_list<int>{vk::Subtract, '2'}) data->dTEdit->OnKeyDown(key, 0);
    EXPECT_EQ(data->dTEdit->Text(), "-00:00"); // 2 is no tens digit of an hour
}

TEST_F(DataFormTest, TheRecordSeparatorNeverReachesTheDataSet) {
    Fill("04.03.2024", "21:40:00", "+03:00", "55" + kDeg + "45'N", "037" + kDeg + "37'E");
    p->Commands.RunUICommand("DataForm,NameEdit", "Doe; John");
    p->Commands.RunUICommand("DataForm,CityEdit", "A;B");
    p->Commands.RunUICommand("DataForm,Memo", "note; more");
    ASSERT_TRUE(data->ApplyData());
    EXPECT_EQ(p->s.DatRec1[kRecName], "Doe, John");
    EXPECT_EQ(p->s.DatRec1[kRecCity], "A,B");
    EXPECT_EQ(p->s.DatRec1[kRecComment], "note, more");
    char ch = ';';
    data->NameEdit->OnKeyPress(ch);
    EXPECT_EQ(ch, ',');
}

TEST_F(DataFormTest, OkOnTheBackgroundSetAppliesTheMainSetAndKeepsTheBackgroundOnShow) {
    Fill("04.03.2024", "21:40:00", "+03:00", "55" + kDeg + "45'N", "037" + kDeg + "37'E");
    p->Commands.RunUICommand("DataForm,BackBtn", "");
    EXPECT_EQ(data->Caption(), data->BackCaption);
    Fill("01.01.2000", "12:00:00", "+00:00", "51" + kDeg + "30'N", "000" + kDeg + "07'W");
    p->Commands.RunUICommand("DataForm,OKBtn", "");
    EXPECT_EQ(p->s.ChartYear, 2024); // the main set is the chart
    EXPECT_EQ(p->s.DatRec2[kRecDate], "01.01.2000");
    EXPECT_EQ(p->s.DatRec2Applied[kRecDate], "01.01.2000");
    EXPECT_EQ(data->DateEdit->Text(), "01.01.2000"); // still the background set on show
    EXPECT_EQ(data->Caption(), data->BackCaption);
    p->Commands.RunUICommand("DataForm,TempBtn", "");
    EXPECT_EQ(data->DateEdit->Text(), "04.03.2024");
}

TEST_F(DataFormTest, ClosingWithoutOkBringsBackTheKindAndMethod) {
    data->OneButton->SetChecked(true);
    data->FormShow();
    const std::string method = data->ComboBox->Text();
    p->Commands.RunUICommand("DataForm,TwoButton", "");
    EXPECT_TRUE(data->ComboBox->isEnabled());
    data->ComboBox->SetItemIndex(9);
    data->Close();
    EXPECT_TRUE(data->OneButton->Checked());
    EXPECT_EQ(data->ComboBox->Text(), method);
    // with OK the double chart takes its method letter and the inner-outer aspecting
    data->show();
    Fill("04.03.2024", "21:40:00", "+03:00", "55" + kDeg + "45'N", "037" + kDeg + "37'E");
    p->Commands.RunUICommand("DataForm,TwoButton", "");
    data->ComboBox->SetItemIndex(9);
    p->Commands.RunUICommand("DataForm,OKBtn", "");
    EXPECT_TRUE(p->Flags.DoubleChart);
    EXPECT_EQ(p->s.DynMethod, 'S');
    EXPECT_EQ(kart->XGroup->ItemIndex(), 2);
    EXPECT_FALSE(kart->HelioBox->isEnabled());
}

TEST_F(DataFormTest, TimeStepsWriteTheMomentBack) {
    p->s.ChartYear = 0, p->s.ChartMonth = 1, p->s.ChartDay = 1;
    p->s.ChartHour = 5, p->s.ChartMinute = 7, p->s.ChartSecond = 9;
    data->dTEdit->SetText("+05:00");
    data->MomentToDatRec();
    EXPECT_EQ(p->s.DatRec1[kRecDate], " 1.01.0001B");
    EXPECT_EQ(p->s.DatRec1[kRecTime], " 5:07:09");
    data->MomentToDataForm();
    EXPECT_EQ(data->DateEdit->Text().substr(6, 4), "0001");
    EXPECT_TRUE(data->EraCheckBox->Checked());
    EXPECT_EQ(data->dTEdit->Text(), "+05:00"); // the zone never moves with a step
    // the background set on show while the steps move the main set: the fields stay
    p->Commands.RunUICommand("DataForm,BackBtn", "");
    const std::string shown = data->DateEdit->Text();
    p->s.ChartYear = 1999;
    data->MomentToDataForm();
    EXPECT_EQ(data->DateEdit->Text(), shown);
    // a sex text that is not a digit selects item 0
    p->s.DatRec1[kRecSex] = "x";
    data->DatRecToDataForm();
    EXPECT_EQ(data->SexGroup->ItemIndex(), 0);
}

TEST_F(DataFormTest, ThePlaceComesFromTheMap) {
    auto* main = new TForm("Form1");
    auto* geo = main->Add<TPanel>("GeoPanel");
    geo->SetCaption("48" + kDeg + "51'N  002" + kDeg + "21'E");
    auto* geoSet = new TForm("GeoSet");
    geoSet->Add<TCheckBox>("dTBox")->SetChecked(true);
    geoSet->Add<TCheckBox>("TimeBox")->SetChecked(false);
    data->TakeGeoMapPlace("Paris, France ");
    EXPECT_EQ(data->LatEdit->Text(), "48" + kDeg + "51'N");
    EXPECT_EQ(data->LongEdit->Text(), "002" + kDeg + "21'E");
    EXPECT_EQ(data->dTEdit->Text(), "+00:00"); // 2°21' east is the zone of Greenwich
    EXPECT_EQ(data->CityEdit->Text(), "Paris");
    EXPECT_EQ(data->CountryEdit->Text(), "France");
    data->TakeGeoMapPlace("Nowhere");
    EXPECT_EQ(data->CityEdit->Text(), "Nowhere");
    EXPECT_EQ(data->CountryEdit->Text(), "");
    geo->SetCaption("35" + kDeg + "41'N  139" + kDeg + "41'E");
    data->TakeGeoMapPlace("");
    EXPECT_EQ(data->dTEdit->Text(), "+09:00");
    EXPECT_EQ(data->CityEdit->Text(), "");
    // hidden, the window takes nothing
    data->hide();
    data->TakeGeoMapPlace("Elsewhere");
    EXPECT_EQ(data->CityEdit->Text(), "");
}

TEST_F(DataFormTest, TheTimeShiftsToTheZoneFromUniversalTime) {
    AstroDat& s = p->s;
    s.ChartYear = 2024, s.ChartMonth = 12, s.ChartDay = 31;
    s.ChartHour = 1, s.ChartMinute = 15, s.ChartSecond = 30;
    s.ChartZone = 180; // 22:15:30 UT of 30 December
    ShowUTLabels(s);
    data->ShiftTimeToZone(-300);
    EXPECT_EQ(data->DateEdit->Text(), "30.12.2024");
    EXPECT_EQ(data->TimeEdit->Text(), "17:15:30");
    data->ShiftTimeToZone(600);
    EXPECT_EQ(data->DateEdit->Text(), "31.12.2024");
    EXPECT_EQ(data->TimeEdit->Text(), "08:15:30");
    EXPECT_EQ(s.ChartDay, 31); // the chart moment stays
    EXPECT_EQ(s.ChartHour, 1);
}

TEST_F(DataFormTest, EnterAndTheArrowsMoveBetweenFields) {
    data->activateWindow();
    for (int i = 0; i < 50 && !data->isActiveWindow(); ++i) QCoreApplication::processEvents();
    if (!data->isActiveWindow()) GTEST_SKIP() << "no active window on this platform";
    data->NameEdit->setFocus();
    int key = vk::Return;
    data->OnKeyDown(key, 0);
    EXPECT_EQ(key, 0);
    EXPECT_NE(data->focusWidget(), data->NameEdit);
    data->TimeEdit->setFocus();
    key = vk::Up;
    data->OnKeyDown(key, 0);
    EXPECT_EQ(key, 0);
    EXPECT_NE(data->focusWidget(), data->TimeEdit);
    // on a button the keys are its own
    data->OKBtn->setFocus();
    key = vk::Down;
    data->OnKeyDown(key, 0);
    EXPECT_EQ(key, vk::Down);
}

TEST_F(DataFormTest, TheCommentWidensTheWindow) {
    const int narrow = data->Width();
    EXPECT_EQ(narrow, data->BackBtn->x() + data->BackBtn->width() + data->BaseBtn->x() + 10);
    p->Commands.RunUICommand("DataForm,CommentBtn", "");
    EXPECT_TRUE(data->Memo->isVisibleTo(data));
    EXPECT_EQ(data->Width(), data->Memo->x() + data->Memo->width() + 10);
    p->Commands.RunUICommand("DataForm,CommentBtn", "");
    EXPECT_EQ(data->Width(), narrow);
    // the buttons and fields all lie inside the narrow window
    for (const ui::Component& c : data->Components()) {
        QWidget* w = c.widget();
        if (w && w->parentWidget() == data->Client() && w != data->Memo) {
            EXPECT_LE(w->x() + w->width(), narrow) << c.Name();
        }
    }
}

// The chart base, the history and the command link put a record into the fields and apply
// them through the program's services.
TEST_F(DataFormTest, ARecordFromElsewhereIsCheckedBeforeItBecomesTheChart) {
    RegisterChartWindows(*p);
    AstroDat& s = p->s;
    s.DatRec1 = {"Base",
                 "0",
                 "04.03.2024",
                 "21:40:00",
                 "+03:00",
                 "55" + kDeg + "45'N",
                 " 37" + kDeg + "37'E",
                 "Moscow",
                 "Russia",
                 ""};
    p->Svc.DatRecToDataForm();
    ASSERT_TRUE(p->Svc.ApplyData());
    EXPECT_EQ(s.ChartDay, 4);
    const int runs = tech->RefreshCount;
    s.DatRec1[kRecDate] = "00.00.2024"; // would be a chart of day 0
    p->Svc.DatRecToDataForm();
    dialogs.asked.clear();
    EXPECT_FALSE(p->Svc.ApplyData());
    EXPECT_EQ(tech->RefreshCount, runs);
    EXPECT_EQ(s.ChartDay, 4);
    EXPECT_EQ(s.ChartMonth, 3);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].kind, MsgKind::Warning);
    // a day the calendar does not have: refused in the words of every way into the chart
    s.DatRec1[kRecDate] = "31.02.2024";
    p->Svc.DatRecToDataForm();
    dialogs.asked.clear();
    EXPECT_FALSE(p->Svc.ApplyData());
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text, MomentProblem(s, MomentField::Date, "31.02.2024"));
    EXPECT_EQ(s.ChartDay, 4);
}

} // namespace
} // namespace qor::chart
