// The I Ching oracle: the King Wen table against the hexagram glyphs of the Unicode block
// U+4DC0 (King Wen order) as DejaVu Sans draws them, the coins and their odds (chi-square),
// the Russian and English texts (a fixture in the format of Legge's translation), and the
// window: a seeded casting drawn and read to its text, a click during the pause, closing
// during the pause, a missing text file.
#include "InterpWindowFixture.h"

#include "core/Files.h"
#include "core/Text.h"
#include "interp/Oracle.h"
#include "interp/OracleForm.h"

#include <QFont>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>

namespace qor::interp {
namespace {

// The six lines of the glyph of hexagram n, bottom first: true for a whole (yang) line. The
// glyph is drawn large; a column left of the middle crosses all six bars, and a bar is broken
// when the middle of its row is empty.
std::array<bool, 6> GlyphLines(int n) {
    test::QtApp(); // the fonts need the application
    QImage img(200, 200, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter g(&img);
        QFont f("DejaVu Sans");
        f.setPixelSize(160);
        g.setFont(f);
        g.setPen(Qt::black);
        g.drawText(QRect(0, 0, 200, 200), Qt::AlignCenter, QString(QChar(0x4DC0 + n - 1)));
    }
    const auto dark = [&](int x, int y) { return qGray(img.pixel(x, y)) < 128; };
    // The glyph's box.
    int left = 200, right = -1, top = 200, bottom = -1;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            if (dark(x, y)) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    std::array<bool, 6> lines{};
    if (right < 0) return lines;
    const int probe = left + (right - left) / 5, middle = (left + right) / 2;
    std::vector<int> bars; // the middle row of each bar, top first
    for (int y = top; y <= bottom;) {
        if (!dark(probe, y)) {
            ++y;
            continue;
        }
        const int start = y;
        while (y <= bottom && dark(probe, y)) ++y;
        bars.push_back((start + y - 1) / 2);
    }
    EXPECT_EQ(bars.size(), 6u) << "hexagram " << n;
    for (std::size_t i = 0; i < bars.size() && i < 6; ++i) lines[5 - i] = dark(middle, bars[i]);
    return lines;
}

TEST(KingWen, EveryHexagramAgreesWithItsUnicodeGlyph) {
    std::set<int> seen;
    for (int bits = 0; bits < 64; ++bits) {
        HexagramLines lines{};
        std::array<bool, 6> yang{};
        for (int i = 0; i < 6; ++i) {
            yang[i] = (bits >> i) & 1;
            lines[i] = yang[i] ? 7 : 8;
        }
        const int n = HexagramNumber(lines);
        ASSERT_GE(n, 1);
        ASSERT_LE(n, 64);
        seen.insert(n);
        EXPECT_EQ(GlyphLines(n), yang) << "hexagram " << n << " from pattern " << bits;
        // The changing lines count as their kind: 9 as yang, 6 as yin.
        HexagramLines old = lines;
        for (int& v : old) v = v == 7 ? 9 : 6;
        EXPECT_EQ(HexagramNumber(old), n);
    }
    EXPECT_EQ(seen.size(), 64u);
}

TEST(KingWen, NamedCasts) {
    struct Case {
        HexagramLines lines;
        int hexagram;
    };
    for (const Case& c : {Case{{7, 7, 7, 8, 8, 8}, 11}, // Earth over Heaven: Peace
                          Case{{8, 8, 8, 7, 7, 7}, 12}, // Heaven over Earth: Standstill
                          Case{{9, 9, 9, 9, 9, 9}, 1}, Case{{6, 6, 6, 6, 6, 6}, 2},
                          Case{{9, 8, 8, 8, 7, 8}, 3},  // Water over Thunder
                          Case{{7, 8, 7, 8, 7, 8}, 63}, Case{{8, 7, 8, 7, 8, 7}, 64}})
        EXPECT_EQ(HexagramNumber(c.lines), c.hexagram);
    // The trigrams in their order Heaven .. Earth.
    EXPECT_EQ(TrigramOf(7, 7, 7), 1);
    EXPECT_EQ(TrigramOf(7, 7, 8), 2); // Lake: the top line open
    EXPECT_EQ(TrigramOf(7, 8, 7), 3); // Fire
    EXPECT_EQ(TrigramOf(7, 8, 8), 4); // Thunder
    EXPECT_EQ(TrigramOf(8, 8, 8), 8); // Earth
}

TEST(OracleCoins, ClickPointAndBit) {
    struct Case {
        int bit, x, y, coin;
    };
    for (const Case& c : {Case{0, 0, 0, 0}, Case{1, 0, 0, 1}, Case{0, 3, 4, 1}, Case{1, 3, 4, 0},
                          Case{0, -3, 0, 1}, Case{1, -1, 0, 0}, Case{0, -5, -8, 1},
                          Case{1, 2147483647, 2147483647, 1}})
        EXPECT_EQ(CoinOf(c.bit, c.x, c.y), c.coin) << c.bit << " " << c.x << " " << c.y;
}

// Three coins make 6, 7, 8, 9 with the odds 1/8, 3/8, 3/8, 1/8 whatever the click point:
// chi-square of 8000 lines of each of several seeds and points, below the 0.1 % point of three
// degrees of freedom (16.27).
TEST(OracleCoins, LineValuesHaveTheirOdds) {
    struct Case {
        uint32_t seed;
        int x, y;
    };
    for (const Case& c : {Case{1, 0, 0}, Case{20261211, 210, 377}, Case{77, 5, 6}}) {
        OracleRandom r;
        r.Seed(c.seed);
        std::array<int, 10> count{};
        const int n = 8000;
        for (int i = 0; i < n; ++i) {
            int v = 0;
            for (int k = 0; k < 3; ++k) v += CoinOf(r.Bit(), c.x, c.y) + 2;
            ASSERT_GE(v, 6);
            ASSERT_LE(v, 9);
            ++count[static_cast<std::size_t>(v)];
        }
        const double expected[4] = {n / 8.0, 3 * n / 8.0, 3 * n / 8.0, n / 8.0};
        double chi2 = 0;
        for (int v = 6; v <= 9; ++v) {
            const double d = count[static_cast<std::size_t>(v)] - expected[v - 6];
            chi2 += d * d / expected[v - 6];
        }
        EXPECT_LT(chi2, 16.27) << "seed " << c.seed;
    }
    // A seed gives the same coins again.
    OracleRandom a, b;
    a.Seed(5), b.Seed(5);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(a.Bit(), b.Bit());
}

TEST(OracleTexts, RussianLineOfTheHexagram) {
    const std::vector<std::string> file = {"first", "second", "third"};
    EXPECT_EQ(RussianHexagramText(file, 2),
              (std::vector<std::string>{Cp("2-я гексаграмма"), "second"}));
    EXPECT_EQ(RussianHexagramText(file, 3)[1], "third");
    // A file too short for the hexagram: the heading and an empty line.
    EXPECT_EQ(RussianHexagramText(file, 11),
              (std::vector<std::string>{Cp("11-я гексаграмма"), ""}));
}

class LeggeTexts : public ::testing::Test {
protected:
    void SetUp() override {
        file = SplitTextLines(test::TempDir::Read(fs::path(QOR_FIXTURES_DIR) / "interp" /
                                                  "oracle-legge.txt"));
    }
    std::vector<std::string> Text(int n, HexagramLines lines) {
        std::vector<std::string> out = EnglishHexagramText(file, n, lines);
        for (std::string& l : out) l = TrimRight(l); // the memo's trailing blanks
        return out;
    }
    std::vector<std::string> file;
};

TEST_F(LeggeTexts, AllNinesTakeOnlyTheTextForAllNines) {
    EXPECT_EQ(Text(1, {9, 9, 9, 9, 9, 9}),
              (std::vector<std::string>{
                  "Hexagram 1 Ch'ien / The Creative",
                  "THE JUDGEMENT: The Creative works sublime success,",
                  "furthering through perseverance.",
                  "When all the lines are nines: a flight of dragons without heads.",
                  "Good fortune."}));
}

TEST_F(LeggeTexts, AllSixesTakeOnlyTheTextForAllSixes) {
    EXPECT_EQ(Text(2, {6, 6, 6, 6, 6, 6}),
              (std::vector<std::string>{"Hexagram 2 K'un / The Receptive",
                                        "THE JUDGEMENT: The Receptive brings about sublime success.",
                                        "When all the lines are sixes: lasting perseverance furthers."}));
}

TEST_F(LeggeTexts, ChangingLinesByValueAndPlace) {
    // A 9 in the third place takes "[9 3" and not "[6 3".
    EXPECT_EQ(Text(1, {7, 7, 9, 7, 7, 7}),
              (std::vector<std::string>{
                  "Hexagram 1 Ch'ien / The Creative",
                  "THE JUDGEMENT: The Creative works sublime success,",
                  "furthering through perseverance.",
                  "Nine in the third place: all day long the superior man is creatively active."}));
    // Five nines: their texts with the continuation of the second, not the text for six.
    const std::vector<std::string> five = Text(1, {9, 9, 9, 9, 9, 7});
    ASSERT_EQ(five.size(), 9u);
    EXPECT_EQ(five[3], "Nine at the beginning: hidden dragon. Do not act.");
    EXPECT_EQ(five[5], "It furthers one to see the great man.");
    EXPECT_EQ(five[8], "Nine in the fifth place: flying dragon in the heavens.");
    // No changing line: the main text alone; the next section is not read.
    EXPECT_EQ(Text(11, {7, 7, 7, 8, 8, 8}),
              (std::vector<std::string>{"Hexagram 11 T'ai / Peace",
                                        "THE JUDGEMENT: Peace. The small departs, the great approaches."}));
    EXPECT_EQ(Text(11, {9, 7, 7, 6, 8, 8}).size(), 4u);
    // A hexagram the file lacks: nothing.
    EXPECT_EQ(Text(30, {7, 8, 7, 7, 8, 7}), std::vector<std::string>{});
}

TEST_F(LeggeTexts, MemoLinesEndInABlank) {
    const std::vector<std::string> raw = EnglishHexagramText(file, 12, {8, 8, 8, 7, 7, 7});
    EXPECT_EQ(raw, (std::vector<std::string>{"Hexagram 12 P'i / Standstill", "THE JUDGEMENT: Standstill. "}));
}

// --- The window -------------------------------------------------------------------------------

class OracleWindowTest : public InterpWindowTest {
protected:
    void SetUp() override {
        InterpWindowTest::SetUp();
        for (const char* f : {"Begin.wav", "Stone.wav", "Couto.wav", "Oracl.wav"})
            fs::copy_file(fs::path(QOR_SOURCE_DIR) / "data" / f, dir / f);
        std::string ru;
        for (int n = 1; n <= 64; ++n) ru += "Ответ гексаграммы " + std::to_string(n) + "\n";
        dir.Write("oracle.txt", test::CrLf(test::Iconv1251(ru)));
    }
    TIZIN* Open() {
        auto* w = ui::Screen().Ensure<TIZIN>("IZIN");
        if (w) {
            w->Seed = 20261211;
            w->show();
        }
        return w;
    }
    // Six throws, each with its pause run out.
    void Cast(TIZIN* w) {
        for (int i = 0; i < 6; ++i) {
            w->ThrowOracleLine(100 + i, 50);
            w->PauseTimer->OnTimer();
        }
    }
    std::vector<std::string> Sounds() {
        std::vector<std::string> out;
        for (const auto& s : report.sounds) out.push_back(s.filename().string());
        return out;
    }
};

TEST_F(OracleWindowTest, ASeededCastingDrawsSixLinesAndShowsItsText) {
    TIZIN* w = Open();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->Memo->Lines(), std::vector<std::string>{GetMsgText(S(), 159)});
    EXPECT_EQ(w->Label1->Caption(), GetMsgText(S(), 161));
    // Clicks before the button throw nothing.
    w->ThrowOracleLine(10, 10);
    EXPECT_EQ(w->LineCount(), 0);
    w->SpeedButtonClick();
    EXPECT_EQ(w->Label1->Caption(), GetMsgText(S(), 162));
    EXPECT_EQ(w->Memo->Lines(), std::vector<std::string>{GetMsgText(S(), 160)});
    Cast(w);
    EXPECT_EQ(w->LineCount(), 6);
    EXPECT_FALSE(w->Active());
    const HexagramLines values = w->Values();
    for (int l = 1; l <= 6; ++l) {
        const int v = values[static_cast<std::size_t>(l - 1)];
        EXPECT_EQ(v, w->Coin(1, l) + w->Coin(2, l) + w->Coin(3, l));
        EXPECT_GE(v, 6);
        EXPECT_LE(v, 9);
    }
    EXPECT_EQ(w->Hexagram(), HexagramNumber(values));
    // The lines, bottom first, 15 pixels apart: the left half always grey; the middle grey for
    // 7, white for 8 and 9 (the gap, the white dot), grey for 6 (the grey dot).
    const QImage& d = w->Drawing();
    const int cx = w->PaintBox->width() / 2, base = w->PaintBox->height() - 50;
    const QRgb grey = qRgb(0xC0, 0xC0, 0xC0), white = qRgb(255, 255, 255);
    for (int l = 1; l <= 6; ++l) {
        const int y = base - 15 * (l - 1), v = values[static_cast<std::size_t>(l - 1)];
        EXPECT_EQ(d.pixel(cx - 30, y), grey) << "line " << l;
        EXPECT_EQ(d.pixel(cx + 30, y), grey) << "line " << l;
        EXPECT_EQ(d.pixel(cx, y), v == 8 || v == 9 ? white : grey) << "line " << l << " value " << v;
        EXPECT_EQ(d.pixel(cx - 8, y), v == 8 || v == 6 ? white : grey) << "line " << l;
    }
    // The coin row is cleared after the last line.
    EXPECT_EQ(d.pixel(cx - 40, w->PaintBox->height() - 20), white);
    EXPECT_EQ(w->Label1->Caption(), GetMsgText(S(), 163));
    w->Timer->OnTimer();
    EXPECT_EQ(w->Memo->Lines(),
              (std::vector<std::string>{Cp(std::to_string(w->Hexagram()) + "-я гексаграмма"),
                                        Cp("Ответ гексаграммы " + std::to_string(w->Hexagram()))}));
    EXPECT_TRUE(ui::IsVisible(w->Memo));
    std::vector<std::string> expected = {"Begin.wav"};
    for (int i = 0; i < 6; ++i) {
        expected.push_back("Stone.wav");
        expected.push_back(i < 5 ? "Couto.wav" : "Oracl.wav");
    }
    EXPECT_EQ(Sounds(), expected);
    // The same seed casts the same lines again.
    w->Close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    TIZIN* again = Open();
    again->SpeedButtonClick();
    Cast(again);
    EXPECT_EQ(again->Values(), values);
}

TEST_F(OracleWindowTest, AClickDuringThePauseThrowsNothing) {
    TIZIN* w = Open();
    w->SpeedButtonClick();
    w->ThrowOracleLine(40, 40);
    EXPECT_FALSE(w->Idle());
    const int coins[3] = {w->Coin(1, 1), w->Coin(2, 1), w->Coin(3, 1)};
    w->ThrowOracleLine(41, 40);
    w->ThrowOracleLine(42, 40);
    EXPECT_EQ(w->LineCount(), 1);
    EXPECT_EQ(w->Coin(1, 2), 0);
    for (int k = 1; k <= 3; ++k) EXPECT_EQ(w->Coin(k, 1), coins[k - 1]);
    w->PauseTimer->OnTimer();
    EXPECT_TRUE(w->Idle());
    w->ThrowOracleLine(41, 40);
    EXPECT_EQ(w->LineCount(), 2);
}

TEST_F(OracleWindowTest, EscDuringThePauseCancelsTheThrow) {
    TIZIN* w = Open();
    w->SpeedButtonClick();
    w->ThrowOracleLine(40, 40);
    ASSERT_TRUE(w->PauseTimer->Enabled());
    QPointer<TIZIN> alive(w);
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(w, &esc);
    EXPECT_FALSE(w->PauseTimer->Enabled());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(ui::Screen().FindForm("IZIN"), nullptr);
    // Nothing left runs afterwards (a sanitizer build would see a use after free).
    QApplication::processEvents();
    EXPECT_EQ(Sounds(), (std::vector<std::string>{"Begin.wav", "Stone.wav"}));
}

TEST_F(OracleWindowTest, AMissingTextIsToldAndTheCastingEnds) {
    fs::remove(dir / "oracle.txt");
    TIZIN* w = Open();
    w->SpeedButtonClick();
    Cast(w);
    const std::vector<std::string> memo = w->Memo->Lines();
    w->Timer->OnTimer();
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_NE(report.messages[0].text.find("oracle.txt"), std::string::npos);
    EXPECT_EQ(w->Memo->Lines(), memo);
    EXPECT_EQ(w->LineCount(), 6);
    // The ended casting's button closes the window.
    w->SpeedButton->Click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ui::Screen().FindForm("IZIN"), nullptr);
}

