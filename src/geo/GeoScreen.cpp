#include "geo/GeoScreen.h"

#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Text.h"
#include "geo/CitySize.h"
#include "geo/GeoSet.h"
#include "shell/MainForm.h"
#include "shell/Tech.h"

#include <QPainter>
#include <QPointer>
#include <QTimer>

#include <cmath>

namespace qor::geo {

using namespace ui;

namespace {

constexpr double kUnitsToRad = 3.14159265358979323846 / (180.0 * 600.0);
constexpr int kFlashStepMs = 100;
constexpr int kFlashSteps = 10; // squares of half-side 5, 7, ... 13, twice

int FlashRadius(int step) {
    return 5 + 2 * ((kFlashSteps - step) % 5);
}

} // namespace

// Drawn over the picture, never into it: the zoom frame of a left drag and the flash of a
// shown place, both inverting what lies below, so the map's bitmap stays as it was drawn.
class GeoScreen::Overlay : public QWidget {
public:
    Overlay(QWidget* parent, GeoScreen& screen) : QWidget(parent), screen_(screen) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setGeometry(parent->rect());
        show();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter g(this);
        g.setCompositionMode(QPainter::RasterOp_NotDestination);
        g.setPen(QPen(Qt::black, 1));
        g.setBrush(Qt::NoBrush);
        if (!screen_.DragFrame.isEmpty()) g.drawRect(screen_.DragFrame);
        if (screen_.FlashSteps > 0) {
            const int r = FlashRadius(screen_.FlashSteps);
            g.drawRect(screen_.FlashAt.x() - r, screen_.FlashAt.y() - r, 2 * r, 2 * r);
        }
    }

private:
    GeoScreen& screen_;
};

GeoScreen::GeoScreen(shell::Program& p, Atlas& atlas, GeoMapState& map)
    : p_(p), atlas_(atlas), map_(map) {}

void GeoScreen::LoadColors() {
    LoadGeoColors(p_, map_);
}

void GeoScreen::InitGeoMap() {
    map_.namesOn = true;
    map_.view.Init();
    if (OpenCoastFiles(p_.s, map_.coast)) map_.land = DecodeLandPolygons(p_.s, map_.coast);
    map_.landPicture = QImage(); // drawn from the coastlines read now
    // The map's menu gets the city size editor for the city under the mouse.
    if (TForm* main = p_.Form1; main && !main->FindComponent("N_CitySize")) {
        // Made after the English texts were laid over the main window: it takes the language.
        TMenuItem* item = main->AddMenuItem(
            "N_CitySize", Lang(p_.s, "Размер города"_cp, "City size"), p_.Form1->GeoMenu);
        item->OnClick = [this] {
            if (p_.Form1) p_.Form1->RunItem("N_CitySize");
        };
    }
}

GeoSky GeoScreen::Sky() const {
    const AstroDat& s = p_.s;
    GeoSky k;
    k.chartLat = s.ChartLat;
    k.chartLong = s.ChartLong;
    k.lstRad = s.SiderealTimeSec * 15 / kRadToArcSec;
    for (int i = 1; i <= 10; ++i) {
        const BodyRec& b = s.Bodies[static_cast<std::size_t>(i)];
        k.ra[static_cast<std::size_t>(i)] = b[kBodyRA];
        k.dec[static_cast<std::size_t>(i)] = b[kBodyDec];
        k.glyph[static_cast<std::size_t>(i)] = p_.Tech ? p_.Tech->PointLabel(i) : BodyName(s, i);
    }
    k.acg = AcgInputOf(s, p_.GeneralOpt.HorParallax);
    return k;
}

void GeoScreen::RedrawGeoMap() {
    if (!p_.Flags.Ready || !p_.BufBitmap) return;
    DrawGeoMap(p_.s, map_, ReadGeoOptions(p_), atlas_, Sky(), *p_.BufBitmap, p_.Font);
}

void GeoScreen::Show() {
    if (p_.Flags.ScreenMode == 'G') p_.DrawScreen('G');
}

void GeoScreen::UpdateOverlay() {
    if (!p_.Form1) return;
    QWidget* box = p_.Form1->PaintBox;
    if (!overlay_ || overlay_->parent() != box) overlay_ = new Overlay(box, *this);
    overlay_->setGeometry(box->rect());
    overlay_->raise();
    overlay_->update();
}

void GeoScreen::MouseDown(MouseButton b, Shift, int x, int y) {
    if (b != MouseButton::Left) return;
    leftHeld_ = true;
    MouseMove(ssLeft, x, y);
}

void GeoScreen::MouseMove(Shift shift, int x, int y) {
    if (leftHeld_ && (shift & ssLeft)) {
        // The frame of the view a release here zooms into.
        const GeoMapView& v = map_.view;
        const int hw = ((v.mapWidth - v.leftMargin) / v.zoomFactor) / 2;
        const int hh = ((v.mapHeight - v.topMargin) / v.zoomFactor) / 2;
        DragFrame = QRect(x - hw, y - hh, 2 * hw, 2 * hh);
        UpdateOverlay();
    }
    GeoMapMouseMove(x, y);
}

