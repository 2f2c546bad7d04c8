// The program's glyph font "qor.ttf": registered with Qt's font database, a glyph at every code
// of its table, nothing at the byte codes themselves.
#include "ui/GlyphFonts.h"

#include "core/AstroDat.h"
#include "core/GlyphFaces.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"
#include "ui/Canvas.h"

#include <QFont>
#include <QFontDatabase>
#include <QImage>
#include <QPainterPath>
#include <QRawFont>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace qor::ui {
namespace {

const std::filesystem::path kDataDir = std::filesystem::path(QOR_SOURCE_DIR) / "data";

std::set<int> ListedCodes() {
    std::set<int> codes{kQorGlyphFace.degreeGlyph};
    for (int k = 1; k <= 36; ++k)
        if (kQorGlyphFace.points[k]) codes.insert(kQorGlyphFace.points[k]);
    for (int n = 1; n <= 14; ++n) codes.insert(kQorGlyphFace.aspects[n]);
    for (int n = 1; n <= 12; ++n) codes.insert(kQorGlyphFace.signs[n]);
    for (unsigned char c : kQorCrossGlyphs) codes.insert(c);
    for (unsigned char c : kQorElementGlyphs) codes.insert(c);
    for (char c : std::string("0123456789'\"XR")) codes.insert(static_cast<unsigned char>(c));
    return codes;
}

TEST(GlyphFonts, QorFontRegistersAndHasAGlyphAtEveryListedCode) {
    AstroDat s;
    test::RecordingReport report;
    s.ProgramFolder = kDataDir;
    s.Report = &report;
    ASSERT_TRUE(RegisterGlyphFonts(s));
    EXPECT_TRUE(report.messages.empty());
    ASSERT_TRUE(GlyphFaceAvailable("QOR511"));

    const QRawFont raw(QString::fromStdString((kDataDir / "qor.ttf").string()), 24);
    ASSERT_TRUE(raw.isValid());
    EXPECT_EQ(raw.familyName(), "QOR511");
    for (int code : ListedCodes()) {
        EXPECT_TRUE(raw.supportsCharacter(char32_t(0xF000 + code))) << code;
        // The glyph has ink (a blank outline would pass the cmap but print nothing).
        const QList<quint32> ids =
            raw.glyphIndexesForString(QString(QChar(char16_t(0xF000 + code))));
        ASSERT_EQ(ids.size(), 1);
        EXPECT_FALSE(raw.pathForGlyph(ids[0]).isEmpty()) << code;
    }
    EXPECT_FALSE(raw.supportsCharacter(char32_t(0xF000 + 240)));
}

TEST(GlyphFonts, GlyphCodesDrawThroughTheCanvasAsGlyphsNotBoxes) {
    AstroDat s;
    s.ProgramFolder = kDataDir;
    ASSERT_TRUE(RegisterGlyphFonts(s));
    auto draw = [](std::string face, std::string text) {
        QImage img(120, 60, QImage::Format_RGB32);
        img.fill(Qt::white);
        {
            Canvas canvas(img);
            canvas.SetBrushStyle(BrushStyle::Clear);
            canvas.SetFont(FontSpec{2, kBlack, face, 24, 0});
            canvas.TextOut(5, 5, text);
        }
        return img;
    };
    const QImage sun = draw("QOR511", "\x8D");
    const QImage moon = draw("QOR511", "\x8E");
    const QImage blank = draw("QOR511", " ");
    EXPECT_NE(sun, blank);
    EXPECT_NE(sun, moon);
    // The same code in another face is a different picture (the Cyrillic letter of code 141).
    EXPECT_NE(sun, draw("Arial", "\x8D"));
}

TEST(GlyphFonts, AbsentOutsideFaceIsReported) {
    AstroDat s;
    test::RecordingReport report;
    s.Report = &report;
    EXPECT_FALSE(CheckGlyphFace(s, "WinstarTT"));
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_NE(report.messages[0].text.find("WinstarTT"), std::string::npos);
}

TEST(GlyphFonts, MissingFontFileIsReported) {
    test::TempDir dir;
    AstroDat s;
    test::RecordingReport report;
    s.ProgramFolder = dir.path();
    s.Report = &report;
    EXPECT_FALSE(RegisterGlyphFonts(s));
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_NE(report.messages[0].text.find("qor.ttf"), std::string::npos);
}

} // namespace
} // namespace qor::ui
