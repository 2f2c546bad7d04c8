// The running program: the chart state, the symbol font, the off-screen bitmap, the command
// paths, the window-state files, the English texts, the flags of the shell, its window
// classes, and the services that the subsystems above the shell register (screens, start-up
// steps, tool-window refreshes ...).
//
// One Program exists per run (tests make their own). The subsystems above the shell plug in
// through their Register(Program&) before the start-up (src/shell/README.md); an empty service
// is skipped, so the program runs with whatever subsystems are built.
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
class QPaintDevice;
class QPrinter;

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <typeindex>
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
// answers to the mouse, the navigation keys, the pan and zoom buttons, F12, the object search
// and the printer. The subsystem that owns the screen registers it (Services::Screens); a
// screen with nothing registered draws nothing and ignores the mouse.
struct ScreenHandler {
    // Draws the screen into BufBitmap (Program::DrawScreen then shows it).
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
    // After each recompute of the chart while the screen is shown, before it draws (the
    // asteroid list of the stars screen).
    std::function<void()> Recomputed;
    // The deferred object search of the service form (the command link's "Find" on the
    // cosmos screen "S").
    std::function<void(const std::string& name)> Find;
    // The colour (0x00BBGGRR) the screen starts on at the end of the start-up; without it the
    // shell's default for the screen.
    std::function<uint32_t()> Background;
    // The screen shows the horizon and keeps the catalogues' horizontal coordinates itself:
    // the star and deep-sky windows leave them as they are after a recompute.
    std::function<bool()> Horizontal;
    // Something on the screen is held by the mouse (the real-time clock waits meanwhile).
    std::function<bool()> Held;
    // The button that a press on the screen holds was let go where the screen did not see it
    // (another screen showed by then) or the program lost the mouse: what the press began ends.
    std::function<void()> MouseLost;
    // The hot spots of the last drawing as "x;y;text" lines (the command link's
    // "FindOnWheel", the diagnostic key Alt+G).
    std::function<std::vector<std::string>()> Spots;
    // The screen on the printer page (the page rectangle in device pixels); without it the
    // bitmap is printed.
    std::function<void(QPainter&, const QRect&)> Print;
};

// Where in the start-up a subsystem's step runs, in this order (the start log's step texts in
// brackets). Steps of one stage run in the order they were registered.
enum class StartStage {
    Captions,  // window texts read, before the saved window state ("Loading Forms ...")
    Fonts,     // after the fonts are applied to every window
    Views,     // the aspect page, then the views ("Aspect data ...")
    Map,       // "Init GeoMap ..."
    Atlas,     // "Cities database ..."
    Bodies,    // "Planet database ..."
    Orbits,    // "Init orbites ...", before the active Arabic parts
    Asteroids, // "Asteroids ...", before the command link's files
    FirstChart // after the first chart and the star positions ("Calculation ...")
};

struct StartStep {
    StartStage stage;
    std::string name; // for the reader and the tests ("LoadYaleCatalogue")
    std::function<void()> run;
};

class Program;

// What the screens show beside the chart, as the settings windows hold it.
struct ViewOptions {
    bool ProductTitle = false; // the title shows the product, not the chart's data
};

// The keyed registries and the few named slots through which the subsystems above the shell
// plug in. Everything is optional: an empty entry is skipped.
struct Services {
    using Action = std::function<void()>;
    using FormAction = std::function<void(ui::TForm&)>;

    // --- Keyed registries -------------------------------------------------------------------

    // What copies a settings window's controls into the typed options (ChartOpt, GeneralOpt,
    // AspectOpt, View of the program) before each computation, by window name ("KartForm",
    // "GenSet"). A reader does nothing while its window is not there: the options keep their
    // values (at first the windows' defaults).
    std::map<std::string, std::function<void(Program&)>> OptionReaders;

    // The screens of the main window by their ScreenMode letter ("W" "S" "C" "G" "A" "M").
    std::map<char, ScreenHandler> Screens;
    const ScreenHandler* ScreenOf(char mode) const {
        const auto it = Screens.find(mode);
        return it == Screens.end() ? nullptr : &it->second;
    }
    // The start-up's steps of the subsystems, run by stage (AddStartStep).
    std::vector<StartStep> StartSteps;
    void AddStartStep(StartStage stage, std::string name, Action run) {
        StartSteps.push_back({stage, std::move(name), std::move(run)});
    }
    // What refreshes an open tool window after a recompute, by window name ("AstroForm",
    // "Star", "StarForm", "DeepStar", "PlnForm", "AspTabl", "StarConj", "Asteroids",
    // "MoonSgn", "Pars", "ExctAsp", "Deep"; "Interp" when it follows a chart point); without
    // one its DrawGrid is repainted.
    std::map<std::string, FormAction> RefreshWindow;
    // Actions of main-window menu items that belong to a subsystem (a screen menu's zoom,
    // the ephemeris tables ...), by item name; they replace the shell's own action.
    std::map<std::string, Action> MenuActions;
    // Command-link verbs that belong to a subsystem ("SetOrbitPos", "RunOrbitPos"): they get
    // the arguments and give the answer line (empty: no answer).
    std::map<std::string, std::function<std::string(const std::string&)>> LinkVerbs;
    // Duties of the subsystems on every main tick (the map's pending atlas place, the closing
    // of a motion graph whose screen is gone ...), run in name order after the shell's own.
    std::map<std::string, Action> TickDuties;
    // What the subsystems put into their windows' saved state before the state files are
    // written (at the end of the run and when the session asks), in name order.
    std::map<std::string, Action> SaveDuties;

