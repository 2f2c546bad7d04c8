// English mode at run time: every window opened and driven through its main states (each tab,
// each item of its lists and radio choices, its pop-up menus as when they pop up, the screens
// of the main window over a computed chart) shows no Cyrillic letter, neither in the texts of
// its controls nor in the texts code builds: headings, status lines, the messages and modal
// windows it asks for.
#include "MainWindowFixture.h"
#include "ShownTexts.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>

#include <map>
#include <set>

namespace qor::shell {
namespace {

// Texts with Cyrillic that are data, not captions: the place where they show (the start of a
// finding, "window/control:") and why.
struct Allowed {
    const char* where; // "window" or "window/control"
    const char* why;
};
const Allowed kAllowed[] = {
    {"Dict", "the glossary is a Russian book (its letters, words and articles are its data); "
             "in English mode its menu item is hidden"},
};

bool IsAllowed(const std::string& finding) {
    for (const Allowed& a : kAllowed) {
        const std::string w = a.where;
        if (finding.starts_with(w) && finding.size() > w.size() &&
            (finding[w.size()] == '/' || finding[w.size()] == ' ' || finding[w.size()] == ':'))
            return true;
    }
    return false;
}

class EnglishWalk {
public:
    explicit EnglishWalk(Program& program) : program_(program) {
        // every modal window and message box is recorded and kept closed (its cautious answer)
        Screen().ModalGate = [this](const std::string& what, const std::string& text) {
            if (HasCyrillic(text)) Found(what + " (modal): " + Utf8(text));
            return false;
        };
    }
    ~EnglishWalk() { Screen().ModalGate = nullptr; }

    // The window shown, then each of its states, each looked at.
    void Window(TForm& form) {
        QPointer<TForm> f(&form);
        if (!form.isVisible()) form.show();
        Look(f, "shown");
        std::vector<std::pair<QPointer<QObject>, Kind>> parts;
        for (const Component& c : form.Components()) parts.emplace_back(c.object, c.kind);
        for (const auto& [object, kind] : parts) {
            if (!object || !f) continue;
            const std::string name = object->objectName().toStdString();
            switch (kind) {
            case Kind::TabControl: {
                auto* t = static_cast<TTabControl*>(object.data());
                const int was = t->TabIndex();
                for (int i = 0; i < t->TabCount() && object; ++i) {
                    t->SetTabIndex(i);
                    Look(f, name + " tab " + std::to_string(i));
                }
                if (object) t->SetTabIndex(was);
                break;
            }
            case Kind::ComboBox: {
                auto* c = static_cast<TComboBox*>(object.data());
                if (c->count() > 40) break; // a list of data (cities, bodies), not of modes
                const std::string was = c->Text();
                for (int i = 0; i < c->count() && object; ++i) {
                    c->SetItemIndex(i);
                    Look(f, name + " item " + std::to_string(i));
                }
                if (object) c->SetItemIndex(c->IndexOf(was));
                break;
            }
            case Kind::RadioGroup: {
                auto* g = static_cast<TRadioGroup*>(object.data());
                const int was = g->ItemIndex();
                for (int i = 0; i < g->ItemCount() && object; ++i) {
                    g->SetItemIndex(i);
                    Look(f, name + " choice " + std::to_string(i));
                }
                if (object) g->SetItemIndex(was);
                break;
            }
            case Kind::RadioButton: {
                auto* r = static_cast<TRadioButton*>(object.data());
                if (r->isChecked() || !r->isEnabled()) break;
                // the choice it replaces comes back afterwards
                TRadioButton* was = nullptr;
                if (r->parentWidget())
                    for (TRadioButton* o : r->parentWidget()->findChildren<TRadioButton*>(
                             Qt::FindDirectChildrenOnly))
                        if (o->isChecked()) was = o;
                r->SetChecked(true);
                Look(f, name + " chosen");
                if (was && f) was->SetChecked(true);
                break;
            }
            case Kind::MenuItem: {
                // a mode chosen in the window's menu (an item that shows a check), then back
                auto* m = static_cast<TMenuItem*>(object.data());
                if (!m->isCheckable() || !m->isEnabled() || m->isChecked()) break;
                std::vector<QPointer<TMenuItem>> checked;
                for (TMenuItem* o : f->findChildren<TMenuItem*>())
                    if (o->isChecked()) checked.emplace_back(o);
                m->Click();
                Look(f, name + " chosen");
                bool replaced = false; // the mode it took the place of comes back
                for (const QPointer<TMenuItem>& o : checked)
                    if (o && !o->isChecked()) {
                        o->Click();
                        replaced = true;
                    }
                if (object && !replaced && m->isChecked()) m->Click();
                break;
            }
            case Kind::DrawGrid:
            case Kind::PaintBox: {
                // a right click on the first row (a paint box: its middle) prepares and pops
                // up the menu of what lies there
                auto* w = static_cast<QWidget*>(object.data());
                if (!w->isVisible()) break;
                QWidget* area = w;
                QPoint at = w->rect().center();
                if (auto* g = dynamic_cast<TDrawGrid*>(w)) {
                    area = g->viewport();
                    const int row = std::min(g->FixedRows(), g->RowCount() - 1);
                    at = QPoint(g->columnViewportPosition(std::min(g->FixedCols(),
                                                                   g->ColCount() - 1)) + 3,
                                g->rowViewportPosition(std::max(row, 0)) + 3);
                }
                for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
                    QMouseEvent e(type, at, area->mapToGlobal(at), Qt::RightButton,
                                  type == QEvent::MouseButtonPress ? Qt::RightButton
                                                                   : Qt::NoButton,
                                  Qt::NoModifier);
                    if (area) QApplication::sendEvent(area, &e);
                }
                Look(f, name + " right click");
                for (QWidget* top : QApplication::topLevelWidgets())
                    if (qobject_cast<QMenu*>(top) && top->isVisible()) top->hide();
                break;
            }
            case Kind::PopupMenu:
                emit static_cast<QMenu*>(object.data())->aboutToShow();
                Look(f, name + " popped up");
                break;
            default:
                break;
            }
        }
    }

