// The dump tool as a user runs it: arguments, exit status, standard output and error.
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <optional>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "host/Text.h"
#include "tests/support/TempDir.h"
#include "tools/datafile/DataFileWriter.h"

extern char** environ;

namespace velmora {
namespace {

namespace fs = std::filesystem;
using datafile::Bytes;

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string Slurp(const std::string& path)
{
    const Bytes bytes = datafile::ReadFile(path);
    return std::string(bytes.begin(), bytes.end());
}

// The dump tool run with `args` in `dir`, with WINEPREFIX set to `prefix` (unset when it is
// ""), HOME to `dir` and TMPDIR to dir/tmp; its output goes to `outPath` (by default a file named after `tag`).
class DumpRun {
public:
    DumpRun(const fixtures::TempDir& dir, std::vector<std::string> args, const std::string& prefix, const std::string& tag = "run",
            std::string outPath = "")
        : outPath_(outPath.empty() ? dir.File(tag + ".out") : std::move(outPath)), errPath_(dir.File(tag + ".err"))
    {
        fs::create_directories(dir.Path() / "tmp");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addchdir_np(&actions, dir.Path().c_str());
        args.insert(args.begin(), VELMORA_DUMP_PATH);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<std::string> envText{"HOME=" + dir.Path().string(), "TMPDIR=" + dir.File("tmp")};
        if (!prefix.empty())
            envText.push_back("WINEPREFIX=" + prefix);
        for (char** e = environ; *e; ++e)
            if (std::string_view(*e).rfind("ASAN_OPTIONS=", 0) == 0 || std::string_view(*e).rfind("UBSAN_OPTIONS=", 0) == 0)
                envText.emplace_back(*e);
        std::vector<char*> env;
        for (std::string& e : envText)
            env.push_back(e.data());
        env.push_back(nullptr);
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), env.data()) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }

    ToolRun Wait()
    {
        ToolRun run;
        int status = 0;
        if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status))
            run.status = WEXITSTATUS(status);
        run.out = outPath_ == "/dev/full" ? "" : Slurp(outPath_);
        run.err = Slurp(errPath_);
        return run;
    }

    // Waits until the run has begun to write (the load is inflating); false if it never does.
    bool WaitUntilWriting() const
    {
        for (int i = 0; i < 20000; ++i, usleep(500)) {
            std::ifstream io("/proc/" + std::to_string(pid) + "/io");
            std::string key;
            long long value = 0;
            while (io >> key >> value)
                if (key == "wchar:" && value > 0)
                    return true;
        }
        return false;
    }

    pid_t pid = -1;

private:
    std::string outPath_;
    std::string errPath_;
};

ToolRun RunDump(const fixtures::TempDir& dir, std::vector<std::string> args, const std::string& prefix, std::string outPath = "")
{
    return DumpRun(dir, std::move(args), prefix, "run", std::move(outPath)).Wait();
}

datafile::TechSpec Tech(std::string name, std::int16_t required = -1)
{
    datafile::TechSpec t;
    t.name = std::move(name);
    t.requiredTechs[0] = required;
    return t;
}

class DumpToolTest : public ::testing::Test {
protected:
    // An installation folder whose file names differ in case from the composed ones.
    std::string MakeInstall(const Bytes& data)
    {
        const fs::path game = dir.Path() / "game";
        fs::create_directories(game / "DATA");
        datafile::WriteFile((game / "DATA" / "Brannoch2_X1_P1.dat").string(), datafile::DeflateRaw(data));
        return game.string();
    }

    fixtures::TempDir dir;
};

