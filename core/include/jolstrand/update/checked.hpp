#pragma once
// The result of a step of the update engine that can fail: either its value or a message that
// says what was wrong, written to complete the sentence "the update stopped: ...".

#include <string>
#include <utility>
#include <variant>

namespace jolstrand {

template <typename T>
class [[nodiscard]] Checked {
 public:
  Checked(T value) : state_(std::in_place_index<0>, std::move(value)) {}  // NOLINT: implicit
  [[nodiscard]] static Checked failure(std::string message) {
    return Checked(std::in_place_index<1>, std::move(message));
  }

  [[nodiscard]] bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }
  /// The value; only when ok().
  [[nodiscard]] const T& value() const { return std::get<0>(state_); }
  [[nodiscard]] const T& operator*() const { return value(); }
  [[nodiscard]] const T* operator->() const { return &value(); }
  /// The message; only when not ok().
  [[nodiscard]] const std::string& error() const { return std::get<1>(state_); }

 private:
  template <std::size_t I>
  Checked(std::in_place_index_t<I> index, auto&& content)
      : state_(index, std::forward<decltype(content)>(content)) {}
  std::variant<T, std::string> state_;
};

}  // namespace jolstrand
