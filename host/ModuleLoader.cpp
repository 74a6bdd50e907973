#include "host/ModuleLoader.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>

#include "host/ByteView.h"
#include "host/HostPath.h"
#include "host/WholeFile.h"

namespace velmora {

namespace {

constexpr std::uint16_t DosSignature = 0x5A4D;           // "MZ"
constexpr std::uint32_t PeSignature = 0x00004550;        // "PE\0\0"
constexpr std::uint16_t Pe32Magic = 0x10B;
constexpr std::uint16_t Pe32PlusMagic = 0x20B;
constexpr std::int64_t FileHeaderSize = 20;
constexpr std::int64_t SectionHeaderSize = 40;
constexpr std::uint32_t ResourceDataDirectory = 2;
constexpr std::uint32_t StringTableType = 6;
constexpr std::uint32_t HighBit = 0x80000000u;
constexpr std::int64_t DirectoryHeaderSize = 16;
constexpr std::int64_t DirectoryEntrySize = 8;
constexpr std::int64_t DataEntrySize = 16;
constexpr int StringsPerBlock = 16;

struct Section {
    std::uint32_t virtualAddress = 0;
    std::uint32_t extent = 0;       // bytes the section covers in the image
    std::uint32_t rawSize = 0;      // of which this many come from the file
    std::uint32_t rawPointer = 0;
};

} // namespace

class LoadedModule {
public:
    LoadedModule(std::vector<std::uint8_t> bytes, std::vector<Section> sections, std::uint32_t resourceRva,
                 std::uint32_t resourceSize)
        : bytes_(std::move(bytes)), sections_(std::move(sections)), resourceRva_(resourceRva), resourceSize_(resourceSize)
    {
    }

    // The bytes of the block that holds string `id`, in the language chosen, or nothing.
    std::optional<ByteView> StringBlock(std::uint32_t id) const;

private:
    // The image's bytes [rva, rva + count), when they all come from the file inside one
    // section.
    std::optional<ByteView> Image(std::int64_t rva, std::int64_t count) const;
    // The resource directory's bytes [offset, offset + count).
    std::optional<ByteView> Resource(std::int64_t offset, std::int64_t count) const;
    // The id entries of the directory table at `offset`: one view of 8-byte entries.
    std::optional<ByteView> IdEntries(std::int64_t offset) const;
    // The OffsetToData of the entry with id `id` in the directory table at `offset`.
    std::optional<std::uint32_t> Find(std::int64_t offset, std::uint32_t id) const;
    std::optional<std::uint32_t> ChooseLanguage(std::int64_t offset) const;

