// The natal-chart settings window "KartForm": every option of the natal chart lives in its
// controls (check boxes, radio buttons, combo boxes, track bars, hidden flag edits and
// memos). Options() copies them into the plain KartOptions that the wheel, printing and the
// tables read; ReadOptions() copies what the chart computation reads into the program's typed
// options (the window's option reader).
//
// Tabs: "Главные" the wheel and aspect switches, "Планеты" and "Дома" the point and house flag
// grids, "Аспекты" the aspect pages, "Дополн." further options, "Размеры" the wheel's sizes,
// "Статус" the dignity grid, "Цвет" the chart colours, "S/R" the settings files (wrk\*.nch).
#pragma once

#include "chart/KartOptions.h"
#include "shell/Program.h"
#include "ui/Forms.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qor::chart {

class TKartForm : public ui::TForm {
public:
    explicit TKartForm(shell::Program& p);
    ~TKartForm() override;

    ui::TTabControl* TabControl;
    ui::TPanel *MainPanel, *PlnPanel, *DomPanel, *AspectPanel, *AdditPanel, *SizePanel,
        *StatusPanel, *ColorPanel, *SRPanel, *ExterrPanel;

    // "Главные"
    ui::TCheckBox *HelioBox, *HorizontalBox;
    ui::TGroupBox *HouseGroup, *AspGroup, *StartGroup, *DirGroup, *BckGroup, *CoordGroup;
    ui::TCheckBox *InHsCheck, *OutHsCheck;
    ui::TComboBox* HouseComboBox;
    ui::TCheckBox *MajorCheck, *MinorCheck, *FromPlnCheck, *FromHsCheck, *ToPlnCheck, *ToHsCheck,
        *AspSimCheck, *AspectAccur, *AccurAspCheck;
    ui::TRadioButton *AscendButton, *BckAscButton, *DegreeButton;
    ui::TEdit* AscDegreeEdit;
    ui::TRadioButton *LeftDir, *RightDir;
    ui::TRadioButton *BlackButton, *WhiteButton, *ColorButton;
    ui::TCheckBox* DataCheckBox;
    ui::TRadioGroup* XGroup;
    ui::TCheckBox *HintBox, *SystemsBox, *StarsCheck, *AfetBox, *AccurBox, *RABox;
    ui::TComboBox* ComboBox1;
    ui::TCheckBox* OrbBox;

    // "Планеты", "Дома"
    ui::TDrawGrid* PlnGrid;
    ui::TEdit *Existing, *Aspecting, *TablAsp, *Elements, *Existing2, *Aspecting2, *TablAsp2;
    ui::TDrawGrid* DomGrid;
    ui::TEdit *DomShow, *DomAspecting, *DomTablAsp;

    // "Аспекты" (the page editor itself belongs to the aspect pages)
    ui::TTabControl* AspTabControl;
    ui::TDrawGrid* AspectGrid;
    ui::TEdit *Edit1, *AspectLetterEdit;
    ui::TMemo* AspMemo;
    ui::TPopupMenu* PopupMenu;

    // "Дополн."
    ui::TGroupBox *DegreeGroup, *BlackMoonGroup, *WhiteMoonGroup, *KoeffGroup, *HorarGroup,
        *AspPageGroup;
    ui::TCheckBox *OstrelBox, *FirnelBox, *ObjectsBox;
    ui::TRadioButton *SfocusButton, *ApogeaButton, *ArtaButton, *SelenaButton;
    ui::TEdit *SLng, *SPeriod, *ALng, *APeriod;
    ui::TCheckBox* KoeffCheckBox;
    ui::TEdit* KoeffEdit;
    ui::TRadioGroup* CoinsideBox;
    ui::TCheckBox *SeptenerBox, *CoinsBox, *DfOrbBox;
    ui::TEdit *NatalTabEdit, *TransTabEdit;
    ui::TCheckBox *WheelBox, *AVCheckBox;

    // "Размеры"
    ui::TTrackBar *TrackBarR1, *TrackBarR2, *TrackBarR3, *TrackBarR4, *XoTrackBar, *YoTrackBar,
        *Pln1TrackBar, *Pln2TrackBar, *MrkTrackBar, *SizeTrackBar, *BegTrackBar, *CLTrackBar,
        *SLTrackBar, *CRATrackBar, *SRATrackBar;
    ui::TCheckBox* SymbolDoubleSizeBox;
    ui::TEdit* HistListMax;

