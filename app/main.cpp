// Velmora: a viewer for the technology tree in a strategy game's data file.
#include <QApplication>

#include "resources/DialogFonts.h"
#include "app/ViewerApp.h"

namespace {

velmora::ViewerApp viewerApp;

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName("velmora");
    QApplication::setApplicationDisplayName("Velmora");
    velmora::InstallDialogFonts();
    viewerApp.InitInstance();
    return 0;
}