void GeoScreen::MouseUp(MouseButton b, Shift, int x, int y) {
    if (b == MouseButton::Left) {
        leftHeld_ = false;
        DragFrame = QRect();
        UpdateOverlay();
        const int height = p_.Form1 ? p_.Form1->PaintBox->height() : map_.view.mapHeight;
        if (map_.view.ZoomAt(x, y, height) != GeoZoom::Ignored) Show();
    } else if (b == MouseButton::Right && p_.Form1) {
        PopupMenu(p_.Form1->PaintBoxToScreen(x, y));
    }
}

void GeoScreen::PopupMenu(QPoint screen) {
    shell::TForm1* f = p_.Form1;
    if (!f) return;
    if (auto* level = f->Find<TMenuItem>("N_GeoLevel")) level->setEnabled(map_.view.level >= 2);
    if (auto* size = f->Find<TMenuItem>("N_CitySize")) size->setEnabled(map_.mapCityIndex >= 1);
    f->GeoMenu->Popup(screen.x(), screen.y());
}

bool GeoScreen::NavKey(int key, Shift shift) {
    const bool alt = shift & ssAlt, ctrl = shift & ssCtrl;
    if (alt && !ctrl && key == 'C') return OpenCitySizeForHover();
    if (alt || ctrl) return false;
    const GeoMapView& v = map_.view;
    switch (key) {
    case vk::Left:
    case vk::Numpad0 + 4:
        map_.view.Pan(GeoPanDirection::West, 2.0);
        break;
    case vk::Right:
    case vk::Numpad0 + 6:
        map_.view.Pan(GeoPanDirection::East, 2.0);
        break;
    case vk::Up:
    case vk::Numpad0 + 8:
        map_.view.Pan(GeoPanDirection::North, 2.0);
        break;
    case vk::Down:
    case vk::Numpad0 + 2:
        map_.view.Pan(GeoPanDirection::South, 2.0);
        break;
    case vk::Add:
    case vk::OemPlus:
        if (map_.view.ZoomAt(v.mapWidth / 2, v.mapHeight / 2, v.mapHeight) == GeoZoom::Ignored)
            return true;
        break;
    case vk::Subtract:
    case vk::OemMinus:
        if (!map_.view.ZoomOut()) return true;
        break;
    default:
        return false;
    }
    Show();
    return true;
}

void GeoScreen::PanButton(const std::string& button) {
    const GeoMapView& v = map_.view;
    if (button == "PanIn") {
        if (map_.view.ZoomAt(v.mapWidth / 2, v.mapHeight / 2, v.mapHeight) == GeoZoom::Ignored)
            return;
    } else if (button == "PanOut") {
        if (!map_.view.ZoomOut()) return;
    } else {
        const GeoPanDirection d = button == "LeftPan"    ? GeoPanDirection::West
                                  : button == "RightPan" ? GeoPanDirection::East
                                  : button == "UpPan"    ? GeoPanDirection::North
                                                         : GeoPanDirection::South;
        map_.view.Pan(d, 4.0); // a held button repeats: smaller steps than a key
    }
    Show();
}

void GeoScreen::GeoMapMouseMove(int x, int y) {
    const GeoMapView& v = map_.view;
    if (v.scaleX == 0 || v.scaleY == 0) return;
    AstroDat& s = p_.s;
    map_.mapCityIndex = 0;
    const auto [lonUnits, latUnits] = v.Unproject(x, y);
    PanelText =
        FormatLatitude(latUnits * kUnitsToRad) + "  " + FormatLongitude(lonUnits * kUnitsToRad);
    shell::TForm1* f = p_.Form1;
    if (f) f->GeoPanel->SetCaption(PanelText);

    HintText.clear();
    int objX = x, objY = y;
    const GeoHover h = GeoHoverAt(map_, atlas_, x, y);
    if (h.planet) {
        const bool glyphs = s.GlyphNames;
        s.GlyphNames = false;
        HintText = Trim(BodyName(s, h.planet));
        s.GlyphNames = glyphs;
        std::tie(objX, objY) = map_.subPoints[static_cast<std::size_t>(h.planet)];
    } else if (h.city) {
        const CityCoordRec& c = atlas_.coords[static_cast<std::size_t>(h.city) - 1];
        if (map_.names.empty() || map_.namesGeneration != atlas_.generation) {
            map_.names.clear();
            if (LoadAllCityNames(s, atlas_, map_.names))
                map_.namesGeneration = atlas_.generation;
            else
                map_.namesOn = false;
        }
        if (c.nameIndex >= 1 && c.nameIndex <= map_.names.size()) {
            const CityNameRec& n = map_.names[c.nameIndex - 1u];
            map_.mapCityIndex = h.city;
            map_.hoverCityName = CityLabelName(n);
            HintText = TrimRight(n.Name());
            const std::string code = Trim(n.Code());
            if (!code.empty() && code[0] != 'L') HintText += ", " + CodeRegionText(s, atlas_, code);
            std::tie(objX, objY) = v.Project(int32_t(c.lon) * 10, int32_t(c.lat) * 10);
        }
    }
    if (f) {
        // The hint in the bitmap's font, black on white.
        TPanel* label = f->GeoNameLabel;
        if (p_.BufBitmap) {
            FontSpec font = p_.BufBitmap->canvas().Font();
            font.color = 0x000000;
            SetFontSpec(label, font);
        }
        SetColor(label, 0xFFFFFF);
        label->SetCaption(HintText);
        const QSize extent = TextExtent(label, HintText);
        const int w = extent.width() + 8, hh = extent.height() + 2;
        const QPoint at = f->PaintBox->mapTo(f->Client(), QPoint(objX, objY - 3 - hh));
        ui::SetBounds(label, at.x(), at.y(), w, hh);
        SetVisible(label, !HintText.empty() && p_.Checked("GeoSet", "PromptCheckBox", true));
        if (!HintText.empty()) label->raise();
        if (!HintText.empty()) SetStatus(s, HintText);
        // The birth data takes the place under the pointer while the menu item is enabled.
        if (f->GetFromMap && f->GetFromMap->isEnabled() && p_.Svc.TakeGeoMapPlace)
            p_.Svc.TakeGeoMapPlace(h.city ? HintText : std::string());
    }
}

