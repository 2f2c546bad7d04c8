// The report frame: the work file, the opening of the bases with the list of failures, the
// headings, the separation text and the degree-symbol texts.
#include "interp/Report.h"

#include "InterpTestSupport.h"
#include "core/AstroMath.h"
#include "core/Text.h"
#include "interp/TextBase.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace qor::interp {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

class ReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* f : {"rtext.txt", "etext.txt"})
            fs::copy_file(fs::path(QOR_SOURCE_DIR) / "data" / f, dir / f);
        s.ProgramFolder = dir.path();
        s.Report = &report;
        hooks.SetCaption = [this](const std::string& c) { captions.push_back(c); };
        hooks.ShowWorkFile = [this](const fs::path& f) {
            shown = TempDir::Read(f);
            ++shows;
            return true;
        };
        hooks.Busy = [this](bool b) { busy.push_back(b); };
        w = std::make_unique<ReportWriter>(s, hooks);
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> out;
        for (const auto& m : report.messages) out.push_back(m.text);
        return out;
    }

    TempDir dir;
    test::RecordingReport report;
    AstroDat s;
    ReportHooks hooks;
    std::vector<std::string> captions;
    std::vector<bool> busy;
    std::string shown;
    int shows = 0;
    std::unique_ptr<ReportWriter> w;
};

TEST_F(ReportTest, WorkFileIsCodePageTextWithCrLf) {
    s.GlyphNames = true;
    w->Run([&] {
        EXPECT_FALSE(s.GlyphNames); // names come out as words while the report runs
        w->AddLine(Cp("Натальная карта"));
        w->AddLine("");
        w->SectionHeading("[1.5]   Sun in the fifth  ");
        w->SectionHeading("[1.6]");
        w->SectionHeading("no header");
    });
    EXPECT_TRUE(s.GlyphNames);
    EXPECT_EQ(busy, (std::vector<bool>{true, false}));
    EXPECT_EQ(captions, (std::vector<std::string>{"noname"}));
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(shown, Cp("Натальная карта") + "\r\n\r\n\r\n* Sun in the fifth\r\n\r\n* \r\n");
    EXPECT_TRUE(Messages().empty());
    // Lines outside a report go nowhere.
    w->AddLine("stray");
    EXPECT_FALSE(w->TextOpen());
}

TEST_F(ReportTest, FrameComesBackWhenTheBodyThrows) {
    s.GlyphNames = true;
    EXPECT_THROW(w->Run([] { throw std::runtime_error("x"); }), std::runtime_error);
    EXPECT_TRUE(s.GlyphNames);
    EXPECT_FALSE(w->TextOpen());
    EXPECT_EQ(busy, (std::vector<bool>{true, false}));
    EXPECT_EQ(shows, 0);
}

TEST_F(ReportTest, WorkFileThatCannotBeCreatedIsReportedAndNothingIsShown) {
    // "text.tmp" taken by a folder
    fs::create_directory(dir / "text.tmp");
    w->Run([&] { w->AddLine("lost"); });
    EXPECT_EQ(shows, 0);
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_EQ(report.messages[0].text,
              std::string(std::strerror(EISDIR)) + ": " + (dir / "text.tmp").string());
}

TEST_F(ReportTest, WorkFileOnAFullDiskIsReportedAndNothingIsShown) {
    // The work file's writes fail: the lines must not reach the window as a report.
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    fs::create_symlink("/dev/full", dir / "text.tmp");
    w->Run([&] {
        for (int i = 0; i < 2000; ++i) w->AddLine(std::string(100, 'x'));
    });
    EXPECT_EQ(shows, 0);
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_EQ(report.messages[0].text.rfind(std::strerror(ENOSPC), 0), 0u)
        << report.messages[0].text;
}

TEST_F(ReportTest, BasesOffFailedAndRead) {
    dir.Write("Txt/Verlin/sign.txt", "[1.1] a\r\nb\r\n");
    TextBaseSettings& t = w->Settings;
    std::string bytes;
    struct Case {
        BaseSetting base;
        BaseOpen result;
    };
    const Case cases[] = {
        {{"Txt\\Verlin\\sign.txt", true}, BaseOpen::Read},
        {{"txt\\VERLIN\\Sign.TXT", true}, BaseOpen::Read}, // any case
        {{"Txt\\Verlin\\sign.txt", false}, BaseOpen::Off}, // switched off
        {{"", true}, BaseOpen::Off},
        {{"   ", true}, BaseOpen::Off},
        {{"nofile", true}, BaseOpen::Off},
        {{".\\nofile", true}, BaseOpen::Off},
        {{"Txt\\none.txt", true}, BaseOpen::Failed},
        {{"Txt", true}, BaseOpen::Failed}, // a folder
    };
    for (const auto& c : cases) {
        t[BaseId::Sign] = c.base;
        EXPECT_EQ(w->OpenBase(BaseId::Sign, bytes), c.result) << c.base.file;
        if (c.result == BaseOpen::Read) {
            EXPECT_EQ(bytes, "[1.1] a\r\nb\r\n");
        }
    }
    EXPECT_EQ(w->Missing(),
              (std::vector<std::string>{std::string(std::strerror(ENOENT)) + ": " +
                                            (dir / "Txt/none.txt").string(),
                                        std::string(std::strerror(EISDIR)) + ": " +
                                            (dir / "Txt").string()}));
    EXPECT_TRUE(report.messages.empty()); // told after the report, not while it runs
}

