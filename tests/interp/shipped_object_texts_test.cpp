// The shipped texts of single objects through the entries other windows call: every planet,
// every sign, every star the catalogue names and every Messier object shows its own text in
// both languages, in the language asked for; the editor's star-name check finds every title of
// the star base among the catalogue's names; and the natal report of three computed charts
// finds a text for every named star within a degree of a point.
#include "InterpWindowFixture.h"
#include "NatalReportSupport.h"

#include "core/Chart.h"
#include "core/TimeStep.h"
#include "interp/SectionEditor.h"
#include "sky/DeepSky.h"
#include "sky/SkyData.h"
#include "sky/StarCatalogue.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace qor::interp {
namespace {

class ShippedObjectTextsTest : public InterpWindowTest {
protected:
    void SetUp() override {
        InterpWindowTest::SetUp();
        fs::create_directory_symlink(fs::path(QOR_SOURCE_DIR) / "data" / "Txt", dir / "Txt");
    }
    std::string Shown() const {
        std::string text;
        for (const auto& l : interp->Memo->Lines()) text += l + "\n";
        return text;
    }
};

// A byte of a Cyrillic letter in code page 1251.
bool HasCyrillic(const std::string& s) {
    return std::any_of(s.begin(), s.end(), [](char c) { return (unsigned char)c >= 0xC0; });
}

struct Named {
    const char* ru;
    const char* en;
};

const Named kPlanets[] = {{"Солнце", "Sun"},     {"Луна", "Moon"},    {"Меркурий", "Mercury"},
                          {"Венера", "Venus"},   {"Марс", "Mars"},    {"Юпитер", "Jupiter"},
                          {"Сатурн", "Saturn"},  {"Уран", "Uranus"},  {"Нептун", "Neptune"},
                          {"Плутон", "Pluto"}};
const Named kSigns[] = {{"Овен", "Aries"},        {"Телец", "Taurus"},    {"Близнецы", "Gemini"},
                        {"Рак", "Cancer"},        {"Лев", "Leo"},         {"Дева", "Virgo"},
                        {"Весы", "Libra"},        {"Скорпион", "Scorpio"}, {"Стрелец", "Sagittarius"},
                        {"Козерог", "Capricorn"}, {"Водолей", "Aquarius"}, {"Рыбы", "Pisces"}};

TEST_F(ShippedObjectTextsTest, EveryPlanetAndSignHasItsOwnTextInBothLanguages) {
    for (bool english : {false, true}) {
        Make(english);
        for (const auto& [kind, names, count] :
             {std::tuple{"planet", kPlanets, 10}, std::tuple{"sign", kSigns, 12}}) {
            std::set<std::string> seen;
            for (int n = 1; n <= count; ++n) {
                SCOPED_TRACE(std::string(kind) + " " + std::to_string(n) + (english ? " en" : " ru"));
                interp->Memo->SetLines({});
                if (std::string(kind) == "planet")
                    P().Svc.IntPlanetText(n);
                else
                    P().Svc.IntSignText(n);
                const std::string text = Shown();
                EXPECT_GE(text.size(), 700u);
                // Its own object: the text names it, and no other object has the same text.
                const std::string name = english ? names[n - 1].en : Cp(names[n - 1].ru);
                EXPECT_NE(text.find(name), std::string::npos) << name;
                EXPECT_TRUE(seen.insert(text).second);
                EXPECT_EQ(HasCyrillic(text), !english);
                EXPECT_EQ(text.find('['), std::string::npos);
            }
        }
    }
    EXPECT_TRUE(dialogs.Messages().empty());
}

// The shipped catalogues of a language, read from the data folder, with positions of the
// state's moment when it has one.
void LoadShippedSky(AstroDat& s, StarCatalogue& stars, DeepCatalogue& deep) {
    const fs::path folder = s.ProgramFolder;
    s.ProgramFolder = fs::path(QOR_SOURCE_DIR) / "data";
    ASSERT_TRUE(LoadYaleCatalogue(s, stars));
    ASSERT_TRUE(LoadDeepObj(s, deep));
    s.ProgramFolder = folder;
}

bool IsMessier(const DeepRec& d) {
    const std::string code = Trim(d.Code);
    return code.size() > 2 && code.rfind("M ", 0) == 0;
}

TEST_F(ShippedObjectTextsTest, EveryNamedStarAndMessierObjectHasItsTextInBothLanguages) {
    for (bool english : {false, true}) {
        SCOPED_TRACE(english ? "en" : "ru");
        Make(english);
        SkyData& sky = P().Own<SkyData>();
        ASSERT_NO_FATAL_FAILURE(LoadShippedSky(S(), sky.Stars, sky.Deep));
        std::set<std::string> texts;
        int named = 0, messier = 0;
        for (int i = 1; i <= sky.Stars.StarCount; ++i) {
            if (!sky.Stars.YaleStars[i].NameOffset) continue;
            ++named;
            interp->Memo->SetLines({});
            P().Svc.IntStarText(i);
            const auto lines = interp->Memo->Lines();
            const std::string name = StarName(sky.Stars, i);
            ASSERT_GE(lines.size(), 2u) << name;
            // The heading names the star; the text below it is the star's own.
            EXPECT_EQ(lines[0].rfind(name + " (", 0), 0u) << lines[0];
            std::string body;
            for (std::size_t k = 1; k < lines.size(); ++k) body += lines[k];
            EXPECT_GE(body.size(), 250u) << name;
            EXPECT_NE(body.find(name), std::string::npos) << name;
            EXPECT_EQ(HasCyrillic(body), !english) << name;
            texts.insert(body);
        }
        for (int i = 1; i <= sky.Deep.DeepCount; ++i) {
            if (!IsMessier(sky.Deep.DeepObjs[i])) continue;
            ++messier;
            interp->Memo->SetLines({});
            P().Svc.IntDeepSkyText(i);
            const auto lines = interp->Memo->Lines();
            ASSERT_GE(lines.size(), 2u) << sky.Deep.DeepObjs[i].Code;
            std::string body;
            for (std::size_t k = 1; k < lines.size(); ++k) body += lines[k];
            EXPECT_GE(body.size(), 250u) << sky.Deep.DeepObjs[i].Code;
            EXPECT_EQ(HasCyrillic(body), !english) << sky.Deep.DeepObjs[i].Code;
            texts.insert(body);
        }
        EXPECT_EQ(named, 324);
        EXPECT_EQ(messier, 110);
        // Three names cover two records each: one text for both.
        EXPECT_EQ(texts.size(), 324u - 3 + 110);
    }
    EXPECT_TRUE(dialogs.Messages().empty());
}

TEST_F(ShippedObjectTextsTest, TheEditorsStarNameCheckFindsEveryTitle) {
    for (bool english : {false, true}) {
        AstroDat s;
        s.EnglishMode = english;
        StarCatalogue stars;
        DeepCatalogue deep;
        ASSERT_NO_FATAL_FAILURE(LoadShippedSky(s, stars, deep));
        std::set<std::string> names;
        for (int i = 1; i <= stars.StarCount; ++i)
            if (stars.YaleStars[i].NameOffset) names.insert(StarName(stars, i));
        const std::string base =
            test::TempDir::Read(fs::path(QOR_SOURCE_DIR) / "data" / "Txt" /
                                (english ? "stars-e.txt" : "stars.txt"));
        EXPECT_TRUE(CountSections(base).starBase);
        const auto titles = HeaderTitles(base);
        EXPECT_EQ(titles.size(), 324u - 3);
        for (const std::string& title : titles) EXPECT_TRUE(names.count(title)) << title;
    }
}

// The natal report of computed charts: each named star within a degree of a reported point
// has its section under that point, in both languages.
class ShippedStarConjunctionsTest : public test_support::ReportFrame {
protected:
    void SetUp() override {
        ReportFrame::SetUp();
        ASSERT_NO_FATAL_FAILURE(LoadShippedPlanetTerms());
        fs::create_directory_symlink(fs::path(QOR_SOURCE_DIR) / "data" / "Txt", dir / "Txt");
    }
    void Compute(int year, int month, double day, double latDeg, double lonDeg) {
        s.ChartLat = latDeg * kDegToRad;
        s.ChartLong = lonDeg * kDegToRad;
        s.GeocLat = s.ChartLat;
        s.GeocRadius = 1;
        DateTimeRec date;
        date.Year = year;
        date.Month = month;
        date.Day = day;
        s.ChartJD = JulianDayOf(date);
        CalcTimeScales(s);
        ChartOptions opt;
        GeneralOptions gen{.HorParallax = false};
        CalcChart(s, opt, gen, 0);
    }
};

TEST_F(ShippedStarConjunctionsTest, EveryNamedStarNearAPointHasItsSection) {
    struct Birth {
        int year, month;
        double day, lat, lon;
    };
    const Birth births[] = {{1990, 1, 15.5, 55.75, 37.62},
                            {1975, 7, 4.15, 40.71, -74.01},
                            {2003, 11, 23.92, -33.87, 151.21}};
    int conjunctions = 0;
    for (const Birth& b : births)
        for (bool english : {false, true}) {
            SCOPED_TRACE(std::to_string(b.year) + (english ? " en" : " ru"));
            s.EnglishMode = english;
            MakeWriter();
            StarCatalogue stars;
            DeepCatalogue deep;
            ASSERT_NO_FATAL_FAILURE(LoadShippedSky(s, stars, deep));
            Compute(b.year, b.month, b.day, b.lat, b.lon);
            ComputeStarPositions(s, stars, &deep);
            ReportChart chart = Chart();
            chart.stars = &stars;
            ChartReports r(*w, chart);
            w->Run([&] { r.Natal(); });
            // Heading counts the report must hold: one for each point and near star.
            std::map<std::string, int> wanted;
            const std::string head = english ? "* Conjunction: " : Cp("* Соединение: ");
            for (int p = 1; p <= 10; ++p)
                for (int i = 1; i <= stars.StarCount; ++i) {
                    if (!stars.YaleStars[i].NameOffset) continue;
                    double d = std::fabs(stars.StarLon[i] - s.PlanetLon[p]) / kDegToRad;
                    d = std::fmod(d, 360.0);
                    if (std::min(d, 360 - d) < 0.999) ++wanted[head + StarName(stars, i) + " ("];
                }
            const auto lines = Lines();
            // Each heading followed by the section's text.
            for (const auto& [title, n] : wanted) {
                int found = 0;
                for (std::size_t k = 0; k + 1 < lines.size(); ++k)
                    if (lines[k].rfind(title, 0) == 0 && lines[k + 1].size() > 100) ++found;
                EXPECT_GE(found, n) << title;
                conjunctions += n;
            }
        }
    EXPECT_GT(conjunctions, 30);
}

} // namespace
} // namespace qor::interp
