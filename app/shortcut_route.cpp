#include "shortcut_route.hpp"

#include <QRegularExpression>
#include <QStringList>

#include "jolstrand/current_desktop.hpp"

namespace jolstrand {

ShortcutRoute chooseShortcutRoute(const SessionOffer& offer) {
  if (!offer.wayland) return ShortcutRoute::keyGrab;
  const bool gnome = currentDesktopIncludes(offer.currentDesktop, "GNOME");
  if (currentDesktopIncludes(offer.currentDesktop, "KDE") && offer.kglobalaccel) {
    return ShortcutRoute::kde;
  }
  if (offer.portalShortcuts) {
    if (gnome) return ShortcutRoute::gnomePortal;
    return offer.hyprland ? ShortcutRoute::hyprlandPortal : ShortcutRoute::portal;
  }
  if (gnome) return ShortcutRoute::gnomeCustomShortcut;
  if (offer.sway) return ShortcutRoute::sway;
  if (offer.hyprland) return ShortcutRoute::hyprland;
  return ShortcutRoute::otherCompositor;
}

bool isSuperSpaceTrigger(const QString& trigger) {
  // "<Super>space" is GNOME's notation; the others join their parts with '+'.
  QString text = trigger.trimmed().toLower();
  text.replace(QRegularExpression(QStringLiteral("<([a-z0-9]+)>")), QStringLiteral("\\1+"));
  const QStringList parts = text.split(u'+', Qt::SkipEmptyParts);
  if (parts.size() != 2 || parts.last().trimmed() != u"space") return false;
  const QString modifier = parts.first().trimmed();
  return modifier == u"super" || modifier == u"meta" || modifier == u"logo" || modifier == u"mod4";
}

}  // namespace jolstrand
