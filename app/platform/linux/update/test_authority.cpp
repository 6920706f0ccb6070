#include "platform/linux/update/test_authority.hpp"

#include <QNetworkRequest>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QUrl>

namespace jolstrand {

bool mayTrustTestAuthority(const QUrl& url) {
  const QString host = url.host();
  return host == QLatin1String("127.0.0.1") || host == QLatin1String("::1") ||
         host == QLatin1String("localhost");
}

void trustTestAuthority(QNetworkRequest& request) {
  const QString file = qEnvironmentVariable("JOLSTRAND_TEST_CA_FILE");
  if (file.isEmpty() || !mayTrustTestAuthority(request.url())) return;
  QSslConfiguration configuration = request.sslConfiguration();
  configuration.setCaCertificates(QSslCertificate::fromPath(file));
  request.setSslConfiguration(configuration);
}

}  // namespace jolstrand
