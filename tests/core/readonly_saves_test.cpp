// The core's savers on a file the user made read-only: the save is refused with "... is
// read-only", and the file stays as it was.
#include "core/Aspects.h"
#include "core/AstroDat.h"
#include "core/Parses.h"
#include "core/SymbolFont.h"
#include "core/Text.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>

namespace qor {
namespace {

TEST(ReadOnlySaves, RefusedWithAMessageAndTheFileKept) {
    struct Case {
        const char* file;    // below the program folder
        const char* shownAs; // as the message names it
        std::function<bool(AstroDat&)> save;
    };
    const std::vector<Case> cases = {
        {"font16.fnt", "font16.fnt", [](AstroDat& s) { return SaveSymbolFont(s, Font16Glyphs{}); }},
        {"Parses/Mine.prs", "Parses\\Mine.prs",
         [](AstroDat& s) {
             return !IOCheck(s, WriteParsPage(s, "Mine", {"a;b;Sun"}), ParsPageFile(s, "Mine"));
         }},
        // An aspect page in the old layout is rewritten on loading: not when it is read-only.
        {"Aspects/Old.asp", "Aspects\\Old.asp",
         [](AstroDat& s) {
             AspDefTable t;
             std::vector<std::string> lines;
             return LoadAspectPage(s, "Old", t, lines);
         }},
    };
    const std::string old =
        test::TempDir::Read(fs::path(QOR_FIXTURES_DIR) / "aspects" / "OldLayout.asp");
    for (const Case& c : cases) {
        test::TempDir dir;
        const fs::path file = dir.Write(c.file, old);
        fs::permissions(file,
                        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        test::RecordingReport report;
        AstroDat s;
        s.EnglishMode = true;
        s.ProgramFolder = dir.path();
        s.Report = &report;
        EXPECT_FALSE(c.save(s)) << c.file;
        ASSERT_EQ(report.messages.size(), 1u) << c.file;
        EXPECT_EQ(report.messages[0].text, std::string(c.shownAs) + " is read-only");
        EXPECT_EQ(test::TempDir::Read(file), old) << c.file;
        EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    }
}

} // namespace
} // namespace qor
