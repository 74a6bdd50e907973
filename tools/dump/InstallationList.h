// What `velmora-dump --list-installations` prints: every installation found, in the order
// searched, as text (one a line) or as JSON.
#pragma once

#include <ostream>

#include "host/Result.h"

namespace velmora {

// Writes each installation SearchInstallations finds as it is found, every place visited.
// Text: one line each, its fields separated by tabs, every field as Visible shows it:
// the prefix ("-" on Windows), the tool that keeps it, the installation folder as the
// registry names it and as found on this machine, "data file: yes" (or "no") and the same
// for each language module by its file name, in the order they are loaded, and last
// "used" for the one the viewer and the dump would use, "not used: an earlier one is
// used", or "passed over: " and why. JSON: an array of objects with the same facts
// (prefix, tool, folder, hostFolder, dataFile, languageModules by name, used, whyNotUsed),
// and a path that is not UTF-8 also as its bytes, in prefixBytes, folderBytes or
// hostFolderBytes: a text of the characters U+0000 to U+00FF, one for each byte.
// A failure when none would be used, saying why, place by place.
Result<void> WriteInstallationList(std::ostream& out, bool json);

} // namespace velmora
