// Command paths: every (kind, command) and (kind, request) of the command tables, run through
// RunUICommand, QueryUIValue and PostUICommand on a window with one control of each kind.
#include "support/QtApp.h"
#include "support/RecordingReport.h"
#include "ui/UICommands.h"

#include "core/Text.h"

#include <QEventLoop>

#include <gtest/gtest.h>

#include <memory>

namespace qor::ui {
namespace {

// A window with one control of each kind, counting the handler runs.
struct TestWindow {
    std::unique_ptr<TForm> form;
    TLabel* label;
    TEdit* edit;
    TMemo* memo;
    TDrawGrid* grid;
    TComboBox* combo;
    TSpeedButton* speed;
    TButton* button;
    TRadioButton* radio;
    TRadioButton* radio2;
    TRadioGroup* group;
    TTrackBar* track;
    TSpinEdit* spin;
    TCheckBox* check;
    TTabControl* tabs;
    TPaintBox* box;
    TMenuItem* menu;
    TGroupBox* groupBox;
    std::map<std::string, int> runs;
    std::string mouse; // the last mouse handler call
    int gridKey = 0;
    Shift gridShift = 0;
    int formKey = 0;
    Shift formShift = 99;

    explicit TestWindow(const char* name = "TestForm") : form(std::make_unique<TForm>(name)) {
        TForm& f = *form;
        f.SetBounds(20, 30, 400, 300);
        label = f.Add<TLabel>("Label", {5, 5, 80, 20});
        edit = f.Add<TEdit>("Edit", {5, 30, 120, 24});
        memo = f.Add<TMemo>("Memo", {130, 30, 120, 60});
        grid = f.Add<TDrawGrid>("DrawGrid", {5, 100, 200, 120});
        grid->SetRowCount(10);
        combo = f.Add<TComboBox>("ComboBox", {260, 5, 120, 24});
        combo->SetItems({"Транзит"_cp, "Синастрия"_cp});
        combo->SetItemIndex(0);
        speed = f.Add<TSpeedButton>("SpeedButton", {260, 40, 30, 30});
        button = f.Add<TButton>("Button", {300, 40, 60, 30});
        radio = f.Add<TRadioButton>("RadioButton", {260, 80, 80, 20});
        radio2 = f.Add<TRadioButton>("RadioButton2", {260, 100, 80, 20});
        radio2->SetChecked(true);
        group = f.Add<TRadioGroup>("RadioGroup", {210, 120, 100, 80});
        group->SetItems({"a", "b", "c"});
        track = f.Add<TTrackBar>("TrackBar", {5, 230, 150, 30});
        spin = f.Add<TSpinEdit>("SpinEdit", {160, 230, 60, 24});
        check = f.Add<TCheckBox>("CheckBox", {230, 230, 80, 20});
        tabs = f.Add<TTabControl>("TabControl", {320, 120, 70, 60});
        tabs->SetTabs({"a", "b", "c"});
        box = f.Add<TPaintBox>("PaintBox", {320, 200, 60, 60});
        menu = f.AddMenuItem("N1", "Файл"_cp);
        groupBox = f.Add<TGroupBox>("GroupBox", {5, 265, 100, 30});
        groupBox->SetCaption("G");

        auto counter = [this](const char* what) { return [this, what] { ++runs[what]; }; };
        edit->OnChange = counter("edit");
        memo->OnChange = counter("memo");
        combo->OnChange = counter("combo");
        speed->OnClick = counter("speed");
        button->OnClick = counter("button");
        radio->OnClick = counter("radio");
        group->OnClick = counter("group");
        track->OnChange = counter("track");
        spin->OnChange = counter("spin");
        check->OnClick = counter("check");
        tabs->OnChange = counter("tabs");
        menu->OnClick = counter("menu");
        grid->OnKeyDown = [this](int& k, Shift s) { gridKey = k, gridShift = s; };
        f.OnKeyDown = [this](int& k, Shift s) { formKey = k, formShift = s; };
        box->OnMouseDown = [this](MouseButton b, Shift s, int x, int y) {
            mouse = Describe("down", b, s, x, y);
        };
        box->OnMouseUp = [this](MouseButton b, Shift s, int x, int y) {
            mouse = Describe("up", b, s, x, y);
        };
        box->OnMouseMove = [this](Shift s, int x, int y) {
            mouse = Describe("move", MouseButton::Left, s, x, y);
        };
        f.show();
    }
    static std::string Describe(const char* what, MouseButton b, Shift s, int x, int y) {
        return std::string(what) + (b == MouseButton::Right ? " right " : " left ") +
               std::to_string(s) + " " + std::to_string(x) + "," + std::to_string(y);
    }
};

class UICommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtApp();
        Screen().SetSize(1280, 1024);
        Screen().Cursor().SetPos({1000, 900}); // far from every control
        s.Report = &report;
    }
    void TearDown() override { Screen().SetSize(0, 0); }
    static void Pump(int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }
    test::RecordingReport report;
    AstroDat s;
};

