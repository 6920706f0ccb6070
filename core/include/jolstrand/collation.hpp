#pragma once
// The order in which file lists sort names: a locale's collation, case not a primary
// difference, runs of digits compared by numeric value ("Tool 2" before "Tool 10"). A Collator
// is made for one locale, spelt as the environment spells it ("sv_SE.UTF-8"); an empty locale,
// C or POSIX give the root collation. Its comparisons are safe from any thread, several at once.
//
// The catalogue's order and the matcher's last tie-break use the process's collator through
// localizedStandardLess and localizedSortKey: the root collation until the program names its
// locale with Collator::useForProcess, once at start, before any comparison.

#include <memory>
#include <string>
#include <string_view>

namespace jolstrand {

class Collator {
 public:
  explicit Collator(std::string_view locale);
  Collator(const Collator&) = delete;
  Collator& operator=(const Collator&) = delete;
  ~Collator();

  /// True only when a sorts strictly before b.
  [[nodiscard]] bool less(std::string_view a, std::string_view b) const;

  /// A key whose plain byte order is the comparison's order: two names compare equal exactly
  /// when their keys are equal. For sorting many names against each other.
  [[nodiscard]] std::string sortKey(std::string_view name) const;

  /// Makes a collator for locale the process's. Once, at start, before any comparison.
  static void useForProcess(std::string_view locale);
  /// The process's collator.
  [[nodiscard]] static const Collator& process();

 private:
  struct Icu;
  std::unique_ptr<const Icu> icu_;
};

/// Collator::process().less(a, b).
[[nodiscard]] bool localizedStandardLess(std::string_view a, std::string_view b);

/// Collator::process().sortKey(name).
[[nodiscard]] std::string localizedSortKey(std::string_view name);

}  // namespace jolstrand
