// The ephemeris window "Tab" ("Эфемериды"): builds the annual or century file of the year in
// its year field, for the user or for a build job (EphemerisJobs.h), and shows a file as text.
//
// A build starts one second after it is asked for (the window shows message 79 meanwhile),
// then runs a month (annual) or a year (century) per step from the message loop, showing the
// date reached; Esc or "Закрыть" stops it, and nothing is written. The file is computed on a
// copy of the chart state, so the current chart is never moved, and saved whole, atomically.
#pragma once

#include "forecast/EphemerisFiles.h"
#include "forecast/EphemerisJobs.h"
#include "shell/Program.h"
#include "ui/Forms.h"

#include <QTimer>

#include <memory>
#include <optional>
#include <string>

namespace qor::forecast {

class TTab : public ui::TForm {
public:
    TTab(shell::Program& p, EphemerisJobs& jobs);
    ~TTab() override;

    ui::TLabel* Label2;   // "Год:"
    ui::TEdit* YearEdit;  // the year
    ui::TLabel* Label1;   // the state of the build
    ui::TButton* Button1; // build the annual file
    ui::TButton* Button3; // build the century file
    ui::TButton* Button6; // a file as text
    ui::TButton* Button2; // close; stops a running build
    ui::TTimer* Timer1;   // the one-second delay before a build
    ui::TFileDialog* OpenDialog;

    int BuildYear = 0;
    std::string BuildFileName; // the file being built or last checked

    void FormShow();
    void Button1Click();
    void Button3Click();
    void Button2Click();
    void Button6Click();
    void Timer1Timer();
    // Checks the year field and starts the build of the file of the kind the jobs ask for;
    // a file that exists is left alone (its job's call-back runs at once).
    void StartEphemerisBuild();
    // From StartEphemerisBuild to the end of the build.
    bool Building() const;
    // Stops a waiting or running build: no file, the job dropped.
    void CancelBuild();

private:
    void FormClose(ui::CloseAction& action);
    void FormKeyDown(int& key, ui::Shift shift);
    void BuildStep();
    void FinishBuild();
    void Refuse(const std::string& text);
    void SetIdle();
    // Runs the call-back of a job and closes the window, from the message loop.
    void ContinueAndClose(int job);

    shell::Program& p_;
    EphemerisJobs& jobs_;
    EphemerisKind buildKind_ = EphemerisKind::Annual;
    int job_ = kJobNone;
    std::unique_ptr<AstroDat> work_;
    std::unique_ptr<ChartEngine> engine_;
    std::unique_ptr<EphemerisBuilder> builder_;
    QTimer stepTimer_;
};

// The folder "Wrk" where the file dialogs of the forecast windows start (made when missing);
// nothing, after message 70 in a message box, when it cannot be had.
std::optional<fs::path> WorkFolderForDialog(AstroDat& s);

// Hands a year text to the ephemeris window: kept as the requested year and put into the
// window's year field ("Tab,YearEdit") when the window exists.
void RequestAnnualEphemeris(shell::Program& p, EphemerisJobs& jobs, const std::string& yearText);

// The main menu's "Таблицы эфемерид": creates the window when none exists and shows it,
// minimized while a job waits, otherwise restored.
ui::TForm* OpenEphemerisWindow(shell::Program& p, const EphemerisJobs& jobs);

// What a requester calls when its file does not exist: the kind, the job and the year go to
// the ephemeris window, which builds the file and then runs the job's call-back. A window
// already open starts the build (or, while it builds, takes it up when it is done).
void RequestEphemerisBuild(shell::Program& p, EphemerisJobs& jobs, EphemerisKind kind, int job,
                           int year);

// Registers the window class and the menu item; the build jobs are the program's
// (Program::Own).
EphemerisJobs& RegisterEphemeris(shell::Program& p);

} // namespace qor::forecast
