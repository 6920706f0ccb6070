#pragma once
// Starting a program that outlives the launcher and owes it nothing: its own session, no
// inherited descriptors, no shell, never a zombie.

#include <optional>
#include <string>
#include <vector>

namespace jolstrand {

/// Variables to set in a started program's environment, each "NAME=VALUE".
using EnvironmentAdditions = std::vector<std::string>;

/// Runs the executable file at path executable with the arguments (after its own name),
/// detached, in this process's environment with the additions. Returns the error's description
/// when it could not be started.
[[nodiscard]] std::optional<std::string> startDetached(
    const std::string& executable, const std::vector<std::string>& arguments = {},
    const EnvironmentAdditions& additions = {});

/// How a started program is handed an activation token: as XDG_ACTIVATION_TOKEN (Wayland) and
/// DESKTOP_STARTUP_ID (X11, and what GTK reads); nothing for an empty token.
[[nodiscard]] EnvironmentAdditions activationEnvironment(const std::string& token);

}  // namespace jolstrand
