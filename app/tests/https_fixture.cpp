#include "https_fixture.hpp"

#include <QFile>
#include <QStringList>
#include <QUrl>
#include <stdexcept>

namespace jolstrand::testing {
namespace {

// Extensions of the authority and of the server certificate; the server is valid for both names
// of this machine that tests use.
constexpr const char* opensslConfig = R"(
[req]
distinguished_name = name
prompt = no
[name]
CN = Jolstrand test authority
[authority]
basicConstraints = critical, CA:TRUE
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
[server]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = serverAuth
subjectAltName = IP:127.0.0.1, DNS:localhost
authorityKeyIdentifier = keyid
)";

constexpr int startMs = 15000;

void run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(startMs) || process.exitStatus() != QProcess::NormalExit ||
      process.exitCode() != 0) {
    throw std::runtime_error("test server set-up: " + program.toStdString() + " " +
                             arguments.join(' ').toStdString() +
                             " failed: " + process.readAllStandardError().toStdString());
  }
}

}  // namespace

HttpsServer::HttpsServer(const std::string& root, Trust trust) {
  if (!folder_.isValid()) throw std::runtime_error("test server set-up: no temporary folder");
  makeCertificates();
  server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  server_.start(QStringLiteral("python3"),
                {QStringLiteral(JOLSTRAND_HTTPS_SERVER_SCRIPT), QStringLiteral("--root"),
                 QString::fromStdString(root), QStringLiteral("--cert"),
                 QString::fromStdString(file("server.pem")), QStringLiteral("--key"),
                 QString::fromStdString(file("server.key"))});
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
  if (trust == Trust::trusted) trust_.emplace("JOLSTRAND_TEST_CA_FILE", caFile());
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
  return file("authority.pem");
}

void HttpsServer::stop() {
  if (server_.state() == QProcess::NotRunning) return;
  server_.terminate();
  if (!server_.waitForFinished(startMs)) {
    server_.kill();
    server_.waitForFinished(startMs);
  }
}

void HttpsServer::makeCertificates() const {
  const QString config = QString::fromStdString(file("openssl.cnf"));
  QFile configFile(config);
  if (!configFile.open(QIODevice::WriteOnly) || configFile.write(opensslConfig) < 0) {
    throw std::runtime_error("test server set-up: cannot write " + config.toStdString());
  }
  configFile.close();
  const auto path = [&](const char* name) { return QString::fromStdString(file(name)); };
  const QStringList newKey = {
      QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
      QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};
  const QString openssl = QStringLiteral("openssl");
  run(openssl,
      QStringList{QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-config"), config,
                  QStringLiteral("-extensions"), QStringLiteral("authority"),
                  QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-keyout"),
                  path("authority.key"), QStringLiteral("-out"), path("authority.pem")} +
          newKey);
  run(openssl, QStringList{QStringLiteral("req"), QStringLiteral("-new"), QStringLiteral("-config"),
                           config, QStringLiteral("-subj"), QStringLiteral("/CN=localhost"),
                           QStringLiteral("-keyout"), path("server.key"), QStringLiteral("-out"),
                           path("server.csr")} +
                   newKey);
  run(openssl, {QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                path("server.csr"), QStringLiteral("-CA"), path("authority.pem"),
                QStringLiteral("-CAkey"), path("authority.key"), QStringLiteral("-set_serial"),
                QStringLiteral("1"), QStringLiteral("-days"), QStringLiteral("2"),
                QStringLiteral("-extfile"), config, QStringLiteral("-extensions"),
                QStringLiteral("server"), QStringLiteral("-out"), path("server.pem")});
}

std::string HttpsServer::file(const char* name) const {
  return folder_.filePath(QString::fromUtf8(name)).toStdString();
}

}  // namespace jolstrand::testing
