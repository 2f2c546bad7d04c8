// Sorting a chart base page and the composite chart of its marked records: the keys against
// Python's sort of the code page 1251 bytes, Julian days against Meeus' worked values, and the
// window through its command paths.
#include "ChartWindowsFixture.h"

#include "chart/Base.h"
#include "chart/BasePages.h"
#include "core/AstroMath.h"
#include "core/Files.h"
#include "core/Text.h"

#include <cmath>

namespace qor::chart {
namespace {

namespace fs = std::filesystem;
const std::string kDeg(1, '\xB0');

BaseRow Rec(const std::string& name, const std::string& date = "01.01.2000",
            const std::string& time = "12:00:00", const std::string& zone = "+00:00",
            const std::string& place = "", const std::string& lat = "00\xB0" "00'N",
            const std::string& lon = "000\xB0" "00'E") {
    BaseRow r;
    r[1] = name, r[2] = date, r[3] = time, r[4] = zone, r[5] = place, r[6] = lat, r[7] = lon;
    return r;
}

std::vector<std::string> Column(const std::vector<BaseRow>& rows, int c) {
    std::vector<std::string> out;
    for (const BaseRow& r : rows) out.push_back(r[static_cast<std::size_t>(c)]);
    return out;
}

TEST(BaseSort, NamesInCodePageOrderEmptyLast) {
    // python3: sorted(names, key=lambda s: s.encode('cp1251')), the empty name put last
    const char* given[] = {"яблоко", "Яков", "Борис", "", "борис", "Anna", "anna", "Zed", "Ёж",
                           "ёж", "Эрик", "эра", "Юлия", "Ян", "Щука", "Ёлка", "Ещё"};
    const char* python[] = {"Anna", "Zed", "anna", "Ёж", "Ёлка", "ёж", "Борис", "Ещё", "Щука",
                            "Эрик", "Юлия", "Яков", "Ян", "борис", "эра", "яблоко", ""};
    std::vector<BaseRow> rows;
    for (const char* n : given) rows.push_back(Rec(Cp(n)));
    ASSERT_TRUE(SortRecordRows(rows, 1));
    std::vector<std::string> want;
    for (const char* n : python) want.push_back(Cp(n));
    EXPECT_EQ(Column(rows, 1), want);
}

TEST(BaseSort, EveryColumnByItsValue) {
    struct Case {
        int col;
        std::vector<BaseRow> rows;
        std::vector<std::string> order; // names after the sort
    } cases[] = {
        {2,
         {Rec("a", "01.01.2000"), Rec("b", "15.03.0044B"), Rec("c", "01.01.0001"),
          Rec("d", "31.12.0001B"), Rec("e", "31.02.1990")},
         {"b", "d", "c", "a", "e"}}, // years before the era first, an unreadable date last
        {3, {Rec("a", "", "21:00:00"), Rec("b", "", " 9:05:00"), Rec("c", "", "09:04:59")},
         {"c", "b", "a"}},
        {4, {Rec("a", "", "", "+03:00"), Rec("b", "", "", "-05:30"), Rec("c", "", "", "+00:00")},
         {"b", "c", "a"}},
        {5,
         {Rec("a", "", "", "", Cp("Москва, Австралия")), Rec("b", "", "", "", Cp("Анапа, Япония")),
          Rec("c", "", "", "", Cp(", Канада")), Rec("d", "", "", "", Cp("Москва, Андорра"))},
         {"b", "a", "d", "c"}}, // by the city alone, equal cities keep their order
        {6,
         {Rec("a", "", "", "", "", "10" + kDeg + "00'N"), Rec("b", "", "", "", "", "10" + kDeg + "00'S"),
          Rec("c", "", "", "", "", "00" + kDeg + "30'N")},
         {"b", "c", "a"}},
        {7,
         {Rec("a", "", "", "", "", "", "010" + kDeg + "00'E"),
          Rec("b", "", "", "", "", "", "170" + kDeg + "00'W"),
          Rec("c", "", "", "", "", "", "000" + kDeg + "00'E")},
         {"b", "c", "a"}},
    };
    for (auto& c : cases) {
        ASSERT_TRUE(SortRecordRows(c.rows, c.col)) << c.col;
        EXPECT_EQ(Column(c.rows, 1), c.order) << "column " << c.col;
    }
    std::vector<BaseRow> sexes{Rec("w"), Rec("none"), Rec("m")};
    sexes[0][8] = Cp("Ж"), sexes[1][8] = "\x97", sexes[2][8] = "M";
    ASSERT_TRUE(SortRecordRows(sexes, 8));
    EXPECT_EQ(Column(sexes, 1), (std::vector<std::string>{"m", "w", "none"}));
    // the comment column is not sorted
    std::vector<BaseRow> kept{Rec("b"), Rec("a")};
    kept[0][9] = "z", kept[1][9] = "a";
    EXPECT_FALSE(SortRecordRows(kept, 9));
    EXPECT_EQ(Column(kept, 1), (std::vector<std::string>{"b", "a"}));
}

TEST(BaseSort, APageOf32000RecordsIsSortedWhole) {
    std::vector<BaseRow> rows;
    for (int i = 0; i < 32000; ++i)
        rows.push_back(Rec("n" + std::to_string((i * 7919) % 32000),
                           std::to_string(1 + i % 28) + ".0" + std::to_string(1 + i % 9) + "." +
                               std::to_string(1000 + (i * 37) % 1000)));
    ASSERT_TRUE(SortRecordRows(rows, 2));
    ASSERT_EQ(rows.size(), 32000u);
    for (std::size_t i = 1; i < rows.size(); ++i)
        ASSERT_FALSE(RecordLess(rows[i], rows[i - 1], 2)) << i;
}

TEST(BaseComposite, MeanMomentAndPlace) {
    AstroDat s;
    // one record: its moment in Universal Time, zone "+00:00", its coordinates
    std::vector<BaseRow> one{Rec("One", "04.03.1975", "21:40:00", "+03:00", "",
                                 "55" + kDeg + "45'N", "037" + kDeg + "37'E")};
    one[0][0] = "|";
    CompositeChart c = CompositeOfMarked(s, one);
    ASSERT_TRUE(c.Ok) << c.Problem;
    EXPECT_EQ(c.Moment, (ChartMoment{1975, 3, 4, 18, 40, 0, 0, (55 + 45 / 60.0) * kDegToRad,
                                     (37 + 37 / 60.0) * kDegToRad}));
    EXPECT_EQ(c.Names, "One, ");
    // Meeus ch. 7: 2000 January 1.5 = JD 2451545.0, the mean of the days before and after
    std::vector<BaseRow> j2000{Rec("A", "31.12.1999"), Rec("B", "02.01.2000"), Rec("C")};
    j2000[0][0] = j2000[1][0] = "|";
    c = CompositeOfMarked(s, j2000);
    ASSERT_TRUE(c.Ok);
    EXPECT_EQ(JulianDayUT(c.Moment), 2451545.0);
    EXPECT_EQ(c.Names, "A, B, "); // the unmarked record is no part of it
    // 170°E and 170°W meet at 180°, not at 0°
    std::vector<BaseRow> date{Rec("E", "01.01.2000", "12:00:00", "+00:00", "", "10" + kDeg + "00'N",
                                  "170" + kDeg + "00'E"),
                              Rec("W", "01.01.2000", "12:00:00", "+00:00", "", "30" + kDeg + "00'S",
                                  "170" + kDeg + "00'W")};
    date[0][0] = date[1][0] = "|";
    c = CompositeOfMarked(s, date);
    ASSERT_TRUE(c.Ok);
    EXPECT_NEAR(std::fabs(c.Moment.Long), kPi, 1e-9);
    EXPECT_NEAR(c.Moment.Lat, -10 * kDegToRad, 1e-12);
    // a mean of 59.6 s is the next minute, never ":60"
    std::vector<BaseRow> secs;
    for (const char* t : {"12:00:59", "12:00:59", "12:00:59", "12:00:59", "12:01:02"}) {
        secs.push_back(Rec("s", "01.01.2000", t));
        secs.back()[0] = "|";
    }
    c = CompositeOfMarked(s, secs);
    ASSERT_TRUE(c.Ok);
    EXPECT_EQ(c.Moment.Minute, 1);
    EXPECT_EQ(c.Moment.Second, 0);
    // a marked record that does not read refuses the whole, naming it and the field
    std::vector<BaseRow> bad{Rec("Good"), Rec("Bad", "31.02.1990")};
    bad[0][0] = bad[1][0] = "|";
    c = CompositeOfMarked(s, bad);
    EXPECT_FALSE(c.Ok);
    EXPECT_NE(c.Problem.find("Bad"), std::string::npos);
    EXPECT_NE(c.Problem.find("31.02.1990"), std::string::npos);
}

class BaseSortWindowTest : public ChartWindowsTest {
protected:
    void TearDown() override {
        if (ui::TForm* b = ui::Screen().FindForm("Base")) delete b;
        ChartWindowsTest::TearDown();
    }
};

TEST_F(BaseSortWindowTest, SortingMovesMarksWithTheirRecordsAndTheCompositeFillsTheDataWindow) {
    fs::create_directories(dir / "DBase");
    const std::string tail = "; +03:00; ; 55" + kDeg + "45'N; 037" + kDeg + "37'E; M; ; \r\n";
    const std::string c = "C; 01.01.2000; 12:00:00" + tail, a = "A; 04.03.1975; 21:40:00" + tail,
                      b2 = "B; 05.05.1985; 10:00:00" + tail;
    const fs::path file = dir.path() / "DBase" / Cp1251ToUtf8(Cp("Клиенты.qbs"));
    std::ofstream(file, std::ios::binary) << c + a + b2 + "\r\n";
    auto* b = new TBase(*p);
    b->show();
    b->CurRow = 2; // "A"
    p->Commands.RunUICommand("Base,Nmark", "");
    b->CurCol = 1;
    b->PopupMenuPopup();
    EXPECT_EQ(b->Sort1->Caption(), Cp("Сортировать по \"") + GetMsgText(p->s, 38) + "\"");
    EXPECT_TRUE(b->Ncomp->isEnabled());
    p->Commands.RunUICommand("Base,Sort1", "");
    std::vector<std::string> names, marks;
    for (const BaseRow& r : b->Rows()) names.push_back(r[1]), marks.push_back(r[0]);
    EXPECT_EQ(names, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(marks, (std::vector<std::string>{"|", "", ""}));
    EXPECT_EQ(test::TempDir::Read(file), a + b2 + c + "\r\n");
    // the comment column sorts nothing and saves nothing
    b->CurCol = 9;
    fs::remove(file);
    p->Commands.RunUICommand("Base,Sort1", "");
    EXPECT_FALSE(fs::exists(file));
    // the composite of the marked record goes into the birth-data window to be confirmed
    const int runs = tech->RefreshCount;
    p->Commands.RunUICommand("Base,Ncomp", "");
    EXPECT_EQ(data->NameEdit->Text(), Cp("Композит: A, "));
    EXPECT_EQ(data->DateEdit->Text(), " 4.03.1975");
    EXPECT_EQ(data->TimeEdit->Text(), "18:40:00");
    EXPECT_EQ(data->dTEdit->Text(), "+00:00");
    EXPECT_EQ(data->SexGroup->ItemIndex(), 2);
    EXPECT_EQ(data->CityEdit->Text(), "");
    EXPECT_EQ(tech->RefreshCount, runs); // no chart until the user confirms
}

} // namespace
} // namespace qor::chart
