// The service form "Tech": a hidden window that lives for the whole run and carries what
// belongs to no visible window: the recompute hub (RefreshAll), the program's clocks, the
// three user-chosen fonts, the deferred object search, the help-topic opener, a few small
// chart routines, the default layout of the main window and the diagnostic keys.
#pragma once

#include "shell/Program.h"
#include "ui/Forms.h"

#include <string>

namespace qor::shell {

// Keeps the user interface's events processed until more than ms milliseconds have passed
// (measured on a monotonic clock): the pauses of the start-up, the layout and the screen
// changes, during which the windows must stay alive.
void Delay(AstroDat& s, int ms);

class TTech : public ui::TForm {
public:
    explicit TTech(Program& p);

    ui::TMemo* Memo;
    ui::TEdit* FontEdit;        // the window font: its font, and its saved form as text
    ui::TEdit* CourierFontEdit; // the table font
    ui::TEdit* GraphEdit;       // the saved form of the off-screen bitmap's font
    ui::TPaintBox* TestPaintBox;
    ui::TTimer* Timer2;    // queued command path (owned by the command paths)
    ui::TTimer* FindTimer; // deferred object search, one shot
    ui::TTimer* Timer1;
    ui::TTimer* MainClock; // the main clock, enabled at the end of the start-up

    std::string FindName;       // the object FindTimer looks for
    bool TitleHasPlace = false; // the last title carries latitude and longitude

    // Display texts of the current moment and place, rebuilt by every recompute.
    std::string DateText, TimeText, ZoneText, LatText, LongText;

    // The three fonts.
    ui::FontSpec WindowFont{204, 0, "MS Sans Serif", 8, 0};
    ui::FontSpec TableFont{204, 0, "Courier New", 10, 0};
    ui::FontSpec GraphFont{204, 0, "Arial", 9, 0};

    // Runs the main tick (the main window fills it), and the part of it that still runs while
    // a tick waits in a modal window: the command link.
    std::function<void()> MainClockTick;
    std::function<void()> LinkTick;

    // How many recomputes ran to their end (for the start-up log and the checks).
    int RefreshCount = 0;

    void MainClockTimer();
    void FindTimerTimer();
    void Timer1Timer() {}

    // --- Recompute hub ---
    void RefreshAll();
    void SetMainTitle();
    void RedrawIfNatal();
    bool FormExists(const std::string& name) const;

    // --- Command paths ("Form,Component") ---
    void RunUICommand(const std::string& target, const std::string& command);
    std::string QueryUIValue(const std::string& target, const std::string& request = {});
    void PostUICommand(const std::string& target, const std::string& command);

    // --- Fonts ---
    void SaveFontSetting();
    void LoadFontSetting();
    void ApplyFormFonts(ui::TForm& form);
    void ApplyFontToAllForms();

    // --- Help, names, combos, pictures ---
    // Opens a help page: "Manual\" (English mode "EManual\") + topic in the desktop's browser.
    // False (and a status text) when the page does not exist.
    bool ShowHelpTopic(const std::string& topic);
    std::string PointLabel(int i) const;
    bool IsChironBody(int i) const;
    void HouseSystemFromCombo();
    static void SyncComboIndex(ui::TComboBox& combo);
    // The found file in PictureFileName (empty when none).
    bool FindPictureFile(const std::string& objectName);
    std::string PictureFileName;
    // The picture viewer's caption for that file.
    std::string PictureCaption;
    void SetDynamicsSource(bool source);
    void StopDynamics();
    // Default layout of the main window by screen width.
    void LayoutMainControls(bool firstStart);

    // --- Diagnostic keys ---
    void FormKeyDown(int& key, ui::Shift shift);
    void DumpWindows(bool mainOnly);
    void ListAtlasNames();

    // Opens a page in the desktop's browser (tests replace it).
    std::function<bool(const fs::path&)> OpenUrl;

private:
    void RefreshPass();
    void RefreshToolWindows();
    void ReplayWheelHover();
    Program& p_;
    bool pending_ = false;
    bool ticking_ = false;
};

// The shortcuts over the command paths of the running program's service form.
void UICommand(const std::string& target, const std::string& command);
std::string UIValue(const std::string& target);

// The product title of the current language.
std::string ProductTitle(const AstroDat& s);

} // namespace qor::shell
