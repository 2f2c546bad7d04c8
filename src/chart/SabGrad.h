// The degree window "Sabian": the zodiac degree under the pointer on the natal wheel, with its
// ruler, its texts and the objects inside it (DegreeWindow.h draws them). Created when the
// wheel first points at a degree, placed flush with the bottom-right corner of the screen's
// work area, freed when closed; the next pointing creates it afresh.
#pragma once

#include "chart/DegreeWindow.h"
#include "shell/Program.h"
#include "ui/Forms.h"

#include <QImage>

namespace qor::chart {

class NatalWheel;

class TSabian : public ui::TForm {
public:
    explicit TSabian(shell::Program& p);

    ui::TPaintBox* PaintBox;

    // The picture as last drawn (the paint box shows it) and where its objects went.
    const QImage& Picture() const { return picture_; }
    const DegreeLayout& Layout() const { return layout_; }
    // Draws the box into the picture and shows it.
    void ShowBox(const DegreeBox& box, const ui::Font16State& glyphs, const ui::FontSpec& font);
    int DrawCount = 0;
    // Flush with the bottom-right corner of the screen's work area.
    void PlaceInCorner();

private:
    QImage picture_;
    DegreeLayout layout_;
};

// Keeps the wheel drawn last and the reader of the degree texts for the run.
struct DegreeWindowState {
    std::shared_ptr<NatalWheel> Wheel;
    DegreeTextReader Reader;
    std::string Title, Text; // of the degree shown
};

// Shows the degree under the pointer at (dx, dy) from the wheel's centre, dy pointing up
// (X - cx, cy - Y): creates the window when there is none, and redraws it when the degree
// differs from the one shown (KartForm's LastDegree). Nothing happens before a wheel is drawn.
void ShowDegreeWindow(shell::Program& p, double dx, double dy);

// The degree texts of `lon` (radians) as ShowDegreeWindow reads them: the files the
// interpretation-files window names (else the language's defaults), the natal-chart settings'
// switches.
void ReadDegreeText(shell::Program& p, std::string& text, double lon);

// The degree window's class, the wheel it reads and the reset of LastDegree after each chart
// computation.
void RegisterDegreeWindow(shell::Program& p, std::shared_ptr<NatalWheel> wheel);

} // namespace qor::chart
