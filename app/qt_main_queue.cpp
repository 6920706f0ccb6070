#include "qt_main_queue.hpp"

#include <QCoreApplication>
#include <QTimer>
#include <chrono>

#include "thread_hand_off.hpp"

namespace jolstrand {

void QtMainQueue::post(std::function<void()> task) {
  QMetaObject::invokeMethod(QCoreApplication::instance(), handedOver(std::move(task)),
                            Qt::QueuedConnection);
}

void QtMainQueue::postAfter(Seconds delay, std::function<void()> task) {
  const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(delay);
  // Timers belong to the thread that starts them: start this one on the main thread.
  post([milliseconds, task = std::move(task)]() mutable {
    QTimer::singleShot(milliseconds, QCoreApplication::instance(), std::move(task));
  });
}

}  // namespace jolstrand
