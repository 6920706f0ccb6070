#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslError>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "platform/linux/update/update_downloads.hpp"

#ifdef JOLSTRAND_TRUST_TEST_CA
#include "platform/linux/update/test_authority.hpp"
#endif

namespace jolstrand {
namespace {

constexpr int maxRedirects = 5;
constexpr int statusOk = 200;

std::string durationText(int ms) {
  if (ms % 1000 != 0) return std::to_string(ms) + " ms";
  return std::to_string(ms / 1000) + (ms == 1000 ? " second" : " seconds");
}

Checked<std::string> couldNotFetch(const std::string& url, const std::string& reason) {
  return Checked<std::string>::failure("couldn't fetch " + url + ": " + reason);
}

Checked<std::string> couldNotSave(const std::string& url, const QFile& file) {
  return Checked<std::string>::failure("couldn't save " + url + " to " +
                                       file.fileName().toStdString() + ": " +
                                       file.errorString().toStdString());
}

QNetworkRequest makeRequest(const QUrl& url) {
  QNetworkRequest request(url);
  // Redirects are followed here, one new request each, only to https (Qt's own following can
  // end a redirected transfer with an empty body).
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::ManualRedirectPolicy);
  // The bytes as stored on the server, which is what signatures and lengths are checked against;
  // nothing is decompressed on the way.
  request.setRawHeader("Accept-Encoding", "identity");
#ifdef JOLSTRAND_TRUST_TEST_CA
  trustTestAuthority(request);
#endif
  return request;
}

// One request in flight and where its bytes go: memory, or a file of its own that it removes
// unless the transfer succeeds. Calls finished once, with the result, unless destroyed first.
class Transfer : public QObject {
 public:
  using Finished = std::function<void(Transfer& transfer, Checked<std::string> result)>;

