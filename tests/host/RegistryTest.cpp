#include <gtest/gtest.h>

#include <filesystem>

#include "host/CodePage.h"
#include "host/Installation.h"
#include "host/WinePrefixes.h"
#include "host/WineRegistry.h"
#include "tests/support/FailureKind.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using fixtures::FailureKindOf;
using fixtures::ScopedEnv;

constexpr std::optional<RegistryFailure> Found;

std::string Hive(std::string_view arch, std::string_view body)
{
    return "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=" + std::string(arch) + "\n\n" + std::string(body);
}

// Key lines as Wine writes them: backslashes doubled, then a time stamp.
const std::string NativeKey = "[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0] 1700000000\n#time=1da0a0a0a0a0a0a\n";
const std::string Wow64Key = "[Software\\\\Wow6432Node\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0] 1700000000\n";
const std::string Folder = "\"EXE Path\"=\"C:\\\\Games\\\\Brannoch\"\n";
const std::string Other = "\"EXE Path\"=\"D:\\\\Other\"\n";

// The value under the native key, written as it stands between the quotes in the file.
std::string Text(const std::string& written)
{
    return Hive("win32", NativeKey + "\"EXE Path\"=\"" + written + "\"\n");
}

class RegistryTest : public ::testing::Test {
protected:
    void WriteHive(const std::string& hive) { fixtures::WriteText(prefix.Path() / "system.reg", hive); }
    Result<std::string, RegistryFailure> ReadInstallFolder() const
    {
        return ReadMachineTextIn(prefix.Path().string(), InstallKey, InstallValue, InstallValueBufferSize);
    }

    fixtures::TempDir prefix;
};

struct Row {
    const char* what;
    std::string hive;
    std::optional<RegistryFailure> failure;
    std::string text;
};

