// The long-lived windows created at start-up, as the shell knows them
// until their own code replaces them: each is a window of its class and name, empty, so that
// every command path and the window-state files already work. A subsystem that builds one of
// them registers its own class under the same name (FormScreen::RegisterFormClass), which
// replaces the one registered here.
#pragma once

#include "ui/Forms.h"

#include <string>
#include <string_view>

namespace qor::shell {

class PlaceholderForm : public ui::TForm {
public:
    PlaceholderForm(std::string_view name, const std::string& caption) : TForm(name) {
        SetCaption(caption);
        SetBounds(160, 120, 420, 300);
    }
};

#define QOR_PLACEHOLDER_FORM(Class, Name, Caption)                                                 \
    class Class : public PlaceholderForm {                                                         \
    public:                                                                                        \
        Class();                                                                                   \
    };
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

// Registers the placeholder classes for every name that has no class yet.
void RegisterPlaceholderForms();

} // namespace qor::shell
