#include "interp/TextBases.h"

namespace qor::interp {

namespace {

constexpr std::array<BaseInfo, kBaseCount> kBases = {{
    {BaseId::MoonMed, 0, "MoonMedEdit", "Txt\\MoonMed.txt", nullptr, nullptr, true},
    {BaseId::Moon, 0, "MoonEdit", "Txt\\Avesta\\Moon.txt", nullptr, nullptr, true},
    {BaseId::Totem, 0, "TotemEdit", "Txt\\Avesta\\Totem.txt", nullptr, nullptr, true},
    {BaseId::TotemMes, 0, "TotemMesEdit", "Txt\\Avesta\\TotemMes.txt", nullptr, nullptr, true},
    {BaseId::TotemDay, 0, "TotemDayEdit", "Txt\\Avesta\\TotemDay.txt", nullptr, nullptr, true},
    {BaseId::SynPH, 1, "SynPHEdit", "Txt\\Verlin\\Synastry.txt", "SynPHBox", "Планеты в домах",
     true},
    {BaseId::SynPAP, 1, "SynPAPEdit", "Txt\\Brandor.txt", "SynPAPBox", "Аспекты планет", true},
    {BaseId::Sign, 2, "SignEdit", "Txt\\Verlin\\sign.txt", "PlnSignBox", "Планеты в знаках",
     true},
    {BaseId::Combin, 2, "CombinEdit", "Txt\\combin.txt", "CombinBox",
     "Планеты в домах и знаках", true},
    {BaseId::House, 2, "HouseEdit", "Txt\\Verlin\\house.txt", "PlnHouseBox", "Планеты в домах",
     true},
    {BaseId::Aspect, 2, "AspectEdit", "Txt\\Tormac\\aspect.txt", "AspectBox", "Аспекты планет",
     true},
    {BaseId::SunAsc, 2, "SunAscEdit", "Txt\\Kvel\\SunAsc.txt", "SunAscBox", "Солнце + Асцендент",
     true},
    {BaseId::Hsign, 3, "HsignEdit", "Txt\\Verlin\\sign.txt", "HsignBox", "Дома в знаках", true},
    {BaseId::Hasp, 3, "HaspEdit", "Txt\\Tormac\\aspect.txt", "HaspBox",
     "Аспекты планета/куспид", true},
    {BaseId::UD, 3, "UDEdit", "Txt\\Adminh.txt", "UHBox", "Управитель дома в домах", true},
    {BaseId::Stars, 4, "StarsEdit", "Txt\\stars.txt", "StarsBox", "Соединение с планетами",
     true},
    {BaseId::LHHR, 5, "LHHR_Edit", "Txt\\Lunar\\LHHR.txt", "LHHR_Box",
     "Дома Л. в домах Радикса", true},
    {BaseId::LPA, 5, "LPA_Edit", "Txt\\Lunar\\LPA.txt", "LPA_Box", "Аспекты планет Лунара",
     true},
    {BaseId::LPAR, 5, "LPAR_Edit", "Txt\\Lunar\\LPAR.txt", "LPAR_Box",
     "Аспекты пл. Л. - пл. Радикса", true},
    {BaseId::LPH, 5, "LPH_Edit", "Txt\\Lunar\\LPH.txt", "LPH_Box", "Планеты Л. в домах Лунара",
     true},
    {BaseId::B, 6, "B_Edit", "Txt\\Transit\\B_trans.txt", "B_Box", "Бизнес", true},
    {BaseId::H, 6, "H_Edit", "Txt\\Transit\\H_trans.txt", "H_Box", "Здоровье", false},
    {BaseId::L, 6, "L_Edit", "Txt\\Transit\\L_trans.txt", "L_Box", "Любовь, семья", false},
    {BaseId::Rgradus, 7, "RgradusEdit", "Txt\\Gradus\\GOstrel.txt", "GOstrelBox",
     "Первый текст", true},
    {BaseId::Ggradus, 7, "GgradusEdit", "Txt\\Gradus\\GFirnel.txt", "GFirnelBox",
     "Второй текст", true},
    {BaseId::SHHR, 8, "SHHR_Edit", "Txt\\Solar\\SHHR.txt", "SHHR_Box",
     "Дома С. в домах Радикса", true},
    {BaseId::SPA, 8, "SPA_Edit", "Txt\\Solar\\SPA.txt", "SPA_Box", "Аспекты планет Соляра",
     true},
    {BaseId::SPH, 8, "SPH_Edit", "Txt\\Solar\\SPH.txt", "SPH_Box", "Планеты в домах Соляра",
     true},
}};

constexpr std::array<const char*, kBaseGroups> kGroups = {
    "Луна, Авеста", "Синастрия", "Планеты", "Дома", "Звёзды",
    "Лунар",        "Транзиты",  "Символы градусов", "Соляр"};

constexpr bool InIdOrder() {
    for (std::size_t i = 0; i < kBaseCount; ++i)
        if (static_cast<std::size_t>(kBases[i].id) != i) return false;
    return true;
}
static_assert(InIdOrder(), "the table is indexed by BaseId");

} // namespace

const std::array<BaseInfo, kBaseCount>& Bases() {
    return kBases;
}

const BaseInfo& BaseOf(BaseId id) {
    return kBases[static_cast<std::size_t>(id)];
}

const std::array<const char*, kBaseGroups>& BaseGroupCaptions() {
    return kGroups;
}

std::string DefaultBaseFile(BaseId id, bool english) {
    std::string f = BaseOf(id).file;
    if (english) f.insert(f.size() - 4, "-e");
    return f;
}

TextBaseSettings TextBaseSettings::Defaults(bool english) {
    TextBaseSettings t;
    for (const BaseInfo& b : kBases) t[b.id] = {DefaultBaseFile(b.id, english), b.on};
    return t;
}

} // namespace qor::interp
