// The chart base window driven through its command paths: records between the grid and the
// birth-data window, blocks deleted, copied and pasted, imports, the cell editor, pages added,
// renamed, deleted and scanned, and a page that could not be read kept byte for byte.
#include "ChartWindowsFixture.h"

#include "chart/Base.h"
#include "chart/BasePages.h"
#include "core/ChartRecords.h"
#include "core/Files.h"
#include "core/Text.h"
#include "shell/SetBase.h"
#include "ui/EnglishTexts.h"

#include <QCoreApplication>
#include <QApplication>
#include <QKeyEvent>

#include <unistd.h>

namespace qor::chart {
namespace {

using namespace ui;
namespace fs = std::filesystem;
const std::string kDeg(1, '\xB0');
const fs::path kFixtures = fs::path(QOR_FIXTURES_DIR) / "base";

// A key pressed on a control, as the user presses it.
void KeyClick(QWidget* w, int key, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, m);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, m);
    QApplication::sendEvent(w, &release);
}

class BaseWindowTest : public ChartWindowsTest {
protected:
    void SetUp() override {
        ChartWindowsTest::SetUp();
        data->show();
    }
    void TearDown() override {
        if (TForm* b = Screen().FindForm("Base")) delete b;
        ChartWindowsTest::TearDown();
    }
    // The window as the program opens it: its saved page state first.
    TBase* Open(const std::string& pageState = "0;1") {
        auto* b = new TBase(*p);
        b->Edit->SetText(pageState);
        b->show();
        return b;
    }
    TBase* Base() { return dynamic_cast<TBase*>(Screen().FindForm("Base")); }
    void Run(const std::string& target, const std::string& command = {}) {
        p->Commands.RunUICommand(target, command);
    }
    fs::path PageFile(const std::string& page) { return p->s.DataPath(PageFileName(page)); }
    std::string PageBytes(const std::string& page) { return test::TempDir::Read(PageFile(page)); }
    void PutPage(const std::string& page, const std::string& bytes) {
        fs::create_directories(dir / "DBase");
        std::ofstream(dir.path() / "DBase" / Cp1251ToUtf8(page + ".qbs"), std::ios::binary) << bytes;
    }
    std::vector<std::string> Names() {
        std::vector<std::string> n;
        for (const BaseRow& r : Base()->Rows()) n.push_back(r[1]);
        return n;
    }
    void Fill(const std::string& name, const std::string& date, const std::string& time) {
        Run("DataForm,NameEdit", name);
        Run("DataForm,DateEdit", date);
        Run("DataForm,TimeEdit", time);
        Run("DataForm,dTEdit", "+03:00");
        Run("DataForm,LatEdit", "55" + kDeg + "45'N");
        Run("DataForm,LongEdit", "037" + kDeg + "37'E");
        Run("DataForm,CityEdit", Cp("Москва"));
        Run("DataForm,CountryEdit", Cp("Россия"));
        Run("DataForm,SexGroup", "1");
    }
    const std::string clients = Cp("Клиенты");
};

TEST_F(BaseWindowTest, AddingToAnEmptyPageWritesOneRecordAndTheClosingLine) {
    Open();
    EXPECT_EQ(Base()->PageName, clients);
    EXPECT_EQ(p->Commands.QueryUIValue("Base,StringGrid", "RowCount"), "2");
    Fill(Cp("Анна"), "04.03.1975", "21:40:00");
    data->Memo->SetText("one\r\ntwo;three\r\n");
    Run("Base,AddRecord");
    EXPECT_EQ(p->Commands.QueryUIValue("Base,StringGrid", "RowCount"), "2");
    EXPECT_EQ(PageBytes(clients), Cp("Анна; 04.03.1975; 21:40:00; +03:00; Москва, Россия; 55") +
                                      kDeg + "45'N; 037" + kDeg + Cp("37'E; Ж; one|two,three; \r\n\r\n"));
    // the next one goes in at the current row, the first one follows
    Fill("Boris", "01.01.2000", "12:00:00");
    Run("DataForm,CountryEdit", "");
    Run("DataForm,SexGroup", "0");
    Run("Base,AddRecord");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Boris", Cp("Анна")}));
    EXPECT_EQ(Base()->Rows()[0][5], Cp("Москва")); // no country: the city alone
    EXPECT_EQ(Base()->Rows()[0][8], "M");
}

