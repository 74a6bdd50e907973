// Damaged modules: a real module cut short, given bogus offsets and sizes, made to point
// back into itself, or changed byte by byte. None may crash (the tests run under the
// sanitizers), and where a module still loads it may only answer with real strings.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "host/ByteView.h"
#include "tools/datafile/DataFileWriter.h"
#include "host/ModuleLoader.h"
#include "tests/host/TestModules.h"

namespace velmora {
namespace {

using datafile::Bytes;
using testing::ModulePtr;
using testing::TestModulePath;

// Ids of table.rc in every block it has, unused ids, and ids whose blocks would be found
// only by walking a damaged directory (80: block 6, 160: block 11, the ids of the types).
constexpr std::uint32_t ProbeIds[] = {0, 1, 2, 15, 16, 17, 18, 31, 40, 41, 42, 43, 80, 160, 1000, 65535};
constexpr std::uint32_t Block1Ids[] = {0, 1, 2, 15};

// What a module answers for each probe id (nothing when it does not load): the text, or
// what LoadText makes of an answer that overran the buffer or was not terminated.
struct Probe {
    bool loaded = false;
    std::map<std::uint32_t, std::u16string> texts;
};

Probe ProbeModule(Bytes bytes)
{
    const ModulePtr module = testing::Own(LoadModuleFromBytes(std::move(bytes)));
    Probe probe{module != nullptr, {}};
    for (std::uint32_t id : ProbeIds)
        if (module)
            probe.texts[id] = testing::LoadText(module.get(), id);
    return probe;
}

bool Overran(const std::u16string& text) { return text.rfind(u"<count", 0) == 0; }

// Where the structures of a module built by ld lie in its file: the headers, the data
// directory's count (NumberOfRvaAndSizes) and resource entry (2), the resource section's
// header and the end of the last section's raw data; the resource directory (root), the
// root's entry for type 6 and its name directory, block 1's entry, its language entry
// and leaf, and block 1's strings. nameDirectory and leaf1 are offsets inside the
// resource directory, the others offsets in the file.
struct Layout {
    std::int64_t pe = 0, fileHeader = 0, optional = 0, directoryCount = 0, resourceDirectory = 0, rsrcSectionHeader = 0, lastRawEnd = 0;
    std::int64_t root = 0, typeEntry = 0, block1Entry = 0, language1Entry = 0, block1Data = 0;
    std::uint32_t nameDirectory = 0, leaf1 = 0;
};

// Reads of the sound test module, whose layout the tests rely on.
std::int64_t U16(ByteView file, std::int64_t at) { return file.U16(at).value(); }
std::int64_t U32(ByteView file, std::int64_t at) { return file.U32(at).value(); }

std::int64_t FindIdEntry(ByteView file, std::int64_t directory, std::uint32_t id)
{
    for (std::int64_t i = 0; i < U16(file, directory + 14); ++i) {
        const std::int64_t entry = directory + 16 + (U16(file, directory + 12) + i) * 8;
        if (U32(file, entry) == id)
            return entry;
    }
    throw std::runtime_error("test module has no such entry");
}

Layout Locate(const Bytes& bytes)
{
    const ByteView file(bytes.data(), bytes.size());
    Layout l;
    l.pe = U32(file, 0x3C);
    l.fileHeader = l.pe + 4;
    l.optional = l.fileHeader + 20;
    l.directoryCount = l.optional + (U16(file, l.optional) == 0x20B ? 108 : 92);
    l.resourceDirectory = l.directoryCount + 4 + 2 * 8;
    const std::int64_t rva = U32(file, l.resourceDirectory);
    for (std::int64_t i = 0; i < U16(file, l.fileHeader + 2); ++i) {
        const std::int64_t header = l.optional + U16(file, l.fileHeader + 16) + i * 40;
        const std::int64_t va = U32(file, header + 12), raw = U32(file, header + 16), pointer = U32(file, header + 20);
        l.lastRawEnd = std::max(l.lastRawEnd, pointer + raw);
        if (rva >= va && rva < va + raw) {
            l.rsrcSectionHeader = header;
            l.root = pointer + (rva - va);
        }
    }
    l.typeEntry = FindIdEntry(file, l.root, 6);
    l.nameDirectory = static_cast<std::uint32_t>(U32(file, l.typeEntry + 4) & 0x7FFFFFFF);
    l.block1Entry = FindIdEntry(file, l.root + l.nameDirectory, 1);
    l.language1Entry = FindIdEntry(file, l.root + (U32(file, l.block1Entry + 4) & 0x7FFFFFFF), 0);
    l.leaf1 = static_cast<std::uint32_t>(U32(file, l.language1Entry + 4));
    l.block1Data = l.root + (U32(file, l.root + l.leaf1) - rva);
    return l;
}

void Put32(Bytes& b, std::int64_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.at(static_cast<std::size_t>(at + i)) = static_cast<std::uint8_t>(v >> (8 * i));
}

void Put16(Bytes& b, std::int64_t at, std::uint16_t v)
{
    b.at(static_cast<std::size_t>(at)) = static_cast<std::uint8_t>(v);
    b.at(static_cast<std::size_t>(at + 1)) = static_cast<std::uint8_t>(v >> 8);
}

class ModuleRobustnessTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        original = datafile::ReadFile(TestModulePath(GetParam(), "table"));
        layout = Locate(original);
        sound = ProbeModule(original);
        ASSERT_TRUE(sound.loaded);
        ASSERT_TRUE(sound.texts[0] == u"zero");
        ASSERT_TRUE(sound.texts[65535] == u"the last id");
    }

