#include "app/ViewerApp.h"

#include <memory>
#include <system_error>

#include "app/MainDialog.h"

namespace velmora {

void ViewerApp::StartInstallationSearch()
{
    try {
        installationSearch_ = std::async(std::launch::async, &MainDialog::SearchInstallation);
    } catch (const std::system_error&) {
    }
}

bool ViewerApp::InitInstance()
{
    // The dialog holds every table of the program; it lives until the routine returns.
    auto dialog = std::make_unique<MainDialog>();
    dialog->commandLinePath = startFile;
    dialog->installationSearch = std::move(installationSearch_);
    Dialog::SetMainWindow(dialog.get());
    dialog->DoModal();
    Dialog::SetMainWindow(nullptr);
    return false;
}

} // namespace velmora
