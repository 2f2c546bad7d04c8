// The main window's controls, screens, keys, pan and zoom buttons, mouse dispatch and layout
// (the menus and tool buttons: MainMenu.cpp; the export of the screen: MainExport.cpp).
#include "shell/ClipForm.h"
#include "shell/CommLink.h"
#include "shell/MainForm.h"
#include "shell/ShellWindows.h"
#include "shell/Tech.h"

#include "core/Aspects.h"
#include "core/ChartRecords.h"
#include "core/Files.h"
#include "core/Stepping.h"
#include "core/Strings.h"
#include "core/Text.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace qor::shell {

using namespace ui;

namespace {

// Keys without Shift, Ctrl or Alt and the item or button each runs.
struct KeyRow {
    int key;
    const char* item;
};
const KeyRow kPlainKeys[] = {
    {'A', "Nsky"},
    {'B', "TextButton"},
    {'C', "HelpButton"},
    {'D', "DynButton"},
    {'E', "SetupButton"},
    {'F', "N66"},
    {'G', "N74"},
    {'H', "MiscButton"},
    {'J', "N84"},
    {'K', "N76"},
    {'L', "DataButton"},
    {'N', "TableButton"},
    {'P', "N68"},
    {'R', "Ncosmos"},
    {'U', "Ngeo"},
    {'V', "N65"},
    {'W', "PosButton"},
    {'X', "RealTime"},
    {'Y', "Nnatal"},
    {'Z', "N77"},
    {vk::Space, "Nvoid"},
    {vk::OemSemicolon, "N75"},
    {vk::OemOpenBracket, "HistButton"},
    {vk::OemComma, "DBaseButton"},
    {vk::OemQuote, "ScreenButton"},
};

const char* const kPanNames[] = {"LeftPan", "RightPan", "UpPan", "DownPan", "PanIn", "PanOut"};

// Records the buttons and menu items the user releases the mouse on, in every window, as the
// last item used (what a script's "Wait" waits for).
class UseRecorder : public QObject {
public:
    UseRecorder(QObject* parent, std::function<void(const std::string&)> record)
        : QObject(parent), record_(std::move(record)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() != QEvent::MouseButtonRelease) return false;
        const auto* m = static_cast<QMouseEvent*>(e);
        if (m->button() != Qt::LeftButton) return false;
        if (auto* b = qobject_cast<QAbstractButton*>(watched)) {
            if (b->isEnabled() && b->rect().contains(m->position().toPoint()) &&
                !b->objectName().isEmpty())
                record_(b->objectName().toStdString());
        } else if (auto* menu = qobject_cast<QMenu*>(watched)) {
            if (QAction* a = menu->actionAt(m->position().toPoint());
                a && a->isEnabled() && !a->objectName().isEmpty())
                record_(a->objectName().toStdString());
        }
        return false;
    }

private:
    std::function<void(const std::string&)> record_;
};

} // namespace

// --- Building -------------------------------------------------------------------------------

