// Arbitrary bytes as a desktop entry file: reading them, deciding whether the menu shows the
// entry, and reading how it would be launched may never crash, hang or throw.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "desktop_entries.hpp"
#include "jolstrand/desktop_launch.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  jolstrand::detail::MenuContext context("GNOME:Fuzz", "/bin");
  const auto read =
      jolstrand::detail::readDesktopEntry("fuzz.desktop", "/fuzz.desktop", bytes, context);
  if (read.entry && read.malformed) __builtin_trap();               // one outcome at a time
  if (read.entry && read.entry->names().empty()) __builtin_trap();  // a Name always gives one

  // The launch reads the file from disk: one scratch file per fuzzing process.
  static const std::string path =
      "/tmp/desktop_entry_fuzz." + std::to_string(getpid()) + ".desktop";
  if (FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    const auto launch = jolstrand::readDesktopLaunch(path);
    if (const auto* ready = std::get_if<jolstrand::DesktopLaunch>(&launch)) {
      if (ready->arguments.empty() && !ready->busName) __builtin_trap();
    }
  }
  return 0;
}
