#include "core/PageNames.h"

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

} // namespace qor
