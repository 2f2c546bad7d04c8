// The natal chart screen: the wheel (zodiac belt, house cusps, body labels, aspect chords, orbit
// marks), the planet table beside it and the chart texts, drawn onto the off-screen bitmap.
//
// The drawing reads its options from the plain copy of the natal-chart settings window
// (KartOptions), the chart kind and texts from KartChartState, and reaches the rest of the
// program through KartServices. The geometry (centre, radii, label rings) is computed once per
// drawing into KartWheel and shared by every piece; the hot spots of everything drawn are
// collected in KartSpots for the hover hint and the mouse actions.
//
// Angles: a longitude lon (radians) lies at the screen angle a = pi + lon - KartStartAngle
// when the zodiac runs counter-clockwise, else a = KartStartAngle - lon; the point at radius r
// is (cx + round(r cos a), cy - round(r sin a)). So the start point is at 9 o'clock
// (counter-clockwise) or 3 o'clock (clockwise).
#pragma once

#include "chart/KartOptions.h"
#include "core/Aspects.h"
#include "core/AstrClcs.h"
#include "core/AstroDat.h"
#include "ui/Canvas.h"
#include "ui/OffscreenBitmap.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qor {
struct StarCatalogue;
struct DeepCatalogue;
} // namespace qor

namespace qor::chart {

using ui::Colour;

constexpr Colour kKartCuspColor = 0xFF00FF;
constexpr Colour kKartNoteColor = 0xBEFFFF;
constexpr Colour kKartZodiacDarkColor = 0xFFFF00;
constexpr Colour kKartZodiacLightColor = 0x800000;

// The screen the wheel is laid out for and the bitmap's font (the program's graph font).
struct KartScreen {
    // The drawing area: the off-screen bitmap (left and top 0, its width - 5 and its height).
    int ScrLeft = 0, ScrTop = 0;
    int ScrWidth = 1275;
    int ScrHeight = 770;
    // The computer's screen in pixels: the wheel's scale follows it.
    int ScreenWidth = 1280;
    int ScreenHeight = 800;
    ui::FontSpec GraphFont{204, 0, "Arial", 9, 0};
};

// What the drawing reads of the program beyond the settings window.
struct KartChartState {
    bool Ready = true; // start-up finished; no drawing before
    bool DoubleChart = false, HoraryChart = false, HelioMode = false, RealTimeMode = false;
    int ExterrBody = 0;      // 0 the Earth; 3..5 the observer's planet
    int DraggedBody = 0;     // a body dragged on the wheel (> 0): the wheel stands still
    bool PickInner = true;   // the dragged body is of the inner chart
    bool HorParallax = true; // topocentric positions (general settings)
    // Texts of the current moment and place (the service form's).
    std::string DateText, TimeText, LatText, LongText;
    std::string HouseSystemName; // the settings window's item HouseSystem - 1
    std::string MethodText;      // the birth-data window's method box text
};

// The rest of the program, reached through calls. Each one may be empty.
struct KartServices {
    const AspDefTable* Aspects = nullptr; // the aspect page in force
    AspectMatrix* Matrix = nullptr;       // filled by every drawing
    // Makes the aspect page of the chart kind (true: a double chart) the current one when it is
    // not (settings window).
    std::function<void(bool doubleChart)> SelectAspectPage;
    // Computes the second chart of a double chart (PlanetLonBck and its twins).
    std::function<bool()> ComputeSecondChart;
    const StarCatalogue* Stars = nullptr;
    const DeepCatalogue* Deep = nullptr;
    // The body file's name of record n (the extra bodies are records point + 57).
    std::function<std::string(int)> BodyFileName;
    // Ecliptic longitude (radians) of the north pole of body k's equator (0..9).
    std::function<double(int)> EquatorPoleLon;
};

// --- Geometry ----------------------------------------------------------------------------------

struct RingEntry {
    double Angle = 0;
    int Radius = 0, X = 0, Y = 0; // label centre without the user's offset
};
struct LabelOffset {
    int DX = 0, DY = 0;
};

// The body labels of one chart.
struct TRing {
    std::array<RingEntry, 37> Entries{};
    int StartRadius = 0, TickRadius = 0, CentreX = 0, CentreY = 0, BoxHalf = 12;
    Colour LabelColour = 0;
    std::array<LabelOffset, 37> Offsets{}; // dragged by the user; kept between drawings
    std::string ExistingFlags, AspectingFlags;
};

// The wheel: centre, R1 inner edge of the inner house ring (the aspect disc inside), R2..R3
// the zodiac belt, R4 the outer edge; the label rings of the two charts.
struct TKart {
    int CentreX = 0, CentreY = 0;
    int R1 = 0, R2 = 0, R3 = 0, R4 = 0;
    TRing Inner, Outer;
};

// Layout of one drawing, from the options and the screen.
struct KartLayout {
    int Half = 0, CentreX = 0, CentreY = 0;
    double Scale = 1, Ratio = 1;
    int R1 = 0, R2 = 0, R3 = 0, R4 = 0;
    int InnerStart = 0, OuterStart = 0, Tick = 0;
};
KartLayout ComputeKartLayout(const KartOptions& o, const KartScreen& scr, int bitmapHeight);

// The outer radius of a wheel whose glyphs the 16-pixel bitmap face draws at its native size.
constexpr int kGlyphNativeRadius = 190;
// The wheel's glyph cell in pixels: 16 up to that radius, in proportion beyond; twice that
// when the settings ask for double-size glyphs.
int WheelGlyphCell(int outerRadius, bool doubleSize);

void InitRing(TRing& ring, int startRadius, int tickRadius, int boxHalf, int centreX, int centreY,
              Colour colour);

// Places the labels of the points in `order` (increasing point numbers): each starts at the
// ring's start radius on its own ray (angles[i]) and moves outward a pixel at a time until no
// earlier point that counts as an obstacle (`obstacle`) has its centre inside its box. The
// first point never moves. Fills Entries[i] of each placed point.
void PlaceLabels(TRing& ring, const std::array<double, 37>& angles, const std::vector<int>& order,
                 const std::function<bool(int)>& obstacle);

// The chart's data line above the wheel: its name up to the first line break (none for the
// clock's chart in real time), with the date, time, zone and place when the settings ask.
std::string KartDataLine(const AstroDat& s, const KartOptions& o, const KartChartState& c);

// The second chart's title: its name for a transit or synastry with a name, else the method
// (the method box's text up to its ":"), with a coefficient other than 1 of a direction or
// progression in parentheses ("(1,25)").
std::string SecondChartTitle(const AstroDat& s, const std::string& methodText);

// The chart points 1..26 the planet table lists, in order: bodies and extra bodies, the
// active Arabic parts unless the chart is heliocentric or horizontal, without the Moon and the
// lunar points of a heliocentric chart, the slow planets and the lunar points of a horary
// chart kept to the septenary, and Pluto where it has no place.
struct ListedPoints {
    int LastPoint = 14;                 // the last point that may be listed
    std::array<uint8_t, 27> PointRow{}; // [1..26] row of each point, 0 not listed
    std::array<uint8_t, 27> RowPoint{}; // [1..26] point of each row (then the rest in order)
    int Count = 0;
};
ListedPoints ListChartPoints(const AstroDat& s, bool helio, bool horizontal, bool horary,
                             bool septenary);

// The label of chart point i on the wheel: its glyph (the Earth's for the Sun of a
// heliocentric chart), "\x12" and the letter of an active Arabic part; "5" or "?" for a point
// that has no glyph.
std::string ChartPointLabel(AstroDat& s, int i, bool earthForSun);

// --- Shared by the screen and the printed page ------------------------------------------------

// The switches of one drawing from the options: aspect kinds (1 major, 2 minor, 3 both), the
// cusps drawn (1 inner, 2 outer; a single chart only its own), and the aspect masks (1 points,
// 2 cusps; without cusps only points, nothing to when nothing from).
struct KartSwitches {
    int AspKinds = 1, Houses = 1, AspFromMask = 1, AspToMask = 1;
};
KartSwitches ComputeKartSwitches(const KartOptions& o, bool doubleChart);

// The longitude (radians) at the wheel's start point: the ascendant, the second chart's, or the
// settings' degree.
double KartStartLongitude(const AstroDat& s, const KartOptions& o);

// The aspect matrix of the drawn chart(s) with the options' kinds and aspecting mode.
void CalcKartAspects(AstroDat& s, const KartOptions& o, const KartChartState& c, bool horizontal,
                     const AspDefTable& t, AspectMatrix& m);

// Which pairs (i, j) get an aspect chord, by the masks, the point and house flags of the two
// rings, the rows shown and the aspect kinds; f gets each pair with its aspect number, once.
struct AspectPairRange {
    int FirstPln = 1, LastPln = 14;
    int AspFromMask = 3, AspToMask = 3, AspKinds = 1;
    const std::array<uint8_t, 27>* PointRow = nullptr;
    const TRing* Inner = nullptr;
    const TRing* Outer = nullptr;
};
void ForEachShownAspect(const KartOptions& o, const KartChartState& c, const AspDefTable& t,
                        const AspectMatrix& m, const AspectPairRange& r,
                        const std::function<void(int i, int j, int n)>& f);

// One aspect chord: the wheel angles of its two ends (angleOf maps a longitude), the separation
// on the wheel folded into 0..pi and the orb; shown false when the options leave it out (a
// separating aspect of a horary chart, an inexact one when only exact ones are drawn); thick
// for an exact major aspect when those are emphasised.
struct AspectChord {
    bool Shown = false, Thick = false;
    double A1 = 0, A2 = 0, Separation = 0, Orb = 0;
};
AspectChord KartAspectChord(const AstroDat& s, const KartOptions& o, const KartChartState& c,
                            const AspDef& def, const AspectMatrix& m, int i, int j,
                            const std::function<double(double)>& angleOf);

// Equatorial place of an ecliptic one (radians) with the true obliquity of the chart's time.
EquatorialCoord KartEclToEqu(const AstroDat& s, double lat, double lon);

// The brightest named star or deep-sky object within 1° of longitude lon (radians), its name
// (the first comma-separated field); tail gets the hint of its place and catalogue number.
std::string NearBrightObject(AstroDat& s, const KartServices& sv, double lon, std::string& tail);

// --- The screen --------------------------------------------------------------------------------

class NatalWheel {
public:
    // Draws the whole screen onto the bitmap. Nothing happens while chart.Ready is false.
    void DrawKart(AstroDat& s, const KartOptions& o, const KartChartState& chart,
                  const KartServices& services, const KartScreen& screen, ui::OffscreenBitmap& b);
    // Zeroes the user's label offsets of both rings (before a recomputation).
    void ClearLabelOffsets();
    // Empties a pending note; true when there was one (the screen is then to be redrawn).
    bool DropPendingNote();

