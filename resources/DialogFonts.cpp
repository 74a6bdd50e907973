#include "resources/DialogFonts.h"

#include "resources/DialogTemplates.h"
#include "ui/Application.h"

namespace velmora {

std::string InstallDialogFonts()
{
    return Application::SubstituteFont(DialogFontName, DialogFontSubstitute, DialogFontPointSize);
}

} // namespace velmora
