// The chart base's page files and the operations on a page's rows, without a window: real
// page files made with iconv (code page 1251, CR LF, the closing empty line) read and written
// back byte for byte, and the record operations' edge cases as tables.
#include "chart/BasePages.h"

#include "core/ChartRecords.h"
#include "core/Files.h"
#include "core/Text.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace qor::chart {
namespace {

namespace fs = std::filesystem;
const fs::path kFixtures = fs::path(QOR_FIXTURES_DIR) / "base";

std::string Bytes(const fs::path& p) {
    std::string b;
    EXPECT_TRUE(ReadFileBytes(p, b).ok()) << p;
    return b;
}

BaseRow Record(const std::string& name, const std::string& date = {}) {
    BaseRow r;
    r[1] = name;
    r[2] = date;
    return r;
}

TEST(BasePages, PageFilesWrittenByTheProgramComeBackByteForByte) {
    const BasePageLoad load = ReadBaseFile(kFixtures / "system.qbs");
    ASSERT_EQ(load.state, PageRead::Read);
    ASSERT_EQ(load.rows.size(), 4u);
    const BaseRow& first = load.rows[0];
    EXPECT_EQ(first[1], Cp("Иванов Пётр"));
    EXPECT_EQ(first[5], Cp("Москва, Россия"));
    EXPECT_EQ(first[8], "M");
    EXPECT_EQ(first[9], Cp("первая строка|вторая строка"));
    EXPECT_EQ(load.rows[1][2], "12.07.0100B");
    EXPECT_EQ(load.rows[2][5], Cp(", Канада"));
    EXPECT_EQ(load.rows[3][8], "\x97");
    for (const BaseRow& r : load.rows) EXPECT_TRUE(r[0].empty());
    EXPECT_EQ(PageFileBytes(load.rows), Bytes(kFixtures / "system.qbs"));
}

TEST(BasePages, ANameFieldWithABarCarriesTheComment) {
    const BasePageLoad load = ReadBaseFile(kFixtures / "name_comment.qbs");
    ASSERT_EQ(load.rows.size(), 1u);
    EXPECT_EQ(load.rows[0][1], Cp("Анна"));
    EXPECT_EQ(load.rows[0][9], Cp("родилась дома")); // field 9 is not read at all
    EXPECT_EQ(load.rows[0][8], Cp("Ж"));
}

TEST(BasePages, ALastLineThatIsARecordIsKept) {
    const BasePageLoad load = ReadBaseFile(kFixtures / "no_closing_line.qbs");
    ASSERT_EQ(load.rows.size(), 2u);
    EXPECT_EQ(load.rows[1][1], Cp("Последний"));
    // written back, the file gets its closing empty line and keeps both records
    const std::string written = PageFileBytes(load.rows);
    EXPECT_EQ(written, Bytes(kFixtures / "no_closing_line.qbs") + "\r\n");
    // the same without any line end after the last record
    const std::string bare = "A; ; ; ; ; ; ; ; ; \r\nB; ; ; ; ; ; ; ; ; ";
    EXPECT_EQ(LinesToRows(SplitTextLines(bare)).size(), 2u);
}

TEST(BasePages, RecordLinesOfCells) {
    struct Case {
        BaseRow row;
        std::string line;
    } cases[] = {
        {{}, "; ; ; ; ; ; ; ; ; "},
        {{"|", "Name;x", "01.01.2000", "", "", "City", "", "", "M", "a;b|c"},
         "Namex; 01.01.2000; ; ; City; ; ; M; ab|c; "},
        {{"", "Solo"}, "Solo; ; ; ; ; ; ; ; ; "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RowToRecordLine(c.row), c.line);
        BaseRow back = BaseLineToRow(c.line);
        EXPECT_TRUE(back[0].empty()); // marks are never stored
        EXPECT_EQ(RowToRecordLine(back), c.line);
    }
    EXPECT_TRUE(IsEmptyRow(BaseLineToRow("; ; ; ; ; ; ; ; ; ")));
    EXPECT_TRUE(IsEmptyRow(BaseRow{"|", " ", "", "", "", "", "", "", "", "  "}));
    EXPECT_FALSE(IsEmptyRow(BaseLineToRow("Solo; ; ; ; ; ; ; ; ; "))); // 24 characters
    EXPECT_FALSE(IsEmptyRow(BaseLineToRow("; ; ; ; ; ; ; ; x; ")));
}

TEST(BasePages, SexLettersAndBarsAreSharedWithTheHistoryAndTheLink) {
    AstroDat s;
    EXPECT_EQ(SexCodeToLetter(s, "0"), "M");
    EXPECT_EQ(SexCodeToLetter(s, "1"), Cp("Ж"));
    EXPECT_EQ(SexCodeToLetter(s, "2"), "\x97");
    EXPECT_EQ(SexCodeToLetter(s, ""), "\x97");
    s.EnglishMode = true;
    EXPECT_EQ(SexCodeToLetter(s, "1"), "W");
    const std::pair<std::string, std::string> letters[] = {
        {"M", "0"}, {Cp("М"), "0"}, {"W", "1"}, {Cp("Ж"), "1"}, {"\x97", "2"}, {"", "2"}, {"m", "2"}};
    for (const auto& [letter, code] : letters) EXPECT_EQ(SexLetterToCode(letter), code) << letter;
    EXPECT_EQ(LineBreaksToBars("a\r\nb;c\nd\re"), "a|b,c|d|e");
    EXPECT_EQ(BarsToLineBreaks("a|b||"), "a\r\nb\r\n\r\n");
}

TEST(BasePages, OpeningAndDeletingRows) {
    // add to an empty page fills its one row; a name alone is a record and is kept
    std::vector<BaseRow> rows{BaseRow{}};
    EXPECT_EQ(OpenRecordRow(rows, 0), 0u);
    EXPECT_EQ(rows.size(), 1u);
    rows = {Record("Solo")};
    EXPECT_EQ(OpenRecordRow(rows, 0), 0u);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][1], "Solo");
    EXPECT_TRUE(IsEmptyRow(rows[0]));

    struct Case {
        std::size_t count, top, bottom;
        bool deleted;
        std::vector<std::string> left;
    } cases[] = {
        {1, 0, 0, true, {""}},            // the only record: the row stays, emptied
        {4, 0, 2, true, {"r3"}},          // a block of three
        {4, 3, 1, true, {"r0"}},          // a block given bottom first
        {4, 2, 9, true, {"r0", "r1"}},    // a block past the end stops there
        {3, 5, 5, false, {"r0", "r1", "r2"}},
    };
    for (const auto& c : cases) {
        std::vector<BaseRow> page;
        for (std::size_t i = 0; i < c.count; ++i) page.push_back(Record("r" + std::to_string(i)));
        EXPECT_EQ(DeleteRecordRows(page, c.top, c.bottom), c.deleted);
        std::vector<std::string> names;
        for (const auto& r : page) names.push_back(r[1]);
        EXPECT_EQ(names, c.left) << c.count << " " << c.top << ".." << c.bottom;
    }
    std::vector<BaseRow> empty{BaseRow{}};
    EXPECT_FALSE(DeleteRecordRows(empty, 0, 0));
}

