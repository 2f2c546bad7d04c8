// The chart history with the birth-data window: charts recorded on OK, the window "CHist" and
// its grid driven through command paths, entries run again (the newest then), the second data
// set kept or loaded, entries written in the other language, the maximum, lines edited by hand.
#include "ChartWindowsFixture.h"

#include "chart/CHistory.h"
#include "chart/HistoryFile.h"
#include "core/ChartRecords.h"
#include "core/Text.h"
#include "ui/EnglishTexts.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>

namespace qor::chart {
namespace {

using namespace ui;
namespace fs = std::filesystem;
const std::string kDeg(1, '\xB0');

struct Chart {
    std::string name, date, time, zone, lat, lon;
};

// One history line as the file holds it.
std::string Line(const std::string& kind, const Chart& a, const Chart* b = nullptr) {
    auto set = [](const Chart& c) {
        return c.name + ";" + c.date + ";" + c.time + ";" + c.zone + ";" + c.lat + ";" + c.lon +
               ";City;Country;M;;";
    };
    return kind + ";" + set(a) + (b ? set(*b) : std::string(10, ';'));
}

const Chart kAnna{"Anna",   "04.03.1975",         "21:40:07",
                  "+03:00", "55" + kDeg + "45'N", " 37" + kDeg + "37'E"};
const Chart kBoris{"Boris",  "12.07.1983",         "06:15:00",
                   "+02:00", "50" + kDeg + "27'N", " 30" + kDeg + "31'E"};
const Chart kVera{"Vera",   "29.02.2000",         "12:00:00",
                  "+00:00", "51" + kDeg + "30'N", "000" + kDeg + "07'W"};
const Chart kGleb{"Gleb",   "01.01.2010",         "00:00:00",
                  "-05:00", "40" + kDeg + "43'N", " 74" + kDeg + "00'W"};

class HistoryWindowTest : public ChartWindowsTest {
protected:
    void SetUp() override {
        ChartWindowsTest::SetUp();
        fs::copy_file(fs::path(QOR_SOURCE_DIR) / "data" / "English.txt", dir / "English.txt");
        data->AddChartHistory = [this] { AddChartHistory(*p); };
        ASSERT_TRUE(EnsureHistoryFile(p->s).ok());
        data->show();
    }
    void TearDown() override {
        if (TForm* w = Screen().FindForm("CHist")) delete w;
        ChartWindowsTest::TearDown();
    }
    void Run(const std::string& target, const std::string& command = {}) {
        p->Commands.RunUICommand(target, command);
    }
    std::string Query(const std::string& target, const std::string& request = {}) {
        return p->Commands.QueryUIValue(target, request);
    }
    // A chart typed into the birth-data window and confirmed.
    void Type(const Chart& c) {
        Run("DataForm,NameEdit", c.name);
        Run("DataForm,DateEdit", c.date);
        Run("DataForm,TimeEdit", c.time);
        Run("DataForm,dTEdit", c.zone);
        Run("DataForm,LatEdit", c.lat);
        Run("DataForm,LongEdit", c.lon);
    }
    void Confirm(const Chart& c, const char* kindButton = "OneButton", int method = 0) {
        Type(c);
        Run(std::string("DataForm,") + kindButton, "");
        if (std::string(kindButton) == "TwoButton") data->ComboBox->SetItemIndex(method);
        Run("DataForm,OKBtn", "");
    }
    std::vector<std::string> Lines() {
        std::vector<std::string> lines;
        EXPECT_TRUE(ReadHistory(p->s, lines).ok());
        return lines;
    }
    void PutLines(const std::vector<std::string>& lines) {
        ASSERT_TRUE(WriteHistory(p->s, lines).ok());
    }
    TCHist* Open() {
        auto* w = dynamic_cast<TCHist*>(Screen().FindForm("CHist"));
        if (!w) w = new TCHist(*p);
        w->show();
        return w;
    }
    std::string HistoryBytes() { return test::TempDir::Read(dir / "CHist.ini"); }
};

TEST_F(HistoryWindowTest, EveryConfirmedChartIsRecordedAndListedNewestFirst) {
    Confirm(kAnna);
    Confirm(kBoris, "HorarButton");
    data->BackBtnClick(); // the background set: Vera
    Type(kVera);
    data->TempBtnClick();
    Confirm(kGleb, "TwoButton", 9);
    Run("DataForm,NameEdit", "");
    Run("DataForm,OKBtn", ""); // a chart without a name is not recorded

    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(SplitHistoryLine(lines[0])[0], "Натал"_cp);
    EXPECT_EQ(SplitHistoryLine(lines[1])[0], "Хорар"_cp);
    EXPECT_EQ(SplitHistoryLine(lines[2])[0], "Соляр"_cp);
    EXPECT_EQ(SplitHistoryLine(lines[2])[11], "Vera");
    EXPECT_EQ(SplitHistoryLine(lines[0])[11], ""); // a single chart has no second set

    TCHist* w = Open();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(Query("CHist,StringGrid", "RowCount"), "4");
    const std::vector<std::vector<std::string>> rows = {
        {"Тип карты"_cp, "Имя"_cp, "Дата"_cp, "Время"_cp, "Имя(Фон)"_cp, "Дата(Фон)"_cp,
         "Время(Фон)"_cp},
        {"Соляр"_cp, "Gleb", "01.01.2010", "00:00:00", "Vera", "29.02.2000", "12:00:00"},
        {"Хорар"_cp, "Boris", "12.07.1983", "06:15:00", "", "", ""},
        {"Натал"_cp, "Anna", "04.03.1975", "21:40:07", "", "", ""}};
    for (int r = 0; r < 4; ++r)
        for (int c = 1; c <= 7; ++c)
            EXPECT_EQ(w->StringGrid->Cell(c, r), rows[r][c - 1]) << r << "," << c;

    // A chart confirmed while the window is open shows at once.
    Confirm(kAnna);
    EXPECT_EQ(Query("CHist,StringGrid", "RowCount"), "5");
    EXPECT_EQ(w->StringGrid->Cell(2, 1), "Anna");
}

TEST_F(HistoryWindowTest, AnEntryRunBecomesTheNewestAndTheOthersKeepTheirOrder) {
    PutLines({Line("Натал"_cp, kAnna), Line("Натал"_cp, kBoris), Line("Хорар"_cp, kVera),
              Line("Натал"_cp, kGleb)});
    TCHist* w = Open();
    ASSERT_NE(w, nullptr);
    // Row 3 (Boris) through the grid's command path and Enter.
    Run("CHist,StringGrid", "Row 3");
    Run("CHist,StringGrid", "KeyDown,13");
    EXPECT_EQ(p->s.DatRec1Applied[kRecName], "Boris");
    EXPECT_EQ(p->s.DatRec1Applied[kRecDate], "12.07.1983");
    EXPECT_EQ(data->NameEdit->Text(), "Boris");
    EXPECT_EQ(p->s.ChartYear, 1983);
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 4u);
    const char* order[] = {"Anna", "Vera", "Gleb", "Boris"}; // oldest first
    for (int k = 0; k < 4; ++k) EXPECT_EQ(SplitHistoryLine(lines[k])[1], order[k]) << k;
    EXPECT_EQ(w->StringGrid->Cell(2, 1), "Boris");
    EXPECT_EQ(w->StringGrid->Cell(2, 2), "Gleb");

