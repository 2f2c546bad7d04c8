// The Moon-in-sign window: the sign of the chart's Moon (python3-ephem's sign an hour before
// and after an ingress), its text from the base, the scroll bar over the twelve signs, the
// background chart's Moon in a double chart, the base read once until it changes, "nofile"
// and a missing file keeping the text, both languages, Esc.
#include "InterpWindowFixture.h"

#include "core/AstroMath.h"
#include "core/Files.h"
#include "core/Planets.h"
#include "core/Text.h"
#include "core/TimeStep.h"
#include "interp/MoonSgn.h"
#include "support/JulianDays.h"

#include <QKeyEvent>

#include <fstream>
#include <sstream>

namespace qor::interp {
namespace {

TEST(MoonSignOf, LongitudesAtTheEdges) {
    struct Case {
        double lon;
        int sign;
    };
    const double arcmin = kDegToRad / 60;
    for (const Case c : {Case{0, 1}, Case{29.99 * kDegToRad, 1}, Case{30.01 * kDegToRad, 2},
                         Case{100 * kDegToRad, 4}, Case{kTwoPi - arcmin, 12},
                         Case{kTwoPi - 1e-12, 12}, Case{kTwoPi, 12}})
        EXPECT_EQ(MoonSignOf(c.lon), c.sign) << c.lon;
}

class MoonSgnTest : public InterpWindowTest {
protected:
    void SetUp() override {
        InterpWindowTest::SetUp();
        Base("Txt/MoonMed.txt", kBase);
    }
    void Base(const std::string& rel, const std::string& utf8) {
        dir.Write(rel, test::CrLf(Cp(utf8)));
    }
    TMoonSgn* Open() {
        auto* w = ui::Screen().Ensure<TMoonSgn>("MoonSgn");
        if (w) w->show();
        return w;
    }
    void Moon(double deg) { S().PlanetLon[2] = deg * kDegToRad; }
    static constexpr const char* kBase =
        "/ the Moon in the signs\n"
        "x04 a body line that looks like a key\n"
        "[01] Aries\nMoon in Aries.\n\n/ comment\nSecond line of Aries.\n"
        "[04] Cancer\nMoon in Cancer.\n"
        "[12] Pisces\nMoon in Pisces.\n"
        "[05]\n";
};

TEST_F(MoonSgnTest, FollowsTheChartsMoon) {
    Moon(100);
    TMoonSgn* w = Open();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->Caption(), Cp("Луна в знаке: Рак"));
    EXPECT_EQ(w->ScrollBar->Position(), 3);
    EXPECT_EQ(w->Memo->Lines(), std::vector<std::string>{"Moon in Cancer."});
    // The scroll bar steps through the signs; empty lines and comments are left out.
    Cmd("MoonSgn,ScrollBar", "0");
    EXPECT_EQ(w->Caption(), Cp("Луна в знаке: Овен"));
    EXPECT_EQ(w->Memo->Lines(),
              (std::vector<std::string>{"Moon in Aries.", "Second line of Aries."}));
    // The recompute hub shows the chart's Moon again: 29°59' of Pisces is Pisces.
    Moon(359 + 59.0 / 60);
    P().Svc.RefreshWindow["MoonSgn"](*w);
    EXPECT_EQ(w->ScrollBar->Position(), 11);
    EXPECT_EQ(w->Memo->Lines(), std::vector<std::string>{"Moon in Pisces."});
    // In a double chart, the background chart's Moon.
    P().Flags.DoubleChart = true;
    S().PlanetLonBck[2] = 5 * kDegToRad;
    P().Svc.RefreshWindow["MoonSgn"](*w);
    EXPECT_EQ(w->ScrollBar->Position(), 0);
    // A heading that is the base's last line gives an empty text.
    Cmd("MoonSgn,ScrollBar", "4");
    EXPECT_EQ(w->Memo->Lines(), std::vector<std::string>{});
    EXPECT_EQ(w->Caption(), Cp("Луна в знаке: Лев"));
}

TEST_F(MoonSgnTest, TheBaseIsReadOnceUntilItChanges) {
    Moon(100);
    TMoonSgn* w = Open();
    for (int i = 0; i < 5; ++i) P().Svc.RefreshWindow["MoonSgn"](*w);
    Cmd("MoonSgn,ScrollBar", "11");
    EXPECT_EQ(w->Base().Reads, 1);
    // The file changes: read again.
    Base("Txt/MoonMed.txt", "[12]\nPisces, rewritten at more length.\n");
    P().Svc.RefreshWindow["MoonSgn"](*w);
    EXPECT_EQ(w->Base().Reads, 2);
    EXPECT_EQ(w->Memo->Lines(), std::vector<std::string>{});
    Cmd("MoonSgn,ScrollBar", "11");
    EXPECT_EQ(w->Memo->Lines(), std::vector<std::string>{"Pisces, rewritten at more length."});
    // Another base: read.
    Base("Txt/Other.txt", "[04]\nAnother Cancer.\n");
    intSet->Edits[static_cast<std::size_t>(BaseId::MoonMed)]->SetText("Txt\\Other.txt");
    P().Svc.RefreshWindow["MoonSgn"](*w);
    EXPECT_EQ(w->Base().Reads, 3);
    EXPECT_EQ(w->Memo->Lines(), std::vector<std::string>{"Another Cancer."});
}

// "nofile" or a missing file: the caption follows the sign, the text stays; the failure is
// told once, not at every recompute.
TEST_F(MoonSgnTest, NoFileKeepsTheText) {
    Moon(100);
    TMoonSgn* w = Open();
    intSet->Edits[static_cast<std::size_t>(BaseId::MoonMed)]->SetText("nofile");
    Cmd("MoonSgn,ScrollBar", "0");
    EXPECT_EQ(w->Caption(), Cp("Луна в знаке: Овен"));
    EXPECT_EQ(w->Memo->Lines(), std::vector<std::string>{"Moon in Cancer."});
    intSet->Edits[static_cast<std::size_t>(BaseId::MoonMed)]->SetText("Txt\\Missing.txt");
    for (int i = 0; i < 3; ++i) P().Svc.RefreshWindow["MoonSgn"](*w);
    EXPECT_EQ(w->Memo->Lines(), std::vector<std::string>{"Moon in Cancer."});
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_NE(report.messages[0].text.find("Missing.txt"), std::string::npos);
}

TEST_F(MoonSgnTest, EnglishCaptionsAndEsc) {
    Make(true);
    Base("Txt/MoonMed-e.txt", "[04]\nThe Moon in Cancer.\n");
    Moon(100);
    TMoonSgn* w = Open();
    EXPECT_EQ(w->Caption(), "Moon in Sign - Cancer");
    EXPECT_EQ(w->Memo->Lines(), std::vector<std::string>{"The Moon in Cancer."});
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(dir / "English.txt", lines).ok());
    EXPECT_EQ(ui::EnglishCoverageProblems({w}, lines, true), std::vector<std::string>{});
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(w->Memo, &esc);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ui::Screen().FindForm("MoonSgn"), nullptr);
}

