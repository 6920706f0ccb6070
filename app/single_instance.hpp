#pragma once
// One launcher per user: a second start asks the running one, over a local socket in the user's
// runtime folder, to show its panel, and then ends. This is also how a desktop shortcut reaches
// the launcher where no global hot key can be grabbed (Wayland). Main thread.

#include <QLocalServer>
#include <QString>
#include <string>

namespace jolstrand {

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  /// The socket: RUNTIMEDIR/jolstrand.socket, else (runtimeDir empty) one named for the user in
  /// the temporary folder.
  [[nodiscard]] static QString socketPath(const std::string& runtimeDir);

  explicit SingleInstance(QString socketPath);

  /// True when a running launcher answered and was asked to show its panel.
  [[nodiscard]] bool askRunningInstanceToShow() const;

  /// Starts answering later starts; false (and a log line) when the socket cannot be made.
  bool listen();

 signals:
  /// A later start asked for the panel.
  void showRequested();

 private:
  const QString socketPath_;
  QLocalServer server_;
};

}  // namespace jolstrand
