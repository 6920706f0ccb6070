#pragma once
// The program opened again while it runs, for example from Finder. On macOS no second process
// starts: the system sends the running launcher a reopen event, which this object turns into a
// signal. On Linux a second start is a second process, which the single-instance socket answers,
// so nothing arrives here. Main thread only; one per process.

#include <QObject>

namespace jolstrand {

class ReopenEvents : public QObject {
  Q_OBJECT

 public:
  /// Starts listening. Create it once launching has finished: the platform installs its own
  /// handler while launching, and the later one wins.
  explicit ReopenEvents(QObject* parent = nullptr);

 signals:
  void reopened();
};

}  // namespace jolstrand
