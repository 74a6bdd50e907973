// The programs as a Windows user runs them, under Wine: velmora.exe answering --help and
// wrong arguments in the console of the shell it was started from, in the file its output
// goes to, or in a message box when it has no console; velmora-dump.exe loading a data
// file another program holds open.
#include <gtest/gtest.h>

#include <string>

#include "host/Win32Text.h"

namespace velmora {
namespace {

std::wstring TemporaryPath(const std::wstring& name)
{
    wchar_t folder[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, folder);
    return folder + name;
}

std::string ReadText(const std::wstring& path)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string text(1 << 16, '\0');
    DWORD read = 0;
    ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
    CloseHandle(file);
    text.resize(read);
    return text;
}

// How a program is started: with no standard handles (as Windows starts a GUI program) in
// this process's console, with its output going to a file or a pipe, or with no console.
enum class Start { Console, File, Pipe, Alone };

// Runs `program` to its end (its output small enough for a pipe's buffer): "STATUS: " and
// what it wrote, or "box: " and the text of the message box it showed (closed then).
std::string RunProgram(const char* program, const std::wstring& arguments, Start start)
{
    static int runs = 0;
    const std::wstring out = TemporaryPath(L"run" + std::to_wstring(++runs) + L".out");
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE file = start == Start::File ? CreateFileW(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS, 0, nullptr) : nullptr;
    HANDLE pipe = nullptr;
    if (start == Start::Pipe)
        CreatePipe(&pipe, &file, &inherited, 1 << 16);
    STARTUPINFOW info{};
    info.cb = sizeof info;
    info.dwFlags = STARTF_USESTDHANDLES;
    info.hStdOutput = info.hStdError = file;
    PROCESS_INFORMATION process{};
    std::wstring line = L"\"" + Wide(program) + L"\" " + arguments;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, file != nullptr, start == Start::Alone ? DETACHED_PROCESS : 0,
                        nullptr, nullptr, &info, &process))
        return "not started";
    std::string shown;
    while (WaitForSingleObject(process.hProcess, 100) == WAIT_TIMEOUT) {
        const HWND box = FindWindowW(L"#32770", L"Velmora");
        DWORD owner = 0;
        GetWindowThreadProcessId(box, &owner);
        wchar_t text[1024] = {};
        if (box != nullptr && owner == process.dwProcessId && GetDlgItemTextW(box, 0xFFFF, text, 1024) > 0) {
            shown = "box: " + Narrow(text);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
    }
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (file != nullptr)
        CloseHandle(file);
    if (start == Start::File)
        shown = ReadText(out);
    char buffer[4096];
    for (DWORD got = 0; pipe != nullptr && ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0;)
        shown.append(buffer, got);
    return std::to_string(status) + ": " + shown;
}

// What this process's console shows, its first lines.
std::string ConsoleText()
{
    const HANDLE screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    std::wstring text(800, L' ');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(screen, text.data(), static_cast<DWORD>(text.size()), COORD{0, 0}, &read);
    CloseHandle(screen);
    return Narrow(text.substr(0, read));
}

TEST(Win32Program, TheViewerAnswersWhereItWasStartedFrom)
{
    FreeConsole();
    ASSERT_TRUE(AllocConsole());
    EXPECT_EQ(RunProgram(VELMORA_PROGRAM_EXE, L"--version", Start::Console), "0: ");
    EXPECT_EQ(RunProgram(VELMORA_PROGRAM_EXE, L"--bad", Start::Console), "64: ");
    const std::string shown = ConsoleText();
    EXPECT_NE(shown.find("velmora " VELMORA_VERSION), std::string::npos) << shown;
    EXPECT_NE(shown.find("velmora: unknown option '--bad'"), std::string::npos) << shown;
    EXPECT_EQ(RunProgram(VELMORA_PROGRAM_EXE, L"--help", Start::Pipe).rfind("0: usage: velmora [DATAFILE]\n", 0), 0u);
    FreeConsole();
    const std::string alone = RunProgram(VELMORA_PROGRAM_EXE, L"--bad", Start::Alone);
    EXPECT_EQ(alone.rfind("64: box: velmora: unknown option '--bad'\nusage: velmora [DATAFILE]", 0), 0u) << alone;
}

// Held open for writing and shared fully, as the game, an editor or a download may.
TEST(Win32Program, TheDumpLoadsAFileAnotherProgramHoldsOpen)
{
    const std::string game = VELMORA_DEMO_GAME_FOLDER;
    const std::wstring data = TemporaryPath(L"held.dat");
    ASSERT_TRUE(CopyFileW(Wide(game + "\\Data\\brannoch2_x1_p1.dat").c_str(), data.c_str(), FALSE));
    const HANDLE holder = CreateFileW(data.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(RunProgram(VELMORA_DUMP_EXE, L"--format dot \"" + data + L"\"", Start::File).rfind("0: digraph", 0), 0u);
    CloseHandle(holder);
    const std::string folder = RunProgram(VELMORA_DUMP_EXE, L"\"" + Wide(game) + L"\"", Start::File);
    EXPECT_EQ(folder, "1: velmora-dump: " + game + ": cannot open the data file: is a folder\n");
}

} // namespace
} // namespace velmora
