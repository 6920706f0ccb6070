#include "platform/accessory_app.hpp"

namespace jolstrand {

// Nothing to do: see the header.
void becomeAccessoryApplication() {}
void activateApplication() {}

}  // namespace jolstrand