TEST_F(DumpToolTest, EveryFormatOfAnInstallationFolder)
{
    constexpr float inf = std::numeric_limits<float>::infinity();
    datafile::TechSpec forge = Tech("Forge");
    forge.effectNo = 0;
    forge.civ = 3;
    forge.cost[0] = {0, 150, 1};
    const datafile::TechSpec cafe = Tech("Caf\xE9 \"Q\"", 0);  // Windows-1252, with quotes
    datafile::TechSpec glaze = Tech("Glaze", 1);
    glaze.requiredTechs[3] = 1;  // listed twice, required once
    datafile::DataFileWriter b;
    b.Version().Zeros(8).Effects({datafile::EffectSpec{{{4, -1, 6, 9, 1026.0f}, {1, 2, 0, 0, 0.1f}, {7, 1, 2, 3, inf}}},
                                  datafile::EffectSpec{{{1, 0, 0, 0, -inf}, {1, 0, 0, 0, std::nanf("")}, {1, 0, 0, 0, 1e-40f}, {1, 0, 0, 0, 16777217.0f}}}});
    b.Zeros(4).Civs({datafile::CivSpec{.name = "Gaia"}}).Techs({forge, cafe, glaze, Tech("Bell\x07\x1b[31m")});
    const std::string game = MakeInstall(b.Data());

    const ToolRun json = RunDump(dir, {"--install", game, "--format", "json"}, dir.File("no-prefix"));
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.err, "");
    // Written as it is produced: byte for byte what the JSON library writes for the whole document.
    EXPECT_EQ(json.out, nlohmann::ordered_json::parse(json.out).dump(2) + "\n");
    const nlohmann::json j = nlohmann::json::parse(json.out);
    EXPECT_EQ(j["techCount"], 4);
    EXPECT_EQ(j["effects"][0]["lines"][0], "Enhance +: Class:6(Soldier) Attack[type:4] +2");
    const nlohmann::json& floats = j["effects"][1]["commands"];
    EXPECT_EQ(j["effects"][0]["commands"][1]["data4"].get<double>(), 0.1);  // the shortest text of 0.1f
    EXPECT_EQ(j["effects"][0]["commands"][2]["data4"], "inf");
    EXPECT_EQ(floats[0]["data4"], "-inf");
    EXPECT_EQ(floats[1]["data4"], "nan");
    EXPECT_EQ(static_cast<float>(floats[2]["data4"].get<double>()), 1e-40f);
    EXPECT_EQ(static_cast<float>(floats[3]["data4"].get<double>()), 16777217.0f);
    const nlohmann::json& view = j["techs"][0]["view"];
    EXPECT_EQ(j["techs"][0]["line"], "000:Forge");
    EXPECT_EQ(view["civList"], 3);
    EXPECT_EQ(view["cost1TypeList"], 1);
    EXPECT_EQ(view["cost1AmountText"], "150");
    EXPECT_EQ(view["cost1Check"], true);
    EXPECT_EQ(view["cost2Check"], false);
    EXPECT_EQ(j["techs"][0]["effectLines"].size(), 3u);
    EXPECT_EQ(j["techs"][1]["name"], "Caf\xC3\xA9 \"Q\"");
    EXPECT_EQ(j["techs"][1]["view"]["requiredTech1Text"], "0");
    EXPECT_EQ(j["techs"][1]["requiredTechs"], (nlohmann::json{0, -1, -1, -1, -1, -1}));
    EXPECT_EQ(j["techs"][0]["requiredBy"], nlohmann::json{1});
    EXPECT_EQ(j["techs"][1]["requiredBy"], nlohmann::json{2});
    EXPECT_EQ(j["techs"][2]["requiredBy"], nlohmann::json::array());
    // The stored fields in file order, each cost an object; scripts read them by these names.
    const nlohmann::ordered_json first = nlohmann::ordered_json::parse(json.out)["techs"][0];
    EXPECT_EQ(first["cost"][0].dump(), R"({"type":0,"amount":150,"flag":1})");
    std::string keys;
    for (const auto& member : first.items())
        keys += member.key() + ' ';
    EXPECT_EQ(keys, "line requiredTechs requiredBy cost requiredTechFlag civ civFlag location nameStringId helpStringId researchTime "
                    "effectNo unknown1 iconId unknown2 buttonSlot unknown3 unknown4 unknown5 name view effectLines ");

    const ToolRun text = RunDump(dir, {"--install", game}, dir.File("no-prefix"));
    ASSERT_EQ(text.status, 0) << text.err;
    for (const char* line : {"000:Forge\n", "    Civ: [ ] 3 (Cothic)\n", "    Cost1: [x] 1 (Food) amount 150\n",
                             "        Enhance +: Class:6(Soldier) Attack[type:4] +2\n", "    Required by: 001\n", "    Required by: none\n", "001:Caf\xC3\xA9", "003:Bell\\x07\\x1b[31m\n"})
        EXPECT_NE(text.out.find(line), std::string::npos) << line;

    const ToolRun dot = RunDump(dir, {"--format", "dot", "--install", game}, dir.File("no-prefix"));
    ASSERT_EQ(dot.status, 0) << dot.err;
    EXPECT_EQ(dot.out.rfind("digraph", 0), 0u);
    for (const char* line : {"t1 [label=\"001:Caf\xC3\xA9 \\\"Q\\\"\"];", "t0 -> t1;", "t1 -> t2;", "t3 [label=\"003:Bell\\\\x07\\\\x1b[31m\"];"})
        EXPECT_NE(dot.out.find(line), std::string::npos) << line;
    EXPECT_EQ(dot.out.find("t1 -> t2;"), dot.out.rfind("t1 -> t2;")) << "one edge for each pair";

    const ToolRun csv = RunDump(dir, {"--install", game, "--format", "csv", "--tech", "1"}, dir.File("no-prefix"));
    EXPECT_EQ(csv.out.rfind("Index,Name,Name String ID,", 0), 0u);
    EXPECT_NE(csv.out.find("\r\n1,\"Caf\xC3\xA9 \"\"Q\"\"\",,,,,,0,"), std::string::npos) << csv.out;

    // Only the techs asked for: their effects, and the links between them.
    const nlohmann::json some = nlohmann::json::parse(RunDump(dir, {"--install", game, "--tech", "2", "--tech=1", "--format=json"}, dir.File("no-prefix")).out);
    ASSERT_EQ(some["techs"].size(), 2u);
    EXPECT_EQ(some["techs"][0]["line"], "001:Caf\xC3\xA9 \"Q\"");
    EXPECT_EQ(some["effects"].size(), 0u);
    EXPECT_EQ(nlohmann::json::parse(RunDump(dir, {"--install", game, "--tech", "0", "--format=json"}, dir.File("no-prefix")).out)["effects"][0]["index"], 0);
    const std::string someDot = RunDump(dir, {"--install", game, "--tech", "2", "--tech", "1", "--format", "dot"}, dir.File("no-prefix")).out;
    EXPECT_NE(someDot.find("t1 -> t2;"), std::string::npos);
    EXPECT_EQ(someDot.find("t0"), std::string::npos);
    const std::string someText = RunDump(dir, {"--install", game, "--tech", "3"}, dir.File("no-prefix")).out;
    EXPECT_EQ(someText.find("000:"), std::string::npos);
    EXPECT_NE(someText.find("003:Bell"), std::string::npos);
}

