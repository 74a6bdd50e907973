// The application a Win32 dialog test runs its dialogs in, with the dialog fonts installed
// as the program installs them.
#pragma once

#include "resources/DialogFonts.h"
#include "ui/Application.h"

namespace velmora {

class TestSession {
public:
    TestSession() { InstallDialogFonts(); }

private:
    int argc_ = 1;
    char name_[8] = "velmora";
    char* argv_[2] = {name_, nullptr};
    Application application_{argc_, argv_, "velmora", "Velmora"};
};

} // namespace velmora
