#include "interp/Interp.h"

#include "core/Files.h"
#include "core/Text.h"
#include "interp/DateList.h"
#include "interp/IntSet.h"
#include "shell/CommLink.h"
#include "shell/MainForm.h"
#include "shell/Printing.h"
#include "ui/FontText.h"
#include "ui/Keys.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <cstring>

namespace qor::interp {

using namespace ui;

namespace {

// A menu item of the window: its name, its caption (UTF-8), the menu it sits in.
struct ItemDef {
    TMenuItem* TInterp::*field;
    const char* name;
    const char* caption;
    TMenuItem* TInterp::*under; // nullptr: the menu bar
};

constexpr ItemDef kItems[] = {
    {&TInterp::NFile, "NFile", "Файл", nullptr},
    {&TInterp::SaveFile, "SaveFile", "Сохранить", &TInterp::NFile},
    {&TInterp::SaveFileAs, "SaveFileAs", "Сохранить как...", &TInterp::NFile},
    {&TInterp::ReadFile, "ReadFile", "Прочитать...", &TInterp::NFile},
    {&TInterp::PrintOut, "PrintOut", "Печатать...", &TInterp::NFile},
    {&TInterp::N4, "N4", "Установка принтера...", &TInterp::NFile},
    {&TInterp::NExit, "NExit", "Выход", &TInterp::NFile},
    {&TInterp::NEdit, "NEdit", "Правка", nullptr},
    {&TInterp::N27, "N27", "Выделить всё", &TInterp::NEdit},
    {&TInterp::DelAll, "DelAll", "Удалить всё", &TInterp::NEdit},
    {&TInterp::CopyAll, "CopyAll", "Копировать всё", &TInterp::NEdit},
    {&TInterp::NFont, "NFont", "Шрифт...", &TInterp::NEdit},
    {&TInterp::NIndent, "NIndent", "Абзац...", &TInterp::NEdit},
    {&TInterp::N8, "N8", "Простой текст", &TInterp::NEdit},
    {&TInterp::N9, "N9", "Форматированный текст", &TInterp::NEdit},
    {&TInterp::NInterp, "NInterp", "Интерпретация", nullptr},
    {&TInterp::Nnatal, "Nnatal", "Натальная карта", &TInterp::NInterp},
    {&TInterp::Ntrans, "Ntrans", "Транзиты", &TInterp::NInterp},
    {&TInterp::N6, "N6", "Синастрия", &TInterp::NInterp},
    {&TInterp::NSolar, "NSolar", "Соляр", &TInterp::NInterp},
    {&TInterp::N5, "N5", "Лунар", &TInterp::NInterp},
    {&TInterp::N13, "N13", "Тотем Года", &TInterp::NInterp},
    {&TInterp::N14, "N14", "Тотем Месяца", &TInterp::NInterp},
    {&TInterp::N15, "N15", "Тотем Дня", &TInterp::NInterp},
    {&TInterp::N17, "N17", "День Луны", &TInterp::NInterp},
    {&TInterp::N18, "N18", "Планетные Часы", &TInterp::NInterp},
    {&TInterp::Nsetup, "Nsetup", "Настройка", nullptr},
};

constexpr const char* kReportItems[] = {"Nnatal", "Ntrans", "N6",  "NSolar", "N5",
                                        "N13",    "N14",    "N15", "N17",    "N18"};

std::string FileNameOnly(const std::string& name) {
    const std::size_t slash = name.find_last_of("/\\");
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

} // namespace

TInterp::TInterp(shell::Program& p, std::shared_ptr<InterpReports> reports)
    : TForm("Interp"), p_(p), reports_(reports ? std::move(reports)
                                               : std::make_shared<InterpReports>()) {
    SetToolWindow(true);
    SetHelpTopic("horoscopes_reading.html");
    SetStoresSettings(true);
    SetBounds(200, 120, 640, 480);

    for (const ItemDef& d : kItems) {
        TMenuItem* under = d.under ? this->*(d.under) : nullptr;
        this->*(d.field) = AddMenuItem(d.name, Cp(d.caption), under);
    }
    N8->setVisible(false);
    N9->setVisible(false);

    Memo = Add<TRichEdit>("Memo");
    SetTag(Memo, 1); // the text is no setting: the state files pass it by
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Memo->SetMemoFont({204, 0, "Courier New", 10, 0});
    // A paragraph's first line 70 pixels from the left, its other lines 50, 20 from the right.
    Memo->SetDefaultParagraph({50, 20, 20}, true);
    FontEdit = Add<TEdit>("FontEdit", {0, 0, 10, 10});
    FontEdit->SetText("204;0;Arial;8;0");
    SetVisible(FontEdit, false);
    // the memo fills the client area
    OnResize = [this] { ui::SetBounds(Memo, 0, 0, Client()->width(), Client()->height()); };

    ReportHooks hooks;
    hooks.SetCaption = [this](const std::string& name) { IntSetCaption(name); };
    hooks.ShowWorkFile = [this](const fs::path& f) { return ShowWorkFile(f); };
    hooks.Busy = [this](bool on) { Busy(on); };
    hooks.Tell = [this](MsgKind kind, const std::string& text) { Tell(kind, text); };
    writer_ = std::make_unique<ReportWriter>(p_.s, std::move(hooks));

    SaveFile->OnClick = [this] { SaveFileClick(); };
    SaveFileAs->OnClick = [this] { SaveFileAsClick(); };
    ReadFile->OnClick = [this] { ReadFileClick(); };
    PrintOut->OnClick = [this] { PrintOutClick(); };
    N4->OnClick = [this] { N4Click(); };
    NExit->OnClick = [this] { Close(); };
    N27->OnClick = [this] { N27Click(); };
    DelAll->OnClick = [this] { DelAllClick(); };
    CopyAll->OnClick = [this] { CopyAllClick(); };
    NFont->OnClick = [this] { NFontClick(); };
    NIndent->OnClick = [this] { NIndentClick(); };
    Nsetup->OnClick = [this] { NsetupClick(); };
    for (const char* item : kReportItems) {
        const std::string name = item;
        Find<TMenuItem>(name)->OnClick = [this, name] { ReportClick(name); };
    }
    OnKeyDown = [this](int& key, Shift shift) {
        if (key == 'Z' && (shift & ssAlt)) {
            key = 0;
            DateListClick();
        }
    };
    SetKeyPreview(true);
    OnClose = [this](CloseAction&) { FormClose(); };

    IntSetCaption("noname");
}

TInterp::~TInterp() = default;

void TInterp::RefreshBaseSettings() {
    writer_->Settings = BaseSettingsOf(p_);
}

void TInterp::IntSetCaption(const std::string& name) {
    FileName = name;
    SetCaption(Lang(p_.s, "Текст"_cp, "Text") + " - " + name);
}

void TInterp::IntApplyFont() {
    FontSpec f = Memo->MemoFont();
    DecodeFontText(FontEdit->Text(), f);
    Memo->SetMemoFont(f);
}

void TInterp::InterpShowFile(const std::string& programName) {
    std::vector<std::string> lines;
    const fs::path file = p_.s.DataPath(programName);
    if (TextReadCheck(p_.s, ReadTextLines(file, lines, kTextFileMaxBytes), programName)) return;
    // A table: no indents, no word wrap, and letters of one width so its columns line up.
    const TRichEdit::Paragraph report = Memo->DefaultParagraph();
    IntApplyFont();
    FontSpec table = Memo->MemoFont();
    table.name = "Courier New";
    Memo->SetMemoFont(table);
    Memo->SetDefaultParagraph({}, false);
    Memo->SetLines(lines);
    Memo->SetDefaultParagraph(report, false);
    Memo->SetWordWrap(false);
    IntSetCaption(programName);
    if (State() == WindowState::Minimized) SetWindowState(WindowState::Normal);
    show();
    raise();
}

bool TInterp::ShowWorkFile(const fs::path& workFile) {
    std::vector<std::string> lines;
    const IoResult r = ReadTextLines(workFile, lines, kTextFileMaxBytes);
    if (!r.ok()) {
        Tell(MsgKind::Error, TextReadProblem(p_.s, r, workFile.string()));
        return false;
    }
    // The same text again keeps what the user did to it (its formatting too).
    TextReplaced = lines != Memo->Lines();
    if (!TextReplaced) return true;
    IntApplyFont();
    Memo->SetWordWrap(Memo->DefaultWordWrap);
    Memo->SetLines(lines);
    return true;
}

void TInterp::ShowAskedText() {
    if (State() == WindowState::Minimized) SetWindowState(WindowState::Normal);
    show();
    raise();
    if (TextReplaced) {
        QTextCursor c = Memo->textCursor();
        c.movePosition(QTextCursor::Start);
        Memo->setTextCursor(c);
    }
}

// --- Files -----------------------------------------------------------------------------------

fs::path TInterp::WorkFolder() {
    const fs::path wrk = p_.s.DataPath("Wrk");
    std::error_code ec;
    fs::create_directories(wrk, ec);
    if (!fs::is_directory(wrk, ec)) {
        Tell(MsgKind::Warning, GetMsgText(p_.s, 70, wrk.string()));
        return {};
    }
    return wrk;
}

bool TInterp::SaveRtf(const fs::path& file) {
    return !IOCheck(p_.s, SaveFileAtomic(file, Memo->ToRtf()), file.string());
}

bool TInterp::ReadText(const fs::path& file) {
    std::string bytes;
    if (TextReadCheck(p_.s, ReadFileBytes(file, bytes, kTextFileMaxBytes), file.string()))
        return false;
    IntApplyFont();
    Memo->SetWordWrap(Memo->DefaultWordWrap);
    if (!Memo->LoadRtf(bytes)) Memo->SetLines(SplitTextLines(bytes));
    return true;
}

void TInterp::SaveFileClick() {
    if (FileName == "noname") {
        SaveFileAsClick();
        return;
    }
    if (SaveRtf(FileName)) Memo->SetModified(false);
}

void TInterp::SaveFileAsClick() {
    if (Unattended()) return Refuse("SaveFileAs");
    const fs::path wrk = WorkFolder();
    if (wrk.empty()) return;
    fs::path file = wrk / FileNameOnly(FileName == "noname" ? std::string() : FileName);
    if (!Screen().Dlg().SaveFile(Lang(p_.s, "Сохранить как"_cp, "Save as"),
                                 Lang(p_.s, "Все файлы"_cp, "All files") + " (*.*)|*.*", file))
        return;
    std::error_code ec;
    if (fs::exists(file, ec) &&
        Screen().Dlg().Message(MsgKind::Confirmation, GetMsgText(p_.s, 69, file.string()),
                               MsgButtons::YesNoCancel) != MsgResult::Yes)
        return;
    if (!SaveRtf(file)) return;
    Memo->SetModified(false);
    IntSetCaption(file.string());
}

void TInterp::ReadFileClick() {
    if (Unattended()) return Refuse("ReadFile");
    const fs::path wrk = WorkFolder();
    if (wrk.empty()) return;
    fs::path file = wrk / "";
    if (!Screen().Dlg().OpenFile(Lang(p_.s, "Прочитать"_cp, "Read"),
                                 Lang(p_.s, "Все файлы"_cp, "All files") + " (*.*)|*.*", file))
        return;
    if (ReadText(file)) IntSetCaption(file.string());
}

void TInterp::PrintOutClick() {
    if (Unattended()) return Refuse("PrintOut");
    shell::PrintRequest r;
    r.title = FileNameOnly(FileName);
    r.landscape = false;
    r.pdfName = (FileName == "noname" ? std::string("text") : FileNameOnly(FileName)) + ".pdf";
    r.render = [this](QPrinter& printer) {
        // the text as it is, laid out anew on the pages
        std::unique_ptr<QTextDocument> doc(Memo->document()->clone());
        doc->print(&printer);
        return true;
    };
    shell::PrintDocument(p_, this, r);
}

void TInterp::N4Click() {
    if (Unattended()) return Refuse("N4");
    shell::PrinterSetup(p_, this);
}

// --- Editing ---------------------------------------------------------------------------------

void TInterp::N27Click() {
    Memo->selectAll();
}

void TInterp::DelAllClick() {
    Memo->Clear();
    IntSetCaption("noname");
}

void TInterp::CopyAllClick() {
    Memo->selectAll();
    Memo->copy();
    QTextCursor c = Memo->textCursor();
    c.clearSelection();
    Memo->setTextCursor(c);
    IntSetCaption("noname");
}

void TInterp::NFontClick() {
    if (Unattended()) return Refuse("NFont");
    FontSpec f = Memo->MemoFont();
    if (Screen().Dlg().ChooseFont(f)) {
        Memo->SetMemoFont(f);
        FontEdit->SetText(EncodeFontText(Memo->MemoFont()));
    }
    Memo->setFocus();
}

void TInterp::NIndentClick() {
    if (Unattended()) return Refuse("NIndent");
    if (TForm* paragr = Screen().Ensure("Paragr")) paragr->ShowModal();
}

void TInterp::NsetupClick() {
    if (TForm* set = Screen().Ensure("IntSet")) {
        if (set->State() == WindowState::Minimized) set->SetWindowState(WindowState::Normal);
        set->show();
        set->raise();
    }
}

void TInterp::ReportClick(const std::string& item) {
    const auto it = reports_->ByItem.find(item);
    if (it == reports_->ByItem.end() || !it->second) {
        const TMenuItem* m = Find<TMenuItem>(item);
        const std::string caption = m ? m->Caption() : item;
        SetStatus(p_.s, Lang(p_.s, Cp(" Отчёт «") + caption + Cp("» пока недоступен"),
                             " The report \"" + caption + "\" is not available yet"));
        return;
    }
    RefreshBaseSettings();
    it->second(*this);
}

void TInterp::DateListClick() {
    const std::string comment = p_.s.DatRec1[9];
    const auto dates = DateListOf(comment);
    if (!dates) {
        const std::string text =
            "\"" + comment + "\" " +
            Lang(p_.s, "— в комментарии нет списка дат вида [7 01.01.2000] (шаг в днях и дата)"_cp,
                 "- the comment holds no date list such as [7 01.01.2000] (a step in days and a "
                 "date)");
        if (Unattended()) return Refuse(text);
        Screen().Dlg().Message(MsgKind::Information, text, MsgButtons::Ok);
        return;
    }
    Memo->SetLines(*dates);
}

// --- Life of the window ----------------------------------------------------------------------

void TInterp::Refuse(const std::string& what) {
    const std::string text = "Interp: " + what + Lang(p_.s, Cp(" — нужен человек"), " needs a person");
    SetStatus(p_.s, text);
    if (p_.Form1 && p_.Form1->Link) p_.Form1->Link->MsgWriteLine(shell::MsgFile::Send, "Error;" + text);
}

void TInterp::Tell(MsgKind kind, const std::string& text) {
    if (Unattended()) {
        SetStatus(p_.s, text);
        return;
    }
    Screen().Dlg().Message(kind, text, MsgButtons::Ok);
}

void TInterp::Busy(bool on) {
    p_.Flags.ProgramIdle = !on;
    if (on)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
    shell::CommLink* link = p_.Form1 ? p_.Form1->Link.get() : nullptr;
    if (!link) return;
    if (on)
        link->MsgWriteLine(shell::MsgFile::Send, "Wait");
    else
        link->MsgTakeBackLine(shell::MsgFile::Send, "Wait");
}

void TInterp::FormClose() {
    p_.Flags.InterpPoint = 0;
    std::error_code ec;
    fs::remove(writer_->WorkFile(), ec);
    for (const char* name : {"IntSet", "Paragr"})
        if (TForm* f = Screen().FindForm(name); f && f->isVisible()) f->Close();
}

} // namespace qor::interp
