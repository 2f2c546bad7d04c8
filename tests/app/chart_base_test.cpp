// The chart base in the running program: a chart typed into the birth-data window and kept in
// the base comes back whole after the program has been closed and started again.
#include "MainWindowFixture.h"

#include "chart/Base.h"
#include "core/ChartRecords.h"
#include "core/Text.h"

#include <QCoreApplication>

namespace qor::shell {
namespace {

TEST_F(MainWindowTest, AChartKeptInTheBaseComesBackAfterARestart) {
    const std::string deg(1, '\xB0');
    UICommands* c = &program->Commands;
    c->RunUICommand("DataForm,", "Show");
    const std::pair<const char*, std::string> fields[] = {
        {"NameEdit", Cp("Пётр Иванов")},     {"DateEdit", " 4.03.1975"},
        {"TimeEdit", "21:40:07"},            {"dTEdit", "+03:00"},
        {"LatEdit", "55" + deg + "45'N"},    {"LongEdit", " 37" + deg + "37'E"},
        {"CityEdit", Cp("Москва")},          {"CountryEdit", Cp("Россия")}};
    for (const auto& [edit, text] : fields) c->RunUICommand(std::string("DataForm,") + edit, text);
    c->RunUICommand("DataForm,SexGroup", "0");
    c->RunUICommand("DataForm,Memo", Cp("родился дома\r\nв полночь"));
    c->RunUICommand("DataForm,OKBtn", "");
    const DatRec typed = program->s.DatRec1;
    const auto longitudes = program->s.PlanetLon;
    ASSERT_EQ(typed[kRecName], Cp("Пётр Иванов"));

    c->RunUICommand("DataForm,BaseBtn", "");
    ASSERT_NE(Screen().FindForm("Base"), nullptr);
    c->RunUICommand("Base,AddRecord", "");
    c->RunUICommand("Base,", "Close");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    Stop();
    Start();
    c = &program->Commands; // the new run's
    program->s.DatRec1 = DatRec{}; // whatever the start made, the record must bring it back
    auto* base = Screen().Ensure<chart::TBase>("Base");
    ASSERT_NE(base, nullptr);
    base->show();
    EXPECT_EQ(c->QueryUIValue("Base,StringGrid", "RowCount"), "2");
    c->RunUICommand("Base,StringGrid", "Row 1");
    c->RunUICommand("Base,GetData", "");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(program->s.DatRec1, typed);
    for (int i = 0; i <= 38; ++i) EXPECT_EQ(program->s.PlanetLon[i], longitudes[i]) << "point " << i;
}

} // namespace
} // namespace qor::shell
