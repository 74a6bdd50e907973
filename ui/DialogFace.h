// The face a dialog is drawn in where the system decides what fonts stand for (Windows, and
// Wine): the template's face when the system has it, or maps it to a face it has (Windows'
// FontSubstitutes, Wine's font replacements); otherwise the face the system's dialog font
// "MS Shell Dlg 2" stands for (Tahoma), then "MS Shell Dlg"'s, then the first of a few
// common interface faces that is installed. Never the face the font mapper would pick
// for a name it does not know, which may be any installed font (a mathematics font, seen).
// The template's point size is kept whatever the face. Elsewhere the program maps the
// template's face itself (Application::SubstituteFont).
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace velmora {

// What the system knows of its fonts.
struct FontCatalog {
    // Whether a face of this name is installed (or made to look installed, as Wine's
    // replacements do).
    std::function<bool(std::string_view face)> installed;
    // The face the system maps this name to; "" when it maps it to none.
    std::function<std::string(std::string_view face)> substitute;
};

std::string ChooseDialogFace(std::string_view templateFace, const FontCatalog& system);

} // namespace velmora
