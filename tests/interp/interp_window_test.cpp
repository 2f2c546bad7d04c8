// The text window through its command paths and menu: reports into the memo, the memo's
// format, saving and reading, printing, the date list and the window's life.
#include "InterpWindowFixture.h"

#include "core/Files.h"
#include "core/Text.h"
#include "interp/DateList.h"
#include "interp/MoonSgn.h"
#include "interp/TextBase.h"
#include "shell/SettingsDialogs.h"
#include "ui/FontText.h"
#include "ui/Keys.h"

#include <QTextBlock>
#include <QTextCursor>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <regex>

namespace qor::interp {
namespace {

using test::TempDir;


class TextWindowTest : public InterpWindowTest {
protected:
    void SetUp() override {
        InterpWindowTest::SetUp();
        dir.Write("Txt/Verlin/sign.txt",
                  test::CrLf("/ test base\n[1.1] Sun in Aries\nFirst paragraph.\n"
                             "Second paragraph.\n[2.1] Moon in Aries\nMoon text.\n"));
        // A report of the Sun's and the Moon's sections of the sign base.
        (*reports).ByItem["Nnatal"] = [](TInterp& w) {
            ReportWriter& r = w.Writer();
            r.Run([&] {
                r.AddLine("Natal chart");
                std::string bytes;
                if (r.OpenBase(BaseId::Sign, bytes) != BaseOpen::Read) return;
                for (const Section& sec : ReadSections(
                         bytes, [](std::string_view) { return Verdict::Take; }, {.every = true})) {
                    r.SectionHeading(sec.header);
                    for (const auto& l : sec.lines) r.AddLine(l);
                }
            });
        };
    }
    std::vector<std::string> Report() const {
        return {"Natal chart",      "", "* Sun in Aries", "First paragraph.", "Second paragraph.",
                "",                 "* Moon in Aries", "Moon text."};
    }
};

TEST_F(TextWindowTest, ReportThroughTheMenuIntoTheMemo) {
    EXPECT_EQ(interp->Caption(), Cp("Текст - noname"));
    Cmd("Interp,Nnatal", "");
    EXPECT_EQ(interp->Memo->Lines(), Report());
    // Each report line a paragraph: the first line 70 pixels in, the others 50, 20 from the
    // right; the window's font from FontEdit.
    for (QTextBlock b = interp->Memo->document()->begin(); b.isValid(); b = b.next()) {
        EXPECT_EQ(b.blockFormat().leftMargin(), 50);
        EXPECT_EQ(b.blockFormat().textIndent(), 20);
        EXPECT_EQ(b.blockFormat().rightMargin(), 20);
    }
    EXPECT_EQ(interp->Memo->MemoFont(), (ui::FontSpec{204, 0, "Arial", 8, 0}));
    EXPECT_EQ(interp->Caption(), Cp("Текст - noname"));
    // What the command link reads and writes of the memo.
    EXPECT_EQ(Value("Interp,Memo"), "Natal chart\r\n\r\n* Sun in Aries\r\nFirst paragraph.\r\n"
                                     "Second paragraph.\r\n\r\n* Moon in Aries\r\nMoon text.");
    Cmd("Interp,Memo", "one\r\ntwo");
    EXPECT_EQ(interp->Memo->Lines(), (std::vector<std::string>{"one", "two"}));
    EXPECT_TRUE(P().Flags.ProgramIdle);
    // The work file stays until the window closes.
    EXPECT_TRUE(fs::exists(dir / "text.tmp"));
}

TEST_F(TextWindowTest, ReportsNotBuiltSaySoOnTheStatusLine) {
    // Every report of the menu is there now: take some out.
    const char* items[] = {"Ntrans", "N6", "NSolar", "N5", "N17"};
    for (const char* item : items) {
        reports->ByItem.erase(item);
        S().StatusText.clear();
        Cmd(std::string("Interp,") + item, "");
        const std::string caption = interp->Find<ui::TMenuItem>(item)->Caption();
        EXPECT_EQ(S().StatusText, Cp(" Отчёт «") + caption + Cp("» пока недоступен")) << item;
    }
    EXPECT_TRUE(interp->Memo->Lines().empty());
}

TEST_F(TextWindowTest, TheSameReportAgainLeavesTheMemoAlone) {
    Cmd("Interp,Nnatal", "");
    // The user makes a word bold; the same report again keeps it.
    QTextCursor c(interp->Memo->document()->findBlockByNumber(3));
    c.select(QTextCursor::WordUnderCursor);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.mergeCharFormat(bold);
    Cmd("Interp,Nnatal", "");
    EXPECT_TRUE(interp->Memo->document()->findBlockByNumber(3).begin().fragment().charFormat()
                    .font()
                    .bold());
    // Another text replaces it.
    dir.Write("Txt/Verlin/sign.txt", "[1.1] Sun\r\nchanged\r\n");
    Cmd("Interp,Nnatal", "");
    EXPECT_EQ(interp->Memo->Lines(),
              (std::vector<std::string>{"Natal chart", "", "* Sun", "changed"}));
}

TEST_F(TextWindowTest, MissingBasesAreToldOnceEachAfterTheReport) {
    intSet->Edits[static_cast<std::size_t>(BaseId::Sign)]->SetText("Txt\\none.txt");
    Cmd("Interp,Nnatal", "");
    EXPECT_EQ(interp->Memo->Lines(), (std::vector<std::string>{"Natal chart"}));
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0],
              std::string(std::strerror(ENOENT)) + ": " + (dir / "Txt/none.txt").string());
    // Switched off: nothing to tell.
    intSet->Switches[static_cast<std::size_t>(BaseId::Sign)]->SetChecked(false);
    Cmd("Interp,Nnatal", "");
    EXPECT_EQ(dialogs.Messages().size(), 1u);
}

