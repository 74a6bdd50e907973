// The catalogue of bad input: every way a data file can be wrong, with what the load and
// the parse must do about it. Each case runs the viewer's whole chain (load, then parse)
// over tables that an earlier sound file filled, and checks that a failure leaves those
// tables exactly as they were and the files and folders given exactly as they were.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <csignal>
#include <sys/resource.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "data/DataFile.h"
#include "tools/datafile/DataFileWriter.h"
#include "data/DataParser.h"
#include "tests/support/FailureKind.h"
#include "tests/support/TempDir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using namespace fixtures;
using namespace datafile;
using Messages = std::vector<std::string>;

const Messages None{};
const Messages Truncated{"Data file is truncated"};

TechSpec Tech(std::string name) { return NamedTech(std::move(name)); }
UnitSpec Unit(std::int8_t type, std::int16_t id, std::int16_t nameId) { return MakeUnit(type, id, nameId); }
std::vector<CommandSpec> Commands(int n)
{
    std::vector<CommandSpec> out;
    for (int i = 0; i < n; ++i)
        out.push_back(CommandSpec{4, static_cast<std::int16_t>(i), static_cast<std::int16_t>(-i), 7, 0.5f * i});
    return out;
}

// The sound file every case starts from, with the pieces a case may change.
struct Parts {
    std::string version = "VER 5.7";
    std::optional<std::int32_t> effectCount;
    std::vector<EffectSpec> effects{EffectSpec{{CommandSpec{4, -1, 6, 9, 1026.0f}}}, EffectSpec{{CommandSpec{1, 2, 0, 0, 5.0f}}}};
    std::optional<std::int16_t> civCount;
    std::vector<CivSpec> civs{CivSpec{.name = "Gaia", .resourceCount = 1, .units = {Unit(60, 0, 500), Unit(10, 1, 501)}}};
    std::optional<std::int16_t> techCount;
    std::vector<TechSpec> techs{Tech("Fresh")};
    bool withTechs = true;
    std::size_t cutTo = 0;  // cut the file to this many bytes when it is longer
};

Bytes Build(const Parts& p)
{
    DataFileWriter b;
    b.Version(p.version).Filler(24).Effects(p.effects, p.effectCount).Filler(12, 2).Civs(p.civs, p.civCount);
    if (p.withTechs)
        b.Techs(p.techs, p.techCount);
    if (p.cutTo && p.cutTo < b.Size())
        b.MutableData().resize(p.cutTo);
    return b.Data();
}

Bytes Build(const std::function<void(Parts&)>& change)
{
    Parts p;
    change(p);
    return Build(p);
}

// A file written piece by piece, for what the usual outline cannot express.
Bytes Write(const std::function<void(DataFileWriter&)>& write)
{
    DataFileWriter b;
    write(b);
    return b.Data();
}

enum class Expect { Parsed, ParseFailed };

struct ContentCase {
    const char* name;
    Bytes decompressed;
    Expect outcome;
    Messages messages;
    std::function<void(const GameTables&)> check;  // on the tables after a successful parse
};

class BadInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The earlier file: what must survive every failed load.
        DataFileWriter earlier;
        earlier.Version().Zeros(8).Effects({EffectSpec{{CommandSpec{2, 7, 1, 0, 0.0f}}}}).Zeros(4);
        earlier.Civs({CivSpec{.name = "Gaia", .units = {Unit(10, 0, 900), Unit(10, 1, 901)}}}).Techs({Tech("Earlier A"), Tech("Earlier B")});
        earlierPath = dir.File("earlier.dat");
        WriteFile(earlierPath, DeflateRaw(earlier.Data()));
        StartFromEarlierFile();
    }

    // Fresh tables that hold the earlier file, and a copy to compare with.
    void StartFromEarlierFile()
    {
        tables = std::make_unique<GameTables>();
        ASSERT_TRUE(LoadAndParse(earlierPath));
        snapshot = std::make_unique<GameTables>(*tables);
    }

    bool LoadAndParse(const std::string& path)
    {
        shown.clear();
        if (!LoadDataFile(path, buffer))
            return false;
        ParseResult parse = ParseDataFile(buffer, *tables);
        shown = std::move(parse.messages);
        return parse.parsed;
    }

    void ExpectEarlierTablesIntactAndUsable(const std::string& label)
    {
        EXPECT_TRUE(*tables == *snapshot) << label;
        EXPECT_EQ(tables->techs[1].name, "Earlier B") << label;
        // The program goes on: the earlier file loads again.
        ASSERT_TRUE(LoadAndParse(earlierPath)) << label;
        EXPECT_TRUE(*tables == *snapshot) << label;
    }

    TempDir dir;
    DataBuffer buffer;
    Messages shown;
    std::unique_ptr<GameTables> tables = std::make_unique<GameTables>();
    std::unique_ptr<GameTables> snapshot;
    std::string earlierPath;
};

