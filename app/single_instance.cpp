#include "single_instance.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QLocalSocket>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>

#include "jolstrand/log.hpp"

namespace jolstrand {
namespace {

constexpr int timeoutMs = 1000;
constexpr int askAttempts = 100;  // every 50 ms: a launcher that took the lock listens at once
constexpr char showRequest[] = "show\n";
constexpr char tokenPrefix[] = "token ";
constexpr qsizetype maxRequestBytes = 4096;
constexpr qsizetype maxTokenBytes = 1024;

bool printableAscii(const QByteArray& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c > ' ' && c < 0x7f; });
}

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
  // The request is read whole once the asker closes; one that grows past any sensible size is
  // dropped.
  connect(&server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* client = server_.nextPendingConnection()) {
      auto request = std::make_shared<QByteArray>();
      connect(client, &QLocalSocket::readyRead, client, [client, request] {
        *request += client->readAll();
        if (request->size() > maxRequestBytes) client->abort();
      });
      connect(client, &QLocalSocket::disconnected, this, [this, client, request] {
        *request += client->readAll();
        if (request->size() <= maxRequestBytes) {
          if (const auto token = showRequestToken(*request)) receivedShowRequest(*token);
        }
        client->deleteLater();
      });
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

std::optional<QString> SingleInstance::showRequestToken(const QByteArray& request) {
  if (!request.startsWith(showRequest)) return std::nullopt;
  const QByteArray rest = request.mid(qsizetype(sizeof showRequest) - 1);
  if (!rest.startsWith(tokenPrefix) || !rest.endsWith('\n')) return QString();
  const QByteArray token = rest.mid(qsizetype(sizeof tokenPrefix) - 1).chopped(1);
  if (token.isEmpty() || token.size() > maxTokenBytes || !printableAscii(token)) return QString();
  return QString::fromLatin1(token);
}

bool SingleInstance::askRunningInstanceToShow(const std::string& activationToken) const {
  QByteArray request = showRequest;
  if (!activationToken.empty()) {
    request += tokenPrefix + QByteArray::fromStdString(activationToken) + '\n';
  }
  for (int attempt = 0; attempt < askAttempts; ++attempt) {
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (socket.waitForConnected(timeoutMs)) {
      socket.write(request);
      const bool written = socket.waitForBytesWritten(timeoutMs);
      socket.disconnectFromServer();
      if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(timeoutMs);
      return written;
    }
    QThread::msleep(50);
  }
  logLine("another launcher is running but doesn't answer on " + socketPath_.toStdString());
  return false;
}

void SingleInstance::startAnswering() {
  answering_ = true;
  if (auto token = std::exchange(requestedEarly_, std::nullopt)) emit showRequested(*token);
}

void SingleInstance::receivedShowRequest(const QString& activationToken) {
  if (answering_) {
    emit showRequested(activationToken);
  } else {
    requestedEarly_ = activationToken;
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
