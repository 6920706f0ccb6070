#include "thread_hand_off.hpp"

#include <gtest/gtest.h>

#include <QSemaphore>
#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace jolstrand {
namespace {

// A queued task's last reference is dropped by whichever thread lets go of it last, which may be
// the sender after the receiver ran it. Qt's own synchronisation is invisible to ThreadSanitizer,
// and so is QSemaphore's here: under it, this test fails if the run is not published before the
// sender destroys what the task read.
TEST(ThreadHandOff, ATaskRunOnOneThreadMayBeDestroyedOnTheOther) {
  std::string seen;
  auto makeTask = [&seen] {
    return handedOver([&seen, text = std::string(64, 'x')] { seen = text; });
  };
  using Task = decltype(makeTask());
  std::atomic<Task*> handed = nullptr;
  QSemaphore created;
  QSemaphore ran;

  std::thread sender([&] {
    auto task = std::make_unique<Task>(makeTask());
    handed.store(task.get(), std::memory_order_relaxed);
    created.release();
    ran.acquire();
    task.reset();
  });
  created.acquire();
  (*handed.load(std::memory_order_relaxed))();
  ran.release();
  sender.join();

  EXPECT_EQ(seen, std::string(64, 'x'));
}

}  // namespace
}  // namespace jolstrand
