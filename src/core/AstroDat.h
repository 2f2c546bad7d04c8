// The chart state of the program and the words it shows: language and naming flags, name
// tables, the current chart moment and place, the calendar state of the last Julian-day
// conversion, the context stack, the status line and the numbered message texts.
//
// One AstroDat object exists per program (tests make their own); every routine that reads or
// writes program-wide state takes it as its first argument.
#pragma once

#include "core/ChartState.h"
#include "core/Files.h"
#include "core/PlanetSeries.h"
#include "core/UserReport.h"

#include <array>
#include <chrono>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace qor {

// The current chart moment (local time of the chart, astronomical year numbering) and place.
struct ChartContext {
    int ChartYear = 2000;
    int ChartMonth = 1;
    int ChartDay = 1;
    int ChartHour = 12;
    int ChartMinute = 0;
    int ChartSecond = 0;
    int ChartZone = 0;    // minutes east of Greenwich: local time = UT + zone
    double ChartLong = 0; // radians, east positive
    double ChartLat = 0;  // radians, north positive
};

constexpr int kContextStackDepth = 6;

// One chart's entered data: name, sex, date, time, zone, latitude, longitude, city, country,
// comment (see ChartRecords.h for the forms of the fields).
using DatRec = std::array<std::string, 10>;

// The calendar of the chart moment as the time step found it (later date conversions change
// GregorianCal and ChartLeapYear; the astronomical data window shows these).
struct TimeStepCalendar {
    bool LeapYear = false;
    bool Gregorian = true;
};

struct ContextSlot {
    ChartContext context;
    int february = 28;
};

struct AstroDat : ChartContext, ChartPoints {
    // Language and naming.
    bool EnglishMode = false;
    bool GlyphNames = true;  // sign and body names as one symbol-font character
    bool ShortNames = false; // sign names as 3-letter abbreviations (before GlyphNames)
    int DMSFormat = 1;       // angle texts: 0 deg+min, 1/2 deg+min+sec, else deg+min.1
    bool SoundOn = true;
    bool UseLightTime = true;

    // Calendar state of the last Julian-day conversion (and of the year steppers).
    bool GregorianCal = true;
    bool ChartLeapYear = false;
    int ChartWeekDay = 0; // 0 = Sunday
    std::array<int, 13> MonthDays = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

    // The time step of the chart (CalcAstroTime, CalcTimeScales); angles in radians.
    double ChartJD = 2451545.0; // Julian day (UT) of the chart moment
    double ChartT = 0;          // centuries from J2000.0 of dynamical time (TT)
    double DeltaTSec = 0;       // TT − UT, seconds
    double UtHours = 12;        // universal time in hours, not reduced to 0..24
    double NutPsi = 0;          // nutation in longitude
    double NutEps = 0;          // nutation in obliquity
    double EpsMean = 0.40909280420293637; // mean obliquity (J2000 until the first time step);
                                          // the true one is EpsMean + NutEps
    double SinEps = 0.39777715572793088, CosEps = 0.91748206215761929; // of the true obliquity
    double SiderealTimeSec = 0;   // local apparent sidereal time, seconds of time in [0, 86400)
    TimeStepCalendar StepCalendar;

    // The planet series, loaded once at start-up (LoadPlanetSeries).
    PlanetSeries Planets;

    // The observer on the Earth ellipsoid (set by ObserverGeocentric).
    double GeocLat = 0;
    double GeocRadius = 1.0; // equatorial radii

    // The context stack.
    std::array<ContextSlot, kContextStackDepth> ContextStack{};
    int ContextDepth = 0;

    // Status line and caption.
    std::string StatusText;
    std::chrono::system_clock::time_point StatusStamp{};
    std::string MainTitle;
    std::string ChartName;

    // Universal time and date of the chart as last written by ShowUTLabels.
    std::string UTTimeText;
    std::string UTDateText;

    // Where the data files are, and where the user hears of things.
    fs::path ProgramFolder;
    UserReport* Report = nullptr; // none: nothing is reported

    // Message texts read so far, per file name; numbers already reported as missing.
    struct MessageCache {
        std::map<std::string, std::map<std::string, std::string>> byFile;
        std::set<std::pair<std::string, int>> reportedMissing;
    } Messages;

