// Typing latency in the search panel: from a key press reaching the panel to the rows being laid
// out, as the opt-in key trace records it, over the catalogue that JOLSTRAND_ROOT points at.
// Runs on Qt's offscreen platform. Prints the median and the 90th percentile.

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "environment.hpp"
#include "jolstrand/app_scanner.hpp"
#include "platform/screen_sources.hpp"
#include "platform/workspace.hpp"
#include "search_controller.hpp"
#include "trace.hpp"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  const QString trace =
      QDir::temp().filePath(QStringLiteral("jolstrand-keys-%1.txt").arg(getpid()));
  QFile::remove(trace);
  jolstrand::Trace::traceTo(trace.toStdString());
  QApplication application(argc, argv);

  const auto environment = jolstrand::Environment::fromProcess();
  jolstrand::Matcher matcher(
      jolstrand::AppScanner::standard(environment.home, environment.root).scan());
  const auto workspace = jolstrand::makeWorkspace();
  jolstrand::SearchController controller(*workspace, &jolstrand::currentScreenSnapshot);
  controller.matcher = [&] { return matcher; };
  for (int round = 0; round < 20; ++round) {
    for (const char* query : {"safari", "photo ed", "swe", "vid play", "xyz", "m"}) {
      controller.show();
      QTest::keyClicks(&controller.field(), QString::fromLatin1(query));
      QTest::keyClick(&controller.field(), Qt::Key_Backspace);
    }
  }
  QFile file(trace);
  file.open(QIODevice::ReadOnly);
  std::vector<double> micros;
  while (!file.atEnd()) {
    const QList<QByteArray> fields = file.readLine().trimmed().split(' ');
    if (fields.size() == 2 && fields[0] == "keyToRows") micros.push_back(fields[1].toDouble());
  }
  QFile::remove(trace);
  if (micros.empty()) return 1;
  std::sort(micros.begin(), micros.end());
  std::printf("%zu apps, %zu keystrokes: median %.2f ms, 90th percentile %.2f ms\n",
              matcher.entries().size(), micros.size(), micros[micros.size() / 2] / 1000,
              micros[micros.size() * 9 / 10] / 1000);
  return 0;
}
