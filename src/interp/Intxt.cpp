#include "interp/Intxt.h"

#include "core/Files.h"
#include "core/Text.h"
#include "interp/Report.h"
#include "interp/SectionEditor.h"
#include "shell/CommLink.h"
#include "shell/MainForm.h"
#include "ui/Keys.h"
#include "ui/QtText.h"

#include <QTextBlock>

#include <cstring>

namespace qor::interp {

using namespace ui;

TIntxt::TIntxt(shell::Program& p, std::function<bool(const std::string&)> starKnown)
    : TForm("Intxt"), p_(p), starKnown_(std::move(starKnown)) {
    SetHelpTopic("text-files.html");
    SetCaption("Тексты"_cp);
    SetToolWindow(true);
    SetStoresSettings(true);
    SetBounds(180, 140, 620, 420);
    Memo = Add<TMemo>("Memo");
    Memo->setFont(ToQFont({204, 0, "Courier New", 10, 0}));
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    SetTag(Memo, 1); // the base's text is no setting
    Panel = Add<TPanel>("Panel");
    ScrollBar = Add<TScrollBar>("ScrollBar", Panel);
    ScrollBar->OnChange = [this] { ScrollBarScroll(); };
    OnResize = [this] { Layout(); };

    // Typing where no section is shown would write nowhere: refused.
    Memo->OnKeyPress = [this](char& ch) {
        if (hasSection_) return;
        ch = 0;
        Tell(MsgKind::Information, Lang(p_.s, "Здесь нет раздела базы: писать некуда"_cp,
                                        "No section of the base is shown: there is nowhere to "
                                        "write"));
    };
    OnKeyDown = [this](int& key, Shift) {
        if (key == vk::F1 + 1) {
            key = 0;
            SaveSection();
        } else if (key == vk::F1 + 4) {
            key = 0;
            if (StarBase) CheckStarNames();
        }
    };
    SetKeyPreview(true);
    OnCloseQuery = [this](bool& canClose) { canClose = OfferToSave(); };
    Layout();
}

void TIntxt::Layout() {
    const int w = Client()->width(), h = Client()->height(), bar = 20;
    ui::SetBounds(Memo, 0, 0, std::max(w - bar, 10), h);
    ui::SetBounds(Panel, std::max(w - bar, 10), 0, bar, h);
    // the scroll bar fills the panel but for a pixel at either end
    ui::SetBounds(ScrollBar, 1, 1, bar - 2, std::max(h - 2, 1));
}

void TIntxt::Tell(MsgKind kind, const std::string& text) {
    if (Unattended()) {
        SetStatus(p_.s, text);
        return;
    }
    Screen().Dlg().Message(kind, text, MsgButtons::Ok);
}

void TIntxt::Refuse(const std::string& what) {
    const std::string text = "Intxt: " + what;
    SetStatus(p_.s, text);
    if (p_.Form1 && p_.Form1->Link) p_.Form1->Link->MsgWriteLine(shell::MsgFile::Send, "Error;" + text);
}

bool TIntxt::ReadBase(std::string& bytes) {
    const fs::path path = BasePath(p_.s, Trim(FileName));
    return !TextReadCheck(p_.s, ReadFileBytes(path, bytes, kTextFileMaxBytes), path.string());
}

void TIntxt::ShowIntText(const std::string& fileName) {
    if (State() == WindowState::Minimized) SetWindowState(WindowState::Normal);
    show();
    raise();
    FileName = fileName;
    SetCaption(fileName);
    Memo->document()->setModified(false);
    hasSection_ = false;
    CurrentSection = 0;
    std::string bytes;
    if (!ReadBase(bytes)) return;
    const SectionCount c = CountSections(bytes);
    Sections = c.sections;
    StarBase = c.starBase;
    ScrollBar->SetRange(0, Sections);
    if (StarBase) CheckStarNames();
    CurrentSection = 1;
    {
        // the position moves without the scroll handler
        const auto handler = std::move(ScrollBar->OnChange);
        ScrollBar->OnChange = nullptr;
        ScrollBar->SetPosition(0);
        ScrollBar->OnChange = handler;
    }
    LoadSection(1);
}

void TIntxt::LoadSection(int k) {
    std::string bytes;
    if (!ReadBase(bytes)) return;
    Memo->hide();
    const std::vector<std::string> lines = SectionLines(bytes, k);
    hasSection_ = !lines.empty();
    Memo->SetLines(lines);
    Memo->setReadOnly(!hasSection_);
    SetCaption(hasSection_ ? lines.front() + " - " + FileName : FileName);
    Memo->document()->setModified(false);
    Memo->show();
}

bool TIntxt::SaveSection() {
    if (!hasSection_) {
        Tell(MsgKind::Information,
             Lang(p_.s, "Здесь нет раздела базы: сохранять нечего"_cp,
                  "No section of the base is shown: there is nothing to save"));
        return false;
    }
    // The text as code page 1251: a character the code page lacks is refused, not garbled.
    std::vector<std::string> lines;
    for (QTextBlock b = Memo->document()->begin(); b.isValid(); b = b.next()) {
        std::string line;
        if (!FromQ(b.text(), line)) {
            Tell(MsgKind::Warning,
                 Lang(p_.s, Cp("В строке есть знаки, которых нет в кодовой странице 1251: ") +
                                FromQLossy(b.text()),
                      "A line holds characters code page 1251 lacks: " + FromQLossy(b.text())));
            return false;
        }
        lines.push_back(std::move(line));
    }
    if (Memo->document()->isEmpty()) lines.clear();
    std::string bytes;
    if (!ReadBase(bytes)) return false;
    const auto replaced = ReplaceSection(bytes, CurrentSection, lines);
    if (!replaced) {
        Tell(MsgKind::Warning, Lang(p_.s, Cp("В базе больше нет раздела ") +
                                              std::to_string(CurrentSection) + ": " + FileName,
                                    "The base no longer has section " +
                                        std::to_string(CurrentSection) + ": " + FileName));
        return false;
    }
    const fs::path path = BasePath(p_.s, Trim(FileName));
    if (IOCheck(p_.s, SaveFileAtomic(path, *replaced), path.string())) return false;
    Memo->document()->setModified(false);
    const SectionCount c = CountSections(*replaced);
    Sections = c.sections;
    StarBase = c.starBase;
    ScrollBar->SetRange(0, Sections);
    return true;
}

bool TIntxt::OfferToSave() {
    if (!Memo->document()->isModified()) return true;
    if (Unattended()) {
        Refuse(Lang(p_.s, "раздел изменён и не сохранён"_cp, "the section is changed and not saved"));
        return false;
    }
    if (Screen().Dlg().Message(MsgKind::Confirmation,
                               Lang(p_.s, "В текст были внесены изменения. Сохранить?"_cp,
                                    "The text has been changed. Save it?"),
                               MsgButtons::YesNo) == MsgResult::Yes)
        SaveSection();
    Memo->document()->setModified(false);
    return true;
}

void TIntxt::ScrollBarScroll() {
    const int wanted = ScrollBar->Position() + 1;
    if (wanted == CurrentSection) return;
    if (!OfferToSave()) {
        const auto handler = std::move(ScrollBar->OnChange);
        ScrollBar->OnChange = nullptr;
        ScrollBar->SetPosition(CurrentSection - 1);
        ScrollBar->OnChange = handler;
        return;
    }
    CurrentSection = wanted;
    LoadSection(CurrentSection);
}

void TIntxt::CheckStarNames() {
    std::string bytes;
    if (!ReadBase(bytes) || !starKnown_) return;
    for (const std::string& name : HeaderTitles(bytes)) {
        if (starKnown_(name)) continue;
        SetCaption(Lang(p_.s, "В базе данных нет звезды "_cp, "The catalogue has no star ") +
                   "\"" + name + "\"");
        PlayDing(p_.s);
    }
}

} // namespace qor::interp