TEST_F(UICommandsTest, ComponentCommandsByKind) {
    struct Row {
        const char* target;
        std::string command;
        std::function<void(TestWindow&)> check;
    };
    const Row rows[] = {
        {"Label", "Hello", [](TestWindow& w) { EXPECT_EQ(w.label->Caption(), "Hello"); }},
        {"Edit", "*",
         [](TestWindow& w) {
             EXPECT_EQ(Screen().Cursor().Pos(), Pointer::CentreOf(w.edit));
             EXPECT_EQ(w.edit->Text(), "");
         }},
        {"Edit", "*x",
         [](TestWindow& w) {
             EXPECT_EQ(w.edit->Text(), "*x");
             EXPECT_EQ(w.runs["edit"], 1);
         }},
        {"Memo", "one",
         [](TestWindow& w) { EXPECT_EQ(w.memo->Lines(), std::vector<std::string>{"one"}); }},
        {"DrawGrid", "MoveTo",
         [](TestWindow& w) { EXPECT_EQ(Screen().Cursor().Pos(), Pointer::CentreOf(w.grid)); }},
        {"DrawGrid", "Row 7", [](TestWindow& w) { EXPECT_EQ(w.grid->Row(), 7); }},
        {"DrawGrid", "Row=", [](TestWindow& w) { EXPECT_EQ(w.grid->Row(), 0); }},
        {"DrawGrid", "KeyDown,40,ssShift",
         [](TestWindow& w) {
             EXPECT_EQ(w.gridKey, 40);
             EXPECT_EQ(w.gridShift, ssShift);
         }},
        {"DrawGrid", "Other", [](TestWindow& w) { EXPECT_EQ(w.grid->Row(), 1); }},
        {"ComboBox", "Синастрия"_cp,
         [](TestWindow& w) {
             EXPECT_EQ(w.combo->Text(), "Синастрия"_cp);
             EXPECT_EQ(w.combo->ItemIndex(), 0); // the text alone does not select
             EXPECT_EQ(w.runs["combo"], 1);
         }},
        {"SpeedButton", "MoveTo",
         [](TestWindow& w) {
             EXPECT_EQ(Screen().Cursor().Pos(), Pointer::CentreOf(w.speed));
             EXPECT_EQ(w.runs["speed"], 0);
         }},
        {"SpeedButton", "", [](TestWindow& w) { EXPECT_EQ(w.runs["speed"], 1); }},
        {"Button", "MoveTo",
         [](TestWindow& w) {
             EXPECT_EQ(Screen().Cursor().Pos(), Pointer::CentreOf(w.button));
             EXPECT_EQ(w.runs["button"], 0);
         }},
        {"Button", "go", [](TestWindow& w) { EXPECT_EQ(w.runs["button"], 1); }},
        {"RadioButton", "MoveTo",
         [](TestWindow& w) { EXPECT_EQ(Screen().Cursor().Pos(), Pointer::CentreOf(w.radio)); }},
        {"RadioButton", "x",
         [](TestWindow& w) {
             EXPECT_TRUE(w.radio->Checked());
             EXPECT_FALSE(w.radio2->Checked());
             EXPECT_EQ(w.runs["radio"], 1);
         }},
        {"RadioGroup", "MoveTo",
         [](TestWindow& w) { EXPECT_EQ(Screen().Cursor().Pos(), Pointer::CentreOf(w.group)); }},
        {"RadioGroup", "2",
         [](TestWindow& w) {
             EXPECT_EQ(w.group->ItemIndex(), 2);
             EXPECT_EQ(w.runs["group"], 1);
         }},
        {"TrackBar", "MoveTo",
         [](TestWindow& w) { EXPECT_EQ(Screen().Cursor().Pos(), Pointer::CentreOf(w.track)); }},
        {"TrackBar", "5",
         [](TestWindow& w) {
             EXPECT_EQ(w.track->Position(), 5);
             EXPECT_EQ(w.runs["track"], 1);
         }},
        {"TrackBar", "0",
         [](TestWindow& w) { EXPECT_EQ(w.runs["track"], 1); }}, // unmoved, run once
        {"SpinEdit", "MoveTo",
         [](TestWindow& w) { EXPECT_EQ(Screen().Cursor().Pos(), Pointer::CentreOf(w.spin)); }},
        {"SpinEdit", "12", [](TestWindow& w) { EXPECT_EQ(w.spin->Value(), 12); }},
        {"CheckBox", "MoveTo",
         [](TestWindow& w) { EXPECT_EQ(Screen().Cursor().Pos(), Pointer::CentreOf(w.check)); }},
        {"CheckBox", "True", [](TestWindow& w) { EXPECT_TRUE(w.check->Checked()); }},
        {"CheckBox", "yes", [](TestWindow& w) { EXPECT_FALSE(w.check->Checked()); }},
        {"CheckBox", "true", [](TestWindow& w) { EXPECT_FALSE(w.check->Checked()); }},
        {"TabControl", "MoveTo",
         [](TestWindow& w) {
             EXPECT_EQ(Screen().Cursor().Pos(), w.tabs->mapToGlobal(QPoint(3, 3)));
         }},
        {"TabControl", "2",
         [](TestWindow& w) {
             EXPECT_EQ(w.tabs->TabIndex(), 2);
             EXPECT_EQ(w.runs["tabs"], 1);
         }},
        // the mouse commands act at their own x, y, wherever the pointer was
        {"PaintBox", "MouseDown,mbRight,[ssShift],10,20",
         [](TestWindow& w) {
             EXPECT_EQ(w.mouse, "down right 1 10,20");
             EXPECT_EQ(Screen().Cursor().Pos(), w.box->mapToGlobal(QPoint(10, 20)));
         }},
        {"PaintBox", "MouseUp,mbLeft,[],5,6;",
         [](TestWindow& w) { EXPECT_EQ(w.mouse, "up left 0 5,6"); }},
        {"PaintBox", "MouseUp,mbOther,[],5,6",
         [](TestWindow& w) { EXPECT_EQ(w.mouse, "up left 0 5,6"); }},
        {"PaintBox", "MouseMove,[ssCtrl ssLeft],7,8",
         [](TestWindow& w) {
             EXPECT_EQ(w.mouse, "move left 12 7,8");
             EXPECT_EQ(Screen().Cursor().Pos(), w.box->mapToGlobal(QPoint(7, 8)));
         }},
        {"PaintBox", "Wiggle,1,2", [](TestWindow& w) { EXPECT_EQ(w.mouse, ""); }},
        // a point far outside any window is held at the drawing's bound
        {"PaintBox", "MouseMove,-2147483648,-2147483648", // no shift field: y is empty
         [](TestWindow& w) { EXPECT_EQ(w.mouse, "move left 0 -32000,0"); }},
        {"PaintBox", "MouseMove,[],-2147483648,-2147483648",
         [](TestWindow& w) { EXPECT_EQ(w.mouse, "move left 0 -32000,-32000"); }},
        {"PaintBox", "MouseDown,mbLeft,[],2147483647,99999999999",
         [](TestWindow& w) { EXPECT_EQ(w.mouse, "down left 0 32000,0"); }},
        {"N1", "whatever", [](TestWindow& w) { EXPECT_EQ(w.runs["menu"], 1); }},
        {"GroupBox", "new", [](TestWindow& w) { EXPECT_EQ(w.groupBox->Caption(), "G"); }},
        {"Missing", "x", [](TestWindow&) {}},
    };
    for (const auto& r : rows) {
        TestWindow w;
        Screen().Cursor().SetPos({1000, 900});
        UICommands ui(s);
        ui.RunUICommand(std::string("TestForm,") + r.target, r.command);
        SCOPED_TRACE(std::string(r.target) + " <- \"" + r.command + "\"");
        r.check(w);
    }
}

