#include "geo/AtlasWindow.h"

#include "core/Formats.h"
#include "core/Text.h"
#include "geo/AtlasPlace.h"
#include "geo/AtlasText.h"
#include "geo/ZoneWindow.h"
#include "shell/MainForm.h"
#include "shell/Tech.h"

#include <QApplication>
#include <QScrollBar>

#include <cmath>

namespace qor::geo {

using namespace ui;

namespace {

constexpr int kPanelHeight = 30;
// Grid columns: size mark, name and region, latitude, longitude, code, zone region.
constexpr int kColWidths[6] = {28, 300, 62, 70, 42, 28};

bool FormVisible(const char* name) {
    const TForm* f = Screen().FindForm(name);
    return f && f->isVisible();
}

} // namespace

std::string AtlasTakeTarget() {
    if (FormVisible("QorLoc")) return "QorLoc";
    if (FormVisible("DataForm")) return "DataForm";
    return {};
}

ZoneMoment MomentOf(const QDateTime& t) {
    return {t.date().year(), t.date().month(), t.date().day(), t.time().hour(), t.time().minute()};
}

ZoneMoment BirthDataMoment(const shell::Program& p) {
    const std::string date = p.Text("DataForm", "DateEdit");
    const bool era = p.Checked("DataForm", "EraCheckBox");
    if (const auto m = ZoneMomentFromTexts(date + (era ? "B" : ""), p.Text("DataForm", "TimeEdit")))
        return *m;
    return MomentOf(QDateTime::currentDateTime());
}

TCities::TCities(shell::Program& p, Atlas& atlas) : TForm("Cities"), p_(p), a_(atlas) {
    SetCaption("Атлас"_cp);
    SetToolWindow(true);
    SetHelpTopic("atlas_of_cities.html");
    SetStoresSettings(true);
    SetBounds(180, 110, 580, 440);
    Tag = 2000; // help context

    auto speed = [this](const char* name, char32_t symbol, const std::string& hint, int x) {
        auto* b = Add<TSpeedButton>(name, {x, 3, 26, 24});
        b->SetSymbol(symbol);
        SetHint(b, hint);
        return b;
    };
    GetBtn = speed("GetBtn", U'\u2714', "Выбрать"_cp, 4);
    TimeBtn = speed("TimeBtn", U'\u25F7', "Временная зона"_cp, 32);
    MapBtn = speed("MapBtn", U'\u2295', "Карта мира"_cp, 60);
    CityEdit = Add<TEdit>("CityEdit", {94, 4, 200, 22});
    ComboBox = Add<TComboBox>("ComboBox", {300, 4, 200, 22});
    ComboBox->SetTypingAllowed(false);
    ComboBox->SetItems(AtlasFilterChoices(p_.s, a_));
    ComboBox->SetItemIndex(0);
    DrawGrid = Add<TDrawGrid>("DrawGrid");
    DrawGrid->SetFixed(0, 0);
    DrawGrid->SetColCount(6);
    DrawGrid->SetRowCount(0);
    DrawGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    DrawGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DrawGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int c = 0; c < 6; ++c) DrawGrid->SetColWidth(c, kColWidths[c]);
    PopupMenu = Add<TPopupMenu>("PopupMenu");
    NGetCity = AddMenuItem("NGetCity", "Выбрать"_cp, PopupMenu);
    N1 = AddMenuItem("N1", "-", PopupMenu);
    NCreate = AddMenuItem("NCreate", "Создать Atlas.txt"_cp, PopupMenu);
    NLoad = AddMenuItem("NLoad", "Загрузить Atlas.txt"_cp, PopupMenu);

