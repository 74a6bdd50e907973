// The programs as a Windows user runs them, under Wine: velmora.exe answering --help and
// wrong arguments in the console of the shell it was started from, or in a message box
// when there is none; velmora-dump.exe loading a data file another program holds open.
#include <gtest/gtest.h>

#include <string>

#include "host/Win32Text.h"

namespace velmora {
namespace {

struct ProgramRun {
    DWORD status = 0;
    std::wstring messageBox;  // the text of the message box it showed, closed then
};

// Runs `commandLine` to its end with `output` as its standard output and error: none, as
// Windows starts a program of the GUI subsystem, unless given. With `console` false it
// starts with no console either, as from Explorer; a message box it shows is read and closed.
ProgramRun RunProgram(const std::wstring& commandLine, bool console, HANDLE output = nullptr)
{
    ProgramRun run;
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdOutput = start.hStdError = output;
    PROCESS_INFORMATION process{};
    std::wstring line = commandLine;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, output != nullptr, console ? 0 : DETACHED_PROCESS, nullptr,
                        nullptr, &start, &process)) {
        run.status = 0xDEAD;
        return run;
    }
    while (WaitForSingleObject(process.hProcess, 100) == WAIT_TIMEOUT) {
        struct Found {
            DWORD process;
            HWND box;
        } found{process.dwProcessId, nullptr};
        EnumWindows([](HWND window, LPARAM data) -> BOOL {
            auto* f = reinterpret_cast<Found*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t kind[16] = {};
            GetClassNameW(window, kind, 16);
            if (owner == f->process && std::wstring(kind) == L"#32770" && IsWindowVisible(window))
                f->box = window;
            return f->box == nullptr;
        }, reinterpret_cast<LPARAM>(&found));
        if (found.box != nullptr) {
            wchar_t text[1024] = {};
            GetDlgItemTextW(found.box, 0xFFFF, text, 1024);
            run.messageBox = text;
            PostMessageW(found.box, WM_COMMAND, IDOK, 0);
        }
    }
    GetExitCodeProcess(process.hProcess, &run.status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return run;
}

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

// What the console shows, its first lines.
std::wstring ConsoleText()
{
    const HANDLE screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    GetConsoleScreenBufferInfo(screen, &info);
    std::wstring text(static_cast<std::size_t>(info.dwSize.X) * 10, L' ');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(screen, text.data(), static_cast<DWORD>(text.size()), COORD{0, 0}, &read);
    CloseHandle(screen);
    text.resize(read);
    return text;
}

TEST(Win32Program, AnswersInTheConsoleOfItsShell)
{
    FreeConsole();
    ASSERT_TRUE(AllocConsole());
    const std::wstring program = Wide(VELMORA_PROGRAM_EXE);
    EXPECT_EQ(RunProgram(L"\"" + program + L"\" --version", true).status, 0u);
    EXPECT_EQ(RunProgram(L"\"" + program + L"\" --bad", true).status, 64u);
    // Sent to a file, the answer goes there, as UTF-8.
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const std::wstring file = TemporaryPath(L"help.txt");
    const HANDLE help = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS, 0, nullptr);
    EXPECT_EQ(RunProgram(L"\"" + program + L"\" --help", true, help).status, 0u);
    CloseHandle(help);
    EXPECT_EQ(ReadText(file).rfind("usage: velmora [DATAFILE]\n", 0), 0u);
    const std::wstring shown = ConsoleText();
    EXPECT_NE(shown.find(L"velmora " VELMORA_VERSION_W), std::wstring::npos) << Narrow(shown);
    EXPECT_NE(shown.find(L"velmora: unknown option '--bad'"), std::wstring::npos) << Narrow(shown);
    FreeConsole();
}

TEST(Win32Program, WithoutAConsoleAMessageBoxSaysIt)
{
    FreeConsole();
    const std::wstring program = Wide(VELMORA_PROGRAM_EXE);
    const ProgramRun bad = RunProgram(L"\"" + program + L"\" --bad", false);
    EXPECT_EQ(bad.status, 64u);
    EXPECT_NE(bad.messageBox.find(L"velmora: unknown option '--bad'"), std::wstring::npos) << Narrow(bad.messageBox);
    EXPECT_NE(bad.messageBox.find(L"usage: velmora [DATAFILE]"), std::wstring::npos);
}

// The data file loads while another program holds it open for writing, sharing it fully
// (as the game, an editor or a download may); a folder given as the data file says so.
TEST(Win32Program, TheDumpLoadsAFileAnotherProgramHoldsOpen)
{
    const std::wstring game = Wide(VELMORA_DEMO_GAME_FOLDER);
    const std::wstring data = TemporaryPath(L"held.dat");
    ASSERT_TRUE(CopyFileW((game + L"\\Data\\brannoch2_x1_p1.dat").c_str(), data.c_str(), FALSE));
    const HANDLE holder = CreateFileW(data.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    // What the dump writes, to standard output and error, and its exit status.
    const auto dump = [&](const std::wstring& file, const std::wstring& out) {
        const HANDLE output = CreateFileW(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS, 0, nullptr);
        const DWORD status = RunProgram(L"\"" + Wide(VELMORA_DUMP_EXE) + L"\" --format dot \"" + file + L"\"", true, output).status;
        CloseHandle(output);
        return std::to_string(status) + ": " + ReadText(out);
    };
    EXPECT_EQ(dump(data, TemporaryPath(L"held.out")).rfind("0: digraph", 0), 0u);
    CloseHandle(holder);
    DeleteFileW(data.c_str());
    const std::string folder = dump(game, TemporaryPath(L"folder.out"));
    EXPECT_EQ(folder.rfind("1: velmora-dump: ", 0), 0u) << folder;
    EXPECT_NE(folder.find("cannot open the data file: is a folder"), std::string::npos) << folder;
}

} // namespace
} // namespace velmora

