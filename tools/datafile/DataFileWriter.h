// Writes decompressed data files record by record, and compresses them as the game does.
//
// Every field the parser reads can be set, including counts and lengths that disagree
// with the bytes written, so tests can build both sound and hostile files.
#pragma once

#include <concepts>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "data/GameTables.h"

namespace velmora::datafile {

using Bytes = std::vector<std::uint8_t>;

using CommandSpec = EffectCommand;

struct EffectSpec {
    std::vector<CommandSpec> commands;
    std::optional<std::int16_t> declaredCount;  // written instead of commands.size()
};

struct UnitSpec {
    std::int8_t type = 10;
    std::int16_t id = 0;
    std::int16_t nameStringId = 0;
    std::string name = "unit";
    std::optional<std::int16_t> declaredNameLength;  // L; bytes written: max(0, L)
    std::int8_t k = 0;
    std::int16_t a = 0;  // list counts inside the tails of types 60, 70 and 80
    std::int16_t b = 0;
};

struct CivSpec {
    std::string name;  // the first civilization must be "Gaia"
    std::int16_t resourceCount = 0;
    std::int16_t unitCount = 0;  // u; with the default, the number of units given
    std::vector<UnitSpec> units;
    bool unitCountFromUnits = true;
};

// A tech record as written: ids and indexes default to -1 ("none"), and the name length
// may disagree with the name.
struct TechSpec : TechRecord {
    TechSpec();
    std::optional<std::int16_t> declaredNameLength;  // N; bytes written: max(0, N), name then NULs
};

class DataFileWriter {
public:
    // The 8-byte version field: the text, then NULs (a longer text is cut to 8 bytes).
    DataFileWriter& Version(std::string_view text = "VER 5.7");
    // Bytes that hold neither "CHUN4" nor "Gaia", and compress about like game data.
    DataFileWriter& Filler(std::size_t count, std::uint32_t seed = 1);
    // The effect count, then the effect records, the first beginning with "CHUN4".
    DataFileWriter& Effects(const std::vector<EffectSpec>& effects, std::optional<std::int32_t> declaredCount = {});
    // The civilization count, then the civilization records with their unit records.
    DataFileWriter& Civs(const std::vector<CivSpec>& civs, std::optional<std::int16_t> declaredCount = {});
    // The tech count, then the tech records.
    DataFileWriter& Techs(const std::vector<TechSpec>& techs, std::optional<std::int16_t> declaredCount = {});

    DataFileWriter& Unit(const UnitSpec& unit);
    DataFileWriter& Tech(const TechSpec& tech);
    DataFileWriter& Raw(std::string_view text);
    DataFileWriter& Raw(std::span<const std::uint8_t> bytes);
    DataFileWriter& Zeros(std::size_t count);
    DataFileWriter& I8(std::int8_t v);
    DataFileWriter& I16(std::int16_t v);
    DataFileWriter& I32(std::int32_t v);
    // A little-endian integer as wide as its type.
    template <std::integral T>
    DataFileWriter& Int(T v)
    {
        const auto u = static_cast<std::make_unsigned_t<T>>(v);
        for (std::size_t i = 0; i < sizeof v; ++i)
            bytes_.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
        return *this;
    }
    DataFileWriter& F32(float v);

    std::size_t Size() const { return bytes_.size(); }
    const Bytes& Data() const { return bytes_; }
    Bytes& MutableData() { return bytes_; }

private:
    Bytes bytes_;
};

// A tech with a name and an effect number, everything else at its default.
TechSpec NamedTech(std::string name, std::int16_t effectNo = -1);
// A unit record of a type, with its unit id and name string id.
UnitSpec MakeUnit(std::int8_t type, std::int16_t id, std::int16_t nameStringId);

// The smallest sound file: version, no effects section, a Gaia civilization without
// units, and the given techs.
Bytes MinimalDataFile(const std::vector<TechSpec>& techs = {});

// A small sound file with every part: effects, two civilizations with unit records of
// every type, two techs. `variant` shifts the unit types and list counts.
Bytes SmallSoundFile(int variant = 0);

// Compression as the game's file uses it (raw deflate, no header or checksum), and the
// two wrapped forms the loader must refuse.
Bytes DeflateRaw(std::span<const std::uint8_t> data, int level = 6);
Bytes DeflateZlib(std::span<const std::uint8_t> data);
Bytes DeflateGzip(std::span<const std::uint8_t> data);
// A raw deflate stream of `count` zero bytes, built without holding them all.
Bytes DeflateRawZeros(std::size_t count);

struct RealisticOptions {
    int civCount = 19;
    int unitsPerCiv = 700;
    int techCount = 460;
    int effectCount = 514;
    std::size_t targetSize = 16u << 20;  // filler makes the file about this long
    std::uint32_t seed = 7;
    // The stored name of tech t; by default "Study %03d".
    std::function<std::string(int)> techName;
    // Changes made to the records before they are written, for a second version of a file.
    std::function<void(std::vector<EffectSpec>&, std::vector<TechSpec>&)> patch;
};

// A data file of the size and shape of the game's: 19 civilizations (the first "Gaia")
// with unit records of every type, effects and techs that refer to each other, and
// filler between the sections. Names and string ids are invented.
Bytes RealisticDataFile(const RealisticOptions& options = {});

void WriteFile(const std::string& path, std::span<const std::uint8_t> bytes);
Bytes ReadFile(const std::string& path);

} // namespace velmora::datafile
