#pragma once
// One environment variable set (or removed) for the life of a scope and put back as it was,
// value or absence, when the scope ends, also when a failed assertion leaves the test early.
// For the few tests that exercise reading the process environment itself.

#include <cstdlib>
#include <optional>
#include <string>

namespace jolstrand::testing {

class ScopedVariable {
 public:
  /// Sets name to value; none removes it.
  ScopedVariable(std::string name, const std::optional<std::string>& value)
      : name_(std::move(name)) {
    if (const char* before = std::getenv(name_.c_str())) saved_ = before;
    apply(value);
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;
  ~ScopedVariable() { apply(saved_); }

 private:
  void apply(const std::optional<std::string>& value) const {
    if (value) {
      setenv(name_.c_str(), value->c_str(), 1);
    } else {
      unsetenv(name_.c_str());
    }
  }

  std::string name_;
  std::optional<std::string> saved_;
};

}  // namespace jolstrand::testing