    GetBtn->OnClick = [this] { GetBtnClick(); };
    TimeBtn->OnClick = [this] { TimeBtnClick(); };
    MapBtn->OnClick = [this] { MapBtnClick(); };
    NGetCity->OnClick = [this] { GetBtnClick(); };
    NCreate->OnClick = [this] { NCreateClick(); };
    NLoad->OnClick = [this] { NLoadClick(); };
    CityEdit->OnChange = [this] { CityEditChange(); };
    ComboBox->OnChange = [this] { ComboBoxChange(); };
    DrawGrid->OnDrawCell = [this](QPainter& painter, int col, int row, const QRect& r, int state) {
        DrawGridDrawCell(painter, col, row, r, state);
    };
    DrawGrid->OnDblClick = [this] { GetBtnClick(); };
    DrawGrid->OnKeyDown = [this](int& key, Shift) {
        if (key == vk::Return) {
            key = 0;
            GetBtnClick();
        } else if (key == vk::F12) {
            key = 0;
            ShowPopup(mapToGlobal(QPoint(width() / 2, height() / 2)));
        }
    };
    DrawGrid->OnMouseDown = [this](MouseButton b, Shift, int x, int y) {
        if (b != MouseButton::Right) return;
        if (const int row = DrawGrid->CellAt(x, y).first; row >= 0) DrawGrid->SetRow(row);
        ShowPopup(DrawGrid->viewport()->mapToGlobal(QPoint(x, y)));
    };
    OnShow = [this] { FormShow(); };
    OnResize = [this] { LayoutControls(); };
    OnClose = [this](CloseAction& action) {
        FormClose();
        action = CloseAction::Free;
    };
    LayoutControls();
}

void TCities::LayoutControls() {
    const QWidget* client = Client();
    const int w = client->width(), h = client->height();
    ComboBox->setGeometry(ComboBox->x(), ComboBox->y(), std::max(w - ComboBox->x() - 4, 80), 22);
    DrawGrid->setGeometry(0, kPanelHeight, w, std::max(h - kPanelHeight, 20));
    // The name column takes what the other columns leave.
    int others = 0;
    for (int c = 0; c < 6; ++c)
        if (c != 1) others += DrawGrid->ColWidth(c);
    const int scroll = DrawGrid->verticalScrollBar()->sizeHint().width() + 4;
    DrawGrid->SetColWidth(1, std::max(w - others - scroll, kColWidths[1]));
}

void TCities::FormShow() {
    const QFont f = DrawGrid->font();
    const double dpi = DrawGrid->logicalDpiY();
    const double points = f.pointSizeF() > 0 ? f.pointSizeF() : f.pixelSize() * 72.0 / dpi;
    DrawGrid->SetDefaultRowHeight(static_cast<int>(std::lround(points * dpi / 72)) + 6);
    // The edition's own choices (the English texts name the Russian ones); the text stays.
    ComboBox->SetItems(AtlasFilterChoices(p_.s, a_));
    SetAtlasFilter(p_.s, a_, ComboBox->Text());
    CityEditChange();
}

void TCities::FormClose() {
    a_.list.clear();
    a_.list.shrink_to_fit();
    DrawGrid->SetRowCount(0);
    p_.Commands.RunUICommand("DataForm,", "SetFocus");
}

void TCities::Refilter() {
    FilterAtlas(p_.s, a_);
    SetCaption(AtlasCaption(Caption(), a_.list.size()));
    DrawGrid->SetRowCount(static_cast<int>(a_.list.size()));
    DrawGrid->Invalidate();
}

void TCities::CityEditChange() {
    if (!a_.ready) return;
    Refilter();
    DrawGrid->SetRow(0);
    DrawGrid->SetTopRow(0);
    if (const auto row = FindAtlasRow(p_.s, a_, CityEdit->Text())) {
        DrawGrid->SetRow(static_cast<int>(*row));
        DrawGrid->SetTopRow(static_cast<int>(*row));
    }
    DrawGrid->Invalidate();
}

void TCities::ComboBoxChange() {
    SetAtlasFilter(p_.s, a_, ComboBox->Text());
    Refilter();
}

std::string TCities::CellText(int col, int row) {
    return AtlasCellText(p_.s, a_, col, row, &regions_);
}

