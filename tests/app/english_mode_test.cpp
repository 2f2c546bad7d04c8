// The program started with "/e" in a fresh home reads the English editions of its data: the
// star names of yale.cmm, the English atlas, etext.txt, English.txt and the "-e" text bases.
// What each shows is English, and no Russian text of the Russian editions leaks into it.
#include "MainWindowFixture.h"
#include "ShownTexts.h"

#include "core/AstroDat.h"
#include "core/Text.h"
#include "geo/Atlas.h"
#include "geo/AtlasWindow.h"
#include "interp/Interp.h"
#include "sky/SkyData.h"
#include "sky/StarCatalogue.h"
#include "sky/StarTable.h"

#include <set>

namespace qor::shell {
namespace {

class EnglishStartTest : public MainWindowTest {
protected:
    void SetUp() override {
        args = {"/e"}; // the first start of the fresh folder is the English one
        MainWindowTest::SetUp();
    }
    void Run(const std::string& target, const std::string& command) {
        program->Commands.RunUICommand(target, command);
    }
    StarCatalogue& Stars() { return program->Find<SkyData>()->Stars; }
    int IndexOfBS(int bs) {
        for (int i = 1; i <= Stars().StarCount; ++i)
            if (Stars().YaleStars[i].BS == bs) return i;
        return 0;
    }
    // The body lines of a shipped text base: every line that is no section heading.
    static std::set<std::string> BaseLines(const std::string& file) {
        std::vector<std::string> lines;
        EXPECT_TRUE(ReadTextLines(kShippedData / "Txt" / file, lines).ok()) << file;
        std::set<std::string> body;
        for (const std::string& l : lines)
            if (l.size() > 40 && l[0] != '[') body.insert(l);
        return body;
    }
};

TEST_F(EnglishStartTest, StarNamesAreTheEnglishOnesOfTheCatalogue) {
    ASSERT_TRUE(program->s.EnglishMode);
    const std::pair<int, const char*> stars[] = {
        {2491, "Sirius"}, {7001, "Vega"}, {2061, "Betelgeuse"}, {5340, "Arcturus"}};
    form1->RunItem("N68");
    ASSERT_NE(Screen().FindForm("Star"), nullptr);
    EXPECT_EQ(Screen().FindForm("Star")->Caption().find("Star Catalog"), 0u);
    for (const auto& [bs, name] : stars) {
        const int i = IndexOfBS(bs);
        ASSERT_GT(i, 0) << bs;
        EXPECT_EQ(StarName(Stars(), i), name);
        // the name column of the star window
        EXPECT_NE(StarCellText(program->s, Stars(), i, 0, true).find(name), std::string::npos);
    }
    int named = 0;
    for (int i = 1; i <= Stars().StarCount; ++i) {
        const std::string n = StarName(Stars(), i);
        named += !n.empty();
        EXPECT_FALSE(HasCyrillic(n)) << i;
    }
    EXPECT_GT(named, 300);
}

TEST_F(EnglishStartTest, TheAtlasIsTheEnglishEdition) {
    ASSERT_TRUE(form1->RunItem("AtlasMenu"));
    auto* atlas = dynamic_cast<geo::TCities*>(Screen().FindForm("Cities"));
    ASSERT_NE(atlas, nullptr);
    const Atlas& a = program->Own<Atlas>();
    EXPECT_EQ(a.files.names, AtlasFileNames(true).names);
    ASSERT_GT(a.list.size(), 20000u);
    for (const CityNameRec& city : a.list) {
        ASSERT_FALSE(HasCyrillic(city.Name())) << city.Name();
    }
    Run("Cities,CityEdit", "Moscow");
    const int row = atlas->DrawGrid->Row();
    EXPECT_EQ(atlas->CellText(1, row).find("Moscow"), 0u) << atlas->CellText(1, row);
    for (int col = 0; col < atlas->DrawGrid->ColCount(); ++col)
        EXPECT_FALSE(HasCyrillic(atlas->CellText(col, row))) << atlas->CellText(col, row);
}

TEST_F(EnglishStartTest, MessagesAndCaptionsAreTheEnglishTexts) {
    // every message the Russian file holds has its English text, and it is the one shown
    std::vector<std::string> russian;
    ASSERT_TRUE(ReadTextLines(kShippedData / "rtext.txt", russian).ok());
    int messages = 0;
    for (const std::string& line : russian) {
        if (line.size() < 5 || !std::isdigit(static_cast<unsigned char>(line[2]))) continue;
        const int n = std::stoi(line.substr(0, 3));
        const std::string text = GetMsgText(program->s, n, "x");
        EXPECT_FALSE(text.empty()) << n;
        EXPECT_FALSE(HasCyrillic(text)) << n << " " << text;
        ++messages;
    }
    EXPECT_GT(messages, 100);
    EXPECT_EQ(GetMsgText(program->s, 1), "Quit QOR?");
    // the captions laid over the windows by English.txt
    form1->RunItem("TextButton");
    ASSERT_NE(Screen().FindForm("Interp"), nullptr);
    EXPECT_EQ(Screen().FindForm("Interp")->Caption(), "Text - noname");
    EXPECT_EQ(form1->Find<TMenuItem>("N68")->Caption(), "Star catalogue");
}

TEST_F(EnglishStartTest, ReportsAreWrittenFromTheEnglishBases) {
    // a report of the window's menu, a base it reads in English and the Russian one beside it
    const struct {
        const char* item;
        const char* english;
        const char* russian;
        int atLeast; // lines of the English base in the report
    } reports[] = {{"Nnatal", "Verlin/sign-e.txt", "Verlin/sign.txt", 10},
                   {"N13", "Avesta/Totem-e.txt", "Avesta/Totem.txt", 1},
                   {"N14", "Avesta/TotemMes-e.txt", "Avesta/TotemMes.txt", 1},
                   {"N15", "Avesta/TotemDay-e.txt", "Avesta/TotemDay.txt", 1},
                   {"N17", "Avesta/Moon-e.txt", "Avesta/Moon.txt", 1}};
    form1->RunItem("TextButton");
    auto* interp = dynamic_cast<interp::TInterp*>(Screen().FindForm("Interp"));
    ASSERT_NE(interp, nullptr);
    for (const auto& r : reports) {
        Run(std::string("Interp,") + r.item, "");
        const std::vector<std::string> report = interp->Memo->Lines();
        ASSERT_GT(report.size(), 3u) << r.item;
        for (const std::string& line : report) EXPECT_FALSE(HasCyrillic(line)) << r.item << line;
        const std::set<std::string> english = BaseLines(r.english), russian = BaseLines(r.russian);
        int fromEnglish = 0, fromRussian = 0;
        for (const std::string& line : report) {
            fromEnglish += english.contains(line);
            fromRussian += russian.contains(line);
        }
        EXPECT_GE(fromEnglish, r.atLeast) << r.item;
        EXPECT_EQ(fromRussian, 0) << r.item;
    }
}

} // namespace
} // namespace qor::shell
