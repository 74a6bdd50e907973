// The application object: its start routine builds the main dialog and runs it.
#pragma once

#include <string>

namespace velmora {

class ViewerApp {
public:
    // The data file named on the command line, loaded at start; "" for none.
    std::string startFile;

    // Runs the main dialog modally until it is closed; answers false, so the program
    // ends when it returns.
    bool InitInstance();
};

} // namespace velmora
