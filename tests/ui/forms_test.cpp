// The forms layer: the form registry, components by name and kind, which changes made in code
// run handlers, keys by physical place, tool-window keys and the virtual pointer.
#include "support/QtApp.h"
#include "ui/Forms.h"

#include "core/Text.h"

#include <QApplication>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <memory>

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

} // namespace
} // namespace qor::ui
