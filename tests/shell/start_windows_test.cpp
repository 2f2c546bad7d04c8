// The splash window's picture, the start window with the day summary and the Moon's shadow,
// and the about box.
#include "shell/StartWindows.h"

#include "core/AstroMath.h"
#include "core/ChartRecords.h"
#include "core/Ephemeris.h"
#include "core/Files.h"
#include "core/Planets.h"
#include "core/Text.h"
#include "support/QtApp.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"
#include "ui/EnglishTexts.h"
#include "ui/UICommands.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>

#include <QUrl>

#include <gtest/gtest.h>

#include <cmath>

namespace qor::shell {
namespace {

using namespace ui;
namespace fs = std::filesystem;

const fs::path kData = fs::path(QOR_SOURCE_DIR) / "data";

TEST(MergePaint, InvertedSourceOrDestination) {
    struct Case {
        QRgb dest, src, result;
    } cases[] = {
        {0x102030, 0xF0F0F0, 0x1F2F3F},
        {0x808080, 0x00FF00, 0xFF80FF},
        {0x000000, 0xFFFFFF, 0x000000}, // white leaves the destination
        {0x123456, 0x000000, 0xFFFFFF}, // black whitens it
    };
    for (const Case& c : cases) {
        QImage dest(3, 3, QImage::Format_RGB32);
        dest.fill(c.dest);
        QImage src(2, 2, QImage::Format_RGB32);
        src.fill(c.src);
        MergePaint(dest, src, 1, 1);
        EXPECT_EQ(dest.pixel(2, 2) & 0xFFFFFF, c.result) << std::hex << c.dest << " " << c.src;
        EXPECT_EQ(dest.pixel(0, 0) & 0xFFFFFF, c.dest); // outside the source: untouched
    }
}

class StartWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtApp();
        for (const char* f : {"rtext.txt", "etext.txt", "PLANETS.NDX", "PLANETS.DAT"})
            fs::copy_file(kData / f, dir / f);
        fs::create_directories(dir.path() / "JPG" / "Moon");
        fs::copy_file(kData / "JPG" / "Moon" / "Moon.bmp",
                      dir.path() / "JPG" / "Moon" / "Moon.bmp");
        s.ProgramFolder = dir.path();
        s.Report = &report;
        s.EnglishMode = true;
    }
    void TearDown() override {
        for (const char* n : {"Form2", "StartShow", "AboutBox"})
            while (TForm* f = Screen().FindForm(n)) delete f;
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // The share of the Moon's disc (radius 84 around the shadow's centre) that is black.
    static double DarkShare(const QImage& img) {
        const int cx = img.width() / 2 - 1, cy = img.height() / 2;
        int disc = 0, dark = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= 84 * 84) {
                    ++disc;
                    if (qGray(img.pixel(x, y)) < 40) ++dark;
                }
        return static_cast<double>(dark) / disc;
    }
    test::TempDir dir;
    test::RecordingReport report;
    AstroDat s;
};

TEST_F(StartWindowsTest, SplashMergesTheOverlayAndWritesTheVersion) {
    QImage title(500, 300, QImage::Format_RGB32);
    title.fill(0x808080);
    QImage overlay(100, 50, QImage::Format_RGB32);
    overlay.fill(0x00FF00);
    ASSERT_TRUE(title.save(QString::fromStdString((dir.path() / "ijtitul1.qor").string()), "BMP"));
    ASSERT_TRUE(
        overlay.save(QString::fromStdString((dir.path() / "ijtitul2.qor").string()), "BMP"));
    auto* f = new TForm2(s);
    EXPECT_EQ(f->Width(), 506);
    EXPECT_EQ(f->Height(), 326);
    const QImage pic = f->Picture();
    const int ox = (506 - 100) / 2 - 10, oy = (326 - 50) / 2 - 8;
    EXPECT_EQ(pic.pixel(ox + 5, oy + 5) & 0xFFFFFF, 0xFF80FFu);
    EXPECT_EQ(pic.pixel(ox - 1, oy - 1) & 0xFFFFFF, 0x808080u);
    EXPECT_EQ(pic.pixel(5, 0) & 0xFFFFFF, 0xFFFFFFu); // the title starts at row 1
    int aqua = 0;
    for (int y = 150; y < 185; ++y)
        for (int x = 350; x < 430; ++x)
            if ((pic.pixel(x, y) & 0xFFFFFF) == 0x00FFFF) ++aqua;
    EXPECT_GT(aqua, 20); // the version "5.12"
    f->SetCaption("Loading the planets");
    EXPECT_EQ(f->Caption(), "Loading the planets");
}

