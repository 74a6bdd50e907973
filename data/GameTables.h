// The in-memory model of one loaded data file: plain records in fixed arrays with counts.
//
// Only the parser writes these tables; everything else reads them and bounds every index
// by the matching count or capacity.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace velmora {

inline constexpr int MaxEffects = 514;
inline constexpr int MaxEffectCommands = 120;
inline constexpr int MaxTechs = 460;
inline constexpr int MaxCivs = 19;
inline constexpr int MaxUnitIds = 866;

// The string id that unit ids no file has named resolve to: it names no text.
inline constexpr std::int32_t NoStringId = -1;

struct EffectCommand {
    std::int8_t type = 0;
    std::int16_t data1 = 0;
    std::int16_t data2 = 0;
    std::int16_t data3 = 0;
    float data4 = 0.0f;

    bool operator==(const EffectCommand&) const = default;
};

struct EffectRecord {
    std::int16_t commandCount = 0;
    std::array<EffectCommand, MaxEffectCommands> commands{};

    bool operator==(const EffectRecord&) const = default;
};

struct TechCost {
    std::int16_t type = 0;   // -1 none, 0 food, 1 wood, 2 stone, 3 gold
    std::int16_t amount = 0;
    std::int8_t flag = 0;

    bool operator==(const TechCost&) const = default;
};

struct TechRecord {
    std::array<std::int16_t, 6> requiredTechs{};
    std::array<TechCost, 3> cost{};
    std::int16_t requiredTechFlag = 0;
    std::int16_t civ = 0;
    std::int16_t civFlag = 0;
    std::int16_t location = 0;
    std::int16_t nameStringId = 0;
    std::int16_t helpStringId = 0;
    std::int16_t researchTime = 0;
    std::int16_t effectNo = 0;
    std::int16_t unknown1 = 0;
    std::int8_t iconId = 0;
    std::int8_t unknown2 = 0;
    std::int8_t buttonSlot = 0;
    std::int32_t unknown3 = 0;
    std::int32_t unknown4 = 0;
    std::int32_t unknown5 = 0;
    std::string name;  // at most MaxTechNameLength bytes, no NUL inside

    bool operator==(const TechRecord&) const = default;
};

inline constexpr std::size_t MaxTechNameLength = 255;

// Unit id -> language string id of the unit's name. Every civilization writes into the one
// table, later ones over earlier ones.
struct UnitNameIds {
    UnitNameIds() { ids.fill(NoStringId); }
    std::array<std::int32_t, MaxUnitIds> ids;

    std::int32_t& operator[](int unitId) { return ids[static_cast<std::size_t>(unitId)]; }
    std::int32_t operator[](int unitId) const { return ids[static_cast<std::size_t>(unitId)]; }

    bool operator==(const UnitNameIds&) const = default;
};

struct GameTables {
    std::string versionText;
    std::int32_t effectCount = 0;
    std::array<EffectRecord, MaxEffects> effects{};
    std::int16_t techCount = 0;
    std::array<TechRecord, MaxTechs> techs{};
    std::int32_t civCount = 0;
    UnitNameIds unitNameIds;
    // The three counts as the file gives them; those above are held to the capacities.
    std::int32_t fileEffectCount = 0;
    std::int32_t fileTechCount = 0;
    std::int32_t fileCivCount = 0;

    bool operator==(const GameTables&) const = default;
};

} // namespace velmora
