// The birth-data window "DataForm": a chart's name, sex, date, time, zone, place and comment,
// and the kind of chart (natal, horary, double with its method). It edits the main or the
// background data set; OK checks every field, makes the data the current chart and recomputes.
// The copying routines between the fields, the data sets and the chart moment live here too.
#pragma once

#include "chart/BirthFields.h"
#include "core/ChartMoment.h"
#include "shell/Program.h"
#include "ui/Forms.h"

#include <functional>
#include <optional>
#include <string>

namespace qor::chart {

class TKartForm;

class TDataForm : public ui::TForm {
public:
    explicit TDataForm(shell::Program& p);

    ui::TLabel *NameLabel, *DateLabel, *TimeLabel, *ZoneLabel, *LatLabel, *LongLabel, *CityLabel,
        *CountryLabel;
    ui::TEdit* NameEdit;
    ui::TRadioGroup* SexGroup;
    ui::TEdit* DateEdit;
    ui::TCheckBox* EraCheckBox;
    ui::TEdit *TimeEdit, *dTEdit, *LatEdit, *LongEdit, *CityEdit, *CountryEdit;
    ui::TMemo* Memo;
    ui::TGroupBox* KindGroup;
    ui::TRadioButton *OneButton, *HorarButton, *TwoButton;
    ui::TComboBox* ComboBox;
    ui::TButton *BaseBtn, *AtlasBtn, *RealBtn, *TempBtn, *BackBtn, *OKBtn, *CloseBtn, *CommentBtn,
        *ClearBtn;
    ui::TSpeedButton* GeoButton;
    ui::TTimer* Timer;

    std::string MainCaption, BackCaption;
    int MethodIndex = -1;
    std::string AppliedMethodText;
    int CaretPos = 1;
    ui::TEdit* RefocusEdit = nullptr;

    // --- Chart kind and applying ---
    void ReadChartKind();
    // Checks every field, copies them into the chart moment and the main data set, sets the
    // chart kind and recomputes. False (and a message naming the field) when a field holds no
    // valid value or OK is disabled; then nothing changes.
    bool ApplyData();
    void LoadDataCaptions();
    void TakeGeoMapPlace(const std::string& cityAndCountry);
    void ShiftTimeToZone(int zoneMinutes);

    // --- Transfers between the fields, the data sets and the chart moment ---
    // False when a field does not hold a valid value (the moment then stays as it was).
    bool DataFormToMoment();
    void MomentToDataForm();
    void DataFormToDatRec();
    void DataFormToBackRec();
    void DatRecToDataForm();
    void BackRecToDataForm();
    void MomentToDatRec();
    // The five texts of the moment as the fields hold them (the date with its era).
    MomentTexts FieldTexts() const;
    // The first field whose text is not valid (its edit), else nullptr; `why` says which, in
    // the words every way into the chart uses (ParseChartMoment).
    ui::TEdit* InvalidField(std::string* why = nullptr) const;
    bool ShowsBackSet() const { return Caption() == BackCaption && !BackCaption.empty(); }

    // --- Buttons and keys ---
    void OKBtnClick();
    void RealBtnClick();
    void BaseBtnClick();
    void AtlasBtnClick();
    void BackBtnClick();
    void TempBtnClick();
    void CommentBtnClick();
    void FitWidthToMemo();
    void ClearBtnClick();
    void GeoButtonClick();
    void FormShow();
    void FormClose();
    // One key of a masked edit (overtype editing).
    void MaskedKeyDown(ui::TEdit* edit, int& key);
    // A masked edit left: checks its value, refuses it with " Ошибка! ", the error sound and
    // the focus back. True when the value is valid.
    bool MaskedExit(ui::TEdit* edit);
    void TimerTimer();

    // Where the chart is recorded once applied (the chart history plugs in here).
    std::function<void()> AddChartHistory;
    // The standard zone of a longitude text, minutes east (the atlas plugs in its own).
    std::function<std::optional<int>(const std::string&)> ZoneOfLongitude;

private:
    FieldShape ShapeOf(const ui::TEdit* e) const;
    void PlaceCaret(ui::TEdit* e);
    void FieldsToRec(DatRec& rec) const;
    void RecToFields(const DatRec& rec);
    void MomentToRec(DatRec& rec) const;
    TKartForm* Kart() const;
    shell::Program& p_;
};

// One key typed into a fixed-shape edit in overtype mode (the birth data's fields and the own
// place's): `caret` is the edit's 1-based caret, which the window keeps; a key the field takes
// is cleared.
void OvertypeEditKey(ui::TEdit* e, FieldShape shape, int& caret, int& key);

} // namespace qor::chart
