#pragma once
// A local HTTPS server for tests (https_server.py): it serves one folder at 127.0.0.1 on a free
// port and answers the misbehaving paths below /_/ that the script describes. Trusted servers'
// certificates come from one throw-away certificate authority per process, which the first of
// them names in JOLSTRAND_TEST_CA_FILE for the rest of the process; test builds of the update
// downloads trust it, here and in programs started from here. An untrusted server has an
// authority of its own that nothing trusts. Starting takes about a second: share one server per
// test suite where possible. Throws std::runtime_error when the server cannot be started.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <string>
#include <string_view>

namespace jolstrand::testing {

class HttpsServer {
 public:
  enum class Trust { trusted, untrusted };

  /// Serves the files below root.
  explicit HttpsServer(const std::string& root, Trust trust = Trust::trusted);
  HttpsServer(const HttpsServer&) = delete;
  HttpsServer& operator=(const HttpsServer&) = delete;
  ~HttpsServer();

  /// "https://127.0.0.1:PORT", without a trailing slash.
  [[nodiscard]] std::string baseUrl() const;
  /// baseUrl() + path; path begins with "/".
  [[nodiscard]] std::string url(std::string_view path) const;
  /// An address of this server that redirects to target.
  [[nodiscard]] std::string redirectTo(std::string_view target) const;
  /// The certificate authority's certificate (PEM) that signed this server's certificate.
  [[nodiscard]] std::string caFile() const;
  /// Ends the server; its address then refuses connections.
  void stop();

 private:
  QTemporaryDir folder_;
  QString authority_;  // the folder of the authority that signed this server's certificate
  QProcess server_;
  int port_ = 0;
};

}  // namespace jolstrand::testing
