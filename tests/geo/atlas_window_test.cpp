// The atlas window in the started program, driven through the command paths as the command
// link drives it: a place taken into the birth data or the own place equals what an
// independent reader of the atlas files gives (tests/geo/atlas_oracle.py, Python's zoneinfo
// for dT), the English edition's country filter, the text form through the pop-up menu, and
// the buttons each opener leaves.
#include "app/MainWindowFixture.h"
#include "core/Formats.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "geo/AtlasWindow.h"
#include "geo/QorLoc.h"
#include "geo/ZoneWindow.h"
#include "ui/EnglishTexts.h"

#include <QDate>

#include <cstdio>
#include <sstream>

namespace qor::geo {
namespace {

using namespace ui;
using shell::MainWindowTest;

// The oracle's line for the first record beginning with `prefix`, converted to code page
// 1251 and split at ";": city, country, latitude, longitude, dT, IANA zone.
std::vector<std::string> Oracle(const fs::path& data, bool english, const std::string& prefix,
                                const std::string& filter, const std::string& when) {
    const std::string cmd = "/usr/bin/python3 '" QOR_SOURCE_DIR "/tests/geo/atlas_oracle.py' '" +
                            data.string() + "' " + (english ? "e" : "r") + " '" +
                            Cp1251ToUtf8(prefix) + "' " + filter + " " + when;
    std::string out;
    if (FILE* f = popen(cmd.c_str(), "r")) {
        char buf[512];
        while (fgets(buf, sizeof buf, f)) out += buf;
        pclose(f);
    }
    std::string line;
    EXPECT_TRUE(Utf8ToCp1251(TrimRight(out), line)) << out;
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string field; std::getline(in, field, ';');) fields.push_back(field);
    EXPECT_EQ(fields.size(), 6u) << "oracle: " << out;
    fields.resize(6);
    return fields;
}

// "dd.mm.yyyy" + "T" form of a date for the oracle.
std::string IsoDate(const std::string& date, const std::string& time) {
    return date.substr(6, 4) + "-" + date.substr(3, 2) + "-" + date.substr(0, 2) + "T" +
           time.substr(0, 5);
}

class AtlasWindowTest : public MainWindowTest {
protected:
    void Run(const std::string& target, const std::string& command) {
        program->Commands.RunUICommand(target, command);
    }
    TCities* Atlas() { return dynamic_cast<TCities*>(Screen().FindForm("Cities")); }
    std::string DataField(const char* name) { return program->Text("DataForm", name); }
    std::string HomeField(const char* name) { return program->Text("QorLoc", name); }
    void OpenBirthData(const std::string& date, const std::string& time) {
        ASSERT_NE(form1->OpenToolWindow("DataForm"), nullptr);
        Run("DataForm,DateEdit", date);
        Run("DataForm,TimeEdit", time);
    }
};

TEST_F(AtlasWindowTest, ATakeIntoTheBirthDataIsTheRecordAndItsZoneAtTheBirthMoment) {
    struct Case {
        const char* prefix;
        const char* date;
        const char* zone;
        const char* dT; // what zoneinfo gives; the oracle recomputes it
    };
    const Case cases[] = {{"Мурманск", "15.07.1990", "Europe/Moscow", "+04:00"},
                          {"Нью-Йорк", "15.07.2020", "America/New_York", "-04:00"},
                          {"Колката", "15.01.2020", "Asia/Kolkata", "+05:30"},
                          {"Сидней", "15.01.2021", "Australia/Sydney", "+11:00"}};
    dialogs.asked.clear(); // the start-up's note on the window layout
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zone);
        OpenBirthData(c.date, "12:00:00");
        Run("DataForm,AtlasBtn", "");
        TCities* atlas = Atlas();
        ASSERT_NE(atlas, nullptr);
        ASSERT_TRUE(atlas->isVisible());
        EXPECT_TRUE(atlas->GetBtn->isEnabled());
        Run("Cities,CityEdit", Cp(c.prefix));
        EXPECT_EQ(atlas->CellText(1, atlas->DrawGrid->Row()).substr(0, Cp(c.prefix).size()),
                  Cp(c.prefix));
        Run("Cities,DrawGrid", "KeyDown,13"); // Enter takes the place
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(Atlas(), nullptr); // the atlas closed and was released

