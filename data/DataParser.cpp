#include "data/DataParser.h"

#include <algorithm>
#include <type_traits>

#include "data/TechLayout.h"

namespace velmora {

namespace {

constexpr std::string_view EffectsAnchor = "CHUN4";
constexpr std::string_view CivsAnchor = "Gaia";
constexpr int VersionFieldLength = 8;

// Record layout: offsets and fixed lengths of the parts the parser reads or steps over.
constexpr std::int64_t EffectCountOffset = 31;     // int16 command count in an effect record
constexpr std::int64_t EffectHeaderLength = 33;
constexpr std::int64_t CommandLength = 11;
constexpr std::int64_t CivResourceCountOffset = 21;
constexpr std::int64_t CivUnitCountOffset = 28;    // + 4 * resources
constexpr std::int64_t CivHeaderLength = 30;       // + 4 * resources + 4 * units
constexpr std::int64_t UnitNameLengthOffset = 1;
constexpr std::int64_t UnitIdOffset = 3;
constexpr std::int64_t UnitNameIdOffset = 5;
constexpr std::int64_t UnitKOffset = 149;
constexpr std::int64_t UnitCommonLength = 160;     // + 5 * k + name length
const std::int64_t TechHeaderLength = StoredTechFieldsLength + 2;  // + name length

bool IsUnitType(int type)
{
    switch (type) {
    case 10: case 20: case 25: case 30: case 60: case 70: case 80:
        return true;
    default:
        return false;
    }
}

// Counts and lengths that a file gives as negative count as nothing.
std::int64_t NonNegative(std::int64_t n) { return n < 0 ? 0 : n; }

// Walks the file once. Without tables it only checks the bytes and collects the messages;
// with tables it also stores what it reads. The walk depends on the bytes alone, so a
// walk that stores ends exactly as the check before it did.
class Parser {
public:
    Parser(ByteView bytes, GameTables* tables, std::vector<std::string>& messages) : bytes_(bytes), tables_(tables), messages_(messages) {}

    bool Run()
    {
        return ReadVersion() && ReadEffects() && ReadCivs() && ReadTechs();
    }

private:
    void Tell(std::string_view message) { messages_.emplace_back(message); }
    bool Fail(std::string_view message)
    {
        Tell(message);
        return false;
    }
    bool Truncated() { return Fail(TruncatedMessage); }

    bool ReadVersion();
    bool ReadEffects();
    bool ReadCommands(EffectRecord* effect, std::int64_t at, std::int64_t count);
    bool ReadCivs();
    bool ReadUnits(std::int64_t unitCount);
    bool ReadTechs();
    bool ReadTech(TechRecord* tech);

