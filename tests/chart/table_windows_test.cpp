// The three table windows in a program: the exact-aspects window opened with the wheel's code
// and kept by the recompute hub, the astronomical data window with its labels and exports, the
// aspect table with its lists, formats, docking, column sizing and export; driven through the
// command paths where the command link would drive them; their English texts and pictures.
#include "ChartWindowsFixture.h"

#include "chart/AspTablForm.h"
#include "chart/AstroForm.h"
#include "chart/ExctAspForm.h"
#include "chart/TableWindows.h"
#include "core/Aspects.h"
#include "core/Chart.h"
#include "core/Files.h"
#include "core/Formats.h"
#include "core/Stepping.h"
#include "core/Text.h"
#include "core/TimeStep.h"
#include "ui/EnglishTexts.h"

#include <QApplication>
#include <QHeaderView>

#include <cstdlib>
#include <fstream>

namespace qor::chart {
namespace {

using ui::Screen;

class TableWindowsTest : public ChartWindowsTest {
protected:
    void SetUp() override {
        ChartWindowsTest::SetUp();
        std::filesystem::copy_file(std::filesystem::path(QOR_SOURCE_DIR) / "data" / "English.txt",
                                   dir / "English.txt");
        RegisterTableWindows(*p);
        auto lines = BuiltInAspectLines();
        ReadAspectTable(p->AspTable, lines);
        PrepareAspectWindows(p->AspTable);
        p->Hooks.InterpShowFile = [this](const std::string& file) { shown.push_back(file); };
        Screen().SetSize(1280, 1024);
        // 10 March 2024, 0:00 at Moscow: nine hours before a new moon
        AstroDat& s = p->s;
        s.ChartYear = 2024, s.ChartMonth = 3, s.ChartDay = 10, s.ChartHour = 0;
        s.ChartMinute = 0, s.ChartSecond = 0, s.ChartZone = 180;
        s.ChartLat = 55.75 * kDegToRad;
        s.ChartLong = 37.62 * kDegToRad;
        Recompute();
    }
    void TearDown() override {
        Screen().SetSize(0, 0);
        ChartWindowsTest::TearDown();
    }
    void Recompute() {
        p->ReadOptions();
        CalcAstroTime(p->s, TimeOptionsFor(p->ChartOpt, p->GeneralOpt));
        ShowUTLabels(p->s);
        CalcChart(p->s, p->ChartOpt, p->GeneralOpt, 0);
        p->CalcCurrentAspects();
    }
    TExctAsp* Exact() { return Screen().Ensure<TExctAsp>("ExctAsp"); }
    TAstroForm* Astro() {
        auto* w = Screen().Ensure<TAstroForm>("AstroForm");
        if (w) w->show();
        return w;
    }
    TAspTabl* Table() {
        auto* w = Screen().Ensure<TAspTabl>("AspTabl");
        if (w) w->show();
        return w;
    }
    std::vector<std::string> Lines(const std::string& programName) {
        std::vector<std::string> lines;
        EXPECT_TRUE(ReadTextLines(p->s.DataPath(programName), lines).ok()) << programName;
        return lines;
    }
    std::vector<std::string> shown;
};

// --- Exact aspects ----------------------------------------------------------------------------

TEST_F(TableWindowsTest, ExactAspectsRefusedAwayFromTheEarthAcrossDirectionsAndForBadCodes) {
    TExctAsp* w = Exact();
    ASSERT_NE(w, nullptr);
    p->Flags.ExterrBody = 4;
    EXPECT_FALSE(w->ExctAspOpen("010102"));
    EXPECT_EQ(p->s.StatusText, "Функция недоступна"_cp);
    EXPECT_FALSE(w->isVisible());
    p->Flags.ExterrBody = 0;
    p->Flags.DoubleChart = true;
    kart->XGroup->SetItemIndex(2); // across the charts
    p->s.DynMethod = 'P';
    p->s.StatusText.clear();
    EXPECT_FALSE(w->ExctAspOpen("010102"));
    EXPECT_EQ(p->s.StatusText, "Функция недоступна"_cp);
    p->Flags.DoubleChart = false;
    p->s.DynMethod = ' ';
    for (const char* bad : {"01xx02", "014602", "0101"}) {
        p->s.StatusText.clear();
        EXPECT_FALSE(w->ExctAspOpen(bad)) << bad;
        EXPECT_FALSE(p->s.StatusText.empty());
    }
    EXPECT_FALSE(w->isVisible());
}

TEST_F(TableWindowsTest, ExactAspectsShowTheNewMoonAndLeaveTheChart) {
    const PointArray lon = p->s.PlanetLon;
    const auto bodies = p->s.Bodies;
    TExctAsp* w = Exact();
    ASSERT_TRUE(ShowExactAspect(*p, "010102"));
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(p->s.PlanetLon == lon);
    EXPECT_TRUE(p->s.Bodies == bodies);
    ASSERT_TRUE(w->Result.Found);
    EXPECT_TRUE(w->Result.Applying);
    EXPECT_EQ(w->StepText(), "1 час"_cp);
    // the new moon of 10 March 2024 at 9:00 UT, 12:00 at Moscow
    const ChartMoment& m = w->Result.Exact;
    EXPECT_EQ(std::vector<int>({m.Year, m.Month, m.Day, m.Hour}),
              std::vector<int>({2024, 3, 10, 12}));
    EXPECT_EQ(w->ExactMomentText(), "  10/03/2024 12:" + IntToStrZ(m.Minute, 2) + ":" +
                                        IntToStrZ(m.Second, 2));
    const std::string caption = w->Caption();
    EXPECT_EQ(caption.rfind("Соединение Солнце-Луна  >"_cp, 0), 0u) << Cp1251ToUtf8(caption);
    EXPECT_EQ(caption.back(), '<');
    // the graph: the line of exactness in dark blue and the mark of the moment in red
    const QImage& g = w->TimelineBitmap();
    ASSERT_FALSE(g.isNull());
    EXPECT_EQ(g.size(), w->PaintBox->size());
    const int x = static_cast<int>(std::lround(g.width() / 20.0 * w->Result.ExactStep));
    EXPECT_EQ(g.pixelColor(x, g.height() / 2 - 5), QColor(255, 0, 0));
    EXPECT_EQ(g.pixelColor(3, g.height() / 2), QColor(0, 0, 128));
}

TEST_F(TableWindowsTest, CoarserAndFinerCommandsAndTheMouse) {
    TExctAsp* w = Exact();
    ASSERT_TRUE(w->ExctAspOpen("010102"));
    EXPECT_EQ(w->Result.Scale, (StepScale{kStepHours, 1}));
    p->Commands.RunUICommand("ExctAsp,N51", "");
    EXPECT_EQ(w->Result.Scale, (StepScale{kStepDays, 1}));
    EXPECT_TRUE(w->Result.Found); // nine hours ahead, between the first two days
    p->Commands.RunUICommand("ExctAsp,N52", "");
    p->Commands.RunUICommand("ExctAsp,N52", "");
    EXPECT_EQ(w->Result.Scale, (StepScale{kStepMinutes, 4}));
    EXPECT_FALSE(w->Result.Found); // eighty minutes do not reach it
    EXPECT_TRUE(w->ExactMomentText().empty());
    // reopening starts from the natural scale; a left click on the graph closes the window
    ASSERT_TRUE(w->ExctAspOpen("010102"));
    EXPECT_EQ(w->Result.Scale, (StepScale{kStepHours, 1}));
    p->Commands.RunUICommand("ExctAsp,PaintBox", "MouseDown,mbLeft,,20,20");
    EXPECT_FALSE(w->isVisible());
}

// While the window is shown, every recompute searches again from the new moment; the exact
// moment stays where it is.
TEST_F(TableWindowsTest, TheRecomputeHubUpdatesTheShownWindow) {
    TExctAsp* w = Exact();
    ASSERT_TRUE(w->ExctAspOpen("010102"));
    const ChartMoment before = w->Result.Exact;
    const double separation = w->Result.Separation;
    IncHour(p->s, 3);
    tech->RefreshAll();
    EXPECT_LT(w->Result.Separation, separation);
    EXPECT_NEAR(JulianDayUT(w->Result.Exact), JulianDayUT(before), 2.0 / 86400);
    EXPECT_EQ(p->s.ChartHour, 3);
    // after the exact moment the aspect separates and the scan runs backwards
    IncHour(p->s, 12);
    tech->RefreshAll();
    EXPECT_FALSE(w->Result.Applying);
    EXPECT_NEAR(JulianDayUT(w->Result.Exact), JulianDayUT(before), 2.0 / 86400);
    EXPECT_EQ(w->Caption().back(), '>');
}

// --- Astronomical data ---------------------------------------------------------------------------

TEST_F(TableWindowsTest, AstronomicalDataShowsTheTimeStepAndOneRowABody) {
    TAstroForm* w = Astro();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->JdLabel->Caption(), "2460379,37500");
    EXPECT_EQ(w->TeLabel->Caption(), AstroTimeLabels(p->s).TeLabel);
    EXPECT_EQ(w->UTCLabel->Caption(), p->s.UTTimeText);
    EXPECT_EQ(w->UTDLabel->Caption(), "09.03.2024");
    EXPECT_EQ(w->LeapLabel->Caption(), "Високосный"_cp);
    EXPECT_EQ(w->DrawGrid->RowCount(), 16);
    EXPECT_EQ(w->AstroFlags(), std::string(27, '1'));
    p->s.NExtra = 2;
    p->Commands.RunUICommand("AstroForm,DrawGrid", "");
    EXPECT_EQ(w->DrawGrid->RowCount(), 18);
    // every column wide enough for its texts
    const QFontMetrics fm(w->DrawGrid->font());
    for (int c = 1; c < kAstroColumns; ++c)
        for (int r = 0; r < w->DrawGrid->RowCount(); ++r)
            EXPECT_LE(fm.horizontalAdvance(ui::ToQ(Trim(w->CellText(c, r)))) + 8,
                      w->DrawGrid->ColWidth(c))
                << c << " " << r;
}

TEST_F(TableWindowsTest, AstroTxtIsWrittenWholeOrNotAtAllAndShown) {
    TAstroForm* w = Astro();
    p->Commands.RunUICommand("AstroForm,NAstrocsv", "");
    const std::vector<std::string> lines = Lines("Wrk\\Astro.txt");
    ASSERT_EQ(lines.size(), 1u + 9 + 16);
    EXPECT_EQ(lines[0], w->Caption());
    EXPECT_EQ(shown, std::vector<std::string>{"Wrk\\Astro.txt"});
    EXPECT_EQ(p->s.StatusText, GetMsgText(p->s, 57, "Wrk\\Astro.txt"));
    // a file the user made read-only stays as it was, and the user is told
    const fs::path file = p->s.DataPath("Wrk\\Astro.txt");
    std::string old;
    ASSERT_TRUE(ReadFileBytes(file, old).ok());
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    dialogs.asked.clear();
    IncHour(p->s, 5);
    Recompute();
    w->NAstrocsvClick();
    std::string now;
    ASSERT_TRUE(ReadFileBytes(file, now).ok());
    EXPECT_EQ(now, old);
    EXPECT_FALSE(dialogs.asked.empty());
    EXPECT_EQ(shown.size(), 1u);
}

TEST_F(TableWindowsTest, NumberedExportsStopAt999) {
    TAstroForm* w = Astro();
    w->NAstroNClick();
    w->NAstroNClick();
    EXPECT_EQ(Lines("Wrk\\Astro2.txt").size(), 26u);
    for (int n = 3; n <= 999; ++n)
        std::ofstream(p->s.DataPath("Wrk") / ("Astro" + std::to_string(n) + ".txt"));
    dialogs.asked.clear();
    w->NAstroNClick();
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text, GetMsgText(p->s, 71));
    EXPECT_FALSE(fs::exists(p->s.DataPath("Wrk") / "Astro1000.txt"));
    // the command link is not kept waiting: the words go to the status line
    p->Flags.LinkCommand = true;
    dialogs.asked.clear();
    w->NAstroNClick();
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_EQ(p->s.StatusText, GetMsgText(p->s, 71));
}