TEST_F(DumpToolTest, TheRegistryNamesTheFolderWithoutInstall)
{
    const fs::path prefix = dir.Path() / "prefix";
    fixtures::MakeWinePrefix(prefix, fixtures::HiveNaming("C:\\Games\\Keep"));
    fs::create_directories(prefix / "drive_c" / "Games" / "Keep" / "Data");
    datafile::WriteFile((prefix / "drive_c" / "Games" / "Keep" / "Data" / "brannoch2_x1_p1.dat").string(),
                        datafile::DeflateRaw(datafile::MinimalDataFile({Tech("Moat")})));
    const ToolRun run = RunDump(dir, {}, prefix.string());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("000:Moat\n"), std::string::npos);
}

// Names that are not UTF-8 are in the prefix's ANSI code page, unless --codepage names another.
TEST_F(DumpToolTest, NamesInThePrefixsCodePageOrTheOneGiven)
{
    const fs::path prefix = dir.Path() / "prefix";
    fixtures::MakeWinePrefix(prefix, fixtures::HiveNaming("C:\\Games\\Keep") +
                                         "[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\Codepage] 1\n\"ACP\"=\"932\"\n");
    fs::create_directories(prefix / "drive_c" / "Games" / "Keep" / "Data");
    datafile::WriteFile((prefix / "drive_c" / "Games" / "Keep" / "Data" / "brannoch2_x1_p1.dat").string(),
                        datafile::DeflateRaw(datafile::MinimalDataFile({Tech("\x93\xFA\x96\x7B"), Tech("Caf\xE9")})));
    const std::pair<std::vector<std::string>, std::string> runs[] = {
        {{}, "000:日本\n001:Caf・\n"},
        {{"--codepage", "1252"}, "000:“ú–{\n001:Café\n"},
        {{"--codepage=932"}, "000:日本\n001:Caf・\n"},
    };
    for (const auto& [args, lines] : runs) {
        std::vector<std::string> all = args;
        all.insert(all.end(), {"--format", "dot"});
        const ToolRun run = RunDump(dir, all, prefix.string());
        ASSERT_EQ(run.status, 0) << run.err;
        std::string names;
        for (std::size_t at = run.out.find("label=\""); at != std::string::npos; at = run.out.find("label=\"", at + 1))
            names += run.out.substr(at + 7, run.out.find('"', at + 7) - at - 7) + "\n";
        EXPECT_EQ(names, lines) << (args.empty() ? "" : args[0]);
    }
}

