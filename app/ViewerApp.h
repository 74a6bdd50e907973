// The application object: its start routine builds the main dialog and runs it.
#pragma once

#include <future>
#include <string>

#include "app/MainDialog.h"

namespace velmora {

class ViewerApp {
public:
    // The data file named on the command line, loaded at start; "" for none.
    std::string startFile;

    // Starts the search for the installation on a thread of its own, for the main dialog
    // to take once it is built (nothing when no thread can be started).
    void StartInstallationSearch();

    // Runs the main dialog modally until it is closed; answers false, so the program
    // ends when it returns.
    bool InitInstance();

private:
    std::future<MainDialog::InstallationSearch> installationSearch_;
};

} // namespace velmora
