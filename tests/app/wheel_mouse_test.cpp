// The mouse on the natal wheel of the started program, through the paint box's command paths:
// the ring turned through time (inner and outer chart), the Sun and the Moon dragged (against
// python3-ephem's equinox and new moon and Meeus' example 49.a), the chart menus and the
// actions each hot spot's right click reaches.
#include "MainWindowFixture.h"

#include "chart/AspTablForm.h"
#include "chart/ExctAspForm.h"
#include "chart/KartForm.h"
#include "chart/WheelMouse.h"
#include "core/AstroMath.h"
#include "core/ChartMoment.h"
#include "core/ChartRecords.h"
#include "core/Formats.h"
#include "core/PointNames.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "shell/CommLink.h"

#include <cmath>
#include <functional>
#include <optional>

namespace qor::shell {
namespace {

const std::string kGreenwich = ";+00:00;51\xB0"
                               "29'N; 0\xB0"
                               "00'E;Greenwich;UK";

// Seconds of a record's local moment from the Julian day's origin.
long long MomentSeconds(const AstroDat& s, const DatRec& rec) {
    const MomentParse m = ParseChartMoment(s, rec);
    if (!m) return 0;
    const ChartMoment& c = *m.Moment;
    return chart::LocalSeconds(c.Year, c.Month, c.Day, c.Hour, c.Minute, c.Second);
}
long long UtSeconds(int y, int mo, int d, int h, int mi, int sec) {
    return chart::LocalSeconds(y, mo, d, h, mi, sec);
}

class WheelMouseTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        form1->resize(1000, 700);
        form1->FormResize(false);
        SetChart("15.06.1990;14:30:00");
    }
    void SetChart(const std::string& dateTime, const std::string& second = {}) {
        form1->Link->ExecMsgCommand("SetData;Test;M;" + dateTime + kGreenwich + second);
        program->Flags.RealTimeMode = false;
        form1->SwitchScreen('W');
        ASSERT_TRUE(Mouse().Active());
    }
    // A double chart of the method in the birth-data window's list (0 transit).
    void MakeDouble(int method = 0) {
        form1->OpenToolWindow("DataForm");
        program->Commands.RunUICommand("DataForm,TwoButton", "");
        if (auto* combo = Screen().FindForm("DataForm")->Find<TComboBox>("ComboBox"))
            combo->SetItemIndex(method);
        program->Commands.RunUICommand("DataForm,OKBtn", "");
        program->Flags.RealTimeMode = false;
        form1->RedrawNatal();
        ASSERT_TRUE(program->Flags.DoubleChart);
        ASSERT_TRUE(Mouse().Wheel().KartSecondReady);
    }
    chart::WheelMouse& Mouse() { return *program->Find<chart::WheelMouse>(); }
    const chart::TKart& Geometry() { return Mouse().Wheel().KartWheel; }
    void Send(const std::string& action, int x, int y, const std::string& shift = "ssLeft") {
        std::string cmd = action;
        if (action != "MouseMove") cmd += ",mbLeft";
        program->Commands.RunUICommand("Form1,PaintBox", cmd + "," + shift + "," +
                                                             std::to_string(x) + "," +
                                                             std::to_string(y));
    }
    // A spot of the last drawing by its code's test, its point.
    std::optional<QPoint> SpotWhere(const std::function<bool(const std::string&)>& wanted) {
        for (const std::string& line : Mouse().Wheel().KartSpots) {
            std::string rest = line;
            const int x = StrToIntDef0(NextField(rest, ';'));
            const int y = StrToIntDef0(NextField(rest, ';'));
            const std::size_t c = rest.find(';');
            const std::string code = c == std::string::npos ? "" : rest.substr(c + 1);
            if (wanted(code) && Mouse().SpotCodeAt(x, y) == code) return QPoint(x, y);
        }
        return std::nullopt;
    }
    // No spot of the last drawing within 6 pixels of the point.
    bool Clear(QPoint p) {
        for (const std::string& line : Mouse().Wheel().KartSpots) {
            std::string rest = line;
            const int x = StrToIntDef0(NextField(rest, ';'));
            const int y = StrToIntDef0(NextField(rest, ';'));
            if (std::abs(x - p.x()) < 6 && std::abs(y - p.y()) < 6) return false;
        }
        return true;
    }
    // The point on the circle of radius r at the screen angle a (y up).
    QPoint On(int r, double a) {
        const chart::TKart& k = Geometry();
        return QPoint(k.CentreX + static_cast<int>(std::lround(r * std::cos(a))),
                      k.CentreY - static_cast<int>(std::lround(r * std::sin(a))));
    }
    long long First() { return MomentSeconds(program->s, program->s.DatRec1); }
    long long Second() { return MomentSeconds(program->s, program->s.DatRec2); }
    // Turns a ring from a1 to a2 in one move; the seconds the first chart moved.
    long long Turn(int r, double a1, double a2, const std::string& keys = "") {
        const long long before = First();
        const QPoint p1 = On(r, a1), p2 = On(r, a2);
        Send("MouseDown", p1.x(), p1.y(), "ssLeft" + keys);
        Send("MouseMove", p2.x(), p2.y(), "ssLeft" + keys);
        Send("MouseUp", p2.x(), p2.y(), keys);
        return First() - before;
    }
};

