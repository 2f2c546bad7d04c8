// The forms layer: the form registry, components by name and kind, which changes made in code
// run handlers, keys by physical place, tool-window keys and the virtual pointer.
#include "support/QtApp.h"
#include "ui/Dialogs.h"
#include "ui/Forms.h"
#include "ui/QtReport.h"

#include "core/AstroDat.h"
#include "core/Text.h"

#include <QAbstractButton>
#include <QApplication>
#include <QAbstractItemView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace qor::ui {
namespace {

class FormsTest : public ::testing::Test {
protected:
    void SetUp() override { test::QtApp(); }
};

TEST_F(FormsTest, RegistryFindsFormsByExactNameMostRecentFirst) {
    auto a = std::make_unique<TForm>("AlphaForm");
    auto b = std::make_unique<TForm>("BetaForm");
    EXPECT_EQ(Screen().FindForm("AlphaForm"), a.get());
    EXPECT_EQ(Screen().FindForm("alphaform"), nullptr); // case matters
    EXPECT_TRUE(Screen().FormExists("BetaForm"));       // hidden forms count
    EXPECT_EQ(Screen().Forms().front(), b.get());
    a->show();
    EXPECT_EQ(Screen().Forms().front(), a.get());
    b.reset();
    EXPECT_FALSE(Screen().FormExists("BetaForm"));
}

TEST_F(FormsTest, FormsAreCreatedOnFirstUseByClassWithSettingsApplied) {
    int applied = 0;
    Screen().ApplySettings = [&](TForm& f) { ++applied, f.SetCaption("applied"); };
    Screen().RegisterFormClass("LazyForm", [] { return new TForm("LazyForm"); });
    TForm* f = Screen().Ensure("LazyForm");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->Caption(), "applied");
    EXPECT_EQ(Screen().Ensure("LazyForm"), f);
    EXPECT_EQ(applied, 1);
    EXPECT_EQ(Screen().Ensure("NoSuchForm"), nullptr);
    delete f;
    Screen().ApplySettings = nullptr;
}

TEST_F(FormsTest, ComponentsKeepCreationOrderNamesAndKinds) {
    TForm f("KindsForm");
    f.Add<TLabel>("Label1");
    f.Add<TEdit>("Edit1");
    auto* tabs = f.Add<TTabControl>("Tabs");
    f.Add<TCheckBox>("OnTab", tabs); // placed on another control, still in the flat list
    f.AddMenuItem("N1", "Файл"_cp);
    f.Add<TTimer>("Timer1");
    const auto& cs = f.Components();
    ASSERT_EQ(cs.size(), 6u);
    const char* names[] = {"Label1", "Edit1", "Tabs", "OnTab", "N1", "Timer1"};
    const Kind kinds[] = {Kind::Label,    Kind::Edit,     Kind::TabControl,
                          Kind::CheckBox, Kind::MenuItem, Kind::Timer};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(cs[i].Name(), names[i]);
        EXPECT_EQ(cs[i].kind, kinds[i]);
    }
    EXPECT_NE(f.Find<TCheckBox>("OnTab"), nullptr);
    EXPECT_EQ(f.Find<TEdit>("OnTab"), nullptr); // wrong kind
    EXPECT_EQ(f.FindComponent("Missing"), nullptr);
    EXPECT_FALSE(f.Find<TTimer>("Timer1")->Enabled()); // timers start disabled
}