  Transfer(QNetworkAccessManager& manager, std::string url, std::uint64_t maxBytes, int timeoutMs,
           const DownloadPace& pace, std::unique_ptr<QFile> file, Finished finished)
      : manager_(manager),
        url_(std::move(url)),
        maxBytes_(maxBytes),
        file_(std::move(file)),
        finished_(std::move(finished)) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this,
            [this, timeoutMs] { fail("it did not finish within " + durationText(timeoutMs)); });
    timer_.start(timeoutMs);
    // A server that stops sending is given up long before a large download's deadline.
    silence_.setSingleShot(true);
    silence_.setInterval(pace.silenceLimitMs);
    connect(&silence_, &QTimer::timeout, this, [this, limit = pace.silenceLimitMs] {
      fail("it sent nothing for " + durationText(limit));
    });
    // Nor is one that sends a byte now and then, never quite silent.
    pace_.setInterval(pace.windowMs);
    connect(&pace_, &QTimer::timeout, this, [this, pace] {
      if (inWindow_ < pace.minimumBytesPerWindow)
        return fail("it sent fewer than " + std::to_string(pace.minimumBytesPerWindow) +
                    " bytes in " + durationText(pace.windowMs));
      inWindow_ = 0;
    });
    pace_.start();
    request(QUrl(QString::fromStdString(url_)));
  }
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;
  ~Transfer() override {
    // Abandoned while running: the connection closes now, not when the reply is deleted.
    if (reply_) {
      disconnect(reply_, nullptr, this, nullptr);
      reply_->abort();
    }
    stopReply();
    removeFile();
  }

 private:
  void request(const QUrl& url) {
    silence_.start();
    reply_ = manager_.get(makeRequest(url));
    connect(reply_, &QNetworkReply::metaDataChanged, this, &Transfer::onMetaDataChanged);
    connect(reply_, &QNetworkReply::readyRead, this, &Transfer::onReadyRead);
    connect(reply_, &QNetworkReply::sslErrors, this, &Transfer::onSslErrors);
    connect(reply_, &QNetworkReply::finished, this, &Transfer::onFinished);
  }

  void onMetaDataChanged() {
    silence_.start();
    if (answered()) readable();
  }

  void onReadyRead() {
    silence_.start();
    if (answered() && readable()) store(reply_->readAll());
  }

  void onSslErrors(const QList<QSslError>& errors) {
    QStringList descriptions;
    for (const QSslError& error : errors) descriptions << error.errorString();
    fail("the secure connection failed: " + descriptions.join(QStringLiteral("; ")).toStdString());
  }

  void onFinished() {
    if (reply_->error() != QNetworkReply::NoError && !status()) {
      return fail(reply_->errorString().toStdString());
    }
    if (!readable()) return;
    if (reply_->error() != QNetworkReply::NoError) {
      return fail(reply_->errorString().toStdString());
    }
    if (!store(reply_->readAll())) return;
    if (!file_) return finish(std::string(buffer_.constData(), buffer_.size()));
    if (!file_->flush()) return failSaving();
    file_->close();
    const std::string path = file_->fileName().toStdString();
    file_.reset();  // kept
    finish(path);
  }

  // Whether the server's status has been read: Qt may report an interim one before.
  [[nodiscard]] bool answered() const {
    const std::optional<int> code = status();
    return code && *code / 100 != 1;
  }

  // Acts on the answer's head: follows or refuses a redirect, refuses a status other than 200 or
  // an announced length past the cap. Whether the body may be read.
  bool readable() {
    if (followRedirect()) return false;
    const std::optional<int> code = status();
    if (code != statusOk) {
      fail("the server answered " + (code ? std::to_string(*code) : "without a status"));
      return false;
    }
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toULongLong() > maxBytes_) {
      failTooLarge();
      return false;
    }
    return true;
  }

  // Whether the answer is a redirect, which is then followed or refused; its body is not read.
  bool followRedirect() {
    const std::optional<int> code = status();
    const QVariant location = reply_->attribute(QNetworkRequest::RedirectionTargetAttribute);
    if (!code || *code / 100 != 3 || !location.isValid()) return false;
    const QUrl target = reply_->url().resolved(location.toUrl());
    if (target.scheme() != QLatin1String("https")) {
      fail("it redirects to " + target.toString().toStdString() +
           ", which is not an https:// address");
    } else if (++redirects_ > maxRedirects) {
      fail("it redirects more than " + std::to_string(maxRedirects) + " times");
    } else {
      stopReply();
      request(target);
    }
    return true;
  }

  [[nodiscard]] std::optional<int> status() const {
    const QVariant code = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!code.isValid()) return std::nullopt;
    return code.toInt();
  }

  bool store(const QByteArray& bytes) {
    received_ += static_cast<std::uint64_t>(bytes.size());
    inWindow_ += static_cast<std::uint64_t>(bytes.size());
    if (received_ > maxBytes_) {
      failTooLarge();
      return false;
    }
    if (!file_) {
      buffer_.append(bytes);
    } else if (file_->write(bytes) != bytes.size()) {
      failSaving();
      return false;
    }
    return true;
  }

  void failTooLarge() { fail("it is larger than " + std::to_string(maxBytes_) + " bytes"); }

  void failSaving() { finish(couldNotSave(url_, *file_)); }

  void fail(const std::string& reason) { finish(couldNotFetch(url_, reason)); }

  // Ends the transfer at once; no file is left behind a failure.
  void finish(Checked<std::string> result) {
    timer_.stop();
    silence_.stop();
    pace_.stop();
    stopReply();
    removeFile();
    finished_(*this, std::move(result));
  }

  // Deleting the reply ends its request; on a later turn, as this may run inside its signals.
  void stopReply() {
    if (!reply_) return;
    disconnect(reply_, nullptr, this, nullptr);
    reply_->deleteLater();
    reply_ = nullptr;
  }

  void removeFile() {
    if (file_) file_->remove();
    file_.reset();
  }

  QNetworkAccessManager& manager_;
  QNetworkReply* reply_ = nullptr;
  std::string url_;
  std::uint64_t maxBytes_;
  std::unique_ptr<QFile> file_;
  Finished finished_;
  QTimer timer_;
  QTimer silence_;
  QTimer pace_;
  QByteArray buffer_;
  std::uint64_t received_ = 0;
  std::uint64_t inWindow_ = 0;  // bytes since pace_ last looked
  int redirects_ = 0;
};

