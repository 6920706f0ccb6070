#pragma once
// jolstrand-release: the maker's tool for cutting a release. Makes signing keys, signs archives,
// writes the signed update feed and checks signatures. Errors go to err with a specific message
// and exit status 1; a signature that does not verify prints "invalid signature" and exits 1.

#include <iosfwd>
#include <string>
#include <vector>

namespace jolstrand {

/// Runs the tool on its arguments (without the program name); returns the exit status.
int runReleaseTool(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                   std::ostream& err);

}  // namespace jolstrand
