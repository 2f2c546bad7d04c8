// The printed page through the printer's PDF output for computed charts (single, double,
// heliocentric, horary), read back with poppler-utils: one landscape page, the header line,
// the stamp, one row per shown point with the core's position text, the cusps, the dignity
// letters of both languages, the star names, the embedded glyph face and no picture.
#include "KartTestSupport.h"

#include "chart/PrnKart.h"
#include "core/Chart.h"
#include "core/Formats.h"
#include "core/Planets.h"
#include "core/Text.h"
#include "sky/StarCatalogue.h"
#include "ui/GlyphFonts.h"

#include <gtest/gtest.h>

#include <QPrinter>

#include <cstdio>
#include <regex>
#include <sstream>

namespace qor::chart {
namespace {

using test::KartFixture;

// Output of a poppler tool on the file (stdout only); `tail` follows the file's name.
std::string RunTool(const std::string& tool, const std::filesystem::path& pdf,
                    const std::string& options = "", const std::string& tail = "") {
    const std::string cmd =
        tool + " " + options + " '" + pdf.string() + "' " + tail + " 2>/dev/null";
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}
std::string Info(const std::filesystem::path& pdf) {
    return RunTool("pdfinfo", pdf);
}

// The page's text with the glyph face's codes above 127 (which come back as the characters
// U+0080..U+00FF of the same numbers) written "<code>", the degree glyph as "°". The header's
// texts in the text face hold no such characters but "°".
std::string PageText(const std::filesystem::path& pdf) {
    const std::string utf8 = RunTool("pdftotext", pdf, "-layout -enc UTF-8", "-");
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
            const unsigned code =
                ((c & 0x1F) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F);
            if (code == kQorGlyphFace.degreeGlyph || code == 0xB0)
                out += "°";
            else
                out += "<" + std::to_string(code) + ">";
            i += 2;
            continue;
        }
        out += utf8[i++];
    }
    return out;
}

std::string Collapse(const std::string& text) {
    std::string out;
    for (char c : text)
        if (!(c == ' ' && !out.empty() && out.back() == ' ')) out += c;
    return out;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
}

// The core's text of a zodiac position without the sign: "12°34'56\"".
std::string CorePosition(AstroDat& s, double lon) {
    NamesAs words(s, false, true);
    const std::string t = Cp1251ToUtf8(FormatZodiacDMS(s, lon * kRadToArcSec));
    return t.substr(0, t.find('"') + 1);
}

struct PdfFixture : KartFixture {
    qor::test::TempDir dir;
    std::filesystem::path pdf = dir / "chart.pdf";
    ChartOptions opt;
    GeneralOptions gen;

    PdfFixture() {
        EXPECT_TRUE(ui::RegisterGlyphFonts(s));
        for (int i = 0; i <= 9; ++i) EXPECT_TRUE(LoadPlanetTerms(s, i).ok);
        Compute(1985, 6, 12, 10, 30);
        s.ChartName = Cp("Мария Петрова");
        chart.DateText = "12.06.1985";
        chart.TimeText = "10:30:00";
        chart.LatText = "55" + std::string(1, '\xB0') + "45'N";
        chart.LongText = " 37" + std::string(1, '\xB0') + "37'E";
        o.DataCheckBox = true;
    }
    void Compute(int y, int mo, int d, int h, int mi) {
        s.ChartYear = y;
        s.ChartMonth = mo;
        s.ChartDay = d;
        s.ChartHour = h;
        s.ChartMinute = mi;
        s.ChartSecond = 0;
        s.ChartLat = 55.75 * kDegToRad;
        s.ChartLong = 37.62 * kDegToRad;
        s.ChartZone = 180;
        CalcAstroTime(s, TimeOptionsFor(opt, gen));
        CalcChart(s, opt, gen, 0);
    }
    void SecondChart() {
        Compute(2026, 12, 10, 12, 0);
        s.PlanetLonBck = s.PlanetLon;
        s.PlanetSpeedBck = s.PlanetSpeed;
        s.PlanetLatBck = s.PlanetLat;
        Compute(1985, 6, 12, 10, 30);
        chart.DoubleChart = true;
    }
    bool Print(const GlyphFaceTable& face = kQorGlyphFace) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
        printer.setPageOrientation(QPageLayout::Landscape);
        return PrintKart(s, o, chart, services, face, printer);
    }
};