TEST_F(WheelMouseTest, TheInnerRingTurnsTheChartThroughTime) {
    const int r2 = Geometry().R2;
    EXPECT_EQ(Turn(r2, kPi / 2, 0), 21600) << "a quarter turn clockwise";
    EXPECT_EQ(program->s.DatRec1[kRecTime], "20:30:00");
    EXPECT_EQ(Turn(r2, 0, kPi / 2), -21600) << "a quarter turn anticlockwise";
    EXPECT_EQ(Turn(r2, kPi, kPi / 2), 21600) << "from 9 to 12 o'clock";
    // 20 degrees clockwise across 3 o'clock: the points at +dy and -dy are symmetric
    const chart::TKart& k = Geometry();
    const int dx = static_cast<int>(std::lround(r2 * std::cos(10 * kDegToRad)));
    const int dy = static_cast<int>(std::lround(r2 * std::sin(10 * kDegToRad)));
    const long long before = First();
    Send("MouseDown", k.CentreX + dx, k.CentreY - dy);
    Send("MouseMove", k.CentreX + dx, k.CentreY + dy);
    Send("MouseUp", k.CentreX + dx, k.CentreY + dy, "");
    const double turn = 2 * std::atan2(dy, dx);
    EXPECT_EQ(First() - before, std::llround(turn * kRadToArcSec / 15));
    EXPECT_NEAR(static_cast<double>(First() - before), 4800, 100); // not a day
    // the drag said what it does while it ran, and is over
    EXPECT_FALSE(program->Svc.Screens['W'].Held());
    EXPECT_EQ(Mouse().RingDrag, 0);
}

TEST_F(WheelMouseTest, FixedStepsWithShiftCtrlAlt) {
    const int r2 = Geometry().R2;
    struct Case {
        const char* keys;
        double turn;
        long long seconds;
    };
    const Case cases[] = {{" ssShift", 0.3, 1},    {" ssShift", -0.3, -1}, {" ssCtrl", 0.3, 60},
                          {" ssAlt", -0.3, -3600}, {" ssCtrl", 0.05, 0},   {" ssAlt", 0.09, 0}};
    for (const Case& c : cases) EXPECT_EQ(Turn(r2, 1.0, 1.0 - c.turn, c.keys), c.seconds) << c.keys;
    // a slow drag steps once per 0.1 radian
    const long long before = First();
    QPoint p = On(r2, 2.0);
    Send("MouseDown", p.x(), p.y(), "ssLeft ssShift");
    for (int i = 1; i <= 20; ++i) {
        p = On(r2, 2.0 - 0.03 * i);
        Send("MouseMove", p.x(), p.y(), "ssLeft ssShift");
    }
    Send("MouseUp", p.x(), p.y(), "ssShift");
    EXPECT_EQ(First() - before, 5); // 0.6 radian in steps of 0.03: a step at each 0.12
}

