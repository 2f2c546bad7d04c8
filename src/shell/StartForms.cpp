#include "shell/StartForms.h"

#include "core/Text.h"

namespace qor::shell {

namespace {

struct Placeholder {
    const char* name;
    const char* caption; // UTF-8
};

const Placeholder kPlaceholders[] = {
    {"DataForm", "Данные"},
    {"KartForm", "Настройки карты"},
    {"sky", "Небесная сфера"},
    {"GeoSet", "Настройки карты мира"},
    {"Interp", "Интерпретация"},
    {"ImgDes", "Поверхность"},
    {"OrbitSet", "Орбиты"},
    {"mStar", "Космос"},
    {"Intxt", "Тексты"},
    {"ExctAsp", "Точные аспекты"},
    {"IntSet", "Файлы интерпретации"},
    {"QorLoc", "Моё место"},
};

} // namespace

void RegisterPlaceholderForms(ui::FormClasses& classes) {
    for (const Placeholder& w : kPlaceholders) {
        const std::string name = w.name, caption = Cp(w.caption);
        classes.Register(name, [name, caption] { return new PlaceholderForm(name, caption); });
    }
}

} // namespace qor::shell
