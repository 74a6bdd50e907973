// The language modules on three modules built as PE32 (i686) and PE32+ (x86_64) by the
// MinGW resource compiler and linker:
//   first.rc   ids 0, 15, 16, 65535; one id also in the third, one also in the second, an
//              empty string the second fills; a 600-character string; accented, Japanese
//              and supplementary-plane texts; a lone surrogate; an embedded NUL
//   second.rc  fills the first's empty string; one id also in the third
//   third.rc   ids hidden by the earlier modules, and ids only it holds
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>

#include "strings/LanguageModules.h"
#include "tests/support/TempDir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class LanguageModulesTest : public ::testing::TestWithParam<const char*> {
protected:
    std::string Path(const std::string& name) const { return std::string(VELMORA_TEST_MODULES) + "/" + GetParam() + "/" + name + ".dll"; }
};

INSTANTIATE_TEST_SUITE_P(Pe, LanguageModulesTest, ::testing::Values("i686", "x86_64"));

// The three modules in a Wine prefix, found through their composed Windows paths in
// another case, in the order the viewer loads them.
TEST_P(LanguageModulesTest, TheFirstModuleInLoadOrderWithANonEmptyStringWins)
{
    fixtures::TempDir prefix;
    const fs::path game = prefix.Path() / "drive_c" / "games" / "brannoch";
#ifdef _WIN32
    const std::string folder = game.string();  // a Windows path is opened as it is
#else
    const std::string folder = "C:\\Games\\Brannoch";
    fixtures::MakeWinePrefix(prefix.Path());
#endif
    fs::create_directories(game);
    fs::copy_file(Path("first"), game / "language_x1_p1.dll");
    fs::copy_file(Path("second"), game / "language_x1.dll");
    fs::copy_file(Path("third"), game / "language.dll");
    std::string digits511;
    for (int i = 0; i < 511; ++i)
        digits511 += static_cast<char>('0' + i % 10);
    std::string kept;
    {
        LanguageModules modules;
        for (const char* name : {"\\language_x1_p1.dll", "\\Language_x1.dll", "\\language.dll"})
            EXPECT_EQ(modules.AddModule(folder + name, prefix.Path().string()), 0) << name;
        const std::array<ModuleHandle, 3> held = modules.modules;
        EXPECT_EQ(modules.AddModule(Path("first")), 1);  // a fourth is refused
        EXPECT_EQ(modules.modules, held);
        const std::pair<std::int64_t, std::string> rows[] = {
            {100, "first: in the first and the third"},
            {102, "first: in the first and the second"},
            {101, "second: fills the empty string of the first"},
            {1, "second: in the second and the third"},
            {200, "second: only here"},
            {300, "third: only here"},
            {65534, "third: id 65534"},
            {2, ""},
            {5000, ""},
            {65535, "first: id 65535"},
            // Not string ids: -1 stands for "none"; 65536 must not wrap around to 0.
            {-1, ""},
            {65536, ""},
            {65536 + 15, ""},
            {std::numeric_limits<std::uint32_t>::max(), ""},
            {std::numeric_limits<std::int64_t>::min(), ""},
            // Texts in UTF-8: a lone surrogate becomes U+FFFD, a text ends at an embedded NUL.
            {800, "Caf\xc3\xa9 d\xc3\xa9j\xc3\xa0 vu, na\xc3\xafve fa\xc3\xa7" "ade"},
            {801, "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\xe3\x81\xae\xe3\x83\x86\xe3\x82\xad\xe3\x82\xb9\xe3\x83\x88"},
            {802, "\xf0\x9f\x98\x80 smile"},
            {803, "ab\xef\xbf\xbd" "cd"},
            {805, "abc"},
            // Cut to 511 units; a cut through a surrogate pair leaves its first half alone.
            {700, digits511},
            {804, std::string(510, 'a') + "\xef\xbf\xbd"},
        };
        for (const auto& [id, text] : rows)
            EXPECT_EQ(modules.LookupString(id), text) << id;
        kept = modules.LookupString(800);
    }
    EXPECT_EQ(kept, "Caf\xc3\xa9 d\xc3\xa9j\xc3\xa0 vu, na\xc3\xafve fa\xc3\xa7" "ade") << "texts outlive the modules";
}

TEST_P(LanguageModulesTest, AModuleThatDoesNotLoadTakesNoEntry)
{
    fixtures::TempDir dir;
    LanguageModules modules;
    EXPECT_EQ(modules.AddModule(dir.File("missing.dll")), 1);
    EXPECT_EQ(modules.LookupString(0), "");
    EXPECT_EQ(modules.AddModule(Path("second")), 0);
    EXPECT_EQ(modules.AddModule(Path("third")), 0);
    ASSERT_EQ(modules.moduleCount, 2);
    // The second path's module is now asked first.
    EXPECT_EQ(modules.LookupString(1), "second: in the second and the third");
    EXPECT_EQ(modules.LookupString(100), "third: hidden by the first");
    EXPECT_EQ(modules.LookupString(0), "");
}

// From bytes already read (the browser edition's way): the same lookups, failures with
// their reasons, and no fourth module.
TEST_P(LanguageModulesTest, ModulesFromBytes)
{
    LanguageModules modules;
    const auto bytes = [this](const char* name) {
        std::ifstream in(Path(name), std::ios::binary);
        return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
    };
    EXPECT_EQ(modules.AddModuleFromBytes({'M', 'Z'}).failure().reason, "not a module file");
    for (const char* name : {"second", "third", "first"})
        EXPECT_TRUE(modules.AddModuleFromBytes(bytes(name))) << name;
    EXPECT_EQ(modules.AddModuleFromBytes(bytes("first")).failure().reason, "too many modules");
    ASSERT_EQ(modules.moduleCount, 3);
    EXPECT_EQ(modules.LookupString(1), "second: in the second and the third");
    EXPECT_EQ(modules.LookupString(0), "first: id 0");
}

} // namespace
} // namespace velmora
