// Linux: a bundle opens by running its Contents/MacOS/<CFBundleExecutable>, a desktop entry as
// the desktop starts it; files are revealed by the desktop's file manager over D-Bus, else by
// opening their folder; icons come from the bundle's .icns through Qt's image plugins, or from a
// desktop entry's Icon: an image file, or a name looked up in the icon theme.

#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

#include "jolstrand/bundle.hpp"
#include "jolstrand/desktop_launch.hpp"
#include "jolstrand/file_access.hpp"
#include "jolstrand/log.hpp"
#include "platform/detached_process.hpp"
#include "platform/linux/desktop_entry_open.hpp"
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

// The image file at path drawn pixels square; scalable images are drawn at that size, so they
// stay sharp on a 2x screen. Null when it cannot be read. The path comes from other programs'
// files, so it is read only when it is a regular file of a sensible size: a named pipe there
// must not hold up the thread that draws icons.
QImage imageAt(const std::string& path, int pixels) {
  constexpr std::size_t maxIconBytes = 32 << 20;
  const FileContents file = readRegularFile(path, maxIconBytes);
  if (!file.bytes) return {};
  QByteArray bytes = QByteArray::fromStdString(*file.bytes);
  QBuffer buffer(&bytes);
  QImageReader reader(&buffer, QFileInfo(qtString(path)).suffix().toLower().toLatin1());
  if (reader.format() == "svg" || reader.format() == "svgz") {
    reader.setScaledSize(QSize(pixels, pixels));
  }
  return reader.read();
}

class LinuxWorkspace final : public Workspace {
 public:
  explicit LinuxWorkspace(ProgramLookup programs)
      : programs_(std::move(programs)),
        icons_(programs_.icons ? programs_.icons
                               : std::make_shared<const IconTheme>(IconTheme::Folders{}, "")) {}

  void openApplication(const std::string& path, const std::string& activationToken) override {
    std::optional<std::string> error;
    if (isDesktopEntry(path)) {
      error = openDesktopEntry(path, programs_, activationToken);
    } else if (const auto executable = bundleExecutable(path); !executable) {
      error = "its Info.plist names no executable (CFBundleExecutable)";
    } else if (!isExecutableFile(*executable)) {
      error = *executable + " is not an executable file";
    } else {
      error = startDetached(*executable, {}, activationEnvironment(activationToken));
    }
    if (error) logLine("couldn't open " + path + ": " + *error);
  }

  void reveal(const std::string& path, const std::string& activationToken) override {
    const QString url = QUrl::fromLocalFile(qtString(path)).toString(QUrl::FullyEncoded);
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{url} << qtString(activationToken);  // the startup id
    const QUrl folder = QUrl::fromLocalFile(QFileInfo(qtString(path)).absolutePath());
    const QDBusPendingCall answer = QDBusConnection::sessionBus().asyncCall(call, revealTimeoutMs);
    if (answer.isFinished()) {
      // Known at once (no session bus, or an error already back), and a watcher would never
      // fire; the folder still opens on the next turn of the event loop, as for a late answer.
      if (answer.isError()) {
        QMetaObject::invokeMethod(
            qApp, [folder] { QDesktopServices::openUrl(folder); }, Qt::QueuedConnection);
      }
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
    if (isDesktopEntry(path)) {
      image = imageAt(icons_->find(desktopEntryIcon(path), pixels), pixels);
    } else if (const auto file = bundleIconFile(path)) {
      image = imageAt(*file, pixels);
    }
    if (image.isNull()) image = generic(pixels);
    // A bitmap smaller than the row is drawn larger, smoothly, rather than small.
    image = image.scaled(pixels, pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(pixelRatio);
    return image;
  }

 private:
  const ProgramLookup programs_;
  const std::shared_ptr<const IconTheme> icons_;  // immutable: read from any thread
};

}  // namespace

std::unique_ptr<Workspace> makeWorkspace(const ProgramLookup& programs) {
  return std::make_unique<LinuxWorkspace>(programs);
}

}  // namespace jolstrand