TEST_F(UICommandsTest, HiddenOrMissingWindowsTakeNoComponentCommand) {
    TestWindow w;
    UICommands ui(s);
    w.form->hide();
    ui.RunUICommand("TestForm,Label", "Hidden");
    ui.RunUICommand("TestForm,Button", "");
    ui.RunUICommand("NoForm,Label", "x");
    EXPECT_EQ(w.label->Caption(), "");
    EXPECT_EQ(w.runs["button"], 0);
    EXPECT_TRUE(report.messages.empty());
}

TEST_F(UICommandsTest, EmptyGridCommandRunsTheFormsRefreshAndRepaints) {
    TestWindow w("AstroForm");
    UICommands ui(s);
    const int nExtra = 4;
    ui.SetGridRefresh("AstroForm", [&](TDrawGrid& g) { g.SetRowCount(nExtra + 16); });
    ui.RunUICommand("AstroForm,DrawGrid", "");
    EXPECT_EQ(w.grid->RowCount(), 20);
    EXPECT_EQ(ui.QueryUIValue("AstroForm,DrawGrid", "RowCount"), "20");
}

TEST_F(UICommandsTest, FormCommands) {
    TestWindow w;
    UICommands ui(s);
    TForm& f = *w.form;
    struct Place {
        const char* command;
        int left, top;
    };
    // screen 1280 x 1024, window 400 x 300
    const Place places[] = {
        {"Show,Mid", 440, 362},    {"Show,TopLeft", 0, 0},    {"Show,Left", 0, 362},
        {"Show,Top", 440, 0},      {"Show,TopRight", 880, 0}, {"Show,Right", 880, 362},
        {"Show,LeftDown", 0, 724}, {"Show,Down", 440, 724},   {"Show,RightDown", 880, 724}};
    for (const auto& p : places) {
        f.hide();
        f.move(7, 9);
        ui.RunUICommand("TestForm", p.command);
        EXPECT_TRUE(f.isVisible()) << p.command;
        EXPECT_EQ(f.pos(), QPoint(p.left, p.top)) << p.command;
    }
    f.hide();
    f.move(7, 9);
    ui.RunUICommand("TestForm,", "Show,Elsewhere");
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.pos(), QPoint(7, 9));

    f.hide();
    ui.RunUICommand("TestForm", "Show,Max");
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.State(), WindowState::Maximized);
    ui.RunUICommand("TestForm", "Show,Normal");
    EXPECT_EQ(f.State(), WindowState::Normal);

    ui.RunUICommand("TestForm", "KeyDown,65,ssCtrl");
    EXPECT_EQ(w.formKey, 65);
    EXPECT_EQ(w.formShift, ssCtrl);
    ui.RunUICommand("TestForm", "KeyDown,66,ssCtrl ssAlt"); // compared whole: no modifier
    EXPECT_EQ(w.formKey, 66);
    EXPECT_EQ(w.formShift, 0u);

    ui.RunUICommand("TestForm", "Close");
    EXPECT_FALSE(f.isVisible());
    w.formKey = 0;
    ui.RunUICommand("TestForm", "KeyDown,65,ssCtrl"); // hidden: nothing
    ui.RunUICommand("TestForm", "SetFocus");
    EXPECT_EQ(w.formKey, 0);
    EXPECT_FALSE(f.isVisible());
}

