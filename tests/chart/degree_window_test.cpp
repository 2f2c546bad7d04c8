// The degree window: the degree under the pointer on the wheel with its ruler, its texts from
// the two degree-text files and the objects inside it on a one-degree scale.
#include "WheelScreenFixture.h"

#include "chart/DegreeWindow.h"
#include "chart/KartScreen.h"
#include "chart/SabGrad.h"
#include "core/AstroMath.h"
#include "core/Chart.h"
#include "core/DegreeTexts.h"
#include "core/Files.h"
#include "core/Formats.h"
#include "core/Text.h"
#include "core/TimeStep.h"
#include "sky/DeepSky.h"
#include "sky/SkyData.h"
#include "sky/StarCatalogue.h"
#include "ui/EnglishTexts.h"
#include "ui/QtReport.h"

#include <QApplication>

#include <algorithm>
#include <cmath>
#include <set>

namespace qor::chart {
namespace {

// --- Degree numbers, rulers, the angle under the pointer ---------------------------------------

TEST(DegreeNumbers, NumberAndRulerOfALongitude) {
    AstroDat s;
    const double minute = 1.0 / 60;
    struct Case {
        double deg;
        int degree;
        const char* ruler;
    } cases[] = {
        {0, 1, "Mars"},
        {30 * minute, 1, "Mars"},
        {59 * minute, 1, "Mars"},
        {59.99 * minute, 1, "Mars"},
        {1, 2, "Sun"},
        {7.5, 8, "Mars"},
        {29 + 30 * minute, 30, "Sun"},
        {149.5, 150, "Venus"},
        {359 + 59 * minute, 360, "Venus"},
    };
    s.EnglishMode = true;
    for (const Case& c : cases) {
        const int d = DegreeOfLongitude(c.deg * kDegToRad);
        EXPECT_EQ(d, c.degree) << c.deg;
        EXPECT_EQ(DegreeRulerName(s, d), c.ruler) << c.deg;
    }
    // The seven-step cycle, its names without blanks, in both languages.
    const std::vector<std::string> en = {"Mars", "Sun",    "Venus",  "Mercury", "Moon",
                                         "Saturn", "Jupiter", "Mars"};
    const std::vector<std::string> ru = {"Марс", "Солнце", "Венера", "Меркурий", "Луна",
                                         "Сатурн", "Юпитер", "Марс"};
    for (int d = 1; d <= 8; ++d) {
        s.EnglishMode = true;
        EXPECT_EQ(DegreeRulerName(s, d), en[d - 1]) << d;
        s.EnglishMode = false;
        EXPECT_EQ(DegreeRulerName(s, d), Cp(ru[d - 1])) << d;
    }
    for (int d = 1; d <= 353; ++d) EXPECT_EQ(DegreeRuler(d), DegreeRuler(d + 7)) << d;
    // glyph names stay as they were
    s.GlyphNames = true;
    DegreeRulerName(s, 3);
    EXPECT_TRUE(s.GlyphNames);
}

TEST(DegreeNumbers, PointerLongitudeIsTheWheelsOwnAngleTurnedBack) {
    // The oracle is the wheel's drawing: a longitude drawn at screen angle a lies at
    // (r cos a, r sin a) from the centre, y up.
    NatalWheel wheel;
    for (const bool ccw : {true, false})
        for (const double startDeg : {0.0, 100.0, 237.5, 359.9}) {
            wheel.KartCounterClock = ccw;
            wheel.KartStartAngle = startDeg * kDegToRad;
            for (double lonDeg = 0.25; lonDeg < 360; lonDeg += 7.5) {
                const double a = wheel.ScreenAngle(lonDeg * kDegToRad);
                const double lon = PointerLongitude(200 * std::cos(a), 200 * std::sin(a),
                                                    wheel.KartStartAngle, ccw);
                EXPECT_NEAR(lon / kDegToRad, lonDeg, 1e-9) << ccw << " " << startDeg;
            }
        }
    // Straight up and down (dx = 0) and the left horizontal ray, start 0, counter-clockwise:
    // the start point lies at 9 o'clock.
    struct Ray {
        double dx, dy, lonDeg;
    } rays[] = {{0, 50, 270}, {0, -50, 90}, {-50, 0, 0}, {50, 0, 180}, {-50, -1e-12, 0}};
    for (const Ray& r : rays) {
        const double lon = PointerLongitude(r.dx, r.dy, 0, true) / kDegToRad;
        EXPECT_NEAR(std::fmod(lon + 1e-7, 360.0), r.lonDeg, 1e-6) << r.dx << "," << r.dy;
        EXPECT_GE(lon, 0);
        EXPECT_LT(lon, 360);
    }
    // clockwise with the start at 3 o'clock
    EXPECT_NEAR(PointerLongitude(50, 0, 0, false), 0, 1e-12);
    EXPECT_NEAR(PointerLongitude(0, 50, 0, false) / kDegToRad, 270, 1e-9);
}

// --- Wrapping ----------------------------------------------------------------------------------

TEST(DegreeText, WrapsAtBlanksAndBreaksLongWords) {
    const auto measure = [](std::string_view t) { return static_cast<int>(t.size()) * 7; };
    struct Case {
        std::string text;
        int width;
        std::vector<std::string> lines;
    } cases[] = {
        {"one two three/", 70, {"one two", "three"}},
        {"     indented text here/", 91, {"     indented", "text here"}},
        {"a//b/", 70, {"a", "", "b"}},
        {"abcdefghijklmnop/", 49, {"abcdefg", "hijklmn", "op"}},
        {"xx abcdefghijklmnop yy/", 49, {"xx", "abcdefg", "hijklmn", "op yy"}},
        {"abc/", 0, {"a", "b", "c"}},
        {"     abcdefghij/", 49, {"     ab", "cdefghi", "j"}},
        {"no end", 700, {"no end"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WrapDegreeText(c.text, c.width, measure), c.lines) << c.text << " " << c.width;
}

// --- The degree-text files ---------------------------------------------------------------------

class DegreeTextFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        qor::test::QtApp();
        ui::Screen().SetDialogs(&dialogs);
        s.ProgramFolder = dir.path();
        s.Report = &report;
    }
    void TearDown() override { ui::Screen().SetDialogs(nullptr); }
    std::string Read(double lonDeg, bool first = true, bool second = true) {
        DegreeTextFiles f = DefaultDegreeTextFiles(false);
        f.FirstOn = first;
        f.SecondOn = second;
        std::string text;
        reader.ReadDegreeText(s, f, text, lonDeg * kDegToRad);
        return text;
    }
    void Write(const char* name, const std::string& utf8) {
        dir.Write(std::string("Txt/Gradus/") + name, Cp(utf8));
    }
    qor::test::TempDir dir;
    ui::AnsweringDialogs dialogs;
    ui::QtReport report;
    AstroDat s;
    DegreeTextReader reader;
};

TEST_F(DegreeTextFilesTest, TextsOfBothFiles) {
    Write("GOstrel.txt", "/ first file\r\n"
                         "[ 1] Овен\r\n"
                         "   1 Первая строка.\r\n"
                         "продолжение\r\n"
                         "   2 Второй.\r\n"
                         "\r\n"
                         "[ 5] Лев, знак огня\r\n"
                         "  30 Последний градус Льва.\r\n");
    Write("GFirnel.txt", "[ 5] Лев\n"
                         "  29 Не тот.\n"
                         "  30 Ключ: достоинство.\n"
                         "  \n"
                         "[ 6] Дева\n"
                         "   1 Дева.\n");
    struct Case {
        double lonDeg;
        bool first, second;
        std::string utf8;
    } cases[] = {
        // both files hold the degree: heading, the first entry, an empty line, the second
        {149.5, true, true,
         "     30° Лев, знак огня/     Последний градус Льва.//     Ключ: достоинство./"},
        // the first file alone, with its continuation line
        {0.2, true, false, "     1° Овен/     Первая строка./продолжение/"},
        {1.9, true, false, "     2° Овен/     Второй./"},
        // only the second file holds the sign: the text starts with an empty line
        {150.0, true, true, "/     1° Дева/     Дева./"},
        // the second file alone: no empty line
        {150.0, false, true, "     1° Дева/     Дева./"},
        // the sign is there, the degree is not: the heading only; nothing of the next sign
        {2.5, true, true, "     3° Овен//"},
        {120.5, true, false, "     1° Лев, знак огня/"},
        // neither file has the sign
        {200, true, true, "/"},
        {200, false, false, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Read(c.lonDeg, c.first, c.second), Cp(c.utf8)) << c.lonDeg;
    }
    EXPECT_TRUE(dialogs.asked.empty());
}

TEST_F(DegreeTextFilesTest, AMissingFileIsToldOnceAndThenSkipped) {
    Write("GFirnel.txt", "[ 1] Овен\n   5 Пятый.\n");
    EXPECT_EQ(Read(4.5), Cp("     5° Овен/     Пятый./"));
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_NE(dialogs.asked[0].text.find("GOstrel.txt"), std::string::npos);
    for (double lon : {10.5, 11.5, 12.5, 4.5}) Read(lon);
    EXPECT_EQ(dialogs.asked.size(), 1u);
    // the file that appears later is read, still without a message
    Write("GOstrel.txt", "[ 1] Овен\n   5 Теперь есть.\n");
    EXPECT_EQ(Read(4.5, true, false), Cp("     5° Овен/     Теперь есть./"));
    EXPECT_EQ(reader.FilesRead(), 1);
    EXPECT_EQ(dialogs.asked.size(), 1u);
}

TEST(ShippedDegreeTexts, EveryDegreeOfEverySignInAllFourFiles) {
    const std::filesystem::path dir = std::filesystem::path(QOR_SOURCE_DIR) / "data" / "Txt" / "Gradus";
    for (const char* name : {"GOstrel.txt", "GFirnel.txt", "GOstrel-e.txt", "GFirnel-e.txt"}) {
        const std::string bytes = qor::test::TempDir::Read(dir / name);
        ASSERT_FALSE(bytes.empty()) << name;
        const bool russian = std::string_view(name).find("-e") == std::string_view::npos;
        // code page 1251: no byte the page leaves undefined, no control byte but CR and LF
        for (const char ch : bytes) {
            const auto b = static_cast<unsigned char>(ch);
            ASSERT_TRUE(b != 0x98 && (b >= 0x20 || b == '\r' || b == '\n')) << name << " " << int(b);
        }
        std::set<std::string> seen;
        for (int sign = 1; sign <= 12; ++sign)
            for (int g = 1; g <= 30; ++g) {
                const DegreeEntry e = FindDegreeEntry(bytes, sign, g);
                ASSERT_TRUE(e.signFound && e.degreeFound) << name << " " << sign << "." << g;
                std::string text;
                for (const std::string& line : e.lines) text += line + " ";
                EXPECT_TRUE(seen.insert(text).second) << name << " " << sign << "." << g;
                EXPECT_EQ(text.find('/'), std::string::npos) << name << " " << sign << "." << g;
                // Cyrillic letters are the bytes 0xC0..0xFF (and Ё, ё)
                const bool cyrillic =
                    std::any_of(text.begin(), text.end(), [](char c) {
                        const auto b = static_cast<unsigned char>(c);
                        return b >= 0xC0 || b == 0xA8 || b == 0xB8;
                    });
                EXPECT_EQ(cyrillic, russian) << name << " " << sign << "." << g;
            }
    }
}

// --- The window on the wheel ---------------------------------------------------------------------

class DegreeWindowTest : public WheelScreenTest {
protected:
    void SetUp() override {
        WheelScreenTest::SetUp();
        ui::Screen().SetSize(1280, 800);
        RegisterDegreeWindow(*p, wheel);
        // every sign's header, one entry per sign
        std::string file;
        for (int sg = 1; sg <= 12; ++sg)
            file += "[" + IntToStrW(sg, 2) + "] Title of sign " + std::to_string(sg) + "\r\n  15 " +
                    "The middle of sign " + std::to_string(sg) + ".\r\n";
        dir.Write("Txt/Gradus/GOstrel.txt", file);
    }
    void TearDown() override {
        if (QWidget* w = ui::Screen().FindForm("Sabian")) delete w;
        ui::Screen().SetSize(0, 0);
        ChartWindowsTest::TearDown();
    }
    TSabian* Window() const { return dynamic_cast<TSabian*>(ui::Screen().FindForm("Sabian")); }
    // Points at screen pixel (x, y) of the wheel.
    void PointAt(int x, int y) {
        ShowDegreeWindow(*p, x - wheel->KartWheel.CentreX, wheel->KartWheel.CentreY - y);
    }
    int ShownDegree() const {
        const std::string& t = p->Own<DegreeWindowState>().Title;
        return std::stoi(t.substr(0, t.find(' ')));
    }
    // The star and deep-sky catalogues of 22 August 1995, when Regulus stood at about
    // 149°43' of date.
    SkyData& SkyOf1995() {
        for (const char* f : {"yale.mdb", "yale.nme", "yale.cmm", "Deepobj.txt"})
            std::filesystem::copy_file(std::filesystem::path(QOR_SOURCE_DIR) / "data" / f,
                                       dir / f);
        p->s.ChartYear = 1995;
        p->s.ChartMonth = 8;
        p->s.ChartDay = 22;
        p->s.ChartHour = 12;
        ChartOptions opt;
        GeneralOptions gen;
        CalcAstroTime(p->s, TimeOptionsFor(opt, gen));
        SkyData& sky = p->Own<SkyData>();
        EXPECT_TRUE(LoadYaleCatalogue(p->s, sky.Stars));
        EXPECT_TRUE(LoadDeepObj(p->s, sky.Deep));
        ComputeStarPositions(p->s, sky.Stars, &sky.Deep);
        return sky;
    }
};

TEST_F(DegreeWindowTest, PointingAtEachSignGlyphShowsADegreeOfThatSign) {
    struct Setup {
        bool clockwise;
        const char* start; // empty: the ascendant
    } setups[] = {{false, ""}, {true, ""}, {false, "0"}, {true, "0"}, {false, "263,5"},
                  {true, "263,5"}, {false, "47"}, {true, "182"}};
    for (const Setup& su : setups) {
        kart->RightDir->SetChecked(su.clockwise);
        kart->LeftDir->SetChecked(!su.clockwise);
        if (*su.start) {
            kart->AscDegreeEdit->SetText(su.start);
            kart->DegreeButton->SetChecked(true);
        } else {
            kart->AscendButton->SetChecked(true);
        }
        Draw();
        int found = 0;
        for (const std::string& spot : wheel->KartSpots) {
            const std::string code = spot.substr(spot.rfind(';') + 1);
            if (spot.find(" (") == std::string::npos || code.size() != 2) continue;
            const int sign = std::stoi(code);
            const int x = std::stoi(spot), y = std::stoi(spot.substr(spot.find(';') + 1));
            PointAt(x, y);
            ASSERT_NE(Window(), nullptr);
            const int d = ShownDegree();
            EXPECT_EQ((d - 1) / 30 + 1, sign) << su.clockwise << " " << su.start << " " << spot;
            EXPECT_NE(p->Own<DegreeWindowState>().Text.find("Title of sign " +
                                                             std::to_string(sign) + "/"),
                      std::string::npos)
                << spot;
            ++found;
        }
        EXPECT_EQ(found, 12) << su.start;
    }
}

TEST_F(DegreeWindowTest, TheWindowSitsInTheCornerDrawsEachDegreeOnceAndComesBackFresh) {
    Draw();
    const int cx = wheel->KartWheel.CentreX, cy = wheel->KartWheel.CentreY;
    PointAt(cx - 300, cy);
    TSabian* w = Window();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->Client()->size(), QSize(389, 212));
    EXPECT_EQ(w->frameGeometry().right(), 1279);
    EXPECT_EQ(w->frameGeometry().bottom(), 799);
    EXPECT_EQ(w->Caption(), "Сабианский символ"_cp);
    std::vector<std::string> english;
    ASSERT_TRUE(
        ReadTextLines(std::filesystem::path(QOR_SOURCE_DIR) / "data" / "English.txt", english)
            .ok());
    EXPECT_EQ(ui::EnglishCoverageProblems({w}, english, true), std::vector<std::string>{});
    EXPECT_EQ(w->DrawCount, 1);
    // the same degree again: nothing drawn; another degree: drawn
    PointAt(cx - 300, cy + 1);
    EXPECT_EQ(w->DrawCount, 1);
    PointAt(cx, cy - 300);
    EXPECT_EQ(w->DrawCount, 2);
    // a chart computation lets the same degree be drawn again
    p->Svc.ClearLabelOffsets();
    PointAt(cx, cy - 300);
    EXPECT_EQ(w->DrawCount, 3);

