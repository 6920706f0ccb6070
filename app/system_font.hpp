#pragma once
// The system font at a size given in macOS points, where the regular system size is 13: other
// platforms keep the proportion to their own regular size, so a heading stays a heading and the
// small size stays small without fixing a pixel size that suits only one desktop.

#include <QFont>

namespace jolstrand {

inline constexpr qreal regularSystemFontSize = 13;
inline constexpr qreal smallSystemFontSize = 11;

/// The application's font scaled from the regular system size to points, bold or regular.
[[nodiscard]] QFont systemFont(qreal points, bool bold = false);

}  // namespace jolstrand
