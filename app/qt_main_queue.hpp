#pragma once
// The main queue on Qt's event loop: posted work runs on the thread of the application object.

#include "jolstrand/main_queue.hpp"

namespace jolstrand {

class QtMainQueue final : public MainQueue {
 public:
  void post(std::function<void()> task) override;

 protected:
  void postAfter(Seconds delay, std::function<void()> task) override;
};

}  // namespace jolstrand
