#pragma once
// The search panel's geometry, as plain arithmetic. Qt's coordinates: points, origin at the top
// left, y growing downward. The panel keeps its top edge and grows and shrinks downward.

#include <QRect>

namespace jolstrand::layout {

inline constexpr int panelWidth = 640;
inline constexpr int searchBarHeight = 56;
inline constexpr int rowHeight = 40;
inline constexpr int rowMargin = 6;  // above the first row and below the last
inline constexpr int maxRows = 9;

/// 56 with no results, else 56 + 12 + 40 × n.
[[nodiscard]] int panelHeight(int results);

/// Where the panel's top edge goes on a screen's visible area: a third of the way down, raised by
/// the search bar's height, but never closer than 20 points to the top.
[[nodiscard]] int topEdge(const QRect& visible);

/// The panel's frame on that screen for n results: centred, hanging from the top edge.
[[nodiscard]] QRect panelFrame(const QRect& visible, int results);

/// Frames inside the panel.
[[nodiscard]] QRect fieldFrame();
[[nodiscard]] QRect glassFrame();
[[nodiscard]] QRect separatorFrame();
[[nodiscard]] QRect rowFrame(int index);

/// A frame in bottom-left-origin coordinates (as macOS gives them) converted to Qt's, for a
/// space whose height is `height`.
[[nodiscard]] QRect fromBottomLeft(const QRect& frame, int height);

}  // namespace jolstrand::layout
