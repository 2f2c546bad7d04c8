// The help pages against the program: every topic the program can open (a window's F1, a
// screen's F1, the help menu, a topic named in the code) has its Russian page in Manual and its
// English page in EManual; every link inside the pages leads to a page of the same folder; the
// contents page links every topic; the two languages' pages are each in their own language.
#include "MainWindowFixture.h"

#include "core/Text.h"

#include <QRegularExpression>
#include <QString>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace qor::shell {
namespace {

const char* const kFolders[] = {"Manual", "EManual"};

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// The text a reader sees: the page without its tags, scripts and style.
QString VisibleText(const std::string& html) {
    QString text = QString::fromUtf8(html);
    text.remove(QRegularExpression("<(style|script)[^>]*>.*?</\\1>",
                                   QRegularExpression::DotMatchesEverythingOption));
    text.remove(QRegularExpression("<[^>]*>"));
    text.remove(QRegularExpression("&[a-z#0-9]+;"));
    return text;
}

// Letters of the text: Cyrillic and Latin counts.
std::pair<int, int> Letters(const QString& text) {
    int cyr = 0, lat = 0;
    for (QChar c : text) {
        if (c.unicode() >= 0x0400 && c.unicode() <= 0x04FF)
            ++cyr;
        else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
            ++lat;
    }
    return {cyr, lat};
}

// Every href and src of a page.
std::vector<std::string> Links(const std::string& html) {
    std::vector<std::string> links;
    static const std::regex attr(R"re((?:href|src)\s*=\s*"([^"]*)")re", std::regex::icase);
    for (auto it = std::sregex_iterator(html.begin(), html.end(), attr);
         it != std::sregex_iterator(); ++it)
        links.push_back((*it)[1].str());
    return links;
}

// Every topic the started program can open, with where it is named.
std::map<std::string, std::string> TopicsOfTheProgram(Program& program, TForm1& form1,
                                                      std::vector<std::string>& opened) {
    std::map<std::string, std::string> topics;
    EnsureEveryForm();
    for (TForm* f : Screen().Forms())
        if (!f->HelpTopic().empty()) topics.emplace(f->HelpTopic(), "window " + f->Name());
    for (const auto& [mode, screen] : program.Svc.Screens) {
        const std::string topic = form1.HelpTopicOfScreen(mode);
        EXPECT_FALSE(topic.empty()) << "the screen " << mode << " names no help page";
        if (!topic.empty()) topics.emplace(topic, std::string("screen ") + mode);
    }
    // the help menu's pages (not the about box or the clip)
    for (QAction* a : form1.HelpMenu->actions()) {
        auto* item = dynamic_cast<TMenuItem*>(a);
        const std::string name = a->objectName().toStdString();
        if (!item || name == "Nscena" || name == "N96") continue;
        opened.clear();
        item->Click();
        for (const std::string& page : opened) topics.emplace(page, "help menu " + name);
    }
    // topics the code names directly
    static const std::regex literal(R"re("([A-Za-z0-9_-]+\.html)")re");
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(QOR_SOURCE_DIR) / "src")) {
        if (entry.path().extension() != ".cpp" && entry.path().extension() != ".h") continue;
        const std::string code = ReadAll(entry.path());
        for (auto it = std::sregex_iterator(code.begin(), code.end(), literal);
             it != std::sregex_iterator(); ++it)
            topics.emplace((*it)[1].str(), "code " + entry.path().filename().string());
    }
    return topics;
}

TEST_F(MainWindowTest, EveryHelpTopicHasItsPageInBothLanguages) {
    const std::map<std::string, std::string> topics = TopicsOfTheProgram(*program, *form1, opened);
    EXPECT_GT(topics.size(), 30u);
    for (const auto& [topic, where] : topics)
        for (const char* folder : kFolders)
            EXPECT_TRUE(fs::is_regular_file(kShippedData / folder / topic))
                << folder << "/" << topic << " (" << where << ")";
    // the contents page leads to every topic
    for (const char* folder : kFolders) {
        const std::vector<std::string> links = Links(ReadAll(kShippedData / folder / "index.html"));
        const std::set<std::string> linked(links.begin(), links.end());
        for (const auto& [topic, where] : topics)
            EXPECT_TRUE(linked.contains(topic)) << folder << "/index.html: no link to " << topic;
    }
}

TEST_F(MainWindowTest, HelpPagesLinkWithinTheirFolderAndSpeakTheirLanguage) {
    for (const char* folder : kFolders) {
        const fs::path dirPath = kShippedData / folder;
        for (const auto& entry : fs::directory_iterator(dirPath)) {
            if (entry.path().extension() != ".html") continue;
            const std::string name = std::string(folder) + "/" + entry.path().filename().string();
            const std::string html = ReadAll(entry.path());
            bool styled = false, home = entry.path().filename() == "index.html";
            for (const std::string& link : Links(html)) {
                EXPECT_EQ(link.find(':'), std::string::npos)
                    << name << ": a link outside the folder: " << link;
                const std::string file = link.substr(0, link.find('#'));
                if (file.empty()) continue;
                EXPECT_TRUE(fs::is_regular_file(dirPath / file)) << name << ": " << link;
                styled = styled || file == "style.css";
                home = home || file == "index.html";
            }
            EXPECT_TRUE(styled) << name << ": not on the shared style sheet";
            EXPECT_TRUE(home) << name << ": no link back to the contents";
            const auto [cyr, lat] = Letters(VisibleText(html));
            if (std::string(folder) == "Manual")
                EXPECT_GT(cyr, 2 * lat) << name << ": not mostly Russian";
            else
                EXPECT_EQ(cyr, 0) << name << ": Russian letters in an English page";
            // a page says what its window is for, not one line
            EXPECT_GT(cyr + lat, 600) << name << ": too short";
        }
        // the Russian and English pages are the same set
        for (const auto& entry : fs::directory_iterator(dirPath))
            EXPECT_TRUE(
                fs::exists(kShippedData / (std::string(folder) == "Manual" ? "EManual" : "Manual") /
                           entry.path().filename()))
                << folder << "/" << entry.path().filename().string() << " has no counterpart";
    }
}

TEST_F(MainWindowTest, AMissingHelpPageIsToldOnTheStatusLineInTheCurrentLanguage) {
    fs::remove(dir / "Manual" / "oracle.html");
    EXPECT_FALSE(program->Tech->ShowHelpTopic("oracle.html"));
    EXPECT_TRUE(opened.empty());
    EXPECT_NE(program->s.StatusText.find(Cp("Нет страницы справки")), std::string::npos);
    EXPECT_NE(program->s.StatusText.find("Manual\\oracle.html"), std::string::npos);
    // the contents page of the help menu goes the same way
    fs::remove(dir / "Manual" / "index.html");
    form1->Find<TMenuItem>("N93")->Click();
    EXPECT_TRUE(opened.empty());
    EXPECT_NE(program->s.StatusText.find("Manual\\index.html"), std::string::npos);
    StartInEnglish();
    fs::remove(dir / "EManual" / "oracle.html");
    EXPECT_FALSE(program->Tech->ShowHelpTopic("oracle.html"));
    EXPECT_NE(program->s.StatusText.find("No help page EManual\\oracle.html"), std::string::npos);
}

} // namespace
} // namespace qor::shell
