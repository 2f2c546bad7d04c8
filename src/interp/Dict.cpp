#include "interp/Dict.h"

#include "core/Files.h"
#include "core/Text.h"
#include "interp/Report.h"

namespace qor::interp {

using namespace ui;

std::vector<std::string> DictLetters() {
    std::vector<std::string> letters;
    for (int c = 0xC0; c <= 0xDF; ++c)
        if (c != 0xDA && c != 0xDB && c != 0xDC) letters.push_back(std::string(1, static_cast<char>(c)));
    return letters;
}

std::vector<std::string> DictSection(const std::vector<std::string>& file, char letter) {
    std::vector<std::string> out;
    bool found = false;
    for (const std::string& line : file) {
        const char key = line.size() >= 2 && line[0] == '_' ? line[1] : ' ';
        if (!found && key == letter) found = true;
        if (found && key != letter && key != ' ') break;
        if (found) out.push_back(line);
    }
    return out;
}

TDict::TDict(shell::Program& p) : TForm("Dict"), p_(p) {
    SetHelpTopic("dictionary.html");
    SetCaption("Астрологический словарь"_cp);
    SetToolWindow(true);
    SetStoresSettings(true);
    SetBounds(200, 120, 620, 480);

    TabControl = Add<TTabControl>("TabControl");
    TabControl->SetTabs(DictLetters());
    Memo = Add<TMemo>("Memo", TabControl);
    Memo->setReadOnly(true);
    Memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    SetTag(Memo, 1); // the text is no setting

    TabControl->OnChange = [this] {
        const std::vector<std::string> tabs = TabControl->Tabs();
        const int i = TabControl->TabIndex();
        if (i < 0 || i >= static_cast<int>(tabs.size()) || tabs[static_cast<std::size_t>(i)].empty())
            return;
        Letter = tabs[static_cast<std::size_t>(i)][0];
        DictShowLetter();
    };
    OnResize = [this] {
        const int w = Client()->width(), h = Client()->height();
        ui::SetBounds(TabControl, 0, 0, w, h);
        const int top = TabControl->Bar()->sizeHint().height();
        ui::SetBounds(Memo, 4, top + 4, w - 8, h - top - 8);
    };
    OnShow = [this] { DictShowLetter(); };
    OnClose = [](CloseAction& a) { a = CloseAction::Free; };
}

void TDict::DictShowLetter() {
    std::vector<std::string> lines;
    const IoResult r = ReadTextLines(p_.s.DataPath("spr.txt"), lines, kTextFileMaxBytes);
    if (TextReadCheck(p_.s, r, "spr.txt")) return;
    Memo->SetLines(DictSection(lines, Letter));
}

} // namespace qor::interp
