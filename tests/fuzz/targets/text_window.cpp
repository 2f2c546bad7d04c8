// The text window's files: the work file text.tmp shown line by line, and a saved text opened
// again (RTF through the window's own reader, anything else as lines). What the reader made
// is written as RTF and read back: the same lines must come out.
#include "FuzzTarget.h"

#include "core/Files.h"
#include "ui/RichEdit.h"

#include "support/QtApp.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace qor::fuzz {
namespace {

ui::TRichEdit& Memo() {
    static auto* memo = [] {
        test::QtApp();
        return new ui::TRichEdit;
    }();
    return *memo;
}

void Run(std::string_view bytes) {
    ui::TRichEdit& memo = Memo();
    Put("text.tmp", bytes);
    std::vector<std::string> lines;
    if (ReadTextLines(Folder() / "text.tmp", lines).ok()) memo.SetLines(lines);
    if (!memo.LoadRtf(bytes)) return;
    const std::vector<std::string> read = memo.Lines();
    const std::string rtf = memo.ToRtf();
    if (!memo.LoadRtf(rtf)) {
        std::fprintf(stderr, "text_window: the written text is not read as RTF\n");
        std::abort();
    }
    const std::vector<std::string> again = memo.Lines();
    if (again != read) {
        std::fprintf(stderr, "text_window: %zu lines read, %zu after writing and reading back\n",
                     read.size(), again.size());
        for (std::size_t i = 0; i < std::min(read.size(), again.size()); ++i)
            if (read[i] != again[i]) {
                std::fprintf(stderr, "line %zu: [%s] became [%s]\n", i + 1, read[i].c_str(),
                             again[i].c_str());
                break;
            }
        std::abort();
    }
}

std::vector<std::string> Seeds() {
    std::vector<std::string> seeds = {
        "{\\rtf1\\ansi{\\fonttbl{\\f0\\froman Times;}}{\\*\\generator Some Writer;}"
        "{\\f0\\fs24 plain \\b bold\\b0  \\i italic\\i0\\par}}",
        "{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}",
        "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f1\\fcharset204 Arial;}}{\\f1 \\'e4\\'e0}}",
        "{\\rtf1 a\\u10003?b{\\uc2\\u-3913xy}c\\u8364\\'80d}",
        "{\\rtf1 \\u-10180?\\u-8438?}",
        "{\\rtf1 \\{a\\}\\\\\\tab b\\line c\\~d\\emdash e}",
        "{\\rtf1 a{\\pict\\bin3 }}}}b}",
        "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\li300\\ri150\\fi-150 \\cf1\\ul\\strike a"
        "\\par\\pard b\\par\\par c}",
    };
    for (auto& text : SourceFiles("tests/fixtures/texts", ".txt", 2)) seeds.push_back(text.substr(0, 8000));
    // What the window's writer makes of a formatted text.
    ui::TRichEdit& memo = Memo();
    memo.SetLines({"Sun in Aries", "", "\xD1\xEE\xEB\xED\xF6\xE5 \xE2 \xCE\xE2\xED\xE5"});
    seeds.push_back(memo.ToRtf());
    return seeds;
}

} // namespace
QOR_FUZZ_TARGET(text_window, Run, Seeds, "rtf.dict")
} // namespace qor::fuzz
