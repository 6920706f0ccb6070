#pragma once
// What the program says about itself without starting anything: --help (its modes, flags,
// environment and files, in the platform's words), --version (from its own Info.plist) and the
// one-line usage that follows a refused argument.

#include <ostream>

#include "program_info.hpp"

namespace jolstrand {

void printHelp(std::ostream& out);

/// "Jolstrand VERSION (build BUILD)", "?" for what the Info.plist lacks.
void printVersion(const ProgramInfo& program, std::ostream& out);

/// The one line that follows an error about the arguments.
void printUsage(std::ostream& out);

}  // namespace jolstrand
