// The 16 x 16 symbol font: file image, loading and saving, glyph edits, ClampCoord.
#include "core/SymbolFont.h"

#include "support/RecordingReport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <filesystem>

namespace qor {
namespace {

const std::filesystem::path kShippedFont =
    std::filesystem::path(QOR_SOURCE_DIR) / "data" / "font16.fnt";

struct FontFolder : ::testing::Test {
    test::TempDir dir;
    test::RecordingReport report;
    AstroDat s;
    void SetUp() override {
        s.ProgramFolder = dir.path();
        s.Report = &report;
    }
};

TEST(SymbolFont, ShippedFileLoadsAndSavesByteIdentical) {
    const std::string original = test::TempDir::Read(kShippedFont);
    ASSERT_EQ(original.size(), 8192u);
    Font16Glyphs font;
    ASSERT_TRUE(SymbolFontFromBytes(original, font));
    EXPECT_EQ(SymbolFontBytes(font), original);
}

TEST(SymbolFont, RowsAreLittleEndianWordsAtTheirOffsets) {
    Font16Glyphs font;
    ASSERT_TRUE(ToggleGlyphPixel(font, 65, 1, 0)); // leftmost pixel of the top row of "A"
    const std::string bytes = SymbolFontBytes(font);
    ASSERT_EQ(bytes.size(), 8192u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[2080]), 0x00);
    EXPECT_EQ(static_cast<unsigned char>(bytes[2081]), 0x80);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i != 2081) {
            ASSERT_EQ(bytes[i], 0) << "byte " << i;
        }
    }
    EXPECT_EQ(GlyphRow(font, 65, 1), 0x8000);
    ASSERT_TRUE(ToggleGlyphPixel(font, 65, 1, 0));
    EXPECT_EQ(GlyphRow(font, 65, 1), 0);
    ASSERT_TRUE(SetGlyphRow(font, 255, 16, 0x1234));
    const std::string last = SymbolFontBytes(font);
    EXPECT_EQ(static_cast<unsigned char>(last[8190]), 0x34);
    EXPECT_EQ(static_cast<unsigned char>(last[8191]), 0x12);
}

TEST(SymbolFont, GlyphNumbersOutsideTheFontAreRefused) {
    Font16Glyphs font;
    for (int c = 0; c < 256; ++c) SetGlyphRow(font, c, 1, 0xFFFF);
    const Font16Glyphs before = font;
    for (int c : {-1, 256, 1000, INT_MIN}) {
        SCOPED_TRACE(c);
        EXPECT_EQ(GlyphRow(font, c, 1), 0);
        EXPECT_FALSE(SetGlyphRow(font, c, 1, 1));
        EXPECT_FALSE(ShiftGlyph(font, c, GlyphShift::Up));
        EXPECT_FALSE(ClearGlyph(font, c));
        EXPECT_FALSE(ToggleGlyphPixel(font, c, 1, 0));
        EXPECT_FALSE(SetGlyphRows(font, c, GlyphRows{}));
    }
    for (int r : {0, 17}) {
        EXPECT_EQ(GlyphRow(font, 1, r), 0);
        EXPECT_FALSE(SetGlyphRow(font, 1, r, 1));
    }
    EXPECT_FALSE(ToggleGlyphPixel(font, 1, 1, 16));
    EXPECT_FALSE(ToggleGlyphPixel(font, 1, 1, -1));
    EXPECT_EQ(font, before);
}

TEST(SymbolFont, ShiftsLoseTheEdgeAndFillWithZeros) {
    struct Case {
        GlyphShift shift;
        GlyphRows in, out;
    };
    GlyphRows ramp{};
    for (int i = 0; i < 16; ++i) ramp[i] = static_cast<uint16_t>(i + 1);
    GlyphRows up{}, down{};
    for (int i = 0; i < 15; ++i) up[i] = static_cast<uint16_t>(i + 2);
    for (int i = 1; i < 16; ++i) down[i] = static_cast<uint16_t>(i);
    GlyphRows one{}, none{}, high{};
    one.fill(0x0001);
    high.fill(0x8000);
    GlyphRows halfRight{}, doubled{};
    halfRight.fill(0x4000);
    doubled.fill(0x0002);
    const Case cases[] = {
        {GlyphShift::Up, ramp, up},           {GlyphShift::Down, ramp, down},
        {GlyphShift::Right, one, none},       {GlyphShift::Left, high, none},
        {GlyphShift::Right, high, halfRight}, {GlyphShift::Left, one, doubled},
    };
    for (const Case& c : cases) {
        Font16Glyphs font;
        SetGlyphRows(font, 7, c.in);
        ASSERT_TRUE(ShiftGlyph(font, 7, c.shift));
        EXPECT_EQ(GlyphRowsOf(font, 7), c.out) << static_cast<int>(c.shift);
        EXPECT_EQ(GlyphRowsOf(font, 6), GlyphRows{});
        EXPECT_EQ(GlyphRowsOf(font, 8), GlyphRows{});
    }
}

