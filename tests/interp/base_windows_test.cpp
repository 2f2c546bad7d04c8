// The setup of the bases and the section editor: the controls and their defaults per
// language, the double click into the editor, paging, saving a section (checked with diff and
// cmp), the refusals and the star-name check.
#include "InterpWindowFixture.h"

#include "core/Files.h"
#include "core/Text.h"
#include "ui/EnglishTexts.h"

#include <QTextCursor>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <regex>

namespace qor::interp {
namespace {

using test::TempDir;


TEST_F(InterpWindowTest, SetupHoldsEveryBaseWithItsDefaults) {
    int edits = 0, boxes = 0, groups = 0;
    for (const auto& c : intSet->Components()) {
        edits += c.kind == ui::Kind::Edit;
        boxes += c.kind == ui::Kind::CheckBox;
        groups += c.kind == ui::Kind::GroupBox;
    }
    EXPECT_EQ(edits, 28);
    EXPECT_EQ(boxes, 23);
    EXPECT_EQ(groups, 9);
    EXPECT_EQ(intSet->Caption(), Cp("Интерпретационные файлы"));
    EXPECT_EQ(intSet->HelpTopic(), "text-files.html");
    EXPECT_EQ(Value("IntSet,SignEdit"), "Txt\\Verlin\\sign.txt");
    EXPECT_EQ(Value("IntSet,HsignEdit"), "Txt\\Verlin\\sign.txt");
    EXPECT_EQ(Value("IntSet,RgradusEdit"), "Txt\\Gradus\\GOstrel.txt");
    EXPECT_EQ(Value("IntSet,MoonEdit"), "Txt\\Avesta\\Moon.txt");
    for (const auto& b : Bases())
        if (b.box) {
            const bool off = std::string(b.box) == "H_Box" || std::string(b.box) == "L_Box";
            EXPECT_EQ(Value(std::string("IntSet,") + b.box), off ? "False" : "True") << b.box;
        }
    // What the readers get follows the controls.
    intSet->show();
    Cmd("IntSet,B_Box", "False");
    Cmd("IntSet,SignEdit", "nofile");
    const TextBaseSettings t = BaseSettingsOf(P());
    EXPECT_FALSE(t[BaseId::B].on);
    EXPECT_EQ(t[BaseId::Sign].file, "nofile");
    EXPECT_TRUE(t[BaseId::MoonMed].on);
}

TEST_F(InterpWindowTest, EnglishDefaultsAreTheDashEBases) {
    Make(true);
    EXPECT_EQ(intSet->Caption(), "Interpretation files");
    EXPECT_EQ(Value("IntSet,SignEdit"), "Txt\\Verlin\\sign-e.txt");
    EXPECT_EQ(Value("IntSet,RgradusEdit"), "Txt\\Gradus\\GOstrel-e.txt");
    EXPECT_EQ(Value("IntSet,SunAscEdit"), "Txt\\Kvel\\SunAsc-e.txt");
    EXPECT_EQ(intSet->Switches[static_cast<std::size_t>(BaseId::H)]->Caption(), "Health");
}

TEST_F(InterpWindowTest, EnglishTextsCoverTheThreeWindows) {
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(dir / "English.txt", lines).ok());
    EXPECT_EQ(ui::EnglishCoverageProblems({interp, intSet, intxt}, lines, true),
              std::vector<std::string>{});
}

TEST_F(InterpWindowTest, DoubleClickOpensTheBaseInTheEditorExceptThreeBases) {
    dir.Write("Txt/Tormac/aspect.txt", "[1.1.2] a\r\ntext\r\n");
    intSet->show();
    intSet->Edits[static_cast<std::size_t>(BaseId::Aspect)]->OnDblClick();
    EXPECT_TRUE(intxt->isVisible());
    EXPECT_EQ(intxt->FileName, "Txt\\Tormac\\aspect.txt");
    EXPECT_EQ(intxt->Caption(), "[1.1.2] a - Txt\\Tormac\\aspect.txt");
    intxt->hide();
    for (BaseId id : {BaseId::SynPH, BaseId::SynPAP, BaseId::UD}) {
        intSet->Edits[static_cast<std::size_t>(id)]->OnDblClick();
        EXPECT_FALSE(intxt->isVisible());
    }
}

class SectionEditorTest : public InterpWindowTest {
protected:
    void SetUp() override {
        InterpWindowTest::SetUp();
        base = test::CrLf("/ lines before the first header   \n"
                          "[1.1] One\nfirst body\n"
                          "[1.2] Two\nsecond body\n/ a comment kept\n\n"
                          "[1.3] Three\nthird body   \nthird again\n"
                          "[1.4] Four\nfourth body\n"
                          "[1.5] Five\nfifth body\n");
        file = dir.Write("Txt/base.txt", base);
        intxt->ShowIntText("Txt\\base.txt");
    }
    // Types into the memo as the user would (the memo then counts as modified).
    void Type(const QString& text) {
        QTextCursor c(intxt->Memo->document());
        c.movePosition(QTextCursor::End);
        c.insertText(text);
    }
    std::string base;
    fs::path file;
};

TEST_F(SectionEditorTest, PagesTheSections) {
    EXPECT_EQ(intxt->Sections, 5);
    EXPECT_EQ(intxt->ScrollBar->maximum(), 5);
    EXPECT_EQ(intxt->Memo->Lines(), (std::vector<std::string>{"[1.1] One", "first body"}));
    EXPECT_EQ(intxt->Caption(), "[1.1] One - Txt\\base.txt");
    Cmd("Intxt,ScrollBar", "2");
    EXPECT_EQ(intxt->CurrentSection, 3);
    EXPECT_EQ(intxt->Memo->Lines(),
              (std::vector<std::string>{"[1.3] Three", "third body", "third again"}));
    Cmd("Intxt,ScrollBar", "1");
    EXPECT_EQ(intxt->Memo->Lines(), (std::vector<std::string>{"[1.2] Two", "second body",
                                                             "/ a comment kept", ""}));
    // The last position (the count) shows nothing: no section there.
    Cmd("Intxt,ScrollBar", "5");
    EXPECT_TRUE(intxt->Memo->Lines().empty());
    EXPECT_EQ(intxt->Caption(), "Txt\\base.txt");
}

TEST_F(SectionEditorTest, SavingSectionThreeChangesOnlyItsLines) {
    Cmd("Intxt,ScrollBar", "2");
    Type(QString::fromUtf8("\nновая строка"));
    int key = ui::vk::F1 + 1; // F2
    intxt->OnKeyDown(key, 0);
    EXPECT_FALSE(intxt->Memo->document()->isModified());
    const fs::path before = dir.Write("before.txt", base);
    int status = 0;
    const std::string diff = test::Shell("diff '" + before.string() + "' '" + file.string() + "'", &status);
    // Lines 9..11 of the old base are section 3; only they may change, and the only other
    // change is the trailing blanks the save cuts (line 1).
    std::smatch m;
    std::string rest = diff;
    int inSection = 0;
    const std::regex hunk(R"((?:^|\n)(\d+)(?:,(\d+))?([acd])(\d+)(?:,(\d+))?\n)");
    while (std::regex_search(rest, m, hunk)) {
        const int from = std::stoi(m[1]), to = m[2].matched ? std::stoi(m[2]) : from;
        EXPECT_TRUE((from >= 9 && to <= 11) || (from == 1 && to == 1)) << diff;
        inSection += from >= 9;
        rest = m.suffix();
    }
    EXPECT_GT(inSection, 0) << diff;
    const std::string after = TempDir::Read(file);
    EXPECT_NE(after.find("[1.3] Three\r\nthird body\r\nthird again\r\n" + Cp("новая строка") +
                         "\r\n[1.4] Four\r\n"),
              std::string::npos)
        << after;
    EXPECT_EQ(after.rfind("/ lines before the first header\r\n", 0), 0u);
}

TEST_F(SectionEditorTest, LfBaseIsWrittenWithCrLf) {
    fs::remove(file);
    dir.Write("Txt/base.txt", "top\n[a]\nx\n[b]\ny\n");
    intxt->ShowIntText("Txt\\base.txt");
    Type("z");
    int key = ui::vk::F1 + 1;
    intxt->OnKeyDown(key, 0);
    EXPECT_EQ(TempDir::Read(file), "top\r\n[a]\r\nxz\r\n[b]\r\ny\r\n");
}

TEST_F(SectionEditorTest, MovingWithChangesAsksOnce) {
    Type("edit");
    dialogs.messageAnswers.push_back(ui::MsgResult::No);
    Cmd("Intxt,ScrollBar", "3");
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text, Cp("В текст были внесены изменения. Сохранить?"));
    EXPECT_EQ(intxt->CurrentSection, 4);
    EXPECT_EQ(TempDir::Read(file), base);
    Cmd("Intxt,ScrollBar", "0");
    EXPECT_EQ(dialogs.asked.size(), 1u); // nothing changed since: no question
    // Yes saves before the move.
    Type("more");
    dialogs.messageAnswers.push_back(ui::MsgResult::Yes);
    Cmd("Intxt,ScrollBar", "1");
    EXPECT_NE(TempDir::Read(file).find("first bodymore\r\n"), std::string::npos);
}

