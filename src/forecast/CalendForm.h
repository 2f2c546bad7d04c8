// The calendar window "Calend" (the main menu's N74, key G): creates the calendar forecast of
// the year of the second data set for the current chart, shows it as a year graph (a line of
// pixels a day, a band of 26 pixels a house) or as a grid of the day's aspects per house, and
// writes it into "Wrk\Calendar.txt".
#pragma once

#include "forecast/Calendar.h"
#include "forecast/EphemerisJobs.h"
#include "shell/Program.h"
#include "ui/Forms.h"

#include <QImage>

#include <string>

namespace qor::forecast {

class TCalend : public ui::TForm {
public:
    TCalend(shell::Program& p, EphemerisJobs& jobs);

    ui::TPanel* Panel1;
    ui::TButton* Button1;    // "Создать"
    ui::TButton* Button2;    // "Аспекты": the grid
    ui::TButton* Button3;    // "Графика": the year graph
    ui::TButton* FileButton; // "Файл"
    ui::TPanel* Panel2;
    ui::TPaintBox* PaintBox;
    ui::TDrawGrid* DrawGrid;

    // Asks whether to create the calendar with the chart's data (Yes / No / Cancel): No opens
    // the birth-data window on a transit chart for the forecast date, Cancel closes the window.
    // Yes reads the year's annual file (or has it built first, then asks again) and rates it.
    void CreateCalendar();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    // Writes "Wrk\Calendar.txt"; message 74 while there is no calendar.
    void FileButtonClick();
    void PaintBoxMouseMove(int x, int y);

    const CalendarForecast& Forecast() const { return forecast_; }
    int CalendarCount() const { return static_cast<int>(forecast_.Days.size()); }
    // The year graph as painted.
    const QImage& Graph() const { return graph_; }
    // The caption as it was when the window was shown.
    std::string SavedCaption;

    static constexpr int kGridRows = 367;
    static constexpr int kGridCols = kCalendarHouses + 1;

private:
    void FormShow();
    void FormResize();
    void FormClose(ui::CloseAction& action);
    void ClearGraph();
    void DrawCell(QPainter& painter, int col, int row, const QRect& rect);
    shell::Program& p_;
    EphemerisJobs& jobs_;
    CalendarForecast forecast_;
    std::string yearText_; // the forecast year blank-padded to 4
    QImage graph_;
};

// Registers the window class and the call-back of its build job (1).
void RegisterCalendar(shell::Program& p, EphemerisJobs& jobs);

} // namespace qor::forecast
