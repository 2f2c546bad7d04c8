// The main window's periodic duties: the main tick (every 500 ms from the service form's
// clock), the real-time clock, the deferred repaint and the two small marks of the tool bar.
#include "shell/CommLink.h"
#include "shell/MainForm.h"
#include "shell/ShellWindows.h"
#include "shell/Tech.h"

#include "core/AstroMath.h"
#include "core/ChartMoment.h"
#include "core/ChartRecords.h"
#include "core/Formats.h"
#include "core/Strings.h"
#include "core/Text.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QTimeZone>

#include <chrono>
#include <cmath>

namespace qor::shell {

using namespace ui;

int TForm1::PrecessionMarkCode(long long arcsec) {
    if (arcsec <= 0) return 0;
    if (arcsec < 61) return 170;
    if (arcsec <= 1800) return 172;
    return 173;
}

double TForm1::PrecessionArcsec() const {
    if (!p_.Svc.StarsCalcT) return 0;
    return std::fabs(p_.s.ChartT - p_.Svc.StarsCalcT()) * 5024.2;
}

std::pair<std::string, std::string> TForm1::RealTimeTexts(long long utcSeconds, int zoneMinutes) {
    const QDateTime t = QDateTime::fromSecsSinceEpoch(utcSeconds + zoneMinutes * 60LL, Qt::UTC);
    return {t.toString("dd.MM.yyyy").toStdString(), t.toString("hh:mm:ss").toStdString()};
}

namespace {
// The tool-bar marks in a font every desktop has.
QString PrecessGlyph(int code) {
    switch (code) {
    case 170:
        return QString(QChar(0x00B7)); // a few arc-seconds
    case 172:
        return QString(QChar(0x2022)); // up to half a degree
    case 173:
        return QString(QChar(0x25CF)); // more
    default:
        return {};
    }
}
} // namespace

void TForm1::MainClockTickRun() {
    AstroDat& s = p_.s;
    ShellFlags& f = p_.Flags;
    FormScreen& scr = Screen();
    // 1. The start-up never finished: the files are damaged.
    if (!Started) {
        scr.Dlg().Message(MsgKind::Error, BuiltInMsgText(s, 1), MsgButtons::Ok);
        Close();
        return;
    }
    if (!f.Ready) return;
    // 3. A motion graph hidden while its screen is gone goes.
    if (f.ScreenMode != 'M')
        if (TForm* mov = scr.FindForm("MovPln"); mov && !mov->isVisible()) mov->deleteLater();
    // 4. First tick: painting starts, the start window.
    if (FirstTick) {
        PaintArmed = true;
        FormResize(false); // the screen fits the window as it was finally laid out
        const std::string prefer = Prefer->Text();
        if (prefer.size() >= 2 && prefer[1] == 'M')
            SetWindowState(WindowState::Maximized);
        else
            PaintTimerTimer();
        // The start window: the day summary, unless the own place asks for a check of the
        // computer's zone and the zones disagree; then the own place's window.
        if (!p_.Svc.CheckComputerZone || p_.Svc.CheckComputerZone())
            ShowDayInfo(p_);
        else
            OpenToolWindow("QorLoc");
    }
    // 5-6. The stepping windows move the source chart unless a double chart is shown.
    const bool doubleChart = p_.Checked("DataForm", "TwoButton");
    if ((scr.FindForm("Dinamic") || scr.FindForm("Loc")) && !doubleChart && !f.SourceData) {
        f.SourceData = true;
        if (p_.Svc.SetDynamicsCaptions) p_.Svc.SetDynamicsCaptions();
    }
    // 7-8. The command link, and what a script waits for.
    LinkTickRun();
    // 9. The start window goes once another window is used (not on the tick that opened it:
    // the desktop activates a new window only after it is shown).
    if (TForm* start = scr.FindForm("StartShow"); start && !FirstTick && !start->isActiveWindow())
        start->Close();
    // 10. A status text goes after 6 seconds unless it begins with a blank.
    {
        const std::string t = Trim(s.StatusText);
        if (!t.empty() && s.StatusText[0] != ' ' &&
            std::chrono::system_clock::now() - s.StatusStamp > std::chrono::seconds(6))
            SetStatus(s, "");
    }
    // 11. The precession mark.
    {
        const int code = PrecessionMarkCode(std::llround(PrecessionArcsec()));
        if (code != PrecessCode) {
            PrecessCode = code;
            PrecessPanel->setToolTip(QString());
            SetHint(PrecessPanel, GetMsgText(s, 153));
            PrecessPanel->SetCaption(std::string());
            PrecessMark->setText(PrecessGlyph(code));
            PrecessPanel->setStyleSheet(code ? "background: black; color: red;" : "");
        }
    }
    // 12. The map's coordinates panel.
    {
        const bool mapScreen = f.ScreenMode == 'A' || f.ScreenMode == 'G';
        if (!mapScreen && !GeoPanel->isHidden()) SetVisible(GeoPanel, false);
        if (mapScreen && GeoPanel->isHidden() && p_.Checked("GeoSet", "GeoCoordBox"))
            SetVisible(GeoPanel, true);
    }
    // 13. Pan and zoom buttons on the screens that move.
    {
        const bool pans = std::string("ACGS").find(f.ScreenMode) != std::string::npos;
        for (TPanel* p : {LeftPan, RightPan, UpPan, DownPan, PanIn, PanOut})
            if (p->isHidden() == pans) SetVisible(p, pans);
    }
    // 14. The title of the cosmos screen carries no place.
    if (p_.Tech && ((f.ScreenMode == 'S') == p_.Tech->TitleHasPlace)) p_.Tech->SetMainTitle();
    for (const auto& [name, duty] : p_.Svc.TickDuties)
        if (duty) duty();
    if (FirstTick && p_.Svc.LogUserLocation) p_.Svc.LogUserLocation();
    FirstTick = false;
}

void TForm1::LinkTickRun() {
    AstroDat& s = p_.s;
    if (Link) Link->PollMsgReceive();
    if (!ExpectedItem.empty() && !LastMenuItem.empty()) {
        SetStatus(s, LastMenuItem);
        if (LastMenuItem == ExpectedItem) {
            if (Link) Link->MsgWriteLine(MsgFile::Send, "EventOK");
        } else {
            PlayWav(s, "no.wav");
        }
        LastMenuItem.clear();
    }
}

void TForm1::RealTimerTimer() {
    AstroDat& s = p_.s;
    ShellFlags& f = p_.Flags;
    RealTimer->SetEnabled(false);
    struct Restart {
        TTimer* t;
        ~Restart() { t->SetEnabled(true); }
    } restart{RealTimer};
    if (!f.RealTimeMode && !f.DinamicRun && BlinkCode != 0 && !Label1->text().isEmpty()) {
        Label1->setText(QString());
        Panel2->setStyleSheet("");
    }
    if (!f.RealTimeMode || !f.Ready || GeoDragging) return;
    if (const ScreenHandler* screen = p_.Svc.ScreenOf(f.ScreenMode); screen && screen->Held)
        if (screen->Held()) return;
    AdvanceRunningMark();

    // The computer's moment, in the zone of the chart it sets.
    const long long now = QDateTime::currentSecsSinceEpoch();
    const bool doubleChart = p_.Checked("DataForm", "TwoButton");
    TForm* data = Screen().FindForm("DataForm");
    auto setEdits = [data](const std::string& date, const std::string& time) {
        if (!data) return;
        if (auto* e = data->Find<TEdit>("DateEdit")) e->SetText(date);
        if (auto* e = data->Find<TEdit>("TimeEdit")) e->SetText(time);
        // the computer's year is of the era, whatever chart the fields held before
        if (auto* era = data->Find<TCheckBox>("EraCheckBox")) era->SetChecked(false);
    };
    auto setMoment = [&s](const std::string& date, const std::string& time) {
        const auto d = ParseMomentDate(date);
        const auto t = ParseMomentTime(time);
        if (!d || !t) return;
        s.ChartDay = d->Day;
        s.ChartMonth = d->Month;
        s.ChartYear = d->Year;
        s.ChartHour = t->Hour;
        s.ChartMinute = t->Minute;
        s.ChartSecond = t->Second;
    };
    if (doubleChart) {
        // Real time moves the outer (background) chart.
        SwapCharts(s);
        const auto [date, time] = RealTimeTexts(now, s.ChartZone);
        setMoment(date, time);
        s.DatRec1[kRecDate] = date;
        s.DatRec1[kRecTime] = time;
        SwapCharts(s);
        if (p_.Tech) p_.Tech->RefreshAll();
        return;
    }
    const auto [date, time] = RealTimeTexts(now, s.ChartZone);
    setEdits(date, time);
    if (p_.Svc.ApplyData) {
        p_.Svc.ApplyData();
        return;
    }
    setMoment(date, time);
    s.DatRec1[kRecDate] = date;
    s.DatRec1[kRecTime] = time;
    s.DatRec1Applied = s.DatRec1;
    if (p_.Tech) p_.Tech->RefreshAll();
}

void TForm1::PaintTimerTimer() {
    PaintTimer->SetEnabled(false);
    if (!PaintArmed) return;
    RedrawScreen();
    if (PaintBox->isHidden()) SetVisible(PaintBox, true);
}

void TForm1::PaintBoxPaint(QPainter& painter) {
    if (p_.Flags.ScreenMode == 'V') {
        const QImage& tile = p_.BackTile;
        if (tile.isNull()) return;
        for (int y = 0; y < PaintBox->height(); y += tile.height())
            for (int x = 0; x < PaintBox->width(); x += tile.width()) painter.drawImage(x, y, tile);
        return;
    }
    if (p_.BufBitmap) FlipBuffer(*p_.BufBitmap, *PaintBox, painter);
}

void TForm1::PrecessBtnClick() {
    MItemClick("PrecessPanel");
    if (PrecessCode == 0) return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    p_.Flags.StarsRecalc = true;
    if (p_.Tech) p_.Tech->RefreshAll();
    p_.Flags.StarsRecalc = false;
    QGuiApplication::restoreOverrideCursor();
}

void TForm1::PrecessPanelMouseMove() {
    if (PrecessCode == 0) return;
    const std::string dms = FormatDMS(p_.s, PrecessionArcsec());
    std::string packed;
    for (char c : dms)
        if (c != ' ') packed += c;
    SetStatus(p_.s, GetMsgText(p_.s, 51, packed));
}

void TForm1::ToggleRealTime() {
    ShellFlags& f = p_.Flags;
    f.RealTimeMode = !f.RealTimeMode;
    f.DinamicRun = false;
    if (p_.Svc.StopTimeStepping) p_.Svc.StopTimeStepping();
}

void TForm1::AdvanceRunningMark() {
    Panel2->setStyleSheet("background: black; color: lime;");
    BlinkCode = BlinkCode == 220 ? 223 : 220;
    Label1->setText(QString(QChar(BlinkCode == 220 ? 0x2584 : 0x2580)));
}

} // namespace qor::shell