TEST_F(SectionEditorTest, CharactersOutsideTheCodePageAreRefused) {
    Type(QString::fromUtf8(" \u2713"));
    int key = ui::vk::F1 + 1;
    intxt->OnKeyDown(key, 0);
    EXPECT_EQ(TempDir::Read(file), base);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text.rfind(Cp("В строке есть знаки"), 0), 0u);
    EXPECT_TRUE(intxt->Memo->document()->isModified());
}

TEST_F(SectionEditorTest, BaseWithoutHeadersShowsNothingAndRefusesTyping) {
    dir.Write("Txt/plain.txt", "no header\r\nat all\r\n");
    intxt->ShowIntText("Txt\\plain.txt");
    EXPECT_EQ(intxt->Sections, 0);
    EXPECT_EQ(intxt->ScrollBar->maximum(), 0);
    EXPECT_TRUE(intxt->Memo->Lines().empty());
    EXPECT_EQ(intxt->Caption(), "Txt\\plain.txt");
    char ch = 'a';
    intxt->Memo->OnKeyPress(ch);
    EXPECT_EQ(ch, 0);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    int key = ui::vk::F1 + 1;
    intxt->OnKeyDown(key, 0);
    EXPECT_EQ(TempDir::Read(dir / "Txt/plain.txt"), "no header\r\nat all\r\n");
}

