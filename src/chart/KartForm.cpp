#include "chart/KartForm.h"

#include "chart/HistoryFile.h"
#include "core/Files.h"
#include "core/Formats.h"
#include "core/Houses.h"
#include "core/Text.h"
#include "shell/MainForm.h"
#include "shell/Tech.h"
#include "ui/Canvas.h"
#include "ui/SymbolPainter.h"
#include "ui/WindowState.h"

#include <QImage>

#include <cstdlib>

namespace qor::chart {

using namespace ui;

const std::vector<std::string>& HouseSystemItemsRu() {
    static const std::vector<std::string> items = {"Полих-Пейдж"_cp,
                                                   "Плацидус"_cp,
                                                   "Кох"_cp,
                                                   "Порфирий"_cp,
                                                   "Алькабитус"_cp,
                                                   "Региомонтанус"_cp,
                                                   "Кампанус"_cp,
                                                   "Моринус"_cp,
                                                   "Равнодомная от МС"_cp,
                                                   "Равнодомная от Asc"_cp,
                                                   "Солярное равновесие"_cp,
                                                   "Драконическая"_cp,
                                                   "Земная"_cp,
                                                   "Солнечная"_cp,
                                                   "Лунная"_cp,
                                                   "Джамаспа"_cp,
                                                   "Джамаспа равнодомная"_cp,
                                                   "Джамаспа (МС)"_cp};
    return items;
}

const std::vector<std::string>& CoordColumnItemsRu() {
    static const std::vector<std::string> items = {"Долгота"_cp,   "Широта"_cp, "Пр.восхожд."_cp,
                                                   "Склонение"_cp, "Азимут"_cp, "Высота"_cp};
    return items;
}

namespace {

// Ready is cleared while a group of controls changes, and given back on every way out.
// A hidden edit that keeps a flag string or a memo's value for the window state.
TEdit* HiddenEdit(TForm& f, const char* name, const std::string& text, QWidget* parent) {
    auto* e = f.AddEdit(name, text, {0, 0, 10, 10}, parent);
    e->hide();
    return e;
}

class NotReady {
public:
    explicit NotReady(shell::ShellFlags& f) : f_(f), was_(f.Ready) { f_.Ready = false; }
    ~NotReady() { f_.Ready = was_; }
    NotReady(const NotReady&) = delete;
    NotReady& operator=(const NotReady&) = delete;

private:
    shell::ShellFlags& f_;
    bool was_;
};

} // namespace

TKartForm::TKartForm(shell::Program& p) : TForm("KartForm"), p_(p) {
    SetCaption("Установки натальной карты"_cp);
    SetToolWindow(true);
    SetHelpTopic("natal_chart_setup.html");
    SetBorderStyle(BorderStyle::Single);
    SetBounds(140, 80, 470, 420);
    SetKeyPreview(true);

    TabControl = Add<TTabControl>("TabControl", {0, 0, 470, 24});
    TabControl->SetTabs({"Главные"_cp, "Планеты"_cp, "Дома"_cp, "Аспекты"_cp, "Дополн."_cp,
                         "Размеры"_cp, "Статус"_cp, "Цвет"_cp, "S/R"});
    auto panel = [this](const char* name) {
        auto* pnl = Add<TPanel>(name, {0, 24, 470, 396});
        pnl->hide();
        return pnl;
    };
    MainPanel = panel("MainPanel");
    PlnPanel = panel("PlnPanel");
    DomPanel = panel("DomPanel");
    AspectPanel = panel("AspectPanel");
    AdditPanel = panel("AdditPanel");
    SizePanel = panel("SizePanel");
    StatusPanel = panel("StatusPanel");
    ColorPanel = panel("ColorPanel");
    SRPanel = panel("SRPanel");
    ExterrPanel = panel("ExterrPanel");

    BuildMainTab();
    BuildFlagTabs();
    BuildAspectTab();
    BuildMoreTab();
    BuildSizeTab();
    BuildStatusColourFileTabs();
    BuildExterrPanel();
    for (int r = 1; r <= kFlagPoints; ++r) RowPoint[r] = PointRow[r] = r;
    WireHandlers();

    SetHint(DfOrbBox, GetMsgText(p_.s, 145));
    SetHint(WheelBox, GetMsgText(p_.s, 150));
    TabControl->SetTabIndex(0);
    TabControlChange();
    LoadStatusAndColors();
    // The window reads its options into the program's typed options before each computation.
    p_.Svc.OptionReaders["KartForm"] = [this](shell::Program&) { ReadOptions(); };
}

// The tab "Главные": houses, aspects, the wheel's start, direction and background, the
// coordinate columns; the two mode switches first (a settings file switches the mode before
// it sets the controls the mode forces, so the file's own states win).
void TKartForm::BuildMainTab() {
    HelioBox = AddCheck("HelioBox", "Гелиоцентрическая"_cp, {8, 300, 150, 18}, MainPanel, false);
    HorizontalBox =
        AddCheck("HorizontalBox", "Горизонтальная"_cp, {8, 320, 150, 18}, MainPanel, false);
    HouseGroup = AddGroup("HouseGroup", "Дома"_cp, {4, 2, 150, 88}, MainPanel);
    InHsCheck = AddCheck("InHsCheck", "Внутренний круг"_cp, {6, 16, 140, 18}, HouseGroup, true);
    OutHsCheck = AddCheck("OutHsCheck", "Внешний круг"_cp, {6, 36, 140, 18}, HouseGroup, false);
    HouseComboBox = Add<TComboBox>("HouseComboBox", {6, 58, 138, 22}, HouseGroup);
    HouseComboBox->SetItems(HouseSystemItemsRu());
    HouseComboBox->SetItemIndex(0);
    HouseComboBox->SetTypingAllowed(false);
    AspGroup = AddGroup("AspGroup", "Аспекты"_cp, {158, 2, 150, 184}, MainPanel);
    MajorCheck = AddCheck("MajorCheck", "Мажорные"_cp, {6, 16, 140, 18}, AspGroup, true);
    MinorCheck = AddCheck("MinorCheck", "Минорные"_cp, {6, 34, 140, 18}, AspGroup, false);
    FromPlnCheck = AddCheck("FromPlnCheck", "От планет"_cp, {6, 52, 140, 18}, AspGroup, true);
    FromHsCheck = AddCheck("FromHsCheck", "От домов"_cp, {6, 70, 140, 18}, AspGroup, false);
    ToPlnCheck = AddCheck("ToPlnCheck", "К планетам"_cp, {6, 88, 140, 18}, AspGroup, true);
    ToHsCheck = AddCheck("ToHsCheck", "К домам"_cp, {6, 106, 140, 18}, AspGroup, false);
    AspSimCheck = AddCheck("AspSimCheck", "Символ"_cp, {6, 124, 140, 18}, AspGroup, true);
    AspectAccur = AddCheck("AspectAccur", "Точные"_cp, {6, 142, 140, 18}, AspGroup, false);
    AccurAspCheck =
        AddCheck("AccurAspCheck", "Выделение точных"_cp, {6, 160, 140, 18}, AspGroup, true);
    StartGroup = AddGroup("StartGroup", "Начало"_cp, {4, 92, 150, 108}, MainPanel);
    AscendButton = AddRadio("AscendButton", "Асцендент"_cp, {6, 16, 140, 18}, StartGroup);
    BckAscButton = AddRadio("BckAscButton", "Фон.асцендент"_cp, {6, 36, 140, 18}, StartGroup);
    DegreeButton = AddRadio("DegreeButton", "Градус"_cp, {6, 56, 80, 18}, StartGroup);
    AscendButton->SetChecked(true);
    AscDegreeEdit = AddEdit("AscDegreeEdit", "000", {90, 56, 50, 20}, StartGroup);
    DirGroup = AddGroup("DirGroup", "Направление"_cp, {4, 202, 150, 56}, MainPanel);
    LeftDir = AddRadio("LeftDir", "против ч.с."_cp, {6, 16, 140, 18}, DirGroup);
    RightDir = AddRadio("RightDir", "по ч.с."_cp, {6, 34, 140, 18}, DirGroup);
    LeftDir->SetChecked(true);
    BckGroup = AddGroup("BckGroup", "Фон"_cp, {158, 194, 150, 74}, MainPanel);
    BlackButton = AddRadio("BlackButton", "Черный"_cp, {6, 16, 140, 18}, BckGroup);
    WhiteButton = AddRadio("WhiteButton", "Белый"_cp, {6, 34, 140, 18}, BckGroup);
    ColorButton = AddRadio("ColorButton", "Цветной"_cp, {6, 52, 140, 18}, BckGroup);
    WhiteButton->SetChecked(true);
    DataCheckBox = AddCheck("DataCheckBox", "Данные"_cp, {8, 340, 150, 18}, MainPanel, false);
    XGroup = Add<TRadioGroup>("XGroup", {158, 272, 300, 90}, MainPanel);
    XGroup->SetCaption("Аспектирование"_cp);
    XGroup->SetItems({"Внутренний круг"_cp, "Внешний круг"_cp, "Внутренний - Внешний"_cp});
    XGroup->SetItemIndex(0);
    HintBox = AddCheck("HintBox", "Подсказка"_cp, {8, 260, 150, 18}, MainPanel, true);
    SystemsBox = AddCheck("SystemsBox", "Системы"_cp, {8, 280, 150, 18}, MainPanel, true);
    CoordGroup = AddGroup("CoordGroup", "Координаты"_cp, {312, 2, 150, 150}, MainPanel);
    StarsCheck = AddCheck("StarsCheck", "Звезды"_cp, {6, 16, 140, 18}, CoordGroup, false);
    AfetBox = AddCheck("AfetBox", "Афетика"_cp, {6, 36, 140, 18}, CoordGroup, false);
    AccurBox = AddCheck("AccurBox", "Точные"_cp, {6, 56, 140, 18}, CoordGroup, true);
    RABox = AddCheck("RABox", "2-я колонка"_cp, {6, 76, 140, 18}, CoordGroup, false);
    ComboBox1 = Add<TComboBox>("ComboBox1", {6, 98, 138, 22}, CoordGroup);
    ComboBox1->SetItems(CoordColumnItemsRu());
    ComboBox1->SetItemIndex(1);
    ComboBox1->SetTypingAllowed(false);
    OrbBox = AddCheck("OrbBox", "Орбис"_cp, {318, 160, 140, 18}, MainPanel, false);
}

// The tabs "Планеты" and "Дома": the flag grids and the hidden flag edits they show.
void TKartForm::BuildFlagTabs() {
    PlnGrid = Add<TDrawGrid>("PlnGrid", {4, 4, 460, 386}, PlnPanel);
    PlnGrid->SetColCount(8);
    PlnGrid->SetRowCount(27);
    PlnGrid->SetFixed(1, 1);
    PlnGrid->SetDefaultRowHeight(19);
    for (int c = 0; c < 8; ++c) PlnGrid->SetColWidth(c, c == 0 ? 80 : 38);
    Existing = HiddenEdit(*this, "Existing", DefaultPointFlags(true), PlnPanel);
    Aspecting = HiddenEdit(*this, "Aspecting", DefaultPointFlags(true), PlnPanel);
    TablAsp = HiddenEdit(*this, "TablAsp", DefaultPointFlags(true), PlnPanel);
    Elements = HiddenEdit(*this, "Elements", DefaultPointFlags(false), PlnPanel);
    Existing2 = HiddenEdit(*this, "Existing2", DefaultPointFlags(true), PlnPanel);
    Aspecting2 = HiddenEdit(*this, "Aspecting2", DefaultPointFlags(true), PlnPanel);
    TablAsp2 = HiddenEdit(*this, "TablAsp2", DefaultPointFlags(true), PlnPanel);
    DomGrid = Add<TDrawGrid>("DomGrid", {4, 4, 260, 270}, DomPanel);
    DomGrid->SetColCount(4);
    DomGrid->SetRowCount(13);
    DomGrid->SetFixed(1, 1);
    DomGrid->SetDefaultRowHeight(19);
    DomShow = HiddenEdit(*this, "DomShow", DefaultHouseFlags(), DomPanel);
    DomAspecting = HiddenEdit(*this, "DomAspecting", DefaultHouseFlags(), DomPanel);
    DomTablAsp = HiddenEdit(*this, "DomTablAsp", DefaultHouseFlags(), DomPanel);
}

// The tab "Аспекты": the aspect pages (their editor is in AspectPages.cpp).
void TKartForm::BuildAspectTab() {
    AspTabControl = Add<TTabControl>("AspTabControl", {4, 4, 460, 24}, AspectPanel);
    AspTabControl->SetTabs({"Натал"_cp, "Транзит"_cp, "Хорар"_cp});
    SetTag(AspTabControl, 1); // the page list is kept with the window's state
    AspectGrid = Add<TDrawGrid>("AspectGrid", {4, 30, 460, 356}, AspectPanel);
    AspectGrid->SetColCount(15);
    AspectGrid->SetRowCount(15);
    AspectGrid->SetFixed(0, 1);
    AspectGrid->SetDefaultRowHeight(20);
    AspectGrid->setMouseTracking(true);
    {
        const int widths[] = {26, 40, 23, 38, 49, 50, 47, 38, 44, 26, 26, 26, 26, 26, 26};
        for (int c = 0; c < 15; ++c) AspectGrid->SetColWidth(c, widths[c]);
    }
    Edit1 = HiddenEdit(*this, "Edit1", "", AspectPanel);
    SetTag(Edit1, 1); // a running edit is not state
    AspectLetterEdit = HiddenEdit(*this, "AspectLetterEdit", "Натал"_cp, AspectPanel);
    AspMemo = Add<TMemo>("AspMemo", {0, 0, 10, 10}, AspectPanel);
    AspMemo->hide();
    SetTag(AspMemo, 1); // the page's file holds the lines
    PopupMenu = Add<TPopupMenu>("PopupMenu");
    BuildAspectMenu();
}

// The tab "Дополн.": degree texts, the Black and White Moon, the coefficient, the double
// and horary chart's aspects, the aspect pages by chart kind.
void TKartForm::BuildMoreTab() {
    DegreeGroup = AddGroup("DegreeGroup", "Символы градуса"_cp, {4, 2, 220, 80}, AdditPanel);
    OstrelBox = AddCheck("OstrelBox", "Первый текст"_cp, {6, 16, 200, 18}, DegreeGroup, true);
    FirnelBox = AddCheck("FirnelBox", "Второй текст"_cp, {6, 36, 200, 18}, DegreeGroup, false);
    ObjectsBox = AddCheck("ObjectsBox", "Рисовать объекты"_cp, {6, 56, 200, 18}, DegreeGroup, true);
    BlackMoonGroup = AddGroup("BlackMoonGroup", "Черная Луна"_cp, {4, 84, 220, 56}, AdditPanel);
    SfocusButton =
        AddRadio("SfocusButton", "Второй фокус орбиты"_cp, {6, 16, 200, 18}, BlackMoonGroup);
    ApogeaButton =
        AddRadio("ApogeaButton", "Апогей орбиты Луны"_cp, {6, 34, 200, 18}, BlackMoonGroup);
    SfocusButton->SetChecked(true);
    WhiteMoonGroup = AddGroup("WhiteMoonGroup", "Белая Луна"_cp, {4, 142, 220, 100}, AdditPanel);
    ArtaButton = AddRadio("ArtaButton", "Арта"_cp, {6, 16, 90, 18}, WhiteMoonGroup);
    SelenaButton = AddRadio("SelenaButton", "Селена"_cp, {100, 16, 90, 18}, WhiteMoonGroup);
    ArtaButton->SetChecked(true);
    AddLabel("SLngLabel", "Долгота 2000.0"_cp, {6, 40, 110, 16}, WhiteMoonGroup);
    AddLabel("SPeriodLabel", "Период (лет)"_cp, {6, 66, 110, 16}, WhiteMoonGroup);
    SLng = AddEdit("SLng", "242.5", {120, 38, 80, 20}, WhiteMoonGroup);
    SPeriod = AddEdit("SPeriod", "7.0", {120, 64, 80, 20}, WhiteMoonGroup);
    ALng = AddEdit("ALng", "", {120, 38, 80, 20}, WhiteMoonGroup);
    APeriod = AddEdit("APeriod", "", {120, 64, 80, 20}, WhiteMoonGroup);
    for (TEdit* e : {ALng, APeriod}) {
        e->setReadOnly(true);
        e->setEnabled(false);
        ui::SetColor(e, 0xC0C0C0);
    }
    SLng->hide();
    SPeriod->hide();
    KoeffGroup = AddGroup("KoeffGroup", "Коэффициент прогрессии"_cp, {4, 244, 220, 48}, AdditPanel);
    KoeffCheckBox = AddCheck("KoeffCheckBox", "Учитывать"_cp, {6, 18, 100, 18}, KoeffGroup, false);
    KoeffEdit = AddEdit("KoeffEdit", "1.0", {120, 18, 80, 20}, KoeffGroup);
    CoinsideBox = Add<TRadioGroup>("CoinsideBox", {228, 2, 236, 70}, AdditPanel);
    CoinsideBox->SetCaption("Сходимость аспектов дв. карты"_cp);
    CoinsideBox->SetItems({"Внеш. карта фиксирована"_cp, "Внутр. карта фиксирована"_cp});
    CoinsideBox->SetItemIndex(1);
    HorarGroup = AddGroup("HorarGroup", "Хорар"_cp, {228, 74, 236, 56}, AdditPanel);
    SeptenerBox = AddCheck("SeptenerBox", "только септенер"_cp, {6, 16, 220, 18}, HorarGroup, true);
    CoinsBox =
        AddCheck("CoinsBox", "только сходящиеся аспекты"_cp, {6, 34, 220, 18}, HorarGroup, true);
    AspPageGroup =
        AddGroup("AspPageGroup", "Аспектная страница "_cp, {228, 132, 236, 76}, AdditPanel);
    DfOrbBox = AddCheck("DfOrbBox", "", {6, 18, 18, 18}, AspPageGroup, true);
    AddLabel("NatalTabLabel", "Одиночной карты"_cp, {28, 20, 110, 16}, AspPageGroup);
    AddLabel("TransTabLabel", "Двойной карты"_cp, {28, 46, 110, 16}, AspPageGroup);
    NatalTabEdit = AddEdit("NatalTabEdit", "Натал"_cp, {140, 18, 88, 20}, AspPageGroup);
    TransTabEdit = AddEdit("TransTabEdit", "Транзит"_cp, {140, 44, 88, 20}, AspPageGroup);
    WheelBox = AddCheck("WheelBox", "Показывать карту"_cp, {234, 214, 220, 18}, AdditPanel, true);
    AVCheckBox =
        AddCheck("AVCheckBox", "Имена астероидов "_cp, {234, 234, 220, 18}, AdditPanel, true);
}

// The tab "Размеры": the wheel's sizes as track bars.
void TKartForm::BuildSizeTab() {
    struct Bar {
        TTrackBar** bar;
        const char* name;
        const char* caption;
        int range;
    };
    const Bar bars[] = {{&TrackBarR1, "TrackBarR1", "Радиус 1", 100},
                        {&TrackBarR2, "TrackBarR2", "Радиус 2", 100},
                        {&TrackBarR3, "TrackBarR3", "Радиус 3", 100},
                        {&TrackBarR4, "TrackBarR4", "Радиус 4", 100},
                        {&XoTrackBar, "XoTrackBar", "Xo", 100},
                        {&YoTrackBar, "YoTrackBar", "Yo", 100},
                        {&Pln1TrackBar, "Pln1TrackBar", "П1", 20},
                        {&Pln2TrackBar, "Pln2TrackBar", "П2", 70},
                        {&MrkTrackBar, "MrkTrackBar", "Маркер", 20},
                        {&SizeTrackBar, "SizeTrackBar", "Размер", 100},
                        {&BegTrackBar, "BegTrackBar", "Начало поля координат", 150},
                        {&CLTrackBar, "CLTrackBar", "Поле точной долготы", 30},
                        {&SLTrackBar, "SLTrackBar", "Поле короткой долготы", 30},
                        {&CRATrackBar, "CRATrackBar", "Поле точной широты", 30},
                        {&SRATrackBar, "SRATrackBar", "Поле короткой широты", 30}};
    int row = 0;
    for (const Bar& b : bars) {
        const int x = row < 8 ? 4 : 236, y = 4 + (row % 8) * 40;
        AddLabel((std::string(b.name) + "Label").c_str(), Cp(b.caption), {x, y, 220, 14},
                 SizePanel);
        TTrackBar* t = Add<TTrackBar>(b.name, {x, y + 14, 220, 22}, SizePanel);
        t->SetRange(-b.range, b.range);
        t->SetPosition(0);
        t->OnChange = [this] { Redraw(); };
        *b.bar = t;
        ++row;
    }
    SymbolDoubleSizeBox = AddCheck("SymbolDoubleSizeBox", "х 2 размер символов"_cp,
                                   {236, 330, 200, 18}, SizePanel, false);
    SymbolDoubleSizeBox->hide();
    AddLabel("HistListLabel", "Максимальное число записей в списке \"История\""_cp,
             {4, 350, 300, 16}, SizePanel);
    HistListMax = AddEdit("HistListMax", "100", {310, 348, 60, 20}, SizePanel);
}

// The tabs "Статус", "Цвет" and "S/R": the dignity grid, the colour buttons, the settings
// files.
void TKartForm::BuildStatusColourFileTabs() {
    StatusGrid = Add<TDrawGrid>("StatusGrid", {4, 4, 460, 386}, StatusPanel);
    StatusGrid->SetColCount(5);
    StatusGrid->SetRowCount(17);
    StatusGrid->SetFixed(1, 1);
    StatusGrid->SetDefaultRowHeight(19);
    StatusGrid->SetColWidth(0, 28);
    StatusMemo = Add<TMemo>("StatusMemo", {0, 0, 10, 10}, StatusPanel);
    StatusMemo->SetLines(DefaultStatusMemo());
    StatusMemo->hide();
    ColorMemo = Add<TMemo>("ColorMemo", {0, 0, 10, 10}, ColorPanel);
    ColorMemo->SetLines(DefaultColorMemo());
    ColorMemo->hide();
    auto* houseBelt = AddGroup("HouseBeltGroup", "Пояс домов"_cp, {4, 2, 200, 84}, ColorPanel);
    auto* zodiacBelt =
        AddGroup("ZodiacBeltGroup", "Пояс Зодиака"_cp, {210, 2, 200, 184}, ColorPanel);
    struct ColourButton {
        TButton** button;
        const char* name;
        const char* caption;
        QWidget* parent;
        QRect r;
        uint32_t ChartColors::*colour;
    };
    const ColourButton colourButtons[] = {
        {&HouseColorButton,
         "HouseColorButton",
         "Дома",
         houseBelt,
         {8, 20, 180, 26},
         &ChartColors::HouseBelt},
        {&HContourColor,
         "HContourColor",
         "Контур",
         houseBelt,
         {8, 50, 180, 26},
         &ChartColors::HouseContour},
        {&ZContourButton,
         "ZContourButton",
         "Контур",
         zodiacBelt,
         {8, 20, 180, 26},
         &ChartColors::ZodiacContour},
        {&ZFireColor, "ZFireColor", "Огонь", zodiacBelt, {8, 50, 180, 26}, &ChartColors::Fire},
        {&ZGroundColor, "ZGroundColor", "Земля", zodiacBelt, {8, 80, 180, 26}, &ChartColors::Earth},
        {&ZAirColor, "ZAirColor", "Воздух", zodiacBelt, {8, 110, 180, 26}, &ChartColors::Air},
        {&ZWaterColor, "ZWaterColor", "Вода", zodiacBelt, {8, 140, 180, 26}, &ChartColors::Water},
        {&BckColorButton,
         "BckColorButton",
         "Фон карты",
         ColorPanel,
         {12, 96, 180, 26},
         &ChartColors::KartBck}};
    for (const ColourButton& cb : colourButtons) {
        TButton* b = AddButton(cb.name, Cp(cb.caption), cb.r, cb.parent);
        const auto colour = cb.colour;
        b->OnClick = [this, colour] { ColorButtonClick(colour); };
        *cb.button = b;
    }
    AddLabel("SRLabel", "Установки натальной карты:"_cp, {8, 8, 300, 16}, SRPanel);
    SaveButton = AddButton("SaveButton", "Сохранить ..."_cp, {8, 30, 150, 26}, SRPanel);
    LoadButton = AddButton("LoadButton", "Восстановить ..."_cp, {8, 62, 150, 26}, SRPanel);
    NchEdit = AddEdit("NchEdit", "default.nch", {164, 32, 150, 22}, SRPanel);
}

// The off-Earth observer (no tab: settings lines and command paths only).
void TKartForm::BuildExterrPanel() {
    ExterrBox =
        AddCheck("ExterrBox", "Внеземная астрология"_cp, {8, 8, 200, 18}, ExterrPanel, false);
    auto* planetGroup = AddGroup("ExterrGroup", "На планете:"_cp, {8, 30, 200, 80}, ExterrPanel);
    ExMerButton = AddRadio("ExMerButton", "Меркурий"_cp, {6, 16, 180, 18}, planetGroup);
    ExVenButton = AddRadio("ExVenButton", "Венера"_cp, {6, 34, 180, 18}, planetGroup);
    ExMarButton = AddRadio("ExMarButton", "Марс"_cp, {6, 52, 180, 18}, planetGroup);
    ExMarButton->SetChecked(true);
}

// What each control does when the user changes it.
void TKartForm::WireHandlers() {
    auto redraw = [this] { Redraw(); };
    auto recompute = [this] { Recompute(); };
    for (TCheckBox* c :
         {InHsCheck,  OutHsCheck, MajorCheck,  MinorCheck,  FromPlnCheck,  FromHsCheck,
          ToPlnCheck, ToHsCheck,  AspSimCheck, AspectAccur, AccurAspCheck, HintBox,
          SystemsBox, StarsCheck, AfetBox,     AccurBox,    RABox,         OrbBox,
          ObjectsBox, CoinsBox,   SeptenerBox, WheelBox,    AVCheckBox,    SymbolDoubleSizeBox})
        c->OnClick = redraw;
    for (TRadioButton* b : {AscendButton, BckAscButton, DegreeButton, LeftDir, RightDir})
        b->OnClick = redraw;
    CoinsideBox->OnClick = redraw;
    HelioBox->OnClick = [this] { HelioBoxClick(); };
    HorizontalBox->OnClick = [this] { HorizontalBoxClick(); };
    for (TRadioButton* b : {BlackButton, WhiteButton, ColorButton})
        b->OnClick = [this] { BackgroundClick(); };
    DataCheckBox->OnClick = [this] { DataCheckBoxClick(); };
    XGroup->OnClick = [this] { XGroupClick(); };
    HouseComboBox->OnChange = [this] { HouseComboBoxChange(); };
    ComboBox1->OnChange = [this] { ComboBox1Change(); };
    for (TComboBox* c : {HouseComboBox, ComboBox1}) c->OnKeyDown = [](int& key, Shift) { key = 0; };
    SfocusButton->OnClick = recompute;
    ApogeaButton->OnClick = recompute;
    ArtaButton->OnClick = [this] {
        ALng->show(), APeriod->show(), SLng->hide(), SPeriod->hide();
        Recompute();
    };
    SelenaButton->OnClick = [this] {
        SLng->show(), SPeriod->show(), ALng->hide(), APeriod->hide();
        Recompute();
    };
    SLng->OnExit = recompute;
    SPeriod->OnExit = recompute;
    KoeffCheckBox->OnClick = [this] { Realiz(); };
    KoeffEdit->OnExit = [this] { Realiz(); };
    for (QObject* c : {static_cast<QObject*>(ExterrBox), static_cast<QObject*>(ExMerButton),
                       static_cast<QObject*>(ExVenButton), static_cast<QObject*>(ExMarButton)}) {
        if (auto* cb = qobject_cast<QCheckBox*>(c))
            static_cast<TCheckBox*>(cb)->OnClick = [this] { ExterrBoxClick(); };
        else
            static_cast<TRadioButton*>(c)->OnClick = [this] { ExterrBoxClick(); };
    }
    TabControl->OnChange = [this] { TabControlChange(); };
    AspTabControl->OnChange = [this] { AspTabControlChange(); };
    AspectGrid->OnDrawCell = [this](QPainter& g, int c, int r, const QRect& rc, int) {
        AspectGridDrawCell(g, c, r, rc);
    };
    AspectGrid->OnMouseDown = [this](MouseButton b, Shift sh, int x, int y) {
        AspectGridMouseDown(b, sh, x, y);
    };
    AspectGrid->OnMouseUp = [this](MouseButton b, Shift sh, int x, int y) {
        AspectGridMouseUp(b, sh, x, y);
    };
    AspectGrid->OnMouseMove = [this](Shift sh, int x, int y) { AspectGridMouseMove(sh, x, y); };
    AspectGrid->OnKeyDown = [this](int& key, Shift sh) { AspectGridKeyDown(key, sh); };
    Edit1->OnChange = [this] { OrbEditChanged = true; };
    Edit1->OnClick = [this] { CommitOrbEdit(); };
    Edit1->OnExit = [this] { CommitOrbEdit(true); };
    AddAspectN->OnClick = [this] { AddAspectNClick(); };
    EditAspectN->OnClick = [this] { EditAspectNClick(); };
    DelAspectN->OnClick = [this] { DelAspectNClick(); };
    AddBeforePage->OnClick = [this] { AddBeforePageClick(); };
    AddAfterPage->OnClick = [this] { AddAfterPageClick(); };
    RenamePage->OnClick = [this] { RenamePageClick(); };
    DeletePage->OnClick = [this] { DeletePageClick(); };
    PlnGrid->OnDrawCell = [this](QPainter& g, int c, int r, const QRect& rc, int) {
        PlnGridDrawCell(g, c, r, rc);
    };
    PlnGrid->OnMouseUp = [this](MouseButton b, Shift, int x, int y) { PlnGridMouseUp(b, x, y); };
    DomGrid->OnDrawCell = [this](QPainter& g, int c, int r, const QRect& rc, int) {
        DomGridDrawCell(g, c, r, rc);
    };
    DomGrid->OnMouseUp = [this](MouseButton b, Shift, int x, int y) { DomGridMouseUp(b, x, y); };
    StatusGrid->OnDrawCell = [this](QPainter& g, int c, int r, const QRect& rc, int) {
        StatusGridDrawCell(g, c, r, rc);
    };
    StatusGrid->OnMouseUp = [this](MouseButton b, Shift, int x, int y) {
        StatusGridMouseUp(b, x, y);
    };
    for (TButton* b : {SaveButton}) b->OnClick = [this] { SaveButtonClick(); };
    LoadButton->OnClick = [this] { LoadButtonClick(); };
    OnKeyPress = [this](char& ch) { FormKeyPress(ch); };
    OnClose = [this](CloseAction&) { FormClose(); };
}

TKartForm::~TKartForm() {
    p_.Svc.OptionReaders.erase("KartForm");
}

// --- Options ------------------------------------------------------------------------------------

void TKartForm::ReadOptions() const {
    ChartOptions& c = p_.ChartOpt;
    // The system is the item's number; an empty box the first system; a text that is no item
    // names none (the computation says so).
    const std::string house = HouseComboBox->Text();
    const int item = HouseComboBox->IndexOf(house);
    c.HouseSystem = house.empty()                           ? kDefaultHouseSystem
                    : item >= 0 && item < kHouseSystemCount ? item + 1
                                                            : 0;
    c.HelioBox = HelioBox->Checked();
    c.HorizontalBox = HorizontalBox->Checked();
    c.ArtaButton = ArtaButton->Checked();
    if (!SLng->Text().empty()) c.SLng = StrToFloatHM(SLng->Text());
    if (!SPeriod->Text().empty()) c.SPeriod = StrToFloatHM(SPeriod->Text());
    p_.GeneralOpt.BlackMoonFocus = SfocusButton->Checked();
    AspectOptions& a = p_.AspectOpt;
    a.MajorCheck = MajorCheck->Checked();
    a.MinorCheck = MinorCheck->Checked();
    if (const int x = XGroup->ItemIndex(); x >= 0 && x <= 2) a.AspectingMode = "IOX"[x];
    if (const int k = CoinsideBox->ItemIndex(); k >= 0) a.CoinsideBox = k;
    p_.View.ProductTitle = DataCheckBox->Checked();
}

void TKartForm::ChartKindChanged() {
    if (p_.Flags.DoubleChart)
        HelioBox->setEnabled(false);
    else if (!p_.Flags.HoraryChart && !HorizontalBox->Checked())
        HelioBox->setEnabled(true);
}

void TKartForm::ChartKindApplied() {
    NotReady guard(p_.Flags);
    XGroup->SetItemIndex(p_.Flags.DoubleChart ? 2 : 0);
}

KartOptions TKartForm::Options() const {
    KartOptions o;
    o.InHsCheck = InHsCheck->Checked();
    o.OutHsCheck = OutHsCheck->Checked();
    const int hs = HouseComboBox->IndexOf(HouseComboBox->Text());
    o.HouseSystem = hs >= 0 ? hs + 1 : p_.s.HouseSystem;
    o.MajorCheck = MajorCheck->Checked();
    o.MinorCheck = MinorCheck->Checked();
    o.FromPlnCheck = FromPlnCheck->Checked();
    o.FromHsCheck = FromHsCheck->Checked();
    o.ToPlnCheck = ToPlnCheck->Checked();
    o.ToHsCheck = ToHsCheck->Checked();
    o.AspSimCheck = AspSimCheck->Checked();
    o.AspectAccur = AspectAccur->Checked();
    o.AccurAspCheck = AccurAspCheck->Checked();
    o.Start = DegreeButton->Checked()   ? WheelStart::Degree
              : BckAscButton->Checked() ? WheelStart::BackAscendant
                                        : WheelStart::Ascendant;
    o.StartDegree = StrToFloatHM(AscDegreeEdit->Text());
    o.Clockwise = RightDir->Checked();
    o.Background = BlackButton->Checked()   ? WheelBackground::Black
                   : ColorButton->Checked() ? WheelBackground::Colour
                                            : WheelBackground::White;
    o.HelioBox = HelioBox->Checked();
    o.HorizontalBox = HorizontalBox->Checked();
    o.DataCheckBox = DataCheckBox->Checked();
    o.XGroup = std::clamp(XGroup->ItemIndex(), 0, 2);
    o.AspectingMode = "IOX"[o.XGroup];
    o.HintBox = HintBox->Checked();
    o.SystemsBox = SystemsBox->Checked();
    o.StarsCheck = StarsCheck->Checked();
    o.AfetBox = AfetBox->Checked();
    o.AccurBox = AccurBox->Checked();
    o.RABox = RABox->Checked();
    const int cc = ComboBox1->IndexOf(ComboBox1->Text());
    o.CoordColumn = cc >= 0 ? cc : 1;
    o.OrbBox = OrbBox->Checked();
    o.OstrelBox = OstrelBox->Checked();
    o.FirnelBox = FirnelBox->Checked();
    o.ObjectsBox = ObjectsBox->Checked();
    o.BlackMoonFocus = SfocusButton->Checked();
    o.ArtaButton = ArtaButton->Checked();
    o.SLng = SLng->Text();
    o.SPeriod = SPeriod->Text();
    o.KoeffCheckBox = KoeffCheckBox->Checked();
    o.KoeffValue = StrToFloatHM(KoeffEdit->Text());
    o.CoinsideBox = std::clamp(CoinsideBox->ItemIndex(), 0, 1);
    o.SeptenerBox = SeptenerBox->Checked();
    o.CoinsBox = CoinsBox->Checked();
    o.DfOrbBox = DfOrbBox->Checked();
    o.NatalTabEdit = NatalTabEdit->Text();
    o.TransTabEdit = TransTabEdit->Text();
    o.WheelBox = WheelBox->Checked();
    o.AVCheckBox = AVCheckBox->Checked();
    o.TrackBarR1 = TrackBarR1->Position();
    o.TrackBarR2 = TrackBarR2->Position();
    o.TrackBarR3 = TrackBarR3->Position();
    o.TrackBarR4 = TrackBarR4->Position();
    o.XoTrackBar = XoTrackBar->Position();
    o.YoTrackBar = YoTrackBar->Position();
    o.Pln1TrackBar = Pln1TrackBar->Position();
    o.Pln2TrackBar = Pln2TrackBar->Position();
    o.MrkTrackBar = MrkTrackBar->Position();
    o.SizeTrackBar = SizeTrackBar->Position();
    o.BegTrackBar = BegTrackBar->Position();
    o.CLTrackBar = CLTrackBar->Position();
    o.SLTrackBar = SLTrackBar->Position();
    o.CRATrackBar = CRATrackBar->Position();
    o.SRATrackBar = SRATrackBar->Position();
    o.SymbolDoubleSizeBox = SymbolDoubleSizeBox->Checked();
    o.HistListMax = HistoryMaximum(HistListMax->Text()).Value;
    o.ExterrBody = p_.Flags.ExterrBody;
    o.Existing = Existing->Text();
    o.Aspecting = Aspecting->Text();
    o.TablAsp = TablAsp->Text();
    o.Elements = Elements->Text();
    o.Existing2 = Existing2->Text();
    o.Aspecting2 = Aspecting2->Text();
    o.TablAsp2 = TablAsp2->Text();
    o.DomShow = DomShow->Text();
    o.DomAspecting = DomAspecting->Text();
    o.DomTablAsp = DomTablAsp->Text();
    o.Colors = Colors;
    o.Status = PlnStatus;
    return o;
}

// --- Change handlers ----------------------------------------------------------------------------

void TKartForm::Redraw() {
    if (p_.Tech) p_.Tech->RedrawIfNatal();
    TForm* table = Screen().FindForm("AspTabl");
    if (table && table->isVisible()) p_.Commands.RunUICommand("AspTabl,DrawGrid", "");
}

void TKartForm::Recompute() {
    if (p_.Tech) p_.Tech->RefreshAll();
}

std::array<QObject*, 11> TKartForm::AxisControls() const {
    return {AscendButton, BckAscButton, DegreeButton, InHsCheck, OutHsCheck, FromHsCheck,
            ToHsCheck,    RABox,        AfetBox,      LeftDir,   RightDir};
}

namespace {
bool CheckedOf(QObject* c) {
    if (auto* b = qobject_cast<QAbstractButton*>(c)) return b->isChecked();
    return false;
}
void SetCheckedOf(QObject* c, bool on) {
    if (auto* b = dynamic_cast<TCheckBox*>(c))
        b->SetChecked(on);
    else if (auto* r = dynamic_cast<TRadioButton*>(c)) {
        if (on) r->SetChecked(true);
    }
}
} // namespace

void TKartForm::SaveAxisOptions(TCheckBox* mode) {
    AxisSave save{mode, {}};
    const auto controls = AxisControls();
    for (std::size_t i = 0; i < controls.size(); ++i) save.states[i] = CheckedOf(controls[i]);
    axisSaves_.push_back(save);
}

// The states saved when `mode` was switched on come back. When a mode switched on later is
// still on, its entry takes over these states instead, so they come back when it goes off.
void TKartForm::RestoreAxisOptions(TCheckBox* mode) {
    auto it = std::find_if(axisSaves_.begin(), axisSaves_.end(),
                           [mode](const AxisSave& a) { return a.mode == mode; });
    if (it == axisSaves_.end()) return;
    if (std::next(it) != axisSaves_.end()) {
        std::next(it)->states = it->states;
        axisSaves_.erase(it);
        return;
    }
    const auto controls = AxisControls();
    for (std::size_t i = 0; i < controls.size(); ++i) SetCheckedOf(controls[i], it->states[i]);
    axisSaves_.erase(it);
}

// Which controls the modes that are on lock.
void TKartForm::ApplyModeLocks() {
    const bool helio = HelioBox->Checked(), horiz = HorizontalBox->Checked();
    for (QWidget* w : std::initializer_list<QWidget*>{AscendButton, BckAscButton, DegreeButton,
                                                      InHsCheck, OutHsCheck, FromHsCheck, ToHsCheck,
                                                      AfetBox, HouseComboBox})
        w->setEnabled(!helio && !horiz);
    RABox->setEnabled(!helio);
    LeftDir->setEnabled(!horiz);
    RightDir->setEnabled(!horiz);
    // a double chart is never heliocentric
    HelioBox->setEnabled(!horiz && !p_.Flags.DoubleChart);
    auto* data = Screen().FindForm("DataForm");
    if (auto* two = data ? data->Find<TRadioButton>("TwoButton") : nullptr) two->setEnabled(!helio);
}

void TKartForm::ModeSwitched() {
    ApplyModeLocks();
    if (!p_.Flags.ClosingAll && p_.Flags.Ready) {
        ReportOf(p_.s).ProcessEvents();
        Recompute();
    }
}

void TKartForm::HelioBoxClick() {
    {
        NotReady guard(p_.Flags);
        if (HelioBox->Checked()) {
            SaveAxisOptions(HelioBox);
            DegreeButton->SetChecked(true);
            for (TCheckBox* c : {InHsCheck, OutHsCheck, FromHsCheck, ToHsCheck, RABox, AfetBox})
                c->SetChecked(false);
        } else {
            RestoreAxisOptions(HelioBox);
        }
    }
    ModeSwitched();
}

void TKartForm::HorizontalBoxClick() {
    {
        NotReady guard(p_.Flags);
        if (HorizontalBox->Checked()) {
            SaveAxisOptions(HorizontalBox);
            DegreeButton->SetChecked(true);
            LeftDir->SetChecked(true);
            for (TCheckBox* c : {OutHsCheck, FromHsCheck, ToHsCheck, AfetBox}) c->SetChecked(false);
        } else {
            RestoreAxisOptions(HorizontalBox);
        }
    }
    ModeSwitched();
}

// A separator ("*") or empty entry is put back to the system in use, 10 ms later so that the
// box's own change handler is not entered again.
void TKartForm::HouseComboBoxChange() {
    const std::string t = HouseComboBox->Text();
    if (!t.empty() && t[0] != '*') {
        Recompute();
        return;
    }
    const std::vector<std::string> items = HouseComboBox->Items();
    if (items.empty()) return;
    const int i = std::clamp(p_.s.HouseSystem - 1, 0, static_cast<int>(items.size()) - 1);
    p_.Commands.PostUICommand("KartForm,HouseComboBox", items[i]);
}

void TKartForm::ComboBox1Change() {
    const std::string t = ComboBox1->Text();
    if (!t.empty() && t[0] != '*' && ComboBox1->IndexOf(t) >= 0) {
        ComboBox1->SetItemIndex(ComboBox1->IndexOf(t));
        Redraw();
        return;
    }
    const int i = std::max(ComboBox1->ItemIndex(), 0);
    p_.Commands.PostUICommand("KartForm,ComboBox1", ComboBox1->Items()[i]);
}

void TKartForm::SyncCoordColumnCombo() {
    shell::TTech::SyncComboIndex(*ComboBox1);
}

void TKartForm::Realiz() {
    p_.s.DirCoef = DirectionsCoefficient();
    Recompute();
}

double TKartForm::DirectionsCoefficient() const {
    if (!KoeffCheckBox->Checked()) return 1.0;
    const double k = StrToFloatHM(KoeffEdit->Text());
    return k > 0 ? k : 1.0;
}

void TKartForm::XGroupClick() {
    Recompute();
}

void TKartForm::BackgroundClick() {
    const uint32_t colour = BlackButton->Checked()   ? 0x000000
                            : WhiteButton->Checked() ? 0xFFFFFF
                                                     : Colors.KartBck;
    if (p_.Form1) p_.Form1->SetColor(colour);
    Redraw();
}

void TKartForm::DataCheckBoxClick() {
    p_.ReadOptions();
    if (p_.Tech) {
        p_.Tech->SetMainTitle();
        p_.Tech->RedrawIfNatal();
    }
}

void TKartForm::ExterrBoxClick() {
    int body = 0;
    if (ExterrBox->Checked()) body = ExMerButton->Checked() ? 3 : ExVenButton->Checked() ? 4 : 5;
    p_.Flags.ExterrBody = body;
    Recompute();
}

void TKartForm::TabControlChange() {
    TPanel* panels[] = {MainPanel, PlnPanel,    DomPanel,   AspectPanel, AdditPanel,
                        SizePanel, StatusPanel, ColorPanel, SRPanel};
    const int i = TabControl->TabIndex();
    for (int k = 0; k < 9; ++k) panels[k]->setVisible(k == i);
    ExterrPanel->hide();
    if (i >= 0 && i < 9) panels[i]->raise();
    QWidget* grid = i == 1   ? PlnGrid
                    : i == 2 ? DomGrid
                    : i == 3 ? AspectGrid
                    : i == 6 ? StatusGrid
                             : nullptr;
    if (grid && isVisible()) grid->setFocus();
}

void TKartForm::FormKeyPress(char& ch) {
    if (ch != '\r') return;
    ch = 0;
    if (CommitOrbEdit()) return;
    Recompute();
}

void TKartForm::FormClose() {
    CommitOrbEdit(true);
    if (StatusChanged) {
        SaveStatusMemo();
        StatusChanged = false;
    }
}

void TKartForm::ClearLabelOffsets() {
    if (OnClearLabelOffsets) OnClearLabelOffsets();
}

bool TKartForm::ShowChartHint(int x, int y) {
    shell::TForm1* main = p_.Form1;
    for (const std::string& line : KartSpots) {
        std::string rest = line;
        const std::size_t a = rest.find(';');
        if (a == std::string::npos) continue;
        const std::size_t b = rest.find(';', a + 1);
        const int sx = StrToIntDef0(rest.substr(0, a));
        const int sy = StrToIntDef0(
            rest.substr(a + 1, b == std::string::npos ? std::string::npos : b - a - 1));
        // the third field is what the user reads; a fourth, the object's code, is not shown
        std::string text = b == std::string::npos ? std::string() : rest.substr(b + 1);
        std::string code;
        if (const std::size_t c = text.find(';'); c != std::string::npos) {
            code = text.substr(c + 1);
            text.resize(c);
        }
        if (std::abs(sx - x) >= 5 || std::abs(sy - y) >= 5) continue;
        if (text.size() > 1 && text[0] == '#')
            text = GetMsgText(p_.s, StrToIntDef0(text.substr(1)));
        if (main) {
            if ((code.empty() ? text : code).size() == 3)
                main->PaintBox->setCursor(Qt::PointingHandCursor);
            TPanel* label = main->GeoNameLabel;
            label->SetCaption(text);
            const QFontMetrics fm(label->font());
            const int h = fm.height() + 2;
            const int w = fm.horizontalAdvance(ToQ(text)) + 8;
            ui::SetBounds(label, sx, sy - h - 2 + main->PaintBox->y(), w, h);
            label->setVisible(HintBox->Checked());
        }
        SetStatus(p_.s, text);
        return true;
    }
    if (main) {
        main->GeoNameLabel->hide();
        main->PaintBox->unsetCursor();
    }
    SetStatus(p_.s, "");
    return false;
}

// --- Flag grids ---------------------------------------------------------------------------------

TEdit* TKartForm::PlnColumnEdit(int col) const {
    TEdit* e[] = {nullptr, Existing, Aspecting, TablAsp, Elements, Existing2, Aspecting2, TablAsp2};
    return col >= 1 && col <= 7 ? e[col] : nullptr;
}

TEdit* TKartForm::DomColumnEdit(int col) const {
    TEdit* e[] = {nullptr, DomShow, DomAspecting, DomTablAsp};
    return col >= 1 && col <= 3 ? e[col] : nullptr;
}

namespace {
char PadOfColumn(int col) {
    return col == 1 || col == 2 || col == 5 || col == 6 ? kFlagOn : kFlagOff;
}
void CellText(QPainter& g, const QRect& r, const std::string& text) {
    g.drawText(r.adjusted(3, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, ToQ(text));
}
} // namespace

void TKartForm::PlnGridDrawCell(QPainter& g, int col, int row, const QRect& r) {
    const bool en = p_.s.EnglishMode;
    if (row == 0) {
        static const char* ru[] = {"", "Вид", "Асп", "Таб", "Эл.", "Вид*", "Асп*", "Таб*"};
        static const char* eng[] = {"", "Visi", "Asp", "Grid", "Orb", "Visi*", "Asp*", "Grid*"};
        if (col >= 1 && col <= 7) CellText(g, r, en ? eng[col] : Cp(ru[col]));
        return;
    }
    if (row > kFlagPoints) return;
    const int point = RowPoint[row];
    if (col == 0) {
        std::string label = p_.Tech ? p_.Tech->PointLabel(point) : BodyName(p_.s, point);
        if (point == 1 && HelioBox->Checked()) label = std::string(1, '\x10');
        if (point >= kFirstExtraPoint && (label == "5" || label == "?") && p_.Svc.BodyTableName) {
            CellText(g, r, Trim(p_.Svc.BodyTableName(point + 57)));
            return;
        }
        PaintFont16Text(g, p_.Font, r.x() + 2, r.y() + (r.height() - 16) / 2, label, kBlack);
        return;
    }
    TEdit* e = PlnColumnEdit(col);
    if (!e) return;
    std::string flags = e->Text();
    if (flags.size() < static_cast<std::size_t>(kFlagPoints)) {
        flags.resize(kFlagPoints, PadOfColumn(col));
        e->SetText(flags);
    }
    if (point >= 1 && point <= static_cast<int>(flags.size()))
        CellText(g, r, std::string(1, flags[point - 1]));
}

void TKartForm::PlnGridClick(int col, int row) {
    TEdit* e = PlnColumnEdit(col);
    if (!e) return;
    std::string flags = e->Text();
    if (row == 0) {
        flags = FlagsOfLength(flags, kFlagPoints, ' ');
        const int first = RowPoint[1];
        const bool on = first >= 1 && flags[first - 1] == kFlagOn;
        for (int r = 1; r <= kFlagPoints; ++r)
            if (RowPoint[r] >= 1 && RowPoint[r] <= kFlagPoints)
                flags[RowPoint[r] - 1] = on ? kFlagOff : kFlagOn;
    } else {
        const int point = row <= kFlagPoints ? RowPoint[row] : 0;
        if (point < 1) return;
        if (static_cast<int>(flags.size()) < point) flags.resize(point, PadOfColumn(col));
        flags[point - 1] = flags[point - 1] == kFlagOn ? kFlagOff : kFlagOn;
    }
    e->SetText(flags);
    PlnGrid->Invalidate();
    if (col == 3 || col == 7) {
        if (Screen().FormExists("AspTabl")) p_.Commands.RunUICommand("AspTabl,DrawGrid", "");
    } else {
        if (p_.Tech) p_.Tech->RedrawIfNatal();
    }
}

void TKartForm::PlnGridMouseUp(MouseButton b, int x, int y) {
    if (b != MouseButton::Left) return;
    const QModelIndex i = PlnGrid->indexAt(QPoint(x, y));
    if (i.isValid()) PlnGridClick(i.column(), i.row());
}

void TKartForm::DomGridDrawCell(QPainter& g, int col, int row, const QRect& r) {
    if (row == 0) {
        static const char* ru[] = {"", "Вид", "Асп", "Таб"};
        static const char* eng[] = {"", "Visi", "Asp", "Grid"};
        if (col >= 1 && col <= 3) CellText(g, r, p_.s.EnglishMode ? eng[col] : Cp(ru[col]));
        return;
    }
    if (col == 0) {
        const char* names[] = {"", "Asc", "", "", " IC", "", "", "Dsc", "", "", " MC", "", ""};
        CellText(g, r, row <= 12 && *names[row] ? names[row] : IntToStrW(row, 4));
        return;
    }
    if (TEdit* e = DomColumnEdit(col))
        CellText(g, r, std::string(1, FlagAt(e->Text(), row, true) ? kFlagOn : e->Text()[row - 1]));
}

void TKartForm::DomGridClick(int col, int row) {
    TEdit* e = DomColumnEdit(col);
    if (!e) return;
    std::string flags = e->Text();
    if (row == 0) {
        flags = FlagsOfLength(flags, kFlagHouses, ' ');
        const char to = flags[0] == kFlagOn ? kFlagOff : kFlagOn;
        flags.assign(kFlagHouses, to);
    } else if (row <= kFlagHouses) {
        if (static_cast<int>(flags.size()) < row) flags.resize(row, kFlagOn);
        flags[row - 1] = flags[row - 1] == kFlagOn ? kFlagOff : kFlagOn;
    } else {
        return;
    }
    e->SetText(flags);
    DomGrid->Invalidate();
    if (col == 3) {
        if (Screen().FormExists("AspTabl")) p_.Commands.RunUICommand("AspTabl,DrawGrid", "");
    } else if (p_.Tech) {
        p_.Tech->RedrawIfNatal();
    }
}

void TKartForm::DomGridMouseUp(MouseButton b, int x, int y) {
    if (b != MouseButton::Left) return;
    const QModelIndex i = DomGrid->indexAt(QPoint(x, y));
    if (i.isValid()) DomGridClick(i.column(), i.row());
}

void TKartForm::StatusGridDrawCell(QPainter& g, int col, int row, const QRect& r) {
    if (row == 0) {
        if (col >= 1 && col <= 4) CellText(g, r, GetMsgText(p_.s, 14 + col));
        return;
    }
    if (row > kDignityBodies) return;
    const int y = r.y() + (r.height() - 16) / 2;
    if (col == 0) {
        const std::string glyph = row == 15 ? "." : row == 16 ? "/" : BodyName(p_.s, row);
        PaintFont16Text(g, p_.Font, r.x() + 2, y, glyph, kBlack);
        return;
    }
    for (int sign = 1; sign <= 12; ++sign)
        PaintFont16Text(g, p_.Font, r.x() + (sign - 1) * 14, y,
                        std::string(1, static_cast<char>(63 + sign)),
                        PlnStatus.Has(col, sign, row) ? kBlack : 0xC0C0C0);
}

void TKartForm::StatusGridClick(int col, int row, int dx) {
    if (col < 1 || col > 4 || row < 1 || row > kDignityBodies || dx < 0) return;
    const int sign = dx / 14 + 1;
    if (sign > 12) return;
    PlnStatus.Toggle(col, sign, row);
    StatusGrid->Invalidate();
    StatusChanged = true;
    p_.s.SignRuler = PlnStatus.SignRulers();
    if (p_.Tech) p_.Tech->RedrawIfNatal();
}

void TKartForm::StatusGridMouseUp(MouseButton b, int x, int y) {
    if (b != MouseButton::Left) return;
    const QModelIndex i = StatusGrid->indexAt(QPoint(x, y));
    if (!i.isValid()) return;
    const QRect r = StatusGrid->visualRect(i);
    StatusGridClick(i.column(), i.row(), x - r.x());
}

// --- Colours, dignities, settings files ---------------------------------------------------------

void TKartForm::LoadStatusAndColors() {
    for (int c = 1; c <= 4; ++c) StatusGrid->SetColWidth(c, 171);
    PlnStatus = DecodeStatusMemo(StatusMemo->Lines());
    p_.s.SignRuler = PlnStatus.SignRulers();
    Colors = DecodeColorMemo(ColorMemo->Lines(), Colors);
    p_.s.DirCoef = DirectionsCoefficient();
}

void TKartForm::SaveStatusMemo() {
    StatusMemo->SetLines(EncodeStatusMemo(PlnStatus));
}

void TKartForm::SaveColorMemo() {
    ColorMemo->SetLines(EncodeColorMemo(Colors));
    if (p_.Tech) p_.Tech->RedrawIfNatal();
}

void TKartForm::ColorButtonClick(uint32_t ChartColors::*colour) {
    uint32_t value = Colors.*colour;
    if (!Screen().Dlg().ChooseColor(value)) return;
    Colors.*colour = value;
    SaveColorMemo();
    // the coloured background in use takes the new colour at once
    if (colour == &ChartColors::KartBck && ColorButton->Checked()) BackgroundClick();
}

bool TKartForm::SaveKartSettings(const fs::path& file) {
    if (StatusChanged) SaveStatusMemo();
    std::vector<std::string> lines, scratch;
    for (const Component& c : Components()) {
        WindowStateFiles::EncodeComponentState("KartForm", c, scratch);
        lines.insert(lines.end(), scratch.begin(), scratch.end());
    }
    const IoResult r = WriteTextFileAtomic(file, lines);
    return !IOCheck(p_.s, r, file.filename().string());
}

bool TKartForm::LoadKartSettings(const fs::path& file) {
    std::vector<std::string> lines;
    const IoResult r = ReadTextLines(file, lines);
    if (IOCheck(p_.s, r, file.filename().string())) return false;
    // The lines of the window-state files: values, and blocks up to "//" (a memo's lines).
    for (const StateEntry& e : ParseStateLines(lines)) {
        if (e.form != "KartForm" || e.component.empty()) continue;
        if (TMemo* memo = p_.StateFiles.ApplyComponentState(*this, e.component, e.value))
            memo->SetLines(e.lines);
    }
    LoadStatusAndColors();
    StatusChanged = false;
    return true;
}

void TKartForm::SaveButtonClick() {
    AstroDat& s = p_.s;
    const fs::path folder = s.DataPath("wrk");
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder)) {
        Screen().Dlg().Message(MsgKind::Warning, GetMsgText(s, 70, folder.string()),
                               MsgButtons::Ok);
        return;
    }
    fs::path chosen = folder / NchEdit->Text();
    const std::string filter = Lang(s, "Файлы установок"_cp, "Nat.Chart files") + " (*.nch)|*.NCH";
    if (!Screen().Dlg().SaveFile(Caption(), filter, chosen)) return;
    if (fs::exists(chosen)) {
        const MsgResult answer = Screen().Dlg().Message(
            MsgKind::Confirmation, GetMsgText(s, 69, chosen.filename().string()),
            MsgButtons::YesNoCancel);
        if (answer != MsgResult::Yes) return;
    }
    SaveKartSettings(chosen);
}

void TKartForm::LoadButtonClick() {
    AstroDat& s = p_.s;
    {
        NotReady guard(p_.Flags);
        const fs::path folder = s.DataPath("wrk");
        if (!fs::is_directory(folder)) {
            Screen().Dlg().Message(MsgKind::Warning, GetMsgText(s, 70, folder.string()),
                                   MsgButtons::Ok);
            return;
        }
        fs::path chosen = folder / NchEdit->Text();
        const std::string filter =
            Lang(s, "Файлы установок"_cp, "Natal Chart Setup") + " (*.nch)|*.NCH";
        if (!Screen().Dlg().OpenFile(Caption(), filter, chosen)) return;
        if (!LoadKartSettings(chosen)) return;
        NchEdit->SetText(chosen.filename().string());
    }
    if (!p_.Flags.ClosingAll) Recompute();
}

} // namespace qor::chart