TEST(BasePages, PastingKeepsOrderAndMarksAndImportFillsAnEmptyLastRow) {
    std::vector<BaseRow> rows{Record("A"), Record("B"), Record("C")};
    rows[1][0] = "|";
    const std::vector<std::string> clip = {RowToClipboardEntry(rows[1]), RowToClipboardEntry(rows[2])};
    EXPECT_EQ(clip[0], "|;B;;;;;;;;;");
    PasteRecordRows(rows, 0, clip);
    std::vector<std::string> order, marks;
    for (const auto& r : rows) order.push_back(r[1]), marks.push_back(r[0]);
    EXPECT_EQ(order, (std::vector<std::string>{"B", "C", "A", "B", "C"}));
    EXPECT_EQ(marks, (std::vector<std::string>{"|", "", "", "|", ""}));
    // onto an empty page the first pasted row fills the empty one
    std::vector<BaseRow> page{BaseRow{}};
    PasteRecordRows(page, 0, clip);
    EXPECT_EQ(page.size(), 2u);

    struct Case {
        std::vector<BaseRow> page;
        std::vector<std::string> after;
    } cases[] = {
        {{BaseRow{}}, {"X", "Y"}},
        {{Record("A")}, {"A", "X", "Y"}},
        {{Record("A"), BaseRow{}}, {"A", "X", "Y"}},
    };
    for (auto& c : cases) {
        ImportRecordRows(c.page, {Record("X"), Record("Y")});
        std::vector<std::string> names;
        for (const auto& r : c.page) names.push_back(r[1]);
        EXPECT_EQ(names, c.after);
    }
    std::vector<BaseRow> kept{Record("A")};
    ImportRecordRows(kept, {BaseRow{}}); // a file of no record adds nothing
    EXPECT_EQ(kept.size(), 1u);

    std::vector<BaseRow> moving{Record("A"), Record("B"), Record("C")};
    MoveRecordRow(moving, 0, 2);
    EXPECT_EQ(moving[0][1], "B");
    EXPECT_EQ(moving[2][1], "A");
}

TEST(BasePages, PageStateAndScan) {
    struct Case {
        std::string text;
        int tabs, tab;
        std::vector<std::string> rows;
    } cases[] = {
        {"0;1", 3, 0, {"1", "1", "1"}},
        {"2;5;;7;", 3, 2, {"5", "1", "7"}},
        {"9;3;", 3, 0, {"3", "1", "1"}},  // a tab index beyond the last tab opens the first
        {"x;y;z", 2, 0, {"y", "z"}},      // garbled
        {"", 1, 0, {"1"}},
    };
    for (const auto& c : cases) {
        const PageStateFields f = ParsePageState(c.text, c.tabs);
        EXPECT_EQ(f.Tab, c.tab) << c.text;
        EXPECT_EQ(f.Rows, c.rows) << c.text;
    }
    EXPECT_EQ(FormatPageState(1, {"3", "1"}), "1;3;1;");

    test::TempDir dir;
    AstroDat s;
    s.ProgramFolder = dir.path();
    fs::create_directories(dir / "DBase");
    for (const char* name : {"КЛИЕНТЫ.qbs", "Новая.QBS", "Б.qbs", "note.txt"})
        dir.Write("DBase/" + std::string(name), "");
    fs::create_directories(dir / "DBase" / "Папка.qbs");
    EXPECT_EQ(NewPageFiles(s, {Cp("Клиенты"), Cp("б")}), (std::vector<std::string>{Cp("Новая")}));
}

} // namespace
} // namespace qor::chart
