#include "platform/tray_presence.hpp"

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <cstdlib>
#include <memory>
#include <utility>

namespace jolstrand {
namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
// The question is asked on the main thread: a watcher that does not answer must not hold up the
// hot key for long.
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

// Qt's own X11 connection; none outside an X11 session.
xcb_connection_t* x11Connection() {
  auto* x11 =
      qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 != nullptr ? x11->connection() : nullptr;
}

// The atom of the name, or none; only_if_exists leaves names no client ever used unmade.
xcb_atom_t atomNamed(xcb_connection_t* connection, const QByteArray& name, bool onlyIfExists) {
  const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
      xcb_intern_atom_reply(connection,
                            xcb_intern_atom(connection, onlyIfExists ? 1 : 0,
                                            static_cast<uint16_t>(name.size()), name.constData()),
                            nullptr),
      &std::free);
  return atom ? atom->atom : xcb_atom_t{XCB_ATOM_NONE};
}

QByteArray traySelectionName() {
  return "_NET_SYSTEM_TRAY_S" + QByteArray::number(displayScreen());
}

bool x11TrayPresent() {
  xcb_connection_t* connection = x11Connection();
  if (connection == nullptr) return false;
  const xcb_atom_t selection = atomNamed(connection, traySelectionName(), true);
  if (selection == XCB_ATOM_NONE) return false;  // no tray ever named it
  const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
      xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection),
                                    nullptr),
      &std::free);
  return owner && owner->owner != XCB_WINDOW_NONE;
}

// Told when a tray may have come: a StatusNotifierWatcher taking its name or registering a host,
// or an X11 tray taking its selection, which it announces to the root window's clients with a
// MANAGER message (Qt's connection listens to the root window for these already).
class TrayWatch final : public QObject, public QAbstractNativeEventFilter {
  Q_OBJECT

 public:
  TrayWatch(QObject* parent, std::function<void()> check)
      : QObject(parent), check_(std::move(check)) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    auto* names = new QDBusServiceWatcher(watcherService, bus,
                                          QDBusServiceWatcher::WatchForRegistration, this);
    connect(names, &QDBusServiceWatcher::serviceRegistered, this, &TrayWatch::mayHaveCome);
    bus.connect(watcherService, QStringLiteral("/StatusNotifierWatcher"), watcherService,
                QStringLiteral("StatusNotifierHostRegistered"), this, SLOT(mayHaveCome()));
    if (xcb_connection_t* connection = x11Connection()) {
      manager_ = atomNamed(connection, "MANAGER", false);
      traySelection_ = atomNamed(connection, traySelectionName(), false);
      qGuiApp->installNativeEventFilter(this);
    }
  }
  ~TrayWatch() override {
    if (qGuiApp != nullptr) qGuiApp->removeNativeEventFilter(this);
  }

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr* /*result*/) override {
    if (type != "xcb_generic_event_t" || manager_ == XCB_ATOM_NONE) return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_CLIENT_MESSAGE) return false;
    const auto* client = static_cast<const xcb_client_message_event_t*>(message);
    if (client->type == manager_ && client->format == 32 &&
        client->data.data32[1] == traySelection_) {
      // After Qt has seen the message too, so that its own tray tracker is current.
      QMetaObject::invokeMethod(this, &TrayWatch::mayHaveCome, Qt::QueuedConnection);
    }
    return false;
  }

 public slots:
  void mayHaveCome() { check_(); }

 private:
  std::function<void()> check_;
  xcb_atom_t manager_ = XCB_ATOM_NONE;
  xcb_atom_t traySelection_ = XCB_ATOM_NONE;
};

}  // namespace

bool trayPresent() {
  return statusNotifierHostPresent() || x11TrayPresent();
}

QObject* watchForTray(QObject* parent, std::function<void()> check) {
  return new TrayWatch(parent, std::move(check));
}

}  // namespace jolstrand

#include "tray_presence_linux.moc"