// A stale ~/.wine before a Lutris prefix whose name holds a tab and a terminal's escape,
// beside a Steam library list whose app sizes name folders of the working folder that hold
// the game: the Lutris copy is used, the stale one passed over, the decoys never looked at.
TEST_F(DumpToolTest, ListsTheInstallationsFoundAndUsesTheOneWithItsDataFile)
{
    const std::string prefix = dir.File("games/keep\tit\x1b]0;x\x07");
    const std::string shown = dir.File("games/keep\\x09it\\x1b]0;x\\x07");
    for (const std::string& p : {prefix, dir.File("687329258/steamapps/compatdata/9/pfx"), dir.File(".wine"), dir.File(".cxoffice/cx")}) {
        fixtures::MakeWinePrefix(p, fixtures::HiveNaming("C:\\Games\\Keep"));
        if (p == dir.File(".wine"))
            continue;
        fs::create_directories(p + "/drive_c/Games/Keep/Data");
        datafile::WriteFile(p + "/drive_c/Games/Keep/Data/brannoch2_x1_p1.dat", datafile::DeflateRaw(datafile::MinimalDataFile({Tech("Moat")})));
        datafile::WriteFile(p + "/drive_c/Games/Keep/LANGUAGE.DLL", {});
    }
    fs::create_directories(dir.Path() / ".local/share/Steam/steamapps");
    fixtures::WriteText(dir.Path() / ".local/share/Steam/steamapps/libraryfolders.vdf",
                        "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + dir.File(".local/share/Steam") +
                            "\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"228980\"\t\t\"687329258\"\n\t\t}\n\t}\n}\n");
    const std::string stale = dir.File(".wine") + "\t~/.wine\tC:\\Games\\Keep\t" + dir.File(".wine") +
                              "/dosdevices/c:/Games/Keep\tdata file: no\tlanguage_x1_p1.dll: no\tLanguage_x1.dll: no\tlanguage.dll: no\t"
                              "passed over: the data file is missing\n";
    const std::string used = "\tC:\\Games\\Keep\t" + shown +
                             "/dosdevices/c:/Games/Keep\tdata file: yes\tlanguage_x1_p1.dll: no\tLanguage_x1.dll: no\tlanguage.dll: yes\tused\n";
    const std::string cx = dir.File(".cxoffice/cx") + "\tCrossOver\tC:\\Games\\Keep\t" + dir.File(".cxoffice/cx") +
                           "/dosdevices/c:/Games/Keep\tdata file: yes\tlanguage_x1_p1.dll: no\tLanguage_x1.dll: no\tlanguage.dll: yes\t";
    struct Case {
        std::string lutrisGame;  // the game file under ~/.config/lutris/games/, if any
        std::string winePrefix;
        int status;
        std::string out;
        std::string err;
    };
    const Case cases[] = {
        {"", "", 0, stale + cx + "used\n", ""},
        {"", "", 1, stale, "velmora-dump: no installation with its data file: none of the 12 places searched holds the game with its data file:\n  ~/.wine: " +
                               dir.File(".wine") + ": the registry names C:\\Games\\Keep, but its data file is missing\n  Lutris: " +
                               dir.File(".config/lutris/games") + ": no such folder\n"},
        {"", prefix, 0, shown + "\tWINEPREFIX" + used, ""},
        {"game:\n  exe: keep.exe\n  prefix: \"" + dir.File("games/keep\\tit\\e]0;x\\a") + "\"\n", "", 0, stale + shown + "\tLutris" + used + cx + "not used: an earlier one is used\n", ""},
    };
    for (const Case& c : cases) {
        if (&c == &cases[1])
            fs::rename(dir.Path() / ".cxoffice", dir.Path() / "cx-away");
        if (&c == &cases[3])
            fs::rename(dir.Path() / "cx-away", dir.Path() / ".cxoffice");
        fs::remove_all(dir.Path() / ".config");
        if (!c.lutrisGame.empty())
            fixtures::WriteText((fs::create_directories(dir.Path() / ".config/lutris/games"), dir.Path() / ".config/lutris/games/keep-1.yml"), c.lutrisGame);
        const ToolRun run = RunDump(dir, {"--list-installations"}, c.winePrefix);
        EXPECT_EQ(run.status, c.status) << c.lutrisGame << c.winePrefix;
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err.substr(0, c.err.size()), c.err);
    }
    // The viewer's choice is the dump's, and the JSON list says the same for scripts.
    const ToolRun dump = RunDump(dir, {}, "");
    EXPECT_EQ(dump.status, 0) << dump.err;
    EXPECT_NE(dump.out.find("000:Moat\n"), std::string::npos);
    const nlohmann::json list = nlohmann::json::parse(RunDump(dir, {"--list-installations", "--format=json"}, "").out);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[2]["whyNotUsed"], "an earlier one is used");
    EXPECT_EQ(list[2]["used"], false);
    EXPECT_EQ(list[0]["whyNotUsed"], "the data file is missing");
    EXPECT_EQ(list[0]["used"], false);
    fs::create_directories(dir.File(".wine") + "/drive_c/Games/Keep/Data/brannoch2_x1_p1.dat");
    EXPECT_EQ(nlohmann::json::parse(RunDump(dir, {"--list-installations", "--format=json"}, "").out)[0]["whyNotUsed"], "the data file is not usable: is a folder");
    EXPECT_EQ(list[1], (nlohmann::json{{"prefix", prefix}, {"tool", "Lutris"}, {"folder", "C:\\Games\\Keep"},
                                       {"hostFolder", prefix + "/dosdevices/c:/Games/Keep"}, {"dataFile", true},
                                       {"languageModules", {{"language_x1_p1.dll", false}, {"Language_x1.dll", false}, {"language.dll", true}}},
                                       {"used", true}, {"whyNotUsed", ""}}));
    EXPECT_EQ(RunDump(dir, {"--list-installations", "--format=dot"}, "").status, 64);
    // A prefix whose name is not UTF-8 is given back byte for byte beside the text.
    const std::string latin = dir.File("pr\xe9" "fix");
    fs::rename(prefix, latin);
    const nlohmann::json one = nlohmann::json::parse(RunDump(dir, {"--list-installations", "--format=json"}, latin).out)[0];
    EXPECT_EQ(one["prefix"], dir.File("pr\uFFFDfix"));
    for (const auto& [bytes, path] : {std::pair{"prefixBytes", latin}, {"hostFolderBytes", latin + "/dosdevices/c:/Games/Keep"}}) {
        std::string read;  // Latin-1
        for (const char16_t c : Utf8ToUtf16(one[bytes].get<std::string>()))
            read += static_cast<char>(c);
        EXPECT_EQ(read, path) << one;
    }
    EXPECT_FALSE(one.contains("folderBytes"));
    fs::rename(latin, prefix);
    // A Windows path given resolves through the installation's prefix.
    datafile::DataFileWriter old;
    old.Version("VER 5.6").Zeros(8).Civs({datafile::CivSpec{.name = "Gaia"}}).Techs({});
    datafile::WriteFile(prefix + "/drive_c/Games/Keep/Data/old.dat", datafile::DeflateRaw(old.Data()));
    const ToolRun given = RunDump(dir, {"C:\\Games\\Keep\\Data\\OLD.DAT"}, "");
    EXPECT_EQ(given.status, 2);
    EXPECT_EQ(given.err, "velmora-dump: C:\\Games\\Keep\\Data\\OLD.DAT (" + shown + "/dosdevices/c:/Games/Keep/Data/old.dat): Version error\n");
}

