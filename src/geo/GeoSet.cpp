#include "geo/GeoSet.h"

#include "core/Text.h"
#include "shell/MainForm.h"
#include "shell/SettingsDialogs.h"

#include <QPainter>

namespace qor::geo {

using namespace ui;

namespace {

const char* const kPlanetNames[10] = {"Солнце", "Луна",   "Меркурий", "Венера", "Марс",
                                      "Юпитер", "Сатурн", "Уран",     "Нептун", "Плутон"};

// The six colours of the map in the order of the memo's lines.
uint32_t* ColourSlot(GeoColors& c, int which) {
    uint32_t* const fields[] = {&c.ocean, &c.land, &c.grid, &c.frame, &c.acg, &c.label};
    return fields[std::clamp(which, 0, 5)];
}

} // namespace

TGeoSet::TGeoSet(shell::Program& p, GeoMapState& map) : TForm("GeoSet"), p_(p), map_(map) {
    SetCaption("Установки геокарты"_cp);
    SetToolWindow(true); // Esc closes it
    SetBorderStyle(BorderStyle::Dialog);
    SetHelpTopic("setup_of_geographical_map.html");
    SetStoresSettings(true);
    SetBounds(240, 120, 372, 330);
    Tag = 1000; // help context

    TabControl = Add<TTabControl>("TabControl", {4, 4, 364, 322});
    TabControl->SetTabs({"Главные"_cp, "A*C*G", "Выбор"_cp});
    MainPanel = Add<TPanel>("MainPanel", {8, 32, 356, 290});
    KartPanel = Add<TPanel>("KartPanel", {8, 32, 356, 290});
    DataPanel = Add<TPanel>("DataPanel", {8, 32, 356, 290});

    auto check = [this](const char* name, const std::string& caption, QRect r, TPanel* on,
                        bool checked) {
        auto* c = Add<TCheckBox>(name, r, on);
        c->SetCaption(caption);
        c->SetChecked(checked);
        return c;
    };
    // Panels' captions are not among the English texts: they take the language here.
    auto panel = [this](const char* name, const char* ru, const char* en, QRect r, TPanel* on) {
        auto* c = Add<TPanel>(name, r, on);
        c->SetCaption(Lang(p_.s, Cp(ru), en));
        c->setFrameShape(QFrame::Panel);
        c->setFrameShadow(QFrame::Raised);
        c->setCursor(Qt::PointingHandCursor);
        return c;
    };

    // Main page.
    CityBox = check("CityBox", "Отметки городов"_cp, {10, 8, 170, 20}, MainPanel, true);
    CityNameBox = check("CityNameBox", "Названия городов"_cp, {10, 30, 170, 20}, MainPanel, false);
    SpinEdit1 = Add<TSpinEdit>("SpinEdit1", {26, 54, 48, 22}, MainPanel);
    SpinEdit1->SetRange(0, 8);
    SpinEdit1->setSingleStep(2);
    SpinEdit1->SetValue(0);
    Label1 = Add<TLabel>("Label1", {80, 57, 110, 16}, MainPanel);
    Label1->SetCaption("+ размер шрифта"_cp);
    GreedBox = check("GreedBox", "Сетка"_cp, {10, 82, 170, 20}, MainPanel, true);
    ConturBox = check("ConturBox", "Контурная"_cp, {10, 104, 170, 20}, MainPanel, false);
    GeoCoordBox = check("GeoCoordBox", "Координаты"_cp, {10, 126, 170, 20}, MainPanel, true);
    PromptCheckBox = check("PromptCheckBox", "Подсказка"_cp, {10, 148, 170, 20}, MainPanel, true);

    Label2 = Add<TLabel>("Label2", {196, 8, 150, 16}, MainPanel);
    Label2->SetCaption("Шаг сетки"_cp);
    Label3 = Add<TLabel>("Label3", {196, 24, 150, 16}, MainPanel);
    Label3->SetCaption("линии   надписи"_cp);
    const GeoMapOptions defaults;
    TEdit** edits[10] = {&Edit1, &Edit2, &Edit3, &Edit4, &Edit5,
                         &Edit6, &Edit7, &Edit8, &Edit9, &Edit10};
    for (int i = 0; i < 10; ++i) {
        const std::string name = "Edit" + std::to_string(i + 1);
        *edits[i] = Add<TEdit>(name, {196 + (i / 5) * 76, 44 + (i % 5) * 26, 68, 22}, MainPanel);
        (*edits[i])->SetText(defaults.gridSteps[static_cast<std::size_t>(i)]);
    }

    OceanColorPanel = panel("OceanColorPanel", "Океан", "Ocean", {10, 186, 104, 34}, MainPanel);
    GroundColorPanel = panel("GroundColorPanel", "Земля", "Land", {122, 186, 104, 34}, MainPanel);
    SignColorPanel = panel("SignColorPanel", "Надписи", "Labels", {234, 186, 104, 34}, MainPanel);
    // The samples sit at the left of their panels, clear of the centred captions.
    GreedPanel = panel("GreedPanel", "Сетка", "Grid", {10, 230, 160, 36}, MainPanel);
    BevelPanel = panel("BevelPanel", "Рамка", "Frame", {178, 230, 160, 36}, MainPanel);
    PaintBox = Add<TPaintBox>("PaintBox", {5, 5, 50, 26}, GreedPanel);
    PaintBox1 = Add<TPaintBox>("PaintBox1", {5, 5, 50, 26}, BevelPanel);

    // A*C*G page.
    TCheckBox** planets[10] = {&CheckBox1, &CheckBox2, &CheckBox3, &CheckBox4, &CheckBox5,
                               &CheckBox6, &CheckBox7, &CheckBox8, &CheckBox9, &CheckBox10};
    for (int i = 0; i < 10; ++i) {
        const std::string name = "CheckBox" + std::to_string(i + 1);
        *planets[i] = check(name.c_str(), Cp(kPlanetNames[i]),
                            {10 + (i / 5) * 110, 8 + (i % 5) * 22, 104, 20}, KartPanel, i < 2);
    }
    CheckBox11 = check("CheckBox11", "Asc - Dsc", {236, 8, 110, 20}, KartPanel, false);
    CheckBox12 = check("CheckBox12", "MC - IC", {236, 30, 110, 20}, KartPanel, false);
    AspectsGroup = Add<TRadioGroup>("AspectsGroup", {10, 118, 336, 56}, KartPanel);
    AspectsGroup->SetItems({"Соединение"_cp, "Мажорные аспекты"_cp});
    AspectsGroup->SetItemIndex(0);
    ACGBox = check("ACGBox", "Астро * Карто * Графия"_cp, {10, 180, 220, 20}, KartPanel, false);
    SunBox = check("SunBox", "Рисовать планеты "_cp, {10, 202, 220, 20}, KartPanel, true);
    RealHouseBox = check("RealHouseBox", "Текущие дома"_cp, {10, 224, 220, 20}, KartPanel, false);
    ACGPanel = panel("ACGPanel", "A*C*G", "A*C*G", {10, 250, 160, 36}, KartPanel);
    ACGPaintBox = Add<TPaintBox>("ACGPaintBox", {5, 5, 50, 26}, ACGPanel);

    // Choice page.
    TimeBox = check("TimeBox", "Определять местное время"_cp, {10, 8, 330, 20}, DataPanel, true);
    dTBox = check("dTBox", "Определять временную зону"_cp, {10, 30, 330, 20}, DataPanel, true);
    PosButton = Add<TButton>("PosButton", {10, 62, 120, 28}, DataPanel);
    PosButton->SetCaption("Динамика"_cp);

    Memo = Add<TMemo>("Memo", {0, 0, 10, 10});
    Memo->SetLines(GeoColorLines(GeoColors{}));
    Memo->hide();
    KartPanel->hide();
    DataPanel->hide();

    // The handlers come after the defaults: building the window changes nothing.
    TabControl->OnChange = [this] { TabControlChange(); };
    for (TCheckBox* c :
         {CityBox,    CityNameBox, GreedBox,   ConturBox, PromptCheckBox, CheckBox1,   CheckBox2,
          CheckBox3,  CheckBox4,   CheckBox5,  CheckBox6, CheckBox7,      CheckBox8,   CheckBox9,
          CheckBox10, CheckBox11,  CheckBox12, ACGBox,    SunBox,         RealHouseBox})
        c->OnClick = [this] { Draw(); };
    AspectsGroup->OnClick = [this] { Draw(); };
    SpinEdit1->OnChange = [this] { Draw(); };
    GeoCoordBox->OnClick = [this] { GeoCoordBoxClick(); };
    dTBox->OnClick = [this] { dTBoxClick(); };
    PosButton->OnClick = [this] { PosButtonClick(); };
    const std::pair<QWidget*, int> colourClicks[] = {{OceanColorPanel, 0}, {GroundColorPanel, 1},
                                                     {PaintBox, 2},        {PaintBox1, 3},
                                                     {ACGPaintBox, 4},     {SignColorPanel, 5}};
    for (const auto& [w, which] : colourClicks) {
        const int k = which;
        if (auto* pnl = dynamic_cast<TPanel*>(w)) pnl->OnClick = [this, k] { ChooseColour(k); };
        if (auto* box = dynamic_cast<TPaintBox*>(w)) box->OnClick = [this, k] { ChooseColour(k); };
    }
    auto sample = [this](TPaintBox* box, int kind) {
        box->OnPaint = [this, box, kind](QPainter& g) {
            const GeoColors& c = map_.colors;
            const int w = box->width(), h = box->height();
            g.fillRect(0, 0, w / 2, h, ToQColor(c.ocean));
            g.fillRect(w / 2, 0, w - w / 2, h, ToQColor(c.land));
            g.setPen(ToQColor(kind == 0 ? c.grid : kind == 1 ? c.frame : c.acg));
            if (kind == 0) {
                for (int k = 1; k <= 3; ++k) {
                    g.drawLine(k * w / 4, 0, k * w / 4, h);
                    g.drawLine(0, k * h / 4, w, k * h / 4);
                }
            } else if (kind == 1) {
                g.drawRect(3, 3, w - 7, h - 7);
            } else {
                g.drawLine(0, h - 1, w - 1, 0);
            }
        };
    };
    sample(PaintBox, 0);
    sample(PaintBox1, 1);
    sample(ACGPaintBox, 2);
    AskColour = [](uint32_t c) { return shell::ChooseColorValue(c); };
    OnShow = [this] { PaintSamples(); };
    OnClose = [this](CloseAction&) { StoreColours(); };
}

void TGeoSet::TabControlChange() {
    TPanel* pages[] = {MainPanel, KartPanel, DataPanel};
    const int front = std::clamp(TabControl->TabIndex(), 0, 2);
    for (int i = 0; i < 3; ++i) pages[i]->setVisible(i == front);
    pages[front]->raise();
}

void TGeoSet::Draw() {
    if (p_.Flags.ScreenMode == 'G') p_.DrawScreen('G');
}

void TGeoSet::ChooseColour(int which) {
    uint32_t* slot = ColourSlot(map_.colors, which);
    const std::optional<uint32_t> chosen = AskColour ? AskColour(*slot) : std::nullopt;
    if (!chosen) return; // cancelled: nothing changes, nothing is drawn
    *slot = *chosen;
    StoreColours();
    PaintSamples();
    if (which != 3) Draw(); // the frame colour does not show on the map
}

void TGeoSet::PaintSamples() {
    const GeoColors& c = map_.colors;
    for (TPanel* pnl : {OceanColorPanel, GroundColorPanel, SignColorPanel})
        pnl->setAutoFillBackground(true);
    ui::SetColor(OceanColorPanel, c.ocean);
    ui::SetColor(GroundColorPanel, c.land);
    ui::SetColor(SignColorPanel, c.land);
    SetFontColor(SignColorPanel, c.label);
    for (TPaintBox* b : {PaintBox, PaintBox1, ACGPaintBox}) b->Invalidate();
    OceanColorPanel->update();
    GroundColorPanel->update();
    SignColorPanel->update();
}

void TGeoSet::StoreColours() {
    Memo->SetLines(GeoColorLines(map_.colors));
}

void TGeoSet::dTBoxClick() {
    if (dTBox->Checked()) {
        TimeBox->setEnabled(true);
    } else {
        TimeBox->SetChecked(false);
        TimeBox->setEnabled(false);
    }
}

void TGeoSet::GeoCoordBoxClick() {
    // The main window's coordinate panel is shown exactly while the box is checked (on the
    // screens that have one).
    if (!p_.Form1) return;
    const char mode = p_.Flags.ScreenMode;
    SetVisible(p_.Form1->GeoPanel, GeoCoordBox->Checked() && (mode == 'G' || mode == 'A'));
}

void TGeoSet::PosButtonClick() {
    if (!p_.Form1) return;
    p_.Form1->OpenToolWindow("Loc");
}

GeoMapOptions ReadGeoOptions(const shell::Program& p) {
    GeoMapOptions o;
    auto* w = dynamic_cast<TGeoSet*>(Screen().FindForm("GeoSet"));
    if (!w) return o;
    o.contour = w->ConturBox->Checked();
    o.grid = w->GreedBox->Checked();
    o.cityMarks = w->CityBox->Checked();
    o.cityNames = w->CityNameBox->Checked();
    o.nameFontAdd = w->SpinEdit1->Value();
    o.planets = w->SunBox->Checked();
    TCheckBox* planets[10] = {w->CheckBox1, w->CheckBox2, w->CheckBox3, w->CheckBox4,
                              w->CheckBox5, w->CheckBox6, w->CheckBox7, w->CheckBox8,
                              w->CheckBox9, w->CheckBox10};
    for (int i = 0; i < 10; ++i)
        o.planetMask[static_cast<std::size_t>(i)] = planets[i]->Checked() ? '|' : '-';
    TEdit* edits[10] = {w->Edit1, w->Edit2, w->Edit3, w->Edit4, w->Edit5,
                        w->Edit6, w->Edit7, w->Edit8, w->Edit9, w->Edit10};
    for (int i = 0; i < 10; ++i) o.gridSteps[static_cast<std::size_t>(i)] = edits[i]->Text();
    o.acg = w->ACGBox->Checked();
    o.acgAscDsc = w->CheckBox11->Checked();
    o.acgMcIc = w->CheckBox12->Checked();
    o.acgMajor = w->AspectsGroup->ItemIndex() == 1;
    o.acgHouses = w->RealHouseBox->Checked();
    return o;
}

void LoadGeoColors(shell::Program& p, GeoMapState& map) {
    const TForm* w = Screen().FindForm("GeoSet");
    const TMemo* memo = w ? w->Find<TMemo>("Memo") : nullptr;
    map.colors = GeoColorsFromLines(memo ? memo->Lines() : std::vector<std::string>{});
}

} // namespace qor::geo
