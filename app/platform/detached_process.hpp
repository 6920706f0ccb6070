#pragma once
// Starting a program that outlives the launcher and owes it nothing: its own session, no
// inherited descriptors, no shell, never a zombie.

#include <optional>
#include <string>
#include <vector>

namespace jolstrand {

/// Runs the executable file at path executable with the arguments (after its own name),
/// detached. Returns the error's description when it could not be started.
[[nodiscard]] std::optional<std::string> startDetached(
    const std::string& executable, const std::vector<std::string>& arguments = {});

}  // namespace jolstrand
