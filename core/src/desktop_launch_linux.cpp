#include "jolstrand/desktop_launch.hpp"

#include "desktop_key_file.hpp"

namespace jolstrand {
namespace {

using detail::booleanValue;
using detail::GlibText;
using detail::GlibTextList;
using detail::localeValue;

constexpr std::string_view desktopExtension = ".desktop";

std::string quoted(const std::string& text) {
  const GlibText quote(g_shell_quote(text.c_str()));
  return quote.get();
}

// The Exec value with its field codes expanded for a launch without files or addresses: the
// file and address codes (and the deprecated ones) vanish, %i gives "--icon ICON", %c the name,
// %k the entry's own path and %% a percent sign.
std::string expandFieldCodes(std::string_view exec, const std::string& name,
                             const std::string& icon, const std::string& path) {
  std::string out;
  out.reserve(exec.size());
  for (std::size_t i = 0; i < exec.size(); ++i) {
    if (exec[i] != '%') {
      out += exec[i];
      continue;
    }
    if (++i == exec.size()) break;
    switch (exec[i]) {
      case '%':
        out += '%';
        break;
      case 'i':
        if (!icon.empty()) out += "--icon " + quoted(icon);
        break;
      case 'c':
        out += quoted(name);
        break;
      case 'k':
        out += quoted(path);
        break;
      default:
        break;
    }
  }
  return out;
}

std::string fileNameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool isDesktopEntry(const std::string& path) {
  return path.size() > desktopExtension.size() && path.ends_with(desktopExtension);
}

std::variant<DesktopLaunch, std::string> readDesktopLaunch(const std::string& path) {
  auto loaded = detail::loadDesktopEntryFile(path);
  if (auto* reason = std::get_if<std::string>(&loaded)) return std::move(*reason);
  GKeyFile* file = std::get<detail::KeyFile>(loaded).get();

  DesktopLaunch launch;
  launch.terminal = booleanValue(file, "Terminal");
  if (booleanValue(file, "DBusActivatable")) {
    const std::string name = fileNameOf(path);
    launch.busName = name.substr(0, name.size() - desktopExtension.size());
  }
  const std::string exec = detail::stringValue(file, "Exec");
  if (exec.empty()) {
    if (launch.busName) return launch;
    return std::string("it has no Exec line");
  }
  const std::string commandLine =
      expandFieldCodes(exec, localeValue(file, "Name"), localeValue(file, "Icon"), path);
  int count = 0;
  char** argv = nullptr;
  GError* error = nullptr;
  if (!g_shell_parse_argv(commandLine.c_str(), &count, &argv, &error)) {
    std::string reason = "its Exec line cannot be read: " + std::string(error->message);
    g_error_free(error);
    if (launch.busName) return launch;
    return reason;
  }
  const GlibTextList arguments(argv);
  launch.arguments.assign(argv, argv + count);
  return launch;
}

std::string desktopEntryIcon(const std::string& path) {
  auto loaded = detail::loadDesktopEntryFile(path);
  if (std::holds_alternative<std::string>(loaded)) return {};
  return localeValue(std::get<detail::KeyFile>(loaded).get(), "Icon");
}

}  // namespace jolstrand