        const auto o = Oracle(dir.path(), false, Cp(c.prefix), "ALL", IsoDate(c.date, "12:00"));
        EXPECT_EQ(o[5], c.zone);
        EXPECT_EQ(o[4], c.dT);
        EXPECT_EQ(DataField("CityEdit"), o[0]);
        EXPECT_EQ(DataField("CountryEdit"), o[1]);
        EXPECT_EQ(DataField("LatEdit"), o[2]);
        EXPECT_EQ(DataField("LongEdit"), o[3]);
        EXPECT_EQ(DataField("dTEdit"), o[4]);
    }
    for (const auto& a : dialogs.asked) ADD_FAILURE() << Cp1251ToUtf8(a.text);
}

TEST_F(AtlasWindowTest, ATakeIntoTheOwnPlaceCarriesTodaysZoneNotTheBirthDataDate) {
    // The birth data shows a date half a year away, so that summer time differs from today's.
    const QDate away = QDate::currentDate().addMonths(6);
    OpenBirthData(IntToStrZ(away.day(), 2) + "." + IntToStrZ(away.month(), 2) + "." +
                      std::to_string(away.year()),
                  "12:00:00");
    const std::string birthCity = DataField("CityEdit");
    ASSERT_NE(form1->OpenToolWindow("QorLoc"), nullptr);
    for (const char* prefix : {"Нью-Йорк", "Сидней", "Колката"}) {
        SCOPED_TRACE(prefix);
        Run("QorLoc,Button1", "");
        TCities* atlas = Atlas();
        ASSERT_NE(atlas, nullptr);
        EXPECT_TRUE(atlas->GetBtn->isEnabled());
        Run("Cities,CityEdit", Cp(prefix));
        Run("Cities,GetBtn", "");
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const auto o = Oracle(dir.path(), false, Cp(prefix), "ALL", "now");
        EXPECT_EQ(HomeField("astCity"), o[0]);
        EXPECT_EQ(HomeField("astCountry"), o[1]);
        EXPECT_EQ(HomeField("astLat"), o[2]);
        EXPECT_EQ(HomeField("astLong"), o[3]);
        EXPECT_EQ(HomeField("astdT"), o[4]);
    }
    // The birth data kept its own place.
    EXPECT_EQ(DataField("CityEdit"), birthCity);
}

