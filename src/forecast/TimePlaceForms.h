// The time stepping window "Dinamic" (the main window's DynButton) and the place stepping
// window "Loc" (the map settings' PosButton, the main window's key W).
#pragma once

#include "forecast/StepWindow.h"

namespace qor::forecast {

// Moves the chart moment by a step of years, months, days, hours, minutes and seconds.
// A run sets DinamicRun; the main window's running mark advances on every tick of it.
class TDinamic : public TStepWindow {
public:
    explicit TDinamic(shell::Program& p);

    void StartBtnClick() override;
    // Ends the run (as StopTimeStepping).
    void StopBtnClick() override;
    bool Running() const override;
    // DinamicRun off, the timer off, the running mark's hint back to its own text.
    void StopTimeStepping();

private:
    void ApplyStep(const std::array<int, kRows>& step) override;
    std::string CaptionFor(bool source) const override;
    void TickMark() override;
    void EndRun() override { StopTimeStepping(); }
    void FormShow();
    void FormClose(ui::CloseAction& action);
};

// Moves the chart place by a step of longitude and latitude in degrees, arc-minutes and
// arc-seconds. Past a pole the latitude spins turn their sign, so the motion goes on away
// from it.
class TLoc : public TStepWindow {
public:
    explicit TLoc(shell::Program& p);

    void StartBtnClick() override;
    void StopBtnClick() override;
    bool Running() const override { return running_; }
    // The SourceData the caption was last made for: 1 the source data, 0 the background.
    int SourceCopy = 1;

private:
    void ApplyStep(const std::array<int, kRows>& step) override;
    std::string CaptionFor(bool source) const override;
    void EndRun() override { StopBtnClick(); }
    void CaptionChanged() override;
    void FormClose(ui::CloseAction& action);
    bool running_ = false;
};

// The two window classes, the services StopTimeStepping and SetDynamicsCaptions, the main
// tick's duty that keeps their controls and captions current, and the main window's
// PosButton.
void RegisterStepWindows(shell::Program& p);

} // namespace qor::forecast
