#include "platform/linux/update/linux_update_engine.hpp"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

#include "jolstrand/update/archive_check.hpp"
#include "platform/linux/update/update_schedule.hpp"
#include "qt_text.hpp"
#include "window_arguments.hpp"

namespace jolstrand {
namespace {

const QString lastCheckKey = QStringLiteral("lastUpdateCheckAt");
const QString automaticKey = QStringLiteral("automaticallyDownloadsUpdates");

double readSeconds(const QVariant& value) {
  bool isNumber = false;
  const double seconds = value.toDouble(&isNumber);
  return isNumber ? seconds : 0;
}

// Whether text is base64 of a 32-byte key, as the release tools write it.
bool isKeyText(const std::string& text) {
  const auto decoded = QByteArray::fromBase64Encoding(QByteArray::fromStdString(text).trimmed(),
                                                      QByteArray::AbortOnBase64DecodingErrors);
  return decoded.decodingStatus == QByteArray::Base64DecodingStatus::Ok &&
         decoded.decoded.size() == 32;
}

// The arguments to restart with: those that open a window once (set-up, about, the support
// reminder) did so at the first start and are not repeated after an update.
std::vector<std::string> restartArguments(const std::vector<std::string>& arguments) {
  std::vector<std::string> kept;
  std::copy_if(arguments.begin(), arguments.end(), std::back_inserter(kept),
               [](const std::string& argument) {
                 return std::find(windowArguments.begin(), windowArguments.end(), argument) ==
                        windowArguments.end();
               });
  return kept;
}

}  // namespace

LinuxUpdateEngine::LinuxUpdateEngine(UpdateEngineEvents& events, RunningBuild build,
                                     QSettings& settings, UpdateEngineParts parts)
    : events_(events),
      build_(std::move(build)),
      settings_(settings),
      installer_(std::move(parts.installer)),
      now_(std::move(parts.now)),
      inImmediateFocus_(std::move(parts.inImmediateFocus)),
      presenter_(std::move(parts.presenter)),
      downloads_(std::move(parts.downloads)) {
  checkTimer_.setObjectName(QStringLiteral("updateCheckTimer"));
  checkTimer_.setSingleShot(true);
  connect(&checkTimer_, &QTimer::timeout, this, [this] {
    if (secondsUntilCheck() > 0) return armCheckTimer();
    runScheduledCheck();
  });
}

LinuxUpdateEngine::~LinuxUpdateEngine() = default;

std::optional<std::string> LinuxUpdateEngine::startUpdater() {
  if (startAttempted_) return refusal_;
  startAttempted_ = true;
  refusal_ = refusalToStart();
  if (refusal_) return refusal_;
  installer_.removeLeftovers(*installation_);
  if (auto* application = QCoreApplication::instance()) {
    connect(application, &QCoreApplication::aboutToQuit, this, [this] {
      if (phase_ == Phase::readyToInstall && installAtQuit_) install(false);
    });
  }
  startedAt_ = now_();
  armCheckTimer();
  return std::nullopt;
}

std::optional<std::string> LinuxUpdateEngine::refusalToStart() {
  const std::optional<std::string> feed = events_.feedURLString();
  if (!feed || feed->empty()) return "this build has no update feed";
  const QUrl url(qtString(*feed), QUrl::StrictMode);
  if (!feed->starts_with("https://") || !url.isValid() || url.host().isEmpty())
    return "the update feed " + *feed + " is not an https:// address";
  if (build_.build.empty())
    return "this build has no build number (CFBundleVersion) to compare updates with";
  if (build_.publicKey.empty())
    return "this build has no public key (SUPublicEDKey) to check updates with";
  if (!isKeyText(build_.publicKey))
    return "this build's public key (SUPublicEDKey) is not base64 of a 32-byte Ed25519 key";
  const Checked<PortableInstallation> installation = installer_.find(build_.programPath);
  if (!installation) return installation.error();
  installation_ = *installation;
  feedURL_ = *feed;
  return std::nullopt;
}

void LinuxUpdateEngine::checkForUpdates() {
  check(true);
}

void LinuxUpdateEngine::runScheduledCheck() {
  if (!installation_) return;
  check(false);
  armCheckTimer();
}

bool LinuxUpdateEngine::automaticallyDownloadsUpdates() const {
  return settings_.value(automaticKey, false).toBool();
}

void LinuxUpdateEngine::setAutomaticallyDownloadsUpdates(bool on) {
  settings_.setValue(automaticKey, on);
  settings_.sync();
}

double LinuxUpdateEngine::secondsUntilCheck() const {
  return secondsUntilUpdateCheck(readSeconds(settings_.value(lastCheckKey)), startedAt_, now_());
}

void LinuxUpdateEngine::armCheckTimer() {
  // Due and yet not begun means a session is under way: look again later.
  const double wait = secondsUntilCheck();
  const double seconds = wait > 0 ? std::min(wait, updateTimerLimit) : updateTimerLimit;
  checkTimer_.start(static_cast<int>(std::lround(seconds * 1000)));
}

void LinuxUpdateEngine::check(bool userInitiated) {
  if (!installation_) return;
  switch (phase_) {
    case Phase::idle:
      break;
    case Phase::checking:
      userInitiated_ = userInitiated_ || userInitiated;
      return;
    case Phase::offering:
      if (userInitiated) showOffer();
      return;
    case Phase::downloading:
      // A download in the background goes on; the user who asks is shown what it brings.
      if (userInitiated && !userInitiated_) offerDuringDownload();
      return;
    case Phase::readyToInstall:
    case Phase::installing:
      return;
  }
  phase_ = Phase::checking;
  userInitiated_ = userInitiated;
  const double now = now_();
  settings_.setValue(lastCheckKey, now);
  settings_.sync();
  armCheckTimer();
  downloads_->fetchText(feedURL_, maxFeedBytes, feedTimeoutMs,
                        [this, current = sessionGuard()](Checked<std::string> feed) {
                          if (current()) feedArrived(feed);
                        });
}

void LinuxUpdateEngine::feedArrived(const Checked<std::string>& feed) {
  if (!feed) return stop(feed.error());
  const Checked<std::optional<UpdateItem>> newest =
      newestUpdate(*feed, build_.publicKey, build_.build);
  if (!newest) return stop(newest.error());
  if (!newest->has_value()) {
    if (userInitiated_) presenter_->showUpToDate(qtString(build_.displayVersion));
    return finishSession();
  }
  item_ = **newest;
  if (userInitiated_) {
    events_.willHandleShowingUpdate(true, item_->displayVersion);
    return showOffer();
  }
  if (automaticallyDownloadsUpdates()) return download([this] { downloadedInBackground(); });
  const bool showItself = !events_.supportsGentleScheduledUpdateReminders() ||
                          events_.shouldHandleShowingScheduledUpdate(inImmediateFocus_());
  events_.willHandleShowingUpdate(showItself, item_->displayVersion);
  if (showItself) return showOffer();
  // The program announces it. The engine's own session ends here (idle, nothing kept), but the
  // program is not told it finished, so its reminder stays; a check from its menu then fetches
  // the feed again and shows the offer.
  becomeIdle();
}

UpdateOffer LinuxUpdateEngine::offer() const {
  return {qtString(item_->displayVersion), qtString(build_.displayVersion),
          qtString(item_->notesHTML), qtString(item_->build), qtString(build_.build)};
}

void LinuxUpdateEngine::showOffer() {
  phase_ = Phase::offering;
  events_.didReceiveUserAttentionForUpdate();
  presenter_->offer(offer(), [this, current = sessionGuard()](UpdatePresenter::Answer answer) {
    if (!current()) return;
    if (answer == UpdatePresenter::Answer::later) return finishSession();
    watchDownload(current);
    download([this] { install(true); });
  });
}

void LinuxUpdateEngine::offerDuringDownload() {
  events_.didReceiveUserAttentionForUpdate();
  presenter_->offer(offer(), [this, current = sessionGuard()](UpdatePresenter::Answer answer) {
    // Later leaves the download to go on in the background; a download that has finished while
    // the offer was open is installed at once.
    if (!current() || answer != UpdatePresenter::Answer::install) return;
    if (phase_ == Phase::readyToInstall) return install(true);
    if (phase_ == Phase::downloading) watchDownload(current);
  });
}

void LinuxUpdateEngine::watchDownload(const std::function<bool()>& current) {
  userInitiated_ = true;  // the user now waits for it: a failure is shown, whatever began it
  presenter_->showDownloading([this, current] {
    if (current()) finishSession();
  });
}

void LinuxUpdateEngine::download(std::function<void()> downloaded) {
  phase_ = Phase::downloading;
  auto folder = std::make_shared<QTemporaryDir>(QDir::tempPath() +
                                                QStringLiteral("/jolstrand-update-XXXXXX"));
  if (!folder->isValid())
    return stop("couldn't make a folder for the download: " + folder->errorString().toStdString());
  downloadFolder_ = folder;
  archivePath_ = folder->filePath(QStringLiteral("update-archive")).toStdString();
  // The folder stays while the transfer may still write into it, even after a cancel.
  downloads_->fetchFile(item_->url, archivePath_, item_->length, archiveTimeoutMs,
                        [this, current = sessionGuard(), folder,
                         downloaded = std::move(downloaded)](Checked<std::string> file) {
                          if (!current()) return;
                          if (!file) return stop(file.error());
                          downloaded();
                        });
}

void LinuxUpdateEngine::downloadedInBackground() {
  if (const auto wrong = checkArchiveFile(archivePath_, *item_, build_.publicKey))
    return stop(*wrong);
  phase_ = Phase::readyToInstall;
  const std::function<bool()> current = sessionGuard();
  const bool takenOver = events_.willInstallUpdateOnQuit(item_->displayVersion, [this, current] {
    if (current() && phase_ == Phase::readyToInstall) install(true);
  });
  if (!takenOver && current()) installAtQuit_ = true;
}

void LinuxUpdateEngine::install(bool restart) {
  phase_ = Phase::installing;
  const Checked<std::string> program =
      installer_.install(*installation_, archivePath_, *item_, build_.publicKey, build_.build);
  if (!program) return stop(program.error());
  finishSession();
  if (restart) installer_.restart(*program, restartArguments(build_.arguments));
}

void LinuxUpdateEngine::stop(const std::string& description) {
  const bool userInitiated = userInitiated_;
  events_.didAbortWithError(description);
  finishSession();
  if (userInitiated) presenter_->showStopped(qtString(description));
}

void LinuxUpdateEngine::finishSession() {
  becomeIdle();
  events_.willFinishUpdateSession();
}

void LinuxUpdateEngine::becomeIdle() {
  downloads_->abandonAll();  // a cancelled download stops, so that a new check starts alone
  phase_ = Phase::idle;
  userInitiated_ = false;
  installAtQuit_ = false;
  ++session_;
  item_.reset();
  downloadFolder_.reset();
  archivePath_.clear();
  presenter_->close();
}

std::function<bool()> LinuxUpdateEngine::sessionGuard() {
  return [self = QPointer<LinuxUpdateEngine>(this), session = session_] {
    return self && self->session_ == session;
  };
}

}  // namespace jolstrand
