// The year-tables window "Moon" driven as the menu and the user drive it: each table by its
// caption in both languages, the Moon day log that first has its ephemeris file built, a table
// stopped by Esc, refused years, periods and planets, reopening a saved table, the English
// texts.
#include "ForecastWindowFixture.h"

#include "core/Files.h"
#include "core/Planets.h"
#include "core/Text.h"
#include "forecast/TabForm.h"
#include "shell/StartForms.h"
#include "support/QtApp.h"
#include "support/TempDir.h"
#include "ui/EnglishTexts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace qor::forecast {
namespace {

using namespace ui;
namespace fs = std::filesystem;

class MoonFormTest : public ForecastWindowTest {
protected:
    void SetUp() override {
        ForecastWindowTest::SetUp();
        p->s.ChartLat = 55.75 * kDegToRad;
        p->s.ChartLong = 37.62 * kDegToRad;
        p->s.ChartZone = 180;
    }

    // The window as the main menu opens it: the item's caption.
    TMoon* Open(const std::string& caption) {
        TMoon* m = Moon();
        if (!m) m = dynamic_cast<TMoon*>(Screen().Ensure("Moon"));
        m->SetCaption(caption);
        m->show();
        return m;
    }
    // Clicks "Создать" and runs the table to its end.
    void Make(TMoon* m) {
        m->GoBtn->Click();
        WaitWhileRunning();
    }
    void WaitWhileRunning() {
        QElapsedTimer clock;
        clock.start();
        while ((Moon() && Moon()->Running()) || (Tab() && Tab()->Building())) {
            if (Tab() && Tab()->Timer1->Enabled()) Tab()->Timer1->OnTimer();
            Pump();
            ASSERT_LT(clock.elapsed(), 60000);
        }
        Pump();
    }
    std::string Caption(const char* item) {
        struct {
            const char* item;
            const char* ru;
            const char* en;
        } static const items[] = {
            {"N100", "Журнал Лунных дней", "Log of lunar days"},
            {"N101", "Восходы и заходы Солнца", "Sunrises and sunsets"},
            {"N102", "Ингрессии планеты", "Ingresses of a planet"},
            {"N103", "Апогей и перигей Луны", "Apogee and perigee of the Moon"}};
        for (const auto& i : items)
            if (std::string(i.item) == item) return p->s.EnglishMode ? i.en : Cp(i.ru);
        return {};
    }
};

// Each table by its caption, in both languages: its file written, the memo showing it, the
// caption back as it was, the status line naming the file.
TEST_F(MoonFormTest, EachCaptionMakesItsTable) {
    ASSERT_TRUE(BuildAnnualEphemeris(p->s, 2024).ok());
    for (bool english : {false, true}) {
        p->s.EnglishMode = english;
        const struct {
            std::string caption;
            const char* file;
            std::size_t lines;
            const char* firstLine;
        } cases[] = {
            {Caption("N100"), "Wrk\\Moon2024.wrk", 4 + 366,
             english ? "Moon day log for 2024" : "Журнал Лунных дней на 2024 год"},
            {Caption("N101"), "Wrk\\Sun2024.wrk", 4 + 366,
             english ? "Sunrises and sunsets of 2024" : "Таблица восходов Солнца на 2024 год"},
            {Caption("N103"), "Wrk\\Map2024.wrk", 3 + 14,
             english ? "Moon apogees and perigees of 2024"
                     : "Таблица апогеев и перигеев Луны на 2024 год"},
            {Caption("N102") + " " + (english ? "Mars" : Cp("Марс")), "Wrk\\IngresMars2024_2.txt",
             0,
             english ? "Ingresses of Mars from 2024" : "Журнал ингрессий планеты Марс на 2024 год"},
        };
        for (const auto& c : cases) {
            fs::remove(File(c.file));
            TMoon* m = Open(c.caption);
            m->YearEdit->SetText("2024");
            m->PeriodEdit->SetText("2");
            Make(m);
            ASSERT_TRUE(fs::exists(File(c.file))) << c.file;
            std::vector<std::string> lines;
            ASSERT_TRUE(ReadTextLines(File(c.file), lines).ok());
            if (c.lines) EXPECT_EQ(lines.size(), c.lines) << c.file;
            EXPECT_EQ(lines[0], english ? std::string(c.firstLine) : Cp(c.firstLine)) << c.file;
            EXPECT_EQ(m->Memo->Lines(), lines) << c.file;
            EXPECT_EQ(m->Caption(), c.caption);
            EXPECT_EQ(p->s.StatusText, GetMsgText(p->s, 57, c.file));
        }
    }
    // Two years of Mars: its ingresses of 2024 and 2025 and the stations between.
    std::vector<std::string> mars;
    ASSERT_TRUE(ReadTextLines(File("Wrk\\IngresMars2024_2.txt"), mars).ok());
    EXPECT_EQ(mars.back().substr(6, 4), "2025");
    // A caption that names no table does nothing.
    TMoon* m = Open("Луна"_cp);
    m->Memo->SetLines({"kept"});
    m->GoBtn->Click();
    EXPECT_FALSE(m->Running());
    EXPECT_EQ(m->Memo->Lines(), (std::vector<std::string>{"kept"}));
}

// A Moon day log for a year without its ephemeris file: the ephemeris window builds the file,
// then the log runs once by itself.
TEST_F(MoonFormTest, MoonLogFirstHasItsEphemerisBuilt) {
    TMoon* m = Open(Caption("N100"));
    m->YearEdit->SetText("2023");
    m->GoBtn->Click();
    ASSERT_NE(Tab(), nullptr);
    EXPECT_EQ(Tab()->BuildFileName, "Wrk\\Tab2023.wrk");
    EXPECT_FALSE(m->Running());
    WaitWhileRunning();
    EXPECT_TRUE(fs::exists(File("Wrk\\Tab2023.wrk")));
    EXPECT_TRUE(fs::exists(File("Wrk\\Moon2023.wrk")));
    EXPECT_EQ(Tab(), nullptr);
    ASSERT_EQ(Moon(), m);
    EXPECT_EQ(m->Memo->Lines().size(), 4u + 365);
    EXPECT_EQ(jobs->EphemerisContinuation, kJobNone);
}

// Esc while a table runs stops it: nothing written, the memo says so, the caption is back;
// Esc then closes the window.
TEST_F(MoonFormTest, EscStopsATable) {
    TMoon* m = Open(Caption("N101"));
    m->YearEdit->SetText("2024");
    m->GoBtn->Click();
    ASSERT_TRUE(m->Running());
    Pump(); // a stretch or so
    ASSERT_TRUE(m->Running());
    EXPECT_NE(m->Caption(), Caption("N101")); // the date reached
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(m->YearEdit, &esc);
    EXPECT_FALSE(m->Running());
    EXPECT_EQ(m->Caption(), Caption("N101"));
    EXPECT_EQ(m->Memo->Lines().back(), "Расчёт прерван, файл не записан"_cp);
    for (int i = 0; i < 10; ++i) Pump();
    EXPECT_FALSE(fs::exists(File("Wrk\\Sun2024.wrk")));
    QKeyEvent esc2(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(m->YearEdit, &esc2);
    Pump();
    EXPECT_EQ(Moon(), nullptr);
}

// Years, periods and planets that cannot be made are refused in the memo with the error
// sound, and nothing is written.
TEST_F(MoonFormTest, RefusedInput) {
    p->s.EnglishMode = true;
    const struct {
        std::string caption;
        const char* year;
        const char* period;
        const char* said;
    } cases[] = {
        {Caption("N101"), "20x4", "1", "The year must be a whole number: 20x4"},
        {Caption("N103"), "10000", "1", "Tables are made for the years -9999 to 9999"},
        {Caption("N102") + " Vulcan", "2024", "1", "No such planet: Vulcan"},
        {Caption("N102") + " Mars", "2024", "x",
         "The period must be a whole number of years up to 1000: x"},
        {Caption("N102") + " Mars", "2024", "1001",
         "The period must be a whole number of years up to 1000: 1001"},
    };
    for (const auto& c : cases) {
        sounds.clear();
        TMoon* m = Open(c.caption);
        m->YearEdit->SetText(c.year);
        m->PeriodEdit->SetText(c.period);
        m->GoBtn->Click();
        EXPECT_FALSE(m->Running()) << c.said;
        EXPECT_EQ(m->Memo->Lines(), (std::vector<std::string>{c.said}));
        EXPECT_EQ(sounds, (std::vector<std::string>{"Error.wav"})) << c.said;
    }
    EXPECT_FALSE(fs::exists(dir / "Wrk"));
}

// A table that cannot be saved: the memo says so with the reason, the caption is back, the
// chart state as it was, no file.
TEST_F(MoonFormTest, FailedSaveIsSaid) {
    dir.Write("Wrk", "a file where the folder should be");
    const ChartContext before = p->s;
    TMoon* m = Open(Caption("N103"));
    m->YearEdit->SetText("2024");
    Make(m);
    EXPECT_EQ(m->Memo->Lines().back(), Msg(52, "Wrk\\Map2024.wrk: Not a directory"));
    EXPECT_EQ(m->Caption(), Caption("N103"));
    EXPECT_TRUE(fs::is_regular_file(dir / "Wrk"));
    EXPECT_EQ(p->s.ChartYear, before.ChartYear);
    EXPECT_EQ(p->s.ChartZone, before.ChartZone);
    EXPECT_EQ(p->s.ContextDepth, 0);
    EXPECT_TRUE(p->s.GlyphNames);
    EXPECT_FALSE(p->s.ShortNames);
    EXPECT_TRUE(dialogs.asked.empty());
}

// "Прочитать" offers the files of the caption's table under "Wrk" and shows the one chosen;
// "Очистить" empties the memo.
TEST_F(MoonFormTest, ReadingASavedTable) {
    dir.Write("Wrk/Sun2020.wrk", "line one\r\nline two\r\n");
    TMoon* m = Open(Caption("N101"));
    dialogs.fileAnswers = {File("Wrk\\Sun2020.wrk"), fs::path()};
    m->ReadBtn->Click();
    EXPECT_EQ(m->Memo->Lines(), (std::vector<std::string>{"line one", "line two"}));
    m->ReadBtn->Click(); // cancelled: the memo stays
    EXPECT_EQ(m->Memo->Lines().size(), 2u);
    ASSERT_EQ(dialogs.asked.size(), 2u);
    EXPECT_EQ(dialogs.asked[0].what, "OpenFile");
    m->ClearBtn->Click();
    EXPECT_TRUE(m->Memo->Lines().empty() || m->Memo->Lines() == std::vector<std::string>{""});
}

TEST_F(MoonFormTest, EnglishTexts) {
    TMoon* m = Open(Caption("N100"));
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(kShippedData / "English.txt", lines).ok());
    for (const std::string& problem : EnglishCoverageProblems({m}, lines, true))
        ADD_FAILURE() << Cp1251ToUtf8(problem);
    p->s.EnglishMode = true;
    p->English.ApplyEnglishToForm("Moon");
    EXPECT_EQ(m->GoBtn->Caption(), "Make");
    EXPECT_EQ(m->Label2->Caption(), "Period");
}

} // namespace
} // namespace qor::forecast