// Which changes made in code run the control's handler, and which do not.
TEST_F(FormsTest, CodeChangesRunHandlersAsTheWindowsExpect) {
    TForm f("HandlerForm");
    int n = 0;
    auto count = [&n] { ++n; };
    struct Row {
        const char* what;
        std::function<void()> change;
        int runs;
    };
    auto* edit = f.Add<TEdit>("E");
    edit->OnChange = count;
    auto* memo = f.Add<TMemo>("M");
    memo->OnChange = count;
    auto* check = f.Add<TCheckBox>("C");
    check->OnClick = count;
    auto* radio = f.Add<TRadioButton>("R");
    radio->OnClick = count;
    auto* group = f.Add<TRadioGroup>("G");
    group->SetItems({"a", "b"});
    group->OnClick = count;
    auto* track = f.Add<TTrackBar>("T");
    track->OnChange = count;
    auto* spin = f.Add<TSpinEdit>("S");
    spin->OnChange = count;
    auto* combo = f.Add<TComboBox>("Co");
    combo->SetItems({"x", "y"});
    combo->OnChange = count;
    auto* tabs = f.Add<TTabControl>("Ta");
    tabs->SetTabs({"1", "2"});
    tabs->OnChange = count;
    const Row rows[] = {
        {"edit text", [&] { edit->SetText("abc"); }, 1},
        {"edit same text", [&] { edit->SetText("abc"); }, 0},
        {"memo lines",
         [&] {
             memo->SetLines({"1", "2"});
         },
         1},
        {"check box on", [&] { check->SetChecked(true); }, 1},
        {"check box on again", [&] { check->SetChecked(true); }, 0},
        {"check box off", [&] { check->SetChecked(false); }, 1},
        {"radio button on", [&] { radio->SetChecked(true); }, 1},
        {"radio button off", [&] { radio->SetChecked(false); }, 0},
        {"radio group index", [&] { group->SetItemIndex(1); }, 1},
        {"track bar position", [&] { track->SetPosition(5); }, 1},
        {"spin edit value", [&] { spin->SetValue(7); }, 1},
        {"combo text", [&] { combo->SetText("zzz"); }, 0},
        {"combo index", [&] { combo->SetItemIndex(1); }, 0},
        {"tab index", [&] { tabs->SetTabIndex(1); }, 0},
    };
    for (const auto& r : rows) {
        n = 0;
        r.change();
        EXPECT_EQ(n, r.runs) << r.what;
    }
    EXPECT_EQ(combo->Text(), "y"); // the index carries its text
    combo->SetText("free text");
    EXPECT_EQ(combo->ItemIndex(), 1); // the text does not move the index
}

TEST_F(FormsTest, LettersAreMatchedByTheirKeyWhateverTheLayout) {
    struct Row {
        int qtKey;
        char16_t typed;
        int vk;
    };
    const Row rows[] = {
        {Qt::Key_A, u'a', 'A'},
        {0x424, u'ф', 'A'},
        {0x424, u'Ф', 'A'},
        {0x42F, u'я', 'Z'},
        {0x419, u'й', 'Q'},
        {0x416, u'ж', vk::OemSemicolon},
        {Qt::Key_F1, 0, vk::F1},
        {Qt::Key_Escape, 0, vk::Escape},
        {Qt::Key_Left, 0, vk::Left},
        {Qt::Key_5, u'5', '5'},
        {Qt::Key_Return, u'\r', vk::Return},
    };
    for (const auto& r : rows) EXPECT_EQ(VirtualKeyOf(r.qtKey, r.typed, false), r.vk) << r.qtKey;
    EXPECT_EQ(VirtualKeyOf(Qt::Key_5, u'5', true), vk::Numpad0 + 5);
}

TEST_F(FormsTest, KeyDownReachesTheFormWithShiftStateAndEscClosesToolWindows) {
    TForm f("KeyForm");
    auto* edit = f.Add<TEdit>("Edit");
    f.SetKeyPreview(true);
    f.SetToolWindow(true);
    f.SetHelpTopic("birth_data.html");
    int lastKey = 0;
    Shift lastShift = 0;
    f.OnKeyDown = [&](int& key, Shift s) { lastKey = key, lastShift = s; };
    std::string helpAsked;
    Screen().ShowHelp = [&](TForm&, const std::string& topic) { helpAsked = topic; };
    f.show();

    QKeyEvent cyr(QEvent::KeyPress, 0x421, Qt::AltModifier, QString(QChar(u'с')));
    QApplication::sendEvent(edit, &cyr);
    EXPECT_EQ(lastKey, 'C');
    EXPECT_EQ(lastShift, ssAlt);

    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(edit, &f1);
    EXPECT_EQ(helpAsked, "birth_data.html");

    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(edit, &esc);
    EXPECT_FALSE(f.isVisible());
    Screen().ShowHelp = nullptr;
}

TEST_F(FormsTest, CloseStoresSettingsOfWindowsThatKeepThem) {
    TForm f("StoreForm");
    f.SetStoresSettings(true);
    int stored = 0;
    Screen().StoreSettings = [&](TForm&) { ++stored; };
    f.show();
    f.Close();
    EXPECT_EQ(stored, 1);
    bool allow = false;
    f.OnCloseQuery = [&](bool& can) { can = allow; };
    f.show();
    f.Close();
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(stored, 1);
    Screen().StoreSettings = nullptr;
}

TEST_F(FormsTest, PointerGlidesPixelByPixel) {
    Pointer p;
    p.SetPos({10, 10});
    p.GlideTo({10, 10});
    EXPECT_EQ(p.Steps, 1); // a line of length 0 places the pointer once
    std::vector<QPoint> path;
    p.OnStep = [&](QPoint q) { path.push_back(q); };
    p.GlideTo({15, 10});
    ASSERT_EQ(path.size(), 6u);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(path[i], QPoint(10 + i, 10));
    path.clear();
    p.GlideTo({12, 7}); // 45 degrees: both coordinates every step
    ASSERT_EQ(path.size(), 4u);
    EXPECT_EQ(path[1], QPoint(14, 9));
    EXPECT_EQ(path.back(), QPoint(12, 7));
}

