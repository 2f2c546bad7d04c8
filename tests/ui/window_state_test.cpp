// Window-state files: the line codec of every kind, the main file's round trip and scaling,
// memo blocks, emptied fields and the per-window file's take-out and put-back.
#include "support/QtApp.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"
#include "ui/WindowState.h"

#include "core/Files.h"
#include "core/Text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace qor::ui {
namespace {

// A window with one control of each kind the files keep (and a few they do not).
struct StateWindow {
    std::unique_ptr<TForm> form;
    TMemo* memo;
    TRadioGroup* group;
    TComboBox* combo;
    TEdit* edit;
    TEdit* emptied;
    TEdit* tagged;
    TSpinEdit* spin;
    TTrackBar* track;
    TRadioButton* radio;
    TCheckBox* check;
    TDrawGrid* grid;
    TTabControl* tabs;
    std::vector<std::string> editValues; // every text the edit was given

    explicit StateWindow(const char* name = "StateForm") : form(std::make_unique<TForm>(name)) {
        TForm& f = *form;
        f.SetBounds(50, 40, 500, 400);
        f.Add<TLabel>("Label")->SetCaption("Имя"_cp);
        memo = f.Add<TMemo>("Memo");
        group = f.Add<TRadioGroup>("RadioGroup");
        group->SetItems({"a", "b", "c"});
        combo = f.Add<TComboBox>("ComboBox");
        combo->SetItems({"Транзит"_cp, "Синастрия"_cp});
        edit = f.Add<TEdit>("Edit");
        edit->OnChange = [this] { editValues.push_back(edit->Text()); };
        emptied = f.Add<TEdit>("Emptied");
        emptied->SetText("default");
        tagged = f.Add<TEdit>("Tagged");
        SetTag(tagged, 9);
        spin = f.Add<TSpinEdit>("SpinEdit");
        track = f.Add<TTrackBar>("TrackBar");
        radio = f.Add<TRadioButton>("RadioButton");
        check = f.Add<TCheckBox>("CheckBox");
        grid = f.Add<TDrawGrid>("DrawGrid");
        grid->SetColCount(4);
        for (int i = 0; i < 4; ++i) grid->SetColWidth(i, 50);
        tabs = f.Add<TTabControl>("TabControl");
        SetTag(tabs, 1); // its tab texts are kept
        tabs->SetTabs({"Основные"_cp});
        f.Add<TButton>("Button");
        f.Add<TTimer>("Timer");
    }

    void FillIn() {
        memo->SetLines({"first", "//", "///", "", "Ф,и;о"_cp});
        group->SetItemIndex(2);
        combo->SetText("Синастрия"_cp);
        edit->SetText("a,b;c");
        emptied->SetText("");
        tagged->SetText("not kept");
        spin->SetValue(-3);
        track->SetPosition(7);
        radio->SetChecked(true);
        check->SetChecked(false);
        grid->SetColWidth(0, 64);
        grid->SetColWidth(2, 120);
        tabs->SetTabs({"Аспекты"_cp, "Mine", "x,y"});
    }
};

class WindowStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtApp();
        Screen().SetSize(1024, 768);
        s.ProgramFolder = dir.path();
        s.Report = &report;
    }
    void TearDown() override { Screen().SetSize(0, 0); }
    std::string MainBytes() const { return test::TempDir::Read(dir / "main.ini"); }

    test::TempDir dir;
    test::RecordingReport report;
    AstroDat s;
};

