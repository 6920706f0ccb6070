// macOS: the window server's list and the screens; the panel goes where its geometry says.

#include "platform/screen_sources.hpp"
#include "platform/window_system.hpp"

namespace jolstrand {
namespace {

class MacWindowSystem final : public WindowSystem {
 public:
  ScreenSnapshot snapshot() override { return currentScreenSnapshot(); }
  void place(QWidget& /*panel*/, const QRect& /*frame*/) override {}
};

}  // namespace

std::unique_ptr<WindowSystem> makeWindowSystem(const Environment& /*environment*/) {
  return std::make_unique<MacWindowSystem>();
}

}  // namespace jolstrand
