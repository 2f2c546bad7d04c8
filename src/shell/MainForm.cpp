#include "shell/MainForm.h"

#include "core/AstroMath.h"
#include "core/ChartMoment.h"
#include "core/ChartRecords.h"
#include "core/Formats.h"
#include "core/Parses.h"
#include "core/Planets.h"
#include "core/Stepping.h"
#include "core/SymbolFont.h"
#include "core/Text.h"
#include "shell/CommLink.h"
#include "shell/ScreenSaver.h"
#include "shell/ShellWindows.h"
#include "shell/Sound.h"
#include "shell/Tech.h"
#include "ui/GlyphFonts.h"

#include <QApplication>
#include <QDateTime>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QIcon>
#include <QLocale>
#include <QPainter>
#include <QPixmap>
#include <QSessionManager>

#include <cerrno>
#include <cmath>
#include <functional>
#include <random>

namespace qor::shell {

using namespace ui;

namespace {
constexpr uint32_t kDefaultOceanColor = 0x804000; // the map's sea until the map says otherwise
} // namespace

bool ChooseEnglishMode(const std::vector<std::string>& args, bool russianLocale) {
    bool e = false, r = false;
    for (const std::string& a : args) {
        e = e || a == "/e";
        r = r || a == "/r";
    }
    if (e) return true;
    if (r) return false;
    return !russianLocale;
}

TForm1::TForm1(Program& p) : TForm("Form1"), p_(p) {
    SetCaption("QOR 5.12");
    SetBounds(124, 75, 804, 548);
    SetKeyPreview(true);
    ToolPanel = Add<TPanel>("ToolPanel", {0, 0, 804, 30});
    auto button = [&](const char* name, int x) {
        return Add<TSpeedButton>(name, {x, 2, 26, 26}, ToolPanel);
    };
    HistButton = button("HistButton", 2);
    ScreenButton = button("ScreenButton", 30);
    DataButton = button("DataButton", 58);
    TextButton = button("TextButton", 86);
    TableButton = button("TableButton", 114);
    MiscButton = button("MiscButton", 142);
    DynButton = button("DynButton", 170);
    SetupButton = button("SetupButton", 198);
    HelpButton = button("HelpButton", 226);
    ExitButton = button("ExitButton", 254);
    DBaseButton = button("DBaseButton", 282);
    const std::pair<TSpeedButton*, char32_t> pictures[] = {
        {HistButton, U'\u21B6'}, {ScreenButton, U'\u25A3'}, {DataButton, U'\u270E'},
        {TextButton, U'\u00B6'}, {TableButton, U'\u25A6'},  {MiscButton, U'\u2630'},
        {DynButton, U'\u27F3'},  {SetupButton, U'\u2699'},  {HelpButton, U'?'},
        {ExitButton, U'\u2715'}, {DBaseButton, U'\u2637'}};
    for (const auto& [b, code] : pictures) {
        b->SetSymbol(code);
        b->setIconSize(QSize(22, 22));
    }
    auto panel = [&](const char* name, int x, int h = 13) {
        return Add<TPanel>(name, {x, 1, 22, h}, ToolPanel);
    };
    PanIn = panel("PanIn", 600);
    PanOut = panel("PanOut", 623);
    LeftPan = panel("LeftPan", 646, 27);
    UpPan = panel("UpPan", 669);
    DownPan = panel("DownPan", 669);
    RightPan = panel("RightPan", 692, 27);
    for (auto [pan, mark] :
         {std::pair{PanIn, "+"}, std::pair{PanOut, "-"}, std::pair{LeftPan, "<"},
          std::pair{UpPan, "^"}, std::pair{DownPan, "v"}, std::pair{RightPan, ">"}})
        pan->SetCaption(mark);
    PrecessPanel = panel("PrecessPanel", 320, 22);
    Panel2 = panel("Panel2", 344, 22);
    Label1 = Add<TLabel>("Label1", {2, 2, 16, 16}, Panel2);
    PaintBox = Add<TPaintBox>("PaintBox", {0, 30, 804, 518});
    MediaPlayer = Add<TMediaPlayer>("MediaPlayer");
    GeoNameLabel = Add<TPanel>("GeoNameLabel", {4, 34, 200, 20});
    Prefer = Add<TEdit>("Prefer", {0, 0, 60, 20});
    Memo = Add<TMemo>("Memo", {0, 0, 100, 40});
    SkyEdit = Add<TEdit>("SkyEdit", {0, 0, 100, 20});
    SkyEdit->SetText("0.28376;0.64535;240");
    GeoPanel = Add<TPanel>("GeoPanel", {4, 34, 220, 24});
    for (QWidget* w : {static_cast<QWidget*>(GeoNameLabel), static_cast<QWidget*>(Prefer),
                       static_cast<QWidget*>(Memo), static_cast<QWidget*>(SkyEdit),
                       static_cast<QWidget*>(GeoPanel)})
        SetVisible(w, false);
    OrbitesMenu = Add<TPopupMenu>("OrbitesMenu");
    GeoMenu = Add<TPopupMenu>("GeoMenu");
    ChartMenu = Add<TPopupMenu>("ChartMenu");
    StarAstrMenu = Add<TPopupMenu>("StarAstrMenu");
    ChartZnakMenu = Add<TPopupMenu>("ChartZnakMenu");
    ScreensMenu = Add<TPopupMenu>("ScreensMenu");
    TablMenu = Add<TPopupMenu>("TablMenu");
    MiscMenu = Add<TPopupMenu>("MiscMenu");
    SetupMenu = Add<TPopupMenu>("SetupMenu");
    HelpMenu = Add<TPopupMenu>("HelpMenu");
    N94 = AddMenuItem("N94", "Астрологический словарь"_cp, HelpMenu);
    SaveDialog = Add<TFileDialog>("SaveDialog");
    SaveDialog->Save = true;
    RealTimer = Add<TTimer>("RealTimer");
    RealTimer->SetInterval(1000);
    PaintTimer = Add<TTimer>("PaintTimer");
    PaintTimer->SetInterval(100);
    PrecessMark = new QLabel(PrecessPanel);
    PrecessMark->setGeometry(0, 0, 22, 22);
    PrecessMark->setAlignment(Qt::AlignCenter);
    PrecessMark->setAttribute(Qt::WA_TransparentForMouseEvents);
    BuildMainControls();
    OnShow = [this] { FormShow(); };
    OnClose = [this](CloseAction& a) {
        SaveAndCloseAll();
        a = CloseAction::Hide;
        QCoreApplication::quit();
    };
}

TForm1::~TForm1() = default; // after CommLink is complete

// The pan and zoom buttons from the right edge of the window, each column one button width
// and a pixel left of the one before; up and down, in and out one above the other.
void TForm1::PlacePanButtons() {
    const int w = RightPan->width();
    const int right = Width() - 10 - w - 1;
    ui::SetBounds(RightPan, right, RightPan->y(), w, RightPan->height());
    const int x = right - w - 1;
    ui::SetBounds(UpPan, x, 1, w, UpPan->height());
    ui::SetBounds(DownPan, x, 1 + UpPan->height(), w, DownPan->height());
    ui::SetBounds(LeftPan, x - w - 1, LeftPan->y(), w, LeftPan->height());
    ui::SetBounds(PanIn, x - 2 * (w + 1), 1, w, PanIn->height());
    ui::SetBounds(PanOut, x - 2 * (w + 1), 1 + PanIn->height(), w, PanOut->height());
}

// --- Start log and file check ---------------------------------------------------------------

void TForm1::WriteStartLog(const std::string& text) {
    if (LogFailed || !log_.is_open()) return;
    errno = 0;
    log_ << text << "\r\n";
    log_.flush();
    if (!log_) {
        LogFailed = true;
        logError_ = errno ? errno : EIO;
    }
}

void TForm1::ReportLogFailure() {
    IOCheck(p_.s, logError_, StartLogName);
}

void TForm1::AppendStartLog(const std::vector<std::string>& lines) {
    if (LogFailed) return;
    if (log_.is_open()) {
        for (const std::string& line : lines) WriteStartLog(line);
        return;
    }
    std::ofstream out(p_.s.DataPath(StartLogName), std::ios::binary | std::ios::app);
    for (const std::string& line : lines) out << line << "\r\n";
    out.flush();
    if (!out) LogFailed = true;
}

std::vector<std::string> TForm1::MissingDataFiles() const {
    const AstroDat& s = p_.s;
    std::vector<std::string> missing;
    for (int i = 1; i <= 19; ++i) {
        const std::string name = DataFileName(s, i);
        if (!name.empty() && !ProgramFileExists(s.ProgramFolder, name)) missing.push_back(name);
    }
    for (int i = 2; i <= 10; ++i) {
        const std::string name = "img\\p" + std::to_string(i) + ".img";
        if (!ProgramFileExists(s.ProgramFolder, name)) missing.push_back(name);
    }
    // The tile of the empty screen is read at start-up like the others.
    if (!ProgramFileExists(s.ProgramFolder, "bor6.qor")) missing.push_back("bor6.qor");
    return missing;
}

bool TForm1::CheckDataFiles() {
    const std::vector<std::string> missing = MissingDataFiles();
    if (missing.empty()) return false;
    std::string list;
    for (const std::string& m : missing) list += m + ", ";
    WriteStartLog(list); // before the dialog: a peer reads why the start ends
    log_.close();
    Screen().Dlg().Message(MsgKind::Error, BuiltInMsgText(p_.s, 2, list), MsgButtons::Ok);
    return true;
}

void TForm1::FormCreate(const std::vector<std::string>& args, bool russianLocale) {
    AstroDat& s = p_.s;
    Started = false;
    StartAborted = true;
    LogFailed = false;
    s.EnglishMode = ChooseEnglishMode(args, russianLocale);
    Screen().Dlg().SetLanguage(s.EnglishMode);
    QCoreApplication::setApplicationName("QOR 5.12");

    std::error_code ec;
    if (!fs::is_directory(s.ProgramFolder, ec)) return; // nowhere to work: end silently

    const fs::path logPath = s.DataPath(StartLogName);
    log_.open(logPath, std::ios::binary | std::ios::trunc);
    if (!log_) {
        IOCheck(s, errno ? errno : EIO, StartLogName);
        return;
    }
    const QString now = QDateTime::currentDateTime().toString("dd.MM.yyyy hh:mm:ss");
    WriteStartLog("QOR 5.12.0.12");
    WriteStartLog("Start " + now.toStdString());
    WriteStartLog("Screen Resolution " + std::to_string(Screen().Width()) + "x" +
                  std::to_string(Screen().Height()));
    WriteStartLog("DefFontCharSet " + std::to_string(russianLocale ? 204 : 0));
    if (LogFailed) {
        // A peer waits for the log's lines: a log that takes none ends the start.
        ReportLogFailure();
        return;
    }
    StartAborted = CheckDataFiles();
}

namespace {
// The user closed the main window while the start-up ran: it stops at the next step.
struct StartCancelled {};

// The start log took no more lines: the start ends.
struct StartLogFailed {};

// The state's report while the start-up runs: each message goes to the start log at once and
// waits to be shown until the start has ended; the rest passes through.
class StartReport : public UserReport {
public:
    StartReport(UserReport& shown, std::function<void(MsgKind, const std::string&)> keep)
        : shown_(shown), keep_(std::move(keep)) {}
    void CaptionChanged(const std::string& caption) override { shown_.CaptionChanged(caption); }
    void ShowMessage(MsgKind kind, const std::string& text) override { keep_(kind, text); }
    void PlaySound(const std::filesystem::path& wav) override { shown_.PlaySound(wav); }
    void ProcessEvents() override { shown_.ProcessEvents(); }

private:
    UserReport& shown_;
    std::function<void(MsgKind, const std::string&)> keep_;
};

std::string LogLineOf(MsgKind kind, std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    const char* word = kind == MsgKind::Error     ? "Error: "
                       : kind == MsgKind::Warning ? "Warning: "
                                                  : "Message: ";
    return word + text;
}
} // namespace

void TForm1::StartStep(const std::string& text) {
    if (SavedAndClosed) throw StartCancelled{};
    WriteStartLog(text);
    if (LogFailed) throw StartLogFailed{};
    if (TForm* splash = Screen().FindForm("Form2")) splash->SetCaption(text);
}

void TForm1::ShowDeferredMessages() {
    std::vector<std::pair<MsgKind, std::string>> messages;
    messages.swap(deferred_);
    for (const auto& [kind, text] : messages) ReportOf(p_.s).ShowMessage(kind, text);
}

TForm* TForm1::CreateStartForm(const std::string& name) {
    TForm* f = Screen().CreateForm(name);
    if (!f) throw StartError("no window class " + name);
    WriteStartLog("Creating \"" + f->Name() + "\" OK");
    return f;
}

// --- The ordered start-up ----------------------------------------------------------------

void TForm1::FormShow() {
    if (ShowDone) return;
    ShowDone = true;
    AstroDat& s = p_.s;
    UserReport* shown = s.Report;
    StartReport startReport(ReportOf(s), [this](MsgKind kind, const std::string& text) {
        WriteStartLog(LogLineOf(kind, text));
        deferred_.emplace_back(kind, text);
    });
    s.Report = &startReport;
    // Whatever ends the start-up: the log is complete before any dialog shows.
    const auto endStart = [&] {
        log_.close();
        s.Report = shown;
        QGuiApplication::restoreOverrideCursor();
        ShowDeferredMessages();
    };
    try {
        RunStartSteps();
        s.Report = shown;
        ShowDeferredMessages();
    } catch (const StartCancelled&) {
        p_.Flags.Ready = false;
        WriteStartLog("Start cancelled");
        endStart();
    } catch (const StartLogFailed&) {
        StartFailed = true;
        p_.Flags.Ready = false;
        if (TForm* splash = Screen().FindForm("Form2")) splash->hide();
        endStart();
        ReportLogFailure();
    } catch (const std::exception& e) {
        // A step that fails leaves no half-started window: log it, say so, end with failure.
        StartFailed = true;
        p_.Flags.Ready = false;
        WriteStartLog(std::string("Start failed: ") + e.what());
        if (TForm* splash = Screen().FindForm("Form2")) splash->hide();
        endStart();
        Screen().Dlg().Message(MsgKind::Error, BuiltInMsgText(s, 1), MsgButtons::Ok);
    }
}

namespace {

int RegisterFontFile(const fs::path& file) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) return 0;
    const int id = AddApplicationFontFile(file);
    return id < 0 ? 0 : static_cast<int>(QFontDatabase::applicationFontFamilies(id).size());
}

} // namespace