TEST_F(FontFolder, LoadAcceptsExactly8192Bytes) {
    Font16Glyphs font;
    SetGlyphRow(font, 32, 1, 0xABCD);
    const Font16Glyphs before = font;
    for (std::size_t size : {0u, 100u, 8191u, 8193u, 16384u}) {
        SCOPED_TRACE(size);
        report.messages.clear();
        dir.Write("font16.fnt", std::string(size, '\x11'));
        EXPECT_FALSE(LoadSymbolFont(s, font));
        EXPECT_EQ(font, before); // the font in use is kept
        ASSERT_EQ(report.messages.size(), 1u);
        EXPECT_NE(report.messages[0].text.find(std::to_string(size)), std::string::npos);
    }
    // A 4 GB file (sparse: quick to make) is refused by its size, not read first.
    const fs::path big = dir.Write("font16.fnt", "x");
    fs::resize_file(big, 4ull << 30);
    report.messages.clear();
    EXPECT_FALSE(LoadSymbolFont(s, font));
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_NE(report.messages[0].text.find("4294967296"), std::string::npos);
    const IoResult viewer = ReadSymbolFontFile(big, font);
    EXPECT_FALSE(viewer.ok());
    EXPECT_NE(viewer.message.find("4294967296 bytes"), std::string::npos);
    EXPECT_EQ(font, before);

    dir.Write("font16.fnt", std::string(8192, '\x11'));
    report.messages.clear();
    EXPECT_TRUE(LoadSymbolFont(s, font));
    EXPECT_TRUE(report.messages.empty());
    EXPECT_EQ(GlyphRow(font, 200, 9), 0x1111);
}

TEST_F(FontFolder, MissingFileIsReportedWithItsName) {
    Font16Glyphs font;
    EXPECT_FALSE(LoadSymbolFont(s, font));
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_NE(report.messages[0].text.find("font16.fnt"), std::string::npos);
}

TEST_F(FontFolder, SaveWritesTheImageAndAFailedSaveKeepsTheOldFile) {
    Font16Glyphs font;
    ASSERT_TRUE(SymbolFontFromBytes(test::TempDir::Read(kShippedFont), font));
    ToggleGlyphPixel(font, 65, 1, 0);
    ASSERT_TRUE(SaveSymbolFont(s, font));
    const std::string saved = test::TempDir::Read(dir / "font16.fnt");
    EXPECT_EQ(saved.size(), 8192u);
    EXPECT_EQ(saved, SymbolFontBytes(font));
    Font16Glyphs reread;
    ASSERT_TRUE(LoadSymbolFont(s, reread));
    EXPECT_EQ(reread, font);

    // A folder in the way of the temporary file makes the save fail.
    std::filesystem::create_directories(dir / "font16.fnt.tmp" / "x");
    ToggleGlyphPixel(font, 65, 1, 0);
    EXPECT_FALSE(SaveSymbolFont(s, font));
    EXPECT_EQ(report.messages.size(), 1u);
    EXPECT_EQ(test::TempDir::Read(dir / "font16.fnt"), saved);
}

TEST(ClampCoord, CompressesFarCoordinatesAndRoundsToEven) {
    struct Case {
        double x;
        int expected;
    };
    const Case cases[] = {
        {4200000.0, 3201000},
        {-4200000.0, -3201000},
        {3200000.0, 3200000},
        {-3200000.0, -3200000},
        {0.5, 0},
        {1.5, 2},
        {-2.5, -2},
        {123.4, 123},
        {3200000.0 + 1500.0, 3200002},
        {1e300, 2000000000},
        {-1e300, -2000000000},
        {std::nan(""), 0},
    };
    for (const Case& c : cases) EXPECT_EQ(ClampCoord(c.x), c.expected) << c.x;
}

} // namespace
} // namespace qor
