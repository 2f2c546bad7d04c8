// Helpers of the natal report's tests: a report frame over a temporary program folder, hand-set
// charts (equal houses, points where a test puts them), a page of the five major aspects with
// one orb, "echo" bases whose every section says its own key, and a small star catalogue.
#pragma once

#include "InterpTestSupport.h"
#include "core/AstroMath.h"
#include "core/PlanetSeries.h"
#include "core/Planets.h"
#include "core/Text.h"
#include "interp/ChartReports.h"
#include "interp/Report.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace qor::interp::test_support {

namespace fs = std::filesystem;
using qor::test::TempDir;

// The five major aspects, numbered 1..5 (0°, 60°, 90°, 120°, 180°), every point class with an
// orb of `orb` degrees.
inline AspDefTable MajorPage(int orb = 6) {
    const char* names[] = {"Conjunction", "Sextile", "Square", "Trine", "Opposition"};
    const int angles[] = {0, 60, 90, 120, 180};
    std::vector<std::string> lines;
    for (int i = 0; i < 5; ++i) {
        std::string line = std::string(names[i]) + "; " + std::to_string(48 + i) + ";M;" +
                           std::to_string(angles[i]) + ".00;";
        for (int c = 0; c < kPointClasses; ++c) line += std::to_string(orb) + ";";
        line += "0;0";
        lines.push_back(line);
    }
    AspDefTable t;
    ReadAspectTable(t, lines);
    PrepareAspectWindows(t);
    return t;
}

// The classical rulers: Mars Aries, Venus Taurus, Mercury Gemini, Moon Cancer, Sun Leo,
// Mercury Virgo, Venus Libra, Mars Scorpio, Jupiter Sagittarius, Saturn Capricorn and
// Aquarius, Jupiter Pisces.
inline int ClassicalRuler(int sign) {
    static const int kRuler[13] = {0, 5, 4, 3, 2, 1, 3, 4, 5, 6, 7, 7, 6};
    return sign >= 1 && sign <= 12 ? kRuler[sign] : 0;
}

// A report frame over a temporary program folder with the message texts, its shown text kept.
class ReportFrame : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* f : {"rtext.txt", "etext.txt"})
            fs::copy_file(fs::path(QOR_SOURCE_DIR) / "data" / f, dir / f);
        s.ProgramFolder = dir.path();
        s.Report = &report;
        MakeWriter();
    }
    void MakeWriter() {
        ReportHooks hooks;
        hooks.ShowWorkFile = [this](const fs::path& f) {
            shown = TempDir::Read(f);
            return true;
        };
        hooks.Busy = [this](bool b) { busy.push_back(b); };
        w = std::make_unique<ReportWriter>(s, hooks);
        // no degree texts unless a test writes them
        w->Settings[BaseId::Rgradus].on = false;
        w->Settings[BaseId::Ggradus].on = false;
    }
    // The planets' series from the shipped data, for charts the core computes.
    void LoadShippedPlanetTerms() {
        s.ProgramFolder = fs::path(QOR_SOURCE_DIR) / "data";
        for (int i = 0; i < kPlanetSeriesBodies; ++i) ASSERT_TRUE(LoadPlanetTerms(s, i).ok) << i;
        s.ProgramFolder = dir.path();
    }
    // The shipped planets' series and text bases, Proserpine and Chiron named as the reports
    // name them.
    void UseShippedTexts() {
        ASSERT_NO_FATAL_FAILURE(LoadShippedPlanetTerms());
        fs::create_directory_symlink(fs::path(QOR_SOURCE_DIR) / "data" / "Txt", dir / "Txt");
        extraNames = [this](int p) {
            NamesAs words(s, false, false);
            return BodyName(s, p);
        };
    }
    // The lines of the last shown text.
    std::vector<std::string> Lines() const {
        std::vector<std::string> out;
        std::string line;
        for (char ch : shown) {
            if (ch == '\r') continue;
            if (ch == '\n') {
                out.push_back(line);
                line.clear();
            } else {
                line += ch;
            }
        }
        if (!line.empty()) out.push_back(line);
        return out;
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> out;
        for (const auto& m : report.messages) out.push_back(m.text);
        return out;
    }
    // A base file under the folder, given in UTF-8 with LF line ends.
    void Base(const std::string& programName, const std::string& utf8) {
        std::string rel = programName;
        for (char& c : rel)
            if (c == '\\') c = '/';
        dir.Write(rel, test::CrLf(Cp(utf8)));
    }
    // Equal houses from `asc` degrees, the chart's points at the longitudes given (degrees).
    void EqualHouses(double ascDeg) {
        for (int h = 1; h <= 12; ++h)
            s.PlanetLon[static_cast<std::size_t>(26 + h)] =
                NormAngle((ascDeg + 30 * (h - 1)) * kDegToRad);
    }
    void Put(int point, double deg) {
        s.PlanetLon[static_cast<std::size_t>(point)] = NormAngle(deg * kDegToRad);
    }
    // The chart of the state for the reports: the page's aspects of the state's longitudes.
    ReportChart Chart(const std::string& shownFlags = std::string(16, '|')) {
        ReportChart c;
        c.page = &page;
        AspectOptions opt;
        opt.AspectingMode = 'I';
        opt.MinorCheck = minorAspects;
        AspectCharts charts;
        charts.lon = &s.PlanetLon;
        charts.speed = &s.PlanetSpeed;
        charts.nExtra = s.NExtra;
        AspectMatrix m;
        CalcAspects(page, opt, charts, m);
        c.aspects = m.AspMatrix;
        c.keyOf = TextKeys(s, extraNames);
        c.shown = shownFlags;
        c.rules = [](int sign, int body) { return ClassicalRuler(sign) == body; };
        c.name = "Name";
        c.city = "City";
        return c;
    }

    TempDir dir;
    qor::test::RecordingReport report;
    AstroDat s;
    AspDefTable page = MajorPage();
    bool minorAspects = false; // Chart() finds the minor aspects of the page too
    std::function<std::string(int)> extraNames;
    std::unique_ptr<ReportWriter> w;
    std::string shown;
    std::vector<bool> busy;
};

} // namespace qor::interp::test_support
