#include "shell/StartForms.h"

#include "core/Text.h"

namespace qor::shell {

#define QOR_PLACEHOLDER_FORM(Class, Name, Caption)                                                 \
    Class::Class() : PlaceholderForm(Name, Cp(Caption)) {}
QOR_PLACEHOLDER_FORM(TDataForm, "DataForm", "Данные")
QOR_PLACEHOLDER_FORM(TKartForm, "KartForm", "Настройки карты")
QOR_PLACEHOLDER_FORM(Tsky, "sky", "Небесная сфера")
QOR_PLACEHOLDER_FORM(TGeoSet, "GeoSet", "Настройки карты мира")
QOR_PLACEHOLDER_FORM(TInterp, "Interp", "Интерпретация")
QOR_PLACEHOLDER_FORM(TImgDes, "ImgDes", "Поверхность")
QOR_PLACEHOLDER_FORM(TOrbitSet, "OrbitSet", "Орбиты")
QOR_PLACEHOLDER_FORM(TmStar, "mStar", "Космос")
QOR_PLACEHOLDER_FORM(TSetBase, "SetBase", "База карт")
QOR_PLACEHOLDER_FORM(TIntxt, "Intxt", "Тексты")
QOR_PLACEHOLDER_FORM(TExctAsp, "ExctAsp", "Точные аспекты")
QOR_PLACEHOLDER_FORM(TIntSet, "IntSet", "Файлы интерпретации")
QOR_PLACEHOLDER_FORM(TQorLoc, "QorLoc", "Моё место")
#undef QOR_PLACEHOLDER_FORM

namespace {
template <class T> void Offer(const char* name) {
    if (!ui::Screen().HasFormClass(name))
        ui::Screen().RegisterFormClass(name, [] { return new T; });
}
} // namespace

void RegisterPlaceholderForms() {
    Offer<TDataForm>("DataForm");
    Offer<TKartForm>("KartForm");
    Offer<Tsky>("sky");
    Offer<TGeoSet>("GeoSet");
    Offer<TInterp>("Interp");
    Offer<TImgDes>("ImgDes");
    Offer<TOrbitSet>("OrbitSet");
    Offer<TmStar>("mStar");
    Offer<TSetBase>("SetBase");
    Offer<TIntxt>("Intxt");
    Offer<TExctAsp>("ExctAsp");
    Offer<TIntSet>("IntSet");
    Offer<TQorLoc>("QorLoc");
}

} // namespace qor::shell
