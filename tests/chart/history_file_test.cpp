// The chart history file as plain data: the line of an entry and the way back, the kind word of
// both languages, the maximum, the trimming, the rows of the grid and the atomic save.
#include "chart/BirthFields.h"
#include "chart/HistoryFile.h"
#include "core/ChartRecords.h"
#include "core/Text.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <climits>

namespace qor::chart {
namespace {

namespace fs = std::filesystem;
const std::string kDeg(1, '\xB0');

DatRec Rec(const std::string& name, const std::string& date, const std::string& sex = "0") {
    DatRec r{};
    r[kRecName] = name;
    r[kRecSex] = sex;
    r[kRecDate] = date;
    r[kRecTime] = "21:40:07";
    r[kRecZone] = "+03:00";
    r[kRecLat] = "55" + kDeg + "45'N";
    r[kRecLong] = " 37" + kDeg + "37'E";
    r[kRecCity] = "Москва"_cp;
    r[kRecCountry] = "Россия"_cp;
    r[kRecComment] = "";
    return r;
}

// The English method items as the shipped English texts give them.
std::vector<std::string> ShippedEnglishMethods() {
    std::vector<std::string> lines;
    EXPECT_TRUE(ReadTextLines(fs::path(QOR_SOURCE_DIR) / "data" / "English.txt", lines).ok());
    return EnglishListOf(lines, "DataForm", "ComboBox");
}

TEST(HistoryFile, TheShippedEnglishTextsNameAllFourteenMethods) {
    const auto english = ShippedEnglishMethods();
    ASSERT_EQ(english.size(), MethodItems().size());
    EXPECT_EQ(english[0], "Transit");
    EXPECT_EQ(english[1], "Synastry");
    EXPECT_EQ(english[9], "Solar return");
}

TEST(HistoryFile, KindWordsOfBothLanguagesAreRead) {
    const auto english = ShippedEnglishMethods();
    struct Case {
        std::string word;
        std::optional<HistoryKind> kind;
        int method;
    };
    const Case cases[] = {
        {"Натал"_cp, HistoryKind::Natal, -1},
        {"Natal", HistoryKind::Natal, -1},
        {" Natal ", HistoryKind::Natal, -1},
        {"Хорар"_cp, HistoryKind::Horary, -1},
        {"Horar", HistoryKind::Horary, -1},
        {"Транзит"_cp, HistoryKind::Double, 0},
        {"Синастрия"_cp, HistoryKind::Double, 1},
        {"Synastry", HistoryKind::Double, 1},
        {"Соляр"_cp, HistoryKind::Double, 9},
        {"Solar return", HistoryKind::Double, 9},
        {english[13], HistoryKind::Double, 13},
        {MethodItems()[13], HistoryKind::Double, 13},
        {"", std::nullopt, 0},
        {"Natalia", std::nullopt, 0},
        {"натал"_cp, std::nullopt, 0},
    };
    for (const Case& c : cases) {
        const auto k = ReadHistoryKind(c.word, english);
        ASSERT_EQ(k.has_value(), c.kind.has_value()) << c.word;
        if (!k) continue;
        EXPECT_EQ(k->Kind, *c.kind) << c.word;
        EXPECT_EQ(k->Method, c.method) << c.word;
    }
}

TEST(HistoryFile, TheKindIsWrittenInRussianWhateverTheInterface) {
    for (const bool english : {false, true}) {
        AstroDat s;
        s.EnglishMode = english;
        HistoryEntry natal{{HistoryKind::Natal, -1}, Rec("Ann", "01.02.1990", "1"), false, {}};
        HistoryEntry horary{{HistoryKind::Horary, -1}, Rec("Q", "01.02.1990"), false, {}};
        HistoryEntry solar{
            {HistoryKind::Double, 9}, Rec("A", "01.02.1990"), true, Rec("B", "03.04.2020")};
        EXPECT_EQ(SplitHistoryLine(FormatHistoryLine(s, natal))[0], "Натал"_cp);
        EXPECT_EQ(SplitHistoryLine(FormatHistoryLine(s, horary))[0], "Хорар"_cp);
        EXPECT_EQ(SplitHistoryLine(FormatHistoryLine(s, solar))[0], "Соляр"_cp);
        // The sex letter is the language's own; both read back to the code.
        const HistoryFields f = SplitHistoryLine(FormatHistoryLine(s, natal));
        EXPECT_EQ(f[9], english ? "W" : "Ж"_cp);
        EXPECT_EQ(HistoryFieldsToRec(f, 1)[kRecSex], "1");
    }
}

TEST(HistoryFile, AnEntryComesBackFieldForField) {
    AstroDat s;
    DatRec main = Rec("Анна\r\nМария"_cp, "04.03.1975", "1");
    main[kRecComment] = "родилась дома\r\nв полночь"_cp;
    const DatRec back = Rec("Пётр"_cp, "01.01.0100B", "2");
    const HistoryEntry e{{HistoryKind::Double, 1}, main, true, back};
    const std::string line = FormatHistoryLine(s, e);
    // 21 fields, each followed by ";", no line break left.
    EXPECT_EQ(std::count(line.begin(), line.end(), ';'), kHistoryFields);
    EXPECT_EQ(line.back(), ';');
    EXPECT_EQ(line.find('\n'), std::string::npos);
    EXPECT_NE(line.find("Анна|Мария"_cp), std::string::npos);
    const HistoryFields f = SplitHistoryLine(line);
    EXPECT_EQ(HistoryFieldsToRec(f, 1), main);
    EXPECT_EQ(HistoryFieldsToRec(f, 11), back);
    EXPECT_TRUE(HasBackFields(f));
    EXPECT_EQ(HistoryGridCells(line),
              (std::array<std::string, 7>{"Синастрия"_cp, "Анна|Мария"_cp, "04.03.1975", "21:40:07",
                                          "Пётр"_cp, "01.01.0100B", "21:40:07"}));

    // A single chart writes ten empty fields for the second set, whatever it holds.
    const HistoryEntry single{{HistoryKind::Natal, -1}, main, true, back};
    const std::string one = FormatHistoryLine(s, single);
    EXPECT_EQ(one.substr(one.size() - 10), std::string(10, ';'));
    EXPECT_FALSE(HasBackFields(SplitHistoryLine(one)));
}

TEST(HistoryFile, NoFieldCanShiftTheFieldsAfterIt) {
    AstroDat s;
    // Every free field with a separator and line breaks of all three kinds.
    DatRec r = Rec("a;b\rc"_cp, "04.03.1975");
    r[kRecCity] = "Санкт;Петербург"_cp;
    r[kRecCountry] = "Рос\nсия"_cp;
    r[kRecComment] = "x;\r\ny";
    const HistoryEntry e{{HistoryKind::Natal, -1}, r, false, {}};
    const std::string line = FormatHistoryLine(s, e);
    EXPECT_EQ(std::count(line.begin(), line.end(), ';'), kHistoryFields);
    const HistoryFields f = SplitHistoryLine(line);
    EXPECT_EQ(f[1], "ab|c");
    EXPECT_EQ(f[2], "04.03.1975");
    EXPECT_EQ(f[7], "СанктПетербург"_cp);
    EXPECT_EQ(f[8], "Рос|сия"_cp);
    EXPECT_EQ(f[10], "x|y");
}

TEST(HistoryFile, AShortLineGivesEmptyFieldsAndALongOneIsCut) {
    HistoryFields f = SplitHistoryLine("Натал;Имя"_cp);
    EXPECT_EQ(f[0], "Натал"_cp);
    EXPECT_EQ(f[1], "Имя"_cp);
    for (int k = 2; k < kHistoryFields; ++k) EXPECT_EQ(f[static_cast<std::size_t>(k)], "") << k;
    EXPECT_EQ(HistoryGridCells(""), (std::array<std::string, 7>{}));
    std::string longLine;
    for (int k = 1; k <= 30; ++k) longLine += std::to_string(k) + ";";
    f = SplitHistoryLine(longLine);
    EXPECT_EQ(f[20], "21");
}

TEST(HistoryFile, TheMaximumIsAPositiveNumberOrAHundred) {
    struct Case {
        const char* text;
        int value;
        bool corrected;
    };
    const Case cases[] = {{"100", 100, false},
                          {"5", 5, false},
                          {" 7 ", 7, false},
                          {"1", 1, false},
                          {"0", 100, true},
                          {"-3", 100, true},
                          {"abc", 100, true},
                          {"", 100, true},
                          {"12x", 100, true},
                          {"2.5", 100, true},
                          {"99999999999", INT_MAX, false}};
    for (const Case& c : cases) {
        const HistoryMax m = HistoryMaximum(c.text);
        EXPECT_EQ(m.Value, c.value) << c.text;
        EXPECT_EQ(m.Corrected, c.corrected) << c.text;
    }
}

std::vector<std::string> Numbered(int n) {
    std::vector<std::string> lines;
    for (int k = 1; k <= n; ++k) lines.push_back(std::to_string(k));
    return lines;
}

TEST(HistoryFile, TrimmingKeepsTheNewestUpToTheMaximum) {
    struct Case {
        int count, max;
        int kept;          // lines after adding one
        std::string first; // the oldest line kept
    };
    const Case cases[] = {
        {100, 100, 100, "2"},  // a full list loses its oldest line
        {99, 100, 100, "1"},   // room for one more
        {150, 100, 100, "52"}, // a list over the maximum (the maximum was lowered)
        {0, 1, 1, "new"},      // an empty list: nothing to trim
        {3, 1, 1, "new"},      {0, 100, 1, "new"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines = Numbered(c.count);
        AppendHistoryLine(lines, "new", c.max);
        ASSERT_EQ(static_cast<int>(lines.size()), c.kept) << c.count << " " << c.max;
        EXPECT_EQ(lines.front(), c.first) << c.count << " " << c.max;
        EXPECT_EQ(lines.back(), "new");
    }
}

TEST(HistoryFile, GridRowsCountFromTheNewest) {
    EXPECT_EQ(HistoryIndexOfRow(5, 1), 4u);
    EXPECT_EQ(HistoryIndexOfRow(5, 5), 0u);
    EXPECT_EQ(HistoryIndexOfRow(5, 0), std::nullopt);
    EXPECT_EQ(HistoryIndexOfRow(5, 6), std::nullopt);
    EXPECT_EQ(HistoryIndexOfRow(0, 1), std::nullopt);
    EXPECT_EQ(HistoryIndexOfRow(5, -1), std::nullopt);

    struct Case {
        int count, row;
        bool deleted;
        int rowAfter;
        std::vector<std::string> left;
    };
    const Case cases[] = {
        {3, 1, true, 1, {"1", "2"}}, // the newest
        {3, 3, true, 2, {"2", "3"}}, // the oldest: the row goes up to the last one left
        {3, 2, true, 2, {"1", "3"}},       {1, 1, true, 0, {}},
        {3, 0, false, 0, {"1", "2", "3"}}, {3, 4, false, 4, {"1", "2", "3"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines = Numbered(c.count);
        int row = c.row;
        EXPECT_EQ(DeleteHistoryRow(lines, row), c.deleted) << c.count << " " << c.row;
        EXPECT_EQ(row, c.rowAfter) << c.count << " " << c.row;
        EXPECT_EQ(lines, c.left) << c.count << " " << c.row;
    }
}

TEST(HistoryFile, TheGridShowsTheKindInTheLanguageOfTheInterface) {
    const auto english = ShippedEnglishMethods();
    AstroDat ru, en;
    en.EnglishMode = true;
    struct Case {
        std::string word, russian, inEnglish;
    };
    const Case cases[] = {
        {"Натал"_cp, "Натал"_cp, "Natal"},        {"Natal", "Натал"_cp, "Natal"},
        {"Хорар"_cp, "Хорар"_cp, "Horar"},        {"Соляр"_cp, "Соляр"_cp, "Solar return"},
        {"Synastry", "Синастрия"_cp, "Synastry"}, {"bogus", "bogus", "bogus"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HistoryKindCaption(ru, c.word, english), c.russian) << c.word;
        EXPECT_EQ(HistoryKindCaption(en, c.word, english), c.inEnglish) << c.word;
    }
}

TEST(HistoryFile, TheFileIsMadeOnceAndSavedAtomically) {
    test::TempDir dir;
    AstroDat s;
    s.ProgramFolder = dir.path();
    std::vector<std::string> lines{"x"};
    ASSERT_TRUE(ReadHistory(s, lines).ok()); // no file: an empty history
    EXPECT_TRUE(lines.empty());
    ASSERT_TRUE(EnsureHistoryFile(s).ok());
    EXPECT_EQ(test::TempDir::Read(dir / "CHist.ini"), "");
    ASSERT_TRUE(WriteHistory(s, {"a;", "b;"}).ok());
    EXPECT_EQ(test::TempDir::Read(dir / "CHist.ini"), "a;\r\nb;\r\n");
    ASSERT_TRUE(EnsureHistoryFile(s).ok()); // an existing history stays
    ASSERT_TRUE(ReadHistory(s, lines).ok());
    EXPECT_EQ(lines, (std::vector<std::string>{"a;", "b;"}));

    // A save that fails leaves the old file byte for byte.
    fs::permissions(dir / "CHist.ini", fs::perms::owner_read);
    EXPECT_FALSE(WriteHistory(s, {"c;"}).ok());
    EXPECT_EQ(test::TempDir::Read(dir / "CHist.ini"), "a;\r\nb;\r\n");
}

} // namespace
} // namespace qor::chart
