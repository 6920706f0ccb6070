#pragma once
// One launcher per user: a second start asks the running one, over a local socket in the user's
// runtime folder, to show its panel, and then ends. This is also how a desktop shortcut reaches
// the launcher where no global hot key can be grabbed (Wayland). Main thread.

#include <QLocalServer>
#include <QString>
#include <functional>

namespace jolstrand {

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  /// The socket: ${XDG_RUNTIME_DIR}/jolstrand.socket, else one named for the user in /tmp.
  [[nodiscard]] static QString defaultSocketPath();

  explicit SingleInstance(QString socketPath = defaultSocketPath());

  /// True when a running launcher answered and was asked to show its panel.
  [[nodiscard]] bool askRunningInstanceToShow() const;

  /// Starts answering later starts; false (and a log line) when the socket cannot be made.
  bool listen();

  /// Called when a later start asks for the panel.
  std::function<void()> onShowRequested;

 private:
  const QString socketPath_;
  QLocalServer server_;
};

}  // namespace jolstrand
