#pragma once
// The support page's web address: one value for the support reminder and the about window.

#include <QUrl>

namespace jolstrand {

/// https://ko-fi.com/jolstrand, the page the about window's "on Ko-fi" link promises.
[[nodiscard]] QUrl supportPageURL();

}  // namespace jolstrand
