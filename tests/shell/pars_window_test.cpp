// The Arabic-parts window through its command paths and menu: editing in place, saving,
// reloading, exporting, activation, and the page operations with their refusals.
#include "shell/ParsWindow.h"

#include "core/AstroMath.h"
#include "core/Files.h"
#include "core/Formats.h"
#include "core/Text.h"
#include "support/QtApp.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"
#include "ui/EnglishTexts.h"
#include "ui/UICommands.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

namespace qor::shell {
namespace {

using namespace ui;
namespace fs = std::filesystem;

const fs::path kData = fs::path(QOR_SOURCE_DIR) / "data";

class ParsWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtApp();
        for (const char* f : {"rtext.txt", "etext.txt"}) fs::copy_file(kData / f, dir / f);
        fs::create_directories(dir.path() / "Parses");
        for (const auto& e : fs::directory_iterator(kData / "Parses"))
            fs::copy_file(e.path(), dir.path() / "Parses" / e.path().filename());
        s.ProgramFolder = dir.path();
        s.Report = &report;
        s.EnglishMode = true;
        // A day chart with round places: Sun 10°, Moon 100°, the first cusp 200°.
        s.Bodies[1][kBodyAltitude] = 0.2;
        for (int i = 1; i <= 40; ++i) s.PlanetLon[i] = 5.0 * i * kDegToRad;
        s.PlanetLon[1] = 10 * kDegToRad;
        s.PlanetLon[2] = 100 * kDegToRad;
        s.PlanetLon[27] = 200 * kDegToRad;
        hooks.RefreshAll = [this] { ++refreshes; };
        hooks.InterpShowFile = [this](const std::string& f) { shown = f; };
        Screen().SetDialogs(&dialogs);
        w = new TPars(s, hooks);
        w->show();
    }
    void TearDown() override {
        delete w;
        Screen().SetDialogs(nullptr);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // The user edits cell (col, row): the editor opens, takes the text, Enter commits.
    void EditCell(int col, int row, const std::string& text) {
        w->EditCol = col;
        w->EditRow = row;
        cmd.RunUICommand("Pars,CorrItem", "");
        ASSERT_TRUE(w->Editing());
        cmd.RunUICommand("Pars,Edit", text);
        cmd.RunUICommand("Pars", "KeyDown,13");
        ASSERT_FALSE(w->Editing());
    }
    // The page-name dialog is up: the user types a name and presses "Да"; true when it closed.
    bool AnswerPageName(const std::string& name) {
        TForm* d = Screen().FindForm("SetBase");
        if (!d || !d->isVisible()) return false;
        cmd.RunUICommand("SetBase,Edit", name);
        cmd.RunUICommand("SetBase,Button1", "");
        return !d->isVisible();
    }
    void CancelPageName() { cmd.RunUICommand("SetBase,Button2", ""); }
    std::string PageFile(const std::string& page) {
        return test::TempDir::Read(s.DataPath(ParsPageFile(s, page)));
    }
    int RowOfName(const std::string& name) {
        for (int r = 1; r < w->DrawGrid->RowCount(); ++r)
            if (w->DrawGrid->Cell(2, r) == name) return r;
        return -1;
    }

    test::TempDir dir;
    test::RecordingReport report;
    AnsweringDialogs dialogs;
    AstroDat s;
    ShellHooks hooks;
    UICommands cmd{s};
    int refreshes = 0;
    std::string shown;
    TPars* w = nullptr;
};

TEST_F(ParsWindowTest, ShowsTheFirstPageWithValuesAndTrace) {
    EXPECT_EQ(w->ParsPage, "Parses");
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadParsPage(s, "Parses", lines).ok()); // the English copy, in English mode
    EXPECT_EQ(w->DrawGrid->RowCount(), static_cast<int>(lines.size()) + 1);
    EXPECT_EQ(w->DrawGrid->Cell(1, 0), "Value");
    EXPECT_EQ(w->DrawGrid->Cell(4, 0), "Calculation");
    const int fortune = RowOfName("Lot of Fortune");
    ASSERT_GT(fortune, 0);
    EXPECT_EQ(w->DrawGrid->Cell(3, fortune), "H1+[Lun-Sun]");
    // By day: 200 + 100 − 10 = 290°, 20° of Capricorn.
    EXPECT_EQ(w->DrawGrid->Cell(1, fortune), Cp("20° 0' 0\"Cap"));
    EXPECT_EQ(w->DrawGrid->Cell(4, fortune), Cp("+200°0'0\" +100°0'0\" -10°0'0\" = 290°0'0\""));
    EXPECT_EQ(w->Caption(), "Arabic parts. Active: none");
}

