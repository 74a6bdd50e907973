#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <memory>
#include <type_traits>
#include <vector>

#include "tools/DataFileWriter.h"
#include "strings/LanguageModules.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

namespace velmora {
namespace {

std::string ModulePath(const std::string& arch, const std::string& name)
{
    return std::string(VELMORA_TEST_MODULES) + "/" + arch + "/" + name + ".dll";
}

const std::string Digits600 = [] {
    std::string s;
    for (int i = 0; i < 600; ++i)
        s += static_cast<char>('0' + i % 10);
    return s;
}();

class LanguageModulesTest : public ::testing::TestWithParam<const char*> {
protected:
    std::string Path(const std::string& name) const { return ModulePath(GetParam(), name); }

    // All three, in the order the viewer loads them.
    std::unique_ptr<LanguageModules> LoadAll() const
    {
        auto modules = std::make_unique<LanguageModules>();
        EXPECT_EQ(modules->AddModule(Path("first")), 0);
        EXPECT_EQ(modules->AddModule(Path("second")), 0);
        EXPECT_EQ(modules->AddModule(Path("third")), 0);
        EXPECT_EQ(modules->moduleCount, 3);
        return modules;
    }
};

INSTANTIATE_TEST_SUITE_P(Pe, LanguageModulesTest, ::testing::Values("i686", "x86_64"));

TEST_P(LanguageModulesTest, TheFirstModuleInLoadOrderWithANonEmptyStringWins)
{
    const auto modules = LoadAll();
    const struct {
        std::int64_t id;
        std::string text;
    } rows[] = {
        {100, "first: in the first and the third"},
        {102, "first: in the first and the second"},
        {101, "second: fills the empty string of the first"},
        {1, "second: in the second and the third"},
        {200, "second: only here"},
        {300, "third: only here"},
        {65534, "third: id 65534"},
        {2, ""},
        {5000, ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(modules->LookupString(row.id), row.text) << row.id;
}

TEST_P(LanguageModulesTest, IdsAtTheEdgesOfTheRange)
{
    const auto modules = LoadAll();
    const struct {
        std::int64_t id;
        std::string text;
    } rows[] = {
        {0, "first: id 0"},
        {15, "first: id 15"},
        {16, "first: id 16"},
        {65535, "first: id 65535"},
        // Not string ids: -1 stands for "none"; 65536 must not wrap around to 0.
        {-1, ""},
        {65536, ""},
        {65536 + 15, ""},
        {-65536, ""},
        {std::numeric_limits<std::uint32_t>::max(), ""},
        {std::numeric_limits<std::int64_t>::min(), ""},
        {std::numeric_limits<std::int64_t>::max(), ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(modules->LookupString(row.id), row.text) << row.id;
}

TEST_P(LanguageModulesTest, TextsAreConvertedToUtf8)
{
    const auto modules = LoadAll();
    const struct {
        std::int64_t id;
        std::string text;
    } rows[] = {
        {800, "Caf\xc3\xa9 d\xc3\xa9j\xc3\xa0 vu, na\xc3\xafve fa\xc3\xa7" "ade"},
        {801, "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\xe3\x81\xae\xe3\x83\x86\xe3\x82\xad\xe3\x82\xb9\xe3\x83\x88"},
        {802, "\xf0\x9f\x98\x80 smile"},
        {803, "ab\xef\xbf\xbd" "cd"},  // a lone surrogate becomes U+FFFD
        {805, "abc"},  // the text ends at an embedded NUL
    };
    for (const auto& row : rows)
        EXPECT_EQ(modules->LookupString(row.id), row.text) << row.id;
}

TEST_P(LanguageModulesTest, LongStringsAreCutTo511Units)
{
    const auto modules = LoadAll();
    EXPECT_EQ(modules->LookupString(700), Digits600.substr(0, 511));
    // 510 letters and a pair of surrogates: the cut leaves the first half alone.
    EXPECT_EQ(modules->LookupString(804), std::string(510, 'a') + "\xef\xbf\xbd");
}

TEST_P(LanguageModulesTest, AModuleThatDoesNotLoadTakesNoEntry)
{
    fixtures::TempDir dir;
    LanguageModules modules;
    EXPECT_EQ(modules.AddModule(dir.File("missing.dll")), 1);
    EXPECT_EQ(modules.moduleCount, 0);
    EXPECT_EQ(modules.AddModule(Path("second")), 0);
    EXPECT_EQ(modules.AddModule(Path("third")), 0);
    ASSERT_EQ(modules.moduleCount, 2);
    // The second path's module is now asked first.
    EXPECT_EQ(modules.LookupString(1), "second: in the second and the third");
    EXPECT_EQ(modules.LookupString(100), "third: hidden by the first");
    EXPECT_EQ(modules.LookupString(0), "");

    // Files that are not modules are skipped the same way.
    datafile::WriteFile(dir.File("text.dll"), std::vector<std::uint8_t>{'t', 'e', 'x', 't'});
    LanguageModules others;
    EXPECT_EQ(others.AddModule(dir.File("text.dll")), 1);
    EXPECT_EQ(others.AddModule(dir.Path().string()), 1);
    EXPECT_EQ(others.AddModule(""), 1);
    EXPECT_EQ(others.moduleCount, 0);
}

TEST_P(LanguageModulesTest, WithoutModulesEveryLookupIsEmpty)
{
    LanguageModules modules;
    EXPECT_EQ(modules.moduleCount, 0);
    for (std::int64_t id : {0, 1, 15, 16, 100, 65535, -1, 65536})
        EXPECT_EQ(modules.LookupString(id), "") << id;
}

TEST_P(LanguageModulesTest, AFourthModuleIsRefused)
{
    const auto modules = LoadAll();
    const std::array<ModuleHandle, 3> held = modules->modules;
    EXPECT_EQ(modules->AddModule(Path("first")), 1);
    EXPECT_EQ(modules->moduleCount, 3);
    EXPECT_EQ(modules->modules, held);
    EXPECT_EQ(modules->LookupString(300), "third: only here");
}

TEST_P(LanguageModulesTest, TextsOutliveTheModules)
{
    std::string text;
    {
        const auto modules = LoadAll();
        text = modules->LookupString(800);
    }
    EXPECT_EQ(text, "Caf\xc3\xa9 d\xc3\xa9j\xc3\xa0 vu, na\xc3\xafve fa\xc3\xa7" "ade");
}

static_assert(std::has_virtual_destructor_v<LanguageModules>);

TEST_P(LanguageModulesTest, ComposedWindowsPathsAreFoundInThePrefixWithoutRegardToCase)
{
#ifdef _WIN32
    GTEST_SKIP() << "paths are Windows paths here";
#endif
    fixtures::TempDir prefix;
    const auto game = prefix.Path() / "drive_c" / "games" / "brannoch";
    std::filesystem::create_directories(game);
    std::filesystem::create_directories(prefix.Path() / "dosdevices");
    std::filesystem::create_directory_symlink("../drive_c", prefix.Path() / "dosdevices" / "c:");
    std::filesystem::copy_file(Path("first"), game / "language_x1_p1.dll");
    std::filesystem::copy_file(Path("second"), game / "language_x1.dll");
    std::filesystem::copy_file(Path("third"), game / "language.dll");
    fixtures::ScopedEnv env("WINEPREFIX", prefix.Path().string());

    LanguageModules modules;
    EXPECT_EQ(modules.AddModule("C:\\Games\\Brannoch\\language_x1_p1.dll"), 0);
    EXPECT_EQ(modules.AddModule("C:\\Games\\Brannoch\\Language_x1.dll"), 0);
    EXPECT_EQ(modules.AddModule("C:\\Games\\Brannoch\\language.dll"), 0);
    EXPECT_EQ(modules.moduleCount, 3);
    EXPECT_EQ(modules.LookupString(1), "second: in the second and the third");
    EXPECT_EQ(modules.LookupString(300), "third: only here");
}

} // namespace
} // namespace velmora
