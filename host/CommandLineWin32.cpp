#include "host/CommandLine.h"

#include "host/Win32Text.h"

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#include <stdio.h>

#include <string>
#include <vector>

namespace velmora {

namespace {

// The console's output code page, put back when the program ends.
class ConsoleCodePage {
public:
    ConsoleCodePage() : old_(GetConsoleOutputCP())
    {
        if (old_ != 0)
            SetConsoleOutputCP(CP_UTF8);
    }
    ~ConsoleCodePage()
    {
        if (old_ != 0)
            SetConsoleOutputCP(old_);
    }
    ConsoleCodePage(const ConsoleCodePage&) = delete;
    ConsoleCodePage& operator=(const ConsoleCodePage&) = delete;

private:
    UINT old_;
};

} // namespace

void TellUser(std::string_view text, bool error, std::string_view title)
{
    std::fflush(error ? stderr : stdout);
    HANDLE out = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD type = out == nullptr || out == INVALID_HANDLE_VALUE ? FILE_TYPE_UNKNOWN : GetFileType(out);
    // A program of the GUI subsystem gets no console from Windows; it may borrow its
    // parent's (Wine attaches it to that already, which the call answers with access denied).
    if (type == FILE_TYPE_UNKNOWN && (AttachConsole(ATTACH_PARENT_PROCESS) || GetLastError() == ERROR_ACCESS_DENIED)) {
        out = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                          nullptr);
        type = out == INVALID_HANDLE_VALUE ? FILE_TYPE_UNKNOWN : FILE_TYPE_CHAR;
    }
    const std::wstring wide = Wide(text);
    DWORD mode = 0;
    DWORD written = 0;
    if (type == FILE_TYPE_CHAR && GetConsoleMode(out, &mode))
        WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    else if (type != FILE_TYPE_UNKNOWN)
        WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    else
        MessageBoxW(nullptr, wide.c_str(), Wide(title).c_str(), MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION));
}

void PrepareCommandLine(int& argc, char**& argv)
{
    static std::vector<std::string> texts;
    static std::vector<char*> pointers;
    static const ConsoleCodePage codePage;
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);

    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr)
        return;
    texts.clear();
    for (int i = 0; i < count; ++i)
        texts.push_back(Narrow(wide[i]));
    LocalFree(wide);
    pointers.clear();
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    argc = count;
    argv = pointers.data();
}

} // namespace velmora