TEST_F(WheelMouseTest, TheOuterRingMovesOnlyTheSecondChart) {
    // a single chart has no outer ring to turn
    const int r3 = Geometry().R3;
    EXPECT_EQ(Turn(r3, kPi / 2, 0), 0);
    EXPECT_EQ(Mouse().RingDrag, 0);

    SetChart("15.06.1990;14:30:00", ";Second;W;01.01.2000;12:00:00" + kGreenwich);
    MakeDouble();
    const DatRec first = program->s.DatRec1;
    const long long second = Second();
    const QPoint p1 = On(Geometry().R3, kPi / 2), p2 = On(Geometry().R3, 0);
    Send("MouseDown", p1.x(), p1.y());
    EXPECT_EQ(Mouse().RingDrag, 2);
    EXPECT_EQ(program->s.StatusText, GetMsgText(program->s, 28));
    Send("MouseMove", p2.x(), p2.y());
    Send("MouseUp", p2.x(), p2.y(), "");
    EXPECT_EQ(Second() - second, 21600);
    EXPECT_EQ(program->s.DatRec1, first);
    EXPECT_FALSE(program->Flags.SourceData); // the steppers follow the chart that moved
    // the inner ring moves the first chart and switches them back
    const long long turned = Turn(Geometry().R2, kPi / 2, 0);
    EXPECT_EQ(turned, 21600);
    EXPECT_TRUE(program->Flags.SourceData);
}

TEST_F(WheelMouseTest, TheSunDraggedToAriesStopsAtTheEquinox) {
    SetChart("10.03.2024;12:00:00");
    AstroDat& s = program->s;
    // the pointer's path: the Sun's label pressed, the drag begins and says so
    std::string sunSpot;
    for (const std::string& line : Mouse().Wheel().KartSpots)
        if (line.ends_with(";p010")) sunSpot = line;
    ASSERT_FALSE(sunSpot.empty());
    std::string rest = sunSpot;
    const int sx = StrToIntDef0(NextField(rest, ';')), sy = StrToIntDef0(NextField(rest, ';'));
    Send("MouseDown", sx, sy);
    EXPECT_EQ(Mouse().DragTimeBody, 1);
    EXPECT_EQ(s.StatusText, GetMsgText(s, 2));
    const double sunBefore = s.PlanetLon[1];
    const chart::NatalWheel& w = Mouse().Wheel();
    const QPoint ahead = w.PointAt(w.KartWheel.R1 - 20, w.ScreenAngle(sunBefore + 0.2));
    Send("MouseMove", ahead.x(), ahead.y());
    EXPECT_GT(std::remainder(s.PlanetLon[1] - sunBefore, 2 * kPi), 0.1); // it followed
    EXPECT_TRUE(program->Svc.Screens['W'].Held());
    Send("MouseUp", ahead.x(), ahead.y(), "");
    EXPECT_EQ(Mouse().DragTimeBody, 0);
    EXPECT_TRUE(s.StatusText.empty());

    // to 0 Aries exactly: each move one step, until the Sun is within 1' of it
    int moves = 0;
    while (Mouse().DragBodyToLongitude(1, true, 0.0) && moves < 30) ++moves;
    EXPECT_LT(moves, 10);
    const double off = std::remainder(s.PlanetLon[1], 2 * kPi);
    EXPECT_LT(std::fabs(off), 60 * kArcsecToRad);
    // python3-ephem: next_equinox('2024/03/01') = 2024/3/20 03:06:22 UT. The Sun moves 1' in
    // about 24 minutes; ephem's own equinox lies 25" from apparent longitude 0 (10 minutes).
    const long long equinox = UtSeconds(2024, 3, 20, 3, 6, 22);
    EXPECT_LE(std::llabs(First() - equinox), 35 * 60)
        << program->s.DatRec1[kRecDate] << " " << program->s.DatRec1[kRecTime];
}

TEST_F(WheelMouseTest, TheMoonDraggedOntoTheSunStopsAtTheNewMoon) {
    program->SetChecked("GenSet", "MoonParall", false); // geocentric, as the oracles are
    SetChart("15.02.1977;00:00:00");
    AstroDat& s = program->s;
    int moves = 0;
    while (Mouse().DragBodyToLongitude(2, true, s.PlanetLon[1]) && moves < 40) ++moves;
    EXPECT_LT(moves, 15);
    // Meeus, example 49.a: 1977 February 18, 3h37m42s TD (= 3h36m54s UT with delta T 48s);
    // python3-ephem next_new_moon('1977/02/10') = 1977/2/18 03:36:52 UT. The Moon gains 1' on
    // the Sun in about 2 minutes.
    const long long newMoon = UtSeconds(1977, 2, 18, 3, 36, 52);
    EXPECT_LE(std::llabs(First() - newMoon), 5 * 60)
        << s.DatRec1[kRecDate] << " " << s.DatRec1[kRecTime];
}