TEST_F(DumpToolTest, LoadFailuresNameTheFileAndTheCause)
{
    datafile::WriteFile(dir.File("wrapped.dat"), datafile::DeflateZlib(datafile::MinimalDataFile({Tech("Kiln")})));
    // Names of files and folders are shown with their control characters visible.
    const fs::path prefix = dir.Path() / "pre\nfix";
    const std::string key = "[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0] 1\n";
    struct Case {
        std::vector<std::string> args;
        std::optional<std::string> systemReg;
        std::string says;
    };
    const Case cases[] = {
        {{dir.File("miss\ning.dat")}, {}, dir.File("miss\\x0aing.dat") + ": cannot open the data file: No such file or directory"},
        {{dir.File("wrapped.dat")}, {}, dir.File("wrapped.dat") + ": the data file is not a raw deflate stream"},
        {{"--install", "/nonexistent"}, {}, "/nonexistent/Data/brannoch2_x1_p1.dat: cannot open the data file: No such file or directory"},
        {{}, {}, dir.File("pre\\x0afix/system.reg") + ": cannot open the file: No such file or directory"},
        {{}, "WINE REGISTRY Version 2\n", "no key HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Microsoft Games\\Brannoch\\1.0"},
        {{}, "WINE REGISTRY Version 2\n" + key, "has no value \"EXE Path\""},
        {{}, "WINE REGISTRY Version 2\n" + key + "\"EXE Path\"=dword:00000001\n", "the value \"EXE Path\" is not a text"},
        {{}, fixtures::HiveNaming("C:\\Gone"), ": the registry names C:\\Gone, but its data file is missing"},
    };
    for (const Case& c : cases) {
        fs::remove_all(prefix);
        fs::create_directories(prefix);
        if (c.systemReg)
            datafile::WriteFile((prefix / "system.reg").string(), std::span(reinterpret_cast<const std::uint8_t*>(c.systemReg->data()), c.systemReg->size()));
        const ToolRun run = RunDump(dir, c.args, prefix.string());
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.rfind("velmora-dump: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
    }
    const ToolRun list = RunDump(dir, {"--list-installations"}, prefix.string());
    EXPECT_EQ(list.err, "velmora-dump: no installation with its data file: " + dir.File("pre\\x0afix") + ": the registry names C:\\Gone, but its data file is missing\n");
}

TEST_F(DumpToolTest, NamesOfFilesOnThisMachineComeFirst)
{
    for (const std::string name : {"back\\slash.dat", "C:x.dat"}) {
        datafile::WriteFile(dir.File(name), datafile::DeflateRaw(datafile::MinimalDataFile({Tech("Kiln")})));
        const ToolRun run = RunDump(dir, {name}, dir.File("no-prefix"));
        EXPECT_EQ(run.status, 0) << run.err;
    }
}

TEST_F(DumpToolTest, AnOutputThatCannotBeWrittenExitsWith74)
{
    const std::string game = MakeInstall(datafile::MinimalDataFile({Tech("Kiln")}));
    const ToolRun run = RunDump(dir, {"--install", game}, dir.File("no-prefix"), "/dev/full");
    EXPECT_EQ(run.status, 74);
    EXPECT_EQ(run.err, "velmora-dump: cannot write the output: No space left on device\n");
}

// A big file that inflates slowly enough to be caught in the middle.
std::string WriteBigDataFile(const std::string& path)
{
    datafile::DataFileWriter b;
    b.Version().Zeros(std::size_t{32} << 20).Civs({datafile::CivSpec{.name = "Gaia"}}).Techs({Tech("Kiln")});
    datafile::WriteFile(path, datafile::DeflateRaw(b.Data()));
    return path;
}

TEST_F(DumpToolTest, TwoLoadsOfOnePathNeverMeet)
{
    // The first load is held while it inflates; a second load of the same path, which
    // now holds another file, runs from start to end.
    const std::string path = WriteBigDataFile(dir.File("game.dat"));
    DumpRun held(dir, {path}, dir.File("no-prefix"), "held");
    ASSERT_TRUE(held.WaitUntilWriting());
    kill(held.pid, SIGSTOP);
    datafile::DataFileWriter other;
    other.Version("VER 5.6").Zeros(8).Civs({datafile::CivSpec{.name = "Gaia"}}).Techs({});
    datafile::WriteFile(path + ".new", datafile::DeflateRaw(other.Data()));
    fs::rename(path + ".new", path);
    EXPECT_EQ(RunDump(dir, {path}, dir.File("no-prefix")).status, 2);
    kill(held.pid, SIGCONT);
    const ToolRun first = held.Wait();
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.out.find("000:Kiln\n"), std::string::npos);
}