    // Every text of `probe` is the sound module's text for that id, or empty.
    bool OnlyRealStrings(const Probe& probe) const
    {
        for (const auto& [id, text] : probe.texts)
            if (!text.empty() && text != sound.texts.at(id))
                return false;
        return true;
    }

    Bytes original;
    Layout layout;
    Probe sound;
};

INSTANTIATE_TEST_SUITE_P(Pe, ModuleRobustnessTest, ::testing::ValuesIn(testing::Architectures));

TEST_P(ModuleRobustnessTest, ModulesAndResourceSectionsCutAtEveryOffset)
{
    // A module whose sections do not all lie in the file does not load; what follows the
    // last section (if anything) is not needed. Copies are of exactly the size cut to, so
    // the sanitizer sees a read one byte past the cut.
    ASSERT_LE(layout.lastRawEnd, static_cast<std::int64_t>(original.size()));
    for (std::size_t size = 0; size < original.size(); ++size) {
        const Probe probe = ProbeModule(Bytes(original.begin(), original.begin() + static_cast<std::ptrdiff_t>(size)));
        EXPECT_EQ(probe.loaded, static_cast<std::int64_t>(size) >= layout.lastRawEnd) << "cut at " << size;
        EXPECT_TRUE(!probe.loaded || probe.texts == sound.texts) << "cut at " << size;
    }
    // A resource section that claims only `raw` bytes, the file ending there: every
    // string past the cut is gone, every string before it is whole.
    const ByteView file(original.data(), original.size());
    int stringsSeen = 0;
    for (std::int64_t raw = 0; raw <= U32(file, layout.rsrcSectionHeader + 16); ++raw) {
        Bytes cut(original.begin(), original.begin() + static_cast<std::ptrdiff_t>(U32(file, layout.rsrcSectionHeader + 20) + raw));
        Put32(cut, layout.rsrcSectionHeader + 16, static_cast<std::uint32_t>(raw));
        const Probe probe = ProbeModule(std::move(cut));
        ASSERT_TRUE(probe.loaded) << raw;
        EXPECT_TRUE(OnlyRealStrings(probe)) << "raw size " << raw;
        stringsSeen += static_cast<int>(std::count_if(probe.texts.begin(), probe.texts.end(), [](const auto& t) { return !t.second.empty(); }));
    }
    EXPECT_GT(stringsSeen, 0);
}