    // Screen angle of a longitude and the point at radius r on it.
    double ScreenAngle(double lon) const;
    QPoint PointAt(double r, double angle) const;

    // State of the last drawing.
    uint8_t KartReady = 0;
    bool KartHorizontal = false, KartCounterClock = true, KartLightPaper = true;
    bool KartSecondReady = false;
    int KartAspKinds = 1;
    Colour KartInnerColor = 0, KartOuterColor = 0xFF0000, KartPaperColor = 0xFFFFFF;
    Colour LabelBackColor = 0xFFFFFF;
    int KartCentreX = 0, KartCentreY = 0, KartHalf = 0;
    double KartScale = 1, KartRatio = 1;
    double KartStartAngle = 0, KartHeldStart = 0;
    int KartLineHeight = 0, KartCharWidth = 0, KartTableX = 0;
    int KartFirstPln = 1, KartLastPln = 14;
    int AspFromMask = 3, AspToMask = 3;
    int Houses = 0; // 1 inner cusps, 2 outer cusps
    TKart KartWheel;
    std::vector<std::string> KartSpots; // "x;y;text[;code]"
    std::array<uint8_t, 27> PointRow{}; // [1..26] row of each point, 0 not shown
    std::array<uint8_t, 27> RowPoint{}; // [1..26] point of each row
    int RowCount = 1;                   // shown points + 1 (the planet grid's rows)
    std::string KartPendingText;
    int KartPendingX = 0, KartPendingY = 0;
    int DrawCount = 0;
};

} // namespace qor::chart
