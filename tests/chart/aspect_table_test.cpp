// The aspect table's cells, points and export.
#include "chart/AspectTable.h"

#include "core/AstroMath.h"
#include "core/Text.h"

#include <gtest/gtest.h>

namespace qor::chart {
namespace {

class AspectCellsTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto lines = BuiltInAspectLines();
        ReadAspectTable(table, lines);
        in.Lon = &lon;
        in.LonBck = &bck;
        in.Table = &table;
        in.Matrix = &matrix;
    }
    void Set(int p, double deg, PointArray& a) { a[p] = deg * kDegToRad; }
    void Aspect(int i, int j, int a, bool applying) {
        matrix.AspMatrix[i][j] = matrix.AspMatrix[j][i] = static_cast<uint8_t>(a);
        matrix.AspApplying[i][j] = matrix.AspApplying[j][i] = applying;
    }
    AspDefTable table;
    AspectMatrix matrix;
    PointArray lon{}, bck{};
    AspectTableInputs in;
};

TEST_F(AspectCellsTest, DistancesDeviationsAndMarks) {
    Set(1, 10, lon);
    Set(2, 210, lon);     // 200° apart: 160°
    Set(3, 250, lon);     // 240° from the Sun: an exact trine
    Set(4, 12.5, lon);    // a conjunction 2.5° wide
    Aspect(1, 3, 10, true);
    Aspect(1, 4, 1, false);
    struct Case {
        int row, col;
        bool exact, orb, glyphs;
        const char* want;
    };
    const Case cases[] = {
        {1, 1, true, false, true, "       "},           // a point with itself
        {1, 2, true, false, true, " 160\xB0 0' 0\" "},
        {1, 2, false, false, true, " 160,0 "},
        {1, 3, true, false, true, ">120\xB0 0' 0\"<"},    // applying, the distance
        {1, 3, true, true, true, ">  0\xB0 0' 0\"<"},     // the orb of a trine 240° apart
        {1, 3, true, true, false, ">120\xB0 0' 0\"<"},    // the export writes distances
        {1, 4, true, true, true, "<  2\xB0" "30' 0\">"},  // separating
        {1, 4, false, true, true, "<  2,5>"},
        {3, 1, false, false, true, ">120,0<"}, // the same pair the other way round
    };
    for (const Case& c : cases) {
        in.Exact = c.exact;
        in.OrbBox = c.orb;
        EXPECT_EQ(AspCellText(in, c.row, c.col, c.glyphs), c.want) << c.row << " " << c.col;
    }
}

// A double chart: across, the row from the inner chart and the column from the outer one (a
// point may meet itself); with the outer chart, both from it; a direction compared across has
// no marks.
TEST_F(AspectCellsTest, DoubleChartsReadTheirCharts) {
    Set(1, 10, lon);
    Set(1, 100, bck);
    Set(5, 40, lon);
    Set(5, 70, bck);
    Aspect(1, 1, 8, true);
    in.DoubleChart = true;
    in.Exact = false;
    in.AspectingMode = 'X';
    EXPECT_EQ(AspCellText(in, 1, 1, true), "> 90,0<");
    EXPECT_EQ(AspCellText(in, 5, 1, true), "  60,0 ");
    in.DynMethod = 'P';
    EXPECT_EQ(AspCellText(in, 1, 1, true), "  90,0 ");
    in.DynMethod = ' ';
    in.AspectingMode = 'O';
    EXPECT_EQ(AspCellText(in, 1, 1, true), "       ");
    EXPECT_EQ(AspCellText(in, 5, 1, true), "  30,0 ");
    in.AspectingMode = 'I';
    EXPECT_EQ(AspCellText(in, 5, 1, true), "  30,0 ");
    EXPECT_EQ(AspCellText(in, 5, 1, true), AspCellText(in, 1, 5, true));
}

TEST(AspectTablePointsTest, ListedPointsAndCusps) {
    std::string flags(26, '|');
    flags[1] = '\x97'; // the Moon off
    std::array<uint8_t, 27> rows{};
    for (int p = 1; p <= 16; ++p) rows[p] = static_cast<uint8_t>(p);
    rows[10] = 0; // Pluto not listed by the planet table
    const std::string window = AspectTableFlags(flags, rows);
    EXPECT_EQ(window.size(), 26u);
    EXPECT_EQ(window[9], '-');
    EXPECT_EQ(window[16], '-'); // beyond the listed points
    EXPECT_EQ(window[1], '\x97');
    std::string houses(12, '\x97');
    houses[0] = houses[9] = '|';
    const std::vector<int> want = {1, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 27, 36};
    EXPECT_EQ(AspectTablePoints(window, houses, false), want);
    const std::vector<int> helio(want.begin(), want.end() - 2);
    EXPECT_EQ(AspectTablePoints(window, houses, true), helio);
}

// The export's lines are the grid's cells side by side: 14 characters a cell in the exact
// format (the header row four blanks further right), 10 in the normal one; a long name widens
// the header column instead of being cut.
TEST(AspectTableExport, CellsOfFourteenOrTenCharacters) {
    const std::vector<std::vector<std::string>> cells = {
        {"", "Sun", "Moon"},
        {"Sun", "       ", ">  3\xB0" "25'46\"<"},
        {"Moon(R)", " 160\xB0 0' 0\" ", "       "}};
    const std::vector<std::string> exact = AspectTableText("Table", cells, true);
    ASSERT_EQ(exact.size(), 4u);
    EXPECT_EQ(exact[0], "Table");
    EXPECT_EQ(exact[1], std::string(4, ' ') + std::string(14, ' ') + "Sun           " +
                            "Moon          ");
    EXPECT_EQ(exact[2], "Sun           " + std::string(14, ' ') + ">  3\xB0" "25'46\"<  ");
    EXPECT_EQ(exact[3], "Moon(R)       " " 160\xB0 0' 0\"   " + std::string(14, ' '));
    const std::vector<std::vector<std::string>> normal = {
        {"", "Sun", "Proserpina"}, {"Sun", "       ", ">  3,4<"}, {"Proserpina(R)", "< 160,0>", ""}};
    const std::vector<std::string> lines = AspectTableText("Table", normal, false);
    EXPECT_EQ(lines[1], std::string(14, ' ') + "Sun       " + "Proserpin ");
    EXPECT_EQ(lines[2], "Sun           " "          " ">  3,4<   ");
    EXPECT_EQ(lines[3], "Proserpina(R) " "< 160,0>  " "          ");
}

} // namespace
} // namespace qor::chart
