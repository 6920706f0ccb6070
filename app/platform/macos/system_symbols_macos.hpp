#pragma once
// macOS: the system's symbol images (SF Symbols, macOS 11 and later) by name, drawn like the
// symbols of our own (symbols.hpp): one colour, the symbol's light details cut out. Main thread.

#include <QColor>
#include <QPixmap>
#include <QString>

namespace jolstrand {

/// The system symbol `name` at a point size of `points`, regular weight, centred in a square of
/// `points` (made smaller only where it would not fit) at the given device pixel ratio, in
/// `tint`. Null where the system has no symbol of that name.
[[nodiscard]] QPixmap systemSymbolPixmap(const QString& name, int points, const QColor& tint,
                                         qreal pixelRatio);

}  // namespace jolstrand