void TForm1::BuildMainControls() {
    BuildItems();
    GetFromMap = Find<TMenuItem>("GetFromMap");
    if (GetFromMap) GetFromMap->setEnabled(false);
    if (auto* table = Find<TMenuItem>("NTablAsp")) ChartMenu->setDefaultAction(table);
    N54 = Find<TMenuItem>("N54");
    if (N54) {
        N54->setCheckable(true);
        N54->SetChecked(true);
    }

    PanTimer = Add<TTimer>("PanTimer");
    PanTimer->SetInterval(10);
    PanTimer->OnTimer = [this] {
        if (PanHeld) PanStep(HeldPan);
    };
    for (const char* pan : kPanNames)
        if (auto* panel = Find<TPanel>(pan)) {
            const std::string name = pan;
            panel->OnMouseDown = [this, name](MouseButton, Shift, int, int) { PanPress(name); };
            panel->OnMouseUp = [this](MouseButton, Shift, int, int) { PanRelease(); };
        }
    PrecessPanel->OnMouseDown = [this](MouseButton, Shift, int, int) { PrecessBtnClick(); };
    PrecessPanel->OnMouseMove = [this](Shift, int, int) { PrecessPanelMouseMove(); };
    Label1->OnMouseDown = [this](MouseButton, Shift, int, int) {
        MItemClick("Label1");
        ToggleRealTime();
    };
    GeoNameLabel->OnMouseDown = [this](MouseButton, Shift, int, int) {
        SetVisible(GeoNameLabel, false);
    };
    GeoNameLabel->OnMouseMove = [this](Shift, int x, int y) {
        if (!(y < 8 && GeoNameLabel->height() - x < 8)) SetVisible(GeoNameLabel, false);
    };

    PaintBox->OnPaint = [this](QPainter& painter) { PaintBoxPaint(painter); };
    PaintBox->OnMouseDown = [this](MouseButton b, Shift sh, int x, int y) {
        PaintBoxMouseDown(b, sh, x, y);
    };
    PaintBox->OnMouseMove = [this](Shift sh, int x, int y) { PaintBoxMouseMove(sh, x, y); };
    PaintBox->OnMouseUp = [this](MouseButton b, Shift sh, int x, int y) {
        PaintBoxMouseUp(b, sh, x, y);
    };
    PaintBox->OnDblClick = [this] {
        const ScreenHandler* screen = p_.Svc.ScreenOf(p_.Flags.ScreenMode);
        if (screen && screen->DblClick) screen->DblClick();
    };
    PaintBox->setMouseTracking(true);
    // A press held on a screen ends when the program loses the mouse (no release comes).
    QObject::connect(qApp, &QGuiApplication::applicationStateChanged, this,
                     [this](Qt::ApplicationState state) {
                         if (state == Qt::ApplicationActive) return;
                         const ScreenHandler* screen = p_.Svc.ScreenOf(p_.Flags.ScreenMode);
                         if (screen && screen->MouseLost) screen->MouseLost();
                     });

    OnKeyDown = [this](int& key, Shift sh) { FormKeyDown(key, sh); };
    OnResize = [this] { FormResize(); };
    RealTimer->OnTimer = [this] { RealTimerTimer(); };
    RealTimer->SetEnabled(true);
    PaintTimer->OnTimer = [this] { PaintTimerTimer(); };
    MainClockTick = [this] { MainClockTickRun(); };

    Link = std::make_unique<CommLink>(p_);
    p_.FormClasses.Register("ClipForm", [] { return new TClipForm; });
    // On a desktop the glides move the real pointer (where the platform lets a program).
    if (QGuiApplication::platformName() != "offscreen") Screen().Cursor().MoveReal = true;
    qApp->installEventFilter(
        new UseRecorder(this, [this](const std::string& name) { MItemClick(name); }));
}

// --- Screens --------------------------------------------------------------------------------

void TForm1::SwitchScreen(char mode) {
    AstroDat& s = p_.s;
    ShellFlags& f = p_.Flags;
    auto clear = [this](uint32_t bgr) {
        if (p_.BufBitmap) ClearBuffer(*p_.BufBitmap, Colour(bgr));
        SetColor(bgr);
        PaintBox->update();
    };
    switch (mode) {
    case 'W': {
        HelpContext = 200;
        if (TForm* data = Screen().FindForm("DataForm"))
            if (auto* e = data->Find<TEdit>("NameEdit")) s.ChartName = e->Text();
        if (p_.Tech) p_.Tech->SetMainTitle();
        f.ScreenMode = ' ';
        const ScreenHandler* wheel = p_.Svc.ScreenOf('W');
        clear(wheel && wheel->Background ? wheel->Background() : 0xFFFFFF);
        Delay(s, 100);
        p_.CalcCurrentAspects();
        f.ScreenMode = 'W';
        RedrawNatal();
        break;
    }
    case 'S':
        f.ScreenMode = ' ';
        clear(0);
        Delay(s, 100);
        f.ScreenMode = 'S';
        HelpContext = 300;
        p_.DrawScreen('S');
        break;
    case 'C':
        f.ScreenMode = ' ';
        clear(0);
        Delay(s, 100);
        f.ScreenMode = 'C';
        HelpContext = 400;
        p_.SetChecked("sky", "SunBox", false);
        p_.DrawScreen('C');
        break;
    case 'G':
        f.ScreenMode = ' ';
        clear(p_.Checked("GeoSet", "ConturBox") ? 0xFFFFFF : 0x804000);
        Delay(s, 10);
        f.ScreenMode = 'G';
        HelpContext = 500;
        p_.DrawScreen('G');
        break;
    case 'A':
        f.ScreenMode = ' ';
        clear(0xFFFFFF);
        Delay(s, 100);
        f.ScreenMode = 'A';
        HelpContext = 0;
        if (p_.Tech) p_.Tech->RefreshAll();
        break;
    case 'V':
        f.ScreenMode = 'V';
        SetColor(0xC0C0C0);
        PaintBox->update();
        break;
    default:
        break;
    }
}