TEST_F(WheelMouseTest, AStandingOrSlowBodyNeitherCrashesNorJumpsPastTheClamp) {
    AstroDat& s = program->s;
    const long long start = First();
    // a model whose body stands: no step at all
    s.PlanetSpeed[5] = 0;
    EXPECT_FALSE(Mouse().DragBodyToLongitude(5, true, s.PlanetLon[5] + 1.0));
    EXPECT_EQ(First(), start);
    // heliocentric: Pluto crawls, one move is a year at most
    program->SetChecked("KartForm", "HelioBox", true);
    program->Flags.RealTimeMode = false;
    form1->RedrawNatal();
    ASSERT_TRUE(program->Flags.HelioMode);
    ASSERT_GT(std::fabs(s.PlanetSpeed[10]), 0);
    const long long before = First();
    EXPECT_TRUE(Mouse().DragBodyToLongitude(10, true, s.PlanetLon[10] + 2.0));
    EXPECT_EQ(std::llabs(First() - before), chart::kMaxDragStep);
    program->SetChecked("KartForm", "HelioBox", false);
}

TEST_F(WheelMouseTest, ChartMenuCaptions) {
    AstroDat& s = program->s;
    chart::WheelMouse& m = Mouse();
    auto item = [this](const char* name) { return form1->Find<TMenuItem>(name); };
    // the Sun: name and place, motion with its share of the greatest, its aspects
    m.ClickedIndex = 1;
    m.PickInner = true;
    m.ChartMenuPopup();
    std::string place, outerPlace;
    {
        const NamesAs words(s, false, false); // the sign in words
        place = FormatZodiacDMS(s, s.PlanetLonSaved[1] * kRadToArcSec);
    }
    EXPECT_EQ(item("NPlnName")->Caption(), Cp("Солнце") + "  " + place);
    const std::string vel = item("Vel")->Caption();
    EXPECT_TRUE(vel.starts_with("V:")) << vel;
    EXPECT_NE(vel.find(Cp(" в день  (")), std::string::npos) << vel;
    EXPECT_TRUE(vel.ends_with("%)")) << vel;
    EXPECT_TRUE(item("NTablAsp")->isEnabled());
    EXPECT_TRUE(item("NAstroData")->isEnabled());
    {
        // the point's aspect-table flag decides the default item
        auto* kart = dynamic_cast<chart::TKartForm*>(Screen().FindForm("KartForm"));
        ASSERT_NE(kart, nullptr);
        const std::string flags = kart->TablAsp->Text();
        std::string off = flags;
        off[0] = '\x97';
        kart->TablAsp->SetText(off);
        m.ChartMenuPopup();
        EXPECT_FALSE(item("NTablAsp")->isEnabled());
        kart->TablAsp->SetText(flags);
        m.ChartMenuPopup();
    }
    EXPECT_FALSE(item("MoonMovie")->isVisible());
    EXPECT_EQ(form1->ChartMenu->defaultAction(), item("NTablAsp"));
    int shown = 0;
    for (int k = 1; k <= 9; ++k) {
        TMenuItem* a = item(("a" + std::to_string(k)).c_str());
        if (!a->isVisible()) continue;
        ++shown;
        const std::string code = m.AspCodes[k];
        ASSERT_EQ(code.size(), 6u);
        const int row = std::stoi(code.substr(0, 2)), asp = std::stoi(code.substr(2, 2)),
                  col = std::stoi(code.substr(4, 2));
        EXPECT_EQ(row, 1);
        EXPECT_EQ(program->Aspects.AspMatrix[row][col], asp);
        const std::string caption = a->Caption();
        const bool applying = program->Aspects.AspApplying[row][col] != 0;
        EXPECT_TRUE(caption.ends_with(applying ? "<" : ">")) << caption;
        EXPECT_NE(caption.find(PointName(s, col, false)), std::string::npos) << caption;
    }
    int expected = 0;
    for (int j = 2; j <= 38; ++j)
        if (program->Aspects.AspMatrix[1][j] != 0 && (j > 26 || m.Wheel().PointRow[j] != 0))
            ++expected;
    EXPECT_EQ(shown, std::min(expected, 9));
    // the Moon has the lunar month; a cusp has no astronomical data and no motion per day
    m.ClickedIndex = 2;
    m.ChartMenuPopup();
    EXPECT_TRUE(item("MoonMovie")->isVisible());
    m.ClickedIndex = 27;
    m.ChartMenuPopup();
    EXPECT_FALSE(item("NAstroData")->isEnabled());
    EXPECT_TRUE(item("Vel")->Caption().ends_with(Cp(" в минуту"))) << item("Vel")->Caption();
    EXPECT_TRUE(item("NPlnName")->Caption().starts_with(PointName(s, 27, false)));
    // an outer point of a double chart: its aspects are taken with the inner chart's points
    SetChart("15.06.1990;14:30:00", ";Second;W;01.01.2000;12:00:00" + kGreenwich);
    MakeDouble();
    m.ClickedIndex = 1;
    m.PickInner = false;
    m.ChartMenuPopup();
    EXPECT_FALSE(item("NAstroData")->isEnabled());
    {
        const NamesAs words(s, false, false);
        outerPlace = FormatZodiacDMS(s, s.PlanetLonSavedBck[1] * kRadToArcSec);
    }
    EXPECT_TRUE(item("NPlnName")->Caption().ends_with(outerPlace));
    for (int k = 1; k <= 9; ++k)
        if (!m.AspCodes[k].empty()) {
            EXPECT_EQ(std::stoi(m.AspCodes[k].substr(4, 2)), 1);
        }
}

