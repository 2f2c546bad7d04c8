// The sections of a text base as the section editor sees them: a section is a header line
// (first character "[") and every line after it up to the next header, empty and comment
// lines included; lines before the first header belong to no section. A base with a header
// "[]" is a star base: its section titles are star names.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qor::interp {

struct SectionCount {
    int sections = 0;
    bool starBase = false;
};
SectionCount CountSections(std::string_view baseBytes);

// The lines of section k (1-based), its header first, trailing blanks cut; empty when the
// base has no section k.
std::vector<std::string> SectionLines(std::string_view baseBytes, int k);

// The base with the lines of section k (its header included) replaced by `lines`; every line
// of the result ends in CR LF with its trailing blanks cut, the lines outside section k as
// they were. Nothing when the base has no section k.
std::optional<std::string> ReplaceSection(std::string_view baseBytes, int k,
                                          const std::vector<std::string>& lines);

// The titles of the headers that have one (the text after the first "]", trimmed).
std::vector<std::string> HeaderTitles(std::string_view baseBytes);

} // namespace qor::interp
