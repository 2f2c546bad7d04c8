// The text window "Interp": every interpretation report and every exported table is shown in
// its rich-text memo, which it saves and reads as RTF, prints and edits; its menu starts the
// reports. The main window creates it at start-up and keeps it.
//
//   Screen().RegisterFormClass("Interp", [&] { return new TInterp(program, reports); });
//
// Reports plug in by menu item name (InterpReports); an item whose report is not there says
// so on the status line. Run from the command link, nothing here waits on a person: what
// would ask (a file, a font, a question) answers "Error;..." on the link instead.
#pragma once

#include "interp/Report.h"
#include "shell/Program.h"
#include "ui/Forms.h"
#include "ui/RichEdit.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace qor::interp {

class TInterp;

// The reports of the window's menu by item name ("Nnatal", "Ntrans", "N6" ...).
struct InterpReports {
    std::map<std::string, std::function<void(TInterp&)>> ByItem;
};

class TInterp : public ui::TForm {
public:
    TInterp(shell::Program& p, std::shared_ptr<InterpReports> reports = {});
    ~TInterp() override;

    ui::TRichEdit* Memo;
    ui::TEdit* FontEdit; // hidden: the user's font, "charset;colour;name;size;style"

    ui::TMenuItem* NFile;
    ui::TMenuItem* SaveFile;
    ui::TMenuItem* SaveFileAs;
    ui::TMenuItem* ReadFile;
    ui::TMenuItem* PrintOut;
    ui::TMenuItem* N4; // printer setup
    ui::TMenuItem* NExit;
    ui::TMenuItem* NEdit;
    ui::TMenuItem* N27; // select all
    ui::TMenuItem* DelAll;
    ui::TMenuItem* CopyAll;
    ui::TMenuItem* NFont;
    ui::TMenuItem* NIndent;
    ui::TMenuItem* N8; // hidden, no action
    ui::TMenuItem* N9; // hidden, no action
    ui::TMenuItem* NInterp;
    ui::TMenuItem* Nnatal;
    ui::TMenuItem* Ntrans;
    ui::TMenuItem* N6;     // synastry
    ui::TMenuItem* NSolar; // solar return
    ui::TMenuItem* N5;     // lunar return
    ui::TMenuItem* N13;    // totem of the year
    ui::TMenuItem* N14;    // totem of the month
    ui::TMenuItem* N15;    // totem of the day
    ui::TMenuItem* N17;    // day of the Moon
    ui::TMenuItem* N18;    // planetary hours
    ui::TMenuItem* Nsetup;

    // The text's file ("noname" for a text without one).
    std::string FileName = "noname";
    int IntPointCount = 16;

    // The report frame of this window (its work file, its bases, its busy state).
    ReportWriter& Writer() { return *writer_; }
    // The reports of the menu.
    InterpReports& Reports() { return *reports_; }
    // The bases as the setup window holds them, copied into the writer.
    void RefreshBaseSettings();

    // Caption "Текст - <name>" ("Text - <name>") and the text's file name.
    void IntSetCaption(const std::string& name);
    // The memo's font from FontEdit (a missing size gives 8).
    void IntApplyFont();
    // Shows a finished text file (an exported table) without indents or word wrap.
    void InterpShowFile(const std::string& programName);
    // Shows the finished work file of a report: the window's font, the report's paragraph
    // format and word wrap; the memo is left alone when it holds that text already.
    bool ShowWorkFile(const fs::path& workFile);
    // Whether the last report's text replaced the memo's (false when it was the same).
    bool TextReplaced = false;
    // Brings the window forward after a text asked for by another window: restored when
    // minimized, shown, and the caret at the start of a text that was replaced.
    void ShowAskedText();

    // The menu.
    void SaveFileClick();
    void SaveFileAsClick();
    void ReadFileClick();
    void PrintOutClick();
    void N4Click();
    void N27Click();
    void DelAllClick();
    void CopyAllClick();
    void NFontClick();
    void NIndentClick();
    void NsetupClick();
    void ReportClick(const std::string& item);
    // Alt+Z: the date list of the chart's comment.
    void DateListClick();

    // Saves the memo as RTF under `file` (atomically); false, told, when it could not.
    bool SaveRtf(const fs::path& file);
    // Reads a file into the memo: RTF, or else code page 1251 text.
    bool ReadText(const fs::path& file);

private:
    bool Unattended() const { return p_.Flags.LinkCommand; }
    // Refuses what a link command asked that needs a person: "Error;..." on the link and the
    // status line.
    void Refuse(const std::string& what);
    void Tell(MsgKind kind, const std::string& text);
    void Busy(bool on);
    // The folder of the dialogs, "Wrk\" (made when missing); empty, told, when unusable.
    fs::path WorkFolder();
    void FormClose();

    shell::Program& p_;
    std::shared_ptr<InterpReports> reports_;
    std::unique_ptr<ReportWriter> writer_;
};

} // namespace qor::interp
