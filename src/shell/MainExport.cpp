// The export of the screen: the bitmap as a BMP file under "Wrk", the clipboard, and the chart
// page on a printer or into a PDF file.
#include "shell/MainForm.h"
#include "shell/Printing.h"

#include "core/Files.h"
#include "core/Strings.h"
#include "core/Text.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

namespace qor::shell {

using namespace ui;

bool TForm1::SaveBitmapClick() {
    AstroDat& s = p_.s;
    if (!p_.BufBitmap) return false;
    const fs::path wrk = s.DataPath("Wrk");
    std::error_code ec;
    fs::create_directories(wrk, ec);
    if (!fs::is_directory(wrk, ec)) {
        Screen().Dlg().Message(MsgKind::Warning, GetMsgText(s, 70, wrk.string()), MsgButtons::Ok);
        return false;
    }
    SaveDialog->Filter = GetMsgText(s, 134, "(*.bmp)|*.BMP");
    SaveDialog->FileName = wrk / "noname.bmp";
    if (!SaveDialog->Execute()) return false;
    fs::path file = SaveDialog->FileName;
    std::string leaf = Trim(file.filename().string());
    if (leaf.find('.') == std::string::npos) leaf += ".bmp";
    file = file.parent_path() / leaf;
    if (fs::exists(file, ec) &&
        Screen().Dlg().Message(MsgKind::Confirmation, GetMsgText(s, 69, file.string()),
                               MsgButtons::YesNoCancel) != MsgResult::Yes)
        return false;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!p_.BufBitmap->image().save(&buffer, "BMP")) return false;
    return !IOCheck(s, SaveFileAtomic(file, std::string_view(bytes.constData(), bytes.size())),
                    file.string());
}

void TForm1::CopyToClipboard() {
    if (p_.BufBitmap) QGuiApplication::clipboard()->setImage(p_.BufBitmap->image());
    SetStatus(p_.s, GetMsgText(p_.s, 10));
}

bool TForm1::PrintClick() {
    AstroDat& s = p_.s;
    // Before the start-up has finished there is no chart to print: no job, no file.
    if (!p_.Flags.Ready) {
        Screen().Dlg().Message(MsgKind::Warning,
                               Lang(s, "Печать невозможна: программа ещё не готова"_cp,
                                    "Cannot print: the program is not ready yet"),
                               MsgButtons::Ok);
        return false;
    }
    PrintRequest r;
    r.title = s.MainTitle.empty() ? "QOR 5.12" : s.MainTitle;
    r.landscape = true;
    r.onePage = true;
    r.pdfName = "chart.pdf";
    if (p_.Svc.PrintPage) {
        r.render = [this](QPrinter& printer) { return p_.Svc.PrintPage(printer); };
        return PrintDocument(p_, this, r);
    }
    r.render = [this](QPrinter& printer) {
        QPainter painter;
        if (!painter.begin(&printer)) return false;
        const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
        const QRect area(0, 0, page.width(), page.height());
        const ScreenHandler* screen = p_.Svc.ScreenOf(p_.Flags.ScreenMode);
        if (screen && screen->Print) {
            screen->Print(painter, area);
        } else if (p_.BufBitmap) {
            const QImage& img = p_.BufBitmap->image();
            const QSize size = img.size().scaled(area.size(), Qt::KeepAspectRatio);
            painter.drawImage(QRect(QPoint(0, 0), size), img);
        }
        return painter.end();
    };
    return PrintDocument(p_, this, r);
}

} // namespace qor::shell
