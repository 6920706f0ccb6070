#pragma once
// Work handed from one thread to another through Qt's event queue or thread pool, made visible
// to ThreadSanitizer. Qt is not built with it, so the lock inside those queues is invisible and
// whatever one thread hands over would look raced when the other uses it. handedOver(task)
// tells TSan that everything the sending thread did before (the task's own copy included)
// happens before the task runs or is destroyed, and that the run happens before the
// destruction, wherever Qt does it; elsewhere it is the task itself. A pool's task
// goes through startHandedOver(), as the pool would copy a plain task where TSan cannot see.

#include <QRunnable>
#include <QThreadPool>
#include <utility>

#if defined(__SANITIZE_THREAD__)
#define JOLSTRAND_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define JOLSTRAND_THREAD_SANITIZER 1
#endif
#endif

#if defined(JOLSTRAND_THREAD_SANITIZER)
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
#endif

namespace jolstrand {

#if defined(JOLSTRAND_THREAD_SANITIZER)

// One clock for every hand-off, as the queues share their locks: releasing it publishes the
// thread's past, acquiring it makes that past the receiver's.
inline char handOffClock = 0;

template <class Task>
class HandedOver {
 public:
  explicit HandedOver(Task task) : task_(std::move(task)) { __tsan_release(&handOffClock); }
  // Qt copies or moves the task into its own storage after the sender wrapped it.
  HandedOver(const HandedOver& other) : task_(other.task_) { __tsan_release(&handOffClock); }
  HandedOver(HandedOver&& other) noexcept : task_(std::move(other.task_)) {
    __tsan_release(&handOffClock);
  }
  HandedOver& operator=(const HandedOver&) = delete;
  HandedOver& operator=(HandedOver&&) = delete;
  ~HandedOver() { __tsan_acquire(&handOffClock); }  // also when the task is dropped unrun

  decltype(auto) operator()() {
    __tsan_acquire(&handOffClock);
    // Qt may destroy the task on the sending thread after it ran here, when that thread drops
    // its reference last: publish what the task did, so its destruction sees it.
    struct ReleaseWhenDone {
      ReleaseWhenDone() = default;
      ReleaseWhenDone(const ReleaseWhenDone&) = delete;
      ReleaseWhenDone& operator=(const ReleaseWhenDone&) = delete;
      ~ReleaseWhenDone() { __tsan_release(&handOffClock); }
    } releaseWhenDone;
    return task_();
  }

 private:
  Task task_;
};

template <class Task>
HandedOver<Task> handedOver(Task task) {
  return HandedOver<Task>(std::move(task));
}

#else

template <class Task>
Task handedOver(Task task) {
  return task;
}

#endif

/// Runs task on pool. The runnable is made here, so the pool only passes its address on.
template <class Task>
void startHandedOver(QThreadPool& pool, Task task) {
  class Runnable final : public QRunnable {
   public:
    explicit Runnable(Task task) : task_(handedOver(std::move(task))) {}
    void run() override { task_(); }

   private:
    decltype(handedOver(std::declval<Task>())) task_;
  };
  pool.start(new Runnable(std::move(task)));
}

}  // namespace jolstrand
