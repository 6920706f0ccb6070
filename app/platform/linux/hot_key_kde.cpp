// KDE Plasma: the launcher's shortcut is one action in kglobalaccel, KDE's keeper of global
// shortcuts, with Meta+Space as its default. kglobalaccel keeps whatever key the user gives it in
// System Settings, refuses a key another component holds, and tells its component of each press.

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QKeySequence>

#include "jolstrand/log.hpp"
#include "platform/linux/desktop_hot_keys.hpp"
#include "platform/linux/kglobalaccel.hpp"

namespace jolstrand {
namespace {

class KdeHotKey final : public HotKeyBackend {
  Q_OBJECT

 public:
  KdeHotKey(const QDBusConnection& bus, const QString& appId)
      : bus_(bus),
        appId_(appId),
        watcher_(KGlobalAccel::service, bus_, QDBusServiceWatcher::WatchForOwnerChange) {
    // Its settings survive a restart of the service, but what it knows of running components
    // does not: register again.
    connect(&watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& owner) {
              if (!registered_) return;
              const std::int32_t status = owner.isEmpty() ? refusedByDesktop : registerKey();
              emit statusChanged(status);
            });
  }

  ~KdeHotKey() override { unregisterKey(); }

  std::int32_t registerKey() override {
    unregisterKey();
    const QStringList action = actionId();
    if (!call(QStringLiteral("doRegister"), {action})) return refusedByDesktop;
    // The default first, then the key itself: kglobalaccel answers with the key the user chose
    // in the settings, if any, and leaves out a key that another component holds.
    const QVariant meta = QVariant::fromValue(QList<int>{KGlobalAccel::metaSpace});
    if (!call(QStringLiteral("setShortcut"), {action, meta, KGlobalAccel::isDefault})) {
      return refusedByDesktop;
    }
    std::int32_t status = assign(KGlobalAccel::setPresent);
    // A key refused earlier was stored as none: once nothing else holds Meta+Space, take it
    // again rather than keep the refusal's empty key.
    if (status == noKey) status = assign(KGlobalAccel::setPresent | KGlobalAccel::noAutoloading);
    listen();
    registered_ = true;
    return status;
  }

  void unregisterKey() override {
    if (!registered_) return;
    registered_ = false;
    bus_.disconnect(KGlobalAccel::service, componentPath_, KGlobalAccel::componentInterface,
                    QStringLiteral("globalShortcutPressed"), this, SLOT(onPressed(QDBusMessage)));
    bus_.disconnect(KGlobalAccel::service, KGlobalAccel::path, KGlobalAccel::interface,
                    QStringLiteral("yourShortcutsChanged"), this, SLOT(onChanged(QDBusMessage)));
    componentPath_.clear();
    // Inactive, not forgotten: the key the user chose stays in the settings for the next start.
    call(QStringLiteral("setInactive"), {actionId()});
  }

  QString trigger() const override { return trigger_; }

 private slots:
  void onPressed(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() < 2 || arguments[0].toString() != appId_ ||
        arguments[1].toString() != shortcutId) {
      return;
    }
    emit pressed(QString());  // kglobalaccel hands out no activation token
  }

  // The user gave the action other keys in System Settings.
  void onChanged(const QDBusMessage& message) {
    const QStringList changed = message.arguments().value(0).toStringList();
    if (changed.value(0) != appId_ || changed.value(1) != shortcutId) return;
    const QDBusReply<QList<int>> keys = bus_.call(method(QStringLiteral("shortcut"), {actionId()}));
    emit statusChanged(keys.isValid() ? statusFor(keys.value()) : failed(keys.error().message()));
  }

 private:
  QStringList actionId() const {
    return {appId_, shortcutId, QStringLiteral("Jolstrand"), QStringLiteral("Show Jolstrand")};
  }

  QDBusMessage method(const QString& name, const QList<QVariant>& arguments) const {
    QDBusMessage message = QDBusMessage::createMethodCall(KGlobalAccel::service, KGlobalAccel::path,
                                                          KGlobalAccel::interface, name);
    message.setArguments(arguments);
    return message;
  }

  bool call(const QString& name, const QList<QVariant>& arguments) {
    const QDBusMessage reply = bus_.call(method(name, arguments));
    if (reply.type() != QDBusMessage::ErrorMessage) return true;
    failed(reply.errorMessage());
    return false;
  }

  std::int32_t failed(const QString& why) {
    logLine("kglobalaccel refused the shortcut: " + why.toStdString());
    return refusedByDesktop;
  }

  std::int32_t assign(uint flags) {
    const QVariant meta = QVariant::fromValue(QList<int>{KGlobalAccel::metaSpace});
    const QDBusReply<QList<int>> keys =
        bus_.call(method(QStringLiteral("setShortcut"), {actionId(), meta, flags}));
    return keys.isValid() ? statusFor(keys.value()) : failed(keys.error().message());
  }

  // Presses come from the component's own object; key changes from the service.
  void listen() {
    const QDBusReply<QDBusObjectPath> component = bus_.call(
        QDBusMessage::createMethodCall(KGlobalAccel::service, KGlobalAccel::path,
                                       KGlobalAccel::interface, QStringLiteral("getComponent"))
        << appId_);
    if (component.isValid()) componentPath_ = component.value().path();
    if (componentPath_.isEmpty() ||
        !bus_.connect(KGlobalAccel::service, componentPath_, KGlobalAccel::componentInterface,
                      QStringLiteral("globalShortcutPressed"), this,
                      SLOT(onPressed(QDBusMessage)))) {
      logLine("cannot hear the presses of the shortcut from kglobalaccel");
    }
    if (!bus_.connect(KGlobalAccel::service, KGlobalAccel::path, KGlobalAccel::interface,
                      QStringLiteral("yourShortcutsChanged"), this,
                      SLOT(onChanged(QDBusMessage)))) {
      logLine("cannot hear changes of the shortcut from kglobalaccel");
    }
  }

  // Meta+Space among the keys is ours; another key is the user's choice; none means another
  // component holds Meta+Space, or the user took the key away.
  std::int32_t statusFor(const QList<int>& keys) {
    trigger_.clear();
    if (keys.contains(KGlobalAccel::metaSpace)) return 0;
    for (const int key : keys) {
      if (key == 0) continue;
      trigger_ = QKeySequence(key).toString(QKeySequence::PortableText);
      return otherKey;
    }
    return KGlobalAccel::holder(bus_, appId_).isEmpty() ? noKey : refusedByDesktop;
  }

  QDBusConnection bus_;
  const QString appId_;
  QDBusServiceWatcher watcher_;
  bool registered_ = false;
  QString componentPath_;  // where the presses come from, while listening
  QString trigger_;
};

}  // namespace

std::unique_ptr<HotKeyBackend> makeKdeHotKey(const QDBusConnection& bus, const QString& appId) {
  return std::make_unique<KdeHotKey>(bus, appId);
}

}  // namespace jolstrand

#include "hot_key_kde.moc"
