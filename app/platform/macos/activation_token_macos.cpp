// macOS: the workspace activates what it opens; no token is needed.

#include "platform/activation_token.hpp"

namespace jolstrand {

std::string activationTokenFor(QWidget& /*panel*/, const std::string& /*appId*/,
                               quint64 /*eventTime*/) {
  return {};
}

}  // namespace jolstrand
