#pragma once
// Builds folder trees of application bundles in a temporary folder for tests, and removes them.

#include <string>

#include "info_plist_writer.hpp"

namespace jolstrand::testing {

/// The Info.plist of a test bundle.
using Info = tools::InfoPlist;

class FixtureTree {
 public:
  FixtureTree();
  FixtureTree(const FixtureTree&) = delete;
  FixtureTree& operator=(const FixtureTree&) = delete;
  ~FixtureTree();

  /// The absolute path of a path relative to the tree; the tree's own for "".
  [[nodiscard]] std::string path(const std::string& relative) const;

  /// Creates relative/Contents/Info.plist (and every folder on the way); returns the path.
  std::string bundle(const std::string& relative, const Info& info = {});
  /// Creates relative/Contents/Info.plist with exactly these bytes.
  std::string bundleWithPlist(const std::string& relative, const std::string& bytes);
  /// Creates the folder and every folder on the way.
  std::string folder(const std::string& relative);
  std::string file(const std::string& relative, const std::string& contents = {});
  /// Creates an executable file (a script, by its first line) with these contents.
  std::string program(const std::string& relative, const std::string& contents);
  /// Creates a bundle whose program, "run", creates the file marker (relative to the tree) when
  /// it runs; info's executable is set to it. Returns the bundle's path.
  std::string runnableBundle(const std::string& relative, const std::string& marker,
                             Info info = {});
  std::string link(const std::string& relative, const std::string& target);

 private:
  std::string root_;
};

/// Every byte of the file at path; empty when it cannot be read.
[[nodiscard]] std::string contents(const std::string& path);

/// The bytes of an Info.plist.
inline std::string infoPlist(const Info& info) {
  return tools::infoPlistBytes(info);
}

}  // namespace jolstrand::testing
