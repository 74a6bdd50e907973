// What `velmora-dump --list-installations` prints: every installation found, one a line.
#pragma once

#include <ostream>
#include <string>

namespace velmora {

// Writes one line per installation FindInstallations() finds, its fields separated by tabs:
// the prefix ("-" on Windows), the tool that keeps it, the installation folder as the
// registry names it and as found on this machine, then "data file: yes" (or "no") and the
// same for each language module by its file name, in the order they are loaded. False when
// none was found, with `failure` saying why.
bool WriteInstallationList(std::ostream& out, std::string& failure);

} // namespace velmora
