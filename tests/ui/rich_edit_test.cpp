// The rich-text memo: its plain text as the command paths and the state files see it, and its
// RTF files, checked against unrtf (an independent reader) and read back by our own reader.
#include "ui/RichEdit.h"

#include "core/Text.h"
#include "support/QtApp.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"
#include "ui/Forms.h"
#include "ui/Rtf.h"
#include "ui/UICommands.h"
#include "ui/WindowState.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace qor::ui {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// The text unrtf reads from an RTF file. Its text output knows no code pages, so it is told to
// write every character beyond ASCII as "&#N;", which is decoded here.
QString UnrtfText(const std::string& rtf) {
    TempDir d;
    const fs::path conf = d / "conf";
    fs::create_directories(conf);
    fs::copy_file("/usr/share/unrtf/text.conf", conf / "text.conf");
    {
        std::FILE* f = std::fopen((conf / "text.conf").c_str(), "a");
        std::fputs("unisymbol_print\n\t&#%;\nutf8_encoding\n\t\n", f);
        std::fclose(f);
    }
    const auto file = d.Write("t.rtf", rtf);
    const std::string cmd = "unrtf -P '" + conf.string() + "' --text '" + file.string() + "'";
    std::FILE* p = ::popen(cmd.c_str(), "r");
    std::string out;
    char buf[4096];
    std::size_t n;
    while (p && (n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    EXPECT_TRUE(p && ::pclose(p) == 0) << cmd;
    // the body follows the line of dashes that ends unrtf's header
    const std::string mark = "-----------------\n";
    const std::size_t at = out.find(mark);
    EXPECT_NE(at, std::string::npos) << out;
    const std::string body = at == std::string::npos ? out : out.substr(at + mark.size());
    QString text;
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (body.compare(i, 2, "&#") == 0) {
            const std::size_t semi = body.find(';', i);
            const char32_t u = static_cast<char32_t>(std::stoul(body.substr(i + 2, semi - i - 2)));
            text += QString::fromUcs4(&u, 1);
            i = semi;
        } else {
            text += QChar(static_cast<unsigned char>(body[i]));
        }
    }
    return text;
}

class RichEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtApp();
        form = std::make_unique<TForm>("RichForm");
        form->SetBounds(10, 10, 500, 400);
        memo = form->Add<TRichEdit>("Memo", {0, 0, 480, 380});
    }
    std::unique_ptr<TForm> form;
    TRichEdit* memo = nullptr;
};

TEST_F(RichEditTest, PlainTextThroughTheCommandPathsAndStateFiles) {
    AstroDat s;
    test::RecordingReport report;
    s.Report = &report;
    UICommands cmd(s);
    form->show();
    int changes = 0;
    memo->OnChange = [&] { ++changes; };
    cmd.RunUICommand("RichForm,Memo", Cp("первая\r\nвторая"));
    EXPECT_EQ(memo->Lines(), (std::vector<std::string>{Cp("первая"), Cp("вторая")}));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(cmd.QueryUIValue("RichForm,Memo", ""), Cp("первая\r\nвторая"));
    EXPECT_EQ(ComponentText(*form->FindComponent("Memo")), Cp("первая\r\nвторая"));
    // A plain memo's lookup does not take the rich one for a plain one.
    EXPECT_EQ(form->Find<TMemo>("Memo"), nullptr);
    EXPECT_EQ(form->Find<TRichEdit>("Memo"), memo);

    // The state files keep its lines like a plain memo's.
    std::vector<std::string> lines;
    WindowStateFiles::EncodeComponentState("RichForm", *form->FindComponent("Memo"), lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"RichForm,Memo,", Cp("первая"), Cp("вторая"),
                                               "//"}));
    memo->Clear();
    WindowStateFiles files(s);
    files.FormIniList = lines;
    files.ApplyFormSettings(*form);
    EXPECT_EQ(memo->Text(), Cp("первая\r\nвторая"));
    // A tag in the low bits keeps a memo out of the state files, as for a plain one.
    SetTag(memo, 1);
    WindowStateFiles::EncodeComponentState("RichForm", *form->FindComponent("Memo"), lines);
    EXPECT_TRUE(lines.empty());
}

