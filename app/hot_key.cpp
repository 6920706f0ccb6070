#include "hot_key.hpp"

namespace jolstrand {

HotKey::HotKey(std::function<void()> action)
    : action_(std::move(action)), platform_(makePlatform(action_)) {}

HotKey::~HotKey() = default;

std::int32_t HotKey::registerKey() {
  return platform_->grab();
}

}  // namespace jolstrand
