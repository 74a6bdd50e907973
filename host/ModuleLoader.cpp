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
constexpr std::uint32_t ResourceDataDirectory = 2;
constexpr std::uint32_t StringTableType = 6;
constexpr std::uint32_t HighBit = 0x80000000u;
constexpr int StringsPerBlock = 16;

// The headers of a PE image, as the file stores them (ByteView::Read).
struct DosHeader {
    std::uint16_t magic = 0;
    Unused<58> unused;
    std::uint32_t peHeaderOffset = 0;  // where the PeHeader begins

    template <class Self, class Visit>
    static constexpr void StoredFields(Self& h, Visit&& visit)
    {
        visit(h.magic), visit(h.unused), visit(h.peHeaderOffset);
    }
};

// The signature and the file header.
struct PeHeader {
    std::uint32_t signature = 0;
    std::uint16_t machine = 0;
    std::uint16_t numberOfSections = 0;
    Unused<12> unused;  // time stamp, symbol table
    std::uint16_t sizeOfOptionalHeader = 0;
    std::uint16_t characteristics = 0;

    template <class Self, class Visit>
    static constexpr void StoredFields(Self& h, Visit&& visit)
    {
        visit(h.signature), visit(h.machine), visit(h.numberOfSections), visit(h.unused), visit(h.sizeOfOptionalHeader),
            visit(h.characteristics);
    }
};

// The optional header up to its data directories, which follow it. Word is the width of
// the image's addresses and sizes: 32 bits in PE32, 64 in PE32+ (where the 32-bit
// BaseOfData is left out, so the image base takes the same 8 bytes in both).
template <class Word>
struct OptionalHeader {
    std::uint16_t magic = 0;
    Unused<22> unused1;  // linker version, code sizes, entry point, base of code
    Unused<8> imageBase;
    Unused<40> unused2;  // alignments, versions, sizes, checksum, subsystem
    Word sizeOfStackReserve = 0;
    Word sizeOfStackCommit = 0;
    Word sizeOfHeapReserve = 0;
    Word sizeOfHeapCommit = 0;
    std::uint32_t loaderFlags = 0;
    std::uint32_t numberOfRvaAndSizes = 0;

    template <class Self, class Visit>
    static constexpr void StoredFields(Self& h, Visit&& visit)
    {
        visit(h.magic), visit(h.unused1), visit(h.imageBase), visit(h.unused2), visit(h.sizeOfStackReserve),
            visit(h.sizeOfStackCommit), visit(h.sizeOfHeapReserve), visit(h.sizeOfHeapCommit), visit(h.loaderFlags),
            visit(h.numberOfRvaAndSizes);
    }
};

struct DataDirectory {
    std::uint32_t virtualAddress = 0;
    std::uint32_t size = 0;

    template <class Self, class Visit>
    static constexpr void StoredFields(Self& d, Visit&& visit) { visit(d.virtualAddress), visit(d.size); }
};

struct SectionHeader {
    Unused<8> name;
    std::uint32_t virtualSize = 0;
    std::uint32_t virtualAddress = 0;
    std::uint32_t sizeOfRawData = 0;
    std::uint32_t pointerToRawData = 0;
    Unused<16> unused;  // relocations, line numbers, characteristics

    template <class Self, class Visit>
    static constexpr void StoredFields(Self& h, Visit&& visit)
    {
        visit(h.name), visit(h.virtualSize), visit(h.virtualAddress), visit(h.sizeOfRawData), visit(h.pointerToRawData), visit(h.unused);
    }
};

// The resource directory: tables of entries, three levels deep, and data entries.
struct DirectoryTable {
    Unused<12> unused;  // characteristics, time stamp, version
    std::uint16_t numberOfNamedEntries = 0;
    std::uint16_t numberOfIdEntries = 0;

    template <class Self, class Visit>
    static constexpr void StoredFields(Self& t, Visit&& visit) { visit(t.unused), visit(t.numberOfNamedEntries), visit(t.numberOfIdEntries); }
};

// The entries of a table follow it, the named ones first.
struct DirectoryEntry {
    std::uint32_t id = 0;            // or, with HighBit, where a name lies
    std::uint32_t offsetToData = 0;  // with HighBit, a DirectoryTable; else a DataEntry

    template <class Self, class Visit>
    static constexpr void StoredFields(Self& e, Visit&& visit) { visit(e.id), visit(e.offsetToData); }
};

struct DataEntry {
    std::uint32_t offsetToData = 0;  // an address in the image
    std::uint32_t size = 0;
    std::uint32_t codePage = 0;
    std::uint32_t reserved = 0;

    template <class Self, class Visit>
    static constexpr void StoredFields(Self& e, Visit&& visit) { visit(e.offsetToData), visit(e.size), visit(e.codePage), visit(e.reserved); }
};