    // --- Named slots --------------------------------------------------------------------------

    // The birth-data window (chart): its fields from DatRec1 (and DatRec2), its fields as the
    // chart moment, as DatRec1 and as DatRec2, and the applying of its fields as the chart
    // (false when it refuses, e.g. its OK button is disabled).
    Action DatRecToDataForm, DataFormToMoment, DataFormToDatRec, DataFormToBackRec;
    std::function<bool()> ApplyData;
    // The chart history (chart): runs the entry of row `row` (1 = the newest) again; with
    // keepBackground the second data set stays unless the entry is a synastry. False when
    // nothing ran.
    std::function<bool(int row, bool keepBackground)> RunChartHistory;
    // The birth-data window (chart): the chart moment and place written back into its fields
    // (when it shows the set the stepping windows move) and into DatRec1's date, time,
    // latitude and longitude.
    Action MomentToDataForm, MomentToDatRec;
    // The stepping windows (forecast): the time window's run stops (DinamicRun off, its timer
    // off, the running mark's hint back); the captions and tabs of both windows follow
    // SourceData.
    Action StopTimeStepping, SetDynamicsCaptions;
    // The wheel (chart): the label offsets of the last drawing go (after each chart
    // computation); the chart points it shows (first, last), 1..10 without it.
    Action ClearLabelOffsets;
    std::function<std::pair<int, int>()> KartPointRange;
    // The natal chart's printed page (chart) on a printer's page, a PDF file or an image: the
    // main window's "print the natal chart"; false when the page could not be drawn.
    std::function<bool(QPaintDevice&)> PrintPage;
    // The sky data (sky): the star positions of the chart time, the chart time (centuries)
    // of their last computation, and the name of record n of the body table.
    Action ComputeStarPositions;
    std::function<double()> StarsCalcT;
    std::function<std::string(int)> BodyTableName;
    // The own place (the window "QorLoc"): whether the start window may show (no check of
    // the computer's zone asked for, or the zones agree; otherwise the own place's window
    // opens), and the note of the user's place in the start log at the first tick.
    std::function<bool()> CheckComputerZone;
    Action LogUserLocation;
    // The birth-data window (chart) takes the place under the map's pointer while the map's
    // "take the data" is on: the main window's coordinate panel, and the hovered city's
    // "name, region" (empty off a city).
    std::function<void(const std::string&)> TakeGeoMapPlace;
    // The natal-chart settings' table of dignities (chart): whether body 1..16 rules sign
    // 1..12 (a sign may have two rulers).
    std::function<bool(int sign, int body)> SignRuledBy;
    // The interpretation texts other windows ask for (interp), shown in the text window. The
    // chart menu's "Интерпретация..." for chart point n: a body's report, or a cusp's
    // (27..38) house report; the window follows the point through later recomputes
    // (InterpPoint). The texts of catalogue star n, deep-sky object n, planet n and sign n,
    // and of the aspect between chart points p and q. A text that has no section leaves the
    // window as it was.
    std::function<void(int point)> N57Click;
    std::function<void(int star)> IntStarText;
    std::function<void(int object)> IntDeepSkyText;
    std::function<void(int planet)> IntPlanetText;
    std::function<void(int sign)> IntSignText;
    std::function<void(int p, int q)> IntAspectText;
    // The picture viewer (interp) in its 25-frame animation of the lunar month (the chart
    // menu's Moon item).
    Action MoonMovie;
    // The planet information window (sky) for chart point n (the chart menu's "astronomical
    // data").
    std::function<void(int point)> ShowPlanetInfo;
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
    // The window classes of this program by window name (the forms layer creates its windows
    // from them while the program lives).
    ui::FormClasses FormClasses;

    // The options as the settings windows hold them (filled by ReadOptions before each
    // computation).
    ChartOptions ChartOpt;
    GeneralOptions GeneralOpt;
    AspectOptions AspectOpt;
    ViewOptions View;
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

    // What a subsystem keeps for the whole run (its data, its screen's state), one object of
    // each type, made at the first call and gone with the program (after its windows).
    template <class T, class... Args> T& Own(Args&&... args) {
        auto& slot = parts_[std::type_index(typeid(T))];
        if (!slot) slot = std::make_shared<T>(std::forward<Args>(args)...);
        return *static_cast<T*>(slot.get());
    }
    // The object of that type a subsystem keeps, or nullptr.
    template <class T> T* Find() const {
        const auto it = parts_.find(std::type_index(typeid(T)));
        return it == parts_.end() ? nullptr : static_cast<T*>(it->second.get());
    }

    // Draws screen `mode` through its registered handler and shows it; nothing while the
    // screens switch (ScreenMode ' '). The one way a screen is redrawn.
    void DrawScreen(char mode);

    // The check state of a box of a window, or `otherwise` when the window or box is missing.
    bool Checked(const std::string& form, const std::string& box, bool otherwise = false) const;
    void SetChecked(const std::string& form, const std::string& box, bool on);
    // The text of an edit or combo box of a window, or empty.
    std::string Text(const std::string& form, const std::string& control) const;
    int ItemIndex(const std::string& form, const std::string& control, int otherwise = -1) const;
    // The aspect matrix of the current chart (into Aspects).
    void CalcCurrentAspects();

    // Runs the settings windows' option readers (Services::OptionReaders).
    void ReadOptions();

    // Runs the start-up steps of one stage in the order they were registered.
    void RunStartSteps(StartStage stage);

private:
    std::map<std::type_index, std::shared_ptr<void>> parts_;
};

// The one Program of the run (set while one exists).
Program* TheProgram();

} // namespace qor::shell
