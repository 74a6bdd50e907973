#include "ui/DialogFace.h"

namespace velmora {

namespace {

// Faces of the system's own interface, in the order they are tried when the system's dialog
// fonts name none that is installed (Tahoma is what they name).
constexpr std::string_view CommonFaces[] = {"Segoe UI", "Microsoft Sans Serif", "Arial", "Liberation Sans", "DejaVu Sans"};

} // namespace

std::string ChooseDialogFace(std::string_view templateFace, const FontCatalog& system)
{
    // The name itself, or what the system maps it to, when installed.
    const auto usable = [&system](std::string_view face) {
        if (face.empty())
            return false;
        const std::string substitute = system.substitute(face);
        return system.installed(face) || (!substitute.empty() && system.installed(substitute));
    };
    if (usable(templateFace))
        return std::string(templateFace);
    for (std::string_view dialogFont : {"MS Shell Dlg 2", "MS Shell Dlg"}) {
        const std::string face = system.substitute(dialogFont);
        if (!face.empty() && system.installed(face))
            return face;
    }
    for (std::string_view face : CommonFaces) {
        if (system.installed(face))
            return std::string(face);
    }
    return std::string(templateFace);
}

} // namespace velmora