TEST_F(ParsWindowTest, EditSaveReloadExport) {
    const int row = RowOfName("Lot of Fortune");
    EditCell(3, row, "Sun+180");
    EXPECT_TRUE(w->ParsModified);
    EXPECT_EQ(w->DrawGrid->Cell(1, row), Cp("10° 0' 0\"Lib"));
    EXPECT_EQ(refreshes, 0); // a formula does not re-activate
    EditCell(2, row, "Lot of test");
    cmd.RunUICommand("Pars,SaveChanges", "");
    EXPECT_FALSE(w->ParsModified);
    EXPECT_NE(PageFile("Parses").find("F;Lot of test;Sun+180\r\n"), std::string::npos);

    // Another page and back: the page is read again from its file.
    w->TabControl->Bar()->setCurrentIndex(1);
    EXPECT_EQ(w->ParsPage, "Firnel");
    w->TabControl->Bar()->setCurrentIndex(0);
    EXPECT_EQ(w->DrawGrid->Cell(3, row), "Sun+180");

    cmd.RunUICommand("Pars,NParstxt", "");
    const std::string out = test::TempDir::Read(dir.path() / "Wrk" / "Pars.txt");
    EXPECT_EQ(out.rfind("Value; Name; Formula\r\n", 0), 0u) << out;
    EXPECT_NE(out.find(Cp("10° 0' 0\"Lib; Lot of test; Sun+180\r\n")), std::string::npos) << out;
    EXPECT_EQ(s.StatusText, "Saved to Wrk\\Pars.txt");
    EXPECT_EQ(shown, "Wrk\\Pars.txt");
}

TEST_F(ParsWindowTest, BadFormulaShowsMessage52AndChangesNothingElse) {
    cmd.RunUICommand("Pars,SetActiveParses", "");
    const std::vector<std::string> active = s.ParsActive;
    const std::string file = PageFile("Parses");
    const int row = RowOfName("Lot of Spirit");
    std::vector<std::string> before;
    for (int r = 1; r < w->DrawGrid->RowCount(); ++r)
        if (r != row) before.push_back(w->DrawGrid->Cell(1, r));
    EditCell(3, row, "Sun+[Lun");
    EXPECT_EQ(s.StatusText, "Error: Sun+[Lun");
    EXPECT_EQ(w->DrawGrid->Cell(1, row), "");
    std::vector<std::string> after;
    for (int r = 1; r < w->DrawGrid->RowCount(); ++r)
        if (r != row) after.push_back(w->DrawGrid->Cell(1, r));
    EXPECT_EQ(after, before);
    EXPECT_EQ(s.ParsActive, active);
    EXPECT_EQ(PageFile("Parses"), file);
}

TEST_F(ParsWindowTest, ActivationAndGlyphChanges) {
    cmd.RunUICommand("Pars,SetActiveParses", "");
    EXPECT_EQ(refreshes, 1);
    ASSERT_GE(s.ParsActive.size(), 2u);
    EXPECT_EQ(s.ParsActive[0], "\"Parses\"");
    EXPECT_EQ(w->Active->Lines(), s.ParsActive);
    EXPECT_EQ(s.ParsCount, 9);
    EXPECT_EQ(w->Caption(), "Arabic parts. Active: 9 (page \"Parses\")");
    // A name change keeps the active list; a glyph change activates the page again.
    const int row = RowOfName("Lot of Spirit");
    EditCell(2, row, "Breath");
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(s.ParsActive[2].find("Breath"), std::string::npos);
    EditCell(0, row, "Q");
    EXPECT_EQ(refreshes, 2);
    EXPECT_EQ(s.ParsActive[2], "Q;Breath;H1+[Sun-Lun]");
    EXPECT_EQ(s.StatusText, GetMsgText(s, 50)); // the glyph editor's hint
    // The restored active list goes back into the chart.
    s.ParsActive.clear();
    s.ParsCount = 0;
    w->RestoreActive();
    EXPECT_EQ(s.ParsCount, 9);
}