enum class Outcome { NoModule, NoStrings, Block1Gone, Unchanged };

struct DamageRow {
    const char* what;
    std::function<void(Bytes&, const Layout&)> damage;
    Outcome outcome;
};

TEST_P(ModuleRobustnessTest, BogusOffsetsSizesAndDirectoriesThatPointToThemselves)
{
    const std::int64_t size = static_cast<std::int64_t>(original.size());
    const DamageRow rows[] = {
        {"PE header offset past the end", [&](Bytes& b, const Layout&) { Put32(b, 0x3C, static_cast<std::uint32_t>(size - 2)); }, Outcome::NoModule},
        {"PE header offset near 4 GiB", [](Bytes& b, const Layout&) { Put32(b, 0x3C, 0xFFFFFFF0); }, Outcome::NoModule},
        {"no PE signature", [](Bytes& b, const Layout& l) { Put32(b, l.pe, 0); }, Outcome::NoModule},
        {"section table runs past the end", [](Bytes& b, const Layout& l) { Put16(b, l.fileHeader + 2, 0xFFFF); }, Outcome::NoModule},
        {"optional header runs past the end", [](Bytes& b, const Layout& l) { Put16(b, l.fileHeader + 16, 0xFFFF); }, Outcome::NoModule},
        {"optional header too short", [](Bytes& b, const Layout& l) { Put16(b, l.fileHeader + 16, 8); }, Outcome::NoModule},
        {"unknown optional header magic", [](Bytes& b, const Layout& l) { Put16(b, l.optional, 0x107); }, Outcome::NoModule},
        {"section raw data past the end", [](Bytes& b, const Layout& l) { Put32(b, l.rsrcSectionHeader + 20, 0xFFFFFF00); }, Outcome::NoModule},
        {"section raw size near 4 GiB", [](Bytes& b, const Layout& l) { Put32(b, l.rsrcSectionHeader + 16, 0xFFFFFFFF); }, Outcome::NoModule},
        {"resource directory outside every section", [](Bytes& b, const Layout& l) { Put32(b, l.resourceDirectory, 0xFFFFFFF0); }, Outcome::NoStrings},
        {"resource directory of size 0", [](Bytes& b, const Layout& l) { Put32(b, l.resourceDirectory + 4, 0); }, Outcome::NoStrings},
        {"resource directory smaller than its root", [](Bytes& b, const Layout& l) { Put32(b, l.resourceDirectory + 4, 8); }, Outcome::NoStrings},
        {"only two data directories", [](Bytes& b, const Layout& l) { Put32(b, l.directoryCount, 2); }, Outcome::NoStrings},
        {"root claims 65535 id entries", [](Bytes& b, const Layout& l) { Put16(b, l.root + 14, 0xFFFF); }, Outcome::NoStrings},
        {"root claims 65535 named entries", [](Bytes& b, const Layout& l) { Put16(b, l.root + 12, 0xFFFF); }, Outcome::NoStrings},
        {"string type points to the root", [](Bytes& b, const Layout& l) { Put32(b, l.typeEntry + 4, 0x80000000); }, Outcome::NoStrings},
        {"string type points to itself", [](Bytes& b, const Layout& l) { Put32(b, l.typeEntry + 4, 0x80000000 | static_cast<std::uint32_t>(l.typeEntry - l.root)); }, Outcome::NoStrings},
        {"string type is a leaf", [](Bytes& b, const Layout& l) { Put32(b, l.typeEntry + 4, l.leaf1); }, Outcome::NoStrings},
        {"string type far past the directory", [](Bytes& b, const Layout& l) { Put32(b, l.typeEntry + 4, 0xFFFFFFF0); }, Outcome::NoStrings},
        {"block 1 points to the root", [](Bytes& b, const Layout& l) { Put32(b, l.block1Entry + 4, 0x80000000); }, Outcome::Block1Gone},
        {"block 1 points to its own directory", [](Bytes& b, const Layout& l) { Put32(b, l.block1Entry + 4, 0x80000000 | l.nameDirectory); }, Outcome::Block1Gone},
        {"block 1 is a leaf", [](Bytes& b, const Layout& l) { Put32(b, l.block1Entry + 4, l.leaf1); }, Outcome::Block1Gone},
        {"language of block 1 is the root", [](Bytes& b, const Layout& l) { Put32(b, l.language1Entry + 4, 0x80000000); }, Outcome::Block1Gone},
        {"language of block 1 past the directory", [](Bytes& b, const Layout& l) { Put32(b, l.language1Entry + 4, 0x7FFFFFF0); }, Outcome::Block1Gone},
        {"block 1 data outside every section", [](Bytes& b, const Layout& l) { Put32(b, l.root + l.leaf1, 0xFFFFFFF0); }, Outcome::Block1Gone},
        {"block 1 data of size 4 GiB", [](Bytes& b, const Layout& l) { Put32(b, l.root + l.leaf1 + 4, 0xFFFFFFFF); }, Outcome::Block1Gone},
        {"block 1 data of 3 bytes", [](Bytes& b, const Layout& l) { Put32(b, l.root + l.leaf1 + 4, 3); }, Outcome::Block1Gone},
        {"first string of block 1 claims 65535 units", [](Bytes& b, const Layout& l) { Put16(b, l.block1Data, 0xFFFF); }, Outcome::Block1Gone},
        {"resource section without a virtual size", [](Bytes& b, const Layout& l) { Put32(b, l.rsrcSectionHeader + 8, 0); }, Outcome::Unchanged},
        {"resource section of 16 bytes", [](Bytes& b, const Layout& l) { Put32(b, l.rsrcSectionHeader + 8, 16); }, Outcome::NoStrings},
        {"resource section moved away", [](Bytes& b, const Layout& l) { Put32(b, l.rsrcSectionHeader + 12, 0x07000000); }, Outcome::NoStrings},
        {"resource section with no raw data", [](Bytes& b, const Layout& l) { Put32(b, l.rsrcSectionHeader + 16, 0); }, Outcome::NoStrings},
    };
    for (const DamageRow& row : rows) {
        Bytes bytes = original;
        row.damage(bytes, layout);
        const Probe probe = ProbeModule(std::move(bytes));
        ASSERT_EQ(probe.loaded, row.outcome != Outcome::NoModule) << row.what;
        if (!probe.loaded)
            continue;
        EXPECT_TRUE(OnlyRealStrings(probe)) << row.what;
        for (std::uint32_t id : ProbeIds) {
            const bool inBlock1 = std::find(std::begin(Block1Ids), std::end(Block1Ids), id) != std::end(Block1Ids);
            const bool gone = row.outcome == Outcome::NoStrings || (row.outcome == Outcome::Block1Gone && inBlock1);
            EXPECT_TRUE(probe.texts.at(id) == (gone ? u"" : sound.texts.at(id))) << row.what << ", id " << id;
        }
    }
}

TEST_P(ModuleRobustnessTest, EveryByteChanged)
{
    int loaded = 0;
    for (std::size_t pos = 0; pos < original.size(); ++pos) {
        for (int kind = 0; kind < 3; ++kind) {
            Bytes bytes = original;
            bytes[pos] = kind == 0 ? 0x00 : kind == 1 ? 0xFF : static_cast<std::uint8_t>(bytes[pos] ^ 0x80);
            const Probe probe = ProbeModule(std::move(bytes));
            loaded += probe.loaded ? 1 : 0;
            for (const auto& [id, text] : probe.texts)
                ASSERT_FALSE(Overran(text)) << "byte " << pos << ", id " << id;
        }
    }
    EXPECT_GT(loaded, 0);
}

} // namespace
} // namespace velmora