    // A horary entry comes back horary; the menu item runs the row the mouse chose.
    w->HistRow = 3;
    Run("CHist,NCalc", "");
    EXPECT_EQ(p->s.DatRec1Applied[kRecName], "Vera");
    EXPECT_TRUE(p->Flags.HoraryChart);
    EXPECT_TRUE(data->HorarButton->Checked());
    EXPECT_EQ(SplitHistoryLine(Lines().back())[1], "Vera");

    // Rows outside the list run nothing.
    const std::string before = HistoryBytes();
    for (int row : {0, -1, 5, 99}) {
        w->HistRow = row;
        Run("CHist,NCalc", "");
        EXPECT_FALSE(RunChartHistory(*p, row, false)) << row;
    }
    EXPECT_EQ(HistoryBytes(), before);
    EXPECT_EQ(p->s.DatRec1Applied[kRecName], "Vera");
}

TEST_F(HistoryWindowTest, TheSecondDataSetIsKeptOrLoadedByTheKindOfEntry) {
    const DatRec current = [&] {
        DatRec r{};
        r[kRecName] = "Current";
        r[kRecDate] = "05.05.2005";
        r[kRecTime] = "05:05:05";
        r[kRecZone] = "+05:00";
        r[kRecLat] = "10" + kDeg + "00'N";
        r[kRecLong] = " 10" + kDeg + "00'E";
        return r;
    }();
    struct Case {
        std::string line;
        bool keep;
        const char* backName; // the second set's name after the run
        bool doubleChart;
    };
    const Case cases[] = {
        {Line("Натал"_cp, kAnna), false, "Current", false}, // nothing recorded, nothing loaded
        {Line("Натал"_cp, kAnna), true, "Current", false},
        {Line("Транзит"_cp, kAnna, &kBoris), false, "Boris", true},
        {Line("Транзит"_cp, kAnna, &kBoris), true, "Current", true}, // the background stays
        {Line("Соляр"_cp, kAnna, &kBoris), true, "Current", true},
        {Line("Синастрия"_cp, kAnna, &kBoris), true, "Boris", true}, // a synastry's partner
        {Line("Synastry", kAnna, &kBoris), true, "Boris", true},
        {Line("Синастрия"_cp, kAnna, &kBoris), false, "Boris", true},
    };
    for (const Case& c : cases) {
        PutLines({c.line});
        p->s.DatRec2 = current;
        ASSERT_TRUE(RunChartHistory(*p, 1, c.keep)) << c.line;
        EXPECT_EQ(p->s.DatRec2[kRecName], c.backName) << c.line << " keep " << c.keep;
        EXPECT_EQ(p->s.DatRec1Applied[kRecName], "Anna") << c.line;
        EXPECT_EQ(p->Flags.DoubleChart, c.doubleChart) << c.line;
    }
}

TEST_F(HistoryWindowTest, ANameWithALineBreakComesBackWithIt) {
    Chart twoLines = kAnna;
    twoLines.name = "Анна|Мария"_cp;
    PutLines({Line("Натал"_cp, twoLines)});
    ASSERT_TRUE(RunChartHistory(*p, 1, false));
    EXPECT_EQ(p->s.DatRec1Applied[kRecName], "Анна\r\nМария"_cp);
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(SplitHistoryLine(lines[0])[1], "Анна|Мария"_cp);
}

TEST_F(HistoryWindowTest, EntriesWrittenInEnglishRunInRussianAsTheyWere) {
    PutLines({Line("Natal", kAnna), Line("Solar return", kBoris, &kVera), Line("Horar", kGleb)});
    ASSERT_TRUE(RunChartHistory(*p, 3, false)); // "Natal": a single chart
    EXPECT_TRUE(data->OneButton->Checked());
    EXPECT_FALSE(p->Flags.DoubleChart);
    EXPECT_EQ(SplitHistoryLine(Lines().back())[0], "Натал"_cp);

    ASSERT_TRUE(RunChartHistory(*p, 3, false)); // "Solar return": the solar return
    EXPECT_TRUE(data->TwoButton->Checked());
    EXPECT_TRUE(p->Flags.DoubleChart);
    EXPECT_EQ(data->ComboBox->ItemIndex(), 9);
    EXPECT_EQ(p->s.DynMethod, 'S');
    EXPECT_EQ(p->s.DatRec2[kRecName], "Vera");
    EXPECT_EQ(SplitHistoryLine(Lines().back())[0], "Соляр"_cp);

    ASSERT_TRUE(RunChartHistory(*p, 3, false)); // "Horar"
    EXPECT_TRUE(p->Flags.HoraryChart);

    // The grid shows the Russian words in Russian mode.
    TCHist* w = Open();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->StringGrid->Cell(1, 1), "Хорар"_cp);
    EXPECT_EQ(w->StringGrid->Cell(1, 2), "Соляр"_cp);
    EXPECT_EQ(w->StringGrid->Cell(1, 3), "Натал"_cp);
}

