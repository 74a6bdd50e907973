#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <vector>

#include "host/ByteView.h"
#include "tools/DataFileWriter.h"
#include "host/ModuleLoader.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"
#include "tests/host/TestModules.h"

namespace velmora {
namespace {

using fixtures::ScopedEnv;
using testing::LoadText;
using testing::ModulePtr;
using testing::Own;
using testing::TestModulePath;

const std::u16string Digits600 = [] {
    std::u16string s;
    for (int i = 0; i < 600; ++i)
        s += static_cast<char16_t>(u'0' + i % 10);
    return s;
}();

class ModuleLoaderTest : public ::testing::TestWithParam<const char*> {
protected:
    ModulePtr Load(const std::string& name) { return Own(LoadModule(TestModulePath(GetParam(), name))); }
};

INSTANTIATE_TEST_SUITE_P(Pe, ModuleLoaderTest, ::testing::ValuesIn(testing::Architectures));

TEST_P(ModuleLoaderTest, TheTestModulesHaveTheirFormat)
{
    // The fixtures really are PE32 (i686) and PE32+ (x86_64).
    const datafile::Bytes bytes = datafile::ReadFile(TestModulePath(GetParam(), "table"));
    const ByteView file(bytes.data(), bytes.size());
    const auto pe = file.U32(0x3C);
    ASSERT_TRUE(pe);
    EXPECT_EQ(file.U16(*pe + 24), std::string(GetParam()) == "i686" ? 0x10B : 0x20B);
}

TEST_P(ModuleLoaderTest, ReadsStringsOfEveryBlockAndSlot)
{
    const ModulePtr module = Load("table");
    ASSERT_TRUE(module);
    const struct {
        std::uint32_t id;
        std::u16string text;
    } rows[] = {
        {0, u"zero"},
        {1, u"one"},
        {15, u"fifteen"},
        {16, u"sixteen"},
        {18, u"after an empty slot"},
        {31, u"last slot of block two"},
        {41, u"Caf\u00e9 d\u00e9j\u00e0 vu"},
        {42, u"\u65e5\u672c\u8a9e\u306e\u30c6\u30ad\u30b9\u30c8"},
        {43, u"\U0001F600 and more"},
        {65535, u"the last id"},
    };
    for (const auto& row : rows)
        EXPECT_TRUE(LoadText(module.get(), row.id) == row.text) << "id " << row.id;
}

TEST_P(ModuleLoaderTest, AbsentEmptyAndOutOfRangeIdsGiveZero)
{
    const ModulePtr module = Load("table");
    ASSERT_TRUE(module);
    // 17 is empty; 2 and 65534 are unused slots of present blocks; 32 and 1000 lie in
    // blocks that do not exist; the rest are not 16-bit ids (65536 must not wrap to 0).
    for (std::uint32_t id : {17u, 2u, 65534u, 32u, 1000u, 65536u, 65536u + 1u, 0xFFFFFFFFu}) {
        char16_t buffer[8] = {u'#', u'#'};
        EXPECT_EQ(LoadModuleString(module.get(), id, buffer, 8), 0) << "id " << id;
        EXPECT_EQ(buffer[0], 0) << "id " << id;
    }
}

TEST_P(ModuleLoaderTest, CopiesAtMostOneUnitLessThanTheBuffer)
{
    const ModulePtr module = Load("table");
    ASSERT_TRUE(module);
    EXPECT_TRUE(LoadText(module.get(), 40, 512) == Digits600.substr(0, 511));
    EXPECT_TRUE(LoadText(module.get(), 40, 601) == Digits600);
    EXPECT_TRUE(LoadText(module.get(), 40, 600) == Digits600.substr(0, 599));
    EXPECT_TRUE(LoadText(module.get(), 40, 2) == u"0");
    EXPECT_TRUE(LoadText(module.get(), 40, 1) == u"");

    char16_t untouched[2] = {u'#', u'#'};
    EXPECT_EQ(LoadModuleString(module.get(), 40, untouched, 0), 0);
    EXPECT_EQ(untouched[0], u'#');
    EXPECT_EQ(LoadModuleString(module.get(), 40, nullptr, 512), 0);
    EXPECT_EQ(LoadModuleString(nullptr, 0, untouched, 2), 0);
    EXPECT_EQ(untouched[0], 0);
    FreeModule(nullptr);  // ignored
}

TEST_P(ModuleLoaderTest, AModuleWithoutStringTablesLoadsButHoldsNoStrings)
{
    const ModulePtr module = Load("nostrings");
    ASSERT_TRUE(module);
    for (std::uint32_t id : {0u, 1u, 16u, 65535u})
        EXPECT_TRUE(LoadText(module.get(), id) == u"") << id;
}

struct LanguageRow {
    std::optional<std::string> lcAll;
    std::optional<std::string> lcMessages;
    std::optional<std::string> lang;
    std::uint32_t id;
    std::u16string expected;
};

TEST_P(ModuleLoaderTest, ChoosesTheLanguageOfABlock)
{
#ifdef _WIN32
    GTEST_SKIP() << "the user's language comes from the system here";
#endif
    const ModulePtr module = Load("languages");
    ASSERT_TRUE(module);
    const std::nullopt_t none = std::nullopt;
    const LanguageRow rows[] = {
        // Neutral first, whatever the user's language.
        {none, none, none, 0, u"neutral block 1"},
        {none, none, "ja_JP.UTF-8", 0, u"neutral block 1"},
        // Then the user's language, then English (US).
        {none, none, none, 16, u"en-US block 2"},
        {none, none, "C", 16, u"en-US block 2"},
        {none, none, "ja_JP.UTF-8", 16, u"ja-JP block 2"},
        {none, none, "de_DE.UTF-8", 16, u"de-DE block 2"},
        {none, none, "fr_FR.UTF-8", 16, u"en-US block 2"},
        // Austrian German is 0x0C07: neither it nor plain German (0x0007) is there.
        {none, none, "de_AT.UTF-8", 16, u"en-US block 2"},
        // Neither neutral nor English: the user's language, else the first present.
        {none, none, none, 32, u"de-DE block 3"},
        {none, none, "fr_FR.UTF-8", 32, u"fr-FR block 3"},
        {none, none, "ja_JP.UTF-8", 32, u"de-DE block 3"},
        // The user's primary language with the neutral sublanguage comes before English.
        {none, none, "ja_JP.UTF-8", 48, u"ja block 4"},
        {none, none, none, 48, u"en-US block 4"},
        // LC_ALL, then LC_MESSAGES, then LANG; an empty value does not count.
        {"fr_FR.UTF-8", "ja_JP.UTF-8", "ja_JP.UTF-8", 32, u"fr-FR block 3"},
        {none, "ja_JP.UTF-8", "fr_FR.UTF-8", 16, u"ja-JP block 2"},
        {"", "", "ja_JP.UTF-8", 16, u"ja-JP block 2"},
    };
    for (const LanguageRow& row : rows) {
        ScopedEnv lcAll("LC_ALL", row.lcAll);
        ScopedEnv lcMessages("LC_MESSAGES", row.lcMessages);
        ScopedEnv lang("LANG", row.lang);
        EXPECT_TRUE(LoadText(module.get(), row.id) == row.expected)
            << "id " << row.id << " LC_ALL=" << row.lcAll.value_or("-") << " LC_MESSAGES=" << row.lcMessages.value_or("-")
            << " LANG=" << row.lang.value_or("-");
    }
}

TEST_P(ModuleLoaderTest, LoadsThroughTheWinePrefixWithoutRegardToCase)
{
#ifdef _WIN32
    GTEST_SKIP() << "paths are Windows paths here";
#endif
    fixtures::TempDir prefix;
    const auto folder = prefix.Path() / "drive_c" / "games" / "brannoch";
    std::filesystem::create_directories(folder);
    std::filesystem::create_directories(prefix.Path() / "dosdevices");
    std::filesystem::create_directory_symlink("../drive_c", prefix.Path() / "dosdevices" / "c:");
    std::filesystem::copy_file(TestModulePath(GetParam(), "table"), folder / "language_x1.dll");
    ScopedEnv env("WINEPREFIX", prefix.Path().string());

    const ModulePtr module = Own(LoadModule("C:\\Games\\Brannoch\\Language_x1.dll"));
    ASSERT_TRUE(module);
    EXPECT_TRUE(LoadText(module.get(), 1) == u"one");
    EXPECT_FALSE(LoadModule("C:\\Games\\Brannoch\\Language_x2.dll"));
}

TEST(ModuleLoader, RefusesWhatIsNotAModule)
{
    fixtures::TempDir dir;
    const std::string text = dir.File("text.dll");
    datafile::WriteFile(text, datafile::Bytes{'h', 'e', 'l', 'l', 'o'});
    const std::string empty = dir.File("empty.dll");
    datafile::WriteFile(empty, {});
    const std::string mzOnly = dir.File("mz.dll");
    datafile::WriteFile(mzOnly, datafile::Bytes{'M', 'Z'});
    // Too large to be read at all, whatever it holds (sparse, so it costs no disk).
    const std::string huge = dir.File("huge.dll");
    std::filesystem::copy_file(TestModulePath("i686", "table"), huge);
    std::filesystem::resize_file(huge, MaxModuleFileSize + 1);

    for (const std::string& path : {dir.File("missing.dll"), dir.Path().string(), text, empty, mzOnly, huge, std::string()})
        EXPECT_FALSE(LoadModule(path)) << path;
    EXPECT_FALSE(LoadModuleFromBytes({}));
}

TEST(ModuleLoader, LangIdFromLocaleName)
{
    const struct {
        const char* name;
        std::uint16_t langId;
    } rows[] = {
        {"en_US.UTF-8", 0x0409}, {"en_GB", 0x0809},     {"en", 0x0409},         {"ja_JP.UTF-8", 0x0411},
        {"ja", 0x0411},          {"de_AT@euro", 0x0C07}, {"de_DE.UTF-8", 0x0407}, {"pt", 0x0816},
        {"pt_BR.utf8", 0x0416},  {"zh_TW", 0x0404},     {"zh_CN.GB2312", 0x0804}, {"fr_XX", 0x040C},
        {"C", 0},                {"POSIX", 0},          {"C.UTF-8", 0},         {"", 0},
        {"xx_YY", 0},            {"_US", 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(LangIdFromLocaleName(row.name), row.langId) << row.name;
}

} // namespace
} // namespace velmora