TEST_F(TableWindowsTest, SaveAsMakesTheWorkFolderAndAsksBeforeReplacing) {
    TAstroForm* w = Astro();
    const fs::path cwd = fs::current_path();
    const fs::path target = p->s.DataPath("Wrk") / "mine.txt";
    dialogs.fileAnswers = {target};
    w->NSaveClick();
    EXPECT_EQ(fs::current_path(), cwd);
    ASSERT_TRUE(fs::exists(target));
    const auto size = fs::file_size(target);
    // an existing file: "No" keeps it, "Yes" replaces it
    std::ofstream(target) << "mine";
    dialogs.fileAnswers = {target};
    dialogs.messageAnswers = {ui::MsgResult::No};
    w->NSaveClick();
    EXPECT_EQ(fs::file_size(target), 4u);
    dialogs.fileAnswers = {target};
    dialogs.messageAnswers = {ui::MsgResult::Yes};
    w->NSaveClick();
    EXPECT_EQ(fs::file_size(target), size);
    // a work folder that cannot be made: message 70
    fs::remove_all(p->s.DataPath("Wrk"));
    std::ofstream(dir / "Wrk") << "a file";
    dialogs.asked.clear();
    w->NSaveClick();
    ASSERT_FALSE(dialogs.asked.empty());
    EXPECT_EQ(dialogs.asked[0].text, GetMsgText(p->s, 70, "Wrk"));
}