TEST_F(BaseWindowTest, ANameAloneIsARecordThatAddAndPasteKeep) {
    PutPage(clients, "Solo; ; ; ; ; ; ; ; ; \r\n\r\n");
    Open();
    Fill("New", "01.01.2000", "12:00:00");
    Run("Base,AddRecord");
    EXPECT_EQ(Names(), (std::vector<std::string>{"New", "Solo"}));
    Run("Base,StringGrid", "Row 2");
    Run("Base,N7");
    Run("Base,StringGrid", "Row 1");
    Run("Base,N8");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Solo", "New", "Solo"}));
    EXPECT_EQ(PageBytes(clients), "Solo; ; ; ; ; ; ; ; ; \r\n" +
                                      RowToRecordLine(Base()->Rows()[1]) +
                                      "\r\nSolo; ; ; ; ; ; ; ; ; \r\n\r\n");
}

TEST_F(BaseWindowTest, DeletingTheOnlyRecordAndABlockOfThree) {
    PutPage(clients, "Only; ; ; ; ; ; ; ; ; \r\n\r\n");
    Open();
    Run("Base,DelRecord");
    EXPECT_EQ(dialogs.asked.back().text, GetMsgText(p->s, 44, "Only"));
    EXPECT_EQ(p->Commands.QueryUIValue("Base,StringGrid", "RowCount"), "2");
    EXPECT_EQ(PageBytes(clients), "; ; ; ; ; ; ; ; ; \r\n\r\n");
    dialogs.asked.clear();
    Run("Base,DelRecord"); // nothing left to delete: no question
    EXPECT_TRUE(dialogs.asked.empty());

    PutPage(clients, "A; ; ; ; ; ; ; ; ; \r\nB; ; ; ; ; ; ; ; ; \r\nC; ; ; ; ; ; ; ; ; \r\n"
                     "D; ; ; ; ; ; ; ; ; \r\n\r\n");
    Run("Base,TabControl", "1");
    Run("Base,TabControl", "0");
    Run("Base,StringGrid", "Row 1");
    KeyClick(Base()->StringGrid, Qt::Key_Down, Qt::ShiftModifier);
    KeyClick(Base()->StringGrid, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Base()->StringGrid->Selection(), std::make_pair(1, 3));
    dialogs.messageAnswers = {MsgResult::No};
    Run("Base,DelRecord");
    EXPECT_EQ(dialogs.asked.back().text, GetMsgText(p->s, 45, "3"));
    EXPECT_EQ(Names().size(), 4u);
    Run("Base,DelRecord");
    EXPECT_EQ(Names(), (std::vector<std::string>{"D"}));
    EXPECT_EQ(PageBytes(clients), "D; ; ; ; ; ; ; ; ; \r\n\r\n");
}

TEST_F(BaseWindowTest, PastedRowsKeepTheirOrderAndMarks) {
    PutPage(clients, "A; ; ; ; ; ; ; ; ; \r\nB; ; ; ; ; ; ; ; ; \r\nC; ; ; ; ; ; ; ; ; \r\n\r\n");
    TBase* b = Open();
    b->CurRow = 2;
    Run("Base,Nmark");
    b->StringGrid->SetSelection(2, 3);
    Run("Base,N7");
    ASSERT_EQ(b->RecordClipboard.size(), 2u);
    Run("Base,StringGrid", "Row 1");
    Run("Base,N8");
    EXPECT_EQ(Names(), (std::vector<std::string>{"B", "C", "A", "B", "C"}));
    std::string marks;
    for (const BaseRow& r : b->Rows()) marks += r[0].empty() ? "." : r[0];
    EXPECT_EQ(marks, "|..|.");
    // a page read again has no marks
    Run("Base,TabControl", "1");
    Run("Base,TabControl", "0");
    for (const BaseRow& r : Base()->Rows()) EXPECT_TRUE(r[0].empty());
}

TEST_F(BaseWindowTest, ImportFillsAnEmptyLastRowOrFollowsTheLastRecord) {
    Open();
    const fs::path other = dir / "other.qbs";
    fs::copy_file(kFixtures / "no_closing_line.qbs", other);
    const std::string before = fs::current_path().string();
    dialogs.fileAnswers = {other};
    Run("Base,Import");
    EXPECT_EQ(fs::current_path().string(), before);
    EXPECT_EQ(Names(), (std::vector<std::string>{Cp("Первый"), Cp("Последний")}));
    dialogs.fileAnswers = {other};
    Run("Base,Import");
    EXPECT_EQ(Names().size(), 4u);
    EXPECT_EQ(Names()[3], Cp("Последний"));
    EXPECT_EQ(LinesToRows(SplitTextLines(PageBytes(clients))).size(), 4u);
}