TEST_F(RegistryTest, TheInstallFolderAsA32BitProgramReadsIt)
{
    const std::string backslashes600 = [] { std::string s; for (int i = 0; i < 600; ++i) s += "\\\\"; return s; }();
    const std::string japanese341 = [] { std::string s; for (int i = 0; i < 341; ++i) s += "\\x65e5"; return s; }();
    const Row rows[] = {
        // Where the key is.
        {"native key", Hive("win32", NativeKey + Folder), Found, "C:\\Games\\Brannoch"},
        {"twin under Wow6432Node", Hive("win64", Wow64Key + Folder), Found, "C:\\Games\\Brannoch"},
        {"twin in a 32-bit prefix", Hive("win32", Wow64Key + Folder), Found, "C:\\Games\\Brannoch"},
        {"both, 64-bit prefix: the 32-bit view first", Hive("win64", NativeKey + Other + Wow64Key + Folder), Found, "C:\\Games\\Brannoch"},
        {"both, 32-bit prefix: the native key first", Hive("win32", NativeKey + Folder + Wow64Key + Other), Found, "C:\\Games\\Brannoch"},
        {"first key without the value: the twin decides", Hive("win64", Wow64Key + "\"Other\"=\"x\"\n" + NativeKey + Folder), Found, "C:\\Games\\Brannoch"},
        {"names in other case", Hive("win32", "[SOFTWARE\\\\MICROSOFT\\\\microsoft games\\\\BRANNOCH\\\\1.0] 1\n\"exe path\"=\"C:\\\\G\"\n"), Found, "C:\\G"},
        {"other values around it", Hive("win32", NativeKey + "\"EXE\"=\"no\"\n\"EXE Path \"=\"no\"\n\"Version\"=dword:00000001\n" + Folder + "@=\"default\"\n"), Found, "C:\\Games\\Brannoch"},
        {"CRLF line ends", "WINE REGISTRY Version 2\r\n\r\n[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0] 1\r\n\"EXE Path\"=\"C:\\\\Games\"\r\n", Found, "C:\\Games"},
        {"indented lines", Hive("win32", "  " + NativeKey + "\t" + Folder), Found, "C:\\Games\\Brannoch"},
        {"the key twice: the last value wins", Hive("win32", NativeKey + Other + NativeKey + Folder), Found, "C:\\Games\\Brannoch"},
        {"expandable text, left unexpanded", Hive("win32", NativeKey + "\"EXE Path\"=str(2):\"%ProgramFiles%\\\\B\"\n"), Found, "%ProgramFiles%\\B"},
        {"no key", Hive("win32", "[Software\\\\Other] 1\n" + Folder), RegistryFailure::NoKey, ""},
        {"a longer name", Hive("win32", "[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.05] 1\n" + Folder), RegistryFailure::NoKey, ""},
        {"key without the value", Hive("win32", NativeKey + "\"Version\"=\"1.0\"\n"), RegistryFailure::NoValue, ""},
        {"value in the next key", Hive("win32", NativeKey + "[Software\\\\Next] 1\n" + Folder), RegistryFailure::NoValue, ""},
        {"not a registry file", "REGEDIT4\n\n" + NativeKey + Folder, RegistryFailure::NoHive, ""},
        {"empty file", "", RegistryFailure::NoHive, ""},
        // What the value holds.
        {"a dword", Hive("win32", NativeKey + "\"EXE Path\"=dword:0000002a\n"), RegistryFailure::NotText, ""},
        {"binary", Hive("win32", NativeKey + "\"EXE Path\"=hex:43,3a,5c,00\n"), RegistryFailure::NotText, ""},
        {"typed binary over two lines", Hive("win32", NativeKey + "\"EXE Path\"=hex(1):43,00,3a,00,\\\n  5c,00,00,00\n"), RegistryFailure::NotText, ""},
        {"a list of texts", Hive("win32", NativeKey + "\"EXE Path\"=str(7):\"C:\\\\a\\0C:\\\\b\\0\"\n"), RegistryFailure::NotText, ""},
        {"a dword after a text: the last wins", Hive("win32", NativeKey + Folder + "\"EXE Path\"=dword:00000001\n"), RegistryFailure::NotText, ""},
        {"empty text", Text(""), Found, ""},
        {"escaped quotes", Text(R"(C:\\Say \"Hi\"\\Brannoch)"), Found, "C:\\Say \"Hi\"\\Brannoch"},
        {"letter escapes", Text(R"(\a\b\t\n\v\f\r\e)"), Found, "\a\b\t\n\v\f\r\x1b"},
        {"octal escapes of up to three digits", Text(R"(\1\12\101\1012)"), Found, "\x01\x0a" "AA2"},
        {"hex escapes of up to four digits", Text(R"(\x41\x4142caf\xe9)"), Found, "A\xe4\x85\x82" "caf\xc3\xa9"},
        {"a surrogate pair", Text(R"(\xd83d\xde00)"), Found, "\xf0\x9f\x98\x80"},
        {"a lone surrogate", Text(R"(a\xd800b)"), Found, "a\xef\xbf\xbd" "b"},
        {"other escaped characters", Text(R"(\xg\q\]\[)"), Found, "xgq]["},
        {"the text ends at a NUL", Text(R"(before\0after)"), Found, "before"},
        {"raw UTF-8 and a byte that is not", Text("raw \xc3\xa9 bad \xff"), Found, "raw \xc3\xa9 bad \xef\xbf\xbd"},
        // The text and its terminating NUL must fit 1024 bytes; escapes count as what they stand for.
        {"1023 bytes", Text(std::string(1023, 'a')), Found, std::string(1023, 'a')},
        {"1024 bytes", Text(std::string(1024, 'a')), RegistryFailure::TooLong, ""},
        {"341 three-byte characters", Text(japanese341), Found, [] { std::string s; for (int i = 0; i < 341; ++i) s += "\xe6\x97\xa5"; return s; }()},
        {"342 three-byte characters", Text(japanese341 + "\\x65e5"), RegistryFailure::TooLong, ""},
        {"600 escaped backslashes", Text(backslashes600), Found, std::string(600, '\\')},
        {"what follows a NUL still has to fit", Text("a\\0" + std::string(1022, 'b')), RegistryFailure::TooLong, ""},
        // Broken lines are skipped.
        {"value before any key", Hive("win32", Folder + NativeKey + "\"Other\"=\"x\"\n"), RegistryFailure::NoValue, ""},
        {"key line without its bracket", Hive("win32", "[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0\n" + Folder), RegistryFailure::NoKey, ""},
        {"key line ending in a backslash", Hive("win32", "[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0\\\n" + Folder), RegistryFailure::NoKey, ""},
        {"text without its closing quote", Hive("win32", NativeKey + Folder + "\"EXE Path\"=\"C:\\\\Other\n"), Found, "C:\\Games\\Brannoch"},
        {"text ending in a backslash", Hive("win32", NativeKey + "\"EXE Path\"=\"C:\\\n"), RegistryFailure::NoValue, ""},
        {"name without its closing quote", Hive("win32", NativeKey + "\"EXE Path=\"C:\\\\x\"\n"), RegistryFailure::NoValue, ""},
        {"no equals sign", Hive("win32", NativeKey + "\"EXE Path\" \"C:\\\\x\"\n"), RegistryFailure::NoValue, ""},
        {"unknown type", Hive("win32", NativeKey + "\"EXE Path\"=qword:1\n"), RegistryFailure::NoValue, ""},
        {"nothing after the equals sign", Hive("win32", NativeKey + "\"EXE Path\"=\n"), RegistryFailure::NoValue, ""},
        {"garbage and NUL bytes around", Hive("win32", std::string("\x01\xff garbage\n\0\0\0\n", 15) + NativeKey + "))))\n" + Folder + "\"\n["),
         Found, "C:\\Games\\Brannoch"},
        {"a line of 100000 characters", Hive("win32", NativeKey + "\"" + std::string(100000, 'x') + "\n" + Folder), Found, "C:\\Games\\Brannoch"},
        {"no final line end", Hive("win32", NativeKey + "\"EXE Path\"=\"C:\\\\Games\""), Found, "C:\\Games"},
    };
    for (const Row& row : rows) {
        WriteHive(row.hive);
        const auto read = ReadInstallFolder();
        EXPECT_EQ(FailureKindOf(read), row.failure) << row.what;
        EXPECT_EQ(read.value_or(""), row.text) << row.what;
    }
}