TEST_F(WindowStateTest, MainFileRoundTripIsByteIdentical) {
    std::string first;
    {
        StateWindow w;
        w.FillIn();
        WindowStateFiles files(s);
        ASSERT_TRUE(files.SaveMainIni());
        first = MainBytes();
    }
    StateWindow w; // fresh controls with their resource values
    WindowStateFiles files(s);
    ASSERT_TRUE(files.LoadMainIni());
    EXPECT_EQ(w.memo->Lines(), (std::vector<std::string>{"first", "//", "///", "", "Ф,и;о"_cp}));
    EXPECT_EQ(w.group->ItemIndex(), 2);
    EXPECT_EQ(w.combo->Text(), "Синастрия"_cp);
    EXPECT_EQ(w.edit->Text(), "a,b;c"); // commas and semicolons kept whole
    EXPECT_EQ(w.emptied->Text(), "");   // an emptied field stays empty
    EXPECT_EQ(w.tagged->Text(), "");    // tag bits keep it out
    EXPECT_EQ(w.spin->Value(), -3);
    EXPECT_EQ(w.track->Position(), 7);
    EXPECT_TRUE(w.radio->Checked());
    EXPECT_EQ(w.grid->ColWidth(0), 64);
    EXPECT_EQ(w.grid->ColWidth(2), 120);
    EXPECT_EQ(w.tabs->Tabs(), (std::vector<std::string>{"Аспекты"_cp, "Mine", "x,y"}));
    EXPECT_EQ(w.form->pos(), QPoint(50, 40));
    ASSERT_TRUE(files.SaveMainIni());
    EXPECT_EQ(MainBytes(), first);

    // the memo's slash lines are escaped, the emptied edit is an empty block
    const auto lines = SplitTextLines(first);
    EXPECT_EQ(lines[0], "ScreenSize,1024,768");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "////"), lines.end());
    const auto at = std::find(lines.begin(), lines.end(), "StateForm,Emptied,");
    ASSERT_NE(at, lines.end());
    EXPECT_EQ(*(at + 1), "//");
    EXPECT_EQ(
        std::count_if(lines.begin(), lines.end(),
                      [](const std::string& l) { return l.find("Tagged") != std::string::npos; }),
        0);
}

