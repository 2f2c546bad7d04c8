// The astrological glossary: the 29 letters of its tabs against the Unicode capitals, the
// sections of a letter in a fixture turned into code page 1251 by iconv, and the window.
#include "InterpWindowFixture.h"

#include "core/Files.h"
#include "core/Text.h"
#include "interp/Dict.h"

#include <QKeyEvent>

namespace qor::interp {
namespace {

std::string Utf8(char32_t c) {
    std::string s;
    if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
    return s;
}

TEST(Glossary, TabsAreTheCapitalsWithoutHardSignYeruSoftSign) {
    std::vector<std::string> expected;
    for (char32_t c = 0x410; c <= 0x42F; ++c)
        if (c != 0x42A && c != 0x42B && c != 0x42C) expected.push_back(Utf8(c)); // Ъ Ы Ь
    std::vector<std::string> letters;
    for (const std::string& l : DictLetters()) letters.push_back(Cp1251ToUtf8(l));
    EXPECT_EQ(letters, expected);
    EXPECT_EQ(letters.size(), 29u);
    EXPECT_EQ(std::count(letters.begin(), letters.end(), Utf8(0x401)), 0); // no Ё
}

class GlossaryFile : public ::testing::Test {
protected:
    void SetUp() override { file = SplitTextLines(test::Fixture1251("glossary.txt")); }
    std::vector<std::string> Section(const char* letter) {
        std::vector<std::string> out;
        for (const std::string& l : DictSection(file, Cp(letter)[0])) out.push_back(Cp1251ToUtf8(l));
        return out;
    }
    std::vector<std::string> file;
};

TEST_F(GlossaryFile, SectionsByLetter) {
    // Two markers of one letter in a row keep the section going; "_" alone continues it.
    const std::vector<std::string> a = Section("А");
    ASSERT_EQ(a.size(), 7u);
    EXPECT_EQ(a[0], "_А");
    EXPECT_EQ(a[3], "_");
    EXPECT_EQ(a[4], "Продолжение статьи об асценденте после строки из одного подчёркивания.");
    EXPECT_EQ(a[6], "АФЕТА — дающий жизнь, точка отсчёта в старинных методах.");
    // The first section of a letter only: the later "_В" is not reached.
    EXPECT_EQ(Section("В"),
              (std::vector<std::string>{"_В", "ВОСХОДЯЩИЙ УЗЕЛ — точка, где Луна пересекает эклиптику, "
                                               "двигаясь к северу."}));
    // A letter without a section gives nothing.
    EXPECT_EQ(Section("Б"), std::vector<std::string>{});
    // The last letter runs to the end of the file.
    EXPECT_EQ(Section("Я").back(), "Последняя строка файла.");
    EXPECT_EQ(Section("Я").size(), 3u);
}

class GlossaryWindowTest : public InterpWindowTest {
protected:
    TDict* Open() {
        auto* w = ui::Screen().Ensure<TDict>("Dict");
        if (w) w->show();
        return w;
    }
};

TEST_F(GlossaryWindowTest, TabsShowTheirLetters) {
    dir.Write("spr.txt", test::CrLf(test::Fixture1251("glossary.txt")));
    TDict* w = Open();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->Caption(), Cp("Астрологический словарь"));
    EXPECT_EQ(w->TabControl->TabCount(), 29);
    EXPECT_EQ(w->Memo->Lines().size(), 7u);
    EXPECT_EQ(w->Memo->Lines()[0], Cp("_А"));
    Cmd("Dict,TabControl", "3"); // Г
    EXPECT_EQ(w->Letter, Cp("Г")[0]);
    EXPECT_EQ(w->Memo->Lines().size(), 2u);
    Cmd("Dict,TabControl", "1"); // Б: no section
    EXPECT_EQ(w->Memo->Lines(), std::vector<std::string>{});
    Cmd("Dict,TabControl", "28"); // Я
    EXPECT_EQ(w->Memo->Lines().back(), Cp("Последняя строка файла."));
    // A glossary that has gone is told and the memo keeps its text.
    fs::remove(dir / "spr.txt");
    Cmd("Dict,TabControl", "0");
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_NE(report.messages[0].text.find("spr.txt"), std::string::npos);
    EXPECT_EQ(w->Memo->Lines().back(), Cp("Последняя строка файла."));
    // Esc closes it.
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(w->Memo, &esc);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ui::Screen().FindForm("Dict"), nullptr);
}

} // namespace
} // namespace qor::interp
