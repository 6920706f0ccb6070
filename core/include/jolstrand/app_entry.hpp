#pragma once
// One catalogue application and the searchable forms of its names. Both types are immutable
// values, prepared once when built so that matching only compares stored characters; they may
// be shared freely between threads.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "jolstrand/text.hpp"

namespace jolstrand {

/// What a name is to the application it belongs to. Desktop entries describe more than they
/// name: a generic name says what sort of program it is and keywords what it is about, words
/// that many entries share. So a match on an application's own name counts for more than one on
/// its generic name, and that for more than one on a keyword. A bundle's names are all names.
enum class NameKind : std::uint8_t { name, genericName, keyword };

/// One name in searchable form.
struct SearchName {
  /// Builds the folded form, the folded words and their initials of a name.
  explicit SearchName(std::string_view name, NameKind nameKind = NameKind::name);

  Characters folded;              ///< the whole name after fold, spaces and punctuation kept
  std::vector<Characters> words;  ///< the name's words, each folded; none is empty
  Characters initials;            ///< the first character of each word
  NameKind kind;

  friend bool operator==(const SearchName&, const SearchName&) = default;
};

/// A name of an application besides its display name, and what it is to it.
struct OtherName {
  std::string text;
  NameKind kind = NameKind::name;
};

/// One installed application.
class AppEntry {
 public:
  /// Stores id, path and display name unchanged and prepares every distinct name: the display
  /// name first, then the other names in order, leaving out names that fold to nothing or to
  /// the folded form of an earlier one. All of them are of the kind `name`.
  AppEntry(std::string id, std::string path, std::string displayName,
           const std::vector<std::string>& otherNames = {});

  /// The same for names of several kinds (the display name is a `name`). A name that comes
  /// again as a stronger kind keeps its place and takes the stronger kind. madeForCurrentDesktop:
  /// the application is made for the desktop in use (a desktop entry's OnlyShowIn names it).
  AppEntry(std::string id, std::string path, std::string displayName,
           const std::vector<OtherName>& otherNames, bool madeForCurrentDesktop);

  /// The identity: the key of the launch history, unique within a catalogue.
  [[nodiscard]] const std::string& id() const { return id_; }
  /// The bundle's absolute path.
  [[nodiscard]] const std::string& path() const { return path_; }
  [[nodiscard]] const std::string& displayName() const { return displayName_; }
  /// Every distinct searchable name; possibly empty.
  [[nodiscard]] const std::vector<SearchName>& names() const { return names_; }
  [[nodiscard]] bool madeForCurrentDesktop() const { return madeForCurrentDesktop_; }

  /// A copy with another id; nothing else is recomputed.
  [[nodiscard]] AppEntry withID(std::string id) const;

  friend bool operator==(const AppEntry&, const AppEntry&) = default;

 private:
  std::string id_;
  std::string path_;
  std::string displayName_;
  std::vector<SearchName> names_;
  bool madeForCurrentDesktop_ = false;
};

}  // namespace jolstrand

template <>
struct std::hash<jolstrand::SearchName> {
  std::size_t operator()(const jolstrand::SearchName& name) const noexcept;
};

template <>
struct std::hash<jolstrand::AppEntry> {
  std::size_t operator()(const jolstrand::AppEntry& entry) const noexcept;
};
