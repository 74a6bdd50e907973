#include <gtest/gtest.h>

#include <filesystem>

#include "tools/DataFileWriter.h"
#include "tests/support/FailureKind.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"
#include "host/WineRegistry.h"

namespace velmora {
namespace {

using fixtures::FailureKindOf;
using fixtures::ScopedEnv;

constexpr std::string_view Key = "SOFTWARE\\Microsoft\\Microsoft Games\\Brannoch\\1.0";
constexpr std::string_view Value = "EXE Path";
constexpr std::optional<RegistryFailure> Found;

std::string Hive(std::string_view arch, std::string_view body)
{
    return "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=" + std::string(arch) + "\n\n" + std::string(body);
}

// Key lines as Wine writes them: backslashes doubled, then a time stamp.
const std::string NativeKey = "[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0] 1700000000\n#time=1da0a0a0a0a0a0a\n";
const std::string Wow64Key = "[Software\\\\Wow6432Node\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0] 1700000000\n";

class RegistryTest : public ::testing::Test {
protected:
    // The kind of failure (Found when there is none); the text read goes to `text`.
    std::optional<RegistryFailure> Read(const std::string& hive, std::size_t bufferSize = 1024)
    {
        datafile::WriteFile((prefix.Path() / "system.reg").string(),
                            std::span(reinterpret_cast<const std::uint8_t*>(hive.data()), hive.size()));
        const auto read = ReadMachineText(Key, Value, bufferSize);
        text = read.value_or("");
        return FailureKindOf(read);
    }