void TForm1::RedrawNatal() {
    p_.DrawScreen('W');
}

void TForm1::RedrawScreen() {
    const char mode = p_.Flags.ScreenMode;
    if (mode == 'V')
        PaintBox->update();
    else
        p_.DrawScreen(mode);
}

std::string TForm1::HelpTopicOfScreen(char mode) {
    switch (mode) {
    case 'W':
        return "natal_chart.html";
    case 'S':
        return "cosmos.html";
    case 'C':
        return "celestial_sphere.html";
    case 'G':
        return "geographical_map.html";
    case 'A':
        return "stars_and_asteroids.html";
    case 'M':
        return "movement_of_planets.html";
    default:
        return {};
    }
}

void TForm1::ShowScreenHelp() {
    if (p_.Tech) p_.Tech->ShowHelpTopic(HelpTopicOfScreen(p_.Flags.ScreenMode));
}

// --- Keys -----------------------------------------------------------------------------------

void TForm1::FormKeyDown(int& key, Shift shift) {
    AstroDat& s = p_.s;
    if (key == vk::ShiftKey || key == vk::Control || key == vk::Menu) return;
    if (!KeysEnabled) return;
    KeysEnabled = false;
    struct Reenable {
        bool& on;
        ~Reenable() { on = true; }
    } reenable{KeysEnabled};
    const bool ctrl = shift & ssCtrl, alt = shift & ssAlt, sh = shift & ssShift;
    const char mode = p_.Flags.ScreenMode;

    if (key == vk::Escape) {
        for (TForm* w : Screen().Forms())
            if (w->isVisible() && w->Name() != "Form1") {
                w->Close();
                break;
            }
        return;
    }
    if (ctrl && alt && key == 'S') ShowDayInfo(p_);
    if (key == vk::F1) {
        ShowScreenHelp();
        return;
    }
    if (key == vk::F12) {
        const QPoint centre(width() / 2, height() / 2 + PaintBox->y());
        const ScreenHandler* screen = p_.Svc.ScreenOf(mode);
        if (screen && screen->SettingsKey) {
            screen->SettingsKey(centre.x(), centre.y());
        } else if (mode == 'W') {
            OpenToolWindow("KartForm");
        } else if (mode == 'C') {
            OpenToolWindow("sky");
        } else if (mode == 'G' || mode == 'S') {
            const QPoint at = mapToGlobal(centre);
            (mode == 'G' ? GeoMenu : OrbitesMenu)->Popup(at.x(), at.y());
        }
        return;
    }
    if (ctrl && !alt && key == 'T') {
        if (p_.Tech) p_.Tech->show();
        return;
    }
    if (ctrl && !alt && key == 'Z') {
        s.DatRec1 = s.DatRec1Applied;
        s.DatRec2 = s.DatRec2Applied;
        if (p_.Svc.DatRecToDataForm) p_.Svc.DatRecToDataForm();
        if (p_.Svc.DataFormToMoment)
            p_.Svc.DataFormToMoment();
        else
            UnpackDatRecToChart(s, s.DatRec1);
        if (p_.Tech) p_.Tech->RefreshAll();
        return;
    }
    if (alt && !ctrl && key == 'M') {
        OpenToolWindow("mStar");
        return;
    }
    if (alt && !ctrl && key == 'F') {
        auto* ed = Screen().Ensure("FontEd");
        if (ed && ed->ShowModal() == mrOk && p_.Tech) p_.Tech->RefreshAll();
        return;
    }
    if (alt && !ctrl && key == 'G') {
        p_.ReadOptions();
        CalcChart(s, p_.ChartOpt, p_.GeneralOpt, 0);
        RedrawNatal();
        return;
    }
    if (alt && !ctrl && key == 'P') {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        p_.Flags.StarsRecalc = true;
        if (p_.Tech) p_.Tech->RefreshAll();
        p_.Flags.StarsRecalc = false;
        QGuiApplication::restoreOverrideCursor();
        return;
    }
    if (ctrl && !alt && key == 'C') {
        RunItem("N80");
        return;
    }
    if (!ctrl && !alt && !sh)
        for (const KeyRow& row : kPlainKeys)
            if (row.key == key) {
                RunItem(row.item);
                return;
            }
    const ScreenHandler* screen = p_.Svc.ScreenOf(mode);
    if (screen && screen->NavKey) screen->NavKey(key, shift);
}