TEST_F(DumpToolTest, AKilledLoadLeavesNothing)
{
    fs::create_directory(dir.Path() / "game");
    const std::string path = WriteBigDataFile(dir.File("game/game.dat"));
    DumpRun run(dir, {path}, dir.File("no-prefix"), "killed");
    ASSERT_TRUE(run.WaitUntilWriting());
    kill(run.pid, SIGKILL);
    run.Wait();
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path() / "game"), fs::directory_iterator()), 1);
    EXPECT_TRUE(fs::is_empty(dir.Path() / "tmp"));
}

TEST_F(DumpToolTest, ParseMessagesGoToStandardError)
{
    datafile::DataFileWriter bad;
    bad.Version("VER 5.6").Zeros(8).Civs({datafile::CivSpec{.name = "Gaia"}}).Techs({});
    datafile::WriteFile(dir.File("old.dat"), datafile::DeflateRaw(bad.Data()));
    const ToolRun version = RunDump(dir, {dir.File("old.dat")}, dir.File("no-prefix"));
    EXPECT_EQ(version.status, 2);
    EXPECT_EQ(version.err, "velmora-dump: " + dir.File("old.dat") + ": Version error\n");
    EXPECT_EQ(version.out, "");

    datafile::DataFileWriter many;
    many.Version().Zeros(8).Effects({datafile::EffectSpec{{}, std::int16_t{121}}});
    many.Zeros(4).Civs({datafile::CivSpec{.name = "Gaia"}}).Techs({Tech("Still")});
    datafile::WriteFile(dir.File("num.dat"), datafile::DeflateRaw(many.Data()));
    const ToolRun num = RunDump(dir, {"--format", "json", dir.File("num.dat")}, dir.File("no-prefix"));
    EXPECT_EQ(num.status, 0);
    EXPECT_EQ(num.err, "velmora-dump: " + dir.File("num.dat") + ": num error\n");
    const nlohmann::json j = nlohmann::json::parse(num.out);
    EXPECT_EQ(j["effects"][0]["commands"].size(), 0u);
    EXPECT_EQ(j["techs"][0]["name"], "Still");
    Bytes cut = many.Data();  // a warning, then the message that stops the parse
    cut.resize(cut.size() - 3);
    datafile::WriteFile(dir.File("cut.dat"), datafile::DeflateRaw(cut));
    EXPECT_EQ(RunDump(dir, {dir.File("cut.dat")}, dir.File("no-prefix")).err,
              "velmora-dump: " + dir.File("cut.dat") + ": num error\nvelmora-dump: " + dir.File("cut.dat") + ": Data file is truncated\n");
}

// A small file to compare: techs 0 and 1 share effect 0, tech 2 shows effect 1 and requires tech 0.
struct DiffFile {
    std::string version = "VER 5.7";
    std::vector<datafile::EffectSpec> effects{datafile::EffectSpec{{{1, 0, 0, 0, 5.0f}}}, datafile::EffectSpec{{{2, 0, 1, 0, 0.0f}}}};
    std::vector<datafile::TechSpec> techs;
    DiffFile()
    {
        for (const char* name : {"Kiln", "Glaze", "Oven"}) {
            datafile::TechSpec t = Tech(name, techs.size() == 2 ? 0 : -1);
            t.effectNo = techs.size() == 2 ? 1 : 0;
            t.researchTime = 30;
            t.cost[0] = {0, 100, 1};
            techs.push_back(t);
        }
    }
    void Write(const std::string& path) const
    {
        datafile::DataFileWriter b;
        b.Version(version).Zeros(8).Effects(effects).Zeros(4).Civs({datafile::CivSpec{.name = "Gaia"}}).Techs(techs);
        datafile::WriteFile(path, datafile::DeflateRaw(b.Data()));
    }
};

