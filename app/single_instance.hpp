#pragma once
// One launcher per user: a second start asks the running one, over a local socket in the user's
// runtime folder, to show its panel, and then ends. This is also how a desktop shortcut reaches
// the launcher where no global hot key can be grabbed (Wayland). A file lock beside the socket,
// held for the life of the process, decides which of several simultaneous starts runs.
// Main thread.

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
  ~SingleInstance() override;

  /// Takes the one-launcher lock and listens on the socket, before anything else is started.
  /// False when another launcher holds it (or, without the lock, answers on the socket).
  [[nodiscard]] bool claim();

  /// Asks the running launcher to show its panel, waiting a few seconds for one that is still
  /// starting. True when the request was handed over.
  [[nodiscard]] bool askRunningInstanceToShow() const;

  /// From now on later starts are answered; a request that came earlier is answered now.
  void startAnswering();

 signals:
  /// A later start asked for the panel.
  void showRequested();

 private:
  bool listen();
  void receivedShowRequest();

  const QString socketPath_;
  QLocalServer server_;
  int lockFd_ = -1;
  bool answering_ = false;
  bool requestedEarly_ = false;
};

}  // namespace jolstrand
