// The astronomical calculator: the user's typing converts, texts written through the command
// paths do not; the three forms of an angle.
#include "shell/AstrCalc.h"

#include "core/AstrClcs.h"
#include "core/AstroMath.h"
#include "core/Files.h"
#include "core/Formats.h"
#include "core/Text.h"
#include "support/QtApp.h"
#include "support/RecordingReport.h"
#include "ui/EnglishTexts.h"
#include "ui/UICommands.h"

#include <QApplication>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <cmath>

namespace qor::shell {
namespace {

using namespace ui;

constexpr double kDeg = kDegToRad;

class AstrCalcTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtApp();
        s.ProgramFolder = std::filesystem::path(QOR_SOURCE_DIR) / "data";
        s.Report = &report;
        w = new TAstrCalc(s, chart);
        w->show();
    }
    void TearDown() override { delete w; }
    // The user selects the field's text and types `text` (code page 1251) key by key.
    void Type(TEdit* e, const std::string& text) {
        e->setFocus();
        e->selectAll();
        for (QChar ch : ToQ(text)) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(e, &press);
        }
    }
    double Deg(TEdit* e) { return StrToDeg(e->Text()) / kDeg; }

    test::RecordingReport report;
    AstroDat s; // the obliquity of J2000 until a time step
    ChartOptions opt;
    GeneralOptions gen;
    CurrentChart chart{s, opt, gen};
    UICommands cmd{s};
    TAstrCalc* w = nullptr;
};

// λ = 120°, β = 0 at ε = 23.4392911°: tan α = cos ε tan λ, sin δ = sin ε sin λ (Meeus 13.3,
// 13.4). The texts hold whole arc-seconds: 1″.
TEST_F(AstrCalcTest, TypedEclipticBecomesEquatorial) {
    EXPECT_EQ(w->LambdaEdit->Text(), "000°00'00\""_cp);
    Type(w->LambdaEdit, "120°00'00\""_cp);
    EXPECT_EQ(w->LambdaEdit->Text(), "120°00'00\""_cp);
    const double eps = std::asin(s.SinEps);
    const double ra = std::atan2(std::cos(eps) * std::sin(120 * kDeg), std::cos(120 * kDeg));
    const double dec = std::asin(std::sin(eps) * std::sin(120 * kDeg));
    EXPECT_NEAR(Deg(w->RAEdit), ra / kDeg, 1.0 / 3600);
    EXPECT_NEAR(Deg(w->DeclEdit), dec / kDeg, 1.0 / 3600);
    EXPECT_NEAR(StrToHourAngle(w->RAHEdit->Text()) / kDeg, ra / kDeg, 15.0 / 3600);

    // Back from the hours: the ecliptic fields follow.
    Type(w->RAHEdit, "6h00m00s");
    EXPECT_NEAR(Deg(w->RAEdit), 90, 1.0 / 3600);
    const EclipticCoord c = EquToEclCur(chart, dec, 90 * kDeg);
    EXPECT_NEAR(Deg(w->LambdaEdit), c.lon / kDeg, 1.0 / 3600);
    EXPECT_NEAR(Deg(w->BetaEdit), c.lat / kDeg, 1.0 / 3600);
}

TEST_F(AstrCalcTest, CommandPathsWriteWithoutConverting) {
    const std::string ra = w->RAEdit->Text();
    cmd.RunUICommand("AstrCalc,LambdaEdit", "45°00'00\""_cp);
    EXPECT_EQ(cmd.QueryUIValue("AstrCalc,LambdaEdit", ""), "45°00'00\""_cp);
    EXPECT_EQ(w->RAEdit->Text(), ra);
    cmd.RunUICommand("AstrCalc,RAEdit", "10°00'00\""_cp);
    EXPECT_EQ(w->LambdaEdit->Text(), "45°00'00\""_cp);
    // Typing into the declination converts with the right ascension written there.
    Type(w->DeclEdit, "0°00'00\""_cp);
    const EclipticCoord c = EquToEclCur(chart, 0, 10 * kDeg);
    EXPECT_NEAR(Deg(w->LambdaEdit), c.lon / kDeg, 1.0 / 3600);
    EXPECT_EQ(w->RAHEdit->Text(), " 0h40m00s");
}

TEST_F(AstrCalcTest, AngleInThreeForms) {
    Type(w->Edit1, "12°30'00\""_cp);
    EXPECT_EQ(w->Edit2->Text(), "12.50000");
    EXPECT_EQ(w->Edit3->Text(), "0.21817");
    Type(w->Edit2, "-1,5");
    EXPECT_EQ(w->Edit1->Text(), FormatDMS(s, -5400));
    EXPECT_EQ(w->Edit3->Text(), "-0.02618");
    Type(w->Edit3, "3.14159265");
    EXPECT_EQ(w->Edit2->Text(), "180.00000");
    EXPECT_EQ(w->Edit1->Text(), FormatDMS(s, 180 * 3600));
    // A text that is no number counts 0.
    Type(w->Edit3, "x");
    EXPECT_EQ(w->Edit2->Text(), "0.00000");
    // Nor does a text that is no finite decimal number.
    for (const char* text : {"inf", "-inf", "nan", "1e999", "0x10", "1.5.2"}) {
        Type(w->Edit3, "1");
        Type(w->Edit2, text);
        EXPECT_EQ(w->Edit3->Text(), "0.00000") << text;
        EXPECT_EQ(w->Edit1->Text(), FormatDMS(s, 0)) << text;
    }
}

TEST_F(AstrCalcTest, FinishedPlainNumberIsWrittenAsAnAngle) {
    Type(w->LambdaEdit, "12.5");
    emit w->LambdaEdit->editingFinished();
    EXPECT_EQ(w->LambdaEdit->Text(), AngleToDmsStr(12.5 * kDeg));
    EXPECT_NEAR(Deg(w->LambdaEdit), 12.5, 1e-9);
}

TEST_F(AstrCalcTest, EnglishLinesCoverTheWindow) {
    std::vector<std::string> lines;
    ASSERT_TRUE(
        ReadTextLines(std::filesystem::path(QOR_SOURCE_DIR) / "data" / "English.txt", lines).ok());
    EXPECT_EQ(EnglishCoverageProblems({w}, lines, true), std::vector<std::string>{});
}

} // namespace
} // namespace qor::shell
