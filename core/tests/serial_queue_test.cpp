#include "jolstrand/serial_queue.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
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