void TForm1::RunStartSteps() {
    AstroDat& s = p_.s;
    ShellFlags& f = p_.Flags;

    // Nothing recomputes until the end; the splash window shows the steps.
    f.Ready = false;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    if (TForm* splash = Screen().CreateForm("Form2")) splash->show();
    Delay(s, 100);

    // Planet series, per-window settings, the off-screen bitmap.
    StartStep("Loading ...");
    if (const PlanetLoadResult r = LoadPlanetSeries(s); !r.ok)
        throw StartError("planet series: " + r.message);
    ApplyPendingRestore(s, p_.StateFiles);
    p_.StateFiles.LoadFormIni();
    f.AuPerParsec = 1.0 / std::sin(kArcsecToRad);
    p_.BufBitmap = std::make_unique<OffscreenBitmap>(p_.Font);
    p_.BufBitmap->Resize(std::max(PaintBox->width(), 16), std::max(PaintBox->height(), 16));
    PlacePanButtons();

    // The long-lived windows, in this order.
    for (const char* name :
         {"DataForm", "Tech", "KartForm", "sky", "GeoSet", "Interp", "GenSet", "ImgDes", "OrbitSet",
          "mStar", "SetBase", "Pars", "Intxt", "ExctAsp", "IntSet", "Paragr", "QorLoc"}) {
        TForm* form = CreateStartForm(name);
        if (std::string(name) == "Tech") p_.Tech = dynamic_cast<TTech*>(form);
    }
    if (!p_.Tech) throw StartError("no service form");
    p_.Tech->MainClockTick = [this] {
        // The main tick proper belongs to the main window's clock code; before the start-up
        // finished there is nothing to tick.
        if (!Started) return;
        if (MainClockTick) MainClockTick();
    };
    p_.Tech->LinkTick = [this] {
        if (Started && p_.Flags.Ready) LinkTickRun();
    };

    // The empty screen's tile; the chart starts at 1 January 2000.
    if (!p_.BackTile.load(QString::fromStdString(s.DataPath("bor6.qor").string()), "BMP"))
        throw StartError("bor6.qor cannot be read");
    s.ChartDay = 1;
    s.ChartMonth = 1;
    s.ChartYear = 2000;
    s.CosEps = 1.0;
    SetStatus(s, "");

    // The symbol font and the glyph font files.
    StartStep("Loading Fonts ...");
    if (!LoadSymbolFont(s, p_.Font.Glyphs)) throw StartError("font16.fnt cannot be read");
    WriteStartLog("Loading WinstarTT result = " +
                  std::to_string(RegisterFontFile(s.DataPath("wstartt.ttf"))));
    WriteStartLog("Loading Winstar result = " +
                  std::to_string(RegisterFontFile(s.DataPath("wstar.fon"))));
    WriteStartLog("Loading QOR.TTF result = " +
                  std::to_string(RegisterFontFile(s.DataPath("qor.ttf"))));

    // Window texts and state, fonts, paragraphs.
    StartStep("Loading Forms ...");
    if (s.EnglishMode) {
        p_.English.LoadEnglishTexts();
        N94->setVisible(false);
    }
    p_.RunStartSteps(StartStage::Captions);
    const bool freshState = !p_.StateFiles.LoadMainIni();
    if (freshState) {
        // No saved state (first start, or lost): the default layout for this screen.
        p_.Tech->LayoutMainControls(true);
    }
    if (!p_.Checked("GenSet", "LastChartRunBox")) p_.SetChecked("DataForm", "OneButton", true);
    p_.Tech->LoadFontSetting();
    p_.Tech->ApplyFontToAllForms();
    p_.RunStartSteps(StartStage::Fonts);
    ApplyParagraphSettings();

    // Aspects, map colours, the sphere.
    StartStep("Aspect data ... ");
    // The built-in page is in force until the natal-chart settings load their page (the first
    // step of the stage below); a missing page file starts from it.
    if (p_.AspectLines.empty()) {
        p_.AspectLines = BuiltInAspectLines(s.EnglishMode);
        ReadAspectTable(p_.AspTable, p_.AspectLines);
    }
    p_.RunStartSteps(StartStage::Views);

    // The map, the atlas, the body table, the catalogues, the parts, the asteroids.
    StartStep("Init GeoMap ...");
    p_.RunStartSteps(StartStage::Map);
    StartStep("Cities database ...");
    p_.RunStartSteps(StartStage::Atlas);
    StartStep("Planet database ...");
    p_.RunStartSteps(StartStage::Bodies);
    StartStep("Init orbites ...");
    p_.RunStartSteps(StartStage::Orbits);
    RestoreActiveParts(p_);
    StartStep("Asteroids ...");
    p_.RunStartSteps(StartStage::Asteroids);
    if (Link) Link->InitMsgFiles();
    const std::string prefer = Prefer->Text();
    f.AspTablAccur = prefer.size() >= 4 ? prefer[3] : 'Y';

    // The computer's moment in the birth data.
    StartStep("Set real time ...");
    SetRealTimeAtStart();
    DataFormToDatRec();
    if (p_.Svc.DataFormToBackRec) p_.Svc.DataFormToBackRec();
    s.DatRecStart = s.DatRec1;
    s.DatRec1Applied = s.DatRec1;
    s.DatRec2Applied = s.DatRec2;

    // The first chart, with the star positions; then the saved screen.
    StartStep("Calculation ...");
    f.ScreenMode = 'A';
    f.Ready = true;
    f.StarsRecalc = true;
    p_.Tech->RefreshAll();
    f.StarsRecalc = false;
    p_.RunStartSteps(StartStage::FirstChart);
    {
        const char c = (prefer + "W")[0];
        f.ScreenMode = std::string("ACGSVW").find(c) != std::string::npos ? c : 'W';
    }

    // The start sound decides whether sounds stay on.
    {
        const std::string wav = "Oracl.wav";
        MediaPlayer->FileName = s.DataPath(wav).string();
        if (ProgramFileExists(s.ProgramFolder, wav)) {
            const bool opened = p_.Sound && p_.Sound->CanOpen(s.DataPath(wav));
            if (opened) {
                if (s.SoundOn) MediaPlayer->Play();
                StartStep("Player OK");
            } else {
                p_.SetChecked("GenSet", "SoundCheckBox", false);
                if (TForm* g = Screen().FindForm("GenSet"))
                    if (auto* box = g->Find<TCheckBox>("SoundCheckBox")) box->setEnabled(false);
                StartStep("Player Error");
            }
        } else {
            p_.SetChecked("GenSet", "SoundCheckBox", false);
            if (TForm* g = Screen().FindForm("GenSet"))
                if (auto* box = g->Find<TCheckBox>("SoundCheckBox")) box->setEnabled(false);
            StartStep("No file " + wav);
        }
    }

    // The background chart starts as a copy of the first.
    StartStep("QOR start OK");
    if (p_.Svc.DataFormToBackRec) p_.Svc.DataFormToBackRec();
    DataFormToDatRec();
    s.PlanetLonSavedBck = s.PlanetLonSaved;
    s.PlanetLonBck = s.PlanetLon;
    s.PlanetLatBck = s.PlanetLat;
    s.PlanetSpeedBck = s.PlanetSpeed;
    s.SiderealTimeSecBck = s.SiderealTimeSec;

    // Screen colour and help topic by screen: the colour the screen gives, else its default.
    {
        const ScreenHandler* screen = p_.Svc.ScreenOf(f.ScreenMode);
        uint32_t colour = 0xFFFFFF; // the natal chart and the stars screen
        if (f.ScreenMode == 'C' || f.ScreenMode == 'S') colour = 0;
        if (f.ScreenMode == 'G') colour = kDefaultOceanColor;
        if (screen && screen->Background) colour = screen->Background();
        if (f.ScreenMode == 'V') {
            SetColor(0xF0F0F0);
        } else {
            if (p_.BufBitmap) ClearBuffer(*p_.BufBitmap, Colour(colour));
            SetColor(colour);
        }
        if (f.ScreenMode == 'C') HelpContext = 400;
        if (f.ScreenMode == 'G') HelpContext = 500;
        if (f.ScreenMode == 'S') HelpContext = 300;
        if (f.ScreenMode == 'W') HelpContext = 200;
    }

    // Real time, the last double chart, panel hints, the tool panel, menu captions.
    f.RealTimeMode = p_.Checked("GenSet", "StartAsClock");
    if (p_.Checked("DataForm", "TwoButton") && p_.Checked("GenSet", "LastChartRunBox")) {
        TForm* data = Screen().FindForm("DataForm");
        auto* combo = data ? data->Find<TComboBox>("ComboBox") : nullptr;
        if (combo) TTech::SyncComboIndex(*combo);
        // The last chart of the history again, unless the method chosen is a synastry.
        if (combo && combo->ItemIndex() != 1 && p_.Svc.RunChartHistory) {
            const bool stars = f.StarsRecalc;
            f.StarsRecalc = true;
            p_.Svc.RunChartHistory(1, p_.Checked("GenSet", "BckRealStartBox"));
            f.StarsRecalc = stars;
        }
    }
    SetHint(Panel2, GetMsgText(s, 152));
    SetHint(PrecessPanel, GetMsgText(s, 153));
    ToolPanelFloating = p_.Checked("GenSet", "ToolCheckBox");
    SetIngressMenuCaptions();

    // Running: the main clock starts.
    if (SavedAndClosed) throw StartCancelled{};
    WriteStartLog("Ready");
    if (LogFailed) throw StartLogFailed{};
    FirstTick = true;
    Started = true;
    // A start without saved state shows the windows as they come: kept as the default copies
    // that "restore all settings" puts back (only where there are none yet).
    if (freshState) p_.StateFiles.WriteDefaultCopies();
    log_.close();
    if (TForm* splash = Screen().FindForm("Form2"))
        if (splash->isVisible()) splash->Close();
    QGuiApplication::restoreOverrideCursor();
    std::srand(static_cast<unsigned>(std::random_device{}()));
    p_.Tech->MainClock->SetEnabled(true);
    if (p_.ScreenSaver) p_.ScreenSaver->Inhibit();
}