void GeoScreen::ShowPlaceOnGeoMap(int latArcmin, int lonArcmin) {
    GeoMapView& v = map_.view;
    const int32_t lon = lonArcmin * 10, lat = latArcmin * 10;
    auto [x, y] = v.Project(lon, lat);
    if (x < v.leftMargin || x > v.mapWidth || y < v.topMargin || y > v.mapHeight) {
        // Once: a place nearer a pole than 80° stays at the view's edge.
        v.CentreOn(lon, std::clamp(lat, -kGeoMaxLatitude, kGeoMaxLatitude));
        v.FitScales();
        std::tie(x, y) = v.Project(lon, lat);
    }
    Show();
    if (!p_.Form1) return;
    // The pointer onto the place (where the platform lets a program move it), and a flash of
    // growing squares from a timer: nothing waits.
    Screen().Cursor().SetPos(p_.Form1->PaintBoxToScreen(x, y));
    FlashAt = QPoint(x, y);
    FlashSteps = kFlashSteps;
    UpdateOverlay();
    auto* timer = new QTimer(p_.Form1->PaintBox);
    timer->setInterval(kFlashStepMs);
    QObject::connect(timer, &QTimer::timeout, [this, timer] {
        if (--FlashSteps <= 0) {
            FlashSteps = 0;
            timer->stop();
            timer->deleteLater();
        }
        UpdateOverlay();
    });
    timer->start();
}

bool GeoScreen::OpenCitySizeForHover() {
    return OpenCitySize(p_, atlas_, map_.mapCityIndex);
}

void RegisterGeoScreen(shell::Program& p, Atlas& atlas) {
    GeoMapState& map = p.Own<GeoMapState>();
    GeoScreen& screen = p.Own<GeoScreen>(p, atlas, map);
    shell::Services& svc = p.Svc;
    p.FormClasses.Register("GeoSet", [&p, &map] { return new TGeoSet(p, map); });

    svc.AddStartStep(shell::StartStage::Map, "LoadGeoColors", [&screen] { screen.LoadColors(); });
    svc.AddStartStep(shell::StartStage::Map, "InitGeoMap", [&screen] { screen.InitGeoMap(); });

    shell::ScreenHandler h;
    h.Draw = [&screen] { screen.RedrawGeoMap(); };
    h.MouseDown = [&screen](MouseButton b, Shift s, int x, int y) { screen.MouseDown(b, s, x, y); };
    h.MouseMove = [&screen](Shift s, int x, int y) { screen.MouseMove(s, x, y); };
    h.MouseUp = [&screen](MouseButton b, Shift s, int x, int y) { screen.MouseUp(b, s, x, y); };
    h.NavKey = [&screen](int key, Shift s) { return screen.NavKey(key, s); };
    h.Pan = [&screen](const std::string& button) { screen.PanButton(button); };
    h.SettingsKey = [&p, &screen](int x, int y) {
        if (p.Form1) screen.PopupMenu(p.Form1->mapToGlobal(QPoint(x, y)));
    };
    h.Background = [&p, &map]() -> uint32_t {
        return p.Checked("GeoSet", "ConturBox") ? 0xFFFFFF : map.colors.ocean;
    };
    svc.Screens['G'] = h;

    svc.MenuActions["N_GeoLevel"] = [&screen, &map] {
        if (map.view.ZoomOut()) screen.Show();
    };
    svc.MenuActions["N_CitySize"] = [&screen] { screen.OpenCitySizeForHover(); };
    svc.TickDuties["AtlasMapPending"] = [&screen, &atlas] {
        if (!atlas.AtlasMapPending) return;
        atlas.AtlasMapPending = 0;
        screen.ShowPlaceOnGeoMap(atlas.AtlasMapLat, atlas.AtlasMapLong);
    };
    svc.SaveDuties["GeoColors"] = [] {
        if (auto* w = dynamic_cast<TGeoSet*>(Screen().FindForm("GeoSet"))) w->StoreColours();
    };
}

} // namespace qor::geo
