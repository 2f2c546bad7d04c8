#include "chart/DataForm.h"

#include "chart/KartForm.h"
#include "core/AstroMath.h"
#include "core/ChartRecords.h"
#include "core/ContextStack.h"
#include "core/Formats.h"
#include "core/Stepping.h"
#include "core/Text.h"
#include "shell/MainForm.h"
#include "shell/Tech.h"

#include <cstdlib>

namespace qor::chart {

using namespace ui;

TDataForm::TDataForm(shell::Program& p) : TForm("DataForm"), p_(p) {
    SetCaption("Данные"_cp);
    SetToolWindow(true);
    SetHelpTopic("birth_data.html");
    SetBorderStyle(BorderStyle::Single);
    SetBounds(120, 90, 452, 330);
    SetKeyPreview(true);

    auto label = [this](const char* name, const std::string& caption, int x, int y) {
        auto* l = Add<TLabel>(name, {x, y, 80, 16});
        l->SetCaption(caption);
        return l;
    };
    auto edit = [this](const char* name, QRect r) {
        auto* e = Add<TEdit>(name, r);
        SetTag(e, 9); // the window-state files never keep a chart's data
        return e;
    };
    NameLabel = label("NameLabel", "Имя"_cp, 8, 10);
    NameEdit = edit("NameEdit", {70, 8, 220, 22});
    SexGroup = Add<TRadioGroup>("SexGroup", {292, 0, 140, 58});
    SexGroup->SetCaption("Пол"_cp);
    SexGroup->SetColumns(3);
    SexGroup->SetItems({"М"_cp, "Ж"_cp, " —"_cp});
    SexGroup->SetItemIndex(2);
    DateLabel = label("DateLabel", "Дата"_cp, 8, 40);
    DateEdit = edit("DateEdit", {70, 38, 90, 22});
    EraCheckBox = Add<TCheckBox>("EraCheckBox", {166, 40, 80, 18});
    EraCheckBox->SetCaption("до н.э."_cp);
    TimeLabel = label("TimeLabel", "Время"_cp, 8, 68);
    TimeEdit = edit("TimeEdit", {70, 66, 90, 22});
    ZoneLabel = label("ZoneLabel", "Пояс"_cp, 166, 68);
    dTEdit = edit("dTEdit", {206, 66, 70, 22});
    LatLabel = label("LatLabel", "Широта"_cp, 8, 96);
    LatEdit = edit("LatEdit", {70, 94, 90, 22});
    LongLabel = label("LongLabel", "Долгота"_cp, 166, 96);
    LongEdit = edit("LongEdit", {226, 94, 90, 22});
    GeoButton = Add<TSpeedButton>("GeoButton", {322, 94, 24, 22});
    GeoButton->SetCaption("@");
    CityLabel = label("CityLabel", "Город"_cp, 8, 124);
    CityEdit = edit("CityEdit", {70, 122, 150, 22});
    CountryLabel = label("CountryLabel", "Страна"_cp, 226, 124);
    CountryEdit = edit("CountryEdit", {280, 122, 152, 22});

    KindGroup = Add<TGroupBox>("KindGroup", {8, 150, 424, 70});
    OneButton = Add<TRadioButton>("OneButton", {8, 18, 80, 18}, KindGroup);
    OneButton->SetCaption("Натал"_cp);
    HorarButton = Add<TRadioButton>("HorarButton", {96, 18, 80, 18}, KindGroup);
    HorarButton->SetCaption("Хорар"_cp);
    TwoButton = Add<TRadioButton>("TwoButton", {184, 18, 90, 18}, KindGroup);
    TwoButton->SetCaption("Двойная"_cp);
    OneButton->SetChecked(true);
    ComboBox = Add<TComboBox>("ComboBox", {8, 40, 408, 22}, KindGroup);
    ComboBox->SetItems(MethodItems());
    ComboBox->SetItemIndex(0);
    ComboBox->SetTypingAllowed(false);
    ComboBox->setEnabled(false);

    auto button = [this](const char* name, const std::string& caption, int x, int y) {
        auto* b = Add<TButton>(name, {x, y, 100, 26});
        b->SetCaption(caption);
        return b;
    };
    BaseBtn = button("BaseBtn", "&База"_cp, 8, 228);
    AtlasBtn = button("AtlasBtn", "&Атлас"_cp, 116, 228);
    RealBtn = button("RealBtn", "&Сейчас"_cp, 224, 228);
    ClearBtn = button("ClearBtn", "&Очистить"_cp, 332, 228);
    TempBtn = button("TempBtn", "&Исходные"_cp, 224, 258);
    BackBtn = button("BackBtn", "&Фоновые"_cp, 332, 258);
    CommentBtn = button("CommentBtn", "&Комментарий"_cp, 8, 258);
    OKBtn = button("OKBtn", "&Выполнить"_cp, 8, 290);
    CloseBtn = button("CloseBtn", "&Закрыть"_cp, 116, 290);
    Memo = Add<TMemo>("Memo", {444, 8, 240, 306});
    SetTag(Memo, 9);
    Memo->hide();
    Timer = Add<TTimer>("Timer");
    Timer->SetInterval(100);
    Timer->SetEnabled(false);

    OKBtn->OnClick = [this] { OKBtnClick(); };
    RealBtn->OnClick = [this] { RealBtnClick(); };
    BaseBtn->OnClick = [this] { BaseBtnClick(); };
    AtlasBtn->OnClick = [this] { AtlasBtnClick(); };
    BackBtn->OnClick = [this] { BackBtnClick(); };
    TempBtn->OnClick = [this] { TempBtnClick(); };
    CommentBtn->OnClick = [this] { CommentBtnClick(); };
    ClearBtn->OnClick = [this] { ClearBtnClick(); };
    CloseBtn->OnClick = [this] { Close(); };
    GeoButton->OnClick = [this] { GeoButtonClick(); };
    OneButton->OnClick = [this] { ComboBox->setEnabled(false); };
    HorarButton->OnClick = [this] { ComboBox->setEnabled(false); };
    TwoButton->OnClick = [this] { ComboBox->setEnabled(true); };
    ComboBox->OnKeyDown = [](int& key, Shift) { key = 0; };
    Timer->OnTimer = [this] { TimerTimer(); };
    OnShow = [this] { FormShow(); };
    OnClose = [this](CloseAction&) { FormClose(); };

    for (TEdit* e : {DateEdit, TimeEdit, dTEdit, LatEdit, LongEdit}) {
        e->setReadOnly(true);
        e->OnKeyDown = [this, e](int& key, Shift) { MaskedKeyDown(e, key); };
        e->OnEnter = [this, e] { PlaceCaret(e); };
        e->OnClick = [this, e] { PlaceCaret(e); };
        e->OnExit = [this, e] { MaskedExit(e); };
    }
    // The field separator of the record files never enters a free field.
    for (TEdit* e : {NameEdit, CityEdit, CountryEdit})
        e->OnKeyPress = [](char& ch) {
            if (ch == ';') ch = ',';
        };
    Memo->OnKeyPress = [](char& ch) {
        if (ch == ';') ch = ',';
    };
    OnKeyDown = [this](int& key, Shift) {
        QWidget* w = focusWidget();
        const bool onEdit = dynamic_cast<TEdit*>(w) != nullptr;
        if (onEdit && (key == vk::Return || key == vk::Down)) {
            focusNextChild();
            key = 0;
        } else if (onEdit && key == vk::Up) {
            focusPreviousChild();
            key = 0;
        }
    };
    ZoneOfLongitude = [](const std::string& text) -> std::optional<int> {
        const auto lon = ParseLongitude(text);
        if (!lon) return std::nullopt;
        return static_cast<int>(RoundEven(*lon / kDegToRad / 15)) * 60;
    };
    ClearBtnClick();
}

TKartForm* TDataForm::Kart() const {
    return dynamic_cast<TKartForm*>(Screen().FindForm("KartForm"));
}

// --- Masked edits -------------------------------------------------------------------------------

FieldShape TDataForm::ShapeOf(const TEdit* e) const {
    if (e == DateEdit) return FieldShape::Date;
    if (e == TimeEdit) return FieldShape::Time;
    if (e == dTEdit) return FieldShape::Zone;
    if (e == LatEdit) return FieldShape::Latitude;
    return FieldShape::Longitude;
}

void TDataForm::PlaceCaret(TEdit* e) {
    CaretPos = 1;
    e->setCursorPosition(0);
}

void TDataForm::MaskedKeyDown(TEdit* e, int& key) {
    if (key == vk::Return || key == vk::Up || key == vk::Down || key == vk::Tab ||
        key == vk::Escape || key == vk::F1 || key == 0)
        return;
    OvertypeEditKey(e, ShapeOf(e), CaretPos, key);
}

void OvertypeEditKey(TEdit* e, FieldShape shape, int& caret, int& key) {
    FieldEdit f{e->Text(), caret};
    const std::string before = f.text;
    if (OvertypeKey(shape, f, key)) key = 0;
    if (f.text != before) e->SetText(f.text);
    caret = f.caret;
    e->setCursorPosition(caret - 1);
}

bool TDataForm::MaskedExit(TEdit* e) {
    const FieldCheck c = CheckField(ShapeOf(e), e->Text(), EraCheckBox->Checked());
    if (c.ok) {
        if (c.text != e->Text()) e->SetText(c.text);
        PlaceCaret(e);
        return true;
    }
    SetStatus(p_.s, " Ошибка! "_cp);
    PlayWav(p_.s, "Error.wav");
    RefocusEdit = e;
    if (isVisible()) e->setFocus();
    Timer->SetEnabled(true);
    return false;
}

void TDataForm::TimerTimer() {
    Timer->SetEnabled(false);
    if (RefocusEdit) {
        if (isVisible()) RefocusEdit->setFocus();
        PlaceCaret(RefocusEdit);
    }
    RefocusEdit = nullptr;
}

MomentTexts TDataForm::FieldTexts() const {
    return {DateEdit->Text() + (EraCheckBox->Checked() ? "B" : ""), TimeEdit->Text(),
            dTEdit->Text(), LatEdit->Text(), LongEdit->Text()};
}

TEdit* TDataForm::InvalidField(std::string* why) const {
    const MomentParse m = ParseChartMoment(p_.s, FieldTexts());
    if (m) return nullptr;
    if (why) *why = m.Problem;
    switch (m.Refused) {
    case MomentField::Date:
        return DateEdit;
    case MomentField::Time:
        return TimeEdit;
    case MomentField::Zone:
        return dTEdit;
    case MomentField::Latitude:
        return LatEdit;
    default:
        return LongEdit;
    }
}

// --- Transfers ----------------------------------------------------------------------------------

// Each field that holds a valid value goes into the moment; a field that does not leaves its
// part of the moment as it was (never a day 0 or a zone of nothing).
bool TDataForm::DataFormToMoment() {
    AstroDat& s = p_.s;
    SetChartName(s, Trim(NameEdit->Text()));
    s.ChartName = Trim(NameEdit->Text());
    const MomentTexts t = FieldTexts();
    const auto date = ParseMomentDate(t.Date);
    if (date) {
        s.ChartDay = date->Day;
        s.ChartMonth = date->Month;
        s.ChartYear = date->Year;
    }
    const auto time = ParseMomentTime(t.Time);
    if (time) {
        s.ChartHour = time->Hour;
        s.ChartMinute = time->Minute;
        s.ChartSecond = time->Second;
    }
    const auto zone = ParseMomentZone(t.Zone);
    const auto lat = ParseLatitude(t.Lat);
    const auto lon = ParseLongitude(t.Long);
    if (zone) s.ChartZone = *zone;
    if (lat) s.ChartLat = *lat;
    if (lon) s.ChartLong = *lon;
    return date && time && zone && lat && lon;
}

void TDataForm::MomentToDataForm() {
    const bool source = p_.Flags.SourceData;
    if (ShowsBackSet() == source) return; // the window shows the set the steps do not move
    const ChartMoment m = MomentOf(p_.s);
    if (CalendarDateValid(m.Year, m.Month, m.Day)) {
        const DateField d = MomentDateField(m);
        DateEdit->SetText(d.Text);
        EraCheckBox->SetChecked(d.BeforeEra);
    }
    TimeEdit->SetText(MomentTimeText(m));
    LatEdit->SetText(FormatLatitude(m.Lat));
    LongEdit->SetText(FormatLongitude(m.Long));
}

void TDataForm::FieldsToRec(DatRec& rec) const {
    rec[kRecName] = RecordSafeText(NameEdit->Text(), true);
    rec[kRecSex] = std::to_string(std::clamp(SexGroup->ItemIndex(), 0, 2));
    const MomentTexts moment = FieldTexts();
    rec[kRecDate] = moment.Date;
    rec[kRecTime] = moment.Time;
    rec[kRecZone] = moment.Zone;
    rec[kRecCity] = RecordSafeText(CityEdit->Text(), true);
    rec[kRecCountry] = RecordSafeText(CountryEdit->Text(), true);
    rec[kRecLat] = LatEdit->Text();
    rec[kRecLong] = LongEdit->Text();
    std::string comment;
    const std::vector<std::string> lines = Memo->Lines();
    for (std::size_t k = 0; k < lines.size(); ++k) comment += (k ? "\r\n" : "") + lines[k];
    rec[kRecComment] = RecordSafeText(comment, true);
}

void TDataForm::RecToFields(const DatRec& rec) {
    NameEdit->SetText(rec[kRecName]);
    const int sex = StrToIntDef0(rec[kRecSex]);
    SexGroup->SetItemIndex(sex >= 0 && sex <= 2 ? sex : 0);
    const std::string& date = rec[kRecDate];
    DateEdit->SetText(date.substr(0, 10));
    EraCheckBox->SetChecked(!date.empty() && date.back() == 'B');
    TimeEdit->SetText(rec[kRecTime]);
    dTEdit->SetText(rec[kRecZone]);
    CityEdit->SetText(rec[kRecCity]);
    CountryEdit->SetText(rec[kRecCountry]);
    LatEdit->SetText(rec[kRecLat]);
    LongEdit->SetText(rec[kRecLong]);
    Memo->SetText(rec[kRecComment]);
}

void TDataForm::DataFormToDatRec() {
    FieldsToRec(p_.s.DatRec1);
    p_.s.DateShort1 = p_.s.DatRec1[kRecDate].substr(0, 10);
}

void TDataForm::DataFormToBackRec() {
    FieldsToRec(p_.s.DatRec2);
    p_.s.DateShort2 = p_.s.DatRec2[kRecDate].substr(0, 10);
}

void TDataForm::DatRecToDataForm() {
    RecToFields(p_.s.DatRec1);
}

void TDataForm::BackRecToDataForm() {
    RecToFields(p_.s.DatRec2);
}

void TDataForm::MomentToRec(DatRec& rec) const {
    const ChartMoment m = MomentOf(p_.s);
    rec[kRecDate] = MomentDateText(m);
    rec[kRecTime] = MomentTimeText(m);
    rec[kRecLat] = FormatLatitude(m.Lat);
    rec[kRecLong] = FormatLongitude(m.Long);
}

void TDataForm::MomentToDatRec() {
    MomentToRec(p_.s.DatRec1);
}

// --- Chart kind and applying --------------------------------------------------------------------

void TDataForm::ReadChartKind() {
    shell::ShellFlags& f = p_.Flags;
    const bool kind = OneButton->Checked() || HorarButton->Checked() || TwoButton->Checked();
    if (OneButton->Checked() || HorarButton->Checked()) {
        f.DoubleChart = false;
        f.HoraryChart = HorarButton->Checked();
        MethodIndex = -1;
        ComboBox->setEnabled(false);
    } else if (TwoButton->Checked()) {
        f.DoubleChart = true;
        f.HoraryChart = false;
        AppliedMethodText = ComboBox->Text();
        ComboBox->setEnabled(true);
        if (const int i = ComboBox->IndexOf(ComboBox->Text()); i >= 0) MethodIndex = i;
    }
    if (TKartForm* kart = Kart(); kart && kind) kart->ChartKindChanged();
}

bool TDataForm::ApplyData() {
    if (!OKBtn->isEnabled()) return false;
    std::string why;
    if (InvalidField(&why)) {
        // Real time applies the fields every second: it says so on the status line only.
        if (p_.Flags.RealTimeMode)
            SetStatus(p_.s, why);
        else
            ReportOf(p_.s).ShowMessage(MsgKind::Warning, why);
        return false;
    }
    AstroDat& s = p_.s;
    if (p_.Flags.DoubleChart)
        if (const char c = MethodLetter(MethodIndex)) s.DynMethod = c;
    if (!DataFormToMoment()) return false;
    DataFormToDatRec();
    s.DatRec1Applied = s.DatRec1;
    s.DatRec2Applied = s.DatRec2;
    if (TKartForm* kart = Kart()) kart->ChartKindApplied();
    if (p_.Tech) p_.Tech->RefreshAll();
    return true;
}

void TDataForm::LoadDataCaptions() {
    MainCaption = GetMsgText(p_.s, 36);
    BackCaption = GetMsgText(p_.s, 37);
    SetCaption(MainCaption);
    MethodIndex = -1;
    ComboBox->setEnabled(false);
}

void TDataForm::OKBtnClick() {
    ReadChartKind();
    const bool back = ShowsBackSet();
    if (back) {
        // The edited background set is stored and the main set applied with it.
        DataFormToBackRec();
        DatRecToDataForm();
    }
    const bool stars = p_.Flags.StarsRecalc;
    if (p_.ItemIndex("GenSet", "PrecessGroup") == 1) p_.Flags.StarsRecalc = true;
    const bool applied = ApplyData();
    p_.Flags.StarsRecalc = stars;
    if (back) {
        DataFormToDatRec();
        BackRecToDataForm();
    }
    if (!applied) return;
    if (AddChartHistory) AddChartHistory();
    if (isVisible()) {
        CloseBtn->setDefault(true);
        CloseBtn->setFocus();
    }
}

void TDataForm::RealBtnClick() {
    const OwnPlace place{p_.Text("QorLoc", "astdT"), p_.Text("QorLoc", "astLat"),
                         p_.Text("QorLoc", "astLong"), p_.Text("QorLoc", "astCity"),
                         p_.Text("QorLoc", "astCountry")};
    const RealTimeFields f = SetRealTime(LocalMomentNow(), place);
    NameEdit->SetText(f.NameEdit);
    DateEdit->SetText(f.DateEdit);
    EraCheckBox->SetChecked(f.EraCheckBox);
    TimeEdit->SetText(f.TimeEdit);
    if (!f.dTEdit.empty()) dTEdit->SetText(f.dTEdit);
    if (!f.LatEdit.empty()) LatEdit->SetText(f.LatEdit);
    if (!f.LongEdit.empty()) LongEdit->SetText(f.LongEdit);
    CityEdit->SetText(f.CityEdit);
    CountryEdit->SetText(f.CountryEdit);
    SexGroup->SetItemIndex(f.SexGroup);
}

void TDataForm::BaseBtnClick() {
    if (TForm* f = Screen().Ensure("Base")) {
        f->SetWindowState(WindowState::Normal);
        f->show();
    }
}

void TDataForm::AtlasBtnClick() {
    if (TForm* f = Screen().Ensure("Cities")) {
        if (!f->Components().empty())
            if (QWidget* w = f->Components().front().widget()) w->setEnabled(true);
        f->SetWindowState(WindowState::Normal);
        f->show();
    }
}

void TDataForm::BackBtnClick() {
    SetCaption(BackCaption);
    DataFormToDatRec();
    BackRecToDataForm();
    BackBtn->setEnabled(false);
    TempBtn->setEnabled(true);
}

void TDataForm::TempBtnClick() {
    SetCaption(MainCaption);
    DataFormToBackRec();
    DatRecToDataForm();
    TempBtn->setEnabled(false);
    BackBtn->setEnabled(true);
}

// The width shows the comment beside the fields, or ends at the buttons (the background-set
// button is the rightmost; the base button's left gives the margin).
void TDataForm::FitWidthToMemo() {
    const int w = Memo->isVisibleTo(this) ? Memo->x() + Memo->width() + 10
                                          : BackBtn->x() + BackBtn->width() + BaseBtn->x() + 10;
    SetBounds(Left(), Top(), w, Height());
}

void TDataForm::CommentBtnClick() {
    Memo->setVisible(!Memo->isVisibleTo(this));
    FitWidthToMemo();
}

void TDataForm::ClearBtnClick() {
    NameEdit->SetText("");
    Memo->Clear();
    DateEdit->SetText("01.01.2000");
    EraCheckBox->SetChecked(false);
    TimeEdit->SetText("00:00:00");
    dTEdit->SetText("+00:00");
    LatEdit->SetText("00"_cp + std::string(1, kDegreeSign) + "00'N");
    LongEdit->SetText("000" + std::string(1, kDegreeSign) + "00'E");
    CityEdit->SetText("");
    CountryEdit->SetText("");
    SexGroup->SetItemIndex(2);
}

void TDataForm::GeoButtonClick() {
    TForm* main = Screen().FindForm("Form1");
    if (!main) return;
    if (auto* map = main->Find<TMenuItem>("Ngeo")) map->Click();
    if (auto* item = main->Find<TMenuItem>("GetFromMap")) item->setEnabled(true);
}

void TDataForm::FormShow() {
    if (!Memo->isVisibleTo(this)) FitWidthToMemo();
    p_.Flags.RealTimeMode = false;
    TempBtn->setEnabled(ShowsBackSet());
    BackBtn->setEnabled(!ShowsBackSet());
    AppliedMethodText = ComboBox->Text();
    if (!OneButton->Checked() && !HorarButton->Checked()) {
        p_.Flags.DoubleChart = true;
        ComboBox->setEnabled(true);
    } else {
        p_.Flags.DoubleChart = false;
        ComboBox->setEnabled(false);
    }
    BaseBtn->setDefault(true);
    BaseBtn->setFocus();
}

void TDataForm::FormClose() {
    if (ShowsBackSet()) {
        SetCaption(MainCaption);
        DataFormToBackRec();
        DatRecToDataForm();
    }
    if (TForm* main = Screen().FindForm("Form1"))
        if (auto* item = main->Find<TMenuItem>("GetFromMap")) item->setEnabled(false);
    // Leaving without OK undoes the choice of kind and method.
    if (p_.Flags.DoubleChart)
        TwoButton->SetChecked(true);
    else if (p_.Flags.HoraryChart)
        HorarButton->SetChecked(true);
    else
        OneButton->SetChecked(true);
    ComboBox->setEnabled(p_.Flags.DoubleChart);
    if (ComboBox->Text() != AppliedMethodText) {
        ComboBox->SetText(AppliedMethodText);
        if (const int i = ComboBox->IndexOf(AppliedMethodText); i >= 0) ComboBox->SetItemIndex(i);
        if (p_.Tech) p_.Tech->RedrawIfNatal();
    }
}

// --- Place from the map, zone shift -------------------------------------------------------------

void TDataForm::TakeGeoMapPlace(const std::string& cityAndCountry) {
    if (!isVisible()) return;
    TForm* main = Screen().FindForm("Form1");
    const auto* geo = main ? main->Find<TPanel>("GeoPanel") : nullptr;
    if (geo) {
        const std::string c = geo->Caption();
        if (c.size() >= 17) {
            LatEdit->SetText(c.substr(0, 7));
            LongEdit->SetText(c.substr(9, 8));
        }
    }
    if (p_.Checked("GeoSet", "dTBox") && ZoneOfLongitude) {
        if (const auto zone = ZoneOfLongitude(LongEdit->Text())) {
            dTEdit->SetText(MomentZoneText(*zone));
            if (p_.Checked("GeoSet", "TimeBox")) ShiftTimeToZone(*zone);
        }
    }
    const std::size_t comma = cityAndCountry.find(',');
    if (comma == std::string::npos) {
        CityEdit->SetText(RecordSafeText(cityAndCountry));
        CountryEdit->SetText("");
    } else {
        CityEdit->SetText(RecordSafeText(cityAndCountry.substr(0, comma)));
        CountryEdit->SetText(RecordSafeText(Trim(cityAndCountry.substr(comma + 1))));
    }
}

void TDataForm::ShiftTimeToZone(int zoneMinutes) {
    AstroDat& s = p_.s;
    ChartContextGuard guard(s);
    if (const auto d = ParseMomentDate(s.UTDateText)) {
        s.ChartDay = d->Day;
        s.ChartMonth = d->Month;
        s.ChartYear = d->Year;
    }
    s.ChartHour =
        StrToIntDef0(Trim(s.UTTimeText.substr(0, std::min<std::size_t>(2, s.UTTimeText.size()))));
    const int hours = zoneMinutes / 60;
    if (hours > 0) IncHour(s, hours);
    if (hours < 0) DecHour(s, -hours);
    const ChartMoment m = MomentOf(s);
    if (CalendarDateValid(m.Year, m.Month, m.Day)) {
        const DateField d = MomentDateField(m);
        DateEdit->SetText(d.Text);
        EraCheckBox->SetChecked(d.BeforeEra);
    }
    TimeEdit->SetText(IntToStrZ(s.ChartHour, 2) + ":" + IntToStrZ(s.ChartMinute, 2) + ":" +
                      IntToStrZ(s.ChartSecond, 2));
}

} // namespace qor::chart
