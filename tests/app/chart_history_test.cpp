// The chart history in the running program: a chart confirmed in one language runs again after
// a restart in the other, and the start-up runs the last double chart again when asked to.
#include "MainWindowFixture.h"

#include "chart/HistoryFile.h"
#include "core/ChartRecords.h"
#include "core/Text.h"
#include "shell/CommLink.h"

#include <QCoreApplication>

namespace qor::shell {
namespace {

const std::string kDeg(1, '\xB0');

class ChartHistoryTest : public MainWindowTest {
protected:
    void Type(const std::string& name, const std::string& date, const std::string& time) {
        UICommands& c = program->Commands;
        c.RunUICommand("DataForm,", "Show");
        const std::pair<const char*, std::string> fields[] = {{"NameEdit", name},
                                                              {"DateEdit", date},
                                                              {"TimeEdit", time},
                                                              {"dTEdit", "+03:00"},
                                                              {"LatEdit", "55" + kDeg + "45'N"},
                                                              {"LongEdit", " 37" + kDeg + "37'E"}};
        for (const auto& [edit, text] : fields)
            c.RunUICommand(std::string("DataForm,") + edit, text);
    }
    void Confirm(const std::string& name, const std::string& date, const std::string& time) {
        Type(name, date, time);
        program->Commands.RunUICommand("DataForm,OKBtn", "");
    }
    std::vector<std::string> Lines() {
        std::vector<std::string> lines;
        EXPECT_TRUE(chart::ReadHistory(program->s, lines).ok());
        return lines;
    }
    std::string GetLong() { return form1->Link->MsgGetLong(false); }
};

TEST_F(ChartHistoryTest, AChartConfirmedInRussianRunsAgainInEnglish) {
    Confirm(Cp("Пётр Иванов"), " 4.03.1975", "21:40:07");
    const std::string longitudes = GetLong();
    const DatRec typed = program->s.DatRec1Applied;
    Confirm("Other", "01.01.2001", "10:00:00");
    ASSERT_EQ(Lines().size(), 2u);

    StartInEnglish();
    ASSERT_TRUE(form1 && form1->Started);
    program->Tech->MainClock->SetEnabled(false);
    UICommands& c = program->Commands;
    ASSERT_NE(GetLong(), longitudes);
    c.RunUICommand("Form1,HistButton", "");
    ASSERT_TRUE(Visible("CHist"));
    EXPECT_EQ(c.QueryUIValue("CHist,StringGrid", "RowCount"), "3");
    auto* w = Screen().FindForm("CHist");
    EXPECT_EQ(w->Find<TDrawGrid>("StringGrid")->Cell(1, 0), "Chart Type");
    EXPECT_EQ(w->Find<TDrawGrid>("StringGrid")->Cell(1, 2), "Natal");
    c.RunUICommand("CHist,StringGrid", "Row 2");
    c.RunUICommand("CHist,StringGrid", "KeyDown,13");
    EXPECT_EQ(GetLong(), longitudes);
    EXPECT_EQ(program->s.DatRec1Applied, typed);
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 2u);
    const chart::HistoryFields newest = chart::SplitHistoryLine(lines.back());
    EXPECT_EQ(newest[1], Cp("Пётр Иванов"));
    EXPECT_EQ(newest[0], Cp("Натал")); // written in Russian in English mode too
    EXPECT_EQ(w->Find<TDrawGrid>("StringGrid")->Cell(2, 1), Cp("Пётр Иванов"));
}

TEST_F(ChartHistoryTest, TheStartRunsTheLastDoubleChartAgainWhenAsked) {
    struct Case {
        int method;       // the double chart's method item
        bool realBack;    // the background at the start is the current time
        bool runs;        // the entry is run again at the start
        const char* back; // the second data set's name afterwards (nullptr: not the entry's)
    };
    const Case cases[] = {
        {0, true, true, nullptr}, // a transit to now
        {0, false, true, "Partner"},
        {9, false, true, "Partner"},
        {1, false, false, nullptr}, // a synastry is not run at the start
    };
    for (const Case& k : cases) {
        Stop();
        std::filesystem::remove(dir / "CHist.ini");
        Start();
        UICommands& c = program->Commands;
        program->SetChecked("GenSet", "LastChartRunBox", true);
        program->SetChecked("GenSet", "BckRealStartBox", k.realBack);
        Type("Partner", "12.07.1983", "06:15:00");
        c.RunUICommand("DataForm,BackBtn", "");
        Type("Partner", "12.07.1983", "06:15:00");
        c.RunUICommand("DataForm,TempBtn", "");
        Type("Main", "04.03.1975", "21:40:07");
        c.RunUICommand("DataForm,TwoButton", "");
        // The method chosen from the list.
        Screen().FindForm("DataForm")->Find<TComboBox>("ComboBox")->SetItemIndex(k.method);
        c.RunUICommand("DataForm,OKBtn", "");
        ASSERT_EQ(program->s.DatRec2Applied[kRecName], "Partner") << k.method;
        ASSERT_EQ(Lines().size(), 1u);
        const std::string longitudes = GetLong();

        Stop();
        // The end of a run always keeps "Транзит" as the method; a synastry at the start comes
        // only from a state file edited by hand.
        if (k.method == 1) {
            std::vector<std::string> state;
            ASSERT_TRUE(ReadTextLines(dir / "main.ini", state).ok());
            for (std::string& line : state)
                if (line == Cp("DataForm,ComboBox,Транзит"))
                    line = Cp("DataForm,ComboBox,Синастрия");
            ASSERT_TRUE(WriteTextFileAtomic(dir / "main.ini", state).ok());
        }
        Start();
        EXPECT_EQ(program->s.DatRec1Applied[kRecName] == "Main", k.runs) << k.method;
        if (k.runs) {
            EXPECT_EQ(GetLong(), longitudes) << k.method;
            EXPECT_TRUE(program->Flags.DoubleChart);
        }
        if (k.back)
            EXPECT_EQ(program->s.DatRec2[kRecName], k.back) << k.method;
        else
            EXPECT_NE(program->s.DatRec2[kRecName], "Partner") << k.method;
    }
}

} // namespace
} // namespace qor::shell
