#pragma once
// sway's IPC (the i3 protocol) over its socket, $SWAYSOCK: a message is "i3-ipc", its payload's
// length and its type (32-bit, native order), then the JSON payload; replies come back in the
// same form and in order, events with the type's high bit set. Requests here wait briefly for
// their answer: sway answers at once, and a compositor that does not must not hold up the panel.
// Main thread.

#include <QByteArray>
#include <QJsonDocument>
#include <QLocalSocket>
#include <QObject>
#include <QRect>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/linux/wayland/compositor_focus.hpp"

namespace jolstrand::sway {

enum class MessageType : std::uint32_t {
  runCommand = 0,
  subscribe = 2,
  getOutputs = 3,
  getTree = 4,
};
inline constexpr std::uint32_t windowEvent = 0x80000003;

/// One message of the protocol, encoded.
[[nodiscard]] QByteArray encode(std::uint32_t type, const QByteArray& payload);

struct Message {
  std::uint32_t type;
  QByteArray payload;
};

/// The complete messages at the start of buffer, which loses them; an incomplete one stays. A
/// buffer that does not start with the magic is emptied: nothing after it can be trusted.
[[nodiscard]] std::vector<Message> takeMessages(QByteArray& buffer);

/// The focused window of a tree (get_tree's answer) and the output it is on. A focused output or
/// workspace without a window gives only the output.
[[nodiscard]] CompositorFocus focusIn(const QJsonDocument& tree);

/// The command that floats our panel (found by process and title, which must be letters, digits
/// and spaces) and puts its top left at frame's, in global layout coordinates.
[[nodiscard]] QString placementCommand(qint64 pid, const QString& title, const QRect& frame);

/// Whether run_command's answer says every command succeeded.
[[nodiscard]] bool commandsSucceeded(const QJsonDocument& answer);

class Connection {
 public:
  explicit Connection(const QString& socketPath);
  /// Sends the request and waits for its answer; none when sway does not answer in time.
  [[nodiscard]] std::optional<QJsonDocument> request(MessageType type,
                                                     const QByteArray& payload = {});

 private:
  QString socketPath_;
  QLocalSocket socket_;
  QByteArray buffer_;
};

/// A second connection that receives the window events (a window mapped, focused, closed).
class WindowEvents : public QObject {
  Q_OBJECT

 public:
  explicit WindowEvents(const QString& socketPath);

 signals:
  void windowChanged();

 private:
  QLocalSocket socket_;
  QByteArray buffer_;
};

}  // namespace jolstrand::sway