TEST_F(DumpToolTest, DiffShowsExactlyWhatChanged)
{
    const std::string none = R"("unitNameIds":[])";
    const std::string effect0 = R"({"index":0,"usedBy":[0,1],"lines":{"removed":["CivHead  : Type:0 class:0 amount:5.00"],)"
                                R"("added":["CivHead  : Type:0 class:0 amount:7.00"]},"commands":{"removed":[{"type":1,"data1":0,"data2":0,)"
                                R"("data3":0,"data4":5.0}],"added":[{"type":1,"data1":0,"data2":0,"data3":0,"data4":7.0}]}})";
    const std::string effect1 = R"({"index":1,"usedBy":[2],"lines":{"removed":[],"added":[]},"commands":{"removed":[{"type":2,"data1":0,)"
                                R"("data2":1,"data3":0,"data4":0.0}],"added":[{"type":2,"data1":0,"data2":1,"data3":0,"data4":1.5}]}})";
    const struct {
        const char* name;
        std::function<void(DiffFile&)> change;
        std::string text;
        std::string json;  // the members but "old" and "new"
        std::vector<std::string> options = {};
    } rows[] = {
        {"identical", [](DiffFile&) {}, "", ""},
        {"added at the end", [](DiffFile& f) { f.techs.push_back(Tech("Kiln II")); },
         "techs: 3 -> 4\ntech 003 Kiln II: added\n",
         R"({"techs":[{"index":3,"change":"added","name":{"new":"Kiln II"}}],"effects":[],)" + none + "}"},
        {"removed", [](DiffFile& f) { f.techs.pop_back(); },
         "techs: 3 -> 2\ntech 002 Oven: removed\n",
         R"({"techs":[{"index":2,"change":"removed","name":{"old":"Oven"}}],"effects":[],)" + none + "}"},
        {"research time", [](DiffFile& f) { f.techs[1].researchTime = 25; },
         "tech 001 Glaze\n  Research Time: 30 -> 25\n",
         R"({"techs":[{"index":1,"change":"changed","name":{"old":"Glaze","new":"Glaze"},"fields":{"researchTimeText":{"old":"30","new":"25"}},)"
         R"("stored":{"researchTime":{"old":30,"new":25}}}],"effects":[],)" + none + "}"},
        {"cost type and amount", [](DiffFile& f) { f.techs[2].cost[0] = {3, 120, 1}; },
         "tech 002 Oven\n  Cost1: [x] Food 100 -> [x] Gold 120\n",
         R"({"techs":[{"index":2,"change":"changed","name":{"old":"Oven","new":"Oven"},"fields":{"cost1TypeList":{"old":1,"new":4},)"
         R"("cost1AmountText":{"old":"100","new":"120"}},"stored":{"cost[0].type":{"old":0,"new":3},"cost[0].amount":{"old":100,"new":120}}}],)"
         R"("effects":[],)" + none + "}"},
        {"a stored value alone", [](DiffFile& f) { f.techs[2].cost[0].flag = 2; },
         "tech 002 Oven\n  Cost1: [x] Food 100 (stored cost[0].flag 1 -> 2)\n",
         R"({"techs":[{"index":2,"change":"changed","name":{"old":"Oven","new":"Oven"},"stored":{"cost[0].flag":{"old":1,"new":2}}}],)"
         R"("effects":[],)" + none + "}"},
        {"shared effect", [](DiffFile& f) { f.effects[0].commands[0].data4 = 7.0f; },
         "tech 000 Kiln\n  effect 0\n    - CivHead  : Type:0 class:0 amount:5.00\n    + CivHead  : Type:0 class:0 amount:7.00\n"
         "tech 001 Glaze\n  effect 0: as under tech 000\n",
         R"({"techs":[{"index":0,"change":"changed","name":{"old":"Kiln","new":"Kiln"},"effect":0},)"
         R"({"index":1,"change":"changed","name":{"old":"Glaze","new":"Glaze"},"effect":0}],"effects":[)" + effect0 + "]," + none + "}"},
        {"shared effect, one tech asked for", [](DiffFile& f) { f.effects[0].commands[0].data4 = 7.0f; },
         "tech 001 Glaze\n  effect 0\n    - CivHead  : Type:0 class:0 amount:5.00\n    + CivHead  : Type:0 class:0 amount:7.00\n",
         "", {"--tech", "1"}},
        {"an operand the line does not show", [](DiffFile& f) { f.effects[1].commands[0].data4 = 1.5f; },
         "tech 002 Oven\n  effect 1\n    ~ Enable   : ID:0(), On/Off:1 (stored type 2 data 0 1 0 0.000000 -> 0 1 0 1.500000)\n",
         R"({"techs":[{"index":2,"change":"changed","name":{"old":"Oven","new":"Oven"},"effect":1}],"effects":[)" + effect1 + "]," + none + "}"},
        {"the only user of a changed effect removed", [](DiffFile& f) { f.techs.pop_back(); f.effects[1].commands[0].data4 = 1.5f; },
         "techs: 3 -> 2\ntech 002 Oven: removed\n  effect 1\n    ~ Enable   : ID:0(), On/Off:1 (stored type 2 data 0 1 0 0.000000 -> 0 1 0 1.500000)\n",
         R"({"techs":[{"index":2,"change":"removed","name":{"old":"Oven"},"effect":1}],"effects":[)" + effect1 + "]," + none + "}"},
        {"a name that would forge a line", [](DiffFile& f) { f.techs[1].name = "Glaze\ntech 777 Injected: added\x1b]0;x\a"; },
         "tech 001 Glaze\\x0atech 777 Injected: added\\x1b]0;x\\x07\n  Name: Glaze -> Glaze\\x0atech 777 Injected: added\\x1b]0;x\\x07\n",
         ""},
    };
    const DiffFile before;
    before.Write(dir.File("old.dat"));
    for (const auto& row : rows) {
        DiffFile after;
        row.change(after);
        after.Write(dir.File("new.dat"));
        std::vector<std::string> args = row.options;
        args.insert(args.end(), {"--diff", dir.File("old.dat"), dir.File("new.dat")});
        const ToolRun text = RunDump(dir, args, dir.File("no-prefix"));
        args.push_back("--format=json");
        const ToolRun json = RunDump(dir, args, dir.File("no-prefix"));
        EXPECT_EQ(text.status, row.text.empty() ? 0 : 1) << row.name << text.err;
        EXPECT_EQ(text.out, row.text) << row.name;
        EXPECT_EQ(text.err, "") << row.name;
        if (row.json.empty())
            continue;
        nlohmann::ordered_json j = nlohmann::ordered_json::parse(json.out);
        EXPECT_EQ(json.status, 1) << row.name;
        EXPECT_EQ(j["old"]["path"], dir.File("old.dat"));
        j.erase("old");
        j.erase("new");
        EXPECT_EQ(j.dump(), row.json) << row.name;
    }
    const ToolRun notes = RunDump(dir, {"--diff", "--format", "markdown", dir.File("old.dat"), dir.File("new.dat")}, dir.File("no-prefix"));
    EXPECT_EQ(notes.status, 1);
    EXPECT_EQ(notes.out.rfind("## Changed techs\n\n### 001 Glaze\\\\x0atech 777", 0), 0u) << notes.out;
    // A file that is not the version the viewer reads, or no file: trouble, and why.
    DiffFile other;
    other.version = "VER 5.8";
    other.Write(dir.File("new.dat"));
    const std::pair<std::string, std::string> broken[] = {{dir.File("new.dat"), ": Version error\n"},
                                                          {dir.File("gone.dat"), ": cannot open the data file: No such file or directory\n"}};
    for (const auto& [file, says] : broken) {
        const ToolRun run = RunDump(dir, {"--diff", dir.File("old.dat"), file}, dir.File("no-prefix"));
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "velmora-dump: " + file + says);
    }
}

