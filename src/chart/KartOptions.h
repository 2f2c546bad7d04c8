// Every option of the natal-chart settings window as plain values, with the window's
// defaults: the wheel, printing, the aspect table and the degree window read this struct
// (TKartForm::Options copies the controls into it), never the controls. Also the chart
// colours, the table of dignities and the point flag strings with their codecs.
#pragma once

#include "core/Text.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qor::chart {

// --- Point and house flag strings -------------------------------------------------------------
// One character per chart point (1..26) or house (1..12): "|" on, the character 151 off.
constexpr char kFlagOn = '|';
constexpr char kFlagOff = '\x97';
constexpr int kFlagPoints = 26;
constexpr int kFlagHouses = 12;

// Position p (1-based) of a flag string; a position beyond its end reads as `otherwise`.
bool FlagAt(std::string_view flags, int p, bool otherwise);
// The string made exactly n characters: line breaks removed, padded with `pad`, cut.
std::string FlagsOfLength(std::string_view flags, int n, char pad);

// --- Chart colours ($00BBGGRR) ----------------------------------------------------------------
struct ChartColors {
    uint32_t HouseBelt = 16777183;
    uint32_t ZodiacContour = 16766886;
    uint32_t Fire = 13545727;
    uint32_t Earth = 12910532;
    uint32_t Air = 12582911;
    uint32_t Water = 16770560;
    uint32_t KartBck = 15925247; // background of the coloured chart
    uint32_t HouseContour = 0;
    bool operator==(const ChartColors&) const = default;
};
// The four lines "HouseBelt:", "ZodiacBelt:" (contour;fire;earth;air;water), "BckGround:",
// "Contur:", read by line number; a field that is not a number reads as 0, "$" marks hex.
// Missing lines leave the colour as `base` has it.
ChartColors DecodeColorMemo(const std::vector<std::string>& lines, ChartColors base = {});
std::vector<std::string> EncodeColorMemo(const ChartColors& c); // values as 8 digits
std::vector<std::string> DefaultColorMemo();

// --- Essential dignities ----------------------------------------------------------------------
enum DignityStatus { kRulership = 1, kDetriment = 2, kExaltation = 3, kFall = 4 };
constexpr int kDignityBodies = 16;

// Which body has which status in which sign (status 1..4, sign 1..12, body 1..16).
class Dignities {
public:
    bool Has(int status, int sign, int body) const;
    void Set(int status, int sign, int body, bool on);
    void Toggle(int status, int sign, int body) {
        Set(status, sign, body, !Has(status, sign, body));
    }
    bool operator==(const Dignities&) const = default;
    // The ruling body of each sign 1..12 (the first body ruling it; 0 none).
    std::array<int, 13> SignRulers() const;

private:
    static bool InRange(int status, int sign, int body);
    std::array<std::array<std::array<bool, kDignityBodies + 1>, 13>, 5> t_{};
};
// 16 lines of 48 characters: character (status - 1) * 12 + sign is "1" when set. A short line
// or a missing line leaves its entries unset.
Dignities DecodeStatusMemo(const std::vector<std::string>& lines);
std::vector<std::string> EncodeStatusMemo(const Dignities& d);
// The classical rulerships, detriments, exaltations and falls of the Sun..Saturn.
std::vector<std::string> DefaultStatusMemo();

// --- The options --------------------------------------------------------------------------------
enum class WheelStart { Ascendant, BackAscendant, Degree };
enum class WheelBackground { Black, White, Colour };

struct KartOptions {
    // "Главные"
    bool InHsCheck = true, OutHsCheck = false; // cusps of the inner / outer chart drawn
    int HouseSystem = 1;                       // 1..18, item index + 1 of HouseComboBox
    bool MajorCheck = true, MinorCheck = false;
    bool FromPlnCheck = true, FromHsCheck = false, ToPlnCheck = true, ToHsCheck = false;
    bool AspSimCheck = true;   // aspect glyphs on the lines
    bool AspectAccur = false;  // "Точные"
    bool AccurAspCheck = true; // exact aspects emphasised
    WheelStart Start = WheelStart::Ascendant;
    double StartDegree = 0; // AscDegreeEdit, degrees (0 when not a number)
    bool Clockwise = false; // RightDir
    WheelBackground Background = WheelBackground::White;
    bool HelioBox = false, HorizontalBox = false;
    bool DataCheckBox = false; // the caption shows the product title, not the moment
    int XGroup = 0;            // 0 inner, 1 outer, 2 inner to outer
    char AspectingMode = 'I';  // "I", "O", "X" by XGroup
    bool HintBox = true, SystemsBox = true;
    bool StarsCheck = false, AfetBox = false, AccurBox = true, RABox = false;
    int CoordColumn =
        1; // ComboBox1: 0 longitude, 1 latitude, 2 RA, 3 declination, 4 azimuth, 5 altitude
    bool OrbBox = false;

    // "Дополн."
    bool OstrelBox = true, FirnelBox = false, ObjectsBox = true;
    bool BlackMoonFocus = true; // SfocusButton (else the lunar apogee)
    bool ArtaButton = true;     // White Moon Arta, else Selena with SLng / SPeriod
    std::string SLng = "242.5", SPeriod = "7.0";
    bool KoeffCheckBox = false;
    double KoeffValue = 1.0; // KoeffEdit
    int CoinsideBox = 1;     // 0 the outer chart stands still, 1 the inner
    bool SeptenerBox = true, CoinsBox = true;
    bool DfOrbBox = true; // the aspect page follows the chart kind
    std::string NatalTabEdit = "Натал"_cp, TransTabEdit = "Транзит"_cp;
    bool WheelBox = true, AVCheckBox = true;

    // "Размеры": track bar positions
    int TrackBarR1 = 0, TrackBarR2 = 0, TrackBarR3 = 0, TrackBarR4 = 0;
    int XoTrackBar = 0, YoTrackBar = 0, Pln1TrackBar = 0, Pln2TrackBar = 0, MrkTrackBar = 0;
    int SizeTrackBar = 0, BegTrackBar = 0;
    int CLTrackBar = 0, SLTrackBar = 0, CRATrackBar = 0, SRATrackBar = 0;
    bool SymbolDoubleSizeBox = false;
    int HistListMax = 100;

    // The off-Earth observer (ExterrBox): 0 the Earth, 3 Mercury, 4 Venus, 5 Mars.
    int ExterrBody = 0;

    // Point flags (26 positions) and house flags (12).
    std::string Existing, Aspecting, TablAsp, Elements, Existing2, Aspecting2, TablAsp2;
    std::string DomShow, DomAspecting, DomTablAsp;

    ChartColors Colors;
    Dignities Status;

    // Point p (1..26) shown, aspected, in the aspect table; outer: the outer chart's columns.
    bool PointShown(int p, bool outer = false) const;
    bool PointAspected(int p, bool outer = false) const;
    bool PointInTable(int p, bool outer = false) const;
    bool PointElements(int p) const;
    // House h (1..12) shown, aspected, in the aspect table.
    bool HouseShown(int h) const;
    bool HouseAspected(int h) const;
    bool HouseInTable(int h) const;
    bool operator==(const KartOptions&) const = default;
};

// The defaults of the flag strings.
std::string DefaultPointFlags(bool on);
std::string DefaultHouseFlags();

} // namespace qor::chart