    // closed, then pointed at in the same degree: a fresh window in the corner, drawn
    w->Close();
    EXPECT_EQ(Window(), nullptr);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    PointAt(cx, cy - 300);
    TSabian* again = Window();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->DrawCount, 1);
    EXPECT_EQ(again->frameGeometry().bottomRight(), QPoint(1279, 799));

    // the English caption
    again->Close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    p->s.EnglishMode = true;
    PointAt(cx, cy - 300);
    ASSERT_NE(Window(), nullptr);
    EXPECT_EQ(Window()->Caption(), "Sabian Symbol");
}

TEST_F(DegreeWindowTest, TheSunAndRegulusInTheirDegreeWithTheCuspsBelow) {
    const SkyData& sky = SkyOf1995();
    int regulus = 0;
    for (int n = 1; n <= sky.Stars.StarCount; ++n)
        if (sky.Stars.YaleStars[n].BS == 3982) regulus = n;
    ASSERT_GT(regulus, 0);

    p->s.PlanetLon[1] = 149.5 * kDegToRad;               // the Sun at 29°30' Leo
    p->s.PlanetLon[27 + 4] = 149.25 * kDegToRad;         // the fifth cusp in the same degree
    kart->AscendButton->SetChecked(true);
    Draw();
    const double a = wheel->ScreenAngle(149.5 * kDegToRad);
    ShowDegreeWindow(*p, 200 * std::cos(a), 200 * std::sin(a));
    TSabian* w = Window();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(ShownDegree(), 150);
    EXPECT_EQ(p->Own<DegreeWindowState>().Title, "150 [Венера]"_cp);

    const DegreeLayout& l = w->Layout();
    ASSERT_GT(l.ScaleY, l.TextBottom);
    bool sun = false, star = false, cusp = false;
    for (const PlacedDegreeObject& o : l.Placed) {
        if (o.Object.What == DegreeObject::Body && o.Object.Index == 1) {
            sun = true;
            EXPECT_EQ(o.X, 8 + 186); // half of the 373 pixels of the scale, ties to even
            EXPECT_LT(o.LabelY + 16, l.ScaleY);
        }
        if (o.Object.What == DegreeObject::Star && o.Object.Index == regulus) star = true;
        if (o.Object.What == DegreeObject::Cusp) {
            cusp = true;
            EXPECT_EQ(o.Object.Label, "5");
            EXPECT_EQ(o.X, 8 + 93); // a quarter of the scale
            EXPECT_GT(o.LabelY, l.ScaleY);
            EXPECT_EQ(w->Picture().pixel(o.X, l.ScaleY + 3), QColor(255, 0, 255).rgb());
        }
        EXPECT_EQ(DegreeOfLongitude(o.Object.Lon), 150);
        if (o.LabelShown) {
            EXPECT_GE(o.LabelY, l.TextBottom) << o.Object.Label;
            EXPECT_LE(o.LabelY, 212);
        }
    }
    EXPECT_TRUE(sun);
    EXPECT_TRUE(star);
    EXPECT_TRUE(cusp);
    // labels that would overlap are lifted apart
    for (std::size_t i = 0; i < l.Placed.size(); ++i)
        for (std::size_t j = 0; j < i; ++j) {
            const PlacedDegreeObject &a1 = l.Placed[i], &a2 = l.Placed[j];
            if (a1.LabelY != a2.LabelY || !a1.LabelShown || !a2.LabelShown) continue;
            EXPECT_TRUE(a1.LabelX >= a2.LabelX + a2.LabelWidth ||
                        a2.LabelX >= a1.LabelX + a1.LabelWidth)
                << a1.Object.Label << " / " << a2.Object.Label;
        }

    // without the objects' switch the scale goes
    kart->ObjectsBox->SetChecked(false);
    p->Svc.ClearLabelOffsets();
    ShowDegreeWindow(*p, 200 * std::cos(a), 200 * std::sin(a));
    EXPECT_EQ(w->Layout().ScaleY, 0);
    EXPECT_TRUE(w->Layout().Placed.empty());
}

} // namespace
} // namespace qor::chart

