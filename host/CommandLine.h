// The start of a command-line program: its arguments as UTF-8 and standard streams that
// pass bytes unchanged.
#pragma once

namespace velmora {

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
