// Glyph texts of the 16 x 16 symbol font drawn pixel by pixel on the off-screen bitmap: a
// chart wheel draws some hundred glyphs per picture.
#include "ui/OffscreenBitmap.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "qor_bench";
    static char* argv[] = {name, nullptr};
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

qor::ui::Font16State ShippedFont() {
    qor::ui::Font16State f;
    std::ifstream in(std::filesystem::path(QOR_SOURCE_DIR) / "data" / "font16.fnt",
                     std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    qor::SymbolFontFromBytes(bytes, f.Glyphs);
    return f;
}

// Twelve glyphs (the points Sun..Chiron) per iteration, normal size and doubled, with and
// without the background square.
void BM_DrawFont16Text(benchmark::State& state) {
    EnsureApplication();
    qor::ui::Font16State font = ShippedFont();
    font.Font16Double = state.range(0) != 0;
    font.Font16BackMode = static_cast<uint8_t>(state.range(1));
    qor::ui::OffscreenBitmap buf(font);
    buf.Resize(800, 600);
    const std::string text = " !\"#$%&'()*+";
    for (auto _ : state) qor::ui::DrawFont16TextBuf(buf, 100, 100, text, 0x0000FF);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_DrawFont16Text)->Args({0, 0})->Args({0, 2})->Args({1, 0});

} // namespace
