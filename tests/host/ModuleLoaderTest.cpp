#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "host/ModuleLoader.h"
#include "tests/host/TestModules.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"
#include "tools/datafile/DataFileWriter.h"

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

TEST_P(ModuleLoaderTest, ReadsStringsOfEveryBlockAndSlot)
{
    const ModulePtr module = Load("table");
    ASSERT_TRUE(module);
    const std::pair<std::uint32_t, std::u16string> rows[] = {
        {0, u"zero"}, {1, u"one"}, {15, u"fifteen"}, {16, u"sixteen"}, {18, u"after an empty slot"},
        {31, u"last slot of block two"}, {41, u"Caf\u00e9 d\u00e9j\u00e0 vu"},
        {42, u"\u65e5\u672c\u8a9e\u306e\u30c6\u30ad\u30b9\u30c8"}, {43, u"\U0001F600 and more"}, {65535, u"the last id"},
        // 17 is empty; 2 and 65534 are unused slots of present blocks; 32 and 1000 lie in
        // blocks that do not exist; the rest are not 16-bit ids (65536 must not wrap to 0).
        {17, u""}, {2, u""}, {65534, u""}, {32, u""}, {1000, u""}, {65536, u""}, {65537, u""}, {0xFFFFFFFF, u""},
    };
    for (const auto& [id, text] : rows)
        EXPECT_TRUE(LoadText(module.get(), id) == text) << "id " << id;
    const ModulePtr none = Load("nostrings");
    ASSERT_TRUE(none);
    for (std::uint32_t id : {0u, 1u, 16u, 65535u})
        EXPECT_TRUE(LoadText(none.get(), id) == u"") << id;
}

TEST_P(ModuleLoaderTest, CopiesAtMostOneUnitLessThanTheBuffer)
{
    const ModulePtr module = Load("table");
    ASSERT_TRUE(module);
    for (const int length : {512, 600, 601, 2, 1})
        EXPECT_TRUE(LoadText(module.get(), 40, length) == Digits600.substr(0, static_cast<std::size_t>(length - 1))) << length;
    char16_t untouched[2] = {u'#', u'#'};
    EXPECT_EQ(LoadModuleString(module.get(), 40, untouched, 0), 0);
    EXPECT_EQ(untouched[0], u'#');
    EXPECT_EQ(LoadModuleString(module.get(), 40, nullptr, 512), 0);
    EXPECT_EQ(LoadModuleString(nullptr, 0, untouched, 2), 0);
    EXPECT_EQ(untouched[0], 0);
}

TEST_P(ModuleLoaderTest, ChoosesTheLanguageOfABlock)
{
#ifdef _WIN32
    GTEST_SKIP() << "the user's language comes from the system here";
#endif
    const ModulePtr module = Load("languages");
    ASSERT_TRUE(module);
    const std::nullopt_t none = std::nullopt;
    const struct {
        std::optional<std::string> lcAll, lcMessages, lang;
        std::uint32_t id;
        std::u16string expected;
    } rows[] = {
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
    for (const auto& row : rows) {
        ScopedEnv lcAll("LC_ALL", row.lcAll);
        ScopedEnv lcMessages("LC_MESSAGES", row.lcMessages);
        ScopedEnv lang("LANG", row.lang);
        EXPECT_TRUE(LoadText(module.get(), row.id) == row.expected) << "id " << row.id << " LC_ALL=" << row.lcAll.value_or("-")
                                                                   << " LC_MESSAGES=" << row.lcMessages.value_or("-") << " LANG=" << row.lang.value_or("-");
    }
}

TEST(ModuleLoader, RefusesWhatIsNotAModule)
{
    fixtures::TempDir dir;
    datafile::WriteFile(dir.File("text.dll"), datafile::Bytes{'h', 'e', 'l', 'l', 'o'});
    datafile::WriteFile(dir.File("empty.dll"), {});
    datafile::WriteFile(dir.File("mz.dll"), datafile::Bytes{'M', 'Z'});
    // Too large to be read at all, whatever it holds (sparse, so it costs no disk).
    std::filesystem::copy_file(TestModulePath("i686", "table"), dir.File("huge.dll"));
    std::filesystem::resize_file(dir.File("huge.dll"), MaxModuleFileSize + 1);
    for (const char* name : {"missing.dll", "", "text.dll", "empty.dll", "mz.dll", "huge.dll"})
        EXPECT_FALSE(LoadModule(dir.File(name))) << name;
    EXPECT_FALSE(LoadModule(""));
}

TEST(ModuleLoader, LangIdFromLocaleName)
{
    const std::pair<const char*, std::uint16_t> rows[] = {
        {"en_US.UTF-8", 0x0409}, {"en_GB", 0x0809},      {"en", 0x0409},           {"ja_JP.UTF-8", 0x0411},
        {"de_AT@euro", 0x0C07},  {"de_DE.UTF-8", 0x0407}, {"pt", 0x0816},           {"pt_BR.utf8", 0x0416},
        {"zh_TW", 0x0404},       {"zh_CN.GB2312", 0x0804}, {"fr_XX", 0x040C},       {"C", 0},
        {"POSIX", 0},            {"C.UTF-8", 0},          {"", 0},                  {"xx_YY", 0},
        {"_US", 0},
    };
    for (const auto& [name, langId] : rows)
        EXPECT_EQ(LangIdFromLocaleName(name), langId) << name;
}

} // namespace
} // namespace velmora
