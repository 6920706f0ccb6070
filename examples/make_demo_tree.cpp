// Builds the demo catalogue from its manifest: make_demo_tree MANIFEST OUT. Every bundle gets a
// Contents/MacOS script so that opening it works on Linux too. OUT is replaced whole.

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "info_plist_writer.hpp"

namespace fs = std::filesystem;

namespace {

std::string trimmed(const std::string& text) {
  const std::size_t start = text.find_first_not_of(" \t");
  if (start == std::string::npos) return {};
  return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

std::vector<std::string> fields(const std::string& line) {
  std::vector<std::string> out;
  std::stringstream stream(line);
  for (std::string field; std::getline(stream, field, '|');) out.push_back(trimmed(field));
  out.resize(5);
  return out;
}

std::optional<std::string> nonEmpty(const std::string& text) {
  return text.empty() ? std::nullopt : std::optional(text);
}

void writeFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

void makeBundle(const fs::path& bundle, const std::vector<std::string>& field) {
  const std::string& options = field[4];
  fs::create_directories(bundle);
  if (options.find("noplist") != std::string::npos) return;
  const std::string name = field[2].empty() ? bundle.stem().string() : field[2];
  jolstrand::tools::InfoPlist info;
  info.identifier = nonEmpty(field[1]);
  info.displayName = nonEmpty(field[3]);
  info.name = nonEmpty(field[2]);
  info.binary = options.find("binary") != std::string::npos;
  if (options.find("background") != std::string::npos) info.backgroundOnly = true;
  info.executable = "launch";
  writeFile(bundle / "Contents/Info.plist", jolstrand::tools::infoPlistBytes(info));
  const fs::path executable = bundle / "Contents/MacOS/launch";
  writeFile(executable, "#!/bin/sh\necho \"" + name + " is running (a Jolstrand demo bundle)\"\n");
  fs::permissions(executable,
                  fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                  fs::perm_options::add);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_demo_tree MANIFEST OUT\n";
    return 2;
  }
  std::ifstream manifest(argv[1]);
  if (!manifest) {
    std::cerr << "make_demo_tree: can't read " << argv[1] << "\n";
    return 1;
  }
  const fs::path out = argv[2];
  fs::remove_all(out);
  fs::create_directories(out);
  for (std::string line; std::getline(manifest, line);) {
    line = trimmed(line);
    if (line.empty() || line.starts_with('#')) continue;
    if (line.starts_with("link ")) {
      const std::size_t arrow = line.find(" -> ");
      const fs::path link = out / trimmed(line.substr(5, arrow - 5));
      fs::create_directories(link.parent_path());
      fs::create_symlink(trimmed(line.substr(arrow + 4)), link);
      continue;
    }
    const std::vector<std::string> field = fields(line);
    makeBundle(out / field[0], field);
  }
  return 0;
}
