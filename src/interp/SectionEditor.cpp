#include "interp/SectionEditor.h"

#include "core/Text.h"
#include "core/TextLines.h"
#include "interp/TextBase.h"

namespace qor::interp {

SectionCount CountSections(std::string_view baseBytes) {
    SectionCount c;
    TextLineScanner lines(baseBytes);
    std::string_view line;
    while (lines.Next(line)) {
        if (!IsHeader(line)) continue;
        ++c.sections;
        if (line.starts_with("[]")) c.starBase = true;
    }
    return c;
}

std::vector<std::string> SectionLines(std::string_view baseBytes, int k) {
    std::vector<std::string> out;
    TextLineScanner lines(baseBytes);
    std::string_view line;
    int headers = 0;
    while (lines.Next(line)) {
        if (IsHeader(line)) ++headers;
        if (headers > k) break;
        if (headers == k) out.emplace_back(line);
    }
    return out;
}

std::optional<std::string> ReplaceSection(std::string_view baseBytes, int k,
                                          const std::vector<std::string>& replacement) {
    if (k < 1 || CountSections(baseBytes).sections < k) return std::nullopt;
    std::string out;
    out.reserve(baseBytes.size() + 256);
    TextLineScanner lines(baseBytes);
    std::string_view line;
    int headers = 0;
    while (lines.Next(line)) {
        if (IsHeader(line)) {
            ++headers;
            if (headers == k)
                for (const auto& r : replacement) {
                    out += TrimRight(r);
                    out += "\r\n";
                }
        }
        if (headers == k) continue;
        out += line;
        out += "\r\n";
    }
    return out;
}

std::vector<std::string> HeaderTitles(std::string_view baseBytes) {
    std::vector<std::string> out;
    TextLineScanner lines(baseBytes);
    std::string_view line;
    while (lines.Next(line)) {
        if (!IsHeader(line)) continue;
        std::string title = HeaderTitle(line);
        if (!title.empty()) out.push_back(std::move(title));
    }
    return out;
}

} // namespace qor::interp
