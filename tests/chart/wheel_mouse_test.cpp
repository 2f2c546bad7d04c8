// The mouse on the wheel, on the geometry alone and on a drawn wheel without the main window:
// the hit tests, the time steps of the drags, the body pick, the degree marker and the
// protractor, and pointers far away or at the centre.
#include "WheelScreenFixture.h"

#include "chart/ChartWindows.h"
#include "chart/SabGrad.h"
#include "chart/WheelMouse.h"
#include "core/AstroMath.h"
#include "core/DegreeTexts.h"

#include <cmath>
#include <limits>

namespace qor::chart {
namespace {

using ui::MouseButton;
using ui::ssAlt;
using ui::ssCtrl;
using ui::ssLeft;
using ui::ssShift;

TKart Wheel(int r1, int r2, int r3, int r4) {
    TKart k;
    k.CentreX = 500;
    k.CentreY = 400;
    k.R1 = r1, k.R2 = r2, k.R3 = r3, k.R4 = r4;
    return k;
}

TEST(WheelHitTest, RingsByTheSquaredDistance) {
    struct Case {
        int r4, dx, dy;
        bool onRim;
        const char* what;
    };
    // R4 = 499: R4^2 = 249001
    const Case cases[] = {
        {499, 499, 0, true, "d2 = R4^2"},         {499, 500, 0, true, "d2 = R4^2 + 999"},
        {499, 129, 481, true, "d2 = R4^2 - 999"}, {499, 500, 1, false, "d2 = R4^2 + 1000"},
        {499, 0, 0, false, "the centre"},         {3, 2, 2, false, "d2 = 8 < 10 beside a tiny rim"},
        {3, 3, 1, true, "d2 = 10 on a tiny rim"},
    };
    for (const Case& c : cases) {
        const TKart k = Wheel(100, 200, 300, c.r4);
        EXPECT_EQ(OnZodiacRing(k, k.CentreX + c.dx, k.CentreY - c.dy), c.onRim) << c.what;
        EXPECT_EQ(OnZodiacRing(k, k.CentreX - c.dy, k.CentreY + c.dx), c.onRim) << c.what;
    }
    // the house ring: R2 always, R3 only in a double chart; the ring a drag begins on
    const TKart k = Wheel(100, 200, 300, 400);
    struct Ring {
        int r;
        bool dbl;
        bool onHouse;
        int ring;
    };
    const Ring rings[] = {{200, false, true, 1}, {200, true, true, 1},  {300, false, false, 0},
                          {300, true, true, 2},  {250, true, false, 0}, {0, true, false, 0}};
    for (const Ring& r : rings) {
        EXPECT_EQ(OnHouseRing(k, r.dbl, k.CentreX, k.CentreY + r.r), r.onHouse) << r.r;
        EXPECT_EQ(RingAt(k, r.dbl, k.CentreX - r.r, k.CentreY), r.ring) << r.r;
    }
    // far points cannot overflow; the centre has no direction
    for (const int far : {100000000, -100000000, std::numeric_limits<int>::max(),
                          std::numeric_limits<int>::min()}) {
        EXPECT_FALSE(OnZodiacRing(k, far, far));
        const int opposite =
            far == std::numeric_limits<int>::min() ? std::numeric_limits<int>::max() : -far;
        EXPECT_FALSE(OnHouseRing(k, true, far, opposite));
        EXPECT_TRUE(PointerAngle(k, far, far).has_value());
    }
    EXPECT_FALSE(PointerAngle(k, k.CentreX, k.CentreY));
    EXPECT_FALSE(PointerAngle(k, k.CentreX + 1, k.CentreY - 2));
    EXPECT_NEAR(*PointerAngle(k, k.CentreX, k.CentreY - 50), kPi / 2, 1e-12); // up
    EXPECT_NEAR(*PointerAngle(k, k.CentreX, k.CentreY + 50), 3 * kPi / 2, 1e-12);
}

TEST(WheelDrag, RingStepsAreFifteenArcSecondsOfTurnASecond) {
    const double deg = kDegToRad;
    struct Case {
        double last, now;
        unsigned shift;
        std::optional<long long> seconds;
        const char* what;
    };
    const Case cases[] = {
        {kPi / 2, 0, 0, 21600, "a quarter turn clockwise"},
        {0, kPi / 2, 0, -21600, "a quarter turn anticlockwise"},
        {10 * deg, 350 * deg, 0, 4800, "20 degrees clockwise across the seam"},
        {350 * deg, 10 * deg, 0, -4800, "20 degrees anticlockwise across the seam"},
        {kPi, kPi, 0, 0, "no turn"},
        {1.0, 0.95, ssShift, std::nullopt, "Shift: under 0.1 rad waits"},
        {1.0, 0.8, ssShift, 1, "Shift: one second"},
        {0.8, 1.0, ssShift, -1, "Shift: back one second"},
        {1.0, 0.8, ssCtrl, 60, "Ctrl: a minute"},
        {0.05, 6.2, ssAlt, 3600, "Alt: an hour, across the seam"},
        {0.05, 6.25, ssAlt, std::nullopt, "Alt: 0.083 rad across the seam waits"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RingDragSeconds(c.last, c.now, c.shift), c.seconds) << c.what;
}

TEST(WheelDrag, BodyStepsAreGuardedAndClamped) {
    const double sun = 0.0172; // about a degree a day
    struct Case {
        double target, body, speed;
        std::optional<long long> seconds;
        const char* what;
    };
    const double arcmin = 60 * kArcsecToRad;
    const Case cases[] = {
        {1.0172, 1.0, sun, 86400, "a day ahead"},
        {0.9828, 1.0, sun, -86400, "a day back"},
        {0.9828, 1.0, -sun, 86400, "retrograde: a day ahead"},
        {1.0 + 0.9 * arcmin, 1.0, sun, std::nullopt, "within an arc-minute"},
        {0.1, 2 * kPi - 0.1, sun, 1004651, "across 0 Aries the short way"},
        {1.0, 0.0, 0.0, std::nullopt, "a body that stands"},
        {1.0, 0.0, 5e-8, std::nullopt, "slower than the drag follows"},
        {1.0, 0.0, std::numeric_limits<double>::quiet_NaN(), std::nullopt, "no speed at all"},
        {1.0, 0.0, 7e-5, kMaxDragStep, "a slow heliocentric body: a year at most"},
        {-1.0, 0.0, 7e-5, -kMaxDragStep, "and back"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BodyDragSeconds(c.target, c.body, c.speed), c.seconds) << c.what;
}

TEST(WheelDrag, StepsStayWithinTheDatesAFieldCanHold) {
    AstroDat s;
    s.ChartYear = 9999, s.ChartMonth = 12, s.ChartDay = 31;
    s.ChartHour = 23, s.ChartMinute = 0, s.ChartSecond = 0;
    EXPECT_EQ(StepWithinServedDates(s, kMaxDragStep), 3599);
    EXPECT_EQ(StepWithinServedDates(s, -kMaxDragStep), -kMaxDragStep);
    s.ChartYear = -9998, s.ChartMonth = 1, s.ChartDay = 1, s.ChartHour = 0;
    EXPECT_EQ(StepWithinServedDates(s, -86400), 0);
    EXPECT_EQ(StepWithinServedDates(s, 86400), 86400);
    s.ChartYear = 2024;
    EXPECT_EQ(StepWithinServedDates(s, -kMaxDragStep), -kMaxDragStep);
}

TEST(WheelPick, TheLowerPointAndTheInnerChartWin) {
    NatalWheel w;
    w.KartFirstPln = 1;
    w.KartLastPln = 14;
    w.KartSecondReady = true;
    for (int i = 1; i <= 14; ++i) w.PointRow[i] = static_cast<uint8_t>(i);
    TRing& in = w.KartWheel.Inner;
    TRing& out = w.KartWheel.Outer;
    in.ExistingFlags = out.ExistingFlags = DefaultPointFlags(true);
    in.Entries[5] = {0, 0, 100, 100};
    in.Entries[3] = {0, 0, 103, 101};
    out.Entries[1] = {0, 0, 101, 100};
    out.Entries[7] = {0, 0, 300, 300};
    struct Case {
        int x, y;
        bool dbl;
        int exterr;
        int point;
        bool inner;
        const char* what;
    };
    const Case cases[] = {
        {101, 100, true, 0, 3, true, "two inner labels: the lower point; inner before outer"},
        {96, 100, false, 0, 5, true, "only the fifth within reach"},
        {101, 100, true, 3, 5, true, "the observer's planet is no label"},
        {300, 302, true, 0, 7, false, "an outer label"},
        {300, 302, false, 0, -1, true, "no outer labels in a single chart"},
        {106, 106, true, 0, -1, true, "d2 = 33 is off the label"},
        {100000000, -100000000, true, 0, -1, true, "far away"},
    };
    for (const Case& c : cases) {
        const BodyPick pick = PickChartBody(w, c.dbl, c.exterr, c.x, c.y);
        EXPECT_EQ(pick.Point, c.point) << c.what;
        if (pick.Point > 0) {
            EXPECT_EQ(pick.Inner, c.inner) << c.what;
        }
    }
    // the offset from the label's centre, and the label's own offset counts
    in.Offsets[3] = {4, -2};
    const BodyPick moved = PickChartBody(w, false, 0, 108, 99);
    EXPECT_EQ(moved.Point, 3);
    EXPECT_EQ(moved.DX, 1);
    EXPECT_EQ(moved.DY, 0);
}

class WheelMouseTest : public WheelScreenTest {
protected:
    void SetUp() override {
        WheelScreenTest::SetUp();
        RegisterDegreeWindow(*p, wheel);
        Draw();
        mouse = p->Find<WheelMouse>();
        ASSERT_NE(mouse, nullptr);
        ASSERT_TRUE(mouse->Active());
    }
    void TearDown() override {
        if (ui::TForm* sab = ui::Screen().FindForm("Sabian")) delete sab;
        WheelScreenTest::TearDown();
    }
    QImage Image() const { return p->BufBitmap->image().copy(); }
    WheelMouse* mouse = nullptr;
};

TEST_F(WheelMouseTest, TheMarkerErasesItselfAndShowsTheDegreeUnderThePointer) {
    const QImage before = Image();
    for (const bool counterClock : {true, false})
        for (const double startDeg : {0.0, 97.25, 210.0, 333.3}) {
            wheel->KartCounterClock = counterClock;
            wheel->KartStartAngle = startDeg * kDegToRad;
            for (const double lonDeg : {0.5, 45.5, 123.5, 181.5, 270.5, 359.5}) {
                const double lon = lonDeg * kDegToRad;
                const QPoint at = wheel->PointAt(wheel->KartWheel.R4, wheel->ScreenAngle(lon));
                mouse->ChartClick(at.x(), at.y(), true);
                ASSERT_TRUE(mouse->MarkerDrawn);
                EXPECT_NE(Image(), before);
                ASSERT_NE(KartFormOf(), nullptr);
                EXPECT_EQ(KartFormOf()->LastDegree, DegreeOfLongitude(lon))
                    << lonDeg << " start " << startDeg << " ccw " << counterClock;
                mouse->ChartClick(at.x(), at.y(), false);
                EXPECT_FALSE(mouse->MarkerDrawn);
                EXPECT_EQ(Image(), before) << lonDeg;
            }
        }
    // inside the rim no marker begins; the centre gives no direction
    const TKart& k = wheel->KartWheel;
    mouse->ChartClick(k.CentreX + k.R2, k.CentreY, true);
    mouse->ChartClick(k.CentreX, k.CentreY, true);
    EXPECT_FALSE(mouse->MarkerDrawn);
    EXPECT_EQ(Image(), before);
}

TEST_F(WheelMouseTest, TheProtractorHoldsTheChartUntilTheRelease) {
    const TKart& k = wheel->KartWheel;
    const QImage before = Image();
    const auto& screen = p->Svc.Screens['W'];
    // on an aspect-free spot of the disc
    int x = k.CentreX + k.R1 / 3, y = k.CentreY + k.R1 / 5;
    ASSERT_TRUE(mouse->SpotCodeAt(x, y).empty());
    screen.MouseDown(MouseButton::Left, ssLeft, x, y);
    EXPECT_TRUE(mouse->ChartHold);
    EXPECT_TRUE(screen.Held());
    EXPECT_NE(Image(), before);
    const QImage held = Image();
    screen.MouseMove(ssLeft, x + 20, y); // the protractor stays while the button is held
    EXPECT_EQ(Image(), held);
    screen.MouseUp(MouseButton::Left, 0, x + 20, y);
    EXPECT_FALSE(mouse->ChartHold);
    EXPECT_FALSE(screen.Held());
    EXPECT_EQ(Image(), before); // redrawn without it
    // a release that never came: the next move without the button ends the hold
    screen.MouseDown(MouseButton::Left, ssLeft, x, y);
    ASSERT_TRUE(screen.Held());
    screen.MouseMove(0, x, y);
    EXPECT_FALSE(screen.Held());
    // and so does a release on another screen
    screen.MouseDown(MouseButton::Left, ssLeft, x, y);
    ASSERT_TRUE(screen.Held());
    screen.MouseLost();
    EXPECT_FALSE(screen.Held());
}

TEST_F(WheelMouseTest, NothingActsWithoutTheBoxOrOnAnotherScreen) {
    const TKart& k = wheel->KartWheel;
    const auto& screen = p->Svc.Screens['W'];
    const int x = k.CentreX + k.R1 / 3, y = k.CentreY + k.R1 / 5;
    kart->WheelBox->SetChecked(false);
    screen.MouseDown(MouseButton::Left, ssLeft, x, y);
    EXPECT_FALSE(screen.Held());
    kart->WheelBox->SetChecked(true);
    p->Flags.ScreenMode = 'V';
    screen.MouseDown(MouseButton::Left, ssLeft, x, y);
    EXPECT_FALSE(screen.Held());
    p->Flags.ScreenMode = 'W';
    screen.MouseDown(MouseButton::Left, ssLeft, x, y);
    EXPECT_TRUE(screen.Held());
    screen.MouseUp(MouseButton::Left, 0, x, y);
}

TEST_F(WheelMouseTest, FarPointsAndTheCentreChangeNothing) {
    const AstroDat before = p->s;
    const QImage image = Image();
    const TKart& k = wheel->KartWheel;
    const auto& screen = p->Svc.Screens['W'];
    const std::pair<int, int> points[] = {
        {100000000, 100000000},
        {-100000000, 100000000},
        {std::numeric_limits<int>::max(), std::numeric_limits<int>::min()},
        {k.CentreX, k.CentreY}};
    for (const auto& [x, y] : points) {
        for (const unsigned sh : {0u, unsigned(ssShift), unsigned(ssCtrl), unsigned(ssAlt)}) {
            screen.MouseMove(sh, x, y);
            screen.MouseDown(MouseButton::Left, sh | ssLeft, x, y);
            screen.MouseMove(sh | ssLeft, x, y);
            screen.MouseMove(sh | ssLeft, -x / 2, y / 3);
            screen.MouseUp(MouseButton::Left, sh, x, y);
            screen.DblClick();
            screen.MouseUp(MouseButton::Right, sh, x, y);
        }
        EXPECT_FALSE(screen.Held());
        EXPECT_FALSE(mouse->MarkerDrawn);
    }
    EXPECT_EQ(p->s.ChartYear, before.ChartYear);
    EXPECT_EQ(p->s.ChartHour, before.ChartHour);
    EXPECT_EQ(p->s.ChartSecond, before.ChartSecond);
    EXPECT_EQ(Image(), image);
}

} // namespace
} // namespace qor::chart
