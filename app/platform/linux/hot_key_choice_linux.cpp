// Linux: which backend gives the launcher its Super-Space, from what the session offers.

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QGuiApplication>

#include "jolstrand/current_desktop.hpp"
#include "platform/linux/desktop_hot_keys.hpp"
#include "program_info.hpp"

namespace jolstrand {
namespace {

// The portal starts on demand; a session whose portal takes longer than this to answer is
// treated as having none, so that the launcher never waits long before it is ready.
constexpr int portalProbeTimeout = 3000;

bool serviceOffered(const QDBusConnection& bus, const QString& name) {
  QDBusConnectionInterface* daemon = bus.interface();
  if (daemon == nullptr) return false;
  if (daemon->isServiceRegistered(name).value()) return true;
  return daemon->activatableServiceNames().value().contains(name);
}

bool portalOffersShortcuts(const QDBusConnection& bus) {
  QDBusMessage get = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.portal.Desktop"),
      QStringLiteral("/org/freedesktop/portal/desktop"),
      QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
  get << QStringLiteral("org.freedesktop.portal.GlobalShortcuts") << QStringLiteral("version");
  const QDBusReply<QDBusVariant> version = bus.call(get, QDBus::Block, portalProbeTimeout);
  return version.isValid();
}

class CompositorBinding final : public HotKeyBackend {
 public:
  std::int32_t registerKey() override { return unavailable; }
  void unregisterKey() override {}
};

}  // namespace

QString ownAppId() {
  return QString::fromStdString(ProgramInfo::own().value("CFBundleIdentifier").value_or(""));
}

SessionOffer probeSessionOffer(const Environment& environment, const QDBusConnection& bus) {
  SessionOffer offer;
  offer.wayland = !environment.waylandDisplay.empty();
  offer.currentDesktop = environment.currentDesktop;
  offer.sway = !environment.swaySocket.empty();
  offer.hyprland = !environment.hyprlandSignature.empty();
  if (!offer.wayland || !bus.isConnected()) return offer;
  if (currentDesktopIncludes(environment.currentDesktop, "KDE")) {
    offer.kglobalaccel = serviceOffered(bus, QStringLiteral("org.kde.kglobalaccel"));
  }
  if (chooseShortcutRoute(offer) != ShortcutRoute::kde) {
    offer.portalShortcuts = portalOffersShortcuts(bus);
  }
  return offer;
}

std::unique_ptr<HotKeyBackend> makeCompositorBinding() {
  return std::make_unique<CompositorBinding>();
}

ShortcutRoute sessionShortcutRoute(const Environment& environment) {
  return chooseShortcutRoute(probeSessionOffer(environment, QDBusConnection::sessionBus()));
}

std::unique_ptr<HotKeyBackend> makeHotKeyBackend(ShortcutRoute route, const QString& command) {
  switch (route) {
    case ShortcutRoute::keyGrab:
      return makeX11HotKey();
    case ShortcutRoute::kde:
      return makeKdeHotKey(QDBusConnection::sessionBus(), ownAppId());
    case ShortcutRoute::gnomePortal:
    case ShortcutRoute::portal:
    case ShortcutRoute::hyprlandPortal:
      return makePortalHotKey(QDBusConnection::sessionBus(), ownAppId());
    case ShortcutRoute::gnomeCustomShortcut:
      return makeGnomeCustomShortcut(command);
    case ShortcutRoute::sway:
    case ShortcutRoute::hyprland:
    case ShortcutRoute::otherCompositor:
      break;
  }
  return makeCompositorBinding();
}

}  // namespace jolstrand
