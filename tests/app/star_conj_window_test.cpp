// The planet-star conjunctions window of the started program: the list for the chart's moment
// (the stars brought to it when they were computed for another one), made anew after a
// recompute, the English texts, the help pages and pictures in both languages.
#include "MainWindowFixture.h"

#include "core/Text.h"
#include "sky/SkyData.h"
#include "sky/StarConj.h"
#include "ui/EnglishTexts.h"

namespace qor::shell {
namespace {

class StarConjWindowTest : public MainWindowTest {
protected:
    SkyData& Sky() { return *program->Find<SkyData>(); }
};

TEST_F(StarConjWindowTest, ListsForTheChartsMoment) {
    // the stars as if computed for another moment (no precession update at the recompute)
    Sky().Stars.StarsCalcT = program->s.ChartT - 0.5;
    form1->RunItem("N67");
    auto* w = dynamic_cast<TStarConj*>(Screen().FindForm("StarConj"));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Caption(), Cp("Соединения: планеты-звезды"));
    EXPECT_EQ(Sky().Stars.StarsCalcT, program->s.ChartT);
    EXPECT_EQ(w->Memo->Lines(), ListStarConjunctions(program->s, Sky().Stars, Sky().Deep));
    EXPECT_EQ(w->Memo1->Text(), w->Memo->Text());
    // after a recompute the list is that of the new moment
    w->Memo->SetLines({"stale"});
    program->Tech->RefreshAll();
    EXPECT_EQ(w->Memo->Lines(), ListStarConjunctions(program->s, Sky().Stars, Sky().Deep));
    std::vector<std::string> english;
    ASSERT_TRUE(ReadTextLines(kShippedData / "English.txt", english).ok());
    EXPECT_EQ(EnglishCoverageProblems({w}, english, true), std::vector<std::string>{});
    for (const char* folder : {"Manual", "EManual"}) {
        const std::string text =
            test::TempDir::Read(kShippedData / folder / "conjunction_planet_star.html");
        EXPECT_GT(text.size(), 800u) << folder;
        const std::string index = test::TempDir::Read(kShippedData / folder / "index.html");
        EXPECT_NE(index.find("href=\"conjunction_planet_star.html"), std::string::npos);
    }
    for (const char* lang : {"ru", "en"}) {
        if (std::string(lang) == "en") {
            StartInEnglish();
            form1->RunItem("N67");
            w = dynamic_cast<TStarConj*>(Screen().FindForm("StarConj"));
            ASSERT_NE(w, nullptr);
        }
        EXPECT_TRUE(w->grab().save(QString::fromStdString(std::string("conj_") + lang + ".png")));
    }
}

} // namespace
} // namespace qor::shell