TEST_F(BadInputTest, FileContents)
{
    const std::vector<ContentCase> cases = {
        {"sound file", Build([](Parts&) {}), Expect::Parsed, None, [](const GameTables& t) {
             EXPECT_EQ(t.techs[0].name, "Fresh"); EXPECT_EQ(t.techs[1].name, "");  // beyond the count: empty, nothing of the earlier file
             EXPECT_EQ(t.unitNameIds[0], 500); EXPECT_EQ(t.unitNameIds[1], 501); }},
        {"nothing inflated", Bytes{}, Expect::ParseFailed, {"Version error"}, nullptr},
        {"other version", Build([](Parts& p) { p.version = "VER 5.8"; }), Expect::ParseFailed, {"Version error"}, nullptr},
        {"version without NUL", Build([](Parts& p) { p.version = "VER 5.7+"; }), Expect::ParseFailed, {"Version error"}, nullptr},
        {"only the version text", Bytes{'V', 'E', 'R', ' ', '5', '.', '7'}, Expect::ParseFailed, Truncated, nullptr},
        {"cut inside the effects", Build([](Parts& p) { p.cutTo = 60; }), Expect::ParseFailed, Truncated, nullptr},
        {"cut inside a unit record", Build([](Parts& p) { p.withTechs = false; p.cutTo = 400; }), Expect::ParseFailed, Truncated, nullptr},
        {"no techs section", Build([](Parts& p) { p.withTechs = false; }), Expect::ParseFailed, Truncated, nullptr},
        {"effect count 2147483647", Build([](Parts& p) { p.effectCount = 2147483647; p.civs = {}; p.civCount = 0; p.withTechs = false; }),
         Expect::ParseFailed, Truncated, nullptr},
        {"effect count -1", Build([](Parts& p) { p.effectCount = -1; }), Expect::Parsed, None,
         [](const GameTables& t) { EXPECT_EQ(t.effectCount, -1); EXPECT_EQ(t.techs[0].name, "Fresh"); }},
        {"command count 32767", Build([](Parts& p) { p.effects[1].declaredCount = 32767; }), Expect::Parsed, {"num error"},
         [](const GameTables& t) { EXPECT_EQ(t.effectCount, 2); EXPECT_EQ(t.effects[1].commandCount, 0); EXPECT_EQ(t.techs[0].name, "Fresh"); }},
        {"command count -32768", Build([](Parts& p) { p.effects[1] = EffectSpec{{}, std::int16_t{-32768}}; }), Expect::Parsed, None,
         [](const GameTables& t) { EXPECT_EQ(t.effects[1].commandCount, 0); }},
        {"effect count 600", Build([](Parts& p) {
             p.effects.resize(600, EffectSpec{{CommandSpec{3, 1, 2, 0, 0.0f}}});
             p.effects[513].commands[0].data1 = 513;
             p.effects[550].commands[0] = CommandSpec{1, 0x6147, 0x6169, 0, 0.0f};  // "Gaia", for a scan that stops early
         }), Expect::Parsed, None, [](const GameTables& t) {
             EXPECT_EQ(t.effectCount, MaxEffects); EXPECT_EQ(t.fileEffectCount, 600); EXPECT_EQ(t.effects[513].commands[0].data1, 513); EXPECT_EQ(t.techs[0].name, "Fresh"); }},
        {"command count 500 past the capacity", Build([](Parts& p) { p.effects.resize(530, EffectSpec{Commands(1)}); p.effects[520] = EffectSpec{{}, std::int16_t{500}}; }),
         Expect::Parsed, {"num error"}, [](const GameTables& t) { EXPECT_EQ(t.effectCount, MaxEffects); EXPECT_EQ(t.effects[513].commandCount, 1); }},
        {"command count 121 in the first effect", Build([](Parts& p) { p.effects[0].declaredCount = 121; }), Expect::Parsed, {"num error"},
         [](const GameTables& t) { EXPECT_EQ(t.effects[0].commandCount, 0); EXPECT_EQ(t.techs[0].name, "Fresh"); }},
        {"effects of 0, -3 and 120 commands", Build([](Parts& p) {
             p.effects = {EffectSpec{{}}, EffectSpec{{}, std::int16_t{-3}}, EffectSpec{Commands(120)}, EffectSpec{{CommandSpec{-5, -1, 32767, -32768, -1.25f}}}};
         }), Expect::Parsed, None, [](const GameTables& t) {
             EXPECT_EQ(t.effectCount, 4); EXPECT_EQ(t.effects[0].commandCount + t.effects[1].commandCount, 0); EXPECT_EQ(t.effects[2].commandCount, 120);
             EXPECT_EQ(t.effects[2].commands[119], (EffectCommand{4, 119, -119, 7, 59.5f}));
             EXPECT_EQ(t.effects[3].commands[0], (EffectCommand{-5, -1, 32767, -32768, -1.25f})); }},
        {"no effects section: civilizations searched from the start", Write([](DataFileWriter& b) {
             b.Version().Civs({CivSpec{.name = "Gaia", .units = {Unit(10, 0, 1), Unit(10, 1, 77)}}}).Techs({Tech("Pottery")});
         }), Expect::Parsed, None, [](const GameTables& t) {
             EXPECT_EQ(t.effectCount, 0); EXPECT_EQ(t.civCount, 1); EXPECT_EQ(t.unitNameIds[1], 77); EXPECT_EQ(t.techs[0].name, "Pottery"); }},
        {"civilizations before the effects passed over", Write([](DataFileWriter& b) {
             b.Version().Civs({CivSpec{.name = "Gaia", .units = {Unit(10, 0, 1), Unit(10, 1, 11)}}}).Techs({Tech("Decoy")});
             b.Effects({EffectSpec{{CommandSpec{1, 2, 3, 4, 5.0f}}}}).Filler(16);
             b.Civs({CivSpec{.name = "Gaia", .units = {Unit(10, 0, 1), Unit(10, 1, 22)}}}).Techs({Tech("Real")});
         }), Expect::Parsed, None, [](const GameTables& t) {
             EXPECT_EQ(t.effectCount, 1); EXPECT_EQ(t.unitNameIds[1], 22); EXPECT_EQ(t.techs[0].name, "Real"); }},
        {"civilization count 32767", Build([](Parts& p) { p.civCount = 32767; p.withTechs = false; }), Expect::ParseFailed, Truncated, nullptr},
        {"civilization count -5", Build([](Parts& p) { p.civCount = -5; p.civs = {CivSpec{.name = "Gaia"}}; p.civs[0].unitCount = 0; }),
         Expect::ParseFailed, Truncated, nullptr},
        {"resource count 32767", Build([](Parts& p) { p.civs[0].resourceCount = 32767; p.withTechs = false; p.cutTo = 2000; }),
         Expect::ParseFailed, Truncated, nullptr},
        {"resource count -3", Build([](Parts& p) { p.civs[0].resourceCount = -3; }), Expect::Parsed, None,
         [](const GameTables& t) { EXPECT_EQ(t.techs[0].name, "Fresh"); }},
        {"civilization count 25", Build([](Parts& p) {
             p.civs.resize(25, CivSpec{.name = "Realm", .units = {Unit(10, 0, 1), Unit(30, 1, 2)}});
             p.civs[24].units[1].nameStringId = 2424;
         }), Expect::Parsed, None, [](const GameTables& t) { EXPECT_EQ(t.civCount, MaxCivs); EXPECT_EQ(t.fileCivCount, 25); EXPECT_EQ(t.unitNameIds[1], 2424); }},
        {"unit counts 0 and 1 read no records", Build([](Parts& p) {
             p.civs = {CivSpec{.name = "Gaia", .unitCountFromUnits = false}, CivSpec{.name = "Realm", .unitCount = 1, .unitCountFromUnits = false},
                       CivSpec{.name = "Later", .units = {Unit(10, 0, 5), Unit(10, 1, 6)}}};
         }), Expect::Parsed, None, [](const GameTables& t) { EXPECT_EQ(t.civCount, 3); EXPECT_EQ(t.unitNameIds[1], 6); EXPECT_EQ(t.techs[0].name, "Fresh"); }},
        {"the unit records end at unit id u - 1 or after u of them", Build([](Parts& p) {
             p.civs = {CivSpec{.name = "Gaia", .unitCount = 3, .units = {Unit(10, 0, 10), Unit(10, 2, 12)}, .unitCountFromUnits = false},
                       CivSpec{.name = "Realm", .units = {Unit(10, 0, 20), Unit(10, 1, 21), Unit(10, 1, 22)}},
                       CivSpec{.name = "Third", .unitCount = 5, .units = {Unit(10, 4, 40)}, .unitCountFromUnits = false}};
         }), Expect::Parsed, None, [](const GameTables& t) {
             EXPECT_EQ(t.unitNameIds[0], 20);  // later civilizations over earlier ones
             EXPECT_EQ(t.unitNameIds[1], 22); EXPECT_EQ(t.unitNameIds[2], 12); EXPECT_EQ(t.unitNameIds[4], 40); EXPECT_EQ(t.techs[0].name, "Fresh"); }},
        {"unit count 32767", Build([](Parts& p) { p.civs[0].unitCount = 32767; p.civs[0].unitCountFromUnits = false; p.withTechs = false; }),
         Expect::ParseFailed, Truncated, nullptr},
        {"unit count -2", Build([](Parts& p) { p.civs[0].units = {}; p.civs[0].unitCount = -2; p.civs[0].unitCountFromUnits = false; }),
         Expect::Parsed, None, [](const GameTables& t) { EXPECT_EQ(t.unitNameIds[0], NoStringId); }},
        {"k 127", Build([](Parts& p) { p.civs[0].units[0].k = 127; }), Expect::Parsed, None,
         [](const GameTables& t) { EXPECT_EQ(t.unitNameIds[1], 501); }},
        {"k -128", Build([](Parts& p) { p.civs[0].units[0].k = -128; }), Expect::Parsed, None,
         [](const GameTables& t) { EXPECT_EQ(t.unitNameIds[1], 501); }},
        {"name length 32767 cut short", Build([](Parts& p) { p.civs[0].units[1].declaredNameLength = 32767; p.withTechs = false; p.cutTo = 3000; }),
         Expect::ParseFailed, Truncated, nullptr},
        {"name length -1", Build([](Parts& p) { p.civs[0].units[0].declaredNameLength = -1; }), Expect::Parsed, None,
         [](const GameTables& t) { EXPECT_EQ(t.unitNameIds[1], 501); }},
        {"list count a 32767 cut short", Build([](Parts& p) { p.civs[0].units[0].a = 32767; p.withTechs = false; p.cutTo = 5000; }),
         Expect::ParseFailed, Truncated, nullptr},
        {"list counts a and b -9", Build([](Parts& p) { p.civs[0].units[0].a = -9; p.civs[0].units[0].b = -9; }), Expect::Parsed, None,
         [](const GameTables& t) { EXPECT_EQ(t.unitNameIds[1], 501); }},
        {"unit type 40", Build([](Parts& p) { p.civs[0].units[1].type = 40; }), Expect::ParseFailed, {"Object type data error"}, nullptr},
        {"unit ids -5 and 30000", Build([](Parts& p) { p.civs[0].units[0].id = -5; p.civs[0].units[1].id = 30000; p.civs[0].unitCount = 30001; p.civs[0].unitCountFromUnits = false; }),
         Expect::Parsed, None, [](const GameTables& t) { EXPECT_EQ(t.unitNameIds[0], NoStringId); EXPECT_EQ(t.techs[0].name, "Fresh"); }},
        {"tech count 32767", Build([](Parts& p) { p.techCount = 32767; }), Expect::ParseFailed, Truncated, nullptr},
        {"tech count -7", Build([](Parts& p) { p.techCount = -7; }), Expect::Parsed, None,
         [](const GameTables& t) { EXPECT_EQ(t.techCount, -7); }},
        {"tech name length 32767", Build([](Parts& p) { p.techs[0].declaredNameLength = 32767; p.cutTo = 1200; }), Expect::ParseFailed, Truncated, nullptr},
        {"tech name length -1", Build([](Parts& p) { p.techs[0].declaredNameLength = -1; }), Expect::Parsed, None,
         [](const GameTables& t) { EXPECT_EQ(t.techs[0].name, ""); }},
        {"tech names with NULs and past 255 bytes", Build([](Parts& p) {
             p.techs = {Tech(std::string("Wheel\0junk", 10)), Tech(std::string(250, 'y') + std::string(50, 'z')),
                        Tech(std::string(10, 'w') + '\0' + std::string(289, 'v')), Tech("Last")};
         }), Expect::Parsed, None, [](const GameTables& t) {
             EXPECT_EQ(t.techs[0].name, "Wheel"); EXPECT_EQ(t.techs[1].name, std::string(250, 'y') + "zzzzz");
             EXPECT_EQ(t.techs[2].name, std::string(10, 'w')); EXPECT_EQ(t.techs[3].name, "Last"); }},
        {"tech count 30000 before 460 techs", Build([](Parts& p) {
             p.techs.clear();
             for (int i = 0; i < MaxTechs; ++i)
                 p.techs.push_back(Tech("T" + std::to_string(i)));
             p.techCount = 30000;
         }), Expect::Parsed, None, [](const GameTables& t) { EXPECT_EQ(t.techCount, MaxTechs); EXPECT_EQ(t.fileTechCount, 30000); EXPECT_EQ(t.techs[459].name, "T459"); }},
    };

    for (const ContentCase& c : cases) {
        SCOPED_TRACE(c.name);
        StartFromEarlierFile();
        const std::string path = dir.File("case.dat");
        WriteFile(path, DeflateRaw(c.decompressed));
        const bool parsed = LoadAndParse(path);
        EXPECT_EQ(shown, c.messages);
        EXPECT_EQ(parsed, c.outcome == Expect::Parsed);
        if (parsed && c.check)
            c.check(*tables);
        if (!parsed)
            ExpectEarlierTablesIntactAndUsable(c.name);
    }
}

