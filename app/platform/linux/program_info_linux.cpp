// Off macOS the program's own Info.plist is compiled in as a Qt resource.

#include <QFile>

#include "program_info.hpp"

namespace jolstrand {

std::optional<std::string> ownInfoPlistBytes() {
  QFile file(QStringLiteral(":/jolstrand/Info.plist"));
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray bytes = file.readAll();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace jolstrand