TEST_F(TableWindowsTest, ColumnsLeftOutOfTheExportAndTheDecimalForm) {
    TAstroForm* w = Astro();
    w->GridCol = 2; // latitude
    w->PopupForColumn(10, 10);
    EXPECT_TRUE(w->Ncolumn->Checked());
    EXPECT_EQ(w->Ncolumn->Caption(), GetMsgText(p->s, 68, "Широта"_cp));
    EXPECT_TRUE(w->NDec->Checked()); // decimal numbers unless the user says otherwise
    w->Ncolumn->Click();
    EXPECT_EQ(w->AstroFlags()[3], '0');
    w->PopupMenu->hide();
    const std::vector<std::string> lines = w->BuildTextTable();
    p->s.GlyphNames = false;
    AstroTableOptions decimal;
    decimal.DecimalMode = true;
    const std::string sunLat = Trim(AstroCellText(p->s, decimal, 2, 2));
    const std::string sunLon = Trim(AstroCellText(p->s, decimal, 1, 2));
    p->s.GlyphNames = true;
    EXPECT_NE(lines[12].find(sunLon), std::string::npos);
    EXPECT_EQ(lines[12].find(sunLat), std::string::npos);
    EXPECT_EQ(lines[10].find("  Широта  "_cp), std::string::npos); // " Широта Np" stays
    // the grid still shows the column, in degrees, minutes and seconds
    EXPECT_EQ(w->CellText(2, 0), "  Широта  "_cp);
    EXPECT_NE(w->CellText(1, 2).find('\xB0'), std::string::npos);
    // without the decimal flag the export writes degrees, minutes and seconds
    w->NDec->Click();
    EXPECT_EQ(w->AstroFlags()[0], '0');
    EXPECT_NE(w->BuildTextTable()[12].find(Trim(w->CellText(1, 2))), std::string::npos);
}