TEST_F(AtlasWindowTest, EachOpenerLeavesItsButtonsAndATakeNeedsAWindowToTakeIt) {
    // The main menu's atlas shows places on the map; it takes none.
    ASSERT_TRUE(form1->RunItem("AtlasMenu"));
    TCities* atlas = Atlas();
    ASSERT_NE(atlas, nullptr);
    EXPECT_FALSE(atlas->GetBtn->isEnabled());
    EXPECT_TRUE(atlas->MapBtn->isEnabled());
    EXPECT_EQ(atlas->Caption(), "Атлас - 24361"_cp);
    EXPECT_EQ(atlas->DrawGrid->RowCount(), 24361);
    // Neither the birth data nor the own place is visible: "Take" does nothing, its menu item
    // is disabled.
    atlas->PopupMenuPopup();
    EXPECT_FALSE(atlas->NGetCity->isEnabled());
    EXPECT_TRUE(atlas->NCreate->isEnabled());
    EXPECT_FALSE(atlas->NLoad->isEnabled()); // no text form yet
    atlas->GetBtnClick();
    EXPECT_TRUE(atlas->isVisible());
    // F1 opens the atlas's help page.
    QKeyEvent key(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(atlas->CityEdit, &key);
    ASSERT_FALSE(opened.empty());
    EXPECT_EQ(opened.back(), "atlas_of_cities.html");

    // The pop-up menu: F12 in the grid, and the right button, which first makes the row under
    // the mouse current.
    Run("Cities,DrawGrid", "KeyDown,123");
    EXPECT_TRUE(atlas->PopupMenu->isVisible());
    atlas->PopupMenu->hide();
    atlas->DrawGrid->SetTopRow(100);
    const int rowHeight = atlas->DrawGrid->DefaultRowHeight();
    QMouseEvent right(QEvent::MouseButtonPress, QPointF(40, rowHeight * 2 + rowHeight / 2),
                      QPointF(40, rowHeight * 2 + rowHeight / 2), Qt::RightButton, Qt::RightButton,
                      Qt::NoModifier);
    QApplication::sendEvent(atlas->DrawGrid->viewport(), &right);
    EXPECT_EQ(atlas->DrawGrid->Row(), 102);
    EXPECT_TRUE(atlas->PopupMenu->isVisible());
    atlas->PopupMenu->hide();

    // The map button hands the row's place to the map and switches to the map screen.
    Run("Cities,CityEdit", "Сидней"_cp);
    Run("Cities,MapBtn", "");
    EXPECT_EQ(program->Flags.ScreenMode, 'G');
    EXPECT_EQ(program->Own<qor::Atlas>().AtlasMapPending, 1);
    EXPECT_EQ(program->Own<qor::Atlas>().AtlasMapLat, -(33 * 60 + 52));
    EXPECT_EQ(program->Own<qor::Atlas>().AtlasMapLong, 151 * 60 + 12);
    EXPECT_FALSE(Visible("Cities"));

    // The time button shows the row's zone at the birth data's moment.
    OpenBirthData("15.01.2021", "12:00:00");
    Run("DataForm,AtlasBtn", "");
    Run("Cities,CityEdit", "Сидней"_cp);
    Run("Cities,TimeBtn", "");
    auto* zone = dynamic_cast<TZone*>(Screen().FindForm("Zone"));
    ASSERT_NE(zone, nullptr);
    EXPECT_TRUE(zone->isVisible());
    EXPECT_EQ(zone->Edit1->Text(), "10");
    EXPECT_EQ(zone->Edit2->Text(), "1");
    EXPECT_EQ(zone->Edit3->Text(), "11");
    EXPECT_EQ(program->Text("Zone", "Edit3"), "11");
}

TEST_F(AtlasWindowTest, TheEnglishCountryFilterShowsBareNamesAndATakeKeepsTheCountry) {
    args = {"/e"};
    Start();
    OpenBirthData("15.01.2020", "12:00:00");
    Run("DataForm,AtlasBtn", "");
    TCities* atlas = Atlas();
    ASSERT_NE(atlas, nullptr);
    Run("Cities,ComboBox", "India");
    const std::size_t india = program->Own<qor::Atlas>().list.size();
    ASSERT_GT(india, 100u);
    EXPECT_EQ(atlas->Caption(), "Atlas - " + std::to_string(india));
    for (int row : {0, 1, static_cast<int>(india) - 1}) {
        EXPECT_EQ(program->Own<qor::Atlas>().list[row].Code(), "R103");
        EXPECT_EQ(atlas->CellText(1, row).find(','), std::string::npos) << atlas->CellText(1, row);
    }
    Run("Cities,CityEdit", "kol"); // typed in lower case: found all the same
    const int row = atlas->DrawGrid->Row();
    const auto o = Oracle(dir.path(), true, "kol", "R103", "2020-01-15T12:00");
    EXPECT_EQ(atlas->CellText(1, row), o[0]);
    // A leading digit only filters again: the list stays whole and the grid at its start.
    Run("Cities,CityEdit", "1kol");
    EXPECT_EQ(atlas->DrawGrid->Row(), 0);
    EXPECT_EQ(program->Own<qor::Atlas>().list.size(), india);
    Run("Cities,CityEdit", "kol");
    Run("Cities,GetBtn", "");
    EXPECT_EQ(DataField("CityEdit"), o[0]);
    EXPECT_EQ(DataField("CountryEdit"), "India");
    EXPECT_EQ(o[1], "India");
    EXPECT_EQ(DataField("LatEdit"), o[2]);
    EXPECT_EQ(DataField("LongEdit"), o[3]);
    EXPECT_EQ(DataField("dTEdit"), "+05:30");
}

TEST_F(AtlasWindowTest, TextFormRoundTripsThroughThePopupMenuAndABadLineChangesNothing) {
    ASSERT_TRUE(form1->RunItem("AtlasMenu"));
    TCities* atlas = Atlas();
    ASSERT_NE(atlas, nullptr);
    const fs::path text = dir / "Wrk" / "Atlas.txt";
    const std::string coords = test::TempDir::Read(dir / "geocr.atl"),
                      names = test::TempDir::Read(dir / "geonr.atl"),
                      zones = test::TempDir::Read(dir / "geozr.atl");

    Run("Cities,NCreate", "");
    ASSERT_TRUE(fs::exists(text));
    EXPECT_NE(program->s.StatusText.find(" создан. 24361 городов"_cp), std::string::npos)
        << program->s.StatusText;
    const std::string first = test::TempDir::Read(text);
    atlas->PopupMenuPopup();
    EXPECT_TRUE(atlas->NLoad->isEnabled());
    Run("Cities,NLoad", "");
    EXPECT_EQ(program->s.StatusText, "OK 24361 items");
    EXPECT_EQ(atlas->DrawGrid->RowCount(), 24361);
    // The shipped files are already in the order an import makes.
    EXPECT_EQ(test::TempDir::Read(dir / "geocr.atl"), coords);
    EXPECT_EQ(test::TempDir::Read(dir / "geonr.atl"), names);
    EXPECT_EQ(test::TempDir::Read(dir / "geozr.atl"), zones);
    Run("Cities,NCreate", "");
    EXPECT_EQ(test::TempDir::Read(text), first);

    // Line 7 with a latitude of 95 degrees: reported with its number; every file and the
    // loaded atlas stay as they were.
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(text, lines).ok());
    const std::size_t lonAt = lines[6].find(';', lines[6].find(';') + 1);
    lines[6] = lines[6].substr(0, lines[6].find(';')) + ";95\xB0" + "00'N" + lines[6].substr(lonAt);
    ASSERT_TRUE(WriteTextFileAtomic(text, lines).ok());
    dialogs.asked.clear();
    Run("Cities,NLoad", "");
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_NE(dialogs.asked[0].text.find(", строка 7: "_cp), std::string::npos)
        << dialogs.asked[0].text;
    EXPECT_EQ(test::TempDir::Read(dir / "geocr.atl"), coords);
    EXPECT_EQ(test::TempDir::Read(dir / "geonr.atl"), names);
    EXPECT_EQ(test::TempDir::Read(dir / "geozr.atl"), zones);
    EXPECT_TRUE(program->Own<qor::Atlas>().ready);
    EXPECT_EQ(program->Own<qor::Atlas>().coords.size(), 24361u);
    EXPECT_EQ(atlas->DrawGrid->RowCount(), 24361);
}

} // namespace
} // namespace qor::geo

