// The English lines of the birth-data and settings windows cover every Russian text of them,
// and name nothing they do not have.
#include "ChartWindowsFixture.h"

#include "core/Files.h"
#include "core/Text.h"
#include "core/Chart.h"
#include "core/Houses.h"
#include "ui/EnglishTexts.h"

namespace qor::chart {
namespace {

TEST_F(ChartWindowsTest, EnglishLinesCoverBothWindows) {
    std::vector<std::string> lines;
    ASSERT_TRUE(
        ReadTextLines(std::filesystem::path(QOR_SOURCE_DIR) / "data" / "English.txt", lines).ok());
    const std::vector<std::string> problems =
        ui::EnglishCoverageProblems({data, kart}, lines, true);
    for (const std::string& problem : problems) ADD_FAILURE() << Cp1251ToUtf8(problem);
}

TEST_F(ChartWindowsTest, EnglishModeShowsEnglishTexts) {
    std::filesystem::copy_file(std::filesystem::path(QOR_SOURCE_DIR) / "data" / "English.txt",
                               dir / "English.txt");
    p->s.EnglishMode = true;
    p->English.ApplyEnglishToForm("DataForm");
    p->English.ApplyEnglishToForm("KartForm");
    EXPECT_EQ(data->OKBtn->Caption(), "&Apply");
    EXPECT_EQ(data->ComboBox->Items()[9], "Solar return");
    EXPECT_EQ(kart->HouseComboBox->Items()[1], "Placidus");
    EXPECT_EQ(kart->Caption(), "Natal chart setup");
    // Every item of the house box is a system in either language: the computation takes the
    // item's number (not its name), and the wheel's name of it is the core's, the same words.
    for (int item = 0; item < kart->HouseComboBox->count(); ++item) {
        kart->HouseComboBox->SetItemIndex(item);
        p->ReadOptions();
        EXPECT_EQ(p->ChartOpt.HouseSystem, item + 1);
        p->s.StatusText.clear();
        p->s.HouseSystem = ChartHouseSystem(p->s, p->ChartOpt);
        EXPECT_EQ(p->s.HouseSystem, item + 1);
        EXPECT_TRUE(p->s.StatusText.empty()) << p->s.StatusText;
        EXPECT_EQ(HouseSystemName(item + 1, true), kart->HouseComboBox->Items()[item]);
    }
}

} // namespace
} // namespace qor::chart
