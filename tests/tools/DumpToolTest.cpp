// The dump tool as a user runs it: arguments, exit status, standard output and error.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "tools/DataFileWriter.h"
#include "tests/support/TempDir.h"

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

// The dump tool run with `args` in `dir`, with WINEPREFIX set to `prefix` and TMPDIR to
// dir/tmp; its output goes to `outPath` (by default a file named after `tag`).
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
        std::vector<std::string> envText{"WINEPREFIX=" + prefix, "HOME=" + dir.Path().string(), "TMPDIR=" + dir.File("tmp")};
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

TEST_F(DumpToolTest, JsonOfAnInstallationFolder)
{
    const std::string game = MakeInstall(datafile::MinimalDataFile({Tech("Kiln"), Tech("Glaze", 0)}));
    const ToolRun run = RunDump(dir, {"--install=" + game, "--format=json"}, dir.File("no-prefix"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const nlohmann::json j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["techCount"], 2);
    EXPECT_EQ(j["techs"][1]["line"], "001:Glaze");
    EXPECT_EQ(j["techs"][1]["view"]["requiredTech1Text"], "0");
    EXPECT_EQ(j["effects"].size(), 0u);
}

TEST_F(DumpToolTest, TextAndDotFormats)
{
    const std::string game = MakeInstall(datafile::MinimalDataFile({Tech("Kiln"), Tech("Glaze", 0)}));
    const ToolRun text = RunDump(dir, {"--install", game}, dir.File("no-prefix"));
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("000:Kiln\n"), std::string::npos);
    const ToolRun dot = RunDump(dir, {"--format", "dot", "--install", game}, dir.File("no-prefix"));
    ASSERT_EQ(dot.status, 0) << dot.err;
    EXPECT_EQ(dot.out.rfind("digraph", 0), 0u);
    EXPECT_NE(dot.out.find("t0 -> t1;"), std::string::npos);
}

TEST_F(DumpToolTest, TheRegistryNamesTheFolderWithoutInstall)
{
    const fs::path prefix = dir.Path() / "prefix";
    fs::create_directories(prefix / "drive_c" / "Games" / "Keep" / "Data");
    fs::create_directories(prefix / "dosdevices");
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
    datafile::WriteFile((prefix / "drive_c" / "Games" / "Keep" / "Data" / "brannoch2_x1_p1.dat").string(),
                        datafile::DeflateRaw(datafile::MinimalDataFile({Tech("Moat")})));
    const std::string reg = "WINE REGISTRY Version 2\n\n[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0] 1700000000\n"
                            "\"EXE Path\"=\"C:\\\\Games\\\\Keep\"\n";
    datafile::WriteFile((prefix / "system.reg").string(), std::span(reinterpret_cast<const std::uint8_t*>(reg.data()), reg.size()));
    const ToolRun run = RunDump(dir, {}, prefix.string());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("000:Moat\n"), std::string::npos);
}

TEST_F(DumpToolTest, LoadFailuresNameTheFileAndTheCause)
{
    datafile::WriteFile(dir.File("wrapped.dat"), datafile::DeflateZlib(datafile::MinimalDataFile({Tech("Kiln")})));
    const fs::path prefix = dir.Path() / "prefix";
    const std::string key = "[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0] 1\n";
    struct Case {
        std::vector<std::string> args;
        std::optional<std::string> systemReg;
        std::string says;
    };
    const Case cases[] = {
        {{dir.File("missing.dat")}, {}, dir.File("missing.dat") + ": cannot open the data file: No such file or directory"},
        {{dir.File("wrapped.dat")}, {}, dir.File("wrapped.dat") + ": the data file is not a raw deflate stream"},
        {{"--install", "/nonexistent"}, {}, "/nonexistent/Data/brannoch2_x1_p1.dat: cannot open the data file: No such file or directory"},
        {{}, {}, (prefix / "system.reg").string() + ": cannot open the file: No such file or directory"},
        {{}, "WINE REGISTRY Version 2\n", "no key HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Microsoft Games\\Brannoch\\1.0"},
        {{}, "WINE REGISTRY Version 2\n" + key, "has no value \"EXE Path\""},
        {{}, "WINE REGISTRY Version 2\n" + key + "\"EXE Path\"=dword:00000001\n", "the value \"EXE Path\" is not a text"},
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
}

TEST_F(DumpToolTest, CommandLineConventions)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> bad{
        {{"--format", "xml", "a.dat"}, "'xml'"}, {{"--format"}, "--format"}, {{"--install"}, "--install"}, {{"a.dat", "b.dat"}, "'b.dat'"},
        {{"--verbose"}, "'--verbose'"}, {{"--install", "x", "--install", "y"}, "--install"},
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
