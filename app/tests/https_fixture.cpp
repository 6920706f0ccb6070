#include "https_fixture.hpp"

#include <QStringList>
#include <QUrl>
#include <cstdlib>
#include <stdexcept>

namespace jolstrand::testing {
namespace {

constexpr int startMs = 15000;

void run(const QStringList& arguments) {
  QProcess process;
  process.start(QStringLiteral("openssl"), arguments);
  if (!process.waitForFinished(startMs) || process.exitStatus() != QProcess::NormalExit ||
      process.exitCode() != 0) {
    throw std::runtime_error("test server set-up: openssl " + arguments.join(' ').toStdString() +
                             " failed: " + process.readAllStandardError().toStdString());
  }
}

QString path(const QString& folder, const char* name) {
  return folder + QLatin1Char('/') + QLatin1String(name);
}

const QStringList newKey = {
    QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
    QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};

// A certificate authority in folder: authority.key and authority.pem.
void makeAuthority(const QString& folder) {
  run(QStringList{QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-config"),
                  QStringLiteral(JOLSTRAND_TEST_CERTIFICATES_CONFIG), QStringLiteral("-extensions"),
                  QStringLiteral("authority"), QStringLiteral("-days"), QStringLiteral("2"),
                  QStringLiteral("-keyout"), path(folder, "authority.key"), QStringLiteral("-out"),
                  path(folder, "authority.pem")} +
      newKey);
}

// A server key and certificate in folder (server.key, server.pem), signed by the authority in
// authority.
void makeServerCertificate(const QString& folder, const QString& authority) {
  static int serial = 0;
  const QString config = QStringLiteral(JOLSTRAND_TEST_CERTIFICATES_CONFIG);
  run(QStringList{QStringLiteral("req"), QStringLiteral("-new"), QStringLiteral("-config"), config,
                  QStringLiteral("-subj"), QStringLiteral("/CN=localhost"),
                  QStringLiteral("-keyout"), path(folder, "server.key"), QStringLiteral("-out"),
                  path(folder, "server.csr")} +
      newKey);
  run({QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
       path(folder, "server.csr"), QStringLiteral("-CA"), path(authority, "authority.pem"),
       QStringLiteral("-CAkey"), path(authority, "authority.key"), QStringLiteral("-set_serial"),
       QString::number(++serial), QStringLiteral("-days"), QStringLiteral("2"),
       QStringLiteral("-extfile"), config, QStringLiteral("-extensions"), QStringLiteral("server"),
       QStringLiteral("-out"), path(folder, "server.pem")});
}

// The folder of the authority that trusted servers share, made on first use and named in
// JOLSTRAND_TEST_CA_FILE from then on; removed when the process ends.
QString sharedAuthority() {
  static const QTemporaryDir folder;
  [[maybe_unused]] static const bool made = [] {
    if (!folder.isValid()) throw std::runtime_error("test server set-up: no temporary folder");
    makeAuthority(folder.path());
    setenv("JOLSTRAND_TEST_CA_FILE", path(folder.path(), "authority.pem").toUtf8().constData(), 1);
    return true;
  }();
  return folder.path();
}

}  // namespace

HttpsServer::HttpsServer(const std::string& root, Trust trust) {
  if (!folder_.isValid()) throw std::runtime_error("test server set-up: no temporary folder");
  if (trust == Trust::trusted) {
    authority_ = sharedAuthority();
  } else {
    authority_ = folder_.path();
    makeAuthority(authority_);
  }
  makeServerCertificate(folder_.path(), authority_);
  server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  server_.start(
      QStringLiteral("python3"),
      {QStringLiteral(JOLSTRAND_HTTPS_SERVER_SCRIPT), QStringLiteral("--root"),
       QString::fromStdString(root), QStringLiteral("--cert"), path(folder_.path(), "server.pem"),
       QStringLiteral("--key"), path(folder_.path(), "server.key")});
  const QByteArray prefix = "listening on ";
  while (!server_.canReadLine()) {
    if (!server_.waitForReadyRead(startMs)) {
      throw std::runtime_error("test server set-up: the server did not start");
    }
  }
  const QByteArray line = server_.readLine().trimmed();
  bool number = false;
  port_ = line.startsWith(prefix) ? line.mid(prefix.size()).toInt(&number) : 0;
  if (!number) throw std::runtime_error("test server set-up: unexpected " + line.toStdString());
}

HttpsServer::~HttpsServer() {
  stop();
}

std::string HttpsServer::baseUrl() const {
  return "https://127.0.0.1:" + std::to_string(port_);
}

std::string HttpsServer::url(std::string_view path) const {
  return baseUrl() + std::string(path);
}

std::string HttpsServer::redirectTo(std::string_view target) const {
  const QByteArray encoded =
      QUrl::toPercentEncoding(QString::fromUtf8(target.data(), static_cast<int>(target.size())));
  return url("/_/redirect?to=" + encoded.toStdString());
}

std::string HttpsServer::caFile() const {
  return path(authority_, "authority.pem").toStdString();
}

void HttpsServer::stop() {
  if (server_.state() == QProcess::NotRunning) return;
  server_.terminate();
  if (!server_.waitForFinished(startMs)) {
    server_.kill();
    server_.waitForFinished(startMs);
  }
}

}  // namespace jolstrand::testing
