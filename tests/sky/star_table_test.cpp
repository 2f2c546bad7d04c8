// The star table: the sort keys by column (byte order of the names, unnamed and distance-less
// stars last, the tables moving with their records), the cell texts, and "Stars.txt" for a
// five-star catalogue in both modes.
#include "SkyTestSupport.h"

#include "core/AstroMath.h"
#include "core/Files.h"
#include "core/Formats.h"
#include "core/Text.h"
#include "sky/StarTable.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace qor::test {
namespace {

struct StarSpec {
    const char* name; // UTF-8, nullptr: no name entry
    uint16_t bs;
    int32_t distance;
    const char* designation; // "F B S Con" as bytes below, nullptr none
    int flamsteed = 0, bayer = 0, sup = 0;
    const char* spectrum = "A0V";
    float mag = 1.0f;
    const char* comment = nullptr;
};

// A catalogue of the given stars; every per-star table holds a value made from the star's
// BS number, so that a sort that loses a table shows.
StarCatalogue MakeCatalogue(const std::vector<StarSpec>& specs) {
    StarCatalogue c;
    const int n = static_cast<int>(specs.size());
    c.StarCount = n;
    c.YaleStars.resize(n + 1);
    for (auto* v : {&c.StarRA2000, &c.StarDec2000, &c.StarRADate, &c.StarDecDate, &c.StarLon,
                    &c.StarLat, &c.StarAzimuth, &c.StarAltitude})
        v->assign(n + 1, 0.0);
    for (int i = 1; i <= n; ++i) {
        const StarSpec& sp = specs[i - 1];
        YaleRec& r = c.YaleStars[i];
        r.BS = sp.bs;
        r.HD = sp.bs * 10u;
        r.Distance = sp.distance;
        r.Mag = sp.mag;
        r.Spectrum = sp.spectrum;
        r.PmRA = sp.bs * 1e-3 * kStarPmToRadPerCentury;
        r.PmDec = -sp.bs * 1e-3 * kStarPmToRadPerCentury;
        if (sp.designation) {
            std::string code = sp.designation;
            code.resize(3, ' ');
            r.Designation = std::string{char(sp.flamsteed), char(sp.bayer), char(sp.sup)} + code;
        }
        if (sp.name) {
            const std::string name = Cp(sp.name);
            r.NameOffset = static_cast<uint16_t>(c.StarNames.size() + 1);
            c.StarNames += std::string(1, char(name.size())) + name;
        }
        if (sp.comment) {
            r.CommentOffset = static_cast<uint16_t>(c.StarComments.size() + 1);
            c.StarComments += std::string(1, char(std::string(sp.comment).size())) + sp.comment;
        }
        c.StarRA2000[i] = sp.bs * 1e-4;
        c.StarDec2000[i] = -sp.bs * 1e-4;
        c.StarRADate[i] = sp.bs * 2e-4;
        c.StarDecDate[i] = -sp.bs * 2e-4;
        c.StarLon[i] = sp.bs * 3e-4;
        c.StarLat[i] = sp.bs * 4e-5;
        c.StarAzimuth[i] = sp.bs * 5e-4;
        c.StarAltitude[i] = sp.bs * 6e-5;
    }
    return c;
}

std::vector<int> BSOrder(const StarCatalogue& c) {
    std::vector<int> bs;
    for (int i = 1; i <= c.StarCount; ++i) bs.push_back(c.YaleStars[i].BS);
    return bs;
}

// Every table of every star still holds the values of its own BS number.
void ExpectTablesFollow(const StarCatalogue& c) {
    for (int i = 1; i <= c.StarCount; ++i) {
        const double bs = c.YaleStars[i].BS;
        EXPECT_DOUBLE_EQ(c.StarRA2000[i], bs * 1e-4) << i;
        EXPECT_DOUBLE_EQ(c.StarDec2000[i], -bs * 1e-4) << i;
        EXPECT_DOUBLE_EQ(c.StarRADate[i], bs * 2e-4) << i;
        EXPECT_DOUBLE_EQ(c.StarDecDate[i], -bs * 2e-4) << i;
        EXPECT_DOUBLE_EQ(c.StarLon[i], bs * 3e-4) << i;
        EXPECT_DOUBLE_EQ(c.StarLat[i], bs * 4e-5) << i;
        EXPECT_DOUBLE_EQ(c.StarAzimuth[i], bs * 5e-4) << i;
        EXPECT_DOUBLE_EQ(c.StarAltitude[i], bs * 6e-5) << i;
        EXPECT_EQ(c.YaleStars[i].HD, c.YaleStars[i].BS * 10u) << i;
    }
}

TEST(StarTable, SortKeysByColumn) {
    SkyState t;
    const std::vector<StarSpec> specs = {
        {"Вега", 1, 7680, "Lyr", 3, 1},      // Cyrillic: after every unnamed star
        {nullptr, 2, 0, nullptr},            // no name, no distance, no designation
        {"Altair", 3, 5130, "Aql", 53, 1},   //
        {"Zosma", 4, 2000000, "Leo", 68, 4}, // capital Z sorts below "z"; far beyond 1000 pc
        {"zeta", 5, 120, "Leo", 0, 6},       // "zeta" < "zzz" (e < z)
        {nullptr, 6, 1000, "Aql", 60, 0},    // unnamed, Flamsteed only
        {"Altair", 7, 0, "Aql", 53, 1, 2},   // same name as 3: stays after it
        {"Algol", 8, 28000, "Per", 26, 2}};
    struct Case {
        int column;
        std::vector<int> order; // BS numbers
    };
    const Case cases[] = {
        {0, {8, 3, 7, 4, 5, 2, 6, 1}},
        {1, {1, 2, 3, 4, 5, 6, 7, 8}},
        // constellation, then Bayer letter, then Flamsteed number; no designation last
        {3, {6, 3, 7, 4, 5, 1, 8, 2}},
        // known distances ascending however far; 0 last, in their order
        {6, {5, 6, 3, 1, 8, 4, 2, 7}},
        {10, {1, 2, 3, 4, 5, 6, 7, 8}},
        {11, {8, 7, 6, 5, 4, 3, 2, 1}},
        {13, {1, 2, 3, 4, 5, 6, 7, 8}},
        {15, {8, 7, 6, 5, 4, 3, 2, 1}},
    };
    for (const Case& k : cases) {
        StarCatalogue c = MakeCatalogue(specs);
        const std::vector<int> order = SortStarsAll(t.s, c, k.column);
        EXPECT_EQ(BSOrder(c), k.order) << "column " << k.column;
        ExpectTablesFollow(c);
        // the order returned names where each star came from
        const StarCatalogue before = MakeCatalogue(specs);
        for (int i = 1; i <= c.StarCount; ++i)
            EXPECT_EQ(before.YaleStars[order[i]].BS, c.YaleStars[i].BS);
        for (int i = 1; i < c.StarCount; ++i)
            EXPECT_FALSE(StarLess(t.s, c, k.column, i + 1, i)) << k.column << " " << i;
    }
}

TEST(StarTable, NameKeysAreCodePageBytes) {
    SkyState t;
    StarCatalogue c = MakeCatalogue({{"Ёлка", 1, 0, nullptr},
                                     {"Яркая", 2, 0, nullptr},
                                     {"Альфа", 3, 0, nullptr},
                                     {"Mira. Omicron Ceti", 4, 0, nullptr},
                                     {"Miram", 5, 0, nullptr}});
    // "Mira" cut before the ".", padded with blanks: before "Miram"; "Ё" (0xA8) before "А"
    // (0xC0) before "Я" (0xDF)
    SortStarsAll(t.s, c, 0);
    EXPECT_EQ(BSOrder(c), (std::vector<int>{4, 5, 1, 3, 2}));
}

TEST(StarTable, CommentColumnSortsByItsTextInEitherLanguage) {
    SkyState t;
    const std::vector<StarSpec> specs = {{"b, Second", 1, 0, nullptr, 0, 0, 0, "A0V", 1, "Zed."},
                                         {"a, First", 2, 0, nullptr, 0, 0, 0, "A0V", 1, nullptr},
                                         {"c, Third", 3, 0, nullptr, 0, 0, 0, "A0V", 1, "Alpha"}};
    StarCatalogue c = MakeCatalogue(specs);
    SortStarsAll(t.s, c, 4); // the comments; none last
    EXPECT_EQ(BSOrder(c), (std::vector<int>{3, 1, 2}));
    t.s.EnglishMode = true; // no comments: the names after the first
    c = MakeCatalogue(specs);
    SortStarsAll(t.s, c, 4);
    EXPECT_EQ(BSOrder(c), (std::vector<int>{2, 1, 3}));
}

TEST(StarTable, CellTexts) {
    SkyState t;
    StarCatalogue c = MakeCatalogue(
        {{"Vega", 7001, 7680, "Lyr", 3, 1, 0, "A0Va", 0.03f, "Wega."}, {nullptr, 12, 0, nullptr}});
    c.StarDecDate[1] = kTwoPi - 0.1; // stored above π: shown negative
    t.s.DMSFormat = 0;
    EXPECT_EQ(StarCellText(t.s, c, 1, 0, true), "Vega");
    EXPECT_EQ(StarCellText(t.s, c, 1, 1, true), "7001");
    EXPECT_EQ(StarCellText(t.s, c, 1, 2, true), " 70010");
    EXPECT_EQ(StarCellText(t.s, c, 1, 3, true), "  3 alf  Lyr");
    EXPECT_EQ(StarCellText(t.s, c, 1, 4, true), "Wega"); // one trailing "." taken off
    EXPECT_EQ(StarCellText(t.s, c, 1, 5, true), " A0Va");
    EXPECT_EQ(StarCellText(t.s, c, 1, 6, true), "   7.680");
    EXPECT_EQ(StarCellText(t.s, c, 1, 7, true), " 0.03");
    EXPECT_EQ(StarCellText(t.s, c, 1, 14, true), " 7.001");
    EXPECT_EQ(StarCellText(t.s, c, 1, 15, true), "-7.001");
    EXPECT_EQ(StarCellText(t.s, c, 2, 6, true), ""); // no distance
    EXPECT_EQ(StarCellText(t.s, c, 2, 3, true), "");
    for (int col : {8, 9, 12, 13}) {
        EXPECT_EQ(StarCellText(t.s, c, 1, col, true), "") << col;
        EXPECT_NE(StarCellText(t.s, c, 1, col, false), "") << col;
        EXPECT_EQ(StarColumnTitle(t.s, col, true), "") << col;
        EXPECT_NE(StarColumnTitle(t.s, col, false), "") << col;
    }
    // J2000 or of date; seconds whatever the angle setting, which stays as it was
    EXPECT_EQ(StarCellText(t.s, c, 1, 10, true), FormatHMSRadSpaced(true, false, 0.7001));
    EXPECT_EQ(StarCellText(t.s, c, 1, 10, false), FormatHMSRadSpaced(true, false, 1.4002));
    EXPECT_EQ(StarCellText(t.s, c, 1, 11, false), " - 5" + std::string("\xB0") + "43'46\"");
    EXPECT_NE(StarCellText(t.s, c, 1, 8, false).find("Leo"), std::string::npos);
    EXPECT_EQ(t.s.DMSFormat, 0);
    EXPECT_FALSE(t.s.ShortNames);
    EXPECT_EQ(StarCellText(t.s, c, 3, 0, true), "");
    EXPECT_EQ(StarCellText(t.s, c, 1, 16, true), "");
    t.s.EnglishMode = true;
    EXPECT_EQ(StarColumnTitle(t.s, 14), "mRA|\"/year");
    EXPECT_EQ(StarColumnTitle(t.s, 3), "Flemstad -|Bayer code");
}

// Five stars with every kind of cell: a name and a comment, none, a Cyrillic name, a star
// without distance or designation.
StarCatalogue FiveStars() {
    StarCatalogue c = MakeCatalogue({{"Vega", 7001, 7680, "Lyr", 3, 1, 0, "A0Va", 0.03f, "Wega."},
                                     {"Алголь", 936, 28460, "Per", 26, 2, 0, "B8V", 2.12f, "Algol"},
                                     {nullptr, 12, 0, nullptr, 0, 0, 0, "K0", 6.41f},
                                     {"Mizar", 5054, 24000, "UMa", 79, 6, 1, "A2V", 2.27f},
                                     {nullptr, 9110, 0, "Cas", 7, 0, 0, "", 5.8f}});
    const double places[5][4] = {// RA, Dec of date; longitude, latitude
                                 {4.8758, 0.6771, 4.9175, 1.0753},
                                 {0.8247, 0.7167, 0.9153, 0.3940},
                                 {0.0100, -0.5000, 6.1000, -0.4800},
                                 {3.5120, 0.9580, 2.9460, 0.9910},
                                 {6.2800, 1.0200, 1.1000, 0.9000}};
    for (int i = 1; i <= 5; ++i) {
        c.StarRA2000[i] = places[i - 1][0] - 0.0003;
        c.StarDec2000[i] = places[i - 1][1] - 0.0001;
        c.StarRADate[i] = places[i - 1][0];
        c.StarDecDate[i] = places[i - 1][1];
        c.StarLon[i] = places[i - 1][2];
        c.StarLat[i] = places[i - 1][3];
        c.StarAzimuth[i] = 0.5 * i;
        c.StarAltitude[i] = 0.2 * i - 0.5;
    }
    return c;
}

const StarsTxtMoment kMoment{" 1.01.2026", "12:00:00", "+03:00", "55N45", "37E37"};

// The lines of a golden text written in UTF-8.
std::vector<std::string> CpLines(const std::vector<std::string>& utf8) {
    std::vector<std::string> out;
    for (const std::string& l : utf8) out.push_back(Cp(l));
    return out;
}

TEST(StarTable, StarsTxtCurrentData) {
    SkyState t;
    const std::vector<std::string> expected = CpLines({
        "Каталог звезд",
        "",
        "Дата:  1.01.2026",
        "Время: 12:00:00",
        "Временная зона: +03:00",
        "Место: 55N45 37E37",
        "",
        "Название               BS       HD Код Флемстеда    Спектр  Расстояние Яркость       "
        "Долгота      Широта          Прямое   Склонение      Азимут      Высота    mRA  mDecl "
        "Английский",
        "                                        - Байера            в парсеках                    "
        "                   восхождение                                      \"/год  \"/год "
        "комментарий",
        "Vega                 7001    70010    3 alf  Lyr      A0Va       7.680    0.03  11°45' "
        "7\"Cap   61°36'37\"  18h 37m 27,06s   38°47'42\"   28°38'52\"  -17°11'19\"  7.001 -7.001 "
        "Wega",
        "Алголь                936     9360   26 bet  Per       B8V      28.460    2.12  "
        "22°26'34\"Tau   22°34'28\"   3h 09m  0,44s   41° 3'50\"   57°17'45\"  - 5°43'46\"  0.936 "
        "-0.936 Algol",
        "                       12      120                      K0                6.41  "
        "19°30'15\"Psc  -27°30' 7\"   0h 02m 17,51s  -28°38'52\"   85°56'37\"    5°43'46\"  0.012 "
        "-0.012 ",
        "Mizar                5054    50540   79 zet1 UMa       A2V      24.000    2.27  "
        "18°47'36\"Vir   56°46'48\"  13h 24m 53,47s   54°53'22\"  114°35'30\"   17°11'19\"  5.054 "
        "-5.054 ",
        "                     9110    91100    7      Cas                          5.80   3° "
        "1'31\"Gem   51°33'58\"  23h 59m 16,20s   58°26'30\"  143°14'22\"   28°38'52\"  9.110 "
        "-9.110 ",
    });
    EXPECT_EQ(StarsTxtLines(t.s, FiveStars(), false, kMoment), expected);
}

// J2000: no moment, and the columns of date are gone from the titles and the lines.
TEST(StarTable, StarsTxtJ2000) {
    SkyState t;
    const std::vector<std::string> expected = CpLines({
        "Каталог звезд",
        "",
        "J2000",
        "",
        "Название               BS       HD Код Флемстеда    Спектр  Расстояние Яркость          "
        "Прямое   Склонение    mRA  mDecl Английский",
        "                                        - Байера            в парсеках             "
        "восхождение              \"/год  \"/год комментарий",
        "Vega                 7001    70010    3 alf  Lyr      A0Va       7.680    0.03  18h 37m "
        "22,94s   38°47'21\"  7.001 -7.001 Wega",
        "Алголь                936     9360   26 bet  Per       B8V      28.460    2.12   3h 08m "
        "56,31s   41° 3'29\"  0.936 -0.936 Algol",
        "                       12      120                      K0                6.41   0h 02m "
        "13,38s  -28°39'13\"  0.012 -0.012 ",
        "Mizar                5054    50540   79 zet1 UMa       A2V      24.000    2.27  13h 24m "
        "49,34s   54°53' 1\"  5.054 -5.054 ",
        "                     9110    91100    7      Cas                          5.80  23h 59m "
        "12,07s   58°26' 9\"  9.110 -9.110 ",
    });
    EXPECT_EQ(StarsTxtLines(t.s, FiveStars(), true, kMoment), expected);
}

TEST(StarTable, StarsTxtIsWrittenAtomicallyOrReported) {
    TempDir dir;
    SkyState t(dir.path());
    const StarCatalogue c = FiveStars();
    ASSERT_TRUE(WriteStarsTxt(t.s, c, true, kMoment));
    const std::filesystem::path file = t.s.DataPath(kStarsTxtFile);
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(file, lines).ok());
    EXPECT_EQ(lines, StarsTxtLines(t.s, c, true, kMoment));
    EXPECT_NE(TempDir::Read(file).find("\r\n"), std::string::npos);
    // a file that cannot be replaced is reported and stays as it was
    const std::string before = TempDir::Read(file);
    std::filesystem::permissions(file, std::filesystem::perms::none);
    EXPECT_FALSE(WriteStarsTxt(t.s, c, false, kMoment));
    std::filesystem::permissions(file, std::filesystem::perms::owner_all);
    EXPECT_TRUE(t.Said("Stars.txt"));
    EXPECT_EQ(TempDir::Read(file), before);
}

} // namespace
} // namespace qor::test
