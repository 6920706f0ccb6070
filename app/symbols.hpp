#pragma once
// The symbol images of the interface (a hare, the magnifying glass, the setup steps' marks),
// drawn as SVG of our own, one per symbol name, kept as Qt resources. A symbol is black with white
// details; drawn, its black takes a tint and its white is cut out, like a template image. On
// macOS the system's symbol of the same name is drawn the same way, and ours only where the system
// has none.

#include <QColor>
#include <QPixmap>
#include <QString>
#include <QStringList>

namespace jolstrand {

/// Every symbol name there is.
[[nodiscard]] QStringList symbolNames();

/// The symbol, `points` square at the given device pixel ratio, in `tint`; null for an unknown
/// name.
[[nodiscard]] QPixmap symbolPixmap(const QString& name, int points, const QColor& tint,
                                   qreal pixelRatio);

}  // namespace jolstrand
