#pragma once
// Starting a program that outlives the launcher and owes it nothing: its own session, no
// inherited descriptors, no shell, never a zombie.

#include <optional>
#include <string>

namespace jolstrand {

/// Runs executable with no arguments, detached. Returns the error's description when it could
/// not be started.
[[nodiscard]] std::optional<std::string> startDetached(const std::string& executable);

}  // namespace jolstrand
