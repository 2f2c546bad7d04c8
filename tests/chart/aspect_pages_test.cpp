// The aspect tab of the natal-chart settings window: the new-aspect dialog, the grid's aspect
// and orb edits, the page tabs with their files, all driven like a user through the windows.
#include "ChartWindowsFixture.h"
#include "KartTestSupport.h"

#include "chart/KartScreen.h"
#include "chart/NewAsp.h"
#include "core/Aspects.h"
#include "core/Text.h"
#include "shell/SetBase.h"

#include <QGuiApplication>

#include <algorithm>
#include <map>

namespace qor::chart {
namespace {

namespace fs = std::filesystem;
using qor::test::TempDir;

class AspectPagesTest : public ChartWindowsTest {
protected:
    void SetUp() override {
        ChartWindowsTest::SetUp();
        kart->DfOrbBox->SetChecked(true);
        kart->StartAspectPage();
        ASSERT_EQ(p->AspTable.AspCount, 14);
        ASSERT_TRUE(fs::exists(PagePath(Natal())));
    }

    static std::string Natal() { return "Натал"_cp; }
    static std::string Transit() { return "Транзит"_cp; }

    fs::path PagePath(const std::string& page) const {
        return p->s.DataPath(qor::AspectFileName(page));
    }
    std::string PageBytes(const std::string& page) const { return TempDir::Read(PagePath(page)); }
    // Every file below the folder with its bytes (a folder maps to "<dir>").
    std::map<std::string, std::string> AllFiles() const {
        std::map<std::string, std::string> out;
        for (const auto& e : fs::recursive_directory_iterator(dir.path()))
            out[e.path().lexically_relative(dir.path()).string()] =
                e.is_directory() ? std::string("<dir>") : TempDir::Read(e.path());
        return out;
    }
    std::size_t MessageCount() const { return dialogs.Messages().size(); }
    std::string LastMessage() const {
        const auto m = dialogs.Messages();
        return m.empty() ? std::string() : m.back();
    }

    // The dialog opened from the grid's menu on row `row`, in add or edit mode.
    TNewAsp* OpenDialog(int row, bool edit) {
        kart->AspectGrid->SetRow(row);
        if (edit)
            kart->EditAspectNClick();
        else
            kart->AddAspectNClick();
        auto* d = dynamic_cast<TNewAsp*>(ui::Screen().FindForm("NewAsp"));
        EXPECT_NE(d, nullptr);
        EXPECT_TRUE(d && d->isVisible());
        return d;
    }
    // Adds a 75° aspect named `name` with 3° orbs through the dialog; true when it was taken.
    bool AddThroughDialog(const std::string& value, const std::string& name = "Trecile") {
        TNewAsp* d = OpenDialog(1, false);
        if (!d) return false;
        d->NameEdit->SetText(name);
        d->ValEdit->SetText(value);
        d->NewAspOrbs = "3;3;3;3;3;3;3;3;3;3;3;";
        d->AddButtonClick();
        return !d->isVisible();
    }