namespace qor::chart {
namespace {

// Pictures of the window with the shipped texts and catalogues, in both languages, as it sits
// in the corner of a 1280 x 800 and a 1920 x 1080 screen, and the window alone, written beside
// the test program for a person to look at (degree_ru.png, degree_ru_1280.png ...).
TEST_F(DegreeWindowTest, Pictures) {
    const std::filesystem::path data = std::filesystem::path(QOR_SOURCE_DIR) / "data";
    std::filesystem::copy(data / "Txt", dir / "Txt", std::filesystem::copy_options::recursive |
                                                         std::filesystem::copy_options::overwrite_existing);
    SkyData& sky = SkyOf1995();
    p->s.PlanetLon[1] = 149.5 * kDegToRad;
    p->s.PlanetLon[3] = 149.1 * kDegToRad;
    p->s.PlanetLon[27 + 4] = 149.25 * kDegToRad;
    kart->FirnelBox->SetChecked(true);
    struct Shot {
        bool english;
        int w, h;
        const char* file;
    } shots[] = {{false, 1280, 800, "degree_ru_1280.png"},
                 {true, 1280, 800, "degree_en_1280.png"},
                 {false, 1920, 1080, "degree_ru_1920.png"},
                 {true, 1920, 1080, "degree_en_1920.png"}};
    for (const Shot& shot : shots) {
        if (TSabian* old = Window()) {
            old->Close();
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        ui::Screen().SetSize(shot.w, shot.h);
        p->s.EnglishMode = shot.english;
        // the catalogue's names are read in the language of the run
        ASSERT_TRUE(LoadYaleCatalogue(p->s, sky.Stars));
        ComputeStarPositions(p->s, sky.Stars, &sky.Deep);
        Draw();
        const double a = wheel->ScreenAngle(149.5 * kDegToRad);
        ShowDegreeWindow(*p, 200 * std::cos(a), 200 * std::sin(a));
        TSabian* w = Window();
        ASSERT_NE(w, nullptr);
        const QImage window = w->grab().toImage();
        if (shot.w == 1280)
            EXPECT_TRUE(window.save(QString::fromUtf8(shot.english ? "degree_en.png" : "degree_ru.png"),
                                    "PNG"));
        QImage screen(shot.w, shot.h, QImage::Format_RGB32);
        screen.fill(QColor(90, 110, 140));
        {
            QPainter g(&screen);
            g.drawImage(w->geometry().topLeft(), window);
        }
        EXPECT_TRUE(screen.save(QString::fromUtf8(shot.file), "PNG")) << shot.file;
    }
}

} // namespace
} // namespace qor::chart
