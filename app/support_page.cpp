#include "support_page.hpp"

namespace jolstrand {

QUrl supportPageURL() {
  return QUrl(QStringLiteral("https://ko-fi.com/jolstrand"));
}

}  // namespace jolstrand
