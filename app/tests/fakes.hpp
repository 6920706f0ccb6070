#pragma once
// Stand-ins for the platform services the launcher's controllers are built from: a workspace
// that records what it is asked (applications, folders, web addresses) and paints each path's icon
// its own colour, a hot key that counts registrations and is pressed by the test, and a Spotlight
// check the test sets.

#include <QColor>
#include <QUrl>
#include <functional>
#include <string>
#include <vector>

#include "platform/hot_key_backend.hpp"
#include "platform/spotlight_check.hpp"
#include "platform/workspace.hpp"

namespace jolstrand::testing {

class FakeWorkspace : public Workspace {
 public:
  void openApplication(const std::string& path) override { opened.push_back(path); }
  void reveal(const std::string& path) override { revealed.push_back(path); }
  void openURL(const QUrl& url) override { openedURLs.push_back(url); }
  QImage icon(const std::string& path, int points, qreal /*ratio*/) override {
    QImage image(points, points, QImage::Format_RGB32);
    image.fill(QColor::fromRgb(static_cast<QRgb>(std::hash<std::string>{}(path))));
    return image;
  }
  std::vector<std::string> opened;
  std::vector<std::string> revealed;
  std::vector<QUrl> openedURLs;
};

/// Answers registration n with status n (1, 2, ...), so a test sees which one is current.
class FakeHotKey : public HotKeyBackend {
 public:
  std::int32_t registerKey() override { return ++registrations; }
  void unregisterKey() override { ++unregistrations; }
  /// A press, as the platform's backend delivers it: on the main thread.
  void press() { emit pressed(); }
  int registrations = 0;
  int unregistrations = 0;
};

class FakeSpotlight : public SpotlightCheck {
 public:
  bool holdsCommandSpace() override { return holds; }
  bool holds = false;
};

}  // namespace jolstrand::testing