TEST_F(WindowStateTest, MainFileIsCodePage1251) {
    StateWindow w;
    w.FillIn();
    WindowStateFiles files(s);
    ASSERT_TRUE(files.SaveMainIni());
    const std::string cmd = "iconv -f CP1251 -t UTF-8 '" + (dir / "main.ini").string() + "'";
    FILE* p = popen(cmd.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string utf8;
    char buf[4096];
    while (const std::size_t n = fread(buf, 1, sizeof buf, p)) utf8.append(buf, n);
    EXPECT_EQ(pclose(p), 0);
    EXPECT_NE(utf8.find("StateForm,ComboBox,Синастрия\r\n"), std::string::npos);
    EXPECT_NE(utf8.find("StateForm,TabControl,Аспекты;Mine;x,y;\r\n"), std::string::npos);
}

TEST_F(WindowStateTest, PlacesFromAnotherScreenAreScaled) {
    Screen().SetSize(1280, 1024);
    StateWindow plain("ScaleForm");
    StateWindow dialog("DialogForm");
    dialog.form->SetBorderStyle(BorderStyle::Dialog);
    StateWindow main("Form1");
    dir.Write("main.ini", "ScreenSize,1024,768\r\n"
                          "ScaleForm,Size,100;60;400;300;\r\n"
                          "DialogForm,Size,100;60;400;300;\r\n"
                          "Form1,Size,100;60;800;600;\r\n");
    WindowStateFiles files(s);
    ASSERT_TRUE(files.LoadMainIni());
    EXPECT_EQ(plain.form->geometry(), QRect(125, 80, 500, 400)); // x 1.25, y 4/3
    EXPECT_EQ(dialog.form->pos(), QPoint(125, 80));
    EXPECT_EQ(dialog.form->size(), QSize(500, 400));              // a dialog keeps its own size
    EXPECT_EQ(main.form->geometry(), QRect(125, 80, 1000, 800)); // the main window, scaled too
    EXPECT_EQ(files.WidthRatio, 1.0);
    EXPECT_EQ(files.HeightRatio, 1.0);

    // a screen of size 0 is no reason to divide by it: the places stay as written
    dir.Write("main.ini", "ScreenSize,0,0\r\nScaleForm,Size,100;60;400;300;\r\n");
    ASSERT_TRUE(files.LoadMainIni());
    EXPECT_EQ(plain.form->geometry(), QRect(100, 60, 400, 300));
}

// The main window comes back where it was left, also at the screen's corner; it is centred
// only when the saved place would put part of it off the screen.
TEST_F(WindowStateTest, TheMainWindowComesBackWhereItWasLeft) {
    Screen().SetSize(1600, 1000);
    StateWindow main("Form1");
    const struct {
        const char* line;
        QRect expected;
    } cases[] = {{"Form1,Size,0;0;804;548;", QRect(0, 0, 804, 548)},
                 {"Form1,Size,124;75;804;548;", QRect(124, 75, 804, 548)},
                 {"Form1,Size,796;452;804;548;", QRect(796, 452, 804, 548)},   // just fits
                 {"Form1,Size,1000;600;804;548;", QRect(398, 226, 804, 548)},  // would stick out
                 {"Form1,Size,-3;10;804;548;", QRect(398, 226, 804, 548)}};    // partly off the left
    for (const auto& c : cases) {
        dir.Write("main.ini", std::string("ScreenSize,1600,1000\r\n") + c.line + "\r\n");
        WindowStateFiles files(s);
        ASSERT_TRUE(files.LoadMainIni());
        EXPECT_EQ(main.form->geometry(), c.expected) << c.line;
    }
}

TEST_F(WindowStateTest, ComponentValuesOutsideTheirRangeAreNotApplied) {
    StateWindow w;
    WindowStateFiles files(s);
    files.ApplyComponentState(*w.form, "DrawGrid", "64;30;;30;");
    EXPECT_EQ(w.grid->ColWidth(0), 64);
    EXPECT_EQ(w.grid->ColWidth(1), 30);
    EXPECT_EQ(w.grid->ColWidth(2), 50); // the empty field sets nothing
    EXPECT_EQ(w.grid->ColWidth(3), 30);
    files.ApplyComponentState(*w.form, "DrawGrid", "0;400;7;7;7;");
    EXPECT_EQ(w.grid->ColWidth(0), 64);
    EXPECT_EQ(w.grid->ColWidth(1), 30);
    EXPECT_EQ(w.grid->ColWidth(2), 7);

    w.check->SetChecked(true);
    files.ApplyComponentState(*w.form, "CheckBox", "true");
    EXPECT_FALSE(w.check->Checked());

    files.ApplyComponentState(*w.form, "Size", "2000;-50;50;5000;");
    EXPECT_EQ(w.form->geometry(), QRect(50, 40, 500, 400));
    EXPECT_EQ(files.ApplyComponentState(*w.form, "Memo", ""), w.memo);
    EXPECT_EQ(files.ApplyComponentState(*w.form, "NoSuch", "1"), nullptr);
}

TEST_F(WindowStateTest, MemoOfAnAbsentWindowIsNotReadAsSettings) {
    StateWindow w;
    dir.Write("main.ini", "ScreenSize,1024,768\r\n"
                          "GoneForm,Memo,\r\n"
                          "StateForm,Edit,hijack\r\n"
                          "StateForm,Size,0;0;101;101;\r\n"
                          "//\r\n"
                          "StateForm,Edit,real\r\n");
    WindowStateFiles files(s);
    ASSERT_TRUE(files.LoadMainIni());
    EXPECT_EQ(w.editValues, std::vector<std::string>{"real"});
    EXPECT_EQ(w.form->pos(), QPoint(50, 40));
}

TEST_F(WindowStateTest, MissingMainFileAppliesNothing) {
    WindowStateFiles files(s);
    EXPECT_FALSE(files.LoadMainIni());
    s.EnglishMode = true;
    EXPECT_EQ(files.MainIniName(), "main-e.ini");
    EXPECT_EQ(files.FormIniName(), "Form-e.ini");
}

TEST_F(WindowStateTest, FailedSaveIsReportedAndKeepsTheOldFile) {
    std::filesystem::create_directories(dir / "main.ini" / "blocker");
    StateWindow w;
    WindowStateFiles files(s);
    EXPECT_FALSE(files.SaveMainIni());
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_NE(report.messages[0].text.find("main.ini"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "main.ini" / "blocker"));
}

// Window-state files the user made read-only are not replaced: each save says so and the
// file keeps its bytes and its mode.
TEST_F(WindowStateTest, ReadOnlyStateFilesAreNotReplaced) {
    s.EnglishMode = true;
    StateWindow w;
    WindowStateFiles files(s);
    files.FormIniList = {"StateForm,Edit,x"};
    const auto ro = std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                    std::filesystem::perms::others_read;
    for (const char* name : {"main-e.ini", "Form-e.ini"}) {
        dir.Write(name, "kept\r\n");
        std::filesystem::permissions(dir / name, ro);
    }
    EXPECT_FALSE(files.SaveMainIni());
    EXPECT_FALSE(files.SaveFormIni());
    ASSERT_EQ(report.messages.size(), 2u);
    EXPECT_EQ(report.messages[0].text, "main-e.ini is read-only");
    EXPECT_EQ(report.messages[1].text, "Form-e.ini is read-only");
    for (const char* name : {"main-e.ini", "Form-e.ini"}) {
        EXPECT_EQ(test::TempDir::Read(dir / name), "kept\r\n") << name;
        EXPECT_EQ(std::filesystem::status(dir / name).permissions(), ro) << name;
    }
}

// The per-window file across sessions: every window, those made at start-up included, takes
// its lines when created and replaces them when it closes, so the file does not grow.
TEST_F(WindowStateTest, PerWindowFileDoesNotGrowFromSessionToSession) {
    dir.Write("Form.ini", "OtherForm,Memo,\r\n"
                          "StateForm,Edit,inside another memo\r\n"
                          "//\r\n"
                          "OtherForm,Edit,kept\r\n");
    Screen().RegisterFormClass("StateForm", [] {
        auto* w = new StateWindow;
        w->form->SetStoresSettings(true);
        TForm* f = w->form.release();
        QObject::connect(f, &QObject::destroyed, [w] { delete w; });
        return f;
    });
    std::string afterFirst;
    for (int session = 0; session < 3; ++session) {
        WindowStateFiles files(s);
        Screen().ApplySettings = [&](TForm& f) { files.ApplyFormSettings(f); };
        Screen().StoreSettings = [&](TForm& f) { files.StoreFormSettings(f); };
        files.LoadFormIni();
        TForm* f = Screen().Ensure("StateForm");
        ASSERT_NE(f, nullptr);
        auto* edit = f->Find<TEdit>("Edit");
        if (session == 0) {
            EXPECT_EQ(edit->Text(), ""); // the other window's memo line is not ours
            edit->SetText("mine");
        } else {
            EXPECT_EQ(edit->Text(), "mine");
        }
        // the window's lines left the list when it was created
        for (const auto& l : files.FormIniList) EXPECT_NE(l.rfind("StateForm,Size", 0), 0u) << l;
        f->show();
        f->Close();
        f->show();
        f->Close(); // closed twice: its lines are replaced, not added again
        ASSERT_TRUE(files.SaveFormIni());
        const std::string bytes = test::TempDir::Read(dir / "Form.ini");
        if (session == 0)
            afterFirst = bytes;
        else
            EXPECT_EQ(bytes, afterFirst) << "session " << session;
        delete f;
    }
    const auto lines = SplitTextLines(afterFirst);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "OtherForm,Memo,");
    EXPECT_EQ(lines[1], "StateForm,Edit,inside another memo");
    EXPECT_EQ(lines[3], "OtherForm,Edit,kept");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "StateForm,Edit,mine"), 1);
    Screen().ApplySettings = nullptr;
    Screen().StoreSettings = nullptr;
}