TEST_F(ParsWindowTest, LinesAreAddedAndDeleted) {
    const int rows = w->DrawGrid->RowCount();
    w->DrawGrid->SetRow(1);
    cmd.RunUICommand("Pars,AddItem", "");
    EXPECT_EQ(w->DrawGrid->RowCount(), rows + 1);
    EXPECT_EQ(w->Memo->Lines()[1], "");
    dialogs.messageAnswers.push_back(MsgResult::No);
    w->DrawGrid->SetRow(3);
    const std::string name = w->DrawGrid->Cell(2, 3);
    cmd.RunUICommand("Pars,DelItem", "");
    EXPECT_EQ(w->DrawGrid->RowCount(), rows + 1);
    EXPECT_EQ(dialogs.Messages().back(), "Delete \"" + name + "\"?");
    cmd.RunUICommand("Pars,DelItem", "");
    EXPECT_EQ(w->DrawGrid->RowCount(), rows);
    EXPECT_TRUE(w->ParsModified);
}

TEST_F(ParsWindowTest, PagesAreAddedRenamedAndDeletedSafely) {
    // Bad and duplicate names are refused, never written as files.
    // The dialog stays up after a refusal, with the name to be mended.
    cmd.RunUICommand("Pars,AddPageAfter", "");
    for (const char* bad : {"../evil", "a;b", "firnel", "", "con:"}) {
        EXPECT_FALSE(AnswerPageName(bad)) << bad;
        EXPECT_EQ(w->TabControl->TabCount(), 4) << bad;
    }
    CancelPageName();
    EXPECT_FALSE(fs::exists(dir.path() / "evil.prs"));
    cmd.RunUICommand("Pars,AddPageAfter", "");
    AnswerPageName("Mine");
    EXPECT_EQ(w->TabControl->Tabs(),
              (std::vector<std::string>{"Parses", "Mine", "Firnel", "Mardok", "Senvir"}));
    EXPECT_EQ(w->ParsPage, "Mine");
    EXPECT_EQ(w->DrawGrid->RowCount(), 2); // empty until saved
    cmd.RunUICommand("Pars,AddItem", "");
    EditCell(3, 1, "Sun+Lun");
    cmd.RunUICommand("Pars,SaveChanges", "");
    ASSERT_TRUE(fs::exists(dir.path() / "Parses" / "Mine.prs"));

    // Renaming onto another page's file is refused and both files stay.
    const std::string firnel = PageFile("Firnel");
    cmd.RunUICommand("Pars,RenamePage", "");
    AnswerPageName("Firnel");
    EXPECT_EQ(w->TabControl->Tabs()[1], "Mine");
    EXPECT_EQ(PageFile("Firnel"), firnel);
    // A page never saved has no file: it is renamed alone, and saves under its new name.
    cmd.RunUICommand("Pars,AddPageBefor", "");
    AnswerPageName("Fresh");
    EXPECT_EQ(w->TabControl->Tabs()[1], "Fresh");
    cmd.RunUICommand("Pars,RenamePage", "");
    AnswerPageName("Fresher");
    EXPECT_EQ(w->ParsPage, "Fresher");
    cmd.RunUICommand("Pars,AddItem", "");
    EditCell(3, 1, "Sun");
    cmd.RunUICommand("Pars,SaveChanges", "");
    EXPECT_TRUE(fs::exists(dir.path() / "Parses" / "Fresher.prs"));
    EXPECT_FALSE(fs::exists(dir.path() / "Parses" / "Fresh.prs"));
    cmd.RunUICommand("Pars,DeletePage", "");
    EXPECT_EQ(w->TabControl->Tabs()[1], "Mine");
    cmd.RunUICommand("Pars,RenamePage", "");
    AnswerPageName("Ours");
    EXPECT_EQ(w->TabControl->Tabs()[1], "Ours");
    EXPECT_EQ(w->ParsPage, "Ours");
    EXPECT_TRUE(fs::exists(dir.path() / "Parses" / "Ours.prs"));
    EXPECT_FALSE(fs::exists(dir.path() / "Parses" / "Mine.prs"));

    // Deleting a page keeps its file; the last page cannot be deleted.
    cmd.RunUICommand("Pars,DeletePage", "");
    EXPECT_EQ(w->TabControl->TabCount(), 4);
    EXPECT_EQ(w->ParsPage, "Firnel");
    EXPECT_TRUE(fs::exists(dir.path() / "Parses" / "Ours.prs"));
    EXPECT_NE(dialogs.Messages().back().find("The file Parses\\Ours.prs stays"), std::string::npos);
    for (int i = 0; i < 5; ++i) cmd.RunUICommand("Pars,DeletePage", "");
    EXPECT_EQ(w->TabControl->TabCount(), 1);
}

