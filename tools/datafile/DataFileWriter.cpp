#include "tools/datafile/DataFileWriter.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <fstream>
#include <stdexcept>

#include <zlib.h>

#include "data/RecordLayout.h"

namespace velmora::datafile {

namespace {

class Lcg {
public:
    explicit Lcg(std::uint32_t seed) : state_(seed * 2654435761u + 1u) {}
    std::uint32_t Next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return state_;
    }
    int Below(int n) { return static_cast<int>((Next() >> 8) % static_cast<std::uint32_t>(n)); }

private:
    std::uint32_t state_;
};

// Writes records by walking their layouts (data/RecordLayout.h). What the parser steps
// over is filled as the game's file holds it: `text` is the anchor of an effect head or
// the name of a civilization or unit, `used` the number of units a unit table lists.
class RecordWriter {
public:
    explicit RecordWriter(DataFileWriter& out, std::string_view text = {}, std::size_t used = 0) : out_(out), text_(text), used_(used) {}

    template <class T>
    bool Field(const T& value)
    {
        if constexpr (std::is_same_v<T, float>)
            out_.F32(value);
        else
            out_.Int(value);
        return true;
    }
    bool Skip(Part part, std::int64_t count)
    {
        const auto n = static_cast<std::size_t>(count);
        switch (part) {
        case Part::EffectHead:
        case Part::UnitName:
            return Text(text_, count);
        case Part::CivHead:
            out_.I8(1).Zeros(static_cast<std::size_t>(CivNameAt - 1));
            return Text(text_, count - CivNameAt);
        case Part::CivResources:
            for (std::size_t i = 0; i < n / 4; ++i)
                out_.F32(100.0f);
            return true;
        case Part::CivUnitTable:
            for (std::size_t i = 0; i < n / 4; ++i)
                out_.I32(static_cast<std::int32_t>(i < used_));
            return true;
        case Part::Unused:
            break;
        }
        out_.Zeros(n);
        return true;
    }
    // The text cut to `count` bytes, or followed by NULs up to them.
    bool Text(std::string_view text, std::int64_t count)
    {
        const auto n = static_cast<std::size_t>(count);
        const auto kept = std::min(n, text.size());
        out_.Raw(text.substr(0, kept)).Zeros(n - kept);
        return true;
    }
    template <class Tech>
    bool StoredFields(const Tech& tech)
    {
        ForEachStoredTechField(tech, [this](const auto& field, StoredName) { this->Field(field); });
        return true;
    }
    // Any type is written; one that is not a unit type gets no tail.
    bool UnitType(bool) { return true; }

private:
    DataFileWriter& out_;
    std::string_view text_;
    std::size_t used_;
};

Bytes Deflate(std::span<const std::uint8_t> data, int windowBits, int level)
{
    z_stream s{};
    if (deflateInit2(&s, level, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2 failed");
    Bytes out(deflateBound(&s, static_cast<uLong>(data.size())));
    s.next_in = const_cast<Bytef*>(data.data());
    s.avail_in = static_cast<uInt>(data.size());
    s.next_out = out.data();
    s.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&s, Z_FINISH);
    out.resize(s.total_out);
    deflateEnd(&s);
    if (rc != Z_STREAM_END)
        throw std::runtime_error("deflate did not finish");
    return out;
}

} // namespace

DataFileWriter& DataFileWriter::Version(std::string_view text)
{
    RecordWriter(*this).Text(text, VersionFieldLength);
    return *this;
}

DataFileWriter& DataFileWriter::Filler(std::size_t count, std::uint32_t seed)
{
    // Mostly small values, like the game's tables; never 'C' or 'G', so no anchor text.
    Lcg rng(seed);
    const std::size_t start = bytes_.size();
    bytes_.resize(start + count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t r = rng.Next() >> 24;
        std::uint8_t v;
        if (r < 150)
            v = 0x00;
        else if (r < 200)
            v = 0x01;
        else if (r < 230)
            v = 0xFF;
        else
            v = static_cast<std::uint8_t>((r & 0x0F) + 2);
        bytes_[start + i] = v;
    }
    return *this;
}

DataFileWriter& DataFileWriter::Effects(const std::vector<EffectSpec>& effects, std::optional<std::int32_t> declaredCount)
{
    Int<EffectCountField>(declaredCount.value_or(static_cast<EffectCountField>(effects.size())));
    bool first = true;
    for (const EffectSpec& effect : effects) {
        RecordWriter record(*this, first ? EffectsAnchor : "");
        first = false;
        const StoredEffect head{effect.declaredCount.value_or(static_cast<std::int16_t>(effect.commands.size()))};
        WalkEffectHead(head, record);
        for (const CommandSpec& command : effect.commands)
            WalkCommand(command, record);
    }
    return *this;
}

DataFileWriter& DataFileWriter::Civs(const std::vector<CivSpec>& civs, std::optional<std::int16_t> declaredCount)
{
    Int<CivCountField>(declaredCount.value_or(static_cast<CivCountField>(civs.size())));
    for (const CivSpec& civ : civs) {
        const StoredCiv stored{civ.resourceCount, civ.unitCountFromUnits ? static_cast<std::int16_t>(civ.units.size()) : civ.unitCount};
        RecordWriter record(*this, civ.name, civ.units.size());
        WalkCivRecord(stored, record);
        for (const UnitSpec& unit : civ.units)
            Unit(unit);
    }
    return *this;
}

DataFileWriter& DataFileWriter::Unit(const UnitSpec& unit)
{
    const StoredUnit stored{.type = unit.type,
                            .nameLength = unit.declaredNameLength.value_or(static_cast<std::int16_t>(unit.name.size())),
                            .id = unit.id,
                            .nameStringId = unit.nameStringId,
                            .k = unit.k,
                            .a = unit.a,
                            .b = unit.b};
    RecordWriter record(*this, unit.name);
    WalkUnitRecord(stored, record);
    return *this;
}

DataFileWriter& DataFileWriter::Techs(const std::vector<TechSpec>& techs, std::optional<std::int16_t> declaredCount)
{
    Int<TechCountField>(declaredCount.value_or(static_cast<TechCountField>(techs.size())));
    for (const TechSpec& tech : techs)
        Tech(tech);
    return *this;
}

TechSpec::TechSpec()
{
    requiredTechs.fill(-1);
    for (TechCost& c : cost)
        c.type = -1;
    civ = location = nameStringId = helpStringId = effectNo = -1;
}

DataFileWriter& DataFileWriter::Tech(const TechSpec& t)
{
    const std::int16_t nameLength = t.declaredNameLength.value_or(static_cast<std::int16_t>(t.name.size()));
    RecordWriter record(*this);
    WalkTechRecord(t, nameLength, record);
    return *this;
}

DataFileWriter& DataFileWriter::Raw(std::string_view text)
{
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    return *this;
}

DataFileWriter& DataFileWriter::Raw(std::span<const std::uint8_t> bytes)
{
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

DataFileWriter& DataFileWriter::Zeros(std::size_t count)
{
    bytes_.insert(bytes_.end(), count, 0);
    return *this;
}

DataFileWriter& DataFileWriter::I8(std::int8_t v) { return Int(v); }
DataFileWriter& DataFileWriter::I16(std::int16_t v) { return Int(v); }
DataFileWriter& DataFileWriter::I32(std::int32_t v) { return Int(v); }

DataFileWriter& DataFileWriter::F32(float v)
{
    return I32(std::bit_cast<std::int32_t>(v));
}

TechSpec NamedTech(std::string name, std::int16_t effectNo)
{
    TechSpec t;
    t.name = std::move(name);
    t.effectNo = effectNo;
    return t;
}

UnitSpec MakeUnit(std::int8_t type, std::int16_t id, std::int16_t nameStringId)
{
    UnitSpec u;
    u.type = type;
    u.id = id;
    u.nameStringId = nameStringId;
    return u;
}

Bytes SmallSoundFile(int variant)
{
    static constexpr std::int8_t types[] = {10, 20, 25, 30, 60, 70, 80};
    std::vector<UnitSpec> units;
    for (std::int16_t i = 0; i < 7; ++i) {
        UnitSpec u = MakeUnit(types[(i + variant) % 7], i, static_cast<std::int16_t>(100 + i));
        u.k = static_cast<std::int8_t>(i % 3);
        u.a = static_cast<std::int16_t>(i % 2);
        u.b = static_cast<std::int16_t>((i + variant) % 4);
        units.push_back(u);
    }
    const TechSpec tech = NamedTech("Sample", 0);
    DataFileWriter b;
    b.Version().Filler(20, static_cast<std::uint32_t>(variant + 1));
    b.Effects({EffectSpec{{CommandSpec{4, -1, 6, 9, 1026.0f}, CommandSpec{102, 0, 0, 0, 2.6f}}}, EffectSpec{{}}});
    b.Filler(10, 4).Civs({CivSpec{.name = "Gaia", .resourceCount = 2, .units = units},
                          CivSpec{.name = "Realm", .units = {units[0], units[4]}}});
    b.Techs({tech, tech});
    return b.Data();
}

Bytes MinimalDataFile(const std::vector<TechSpec>& techs)
{
    DataFileWriter b;
    b.Version().Zeros(8).Civs({CivSpec{.name = "Gaia"}}).Techs(techs);
    return b.Data();
}

Bytes DeflateRaw(std::span<const std::uint8_t> data, int level) { return Deflate(data, -15, level); }
Bytes DeflateZlib(std::span<const std::uint8_t> data) { return Deflate(data, 15, 6); }
Bytes DeflateGzip(std::span<const std::uint8_t> data) { return Deflate(data, 15 + 16, 6); }

Bytes DeflateRawZeros(std::size_t count)
{
    z_stream s{};
    if (deflateInit2(&s, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2 failed");
    const Bytes zeros(std::size_t{1} << 20, 0);
    Bytes out;
    std::uint8_t chunk[1 << 16];
    std::size_t left = count;
    int rc = Z_OK;
    do {
        const std::size_t now = std::min(left, zeros.size());
        left -= now;
        s.next_in = const_cast<Bytef*>(zeros.data());
        s.avail_in = static_cast<uInt>(now);
        const int flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
        do {
            s.next_out = chunk;
            s.avail_out = sizeof chunk;
            rc = deflate(&s, flush);
            out.insert(out.end(), chunk, chunk + (sizeof chunk - s.avail_out));
        } while (s.avail_out == 0);
    } while (left > 0);
    deflateEnd(&s);
    if (rc != Z_STREAM_END)
        throw std::runtime_error("deflate did not finish");
    return out;
}

Bytes RealisticDataFile(const RealisticOptions& o)
{
    Lcg rng(o.seed);
    static constexpr std::int8_t kCommandTypes[] = {0, 1, 2, 3, 4, 5, 6, 101, 102, 103};
    static constexpr std::int8_t kUnitTypes[] = {10, 20, 25, 30, 60, 70, 80};

    // Commands shaped like the game's: class-wide or single-unit attribute changes, unit
    // enables and upgrades, resource changes, and tech costs, disables and grants.
    static constexpr std::int16_t kAttributes[] = {0, 1, 2, 5, 8, 9, 10, 11, 12, 13, 14, 19, 22, 23, 100, 101, 103, 104};
    auto anyUnit = [&] { return static_cast<std::int16_t>(rng.Below(o.unitsPerCiv > 0 ? std::min(o.unitsPerCiv, 866) : 1)); };
    auto anyTech = [&] { return static_cast<std::int16_t>(rng.Below(o.techCount > 0 ? o.techCount : 1)); };
    std::vector<EffectSpec> effects(static_cast<std::size_t>(o.effectCount));
    for (EffectSpec& e : effects) {
        const int n = 1 + rng.Below(6);
        for (int i = 0; i < n; ++i) {
            CommandSpec c;
            c.type = kCommandTypes[rng.Below(10)];
            switch (c.type) {
            case 0:
            case 4:
            case 5: {
                const bool wholeClass = rng.Below(10) < 6;
                c.data1 = wholeClass ? std::int16_t{-1} : anyUnit();
                c.data2 = wholeClass ? static_cast<std::int16_t>(rng.Below(60)) : std::int16_t{-1};
                c.data3 = kAttributes[rng.Below(static_cast<int>(std::size(kAttributes)))];
                if (c.data3 == 8 || c.data3 == 9)
                    c.data4 = static_cast<float>(256 * rng.Below(20) + rng.Below(8));
                else
                    c.data4 = c.type == 5 ? 1.0f + static_cast<float>(rng.Below(8)) / 8.0f : static_cast<float>(rng.Below(40) - 5);
                break;
            }
            case 2:
                c.data1 = anyUnit();
                c.data2 = static_cast<std::int16_t>(rng.Below(2));
                break;
            case 3:
                c.data1 = anyUnit();
                c.data2 = anyUnit();
                break;
            case 101:
                c.data1 = anyTech();
                c.data2 = static_cast<std::int16_t>(rng.Below(4));
                c.data3 = 1;
                c.data4 = static_cast<float>(25 * rng.Below(20));
                break;
            case 102:
                c.data4 = static_cast<float>(anyTech());
                break;
            case 103:
                c.data1 = anyTech();
                break;
            default:  // 1 and 6: resources
                c.data1 = static_cast<std::int16_t>(rng.Below(200));
                c.data2 = static_cast<std::int16_t>(rng.Below(2));
                c.data3 = static_cast<std::int16_t>(rng.Below(4));
                c.data4 = static_cast<float>(rng.Below(400)) / 4.0f;
                break;
            }
            e.commands.push_back(c);
        }
    }

    std::vector<CivSpec> civs(static_cast<std::size_t>(o.civCount));
    for (std::size_t c = 0; c < civs.size(); ++c) {
        char name[24];
        std::snprintf(name, sizeof name, c == 0 ? "Gaia" : "Realm%02zu", c);
        civs[c].name = name;
        civs[c].resourceCount = 200;
        for (int u = 0; u < o.unitsPerCiv; ++u) {
            UnitSpec unit;
            unit.type = kUnitTypes[static_cast<std::size_t>(u) % std::size(kUnitTypes)];
            unit.id = static_cast<std::int16_t>(u % 866);
            unit.nameStringId = static_cast<std::int16_t>(5000 + u);
            char unitName[24];
            std::snprintf(unitName, sizeof unitName, "Unit%03d", u);
            unit.name = unitName;
            unit.k = static_cast<std::int8_t>(rng.Below(4));
            unit.a = static_cast<std::int16_t>(rng.Below(6));
            unit.b = static_cast<std::int16_t>(rng.Below(6));
            civs[c].units.push_back(unit);
        }
    }

    std::vector<TechSpec> techs(static_cast<std::size_t>(o.techCount));
    for (std::size_t t = 0; t < techs.size(); ++t) {
        TechSpec& s = techs[t];
        const int ti = static_cast<int>(t);
        // Techs build on recent ones: the tree grows in ages rather than as a tangle. Every
        // fourth tech starts a line of its own.
        const int required = ti == 0 || ti % 4 == 0 ? 0 : 1 + (rng.Below(3) == 0);
        for (int r = 0; r < required; ++r)
            s.requiredTechs[r] = static_cast<std::int16_t>(std::max(0, ti - 1 - rng.Below(std::min(ti, 12))));
        s.cost[0] = {static_cast<std::int16_t>(rng.Below(4)), static_cast<std::int16_t>(50 + rng.Below(500)), 1};
        s.cost[1] = {static_cast<std::int16_t>(rng.Below(4)), static_cast<std::int16_t>(rng.Below(300)), 1};
        s.civ = static_cast<std::int16_t>(rng.Below(20) - 1);
        s.location = static_cast<std::int16_t>(rng.Below(o.unitsPerCiv));
        s.nameStringId = static_cast<std::int16_t>(7000 + ti);
        s.helpStringId = static_cast<std::int16_t>(28000 + ti);
        s.researchTime = static_cast<std::int16_t>(10 + rng.Below(100));
        s.effectNo = static_cast<std::int16_t>(o.effectCount > 0 ? ti % o.effectCount : -1);
        s.iconId = static_cast<std::int8_t>(rng.Below(120));
        s.buttonSlot = static_cast<std::int8_t>(rng.Below(15));
        if (o.techName) {
            s.name = o.techName(ti);
        } else {
            char name[32];
            std::snprintf(name, sizeof name, "Study %03d", ti);
            s.name = name;
        }
    }

    if (o.patch)
        o.patch(effects, techs);

    DataFileWriter sections;
    sections.Effects(effects).Civs(civs).Techs(techs);
    const std::size_t fixed = sections.Size() + 8;
    const std::size_t filler = o.targetSize > fixed ? o.targetSize - fixed : 0;

    DataFileWriter b;
    b.Version().Filler(filler * 2 / 3, o.seed).Effects(effects).Filler(filler - filler * 2 / 3, o.seed + 1).Civs(civs).Techs(techs);
    return b.Data();
}

void WriteFile(const std::string& path, std::span<const std::uint8_t> bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace velmora::datafile