TEST_F(WindowStateTest, LaterLinesOfAWindowOverrideEarlierOnes) {
    StateWindow w;
    WindowStateFiles files(s);
    files.FormIniList = {"StateForm,Edit,one", "StateForm,Memo,",  "x", "//",
                         "StateForm,Edit,two", "Foreign,Edit,stay"};
    files.ApplyFormSettings(*w.form);
    EXPECT_EQ(w.edit->Text(), "two");
    EXPECT_EQ(w.memo->Lines(), std::vector<std::string>{"x"});
    EXPECT_EQ(files.FormIniList, std::vector<std::string>{"Foreign,Edit,stay"});
}

TEST_F(WindowStateTest, DefaultCopiesReplaceBothFiles) {
    dir.Write("main.dfl", "ScreenSize,800,600\r\n");
    dir.Write("form.dfl", "A,B,c\r\n");
    dir.Write("main.ini", "old\r\n");
    WindowStateFiles files(s);
    EXPECT_TRUE(files.RestoreDefaultFiles());
    EXPECT_EQ(test::TempDir::Read(dir / "main.ini"), "ScreenSize,800,600\r\n");
    EXPECT_EQ(test::TempDir::Read(dir / "Form.ini"), "A,B,c\r\n");
}

} // namespace
} // namespace qor::ui
