// The calendar window in the whole program: the question and its three answers, a creation
// from the year's file or after its build, the year graph and the caption over it, the grid,
// the text file, the keys and the English texts.

#include "ForecastTestSupport.h"
#include "app/MainWindowFixture.h"
#include "core/ChartRecords.h"
#include "core/Files.h"
#include "core/Text.h"
#include "forecast/CalendForm.h"
#include "forecast/TabForm.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace qor::forecast {
namespace {

using shell::MainWindowTest;
using namespace ui;

class CalendWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        dialogs.asked.clear(); // the start-up's note on the window layout
        AstroDat& s = program->s;
        s.DatRec2 = s.DatRec1;
        s.DatRec2[kRecDate] = "10.06.2024";
        RegisterEphemeris(*program); // the real ephemeris window, not the fixture's stand-in
    }
    TCalend* Calend() { return dynamic_cast<TCalend*>(form1->OpenToolWindow("Calend")); }
    void BuildYear(int year) { ASSERT_TRUE(BuildAnnualEphemeris(program->s, year).ok()); }
    void Pump() { test_support::PumpEvents(); }
    void RunBuild() { test_support::RunEphemerisBuild(); }
};

TEST_F(CalendWindowTest, YesCreatesTheYearOfTheSecondDataSet) {
    BuildYear(2024);
    TCalend* c = Calend();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->CalendarCount(), 0);
    dialogs.messageAnswers = {MsgResult::Yes};
    c->Button1->Click();
    ASSERT_EQ(dialogs.asked.size(), 1u);
    const std::string& q = dialogs.asked[0].text;
    EXPECT_TRUE(q.starts_with(Cp("Календарь на 2024 год для:\r\n"))) << q;
    EXPECT_TRUE(q.ends_with(Cp("\r\nСоздать?"))) << q;
    EXPECT_NE(q.find(Trim(program->s.DatRec1[kRecDate])), std::string::npos);
    ASSERT_EQ(c->CalendarCount(), 366);
    EXPECT_EQ(c->Forecast().Year, 2024);

    // The graph: a line a day from row 11, a silver line at each first of a month.
    const QImage& g = c->Graph();
    const QRgb silver = qRgb(192, 192, 192);
    EXPECT_EQ(g.pixel(5, 11), silver);
    EXPECT_EQ(g.pixel(10, 11), silver);   // 1 January
    EXPECT_EQ(g.pixel(10, 71), silver);   // 1 March
    EXPECT_NE(g.pixel(10, 72), silver);   // 2 March: no line
    EXPECT_EQ(g.pixel(330, 72), silver);  // the right edge
    EXPECT_EQ(g.pixel(330, 376), silver); // 31 December, the last day
    EXPECT_NE(g.pixel(330, 377), silver);

    // The caption follows the pointer's row.
    c->PaintBoxMouseMove(40, 71);
    EXPECT_EQ(c->Caption(), Cp("Календарь - прогноз:     1.03.2024"));
    c->PaintBoxMouseMove(40, 8);
    EXPECT_EQ(c->Caption(), Cp("Календарь - прогноз"));

    // The grid shows the aspects; "Графика" uncovers the graph again.
    c->Button2->Click();
    EXPECT_TRUE(c->DrawGrid->isVisible());
    EXPECT_EQ(c->DrawGrid->RowCount(), 367);
    EXPECT_EQ(c->DrawGrid->ColCount(), 13);
    c->resize(900, 500);
    EXPECT_FALSE(c->grab().isNull()); // every cell drawn
    c->Button3->Click();
    EXPECT_FALSE(c->DrawGrid->isVisible());
}

