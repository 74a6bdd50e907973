// The dump tool as a user runs it: arguments, exit status, standard output and error.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
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

// Runs the dump tool with `args`, WINEPREFIX set to `prefix`, output captured in files.
ToolRun RunDump(const fixtures::TempDir& dir, std::vector<std::string> args, const std::string& prefix)
{
    const std::string outPath = dir.File("stdout.txt");
    const std::string errPath = dir.File("stderr.txt");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);

    args.insert(args.begin(), VELMORA_DUMP_PATH);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envText{"WINEPREFIX=" + prefix, "HOME=" + dir.Path().string()};
    for (char** e = environ; *e; ++e)
        if (std::string_view(*e).rfind("ASAN_OPTIONS=", 0) == 0 || std::string_view(*e).rfind("UBSAN_OPTIONS=", 0) == 0)
            envText.emplace_back(*e);
    std::vector<char*> env;
    for (std::string& e : envText)
        env.push_back(e.data());
    env.push_back(nullptr);

    ToolRun run;
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), env.data()) == 0) {
        int status = 0;
        if (waitpid(pid, &status, 0) == pid && WIFEXITED(status))
            run.status = WEXITSTATUS(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = Slurp(outPath);
    run.err = Slurp(errPath);
    return run;
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
    const ToolRun run = RunDump(dir, {"--install", game, "--format", "json"}, dir.File("no-prefix"));
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

TEST_F(DumpToolTest, LoadFailuresExitWithOne)
{
    const ToolRun missing = RunDump(dir, {dir.File("missing.dat")}, dir.File("no-prefix"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(std::count(missing.err.begin(), missing.err.end(), '\n'), 1);

    const Bytes data = datafile::MinimalDataFile({Tech("Kiln")});
    datafile::WriteFile(dir.File("wrapped.dat"), datafile::DeflateZlib(data));
    const ToolRun wrapped = RunDump(dir, {dir.File("wrapped.dat")}, dir.File("no-prefix"));
    EXPECT_EQ(wrapped.status, 1);
    EXPECT_EQ(wrapped.out, "");
    EXPECT_FALSE(fs::exists(dir.File("wrapped.dat.tmp1")));
}

TEST_F(DumpToolTest, ParseMessagesGoToStandardError)
{
    datafile::DataFileWriter bad;
    bad.Version("VER 5.6").Zeros(8).Civs({datafile::CivSpec{.name = "Gaia"}}).Techs({});
    datafile::WriteFile(dir.File("old.dat"), datafile::DeflateRaw(bad.Data()));
    const ToolRun version = RunDump(dir, {dir.File("old.dat")}, dir.File("no-prefix"));
    EXPECT_EQ(version.status, 2);
    EXPECT_EQ(version.err, "Version error\n");
    EXPECT_EQ(version.out, "");

    datafile::DataFileWriter many;
    many.Version().Zeros(8).Effects({datafile::EffectSpec{{}, std::int16_t{121}}});
    many.Zeros(4).Civs({datafile::CivSpec{.name = "Gaia"}}).Techs({Tech("Still")});
    datafile::WriteFile(dir.File("num.dat"), datafile::DeflateRaw(many.Data()));
    const ToolRun num = RunDump(dir, {"--format", "json", dir.File("num.dat")}, dir.File("no-prefix"));
    EXPECT_EQ(num.status, 0);
    EXPECT_EQ(num.err, "num error\n");
    const nlohmann::json j = nlohmann::json::parse(num.out);
    EXPECT_EQ(j["effects"][0]["commands"].size(), 0u);
    EXPECT_EQ(j["techs"][0]["name"], "Still");
}

TEST_F(DumpToolTest, BadUsageExitsWith64)
{
    const std::vector<std::vector<std::string>> cases{
        {"--format", "xml", "a.dat"}, {"--format"}, {"--install"}, {"a.dat", "b.dat"}, {"--verbose"},
        {"--install", "x", "--install", "y"},
    };
    for (const auto& args : cases) {
        const ToolRun run = RunDump(dir, args, dir.File("no-prefix"));
        EXPECT_EQ(run.status, 64) << args[0];
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("usage:"), std::string::npos);
    }
}

} // namespace
} // namespace velmora