TEST_F(FormsTest, DumpListsEveryComponentWithItsClassAndText) {
    TForm f("DumpForm");
    f.SetCaption("Данные"_cp);
    f.Add<TLabel>("Label1")->SetCaption("Имя"_cp);
    f.Add<TTimer>("Timer");
    const auto lines = DumpForms({&f});
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "DumpForm \"" + "Данные"_cp + "\"");
    EXPECT_EQ(lines[1], "  Label1  TLabel \"" + "Имя"_cp + "\"");
    EXPECT_EQ(lines[2], "  Timer  TTimer \"\"");
}

TEST_F(FormsTest, PropertiesEveryKindHas) {
    TForm f("PropForm");
    auto* edit = f.Add<TEdit>("Edit", {4, 5, 60, 20});
    auto* item = f.AddMenuItem("N5", "Правка"_cp);
    auto* timer = f.Add<TTimer>("Timer");
    for (QObject* c : {static_cast<QObject*>(edit), static_cast<QObject*>(item)}) {
        SetTag(c, 9);
        EXPECT_EQ(TagOf(c), 9);
        SetHint(c, "Подсказка"_cp);
        EXPECT_EQ(HintOf(c), "Подсказка"_cp);
        SetVisible(c, false);
        EXPECT_FALSE(IsVisible(c));
        SetVisible(c, true);
        EXPECT_TRUE(IsVisible(c));
        SetEnabled(c, false);
        EXPECT_FALSE(IsEnabled(c));
    }
    EXPECT_EQ(TagOf(timer), 0);
    SetEnabled(timer, true);
    EXPECT_TRUE(timer->Enabled());
    timer->SetInterval(250);
    EXPECT_TRUE(timer->Enabled()); // a new interval restarts a running timer
    EXPECT_EQ(timer->Interval(), 250);
    EXPECT_EQ(edit->geometry(), QRect(4, 5, 60, 20));
    SetFontSpec(edit, {204, 0x0000FF, "DejaVu Sans", 12, fsBold});
    EXPECT_TRUE(edit->font().bold());
    EXPECT_EQ(edit->palette().color(QPalette::Text), QColor(255, 0, 0)); // $00BBGGRR: red
    SetColor(edit, 0xFF0000);
    EXPECT_EQ(FromQColor(edit->palette().color(QPalette::Base)), 0xFF0000u);

    auto* label = f.Add<TLabel>("Fixed", {0, 30, 200, 20});
    label->AutoSize = false;
    label->SetCaption("x");
    EXPECT_EQ(label->width(), 200);
}

TEST_F(FormsTest, ModalWindowReturnsTheResultOfItsButton) {
    TForm f("AskForm");
    f.SetToolWindow(true);
    auto* ok = f.Add<TButton>("OKBtn");
    ok->ModalResult = mrOk;
    int clicks = 0;
    ok->OnClick = [&] { ++clicks; };
    QTimer::singleShot(0, [ok] { ok->Click(); });
    EXPECT_EQ(f.ShowModal(), mrOk);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(f.isVisible());

    // Esc closes it without a result: cancelled
    QTimer::singleShot(0, [ok] {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(ok, &esc);
    });
    EXPECT_EQ(f.ShowModal(), mrCancel);
}

// A window that frees itself on close, shown modally: however it closes, its loop ends, the
// result is returned and the window is freed only after the loop (never under it).
TEST_F(FormsTest, ASelfFreeingModalWindowEndsItsLoopAndIsFreedAfterIt) {
    enum class How { EscOnAControl, ResultButton, CloseCall };
    const struct {
        How how;
        int result;
    } cases[] = {{How::EscOnAControl, mrCancel}, {How::ResultButton, mrOk}, {How::CloseCall, mrCancel}};
    for (const auto& c : cases) {
        auto* f = new TForm("FreedForm");
        f->SetToolWindow(true);
        f->OnClose = [](CloseAction& a) { a = CloseAction::Free; };
        auto* ok = f->Add<TButton>("OKBtn");
        ok->ModalResult = mrOk;
        QPointer<TForm> watch(f);
        bool aliveAfterLoop = false;
        QTimer::singleShot(0, [&] {
            switch (c.how) {
            case How::EscOnAControl: {
                QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(ok, &esc);
                break;
            }
            case How::ResultButton:
                ok->Click();
                break;
            case How::CloseCall:
                f->Close();
                break;
            }
            // the close's deferred work runs while the loop is still being left
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        });
        EXPECT_EQ(f->ShowModal(), c.result) << int(c.how);
        aliveAfterLoop = !watch.isNull();
        EXPECT_TRUE(aliveAfterLoop) << int(c.how);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(watch.isNull()) << int(c.how);
        EXPECT_FALSE(Screen().FormExists("FreedForm"));
    }
}

