// The atlas import: Wrk\Atlas.txt made into the atlas files and loaded.
#include "FuzzTarget.h"

#include "geo/Atlas.h"
#include "geo/AtlasText.h"

namespace qor::fuzz {
namespace {

void Run(std::string_view bytes) {
    const AtlasFileSet files = AtlasFileNames(false);
    Put(files.text, bytes);
    AstroDat s;
    Reset(s);
    Atlas a;
    ImportAtlasTxt(s, a);
}

std::vector<std::string> Seeds() {
    AstroDat s;
    s.ProgramFolder = fs::path(QOR_SOURCE_DIR) / "data";
    const AtlasFileSet files = AtlasFileNames(false);
    const auto coords = DecodeCityCoords(SourceFile("data/" + files.coords));
    const auto names = DecodeCityNames(SourceFile("data/" + files.names));
    const auto zones = Lines(SourceFile("data/" + files.zones));
    const auto lines = AtlasTextLines(s, coords, names, zones);
    if (!lines) return {};
    std::string few, one;
    for (std::size_t i = 0; i < lines->size() && i < 200; ++i) few += (*lines)[i * 97 % lines->size()] + "\r\n";
    one = lines->front() + "\r\n";
    return {few, one};
}

} // namespace
QOR_FUZZ_TARGET(atlas_text, Run, Seeds, "text.dict")
} // namespace qor::fuzz
