// The program of the window checks with the wheel registered as the screen "W": the shipped
// symbol font, a 1280 x 718 bitmap, the built-in aspect page and the fixed chart of
// KartTestSupport.h.
#pragma once

#include "ChartWindowsFixture.h"
#include "KartTestSupport.h"

#include "chart/KartScreen.h"

#include <memory>

namespace qor::chart {

class WheelScreenTest : public ChartWindowsTest {
protected:
    void SetUp() override {
        ChartWindowsTest::SetUp();
        const std::string bytes =
            qor::test::TempDir::Read(std::filesystem::path(QOR_SOURCE_DIR) / "data" / "font16.fnt");
        SymbolFontFromBytes(bytes, p->Font.Glyphs);
        p->BufBitmap = std::make_unique<ui::OffscreenBitmap>(p->Font);
        p->BufBitmap->Resize(1280, 718);
        std::vector<std::string> lines = BuiltInAspectLines();
        ReadAspectTable(p->AspTable, lines);
        PrepareAspectWindows(p->AspTable);
        for (int i = 1; i <= 14; ++i) {
            p->s.PlanetLon[i] = test::kBodyDeg[i] * kDegToRad;
            p->s.PlanetSpeed[i] = 0.01;
        }
        for (int h = 1; h <= 12; ++h)
            p->s.PlanetLon[26 + h] = NormAngle((test::kAscDeg + 30 * (h - 1)) * kDegToRad);
        wheel = RegisterKartScreen(*p);
        p->Flags.ScreenMode = 'W';
    }
    void Draw() { p->Svc.Screens['W'].Draw(); }
    std::shared_ptr<NatalWheel> wheel;
};

} // namespace qor::chart
