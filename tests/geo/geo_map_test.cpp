// The world map in the started program, offscreen: pixels of land and sea against the tests'
// own reading of the coastlines, the outlines on the filled coast, the Sun overhead at a
// solstice against libnova, the hover hint and the place handed to the birth data, the mouse,
// the keys and the menu, a place shown from the atlas, and the settings window.
#include "CoastOracle.h"
#include "app/MainWindowFixture.h"
#include "core/Formats.h"
#include "core/Text.h"
#include "geo/Atlas.h"
#include "geo/CitySize.h"
#include "geo/GeoScreen.h"
#include "geo/GeoSet.h"

#include <erfa.h>
#include <erfam.h>

#include <QMouseEvent>
#include <QTimer>

#include <cmath>

namespace qor::geo {
namespace {

using namespace ui;
using shell::MainWindowTest;

class GeoMapTest : public MainWindowTest {
protected:
    GeoMapState& Map() { return program->Own<GeoMapState>(); }
    GeoScreen& Scr() { return *program->Find<GeoScreen>(); }
    qor::Atlas& Cities() { return program->Own<qor::Atlas>(); }
    TGeoSet* Set() { return dynamic_cast<TGeoSet*>(Screen().FindForm("GeoSet")); }
    const QImage& Picture() { return program->BufBitmap->image(); }
    // The map screen on a picture of the given size, with only land and sea drawn.
    void MapOnly(int w, int h) {
        form1->resize(w, h + 60);
        QApplication::processEvents();
        form1->FormResize(false);
        for (const char* box : {"GreedBox", "CityBox", "SunBox"})
            program->SetChecked("GeoSet", box, false);
        form1->RunItem("Ngeo");
        ASSERT_EQ(program->Flags.ScreenMode, 'G');
    }
    uint32_t Pixel(int x, int y) { return FromQColor(Picture().pixelColor(x, y)); }
    // The chart at a moment in UT and a place; the map drawn.
    void ChartAt(int y, int mo, int d, int h, int mi, double latDeg, double lonDeg) {
        static_cast<ChartContext&>(program->s) =
            ChartContext{y, mo, d, h, mi, 0, 0, lonDeg * M_PI / 180, latDeg * M_PI / 180};
        program->Tech->RefreshAll();
    }
};

// Probe points are classified by the tests' own reading of the files; those within three
// pixels of a coast, or of the chart's mark, are left out.
void ExpectLandAndSeaColours(const QImage& img, const GeoMapView& v, const GeoColors& c,
                             std::pair<int, int> chartMark) {
    const auto rings = test::RawCoastRings(fs::path(QOR_SOURCE_DIR) / "data");
    // The coasts' segments in pixels, both sides of the picture's seam.
    std::vector<std::array<double, 4>> segs;
    for (const auto& r : rings)
        for (std::size_t i = 1; i < r.size(); ++i)
            for (int turn = -1; turn <= 1; ++turn) {
                const double shift = turn * 216000.0 - v.view.left;
                segs.push_back({(r[i - 1].x + shift) * v.scaleX,
                                (r[i - 1].y - v.view.top) * v.scaleY, (r[i].x + shift) * v.scaleX,
                                (r[i].y - v.view.top) * v.scaleY});
            }
    auto nearCoast = [&](double px, double py) {
        for (const auto& [x0, y0, x1, y1] : segs) {
            if (std::max(x0, x1) < px - 3 || std::min(x0, x1) > px + 3 ||
                std::max(y0, y1) < py - 3 || std::min(y0, y1) > py + 3)
                continue;
            const double dx = x1 - x0, dy = y1 - y0, len = dx * dx + dy * dy;
            const double t =
                len > 0 ? std::clamp(((px - x0) * dx + (py - y0) * dy) / len, 0.0, 1.0) : 0;
            if (std::hypot(px - x0 - t * dx, py - y0 - t * dy) < 3) return true;
        }
        return false;
    };
    int land = 0, sea = 0;
    for (int gy = 1; gy < 30; ++gy)
        for (int gx = 1; gx < 60; ++gx) {
            const int x = gx * img.width() / 60, y = gy * img.height() / 30;
            if (std::abs(x - chartMark.first) < 8 && std::abs(y - chartMark.second) < 8) continue;
            if (nearCoast(x, y)) continue;
            const auto [lon, lat] = v.Unproject(x, y);
            const bool onLand = test::OnLand(rings, lat / 600, lon / 600);
            const uint32_t got = FromQColor(img.pixelColor(x, y));
            EXPECT_EQ(got, onLand ? c.land : c.ocean)
                << "pixel " << x << "," << y << " at " << lat / 600 << " " << lon / 600;
            (onLand ? land : sea)++;
        }
    EXPECT_GT(land, 100);
    EXPECT_GT(sea, 100);
}

TEST_F(GeoMapTest, LandAndSeaTakeTheirColoursAtTheWorldViewAndAcross180) {
    MapOnly(1600, 800);
    const GeoColors c = Map().colors;
    EXPECT_EQ(c, GeoColors{}); // the defaults
    auto mark = [&] { return GeoPixelOf(Map().view, program->s.ChartLat, program->s.ChartLong); };
    ExpectLandAndSeaColours(Picture(), Map().view, c, mark());
    // Level 3 over the Bering Strait, across the 180° meridian.
    GeoMapView& v = Map().view;
    ASSERT_EQ(v.ZoomAt(v.mapWidth / 2, v.mapHeight / 2, v.mapHeight), GeoZoom::Zoomed);
    ASSERT_EQ(v.ZoomAt(v.mapWidth / 2, v.mapHeight / 2, v.mapHeight), GeoZoom::Zoomed);
    v.CentreOn(108000, 39000); // 180°, 65°N
    program->DrawScreen('G');
    EXPECT_GT(v.view.right, 108000);
    ExpectLandAndSeaColours(Picture(), v, c, mark());
}

TEST_F(GeoMapTest, OutlinesLieOnTheFilledMapsCoast) {
    MapOnly(1200, 600);
    GeoMapView& v = Map().view;
    ASSERT_EQ(v.ZoomAt(660, 150, v.mapHeight), GeoZoom::Zoomed); // Europe
    program->DrawScreen('G');
    const QImage filled = Picture().copy();
    program->SetChecked("GeoSet", "ConturBox", true);
    program->DrawScreen('G');
    const QImage outline = Picture();
    const GeoColors c = Map().colors;
    // Islands smaller than a pixel: a dot in outline, nothing in the fill.
    int dark = 0, off = 0;
    for (int y = 0; y < outline.height(); ++y)
        for (int x = 0; x < outline.width(); ++x) {
            if (FromQColor(outline.pixelColor(x, y)) != 0) continue;
            // A coast along the picture's edge has its other side outside.
            if (x < 4 || y < 4 || x >= outline.width() - 4 || y >= outline.height() - 4) continue;
            ++dark;
            bool land = false, sea = false, coast = false;
            // The two drawings drop points closer than two pixels each their own way.
            for (int dy = -3; dy <= 3; ++dy)
                for (int dx = -3; dx <= 3; ++dx) {
                    const int xx = std::clamp(x + dx, 0, filled.width() - 1);
                    const int yy = std::clamp(y + dy, 0, filled.height() - 1);
                    const uint32_t f = FromQColor(filled.pixelColor(xx, yy));
                    land = land || f == c.land;
                    sea = sea || f == c.ocean;
                    coast = coast || f == 0x808080; // the filled map's grey coast
                }
            off += !((land && sea) || coast);
        }
    EXPECT_GT(dark, 2000);
    EXPECT_LE(off, dark / 200) << off << " of " << dark << " outline pixels off the coast";
}

TEST_F(GeoMapTest, TheSunOverheadAtASolsticeAndTheChartsPlace) {
    MapOnly(1800, 900);
    program->SetChecked("GeoSet", "SunBox", true);
    ChartAt(2024, 6, 20, 20, 51, 55.75, 37.62); // the June solstice, Moscow
    // ERFA: the Sun's apparent place of date (IAU 2006/2000A, aberration from the Earth's
    // barycentric velocity) and the Greenwich apparent sidereal time; ΔT 69.2 s.
    const double ut = 2460481.5 - 2400000.5 + (20 + 51 / 60.0) / 24, tt = ut + 69.2 / 86400;
    double pvh[2][3], pvb[2][3];
    eraEpv00(2400000.5, tt, pvh, pvb);
    double toSun[3] = {-pvh[0][0], -pvh[0][1], -pvh[0][2]}, dir[3], v[3], seen[3], rnpb[3][3],
           ofDate[3];
    const double dist = eraPm(toSun);
    eraSxp(1 / dist, toSun, dir);
    eraSxp(ERFA_AULT / ERFA_DAYSEC, pvb[1], v);
    eraAb(dir, v, dist, std::sqrt(1 - eraPm(v) * eraPm(v)), seen);
    eraPnm06a(2400000.5, tt, rnpb);
    eraRxp(rnpb, seen, ofDate);
    double ra = 0, decRad = 0;
    eraC2s(ofDate, &ra, &decRad);
    const double gast = eraGst06a(2400000.5, ut, 2400000.5, tt);
    struct {
        double dec;
    } sun{decRad * 180 / M_PI};
    const double lon = std::remainder((ra - gast) * 180 / M_PI, 360.0);
    // The world view: the picture's width for 360°, its height for 160°, from 180°W and 80°N.
    const double w = Map().view.mapWidth, h = Map().view.mapHeight;
    const double x = (lon + 180) / 360 * w, y = (80 - sun.dec) / 160 * h;
    const auto [sx, sy] = Map().subPoints[1];
    EXPECT_NEAR(sx, x, 1) << "sub-solar longitude " << lon; // tolerance: one pixel, 0.2°
    EXPECT_NEAR(sy, y, 1) << "declination " << sun.dec;
    EXPECT_NEAR(sun.dec, 23.44, 0.01); // the solstice
    // Its glyph is drawn there on white; the chart's place is a red disc at its pixel.
    EXPECT_EQ(Pixel(sx - 7, sy - 7) & 0xFFFFFF, Pixel(sx - 7, sy - 7));
    const double cx = (37.62 + 180) / 360 * w, cy = (80 - 55.75) / 160 * h;
    EXPECT_EQ(Pixel(static_cast<int>(std::lround(cx)), static_cast<int>(std::lround(cy))),
              0x0000FFu);
    EXPECT_EQ(Map().subPoints[3].first, -99); // Mercury is not selected
}

TEST_F(GeoMapTest, AstroCartoGraphyLinesFollowTheSettingsWindow) {
    MapOnly(1600, 800);
    ChartAt(2010, 12, 14, 12, 0, 55.75, 37.62);
    program->SetChecked("GeoSet", "CheckBox11", true);
    program->SetChecked("GeoSet", "CheckBox12", true);
    program->DrawScreen('G');
    EXPECT_TRUE(Map().acgLabels.empty()); // "Астро * Карто * Графия" is off
    program->SetChecked("GeoSet", "ACGBox", true);
    program->DrawScreen('G');
    // the Sun and the Moon (the window's default planets): two meridian labels each
    int meridians = 0, curves = 0;
    for (const AcgLabelSpot& l : Map().acgLabels) (l.meridian ? meridians : curves)++;
    EXPECT_EQ(meridians, 4);
    EXPECT_GE(curves, 4); // each curve crosses the middle row at least twice
    // the lines in the settings' colour; in outline mode black
    const uint32_t acg = Map().colors.acg;
    auto count = [&](uint32_t colour) {
        int n = 0;
        for (int y = 0; y < Picture().height(); ++y)
            for (int x = 0; x < Picture().width(); ++x) n += Pixel(x, y) == colour;
        return n;
    };
    EXPECT_GT(count(acg), 2000);
    program->SetChecked("GeoSet", "ConturBox", true);
    program->DrawScreen('G');
    const int black = count(0);
    EXPECT_EQ(count(acg), 0);
    program->SetChecked("GeoSet", "ACGBox", false);
    program->DrawScreen('G');
    EXPECT_GT(black - count(0), 2000);
    program->SetChecked("GeoSet", "ACGBox", true);
    // the major aspects add their curves and meridians; the house curves their labels
    Set()->AspectsGroup->SetItemIndex(1);
    program->SetChecked("GeoSet", "RealHouseBox", true);
    program->DrawScreen('G');
    int majors = 0, houses = 0;
    for (const AcgLabelSpot& l : Map().acgLabels) {
        majors += l.meridian;
        houses += !l.meridian && l.text.size() != 3;
    }
    EXPECT_EQ(majors, 16);
    EXPECT_GE(houses, 6);
    // at level 5 and deeper nothing
    for (int k = 0; k < 4; ++k) Map().view.ZoomAt(800, 400, 800);
    ASSERT_GE(Map().view.level, 5);
    program->DrawScreen('G');
    EXPECT_TRUE(Map().acgLabels.empty());
}

TEST_F(GeoMapTest, HoverNamesPlanetsFirstThenCitiesAndTheBirthDataTakesThePlace) {
    MapOnly(1600, 800);
    program->SetChecked("GeoSet", "SunBox", true);
    program->SetChecked("GeoSet", "CityBox", true);
    program->DrawScreen('G');
    GeoScreen& scr = Scr();
    const auto [sx, sy] = Map().subPoints[1];
    scr.GeoMapMouseMove(sx + 2, sy - 1);
    EXPECT_EQ(scr.HintText, "Солнце"_cp);
    EXPECT_EQ(Map().mapCityIndex, 0);
    // A city of class 1 at the world view: its name and region.
    int moscow = 0;
    std::vector<CityNameRec> names;
    ASSERT_TRUE(LoadAllCityNames(program->s, Cities(), names));
    for (std::size_t i = 0; i < Cities().coords.size(); ++i)
        if (TrimRight(names[Cities().coords[i].nameIndex - 1u].Name()) == "Москва"_cp &&
            Trim(names[Cities().coords[i].nameIndex - 1u].Code()) == "S040")
            moscow = static_cast<int>(i + 1);
    ASSERT_GT(moscow, 0);
    Cities().coords[moscow - 1].mapCode = 1;
    const CityCoordRec& m = Cities().coords[moscow - 1];
    const auto [mx, my] = Map().view.Project(m.lon * 10, m.lat * 10);
    // The chart's place is Moscow's too: move it away so that the city is what is under.
    program->s.ChartLat = program->s.ChartLong = 0;
    scr.GeoMapMouseMove(mx + 3, my - 3);
    EXPECT_EQ(Map().mapCityIndex, moscow);
    EXPECT_EQ(scr.HintText, "Москва, "_cp + CodeRegionText(program->s, Cities(), "S040"));
    EXPECT_EQ(form1->GeoNameLabel->Caption(), scr.HintText);
    EXPECT_TRUE(form1->GeoNameLabel->isVisibleTo(form1));
    // A city the level does not draw gives no hint (class 0 counts as 5).
    Cities().coords[moscow - 1].mapCode = 0;
    scr.GeoMapMouseMove(mx, my);
    EXPECT_EQ(Map().mapCityIndex, 0);
    EXPECT_FALSE(form1->GeoNameLabel->isVisibleTo(form1));

    // The birth data takes the place under the pointer while "take the data" is on, at the
    // world view and one level deeper: its fields read back to the pixel's place.
    ASSERT_NE(form1->OpenToolWindow("DataForm"), nullptr);
    form1->GetFromMap->setEnabled(true);
    for (int level = 1; level <= 2; ++level) {
        GeoMapView& v = Map().view;
        if (level == 2) {
            ASSERT_EQ(v.ZoomAt(900, 300, v.mapHeight), GeoZoom::Zoomed);
            program->DrawScreen('G');
        }
        for (const auto& [x, y] :
             {std::pair{123, 456}, std::pair{1500, 100}, std::pair{800, 400}}) {
            scr.GeoMapMouseMove(x, y);
            EXPECT_EQ(form1->GeoPanel->Caption().substr(0, 7),
                      program->Text("DataForm", "LatEdit"));
            const auto lat = ParseLatitude(program->Text("DataForm", "LatEdit"));
            const auto lon = ParseLongitude(program->Text("DataForm", "LongEdit"));
            ASSERT_TRUE(lat && lon) << program->Text("DataForm", "LatEdit");
            const auto [ulon, ulat] = v.Unproject(x, y);
            EXPECT_NEAR(*lat * 180 / M_PI * 60, ulat / 10, 0.5) << "level " << level;
            EXPECT_NEAR(*lon * 180 / M_PI * 60, ulon / 10, 0.5) << "level " << level;
        }
    }
}

TEST_F(GeoMapTest, MouseKeysAndTheMapsMenu) {
    MapOnly(1200, 600);
    GeoMapView& v = Map().view;
    GeoScreen& scr = Scr();
    // A left drag shows the zoom frame over the picture; the release zooms there.
    scr.MouseDown(MouseButton::Left, ssLeft, 600, 300);
    scr.MouseMove(ssLeft, 610, 310);
    const int hw = v.mapWidth / 3 / 2, hh = v.mapHeight / 3 / 2;
    EXPECT_EQ(scr.DragFrame, QRect(610 - hw, 310 - hh, 2 * hw, 2 * hh));
    const QImage before = Picture().copy();
    scr.MouseUp(MouseButton::Left, 0, 610, 310);
    EXPECT_TRUE(scr.DragFrame.isEmpty());
    EXPECT_EQ(v.level, 2);
    EXPECT_NE(Picture(), before);
    // The right button: the map's menu, "previous level" enabled from level 2.
    scr.MouseUp(MouseButton::Right, 0, 100, 100);
    EXPECT_TRUE(form1->GeoMenu->isVisible());
    EXPECT_TRUE(form1->Find<TMenuItem>("N_GeoLevel")->isEnabled());
    EXPECT_FALSE(form1->Find<TMenuItem>("N_CitySize")->isEnabled());
    form1->GeoMenu->hide();
    form1->Find<TMenuItem>("N_GeoLevel")->Click();
    EXPECT_EQ(v.level, 1);
    scr.PopupMenu(QPoint(10, 10));
    EXPECT_FALSE(form1->Find<TMenuItem>("N_GeoLevel")->isEnabled());
    form1->GeoMenu->hide();
    // Keys: "+" zooms at the middle, the arrows pan, "-" steps back out.
    struct Case {
        int key;
        int level;
        int32_t GeoViewRec::*edge;
        int sign;
    };
    int plus = vk::Add;
    form1->FormKeyDown(plus, 0);
    EXPECT_EQ(v.level, 2);
    const GeoViewRec at2 = v.view;
    const Case cases[] = {{vk::Left, 2, &GeoViewRec::left, -1},
                          {vk::Right, 2, &GeoViewRec::left, +1},
                          {vk::Up, 2, &GeoViewRec::top, +1},
                          {vk::Down, 2, &GeoViewRec::top, -1}};
    for (const Case& c : cases) {
        const GeoViewRec was = v.view;
        int key = c.key;
        form1->FormKeyDown(key, 0);
        EXPECT_EQ(v.level, c.level);
        EXPECT_EQ((v.view.*c.edge - was.*c.edge) * c.sign > 0, true) << c.key;
    }
    (void)at2;
    int minus = vk::Subtract;
    form1->FormKeyDown(minus, 0);
    EXPECT_EQ(v.level, 1);
    // The pan buttons step the view too.
    form1->PanStep("RightPan");
    EXPECT_EQ(v.view.left, -108000 + 13500);
    // Alt+C opens the size editor for the city under the mouse, not without one.
    int c = 'C';
    Map().mapCityIndex = 0;
    form1->FormKeyDown(c, ssAlt);
    EXPECT_EQ(Screen().FindForm("CitySiz"), nullptr);
    Map().mapCityIndex = 42;
    c = 'C';
    form1->FormKeyDown(c, ssAlt);
    ASSERT_NE(Screen().FindForm("CitySiz"), nullptr);
    EXPECT_EQ(dynamic_cast<TCitySiz*>(Screen().FindForm("CitySiz"))->CityIndex, 42);
}

TEST_F(GeoMapTest, APlaceFromTheAtlasIsShownAndOneBeyond80DegreesEndsAtTheEdge) {
    MapOnly(1200, 600);
    GeoMapView& v = Map().view;
    ASSERT_EQ(v.ZoomAt(600, 300, v.mapHeight), GeoZoom::Zoomed);
    ASSERT_EQ(v.ZoomAt(600, 300, v.mapHeight), GeoZoom::Zoomed);
    // Sydney through the atlas's map button and the main tick.
    Cities().AtlasMapLat = -(33 * 60 + 52);
    Cities().AtlasMapLong = 151 * 60 + 12;
    Cities().AtlasMapPending = 1;
    form1->MainClockTickRun();
    EXPECT_EQ(Cities().AtlasMapPending, 0);
    const auto [x, y] = v.Project(151 * 600 + 120, -(33 * 600 + 520));
    EXPECT_GE(x, 0);
    EXPECT_LE(x, v.mapWidth);
    EXPECT_GE(y, 0);
    EXPECT_LE(y, v.mapHeight);
    EXPECT_EQ(Screen().Cursor().Pos(), form1->PaintBoxToScreen(x, y));
    EXPECT_GT(Scr().FlashSteps, 0);
    // The flash runs from a timer and ends by itself.
    for (int i = 0; i < 40 && Scr().FlashSteps > 0; ++i) {
        QEventLoop loop;
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
        loop.exec();
    }
    EXPECT_EQ(Scr().FlashSteps, 0);
    // 88°N lies beyond the view: centred once, the view at 80°N, and the call returns.
    Scr().ShowPlaceOnGeoMap(88 * 60, 10 * 60);
    EXPECT_EQ(v.view.top, kGeoMaxLatitude);
}

TEST_F(GeoMapTest, SettingsDefaultsColoursAndTheirDialog) {
    TGeoSet* w = Set();
    ASSERT_NE(w, nullptr);
    struct Box {
        TCheckBox* box;
        bool on;
    };
    const Box boxes[] = {{w->CityBox, true},     {w->CityNameBox, false}, {w->GreedBox, true},
                         {w->ConturBox, false},  {w->GeoCoordBox, true},  {w->PromptCheckBox, true},
                         {w->CheckBox1, true},   {w->CheckBox2, true},    {w->CheckBox3, false},
                         {w->CheckBox10, false}, {w->CheckBox11, false},  {w->CheckBox12, false},
                         {w->ACGBox, false},     {w->SunBox, true},       {w->RealHouseBox, false},
                         {w->TimeBox, true},     {w->dTBox, true}};
    for (const Box& b : boxes)
        EXPECT_EQ(b.box->Checked(), b.on) << b.box->objectName().toStdString();
    EXPECT_EQ(w->SpinEdit1->Value(), 0);
    EXPECT_EQ(w->AspectsGroup->ItemIndex(), 0);
    const char* steps[] = {"40°00'", "10°00'", " 5°00'", " 1°00'", " 0°10'"};
    TEdit* edits[] = {w->Edit1, w->Edit2, w->Edit3, w->Edit4, w->Edit5,
                      w->Edit6, w->Edit7, w->Edit8, w->Edit9, w->Edit10};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(edits[i]->Text(), Cp(steps[i % 5]));
    EXPECT_EQ(w->Memo->Lines(), GeoColorLines(GeoColors{}));
    // dT off takes the local time with it.
    w->dTBox->SetChecked(!w->dTBox->Checked());
    EXPECT_FALSE(w->TimeBox->Checked());
    EXPECT_FALSE(w->TimeBox->isEnabled());
    w->dTBox->SetChecked(!w->dTBox->Checked());
    EXPECT_TRUE(w->TimeBox->isEnabled());
    // The coordinates are shown on the map exactly while the box is checked.
    form1->RunItem("Ngeo");
    w->GeoCoordBox->SetChecked(!w->GeoCoordBox->Checked());
    EXPECT_FALSE(form1->GeoPanel->isVisibleTo(form1));
    w->GeoCoordBox->SetChecked(!w->GeoCoordBox->Checked());
    EXPECT_TRUE(form1->GeoPanel->isVisibleTo(form1));

    // The colour dialog: cancelled, nothing changes; chosen, the map shows it and it stays
    // across a restart.
    QTimer::singleShot(0, [] {
        if (TForm* f = Screen().FindForm("Colorf")) f->Close();
    });
    w->ChooseColour(0);
    EXPECT_EQ(Map().colors, GeoColors{});
    w->AskColour = [](uint32_t) { return std::optional<uint32_t>(0x123456); };
    w->ChooseColour(0);
    w->ChooseColour(5);
    EXPECT_EQ(Map().colors.ocean, 0x123456u);
    EXPECT_EQ(Map().colors.label, 0x123456u);
    EXPECT_EQ(w->Memo->Lines()[0], "1193046");
    program->SetChecked("GeoSet", "GreedBox", false);
    program->SetChecked("GeoSet", "CityBox", false);
    program->SetChecked("GeoSet", "SunBox", false);
    program->DrawScreen('G');
    EXPECT_EQ(FromQColor(Picture().pixelColor(5, Picture().height() / 2)), 0x123456u); // Pacific
    Start();
    EXPECT_EQ(program->Own<GeoMapState>().colors.ocean, 0x123456u);
    EXPECT_EQ(program->Own<GeoMapState>().colors.label, 0x123456u);
    EXPECT_EQ(program->Own<GeoMapState>().colors.land, GeoColors{}.land);
    // Esc closes the window, F1 opens its page.
    TGeoSet* again = Set();
    ASSERT_NE(again, nullptr);
    form1->OpenToolWindow("GeoSet");
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(again, &f1);
    ASSERT_FALSE(opened.empty());
    EXPECT_EQ(opened.back(), "setup_of_geographical_map.html");
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(again, &esc);
    EXPECT_FALSE(again->isVisible());
}

} // namespace
} // namespace qor::geo
