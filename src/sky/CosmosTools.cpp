#include "sky/CosmosTools.h"

#include "core/Formats.h"
#include "core/Text.h"
#include "sky/BodyTables.h"

#include <QPainter>

namespace qor {

using namespace ui;

// --- Planet window ---------------------------------------------------------------------------

TPlnForm::TPlnForm(CosmosSky& sky) : TForm("PlnForm"), sky_(sky) {
    SetHelpTopic("cosmos.html");
    SetCaption("Планета"_cp);
    SetBorderStyle(BorderStyle::Dialog);
    SetToolWindow(true);
    SetKeyPreview(true);
    SetStoresSettings(true);
    SetBounds(480, 120, 440, 260);
    struct Row {
        const char* caption;
        int label, x, y;
    };
    // captions Label1.., values by their numbers
    const Row rows[] = {
        {"Долгота", 2, 10, 10},       {"Широта", 3, 10, 28},        {"Пр.восхожд.", 4, 10, 46},
        {"Склонение", 5, 10, 64},     {"Азимут", 6, 10, 82},        {"Высота", 7, 10, 100},
        {"Накл.орбиты", 20, 220, 10}, {"Эксцентр.", 21, 220, 28},   {"Б.полуось", 22, 220, 46},
        {"Долг.узла", 23, 220, 64},   {"Долг.периг.", 24, 220, 82}, {"Долг.в орб.", 25, 220, 100},
        {"От Солнца", 26, 10, 136},   {"От Земли", 28, 10, 154},    {"Восход", 31, 10, 190},
        {"Заход", 32, 10, 208},       {"Кульминация", 34, 10, 226}};
    int n = 40;
    for (const Row& r : rows) {
        auto* c = Add<TLabel>("Label" + std::to_string(n++), {r.x, r.y, 104, 18});
        c->SetCaption(Cp(r.caption));
        Values[r.label] = Add<TLabel>("Label" + std::to_string(r.label), {r.x + 106, r.y, 105, 18});
    }
    OnClose = [](CloseAction& a) { a = CloseAction::Free; };
}

void TPlnForm::FillPlanetInfo() {
    PlanetInfoTexts t;
    if (!sky_.PlanetInfo || !sky_.PlanetInfo(sky_.ClickedIndex, t)) return;
    SetCaption(t.Caption);
    for (int i = 0; i < 35; ++i)
        if (Values[i]) Values[i]->SetCaption(t.Label[i]);
}

void ShowPlanetInfo(CosmosSky& sky, int index) {
    if (index >= 0) sky.ClickedIndex = index;
    auto* f = Screen().Ensure<TPlnForm>("PlnForm");
    if (!f) return;
    f->FillPlanetInfo();
    f->show();
    f->raise();
}

// --- Satellites window -----------------------------------------------------------------------

TSatData::TSatData(CosmosSky& sky) : TForm("SatData"), sky_(sky) {
    SetCaption("Спутники"_cp);
    SetToolWindow(true);
    SetKeyPreview(true);
    SetHelpTopic("satellites.html");
    SetStoresSettings(true);
    SetBounds(60, 120, 1100, 400);
    DrawGrid = Add<TDrawGrid>("DrawGrid", {0, 0, 1100, 400});
    DrawGrid->SetColCount(kSatColumns);
    DrawGrid->SetFixed(1, 1);
    Memo = Add<TMemo>("Memo", {0, 0, 10, 10});
    Memo->SetLines(DefaultSatelliteFlags());
    Memo->hide();
    PopupMenu = Add<TPopupMenu>("PopupMenu");
    N1 = AddMenuItem("N1", "Найти"_cp, PopupMenu);
    N2 = AddMenuItem("N2", "Показывать орбиту"_cp, PopupMenu);
    N5 = AddMenuItem("N5", "Показывать схему"_cp, PopupMenu);
    N6 = AddMenuItem("N6", "Включить все орбиты"_cp, PopupMenu);
    N7 = AddMenuItem("N7", "Отключить все орбиты"_cp, PopupMenu);
    N3 = AddMenuItem("N3", "Корректировать"_cp, PopupMenu);
    N2->setCheckable(true);
    N5->setCheckable(true);
    N3->setEnabled(false);
    PopupMenu->setDefaultAction(N1);
    N1->OnClick = [this] { N1Click(); };
    N2->OnClick = [this] { N2Click(); };
    N5->OnClick = [this] { N5Click(); };
    N6->OnClick = [this] { SetAllOrbits(true); };
    N7->OnClick = [this] { SetAllOrbits(false); };
    DrawGrid->OnDrawCell = [this](QPainter& p, int col, int row, const QRect& rc, int) {
        if (row == 0) {
            const std::string h = SatelliteHeader(sky_.s, mode_, col);
            const std::size_t slash = h.find('/');
            const int line = DrawGrid->DefaultRowHeight();
            p.drawText(rc.adjusted(0, 0, 0, -line), Qt::AlignHCenter | Qt::AlignTop,
                       ToQ(h.substr(0, slash)));
            if (slash != std::string::npos)
                p.drawText(rc.adjusted(0, line, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
                           ToQ(h.substr(slash + 1)));
            return;
        }
        p.drawText(rc.adjusted(3, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   ToQ(SatelliteCell(sky_.s, sky_.bodies, mode_, row, col)));
    };
    DrawGrid->OnMouseUp = [this](MouseButton b, Shift, int x, int y) {
        const auto [row, col] = DrawGrid->CellAt(x, y);
        if (row > 0 && col >= 0) {
            DrawGrid->SetRow(row);
            if (col > 0) DrawGrid->SetCol(col);
        }
        if (b == MouseButton::Right && row > 0) {
            PopupMenuPopup();
            const QPoint at = DrawGrid->viewport()->mapToGlobal(QPoint(x, y));
            PopupMenu->Popup(at.x(), at.y());
        }
    };
    OnKeyDown = [this](int& key, Shift) {
        if (key == vk::F12 && CurrentRow() > 0) {
            PopupMenuPopup();
            const QPoint at = mapToGlobal(QPoint(width() / 2, height() / 2));
            PopupMenu->Popup(at.x(), at.y());
            key = 0;
        }
    };
    OnShow = [this] { FillTable(); };
    OnClose = [this](CloseAction& a) {
        Memo->SetLines(SaveSatelliteFlags(sky_.bodies));
        a = CloseAction::Free;
    };
}

void TSatData::FillTable() {
    mode_ = sky_.bodies.CosmosMode;
    const int slot = CosmosModeSlot(mode_);
    const std::string centre = slot >= 0 ? TrimRight(sky_.bodies.PlanetsMdb[slot].Name) : "";
    SetCaption(Trim(centre) + Lang(sky_.s, Cp(" - спутники"), " - satellites"));
    const int line = QFontMetrics(DrawGrid->font()).height() + 3;
    DrawGrid->SetDefaultRowHeight(line);
    DrawGrid->SetRowCount(SatelliteRows(mode_) + 1);
    DrawGrid->setRowHeight(0, 2 * line);
    // each column as wide as its widest header line or cell
    const QFontMetrics fm(DrawGrid->font());
    int total = 0;
    for (int c = 0; c < kSatColumns; ++c) {
        const std::string h = SatelliteHeader(sky_.s, mode_, c);
        const std::size_t slash = h.find('/');
        int w = std::max(
            fm.horizontalAdvance(ToQ(h.substr(0, slash))),
            slash == std::string::npos ? 0 : fm.horizontalAdvance(ToQ(h.substr(slash + 1))));
        if (c == 0) w = std::max(w, fm.horizontalAdvance(ToQ("ДездемонаXX"_cp)));
        for (int r = 1; r <= SatelliteRows(mode_); ++r)
            w = std::max(
                w, fm.horizontalAdvance(ToQ(SatelliteCell(sky_.s, sky_.bodies, mode_, r, c))));
        DrawGrid->SetColWidth(c, w + 12);
        total += w + 13;
    }
    resize(std::min(total + 24, Screen().Width() > 0 ? Screen().Width() - 40 : total + 24),
           height());
    const int rows = DrawGrid->RowCount();
    resize(width(), 2 * line + (line + 1) * rows + 32);
    DrawGrid->resize(width(), height());
    DrawGrid->Invalidate();
}

int TSatData::CurrentRow() const {
    const int r = DrawGrid->Row();
    return r >= 1 && r <= SatelliteRows(mode_) ? r : 0;
}

void TSatData::PopupMenuPopup() {
    const int r = CurrentRow();
    if (r == 0) return;
    N2->SetChecked(sky_.bodies.OrbitFlags[mode_][r] != 0);
    N5->SetChecked(sky_.bodies.OrbitSchemeFlags[mode_][r] != 0);
    std::string name = SatelliteCell(sky_.s, sky_.bodies, mode_, r, 0);
    std::erase(name, ' ');
    N1->SetCaption(Lang(sky_.s, Cp("Найти"), "Find") + " \"" + name + "\"");
}

void TSatData::N1Click() {
    const int r = CurrentRow();
    if (r == 0) return;
    std::string name = SatelliteCell(sky_.s, sky_.bodies, mode_, r, 0);
    std::erase(name, ' ');
    Close();
    if (sky_.FindOnScreen) sky_.FindOnScreen(name);
}

void TSatData::N2Click() {
    const int r = CurrentRow();
    if (r == 0) return;
    uint8_t& f = sky_.bodies.OrbitFlags[mode_][r];
    f = f ? 0 : 1;
    DrawGrid->Invalidate();
    if (sky_.Redraw) sky_.Redraw();
}

void TSatData::N5Click() {
    const int r = CurrentRow();
    if (r == 0) return;
    uint8_t& f = sky_.bodies.OrbitSchemeFlags[mode_][r];
    f = f ? 0 : 1;
    DrawGrid->Invalidate();
    if (sky_.Redraw) sky_.Redraw();
}

void TSatData::SetAllOrbits(bool on) {
    if (mode_ < 0) return;
    for (int k = 1; k <= 21; ++k) sky_.bodies.OrbitFlags[mode_][k] = on ? 1 : 0;
    DrawGrid->Invalidate();
    if (sky_.Redraw) sky_.Redraw();
}

void ShowSatellites(CosmosSky& sky) {
    auto* f = Screen().Ensure<TSatData>("SatData");
    if (!f) return;
    LoadSatelliteFlags(sky.bodies, f->Memo->Lines());
    f->show();
    f->FillTable();
    f->raise();
}

// --- Surface designer ------------------------------------------------------------------------

TImgDes::TImgDes(CosmosSky& sky) : TForm("ImgDes"), sky_(sky) {
    SetCaption("Дизайнер поверхности"_cp);
    SetBorderStyle(BorderStyle::Dialog);
    SetToolWindow(true);
    SetKeyPreview(true);
    SetHelpTopic("surface_designer.html");
    SetStoresSettings(true);
    SetBounds(300, 140, 430, 330);
    PlnEdit = Add<TEdit>("PlnEdit", {10, 10, 200, 24});
    PlnEdit->setReadOnly(true);
    FileEdit = Add<TEdit>("FileEdit", {220, 10, 200, 24});
    FileEdit->setReadOnly(true);
    auto caption = [this](const char* name, const char* text, QRect r) {
        auto* l = Add<TLabel>(name, r);
        l->SetCaption(Cp(text));
        return l;
    };
    caption("Label1", "Номер", {10, 46, 80, 20});
    NumSpinEdit = Add<TSpinEdit>("NumSpinEdit", {100, 44, 70, 24});
    NumSpinEdit->SetRange(0, kMaxSurfaceRecords - 1);
    ShowNumbBox = Add<TCheckBox>("ShowNumbBox", {180, 44, 90, 24});
    ShowNumbBox->SetCaption("Номер"_cp);
    caption("Label2", "Долгота", {10, 78, 80, 20});
    LEdit = Add<TEdit>("LEdit", {100, 76, 70, 24});
    caption("Label3", "Широта", {10, 108, 80, 20});
    BEdit = Add<TEdit>("BEdit", {100, 106, 70, 24});
    caption("Label4", "Радиус", {10, 138, 80, 20});
    REdit = Add<TEdit>("REdit", {100, 136, 70, 24});
    caption("Label5", "Форма", {10, 168, 80, 20});
    ComboBox1 = Add<TComboBox>("ComboBox1", {100, 166, 110, 24});
    ComboBox1->SetItems({"Круг"_cp, "Кольцо"_cp});
    ComboBox1->SetItemIndex(0);
    ComboBox1->SetTypingAllowed(false);
    caption("Label6", "Название", {10, 198, 80, 20});
    NameEdit = Add<TEdit>("NameEdit", {100, 196, 180, 24});
    Panel2 = Add<TPanel>("Panel2", {290, 44, 130, 130});
    PaintBox = Add<TPaintBox>("PaintBox", {0, 0, 130, 130}, Panel2);
    PlnLabel = caption("PlnLabel", "Планета", {290, 180, 130, 18});
    RegLabel = caption("RegLabel", "Область", {290, 198, 130, 18});
    CntLabel = caption("CntLabel", "Контур", {290, 216, 130, 18});
    SatRingLabel = caption("SatRingLabel", "Кольца Сатурна", {10, 232, 120, 20});
    SatRingEdit = Add<TEdit>("SatRingEdit", {140, 230, 90, 24});
    SatRingEdit->SetText("11189177");
    SatRingEdit->setReadOnly(true);
    for (TLabel* l : {PlnLabel, RegLabel, CntLabel, SatRingLabel})
        l->setCursor(Qt::PointingHandCursor);
    CreateButton = Add<TButton>("CreateButton", {10, 280, 96, 28});
    CreateButton->SetCaption("Создать"_cp);
    ChangeButton = Add<TButton>("ChangeButton", {114, 280, 96, 28});
    ChangeButton->SetCaption("Изменить"_cp);
    DeleteButton = Add<TButton>("DeleteButton", {218, 280, 96, 28});
    DeleteButton->SetCaption("Удалить"_cp);
    MultButton = Add<TButton>("MultButton", {322, 280, 96, 28});
    MultButton->SetCaption("Размножить"_cp);

    Random = [this](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); };
    NumSpinEdit->OnChange = [this] {
        int k = NumSpinEdit->Value();
        if (k > regions_.LastIndex) k = regions_.LastIndex;
        if (k == 0 && regions_.LastIndex > 0) k = 1;
        if (k != NumSpinEdit->Value()) NumSpinEdit->SetValue(k);
        ShowSurfaceRegion(k);
    };
    CreateButton->OnClick = [this] { CreateButtonClick(); };
    ChangeButton->OnClick = [this] { ChangeButtonClick(); };
    DeleteButton->OnClick = [this] { DeleteButtonClick(); };
    MultButton->OnClick = [this] { MultButtonClick(); };
    PlnLabel->OnClick = [this] { EditColour(0); };
    RegLabel->OnClick = [this] { EditColour(1); };
    CntLabel->OnClick = [this] { EditColour(2); };
    SatRingLabel->OnClick = [this] { EditColour(3); };
    ShowNumbBox->OnClick = [this] {
        if (sky_.RefreshAll) sky_.RefreshAll();
    };
    PaintBox->OnPaint = [this](QPainter& p) {
        const int w = PaintBox->width(), h = PaintBox->height();
        if (w < 10 || h < 10) return;
        p.fillRect(0, 0, w, h, ToQColor(regions_.Records[0].Fill));
        const SurfaceRecord& r = regions_.Records[Current()];
        p.setBrush(ToQColor(r.Fill));
        p.setPen(ToQColor(r.Contour));
        p.drawEllipse(QRect(10, 10, w - 20, h - 20));
    };
    OnShow = [this] { LoadRegions(); };
}

uint8_t TImgDes::RingShape() const {
    return ComboBox1->IndexOf(ComboBox1->Text()) == 1 ? 1 : 0;
}

int TImgDes::Current() const {
    const int k = NumSpinEdit->Value();
    return k >= 0 && k <= regions_.LastIndex ? k : 0;
}

void TImgDes::LoadRegions() {
    const int mode = sky_.bodies.CosmosMode;
    const int slot = CosmosModeSlot(mode);
    regions_ = SurfaceRegions{};
    regions_.Mode = mode;
    regions_.BodySlot = slot < 0 ? 0 : slot;
    if (mode >= 2) LoadSurfaceRegions(sky_.s, mode, slot, regions_);
    PlnEdit->SetText(slot >= 0 ? Trim(sky_.bodies.PlanetsMdb[slot].Name) : "");
    const std::string img = SurfaceImgName(mode), nme = SurfaceNmeName(mode);
    FileEdit->SetText(img.substr(img.find('\\') + 1) + ",  " + nme.substr(nme.find('\\') + 1));
    SetEnabled(SatRingLabel, mode == 7);
    NumSpinEdit->SetValue(regions_.LastIndex);
    ShowSurfaceRegion(regions_.LastIndex);
}

void TImgDes::ShowSurfaceRegion(int k) {
    if (k < 0 || k > regions_.LastIndex) k = 0;
    const SurfaceRecord& r = regions_.Records[k];
    ComboBox1->SetItemIndex(r.Shape == 1 ? 1 : 0);
    LEdit->SetText("");
    BEdit->SetText("");
    REdit->SetText("");
    NameEdit->SetText("");
    if (k != 0) {
        LEdit->SetText(std::to_string(r.Lon));
        BEdit->SetText(std::to_string(r.Lat));
        REdit->SetText(Trim(FloatToStrComma(4, 2, r.Radius / 100.0)));
        if (r.NameNo >= 1 && r.NameNo <= regions_.NameCount)
            NameEdit->SetText(regions_.Names[r.NameNo]);
    }
    PaintBox->Invalidate();
}

bool TImgDes::Save() {
    const bool ok = SaveSurfaceRegions(sky_.s, regions_);
    PaintBox->Invalidate();
    if (sky_.RefreshAll) sky_.RefreshAll();
    return ok;
}

namespace {

// The typed place, or a message naming the fields' ranges.
std::optional<RegionPlace> TypedPlace(AstroDat& s, TImgDes& d) {
    auto place = ParseRegionPlace(d.LEdit->Text(), d.BEdit->Text(), d.REdit->Text());
    if (!place)
        Screen().Dlg().Message(
            MsgKind::Warning,
            Lang(s, Cp("Долгота от -360 до 360, широта от -90 до 90, радиус от 0 до 2,55"),
                 "Longitude -360 to 360, latitude -90 to 90, radius 0 to 2.55"),
            MsgButtons::Ok);
    return place;
}

} // namespace

void TImgDes::CreateButtonClick() {
    if (regions_.LastIndex + 1 >= kMaxSurfaceRecords) return;
    const auto place = TypedPlace(sky_.s, *this);
    if (!place) return;
    const SurfaceRecord& from = regions_.Records[Current()];
    const int k = CreateSurfaceRegion(regions_, RingShape(), *place, from.Fill, from.Contour,
                                      NameEdit->Text());
    if (k == 0) return;
    NumSpinEdit->SetValue(k);
    ShowSurfaceRegion(k);
    Save();
}

void TImgDes::ChangeButtonClick() {
    const int k = Current();
    if (regions_.LastIndex == 0 || k == 0) return;
    const auto place = TypedPlace(sky_.s, *this);
    if (!place) return;
    ChangeSurfaceRegion(regions_, k, RingShape(), *place, NameEdit->Text());
    ShowSurfaceRegion(k);
    Save();
}

void TImgDes::DeleteButtonClick() {
    if (regions_.LastIndex == 0) return;
    const int k = DeleteSurfaceRegion(regions_, std::max(1, Current()));
    NumSpinEdit->SetValue(k);
    ShowSurfaceRegion(k);
    Save();
}

void TImgDes::MultButtonClick() {
    if (regions_.LastIndex == 0) return;
    const int k = MultiplySurfaceRegion(regions_, std::max(1, Current()), Random);
    NumSpinEdit->SetValue(k);
    ShowSurfaceRegion(k);
    Save();
}

void TImgDes::EditColour(int which) {
    const int k = Current();
    if ((which == 1 || which == 2) && (regions_.LastIndex == 0 || k == 0)) return;
    if (which == 3) {
        if (sky_.bodies.CosmosMode != 7) return;
        ui::Colour c = static_cast<ui::Colour>(StrToIntDef0(SatRingEdit->Text()));
        if (!Screen().Dlg().ChooseColor(c)) return;
        SatRingEdit->SetText(std::to_string(c));
        if (sky_.RefreshAll) sky_.RefreshAll();
        return;
    }
    SurfaceRecord& r = regions_.Records[which == 0 ? 0 : k];
    ui::Colour& c = which == 2 ? r.Contour : r.Fill;
    ui::Colour chosen = c;
    if (!Screen().Dlg().ChooseColor(chosen)) return;
    c = chosen;
    Save();
}

void RegisterCosmosTools(std::shared_ptr<CosmosSky> sky) {
    FormScreen& screen = Screen();
    screen.RegisterFormClass("PlnForm", [sky] { return new TPlnForm(*sky); });
    screen.RegisterFormClass("SatData", [sky] { return new TSatData(*sky); });
    screen.RegisterFormClass("ImgDes", [sky] { return new TImgDes(*sky); });
}

} // namespace qor
