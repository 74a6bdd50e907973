// The start of a command-line program: its arguments as UTF-8 and standard streams that
// pass bytes unchanged; and where a program's answer to its command line goes.
#pragma once

#include <string_view>

namespace velmora {

// Writes a program's answer to its command line (--help, --version, a usage error) where
// the user who started it sees it: to standard output, or standard error when `error`.
// On Windows a program without a console of its own (the dialog program) writes to the
// console of the shell it was started from, unless its output goes to a file or a pipe;
// started with no console at all (from Explorer or a shortcut) it shows the text in a
// message box titled `title` instead.
void TellUser(std::string_view text, bool error, std::string_view title);

#ifdef _WIN32
// Replaces argc and argv with the arguments of the wide command line converted to UTF-8
// (the narrow ones the runtime gives are in the ANSI code page, which cannot hold every
// folder name), and puts standard output and error into binary mode, so "\n" is written
// as it is; a console shows the output as UTF-8.
void PrepareCommandLine(int& argc, char**& argv);
#else
inline void PrepareCommandLine(int& /*argc*/, char**& /*argv*/) {}
#endif

} // namespace velmora
