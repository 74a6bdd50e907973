// The program's dialog templates, 102 (the main dialog) and 103 (the effect dialog).
#pragma once

#include <string_view>

#include "ui/DialogTemplate.h"
#include "resources/ResourceIds.h"

namespace velmora {

// Both templates name this font; InstallDialogFonts (DialogFonts.h) maps it to an
// installed one.
inline constexpr std::string_view DialogFontName = "ＭＳ Ｐゴシック";
inline constexpr int DialogFontPointSize = 9;

const DialogTemplate& MainDialogTemplate();
const DialogTemplate& EffectDialogTemplate();

} // namespace velmora
