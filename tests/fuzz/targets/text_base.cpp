// The interpretation text bases: the sections of a base read with each kind of key.
#include "FuzzTarget.h"

#include "core/Aspects.h"
#include "interp/TextBase.h"

namespace qor::fuzz {
namespace {

void Run(std::string_view bytes) {
    std::vector<std::string> page = BuiltInAspectLines();
    AspDefTable table;
    ReadAspectTable(table, page);
    using interp::Verdict;
    const interp::HeaderMatch byKey = [&](std::string_view header) {
        interp::PlnKey p;
        interp::CombKey c;
        interp::AspKey a;
        interp::HeaderTitle(header);
        if (interp::ParsePlnKey(header, p)) return Verdict::Take;
        if (interp::ParseCombKey(header, c)) return c.a == 99 ? Verdict::Stop : Verdict::Take;
        interp::AspKeyFieldsRead(header, table);
        return interp::ParseAspKey(header, table, a) == interp::AspKeyResult::Ok ? Verdict::Take
                                                                                 : Verdict::Skip;
    };
    bool stopped = false;
    interp::ReadSections(bytes, byKey, {}, &stopped);
    interp::ReadSections(bytes, byKey, {true, true}, &stopped);
}

std::vector<std::string> Seeds() {
    std::vector<std::string> seeds;
    for (auto& base : SourceFiles("data/Txt", ".txt", 12)) seeds.push_back(base.substr(0, 60000));
    for (auto& base : SourceFiles("tests/fixtures/texts", ".txt", 8)) seeds.push_back(base);
    return seeds;
}

} // namespace
QOR_FUZZ_TARGET(text_base, Run, Seeds, "text.dict")
} // namespace qor::fuzz
