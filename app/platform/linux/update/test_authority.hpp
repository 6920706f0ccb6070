#pragma once
// Builds with tests only: the certificate authority in the file JOLSTRAND_TEST_CA_FILE names is
// trusted, in place of the system's, for servers on this machine (127.0.0.1, ::1, localhost), so
// that tests and the programs they start can fetch from a local server with a throw-away
// certificate. Every other host is checked against the system's trust store, whatever the
// variable says, so that such a build never trusts it for a real feed. Main thread.

class QNetworkRequest;
class QUrl;

namespace jolstrand {

/// Whether a request to url may trust the test authority: its host is a loopback address.
[[nodiscard]] bool mayTrustTestAuthority(const QUrl& url);

/// Makes request trust the test authority, when the variable is set and its host allows it.
void trustTestAuthority(QNetworkRequest& request);

}  // namespace jolstrand
