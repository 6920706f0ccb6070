#pragma once
// Tests of permission checks run as root in CI, and root may write anywhere. This asks a question
// as a user without that right: when the test runs as root, the folder and everything in it are
// handed to nobody, who answers from a child process.

#include <filesystem>
#include <functional>
#include <string>

namespace jolstrand::testing {

/// ask's answer, given by nobody when this process is root (the folder then belongs to nobody),
/// else by this process. An answer that could not be had reads "no answer: " and why.
[[nodiscard]] std::string answerWithoutPrivilege(const std::filesystem::path& folder,
                                                 const std::function<std::string()>& ask);

}  // namespace jolstrand::testing
