#include "single_instance.hpp"

#include <unistd.h>

#include <QDir>
#include <QLocalSocket>

#include "jolstrand/log.hpp"

namespace jolstrand {
namespace {

constexpr int timeoutMs = 1000;
constexpr char showRequest[] = "show\n";

}  // namespace

QString SingleInstance::socketPath(const std::string& runtimeDir) {
  if (!runtimeDir.empty()) {
    return QDir(QString::fromStdString(runtimeDir)).filePath(QStringLiteral("jolstrand.socket"));
  }
  return QDir::temp().filePath(QStringLiteral("jolstrand-%1.socket").arg(getuid()));
}

SingleInstance::SingleInstance(QString socketPath) : socketPath_(std::move(socketPath)) {
  connect(&server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* client = server_.nextPendingConnection()) {
      connect(client, &QLocalSocket::readyRead, this, [this, client] {
        if (client->readAll().startsWith(showRequest)) emit showRequested();
        client->disconnectFromServer();
      });
      connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
    }
  });
}

bool SingleInstance::askRunningInstanceToShow() const {
  QLocalSocket socket;
  socket.connectToServer(socketPath_);
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write(showRequest);
  return socket.waitForBytesWritten(timeoutMs);
}

bool SingleInstance::listen() {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (server_.listen(socketPath_)) return true;
  // Nobody answered on it, so the socket was left by a launcher that ended: take it over.
  QLocalServer::removeServer(socketPath_);
  if (server_.listen(socketPath_)) return true;
  logLine("couldn't listen on " + socketPath_.toStdString() + ": " +
          server_.errorString().toStdString());
  return false;
}

}  // namespace jolstrand