    // The forms, the status line and the messages after the latest step.
    void Look(const QPointer<TForm>& form, const std::string& state) {
        QApplication::processEvents();
        if (form) {
            for (const std::string& t : CyrillicTexts(*form)) Found(t + "  [" + state + "]");
            for (const std::string& t : CyrillicDrawnTexts(*form)) Found(t + "  [" + state + "]");
        }
        if (HasCyrillic(program_.s.StatusText))
            Found("status line: " + Utf8(program_.s.StatusText) + "  [" + state + "]");
    }

    static std::string Utf8(const std::string& cp1251) { return ToQ(cp1251).toStdString(); }
    void Found(const std::string& finding) {
        if (!IsAllowed(finding)) found_.emplace(finding.substr(0, finding.find("  [")), finding);
    }
    std::vector<std::string> Findings() const {
        std::vector<std::string> out;
        for (const auto& [text, first] : found_) out.push_back(first);
        return out;
    }

private:
    Program& program_;
    std::map<std::string, std::string> found_; // each text once, with the first state it showed in
};

// The main window over each of its screens with the chart of the moment computed, every item
// of its menus and its buttons with whatever window it opens, then every window the program can
// make through its states; the number of windows walked.
int WalkTheProgram(EnglishWalk& walk, TForm1& form1) {
    for (const char* screen : {"Nnatal", "Ncosmos", "Nsky", "Ngeo", "Nstarastr", "Nnatal"}) {
        form1.Find<TMenuItem>(screen)->Click();
        walk.Look(&form1, screen);
    }
    walk.Window(form1);
    for (const Component& c : std::vector<Component>(form1.Components())) {
        if (!ClickMainItem(c)) continue;
        for (TForm* f : std::vector<TForm*>(Screen().Forms()))
            if (f->isVisible()) walk.Look(f, c.Name());
        for (TForm* f : std::vector<TForm*>(Screen().Forms()))
            if (f != &form1 && f->isVisible()) f->Close();
    }
    form1.Find<TMenuItem>("Nnatal")->Click();
    int windows = 1;
    EnsureEveryForm();
    for (const std::string& name : Screen().FormClassNames()) {
        QPointer<TForm> f = Screen().Ensure(name);
        if (!f || f == &form1 || dynamic_cast<PlaceholderForm*>(f.data())) continue;
        walk.Window(*f); // (a window may free itself on the way)
        ++windows;
        if (f && f->isVisible()) f->Close();
    }
    return windows;
}

TEST_F(MainWindowTest, EveryWindowDrivenThroughItsStatesInEnglishShowsNoCyrillic) {
    // The same walk in Russian mode finds Russian texts in nearly every window: it sees them.
    for (const bool english : {false, true}) {
        if (english) StartInEnglish();
        ASSERT_TRUE(form1);
        EnglishWalk walk(*program);
        EXPECT_GT(WalkTheProgram(walk, *form1), 50);
        const std::vector<std::string> found = walk.Findings();
        if (!english) {
            std::set<std::string> windows;
            for (const std::string& f : found) windows.insert(f.substr(0, f.find_first_of("/ ")));
            EXPECT_GT(windows.size(), 50u);
            continue;
        }
        std::string shown;
        for (const std::string& f : found) shown += "\n  " + f;
        EXPECT_TRUE(shown.empty()) << "Cyrillic in English mode:" << shown;
    }
}

} // namespace
} // namespace qor::shell