// --- Aspect table -----------------------------------------------------------------------------------

TEST_F(TableWindowsTest, AspectTableListsTheFlaggedPointsAndCusps) {
    TAspTabl* w = Table();
    ASSERT_NE(w, nullptr);
    // Sun..Pluto, the nodes, the Black and White Moon, twelve cusps
    EXPECT_EQ(w->Points().size(), 14u + 12u);
    EXPECT_EQ(w->DrawGrid->RowCount(), 27);
    EXPECT_EQ(w->CellText(1, 0), "Солнце"_cp);
    EXPECT_EQ(w->CellText(0, 15), "Asc");
    EXPECT_EQ(w->CellText(0, 18), "IC");
    EXPECT_EQ(w->CellText(0, 16), "2");
    EXPECT_EQ(w->CellText(1, 1), "       ");
    // the Moon out of the table, through the settings window's grid flags
    std::string flags = kart->TablAsp->Text();
    flags[1] = kFlagOff;
    kart->TablAsp->SetText(flags);
    p->Commands.RunUICommand("AspTabl,DrawGrid", "");
    EXPECT_EQ(w->Points().size(), 13u + 12u);
    EXPECT_EQ(w->CellText(2, 0), "Меркурий"_cp);
    // no cusps in a heliocentric chart
    kart->HelioBox->SetChecked(true);
    p->Flags.HelioMode = true;
    w->AspTableRebuild();
    EXPECT_EQ(w->Points().size(), 9u); // the Earth and the planets: no Moon, no lunar points
}