TEST_F(CalendWindowTest, NoOpensTheBirthDataForATransitAndCancelCloses) {
    BuildYear(2024);
    TCalend* c = Calend();
    dialogs.messageAnswers = {MsgResult::No};
    c->Button1->Click();
    EXPECT_EQ(c->CalendarCount(), 0);
    EXPECT_TRUE(Visible("DataForm"));
    EXPECT_TRUE(program->Checked("DataForm", "TwoButton"));
    EXPECT_EQ(program->Text("DataForm", "ComboBox"), Cp("Транзит"));

    dialogs.messageAnswers = {MsgResult::Yes};
    c->Button1->Click();
    EXPECT_EQ(c->CalendarCount(), 366);
    dialogs.messageAnswers = {MsgResult::Cancel};
    c->Button1->Click();
    Pump();
    EXPECT_FALSE(Visible("Calend"));
}

TEST_F(CalendWindowTest, ASecondDataSetThatDoesNotReadComputesNothing) {
    program->s.DatRec2[kRecDate] = "31.02.2024";
    TCalend* c = Calend();
    c->Button1->Click();
    ASSERT_EQ(dialogs.asked.size(), 1u); // told, not asked
    EXPECT_NE(dialogs.asked[0].kind, MsgKind::Confirmation);
    EXPECT_EQ(c->CalendarCount(), 0);
}

TEST_F(CalendWindowTest, AMissingFileIsBuiltThenTheQuestionComesAgain) {
    TCalend* c = Calend();
    dialogs.messageAnswers = {MsgResult::Yes, MsgResult::Yes};
    c->Button1->Click();
    EXPECT_EQ(c->CalendarCount(), 0);
    RunBuild();
    EXPECT_TRUE(fs::exists(program->s.DataPath("Wrk\\Tab2024.wrk")));
    EXPECT_EQ(dialogs.asked.size(), 2u);
    EXPECT_EQ(c->CalendarCount(), 366);
}

TEST_F(CalendWindowTest, TheTextFile) {
    TCalend* c = Calend();
    c->FileButton->Click();
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text, GetMsgText(program->s, 74));
    const fs::path file = program->s.DataPath("Wrk\\Calendar.txt");
    EXPECT_FALSE(fs::exists(file));

    BuildYear(2024);
    dialogs.messageAnswers = {MsgResult::Yes};
    c->Button1->Click();
    dialogs.asked.clear();
    c->FileButton->Click();
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text, GetMsgText(program->s, 57, "Wrk\\Calendar.txt"));
    const std::string bytes = test::TempDir::Read(file);
    EXPECT_EQ(bytes.find('\0'), std::string::npos);
    const std::vector<std::string> lines = SplitTextLines(bytes);
    EXPECT_EQ(lines[0], GetMsgText(program->s, 81));
    EXPECT_EQ(lines[1], GetMsgText(program->s, 82, "2024"));
    EXPECT_NE(bytes.find(" 1.03  "), std::string::npos);
    EXPECT_NE(bytes.find("\r\n31.12  "), std::string::npos);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), GetMsgText(program->s, 105)), 12);
}

TEST_F(CalendWindowTest, EscF1AndEnglish) {
    TCalend* c = Calend();
    opened.clear();
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QCoreApplication::sendEvent(c, &f1);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "calendar_forecast.html");
    EXPECT_TRUE(fs::exists(shell::kShippedData / "Manual" / "calendar_forecast.html"));
    EXPECT_TRUE(fs::exists(shell::kShippedData / "EManual" / "calendar_forecast.html"));
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(c, &esc);
    Pump();
    EXPECT_FALSE(Visible("Calend"));

    StartInEnglish();
    program->s.DatRec2 = program->s.DatRec1;
    program->s.DatRec2[kRecDate] = "10.06.2024";
    c = Calend();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Button1->Caption(), "Create");
    dialogs.asked.clear();
    dialogs.messageAnswers = {MsgResult::Cancel};
    c->Button1->Click();
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_TRUE(dialogs.asked[0].text.starts_with("Calendar on 2024 year for:"));
    EXPECT_TRUE(dialogs.asked[0].text.ends_with("Create with these data?"));
    c = Calend();
    const std::vector<std::string>* lines = nullptr;
    ASSERT_TRUE(program->English.Lines(lines));
    EXPECT_EQ(EnglishCoverageProblems({c}, *lines, true), std::vector<std::string>{});
}

} // namespace
} // namespace qor::forecast
