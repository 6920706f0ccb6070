// Linux: a bundle opens by running its Contents/MacOS/<CFBundleExecutable>; files are revealed
// by the desktop's file manager over D-Bus, else by opening their folder; icons come from the
// bundle's .icns through Qt's image plugins.

#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QSvgRenderer>

#include "jolstrand/bundle.hpp"
#include "jolstrand/log.hpp"
#include "platform/detached_process.hpp"
#include "platform/workspace.hpp"
#include "qt_text.hpp"

namespace jolstrand {
namespace {

constexpr int revealTimeoutMs = 2000;  // then the containing folder opens instead

bool isExecutableFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
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
    const auto executable = bundleExecutable(path);
    std::optional<std::string> error;
    if (!executable) {
      error = "its Info.plist names no executable (CFBundleExecutable)";
    } else if (!isExecutableFile(*executable)) {
      error = *executable + " is not an executable file";
    } else {
      error = startDetached(*executable);
    }
    if (error) logLine("couldn't open " + path + ": " + *error);
  }

  void reveal(const std::string& path) override {
    const QString url = QUrl::fromLocalFile(qtString(path)).toString(QUrl::FullyEncoded);
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{url} << QString();
    const QUrl folder = QUrl::fromLocalFile(QFileInfo(qtString(path)).absolutePath());
    const QDBusPendingCall answer = QDBusConnection::sessionBus().asyncCall(call, revealTimeoutMs);
    if (answer.isFinished()) {  // no session bus: known at once, and a watcher would never fire
      if (answer.isError()) QDesktopServices::openUrl(folder);
      return;
    }
    // Answered on the event loop, so a slow or absent file manager never holds up the panel.
    auto* pending = new QDBusPendingCallWatcher(answer, qApp);
    QObject::connect(pending, &QDBusPendingCallWatcher::finished, pending,
                     [folder](QDBusPendingCallWatcher* answered) {
                       if (answered->isError()) QDesktopServices::openUrl(folder);
                       answered->deleteLater();
                     });
  }

  void openURL(const QUrl& url) override { QDesktopServices::openUrl(url); }

  QImage icon(const std::string& path, int points, qreal pixelRatio) override {
    const int pixels = qRound(points * pixelRatio);
    QImage image;
    if (const auto file = bundleIconFile(path)) image.load(qtString(*file));
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
