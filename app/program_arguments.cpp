#include "program_arguments.hpp"

#include <algorithm>
#include <array>
#include <string_view>

#include "window_arguments.hpp"

namespace jolstrand {
namespace {

// Qt's own options that a launcher may meet (from a desktop's session manager, or a user who
// wants XWayland), the first group followed by a value.
constexpr std::array<std::string_view, 14> qtOptionsWithValue = {
    "platform", "platformpluginpath", "platformtheme", "plugin",     "display",
    "style",    "stylesheet",         "session",       "name",       "title",
    "geometry", "qwindowgeometry",    "qwindowtitle",  "qwindowicon"};
constexpr std::array<std::string_view, 2> qtFlags = {"reverse", "sync"};

template <std::size_t N>
bool listed(const std::array<std::string_view, N>& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// The option's name without its one or two dashes; empty when it is no option of Qt's form.
std::string_view qtOptionName(std::string_view argument) {
  if (argument.starts_with("--")) return argument.substr(2);
  if (argument.starts_with("-")) return argument.substr(1);
  return {};
}

bool contains(const std::vector<std::string>& args, std::string_view flag) {
  return std::find(args.begin() + (args.empty() ? 0 : 1), args.end(), flag) != args.end();
}

}  // namespace

std::optional<std::variant<IconsRequest, std::string>> iconsRequest(
    const std::vector<std::string>& args) {
  if (!contains(args, "--icons")) return std::nullopt;
  constexpr int largest = 1024;
  IconsRequest request;
  bool sized = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& argument = args[i];
    if (argument == "--icons") continue;
    if (argument == "--icon-theme") {
      if (++i == args.size() || args[i].empty()) return "--icon-theme needs a theme's name";
      request.theme = args[i];
      continue;
    }
    const bool digits =
        !argument.empty() && argument.size() <= 4 &&
        std::all_of(argument.begin(), argument.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (digits && !sized && std::stoi(argument) >= 1 && std::stoi(argument) <= largest) {
      request.pixels = std::stoi(argument);
      sized = true;
      continue;
    }
    if (digits) return "--icons takes one size, from 1 to " + std::to_string(largest) + " pixels";
    return "unknown argument '" + argument + "'";
  }
  return request;
}

ProgramChoice chooseMode(const std::vector<std::string>& args) {
  if (contains(args, "--list") || contains(args, "--query")) return {ProgramMode::commandLine, {}};
  if (const auto icons = iconsRequest(args)) {
    if (const auto* problem = std::get_if<std::string>(&*icons)) {
      return {ProgramMode::refused, *problem};
    }
    return {ProgramMode::icons, {}};
  }
  if (contains(args, "--help") || contains(args, "-h")) return {ProgramMode::help, {}};
  if (contains(args, "--version")) return {ProgramMode::version, {}};
  if (contains(args, "--self-test")) return {ProgramMode::selfTest, {}};
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& argument = args[i];
    if (listed(windowArguments, argument)) continue;
    const std::string_view qtName = qtOptionName(argument);
    if (listed(qtFlags, qtName)) continue;
    if (listed(qtOptionsWithValue, qtName)) {
      if (++i == args.size()) return {ProgramMode::refused, argument + " needs a value"};
      continue;
    }
    return {ProgramMode::refused, "unknown argument '" + argument + "'"};
  }
  return {ProgramMode::launcher, {}};
}

}  // namespace jolstrand