TEST_F(RichEditTest, SavedTextReadsTheSameInUnrtf) {
    memo->SetLines({Cp("Солнце в Овне: «огонь» — начало"), "", "Text with {braces} and \\ end",
                    "last"});
    // Characters the code page lacks go out as \uN.
    QTextCursor c(memo->document());
    c.movePosition(QTextCursor::End);
    c.insertText(QString::fromUtf8(" \u2713 \u20AC \u263F"));
    const std::string rtf = memo->ToRtf();
    EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg1251", 0), 0u);
    EXPECT_NE(rtf.find("\\u10003?"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\'88"), std::string::npos) << rtf; // € is in the code page
    // unrtf ends every paragraph with a line end
    EXPECT_EQ(UnrtfText(rtf).toStdString(), (memo->toPlainText() + "\n").toStdString());
}

TEST_F(RichEditTest, SaveAndReadKeepTextFontStylesAndIndents) {
    const FontSpec font{204, 0x0000C0, "DejaVu Sans", 11, fsBold | fsItalic};
    memo->SetMemoFont(font);
    memo->SetDefaultParagraph({50, 20, 20}, false);
    memo->SetLines({Cp("Первый абзац"), Cp("Второй абзац с выделенным словом"), ""});
    // One word underlined in another font and size; the second paragraph's indents changed.
    QTextCursor c(memo->document()->findBlockByNumber(1));
    c.movePosition(QTextCursor::EndOfBlock);
    c.movePosition(QTextCursor::StartOfWord, QTextCursor::KeepAnchor);
    QTextCharFormat special;
    special.setFontFamilies({"DejaVu Serif"});
    special.setFontPointSize(14);
    special.setFontUnderline(true);
    special.setFontItalic(false);
    special.setForeground(QColor(0, 128, 0));
    c.mergeCharFormat(special);
    QTextBlockFormat bf = c.blockFormat();
    bf.setLeftMargin(10);
    bf.setTextIndent(-5);
    c.setBlockFormat(bf);

    const std::string rtf = memo->ToRtf();
    TRichEdit* other = form->Add<TRichEdit>("Other", {0, 0, 10, 10});
    ASSERT_TRUE(other->LoadRtf(rtf));
    EXPECT_EQ(other->Lines(), memo->Lines());
    EXPECT_FALSE(other->Modified());
    QTextBlock a = memo->document()->begin(), b = other->document()->begin();
    for (; a.isValid() && b.isValid(); a = a.next(), b = b.next()) {
        SCOPED_TRACE(a.text().toStdString());
        EXPECT_EQ(a.blockFormat().leftMargin(), b.blockFormat().leftMargin());
        EXPECT_EQ(a.blockFormat().rightMargin(), b.blockFormat().rightMargin());
        EXPECT_EQ(a.blockFormat().textIndent(), b.blockFormat().textIndent());
        auto fa = a.begin(), fb = b.begin();
        for (; !fa.atEnd() && !fb.atEnd(); ++fa, ++fb) {
            const QTextCharFormat x = fa.fragment().charFormat(), y = fb.fragment().charFormat();
            EXPECT_EQ(fa.fragment().text(), fb.fragment().text());
            EXPECT_EQ(x.font().family(), y.font().family());
            EXPECT_EQ(x.fontPointSize(), y.fontPointSize());
            EXPECT_EQ(x.font().bold(), y.font().bold());
            EXPECT_EQ(x.fontItalic(), y.fontItalic());
            EXPECT_EQ(x.fontUnderline(), y.fontUnderline());
            EXPECT_EQ(x.foreground().color(), y.foreground().color());
        }
        EXPECT_TRUE(fa.atEnd() && fb.atEnd());
    }
    EXPECT_FALSE(a.isValid() || b.isValid());
    EXPECT_EQ(memo->document()->findBlockByNumber(0).blockFormat().leftMargin(), 50);
    EXPECT_EQ(other->document()->findBlockByNumber(1).blockFormat().textIndent(), -5);
}

TEST(RtfReader, ForeignFilesAndWhatTheyCarry) {
    test::QtApp();
    struct Case {
        const char* name;
        std::string rtf;
        QString text;
    };
    const Case cases[] = {
        {"destinations skipped",
         "{\\rtf1\\ansi{\\fonttbl{\\f0\\froman Times;}}{\\*\\generator Some Writer;}"
         "{\\info{\\title T}{\\author A}}{\\stylesheet{\\s0 Normal;}}"
         "{\\header head}\\pard one{\\*\\unknown skip}\\par two}",
         "one\ntwo"},
        {"code page 1251 of \\ansicpg and of the font's character set",
         "{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}", QString::fromUtf8("Привет")},
        {"a font of character set 204 in a file of another code page",
         "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f1\\fcharset204 Arial;}}{\\f1 \\'e4\\'e0}}",
         QString::fromUtf8("да")},
        {"Latin in code page 1252", "{\\rtf1\\ansi caf\\'e9}", QString::fromUtf8("café")},
        {"\\uN with its stand-ins", "{\\rtf1 a\\u10003?b{\\uc2\\u-3913xy}c\\u8364\\'80d}",
         QString::fromUtf8("a\u2713b\uF0B7c\u20ACd")},
        {"surrogate pairs", "{\\rtf1 \\u-10180?\\u-8438?}", QString::fromUtf8("\U0001F30A")},
        {"escapes, tabs and line breaks",
         "{\\rtf1 \\{a\\}\\\\\\tab b\\line c\\~d\\emdash e}",
         QString::fromUtf8("{a}\\\tb\u2028c\u00A0d\u2014e")},
        {"a paragraph mark by backslash and line end", "{\\rtf1 a\\\nb}", "a\nb"},
        {"\\bin data skipped", "{\\rtf1 a{\\pict\\bin3 }}}}b}", "ab"},
        {"a last \\par ends the paragraph before it", "{\\rtf1 a\\par b\\par}", "a\nb"},
        {"an empty paragraph between", "{\\rtf1 a\\par\\par b}", "a\n\nb"},
        {"control characters carry no text",
         std::string("{\\rtf1 a\x01\0b\\'00c\\u1?d\te\\'09f}", 29), "abcd\te\tf"},
    };
    for (const auto& c : cases) {
        QTextDocument doc;
        ASSERT_TRUE(RtfToDocument(c.rtf, doc)) << c.name;
        EXPECT_EQ(doc.toRawText().replace(QChar(0x2029), '\n'), c.text) << c.name;
    }
    QTextDocument doc;
    doc.setPlainText("kept");
    EXPECT_FALSE(RtfToDocument("plain text", doc));
    EXPECT_FALSE(RtfToDocument("", doc));
    EXPECT_EQ(doc.toPlainText(), "kept");
}

TEST(RtfReader, GroupsKeepTheirPropertiesAndParagraphsTheirIndents) {
    test::QtApp();
    QTextDocument doc;
    ASSERT_TRUE(RtfToDocument("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
                              "{\\colortbl;\\red255\\green0\\blue0;}"
                              "\\pard\\li600\\ri300\\fi-150\\f0\\fs20 plain {\\b\\cf1\\f1 bold red}"
                              " back\\par\\pard next}",
                              doc));
    ASSERT_EQ(doc.blockCount(), 2);
    const QTextBlock first = doc.firstBlock();
    EXPECT_EQ(first.blockFormat().leftMargin(), 40);
    EXPECT_EQ(first.blockFormat().rightMargin(), 20);
    EXPECT_EQ(first.blockFormat().textIndent(), -10);
    EXPECT_EQ(doc.lastBlock().blockFormat().leftMargin(), 0);
    std::vector<std::pair<QString, QTextCharFormat>> runs;
    for (auto it = first.begin(); !it.atEnd(); ++it)
        runs.push_back({it.fragment().text(), it.fragment().charFormat()});
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].first, "plain ");
    EXPECT_EQ(runs[0].second.font().family(), "Arial");
    EXPECT_EQ(runs[0].second.fontPointSize(), 10);
    EXPECT_FALSE(runs[0].second.font().bold());
    EXPECT_EQ(runs[1].first, "bold red");
    EXPECT_TRUE(runs[1].second.font().bold());
    EXPECT_EQ(runs[1].second.font().family(), "Courier New");
    EXPECT_EQ(runs[1].second.foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(runs[2].first, " back");
    EXPECT_FALSE(runs[2].second.font().bold());
}

} // namespace
} // namespace qor::ui