TEST_F(FormsTest, AModalWindowDestroyedInItsLoopEndsTheLoop) {
    auto owner = std::make_unique<QWidget>();
    auto* f = new TForm("OwnedForm", owner.get());
    QTimer::singleShot(0, [&] { owner.reset(); }); // the owner goes, and the window with it
    QTimer guard;                                   // a loop that did not end would hang here
    guard.setSingleShot(true);
    bool hung = false;
    QObject::connect(&guard, &QTimer::timeout, [&] {
        hung = true;
        QCoreApplication::exit(1);
    });
    guard.start(20000);
    EXPECT_EQ(f->ShowModal(), mrCancel);
    EXPECT_FALSE(hung);
    EXPECT_FALSE(Screen().FormExists("OwnedForm"));
}

// A close refused by the window keeps its loop running; the result comes with the next close.
TEST_F(FormsTest, ARefusedCloseKeepsTheModalWindowUndecided) {
    TForm f("AskAgain");
    int asked = 0;
    f.OnCloseQuery = [&](bool& can) { can = ++asked > 1; };
    QTimer::singleShot(0, [&] {
        f.SetModalResult(mrOk); // refused
        EXPECT_TRUE(f.isVisible());
        EXPECT_EQ(f.ModalResult(), mrNone);
        f.Close(); // taken
    });
    EXPECT_EQ(f.ShowModal(), mrCancel);
    EXPECT_EQ(asked, 2);
}

TEST_F(FormsTest, AKeyRunsTheFormsPreviewHandlerOnce) {
    TForm f("OnceForm");
    auto* edit = f.Add<TEdit>("Edit");
    auto* grid = f.Add<TDrawGrid>("Grid");
    f.SetKeyPreview(true);
    int runs = 0;
    f.OnKeyDown = [&](int&, Shift) { ++runs; };
    f.show();
    // F5 is ignored by the edit and travels to its parents; "A" is taken by the edit
    for (QWidget* target : {static_cast<QWidget*>(edit), static_cast<QWidget*>(grid)}) {
        for (int key : {int(Qt::Key_F5), int(Qt::Key_A)}) {
            runs = 0;
            QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_A ? "a" : "");
            QApplication::sendEvent(target, &e);
            EXPECT_EQ(runs, 1) << key;
        }
    }
    // a handler that clears the key swallows it: the edit never sees it
    EXPECT_EQ(edit->Text(), "a");
    edit->SetText("");
    f.OnKeyDown = [](int& key, Shift) { key = 0; };
    QKeyEvent a(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(edit, &a);
    EXPECT_EQ(edit->Text(), "");
}

TEST_F(FormsTest, GridCellsAreDrawnByTheWindowWithTheirState) {
    TForm f("GridForm");
    auto* g = f.Add<TDrawGrid>("Grid", {0, 0, 300, 200});
    g->SetColCount(3);
    g->SetRowCount(4);
    g->SetFixed(1, 1);
    g->SetRow(2);
    g->SetCol(1);
    std::map<std::pair<int, int>, int> drawn;
    g->OnDrawCell = [&](QPainter&, int col, int row, const QRect&, int state) {
        drawn[{col, row}] = state;
    };
    f.show();
    g->grab();
    ASSERT_EQ(drawn.size(), 12u);
    auto state = [&](int col, int row) { return drawn[std::make_pair(col, row)]; };
    EXPECT_TRUE(state(0, 2) & TDrawGrid::gdFixed);
    EXPECT_TRUE(state(2, 0) & TDrawGrid::gdFixed);
    EXPECT_TRUE(state(1, 2) & TDrawGrid::gdSelected);
    EXPECT_EQ(state(2, 3), 0);
    EXPECT_EQ(g->Row(), 2);
}