    std::vector<std::uint8_t> bytes_;
    std::vector<Section> sections_;
    std::uint32_t resourceRva_;
    std::uint32_t resourceSize_;
};

std::optional<ByteView> LoadedModule::Image(std::int64_t rva, std::int64_t count) const
{
    const ByteView file(bytes_.data(), bytes_.size());
    for (const Section& s : sections_) {
        const std::int64_t start = s.virtualAddress;
        if (rva < start || rva - start >= s.extent)
            continue;
        const std::int64_t offset = rva - start;
        const std::int64_t fromFile = std::min<std::int64_t>(s.rawSize, s.extent);
        if (count < 0 || offset > fromFile || count > fromFile - offset)
            return std::nullopt;
        return file.Sub(std::int64_t{s.rawPointer} + offset, count);
    }
    return std::nullopt;
}

std::optional<ByteView> LoadedModule::Resource(std::int64_t offset, std::int64_t count) const
{
    if (offset < 0 || count < 0 || offset > resourceSize_ || count > resourceSize_ - offset)
        return std::nullopt;
    return Image(std::int64_t{resourceRva_} + offset, count);
}

std::optional<ByteView> LoadedModule::IdEntries(std::int64_t offset) const
{
    const auto header = Resource(offset, DirectoryHeaderSize);
    if (!header)
        return std::nullopt;
    const std::int64_t named = *header->U16(12);
    const std::int64_t ids = *header->U16(14);
    return Resource(offset + DirectoryHeaderSize + named * DirectoryEntrySize, ids * DirectoryEntrySize);
}

std::optional<std::uint32_t> LoadedModule::Find(std::int64_t offset, std::uint32_t id) const
{
    const auto entries = IdEntries(offset);
    if (!entries)
        return std::nullopt;
    for (std::int64_t pos = 0; pos < entries->size(); pos += DirectoryEntrySize) {
        if (*entries->U32(pos) == id)
            return *entries->U32(pos + 4);
    }
    return std::nullopt;
}

std::optional<std::uint32_t> LoadedModule::ChooseLanguage(std::int64_t offset) const
{
    const auto entries = IdEntries(offset);
    if (!entries || entries->empty())
        return std::nullopt;
    const std::uint16_t user = UserDefaultLangId();
    std::array<std::uint32_t, 4> wanted{};
    wanted[0] = LangNeutral;
    int wantedCount = 1;
    if (user != 0) {
        wanted[static_cast<std::size_t>(wantedCount++)] = user;
        wanted[static_cast<std::size_t>(wantedCount++)] = user & 0x3FFu;  // primary language, neutral sublanguage
    }
    wanted[static_cast<std::size_t>(wantedCount++)] = LangEnglishUs;
    for (int w = 0; w < wantedCount; ++w) {
        for (std::int64_t pos = 0; pos < entries->size(); pos += DirectoryEntrySize) {
            if (*entries->U32(pos) == wanted[static_cast<std::size_t>(w)])
                return *entries->U32(pos + 4);
        }
    }
    return *entries->U32(4);
}

std::optional<ByteView> LoadedModule::StringBlock(std::uint32_t id) const
{
    // Always exactly three levels: type, block, language. The walk never goes deeper, so a
    // directory that points back at itself or at a parent cannot make it loop.
    const auto type = Find(0, StringTableType);
    if (!type || !(*type & HighBit))
        return std::nullopt;
    const auto block = Find(*type & ~HighBit, id / StringsPerBlock + 1);
    if (!block || !(*block & HighBit))
        return std::nullopt;
    const auto leaf = ChooseLanguage(*block & ~HighBit);
    if (!leaf || (*leaf & HighBit))
        return std::nullopt;
    const auto data = Resource(*leaf, DataEntrySize);
    if (!data)
        return std::nullopt;
    return Image(*data->U32(0), *data->U32(4));
}

namespace {

std::optional<std::vector<Section>> ReadSections(ByteView file, std::int64_t table, std::int64_t count)
{
    std::vector<Section> sections;
    sections.reserve(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i) {
        const auto header = file.Sub(table + i * SectionHeaderSize, SectionHeaderSize);
        if (!header)
            return std::nullopt;
        Section s;
        const std::uint32_t virtualSize = *header->U32(8);
        s.virtualAddress = *header->U32(12);
        s.rawSize = *header->U32(16);
        s.rawPointer = *header->U32(20);
        // A section that gives no virtual size covers its raw data.
        s.extent = virtualSize != 0 ? virtualSize : s.rawSize;
        if (s.rawSize != 0 && !file.Contains(s.rawPointer, s.rawSize))
            return std::nullopt;
        sections.push_back(s);
    }
    return sections;
}

} // namespace

Result<ModuleHandle> LoadModuleFromBytes(std::vector<std::uint8_t> bytes)
{
    const Failure<> notAModule{.reason = "not a module file"};
    const ByteView file(bytes.data(), bytes.size());
    if (file.U16(0) != DosSignature)
        return notAModule;
    const auto peOffset = file.U32(0x3C);
    if (!peOffset || file.U32(*peOffset) != PeSignature)
        return notAModule;
    const std::int64_t fileHeader = std::int64_t{*peOffset} + 4;
    const auto sectionCount = file.U16(fileHeader + 2);
    const auto optionalSize = file.U16(fileHeader + 16);
    if (!sectionCount || !optionalSize)
        return notAModule;
    const std::int64_t optional = fileHeader + FileHeaderSize;
    const auto magic = file.U16(optional);
    std::int64_t directoryCountAt = 0;
    if (magic == Pe32Magic)
        directoryCountAt = 92;
    else if (magic == Pe32PlusMagic)
        directoryCountAt = 108;
    else
        return notAModule;
    if (directoryCountAt + 4 > *optionalSize || !file.Contains(optional, *optionalSize))
        return notAModule;

    std::uint32_t resourceRva = 0;
    std::uint32_t resourceSize = 0;
    const std::uint32_t directoryCount = *file.U32(optional + directoryCountAt);
    const std::int64_t resourceEntry = directoryCountAt + 4 + ResourceDataDirectory * 8;
    if (directoryCount > ResourceDataDirectory && resourceEntry + 8 <= *optionalSize) {
        resourceRva = *file.U32(optional + resourceEntry);
        resourceSize = *file.U32(optional + resourceEntry + 4);
    }

    auto sections = ReadSections(file, optional + *optionalSize, *sectionCount);
    if (!sections)
        return notAModule;

    return new LoadedModule(std::move(bytes), std::move(*sections), resourceRva, resourceSize);
}

Result<ModuleHandle> LoadModule(const std::string& path, const std::string& winePrefix)
{
    auto bytes = ReadWholeFile(ResolveHostPathIn(winePrefix, path), MaxModuleFileSize);
    if (!bytes)
        return bytes.failure();
    return LoadModuleFromBytes(std::move(*bytes));
}

int LoadModuleString(ModuleHandle module, std::uint32_t id, char16_t* buffer, int bufferLength)
{
    if (!buffer || bufferLength < 1)
        return 0;
    buffer[0] = 0;
    if (!module || id > 0xFFFF)
        return 0;
    const auto block = module->StringBlock(id);
    if (!block)
        return 0;

    // Sixteen counted strings one after another; step over the ones before the slot.
    std::int64_t pos = 0;
    const int slot = static_cast<int>(id % StringsPerBlock);
    for (int i = 0; i < slot; ++i) {
        const auto length = block->U16(pos);
        if (!length)
            return 0;
        pos += 2 + 2 * std::int64_t{*length};
    }
    const auto length = block->U16(pos);
    if (!length || *length == 0)
        return 0;
    const auto units = block->Sub(pos + 2, 2 * std::int64_t{*length});
    if (!units)
        return 0;
    const int copied = std::min<int>(*length, bufferLength - 1);
    for (int i = 0; i < copied; ++i)
        buffer[i] = static_cast<char16_t>(*units->U16(2 * std::int64_t{i}));
    buffer[copied] = 0;
    return copied;
}

void FreeModule(ModuleHandle module)
{
    delete module;
}

namespace {

struct LocaleLangId {
    std::string_view name;  // "ll" or "ll_CC"
    std::uint16_t langId;
};

// The languages and countries this program meets most; a language without its country
// here takes the language's own entry.
constexpr LocaleLangId KnownLocales[] = {
    {"ar", 0x0401}, {"bg", 0x0402}, {"ca", 0x0403}, {"cs", 0x0405}, {"da", 0x0406},
    {"de", 0x0407}, {"de_AT", 0x0C07}, {"de_CH", 0x0807}, {"de_LU", 0x1007},
    {"el", 0x0408},
    {"en", 0x0409}, {"en_AU", 0x0C09}, {"en_CA", 0x1009}, {"en_GB", 0x0809}, {"en_IE", 0x1809},
    {"en_NZ", 0x1409}, {"en_US", 0x0409}, {"en_ZA", 0x1C09},
    {"es", 0x0C0A}, {"es_AR", 0x2C0A}, {"es_MX", 0x080A},
    {"et", 0x0425}, {"fi", 0x040B},
    {"fr", 0x040C}, {"fr_BE", 0x080C}, {"fr_CA", 0x0C0C}, {"fr_CH", 0x100C}, {"fr_LU", 0x140C},
    {"he", 0x040D}, {"hr", 0x041A}, {"hu", 0x040E}, {"id", 0x0421}, {"is", 0x040F},
    {"it", 0x0410}, {"it_CH", 0x0810},
    {"ja", 0x0411}, {"ko", 0x0412}, {"lt", 0x0427}, {"lv", 0x0426},
    {"nb", 0x0414}, {"nl", 0x0413}, {"nl_BE", 0x0813}, {"nn", 0x0814}, {"no", 0x0414},
    {"pl", 0x0415}, {"pt", 0x0816}, {"pt_BR", 0x0416}, {"ro", 0x0418}, {"ru", 0x0419},
    {"sk", 0x041B}, {"sl", 0x0424}, {"sq", 0x041C}, {"sr", 0x0C1A},
    {"sv", 0x041D}, {"sv_FI", 0x081D}, {"th", 0x041E}, {"tr", 0x041F}, {"uk", 0x0422},
    {"vi", 0x042A},
    {"zh", 0x0804}, {"zh_CN", 0x0804}, {"zh_HK", 0x0C04}, {"zh_MO", 0x1404}, {"zh_SG", 0x1004},
    {"zh_TW", 0x0404},
};

std::uint16_t Lookup(std::string_view name)
{
    for (const LocaleLangId& known : KnownLocales) {
        if (known.name == name)
            return known.langId;
    }
    return 0;
}

} // namespace

std::uint16_t LangIdFromLocaleName(std::string_view name)
{
    // language[_COUNTRY][.codeset][@modifier]
    name = name.substr(0, name.find_first_of(".@"));
    if (name.empty() || name == "C" || name == "POSIX")
        return 0;
    if (const std::uint16_t exact = Lookup(name))
        return exact;
    return Lookup(name.substr(0, name.find('_')));
}

#ifndef _WIN32  // Windows asks the system (ModuleLoaderWin32.cpp)
std::uint16_t UserDefaultLangId()
{
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return LangIdFromLocaleName(value);
    }
    return 0;
}
#endif

} // namespace velmora
