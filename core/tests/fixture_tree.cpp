#include "fixture_tree.hpp"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace jolstrand::testing {

namespace fs = std::filesystem;

FixtureTree::FixtureTree() {
  std::string pattern = (fs::temp_directory_path() / "jolstrand-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  root_ = fs::canonical(pattern).string();
  fs::permissions(root_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                             fs::perms::others_read | fs::perms::others_exec);
}

FixtureTree::~FixtureTree() {
  std::error_code ignored;
  // Give back every permission a test took away, so that everything can be removed.
  for (auto it = fs::recursive_directory_iterator(root_, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    if (!it->is_symlink(ignored))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  fs::remove_all(root_, ignored);
}

std::string FixtureTree::path(const std::string& relative) const {
  return relative.empty() ? root_ : root_ + "/" + relative;
}

std::string FixtureTree::bundle(const std::string& relative, const Info& info) {
  return bundleWithPlist(relative, infoPlist(info));
}

std::string FixtureTree::bundleWithPlist(const std::string& relative, const std::string& bytes) {
  file(relative + "/Contents/Info.plist", bytes);
  return path(relative);
}

std::string FixtureTree::folder(const std::string& relative) {
  fs::create_directories(path(relative));
  return path(relative);
}

std::string FixtureTree::file(const std::string& relative, const std::string& contents) {
  const fs::path target = path(relative);
  fs::create_directories(target.parent_path());
  std::ofstream(target, std::ios::binary) << contents;
  return target.string();
}

std::string FixtureTree::program(const std::string& relative, const std::string& contents) {
  const std::string at = file(relative, contents);
  fs::permissions(at, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                          fs::perms::others_read | fs::perms::others_exec);
  return at;
}

std::string FixtureTree::runnableBundle(const std::string& relative, const std::string& marker,
                                        Info info) {
  info.executable = "run";
  program(relative + "/Contents/MacOS/run", "#!/bin/sh\ntouch '" + path(marker) + "'\n");
  return bundle(relative, info);
}

std::string FixtureTree::link(const std::string& relative, const std::string& target) {
  const fs::path at = path(relative);
  fs::create_directories(at.parent_path());
  fs::create_symlink(target, at);
  return at.string();
}

std::string contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace jolstrand::testing