    fixtures::TempDir prefix;
    ScopedEnv env{"WINEPREFIX", prefix.Path().string()};
    std::string text;
};

struct Row {
    const char* what;
    std::string hive;
    std::optional<RegistryFailure> failure;
    std::string text;
};

TEST_F(RegistryTest, ReadsTheFolderFromEitherPlace)
{
    const std::string folder = "\"EXE Path\"=\"C:\\\\Games\\\\Brannoch\"\n";
    const std::string other = "\"EXE Path\"=\"D:\\\\Other\"\n";
    const Row rows[] = {
        {"native key", Hive("win32", NativeKey + folder), Found, "C:\\Games\\Brannoch"},
        {"twin under Wow6432Node", Hive("win64", Wow64Key + folder), Found, "C:\\Games\\Brannoch"},
        {"twin in a 32-bit prefix", Hive("win32", Wow64Key + folder), Found, "C:\\Games\\Brannoch"},
        {"both, 64-bit prefix: the 32-bit view first", Hive("win64", NativeKey + other + Wow64Key + folder), Found, "C:\\Games\\Brannoch"},
        {"both, 32-bit prefix: the native key first", Hive("win32", NativeKey + folder + Wow64Key + other), Found, "C:\\Games\\Brannoch"},
        {"first key without the value: the twin decides", Hive("win64", Wow64Key + "\"Other\"=\"x\"\n" + NativeKey + folder), Found, "C:\\Games\\Brannoch"},
        {"names in other case", Hive("win32", "[SOFTWARE\\\\MICROSOFT\\\\microsoft games\\\\BRANNOCH\\\\1.0] 1\n\"exe path\"=\"C:\\\\G\"\n"), Found, "C:\\G"},
        {"other values around it", Hive("win32", NativeKey + "\"EXE\"=\"no\"\n\"EXE Path \"=\"no\"\n\"Version\"=dword:00000001\n" + folder + "@=\"default\"\n"), Found, "C:\\Games\\Brannoch"},
        {"CRLF line ends", "WINE REGISTRY Version 2\r\n\r\n[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0] 1\r\n\"EXE Path\"=\"C:\\\\Games\"\r\n", Found, "C:\\Games"},
        {"indented lines", Hive("win32", "  " + NativeKey + "\t" + folder), Found, "C:\\Games\\Brannoch"},
        {"the key twice: the last value wins", Hive("win32", NativeKey + other + NativeKey + folder), Found, "C:\\Games\\Brannoch"},
        {"expandable text, left unexpanded", Hive("win32", NativeKey + "\"EXE Path\"=str(2):\"%ProgramFiles%\\\\B\"\n"), Found, "%ProgramFiles%\\B"},
        {"empty text", Hive("win32", NativeKey + "\"EXE Path\"=\"\"\n"), Found, ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Read(row.hive), row.failure) << row.what;
        EXPECT_EQ(text, row.text) << row.what;
    }
}

TEST_F(RegistryTest, MissingOrUnusableValuesGiveNothing)
{
    const Row rows[] = {
        {"no key", Hive("win32", "[Software\\\\Other] 1\n\"EXE Path\"=\"C:\\\\x\"\n"), RegistryFailure::NoKey, ""},
        {"only a subkey", Hive("win32", "[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0\\\\Sub] 1\n\"EXE Path\"=\"C:\\\\x\"\n"), RegistryFailure::NoKey, ""},
        {"a longer name", Hive("win32", "[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.05] 1\n\"EXE Path\"=\"C:\\\\x\"\n"), RegistryFailure::NoKey, ""},
        {"key without the value", Hive("win32", NativeKey + "\"Version\"=\"1.0\"\n"), RegistryFailure::NoValue, ""},
        {"value in the next key", Hive("win32", NativeKey + "[Software\\\\Next] 1\n\"EXE Path\"=\"C:\\\\x\"\n"), RegistryFailure::NoValue, ""},
        {"a dword", Hive("win32", NativeKey + "\"EXE Path\"=dword:0000002a\n"), RegistryFailure::NotText, ""},
        {"binary", Hive("win32", NativeKey + "\"EXE Path\"=hex:43,3a,5c,00\n"), RegistryFailure::NotText, ""},
        {"typed binary over two lines", Hive("win32", NativeKey + "\"EXE Path\"=hex(1):43,00,3a,00,\\\n  5c,00,00,00\n"), RegistryFailure::NotText, ""},
        {"a list of texts", Hive("win32", NativeKey + "\"EXE Path\"=str(7):\"C:\\\\a\\0C:\\\\b\\0\"\n"), RegistryFailure::NotText, ""},
        {"a dword after a text: the last wins", Hive("win32", NativeKey + "\"EXE Path\"=\"C:\\\\x\"\n\"EXE Path\"=dword:00000001\n"), RegistryFailure::NotText, ""},
        {"not a registry file", "REGEDIT4\n\n" + NativeKey + "\"EXE Path\"=\"C:\\\\x\"\n", RegistryFailure::NoHive, ""},
        {"empty file", "", RegistryFailure::NoHive, ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Read(row.hive), row.failure) << row.what;
        EXPECT_EQ(text, row.text) << row.what;
    }
}

TEST_F(RegistryTest, DecodesWineEscapes)
{
    const struct {
        std::string written;  // between the quotes, as in the file
        std::string text;     // UTF-8
    } rows[] = {
        {R"(C:\\Games\\Brannoch)", "C:\\Games\\Brannoch"},
        {R"(C:\\Say \"Hi\"\\Brannoch)", "C:\\Say \"Hi\"\\Brannoch"},
        {R"(\a\b\t\n\v\f\r\e)", "\a\b\t\n\v\f\r\x1b"},
        {R"(\1\12\101\1012)", "\x01\x0a" "AA2"},
        {R"(\x41\x4142)", "A\xe4\x85\x82"},  // at most four hex digits: U+4142
        {R"(caf\xe9)", "caf\xc3\xa9"},
        {R"(\x65e5\x672c\x8a9e)", "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e"},
        {R"(\xd83d\xde00)", "\xf0\x9f\x98\x80"},  // a surrogate pair
        {R"(a\xd800b)", "a\xef\xbf\xbd" "b"},      // a lone surrogate
        {R"(\xg)", "xg"},
        {R"(\q\]\[)", "q]["},
        {R"(before\0after)", "before"},
        {"raw UTF-8 \xc3\xa9", "raw UTF-8 \xc3\xa9"},
        {"bad byte \xff", "bad byte \xef\xbf\xbd"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Read(Hive("win32", NativeKey + "\"EXE Path\"=\"" + row.written + "\"\n")), Found) << row.written;
        EXPECT_EQ(text, row.text) << row.written;
    }
}

TEST_F(RegistryTest, TheTextMustFitTheBufferWithItsTerminator)
{
    const auto hiveWith = [](const std::string& written) { return Hive("win32", NativeKey + "\"EXE Path\"=\"" + written + "\"\n"); };
    EXPECT_EQ(Read(hiveWith(std::string(1023, 'a'))), Found);
    EXPECT_EQ(text.size(), 1023u);
    EXPECT_EQ(Read(hiveWith(std::string(1024, 'a'))), RegistryFailure::TooLong);
    EXPECT_EQ(Read(hiveWith(std::string(5000, 'a'))), RegistryFailure::TooLong);
    // 341 characters of three UTF-8 bytes each fill 1023 bytes; one more does not fit.
    std::string jp;
    for (int i = 0; i < 341; ++i)
        jp += "\\x65e5";
    EXPECT_EQ(Read(hiveWith(jp)), Found);
    EXPECT_EQ(text.size(), 1023u);
    EXPECT_EQ(Read(hiveWith(jp + "\\x65e5")), RegistryFailure::TooLong);
    // Escapes count as what they stand for: 600 "\\" are 600 bytes.
    std::string backslashes;
    for (int i = 0; i < 600; ++i)
        backslashes += "\\\\";
    EXPECT_EQ(Read(hiveWith(backslashes)), Found);
    EXPECT_EQ(text, std::string(600, '\\'));
    // What lies after an embedded NUL still has to fit.
    EXPECT_EQ(Read(hiveWith("a\\0" + std::string(1021, 'b'))), Found);
    EXPECT_EQ(text, "a");
    EXPECT_EQ(Read(hiveWith("a\\0" + std::string(1022, 'b'))), RegistryFailure::TooLong);
}

TEST_F(RegistryTest, BrokenLinesAreSkipped)
{
    const std::string folder = "\"EXE Path\"=\"C:\\\\Games\"\n";
    const Row rows[] = {
        {"value before any key", Hive("win32", folder + NativeKey + "\"Other\"=\"x\"\n"), RegistryFailure::NoValue, ""},
        {"key line without its bracket", Hive("win32", "[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0\n" + folder), RegistryFailure::NoKey, ""},
        {"key line ending in a backslash", Hive("win32", "[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0\\\n" + folder), RegistryFailure::NoKey, ""},
        {"text without its closing quote", Hive("win32", NativeKey + folder + "\"EXE Path\"=\"C:\\\\Other\n"), Found, "C:\\Games"},
        {"text ending in a backslash", Hive("win32", NativeKey + "\"EXE Path\"=\"C:\\\n"), RegistryFailure::NoValue, ""},
        {"name without its closing quote", Hive("win32", NativeKey + "\"EXE Path=\"C:\\\\x\"\n"), RegistryFailure::NoValue, ""},
        {"no equals sign", Hive("win32", NativeKey + "\"EXE Path\" \"C:\\\\x\"\n"), RegistryFailure::NoValue, ""},
        {"unknown type", Hive("win32", NativeKey + "\"EXE Path\"=qword:1\n"), RegistryFailure::NoValue, ""},
        {"nothing after the equals sign", Hive("win32", NativeKey + "\"EXE Path\"=\n"), RegistryFailure::NoValue, ""},
        {"garbage and NUL bytes around", Hive("win32", std::string("\x01\xff garbage\n\0\0\0\n", 15) + NativeKey + "))))\n" + folder + "\"\n["),
         Found, "C:\\Games"},
        {"a line of 100000 characters", Hive("win32", NativeKey + "\"" + std::string(100000, 'x') + "\n" + folder), Found, "C:\\Games"},
        {"no final line end", Hive("win32", NativeKey + "\"EXE Path\"=\"C:\\\\Games\""), Found, "C:\\Games"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Read(row.hive), row.failure) << row.what;
        EXPECT_EQ(text, row.text) << row.what;
    }
}

TEST(Registry, NoPrefixGivesNothing)
{
    fixtures::TempDir home;
    {
        // A prefix folder without system.reg.
        ScopedEnv prefix("WINEPREFIX", home.Path().string());
        EXPECT_EQ(FailureKindOf(ReadMachineText(Key, Value, 1024)), RegistryFailure::NoHive);
    }
    {
        // A prefix that does not exist.
        ScopedEnv prefix("WINEPREFIX", (home.Path() / "missing").string());
        EXPECT_EQ(FailureKindOf(ReadMachineText(Key, Value, 1024)), RegistryFailure::NoHive);
    }
    {
        // Without WINEPREFIX (or with it empty) the prefix is ~/.wine.
        std::filesystem::create_directories(home.Path() / ".wine");
        const std::string hive = Hive("win32", NativeKey + "\"EXE Path\"=\"C:\\\\Home\"\n");
        datafile::WriteFile((home.Path() / ".wine" / "system.reg").string(),
                            std::span(reinterpret_cast<const std::uint8_t*>(hive.data()), hive.size()));
        ScopedEnv prefix("WINEPREFIX", std::string());
        ScopedEnv homeEnv("HOME", home.Path().string());
        EXPECT_EQ(ReadMachineText(Key, Value, 1024).value_or(""), "C:\\Home");
        ScopedEnv noPrefix("WINEPREFIX", std::nullopt);
        EXPECT_EQ(ReadMachineText(Key, Value, 1024).value_or(""), "C:\\Home");
        ScopedEnv noHome("HOME", std::nullopt);
        EXPECT_EQ(FailureKindOf(ReadMachineText(Key, Value, 1024)), RegistryFailure::NoHive);
    }
}

} // namespace
} // namespace velmora
