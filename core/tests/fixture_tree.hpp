#pragma once
// Builds folder trees of application bundles in a temporary folder for tests, and removes them.

#include <optional>
#include <string>
#include <variant>

namespace jolstrand::testing {

/// The Info.plist of a test bundle; unset keys are left out.
struct Info {
  std::optional<std::string> identifier;
  std::optional<std::string> displayName;
  std::optional<std::string> name;
  std::variant<std::monostate, bool, long, std::string> backgroundOnly;
  bool binary = false;
};

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
  std::string link(const std::string& relative, const std::string& target);

 private:
  std::string root_;
};

/// The bytes of an Info.plist.
std::string infoPlist(const Info& info);

}  // namespace jolstrand::testing
