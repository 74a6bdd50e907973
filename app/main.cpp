// Velmora: a viewer for the technology tree in a strategy game's data file.
//
//   velmora [DATAFILE]      the data file is loaded at start
//   velmora --help | --version
//
// Exit status: 0, or 64 for arguments it does not understand. The answers to --help,
// --version and wrong arguments go to the console it was started from (on Windows, where
// it has none of its own, the shell's; a message box when there is none).
#include <string>

#include "app/ViewerApp.h"
#include "host/CommandLine.h"
#include "host/Text.h"
#include "resources/DialogFonts.h"
#include "ui/Application.h"

namespace {

constexpr int ExitUsage = 64;  // EX_USAGE
constexpr const char* DisplayName = "Velmora";
constexpr const char* UsageText = "usage: velmora [DATAFILE]\n"
                                  "       velmora --help | --version\n";
constexpr const char* KeysText = "\n"
                                 "Ctrl+O chooses a data file, Ctrl+F finds a tech by a part of its line\n"
                                 "(F3 next, Shift+F3 previous, Escape closes the find box). A data file\n"
                                 "dropped on the window is loaded.\n";

velmora::ViewerApp viewerApp;

enum class Start { Run, Help, Version };

// What the arguments ask for, or the complaint about the first one not understood, the
// argument as Visible shows it: a terminal would obey the controls it holds.
std::string ParseArguments(int argc, char** argv, Start& start, std::string& dataFile)
{
    bool operandsOnly = false;  // after "--"
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!operandsOnly && arg == "--") {
            operandsOnly = true;
        } else if (!operandsOnly && (arg == "-h" || arg == "--help")) {
            start = Start::Help;
        } else if (!operandsOnly && arg == "--version") {
            start = Start::Version;
        } else if (!operandsOnly && arg.size() > 1 && arg[0] == '-') {
            return "unknown option '" + velmora::Visible(arg) + "'";
        } else if (arg.empty() || !dataFile.empty()) {
            return arg.empty() ? "an empty data file name" : "more than one data file: '" + velmora::Visible(dataFile) + "' and '" + velmora::Visible(arg) + "'";
        } else {
            dataFile = arg;
        }
    }
    return {};
}

} // namespace

int main(int argc, char** argv)
{
    velmora::PrepareCommandLine(argc, argv);
    Start start = Start::Run;
    if (const std::string complaint = ParseArguments(argc, argv, start, viewerApp.startFile); !complaint.empty()) {
        velmora::TellUser("velmora: " + complaint + "\n" + UsageText, true, DisplayName);
        return ExitUsage;
    }
    if (start != Start::Run) {
        velmora::TellUser(start == Start::Help ? std::string(UsageText) + KeysText : "velmora " VELMORA_VERSION "\n", false, DisplayName);
        return 0;
    }
    velmora::Application application(argc, argv, "velmora", DisplayName);
    // After the application has set the locale: the search runs while the fonts are
    // installed and the window is built.
    viewerApp.StartInstallationSearch();
    velmora::InstallDialogFonts();
    viewerApp.InitInstance();
    return 0;
}
