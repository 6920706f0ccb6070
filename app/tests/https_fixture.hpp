#pragma once
// A local HTTPS server for tests (https_server.py): it serves one folder at 127.0.0.1 on a free
// port with a certificate from a throw-away certificate authority made for it, and answers the
// misbehaving paths below /_/ that the script describes. A trusted server names its authority in
// JOLSTRAND_TEST_CA_FILE for its lifetime, which test builds of the update downloads trust, in
// this process and in programs it starts. Starting takes about a second: share one server per
// test suite where possible. Throws std::runtime_error when the server cannot be started.

#include <QProcess>
#include <QTemporaryDir>
#include <optional>
#include <string>
#include <string_view>

#include "scoped_variable.hpp"

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
  void makeCertificates() const;
  [[nodiscard]] std::string file(const char* name) const;

  QTemporaryDir folder_;
  QProcess server_;
  int port_ = 0;
  std::optional<ScopedVariable> trust_;
};

}  // namespace jolstrand::testing
