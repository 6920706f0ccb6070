#include "single_instance.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QLocalSocket>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <utility>

#include "jolstrand/log.hpp"

namespace jolstrand {
namespace {

constexpr int timeoutMs = 1000;
constexpr int askAttempts = 100;  // every 50 ms: a launcher that took the lock listens at once
constexpr char showRequest[] = "show\n";

// A connection to the socket succeeds only while a launcher listens on it.
bool answers(const QString& socketPath) {
  QLocalSocket socket;
  socket.connectToServer(socketPath);
  return socket.waitForConnected(timeoutMs);
}

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
        if (client->readAll().startsWith(showRequest)) receivedShowRequest();
        client->disconnectFromServer();
      });
      connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
    }
  });
}

SingleInstance::~SingleInstance() {
  if (lockFd_ >= 0) close(lockFd_);
}

bool SingleInstance::claim() {
  const QByteArray lockPath = (socketPath_ + QStringLiteral(".lock")).toLocal8Bit();
  lockFd_ = open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (lockFd_ < 0) {
    logLine("couldn't open " + lockPath.toStdString() + ": " + std::strerror(errno));
  } else if (flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK) return false;
    logLine("couldn't lock " + lockPath.toStdString() + ": " + std::strerror(errno));
  }
  return listen();
}

bool SingleInstance::askRunningInstanceToShow() const {
  for (int attempt = 0; attempt < askAttempts; ++attempt) {
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (socket.waitForConnected(timeoutMs)) {
      socket.write(showRequest);
      return socket.waitForBytesWritten(timeoutMs);
    }
    QThread::msleep(50);
  }
  logLine("another launcher is running but doesn't answer on " + socketPath_.toStdString());
  return false;
}

void SingleInstance::startAnswering() {
  answering_ = true;
  if (std::exchange(requestedEarly_, false)) emit showRequested();
}

void SingleInstance::receivedShowRequest() {
  if (answering_) {
    emit showRequested();
  } else {
    requestedEarly_ = true;
  }
}

// False only when another launcher answers on the socket; a socket that nobody answers on was
// left by a launcher that ended, and is taken over.
bool SingleInstance::listen() {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (server_.listen(socketPath_)) return true;
  if (answers(socketPath_)) return false;
  QLocalServer::removeServer(socketPath_);
  if (!server_.listen(socketPath_)) {
    logLine("couldn't listen on " + socketPath_.toStdString() + ": " +
            server_.errorString().toStdString());
  }
  return true;
}

}  // namespace jolstrand
