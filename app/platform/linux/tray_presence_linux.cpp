#include "platform/tray_presence.hpp"

#include <xcb/xcb.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QTimer>
#include <cstdlib>
#include <memory>

namespace jolstrand {
namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
constexpr int pollMilliseconds = 2000;
// The question is asked on the main thread every few seconds while no tray shows: a watcher that
// does not answer must not hold up the hot key for long.
constexpr int askMilliseconds = 250;

// Qt uses the watcher only while it reports a host that shows the items.
bool statusNotifierHostPresent() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || !bus.interface()->isServiceRegistered(watcherService)) return false;
  QDBusMessage ask = QDBusMessage::createMethodCall(
      watcherService, QStringLiteral("/StatusNotifierWatcher"),
      QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
  ask << watcherService << QStringLiteral("IsStatusNotifierHostRegistered");
  const QDBusMessage reply = bus.call(ask, QDBus::Block, askMilliseconds);
  return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
         reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

// The screen number in DISPLAY (":0.1" is screen 1), as Qt's own connection takes it.
int displayScreen() {
  const QString display = qEnvironmentVariable("DISPLAY");
  const qsizetype dot = display.lastIndexOf(QLatin1Char('.'));
  if (dot <= display.lastIndexOf(QLatin1Char(':'))) return 0;
  return display.mid(dot + 1).toInt();
}

bool x11TrayPresent() {
  auto* x11 =
      qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (x11 == nullptr || x11->connection() == nullptr) return false;
  xcb_connection_t* connection = x11->connection();
  const QByteArray name = "_NET_SYSTEM_TRAY_S" + QByteArray::number(displayScreen());
  const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
      xcb_intern_atom_reply(
          connection,
          xcb_intern_atom(connection, 1, static_cast<uint16_t>(name.size()), name.constData()),
          nullptr),
      &std::free);
  if (!atom || atom->atom == XCB_ATOM_NONE) return false;  // no tray ever named it
  const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
      xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom),
                                    nullptr),
      &std::free);
  return owner && owner->owner != XCB_WINDOW_NONE;
}

}  // namespace

bool trayPresent() {
  return statusNotifierHostPresent() || x11TrayPresent();
}

QObject* watchForTray(QObject* parent, std::function<void()> check) {
  auto* watch = new QObject(parent);
  auto* watcher = new QDBusServiceWatcher(watcherService, QDBusConnection::sessionBus(),
                                          QDBusServiceWatcher::WatchForRegistration, watch);
  QObject::connect(watcher, &QDBusServiceWatcher::serviceRegistered, watch, check);
  // The X11 tray announces itself only to the root window's clients, and a watcher may register
  // its host after its name: a cheap look every few seconds covers both.
  auto* timer = new QTimer(watch);
  QObject::connect(timer, &QTimer::timeout, watch, std::move(check));
  timer->start(pollMilliseconds);
  return watch;
}

}  // namespace jolstrand
