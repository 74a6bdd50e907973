#include "EffectText.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <limits>

#include "NamingTables.h"
#include "TextForms.h"

namespace velmora {

namespace {

// printf into a std::string of the exact length.
__attribute__((format(printf, 1, 2))) std::string Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0)
        std::vsnprintf(text.data(), text.size() + 1, format, again);
    va_end(again);
    return text;
}

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
        return Format("ID:%d(%s)", c.data1, UnitName(c.data1).c_str());
    return Format("Class:%d(%s)", c.data2, UnitClassName(c.data2).c_str());
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
        return Format("Enhance =: %s %s %.0f", names.Subject(c).c_str(), GetAttributeName(UnitAttributeKind, c.data3).c_str(), amount);
    case 1:
        return Format("CivHead  : Type:%d class:%d amount:%.2f", c.data1, c.data2, amount);
    case 2:
        return Format("Enable   : ID:%d(%s), On/Off:%d", c.data1, names.UnitName(c.data1).c_str(), c.data2);
    case 3:
        return Format("Upgrade  : ID:%d(%s) -> ID:%d(%s)", c.data1, names.UnitName(c.data1).c_str(), c.data2,
                      names.UnitName(c.data2).c_str());
    case 4:
    case 5: {
        const std::string subject = names.Subject(c);
        const std::string attribute = GetAttributeName(UnitAttributeKind, c.data3);
        if (IsSplitAttribute(c.data3)) {
            const SplitAmount s = Split(WholeAmount(c.data4));
            if (c.type == 4)
                return Format("Enhance +: %s %s[type:%d] %+d", subject.c_str(), attribute.c_str(), s.type, s.value);
            return Format("Enhance *: %s %s[type:%d] * %d%%", subject.c_str(), attribute.c_str(), s.type, s.value);
        }
        if (c.type == 4)
            return Format("Enhance +: %s %s %+.2f", subject.c_str(), attribute.c_str(), amount);
        return Format("Enhance *: %s %s * %.2f", subject.c_str(), attribute.c_str(), amount);
    }
    case 6:
        return Format("CivHead *: Type:%d class:%d target:%d amount:%.2f", c.data1, c.data2, c.data3, amount);
    case 101:
        return Format("Cost Tech: ID:%d(%s) Resource type:%d target:%d amount:%.2f", c.data1,
                      names.LanguageTechName(c.data1).c_str(), c.data2, c.data3, amount);
    case 102: {
        // Printed rounded, but the tech named is the truncated amount.
        std::string name;
        if (c.data4 >= 0.0f && c.data4 < static_cast<float>(names.TechCount()))
            name = names.TechName(WholeAmount(c.data4));
        return Format("Disable  : Tech ID:%.0f(%s)", amount, name.c_str());
    }
    case 103:
        return Format("Tech Free: ID:%d(%s)", c.data1, names.TechName(c.data1).c_str());
    default:
        return Format("%9d: Unit ID:%d unit class:%d target:%d amount:%.2f", c.type, c.data1, c.data2, c.data3, amount);
    }
}

std::vector<std::string> RenderEffectLines(const GameTables& tables, const StringLookup& lookup, std::int64_t effectNo)
{
    std::vector<std::string> lines;
    if (effectNo < 0 || effectNo >= tables.effectCount || effectNo >= MaxEffects)
        return lines;
    const EffectRecord& effect = tables.effects[static_cast<std::size_t>(effectNo)];
    const EffectNames names(tables, lookup);
    const int count = std::min<int>(effect.commandCount, MaxEffectCommands);
    for (int i = 0; i < count; ++i)
        lines.push_back(RenderCommandLine(names, effect.commands[static_cast<std::size_t>(i)]));
    return lines;
}

} // namespace velmora