// The birth-data window gets the computer's moment and the user's own place. Until it reads
// its fields into the chart itself, the chart moment is taken from the same texts here (the
// computer's zone when the own place has none).
void TForm1::SetRealTimeAtStart() {
    AstroDat& s = p_.s;
    const OwnPlace place{p_.Text("QorLoc", "astdT"), p_.Text("QorLoc", "astLat"),
                         p_.Text("QorLoc", "astLong"), p_.Text("QorLoc", "astCity"),
                         p_.Text("QorLoc", "astCountry")};
    const RealTimeFields fields = SetRealTime(LocalMomentNow(), place);
    if (TForm* data = Screen().FindForm("DataForm")) {
        const std::pair<const char*, const std::string*> edits[] = {
            {"NameEdit", &fields.NameEdit}, {"DateEdit", &fields.DateEdit},
            {"TimeEdit", &fields.TimeEdit}, {"dTEdit", &fields.dTEdit},
            {"LatEdit", &fields.LatEdit},   {"LongEdit", &fields.LongEdit},
            {"CityEdit", &fields.CityEdit}, {"CountryEdit", &fields.CountryEdit}};
        for (const auto& [name, text] : edits)
            if (auto* e = data->Find<TEdit>(name)) e->SetText(*text);
    }
    if (p_.Svc.DataFormToMoment) {
        p_.Svc.DataFormToMoment();
        return;
    }
    if (const auto d = ParseMomentDate(fields.DateEdit)) {
        s.ChartDay = d->Day;
        s.ChartMonth = d->Month;
        s.ChartYear = d->Year;
    }
    if (const auto tm = ParseMomentTime(fields.TimeEdit)) {
        s.ChartHour = tm->Hour;
        s.ChartMinute = tm->Minute;
        s.ChartSecond = tm->Second;
    }
    const std::optional<int> zone = ParseMomentZone(fields.dTEdit);
    s.ChartZone = zone ? *zone : QDateTime::currentDateTime().offsetFromUtc() / 60;
    if (const auto lat = ParseLatitude(fields.LatEdit)) s.ChartLat = *lat;
    if (const auto lon = ParseLongitude(fields.LongEdit)) s.ChartLong = *lon;
}

