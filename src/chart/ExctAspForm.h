// The exact-aspects window "ExctAsp": for one aspect of the chart, the moment it is exact
// (ahead when applying, behind when separating) and a graph of its distance from exactness
// over twenty steps. Created at start-up; opened by the wheel with the aspect's code
// (ExctAspOpen, "ppaaqq") and updated by every recompute while it is shown.
#pragma once

#include "chart/ExactAspects.h"
#include "shell/Program.h"
#include "ui/Forms.h"

#include <QImage>

#include <string>

namespace qor::chart {

class TExctAsp : public ui::TForm {
public:
    explicit TExctAsp(shell::Program& p);

    ui::TPaintBox* PaintBox;  // the graph
    ui::TPaintBox* PaintBox1; // the lower strip: the exact positions and moment
    ui::TPopupMenu* PopupMenu;
    ui::TMenuItem* N51; // "Грубее"
    ui::TMenuItem* N52; // "Точнее"

    // The aspect and the state of the scale; the last search.
    ExactAspectQuery Query;
    ExactAspectResult Result;

    // Opens the window for the wheel's aspect code: first point, aspect, second point in two
    // characters each. Refused, with "Функция недоступна" / "No access" on the status line,
    // while the observer stands on another planet and in a double chart across the charts
    // whose second chart is a direction or progression; refused with a status text when the
    // code names no aspect of the page. True when the window shows.
    bool ExctAspOpen(const std::string& code);
    // The search and the display (the recompute hub runs it while the window is shown).
    void ExctAspUpdate();
    void ExctAspRefresh() { ExctAspUpdate(); }
    // Coarser (factor 3) and finer (1/3) scales.
    void N51Click();
    void N52Click();

    // The graph as last drawn (made at the size of PaintBox).
    const QImage& TimelineBitmap() const { return timeline_; }
    void DrawTimeline();
    // The texts of the lower strip: the first point's position in its sign (without the
    // sign), the date and time of the exact moment; empty when nothing was found.
    std::string ExactPositionText() const;
    std::string ExactMomentText() const;
    // The unit of the scale as the graph writes it.
    std::string StepText() const { return chart::StepText(p_.s, Result.Scale); }

private:
    void PaintBoxMouseDown(ui::MouseButton b, int x, int y);
    void PaintStrip(QPainter& painter);
    std::string CaptionText() const;
    void Zoom(double factor);

    shell::Program& p_;
    QImage timeline_;
};

// The exact moment as the lower strip writes it: day right-aligned in 4, "/", month, "/",
// year (four digits, "B" after a year before the era), hour right-aligned in 2, ":", minutes,
// ":", seconds.
std::string ExactMomentLine(const ChartMoment& m);

} // namespace qor::chart
