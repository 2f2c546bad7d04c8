// The motion-graph window in the whole program: the kind and its label, the pickers by click
// and drag, the month and year arrows, the graph on the screen "M" (also after a build of the
// year's file), the transit tables of a planet and of the Moon, the English texts.

#include "ForecastTestSupport.h"
#include "app/MainWindowFixture.h"
#include "core/AstroMath.h"
#include "core/Text.h"
#include "forecast/MovPlnForm.h"
#include "forecast/TabForm.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace qor::forecast {
namespace {

using shell::MainWindowTest;
using namespace ui;

class MovPlnWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        dialogs.asked.clear();
        RegisterEphemeris(*program); // the real ephemeris window, not the fixture's stand-in
    }
    TMovPln* MovPln() { return dynamic_cast<TMovPln*>(form1->OpenToolWindow("MovPln")); }
    void Pump() { test_support::PumpEvents(); }
    void RunBuild() { test_support::RunEphemerisBuild(); }
    int RedPixels() {
        const QImage& img = program->BufBitmap->image();
        int n = 0;
        for (int y = 0; y < img.height(); y += 2)
            for (int x = 0; x < img.width(); ++x) n += img.pixel(x, y) == qRgb(255, 0, 0);
        return n;
    }
};

TEST_F(MovPlnWindowTest, KindPickersAndArrows) {
    TMovPln* m = MovPln();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Label4->Caption(), Cp("Транзитные"));
    m->TypeBox->SetItemIndex(1);
    m->TypeBox->OnChange();
    EXPECT_EQ(m->Label4->Caption(), Cp("Прогрессивные"));
    EXPECT_FALSE(m->TablButton->isEnabled());
    m->TypeBox->SetItemIndex(0);
    m->TypeBox->OnChange();
    EXPECT_TRUE(m->TablButton->isEnabled());

    // A press flips a cell; a drag flips every cell it enters once.
    m->WorkPicker = std::string(16, '.');
    m->PickerPress(0, 4 + 10 * 2); // cell 3
    EXPECT_EQ(m->WorkPicker.substr(0, 6), "..*...");
    m->PickerDrag(0, 4 + 10 * 2 + 5); // still cell 3
    EXPECT_EQ(m->WorkPicker.substr(0, 6), "..*...");
    m->PickerDrag(0, 4 + 10 * 3);
    m->PickerDrag(0, 4 + 10 * 4);
    m->PickerDrag(0, 4 + 10 * 4 + 3);
    EXPECT_EQ(m->WorkPicker.substr(0, 6), "..***.");
    m->PickerPress(2, 4 + 10 * 11); // house 12
    EXPECT_EQ(m->HousePicker.back(), '*');
    m->PickerPress(2, 4 + 10 * 12); // no house 13
    EXPECT_EQ(m->HousePicker.size(), 12u);

    // January back is December of the year before; the graph is drawn again only for a month.
    m->Edit1->SetText(Cp("Январь"));
    m->Edit2->SetText("2024");
    m->PeriodBox->SetItemIndex(1);
    m->StepMonth(-1);
    EXPECT_EQ(m->Edit1->Text(), Cp("Декабрь"));
    EXPECT_EQ(m->Edit2->Text(), "2023");
    EXPECT_FALSE(m->Timer1->Enabled());
    m->PeriodBox->SetItemIndex(0);
    m->StepMonth(1);
    EXPECT_EQ(m->Edit1->Text(), Cp("Январь"));
    EXPECT_EQ(m->Edit2->Text(), "2024");
    EXPECT_TRUE(m->Timer1->Enabled());
    m->Edit1->SetText("no month");
    EXPECT_EQ(m->MonthOfEdit(), 1);
}

TEST_F(MovPlnWindowTest, TheGraphIsDrawnAfterTheYearsFileIsBuilt) {
    TMovPln* m = MovPln();
    m->Edit2->SetText("2024");
    m->PeriodBox->SetItemIndex(1);
    m->Button1->Click();
    EXPECT_TRUE(m->Timer1->Enabled());
    EXPECT_EQ(m->Timer1->Interval(), 100);
    m->Timer1->OnTimer();
    EXPECT_EQ(program->Flags.ScreenMode, 'M');
    EXPECT_EQ(RedPixels(), 0); // waiting for the file
    RunBuild();
    ASSERT_TRUE(fs::exists(program->s.DataPath("Wrk\\Tab2024.wrk")));
    EXPECT_GT(RedPixels(), 100); // the Sun's curve
    // The screen stays the graph's while it is shown; its window only hides.
    m->Close();
    Pump();
    EXPECT_NE(Screen().FindForm("MovPln"), nullptr);
}

TEST_F(MovPlnWindowTest, DecadeTransitsWaitForTheCenturyFile) {
    TMovPln* m = MovPln();
    m->Edit2->SetText("2024");
    m->PeriodBox->SetItemIndex(2);
    m->Button1->Click();
    m->Timer1->OnTimer();
    EXPECT_EQ(RedPixels(), 0); // waiting for the file
    RunBuild();
    ASSERT_TRUE(fs::exists(program->s.DataPath("Wrk\\Cen21.wrk")));
    EXPECT_GT(RedPixels(), 100);
}