// The first chart's record from the birth-data window; until that window keeps it itself, from
// the chart moment and the own place.
void TForm1::DataFormToDatRec() {
    if (p_.Svc.DataFormToDatRec) {
        p_.Svc.DataFormToDatRec();
        return;
    }
    AstroDat& s = p_.s;
    DatRec& r = s.DatRec1;
    r = DatRec{};
    const ChartMoment m = MomentOf(s);
    r[kRecDate] = MomentDateText(m);
    r[kRecTime] = MomentTimeText(m);
    r[kRecZone] = MomentZoneText(m.ZoneMinutes);
    r[kRecLat] = FormatLatitude(s.ChartLat);
    r[kRecLong] = FormatLongitude(s.ChartLong);
    r[kRecCity] = p_.Text("QorLoc", "astCity");
    r[kRecCountry] = p_.Text("QorLoc", "astCountry");
}

// --- Shutdown -----------------------------------------------------------------------------

void TForm1::SetTransientOptionsOff() {
    AstroDat& s = p_.s;
    SetStatus(s, "");
    if (p_.Checked("DataForm", "TwoButton")) {
        TForm* data = Screen().FindForm("DataForm");
        if (auto* combo = data ? data->Find<TComboBox>("ComboBox") : nullptr)
            combo->SetText(Lang(s, "Транзит"_cp, "Transit"));
    }
    p_.SetChecked("KartForm", "HelioBox", false);
    p_.SetChecked("KartForm", "HorizontalBox", false);
    if (TForm* kart = Screen().FindForm("KartForm"))
        if (auto* g = kart->Find<TRadioGroup>("XGroup")) g->SetItemIndex(0);
    p_.SetChecked("ImgDes", "ShowNumbBox", false);
    p_.SetChecked("sky", "SunBox", false);
}

