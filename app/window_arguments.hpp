#pragma once
// The command-line arguments that open a window once when the launcher starts. A restart into an
// updated version leaves them out, so those windows do not open again.

#include <array>
#include <string_view>

namespace jolstrand {

inline constexpr std::string_view setupArgument = "--setup";
inline constexpr std::string_view aboutArgument = "--about";
inline constexpr std::string_view supportReminderArgument = "--support-reminder";

inline constexpr std::array<std::string_view, 3> windowArguments = {setupArgument, aboutArgument,
                                                                    supportReminderArgument};

}  // namespace jolstrand
