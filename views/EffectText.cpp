#include "views/EffectText.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "views/NamingTables.h"
#include "views/TableBounds.h"
#include "views/TextForms.h"

namespace velmora {

namespace {

bool IsSplitAttribute(std::int16_t attribute) { return attribute == 8 || attribute == 9; }

} // namespace

std::string EffectNames::UnitName(std::int64_t unitId) const
{
    if (unitId < 0 || unitId >= MaxUnitIds)
        return {};
    return lookup_(tables_.unitNameIds[static_cast<int>(unitId)]);
}

std::string EffectNames::Subject(const EffectCommand& c) const
{
    if (c.data1 != -1)
        return FormatText("ID:%d(%s)", c.data1, UnitName(c.data1).c_str());
    return FormatText("Class:%d(%s)", c.data2, UnitClassName(c.data2).c_str());
}

std::string EffectNames::LanguageTechName(std::int64_t tech) const
{
    if (tech < 0 || tech >= tables_.techCount)
        return {};
    return lookup_(tables_.techs[static_cast<std::size_t>(tech)].nameStringId);
}

std::string EffectNames::TechName(std::int64_t tech) const
{
    std::string text = LanguageTechName(tech);
    if (text.empty() && tech >= 0 && tech < tables_.techCount)
        text = DisplayText(tables_.techs[static_cast<std::size_t>(tech)].name);
    return text;
}

std::int32_t WholeAmount(float amount)
{
    if (std::isnan(amount))
        return 0;
    const double t = std::trunc(static_cast<double>(amount));
    if (t <= std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    if (t >= std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(t);
}

SplitAmount Split(std::int32_t whole)
{
    return SplitAmount{whole / 256, whole % 256};
}

std::string RenderCommandLine(const EffectNames& names, const EffectCommand& c)
{
    const double amount = c.data4;
    switch (c.type) {
    case 0:
        return FormatText("Enhance =: %s %s %.0f", names.Subject(c).c_str(), GetAttributeName(UnitAttributeKind, c.data3).c_str(), amount);
    case 1:
        return FormatText("CivHead  : Type:%d class:%d amount:%.2f", c.data1, c.data2, amount);
    case 2:
        return FormatText("Enable   : ID:%d(%s), On/Off:%d", c.data1, names.UnitName(c.data1).c_str(), c.data2);
    case 3:
        return FormatText("Upgrade  : ID:%d(%s) -> ID:%d(%s)", c.data1, names.UnitName(c.data1).c_str(), c.data2,
                      names.UnitName(c.data2).c_str());
    case 4:
    case 5: {
        const std::string subject = names.Subject(c);
        const std::string attribute = GetAttributeName(UnitAttributeKind, c.data3);
        if (IsSplitAttribute(c.data3)) {
            const SplitAmount s = Split(WholeAmount(c.data4));
            if (c.type == 4)
                return FormatText("Enhance +: %s %s[type:%d] %+d", subject.c_str(), attribute.c_str(), s.type, s.value);
            return FormatText("Enhance *: %s %s[type:%d] * %d%%", subject.c_str(), attribute.c_str(), s.type, s.value);
        }
        if (c.type == 4)
            return FormatText("Enhance +: %s %s %+.2f", subject.c_str(), attribute.c_str(), amount);
        return FormatText("Enhance *: %s %s * %.2f", subject.c_str(), attribute.c_str(), amount);
    }
    case 6:
        return FormatText("CivHead *: Type:%d class:%d target:%d amount:%.2f", c.data1, c.data2, c.data3, amount);
    case 101:
        return FormatText("Cost Tech: ID:%d(%s) Resource type:%d target:%d amount:%.2f", c.data1,
                      names.LanguageTechName(c.data1).c_str(), c.data2, c.data3, amount);
    case 102: {
        // Printed rounded, but the tech named is the truncated amount.
        std::string name;
        if (c.data4 >= 0.0f && c.data4 < static_cast<float>(names.TechCount()))
            name = names.TechName(WholeAmount(c.data4));
        return FormatText("Disable  : Tech ID:%.0f(%s)", amount, name.c_str());
    }
    case 103:
        return FormatText("Tech Free: ID:%d(%s)", c.data1, names.TechName(c.data1).c_str());
    default:
        return FormatText("%9d: Unit ID:%d unit class:%d target:%d amount:%.2f", c.type, c.data1, c.data2, c.data3, amount);
    }
}

std::vector<std::int64_t> NamedUnits(const EffectCommand& c)
{
    switch (c.type) {
    case 0:
    case 4:
    case 5:  // the subject, when it is one unit
        return c.data1 != -1 ? std::vector<std::int64_t>{c.data1} : std::vector<std::int64_t>{};
    case 2:
        return {c.data1};
    case 3:
        return {c.data1, c.data2};
    default:
        return {};
    }
}

std::vector<std::string> RenderEffectLines(const GameTables& tables, const StringLookup& lookup, std::int64_t effectNo)
{
    std::vector<std::string> lines;
    if (effectNo < 0 || effectNo >= ShownEffectCount(tables))
        return lines;
    const EffectRecord& effect = tables.effects[static_cast<std::size_t>(effectNo)];
    const EffectNames names(tables, lookup);
    for (int i = 0; i < ShownCommandCount(effect); ++i)
        lines.push_back(RenderCommandLine(names, effect.commands[static_cast<std::size_t>(i)]));
    return lines;
}

} // namespace velmora
