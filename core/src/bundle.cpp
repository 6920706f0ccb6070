#include "jolstrand/bundle.hpp"

#include "bundle_info.hpp"

namespace jolstrand {
namespace {

bool isPlainFileName(const std::optional<std::string>& name) {
  return name && !name->empty() && *name != "." && *name != ".." &&
         name->find('/') == std::string::npos && name->find('\0') == std::string::npos;
}

}  // namespace

std::optional<std::string> bundleExecutable(const std::string& bundlePath) {
  const auto info = detail::readBundleInfo(bundlePath);
  if (!isPlainFileName(info.executable)) return std::nullopt;
  return bundlePath + "/Contents/MacOS/" + *info.executable;
}

std::optional<std::string> bundleIconFile(const std::string& bundlePath) {
  const auto info = detail::readBundleInfo(bundlePath);
  if (!isPlainFileName(info.iconFile)) return std::nullopt;
  const bool hasExtension = info.iconFile->find('.') != std::string::npos;
  return bundlePath + "/Contents/Resources/" + *info.iconFile + (hasExtension ? "" : ".icns");
}

}  // namespace jolstrand
