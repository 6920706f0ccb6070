// Renders the application icon's SVG into a macOS icon set folder (the PNG sizes iconutil turns
// into an .icns). Usage: jolstrand_iconset ICON.svg OUT.iconset

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <iostream>

namespace {

bool writePng(QSvgRenderer& renderer, int pixels, const QString& path) {
  QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  renderer.render(&painter);
  painter.end();
  return image.save(path, "PNG");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: jolstrand_iconset ICON.svg OUT.iconset\n";
    return 2;
  }
  QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
  if (!renderer.isValid()) {
    std::cerr << "jolstrand_iconset: cannot read " << argv[1] << "\n";
    return 1;
  }
  const QDir out(QString::fromLocal8Bit(argv[2]));
  if (!out.mkpath(QStringLiteral("."))) {
    std::cerr << "jolstrand_iconset: cannot create " << argv[2] << "\n";
    return 1;
  }
  for (const int points : {16, 32, 128, 256, 512}) {
    const QString name = QStringLiteral("icon_%1x%1").arg(points);
    if (!writePng(renderer, points, out.filePath(name + QStringLiteral(".png"))) ||
        !writePng(renderer, 2 * points, out.filePath(name + QStringLiteral("@2x.png")))) {
      std::cerr << "jolstrand_iconset: cannot write into " << argv[2] << "\n";
      return 1;
    }
  }
  return 0;
}