TEST_F(ReportTest, OneFileServesTwoBases) {
    // The default sign.txt holds both the planets' and the cusps' sections.
    dir.Write("Txt/Verlin/sign.txt", "[1.1] Sun in Aries\r\nsun\r\n[101.1] Cusp\r\ncusp\r\n");
    ASSERT_EQ(w->Settings[BaseId::Sign].file, w->Settings[BaseId::Hsign].file);
    auto lookup = [&](BaseId id, int first) {
        std::string bytes;
        EXPECT_EQ(w->OpenBase(id, bytes), BaseOpen::Read);
        const auto secs = ReadSections(bytes, [first](std::string_view h) {
            PlnKey k;
            return ParsePlnKey(h, k) && k.first == first && k.second == 1 ? Verdict::Take
                                                                          : Verdict::Skip;
        });
        return secs.empty() ? std::string() : secs[0].lines[0];
    };
    EXPECT_EQ(lookup(BaseId::Sign, 1), "sun");
    EXPECT_EQ(lookup(BaseId::Hsign, 101), "cusp");
}

TEST_F(ReportTest, TenDistinctFailuresAreShownOnceEachAfterTheReport) {
    w->Run([&] {
        std::string bytes;
        for (int i = 1; i <= 12; ++i) {
            // each twice: a failure is kept once
            for (int twice = 0; twice < 2; ++twice)
                w->OpenBaseFile({"Txt\\missing" + std::to_string(i) + ".txt", true}, bytes);
        }
        w->AddLine("the rest of the report");
    });
    EXPECT_EQ(shows, 1);
    const auto m = Messages();
    ASSERT_EQ(m.size(), 10u); // the eleventh and twelfth are not shown
    for (int i = 1; i <= 10; ++i)
        EXPECT_EQ(m[static_cast<std::size_t>(i - 1)],
                  std::string(std::strerror(ENOENT)) + ": " +
                      (dir / ("Txt/missing" + std::to_string(i) + ".txt")).string());
    EXPECT_TRUE(w->Missing().empty());
    // The next report starts with an empty list.
    report.messages.clear();
    w->Run([] {});
    EXPECT_TRUE(report.messages.empty());
}

TEST(SeparationText, FoldedIntoHalfACircle) {
    struct Case {
        double a, b;
        const char* text;
    };
    const Case cases[] = {{10, 100, " 90,0"}, {100, 10, " 90,0"},  {350, 10, " 20,0"},
                          {0, 180, "180,0"},  {0, 190, "170,0"},   {5, 5, "  0,0"},
                          {0, 92.46, " 92,5"}, {-10, 10, " 20,0"}, {720, 1, "  1,0"}};
    for (const auto& c : cases)
        EXPECT_EQ(SeparationText(c.a * kDegToRad, c.b * kDegToRad), std::string(c.text) + "\xB0")
            << c.a << " " << c.b;
}

class DegreeSymbolsTest : public ReportTest {
protected:
    void SetUp() override {
        ReportTest::SetUp();
        dir.Write("Txt/Gradus/GOstrel.txt", test::Fixture1251("degrees_first.txt"));
        dir.Write("Txt/Gradus/GFirnel.txt", test::Fixture1251("degrees_second.txt"));
    }
    std::string Report(std::initializer_list<int> degrees) {
        w->Run([&] {
            for (auto& m : w->DegreeMarks) m.clear();
            for (int d : degrees) w->DegreeMarks[static_cast<std::size_t>(d)] = "*";
            w->DegreeSymbols();
        });
        return shown;
    }
};

TEST_F(DegreeSymbolsTest, HeadingFromTheFirstBaseThenBothEntries) {
    const std::string heading = Cp("2-й градус знака Овен — первый знак");
    EXPECT_EQ(Report({2}), "\r\n" + heading + "\r\n" +
                               Cp("Второй градус Овна, «я» в конце я\r\n"
                                  "и 12 строк — это продолжение, а не градус 12\r\n") +
                               "Second text of degree 2.\r\n");
    // Only the second base has degree 12 of Aries: the heading takes its title.
    EXPECT_EQ(Report({12}), "\r\n" + Cp("12-й градус знака ") + "Aries in the second file\r\n" +
                                "Degree twelve of Aries.\r\n");
    // Degree 33 (3 of Taurus) is in the second base only; 1 of Taurus in neither: nothing.
    EXPECT_EQ(Report({31, 33}),
              "\r\n" + Cp("3-й градус знака ") + "Taurus\r\nThree of Taurus.\r\n");
    EXPECT_EQ(Report({31, 200}), "");
}

TEST_F(DegreeSymbolsTest, SwitchesAndMarksOfOnePoint) {
    w->Settings[BaseId::Rgradus].on = false;
    s.PlanetLon[1] = 1.5 * kDegToRad; // degree 2
    w->Run([&] { w->DegreeMark(1); });
    EXPECT_EQ(shown, "\r\n" + Cp("2-й градус знака ") +
                         "Aries in the second file\r\nSecond text of degree 2.\r\n");
    EXPECT_EQ(w->DegreeMarks[2], "*");
    int marked = 0;
    for (const auto& m : w->DegreeMarks) marked += !m.empty();
    EXPECT_EQ(marked, 1);
    // English texts: message 125 of the English file.
    s.EnglishMode = true;
    w->Settings[BaseId::Rgradus].on = true;
    w->Settings[BaseId::Ggradus].on = false;
    s.PlanetLon[1] = 0.2 * kDegToRad;
    w->Run([&] { w->DegreeMark(1); });
    EXPECT_EQ(shown, "\r\nDegree 1 of " + Cp("Овен — первый знак\r\nПервый градус Овна.\r\n"
                                             "продолжение первого градуса\r\n"));
}

} // namespace
} // namespace qor::interp