TEST_F(SectionEditorTest, MissingBaseIsReported) {
    intxt->ShowIntText("Txt\\none.txt");
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_EQ(report.messages[0].text,
              std::string(std::strerror(ENOENT)) + ": " + (dir / "Txt/none.txt").string());
    EXPECT_EQ(intxt->Caption(), "Txt\\none.txt");
}

// A folder of its own filesystem for a save that must fail: mounted tmpfs (as root), else
// nothing.
class MountedFolder {
public:
    MountedFolder(const fs::path& where, const char* options) : where_(where) {
        fs::create_directories(where);
        mounted_ = ::getuid() == 0 && ::mount("tmpfs", where.c_str(), "tmpfs", 0, options) == 0;
    }
    ~MountedFolder() {
        if (mounted_) ::umount2(where_.c_str(), MNT_DETACH);
    }
    bool Mounted() const { return mounted_; }
    bool MakeReadOnly() {
        return ::mount("tmpfs", where_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    fs::path where_;
    bool mounted_ = false;
};

TEST_F(SectionEditorTest, FailedSavesLeaveTheBaseByteIdentical) {
    struct Case {
        const char* name;
        bool readOnly;
    };
    for (const Case c : {Case{"read-only folder", true}, Case{"full filesystem", false}}) {
        SCOPED_TRACE(c.name);
        const fs::path folder = dir / (c.readOnly ? "ro" : "full");
        MountedFolder mount(folder, "size=64k");
        if (!mount.Mounted() && c.readOnly && ::getuid() != 0) {
            // a user cannot write a folder without write permission
            fs::create_directories(folder);
        } else if (!mount.Mounted()) {
            GTEST_SKIP() << "no tmpfs could be mounted";
        }
        // a base of 40 KB: on the 64 KB filesystem there is no room for its second copy
        std::string big = base;
        while (big.size() < 40'000) big += "[9.9] Filler\r\n" + std::string(200, 'x') + "\r\n";
        const fs::path baseFile = folder / "base.txt";
        ASSERT_TRUE(SaveFileAtomic(baseFile, big).ok());
        if (c.readOnly) {
            if (mount.Mounted())
                ASSERT_TRUE(mount.MakeReadOnly());
            else
                fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
        }
        intxt->ShowIntText(baseFile.string());
        Cmd("Intxt,ScrollBar", "2");
        Type("a change that cannot be saved");
        report.messages.clear();
        int key = ui::vk::F1 + 1;
        intxt->OnKeyDown(key, 0);
        const fs::path copy = dir.Write(std::string("copy-") + c.name, big);
        int status = -1;
        test::Shell("cmp '" + copy.string() + "' '" + baseFile.string() + "'", &status);
        EXPECT_EQ(status, 0) << "the base changed";
        EXPECT_EQ(report.messages.size(), 1u) << "the failure must be told";
        EXPECT_TRUE(intxt->Memo->document()->isModified());
        intxt->Memo->document()->setModified(false);
        if (!mount.Mounted()) fs::permissions(folder, fs::perms::owner_all);
    }
}

TEST_F(SectionEditorTest, StarBaseTitlesCheckedAgainstTheCatalogue) {
    knownStars = {"Sirius", "Regulus"};
    dir.Write("Txt/stars.txt", "[]\r\n[1] Sirius\r\na\r\n[2] Nowhere\r\nb\r\n[3] Regulus\r\n"
                               "[4]  Elsewhere \r\nc\r\n");
    report.sounds.clear();
    intxt->ShowIntText("Txt\\stars.txt");
    EXPECT_TRUE(intxt->StarBase);
    EXPECT_EQ(report.sounds.size(), 2u); // Ding.wav for each missing star
    // The caption names the last missing star until the section is shown.
    intxt->CheckStarNames();
    EXPECT_EQ(intxt->Caption(), Cp("В базе данных нет звезды \"Elsewhere\""));
    knownStars.insert({"Nowhere", "Elsewhere"});
    report.sounds.clear();
    int key = ui::vk::F1 + 4; // F5
    intxt->OnKeyDown(key, 0);
    EXPECT_TRUE(report.sounds.empty());
}

} // namespace
} // namespace qor::interp
