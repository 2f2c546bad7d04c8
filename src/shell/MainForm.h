// The main window "Form1" and the life of the process: the choice of language, the start log,
// the check of the required data files, the ordered start-up at the first showing of the
// window, and the shutdown that saves the window state (also when the session ends).
//
// The window's screens, tool buttons, menus and keys and its main tick are filled in by their
// own code on this class; the start-up only needs the components created here.
#pragma once

#include "shell/Program.h"
#include "ui/Forms.h"

#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace qor::shell {

class TForm1 : public ui::TForm {
public:
    explicit TForm1(Program& p);
    ~TForm1() override;

    // Components (names are the window's component names).
    ui::TPaintBox* PaintBox;
    ui::TMediaPlayer* MediaPlayer; // file "Oracl.wav"
    ui::TPanel* GeoNameLabel;
    ui::TEdit* Prefer; // screen, window state, "O", aspect-table accuracy between runs
    ui::TMemo* Memo;   // orbital elements of fictitious bodies
    ui::TEdit* SkyEdit;
    ui::TPanel* ToolPanel;
    ui::TSpeedButton *HistButton, *ScreenButton, *DataButton, *TextButton, *TableButton,
        *MiscButton, *DynButton, *SetupButton, *HelpButton, *ExitButton, *DBaseButton;
    ui::TPanel *PanIn, *PanOut, *LeftPan, *UpPan, *DownPan, *RightPan, *PrecessPanel, *Panel2;
    ui::TLabel* Label1;
    ui::TPanel* GeoPanel;
    ui::TPopupMenu *OrbitesMenu, *GeoMenu, *ChartMenu, *StarAstrMenu, *ChartZnakMenu, *ScreensMenu,
        *TablMenu, *MiscMenu, *SetupMenu, *HelpMenu;
    ui::TMenuItem* N94; // the Russian astrological dictionary (hidden in English mode)
    ui::TFileDialog* SaveDialog;
    ui::TTimer* RealTimer;  // 1000 ms, the real-time clock
    ui::TTimer* PaintTimer; // 100 ms, one deferred repaint

    int HelpContext = 100;

    // The main tick, run by the service form's main clock once the start-up has finished
    // (the main window's clock code fills it).
    std::function<void()> MainClockTick;

    // --- Life of the process ---
    bool Started = false;     // the start-up ran to its end
    bool StartAborted = true; // the message loop must not run
    bool StartFailed = false; // a start-up step failed (the process ends with a failure)
    bool LogFailed = false;
    bool ShowDone = false;
    bool FirstTick = false;
    bool SavedAndClosed = false;
    std::string StartLogName = "qorstart.log";

    // Language, title, start log and file check. `args` are the command-line arguments;
    // `russianLocale` whether the desktop's locale is Russian.
    void FormCreate(const std::vector<std::string>& args, bool russianLocale);
    // The ordered start-up; runs once, at the first showing.
    void FormShow();
    void WriteStartLog(const std::string& text);
    // True when a required file is missing (then the one message listing them all is shown).
    bool CheckDataFiles();
    void StartStep(const std::string& text);
    ui::TForm* CreateStartForm(const std::string& name);
    // Saves the window state and closes every other window.
    void SaveAndCloseAll();
    // Saves the state files without closing anything (the session asks whether it may end).
    void SaveState();

    // The required files of the current language that are missing, in the order checked.
    std::vector<std::string> MissingDataFiles() const;

private:
    void RunStartSteps();
    void SetRealTimeAtStart();
    void SetTransientOptionsOff();
    void WriteStateFiles(bool maximized);
    Program& p_;
    std::ofstream log_;
};

// English when "/e" is one of the arguments; else Russian when "/r" is or the locale is
// Russian; else English. Only exact switches count (a path such as "/etc/..." is no switch).
bool ChooseEnglishMode(const std::vector<std::string>& args, bool russianLocale);

// How the process is run.
struct EntryOptions {
    std::vector<std::string> args; // command-line arguments (the program folder's removed)
    bool runLoop = true;           // enter the message loop; tests stop after the start-up
    int russianLocale = -1;        // 1 / 0 forces the locale's language; -1 asks the system
};

// Creates the main window, runs the start-up and (with runLoop) the message loop. The exit
// status: 0 after a normal run, 1 when required files are missing or the start log cannot be
// written, 2 when a start-up step failed.
int ProgramEntry(Program& p, const EntryOptions& o);

} // namespace qor::shell
