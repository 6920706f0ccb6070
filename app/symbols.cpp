#include "symbols.hpp"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#ifdef Q_OS_MACOS
#include "platform/macos/system_symbols_macos.hpp"
#endif

namespace jolstrand {
namespace {

QString resourcePath(const QString& name) {
  return QStringLiteral(":/jolstrand/symbols/%1.svg").arg(name);
}

}  // namespace

QStringList symbolNames() {
  return {QStringLiteral("hare"),
          QStringLiteral("magnifyingglass"),
          QStringLiteral("1.circle"),
          QStringLiteral("2.circle"),
          QStringLiteral("checkmark.circle.fill"),
          QStringLiteral("exclamationmark.triangle.fill")};
}

QPixmap symbolPixmap(const QString& name, int points, const QColor& tint, qreal pixelRatio) {
#ifdef Q_OS_MACOS
  if (QPixmap system = systemSymbolPixmap(name, points, tint, pixelRatio); !system.isNull()) {
    return system;
  }
#endif
  if (!QFile::exists(resourcePath(name))) return {};
  const int pixels = qRound(points * pixelRatio);
  QImage image(pixels, pixels, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    QSvgRenderer(resourcePath(name)).render(&painter);
  }
  // Dark parts take the tint, light parts become transparent.
  for (int y = 0; y < pixels; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < pixels; ++x) {
      const double darkness = 1.0 - qGray(line[x]) / 255.0;
      const int alpha = qRound(qAlpha(line[x]) * darkness * tint.alphaF());
      line[x] = qRgba(tint.red(), tint.green(), tint.blue(), alpha);
    }
  }
  QPixmap pixmap = QPixmap::fromImage(image);
  pixmap.setDevicePixelRatio(pixelRatio);
  return pixmap;
}

}  // namespace jolstrand