TEST_F(OracleWindowTest, EnglishTextsWithTheChangingLines) {
    Make(true);
    // Every hexagram with a text for each value and place.
    std::string eng;
    for (int n = 1; n <= 64; ++n) {
        eng += "#" + std::string(n < 10 ? "0" : "") + std::to_string(n) + " Title " +
               std::to_string(n) + "\nMain " + std::to_string(n) + "\n";
        for (int p = 0; p <= 6; ++p)
            for (int v : {6, 9})
                eng += "[" + std::to_string(v) + " " + std::to_string(p) + " " +
                       (v == 6 ? "Six " : "Nine ") + std::to_string(p) + " of " + std::to_string(n) +
                       "\n";
    }
    dir.Write("oracle-eng.txt", test::CrLf(eng));
    TIZIN* w = Open();
    EXPECT_EQ(w->Caption(), "I Ching Oracle");
    EXPECT_EQ(w->Memo->Lines(), std::vector<std::string>{GetMsgText(S(), 159)});
    w->SpeedButtonClick();
    Cast(w);
    w->Timer->OnTimer();
    const int n = w->Hexagram();
    std::vector<std::string> expected = {"Hexagram " + std::to_string(n) + " Title " + std::to_string(n),
                                         "Main " + std::to_string(n)};
    for (int p = 1; p <= 6; ++p) {
        const int v = w->Values()[static_cast<std::size_t>(p - 1)];
        if (v == 6 || v == 9)
            expected.push_back((v == 6 ? "Six " : "Nine ") + std::to_string(p) + " of " + std::to_string(n));
    }
    std::vector<std::string> lines = w->Memo->Lines();
    for (std::string& l : lines) l = TrimRight(l);
    EXPECT_EQ(lines, expected);
    std::vector<std::string> englishLines;
    ASSERT_TRUE(ReadTextLines(dir / "English.txt", englishLines).ok());
    EXPECT_EQ(ui::EnglishCoverageProblems({w}, englishLines, true), std::vector<std::string>{});
}

} // namespace
} // namespace qor::interp
