// The dump tool as a user runs it: arguments, exit status, standard output and error.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <sys/wait.h>

#include <nlohmann/json.hpp>

#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"
#include "tools/DataFileWriter.h"

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

// Runs the dump tool with `args`, WINEPREFIX set to `prefix` and HOME to `dir`; standard
// output and error are captured in files there.
ToolRun RunDump(const fixtures::TempDir& dir, const std::vector<std::string>& args, const std::string& prefix)
{
    const fixtures::ScopedEnv winePrefix("WINEPREFIX", prefix);
    const fixtures::ScopedEnv home("HOME", dir.Path().string());
    std::string command = "'" VELMORA_DUMP_PATH "'";
    for (const std::string& arg : args)
        command += " '" + arg + "'";
    command += " >'" + dir.File("stdout.txt") + "' 2>'" + dir.File("stderr.txt") + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(dir.File("stdout.txt")), Slurp(dir.File("stderr.txt"))};
}

// A tech that requires the one given (-1 none).
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
    datafile::DataFileWriter b;
    b.Version().Zeros(8).Effects({datafile::EffectSpec{{{4, -1, 6, 9, 1026.0f}, {1, 2, 0, 0, 0.1f}, {7, 1, 2, 3, inf}}},
                                  datafile::EffectSpec{{{1, 0, 0, 0, -inf}, {1, 0, 0, 0, std::nanf("")}, {1, 0, 0, 0, 1e-40f}, {1, 0, 0, 0, 16777217.0f}}}});
    b.Zeros(4).Civs({datafile::CivSpec{.name = "Gaia"}}).Techs({forge, cafe, Tech("Glaze", 1)});
    const std::string game = MakeInstall(b.Data());

    const ToolRun json = RunDump(dir, {"--install", game, "--format", "json"}, dir.File("no-prefix"));
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.err, "");
    const nlohmann::json j = nlohmann::json::parse(json.out);
    EXPECT_EQ(j["techCount"], 3);
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

    const ToolRun text = RunDump(dir, {"--install", game}, dir.File("no-prefix"));
    ASSERT_EQ(text.status, 0) << text.err;
    for (const char* line : {"000:Forge\n", "    Civ: [ ] 3 (Cothic)\n", "    Cost1: [x] 1 (Food) amount 150\n",
                             "        Enhance +: Class:6(Soldier) Attack[type:4] +2\n", "001:Caf\xC3\xA9"})
        EXPECT_NE(text.out.find(line), std::string::npos) << line;

    const ToolRun dot = RunDump(dir, {"--format", "dot", "--install", game}, dir.File("no-prefix"));
    ASSERT_EQ(dot.status, 0) << dot.err;
    EXPECT_EQ(dot.out.rfind("digraph", 0), 0u);
    for (const char* line : {"t1 [label=\"001:Caf\xC3\xA9 \\\"Q\\\"\"];", "t0 -> t1;", "t1 -> t2;"})
        EXPECT_NE(dot.out.find(line), std::string::npos) << line;
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

// Failures and parse messages go to standard error, one line each, and set the exit
// status: 1 the data file could not be loaded, 2 the parse failed, 64 bad usage.
TEST_F(DumpToolTest, FailuresAndMessagesGoToStandardErrorWithTheirExitStatus)
{
    datafile::DataFileWriter old;
    old.Version("VER 5.6").Zeros(8).Civs({datafile::CivSpec{.name = "Gaia"}}).Techs({});
    datafile::WriteFile(dir.File("old.dat"), datafile::DeflateRaw(old.Data()));
    datafile::DataFileWriter num;
    num.Version().Zeros(8).Effects({datafile::EffectSpec{{}, std::int16_t{121}}}).Zeros(4).Civs({datafile::CivSpec{.name = "Gaia"}}).Techs({Tech("Still")});
    datafile::WriteFile(dir.File("num.dat"), datafile::DeflateRaw(num.Data()));
    datafile::WriteFile(dir.File("wrapped.dat"), datafile::DeflateZlib(datafile::MinimalDataFile({Tech("Kiln")})));
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;  // what standard error holds, or begins with for the usage
    } rows[] = {
        {{dir.File("missing.dat")}, 1, "velmora-dump: " + dir.File("missing.dat") + ": "},
        {{dir.File("wrapped.dat")}, 1, "velmora-dump: " + dir.File("wrapped.dat") + ": "},
        {{dir.File("old.dat")}, 2, "Version error\n"},
        {{"--format", "json", dir.File("num.dat")}, 0, "num error\n"},
        {{"--format", "xml", "a.dat"}, 64, "usage: "},
        {{"--format"}, 64, "usage: "},
        {{"--install"}, 64, "usage: "},
        {{"a.dat", "b.dat"}, 64, "usage: "},
        {{"--verbose"}, 64, "usage: "},
        {{"--install", "x", "--install", "y"}, 64, "usage: "},
    };
    for (const auto& row : rows) {
        const ToolRun run = RunDump(dir, row.args, dir.File("no-prefix"));
        EXPECT_EQ(run.status, row.status) << row.args.back();
        EXPECT_EQ(run.err.rfind(row.err, 0), 0u) << row.args.back() << ": " << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << row.args.back();
        EXPECT_EQ(run.out.empty(), row.status != 0) << row.args.back();
    }
    EXPECT_FALSE(fs::exists(dir.File("wrapped.dat.tmp1")));
    const nlohmann::json j = nlohmann::json::parse(RunDump(dir, {"--format", "json", dir.File("num.dat")}, dir.File("no-prefix")).out);
    EXPECT_EQ(j["effects"][0]["commands"].size(), 0u);
    EXPECT_EQ(j["techs"][0]["name"], "Still");
}

} // namespace
} // namespace velmora
