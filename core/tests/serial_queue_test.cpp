#include "jolstrand/serial_queue.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <vector>

namespace jolstrand {
namespace {

TEST(SerialQueue, RunsTasksOneAtATimeInOrder) {
  std::vector<int> order;
  std::atomic<int> running = 0;
  bool overlapped = false;
  {
    SerialQueue queue("jolstrand.test");
    for (int i = 0; i < 100; ++i) {
      queue.async([&, i] {
        overlapped = overlapped || running.fetch_add(1) != 0;
        order.push_back(i);
        running.fetch_sub(1);
      });
    }
    queue.waitUntilIdle();
    EXPECT_EQ(order.size(), 100U);
  }
  EXPECT_FALSE(overlapped);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
}

TEST(SerialQueue, RunsEverythingQueuedBeforeItIsDestroyed) {
  std::atomic<int> ran = 0;
  {
    SerialQueue queue("jolstrand.test");
    queue.async([] { std::this_thread::sleep_for(std::chrono::milliseconds(20)); });
    for (int i = 0; i < 10; ++i) queue.async([&] { ++ran; });
  }
  EXPECT_EQ(ran, 10);
}

TEST(SerialQueue, DropsQueuedTasksThatHaveNotStarted) {
  std::promise<void> started;
  std::promise<void> release;
  std::atomic<int> ran = 0;
  {
    SerialQueue queue("jolstrand.test");
    queue.async([&, gate = release.get_future().share()] {
      started.set_value();
      gate.wait();
      ++ran;
    });
    for (int i = 0; i < 3; ++i) queue.async([&] { ran += 10; });
    started.get_future().wait();
    queue.dropPending();
    release.set_value();
    queue.async([&] { ran += 100; });  // queued afterwards: runs as usual
  }
  EXPECT_EQ(ran, 101);  // the running task finished; the three waiting ones never ran
}

TEST(SerialQueue, AcceptsTasksFromTheTasksThemselves) {
  std::atomic<int> ran = 0;
  SerialQueue queue("jolstrand.test");
  queue.async([&] { queue.async([&] { ++ran; }); });
  queue.waitUntilIdle();
  queue.waitUntilIdle();
  EXPECT_EQ(ran, 1);
}

}  // namespace
}  // namespace jolstrand