TEST_F(BaseWindowTest, SelectingARecordFillsTheBirthDataWindow) {
    PutPage(clients, test::TempDir::Read(kFixtures / "system.qbs"));
    Open();
    struct Case {
        int row;
        std::string name, date;
        bool era;
        std::string city, country;
        int sex;
        std::string memo;
    } cases[] = {
        {1, Cp("Иванов Пётр"), " 4.03.1975", false, Cp("Москва"), Cp("Россия"), 0,
         Cp("первая строка\r\nвторая строка\r\n")},
        {2, Cp("Цезарь"), "12.07.0100", true, Cp("Рим"), Cp("Италия"), 0, ""},
        {3, Cp("Ольга"), " 1.01.2000", false, "", Cp("Канада"), 1, ""},
        {4, "Event", "15.06.1990", false, "Paris", "", 2, ""},
    };
    for (const auto& c : cases) {
        Run("Base,StringGrid", "Row " + std::to_string(c.row));
        ASSERT_TRUE(Base()->RowToDataForm(false));
        EXPECT_EQ(data->NameEdit->Text(), c.name);
        EXPECT_EQ(data->DateEdit->Text(), c.date) << c.row;
        EXPECT_EQ(data->EraCheckBox->Checked(), c.era);
        EXPECT_EQ(data->CityEdit->Text(), c.city);
        EXPECT_EQ(data->CountryEdit->Text(), c.country);
        EXPECT_EQ(data->SexGroup->ItemIndex(), c.sex);
        EXPECT_EQ(data->Memo->Text(), c.memo);
    }
    // the sex letters of either language
    const std::pair<std::string, int> sexes[] = {
        {"M", 0}, {Cp("М"), 0}, {"W", 1}, {Cp("Ж"), 1}, {"\x97", 2}, {"", 2}};
    for (const auto& [letter, item] : sexes) {
        PutPage(clients, "X; 01.01.2000; 12:00:00; +00:00; ; 10" + kDeg + "00'N; 010" + kDeg +
                             "00'E; " + letter + "; ; \r\n\r\n");
        Run("Base,TabControl", "1");
        Run("Base,TabControl", "0");
        ASSERT_TRUE(Base()->RowToDataForm(false));
        EXPECT_EQ(data->SexGroup->ItemIndex(), item) << letter;
    }
}

TEST_F(BaseWindowTest, ARecordThatDoesNotReadGivesNoChart) {
    Fill("Good", "04.03.1975", "21:40:00");
    ASSERT_TRUE(data->ApplyData());
    PutPage(clients, "Bad; 31.02.1990; 12:00:00; +03:00; ; 55" + kDeg + "45'N; 037" + kDeg +
                         "37'E; M; ; \r\n\r\n");
    Open();
    const AstroDat before = p->s;
    const int runs = tech->RefreshCount;
    data->hide();
    dialogs.asked.clear();
    Run("Base,GetData");
    EXPECT_EQ(tech->RefreshCount, runs);
    EXPECT_EQ(p->s.ChartDay, before.ChartDay);
    EXPECT_EQ(p->s.DatRec1, before.DatRec1);
    ASSERT_FALSE(dialogs.asked.empty());
    EXPECT_NE(dialogs.asked.back().text.find("31.02.1990"), std::string::npos);
}

