#include "platform/linux/theme_icon_finder.hpp"

#include <QFileInfo>
#include <algorithm>
#include <cstdlib>

namespace jolstrand {
namespace {

const QStringList extensions{QStringLiteral(".svg"), QStringLiteral(".png"),
                             QStringLiteral(".xpm")};

// The fixed sizes themes ship, ordered by how well each serves pixels: at least as large first
// (downscaling stays sharp), nearest first; then the smaller ones, largest first.
QList<int> sizesFor(int pixels) {
  QList<int> sizes{16, 22, 24, 32, 48, 64, 96, 128, 256, 512};
  std::sort(sizes.begin(), sizes.end(), [pixels](int a, int b) {
    if ((a >= pixels) != (b >= pixels)) return a >= pixels;
    return std::abs(a - pixels) < std::abs(b - pixels);
  });
  return sizes;
}

QString existing(const QString& stem) {
  for (const QString& extension : extensions) {
    if (QFileInfo(stem + extension).isFile()) return stem + extension;
  }
  return {};
}

}  // namespace

ThemeIconFinder::ThemeIconFinder(QStringList bases, QString theme) : bases_(std::move(bases)) {
  if (!theme.isEmpty() && theme != QStringLiteral("hicolor")) themes_ << theme;
  themes_ << QStringLiteral("hicolor");
}

QString ThemeIconFinder::find(const QString& iconName, int pixels) const {
  if (iconName.isEmpty() || iconName.contains(QLatin1Char('/'))) return {};
  QString name = iconName;  // some entries name the file, extension and all
  for (const QString& extension : extensions) {
    if (name.endsWith(extension)) name.chop(extension.size());
  }
  QStringList folders;
  for (const QString& theme : themes_) {
    for (const QString& base : bases_) {
      const QString root = base + QLatin1Char('/') + theme + QLatin1Char('/');
      folders << root + QStringLiteral("scalable/apps");
      for (const int size : sizesFor(pixels)) {
        folders << root + QStringLiteral("%1x%1/apps").arg(size);
      }
    }
  }
  for (const QString& base : bases_) folders << base + QStringLiteral("/../pixmaps");
  folders << QStringLiteral("/usr/share/pixmaps");
  for (const QString& folder : folders) {
    if (QString file = existing(folder + QLatin1Char('/') + name); !file.isEmpty()) return file;
  }
  return {};
}

}  // namespace jolstrand
