// The font the dialog templates name, mapped to one that is installed.
#pragma once

#include <string>

namespace velmora {

// The family the dialog font name stands for here: IPAPGothic, a proportional Japanese
// gothic with the same metrics (package fonts-ipafont-gothic).
inline constexpr char DialogFontSubstitute[] = "IPAPGothic";

// Makes the dialog font name resolve to DialogFontSubstitute (on Windows, where the system
// maps fonts, to what ui/DialogFace.h chooses). To be called once the
// application object exists and before any dialog is built; calling it again does no
// harm. Answers the family the dialog font name now resolves to (another one when the
// substitute is not installed).
std::string InstallDialogFonts();

} // namespace velmora