// The sign of the geocentric Moon an hour before and after six ingresses, as python3-ephem
// gives it (ecliptic of date).
TEST_F(MoonSgnTest, SignAroundIngressesAgainstPyEphem) {
    for (const char* f : {"PLANETS.NDX", "PLANETS.DAT"})
        fs::copy_file(fs::path(QOR_SOURCE_DIR) / "data" / f, dir / f);
    for (int i = 0; i < kPlanetSeriesBodies; ++i) ASSERT_TRUE(LoadPlanetTerms(S(), i).ok);
    std::ifstream in(fs::path(QOR_FIXTURES_DIR) / "moon_sun_days.txt");
    ASSERT_TRUE(in);
    ChartOptions opt;
    GeneralOptions gen;
    gen.HorParallax = false;
    std::string line, kind;
    int rows = 0;
    TMoonSgn* w = Open();
    while (std::getline(in, line)) {
        std::istringstream f(line);
        double jd;
        int sign;
        if (!(f >> kind) || kind != "ms" || !(f >> jd >> sign)) continue;
        const ChartMoment m = test::MomentOfJD(jd);
        S().ChartYear = m.Year;
        S().ChartMonth = m.Month;
        S().ChartDay = m.Day;
        S().ChartHour = m.Hour;
        S().ChartMinute = m.Minute;
        S().ChartSecond = m.Second;
        S().ChartZone = 0;
        CalcAstroTime(S(), TimeOptionsFor(opt, gen));
        CalcChart(S(), opt, gen, 2);
        P().Svc.RefreshWindow["MoonSgn"](*w);
        EXPECT_EQ(w->ScrollBar->Position() + 1, sign) << jd;
        ++rows;
    }
    EXPECT_EQ(rows, 12);
}

} // namespace
} // namespace qor::interp
