#pragma once
// Files inside an application bundle that opening it and showing it need, named by its
// Info.plist. A name that would lead out of its folder ("../x", "a/b") is no name at all.

#include <optional>
#include <string>

namespace jolstrand {

/// bundle/Contents/MacOS/<CFBundleExecutable>, when the Info.plist names one.
[[nodiscard]] std::optional<std::string> bundleExecutable(const std::string& bundlePath);

/// bundle/Contents/Resources/<CFBundleIconFile>, with ".icns" added when it has no extension.
[[nodiscard]] std::optional<std::string> bundleIconFile(const std::string& bundlePath);

}  // namespace jolstrand