TEST_F(BaseWindowTest, TheCellEditorMovesOnlyAtTheEndsOfItsText) {
    PutPage(clients, "Abc; 01.01.2000; ; ; ; ; ; ; ; \r\nDef; ; ; ; ; ; ; ; ; \r\n\r\n");
    TBase* b = Open();
    b->CurRow = 1;
    b->CurCol = 1;
    Run("Base,NEdit");
    ASSERT_TRUE(b->CellEditing());
    struct Case {
        int caret;
        int col;
    } cases[] = {{1, 1}, {3, 2}}; // Right in the middle, Right at the end
    for (const auto& c : cases) {
        b->Edit->setCursorPosition(c.caret);
        b->Timer1Timer();
        KeyClick(b->Edit, Qt::Key_Right);
        b->Timer1Timer();
        EXPECT_EQ(b->CurCol, c.col) << c.caret;
    }
    EXPECT_EQ(b->Edit->Text(), "01.01.2000");
    // Down carries the editor to the next row, the edit saved on the way
    b->Edit->SetText("02.01.2000;");
    KeyClick(b->Edit, Qt::Key_Down);
    EXPECT_EQ(b->CurRow, 2);
    EXPECT_EQ(b->Rows()[0][2], "02.01.2000"); // the ";" is gone
    // a character code page 1251 cannot hold is refused, the editor stays
    b->Edit->setText(QString::fromUtf8("D\u4e2d"));
    EXPECT_FALSE(b->EndCellEdit());
    EXPECT_TRUE(b->CellEditing());
    // Esc leaves without a change
    KeyClick(b->Edit, Qt::Key_Escape);
    EXPECT_FALSE(b->CellEditing());
    EXPECT_EQ(b->Rows()[1][1], "Def");
    EXPECT_TRUE(b->isVisible());
    EXPECT_EQ(PageBytes(clients), "Abc; 02.01.2000; ; ; ; ; ; ; ; \r\nDef; ; ; ; ; ; ; ; ; \r\n\r\n");
}

TEST_F(BaseWindowTest, APageThatCannotBeReadStaysByteIdentical) {
    fs::create_directories(dir / "DBase" / Cp1251ToUtf8(clients + ".qbs")); // a folder
    Open();
    EXPECT_TRUE(Base()->ReadOnly());
    ASSERT_FALSE(dialogs.asked.empty());
    EXPECT_NE(dialogs.asked.back().text.find(clients), std::string::npos);
    Fill("X", "01.01.2000", "12:00:00");
    dialogs.asked.clear();
    Run("Base,AddRecord");
    Run("Base,N8");
    EXPECT_EQ(dialogs.asked.size(), 1u); // refused, said once; paste had nothing to paste
    EXPECT_TRUE(fs::is_directory(PageFile(clients)));

    if (geteuid() == 0) return; // root reads every file
    PutPage(Cp("События"), "Kept; ; ; ; ; ; ; ; ; \r\n\r\n");
    fs::permissions(PageFile(Cp("События")), fs::perms::none);
    Run("Base,TabControl", "1");
    EXPECT_TRUE(Base()->ReadOnly());
    Run("Base,AddRecord");
    Run("Base,DelRecord");
    Base()->RecordClipboard = {"|;P;;;;;;;;;"};
    Run("Base,N8");
    fs::permissions(PageFile(Cp("События")), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(PageBytes(Cp("События")), "Kept; ; ; ; ; ; ; ; ; \r\n\r\n");
}

TEST_F(BaseWindowTest, AFailedSaveKeepsTheOldFileAndSaysSo) {
    PutPage(clients, "Old; ; ; ; ; ; ; ; ; \r\n\r\n");
    // the temporary file beside the page cannot be made (even by root): a folder is in its way
    fs::create_directories(dir / "DBase" / Cp1251ToUtf8(clients + ".qbs.tmp"));
    Open();
    Fill("New", "01.01.2000", "12:00:00");
    dialogs.asked.clear();
    Run("Base,AddRecord");
    EXPECT_EQ(PageBytes(clients), "Old; ; ; ; ; ; ; ; ; \r\n\r\n");
    ASSERT_FALSE(dialogs.asked.empty());
    EXPECT_NE(dialogs.asked.back().text.find(PageFileName(clients)), std::string::npos);
    EXPECT_EQ(Names(), (std::vector<std::string>{"New", "Old"})); // the grid keeps its rows
}

TEST_F(BaseWindowTest, PagesAddedRenamedDeletedAndScanned) {
    PutPage(clients, "C; ; ; ; ; ; ; ; ; \r\n\r\n");
    PutPage(Cp("Моё"), "Mine; ; ; ; ; ; ; ; ; \r\n\r\n");
    TBase* b = Open("0;1");
    ASSERT_EQ(b->TabControl->TabCount(), 33);
    // add after the current page; a bad name and an existing one are refused
    for (const std::string& bad : {std::string("a;b"), std::string(""), Cp("клиенты")}) {
        Run("Base,N4");
        Run("SetBase,Edit", bad);
        dialogs.asked.clear();
        Run("SetBase,Button1");
        EXPECT_EQ(dialogs.asked.size(), 1u) << bad;
        Run("SetBase,Button2");
    }
    EXPECT_EQ(b->TabControl->TabCount(), 33);
    Run("Base,N4");
    Run("SetBase,Edit", "Work");
    Run("SetBase,Button1");
    ASSERT_EQ(b->TabControl->TabCount(), 34);
    EXPECT_EQ(b->TabControl->Tabs()[1], "Work");
    EXPECT_EQ(b->PageName, "Work");
    // rename onto the file of another page is refused; a new name moves the file
    Fill("W", "01.01.2000", "12:00:00");
    Run("Base,AddRecord");
    Run("Base,N1");
    Run("SetBase,Edit", Cp("Моё2"));
    Run("SetBase,Button1");
    EXPECT_EQ(b->PageName, Cp("Моё2"));
    EXPECT_TRUE(fs::exists(PageFile(Cp("Моё2"))));
    EXPECT_FALSE(fs::exists(PageFile("Work")));
    // the tab of "Моё" is deleted: its file stays, and a scan brings it back
    Run("Base,TabControl", "4");
    ASSERT_EQ(b->PageName, Cp("Моё"));
    Run("Base,N2");
    EXPECT_EQ(dialogs.asked.back().text,
              GetMsgText(p->s, 34, GetMsgText(p->s, 35, PageFileName(Cp("Моё")))));
    EXPECT_EQ(b->TabControl->TabCount(), 33);
    EXPECT_TRUE(fs::exists(PageFile(Cp("Моё"))));
    Run("Base,N1");
    Run("SetBase,Edit", Cp("Моё"));
    dialogs.asked.clear();
    Run("SetBase,Button1"); // its file is still there
    EXPECT_EQ(dialogs.asked.size(), 1u);
    Run("SetBase,Button2");
    PutPage(Cp("КЛИЕНТЫ"), ""); // an existing tab in capitals adds nothing
    Run("Base,N6");
    EXPECT_EQ(dialogs.asked.back().text, GetMsgText(p->s, 10));
    ASSERT_EQ(b->TabControl->TabCount(), 34);
    EXPECT_EQ(b->TabControl->Tabs()[33], Cp("Моё"));
    Run("Base,TabControl", "33");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Mine"}));
    // closing keeps the pages' rows, the birth-data window gets the focus
    Run("Base,StringGrid", "Row 1");
    Run("Base,", "Close");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Screen().FindForm("Base"), nullptr);
}