    // "Статус", "Цвет", "S/R"
    ui::TDrawGrid* StatusGrid;
    ui::TMemo* StatusMemo;
    ui::TMemo* ColorMemo;
    ui::TButton *HouseColorButton, *HContourColor, *ZContourButton, *ZFireColor, *ZGroundColor,
        *ZAirColor, *ZWaterColor, *BckColorButton;
    ui::TButton *SaveButton, *LoadButton;
    ui::TEdit* NchEdit;

    // Off-Earth observer (no tab)
    ui::TCheckBox* ExterrBox;
    ui::TRadioButton *ExMerButton, *ExVenButton, *ExMarButton;

    // --- Decoded copies of the memos ---
    ChartColors Colors;
    Dignities PlnStatus;
    bool StatusChanged = false;
    bool OrbEditChanged = false;
    int LastDegree = 0;
    // The planet grid's rows: the point of row r and the row of point p (0 none), [1..26];
    // the wheel drawing fills them, by default point r in row r.
    std::array<int, 27> RowPoint{}, PointRow{};
    // The wheel's hot spots, lines "x;y;text" (the wheel drawing rebuilds them).
    std::vector<std::string> KartSpots;

    // Every option as plain values.
    KartOptions Options() const;
    // The options of this window the chart computation reads, into the program's typed options
    // (the window's option reader, run by Program::ReadOptions).
    void ReadOptions() const;
    // The chart kind the birth-data window set (ShellFlags): a double chart is never
    // heliocentric; a natal chart may be again unless the chart is horizontal.
    void ChartKindChanged();
    // The aspecting that goes with an applied chart kind: across the two charts of a double
    // chart, the inner chart otherwise.
    void ChartKindApplied();

    // --- Handlers ---
    void Redraw();
    void Recompute();
    void HelioBoxClick();
    void HorizontalBoxClick();
    void HouseComboBoxChange();
    void ComboBox1Change();
    void SyncCoordColumnCombo();
    void XGroupClick();
    // The coefficient box: the directions coefficient of the core (1 when off or not a
    // positive number), then recompute.
    void Realiz();
    double DirectionsCoefficient() const;
    void BackgroundClick(); // Black, White, Colour buttons
    void DataCheckBoxClick();
    void ExterrBoxClick();
    void TabControlChange();
    void FormKeyPress(char& ch);
    void FormClose();
    void ClearLabelOffsets();
    // The hover hint of the wheel at a point of the main window's paint box; true when a spot
    // is there.
    bool ShowChartHint(int x, int y);

    // --- Flag grids ---
    void PlnGridDrawCell(QPainter& g, int col, int row, const QRect& r);
    void PlnGridMouseUp(ui::MouseButton b, int x, int y);
    void DomGridDrawCell(QPainter& g, int col, int row, const QRect& r);
    void DomGridMouseUp(ui::MouseButton b, int x, int y);
    void StatusGridDrawCell(QPainter& g, int col, int row, const QRect& r);
    void StatusGridMouseUp(ui::MouseButton b, int x, int y);
    // The actions of a click, by cell (the mouse handlers find the cell and call these).
    void PlnGridClick(int col, int row);
    void DomGridClick(int col, int row);
    void StatusGridClick(int col, int row, int dx);
    ui::TEdit* PlnColumnEdit(int col) const; // columns 1..7
    ui::TEdit* DomColumnEdit(int col) const; // columns 1..3

    // --- Colours, dignities, settings files ---
    void LoadStatusAndColors();
    void SaveStatusMemo();
    void SaveColorMemo();
    void ColorButtonClick(uint32_t ChartColors::*colour);
    bool SaveKartSettings(const fs::path& file);
    bool LoadKartSettings(const fs::path& file);
    void SaveButtonClick();
    void LoadButtonClick();

    // Plugged in by the wheel drawing: zeroes the offsets of its body labels.
    std::function<void()> OnClearLabelOffsets;

    // --- Aspect pages (AspectPages.cpp) ---
    // The page in force is AspectLetterEdit's; its lines are the program's AspectLines (shown
    // in AspMemo) and its definitions the program's AspTable. Every edit is saved at once and
    // the chart recomputed; an edit is only ever saved to the page whose file was read.
    std::string AspectFileName() const; // "Aspects\<page>.asp" of the current page
    // Loads the page AspectLetterEdit names (a missing page file starts as a copy of the page
    // shown); a page that cannot be read is said so and the lines shown stay in force.
    bool LoadAspectPage();
    // The start-up's page: AspectLetterEdit's, a default page kept from the other language
    // taken as this language's.
    void StartAspectPage();
    // Writes the table's lines into the page's file; a failed save is said so and the grid
    // shows what the file holds.
    bool SaveAspectPage();
    // The tab of a page name: the tab of that name (in any letter case), else the tab of the
    // same place among the default pages when the name is a default page's in either language
    // (a setting kept from the other language), else -1. An empty name is the default page of
    // `defaultIndex` (0 natal, 1 double chart).
    int AspectPageTab(const std::string& name, int defaultIndex = -1) const;
    // The automatic choice by chart kind (the wheel drawing's first step).
    void SelectAspectPageByKind(bool doubleChart);
    // The default page names of the current language: natal, transit, horary.
    std::vector<std::string> DefaultAspectPages() const;

