// The window of the user's asteroids and fictitious bodies in the started program, driven as the
// user drives it: the marks of rows 1 and 2 coming back, a body switched on and off, the orbit
// switches, deleting only below the eleven predefined rows (with the question answered), a
// fictitious body added and the last field of its line edited in place, a glyph chosen through
// the chooser, F12, the positions of date, the English texts and pictures.
#include "MainWindowFixture.h"

#include "core/Text.h"
#include "sky/Asteroids.h"
#include "sky/SkyData.h"
#include "sky/UserBodiesWindow.h"
#include "ui/EnglishTexts.h"

namespace qor::shell {
namespace {

const std::string kMark(1, kAstEnabledMark);

class UserBodiesTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        dialogs.asked.clear(); // what the start-up said
    }
    TAsteroids* Open() {
        form1->RunItem("N71");
        return dynamic_cast<TAsteroids*>(Screen().FindForm("Asteroids"));
    }
    std::vector<std::string> Lines() { return form1->Memo->Lines(); }
};

TEST_F(UserBodiesTest, MarksOrbitsAndDeleting) {
    TAsteroids* w = Open();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Caption(), Cp("Астероиды и фиктивные объекты"));
    EXPECT_EQ(w->DrawGrid->RowCount(), static_cast<int>(Lines().size()) + 1);
    // rows 1 and 2 are always computed: a double click's clearing does not last
    for (int row : {1, 2}) {
        w->SetCell(4, row);
        w->PopupMenuPopup();
        EXPECT_FALSE(w->N8->isEnabled()) << row;
        w->ToggleMark();
        EXPECT_EQ(GetAstField(Lines(), 0, row), kMark) << row;
    }
    // row 3 on and off: one more body in the chart, then one less
    const int before = program->s.NExtra;
    w->SetCell(4, 3);
    w->ToggleMark();
    EXPECT_EQ(GetAstField(Lines(), 0, 3), kMark);
    EXPECT_EQ(program->s.NExtra, before + 1);
    w->ToggleMark();
    EXPECT_NE(GetAstField(Lines(), 0, 3), kMark);
    EXPECT_EQ(program->s.NExtra, before);
    // the orbit switches
    w->ToggleOrbit();
    EXPECT_EQ(GetAstField(Lines(), 1, 3), std::string(1, kAstOrbitMark));
    w->PopupMenuPopup();
    EXPECT_TRUE(w->N4->isChecked());
    w->ToggleScheme();
    EXPECT_EQ(GetAstField(Lines(), 1, 3), std::string(1, kAstSchemeMark));
    w->ToggleScheme();
    EXPECT_EQ(GetAstField(Lines(), 1, 3), " ");
    // the eleven predefined rows cannot be deleted; an added one can, after the question
    for (int row = 1; row <= 11; ++row) {
        w->SetCell(4, row);
        w->PopupMenuPopup();
        EXPECT_FALSE(w->N3->isEnabled()) << row;
    }
    const std::size_t count = Lines().size();
    w->AddFictitious();
    ASSERT_EQ(Lines().size(), count + 1);
    EXPECT_EQ(Lines().back(), NewFictitiousLine());
    w->SetCell(4, static_cast<int>(count) + 1);
    w->PopupMenuPopup();
    EXPECT_TRUE(w->N3->isEnabled());
    dialogs.messageAnswers.push_back(MsgResult::No);
    w->DeleteRow();
    EXPECT_EQ(Lines().size(), count + 1);
    dialogs.messageAnswers.push_back(MsgResult::Yes);
    w->DeleteRow();
    EXPECT_EQ(Lines().size(), count);
    const std::vector<std::string> said = dialogs.Messages();
    ASSERT_EQ(said.size(), 2u);
    EXPECT_EQ(said[0], GetMsgText(program->s, 132, "Noname"));
    EXPECT_EQ(said[1], said[0]);
    EXPECT_EQ(w->DrawGrid->RowCount(), static_cast<int>(count) + 1);
}

TEST_F(UserBodiesTest, EditingInPlaceAndTheGlyph) {
    TAsteroids* w = Open();
    ASSERT_NE(w, nullptr);
    w->show();
    w->AddFictitious();
    const int row = static_cast<int>(Lines().size());
    ASSERT_EQ(Lines().back().back(), '5'); // the line has no ";" at its end
    // the last field of that line: the epoch
    w->SetCell(13, row);
    w->EditCell();
    ASSERT_TRUE(w->Editing());
    EXPECT_EQ(w->Edit->Text(), "2451544.5");
    w->Edit->SetText("2451545.0");
    w->EndEdit(true);
    EXPECT_FALSE(w->Editing());
    EXPECT_EQ(GetAstField(Lines(), 13, row), "2451545.0");
    // the name; Esc leaves the field as it was
    w->SetCell(4, row);
    w->EditCell();
    w->Edit->SetText("Lilith");
    w->EndEdit(false);
    EXPECT_EQ(GetAstField(Lines(), 4, row), "Noname");
    w->EditCell();
    w->Edit->SetText("Lilith");
    w->EndEdit(true);
    EXPECT_EQ(GetAstField(Lines(), 4, row), "Lilith");
    // the glyph through the chooser (answered here), and a chooser closed without a choice
    int offered = -1;
    w->ChooseGlyph = [&offered](int glyph) -> std::optional<int> {
        offered = glyph;
        return 77;
    };
    w->SetCell(2, row);
    w->EditCell();
    EXPECT_EQ(offered, 63);
    EXPECT_EQ(GetAstField(Lines(), 2, row), "77");
    w->ChooseGlyph = [](int) -> std::optional<int> { return std::nullopt; };
    w->EditCell();
    EXPECT_EQ(GetAstField(Lines(), 2, row), "77");
    // F12 on the longitude column moves to the name's first
    w->SetCell(5, 1);
    int key = vk::F12;
    w->OnKeyDown(key, 0);
    EXPECT_EQ(w->Col(), 4);
    w->PopupMenu->close();
}

TEST_F(UserBodiesTest, PositionsOfDateEnglishAndPictures) {
    TAsteroids* w = Open();
    ASSERT_NE(w, nullptr);
    w->show();
    program->Tech->RefreshAll();
    const std::vector<std::string> lines = Lines();
    EXPECT_FALSE(Trim(GetAstField(lines, 5, 2)).empty()); // Chiron's longitude of date
    EXPECT_FALSE(Trim(GetAstField(lines, 6, 2)).empty());
    EXPECT_TRUE(Trim(GetAstField(lines, 5, 4)).empty()); // a body not computed
    std::vector<std::string> english;
    ASSERT_TRUE(ReadTextLines(kShippedData / "English.txt", english).ok());
    EXPECT_EQ(EnglishCoverageProblems({w}, english, true), std::vector<std::string>{});
    for (const char* folder : {"Manual", "EManual"}) {
        const std::string text =
            test::TempDir::Read(kShippedData / folder / "asteroids_and_virtuals.html");
        EXPECT_GT(text.size(), 800u) << folder;
    }
    for (const char* lang : {"ru", "en"}) {
        if (std::string(lang) == "en") {
            StartInEnglish();
            w = Open();
            ASSERT_NE(w, nullptr);
            w->show();
        }
        EXPECT_TRUE(w->grab().save(QString::fromStdString(std::string("bodies_") + lang + ".png")));
    }
}

} // namespace
} // namespace qor::shell