TEST_F(BaseWindowTest, PageStateChoosesThePageAndRow) {
    PutPage(Cp("События"), "A; ; ; ; ; ; ; ; ; \r\nB; ; ; ; ; ; ; ; ; \r\nC; ; ; ; ; ; ; ; ; \r\n\r\n");
    struct Case {
        std::string state;
        std::string page;
        int row;
    } cases[] = {
        {"1;1;3;", Cp("События"), 3},
        {"1;1;9;", Cp("События"), 3}, // a row beyond the page is its last
        {"77;", clients, 1},           // beyond the last tab: the first page
        {"garbage", clients, 1},
        {"1", Cp("События"), 1},      // too short: row 1
    };
    for (const auto& c : cases) {
        TBase* b = Open(c.state);
        EXPECT_EQ(b->PageName, c.page) << c.state;
        EXPECT_EQ(b->StringGrid->Row(), c.row) << c.state;
        delete b;
    }
    TBase* b = Open("1;1;2;");
    Run("Base,StringGrid", "Row 3");
    Run("Base,TabControl", "0"); // leaving the page remembers the row it was on
    EXPECT_EQ(b->PageRows[1], "3");
    Run("Base,TabControl", "1");
    EXPECT_EQ(b->StringGrid->Row(), 3);
}

TEST_F(BaseWindowTest, EnglishLinesCoverTheWindowAndEnglishModeHasEnglishPages) {
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(fs::path(QOR_SOURCE_DIR) / "data" / "English.txt", lines).ok());
    TBase* b = Open();
    for (const std::string& problem : EnglishCoverageProblems({b}, lines, true))
        ADD_FAILURE() << Cp1251ToUtf8(problem);
    delete b;
    fs::copy_file(fs::path(QOR_SOURCE_DIR) / "data" / "English.txt", dir / "English.txt");
    p->s.EnglishMode = true;
    b = new TBase(*p);
    p->English.ApplyEnglishToForm("Base");
    b->show();
    EXPECT_EQ(b->TabControl->Tabs(), TBase::DefaultPages(true));
    EXPECT_EQ(b->PageName, "Clients");
    EXPECT_EQ(b->Caption(), "Chart bases");
    EXPECT_EQ(b->GetData->Caption(), "Select data");
}

} // namespace
} // namespace qor::chart