TEST_F(WheelMouseTest, EachSpotsRightClickReachesItsAction) {
    AstroDat& s = program->s;
    std::vector<std::string> calls;
    program->Svc.IntAspectText = [&](int a, int b) {
        calls.push_back("aspect " + std::to_string(a) + "-" + std::to_string(b));
    };
    program->Svc.IntSignText = [&](int n) { calls.push_back("sign " + std::to_string(n)); };
    program->Svc.N57Click = [&](int n) { calls.push_back("interp " + std::to_string(n)); };
    program->Svc.ShowPlanetInfo = [&](int n) { calls.push_back("info " + std::to_string(n)); };
    // the spots of the drawing by their kind
    std::map<std::string, QPoint> at;
    for (const std::string& line : Mouse().Wheel().KartSpots) {
        std::string rest = line;
        const int x = StrToIntDef0(NextField(rest, ';')), y = StrToIntDef0(NextField(rest, ';'));
        const std::string code = rest.substr(rest.find(';') + 1);
        const std::string kind = code.size() == 6                             ? "aspect"
                                 : code.size() == 2                           ? "sign"
                                 : code.size() == 3                           ? "cusp"
                                 : code.starts_with("p0") && code.size() == 4 ? "body"
                                                                              : "";
        if (!kind.empty() && !at.count(kind) && Mouse().SpotCodeAt(x, y) == code) at[kind] = {x, y};
    }
    ASSERT_EQ(at.size(), 4u);
    auto right = [this](QPoint p) {
        program->Commands.RunUICommand("Form1,PaintBox", "MouseUp,mbRight,," +
                                                             std::to_string(p.x()) + "," +
                                                             std::to_string(p.y()));
    };
    right(at["aspect"]);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_TRUE(calls[0].starts_with("aspect ")) << calls[0];
    // a sign: its menu, its text
    right(at["sign"]);
    EXPECT_GE(Mouse().ClickedIndex, 1);
    EXPECT_LE(Mouse().ClickedIndex, 12);
    program->Commands.RunUICommand("Form1,N55", "");
    EXPECT_EQ(calls.back(), "sign " + std::to_string(Mouse().ClickedIndex));
    EXPECT_EQ(form1->LastMenuItem, "N55");
    // a cusp: the chart menu of cusp + 26
    right(at["cusp"]);
    EXPECT_GE(Mouse().ClickedIndex, 27);
    program->Commands.RunUICommand("Form1,N57", "");
    EXPECT_EQ(calls.back(), "interp " + std::to_string(Mouse().ClickedIndex));
    EXPECT_EQ(program->Flags.InterpPoint, Mouse().ClickedIndex);
    // a body: the chart menu of the body, its astronomical data
    right(at["body"]);
    const int body = Mouse().ClickedIndex;
    EXPECT_GE(body, 1);
    EXPECT_LE(body, 26);
    program->Commands.RunUICommand("Form1,NAstroData", "");
    EXPECT_EQ(calls.back(), "info " + std::to_string(body));
    EXPECT_EQ(form1->LastMenuItem, "NAstroData");
    // an entry nobody filled says the window is not there
    program->Svc.IntSignText = nullptr;
    program->Commands.RunUICommand("Form1,N55", "");
    EXPECT_EQ(s.StatusText, WindowMissingText(s, "Interp"));
    // nowhere: the settings window
    if (TForm* k = Screen().FindForm("KartForm")) k->hide();
    right(QPoint(2, Geometry().CentreY));
    EXPECT_TRUE(Visible("KartForm"));
    CloseTools();
}

