#include "platform/linux/wayland/hyprland_ipc.hpp"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>

namespace jolstrand::hyprland {
namespace {

constexpr int answerMilliseconds = 200;

QRect rectFrom(const QJsonValue& at, const QJsonValue& size) {
  const QJsonArray position = at.toArray();
  const QJsonArray extent = size.toArray();
  return {position.at(0).toInt(), position.at(1).toInt(), extent.at(0).toInt(),
          extent.at(1).toInt()};
}

}  // namespace

CompositorFocus focusFrom(const QByteArray& activeWindow, const QByteArray& monitors) {
  CompositorFocus focus;
  const QJsonObject window = QJsonDocument::fromJson(activeWindow).object();
  if (window.contains(QLatin1String("pid")) && window.contains(QLatin1String("at"))) {
    focus.windowPid = window[QLatin1String("pid")].toInteger();
    focus.windowRect = rectFrom(window[QLatin1String("at")], window[QLatin1String("size")]);
  }
  for (const QJsonValue value : QJsonDocument::fromJson(monitors).array()) {
    const QJsonObject monitor = value.toObject();
    if (!monitor[QLatin1String("focused")].toBool()) continue;
    const double scale = monitor[QLatin1String("scale")].toDouble(1);
    focus.outputRect =
        QRect(monitor[QLatin1String("x")].toInt(), monitor[QLatin1String("y")].toInt(),
              qRound(monitor[QLatin1String("width")].toInt() / (scale > 0 ? scale : 1)),
              qRound(monitor[QLatin1String("height")].toInt() / (scale > 0 ? scale : 1)));
  }
  return focus;
}

QByteArray placementRequest(const QString& title, const QRect& frame) {
  const QString window = QStringLiteral("title:^(%1)$").arg(title);
  return QStringLiteral("[[BATCH]]dispatch setfloating %1;dispatch movewindowpixel exact %2 %3,%1")
      .arg(window)
      .arg(frame.x())
      .arg(frame.y())
      .toUtf8();
}

bool batchSucceeded(const QByteArray& answer, int dispatches) {
  return answer.count("ok") == dispatches;
}

bool opensWindowTitled(const QByteArray& eventLine, const QString& title) {
  // openwindow>>ADDRESS,WORKSPACE,CLASS,TITLE; the title is last and may hold commas.
  if (!eventLine.startsWith("openwindow>>")) return false;
  const QList<QByteArray> fields = eventLine.mid(12).split(',');
  return fields.size() >= 4 && fields.mid(3).join(',') == title.toUtf8();
}

std::optional<QByteArray> request(const QString& socketPath, const QByteArray& text) {
  QLocalSocket socket;
  socket.connectToServer(socketPath);
  if (!socket.waitForConnected(answerMilliseconds)) return std::nullopt;
  socket.write(text);
  QByteArray answer;
  const QDeadlineTimer deadline(answerMilliseconds);
  while (socket.state() == QLocalSocket::ConnectedState && !deadline.hasExpired()) {
    socket.waitForReadyRead(int(deadline.remainingTime()));
    answer += socket.readAll();
  }
  answer += socket.readAll();
  if (socket.state() == QLocalSocket::ConnectedState) return std::nullopt;  // never finished
  return answer;
}

Events::Events(const QString& socketPath) : socket_(new QLocalSocket(this)) {
  connect(socket_, &QLocalSocket::readyRead, this, [this] {
    buffer_ += socket_->readAll();
    for (qsizetype end; (end = buffer_.indexOf('\n')) >= 0;) {
      emit line(buffer_.left(end));
      buffer_.remove(0, end + 1);
    }
  });
  socket_->connectToServer(socketPath);
}

}  // namespace jolstrand::hyprland
