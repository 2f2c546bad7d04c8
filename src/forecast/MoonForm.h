// The year-tables window "Moon": makes the table its caption names (the main menu sets the
// caption of the item chosen: the Moon day log, sunrises and sunsets, the Moon's apogees and
// perigees, a planet's ingresses), writes it under "Wrk\" and shows it; reopens saved tables.
//
// A table is computed on a copy of the chart state with the chart's options (the current
// chart never moves), a stretch at a time from the message loop, the caption showing the date
// reached; Esc stops it and nothing is written. The Moon day log needs the year's annual
// ephemeris file: when it is missing the ephemeris window builds it (job 3) and the log runs
// again by itself.
#pragma once

#include "forecast/EphemerisJobs.h"
#include "forecast/YearTables.h"
#include "shell/Program.h"
#include "ui/Forms.h"

#include <QTimer>

#include <memory>
#include <string>

namespace qor::forecast {

class TMoon : public ui::TForm {
public:
    TMoon(shell::Program& p, EphemerisJobs& jobs);
    ~TMoon() override;

    ui::TPanel* Panel1;
    ui::TButton* GoBtn;    // "Создать"
    ui::TButton* ReadBtn;  // "Прочитать"
    ui::TButton* ClearBtn; // "Очистить"
    ui::TLabel* Label1;    // "Начало"
    ui::TEdit* YearEdit;   // the start year
    ui::TLabel* Label2;    // "Период"
    ui::TEdit* PeriodEdit; // years of an ingress log
    ui::TMemo* Memo;
    ui::TFileDialog* OpenDialog;

    // Makes the table the caption names.
    void GoBtnClick();
    void ReadBtnClick();
    void ClearBtnClick();
    // A table is being computed.
    bool Running() const { return table_ != nullptr; }
    // Stops it: nothing written, the memo says so.
    void CancelTable();

    // The table a caption names, by the captions of the main menu's items.
    enum class Kind { None, MoonDays, Apsides, Ingresses, Sun };
    Kind KindOfCaption(const std::string& caption, std::string* planet = nullptr) const;

private:
    void FormShow();
    void FormResize();
    void FormKeyDown(int& key, ui::Shift shift);
    void FormClose(ui::CloseAction& action);
    void StepTable();
    void FinishTable();
    void Refuse(const std::string& text);
    std::string MenuCaption(const std::string& item) const;
    YearTableInput Input(int year);

    shell::Program& p_;
    EphemerisJobs& jobs_;
    std::unique_ptr<AstroDat> work_;
    std::unique_ptr<ChartEngine> engine_;
    std::unique_ptr<YearTable> table_;
    std::string file_;         // the file of the table being made
    std::string savedCaption_; // the caption while the date reached is shown
    QTimer stepTimer_;
};

// Registers the window class and the call-back of the Moon day log's build job.
void RegisterYearTables(shell::Program& p, EphemerisJobs& jobs);

} // namespace qor::forecast
