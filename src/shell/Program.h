// The running program: the chart state, the symbol font, the off-screen bitmap, the command
// paths, the window-state files, the English texts, the flags of the shell, and the services
// that the subsystems above the shell register (loaders, screens, tool-window refreshes).
//
// One Program exists per run (tests make their own). The subsystems above the shell plug in
// by filling `Services` before the start-up; an empty service is skipped, so the program runs
// with whatever subsystems are built.
#pragma once

#include "core/Aspects.h"
#include "core/AstroDat.h"
#include "core/Chart.h"
#include "core/ChartEngine.h"
#include "shell/ShellHooks.h"
#include "ui/EnglishTexts.h"
#include "ui/Keys.h"
#include "ui/OffscreenBitmap.h"
#include "ui/QtReport.h"
#include "ui/SymbolPainter.h"
#include "ui/UICommands.h"
#include "ui/WindowState.h"

#include <QImage>
#include <QRect>

class QPainter;
class QPrinter;

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace qor::shell {

class TForm1;
class TTech;
class SoundOutput;
class ScreenSaverInhibitor;

// A start-up step that cannot go on throws this (or any std::exception); the start-up shows
// the damaged-files message, logs the text and ends the program with a failure status.
struct StartError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// What a screen of the main window gives it: its drawing into the off-screen bitmap and its
// answers to the mouse, the navigation keys, the pan and zoom buttons, F12 and the menu of the
// right button. The subsystem that owns the screen registers it (Services::Screens); a screen
// with nothing registered draws nothing and ignores the mouse.
struct ScreenHandler {
    std::function<void()> Draw;
    std::function<void(ui::MouseButton, ui::Shift, int x, int y)> MouseDown, MouseUp;
    std::function<void(ui::Shift, int x, int y)> MouseMove;
    std::function<void()> DblClick;
    // A navigation key; true when the screen used it.
    std::function<bool(int key, ui::Shift)> NavKey;
    // One step of a held pan or zoom button: "LeftPan", "RightPan", "UpPan", "DownPan",
    // "PanIn", "PanOut".
    std::function<void(const std::string& button)> Pan;
    // F12: the screen's settings window or menu at the screen point (x, y).
    std::function<void(int x, int y)> SettingsKey;
};

// Calls into the subsystems above the shell. Each is optional.
struct Services {
    using Action = std::function<void()>;
    using FormAction = std::function<void(ui::TForm&)>;

    // The drawing routine of a screen ("W", "S", "C", "G", "A", "M"); nullptr for the empty
    // screen and any other mode.
    const Action* RedrawOf(char mode) const {
        switch (mode) {
        case 'A':
            return &RedrawStarAstr;
        case 'C':
            return &RedrawSky;
        case 'G':
            return &RedrawGeoMap;
        case 'M':
            return &ShowMovPlnGraph;
        case 'S':
            return &CosmosRedraw;
        case 'W':
            return &RedrawNatal;
        default:
            return nullptr;
        }
    }

    // Geography.
    Action LoadGeoColors, InitGeoMap, LoadAtlas, RedrawGeoMap;
    std::function<uint32_t()> GeoOceanColor;
    // Interpretation.
    Action IntApplyFont, N57Click;
    // Forecast and time tools.
    Action ShowMovPlnGraph;
    std::function<void(bool)> SetDynamicsCaptions; // the "Dinamic" and "Loc" captions
    Action StopTimeStepping;
    // Sky and space views.
    Action LoadPlanetsMdb, LoadCosmosSettings, LoadYaleCatalogue, LoadDeepObj, InitSkyView,
        ReadSkySettings, LoadChironTable, LoadAsteroidCatalogue, SortStarsAll, SaveSkyView,
        SaveCosmosSettings, ComputeStarPositions, CalcAsteroidList, RedrawStarAstr, RedrawSky,
        CosmosRedraw;
    std::function<int()> SkySystem; // 0 horizontal, 1 equatorial, 2 ecliptic
    // The name of body-table entry i + 71 of the cosmos view (IsChironBody).
    std::function<std::string(int)> CosmosBodyName;
    std::function<void(const std::string&)> FindOnCosmos, FindOnSky, FindOnStarAstr;
    // Natal chart and chart data.
    Action LoadDataCaptions, SyncCoordColumnCombo, LoadStatusAndColors, DataFormToMoment,
        DataFormToDatRec, DataFormToBackRec, ClearLabelOffsets, RedrawNatal, DrawKart,
        LoadAspectPage;
    std::function<uint32_t()> KartBckColor;
    std::function<void(int, bool)> RunChartHistory;
    // The wheel's hot spots as "x;y;text" lines (the diagnostic key Alt+G).
    std::function<std::vector<std::string>()> KartSpotLines;
    // Shell windows built elsewhere.
    Action ApplyParagraphSettings, InitMsgFiles, PlacePanButtons, SetIngressMenuCaptions;
    // The restored active Arabic parts into the chart (the parts window; else ParsCountActive).
    Action RestoreActiveParts;
    // Interpretation: a finished text file in the text window; the lunar day of the chart day.
    std::function<void(const std::string&)> InterpShowFile;
    std::function<int()> LunarDay;
    // What refreshes an open tool window after a recompute, by window name ("AstroForm",
    // "Star", "StarForm", "DeepStar", "PlnForm", "AspTabl", "StarConj", "Asteroids",
    // "MoonSgn", "Pars", "ExctAsp", "Deep"); without one its DrawGrid is repainted.
    std::map<std::string, FormAction> RefreshWindow;

    // The screens of the main window by their ScreenMode letter.
    std::map<char, ScreenHandler> Screens;
    // The birth-data window: its fields from DatRec1 (and DatRec2), and the applying of its
    // fields as the chart (false when it refuses, e.g. its OK button is disabled).
    Action DatRecToDataForm;
    std::function<bool()> ApplyData;
    // The chart points the wheel shows (first, last); 1..10 until the wheel says more.
    std::function<std::pair<int, int>()> KartPointRange;
    // The chart time (centuries) of the last computation of the star positions.
    std::function<double()> StarsCalcT;
    // The wheel's degree marker or the protractor is held (real time waits meanwhile).
    std::function<bool()> WheelHeld;
    // The day summary of the start window; the check of the computer's zone against the own
    // place (true: they agree) and the note of the user's place in the start log.
    Action ShowDayInfo, LogUserLocation;
    std::function<bool()> CheckComputerZone;
    // Duties of the subsystems on every main tick (the map's pending atlas place, the closing
    // of a motion graph whose screen is gone ...), run in name order after the shell's own.
    std::map<std::string, Action> TickDuties;
    // Actions of main-window menu items that belong to a subsystem (a screen menu's zoom,
    // the ephemeris tables ...), by item name; they replace the shell's own action.
    std::map<std::string, Action> MenuActions;
    // The chart page on the printer (the page rectangle in device pixels); without it the
    // screen's bitmap is printed.
    std::function<void(QPainter&, const QRect&)> PrintPage;
    // Command-link verbs that belong to a subsystem ("SetOrbitPos", "RunOrbitPos"): they get
    // the arguments and give the answer line (empty: no answer).
    std::map<std::string, std::function<std::string(const std::string&)>> LinkVerbs;
};

// Flags of the shell read across windows.
struct ShellFlags {
    bool Ready = false;        // start-up finished; nothing recomputes before
    bool RefreshReady = true;  // no recompute running
    bool ClosingAll = false;   // shutdown resets settings windows
    bool StarsRecalc = false;  // recompute the star positions on every run
    bool HelioMode = false;    // heliocentric chart (the settings window's HelioBox)
    bool DinamicRun = false;   // the time window steps the chart time
    bool ProgramIdle = true;   // no interpretation report being assembled
    bool LinkCommand = false;  // a command of the link runs: no window may wait on a person
    bool RealTimeMode = false; // the chart follows the computer's clock
    bool SourceData = true;    // the steppers move the source (true) or the background chart
    bool DoubleChart = false;  // the applied chart is double (the birth-data window's kind)
    bool HoraryChart = false;  // the applied chart is horary
    int InterpPoint = 0;       // chart point shown by the interpretation window, 0 none
    int ExterrBody = 0;        // 0 the Earth; 3..5 observer on Mercury, Venus, Mars
    char ScreenMode = 'W';     // 'W' 'S' 'C' 'G' 'A' 'V' 'M', ' ' while switching
    char AspTablAccur = 'Y';
    double AuPerParsec = 0;
};

class Program {
public:
    explicit Program(const fs::path& programFolder);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    AstroDat s;
    ui::Font16State Font;
    ui::QtReport Report;
    ui::UICommands Commands;
    ui::WindowStateFiles StateFiles;
    ui::EnglishTexts English;
    ShellFlags Flags;
    Services Svc;
    // What the shell's small windows call (ShellWindows.h fills it).
    ShellHooks Hooks;

    // The chart options as the settings windows hold them (filled before each computation).
    ChartOptions ChartOpt;
    GeneralOptions GeneralOpt;
    AspectOptions AspectOpt;
    AspDefTable AspTable;
    std::vector<std::string> AspectLines;
    AspectMatrix Aspects;

    // The chart computation of the calculator window (it reads the obliquity of the last
    // time step).
    std::unique_ptr<ChartEngine> Engine;

    std::unique_ptr<ui::OffscreenBitmap> BufBitmap;
    QImage BackTile;

    // The program's one printer: its page setup holds for the run (Printing.h).
    std::unique_ptr<QPrinter> Printer;

    std::unique_ptr<SoundOutput> Sound;
    std::unique_ptr<ScreenSaverInhibitor> ScreenSaver;

    TForm1* Form1 = nullptr;
    TTech* Tech = nullptr;

    // The check state of a box of a window, or `otherwise` when the window or box is missing.
    bool Checked(const std::string& form, const std::string& box, bool otherwise = false) const;
    void SetChecked(const std::string& form, const std::string& box, bool on);
    // The text of an edit or combo box of a window, or empty.
    std::string Text(const std::string& form, const std::string& control) const;
    int ItemIndex(const std::string& form, const std::string& control, int otherwise = -1) const;
    // The aspect matrix of the current chart (into Aspects).
    void CalcCurrentAspects();

    // Copies the settings windows' controls into ChartOpt, GeneralOpt and AspectOpt.
    void ReadOptions();
};

// The one Program of the run (set while one exists).
Program* TheProgram();

} // namespace qor::shell