TEST_F(HistoryWindowTest, TheMaximumTrimsTheOldestAndABadOneBecomesAHundred) {
    struct Case {
        const char* text;
        int before;
        int after;
        const char* shown; // the settings' text afterwards
    };
    const Case cases[] = {
        {"100", 100, 100, "100"}, {"0", 100, 100, "100"}, {"-5", 100, 100, "100"},
        {"abc", 100, 100, "100"}, {"", 3, 4, "100"},      {"3", 5, 3, "3"},
        {"1", 0, 1, "1"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines;
        for (int k = 0; k < c.before; ++k)
            lines.push_back(Line("Натал"_cp, {"Old" + std::to_string(k), kAnna.date, kAnna.time,
                                              kAnna.zone, kAnna.lat, kAnna.lon}));
        PutLines(lines);
        kart->HistListMax->SetText(c.text);
        Confirm(kBoris);
        const auto now = Lines();
        ASSERT_EQ(static_cast<int>(now.size()), c.after) << c.text;
        EXPECT_EQ(SplitHistoryLine(now.back())[1], "Boris") << c.text;
        if (c.before >= c.after && c.after > 1)
            EXPECT_EQ(SplitHistoryLine(now.front())[1],
                      "Old" + std::to_string(c.before - c.after + 1))
                << c.text;
        EXPECT_EQ(kart->HistListMax->Text(), c.shown) << c.text;
    }
}

TEST_F(HistoryWindowTest, ALineEditedByHandChangesNothingAndSaysWhichField) {
    Confirm(kGleb);
    const DatRec applied = p->s.DatRec1Applied;
    const auto longitudes = p->s.PlanetLon;
    struct Case {
        std::string line;
        const char* says; // a word of the message
    };
    Chart badDate = kAnna;
    badDate.date = "31.02.1990";
    Chart badZone = kAnna;
    badZone.zone = "+25:00";
    Chart badLat = kAnna;
    badLat.lat = "95" + kDeg + "00'N";
    const Case cases[] = {
        {Line("Натал"_cp, badDate), "дата"},
        {Line("Натал"_cp, badZone), "пояс"},
        {Line("Натал"_cp, badLat), "широта"},
        {Line("Транзит"_cp, kAnna, &badDate), "фоновые"},
        {"Натал;Short;"_cp, "дата"}, // fewer than 21 fields
        {Line("Прогноз"_cp, kAnna), "Прогноз"},
    };
    for (const Case& c : cases) {
        PutLines({Line("Натал"_cp, kVera), c.line, Line("Натал"_cp, kBoris)});
        const std::string before = HistoryBytes();
        dialogs.asked.clear();
        EXPECT_FALSE(RunChartHistory(*p, 2, false)) << c.line;
        ASSERT_EQ(dialogs.Messages().size(), 1u) << c.line;
        EXPECT_NE(dialogs.Messages()[0].find(Cp(c.says)), std::string::npos)
            << dialogs.Messages()[0];
        EXPECT_EQ(HistoryBytes(), before) << c.line; // the entry keeps its place
        EXPECT_EQ(p->s.DatRec1Applied, applied) << c.line;
        EXPECT_EQ(p->s.PlanetLon, longitudes) << c.line;
        EXPECT_EQ(data->NameEdit->Text(), "Gleb") << c.line;
    }

    // A short line shows its fields and empty cells.
    PutLines({"Натал;Short"_cp});
    TCHist* w = Open();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->StringGrid->Cell(2, 1), "Short");
    for (int c = 3; c <= 7; ++c) EXPECT_EQ(w->StringGrid->Cell(c, 1), "") << c;
}