// The dark share of the disc is 1 − k within 2 % at any phase, on either side.
TEST_F(StartWindowsTest, ShadowCoversOneMinusKOfTheDisc) {
    auto* w = new TStartShow(s);
    w->show();
    ASSERT_EQ(w->MoonBitmap.size(), QSize(201, 194));
    EXPECT_LT(DarkShare(w->MoonBitmap), 0.001); // the picture itself has no black on the disc
    for (double k : {0.02, 0.1, 0.3, 0.5, 0.6786, 0.9, 0.99}) {
        for (double sign : {-1.0, 1.0}) {
            w->PhaseAngle = sign * std::acos(2 * k - 1);
            w->PhaseFraction = k;
            const QImage img = w->MoonPicture();
            EXPECT_NEAR(DarkShare(img), 1 - k, 0.02) << k << " " << sign;
            // Waxing (negative angle): the dark side is on the left.
            const int cx = img.width() / 2 - 1, cy = img.height() / 2;
            if (k < 0.9) {
                const int darkSideX = sign < 0 ? cx - 80 : cx + 80;
                EXPECT_LT(qGray(img.pixel(darkSideX, cy)), 40) << k << " " << sign;
            }
        }
    }
    // Above 0.99 no shadow is drawn at all.
    w->PhaseFraction = 0.995;
    w->PhaseAngle = std::acos(2 * 0.995 - 1);
    EXPECT_LT(DarkShare(w->MoonPicture()), 0.001);
}

TEST_F(StartWindowsTest, DaySummaryOfMeeusExample48aAndClosing) {
    for (int i = 0; i < kPlanetSeriesBodies; ++i) ASSERT_TRUE(LoadPlanetTerms(s, i).ok);
    // 1992 April 12, 0h TD (Meeus 48.a: k = 0.6786); the start moment in UT.
    const double jdUT = 2448724.5 - DeltaT(CenturiesJ2000(2448724.5)) / 86400;
    const DateTimeRec t = CalendarFromJD(jdUT);
    char date[16], time[16];
    std::snprintf(date, sizeof date, "%2d.%02d.%04d ", static_cast<int>(t.Day), t.Month, t.Year);
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", t.Hour, t.Minute,
                  static_cast<int>(t.Second));
    s.DatRecStart[kRecDate] = date;
    s.DatRecStart[kRecTime] = time;
    s.DatRecStart[kRecZone] = "+00:00";
    s.DatRecStart[kRecLat] = Cp("51°29'N");
    s.DatRecStart[kRecLong] = Cp("  0°00'E");
    s.DatRecStart[kRecName] = "Start";
    ASSERT_TRUE(UnpackDatRecToChart(s, s.DatRecStart));
    ChartOptions opt;
    GeneralOptions gen{.HorParallax = false};
    CurrentChart chart(s, opt, gen);
    ShellHooks hooks;
    QPointer<TStartShow> w = ShowDayInfo(s, chart, gen, hooks);
    ASSERT_TRUE(w);
    EXPECT_NEAR(w->PhaseFraction, 0.6786, 0.0005);
    EXPECT_LT(w->PhaseAngle, 0);       // waxing
    EXPECT_FALSE(chart.HorParallax()); // given back
    const std::vector<std::string> lines = w->Lines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], " 11 April 1992 Saturday  " + std::string(time));
    EXPECT_EQ(lines[2].rfind("Full Moon: ", 0), 0u); // the full Moon of 17 April comes first
    EXPECT_EQ(lines[4], "Illuminated part of the Moon: 67.9%");
    EXPECT_NEAR(DarkShare(w->MoonPicture()), 1 - 0.6786, 0.02);

    // Any key closes it, Shift alone too.
    UICommands cmd(s);
    cmd.RunUICommand("StartShow", "KeyDown,16");
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
    // A mouse button on the picture does too.
    w = ShowDayInfo(s, chart, gen, hooks);
    w->PaintBox->OnMouseDown(MouseButton::Right, 0, 5, 5);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
}

TEST_F(StartWindowsTest, AboutBoxOpensItsAddresses) {
    std::vector<std::string> opened;
    TAboutBox::OpenUrl = [&](const std::string& u) { opened.push_back(u); };
    auto* a = new TAboutBox(s);
    a->show();
    EXPECT_EQ(a->Label1->Caption(), "Version 5.12.0.12");
    EXPECT_EQ(a->ProductName->Caption(), "QOR - astrological workstation");
    // no invented address: the manuals beside the program, one per language
    EXPECT_FALSE(a->Edit1->isVisible());
    a->Edit2->OnClick();
    a->Edit3->OnClick();
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(QString::fromStdString(s.DataPath("Manual\\index.html").string()))
                             .toString()
                             .toStdString());
    EXPECT_TRUE(opened[1].ends_with("/EManual/index.html")) << opened[1];
    for (const std::string& u : opened) EXPECT_EQ(u.find("example"), std::string::npos) << u;
    TAboutBox::OpenUrl = nullptr;
}

TEST_F(StartWindowsTest, EnglishLinesCoverTheWindows) {
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(kData / "English.txt", lines).ok());
    std::vector<TForm*> forms = {new TForm2(s), new TStartShow(s), new TAboutBox(s)};
    EXPECT_EQ(EnglishCoverageProblems(forms, lines, true), std::vector<std::string>{});
}

} // namespace
} // namespace qor::shell