TEST(PrnKartPdf, FixtureChartsPrintOneLandscapePageOfTextAndVectors) {
    struct Case {
        const char* name;
        void (*set)(PdfFixture&);
        std::vector<int> points; // rows of the table
        bool houses;
    };
    const Case cases[] = {
        {"single", [](PdfFixture&) {}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}, true},
        {"double",
         [](PdfFixture& f) { f.SecondChart(); },
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14},
         true},
        {"heliocentric",
         [](PdfFixture& f) {
             f.chart.HelioMode = true;
             f.o.HelioBox = true;
             f.o.InHsCheck = false;
         },
         {1, 3, 4, 5, 6, 7, 8, 9, 10},
         false},
        {"horary",
         [](PdfFixture& f) {
             f.chart.HoraryChart = true;
             f.o.SeptenerBox = true;
         },
         {1, 2, 3, 4, 5, 6, 7, 11, 12},
         true},
    };
    for (const Case& c : cases) {
        PdfFixture f;
        c.set(f);
        ASSERT_TRUE(f.Print()) << c.name;
        const std::string info = Info(f.pdf);
        EXPECT_NE(info.find("Pages:           1\n"), std::string::npos) << c.name << info;
        std::smatch m;
        ASSERT_TRUE(std::regex_search(info, m, std::regex("Page size: +([0-9.]+) x ([0-9.]+)")))
            << info;
        EXPECT_GT(std::stod(m[1]), std::stod(m[2])) << c.name; // landscape

        const std::string text = PageText(f.pdf);
        const std::string flat = Collapse(text);
        // the header line: name, date, time, zone, coordinates
        EXPECT_NE(flat.find("Мария Петрова 12.06.1985 10:30:00 +3:00 55°45'N 37°37'E"),
                  std::string::npos)
            << c.name << "\n"
            << text;
        EXPECT_NE(text.find("QOR 5.12"), std::string::npos) << c.name;
        // one row per shown point with the core's position text, in the order of the rows
        std::size_t at = 0;
        for (int k : c.points) {
            const std::string pos = CorePosition(f.s, f.s.PlanetLon[k]);
            const std::size_t found = text.find(pos, at);
            ASSERT_NE(found, std::string::npos) << c.name << " point " << k << " " << pos;
            at = found + pos.size();
        }
        if (c.houses) {
            for (const char* title : {"Asc", "IC", "Dsc", "MC"})
                EXPECT_NE(text.find(title), std::string::npos) << c.name << " " << title;
            for (int h = 1; h <= 12; ++h) {
                const std::string pos = CorePosition(f.s, f.s.PlanetLon[26 + h]);
                EXPECT_NE(text.find(pos), std::string::npos) << c.name << " house " << h;
            }
        } else {
            EXPECT_EQ(text.find("Asc"), std::string::npos) << c.name;
        }
        if (std::string(c.name) == "double") {
            // the second chart's positions stand on the rows of the first
            for (int k : c.points) {
                const std::string pos = CorePosition(f.s, f.s.PlanetLonBck[k]);
                EXPECT_NE(text.find(pos), std::string::npos) << "second chart point " << k;
            }
        }
        // the glyph face is embedded; the page holds no picture
        const std::string fonts = RunTool("pdffonts", f.pdf);
        std::smatch fm;
        EXPECT_TRUE(std::regex_search(fonts, fm, std::regex("QOR511[^\n]* yes "))) << c.name << "\n"
                                                                                   << fonts;
        const std::string images = RunTool("pdfimages", f.pdf, "-list");
        EXPECT_EQ(Lines(images).size(), 2u) << c.name << "\n" << images; // the heading only
    }
}

TEST(PrnKartPdf, DignityLettersAndStarNamesStandOnTheirRows) {
    struct Case {
        bool english;
        double mercury; // degrees
        const char* letter;
    };
    const Case cases[] = {
        {true, 165, "E"}, {true, 345, "F"}, {false, 165, "э"}, {false, 345, "п"},
        {true, 75, "R"},  {true, 255, "D"}, {false, 75, "О"},  {false, 255, "И"},
    };
    for (const Case& c : cases) {
        PdfFixture f;
        f.s.EnglishMode = c.english;
        f.o.AfetBox = true;
        f.o.StarsCheck = true;
        f.SetBody(3, c.mercury, 0.01);
        // one named star half a degree from Jupiter
        StarCatalogue stars;
        stars.StarCount = 1;
        stars.YaleStars.resize(2);
        stars.YaleStars[1].NameOffset = 1;
        stars.YaleStars[1].Mag = 1.3f;
        stars.StarNames = "\x07Regulus"; // length-prefixed
        stars.StarLon = {0, f.s.PlanetLon[6] + 0.5 * kDegToRad};
        f.services.Stars = &stars;
        ASSERT_TRUE(f.Print());
        const std::vector<std::string> lines = Lines(PageText(f.pdf));
        auto rowOf = [&](int k) {
            const std::string pos = CorePosition(f.s, f.s.PlanetLon[k]);
            for (const std::string& l : lines)
                if (l.find(pos) != std::string::npos) return l;
            return std::string();
        };
        const std::string mercury = rowOf(3);
        ASSERT_FALSE(mercury.empty()) << c.letter;
        // the letter stands just before the cross glyph (mutable signs all four)
        const std::size_t cross = mercury.find("<249>");
        ASSERT_NE(cross, std::string::npos) << mercury;
        std::string before = mercury.substr(0, cross);
        while (!before.empty() && before.back() == ' ') before.pop_back();
        const std::size_t space = before.rfind(' ');
        EXPECT_EQ(before.substr(space == std::string::npos ? 0 : space + 1), c.letter) << mercury;
        const std::string jupiter = rowOf(6);
        EXPECT_NE(jupiter.find("Regulus"), std::string::npos) << jupiter;
        EXPECT_EQ(rowOf(7).find("Regulus"), std::string::npos);
    }
}

} // namespace
} // namespace qor::chart