TEST_F(HistoryWindowTest, DeletingTheSelectedRowsRemovesTheirEntries) {
    PutLines({Line("Натал"_cp, kAnna), Line("Натал"_cp, kBoris), Line("Натал"_cp, kVera),
              Line("Натал"_cp, kGleb)});
    TCHist* w = Open();
    ASSERT_NE(w, nullptr);
    w->StringGrid->SetSelection(2, 3); // Vera and Boris
    Run("CHist,NDel", "");
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(SplitHistoryLine(lines[0])[1], "Anna");
    EXPECT_EQ(SplitHistoryLine(lines[1])[1], "Gleb");
    EXPECT_EQ(Query("CHist,StringGrid", "RowCount"), "3");

    // A block reaching past the list deletes what is there.
    w->StringGrid->SetSelection(1, 2);
    Run("CHist,NDel", "");
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(Query("CHist,StringGrid", "RowCount"), "1");
    Run("CHist,NDel", ""); // nothing left: nothing happens
    EXPECT_TRUE(Lines().empty());
}

TEST_F(HistoryWindowTest, TheMouseChoosesTheRowAndADoubleClickRunsIt) {
    PutLines({Line("Натал"_cp, kAnna), Line("Натал"_cp, kBoris), Line("Натал"_cp, kVera)});
    TCHist* w = Open();
    ASSERT_NE(w, nullptr);
    QWidget* vp = w->StringGrid->viewport();
    const QRect cell = w->StringGrid->visualRect(w->StringGrid->model()->index(3, 2));
    QMouseEvent press(QEvent::MouseButtonPress, cell.center(), vp->mapToGlobal(cell.center()),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(vp, &press);
    EXPECT_EQ(w->HistRow, 3);
    EXPECT_TRUE(w->PopupMenu->isVisible());
    w->PopupMenu->hide();

    QMouseEvent dbl(QEvent::MouseButtonDblClick, cell.center(), vp->mapToGlobal(cell.center()),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(vp, &dbl);
    EXPECT_EQ(p->s.DatRec1Applied[kRecName], "Anna");
    EXPECT_EQ(w->HistRow, 1);
    EXPECT_EQ(w->StringGrid->Row(), 1);
    EXPECT_EQ(w->StringGrid->Cell(2, 1), "Anna");

    // Esc closes the window.
    Run("CHist,StringGrid", "KeyDown,27");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Screen().FindForm("CHist"), nullptr);
}

TEST_F(HistoryWindowTest, AHistoryThatCannotBeSavedStaysAsItWasAndTheUserIsTold) {
    PutLines({Line("Натал"_cp, kAnna)});
    fs::permissions(dir / "CHist.ini", fs::perms::owner_read);
    const std::string before = HistoryBytes();
    Confirm(kBoris);
    EXPECT_EQ(p->s.DatRec1Applied[kRecName], "Boris"); // the chart is computed all the same
    EXPECT_EQ(HistoryBytes(), before);
    ASSERT_FALSE(dialogs.Messages().empty());
    EXPECT_NE(dialogs.Messages().back().find("CHist.ini"), std::string::npos);
}

TEST_F(HistoryWindowTest, TheWindowSpeaksEnglishInEnglishMode) {
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(dir / "English.txt", lines).ok());
    TCHist* w = Open();
    ASSERT_NE(w, nullptr);
    for (const std::string& problem : EnglishCoverageProblems({w}, lines, true))
        ADD_FAILURE() << Cp1251ToUtf8(problem);
    delete w;

    PutLines({Line("Натал"_cp, kAnna), Line("Прогрессия: 1день=1году"_cp, kBoris, &kVera)});
    p->s.EnglishMode = true;
    w = Open();
    p->English.ApplyEnglishToForm("CHist");
    EXPECT_EQ(w->Caption(), "Chart history");
    EXPECT_EQ(w->NCalc->Caption(), "Run");
    const char* titles[] = {"Chart Type", "Name",       "Date",      "Time",
                            "Name(Back)", "Date(Back)", "Time(Back)"};
    for (int c = 1; c <= 7; ++c) EXPECT_EQ(w->StringGrid->Cell(c, 0), titles[c - 1]);
    EXPECT_EQ(w->StringGrid->Cell(1, 1), "Progression: 1 day = 1 year");
    EXPECT_EQ(w->StringGrid->Cell(1, 2), "Natal");
}

} // namespace
} // namespace qor::chart
