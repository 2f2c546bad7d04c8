// Printing: the program's one printer object (the page setup chosen holds for the run) and the
// one routine every print goes through: the user chooses a PDF file under "Wrk\" (written
// beside its name, then renamed over it) or a printer; the caller draws the pages.
#pragma once

#include "shell/Program.h"

#include <QPrinter>

#include <functional>
#include <string>

class QWidget;

namespace qor::shell {

struct PrintRequest {
    std::string title;      // the document's title (the PDF's, the print queue's)
    bool landscape = false; // else portrait
    bool onePage = false;   // the printer dialog offers one page only
    std::string pdfName;    // the PDF file proposed under "Wrk\" ("chart.pdf")
    // Draws the pages on the printer; false when it could not.
    std::function<bool(QPrinter&)> render;
};

// The program's printer, made on first use.
QPrinter& ProgramPrinter(Program& p);

// Asks where to print and prints. False when the user cancelled or the printing failed (the
// failure is told; a PDF that could not be written leaves no file behind).
bool PrintDocument(Program& p, QWidget* parent, const PrintRequest& r);

// The page setup dialog of the program's printer.
void PrinterSetup(Program& p, QWidget* parent);

} // namespace qor::shell