// A key line is turned down at its first plain character that differs; where it is
// written with other escapes, or holds other characters than ASCII, it is decoded whole.
TEST(WineRegistry, KeyLinesWrittenInEveryWay)
{
    const struct {
        const char* keyLine;
        const char* wanted;
        bool found;
    } rows[] = {
        {R"([Software\\Brannoch])", "Software\\Brannoch", true},
        {R"([SOFTWARE\\brannoch])", "Software\\Brannoch", true},
        {R"([Software\\Br\x61nnoch])", "Software\\Brannoch", true},
        {R"([Software\x005cBrannoch])", "Software\\Brannoch", true},
        {R"([Software\134Brannoch])", "Software\\Brannoch", true},
        {"[Software\\\\Br\\\xc3\xa4nnoch]", "Software\\Br\xc3\xa4nnoch", true},
        {"[Software\\\\Br\xc3\xa4nnoch]", "Software\\Br\xc3\xa4nnoch", true},
        {R"([Software\\Br\xe4nnoch])", "Software\\Br\xc3\xa4nnoch", true},
        {R"([Software\\Br\xe4nnoch])", "Software\\Brannoch", false},
        {"[Software\\\\Br\xc3\xa4nnoch]", "Software\\Brannoch", false},
        {R"([Software\\Brannoch\\1.0])", "Software\\Brannoch", false},
        {R"([Software\\Bran])", "Software\\Brannoch", false},
        {R"([Software\\\\Brannoch])", "Software\\Brannoch", false},
        {R"([Software\\Brannoch)", "Software\\Brannoch", false},
    };
    for (const auto& row : rows) {
        const std::string hive = Hive("win32", std::string(row.keyLine) + " 1700000000\n\"Name\"=\"here\"\n");
        const auto read = ReadMachineTextFrom(hive, row.wanted, "Name", 64);
        EXPECT_EQ(read.value_or(""), row.found ? "here" : "") << row.keyLine << " for " << row.wanted;
    }
}