// Progressions and directions compute from the chart and leave it as it was.
TEST_F(MovPlnWindowTest, ProgressionsAndDirectionsKeepTheChart) {
    TMovPln* m = MovPln();
    m->Edit2->SetText("2010");
    const AstroDat& s = program->s;
    const double jd = s.ChartJD;
    const PointArray lon = s.PlanetLon, bck = s.PlanetLonBck;
    for (int kind : {1, 2})
        for (int period : {1, 3}) {
            m->TypeBox->SetItemIndex(kind);
            m->PeriodBox->SetItemIndex(period);
            m->Button1->Click();
            m->Timer1->OnTimer();
            EXPECT_GT(RedPixels(), 20) << kind << " " << period;
            EXPECT_EQ(s.ChartJD, jd);
            EXPECT_EQ(s.PlanetLon, lon);
            EXPECT_EQ(s.PlanetLonBck, bck);
        }
    EXPECT_EQ(Screen().FindForm("Tab"), nullptr); // no file needed
}

TEST_F(MovPlnWindowTest, TransitTablesOfAPlanetAndOfTheMoon) {
    ASSERT_TRUE(BuildAnnualEphemeris(program->s, 2024).ok());
    TMovPln* m = MovPln();
    m->Edit2->SetText("2024");
    m->Edit1->SetText(Cp("Июнь"));
    m->WorkPicker = std::string(16, '*'); // none chosen: the Sun
    m->TablButtonClick();
    auto* list = dynamic_cast<TAspList*>(Screen().FindForm("AspList"));
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(list->Lines().size(), 366u);
    EXPECT_TRUE(list->Caption().starts_with(GetMsgText(program->s, 67, "2024")));
    EXPECT_NE(list->Caption().find(Cp("Солнце")), std::string::npos);

    const double jd = program->s.ChartJD;
    m->WorkPicker = "*." + std::string(14, '*'); // the Moon
    m->TablButtonClick();
    const std::vector<std::string> lines = list->Lines();
    ASSERT_EQ(lines.size(), 360u);
    EXPECT_EQ(lines.front().substr(0, 9), "01  00   ");
    EXPECT_EQ(program->s.ChartJD, jd); // the chart is as it was
}

TEST_F(MovPlnWindowTest, TheAspectCursorIsALayerOverThePicture) {
    ASSERT_TRUE(BuildAnnualEphemeris(program->s, 2024).ok());
    TMovPln* m = MovPln();
    m->Edit2->SetText("2024");
    m->Button1->Click();
    m->Timer1->OnTimer();
    ASSERT_EQ(program->Flags.ScreenMode, 'M');
    const QImage before = program->BufBitmap->image().copy();
    const int x = MakeMotionGeometry(program->BufBitmap->Width(), 600, 0, 365).Column(kPi);
    m->AspMode = 3;
    form1->PaintBoxMouseDown(MouseButton::Left, 0, x, 200);
    EXPECT_TRUE(m->CursorShown());
    form1->PaintBoxMouseMove(ssLeft, x, 220);
    form1->PaintBoxMouseUp(MouseButton::Left, 0, x, 220);
    EXPECT_FALSE(m->CursorShown());
    EXPECT_EQ(program->BufBitmap->image(), before); // nothing drawn into the picture
    // At 180°: the conjunction once, the opposition at both edges, the square at both sides
    // (90° and 270° do not fit).
    const std::vector<TMovPln::CursorMark> marks = m->CursorMarks(x);
    auto count = [&](int a) {
        return std::count_if(marks.begin(), marks.end(),
                             [a](const TMovPln::CursorMark& k) { return k.aspect == a; });
    };
    EXPECT_EQ(count(1), 1);
    EXPECT_EQ(count(14), 2);
    EXPECT_EQ(count(8), 2);
    // No cursor with another harmonic, or with no aspect kind chosen.
    m->GarmBox->SetItemIndex(1);
    form1->PaintBoxMouseDown(MouseButton::Left, 0, x, 200);
    EXPECT_FALSE(m->CursorShown());
    m->GarmBox->SetItemIndex(0);
    m->AspMode = 0;
    form1->PaintBoxMouseDown(MouseButton::Left, 0, x, 200);
    EXPECT_FALSE(m->CursorShown());
    form1->PaintBoxMouseUp(MouseButton::Left, 0, x, 200);
}

TEST_F(MovPlnWindowTest, EnglishTexts) {
    StartInEnglish();
    RegisterEphemeris(*program);
    TMovPln* m = MovPln();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Label4->Caption(), "Transit");
    EXPECT_EQ(m->Button1->Caption(), "&Graph");
    EXPECT_EQ(m->Edit1->Text(), "September");
    EXPECT_EQ(m->MonthOfEdit(), 9);
    const std::vector<std::string>* lines = nullptr;
    ASSERT_TRUE(program->English.Lines(lines));
    EXPECT_EQ(EnglishCoverageProblems({m}, *lines, true), std::vector<std::string>{});
}

} // namespace
} // namespace qor::forecast