static_assert(StoredSize<DosHeader> == 64 && StoredSize<PeHeader> == 24 && StoredSize<OptionalHeader<std::uint32_t>> == 96 &&
              StoredSize<OptionalHeader<std::uint64_t>> == 112 && StoredSize<SectionHeader> == 40 &&
              StoredSize<DirectoryTable> == 16 && StoredSize<DirectoryEntry> == 8 && StoredSize<DataEntry> == 16);

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
    // The record of fixed layout at `offset` in the resource directory.
    template <class Record>
    std::optional<Record> ResourceRecord(std::int64_t offset) const
    {
        const auto bytes = Resource(offset, StoredSize<Record>);
        return bytes ? bytes->template Read<Record>(0) : std::nullopt;
    }
    // The id entries of the directory table at `offset`: one view of DirectoryEntry records.
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
    const auto table = ResourceRecord<DirectoryTable>(offset);
    if (!table)
        return std::nullopt;
    constexpr std::int64_t entrySize = StoredSize<DirectoryEntry>;
    return Resource(offset + StoredSize<DirectoryTable> + table->numberOfNamedEntries * entrySize, table->numberOfIdEntries * entrySize);
}

std::optional<std::uint32_t> LoadedModule::Find(std::int64_t offset, std::uint32_t id) const
{
    const auto entries = IdEntries(offset);
    if (!entries)
        return std::nullopt;
    for (std::int64_t pos = 0; pos < entries->size(); pos += StoredSize<DirectoryEntry>) {
        if (const auto entry = *entries->Read<DirectoryEntry>(pos); entry.id == id)
            return entry.offsetToData;
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
        for (std::int64_t pos = 0; pos < entries->size(); pos += StoredSize<DirectoryEntry>) {
            if (const auto entry = *entries->Read<DirectoryEntry>(pos); entry.id == wanted[static_cast<std::size_t>(w)])
                return entry.offsetToData;
        }
    }
    return entries->Read<DirectoryEntry>(0)->offsetToData;
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
    const auto data = ResourceRecord<DataEntry>(*leaf);
    if (!data)
        return std::nullopt;
    return Image(data->offsetToData, data->size);
}

namespace {

std::optional<std::vector<Section>> ReadSections(ByteView file, std::int64_t table, std::int64_t count)
{
    std::vector<Section> sections;
    sections.reserve(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i) {
        const auto header = file.Read<SectionHeader>(table + i * StoredSize<SectionHeader>);
        if (!header)
            return std::nullopt;
        Section s;
        s.virtualAddress = header->virtualAddress;
        s.rawSize = header->sizeOfRawData;
        s.rawPointer = header->pointerToRawData;
        // A section that gives no virtual size covers its raw data.
        s.extent = header->virtualSize != 0 ? header->virtualSize : s.rawSize;
        if (s.rawSize != 0 && !file.Contains(s.rawPointer, s.rawSize))
            return std::nullopt;
        sections.push_back(s);
    }
    return sections;
}

// The number of data directories and where they begin in the optional header, when its
// fixed part fits the header.
template <class Word>
std::optional<std::pair<std::int64_t, std::uint32_t>> DataDirectories(ByteView optionalHeader)
{
    const auto header = optionalHeader.Read<OptionalHeader<Word>>(0);
    if (!header)
        return std::nullopt;
    return std::pair{StoredSize<OptionalHeader<Word>>, header->numberOfRvaAndSizes};
}

} // namespace

Result<ModuleHandle> LoadModuleFromBytes(std::vector<std::uint8_t> bytes)
{
    const Failure<> notAModule{.reason = "not a module file"};
    const ByteView file(bytes.data(), bytes.size());
    const auto dos = file.Read<DosHeader>(0);
    if (!dos || dos->magic != DosSignature)
        return notAModule;
    const auto pe = file.Read<PeHeader>(dos->peHeaderOffset);
    if (!pe || pe->signature != PeSignature)
        return notAModule;
    const std::int64_t optionalAt = std::int64_t{dos->peHeaderOffset} + StoredSize<PeHeader>;
    const auto optional = file.Sub(optionalAt, pe->sizeOfOptionalHeader);
    if (!optional)
        return notAModule;
    const auto magic = optional->U16(0);
    const auto directories = magic == Pe32Magic       ? DataDirectories<std::uint32_t>(*optional)
                             : magic == Pe32PlusMagic ? DataDirectories<std::uint64_t>(*optional)
                                                      : std::nullopt;
    if (!directories)
        return notAModule;

    // A module without the resource directory's entry has no resources.
    DataDirectory resources;
    const auto& [directoriesAt, directoryCount] = *directories;
    if (directoryCount > ResourceDataDirectory) {
        if (const auto entry = optional->Read<DataDirectory>(directoriesAt + ResourceDataDirectory * StoredSize<DataDirectory>))
            resources = *entry;
    }

    auto sections = ReadSections(file, optionalAt + pe->sizeOfOptionalHeader, pe->numberOfSections);
    if (!sections)
        return notAModule;

    return new LoadedModule(std::move(bytes), std::move(*sections), resources.virtualAddress, resources.size);
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