class HttpsDownloads final : public QObject, public UpdateDownloads {
 public:
  explicit HttpsDownloads(DownloadPace pace) : pace_(pace) {}
  HttpsDownloads(const HttpsDownloads&) = delete;
  HttpsDownloads& operator=(const HttpsDownloads&) = delete;
  ~HttpsDownloads() override = default;

  void fetchText(const std::string& url, std::uint64_t maxBytes, int timeoutMs,
                 Done done) override {
    if (!isHttps(url)) return refuseAddress(url, std::move(done));
    start(url, maxBytes, timeoutMs, nullptr, std::move(done));
  }

  void fetchFile(const std::string& url, const std::string& path, std::uint64_t maxBytes,
                 int timeoutMs, Done done) override {
    if (!isHttps(url)) return refuseAddress(url, std::move(done));
    auto file = std::make_unique<QFile>(QString::fromStdString(path));
    if (!file->open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
      return deliver(std::move(done), couldNotSave(url, *file));
    }
    start(url, maxBytes, timeoutMs, std::move(file), std::move(done));
  }

  void abandonAll() override {
    ++generation_;
    transfers_.clear();
  }

 private:
  static bool isHttps(const std::string& url) {
    const QUrl parsed(QString::fromStdString(url), QUrl::StrictMode);
    return url.starts_with("https://") && parsed.isValid() && !parsed.host().isEmpty();
  }

  void refuseAddress(const std::string& url, Done done) {
    deliver(std::move(done), couldNotFetch(url, "only https:// addresses are accepted"));
  }

  void start(const std::string& url, std::uint64_t maxBytes, int timeoutMs,
             std::unique_ptr<QFile> file, Done done) {
    transfers_.push_back(std::make_unique<Transfer>(
        manager_, url, maxBytes, timeoutMs, pace_, std::move(file),
        [this, done = std::move(done)](Transfer& transfer, Checked<std::string> result) {
          release(transfer);
          deliver(done, std::move(result));
        }));
  }

  // Deleted on a later turn, or with this object: the transfer is still running the code that
  // finished it.
  void release(Transfer& transfer) {
    const auto found = std::find_if(transfers_.begin(), transfers_.end(),
                                    [&](const auto& owned) { return owned.get() == &transfer; });
    found->release()->setParent(this);
    transfer.deleteLater();
    transfers_.erase(found);
  }

  // Results arrive on a later turn of the event loop, never inside the call that asked or inside
  // Qt Network's own code, so done may destroy this object; destroying it drops them.
  void deliver(Done done, Checked<std::string> result) {
    QTimer::singleShot(
        0, this,
        [this, generation = generation_, done = std::move(done), result = std::move(result)] {
          if (generation == generation_) done(result);
        });
  }

  DownloadPace pace_;
  /// Counts abandonAll(), so that results from before it are dropped.
  std::uint64_t generation_ = 0;
  QNetworkAccessManager manager_;
  std::vector<std::unique_ptr<Transfer>> transfers_;  // before the manager goes, its replies go
};

}  // namespace

std::unique_ptr<UpdateDownloads> makeHttpsDownloads(int silenceLimitMs) {
  return makeHttpsDownloads(DownloadPace{.silenceLimitMs = silenceLimitMs});
}

std::unique_ptr<UpdateDownloads> makeHttpsDownloads(const DownloadPace& pace) {
  return std::make_unique<HttpsDownloads>(pace);
}

}  // namespace jolstrand