    // The page-name dialog is up: the user types a name and presses "Да"; true when it closed.
    bool AnswerPageName(const std::string& name) {
        ui::TForm* d = ui::Screen().FindForm("SetBase");
        if (!d || !d->isVisible()) return false;
        p->Commands.RunUICommand("SetBase,Edit", name);
        p->Commands.RunUICommand("SetBase,Button1", "");
        return !d->isVisible();
    }
    void CancelPageName() { p->Commands.RunUICommand("SetBase,Button2", ""); }
    std::vector<std::string> Tabs() const { return kart->AspTabControl->Tabs(); }
    void ChooseTab(int i) {
        kart->AspTabControl->SetTabIndex(i);
        kart->AspTabControlChange();
    }
};

TEST_F(AspectPagesTest, DialogChecksTheAngle) {
    ASSERT_TRUE(AddThroughDialog("75"));
    ASSERT_EQ(p->AspTable.AspCount, 15);

    // The edges of the range are angles; an edit of a row of its own skips the duplicate test.
    for (const char* good : {"0", "180", "75"}) {
        TNewAsp* d = OpenDialog(15, true);
        ASSERT_NE(d, nullptr);
        EXPECT_TRUE(d->ValEdit->isEnabled());
        d->ValEdit->SetText(good);
        d->AddButtonClick();
        EXPECT_FALSE(d->isVisible()) << good;
        EXPECT_EQ(SplitHundredths(p->AspTable.Asp[15].AspAngle / kDegToRad).whole,
                  std::stoll(good))
            << good;
    }
    ASSERT_EQ(p->AspTable.AspCount, 15);

    // What is no angle of 0..180 is refused with a message, and the dialog stays to be mended.
    const std::string page = PageBytes(Natal());
    for (const char* bad : {"-1", "180.5", "abc", "", "  "}) {
        TNewAsp* d = OpenDialog(15, true);
        ASSERT_NE(d, nullptr);
        d->ValEdit->SetText(bad);
        const std::size_t before = MessageCount();
        d->AddButtonClick();
        EXPECT_TRUE(d->isVisible()) << bad;
        EXPECT_EQ(MessageCount(), before + 1) << bad;
        EXPECT_EQ(PageBytes(Natal()), page) << bad;
        d->NoButtonClick();
    }

    // A second sextile, also one that is the same to the hundredth, is refused in add mode.
    for (const char* dup : {"60", "60.001", "75.00"}) {
        const std::size_t before = MessageCount();
        EXPECT_FALSE(AddThroughDialog(dup)) << dup;
        EXPECT_EQ(MessageCount(), before + 1) << dup;
        EXPECT_EQ(p->AspTable.AspCount, 15) << dup;
        EXPECT_EQ(PageBytes(Natal()), page) << dup;
        ui::Screen().FindForm("NewAsp")->close();
    }
}

TEST_F(AspectPagesTest, EditOfAFirstRowKeepsItsAngleAndSkipsTheDuplicateTest) {
    TNewAsp* d = OpenDialog(6, true); // the sextile
    ASSERT_NE(d, nullptr);
    EXPECT_FALSE(d->ValEdit->isEnabled());
    EXPECT_TRUE(d->NewAspEditMode);
    d->NameEdit->SetText("Sextile");
    d->AddButtonClick();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(Trim(p->AspTable.Asp[6].AspName), "Sextile");
    EXPECT_DOUBLE_EQ(p->AspTable.Asp[6].AspAngle / kDegToRad, 60.0);
    EXPECT_EQ(p->AspTable.AspCount, 14);
    EXPECT_NE(PageBytes(Natal()).find("Sextile         ;"), std::string::npos);

    // Opened on a row of its own, the angle may change.
    ASSERT_TRUE(AddThroughDialog("75"));
    d = OpenDialog(15, true);
    EXPECT_TRUE(d->ValEdit->isEnabled());
    d->NoButtonClick();
}

TEST_F(AspectPagesTest, NameLosesItsSeparatorsBeforeItIsCut) {
    ASSERT_TRUE(AddThroughDialog("75", "Semi;square"));
    EXPECT_EQ(Trim(p->AspTable.Asp[15].AspName), "Semisquare");
    const std::vector<std::string> lines = *ReadAspectPageFile(p->s, Natal());
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[14].substr(0, 17), "Semisquare      ;");
}

TEST_F(AspectPagesTest, NewAspectEntersTheMatrixAndTheWheel) {
    const std::string bytes = TempDir::Read(fs::path(QOR_SOURCE_DIR) / "data" / "font16.fnt");
    SymbolFontFromBytes(bytes, p->Font.Glyphs);
    p->BufBitmap = std::make_unique<ui::OffscreenBitmap>(p->Font);
    p->BufBitmap->Resize(1280, 718);
    // The chart is put in place before each drawing (an edit recomputes the chart's own).
    const auto place = [&](double body13) {
        for (int i = 1; i <= 14; ++i) {
            p->s.PlanetLon[i] = test::kBodyDeg[i] * kDegToRad;
            p->s.PlanetSpeed[i] = 0.01;
        }
        p->s.PlanetLon[13] = body13 * kDegToRad;
        for (int h = 1; h <= 12; ++h)
            p->s.PlanetLon[26 + h] = NormAngle((test::kAscDeg + 30 * (h - 1)) * kDegToRad);
    };
    auto wheel = RegisterKartScreen(*p);
    p->Flags.ScreenMode = 'W';
    const auto spotted = [&](const std::string& code) {
        return std::any_of(kart->KartSpots.begin(), kart->KartSpots.end(),
                           [&](const std::string& l) { return l.substr(l.rfind(';') + 1) == code; });
    };

    place(90); // 75° from the Sun at 15°
    p->Svc.Screens['W'].Draw();
    EXPECT_EQ(p->Aspects.AspMatrix[1][13], 0);
    EXPECT_FALSE(spotted("011513"));

    ASSERT_TRUE(AddThroughDialog("75")); // a major aspect: the dialog starts from the conjunction
    ASSERT_EQ(p->AspTable.AspCount, 15);
    place(90);
    p->Svc.Screens['W'].Draw();
    EXPECT_EQ(p->Aspects.AspMatrix[1][13], 15);
    EXPECT_TRUE(spotted("011513"));

    // 3° wide: at 79° apart the pair has no aspect again.
    place(94);
    p->Svc.Screens['W'].Draw();
    EXPECT_EQ(p->Aspects.AspMatrix[1][13], 0);
}

TEST_F(AspectPagesTest, FirstFourteenRowsCannotBeDeleted) {
    ASSERT_TRUE(AddThroughDialog("75"));
    const std::string page = PageBytes(Natal());
    for (int r = 1; r <= 14; ++r) {
        kart->AspectGrid->SetRow(r);
        kart->DelAspectNClick();
        EXPECT_EQ(LastMessage(), GetMsgText(p->s, 29)) << r;
        EXPECT_EQ(p->AspTable.AspCount, 15) << r;
    }
    EXPECT_EQ(PageBytes(Natal()), page);

    // Row 15 is asked about: "No" keeps it, "Yes" deletes it from grid and file.
    kart->AspectGrid->SetRow(15);
    dialogs.messageAnswers.push_back(ui::MsgResult::No);
    kart->DelAspectNClick();
    EXPECT_EQ(LastMessage(), GetMsgText(p->s, 30, "Trecile"));
    EXPECT_EQ(p->AspTable.AspCount, 15);
    EXPECT_EQ(PageBytes(Natal()), page);
    dialogs.messageAnswers.push_back(ui::MsgResult::Yes);
    kart->DelAspectNClick();
    EXPECT_EQ(p->AspTable.AspCount, 14);
    EXPECT_EQ(ReadAspectPageFile(p->s, Natal())->size(), 14u);
}

TEST_F(AspectPagesTest, OrbEditorStoresOrbsAndRefusesTheRest) {
    kart->BeginOrbEdit(4, 6);
    ASSERT_TRUE(kart->OrbEditing());
    kart->Edit1->SetText(" 5 / 3 ");
    kart->CommitOrbEdit();
    EXPECT_FALSE(kart->OrbEditing());
    EXPECT_EQ(p->AspTable.Asp[6].AspOrbText[1], "5/3");
    const std::vector<std::string> lines = *ReadAspectPageFile(p->s, Natal());
    EXPECT_NE(lines[5].find(";5/3;"), std::string::npos) << lines[5];

    const std::string page = PageBytes(Natal());
    for (const char* bad : {"abc", "-1", "181", "5/", "/3", "1/2/3", "5x"}) {
        sounds.clear();
        kart->BeginOrbEdit(4, 6);
        kart->Edit1->SetText(bad);
        kart->CommitOrbEdit(); // Enter: refused, the editor stays
        EXPECT_EQ(sounds, std::vector<std::string>{"Error.wav"}) << bad;
        EXPECT_TRUE(kart->OrbEditing()) << bad;
        kart->CommitOrbEdit(true); // leaving it: still refused, the old orb kept
        EXPECT_FALSE(kart->OrbEditing()) << bad;
        EXPECT_EQ(p->AspTable.Asp[6].AspOrbText[1], "5/3") << bad;
        EXPECT_EQ(PageBytes(Natal()), page) << bad;
    }
}

TEST_F(AspectPagesTest, FullPageRefusesAnotherAspect) {
    std::vector<std::string> base = *ReadAspectPageFile(p->s, Natal());
    for (int a = 15; a <= kMaxAspects; ++a) {
        AspectLineFields f;
        f.name = "A" + std::to_string(a);
        f.angle = 150 + a * 0.5;
        f.orbs = "1;1;1;1;1;1;1;1;1;1;1;";
        ASSERT_TRUE(kart->AddAspectRow(BuildAspectLine(f))) << a;
    }
    ASSERT_EQ(p->AspTable.AspCount, kMaxAspects);
    const std::string page = PageBytes(Natal());
    const std::size_t before = MessageCount();
    EXPECT_FALSE(AddThroughDialog("77"));
    EXPECT_EQ(MessageCount(), before + 1);
    EXPECT_EQ(p->AspTable.AspCount, kMaxAspects);
    EXPECT_EQ(PageBytes(Natal()), page);
    EXPECT_EQ(ReadAspectPageFile(p->s, Natal())->size(), static_cast<std::size_t>(kMaxAspects));
}

TEST_F(AspectPagesTest, ChoiceByHandTurnsTheAutomaticChoiceOff) {
    ASSERT_TRUE(kart->DfOrbBox->Checked());
    ChooseTab(1);
    EXPECT_FALSE(kart->DfOrbBox->Checked());
    EXPECT_EQ(LastMessage(), GetMsgText(p->s, 31));
    EXPECT_EQ(kart->AspectLetterEdit->Text(), Transit());
    EXPECT_TRUE(fs::exists(PagePath(Transit())));
    // Off, the chart kind no longer moves the page.
    kart->SelectAspectPageByKind(false);
    EXPECT_EQ(kart->AspTabControl->TabIndex(), 1);
    EXPECT_EQ(kart->AspectLetterEdit->Text(), Transit());
}

TEST_F(AspectPagesTest, BadPageNamesAreRefused) {
    const auto files = AllFiles();
    kart->AddAfterPageClick();
    // The dialog holds the input while it asks, and lets it go with its answer.
    ASSERT_NE(QGuiApplication::modalWindow(), nullptr);
    EXPECT_EQ(QGuiApplication::modalWindow(), ui::Screen().FindForm("SetBase")->windowHandle());
    for (const std::string& bad :
         {std::string(), std::string("a/b"), std::string("a\\b"), std::string(".."),
          std::string("x;y"), "НАТАЛ"_cp, std::string("tab\there")}) {
        const std::size_t before = MessageCount();
        EXPECT_FALSE(AnswerPageName(bad)) << bad;
        EXPECT_EQ(MessageCount(), before + 1) << bad;
        EXPECT_EQ(Tabs().size(), 3u) << bad;
        EXPECT_EQ(kart->AspectLetterEdit->Text(), Natal()) << bad;
    }
    CancelPageName();
    EXPECT_EQ(QGuiApplication::modalWindow(), nullptr);
    EXPECT_EQ(AllFiles(), files);
    kart->AddAfterPageClick();
    ASSERT_TRUE(AnswerPageName("Mine"));
    EXPECT_EQ(QGuiApplication::modalWindow(), nullptr);
}

TEST_F(AspectPagesTest, RenameOntoAnotherPagesFileIsRefused) {
    // A page whose tab was deleted keeps its file, and that file's name stays taken.
    kart->AddAfterPageClick();
    ASSERT_TRUE(AnswerPageName("Mine"));
    ASSERT_TRUE(AddThroughDialog("75"));
    const std::string mine = PageBytes("Mine");
    kart->DeletePageClick();
    EXPECT_EQ(Tabs(), (std::vector<std::string>{Natal(), Transit(), "Хорар"_cp}));
    ASSERT_EQ(PageBytes("Mine"), mine);

    ChooseTab(0);
    const std::string natal = PageBytes(Natal());
    for (const std::string& onto : {std::string("Mine"), std::string("MINE"), Transit()}) {
        kart->RenamePageClick();
        EXPECT_FALSE(AnswerPageName(onto)) << onto;
        CancelPageName();
        EXPECT_EQ(Tabs()[0], Natal()) << onto;
        EXPECT_EQ(PageBytes(Natal()), natal) << onto;
        EXPECT_EQ(PageBytes("Mine"), mine) << onto;
    }

    // A free name takes the file with it.
    kart->RenamePageClick();
    ASSERT_TRUE(AnswerPageName("Ours"));
    EXPECT_EQ(Tabs()[0], "Ours");
    EXPECT_EQ(PageBytes("Ours"), natal);
    EXPECT_FALSE(fs::exists(PagePath(Natal())));
}

TEST_F(AspectPagesTest, DeletedPageComesBackWithItsFile) {
    kart->AddAfterPageClick();
    ASSERT_TRUE(AnswerPageName("Mine"));
    EXPECT_EQ(Tabs()[1], "Mine");
    ASSERT_TRUE(AddThroughDialog("75"));
    const std::string mine = PageBytes("Mine");

    kart->DeletePageClick(); // answered "Yes"
    EXPECT_EQ(Tabs().size(), 3u);
    EXPECT_EQ(PageBytes("Mine"), mine);
    EXPECT_EQ(kart->AspectLetterEdit->Text(), Transit());

    kart->AddAfterPageClick();
    ASSERT_TRUE(AnswerPageName("Mine"));
    EXPECT_EQ(kart->AspectLetterEdit->Text(), "Mine");
    EXPECT_EQ(p->AspTable.AspCount, 15);
    EXPECT_EQ(PageBytes("Mine"), mine);
}

TEST_F(AspectPagesTest, UnreadablePageChangesNothing) {
    fs::create_directories(PagePath("X"));
    ASSERT_TRUE(fs::is_directory(PagePath("X")));
    const auto files = AllFiles();

    // Added as a page: refused, the tabs and the page shown stay.
    kart->AddAfterPageClick();
    const std::size_t before = MessageCount();
    EXPECT_FALSE(AnswerPageName("X"));
    EXPECT_GT(MessageCount(), before);
    CancelPageName();
    EXPECT_EQ(Tabs().size(), 3u);
    EXPECT_EQ(kart->AspectLetterEdit->Text(), Natal());
    EXPECT_EQ(AllFiles(), files);

    // A tab of its own chosen by hand: the previous page stays current, and the next edit
    // goes to that page's file, never to the unreadable one.
    kart->AspTabControl->SetTabs({Natal(), "X", Transit()});
    kart->AspTabControl->SetTabIndex(0);
    ChooseTab(1);
    EXPECT_EQ(kart->AspectLetterEdit->Text(), Natal());
    EXPECT_EQ(kart->AspTabControl->TabIndex(), 0);
    EXPECT_EQ(p->AspTable.AspCount, 14);
    EXPECT_EQ(AllFiles(), files);
    kart->AspectGridClick(2, 2); // the kind toggle saves at once
    EXPECT_TRUE(fs::is_directory(PagePath("X")));
    EXPECT_NE(PageBytes(Natal()), files.at(PagePath(Natal()).lexically_relative(dir.path()).string()));
}

TEST_F(AspectPagesTest, AddedAspectOutlivesTheWindow) {
    ASSERT_TRUE(AddThroughDialog("75"));
    delete kart;
    p->AspectLines.clear();
    p->AspTable = AspDefTable{};
    kart = new TKartForm(*p);
    kart->StartAspectPage();
    ASSERT_EQ(p->AspTable.AspCount, 15);
    EXPECT_EQ(Trim(p->AspTable.Asp[15].AspName), "Trecile");
    EXPECT_DOUBLE_EQ(p->AspTable.Asp[15].AspAngle / kDegToRad, 75.0);
    EXPECT_EQ(p->AspTable.Asp[15].AspOrbText[1], "3");
}

} // namespace
} // namespace qor::chart
