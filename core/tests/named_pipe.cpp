#include "named_pipe.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <future>
#include <stdexcept>

namespace jolstrand::testing {

std::string makeNamedPipe(const std::string& path) {
  if (mkfifo(path.c_str(), 0644) != 0) throw std::runtime_error("mkfifo failed: " + path);
  return path;
}

bool finishesWithoutWaitingOn(const std::string& pipe, const std::function<void()>& work) {
  using namespace std::chrono_literals;
  std::future<void> done = std::async(std::launch::async, work);
  if (done.wait_for(10s) == std::future_status::ready) {
    done.get();
    return true;
  }
  // Opening both ends and closing them again releases whoever is blocked in open(); a reader
  // then reads the end of the file, a writer gets EPIPE, which must not end the process.
  const auto oldHandler = std::signal(SIGPIPE, SIG_IGN);
  while (done.wait_for(50ms) != std::future_status::ready) {
    const int both = open(pipe.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (both >= 0) close(both);
  }
  done.get();
  std::signal(SIGPIPE, oldHandler);
  return false;
}

}  // namespace jolstrand::testing