    void AspTabControlChange();
    void AspectGridDrawCell(QPainter& g, int col, int row, const QRect& r);
    void AspectGridMouseDown(ui::MouseButton b, ui::Shift shift, int x, int y);
    void AspectGridMouseUp(ui::MouseButton b, ui::Shift shift, int x, int y);
    void AspectGridMouseMove(ui::Shift shift, int x, int y);
    void AspectGridKeyDown(int& key, ui::Shift shift);
    // What a left click on a cell does: the kind, the colour, the orb editor.
    void AspectGridClick(int col, int row);
    // The in-place orb editor over an orb cell (columns 4..14 of an aspect row).
    void BeginOrbEdit(int col, int row);
    // Ends a running orb edit: a changed orb is checked and stored; a text that is no orb is
    // refused (" Ошибка! " and the error sound) and the old orb kept, the editor staying for
    // another try unless it is being left (focus gone, window closed). True when one ran
    // (Enter then does nothing more).
    bool CommitOrbEdit(bool leaving = false);
    bool OrbEditing() const;
    void AddAspectNClick();
    void EditAspectNClick();
    void DelAspectNClick();
    void DeleteAspectRow();
    void AddBeforePageClick();
    void AddAfterPageClick();
    void AddAspectPage(bool after);
    void RenamePageClick();
    void DeletePageClick();
    // The new-aspect dialog's finished line: appended to the page, or put in place of the
    // aspect of `row` when that is still the selected row. True when done (the dialog closes).
    bool AddAspectRow(const std::string& line);
    bool ApplyAspectEdit(const std::string& line, int row);
    // The colour dialog (tests answer it); by default the program's "Colorf".
    std::function<std::optional<uint32_t>(uint32_t)> AskColour;
    // The chart paper colour of the wheel's background choice.
    uint32_t KartPaperColor() const;

    ui::TMenuItem *AddAspectN, *EditAspectN, *DelAspectN, *AddBeforePage, *AddAfterPage,
        *RenamePage, *DeletePage, *ImportAspN;

private:
    // The aspect pages: the page whose file the lines are ("" when none was read), the orb
    // editor's cell.
    std::string loadedAspectPage_;
    std::string failedAutoPage_; // the automatic choice's page that could not be read
    int orbEditCol_ = 0, orbEditRow_ = 0;
    // Makes the page current; one that cannot be read leaves the page shown current.
    bool SwitchAspectPage(const std::string& name);
    // Saves the lines of the page in force; when they cannot be saved, the lines become what
    // the file holds (else `before`). The table is parsed and the grid shown either way.
    bool SaveLines(const std::vector<std::string>& before);
    void RefreshAspectGrid();
    void SetAspectPageTabs(const std::vector<std::string>& tabs, int current);
    void BuildAspectMenu();
    // The constructor's parts, one per tab.
    void BuildMainTab();
    void BuildFlagTabs();
    void BuildAspectTab();
    void BuildMoreTab();
    void BuildSizeTab();
    void BuildStatusColourFileTabs();
    void BuildExterrPanel();
    void WireHandlers();
    // Axis options kept while heliocentric or horizontal mode is on: one entry per mode that
    // is on, in the order they were switched on.
    struct AxisSave {
        ui::TCheckBox* mode;
        std::array<bool, 11> states;
    };
    std::vector<AxisSave> axisSaves_;
    std::array<QObject*, 11> AxisControls() const;
    void SaveAxisOptions(ui::TCheckBox* mode);
    void RestoreAxisOptions(ui::TCheckBox* mode);
    void ApplyModeLocks();
    void ModeSwitched();
    shell::Program& p_;
};


// The items of the house-system box and of the coordinate-column box in Russian.
const std::vector<std::string>& HouseSystemItemsRu();
const std::vector<std::string>& CoordColumnItemsRu();

} // namespace qor::chart
