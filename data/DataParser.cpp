#include "data/DataParser.h"

#include <algorithm>
#include <type_traits>

#include "data/RecordLayout.h"

namespace velmora {

namespace {

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

    // The walker of the record layouts (data/RecordLayout.h): every part is read, or
    // stepped over, at the cursor. A read fails unless its bytes all lie inside the file;
    // bytes stepped over are not checked, since the next read lies beyond them.
    template <class T>
    bool Field(T& value)
    {
        const auto read = bytes_.Number<T>(pos_);
        if (!read)
            return Truncated();
        value = *read;
        pos_ += sizeof(T);
        return true;
    }
    bool Skip(Part, std::int64_t count)
    {
        pos_ += count;
        return true;
    }
    bool Text(std::string& text, std::int64_t count)
    {
        const auto bytes = bytes_.Sub(pos_, count);
        if (!bytes)
            return Truncated();
        pos_ += count;
        if (!tables_)
            return true;  // a check keeps no text
        const auto* begin = bytes->data();
        const auto* end = begin ? std::find(begin, begin + bytes->size(), std::uint8_t{0}) : begin;
        const auto kept = std::min<std::size_t>(static_cast<std::size_t>(end - begin), MaxTechNameLength);
        text.assign(reinterpret_cast<const char*>(begin), kept);
        return true;
    }
    bool StoredFields(TechRecord& tech)
    {
        const auto fields = bytes_.Sub(pos_, StoredTechFieldsLength);
        if (!fields)
            return Truncated();
        pos_ += StoredTechFieldsLength;
        if (!tables_)
            return true;  // a check keeps nothing
        std::int64_t at = 0;  // every read below lies inside the bytes checked above
        ForEachStoredTechField(tech, [&](auto& field, StoredName) {
            field = *fields->Number<std::remove_reference_t<decltype(field)>>(at);
            at += sizeof field;
        });
        return true;
    }
    bool UnitType(bool known) { return known || Fail(ObjectTypeErrorMessage); }

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
    bool ReadCivs();
    bool ReadUnits(std::int64_t unitCount);
    bool ReadTechs();

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
    if (anchor < 0)
        return true;  // no effects; the civilizations are searched from the start
    // The anchor lies past position 4, so the count before it is always there.
    pos_ = anchor - std::int64_t{sizeof(EffectCountField)};
    EffectCountField fileCount = 0;
    (void)Field(fileCount);
    const std::int32_t stored = std::min(fileCount, MaxEffects);
    if (tables_) {
        tables_->effectCount = stored;
        tables_->fileEffectCount = fileCount;
    }

    EffectCommand unstored;  // the commands of a check, and of effects beyond the capacity
    for (std::int64_t i = 0; i < fileCount; ++i) {
        const std::int64_t start = pos_;
        StoredEffect head;
        if (!WalkEffectHead(head, *this))
            return false;
        if (head.commandCount > MaxEffectCommands) {
            Tell(NumErrorMessage);
            // The civilizations are searched from this effect's count on. The offending
            // effect and all after it keep no commands: the tables start empty.
            pos_ = start + EffectHeadLength;
            return true;
        }
        EffectRecord* effect = tables_ && i < stored ? &tables_->effects[static_cast<std::size_t>(i)] : nullptr;
        const std::int64_t count = StoredCount(head.commandCount);
        for (std::int64_t c = 0; c < count; ++c)
            if (!WalkCommand(effect ? effect->commands[static_cast<std::size_t>(c)] : unstored, *this))
                return false;
        if (effect)
            effect->commandCount = static_cast<std::int16_t>(count);
    }
    return true;
}

bool Parser::ReadCivs()
{
    if (const std::int64_t gaia = bytes_.Find(CivsAnchor, pos_); gaia >= 0)
        pos_ = gaia - CivNameAt - std::int64_t{sizeof(CivCountField)};
    CivCountField fileCount = 0;
    if (!Field(fileCount))
        return false;
    if (tables_) {
        tables_->civCount = std::min<std::int32_t>(fileCount, MaxCivs);
        tables_->fileCivCount = fileCount;
    }

    for (std::int64_t c = 0; c < fileCount; ++c) {
        StoredCiv civ;
        if (!WalkCivRecord(civ, *this))
            return false;
        if (civ.unitCount > 0 && !ReadUnits(civ.unitCount))
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
        StoredUnit unit;
        if (!WalkUnitRecord(unit, *this))
            return false;
        lastId = unit.id;
        if (tables_ && unit.id >= 0 && unit.id < MaxUnitIds)
            tables_->unitNameIds[unit.id] = unit.nameStringId;
    }
    return true;
}

bool Parser::ReadTechs()
{
    TechCountField fileCount = 0;
    if (!Field(fileCount))
        return false;
    // Nothing follows the techs, so those beyond the capacity are not read at all.
    const std::int16_t stored = std::min<std::int16_t>(fileCount, MaxTechs);
    TechRecord unstored;  // the techs of a check
    for (int t = 0; t < stored; ++t) {
        std::int16_t nameLength = 0;
        if (!WalkTechRecord(tables_ ? tables_->techs[static_cast<std::size_t>(t)] : unstored, nameLength, *this))
            return false;
    }
    if (tables_) {
        tables_->techCount = stored;
        tables_->fileTechCount = fileCount;
    }
    return true;
}

// Brings every member of the tables back to its value in new tables, with one shortcut:
// an effect whose command count is 0 and whose first command is empty is taken to be
// empty and left alone, since a parse never leaves commands in such an effect. That
// spares rewriting the effects, most of a megabyte, when few of them held commands.
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
    //
    // One walk into new tables moved in on success would give both by construction, and
    // parses a file of the game's size in half the time. But new tables are 770 KiB to
    // allocate and clear on every parse, far more than the check walk costs on a small
    // file: the parser's fuzzing ran some fifty times slower.
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
