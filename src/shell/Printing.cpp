#include "shell/Printing.h"

#include "core/Files.h"
#include "core/Text.h"
#include "ui/Forms.h"

#include <QPageSetupDialog>
#include <QPrintDialog>

#include <sys/statvfs.h>

namespace qor::shell {

using namespace ui;

QPrinter& ProgramPrinter(Program& p) {
    if (!p.Printer) p.Printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *p.Printer;
}

namespace {

// A PDF file ends with "%%EOF" and at most a few line-end or blank bytes.
bool EndsWithPdfTrailer(std::string_view bytes) {
    const std::size_t tail = bytes.size() > 32 ? bytes.size() - 32 : 0;
    const std::size_t at = bytes.rfind("%%EOF");
    return at != std::string_view::npos && at >= tail &&
           bytes.find_first_not_of(" \r\n\t", at + 5) == std::string_view::npos;
}

} // namespace

bool PrintDocument(Program& p, QWidget* parent, const PrintRequest& r) {
    AstroDat& s = p.s;
    const MsgResult where =
        Screen().Dlg().Message(MsgKind::Confirmation,
                               Lang(s, "Сохранить лист в файл PDF? («Нет» — печать на принтере)"_cp,
                                    "Save the page as a PDF file? (\"No\" prints on a printer)"),
                               MsgButtons::YesNoCancel);
    if (where == MsgResult::Cancel) return false;
    QPrinter& printer = ProgramPrinter(p);
    printer.setPageOrientation(r.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setDocName(ToQ(r.title));
    if (r.onePage)
        printer.setFromTo(1, 1);
    else
        printer.setFromTo(0, 0);
    fs::path pdf, tmp;
    if (where == MsgResult::Yes) {
        const fs::path wrk = s.DataPath("Wrk");
        std::error_code ec;
        fs::create_directories(wrk, ec);
        pdf = wrk / r.pdfName;
        if (!Screen().Dlg().SaveFile(Lang(s, "Печать в файл"_cp, "Print to a file"),
                                     "PDF (*.pdf)|*.pdf", pdf))
            return false;
        if (pdf.extension().empty()) pdf += ".pdf";
        tmp = pdf;
        tmp += ".tmp";
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(tmp.string()));
    } else {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setOutputFileName({});
        if (!Screen().MayOpenModal("PrintDialog", r.title)) return false;
        QPrintDialog dialog(&printer, parent);
        if (dialog.exec() != QDialog::Accepted) return false;
        // The dialog's own "print to a file" is written beside its name and renamed too.
        if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
            pdf = fs::path(printer.outputFileName().toStdString());
            tmp = pdf;
            tmp += ".tmp";
            printer.setOutputFileName(QString::fromStdString(tmp.string()));
        }
    }
    const bool printed = r.render && r.render(printer);
    std::error_code ec;
    if (!printed) {
        if (!tmp.empty()) fs::remove(tmp, ec);
        Screen().Dlg().Message(MsgKind::Error, Lang(s, "Печать невозможна"_cp, "Cannot print"),
                               MsgButtons::Ok);
        return false;
    }
    if (!pdf.empty()) {
        // The PDF engine does not report failed writes: a file without its closing trailer
        // was cut short (a full disk) and must not replace the old one. A whole one is put
        // in place by the atomic save, which also flushes it to disk.
        std::string bytes;
        IoResult r = ReadFileBytes(tmp, bytes);
        if (r.ok() && !EndsWithPdfTrailer(bytes)) {
            struct statvfs fsInfo {};
            const bool full =
                ::statvfs(tmp.parent_path().c_str(), &fsInfo) == 0 && fsInfo.f_bavail == 0;
            r = IoResult::Fail(full ? ENOSPC : EIO, "incomplete " + tmp.string());
        }
        if (r.ok()) r = SaveFileAtomic(pdf, bytes);
        if (!r.ok()) {
            fs::remove(tmp, ec);
            IOCheck(s, r, pdf.string());
            return false;
        }
    }
    return true;
}

void PrinterSetup(Program& p, QWidget* parent) {
    if (!Screen().MayOpenModal("PageSetupDialog", "")) return;
    QPageSetupDialog(&ProgramPrinter(p), parent).exec();
}

} // namespace qor::shell