TEST_F(WheelMouseTest, HoverCursorsAndTheDoubleClicksAspectTable) {
    program->FormClasses.Register("AspTabl",
                                  [p = program.get()] { return new chart::TAspTabl(*p); });
    const auto sun = SpotWhere([](const std::string& c) { return c == "p010"; });
    ASSERT_TRUE(sun);
    auto shape = [this] { return form1->PaintBox->cursor().shape(); };
    // beside the label, off its hint: the hand
    Send("MouseMove", sun->x() + 5, sun->y(), "");
    EXPECT_EQ(shape(), Qt::PointingHandCursor);
    // on the inner ring and on the rim, away from every spot
    const chart::TKart& k = Geometry();
    std::optional<QPoint> ring, rim;
    for (double a = 0.05; a < 2 * kPi && (!ring || !rim); a += 0.07) {
        if (!ring && Clear(On(k.R2, a))) ring = On(k.R2, a);
        if (!rim && Clear(On(k.R4, a))) rim = On(k.R4, a);
    }
    ASSERT_TRUE(ring && rim);
    Send("MouseMove", ring->x(), ring->y(), "");
    EXPECT_EQ(shape(), Qt::SizeHorCursor);
    Send("MouseMove", rim->x(), rim->y(), "");
    EXPECT_EQ(shape(), Qt::DragMoveCursor);
    Send("MouseMove", 2, 2, "");
    EXPECT_EQ(shape(), Qt::ArrowCursor);

    // a double click on the Sun: its aspect table, unless its flag is off
    Send("MouseMove", sun->x(), sun->y(), "");
    form1->PaintBox->OnDblClick();
    EXPECT_TRUE(Visible("AspTabl"));
    Screen().FindForm("AspTabl")->hide();
    auto* kart = dynamic_cast<chart::TKartForm*>(Screen().FindForm("KartForm"));
    std::string off = kart->TablAsp->Text();
    off[0] = '\x97';
    kart->TablAsp->SetText(off);
    form1->PaintBox->OnDblClick();
    EXPECT_FALSE(Visible("AspTabl"));
    CloseTools();
}

TEST_F(WheelMouseTest, APressOnAnAspectOpensItsExactMoment) {
    const auto aspect = SpotWhere([](const std::string& c) { return c.size() == 6; });
    ASSERT_TRUE(aspect);
    const std::string code = Mouse().SpotCodeAt(aspect->x(), aspect->y());
    Send("MouseDown", aspect->x(), aspect->y());
    Send("MouseUp", aspect->x(), aspect->y(), "");
    auto* exact = dynamic_cast<chart::TExctAsp*>(Screen().FindForm("ExctAsp"));
    ASSERT_NE(exact, nullptr);
    EXPECT_TRUE(exact->isVisible());
    EXPECT_EQ(exact->Query.Point1, std::stoi(code.substr(0, 2)));
    EXPECT_EQ(exact->Query.Aspect, std::stoi(code.substr(2, 2)));
    EXPECT_EQ(exact->Query.Point2, std::stoi(code.substr(4, 2)));
    EXPECT_FALSE(Mouse().ChartHold); // an aspect lays no protractor
    exact->hide();
    // a direction across the two charts has no moment of its own to look for
    SetChart("15.06.1990;14:30:00", ";Second;W;01.01.2000;12:00:00" + kGreenwich);
    MakeDouble(2);
    ASSERT_NE(program->s.DynMethod, ' ');
    const auto across = SpotWhere([](const std::string& c) { return c.size() == 6; });
    ASSERT_TRUE(across);
    Send("MouseDown", across->x(), across->y());
    Send("MouseUp", across->x(), across->y(), "");
    EXPECT_FALSE(exact->isVisible());
    CloseTools();
}

TEST_F(WheelMouseTest, AReleaseOnAnotherScreenEndsTheDrag) {
    const QPoint p1 = On(Geometry().R2, kPi / 2);
    Send("MouseDown", p1.x(), p1.y());
    EXPECT_EQ(Mouse().RingDrag, 1);
    EXPECT_TRUE(program->Svc.Screens['W'].Held());
    form1->SwitchScreen('V');
    Send("MouseUp", 10, 10, "");
    EXPECT_EQ(Mouse().RingDrag, 0);
    EXPECT_FALSE(program->Svc.Screens['W'].Held());
}

} // namespace
} // namespace qor::shell
