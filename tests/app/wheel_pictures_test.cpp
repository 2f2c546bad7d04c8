// Pictures of the natal wheel of the started program on a 1920 x 1080 screen: the main window
// at its default 804 x 548, at 1280 x 800 and at 1920 x 1080, a single and a double chart on
// the plain, coloured and black backgrounds (wheel_<size>_<chart>_<background>.png beside the
// test program, for a person to look at), and what is measured on them: the sign glyphs grow
// with the wheel and stand out from their sector, the double chart's table fits the window,
// and the tool buttons' symbols stand out from every screen's background.
#include "MainWindowFixture.h"

#include "chart/WheelMouse.h"
#include "shell/CommLink.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <map>

namespace qor::shell {
namespace {

const std::string kGreenwich = ";+00:00;51\xB0"
                               "29'N; 0\xB0"
                               "00'E;Greenwich;UK";


int Distance(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
           std::abs(qBlue(a) - qBlue(b));
}

// A glyph drawn round (cx, cy) inside a disc of radius r: its ink (pixels far from the disc's
// most common colour) height, and the contrast of its strongest pixel against that colour.
struct GlyphInk {
    int height = 0;
    double contrast = 1;
};

GlyphInk MeasureGlyph(const QImage& img, int cx, int cy, int r) {
    std::map<QRgb, int> counts;
    for (int y = cy - r; y <= cy + r; ++y)
        for (int x = cx - r; x <= cx + r; ++x)
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r && img.valid(x, y))
                ++counts[img.pixel(x, y) & 0xFFFFFF];
    QRgb back = 0;
    int most = -1;
    for (const auto& [c, n] : counts)
        if (n > most) most = n, back = c;
    int top = INT_MAX, bottom = INT_MIN, far = 0;
    QRgb strongest = back;
    for (int y = cy - r; y <= cy + r; ++y)
        for (int x = cx - r; x <= cx + r; ++x) {
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) > r * r || !img.valid(x, y)) continue;
            const int d = Distance(img.pixel(x, y), back);
            if (d > 120) top = std::min(top, y), bottom = std::max(bottom, y);
            if (d > far) far = d, strongest = img.pixel(x, y);
        }
    GlyphInk ink;
    if (top <= bottom) ink.height = bottom - top + 1;
    ink.contrast = ContrastRatio(FromQColor(QColor(strongest)), FromQColor(QColor(back)));
    return ink;
}

class WheelPicturesTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Screen().SetSize(1920, 1080);
        form1->Link->ExecMsgCommand("SetData;Test;M;15.06.1990;14:30:00" + kGreenwich);
        program->Flags.RealTimeMode = false;
    }
    void Size(int w, int h) {
        form1->resize(w, h);
        form1->FormResize(false);
    }
    void Background(const char* button) {
        TForm* kart = Screen().Ensure("KartForm");
        ASSERT_NE(kart, nullptr);
        auto* radio = kart->Find<TRadioButton>(button);
        ASSERT_NE(radio, nullptr) << button;
        radio->Click();
        ASSERT_TRUE(radio->Checked()) << button;
    }
    void MakeDouble() {
        form1->OpenToolWindow("DataForm");
        program->Commands.RunUICommand("DataForm,TwoButton", "");
        if (auto* combo = Screen().FindForm("DataForm")->Find<TComboBox>("ComboBox"))
            combo->SetItemIndex(0); // transit
        program->Commands.RunUICommand("DataForm,OKBtn", "");
        program->Flags.RealTimeMode = false;
    }
    void Draw() {
        form1->SwitchScreen('W');
        form1->RedrawNatal();
    }
    const chart::NatalWheel& Wheel() { return program->Find<chart::WheelMouse>()->Wheel(); }
    // The sign glyphs of the last drawing, measured in the zodiac belt.
    std::vector<GlyphInk> SignGlyphs() {
        const QImage& img = program->BufBitmap->image();
        const chart::TKart& k = Wheel().KartWheel;
        const int r = (k.R3 - k.R2) / 2 - 2;
        std::vector<GlyphInk> signs;
        for (const std::string& line : program->Svc.Screens['W'].Spots()) {
            if (line.substr(line.rfind(';') + 1).size() != 2) continue;
            const int x = std::stoi(line.substr(0, line.find(';')));
            const int y = std::stoi(line.substr(line.find(';') + 1));
            signs.push_back(MeasureGlyph(img, x, y, r));
        }
        return signs;
    }
    void Save(const std::string& name) {
        EXPECT_TRUE(program->BufBitmap->image().save(QString::fromStdString(name + ".png")));
    }
};

