#include "views/TechDetailView.h"

#include "host/Text.h"
#include "views/NamingTables.h"
#include "views/TextForms.h"

namespace velmora {

namespace {

ShownField Show(FieldForm form, std::int32_t value, const UnitNameIds& unitNameIds, const StringLookup& lookup)
{
    switch (form) {
    case FieldForm::Number:
        return {.text = FormatNumber(value)};
    case FieldForm::NumberBlankNone:
        return {.text = FormatNumberBlankNone(value)};
    case FieldForm::EffectNumber:
        return {.text = value >= 0 ? FormatNumber(value) : std::string()};
    case FieldForm::StringText:  // asked with the stored id as it is, -1 too
        return {.text = lookup(value)};
    case FieldForm::UnitName:
        return {.text = LocationName(value, unitNameIds, lookup)};
    case FieldForm::ResourceList:
        return {.selection = ResourceSelection(value)};
    case FieldForm::CivList:
        return {.selection = CivSelection(value)};
    case FieldForm::Check:
        return {.checked = value != 0};
    }
    return {};
}

} // namespace

std::string TechListLine(int index, const TechRecord& tech)
{
    return FormatText("%03d:%s", index, DisplayText(tech.name).c_str());
}

std::string ShownTechListLine(int index, const TechRecord& tech)
{
    return Visible(TechListLine(index, tech));
}

int ResourceSelection(std::int32_t type)
{
    return type >= -1 && type + 1 < static_cast<int>(std::size(ResourceNames)) ? type + 1 : NoSelection;
}

int CivSelection(std::int32_t civ)
{
    if (civ == -1)
        return 0;
    if (civ >= 0 && civ < static_cast<int>(std::size(CivNames)))
        return civ;
    return NoSelection;
}

std::span<const std::string_view> ListEntries(FieldForm form)
{
    if (form == FieldForm::ResourceList)
        return ResourceNames;
    if (form == FieldForm::CivList)
        return CivNames;
    return {};
}

std::string LocationName(std::int32_t location, const UnitNameIds& unitNameIds, const StringLookup& lookup)
{
    if (location < 0 || location >= MaxUnitIds)
        return {};
    return lookup(unitNameIds[location]);
}

TechDetailView DescribeTech(const TechRecord& tech, const UnitNameIds& unitNameIds, const StringLookup& lookup)
{
    TechDetailView view;
    for (std::size_t i = 0; i < TechFields.size(); ++i)
        view.fields[i] = Show(TechFields[i].form, TechFields[i].value(tech), unitNameIds, lookup);
    view.effectNo = tech.effectNo;
    return view;
}

} // namespace velmora
