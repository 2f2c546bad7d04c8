// The main window "Form1" and the life of the process: the choice of language, the start log,
// the check of the required data files, the ordered start-up at the first showing of the
// window, and the shutdown that saves the window state (also when the session ends).
//
// The window's screens, tool buttons, menus and keys and its main tick are filled in by their
// own code on this class; the start-up only needs the components created here.
#pragma once

#include "shell/Program.h"
#include "ui/Forms.h"

#include <QLabel>

#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qor::shell {

class CommLink;

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
    bool ToolPanelFloating = false; // the tool panel floats instead of sitting at the top

    void PlacePanButtons();
    // The ingress menu's items named by the bodies in the language of the moment.
    void SetIngressMenuCaptions();

    // The main tick, run by the service form's main clock once the start-up has finished
    // (the main window's clock code fills it).
    std::function<void()> MainClockTick;

    // --- Life of the process ---
    bool Started = false;     // the start-up ran to its end
    bool StartAborted = true; // the message loop must not run
    bool StartFailed = false; // a start-up step failed (the process ends with a failure)
    bool LogFailed = false;   // a line of the start log could not be written (exit status 1)
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
    // Lines for the start log after the start-up: appended to the file, which is closed again
    // (during the start-up they go with the others). Nothing once a write has failed.
    void AppendStartLog(const std::vector<std::string>& lines);
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

    // --- Menus and tool buttons (MainMenu.cpp), screens and keys (MainScreens.cpp), export
    // (MainExport.cpp) ---
    std::string LastMenuItem; // name of the last menu item, button or panel used
    std::string ExpectedItem; // what a command-link script waits for ("Wait")
    bool PanHeld = false;     // a pan or zoom button is held
    bool KeysEnabled = true;  // no key's command is running
    bool GeoDragging = false; // a left-button drag on the map
    bool PaintArmed = false;  // the first main tick has passed
    unsigned char BlinkCode = 220;
    int ScrLeft = 0, ScrTop = 0, ScrWidth = 0, ScrHeight = 0;
    ui::TMenuItem* GetFromMap = nullptr;
    ui::TMenuItem* N54 = nullptr;
    ui::TTimer* PanTimer = nullptr; // repeats the held pan or zoom button
    std::string HeldPan;
    std::unique_ptr<CommLink> Link;
    int PrecessCode = 0;           // the precession mark shown: 0, 170, 172 or 173
    QLabel* PrecessMark = nullptr; // its character

    // Records `name` as the last item used (every menu item and button does).
    void MItemClick(const std::string& name);
    // Runs a menu item or tool button by its name as a click would; false when none has it.
    bool RunItem(const std::string& name);
    // The window of that name: created with its saved settings when absent, restored when
    // minimized, shown. Nullptr (and a status text) when no such window is built.
    ui::TForm* OpenToolWindow(const std::string& name, bool restore = true);
    // Switches to a screen: "W" "S" "C" "G" "A" "V".
    void SwitchScreen(char mode);
    // Redraws the current screen into the bitmap and shows it.
    void RedrawScreen();
    void RedrawNatal();
    void FormKeyDown(int& key, ui::Shift shift);
    // Lays the window out for its size; `showSize` puts the screen's size on the status line.
    void FormResize(bool showSize = true);
    // Help page of a help context (200 the wheel ...), empty for none.
    static std::string HelpTopicOfScreen(char mode);
    void ShowScreenHelp();
    // The bitmap as a BMP file under "Wrk" (asks for the name); true when saved.
    bool SaveBitmapClick();
    void CopyToClipboard();
    // Prints the chart page (landscape, one page): to a PDF file or a printer.
    bool PrintClick();
    // "Restore all settings": marks the default copies to be put in place at the next start.
    void RestoreDefaultsClick();
    // At start-up, before the state files are read: puts marked default copies in place.
    static bool ApplyPendingRestore(AstroDat& s, ui::WindowStateFiles& files);
    void PanPress(const std::string& button);
    void PanRelease();
    void PanStep(const std::string& button);
    void PaintBoxMouseDown(ui::MouseButton b, ui::Shift shift, int x, int y);
    void PaintBoxMouseMove(ui::Shift shift, int x, int y);
    void PaintBoxMouseUp(ui::MouseButton b, ui::Shift shift, int x, int y);
    QPoint PaintBoxToScreen(int x, int y) const;
    // Opens the picture viewer for an object when a picture of it exists.
    void ShowPictureByName(const std::string& name);

    // --- Main tick and real time (MainTick.cpp) ---
    void MainClockTickRun();
    // What runs while a tick waits in a modal window: the link and what a script waits for.
    void LinkTickRun();
    void RealTimerTimer();
    void PaintTimerTimer();
    void PaintBoxPaint(QPainter& painter);
    void PrecessBtnClick();
    void PrecessPanelMouseMove();
    void ToggleRealTime();
    // The running mark of real time and time stepping: Panel2 black, Label1's character
    // alternating between the codes 220 and 223.
    void AdvanceRunningMark();
    // A mouse button is held on the screen (from the press to the release).
    bool PaintBoxButtonDown = false;
    // The precession mark's character for n arc-seconds: 0 none, 170, 172 or 173.
    static int PrecessionMarkCode(long long arcsec);
    double PrecessionArcsec() const;
    // The computer's moment now as the chart's local date "dd.mm.yyyy" and time "hh:nn:ss"
    // in the chart's zone (minutes east).
    static std::pair<std::string, std::string> RealTimeTexts(long long utcSeconds, int zoneMinutes);

private:
    void BuildMainControls();
    // The menu items and tool buttons with their actions (MainMenu.cpp).
    void BuildItems();
    void RunStartSteps();
    void SetRealTimeAtStart();
    void DataFormToDatRec();
    void SetTransientOptionsOff();
    void WriteStateFiles(bool maximized);
    void ReportLogFailure();
    void ShowDeferredMessages();
    Program& p_;
    std::ofstream log_;
    int logError_ = 0; // what the failed write of the start log said (errno)
    // The messages the start-up's steps gave: logged at once, shown when the start has ended
    // (a peer reading the log never waits behind a dialog).
    std::vector<std::pair<MsgKind, std::string>> deferred_;
};

// What the status line says when a window of that name is not built.
std::string WindowMissingText(const AstroDat& s, const std::string& name);

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
