#include "synthetic_catalogue.hpp"

#include <array>
#include <random>

namespace jolstrand::bench {
namespace {

constexpr std::array words = {
    "Photo",   "Sound",    "Wave",      "Editor",  "Studio",  "Pro",    "Music",    "Notes",
    "Mail",    "Calendar", "Viewer",    "Maker",   "Code",    "Script", "Terminal", "Book",
    "Reader",  "Draw",     "Paint",     "Video",   "Player",  "Sync",   "Cloud",    "Drive",
    "Zip",     "Archive",  "Disk",      "Utility", "Monitor", "Chat",   "Map",      "Finder",
    "Capture", "Screen",   "Record",    "Font",    "Color",   "Pixel",  "Vector",   "Layout",
    "Café",    "Résumé",   "Übersicht", "Señal",   "Klänge",
};
constexpr std::array capitals = {"PDF", "HTML", "VPN", "XML", "SQL", "FTP", "GPU", "DNS"};
constexpr std::array cjk = {"\xE5\x86\x99\xE7\x9C\x9F", "\xE9\x9F\xB3\xE6\xA5\xBD",
                            "\xE3\x83\xA1\xE3\x83\xA2", "\xE7\xB7\xA8\xE9\x9B\x86",
                            "\xE8\xA8\x88\xE7\xAE\x97"};
constexpr std::array fullWidth = {"\xEF\xBC\xAD\xEF\xBC\xA1\xEF\xBC\xB0",
                                  "\xEF\xBC\xB4\xEF\xBC\xAF\xEF\xBC\xAF\xEF\xBC\xAC"};

template <class Array>
std::string pick(std::mt19937& random, const Array& choices) {
  return choices[std::uniform_int_distribution<std::size_t>(0, choices.size() - 1)(random)];
}

std::string makeName(std::mt19937& random) {
  const int shape = std::uniform_int_distribution(0, 99)(random);
  std::string name;
  if (shape < 3) return name.append(pick(random, cjk)).append(pick(random, cjk));
  if (shape < 5)
    return name.append(pick(random, fullWidth)).append(" ").append(pick(random, words));
  const int wordCount = std::uniform_int_distribution(1, 4)(random);
  for (int i = 0; i < wordCount; ++i) {
    const int kind = std::uniform_int_distribution(0, 9)(random);
    if (i > 0 && kind > 2) name += ' ';
    name += kind == 0 ? pick(random, capitals) : pick(random, words);  // kind 1, 2: camelCase
  }
  if (std::uniform_int_distribution(0, 4)(random) == 0) {
    name.append(" ").append(std::to_string(std::uniform_int_distribution(2, 2030)(random)));
  }
  return name;
}

}  // namespace

std::vector<SyntheticName> syntheticNames(std::size_t count) {
  std::mt19937 random(20261209);
  std::vector<SyntheticName> names;
  names.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    SyntheticName name{makeName(random), {}};
    const int others = std::uniform_int_distribution(1, 2)(random);
    for (int k = 0; k < others; ++k) name.otherNames.push_back(makeName(random));
    names.push_back(std::move(name));
  }
  return names;
}

std::vector<AppEntry> syntheticCatalogue(std::size_t count) {
  std::vector<AppEntry> entries;
  entries.reserve(count);
  std::size_t i = 0;
  for (const SyntheticName& name : syntheticNames(count)) {
    const std::string id = "com.example.app" + std::to_string(i++);
    entries.emplace_back(id, "/Applications/" + name.displayName + ".app", name.displayName,
                         name.otherNames);
  }
  return entries;
}

UsageScores syntheticUsage(const std::vector<AppEntry>& entries) {
  std::mt19937 random(7);
  UsageScores usage;
  for (const AppEntry& entry : entries) {
    if (std::uniform_int_distribution(0, 9)(random) == 0) {
      usage[entry.id()] = std::uniform_real_distribution(0.1, 40.0)(random);
    }
  }
  return usage;
}

}  // namespace jolstrand::bench