int Median(std::vector<GlyphInk> v) {
    std::sort(v.begin(), v.end(), [](auto& a, auto& b) { return a.height < b.height; });
    return v.empty() ? 0 : v[v.size() / 2].height;
}

TEST_F(WheelPicturesTest, GlyphsGrowWithTheWheelAndStandOutOnEveryBackground) {
    const std::pair<int, int> sizes[] = {{804, 548}, {1280, 800}, {1920, 1080}};
    const std::pair<const char*, const char*> backgrounds[] = {
        {"plain", "WhiteButton"}, {"colour", "ColorButton"}, {"black", "BlackButton"}};
    std::map<int, int> heightByRadius; // outer radius -> median sign glyph ink height
    for (const bool dbl : {false, true}) {
        if (dbl) MakeDouble();
        for (const auto& [w, h] : sizes) {
            Size(w, h);
            for (const auto& [tag, button] : backgrounds) {
                Background(button);
                Draw();
                const std::string name = "wheel_" + std::to_string(w) + "x" + std::to_string(h) +
                                         (dbl ? "_double_" : "_single_") + tag;
                Save(name);
                const std::vector<GlyphInk> signs = SignGlyphs();
                ASSERT_EQ(signs.size(), 12u) << name;
                for (const GlyphInk& g : signs) {
                    EXPECT_GE(g.contrast, 4.5) << name;
                    EXPECT_GT(g.height, 0) << name;
                }
                const int median = Median(signs);
                heightByRadius[Wheel().KartWheel.R4] = median;
                std::printf("%s: outer radius %d, sign glyphs %d px high\n", name.c_str(),
                            Wheel().KartWheel.R4, median);
            }
        }
    }
    // about 10 pixels on the default window's wheel, in proportion to the radius beyond
    ASSERT_GE(heightByRadius.size(), 3u);
    const auto smallest = *heightByRadius.begin(), largest = *heightByRadius.rbegin();
    EXPECT_NEAR(smallest.second, 10, 2);
    EXPECT_GE(largest.second, smallest.second * 16 / 10);
    int previous = 0;
    for (const auto& [radius, height] : heightByRadius) {
        EXPECT_GE(height, previous) << radius;
        previous = height;
        if (radius > chart::kGlyphNativeRadius)
            EXPECT_NEAR(double(height) * largest.first / radius, largest.second,
                        0.2 * largest.second)
                << radius;
    }
}

// The rightmost ink of the table rows (above the wheel's bottom) of the last drawing.
int TableRightEdge(const QImage& img, uint32_t paper) {
    int right = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = img.width() - 1; x > right; --x)
            if (Distance(img.pixel(x, y), ToQColor(paper).rgb()) > 120) {
                right = x;
                break;
            }
    return right;
}

TEST_F(WheelPicturesTest, TheDoubleChartsTableFitsTheDefaultWindow) {
    MakeDouble();
    Background("WhiteButton");
    Size(1900, 548); // as high, so the same wheel, with room for everything
    Draw();
    const int needed = TableRightEdge(program->BufBitmap->image(), 0xFFFFFF);
    Size(804, 548);
    Draw();
    EXPECT_LT(needed, program->BufBitmap->Width() - 4);
    EXPECT_EQ(TableRightEdge(program->BufBitmap->image(), 0xFFFFFF), needed);
}

TEST_F(WheelPicturesTest, ToolButtonSymbolsStandOutOnEveryScreen) {
    Size(804, 548);
    const std::pair<const char*, std::function<void()>> screens[] = {
        {"wheel",
         [&] {
             Background("WhiteButton");
             Draw();
         }},
        {"black wheel",
         [&] {
             Background("BlackButton");
             Draw();
         }},
        {"cosmos", [&] { form1->SwitchScreen('C'); }},
    };
    for (const auto& [name, show] : screens) {
        show();
        for (TSpeedButton* b : form1->ToolPanel->findChildren<TSpeedButton*>()) {
            if (b->icon().isNull()) continue;
            const QImage img = b->grab().toImage();
            const QRgb back = img.pixel(1, 1);
            QRgb strongest = back;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    if (Distance(img.pixel(x, y), back) > Distance(strongest, back))
                        strongest = img.pixel(x, y);
            EXPECT_GE(ContrastRatio(FromQColor(QColor(strongest)), FromQColor(QColor(back))), 4.5)
                << name << " " << b->objectName().toStdString();
        }
    }
}

} // namespace
} // namespace qor::shell