TEST_F(RegistryTest, AUserWhoMayOnlyReadTheRegistryFindsTheFolder)
{
    WriteHive(Hive("win32", NativeKey + Folder));
    fs::permissions(prefix.Path(), fs::perms(0555));
    fs::permissions(prefix.Path() / "system.reg", fs::perms(0444));
    const auto before = fs::last_write_time(prefix.Path() / "system.reg");
    EXPECT_EQ(fixtures::RunUnprivileged([this] { return ReadInstallFolder().value_or("") == "C:\\Games\\Brannoch" ? 0 : 1; }), 0);
    EXPECT_EQ(fs::last_write_time(prefix.Path() / "system.reg"), before);
    fs::permissions(prefix.Path(), fs::perms::owner_all, fs::perm_options::add);
}

// The ANSI code page of a prefix, in the key Wine spells "Codepage", among the tables it lists.
TEST_F(RegistryTest, TheAnsiCodePageOfAPrefix)
{
    const auto withAcp = [](const std::string& acp) {
        return Hive("win64", "[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\Codepage] 1796657537\n#time=1dd86602462ece4\n"
                             "\"10000\"=\"c_10000.nls\"\n\"1252\"=\"c_1252.nls\"\n\"932\"=\"c_932.nls\"\n" + acp +
                             "\"MACCP\"=\"10000\"\n\"OEMCP\"=\"437\"\n");
    };
    const std::pair<std::string, unsigned> rows[] = {
        {withAcp("\"ACP\"=\"932\"\n"), 932},
        {withAcp("\"ACP\"=\"1251\"\n"), 1251},
        {withAcp(""), 1252},
        {withAcp("\"ACP\"=\"65535\"\n"), 1252},      // no such code page
        {withAcp("\"ACP\"=dword:000003a4\n"), 1252},  // not a text
        {Hive("win64", NativeKey + Folder), 1252},
    };
    for (const auto& [hive, codePage] : rows) {
        WriteHive(hive);
        EXPECT_EQ(AnsiCodePageIn(prefix.Path().string()), codePage) << hive.substr(hive.size() - 60);
    }
    EXPECT_EQ(AnsiCodePageIn((prefix.Path() / "none").string()), 1252u);
}

TEST(Registry, ThePrefixIsWinePrefixElseTheHomeFolders)
{
    fixtures::TempDir home;
    ScopedEnv homeEnv("HOME", home.Path().string());
    fs::create_directories(home.Path() / ".wine");
    fixtures::WriteText(home.Path() / ".wine" / "system.reg", Hive("win32", NativeKey + "\"EXE Path\"=\"C:\\\\Home\"\n"));
    ScopedEnv emptyPrefix("WINEPREFIX", std::string());
    EXPECT_EQ(FindInstallation().installation.folder, "C:\\Home");
    ScopedEnv noPrefix("WINEPREFIX", std::nullopt);
    EXPECT_EQ(FindInstallation().installation.folder, "C:\\Home");
    // Found nowhere: typed Windows paths go through the prefix the search started at.
    fs::remove(home.Path() / ".wine" / "system.reg");
    EXPECT_EQ(FindInstallation().installation.prefix, (home.Path() / ".wine").string());
    ScopedEnv noHome("HOME", std::nullopt);
    const InstallationLookup none = FindInstallation();
    EXPECT_EQ(none.installation.folder, "");
    EXPECT_EQ(none.Report(), NoWinePrefixReason);
}

} // namespace
} // namespace velmora
