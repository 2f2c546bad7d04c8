// The own-place window in the started program: the computer's clock and zone for a fixed
// instant in several zones (the labels, the warning, the start log's lines), the zone taken
// from TZ, the home fields typed in overtype and refused when they name no place.
#include "app/MainWindowFixture.h"
#include "core/Text.h"
#include "geo/ComputerZone.h"
#include "geo/QorLoc.h"

#include <QDateTime>
#include <QTimeZone>

#include <cstdlib>

namespace qor::geo {
namespace {

using namespace ui;
using shell::MainWindowTest;

class OwnPlaceTest : public MainWindowTest {
protected:
    TQorLoc* Loc() { return dynamic_cast<TQorLoc*>(Screen().FindForm("QorLoc")); }
    void Fix(TQorLoc& w, const char* utc, const char* zone) {
        const QDateTime t = QDateTime::fromString(utc, Qt::ISODateWithMs);
        const QTimeZone z(zone);
        ASSERT_TRUE(t.isValid()) << utc;
        ASSERT_TRUE(z.isValid()) << zone;
        w.Clock = [t] { return t; };
        w.ComputerZone = [z] { return z; };
    }
};

std::string Blanks(const std::string& offset) {
    return std::string(11, ' ') + offset;
}

TEST_F(OwnPlaceTest, ComputerPanelOfOneInstantInEachZone) {
    struct Case {
        const char *utc, *zone, *home;
        const char *local, *utcText, *standard, *shift;
        bool shiftOn, warning;
    };
    const Case cases[] = {
        // Moscow keeps +03:00 all year since 26.10.2014: the defaults agree with it.
        {"2024-03-10T12:00:00Z", "Europe/Moscow", "+03:00", "10.03.2024  15:00:00",
         "10.03.2024  12:00:00", "+03:00", "+00:00", false, false},
        {"2024-01-15T17:00:00Z", "America/New_York", "-05:00", "15.01.2024  12:00:00",
         "15.01.2024  17:00:00", "-05:00", "+01:00", false, false},
        // Summer time in force belongs to the computer's dT: a home dT without it is reported.
        {"2024-07-15T16:00:00Z", "America/New_York", "-05:00", "15.07.2024  12:00:00",
         "15.07.2024  16:00:00", "-05:00", "+01:00", true, true},
        {"2024-07-15T16:00:00Z", "America/New_York", "-04:00", "15.07.2024  12:00:00",
         "15.07.2024  16:00:00", "-05:00", "+01:00", true, false},
        // Half-hour offsets and a half-hour summer shift, to the minute.
        {"2024-01-15T00:00:00Z", "Australia/Lord_Howe", "+11:00", "15.01.2024  11:00:00",
         "15.01.2024  00:00:00", "+10:30", "+00:30", true, false},
        {"2024-07-15T00:00:00Z", "Australia/Lord_Howe", "+11:00", "15.07.2024  10:30:00",
         "15.07.2024  00:00:00", "+10:30", "+00:30", false, true},
        {"2024-07-15T00:00:00Z", "Asia/Kolkata", "+05:30", "15.07.2024  05:30:00",
         "15.07.2024  00:00:00", "+05:30", "+00:00", false, false},
        // One instant: the local date turns with UTC's, the tenths never round into a minute.
        {"2023-12-31T23:59:59.900Z", "Europe/Moscow", "+03:00", "01.01.2024  02:59:59",
         "31.12.2023  23:59:59", "+03:00", "+00:00", false, false},
        {"2024-06-30T23:59:59.900Z", "America/New_York", "+03:00", "30.06.2024  19:59:59",
         "30.06.2024  23:59:59", "-05:00", "+01:00", true, true},
    };
    TQorLoc* w = Loc();
    ASSERT_NE(w, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " " + c.utc);
        Fix(*w, c.utc, c.zone);
        w->astdT->SetText(c.home);
        EXPECT_EQ(w->CheckComputerZone(), !c.warning);
        EXPECT_EQ(w->Label10->Caption(), c.local);
        EXPECT_EQ(w->Label13->Caption(), c.utcText);
        EXPECT_EQ(w->Label11->Caption(), Blanks(c.standard));
        EXPECT_EQ(w->Label12->Caption(), Blanks(c.shift));
        EXPECT_EQ(w->Label12->isEnabled(), c.shiftOn);
        EXPECT_EQ(w->ErrTLabel->isVisibleTo(w), c.warning);
        EXPECT_FALSE(w->ErrFLabel->isVisibleTo(w));
        EXPECT_FALSE(w->ErrCLabel->isVisibleTo(w));
        if (c.warning) EXPECT_EQ(w->ErrTLabel->Caption(), GetMsgText(program->s, 26));
    }
}

TEST_F(OwnPlaceTest, TheComputersZoneIsTheSystemsWhichHonoursTZ) {
    TQorLoc* w = Loc();
    ASSERT_NE(w, nullptr);
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    for (const auto& [tz, standard] :
         {std::pair{"Asia/Kolkata", 330}, {"Europe/Moscow", 180}, {"America/New_York", -300}}) {
        setenv("TZ", tz, 1);
        const ComputerClock c =
            ReadComputerClock(QDateTime::currentDateTimeUtc(), w->ComputerZone());
        EXPECT_EQ(c.standardMinutes, standard) << tz;
    }
    if (old)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
}

TEST_F(OwnPlaceTest, TheStartLogNotesThePlaceAndTheClock) {
    TQorLoc* w = Loc();
    ASSERT_NE(w, nullptr);
    // The first tick after the start-up notes the place once, after the start log's "Ready".
    const fs::path log = dir / "qorstart.log";
    ASSERT_TRUE(form1->FirstTick);
    form1->MainClockTickRun();
    form1->MainClockTickRun();
    const std::string start = test::TempDir::Read(log);
    const std::size_t ready = start.find("Ready\r\n");
    ASSERT_NE(ready, std::string::npos);
    EXPECT_EQ(start.substr(ready + 7, 13), "City Москва\r\n"_cp);
    EXPECT_EQ(start.find("City ", ready + 20), std::string::npos);

    Fix(*w, "2023-12-31T23:59:59.900Z", "America/New_York");
    w->astCity->SetText("Нью-Йорк"_cp);
    w->astdT->SetText("-05:00");
    const std::size_t before = test::TempDir::Read(log).size();
    program->Svc.LogUserLocation();
    const std::vector<std::string> lines = SplitTextLines(test::TempDir::Read(log).substr(before));
    const std::vector<std::string> expected = {
        "City Нью-Йорк"_cp, "Lat   55°45'N"_cp,         "Long 037°35'E"_cp,
        "dT   -05:00",      "LT  31.12.2023  18:59:59", "Zone -05:00",
        "DLB  +01:00 OFF",  "UTC 31.12.2023  23:59:59"};
    EXPECT_EQ(lines, expected);
    // A start log that could not be written takes nothing more.
    const std::size_t after = test::TempDir::Read(log).size();
    form1->LogFailed = true;
    program->Svc.LogUserLocation();
    EXPECT_EQ(test::TempDir::Read(log).size(), after);
    form1->LogFailed = false;
    // The shell asks the window whether the zones agree.
    EXPECT_TRUE(program->Svc.CheckComputerZone());
    w->astdT->SetText("+03:00");
    EXPECT_FALSE(program->Svc.CheckComputerZone());
    // Unless the check is not asked for.
    program->SetChecked("QorLoc", "TimeCheckBox", false);
    EXPECT_TRUE(program->Svc.CheckComputerZone());
}

TEST_F(OwnPlaceTest, HomeFieldsAreTypedOverAndRefusedWhenTheyNameNoPlace) {
    ASSERT_NE(form1->OpenToolWindow("QorLoc"), nullptr);
    TQorLoc* w = Loc();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->Timer1->Enabled());
    // Typed over from the start: digits over digits, the caret keys pass the marks, the
    // letter flips at its place.
    w->astLat->setFocus();
    w->astLat->OnEnter();
    for (int key : {int('4'), int('8'), vk::Right, int('3'), int('0'), vk::Right, int('S')}) {
        int k = key;
        w->astLat->OnKeyDown(k, 0);
    }
    EXPECT_EQ(w->astLat->Text(), "48°30'S"_cp);
    EXPECT_TRUE(w->FieldExit(w->astLat));

    struct Case {
        TEdit* edit;
        const char *bad, *good, *named;
    };
    const Case cases[] = {{w->astLat, "95°00'N", "48°30'S", "Широта"},
                          {w->astLong, "181°00'E", "037°35'E", "Долгота"},
                          {w->astdT, "+15:00", "+03:00", "dT"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bad);
        program->Commands.RunUICommand(std::string("QorLoc,") + c.edit->objectName().toStdString(),
                                       Cp(c.bad));
        EXPECT_FALSE(w->FieldExit(c.edit));
        EXPECT_EQ(c.edit->Text(), Cp(c.good));
        EXPECT_NE(program->s.StatusText.find(Cp(c.named)), std::string::npos)
            << Cp1251ToUtf8(program->s.StatusText);
        EXPECT_NE(program->s.StatusText.find(Cp(c.bad)), std::string::npos);
    }
    // Help and OK.
    w->Button2->Click();
    ASSERT_FALSE(opened.empty());
    EXPECT_EQ(opened.back(), "your_location.html");
    w->Button3->Click();
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(w->Timer1->Enabled());
}

} // namespace
} // namespace qor::geo
