// Linux: X11's window list (screen_sources_x11.cpp); under Wayland, what the compositor tells.

#include <unistd.h>

#include <QCursor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QScreen>

#include "platform/linux/wayland/hyprland_ipc.hpp"
#include "platform/linux/wayland/sway_ipc.hpp"
#include "platform/screen_sources.hpp"
#include "platform/window_system.hpp"

namespace jolstrand {
namespace {

// Qt's screens, the primary first as Qt lists them, and its idea of the pointer.
ScreenSnapshot qtScreens() {
  ScreenSnapshot snapshot;
  for (const QScreen* screen : QGuiApplication::screens()) {
    snapshot.screens.push_back(screen->geometry());
  }
  snapshot.pointer = QCursor::pos();
  return snapshot;
}

// What a compositor's IPC told of the focus: its window decides, else its output's centre
// stands in for the pointer, which Wayland does not show us.
ScreenSnapshot withFocus(ScreenSnapshot snapshot, const CompositorFocus& focus) {
  snapshot.windows = std::vector<WindowInfo>{};
  if (focus.windowPid && focus.windowRect) {
    snapshot.frontmostPid = focus.windowPid;
    snapshot.windows->push_back({focus.windowPid, 0, focus.windowRect});
  }
  if (focus.outputRect) snapshot.pointer = focus.outputRect->center();
  return snapshot;
}

class X11WindowSystem final : public WindowSystem {
 public:
  ScreenSnapshot snapshot() override { return currentScreenSnapshot(); }
  void place(QWidget& /*panel*/, const QRect& /*frame*/) override {}
};

// The compositor places every window and says nothing: Qt's screens and pointer decide.
class PlainWaylandWindowSystem final : public WindowSystem {
 public:
  ScreenSnapshot snapshot() override { return qtScreens(); }
  void place(QWidget& /*panel*/, const QRect& /*frame*/) override {}
};

// KWin centres new windows on its active output, which it names over D-Bus.
class KWinWindowSystem final : public WindowSystem {
 public:
  ScreenSnapshot snapshot() override {
    ScreenSnapshot snapshot = qtScreens();
    snapshot.windows = std::vector<WindowInfo>{};
    const QDBusMessage reply = QDBusConnection::sessionBus().call(
        QDBusMessage::createMethodCall(QStringLiteral("org.kde.KWin"), QStringLiteral("/KWin"),
                                       QStringLiteral("org.kde.KWin"),
                                       QStringLiteral("activeOutputName")),
        QDBus::Block, answerMilliseconds);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return snapshot;
    const QString active = reply.arguments().constFirst().toString();
    for (const QScreen* screen : QGuiApplication::screens()) {
      if (screen->name() == active) snapshot.pointer = screen->geometry().center();
    }
    return snapshot;
  }
  void place(QWidget& /*panel*/, const QRect& /*frame*/) override {}

 private:
  static constexpr int answerMilliseconds = 200;
};

// A compositor that moves our window on request, once it is mapped: the latest frame waits until
// a request for it succeeds, and is asked again when the compositor tells of a new window.
class PlacingOnRequest : public WindowSystem {
 public:
  void place(QWidget& /*panel*/, const QRect& frame) final {
    waiting_ = frame;
    placeWaiting();
  }

 protected:
  void placeWaiting() {
    if (waiting_ && requestPlacement(*waiting_)) waiting_.reset();
  }
  /// Asks the compositor to put the panel at frame; true when it did.
  virtual bool requestPlacement(const QRect& frame) = 0;

 private:
  std::optional<QRect> waiting_;  // not yet placed: the panel is not mapped yet
};

// sway: the focused window and output from its tree; the panel floated and moved by command,
// again whenever a window appears while a placement waits for the panel to be mapped.
class SwayWindowSystem final : public PlacingOnRequest {
 public:
  explicit SwayWindowSystem(const QString& socket) : requests_(socket), events_(socket) {
    QObject::connect(&events_, &sway::WindowEvents::windowChanged, [this] { placeWaiting(); });
  }

  ScreenSnapshot snapshot() override {
    const auto tree = requests_.request(sway::MessageType::getTree);
    if (!tree) return qtScreens();
    return withFocus(qtScreens(), sway::focusIn(*tree));
  }

 private:
  bool requestPlacement(const QRect& frame) override {
    const QString command =
        sway::placementCommand(getpid(), QString::fromLatin1(panelWindowTitle), frame);
    const auto answer = requests_.request(sway::MessageType::runCommand, command.toUtf8());
    return answer && sway::commandsSucceeded(*answer);
  }

  sway::Connection requests_;
  sway::WindowEvents events_;
};

// Hyprland: the active window and focused monitor; the panel floated and moved by a batch of
// dispatches, again when a window titled as the panel opens while a placement waits.
class HyprlandWindowSystem final : public PlacingOnRequest {
 public:
  explicit HyprlandWindowSystem(const QString& folder)
      : requests_(folder + QStringLiteral("/.socket.sock")),
        events_(folder + QStringLiteral("/.socket2.sock")) {
    QObject::connect(&events_, &hyprland::Events::line, [this](const QByteArray& line) {
      if (hyprland::opensWindowTitled(line, QString::fromLatin1(panelWindowTitle))) placeWaiting();
    });
  }

  ScreenSnapshot snapshot() override {
    const auto window = hyprland::request(requests_, "j/activewindow");
    const auto monitors = hyprland::request(requests_, "j/monitors");
    if (!window || !monitors) return qtScreens();
    return withFocus(qtScreens(), hyprland::focusFrom(*window, *monitors));
  }

 private:
  bool requestPlacement(const QRect& frame) override {
    const auto answer = hyprland::request(
        requests_, hyprland::placementRequest(QString::fromLatin1(panelWindowTitle), frame));
    return answer && hyprland::batchSucceeded(*answer, 2);
  }

  const QString requests_;
  hyprland::Events events_;
};

}  // namespace

std::unique_ptr<WindowSystem> makeWindowSystem(const Environment& environment) {
  if (QGuiApplication::platformName() != QLatin1String("wayland")) {
    return std::make_unique<X11WindowSystem>();
  }
  if (!environment.swaySocket.empty()) {
    return std::make_unique<SwayWindowSystem>(QString::fromStdString(environment.swaySocket));
  }
  if (!environment.hyprlandSignature.empty() && !environment.runtimeDir.empty()) {
    return std::make_unique<HyprlandWindowSystem>(
        QString::fromStdString(environment.runtimeDir + "/hypr/" + environment.hyprlandSignature));
  }
  if (QString::fromStdString(environment.currentDesktop)
          .split(QLatin1Char(':'))
          .contains(QLatin1String("KDE"))) {
    return std::make_unique<KWinWindowSystem>();
  }
  return std::make_unique<PlainWaylandWindowSystem>();
}

}  // namespace jolstrand