void TForm1::WriteStateFiles(bool maximized) {
    const ShellFlags& f = p_.Flags;
    for (const auto& [name, duty] : p_.Svc.SaveDuties)
        if (duty) duty();
    std::string prefer;
    prefer += f.ScreenMode;
    prefer += maximized ? 'M' : 'N';
    prefer += 'O';
    prefer += f.AspTablAccur;
    Prefer->SetText(prefer);
    p_.StateFiles.SaveMainIni();
    p_.StateFiles.SaveFormIni();
}

void TForm1::SaveAndCloseAll() {
    if (SavedAndClosed) return;
    SavedAndClosed = true;
    ShellFlags& f = p_.Flags;
    f.Ready = false;
    if (p_.Tech) p_.Tech->MainClock->SetEnabled(false);
    const bool maximized = State() == WindowState::Maximized; // before the windows close
    const std::vector<TForm*> forms = Screen().Forms();
    for (TForm* form : forms)
        if (form->isVisible() && form->Name() != "Form1") form->Close();
    if (Started) {
        f.ClosingAll = true;
        SetTransientOptionsOff();
        WriteStateFiles(maximized);
        if (Link) Link->CloseMsgFiles();
    }
    if (p_.ScreenSaver) p_.ScreenSaver->Release();
}

// The session asks whether it may end: save now, but leave the program as it is, since the
// user may still cancel the log-out. The transient options are saved off and then restored.
void TForm1::SaveState() {
    if (!Started || SavedAndClosed) return;
    ShellFlags& f = p_.Flags;
    struct Kept {
        std::string form, box;
        bool on;
    };
    std::vector<Kept> kept;
    for (auto [form, box] : {std::pair{"KartForm", "HelioBox"},
                             {"KartForm", "HorizontalBox"},
                             {"ImgDes", "ShowNumbBox"},
                             {"sky", "SunBox"}})
        kept.push_back({form, box, p_.Checked(form, box)});
    int xGroup = p_.ItemIndex("KartForm", "XGroup");
    const bool ready = f.Ready;
    f.Ready = false;
    f.ClosingAll = true;
    const std::string status = p_.s.StatusText;
    SetTransientOptionsOff();
    WriteStateFiles(State() == WindowState::Maximized);
    for (const Kept& k : kept) p_.SetChecked(k.form, k.box, k.on);
    if (TForm* kart = Screen().FindForm("KartForm"))
        if (auto* g = kart->Find<TRadioGroup>("XGroup")) g->SetItemIndex(xGroup);
    SetStatus(p_.s, status);
    f.ClosingAll = false;
    f.Ready = ready;
}

// --- Entry ---------------------------------------------------------------------------------

int ProgramEntry(Program& p, const EntryOptions& o) {
    const bool russian = o.russianLocale >= 0 ? o.russianLocale == 1
                                              : QLocale::system().language() == QLocale::Russian;
    auto* form1 = new TForm1(p);
    p.Form1 = form1;
    form1->FormCreate(o.args, russian);
    if (form1->StartAborted) return 1;

    // The end of the session: save when asked, tear down at the real end.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, form1,
                     [form1](QSessionManager&) { form1->SaveState(); });
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, form1,
                     [form1] { form1->SaveAndCloseAll(); });

    form1->show();
    if (form1->StartFailed) return form1->LogFailed ? 1 : 2;
    if (!o.runLoop || form1->SavedAndClosed) return 0; // closed while starting: no loop
    return QApplication::exec();
}

} // namespace qor::shell
