// The key parsers, the code tables and the section reader of the text bases.
#include "interp/TextBase.h"

#include "InterpTestSupport.h"

#include <gtest/gtest.h>

namespace qor::interp {
namespace {

using test::BuiltInPage;
using test::PageOfAngles;

TEST(Codes, TablesAsTheBasesAreKeyed) {
    struct Case {
        const char* code;
        int planet, sign, aspect;
    };
    const Case cases[] = {
        {"SU", 1, 0, 0},   {"PL", 10, 0, 0}, {"AS", 27, 0, 0},  {"MC", 36, 0, 0},
        {"AR", 0, 1, 0},   {"CP", 0, 4, 0},  {"CA", 0, 10, 0},  {"PI", 0, 12, 0},
        {"SA", 7, 9, 0},   {"CNJ", 0, 0, 1}, {" 36", 0, 0, 3},  {"36", 0, 0, 0},
        {"SQR", 0, 0, 8},  {"OPP", 0, 0, 14}, {"su", 0, 0, 0},  {"", 0, 0, 0},
        {"SU ", 0, 0, 0},  {"144", 0, 0, 12},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PlanetCode(c.code), c.planet) << '"' << c.code << '"';
        EXPECT_EQ(SignCode(c.code), c.sign) << '"' << c.code << '"';
        EXPECT_EQ(AspectCode(c.code), c.aspect) << '"' << c.code << '"';
    }
    EXPECT_EQ(AspectCodeAngle(1), 0);
    EXPECT_EQ(AspectCodeAngle(10), 120);
    EXPECT_EQ(AspectCodeAngle(14), 180);
    EXPECT_EQ(AspectCodeAngle(15), -1);
}

TEST(Keys, PointKeys) {
    struct Case {
        const char* header;
        bool ok;
        int first, second;
    };
    const Case cases[] = {
        {"[SU 5]", true, 1, 5},        {"[1.5]", true, 1, 5},
        {"[MC 10]", true, 36, 10},     {"[SU AR] Sun in Aries", true, 1, 1},
        {"[1.AR]", false, 1, 0},       {"[AS CP]", true, 27, 4},
        {"[MO CA]", true, 2, 10},      {"[SU  5]", true, 1, 5},
        {"[ 3. 12 ] title", true, 3, 12}, {"[101.1]", true, 101, 1},
        {"[XX 5]", false, 0, 5},       {"[1.5", false, 0, 0},
        {"[SU]", false, 0, 0},         {"[SU XX]", false, 1, 0},
        {"[0.5]", false, 0, 5},        {"[1.x]", false, 1, 0},
        {"SU 5]", true, 1, 5},
    };
    for (const auto& c : cases) {
        PlnKey k;
        EXPECT_EQ(ParsePlnKey(c.header, k), c.ok) << c.header;
        EXPECT_EQ(k.first, c.first) << c.header;
        EXPECT_EQ(k.second, c.second) << c.header;
    }
}

TEST(Keys, ThreeNumberKeys) {
    struct Case {
        const char* header;
        bool ok;
        int a, b, c;
    };
    const Case cases[] = {
        {"[1.5.3]", true, 1, 5, 3},  {"[ 2. 7. 4] Mars", true, 2, 7, 4},
        {"[1.0.3]", false, 1, 0, 3}, {"[1.5]", false, 0, 0, 0},
        {"[1.5.3", false, 0, 0, 0},  {"[a.5.3]", false, 0, 5, 3},
    };
    for (const auto& c : cases) {
        CombKey k;
        EXPECT_EQ(ParseCombKey(c.header, k), c.ok) << c.header;
        EXPECT_EQ(k.a, c.a) << c.header;
        EXPECT_EQ(k.b, c.b) << c.header;
        EXPECT_EQ(k.c, c.c) << c.header;
    }
}

TEST(Keys, AspectKeysOnTheBuiltInPage) {
    const AspDefTable page = BuiltInPage();
    ASSERT_EQ(page.AspCount, 14);
    using R = AspKeyResult;
    struct Case {
        const char* header;
        R result;
        int p1, aspect, p2;
    };
    // A key that is no aspect key gives (0, 0, 0).
    const Case cases[] = {
        {"[1.120.2]", R::Ok, 1, 10, 2},      // the definition whose angle rounds to 120
        {"[1.4.2]", R::Ok, 1, 4, 2},         // aspect number 4
        {"[1.1200.2]", R::Bad, 0, 0, 0},     // a field longer than 3 characters
        {"[1.8.110]", R::Ok, 1, 8, 36},      // the cusp of house 10
        {"[1.8.101]", R::Ok, 1, 8, 27},      //
        {"[1.8.112]", R::Ok, 1, 8, 38},      //
        {"[1.8.113]", R::Bad, 0, 0, 0},      // no house 13
        {"[1. 36.2]", R::Ok, 1, 3, 2},       // three characters: an angle
        {"[1. 4.2]", R::Ok, 1, 4, 2},        // two characters: a number
        {"[SU SQR MO] Sun square Moon", R::Ok, 1, 8, 2},
        {"[SU TRI MC]", R::Ok, 1, 10, 36},
        {"[SU  SQR MO]", R::Bad, 0, 0, 0},   // two blanks: an empty code
        {"[SU XXX MO]", R::Bad, 0, 0, 0},
        {"[SU SQR XX]", R::Bad, 0, 0, 0},
        {"[1..2]", R::Bad, 0, 0, 0},         // empty aspect field
        {"[1.0.2]", R::Bad, 0, 0, 0},        // zero
        {"[1.x.2]", R::Bad, 0, 0, 0},        // not a number
        {"[1.abc.2]", R::Bad, 0, 0, 0},      //
        {"[0.4.2]", R::Bad, 0, 0, 0},        // points outside 1..40
        {"[41.4.2]", R::Bad, 0, 0, 0},      //
        {"[1.4.41]", R::Bad, 0, 0, 0},      //
        {"[1.4.2", R::Bad, 0, 0, 0},         // no "]"
        {"[1.99.2]", R::NotOnPage, 1, 99, 2}, // a number the page does not have
        {"[1.100.2]", R::NotOnPage, 1, 0, 2}, // an angle no definition has
    };
    for (const auto& c : cases) {
        AspKey k;
        EXPECT_EQ(ParseAspKey(c.header, page, k), c.result) << c.header;
        EXPECT_EQ(k.p1, c.p1) << c.header;
        EXPECT_EQ(k.aspect, c.aspect) << c.header;
        EXPECT_EQ(k.p2, c.p2) << c.header;
    }
}

TEST(Keys, LetterCodesFollowThePageByAngle) {
    // A user page of its own order and size: opposition, conjunction, square, trine.
    const AspDefTable page = PageOfAngles({180, 0, 90, 120});
    using R = AspKeyResult;
    AspKey k;
    EXPECT_EQ(ParseAspKey("[SU CNJ MO]", page, k), R::Ok);
    EXPECT_EQ(k.aspect, 2);
    EXPECT_EQ(ParseAspKey("[SU OPP MO]", page, k), R::Ok);
    EXPECT_EQ(k.aspect, 1);
    EXPECT_EQ(ParseAspKey("[SU TRI MO]", page, k), R::Ok);
    EXPECT_EQ(k.aspect, 4);
    // What the small page lacks matches nothing, and is no error that stops the base.
    EXPECT_EQ(ParseAspKey("[SU SXT MO]", page, k), R::NotOnPage);
    EXPECT_EQ(ParseAspKey("[1.6.2]", page, k), R::NotOnPage);
    EXPECT_EQ(ParseAspKey("[1.060.2]", page, k), R::NotOnPage);
    EXPECT_EQ(ParseAspKey("[1.4.2]", page, k), R::Ok);
    EXPECT_EQ(k.aspect, 4);
    // An angle close to a definition's rounds to it; the first of equal ones wins.
    EXPECT_EQ(AspectByAngle(PageOfAngles({59.6, 60.2, 60}), 60), 1);
    EXPECT_EQ(AspectByAngle(PageOfAngles({59.4}), 60), 0);
}

TEST(Sections, FirstAndEveryMatchingSection) {
    const std::string base = test::CrLf("/ base of tests\n"
                                        "lines before the first header\n"
                                        "[1.5] First\n"
                                        "  one, leading blanks kept   \n"
                                        "/ a comment inside\n"
                                        "\n"
                                        "two\n"
                                        "[2.5]\n"
                                        "other\n"
                                        "[1.5] Again\n"
                                        "three\n");
    const HeaderMatch sunInFifth = [](std::string_view h) {
        PlnKey k;
        return ParsePlnKey(h, k) && k.first == 1 && k.second == 5 ? Verdict::Take
                                                                  : Verdict::Skip;
    };
    const auto first = ReadSections(base, sunInFifth);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].header, "[1.5] First");
    EXPECT_EQ(first[0].lines, (std::vector<std::string>{"  one, leading blanks kept", "two"}));
    const auto every = ReadSections(base, sunInFifth, {.every = true});
    ASSERT_EQ(every.size(), 2u);
    EXPECT_EQ(every[1].lines, (std::vector<std::string>{"three"}));
    EXPECT_EQ(HeaderTitle(every[1].header), "Again");
    EXPECT_EQ(HeaderTitle("[2.5]"), "");
    EXPECT_EQ(HeaderTitle("[2.5"), "");

    // A rule that stops the reading (a key of the wrong kind) ends it at that header.
    bool stopped = false;
    const auto some = ReadSections(
        base,
        [](std::string_view h) { return h.starts_with("[2.") ? Verdict::Stop : Verdict::Take; },
        {.every = true}, &stopped);
    EXPECT_TRUE(stopped);
    ASSERT_EQ(some.size(), 1u);

    // A group line ends a section where the base asks for it.
    const std::string groups = "[1.5]\na\n{group}\nb\n";
    EXPECT_EQ(ReadSections(groups, sunInFifth, {.endAtGroup = true})[0].lines,
              (std::vector<std::string>{"a"}));
    EXPECT_EQ(ReadSections(groups, sunInFifth)[0].lines,
              (std::vector<std::string>{"a", "{group}", "b"}));
}

