// Velmora: a viewer for the technology tree in a strategy game's data file.
#include "app/ViewerApp.h"
#include "resources/DialogFonts.h"
#include "ui/Application.h"

namespace {

velmora::ViewerApp viewerApp;

} // namespace

int main(int argc, char** argv)
{
    velmora::Application application(argc, argv, "velmora", "Velmora");
    velmora::InstallDialogFonts();
    viewerApp.InitInstance();
    return 0;
}
