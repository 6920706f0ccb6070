#pragma once
// A workspace for tests that opens nothing and remembers the web addresses it was asked to open.

#include <vector>

#include "platform/workspace.hpp"

namespace jolstrand::testing {

class RecordingWorkspace : public Workspace {
 public:
  void openApplication(const std::string& /*path*/) override {}
  void reveal(const std::string& /*path*/) override {}
  void openURL(const QUrl& url) override { openedURLs.push_back(url); }
  QImage icon(const std::string& /*path*/, int points, qreal /*ratio*/) override {
    return QImage(points, points, QImage::Format_ARGB32);
  }

  std::vector<QUrl> openedURLs;
};

}  // namespace jolstrand::testing