TEST(Sections, CodePageTextWithBothLineEnds) {
    // "я" is the byte 0xFF: text like any other, never an end of file.
    const std::string lf = test::Iconv1251("[SU AR] Солнце в Овне\nя\nпоследняя строка я\n"
                                           "[MO AR] Луна\nтекст");
    ASSERT_NE(lf.find('\xFF'), std::string::npos);
    for (const std::string& base : {lf, test::CrLf(lf)}) {
        const auto secs = ReadSections(base, [](std::string_view h) {
            PlnKey k;
            return ParsePlnKey(h, k) && k.first == 2 ? Verdict::Take : Verdict::Skip;
        });
        ASSERT_EQ(secs.size(), 1u);
        EXPECT_EQ(secs[0].lines, (std::vector<std::string>{Cp("текст")}));
        const auto sun = ReadSections(base, [](std::string_view h) {
            return h.starts_with("[SU") ? Verdict::Take : Verdict::Skip;
        });
        ASSERT_EQ(sun.size(), 1u);
        EXPECT_EQ(HeaderTitle(sun[0].header), Cp("Солнце в Овне"));
        EXPECT_EQ(sun[0].lines, (std::vector<std::string>{Cp("я"), Cp("последняя строка я")}));
    }
}

} // namespace
} // namespace qor::interp