    // The two charts' data and the second chart of a double chart (ChartRecords.h,
    // Directions.h).
    DatRec DatRec1{}, DatRec2{}, DatRecStart{}, DatRec1Applied{}, DatRec2Applied{};
    std::string DateShort1, DateShort2;
    char DynMethod = ' ';  // method of the second chart: blank transit or synastry
    char DynMethod2 = ' '; // the method kept with the other data set
    double DirCoef = 1.0;  // coefficient of directions and progressions
    double DirAge = 0;     // days from the birth to the event
    double DirAge2 = 0;
    PointArray PlanetLonBck{}, PlanetLatBck{}, PlanetSpeedBck{}, PlanetLonSavedBck{};
    double SiderealTimeSecBck = 0;

    // Arabic parts (Parses.h): the active list (line 0 the page name in double quotes, then
    // the part lines), their glyphs and whether each formula gave a value; the last result,
    // its calculation trace and the unknown-code mark of the evaluator.
    std::vector<std::string> ParsActive;
    // The ruling body of each sign 1..12 (0: none) from the rulership table of the dignities,
    // for the "D" terms of the formulas; the classical rulers until the settings say more.
    std::array<int, 13> SignRuler = {0, 5, 4, 3, 2, 1, 3, 4, 5, 6, 7, 7, 6};
    std::array<char, 10> ParsGlyphs{};
    std::array<bool, 10> ParsValid{};
    double ParsResult = 0;
    std::string ParsTrace;
    bool ParsError = false;

    fs::path DataPath(std::string_view programName) const {
        return ResolvePath(ProgramFolder, programName);
    }
};

// The report of the state, or one that reports nowhere.
UserReport& ReportOf(const AstroDat& s);

// --- Names --------------------------------------------------------------------------------

// `english` in English mode, else `russian`.
const std::string& Lang(const AstroDat& s, const std::string& russian, const std::string& english);

std::string MonthName(const AstroDat& s, int m);        // 1..12, padded as stored
std::string WeekDayShortName(const AstroDat& s, int d); // 0..6, Sunday first
std::string WeekDayName(const AstroDat& s, int d);      // 0..6, Sunday first
std::string DataFileName(const AstroDat& s, int i);     // required file i = 1..20
std::string SignName(const AstroDat& s, int n);         // 1 Aries .. 12 Pisces
std::string SignNameWord(const AstroDat& s, int n);     // the word, whatever the flags
std::string BodyName(const AstroDat& s, int n);         // n a chart point
char BodyGlyph(int n); // the symbol-font character of chart point n (0..26)
std::string CuspTitle(const AstroDat& s, int n, bool longForm);
const std::string& SignAbbr(int n); // "Ari".."Psc"; 0 and out of range: three blanks

// The naming switches (GlyphNames, ShortNames) set for the life of a scope, restored after.
class NamesAs {
public:
    NamesAs(AstroDat& s, bool glyphNames, bool shortNames)
        : s_(s), glyph_(s.GlyphNames), short_(s.ShortNames) {
        s.GlyphNames = glyphNames;
        s.ShortNames = shortNames;
    }
    ~NamesAs() {
        s_.GlyphNames = glyph_;
        s_.ShortNames = short_;
    }
    NamesAs(const NamesAs&) = delete;
    NamesAs& operator=(const NamesAs&) = delete;

private:
    AstroDat& s_;
    bool glyph_, short_;
};

// --- Message texts ------------------------------------------------------------------------

// Text number n of "rtext.txt" (Russian) or "etext.txt" (English) in the program folder,
// its first "%" replaced by `argument` and a final "_" by a blank. A missing file is reported
// through IOCheck; a number the file lacks gives the empty text and is reported once.
std::string GetMsgText(AstroDat& s, int n, const std::string& argument = {});

// The texts that must work without the message files (1: damaged files, 2: missing files).
std::string BuiltInMsgText(const AstroDat& s, int n, const std::string& argument = {});

// Applies the "%" and "_" rules of the message texts.
std::string FillMsgText(std::string text, const std::string& argument);

// --- Status, failures, sounds -------------------------------------------------------------

void SetStatus(AstroDat& s, const std::string& text);
void UpdateMainCaption(AstroDat& s);
void SetChartName(AstroDat& s, const std::string& text);

// Reports a failed file operation (the system's text for the error, ": ", the file name)
// and returns true; returns false and says nothing for error 0. A save refused because the
// user made the file read-only says so ("<file> is read-only").
bool IOCheck(AstroDat& s, int error, const std::string& fileName);
bool IOCheck(AstroDat& s, const IoResult& r, const std::string& fileName);

// Plays a wave file of the program folder when sound is on and the file exists.
void PlayWav(AstroDat& s, const std::string& fileName);
inline void PlayDing(AstroDat& s) {
    PlayWav(s, "Ding.wav");
}

} // namespace qor
