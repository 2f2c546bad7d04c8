// The making of an interpretation report: the work file "text.tmp" in the program folder
// (code page 1251, CR LF) that the report writes line by line, the opening of the text bases
// with the list of those that failed, the section headings, the separation of two points and
// the degree-symbol texts. The text window shows the work file when the report is complete.
//
// A report runs inside RunReport:
//
//   ReportWriter& w = ...;                       // the text window's
//   w.Run([&] {
//       std::string bytes;
//       if (w.OpenBase(BaseId::Sign, bytes) != BaseOpen::Read) return;
//       for (const Section& sec : ReadSections(bytes, rule)) {
//           w.SectionHeading(sec.header);
//           for (const auto& l : sec.lines) w.AddLine(l);
//       }
//   });
//
// No window is touched here: the window gives its hooks (the caption, the loading of the
// finished file, the busy state, where messages go) and the settings of its bases.
#pragma once

#include "core/AstroDat.h"
#include "core/Files.h"
#include "interp/TextBases.h"

#include <array>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace qor::interp {

enum class BaseOpen {
    Off,    // switched off, no name or "nofile": the reader writes nothing and says nothing
    Failed, // the file did not open or read: noted for the end of the report
    Read,
};

struct ReportHooks {
    // The window's caption from the text's name ("noname" for a new report).
    std::function<void(const std::string& name)> SetCaption;
    // Shows the finished work file; false when it could not be loaded.
    std::function<bool(const fs::path& workFile)> ShowWorkFile;
    // A report starts (true) or ends (false): the busy state and the "Wait" of the link.
    std::function<void(bool busy)> Busy;
    // A message for the user (the boxes after a report); without it, the state's report.
    std::function<void(MsgKind, const std::string&)> Tell;
};

constexpr int kMaxMissing = 10;

// The file of a base's name: relative to the program folder unless it starts at the root.
fs::path BasePath(const AstroDat& s, const std::string& name);

// Texts (the bases, the glossary, the oracle, what the text window shows) are read whole. The
// largest shipped base is about 2 MB; a file over 64 MB is no text of the program and is
// refused by its size before anything is allocated.
constexpr std::size_t kTextFileMaxBytes = std::size_t{64} << 20;
// What a failed read of a text says: the system's words and the file, or for a file over the
// bound that it is too large.
std::string TextReadProblem(const AstroDat& s, const IoResult& r, const std::string& fileName);
// Tells the user a failed read of a text (IOCheck's way): true when it failed.
bool TextReadCheck(AstroDat& s, const IoResult& r, const std::string& fileName);

class ReportWriter {
public:
    ReportWriter(AstroDat& s, ReportHooks hooks);
    ~ReportWriter();
    ReportWriter(const ReportWriter&) = delete;
    ReportWriter& operator=(const ReportWriter&) = delete;

    AstroDat& State() { return s_; }
    // The bases as the setup window holds them (the window refreshes them for each report).
    TextBaseSettings Settings;

    fs::path WorkFile() const;

    // Creates (or empties) the work file; a file that cannot be created is reported with the
    // system's text and every line is dropped. The caption becomes "noname".
    bool BeginText();
    bool TextOpen() const { return file_ != nullptr; }
    // Writes a line and a line end while the work file is open.
    void AddLine(const std::string& line);
    // Closes the work file and shows it; a failed write is reported and nothing is shown.
    // False when nothing was shown.
    bool EndText();

    // Opens a base for reading: its whole text into `bytes`.
    BaseOpen OpenBase(BaseId id, std::string& bytes);
    BaseOpen OpenBaseFile(const BaseSetting& base, std::string& bytes);
    // Notes a failed base (the system's text, ": ", the file); at most 10 distinct ones.
    void NoteOpenFailed(const std::string& problem);
    const std::vector<std::string>& Missing() const { return missing_; }
    // Shows each noted failure in its own message and empties the list.
    void ReportMissing();

    // An empty line and "* " with the header's title; nothing for a line without "]".
    void SectionHeading(const std::string& headerLine);

    // The degrees 1..360 whose symbol texts are wanted: an entry is empty or "*".
    std::array<std::string, 361> DegreeMarks;
    // The texts of every marked degree, in increasing order.
    void DegreeSymbols();
    // Only the degree of chart point `point` (its longitude in PlanetLon).
    void DegreeMark(int point);

    // Runs a report: busy state on, the work file begun, names as words (GlyphNames off), the
    // body, glyphs back, the work file ended and shown, the failed bases reported (unless
    // `reportMissing` is false: they wait for the next full report), busy state off. The
    // glyph switch and the busy state come back on every way out. While it runs, each base
    // is read from its file once (every lookup still reads it from its first line).
    void Run(const std::function<void()>& body, bool reportMissing = true);

    // The busy state (the "Wait" of the link, the cursor) for work around a report: on while
    // a scope lives, nested scopes and Run inside it included.
    class BusyScope {
    public:
        explicit BusyScope(ReportWriter& w);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        ReportWriter& w_;
    };

    // A message for the user (a box, or the status line when nobody may be asked).
    void Tell(MsgKind kind, const std::string& text);

private:
    AstroDat& s_;
    ReportHooks hooks_;
    std::FILE* file_ = nullptr;
    int writeError_ = 0;
    int busy_ = 0;
    std::vector<std::string> missing_;
    // The bases read during the current Run, by file.
    bool caching_ = false;
    std::map<fs::path, std::string> cache_;
};

// The angular distance of two longitudes (radians) folded into 0..180 degrees: width 5, one
// decimal, decimal comma, then "°" (" 92,5°").
std::string SeparationText(double lon1, double lon2);

} // namespace qor::interp
