// The city size editor in the started program: what it opens for, the code it shows and
// writes (atomically: a folder that takes no file keeps the old code and says so).
#include "app/MainWindowFixture.h"
#include "core/Text.h"
#include "geo/Atlas.h"
#include "geo/CitySize.h"

namespace qor::geo {
namespace {

using namespace ui;
using shell::MainWindowTest;

class CitySizeTest : public MainWindowTest {
protected:
    qor::Atlas& A() { return program->Own<qor::Atlas>(); }
    TCitySiz* Editor() { return dynamic_cast<TCitySiz*>(Screen().FindForm("CitySiz")); }
    // The 1-based coordinate index of the first city of that name.
    int CityIndex(const std::string& name) {
        std::vector<CityNameRec> names;
        EXPECT_TRUE(LoadAllCityNames(program->s, A(), names));
        for (std::size_t i = 0; i < A().coords.size(); ++i)
            if (TrimRight(names[A().coords[i].nameIndex - 1u].Name()) == name)
                return static_cast<int>(i + 1);
        return 0;
    }
    uint16_t CodeOnFile(int city) {
        const std::string b = test::TempDir::Read(dir / "geocr.atl");
        const std::size_t at = 8 * static_cast<std::size_t>(city - 1) + 4;
        return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) |
                                     static_cast<unsigned char>(b[at + 1]) << 8);
    }
};

TEST_F(CitySizeTest, OpensOnlyForACityOfTheAtlas) {
    for (int index : {0, -1, static_cast<int>(A().coords.size()) + 1}) {
        EXPECT_FALSE(OpenCitySize(*program, A(), index)) << index;
        EXPECT_EQ(Editor(), nullptr);
    }
    EXPECT_TRUE(OpenCitySize(*program, A(), static_cast<int>(A().coords.size())));
    ASSERT_NE(Editor(), nullptr);
    EXPECT_TRUE(Editor()->isVisible());
}

TEST_F(CitySizeTest, ShowsTheCodeAndWritesWhatTheButtonsSet) {
    const int moscow = CityIndex("Москва"_cp);
    ASSERT_GT(moscow, 0);
    struct Case {
        uint16_t stored;
        const char* label; // as the editor opens
    };
    // A stored 0 counts as class 5; a side beyond 3 as 3.
    for (const Case& c : {Case{0, "05"}, Case{1, "01"}, Case{29, "29"}, Case{47, "37"}}) {
        A().coords[moscow - 1].mapCode = c.stored;
        ASSERT_TRUE(OpenCitySize(*program, A(), moscow));
        EXPECT_EQ(Editor()->Label1->Caption(), c.label);
        EXPECT_EQ(Editor()->Caption(), "Москва"_cp);
        Editor()->Close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // OK without a change writes the same code back.
    A().coords[moscow - 1].mapCode = CodeOnFile(moscow);
    const std::string before = test::TempDir::Read(dir / "geocr.atl");
    ASSERT_TRUE(OpenCitySize(*program, A(), moscow));
    program->Commands.RunUICommand("CitySiz,Button10", "");
    EXPECT_EQ(test::TempDir::Read(dir / "geocr.atl"), before);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Editor(), nullptr);

    // Side 2, class "||": code 22, in memory and on file.
    ASSERT_TRUE(OpenCitySize(*program, A(), moscow));
    for (const char* button : {"Button3", "Button6"})
        program->Commands.RunUICommand(std::string("CitySiz,") + button, "");
    EXPECT_EQ(Editor()->Label1->Caption(), "22");
    program->Commands.RunUICommand("CitySiz,Button9", "");
    EXPECT_EQ(Editor()->Label1->Caption(), "29");
    program->Commands.RunUICommand("CitySiz,Button6", "");
    program->Commands.RunUICommand("CitySiz,Button10", "");
    EXPECT_EQ(A().coords[moscow - 1].mapCode, 22);
    EXPECT_EQ(CodeOnFile(moscow), 22);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // A folder that takes no new file: the old file and code stay, and the user is told.
    const std::string saved = test::TempDir::Read(dir / "geocr.atl");
    fs::create_directory(dir / "geocr.atl.tmp");
    dialogs.asked.clear();
    ASSERT_TRUE(OpenCitySize(*program, A(), moscow));
    program->Commands.RunUICommand("CitySiz,Button5", "");
    program->Commands.RunUICommand("CitySiz,Button10", "");
    EXPECT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(test::TempDir::Read(dir / "geocr.atl"), saved);
    EXPECT_EQ(A().coords[moscow - 1].mapCode, 22);
}

} // namespace
} // namespace qor::geo