TEST_F(DumpToolTest, CommandLineConventions)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> bad{
        {{"--format", "xml", "a.dat"}, "'xml'"}, {{"--format"}, "--format"}, {{"--install"}, "--install"}, {{"a.dat", "b.dat"}, "'b.dat'"},
        {{"--verbose"}, "'--verbose'"}, {{"--verb\x1b]0;x"}, "'--verb\\x1b]0;x'"}, {{"--install", "x", "--install", "y"}, "--install"}, {{"--tech", "x"}, "'x'"},
        {{"--tech", "460"}, "'460'"}, {{"--diff", "a.dat"}, "--diff"}, {{"--diff", "--format", "dot", "a.dat", "b.dat"}, "--diff"},
        {{"--list-installations", "a.dat"}, "--list-installations"}, {{"--diff", "--format", "csv", "a.dat", "b.dat"}, "--diff"},
        {{"--format", "markdown", "a.dat"}, "markdown"},
        {{"--codepage", "x"}, "'x'"}, {{"--codepage"}, "--codepage"}, {{"--codepage", "1252", "--list-installations"}, "--list-installations"},
    };
    for (const auto& [args, named] : bad) {
        const ToolRun run = RunDump(dir, args, dir.File("no-prefix"));
        EXPECT_EQ(run.status, 64) << args[0];
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.rfind("velmora-dump: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(named), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("usage:"), std::string::npos);
    }
    for (const std::string help : {"-h", "--help"}) {
        const ToolRun run = RunDump(dir, {help}, dir.File("no-prefix"));
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out.rfind("usage: velmora-dump", 0), 0u);
    }
    EXPECT_EQ(RunDump(dir, {"--version"}, dir.File("no-prefix")).out, "velmora-dump " VELMORA_VERSION "\n");
}

} // namespace
} // namespace velmora