TEST_F(UICommandsTest, QueriesByKind) {
    TestWindow w;
    UICommands ui(s);
    w.label->SetCaption("Caption  ");
    w.edit->SetText("text ");
    w.memo->SetLines({"one", "two"});
    w.group->SetItemIndex(1);
    w.check->SetChecked(true);
    w.combo->SetText("combo");
    w.form->hide(); // queries answer for hidden windows too
    struct Row {
        const char* target;
        const char* request;
        std::string answer;
    };
    const Row rows[] = {
        {"Label", "", "Caption"},      {"Edit", "", "text"},
        {"Memo", "", "one\r\ntwo"},    {"DrawGrid", "RowCount", "10"},
        {"DrawGrid", "Rows", ""},      {"RadioGroup", "", "1"},
        {"CheckBox", "", "True"},      {"TabControl", "TabsCount", "3"},
        {"TabControl", "Tabs,1", "b"}, {"TabControl", "Tabs,9", ""},
        {"TabControl", "", ""},        {"ComboBox", "", ""},
        {"TrackBar", "", ""},
    };
    for (const auto& r : rows)
        EXPECT_EQ(ui.QueryUIValue(std::string("TestForm,") + r.target, r.request), r.answer)
            << r.target << " " << r.request;
    EXPECT_TRUE(s.StatusText.empty());
    w.check->SetChecked(false);
    EXPECT_EQ(ui.QueryUIValue("TestForm,CheckBox", ""), "False");

    EXPECT_EQ(ui.QueryUIValue("TestForm,Nope", ""), "");
    EXPECT_EQ(s.StatusText, "Receive not found TestForm,Nope");
}

TEST_F(UICommandsTest, PostedCommandRunsLaterAndOnlyTheLastOne) {
    TestWindow w;
    UICommands ui(s);
    ui.PostUICommand("TestForm,Label", "first");
    ui.PostUICommand("TestForm,Label", "second");
    EXPECT_EQ(w.label->Caption(), ""); // not yet
    EXPECT_EQ(ui.Timer2().interval(), 10);
    Pump(80);
    EXPECT_EQ(w.label->Caption(), "second");
    EXPECT_FALSE(ui.Timer2().isActive());
    ui.PostUICommand("TestForm,Button", "");
    Pump(80);
    EXPECT_EQ(w.runs["button"], 1);
}

} // namespace
} // namespace qor::ui
