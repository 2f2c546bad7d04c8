// A fixed chart, the shipped symbol font and a bitmap of a fixed size for the wheel's checks.
#pragma once

#include "chart/Kart.h"

#include "core/Aspects.h"
#include "core/AstroDat.h"
#include "core/AstroMath.h"
#include "core/SymbolFont.h"
#include "support/QtApp.h"
#include "support/TempDir.h"
#include "ui/OffscreenBitmap.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace qor::chart::test {

// Longitudes (degrees) of points 1..14: the Sun–Moon trine is exact, the Sun–Jupiter trine
// lies 3° wide across the far side (243° of raw separation on the screen), every pair at
// least 10° apart so that no label moves.
constexpr double kBodyDeg[15] = {0,   15, 135, 35,  75,  195, 258, 300,
                                 330, 55, 225, 160, 340, 95,  275};
constexpr double kAscDeg = 100;

struct KartFixture {
    QApplication& app = qor::test::QtApp(); // before any painter
    AstroDat s;
    ui::Font16State font;
    ui::OffscreenBitmap bitmap{font};
    KartOptions o;
    KartChartState chart;
    KartServices services;
    KartScreen screen;
    AspDefTable table;
    AspectMatrix matrix;
    NatalWheel wheel;

    KartFixture() {
        s.ProgramFolder = std::filesystem::path(QOR_SOURCE_DIR) / "data";
        const std::string bytes = qor::test::TempDir::Read(s.ProgramFolder / "font16.fnt");
        SymbolFontFromBytes(bytes, font.Glyphs);
        bitmap.Resize(1280, 718);
        screen.ScrWidth = 1280;
        screen.ScrHeight = 770;
        std::vector<std::string> lines = BuiltInAspectLines();
        ReadAspectTable(table, lines);
        PrepareAspectWindows(table);
        o.Existing = o.Aspecting = o.Existing2 = o.Aspecting2 = DefaultPointFlags(true);
        o.Elements = DefaultPointFlags(false);
        o.DomShow = o.DomAspecting = DefaultHouseFlags();
        o.Status = DecodeStatusMemo(DefaultStatusMemo());
        services.Aspects = &table;
        services.Matrix = &matrix;
        for (int i = 1; i <= 14; ++i) SetBody(i, kBodyDeg[i], 0.01);
        for (int h = 1; h <= 12; ++h)
            s.PlanetLon[26 + h] = NormAngle((kAscDeg + 30 * (h - 1)) * kDegToRad);
        s.PlanetLonSaved = s.PlanetLon;
        s.ChartName = "Fixture";
    }
    void SetBody(int i, double deg, double speed) {
        s.PlanetLon[i] = deg * kDegToRad;
        s.PlanetSpeed[i] = speed;
        s.Bodies[i][kBodyLon] = s.PlanetLon[i];
        s.Bodies[i][kBodyMotion] = speed;
    }
    void Draw() { wheel.DrawKart(s, o, chart, services, screen, bitmap); }

    // The spots by their code field (the fourth), or by text for spots without one.
    std::multimap<std::string, std::pair<int, int>> SpotsByCode() const {
        std::multimap<std::string, std::pair<int, int>> m;
        for (const std::string& line : wheel.KartSpots) {
            std::vector<std::string> f;
            std::size_t start = 0;
            for (;;) {
                const std::size_t p = line.find(';', start);
                f.push_back(line.substr(start, p - start));
                if (p == std::string::npos) break;
                start = p + 1;
            }
            const std::string key = f.size() >= 4 ? f.back() : f.size() >= 3 ? f[2] : "";
            m.emplace(key, std::make_pair(std::stoi(f[0]), std::stoi(f[1])));
        }
        return m;
    }
    Colour PixelAt(int x, int y) const {
        return ui::FromQColor(QColor::fromRgb(bitmap.image().pixel(x, y)));
    }
};

} // namespace qor::chart::test
