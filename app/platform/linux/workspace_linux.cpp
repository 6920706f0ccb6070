// Linux: a bundle opens by running its Contents/MacOS/<CFBundleExecutable>, a desktop entry as
// the desktop starts it; files are revealed by the desktop's file manager over D-Bus, else by
// opening their folder; icons come from the bundle's .icns through Qt's image plugins, or from a
// desktop entry's Icon: an image file, or a name looked up in the icon theme.

#include <sys/stat.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

#include "jolstrand/bundle.hpp"
#include "jolstrand/desktop_launch.hpp"
#include "jolstrand/log.hpp"
#include "platform/detached_process.hpp"
#include "platform/linux/desktop_entry_open.hpp"
#include "platform/linux/theme_icon_finder.hpp"
#include "platform/workspace.hpp"

namespace jolstrand {
namespace {

bool isExecutableFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

QString qtPath(const std::string& path) {
  return QString::fromUtf8(path.data(), qsizetype(path.size()));
}

QImage generic(int pixels) {
  QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  QSvgRenderer(QStringLiteral(":/jolstrand/application.svg")).render(&painter);
  return image;
}

// The image file at path drawn pixels square; scalable images are drawn at that size, so they
// stay sharp on a 2x screen. Null when it cannot be read.
QImage imageAt(const QString& path, int pixels) {
  QImageReader reader(path);
  if (reader.format() == "svg" || reader.format() == "svgz") {
    reader.setScaledSize(QSize(pixels, pixels));
  }
  return reader.read();
}

class LinuxWorkspace final : public Workspace {
 public:
  LinuxWorkspace() : themeIcons_(QIcon::themeSearchPaths(), QIcon::themeName()) {}

  void openApplication(const std::string& path) override {
    std::optional<std::string> error;
    if (isDesktopEntry(path)) {
      error = openDesktopEntry(path);
    } else if (const auto executable = bundleExecutable(path); !executable) {
      error = "its Info.plist names no executable (CFBundleExecutable)";
    } else if (!isExecutableFile(*executable)) {
      error = *executable + " is not an executable file";
    } else {
      error = startDetached(*executable);
    }
    if (error) logLine("Jolstrand: couldn't open " + path + ": " + *error);
  }

  void reveal(const std::string& path) override {
    const QString url = QUrl::fromLocalFile(qtPath(path)).toString(QUrl::FullyEncoded);
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{url} << QString();
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 2000);
    if (reply.type() != QDBusMessage::ReplyMessage) {
      QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(qtPath(path)).absolutePath()));
    }
  }

  void openURL(const QUrl& url) override { QDesktopServices::openUrl(url); }

  QImage icon(const std::string& path, int points, qreal pixelRatio) override {
    const int pixels = qRound(points * pixelRatio);
    QImage image;
    if (isDesktopEntry(path)) {
      const QString icon = qtPath(desktopEntryIcon(path));
      image = imageAt(icon.startsWith(QLatin1Char('/')) ? icon : themeIcons_.find(icon, pixels),
                      pixels);
    } else if (const auto file = bundleIconFile(path)) {
      image.load(qtPath(*file));
    }
    if (image.isNull()) image = generic(pixels);
    image = image.scaled(pixels, pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(pixelRatio);
    return image;
  }

 private:
  const ThemeIconFinder themeIcons_;  // taken on the main thread, read from any
};

}  // namespace

std::unique_ptr<Workspace> makeWorkspace() {
  return std::make_unique<LinuxWorkspace>();
}

}  // namespace jolstrand
