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