    ByteView bytes_;
    GameTables* tables_;
    std::vector<std::string>& messages_;
    std::int64_t pos_ = 0;
};

bool Parser::ReadVersion()
{
    const ByteView field = bytes_.Sub(0, std::min<std::int64_t>(VersionFieldLength, bytes_.size())).value();
    const auto* begin = field.data();
    const auto* end = begin ? std::find(begin, begin + field.size(), std::uint8_t{0}) : begin;
    const std::string_view version(reinterpret_cast<const char*>(begin), static_cast<std::size_t>(end - begin));
    if (version != RequiredVersionText)
        return Fail(VersionErrorMessage);
    if (tables_)
        tables_->versionText = version;
    return true;
}

bool Parser::ReadEffects()
{
    const std::int64_t anchor = FindEffectsAnchor(bytes_);
    if (anchor < 0) {
        if (tables_)
            tables_->effectCount = 0;
        pos_ = 0;
        return true;
    }
    // The anchor lies past position 4, so the four bytes of the count are always there.
    const std::int32_t fileCount = *bytes_.I32(anchor - 4);
    const std::int32_t stored = std::min(fileCount, MaxEffects);
    if (tables_) {
        tables_->effectCount = stored;
        tables_->fileEffectCount = fileCount;
    }
    pos_ = anchor;

    for (std::int64_t i = 0; i < fileCount; ++i) {
        const auto n = bytes_.I16(pos_ + EffectCountOffset);
        if (!n)
            return Truncated();
        if (*n > MaxEffectCommands) {
            Tell(NumErrorMessage);
            // The offending effect and all after it keep no commands: the tables start empty.
            pos_ += EffectCountOffset;
            return true;
        }
        const std::int64_t count = NonNegative(*n);
        if (i < stored && !ReadCommands(tables_ ? &tables_->effects[static_cast<std::size_t>(i)] : nullptr, pos_ + EffectHeaderLength, count))
            return false;
        pos_ += EffectHeaderLength + CommandLength * count;
    }
    return true;
}

bool Parser::ReadCommands(EffectRecord* effect, std::int64_t at, std::int64_t count)
{
    if (effect)
        effect->commandCount = static_cast<std::int16_t>(count);
    for (std::int64_t c = 0; c < count; ++c, at += CommandLength) {
        const auto type = bytes_.I8(at);
        const auto d1 = bytes_.I16(at + 1);
        const auto d2 = bytes_.I16(at + 3);
        const auto d3 = bytes_.I16(at + 5);
        const auto d4 = bytes_.F32(at + 7);
        if (!type || !d1 || !d2 || !d3 || !d4)
            return Truncated();
        if (effect)
            effect->commands[static_cast<std::size_t>(c)] = EffectCommand{*type, *d1, *d2, *d3, *d4};
    }
    return true;
}

bool Parser::ReadCivs()
{
    if (const std::int64_t gaia = bytes_.Find(CivsAnchor, pos_); gaia >= 0)
        pos_ = gaia - 3;
    const auto fileCount = bytes_.I16(pos_);
    if (!fileCount)
        return Truncated();
    if (tables_) {
        tables_->civCount = std::min<std::int32_t>(*fileCount, MaxCivs);
        tables_->fileCivCount = *fileCount;
    }
    pos_ += 2;

    for (std::int64_t c = 0; c < *fileCount; ++c) {
        const auto resources = bytes_.I16(pos_ + CivResourceCountOffset);
        if (!resources)
            return Truncated();
        const std::int64_t r = NonNegative(*resources);
        const auto units = bytes_.I16(pos_ + CivUnitCountOffset + 4 * r);
        if (!units)
            return Truncated();
        pos_ += CivHeaderLength + 4 * r + 4 * NonNegative(*units);
        if (*units > 0 && !ReadUnits(*units))
            return false;
    }
    return true;
}

// Steps through one civilization's unit records, collecting the name string ids. The
// records end after the one whose unit id is u - 1, and there are never more than u.
bool Parser::ReadUnits(std::int64_t unitCount)
{
    std::int64_t lastId = 0;
    for (std::int64_t j = 0; j < unitCount && lastId + 1 < unitCount; ++j) {
        const auto type = bytes_.I8(pos_);
        if (!type)
            return Truncated();
        if (!IsUnitType(*type))
            return Fail(ObjectTypeErrorMessage);
        const auto unitId = bytes_.I16(pos_ + UnitIdOffset);
        const auto nameId = bytes_.I16(pos_ + UnitNameIdOffset);
        const auto k = bytes_.I8(pos_ + UnitKOffset);
        const auto nameLength = bytes_.I16(pos_ + UnitNameLengthOffset);
        if (!unitId || !nameId || !k || !nameLength)
            return Truncated();
        lastId = *unitId;
        if (tables_ && *unitId >= 0 && *unitId < MaxUnitIds)
            tables_->unitNameIds[*unitId] = *nameId;

        const std::int64_t tail = pos_ + UnitCommonLength + 5 * NonNegative(*k) + NonNegative(*nameLength);
        switch (*type) {
        case 10:
            pos_ = tail;
            break;
        case 20:
        case 25:
            pos_ = tail + 4;
            break;
        case 30:
            pos_ = tail + 41;
            break;
        default: {  // 60, 70, 80: two counted lists inside the tail
            const auto a = bytes_.I16(tail + 63);
            if (!a)
                return Truncated();
            const std::int64_t bAt = tail + 65 + 4 * NonNegative(*a);
            const auto b = bytes_.I16(bAt);
            if (!b)
                return Truncated();
            const std::int64_t rest = *type == 60 ? 67 : *type == 70 ? 123 : 205;
            pos_ = bAt + 4 * NonNegative(*b) + rest;
            break;
        }
        }
    }
    return true;
}

bool Parser::ReadTechs()
{
    const auto fileCount = bytes_.I16(pos_);
    if (!fileCount)
        return Truncated();
    pos_ += 2;
    // Nothing follows the techs, so those beyond the capacity are not read at all.
    const std::int16_t stored = std::min<std::int16_t>(*fileCount, MaxTechs);
    for (int t = 0; t < stored; ++t)
        if (!ReadTech(tables_ ? &tables_->techs[static_cast<std::size_t>(t)] : nullptr))
            return false;
    if (tables_) {
        tables_->techCount = stored;
        tables_->fileTechCount = *fileCount;
    }
    return true;
}

bool Parser::ReadTech(TechRecord* tech)
{
    const auto fixed = bytes_.Sub(pos_, TechHeaderLength);
    if (!fixed)
        return Truncated();
    const std::int64_t nameLength = NonNegative(*fixed->I16(StoredTechFieldsLength));
    const auto name = bytes_.Sub(pos_ + TechHeaderLength, nameLength);
    if (!name)
        return Truncated();
    pos_ += TechHeaderLength + nameLength;
    if (!tech)
        return true;
    std::int64_t at = 0;  // every read below lies inside the bytes checked above
    ForEachStoredTechField(*tech, [&](auto& field) {
        field = *fixed->Int<std::remove_reference_t<decltype(field)>>(at);
        at += sizeof field;
    });
    const auto* begin = name->data();
    const auto* end = begin ? std::find(begin, begin + name->size(), std::uint8_t{0}) : begin;
    const auto kept = std::min<std::size_t>(static_cast<std::size_t>(end - begin), MaxTechNameLength);
    tech->name.assign(reinterpret_cast<const char*>(begin), kept);
    return true;
}

// Makes the tables equal to new ones, touching only the records that hold something.
void Empty(GameTables& tables)
{
    tables.versionText.clear();
    tables.effectCount = 0;
    for (EffectRecord& effect : tables.effects)
        if (effect.commandCount != 0 || effect.commands[0] != EffectCommand{})
            effect = EffectRecord{};
    tables.techCount = 0;
    for (TechRecord& tech : tables.techs)
        tech = TechRecord{};
    tables.civCount = 0;
    tables.unitNameIds = UnitNameIds{};
    tables.fileEffectCount = tables.fileTechCount = tables.fileCivCount = 0;
}

} // namespace

std::int64_t FindEffectsAnchor(ByteView bytes)
{
    const std::int64_t at = bytes.Find(EffectsAnchor, 0);
    return at > 4 ? at : -1;
}

ParseResult ParseDataFile(ByteView bytes, GameTables& tables)
{
    // The whole file is checked before anything is stored, so a failed parse leaves the
    // tables as they were; a successful one stores into emptied tables, so nothing an
    // earlier file put there shows through.
    ParseResult result;
    result.parsed = Parser(bytes, nullptr, result.messages).Run();
    if (result.parsed) {
        Empty(tables);
        std::vector<std::string> same;
        (void)Parser(bytes, &tables, same).Run();
    }
    return result;
}

ParseResult ParseDataFile(const DataBuffer& buffer, GameTables& tables)
{
    return ParseDataFile(buffer.View(), tables);
}

} // namespace velmora