// --- Pan and zoom buttons -------------------------------------------------------------------

void TForm1::PanPress(const std::string& button) {
    MItemClick(button);
    PanHeld = true;
    HeldPan = button;
    PanStep(button);
    PanTimer->SetEnabled(true);
}

void TForm1::PanRelease() {
    PanHeld = false;
    PanTimer->SetEnabled(false);
}

void TForm1::PanStep(const std::string& button) {
    const ScreenHandler* screen = p_.Svc.ScreenOf(p_.Flags.ScreenMode);
    if (screen && screen->Pan) screen->Pan(button);
}

// --- Mouse ----------------------------------------------------------------------------------

QPoint TForm1::PaintBoxToScreen(int x, int y) const {
    return PaintBox->mapToGlobal(QPoint(x, y));
}

void TForm1::PaintBoxMouseDown(MouseButton b, Shift shift, int x, int y) {
    const char mode = p_.Flags.ScreenMode;
    if (mode == 'G' && b == MouseButton::Left) GeoDragging = true;
    PaintBoxButtonDown = true;
    const ScreenHandler* screen = p_.Svc.ScreenOf(mode);
    if (screen && screen->MouseDown) screen->MouseDown(b, shift, x, y);
}

void TForm1::PaintBoxMouseMove(Shift shift, int x, int y) {
    if (p_.Checked("GenSet", "ToolCheckBox") && !(shift & (ssLeft | ssRight | ssMiddle)))
        SetVisible(ToolPanel, y <= 27);
    const ScreenHandler* screen = p_.Svc.ScreenOf(p_.Flags.ScreenMode);
    if (screen && screen->MouseMove) screen->MouseMove(shift, x, y);
}

void TForm1::PaintBoxMouseUp(MouseButton b, Shift shift, int x, int y) {
    const ScreenHandler* screen = p_.Svc.ScreenOf(p_.Flags.ScreenMode);
    if (screen && screen->MouseUp) screen->MouseUp(b, shift, x, y);
    // a press begun on another screen (the screen changed meanwhile) ends too
    for (const auto& [mode, other] : p_.Svc.Screens)
        if (mode != p_.Flags.ScreenMode && other.MouseLost) other.MouseLost();
    GeoDragging = false;
    PaintBoxButtonDown = false;
}

// --- Layout ---------------------------------------------------------------------------------

void TForm1::FormResize(bool showSize) {
    if (!Started || !p_.Flags.Ready) return;
    AstroDat& s = p_.s;
    const int cw = Client()->width(), ch = Client()->height();
    ToolPanel->resize(std::max(cw - 8, 16), ToolPanel->height());
    const int top = ToolPanel->isVisible() ? ToolPanel->height() : 0;
    ui::SetBounds(PaintBox, 0, top, std::max(cw, 16), std::max(ch - top, 16));
    ui::SetBounds(GeoPanel, GeoPanel->x(), ch - GeoPanel->height() - 4, GeoPanel->width(),
                  GeoPanel->height());
    PlacePanButtons();
    if (p_.BufBitmap) {
        p_.BufBitmap->Resize(PaintBox->width(), PaintBox->height());
        ScrLeft = 0;
        ScrTop = 0;
        ScrWidth = p_.BufBitmap->Width() - 5;
        ScrHeight = p_.BufBitmap->Height();
    }
    if (showSize)
        SetStatus(s, std::to_string(PaintBox->width()) + "x" + std::to_string(PaintBox->height()));
    PaintTimer->SetEnabled(true);
}

} // namespace qor::shell
