// Linux: a bundle opens by running its Contents/MacOS/<CFBundleExecutable>, a desktop entry as
// the desktop starts it; files are revealed
// by the desktop's file manager over D-Bus, else by opening their folder; icons come from the
// bundle's .icns through Qt's image plugins.

#include <sys/stat.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QSvgRenderer>

#include "jolstrand/bundle.hpp"
#include "jolstrand/desktop_launch.hpp"
#include "jolstrand/log.hpp"
#include "platform/detached_process.hpp"
#include "platform/linux/desktop_entry_open.hpp"
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

class LinuxWorkspace final : public Workspace {
 public:
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
    if (const auto file = bundleIconFile(path)) image.load(qtPath(*file));
    if (image.isNull()) image = generic(pixels);
    image = image.scaled(pixels, pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(pixelRatio);
    return image;
  }
};

}  // namespace

std::unique_ptr<Workspace> makeWorkspace() {
  return std::make_unique<LinuxWorkspace>();
}

}  // namespace jolstrand