// A file far larger than any text (a sparse file of 64 GiB, which takes no room) is refused by
// its size wherever a text is read whole: nothing is allocated and the user is told.
TEST_F(TextWindowTest, AFileFarLargerThanAnyTextIsRefusedUnread) {
    const fs::path huge = dir / "Txt" / "huge.txt";
    std::ofstream(huge, std::ios::binary) << "[1.1] Sun\r\n[01] Aries\r\n";
    std::error_code ec;
    fs::resize_file(huge, std::uintmax_t{64} << 30, ec);
    if (ec) GTEST_SKIP() << "no sparse file of 64 GiB here: " << ec.message();
    auto* moon = ui::Screen().Ensure<TMoonSgn>("MoonSgn");
    ASSERT_NE(moon, nullptr);
    const auto base = [&](BaseId id) { return intSet->Edits[static_cast<std::size_t>(id)]; };
    struct Case {
        const char* what;
        std::function<void()> read;
    };
    const Case cases[] = {
        {"a base of a report",
         [&] {
             base(BaseId::Sign)->SetText("Txt\\huge.txt");
             Cmd("Interp,Nnatal", "");
         }},
        {"the Moon-in-sign base",
         [&] {
             base(BaseId::MoonMed)->SetText("Txt\\huge.txt");
             P().Svc.RefreshWindow["MoonSgn"](*moon);
         }},
        {"a base in the section editor", [&] { intxt->ShowIntText("Txt\\huge.txt"); }},
        {"a table shown in the text window", [&] { P().Hooks.InterpShowFile("Txt\\huge.txt"); }},
        {"a file read into the text window", [&] { EXPECT_FALSE(interp->ReadText(huge)); }},
        {"a report's work file", [&] { EXPECT_FALSE(interp->ShowWorkFile(huge)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.asked.clear();
        report.messages.clear();
        c.read();
        std::vector<std::string> told = dialogs.Messages();
        for (const auto& m : report.messages) told.push_back(m.text);
        ASSERT_EQ(told.size(), 1u);
        EXPECT_NE(told[0].find("huge.txt"), std::string::npos) << told[0];
        EXPECT_NE(told[0].find(Cp("слишком велик для текста")), std::string::npos) << told[0];
    }
}

TEST_F(TextWindowTest, FontFromFontEditAndTheFontDialog) {
    struct Case {
        const char* text;
        ui::FontSpec font;
    };
    const Case cases[] = {
        {"204;255;Courier New;12;3", {204, 255, "Courier New", 12, 3}},
        {"204;0;Arial", {204, 0, "Arial", 8, 0}}, // a missing size gives 8
        {"204;0;Arial;0;0", {204, 0, "Arial", 8, 0}},
        {"204;0;Arial;x;1", {204, 0, "Arial", 8, 1}},
    };
    for (const auto& c : cases) {
        interp->FontEdit->SetText(c.text);
        interp->IntApplyFont();
        EXPECT_EQ(interp->Memo->MemoFont(), c.font) << c.text;
    }
    dialogs.fontAnswers.push_back({204, 0x000080, "DejaVu Serif", 11, ui::fsItalic});
    Cmd("Interp,NFont", "");
    EXPECT_EQ(interp->FontEdit->Text(), "204;128;DejaVu Serif;11;2");
    EXPECT_EQ(interp->Memo->MemoFont().name, "DejaVu Serif");
    // A cancelled dialog changes nothing.
    Cmd("Interp,NFont", "");
    EXPECT_EQ(interp->FontEdit->Text(), "204;128;DejaVu Serif;11;2");
}

TEST_F(TextWindowTest, SaveAsAsksForANameAndOnlyYesOverwrites) {
    Cmd("Interp,Nnatal", "");
    // "Save" of a report without a name asks for one, starting in "Wrk\".
    const fs::path file = dir / "Wrk" / "report.rtf";
    dialogs.fileAnswers.push_back(file);
    Cmd("Interp,SaveFile", "");
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(TempDir::Read(file).rfind("{\\rtf1\\ansi\\ansicpg1251", 0), 0u);
    EXPECT_EQ(interp->Caption(), Cp("Текст - ") + file.string());
    EXPECT_EQ(interp->FileName, file.string());
    const std::string saved = TempDir::Read(file);

    // Saving as an existing file asks message 69; No and Cancel leave it byte for byte.
    Cmd("Interp,Memo", "other text");
    for (ui::MsgResult answer : {ui::MsgResult::No, ui::MsgResult::Cancel}) {
        dialogs.fileAnswers.push_back(file);
        dialogs.messageAnswers.push_back(answer);
        Cmd("Interp,SaveFileAs", "");
        EXPECT_EQ(dialogs.asked.back().text, GetMsgText(S(), 69, file.string()));
        EXPECT_EQ(TempDir::Read(file), saved);
    }
    dialogs.fileAnswers.push_back(file);
    dialogs.messageAnswers.push_back(ui::MsgResult::Yes);
    Cmd("Interp,SaveFileAs", "");
    EXPECT_NE(TempDir::Read(file), saved);
    EXPECT_FALSE(fs::exists(dir / "Wrk" / "report.rtf.tmp"));
    // "Save" with a name saves without asking.
    const std::size_t asked = dialogs.asked.size();
    Cmd("Interp,Memo", "third");
    Cmd("Interp,SaveFile", "");
    EXPECT_EQ(dialogs.asked.size(), asked);

    // Read it back; a plain code page 1251 file reads as text, one line a paragraph.
    Cmd("Interp,DelAll", "");
    EXPECT_EQ(interp->Caption(), Cp("Текст - noname"));
    dialogs.fileAnswers.push_back(file);
    Cmd("Interp,ReadFile", "");
    EXPECT_EQ(interp->Memo->Lines(), (std::vector<std::string>{"third"}));
    EXPECT_EQ(interp->Caption(), Cp("Текст - ") + file.string());
    const fs::path plain = dir.Write("Wrk/plain.txt", Cp("строка\r\nдругая\nя"));
    dialogs.fileAnswers.push_back(plain);
    Cmd("Interp,ReadFile", "");
    EXPECT_EQ(interp->Memo->Lines(),
              (std::vector<std::string>{Cp("строка"), Cp("другая"), Cp("я")}));
    // Copying all forgets the name too.
    Cmd("Interp,CopyAll", "");
    EXPECT_EQ(interp->Caption(), Cp("Текст - noname"));
}

TEST_F(TextWindowTest, AFailedSaveIsToldAndLeavesTheOldFile) {
    const fs::path file = dir.Write("Wrk/kept.rtf", "old");
    interp->IntSetCaption(file.string());
    fs::create_directory(dir / "Wrk" / "kept.rtf.tmp"); // the temporary name is taken
    Cmd("Interp,SaveFile", "");
    EXPECT_EQ(TempDir::Read(file), "old");
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_NE(report.messages[0].text.find(file.string()), std::string::npos);
    // "Wrk" that cannot be a folder: message 70, no dialog.
    fs::remove_all(dir / "Wrk");
    dir.Write("Wrk", "a file");
    const std::size_t asked = dialogs.asked.size();
    Cmd("Interp,SaveFileAs", "");
    ASSERT_EQ(dialogs.asked.size(), asked + 1);
    EXPECT_EQ(dialogs.asked.back().text, GetMsgText(S(), 70, (dir / "Wrk").string()));
}

TEST_F(TextWindowTest, ExportedTableWithoutWrapThenAReportWithIt) {
    dir.Write("Wrk/Pars.txt", "Value; Name\r\n 1; Fortune\r\n");
    interp->hide();
    P().Hooks.InterpShowFile("Wrk\\Pars.txt");
    EXPECT_TRUE(interp->isVisible());
    EXPECT_EQ(interp->Memo->Lines(), (std::vector<std::string>{"Value; Name", " 1; Fortune"}));
    EXPECT_FALSE(interp->Memo->WordWrap());
    EXPECT_EQ(interp->Memo->document()->firstBlock().blockFormat().leftMargin(), 0);
    EXPECT_EQ(interp->Memo->document()->firstBlock().blockFormat().textIndent(), 0);
    EXPECT_EQ(interp->Caption(), Cp("Текст - Wrk\\Pars.txt"));
    Cmd("Interp,Nnatal", "");
    EXPECT_TRUE(interp->Memo->WordWrap());
    EXPECT_EQ(interp->Memo->document()->firstBlock().blockFormat().leftMargin(), 50);
}

TEST_F(TextWindowTest, ParagraphDialogActsOnTheMemoAndTheNextReports) {
    Cmd("Interp,Nnatal", "");
    auto* par = ui::Screen().Ensure<shell::TParagr>("Paragr");
    ASSERT_TRUE(par);
    par->Dpi = 96;
    par->WrapBox->SetChecked(true);
    par->LeftSpin->SetValue(10);
    par->RightSpin->SetValue(5);
    par->FirstSpin->SetValue(0);
    par->Button1->Click();
    const int left = shell::MillimetresToPixels(10, 96);
    EXPECT_EQ(interp->Memo->document()->lastBlock().blockFormat().leftMargin(), left);
    Cmd("Interp,Nnatal", "");
    Cmd("Interp,Memo", "new");
    EXPECT_EQ(interp->Memo->document()->firstBlock().blockFormat().leftMargin(), left);
    EXPECT_EQ(interp->Memo->document()->firstBlock().blockFormat().textIndent(), 0);
}

TEST_F(TextWindowTest, PrintedToPdfOnPortraitPagesTitledWithTheFileName) {
    if (test::Shell("command -v pdftotext pdfinfo").empty()) GTEST_SKIP() << "poppler-utils missing";
    std::vector<std::string> lines;
    for (int i = 1; i <= 150; ++i) lines.push_back(Cp("Строка отчёта номер ") + std::to_string(i));
    interp->Memo->SetLines(lines);
    interp->IntSetCaption((dir / "Wrk" / "natal.rtf").string());
    const fs::path pdf = dir / "Wrk" / "natal.pdf";
    dialogs.messageAnswers.push_back(ui::MsgResult::Yes); // a PDF file, not a printer
    dialogs.fileAnswers.push_back(pdf);
    Cmd("Interp,PrintOut", "");
    ASSERT_TRUE(fs::exists(pdf));
    EXPECT_FALSE(fs::exists(dir / "Wrk" / "natal.pdf.tmp"));
    const std::string info = test::Shell("pdfinfo '" + pdf.string() + "'");
    EXPECT_TRUE(std::regex_search(info, std::regex("Title: +natal\\.rtf\n"))) << info;
    const std::string text = test::Shell("pdftotext -layout '" + pdf.string() + "' -");
    for (int i : {1, 75, 150})
        EXPECT_NE(text.find("Строка отчёта номер " + std::to_string(i) + "\n"), std::string::npos)
            << i;
    // Several pages, each taller than wide.
    int pages = 0;
    std::sscanf(info.c_str() + info.find("Pages:") + 6, "%d", &pages);
    EXPECT_GT(pages, 1);
    double w = 0, h = 0;
    std::sscanf(info.c_str() + info.find("Page size:") + 10, "%lf x %lf", &w, &h);
    EXPECT_LT(w, h);
}

TEST_F(TextWindowTest, DateListFromTheChartComment) {
    S().DatRec1[9] = "[7 01.01.2000]";
    int key = 'Z';
    interp->OnKeyDown(key, ui::ssAlt);
    EXPECT_EQ(interp->Memo->Lines(),
              (std::vector<std::string>{"08.01.2000", "15.01.2000", "22.01.2000", "29.01.2000",
                                        "05.02.2000", "12.02.2000", "19.02.2000", "26.02.2000",
                                        "04.03.2000", "11.03.2000", "18.03.2000", "25.03.2000"}));
    // No list in the comment: a message quoting it, the memo as it was.
    S().DatRec1[9] = "born at home";
    key = 'Z';
    interp->OnKeyDown(key, ui::ssAlt);
    EXPECT_EQ(interp->Memo->Lines().size(), 12u);
    ASSERT_FALSE(dialogs.asked.empty());
    EXPECT_EQ(dialogs.asked.back().text.rfind("\"born at home\"", 0), 0u);
}

TEST(DateList, FormsOfTheComment) {
    struct Case {
        const char* comment;
        const char* first; // nullptr: no list
        const char* last;
    };
    const Case cases[] = {
        {"[7 01.01.2000]", "08.01.2000", "25.03.2000"},
        {"note [1 28.02.2000] more", "29.02.2000", "11.03.2000"},
        {"[1,5 01.01.2000]", "02.01.2000", "19.01.2000"},
        {"[30 15.10.1582]", "14.11.1582", "10.10.1583"},
        {"[0,5 01.01.2000]", nullptr, nullptr}, // a step under one day
        {"[0 01.01.2000]", nullptr, nullptr},
        {"[-7 01.01.2000]", nullptr, nullptr},
        {"[x 01.01.2000]", nullptr, nullptr},
        {"[7 31.02.2000]", nullptr, nullptr}, // no such day
        {"[7 29.02.2001]", nullptr, nullptr},
        {"[7 10.10.1582]", nullptr, nullptr}, // in the calendar's gap
        {"[7 01.13.2000]", nullptr, nullptr},
        {"[7 00.01.2000]", nullptr, nullptr},
        {"[7 1.1.2000]", nullptr, nullptr}, // not ten characters
        {"[7 01.01.20000]", nullptr, nullptr},
        {"[7 01/01/2000]", nullptr, nullptr},
        {"[7 01.01.2000", nullptr, nullptr},
        {"[701.01.2000]", nullptr, nullptr},
        {"", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        const auto list = DateListOf(c.comment);
        if (!c.first) {
            EXPECT_FALSE(list) << c.comment;
            continue;
        }
        ASSERT_TRUE(list) << c.comment;
        ASSERT_EQ(list->size(), 12u);
        EXPECT_EQ(list->front(), c.first) << c.comment;
        EXPECT_EQ(list->back(), c.last) << c.comment;
    }
}

TEST_F(TextWindowTest, ClosingForgetsThePointAndDeletesTheWorkFile) {
    Cmd("Interp,Nnatal", "");
    ASSERT_TRUE(fs::exists(dir / "text.tmp"));
    P().Flags.InterpPoint = 5;
    intSet->show();
    Cmd("Interp,NExit", "");
    EXPECT_FALSE(interp->isVisible());
    EXPECT_EQ(P().Flags.InterpPoint, 0);
    EXPECT_FALSE(fs::exists(dir / "text.tmp"));
    EXPECT_FALSE(intSet->isVisible());
}

TEST_F(TextWindowTest, EnglishCaptionsAndBases) {
    Make(true);
    EXPECT_EQ(interp->Caption(), "Text - noname");
    EXPECT_EQ(interp->Nnatal->Caption(), "Natal chart");
    interp->RefreshBaseSettings();
    EXPECT_EQ(interp->Writer().Settings[BaseId::Sign].file, "Txt\\Verlin\\sign-e.txt");
    EXPECT_EQ(interp->Writer().Settings[BaseId::Rgradus].file, "Txt\\Gradus\\GOstrel-e.txt");
    EXPECT_EQ(interp->Writer().Settings[BaseId::Stars].file, "Txt\\stars-e.txt");
}

} // namespace
} // namespace qor::interp
