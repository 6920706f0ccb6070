#include "platform/linux/wayland/sway_ipc.hpp"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <cstring>

namespace jolstrand::sway {
namespace {

constexpr char magic[] = "i3-ipc";
constexpr qsizetype magicSize = sizeof magic - 1;
constexpr qsizetype headerSize = magicSize + 8;
constexpr int answerMilliseconds = 200;
constexpr std::uint32_t maxPayload = 64 << 20;

std::uint32_t readWord(const char* at) {
  std::uint32_t word = 0;
  std::memcpy(&word, at, sizeof word);
  return word;
}

QRect rectOf(const QJsonValue& value) {
  const QJsonObject rect = value.toObject();
  return {rect[QLatin1String("x")].toInt(), rect[QLatin1String("y")].toInt(),
          rect[QLatin1String("width")].toInt(), rect[QLatin1String("height")].toInt()};
}

// Depth first through tiled and floating children, noting the output on the way down.
bool findFocus(const QJsonObject& node, std::optional<QRect> output, CompositorFocus& focus) {
  if (node[QLatin1String("type")].toString() == QLatin1String("output")) {
    output = rectOf(node[QLatin1String("rect")]);
  }
  if (node[QLatin1String("focused")].toBool()) {
    focus.outputRect = output;
    if (node.contains(QLatin1String("pid"))) {
      focus.windowPid = node[QLatin1String("pid")].toInteger();
      focus.windowRect = rectOf(node[QLatin1String("rect")]);
    }
    return true;
  }
  for (const char* children : {"nodes", "floating_nodes"}) {
    for (const QJsonValue child : node[QLatin1String(children)].toArray()) {
      if (findFocus(child.toObject(), output, focus)) return true;
    }
  }
  return false;
}

}  // namespace

QByteArray encode(std::uint32_t type, const QByteArray& payload) {
  QByteArray message(magic, magicSize);
  const auto length = static_cast<std::uint32_t>(payload.size());
  message.append(reinterpret_cast<const char*>(&length), sizeof length);
  message.append(reinterpret_cast<const char*>(&type), sizeof type);
  return message + payload;
}

std::vector<Message> takeMessages(QByteArray& buffer) {
  std::vector<Message> messages;
  qsizetype at = 0;
  while (buffer.size() - at >= headerSize) {
    if (std::memcmp(buffer.constData() + at, magic, magicSize) != 0) {
      buffer.clear();
      return messages;
    }
    const std::uint32_t length = readWord(buffer.constData() + at + magicSize);
    if (length > maxPayload) {
      buffer.clear();
      return messages;
    }
    if (buffer.size() - at - headerSize < qsizetype(length)) break;
    messages.push_back({readWord(buffer.constData() + at + magicSize + 4),
                        buffer.mid(at + headerSize, qsizetype(length))});
    at += headerSize + qsizetype(length);
  }
  buffer.remove(0, at);
  return messages;
}

CompositorFocus focusIn(const QJsonDocument& tree) {
  CompositorFocus focus;
  findFocus(tree.object(), std::nullopt, focus);
  return focus;
}

QString placementCommand(qint64 pid, const QString& title, const QRect& frame) {
  return QStringLiteral(
             "[pid=%1 title=\"^%2$\"] floating enable, border none, "
             "move absolute position %3 px %4 px")
      .arg(pid)
      .arg(title)
      .arg(frame.x())
      .arg(frame.y());
}

bool commandsSucceeded(const QJsonDocument& answer) {
  const QJsonArray results = answer.array();
  if (results.isEmpty()) return false;
  for (const QJsonValue result : results) {
    if (!result[QLatin1String("success")].toBool()) return false;
  }
  return true;
}

Connection::Connection(const QString& socketPath) : socketPath_(socketPath) {}

std::optional<QJsonDocument> Connection::request(MessageType type, const QByteArray& payload) {
  if (socket_.state() != QLocalSocket::ConnectedState) {
    buffer_.clear();
    socket_.connectToServer(socketPath_);
    if (!socket_.waitForConnected(answerMilliseconds)) return std::nullopt;
  }
  socket_.write(encode(static_cast<std::uint32_t>(type), payload));
  const QDeadlineTimer deadline(answerMilliseconds);
  while (!deadline.hasExpired()) {
    if (!socket_.waitForReadyRead(int(deadline.remainingTime()))) break;
    buffer_ += socket_.readAll();
    for (const Message& message : takeMessages(buffer_)) {
      if (message.type == static_cast<std::uint32_t>(type)) {
        return QJsonDocument::fromJson(message.payload);
      }
    }
  }
  socket_.abort();  // a late answer must not be taken for the next request's
  return std::nullopt;
}

WindowEvents::WindowEvents(const QString& socketPath) {
  connect(&socket_, &QLocalSocket::readyRead, this, [this] {
    buffer_ += socket_.readAll();
    for (const Message& message : takeMessages(buffer_)) {
      if (message.type == windowEvent) emit windowChanged();
    }
  });
  socket_.connectToServer(socketPath);
  if (socket_.waitForConnected(answerMilliseconds)) {
    socket_.write(encode(static_cast<std::uint32_t>(MessageType::subscribe), R"(["window"])"));
  }
}

}  // namespace jolstrand::sway