TEST_F(TableWindowsTest, ExactFormatWidensTheColumnsAndTheExportMatchesTheGrid) {
    TAspTabl* w = Table();
    EXPECT_TRUE(w->Naccur->Checked());
    const int exact = w->DrawGrid->ColWidth(1);
    p->Commands.RunUICommand("AspTabl,Naccur", "");
    EXPECT_EQ(p->Flags.AspTablAccur, 'N');
    EXPECT_LT(w->DrawGrid->ColWidth(1), exact);
    p->Commands.RunUICommand("AspTabl,Naccur", "");
    EXPECT_EQ(p->Flags.AspTablAccur, 'Y');
    p->Commands.RunUICommand("AspTabl,Aspectscsv", "");
    const std::vector<std::string> lines = Lines("Wrk\\TablAsp.txt");
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(w->DrawGrid->RowCount()) + 1);
    std::vector<std::vector<std::string>> cells;
    for (int r = 0; r < w->DrawGrid->RowCount(); ++r) {
        cells.emplace_back();
        for (int c = 0; c < w->DrawGrid->ColCount(); ++c) cells.back().push_back(w->CellText(c, r));
    }
    EXPECT_EQ(lines, AspectTableText(w->Caption(), cells, true));
    EXPECT_EQ(lines[1].substr(0, 4 + 14), std::string(18, ' '));
    EXPECT_EQ(shown, std::vector<std::string>{"Wrk\\TablAsp.txt"});
    EXPECT_TRUE(p->s.GlyphNames);
}

TEST_F(TableWindowsTest, WideningOneDataColumnWidensThemAll) {
    TAspTabl* w = Table();
    w->DrawGrid->SetColWidth(3, 140);
    for (int c = 1; c < w->DrawGrid->ColCount(); ++c) EXPECT_EQ(w->DrawGrid->ColWidth(c), 140) << c;
    EXPECT_EQ(w->Edit1->Text(), "140");
    w->DrawGrid->SetColWidth(0, 90); // the header column alone
    EXPECT_EQ(w->DrawGrid->ColWidth(1), 140);
}

