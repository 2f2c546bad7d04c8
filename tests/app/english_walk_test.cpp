// Every window of the program opened in English mode shows no Cyrillic: captions, labels,
// buttons, list and combo items, tabs, table headings, menus and hints.
#include "MainWindowFixture.h"
#include "ShownTexts.h"

#include <QAbstractButton>
#include <QLayout>
#include <QPushButton>
#include <QToolButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTableWidget>
#include <QTextEdit>

#include <map>

namespace qor::shell {
namespace {

// "window/box" -> the item each combo box of every window shows (-1: a text of no item).
std::map<std::string, int> ComboItems() {
    EnsureEveryForm();
    std::map<std::string, int> items;
    for (TForm* f : Screen().Forms())
        for (const TComboBox* c : f->findChildren<TComboBox*>())
            if (!c->objectName().isEmpty())
                items[f->Name() + "/" + c->objectName().toStdString()] = c->IndexOf(c->Text());
    return items;
}

TEST_F(MainWindowTest, EveryWindowInEnglishModeShowsNoCyrillic) {
    // Code reads combo boxes by the item shown (the house system, the method, the second
    // column): a start in English after one in Russian shows the same items.
    const std::map<std::string, int> russian = ComboItems();
    StartInEnglish();
    const std::map<std::string, int> english = ComboItems();
    for (const auto& [box, item] : russian)
        if (english.contains(box)) EXPECT_EQ(english.at(box), item) << box;
    EXPECT_EQ(Screen().FindForm("KartForm")->Find<TComboBox>("HouseComboBox")->Text(),
              "Polich-Page");

    std::vector<std::string> found;
    for (TForm* f : std::vector<TForm*>(Screen().Forms())) {
        const std::vector<std::string> texts = CyrillicTexts(*f);
        found.insert(found.end(), texts.begin(), texts.end());
    }
    EXPECT_EQ(found, std::vector<std::string>{});
}

} // namespace
} // namespace qor::shell

namespace qor::shell {
namespace {

// "window/control: text" for captions wider than their control.
std::vector<std::string> CutCaptions(TForm& form) {
    // laid out as when shown
    for (QWidget* w : form.findChildren<QWidget*>())
        if (w->layout()) w->layout()->activate();
    if (form.layout()) form.layout()->activate();
    std::vector<std::string> cut;
    for (const QWidget* w : form.findChildren<QWidget*>()) {
        QString text;
        if (auto* b = qobject_cast<const QAbstractButton*>(w))
            text = b->text();
        else if (auto* l = qobject_cast<const QLabel*>(w); l && !l->wordWrap())
            text = l->text();
        // a tab bar shows every tab whole, with no scroll arrows
        if (auto* t = dynamic_cast<const TTabControl*>(w); t && t->TabCount() < 12 &&
                                                          t->Bar()->sizeHint().width() > t->width())
            cut.push_back(form.Name() + "/" + w->objectName().toStdString() + ": tabs (" +
                          std::to_string(t->Bar()->sizeHint().width()) + " > " +
                          std::to_string(t->width()) + ")");
        if (text.isEmpty() || text.contains('\n') || qobject_cast<const QToolButton*>(w)) continue;
        // what the style needs to show the text whole (a push button's hint has a floor of
        // its own: its text and margins are what must fit)
        QString shown = text;
        shown.remove('&');
        const int need = qobject_cast<const QPushButton*>(w)
                             ? w->fontMetrics().horizontalAdvance(shown) + 8
                             : w->sizeHint().width();
        if (need > w->width())
            cut.push_back(form.Name() + "/" + w->objectName().toStdString() + ": " +
                          text.toStdString() + " (" + std::to_string(need) + " > " +
                          std::to_string(w->width()) + ")");
    }
    return cut;
}

TEST_F(MainWindowTest, EveryCaptionFitsItsControlInBothLanguages) {
    for (const bool english : {false, true}) {
        if (english) StartInEnglish();
        EnsureEveryForm();
        std::vector<std::string> cut;
        for (TForm* f : std::vector<TForm*>(Screen().Forms())) {
            const std::vector<std::string> texts = CutCaptions(*f);
            cut.insert(cut.end(), texts.begin(), texts.end());
        }
        EXPECT_EQ(cut, std::vector<std::string>{}) << (english ? "English" : "Russian");
    }
}

} // namespace
} // namespace qor::shell