// A grid of the atlas's size draws only the rows in view; its texts survive a growth and go
// with the rows a shrink removes.
TEST_F(FormsTest, AGridOfManyRowsDrawsOnlyTheRowsInView) {
    TForm f("BigGridForm");
    auto* g = f.Add<TDrawGrid>("Grid", {0, 0, 300, 200});
    g->SetFixed(0, 0);
    g->SetColCount(6);
    g->SetRowCount(700000);
    g->SetDefaultRowHeight(20);
    std::set<int> rows;
    g->OnDrawCell = [&](QPainter&, int, int row, const QRect&, int) { rows.insert(row); };
    f.show();
    g->SetRow(654321);
    g->SetTopRow(654321);
    g->grab();
    ASSERT_FALSE(rows.empty());
    EXPECT_LE(rows.size(), 12u);
    EXPECT_EQ(*rows.begin(), 654321);
    EXPECT_EQ(g->TopRow(), 654321);
    EXPECT_EQ(g->CellAt(5, 25), std::make_pair(654322, 0));
    EXPECT_EQ(g->Row(), 654321);

    g->SetCell(2, 699999, "last");
    g->SetCell(1, 10, "ten");
    g->SetRowCount(700001);
    EXPECT_EQ(g->Cell(2, 699999), "last");
    g->SetRowCount(100);
    EXPECT_EQ(g->Cell(1, 10), "ten");
    g->SetRowCount(700000);
    EXPECT_EQ(g->Cell(2, 699999), "");
    EXPECT_EQ(g->Cell(7, 10), "");
}

// The real message box speaks the program's language on its buttons too.
TEST_F(FormsTest, MessageBoxButtonsSpeakTheProgramsLanguage) {
    const struct {
        bool english;
        std::set<QString> words;
    } cases[] = {{false, {QString::fromUtf8("Да"), QString::fromUtf8("Нет"), QString::fromUtf8("Отмена")}},
                 {true, {"&Yes", "&No", "Cancel"}}};
    for (const auto& c : cases) {
        QtDialogs dialogs;
        dialogs.SetLanguage(c.english);
        std::set<QString> seen;
        QTimer::singleShot(0, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                    for (QAbstractButton* b : box->buttons()) seen.insert(b->text());
                    box->button(QMessageBox::No)->click();
                }
        });
        EXPECT_EQ(dialogs.Message(MsgKind::Confirmation, "?", MsgButtons::YesNoCancel), MsgResult::No);
        EXPECT_EQ(seen, c.words) << c.english;
        dialogs.SetLanguage(true);
    }
}

TEST_F(FormsTest, CoreReportsAndFileDialogsGoThroughTheAnsweringDialogs) {
    AnsweringDialogs answers;
    Screen().SetDialogs(&answers);
    QtReport report;
    AstroDat s;
    s.Report = &report;
    IOCheck(s, ENOENT, "English.txt");
    ASSERT_EQ(answers.Messages().size(), 1u);
    EXPECT_NE(answers.Messages()[0].find("English.txt"), std::string::npos);

    TForm f("DialogForm");
    auto* open = f.Add<TFileDialog>("OpenDialog");
    answers.fileAnswers = {"/tmp/chosen.qbs", ""};
    EXPECT_TRUE(open->Execute());
    EXPECT_EQ(open->FileName, "/tmp/chosen.qbs");
    EXPECT_FALSE(open->Execute()); // cancelled: the name stays
    EXPECT_EQ(open->FileName, "/tmp/chosen.qbs");

    answers.messageAnswers = {MsgResult::No};
    EXPECT_EQ(Screen().Dlg().Message(MsgKind::Confirmation, "?", MsgButtons::YesNo), MsgResult::No);
    EXPECT_EQ(Screen().Dlg().Message(MsgKind::Confirmation, "?", MsgButtons::YesNo),
              MsgResult::Yes);
    std::string value = "default";
    answers.inputAnswers = {"typed"};
    EXPECT_TRUE(Screen().Dlg().Input("Caption", "Prompt", value));
    EXPECT_EQ(value, "typed");
    EXPECT_FALSE(Screen().Dlg().Input("Caption", "Prompt", value));
    Screen().SetDialogs(nullptr);
}

} // namespace
} // namespace qor::ui

namespace qor::ui {
namespace {

// A press on the text of a list the user cannot type into opens the list; a box that takes
// typing keeps the press for its text.
TEST(ComboBoxTest, APressOnTheTextOfAPickListOpensIt) {
    test::QtApp();
    for (const bool typing : {false, true}) {
        TForm f("ComboForm");
        auto* combo = f.Add<TComboBox>("Co", {10, 10, 120, 24});
        combo->SetItems({"Placidus", "Koch"});
        combo->SetTypingAllowed(typing);
        f.show();
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(combo->lineEdit(), &press);
        EXPECT_EQ(combo->view()->isVisible(), !typing) << typing;
        combo->hidePopup();
    }
}

} // namespace
} // namespace qor::ui
