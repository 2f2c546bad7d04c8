#include "core/PageNames.h"

#include "core/Files.h"
#include "core/Strings.h"
#include "core/Text.h"

namespace qor {

std::optional<std::string> PageNameProblem(const AstroDat& s, std::string_view name,
                                           const std::vector<std::string>& others) {
    auto problem = [&](const char* russian, const char* english) {
        return std::optional<std::string>(Lang(s, Cp(russian), english));
    };
    if (Trim(name).empty())
        return problem("Название страницы не может быть пустым", "A page needs a name");
    if (name == "." || name == "..")
        return problem("Название страницы не может быть \".\" или \"..\"",
                       "A page cannot be named \".\" or \"..\"");
    for (unsigned char c : name)
        if (c < 32 ||
            std::string_view("\\/:*?\"<>|;").find(static_cast<char>(c)) != std::string_view::npos)
            return problem("Название страницы не может содержать знаки \\ / : * ? \" < > | ;",
                           "A page name cannot hold the characters \\ / : * ? \" < > | ;");
    if (name.front() == ' ' || name.back() == ' ' || name.back() == '.')
        return problem("Название страницы не может начинаться или кончаться пробелом и "
                       "кончаться точкой",
                       "A page name cannot begin or end with a blank or end with a dot");
    if (name.size() > 64)
        return problem("Название страницы длиннее 64 знаков", "A page name is at most 64 long");
    const std::string upper = UpperCaseCp(name);
    for (const auto& o : others)
        if (UpperCaseCp(o) == upper)
            return problem("Страница с таким названием уже есть", "A page of that name exists");
    return std::nullopt;
}

bool RenamePage(AstroDat& s, std::vector<std::string>& pages, std::size_t index,
                const std::string& newName, const PageFileOf& fileOf) {
    if (index >= pages.size()) return false;
    std::vector<std::string> others = pages;
    others.erase(others.begin() + static_cast<std::ptrdiff_t>(index));
    if (const auto why = PageNameProblem(s, newName, others)) {
        ReportOf(s).ShowMessage(MsgKind::Warning, *why);
        return false;
    }
    const std::string fromName = fileOf(pages[index]), toName = fileOf(newName);
    const fs::path from = s.DataPath(fromName), to = s.DataPath(toName);
    std::error_code ec;
    const bool fromExists = fs::exists(fs::symlink_status(from, ec));
    const bool toExists = fs::exists(fs::symlink_status(to, ec));
    // The names resolve without regard to case: a new spelling of the same name is the same file.
    const bool sameFile = fromExists && toExists && fs::equivalent(from, to, ec);
    if (toExists && !sameFile) {
        ReportOf(s).ShowMessage(MsgKind::Warning,
                                Lang(s, Cp("Файл страницы уже существует: "),
                                     "The page file exists already: ") + toName);
        return false;
    }
    if (fromExists && !sameFile) {
        fs::rename(from, to, ec);
        if (ec) {
            IOCheck(s, ec.value(), fromName);
            return false;
        }
    }
    pages[index] = newName;
    return true;
}

} // namespace qor
