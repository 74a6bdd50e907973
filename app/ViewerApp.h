// The application object: its start routine builds the main dialog and runs it.
#pragma once

namespace velmora {

class ViewerApp {
public:
    // Runs the main dialog modally until it is closed; answers false, so the program
    // ends when it returns.
    bool InitInstance();
};

} // namespace velmora
