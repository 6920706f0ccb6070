#pragma once
// Trying an unpacked update's program before it is put in place: a release for another
// architecture, or one that needs newer system libraries than this machine has, verifies like any
// other and would leave an installation that no longer starts.
//
// The program runs with --self-test, which needs no display: it loads its launcher module and
// prints "Jolstrand VERSION (build N)". It runs without the display variables, with standard input
// from /dev/null, and is killed when it takes longer than the time allowed. Blocking; any thread.

#include <optional>
#include <string>
#include <string_view>

namespace jolstrand {

/// The argument that makes the program check itself.
inline constexpr char selfTestArgument[] = "--self-test";

/// None when program ran its self-test, exited 0 and reported build expectedBuild; otherwise
/// what went wrong, quoting what it printed (control characters escaped).
[[nodiscard]] std::optional<std::string> checkStagedProgram(const std::string& program,
                                                            std::string_view expectedBuild,
                                                            int timeoutMs = 30'000);

}  // namespace jolstrand
