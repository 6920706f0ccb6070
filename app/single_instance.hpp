#pragma once
// One launcher per user: a second start asks the running one, over a local socket in the user's
// runtime folder, to show its panel, and then ends. This is also how a desktop shortcut reaches
// the launcher where no global hot key can be grabbed (Wayland). The second start hands on the
// activation token its desktop gave it, so that the panel may take the focus. A file lock beside
// the socket, held for the life of the process, decides which of several simultaneous starts
// runs. Main thread.
//
// The request is the line "show", then, when there is a token, the line "token TOKEN"; the asker
// then closes the connection. (A launcher that knows only the first line still shows its panel.)

#include <QLocalServer>
#include <QString>
#include <optional>
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

  /// Asks the running launcher to show its panel, handing on an activation token (may be empty),
  /// waiting a few seconds for one that is still starting. True when the request was handed
  /// over.
  [[nodiscard]] bool askRunningInstanceToShow(const std::string& activationToken = {}) const;

  /// The token of a request, or none when the request is not one to show the panel; a token
  /// that is not printable ASCII of sensible length is left out.
  [[nodiscard]] static std::optional<QString> showRequestToken(const QByteArray& request);

  /// From now on later starts are answered; a request that came earlier is answered now.
  void startAnswering();

 signals:
  /// A later start asked for the panel, with its activation token (empty when it had none).
  void showRequested(const QString& activationToken);

 private:
  bool listen();
  void receivedShowRequest(const QString& activationToken);

  const QString socketPath_;
  QLocalServer server_;
  int lockFd_ = -1;
  bool answering_ = false;
  std::optional<QString> requestedEarly_;  // the token of a request that came before answering
};

}  // namespace jolstrand