// Renaming asks through the page-name dialog: its caption, the page's name preset.
TEST_F(ParsWindowTest, PageNamesComeFromThePageNameDialog) {
    cmd.RunUICommand("Pars,RenamePage", "");
    TForm* d = Screen().FindForm("SetBase");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->Caption(), "Rename page");
    EXPECT_EQ(d->Find<TEdit>("Edit")->Text(), "Parses");
    EXPECT_TRUE(AnswerPageName("Renamed"));
    EXPECT_EQ(w->TabControl->Tabs()[0], "Renamed");
    EXPECT_TRUE(fs::exists(dir.path() / "Parses" / "Renamed.prs"));
    EXPECT_TRUE(dialogs.asked.empty());
    // Cancelled, nothing changes.
    cmd.RunUICommand("Pars,RenamePage", "");
    CancelPageName();
    EXPECT_EQ(w->TabControl->Tabs()[0], "Renamed");
}

TEST_F(ParsWindowTest, EscapePutsTheCellBack) {
    const int row = RowOfName("Lot of Fortune");
    w->EditCol = 3;
    w->EditRow = row;
    cmd.RunUICommand("Pars,CorrItem", "");
    cmd.RunUICommand("Pars,Edit", "Sun");
    cmd.RunUICommand("Pars", "KeyDown,27");
    EXPECT_FALSE(w->Editing());
    EXPECT_TRUE(w->isVisible()); // Esc left the editor, not the window
    EXPECT_EQ(w->DrawGrid->Cell(3, row), "H1+[Lun-Sun]");
    EXPECT_FALSE(w->ParsModified);
    // Down commits and opens the next row's cell.
    cmd.RunUICommand("Pars,CorrItem", "");
    cmd.RunUICommand("Pars,Edit", "Sun+1");
    cmd.RunUICommand("Pars", "KeyDown,40");
    EXPECT_TRUE(w->Editing());
    EXPECT_EQ(w->EditRow, row + 1);
    EXPECT_EQ(w->DrawGrid->Cell(3, row), "Sun+1");
}

// Left at the start of the text and Right at its end move the editor along the part's fields.
TEST_F(ParsWindowTest, ArrowsAtTheEdgeMoveBetweenFields) {
    const int row = RowOfName("Lot of Fortune");
    w->EditCol = 2;
    w->EditRow = row;
    cmd.RunUICommand("Pars,CorrItem", "");
    w->Edit->setCursorPosition(0);
    cmd.RunUICommand("Pars", "KeyDown,37");
    w->Timer1->OnTimer();
    EXPECT_EQ(w->EditCol, 0);
    EXPECT_TRUE(w->Editing());
    EXPECT_EQ(w->Edit->Text(), "F");
    cmd.RunUICommand("Pars", "KeyDown,39"); // the caret stands at the end
    w->Timer1->OnTimer();
    EXPECT_EQ(w->EditCol, 2);
    cmd.RunUICommand("Pars", "KeyDown,39");
    w->Timer1->OnTimer();
    EXPECT_EQ(w->EditCol, 3);
    EXPECT_EQ(w->Edit->Text(), "H1+[Lun-Sun]");
    // A key that moved the caret inside the text moves nothing.
    w->Edit->setCursorPosition(3);
    cmd.RunUICommand("Pars", "KeyDown,37");
    w->Edit->setCursorPosition(2);
    w->Timer1->OnTimer();
    EXPECT_EQ(w->EditCol, 3);
    EXPECT_FALSE(w->ParsModified);
}

TEST_F(ParsWindowTest, EnglishLinesCoverTheWindow) {
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(kData / "English.txt", lines).ok());
    EXPECT_EQ(EnglishCoverageProblems({w}, lines, true), std::vector<std::string>{});
}

} // namespace
} // namespace qor::shell
