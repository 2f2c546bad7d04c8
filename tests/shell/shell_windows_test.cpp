// The shell's small windows inside the running program: created by name, their changes ending
// in the program's recompute hub, the fonts going to the service form, the parts window
// refreshed after a recompute and the day summary from the start record.
#include "shell/ShellWindows.h"

#include "core/AstroMath.h"
#include "core/ChartRecords.h"
#include "core/Planets.h"
#include "core/Text.h"
#include "shell/ParsWindow.h"
#include "shell/SettingsDialogs.h"
#include "shell/StartWindows.h"
#include "shell/Tech.h"
#include "support/QtApp.h"
#include "support/TempDir.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <filesystem>

namespace qor::shell {
namespace {

using namespace ui;
namespace fs = std::filesystem;

const fs::path kData = fs::path(QOR_SOURCE_DIR) / "data";

class ShellWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtApp();
        for (const char* f : {"PLANETS.NDX", "PLANETS.DAT", "rtext.txt", "etext.txt"})
            fs::copy_file(kData / f, dir / f);
        fs::create_directories(dir.path() / "Parses");
        fs::copy_file(kData / "Parses" / "Parses.prs", dir.path() / "Parses" / "Parses.prs");
        Screen().SetDialogs(&dialogs);
        p = std::make_unique<Program>(dir.path());
        for (int i = 0; i <= 9; ++i) ASSERT_TRUE(LoadPlanetTerms(p->s, i).ok);
        p->Tech = dynamic_cast<TTech*>(Screen().CreateForm("Tech"));
        ASSERT_NE(p->Tech, nullptr);
        AstroDat& s = p->s;
        s.DatRecStart = {
            "", "", " 4.03.2024 ", "21:40:00", "+03:00", Cp("55°45'N"), Cp(" 37°37'E"), "", "", ""};
        ASSERT_TRUE(UnpackDatRecToChart(s, s.DatRecStart));
        p->Flags.Ready = true;
        p->Flags.ScreenMode = 'V';
    }
    void TearDown() override {
        p.reset();
        Screen().SetDialogs(nullptr);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    test::TempDir dir;
    AnsweringDialogs dialogs;
    std::unique_ptr<Program> p;
};

TEST_F(ShellWindowsTest, SettingsChangesRunTheHub) {
    auto* g = dynamic_cast<TGenSet*>(Screen().CreateForm("GenSet"));
    ASSERT_NE(g, nullptr);
    g->show();
    const int before = p->Tech->RefreshCount;
    p->Commands.RunUICommand("GenSet,NodeCheckBox", "False");
    EXPECT_EQ(p->Tech->RefreshCount, before + 1);
    p->ReadOptions();
    EXPECT_FALSE(p->GeneralOpt.TrueNodes);
    // Light time recomputes the stars with the chart, and only around that pass.
    g->LightSpeed->SetChecked(false);
    EXPECT_EQ(p->Tech->RefreshCount, before + 2);
    EXPECT_FALSE(p->Flags.StarsRecalc);
    EXPECT_FALSE(p->s.UseLightTime);
    // The table font goes to the service form.
    dialogs.fontAnswers.push_back({204, 0, "Liberation Mono", 10, 0});
    g->CourierButton->Click();
    EXPECT_EQ(p->Tech->TableFont.name, "Liberation Mono");
}

TEST_F(ShellWindowsTest, PartsWindowActivatesAndFollowsTheRecompute) {
    auto* w = dynamic_cast<TPars*>(Screen().CreateForm("Pars"));
    ASSERT_NE(w, nullptr);
    w->show();
    p->Tech->RefreshAll();
    w->SetActiveParses->Click();
    EXPECT_EQ(p->s.ParsCount, 9);
    // The part of Fortune as a chart point equals its value in the grid.
    const double fortune = p->s.PlanetLon[ParsPoint(p->s.NExtra, 1)];
    EXPECT_EQ(w->DrawGrid->Cell(1, 2), w->ParsCellText(1, 2));
    EXPECT_NEAR(p->s.ParsResult, fortune, 1e-9);
    const std::string value = w->DrawGrid->Cell(1, 2);
    p->s.ChartDay = 20;
    p->Tech->RefreshAll();
    EXPECT_NE(w->DrawGrid->Cell(1, 2), value); // the window showed the new chart's value
    // At the next start the restored list goes back into the chart.
    p->s.ParsActive.clear();
    p->s.ParsCount = 0;
    RestoreActiveParts(*p);
    EXPECT_EQ(p->s.ParsCount, 9);
}

TEST_F(ShellWindowsTest, DaySummaryFromTheStartRecord) {
    p->s.ChartYear = 1990; // another moment is current
    TStartShow* w = ShowDayInfo(*p);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Lines()[0], "  4 марта 2024 Понедельник  21:40:00"_cp);
    EXPECT_EQ(p->s.ChartYear, 1990);
    EXPECT_GT(w->PhaseFraction, 0.2); // a waning crescent, two days after the last quarter
    EXPECT_LT(w->PhaseFraction, 0.5);
    EXPECT_GT(w->PhaseAngle, 0);
}

} // namespace
} // namespace qor::shell

namespace qor::shell {
namespace {

// The window classes belong to the program: a class registered by one program makes no window
// once that program is gone, and the next program starts from the shell's own classes.
TEST(ProgramRegistries, WindowClassesAndKeptDataLiveAndDieWithTheProgram) {
    test::QtApp();
    test::TempDir dir;
    struct Kept {
        int value = 7;
    };
    std::weak_ptr<int> watch;
    {
        Program first(dir.path());
        first.FormClasses.Register("OwnWindow", [] { return new TForm("OwnWindow"); });
        EXPECT_TRUE(Screen().HasFormClass("OwnWindow"));
        EXPECT_TRUE(Screen().HasFormClass("Tech"));
        TForm* w = Screen().Ensure("OwnWindow");
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(Screen().Ensure("OwnWindow"), w); // the live one, not a second
        // A placeholder stands for a long-lived window no subsystem built.
        TForm* data = Screen().CreateForm("DataForm");
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(data->Caption(), "Данные"_cp);

        EXPECT_EQ(first.Find<Kept>(), nullptr);
        first.Own<Kept>().value = 8;
        EXPECT_EQ(first.Own<Kept>().value, 8); // made once
        ASSERT_NE(first.Find<Kept>(), nullptr);
        auto shared = std::make_shared<int>(1);
        watch = shared;
        first.Svc.TickDuties["keep"] = [shared] {};
    }
    EXPECT_TRUE(watch.expired()); // the services went with the program
    EXPECT_FALSE(Screen().HasFormClass("OwnWindow"));
    EXPECT_FALSE(Screen().HasFormClass("Tech"));
    EXPECT_EQ(Screen().FindForm("OwnWindow"), nullptr);
    Program second(dir.path());
    EXPECT_FALSE(Screen().HasFormClass("OwnWindow"));
    EXPECT_TRUE(Screen().HasFormClass("Tech"));
    EXPECT_EQ(second.Find<Kept>(), nullptr);
}

} // namespace
} // namespace qor::shell
