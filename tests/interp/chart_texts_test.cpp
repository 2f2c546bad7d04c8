// The chart's reports and texts in a program: the natal report from the text window's menu,
// the entries other windows call through Services (the chart menu's item, the star, deep-sky,
// planet, sign and aspect texts), the window following a chart point through recomputes, the
// star places brought to the chart's moment, and the busy state given back on every way out.
#include "InterpWindowFixture.h"
#include "NatalReportSupport.h"

#include "core/AstroMath.h"
#include "core/Text.h"
#include "interp/ChartTexts.h"
#include "shell/StarsAtChart.h"
#include "sky/SkyData.h"

#include <QGuiApplication>
#include <QTextCursor>

namespace qor::interp {
namespace {

class ChartTextsTest : public InterpWindowTest {
protected:
    void SetUp() override {
        InterpWindowTest::SetUp();
        Chart();
    }
    // Equal houses from 0° Aries; the Sun at 100° (Cancer, house 4), the Moon at 105°.
    void Chart() {
        for (int h = 1; h <= 12; ++h)
            S().PlanetLon[static_cast<std::size_t>(26 + h)] = (h - 1) * 30 * kDegToRad;
        for (int p = 1; p <= 16; ++p)
            S().PlanetLon[static_cast<std::size_t>(p)] = (3 + 20 * p) * kDegToRad;
        S().PlanetLon[1] = 100 * kDegToRad;
        S().PlanetLon[2] = 105 * kDegToRad;
        P().AspTable = test_support::MajorPage();
    }
    void Base(const std::string& rel, const std::string& utf8) {
        dir.Write(rel, test::CrLf(Cp(utf8)));
    }
    bool CaretAtStart() const { return interp->Memo->textCursor().position() == 0; }
    // A text shown before, with a name of its own.
    void OldText() {
        interp->Memo->SetLines({"old text"});
        interp->IntSetCaption("saved.rtf");
    }
    bool OldTextStays() const {
        return interp->Memo->Lines() == std::vector<std::string>{"old text"} &&
               interp->FileName == "saved.rtf";
    }
};

TEST_F(ChartTextsTest, ChartMenuItemReportsThePointAndFollowsIt) {
    Base("Txt/Verlin/sign.txt", "[1.4] Sun in Cancer\nHome first.\n[1.5] Sun in Leo\nStage.\n"
                                "[102.2] Second cusp in Taurus\nSteady means.\n");
    Base("Txt/Verlin/house.txt", "[1.4]\nRoots.\n");
    Base("Txt/Tormac/aspect.txt", "[2.1.1]\nMoon with the Sun.\n");
    ASSERT_TRUE(P().Svc.N57Click);
    interp->hide();
    interp->Memo->SetLines(std::vector<std::string>(40, "old line"));
    interp->Memo->moveCursor(QTextCursor::End);
    P().Svc.N57Click(1);
    EXPECT_EQ(P().Flags.InterpPoint, 1);
    EXPECT_TRUE(interp->isVisible());
    EXPECT_TRUE(CaretAtStart());
    // (the aspect's name comes from the page, which names it in English)
    const std::vector<std::string> want = {Cp("СОЛНЦЕ"),
                                           "",
                                           Cp("* Солнце в IV-м доме"),
                                           "Roots.",
                                           "",
                                           Cp("* Солнце в знаке Рак"),
                                           "Home first.",
                                           "",
                                           Cp("* Conjunction Луна - Солнце   (  5,0°)"),
                                           "Moon with the Sun."};
    EXPECT_EQ(interp->Memo->Lines(), want);
    EXPECT_TRUE(P().Flags.ProgramIdle);
    // A recompute moves the Sun into Leo: the window follows it.
    S().PlanetLon[1] = 130 * kDegToRad;
    P().Svc.RefreshWindow["Interp"](*interp);
    const auto moved = interp->Memo->Lines();
    ASSERT_EQ(moved.size(), 4u); // neither the house text nor the aspect any more
    EXPECT_EQ(moved[2], Cp("* Солнце в знаке Лев"));
    EXPECT_EQ(moved[3], "Stage.");
    // A cusp: the house's report.
    P().Svc.N57Click(28);
    EXPECT_EQ(P().Flags.InterpPoint, 28);
    EXPECT_EQ(interp->Memo->Lines(),
              (std::vector<std::string>{"", "* Second cusp in Taurus", "Steady means."}));
    // The failed bases of these reports wait for the next natal report.
    EXPECT_TRUE(dialogs.Messages().empty());
    // A minimized window comes back.
    interp->SetWindowState(ui::WindowState::Minimized);
    P().Svc.N57Click(1);
    EXPECT_NE(interp->State(), ui::WindowState::Minimized);
}

TEST_F(ChartTextsTest, AspectTextOrAWordOnTheStatusLine) {
    Base("Txt/Tormac/aspect.txt", "[1.1.2]\nTogether.\n[3.4.4]\nNot this pair.\n");
    OldText();
    // Mercury and Venus: no aspect, no text; the window stays as it was.
    P().Svc.IntAspectText(3, 4);
    EXPECT_TRUE(OldTextStays());
    EXPECT_EQ(S().StatusText, Cp("Нет интерпретации этого аспекта"));
    // A switched-off base is read all the same.
    intSet->Switches[static_cast<std::size_t>(BaseId::Aspect)]->SetChecked(false);
    P().Flags.InterpPoint = 1;
    P().Svc.IntAspectText(2, 1);
    EXPECT_EQ(interp->Memo->Lines(),
              (std::vector<std::string>{"", Cp("* Conjunction Солнце - Луна   (  5,0°)"),
                                        "Together."}));
    EXPECT_EQ(interp->FileName, "noname");
    EXPECT_EQ(P().Flags.InterpPoint, 0); // the window no longer follows the Sun
    EXPECT_TRUE(S().GlyphNames);
    EXPECT_TRUE(P().Flags.ProgramIdle);
    // In English.
    Make(true);
    Chart();
    dir.Write("Txt/Tormac/aspect-e.txt", "");
    P().Svc.IntAspectText(3, 4);
    EXPECT_EQ(S().StatusText, "No text for reading of this aspect");
}

TEST_F(ChartTextsTest, StarDeepSkyPlanetAndSignTexts) {
    SkyData& sky = P().Own<SkyData>();
    sky.Stars.StarCount = 1;
    sky.Stars.YaleStars.resize(2);
    sky.Stars.StarLon.assign(2, 1.0);
    sky.Stars.YaleStars[1].BS = 1903;
    sky.Stars.YaleStars[1].Mag = 1.7f;
    sky.Stars.YaleStars[1].NameOffset = 1;
    sky.Stars.StarNames = std::string(1, '\x07') + "Alnilam";
    sky.Deep.DeepCount = 1;
    sky.Deep.DeepObjs.resize(2);
    sky.Deep.DeepObjs[1].NameRus = Cp("Туманность Ориона");
    sky.Deep.DeepObjs[1].Code = "M42";
    sky.Deep.DeepObjs[1].Mag = 4;
    Base("Txt/stars.txt", "[1852,1903,1948] The belt\nThree in a row.\n[M42]\nA nursery of stars.\n");
    Base("Txt/Planet.txt", "[ 3]\nMercury's text.\n");
    Base("Txt/Sign.txt", "[12]\n");
    OldText();
    // The sign has a header without lines: no text, the window as it was.
    P().Svc.IntSignText(12);
    EXPECT_TRUE(OldTextStays());
    P().Svc.IntPlanetText(3);
    EXPECT_EQ(interp->Memo->Lines(), std::vector<std::string>{"Mercury's text."});
    EXPECT_TRUE(CaretAtStart());
    // The star base's switch is not asked.
    intSet->Switches[static_cast<std::size_t>(BaseId::Stars)]->SetChecked(false);
    P().Svc.IntStarText(1);
    EXPECT_EQ(interp->Memo->Lines(),
              (std::vector<std::string>{"Alnilam (  m 1,70)", "Three in a row."}));
    P().Svc.IntDeepSkyText(1);
    EXPECT_EQ(interp->Memo->Lines(),
              (std::vector<std::string>{Cp("Туманность Ориона (M42  m 4,00)"),
                                        "A nursery of stars."}));
    // Objects that are not there change nothing.
    P().Svc.IntStarText(2);
    P().Svc.IntDeepSkyText(0);
    const auto still = interp->Memo->Lines();
    ASSERT_EQ(still.size(), 2u);
    EXPECT_EQ(still[1], "A nursery of stars.");
    EXPECT_TRUE(dialogs.Messages().empty());
}

TEST_F(ChartTextsTest, NatalReportFromTheMenuInBothLanguages) {
    for (bool english : {false, true}) {
        Make(english);
        Chart();
        const std::string suffix = english ? "-e" : "";
        Base("Txt/Verlin/sign" + suffix + ".txt", "[1.4] Sun in Cancer\nSign text.\n"
                                                  "[104.4]\nCusp four.\n");
        Cmd("Interp,Nnatal", "");
        const auto lines = interp->Memo->Lines();
        ASSERT_GE(lines.size(), 4u);
        EXPECT_EQ(lines[0], GetMsgText(S(), 126));
        const std::string sign = english ? "* Sun in Cancer" : Cp("* Солнце в знаке Рак");
        const std::string house = english ? "IV HOUSE" : Cp("IV ДОМ");
        const auto at = std::find(lines.begin(), lines.end(), sign);
        ASSERT_NE(at, lines.end()) << english;
        EXPECT_EQ(*(at + 1), "Sign text.");
        EXPECT_LT(std::find(lines.begin(), lines.end(), house), at);
        EXPECT_NE(std::find(lines.begin(), lines.end(), "Cusp four."), lines.end());
        // The bases that are not there are told after the report, each once.
        const auto told = dialogs.Messages();
        EXPECT_FALSE(told.empty());
        EXPECT_EQ(std::set<std::string>(told.begin(), told.end()).size(), told.size());
        dialogs.asked.clear();
        EXPECT_TRUE(P().Flags.ProgramIdle);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
}

TEST_F(ChartTextsTest, BusyStateComesBackWhenTheWorkFileFails) {
    // "text.tmp" cannot be made: a folder stands in its place.
    fs::create_directories(dir / "text.tmp");
    OldText();
    Cmd("Interp,Nnatal", "");
    EXPECT_TRUE(P().Flags.ProgramIdle);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(S().GlyphNames);
    EXPECT_EQ(interp->Memo->Lines(), std::vector<std::string>{"old text"});
    ASSERT_FALSE(dialogs.Messages().empty());
    EXPECT_NE(dialogs.Messages()[0].find("text.tmp"), std::string::npos);
    // The one-point reports as well.
    P().Svc.N57Click(1);
    EXPECT_TRUE(P().Flags.ProgramIdle);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(ChartTextsTest, StarPlacesBroughtToTheChartMoment) {
    // Star places of the moment T0; the rule: half an arc-second of precession or more.
    double starsT = 0;
    int computed = 0;
    P().Svc.StarsCalcT = [&] { return starsT; };
    P().Svc.ComputeStarPositions = [&] {
        ++computed;
        starsT = S().ChartT;
    };
    const double halfArcsec = 0.5 / shell::kPrecessionArcsecPerCentury;
    struct Case {
        double chartT;
        bool brought;
    } cases[] = {
        {0, false},
        {0.4 * halfArcsec, false},
        {-0.9 * halfArcsec, false}, // rounds to nothing
        {1.2 * halfArcsec, true},
        {-1.2 * halfArcsec, true},
        {-0.5, true}, // fifty years back
    };
    for (const Case& c : cases) {
        starsT = 0;
        computed = 0;
        S().ChartT = c.chartT;
        EXPECT_EQ(shell::StarsBehindChart(P()), c.brought) << c.chartT;
        Cmd("Interp,Nnatal", "");
        EXPECT_EQ(computed, c.brought ? 1 : 0) << c.chartT;
        EXPECT_FALSE(shell::StarsBehindChart(P()));
    }
    // Without the sky data nothing is due.
    P().Svc.StarsCalcT = nullptr;
    EXPECT_FALSE(shell::StarsBehindChart(P()));
    EXPECT_FALSE(shell::BringStarsToChartMoment(P()));
}

} // namespace
} // namespace qor::interp
