#pragma once
// What the launcher uses of KDE's kglobalaccel over D-Bus: its names, the flags of setShortcut,
// and who holds Meta+Space. Main thread.

#include <QDBusConnection>
#include <QString>

namespace jolstrand::KGlobalAccel {

inline const QString service = QStringLiteral("org.kde.kglobalaccel");
inline const QString path = QStringLiteral("/kglobalaccel");
inline const QString interface = QStringLiteral("org.kde.KGlobalAccel");
inline const QString componentInterface = QStringLiteral("org.kde.kglobalaccel.Component");

// setShortcut's flags.
constexpr uint setPresent = 2;
constexpr uint noAutoloading = 4;
constexpr uint isDefault = 8;

/// Meta+Space in Qt's key encoding, as kglobalaccel stores keys.
constexpr int metaSpace = 0x10000000 | 0x20;

/// The action that holds Meta+Space, by its names ("Switch Layout (Keyboard Layout Switcher)"),
/// unless it is component ownComponent's or none holds it: then empty.
[[nodiscard]] QString holder(const QDBusConnection& bus, const QString& ownComponent);

}  // namespace jolstrand::KGlobalAccel
