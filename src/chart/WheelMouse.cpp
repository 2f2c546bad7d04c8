#include "chart/WheelMouse.h"

#include "chart/AspTablForm.h"
#include "chart/ChartWindows.h"
#include "chart/DegreeWindow.h"
#include "chart/ExctAspForm.h"
#include "chart/KartForm.h"
#include "chart/SabGrad.h"
#include "core/AstrClcs.h"
#include "core/AstroMath.h"
#include "core/BodyMotion.h"
#include "core/ChartMoment.h"
#include "core/ChartRecords.h"
#include "core/Formats.h"
#include "core/PointNames.h"
#include "core/Stepping.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "shell/MainForm.h"
#include "shell/Tech.h"

#include <algorithm>
#include <cmath>

namespace qor::chart {

using namespace ui;

// --- Geometry ---------------------------------------------------------------------------------

long long SquaredDistance(long long x1, long long y1, long long x2, long long y2) {
    // Screen coordinates are ints, so the differences fit; a distance beyond 2^30 pixels is
    // "far" and no square of it is taken.
    const long long dx = x1 - x2, dy = y1 - y2;
    constexpr long long kFar = 1LL << 30;
    if (dx > kFar || dx < -kFar || dy > kFar || dy < -kFar) return kFar * kFar * 4;
    return dx * dx + dy * dy;
}

namespace {

long long CentreDistance(const TKart& k, int x, int y) {
    return SquaredDistance(k.CentreX, k.CentreY, x, y);
}

bool OnCircle(long long d2, int r) {
    const long long r2 = static_cast<long long>(r) * r;
    return std::llabs(d2 - r2) < kRingTolerance;
}

// Angle reduced to (-pi, pi].
double ShortTurn(double a) {
    a = std::remainder(a, 2 * kPi);
    return a <= -kPi ? a + 2 * kPi : a;
}

} // namespace

bool OnZodiacRing(const TKart& k, int x, int y) {
    const long long d2 = CentreDistance(k, x, y);
    return d2 >= kCentreZone && OnCircle(d2, k.R4);
}

bool OnHouseRing(const TKart& k, bool doubleChart, int x, int y) {
    const long long d2 = CentreDistance(k, x, y);
    return OnCircle(d2, k.R2) || (doubleChart && OnCircle(d2, k.R3));
}

int RingAt(const TKart& k, bool doubleChart, int x, int y) {
    const long long d2 = CentreDistance(k, x, y);
    if (OnCircle(d2, k.R2)) return 1;
    if (doubleChart && OnCircle(d2, k.R3)) return 2;
    return 0;
}

std::optional<double> PointerAngle(const TKart& k, int x, int y) {
    if (CentreDistance(k, x, y) < kCentreZone) return std::nullopt;
    const double a =
        std::atan2(static_cast<double>(k.CentreY) - y, static_cast<double>(x) - k.CentreX);
    return NormAngle(a);
}

BodyPick PickChartBody(const NatalWheel& w, bool doubleChart, int exterrBody, int x, int y) {
    const auto search = [&](const TRing& ring, bool inner) {
        BodyPick pick;
        for (int i = w.KartFirstPln; i <= w.KartLastPln; ++i) {
            if (i < 1 || i > 26 || w.PointRow[i] == 0) continue;
            if (!FlagAt(ring.ExistingFlags, i, true) || i == exterrBody) continue;
            const RingEntry& e = ring.Entries[i];
            const int cx = e.X + ring.Offsets[i].DX, cy = e.Y + ring.Offsets[i].DY;
            if (SquaredDistance(x, y, cx, cy) >= 33) continue;
            pick.Point = i;
            pick.Inner = inner;
            // within sqrt(33) pixels, so the offsets are small
            pick.DX = static_cast<int>(static_cast<long long>(x) - cx);
            pick.DY = static_cast<int>(static_cast<long long>(y) - cy);
            return pick;
        }
        return pick;
    };
    BodyPick pick = search(w.KartWheel.Inner, true);
    if (pick.Point < 0 && doubleChart && w.KartSecondReady) pick = search(w.KartWheel.Outer, false);
    return pick;
}

// --- Time steps -------------------------------------------------------------------------------

std::optional<long long> RingDragSeconds(double last, double now, Shift shift) {
    const double delta = ShortTurn(last - now);
    const int fixed = (shift & ssShift) ? 1 : (shift & ssCtrl) ? 60 : (shift & ssAlt) ? 3600 : 0;
    if (fixed) {
        if (std::fabs(delta) <= 0.1) return std::nullopt;
        return delta > 0 ? fixed : -fixed;
    }
    return static_cast<long long>(RoundEven(delta * kRadToArcSec / 15));
}

std::optional<long long> BodyDragSeconds(double lonTarget, double lonBody, double speed) {
    double delta = ShortTurn(lonTarget - lonBody);
    if (delta == kPi) delta = -kPi; // [-pi, pi)
    if (std::fabs(delta) < 60 * kArcsecToRad) return std::nullopt;
    if (!std::isfinite(speed) || std::fabs(speed) < kMinDragSpeed) return std::nullopt;
    const double t = std::clamp(delta / speed * 86400.0, -static_cast<double>(kMaxDragStep),
                                static_cast<double>(kMaxDragStep));
    return static_cast<long long>(RoundEven(t));
}

long long LocalSeconds(int year, int month, int day, int hour, int minute, int second) {
    DateTimeRec midnight{};
    midnight.Year = year;
    midnight.Month = month;
    midnight.Day = day;
    // the Julian day of a midnight is a whole number and a half: the day count is exact
    const long long days = std::llround(JulianDayOf(midnight) + 0.5);
    return days * 86400 + hour * 3600LL + minute * 60LL + second;
}

long long StepWithinServedDates(const AstroDat& s, long long seconds) {
    const long long now = LocalSeconds(s.ChartYear, s.ChartMonth, s.ChartDay, s.ChartHour,
                                       s.ChartMinute, s.ChartSecond);
    const long long first = LocalSeconds(-9998, 1, 1, 0, 0, 0);
    const long long last = LocalSeconds(9999, 12, 31, 23, 59, 59);
    return std::clamp(seconds, std::min(0LL, first - now), std::max(0LL, last - now));
}

// --- The mouse --------------------------------------------------------------------------------

WheelMouse::WheelMouse(shell::Program& p, std::shared_ptr<NatalWheel> wheel)
    : p_(p), w_(std::move(wheel)) {}

bool WheelMouse::Active() const {
    if (p_.Flags.ScreenMode != 'W' || !w_ || !w_->KartReady) return false;
    const TKartForm* kart = KartFormOf();
    return kart && kart->WheelBox->Checked();
}

bool WheelMouse::Held() const {
    return ChartHold || RingDrag != 0 || DragTimeBody > 0;
}

bool WheelMouse::DoubleAcross() const {
    const TKartForm* kart = KartFormOf();
    return p_.Flags.DoubleChart && kart && kart->Options().AspectingMode != 'I';
}

bool WheelMouse::MethodAcross() const {
    return DoubleAcross() && p_.s.DynMethod != ' ';
}

void WheelMouse::SetCursor(int shape) {
    if (!p_.Form1) return;
    if (shape < 0)
        p_.Form1->PaintBox->unsetCursor();
    else
        p_.Form1->PaintBox->setCursor(static_cast<Qt::CursorShape>(shape));
}

void WheelMouse::Show() {
    if (p_.Form1) p_.Form1->PaintBox->update();
}

void WheelMouse::Missing(const std::string& window) {
    SetStatus(p_.s, shell::WindowMissingText(p_.s, window));
}

std::string WheelMouse::SpotCodeAt(int x, int y) const {
    for (const std::string& line : w_->KartSpots) {
        std::string rest = line;
        const int sx = StrToIntDef0(NextField(rest, ';'));
        const int sy = StrToIntDef0(NextField(rest, ';'));
        if (std::abs(static_cast<long long>(sx) - x) >= 5 ||
            std::abs(static_cast<long long>(sy) - y) >= 5)
            continue;
        // the shown text, then the object's code (the hint reads the first such spot)
        const std::size_t c = rest.find(';');
        return c == std::string::npos ? std::string() : rest.substr(c + 1);
    }
    return {};
}

// --- Hover and the buttons --------------------------------------------------------------------

void WheelMouse::MouseMove(Shift shift, int x, int y) {
    lastX_ = x;
    lastY_ = y;
    if (shift & ssLeft) {
        if (!Active() || ChartHold) return;
        if (DragTimeBody > 0)
            DragBodyTime(x, y, DragTimeBody);
        else if (RingDrag != 0)
            DragChartTime(x, y, shift);
        else
            ChartClick(x, y, true);
        return;
    }
    // A move without the button while a press is still open: its release went elsewhere.
    if (Held() || MarkerDrawn) MouseLost();
    TKartForm* kart = KartFormOf();
    if (kart && kart->ShowChartHint(x, y)) return;
    const bool active = Active();
    if (active && PickChartBody(*w_, p_.Flags.DoubleChart, p_.Flags.ExterrBody, x, y).Point > 0) {
        SetCursor(Qt::PointingHandCursor);
        return;
    }
    if (w_->DropPendingNote() && !p_.Flags.DinamicRun) p_.DrawScreen('W');
    if (!active) return;
    const TKart& k = w_->KartWheel;
    if (OnHouseRing(k, p_.Flags.DoubleChart, x, y))
        SetCursor(Qt::SizeHorCursor);
    else if (OnZodiacRing(k, x, y))
        SetCursor(Qt::DragMoveCursor);
    else
        SetCursor(-1);
}

void WheelMouse::MouseDown(MouseButton b, Shift shift, int x, int y) {
    lastX_ = x;
    lastY_ = y;
    if (!Active()) {
        SetCursor(-1);
        return;
    }
    if (b != MouseButton::Left) return;
    DragChartTime(x, y, shift);
    const BodyPick pick = PickChartBody(*w_, p_.Flags.DoubleChart, p_.Flags.ExterrBody, x, y);
    if (pick.Point > 0) {
        PickDX = pick.DX;
        PickDY = pick.DY;
        w_->KartHeldStart = w_->KartStartAngle;
        PickInner = pick.Inner;
    }
    const bool keys = (shift & (ssShift | ssCtrl | ssAlt)) != 0;
    if (!keys && pick.Point > 0 && (pick.Point <= 2 || p_.Flags.HelioMode)) {
        SetStatus(p_.s, GetMsgText(p_.s, pick.Inner ? 2 : 3));
        if (p_.Form1) SetVisible(p_.Form1->GeoNameLabel, false);
        DragTimeBody = pick.Point;
        SetCursor(Qt::SizeHorCursor);
    } else if (RingDrag == 0) {
        const std::string code = SpotCodeAt(x, y);
        if (code.size() == 6 && code[0] != '*') {
            if (!MethodAcross())
                if (auto* w = Screen().Ensure<TExctAsp>("ExctAsp")) w->ExctAspOpen(code);
        } else {
            DrawDegreePointer(x, y);
        }
    }
    MarkerDrawn = false;
    MarkerX = MarkerY = 0;
    ChartClick(x, y, true);
}

void WheelMouse::MouseUp(MouseButton b, Shift, int x, int y) {
    lastX_ = x;
    lastY_ = y;
    if (b == MouseButton::Left) {
        EndPress(x, y, Active());
        return;
    }
    if (b == MouseButton::Right && Active()) RightClick(x, y);
}

void WheelMouse::MouseLost() {
    EndPress(lastX_, lastY_, Active());
}

void WheelMouse::EndPress(int x, int y, bool onWheel) {
    if (RingDrag != 0) {
        SetStatus(p_.s, "");
        RingDrag = 0;
    }
    ringStarted_ = false;
    if (ChartHold) {
        ChartHold = false;
    } else if (DragTimeBody > 0) {
        SetStatus(p_.s, "");
        DragTimeBody = 0;
    } else if (MarkerDrawn && onWheel) {
        ChartClick(x, y, false);
    } else if (MarkerDrawn) {
        // the bitmap shows another screen by now: only the window goes
        MarkerDrawn = false;
        MarkerX = MarkerY = 0;
        if (ui::TForm* sab = Screen().FindForm("Sabian")) sab->Close();
    }
    // the redraw takes the protractor away and turns the wheel back after a body drag
    if (onWheel) p_.DrawScreen('W');
}

void WheelMouse::DblClick() {
    if (!Active()) return;
    const int x = lastX_, y = lastY_;
    const std::string code = SpotCodeAt(x, y);
    int point = -1;
    bool inner = true;
    if (code.size() == 3 && code[0] != '*' && code[0] != 'p') {
        point = StrToIntDef0(code.substr(0, 2)) + 26;
        inner = code[2] == '0';
    } else {
        const BodyPick pick = PickChartBody(*w_, p_.Flags.DoubleChart, p_.Flags.ExterrBody, x, y);
        point = pick.Point;
        inner = pick.Inner;
    }
    if (point < 1 || point > 48) return;
    PickInner = inner;
    if (AspTableAllowed(point, inner)) ShowAspTable(p_, point, inner);
}

bool WheelMouse::AspTableAllowed(int point, bool inner) const {
    const TKartForm* kart = KartFormOf();
    if (!kart) return false;
    const bool flag = point >= 1 && point <= 26 ? FlagAt(kart->TablAsp->Text(), point, false)
                      : point >= 27 && point <= 48
                          ? FlagAt(kart->DomTablAsp->Text(), point - 26, false)
                          : false;
    if (!flag) return false;
    if (!p_.Flags.DoubleChart) return true;
    const char mode = kart->Options().AspectingMode;
    if (inner && mode == 'O') return false;
    if (!inner && mode == 'I') return false;
    return true;
}

// --- Drags ------------------------------------------------------------------------------------

void WheelMouse::MoveChartSeconds(bool outer, long long seconds) {
    AstroDat& s = p_.s;
    shell::TTech* tech = p_.Tech;
    if (tech) tech->SetDynamicsSource(!outer);
    if (outer) {
        // both records must read, or the exchange back could not be made
        if (!ParseChartMoment(s, s.DatRec2) || !ParseChartMoment(s, s.DatRec1)) return;
        if (!SwapCharts(s)) return;
    }
    seconds = StepWithinServedDates(s, seconds);
    StepSeconds(s, seconds);
    if (p_.Svc.MomentToDataForm) p_.Svc.MomentToDataForm();
    if (p_.Svc.MomentToDatRec) p_.Svc.MomentToDatRec();
    if (outer) SwapCharts(s);
    if (tech) tech->RefreshAll();
}

void WheelMouse::DragChartTime(int x, int y, Shift shift) {
    if (!p_.Flags.ProgramIdle) return;
    const TKart& k = w_->KartWheel;
    if (RingDrag == 0) {
        RingDrag = RingAt(k, p_.Flags.DoubleChart && w_->KartSecondReady, x, y);
        if (RingDrag == 0) return;
        SetStatus(p_.s, GetMsgText(p_.s, RingDrag == 1 ? 27 : 28));
        ringStarted_ = false;
    }
    const std::optional<double> a = PointerAngle(k, x, y);
    if (!a) return;
    if (!ringStarted_) {
        ringStarted_ = true;
        LastRingAngle = *a;
        return;
    }
    const std::optional<long long> sec = RingDragSeconds(LastRingAngle, *a, shift);
    if (!sec) return; // a fixed step waits for a turn of 0.1 radian
    LastRingAngle = *a;
    if (*sec != 0) MoveChartSeconds(RingDrag == 2, *sec);
}

bool WheelMouse::DragBodyToLongitude(int point, bool inner, double lon) {
    if (point < 1 || point > 26) return false;
    const AstroDat& s = p_.s;
    const double body = inner ? s.PlanetLon[point] : s.PlanetLonBck[point];
    const double speed = inner ? s.PlanetSpeed[point] : s.PlanetSpeedBck[point];
    const std::optional<long long> t = BodyDragSeconds(lon, body, speed);
    if (!t || *t == 0) return false;
    MoveChartSeconds(!inner, *t);
    return true;
}

bool WheelMouse::DragBodyTime(int x, int y, int point) {
    const TKart& k = w_->KartWheel;
    const long long px = static_cast<long long>(x) - PickDX,
                    py = static_cast<long long>(y) - PickDY;
    if (SquaredDistance(px, py, k.CentreX, k.CentreY) < kCentreZone) return false;
    const double lon =
        PointerLongitude(static_cast<double>(px - k.CentreX), static_cast<double>(k.CentreY - py),
                         w_->KartStartAngle, w_->KartCounterClock);
    return DragBodyToLongitude(point, PickInner, lon);
}

// --- Protractor and marker --------------------------------------------------------------------

void WheelMouse::DrawDegreePointer(int x, int y) {
    if (ChartHold || !p_.BufBitmap) return;
    const TKart& k = w_->KartWheel;
    const long long d2 = SquaredDistance(x, y, k.CentreX, k.CentreY);
    if (d2 >= static_cast<long long>(k.R1) * k.R1) return;
    const std::optional<double> start = PointerAngle(k, x, y);
    const double a0 = start.value_or(0);
    OffscreenBitmap& b = *p_.BufBitmap;
    Canvas& cv = b.canvas();
    cv.SetPenColor(w_->KartInnerColor);
    BufFillWith(b, k.CentreX, k.CentreY, k.R1 - 4, BrushStyle::Solid, w_->KartPaperColor);
    for (int deg = 0; deg < 360; ++deg) {
        const double a = a0 + deg * kDegToRad;
        if (deg % 2 == 0) {
            const int inner = deg % 10 == 0 ? k.R1 - 14 : k.R1 - 8;
            const QPoint p1 = w_->PointAt(inner, a), p2 = w_->PointAt(k.R1 - 4, a);
            BufLine(b, p1.x(), p1.y(), p2.x(), p2.y());
        }
        if (deg % 20 == 0) {
            const std::string label = std::to_string(deg <= 180 ? deg : 360 - deg);
            const QPoint c = w_->PointAt(k.R1 - 24, a);
            BufTextOut(b, c.x() - cv.TextWidth(label) / 2, c.y() - cv.TextHeight(label) / 2, label,
                       w_->KartInnerColor);
        }
    }
    ChartHold = true;
    Show();
}

void WheelMouse::MarkerLine(int ex, int ey) {
    if (!p_.BufBitmap) return;
    Canvas& cv = p_.BufBitmap->canvas();
    const PenMode mode = cv.GetPenMode();
    const Colour colour = cv.PenColor();
    cv.SetPenColor(0xFF0000); // blue ($00BBGGRR)
    cv.SetPenMode(PenMode::NotXor);
    BufLine(*p_.BufBitmap, w_->KartWheel.CentreX, w_->KartWheel.CentreY, ex, ey);
    cv.SetPenMode(mode);
    cv.SetPenColor(colour);
}

void WheelMouse::ChartClick(int x, int y, bool down) {
    const TKart& k = w_->KartWheel;
    const long long d2 = SquaredDistance(x, y, k.CentreX, k.CentreY);
    if (d2 < kCentreZone) return;
    if (!MarkerDrawn && !OnZodiacRing(k, x, y)) return;
    if (MarkerDrawn) {
        MarkerLine(MarkerX, MarkerY);
        MarkerDrawn = false;
    }
    if (down) {
        const double d = std::sqrt(static_cast<double>(d2));
        const double r = std::max(d, static_cast<double>(k.R4));
        const double dx = static_cast<double>(x) - k.CentreX,
                     dy = static_cast<double>(y) - k.CentreY;
        MarkerX = k.CentreX + static_cast<int>(RoundEven(dx * r / d));
        MarkerY = k.CentreY + static_cast<int>(RoundEven(dy * r / d));
        MarkerLine(MarkerX, MarkerY);
        MarkerDrawn = true;
        ShowDegreeWindow(p_, dx, -dy);
    } else {
        if (ui::TForm* sab = Screen().FindForm("Sabian")) sab->Close();
        MarkerX = MarkerY = 0;
    }
    Show();
}

// --- Right click and the menus ----------------------------------------------------------------

void WheelMouse::PopupAt(TPopupMenu* menu, int x, int y) {
    if (!menu || !p_.Form1) return;
    // a script's command never waits on an open menu
    if (p_.Flags.LinkCommand) return;
    const QPoint at = p_.Form1->PaintBoxToScreen(x, y);
    menu->Popup(at.x(), at.y());
}

void WheelMouse::RightClick(int x, int y) {
    const std::string code = SpotCodeAt(x, y);
    shell::Services& svc = p_.Svc;
    if (code.size() >= 2 && code[0] == '*') {
        const bool deep = code.size() >= 3 && code[1] == '*';
        const int n = StrToIntDef0(code.substr(deep ? 2 : 1));
        const auto& show = deep ? svc.IntDeepSkyText : svc.IntStarText;
        if (show)
            show(n);
        else
            Missing("Interp");
        return;
    }
    if (code.size() == 3 && code[0] != 'p') {
        ClickedIndex = StrToIntDef0(code.substr(0, 2)) + 26;
        PickInner = code[2] == '0';
        ChartMenuPopup();
        if (p_.Form1) PopupAt(p_.Form1->ChartMenu, x, y);
        return;
    }
    if (code.size() == 2) {
        ClickedIndex = StrToIntDef0(code);
        ChartZnakMenuPopup();
        if (p_.Form1) PopupAt(p_.Form1->ChartZnakMenu, x, y);
        return;
    }
    if (code.size() == 6) {
        if (DoubleAcross()) return;
        p_.Flags.InterpPoint = 0;
        if (svc.IntAspectText)
            svc.IntAspectText(StrToIntDef0(code.substr(0, 2)), StrToIntDef0(code.substr(4, 2)));
        else
            Missing("Interp");
        return;
    }
    const BodyPick pick = PickChartBody(*w_, p_.Flags.DoubleChart, p_.Flags.ExterrBody, x, y);
    if (pick.Point < 0) {
        if (p_.Form1) p_.Form1->OpenToolWindow("KartForm");
        return;
    }
    ClickedIndex = pick.Point;
    PickInner = pick.Inner;
    ChartMenuPopup();
    if (p_.Form1) PopupAt(p_.Form1->ChartMenu, x, y);
}

namespace {

TMenuItem* Item(shell::Program& p, const char* name) {
    return p.Form1 ? p.Form1->Find<TMenuItem>(name) : nullptr;
}

} // namespace

void WheelMouse::ChartMenuPopup() {
    AstroDat& s = p_.s;
    const TKartForm* kart = KartFormOf();
    if (!kart || !p_.Form1) return;
    const KartOptions o = kart->Options();
    const int i = ClickedIndex;
    if (i < 1 || i > 40) return;
    const bool inner = PickInner, helio = p_.Flags.HelioMode;
    const bool dbl = p_.Flags.DoubleChart && w_->KartSecondReady;
    const NamesAs words(s, false, false);
    const auto name = [&](int n) { return PointName(s, n, helio, p_.Svc.BodyTableName); };

    if (TMenuItem* item = Item(p_, "NPlnName")) {
        const double lon = inner ? s.PlanetLonSaved[i] : s.PlanetLonSavedBck[i];
        item->SetCaption(name(i) + "  " + FormatZodiacDMS(s, lon * kRadToArcSec));
    }
    if (TMenuItem* vel = Item(p_, "Vel")) {
        const bool hidden = !inner && dbl && s.DynMethod != ' ' && o.AspectingMode != 'I';
        vel->setVisible(!hidden);
        const double v = inner ? s.PlanetSpeed[i] : s.PlanetSpeedBck[i]; // radians a day
        std::string text;
        if (i > s.NExtra + 14)
            text = "V:" + Trim(FormatDMS(s, v / 24 / 60 * kRadToArcSec)) +
                   Lang(s, " в минуту"_cp, " / minute");
        else
            text = "V:" + Trim(FormatDMS(s, v * kRadToArcSec)) + Lang(s, " в день"_cp, " / day");
        if (i >= 1 && i <= 10) {
            const double max = StrToAngle(MaxSpeedText(i));
            if (max > 0)
                text += "  (" + Trim(FloatToStrComma(8, 1, std::fabs(v) / max * 100)) + "%)";
        }
        vel->SetCaption(text);
    }
    if (TMenuItem* table = Item(p_, "NTablAsp")) table->setEnabled(AspTableAllowed(i, inner));
    if (TMenuItem* data = Item(p_, "NAstroData")) data->setEnabled(inner && i <= s.NExtra + 14);

    // The aspects of the point with the points shown and the cusps.
    for (int k = 1; k <= 9; ++k) {
        AspCodes[k].clear();
        if (TMenuItem* a = Item(p_, ("a" + std::to_string(k)).c_str())) a->setVisible(false);
    }
    const char mode = dbl ? o.AspectingMode : 'I';
    // Longitudes of the row and the column point: across the charts the row is inner.
    const PointArray& rowLon = mode == 'O' ? s.PlanetLonBck : s.PlanetLon;
    const PointArray& colLon = mode == 'I' ? s.PlanetLon : s.PlanetLonBck;
    const TRing& partnerRing = mode == 'I' ? w_->KartWheel.Inner : w_->KartWheel.Outer;
    int found = 0;
    for (int j = 1; j <= 38 && found < 9; ++j) {
        if (j <= 26) {
            if (j > w_->KartLastPln || w_->PointRow[j] == 0 || !FlagAt(o.Existing, j, true))
                continue;
            if (!FlagAt(partnerRing.ExistingFlags, j, true)) continue;
        } else {
            if (!o.HouseShown(j - 26) || helio) continue;
        }
        if ((i == 11 && j == 12) || (i == 12 && j == 11)) continue;
        const int row = inner ? i : j, col = inner ? j : i;
        if (mode == 'I' && row == col) continue;
        const int asp = p_.Aspects.AspMatrix[row][col];
        if (asp < 1 || asp > p_.AspTable.AspCount) continue;
        ++found;
        const AspDef& def = p_.AspTable.Asp[asp];
        AspCodes[found] = IntToStrZ(row, 2) + IntToStrZ(asp, 2) + IntToStrZ(col, 2);
        double x = std::fabs(ShortTurn(rowLon[row] - colLon[col]));
        if (o.OrbBox) x = std::fabs(ShortTurn(def.AspAngle - x));
        const bool applying = p_.Aspects.AspApplying[row][col] != 0;
        std::string aspName = def.AspName.substr(0, 16);
        aspName = AspectDisplayName(s, Trim(aspName));
        const std::string caption = aspName + " " + name(row) + "-" + name(col) + "  " +
                                    (applying ? ">" : "<") + Trim(FormatDMS(s, x * kRadToArcSec)) +
                                    (applying ? "<" : ">");
        if (TMenuItem* a = Item(p_, ("a" + std::to_string(found)).c_str())) {
            a->SetCaption(caption);
            a->setVisible(true);
        }
    }

    if (TMenuItem* pic = Item(p_, "Npicture"))
        pic->setEnabled(i < 15 && p_.Tech &&
                        p_.Tech->FindPictureFile("Planet" + std::to_string(i)));
    if (TMenuItem* movie = Item(p_, "MoonMovie")) movie->setVisible(i == 2);
}

void WheelMouse::ChartZnakMenuPopup() {
    AstroDat& s = p_.s;
    if (!p_.Form1) return;
    SetVisible(p_.Form1->GeoNameLabel, false);
    if (ClickedIndex < 1 || ClickedIndex > 12) return;
    const bool english = s.EnglishMode;
    s.EnglishMode = true;
    const std::string sign = Trim(SignNameWord(s, ClickedIndex));
    s.EnglishMode = english;
    if (TMenuItem* pic = Item(p_, "N56"))
        pic->setEnabled(p_.Tech && p_.Tech->FindPictureFile(sign));
}

void WheelMouse::NTablAspClick() {
    if (ClickedIndex >= 0) ShowAspTable(p_, ClickedIndex, PickInner);
}

void WheelMouse::NAspect(int k) {
    if (k < 1 || k > 9 || AspCodes[k].empty()) return;
    if (MethodAcross()) return;
    if (auto* w = Screen().Ensure<TExctAsp>("ExctAsp")) w->ExctAspOpen(AspCodes[k]);
}

void WheelMouse::N57Click() {
    p_.Flags.InterpPoint = ClickedIndex;
    if (p_.Svc.N57Click)
        p_.Svc.N57Click(ClickedIndex);
    else
        Missing("Interp");
}

void WheelMouse::NpictureClick() {
    p_.Flags.RealTimeMode = false;
    if (p_.Tech) p_.Tech->StopDynamics();
    if (p_.Form1) p_.Form1->OpenToolWindow("Picture");
}

void WheelMouse::MoonMovieClick() {
    p_.Flags.RealTimeMode = false;
    if (p_.Tech) p_.Tech->StopDynamics();
    if (p_.Svc.MoonMovie)
        p_.Svc.MoonMovie();
    else
        Missing("Picture");
}

void WheelMouse::NAstroDataClick() {
    if (p_.Svc.ShowPlanetInfo)
        p_.Svc.ShowPlanetInfo(ClickedIndex);
    else
        Missing("PlnForm");
}

void WheelMouse::N55Click() {
    if (p_.Svc.IntSignText)
        p_.Svc.IntSignText(ClickedIndex);
    else
        Missing("Interp");
}

void WheelMouse::N56Click() {
    NpictureClick();
}

// --- Registration -----------------------------------------------------------------------------

WheelMouse& RegisterWheelMouse(shell::Program& p, std::shared_ptr<NatalWheel> wheel) {
    WheelMouse& m = p.Own<WheelMouse>(p, wheel);
    shell::ScreenHandler& screen = p.Svc.Screens['W'];
    screen.MouseMove = [&m](Shift sh, int x, int y) { m.MouseMove(sh, x, y); };
    screen.MouseDown = [&m](MouseButton b, Shift sh, int x, int y) { m.MouseDown(b, sh, x, y); };
    screen.MouseUp = [&m](MouseButton b, Shift sh, int x, int y) { m.MouseUp(b, sh, x, y); };
    screen.DblClick = [&m] { m.DblClick(); };
    screen.Held = [&m] { return m.Held(); };
    screen.MouseLost = [&m] { m.MouseLost(); };
    auto& act = p.Svc.MenuActions;
    act["NTablAsp"] = [&m] { m.NTablAspClick(); };
    for (int k = 1; k <= 9; ++k) act["a" + std::to_string(k)] = [&m, k] { m.NAspect(k); };
    act["N57"] = [&m] { m.N57Click(); };
    act["Npicture"] = [&m] { m.NpictureClick(); };
    act["MoonMovie"] = [&m] { m.MoonMovieClick(); };
    act["NAstroData"] = [&m] { m.NAstroDataClick(); };
    act["N55"] = [&m] { m.N55Click(); };
    act["N56"] = [&m] { m.N56Click(); };
    act["NPlnName"] = [] {};
    act["Vel"] = [] {};
    return m;
}

} // namespace qor::chart