struct FileCase {
    const char* name;
    std::function<std::string(const TempDir&)> make;  // gives the path to load
    std::optional<LoadFailure> failure;               // none: it loads
    std::string says;                                 // in the failure's text
    // When set, the load runs in a child process as an ordinary user, so permissions
    // apply, after this has prepared the child.
    std::function<void(const TempDir&)> asUser;
};

Bytes SoundCompressed()
{
    return DeflateRaw(MinimalDataFile({Tech("Never")}));
}

const auto AsUser = [](const TempDir&) {};

// Every file under `folder` with its size (0 for all but plain files).
std::map<std::string, std::uintmax_t> Listing(const fs::path& folder)
{
    std::map<std::string, std::uintmax_t> files;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(folder))
        files[e.path().string()] = e.is_regular_file() && !e.is_symlink() ? e.file_size() : 0;
    return files;
}

TEST_F(BadInputTest, FilesAndFolders)
{
    const std::vector<FileCase> cases = {
        {"missing", [](const TempDir& d) { return d.File("missing.dat"); }, LoadFailure::OpenFailed, "missing.dat: cannot open the data file: No such file or directory"},
        {"a folder", [](const TempDir& d) { fs::create_directory(d.File("folder.dat")); return d.File("folder.dat"); }, LoadFailure::OpenFailed, "folder.dat: cannot open the data file: is a folder"},
        {"a device", [](const TempDir&) { return std::string("/dev/zero"); }, LoadFailure::OpenFailed, "/dev/zero: cannot open the data file: not a regular file"},
        {"a FIFO", [](const TempDir& d) { ::mkfifo(d.File("fifo.dat").c_str(), 0600); return d.File("fifo.dat"); }, LoadFailure::OpenFailed, "not a regular file"},
        {"empty", [](const TempDir& d) { WriteFile(d.File("empty.dat"), Bytes{}); return d.File("empty.dat"); }, LoadFailure::StreamTruncated, "the data file is empty"},
        {"a file of /proc, which says it is empty", [](const TempDir&) { return std::string("/proc/self/status"); }, LoadFailure::InflateFailed, "not a raw deflate stream"},
        {"plain text", [](const TempDir& d) { const std::string t = "VER 5.7 but not compressed"; WriteFile(d.File("t.dat"), Bytes(t.begin(), t.end())); return d.File("t.dat"); },
         LoadFailure::InflateFailed, "not a raw deflate stream: invalid block type"},
        {"zlib-wrapped", [](const TempDir& d) { WriteFile(d.File("z.dat"), DeflateZlib(MinimalDataFile())); return d.File("z.dat"); }, LoadFailure::InflateFailed, "not a raw deflate stream"},
        {"gzip-wrapped", [](const TempDir& d) { WriteFile(d.File("g.dat"), DeflateGzip(MinimalDataFile())); return d.File("g.dat"); }, LoadFailure::InflateFailed, "not a raw deflate stream"},
        {"stream cut in half", [](const TempDir& d) { Bytes b = DeflateRaw(RealisticDataFile({.targetSize = 1 << 20})); b.resize(b.size() / 2); WriteFile(d.File("half.dat"), b); return d.File("half.dat"); },
         LoadFailure::StreamTruncated, "cut short"},
        {"bit flipped into a bad block type", [](const TempDir& d) { Bytes b = SoundCompressed(); b[0] |= 0x06; WriteFile(d.File("flip.dat"), b); return d.File("flip.dat"); },
         LoadFailure::InflateFailed, "invalid block type"},
        {"deflate bomb", [](const TempDir& d) { WriteFile(d.File("bomb.dat"), DeflateRawZeros(std::size_t{1} << 30)); return d.File("bomb.dat"); }, LoadFailure::TooLarge,
         "inflates to more than 256 MiB"},
        {"a 300 MB file", [](const TempDir& d) { WriteFile(d.File("huge.dat"), SoundCompressed()); fs::resize_file(d.File("huge.dat"), 300'000'000); return d.File("huge.dat"); },
         LoadFailure::TooLarge, "is 300000000 bytes long, more than the 256 MiB accepted"},
        {"a link at the old temporary name", [](const TempDir& d) {
             WriteFile(d.File("linked.dat"), SoundCompressed());
             fs::create_symlink(d.File("earlier.dat"), d.File("linked.dat.tmp1"));
             return d.File("linked.dat"); }, std::nullopt, ""},
        {"a file of the user's at the old temporary name", [](const TempDir& d) {
             WriteFile(d.File("notes.dat"), SoundCompressed());
             WriteFile(d.File("notes.dat.tmp1"), Bytes{'n', 'o', 't', 'e', 's'});
             return d.File("notes.dat"); }, std::nullopt, ""},
        {"no read permission", [](const TempDir& d) {
             WriteFile(d.File("secret.dat"), SoundCompressed());
             ::chmod(d.File("secret.dat").c_str(), 0200);
             ::chmod(d.Path().c_str(), 0777);
             return d.File("secret.dat"); }, LoadFailure::OpenFailed, "Permission denied", AsUser},
        {"a read-only game folder", [](const TempDir& d) {
             fs::create_directory(d.File("locked"));
             WriteFile(d.File("locked/game.dat"), SoundCompressed());
             ::chmod(d.File("locked/game.dat").c_str(), 0644);
             ::chmod(d.File("locked").c_str(), 0555);
             return d.File("locked/game.dat"); }, std::nullopt, "", AsUser},
        {"another user's file at the old temporary name in a shared folder", [](const TempDir& d) {
             fs::create_directory(d.File("shared"));
             ::chmod(d.File("shared").c_str(), 01777);
             WriteFile(d.File("shared/game.dat"), SoundCompressed());
             WriteFile(d.File("shared/game.dat.tmp1"), Bytes{'m', 'i', 'n', 'e'});
             ::chmod(d.File("shared/game.dat.tmp1").c_str(), 0666);
             return d.File("shared/game.dat"); }, std::nullopt, "", AsUser},
        // The temporary file serves zlib alone, which inflates what libdeflate refuses.
        {"a whole stream with a temporary folder that cannot be written", [](const TempDir& d) {
             fs::create_directory(d.File("closed-tmp"));
             ::chmod(d.File("closed-tmp").c_str(), 0555);
             WriteFile(d.File("t0.dat"), DeflateRawZeros(std::size_t{1} << 20));
             return d.File("t0.dat"); }, std::nullopt, "", [](const TempDir& d) { ::setenv("TMPDIR", d.File("closed-tmp").c_str(), 1); }},
        {"a stream past the largest block of the fast inflate with a temporary folder that cannot be written", [](const TempDir& d) {
             fs::create_directory(d.File("closed-tmp"));
             ::chmod(d.File("closed-tmp").c_str(), 0555);
             WriteFile(d.File("t3.dat"), DeflateRawZeros((std::size_t{64} << 20) + 1));
             return d.File("t3.dat"); }, LoadFailure::TempFileFailed, "cannot create a temporary file in ",
         [](const TempDir& d) { ::setenv("TMPDIR", d.File("closed-tmp").c_str(), 1); }},
        {"a cut stream with a temporary folder that cannot be written", [](const TempDir& d) {
             fs::create_directory(d.File("closed-tmp"));
             ::chmod(d.File("closed-tmp").c_str(), 0555);
             Bytes b = SoundCompressed();
             b.pop_back();
             WriteFile(d.File("t1.dat"), b);
             return d.File("t1.dat"); }, LoadFailure::TempFileFailed, "cannot create a temporary file in ",
         [](const TempDir& d) { ::setenv("TMPDIR", d.File("closed-tmp").c_str(), 1); }},
        {"a full temporary folder", [](const TempDir& d) {
             Bytes b = DeflateRaw(RealisticDataFile({.targetSize = 1 << 20}));
             b.resize(b.size() / 2);
             WriteFile(d.File("t2.dat"), b);
             return d.File("t2.dat"); }, LoadFailure::TempIoFailed, "cannot write the temporary file in ", [](const TempDir&) {
             const rlimit limit{1 << 16, 1 << 16};  // writes beyond 64 KiB fail as on a full disk
             ::signal(SIGXFSZ, SIG_IGN);
             ::setrlimit(RLIMIT_FSIZE, &limit); }},
    };

    for (const FileCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = c.make(dir);
        const auto before = Listing(dir.Path());
        // Whether the load ends as the row says, with a buffer that holds only what it should.
        const auto endsAsSaid = [&](DataBuffer& own) {
            const auto result = LoadDataFile(path, own);
            const bool keepsPart = c.failure == LoadFailure::InflateFailed || c.failure == LoadFailure::StreamTruncated;
            if (result)
                return !c.failure && own.length > 0;
            return result.failure().kind == c.failure && result.failure().Text().find(c.says) != std::string::npos && (keepsPart || own.length == 0);
        };
        if (c.asUser) {
            EXPECT_EQ(RunUnprivileged([&] { c.asUser(dir); DataBuffer own; return endsAsSaid(own) ? 0 : 1; }), 0);
        } else {
            EXPECT_TRUE(endsAsSaid(buffer));
        }
        EXPECT_EQ(Listing(dir.Path()), before);  // the game folder is only read
        ExpectEarlierTablesIntactAndUsable(c.name);
    }
}

} // namespace
} // namespace velmora
