// The English lines of the birth-data and settings windows cover every Russian text of them,
// and name nothing they do not have.
#include "ChartWindowsFixture.h"

#include "core/Files.h"
#include "core/Text.h"
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
}

} // namespace
} // namespace qor::chart
