// Degree-text files: the entry of a degree of a sign, its title and continuation lines.
#include "core/DegreeTexts.h"

#include "InterpTestSupport.h"
#include "core/AstroMath.h"

#include <gtest/gtest.h>

namespace qor {
namespace {

TEST(DegreeTexts, DegreeNumberOfLongitude) {
    struct Case {
        double deg;
        int degree;
    };
    const Case cases[] = {{0, 1},      {0.99, 1},    {1, 2},       {29.99, 30},
                          {30, 31},    {359.99, 360}, {360, 1},     {-0.5, 360}};
    for (const auto& c : cases)
        EXPECT_EQ(DegreeOfLongitude(c.deg * kDegToRad), c.degree) << c.deg;
}

TEST(DegreeTexts, EntriesOfTheFirstFile) {
    const std::string lf = test::Fixture1251("degrees_first.txt");
    for (const std::string& bytes : {lf, test::CrLf(lf)}) {
        struct Case {
            int sign, degree;
            bool signFound, degreeFound;
            const char* title;
            std::vector<const char*> lines;
        };
        const Case cases[] = {
            {1, 1, true, true, "Овен — первый знак",
             {"Первый градус Овна.", "продолжение первого градуса"}},
            // "я" (0xFF) is text; a line beginning "и 12" continues the entry, it is none
            {1, 2, true, true, "Овен — первый знак",
             {"Второй градус Овна, «я» в конце я", "и 12 строк — это продолжение, а не градус 12"}},
            {1, 3, true, true, "Овен — первый знак", {"Третий градус."}},
            // Aries lacks degree 12: the search ends at the next sign's header
            {1, 12, true, false, "Овен — первый знак", {}},
            // a line without the blank in column 1 is no entry; a blank line ends one
            {2, 1, true, false, "Телец", {}},
            {2, 5, true, true, "Телец", {"Пятый градус Тельца."}},
            {3, 30, true, true, "", {"Тридцатый градус Близнецов."}},
            {12, 29, true, true, "Рыбы", {"Двадцать девятый градус Рыб."}},
            {4, 1, false, false, "", {}},
            {0, 1, false, false, "", {}},
            {1, 31, false, false, "", {}},
        };
        for (const auto& c : cases) {
            const DegreeEntry e = FindDegreeEntry(bytes, c.sign, c.degree);
            SCOPED_TRACE(std::to_string(c.sign) + "/" + std::to_string(c.degree));
            EXPECT_EQ(e.signFound, c.signFound);
            EXPECT_EQ(e.degreeFound, c.degreeFound);
            EXPECT_EQ(e.title, Cp(c.title));
            std::vector<std::string> want;
            for (const char* l : c.lines) want.push_back(Cp(l));
            EXPECT_EQ(e.lines, want);
        }
    }
}

TEST(DegreeTexts, ADegreeMissingFromItsSignTakesNothingFromTheNext) {
    const std::string bytes = test::Fixture1251("degrees_second.txt");
    const DegreeEntry three = FindDegreeEntry(bytes, 1, 3);
    EXPECT_TRUE(three.signFound);
    EXPECT_FALSE(three.degreeFound);
    EXPECT_TRUE(three.lines.empty());
    EXPECT_EQ(FindDegreeEntry(bytes, 2, 3).lines, (std::vector<std::string>{"Three of Taurus."}));
    EXPECT_EQ(FindDegreeEntry(bytes, 1, 12).lines,
              (std::vector<std::string>{"Degree twelve of Aries."}));
}

TEST(DegreeTexts, TitleIsCutAtEightyCharacters) {
    const std::string title(100, 'x');
    const DegreeEntry e = FindDegreeEntry("[ 7] " + title + "\r\n   1 a\r\n", 7, 1);
    EXPECT_EQ(e.title, std::string(80, 'x'));
    EXPECT_EQ(e.lines, (std::vector<std::string>{"a"}));
    // A long entry line is kept whole.
    const std::string text(400, 'y');
    EXPECT_EQ(FindDegreeEntry("[ 7]\n   1 " + text + "\n", 7, 1).lines[0], text);
}

} // namespace
} // namespace qor
