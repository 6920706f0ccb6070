// Renders the search panel, as it looks with results, into a PNG for the documentation:
// panel_snapshot OUT.png QUERY. Scans the catalogue JOLSTRAND_ROOT points at and reads the usage
// file as the launcher does; run it under Xvfb (docs/make_screenshot.sh).

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <cstdio>

#include "environment.hpp"
#include "jolstrand/app_scanner.hpp"
#include "platform/screen_sources.hpp"
#include "platform/workspace.hpp"
#include "result_row.hpp"
#include "search_controller.hpp"
#include "search_panel.hpp"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: panel_snapshot OUT.png QUERY\n");
    return 2;
  }
  const auto environment = jolstrand::Environment::fromProcess();
  jolstrand::Matcher matcher(
      jolstrand::AppScanner::standard(environment.home, environment.root).scan());
  jolstrand::UsageStore usage(
      jolstrand::UsageStore::defaultURL(environment.home, environment.dataHome));
  const auto workspace = jolstrand::makeWorkspace();
  jolstrand::SearchController controller(*workspace, &jolstrand::currentScreenSnapshot);
  controller.matcher = [&] { return matcher; };
  controller.usageStore = &usage;
  controller.show();
  QTest::keyClicks(&controller.field(), QString::fromUtf8(argv[2]));
  QTest::keyClick(&controller.field(), Qt::Key_Down);
  QTest::qWait(1500);  // let the icons arrive and the window settle
  if (!controller.panel().grab().save(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "panel_snapshot: couldn't write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