TEST_F(TableWindowsTest, TheWheelDocksTheTableOnAPoint) {
    TAspTabl* w = Table();
    w->Close();
    w->SetBounds(100, 120, 500, 400);
    const QRect before = w->geometry();
    ShowAspTable(*p, 5); // Mars: the fifth listed point, at the right edge
    ASSERT_TRUE(w->isVisible());
    EXPECT_TRUE(w->Docked());
    const QRect area = Screen().WorkArea();
    EXPECT_EQ(w->frameGeometry().right(), area.right());
    EXPECT_EQ(w->frameGeometry().top(), area.top());
    for (int c = 1; c < 5; ++c) EXPECT_TRUE(w->DrawGrid->isColumnHidden(c)) << c;
    EXPECT_FALSE(w->DrawGrid->isColumnHidden(5));
    EXPECT_EQ(w->CellText(5, 0), "Марс"_cp);
    w->Close();
    EXPECT_FALSE(w->Docked());
    EXPECT_EQ(w->geometry(), before);
    EXPECT_FALSE(w->DrawGrid->isColumnHidden(2));
    // the inner chart of a double chart: along the bottom, the point's row after the header
    p->Flags.DoubleChart = true;
    kart->XGroup->SetItemIndex(2);
    ShowAspTable(*p, 27, true);
    EXPECT_EQ(w->frameGeometry().left(), area.left());
    EXPECT_EQ(w->frameGeometry().bottom(), area.bottom());
    EXPECT_TRUE(w->DrawGrid->isRowHidden(14));
    EXPECT_FALSE(w->DrawGrid->isRowHidden(15));
    w->Close();
    // the inner chart's point while the outer chart is aspected: nothing
    kart->XGroup->SetItemIndex(1);
    ShowAspTable(*p, 1, true);
    EXPECT_FALSE(w->isVisible());
}

// --- English and pictures ----------------------------------------------------------------------

TEST_F(TableWindowsTest, EnglishLinesCoverTheWindows) {
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(dir / "English.txt", lines).ok());
    // the windows as they are made, before the chart fills their values
    const std::vector<ui::TForm*> forms = {Screen().Ensure("ExctAsp"), Screen().Ensure("AstroForm"),
                                           Screen().Ensure("AspTabl")};
    for (const std::string& problem : ui::EnglishCoverageProblems(forms, lines, true))
        ADD_FAILURE() << Cp1251ToUtf8(problem);
}

// Each window at its default size and at 1920 x 1080, in Russian and in English, into the
// folder QOR_PICTURES names (nothing is written without it): every caption whole, no Russian
// in English mode.
TEST_F(TableWindowsTest, PicturesInBothLanguages) {
    const char* folder = std::getenv("QOR_PICTURES");
    for (const bool english : {false, true}) {
        if (english) {
            p->s.EnglishMode = true;
            p->English.LoadEnglishTexts();
            Recompute();
        }
        TExctAsp* e = Exact();
        ASSERT_TRUE(e->ExctAspOpen("010102"));
        TAstroForm* a = Astro();
        a->RefreshTable();
        TAspTabl* t = Table();
        t->AspTableRebuild();
        for (ui::TForm* f : std::vector<ui::TForm*>{e, a, t}) {
            if (english) {
                EXPECT_EQ(f->Caption().find_first_of("\xC0\xC1\xC2\xE0\xE1\xE2\xEE\xE5"),
                          std::string::npos)
                    << f->Name() << " " << Cp1251ToUtf8(f->Caption());
                for (const ui::Component& c : f->Components()) {
                    const std::string text = ui::ComponentText(c);
                    for (char ch : text)
                        EXPECT_FALSE(static_cast<unsigned char>(ch) >= 0xC0)
                            << f->Name() << "," << c.Name() << " " << Cp1251ToUtf8(text);
                }
            }
            const QSize normal = f->size();
            for (const QSize size : {normal, QSize(1920, 1080)}) {
                f->resize(size);
                QCoreApplication::processEvents();
                const QImage picture = f->grab().toImage();
                EXPECT_FALSE(picture.isNull());
                if (folder)
                    picture.save(QString::fromStdString(std::string(folder) + "/" + f->Name() + "_" +
                                                        (english ? "en" : "ru") + "_" +
                                                        std::to_string(size.width()) + ".png"));
            }
            f->resize(normal);
        }
    }
}

} // namespace
} // namespace qor::chart
