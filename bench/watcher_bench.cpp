// The folder watcher under load: a burst of 10,000 file creations (CPU time the watcher spends
// per change, and how long after the last change the signal comes, beyond the quiet period), and
// the time to set up the watches over a tree. Usage: watcher_bench [TREE]

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "jolstrand/folder_watcher.hpp"
#include "jolstrand/simple_main_queue.hpp"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

double cpuSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void burst(const fs::path& root) {
  constexpr double quiet = 1.0;
  jolstrand::SimpleMainQueue queue;
  int signals = 0;
  Clock::time_point signalled;
  fs::create_directories(root);
  jolstrand::FolderWatcher watcher(queue, {root.string()}, quiet, [&] {
    ++signals;
    signalled = Clock::now();
  });
  watcher.waitUntilWatching();

  Clock::time_point lastChange;
  double writerCpu = 0;
  const double before = cpuSeconds(RUSAGE_SELF);
  std::thread writer([&] {
    const double start = cpuSeconds(RUSAGE_THREAD);
    for (int folder = 0; folder < 100; ++folder) {
      const fs::path dir = root / ("Vendor" + std::to_string(folder % 10)) /
                           ("Suite" + std::to_string(folder) + ".app") / "Contents";
      fs::create_directories(dir);
      for (int file = 0; file < 100; ++file) std::ofstream(dir / ("f" + std::to_string(file)));
    }
    lastChange = Clock::now();
    writerCpu = cpuSeconds(RUSAGE_THREAD) - start;
  });
  queue.runUntil([&] { return signals > 0; }, 60s);
  writer.join();
  const double watcherCpu = cpuSeconds(RUSAGE_SELF) - before - writerCpu;
  const double late = std::chrono::duration<double>(signalled - lastChange).count() - quiet;
  std::printf("burst: 10,000 files in 100 new folders -> %d signal(s)\n", signals);
  std::printf("  watcher CPU (all threads, main loop included): %.1f ms, %.2f us per change\n",
              watcherCpu * 1e3, watcherCpu * 1e6 / 10'100);
  std::printf("  signal after the last change, beyond the quiet period: %.3f s\n", late);
}

void setUp(const fs::path& tree) {
  std::size_t folders = 0;
  for (const char* root : {"Applications", "Home/Applications"}) {
    if (!fs::exists(tree / root)) continue;
    ++folders;
    for (auto it = fs::recursive_directory_iterator(tree / root); it != fs::end(it); ++it) {
      if (it->is_directory() && !it->is_symlink()) ++folders;
    }
  }
  jolstrand::SimpleMainQueue queue;
  const auto start = Clock::now();
  jolstrand::FolderWatcher watcher(
      queue, {(tree / "Applications").string(), (tree / "Home/Applications").string()}, 1.0, [] {});
  const auto constructed = Clock::now();
  watcher.waitUntilWatching();
  const auto ready = Clock::now();
  std::printf("set-up over %s: %zu watches, constructor %.3f ms, ready after %.1f ms\n",
              tree.c_str(), folders,
              std::chrono::duration<double, std::milli>(constructed - start).count(),
              std::chrono::duration<double, std::milli>(ready - start).count());
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path scratch =
      fs::temp_directory_path() / ("watcher-bench-" + std::to_string(getpid()));
  burst(scratch / "burst");
  fs::remove_all(scratch);
  if (argc > 1) setUp(argv[1]);
  return 0;
}
