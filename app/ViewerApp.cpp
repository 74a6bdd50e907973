#include "app/ViewerApp.h"

#include <memory>

#include "app/MainDialog.h"

namespace velmora {

bool ViewerApp::InitInstance()
{
    // The dialog holds every table of the program; it lives until the routine returns.
    auto dialog = std::make_unique<MainDialog>();
    dialog->commandLinePath = startFile;
    Dialog::SetMainWindow(dialog.get());
    dialog->DoModal();
    Dialog::SetMainWindow(nullptr);
    return false;
}

} // namespace velmora