namespace qor::geo {
namespace {

bool HasRussian(const std::string& text) {
    for (unsigned char c : text)
        if (c >= 0xC0 || c == 0xA8 || c == 0xB8) return true;
    return false;
}

// Every Russian text of the five windows has its English line, and in the English edition
// none of them shows a Russian word.
TEST_F(AtlasWindowTest, EnglishTextsCoverTheGeographyWindows) {
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(shell::kShippedData / "English.txt", lines).ok());
    const char* const names[] = {"Cities", "Zone", "CitySiz", "QorLoc", "GeoSet"};
    auto windows = [&] {
        std::vector<TForm*> forms;
        for (const char* n : names) {
            TForm* f = Screen().Ensure(n);
            EXPECT_NE(f, nullptr) << n;
            if (f) forms.push_back(f);
        }
        return forms;
    };
    EXPECT_EQ(EnglishCoverageProblems(windows(), lines, true), std::vector<std::string>{});

    args = {"/e"};
    Start();
    for (TForm* f : windows()) {
        if (auto* q = dynamic_cast<TQorLoc*>(f)) {
            q->astdT->SetText("+15:00"); // every warning shown
            q->CheckComputerZone();
        }
        if (auto* c = dynamic_cast<TCities*>(f)) c->PopupMenuPopup();
        EXPECT_FALSE(HasRussian(f->Caption())) << f->Name();
        for (const Component& c : f->Components()) {
            EXPECT_FALSE(HasRussian(ComponentText(c))) << f->Name() << "," << c.Name();
            EXPECT_FALSE(HasRussian(HintOf(c.object))) << f->Name() << "," << c.Name();
            for (const auto& item : ComponentItems(c))
                EXPECT_FALSE(HasRussian(item)) << f->Name() << "," << c.Name() << ": " << item;
        }
    }
}

} // namespace
} // namespace qor::geo