void TCities::DrawGridDrawCell(QPainter& painter, int col, int row, const QRect& r, int state) {
    const QPalette& pal = DrawGrid->palette();
    const bool selected = row == DrawGrid->Row();
    painter.fillRect(r, selected ? pal.highlight() : pal.base());
    painter.setPen(selected ? pal.highlightedText().color() : pal.text().color());
    painter.drawText(r.adjusted(3, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, ToQ(CellText(col, row)));
}

void TCities::GetBtnClick() {
    const std::string target = AtlasTakeTarget();
    const int row = DrawGrid->Row();
    if (target.empty() || row < 0 || static_cast<std::size_t>(row) >= a_.list.size()) return;
    AtlasPlace place;
    if (target == "QorLoc") {
        // The own place's dT is today's: the zone at the city's local time now.
        const QDateTime utc = QDateTime::currentDateTimeUtc();
        place = TakeAtlasPlace(p_.s, a_, row, MomentOf(utc), &regions_);
        if (place.zone.ok)
            place = TakeAtlasPlace(p_.s, a_, row, MomentOf(utc.addSecs(place.zone.dT() * 60LL)),
                                   &regions_);
    } else {
        place = TakeAtlasPlace(p_.s, a_, row, BirthDataMoment(p_), &regions_);
    }
    const bool home = target == "QorLoc";
    const std::pair<const char*, const char*> fields[] = {{"astCity", "CityEdit"},
                                                          {"astCountry", "CountryEdit"},
                                                          {"astLat", "LatEdit"},
                                                          {"astLong", "LongEdit"},
                                                          {"astdT", "dTEdit"}};
    const std::string* values[] = {&place.city, &place.country, &place.lat, &place.lon, &place.dT};
    for (int i = 0; i < 5; ++i) {
        // A zone that could not be found (already reported) leaves the field as it was.
        if (values[i]->empty() && i == 4) continue;
        p_.Commands.RunUICommand(target + "," + (home ? fields[i].first : fields[i].second),
                                 *values[i]);
    }
    Close();
}

void TCities::TimeBtnClick() {
    const int row = DrawGrid->Row();
    if (row < 0 || static_cast<std::size_t>(row) >= a_.list.size()) return;
    auto* zone = dynamic_cast<TZone*>(Screen().Ensure("Zone"));
    if (!zone) return;
    if (zone->State() == WindowState::Minimized) zone->SetWindowState(WindowState::Normal);
    zone->show();
    zone->ShowZone(TakeAtlasPlace(p_.s, a_, row, BirthDataMoment(p_), &regions_).zone);
}

void TCities::MapBtnClick() {
    // The main clock shows the pending place on the map and clears the flag.
    if (!SetAtlasMapPlace(a_, DrawGrid->Row())) return;
    Close();
    if (TForm* data = Screen().FindForm("DataForm"); data && data->isVisible()) data->Close();
    if (p_.Flags.ScreenMode != 'G' && p_.Form1) p_.Form1->RunItem("Ngeo");
}

void TCities::PopupMenuPopup() {
    NGetCity->setEnabled(!AtlasTakeTarget().empty());
    NCreate->setEnabled(true);
    NLoad->setEnabled(ProgramFileExists(p_.s.ProgramFolder, a_.files.text));
}

void TCities::ShowPopup(QPoint screenPoint) {
    PopupMenuPopup();
    PopupMenu->Popup(screenPoint.x(), screenPoint.y());
}

void TCities::NCreateClick() {
    SetStatus(p_.s, Lang(p_.s, "Подождите..."_cp, "Wait..."));
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    ExportAtlasTxt(p_.s, a_);
}

void TCities::NLoadClick() {
    // A failed import leaves the files and the atlas as they were.
    if (!ImportAtlasTxt(p_.s, a_)) return;
    regions_ = RegionTextCache();
    Refilter();
    if (p_.Tech) p_.Tech->RefreshAll();
}

} // namespace qor::geo
